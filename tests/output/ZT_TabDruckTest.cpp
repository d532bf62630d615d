#include "output/GraphicsSettings.h"
#include "output/ZT_TabDruck.h"
#include "platform/MessagePump.h"
#include "platform/PrintCanvas.h"
#include "platform/Printer.h"
#include "platform/StringGrid.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::TRecordingCanvas;
using platform::TTextAlign;
using Op = TRecordingCanvas::TOp;

namespace {

// A page of 1000 x 1400 pixels with fixed metrics: a 10-point text is 50
// pixels high and 40 wide per character (41 bold), so the row height is 60,
// the character width 40 and a grid column of screen width 20 prints
// (20 + 10) x 40 / 10 + 10 = 130 wide, 140 with the gap.
struct TablePrintFixture : ::testing::Test {
    platform::TStringGridModel grid;
    TRecordingCanvas canvas{1000, 1400, 600};
    TZT_TabDruck druck;
    testsupport::FakeHooks fakes;

    void SetUp() override
    {
        Fill(41, 5);
        QFont f;
        f.setPointSize(10);
        QFont bold = f;
        bold.setBold(true);
        druck.Schrift_SpaltenUeberschriftZeilen = bold;
        druck.Schrift_DatenZeilen = f;
        druck.Schrift_DatumSeitenzahlZeilen = f;
        QFont title = f;
        title.setPointSize(12);
        druck.Schrift_TabellenUeberschriftZeilen = title;
        druck.Canvas = &canvas;
        druck.Breite = 1000;
        druck.Hoehe = 1400;
        druck.AusgabeGeraet = AG_Drucker;
        druck.DruckAuftragsName = QStringLiteral("ZT_Ausgabe");
        druck.Datums_Label = QStringLiteral("09.12.2026");
        druck.Position_Datum = sp_UntenLeft;
        druck.Position_SeitenNr = sp_UntenMitte;
        SetTable();
    }
    void Fill(int rows, int cols)
    {
        grid.Clear();
        grid.SetRowCount(rows);
        grid.SetColCount(cols);
        grid.SetFixedRows(1);
        grid.SetFixedCols(1);
        for (int c = 0; c < cols; ++c) {
            grid.SetColWidth(c, 20);
            grid.SetCell(c, 0, QStringLiteral("H%1").arg(c));
            for (int r = 1; r < rows; ++r)
                grid.SetCell(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
        }
    }
    void SetTable()
    {
        QFont gridFont;
        gridFont.setPointSize(10);
        druck.SetTable(&grid, grid.ColCount(), gridFont);
    }
    std::vector<TRecordingCanvas::TRecord> TextsStartingWith(const QString& prefix) const
    {
        std::vector<TRecordingCanvas::TRecord> out;
        for (const auto& r : canvas.Of(Op::Text))
            if (r.Text.startsWith(prefix))
                out.push_back(r);
        return out;
    }
    const TRecordingCanvas::TRecord* FindText(const QString& text) const
    {
        for (const auto& r : canvas.Records)
            if (r.Op == Op::Text && r.Text == text)
                return &r;
        return nullptr;
    }
};

} // namespace

TEST_F(TablePrintFixture, LaysOutRowsColumnsAndTheTableEdges)
{
    ASSERT_TRUE(druck.PrintTable());
    const auto& L = druck.Layout();
    EXPECT_EQ(L.RowHeight, 60);
    EXPECT_EQ(L.CharWidth, 40);
    EXPECT_EQ(L.HeaderHeight, 80);
    EXPECT_EQ(L.TableTop, 120);                      // top margin + header
    EXPECT_EQ(L.TableBottomFull, 130 + 18 * 60);     // 18 rows fit above 1400 - 40 - 60 - 20
    EXPECT_EQ(L.RowsPerPage, 18);
    EXPECT_EQ(L.X, (std::vector<int>{0, 1, 141, 281, 421, 561, 701}));
    EXPECT_EQ(druck.PageCount(), 3);                 // 18 + 18 + 4 rows

    // One job of three pages, new pages only between them.
    EXPECT_EQ(canvas.Records.front().Op, Op::BeginDoc);
    EXPECT_EQ(canvas.Records.front().Text, QStringLiteral("ZT_Ausgabe"));
    EXPECT_EQ(canvas.Records.back().Op, Op::EndDoc);
    EXPECT_EQ(canvas.Of(Op::NewPage).size(), 2u);
    EXPECT_EQ(canvas.Pages(), 3);

    // First data cell: centred in its column, clipped to the cell.
    const auto* cell = FindText(QStringLiteral("r1c0"));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->X, 40 + 1 + 70);
    EXPECT_EQ(cell->Y, 120 + 6);
    EXPECT_EQ(cell->Align, TTextAlign::Center);
    EXPECT_EQ(cell->Clip, QRect(51, 126, 130, 53));
    EXPECT_FALSE(cell->Font.bold());
    const auto* header = FindText(QStringLiteral("H2"));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Y, 40 + 6 + 10);
    EXPECT_EQ(header->Clip.bottom() + 1, 100);       // down to the table top less the gap
    EXPECT_TRUE(header->Font.bold());
    // The nineteenth row starts page 2 at the table top again.
    const auto* nineteenth = FindText(QStringLiteral("r19c0"));
    ASSERT_NE(nineteenth, nullptr);
    EXPECT_EQ(nineteenth->Y, 126);

    // Frame and lines of page 1.
    const auto rects = canvas.Of(Op::Rectangle);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(QRect(QPoint(rects[0].X, rects[0].Y), QPoint(rects[0].X2, rects[0].Y2)),
              QRect(QPoint(40, 40), QPoint(743, 1210)));
    EXPECT_EQ(rects[0].PenWidth, 2);
    EXPECT_EQ(rects[2].Y2, 130 + 4 * 60);            // the last page ends below its four rows
    const auto lines = canvas.Of(Op::Line);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0].X, 182);                      // behind the fixed column, frame width
    EXPECT_EQ(lines[0].Y2, 1209);
    EXPECT_EQ(lines[0].PenWidth, 2);
    EXPECT_EQ(lines[1].X, 322);
    EXPECT_EQ(lines[1].PenWidth, 1);
    EXPECT_EQ(lines[3].X, 602);
    EXPECT_EQ(lines[4].Y, 120);                      // under the header, 2 wide
    EXPECT_EQ(lines[4].X2, 741);
    EXPECT_EQ(lines[4].PenWidth, 2);
}

