#include "output/forms/ZT_Chart.h"
#include "support/FakeHooks.h"

#include <gtest/gtest.h>

using platform::TGridRect;

namespace {

void MakeGrid(platform::TStringGridModel& grid)
{
    grid.SetColCount(5);
    grid.SetRowCount(8);
    grid.SetFixedCols(2);
    grid.SetFixedRows(1);
}

} // namespace

TEST(ChartShell, UsableSelectionIsKeptWithTheGrid)
{
    testsupport::FakeHooks hooks;
    TZT_Chart chart;
    platform::TStringGridModel grid;
    MakeGrid(grid);
    grid.SetSelection(TGridRect{2, 1, 3, 6});
    chart.ShowChartForGrid(grid);
    EXPECT_EQ(chart.Grid, &grid);
    EXPECT_EQ(chart.SelLeft, 2);
    EXPECT_EQ(chart.SelTop, 1);
    EXPECT_EQ(chart.SelRight, 3);
    EXPECT_EQ(chart.SelBottom, 6);
    EXPECT_EQ(chart.ChartBuildCount(), 1);
    EXPECT_TRUE(hooks.kindMessages.empty());
    EXPECT_TRUE(chart.ChartHasSeries());     // the marked columns became curves
    EXPECT_TRUE(chart.isHidden());          // the chart window itself is never shown
}

TEST(ChartShell, SingleCellGivesMessage75AndKeepsTheEarlierRectangle)
{
    testsupport::FakeHooks hooks;
    TZT_Chart chart;
    platform::TStringGridModel grid;
    MakeGrid(grid);
    grid.SetSelection(TGridRect{2, 1, 4, 3});
    chart.ShowChartForGrid(grid);
    grid.SetSelection(TGridRect{3, 5, 3, 5});
    chart.ShowChartForGrid(grid);
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.kindMessages[0].Text.contains(QStringLiteral("Kein Bereich markiert.")));
    EXPECT_EQ(chart.SelRight, 4);
    EXPECT_EQ(chart.SelBottom, 3);
    EXPECT_EQ(chart.ChartBuildCount(), 1);
}

TEST(ChartShell, TitleMemoAndChartTitleAreKeptTheTitleCutTo132)
{
    TZT_Chart chart;
    QPlainTextEdit memo;
    chart.SetTitleMemo(&memo);
    EXPECT_EQ(chart.TitleMemo, &memo);
    chart.SetChartTitle(QString(200, QLatin1Char('x')));
    EXPECT_EQ(chart.ChartTitle.size(), 132);
    chart.SetChartTitle(QStringLiteral("Zähler 1"));
    EXPECT_EQ(chart.ChartTitle, QStringLiteral("Zähler 1"));
}
