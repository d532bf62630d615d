#include "base/ZT_Start.h"

#include "platform/Hooks.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>
#include <unistd.h>

namespace {

struct ErrorCall {
    QString executable;
    uint32_t code;
};

// Children of this process that are zombies right now.
QStringList ZombieChildren()
{
    QStringList zombies;
    const QString me = QString::number(getpid());
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile f("/proc/" + entry + "/stat");
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = f.readAll();
        const qsizetype close = text.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = text.mid(close + 1).simplified().split(' ');
        if (fields.size() > 1 && fields.at(1) == me.toLatin1() && fields.at(0) == "Z")
            zombies << entry;
    }
    return zombies;
}

bool WaitFor(const std::function<bool()>& condition, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        if (condition())
            return true;
        QThread::msleep(10);
    }
    return condition();
}

// The real starter behind the start hook, counting the starts.
class ZT_StartTest : public ::testing::Test {
protected:
    ZT_StartTest()
    {
        ForgetStartedPrograms();
        platform::Hooks().StartProcess = [this](const QString& p, const QStringList& a, const QString& w) {
            ++starts;
            const platform::TStartAnswer answer = SpawnDetachedProcess(p, a, w);
            if (answer.Started)
                pids.push_back(answer.Pid);
            return answer;
        };
    }
    ~ZT_StartTest() override
    {
        for (qint64 pid : pids)
            kill(static_cast<pid_t>(pid), SIGKILL);
        ForgetStartedPrograms();
    }

    TStartErrorEvent recorder()
    {
        return [this](const QString& exe, uint32_t code) { errors.push_back({exe, code}); };
    }

    testsupport::FakeHooks fakes;
    std::vector<ErrorCall> errors;
    std::vector<qint64> pids;
    int starts = 0;
};

TEST_F(ZT_StartTest, StartsAProgramAndLeavesNoZombie)
{
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(StartProgram("/bin/true", "", "", recorder()));
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(pids.size(), 5u);
    for (qint64 pid : pids)
        EXPECT_TRUE(WaitFor([pid] { return !StartedProcessRuns(pid); })) << pid;
    EXPECT_EQ(ZombieChildren(), QStringList());
}

TEST_F(ZT_StartTest, MissingExecutableReportsFileNotFound)
{
    EXPECT_FALSE(StartProgram("/nonexistent/dir/prog.exe", "a b", "", recorder()));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].executable, "/nonexistent/dir/prog.exe");
    EXPECT_EQ(errors[0].code, 2u);
    // Without a handler the answer alone tells.
    EXPECT_FALSE(StartProgram("/nonexistent/dir/prog.exe", "", "", nullptr));
    EXPECT_EQ(ZombieChildren(), QStringList());
}

TEST_F(ZT_StartTest, FileThatCannotRunIsReported)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("daten.txt");
    ASSERT_TRUE(testsupport::writeFile(file, "kein Programm\n"));
    EXPECT_FALSE(StartProgram(file, "", "", recorder()));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].code, uint32_t(EACCES));
}

TEST_F(ZT_StartTest, RunsInTheWorkingDirectoryWithItsParameters)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(StartProgram("/bin/sh", "-c \"pwd > out.txt; echo $0 >> out.txt\"", dir.path(), recorder()));
    const QString out = dir.filePath("out.txt");
    ASSERT_TRUE(WaitFor([&] { return testsupport::readFile(out).count('\n') == 2; }));
    const QList<QByteArray> lines = testsupport::readFile(out).split('\n');
    EXPECT_EQ(QFileInfo(QString::fromLocal8Bit(lines[0])).canonicalFilePath(),
              QFileInfo(dir.path()).canonicalFilePath());
    // The program sees its file name, not its path, as its name.
    EXPECT_EQ(lines[1], "sh");
}

TEST_F(ZT_StartTest, MissingWorkingDirectoryFailsTheStart)
{
    EXPECT_FALSE(StartProgram("/bin/true", "", "/nonexistent/work", recorder()));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].code, 2u);
}

TEST_F(ZT_StartTest, RelativeExecutableIsTakenFromTheCurrentDirectory)
{
    // Not searched in PATH: "true" alone is no program here.
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const bool started = StartProgram("true", "", "", recorder());
    QDir::setCurrent(old);
    EXPECT_FALSE(started);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].code, 2u);
}

TEST_F(ZT_StartTest, EmptyExecutableOpensTheDocument)
{
    EXPECT_TRUE(StartProgram("", "/home/x/Bericht.pdf", "", recorder()));
    ASSERT_EQ(fakes.openedDocuments.size(), 1u);
    EXPECT_EQ(fakes.openedDocuments[0], "/home/x/Bericht.pdf");

    fakes.openDocumentResult = false;
    EXPECT_FALSE(StartProgram("", "/home/x/fehlt.xyz", "", recorder()));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(starts, 0);
}

