// The word-processor report: its light document, the operations of the back
// end on it, the RTF file read back by unrtf and LibreOffice, and the result
// shown through the document opener.
#include "reports/ReportFiles.h"
#include "reports/RtfReader.h"
#include "reports/WordDocument.h"
#include "reports/WordRtf.h"
#include "reports/WordTextDocument.h"
#include "reports/ZT_BerEx.h"
#include "reports/ZT_BerWd.h"

#include "ReportTestGrid.h"
#include "platform/Clipboard.h"
#include "platform/Printer.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <numeric>

#include <gtest/gtest.h>

using namespace reports;

namespace {

class WordReport : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    testsupport::EnvGuard tmpdir{"TMPDIR", tmp.path()};
    testsupport::FakeHooks hooks;
    platform::TScopedClipboard clipboard;
    TBer_Intf_MsWord97 report{QStringLiteral("Titel"), QString(), [] {}};

    const TWpDocument& Doc() const { return report.Document(); }
    // Texts of the paragraphs in order (tables shown as "[table]").
    QStringList Blocks() const
    {
        QStringList out;
        for (const TWpBlock& b : Doc().Blocks())
            out << (b.IsTable ? QStringLiteral("[table]") : Doc().Paragraph(b).Text());
        return out;
    }
    const TWpTable& FirstTable() const
    {
        for (const TWpBlock& b : Doc().Blocks())
            if (b.IsTable)
                return Doc().Table(b);
        throw std::runtime_error("no table");
    }
    QString WriteFile(const QString& name)
    {
        const QString file = tmp.filePath(name);
        report.SaveToFile(file);
        return file;
    }
};

} // namespace

TEST(WordDocument, TypingSplitsAndKeepsFormatsAtThePosition)
{
    TWpDocument doc;
    TWpCharFormat bold;
    bold.Bold = true;
    doc.TypeText(u"Hallo ");
    doc.SetCurrentFormat(bold);
    doc.TypeText(u"Welt");
    doc.TypeParagraph();
    doc.TypeText(u"zwei");
    ASSERT_EQ(doc.Blocks().size(), 2u);
    const TWpParagraph& first = doc.Paragraph(doc.Blocks()[0]);
    ASSERT_EQ(first.Runs.size(), 2u);
    EXPECT_EQ(first.Runs[0].Text, QStringLiteral("Hallo "));
    EXPECT_TRUE(doc.Formats()[first.Runs[1].Format].Bold);
    EXPECT_EQ(doc.LineText(1), QStringLiteral("zwei"));

    // Typing in the middle after moving to the start, then a paragraph mark
    // there moves the rest into the next paragraph.
    doc.MoveToStart();
    doc.TypeText(u">");
    doc.TypeParagraph();
    EXPECT_EQ(doc.LineCount(), 3);
    EXPECT_EQ(doc.LineText(0), QStringLiteral(">"));
    EXPECT_EQ(doc.LineText(1), QStringLiteral("Hallo Welt"));
}

TEST(WordDocument, TableGoesBeforeThePositionsParagraphAndCountsItsCellsAsLines)
{
    TWpDocument doc;
    doc.TypeText(u"vor");
    doc.TypeParagraph();
    auto table = std::make_unique<TWpTable>(2, 2);
    for (const char16_t* t : {u"a", u"b", u"c", u""})
        table->AppendCell(t);
    doc.InsertTable(std::move(table));
    doc.TypeText(u"nach");
    ASSERT_EQ(doc.Blocks().size(), 3u);
    EXPECT_TRUE(doc.Blocks()[1].IsTable);
    EXPECT_EQ(doc.LineCount(), 6);
    EXPECT_EQ(doc.LineText(3), QStringLiteral("c"));
    EXPECT_EQ(doc.LineText(5), QStringLiteral("nach"));
    EXPECT_TRUE(doc.SetLineText(2, u"BB"));
    EXPECT_TRUE(doc.SetLineText(4, u"dd"));
    EXPECT_EQ(doc.LineText(2), QStringLiteral("BB"));
    EXPECT_EQ(doc.LineText(3), QStringLiteral("c"));
    EXPECT_EQ(doc.LineText(4), QStringLiteral("dd"));
    EXPECT_FALSE(doc.SetLineText(6, u"x"));
}

