// The table at its largest: 65,535 rows by 20 columns filled through the grid
// model's cell setter, then sorted by the date column, with the memory the
// table takes.
#include "evaluation/GridSort.h"
#include "evaluation/TableModel.h"
#include "evaluation/TableOutputParams.h"
#include "platform/StringGrid.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int Rows = 65535;
constexpr int Cols = 20;

// Fills the table as the evaluation does: one header row, a date column in
// column 1 in shuffled order, numbers in the other columns.
void FillTable(platform::TStringGridModel& grid)
{
    grid.BeginUpdate();
    grid.Clear();
    grid.SetColCount(Cols);
    grid.SetRowCount(Rows);
    grid.SetFixedRows(1);
    for (int c = 0; c < Cols; ++c)
        grid.SetCell(c, 0, c == 1 ? QStringLiteral("Datum") : QStringLiteral("Kanal %1").arg(c));
    std::mt19937 rng(42);
    for (int r = 1; r < Rows; ++r) {
        const int slot = int(rng() % 105000); // quarter hours of about three years
        const int day = slot / 96;
        const int minutes = (slot % 96) * 15;
        const QString date = QStringLiteral("%1.%2.%3 %4:%5:00")
                                 .arg(day % 28 + 1, 2, 10, QChar('0'))
                                 .arg(day / 28 % 12 + 1, 2, 10, QChar('0'))
                                 .arg(2003 + day / 336)
                                 .arg(minutes / 60, 2, 10, QChar('0'))
                                 .arg(minutes % 60, 2, 10, QChar('0'));
        grid.SetCell(0, r, (r % 50) == 0 ? QStringLiteral("1") : QString());
        grid.SetCell(1, r, date);
        for (int c = 2; c < Cols; ++c)
            grid.SetCell(c, r, QString::number(double(rng() % 10000000) / 1000.0, 'f', 4));
    }
    grid.EndUpdate();
}

void BM_FillTable(benchmark::State& state)
{
    platform::TStringGridModel grid;
    for (auto _ : state) {
        FillTable(grid);
        benchmark::DoNotOptimize(grid.RowCount());
    }
    const double bytes = double(grid.MemoryBytes());
    state.counters["table_MB"] = bytes / (1024.0 * 1024.0);
    state.counters["bytes_per_cell"] = bytes / (double(Rows) * Cols);
}
BENCHMARK(BM_FillTable)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SortByDate(benchmark::State& state)
{
    platform::TStringGridModel grid;
    for (auto _ : state) {
        state.PauseTiming();
        FillTable(grid);
        state.ResumeTiming();
        SortGridByDate(1, false, grid);
    }
    benchmark::DoNotOptimize(grid.Cell(1, 1));
}
BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SortByValue(benchmark::State& state)
{
    platform::TStringGridModel grid;
    for (auto _ : state) {
        state.PauseTiming();
        FillTable(grid);
        state.ResumeTiming();
        SortGridByValue(5, true, grid);
    }
}
BENCHMARK(BM_SortByValue)->Unit(benchmark::kMillisecond)->Iterations(3);

// The evaluation's road: the table window's fill interface (ClearTable,
// SetHeaderCell, SetCell with rows counted from 1, FinishTable), then the sort
// by the date column. The texts are made beforehand, so only the table's own
// work is timed.
void BM_FillThroughTableModel(benchmark::State& state)
{
    platform::TStringGridModel source;
    FillTable(source);
    TTableOutputParams params;
    DefaultTableOutputParams(params);
    TTableModel table;
    table.InitTableWindow(params, {}, {}, {});
    for (auto _ : state) {
        table.ClearTable(QString());
        for (int c = 0; c < Cols; ++c)
            table.SetHeaderCell(source.Cell(c, 0), 1, c);
        for (int r = 1; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                table.SetCell(source.Cell(c, r), r + 1, c);
        // The evaluation sets the row count once, after the last row.
        table.Grid().SetRowCount(Rows);
        table.FinishTable(1, false);
        SortGridByDate(1, false, table.Grid());
        benchmark::DoNotOptimize(table.Grid().Cell(1, 1));
    }
    const double bytes = double(table.Grid().MemoryBytes());
    state.counters["bytes_per_cell"] = bytes / (double(Rows) * Cols);
}
BENCHMARK(BM_FillThroughTableModel)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    // The table measures its columns with the table font: fonts need a GUI
    // application, on the offscreen platform when no display is set.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
