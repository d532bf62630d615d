// The chart measured: 12 curves of 65,535 points on a 1,600 x 600 chart,
// redrawn after a zoom step, a pan step and a window resize, as lines and as
// 3-D bars; the chart window charting a grid of 12 columns of 65,535 rows,
// parsing and first drawing included; and how far thinning changes the look.
// A table of the figures beside their goals ends the run.
#include "output/forms/ZT_Chart.h"
#include "platform/ChartModel.h"
#include "platform/ChartPainters.h"
#include "platform/StringGrid.h"
#include "platform/forms/ChartView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int Curves = 12;
constexpr int Points = 65535;
const QSize ChartPixels(1600, 600);

double Value(int curve, int i)
{
    return 100 * curve + 40 * std::sin(i / (300.0 + 20 * curve)) + ((i * 7919) % 17);
}

chart::TChartModel& SharedModel()
{
    static chart::TChartModel model = [] {
        chart::TChartModel m;
        for (int c = 0; c < Curves; ++c) {
            chart::TSeries s;
            s.Colour = QColor::fromHsv(c * 30, 255, 220);
            s.Title = QStringLiteral("Wert %1").arg(c + 1);
            s.Values.reserve(Points);
            for (int i = 0; i < Points; ++i)
                s.Add(Value(c, i));
            m.Series.push_back(std::move(s));
        }
        m.Labels.reserve(Points);
        for (int i = 0; i < Points; ++i)
            m.Labels << QStringLiteral("%1.%2.2024\r%3:%4")
                            .arg(1 + (i / 96) % 28, 2, 10, QLatin1Char('0'))
                            .arg(1 + i / 2688, 2, 10, QLatin1Char('0'))
                            .arg((i / 4) % 24, 2, 10, QLatin1Char('0'))
                            .arg(15 * (i % 4), 2, 10, QLatin1Char('0'));
        m.LegendVisible = true;
        return m;
    }();
    return model;
}

// A shown chart of the model in the style asked for.
struct LiveChart {
    explicit LiveChart(bool bars3D)
    {
        chart::TChartModel& m = SharedModel();
        m.UndoZoom();
        m.Kind = bars3D ? chart::TKind::Bar : chart::TKind::Line;
        m.View3D = m.Walls3D = bars3D;
        plot.resize(ChartPixels);
        plot.SetModel(&m);
        plot.show();
        plot.Rebuild(platform::TChartPlot::TRedraw::Immediate);
    }
    ~LiveChart() { SharedModel().UndoZoom(); }
    platform::TChartPlot plot;
};

void Redraw(platform::TChartPlot& plot)
{
    plot.Refresh(platform::TChartPlot::TRedraw::Immediate);
}

void ZoomStep(benchmark::State& st, bool bars3D)
{
    LiveChart live(bars3D);
    bool in = true;
    for (auto _ : st) {
        SharedModel().ZoomPercent(in ? 110 : 100.0 / 1.1);
        in = !in;
        Redraw(live.plot);
    }
}

void PanStep(benchmark::State& st, bool bars3D)
{
    LiveChart live(bars3D);
    int k = 0;
    for (auto _ : st) {
        SharedModel().Scroll(true, (k++ % 2) ? 10 : -10);
        Redraw(live.plot);
    }
}

void ResizeStep(benchmark::State& st, bool bars3D)
{
    LiveChart live(bars3D);
    bool wide = false;
    for (auto _ : st) {
        wide = !wide;
        // The plot redraws itself when the resize reaches it.
        live.plot.resize(wide ? QSize(1640, 620) : ChartPixels);
        QCoreApplication::sendPostedEvents(&live.plot);
        live.plot.repaint();
    }
}

void BM_Lines_ZoomStep(benchmark::State& st) { ZoomStep(st, false); }
void BM_Lines_PanStep(benchmark::State& st) { PanStep(st, false); }
void BM_Lines_Resize(benchmark::State& st) { ResizeStep(st, false); }
void BM_Bars3D_ZoomStep(benchmark::State& st) { ZoomStep(st, true); }
void BM_Bars3D_PanStep(benchmark::State& st) { PanStep(st, true); }
void BM_Bars3D_Resize(benchmark::State& st) { ResizeStep(st, true); }
BENCHMARK(BM_Lines_ZoomStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lines_PanStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lines_Resize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bars3D_ZoomStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bars3D_PanStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bars3D_Resize)->Unit(benchmark::kMillisecond);

// Drawing the lines into an image off screen (a copy or a preview page).
void BM_Lines_RenderToImage(benchmark::State& st)
{
    chart::TChartModel& m = SharedModel();
    m.UndoZoom();
    m.Kind = chart::TKind::Line;
    m.View3D = m.Walls3D = false;
    QImage image(ChartPixels, QImage::Format_RGB32);
    for (auto _ : st) {
        image.fill(Qt::white);
        QPainter p(&image);
        platform::RenderChart(m, p, QRectF(QPointF(0, 0), QSizeF(ChartPixels)));
    }
}
BENCHMARK(BM_Lines_RenderToImage)->Unit(benchmark::kMillisecond);

