// The print dialog (offscreen, never shown modally): what it offers and the
// answer its controls give; the PDF file name asked through the hook.
#include "platform/PlatformTexts.h"
#include "platform/Printer.h"
#include "platform/forms/PrintDialog.h"
#include "platform/forms/QtPrinter.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace platform;

namespace {

TPrintDialogRequest Request()
{
    TPrintDialogRequest r;
    r.Range = 2;
    r.FromPage = 2;
    r.ToPage = 12;
    r.MinPage = 1;
    r.MaxPage = 10;
    r.AllowPrintToFile = true;
    r.Orientation = 1;
    r.Targets = {QStringLiteral("Büro"), PdfTargetName()};
    r.Target = PdfTargetName();
    r.JobName = QStringLiteral("ZT_Ausgabe");
    r.PreviousFile = QStringLiteral("/data/out/t.csv");
    return r;
}

} // namespace

TEST(PrintDialog, OffersTargetsPagesFileAndOrientation)
{
    testsupport::FakeHooks fakes;
    TPrintDialogForm dialog(Request());
    EXPECT_EQ(dialog.Target->count(), 2);
    EXPECT_EQ(dialog.Target->currentText(), QStringLiteral("PDF"));
    EXPECT_TRUE(dialog.PageNumbers->isChecked());
    EXPECT_EQ(dialog.FromPage->value(), 2);
    EXPECT_EQ(dialog.ToPage->value(), 10);            // within the page count
    EXPECT_EQ(dialog.ToPage->maximum(), 10);
    EXPECT_TRUE(dialog.Landscape->isChecked());
    EXPECT_FALSE(dialog.PrintToFile->isHidden());
    EXPECT_TRUE(dialog.NoPrinterLabel->isHidden());    // a printer queue exists

    dialog.AllPages->setChecked(true);
    dialog.Portrait->setChecked(true);
    dialog.Target->setCurrentIndex(0);
    const TPrintDialogAnswer a = dialog.Answer(true);
    EXPECT_TRUE(a.Accepted);
    EXPECT_EQ(a.Range, 0);
    EXPECT_EQ(a.Orientation, 0);
    EXPECT_EQ(a.Target, QStringLiteral("Büro"));
    EXPECT_FALSE(a.PrintToFile);
    // OK on a printer queue asks no file name.
    dialog.accept();
    EXPECT_TRUE(fakes.saveRequests.empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(PrintDialog, ThePdfTargetAsksForItsFileOnOk)
{
    testsupport::FakeHooks fakes;
    TPrintDialogForm dialog(Request());
    dialog.accept();                                   // the file question is cancelled
    ASSERT_EQ(fakes.saveRequests.size(), 1u);
    EXPECT_EQ(fakes.saveRequests[0].FileName, QStringLiteral("ZT_Ausgabe.pdf"));
    EXPECT_EQ(fakes.saveRequests[0].InitialDir, QStringLiteral("/data/out"));
    EXPECT_NE(dialog.result(), QDialog::Accepted);      // stays open

    fakes.fileAnswers.push_back({true, QStringLiteral("/tmp/t.pdf"), 1});
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Answer(true).PdfFileName, QStringLiteral("/tmp/t.pdf"));

    // Into a text file: no PDF name is wanted.
    TPrintDialogForm toFile(Request());
    toFile.PrintToFile->setChecked(true);
    toFile.accept();
    EXPECT_EQ(fakes.saveRequests.size(), 2u);
    EXPECT_EQ(toFile.result(), QDialog::Accepted);
    EXPECT_TRUE(toFile.Answer(true).PrintToFile);
}

// The page range follows the orientation chosen in the dialog, and so does
// the note on the columns the paper leaves off.
TEST(PrintDialog, TheRangeFollowsTheOrientationChosen)
{
    testsupport::FakeHooks fakes;
    TPrintDialogRequest r = Request();
    r.MaxPage = 5;
    r.Note = QStringLiteral("Nicht auf dem Papier: V4");
    std::vector<int> asked;
    r.LayoutFor = [&asked](int orientation) {
        asked.push_back(orientation);
        return orientation == 1 ? TPrintDialogRequest::TLayoutInfo{5, QString()}
                                : TPrintDialogRequest::TLayoutInfo{3, QStringLiteral("Nicht auf dem Papier: V4")};
    };
    r.FromPage = 4;
    r.ToPage = 5;
    TPrintDialogForm dialog(r);                      // landscape: five pages
    EXPECT_EQ(dialog.ToPage->maximum(), 5);
    EXPECT_EQ(dialog.ToPage->value(), 5);
    EXPECT_TRUE(dialog.LayoutNote->isHidden());
    dialog.Portrait->setChecked(true);               // portrait: three
    EXPECT_EQ(asked.back(), 0);
    EXPECT_EQ(dialog.FromPage->maximum(), 3);
    EXPECT_EQ(dialog.ToPage->maximum(), 3);
    EXPECT_LE(dialog.FromPage->value(), 3);          // pages 4 to 5 cannot be asked for
    EXPECT_EQ(dialog.ToPage->value(), 3);
    EXPECT_FALSE(dialog.LayoutNote->isHidden());
    EXPECT_EQ(dialog.LayoutNote->text(), QStringLiteral("Nicht auf dem Papier: V4"));
    const TPrintDialogAnswer a = dialog.Answer(true);
    EXPECT_LE(a.FromPage, 3);
    EXPECT_EQ(a.ToPage, 3);
    dialog.Landscape->setChecked(true);
    EXPECT_EQ(dialog.ToPage->maximum(), 5);
    EXPECT_TRUE(dialog.LayoutNote->isHidden());
}

// A file name is the answer only of the PDF job it was chosen for: a job into
// a text file or onto a printer queue hands back none, so the next job asks.
TEST(PrintDialog, OnlyAPdfJobHandsBackItsFileName)
{
    testsupport::FakeHooks fakes;
    TPrintDialogRequest r = Request();
    r.PdfFileName = QStringLiteral("/data/out/A.pdf");
    TPrintDialogForm toFile(r);
    toFile.PrintToFile->setChecked(true);
    toFile.accept();
    ASSERT_EQ(toFile.result(), QDialog::Accepted);
    EXPECT_TRUE(toFile.Answer(true).PdfFileName.isEmpty());

    TPrintDialogForm queue(r);
    queue.Target->setCurrentIndex(0);
    queue.accept();
    EXPECT_TRUE(queue.Answer(true).PdfFileName.isEmpty());
    EXPECT_TRUE(fakes.saveRequests.empty());
}

// An existing file is overwritten only after message 51 said yes; a no keeps
// the dialog open.
TEST(PrintDialog, AnExistingPdfFileIsTakenOnlyAfterTheOverwriteQuestion)
{
    testsupport::FakeHooks fakes;
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("A.pdf"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
    }
    QStringList asked;
    bool answer = false;
    SetPdfOverwriteQuestion([&](const QString& name) {
        asked << name;
        return answer;
    });
    TPrintDialogForm dialog(Request());
    fakes.fileAnswers.push_back({true, existing, 1});
    dialog.accept();
    EXPECT_EQ(asked, QStringList{existing});
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    answer = true;
    fakes.fileAnswers.push_back({true, existing, 1});
    dialog.accept();
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Answer(true).PdfFileName, existing);
    SetPdfOverwriteQuestion(nullptr);
}

