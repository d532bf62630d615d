// The table at its largest (65,535 rows by 20 columns, with its title lines)
// exported as a spreadsheet (XLSX) and as a word-processor document (RTF):
// the time from the click to the written file, and the memory the export
// holds beyond what the process held before it (the peak resident set
// during the export, measured by resetting the kernel's high-water mark).
//
// The usual Google Benchmark output comes first; a table with the figures
// beside their goals follows at the end.
#include "platform/Hooks.h"
#include "platform/StringGrid.h"
#include "reports/CellValueScan.h"
#include "reports/ZT_BerEx.h"
#include "reports/ZT_BerWd.h"
#include "reports/ZT_BerXL.h"

#include <QElapsedTimer>
#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int TableRows = 65535;
constexpr int TableCols = 20;

// The table as an evaluation of a year of quarter-hour values leaves it: a
// hidden marker column, the time, a counter and difference columns.
platform::TStringGridModel& Grid()
{
    static platform::TStringGridModel* grid = [] {
        auto* g = new platform::TStringGridModel;
        g->SetColCount(TableCols);
        g->SetRowCount(TableRows + 1);
        g->SetFixedRows(1);
        g->SetFixedCols(2);
        g->SetColWidth(0, 0);
        g->SetCell(1, 0, QStringLiteral("Zeit"));
        for (int c = 2; c < TableCols; ++c)
            g->SetCell(c, 0, QStringLiteral("Kanal %1").arg(c - 1));
        QDateTime t(QDate(2005, 1, 1), QTime(0, 15));
        for (int r = 1; r <= TableRows; ++r, t = t.addSecs(900)) {
            if (r % 100 == 0)
                g->SetCell(0, r, QStringLiteral("1"));
            g->SetCell(1, r, t.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
            for (int c = 2; c < TableCols; ++c) {
                if ((r + c) % 97 == 0)
                    continue;   // a missing reading
                const double v = c == 2 ? 12345.0 + r * 0.25 : ((r * 7 + c * 13) % 1000) / 100.0;
                g->SetCell(c, r, QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')));
            }
        }
        return g;
    }();
    return *grid;
}

const QStringList& TitleLines()
{
    static const QStringList lines{QStringLiteral("Zählerstände Gerät 0012345 Kanal 1 bis 18"),
                                   QStringLiteral("Zeitraum 01.01.2005 bis 31.10.2006"),
                                   QStringLiteral("Alle Werte"), QStringLiteral("Zählerdifferenz 16383,75")};
    return lines;
}

long ReadStatusKb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray all = f.readAll();
    const qsizetype at = all.indexOf(key);
    if (at < 0)
        return -1;
    return std::strtol(all.constData() + at + std::strlen(key), nullptr, 10);
}

bool ResetPeakRss()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

struct Figures {
    double seconds = 0;
    double cpuSeconds = 0;  // the machine is shared: CPU time beside the wall clock
    double extraMb = -1;    // < 0: not measured
    qint64 fileBytes = 0;
};
std::map<std::string, Figures> g_figures;

// One export as the table window runs it, from the chooser to the shown file.
void RunExport(benchmark::State& st, uint8_t kind, const char* name)
{
    QTemporaryDir tmp;
    qputenv("TMPDIR", tmp.path().toUtf8());
    QString opened;
    platform::Hooks().OpenDocument = [&opened](const QString& path) {
        opened = path;
        return true;
    };
    platform::TStringGridModel& grid = Grid();
    InstallReportBackends();
    for (auto _ : st) {
        NumberFormatText = QStringLiteral("0");
        // Memory freed by an earlier run goes back first, so this run's
        // growth is its own and not hidden in reused pages.
        malloc_trim(0);
        const bool peak = ResetPeakRss();
        const long before = ReadStatusKb("VmRSS:");
        QElapsedTimer timer;
        const double cpu0 = CpuSeconds();
        timer.start();
        Ber_Intf.Init(QStringLiteral("Tabellenausgabe "), QString(), kind, [] {});
        Ber_Intf->SetFont(QStringLiteral("Courier New"), 9, 0);
        for (const QString& line : TitleLines())
            Ber_Intf->WriteLine(line);
        Ber_Intf->WriteLine(QString());
        Ber_Intf->SetFont(QStringLiteral("Courier New"), 9, 0);
        Ber_Intf->WriteTable(grid);
        Ber_Intf->WriteLine(QString());
        const bool shown = Ber_Intf->ShowResult(true);
        const double seconds = timer.nsecsElapsed() / 1e9;
        const double cpu = CpuSeconds() - cpu0;
        const long high = ReadStatusKb("VmHWM:");
        Ber_Intf.Done();
        if (!shown) {
            st.SkipWithError("the report was not written");
            break;
        }
        // The slowest run and the largest growth count.
        Figures& f = g_figures[name];
        f.seconds = std::max(f.seconds, seconds);
        f.cpuSeconds = std::max(f.cpuSeconds, cpu);
        f.extraMb = std::max(f.extraMb, peak && before > 0 && high > 0 ? (high - before) / 1024.0 : -1.0);
        f.fileBytes = QFileInfo(opened).size();
        st.counters["extra_MB"] = f.extraMb;
        st.counters["file_MB"] = f.fileBytes / 1048576.0;
        QFile::remove(opened);
    }
    qunsetenv("TMPDIR");
}

void BM_ExportSpreadsheet_65535x20(benchmark::State& st)
{
    RunExport(st, ReportKindSpreadsheet, "xlsx");
}
BENCHMARK(BM_ExportSpreadsheet_65535x20)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExportWordProcessor_65535x20(benchmark::State& st)
{
    RunExport(st, ReportKindWordProcessor, "rtf");
}
BENCHMARK(BM_ExportWordProcessor_65535x20)->Unit(benchmark::kMillisecond)->Iterations(2);

void PrintSummary()
{
    std::printf("\n%-40s %9s %9s %14s %10s  %-28s %s\n", "Report export, 65,535 x 20", "time", "CPU",
                "extra memory", "file", "goal", "");
    std::printf("%s\n", std::string(128, '-').c_str());
    const struct {
        const char* key;
        const char* what;
        double maxSeconds;
        double maxMb;
    } goals[] = {{"xlsx", "Spreadsheet (XLSX) written", 3.0, 300.0}, {"rtf", "Word processor (RTF) written", 5.0, 200.0}};
    for (const auto& g : goals) {
        const auto it = g_figures.find(g.key);
        if (it == g_figures.end())
            continue;
        const Figures& f = it->second;
        char time[32], cpu[32], mem[32], file[32], goal[64];
        std::snprintf(time, sizeof time, "%.2f s", f.seconds);
        std::snprintf(cpu, sizeof cpu, "%.2f s", f.cpuSeconds);
        if (f.extraMb >= 0)
            std::snprintf(mem, sizeof mem, "%.0f MB", f.extraMb);
        else
            std::snprintf(mem, sizeof mem, "unknown");
        std::snprintf(file, sizeof file, "%.1f MB", f.fileBytes / 1048576.0);
        std::snprintf(goal, sizeof goal, "< %.0f s, < %.0f MB more", g.maxSeconds, g.maxMb);
        const bool met = f.seconds < g.maxSeconds && f.extraMb >= 0 && f.extraMb < g.maxMb;
        std::printf("%-40s %9s %9s %14s %10s  %-28s %s\n", g.what, time, cpu, mem, file, goal, met ? "met" : "NOT MET");
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Column widths are measured in the table's font, which wants a GUI application.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    reports::SetSystemDecimalSeparatorOverride(QLatin1Char(','));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Grid();
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
