// The spreadsheet report as the office suite shows it: a day of the sample
// archive of device 31415 written as the table window writes it, then read
// back from the XLSX parts and through LibreOffice (its cell types and its
// printout).
#include "reports/CellValueScan.h"
#include "reports/XlsxFile.h"
#include "reports/ZT_BerXL.h"

#include "ReportTestGrid.h"
#include "platform/LocaleFormats.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace reports;

namespace {

// The archive's header values, names, units and the data lines of one day,
// laid out as the day evaluation fills its table: device numbers, names and
// units as header rows, a hidden marker column, the time, the values with
// their leading zeros gone.
struct TArchiveDay {
    QStringList titleLines;
    QString label;
};

QString WithoutLeadingZeros(const QString& s)
{
    qsizetype i = 0;
    while (i + 1 < s.size() && s[i] == QLatin1Char('0') && s[i + 1].isDigit())
        ++i;
    return s.mid(i);
}

TArchiveDay LoadArchiveDay(platform::TStringGridModel& grid, const QString& day)
{
    TArchiveDay out;
    QFile file(QStringLiteral(VALDRAN_DATA_DIR "/archives/0031415_2026-09.AGR"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
    QMap<QString, QString> head;
    QStringList names, units, devices;
    std::vector<QStringList> rows;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char(';'))) {
            head[line.section(QLatin1Char('='), 0, 0).mid(1)] = line.section(QLatin1Char('='), 1);
            continue;
        }
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.value(0) == QStringLiteral("#"))
            names = f.mid(1);
        else if (f.value(0) == QStringLiteral("E"))
            units = f.mid(1);
        else if (f.size() > 2 && f[1].startsWith(day))
            rows.push_back(f);
    }
    EXPECT_EQ(rows.size(), 96u);
    const int values = int(names.size()) - 1;   // after "Zeit"
    grid.Clear();
    grid.SetColCount(2 + values);
    grid.SetRowCount(3 + int(rows.size()));
    grid.SetFixedRows(3);
    grid.SetFixedCols(2);
    grid.SetColWidth(0, 0);
    for (int c = 1; c < grid.ColCount(); ++c)
        grid.SetColWidth(c, 90);
    grid.SetCell(1, 1, names[0]);
    for (int v = 0; v < values; ++v) {
        grid.SetCell(2 + v, 0, WithoutLeadingZeros(head.value(QStringLiteral("DEVNOA"))));
        grid.SetCell(2 + v, 1, names[v + 1]);
        grid.SetCell(2 + v, 2, units.value(v + 1));
    }
    for (int r = 0; r < int(rows.size()); ++r) {
        const QStringList& f = rows[std::size_t(r)];
        grid.SetCell(0, 3 + r, QStringLiteral("0"));
        grid.SetCell(1, 3 + r, f[1]);
        for (int v = 0; v < values; ++v)
            grid.SetCell(2 + v, 3 + r, WithoutLeadingZeros(f.value(2 + v)));
    }
    // The default head template: three header values a line, each padded.
    auto item = [&head](const char* caption, const char* key) {
        return QString::fromUtf8(caption) + QStringLiteral(": ") + head.value(QString::fromLatin1(key)).leftJustified(14);
    };
    out.titleLines = {QStringLiteral("Tabellenausgabe: 09.12.2026"),
                      QStringLiteral("Zeitraum: %1 00:00:00 - %1 23:45:00").arg(day),
                      item("Auslesung  ", "DATERO") + QStringLiteral("   ") + item("Messperiode", "INTERVAL")
                          + QStringLiteral("   ") + item("Kunden-Nr.", "CUSTNO"),
                      item("Kunden-Name", "CUSTNAME") + QStringLiteral("   ") + item("Zähler-Nr.", "METERNO")
                          + QStringLiteral("   ") + item("Meßstelle  ", "METERLOCATION"),
                      item("MST-VV     ", "MLDESCVV") + QStringLiteral("   ") + item("Geräte-Nr.", "DEVNOA")};
    out.label = QStringLiteral("%1 %2 - %3 %4: 44.2000")
                    .arg(rows.front()[1], WithoutLeadingZeros(rows.front()[2]), rows.back()[1],
                         WithoutLeadingZeros(rows.back()[2]));
    return out;
}

