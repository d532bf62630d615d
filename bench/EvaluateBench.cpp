// Evaluating a year of quarter-hour values (35,040 data lines per device,
// 4 value channels and a status column) into the table, with difference
// columns on: one device in the all-values, day and month views, and a
// customer group of 10 such devices whose lines merge into shared rows.
#include "evaluation/ArchiveReader.h"
#include "evaluation/EvaluationHooks.h"
#include "evaluation/Evaluator.h"
#include "evaluation/HeadTemplate.h"
#include "evaluation/HeaderKeys.h"
#include "evaluation/StatusDecoder.h"
#include "evaluation/TableModel.h"
#include "platform/LocaleFormats.h"
#include "platform/MessagePump.h"
#include "platform/StringGrid.h"

#include "support/ArchiveGenerator.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int DeviceCount = 10;

struct YearArchives {
    QTemporaryDir dir;
    QStringList names;
    QStringList devices;
    qint64 bytesEach = 0;

    YearArchives()
    {
        for (int i = 0; i < DeviceCount; ++i) {
            testsupport::ArchiveParams params;
            params.deviceNumber = QStringLiteral("00123%1").arg(i, 2, 10, QLatin1Char('0'));
            params.channels = 4;
            params.intervalMinutes = 15;
            params.startDate = QDate(2005, 1, 1);
            params.days = 365;
            params.specialShare = 0.01;
            params.seed = uint32_t(i + 1);
            const QString name = QStringLiteral("Geraet%1.AGR").arg(i);
            testsupport::WriteArchive(dir.filePath(name), params);
            names << name;
            devices << params.deviceNumber;
            bytesEach = QFileInfo(dir.filePath(name)).size();
        }
    }
};

const YearArchives& Archives()
{
    static YearArchives archives;
    return archives;
}

// The overview as the scan fills it: one row per file (channel A only).
void FillOverview(platform::TStringGridModel& overview, const YearArchives& archives)
{
    overview.SetColCount(14);
    overview.SetRowCount(DeviceCount + 1);
    overview.SetFixedRows(1);
    for (int i = 0; i < DeviceCount; ++i) {
        overview.SetCell(1, i + 1, archives.devices[i]);
        overview.SetCell(5, i + 1, QStringLiteral("123"));
        overview.SetCell(8, i + 1, QStringLiteral("6"));
        overview.SetCell(OverviewFileColumn, i + 1, archives.names[i]);
    }
}

struct Setup {
    platform::ScopedLocaleFormats formats{
        platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"))};
    platform::MessagePump pump;
    TEvaluationState state;
    TArchiveReader reader{state};
    TStatusDecoder decoder;
    THeadTemplate headTemplate;
    TTableOutputParams params;
    TTableModel table;
    platform::TStringGridModel overview;
    TEvaluationHooks hooks;
    TEvaluator evaluator{state, reader, decoder, headTemplate, table, overview, hooks};

    Setup(uint8_t viewMode)
    {
        const YearArchives& archives = Archives();
        pump.SetAction([] {});
        reader.SetPump(&pump);
        evaluator.SetPump(&pump);
        decoder.SetOrdinaryEvents({QStringLiteral("0x8104")});
        headTemplate.SetLines({QStringLiteral("[CUSTNO]")});
        table.InitTableWindow(params);
        state.Settings.ArchivPfad = archives.dir.path() + QLatin1Char('/');
        state.Settings.HoleTB = true;
        state.Settings.Format = true;
        FillOverview(overview, archives);
        TEvaluationView& view = evaluator.View();
        view.ViewMode = viewMode;
        view.Differenz = true;
        view.Zaehler = true;
        view.PeriodStart = platform::EncodeDate(2005, 1, 1);
        view.PeriodEnd = platform::EncodeDate(2005, 12, 31);
    }
};

void RunOneDevice(benchmark::State& benchState, uint8_t viewMode)
{
    Setup setup(viewMode);
    const QString deviceCaption = HeaderKeyTable[hkDevNo].Caption;
    for (auto _ : benchState)
        setup.evaluator.FillTable(1, Archives().devices[0], deviceCaption, QString(), QStringLiteral("1"));
    benchState.SetBytesProcessed(int64_t(benchState.iterations()) * Archives().bytesEach);
    benchState.counters["rows"] = double(setup.table.Grid().RowCount() - setup.table.Grid().FixedRows());
}

void BM_EvaluateYear_AllValues(benchmark::State& state) { RunOneDevice(state, 0); }
void BM_EvaluateYear_DayValues(benchmark::State& state) { RunOneDevice(state, 1); }
void BM_EvaluateYear_MonthValues(benchmark::State& state) { RunOneDevice(state, 2); }

void BM_EvaluateYear_GroupOfTenDevices(benchmark::State& benchState)
{
    Setup setup(0);
    QStringList rows;
    for (int i = 1; i <= DeviceCount; ++i)
        rows << QString::number(i);
    const QString rowList = rows.join(QLatin1Char(','));
    const QString customerCaption = HeaderKeyTable[hkCustNo].Caption;
    for (auto _ : benchState)
        setup.evaluator.FillTable(1, QStringLiteral("123"), customerCaption, QString(), rowList);
    benchState.SetBytesProcessed(int64_t(benchState.iterations()) * Archives().bytesEach * DeviceCount);
    benchState.counters["rows"] = double(setup.table.Grid().RowCount() - setup.table.Grid().FixedRows());
    benchState.counters["columns"] = double(setup.table.Grid().ColCount());
}

} // namespace

BENCHMARK(BM_EvaluateYear_AllValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateYear_DayValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateYear_MonthValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateYear_GroupOfTenDevices)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // The table measures texts in its font, which wants a GUI application.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
