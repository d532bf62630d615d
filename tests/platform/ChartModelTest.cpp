// The chart model's ranges, zoom and scroll, thinning, and our painters drawn
// onto fixed-size images and probed by pixel; hit testing on the same frames.
#include "platform/ChartModel.h"
#include "platform/ChartPainters.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace chart;

namespace {

TChartModel Bars(int points, int curves, TMultiBar layout = TMultiBar::Side)
{
    TChartModel m;
    m.Kind = TKind::Bar;
    m.MultiBar = layout;
    m.View3D = false;
    const QColor colours[] = {QColor(0, 0, 255), QColor(0, 255, 0), QColor(255, 0, 0)};
    for (int s = 0; s < curves; ++s) {
        TSeries series;
        series.Colour = colours[s % 3];
        for (int i = 0; i < points; ++i)
            series.Add(10.0 * (s + 1));
        m.Series.push_back(series);
    }
    return m;
}

TChartFrame FrameFor(const TChartModel& m, QRectF plot)
{
    TChartFrame f;
    f.Plot = plot;
    f.Horizontal = m.Horizontal();
    f.Key = m.ViewRange(m.KeyAxis());
    f.Value = m.ViewRange(m.ValueAxis());
    f.ZRows = m.ZRows();
    return f;
}

QImage Paint(const TChartModel& m, const TChartFrame& f, QSize size = QSize(400, 300))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintSeries(p, f, m);
    PaintMarkers(p, f, m);
    p.end();
    return image;
}

int Differing(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++n;
    return n;
}

int NonWhite(const QImage& a)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != qRgb(255, 255, 255))
                ++n;
    return n;
}

} // namespace

TEST(ChartModelTest, AutomaticRangesFollowTheStyle)
{
    TChartModel m = Bars(4, 2);
    EXPECT_EQ(m.KeyAutoRange(), (TRange{-0.5, 3.5}));
    const TRange v = m.ValueAutoRange();
    EXPECT_EQ(v.Lo, 0);                 // bars stand on 0
    EXPECT_GE(v.Hi, 20);
    m.MultiBar = TMultiBar::Stacked;
    EXPECT_GE(m.ValueAutoRange().Hi, 30);
    m.Kind = TKind::Line;
    EXPECT_EQ(m.KeyAutoRange(), (TRange{0, 3}));
    EXPECT_GT(m.ValueAutoRange().Lo, 0);
    m.Series.clear();
    EXPECT_EQ(m.ValueAutoRange(), (TRange{0, 1}));
}

TEST(ChartModelTest, ZoomingInAndOutKeepsTheCentreAndUndoReturnsToTheAutomaticRanges)
{
    TChartModel m = Bars(10, 1);
    const TRange bottom = m.ViewRange(TAxisId::Bottom);
    const TRange left = m.ViewRange(TAxisId::Left);
    m.ZoomPercent(110);
    m.ZoomPercent(110);
    const TRange z = m.ViewRange(TAxisId::Bottom);
    EXPECT_NEAR(z.Size(), bottom.Size() / 1.21, 1e-9);
    EXPECT_NEAR((z.Lo + z.Hi) / 2, (bottom.Lo + bottom.Hi) / 2, 1e-9);
    m.ZoomPercent(90);
    m.ZoomPercent(90);
    // Two steps each way do not give back the old ranges by themselves ...
    EXPECT_GT(std::abs(m.ViewRange(TAxisId::Bottom).Size() - bottom.Size()), 1e-6);
    // ... undoing the zoom does.
    m.UndoZoom();
    EXPECT_FALSE(m.Zoomed());
    EXPECT_EQ(m.ViewRange(TAxisId::Bottom), bottom);
    EXPECT_EQ(m.ViewRange(TAxisId::Left), left);
}

