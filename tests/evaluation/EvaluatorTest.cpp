// The evaluation of selected archives into the table, driven through FillTable
// and checked cell by cell.
#include "EvaluatorFixture.h"

#include "base/ZT_Tools.h"
#include "support/ArchiveGenerator.h"
#include "support/TestSupport.h"

#include <QDate>
#include <QFile>

using namespace evaltest;

namespace {

const QStringList kNames{QStringLiteral("Zeit"), QStringLiteral("VA"), QStringLiteral("VB"), QStringLiteral("StAe")};
const QStringList kUnits{QString(), QStringLiteral("m3"), QStringLiteral("m3"), QString()};

QString Ts(const QString& date, const QString& time) { return date + QLatin1Char(' ') + time; }

// Field k of the generated data line with ordinal i.
QString GeneratedField(const QByteArray& bytes, int ordinal, int k)
{
    const QList<QByteArray> lines = bytes.split('\n');
    const QByteArray prefix = QByteArray::number(ordinal) + '\t';
    bool data = false;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!data) {
            data = line.startsWith('O');
            continue;
        }
        if (line.startsWith(prefix))
            return QString::fromLatin1(line.split('\t').value(k));
    }
    return QString();
}

QString Stripped(QString s)
{
    StripLeadingZeros(s);
    return s;
}

} // namespace

// ---- All values ------------------------------------------------------------------

TEST_F(EvaluatorTest, AllValuesFillHeaderRowsDataRowsTitleAndCounterLabel)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive(QStringLiteral("A.AGR"),
                 ArchiveText(QStringLiteral("0012345"), kNames, kUnits,
                             {DataLine(9, Ts(QStringLiteral("31.12.2003"), QStringLiteral("23:45:00")),
                                       {QStringLiteral("00000990"), QStringLiteral("0019,5"), QStringLiteral("0")}),
                              DataLine(1, Ts(d, QStringLiteral("00:15:00")),
                                       {QStringLiteral("00001000"), QStringLiteral("0020,5"), QStringLiteral("0")}),
                              DataLine(2, Ts(d, QStringLiteral("00:30:00")),
                                       {QStringLiteral("00001010"), QStringLiteral("0021,0"), QStringLiteral("0")}),
                              // A special event (code not in the ordinary list).
                              DataLine(3, Ts(d, QStringLiteral("00:45:00")),
                                       {QStringLiteral("00001025"), QStringLiteral("0021,5"), QStringLiteral("8"),
                                        QStringLiteral("0x8105")}),
                              DataLine(4, Ts(d, QStringLiteral("01:00:00")),
                                       {QStringLiteral("00001030"), QStringLiteral("0022,0"), QStringLiteral("0"),
                                        QStringLiteral("0x8104")}),
                              // Time stamp as last field: no row.
                              QStringLiteral("5\t01.01.2004 01:15:00")}));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("0012345")}});

    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));

    EXPECT_EQ(Grid().FixedRows(), 3);
    EXPECT_EQ(Grid().FixedCols(), 2);
    EXPECT_EQ(Row(0), (QStringList{"", "", "0012345", "0012345"}));
    EXPECT_EQ(Row(1), (QStringList{"", "Zeit", "VA", "VB"}));
    EXPECT_EQ(Row(2), (QStringList{"", "", "m3", "m3"}));
    ASSERT_EQ(DataRows(), 4);
    EXPECT_EQ(DataRow(0), (QStringList{"0", "01.01.2004 00:15:00", "1000", "20,5"}));
    EXPECT_EQ(DataRow(1), (QStringList{"0", "01.01.2004 00:30:00", "1010", "21,0"}));
    EXPECT_EQ(DataRow(2), (QStringList{"1", "01.01.2004 00:45:00", "1025", "21,5"}));
    EXPECT_EQ(DataRow(3), (QStringList{"0", "01.01.2004 01:00:00", "1030", "22,0"}));
    EXPECT_EQ(Grid().ColWidth(0), 0);
    EXPECT_GE(Grid().ColWidth(1), TEvaluator::MinColumnWidth);

    EXPECT_EQ(table.TitleLines(),
              (QStringList{QStringLiteral("Kunde 123           |"), QStringLiteral("Gerät 0012345       |")}));
    const QString diff = TrimControlChars(table.FormatDifference(state.Settings.ZahlenFormat, 30));
    EXPECT_EQ(table.EvaluationLabel(),
              QStringLiteral("01.01.2004 00:15:00 1000 - 01.01.2004 01:00:00 1030: ") + diff);

    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), std::make_pair(false, false));
    EXPECT_EQ(shown.back(), std::make_pair(true, true));
    EXPECT_EQ(running, (std::vector<bool>{true, false}));
    EXPECT_EQ(chartUpdates, 1);
    EXPECT_FALSE(state.Busy);
    EXPECT_TRUE(fakes.kindMessages.empty());
}

TEST_F(EvaluatorTest, FormattedNumbersAndDeviceHeaderRowOff)
{
    state.Settings.Format = true;
    state.Settings.KopfZeile = false;
    WriteArchive(QStringLiteral("A.AGR"),
                 ArchiveText(QStringLiteral("7"), kNames, kUnits,
                             {DataLine(1, QStringLiteral("01.01.2004 00:15:00"),
                                       {QStringLiteral("00001000"), QStringLiteral("0020,50"), QStringLiteral("0")})}));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("7")}});
    SelectDevice(QStringLiteral("7"), QStringLiteral("1"));

    EXPECT_EQ(Grid().FixedRows(), 2);
    EXPECT_EQ(Row(0), (QStringList{"", "Zeit", "VA", "VB"}));
    EXPECT_EQ(Row(1), (QStringList{"", "", "m3", "m3"}));
    ASSERT_EQ(DataRows(), 1);
    EXPECT_EQ(DataRow(0), (QStringList{"0", "01.01.2004 00:15:00", "  1000.0", "    20.5"}));
    // One row: the table is shown, but the counter needs two rows.
    EXPECT_EQ(shown.back(), std::make_pair(true, true));
    EXPECT_TRUE(table.EvaluationLabel().isEmpty());
}

