// The difference columns take the numbers the evaluation kept while it wrote
// the value cells; the table must be the one that reading every cell's text
// back gives, cell for cell, whatever the fields hold and wherever the sort
// moves the rows.
#include "evaluation/EvaluatorFixture.h"

#include <functional>
#include <random>

namespace evaltest {
namespace {

// The status column stands between value columns: sorting by the column
// after it ("SortOno") moves the rows once more.
const QStringList kNames{QStringLiteral("Zeit"), QStringLiteral("VA"), QStringLiteral("StAe"), QStringLiteral("VB"),
                         QStringLiteral("VC")};
const QStringList kUnits{QString(), QStringLiteral("m3"), QString(), QStringLiteral("m3"), QString()};

// Fields as archives hold them, and those that only look like numbers.
QString RandomField(std::mt19937& rng)
{
    static const char* const odd[] = {"",      ".0",     ",0",        "0",   "0,",  ".",    ",",     " 12 ",
                                      "-5,5",  "+7",     "1e3",       "12:30", "abc", "1.2.3", "1,2.3", "  ",
                                      "0000000000000001234", "1234567890123456", "99999999999999.9",
                                      "123456789012345", "-9999", "0.000", "000", "5.", "\t", "1.0000000000000001"};
    const unsigned pick = rng() % 10;
    if (pick < 5) {
        // A counter with leading zeros, whole or with a decimal comma.
        const unsigned value = rng() % 100000;
        QString text = QStringLiteral("%1").arg(value, 8, 10, QLatin1Char('0'));
        if (pick >= 3)
            text.insert(7, QLatin1Char(rng() % 2 == 0 ? ',' : '.'));
        return text;
    }
    return QString::fromLatin1(odd[rng() % (sizeof odd / sizeof odd[0])]);
}

// Quarter-hour lines of two days, some a few seconds off, some twice, some
// out of their order, some special or ordinary events.
QStringList RandomLines(std::mt19937& rng, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        int minutes = 15 * (i + 1);
        if (rng() % 6 == 0 && i > 0)
            minutes -= 15;                      // the stamp of the line before
        const int seconds = rng() % 5 == 0 ? int(rng() % 60) : 0;
        const QString stamp = QStringLiteral("%1.01.2004 %2:%3:%4")
                                  .arg(1 + minutes / 1440, 2, 10, QLatin1Char('0'))
                                  .arg(minutes % 1440 / 60, 2, 10, QLatin1Char('0'))
                                  .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                                  .arg(seconds, 2, 10, QLatin1Char('0'));
        QStringList fields{RandomField(rng), QString::number(rng() % 3 == 0 ? 8 : 0), RandomField(rng),
                           RandomField(rng)};
        const unsigned event = rng() % 8;
        if (event == 0)
            fields << QStringLiteral("0x8105");   // special
        else if (event == 1)
            fields << QStringLiteral("0x8104");   // ordinary
        lines << DataLine(i + 1, stamp, fields);
    }
    // Neighbours exchanged: the sort has rows to move.
    for (int i = 0; i + 1 < lines.size(); ++i)
        if (rng() % 5 == 0)
            lines.swapItemsAt(i, i + 1);
    return lines;
}

class DifferenceNumbersTest : public EvaluatorTest {
protected:
    struct TTable {
        QStringList cells;
        QString label;
    };
    TTable Evaluate(bool keepNumbers, bool group)
    {
        evaluator->KeepCellNumbers = keepNumbers;
        if (group)
            Select(1, QStringLiteral("123"), HeaderKeyTable[hkCustNo].Caption, QString(), QStringLiteral("1,2,3"));
        else
            SelectDevice(QStringLiteral("5"), QStringLiteral("1,2"));
        TTable t;
        t.cells << QStringLiteral("%1x%2").arg(Grid().ColCount()).arg(Grid().RowCount());
        for (int r = 0; r < Grid().RowCount(); ++r)
            t.cells << Row(r).join(QLatin1Char('|'));
        t.label = table.EvaluationLabel();
        return t;
    }
};

TEST_F(DifferenceNumbersTest, KeptNumbersGiveTheTableThatReadingTheCellsGives)
{
    int compared = 0;
    int withDifferences = 0;
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        std::mt19937 rng(seed);
        WriteArchive(QStringLiteral("A.AGR"), ArchiveText(QStringLiteral("5"), kNames, kUnits, RandomLines(rng, 90)));
        WriteArchive(QStringLiteral("B.AGR"), ArchiveText(QStringLiteral("5"), kNames, kUnits, RandomLines(rng, 60)));
        WriteArchive(QStringLiteral("C.AGR"), ArchiveText(QStringLiteral("7"), kNames, kUnits, RandomLines(rng, 70)));
        FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("5")},
                                {QStringLiteral("B.AGR"), QStringLiteral("5")},
                                {QStringLiteral("C.AGR"), QStringLiteral("7")}});
        for (int config = 0; config < 64; ++config) {
            state.Settings.Format = (config & 1) != 0;
            evaluator->View().Alles = (config & 2) != 0;
            state.Settings.SortOno = (config & 4) != 0;
            state.Settings.OhneDoppelte = (config & 8) != 0;
            evaluator->View().Zaehler = (config & 16) != 0;
            state.Settings.StatusDekodiert = (config & 32) != 0;
            evaluator->View().Differenz = true;
            for (uint8_t view = 0; view <= 2; ++view) {
                evaluator->View().ViewMode = view;
                for (const bool group : {false, true}) {
                    SCOPED_TRACE(testing::Message() << "seed " << seed << " config " << config << " view "
                                                    << int(view) << (group ? " group" : " device"));
                    const TTable kept = Evaluate(true, group);
                    const TTable read = Evaluate(false, group);
                    ASSERT_EQ(kept.cells.size(), read.cells.size());
                    for (qsizetype r = 0; r < kept.cells.size(); ++r)
                        ASSERT_EQ(kept.cells[r].toStdString(), read.cells[r].toStdString()) << "grid row " << r - 1;
                    ASSERT_EQ(kept.label.toStdString(), read.label.toStdString());
                    ++compared;
                    if (kept.cells.size() > 1 && kept.cells[2].contains(QStringLiteral("-Differenz")))
                        ++withDifferences;
                }
            }
        }
    }
    EXPECT_EQ(compared, 3 * 64 * 3 * 2);
    // The comparisons are of tables that have difference columns.
    EXPECT_GT(withDifferences, compared / 2);
}

