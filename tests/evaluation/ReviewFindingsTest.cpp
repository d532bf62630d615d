// Cases of the evaluation path that cross the scan, the tree and the table.
#include "EvaluatorFixture.h"

#include "evaluation/ArchiveScan.h"
#include "evaluation/TreeLevels.h"

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
