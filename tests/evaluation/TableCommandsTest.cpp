// The table window's commands on the grid: clipboard text, sort by column,
// HTML file.
#include "evaluation/TableCommands.h"

#include "evaluation/TableModel.h"
#include "platform/LocaleFormats.h"
#include "reports/ReportFiles.h"
#include "support/ExternalTools.h"
#include "support/HostileText.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

using platform::TGridRect;
using platform::TStringGridModel;

namespace {

// rows x cols of texts; fixedRows and fixedCols as given.
void Fill(TStringGridModel& g, const std::vector<QStringList>& rows, int fixedRows, int fixedCols)
{
    g.Clear();
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetRowCount(int(rows.size()));
    g.SetColCount(int(rows[0].size()));
    g.SetFixedRows(fixedRows);
    g.SetFixedCols(fixedCols);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(rows[std::size_t(r)].size()); ++c)
            g.SetCell(c, r, rows[std::size_t(r)][c]);
}

} // namespace

// ---- Copy ---------------------------------------------------------------------------

TEST(CopyText, TwoByTwoCellsWithoutHeaders)
{
    TStringGridModel g;
    Fill(g, {{"h1", "h2"}, {"a", "b"}, {"c", "d"}}, 1, 0);
    g.SetSelection(TGridRect{0, 1, 1, 2});
    QString text;
    ASSERT_EQ(BuildCopyText(g, false, text), TCopyResult::Ok);
    EXPECT_EQ(text, QStringLiteral("a\tb\nc\td\n"));
}

TEST(CopyText, WithHeadersTheFixedRowsComeFirstAndEveryRowStartsWithTheFixedColumns)
{
    TStringGridModel g;
    Fill(g, {{"h1", "h2"}, {"a", "b"}, {"c", "d"}}, 1, 0);
    g.SetSelection(TGridRect{0, 1, 1, 2});
    QString text;
    ASSERT_EQ(BuildCopyText(g, true, text), TCopyResult::Ok);
    EXPECT_EQ(text, QStringLiteral("h1\th2\na\tb\nc\td\n"));

    // Two fixed columns, the first one hidden (the marker column), and a
    // selection of one cell further right.
    TStringGridModel t;
    Fill(t, {{"M", "Datum", "Zeit", "W1", "W2"},
             {"0", "01.01.2005", "00:15", "1,5", "7"},
             {"1", "01.01.2005", "00:30", "2,5", "8"}},
         1, 3);
    t.SetColWidth(0, 0);
    t.SetSelection(TGridRect{4, 2, 4, 2});
    ASSERT_EQ(BuildCopyText(t, true, text), TCopyResult::Ok);
    EXPECT_EQ(text, QStringLiteral("Datum\tZeit\tW2\n01.01.2005\t00:30\t8\n"));
    ASSERT_EQ(BuildCopyText(t, false, text), TCopyResult::Ok);
    EXPECT_EQ(text, QStringLiteral("8\n"));
}

TEST(CopyText, EveryPieceIsCutTo128CharactersAndHiddenColumnsAreLeftOut)
{
    TStringGridModel g;
    const QString longText(200, QLatin1Char('x'));
    Fill(g, {{"h", "h", "h"}, {longText, "hidden", longText}}, 1, 0);
    g.SetColWidth(1, 0);
    g.SetSelection(TGridRect{0, 1, 2, 1});
    QString text;
    ASSERT_EQ(BuildCopyText(g, false, text), TCopyResult::Ok);
    EXPECT_EQ(text, QString(128, QLatin1Char('x')) + QLatin1Char('\t') + QString(127, QLatin1Char('x'))
                        + QLatin1Char('\n'));
    EXPECT_FALSE(text.contains(QStringLiteral("hidden")));
    EXPECT_FALSE(text.contains(QChar(0)));
}

TEST(CopyText, UmlautsAndEmptyCellsStayAsTheyAre)
{
    TStringGridModel g;
    Fill(g, {{"h", "h", "h"}, {"Zähler", "", "€"}}, 1, 0);
    g.SetSelection(TGridRect{0, 1, 2, 1});
    QString text;
    ASSERT_EQ(BuildCopyText(g, false, text), TCopyResult::Ok);
    EXPECT_EQ(text, QStringLiteral("Zähler\t\t€\n"));
}

// ---- Sort ---------------------------------------------------------------------------

