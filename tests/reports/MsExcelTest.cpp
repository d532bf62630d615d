// The spreadsheet report: the back end's operations on its workbook, the
// number formats carried from table to table, the XLSX file read back by
// unzip and LibreOffice, and the result shown through the document opener.
#include "reports/CellValueScan.h"
#include "reports/ReportFiles.h"
#include "reports/XlsxFile.h"
#include "reports/ZT_BerEx.h"
#include "reports/ZT_BerXL.h"

#include "ReportTestGrid.h"
#include "platform/Clipboard.h"
#include "platform/LocaleFormats.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace reports;

namespace {

class SpreadsheetReport : public ::testing::Test {
protected:
    SpreadsheetReport()
    {
        NumberFormatText = QStringLiteral("0");
        DateFormatText = QStringLiteral("@");
        SetSystemDecimalSeparatorOverride(QLatin1Char(','));
    }
    ~SpreadsheetReport() override { SetSystemDecimalSeparatorOverride(QChar()); }

    QTemporaryDir tmp;
    testsupport::EnvGuard tmpdir{"TMPDIR", tmp.path()};
    testsupport::FakeHooks hooks;
    platform::TScopedClipboard clipboard;
    platform::ScopedLocaleFormats formats{
        platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"))};
    TBer_Intf_MsExcel97 report{QStringLiteral("Titel"), QString(), [] {}};

    const TWorksheet& Sheet(int i = 0) const { return report.Workbook().Sheet(i); }
    const TCellStyle& StyleOf(int row, int col, int sheet = 0) const
    {
        return report.Workbook().Styles()[Sheet(sheet).StyleAt(row, col)];
    }
};

} // namespace

TEST_F(SpreadsheetReport, LinesGoIntoColumnAAsTexts)
{
    report.WriteLine(QStringLiteral("Zähler"));
    report.AddLine(QStringLiteral("=1+1"));
    report.WriteLine(QString());
    report.WriteLines({QStringLiteral("a"), QString(), QString(300, QLatin1Char('x'))});
    EXPECT_EQ(Sheet().TextAt(0, 0), QStringLiteral("Zähler"));
    EXPECT_EQ(Sheet().KindAt(1, 0), TCellKind::Text);
    EXPECT_EQ(Sheet().TextAt(1, 0), QStringLiteral("=1+1"));
    EXPECT_EQ(Sheet().KindAt(2, 0), TCellKind::Empty);
    EXPECT_EQ(Sheet().TextAt(3, 0), QStringLiteral("a"));
    EXPECT_EQ(Sheet().TextAt(5, 0).size(), 255);
    EXPECT_EQ(Sheet().ActiveRow, 6);
}

TEST_F(SpreadsheetReport, TableBlockGreyHeaderNumbersRightAlignedAndBelowIt)
{
    report.WriteLine(QStringLiteral("Titel"));
    platform::TStringGridModel grid;
    reporttest::StandardGrid(grid);
    report.WriteTable(grid);
    const TWorksheet& s = Sheet();
    // The hidden marker column is left out: the table starts in column A.
    EXPECT_EQ(s.TextAt(1, 0), QStringLiteral("Zeit"));
    EXPECT_EQ(s.TextAt(1, 1), QStringLiteral("Zählerstand"));
    EXPECT_EQ(StyleOf(1, 3).Fill, HeaderColor);
    EXPECT_TRUE(StyleOf(1, 3).HasFill);
    EXPECT_EQ(StyleOf(1, 0).NumberFormat, QStringLiteral("0")) << "the header takes the format before the scan";
    // The fixed column: grey, its time stamps the spreadsheet's date-times.
    EXPECT_EQ(s.KindAt(2, 0), TCellKind::Number);
    EXPECT_DOUBLE_EQ(s.NumberAt(2, 0), 38384.25);
    EXPECT_EQ(StyleOf(2, 0).NumberFormat, QStringLiteral("dd.MM.yyyy HH:mm"));
    EXPECT_TRUE(StyleOf(2, 0).HasFill);
    // Values: the first three value columns hold a text ("a|b"), so all go in
    // as texts, right-aligned.
    EXPECT_EQ(s.KindAt(2, 1), TCellKind::Text);
    EXPECT_EQ(StyleOf(2, 1).Align, THorzAlign::Right);
    EXPECT_FALSE(StyleOf(2, 1).HasFill);
    EXPECT_EQ(s.KindAt(3, 2), TCellKind::Empty) << "an empty cell stays empty";
    EXPECT_EQ(Sheet().StyleAt(3, 2), Sheet().StyleAt(2, 2)) << "and keeps the block's format and alignment";
    EXPECT_EQ(s.TextAt(4, 3), QStringLiteral("=1+1"));
    // Print titles name what was written.
    EXPECT_EQ(s.PrintTitleFirstRow, 1);
    EXPECT_EQ(s.PrintTitleLastRow, 1);
    EXPECT_EQ(s.PrintTitleFirstCol, 0);
    EXPECT_EQ(s.PrintTitleLastCol, 0);
    EXPECT_EQ(s.ActiveRow, 5);
    EXPECT_EQ(s.ActiveCol, 0);
}

TEST_F(SpreadsheetReport, NumbersWithTheirDecimalsAndTheFormatKeptForTheNextTable)
{
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "Zeit", "A", "B"},
                                {"", "01.02.2005", "12346,25", "1.50"},
                                {"", "02.02.2005", "", "  22.5000"},
                                {"", "03.02.2005", "-3", "12,75"}});
    report.WriteTable(grid);
    const TWorksheet& s = Sheet();
    EXPECT_EQ(s.KindAt(1, 1), TCellKind::Number);
    EXPECT_DOUBLE_EQ(s.NumberAt(1, 1), 12346.25);
    EXPECT_DOUBLE_EQ(s.NumberAt(1, 2), 1.5);
    EXPECT_DOUBLE_EQ(s.NumberAt(3, 2), 12.75);
    EXPECT_DOUBLE_EQ(s.NumberAt(2, 2), 22.5);
    EXPECT_DOUBLE_EQ(s.NumberAt(3, 1), -3);
    EXPECT_EQ(s.KindAt(2, 1), TCellKind::Empty);
    EXPECT_EQ(StyleOf(2, 1).NumberFormat, QStringLiteral("0,00")) << "an empty value cell carries the block's format";
    EXPECT_EQ(StyleOf(2, 1).Align, THorzAlign::Right);
    // The last cell with a separator decides; the system's comma is used.
    EXPECT_EQ(NumberFormatText, QStringLiteral("0,00"));
    EXPECT_EQ(StyleOf(1, 1).NumberFormat, QStringLiteral("0,00"));
    EXPECT_EQ(StyleOf(1, 1).Align, THorzAlign::Right);
    EXPECT_EQ(DateFormatText, QStringLiteral("TT.MM.JJJJ"));

    // The second export's header and fixed column get the format of the first scan.
    report.WriteLine(QString());
    const int top = s.ActiveRow;
    platform::TStringGridModel second;
    reporttest::FillGrid(second, {{"", "Zeit", "C"}, {"", "x", "7"}});
    report.WriteTable(second);
    EXPECT_EQ(StyleOf(top, 0).NumberFormat, QStringLiteral("0,00"));
    EXPECT_EQ(StyleOf(top + 1, 0).NumberFormat, QStringLiteral("0,00"));
}