// Rows and columns the user drags while the table is filled or finished
// (the pump lets the mouse through): the table is the one reading the cells
// as they then stand gives.
TEST_F(DifferenceNumbersTest, RowsAndColumnsMovedMeanwhileGiveTheTableThatReadingTheCellsGives)
{
    // Fifty quarter hours of 25.01. first, the last of them twice, then the
    // random lines (earlier days).
    QStringList lines;
    for (int i = 0; i <= 50; ++i) {
        const int minutes = 15 * std::min(i + 1, 50);
        lines << DataLine(i + 1, QStringLiteral("25.01.2004 %1:%2:00")
                                     .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                                     .arg(minutes % 60, 2, 10, QLatin1Char('0')),
                          {QString::number(1000 + 7 * i), QStringLiteral("0"), QString::number(500 + 3 * i), "1"});
    }
    std::mt19937 rng(5);
    lines += RandomLines(rng, 1500);
    WriteArchive(QStringLiteral("A.AGR"), ArchiveText(QStringLiteral("5"), kNames, kUnits, lines));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("5")}});
    state.Settings.Format = true;
    evaluator->View().Differenz = true;
    pump.SetIntervalMs(0);   // every call lets messages through: the same calls in both runs

    const auto firstData = [this] { return Grid().FixedRows(); };
    const auto differenceHeader = [this] {
        for (int c = 0; c < Grid().ColCount(); ++c)
            if (Grid().CellView(c, 1).endsWith(u"-Differenz"))
                return c;
        return -1;
    };
    struct TMove {
        const char* when;
        std::function<bool()> ready;
        std::function<void()> move;
    };
    const std::vector<TMove> moves{
        // The newest row moves away: what the fill writes into it next
        // (the line of the same quarter hour) lands in the row now there.
        {"while filled", [&] { return !Grid().CellView(0, firstData() + 49).isEmpty(); },
         [&] { Grid().MoveRow(firstData() + 49, firstData() + 3); }},
        {"a column while filled", [&] { return !Grid().CellView(0, firstData() + 40).isEmpty(); },
         [&] { Grid().MoveColumn(3, 4); }},
        {"before the differences", [&] { return differenceHeader() >= 0; },
         [&] { Grid().MoveRow(firstData(), Grid().RowCount() - 1); }},
        {"a column before the differences", [&] { return differenceHeader() >= 0; },
         [&] { Grid().MoveColumn(2, 3); }},
        {"during the differences",
         [&] {
             const int c = differenceHeader();
             return c >= 0 && !Grid().CellView(c, firstData() + 500).isEmpty();
         },
         [&] { Grid().MoveRow(firstData() + 1200, firstData() + 5); }},
    };
    for (const TMove& m : moves) {
        SCOPED_TRACE(m.when);
        std::vector<TTable> tables;
        for (const bool keep : {true, false}) {
            bool moved = false;
            pump.SetAction([&] {
                if (!moved && m.ready()) {
                    moved = true;
                    m.move();
                }
            });
            tables.push_back(Evaluate(keep, false));
            pump.SetAction([] {});
            ASSERT_TRUE(moved);
        }
        ASSERT_EQ(tables[0].cells.size(), tables[1].cells.size());
        for (qsizetype r = 0; r < tables[0].cells.size(); ++r)
            ASSERT_EQ(tables[0].cells[r].toStdString(), tables[1].cells[r].toStdString()) << "grid row " << r - 1;
        ASSERT_EQ(tables[0].label.toStdString(), tables[1].label.toStdString());
    }
}

} // namespace
} // namespace evaltest