TEST_F(TablePrintFixture, PrintsDateAndPageLinesAtAllSixPositions)
{
    struct Case { uint8_t pos; int x; TTextAlign align; bool top; };
    const Case cases[] = {
        {sp_ObenLinks, 50, TTextAlign::Left, true},   {sp_ObenMitte, 480, TTextAlign::Center, true},
        {sp_ObenRechts, 910, TTextAlign::Right, true}, {sp_UntenLeft, 50, TTextAlign::Left, false},
        {sp_UntenMitte, 480, TTextAlign::Center, false}, {sp_UntenRechts, 910, TTextAlign::Right, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.pos));
        canvas.Records.clear();
        druck.Position_Datum = c.pos;
        druck.Position_SeitenNr = c.pos;
        ASSERT_TRUE(druck.PrintTable());
        const auto* date = FindText(QStringLiteral("09.12.2026"));
        const auto* page = FindText(QStringLiteral("Seite 1"));
        ASSERT_NE(date, nullptr);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(date->X, c.x);
        EXPECT_EQ(page->X, c.x);
        EXPECT_EQ(date->Align, c.align);
        EXPECT_EQ(date->Y, c.top ? 40 : 1280);           // usable height 1400 - 40 - 60 - 20
        EXPECT_EQ(page->Y, c.top ? 40 : 1260);
        EXPECT_TRUE(date->Font.italic() == druck.Schrift_DatumSeitenzahlZeilen.italic());
        // A line at the top moves the table down by the gap.
        EXPECT_EQ(druck.Layout().TableTop, c.top ? 140 : 120);
    }
    EXPECT_EQ(TextsStartingWith(QStringLiteral("Seite ")).size(), 3u);
    druck.Position_Datum = sp_Ohne;
    druck.Position_SeitenNr = sp_Ohne;
    canvas.Records.clear();
    ASSERT_TRUE(druck.PrintTable());
    EXPECT_EQ(FindText(QStringLiteral("09.12.2026")), nullptr);
    EXPECT_TRUE(TextsStartingWith(QStringLiteral("Seite")).empty());
    EXPECT_EQ(druck.Layout().TableTop, 120);          // the header starts at the top margin
}

TEST_F(TablePrintFixture, TitleLinesSitAboveTheTableAndTheEleventhDropsTheFirst)
{
    druck.Offset_SeiteNr = 10;
    for (int i = 1; i <= 11; ++i)
        druck.SetKopfZeile(QStringLiteral("Titel %1").arg(i));
    ASSERT_TRUE(druck.PrintTable());
    EXPECT_EQ(FindText(QStringLiteral("Titel 1")), nullptr);
    const auto* second = FindText(QStringLiteral("Titel 2"));
    const auto* last = FindText(QStringLiteral("Titel 11"));
    ASSERT_NE(second, nullptr);
    ASSERT_NE(last, nullptr);
    // 12-point title: 60 high, 72 with the gap.
    EXPECT_EQ(druck.Layout().TitleLineHeight, 72);
    EXPECT_EQ(second->Y, 40);
    EXPECT_EQ(last->Y, 40 + 9 * 72);
    EXPECT_EQ(second->X, 480);
    EXPECT_EQ(second->Font.pointSize(), 12);
    EXPECT_EQ(druck.Layout().TableTop, 40 + 80 + 10 * 72 + 20);
    EXPECT_NE(FindText(QStringLiteral("Seite 11")), nullptr);   // page 1 + offset 10
}