TEST(ChartModelTest, ScrollMovesBothAxesOfADirectionByPercentOfTheirRange)
{
    TChartModel m = Bars(10, 1);
    const TRange left = m.ViewRange(TAxisId::Left);
    const TRange right = m.ViewRange(TAxisId::Right);
    const TRange bottom = m.ViewRange(TAxisId::Bottom);
    m.Scroll(false, 10);                 // d = -size/10: both value axes go up
    EXPECT_NEAR(m.ViewRange(TAxisId::Left).Lo, left.Lo + left.Size() / 10, 1e-9);
    EXPECT_NEAR(m.ViewRange(TAxisId::Right).Hi, right.Hi + right.Size() / 10, 1e-9);
    EXPECT_EQ(m.ViewRange(TAxisId::Bottom), bottom);
    m.Scroll(true, -10);
    EXPECT_NEAR(m.ViewRange(TAxisId::Bottom).Lo, bottom.Lo - bottom.Size() / 10, 1e-9);
}

TEST(ChartModelTest, ZoomToARectangleAndPanKeepTheRightAxisInProportion)
{
    TChartModel m = Bars(10, 1);
    m.Right.Visible = true;
    m.Right.Automatic = false;
    m.Right.Minimum = 0;
    m.Right.Maximum = 200;
    const TRange left = m.ViewRange(TAxisId::Left);
    m.ZoomTo({2, 4}, {left.Lo, left.Lo + left.Size() / 2});
    EXPECT_EQ(m.ViewRange(TAxisId::Bottom), (TRange{2, 4}));
    EXPECT_NEAR(m.ViewRange(TAxisId::Right).Hi, 100, 1e-9);
    m.Pan(1, 0);
    EXPECT_EQ(m.ViewRange(TAxisId::Bottom), (TRange{3, 5}));
    // An empty rectangle changes nothing.
    m.ZoomTo({4, 4}, {0, 1});
    EXPECT_EQ(m.ViewRange(TAxisId::Bottom), (TRange{3, 5}));
}

TEST(ChartModelTest, StackedSpansStackPositiveAndNegativeValuesApart)
{
    TChartModel m = Bars(1, 3, TMultiBar::Stacked);
    m.Series[1].Values[0] = -5;
    double base, top;
    m.StackedSpan(2, 0, base, top);
    EXPECT_EQ(base, 10);
    EXPECT_EQ(top, 40);
    m.StackedSpan(1, 0, base, top);
    EXPECT_EQ(base, 0);
    EXPECT_EQ(top, -5);
    m.MultiBar = TMultiBar::Side;
    m.StackedSpan(2, 0, base, top);
    EXPECT_EQ(base, 0);
}

TEST(ChartModelTest, ThinningKeepsFirstMinimumMaximumAndLastOfEachColumn)
{
    std::vector<double> v = {5, 1, 9, 4, 6, 7, NullValue, 3};
    // Four points per pixel column.
    const std::vector<int> kept = ThinIndices(v, 0, 7, 0.0, 0.25);
    EXPECT_EQ(kept, (std::vector<int>{0, 1, 2, 3, 4, 5, 7}));
    // A column of nulls keeps a gap.
    std::vector<double> gap = {1, 2, NullValue, NullValue, 3, 4};
    EXPECT_EQ(ThinIndices(gap, 0, 5, 0.0, 0.5), (std::vector<int>{0, 1, 2, 4, 5}));
    EXPECT_TRUE(ThinIndices(gap, 4, 2, 0.0, 0.5).empty());
}

TEST(ChartPainterTest, BarsStandInTheirSlotsSideBySide)
{
    TChartModel m = Bars(4, 2);
    const TChartFrame f = FrameFor(m, QRectF(0, 0, 400, 300));
    const QImage image = Paint(m, f);
    // Slot 0 spans x 0..100: blue left of the middle, green right of it.
    EXPECT_EQ(image.pixelColor(40, 295), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(60, 295), QColor(0, 255, 0));
    // Outside the bars (the gap between slots) stays white.
    EXPECT_EQ(image.pixelColor(100, 295), QColor(Qt::white));
    // The green bar is twice as high as the blue one.
    const double blueTop = f.ValuePx(10), greenTop = f.ValuePx(20);
    EXPECT_EQ(image.pixelColor(40, int(blueTop) - 3), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(60, int(greenTop) + 3), QColor(0, 255, 0));
}