TEST_F(SpreadsheetReport, ValuesBeyondTheScannedColumnsAreClassified)
{
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "Zeit", "A", "B", "C", "D"},
                                {"", "x", "1", "2", "3", "01.02.2005"},
                                {"", "y", "1", "2", "3", "12:30"},
                                {"", "z", "1", "2", "3", "01.02.2005 06:00"},
                                {"", "w", "1", "2", "3", "(  22.5000)"},
                                {"", "v", "1", "2", "3", "Störung"}});
    report.WriteTable(grid);
    const TWorksheet& s = Sheet();
    EXPECT_DOUBLE_EQ(s.NumberAt(1, 4), 38384.0);
    EXPECT_EQ(StyleOf(1, 4).NumberFormat, QStringLiteral("TT.MM.JJJJ"));
    EXPECT_DOUBLE_EQ(s.NumberAt(2, 4), 12.5 / 24);
    EXPECT_EQ(StyleOf(2, 4).NumberFormat, QStringLiteral("hh:mm"));
    EXPECT_DOUBLE_EQ(s.NumberAt(3, 4), 38384.25);
    EXPECT_EQ(StyleOf(3, 4).NumberFormat, QStringLiteral("TT.MM.JJJJ hh:mm"));
    EXPECT_DOUBLE_EQ(s.NumberAt(4, 4), 22.5);
    EXPECT_EQ(StyleOf(4, 4).NumberFormat, QStringLiteral("@"));
    // A text that holds no value stays a text, never the number 0.
    EXPECT_EQ(s.KindAt(5, 4), TCellKind::Text);
    EXPECT_EQ(s.TextAt(5, 4), QStringLiteral("Störung"));
}

