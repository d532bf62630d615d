// Building the chart from small grids: label columns, curve titles, colours,
// null points, the curve limit, the pie rules and the print rectangle.
#include "output/ChartBuild.h"
#include "platform/StringGrid.h"

#include <gtest/gtest.h>

using namespace chart;
using platform::TStringGridModel;

namespace {

// A table as the table window makes it: column 0 hidden, date and time as
// fixed columns 1 and 2, two header rows (name, unit), values from column 3.
class ChartBuildTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefaultGraphicsSettings(GraphicsSettings);
        MakeGrid(3, 4);
    }

    void MakeGrid(int valueColumns, int rows, int headerRows = 2)
    {
        grid.SetColCount(3 + valueColumns);
        grid.SetRowCount(headerRows + rows);
        grid.SetFixedCols(3);
        grid.SetFixedRows(headerRows);
        grid.SetColWidth(0, 0);
        for (int c = 0; c < valueColumns; ++c) {
            grid.SetCell(3 + c, 0, QStringLiteral("Wert%1").arg(c + 1));
            if (headerRows > 1)
                grid.SetCell(3 + c, 1, QStringLiteral("m3"));
        }
        for (int r = 0; r < rows; ++r) {
            grid.SetCell(1, headerRows + r, QStringLiteral("%1.01.2024").arg(r + 1, 2, 10, QLatin1Char('0')));
            grid.SetCell(2, headerRows + r, QStringLiteral("12:%1").arg(r * 15, 2, 10, QLatin1Char('0')));
            for (int c = 0; c < valueColumns; ++c)
                grid.SetCell(3 + c, headerRows + r, QString::number(10 * (c + 1) + r) + QStringLiteral(",5"));
        }
        marked = QRect(QPoint(3, headerRows), QPoint(2 + valueColumns, headerRows + rows - 1));
    }

    void Build()
    {
        builder.BuildChart(model, grid, marked, sw, memo, !memo.isEmpty(), chartTitle, QFont(QStringLiteral("DejaVu Sans"), 9));
    }

    TStringGridModel grid;
    QRect marked;
    TChartSwitches sw;
    QStringList memo;
    QString chartTitle;
    TChartBuilder builder;
    TChartModel model;
};

} // namespace

TEST_F(ChartBuildTest, LabelColumnsFollowTheLegendSwitches)
{
    // "L.1" alone: the date (column 1, as column 0 is hidden).
    sw.Legend1 = true;
    sw.Legend2 = false;
    Build();
    EXPECT_EQ(builder.LabelLines, 1);
    EXPECT_FALSE(builder.LabelColumnUsed[0]);
    EXPECT_TRUE(builder.LabelColumnUsed[1]);
    EXPECT_FALSE(builder.LabelColumnUsed[2]);
    ASSERT_EQ(model.Labels.size(), 4);
    EXPECT_EQ(model.Labels[0], QStringLiteral("01.01.2024"));

    // Both: date and time joined by CR.
    sw.Legend2 = true;
    Build();
    EXPECT_EQ(builder.LabelLines, 2);
    EXPECT_EQ(model.Labels[1], QStringLiteral("02.01.2024\r12:15"));

    // Only "L.2": column 1 needs "L.1" while column 0 is hidden, so only the
    // time remains.
    sw.Legend1 = false;
    Build();
    EXPECT_EQ(builder.LabelLines, 1);
    EXPECT_EQ(model.Labels[0], QStringLiteral("12:00"));

    // Neither: no labels, and the bottom axis is hidden.
    sw.Legend2 = false;
    Build();
    EXPECT_EQ(builder.LabelLines, 0);
    EXPECT_EQ(model.Labels[0], QString());
    EXPECT_FALSE(model.Bottom.Visible);
}

TEST_F(ChartBuildTest, CurveTitlesJoinNameAndUnitByTheSwitches)
{
    sw.Legend1 = sw.Legend2 = true;
    Build();
    ASSERT_EQ(model.Series.size(), 3u);
    EXPECT_EQ(model.Series[0].Title, QStringLiteral("Wert1 / m3"));
    sw.Legend1 = false;
    Build();
    EXPECT_EQ(model.Series[0].Title, QStringLiteral("m3"));
    sw.Legend1 = true;
    sw.Legend2 = false;
    Build();
    EXPECT_EQ(model.Series[0].Title, QStringLiteral("Wert1"));

    // With one header row it always counts.
    MakeGrid(2, 3, 1);
    sw.Legend1 = false;
    Build();
    EXPECT_EQ(model.Series[1].Title, QStringLiteral("Wert2"));
}

