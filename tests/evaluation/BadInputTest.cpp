// Archives as they turn up in the field after a broken transfer, a full disk
// or a user's mistake: the scan and the evaluation must come through each of
// them without a crash or a hang, and without losing a row of the good data
// beside them.
#include "EvaluatorFixture.h"

#include "evaluation/ArchiveScan.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

using namespace evaltest;

namespace {

const QStringList kNames{QStringLiteral("Zeit"), QStringLiteral("VA"), QStringLiteral("VB"), QStringLiteral("StAe")};
const QStringList kUnits{QString(), QStringLiteral("m3"), QStringLiteral("bar"), QString()};

QString Ts(const QString& time) { return QStringLiteral("01.01.2004 ") + time; }

// Four good quarter hours of device "0012345".
QStringList GoodLines()
{
    return {DataLine(1, Ts(QStringLiteral("00:15:00")), {QStringLiteral("00001000"), QStringLiteral("0020,5"), QStringLiteral("0")}),
            DataLine(2, Ts(QStringLiteral("00:30:00")), {QStringLiteral("00001010"), QStringLiteral("0021,0"), QStringLiteral("0")}),
            DataLine(3, Ts(QStringLiteral("00:45:00")), {QStringLiteral("00001020"), QStringLiteral("0021,5"), QStringLiteral("0")}),
            DataLine(4, Ts(QStringLiteral("01:00:00")), {QStringLiteral("00001030"), QStringLiteral("0022,0"), QStringLiteral("0")})};
}

const QStringList kGoodTimes{QStringLiteral("01.01.2004 00:15:00"), QStringLiteral("01.01.2004 00:30:00"),
                             QStringLiteral("01.01.2004 00:45:00"), QStringLiteral("01.01.2004 01:00:00")};

QByteArray BinaryBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(4711);
    for (char& c : bytes)
        c = char(generator.bounded(256));
    // Line ends here and there, and a few bytes that look like the start of
    // header lines.
    for (int i = 97; i < size; i += 211)
        bytes[i] = '\n';
    for (int i = 13; i < size; i += 509)
        bytes[i] = 'O';
    return bytes;
}

class BadInputTest : public EvaluatorTest {
protected:
    BadInputTest()
    {
        reader.SetPump(nullptr);
        scanner.SetPump(nullptr);
    }

    // Scans the archive directory and takes the scanner's overview into the
    // overview the evaluator reads, as the main window hands it over.
    bool Scan()
    {
        const bool found = scanner.ScanArchiveFiles(false);
        const platform::TStringGridModel& from = scanner.Overview();
        overview.Clear();
        overview.SetColCount(from.ColCount());
        overview.SetRowCount(from.RowCount());
        overview.SetFixedRows(from.FixedRows());
        overview.SetFixedCols(0);
        for (int r = 0; r < from.RowCount(); ++r)
            for (int c = 0; c < from.ColCount(); ++c)
                overview.SetCell(c, r, from.Cell(c, r));
        return found;
    }

    // The overview row of a file, 0 when it has none.
    int OverviewRowOf(const QString& file)
    {
        for (int r = 1; r < overview.RowCount(); ++r)
            if (overview.Cell(OverviewFileColumn, r) == file)
                return r;
        return 0;
    }

    // The time column of every data row.
    QStringList Times() { return Column(1); }

    TEvaluationHooks scanHooks;
    TArchiveScanner scanner{state, reader, scanHooks};
};

// ---- Files that are no archives ---------------------------------------------------------

TEST_F(BadInputTest, BinaryFileWithTheArchiveExtensionIsPassedOver)
{
    WriteArchive(QStringLiteral("A.AGR"), ArchiveText(QStringLiteral("0012345"), kNames, kUnits, GoodLines()));
    WriteArchive(QStringLiteral("B.AGR"), BinaryBytes(256 * 1024));
    ASSERT_TRUE(Scan());
    const int good = OverviewRowOf(QStringLiteral("A.AGR"));
    ASSERT_GT(good, 0);
    EXPECT_EQ(overview.Cell(1, good), QStringLiteral("12345"));
    // Whatever the binary file gave, no text of the overview grew beyond an
    // archive text.
    for (int r = 1; r < overview.RowCount(); ++r)
        for (int c = 0; c < OverviewColumnCount; ++c)
            EXPECT_LE(overview.Cell(c, r).size(), 2 * ArchiveTextLength + 2) << r << " " << c;

    // The binary file evaluated beside the good one adds nothing and takes
    // nothing away.
    FillOverview(overview, {{QStringLiteral("B.AGR"), QStringLiteral("0012345")},
                            {QStringLiteral("A.AGR"), QStringLiteral("0012345")}});
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1,2"));
    EXPECT_EQ(Times(), kGoodTimes);
    EXPECT_FALSE(state.Busy);
}