namespace {

QStringList Column(const TStringGridModel& g, int col)
{
    QStringList out;
    for (int r = 0; r < g.RowCount(); ++r)
        out.append(g.Cell(col, r));
    return out;
}

void FillModel(TTableModel& model)
{
    Fill(model.Grid(),
         {{"0", "Datum", "Zeit", "A", "B"},
          {"0", "5.1.2005", "10:00", "b", "2"},
          {"0", "10.1.2005", "09:00", "c", "1"},
          {"0", "1.12.2004", "11:00", "a", "3"}},
         1, 3);
}

} // namespace

TEST(SortByColumn, SameColumnFlipsTheDirectionAnotherOneSortsAscending)
{
    TTableModel model;
    FillModel(model);
    TSortOutcome o = SortTableByColumn(model, QStringLiteral("4"), QString());
    ASSERT_TRUE(o.Sorted);
    EXPECT_EQ(o.PreviousColumn, -1);
    EXPECT_EQ(o.Column, 3);
    EXPECT_FALSE(o.Descending);
    EXPECT_EQ(Column(model.Grid(), 3), (QStringList{"A", "a", "b", "c"}));

    o = SortTableByColumn(model, QStringLiteral("4  "), QString());
    EXPECT_TRUE(o.Descending);
    EXPECT_EQ(o.PreviousColumn, 3);
    EXPECT_EQ(Column(model.Grid(), 3), (QStringList{"A", "c", "b", "a"}));

    o = SortTableByColumn(model, QStringLiteral("5"), QString());
    EXPECT_FALSE(o.Descending);
    EXPECT_EQ(model.SortColumn, 4);
    EXPECT_EQ(Column(model.Grid(), 4), (QStringList{"B", "1", "2", "3"}));
    EXPECT_EQ(Column(model.Grid(), 3), (QStringList{"A", "c", "b", "a"})) << "rows move whole";
}

TEST(SortByColumn, NumbersOutsideTheColumnsSortNothing)
{
    TTableModel model;
    FillModel(model);
    const QStringList before = Column(model.Grid(), 3);
    for (const char* text : {"0", "6", "", "x", "-1"}) {
        const TSortOutcome o = SortTableByColumn(model, QString::fromLatin1(text), QString());
        EXPECT_FALSE(o.Sorted) << text;
    }
    EXPECT_EQ(Column(model.Grid(), 3), before);
    EXPECT_EQ(model.SortColumn, -1);
}

TEST(SortByColumn, DateColumnSortsChronologicallyInBothDirections)
{
    const platform::ScopedLocaleFormats german(platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"),
                                                                       QStringLiteral("HH:mm:ss")));
    TTableModel model;
    FillModel(model);
    TSortOutcome o = SortTableByColumn(model, QStringLiteral("2"), QString());
    EXPECT_TRUE(o.ByDate);
    EXPECT_EQ(Column(model.Grid(), 1), (QStringList{"Datum", "1.12.2004", "5.1.2005", "10.1.2005"}));
    o = SortTableByColumn(model, QStringLiteral("2"), QString());
    EXPECT_EQ(Column(model.Grid(), 1), (QStringList{"Datum", "10.1.2005", "5.1.2005", "1.12.2004"}));
}

TEST(SortByColumn, DateColumnsAreFoundByAnyHeaderRowAndTheTimeCaption)
{
    TStringGridModel g;
    Fill(g, {{"1", " datum\t", "Zeit", "Date", "Datumsfeld"}, {"", "", "", "", ""}, {"", "", "", "", ""}}, 1, 1);
    EXPECT_TRUE(IsDateColumn(g, 1, QString()));
    EXPECT_FALSE(IsDateColumn(g, 2, QString()));
    EXPECT_TRUE(IsDateColumn(g, 2, QStringLiteral("Zeit")));
    EXPECT_TRUE(IsDateColumn(g, 2, QStringLiteral("ZEIT")));
    EXPECT_TRUE(IsDateColumn(g, 3, QString()));
    EXPECT_FALSE(IsDateColumn(g, 4, QString()));

    // Device numbers in row 0, the column names in row 1.
    TStringGridModel h;
    Fill(h, {{"", "Gerät 7", "Gerät 7"}, {"", "time", "Wert"}, {"", "", ""}}, 2, 1);
    EXPECT_TRUE(IsDateColumn(h, 1, QStringLiteral("time")));
    EXPECT_FALSE(IsDateColumn(h, 2, QStringLiteral("time")));
}