// ---- Day and month values --------------------------------------------------------

TEST_F(EvaluatorTest, DayValuesFindTheDayBeginOnNinetyMinuteGridFromQuarterHourData)
{
    const QByteArray bytes = WriteGeneratedDevice(3, 2, QStringLiteral("06"));   // first line 00:15
    SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("03.01.2004"));
    evaluator->View().ViewMode = 1;
    state.Settings.HoleTB = false;   // the header's 06 is not used

    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));

    // 00:15, 00:30 ... never lie on a multiple of 5400 s; 01:30 is the first.
    EXPECT_DOUBLE_EQ(evaluator->DayBegin, 5400.0 / 86400.0);
    EXPECT_EQ(Column(1), (QStringList{"01.01.2004", "02.01.2004", "03.01.2004"}));
    // The rows hold the 01:30 lines (ordinals 6, 102, 198).
    EXPECT_EQ(Column(2), (QStringList{Stripped(GeneratedField(bytes, 6, 2)), Stripped(GeneratedField(bytes, 102, 2)),
                                      Stripped(GeneratedField(bytes, 198, 2))}));
}

TEST_F(EvaluatorTest, DayBeginSevenFromTheHeaderKeepsTheSevenOClockLineOnly)
{
    const QByteArray bytes = WriteGeneratedDevice(3, 1, QStringLiteral("07"));
    SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("03.01.2004"));
    evaluator->View().ViewMode = 1;
    state.Settings.HoleTB = true;
    state.Settings.ZeitImmer = true;

    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));

    EXPECT_DOUBLE_EQ(evaluator->DayBegin, 7.0 / 24.0);
    EXPECT_EQ(Column(1), (QStringList{"01.01.2004 07:00:00", "02.01.2004 07:00:00", "03.01.2004 07:00:00"}));
    EXPECT_EQ(Column(2), (QStringList{Stripped(GeneratedField(bytes, 28, 2)), Stripped(GeneratedField(bytes, 124, 2)),
                                      Stripped(GeneratedField(bytes, 220, 2))}));
}

TEST_F(EvaluatorTest, DayValuesOfTenMinuteDataKeepTheLinesAroundTheDayBegin)
{
    WriteGeneratedDevice(2, 1, QStringLiteral("06"), 10);
    SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("02.01.2004"));
    evaluator->View().ViewMode = 1;
    state.Settings.HoleTB = true;
    state.Settings.ZeitImmer = true;

    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));

    EXPECT_EQ(Column(1), (QStringList{"01.01.2004 05:50:00", "01.01.2004 06:00:00", "01.01.2004 06:10:00",
                                      "02.01.2004 05:50:00", "02.01.2004 06:00:00", "02.01.2004 06:10:00"}));
}

TEST_F(EvaluatorTest, DayBeginCellThatIsNoHourFallsBackToDetection)
{
    EXPECT_DOUBLE_EQ(TEvaluator::DayBeginFromCell(QStringLiteral("07")), 7.0 / 24.0);
    EXPECT_DOUBLE_EQ(TEvaluator::DayBeginFromCell(QStringLiteral("0")), 0.0);
    EXPECT_EQ(TEvaluator::DayBeginFromCell(QStringLiteral("24")), -1.0);
    EXPECT_EQ(TEvaluator::DayBeginFromCell(QStringLiteral("6,5")), -1.0);
    EXPECT_EQ(TEvaluator::DayBeginFromCell(QStringLiteral("-1")), -1.0);
    EXPECT_EQ(TEvaluator::DayBeginFromCell(QString()), -1.0);
}

TEST_F(EvaluatorTest, MonthValuesKeepTheDayBeginLineOfEachFirstOfMonth)
{
    WriteGeneratedDevice(95, 1, QStringLiteral("06"), 60);
    SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("31.03.2004"));
    evaluator->View().ViewMode = 2;
    state.Settings.HoleTB = true;

    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));

    EXPECT_EQ(Column(1), (QStringList{"01.01.2004", "01.02.2004", "01.03.2004"}));
}

// ---- Differences and the counter ----------------------------------------------------

class DifferenceTest : public EvaluatorTest {
protected:
    void WriteValues(bool firstSpecial)
    {
        const QString d = QStringLiteral("01.01.2004");
        const QString special = QStringLiteral("0x8105");
        WriteArchive(QStringLiteral("A.AGR"),
                     ArchiveText(QStringLiteral("5"), kNames, kUnits,
                                 {DataLine(1, Ts(d, "00:15:00"), {"100", "1", "0", firstSpecial ? special : ""}),
                                  DataLine(2, Ts(d, "00:30:00"), {"110", "2", "0"}),
                                  DataLine(3, Ts(d, "00:45:00"), {"125", "4", "0", special}),
                                  DataLine(4, Ts(d, "01:00:00"), {"130", "8", "0"}),
                                  DataLine(5, Ts(d, "01:15:00"), {"150", "16", "0"})}));
        FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("5")}});
    }
    QString Diff(double v) { return table.FormatDifference(state.Settings.ZahlenFormat, v); }
    QString Br(double v) { return QLatin1Char('(') + Diff(v) + QLatin1Char(')'); }
};

