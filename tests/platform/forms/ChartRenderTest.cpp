// The chart view drawn offscreen into fixed-size images for every style, with
// and without the 3-D look, and probed by pixel; its layout's hit test and its
// own mouse zoom and panning.
#include "platform/ChartModel.h"
#include "platform/ChartPainters.h"
#include "platform/forms/ChartView.h"

#include <QApplication>
#include <QFontMetricsF>
#include <cmath>
#include <QBuffer>
#include <QLocale>
#include <QSvgGenerator>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>

using namespace chart;

namespace {

const QColor Blue(0, 0, 255), Green(0, 255, 0), Back(240, 240, 240);

TChartModel SampleModel(TKind kind, bool view3D, int points = 10)
{
    TChartModel m;
    m.Kind = kind;
    m.View3D = view3D;
    m.Walls3D = view3D;
    m.BackColour = Back;
    m.Stairs = false;
    const QColor colours[] = {Blue, Green};
    for (int s = 0; s < 2; ++s) {
        TSeries series;
        series.Colour = colours[s];
        series.Title = QStringLiteral("Kurve %1").arg(s + 1);
        series.LineWidth = 3;
        for (int i = 0; i < points; ++i)
            series.Add(10 + 5 * s + (i % 5) * 3);
        m.Series.push_back(series);
    }
    for (int i = 0; i < points; ++i)
        m.Labels << QStringLiteral("%1.01.\r12:00").arg(i + 1, 2, 10, QLatin1Char('0'));
    m.LegendVisible = true;
    if (kind == TKind::Pie) {
        m.Slices = {{3, QStringLiteral("a"), Blue}, {2, QStringLiteral("b"), Green}, {1, QStringLiteral("c"), Qt::red}};
    }
    return m;
}

QImage Render(const TChartModel& m, QSize size = QSize(800, 600), double scale = 1.0)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    platform::RenderChart(m, p, QRectF(QPointF(0, 0), QSizeF(size)), scale);
    p.end();
    return image;
}

int Count(const QImage& image, const QColor& c, const QRect& area = QRect())
{
    const QRect r = area.isNull() ? image.rect() : area;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixelColor(x, y) == c)
                ++n;
    return n;
}

// Pixels darker than the background but of the curve's hue: 3-D faces.
int CountShaded(const QImage& image, const QColor& c)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (p != c && p.hue() == c.hue() && p.saturation() > 200 && p.value() < c.value() - 30)
                ++n;
        }
    return n;
}

} // namespace

class ChartRenderStyleTest : public ::testing::TestWithParam<TKind> {};

TEST_P(ChartRenderStyleTest, CurvesBackgroundLegendAndDepthShow)
{
    const TKind kind = GetParam();
    int shaded[2] = {0, 0};
    for (bool view3D : {false, true}) {
        const TChartModel m = SampleModel(kind, view3D);
        const QImage image = Render(m);
        EXPECT_GT(Count(image, Back), 800 * 600 / 5) << view3D;
        // Both curves show in their colours (lines of width 3 are at least a
        // few hundred pixels; bars, areas and slices far more).
        EXPECT_GT(Count(image, Blue), 300) << view3D;
        EXPECT_GT(Count(image, Green), 300) << view3D;
        // The legend sits right of the plot with a swatch per curve.
        const QRect legendBand(680, 0, 120, 600);
        EXPECT_GT(Count(image, Blue, legendBand), 20) << view3D;
        EXPECT_GT(Count(image, Green, legendBand), 20) << view3D;
        // (The pie's blue slice lies on the back half, without a rim.)
        shaded[view3D] = CountShaded(image, kind == TKind::Pie ? Green : Blue);
    }
    // The 3-D look shades faces (a line's ribbon keeps its colour but gets
    // depth); flat charts have outlines at most.
    if (kind != TKind::Line) {
        EXPECT_GT(shaded[1], shaded[0] + 1000);
    }
}

INSTANTIATE_TEST_SUITE_P(AllStyles, ChartRenderStyleTest,
                         ::testing::Values(TKind::Bar, TKind::HorizBar, TKind::Area, TKind::Line, TKind::Pie));

TEST(ChartRenderTest, LinesInThreeDBecomeRibbons)
{
    // Level curves: a ribbon is as deep as its row, a flat line 3 pixels.
    TChartModel m = SampleModel(TKind::Line, false);
    for (TSeries& s : m.Series)
        std::fill(s.Values.begin(), s.Values.end(), 10.0 + 5 * (&s - &m.Series[0]));
    const int flat = Count(Render(m), Blue);
    m.View3D = m.Walls3D = true;
    const int ribbon = Count(Render(m), Blue);
    EXPECT_GT(ribbon, 3 * flat);
}

