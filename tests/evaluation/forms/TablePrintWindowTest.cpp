// The table window's print, printer setup and preview, through the hooks and
// on a recording printer (offscreen).
#include "evaluation/forms/ZT_TbAus.h"

#include "evaluation/HeadTemplate.h"
#include "evaluation/TablePrintSetup.h"
#include "platform/PlatformTexts.h"
#include "platform/LocaleFormats.h"
#include "output/GraphicsSettings.h"
#include "output/forms/ZT_Chart.h"
#include "output/forms/ZT_Vorschau.h"
#include "platform/Printer.h"
#include "support/FakeHooks.h"
#include "support/RecordingPrinter.h"
#include "support/TestSupport.h"

#include <QScopeGuard>
#include <QComboBox>
#include <QLabel>
#include <QToolButton>
#include <QDate>
#include <climits>
#include <cmath>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::TRecordingCanvas;
using Op = TRecordingCanvas::TOp;

namespace {

class TablePrintWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefaultGraphicsSettings(GraphicsSettings);
        DefaultTableOutputParams(params);
        params.SchriftGroesse = 10;
        form = std::make_unique<TTabAus_Form>();
        form->InitTableWindow(params);
    }
    void TearDown() override
    {
        GraphicsSettings.PrintOrientation = 0;
        PreviewTabAus_Form = nullptr;
    }
    void FillRows(int rows)
    {
        auto& grid = form->Model().Grid();
        grid.SetRowCount(rows);
        grid.SetColCount(3);
        grid.SetFixedRows(1);
        for (int c = 0; c < 3; ++c) {
            grid.SetColWidth(c, 60);
            grid.SetCell(c, 0, QStringLiteral("Kopf%1").arg(c));
            for (int r = 1; r < rows; ++r)
                grid.SetCell(c, r, QStringLiteral("z%1s%2").arg(r).arg(c));
        }
    }
    // The print dialog answers OK with the given range and file switch.
    void AcceptPrintDialog(bool toFile = false)
    {
        platform::TPrintDialogAnswer a;
        a.Accepted = true;
        a.PrintToFile = toFile;
        a.Target = QStringLiteral("Drucker 1");
        fakes.printAnswers.push_back(a);
    }

    testsupport::FakeHooks fakes;
    testsupport::ScopedRecordingPrinter printer;
    TTableOutputParams params;
    std::unique_ptr<TTabAus_Form> form;
};

} // namespace

TEST_F(TablePrintWindowTest, EstimatesPagesByTheRowsAndTheOrientation)
{
    FillRows(300);
    EXPECT_EQ(form->EstimatePageCount(), 5);          // 300 / 64.4 = 4.66
    GraphicsSettings.PrintOrientation = 1;
    EXPECT_EQ(form->EstimatePageCount(), 10);         // 300 div 28
    FillRows(10);
    EXPECT_EQ(form->EstimatePageCount(), 1);
    GraphicsSettings.PrintOrientation = 0;
    EXPECT_EQ(form->EstimatePageCount(), 1);
    EXPECT_EQ(EstimatePageCount(65535, 0), 1018);
    EXPECT_EQ(EstimatePageCount(65535, 1), 2340);
}