TEST_F(DifferenceTest, DifferenceColumnsBracketTheValuesIntoAndOutOfASpecialEvent)
{
    WriteValues(false);
    evaluator->View().Differenz = true;
    SelectDevice(QStringLiteral("5"), QStringLiteral("1"));

    ASSERT_EQ(Grid().ColCount(), 6);
    EXPECT_EQ(Row(0), (QStringList{"", "", "5", "5", "5", "5"}));
    EXPECT_EQ(Row(1), (QStringList{"", "Zeit", "VA", "VB", "VA-Differenz", "VB-Differenz"}));
    EXPECT_EQ(Row(2), (QStringList{"", "", "m3", "m3", "m3", "m3"}));
    EXPECT_EQ(Column(4), (QStringList{Diff(10), Br(15), Br(5), Diff(20), ""}));
    EXPECT_EQ(Column(5), (QStringList{Diff(1), Br(2), Br(4), Diff(8), ""}));
    EXPECT_EQ(Column(0), (QStringList{"0", "0", "1", "0", "0"}));
}

TEST_F(DifferenceTest, WithoutCounterOnlyDateAndDifferenceColumnsRemain)
{
    WriteValues(true);
    evaluator->View().Differenz = true;
    evaluator->View().Zaehler = false;
    table.SetEvaluationLabel(QStringLiteral("old"));
    SelectDevice(QStringLiteral("5"), QStringLiteral("1"));

    ASSERT_EQ(Grid().ColCount(), 4);
    EXPECT_EQ(Row(1), (QStringList{"", "Zeit", "VA-Differenz", "VB-Differenz"}));
    EXPECT_EQ(Column(2), (QStringList{Br(10), Br(15), Br(5), Diff(20), ""}));
    EXPECT_EQ(evaluator->StatusColumn, 0);
    // The label of an earlier table does not stay.
    EXPECT_TRUE(table.EvaluationLabel().isEmpty());
}

TEST_F(EvaluatorTest, CounterDifferenceShowsDatesOnlyForTheSameTimeOfDay)
{
    const QByteArray bytes = WriteGeneratedDevice(3, 1, QStringLiteral("06"));
    SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("03.01.2004"));
    evaluator->View().ViewMode = 1;
    state.Settings.HoleTB = true;
    state.Settings.ZeitImmer = true;
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));

    const QString v1 = Stripped(GeneratedField(bytes, 24, 2));
    const QString v2 = Stripped(GeneratedField(bytes, 216, 2));
    const QString diff = TrimControlChars(table.FormatDifference(state.Settings.ZahlenFormat, v2.toDouble() - v1.toDouble()));
    EXPECT_EQ(table.EvaluationLabel(),
              QStringLiteral("01.01.2004 ") + v1 + QStringLiteral(" - 03.01.2004 ") + v2 + QStringLiteral(": ") + diff);
}

TEST_F(EvaluatorTest, CounterDifferenceSkipsRowsWithoutAReading)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive(QStringLiteral("A.AGR"),
                 ArchiveText(QStringLiteral("5"), kNames, kUnits,
                             {DataLine(1, Ts(d, "00:15:00"), {"", "1", "0"}),
                              DataLine(2, Ts(d, "00:30:00"), {"110", "2", "0"}),
                              DataLine(3, Ts(d, "00:45:00"), {"125", "4", "0"}),
                              DataLine(4, Ts(d, "01:00:00"), {"", "8", "0"})}));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("5")}});
    SelectDevice(QStringLiteral("5"), QStringLiteral("1"));

    const QString diff = TrimControlChars(table.FormatDifference(state.Settings.ZahlenFormat, 15));
    EXPECT_EQ(table.EvaluationLabel(),
              QStringLiteral("01.01.2004 00:30:00 110 - 01.01.2004 00:45:00 125: ") + diff);

    // Only one reading left: no counter difference at all.
    evaluator->ShowCounterDifference(Grid().FixedRows(), Grid().FixedRows() + 1);
    EXPECT_TRUE(table.EvaluationLabel().isEmpty());
}

