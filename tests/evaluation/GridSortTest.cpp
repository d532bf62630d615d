// Sorting the table's data rows and marking all data cells.
#include "evaluation/GridSort.h"
#include "platform/LocaleFormats.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>
#include <random>

// Readable failure output for texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

using platform::TGridRect;
using platform::TStringGridModel;

namespace {

// One column of texts under fixedRows header rows; column 0 holds a row id.
void Fill(TStringGridModel& g, const QStringList& texts, int fixedRows = 1)
{
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(2);
    g.SetRowCount(fixedRows + int(texts.size()));
    g.SetFixedRows(fixedRows);
    for (int r = 0; r < fixedRows; ++r) {
        g.SetCell(0, r, QStringLiteral("H%1").arg(r));
        g.SetCell(1, r, QStringLiteral("Header"));
    }
    for (int i = 0; i < texts.size(); ++i) {
        g.SetCell(0, fixedRows + i, QString::number(i + 1));
        g.SetCell(1, fixedRows + i, texts[i]);
    }
}

QStringList Column(const TStringGridModel& g, int col)
{
    QStringList out;
    for (int r = 0; r < g.RowCount(); ++r)
        out << g.Cell(col, r);
    return out;
}

} // namespace

TEST(DateSortKey, ReversesTheDatePartsCharacterByCharacter)
{
    EXPECT_EQ(DateSortKey("31.12.2005"), "20051231");
    EXPECT_EQ(DateSortKey("1/2/2005"), "200521");
    EXPECT_EQ(DateSortKey("31.12.2005 23:45"), "2005 23:451231");
    EXPECT_EQ(DateSortKey("10.1.2005"), "2005110");
    EXPECT_EQ(DateSortKey(""), "");
    EXPECT_EQ(DateSortKey("..x"), "x");
}

TEST(GridSort, GridsWithoutTwoDataRowsStayUnchanged)
{
    TStringGridModel g;
    Fill(g, {"b"});
    SortGridByValue(1, false, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "b"}));

    g.SetRowCount(1);
    g.SetFixedRows(0);
    SortGridByValue(1, true, g);
    EXPECT_EQ(g.Cell(1, 0), "Header");
}

TEST(GridSort, TextOrderIsByCharacterCode)
{
    TStringGridModel g;
    Fill(g, {"10", "9", " 8", "b", "B", "ab", "a"});
    SortGridByValue(1, false, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", " 8", "10", "9", "B", "a", "ab", "b"}));
    EXPECT_EQ(g.Cell(0, 0), "H0") << "fixed rows never move";
    EXPECT_EQ(Column(g, 0), (QStringList{"H0", "3", "1", "2", "5", "7", "6", "4"}))
        << "the row id in column 0 travels with its row";

    SortGridByValue(1, true, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "b", "ab", "a", "B", "9", "10", " 8"}));
}

TEST(GridSort, CharactersOrderByWindows1252CodeThenOutsideByCodePoint)
{
    TStringGridModel g;
    // U+20AC is 80h in Windows-1252, U+0141 has no code there, U+1F600 needs two UTF-16 units.
    Fill(g, {QString::fromUtf8("\xC5\x81"), QString::fromUtf8("\xC3\xBF"), QString::fromUtf8("\xE2\x82\xAC"),
             "~", QString::fromUtf8("\xF0\x9F\x98\x80"), QString::fromUtf8("\xC2\xA1")});
    SortGridByValue(1, false, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "~", QString::fromUtf8("\xE2\x82\xAC"), QString::fromUtf8("\xC2\xA1"),
                                         QString::fromUtf8("\xC3\xBF"), QString::fromUtf8("\xC5\x81"),
                                         QString::fromUtf8("\xF0\x9F\x98\x80")}));
}

TEST(GridSort, EqualKeysEndWhereTheShellSortPutsThem)
{
    TStringGridModel g;
    Fill(g, {"b", "a", "b", "a", "b", "a", "c"});
    SortGridByValue(1, false, g);
    EXPECT_EQ(Column(g, 0), (QStringList{"H0", "4", "2", "6", "1", "5", "3", "7"}));

    Fill(g, {"b", "a", "b", "a", "b", "a", "c"});
    SortGridByValue(1, true, g);
    EXPECT_EQ(Column(g, 0), (QStringList{"H0", "7", "5", "3", "1", "2", "6", "4"}));

    // Sorting again in the same direction changes nothing.
    const QStringList before = Column(g, 0);
    SortGridByValue(1, true, g);
    EXPECT_EQ(Column(g, 0), before);
}