TEST_F(WordReport, LinesAlignmentSkipsAndPageBreak)
{
    report.SetFont(QStringLiteral("Arial"), 14, rfsBold);
    report.WriteLine(QStringLiteral("Titel"));
    report.WriteAligned(QStringLiteral("rechts"), raRight);
    report.WriteLine(QStringLiteral("links"));
    report.WriteAligned(QStringLiteral("mitte"), raCentre);
    report.SkipLines(25);
    report.SkipLines(9);
    report.NewPage();
    report.WriteLine(QStringLiteral("Seite 2"));
    const auto& blocks = Doc().Blocks();
    EXPECT_EQ(Blocks(), (QStringList{"Titel", "rechts", "links", "mitte", "", "", "", "Seite 2", ""}));
    EXPECT_EQ(Doc().Paragraph(blocks[1]).Align, TWpAlign::Right);
    EXPECT_EQ(Doc().Paragraph(blocks[2]).Align, TWpAlign::Left) << "the alignment before is restored";
    EXPECT_EQ(Doc().Paragraph(blocks[3]).Align, TWpAlign::Centre);
    EXPECT_EQ(Doc().Paragraph(blocks[4]).Align, TWpAlign::Left);
    EXPECT_TRUE(Doc().Paragraph(blocks[6]).PageBreakBefore);
    EXPECT_FALSE(Doc().Paragraph(blocks[7]).PageBreakBefore);
    const TWpCharFormat& f = Doc().Formats()[Doc().Paragraph(blocks[0]).Runs[0].Format];
    EXPECT_EQ(f.Font, QStringLiteral("Arial"));
    EXPECT_EQ(f.Size, 14);
    EXPECT_TRUE(f.Bold);
    EXPECT_FALSE(f.Italic);
}

TEST_F(WordReport, TableLeavesHiddenColumnsOutKeepsBarsInCellsAndDrawsItsLines)
{
    platform::TStringGridModel grid;
    reporttest::StandardGrid(grid);
    grid.SetColWidth(4, 0);   // the last column shows even at width 0
    report.SetFont(QStringLiteral("Courier New"), 9, 0);
    report.WriteTable(grid);
    EXPECT_EQ(Blocks(), (QStringList{"[table]", "", ""}));
    const TWpTable& t = FirstTable();
    ASSERT_EQ(t.Rows(), 4);
    ASSERT_EQ(t.Cols(), 4);
    EXPECT_EQ(t.Cell(0, 0), u"Zeit");
    EXPECT_EQ(t.Cell(1, 3), u"a|b");
    EXPECT_EQ(t.Cell(2, 2), u"");
    EXPECT_EQ(t.HeaderBottomRow, 0);
    EXPECT_EQ(t.RightBorderCol, 0) << "one fixed column shows: the line after it";
    EXPECT_EQ(t.FrameWidth, 30);
    EXPECT_EQ(t.CellAlign, TWpAlign::Centre);
    EXPECT_EQ(Doc().Formats()[t.Format].Font, QStringLiteral("Courier New"));
    // In a fixed-pitch font the longer column is the wider one.
    EXPECT_GT(t.ColWidths[0], t.ColWidths[2]);
    EXPECT_GT(t.ColWidths[2], 0);
}

TEST(WordDocument, TableWiderThanTheTextIsFittedToItBetweenWords)
{
    TWpTable t(1, 3);
    t.ColWidths = {2000, 3000, 1000};
    t.MinColWidths = {1000, 1000, 1000};
    // A table that fits keeps its widths, also exactly at the text's width.
    EXPECT_EQ(FittedColumnWidths(t, 6000), (std::vector<int>{2000, 3000, 1000}));
    // Wider: every column keeps its longest word; the 1,000 twips left are
    // shared by what the columns lack (1,000 and 2,000 twips).
    EXPECT_EQ(FittedColumnWidths(t, 4000), (std::vector<int>{1333, 1666, 1000}));
    // Not even the words fit: the least widths are scaled.
    EXPECT_EQ(FittedColumnWidths(t, 1500), (std::vector<int>{500, 500, 500}));
    // Without least widths the widths are scaled as they are.
    t.MinColWidths.clear();
    EXPECT_EQ(FittedColumnWidths(t, 3000), (std::vector<int>{1000, 1500, 500}));
    // Columns without a width count 1,440 twips.
    TWpTable bare(1, 2);
    EXPECT_EQ(FittedColumnWidths(bare, 9638), (std::vector<int>{1440, 1440}));
    EXPECT_EQ(WordTextWidth(false), 11906 - 2 * 1134);
    EXPECT_EQ(WordTextWidth(true), 16838 - 2 * 1134);
}