TEST_F(TablePrintFixture, ATitleLineWiderThanThePageShrinksToTheWidthBetweenTheMargins)
{
    // 12 points: 48 pixels a character; the page has 1000 - 40 - 40 = 920.
    const QString longLine = QString(40, QLatin1Char('L'));      // 1920 wide
    const QString shortLine = QStringLiteral("Kurz");
    for (uint8_t align : {da_Mitte, da_Links, da_Rechts}) {
        canvas.Records.clear();
        druck.Ausrichtung = align;
        druck.ClearKopfZeilen();
        druck.SetKopfZeile(shortLine);
        druck.SetKopfZeile(longLine);
        ASSERT_TRUE(druck.PrintTable());
        const auto* wide = FindText(longLine);
        const auto* narrow = FindText(shortLine);
        ASSERT_NE(wide, nullptr);
        ASSERT_NE(narrow, nullptr);
        EXPECT_EQ(wide->X, 40);
        EXPECT_EQ(wide->Align, TTextAlign::Left);
        const int perChar = int(std::lround(wide->Font.pointSizeF() * 4));
        EXPECT_LE(perChar * longLine.size(), 920);
        EXPECT_GE(perChar * longLine.size(), 920 - 2 * longLine.size());   // as large as fits
        EXPECT_TRUE(wide->Font.italic() == druck.Schrift_TabellenUeberschriftZeilen.italic());
        // A line that fits keeps its font and its place; the page's rows stay.
        EXPECT_EQ(narrow->Font.pointSize(), 12);
        EXPECT_EQ(druck.Layout().TitleLineHeight, 72);
    }
}

TEST_F(TablePrintFixture, ARangeOfThreeToThreeLaysOutTheFirstPagesWithoutDrawing)
{
    Fill(1 + 18 * 4, 5);
    SetTable();
    druck.AusgabeGeraet = AG_Vorschau;
    druck.Druck_Bereich = db_Seitenzahlen;
    druck.Von_Seite = druck.Bis_Seite = 3;
    ASSERT_TRUE(druck.PrintTable());
    EXPECT_TRUE(canvas.Of(Op::BeginDoc).empty());     // the preview's page is begun by the preview
    ASSERT_FALSE(canvas.Of(Op::Fill).empty());          // cleared white first
    EXPECT_EQ(canvas.Records.front().Op, Op::Fill);
    EXPECT_EQ(FindText(QStringLiteral("r36c0")), nullptr);
    EXPECT_NE(FindText(QStringLiteral("r37c0")), nullptr);
    EXPECT_NE(FindText(QStringLiteral("r54c4")), nullptr);
    EXPECT_EQ(FindText(QStringLiteral("r55c0")), nullptr);
    EXPECT_EQ(TextsStartingWith(QStringLiteral("Seite")).size(), 1u);
    EXPECT_NE(FindText(QStringLiteral("Seite 3")), nullptr);
    EXPECT_EQ(canvas.Of(Op::Rectangle).size(), 1u);
    EXPECT_EQ(druck.PageCount(), 4);
}

TEST_F(TablePrintFixture, AllPagesPrintsPagesAfterTheNinetyNinth)
{
    Fill(1 + 18 * 120, 2);
    SetTable();
    druck.Druck_Bereich = db_AlleSeiten;
    druck.Von_Seite = 5;
    druck.Bis_Seite = 99;
    ASSERT_TRUE(druck.PrintTable());
    EXPECT_EQ(druck.PageCount(), 120);
    EXPECT_EQ(canvas.Pages(), 120);
    EXPECT_NE(FindText(QStringLiteral("Seite 120")), nullptr);
    EXPECT_NE(FindText(QStringLiteral("Seite 1")), nullptr);
}

