// Cases of the evaluation path that cross the scan, the tree and the table.
#include "EvaluatorFixture.h"

#include "evaluation/ArchiveScan.h"
#include "evaluation/TreeLevels.h"

#include <QFile>

using namespace evaltest;

namespace {

// A directory scan over the fixture's archive directory, sharing its state.
struct ScanOfFixture {
    explicit ScanOfFixture(TEvaluationState& state, TArchiveReader& reader, TEvaluationHooks& hooks)
        : scanner(state, reader, hooks)
    {
        scanner.SetPump(nullptr);
    }
    TArchiveScanner scanner;
};

} // namespace

// A value name longer than 132 characters: the tree offers its channel whole
// (the value-name line is kept whole), so selecting that channel must show
// its column: the evaluation must not cut the names it reads from the "#"
// line either, or the channel's text never equals the column title and the
// table stays empty.
TEST_F(EvaluatorTest, ChannelOfAValueNameLongerThan132CharactersShowsItsColumn)
{
    const QString longName = QStringLiteral("V") + QString(139, QLatin1Char('b'));
    WriteArchive(QStringLiteral("L.AGR"),
                 ArchiveText(QStringLiteral("5"), {QStringLiteral("Zeit"), longName}, {QString(), QStringLiteral("m3")},
                             {DataLine(1, QStringLiteral("01.01.2004 00:15:00"), {QStringLiteral("100")}),
                              DataLine(2, QStringLiteral("01.01.2004 00:30:00"), {QStringLiteral("101")})}));
    ScanOfFixture scan(state, reader, hooks);
    ASSERT_TRUE(scan.scanner.ScanArchiveFiles(false));

    QStringList names, rows;
    scan.scanner.Levels().TreeLevelProvider(2, QStringLiteral("5"), HeaderKeyTable[hkDevNo].Caption, QString(), names,
                                            rows);
    ASSERT_EQ(names, QStringList{longName + QStringLiteral(" / m3")});

    TEvaluator ev(state, reader, decoder, headTemplate, table, scan.scanner.Overview(), hooks);
    ev.SetPump(&pump);
    ev.View() = evaluator->View();
    ev.FillTable(2, names[0], QStringLiteral("5"), HeaderKeyTable[hkDevNo].Caption, rows[0]);

    ASSERT_EQ(Grid().ColCount(), 3);
    EXPECT_EQ(Grid().Cell(2, ev.NameRow()), longName);
    EXPECT_EQ(Column(2), (QStringList{QStringLiteral("100"), QStringLiteral("101")}));
}

// The sample device 2024 has a value archive (Zeit, Vb, Vm, StAe, VbS, VmS)
// and a logbook (Zeit, GONr, Vb, Vm, St.1, StAe). With "Alles" on, every
// reading must stand under its own value name: the logbook's Vb under "Vb",
// its GONr in a column of its own, and the counter difference must compare
// two meter readings.
TEST_F(EvaluatorTest, DeviceWithALogbookOfAnotherLayoutKeepsEveryReadingUnderItsName)
{
    for (const QString& name : {QStringLiteral("0002024_2026-09.AGR"), QStringLiteral("0002024_LOGBUCH.AGW")}) {
        QFile::remove(archiveDir + name);
        ASSERT_TRUE(QFile::copy(QStringLiteral(VALDRAN_DATA_DIR "/archives/") + name, archiveDir + name));
    }
    ScanOfFixture scan(state, reader, hooks);
    ASSERT_TRUE(scan.scanner.ScanArchiveFiles(false));
    QStringList names, rows;
    scan.scanner.Levels().TreeLevelProvider(1, HeaderKeyTable[hkDevNo].Caption, QString(), QString(), names, rows);
    const qsizetype device = names.indexOf(QStringLiteral("2024"));
    ASSERT_GE(device, 0) << names.join(u',').toStdString();
    ASSERT_TRUE(rows[device].contains(QLatin1Char(','))) << "both archives under the device";

    TEvaluator ev(state, reader, decoder, headTemplate, table, scan.scanner.Overview(), hooks);
    ev.SetPump(&pump);
    ev.View() = evaluator->View();
    ev.View().Alles = true;
    ev.View().Zaehler = true;
    ev.View().Differenz = false;
    ev.View().PeriodStart = platform::EncodeDate(2026, 9, 1);
    ev.View().PeriodEnd = platform::EncodeDate(2026, 12, 1);
    ev.FillTable(1, names[device], HeaderKeyTable[hkDevNo].Caption, QString(), rows[device]);

    const int nameRow = ev.NameRow();
    ASSERT_EQ(nameRow, 1);
    // Date column, the value archive's columns, then the logbook's names the
    // value archive lacks, each once.
    EXPECT_EQ(Row(nameRow), (QStringList{"", "Zeit", "Vb", "Vm", "StAe", "VbS", "VmS", "GONr", "St.1"}));
    EXPECT_EQ(Row(0), (QStringList{"", "", "2024", "2024", "2024", "2024", "2024", "2024",
                                   "2024"}));
    EXPECT_EQ(Row(nameRow + 1), (QStringList{"", "", "m3", "m3", "", "", "", "", ""}));

    auto rowOf = [&](const QString& date) {
        for (int r = Grid().FixedRows(); r < Grid().RowCount(); ++r) {
            if (Grid().Cell(1, r) == date)
                return r;
        }
        return -1;
    };
    // A value-archive line and a logbook line, each under its own names.
    const int value = rowOf(QStringLiteral("01.09.2026 00:15:00"));
    ASSERT_GE(value, 0);
    EXPECT_EQ(Row(value), (QStringList{"0", "01.09.2026 00:15:00", "3141618,52", "15708084,08", "0", "0", "0", "", ""}));
    const int logbook = rowOf(QStringLiteral("01.09.2026 09:12:07"));
    ASSERT_GE(logbook, 0);
    EXPECT_EQ(Row(logbook), (QStringList{"0", "01.09.2026 09:12:07", "3143169,05", "15715320,38", "0", "", "", "48213", "5"}));

    // First reading 01.09. 00:00 (value archive), last the logbook's entry of
    // 01.12. 08:12:31: both Vb.
    EXPECT_EQ(table.EvaluationLabel().toStdString(),
              QStringLiteral("01.09.2026 00:00:00 3141592,65 - 01.12.2026 08:12:31 3833222,59: 691629.9400").toStdString());
}
