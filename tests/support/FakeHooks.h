#pragma once
// Recording fakes for every hook. Creating a FakeHooks installs them for its
// lifetime (the previous registry comes back afterwards); each fake records the
// call and answers as scripted, so no test opens a dialog or a program.
#include "platform/Hooks.h"

#include <deque>
#include <vector>

namespace testsupport {

class FakeHooks {
public:
    FakeHooks();
    ~FakeHooks();
    FakeHooks(const FakeHooks&) = delete;
    FakeHooks& operator=(const FakeHooks&) = delete;

    // Message boxes by kind: each call takes the next scripted answer, or
    // defaultAnswer when the script is used up.
    std::vector<platform::TKindMessageRequest> kindMessages;
    std::deque<platform::TMessageAnswer> kindAnswers;
    platform::TMessageAnswer defaultAnswer = platform::TMessageAnswer::Closed;

    // General message boxes.
    std::vector<platform::TMessageBoxRequest> messageBoxes;
    std::deque<int> messageBoxAnswers;
    int defaultMessageBoxAnswer = platform::mb::IdOk;

    int beeps = 0;

    // File dialogs (open and save share the script).
    std::vector<platform::TFileDialogRequest> openRequests;
    std::vector<platform::TFileDialogRequest> saveRequests;
    std::deque<platform::TFileDialogAnswer> fileAnswers;   // empty: cancelled

    std::vector<platform::TDirectoryDialogRequest> directoryRequests;
    std::deque<platform::TDirectoryDialogAnswer> directoryAnswers;   // empty: cancelled

    std::vector<platform::TPrintDialogRequest> printRequests;
    std::deque<platform::TPrintDialogAnswer> printAnswers;   // empty: cancelled
    std::vector<platform::TPrinterSetupRequest> printerSetupRequests;
    std::deque<platform::TPrinterSetupAnswer> printerSetupAnswers;
    std::vector<platform::TPageSetupRequest> pageSetupRequests;
    std::deque<platform::TPageSetupAnswer> pageSetupAnswers;   // empty: cancelled

    std::vector<QFont> fontRequests;
    std::deque<QFont> fontAnswers;                          // empty: cancelled
    // Colour dialogs: the colour each started with, its title and the custom
    // colours it was given.
    std::vector<QColor> colourRequests;
    std::vector<QString> colourTitles;
    std::vector<QList<QColor>> colourCustomColours;
    std::deque<QColor> colourAnswers;                       // empty: cancelled

    std::vector<QString> openedDocuments;
    bool openDocumentResult = true;

    struct StartCall {
        QString program;
        QStringList arguments;
        QString workingDir;
    };
    std::vector<StartCall> startedProcesses;
    platform::TStartAnswer startAnswer{true, 0};

    struct WindowQuery {
        QString className;
        QString title;
    };
    std::vector<WindowQuery> windowQueries;
    std::vector<WindowQuery> activatedWindows;
    bool windowExists = false;

    // The last kind message's text, or empty when none was shown.
    QString lastMessageText() const;

private:
    platform::ScopedHooks saved_;
};

} // namespace testsupport