TEST_F(TablePrintFixture, ColumnsThatDoNotFitAreLeftOutAndZeroWidthColumnsSkipped)
{
    Fill(5, 9);
    grid.SetColWidth(7, 0);
    SetTable();
    // Eight columns of 140 would need 1121 pixels of 920.
    ASSERT_TRUE(druck.PrintTable());
    const auto& L = druck.Layout();
    EXPECT_EQ(L.ColumnCount(), 6);
    EXPECT_EQ(L.LastPrintedColumn, 5);
    EXPECT_EQ(L.Columns, (std::vector<int>{-1, 0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(L.X.back(), 841);
    EXPECT_NE(FindText(QStringLiteral("r1c5")), nullptr);
    EXPECT_EQ(FindText(QStringLiteral("r1c6")), nullptr);
    EXPECT_EQ(FindText(QStringLiteral("r1c7")), nullptr);
    EXPECT_EQ(FindText(QStringLiteral("r1c8")), nullptr);

    // Column 0 hidden: the first line stands at the fixed column count.
    canvas.Records.clear();
    Fill(5, 4);
    grid.SetColWidth(0, 0);
    SetTable();
    ASSERT_TRUE(druck.PrintTable());
    EXPECT_EQ(druck.Layout().Columns, (std::vector<int>{-1, 1, 2, 3}));
    const auto lines = canvas.Of(Op::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].X, 1 + 40 + 1);                 // X[1]: k = fixed columns = 1
    EXPECT_EQ(FindText(QStringLiteral("r1c0")), nullptr);

    // No fixed column and column 0 hidden: the first line still stands at X[1].
    canvas.Records.clear();
    grid.SetFixedCols(0);
    SetTable();
    ASSERT_TRUE(druck.PrintTable());
    ASSERT_FALSE(canvas.Of(Op::Line).empty());
    EXPECT_EQ(canvas.Of(Op::Line)[0].X, 1 + 40 + 1);

    // A table of 801 columns prints at most 800 of them.
    grid.SetColCount(801);
    druck.SetTable(&grid, 801);
    EXPECT_EQ(druck.LastPrintedColumn(), 799);
}

TEST_F(TablePrintFixture, AGridWithoutFixedRowsPrintsRowZeroAsItsHeader)
{
    grid.SetFixedRows(0);
    SetTable();
    ASSERT_TRUE(druck.PrintTable());
    EXPECT_EQ(druck.Layout().HeaderRows, 1);
    const auto heads = TextsStartingWith(QStringLiteral("H0"));
    EXPECT_EQ(heads.size(), 3u);                       // on every page
    EXPECT_TRUE(heads[0].Font.bold());
    EXPECT_NE(FindText(QStringLiteral("r1c0")), nullptr);
}

TEST_F(TablePrintFixture, ARangeBeyondTheLastPageBeginsNoJobAndSaysSo)
{
    druck.Druck_Bereich = db_Seitenzahlen;
    druck.Von_Seite = 5;
    druck.Bis_Seite = 6;
    // Nothing printed is no success: the caller must tell the user.
    EXPECT_FALSE(druck.PrintTable());
    EXPECT_TRUE(druck.NothingInRange());
    EXPECT_TRUE(canvas.Records.empty());              // no blank sheet
    druck.Von_Seite = 3;
    EXPECT_TRUE(druck.PrintTable());
    EXPECT_FALSE(druck.NothingInRange());
    EXPECT_EQ(canvas.Pages(), 1);
    EXPECT_NE(FindText(QStringLiteral("r40c0")), nullptr);

    // A text file is one page: pages 2 and on leave an existing file alone.
    QTemporaryDir dir;
    druck.DruckInDatei = true;
    druck.DruckDateiName = dir.filePath(QStringLiteral("t.csv"));
    ASSERT_TRUE(testsupport::writeFile(druck.DruckDateiName, "alt\r\n"));
    druck.Von_Seite = 2;
    EXPECT_FALSE(druck.PrintTable());
    EXPECT_TRUE(druck.NothingInRange());
    EXPECT_EQ(testsupport::readFile(druck.DruckDateiName), QByteArray("alt\r\n"));
    druck.Von_Seite = 1;
    EXPECT_TRUE(druck.PrintTable());
    EXPECT_TRUE(testsupport::readFile(druck.DruckDateiName).startsWith("H0;H1"));
}

// A range that ends before the last page ends with its own last page: no
// sheet after it, on the printer, and no wiping of the preview's page after
// it was drawn. Every record is checked, not only the first.
TEST_F(TablePrintFixture, ARangeEndingBeforeTheLastPageEndsWithItsLastPage)
{
    Fill(1 + 18 * 4, 5);
    SetTable();
    druck.Druck_Bereich = db_Seitenzahlen;
    druck.Von_Seite = 2;
    druck.Bis_Seite = 3;
    ASSERT_TRUE(druck.PrintTable());
    ASSERT_EQ(druck.PageCount(), 4);
    EXPECT_EQ(canvas.Pages(), 2);
    ASSERT_EQ(canvas.Of(Op::NewPage).size(), 1u);
    // Page 3's rows come after the only page break, and nothing but the end
    // of the job follows the last row of page 3.
    std::size_t lastText = 0, pageBreak = 0;
    for (std::size_t i = 0; i < canvas.Records.size(); ++i) {
        if (canvas.Records[i].Op == Op::Text)
            lastText = i;
        if (canvas.Records[i].Op == Op::NewPage)
            pageBreak = i;
    }
    const TRecordingCanvas::TRecord* row37 = FindText(QStringLiteral("r37c0"));
    ASSERT_NE(row37, nullptr);
    EXPECT_GT(row37 - canvas.Records.data(), std::ptrdiff_t(pageBreak));
    EXPECT_EQ(canvas.Records[lastText].Text, QStringLiteral("r54c4"));
    for (std::size_t i = lastText + 1; i < canvas.Records.size(); ++i)
        EXPECT_TRUE(canvas.Records[i].Op == Op::Line || canvas.Records[i].Op == Op::EndDoc)
            << "record " << i << " after the last row: " << int(canvas.Records[i].Op);
    EXPECT_EQ(canvas.Records.back().Op, Op::EndDoc);

    // The preview's page of 3 to 3: the page is cleared before the first
    // text and never again after it.
    canvas.Records.clear();
    druck.AusgabeGeraet = AG_Vorschau;
    druck.Von_Seite = druck.Bis_Seite = 3;
    ASSERT_TRUE(druck.PrintTable());
    bool textSeen = false;
    for (const auto& r : canvas.Records) {
        if (r.Op == Op::Text)
            textSeen = true;
        EXPECT_FALSE(textSeen && r.Op == Op::Fill) << "the drawn page was wiped";
    }
    EXPECT_TRUE(textSeen);
}

// Copies are one job: the range twice, one begin and one end, so a PDF file
// holds both and is asked for once.
TEST_F(TablePrintFixture, CopiesRepeatTheRangeWithinOneJob)
{
    Fill(1 + 18 * 4, 5);
    SetTable();
    druck.Druck_Bereich = db_Seitenzahlen;
    druck.Von_Seite = 2;
    druck.Bis_Seite = 3;
    druck.Kopien = 2;
    ASSERT_TRUE(druck.PrintTable());
    EXPECT_EQ(canvas.Of(Op::BeginDoc).size(), 1u);
    EXPECT_EQ(canvas.Of(Op::EndDoc).size(), 1u);
    EXPECT_EQ(canvas.Pages(), 4);
    EXPECT_EQ(TextsStartingWith(QStringLiteral("r37c0")).size(), 2u);
    EXPECT_EQ(TextsStartingWith(QStringLiteral("r19c0")).size(), 2u);
    EXPECT_EQ(TextsStartingWith(QStringLiteral("r55c0")).size(), 0u);
    // The preview shows one copy.
    canvas.Records.clear();
    druck.AusgabeGeraet = AG_Vorschau;
    druck.Von_Seite = druck.Bis_Seite = 2;
    ASSERT_TRUE(druck.PrintTable());
    EXPECT_EQ(TextsStartingWith(QStringLiteral("r19c0")).size(), 1u);
}

TEST_F(TablePrintFixture, ColumnsThatDoNotFitAreNamedByTheirHeaders)
{
    // Columns print 140 wide: six of ten fit the 920 pixels between the
    // default margins.
    Fill(5, 10);
    grid.SetCell(8, 0, QStringLiteral("  W3-Differenz "));
    grid.SetColWidth(7, 0);                             // hidden on screen: not missed on paper
    SetTable();
    ASSERT_TRUE(druck.PrintTable());
    const auto& L = druck.Layout();
    EXPECT_EQ(L.ColumnCount(), 6);
    EXPECT_EQ(L.LeftOutHeaders, (QStringList{QStringLiteral("H6"), QStringLiteral("W3-Differenz"), QStringLiteral("H9")}));
    EXPECT_EQ(druck.CountPages(), 1);
    EXPECT_EQ(druck.Layout().LeftOutHeaders.size(), 3);

    Fill(5, 6);
    SetTable();
    ASSERT_TRUE(druck.PrintTable());
    EXPECT_TRUE(druck.Layout().LeftOutHeaders.isEmpty());
}

TEST_F(TablePrintFixture, AJobThatCannotBeginAnswersFalse)
{
    canvas.FailBegin = true;
    EXPECT_FALSE(druck.PrintTable());
    druck.Canvas = nullptr;
    EXPECT_FALSE(druck.PrintTable());
}

TEST_F(TablePrintFixture, WorksOnASnapshotAndRefusesASecondJob)
{
    int pumps = 0;
    bool second = false;
    auto& pump = platform::MessagePump::Default();
    pump.SetIntervalMs(0);
    pump.SetAction([&] {
        // The first pump comes right before the copy is taken.
        if (++pumps == 1)
            return;
        grid.SetCell(1, 30, QStringLiteral("changed"));
        if (!second) {
            second = true;
            const auto before = canvas.Records.size();
            EXPECT_TRUE(druck.PrintTable());          // refused with a beep, no message
            EXPECT_EQ(canvas.Records.size(), before);
        }
    });
    const bool ok = druck.PrintTable();
    pump.SetAction({});
    pump.SetIntervalMs(platform::MessagePump::DefaultIntervalMs);
    EXPECT_TRUE(ok);
    EXPECT_GT(pumps, 2);
    EXPECT_EQ(fakes.beeps, 1);
    EXPECT_NE(FindText(QStringLiteral("r30c1")), nullptr);
    EXPECT_EQ(FindText(QStringLiteral("changed")), nullptr);
    EXPECT_FALSE(platform::PrintJobRunning());
}

// Copying a large table lets messages through. A change made meanwhile
// starts the copy over, so the pages show the table whole as it stood when
// the copy was done; a change once the pages are under way shows nowhere.
TEST_F(TablePrintFixture, TheCopyLetsMessagesThroughAndStartsOverWhenTheTableChanges)
{
    Fill(3000, 3);
    SetTable();
    int pumpsBeforeDrawing = 0;
    bool earlyChange = false, lateChange = false;
    auto& pump = platform::MessagePump::Default();
    pump.SetIntervalMs(0);
    pump.SetAction([&] {
        if (canvas.Records.empty()) {
            // Still copying: the first pump inside the copy sorts two rows
            // and changes a cell.
            if (++pumpsBeforeDrawing == 2) {
                earlyChange = true;
                grid.SwapRows(2000, 2001);
                grid.SetCell(1, 2500, QStringLiteral("early"));
            }
        } else if (!lateChange) {
            lateChange = true;
            grid.SetCell(1, 2600, QStringLiteral("late"));
            grid.SwapRows(10, 11);
        }
    });
    const bool ok = druck.PrintTable();
    pump.SetAction({});
    pump.SetIntervalMs(platform::MessagePump::DefaultIntervalMs);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(earlyChange);
    ASSERT_TRUE(lateChange);
    // The pump before the copy, at least two within it (the second made the
    // change) and more in the copy that started over.
    EXPECT_GT(pumpsBeforeDrawing, 3);
    EXPECT_NE(FindText(QStringLiteral("early")), nullptr);
    EXPECT_EQ(FindText(QStringLiteral("r2500c1")), nullptr);
    EXPECT_EQ(FindText(QStringLiteral("late")), nullptr);
    EXPECT_NE(FindText(QStringLiteral("r2600c1")), nullptr);
    // Rows 2000 and 2001 stand exchanged, rows 10 and 11 do not.
    const auto* r2000 = FindText(QStringLiteral("r2000c0"));
    const auto* r2001 = FindText(QStringLiteral("r2001c0"));
    const auto* r10 = FindText(QStringLiteral("r10c0"));
    const auto* r11 = FindText(QStringLiteral("r11c0"));
    ASSERT_TRUE(r2000 && r2001 && r10 && r11);
    EXPECT_GT(r2000 - r2001, 0);
    EXPECT_LT(r10 - r11, 0);
}

TEST_F(TablePrintFixture, PdfPagesMatchTheLayoutsCount)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("table.pdf"));
    platform::TPdfCanvas pdf(file, 150);
    Fill(300, 6);
    SetTable();
    druck.Canvas = &pdf;
    druck.Breite = pdf.PageWidth();
    druck.Hoehe = pdf.PageHeight();
    ASSERT_TRUE(druck.PrintTable());
    const int pages = druck.PageCount();
    EXPECT_GT(pages, 3);
    EXPECT_EQ(pdf.PagesWritten(), pages);
    const QByteArray data = testsupport::readFile(file);
    const QRegularExpression re(QStringLiteral("/Type\\s*/Pages[^>]*/Count\\s+(\\d+)"));
    const auto m = re.match(QString::fromLatin1(data));
    ASSERT_TRUE(m.hasMatch());
    EXPECT_EQ(m.captured(1).toInt(), pages);

    REQUIRE_TOOL("pdfinfo");
    const auto info = testsupport::runTool(QStringLiteral("pdfinfo"), {file});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(info.out).contains(
        QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))))
        << info.out.toStdString();
    REQUIRE_TOOL("pdftotext");
    const auto text = testsupport::runTool(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains("r299c5"));
    EXPECT_TRUE(text.out.contains(QStringLiteral("Seite %1").arg(pages).toUtf8()));
}

