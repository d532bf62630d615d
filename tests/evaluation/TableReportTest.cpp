// The table's report export: the call sequence on the report interface.
#include "evaluation/TableReport.h"

#include "EvaluatorFixture.h"
#include "evaluation/ArchiveScan.h"
#include "evaluation/TreeLevels.h"
#include "platform/StringGrid.h"
#include "support/ExternalTools.h"
#include "support/RecordingReport.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::TRecordingReportKind;

namespace {

class TableReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.SetColCount(3);
        grid.SetRowCount(3);
        grid.SetFixedRows(1);
        grid.SetCell(1, 0, QStringLiteral("Datum"));
        grid.SetCell(1, 1, QStringLiteral("01.01.2005"));
        input.Title = QStringLiteral("Tabellenausgabe ");
        input.MemoFont = QFont(QStringLiteral("Arial"), 12);
        input.MemoFont.setBold(true);
        input.TitleLines = {QStringLiteral("Titel 1"), QString(), QStringLiteral("Titel 2")};
        input.ChooserHasItems = true;
        input.ChooserText = QStringLiteral("Wirkarbeit");
        input.EvaluationLabel = QStringLiteral("Zählerstände");
        input.Grid = &grid;
        input.GridFont = QFont(QStringLiteral("Courier New"), 9);
    }
    void TearDown() override { FreeTableReport(chooser, open); }

    platform::TStringGridModel grid;
    TReportExportInput input;
    TBer_Export chooser;
    bool open = false;
};

} // namespace

TEST_F(TableReportTest, TitleLinesTableAndResultInTheirOrder)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    EXPECT_EQ(ExportTableToReport(chooser, ReportKindWordProcessor, input, open), TReportExportResult::Shown);
    EXPECT_TRUE(open);
    EXPECT_EQ(word.record->calls,
              (QStringList{"Create(Tabellenausgabe ,)", "SetFont(Arial,12,1)", "WriteLine(Titel 1)",
                           "WriteLine(Titel 2)", "WriteLine(Wirkarbeit)", "WriteLine(Zählerstände)", "WriteLine()",
                           "SetFont(Courier New,9,0)", "WriteTable(3x3)", "WriteLine()", "ShowResult(1)"}));
    EXPECT_EQ(word.record->tableRows.value(1), QStringLiteral("|01.01.2005|"));
    // The report stays open until the next export or FreeTableReport.
    EXPECT_EQ(word.record->destroyed, 0);
    FreeTableReport(chooser, open);
    EXPECT_FALSE(open);
    EXPECT_EQ(word.record->destroyed, 1);
}

TEST_F(TableReportTest, NextExportFreesThePreviousReportFirst)
{
    TRecordingReportKind sheet(ReportKindSpreadsheet);
    ExportTableToReport(chooser, ReportKindSpreadsheet, input, open);
    ExportTableToReport(chooser, ReportKindSpreadsheet, input, open);
    EXPECT_EQ(sheet.record->created, 2);
    EXPECT_EQ(sheet.record->destroyed, 1);
    int secondCreate = -1;
    for (int i = 0; i < sheet.record->calls.size(); ++i)
        if (sheet.record->calls[i].startsWith(QStringLiteral("Create(")))
            secondCreate = i;
    EXPECT_EQ(sheet.record->calls.indexOf(QStringLiteral("Destroy()")), secondCreate - 1);
}

TEST_F(TableReportTest, GridOfOneRowWritesNoTable)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    grid.SetRowCount(1);
    input.ChooserHasItems = false;
    input.EvaluationLabel.clear();
    ExportTableToReport(chooser, ReportKindWordProcessor, input, open);
    EXPECT_EQ(word.record->calls,
              (QStringList{"Create(Tabellenausgabe ,)", "SetFont(Arial,12,1)", "WriteLine(Titel 1)",
                           "WriteLine(Titel 2)", "WriteLine()", "ShowResult(1)"}));
}