TEST(SortByColumn, TimeCaptionColumnOfAnEnglishTableSortsByItsDates)
{
    const platform::ScopedLocaleFormats us(platform::LocaleFormats(QStringLiteral("M/d/yyyy"),
                                                                   QStringLiteral("h:mm:ss AP")));
    TTableModel model;
    Fill(model.Grid(), {{"", "time", "v"}, {"", "2/1/2005 1:00:00 PM", "x"}, {"", "1/2/2005", "y"},
                        {"", "2/1/2005 9:00:00 AM", "z"}},
         1, 1);
    const TSortOutcome o = SortTableByColumn(model, QStringLiteral("2"), QStringLiteral("time"));
    EXPECT_TRUE(o.ByDate);
    EXPECT_EQ(Column(model.Grid(), 2), (QStringList{"v", "y", "z", "x"}));
}

// ---- HTML ---------------------------------------------------------------------------

TEST(SortByColumn, ValueColumnSortsByValueAndASecondClickReverses)
{
    TTableModel model;
    Fill(model.Grid(),
         {{"0", "Datum", "V1-Differenz"},
          {"0", "1.1.2026", "981.62"},
          {"1", "2.1.2026", "( 0.0000)"},
          {"0", "3.1.2026", "10016.92"},
          {"0", "4.1.2026", "1576.4"},
          {"0", "5.1.2026", ""}},
         1, 2);
    TSortOutcome o = SortTableByColumn(model, QStringLiteral("3"), QString());
    EXPECT_TRUE(o.ByNumber);
    EXPECT_FALSE(o.ByDate);
    EXPECT_EQ(Column(model.Grid(), 2),
              (QStringList{"V1-Differenz", "", "( 0.0000)", "981.62", "1576.4", "10016.92"}));
    EXPECT_EQ(Column(model.Grid(), 1), (QStringList{"Datum", "5.1.2026", "2.1.2026", "1.1.2026", "4.1.2026", "3.1.2026"}));
    o = SortTableByColumn(model, QStringLiteral("3"), QString());
    EXPECT_TRUE(o.Descending);
    EXPECT_EQ(Column(model.Grid(), 2),
              (QStringList{"V1-Differenz", "10016.92", "1576.4", "981.62", "( 0.0000)", ""}));
}

TEST(HtmlExport, FileNameFollowsThePrintFileOrGoesIntoTheReportFolder)
{
    QTemporaryDir tmp;
    testsupport::EnvGuard tmpdir("TMPDIR", tmp.path());
    const QString reports = reports::ReportDirectory();
    ASSERT_FALSE(reports.isEmpty());
    EXPECT_EQ(HtmlFileNameFor(QString()), reports + QStringLiteral("STANDARD.HTM"));
    EXPECT_EQ(HtmlFileNameFor(QStringLiteral("/home/a/Bericht.txt")), QStringLiteral("/home/a/Bericht.HTM"));
    EXPECT_EQ(HtmlFileNameFor(QStringLiteral("/home/a/")), QStringLiteral("/home/a/STANDARD.HTM"));
    EXPECT_EQ(HtmlFileNameFor(QStringLiteral("Liste.csv")), reports + QStringLiteral("Liste.HTM"));
    // No report folder: no name, rather than one in the current directory.
    testsupport::writeFile(tmp.filePath(QStringLiteral("plain")), "x");
    testsupport::EnvGuard broken("TMPDIR", tmp.filePath(QStringLiteral("plain")));
    EXPECT_EQ(HtmlFileNameFor(QStringLiteral("Liste.csv")), QString());
}

TEST(HtmlExport, TextsAreCutThenEscapedAndNonAsciiBecomesEntities)
{
    EXPECT_EQ(HtmlText(u"plain text 1,5 = x"), QStringLiteral("plain text 1,5 = x"));
    EXPECT_EQ(HtmlText(u"<script>alert(\"&\")</script>"),
              QStringLiteral("&lt;script&gt;alert(&quot;&amp;&quot;)&lt;/script&gt;"));
    EXPECT_EQ(HtmlText(u"Zähler €"), QStringLiteral("Z&#228;hler &#8364;"));
    EXPECT_EQ(HtmlText(u"a\U0001F600b"), QStringLiteral("a&#128512;b"));
    // The cut counts the text's own characters, before escaping.
    EXPECT_EQ(HtmlText(u"<<<<", 2), QStringLiteral("&lt;&lt;"));
    // Half a surrogate pair is never kept.
    EXPECT_EQ(HtmlText(u"ab\U0001F600", 3), QStringLiteral("ab"));
}