// ---- Text files -------------------------------------------------------------------

namespace {

struct TextFileFixture : TablePrintFixture {
    QTemporaryDir dir;
    void SetUp() override
    {
        TablePrintFixture::SetUp();
        grid.Clear();
        grid.SetRowCount(3);
        grid.SetColCount(4);
        grid.SetFixedRows(1);
        for (int c = 0; c < 4; ++c)
            grid.SetColWidth(c, 20);
        const char* cells[3][4] = {{" Datum ", "A", "B", "C"},
                                   {"01.01.2026", " 1,5\t", "x;y", ""},
                                   {"02.01.2026", "\x01" "2", "", "end "}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                grid.SetCell(c, r, QString::fromLatin1(cells[r][c]));
        SetTable();
        druck.DruckInDatei = true;
        TrimCellsInFile = true;
    }
    void TearDown() override { TrimCellsInFile = false; }
    QByteArray Write(const QString& name)
    {
        druck.DruckDateiName = dir.filePath(name);
        EXPECT_TRUE(druck.PrintTable());
        return testsupport::readFile(druck.DruckDateiName);
    }
};

} // namespace

TEST_F(TextFileFixture, CsvLinesWithTrimmedDataCells)
{
    druck.SetKopfZeile(QStringLiteral("  Zähler 1\t"));
    const QByteArray bytes = Write(QStringLiteral("table.Csv"));
    EXPECT_EQ(bytes, QByteArray("Z\xe4hler 1\r\n"
                                " Datum ;A;B;C\r\n"
                                "01.01.2026;1,5;x;y;\r\n"
                                "02.01.2026;2;;end\r\n"));
    EXPECT_TRUE(canvas.Records.empty());              // nothing is drawn
}

TEST_F(TextFileFixture, TabLinesSkipHiddenColumnsButTheLast)
{
    grid.SetColWidth(1, 0);
    grid.SetColWidth(3, 0);
    SetTable();
    TrimCellsInFile = false;
    EXPECT_EQ(Write(QStringLiteral("table.txt")), QByteArray(" Datum \tB\tC\r\n"
                                                             "01.01.2026\tx;y\t\r\n"
                                                             "02.01.2026\t\tend \r\n"));
    EXPECT_EQ(Write(QStringLiteral("noextension")).left(8), QByteArray(" Datum \t"));
    // The extension is the file's, not a directory's.
    QDir(dir.path()).mkdir(QStringLiteral("d.csv"));
    EXPECT_EQ(Write(QStringLiteral("d.csv/plain")).left(8), QByteArray(" Datum \t"));
}

// The job copies the rows it prints: rows never written, rows holding fewer
// cells than the printed columns and rows holding more each come out as the
// grid shows them.
TEST_F(TextFileFixture, RowsHoldingFewerOrMoreCellsThanPrintedComeOutAsShown)
{
    grid.Clear();
    grid.SetRowCount(5);
    grid.SetCell(0, 0, QStringLiteral("Zeit"));
    grid.SetCell(1, 0, QStringLiteral("A"));
    grid.SetCell(2, 0, QStringLiteral("B"));
    grid.SetCell(0, 1, QStringLiteral("01.01.2026"));   // one cell of three
    // Row 2 never written.
    grid.SetCell(2, 3, QStringLiteral("z"));             // the first two empty
    grid.SetCell(0, 4, QStringLiteral("04.01.2026"));
    grid.SetCell(1, 4, QStringLiteral("4"));
    grid.SetCell(2, 4, QStringLiteral("44"));
    grid.SetCell(3, 4, QStringLiteral("not printed"));   // beyond the printed columns
    druck.SetTable(&grid, 3);
    TrimCellsInFile = false;
    EXPECT_EQ(Write(QStringLiteral("rows.csv")), QByteArray("Zeit;A;B\r\n"
                                                            "01.01.2026;;\r\n"
                                                            ";;\r\n"
                                                            ";;z\r\n"
                                                            "04.01.2026;4;44\r\n"));
}

TEST_F(TextFileFixture, CellsAreCutAndLinesOutsideWindows1252AreUtf8)
{
    grid.SetCell(1, 1, QString(300, QLatin1Char('x')));
    grid.SetCell(2, 1, QStringLiteral("łódź"));
    const QByteArray bytes = Write(QStringLiteral("cut.csv"));
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[1], QByteArray("01.01.2026;") + QByteArray(254, 'x') + ";" + QByteArray("łódź") + ";\r");
    EXPECT_EQ(lines[0], QByteArray(" Datum ;A;B;C\r"));
}