// The report as the table window's export writes it.
void WriteDayReport(TBer_Intf_MsExcel97& report, const QString& day = QStringLiteral("01.09.2026"))
{
    platform::TStringGridModel grid;
    const TArchiveDay d = LoadArchiveDay(grid, day);
    for (const QString& line : d.titleLines)
        report.WriteLine(line);
    report.WriteLine(QStringLiteral("Alle Werte"));
    report.WriteLine(d.label);
    report.WriteLine(QString());
    report.WriteTable(grid);
    report.WriteLine(QString());
}

class SpreadsheetReadBack : public ::testing::Test {
protected:
    SpreadsheetReadBack()
    {
        NumberFormatText = QStringLiteral("0");
        DateFormatText = QStringLiteral("@");
        SetSystemDecimalSeparatorOverride(QLatin1Char(','));
    }
    ~SpreadsheetReadBack() override { SetSystemDecimalSeparatorOverride(QChar()); }

    QString Save(const QString& name)
    {
        const QString file = tmp.filePath(name);
        report.SaveToFile(file);
        return file;
    }
    QString Part(const QString& file, const QString& part)
    {
        const auto r = testsupport::runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), file, part});
        EXPECT_EQ(r.exitCode, 0) << part.toStdString();
        return QString::fromUtf8(r.out);
    }
    QString Convert(const QString& file, const QString& filter)
    {
        QString error;
        const QString out = testsupport::convertWithLibreOffice(file, filter, tmp.filePath(QStringLiteral("lo")), &error);
        EXPECT_FALSE(out.isEmpty()) << error.toStdString();
        return out;
    }
    const TWorksheet& Sheet() const { return report.Workbook().Sheet(0); }
    const TCellStyle& StyleOf(int row, int col) const { return report.Workbook().Styles()[Sheet().StyleAt(row, col)]; }

    QTemporaryDir tmp;
    testsupport::EnvGuard tmpdir{"TMPDIR", tmp.path()};
    testsupport::FakeHooks hooks;
    platform::ScopedLocaleFormats formats{
        platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"))};
    TBer_Intf_MsExcel97 report{QStringLiteral("Tabellenausgabe "), QString(), [] {}};
};

} // namespace

namespace {

int PdfPages(const QString& pdf)
{
    const auto info = testsupport::runTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages: +(\\d+)")).match(QString::fromUtf8(info.out));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QStringList PdfPageTexts(const QString& pdf)
{
    const QString text = QString::fromUtf8(
        testsupport::runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).out);
    QStringList pages = text.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace

// ---- Time stamps: the spreadsheet's date-times -------------------------------------

TEST_F(SpreadsheetReadBack, FixedColumnStampsBecomeDateTimesShownAsWritten)
{
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "Zeit", "Name", "A"},
                                {"", "01.09.2026 00:15:00", "Hauptstraße", "1"},
                                {"", "01.09.2026 06:30", "31.9.2026", "2"},
                                {"", "02.09.2026", "0031415", "3"},
                                {"", "12:30", "12.5", "4"},
                                {"", "01.01.1900", "", "5"}},
                         3);
    report.WriteTable(grid);
    const TWorksheet& s = Sheet();
    EXPECT_EQ(s.KindAt(0, 0), TCellKind::Text) << "the header stays a text";
    EXPECT_EQ(s.KindAt(1, 0), TCellKind::Number);
    EXPECT_DOUBLE_EQ(s.NumberAt(1, 0), 46266.0 + 15.0 / 1440);
    EXPECT_EQ(StyleOf(1, 0).NumberFormat, QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    EXPECT_TRUE(StyleOf(1, 0).HasFill) << "still shaded as a fixed cell";
    EXPECT_EQ(StyleOf(1, 0).Fill, HeaderColor);
    EXPECT_DOUBLE_EQ(s.NumberAt(2, 0), 46266.0 + 390.0 / 1440);
    EXPECT_EQ(StyleOf(2, 0).NumberFormat, QStringLiteral("dd.MM.yyyy HH:mm")) << "no seconds where the text has none";
    EXPECT_DOUBLE_EQ(s.NumberAt(3, 0), 46267.0);
    EXPECT_EQ(StyleOf(3, 0).NumberFormat, QStringLiteral("dd.MM.yyyy"));
    // A time alone, a day that does not exist, numbers, names and dates the
    // spreadsheet cannot show stay texts.
    EXPECT_EQ(s.TextAt(4, 0), QStringLiteral("12:30"));
    EXPECT_EQ(s.TextAt(5, 0), QStringLiteral("01.01.1900"));
    EXPECT_EQ(s.TextAt(1, 1), QStringLiteral("Hauptstraße"));
    EXPECT_EQ(s.TextAt(2, 1), QStringLiteral("31.9.2026"));
    EXPECT_EQ(s.TextAt(3, 1), QStringLiteral("0031415"));
    EXPECT_EQ(s.TextAt(4, 1), QStringLiteral("12.5"));

    // Other platforms' formats give their own letters.
    platform::ScopedLocaleFormats us(platform::LocaleFormats(QStringLiteral("M/d/yy"), QStringLiteral("h:mm:ss AP")));
    EXPECT_EQ(StampFormatText(platform::LocaleFormats::Current(), TStampShape::DateSeconds),
              QStringLiteral("M/d/yyyy h:mm:ss AP"));
    EXPECT_EQ(StampFormatText(platform::LocaleFormats::Current(), TStampShape::DateMinutes),
              QStringLiteral("M/d/yyyy h:mm AP"));
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("M/d/yyyy h:mm AP")), QStringLiteral("m/d/yyyy h:mm AM/PM"));
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("dd.MM.yyyy HH:mm:ss")), QStringLiteral("dd.mm.yyyy hh:mm:ss"));
}