TEST_F(SpreadsheetReport, ShortDateWithSlashesBecomesTheDateFormat)
{
    platform::ScopedLocaleFormats us(platform::LocaleFormats(QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP")));
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "Zeit", "A", "B", "C", "D"}, {"", "x", "1", "2", "3", "2/1/2005"}});
    report.WriteTable(grid);
    EXPECT_EQ(DateFormatText, QStringLiteral("M/d/yyyy"));
    EXPECT_DOUBLE_EQ(Sheet().NumberAt(1, 4), 38384.0);
}

TEST_F(SpreadsheetReport, CellColourAskedPerValueCell)
{
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "Zeit", "A", "B"}, {"", "x", "1", ""}, {"", "y", "2", "3"}});
    std::vector<std::pair<int, int>> asked;
    report.OnCellColor = [&](const platform::TStringGridModel&, uint16_t col, int row, bool,
                             platform::TColor& colour) {
        asked.emplace_back(col, row);
        colour = platform::clYellow;
        return col == 3;
    };
    report.WriteTable(grid);
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{2, 1}, {2, 2}, {3, 1}, {3, 2}}));
    EXPECT_FALSE(StyleOf(1, 1).HasFill);
    EXPECT_TRUE(StyleOf(1, 2).HasFill) << "a shaded empty cell keeps its fill";
    EXPECT_EQ(Sheet().KindAt(1, 2), TCellKind::Empty);
    EXPECT_EQ(StyleOf(2, 2).Fill, platform::clYellow);
    EXPECT_EQ(StyleOf(2, 2).Align, THorzAlign::Right);
}

TEST_F(SpreadsheetReport, AllFixedColumnsHiddenSkipsTheFixedBlockQuietly)
{
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "A", "B"}, {"", "1", "2"}}, 1);
    report.WriteTable(grid);
    EXPECT_TRUE(hooks.messageBoxes.empty());
    EXPECT_EQ(Sheet().PrintTitleFirstCol, -1);
    // The values start in column A, never left of the table.
    EXPECT_DOUBLE_EQ(Sheet().NumberAt(1, 0), 1);
    EXPECT_DOUBLE_EQ(Sheet().NumberAt(1, 1), 2);
}

TEST_F(SpreadsheetReport, TableBeyondTheLastRowIsReportedAndTheCellMovesOn)
{
    report.SkipLines((XlsxMaxRows - 3) * TBer_Intf_MsExcel97::RowHeightPt);
    ASSERT_EQ(Sheet().ActiveRow, XlsxMaxRows - 3);
    platform::TStringGridModel grid;
    reporttest::StandardGrid(grid);
    report.WriteTable(grid);
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes[0].Text, QStringLiteral("Excel-Error: Too many lines: %1").arg(XlsxMaxRows - 2 + 4));
    EXPECT_EQ(Sheet().TextAt(XlsxMaxRows - 3, 0), QStringLiteral("Zeit"));
    EXPECT_EQ(Sheet().KindAt(XlsxMaxRows - 2, 1), TCellKind::Empty);
    EXPECT_EQ(Sheet().ActiveRow, XlsxMaxRows - 1);
}

