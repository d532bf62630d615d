// The table model's fill interface, as the evaluation uses it without a window.
#include "evaluation/TableModel.h"

#include "base/ZT_Tools.h"

#include <QFontInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

using platform::TGridDrawState;

namespace {

class TableModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefaultTableOutputParams(params);
        model.InitTableWindow(params);
        model.SetTableMode(false, false, 9);
        model.ClearTable(QStringLiteral("out.csv"));
    }
    void TearDown() override { DecimalComma = false; }

    // Fills data rows (grid rows fixedRows..) of column col with texts.
    void FillColumn(int col, const QStringList& texts, int fixedRows = 1)
    {
        model.SetHeaderCell(QStringLiteral("Wert"), fixedRows, col);
        model.SetHeaderCell(QStringLiteral("Differenz"), fixedRows, col + 1);
        model.Grid().SetRowCount(fixedRows + int(texts.size()));
        for (int i = 0; i < texts.size(); ++i)
            model.SetCell(texts[i], fixedRows + i + 1, col);
    }

    TTableOutputParams params;
    TTableModel model;
};

} // namespace

TEST_F(TableModelTest, ClearTableResetsGridAndKeepsFileName)
{
    model.SetHeaderCell(QStringLiteral("a"), 2, 4);
    model.Grid().SetRowCount(10);
    model.SetCell(QStringLiteral("x"), 9, 2);
    model.AddTitleLine(QStringLiteral("Titel"));
    model.SortColumn = 3;
    int pointLabelsCleared = 0;
    model.ClearPointLabels = [&] { ++pointLabelsCleared; };

    model.ClearTable(QStringLiteral("/tmp/liste.txt"));

    const auto& grid = model.Grid();
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.FixedRows(), 0);
    EXPECT_EQ(grid.Options(), 917u);
    EXPECT_EQ(grid.DefaultColWidth(), model.DefaultColumnWidth());
    EXPECT_TRUE(model.TitleLines().isEmpty());
    EXPECT_TRUE(model.ChooserVisible());
    EXPECT_EQ(model.SortColumn, -1);
    EXPECT_EQ(params.DruckDateiName, QStringLiteral("/tmp/liste.txt"));
    EXPECT_EQ(pointLabelsCleared, 1);
}

TEST_F(TableModelTest, ClearTableForgetsCellsBeyondTheRowCount)
{
    // A longer earlier table must not come back when the next one grows.
    model.Grid().SetRowCount(50);
    model.SetCell(QStringLiteral("alt"), 40, 3);
    model.Grid().SetRowCount(5);           // the cell now lies beyond the count
    model.ClearTable(QString());
    model.Grid().SetRowCount(50);
    model.Grid().SetColCount(5);
    EXPECT_TRUE(model.Grid().Cell(3, 39).isEmpty());
}

TEST_F(TableModelTest, SetHeaderCellGrowsRowsAndFixedRows)
{
    EXPECT_TRUE(model.SetHeaderCell(QStringLiteral("Zeit"), 3, 2));
    EXPECT_EQ(model.Grid().RowCount(), 4);
    EXPECT_EQ(model.Grid().FixedRows(), 3);
    EXPECT_EQ(model.Grid().Cell(2, 2), QStringLiteral("Zeit"));

    // Lower rows never shrink the counts.
    model.SetHeaderCell(QStringLiteral("Nr"), 1, 1);
    EXPECT_EQ(model.Grid().RowCount(), 4);
    EXPECT_EQ(model.Grid().FixedRows(), 3);
    EXPECT_EQ(model.Grid().Cell(1, 0), QStringLiteral("Nr"));
}

TEST_F(TableModelTest, ColumnWidthIsTheFontSizeTimesTheLengthOrTheDigitsItNeeds)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPointSize(9);
    model.ApplyTableFont(font);
    model.SetScale(1.0);
    const double digit = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    // Long texts: the size in points per character is the wider.
    EXPECT_EQ(model.TextColumnWidth(QStringLiteral("07.12.2026 00:15:00")),
              std::max(9 * 19 - 6, int(std::ceil(19 * digit)) + 13));
    // Short texts: the characters and the drawing insets are.
    EXPECT_EQ(model.TextColumnWidth(QStringLiteral("1")), int(std::ceil(digit)) + 13);
    EXPECT_EQ(model.TextColumnWidth(QString()), 0);
    model.SetScale(2.0);
    EXPECT_EQ(model.TextColumnWidth(QStringLiteral("12345")), 9 * 5 * 2 - 6);
}