TEST(ChartPainterTest, ThreeDBarsShowTopAndSideFacesInDarkerShades)
{
    TChartModel m = Bars(4, 1);
    m.View3D = true;
    TChartFrame f = FrameFor(m, QRectF(0, 40, 360, 260));
    f.DepthX = f.DepthY = 20;
    const QImage image = Paint(m, f);
    const QRectF bar = BarRect(f, m, 0, 1);
    EXPECT_EQ(image.pixelColor(int(bar.center().x()), int(bar.center().y())), QColor(0, 0, 255));
    // Top face just above the front, side face just right of it.
    const QColor top = image.pixelColor(int(bar.center().x()) + 5, int(bar.top()) - 5);
    const QColor side = image.pixelColor(int(bar.right()) + 5, int(bar.center().y()));
    EXPECT_LT(top.blue(), 255);
    EXPECT_GT(top.blue(), 100);
    EXPECT_LT(side.blue(), top.blue());
    EXPECT_EQ(top.red(), 0);
}

TEST(ChartPainterTest, ThinnedDenseCurvesLookLikeTheUnthinnedOnes)
{
    // A 65,535-point curve into 400 pixel columns: drawn through our thinning
    // and point by point, the images differ in less than 1 % of their pixels.
    for (TKind kind : {TKind::Bar, TKind::Area}) {
        TChartModel m;
        m.Kind = kind;
        m.View3D = false;
        TSeries s;
        s.Colour = QColor(0, 0, 255);
        const int n = 65535;
        for (int i = 0; i < n; ++i)
            s.Add(50 + 40 * std::sin(i / 900.0) + ((i * 7919) % 13));
        m.Series.push_back(s);
        const TChartFrame f = FrameFor(m, QRectF(0, 0, 400, 300));
        const QImage thinned = Paint(m, f);

        QImage plain(400, 300, QImage::Format_RGB32);
        plain.fill(Qt::white);
        QPainter p(&plain);
        p.setPen(Qt::NoPen);
        p.setBrush(s.Colour);
        const double baseV = kind == TKind::Bar ? 0.0 : f.Value.Lo;
        for (int i = 0; i < n; ++i) {
            // Each point as the column it falls into, down to the base.
            const double x = std::floor(f.KeyPx(i));
            const double y = f.ValuePx(s.Values[std::size_t(i)]);
            p.drawRect(QRectF(x, y, 1, f.ValuePx(baseV) - y));
        }
        p.end();
        const int total = 400 * 300;
        EXPECT_LT(Differing(thinned, plain), total / 100) << int(kind);
        EXPECT_GT(NonWhite(thinned), total / 4) << int(kind);
    }
}

TEST(ChartPainterTest, MarkersHaveTheirShapes)
{
    auto draw = [](TMarker marker) {
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        DrawMarker(p, QPointF(10, 10), marker, 6, QColor(255, 0, 0));
        p.end();
        return image;
    };
    // The cross is an upright plus: its arms lie on the axes, not the diagonals.
    const QImage plus = draw(TMarker::Cross);
    EXPECT_EQ(plus.pixelColor(10, 5).red(), 255);
    EXPECT_EQ(plus.pixelColor(15, 10).red(), 255);
    EXPECT_EQ(plus.pixelColor(14, 14), QColor(Qt::white));
    // The diagonal cross is an x.
    const QImage x = draw(TMarker::DiagCross);
    EXPECT_NE(x.pixelColor(14, 14), QColor(Qt::white));
    EXPECT_EQ(x.pixelColor(10, 5), QColor(Qt::white));
    // A rectangle is filled; a down triangle is filled at the top, not the bottom corners.
    EXPECT_EQ(draw(TMarker::Rectangle).pixelColor(12, 12), QColor(255, 0, 0));
    const QImage down = draw(TMarker::DownTriangle);
    EXPECT_NE(down.pixelColor(6, 6), QColor(Qt::white));
    EXPECT_EQ(down.pixelColor(6, 15), QColor(Qt::white));
    // Nothing draws nothing.
    EXPECT_EQ(NonWhite(draw(TMarker::Nothing)), 0);
}