TEST_F(SpreadsheetReport, SkipLinesNewPageAndFirstSheet)
{
    report.SkipLines(30);
    EXPECT_EQ(Sheet().ActiveRow, 2);
    report.SkipLines(14);
    EXPECT_EQ(Sheet().ActiveRow, 2);
    report.NewPage();
    EXPECT_EQ(report.CurrentSheet(), 1);
    report.WriteLine(QStringLiteral("Seite 2"));
    EXPECT_EQ(Sheet(1).TextAt(0, 0), QStringLiteral("Seite 2"));
    report.ActivateFirstSheet();
    report.NewPage();
    EXPECT_EQ(report.CurrentSheet(), 1) << "the new sheet goes right after the current one";
    EXPECT_EQ(report.Workbook().SheetCount(), 3);
    EXPECT_EQ(Sheet(2).TextAt(0, 0), QStringLiteral("Seite 2"));
}

TEST_F(SpreadsheetReport, PastedChartAndInsertedGraphic)
{
    platform::TClipboardContent chart;
    chart.SetFormat(QString::fromLatin1(platform::MimeWmf), QByteArray("wmf"));
    chart.SetFormat(QString::fromLatin1(platform::MimePng), reporttest::Png(60, 40));
    platform::SetClipboardContent(chart);
    report.WriteLine(QStringLiteral("x"));
    report.PasteFromClipboard();
    report.AfterPaste();
    ASSERT_EQ(Sheet().Pictures.size(), 1u);
    EXPECT_EQ(Sheet().Pictures[0].Row, 1);
    EXPECT_EQ(Sheet().Pictures[0].WidthPx, 60);
    EXPECT_EQ(Sheet().ActiveRow, 1);

    TReportGraphic graphic;
    graphic.Content.SetFormat(QString::fromLatin1(platform::MimePng), reporttest::Png(20, 20));
    graphic.HeightPt = 45;
    report.InsertGraphic(graphic);
    EXPECT_EQ(Sheet().Pictures.size(), 2u);
    EXPECT_EQ(Sheet().ActiveRow, 4) << "moves below the picture's height";

    platform::SetClipboardText(QStringLiteral("a\tb\n\tc\n"));
    report.PasteFromClipboard();
    EXPECT_EQ(Sheet().TextAt(4, 1), QStringLiteral("b"));
    EXPECT_EQ(Sheet().TextAt(5, 1), QStringLiteral("c"));
    EXPECT_EQ(Sheet().KindAt(5, 0), TCellKind::Empty);
}

TEST_F(SpreadsheetReport, UnfinishedSlotsSayNotImplemented)
{
    report.WriteAligned(QStringLiteral("x"), raRight);
    report.SetOrientation(roLandscape);
    report.PrintDialog();
    report.Print(1, 2);
    report.Preview();
    EXPECT_EQ(report.GetLine(0), QString());
    EXPECT_EQ(report.GetLineCount(), 0);
    report.SetLine(0, QStringLiteral("x"));
    EXPECT_FALSE(report.IsVisible());
    report.Clear(QString());
    report.SetCaption(QString());
    report.LoadFromFile(QStringLiteral("/nowhere.xlsx"));
    ASSERT_EQ(hooks.messageBoxes.size(), 12u);
    for (const auto& box : hooks.messageBoxes) {
        EXPECT_EQ(box.Text, QStringLiteral("Zur Zeit noch nicht implementiert !"));
        EXPECT_EQ(box.Flags, platform::mb::Ok);
    }
    // Fonts are the spreadsheet's own: SetFont says nothing.
    report.SetFont(QStringLiteral("Arial"), 9, rfsBold);
    report.SetFontFrom(QFont(QStringLiteral("Arial")));
    EXPECT_EQ(hooks.messageBoxes.size(), 12u);
}