TEST_F(EvaluatorTest, CounterDifferenceNeverCutsADateTimeInsideItself)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive(QStringLiteral("A.AGR"),
                 ArchiveText(QStringLiteral("5"), kNames, kUnits,
                             {DataLine(1, Ts(d, "00:15:00"), {"100", "1", "0"}),
                              DataLine(2, Ts(d, "00:30:00"), {"110", "2", "0"})}));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("5")}});
    SelectDevice(QStringLiteral("5"), QStringLiteral("1"));
    const int first = Grid().FixedRows();
    const QString diff = TrimControlChars(table.FormatDifference(state.Settings.ZahlenFormat, 10));

    // An English table: 12-hour times with their marker, 21 and 22 characters.
    {
        const platform::ScopedLocaleFormats us(platform::LocaleFormats(
            QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP"), QLocale(QLocale::English, QLocale::UnitedStates)));
        Grid().SetCell(1, first, QStringLiteral("12/1/2026 12:00:00 AM"));
        Grid().SetCell(1, first + 1, QStringLiteral("11/10/2026 11:52:05 PM"));
        evaluator->ShowCounterDifference(first, first + 1);
        EXPECT_EQ(table.EvaluationLabel(),
                  QStringLiteral("12/1/2026 12:00:00 AM 100 - 11/10/2026 11:52:05 PM 110: ") + diff);

        // The text's own cut moves behind a date it would split.
        state.Settings.ZaehlerText = QString(240, QLatin1Char('x')) + QStringLiteral("[ZST_Start_Dat] [ZST_Diff]");
        evaluator->ShowCounterDifference(first, first + 1);
        EXPECT_EQ(table.EvaluationLabel(), QString(240, QLatin1Char('x')) + QStringLiteral("12/1/2026 12:00:00 AM"));
    }
    // German texts fit the cut as they always did.
    state.Settings.ZaehlerText = QStringLiteral("[ZST_Start_Dat] [ZST_Start_Val] - [ZST_End_Dat] [ZST_End_Val]: [ZST_Diff]");
    Grid().SetCell(1, first, QStringLiteral("01.12.2026 00:00:00"));
    Grid().SetCell(1, first + 1, QStringLiteral("10.11.2026 23:52:05"));
    evaluator->ShowCounterDifference(first, first + 1);
    EXPECT_EQ(table.EvaluationLabel(),
              QStringLiteral("01.12.2026 00:00:00 100 - 10.11.2026 23:52:05 110: ") + diff);
}

// The day differences of the sample device with its special events, counter
// columns shown or not, numbers formatted or not: every bracketed difference
// keeps both brackets.
TEST_F(EvaluatorTest, BracketedDifferencesOfTheSampleDeviceKeepBothBrackets)
{
    const QStringList files = {QStringLiteral("0031415_2026-09.AGR"), QStringLiteral("0031415_2026-11.AGR")};
    for (const QString& f : files)
        ASSERT_TRUE(QFile::copy(QStringLiteral(VALDRAN_DATA_DIR "/archives/") + f, archiveDir + f));
    FillOverview(overview, {{files[0], QStringLiteral("0031415")}, {files[1], QStringLiteral("0031415")}});
    SetPeriod(QStringLiteral("01.01.2024"), QStringLiteral("31.12.2026"));
    evaluator->View().ViewMode = 1;
    evaluator->View().Differenz = true;
    for (const bool counters : {true, false}) {
        for (const bool formatted : {false, true}) {
            evaluator->View().Zaehler = counters;
            state.Settings.Format = formatted;
            table.SetTableMode(false, formatted, 9);
            SelectDevice(QStringLiteral("0031415"), QStringLiteral("1,2"));
            int bracketed = 0;
            QString eventCell;
            const int firstDifference = Grid().ColCount() - 4;
            for (int r = Grid().FixedRows(); r < Grid().RowCount(); ++r) {
                for (int c = firstDifference; c < Grid().ColCount(); ++c) {
                    const QString text = Grid().Cell(c, r);
                    if (text.startsWith(QLatin1Char('(')))
                        ++bracketed;
                    EXPECT_EQ(text.startsWith(QLatin1Char('(')), text.endsWith(QLatin1Char(')')))
                        << Grid().Cell(1, r).toStdString() << ": " << text.toStdString();
                }
                if (Grid().Cell(1, r) == QStringLiteral("03.10.2026 02:11:40"))
                    eventCell = Grid().Cell(firstDifference, r);
            }
            EXPECT_GT(bracketed, 20);
            EXPECT_EQ(eventCell, formatted ? QStringLiteral("(146.5)") : QStringLiteral("( 146.5000)"));
        }
    }
}

// ---- Several archives and devices ---------------------------------------------------------

TEST_F(EvaluatorTest, DeviceContinuesOverTwoArchivesInItsOwnColumns)
{
    for (const bool header : {true, false}) {
        SCOPED_TRACE(header);
        state.Settings.KopfZeile = header;
        const QString d = QStringLiteral("01.01.2004");
        WriteArchive(QStringLiteral("A1.AGR"),
                     ArchiveText("5", kNames, kUnits,
                                 {DataLine(1, Ts(d, "00:15:00"), {"100", "1"}), DataLine(2, Ts(d, "00:30:00"), {"110", "2"})}));
        WriteArchive(QStringLiteral("A2.AGR"),
                     ArchiveText("5", kNames, kUnits,
                                 {DataLine(3, Ts(d, "00:45:00"), {"120", "3"}), DataLine(4, Ts(d, "01:00:00"), {"130", "4"})}));
        FillOverview(overview, {{QStringLiteral("A1.AGR"), QStringLiteral("5")},
                                {QStringLiteral("A2.AGR"), QStringLiteral("5")}});
        SelectDevice(QStringLiteral("5"), QStringLiteral("1,2"));

        ASSERT_EQ(Grid().ColCount(), 4);
        EXPECT_EQ(Column(2), (QStringList{"100", "110", "120", "130"}));
        EXPECT_EQ(Column(3), (QStringList{"1", "2", "3", "4"}));
    }
}

// A selection with no row to read leaves the table shown as it is: it must
// not finish it again (and take another column away each time).
TEST_F(EvaluatorTest, ARowListWithoutRowsLeavesTheTableAsItIs)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive(QStringLiteral("A1.AGR"),
                 ArchiveText("5", kNames, kUnits,
                             {DataLine(1, Ts(d, "00:15:00"), {"100", "1"}), DataLine(2, Ts(d, "00:30:00"), {"110", "2"})}));
    FillOverview(overview, {{QStringLiteral("A1.AGR"), QStringLiteral("5")}});
    SelectDevice(QStringLiteral("5"), QStringLiteral("1"));
    ASSERT_EQ(Grid().ColCount(), 4);
    std::vector<QStringList> before;
    for (int r = 0; r < Grid().RowCount(); ++r)
        before.push_back(Row(r));
    const std::size_t runs = running.size();

    for (const QString& rows : {QString(), QStringLiteral(","), QStringLiteral(",,")}) {
        for (const uint8_t level : {uint8_t(1), uint8_t(2), uint8_t(3)}) {
            Select(level, QStringLiteral("5"), HeaderKeyTable[hkDevNo].Caption, QString(), rows);
            ASSERT_EQ(Grid().ColCount(), 4) << rows.toStdString() << int(level);
            ASSERT_EQ(Grid().RowCount(), int(before.size()));
            for (int r = 0; r < Grid().RowCount(); ++r)
                EXPECT_EQ(Row(r), before[std::size_t(r)]) << r;
        }
    }
    EXPECT_EQ(running.size(), runs) << "nothing ran";
}