TEST(ChartRenderTest, DenseCurvesDrawAsTheyWouldUnthinned)
{
    TChartModel m = SampleModel(TKind::Bar, true, 65535);
    const QImage image = Render(m);
    EXPECT_GT(Count(image, Blue) + Count(image, Green), 800 * 600 / 10);
}

TEST(ChartRenderTest, ScaledDrawingLaysOutAtScreenSizeAndKeepsTheLook)
{
    const TChartModel m = SampleModel(TKind::Bar, false);
    const QImage small = Render(m, QSize(400, 300));
    const QImage big = Render(m, QSize(800, 600), 2.0);
    // Twice the size at scale 2: about four times the pixels of each colour.
    const double ratio = double(Count(big, Blue)) / Count(small, Blue);
    EXPECT_GT(ratio, 3.4);
    EXPECT_LT(ratio, 4.6);
}

TEST(ChartRenderTest, TitleLinesShowAboveThePlot)
{
    TChartModel m = SampleModel(TKind::Line, false);
    m.TitleVisible = true;
    m.TitleLines = {QStringLiteral("Auswertung"), QStringLiteral("Tageswerte")};
    m.StandardColour = QColor(128, 0, 128);
    m.TitleFont = QFont(QStringLiteral("DejaVu Sans"), 14);
    platform::TChartPlot plot;
    plot.SetModel(&m);
    plot.Rebuild(platform::TChartPlot::TRedraw::None);
    plot.LayoutFor(QSize(800, 600));
    const TChartGeometry g = plot.Geometry();
    ASSERT_FALSE(g.Title.isEmpty());
    EXPECT_LT(g.Title.bottom(), g.Frame.Plot.top());
    const QImage image = Render(m);
    EXPECT_GT(Count(image, m.StandardColour, g.Title.toRect()), 100);
}

TEST(ChartViewTest, HitTestFindsBarsTitleAndAxesWhereTheyWereLaidOut)
{
    TChartModel m = SampleModel(TKind::Bar, false);
    m.TitleVisible = true;
    m.TitleLines = {QStringLiteral("Titel")};
    platform::TChartPlot plot;
    plot.SetModel(&m);
    plot.Rebuild(platform::TChartPlot::TRedraw::None);
    plot.LayoutFor(QSize(800, 600));
    const TChartGeometry g = plot.Geometry();
    const QRectF bar = BarRect(g.Frame, m, 1, 3);
    THit hit = plot.HitTest(bar.center());
    EXPECT_EQ(hit.Part, THitPart::Series);
    EXPECT_EQ(hit.Series, 1);
    EXPECT_EQ(hit.Index, 3);
    EXPECT_EQ(plot.HitTest(g.Title.center()).Part, THitPart::Title);
    EXPECT_EQ(plot.HitTest(QPointF(g.Frame.Plot.left() - 10, g.Frame.Plot.center().y())).Part, THitPart::LeftAxis);
    EXPECT_EQ(plot.HitTest(QPointF(g.Frame.Plot.center().x(), g.Frame.Plot.bottom() + 8)).Part, THitPart::BottomAxis);
    EXPECT_EQ(plot.HitTest(g.Legend.center()).Part, THitPart::Legend);
}