TEST(PrintDialog, WarnsWhenPdfIsTheOnlyTargetAndTheSetupHidesTheRange)
{
    TPrintDialogRequest r = Request();
    r.Targets = {PdfTargetName()};
    TPrintDialogForm dialog(r);
    EXPECT_FALSE(dialog.NoPrinterLabel->isHidden());
    TPrintDialogForm setup(r, true);
    EXPECT_TRUE(setup.PrintToFile->isHidden());
    EXPECT_TRUE(setup.FromPage->parentWidget()->isHidden());
    EXPECT_EQ(setup.windowTitle(), PlatformText(TPlatformText::PrinterSetupTitle));
    SetPlatformDialogsGerman(true);
    EXPECT_EQ(TPrintDialogForm(r, true).windowTitle(), QStringLiteral("Druckereinrichtung"));
    SetPlatformDialogsGerman(false);
    EXPECT_EQ(TPrintDialogForm(r, true).windowTitle(), QStringLiteral("Print Setup"));
    ResetPlatformDialogsLanguage();
}

TEST(QtPrinter, PrintsToPdfAndKeepsPageSizesByOrientation)
{
    TQtPrinter printer;
    ASSERT_TRUE(printer.Targets().contains(PdfTargetName()));
    EXPECT_EQ(printer.Targets().back(), PdfTargetName());
    ASSERT_TRUE(printer.SetTarget(PdfTargetName()));
    EXPECT_FALSE(printer.SetTarget(QStringLiteral("no such queue \x01")));
    QTemporaryDir dir;
    printer.SetPdfFileName(dir.filePath(QStringLiteral("qt.pdf")));
    {
        TOrientationKeeper keep(printer, 1);
        EXPECT_EQ(printer.PageWidth(), 7017);
        EXPECT_EQ(printer.PageHeight(), 4958);
        printer.SetTitle(QStringLiteral("ZT_Druckerausgabe"));
        ASSERT_TRUE(printer.BeginDoc());
        ASSERT_NE(printer.Canvas().Painter(), nullptr);
        printer.Canvas().Painter()->drawRect(100, 100, 1000, 1000);
        ASSERT_TRUE(printer.NewPage());
        ASSERT_TRUE(printer.EndDoc());
    }
    EXPECT_EQ(printer.Orientation(), 0);
    EXPECT_EQ(printer.PageWidth(), 4958);
    REQUIRE_TOOL("pdfinfo");
    const auto info = testsupport::runTool(QStringLiteral("pdfinfo"), {dir.filePath(QStringLiteral("qt.pdf"))});
    ASSERT_EQ(info.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(info.out).contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
    EXPECT_TRUE(info.out.contains("ZT_Druckerausgabe"));
}