TEST(GridSort, DateColumnsSortChronologically)
{
    const platform::ScopedLocaleFormats german(platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"),
                                                                       QStringLiteral("HH:mm:ss")));
    TStringGridModel g;
    Fill(g, {"01.02.2005", "31.01.2005"});
    SortGridByValue(1, false, g);
    EXPECT_EQ(g.Cell(1, 1), "01.02.2005");
    SortGridByDate(1, false, g);
    EXPECT_EQ(g.Cell(1, 1), "31.01.2005");

    // Without leading zeros: the reversed-parts key would put 10.1. first.
    Fill(g, {"10.1.2005", "5.1.2005", "1.2.2005"});
    SortGridByDate(1, false, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "5.1.2005", "10.1.2005", "1.2.2005"}));

    // A year is ordered by its days first, then by the time of day.
    Fill(g, {"31.12.2005 23:45:00", "01.06.2005 08:00:00", "31.12.2005 08:00", "01.01.2006 00:15:00"}, 2);
    SortGridByDate(1, true, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "Header", "01.01.2006 00:15:00", "31.12.2005 23:45:00",
                                         "31.12.2005 08:00", "01.06.2005 08:00:00"}));
    SortGridByDate(1, false, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "Header", "01.06.2005 08:00:00", "31.12.2005 08:00",
                                         "31.12.2005 23:45:00", "01.01.2006 00:15:00"}));

    // A date alone reads as its midnight.
    Fill(g, {"02.03.2005 00:00:01", "02.03.2005", "01.03.2005 23:59:59"});
    SortGridByDate(1, false, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "01.03.2005 23:59:59", "02.03.2005", "02.03.2005 00:00:01"}));
}

TEST(GridSort, TextsThatReadAsNoDateComeFirstByTheirDateKey)
{
    const platform::ScopedLocaleFormats german(platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"),
                                                                       QStringLiteral("HH:mm:ss")));
    TStringGridModel g;
    Fill(g, {"02.01.2005", "x.b", "", "01.01.2005", "y.a"});
    SortGridByDate(1, false, g);
    // "x.b" keys "bx", "y.a" keys "ay", the empty text keys "".
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "", "y.a", "x.b", "01.01.2005", "02.01.2005"}));
}

TEST(GridSort, DatesSortByTheFormatsOfTheLocaleInUse)
{
    // A month-first format: 1/2/2005 is the second of January.
    const platform::ScopedLocaleFormats us(platform::LocaleFormats(QStringLiteral("M/d/yyyy"),
                                                                   QStringLiteral("h:mm:ss AP")));
    TStringGridModel g;
    Fill(g, {"2/1/2005 1:00:00 PM", "1/2/2005", "2/1/2005 11:00:00 AM", "12/31/2004"});
    SortGridByDate(1, false, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "12/31/2004", "1/2/2005", "2/1/2005 11:00:00 AM",
                                         "2/1/2005 1:00:00 PM"}));
    SortGridByDate(1, true, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "2/1/2005 1:00:00 PM", "2/1/2005 11:00:00 AM", "1/2/2005",
                                         "12/31/2004"}));
}

TEST(GridSort, ManyRowsEndSortedAndKeepTheirCells)
{
    TStringGridModel g;
    g.SetColCount(3);
    g.SetRowCount(5001);
    g.SetFixedRows(1);
    std::mt19937 rng(7);
    for (int r = 1; r <= 5000; ++r) {
        const int day = int(rng() % 28) + 1, month = int(rng() % 12) + 1, year = 2000 + int(rng() % 10);
        const QString date = QStringLiteral("%1.%2.%3").arg(day, 2, 10, QChar('0')).arg(month, 2, 10, QChar('0')).arg(year);
        g.SetCell(0, r, date);
        g.SetCell(2, r, date + "!"); // a second cell of the same row
        g.SetRowObject(r, quintptr(r));
    }
    g.SetCell(1, 5005, "beyond"); // kept beyond the row count, never sorted in
    const platform::ScopedLocaleFormats german(platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"),
                                                                       QStringLiteral("HH:mm:ss")));
    SortGridByDate(0, false, g);
    for (int r = 2; r <= 5000; ++r)
        ASSERT_LE(DateSortKey(g.Cell(0, r - 1)), DateSortKey(g.Cell(0, r))) << "row " << r;
    for (int r = 1; r <= 5000; ++r)
        ASSERT_EQ(g.Cell(2, r), g.Cell(0, r) + "!") << "row " << r;
    EXPECT_EQ(g.Cell(1, 5005), "beyond");
    SortGridByValue(-1, false, g); // outside the columns: nothing happens
    SortGridByValue(3, false, g);
}

