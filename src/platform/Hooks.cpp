#include "platform/Hooks.h"

#include <cerrno>

namespace platform {

bool MakeKindMessageRequest(const QString& text, uint8_t kind, TKindMessageRequest& request)
{
    request = TKindMessageRequest{};
    request.Text = text;
    request.Kind = kind;
    switch (kind) {
    case 0:
        request.Caption = QStringLiteral("Bestätigung");
        request.Icon = TMessageIcon::Question;
        request.Buttons = {TMessageAnswer::Yes, TMessageAnswer::No};
        return true;
    case 1:
        request.Buttons = {TMessageAnswer::Abort};
        break;
    case 2:
        request.Buttons = {TMessageAnswer::Ignore};
        break;
    case 3:
        request.Buttons = {TMessageAnswer::Ok};
        break;
    default:
        return false;
    }
    request.Caption = QStringLiteral("Fehler");
    request.Icon = TMessageIcon::Error;
    return true;
}

QString MessageButtonText(TMessageAnswer answer)
{
    switch (answer) {
    case TMessageAnswer::Yes: return QStringLiteral("&Ja");
    case TMessageAnswer::No: return QStringLiteral("&Nein");
    case TMessageAnswer::Abort: return QStringLiteral("&Abbrechen");
    case TMessageAnswer::Ignore: return QStringLiteral("&Ignorieren");
    case TMessageAnswer::Ok: return QStringLiteral("OK");
    case TMessageAnswer::Closed: break;
    }
    return {};
}

QString CaseInsensitiveMask(const QString& mask)
{
    QString out;
    bool inSet = false;
    for (const QChar c : mask) {
        if (c == QLatin1Char('['))
            inSet = true;
        else if (c == QLatin1Char(']'))
            inSet = false;
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (!inSet && c.isLetter() && lower != upper)
            out += QLatin1Char('[') + lower + upper + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

QStringList FileDialogNameFilters(const QString& windowsFilter)
{
    QStringList filters;
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QStringList masks;
        for (const QString& m : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString mask = m.trimmed();
            // "*.*" is the window system's "every file"; on Linux a name need
            // not have a dot.
            masks << (mask == QLatin1String("*.*") ? QStringLiteral("*") : CaseInsensitiveMask(mask));
        }
        // The dialog hides the last parenthesised part (the patterns it uses),
        // so the description stays as the user knows it.
        filters << description + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

THooks SilentDefaultHooks()
{
    // Nothing here may show a window, wait or start anything: the core library
    // runs headless in tests and tools, and an unanswered question must read as
    // "cancelled".
    THooks h;
    h.KindMessageBox = [](const TKindMessageRequest&) { return TMessageAnswer::Closed; };
    h.MessageBox = [](const TMessageBoxRequest&) { return mb::NotShown; };
    h.Beep = [] {};
    h.OpenFileDialog = [](const TFileDialogRequest& r) {
        TFileDialogAnswer a;
        a.FilterIndex = r.FilterIndex;
        return a;
    };
    h.SaveFileDialog = h.OpenFileDialog;
    h.DirectoryDialog = [](const TDirectoryDialogRequest&) { return TDirectoryDialogAnswer{}; };
    h.PrintDialog = [](const TPrintDialogRequest&) { return TPrintDialogAnswer{}; };
    h.PrinterSetupDialog = [](const TPrinterSetupRequest&) { return TPrinterSetupAnswer{}; };
    h.PageSetupDialog = [](const TPageSetupRequest&) { return TPageSetupAnswer{}; };
    h.FontDialog = [](QFont&) { return false; };
    h.ColourDialog = [](QColor&, QList<QColor>&, const QString&) { return false; };
    h.OpenDocument = [](const QString&) { return false; };
    h.StartProcess = [](const QString&, const QStringList&, const QString&) {
        return TStartAnswer{false, ECANCELED};
    };
    h.FindProgramWindow = [](const QString&, const QString&) { return false; };
    h.ActivateProgramWindow = [](const QString&, const QString&) { return false; };
    // Renaming or restarting the machine is never done unless a caller installs
    // that on purpose.
    h.SetComputerName = [](const QString&) { return EPERM; };
    h.RestartSystem = [] { return false; };
    return h;
}

THooks& Hooks()
{
    static THooks hooks = SilentDefaultHooks();
    return hooks;
}

void ResetHooks()
{
    Hooks() = SilentDefaultHooks();
}

ScopedHooks::ScopedHooks() : saved_(Hooks()) {}

ScopedHooks::~ScopedHooks()
{
    Hooks() = saved_;
}

TMessageAnswer ShowKindMessage(const TKindMessageRequest& request)
{
    const auto& hook = Hooks().KindMessageBox;
    return hook ? hook(request) : TMessageAnswer::Closed;
}

int ShowMessageBox(const QString& text, const QString& caption, uint32_t flags)
{
    const auto& hook = Hooks().MessageBox;
    return hook ? hook(TMessageBoxRequest{text, caption, flags}) : mb::NotShown;
}

TPageSetupAnswer ShowPageSetupDialog(const TPageSetupRequest& request)
{
    const auto& hook = Hooks().PageSetupDialog;
    return hook ? hook(request) : TPageSetupAnswer{};
}

void Beep()
{
    if (const auto& hook = Hooks().Beep)
        hook();
}

} // namespace platform