// The smallest table that is written: one header row and one data row, two
// columns; one column alone is not.
TEST_F(TableReportTest, HeaderRowAndOneDataRowAreWrittenOneColumnIsNot)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    grid.SetRowCount(2);
    grid.SetColCount(2);
    input.ChooserHasItems = false;
    input.EvaluationLabel.clear();
    ExportTableToReport(chooser, ReportKindWordProcessor, input, open);
    EXPECT_EQ(word.record->calls,
              (QStringList{"Create(Tabellenausgabe ,)", "SetFont(Arial,12,1)", "WriteLine(Titel 1)",
                           "WriteLine(Titel 2)", "WriteLine()", "SetFont(Courier New,9,0)", "WriteTable(2x2)",
                           "WriteLine()", "ShowResult(1)"}));
    EXPECT_EQ(word.record->tableRows.value(1), QStringLiteral("|01.01.2005"));

    grid.SetColCount(1);
    ExportTableToReport(chooser, ReportKindWordProcessor, input, open);
    EXPECT_EQ(word.record->count(QStringLiteral("WriteTable")), 1);
}

TEST_F(TableReportTest, ChartPageWhenWantedAndNotAborted)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    int copies = 0;
    input.ChartWanted = [] { return true; };
    input.CopyChart = [&copies] { ++copies; return true; };
    EXPECT_EQ(ExportTableToReport(chooser, ReportKindWordProcessor, input, open), TReportExportResult::Shown);
    const QStringList tail = word.record->calls.mid(word.record->calls.size() - 4);
    EXPECT_EQ(tail, (QStringList{"NewPage()", "PasteFromClipboard()", "AfterPaste()", "ShowResult(1)"}));
    EXPECT_EQ(copies, 1);

    // An aborted report leaves the chart out.
    input.ChartWanted = [this] {
        chooser.Report()->Aborted = true;
        return true;
    };
    ExportTableToReport(chooser, ReportKindWordProcessor, input, open);
    EXPECT_EQ(word.record->count(QStringLiteral("NewPage")), 1);
    EXPECT_EQ(copies, 1);

    // A chart that cannot be copied fails the export after its new page.
    input.ChartWanted = [] { return true; };
    input.CopyChart = [] { return false; };
    EXPECT_EQ(ExportTableToReport(chooser, ReportKindWordProcessor, input, open), TReportExportResult::Failed);
    EXPECT_EQ(word.record->count(QStringLiteral("PasteFromClipboard")), 1);
}

TEST_F(TableReportTest, NoChartPageWhenNotWanted)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    input.ChartWanted = [] { return false; };
    input.CopyChart = [] { ADD_FAILURE() << "chart copied"; return true; };
    ExportTableToReport(chooser, ReportKindWordProcessor, input, open);
    EXPECT_EQ(word.record->count(QStringLiteral("NewPage")), 0);
}

TEST_F(TableReportTest, FailingStepLeavesTheReportMarkedOpenSoItIsFreed)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    word.record->failAt = QStringLiteral("WriteTable");
    EXPECT_EQ(ExportTableToReport(chooser, ReportKindWordProcessor, input, open), TReportExportResult::Failed);
    EXPECT_TRUE(open);
    EXPECT_EQ(word.record->count(QStringLiteral("ShowResult")), 0);
    EXPECT_EQ(word.record->calls.last(), QStringLiteral("WriteTable(3x3)"));
    FreeTableReport(chooser, open);
    EXPECT_EQ(word.record->destroyed, 1);
}

TEST_F(TableReportTest, ShowResultFalseIsReported)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    word.record->showResultAnswer = false;
    EXPECT_EQ(ExportTableToReport(chooser, ReportKindWordProcessor, input, open), TReportExportResult::NotShown);
    EXPECT_TRUE(open);
}

