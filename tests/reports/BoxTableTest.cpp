#include "reports/BoxTable.h"

#include "platform/StringGrid.h"

#include <gtest/gtest.h>

using reports::ComposeBoxTable;
using reports::PadText;

namespace {

void fill3x3(platform::TStringGridModel& g, int fixedRows, int fixedCols)
{
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetFixedRows(fixedRows);
    g.SetFixedCols(fixedCols);
    const char* cells[3][3] = {{"Zeit", "A", "Wert"}, {"01.01.", "12", "7"}, {"02.01.", "3", "145"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            g.SetCell(c, r, QString::fromUtf8(cells[r][c]));
}

QStringList compose3x3(int fixedRows, int fixedCols)
{
    platform::TStringGridModel g;
    fill3x3(g, fixedRows, fixedCols);
    return ComposeBoxTable(g);
}

} // namespace

TEST(BoxTablePad, ModesAndEvenRounding)
{
    EXPECT_EQ(PadText("ab", 5, 0), "ab   ");
    EXPECT_EQ(PadText("ab", 5, 1), "   ab");
    EXPECT_EQ(PadText("ab", 5, 2), "  ab ");    // d = 3: two blanks before
    EXPECT_EQ(PadText("a", 6, 2), "  a   ");    // d = 5: 2.5 goes to 2
    EXPECT_EQ(PadText("abcdef", 3, 1), "abcdef");   // never cut
}

TEST(BoxTable, GridWithOneFixedRowAndColumn)
{
    const QStringList lines = compose3x3(1, 1);
    const QStringList expected = {
        QString::fromUtf8("┌──────┬───────┐"),
        QString::fromUtf8("│Zeit  │A  Wert│"),
        QString::fromUtf8("├──────┼───────┤"),
        QString::fromUtf8("│01.01.│12    7│"),
        QString::fromUtf8("│02.01.│ 3  145│"),
        QString::fromUtf8("└──────┴───────┘"),
    };
    EXPECT_EQ(lines, expected);
}

TEST(BoxTable, WithoutFixedColumnsNoJunctionsNoCrossingNoInnerLines)
{
    const QStringList lines = compose3x3(1, 0);
    const QStringList expected = {
        QString::fromUtf8("┌──────────────┐"),
        QString::fromUtf8("│ Zeit  A  Wert│"),
        QString::fromUtf8("├──────────────┤"),
        QString::fromUtf8("│01.01. 12    7│"),
        QString::fromUtf8("│02.01.  3  145│"),
        QString::fromUtf8("└──────────────┘"),
    };
    EXPECT_EQ(lines, expected);
}

TEST(BoxTable, WithoutFixedRowsTheSeparatorComesFirst)
{
    const QStringList lines = compose3x3(0, 1);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[1], QString::fromUtf8("├──────┼───────┤"));
    // Every row is a data row: right-aligned beside the fixed column.
    EXPECT_EQ(lines[2], QString::fromUtf8("│Zeit  │ A Wert│"));
}

TEST(BoxTable, WideTablesAreNotCut)
{
    platform::TStringGridModel g;
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    g.SetCell(0, 0, QString(200, QLatin1Char('x')));
    g.SetCell(1, 1, QString(100, QLatin1Char('y')));
    const QStringList lines = ComposeBoxTable(g);
    for (const QString& line : lines) {
        EXPECT_EQ(line.size(), 1 + 201 + 101 + 1);
    }
    EXPECT_TRUE(lines[3].endsWith(QChar(reports::box::Vertical)));
}
