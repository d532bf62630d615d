#pragma once
// The maker's programs that the main window can start or bring to the front:
// the data-logger and the volume-corrector parametrisation programs and the
// readout program. Their directories come from the machine part of the
// registry (and, for the parametrisation programs, from their own INI files);
// a button is shown only when its program was found.
//
// File names of these programs are looked up in their directory without
// regard to case, and the name found is the one started.
#include "base/ZT_Start.h"

#include <QString>
#include <cstdint>

namespace external_programs {

// Registry keys and values (below "\Software\Morvax\" of the machine hive).
inline QString ParamProgramKey() { return QStringLiteral("OX"); }
inline QString RVRegistryValue() { return QStringLiteral("OXRVPROG"); }
inline QString QMRegistryValue() { return QStringLiteral("OXQMPROG"); }
inline QString ReadoutKey() { return QStringLiteral("ZTread"); }
inline QString ReadoutRegistryValue() { return QStringLiteral("PROGPATH"); }

// Models of the parametrisation programs and the window classes of their main
// windows.
inline QString RVModel() { return QStringLiteral("RV715"); }
inline QString QMModel() { return QStringLiteral("QM410"); }
inline QString RVWindowClass() { return QStringLiteral("TFoRV705Main"); }
inline QString QMWindowClass() { return QStringLiteral("TFoQM400Main"); }

// The readout program and the title of its main window.
inline QString ReadoutExecutable() { return QStringLiteral("readzt.EXE"); }
inline QString ReadoutWindowTitle() { return QStringLiteral("ZT auslesen und setzen"); }
inline QString ReadoutHint() { return QStringLiteral("ZT auslesen"); }

} // namespace external_programs

// The string value `valueName` of the machine hive's key "\Software\Morvax\" +
// keyName, opened for reading only; empty when the key or the value is missing.
QString ReadRegistryString(const QString& keyName, const QString& valueName);

// What the lookup of a parametrisation program found.
struct TParamProgram {
    QString Directory;      // empty, or with a closing separator
    QString Stem;           // file stem of the program and its INI file
    bool Visible = false;   // the button is shown exactly when Directory is set
    QString Hint;           // "Orvalex <TITLE> <VERSION>" when visible
};

// The lookup for one parametrisation program ("RV715" with OXRVPROG, "QM410"
// with OXQMPROG): the registry's directory, else the INI file's PROGRAMPATH;
// the stem is the model name with '0' as its fourth character when the
// registry names a directory, unless only the model name's program lies there.
TParamProgram FindParamProgram(const QString& modelName, const QString& registryValueName);

// The readout program: its directory (with a closing separator) and the
// executable found there; Visible when the registry names a directory that
// holds "readzt.EXE" (in any case).
struct TReadoutProgram {
    QString Directory;
    QString Executable;     // full path of the file found; empty when none
    bool Visible = false;
};
TReadoutProgram FindReadoutProgram();

// One start request: the program, its parameters, its working directory and
// the window class and title of its main window that are looked for first.
struct TProgramStart {
    QString Executable;
    QString Parameters;
    QString WorkingDir;
    QString ClassName;
    QString Title;
};

// What a click on each button starts. The parametrisation programs' file is
// directory + stem + ".exe", looked up without regard to case.
TProgramStart ParamProgramStart(const TParamProgram& program, const QString& windowClass);
TProgramStart ReadoutProgramStart(const TReadoutProgram& program);

// Brings the program's window to the front, or starts it (through the program
// starter, which remembers it so that a second click starts no second copy).
// Failures are not reported.
bool StartOrActivate(const TProgramStart& start);

// The error handler passed to the program starter: a failed start is not
// reported.
void ProgramStartError(const QString& executable, uint32_t errorCode);

// The three programs together, as the main window keeps them.
struct TExternalPrograms {
    TParamProgram OxRV;
    TParamProgram OxQM;
    TReadoutProgram Readout;

    // Looks all three up (at start-up).
    void Find();

    // The buttons' clicks; false when nothing was found or the start failed.
    bool OxRV_KnopfClick() const;
    bool OxQM_KnopfClick() const;
    bool ZTauslesen_KnopfClick() const;
};