TEST_F(EvaluatorTest, GroupOfThreeDevicesShowsFirstColumnsSkipsLogbooksAndSingleDeviceTitleLines)
{
    for (const bool header : {true, false}) {
        SCOPED_TRACE(header);
        state.Settings.KopfZeile = header;
        const QString d = QStringLiteral("01.01.2004");
        const QStringList devices{"111", "222", "333"};
        std::vector<OverviewEntry> entries;
        for (int i = 0; i < 3; ++i) {
            const QString v = QString::number((i + 1) * 100);
            WriteArchive(devices[i] + ".AGR",
                         ArchiveText(devices[i], kNames, kUnits,
                                     {DataLine(1, Ts(d, "00:15:00"), {v, "1"}), DataLine(2, Ts(d, "00:30:00"), {v + "1", "2"})}));
            entries.push_back({devices[i] + ".AGR", devices[i]});
        }
        WriteArchive("111.AGW", ArchiveText("111", kNames, kUnits,
                                            {DataLine(7, Ts(d, "00:20:00"), {"9", "9", "0", "0x8104"})}, true));
        entries.push_back({QStringLiteral("111.AGW"), QStringLiteral("111")});
        FillOverview(overview, entries);

        Select(1, QStringLiteral("123"), HeaderKeyTable[hkCustNo].Caption, QString(), QStringLiteral("1,2,3,4"));

        ASSERT_EQ(Grid().ColCount(), 5);
        if (header) {
            EXPECT_EQ(Row(0), (QStringList{"", "", "111", "222", "333"}));
        }
        EXPECT_EQ(Row(Grid().FixedRows() - 2), (QStringList{"", "Zeit", "VA", "VA", "VA"}));
        ASSERT_EQ(DataRows(), 2);
        EXPECT_EQ(DataRow(0), (QStringList{"0", "01.01.2004 00:15:00", "100", "200", "300"}));
        EXPECT_EQ(DataRow(1), (QStringList{"0", "01.01.2004 00:30:00", "1001", "2001", "3001"}));
        EXPECT_EQ(table.TitleLines(), QStringList{QStringLiteral("Kunde 123           |")});
        EXPECT_TRUE(evaluator->FirstColumnsOnly);
        EXPECT_EQ(evaluator->Selection, HeaderKeyTable[hkCustNo].Caption);
    }
}

TEST_F(EvaluatorTest, ChannelEntryShowsOnlyThatColumn)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive(QStringLiteral("A.AGR"),
                 ArchiveText("5", kNames, kUnits, {DataLine(1, Ts(d, "00:15:00"), {"100", "1", "0"})}));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("5")}});

    // Under the device grouping (level 2) and under another grouping (level 3).
    Select(2, QStringLiteral("VB / m3"), QStringLiteral("5"), HeaderKeyTable[hkDevNo].Caption, QStringLiteral("1"));
    EXPECT_EQ(Row(1), (QStringList{"", "Zeit", "VB"}));
    EXPECT_EQ(DataRow(0), (QStringList{"0", "01.01.2004 00:15:00", "1"}));
    EXPECT_EQ(evaluator->ColumnFilter, QStringLiteral("VB / m3"));

    Select(3, QStringLiteral("VA / m3"), QStringLiteral("5"), QStringLiteral("123"), QStringLiteral("1"));
    EXPECT_EQ(Row(1), (QStringList{"", "Zeit", "VA"}));
    EXPECT_EQ(DataRow(0), (QStringList{"0", "01.01.2004 00:15:00", "100"}));
}

// ---- Special events --------------------------------------------------------------------------

