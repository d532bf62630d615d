// The main road measured: scanning a directory of archives, evaluating a
// device-year into the table, a group of ten devices, and the table at its
// largest. Every measurement stands beside a baseline that works on the same
// bytes in the same run: reading the file, splitting every line into fields
// with memchr and converting the numbers with std::from_chars, which is about
// the best one core can do with this text.
//
// The usual Google Benchmark output comes first; a summary table with the
// figures, the baselines, their ratios and the targets follows at the end.
#include "evaluation/ArchiveReader.h"
#include "evaluation/ArchiveScan.h"
#include "evaluation/EvaluationHooks.h"
#include "evaluation/Evaluator.h"
#include "evaluation/GridSort.h"
#include "evaluation/HeadTemplate.h"
#include "evaluation/HeaderKeys.h"
#include "evaluation/StatusDecoder.h"
#include "evaluation/TableModel.h"
#include "evaluation/TableOutputParams.h"
#include "platform/LocaleFormats.h"
#include "platform/MessagePump.h"
#include "platform/StringGrid.h"

#include "support/ArchiveGenerator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// ---- Test data ------------------------------------------------------------------

constexpr int DeviceCount = 10;
constexpr int ScanFileCount = 2000;
constexpr int TableRows = 65535;
constexpr int TableCols = 20;

// Ten devices, each a year of quarter-hour values (35,040 data lines, 4 value
// channels and a status column, 1 % special events).
struct YearArchives {
    QTemporaryDir dir;
    QStringList names;
    QStringList devices;
    std::vector<QByteArray> paths;
    qint64 bytesEach = 0;
    qint64 bytesAll = 0;

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
            paths.push_back(QFile::encodeName(dir.filePath(name)));
            const qint64 size = QFileInfo(dir.filePath(name)).size();
            if (i == 0)
                bytesEach = size;
            bytesAll += size;
        }
    }
};

const YearArchives& Archives()
{
    static YearArchives archives;
    return archives;
}

// 2,000 archives with full headers and three days of data each.
struct ScanDirectory {
    QTemporaryDir dir;
    std::vector<QByteArray> paths;

    ScanDirectory()
    {
        for (int i = 0; i < ScanFileCount; ++i) {
            testsupport::ArchiveParams p;
            p.deviceNumber = QStringLiteral("%1").arg(100000 + i / 2, 7, 10, QLatin1Char('0'));
            p.family = (i % 3 == 0) ? QStringLiteral("QM") : QStringLiteral("RV");
            p.customerNumber = QString::number(1000 + i / 20);
            p.days = 3;
            p.seed = uint32_t(i + 1);
            const QString path = dir.filePath(QStringLiteral("A%1.AGR").arg(i, 5, 10, QLatin1Char('0')));
            testsupport::WriteArchive(path, p);
            paths.push_back(QFile::encodeName(path));
        }
    }
    QString Path() const { return dir.path() + QLatin1Char('/'); }
};

const ScanDirectory& ScanFiles()
{
    static ScanDirectory files;
    return files;
}

// ---- The baseline ---------------------------------------------------------------

// Reads a file in blocks and hands every line (without CR LF) to onLine,
// which answers false to stop.
template <typename OnLine>
void ReadLines(const char* path, OnLine onLine)
{
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return;
    static std::vector<char> buffer(1 << 16);
    std::string carry;
    bool goOn = true;
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
        if (got == 0)
            break;
        const char* p = buffer.data();
        const char* end = p + got;
        while (goOn && p < end) {
            const char* nl = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
            if (nl == nullptr) {
                carry.append(p, end);
                break;
            }
            const char* lineStart = p;
            std::size_t lineSize = std::size_t(nl - p);
            if (!carry.empty()) {
                carry.append(p, nl);
                lineStart = carry.data();
                lineSize = carry.size();
            }
            if (lineSize > 0 && lineStart[lineSize - 1] == '\r')
                --lineSize;
            goOn = onLine(lineStart, lineSize);
            carry.clear();
            p = nl + 1;
        }
        if (!goOn)
            break;
    }
    if (goOn && !carry.empty())
        onLine(carry.data(), carry.size());
    std::fclose(f);
}

