// The chart window and the report editor print to a CUPS queue through the
// program's printer over QPrinter; the delivered jobs are read back with
// pdfinfo and pdftotext, and the rich text's margins are compared with the
// same document printed into a PDF file.
#include "CupsQueue.h"

#include "output/GraphicsSettings.h"
#include "output/forms/ZT_Chart.h"
#include "reports/RichPrinter.h"
#include "reports/forms/OLEEdit.h"
#include "reports/forms/PrtForm.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using cupstest::Points;
using cupstest::QueueName;

namespace {

// The printable page of the program's printer on the paper, in points.
QRectF PrintableArea(int orientation)
{
    platform::TPrinterService& p = platform::Printer();
    platform::TOrientationKeeper keep(p, orientation);
    const int dpi = p.Resolution();
    return QRectF(Points(p.PageOffset().x(), dpi), Points(p.PageOffset().y(), dpi), Points(p.PageWidth(), dpi),
                  Points(p.PageHeight(), dpi));
}

void ExpectInside(const std::vector<cupstest::TWord>& words, const QRectF& area)
{
    for (const cupstest::TWord& w : words) {
        EXPECT_GE(w.XMin, area.left() - 0.5) << w.Text.toStdString();
        EXPECT_LE(w.XMax, area.right() + 0.5) << w.Text.toStdString();
        EXPECT_GE(w.YMin, area.top() - 0.5) << w.Text.toStdString();
        EXPECT_LE(w.YMax, area.bottom() + 0.5) << w.Text.toStdString();
    }
}

QString OneJob()
{
    const QStringList jobs = cupstest::Server()->WaitForJobs(1);
    EXPECT_EQ(jobs.size(), 1) << cupstest::Server()->ErrorLog().toStdString();
    return jobs.isEmpty() ? QString() : jobs.front();
}

} // namespace

TEST(QueueChartPrint, TheChartPrintsOnTheDefaultQueueInTheUpperHalfOrOnALandscapePage)
{
    REQUIRE_CUPS_QUEUE();
    testsupport::FakeHooks fakes;
    cupstest::ScopedQtPrinter printer;
    DefaultGraphicsSettings(GraphicsSettings);
    GraphicsSettings.Colours[0] = platform::clWhite;
    TZT_Chart window;
    QWidget holder;
    holder.resize(900, 520);
    auto* layout = new QVBoxLayout(&holder);
    window.Diagramm->setParent(&holder);
    layout->addWidget(window.Diagramm);
    holder.show();
    platform::TStringGridModel grid;
    grid.SetColCount(5);
    grid.SetRowCount(8);
    grid.SetFixedCols(3);
    grid.SetFixedRows(2);
    grid.SetColWidth(0, 0);
    for (int c = 0; c < 2; ++c) {
        grid.SetCell(3 + c, 0, QStringLiteral("Wert%1").arg(c + 1));
        grid.SetCell(3 + c, 1, QStringLiteral("kWh"));
    }
    for (int r = 0; r < 6; ++r) {
        grid.SetCell(1, 2 + r, QStringLiteral("%1.01.2024").arg(r + 1, 2, 10, QLatin1Char('0')));
        grid.SetCell(2, 2 + r, QStringLiteral("00:00"));
        for (int c = 0; c < 2; ++c)
            grid.SetCell(3 + c, 2 + r, QString::number(10 * (c + 1) + r * 3));
    }
    grid.SetSelection(platform::TGridRect{3, 2, 4, 7});
    window.ShowChartForGrid(grid);

    // No dialog: the chart goes to the printer's target, the default queue.
    ASSERT_EQ(printer->Target(), QueueName);
    window.Drucken_KnopfClick(window.Drucken_Knopf);
    EXPECT_TRUE(fakes.kindMessages.empty()) << fakes.lastMessageText().toStdString();
    QString pdf = OneJob();
    ASSERT_FALSE(pdf.isEmpty());
    cupstest::TPdfFacts facts = cupstest::ReadPdf(pdf);
    EXPECT_EQ(facts.Pages, 1);
    EXPECT_EQ(facts.Title, QStringLiteral("Diagramm"));
    EXPECT_LT(facts.WidthPt, facts.HeightPt);
    ASSERT_EQ(facts.PageTexts.size(), 1);
    EXPECT_TRUE(facts.PageTexts[0].contains(QStringLiteral("01.01.2024")));
    EXPECT_TRUE(facts.PageTexts[0].contains(QStringLiteral("05.01.2024")));
    EXPECT_TRUE(facts.PageTexts[0].contains(QStringLiteral("Wert2 / kWh")));
    std::vector<cupstest::TWord> words = cupstest::Words(pdf, 1);
    ASSERT_FALSE(words.empty());
    QRectF area = PrintableArea(0);
    ExpectInside(words, area);
    // Portrait: the chart takes the upper half of the printable page.
    for (const cupstest::TWord& w : words)
        EXPECT_LT(w.YMax, area.top() + area.height() / 2 + 1) << w.Text.toStdString();

    // Printed landscape: a landscape page, the orientations put back.
    TChartOptions o;
    DefaultChartOptions(o);
    o.Flags = ChartFlagPrintLandscape;
    window.LoadChartOptions(o);
    cupstest::Server()->ClearJobs();
    window.Drucken_KnopfClick(nullptr);
    pdf = OneJob();
    ASSERT_FALSE(pdf.isEmpty());
    facts = cupstest::ReadPdf(pdf);
    EXPECT_EQ(facts.Pages, 1);
    EXPECT_GT(facts.WidthPt, facts.HeightPt);
    ExpectInside(cupstest::Words(pdf, 1), PrintableArea(1));
    EXPECT_EQ(GraphicsSettings.PrintOrientation, 0);
    EXPECT_EQ(printer->Orientation(), 0);
    window.Diagramm->setParent(&window);
}