namespace {

THtmlExportInput SmallInput(const TStringGridModel& g)
{
    THtmlExportInput in;
    in.MemoFontName = QStringLiteral("Arial");
    in.GridFontName = QStringLiteral("Courier New");
    in.TitleLines = {QStringLiteral("Kunde <script>"), QString(), QStringLiteral("Zählerstände")};
    in.ChooserHasItems = true;
    in.ChooserText = QStringLiteral("Wirkarbeit");
    in.EvaluationLabel = QStringLiteral("Differenz");
    in.Grid = &g;
    return in;
}

} // namespace

TEST(HtmlExport, FileLayoutByteForByte)
{
    TStringGridModel g;
    Fill(g, {{"M", "Gerät", "", "A"}, {"M", "Datum", "", "kWh"}, {"0", "01.01.2005", "x", "1,5"},
             {"1", "", "y", "<b>"}},
         2, 2);
    g.SetColWidth(0, 0);
    const QByteArray html = BuildHtml(QStringLiteral("/tmp/Bericht.HTM"), SmallInput(g));
    const QByteArray expected =
        "<HTML>\r\n"
        "<HEAD>\r\n"
        "<TITLE>Bericht</TITLE>\r\n"
        "<!-- Automatically generated by HTML-Exporter from Z.T.! -->\r\n"
        "</HEAD>\r\n"
        "<P><B><FONT><FONT FACE=\"Arial\" SIZE=5>\r\n"
        "Kunde &lt;script&gt;<BR>\r\n"
        "Z&#228;hlerst&#228;nde<BR>\r\n"
        "Wirkarbeit<BR>\r\n"
        "Differenz<BR>\r\n"
        "</B></FONT></P>\r\n"
        "<BODY>\r\n"
        "<B><FONT><FONT FACE=\"Courier New\" SIZE=1>\r\n"
        "<TABLE CELLSPACING=1 BORDER=1 CELLPADDING=1 WIDTH= 100%>\r\n"
        "<TR>\r\n"
        "<TD VALIGN=\"TOP\"><B><P>Ger&#228;tDatum</P></B></TD>\r\n"
        "<TD VALIGN=\"TOP\"><B><P></P></B></TD>\r\n"
        "<TD VALIGN=\"TOP\"><B><P>AkWh</P></B></TD>\r\n"
        "</TR>\r\n"
        "</B></FONT>\r\n"
        "<FONT><FONT FACE=\"Courier New\" SIZE=1>\r\n"
        "<TR>\r\n"
        "<TD VALIGN=\"TOP\">\r\n<P>01.01.2005</TD>\r\n"
        "<TD VALIGN=\"TOP\">\r\n<P>x</TD>\r\n"
        "<TD VALIGN=\"TOP\">\r\n<P>1,5</TD>\r\n"
        "</TR>\r\n"
        "<TR>\r\n"
        "<TD VALIGN=\"TOP\">\r\n<P>-</TD>\r\n"
        "<TD VALIGN=\"TOP\">\r\n<P>y</TD>\r\n"
        "<TD VALIGN=\"TOP\">\r\n<P>&lt;b&gt;</TD>\r\n"
        "</TR>\r\n"
        "</FONT>\r\n"
        "</TABLE>\r\n"
        "</BODY>\r\n"
        "</HTML>\r\n";
    EXPECT_EQ(html, expected);
}

TEST(HtmlExport, WithoutChooserItemsLabelAndTitleLinesOnlyTheFixedLinesRemain)
{
    TStringGridModel g;
    Fill(g, {{"H"}, {""}}, 1, 0);
    THtmlExportInput in;
    in.MemoFontName = QStringLiteral("Arial");
    in.GridFontName = QStringLiteral("Arial");
    in.Grid = &g;
    const QByteArray html = BuildHtml(QStringLiteral("STANDARD.HTM"), in);
    EXPECT_TRUE(html.contains("<TITLE>STANDARD</TITLE>\r\n<!--"));
    EXPECT_TRUE(html.contains("SIZE=5>\r\n</B></FONT></P>\r\n"));
    EXPECT_TRUE(html.contains("<P>-</TD>\r\n"));
}

