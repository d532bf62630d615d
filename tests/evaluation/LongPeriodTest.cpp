// Long periods and the row limit: no reading inside the chosen period is
// dropped for lying far from its start, and a table the row limit ended says
// how far it reaches.
#include "EvaluatorFixture.h"

#include "evaluation/ArchiveScan.h"
#include "evaluation/TreeLevels.h"
#include "support/ArchiveGenerator.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

using namespace evaltest;

namespace {

const QStringList kPeriodTemplate{QStringLiteral("Zeitraum: [DatStart] - [DatEnd]")};

} // namespace

// The sample device 31415 has its readings in September to November 2026.
// The year strip dragged over 2021..2026 must show every day of them, not
// only the event rows the slot table never held.
TEST_F(EvaluatorTest, SixYearPeriodOfTheSampleDeviceShowsEveryDayOfItsData)
{
    for (const QString& name : {QStringLiteral("0031415_2026-09.AGR"), QStringLiteral("0031415_2026-11.AGR")}) {
        QFile::remove(archiveDir + name);
        ASSERT_TRUE(QFile::copy(QStringLiteral(VALDRAN_DATA_DIR "/archives/") + name, archiveDir + name));
    }
    TArchiveScanner scanner(state, reader, hooks);
    scanner.SetPump(nullptr);
    ASSERT_TRUE(scanner.ScanArchiveFiles(false));
    QStringList names, rows;
    scanner.Levels().TreeLevelProvider(1, HeaderKeyTable[hkDevNo].Caption, QString(), QString(), names, rows);
    const qsizetype device = names.indexOf(QStringLiteral("31415"));
    ASSERT_GE(device, 0) << names.join(u',').toStdString();

    headTemplate.SetLines(kPeriodTemplate);
    TEvaluator ev(state, reader, decoder, headTemplate, table, scanner.Overview(), hooks);
    ev.SetPump(&pump);
    ev.View() = evaluator->View();
    ev.View().Differenz = false;
    ev.Today = [] { return platform::EncodeDate(2026, 12, 9); };

    // The days that hold readings, from the one-year period that always
    // worked.
    auto daysShown = [&]() {
        QSet<QString> days;
        for (int r = Grid().FixedRows(); r < Grid().RowCount(); ++r)
            days.insert(Grid().Cell(1, r).left(10));
        return days;
    };
    ev.View().PeriodStart = platform::EncodeDate(2026, 1, 1);
    ev.View().PeriodEnd = platform::EncodeDate(2026, 12, 31);
    ev.FillTable(1, names[device], HeaderKeyTable[hkDevNo].Caption, QString(), rows[device]);
    const int rowsOfTheYear = DataRows();
    const QSet<QString> daysOfTheYear = daysShown();
    ASSERT_GT(daysOfTheYear.size(), 60) << "the sample holds readings of every day from September on";

    ev.View().PeriodStart = platform::EncodeDate(2021, 1, 1);
    ev.View().PeriodEnd = platform::EncodeDate(2026, 12, 31);
    ev.FillTable(1, names[device], HeaderKeyTable[hkDevNo].Caption, QString(), rows[device]);
    EXPECT_EQ(DataRows(), rowsOfTheYear);
    EXPECT_EQ(daysShown(), daysOfTheYear);
    EXPECT_FALSE(ev.RowLimitReached);
    EXPECT_EQ(table.TitleLines(), QStringList{QStringLiteral("Zeitraum: 01.01.2021 - 31.12.2026")});
}

// Readings at the start and on the last second of a period of four years
// (beyond 1,098 days from its start) all find their quarter hours: the slot
// table's end follows the period's.
TEST_F(EvaluatorTest, ReadingsAtBothEndsOfAFourYearPeriodKeepTheirRows)
{
    WriteArchive("A.AGR", ArchiveText("5", {"Zeit", "VA"}, {"", "m3"},
                                      {DataLine(1, QStringLiteral("01.01.2004 00:00:00"), {"1"}),
                                       DataLine(2, QStringLiteral("31.12.2007 23:45:00"), {"2"}),
                                       DataLine(3, QStringLiteral("31.12.2007 23:59:59"), {"3"}),
                                       DataLine(4, QStringLiteral("01.01.2008 00:00:00"), {"4"})}));
    FillOverview(overview, {{"A.AGR", "5"}});
    SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("31.12.2007"));
    evaluator->View().Differenz = false;
    SelectDevice("5", "1");
    EXPECT_EQ(Column(2), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(Column(1), (QStringList{"01.01.2004 00:00:00", "31.12.2007 23:45:00", "31.12.2007 23:59:59"}));
}

// Two devices of one-minute readings over the same month do not fit into the
// table: the second stops at the row limit. The table keeps only the time
// both devices fill, and the message and the title say up to when.
TEST_F(EvaluatorTest, RowLimitCutsTheTableToTheTimeItHoldsAndNamesIt)
{
    testsupport::ArchiveParams p;
    p.days = 31;
    p.channels = 1;
    p.intervalMinutes = 1;
    p.statusColumn = false;
    p.deviceNumber = QStringLiteral("0000001");
    WriteArchive("A.AGR", testsupport::GenerateArchive(p));
    p.deviceNumber = QStringLiteral("0000002");
    p.seed = 2;
    WriteArchive("B.AGR", testsupport::GenerateArchive(p));
    FillOverview(overview, {{"A.AGR", "0000001"}, {"B.AGR", "0000002"}});
    SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("31.01.2004"));
    headTemplate.SetLines(kPeriodTemplate);
    state.Settings.OhneDoppelte = false;
    evaluator->View().Differenz = false;

    Select(1, QStringLiteral("123"), QStringLiteral("Kunden-Nr."), QString(), QStringLiteral("1,2"));

    ASSERT_TRUE(evaluator->RowLimitReached);
    ASSERT_EQ(fakes.kindMessages.size(), 1u);
    const QString message = fakes.lastMessageText();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Daten bis (\\d\\d\\.\\d\\d\\.\\d{4}) (\\d\\d:\\d\\d:\\d\\d)")).match(message);
    ASSERT_TRUE(m.hasMatch()) << message.toStdString();
    const QString lastDay = m.captured(1);
    const QString lastTime = m.captured(2);
    EXPECT_TRUE(message.contains(QStringLiteral("65535"))) << message.toStdString();

    // The second device filled about half of the month: the rows of the
    // first device after the last reading of the second are gone, so every
    // minute up to that reading stands twice, and nothing after it.
    const QString lastRow = Grid().Cell(1, Grid().RowCount() - 1);
    EXPECT_EQ(lastRow, lastDay + QLatin1Char(' ') + lastTime);
    EXPECT_LT(QDate::fromString(lastDay, QStringLiteral("dd.MM.yyyy")), QDate(2004, 1, 31));
    const QTime end = QTime::fromString(lastTime, QStringLiteral("HH:mm:ss"));
    const int minutes = QDate(2004, 1, 1).daysTo(QDate::fromString(lastDay, QStringLiteral("dd.MM.yyyy"))) * 1440
                        + end.hour() * 60 + end.minute();
    // The generated archives begin one interval after midnight.
    EXPECT_EQ(DataRows(), 2 * minutes);
    EXPECT_EQ(Grid().Cell(1, Grid().RowCount() - 2), lastRow);
    EXPECT_EQ(table.TitleLines(), QStringList{QStringLiteral("Zeitraum: 01.01.2004 - ") + lastDay});
}