TEST_F(SpreadsheetReport, ShowResultWritesAFileOfItsOwnAndOpensItOnce)
{
    report.WriteLine(QStringLiteral("x"));
    report.NewPage();
    EXPECT_FALSE(report.ShowResult(false));
    EXPECT_TRUE(hooks.openedDocuments.empty());
    ASSERT_TRUE(report.ShowResult(true));
    EXPECT_EQ(report.CurrentSheet(), 0);
    ASSERT_EQ(hooks.openedDocuments.size(), 1u);
    const QString file = hooks.openedDocuments[0];
    EXPECT_TRUE(file.contains(QStringLiteral("/Berichte/Bericht-")));
    EXPECT_TRUE(file.endsWith(QStringLiteral(".xlsx")));
    EXPECT_TRUE(testsupport::readFile(file).startsWith("PK"));

    EXPECT_TRUE(hooks.messageBoxes.empty());

    // Written but opened by no program: done all the same, and one message
    // says where the file is.
    hooks.openDocumentResult = false;
    EXPECT_TRUE(report.ShowResult(true));
    ASSERT_EQ(hooks.openedDocuments.size(), 2u);
    EXPECT_NE(hooks.openedDocuments[1], file);
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_TRUE(hooks.messageBoxes[0].Text.endsWith(QLatin1Char('\n') + hooks.openedDocuments[1]))
        << hooks.messageBoxes[0].Text.toStdString();
    EXPECT_TRUE(testsupport::readFile(hooks.openedDocuments[1]).startsWith("PK"));
    EXPECT_TRUE(hooks.kindMessages.empty());
}

TEST_F(SpreadsheetReport, SaveToFileWritesTheWorkbookOrFailsLoudly)
{
    report.WriteLine(QStringLiteral("x"));
    const QString file = tmp.filePath(QStringLiteral("s.xlsx"));
    report.SaveToFile(file);
    EXPECT_TRUE(testsupport::readFile(file).startsWith("PK"));
    EXPECT_THROW(report.SaveToFile(tmp.filePath(QStringLiteral("no/dir/s.xlsx"))), EReportFileError);
}

TEST_F(SpreadsheetReport, FactoryMakesTheSpreadsheetForKindTwo)
{
    InstallReportBackends();
    TBer_Export chooser;
    chooser.Init(QStringLiteral("T"), QString(), ReportKindSpreadsheet, [] {});
    ASSERT_TRUE(chooser.HasReport());
    EXPECT_NE(dynamic_cast<TBer_Intf_MsExcel97*>(chooser.Report()), nullptr);
    chooser.Done();
}

// ---- The file, read back ---------------------------------------------------------

namespace {

QString Part(const QString& file, const QString& part)
{
    const auto r = testsupport::runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), file, part});
    EXPECT_EQ(r.exitCode, 0) << part.toStdString();
    return QString::fromUtf8(r.out);
}

void WriteSampleReport(TBer_Intf_MsExcel97& report)
{
    report.WriteLine(QStringLiteral("Zählerstände Gerät 0012345"));
    report.WriteLine(QStringLiteral("=1+1"));
    report.WriteLine(QString());
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "Zeit", "Zählerstand", "Differenz", "Status"},
                                {"", "01.02.2005 06:00", "12346,25", "1,50", "0"},
                                {"1", "01.02.2005 06:15", "12347,75", "", "1"},
                                {"", "01.02.2005 06:30", "12349,00", "1,25", "0"}});
    report.WriteTable(grid);
    report.WriteLine(QString());
    report.NewPage();
    platform::TClipboardContent chart;
    chart.SetFormat(QString::fromLatin1(platform::MimePng), reporttest::Png(50, 30));
    platform::SetClipboardContent(chart);
    report.PasteFromClipboard();
}

} // namespace