TEST_F(EvaluatorTest, SpecialEventModesSelectOrdinaryEventAndLogbookRows)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive(QStringLiteral("A.AGR"),
                 ArchiveText("5", kNames, kUnits,
                             {DataLine(1, Ts(d, "00:15:00"), {"100", "1", "0"}),
                              DataLine(2, Ts(d, "00:20:00"), {"105", "1", "8", "0x8105"}),
                              DataLine(3, Ts(d, "00:30:00"), {"110", "1", "0", "0x8104"})}));
    WriteArchive(QStringLiteral("A.AGW"),
                 ArchiveText("5", kNames, kUnits,
                             {DataLine(11, Ts(d, "00:00:00"), {"1", "1", "0", "0x8104"}),
                              DataLine(12, Ts(d, "00:40:00"), {"2", "2", "0", "0x8106"})},
                             true));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("5")}, {QStringLiteral("A.AGW"), QStringLiteral("5")}});

    struct Case {
        uint8_t mode;
        QStringList dates;
        QStringList flags;
    };
    const std::vector<Case> cases{
        {0, {"01.01.2004 00:00:00", "01.01.2004 00:15:00", "01.01.2004 00:30:00"}, {"0", "0", "0"}},
        {1,
         {"01.01.2004 00:00:00", "01.01.2004 00:15:00", "01.01.2004 00:20:00", "01.01.2004 00:30:00",
          "01.01.2004 00:40:00"},
         {"0", "0", "1", "0", "1"}},
        {2, {"01.01.2004 00:20:00", "01.01.2004 00:40:00"}, {"1", "1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        state.Settings.SondEreig = c.mode;
        SelectDevice(QStringLiteral("5"), QStringLiteral("1,2"));
        EXPECT_EQ(Column(1), c.dates);
        EXPECT_EQ(Column(0), c.flags);
    }
}

TEST_F(EvaluatorTest, TheFirstEventCodeOfALineDecidesWhereverItStands)
{
    // The code after the first TAB "0x" counts, also in a value field, also
    // behind more TABs than the evaluation keeps track of.
    const QString d = QStringLiteral("01.01.2004");
    QStringList many(69, QStringLiteral("1"));
    QStringList specialFirst = many, ordinaryFirst = many;
    specialFirst[3] = QStringLiteral("0x8105");
    specialFirst << QStringLiteral("0x8104");
    ordinaryFirst[3] = QStringLiteral("0x8104");
    ordinaryFirst << QStringLiteral("0x8105");
    const QStringList lines{
        DataLine(1, Ts(d, "00:15:00"), {"0x8105", "1", "0"}),
        DataLine(2, Ts(d, "00:30:00"), {"100", "1", "0", "0x8104"}),
        DataLine(3, Ts(d, "00:45:00"), {"100", "1", "0", "0x8105"}),
        DataLine(4, Ts(d, "01:00:00"), many + QStringList{"0x8105"}),
        DataLine(5, Ts(d, "01:15:00"), specialFirst),
        DataLine(6, Ts(d, "01:30:00"), ordinaryFirst),
        DataLine(7, Ts(d, "01:45:00"), {"100", "10x8105", "0"}),
        DataLine(8, Ts(d, "02:00:00"), {"100", "1", "0"}) + QStringLiteral("\t0"),
    };
    WriteArchive(QStringLiteral("A.AGR"), ArchiveText("5", kNames, kUnits, lines));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("5")}});
    SelectDevice(QStringLiteral("5"), QStringLiteral("1"));
    QStringList expected;
    for (const QString& line : lines)
        expected << (decoder.IsSpecialEventLine(line) ? QStringLiteral("1") : QStringLiteral("0"));
    EXPECT_EQ(expected, (QStringList{"1", "0", "1", "1", "1", "0", "0", "0"}));
    EXPECT_EQ(Column(0), expected);
}

TEST_F(EvaluatorTest, EventRowsAtMidnightShowTheTimeEvenInDayView)
{
    const QString d = QStringLiteral("02.01.2004");
    WriteArchive(QStringLiteral("A.AGW"),
                 ArchiveText("5", kNames, kUnits, {DataLine(11, Ts(d, "00:00:00"), {"1", "1", "0", "0x8104"})}, true));
    FillOverview(overview, {{QStringLiteral("A.AGW"), QStringLiteral("5")}});
    evaluator->View().ViewMode = 1;
    SelectDevice(QStringLiteral("5"), QStringLiteral("1"));
    EXPECT_EQ(Column(1), QStringList{"02.01.2004 00:00:00"});
}

// ---- Merging --------------------------------------------------------------------------------

TEST_F(EvaluatorTest, MergingOnAndOffForTwoDevicesWithTheSameTimes)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive("A.AGR", ArchiveText("111", kNames, kUnits,
                                      {DataLine(1, Ts(d, "00:15:00"), {"10"}), DataLine(2, Ts(d, "00:30:00"), {"11"})}));
    WriteArchive("B.AGR", ArchiveText("222", kNames, kUnits,
                                      {DataLine(1, Ts(d, "00:15:00"), {"20"}), DataLine(2, Ts(d, "00:30:00"), {"21"})}));
    FillOverview(overview, {{"A.AGR", "111"}, {"B.AGR", "222"}});

    state.Settings.OhneDoppelte = true;
    Select(1, "123", HeaderKeyTable[hkCustNo].Caption, QString(), "1,2");
    ASSERT_EQ(DataRows(), 2);
    EXPECT_EQ(DataRow(0), (QStringList{"0", "01.01.2004 00:15:00", "10", "20"}));
    EXPECT_EQ(DataRow(1), (QStringList{"0", "01.01.2004 00:30:00", "11", "21"}));

    state.Settings.OhneDoppelte = false;
    Select(1, "123", HeaderKeyTable[hkCustNo].Caption, QString(), "1,2");
    ASSERT_EQ(DataRows(), 4);
    EXPECT_EQ(Column(1), (QStringList{"01.01.2004 00:15:00", "01.01.2004 00:15:00", "01.01.2004 00:30:00",
                                      "01.01.2004 00:30:00"}));
    EXPECT_EQ(Column(2).join('|') + "/" + Column(3).join('|'), QStringLiteral("10||11|/|20||21"));
}

TEST_F(EvaluatorTest, EqualEventLinesMergeOnlyWithMergingOn)
{
    const QString d = QStringLiteral("01.01.2004");
    const QStringList line{DataLine(7, Ts(d, "00:20:00"), {"9", "9", "0", "0x8105"})};
    WriteArchive("A1.AGR", ArchiveText("5", kNames, kUnits, line));
    WriteArchive("A2.AGR", ArchiveText("5", kNames, kUnits, line));
    FillOverview(overview, {{"A1.AGR", "5"}, {"A2.AGR", "5"}});
    SelectDevice("5", "1,2");
    EXPECT_EQ(DataRows(), 1);
    state.Settings.OhneDoppelte = false;
    SelectDevice("5", "1,2");
    EXPECT_EQ(DataRows(), 2);
}

