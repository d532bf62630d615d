// The metafile device measured: a long polyline, and a chart of twelve curves
// drawn by QCustomPlot as the chart window saves or copies it, beside the same
// chart drawn into an image. A table of the figures beside their goals ends
// the run.
#include "platform/WindowsMetafile.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

void BM_MetafileLongPolyline(benchmark::State& st)
{
    QPolygonF line;
    for (int i = 0; i < 70000; ++i)
        line << QPointF(i * 800.0 / 70000, 300 + 250 * std::sin(i / 900.0));
    for (auto _ : st) {
        platform::WindowsMetafile metafile(QSize(800, 600));
        {
            QPainter p(&metafile);
            p.setPen(QPen(Qt::blue, 1));
            p.drawPolyline(line);
        }
        benchmark::DoNotOptimize(metafile.bytes());
    }
}
BENCHMARK(BM_MetafileLongPolyline)->Unit(benchmark::kMillisecond);

std::unique_ptr<QCustomPlot> TwelveCurves()
{
    auto plot = std::make_unique<QCustomPlot>();
    plot->resize(800, 600);
    for (int c = 0; c < 12; ++c) {
        QCPGraph* g = plot->addGraph();
        g->setPen(QPen(QColor::fromHsv(c * 30, 255, 200), 1));
        QVector<double> x, y;
        for (int i = 0; i < 2000; ++i) {
            x << i;
            y << 100 * c + 40 * std::sin(i / (30.0 + c));
        }
        g->setData(x, y);
    }
    plot->xAxis->setRange(0, 1999);
    plot->yAxis->setRange(-50, 1200);
    plot->yAxis->setLabel(QStringLiteral("Zählerstand"));
    return plot;
}

void BM_MetafileChartTwelveCurves(benchmark::State& st)
{
    auto plot = TwelveCurves();
    for (auto _ : st) {
        platform::WindowsMetafile metafile(QSize(800, 600));
        {
            QCPPainter p(&metafile);
            plot->toPainter(&p, 800, 600);
        }
        benchmark::DoNotOptimize(metafile.bytes());
    }
}
BENCHMARK(BM_MetafileChartTwelveCurves)->Unit(benchmark::kMillisecond);

void BM_Baseline_ImageChartTwelveCurves(benchmark::State& st)
{
    auto plot = TwelveCurves();
    for (auto _ : st) {
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QCPPainter p(&image);
            plot->toPainter(&p, 800, 600);
        }
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_Baseline_ImageChartTwelveCurves)->Unit(benchmark::kMillisecond);

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
    std::printf("\n%-52s %12s %12s  %-10s %s\n", "Windows metafile", "figure", "baseline", "goal", "");
    std::printf("%s\n", std::string(96, '-').c_str());
    const auto& s = reporter.seconds;
    auto ms = [](double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f ms", v * 1e3);
        return std::string(buf);
    };
    if (s.count("BM_MetafileLongPolyline")) {
        const double v = s.at("BM_MetafileLongPolyline");
        std::printf("%-52s %12s %12s  %-10s %s\n", "70,000-point polyline written", ms(v).c_str(), "", "< 20 ms",
                    v < 0.020 ? "met" : "NOT MET");
    }
    if (s.count("BM_MetafileChartTwelveCurves")) {
        const double v = s.at("BM_MetafileChartTwelveCurves");
        const std::string base = s.count("BM_Baseline_ImageChartTwelveCurves")
                                     ? ms(s.at("BM_Baseline_ImageChartTwelveCurves")) : std::string();
        std::printf("%-52s %12s %12s  %-10s %s\n", "Chart of 12 x 2,000 points, 800 x 600", ms(v).c_str(),
                    base.c_str(), "< 100 ms", v < 0.100 ? "met" : "NOT MET");
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
