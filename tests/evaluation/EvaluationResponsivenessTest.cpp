// The window stays responsive during an evaluation: the pump runs after the
// lines of the archives and within every long step of the table's finish
// (sort, difference columns, column deletion), and an abort set while
// messages are let through ends the evaluation after the line being read.
#include "EvaluatorFixture.h"

#include "evaluation/ArchiveReader.h"
#include "support/ArchiveGenerator.h"


using namespace evaltest;

namespace {

class ResponsivenessTest : public EvaluatorTest {
protected:
    // A quarter of a year of quarter-hour values (8,640 lines), 4 value
    // channels and a status column, difference columns on.
    void WriteQuarterYear() { WriteDays(90); }
    // The same for the given number of days.
    void WriteDays(int days)
    {
        testsupport::ArchiveParams p;
        p.deviceNumber = QStringLiteral("0012345");
        p.startDate = QDate(2004, 1, 1);
        p.days = days;
        p.specialShare = 0.01;
        lines = testsupport::ArchiveDataLineCount(p);
        ASSERT_TRUE(testsupport::WriteArchive(archiveDir + QStringLiteral("Q.AGR"), p));
        FillOverview(overview, {{QStringLiteral("Q.AGR"), QStringLiteral("0012345")}});
        SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("31.12.2004"));
        state.Settings.Format = true;
        evaluator->View().Differenz = true;
        evaluator->View().Zaehler = true;
    }

    int lines = 0;
};

} // namespace

// How long messages wait and how soon an abort takes effect are wall-clock
// figures: the main-road benchmark measures them (longest pump gap, abort
// latency) beside their goals. These tests check the structure that gives
// them: a pump after every line and every 1,024 rows of the finish, and an
// abort read after each pump.
TEST_F(ResponsivenessTest, PumpRunsAfterEveryLineAndWithinTheFinishingSteps)
{
    WriteQuarterYear();
    // Interval 0: every call of the pump runs its action, so the calls show
    // where the evaluation lets messages through.
    pump.SetIntervalMs(0);
    int whileReading = 0;
    int whileFinishing = 0;
    pump.SetAction([&] {
        if (!state.Busy)
            return;
        if (table.Filling())
            ++whileReading;
        else
            ++whileFinishing;
    });
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));

    const int rows = DataRows();
    ASSERT_GE(rows, lines);   // ordinary rows and the special-event rows
    // After every line of the file (header lines included).
    EXPECT_GE(whileReading, lines);
    // The finish: the sort by time (key building and every pass), four
    // difference columns, each at least every 1,024 rows.
    EXPECT_GE(whileFinishing, 4 * (rows / 1024) + 2 * (rows / 1024));
}

TEST_F(ResponsivenessTest, AbortSetWhileMessagesGoThroughStopsAfterTheLineBeingRead)
{
    WriteQuarterYear();
    pump.SetIntervalMs(0);
    int calls = 0;
    int callsAfterAbort = 0;
    int rowsAtAbort = -1;
    pump.SetAction([&] {
        ++calls;
        if (state.Abort) {
            ++callsAfterAbort;
            return;
        }
        if (calls == 500) {
            state.Abort = true;
            rowsAtAbort = evaluator->RowCount;
        }
    });
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));

    ASSERT_GE(rowsAtAbort, 0);
    // No further line was read: the row count stands where the abort found it.
    EXPECT_EQ(evaluator->RowCount, rowsAtAbort);
    // Only the closing pump of the evaluation runs afterwards.
    EXPECT_LE(callsAfterAbort, 1);
    EXPECT_FALSE(state.Busy);
    EXPECT_EQ(running.back(), false);
    // The table stays hidden.
    EXPECT_EQ(shown.size(), 1u);
}

// The value fields are shaped in place for speed; every shown field must come
// out as the number-text routines make it: formatted for a column with a unit,
// without leading zeros otherwise, in the middle of a line and as its last
// field.
TEST_F(ResponsivenessTest, ValueFieldsComeOutAsTheNumberTextRoutinesMakeThem)
{
    state.Settings.Format = true;
    state.Settings.KopfZeile = false;
    const QStringList names{QStringLiteral("Zeit"), QStringLiteral("VA"), QStringLiteral("VB")};
    const QStringList units{QString(), QStringLiteral("m3"), QString()};
    const QStringList fields{
        QStringLiteral("00001000"), QStringLiteral("0020,50"), QStringLiteral("12.000"), QStringLiteral("007"),
        QStringLiteral("0,5"),      QStringLiteral("0.5"),     QStringLiteral("1,2,0"),  QStringLiteral("12:"),
        QStringLiteral("000"),      QStringLiteral("1.50:"),   QStringLiteral("-0012,5"), QStringLiteral("0"),
        QStringLiteral("5"),        QStringLiteral("123456789012"), QStringLiteral("0,"), QStringLiteral(",0"),
        QStringLiteral("abc"),      QStringLiteral(" 12"),     QStringLiteral("00.00"),  QStringLiteral("1.0.0")};
    QStringList lines;
    for (int i = 0; i < fields.size(); ++i) {
        const int minutes = 15 * (i + 1);
        const QString ts = QStringLiteral("01.01.2004 %1:%2:00")
                               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
        lines << DataLine(i + 1, ts, {fields[i], fields[fields.size() - 1 - i]});
    }
    WriteArchive(QStringLiteral("F.AGR"), ArchiveText(QStringLiteral("7"), names, units, lines));
    FillOverview(overview, {{QStringLiteral("F.AGR"), QStringLiteral("7")}});
    SelectDevice(QStringLiteral("7"), QStringLiteral("1"));

    ASSERT_EQ(DataRows(), fields.size());
    for (int i = 0; i < fields.size(); ++i) {
        QString formatted = fields[i];
        FormatNumberText(formatted);
        QString plain = fields[fields.size() - 1 - i];
        StripLeadingZeros(plain);
        EXPECT_EQ(DataRow(i).value(2), formatted) << fields[i].toStdString();
        EXPECT_EQ(DataRow(i).value(3), plain) << fields[fields.size() - 1 - i].toStdString();
    }
}