TEST_F(EvaluatorTest, TenMinuteDataOfOneDeviceOverTwoArchivesLosesNoLine)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive("A1.AGR", ArchiveText("5", kNames, kUnits,
                                       {DataLine(1, Ts(d, "00:10:00"), {"1"}), DataLine(2, Ts(d, "00:20:00"), {"2"}),
                                        DataLine(3, Ts(d, "00:30:00"), {"3"}), DataLine(4, Ts(d, "00:40:00"), {"4"})}));
    // Overlaps the first archive by one line, which merges as a duplicate.
    WriteArchive("A2.AGR", ArchiveText("5", kNames, kUnits,
                                       {DataLine(4, Ts(d, "00:40:00"), {"4"}), DataLine(5, Ts(d, "00:50:00"), {"5"}),
                                        DataLine(6, Ts(d, "01:00:00"), {"6"})}));
    FillOverview(overview, {{"A1.AGR", "5"}, {"A2.AGR", "5"}});
    SelectDevice("5", "1,2");
    EXPECT_EQ(Column(1), (QStringList{"01.01.2004 00:10:00", "01.01.2004 00:20:00", "01.01.2004 00:30:00",
                                      "01.01.2004 00:40:00", "01.01.2004 00:50:00", "01.01.2004 01:00:00"}));
    EXPECT_EQ(Column(2), (QStringList{"1", "2", "3", "4", "5", "6"}));
}

TEST_F(EvaluatorTest, TenMinuteDataOfTwoDevicesWithClocksThreeSecondsApartShareRows)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive("A.AGR", ArchiveText("111", kNames, kUnits,
                                      {DataLine(1, Ts(d, "00:10:00"), {"1"}), DataLine(2, Ts(d, "00:20:00"), {"2"}),
                                       DataLine(3, Ts(d, "00:30:00"), {"3"})}));
    WriteArchive("B.AGR", ArchiveText("222", kNames, kUnits,
                                      {DataLine(1, Ts(d, "00:10:03"), {"11"}), DataLine(2, Ts(d, "00:20:03"), {"12"}),
                                       DataLine(3, Ts(d, "00:30:03"), {"13"})}));
    FillOverview(overview, {{"A.AGR", "111"}, {"B.AGR", "222"}});
    Select(1, "123", HeaderKeyTable[hkCustNo].Caption, QString(), "1,2");
    ASSERT_EQ(DataRows(), 3);
    EXPECT_EQ(DataRow(0), (QStringList{"0", "01.01.2004 00:10:00", "1", "11"}));
    EXPECT_EQ(DataRow(1), (QStringList{"0", "01.01.2004 00:20:00", "2", "12"}));
    EXPECT_EQ(DataRow(2), (QStringList{"0", "01.01.2004 00:30:00", "3", "13"}));
}

// ---- Status decoding ---------------------------------------------------------------------------

TEST_F(EvaluatorTest, StatusColumnIsDecodedWithAllesOn)
{
    const QString ini = archiveDir + QStringLiteral("EvCd_DEU.TXT");
    ASSERT_TRUE(testsupport::writeFile(ini, "[Header]\r\nStatus1=StAe\r\n[RV]\r\n0x0010=Testereignis\r\n"));
    decoder.LoadEventCodeTexts(ini);
    state.Settings.StatusDekodiert = true;
    evaluator->View().Alles = true;
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive("A.AGR", ArchiveText("5", kNames, kUnits,
                                      {DataLine(1, Ts(d, "00:15:00"), {"100", "1", "16"}),
                                       DataLine(2, Ts(d, "00:30:00"), {"110", "1", "0"})}));
    FillOverview(overview, {{"A.AGR", "5"}});
    SelectDevice("5", "1");

    ASSERT_EQ(evaluator->StatusColumn, 4);
    EXPECT_EQ(Row(1), (QStringList{"", "Zeit", "VA", "VB", "StAe"}));
    EXPECT_EQ(Column(4), (QStringList{"0x0010: Testereignis", "0"}));
    EXPECT_EQ(Grid().ColWidth(4), TStatusDecoder::DecodedColumnWidth);

    // Without "Alles" the status column is not shown at all.
    evaluator->View().Alles = false;
    SelectDevice("5", "1");
    EXPECT_EQ(evaluator->StatusColumn, 0);
    EXPECT_EQ(Grid().ColCount(), 4);
}

// ---- Limits, aborts and bad input ---------------------------------------------------------------

TEST_F(EvaluatorTest, RowLimitStopsReadingShowsTheTableAndMessage36)
{
    WriteGeneratedDevice(46, 1, QString(), 1);
    SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("29.02.2004"));
    state.Settings.OhneDoppelte = false;

    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));

    EXPECT_TRUE(evaluator->RowLimitReached);
    EXPECT_EQ(Grid().RowCount(), 65536);
    EXPECT_EQ(DataRow(0)[1], QStringLiteral("01.01.2004 00:01:00"));
    EXPECT_FALSE(Grid().Cell(1, 65535).isEmpty());
    EXPECT_EQ(shown.back(), std::make_pair(true, true));
    ASSERT_EQ(fakes.kindMessages.size(), 1u);
    EXPECT_TRUE(fakes.lastMessageText().contains(QStringLiteral("65535")));
    EXPECT_FALSE(state.Busy);
}

TEST_F(EvaluatorTest, LevelZeroAndBusyDoNothing)
{
    Select(0, QStringLiteral("Kunden-Nr."), QString(), QString(), QString());
    state.Busy = true;
    SelectDevice(QStringLiteral("5"), QStringLiteral("1"));
    EXPECT_TRUE(running.empty());
    EXPECT_TRUE(shown.empty());
}

TEST_F(EvaluatorTest, RowsBeyondTheOverviewAndUnreadableFilesLeaveTheTableHidden)
{
    FillOverview(overview, {{QStringLiteral("Fehlt.AGR"), QStringLiteral("5")}});
    WriteArchive(QStringLiteral("Leer.AGR"), QByteArray());
    SelectDevice(QStringLiteral("5"), QStringLiteral("1,7,99999999999"));
    EXPECT_EQ(shown.back(), std::make_pair(false, false));
    EXPECT_EQ(statusTexts.back(), 2);
    EXPECT_FALSE(state.Busy);
    EXPECT_EQ(running, (std::vector<bool>{true, false}));
}