TEST_F(SpreadsheetReadBack, LibreOfficeReadsTheTimeColumnAsDatesAndTimes)
{
    REQUIRE_TOOL("soffice");
    WriteDayReport(report);
    const QString file = Save(QStringLiteral("zeit.xlsx"));
    const QString fods = QString::fromUtf8(testsupport::readFile(Convert(file, QStringLiteral("fods"))));
    // Every time stamp of the day is a date-time cell that shows the text the
    // table had.
    const QRegularExpression stamp(QStringLiteral(
        "<table:table-cell [^>]*office:value-type=\"date\" office:date-value=\"2026-09-01(T(\\d\\d):(\\d\\d):00)?\"[^>]*>"
        "\\s*<text:p>01\\.09\\.2026 (\\d\\d):(\\d\\d):00</text:p>"));
    int stamps = 0;
    for (auto it = stamp.globalMatch(fods); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString hour = m.captured(2).isEmpty() ? QStringLiteral("00") : m.captured(2);
        const QString minute = m.captured(3).isEmpty() ? QStringLiteral("00") : m.captured(3);
        EXPECT_EQ(hour + minute, m.captured(4) + m.captured(5)) << m.captured(0).toStdString();
        ++stamps;
    }
    EXPECT_EQ(stamps, 96) << fods.left(6000).toStdString();
    // The header "Zeit" and the title lines stay texts.
    EXPECT_TRUE(fods.contains(QRegularExpression(QStringLiteral(
        "<table:table-cell [^>]*office:value-type=\"string\"[^>]*>\\s*<text:p>Zeit</text:p>"))));
}

// ---- The printout -----------------------------------------------------------------

TEST_F(SpreadsheetReadBack, DayReportPrintsItsTitleWholeAndEveryTimeStampWithItsValues)
{
    REQUIRE_TOOL("soffice");
    REQUIRE_TOOL("pdfinfo");
    REQUIRE_TOOL("pdftotext");
    WriteDayReport(report);
    const QString file = Save(QStringLiteral("tag.xlsx"));
    const QString pdf = Convert(file, QStringLiteral("pdf"));
    const QStringList pages = PdfPageTexts(pdf);
    ASSERT_EQ(PdfPages(pdf), int(pages.size()));
    // 96 rows and the title need a few pages down, never any across. (The
    // evaluation label begins with a time stamp too, but holds a range.)
    EXPECT_LE(pages.size(), 3);
    const QRegularExpression stampLine(QStringLiteral("^\\s*01\\.09\\.2026 \\d\\d:\\d\\d:00([^:]*)$"),
                                       QRegularExpression::MultilineOption);
    const QRegularExpression values(QStringLiteral("^( +-?\\d+[.,]\\d+){5}\\s*$"));
    int stamps = 0;
    for (int p = 0; p < pages.size(); ++p) {
        int onPage = 0;
        for (auto it = stampLine.globalMatch(pages[p]); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            EXPECT_TRUE(values.match(m.captured(1)).hasMatch())
                << "page " << p + 1 << ": a time stamp without its five values: " << m.captured(0).toStdString();
            ++onPage;
        }
        EXPECT_GT(onPage, 0) << "page " << p + 1 << " holds no time stamp:\n" << pages[p].toStdString();
        stamps += onPage;
    }
    EXPECT_EQ(stamps, 96);

    // The title lines print whole on the first page (wrapped where they are
    // longer than the table is wide), and on no other.
    platform::TStringGridModel grid;
    const TArchiveDay day = LoadArchiveDay(grid, QStringLiteral("01.09.2026"));
    ASSERT_FALSE(pages.isEmpty());
    const QString first = pages[0].simplified();
    for (const QString& line : day.titleLines)
        EXPECT_TRUE(first.contains(line.simplified())) << line.toStdString() << "\n" << pages[0].toStdString();
    EXPECT_TRUE(first.contains(day.label));
    for (int p = 1; p < pages.size(); ++p)
        EXPECT_FALSE(pages[p].contains(QStringLiteral("Kunden-Name"))) << pages[p].toStdString();
}

