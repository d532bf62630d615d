// The table window prints to a CUPS queue through the program's printer over
// QPrinter, the queue chosen in the print dialog (the hook): the job the
// queue delivers is read back with pdfinfo and pdftotext.
#include "CupsQueue.h"

#include "evaluation/forms/ZT_TbAus.h"
#include "output/GraphicsSettings.h"
#include "support/FakeHooks.h"

#include <gtest/gtest.h>

#include <cmath>

using cupstest::Points;
using cupstest::QueueName;

namespace {

class QueueTablePrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefaultGraphicsSettings(GraphicsSettings);
        DefaultTableOutputParams(params);
        params.SchriftGroesse = 10;
        params.SeitenRand_Prozent = {10, 6, 5, 8};
    }
    void TearDown() override { GraphicsSettings.PrintOrientation = 0; }

    // The window and the program's printer, made once the queue is up.
    void Open(int rows)
    {
        printer = std::make_unique<cupstest::ScopedQtPrinter>();
        form = std::make_unique<TTabAus_Form>();
        form->InitTableWindow(params);
        auto& grid = form->Model().Grid();
        grid.SetRowCount(rows);
        grid.SetColCount(3);
        grid.SetFixedRows(1);
        for (int c = 0; c < 3; ++c) {
            grid.SetColWidth(c, 80);
            grid.SetCell(c, 0, QStringLiteral("Kopf%1").arg(c));
            for (int r = 1; r < rows; ++r)
                grid.SetCell(c, r, Cell(r, c));
        }
        form->AddTitleLine(QStringLiteral("Zählerstände Musterkunde"));
    }
    static QString Cell(int row, int col) { return QStringLiteral("z%1s%2").arg(row).arg(col); }

    // OK in the print dialog with the queue, the range and the orientation.
    void Print(int range, int from, int to, int orientation)
    {
        platform::TPrintDialogAnswer a;
        a.Accepted = true;
        a.Range = range;
        a.FromPage = from;
        a.ToPage = to;
        a.Orientation = orientation;
        a.Target = QueueName;
        fakes.printAnswers.push_back(a);
        form->DruckKnopfClick();
    }

    // The delivered job, read back.
    QString Job()
    {
        const QStringList jobs = cupstest::Server()->WaitForJobs(1);
        EXPECT_EQ(jobs.size(), 1) << cupstest::Server()->ErrorLog().toStdString();
        return jobs.isEmpty() ? QString() : jobs.front();
    }

    // Where the queue's printable page lies on the paper, in points, for the
    // orientation of the job.
    QRectF PrintableArea(int orientation) const
    {
        platform::TPrinterService& p = platform::Printer();
        platform::TOrientationKeeper keep(p, orientation);
        const int dpi = p.Resolution();
        return QRectF(Points(p.PageOffset().x(), dpi), Points(p.PageOffset().y(), dpi), Points(p.PageWidth(), dpi),
                      Points(p.PageHeight(), dpi));
    }

    // Every word of the page lies on the printable area; the cell of data row
    // `row` in the first column starts where the layout puts it: the printable
    // page's corner, the left margin, the column's edge and the gap.
    void ExpectPlaced(const QString& pdf, int page, int orientation, int rowOnPage, const QString& cell)
    {
        SCOPED_TRACE(QStringLiteral("page %1, %2").arg(page).arg(cell).toStdString());
        const QRectF area = PrintableArea(orientation);
        const std::vector<cupstest::TWord> words = cupstest::Words(pdf, page);
        ASSERT_FALSE(words.empty());
        for (const cupstest::TWord& w : words) {
            EXPECT_GE(w.XMin, area.left() - 0.5) << w.Text.toStdString();
            EXPECT_LE(w.XMax, area.right() + 0.5) << w.Text.toStdString();
            EXPECT_GE(w.YMin, area.top() - 0.5) << w.Text.toStdString();
            EXPECT_LE(w.YMax, area.bottom() + 0.5) << w.Text.toStdString();
        }
        const TZT_TabDruck& d = *form->TabDruck();
        const TZT_TabDruck::TLayout& L = d.Layout();
        const int dpi = platform::Printer().Resolution();
        const cupstest::TWord w = cupstest::FindWord(words, cell);
        ASSERT_EQ(w.Text, cell);
        EXPECT_NEAR(w.XMin, area.left() + Points(d.DruckSeitenRand_Links + L.X[1] + d.Luecke_Senkrecht, dpi), 2.0);
        const double rowTop = area.top() + Points(L.TableTop + rowOnPage * L.RowHeight, dpi);
        EXPECT_GE(w.YMin, rowTop - 2.0);
        EXPECT_LE(w.YMin, rowTop + Points(L.RowHeight, dpi));
    }

    testsupport::FakeHooks fakes;
    TTableOutputParams params;
    std::unique_ptr<cupstest::ScopedQtPrinter> printer;
    std::unique_ptr<TTabAus_Form> form;
};

} // namespace

