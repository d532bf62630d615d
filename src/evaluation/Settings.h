#pragma once
// Loading and saving the settings record and the main window's view states
// through the settings store, the default archive directory and the "AUTO"
// command line. None of this touches a widget: the main window fills a
// TViewState from its widgets before saving and applies the loaded one.
#include "evaluation/EvaluationState.h"

#include <QString>
#include <QStringList>

// The states that the main window's widgets own and show, as far as they are
// stored. The defaults are the widgets' states when the window is created.
struct TViewState {
    bool Konvert = true;        // hidden switch Konvert_Schalter
    bool Grafik = false;        // Grafik_Schalter
    bool Linien = false;        // Linien_Schalter
    bool ZST = false;           // ZST_Schalter
    bool Differenz = false;     // Differenzen_Schalter
    bool Zusatz = false;        // Zusatz_Schalter
    bool ZusatzEnabled = true;  // whether Zusatz_Schalter is enabled
    int Breite1 = 177;          // width of the tree panel Panel2
    int Zeit = 0;               // view mode: 0 all values (E_), 1 days (T_), 2 months (M_)
    QString FontName = QStringLiteral("Courier New"); // table output font
    int FontSize = 9;
    QString Selektion;          // selection text of the main window
};

namespace settings {

// Lengths of the stored texts and limits of the stored numbers.
constexpr int SelectionLength = 132;
constexpr int FontNameLength = 31;
constexpr int CounterTextLength = 255;
constexpr int NumberFormatLength = 20;
constexpr int SplitterMinimum = 30;     // the splitter Trenner's minimum size

// Company part of the settings store's registry key.
inline QString Company() { return QStringLiteral("Morvax"); }

// The sibling program's settings file, looked up in the Windows directory.
inline QString SiblingIniName() { return QStringLiteral("Kelvor.ini"); }

// A path of the Windows world on a drive becomes a folder below the user's
// home directory ("C:\AUSWERT\ARC" gives "~/AUSWERT/ARC", "D:\" the home
// directory), and so does a relative path; an absolute Linux path is
// answered unchanged.
QString LocalPathFromWindows(const QString& path);

} // namespace settings

// Reads the settings record, the numbers kept outside it and the view states.
// `view` comes in with the widgets' current states, which are the defaults,
// and goes out with the loaded states; `defaultCounterText` is the language's
// counter-evaluation text. The archive directory is completed by
// DefaultArchivePath and always ends in '/'.
void LoadSettings(TEvaluationState& state, TViewState& view, const QString& defaultCounterText);

// Writes the settings record and the view states; BenutzerLevel, MaxKanal and
// DatumsFormat are never written.
void SaveSettings(const TEvaluationState& state, const TViewState& view);

// Supplies an archive directory when none is stored: the sibling program's
// ARCPATH, by default ~/AUSWERT/ARC, created when missing; the home directory
// when that cannot be made. A stored directory is kept as it is, also when it
// does not exist now (an unplugged drive). Does not add the trailing '/'.
void DefaultArchivePath(TEinstellungen& settings);

// `arguments` are the program's arguments after its own name. "AUTO" (exactly
// so) followed by a path switches auto mode on; the path is the further
// arguments joined by single blanks; its directory part (up to and including
// the last '/', '\' or ':') replaces the archive directory, the rest the file
// mask. Answers the auto-mode flag, also stored in state.AutoMode.
bool ReadCommandLine(const QStringList& arguments, TEvaluationState& state);