// Converts every number of a field: runs of digits, with a decimal comma or
// point read as a fraction.
double ConvertField(const char* p, const char* end)
{
    double sum = 0;
    while (p < end) {
        while (p < end && (*p < '0' || *p > '9'))
            ++p;
        if (p >= end)
            break;
        long long whole = 0;
        auto r = std::from_chars(p, end, whole);
        p = r.ptr;
        sum += double(whole);
        if (p < end && (*p == ',' || *p == '.') && p + 1 < end && p[1] >= '0' && p[1] <= '9') {
            long long fraction = 0;
            r = std::from_chars(p + 1, end, fraction);
            sum += double(fraction) * 1e-3;
            p = r.ptr;
        }
    }
    return sum;
}

// Splits a line into fields with memchr and converts their numbers.
double SplitAndConvert(const char* line, std::size_t size)
{
    double sum = 0;
    const char* p = line;
    const char* end = line + size;
    for (;;) {
        const char* tab = static_cast<const char*>(std::memchr(p, '\t', std::size_t(end - p)));
        const char* fieldEnd = tab != nullptr ? tab : end;
        sum += ConvertField(p, fieldEnd);
        if (tab == nullptr)
            break;
        p = tab + 1;
    }
    return sum;
}

double BaselineReadFile(const char* path)
{
    double sum = 0;
    ReadLines(path, [&sum](const char* line, std::size_t size) {
        sum += SplitAndConvert(line, size);
        return true;
    });
    return sum;
}

// The scan's baseline: every header line up to the "O" line.
double BaselineReadHeader(const char* path)
{
    double sum = 0;
    ReadLines(path, [&sum](const char* line, std::size_t size) {
        if (size >= 4 && line[0] == 'O')
            return false;
        const char* eq = static_cast<const char*>(std::memchr(line, '=', size));
        sum += eq != nullptr ? ConvertField(eq + 1, line + size) : SplitAndConvert(line, size);
        return true;
    });
    return sum;
}

// ---- The evaluation ----------------------------------------------------------------

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

struct EvaluationSetup {
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
    // The longest time between two runs of the pump's action.
    QElapsedTimer sincePump;
    qint64 longestGapNs = 0;

