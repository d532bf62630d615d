// The table window's commands on the largest table, 65,535 rows by 20
// columns: select all and copy to the clipboard, the HTML export written to
// a file, and a sort by the date column (rows in random order first).
//
// The usual Google Benchmark output comes first; a summary with the figures
// beside their goals follows at the end.
#include "evaluation/GridSort.h"
#include "evaluation/TableCommands.h"
#include "evaluation/TableModel.h"
#include "platform/Clipboard.h"
#include "platform/LocaleFormats.h"
#include "platform/StringGrid.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

namespace {

constexpr int TableRows = 65535;
constexpr int TableCols = 20;

// The table as an evaluation of a device-year leaves it: a hidden marker
// column, date and time, and value columns.
void FillTable(platform::TStringGridModel& grid)
{
    grid.Clear();
    grid.SetColCount(TableCols);
    grid.SetRowCount(TableRows);
    grid.SetFixedCols(3);
    grid.SetFixedRows(1);
    grid.SetCell(0, 0, QStringLiteral("M"));
    grid.SetCell(1, 0, QStringLiteral("Datum"));
    grid.SetCell(2, 0, QStringLiteral("Zeit"));
    for (int c = 3; c < TableCols; ++c)
        grid.SetCell(c, 0, QStringLiteral("Kanal %1").arg(c - 2));
    std::mt19937 rng(11);
    grid.BeginUpdate();
    for (int r = 1; r < TableRows; ++r) {
        const int slot = r - 1;
        const int day = slot / 96, quarter = slot % 96;
        const QDate date = QDate(2004, 1, 1).addDays(day);
        grid.SetCell(0, r, (rng() % 20) == 0 ? QStringLiteral("1") : QStringLiteral("0"));
        grid.SetCell(1, r, date.toString(QStringLiteral("dd.MM.yyyy")));
        grid.SetCell(2, r, QStringLiteral("%1:%2").arg(quarter / 4, 2, 10, QLatin1Char('0'))
                                                   .arg(quarter % 4 * 15, 2, 10, QLatin1Char('0')));
        for (int c = 3; c < TableCols; ++c)
            grid.SetCell(c, r, QString::number(double(rng() % 10000000) / 1000.0, 'f', 3).replace(u'.', u','));
    }
    grid.SetColWidth(0, 0);
    grid.EndUpdate();
}

void Shuffle(platform::TStringGridModel& grid, std::mt19937& rng)
{
    for (int r = TableRows - 1; r > 1; --r)
        grid.SwapRows(r, 1 + int(rng() % unsigned(r)));
}

void BM_SelectAllAndCopy(benchmark::State& st)
{
    TTableModel model;
    FillTable(model.Grid());
    QString text;
    for (auto _ : st) {
        GridSelectAll(model.Grid());
        BuildCopyText(model.Grid(), true, text);
        platform::SetClipboardText(text);
        benchmark::DoNotOptimize(text.size());
    }
    st.counters["chars"] = double(text.size());
}
BENCHMARK(BM_SelectAllAndCopy)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_HtmlExport(benchmark::State& st)
{
    TTableModel model;
    FillTable(model.Grid());
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("Bericht.HTM"));
    THtmlExportInput input;
    input.MemoFontName = QStringLiteral("Arial");
    input.GridFontName = QStringLiteral("Arial");
    input.TitleLines = {QStringLiteral("Zählerstände Anlage 1"), QStringLiteral("01.01.2004 - 31.10.2005")};
    input.Grid = &model.Grid();
    for (auto _ : st) {
        if (WriteHtmlFile(name, input) != THtmlWriteResult::Ok)
            st.SkipWithError("HTML file not written");
    }
    st.counters["bytes"] = double(QFile(name).size());
}
BENCHMARK(BM_HtmlExport)->Unit(benchmark::kMillisecond)->Iterations(3);

void SortByDate(benchmark::State& st, const platform::LocaleFormats& formats)
{
    const platform::ScopedLocaleFormats scoped(formats);
    TTableModel model;
    FillTable(model.Grid());
    std::mt19937 rng(5);
    for (auto _ : st) {
        st.PauseTiming();
        Shuffle(model.Grid(), rng);
        model.SortColumn = -1;
        st.ResumeTiming();
        const TSortOutcome outcome = SortTableByColumn(model, QStringLiteral("2"), QStringLiteral("Zeit"));
        if (!outcome.ByDate)
            st.SkipWithError("not sorted by date");
    }
}

void BM_SortByDateColumn(benchmark::State& st)
{
    SortByDate(st, platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss")));
}
BENCHMARK(BM_SortByDateColumn)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same German texts under month-first formats: no cell reads as a date,
// so every row sorts by its text key.
void BM_SortByDateColumn_TextsThatAreNoDates(benchmark::State& st)
{
    SortByDate(st, platform::LocaleFormats(QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP")));
}
BENCHMARK(BM_SortByDateColumn_TextsThatAreNoDates)->Unit(benchmark::kMillisecond)->Iterations(5);

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                results[run.benchmark_name().substr(0, run.benchmark_name().find('/'))] = run;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Run> results;
};

void PrintSummary(const CollectingReporter& reporter)
{
    std::printf("\n%-52s %12s  %-10s %s\n", "Table commands, 65,535 x 20", "figure", "goal", "");
    std::printf("%s\n", std::string(84, '-').c_str());
    const struct {
        const char* bench;
        const char* what;
        double goal;
    } lines[] = {{"BM_SelectAllAndCopy", "Select all and copy to the clipboard", 0.5},
                 {"BM_HtmlExport", "HTML export written", 2.0},
                 {"BM_SortByDateColumn", "Sort by the date column", 0.5},
                 {"BM_SortByDateColumn_TextsThatAreNoDates", "  the same, texts that read as no date", 0.5}};
    for (const auto& l : lines) {
        const auto it = reporter.results.find(l.bench);
        if (it == reporter.results.end()) {
            std::printf("%-52s %12s  < %.1f s     NOT MET (not run)\n", l.what, "-", l.goal);
            continue;
        }
        const auto& run = it->second;
        const double s = run.iterations > 0 ? run.real_accumulated_time / double(run.iterations) : 0.0;
        char figure[32];
        std::snprintf(figure, sizeof figure, "%.0f ms", s * 1e3);
        std::printf("%-52s %12s  < %.1f s     %s\n", l.what, figure, l.goal, s < l.goal ? "met" : "NOT MET");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