TEST_F(BadInputTest, LineOfTenMegabytesIsReadWithoutLosingTheLinesAround)
{
    const QByteArray huge(10 * 1024 * 1024, 'x');
    QStringList lines = GoodLines();
    QByteArray bytes = ArchiveText(QStringLiteral("0012345"), kNames, kUnits, lines.mid(0, 2));
    bytes += huge + "\r\n";
    // A data line whose value field alone is 10 MB long.
    bytes += "9\t01.01.2004 00:40:00\t" + QByteArray(10 * 1024 * 1024, '7') + "\t1,0\t0\r\n";
    for (const QString& line : lines.mid(2))
        bytes += line.toLatin1() + "\r\n";
    WriteArchive(QStringLiteral("A.AGR"), bytes);

    // A header line of 10 MB in a second file: its value is cut.
    WriteArchive(QStringLiteral("B.AGR"),
                 ";CUSTNAME=" + huge + "\r\n;DEVNOA=0012346\r\nM\t3 (Messwerte)\t0012346\tRV100\r\nO\t\t\t\r\n");

    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(Scan());
    const int row = OverviewRowOf(QStringLiteral("B.AGR"));
    ASSERT_GT(row, 0);
    EXPECT_EQ(overview.Cell(6, row).size(), ArchiveTextLength);

    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("0012345")}});
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));
    const QStringList times = Times();
    for (const QString& t : kGoodTimes)
        EXPECT_TRUE(times.contains(t)) << qPrintable(t);
    for (int r = Grid().FixedRows(); r < Grid().RowCount(); ++r)
        for (int c = 0; c < Grid().ColCount(); ++c)
            EXPECT_LE(Grid().Cell(c, r).size(), ArchiveTextLength) << r << " " << c;
    EXPECT_LT(timer.elapsed(), 60000);
}

// ---- Archives that end too early ------------------------------------------------------------

TEST_F(BadInputTest, FileCutInTheMiddleOfALineKeepsEveryCompleteLine)
{
    QByteArray bytes = ArchiveText(QStringLiteral("0012345"), kNames, kUnits, GoodLines());
    // The fifth line stops inside its value; the file has no line end.
    bytes += "5\t01.01.2004 01:15:00\t00001";
    WriteArchive(QStringLiteral("A.AGR"), bytes);
    // A second file stops inside its time stamp.
    QByteArray cutStamp = ArchiveText(QStringLiteral("0012345"), kNames, kUnits, GoodLines().mid(0, 1));
    cutStamp += "6\t01.01.2004 01:3";
    WriteArchive(QStringLiteral("B.AGR"), cutStamp);
    // And a third one inside its header.
    WriteArchive(QStringLiteral("C.AGR"), ";CUSTNO=000123\r\n;DEVNOA=0012347\r\nM\t3 (Mess");

    ASSERT_TRUE(Scan());
    EXPECT_GT(OverviewRowOf(QStringLiteral("A.AGR")), 0);
    EXPECT_GT(OverviewRowOf(QStringLiteral("C.AGR")), 0);

    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("0012345")},
                            {QStringLiteral("B.AGR"), QStringLiteral("0012345")},
                            {QStringLiteral("C.AGR"), QStringLiteral("0012345")}});
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1,2,3"));
    // The cut value line still has its complete time stamp: it is a row.
    QStringList expected = kGoodTimes;
    expected << QStringLiteral("01.01.2004 01:15:00");
    EXPECT_EQ(Times(), expected);
}