TEST_F(TablePrintWindowTest, PrintsOnThePrinterWithMarginsTitlesAndFonts)
{
    FillRows(200);
    params.SeitenRand_Prozent = {8.0952381, 5.3535354, 8.0952381, 5.3535354};
    form->AddTitleLine(QString(61, QLatin1Char('T')));
    form->AddTitleLine(QString());                     // empty lines are left out
    form->SetEvaluationLabel(QStringLiteral("Auswertung"));
    AcceptPrintDialog();
    form->DruckKnopfClick();

    ASSERT_EQ(fakes.printRequests.size(), 1u);
    // The pages the job lays out in portrait, whatever the estimate says.
    EXPECT_EQ(fakes.printRequests[0].MaxPage, form->TabDruck()->PageCount());
    EXPECT_EQ(fakes.printRequests[0].JobName, QStringLiteral("ZT_Ausgabe"));
    TZT_TabDruck& d = *form->TabDruck();
    EXPECT_EQ(params.AusgabeGeraet, AG_Drucker);
    EXPECT_EQ(d.Breite, 4960);
    EXPECT_EQ(d.Hoehe, 7016);
    EXPECT_EQ(d.DruckSeitenRand_Links, 402);
    EXPECT_EQ(d.DruckSeitenRand_Rechts, 402);
    EXPECT_EQ(d.DruckSeitenRand_Oben, 376);
    EXPECT_EQ(d.DruckSeitenRand_Unten, 376);
    EXPECT_EQ(d.Luecke_Senkrecht, 7016 / 200);
    EXPECT_EQ(d.Luecke_Waagerecht, 4960 / 200);
    EXPECT_EQ(d.KopfZeilen(), (QStringList{QString(61, QLatin1Char('T')), QStringLiteral("Auswertung")}));
    EXPECT_EQ(d.DruckAuftragsName, QStringLiteral("ZT_Ausgabe"));
    // The longest title has 61 characters: 1.2 times the table font.
    EXPECT_EQ(d.Schrift_TabellenUeberschriftZeilen.pointSize(), 12);
    EXPECT_TRUE(d.Schrift_TabellenUeberschriftZeilen.italic());
    EXPECT_TRUE(d.Schrift_SpaltenUeberschriftZeilen.bold());
    EXPECT_TRUE(d.Schrift_DatumSeitenzahlZeilen.italic());
    EXPECT_FALSE(d.Schrift_DatenZeilen.bold());
    EXPECT_FALSE(d.Schrift_DatenZeilen.italic());
    EXPECT_EQ(d.Schrift_DatenZeilen.pointSize(), 10);

    const TRecordingCanvas& rec = printer->Recording();
    ASSERT_FALSE(rec.Records.empty());
    EXPECT_EQ(rec.Records.front().Op, Op::BeginDoc);
    EXPECT_EQ(rec.Records.front().Text, QStringLiteral("ZT_Ausgabe"));
    EXPECT_EQ(rec.Records.back().Op, Op::EndDoc);
    EXPECT_EQ(rec.Pages(), d.PageCount());
    EXPECT_TRUE(fakes.kindMessages.empty());

    // Sixty characters: 1.5 times.
    form->Model().ClearTable(QString());
    FillRows(20);
    form->AddTitleLine(QString(60, QLatin1Char('T')));
    AcceptPrintDialog();
    form->DruckKnopfClick();
    EXPECT_EQ(d.Schrift_TabellenUeberschriftZeilen.pointSize(), 15);
}

TEST_F(TablePrintWindowTest, TheDateLineSaysTodayInThePlatformsShortDateFormatAsTheTitleLinesDo)
{
    FillRows(20);
    struct TCase {
        platform::LocaleFormats formats;
        QString picture;
    };
    const TCase cases[] = {
        {platform::LocaleFormats(QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP"),
                                 QLocale(QLocale::English, QLocale::UnitedStates)),
         QStringLiteral("M/d/yyyy")},
        {platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"),
                                 QLocale(QLocale::German, QLocale::Germany)),
         QStringLiteral("dd.MM.yyyy")},
    };
    for (const TCase& c : cases) {
        const platform::ScopedLocaleFormats formats(c.formats);
        AcceptPrintDialog();
        form->DruckKnopfClick();
        const QString today = QDate::currentDate().toString(c.picture);
        EXPECT_EQ(form->TabDruck()->Datums_Label, today) << c.picture.toStdString();
        // The title lines' "[Dat]" reads the same on the same page.
        EXPECT_EQ(FormatDateText(platform::Now()), today);
    }
}

TEST_F(TablePrintWindowTest, LandscapeTakesItsMarginsCrosswiseAndTheOrientationComesBack)
{
    FillRows(50);
    params.SeitenRand_Prozent = {10, 20, 10, 20};
    GraphicsSettings.PrintOrientation = 1;
    platform::TPrintDialogAnswer a;
    a.Accepted = true;
    a.Orientation = 1;
    a.Target = QStringLiteral("Drucker 1");
    fakes.printAnswers.push_back(a);
    form->DruckKnopfClick();
    TZT_TabDruck& d = *form->TabDruck();
    EXPECT_EQ(d.Breite, 7016);
    EXPECT_EQ(d.Hoehe, 4960);
    EXPECT_EQ(d.DruckSeitenRand_Links, 496);           // 10 % of the height
    EXPECT_EQ(d.DruckSeitenRand_Oben, 1403);           // 20 % of the width
    EXPECT_EQ(printer->Orientation(), 0);              // restored after the job
    EXPECT_EQ(GraphicsSettings.PrintOrientation, 1);
}