TEST_F(TextFileFixture, LineBreaksInACellOrTitleLineBecomeBlanksSoEveryRowKeepsItsLine)
{
    druck.SetKopfZeile(QStringLiteral("Z\u00E4hler\r\nzwei"));
    grid.SetCell(1, 0, QStringLiteral("A\nKopf"));
    grid.SetCell(1, 1, QStringLiteral("a\r\nb"));
    grid.SetCell(2, 1, QStringLiteral("c\nd\n\ne"));
    grid.SetCell(3, 1, QStringLiteral("f\rg\n"));
    grid.SetCell(3, 2, QStringLiteral("\r\nh"));
    SetTable();
    EXPECT_EQ(Write(QStringLiteral("breaks.csv")), QByteArray("Z\xe4hler zwei\r\n"
                                                              " Datum ;A Kopf;B;C\r\n"
                                                              "01.01.2026;a b;c d  e;f g\r\n"
                                                              "02.01.2026;2;;h\r\n"));
    TrimCellsInFile = false;
    EXPECT_EQ(Write(QStringLiteral("breaks.txt")), QByteArray("Z\xe4hler zwei\r\n"
                                                              " Datum \tA Kopf\tB\tC\r\n"
                                                              "01.01.2026\ta b\tc d  e\tf g \r\n"
                                                              "02.01.2026\t\x01" "2\t\t h\r\n"));
}