TEST(HtmlExport, CellsAreCutTo255Characters)
{
    TStringGridModel g;
    Fill(g, {{QString(300, QLatin1Char('h'))}, {QString(300, QLatin1Char('c'))}}, 1, 0);
    THtmlExportInput in;
    in.Grid = &g;
    const QByteArray html = BuildHtml(QStringLiteral("x.HTM"), in);
    EXPECT_TRUE(html.contains("<B><P>" + QByteArray(255, 'h') + "</P>"));
    EXPECT_TRUE(html.contains("<P>" + QByteArray(255, 'c') + "</TD>"));
}

TEST(HtmlExport, WrittenFileHoldsTheTextAndErrorsAreReported)
{
    QTemporaryDir dir;
    TStringGridModel g;
    Fill(g, {{"H", "I"}, {"ä", "b"}}, 1, 0);
    const QString name = dir.filePath(QStringLiteral("t.HTM"));
    ASSERT_EQ(WriteHtmlFile(name, SmallInput(g)), THtmlWriteResult::Ok);
    EXPECT_EQ(testsupport::readFile(name), BuildHtml(name, SmallInput(g)));

    // A directory below a regular file cannot hold the file.
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("plain")), "x"));
    EXPECT_EQ(WriteHtmlFile(dir.filePath(QStringLiteral("plain/t.HTM")), SmallInput(g)),
              THtmlWriteResult::CreateFailed);

    // A device is no file that can be replaced whole.
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        EXPECT_EQ(WriteHtmlFile(QStringLiteral("/dev/full"), SmallInput(g)), THtmlWriteResult::CreateFailed);
    }
}

// ---- Characters HTML cannot hold -------------------------------------------------------

namespace {

// A text from a literal, NUL characters included.
template <std::size_t N>
QString U(const char16_t (&text)[N])
{
    return QString::fromUtf16(text, qsizetype(N - 1));
}

// The grid of one data row per hostile character: its number, the text with
// the character in the middle, a text after it; a last row "Ende".
void FillHostileGrid(TStringGridModel& g)
{
    const int n = int(testsupport::HostileChars().size());
    std::vector<QStringList> rows{{"Nr", "Text", "Danach"}};
    for (int i = 0; i < n; ++i)
        rows.push_back({QString::number(i), testsupport::HostileCell(i), QStringLiteral("nach%1").arg(i)});
    rows.push_back({"", "Ende", ""});
    Fill(g, rows, 1, 0);
}

} // namespace

TEST(HtmlExport, CharactersHtmlCannotHoldBecomeTheReplacementCharacter)
{
    const auto& chars = testsupport::HostileChars();
    for (int i = 0; i < int(chars.size()); ++i)
        EXPECT_EQ(HtmlText(testsupport::HostileCell(i)),
                  QStringLiteral("a%1&#65533;b%1").arg(i)) << chars[std::size_t(i)].Name;
    // What HTML holds stays: TAB and line ends, the euro sign, a pair.
    EXPECT_EQ(HtmlText(u"a\tb\r\nc\u20AC\U0001F600"), QStringLiteral("a\tb\r\nc&#8364;&#128512;"));

    // The title, the title lines, the chooser, the label and the fonts as well.
    TStringGridModel g;
    FillHostileGrid(g);
    THtmlExportInput in;
    in.MemoFontName = QStringLiteral("Ari\u0001al");
    in.GridFontName = QStringLiteral("Cou\u0085rier");
    in.TitleLines = {U(u"Kunde\u0000 M\u00FCller"), U(u"Z\uFFFEhler")};
    in.ChooserHasItems = true;
    in.ChooserText = U(u"Wirk\u0080arbeit");
    in.EvaluationLabel = U(u"Diff\u001Ferenz");
    in.Grid = &g;
    const QByteArray html = BuildHtml(U(u"/tmp/Be\u0007richt.HTM"), in);
    for (const char* piece : {"<TITLE>Be&#65533;richt</TITLE>", "FACE=\"Ari&#65533;al\"", "FACE=\"Cou&#65533;rier\"",
                              "Kunde&#65533; M&#252;ller<BR>", "Z&#65533;hler<BR>", "Wirk&#65533;arbeit<BR>",
                              "Diff&#65533;erenz<BR>"})
        EXPECT_TRUE(html.contains(piece)) << piece;
    for (const char byte : html)
        EXPECT_TRUE(byte == '\t' || byte == '\r' || byte == '\n' || (byte >= 0x20 && byte < 0x7F))
            << "byte " << int(byte);
    for (int code = 128; code < 160; ++code)
        EXPECT_FALSE(html.contains("&#" + QByteArray::number(code) + ';')) << code;
}

