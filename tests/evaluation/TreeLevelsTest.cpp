#include "evaluation/ArchiveScan.h"
#include "evaluation/HeaderKeys.h"
#include "evaluation/TreeLevels.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const QString DeviceCaption = QStringLiteral("Geräte-Nr.");
const QString CustNameCaption = QStringLiteral("Kunden-Name");
const QString CustNoCaption = QStringLiteral("Kunden-Nr.");

struct Answer {
    QStringList names;
    QStringList rows;
};

Answer Ask(TTreeLevels& levels, int level, const QString& t1 = {}, const QString& t2 = {}, const QString& t3 = {})
{
    Answer a;
    a.names = QStringList{QStringLiteral("stale")};
    a.rows = QStringList{QStringLiteral("stale")};
    levels.TreeLevelProvider(uint8_t(level), t1, t2, t3, a.names, a.rows);
    return a;
}

// An overview written by hand: device, customer name, value names, units.
class HandOverview : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHeaderKeyTable();
        grid_.SetColCount(OverviewColumnCount);
        grid_.SetRowCount(1);
    }
    void AddRow(const QString& device, const QString& custName, const QString& names, const QString& units)
    {
        const int row = grid_.RowCount();
        grid_.SetRowCount(row + 1);
        grid_.SetCell(1, row, device);
        grid_.SetCell(6, row, custName);
        grid_.SetCell(11, row, names);
        grid_.SetCell(12, row, units);
    }
    platform::TStringGridModel grid_;
    TTreeLevels levels_{grid_};
};

TEST_F(HandOverview, LevelZeroOffersTheSixGroupingsInTableOrder)
{
    const Answer a = Ask(levels_, 0);
    EXPECT_EQ(a.names, (QStringList{CustNoCaption, CustNameCaption, QStringLiteral("Zähler-Nr."),
                                    QStringLiteral("Meßstelle  "), QStringLiteral("MST-VV     "), DeviceCaption}));
    EXPECT_TRUE(a.rows.isEmpty());
    int column = -1;
    EXPECT_TRUE(levels_.FindGroupColumn(QStringLiteral("MST-VV     "), column));
    EXPECT_EQ(column, 3);
    // Exact comparison: trailing blanks count, and non-grouping captions fail.
    EXPECT_FALSE(levels_.FindGroupColumn(QStringLiteral("MST-VV"), column));
    EXPECT_FALSE(levels_.FindGroupColumn(QStringLiteral("Faktor"), column));
}

