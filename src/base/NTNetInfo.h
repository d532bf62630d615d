#pragma once
// The name of the logged-on user and the computer's name, and changing the
// computer's name. Failures surface as ENTNetError, as far as the error
// reporting setting asks for it. Changing the name and restarting the system go
// through platform::Hooks(), whose defaults refuse.
#include <QString>
#include <stdexcept>

enum class TNTNetErrorReporting { niNone, niFatalErrorsOnly, niAllErrors };

class ENTNetError : public std::runtime_error {
public:
    explicit ENTNetError(const QString& message);
    QString Message() const { return message_; }
private:
    QString message_;
};

class TNTNetInfo {
public:
    // The exception texts and the dialog texts (lines separated by CR).
    static const QString SystemCallFailedText;
    static const QString ChangeCancelledText;
    static const QString RestartFailedText;
    static const QString ConfirmChangeText;
    static const QString ConfirmRestartText;
    static const QString UnableToRestartText;

    // Failure flag on, all-errors flag off, verbose mode on; reads the
    // computer's name once (a failure then leaves the stored name empty).
    TNTNetInfo();
    virtual ~TNTNetInfo() = default;

    TNTNetErrorReporting ErrorReporting() const;
    void SetErrorReporting(TNTNetErrorReporting reporting);

    bool VerboseMode = true;

    // The logged-on user's name: the passwd entry of the effective user, else
    // $USER. Throws ENTNetError when neither answers and the failure flag is
    // on; otherwise answers empty then.
    QString UserName() const;
    // Writing the user name is ignored.
    void SetUserName(const QString&) {}

    // The computer's (host) name; stored and answered. Failure as for UserName.
    QString ComputerName();
    // Trims the name and cuts it to 15 characters; nothing happens when that is
    // the stored name. Otherwise, in verbose mode after asking, the computer
    // gets the new name and a restart is offered.
    void SetComputerName(const QString& name);

protected:
    // The operating-system look-ups; false when they fail. Virtual so that a
    // failing system can be simulated.
    virtual bool QuerySystemUserName(QString& name) const;
    virtual bool QuerySystemComputerName(QString& name) const;

private:
    void fail(const QString& message) const;

    bool failureFlag_ = true;
    bool allErrorsFlag_ = false;
    QString computerName_;
};

// Whether the logged-on user is the given account (compared in full and with
// case). A failed look-up answers false: the question is never worth a failure.
bool LoggedOnUserIs(const QString& account);
