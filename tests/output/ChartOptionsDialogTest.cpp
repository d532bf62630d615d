#include "output/ChartOptionsDialog.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace chartoptions;

TEST(ChartOptionsDialog, DottedLineOfWidthThreeLoadsAsDotAndStoresWidthOne)
{
    TChartOptions o;
    o.Curves[4].PenStyle = 2;
    o.Curves[4].LineWidth = 3;
    const TDialogState s = LoadDialogState(o);
    EXPECT_EQ(s.LineEntry[4], 5);
    StoreDialogState(s, o);
    EXPECT_TRUE(o.Curves[4].LineVisible);
    EXPECT_EQ(o.Curves[4].PenStyle, 2);
    EXPECT_EQ(o.Curves[4].LineWidth, 1);
}

TEST(ChartOptionsDialog, HiddenLineWithMarkerStoresBackUnchanged)
{
    TChartOptions o;
    TCurveStyle& c = o.Curves[0];
    c.LineVisible = false;
    c.PenStyle = 3;
    c.LineWidth = 2;
    c.MarkerVisible = true;
    c.MarkerStyle = 2;
    const TCurveStyle before = c;
    const TDialogState s = LoadDialogState(o);
    EXPECT_EQ(s.LineEntry[0], 0);
    EXPECT_EQ(s.MarkerEntry[0], 3);
    StoreDialogState(s, o);
    EXPECT_EQ(c.LineVisible, before.LineVisible);
    EXPECT_EQ(c.PenStyle, before.PenStyle);
    EXPECT_EQ(c.LineWidth, before.LineWidth);
    EXPECT_EQ(c.MarkerVisible, before.MarkerVisible);
    EXPECT_EQ(c.MarkerStyle, before.MarkerStyle);
}

TEST(ChartOptionsDialog, LineEntriesOfEveryStyle)
{
    TCurveStyle c;
    for (int entry = 1; entry < LineEntryCount; ++entry) {
        StoreLineEntry(c, entry);
        EXPECT_EQ(LineEntryOf(c), entry) << "entry " << entry;
    }
    // Styles and widths the list has no entry for show no line.
    c.PenStyle = 5;
    EXPECT_EQ(LineEntryOf(c), 0);
    c.PenStyle = 0;
    c.LineWidth = 4;
    EXPECT_EQ(LineEntryOf(c), 0);
    c.LineWidth = 0;
    EXPECT_EQ(LineEntryOf(c), 0);
    // No marker keeps the style for later.
    c.MarkerStyle = 6;
    StoreMarkerEntry(c, 0);
    EXPECT_FALSE(c.MarkerVisible);
    EXPECT_EQ(c.MarkerStyle, 6);
    StoreMarkerEntry(c, 8);
    EXPECT_TRUE(c.MarkerVisible);
    EXPECT_EQ(c.MarkerStyle, 7);
}

TEST(ChartOptionsDialog, BarGapIsTheRestOfTheWidth)
{
    TChartOptions o;
    EXPECT_EQ(o.BarWidthPercent, 70);
    TDialogState s = LoadDialogState(o);
    EXPECT_EQ(s.Gap, 30);
    EXPECT_EQ(GapText(s.Gap), QStringLiteral("30 %"));
    s.Gap = 90;
    StoreDialogState(s, o);
    EXPECT_EQ(o.BarWidthPercent, 10);
    // A width the track bar cannot show comes back as its nearest end.
    o.BarWidthPercent = 5;
    EXPECT_EQ(LoadDialogState(o).Gap, 90);
}

TEST(ChartOptionsDialog, LayoutFlagsAndAxesGoBothWays)
{
    TChartOptions o;
    o.BarLayout = 7;   // unknown: side by side
    o.Flags = ChartFlagUnitOnAxis | ChartFlagPrintLandscape;
    o.AxisFlags = AxisFlagThirdAxis;
    o.LeftAxisAuto = false;
    o.LeftAxisMin = -5.5;
    o.RightAxisMax = 77;
    TDialogState s = LoadDialogState(o);
    EXPECT_TRUE(s.SideBySide);
    EXPECT_FALSE(s.Behind || s.Stacked);
    EXPECT_TRUE(s.PrintLandscape);
    EXPECT_FALSE(s.AxesColoured);
    EXPECT_FALSE(s.Axis2);
    EXPECT_TRUE(s.Axis3);
    EXPECT_FALSE(s.LeftAuto);
    EXPECT_EQ(s.LeftMin, -5.5);
    EXPECT_EQ(s.RightMax, 77);
    s.SideBySide = false;
    s.Stacked = true;
    s.PrintLandscape = false;
    s.AxesColoured = true;
    s.Axis2 = true;
    StoreDialogState(s, o);
    EXPECT_EQ(o.BarLayout, 2);
    // Bit 0 belongs to the chart window's switch and stays.
    EXPECT_EQ(o.Flags, ChartFlagUnitOnAxis | ChartFlagAxesLikeSeries);
    EXPECT_EQ(o.AxisFlags, AxisFlagSecondAxis | AxisFlagThirdAxis);
    s.Stacked = false;
    s.Behind = true;
    StoreDialogState(s, o);
    EXPECT_EQ(o.BarLayout, 0);
}

