// Reading table texts for the spreadsheet: numbers with either separator, the
// scan of the first value columns and the classification of other texts.
#include "reports/CellValueScan.h"

#include "platform/DateTimeValue.h"
#include "platform/LocaleFormats.h"
#include "platform/StringGrid.h"

#include <gtest/gtest.h>

using namespace reports;

namespace {

double Num(const char* text)
{
    double v = -12345;
    EXPECT_TRUE(ConvertReportNumber(QString::fromUtf8(text), v)) << text;
    return v;
}

bool IsNumber(const char* text)
{
    double v = 0;
    return ConvertReportNumber(QString::fromUtf8(text), v);
}

// A grid with one header row, a hidden marker column 0, a date column 1
// (fixed) and value columns from 2.
void FillGrid(platform::TStringGridModel& grid, const std::vector<std::vector<QString>>& rows)
{
    grid.SetColCount(int(rows[0].size()));
    grid.SetRowCount(int(rows.size()));
    grid.SetFixedRows(1);
    grid.SetFixedCols(2);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(rows[std::size_t(r)].size()); ++c)
            grid.SetCell(c, r, rows[std::size_t(r)][std::size_t(c)]);
}

} // namespace

TEST(ReportNumbers, EitherSeparatorReads)
{
    EXPECT_DOUBLE_EQ(Num("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(Num("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(Num("-0,25"), -0.25);
    EXPECT_DOUBLE_EQ(Num("+3"), 3.0);
    EXPECT_DOUBLE_EQ(Num("1.5E3"), 1500.0);
    EXPECT_DOUBLE_EQ(Num(".5"), 0.5);
    EXPECT_DOUBLE_EQ(Num("7."), 7.0);
}

TEST(ReportNumbers, OtherTextsAreNoNumbers)
{
    for (const char* t : {"", "-", ".", "1.234,5", "1,234.5", "12.5.2005", "nan", "inf", "1e", "12 5", "0x10",
                          "(  22.5000)", "1e999", "12:30"})
        EXPECT_FALSE(IsNumber(t)) << t;
}

TEST(ReportNumbers, TrimTakesBlanksAndControlCharacters)
{
    EXPECT_EQ(TrimCellText(u"  \t 12,5 \r\n"), u"12,5");
    EXPECT_TRUE(TrimCellText(u"   ").isEmpty());
}

TEST(ReportNumberScan, LastSeparatorCellDecidesTheFormatWithTheSystemSeparator)
{
    platform::TStringGridModel grid;
    FillGrid(grid, {{"", "Zeit", "A", "B"},
                    {"", "01.01.2005", "12.5", "3"},
                    {"", "02.01.2005", "  13.75", ""},
                    {"", "03.01.2005", "14", "4,125"}});
    QString f = QStringLiteral("0");
    EXPECT_TRUE(ScanValueColumns(grid, 2, f, QLatin1Char(',')));
    // Column B's "4,125" comes last: three decimals, with the system's comma.
    EXPECT_EQ(f, QStringLiteral("0,000"));

    QString g = QStringLiteral("0");
    EXPECT_TRUE(ScanValueColumns(grid, 2, g, QLatin1Char('.')));
    EXPECT_EQ(g, QStringLiteral("0.000"));
}

TEST(ReportNumberScan, DateInTheFirstThreeValueColumnsMakesTextsOnlyThere)
{
    platform::TStringGridModel grid;
    FillGrid(grid, {{"", "Zeit", "A", "B", "C", "D"},
                    {"", "x", "1,50", "2", "3", "01.02.2005"},
                    {"", "y", "1,25", "05.06.2005", "3", "4"}});
    QString f = QStringLiteral("0");
    EXPECT_FALSE(ScanValueColumns(grid, 2, f, QLatin1Char(',')));
    EXPECT_EQ(f, QStringLiteral("0,00"));

    // The fourth value column is not scanned.
    platform::TStringGridModel g2;
    FillGrid(g2, {{"", "Zeit", "A", "B", "C", "D"},
                  {"", "x", "1", "2", "3", "01.02.2005"}});
    QString f2 = QStringLiteral("0,00");
    EXPECT_TRUE(ScanValueColumns(g2, 2, f2, QLatin1Char(',')));
    EXPECT_EQ(f2, QStringLiteral("0,00")) << "integers keep the format of the table before";
}

TEST(ReportNumberScan, FormatIsCutToTwelveCharacters)
{
    platform::TStringGridModel grid;
    FillGrid(grid, {{"", "Zeit", "A"}, {"", "x", "0.123456789012345"}});
    QString f;
    EXPECT_TRUE(ScanValueColumns(grid, 2, f, QLatin1Char('.')));
    EXPECT_EQ(f, QStringLiteral("0.0000000000"));
}

class ReportClassification : public ::testing::Test {
protected:
    platform::LocaleFormats formats{QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss")};
};

TEST_F(ReportClassification, DatesTimesAndBothAreSerialsFrom1899)
{
    const TCellClass d = ClassifyCellText(u"01.02.2005", formats);
    EXPECT_EQ(d.Kind, TCellTextKind::Date);
    EXPECT_TRUE(d.Converted);
    EXPECT_DOUBLE_EQ(d.Value, 38384.0);    // the serial of 1 February 2005

    const TCellClass t = ClassifyCellText(u"12:30", formats);
    EXPECT_EQ(t.Kind, TCellTextKind::Time);
    EXPECT_DOUBLE_EQ(t.Value, 12.5 / 24);

    const TCellClass dt = ClassifyCellText(u"01.02.2005 06:00", formats);
    EXPECT_EQ(dt.Kind, TCellTextKind::DateTime);
    EXPECT_DOUBLE_EQ(dt.Value, 38384.25);

    EXPECT_EQ(ClassifyCellText(u"24:00", formats).Kind, TCellTextKind::Number);
}

TEST_F(ReportClassification, OtherTextsKeepTheirNumberOrStayTexts)
{
    // A bracketed difference keeps its reading, with either separator.
    TCellClass c = ClassifyCellText(u"(  22.5000)", formats);
    EXPECT_EQ(c.Kind, TCellTextKind::Number);
    EXPECT_TRUE(c.Converted);
    EXPECT_DOUBLE_EQ(c.Value, 22.5);
    c = ClassifyCellText(u"12346,25 kWh", formats);
    EXPECT_TRUE(c.Converted);
    EXPECT_DOUBLE_EQ(c.Value, 12346.25);
    // Nothing that reads: a text, never the number 0.
    c = ClassifyCellText(u"Störung", formats);
    EXPECT_EQ(c.Kind, TCellTextKind::Number);
    EXPECT_FALSE(c.Converted);
    EXPECT_FALSE(ClassifyCellText(u"2005-01-01", formats).Converted);
    EXPECT_EQ(ClassifyCellText(u"", formats).Kind, TCellTextKind::Empty);
}

TEST_F(ReportClassification, DatesTheSpreadsheetCannotShowStayTexts)
{
    EXPECT_FALSE(ClassifyCellText(u"01.01.1900", formats).Converted);
    EXPECT_TRUE(ClassifyCellText(u"01.03.1900", formats).Converted);
}

TEST(ReportNumberScan, BlanksNeitherCountAsDecimalsNorMakeTheBlockTexts)
{
    platform::TStringGridModel grid;
    FillGrid(grid, {{"", "Zeit", "A"}, {"", "x", "   "}, {"", "y", "12.5  "}});
    QString f = QStringLiteral("0");
    EXPECT_TRUE(ScanValueColumns(grid, 2, f, QLatin1Char(',')));
    EXPECT_EQ(f, QStringLiteral("0,0"));
}
