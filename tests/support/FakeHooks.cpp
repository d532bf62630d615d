#include "support/FakeHooks.h"

namespace testsupport {

namespace {
template <typename T>
T TakeOr(std::deque<T>& script, T fallback)
{
    if (script.empty())
        return fallback;
    T value = std::move(script.front());
    script.pop_front();
    return value;
}
} // namespace

FakeHooks::FakeHooks()
{
    platform::THooks& h = platform::Hooks();
    h.KindMessageBox = [this](const platform::TKindMessageRequest& r) {
        kindMessages.push_back(r);
        return TakeOr(kindAnswers, defaultAnswer);
    };
    h.MessageBox = [this](const platform::TMessageBoxRequest& r) {
        messageBoxes.push_back(r);
        return TakeOr(messageBoxAnswers, defaultMessageBoxAnswer);
    };
    h.Beep = [this] { ++beeps; };
    h.OpenFileDialog = [this](const platform::TFileDialogRequest& r) {
        openRequests.push_back(r);
        platform::TFileDialogAnswer cancelled;
        cancelled.FilterIndex = r.FilterIndex;
        return TakeOr(fileAnswers, cancelled);
    };
    h.SaveFileDialog = [this](const platform::TFileDialogRequest& r) {
        saveRequests.push_back(r);
        platform::TFileDialogAnswer cancelled;
        cancelled.FilterIndex = r.FilterIndex;
        return TakeOr(fileAnswers, cancelled);
    };
    h.DirectoryDialog = [this](const platform::TDirectoryDialogRequest& r) {
        directoryRequests.push_back(r);
        return TakeOr(directoryAnswers, platform::TDirectoryDialogAnswer{});
    };
    h.PrintDialog = [this](const platform::TPrintDialogRequest& r) {
        printRequests.push_back(r);
        return TakeOr(printAnswers, platform::TPrintDialogAnswer{});
    };
    h.PrinterSetupDialog = [this](const platform::TPrinterSetupRequest& r) {
        printerSetupRequests.push_back(r);
        return TakeOr(printerSetupAnswers, platform::TPrinterSetupAnswer{});
    };
    h.PageSetupDialog = [this](const platform::TPageSetupRequest& r) {
        pageSetupRequests.push_back(r);
        return TakeOr(pageSetupAnswers, platform::TPageSetupAnswer{});
    };
    h.FontDialog = [this](QFont& font) {
        fontRequests.push_back(font);
        if (fontAnswers.empty())
            return false;
        font = TakeOr(fontAnswers, font);
        return true;
    };
    h.ColourDialog = [this](QColor& colour, QList<QColor>& custom, const QString& title) {
        colourRequests.push_back(colour);
        colourTitles.push_back(title);
        colourCustomColours.push_back(custom);
        if (colourAnswers.empty())
            return false;
        colour = TakeOr(colourAnswers, colour);
        return true;
    };
    h.OpenDocument = [this](const QString& path) {
        openedDocuments.push_back(path);
        return openDocumentResult;
    };
    h.StartProcess = [this](const QString& program, const QStringList& arguments, const QString& workingDir) {
        startedProcesses.push_back({program, arguments, workingDir});
        return startAnswer;
    };
    h.FindProgramWindow = [this](const QString& className, const QString& title) {
        windowQueries.push_back({className, title});
        return windowExists;
    };
    h.ActivateProgramWindow = [this](const QString& className, const QString& title) {
        activatedWindows.push_back({className, title});
        return windowExists;
    };
}

// saved_ is the last member, so it is destroyed first: the registry no longer
// points at this object when the recorded data goes.
FakeHooks::~FakeHooks() = default;

QString FakeHooks::lastMessageText() const
{
    return kindMessages.empty() ? QString() : kindMessages.back().Text;
}

} // namespace testsupport