TEST_F(WordReport, WideTableStaysOnThePaperInTheReportsOrientation)
{
    // Seven columns in Courier New 9 need about 10,700 twips: more than the
    // upright page's text (9,638), less than the text across (14,570).
    platform::TStringGridModel grid;
    std::vector<std::vector<QString>> rows{{"", "Zeit"}, {"", "01.02.2005 06:00"}, {"", "01.02.2005 06:15"}};
    for (int c = 1; c <= 6; ++c) {
        rows[0].push_back(QStringLiteral("V%1-Differenz").arg(c));
        rows[1].push_back(QStringLiteral("123456,78"));
        rows[2].push_back(QStringLiteral("( 12,50)"));
    }
    reporttest::FillGrid(grid, rows);
    report.SetFont(QStringLiteral("Courier New"), 9, 0);
    report.WriteTable(grid);
    const TWpTable& t = FirstTable();
    ASSERT_EQ(t.Cols(), 7);
    // The time breaks between date and time, the header after its hyphen,
    // a number never.
    EXPECT_LT(t.MinColWidths[0], t.ColWidths[0]);
    EXPECT_LT(t.MinColWidths[1], t.ColWidths[1]);
    const int full = std::accumulate(t.ColWidths.begin(), t.ColWidths.end(), 0);
    ASSERT_GT(full, WordTextWidth(false));
    ASSERT_LT(full, WordTextWidth(true));

    auto lastEdge = [this](const QString& name) {
        const QString rtf = QString::fromLatin1(testsupport::readFile(WriteFile(name)));
        int last = 0;
        QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("\\\\cellx(\\d+)")).globalMatch(rtf);
        while (it.hasNext())
            last = std::max(last, it.next().captured(1).toInt());
        return last;
    };
    const int upright = lastEdge(QStringLiteral("upright.rtf"));
    EXPECT_LE(upright, WordTextWidth(false));
    EXPECT_GT(upright, WordTextWidth(false) - 12) << "the table takes the whole text width";
    report.SetOrientation(roLandscape);
    EXPECT_EQ(lastEdge(QStringLiteral("across.rtf")), full) << "across the page the table fits as it is";

    // The printout fits the table to the printer's page as well.
    QTextDocument text;
    WordToTextDocument(Doc(), text, 9000);
    QTextTable* table = nullptr;
    for (QTextFrame* frame : text.rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable*>(frame)) != nullptr)
            break;
    ASSERT_NE(table, nullptr);
    double sum = 0;
    for (const QTextLength& w : table->format().columnWidthConstraints())
        sum += w.rawValue();
    EXPECT_NEAR(sum, 9000 / 15.0, 0.5);
}

TEST_F(WordReport, LongTablesSayTheCellFormatOncePerRow)
{
    // 65,535 rows make the file: the table's font and alignment go once per
    // row, not once per cell.
    platform::TStringGridModel grid;
    std::vector<std::vector<QString>> rows{{"", "Zeit", "A", "B", "C"}};
    for (int r = 0; r < 200; ++r)
        rows.push_back({"", QStringLiteral("01.02.2005 %1").arg(r), "12346,25", "1,50", "0,25"});
    reporttest::FillGrid(grid, rows);
    report.SetFont(QStringLiteral("Courier New"), 9, 0);
    report.WriteTable(grid);
    const QByteArray rtf = testsupport::readFile(WriteFile(QStringLiteral("long.rtf")));
    EXPECT_EQ(rtf.count("\\row"), 201);
    EXPECT_EQ(rtf.count("\\intbl"), 201);
    EXPECT_LT(rtf.count("\\fs18"), 210) << "the rows and the few lines after the table";
    EXPECT_LT(rtf.size(), 201 * 4 * 70) << "no more than 70 bytes a cell, row definitions included";
}

TEST_F(WordReport, NoVisibleFixedColumnKeepsTheTableWithoutTheLine)
{
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "A", "B"}, {"", "1", "2"}}, 1);
    report.WriteTable(grid);
    const TWpTable& t = FirstTable();
    EXPECT_EQ(t.Cols(), 2);
    EXPECT_EQ(t.RightBorderCol, -1);
    for (const QString& line : Blocks())
        EXPECT_NE(line, QString::fromLatin1(TableTooBigText));
}

TEST_F(WordReport, NoHeaderRowKeepsTheTableWithoutTheHeaderLine)
{
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "x", "1"}, {"", "y", "2"}});
    grid.SetFixedRows(0);
    report.WriteTable(grid);
    const TWpTable& t = FirstTable();
    EXPECT_EQ(t.Rows(), 2);
    EXPECT_EQ(t.HeaderBottomRow, -1);
    EXPECT_EQ(t.RightBorderCol, 0);
}