TEST(HtmlExport, LibreOfficeReadsEveryRowAndTheTextAfterACharacterHtmlCannotHold)
{
    REQUIRE_TOOL("soffice");
    QTemporaryDir dir;
    TStringGridModel g;
    FillHostileGrid(g);
    THtmlExportInput in = SmallInput(g);
    in.TitleLines = {U(u"Kunde\u0000M\u00FCller"), U(u"Z\u0080hler")};
    const QString name = dir.filePath(QStringLiteral("zeichen.HTM"));
    ASSERT_EQ(WriteHtmlFile(name, in), THtmlWriteResult::Ok);
    QString error;
    const QString text = testsupport::convertWithLibreOffice(name, QStringLiteral("txt:Text (encoded):UTF8"),
                                                             dir.filePath(QStringLiteral("out")), &error);
    ASSERT_FALSE(text.isEmpty()) << error.toStdString();
    // Every cell is a line of its own in the text.
    const QStringList lines = QString::fromUtf8(testsupport::readFile(text)).split(QLatin1Char('\n'));
    std::vector<QString> seen;
    for (QString line : lines) {
        line = line.trimmed();
        if (!line.isEmpty())
            seen.push_back(line.startsWith(QChar(0xFEFF)) ? line.mid(1) : line);
    }
    const auto at = [&](const QString& t) { return std::find(seen.begin(), seen.end(), t) - seen.begin(); };
    const auto none = std::ptrdiff_t(seen.size());
    EXPECT_NE(at(U(u"Kunde\uFFFDM\u00FCller")), none);
    EXPECT_NE(at(U(u"Z\uFFFDhler")), none);
    std::ptrdiff_t previous = -1;
    const auto& chars = testsupport::HostileChars();
    for (int i = 0; i < int(chars.size()); ++i) {
        const std::ptrdiff_t cell = at(testsupport::ReplacedCell(i));
        const std::ptrdiff_t after = at(QStringLiteral("nach%1").arg(i));
        EXPECT_NE(cell, none) << chars[std::size_t(i)].Name;
        EXPECT_NE(after, none) << chars[std::size_t(i)].Name;
        EXPECT_LT(previous, cell) << chars[std::size_t(i)].Name;
        EXPECT_LT(cell, after) << chars[std::size_t(i)].Name;
        previous = after;
    }
    EXPECT_LT(previous, at(QStringLiteral("Ende")));
    EXPECT_NE(at(QStringLiteral("Ende")), none);
}

// A full disk fails the export and leaves the earlier file whole; the file
// used to be truncated when the new one was opened.
TEST(HtmlExport, AFullDiskKeepsTheEarlierFile)
{
    QTemporaryDir dir;
    TStringGridModel g;
    g.SetRowCount(2000);
    g.SetColCount(3);
    g.SetFixedRows(1);
    for (int r = 0; r < 2000; ++r)
        for (int c = 0; c < 3; ++c)
            g.SetCell(c, r, QStringLiteral("Zelle %1/%2").arg(r).arg(c));
    const QString name = dir.filePath(QStringLiteral("t.HTM"));
    const QByteArray old(30000, 'h');
    ASSERT_TRUE(testsupport::writeFile(name, old));
    THtmlWriteResult result = THtmlWriteResult::Ok;
    {
        testsupport::TFullDisk full(5000);
        result = WriteHtmlFile(name, SmallInput(g));
    }
    EXPECT_EQ(result, THtmlWriteResult::WriteFailed);
    EXPECT_EQ(testsupport::readFile(name), old);
    EXPECT_EQ(testsupport::entriesOf(dir.path()), QStringList{QStringLiteral("t.HTM")});
}

TEST(HtmlExport, ShellErrorTexts)
{
    EXPECT_EQ(ShellErrorText(ShellNoAssociation),
              QStringLiteral("There is no application associated with the given filename extension."));
    EXPECT_EQ(ShellErrorText(2), QStringLiteral("The specified file was not found."));
    EXPECT_TRUE(ShellErrorText(1).isEmpty());
    EXPECT_TRUE(ShellErrorText(33).isEmpty());
}