TEST_F(TableReportTest, KindThreeAndAnUnregisteredKindCreateNothing)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    TScopedReportFactory none(ReportKindSpreadsheet, {});
    EXPECT_EQ(ExportTableToReport(chooser, 3, input, open), TReportExportResult::NotCreated);
    EXPECT_FALSE(open);
    EXPECT_EQ(ExportTableToReport(chooser, ReportKindSpreadsheet, input, open), TReportExportResult::NotCreated);
    EXPECT_FALSE(open);
    EXPECT_FALSE(chooser.HasReport());
    EXPECT_EQ(word.record->created, 0);
}

TEST_F(TableReportTest, TargetThatCannotBeStartedCreatesNothing)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    word.record->failInConstructor = true;
    EXPECT_EQ(ExportTableToReport(chooser, ReportKindWordProcessor, input, open), TReportExportResult::NotCreated);
    EXPECT_FALSE(open);
    EXPECT_FALSE(chooser.HasReport());
}

TEST_F(TableReportTest, LongTitleIsCutTo132)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    input.Title = QString(150, QLatin1Char('T'));
    ExportTableToReport(chooser, ReportKindWordProcessor, input, open);
    EXPECT_EQ(word.record->calls.first(), QStringLiteral("Create(%1,)").arg(QString(132, QLatin1Char('T'))));
}

// ---- The word-processor report of a sample archive, as the office suite prints it --------

namespace {

// The day table of the sample device 31415 for November 2026 with its
// differences: the time, four counters, the status and four differences.
class SampleDayTable : public evaltest::EvaluatorTest {
protected:
    void SetUp() override
    {
        const QString name = QStringLiteral("0031415_2026-11.AGR");
        ASSERT_TRUE(QFile::copy(QStringLiteral(VALDRAN_DATA_DIR "/archives/") + name, archiveDir + name));
        TArchiveScanner scanner(state, reader, hooks);
        scanner.SetPump(nullptr);
        ASSERT_TRUE(scanner.ScanArchiveFiles(false));
        QStringList names, rows;
        scanner.Levels().TreeLevelProvider(1, HeaderKeyTable[hkDevNo].Caption, QString(), QString(), names, rows);
        const qsizetype device = names.indexOf(QStringLiteral("31415"));
        ASSERT_GE(device, 0) << names.join(u',').toStdString();
        TEvaluator ev(state, reader, decoder, headTemplate, table, scanner.Overview(), hooks);
        ev.SetPump(&pump);
        ev.View() = evaluator->View();
        ev.View().ViewMode = 1;
        ev.View().Differenz = true;
        SetPeriod(QStringLiteral("01.11.2026"), QStringLiteral("30.11.2026"));
        ev.View().PeriodStart = evaluator->View().PeriodStart;
        ev.View().PeriodEnd = evaluator->View().PeriodEnd;
        ev.FillTable(1, names[device], HeaderKeyTable[hkDevNo].Caption, QString(), rows[device]);
        ASSERT_GT(DataRows(), 20);
    }

    // Exports the table as the table window does and answers the RTF file.
    QString ExportWordReport()
    {
        InstallReportBackends();
        TReportExportInput input;
        input.Title = QStringLiteral("Tabellenausgabe");
        input.MemoFont = QFont(QStringLiteral("Arial"), 12);
        input.TitleLines = table.TitleLines();
        input.ChooserHasItems = !table.ChooserItems().isEmpty();
        input.ChooserText = table.ChooserText();
        input.EvaluationLabel = table.EvaluationLabel();
        input.Grid = &Grid();
        input.GridFont = QFont(QStringLiteral("Courier New"), 9);
        TBer_Export chooser;
        bool open = false;
        const TReportExportResult result = ExportTableToReport(chooser, ReportKindWordProcessor, input, open);
        FreeTableReport(chooser, open);
        EXPECT_EQ(result, TReportExportResult::Shown);
        return fakes.openedDocuments.empty() ? QString() : fakes.openedDocuments.back();
    }