TEST_F(TablePrintWindowTest, SetupCancelledLeavesTheParametersAndPrintsNothing)
{
    FillRows(100);
    params.Von_Seite = 4;
    params.Bis_Seite = 9;
    params.Druck_Bereich = db_Seitenzahlen;
    form->DruckKnopfClick();                           // the dialog is cancelled
    EXPECT_EQ(fakes.printRequests.size(), 1u);
    EXPECT_EQ(params.Bis_Seite, 9);
    EXPECT_EQ(params.AusgabeGeraet, AG_Bildschirm);
    EXPECT_TRUE(printer->Recording().Records.empty());

    platform::TPrintDialogAnswer a;
    a.Accepted = true;
    a.Range = db_Seitenzahlen;
    a.FromPage = 2;
    a.ToPage = 2;
    a.Target = QStringLiteral("Drucker 1");
    fakes.printAnswers.push_back(a);
    EXPECT_TRUE(form->PrinterSetup());
    EXPECT_EQ(params.Von_Seite, 2);
    EXPECT_EQ(params.Bis_Seite, 2);
    EXPECT_EQ(params.Druck_Bereich, db_Seitenzahlen);
}

TEST_F(TablePrintWindowTest, ACancelledFileDialogWritesNothingAndShowsNothing)
{
    FillRows(10);
    QTemporaryDir dir;
    params.DruckDateiName = dir.filePath(QStringLiteral("tabelle.csv"));
    AcceptPrintDialog(true);
    form->DruckKnopfClick();                           // the file dialog is cancelled
    ASSERT_EQ(fakes.saveRequests.size(), 1u);
    EXPECT_EQ(fakes.saveRequests[0].FileName, QStringLiteral("tabelle.csv"));
    EXPECT_EQ(fakes.saveRequests[0].FilterIndex, 1);   // the CSV type
    EXPECT_FALSE(QFileInfo::exists(params.DruckDateiName));
    EXPECT_TRUE(fakes.kindMessages.empty());
    EXPECT_TRUE(printer->Recording().Records.empty());

    // Chosen: written as CSV, and the window hears of the name.
    QString chosen;
    form->Model().OnFileChosen = [&](const QString& name) { chosen = name; };
    const QString target = dir.filePath(QStringLiteral("neu.csv"));
    fakes.fileAnswers.push_back({true, target, 1});
    AcceptPrintDialog(true);
    form->DruckKnopfClick();
    EXPECT_EQ(chosen, target);
    EXPECT_EQ(params.DruckDateiName, target);
    const QByteArray bytes = testsupport::readFile(target);
    EXPECT_TRUE(bytes.startsWith("Kopf0;Kopf1;Kopf2\r\nz1s0;z1s1;z1s2\r\n")) << bytes.constData();
    EXPECT_TRUE(printer->Recording().Records.empty());
}

TEST_F(TablePrintWindowTest, AJobThatCannotBeginShowsMessage120)
{
    FillRows(10);
    printer->Recording().FailBegin = true;
    AcceptPrintDialog();
    form->DruckKnopfClick();
    ASSERT_EQ(fakes.kindMessages.size(), 1u);
    EXPECT_TRUE(fakes.lastMessageText().contains(QStringLiteral("Fehler beim Erstellen des Berichtes")));
}

TEST_F(TablePrintWindowTest, ASecondPrintWhileOneRunsBeeps)
{
    FillRows(10);
    platform::TPrintJobGuard running;
    form->DruckKnopfClick();
    EXPECT_EQ(fakes.beeps, 1);
    EXPECT_TRUE(fakes.printRequests.empty());
}