TEST(GridSelectAll, MarksTheWholeDataArea)
{
    TStringGridModel g;
    g.SetColCount(4);
    g.SetRowCount(5);
    g.SetFixedCols(1);
    g.SetFixedRows(2);
    GridSelectAll(g);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 2, 3, 4}));
}

// Keys kept beside the grid sort the rows exactly as their texts do: the
// same exchanges, so rows of equal keys end in the same places.
TEST(GridSort, RowKeysSortAsTheirTextsDo)
{
    std::mt19937 random(7);
    const QStringList tails = {QString(), QString(), QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("9"),
                               QStringLiteral("10a"), QStringLiteral("\u00e4"), QStringLiteral("\u20ac"),
                               QStringLiteral("\u0101"), QStringLiteral("1 ")};
    for (int round = 0; round < 20; ++round) {
        const int count = 2 + int(random() % 300);
        QStringList texts;
        std::vector<TRowSortKey> keys;
        for (int i = 0; i < count; ++i) {
            const int64_t number = 20040101000000 + int64_t(random() % 6) * 1500;
            const QString tail = tails[qsizetype(random() % tails.size())];
            texts << QString::number(number) + tail;
            keys.push_back(TRowSortKey{number, TextSortWeights(tail)});
        }
        const bool descending = round % 2 == 1;
        TStringGridModel byText;
        TStringGridModel byKeys;
        Fill(byText, texts, 2);
        Fill(byKeys, texts, 2);
        SortGridByValue(1, descending, byText);
        SortGridByRowKeys(keys, descending, byKeys, nullptr);
        EXPECT_EQ(Column(byKeys, 0), Column(byText, 0)) << round;
        EXPECT_EQ(Column(byKeys, 1), Column(byText, 1)) << round;
    }
}

TEST(GridSort, CellsReadAsNumbersWithEitherSeparatorAndInsideBrackets)
{
    const std::pair<const char*, double> numbers[] = {
        {"981.62", 981.62},     {"1576,4", 1576.4},   {"( 0.0000)", 0.0},  {"(-12,5)", -12.5},
        {"  10016.92 ", 10016.92}, {"1.234,5", 1234.5}, {"1,234.5", 1234.5}, {"1.234.567", 1234567.0},
        {"+7", 7.0},            {".5", 0.5},          {"\t-3\r", -3.0},
    };
    for (const auto& [text, expected] : numbers) {
        double value = -1;
        EXPECT_TRUE(ReadCellNumber(QString::fromUtf8(text), value)) << text;
        EXPECT_DOUBLE_EQ(value, expected) << text;
    }
    for (const char* text : {"", "()", "( )", "-", ".", "1.2.3,4,5", "12a", "0x0002", "inf", "nan", "1e5",
                             "1 000", "(5", "5)", "1-2", "01.02.2005 10:00"}) {
        double value = -1;
        EXPECT_FALSE(ReadCellNumber(QString::fromUtf8(text), value)) << text;
        EXPECT_EQ(value, -1) << text << " leaves the value alone";
    }
}

TEST(GridSort, ValueColumnsSortByValueWithTextsFirst)
{
    TStringGridModel g;
    Fill(g, {"981.62", "( 0.0000)", "10016.92", "", "1576,4", "-", "(-3.5)", "2"});
    ASSERT_TRUE(ColumnHoldsNumbers(1, g));
    SortGridByNumber(1, false, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "", "-", "(-3.5)", "( 0.0000)", "2", "981.62", "1576,4",
                                         "10016.92"}));
    EXPECT_EQ(Column(g, 0), (QStringList{"H0", "4", "6", "7", "2", "8", "1", "5", "3"})) << "rows move whole";
    SortGridByNumber(1, true, g);
    EXPECT_EQ(Column(g, 1), (QStringList{"Header", "10016.92", "1576,4", "981.62", "2", "( 0.0000)", "(-3.5)", "-",
                                         ""}));

    TStringGridModel texts;
    Fill(texts, {"b", "", "a"});
    EXPECT_FALSE(ColumnHoldsNumbers(1, texts));
    EXPECT_FALSE(ColumnHoldsNumbers(5, texts));
}