TEST_F(EvaluatorTest, AbortLeavesTheTableHiddenAndStopsTheRowList)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive("A1.AGR", ArchiveText("5", kNames, kUnits, {DataLine(1, Ts(d, "00:15:00"), {"1"})}));
    WriteArchive("A2.AGR", ArchiveText("5", kNames, kUnits, {DataLine(2, Ts(d, "00:30:00"), {"2"})}));
    FillOverview(overview, {{"A1.AGR", "5"}, {"A2.AGR", "5"}});
    // The abort button is pressed while the first file is read.
    pump.SetAction([this] { state.Abort = true; });
    SelectDevice("5", "1,2");
    EXPECT_EQ(shown.size(), 1u);   // hidden at the start, never shown
    EXPECT_EQ(Grid().Cell(2, Grid().FixedRows() + 1), QString());
    EXPECT_FALSE(state.Busy);
    EXPECT_EQ(running.back(), false);
}

TEST_F(EvaluatorTest, ArchiveWithoutUnitsAddsNoColumnsEvenAfterOneWithUnits)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive("A.AGR", ArchiveText("111", kNames, kUnits, {DataLine(1, Ts(d, "00:15:00"), {"1"})}));
    WriteArchive("B.AGR", ArchiveText("222", {}, {}, {DataLine(1, Ts(d, "00:30:00"), {"2"})}));
    FillOverview(overview, {{"A.AGR", "111"}, {"B.AGR", "222"}});
    Select(1, "123", HeaderKeyTable[hkCustNo].Caption, QString(), "1,2");
    EXPECT_EQ(Grid().ColCount(), 3);
    EXPECT_EQ(DataRows(), 1);
}

TEST(EvaluatorKeys, SortKeyOfWholeSeconds)
{
    const int64_t s = platform::ToWholeSeconds(platform::EncodeDate(2004, 2, 29) + platform::EncodeTime(23, 59, 59));
    EXPECT_EQ(TEvaluator::SortKeyText(s), QStringLiteral("20040229235959"));
    EXPECT_EQ(TEvaluator::SortKeyText(0), QStringLiteral("18991230000000"));
}

TEST_F(EvaluatorTest, AbortedTableKeepsTheTimeStampKeysInItsKeyColumn)
{
    const QString d = QStringLiteral("01.01.2004");
    WriteArchive("A1.AGR", ArchiveText("5", kNames, kUnits,
                                       {DataLine(1, Ts(d, "00:15:00"), {"1"}),
                                        DataLine(7, Ts(d, "00:30:00"), {"2", "0x8105"}),
                                        DataLine(3, Ts(d, "00:45:00"), {"3"})}));
    WriteArchive("A2.AGR", ArchiveText("5", kNames, kUnits, {DataLine(4, Ts(d, "01:00:00"), {"4"})}));
    FillOverview(overview, {{"A1.AGR", "5"}, {"A2.AGR", "5"}});
    // Abort once the first file's three rows are written.
    pump.SetIntervalMs(0);
    pump.SetAction([this] {
        if (evaluator->RowCount >= Grid().FixedRows() + 2)
            state.Abort = true;
    });
    SelectDevice("5", "1,2");
    const int first = Grid().FixedRows();
    EXPECT_EQ(Grid().Cell(1, first - 2), QStringLiteral("#ON"));
    EXPECT_EQ(Grid().Cell(1, first), QStringLiteral("20040101001500"));
    EXPECT_EQ(Grid().Cell(1, first + 1), QStringLiteral("200401010030007"));
    EXPECT_EQ(Grid().Cell(1, first + 2), QStringLiteral("20040101004500"));
    EXPECT_EQ(Grid().Cell(0, first + 1), QStringLiteral("1"));
}

TEST_F(EvaluatorTest, RowsAreSortedByTimeThenByTheOrdinalNumberAsText)
{
    state.Settings.OhneDoppelte = false;
    const QString d = QStringLiteral("01.01.2004");
    // Event rows of the same time follow the ordinary rows in the text order
    // of their ordinal numbers ("10" before "9"). The shell sort never
    // exchanges rows of equal keys directly, but its wider steps may turn
    // them round: the two rows of ordinal 9 end as the sort leaves them.
    WriteArchive("A1.AGR", ArchiveText("5", kNames, kUnits,
                                       {DataLine(8, Ts(d, "01:00:00"), {"11"}),
                                        DataLine(9, Ts(d, "01:00:00"), {"19", "0x8105"}),
                                        DataLine(9, Ts(d, "01:00:00"), {"18", "0x8105"})}));
    WriteArchive("A2.AGR", ArchiveText("5", kNames, kUnits,
                                       {DataLine(1, Ts(d, "00:15:00"), {"21"}),
                                        DataLine(10, Ts(d, "01:00:00"), {"20", "0x8105"}),
                                        DataLine(2, Ts(d, "01:00:00"), {"22"})}));
    FillOverview(overview, {{"A1.AGR", "5"}, {"A2.AGR", "5"}});
    SelectDevice("5", "1,2");
    ASSERT_EQ(DataRows(), 6);
    QStringList values;
    QStringList flags;
    for (int i = 0; i < DataRows(); ++i) {
        values << DataRow(i).value(2).trimmed();
        flags << DataRow(i).value(0);
    }
    EXPECT_EQ(values, (QStringList{"21", "11", "22", "20", "18", "19"}));
    EXPECT_EQ(flags, (QStringList{"0", "0", "0", "1", "1", "1"}));
}
