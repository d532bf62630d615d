#include "evaluation/ExternalPrograms.h"

#include "base/ZT_Tools.h"
#include "platform/IniFile.h"
#include "platform/ProgramPath.h"
#include "platform/Registry.h"

#include <QFileInfo>

namespace {

// The file of that name in the directory, found without regard to case;
// empty when there is none.
QString ExistingFileNoCase(const QString& directory, const QString& name)
{
    const QString path = platform::FindFileNoCase(directory, name);
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QString ReadRegistryString(const QString& keyName, const QString& valueName)
{
    platform::Registry registry(platform::Registry::LocalMachine);
    if (!registry.OpenKeyReadOnly(QStringLiteral("\\Software\\Morvax\\") + keyName))
        return QString();
    QString value = registry.ReadString(valueName, QString());
    registry.CloseKey();
    return value;
}

TParamProgram FindParamProgram(const QString& modelName, const QString& registryValueName)
{
    TParamProgram program;
    program.Directory = ReadRegistryString(external_programs::ParamProgramKey(), registryValueName);
    program.Stem = modelName;

    if (!program.Directory.isEmpty()) {
        program.Directory = AppendBackslash(program.Directory);
        // The installed program carries the family's number: "RV715" is
        // installed as "RV705", "QM410" as "QM400".
        if (program.Stem.size() >= 4)
            program.Stem[3] = QLatin1Char('0');
        const QString exe = QStringLiteral(".EXE");
        if (ExistingFileNoCase(program.Directory, program.Stem + exe).isEmpty()
            && !ExistingFileNoCase(program.Directory, modelName + exe).isEmpty())
            program.Stem = modelName;
    }

    // Without a directory the INI file is looked for in the Windows directory.
    const QString iniDirectory = program.Directory.isEmpty() ? platform::WindowsDirectory() : program.Directory;
    const platform::IniFile ini(platform::FindFileNoCase(iniDirectory, program.Stem + QStringLiteral(".INI")));
    const QString section = QStringLiteral("PROGRAM");
    if (program.Directory.isEmpty()) {
        const QString path = ini.ReadString(section, QStringLiteral("PROGRAMPATH"), QString());
        program.Directory = AppendBackslash(path);
    }

    program.Visible = !program.Directory.isEmpty();
    if (program.Visible) {
        program.Hint = QStringLiteral("Orvalex ")
            + ini.ReadString(section, QStringLiteral("TITLE"), QStringLiteral("RV-715")) + QLatin1Char(' ')
            + ini.ReadString(section, QStringLiteral("VERSION"), QString());
    }
    return program;
}

TReadoutProgram FindReadoutProgram()
{
    TReadoutProgram program;
    program.Directory =
        AppendBackslash(ReadRegistryString(external_programs::ReadoutKey(), external_programs::ReadoutRegistryValue()));
    if (!program.Directory.isEmpty())
        program.Executable = ExistingFileNoCase(program.Directory, external_programs::ReadoutExecutable());
    program.Visible = !program.Executable.isEmpty();
    return program;
}

TProgramStart ParamProgramStart(const TParamProgram& program, const QString& windowClass)
{
    TProgramStart start;
    if (program.Directory.isEmpty())
        return start;
    start.Executable = platform::FindFileNoCase(program.Directory, program.Stem + QStringLiteral(".exe"));
    start.WorkingDir = program.Directory;
    start.ClassName = windowClass;
    return start;
}

TProgramStart ReadoutProgramStart(const TReadoutProgram& program)
{
    TProgramStart start;
    if (program.Directory.isEmpty())
        return start;
    start.Executable = program.Executable.isEmpty()
        ? platform::FindFileNoCase(program.Directory, external_programs::ReadoutExecutable())
        : program.Executable;
    start.WorkingDir = program.Directory;
    start.Title = external_programs::ReadoutWindowTitle();
    return start;
}

bool StartOrActivate(const TProgramStart& start)
{
    // Without an executable the starter would open the parameters as a
    // document: nothing to do then.
    if (start.Executable.isEmpty())
        return false;
    return StartOrActivateProgram(start.Executable, start.Parameters, start.WorkingDir, start.ClassName,
                                  start.Title, ProgramStartError);
}

void ProgramStartError(const QString& /*executable*/, uint32_t /*errorCode*/)
{
}

void TExternalPrograms::Find()
{
    OxRV = FindParamProgram(external_programs::RVModel(), external_programs::RVRegistryValue());
    OxQM = FindParamProgram(external_programs::QMModel(), external_programs::QMRegistryValue());
    Readout = FindReadoutProgram();
}

bool TExternalPrograms::OxRV_KnopfClick() const
{
    return StartOrActivate(ParamProgramStart(OxRV, external_programs::RVWindowClass()));
}

bool TExternalPrograms::OxQM_KnopfClick() const
{
    return StartOrActivate(ParamProgramStart(OxQM, external_programs::QMWindowClass()));
}

bool TExternalPrograms::ZTauslesen_KnopfClick() const
{
    return StartOrActivate(ReadoutProgramStart(Readout));
}
