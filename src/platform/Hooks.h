#pragma once
// Everything that waits for a person or reaches outside the program goes
// through one registry of replaceable functions: message boxes, the beep, the
// common dialogs, opening documents, starting programs and looking for other
// programs' windows. The core library installs defaults that show nothing,
// never block and answer "cancelled"; the ui library installs the Qt
// implementations (platform::InstallDefaultHooks), and tests install recording
// fakes under a ScopedHooks.
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

// ---- Message boxes -----------------------------------------------------------

// The button that closed a message box, or Closed when it was closed without
// one (Esc, the close box) or not shown at all.
enum class TMessageAnswer : uint8_t { Closed, Yes, No, Abort, Ignore, Ok };

enum class TMessageIcon : uint8_t { None, Question, Error, Warning, Information };

// A message box of one of the catalogue's kinds: 0 confirmation with Yes and
// No, 1 error with Abort, 2 error with Ignore, 3 error with OK.
struct TKindMessageRequest {
    QString Text;
    uint8_t Kind = 0;
    QString Caption;                        // "Bestätigung" or "Fehler"
    TMessageIcon Icon = TMessageIcon::None;
    std::vector<TMessageAnswer> Buttons;    // in the order shown
};

// Caption, icon and buttons of a kind; false for a kind that has no dialog.
bool MakeKindMessageRequest(const QString& text, uint8_t kind, TKindMessageRequest& request);

// German button text of an answer ("&Ja", "&Nein", "&Abbrechen", "&Ignorieren", "OK").
QString MessageButtonText(TMessageAnswer answer);

// Flags and answers of the window system's general message box.
namespace mb {
constexpr uint32_t Ok = 0x0;
constexpr uint32_t OkCancel = 0x1;
constexpr uint32_t AbortRetryIgnore = 0x2;
constexpr uint32_t YesNoCancel = 0x3;
constexpr uint32_t YesNo = 0x4;
constexpr uint32_t RetryCancel = 0x5;
constexpr uint32_t ButtonMask = 0xF;
constexpr uint32_t IconStop = 0x10;
constexpr uint32_t IconQuestion = 0x20;
constexpr uint32_t IconExclamation = 0x30;
constexpr uint32_t IconInformation = 0x40;
constexpr uint32_t IconMask = 0xF0;
constexpr uint32_t DefButton2 = 0x100;
constexpr uint32_t DefButton3 = 0x200;
constexpr uint32_t DefButtonMask = 0xF00;
// Answers; NotShown when no box was shown.
constexpr int NotShown = 0;
constexpr int IdOk = 1;
constexpr int IdCancel = 2;
constexpr int IdAbort = 3;
constexpr int IdRetry = 4;
constexpr int IdIgnore = 5;
constexpr int IdYes = 6;
constexpr int IdNo = 7;
} // namespace mb

struct TMessageBoxRequest {
    QString Text;
    QString Caption;
    uint32_t Flags = 0;                     // mb:: values
};

// ---- File and directory dialogs ----------------------------------------------

struct TFileDialogRequest {
    QString Title;
    // Description and mask pairs separated by '|': "Text (*.TXT)|*.TXT|Alle (*.*)|*.*".
    // A mask may hold several patterns separated by ';'.
    QString Filter;
    int FilterIndex = 1;                    // 1-based, as the window system counts
    QString InitialDir;
    QString FileName;                       // proposed name, with or without directory
    QString DefaultExt;                     // without the dot
    // Called when the user picks another type (1-based index) with the name now
    // in the dialog; answers the name to show. May be unset.
    std::function<QString(int filterIndex, const QString& currentName)> OnTypeChange;
    // An open dialog offers the tick "open read-only" (ticked as ReadOnly
    // says); save dialogs never offer it.
    bool OfferReadOnly = false;
    bool ReadOnly = false;
};

// Qt name filters for a window-system filter list: one entry per pair, the
// description followed by its masks in parentheses, each mask matching without
// regard to case ("*.CSV" also finds "x.csv"). The dialog shows the description
// alone (it hides that last parenthesised part).
QStringList FileDialogNameFilters(const QString& windowsFilter);

// A mask made to match without regard to case: "*.AG?" gives "*.[aA][gG]?".
QString CaseInsensitiveMask(const QString& mask);

struct TFileDialogAnswer {
    bool Accepted = false;
    QString FileName;                       // full path of the chosen file
    int FilterIndex = 1;                    // 1-based
    bool ReadOnly = false;                  // the user ticked "open read-only"
};

struct TDirectoryDialogRequest {
    QString StartDir;
    int Left = 0;                           // screen position of the dialog
    int Top = 0;
};

struct TDirectoryDialogAnswer {
    bool Accepted = false;
    QString Directory;                      // without a closing separator
};

// ---- Printing ------------------------------------------------------------------
// The print dialog only describes the choice; core code (table printing, chart
// printing) fills the request from the program's printer (platform/Printer.h)
// and applies the answer to it.