TEST_F(WordReport, TooWideTableBecomesLinesAndSaysSo)
{
    platform::TStringGridModel grid;
    std::vector<std::vector<QString>> rows(2, std::vector<QString>(66));
    for (int c = 0; c < 66; ++c) {
        rows[0][std::size_t(c)] = QStringLiteral("H%1").arg(c);
        rows[1][std::size_t(c)] = QString::number(c);
    }
    reporttest::FillGrid(grid, rows);
    report.WriteTable(grid);
    const QStringList lines = Blocks();
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("H1|H2|")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1|2|3")));
    EXPECT_EQ(lines[2], QString::fromLatin1(TableTooBigText));
}

TEST_F(WordReport, RowShadingAskedPerRowWithTheWordProcessorsColours)
{
    platform::TStringGridModel grid;
    reporttest::StandardGrid(grid);
    std::vector<int> asked;
    report.OnCellColor = [&](const platform::TStringGridModel&, uint16_t col, int row, bool flag,
                             platform::TColor& colour) {
        EXPECT_EQ(col, 2);
        EXPECT_FALSE(flag);
        asked.push_back(row);
        colour = row == 2 ? platform::clYellow : 0xC0DCC0;
        return row >= 2;
    };
    report.WriteTable(grid);
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2, 3}));
    const TWpTable& t = FirstTable();
    EXPECT_EQ(t.RowShading, (std::vector<uint8_t>{0, 0, 7, 0}));
    EXPECT_EQ(TBer_Intf_MsWord97::WordColourIndex(platform::clRed), 6);
    EXPECT_EQ(TBer_Intf_MsWord97::WordColourIndex(0x123456), 0);
}

TEST_F(WordReport, LinesCountParagraphsAndCellsAndSetLineNeverMerges)
{
    report.WriteLine(QStringLiteral("eins"));
    report.WriteLine(QStringLiteral("zwei"));
    EXPECT_EQ(report.GetLineCount(), 3);
    report.SetLine(0, QStringLiteral("  neu\t"));
    EXPECT_EQ(report.GetLine(0), QStringLiteral("neu"));
    EXPECT_EQ(report.GetLine(1), QStringLiteral("zwei"));
    EXPECT_EQ(report.GetLineCount(), 3);
    report.WriteLine(QString(300, QLatin1Char('x')));
    EXPECT_EQ(report.GetLine(2).size(), 255);
}

TEST_F(WordReport, PastedChartIsAPictureInTheTextFlow)
{
    platform::TClipboardContent chart;
    chart.SetFormat(QString::fromLatin1(platform::MimeWmf), QByteArray("wmf bytes"));
    chart.SetFormat(QString::fromLatin1(platform::MimePng), reporttest::Png(64, 48));
    platform::SetClipboardContent(chart);
    report.NewPage();
    report.PasteFromClipboard();
    report.AfterPaste();
    ASSERT_EQ(Doc().Pictures().size(), 1u);
    EXPECT_EQ(Doc().Pictures()[0].Pixels, QSize(64, 48));
    const TWpParagraph& p = Doc().Paragraph(Doc().Blocks().back());
    ASSERT_EQ(p.Runs.size(), 1u);
    EXPECT_EQ(p.Runs[0].Picture, 0);

    TReportGraphic graphic;
    graphic.Content.SetFormat(QString::fromLatin1(platform::MimePng), reporttest::Png(10, 10));
    report.InsertGraphic(graphic);
    EXPECT_EQ(clipboard.setCalls.size(), 2u);
    EXPECT_EQ(Doc().Pictures().size(), 2u);
    EXPECT_EQ(Doc().Paragraph(Doc().Blocks().back()).Runs.size(), 0u) << "InsertGraphic ends the line";
}

TEST_F(WordReport, OrientationClearAndTheQuietOperations)
{
    report.SetOrientation(roLandscape);
    EXPECT_TRUE(Doc().Landscape);
    report.SetOrientation(7);
    EXPECT_TRUE(Doc().Landscape);
    report.SetOrientation(roPortrait);
    EXPECT_FALSE(Doc().Landscape);
    report.WriteLine(QStringLiteral("weg"));
    report.Clear(QStringLiteral("egal"));
    EXPECT_EQ(report.GetLineCount(), 1);
    EXPECT_EQ(report.GetLine(0), QString());
    report.PrintDialog();
    report.Preview();
    report.SetCaption(QStringLiteral("x"));
    EXPECT_TRUE(report.EnsureConnected());
    EXPECT_TRUE(hooks.messageBoxes.empty());
    EXPECT_TRUE(hooks.openedDocuments.empty());
}