TEST_F(HandOverview, GroupValuesSkipEmptyCellsAndCollectRows)
{
    const QString n = QStringLiteral("\nZeit\nVb\n"), u = QStringLiteral("\n\nm3\n");
    AddRow(QStringLiteral("1"), QStringLiteral("A"), n, u);
    AddRow(QStringLiteral("2"), QString(), n, u);
    AddRow(QStringLiteral("3"), QStringLiteral("B"), n, u);
    AddRow(QStringLiteral("1"), QStringLiteral("A"), n, u);
    const Answer a = Ask(levels_, 1, CustNameCaption);
    EXPECT_EQ(a.names, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(a.rows, (QStringList{QStringLiteral("1,4"), QStringLiteral("3")}));
    // Unknown grouping: both lists emptied.
    const Answer none = Ask(levels_, 1, QStringLiteral("Faktor"));
    EXPECT_TRUE(none.names.isEmpty());
    EXPECT_TRUE(none.rows.isEmpty());
}

TEST_F(HandOverview, UnitsTrimmedToNamesAndEmptyUnitsSkipped)
{
    // One unit more than names: dropped from the end. "Vb / m3" only.
    AddRow(QStringLiteral("7"), QString(), QStringLiteral("\nZeit\nVb\nSt\n"), QStringLiteral("\n\nm3\n\nkg\n"));
    const Answer a = Ask(levels_, 2, QStringLiteral("7"), DeviceCaption);
    EXPECT_EQ(a.names, QStringList{QStringLiteral("Vb / m3")});
    EXPECT_EQ(a.rows, QStringList{QStringLiteral("1")});
}

TEST_F(HandOverview, WithoutUnitsValueNamesStartingWithVAndNotStatus)
{
    AddRow(QStringLiteral("7"), QString(), QStringLiteral("\nZeit\nVm\nvB\nVs\nVS\nP1\n\n"), QString());
    const Answer a = Ask(levels_, 2, QStringLiteral("7"), DeviceCaption);
    EXPECT_EQ(a.names, (QStringList{QStringLiteral("Vm"), QStringLiteral("vB")}));
    EXPECT_EQ(a.rows, (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
}

TEST_F(HandOverview, ChannelRowsStartAtFirstRowGivingChannels)
{
    // A logbook row first gives no channel; the rows start at the value archive.
    AddRow(QStringLiteral("9"), QString(), QStringLiteral("\nZeit\nEreignis\n"), QString());
    AddRow(QStringLiteral("8"), QString(), QStringLiteral("\nZeit\nVb\n"), QStringLiteral("\n\nm3\n"));
    AddRow(QStringLiteral("9"), QString(), QStringLiteral("\nZeit\nVa\nVb\n"), QStringLiteral("\n\nm3\nm3\n"));
    AddRow(QStringLiteral("9"), QString(), QStringLiteral("\nZeit\nX\n"), QString());
    const Answer a = Ask(levels_, 2, QStringLiteral("9"), DeviceCaption);
    EXPECT_EQ(a.names, (QStringList{QStringLiteral("Va / m3"), QStringLiteral("Vb / m3")}));
    EXPECT_EQ(a.rows, (QStringList{QStringLiteral("3,4"), QStringLiteral("3,4")}));
    // A device nobody has, and the empty device of the trailing empty row.
    EXPECT_TRUE(Ask(levels_, 2, QStringLiteral("5"), DeviceCaption).names.isEmpty());
    EXPECT_TRUE(Ask(levels_, 2, QString(), DeviceCaption).names.isEmpty());
}

TEST_F(HandOverview, EnglishDeviceCaptionWithTwoBlanks)
{
    for (int k = 0; k < HeaderKeyCount; ++k)
        HeaderKeyTable[std::size_t(k)].Caption = HeaderKeyEnglishCaptions[std::size_t(k)];
    AddRow(QStringLiteral("7"), QStringLiteral("A"), QStringLiteral("\nZeit\nVb\n"), QStringLiteral("\n\nm3\n"));
    EXPECT_EQ(Ask(levels_, 1, QStringLiteral("device  ")).names, QStringList{QStringLiteral("7")});
    EXPECT_EQ(Ask(levels_, 2, QStringLiteral("7"), QStringLiteral("device  ")).names,
              QStringList{QStringLiteral("Vb / m3")});
    EXPECT_TRUE(Ask(levels_, 2, QStringLiteral("7"), QStringLiteral("device")).names.isEmpty());
    EXPECT_TRUE(Ask(levels_, 3, QStringLiteral("x"), QStringLiteral("7"), QStringLiteral("device  ")).names.isEmpty());
    ResetHeaderKeyTable();
}

TEST_F(HandOverview, InvalidateSeesANewOverview)
{
    AddRow(QStringLiteral("1"), QStringLiteral("A"), QString(), QString());
    EXPECT_EQ(Ask(levels_, 1, CustNameCaption).names, QStringList{QStringLiteral("A")});
    grid_.SetCell(6, 1, QStringLiteral("Z"));
    levels_.Invalidate();
    EXPECT_EQ(Ask(levels_, 1, CustNameCaption).names, QStringList{QStringLiteral("Z")});
}

// The levels of the scanned fixture directory.
class ScannedLevels : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHeaderKeyTable();
        state_.Settings.ArchivPfad = testsupport::fixturePath(QStringLiteral("scan")) + QLatin1Char('/');
        reader_.SetPump(nullptr);
        scanner_.SetPump(nullptr);
        ASSERT_TRUE(scanner_.ScanArchiveFiles(false));
        // Rows: 1 Anlage1 (12345), 2 anlage2 (815/12), 3 KeinEnde (4711), 4 Logbuch (12345).
    }
    testsupport::FakeHooks fakes_;
    TEvaluationState state_;
    TArchiveReader reader_{state_};
    TEvaluationHooks hooks_;
    TArchiveScanner scanner_{state_, reader_, hooks_};
};

TEST_F(ScannedLevels, DeviceGroupingHasChannelsAtLevelTwo)
{
    TTreeLevels& l = scanner_.Levels();
    const Answer devices = Ask(l, 1, DeviceCaption);
    EXPECT_EQ(devices.names, (QStringList{QStringLiteral("12345"), QStringLiteral("815/12"), QStringLiteral("4711")}));
    EXPECT_EQ(devices.rows, (QStringList{QStringLiteral("1,4"), QStringLiteral("2"), QStringLiteral("3")}));

    const Answer ch = Ask(l, 2, QStringLiteral("12345"), DeviceCaption);
    EXPECT_EQ(ch.names, (QStringList{QStringLiteral("VA / m3"), QStringLiteral("VB / m3")}));
    EXPECT_EQ(ch.rows, (QStringList{QStringLiteral("1,4"), QStringLiteral("1,4")}));
    EXPECT_EQ(Ask(l, 2, QStringLiteral("815/12"), DeviceCaption).names, QStringList{QStringLiteral("Vb / m3")});
    EXPECT_EQ(Ask(l, 2, QStringLiteral("4711"), DeviceCaption).names,
              (QStringList{QStringLiteral("Vm"), QStringLiteral("vB")}));
    // No fourth level under the device grouping, none beyond it anywhere.
    EXPECT_TRUE(Ask(l, 3, QStringLiteral("VA / m3"), QStringLiteral("12345"), DeviceCaption).names.isEmpty());
    EXPECT_TRUE(Ask(l, 4, QStringLiteral("12345")).names.isEmpty());
}

TEST_F(ScannedLevels, OtherGroupingsHaveDevicesAtTwoAndChannelsAtThree)
{
    TTreeLevels& l = scanner_.Levels();
    const Answer names = Ask(l, 1, CustNameCaption);
    EXPECT_EQ(names.names, (QStringList{QStringLiteral("Müller"), QStringLiteral("Schulz")}));
    EXPECT_EQ(names.rows, (QStringList{QStringLiteral("1,4"), QStringLiteral("2")}));

    const Answer numbers = Ask(l, 1, CustNoCaption);
    EXPECT_EQ(numbers.names, (QStringList{QStringLiteral("123"), QStringLiteral("124"), QStringLiteral("125")}));

    const Answer devices = Ask(l, 2, QStringLiteral("123"), CustNoCaption);
    EXPECT_EQ(devices.names, QStringList{QStringLiteral("12345")});
    EXPECT_EQ(devices.rows, QStringList{QStringLiteral("1,4")});

    // Two devices at the same metering point.
    const Answer hall = Ask(l, 2, QStringLiteral("Halle 2"), QStringLiteral("Meßstelle  "));
    EXPECT_EQ(hall.names, (QStringList{QStringLiteral("815/12"), QStringLiteral("4711")}));
    EXPECT_EQ(hall.rows, (QStringList{QStringLiteral("2"), QStringLiteral("3")}));

    const Answer ch = Ask(l, 3, QStringLiteral("12345"), QStringLiteral("123"), CustNoCaption);
    EXPECT_EQ(ch.names, (QStringList{QStringLiteral("VA / m3"), QStringLiteral("VB / m3")}));
    EXPECT_EQ(ch.rows, (QStringList{QStringLiteral("1,4"), QStringLiteral("1,4")}));
}

TEST_F(ScannedLevels, RescanRebuildsTheIndexes)
{
    EXPECT_EQ(Ask(scanner_.Levels(), 1, DeviceCaption).names.size(), 3);
    state_.Settings.GerKan = true;
    ASSERT_TRUE(scanner_.ScanArchiveFiles(false));
    EXPECT_EQ(Ask(scanner_.Levels(), 1, DeviceCaption).names,
              (QStringList{QStringLiteral("12345/3"), QStringLiteral("12346"), QStringLiteral("815/12"),
                           QStringLiteral("4711"), QStringLiteral("12345/7")}));
}

} // namespace