TEST_F(SpreadsheetReadBack, PrintAreaIsTheWrittenBlockAndLongTitlesWrapWithinThePage)
{
    REQUIRE_TOOL("unzip");
    WriteDayReport(report);
    const TWorksheet& s = Sheet();
    // The title lines above the table (five of the template, the chooser's
    // item and the label) print within the table's six columns.
    ASSERT_EQ(s.SpannedLines.size(), 7u);
    EXPECT_EQ(s.SpannedLines.front().Row, 0);
    EXPECT_EQ(s.SpannedLines.back().Row, 6);
    EXPECT_EQ(s.SpannedLines.back().LastCol, 5);
    EXPECT_EQ(s.PrintLastCol, 5);
    const QString file = Save(QStringLiteral("bereich.xlsx"));
    const QString workbook = Part(file, QStringLiteral("xl/workbook.xml"));
    const QString sheet = Part(file, QStringLiteral("xl/worksheets/sheet1.xml"));
    // Title lines, chooser, label, an empty line, three header rows, 96 rows.
    EXPECT_TRUE(workbook.contains(QStringLiteral("<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">"
                                                 "Tabelle1!$A$1:$F$107</definedName>")))
        << workbook.toStdString();
    // The long header line is merged over the table and wraps, two lines high;
    // the short first line stays as it is.
    EXPECT_TRUE(sheet.contains(QStringLiteral("<mergeCell ref=\"A4:F4\"/>"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<row r=\"4\"[^>]* ht=\"30\" customHeight=\"1\""))));
    EXPECT_FALSE(sheet.contains(QStringLiteral("<mergeCell ref=\"A1:"))) << sheet.toStdString();

    // A table wider than a page: the title wraps within the columns that fit
    // the first page, so no page across shows a piece of it.
    TBer_Intf_MsExcel97 wide{QStringLiteral("T"), QString(), [] {}};
    wide.WriteLine(QString(200, QLatin1Char('x')));
    platform::TStringGridModel grid;
    std::vector<std::vector<QString>> rows(2, std::vector<QString>(22));
    rows[0][1] = QStringLiteral("Zeit");
    rows[1][1] = QStringLiteral("01.09.2026 00:15:00");
    for (int c = 2; c < 22; ++c) {
        rows[0][std::size_t(c)] = QStringLiteral("Kanal %1 Differenz").arg(c);
        rows[1][std::size_t(c)] = QStringLiteral("1,5");
    }
    reporttest::FillGrid(grid, rows);
    wide.WriteTable(grid);
    const QString wideFile = tmp.filePath(QStringLiteral("breit.xlsx"));
    wide.SaveToFile(wideFile);
    const QString wideSheet = Part(wideFile, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QRegularExpressionMatch merge =
        QRegularExpression(QStringLiteral("<mergeCell ref=\"A1:([A-Z]+)1\"/>")).match(wideSheet);
    ASSERT_TRUE(merge.hasMatch()) << wideSheet.toStdString();
    // Column A (22 characters) and two 20-character columns fit A4 even where
    // a wider font stands in for the spreadsheet's own.
    EXPECT_EQ(merge.captured(1), QStringLiteral("C"));
    EXPECT_TRUE(Part(wideFile, QStringLiteral("xl/workbook.xml")).contains(QStringLiteral("$A$1:$U$3")));
    EXPECT_FALSE(wideSheet.contains(QStringLiteral("fitToPage"))) << "far too wide to be scaled to one page";
}

