// Scans a directory of 2,000 generated archives, each with a full header and
// a few days of quarter-hour data. The scan reads every file only up to the
// end of its header, so the time per file should not depend on the days.
#include "evaluation/ArchiveScan.h"
#include "evaluation/HeaderKeys.h"
#include "support/ArchiveGenerator.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int FileCount = 2000;

// The directory is written once for all runs.
const QString& ArchiveDirectory()
{
    static QTemporaryDir dir;
    static bool written = false;
    if (!written) {
        written = true;
        for (int i = 0; i < FileCount; ++i) {
            testsupport::ArchiveParams p;
            p.deviceNumber = QStringLiteral("%1").arg(100000 + i / 2, 7, 10, QLatin1Char('0'));
            p.family = (i % 3 == 0) ? QStringLiteral("QM") : QStringLiteral("RV");
            p.customerNumber = QString::number(1000 + i / 20);
            p.days = 3;
            p.seed = uint32_t(i + 1);
            testsupport::WriteArchive(dir.filePath(QStringLiteral("A%1.AGR").arg(i, 5, 10, QLatin1Char('0'))), p);
        }
    }
    static const QString path = dir.path() + QLatin1Char('/');
    return path;
}

void BM_ScanArchiveFiles(benchmark::State& st)
{
    TEvaluationState state;
    state.Settings.ArchivPfad = ArchiveDirectory();
    state.Settings.GerKan = st.range(0) != 0;
    TArchiveReader reader(state);
    reader.SetPump(nullptr);
    TEvaluationHooks hooks;
    TArchiveScanner scanner(state, reader, hooks);
    scanner.SetPump(nullptr);
    for (auto _ : st) {
        const bool found = scanner.ScanArchiveFiles(false);
        benchmark::DoNotOptimize(found);
    }
    st.counters["rows"] = scanner.Overview().RowCount() - 1;
    st.counters["time_per_file"] =
        benchmark::Counter(double(FileCount), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScanArchiveFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The tree's questions after a scan: every device's channels once.
void BM_TreeLevelsAfterScan(benchmark::State& st)
{
    TEvaluationState state;
    state.Settings.ArchivPfad = ArchiveDirectory();
    TArchiveReader reader(state);
    reader.SetPump(nullptr);
    TEvaluationHooks hooks;
    TArchiveScanner scanner(state, reader, hooks);
    scanner.SetPump(nullptr);
    scanner.ScanArchiveFiles(false);
    const QString deviceCaption = HeaderKeyTable[hkDevNo].Caption;
    for (auto _ : st) {
        scanner.Levels().Invalidate();
        QStringList devices, rows, names, channelRows;
        scanner.Levels().TreeLevelProvider(1, deviceCaption, {}, {}, devices, rows);
        for (const QString& d : devices)
            scanner.Levels().TreeLevelProvider(2, d, deviceCaption, {}, names, channelRows);
        benchmark::DoNotOptimize(names);
    }
}
BENCHMARK(BM_TreeLevelsAfterScan)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