TEST(ChartPainterTest, LineSamplesOfTheOptionList)
{
    QImage image(60, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    DrawLineSample(p, QRect(0, 0, 60, 10), 3, Qt::black);
    p.end();
    // Width 3 across the middle row (5), from 2 + 3 to 60 - 1 - 2 - 3.
    EXPECT_EQ(image.pixelColor(30, 4), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(30, 5), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(30, 1), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(2, 5), QColor(Qt::white));
    QImage none(60, 10, QImage::Format_RGB32);
    none.fill(Qt::white);
    QPainter q(&none);
    DrawLineSample(q, QRect(0, 0, 60, 10), 0, Qt::black);
    q.end();
    EXPECT_EQ(NonWhite(none), 0);
}

TEST(ChartPainterTest, NullPointsLeaveGapsInAreas)
{
    TChartModel m;
    m.Kind = TKind::Area;
    m.View3D = false;
    TSeries s;
    s.Colour = QColor(0, 0, 255);
    for (int i = 0; i < 9; ++i)
        i == 4 ? s.AddNull() : s.Add(10);
    m.Series.push_back(s);
    const TChartFrame f = FrameFor(m, QRectF(0, 0, 400, 300));
    const QImage image = Paint(m, f);
    EXPECT_EQ(image.pixelColor(int(f.KeyPx(1.5)), 200), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(int(f.KeyPx(4)), 200), QColor(Qt::white));
}

TEST(ChartHitTest, BarsLinesPieAndTheRestOfTheChart)
{
    TChartModel m = Bars(4, 2);
    TChartGeometry g;
    g.Frame = FrameFor(m, QRectF(50, 20, 400, 300));
    g.Title = QRectF(50, 0, 400, 18);
    g.LeftAxis = QRectF(0, 20, 50, 300);
    g.BottomAxis = QRectF(50, 321, 400, 30);
    const QRectF bar = BarRect(g.Frame, m, 1, 2);
    THit hit = HitTest(m, g, bar.center());
    EXPECT_EQ(hit.Part, THitPart::Series);
    EXPECT_EQ(hit.Series, 1);
    EXPECT_EQ(hit.Index, 2);
    EXPECT_EQ(HitTest(m, g, QPointF(100, 10)).Part, THitPart::Title);
    EXPECT_EQ(HitTest(m, g, QPointF(20, 100)).Part, THitPart::LeftAxis);
    EXPECT_EQ(HitTest(m, g, QPointF(200, 330)).Part, THitPart::BottomAxis);
    EXPECT_EQ(HitTest(m, g, QPointF(g.Frame.KeyPx(0.5), 30)).Part, THitPart::Plot);
    EXPECT_EQ(HitTest(m, g, QPointF(600, 600)).Part, THitPart::None);

    m.Kind = TKind::Line;
    g.Frame = FrameFor(m, QRectF(50, 20, 400, 300));
    const QPointF onLine = g.Frame.Point(2.2, 20);
    hit = HitTest(m, g, onLine + QPointF(0, 2));
    EXPECT_EQ(hit.Part, THitPart::Series);
    EXPECT_EQ(hit.Series, 1);
    EXPECT_EQ(hit.Index, 2);

    m.Kind = TKind::Pie;
    m.Slices = {{1, QStringLiteral("a"), Qt::red}, {1, QStringLiteral("b"), Qt::blue}, {2, QStringLiteral("c"), Qt::green}};
    g.Pie = QRectF(100, 100, 200, 200);
    // Counter-clockwise from three o'clock: the first quarter is slice 0,
    // the lower half slice 2.
    hit = HitTest(m, g, QPointF(250, 170));
    EXPECT_EQ(hit.Index, 0);
    EXPECT_EQ(HitTest(m, g, QPointF(200, 280)).Index, 2);
}