TEST_F(SpreadsheetReport, XlsxPartsHoldTheReport)
{
    REQUIRE_TOOL("unzip");
    WriteSampleReport(report);
    const QString file = tmp.filePath(QStringLiteral("r.xlsx"));
    report.SaveToFile(file);
    const QString sheet = Part(file, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QString styles = Part(file, QStringLiteral("xl/styles.xml"));
    const QString workbook = Part(file, QStringLiteral("xl/workbook.xml"));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<is><t>Zählerstände Gerät 0012345</t></is>"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"A2\" t=\"inlineStr\"><is><t>=1+1</t></is></c>")));
    EXPECT_FALSE(sheet.contains(QStringLiteral("<f>")));
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<c r=\"A5\" s=\"\\d+\"><v>38384.25</v></c>"))));
    EXPECT_TRUE(styles.contains(QStringLiteral("formatCode=\"dd.mm.yyyy hh:mm\"")));
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<c r=\"B5\" s=\"\\d+\"><v>12346.25</v></c>"))));
    // The empty difference stays empty (no value, never 0), with the block's
    // format and alignment.
    const QRegularExpressionMatch c6 =
        QRegularExpression(QStringLiteral("<c r=\"C6\" s=\"(\\d+)\"/>")).match(sheet);
    ASSERT_TRUE(c6.hasMatch()) << sheet.toStdString();
    const QRegularExpressionMatch c5 =
        QRegularExpression(QStringLiteral("<c r=\"C5\" s=\"(\\d+)\"><v>")).match(sheet);
    ASSERT_TRUE(c5.hasMatch());
    EXPECT_EQ(c6.captured(1), c5.captured(1)) << "the empty cell has its neighbours' style";
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<c r=\"D5\" s=\"\\d+\"><v>0</v></c>"))));
    EXPECT_TRUE(styles.contains(QStringLiteral("formatCode=\"0.00\""))) << styles.toStdString();
    EXPECT_TRUE(styles.contains(QStringLiteral("<fgColor rgb=\"FF808080\"/>")));
    EXPECT_TRUE(workbook.contains(QStringLiteral("Tabelle1!$A:$A,Tabelle1!$4:$4"))) << workbook.toStdString();
    EXPECT_TRUE(workbook.contains(QStringLiteral("name=\"Tabelle2\"")));
    const QString second = Part(file, QStringLiteral("xl/worksheets/sheet2.xml"));
    EXPECT_TRUE(second.contains(QStringLiteral("<drawing ")));
    const auto list = testsupport::runTool(QStringLiteral("unzip"), {QStringLiteral("-l"), file});
    EXPECT_TRUE(list.out.contains("xl/media/image1.png"));
}

TEST_F(SpreadsheetReport, XlsxDatesAreSerials)
{
    REQUIRE_TOOL("unzip");
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "Zeit", "A", "B", "C", "D"}, {"", "x", "1", "2", "3", "01.02.2005"}});
    report.WriteTable(grid);
    const QString file = tmp.filePath(QStringLiteral("d.xlsx"));
    report.SaveToFile(file);
    EXPECT_TRUE(Part(file, QStringLiteral("xl/worksheets/sheet1.xml")).contains(QStringLiteral("<v>38384</v>")));
    EXPECT_TRUE(Part(file, QStringLiteral("xl/styles.xml")).contains(QStringLiteral("formatCode=\"dd.mm.yyyy\"")));
}

TEST_F(SpreadsheetReport, LibreOfficeReadsEveryCell)
{
    REQUIRE_TOOL("soffice");
    WriteSampleReport(report);
    const QString file = tmp.filePath(QStringLiteral("lo.xlsx"));
    report.SaveToFile(file);
    QTemporaryDir out;
    QString error;
    const QString csv = testsupport::convertWithLibreOffice(
        file, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), out.path(), &error);
    ASSERT_FALSE(csv.isEmpty()) << error.toStdString();
    const QString text = QString::fromUtf8(testsupport::readFile(csv));
    const QStringList lines = text.trimmed().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 7) << text.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Zählerstände Gerät 0012345,,,"));
    EXPECT_EQ(lines[1], QStringLiteral("=1+1,,,"));
    EXPECT_EQ(lines[3], QStringLiteral("Zeit,Zählerstand,Differenz,Status"));
    EXPECT_EQ(lines[4], QStringLiteral("01.02.2005 06:00,12346.25,1.50,0.00"))
        << text.toStdString();
    EXPECT_EQ(lines[5], QStringLiteral("01.02.2005 06:15,12347.75,,1.00"));
    EXPECT_EQ(lines[6], QStringLiteral("01.02.2005 06:30,12349.00,1.25,0.00"));
}

// ---- Column widths: the table's cells decide, the title lines overflow --------------

namespace {

void WriteLongTitledReport(TBer_Intf_MsExcel97& report)
{
    report.WriteLine(QStringLiteral("Zählerstände: 01.09.2026 00:00:00=12345,6, 30.09.2026 23:45:00=14705,1, "
                                    "Diff.=2359.5000"));
    report.AddText(QStringLiteral("Gerät 71234561 / 31415, Zeitraum 01.09.2026 00:00:00 bis 30.09.2026 23:45:00, "
                                  "Werte in kWh"));
    report.WriteLine(QString());
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "Zeit", "Zählerstand", "Differenz"},
                                {"", "01.09.2026 00:00:00", "12345,60", "0,10"},
                                {"", "01.09.2026 00:15:00", "12345,70", "0,10"},
                                {"", "01.09.2026 00:30:00", "12345,85", "0,15"}});
    report.WriteTable(grid);
}