TEST(ChartOptionsDialog, DemoClicksPickTheirColourWithItsTitle)
{
    const QString farbe = QStringLiteral("Farbe");
    const QString axes = QStringLiteral("Titel- und Achsen-Farbe");
    const QString back = QStringLiteral("Hintergrund-Farbe");
    TColourPick p = ColourPickFor(TDemoPart::Bar, 2, farbe, axes, back);
    EXPECT_EQ(p.ColourIndex, 4);
    EXPECT_EQ(p.Title, QStringLiteral("Farbe 3"));
    p = ColourPickFor(TDemoPart::Bar, 11, farbe, axes, back);
    EXPECT_EQ(p.ColourIndex, 13);
    EXPECT_EQ(p.Title, QStringLiteral("Farbe 12"));
    for (TDemoPart part : {TDemoPart::Title, TDemoPart::LeftAxis, TDemoPart::BottomAxis}) {
        p = ColourPickFor(part, -1, farbe, axes, back);
        EXPECT_EQ(p.ColourIndex, ColourStandard);
        EXPECT_EQ(p.Title, axes);
    }
    p = ColourPickFor(TDemoPart::Other, -1, farbe, axes, back);
    EXPECT_EQ(p.ColourIndex, ColourBackground);
    EXPECT_EQ(p.Title, back);
    EXPECT_EQ(ColourPickFor(TDemoPart::Other, -1, farbe, axes, QString(200, 'x')).Title.size(), 128);
    EXPECT_EQ(DemoLabel(0), QStringLiteral("01"));
    EXPECT_EQ(DemoLabel(11), QStringLiteral("12"));
}

TEST(ChartOptionsDialog, LineEntryIsDrawnThroughTheMiddleInsetByItsWidth)
{
    QImage image(60, 16, QImage::Format_RGB32);
    auto draw = [&](int entry, bool selected) {
        image.fill(selected ? Qt::blue : Qt::white);
        QPainter p(&image);
        DrawLineEntry(p, QRect(0, 0, 60, 16), entry, selected);
    };
    draw(3, false);
    // Width 3 centred on row 8, from 2 + 3 to 60 - 2 - 3.
    EXPECT_EQ(image.pixel(30, 8), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 7), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 11), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(5, 8), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(3, 8), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(56, 8), qRgb(255, 255, 255));
    draw(1, true);
    EXPECT_EQ(image.pixel(30, 8), qRgb(255, 255, 255));
    draw(0, false);
    for (int x = 0; x < 60; ++x)
        ASSERT_EQ(image.pixel(x, 8), qRgb(255, 255, 255));
}

TEST(ChartOptionsDialog, MarkerEntryIsThreeShapesFromTheTopLeftCorner)
{
    struct Call {
        QPointF centre;
        int style;
        double half;
        QColor colour;
    };
    std::vector<Call> calls;
    const TDrawMarkerShape shape = [&](QPainter&, QPointF c, int style, double half, const QColor& colour) {
        calls.push_back({c, style, half, colour});
    };
    QImage image(80, 16, QImage::Format_RGB32);
    QPainter p(&image);
    DrawMarkerEntry(p, QRect(10, 20, 74, 16), 3, false, shape);
    ASSERT_EQ(calls.size(), 3u);
    for (const Call& c : calls) {
        EXPECT_EQ(c.style, 2);                  // entry 3 is the triangle, style 2
        EXPECT_EQ(c.colour, QColor(Qt::black));
        EXPECT_EQ(c.centre.y(), 22 + c.half);   // 2 pixels below the top
    }
    EXPECT_EQ(calls[0].centre.x() - calls[0].half, 12);   // 2 pixels right of the left edge
    EXPECT_GT(calls[1].centre.x() - calls[1].half, calls[0].centre.x() + calls[0].half);   // a blank between
    EXPECT_LE(calls[2].centre.x() + calls[2].half, 84);
    calls.clear();
    DrawMarkerEntry(p, QRect(0, 0, 74, 16), 8, true, shape);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].style, 7);
    EXPECT_EQ(calls[0].colour, QColor(Qt::white));
    calls.clear();
    DrawMarkerEntry(p, QRect(0, 0, 74, 16), 0, false, shape);
    EXPECT_TRUE(calls.empty());
}
