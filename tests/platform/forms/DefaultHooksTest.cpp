// Only the paths of the Qt hooks that show nothing and start nothing are run
// here: refusals before a program is started, and the slots left silent.
#include "platform/Hooks.h"
#include "platform/forms/DefaultHooks.h"
#include "platform/Printer.h"
#include "platform/forms/QtPrinter.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

using namespace platform;

TEST(DefaultHooks, StartProcessRefusesWhatCannotRun)
{
    ScopedHooks scope;
    InstallDefaultHooks();
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

    EXPECT_FALSE(Hooks().OpenDocument(QString()));
}

TEST(DefaultHooks, InstallThePrinterAndKeepTheWindowSlotSilent)
{
    ScopedHooks scope;
    InstallDefaultHooks();
    EXPECT_NE(dynamic_cast<TQtPrinter*>(&Printer()), nullptr);
    EXPECT_TRUE(Printer().Targets().contains(PdfTargetName()));
    EXPECT_FALSE(Hooks().FindProgramWindow(QStringLiteral("TAppBuilder"), QString()));
}