TEST_F(ZT_StartTest, ParametersAreSplitLikeACommandLine)
{
    std::vector<testsupport::FakeHooks::StartCall> calls;
    platform::Hooks().StartProcess = [&](const QString& p, const QStringList& a, const QString& w) {
        calls.push_back({p, a, w});
        return platform::TStartAnswer{false, 13, 0};
    };
    EXPECT_FALSE(StartProgram("/opt/zt/readzt.EXE", "-x \"C:\\Program Files\\a b\"  last", "/opt/zt", recorder()));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].program, "/opt/zt/readzt.EXE");
    EXPECT_EQ(calls[0].arguments, (QStringList{"-x", "C:\\Program Files\\a b", "last"}));
    EXPECT_EQ(calls[0].workingDir, "/opt/zt");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].code, 13u);
}

TEST_F(ZT_StartTest, EmptyClassAndTitleLookForNothing)
{
    fakes.windowExists = true;
    EXPECT_EQ(FindProgramWindow("", ""), NoProgramWindow);
    EXPECT_TRUE(fakes.windowQueries.empty());
    EXPECT_FALSE(ActivateProgramWindow("", ""));
}

TEST_F(ZT_StartTest, WindowKnownToTheFinderIsActivatedInsteadOfStarting)
{
    fakes.windowExists = true;
    EXPECT_EQ(FindProgramWindow("TFoRV705Main", ""), ForeignProgramWindow);
    EXPECT_TRUE(StartOrActivateProgram("/bin/true", "", "", "TFoRV705Main", "", recorder()));
    EXPECT_EQ(starts, 0);
    ASSERT_EQ(fakes.activatedWindows.size(), 1u);
    EXPECT_EQ(fakes.activatedWindows[0].className, "TFoRV705Main");

    fakes.windowExists = false;
    EXPECT_FALSE(ActivateProgramWindow("TFoRV705Main", ""));
}

TEST_F(ZT_StartTest, SecondStartOfARunningProgramActivatesIt)
{
    const QString title = "ZT auslesen und setzen";
    ASSERT_TRUE(StartOrActivateProgram("/bin/sleep", "5", "", "", title, recorder()));
    ASSERT_EQ(starts, 1);
    ASSERT_EQ(pids.size(), 1u);
    const qint64 pid = pids[0];
    EXPECT_TRUE(StartedProcessRuns(pid));
    EXPECT_EQ(FindProgramWindow("", title), pid);
    // Another title or class does not match it.
    EXPECT_EQ(FindProgramWindow("", "ZT auslesen"), NoProgramWindow);
    EXPECT_EQ(FindProgramWindow("TFoQM400Main", title), NoProgramWindow);

    EXPECT_TRUE(StartOrActivateProgram("/bin/sleep", "5", "", "", title, recorder()));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ZombieChildren(), QStringList());

    // Once it ended it is started anew.
    kill(static_cast<pid_t>(pid), SIGKILL);
    ASSERT_TRUE(WaitFor([pid] { return !StartedProcessRuns(pid); }));
    EXPECT_EQ(FindStartedProgram("", title), 0);
    EXPECT_TRUE(StartOrActivateProgram("/bin/sleep", "5", "", "", title, recorder()));
    EXPECT_EQ(starts, 2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ZT_StartTest, ClassNamesMatchWithoutCase)
{
    ASSERT_TRUE(StartOrActivateProgram("/bin/sleep", "5", "", "TFoQM400Main", "", recorder()));
    ASSERT_EQ(pids.size(), 1u);
    EXPECT_EQ(FindProgramWindow("tfoqm400main", ""), pids[0]);
    EXPECT_TRUE(ActivateProgramWindow("TFoQM400Main", ""));
    // A plain start is remembered under no class or title.
    ASSERT_TRUE(StartProgram("/bin/sleep", "5", "", recorder()));
    EXPECT_EQ(FindProgramWindow("", "sleep"), NoProgramWindow);
}

TEST_F(ZT_StartTest, ForgottenOrUnknownProcessesAreNotFound)
{
    RememberStartedProgram(getpid(), "Eigen", "");
    EXPECT_EQ(FindStartedProgram("Eigen", ""), getpid());
    ForgetStartedPrograms();
    EXPECT_EQ(FindStartedProgram("Eigen", ""), 0);
    EXPECT_FALSE(StartedProcessRuns(0));
    EXPECT_FALSE(StartedProcessRuns(-1));
}

TEST(ZombieProbe, SeesAnUnreapedChild)
{
    // The zombie checks above only mean something if the probe finds one.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(0);
    EXPECT_TRUE(WaitFor([child] { return ZombieChildren().contains(QString::number(child)); }));
    // A zombie does not count as running, and asking reaps our own child.
    EXPECT_FALSE(StartedProcessRuns(child));
    EXPECT_TRUE(WaitFor([child] { return !ZombieChildren().contains(QString::number(child)); }));
}

} // namespace
