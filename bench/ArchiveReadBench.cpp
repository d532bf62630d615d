// Reading one year of quarter-hour values (35,040 data lines, 4 value
// channels and a status column) through the archive line reader, with the
// time stamp of every data line parsed.
#include "evaluation/ArchiveReader.h"
#include "platform/LocaleFormats.h"

#include "support/ArchiveGenerator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct YearArchive {
    QTemporaryDir dir;
    QString name = QStringLiteral("Jahr.AGR");
    qint64 bytes = 0;

    YearArchive()
    {
        testsupport::ArchiveParams params;
        params.channels = 4;
        params.intervalMinutes = 15;
        params.startDate = QDate(2005, 1, 1);
        params.days = 365;
        params.specialShare = 0.01;
        testsupport::WriteArchive(dir.filePath(name), params);
        bytes = QFileInfo(dir.filePath(name)).size();
    }
};

const YearArchive& Archive()
{
    static YearArchive archive;
    return archive;
}

void ReadYear(benchmark::State& benchState, const platform::LocaleFormats& formats)
{
    const YearArchive& archive = Archive();
    platform::ScopedLocaleFormats scoped(formats);
    TEvaluationState state;
    state.Settings.ArchivPfad = archive.dir.path() + QLatin1Char('/');
    state.CurrentArchiveFile = archive.name;
    TArchiveReader reader(state);

    int64_t dataLines = 0;
    for (auto _ : benchState) {
        bool data = false;
        double sum = 0;
        reader.ReadArchiveLines([&](const QString& line) -> uint8_t {
            if (!data) {
                QString key, value;
                data = reader.ParseHeaderLine(line, key, value) == hlEndOfHeader;
                return 1;
            }
            const qsizetype a = line.indexOf(QLatin1Char('\t'));
            const qsizetype b = line.indexOf(QLatin1Char('\t'), a + 1);
            sum += reader.ParseTimestamp(QStringView(line).mid(a + 1, b - a - 1));
            ++dataLines;
            return 1;
        });
        benchmark::DoNotOptimize(sum);
    }
    benchState.SetBytesProcessed(int64_t(benchState.iterations()) * archive.bytes);
    benchState.counters["lines"] = benchmark::Counter(double(dataLines), benchmark::Counter::kIsRate);
}

// The platform's formats read the time stamps.
void BM_ReadArchiveYear_GermanFormats(benchmark::State& state)
{
    ReadYear(state, platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss")));
}

// The platform's formats fail and the archive layouts read the time stamps.
void BM_ReadArchiveYear_EnglishFormats(benchmark::State& state)
{
    ReadYear(state, platform::LocaleFormats(QStringLiteral("M/d/yy"), QStringLiteral("h:mm:ss AP")));
}

} // namespace

BENCHMARK(BM_ReadArchiveYear_GermanFormats)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadArchiveYear_EnglishFormats)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // The reader lets messages through, which wants an application object.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
