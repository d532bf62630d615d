// Table printing measured on the largest table, 65,535 rows of 20 columns:
// the whole table printed to PDF at 600 dpi (time, memory held beyond the
// state before the job, the longest stretch without letting messages through),
// preview page 1,000 drawn onto a preview image, and the CSV file written.
// A summary of the figures beside the goals follows the usual output.
#include "evaluation/TablePrintSetup.h"
#include "evaluation/TableOutputParams.h"
#include "output/GraphicsSettings.h"
#include "output/ZT_TabDruck.h"
#include "platform/MessagePump.h"
#include "platform/Printer.h"
#include "platform/PrintCanvas.h"
#include "platform/StringGrid.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int TableRows = 65535;
constexpr int TableCols = 20;

std::unique_ptr<platform::TStringGridModel> MakeTable()
{
    auto grid = std::make_unique<platform::TStringGridModel>();
    grid->SetRowCount(TableRows);
    grid->SetColCount(TableCols);
    grid->SetFixedRows(1);
    grid->SetFixedCols(1);
    grid->SetColWidth(0, 120);
    grid->SetCell(0, 0, QStringLiteral("Zeit"));
    for (int c = 1; c < TableCols; ++c) {
        grid->SetColWidth(c, 64);
        grid->SetCell(c, 0, QStringLiteral("Kanal %1").arg(c));
    }
    for (int r = 1; r < TableRows; ++r) {
        const int minutes = r * 15;
        grid->SetCell(0, r, QStringLiteral("%1.%2.2026 %3:%4")
                                .arg(1 + (minutes / 1440) % 28, 2, 10, QLatin1Char('0'))
                                .arg(1 + (minutes / 40320) % 12, 2, 10, QLatin1Char('0'))
                                .arg((minutes / 60) % 24, 2, 10, QLatin1Char('0'))
                                .arg(minutes % 60, 2, 10, QLatin1Char('0')));
        for (int c = 1; c < TableCols; ++c)
            grid->SetCell(c, r, QString::number((r * 37 + c * 101) % 100000 / 10.0, 'f', 1));
    }
    grid->NotifyChanged();
    return grid;
}

platform::TStringGridModel& Table()
{
    static std::unique_ptr<platform::TStringGridModel> grid = MakeTable();
    return *grid;
}

TTablePrintContent Content()
{
    TTablePrintContent c;
    c.MemoLines = {QStringLiteral("Zähler 4711, Auswertung 2026"), QStringLiteral("Messstelle Nord")};
    c.EvaluationLabel = QStringLiteral("Viertelstundenwerte");
    c.Grid = &Table();
    c.GridFont = QFont(QStringLiteral("DejaVu Sans Mono"));
    c.GridFont.setPointSize(9);
    return c;
}

long ResidentBytes()
{
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    long size = 0, resident = 0;
    if (std::fscanf(f, "%ld %ld", &size, &resident) != 2)
        resident = 0;
    std::fclose(f);
    return resident * sysconf(_SC_PAGESIZE);
}

std::map<std::string, double> g_figures;