TEST_F(TablePrintWindowTest, PreviewShowsEveryRowOnTheCountTheLayoutGives)
{
    TZT_Vorschau preview;
    FillRows(400);
    form->setWindowTitle(QStringLiteral("Tabellenausgabe "));
    int drawnPages = 0;
    form->Model().OnPageDrawn = [&] { ++drawnPages; };
    form->Vorschau_KnopfClick();
    EXPECT_EQ(PreviewTabAus_Form.data(), form.get());
    ASSERT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.CurrentPage, 1);
    EXPECT_EQ(drawnPages, 1);
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Seitenvorschau-Tabellenausgabe "));
    EXPECT_EQ(params.AusgabeGeraet, AG_Vorschau);

    auto coversAllRows = [&] {
        const TZT_TabDruck& d = *form->TabDruck();
        const int perPage = d.Layout().RowsPerPage;
        ASSERT_GT(perPage, 0);
        EXPECT_EQ(preview.PageCount, d.PageCount());
        EXPECT_GE(preview.PageCount * perPage, 399);          // no row left out
        EXPECT_LT((preview.PageCount - 1) * perPage, 399);    // no page without rows
    };
    coversAllRows();
    const int pageWidthCount = preview.PageCount;
    EXPECT_GT(pageWidthCount, 1);
    // The page is the printer's, with the printout's fonts, drawn scaled
    // onto the image.
    const TZT_TabDruck& d = *form->TabDruck();
    EXPECT_EQ(d.Breite, 4960);
    EXPECT_EQ(d.Hoehe, 7016);
    EXPECT_EQ(d.Schrift_DatenZeilen.pointSize(), 10);
    EXPECT_EQ(d.Von_Seite, 1);
    EXPECT_EQ(d.Bis_Seite, 1);

    // The whole-page view scales the font by the same rule: the same rows.
    preview.SizeBox->setCurrentIndex(0);
    coversAllRows();
    EXPECT_EQ(preview.PageCount, pageWidthCount);
    preview.resize(preview.width() - 100, preview.height() - 50);
    EXPECT_EQ(preview.PageCount, pageWidthCount);
    preview.LetzteSeite_Knopf->click();
    EXPECT_EQ(form->PreviewPage(), preview.PageCount);
    coversAllRows();
    // The last page holds the last row: text inside its first data row.
    const QImage page = preview.PageImage();
    const auto& L = form->TabDruck()->Layout();
    const double scale = double(preview.Image->width()) / d.Breite;
    int ink = 0;
    for (int y = int(L.TableTop * scale) + 2; y < int((L.TableTop + L.RowHeight) * scale) - 1; ++y)
        for (int x = int((L.X[1] + d.DruckSeitenRand_Links) * scale) + 3;
             x < int((L.X[2] + d.DruckSeitenRand_Links) * scale) - 1; ++x)
            ink += page.pixelColor(x, y) != QColor(Qt::white) ? 1 : 0;
    EXPECT_GT(ink, 5);

    // The page shown stays the window's own for the next opening.
    preview.hide();
    form->ShowTablePreview();
    EXPECT_EQ(preview.CurrentPage, form->PreviewPage());
    EXPECT_FALSE(preview.Druck_Knopf->isVisible());
    EXPECT_TRUE(printer->Recording().Records.empty()); // nothing went to the printer
}

TEST_F(TablePrintWindowTest, PreviewShowsThePagesThatPrint)
{
    TZT_Vorschau preview;
    FillRows(400);
    form->Vorschau_KnopfClick();
    ASSERT_TRUE(preview.isVisible());
    const int previewPages = preview.PageCount;
    const int previewRows = form->TabDruck()->Layout().RowsPerPage;
    preview.SizeBox->setCurrentIndex(0);
    EXPECT_EQ(form->TabDruck()->Layout().RowsPerPage, previewRows);

    AcceptPrintDialog();
    form->DruckKnopfClick();
    ASSERT_EQ(fakes.printRequests.size(), 1u);
    const TRecordingCanvas& rec = printer->Recording();
    EXPECT_EQ(rec.Pages(), previewPages);
    EXPECT_EQ(form->TabDruck()->Layout().RowsPerPage, previewRows);
    // The dialog reaches the last printed page, whatever the estimate says.
    EXPECT_GE(fakes.printRequests[0].MaxPage, previewPages);

    // The same in landscape.
    preview.hide();
    GraphicsSettings.PrintOrientation = 1;
    form->ShowTablePreview();
    const int landscapePages = preview.PageCount;
    EXPECT_EQ(preview.Orientation(), 1);
    printer->Recording().Records.clear();
    AcceptPrintDialog();
    fakes.printAnswers.back().Orientation = 1;
    form->DruckKnopfClick();
    ASSERT_EQ(fakes.printRequests.size(), 2u);
    EXPECT_EQ(printer->Recording().Pages(), landscapePages);
    EXPECT_GE(fakes.printRequests[1].MaxPage, landscapePages);
}