TEST_F(BadInputTest, HeaderWithoutEndLineGivesAnOverviewRowAndNoData)
{
    QByteArray noEnd = ";CUSTNO=000123\r\n;DEVNOA=0012346\r\nM\t3 (Messwerte)\t0012346\tRV100\r\n#\tZeit\tVA\r\nE\t\tm3\r\n";
    for (const QString& line : GoodLines())
        noEnd += line.toLatin1() + "\r\n";
    WriteArchive(QStringLiteral("N.AGR"), noEnd);
    WriteArchive(QStringLiteral("A.AGR"), ArchiveText(QStringLiteral("0012345"), kNames, kUnits, GoodLines()));

    ASSERT_TRUE(Scan());
    const int row = OverviewRowOf(QStringLiteral("N.AGR"));
    ASSERT_GT(row, 0);
    EXPECT_EQ(overview.Cell(1, row), QStringLiteral("12346"));

    FillOverview(overview, {{QStringLiteral("N.AGR"), QStringLiteral("0012345")},
                            {QStringLiteral("A.AGR"), QStringLiteral("0012345")}});
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1,2"));
    EXPECT_EQ(Times(), kGoodTimes);
    EXPECT_FALSE(state.Busy);
}

// ---- Fields that cannot be read -------------------------------------------------------------

TEST_F(BadInputTest, TimeStampsWithLettersGiveNoRowAndStopNothing)
{
    const QStringList values{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("0")};
    QStringList lines = GoodLines();
    lines.insert(1, DataLine(7, QStringLiteral("01.0a.2004 00:20:00"), values));
    lines.insert(3, DataLine(8, QStringLiteral("O1.01.2004 00:35:00"), values));
    lines.insert(4, DataLine(9, QStringLiteral("01.01.2oo4 00:40:00"), values));
    lines.insert(5, DataLine(10, QStringLiteral("Montag"), values));
    lines.append(DataLine(11, QStringLiteral("01.01.2004 01:15:00 Uhr"), values));
    lines.append(DataLine(12, QStringLiteral("xx.xx.xxxx xx:xx:xx"), values));
    // In a time stamp of a known layout a part that is not all digits makes
    // the stamp unreadable: "oo" o'clock is no midnight.
    lines.append(DataLine(13, QStringLiteral("01.01.2004 oo:40:00"), values));
    WriteArchive(QStringLiteral("A.AGR"), ArchiveText(QStringLiteral("0012345"), kNames, kUnits, lines));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("0012345")}});
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));
    EXPECT_EQ(Times(), kGoodTimes);
}

// "1X:30:00" read as 00:30 would, with merging on, overwrite the genuine
// 00:30 reading: the row's values and the counter difference would change
// without a trace.
TEST_F(BadInputTest, ATimeStampWithLettersLeavesTheGenuineReadingOfItsSlot)
{
    QStringList lines = GoodLines();
    lines.insert(2, DataLine(7, QStringLiteral("01.01.2004 1X:30:00"),
                             {QStringLiteral("00009999"), QStringLiteral("0099,9"), QStringLiteral("0")}));
    WriteArchive(QStringLiteral("A.AGR"), ArchiveText(QStringLiteral("0012345"), kNames, kUnits, lines));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("0012345")}});
    ASSERT_TRUE(state.Settings.OhneDoppelte);
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));
    EXPECT_EQ(Times(), kGoodTimes);
    ASSERT_EQ(DataRows(), 4);
    EXPECT_EQ(DataRow(1).mid(1, 3), (QStringList{"01.01.2004 00:30:00", "1010", "21,0"}));
}

TEST_F(BadInputTest, NumbersWithSeveralSeparatorsKeepTheirRows)
{
    const QStringList odd{QStringLiteral("1.234,5.6"), QStringLiteral("12,,5"), QStringLiteral("1..2"),
                          QStringLiteral("--5"), QStringLiteral("1e5e5"), QStringLiteral(",.,."),
                          QStringLiteral("0x1F.3"), QStringLiteral("99999999999999999999999999,9")};
    QStringList lines;
    QStringList times;
    for (int i = 0; i < odd.size(); ++i) {
        const QString time = QStringLiteral("0%1:00:00").arg(i);
        lines << DataLine(i + 1, Ts(time), {odd[i], odd[odd.size() - 1 - i], QStringLiteral("0")});
        times << Ts(time);
    }
    WriteArchive(QStringLiteral("A.AGR"), ArchiveText(QStringLiteral("0012345"), kNames, kUnits, lines));
    FillOverview(overview, {{QStringLiteral("A.AGR"), QStringLiteral("0012345")}});

    for (bool formatted : {false, true}) {
        state.Settings.Format = formatted;
        evaluator->FirstFile = true;
        SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));
        EXPECT_EQ(Times(), times) << formatted;
        for (int i = 0; i < DataRows(); ++i)
            EXPECT_FALSE(DataRow(i).value(2).isEmpty()) << i;
    }
    // The differences over such numbers are computed without a crash.
    evaluator->View().Differenz = true;
    evaluator->FirstFile = true;
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1"));
    EXPECT_GE(DataRows(), 1);
}