    QTemporaryDir tmp;
    testsupport::EnvGuard tmpdir{"TMPDIR", tmp.path()};
};

} // namespace

namespace {

// Every text of a cell, blanks and line breaks left out.
QString Squeezed(QStringView text)
{
    QString out;
    for (const QChar ch : text)
        if (!ch.isSpace())
            out += ch;
    return out;
}

// The right edges of the table's cells as written (\cellx), in twips from
// the left margin.
std::vector<int> CellEdges(const QByteArray& rtf)
{
    std::vector<int> edges;
    const QString text = QString::fromLatin1(rtf);
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("\\\\cellx(\\d+)")).globalMatch(text);
    while (it.hasNext()) {
        const int edge = it.next().captured(1).toInt();
        if (std::find(edges.begin(), edges.end(), edge) != edges.end())
            break;   // the next row repeats the edges
        edges.push_back(edge);
    }
    return edges;
}

} // namespace

// The table is wider than the page's text: its columns are fitted to the
// text width (A4 upright, 2 cm margins: 9,638 twips), so LibreOffice prints
// every column's header and every value instead of cutting the last columns
// off at the paper's edge.
TEST_F(SampleDayTable, WordReportFitsTheTableToThePageAndPrintsEveryColumn)
{
    const QString file = ExportWordReport();
    ASSERT_FALSE(file.isEmpty());
    const std::vector<int> edges = CellEdges(testsupport::readFile(file));
    std::vector<int> columns;
    for (int c = 0; c < Grid().ColCount(); ++c)
        if (Grid().ColWidth(c) > 0 || c + 1 == Grid().ColCount())
            columns.push_back(c);
    ASSERT_EQ(edges.size(), columns.size());
    EXPECT_GT(edges.back(), 9000) << "the table still fills the width";
    EXPECT_LE(edges.back(), 9638) << "the table runs off the text";

    REQUIRE_TOOL("soffice");
    REQUIRE_TOOL("pdftotext");
    REQUIRE_TOOL("pdfinfo");
    QTemporaryDir out;
    QString error;
    const QString pdf = testsupport::convertWithLibreOffice(file, QStringLiteral("pdf"), out.path(), &error);
    ASSERT_FALSE(pdf.isEmpty()) << error.toStdString();
    const auto info = testsupport::runTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size: +([0-9.]+) x ([0-9.]+)")).match(QString::fromUtf8(info.out));
    ASSERT_TRUE(size.hasMatch()) << info.out.toStdString();
    const double paperWidth = size.captured(1).toDouble();
    // Each column read on its own: the page cut to the column's strip (in
    // points, the left margin of 2 cm first; what lies beside the paper is
    // not printed), its texts in order.
    const double margin = 1134 / 20.0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const double left = margin + (i == 0 ? 0 : edges[i - 1]) / 20.0;
        const double width = std::min(margin + edges[i] / 20.0, paperWidth) - left;
        ASSERT_GT(width, 10) << "column " << columns[i] << " lies beside the paper";
        const auto r = testsupport::runTool(
            QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), QStringLiteral("-x"), QString::number(int(left + 1)), QStringLiteral("-y"),
             QStringLiteral("0"), QStringLiteral("-W"), QString::number(int(width - 2)), QStringLiteral("-H"),
             QStringLiteral("2000"), pdf, QStringLiteral("-")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString strip = Squeezed(QString::fromUtf8(r.out));
        qsizetype at = 0;
        for (int row = 0; row < Grid().RowCount(); ++row) {
            const QString cell = Squeezed(Grid().Cell(columns[i], row));
            if (cell.isEmpty())
                continue;
            const qsizetype found = strip.indexOf(cell, at);
            ASSERT_GE(found, 0) << "column " << columns[i] << " (" << Grid().Cell(columns[i], 1).toStdString()
                                << "), row " << row << ": " << cell.toStdString() << " missing in\n"
                                << QString::fromUtf8(r.out).toStdString();
            at = found + cell.size();
        }
    }
}