TEST_F(WordReport, ShowResultWritesAFileOfItsOwnAndOpensItOnce)
{
    report.WriteLine(QStringLiteral("Bericht"));
    EXPECT_FALSE(report.IsVisible());
    ASSERT_TRUE(report.ShowResult(true));
    ASSERT_EQ(hooks.openedDocuments.size(), 1u);
    const QString file = hooks.openedDocuments[0];
    EXPECT_EQ(file, report.ResultFile());
    EXPECT_TRUE(file.startsWith(QDir(tmp.path()).absolutePath() + QLatin1Char('/')));
    EXPECT_TRUE(file.contains(QStringLiteral("/Berichte/Bericht-")));
    EXPECT_TRUE(file.endsWith(QStringLiteral(".rtf")));
    EXPECT_TRUE(testsupport::readFile(file).startsWith("{\\rtf1"));
    EXPECT_TRUE(report.IsVisible());

    // Another report never reuses the file.
    TBer_Intf_MsWord97 second(QString(), QString(), [] {});
    second.WriteLine(QStringLiteral("zwei"));
    ASSERT_TRUE(second.SetVisible(true));
    ASSERT_EQ(hooks.openedDocuments.size(), 2u);
    EXPECT_NE(hooks.openedDocuments[1], file);
    EXPECT_TRUE(QFile::exists(file));
}

TEST_F(WordReport, ShowResultSaysWhereAFileNoProgramOpenedIsAndFailsWhenItCannotBeWritten)
{
    // Written but opened by no program: the report is done, and one message
    // names the file with its full path.
    hooks.openDocumentResult = false;
    EXPECT_TRUE(report.ShowResult(true));
    ASSERT_EQ(hooks.openedDocuments.size(), 1u);
    const QString file = hooks.openedDocuments[0];
    EXPECT_TRUE(QFileInfo(file).isAbsolute());
    EXPECT_TRUE(testsupport::readFile(file).startsWith("{\\rtf1"));
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes[0].Text, NotOpenedText(file));
    EXPECT_TRUE(hooks.messageBoxes[0].Text.endsWith(QLatin1Char('\n') + file));
    EXPECT_EQ(hooks.messageBoxes[0].Flags & platform::mb::ButtonMask, platform::mb::Ok);
    EXPECT_FALSE(report.IsVisible());
    EXPECT_TRUE(hooks.kindMessages.empty());
    hooks.openDocumentResult = true;

    // The temporary folder lies below a plain file: nothing can be written.
    testsupport::writeFile(tmp.filePath(QStringLiteral("plain")), "x");
    testsupport::EnvGuard broken("TMPDIR", tmp.filePath(QStringLiteral("plain")));
    EXPECT_FALSE(report.ShowResult(true));
    EXPECT_EQ(hooks.openedDocuments.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes.size(), 1u);
}

TEST_F(WordReport, SaveToFileFailsLoudlyAndLoadReadsPlainText)
{
    EXPECT_THROW(report.SaveToFile(tmp.filePath(QStringLiteral("none/x.rtf"))), EReportFileError);
    testsupport::writeFile(tmp.filePath(QStringLiteral("t.txt")), "erste\r\nZ\xe4hler\r\n");
    TBer_Intf_MsWord97 loaded(QString(), tmp.filePath(QStringLiteral("t.txt")), [] {});
    EXPECT_EQ(loaded.GetLineCount(), 2);
    EXPECT_EQ(loaded.GetLine(1), QStringLiteral("Zähler"));
    // Writing starts where the word processor opens a file: at its top.
    loaded.WriteLine(QStringLiteral("neu"));
    EXPECT_EQ(loaded.GetLine(0), QStringLiteral("neu"));
}

TEST_F(WordReport, FactoryMakesTheWordProcessorForKindOne)
{
    InstallReportBackends();
    TBer_Export chooser;
    chooser.Init(QStringLiteral("T"), QString(), ReportKindWordProcessor, [] {});
    ASSERT_TRUE(chooser.HasReport());
    EXPECT_NE(dynamic_cast<TBer_Intf_MsWord97*>(chooser.Report()), nullptr);
    chooser.Done();
    EXPECT_FALSE(chooser.HasReport());
}

// ---- The file, read back ---------------------------------------------------------