void BM_PrintTableToPdf(benchmark::State& state)
{
    Table();
    QTemporaryDir dir;
    TTableOutputParams params;
    DefaultTableOutputParams(params);
    for (auto _ : state) {
        const QString file = dir.filePath(QStringLiteral("table.pdf"));
        platform::TPdfCanvas pdf(file, 600);
        TZT_TabDruck druck;
        CopyJobFieldsToComponent(params, druck);
        druck.AusgabeGeraet = AG_Drucker;
        druck.Canvas = &pdf;
        druck.Breite = pdf.PageWidth();
        druck.Hoehe = pdf.PageHeight();
        PrepareTablePrintComponent(druck, params, Content(), false, 0, 0);

        // The longest stretch without messages let through, and the memory
        // held while the job runs, sampled at every pump.
        auto& pump = platform::MessagePump::Default();
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        const long before = ResidentBytes();
        long peak = before;
        pump.Restart();
        pump.SetAction([&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - last);
            last = now;
            peak = std::max(peak, ResidentBytes());
        });
        clock.start();
        const bool ok = druck.PrintTable();
        const qint64 total = clock.elapsed();
        longest = std::max(longest, total - last);
        pump.SetAction({});
        peak = std::max(peak, ResidentBytes());
        if (!ok)
            state.SkipWithError("PrintTable failed");
        g_figures["pdf_s"] = total / 1000.0;
        g_figures["pdf_pages"] = druck.PageCount();
        g_figures["pdf_gap_ms"] = double(longest);
        g_figures["pdf_mb"] = double(peak - before) / (1024.0 * 1024.0);
        g_figures["pdf_file_mb"] = QFileInfo(file).size() / (1024.0 * 1024.0);
        g_figures["pdf_columns"] = druck.Layout().ColumnCount();
    }
}
BENCHMARK(BM_PrintTableToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PreviewPage1000(benchmark::State& state)
{
    Table();
    TTableOutputParams params;
    DefaultTableOutputParams(params);
    // A page-width preview on a screen 1,280 pixels wide.
    const int imageW = 1264;
    const int imageH = 1788;
    TZT_TabDruck druck;
    int32_t page = 1000;
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        platform::TImageCanvas canvas(imageW, imageH);
        canvas.BeginDoc(QString());
        // The printer's page (PDF, A4 at 600 dpi) drawn scaled onto the image.
        platform::TPrinterService& printer = platform::Printer();
        platform::TScaledPageCanvas pageCanvas(printer.Canvas(), &canvas, printer.PageWidth(), printer.PageHeight());
        CopyJobFieldsToComponent(params, druck);
        druck.AusgabeGeraet = AG_Vorschau;
        druck.Canvas = &pageCanvas;
        druck.Breite = printer.PageWidth();
        druck.Hoehe = printer.PageHeight();
        druck.Druck_Bereich = db_Seitenzahlen;
        druck.Von_Seite = druck.Bis_Seite = page;
        PrepareTablePrintComponent(druck, params, Content(), false, 0, 0);
        druck.PrintTable();
        druck.Canvas = nullptr;
        benchmark::DoNotOptimize(canvas.Image().constBits());
        worst = std::max(worst, clock.nsecsElapsed() / 1e6);
        page = std::min<int32_t>(1000, druck.PageCount());
    }
    g_figures["preview_ms"] = worst;
    g_figures["preview_pages"] = druck.PageCount();
    g_figures["preview_page"] = page;
}
BENCHMARK(BM_PreviewPage1000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WriteCsv(benchmark::State& state)
{
    Table();
    QTemporaryDir dir;
    TTableOutputParams params;
    DefaultTableOutputParams(params);
    TrimCellsInFile = true;
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        TZT_TabDruck druck;
        CopyJobFieldsToComponent(params, druck);
        druck.AusgabeGeraet = AG_Drucker;
        druck.DruckInDatei = true;
        druck.DruckDateiName = dir.filePath(QStringLiteral("TABELLE.CSV"));
        PrepareTablePrintComponent(druck, params, Content(), false, 0, 0);
        if (!druck.PrintTable())
            state.SkipWithError("PrintTable failed");
        worst = std::max(worst, clock.nsecsElapsed() / 1e6);
        g_figures["csv_mb"] = QFileInfo(druck.DruckDateiName).size() / (1024.0 * 1024.0);
    }
    g_figures["csv_ms"] = worst;
}
BENCHMARK(BM_WriteCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void PrintSummary()
{
    auto has = [](const char* k) { return g_figures.count(k) > 0; };
    auto line = [](const std::string& what, const std::string& figure, const std::string& goal, bool met) {
        std::printf("%-52s %14s   goal %-10s %s\n", what.c_str(), figure.c_str(), goal.c_str(), met ? "met" : "NOT MET");
    };
    auto fmt = [](const char* f, double v) {
        char b[64];
        std::snprintf(b, sizeof b, f, v);
        return std::string(b);
    };
    std::printf("\nTable printing, 65,535 rows x 20 columns (one core)\n");
    if (has("pdf_s")) {
        std::printf("  PDF: %.0f pages, %.0f columns fit the page, file %.1f MB\n", g_figures["pdf_pages"],
                    g_figures["pdf_columns"], g_figures["pdf_file_mb"]);
        line("Printed to PDF", fmt("%.2f s", g_figures["pdf_s"]), "< 15 s", g_figures["pdf_s"] < 15);
        line("Memory held beyond the state before the job", fmt("%.0f MB", g_figures["pdf_mb"]), "< 200 MB",
             g_figures["pdf_mb"] < 200);
        line("Longest stretch without messages let through", fmt("%.0f ms", g_figures["pdf_gap_ms"]), "<= 50 ms",
             g_figures["pdf_gap_ms"] <= 50);
    }
    if (has("preview_ms")) {
        std::printf("  Preview: %.0f pages\n", g_figures["preview_pages"]);
        line(fmt("Preview page %.0f drawn (slowest of 5)", g_figures["preview_page"]),
             fmt("%.1f ms", g_figures["preview_ms"]), "< 200 ms", g_figures["preview_ms"] < 200);
    }
    if (has("csv_ms"))
        line(fmt("CSV file written (%.1f MB, slowest of 3)", g_figures["csv_mb"]), fmt("%.0f ms", g_figures["csv_ms"]),
             "< 1 s", g_figures["csv_ms"] < 1000);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    DefaultGraphicsSettings(GraphicsSettings);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