double ColumnWidth(const QString& sheetXml, int column)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("<col min=\"%1\" max=\"%1\" width=\"([0-9.]+)\"").arg(column))
            .match(sheetXml);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

} // namespace

TEST_F(SpreadsheetReport, OnlyTableCellsWidenTheirColumns)
{
    WriteLongTitledReport(report);
    const TWorksheet& s = Sheet();
    // The title lines overflow into the empty cells beside them.
    EXPECT_EQ(s.ColumnChars(0), 19) << "the longest time stamp, not the title lines";
    EXPECT_EQ(s.ColumnChars(1), 11) << "the header \"Zählerstand\"";
    EXPECT_EQ(s.ColumnChars(2), 9);

    // Text pasted into the sheet and lines below the table do not widen either.
    platform::TClipboardContent pasted;
    pasted.HasText = true;
    pasted.Text = QStringLiteral("ein langer eingefügter Text ohne Tabulator, der überläuft\n");
    platform::SetClipboardContent(pasted);
    report.PasteFromClipboard();
    report.WriteLine(QStringLiteral("Ende des Berichts mit einer langen Bemerkung, die über die Spalten läuft"));
    EXPECT_EQ(s.ColumnChars(0), 19);
}

TEST_F(SpreadsheetReport, XlsxColumnWidthFollowsTheTable)
{
    REQUIRE_TOOL("unzip");
    WriteLongTitledReport(report);
    const QString file = tmp.filePath(QStringLiteral("w.xlsx"));
    report.SaveToFile(file);
    const QString sheet = Part(file, QStringLiteral("xl/worksheets/sheet1.xml"));
    const double a = ColumnWidth(sheet, 1);
    EXPECT_GT(a, 19.0) << sheet.toStdString();
    EXPECT_LT(a, 25.0) << "column A fits the time stamps, not the title lines\n" << sheet.toStdString();
    EXPECT_GT(ColumnWidth(sheet, 2), 11.0);
}

TEST_F(SpreadsheetReport, PrintedTimeStampsShareThePageWithTheirValues)
{
    REQUIRE_TOOL("soffice");
    REQUIRE_TOOL("pdfinfo");
    REQUIRE_TOOL("pdftotext");
    WriteLongTitledReport(report);
    const QString file = tmp.filePath(QStringLiteral("p.xlsx"));
    report.SaveToFile(file);
    QTemporaryDir out;
    QString error;
    const QString pdf = testsupport::convertWithLibreOffice(file, QStringLiteral("pdf"), out.path(), &error);
    ASSERT_FALSE(pdf.isEmpty()) << error.toStdString();
    // The table fits one page, and so do the title lines: they wrap within
    // the table's width instead of running on to a page of their own.
    const auto info = testsupport::runTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch pagesLine =
        QRegularExpression(QStringLiteral("Pages: +(\\d+)")).match(QString::fromUtf8(info.out));
    ASSERT_TRUE(pagesLine.hasMatch()) << info.out.toStdString();
    EXPECT_EQ(pagesLine.captured(1).toInt(), 1) << info.out.toStdString();
    const QString text = QString::fromUtf8(
        testsupport::runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).out);
    // The first page holds the titles, the time stamps and their values, each
    // time stamp on the line of its value.
    const QString first = text.section(QLatin1Char('\f'), 0, 0);
    EXPECT_TRUE(first.simplified().contains(QStringLiteral("Zählerstände: 01.09.2026 00:00:00=12345,6, "
                                                           "30.09.2026 23:45:00=14705,1, Diff.=2359.5000")))
        << text.toStdString();
    const QRegularExpression row(QStringLiteral("^ *01\\.09\\.2026 00:(00|15|30):00 +12345[.,]\\d\\d +0[.,]1\\d$"),
                                 QRegularExpression::MultilineOption);
    EXPECT_EQ(first.count(row), 3) << text.toStdString();
}