// The whole table is page 1 of a text file: pages 2 to 5 hold nothing, so
// no file is written (an existing one stays) and the caller is told.
TEST_F(TextFileFixture, ARangeOfTwoToFiveWritesNoFileAndSaysSo)
{
    druck.Druck_Bereich = db_Seitenzahlen;
    druck.Von_Seite = 2;
    druck.Bis_Seite = 5;
    druck.DruckDateiName = dir.filePath(QStringLiteral("empty.csv"));
    EXPECT_FALSE(druck.PrintTable());
    EXPECT_FALSE(QFileInfo::exists(druck.DruckDateiName));
    EXPECT_TRUE(druck.NothingInRange());
}

TEST_F(TextFileFixture, AFileThatCannotBeWrittenAnswersFalse)
{
    druck.DruckDateiName.clear();
    EXPECT_FALSE(druck.PrintTable());
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("plain")), "x"));
    druck.DruckDateiName = dir.filePath(QStringLiteral("plain/below.csv"));
    EXPECT_FALSE(druck.PrintTable());
    // Not the printer: the file switch is off and the preview page is drawn.
    druck.AusgabeGeraet = AG_Vorschau;
    druck.DruckInDatei = true;
    EXPECT_TRUE(druck.PrintTable());
    EXPECT_FALSE(druck.DruckInDatei);
    EXPECT_FALSE(canvas.Of(Op::Text).empty());
}

