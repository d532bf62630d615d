// The RTF writer, reader and exporter on the sizes they meet: the streaming
// writer with the largest table (65,535 rows by 20 cells with borders), and
// the report editor loading and saving reports of 2,000 and 8,000 table rows.
#include "reports/RtfExport.h"
#include "reports/RtfReader.h"
#include "reports/RtfWriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

rtf::TRtfRowFormat Row(int cols)
{
    rtf::TRtfRowFormat row;
    for (int c = 0; c < cols; ++c) {
        rtf::TRtfCellFormat cell;
        cell.RightEdge = (c + 1) * 700;
        cell.Bottom = cell.Right = rtf::TRtfBorder{10, 0, false};
        row.Cells.push_back(cell);
    }
    row.FrameTop = row.FrameBottom = row.FrameLeft = row.FrameRight = rtf::TRtfBorder{30, 0, false};
    return row;
}

QByteArray WriteTable(int rows, int cols)
{
    QByteArray out;
    rtf::TRtfWriter w(&out);
    w.Begin({}, {{QStringLiteral("Courier New"), rtf::CharsetAnsi, rtf::TFontFamily::Modern}});
    const rtf::TRtfRowFormat row = Row(cols);
    rtf::TRtfCharFormat cf;
    cf.HalfPoints = 18;
    QStringList texts;
    for (int c = 0; c < cols; ++c)
        texts << QString();
    for (int r = 0; r < rows; ++r) {
        texts[0] = QStringLiteral("01.01.2026 00:15:00");
        for (int c = 1; c < cols; ++c)
            texts[c] = QString::number(r * 0.25 + c, 'f', 3);
        w.TableRow(row, texts, cf, rtf::TAlign::Center);
    }
    w.End();
    return out;
}

void BM_WriterLargestTable(benchmark::State& state)
{
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray out = WriteTable(65535, 20);
        bytes = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_WriterLargestTable)->Unit(benchmark::kMillisecond)->Iterations(3);

// A report of the given number of table rows (10 cells each); reading it
// must grow with the rows, not with their square.
void BM_ReadReport(benchmark::State& state)
{
    const QByteArray rtf = WriteTable(int(state.range(0)), 10);
    for (auto _ : state) {
        QTextDocument doc;
        rtf::ReadRtf(rtf, &doc);
        benchmark::DoNotOptimize(doc.blockCount());
    }
}
BENCHMARK(BM_ReadReport)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportReport(benchmark::State& state)
{
    QTextDocument doc;
    rtf::ReadRtf(WriteTable(int(state.range(0)), 10), &doc);
    for (auto _ : state) {
        const QByteArray out = rtf::DocumentToRtf(doc);
        benchmark::DoNotOptimize(out.constData());
    }
}
BENCHMARK(BM_ExportReport)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond)->Iterations(3);

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