// ---- Files that go away ---------------------------------------------------------------------

TEST_F(BadInputTest, DanglingSymbolicLinkIsPassedOver)
{
    WriteArchive(QStringLiteral("A.AGR"), ArchiveText(QStringLiteral("0012345"), kNames, kUnits, GoodLines()));
    // Root reads any file: a link to nothing is what stays unreadable.
    ASSERT_TRUE(QFile::link(archiveDir + QStringLiteral("gone/nowhere.AGR"), archiveDir + QStringLiteral("L.AGR")));
    ASSERT_FALSE(QFile(archiveDir + QStringLiteral("L.AGR")).open(QIODevice::ReadOnly));

    Scan();
    EXPECT_GT(OverviewRowOf(QStringLiteral("A.AGR")), 0);
    EXPECT_EQ(OverviewRowOf(QStringLiteral("L.AGR")), 0);

    FillOverview(overview, {{QStringLiteral("L.AGR"), QStringLiteral("0012345")},
                            {QStringLiteral("A.AGR"), QStringLiteral("0012345")}});
    SelectDevice(QStringLiteral("0012345"), QStringLiteral("1,2"));
    EXPECT_EQ(Times(), kGoodTimes);
    EXPECT_FALSE(state.Busy);
}

TEST_F(BadInputTest, ArchiveRemovedBetweenScanAndEvaluation)
{
    WriteArchive(QStringLiteral("A.AGR"), ArchiveText(QStringLiteral("0012345"), kNames, kUnits, GoodLines()));
    WriteArchive(QStringLiteral("B.AGR"), ArchiveText(QStringLiteral("0012345"), kNames, kUnits,
                                                      {DataLine(5, Ts(QStringLiteral("02:00:00")),
                                                                {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("0")})}));
    ASSERT_TRUE(Scan());
    const int a = OverviewRowOf(QStringLiteral("A.AGR"));
    const int b = OverviewRowOf(QStringLiteral("B.AGR"));
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    ASSERT_TRUE(QFile::remove(archiveDir + QStringLiteral("B.AGR")));

    SelectDevice(QStringLiteral("0012345"), QString::number(b) + QLatin1Char(',') + QString::number(a));
    EXPECT_EQ(Times(), kGoodTimes);
    EXPECT_FALSE(state.Busy);

    // Replaced by a directory of that name: the same.
    ASSERT_TRUE(QDir(archiveDir).mkdir(QStringLiteral("B.AGR")));
    evaluator->FirstFile = true;
    SelectDevice(QStringLiteral("0012345"), QString::number(b) + QLatin1Char(',') + QString::number(a));
    EXPECT_EQ(Times(), kGoodTimes);
}

// ---- Many archives --------------------------------------------------------------------------

TEST_F(BadInputTest, DirectoryOfTenThousandArchivesIsScannedCompletely)
{
    constexpr int Count = 10000;
    for (int i = 0; i < Count; ++i) {
        // Device number 0 stands for none: numbers start at 1.
        const QString device = QStringLiteral("%1").arg(i + 1, 7, 10, QLatin1Char('0'));
        const QByteArray bytes = ";DEVNOA=" + device.toLatin1() + "\r\nM\t3 (Messwerte)\t" + device.toLatin1()
            + "\tRV100\r\nO\r\n1\t01.01.2004 00:15:00\t1\r\n";
        QFile file(archiveDir + QStringLiteral("A%1.AGR").arg(i, 5, 10, QLatin1Char('0')));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(Scan());
    EXPECT_LT(timer.elapsed(), 120000);
    ASSERT_EQ(overview.RowCount(), Count + 1);
    EXPECT_EQ(overview.Cell(1, 1), QStringLiteral("1"));
    EXPECT_EQ(overview.Cell(OverviewFileColumn, 1), QStringLiteral("A00000.AGR"));
    EXPECT_EQ(overview.Cell(OverviewFileColumn, Count), QStringLiteral("A09999.AGR"));
    EXPECT_EQ(overview.Cell(1, Count), QStringLiteral("10000"));
    // Every file gave its row, each once.
    QSet<QString> devices;
    for (int r = 1; r <= Count; ++r)
        devices.insert(overview.Cell(1, r));
    EXPECT_EQ(devices.size(), Count);
}

} // namespace