namespace {

class QueueRichTextPrint : public ::testing::Test {
protected:
    void Open()
    {
        printer = std::make_unique<cupstest::ScopedQtPrinter>();
        form = std::make_unique<TPrtForm>();           // on the program's printer
        form->resize(1200, 800);
        QTextCursor cursor(form->Editor->document());
        cursor.insertText(QStringLiteral("Erster Absatz des Berichts"));
        for (int i = 2; i < 150; ++i)
            cursor.insertText(QStringLiteral("\nAbsatz %1 mit Zählerständen").arg(i));
        cursor.insertText(QStringLiteral("\nLetzter Absatz des Berichts"));
    }
    // OK in the print dialog with that target and range.
    void Print(const QString& target, int range = 0, int from = 1, int to = 99, const QString& pdfFile = QString())
    {
        platform::TPrintDialogAnswer a;
        a.Accepted = true;
        a.Target = target;
        a.Range = range;
        a.FromPage = from;
        a.ToPage = to;
        a.PdfFileName = pdfFile;
        fakes.printAnswers.push_back(a);
        form->PrintWithDialog();
    }

    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks fakes;
    std::unique_ptr<cupstest::ScopedQtPrinter> printer;
    std::unique_ptr<TPrtForm> form;
};

} // namespace

TEST_F(QueueRichTextPrint, AllPagesAndARangeWithTheMarginsMeasuredFromThePapersEdges)
{
    REQUIRE_CUPS_QUEUE();
    Open();
    reports::TRichPrinter& rich = form->RichPrinter();
    ASSERT_TRUE(rich.SetMargins(25, 20, 15, 20));
    const int pages = rich.PageCount(*form->Editor->document());
    ASSERT_GT(pages, 2);

    Print(QueueName);
    EXPECT_TRUE(fakes.messageBoxes.empty());
    const QString pdf = OneJob();
    ASSERT_FALSE(pdf.isEmpty());
    const cupstest::TPdfFacts facts = cupstest::ReadPdf(pdf);
    EXPECT_EQ(facts.Pages, pages);
    ASSERT_EQ(facts.PageTexts.size(), pages);
    EXPECT_LT(facts.WidthPt, facts.HeightPt);
    EXPECT_TRUE(facts.PageTexts.front().contains(QStringLiteral("Erster Absatz des Berichts")));
    EXPECT_TRUE(facts.PageTexts.front().contains(QStringLiteral("Seite 1")));
    EXPECT_TRUE(facts.PageTexts.back().contains(QStringLiteral("Letzter Absatz des Berichts")));
    EXPECT_TRUE(facts.PageTexts.back().contains(QStringLiteral("Seite %1").arg(pages)));

    // Every text on the printable page; the body starts at the margins,
    // measured from the paper's edges as on a PDF file (which has no edges
    // it cannot print).
    const std::vector<cupstest::TWord> words = cupstest::Words(pdf, 1);
    ExpectInside(words, PrintableArea(0));
    const cupstest::TWord first = cupstest::FindWord(words, QStringLiteral("Erster"));
    ASSERT_EQ(first.Text, QStringLiteral("Erster"));
    const double mm = 72.0 / 25.4;
    EXPECT_NEAR(first.XMin, 25 * mm, 2.0);
    EXPECT_NEAR(first.YMin, 20 * mm, 3.0);
    // Header and footer lie in the printable parts of the top and bottom
    // margins.
    const QRectF area = PrintableArea(0);
    const cupstest::TWord footer = cupstest::FindWord(words, QStringLiteral("Seite"));
    ASSERT_EQ(footer.Text, QStringLiteral("Seite"));
    EXPECT_GT(footer.YMin, facts.HeightPt - 20 * mm - 3);
    EXPECT_LT(footer.YMax, area.bottom() + 0.5);
    const cupstest::TWord header = cupstest::FindWord(words, form->windowTitle().section(QLatin1Char(' '), 0, 0));
    ASSERT_FALSE(header.Text.isEmpty()) << form->windowTitle().toStdString();
    EXPECT_GT(header.YMin, area.top());
    EXPECT_LT(header.YMax, 20 * mm + 1);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bericht.pdf"));
    Print(platform::PdfTargetName(), 0, 1, 99, file);
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(cupstest::ReadPdf(file).Pages, pages);
    const std::vector<cupstest::TWord> onFile = cupstest::Words(file, 1);
    for (const QString& text : {QStringLiteral("Erster"), QStringLiteral("Absatz"), QStringLiteral("Berichts")}) {
        const cupstest::TWord a = cupstest::FindWord(words, text);
        const cupstest::TWord b = cupstest::FindWord(onFile, text);
        ASSERT_EQ(b.Text, text);
        EXPECT_NEAR(a.XMin, b.XMin, 2.0) << text.toStdString();
        EXPECT_NEAR(a.YMin, b.YMin, 2.0) << text.toStdString();
    }

    // A range: those pages, with their own numbers.
    cupstest::Server()->ClearJobs();
    Print(QueueName, 2, 2, 3);
    const QString range = OneJob();
    ASSERT_FALSE(range.isEmpty());
    const cupstest::TPdfFacts rangeFacts = cupstest::ReadPdf(range);
    EXPECT_EQ(rangeFacts.Pages, 2);
    ASSERT_EQ(rangeFacts.PageTexts.size(), 2);
    EXPECT_TRUE(rangeFacts.PageTexts[0].contains(QStringLiteral("Seite 2")));
    EXPECT_TRUE(rangeFacts.PageTexts[1].contains(QStringLiteral("Seite 3")));
    EXPECT_FALSE(rangeFacts.PageTexts[0].contains(QStringLiteral("Erster Absatz")));
}

TEST_F(QueueRichTextPrint, LandscapeOnTheQueue)
{
    REQUIRE_CUPS_QUEUE();
    Open();
    platform::TPrintDialogAnswer a;
    a.Accepted = true;
    a.Target = QueueName;
    a.Orientation = 1;
    fakes.printAnswers.push_back(a);
    form->PrintWithDialog();
    const QString pdf = OneJob();
    ASSERT_FALSE(pdf.isEmpty());
    const cupstest::TPdfFacts facts = cupstest::ReadPdf(pdf);
    EXPECT_EQ(facts.Pages, form->RichPrinter().PageCount(*form->Editor->document()));
    EXPECT_GT(facts.WidthPt, facts.HeightPt);
    ExpectInside(cupstest::Words(pdf, 1), PrintableArea(1));
    const cupstest::TWord first = cupstest::FindWord(cupstest::Words(pdf, 1), QStringLiteral("Erster"));
    EXPECT_NEAR(first.XMin, form->RichPrinter().MarginLeft() * 72.0 / 25.4, 2.0);
}