TEST_F(ChartBuildTest, ValuesParseWithCommaAndEmptyCellsBecomeNullPoints)
{
    grid.SetCell(3, 3, QString());
    grid.SetCell(4, 4, QStringLiteral("kein Wert"));
    grid.SetCell(5, 5, QStringLiteral("\t7.25\r"));
    Build();
    ASSERT_EQ(model.Series.size(), 3u);
    EXPECT_DOUBLE_EQ(model.Series[0].Values[0], 10.5);
    EXPECT_TRUE(IsNull(model.Series[0].Values[1]));
    EXPECT_TRUE(IsNull(model.Series[1].Values[2]));
    EXPECT_DOUBLE_EQ(model.Series[2].Values[3], 7.25);
}

TEST_F(ChartBuildTest, AColumnOfEmptyCellsIsACurveOfNullPointsWithTitleAndLabels)
{
    for (int r = 2; r < 6; ++r)
        grid.SetCell(4, r, QString());
    sw.Legend2 = true;
    Build();
    ASSERT_EQ(model.Series.size(), 3u);
    EXPECT_EQ(model.Series[1].Title, QStringLiteral("Wert2 / m3"));
    EXPECT_EQ(model.Series[1].Count(), 4);
    for (double v : model.Series[1].Values)
        EXPECT_TRUE(IsNull(v));
    EXPECT_EQ(model.Labels.size(), 4);
}

TEST_F(ChartBuildTest, FifteenMarkedColumnsGiveTwelveCurvesInTheCurveColours)
{
    MakeGrid(15, 3);
    Build();
    EXPECT_EQ(builder.SeriesCount, 12);
    ASSERT_EQ(model.Series.size(), 12u);
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(model.Series[std::size_t(n)].Colour,
                  platform::ColorRefToQColor(GraphicsSettings.Colours[std::size_t(2 + n)]))
            << n;
    EXPECT_EQ(model.Series[0].Colour, QColor(0, 0, 255)); // curve colour 1 is blue
    EXPECT_EQ(model.Series[11].Colour, QColor(255, 255, 0));
}

TEST_F(ChartBuildTest, StyleZeroIsDrawnAsBarsAndTheOptionsReachTheModel)
{
    builder.SeriesStyle = 0;
    builder.BarLayout = 2;
    builder.BarWidthPercent = 55;
    Build();
    EXPECT_EQ(builder.SeriesStyle, 3);
    EXPECT_EQ(model.Kind, TKind::Bar);
    EXPECT_EQ(model.MultiBar, TMultiBar::Stacked);
    EXPECT_EQ(model.BarWidthPercent, 55);

    builder.Curves[1].LineVisible = false;
    builder.Curves[1].MarkerVisible = true;
    builder.Curves[1].MarkerStyle = 5;
    builder.Curves[2].PenStyle = 2;
    builder.Curves[2].LineWidth = 3;
    builder.SetSeriesStyle(model, 6, sw);
    EXPECT_EQ(model.Kind, TKind::Line);
    EXPECT_TRUE(model.Stairs);
    EXPECT_FALSE(model.Series[1].LineVisible);
    EXPECT_TRUE(model.Series[1].MarkerVisible);
    EXPECT_EQ(model.Series[1].Marker, TMarker::DiagCross);
    EXPECT_EQ(model.Series[2].PenStyle, Qt::DotLine);
    EXPECT_EQ(model.Series[2].LineWidth, 3);
}

TEST_F(ChartBuildTest, LegendShowsForSeveralCurvesWithLabelsOnly)
{
    Build();
    EXPECT_TRUE(model.LegendVisible);
    MakeGrid(1, 4);
    Build();
    EXPECT_FALSE(model.LegendVisible);
    MakeGrid(2, 4);
    sw.Legend1 = sw.Legend2 = false;
    Build();
    EXPECT_FALSE(model.LegendVisible);
}

TEST_F(ChartBuildTest, PieOverLongCurvesTakesTwelvePointsOfTheFirstCurve)
{
    MakeGrid(3, 20);
    builder.SeriesStyle = 7;
    Build();
    EXPECT_EQ(model.Kind, TKind::Pie);
    ASSERT_EQ(model.Slices.size(), 12u);
    EXPECT_DOUBLE_EQ(model.Slices[0].Value, 10.5);
    EXPECT_DOUBLE_EQ(model.Slices[11].Value, 21.5);
    EXPECT_EQ(model.Slices[3].Label, QStringLiteral("04.01.2024"));
    EXPECT_EQ(model.Slices[3].Colour, platform::ColorRefToQColor(GraphicsSettings.Colours[5]));
    EXPECT_TRUE(model.LegendVisible);
    EXPECT_FALSE(model.Walls3D);
}