TEST_F(TablePrintWindowTest, PreviewCellsFitTheirColumnsAsOnPaper)
{
    // Real fonts: the PDF printer measures at 600 dpi.
    platform::SetPrinter(std::make_unique<platform::TPdfPrinter>());
    TZT_Vorschau preview;
    auto& grid = form->Model().Grid();
    grid.SetRowCount(3);
    grid.SetColCount(2);
    grid.SetFixedRows(1);
    grid.SetCell(0, 0, QStringLiteral("Zeit"));
    grid.SetCell(1, 0, QStringLiteral("Wert"));
    for (int r = 1; r < 3; ++r) {
        grid.SetCell(0, r, QStringLiteral("01.09.2026 00:00:00"));
        grid.SetCell(1, r, QStringLiteral("1,0"));
    }
    // The columns as the table window sizes them for their texts.
    form->Model().ApplyTableFont(form->Model().TableFont());
    form->Vorschau_KnopfClick();
    ASSERT_TRUE(preview.isVisible());
    const TZT_TabDruck& d = *form->TabDruck();
    const auto& L = d.Layout();
    ASSERT_GE(L.ColumnCount(), 1);
    const QImage page = preview.PageImage();
    const double scale = double(page.width()) / d.Breite;
    // The first data row's time cell holds as much ink as the same text
    // drawn unclipped on a page of the same scale: nothing is cut off.
    auto inkExtent = [](const QImage& img, int x1, int x2, int y1, int y2) {
        int left = INT_MAX, right = -1;
        for (int x = std::max(0, x1); x < std::min(img.width(), x2); ++x)
            for (int y = std::max(0, y1); y < std::min(img.height(), y2); ++y)
                if (qGray(img.pixel(x, y)) < 160) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return right < 0 ? 0 : right - left + 1;
    };
    const int x1 = int((L.X[1] + d.DruckSeitenRand_Links + d.Luecke_Senkrecht) * scale) + 1;
    const int x2 = int((L.X[2] + d.DruckSeitenRand_Links) * scale);
    const int y1 = int(L.TableTop * scale) + 2;
    const int y2 = int((L.TableTop + L.RowHeight) * scale) - 1;
    const int cellInk = inkExtent(page, x1, x2, y1, y2);

    platform::TImageCanvas unclipped(page.width(), page.height());
    ASSERT_TRUE(unclipped.BeginDoc(QString()));
    {
        platform::TScaledPageCanvas onFree(platform::Printer().Canvas(), &unclipped, d.Breite, d.Hoehe);
        onFree.SetBackgroundTransparent(true);
        onFree.SetFont(d.Schrift_DatenZeilen);
        onFree.TextOut(1000, 1000, QStringLiteral("01.09.2026 00:00:00"));
    }
    const int freeInk = inkExtent(unclipped.Image(), 0, page.width(), 0, page.height());
    unclipped.EndDoc();
    ASSERT_GT(freeInk, 20);
    EXPECT_GE(cellInk, freeInk - 1);
    platform::SetPrinter(nullptr);
}

