#include "base/NTNetInfo.h"

#include "platform/Hooks.h"
#include "support/FakeHooks.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace {

namespace mb = platform::mb;

// A system whose look-ups fail.
class FailingNetInfo : public TNTNetInfo {
protected:
    bool QuerySystemUserName(QString&) const override { return false; }
    bool QuerySystemComputerName(QString&) const override { return false; }
};

QString ExpectedUserName()
{
    if (const passwd* pw = getpwuid(geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString HostName()
{
    char buffer[256] = {};
    gethostname(buffer, sizeof buffer - 1);
    return QString::fromLocal8Bit(buffer);
}

class NTNetInfoTest : public ::testing::Test {
protected:
    NTNetInfoTest()
    {
        platform::Hooks().SetComputerName = [this](const QString& name) {
            renamedTo.push_back(name);
            return renameError;
        };
        platform::Hooks().RestartSystem = [this] {
            ++restarts;
            return restartWorks;
        };
    }

    testsupport::FakeHooks fakes;
    std::vector<QString> renamedTo;
    int renameError = 0;
    int restarts = 0;
    bool restartWorks = true;
};

TEST_F(NTNetInfoTest, ErrorReportingIsTwoFlags)
{
    TNTNetInfo info;
    EXPECT_EQ(info.ErrorReporting(), TNTNetErrorReporting::niFatalErrorsOnly);
    EXPECT_TRUE(info.VerboseMode);
    for (auto r : {TNTNetErrorReporting::niNone, TNTNetErrorReporting::niAllErrors,
                   TNTNetErrorReporting::niFatalErrorsOnly})
    {
        info.SetErrorReporting(r);
        EXPECT_EQ(info.ErrorReporting(), r);
    }
}

TEST_F(NTNetInfoTest, NamesComeFromTheSystem)
{
    TNTNetInfo info;
    EXPECT_EQ(info.UserName(), ExpectedUserName());
    EXPECT_FALSE(info.UserName().isEmpty());
    info.SetUserName("jemand");
    EXPECT_EQ(info.UserName(), ExpectedUserName());
    EXPECT_EQ(info.ComputerName(), HostName());
}

TEST_F(NTNetInfoTest, FailedLookupThrowsOnlyWhenAskedTo)
{
    FailingNetInfo info;
    try {
        (void)info.UserName();
        ADD_FAILURE() << "no exception";
    } catch (const ENTNetError& e) {
        EXPECT_EQ(e.Message(), TNTNetInfo::SystemCallFailedText);
        EXPECT_STREQ(e.what(), TNTNetInfo::SystemCallFailedText.toStdString().c_str());
    }
    EXPECT_THROW((void)info.ComputerName(), ENTNetError);
    info.SetErrorReporting(TNTNetErrorReporting::niNone);
    EXPECT_EQ(info.UserName(), QString());
    EXPECT_EQ(info.ComputerName(), QString());
}

TEST_F(NTNetInfoTest, DeveloperQuestionNeverFails)
{
    const QString me = ExpectedUserName();
    EXPECT_TRUE(LoggedOnUserIs(me));
    // In full and with case.
    EXPECT_FALSE(LoggedOnUserIs(me.toUpper() + "X"));
    EXPECT_FALSE(LoggedOnUserIs(me.left(me.size() - 1)));
    EXPECT_FALSE(LoggedOnUserIs(QString()));
}

TEST_F(NTNetInfoTest, SameNameDoesNothing)
{
    TNTNetInfo info;
    const QString host = info.ComputerName();
    info.SetComputerName("  " + host + " ");
    if (host.size() <= 15) {
        EXPECT_TRUE(fakes.messageBoxes.empty());
        EXPECT_TRUE(renamedTo.empty());
    }
}

TEST_F(NTNetInfoTest, VerboseChangeAsksCutsAndOffersRestart)
{
    TNTNetInfo info;
    fakes.messageBoxAnswers = {mb::IdOk};
    fakes.kindAnswers = {platform::TMessageAnswer::No};
    info.SetComputerName("ABCDEFGHIJKLMNOPQRST");
    ASSERT_EQ(renamedTo.size(), 1u);
    EXPECT_EQ(renamedTo[0], "ABCDEFGHIJKLMNO");
    ASSERT_EQ(fakes.messageBoxes.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes[0].Text,
              "Are you sure you want to change the name\nof this computer? (This action will require\n"
              "a system restart!)");
    EXPECT_EQ(fakes.messageBoxes[0].Flags, mb::OkCancel | mb::IconExclamation);
    // The restart question: OK restarts now, No later.
    ASSERT_EQ(fakes.kindMessages.size(), 1u);
    EXPECT_TRUE(fakes.kindMessages[0].Text.startsWith("You have made changes which require you to restart the\n"));
    EXPECT_EQ(fakes.kindMessages[0].Buttons,
              (std::vector<platform::TMessageAnswer>{platform::TMessageAnswer::Ok, platform::TMessageAnswer::No}));
    EXPECT_EQ(fakes.kindMessages[0].Icon, platform::TMessageIcon::Warning);
    EXPECT_EQ(restarts, 0);

    // The stored name is the new one: setting it again asks nothing.
    info.SetComputerName("ABCDEFGHIJKLMNO");
    EXPECT_EQ(fakes.messageBoxes.size(), 1u);
    EXPECT_EQ(fakes.kindMessages.size(), 1u);
    EXPECT_EQ(renamedTo.size(), 1u);

    // OK restarts.
    fakes.kindAnswers = {platform::TMessageAnswer::Ok};
    info.SetComputerName("ZWEI");
    EXPECT_EQ(restarts, 1);
}

TEST_F(NTNetInfoTest, DeclinedChangeThrowsOnlyForAllErrors)
{
    TNTNetInfo info;
    fakes.messageBoxAnswers = {mb::IdCancel};
    info.SetComputerName("neuer-name");
    EXPECT_TRUE(renamedTo.empty());

    info.SetErrorReporting(TNTNetErrorReporting::niAllErrors);
    fakes.messageBoxAnswers = {mb::IdCancel};
    try {
        info.SetComputerName("neuer-name");
        ADD_FAILURE() << "no exception";
    } catch (const ENTNetError& e) {
        EXPECT_EQ(e.Message(), TNTNetInfo::ChangeCancelledText);
    }
    EXPECT_TRUE(renamedTo.empty());
}

TEST_F(NTNetInfoTest, RefusedRenameIsASystemFailure)
{
    // The default hook refuses.
    platform::Hooks().SetComputerName = platform::SilentDefaultHooks().SetComputerName;
    TNTNetInfo info;
    info.VerboseMode = false;
    EXPECT_THROW(info.SetComputerName("anders"), ENTNetError);
    info.SetErrorReporting(TNTNetErrorReporting::niNone);
    EXPECT_NO_THROW(info.SetComputerName("anders"));
    EXPECT_TRUE(fakes.messageBoxes.empty());
}

TEST_F(NTNetInfoTest, FailedRestartIsShownAndThrownForAllErrors)
{
    TNTNetInfo info;
    info.SetErrorReporting(TNTNetErrorReporting::niAllErrors);
    restartWorks = false;
    fakes.messageBoxAnswers = {mb::IdOk, mb::IdOk};
    fakes.kindAnswers = {platform::TMessageAnswer::Ok};
    try {
        info.SetComputerName("anders");
        ADD_FAILURE() << "no exception";
    } catch (const ENTNetError& e) {
        EXPECT_EQ(e.Message(), TNTNetInfo::RestartFailedText);
        EXPECT_TRUE(e.Message().contains('\r'));
    }
    EXPECT_EQ(restarts, 1);
    ASSERT_EQ(fakes.messageBoxes.size(), 2u);
    EXPECT_TRUE(fakes.messageBoxes[1].Text.startsWith("Unable to restart system at this time."));
}

TEST_F(NTNetInfoTest, QuietModeRenamesWithoutAsking)
{
    TNTNetInfo info;
    info.VerboseMode = false;
    info.SetComputerName("stumm");
    EXPECT_EQ(renamedTo, std::vector<QString>{"stumm"});
    EXPECT_TRUE(fakes.messageBoxes.empty());
    EXPECT_EQ(restarts, 0);
}

} // namespace
