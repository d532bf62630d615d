// The hooks the program installs at start-up: its own directory selection
// window and the detached start of a program taken as a path.
#include "base/forms/ProgramHooks.h"
#include "base/forms/ZT_PfadMaske.h"
#include "base/ZT_Start.h"
#include "platform/Hooks.h"
#include "platform/forms/DefaultHooks.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cerrno>

using namespace platform;

namespace {

// Switches into a directory for the test's duration.
struct ScopedCurrentDir {
    explicit ScopedCurrentDir(const QString& dir) : old(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~ScopedCurrentDir() { QDir::setCurrent(old); }
    QString old;
};

bool WaitForFile(const QString& path)
{
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(path) && t.elapsed() < 10000)
        QThread::msleep(20);
    return QFile::exists(path);
}

} // namespace

TEST(ProgramHooks, InstallTheDirectoryWindowAndTheDetachedStart)
{
    ScopedHooks scope;
    InstallDefaultHooks();
    InstallProgramHooks();
    using TDialog = TDirectoryDialogAnswer (*)(const TDirectoryDialogRequest&);
    const TDialog* dialog = Hooks().DirectoryDialog.target<TDialog>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(*dialog, &PfadMaskeDirectoryDialog);
}

TEST(ProgramHooks, StartProcessRefusesWhatCannotRun)
{
    ScopedHooks scope;
    InstallDefaultHooks();
    InstallProgramHooks();
    QTemporaryDir dir;
    const TStartAnswer missing = Hooks().StartProcess(dir.filePath(QStringLiteral("nothing")), {}, QString());
    EXPECT_FALSE(missing.Started);
    EXPECT_EQ(missing.Error, ENOENT);
    EXPECT_EQ(Hooks().StartProcess(QStringLiteral("valdran-no-such-program"), {}, QString()).Error, ENOENT);

    const QString plain = dir.filePath(QStringLiteral("plain.txt"));
    ASSERT_TRUE(testsupport::writeFile(plain, "text"));
    QFile::setPermissions(plain, QFile::ReadOwner | QFile::WriteOwner);
    const TStartAnswer notExecutable = Hooks().StartProcess(plain, {}, QString());
    EXPECT_FALSE(notExecutable.Started);
    EXPECT_EQ(notExecutable.Error, EACCES);

    const QString script = dir.filePath(QStringLiteral("run.sh"));
    ASSERT_TRUE(testsupport::writeFile(script, "#!/bin/sh\n"));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const TStartAnswer badDir = Hooks().StartProcess(script, {}, dir.filePath(QStringLiteral("plain.txt/sub")));
    EXPECT_FALSE(badDir.Started);
    EXPECT_EQ(badDir.Error, ENOTDIR);   // the working directory lies below a file
}

// A name without a directory is a path in the current directory, as the
// program starter takes it: a program of that name on the search path is
// not the one meant.
TEST(ProgramHooks, ABareNameIsTakenFromTheCurrentDirectory)
{
    ScopedHooks scope;
    InstallDefaultHooks();
    InstallProgramHooks();
    QTemporaryDir dir;
    ScopedCurrentDir cwd(dir.path());

    // "sh" is on every search path, but not here.
    const TStartAnswer onPath = Hooks().StartProcess(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("true")},
                                                     QString());
    EXPECT_FALSE(onPath.Started);
    EXPECT_EQ(onPath.Error, ENOENT);

    const QString marker = dir.filePath(QStringLiteral("started"));
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("mark")), "#!/bin/sh\ntouch \"$1\"\n"));
    QFile::setPermissions(dir.filePath(QStringLiteral("mark")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const TStartAnswer here = Hooks().StartProcess(QStringLiteral("mark"), {marker}, QString());
    EXPECT_TRUE(here.Started) << here.Error;
    EXPECT_TRUE(WaitForFile(marker));
}