TEST(ChartViewTest, LeftDragZoomsRightDragPansAndADragBackUndoes)
{
    TChartModel m = SampleModel(TKind::Line, false, 100);
    platform::TChartPlot plot;
    plot.resize(800, 600);
    plot.SetModel(&m);
    plot.Rebuild(platform::TChartPlot::TRedraw::Immediate);
    plot.show();
    plot.replot(QCustomPlot::rpImmediateRefresh);
    const TRange bottom = m.ViewRange(TAxisId::Bottom);
    auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), plot.mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&plot, &e);
    };
    const QRectF r = plot.Geometry().Frame.Plot;
    const QPoint a = r.center().toPoint() - QPoint(100, 80), b = r.center().toPoint() + QPoint(100, 80);
    send(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
    ASSERT_TRUE(m.Zoomed());
    const TRange zoomed = m.ViewRange(TAxisId::Bottom);
    EXPECT_LT(zoomed.Size(), bottom.Size() / 2);

    // Right drag to the right moves the view to lower rows.
    send(QEvent::MouseButtonPress, a, Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, a + QPoint(50, 0), Qt::NoButton, Qt::RightButton);
    send(QEvent::MouseButtonRelease, a + QPoint(50, 0), Qt::RightButton, Qt::NoButton);
    EXPECT_LT(m.ViewRange(TAxisId::Bottom).Lo, zoomed.Lo);
    EXPECT_NEAR(m.ViewRange(TAxisId::Bottom).Size(), zoomed.Size(), 1e-9);

    // A left drag towards the upper left undoes the zoom.
    send(QEvent::MouseButtonPress, b, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, a, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, a, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(m.Zoomed());

    // With zooming off (the pie) the drag does nothing.
    plot.ZoomEnabled = false;
    send(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(m.Zoomed());
}

TEST(ChartViewTest, ARowLabelStepKeepsLabelsApart)
{
    TChartModel m = SampleModel(TKind::Line, false, 5000);
    platform::TChartPlot plot;
    plot.SetModel(&m);
    plot.Rebuild(platform::TChartPlot::TRedraw::None);
    plot.LayoutFor(QSize(800, 600));
    const QVector<double> ticks = plot.xAxis->tickVector();
    ASSERT_GE(ticks.size(), 2);
    EXPECT_LT(ticks.size(), 30);
    const QVector<QString> labels = plot.xAxis->tickVectorLabels();
    EXPECT_TRUE(labels[0].contains(QLatin1Char('\n')));   // CR became a line break
    // Turned labels need less room: more of them fit.
    m.Bottom.LabelsAngle = 90;
    m.Bottom.LabelsSeparation = 1;
    plot.LayoutFor(QSize(800, 600));
    EXPECT_GT(plot.xAxis->tickVector().size(), ticks.size());
}

// A title line wider than the chart is drawn in a smaller font that fits: a
// line of 60 bars shows all 60 bars, none cut off at either side.
TEST(ChartRender, ATitleLineWiderThanThePageIsDrawnSmallerToFit)
{
    TChartModel m = SampleModel(TKind::Line, false);
    m.BackColour = Qt::white;
    m.TitleVisible = true;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(14);
    m.TitleFont = font;
    QStringList bars;
    for (int i = 0; i < 60; ++i)
        bars << QStringLiteral("|");
    m.TitleLines = {bars.join(QLatin1Char(' '))};
    QImage image(QSize(900, 600), QImage::Format_RGB32);
    image.fill(QColor(200, 255, 200));
    const QRect target(150, 50, 600, 450);
    {
        QPainter p(&image);
        platform::RenderChart(m, p, QRectF(target), 1.0);
    }
    // Runs of columns with ink in the title's band, above the plot.
    int runs = 0;
    bool inRun = false;
    for (int x = target.left(); x <= target.right(); ++x) {
        bool ink = false;
        for (int y = target.top(); y < target.top() + 40 && !ink; ++y)
            ink = qGray(image.pixel(x, y)) < 160;
        if (ink && !inRun)
            ++runs;
        inRun = ink;
    }
    EXPECT_EQ(runs, 60);

    // A line that fits keeps its font: as many bars, as wide apart as before.
    m.TitleLines = {bars.mid(0, 10).join(QLatin1Char(' '))};
    QImage fits(QSize(900, 600), QImage::Format_RGB32);
    fits.fill(Qt::white);
    {
        QPainter p(&fits);
        platform::RenderChart(m, p, QRectF(target), 1.0);
    }
    int first = -1, last = -1;
    for (int x = target.left(); x <= target.right(); ++x)
        for (int y = target.top(); y < target.top() + 40; ++y)
            if (qGray(fits.pixel(x, y)) < 160) {
                if (first < 0)
                    first = x;
                last = x;
            }
    QFont pixelFont = font;
    pixelFont.setPixelSize(int(std::lround(14 * 96.0 / 72.0)));
    const double full = QFontMetricsF(pixelFont).horizontalAdvance(m.TitleLines.front());
    EXPECT_NEAR(last - first, full, full * 0.1);
}

// Value marks show up to three decimals: 1234.5678 reads 1234.568, and
// trailing zeros go (2.5, 10).
TEST(ChartRender, ValueMarksShowThreeDecimals)
{
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    TChartModel m;
    m.Kind = TKind::Bar;
    m.View3D = false;
    m.Walls3D = false;
    TSeries s;
    s.MarksVisible = true;
    s.Values = {1234.5678, 2.5, 10, 0.0421};
    m.Series.push_back(s);
    m.Labels = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(800, 600));
        svg.setViewBox(QRect(0, 0, 800, 600));
        QPainter p(&svg);
        platform::RenderChart(m, p, QRectF(0, 0, 800, 600), 1.0);
    }
    QLocale::setDefault(saved);
    const QString text = QString::fromUtf8(buffer.data());
    EXPECT_TRUE(text.contains(QStringLiteral(">1234.568<"))) << "no three-decimal mark";
    EXPECT_TRUE(text.contains(QStringLiteral(">0.042<")));
    EXPECT_TRUE(text.contains(QStringLiteral(">2.5<")));
    EXPECT_TRUE(text.contains(QStringLiteral(">10<")));
    EXPECT_FALSE(text.contains(QStringLiteral(">1234.57<")));
}