// The width must hold the text where it is drawn: 6 pixels beside the hidden
// marker column and inside the insets of fixed and selected cells (1 left,
// 6 right).
TEST_F(TableModelTest, ColumnsHoldTheirTextsInTheInstalledFonts)
{
    const QStringList texts = {QStringLiteral("07.12.2026 00:15:00"), QStringLiteral("  12345678.1234"),
                               QStringLiteral("(-1234,5)"), QStringLiteral("0x8104: Beispiel"),
                               QStringLiteral("1"), QStringLiteral("Zähler")};
    for (const QString& family : {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("DejaVu Sans"),
                                  QStringLiteral("Courier New")}) {
        for (const int size : {7, 8, 9, 10, 11, 12}) {
            QFont font(family);
            font.setPointSize(size);
            model.ApplyTableFont(font);
            const QFontMetricsF metrics(font);
            for (const QString& t : texts) {
                const int width = model.TextColumnWidth(t);
                EXPECT_GE(width, metrics.horizontalAdvance(t) + 13)
                    << family.toStdString() << " " << size << " '" << t.toStdString() << "'";
            }
        }
    }
}

TEST_F(TableModelTest, SetCellGrowsColumnsAndWidensOnlyItsColumn)
{
    const int narrow = model.DefaultColumnWidth();
    EXPECT_TRUE(model.SetCell(QStringLiteral("12345.678"), 1, 5));
    const auto& grid = model.Grid();
    EXPECT_EQ(grid.ColCount(), 6);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid.ColWidth(c), narrow) << "column " << c;
    const int wide = grid.ColWidth(5);
    EXPECT_EQ(wide, model.TextColumnWidth(QStringLiteral("12345.678")));
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(grid.Cell(5, 0), QStringLiteral("12345.678"));

    // A shorter text never narrows the column.
    model.SetCell(QStringLiteral("1"), 1, 5);
    EXPECT_EQ(grid.ColWidth(5), wide);
    // The row count is the caller's business.
    EXPECT_EQ(grid.RowCount(), 1);
}

TEST_F(TableModelTest, SetCellIgnoresRowsBelowOne)
{
    EXPECT_TRUE(model.SetCell(QStringLiteral("x"), 0, 1));
    EXPECT_TRUE(model.SetHeaderCell(QStringLiteral("x"), -3, 1));
    EXPECT_TRUE(model.SetCell(QStringLiteral("x"), 1, -1));
    EXPECT_EQ(model.Grid().ColCount(), 1);
    EXPECT_EQ(model.Grid().RowCount(), 1);
    EXPECT_TRUE(model.Grid().Cell(0, 0).isEmpty());
}

TEST_F(TableModelTest, SetCellAtTheGridLimitReportsAFullTable)
{
    EXPECT_TRUE(model.SetCell(QStringLiteral("last"), TTableModel::MaxTableRows, 1));
    EXPECT_EQ(model.Grid().Cell(1, TTableModel::MaxTableRows - 1), QStringLiteral("last"));
    EXPECT_FALSE(model.SetCell(QStringLiteral("x"), TTableModel::MaxTableRows + 1, 1));
    EXPECT_FALSE(model.SetCell(QStringLiteral("x"), 1, platform::MaxGridCount));
    EXPECT_FALSE(model.SetHeaderCell(QStringLiteral("x"), TTableModel::MaxTableRows, 1));
}

