#include "base/NTNetInfo.h"

#include "platform/Hooks.h"

#include <QCoreApplication>
#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kComputerNameLength = 15;

// The dialogs of the window system break lines at CR; ours at LF.
QString DialogText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QString DialogCaption()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("valdran") : name;
}

} // namespace

const QString TNTNetInfo::SystemCallFailedText =
    QStringLiteral("NTNetInfo error: An unknown error occurred while accessing the system information.");
const QString TNTNetInfo::ChangeCancelledText =
    QStringLiteral("NTNetInfo error: The computer name change request was cancelled.");
const QString TNTNetInfo::RestartFailedText =
    QStringLiteral("NTNetInfo error: The process was unable to\rshut the system down at this time.  The\r"
                   "changes made will not take effect until you\rrestart.");
const QString TNTNetInfo::ConfirmChangeText =
    QStringLiteral("Are you sure you want to change the name\rof this computer? (This action will require\r"
                   "a system restart!)");
const QString TNTNetInfo::ConfirmRestartText =
    QStringLiteral("You have made changes which require you to restart the\rsystem.  Click \"OK\" to "
                   "restart now, or \"No\" to restart later.");
const QString TNTNetInfo::UnableToRestartText =
    QStringLiteral("Unable to restart system at this time.  The changes\rwill not take effect until the "
                   "system is restarted.");

ENTNetError::ENTNetError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

TNTNetInfo::TNTNetInfo()
{
    // Not virtual here (the object is not complete yet), and a failure only
    // leaves the name empty: creating the object never fails.
    QString name;
    if (TNTNetInfo::QuerySystemComputerName(name))
        computerName_ = name;
}

TNTNetErrorReporting TNTNetInfo::ErrorReporting() const
{
    if (failureFlag_ && allErrorsFlag_)
        return TNTNetErrorReporting::niAllErrors;
    if (failureFlag_)
        return TNTNetErrorReporting::niFatalErrorsOnly;
    return TNTNetErrorReporting::niNone;
}

void TNTNetInfo::SetErrorReporting(TNTNetErrorReporting reporting)
{
    failureFlag_ = reporting != TNTNetErrorReporting::niNone;
    allErrorsFlag_ = reporting == TNTNetErrorReporting::niAllErrors;
}

void TNTNetInfo::fail(const QString& message) const
{
    throw ENTNetError(message);
}

bool TNTNetInfo::QuerySystemUserName(QString& name) const
{
    // The effective user decides what the program may do, so its passwd entry
    // names the user; $USER only stands in when there is no entry (containers
    // running under an unnamed id).
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
        && found->pw_name && *found->pw_name) {
        name = QString::fromLocal8Bit(found->pw_name);
        return true;
    }
    const QString env = qEnvironmentVariable("USER");
    if (env.isEmpty())
        return false;
    name = env;
    return true;
}

bool TNTNetInfo::QuerySystemComputerName(QString& name) const
{
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0')
        return false;
    name = QString::fromLocal8Bit(buffer);
    return true;
}

QString TNTNetInfo::UserName() const
{
    QString name;
    if (QuerySystemUserName(name))
        return name;
    if (failureFlag_)
        fail(SystemCallFailedText);
    return {};
}

QString TNTNetInfo::ComputerName()
{
    QString name;
    if (QuerySystemComputerName(name)) {
        computerName_ = name;
        return name;
    }
    if (failureFlag_)
        fail(SystemCallFailedText);
    return {};
}

void TNTNetInfo::SetComputerName(const QString& name)
{
    const QString newName = name.trimmed().left(kComputerNameLength);
    if (newName == computerName_)
        return;
    if (VerboseMode) {
        const int answer = platform::ShowMessageBox(DialogText(ConfirmChangeText), QStringLiteral("Warning"),
                                                    platform::mb::OkCancel | platform::mb::IconExclamation);
        if (answer != platform::mb::IdOk) {
            if (allErrorsFlag_)
                fail(ChangeCancelledText);
            return;
        }
    }
    const auto& rename = platform::Hooks().SetComputerName;
    const int error = rename ? rename(newName) : EPERM;
    if (error != 0) {
        if (failureFlag_)
            fail(SystemCallFailedText);
        return;
    }
    computerName_ = newName;
    if (!VerboseMode)
        return;
    // The question says "OK" to restart now, "No" to restart later: those are
    // its two buttons.
    platform::TKindMessageRequest question;
    question.Text = DialogText(ConfirmRestartText);
    question.Caption = QStringLiteral("Warning");
    question.Icon = platform::TMessageIcon::Warning;
    question.Buttons = {platform::TMessageAnswer::Ok, platform::TMessageAnswer::No};
    const auto& ask = platform::Hooks().KindMessageBox;
    if (!ask || ask(question) != platform::TMessageAnswer::Ok)
        return;
    const auto& restart = platform::Hooks().RestartSystem;
    if (restart && restart())
        return;
    platform::ShowMessageBox(DialogText(UnableToRestartText), DialogCaption(), platform::mb::Ok);
    if (allErrorsFlag_)
        fail(RestartFailedText);
}

bool LoggedOnUserIs(const QString& account)
{
    try {
        TNTNetInfo info;
        info.SetErrorReporting(TNTNetErrorReporting::niNone);
        const QString name = info.UserName();
        return !name.isEmpty() && name == account;
    } catch (...) {
        return false;
    }
}