namespace {

// The HTML of unrtf names the umlauts by entity.
QString DecodeEntities(QString html)
{
    const char* map[][2] = {{"&auml;", "ä"}, {"&ouml;", "ö"}, {"&uuml;", "ü"}, {"&Auml;", "Ä"}, {"&Ouml;", "Ö"},
                            {"&Uuml;", "Ü"}, {"&szlig;", "ß"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}};
    for (const auto& m : map)
        html.replace(QString::fromUtf8(m[0]), QString::fromUtf8(m[1]));
    return html;
}

// LibreOffice breaks long lines of its HTML.
QString Unwrapped(const QString& html)
{
    return QString(html).replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

void WriteSampleReport(TBer_Intf_MsWord97& report, platform::TStringGridModel& grid)
{
    report.SetFont(QStringLiteral("Courier New"), 10, rfsItalic);
    report.WriteLine(QStringLiteral("Zählerstände Gerät 0012345"));
    report.WriteLine(QStringLiteral("Zeitraum 01.02.2005 bis 02.02.2005"));
    report.WriteLine(QString());
    reporttest::StandardGrid(grid);
    report.SetFont(QStringLiteral("Courier New"), 9, 0);
    report.WriteTable(grid);
    report.WriteLine(QString());
    report.NewPage();
    platform::TClipboardContent chart;
    chart.SetFormat(QString::fromLatin1(platform::MimePng), reporttest::Png(120, 80, Qt::green));
    platform::SetClipboardContent(chart);
    report.PasteFromClipboard();
    report.AfterPaste();
}

} // namespace

TEST_F(WordReport, UnrtfReadsTextsCellsPageBreakAndPicture)
{
    REQUIRE_TOOL("unrtf");
    platform::TStringGridModel grid;
    WriteSampleReport(report, grid);
    const QString file = WriteFile(QStringLiteral("r.rtf"));
    QTemporaryDir out;
    const auto r = testsupport::runTool(QStringLiteral("unrtf"), {QStringLiteral("--html"), file}, out.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString html = DecodeEntities(QString::fromUtf8(r.out));
    for (const char* text : {"Gerät 0012345", "Zeitraum 01.02.2005", "<td", "Zählerstand", "12346,25",
                             "01.02.2005 06:15", "a|b", "Störung", "=1+1"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(text))) << text << "\n" << html.toStdString();
    EXPECT_EQ(html.count(QStringLiteral("<tr")), 4);
    EXPECT_TRUE(html.contains(QStringLiteral("page-break"), Qt::CaseInsensitive) || html.contains(QStringLiteral("<hr")))
        << html.toStdString();
    const QStringList pictures = QDir(out.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
    ASSERT_EQ(pictures.size(), 1) << html.toStdString();
    EXPECT_TRUE(html.contains(pictures[0]));
}

TEST_F(WordReport, LibreOfficeOpensTheDocument)
{
    REQUIRE_TOOL("soffice");
    platform::TStringGridModel grid;
    WriteSampleReport(report, grid);
    report.WriteLine(QStringLiteral("Ende"));
    const QString file = WriteFile(QStringLiteral("lo.rtf"));
    QTemporaryDir out;
    QString error;
    const QString html = testsupport::convertWithLibreOffice(file, QStringLiteral("html"), out.path(), &error);
    ASSERT_FALSE(html.isEmpty()) << error.toStdString();
    const QString text = Unwrapped(QString::fromUtf8(testsupport::readFile(html)));
    for (const char* t : {"Zählerstände Gerät 0012345", "Zeitraum 01.02.2005 bis 02.02.2005", "Zeit", "Zählerstand",
                          "Differenz", "Status", "01.02.2005 06:00", "01.02.2005 06:15", "01.02.2005 06:30",
                          "12346,25", "12347,75", "12349,00", "1,50", "1,25", "a|b", "Störung", "=1+1", "Ende"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(t))) << t << "\n" << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("<tr")), 4) << text.toStdString();
    // The marker column is left out.
    EXPECT_FALSE(text.contains(QStringLiteral(">1<")));
    EXPECT_TRUE(text.contains(QStringLiteral("page-break-before: always"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("<img"))) << text.toStdString();
}

TEST_F(WordReport, PrintsTheChosenPagesThroughThePrinter)
{
    REQUIRE_TOOL("pdftotext");
    platform::SetPrinter(nullptr);
    platform::TPrinterService& printer = platform::Printer();
    ASSERT_TRUE(printer.SetTarget(platform::PdfTargetName()));
    report.SetFont(QStringLiteral("DejaVu Sans"), 12, 0);
    report.WriteLine(QStringLiteral("Seite eins"));
    platform::TStringGridModel grid;
    reporttest::StandardGrid(grid);
    report.WriteTable(grid);
    report.NewPage();
    report.WriteLine(QStringLiteral("Seite zwei"));
    report.SetOrientation(roLandscape);

    const QString all = tmp.filePath(QStringLiteral("all.pdf"));
    printer.SetPdfFileName(all);
    report.Print(1, 99);
    auto info = testsupport::runTool(QStringLiteral("pdfinfo"), {all});
    EXPECT_TRUE(info.out.contains("Pages:           2")) << info.out.toStdString();
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size: +([0-9.]+) x ([0-9.]+)")).match(QString::fromUtf8(info.out));
    ASSERT_TRUE(size.hasMatch());
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()) << "landscape pages";
    EXPECT_EQ(printer.Orientation(), 0) << "the printer's orientation comes back";
    const QString text = QString::fromUtf8(
        testsupport::runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), all, QStringLiteral("-")}).out);
    EXPECT_TRUE(text.contains(QStringLiteral("Seite eins")));
    EXPECT_TRUE(text.contains(QStringLiteral("Zählerstand")));
    EXPECT_TRUE(text.contains(QStringLiteral("Seite zwei")));
    EXPECT_LT(text.indexOf(QStringLiteral("Seite eins")), text.indexOf(QStringLiteral("\f")));
    EXPECT_GT(text.indexOf(QStringLiteral("Seite zwei")), text.indexOf(QStringLiteral("\f")));

    const QString second = tmp.filePath(QStringLiteral("second.pdf"));
    printer.SetPdfFileName(second);
    report.Print(2, 2);
    const QString text2 = QString::fromUtf8(
        testsupport::runTool(QStringLiteral("pdftotext"), {second, QStringLiteral("-")}).out);
    EXPECT_FALSE(text2.contains(QStringLiteral("Seite eins")));
    EXPECT_TRUE(text2.contains(QStringLiteral("Seite zwei")));

    printer.SetPdfFileName(tmp.filePath(QStringLiteral("no/dir/x.pdf")));
    EXPECT_THROW(report.Print(1, 1), EReportFileError);
}