// The table window's grid: date and time, then 12 value columns.
platform::TStringGridModel& SharedGrid()
{
    static platform::TStringGridModel grid;
    static bool made = false;
    if (!made) {
        made = true;
        grid.SetColCount(3 + Curves);
        // One header row: the grid holds at most 65,536 rows.
        grid.SetRowCount(1 + Points);
        grid.SetFixedCols(3);
        grid.SetFixedRows(1);
        grid.SetColWidth(0, 0);
        grid.BeginUpdate();
        for (int c = 0; c < Curves; ++c) {
            grid.SetCell(3 + c, 0, QStringLiteral("Wert%1").arg(c + 1));
        }
        for (int r = 0; r < Points; ++r) {
            grid.SetCell(1, 1 + r, QStringLiteral("01.01.2024"));
            grid.SetCell(2, 1 + r, QStringLiteral("12:00"));
            for (int c = 0; c < Curves; ++c)
                grid.SetCell(3 + c, 1 + r, QString::number(Value(c, r), 'f', 3).replace(QLatin1Char('.'), QLatin1Char(',')));
        }
        grid.EndUpdate();
        grid.SetSelection(platform::TGridRect{3, 1, 2 + Curves, Points});
    }
    return grid;
}

void BM_ShowChartForGrid(benchmark::State& st)
{
    platform::TStringGridModel& grid = SharedGrid();
    TZT_Chart window;
    QWidget holder;
    holder.resize(ChartPixels);
    auto* layout = new QVBoxLayout(&holder);
    layout->setContentsMargins(0, 0, 0, 0);
    window.Diagramm->setParent(&holder);
    layout->addWidget(window.Diagramm);
    holder.show();
    // As the main window has it for "Grafik": bars in 3-D.
    for (auto _ : st) {
        window.ShowChartForGrid(grid);
        window.Diagramm->replot(QCustomPlot::rpImmediateRefresh);
    }
    window.Diagramm->setParent(&window);
}
BENCHMARK(BM_ShowChartForGrid)->Unit(benchmark::kMillisecond);

// Pixels that differ between a 65,535-point curve drawn thinned and drawn
// point by point into the same 1,600 x 600 image (bars and areas).
double ThinningDifference(chart::TKind kind)
{
    chart::TChartModel m;
    m.Kind = kind;
    m.View3D = false;
    chart::TSeries s;
    s.Colour = QColor(0, 0, 255);
    for (int i = 0; i < Points; ++i)
        s.Add(Value(0, i) + 60);
    m.Series.push_back(s);
    chart::TChartFrame f;
    f.Plot = QRectF(QPointF(0, 0), QSizeF(ChartPixels));
    f.Key = m.ViewRange(m.KeyAxis());
    f.Value = m.ViewRange(m.ValueAxis());
    QImage thinned(ChartPixels, QImage::Format_RGB32), plain(ChartPixels, QImage::Format_RGB32);
    thinned.fill(Qt::white);
    plain.fill(Qt::white);
    {
        QPainter p(&thinned);
        chart::PaintSeries(p, f, m);
    }
    {
        QPainter p(&plain);
        p.setPen(Qt::NoPen);
        p.setBrush(s.Colour);
        const double base = kind == chart::TKind::Bar ? 0.0 : f.Value.Lo;
        for (int i = 0; i < Points; ++i) {
            const double y = f.ValuePx(s.Values[std::size_t(i)]);
            p.drawRect(QRectF(std::floor(f.KeyPx(i)), y, 1, f.ValuePx(base) - y));
        }
    }
    long differing = 0;
    for (int y = 0; y < thinned.height(); ++y)
        for (int x = 0; x < thinned.width(); ++x)
            differing += thinned.pixel(x, y) != plain.pixel(x, y);
    return 100.0 * double(differing) / double(thinned.width() * thinned.height());
}


class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0)
                seconds[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

void PrintSummary(const CollectingReporter& reporter)
{
    std::printf("\n%-60s %12s  %-10s %s\n", "Chart (12 x 65,535 points, 1,600 x 600)", "figure", "goal", "");
    std::printf("%s\n", std::string(92, '-').c_str());
    const auto& s = reporter.seconds;
    auto line = [&s](const char* name, const char* text, double goalMs) {
        if (!s.count(name))
            return;
        const double ms = s.at(name) * 1e3;
        char figure[32], goal[32];
        std::snprintf(figure, sizeof figure, "%.1f ms", ms);
        std::snprintf(goal, sizeof goal, "< %.0f ms", goalMs);
        std::printf("%-60s %12s  %-10s %s\n", text, figure, goal, ms < goalMs ? "met" : "NOT MET");
    };
    line("BM_Lines_ZoomStep", "Lines: redraw after a zoom step", 30);
    line("BM_Lines_PanStep", "Lines: redraw after a pan step", 30);
    line("BM_Lines_Resize", "Lines: redraw after a window resize", 30);
    line("BM_Bars3D_ZoomStep", "3-D bars: redraw after a zoom step", 100);
    line("BM_Bars3D_PanStep", "3-D bars: redraw after a pan step", 100);
    line("BM_Bars3D_Resize", "3-D bars: redraw after a window resize", 100);
    line("BM_ShowChartForGrid", "ShowChartForGrid, 12 columns x 65,535 rows, first drawing", 500);
    if (s.count("BM_Lines_RenderToImage")) {
        std::printf("%-60s %9.1f ms  %-10s %s\n", "Lines drawn into an image (copy, preview)",
                    s.at("BM_Lines_RenderToImage") * 1e3, "", "");
    }
    for (auto [kind, text] : {std::pair{chart::TKind::Bar, "Thinning: bars differ from unthinned in"},
                              std::pair{chart::TKind::Area, "Thinning: areas differ from unthinned in"}}) {
        const double percent = ThinningDifference(kind);
        char figure[32];
        std::snprintf(figure, sizeof figure, "%.2f %%", percent);
        std::printf("%-60s %12s  %-10s %s\n", text, figure, "< 1 %", percent < 1.0 ? "met" : "NOT MET");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
