// Only the paths of the Qt hooks that show nothing and start nothing are run
// here: refusals before a program is started, and the slots left silent.
#include "platform/Hooks.h"
#include "platform/forms/DefaultHooks.h"
#include "platform/Printer.h"
#include "platform/forms/QtPrinter.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
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

// The open dialog offers the read-only tick when asked to, and its answer
// says whether the user ticked it; a save dialog never offers it.
TEST(DefaultHooks, OpenDialogOffersTheReadOnlyTickAndAnswersIt)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bericht.rtf"));
    ASSERT_TRUE(testsupport::writeFile(file, "{\\rtf1 x}"));
    TFileDialogRequest request;
    request.Title = QStringLiteral("Report laden ...");
    request.Filter = QStringLiteral("Reportdateien (*.rtf)|*.rtf");
    request.InitialDir = dir.path();
    request.OfferReadOnly = true;

    QFileDialog dialog;
    SetUpFileDialog(dialog, request, false);
    auto* box = dialog.findChild<QCheckBox*>(QLatin1String(ReadOnlyBoxName));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Schreibgeschützt öffnen"));
    EXPECT_FALSE(box->isChecked());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(box->isVisible());
    box->click();
    auto* nameEdit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(nameEdit, nullptr);
    nameEdit->setText(QStringLiteral("bericht.rtf"));
    QTest::keyClick(nameEdit, Qt::Key_Return);
    ASSERT_FALSE(dialog.isVisible());
    TFileDialogAnswer answer = FileDialogAnswerOf(dialog, request, dialog.result());
    EXPECT_TRUE(answer.Accepted);
    EXPECT_EQ(QFileInfo(answer.FileName).fileName(), QStringLiteral("bericht.rtf"));
    EXPECT_TRUE(answer.ReadOnly);

    // Ticked from the start when the request says so; left alone, it stays.
    request.ReadOnly = true;
    QFileDialog again;
    SetUpFileDialog(again, request, false);
    ASSERT_NE(again.findChild<QCheckBox*>(QLatin1String(ReadOnlyBoxName)), nullptr);
    EXPECT_TRUE(again.findChild<QCheckBox*>(QLatin1String(ReadOnlyBoxName))->isChecked());

    // Not asked for, or saving: no tick, and the answer is never read-only.
    request.OfferReadOnly = false;
    QFileDialog plain;
    SetUpFileDialog(plain, request, false);
    EXPECT_EQ(plain.findChild<QCheckBox*>(QLatin1String(ReadOnlyBoxName)), nullptr);
    request.OfferReadOnly = true;
    QFileDialog save;
    SetUpFileDialog(save, request, true);
    EXPECT_EQ(save.findChild<QCheckBox*>(QLatin1String(ReadOnlyBoxName)), nullptr);
    answer = FileDialogAnswerOf(save, request, QDialog::Rejected);
    EXPECT_FALSE(answer.ReadOnly);
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