    explicit EvaluationSetup(uint8_t viewMode)
    {
        const YearArchives& archives = Archives();
        pump.SetAction([this] {
            if (sincePump.isValid())
                longestGapNs = std::max(longestGapNs, sincePump.nsecsElapsed());
            sincePump.start();
        });
        reader.SetPump(&pump);
        evaluator.SetPump(&pump);
        decoder.SetOrdinaryEvents({QStringLiteral("0x8104")});
        headTemplate.SetLines({QStringLiteral("[CUSTNO]")});
        DefaultTableOutputParams(params);
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

    void OneDevice()
    {
        sincePump.invalidate();
        evaluator.FillTable(1, Archives().devices[0], HeaderKeyTable[hkDevNo].Caption, QString(),
                            QStringLiteral("1"));
    }
};

// Longest pump gap and abort latency seen by the evaluation runs, in ms.
double g_longestPumpGapMs = 0;
double g_abortLatencyMs = 0;

void BM_Baseline_ReadYear(benchmark::State& st)
{
    const YearArchives& archives = Archives();
    for (auto _ : st)
        benchmark::DoNotOptimize(BaselineReadFile(archives.paths[0].constData()));
    st.SetBytesProcessed(int64_t(st.iterations()) * archives.bytesEach);
}
BENCHMARK(BM_Baseline_ReadYear)->Unit(benchmark::kMillisecond);

// The archive reader alone: every line of the device-year through
// ReadArchiveLines, the time stamp of every data line through ParseTimestamp.
void BM_ReadYear_LinesAndTimestamps(benchmark::State& st)
{
    const YearArchives& archives = Archives();
    platform::ScopedLocaleFormats formats{
        platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"))};
    TEvaluationState state;
    state.Settings.ArchivPfad = archives.dir.path() + QLatin1Char('/');
    state.CurrentArchiveFile = archives.names[0];
    TArchiveReader reader(state);
    reader.SetPump(nullptr);
    int64_t stamps = 0;
    for (auto _ : st) {
        bool data = false;
        reader.ReadArchiveLines([&](const QString& line) -> uint8_t {
            if (!data) {
                data = line.size() >= 4 && line.startsWith(QLatin1Char('O'));
                return 1;
            }
            const qsizetype tab1 = line.indexOf(QLatin1Char('\t'));
            const qsizetype tab2 = tab1 < 0 ? -1 : line.indexOf(QLatin1Char('\t'), tab1 + 1);
            if (tab1 >= 0 && reader.ParseTimestamp(QStringView(line).mid(tab1 + 1, tab2 < 0 ? -1 : tab2 - tab1 - 1)) > 0)
                ++stamps;
            return 1;
        });
    }
    st.counters["stamps_per_read"] = double(stamps) / double(std::max<int64_t>(1, int64_t(st.iterations())));
    st.SetBytesProcessed(int64_t(st.iterations()) * archives.bytesEach);
}
BENCHMARK(BM_ReadYear_LinesAndTimestamps)->Unit(benchmark::kMillisecond);

void RunOneDevice(benchmark::State& st, uint8_t viewMode)
{
    EvaluationSetup setup(viewMode);
    for (auto _ : st)
        setup.OneDevice();
    st.SetBytesProcessed(int64_t(st.iterations()) * Archives().bytesEach);
    st.counters["rows"] = double(setup.table.Grid().RowCount() - setup.table.Grid().FixedRows());
    g_longestPumpGapMs = std::max(g_longestPumpGapMs, double(setup.longestGapNs) / 1e6);
}
void BM_EvaluateYear_AllValues(benchmark::State& st) { RunOneDevice(st, 0); }
void BM_EvaluateYear_DayValues(benchmark::State& st) { RunOneDevice(st, 1); }
void BM_EvaluateYear_MonthValues(benchmark::State& st) { RunOneDevice(st, 2); }
BENCHMARK(BM_EvaluateYear_AllValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateYear_DayValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateYear_MonthValues)->Unit(benchmark::kMillisecond);

void BM_Baseline_ReadGroup(benchmark::State& st)
{
    const YearArchives& archives = Archives();
    for (auto _ : st)
        for (const QByteArray& path : archives.paths)
            benchmark::DoNotOptimize(BaselineReadFile(path.constData()));
    st.SetBytesProcessed(int64_t(st.iterations()) * archives.bytesAll);
}
BENCHMARK(BM_Baseline_ReadGroup)->Unit(benchmark::kMillisecond);

void BM_EvaluateYear_GroupOfTenDevices(benchmark::State& st)
{
    EvaluationSetup setup(0);
    QStringList rows;
    for (int i = 1; i <= DeviceCount; ++i)
        rows << QString::number(i);
    const QString rowList = rows.join(QLatin1Char(','));
    const QString customerCaption = HeaderKeyTable[hkCustNo].Caption;
    for (auto _ : st) {
        setup.sincePump.invalidate();
        setup.evaluator.FillTable(1, QStringLiteral("123"), customerCaption, QString(), rowList);
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * Archives().bytesAll);
    st.counters["rows"] = double(setup.table.Grid().RowCount() - setup.table.Grid().FixedRows());
    st.counters["columns"] = double(setup.table.Grid().ColCount());
    g_longestPumpGapMs = std::max(g_longestPumpGapMs, double(setup.longestGapNs) / 1e6);
}
BENCHMARK(BM_EvaluateYear_GroupOfTenDevices)->Unit(benchmark::kMillisecond);

// The abort button pressed 20 ms into the group evaluation: the time from the
// press to the end of the evaluation.
void BM_AbortDuringGroup(benchmark::State& st)
{
    EvaluationSetup setup(0);
    QStringList rows;
    for (int i = 1; i <= DeviceCount; ++i)
        rows << QString::number(i);
    const QString rowList = rows.join(QLatin1Char(','));
    QElapsedTimer run, sinceAbort;
    setup.pump.SetAction([&] {
        if (!setup.state.Abort && run.elapsed() >= 20) {
            setup.state.Abort = true;
            sinceAbort.start();
        }
    });
    double worst = 0;
    for (auto _ : st) {
        setup.state.Abort = false;
        sinceAbort.invalidate();
        run.start();
        setup.evaluator.FillTable(1, QStringLiteral("123"), HeaderKeyTable[hkCustNo].Caption, QString(), rowList);
        if (sinceAbort.isValid())
            worst = std::max(worst, double(sinceAbort.nsecsElapsed()) / 1e6);
    }
    st.counters["abort_ms"] = worst;
    g_abortLatencyMs = std::max(g_abortLatencyMs, worst);
}
BENCHMARK(BM_AbortDuringGroup)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---- The scan -------------------------------------------------------------------------

void BM_Baseline_ScanHeaders(benchmark::State& st)
{
    const ScanDirectory& files = ScanFiles();
    for (auto _ : st)
        for (const QByteArray& path : files.paths)
            benchmark::DoNotOptimize(BaselineReadHeader(path.constData()));
    st.counters["per_file"] =
        benchmark::Counter(double(ScanFileCount), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Baseline_ScanHeaders)->Unit(benchmark::kMillisecond);

void BM_ScanArchiveFiles(benchmark::State& st)
{
    TEvaluationState state;
    state.Settings.ArchivPfad = ScanFiles().Path();
    TArchiveReader reader(state);
    reader.SetPump(nullptr);
    TEvaluationHooks hooks;
    TArchiveScanner scanner(state, reader, hooks);
    scanner.SetPump(nullptr);
    for (auto _ : st)
        benchmark::DoNotOptimize(scanner.ScanArchiveFiles(false));
    st.counters["rows"] = scanner.Overview().RowCount() - 1;
    st.counters["per_file"] =
        benchmark::Counter(double(ScanFileCount), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScanArchiveFiles)->Unit(benchmark::kMillisecond);

// ---- The table at its largest ---------------------------------------------------------

// The texts of a 65,535 x 20 table as the evaluation writes them: a header
// row, a flag column, dates in shuffled order, numbers in the other columns.
struct TableTexts {
    std::vector<std::vector<QString>> cells;   // [row][col], row 0 the header
    std::size_t textBytes = 0;

    TableTexts()
    {
        cells.assign(TableRows, std::vector<QString>(TableCols));
        for (int c = 0; c < TableCols; ++c)
            cells[0][std::size_t(c)] = c == 1 ? QStringLiteral("Datum") : QStringLiteral("Kanal %1").arg(c);
        std::mt19937 rng(42);
        for (int r = 1; r < TableRows; ++r) {
            const int slot = int(rng() % 105000);
            const int day = slot / 96;
            const int minutes = (slot % 96) * 15;
            auto& row = cells[std::size_t(r)];
            row[0] = (r % 50) == 0 ? QStringLiteral("1") : QStringLiteral("0");
            row[1] = QStringLiteral("%1.%2.%3 %4:%5:00")
                         .arg(day % 28 + 1, 2, 10, QChar(u'0'))
                         .arg(day / 28 % 12 + 1, 2, 10, QChar(u'0'))
                         .arg(2003 + day / 336)
                         .arg(minutes / 60, 2, 10, QChar(u'0'))
                         .arg(minutes % 60, 2, 10, QChar(u'0'));
            for (int c = 2; c < TableCols; ++c)
                row[std::size_t(c)] = QString::number(double(rng() % 10000000) / 1000.0, 'f', 4);
        }
        for (const auto& row : cells)
            for (const QString& t : row)
                textBytes += std::size_t(t.size()) * sizeof(char16_t);
    }
};

const TableTexts& Texts()
{
    static TableTexts texts;
    return texts;
}

// Fills the table through its fill interface, as the evaluation does. Each
// cell gets a text of its own (a copy), as an evaluation's texts are.
void FillThroughModel(TTableModel& table)
{
    const TableTexts& texts = Texts();
    table.ClearTable(QString());
    for (int c = 0; c < TableCols; ++c)
        table.SetHeaderCell(texts.cells[0][std::size_t(c)], 1, c);
    for (int r = 1; r < TableRows; ++r) {
        const auto& row = texts.cells[std::size_t(r)];
        for (int c = 0; c < TableCols; ++c) {
            const QString& t = row[std::size_t(c)];
            table.SetCell(QString(t.constData(), t.size()), r + 1, c);
        }
    }
    table.Grid().SetRowCount(TableRows);
    table.FinishTable(1, false);
}

double g_cellBytesBeyondText = 0;

void BM_Baseline_TableFillAndSort(benchmark::State& st)
{
    const TableTexts& texts = Texts();
    for (auto _ : st) {
        std::vector<std::vector<QString>> rows(TableRows);
        for (int r = 0; r < TableRows; ++r) {
            rows[std::size_t(r)].reserve(TableCols);
            for (const QString& t : texts.cells[std::size_t(r)])
                rows[std::size_t(r)].emplace_back(t.constData(), t.size());
        }
        std::vector<std::pair<QString, int>> keys;
        keys.reserve(TableRows);
        for (int r = 1; r < TableRows; ++r)
            keys.emplace_back(DateSortKey(rows[std::size_t(r)][1]), r);
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::vector<QString>> sorted;
        sorted.reserve(TableRows);
        sorted.push_back(std::move(rows[0]));
        for (const auto& k : keys)
            sorted.push_back(std::move(rows[std::size_t(k.second)]));
        benchmark::DoNotOptimize(sorted.data());
    }
}
BENCHMARK(BM_Baseline_TableFillAndSort)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TableFillAndSortByDate(benchmark::State& st)
{
    TTableOutputParams params;
    DefaultTableOutputParams(params);
    TTableModel table;
    table.InitTableWindow(params);
    for (auto _ : st) {
        FillThroughModel(table);
        SortGridByDate(1, false, table.Grid());
        benchmark::DoNotOptimize(table.Grid().RowCount());
    }
    const double bytes = double(table.Grid().MemoryBytes());
    const double cells = double(TableRows) * TableCols;
    st.counters["bytes_per_cell"] = bytes / cells;
    g_cellBytesBeyondText = (bytes - double(Texts().textBytes)) / cells;
    st.counters["beyond_text"] = g_cellBytesBeyondText;
}
BENCHMARK(BM_TableFillAndSortByDate)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TableFill(benchmark::State& st)
{
    TTableOutputParams params;
    DefaultTableOutputParams(params);
    TTableModel table;
    table.InitTableWindow(params);
    for (auto _ : st)
        FillThroughModel(table);
}
BENCHMARK(BM_TableFill)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TableSortByDate(benchmark::State& st)
{
    TTableOutputParams params;
    DefaultTableOutputParams(params);
    TTableModel table;
    table.InitTableWindow(params);
    for (auto _ : st) {
        st.PauseTiming();
        FillThroughModel(table);
        st.ResumeTiming();
        SortGridByDate(1, false, table.Grid());
    }
}
BENCHMARK(BM_TableSortByDate)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TableDeleteColumn(benchmark::State& st)
{
    TTableOutputParams params;
    DefaultTableOutputParams(params);
    TTableModel table;
    table.InitTableWindow(params);
    for (auto _ : st) {
        st.PauseTiming();
        FillThroughModel(table);
        st.ResumeTiming();
        table.DeleteColumn(1);
    }
}
BENCHMARK(BM_TableDeleteColumn)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Baseline_TableDeleteColumn(benchmark::State& st)
{
    const TableTexts& texts = Texts();
    for (auto _ : st) {
        st.PauseTiming();
        std::vector<std::vector<QString>> rows = texts.cells;
        st.ResumeTiming();
        for (auto& row : rows)
            row.erase(row.begin() + 1);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_Baseline_TableDeleteColumn)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- The summary ------------------------------------------------------------------------

// Keeps every run beside printing it.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            std::string name = run.benchmark_name();
            const std::size_t slash = name.find('/');
            if (slash != std::string::npos)
                name.resize(slash);
            results[name] = run;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Run> results;
};

double Seconds(const benchmark::BenchmarkReporter::Run& run)
{
    return run.iterations > 0 ? run.real_accumulated_time / double(run.iterations) : 0.0;
}

void PrintSummary(const CollectingReporter& reporter)
{
    const auto& r = reporter.results;
    auto has = [&r](const char* name) { return r.count(name) != 0; };
    auto secs = [&r](const char* name) { return Seconds(r.at(name)); };
    std::printf("\n%-44s %14s %14s %8s  %-26s %s\n", "Main road", "figure", "baseline", "ratio", "target", "");
    std::printf("%s\n", std::string(120, '-').c_str());
    auto line = [](const char* what, const std::string& figure, const std::string& baseline, double ratio,
                   const std::string& target, int met) {
        char ratioText[16] = "";
        if (ratio > 0)
            std::snprintf(ratioText, sizeof ratioText, "%.1fx", ratio);
        std::printf("%-44s %14s %14s %8s  %-26s %s\n", what, figure.c_str(), baseline.c_str(), ratioText,
                    target.c_str(), met < 0 ? "" : (met ? "met" : "NOT MET"));
    };
    auto fmt = [](const char* format, double v) {
        char buf[48];
        std::snprintf(buf, sizeof buf, format, v);
        return std::string(buf);
    };
    const double mb = 1024.0 * 1024.0;

    if (has("BM_ScanArchiveFiles") && has("BM_Baseline_ScanHeaders")) {
        const double s = secs("BM_ScanArchiveFiles");
        const double b = secs("BM_Baseline_ScanHeaders");
        line("Scan of 2,000 archives, per file", fmt("%.1f us", s / ScanFileCount * 1e6),
             fmt("%.1f us", b / ScanFileCount * 1e6), s / b, "", -1);
        line("Scan of 2,000 archives, all", fmt("%.0f ms", s * 1e3), fmt("%.0f ms", b * 1e3), s / b, "< 500 ms",
             s < 0.5);
    }
    const double yearBytes = double(Archives().bytesEach);
    if (has("BM_Baseline_ReadYear")) {
        const double b = secs("BM_Baseline_ReadYear");
        const std::string base = fmt("%.0f MB/s", yearBytes / b / mb);
        const struct {
            const char* bench;
            const char* what;
            bool target;
        } views[] = {{"BM_EvaluateYear_AllValues", "Device-year, all values, differences", true},
                     {"BM_EvaluateYear_DayValues", "Device-year, day values, differences", false},
                     {"BM_EvaluateYear_MonthValues", "Device-year, month values, differences", false}};
        if (has("BM_ReadYear_LinesAndTimestamps")) {
            const double s = secs("BM_ReadYear_LinesAndTimestamps");
            line("Device-year read, time stamps parsed", fmt("%.1f MB/s", yearBytes / s / mb), base, s / b, "", -1);
        }
        for (const auto& v : views) {
            if (!has(v.bench))
                continue;
            const double s = secs(v.bench);
            line(v.what, fmt("%.1f MB/s", yearBytes / s / mb), base, s / b,
                 v.target ? "within 3x of the baseline" : "", v.target ? int(s / b <= 3.0) : -1);
        }
    }
    if (has("BM_EvaluateYear_GroupOfTenDevices") && has("BM_Baseline_ReadGroup")) {
        const double all = double(Archives().bytesAll);
        const double s = secs("BM_EvaluateYear_GroupOfTenDevices");
        const double b = secs("BM_Baseline_ReadGroup");
        line("Group of 10 device-years", fmt("%.1f MB/s", all / s / mb), fmt("%.0f MB/s", all / b / mb), s / b, "",
             -1);
    }
    if (has("BM_EvaluateYear_AllValues"))
        line("Longest time between message pumps", fmt("%.1f ms", g_longestPumpGapMs), "", 0, "<= 50 ms",
             g_longestPumpGapMs <= 50.0);
    if (has("BM_AbortDuringGroup"))
        line("Abort to the end of the evaluation", fmt("%.1f ms", g_abortLatencyMs), "", 0, "<= 100 ms",
             g_abortLatencyMs <= 100.0);
    if (has("BM_TableFillAndSortByDate") && has("BM_Baseline_TableFillAndSort")) {
        const double s = secs("BM_TableFillAndSortByDate");
        const double b = secs("BM_Baseline_TableFillAndSort");
        line("Table 65,535 x 20 filled and sorted by date", fmt("%.0f ms", s * 1e3), fmt("%.0f ms", b * 1e3), s / b,
             "< 300 ms", s < 0.3);
    }
    if (has("BM_TableFill"))
        line("  of which filled", fmt("%.0f ms", secs("BM_TableFill") * 1e3), "", 0, "", -1);
    if (has("BM_TableSortByDate"))
        line("  of which sorted by date", fmt("%.0f ms", secs("BM_TableSortByDate") * 1e3), "", 0, "", -1);
    if (has("BM_TableDeleteColumn") && has("BM_Baseline_TableDeleteColumn")) {
        const double s = secs("BM_TableDeleteColumn");
        const double b = secs("BM_Baseline_TableDeleteColumn");
        line("Table: deleting a column", fmt("%.1f ms", s * 1e3), fmt("%.1f ms", b * 1e3), s / b, "", -1);
    }
    if (has("BM_TableFillAndSortByDate")) {
        // The baseline holds a text handle per cell and the rows' vectors.
        const double base = double(sizeof(QString)) + double(sizeof(std::vector<QString>)) / TableCols + 16 + 2;
        line("Table memory per cell beyond the text", fmt("%.0f bytes", g_cellBytesBeyondText),
             fmt("%.0f bytes", base), g_cellBytesBeyondText / base, "<= 100 bytes", g_cellBytesBeyondText <= 100.0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The table measures texts in its font, which wants a GUI application.
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