TEST(WordTextDocument, ModelGoesThroughATextDocumentAndBack)
{
    TWpDocument doc;
    TWpCharFormat big;
    big.Font = QStringLiteral("Arial");
    big.Size = 16;
    big.Bold = true;
    doc.SetCurrentFormat(big);
    doc.TypeText(u"Titel");
    doc.SetAlignment(TWpAlign::Centre);
    doc.TypeParagraph();
    doc.SetAlignment(TWpAlign::Left);
    auto table = std::make_unique<TWpTable>(2, 2);
    for (const char16_t* t : {u"Kopf", u"a|b", u"1,5", u""})
        table->AppendCell(t);
    table->ColWidths = {1500, 900};
    table->HeaderBottomRow = 0;
    doc.InsertTable(std::move(table));
    doc.TypeParagraph();
    doc.InsertPageBreak();
    doc.InsertPicture(reporttest::Png(30, 20), QSize(30, 20));
    doc.TypeParagraph();
    doc.TypeText(u"Ende");

    QTextDocument text;
    WordToTextDocument(doc, text);
    TWpDocument back;
    TextDocumentToWord(text, back);
    QStringList lines;
    for (int i = 0; i < back.LineCount(); ++i)
        lines << back.LineText(i);
    EXPECT_EQ(lines, (QStringList{"Titel", "Kopf", "a|b", "1,5", "", "", "", "Ende"}));
    const auto& blocks = back.Blocks();
    ASSERT_EQ(blocks.size(), 5u);
    EXPECT_EQ(back.Paragraph(blocks[0]).Align, TWpAlign::Centre);
    const TWpCharFormat& f = back.Formats()[back.Paragraph(blocks[0]).Runs[0].Format];
    EXPECT_EQ(f.Font, QStringLiteral("Arial"));
    EXPECT_EQ(f.Size, 16);
    EXPECT_TRUE(f.Bold);
    ASSERT_TRUE(blocks[1].IsTable);
    EXPECT_EQ(back.Table(blocks[1]).HeaderBottomRow, 0);
    EXPECT_EQ(back.Table(blocks[1]).ColWidths, (std::vector<int>{1500, 900}));
    EXPECT_TRUE(back.Paragraph(blocks[3]).PageBreakBefore);
    ASSERT_EQ(back.Pictures().size(), 1u);
    EXPECT_EQ(back.Pictures()[0].Pixels, QSize(30, 20));
}

// ---- Through the rich-text reader ---------------------------------------------------