TEST_F(TableModelTest, FindRowOfTextAnswersGridRowPlusOne)
{
    EXPECT_EQ(model.FindRowOfText(1, QStringLiteral("a")), 0);   // a single row

    model.SetHeaderCell(QStringLiteral("Schlüssel"), 1, 1);
    model.Grid().SetRowCount(4);
    model.SetCell(QStringLiteral("20050101000000 1"), 2, 1);
    model.SetCell(QStringLiteral("20050101000000 2"), 3, 1);
    model.SetCell(QStringLiteral("20050101000000 2"), 4, 1);

    EXPECT_EQ(model.FindRowOfText(1, QStringLiteral("20050101000000 1")), 2);   // grid row 1
    EXPECT_EQ(model.FindRowOfText(1, QStringLiteral("20050101000000 2")), 3);   // the first match
    EXPECT_EQ(model.FindRowOfText(1, QStringLiteral("nicht da")), 1);
    EXPECT_EQ(model.FindRowOfText(1, QStringLiteral("schlüssel")), 1);          // header rows are not searched
    EXPECT_EQ(model.FindRowOfText(1, QStringLiteral("Schlüssel")), 1);
    EXPECT_EQ(model.FindRowOfText(7, QStringLiteral("x")), 1);                  // a column never written

    // A cell beyond the row count is not found, and the search grows nothing.
    model.Grid().SetRowCount(3);
    EXPECT_EQ(model.FindRowOfText(1, QStringLiteral("20050101000000 2")), 3);
    model.SetCell(QStringLiteral("versteckt"), 10, 1);
    EXPECT_EQ(model.FindRowOfText(1, QStringLiteral("versteckt")), 1);
    EXPECT_EQ(model.Grid().RowCount(), 3);
}

TEST_F(TableModelTest, FindRowOfTextFindsAnEmptyCellAlsoWhereNothingWasWritten)
{
    model.SetHeaderCell(QStringLiteral("Zeit"), 1, 1);
    model.Grid().SetRowCount(4);
    model.SetCell(QStringLiteral("a"), 2, 1);
    model.SetCell(QStringLiteral("1"), 3, 0);   // grid row 2: only its marker cell written
    EXPECT_EQ(model.FindRowOfText(1, QString()), 3);
    EXPECT_EQ(model.FindRowOfText(5, QString()), 2);   // a column never written is empty everywhere
}

TEST_F(TableModelTest, FinishTableDropsTrailingBlankRows)
{
    model.SetHeaderCell(QStringLiteral("Zeit"), 1, 1);
    model.Grid().SetRowCount(6);
    model.SetCell(QStringLiteral("a"), 2, 1);
    model.SetCell(QStringLiteral("  \t"), 4, 2);    // only blanks: counts as empty
    model.SetCell(QStringLiteral(" "), 5, 1);
    model.FinishTable(1, false);
    EXPECT_EQ(model.Grid().RowCount(), 2);

    // Never below one row.
    model.ClearTable(QString());
    model.Grid().SetRowCount(3);
    model.FinishTable(1, false);
    EXPECT_EQ(model.Grid().RowCount(), 1);
}