// Print the table into PDF file A, then into a text file, then the chart,
// which has no print dialog of its own: the chart's job asks for its file and
// asks before A is overwritten, whatever the table's jobs left behind.
TEST_F(TablePrintWindowTest, AJobWithoutADialogAsksForItsPdfFileWhateverCameBefore)
{
    FillRows(30);
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("A.pdf"));
    ASSERT_TRUE(testsupport::writeFile(a, "%PDF-1.4\n"));
    QStringList overwriteAsked;
    platform::SetPdfOverwriteQuestion([&](const QString& name) {
        overwriteAsked << name;
        return false;
    });
    ASSERT_TRUE(printer->SetTarget(platform::PdfTargetName()));

    platform::TPrintDialogAnswer pdf;
    pdf.Accepted = true;
    pdf.Target = platform::PdfTargetName();
    pdf.PdfFileName = a;                               // chosen in the dialog for this job
    fakes.printAnswers.push_back(pdf);
    form->DruckKnopfClick();
    EXPECT_TRUE(fakes.saveRequests.empty());
    EXPECT_EQ(printer->Recording().Of(Op::BeginDoc).size(), 1u);

    // Into a text file, with a dialog that hands A back once more.
    platform::TPrintDialogAnswer csv = pdf;
    csv.PrintToFile = true;
    fakes.printAnswers.push_back(csv);
    fakes.fileAnswers.push_back({true, dir.filePath(QStringLiteral("t.csv")), 1});
    form->DruckKnopfClick();
    ASSERT_EQ(fakes.saveRequests.size(), 1u);          // the text file's question
    EXPECT_FALSE(platform::Printer().PdfChosen());

    TZT_Chart chart;
    fakes.fileAnswers.push_back({true, a, 1});
    chart.Drucken_KnopfClick(nullptr);
    ASSERT_EQ(fakes.saveRequests.size(), 2u);          // the chart asked for its file
    EXPECT_EQ(fakes.saveRequests[1].FileName, QStringLiteral("A.pdf"));
    EXPECT_EQ(overwriteAsked, QStringList{a});         // and before overwriting A
    EXPECT_EQ(printer->Recording().Of(Op::BeginDoc).size(), 1u);   // refused: nothing begun
    EXPECT_EQ(testsupport::readFile(a), QByteArray("%PDF-1.4\n"));
    platform::SetPdfOverwriteQuestion(nullptr);
}

// A job whose file was chosen but that printed nothing leaves no choice
// behind for the next one either.
TEST_F(TablePrintWindowTest, AChosenFileThatWasNotUsedIsNoChoiceForTheNextJob)
{
    FillRows(30);
    ASSERT_TRUE(printer->SetTarget(platform::PdfTargetName()));
    platform::TPrintJobGuard running;                  // the table's job is refused with a beep
    platform::TPrintDialogAnswer pdf;
    pdf.Accepted = true;
    pdf.Target = platform::PdfTargetName();
    pdf.PdfFileName = QStringLiteral("/tmp/nie.pdf");
    fakes.printAnswers.push_back(pdf);
    form->PrinterSetup();
    params.AusgabeGeraet = AG_Drucker;
    form->PrepareTablePrint(false);
    EXPECT_EQ(fakes.beeps, 1);
    EXPECT_FALSE(platform::Printer().PdfChosen());
}

// The dialog's range is the one of the orientation chosen there, and pages
// past the last one are refused with a word, never printed as nothing.
TEST_F(TablePrintWindowTest, TheDialogOffersThePagesOfTheOrientationChosen)
{
    platform::SetPlatformDialogsGerman(true);
    const auto resetLanguage = qScopeGuard([] { platform::ResetPlatformDialogsLanguage(); });
    FillRows(200);
    AcceptPrintDialog();
    form->DruckKnopfClick();
    ASSERT_EQ(fakes.printRequests.size(), 1u);
    const platform::TPrintDialogRequest& r = fakes.printRequests[0];
    ASSERT_TRUE(r.LayoutFor);
    const int portrait = r.LayoutFor(0).Pages;
    const int landscape = r.LayoutFor(1).Pages;
    EXPECT_EQ(portrait, form->TabDruck()->PageCount());
    EXPECT_GT(landscape, portrait);
    EXPECT_EQ(r.MaxPage, portrait);                    // not the larger count of the two

    // Pages past the end of the orientation answered: refused and said.
    printer->Recording().Records.clear();
    platform::TPrintDialogAnswer past;
    past.Accepted = true;
    past.Range = db_Seitenzahlen;
    past.FromPage = portrait + 1;
    past.ToPage = portrait + 1;
    past.Target = QStringLiteral("Drucker 1");
    fakes.printAnswers.push_back(past);
    fakes.messageBoxes.clear();
    form->DruckKnopfClick();
    EXPECT_EQ(fakes.messageBoxes.size(), 1u);
    EXPECT_TRUE(printer->Recording().Records.empty());
    EXPECT_EQ(params.Druck_Bereich, db_AlleSeiten);    // nothing taken over

    // A range past the end that reaches the job anyway is told, not
    // answered as a success.
    params.Druck_Bereich = db_Seitenzahlen;
    params.Von_Seite = params.Bis_Seite = portrait + 2;
    params.AusgabeGeraet = AG_Drucker;
    form->PrepareTablePrint(false);
    EXPECT_TRUE(printer->Recording().Records.empty());
    ASSERT_EQ(fakes.messageBoxes.size(), 2u);
    EXPECT_TRUE(fakes.messageBoxes[1].Text.contains(QStringLiteral("nichts gedruckt")));

    // In the English program the platform's own message says it in English.
    platform::SetPlatformDialogsGerman(false);
    form->PrepareTablePrint(false);
    ASSERT_EQ(fakes.messageBoxes.size(), 3u);
    EXPECT_TRUE(fakes.messageBoxes[2].Text.startsWith(QStringLiteral("Nothing was printed: there are no pages")));
    EXPECT_EQ(fakes.messageBoxes[2].Caption, QStringLiteral("Print"));
}