TEST_F(QueueTablePrint, AllPagesInPortrait)
{
    REQUIRE_CUPS_QUEUE();
    const int rows = 160;
    Open(rows);
    Print(0, 1, 99, 0);
    EXPECT_TRUE(fakes.kindMessages.empty()) << fakes.lastMessageText().toStdString();
    ASSERT_EQ(fakes.printRequests.size(), 1u);
    EXPECT_EQ(fakes.printRequests[0].Target, QueueName);
    const QString pdf = Job();
    ASSERT_FALSE(pdf.isEmpty());

    const cupstest::TPdfFacts facts = cupstest::ReadPdf(pdf);
    const TZT_TabDruck& d = *form->TabDruck();
    EXPECT_GT(d.PageCount(), 1);
    EXPECT_EQ(facts.Pages, d.PageCount());
    ASSERT_EQ(facts.PageTexts.size(), facts.Pages);
    EXPECT_EQ(facts.Title, QStringLiteral("ZT_Ausgabe"));
    EXPECT_LT(facts.WidthPt, facts.HeightPt);
    EXPECT_NEAR(facts.WidthPt, testsupport::CupsServer::PaperWidthPt, 1);
    // The title line on every page, the first data row on the first, the
    // last on the last.
    EXPECT_TRUE(facts.PageTexts.front().contains(QStringLiteral("Zählerstände Musterkunde")));
    EXPECT_TRUE(facts.PageTexts.back().contains(QStringLiteral("Zählerstände Musterkunde")));
    EXPECT_TRUE(facts.PageTexts.front().contains(Cell(1, 0)));
    EXPECT_TRUE(facts.PageTexts.front().contains(QStringLiteral("Seite 1")));
    EXPECT_TRUE(facts.PageTexts.back().contains(Cell(rows - 1, 2)));
    EXPECT_FALSE(facts.PageTexts.front().contains(Cell(rows - 1, 2)));
    EXPECT_TRUE(facts.PageTexts.back().contains(QStringLiteral("Seite %1").arg(facts.Pages)));

    ExpectPlaced(pdf, 1, 0, 0, Cell(1, 0));
}

TEST_F(QueueTablePrint, APageRangeInLandscape)
{
    REQUIRE_CUPS_QUEUE();
    const int rows = 400;
    Open(rows);
    Print(2, 2, 3, 1);
    EXPECT_TRUE(fakes.kindMessages.empty()) << fakes.lastMessageText().toStdString();
    const QString pdf = Job();
    ASSERT_FALSE(pdf.isEmpty());

    const cupstest::TPdfFacts facts = cupstest::ReadPdf(pdf);
    const TZT_TabDruck& d = *form->TabDruck();
    const int perPage = d.Layout().RowsPerPage;
    ASSERT_GT(perPage, 0);
    ASSERT_GT(rows - 1, 3 * perPage);                  // page 3 is full
    EXPECT_EQ(facts.Pages, 2);
    ASSERT_EQ(facts.PageTexts.size(), 2);
    EXPECT_GT(facts.WidthPt, facts.HeightPt);
    EXPECT_NEAR(facts.WidthPt, testsupport::CupsServer::PaperHeightPt, 1);
    // Printed pages 2 and 3, with their own numbers and rows.
    EXPECT_TRUE(facts.PageTexts[0].contains(QStringLiteral("Zählerstände Musterkunde")));
    EXPECT_TRUE(facts.PageTexts[0].contains(QStringLiteral("Seite 2")));
    EXPECT_TRUE(facts.PageTexts[0].contains(Cell(1 + perPage, 0)));
    EXPECT_FALSE(facts.PageTexts[0].contains(Cell(perPage, 0)));
    EXPECT_TRUE(facts.PageTexts[1].contains(QStringLiteral("Seite 3")));
    EXPECT_TRUE(facts.PageTexts[1].contains(Cell(3 * perPage, 2)));
    EXPECT_FALSE(facts.PageTexts[1].contains(Cell(3 * perPage + 1, 0)));
    // The margins run crosswise in landscape and land on the queue's page.
    EXPECT_GT(d.Breite, d.Hoehe);
    EXPECT_EQ(d.DruckSeitenRand_Links, int(std::nearbyint(d.Hoehe * 10 / 100.0)));
    ExpectPlaced(pdf, 1, 1, 0, Cell(1 + perPage, 0));
    ExpectPlaced(pdf, 2, 1, perPage - 1, Cell(3 * perPage, 0));
    // The printer's orientation is back; the print orientation is the dialog's.
    EXPECT_EQ(platform::Printer().Orientation(), 0);
    EXPECT_EQ(GraphicsSettings.PrintOrientation, 1);
}