TEST_F(TableModelTest, FinishTableEndsTheFillWithOneNotification)
{
    QSignalSpy changed(&model.Grid(), &platform::TStringGridModel::Changed);
    QSignalSpy finished(&model, &TTableModel::TableFinished);
    model.SetHeaderCell(QStringLiteral("Zeit"), 1, 1);
    model.Grid().SetRowCount(101);
    for (int r = 2; r <= 101; ++r)
        model.SetCell(QString::number(r), r, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(model.Filling());

    model.FinishTable(1, false);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(model.Filling());
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(TableModelTest, FinishTableScrollsAndSetsChooserAndRowHeight)
{
    model.SetChooserItems({QStringLiteral("A"), QStringLiteral("B")});
    model.SetHeaderCell(QStringLiteral("Zeit"), 1, 1);
    model.Grid().SetRowCount(30);
    for (int r = 2; r <= 30; ++r)
        model.SetCell(QStringLiteral("v"), r, 1);
    model.FinishTable(2, true);
    EXPECT_EQ(model.Grid().TopRow(), 22);
    EXPECT_EQ(model.ChooserIndex, 2);
    EXPECT_EQ(model.ChooserItemIndex(), 1);
    EXPECT_EQ(model.ChooserText(), QStringLiteral("B"));
    EXPECT_EQ(model.Grid().DefaultRowHeight(), model.DefaultRowHeight());
    EXPECT_GE(model.DefaultRowHeight(), 9 + 6);
}

TEST_F(TableModelTest, DeleteColumnMovesColumnsLeftWithTheirWidths)
{
    model.SetCell(QStringLiteral("a"), 1, 1);
    model.SetCell(QStringLiteral("bbbbbbbbbb"), 1, 2);
    model.SetCell(QStringLiteral("c"), 1, 3);
    const int widthB = model.Grid().ColWidth(2);
    model.DeleteColumn(1);
    EXPECT_EQ(model.Grid().ColCount(), 3);
    EXPECT_EQ(model.Grid().Cell(1, 0), QStringLiteral("bbbbbbbbbb"));
    EXPECT_EQ(model.Grid().ColWidth(1), widthB);
    EXPECT_EQ(model.Grid().Cell(2, 0), QStringLiteral("c"));

    // At or beyond the last column only the column count drops.
    model.DeleteColumn(7);
    EXPECT_EQ(model.Grid().ColCount(), 2);
    EXPECT_EQ(model.Grid().Cell(1, 0), QStringLiteral("bbbbbbbbbb"));
}

TEST_F(TableModelTest, DifferencesStandOneRowUpAndSkipMissingValues)
{
    // Column 1 values, column 2 the differences.
    FillColumn(1, {QStringLiteral("10"), QStringLiteral("-9999"), QStringLiteral("15"),
                   QStringLiteral("3")});
    model.SetCell(QStringLiteral("alt"), 5, 2);          // the last row's cell stays as it is
    model.FillDifferenceColumn(1, 2, true, QStringLiteral("####.##"));
    const auto& grid = model.Grid();
    EXPECT_EQ(grid.Cell(2, 1), QString());                // row of 10: next has no value
    EXPECT_EQ(grid.Cell(2, 2), model.FormatDifference(QStringLiteral("####.##"), 5));
    EXPECT_EQ(grid.Cell(2, 3), model.FormatDifference(QStringLiteral("####.##"), 3));  // counted from 0
    EXPECT_EQ(grid.Cell(2, 4), QStringLiteral("alt"));
}

TEST_F(TableModelTest, DifferencesWithoutResetGoNegative)
{
    FillColumn(1, {QStringLiteral("15"), QStringLiteral("3")});
    model.FillDifferenceColumn(1, 2, false, QStringLiteral("####.##"));
    EXPECT_EQ(model.Grid().Cell(2, 1), model.FormatDifference(QStringLiteral("####.##"), -12));
}

TEST_F(TableModelTest, DifferencesAfterAMissingFirstValueStartAtTheNextValue)
{
    FillColumn(1, {QString(), QStringLiteral("abc"), QStringLiteral(" 7 "), QStringLiteral("9,5")});
    model.FillDifferenceColumn(1, 2, false, QStringLiteral("####.##"));
    const auto& grid = model.Grid();
    EXPECT_EQ(grid.Cell(2, 1), QString());
    EXPECT_EQ(grid.Cell(2, 2), QString());   // prev still missing: the chain starts at 7
    EXPECT_EQ(grid.Cell(2, 3), model.FormatDifference(QStringLiteral("####.##"), 2.5));
}

TEST_F(TableModelTest, DifferencesIntoAMissingColumnWriteNothing)
{
    FillColumn(1, {QStringLiteral("1"), QStringLiteral("4")});
    ASSERT_EQ(model.Grid().ColCount(), 3);
    model.FillDifferenceColumn(1, 9, false, QStringLiteral("####"));
    // Nothing was stored for the column either, so it stays empty when it comes.
    model.Grid().SetColCount(10);
    EXPECT_TRUE(model.Grid().Cell(9, 1).isEmpty());
}

// A difference is often longer than its value and its header: a counter
// that ran back gives a large negative one. The column must show it whole,
// in both ways the columns are filled, or its last characters are cut off on
// the screen.
TEST_F(TableModelTest, ADifferenceLongerThanItsHeaderWidensItsColumn)
{
    const QString picture = QStringLiteral("########.####");
    for (const bool together : {false, true}) {
        SCOPED_TRACE(together);
        model.ClearTable(QStringLiteral("out.csv"));
        model.SetHeaderCell(QStringLiteral("V"), 1, 1);
        model.SetHeaderCell(QStringLiteral("V"), 1, 2);
        model.SetHeaderCell(QStringLiteral("D"), 1, 3);
        model.SetHeaderCell(QStringLiteral("D"), 1, 4);
        model.Grid().SetRowCount(4);
        for (const int col : {1, 2}) {
            model.SetCell(QStringLiteral("1234567.1"), 2, col);
            model.SetCell(QStringLiteral("1"), 3, col);
            model.SetCell(QStringLiteral("2"), 4, col);
        }
        const int before = model.Grid().ColWidth(3);
        if (together)
            model.FillDifferenceColumns({{1, 3}, {2, 4}}, false, picture);
        else
            model.FillDifferenceColumn(1, 3, false, picture);
        const QString text = model.Grid().Cell(3, 1);
        ASSERT_EQ(text, QStringLiteral("-1234566.1000"));
        EXPECT_GT(model.Grid().ColWidth(3), before);
        EXPECT_GE(model.Grid().ColWidth(3), model.TextColumnWidth(text));
        if (together)
            EXPECT_GE(model.Grid().ColWidth(4), model.TextColumnWidth(model.Grid().Cell(4, 1)));
    }
}

TEST_F(TableModelTest, DifferenceOfSpecialEventRowsKeepsTheMarker)
{
    // A special-event row carries "1" in column 0; differences do not touch it.
    FillColumn(1, {QStringLiteral("10"), QStringLiteral("12")});
    model.SetCell(QStringLiteral("1"), 3, 0);
    model.FillDifferenceColumn(1, 2, false, QStringLiteral("####"));
    EXPECT_EQ(model.Grid().Cell(0, 2), QStringLiteral("1"));
    EXPECT_EQ(model.Grid().Cell(2, 1), model.FormatDifference(QStringLiteral("####"), 2));
}

TEST_F(TableModelTest, FormatDifferencePadsToTheDifferenceWidth)
{
    const QString s = model.FormatDifference(QStringLiteral("########.####"), 5);
    EXPECT_EQ(s, PadLeftBlanks(TrimControlChars(FormatByPicture(QStringLiteral("########.####"), 5)), 9));
    EXPECT_TRUE(s.endsWith(QStringLiteral("5.0000")));

    model.SetTableMode(false, false, 12);
    EXPECT_EQ(model.FormatDifference(QStringLiteral("##"), 7).size(), 12);
}

TEST_F(TableModelTest, FormatDifferenceOverflowShowsNines)
{
    EXPECT_EQ(TrimControlChars(model.FormatDifference(QStringLiteral("##.#"), 12345.0)), QStringLiteral("99.9"));
    EXPECT_EQ(TrimControlChars(model.FormatDifference(QStringLiteral("##.#"), -12345.0)), QStringLiteral("-9.9"));
    EXPECT_FALSE(model.FormatDifference(QStringLiteral("##.#"), 12345.0).contains(QLatin1Char('*')));
}

TEST_F(TableModelTest, FormatDifferenceWithFormattedNumbersDropsTrailingZeros)
{
    model.SetTableMode(false, true, 9);
    EXPECT_EQ(model.FormatDifference(QStringLiteral("####.####"), 12.34), QStringLiteral("12.34"));
    EXPECT_EQ(model.FormatDifference(QStringLiteral("####.###"), 15), QStringLiteral("15"));
    EXPECT_EQ(model.FormatDifference(QStringLiteral("####"), 100), QStringLiteral("100"));

    // With a decimal comma the comma ends the removal the same way.
    model.SetTableMode(true, true, 9);
    EXPECT_EQ(model.FormatDifference(QStringLiteral("####.##"), 2.5), QStringLiteral("2,5"));
    EXPECT_EQ(model.FormatDifference(QStringLiteral("####.##"), 20), QStringLiteral("20"));
}

TEST_F(TableModelTest, FormatDifferenceIsCutTo21Characters)
{
    model.SetTableMode(false, false, 40);
    EXPECT_EQ(model.FormatDifference(QStringLiteral("####"), 1).size(), 21);
}

TEST_F(TableModelTest, EvaluationLabelIsVisibleExactlyWhenNotEmpty)
{
    QSignalSpy spy(&model, &TTableModel::EvaluationLabelChanged);
    EXPECT_FALSE(model.EvaluationLabelVisible());
    model.SetEvaluationLabel(QStringLiteral("Zählerstände: 12 Diff."));
    EXPECT_TRUE(model.EvaluationLabelVisible());
    EXPECT_EQ(model.EvaluationLabel(), QStringLiteral("Zählerstände: 12 Diff."));
    model.SetEvaluationLabel(QString());
    EXPECT_FALSE(model.EvaluationLabelVisible());
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(TableModelTest, TitleLinesAreKeptInOrder)
{
    model.AddTitleLine(QStringLiteral("Kunde 4711"));
    model.AddTitleLine(QString());
    model.AddTitleLine(QStringLiteral("Zähler 1"));
    EXPECT_EQ(model.TitleLines(),
              (QStringList{QStringLiteral("Kunde 4711"), QString(), QStringLiteral("Zähler 1")}));
}

TEST_F(TableModelTest, ChooserChangeCallsTheHookAndKeepsTheScrollPosition)
{
    std::vector<int> reported;
    model.OnChooserChange = [&](uint8_t index) {
        reported.push_back(index);
        // The hook refills the table, which scrolls back to the top.
        model.Grid().SetTopRow(model.Grid().FixedRows());
    };
    model.SetChooserItems({QStringLiteral("A"), QStringLiteral("B")});
    model.SetHeaderCell(QStringLiteral("Zeit"), 1, 1);
    model.Grid().SetRowCount(40);
    for (int r = 2; r <= 40; ++r)
        model.SetCell(QStringLiteral("v"), r, 1);
    model.FinishTable(1, false);
    model.Grid().SetTopRow(11);

    model.ChooserSelected(1);                 // unchanged: no call
    EXPECT_TRUE(reported.empty());
    model.ChooserSelected(2);
    EXPECT_EQ(reported, std::vector<int>{2});
    EXPECT_EQ(model.Grid().TopRow(), 11);
    EXPECT_EQ(model.ChooserIndex, 2);
}

TEST_F(TableModelTest, ChosenFontGoesIntoTheParameters)
{
    QFont font(QStringLiteral("DejaVu Sans Mono Extra Long Family Name For Test"));
    font.setPointSize(14);
    model.ApplyChosenFont(font);
    EXPECT_EQ(params.SchriftGroesse, 14);
    EXPECT_EQ(params.SchriftName.size(), 31);
    EXPECT_EQ(model.TableFont().pointSize(), 14);
    EXPECT_EQ(model.Grid().DefaultRowHeight(), model.DefaultRowHeight());
}

TEST_F(TableModelTest, CellLookOfFixedSelectedAndPlainCells)
{
    model.SetHeaderCell(QStringLiteral("Kopf"), 1, 2);
    model.Grid().SetRowCount(3);
    model.SetCell(QStringLiteral("Wert"), 2, 2);
    model.Grid().SetColWidth(1, 0);           // a hidden column left of column 2
    const QRect cell(100, 20, 60, 16);
    const platform::TColor yellow = 0x00FFFF;

    TCellLook head = model.DrawSortHeader(0, 2, yellow, TGridDrawState{}, fsBold, cell);
    EXPECT_EQ(head.Brush, model.FixedColor);
    EXPECT_EQ(head.TextColor, model.FontColor);
    EXPECT_EQ(head.Style, fsBold);
    EXPECT_EQ(head.Text, QStringLiteral("Kopf"));
    EXPECT_EQ(head.Rect.left(), 100 + 1 + 6);
    EXPECT_EQ(head.Rect.right(), cell.right() - 6);
    EXPECT_EQ(head.TextPos, QPoint(head.Rect.left(), 22));

    TCellLook plain = model.DrawSortHeader(1, 3, yellow, TGridDrawState{}, 0, cell);
    EXPECT_EQ(plain.Brush, yellow);
    EXPECT_EQ(plain.Rect, cell);

    TCellLook focused = model.DrawSortHeader(1, 3, yellow, TGridDrawState{true, true, false}, 0, cell);
    EXPECT_EQ(focused.Brush, 0x00C0C0u);
    EXPECT_EQ(focused.Rect.left(), 101);
    TCellLook focusedPlain = model.DrawSortHeader(1, 3, model.GridColor, TGridDrawState{true, true, false}, 0, cell);
    EXPECT_EQ(focusedPlain.Brush, model.GridColor);

    TCellLook selected = model.DrawSortHeader(1, 3, yellow, TGridDrawState{true, false, false}, 0, cell);
    EXPECT_EQ(selected.Brush, model.HighlightColor);
    EXPECT_EQ(selected.TextColor, model.HighlightTextColor);
}

// 65,536 rows of 12 columns, the evaluation's largest table, keep every
// cell up to the last row once finished. (How fast it fills is measured by
// the main road's benchmark.)
TEST_F(TableModelTest, TheLargestTableKeepsEveryCellToItsLastRow)
{
    model.SetHeaderCell(QStringLiteral("Zeit"), 1, 1);
    model.Grid().SetRowCount(TTableModel::MaxTableRows);
    for (int r = 2; r <= TTableModel::MaxTableRows; ++r)
        for (int c = 1; c <= 12; ++c)
            ASSERT_TRUE(model.SetCell(QString::number(r * 100 + c), r, c));
    EXPECT_FALSE(model.SetCell(QStringLiteral("beyond"), TTableModel::MaxTableRows + 1, 1));
    model.FinishTable(1, false);
    ASSERT_EQ(model.Grid().RowCount(), TTableModel::MaxTableRows);
    for (const int r : {2, 30000, TTableModel::MaxTableRows})
        for (const int c : {1, 7, 12})
            EXPECT_EQ(model.Grid().Cell(c, r - 1), QString::number(r * 100 + c)) << r << "," << c;
}

// A new font lays a finished table out again at once, exactly as filling it
// anew in that font would: row heights and column widths; a hidden column
// stays hidden and a filled column keeps the filled table's least width.
TEST_F(TableModelTest, ANewFontLaysTheTableOutAsAFillInThatFontWould)
{
    auto fill = [](TTableModel& m) {
        m.ClearTable(QString());
        m.SetHeaderCell(QStringLiteral("Zeit"), 1, 1);
        m.SetHeaderCell(QStringLiteral("Vb"), 1, 2);
        m.SetHeaderCell(QStringLiteral("x"), 1, 3);
        m.Grid().SetRowCount(4);
        m.SetCell(QStringLiteral("01.09.2026 00:00:00"), 2, 1);
        m.SetCell(QStringLiteral("3141592,65"), 2, 2);
        m.SetCell(QStringLiteral("01.09.2026 00:15:00"), 3, 1);
        m.SetCell(QStringLiteral("1"), 3, 3);
        m.FinishTable(1, false);
        m.Grid().SetColWidth(0, 0);
        for (int c = 1; c < m.Grid().ColCount(); ++c)
            m.Grid().SetColWidth(c, std::max(m.Grid().ColWidth(c), TTableModel::MinFilledColumnWidth));
    };
    QFont big(QStringLiteral("DejaVu Sans Mono"));
    big.setPointSize(14);

    fill(model);
    const int narrowDate = model.Grid().ColWidth(1);
    model.ApplyChosenFont(big);

    TTableOutputParams bigParams;
    DefaultTableOutputParams(bigParams);
    bigParams.SchriftName = big.family();
    bigParams.SchriftGroesse = 14;
    TTableModel fresh;
    fresh.InitTableWindow(bigParams);
    fill(fresh);

    EXPECT_GT(model.Grid().ColWidth(1), narrowDate);
    EXPECT_EQ(model.Grid().DefaultRowHeight(), fresh.Grid().DefaultRowHeight());
    for (int c = 0; c < model.Grid().ColCount(); ++c)
        EXPECT_EQ(model.Grid().ColWidth(c), fresh.Grid().ColWidth(c)) << c;
    for (int r = 0; r < model.Grid().RowCount(); ++r)
        for (int c = 1; c < model.Grid().ColCount(); ++c)
            EXPECT_GE(model.Grid().ColWidth(c), model.TextColumnWidth(model.Grid().CellView(c, r))) << c << "," << r;

    // And back: a smaller font narrows the columns again.
    QFont small(QStringLiteral("DejaVu Sans Mono"));
    small.setPointSize(9);
    model.ApplyChosenFont(small);
    EXPECT_EQ(model.Grid().ColWidth(1), narrowDate);
}

// Destination columns side by side are written into each row at once; in
// any other order one cell at a time. Both must leave every cell alike, also
// for rows that are short, never written, hold cells where the differences
// go, or have no room for them.
TEST(TableModelDifferences, ColumnsSideBySideGiveTheCellsThatOneAtATimeGive)
{
    std::mt19937 rng(23);
    const QStringList values = {QString(), QStringLiteral("12"), QStringLiteral("  7.5"), QStringLiteral("abc"),
                                QStringLiteral("1000000"), QStringLiteral("0"), QStringLiteral("-3,25"),
                                QStringLiteral("99999999.9999")};
    for (int trial = 0; trial < 60; ++trial) {
        TTableOutputParams params;
        DefaultTableOutputParams(params);
        TTableModel tables[2];
        const int valueCols = 1 + int(rng() % 5);
        const int rows = 2 + int(rng() % 40);
        const int hint = int(rng() % 3) == 0 ? 0 : 2 * valueCols + 2;
        const bool formatted = rng() % 2 == 0;
        const bool reset = rng() % 2 == 0;
        // The same random cells into both tables.
        std::vector<std::tuple<int, int, QString>> cells;
        for (int r = 1; r <= rows; ++r) {
            if (rng() % 10 == 0)
                continue;   // a row never written
            const int stored = int(rng() % (valueCols + 2));
            for (int c = 1; c <= stored; ++c)
                cells.emplace_back(r, c, values[int(rng() % values.size())]);
            if (rng() % 12 == 0)   // a cell where a difference goes
                cells.emplace_back(r, valueCols + 1 + int(rng() % valueCols), QStringLiteral("alt"));
        }
        for (TTableModel& t : tables) {
            t.InitTableWindow(params);
            t.SetTableMode(false, formatted, 9);
            t.ClearTable(QStringLiteral("out.csv"));
            t.SetHeaderCell(QStringLiteral("Zeit"), 1, 0);
            t.Grid().SetColCount(2 * valueCols + 1);
            t.Grid().SetRowCount(rows + 1);
            t.Grid().SetRowCapacityHint(hint);
            for (const auto& [r, c, text] : cells)
                t.SetCell(text, r + 1, c);
        }
        std::vector<std::pair<int, int>> pairs;
        for (int c = 1; c <= valueCols; ++c)
            pairs.emplace_back(c, c + valueCols);
        tables[0].FillDifferenceColumns(pairs, reset, QStringLiteral("########.####"));
        std::reverse(pairs.begin(), pairs.end());
        tables[1].FillDifferenceColumns(pairs, reset, QStringLiteral("########.####"));
        const platform::TStringGridModel& a = tables[0].Grid();
        const platform::TStringGridModel& b = tables[1].Grid();
        for (int r = 0; r <= rows; ++r) {
            ASSERT_EQ(a.RowCellCount(r), b.RowCellCount(r)) << trial << " row " << r;
            for (int c = 0; c < a.ColCount(); ++c)
                ASSERT_EQ(a.Cell(c, r), b.Cell(c, r)) << trial << " row " << r << " col " << c;
        }
    }
}