namespace {

struct TReadBack {
    QStringList blocks;             // texts of the top-level paragraphs
    std::vector<Qt::Alignment> aligns;
    std::vector<bool> pageBreaks;
    QTextTable* table = nullptr;
    int images = 0;
};

TReadBack ReadBack(QTextDocument& doc)
{
    TReadBack out;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) {
            if (out.table == nullptr)
                out.table = t;
            continue;
        }
        const QTextBlock b = it.currentBlock();
        if (!b.isValid())
            continue;
        out.blocks << b.text();
        out.aligns.push_back(b.blockFormat().alignment());
        out.pageBreaks.push_back((b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) != 0);
        for (auto f = b.begin(); !f.atEnd(); ++f)
            if (f.fragment().charFormat().isImageFormat())
                ++out.images;
    }
    return out;
}

} // namespace

TEST_F(WordReport, RichTextReaderSeesLinesCellsBordersAlignmentPageBreakAndPicture)
{
    platform::TStringGridModel grid;
    report.WriteAligned(QStringLiteral("rechts"), raRight);
    WriteSampleReport(report, grid);
    report.SetOrientation(roLandscape);
    const QString file = WriteFile(QStringLiteral("reader.rtf"));
    QTextDocument doc;
    rtf::TRtfReadInfo info;
    ASSERT_TRUE(rtf::LoadRtfFile(file, &doc, &info));
    EXPECT_TRUE(info.Settings.Landscape);
    const TReadBack r = ReadBack(doc);
    ASSERT_GE(r.blocks.size(), 4);
    EXPECT_EQ(r.blocks[0], QStringLiteral("rechts"));
    EXPECT_TRUE(r.aligns[0] & Qt::AlignRight);
    EXPECT_EQ(r.blocks[1], QStringLiteral("Zählerstände Gerät 0012345"));
    EXPECT_FALSE(r.aligns[1] & Qt::AlignRight);
    EXPECT_EQ(r.blocks[2], QStringLiteral("Zeitraum 01.02.2005 bis 02.02.2005"));
    const int breaks = int(std::count(r.pageBreaks.begin(), r.pageBreaks.end(), true));
    EXPECT_EQ(breaks, 1);
    EXPECT_EQ(r.images, 1);

    ASSERT_NE(r.table, nullptr);
    QTextTable& t = *r.table;
    ASSERT_EQ(t.rows(), 4);
    ASSERT_EQ(t.columns(), 4);
    auto text = [&t](int row, int col) {
        const QTextTableCell cell = t.cellAt(row, col);
        QTextCursor c = cell.firstCursorPosition();
        c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return c.selectedText();
    };
    EXPECT_EQ(text(0, 1), QStringLiteral("Zählerstand"));
    EXPECT_EQ(text(1, 3), QStringLiteral("a|b"));
    EXPECT_EQ(text(3, 0), QStringLiteral("01.02.2005 06:30"));
    EXPECT_EQ(text(2, 2), QString());
    auto fmt = [&t](int row, int col) { return t.cellAt(row, col).format().toTableCellFormat(); };
    // The line under the header row, none under a data row.
    EXPECT_GT(fmt(0, 2).bottomBorder(), 0);
    EXPECT_EQ(fmt(1, 2).bottomBorder(), 0);
    // The line after the fixed column, none between value columns.
    EXPECT_GT(fmt(2, 0).rightBorder(), 0);
    EXPECT_EQ(fmt(2, 1).rightBorder(), 0);
    // The frame is wider than the inner lines.
    EXPECT_GT(fmt(0, 1).topBorder(), fmt(0, 1).bottomBorder());
    EXPECT_GT(fmt(3, 2).bottomBorder(), 0);
    EXPECT_GT(fmt(2, 3).rightBorder(), fmt(2, 0).rightBorder());
    EXPECT_GT(fmt(2, 0).leftBorder(), 0);
    // Cells are centred.
    EXPECT_TRUE(t.cellAt(1, 1).firstCursorPosition().blockFormat().alignment() & Qt::AlignHCenter);
}

TEST_F(WordReport, LoadFromFileReadsAnRtfReport)
{
    platform::TStringGridModel grid;
    WriteSampleReport(report, grid);
    report.SetOrientation(roLandscape);
    const QString file = WriteFile(QStringLiteral("load.rtf"));
    TBer_Intf_MsWord97 loaded(QString(), file, [] {});
    EXPECT_TRUE(loaded.Document().Landscape);
    EXPECT_EQ(loaded.GetLine(0), QStringLiteral("Zählerstände Gerät 0012345"));
    QStringList lines;
    for (int i = 0; i < loaded.GetLineCount(); ++i)
        lines << loaded.GetLine(uint16_t(i));
    EXPECT_TRUE(lines.contains(QStringLiteral("a|b")));
    EXPECT_TRUE(lines.contains(QStringLiteral("12349,00")));
    EXPECT_EQ(loaded.Document().Pictures().size(), 1u);
}