// ---- Print dialog -----------------------------------------------------------------

TEST_F(TablePrintFixture, PrinterSetupOffersThePagesAndTakesTheChoice)
{
    platform::SetPrinter(std::make_unique<platform::TPdfPrinter>());
    GraphicsSettings.PrintOrientation = 1;
    druck.Druck_Bereich = db_AlleSeiten;
    druck.Von_Seite = 1;
    druck.Bis_Seite = 99;
    druck.DruckDateiName = QStringLiteral("/data/out/t.csv");

    EXPECT_FALSE(druck.ExecutePrinterSetup(7));       // cancelled
    ASSERT_EQ(fakes.printRequests.size(), 1u);
    const auto& r = fakes.printRequests[0];
    EXPECT_EQ(r.MaxPage, 7);
    EXPECT_EQ(r.ToPage, 7);                            // lowered to the page count
    EXPECT_FALSE(r.AllowSelection);
    EXPECT_TRUE(r.AllowPrintToFile);
    EXPECT_EQ(r.Orientation, 1);                       // from the print orientation
    EXPECT_EQ(r.Targets, QStringList{QStringLiteral("PDF")});
    EXPECT_EQ(r.PreviousFile, QStringLiteral("/data/out/t.csv"));
    EXPECT_EQ(druck.Druck_Bereich, db_AlleSeiten);
    EXPECT_EQ(GraphicsSettings.PrintOrientation, 1);
    EXPECT_EQ(platform::Printer().Orientation(), 0);   // restored

    platform::TPrintDialogAnswer a;
    a.Accepted = true;
    a.Range = db_Seitenzahlen;
    a.FromPage = 2;
    a.ToPage = 3;
    a.PrintToFile = true;
    a.Orientation = 0;
    a.Target = QStringLiteral("PDF");
    a.PdfFileName = QStringLiteral("/tmp/out.pdf");
    fakes.printAnswers.push_back(a);
    EXPECT_TRUE(druck.ExecutePrinterSetup(7));
    EXPECT_EQ(druck.Druck_Bereich, db_Seitenzahlen);
    EXPECT_EQ(druck.Von_Seite, 2);
    EXPECT_EQ(druck.Bis_Seite, 3);
    EXPECT_TRUE(druck.DruckInDatei);
    EXPECT_EQ(GraphicsSettings.PrintOrientation, 0);   // the dialog's orientation
    // A text-file job takes no PDF file: the next PDF job asks for its own.
    EXPECT_TRUE(platform::Printer().PdfFileName().isEmpty());
    EXPECT_FALSE(platform::Printer().PdfChosen());
    EXPECT_EQ(platform::Printer().Orientation(), 0);
    a.PrintToFile = false;
    a.Copies = 3;
    fakes.printAnswers.push_back(a);
    EXPECT_TRUE(druck.ExecutePrinterSetup(7));
    EXPECT_EQ(druck.Kopien, 3);
    EXPECT_EQ(platform::Printer().PdfFileName(), QStringLiteral("/tmp/out.pdf"));
    EXPECT_TRUE(platform::Printer().PdfChosen());
    GraphicsSettings.PrintOrientation = 0;
    platform::SetPrinter(nullptr);
}

TEST(TabDruckFont, AGridFontInPixelsCountsByTheScreensDpi)
{
    QFont pixels;
    pixels.setPixelSize(16);
    EXPECT_DOUBLE_EQ(TZT_TabDruck::GridFontPoints(pixels), 16 * 72.0 / 96.0);   // offscreen: 96 dpi
    QFont points;
    points.setPointSize(11);
    EXPECT_DOUBLE_EQ(TZT_TabDruck::GridFontPoints(points), 11.0);
}

// A full disk fails the print file and leaves the earlier file as it was; no
// temporary file stays behind.
TEST_F(TextFileFixture, AFullDiskKeepsTheEarlierFileForCsvAndTab)
{
    grid.SetRowCount(3000);
    for (int r = 3; r < 3000; ++r)
        grid.SetCell(1, r, QStringLiteral("row %1").arg(r));
    SetTable();
    for (const QString& name : {QStringLiteral("old.csv"), QStringLiteral("old.txt")}) {
        const QString path = dir.filePath(name);
        const QByteArray old(50000, 'o');
        ASSERT_TRUE(testsupport::writeFile(path, old));
        druck.DruckDateiName = path;
        bool printed = true;
        {
            testsupport::TFullDisk full(4000);
            printed = druck.PrintTable();
        }
        EXPECT_FALSE(printed) << name.toStdString();
        EXPECT_EQ(testsupport::readFile(path), old) << name.toStdString();
    }
    EXPECT_EQ(testsupport::entriesOf(dir.path()), (QStringList{QStringLiteral("old.csv"), QStringLiteral("old.txt")}));
}
