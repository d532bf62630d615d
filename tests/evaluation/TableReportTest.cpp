// The table's report export: the call sequence on the report interface.
#include "evaluation/TableReport.h"

#include "platform/StringGrid.h"
#include "support/RecordingReport.h"

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
