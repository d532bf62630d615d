// Only the paths of the Qt hooks that show nothing and start nothing are run
// here: refusals before a program is started, and the slots left silent.
#include "platform/Hooks.h"
#include "platform/forms/DefaultHooks.h"
#include "platform/Printer.h"
#include "platform/forms/QtPrinter.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

TEST(DefaultHooks, OpeningNothingOpensNothing)
{
    ScopedHooks scope;
    InstallDefaultHooks();
    EXPECT_FALSE(Hooks().OpenDocument(QString()));
}

TEST(DefaultHooks, InstallThePrinterAndKeepTheWindowSlotSilent)
{
    ScopedHooks scope;
    InstallDefaultHooks();
    EXPECT_NE(dynamic_cast<TQtPrinter*>(&Printer()), nullptr);
    EXPECT_TRUE(Printer().Targets().contains(PdfTargetName()));
    EXPECT_FALSE(Hooks().FindProgramWindow(QStringLiteral("TAppBuilder"), QString()));
    // The program's own slots wait for the program to install them.
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("run.sh"));
    ASSERT_TRUE(testsupport::writeFile(script, "#!/bin/sh\n"));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(Hooks().StartProcess(script, {}, QString()).Started);
    EXPECT_FALSE(Hooks().DirectoryDialog(TDirectoryDialogRequest{}).Accepted);
}

// The platform layer stands for the window system and the operating system:
// it must not know the program built on it.
TEST(PlatformLayer, IncludesNothingOfTheProgram)
{
    const QString root = QStringLiteral(VALDRAN_DATA_DIR "/../src/platform");
    QDirIterator it(root, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        ++files;
        int lineNo = 0;
        while (!f.atEnd()) {
            const QByteArray line = f.readLine().trimmed();
            ++lineNo;
            if (!line.startsWith("#include \""))
                continue;
            for (const char* layer : {"base/", "evaluation/", "output/", "reports/"})
                EXPECT_FALSE(line.startsWith(QByteArray("#include \"") + layer))
                    << path.toStdString() << ":" << lineNo << ": " << line.toStdString();
        }
    }
    EXPECT_GT(files, 10);
}