// The preview follows its table: cleared ("Aktualisieren") or filled anew,
// the old pages go, and the next preview opens on the first page.
TEST_F(TablePrintWindowTest, AnOpenPreviewClosesWhenItsTableIsCleared)
{
    TZT_Vorschau preview;
    FillRows(400);
    form->Vorschau_KnopfClick();
    ASSERT_TRUE(preview.isVisible());
    preview.LetzteSeite_Knopf->click();
    ASSERT_GT(form->PreviewPage(), 1);
    EXPECT_TRUE(form->PreviewShowsThisTable());

    form->Model().ClearTable(QString());
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(form->PreviewPage(), 1);

    FillRows(40);
    form->Vorschau_KnopfClick();
    EXPECT_EQ(preview.CurrentPage, 1);
    EXPECT_EQ(preview.PageCount, 1);

    // Another window's preview (a chart) stays open when the table is cleared.
    preview.ShowPages(1, 1, [](int32_t) {}, 0);
    form->Model().ClearTable(QString());
    EXPECT_TRUE(preview.isVisible());
}

// Columns the paper cannot take are left off, but the preview's status line
// and the print dialog name them and say what would take more.
TEST_F(TablePrintWindowTest, ColumnsLeftOffThePaperAreNamed)
{
    platform::SetPlatformDialogsGerman(true);
    const auto resetLanguage = qScopeGuard([] { platform::ResetPlatformDialogsLanguage(); });
    TZT_Vorschau preview;
    auto& grid = form->Model().Grid();
    grid.SetRowCount(20);
    grid.SetColCount(10);
    grid.SetFixedRows(1);
    for (int c = 0; c < 10; ++c) {
        grid.SetColWidth(c, 160);
        grid.SetCell(c, 0, QStringLiteral("V%1-Differenz").arg(c));
        for (int r = 1; r < 20; ++r)
            grid.SetCell(c, r, QStringLiteral("%1").arg(r * 1000 + c));
    }
    form->Vorschau_KnopfClick();
    ASSERT_TRUE(preview.isVisible());
    const QStringList leftOut = form->TabDruck()->Layout().LeftOutHeaders;
    ASSERT_FALSE(leftOut.isEmpty());
    EXPECT_EQ(leftOut.back(), QStringLiteral("V9-Differenz"));
    EXPECT_TRUE(preview.StatusNote().contains(QStringLiteral("V9-Differenz")));
    EXPECT_TRUE(preview.StatusNote().contains(QStringLiteral("Querformat")));
    EXPECT_FALSE(preview.StatusNote().contains(QStringLiteral("V0-Differenz")));

    AcceptPrintDialog();
    form->DruckKnopfClick();
    ASSERT_EQ(fakes.printRequests.size(), 1u);
    EXPECT_TRUE(fakes.printRequests[0].Note.contains(QStringLiteral("V9-Differenz")));
    EXPECT_EQ(fakes.printRequests[0].Note, preview.StatusNote());

    // The note speaks the language of the platform's dialogs it stands in.
    platform::SetPlatformDialogsGerman(false);
    preview.hide();
    form->Vorschau_KnopfClick();
    EXPECT_TRUE(preview.StatusNote().startsWith(QStringLiteral("Not on the paper: ")));
    EXPECT_TRUE(preview.StatusNote().contains(QStringLiteral("V9-Differenz")));
    EXPECT_TRUE(preview.StatusNote().contains(QStringLiteral("Landscape or a smaller font")));

    // All columns on the paper: no note.
    grid.SetColCount(2);
    preview.hide();
    form->Vorschau_KnopfClick();
    EXPECT_TRUE(preview.StatusNote().isEmpty());
}