// A table somewhat wider than the page is scaled to its width: every row on
// one page across, the title whole above the table, no page of its own.
TEST_F(SpreadsheetReadBack, SomewhatWideTablePrintsScaledToThePageWidth)
{
    REQUIRE_TOOL("unzip");
    REQUIRE_TOOL("soffice");
    REQUIRE_TOOL("pdfinfo");
    REQUIRE_TOOL("pdftotext");
    const QString title = QStringLiteral("Zählerstände Gerät 0031415 Kanal 1 bis 6, Zeitraum 01.09.2026 00:00:00 "
                                         "bis 01.09.2026 23:45:00, Meßstelle Rathaus, Hauptstraße 12");
    report.WriteLine(title);
    platform::TStringGridModel grid;
    std::vector<std::vector<QString>> rows(3, std::vector<QString>(8));
    rows[0][1] = QStringLiteral("Zeit");
    for (int c = 2; c < 8; ++c)
        rows[0][std::size_t(c)] = QStringLiteral("Kanal %1 Differenz").arg(c - 1);
    for (int r = 1; r < 3; ++r) {
        rows[std::size_t(r)][1] = QStringLiteral("01.09.2026 00:%1:00").arg(r * 15);
        for (int c = 2; c < 8; ++c)
            rows[std::size_t(r)][std::size_t(c)] = QStringLiteral("%1,25").arg(c * 10 + r);
    }
    reporttest::FillGrid(grid, rows);
    report.WriteTable(grid);
    const QString file = Save(QStringLiteral("skaliert.xlsx"));
    const QString sheet = Part(file, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<pageSetUpPr fitToPage=\"1\"/>"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("fitToHeight=\"0\"")));

    const QString pdf = Convert(file, QStringLiteral("pdf"));
    const QStringList pages = PdfPageTexts(pdf);
    ASSERT_EQ(PdfPages(pdf), 1) << pages.join(QStringLiteral("\n----\n")).toStdString();
    EXPECT_TRUE(pages[0].simplified().contains(title)) << pages[0].toStdString();
    const QRegularExpression row(QStringLiteral("^ *01\\.09\\.2026 00:(15|30):00( +\\d\\d[.,]25){6}$"),
                                 QRegularExpression::MultilineOption);
    EXPECT_EQ(pages[0].count(row), 2) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Kanal 6 Differenz")));
}

// ---- Shading -----------------------------------------------------------------------

// The window system writes colours blue first (0x00BBGGRR), the file red
// first: yellow must stay yellow, not turn cyan (grey reads the same both ways).
TEST_F(SpreadsheetReadBack, ShadedCellsKeepTheirColourInTheFileAndInLibreOffice)
{
    REQUIRE_TOOL("unzip");
    REQUIRE_TOOL("soffice");
    platform::TStringGridModel grid;
    reporttest::FillGrid(grid, {{"", "Zeit", "A", "B"}, {"", "x", "1", "2"}, {"", "y", "3", "4"}});
    report.OnCellColor = [](const platform::TStringGridModel&, uint16_t col, int row, bool,
                            platform::TColor& colour) {
        colour = col == 2 ? platform::clYellow : platform::TColor(0x0080FF);   // yellow; orange
        return row == 1;
    };
    report.WriteTable(grid);
    const QString file = Save(QStringLiteral("farbe.xlsx"));
    const QString styles = Part(file, QStringLiteral("xl/styles.xml"));
    EXPECT_TRUE(styles.contains(QStringLiteral("<fgColor rgb=\"FFFFFF00\"/>"))) << styles.toStdString();
    EXPECT_TRUE(styles.contains(QStringLiteral("<fgColor rgb=\"FFFF8000\"/>"))) << styles.toStdString();
    EXPECT_FALSE(styles.contains(QStringLiteral("FF00FFFF")));

    const QString fods = QString::fromUtf8(testsupport::readFile(Convert(file, QStringLiteral("fods"))));
    EXPECT_TRUE(fods.contains(QStringLiteral("fo:background-color=\"#ffff00\""))) << fods.left(8000).toStdString();
    EXPECT_TRUE(fods.contains(QStringLiteral("fo:background-color=\"#ff8000\"")));
    EXPECT_FALSE(fods.contains(QStringLiteral("fo:background-color=\"#00ffff\"")));
}