TEST_F(ChartBuildTest, PieOverShortCurvesTakesOneSlicePerCurveAndCountsNullAndNegativeAsZero)
{
    MakeGrid(5, 3);
    grid.SetCell(4, 2, QString());
    grid.SetCell(5, 2, QStringLiteral("-4"));
    sw.Legend2 = true;
    builder.SeriesStyle = 7;
    Build();
    ASSERT_EQ(model.Slices.size(), 5u);
    EXPECT_EQ(model.Slices[0].Label, QStringLiteral("Wert1 / m3"));
    EXPECT_DOUBLE_EQ(model.Slices[0].Value, 10.5);
    EXPECT_DOUBLE_EQ(model.Slices[1].Value, 0.0);
    EXPECT_DOUBLE_EQ(model.Slices[2].Value, 0.0);
    EXPECT_EQ(model.Slices[4].Colour, QColor(0, 255, 255)); // curve colour 5
}

TEST_F(ChartBuildTest, TitlesShowWithTheSwitchAndATitleText)
{
    memo = QStringList{QStringLiteral("Auswertung"), QString(), QStringLiteral("Gerät 7")};
    chartTitle = QStringLiteral("Tageswerte");
    Build();
    EXPECT_FALSE(model.TitleVisible);
    sw.Titles = true;
    Build();
    EXPECT_TRUE(model.TitleVisible);
    EXPECT_EQ(model.TitleLines,
              (QStringList{QStringLiteral("Auswertung"), QStringLiteral("Gerät 7"), QStringLiteral("Tageswerte")}));
    memo.clear();
    chartTitle.clear();
    Build();
    EXPECT_FALSE(model.TitleVisible);
}

TEST_F(ChartBuildTest, LookTakesTheGraphicsColoursAndFontSizes)
{
    GraphicsSettings.Colours[0] = platform::clYellow;
    GraphicsSettings.Colours[1] = platform::clRed;
    sw.Legend2 = true;
    builder.LabelRotation = 2;
    Build();
    EXPECT_EQ(model.BackColour, QColor(255, 255, 0));
    EXPECT_EQ(model.Left.Colour, QColor(255, 0, 0));
    EXPECT_EQ(model.TitleFont.pointSize(), 13);     // 9 x 1.4 = 12.6
    EXPECT_EQ(model.Left.LabelsFont.pointSize(), 9);
    EXPECT_EQ(model.MarginBottom, 10);              // |9 - 4| x 2 label lines
    EXPECT_EQ(model.Bottom.LabelsAngle, 270);
    EXPECT_EQ(model.Bottom.LabelsSeparation, 1);

    builder.AxesColoured = true;
    builder.SetSeriesStyle(model, 5, sw);
    EXPECT_EQ(model.Left.Colour, QColor(0, 0, 255));
}

TEST_F(ChartBuildTest, UnitSwitchPutsTheFirstCurvesUnitOnTheValueAxis)
{
    Build();
    EXPECT_EQ(model.Left.Title, QString());
    sw.Unit = true;
    Build();
    EXPECT_EQ(model.Left.Title, QStringLiteral("m3"));
}

TEST_F(ChartBuildTest, FixedAxisRangesComeFromTheOptionsAndAnEmptyRangeIsDrawnAutomatically)
{
    builder.LeftAxisAuto = false;
    builder.LeftAxisMin = 5;
    builder.LeftAxisMax = 50;
    Build();
    EXPECT_EQ(model.ViewRange(TAxisId::Left), (TRange{5, 50}));
    builder.LeftAxisMin = 50;
    builder.LeftAxisMax = 50;
    Build();
    const TRange r = model.ViewRange(TAxisId::Left);
    EXPECT_LT(r.Lo, 10.5);
    EXPECT_GT(r.Hi, 33.5);
    // The record keeps its values.
    EXPECT_EQ(model.Left.Minimum, 50);
}

TEST(ChartPrintRectTest, PortraitTakesTheUpperHalfOfTheSheet)
{
    TGraphicsSettings s;
    DefaultGraphicsSettings(s);
    EXPECT_EQ(ChartPrintRect(4800, 6600, s, true), QRect(QPoint(194, 177), QPoint(4410, 3189)));
    EXPECT_EQ(ChartPrintRect(4800, 6600, s, false).bottom(), 6378);
}

TEST(ChartPointLabelsTest, ClearEmptiesAllEntries)
{
    TChartBuilder b;
    b.PointLabels[0] = QStringLiteral("a");
    b.PointLabels[400] = QStringLiteral("b");
    b.ClearPointLabels();
    EXPECT_TRUE(b.PointLabels[0].isEmpty());
    EXPECT_TRUE(b.PointLabels[400].isEmpty());
}