struct TPrintDialogRequest {
    int Range = 0;                          // 0 all, 1 selection, 2 page numbers
    int FromPage = 1;
    int ToPage = 99;
    int MinPage = 1;
    int MaxPage = 9999;
    int Copies = 1;
    bool AllowSelection = false;
    bool AllowPageNumbers = true;
    bool PrintToFile = false;
    bool AllowPrintToFile = false;
    bool WarnNoPrinter = true;              // tell the user when no printer queue exists
    int Orientation = 0;                    // 0 portrait, 1 landscape
    QStringList Targets;                    // the printer queues, then "PDF"
    QString Target;                         // the current one
    // For the PDF target the dialog asks for the file name through the save
    // dialog hook, proposing JobName + ".pdf" in the directory of PreviousFile
    // (else the home directory); PdfFileName is the last one chosen.
    QString JobName;
    QString PreviousFile;
    QString PdfFileName;
    // What a job lays out on the page of an orientation: its pages, and a note
    // for the user (columns that do not fit the paper). The dialog asks again
    // when the orientation changes there and keeps the page numbers within
    // the pages; unset, MaxPage and Note hold for both orientations.
    struct TLayoutInfo {
        int Pages = 1;
        QString Note;
    };
    std::function<TLayoutInfo(int orientation)> LayoutFor;
    QString Note;
};

struct TPrintDialogAnswer {
    bool Accepted = false;
    int Range = 0;
    int FromPage = 1;
    int ToPage = 99;
    int Copies = 1;
    bool PrintToFile = false;
    int Orientation = 0;
    QString Target;
    QString PdfFileName;                    // for the PDF target
};

struct TPrinterSetupRequest {
    int Orientation = 0;                    // 0 portrait, 1 landscape
    QStringList Targets;
    QString Target;
};

struct TPrinterSetupAnswer {
    bool Accepted = false;
    int Orientation = 0;
    QString Target;
};

// The page setup of rich-text printing: margins in hundredths of a millimetre
// or thousandths of an inch, and the orientation.
struct TPageSetupRequest {
    bool Millimeters = true;
    int MarginLeft = 0;
    int MarginTop = 0;
    int MarginRight = 0;
    int MarginBottom = 0;
    int Orientation = 0;                    // 0 portrait, 1 landscape
    bool DisableMargins = false;
    bool DisableOrientation = false;
    bool DisablePaper = false;
    bool DisablePrinter = false;
    void* Printer = nullptr;                // the ui layer's printer object, may be null
};

struct TPageSetupAnswer {
    bool Accepted = false;
    int MarginLeft = 0;                     // in the request's unit
    int MarginTop = 0;
    int MarginRight = 0;
    int MarginBottom = 0;
    int Orientation = 0;
};

// ---- Outside programs ----------------------------------------------------------

struct TStartAnswer {
    bool Started = false;
    int Error = 0;                          // errno value when not started
    // Process id of the started program when known (0 otherwise); the program
    // starter keeps it to find the program again instead of starting a copy.
    qint64 Pid = 0;
};

// ---- The registry --------------------------------------------------------------

struct THooks {
    // A message box of a catalogue kind (see TKindMessageRequest).
    std::function<TMessageAnswer(const TKindMessageRequest&)> KindMessageBox;
    // The general message box; answers an mb::Id... value or mb::NotShown.
    std::function<int(const TMessageBoxRequest&)> MessageBox;
    std::function<void()> Beep;
    std::function<TFileDialogAnswer(const TFileDialogRequest&)> OpenFileDialog;
    std::function<TFileDialogAnswer(const TFileDialogRequest&)> SaveFileDialog;
    std::function<TDirectoryDialogAnswer(const TDirectoryDialogRequest&)> DirectoryDialog;
    std::function<TPrintDialogAnswer(const TPrintDialogRequest&)> PrintDialog;
    std::function<TPrinterSetupAnswer(const TPrinterSetupRequest&)> PrinterSetupDialog;
    std::function<TPageSetupAnswer(const TPageSetupRequest&)> PageSetupDialog;
    // In: the font to start with; out: the chosen font. True when accepted.
    std::function<bool(QFont& font)> FontDialog;
    // In: the colour and the custom colours; out: the choice and the custom
    // colours as the user left them. The title is the dialog's window caption
    // (empty: the toolkit's own). True when accepted.
    std::function<bool(QColor& colour, QList<QColor>& customColours, const QString& title)> ColourDialog;
    // Opens a document (or address) with the program registered for it.
    std::function<bool(const QString& path)> OpenDocument;
    // Starts a program without waiting for it.
    std::function<TStartAnswer(const QString& program, const QStringList& arguments,
                               const QString& workingDir)> StartProcess;
    // Whether a top-level window of another program with that class and title
    // exists (an empty text matches any), and bringing it to the front.
    std::function<bool(const QString& className, const QString& title)> FindProgramWindow;
    std::function<bool(const QString& className, const QString& title)> ActivateProgramWindow;
    // Gives the computer a new name; answers 0, or the errno value of the
    // failure. The default refuses (EPERM).
    std::function<int(const QString& name)> SetComputerName;
    // Restarts the system; false when that cannot be done. The default refuses.
    std::function<bool()> RestartSystem;
};

// The registry of the running program.
THooks& Hooks();

// A registry filled with the defaults that show nothing.
THooks SilentDefaultHooks();

// Puts the silent defaults back into every slot.
void ResetHooks();

// Saves the whole registry and restores it on destruction.
class ScopedHooks {
public:
    ScopedHooks();
    ~ScopedHooks();
    ScopedHooks(const ScopedHooks&) = delete;
    ScopedHooks& operator=(const ScopedHooks&) = delete;
private:
    THooks saved_;
};

// Convenience calls that never fail even when a slot was cleared.
TMessageAnswer ShowKindMessage(const TKindMessageRequest& request);
int ShowMessageBox(const QString& text, const QString& caption, uint32_t flags);
void Beep();
TPageSetupAnswer ShowPageSetupDialog(const TPageSetupRequest& request);

} // namespace platform
