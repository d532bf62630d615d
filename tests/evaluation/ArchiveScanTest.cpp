#include "evaluation/ArchiveScan.h"
#include "evaluation/HeaderKeys.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"
#include "platform/MessagePump.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Row = std::vector<QString>;

const QString Names1 = QStringLiteral("\nZeit\nVA\nVB\nSTATUS\n");
const QString Units1 = QStringLiteral("\n\nm3\nm3\n\n");
const QString Names2 = QStringLiteral("\nZeit\nVb\nVm\nSt\n");
const QString Units2 = QStringLiteral("\n\nm3\n");
const QString Names3 = QStringLiteral("\nZeit\nVm\nvB\nVs\nP1\n");
const QString NamesLog = QStringLiteral("\nZeit\nEreignis\nSTATUS\n");

// Columns: date, device, location, description, meter, customer number,
// customer name, interval, day begin, Cp, factor, names, units, file.
Row Anlage1(const QString& device, const QString& factor = QStringLiteral("1"),
            const QString& cp = QStringLiteral("100"))
{
    return {QStringLiteral("14.03.2004 08:00:00"), device, QStringLiteral("Straße 1"), QStringLiteral("Einspeisung"),
            QStringLiteral("4711"), QStringLiteral("123"), QStringLiteral("Müller"), QStringLiteral("15"),
            QStringLiteral("6"), cp, factor, Names1, Units1, QStringLiteral("Anlage1.AGR")};
}

Row Anlage2(const QString& device)
{
    return {QStringLiteral("15.03.2004 09:00:00"), device, QStringLiteral("Halle 2"), QStringLiteral("Gas"),
            QStringLiteral("815"), QStringLiteral("124"), QStringLiteral("Schulz"), QStringLiteral("60"),
            QStringLiteral("6"), QStringLiteral("1"), QStringLiteral("10"), Names2, Units2, QStringLiteral("anlage2.agr")};
}

Row KeinEnde()
{
    return {QStringLiteral("16.03.2004 10:00:00"), QStringLiteral("4711"), QStringLiteral("Halle 2"), QString(),
            QStringLiteral("4711"), QStringLiteral("125"), QString(), QString(), QString(), QStringLiteral("5"),
            QString(), Names3, QString(), QStringLiteral("KeinEnde.AGR")};
}

Row Logbuch(const QString& device)
{
    return {QStringLiteral("17.03.2004 11:00:00"), device, QString(), QString(), QString(), QStringLiteral("123"),
            QStringLiteral("Müller"), QString(), QString(), QString(), QString(), NamesLog, QString(),
            QStringLiteral("Logbuch.AGW")};
}

class ArchiveScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetHeaderKeyTable();
        ASSERT_TRUE(dir_.isValid());
        const QDir src(testsupport::fixturePath(QStringLiteral("scan")));
        for (const QString& name : src.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(src.filePath(name), dir_.filePath(name)));
        // A directory that matches the mask is never an archive.
        ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("Unter.AGR")));
        state_.Settings.ArchivPfad = dir_.path() + QLatin1Char('/');
        reader_.SetPump(nullptr);
        scanner_.SetPump(nullptr);
        hooks_.ShowStatusMessage = [this](int n) { status_.push_back(n); };
        hooks_.SetupTree = [this] { ++setups_; };
        hooks_.ClearTree = [this] { ++clears_; };
        hooks_.SetRunning = [this](bool on) { running_.push_back(on); };
    }

    void ExpectOverview(const std::vector<Row>& rows)
    {
        const platform::TStringGridModel& g = scanner_.Overview();
        ASSERT_EQ(g.RowCount(), int(rows.size()) + 1);
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (int c = 0; c < OverviewColumnCount; ++c)
                EXPECT_EQ(g.Cell(c, int(r) + 1), rows[r][std::size_t(c)]) << "row " << r + 1 << " column " << c;
    }

    QTemporaryDir dir_;
    TEvaluationState state_;
    TArchiveReader reader_{state_};
    TEvaluationHooks hooks_;
    TArchiveScanner scanner_{state_, reader_, hooks_};
    testsupport::FakeHooks fakes_;
    std::vector<int> status_;
    std::vector<bool> running_;
    int setups_ = 0;
    int clears_ = 0;
};

TEST_F(ArchiveScanTest, HeaderRowHoldsCaptionsByOverviewColumn)
{
    const platform::TStringGridModel& g = scanner_.Overview();
    EXPECT_EQ(g.ColCount(), 14);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 0);
    const QStringList expected = {QStringLiteral("Auslesung  "), QStringLiteral("Geräte-Nr."), QStringLiteral("Meßstelle  "),
                                  QStringLiteral("MST-VV     "), QStringLiteral("Zähler-Nr."), QStringLiteral("Kunden-Nr."),
                                  QStringLiteral("Kunden-Name"), QStringLiteral("Messperiode"), QStringLiteral("Tagesbeginn"),
                                  QStringLiteral("Cp-Wert"), QStringLiteral("Faktor"), QStringLiteral("Wert-Namen"),
                                  QStringLiteral("Einheiten"), QStringLiteral("Datei         ")};
    for (int c = 0; c < 14; ++c)
        EXPECT_EQ(g.Cell(c, 0), expected[c]) << c;

    // Widths are the titles' widths in the overview font plus 8.
    const QFontMetrics m(scanner_.OverviewFont);
    EXPECT_EQ(g.ColWidth(1), m.horizontalAdvance(expected[1]) + 8);
    int used = 0;
    for (int c = 0; c < 13; ++c)
        used += g.ColWidth(c);
    scanner_.FitOverviewColumns(used + 500);
    EXPECT_EQ(scanner_.Overview().ColWidth(13), 500 - 24);
    scanner_.FitOverviewColumns(10);   // too narrow: the last column keeps its title's width
    EXPECT_EQ(scanner_.Overview().ColWidth(13), m.horizontalAdvance(expected[13]) + 8);

    // Translated messages give the file column's title.
    scanner_.SetMessages(EnglishMainMessages());
    EXPECT_EQ(scanner_.Overview().Cell(13, 0), QStringLiteral("file         "));
}

TEST_F(ArchiveScanTest, FilesListedByUpperCasedNameAndMaskWithoutCase)
{
    EXPECT_EQ(scanner_.ListArchiveFiles(),
              (QStringList{QStringLiteral("Anlage1.AGR"), QStringLiteral("anlage2.agr"), QStringLiteral("KeinEnde.AGR"),
                           QStringLiteral("Leer.AGR"), QStringLiteral("Logbuch.AGW")}));
    EXPECT_TRUE(MatchesFileMask(QStringLiteral("x.agr"), QStringLiteral("*.AG?")));
    EXPECT_FALSE(MatchesFileMask(QStringLiteral("x.ag"), QStringLiteral("*.AG?")));
    EXPECT_FALSE(MatchesFileMask(QStringLiteral("x.agrx"), QStringLiteral("*.AG?")));
    EXPECT_TRUE(MatchesFileMask(QStringLiteral("a.b.AGW"), QStringLiteral("*.AG?")));
    EXPECT_TRUE(MatchesFileMask(QStringLiteral("Anlage1.AGR"), QStringLiteral("an*1.agr")));
    EXPECT_TRUE(MatchesFileMask(QStringLiteral("noext"), QStringLiteral("*.*")));

    // Names equal but for case are ordered by their exact codes.
    QFile::copy(dir_.filePath(QStringLiteral("Leer.AGR")), dir_.filePath(QStringLiteral("LEER.AGR")));
    const QStringList files = scanner_.ListArchiveFiles();
    EXPECT_EQ(files.indexOf(QStringLiteral("LEER.AGR")) + 1, files.indexOf(QStringLiteral("Leer.AGR")));
}

TEST_F(ArchiveScanTest, OverviewCellByCellWithoutGerKanAndArcDesc)
{
    ASSERT_TRUE(scanner_.ScanArchiveFiles(true));
    ExpectOverview({Anlage1(QStringLiteral("12345")), Anlage2(QStringLiteral("815/12")), KeinEnde(),
                    Logbuch(QStringLiteral("12345"))});
    EXPECT_EQ(setups_, 1);
    EXPECT_EQ(clears_, 0);
    EXPECT_EQ(status_, std::vector<int>{2});
    EXPECT_EQ(running_, (std::vector<bool>{true, false}));
    EXPECT_FALSE(state_.Busy);
    EXPECT_TRUE(fakes_.messageBoxes.empty());
}

TEST_F(ArchiveScanTest, OverviewCellByCellWithGerKanAndArcDesc)
{
    state_.Settings.GerKan = true;
    state_.Settings.ArcDesc = true;
    ASSERT_TRUE(scanner_.ScanArchiveFiles(true));
    // RV files: every channel with a device number makes a row, and the meta
    // line's device number (with the designation) overrides channel 1; the QM
    // file keeps its first device number only.
    ExpectOverview({Anlage1(QStringLiteral("12345/Messwerte")),
                    Anlage1(QStringLiteral("12346"), QStringLiteral("<1"), QStringLiteral("200")),
                    Anlage2(QStringLiteral("815/Brenner")), KeinEnde(), Logbuch(QStringLiteral("12345/Logbuch"))});
}

TEST_F(ArchiveScanTest, GerKanOnArcDescOffAndTheReverse)
{
    state_.Settings.GerKan = true;
    ASSERT_TRUE(scanner_.ScanArchiveFiles(false));
    ExpectOverview({Anlage1(QStringLiteral("12345/3")),
                    Anlage1(QStringLiteral("12346"), QStringLiteral("<1"), QStringLiteral("200")),
                    Anlage2(QStringLiteral("815/12")), KeinEnde(), Logbuch(QStringLiteral("12345/7"))});

    state_.Settings.GerKan = false;
    state_.Settings.ArcDesc = true;
    ASSERT_TRUE(scanner_.ScanArchiveFiles(false));
    ExpectOverview({Anlage1(QStringLiteral("12345")), Anlage2(QStringLiteral("815/Brenner")), KeinEnde(),
                    Logbuch(QStringLiteral("12345"))});
    // Nothing of the longer earlier scan is left beyond the row count.
    EXPECT_TRUE(scanner_.Overview().Cell(0, 5).isEmpty());
}

TEST_F(ArchiveScanTest, ChannelCountLimitsTheChannels)
{
    state_.Settings.GerKan = true;
    state_.ChannelCount = 1;
    ASSERT_TRUE(scanner_.ScanArchiveFiles(false));
    EXPECT_EQ(scanner_.Overview().RowCount(), 5);
}

TEST_F(ArchiveScanTest, NothingFoundShowsMessageAndEmptiesTree)
{
    state_.Settings.DateiMaske = QStringLiteral("*.XYZ");
    EXPECT_FALSE(scanner_.ScanArchiveFiles(true));
    ASSERT_EQ(fakes_.messageBoxes.size(), 1u);
    EXPECT_EQ(fakes_.messageBoxes[0].Text, QStringLiteral("Keine Daten in ") + state_.Settings.ArchivPfad
                                               + QStringLiteral(" gefunden!"));
    EXPECT_TRUE(state_.Abort);
    EXPECT_EQ(clears_, 1);
    EXPECT_EQ(setups_, 0);
    EXPECT_EQ(status_, std::vector<int>{1});
    EXPECT_EQ(scanner_.Overview().RowCount(), 2);

    // Without the request no box is shown.
    EXPECT_FALSE(scanner_.ScanArchiveFiles(false));
    EXPECT_EQ(fakes_.messageBoxes.size(), 1u);
}

TEST_F(ArchiveScanTest, FilesWithoutDeviceNumbersLeaveHeaderAndOneEmptyRow)
{
    state_.Settings.DateiMaske = QStringLiteral("Leer.AGR");
    EXPECT_TRUE(scanner_.ScanArchiveFiles(true));
    EXPECT_EQ(scanner_.Overview().RowCount(), 2);
    EXPECT_TRUE(scanner_.Overview().Cell(13, 1).isEmpty());
    EXPECT_EQ(setups_, 1);
}

TEST_F(ArchiveScanTest, ScanWhileBusyOnlyBeeps)
{
    state_.Busy = true;
    EXPECT_FALSE(scanner_.ScanArchiveFiles(true));
    EXPECT_EQ(fakes_.beeps, 1);
    EXPECT_TRUE(running_.empty());
    EXPECT_TRUE(status_.empty());
    EXPECT_EQ(scanner_.Overview().RowCount(), 2);
    EXPECT_TRUE(state_.Busy);
}

TEST_F(ArchiveScanTest, AbortKeepsRowsSoFarButEmptiesTree)
{
    // The abort button is pressed while the first file is read.
    platform::MessagePump pump(0);
    pump.SetAction([this] { state_.Abort = true; });
    reader_.SetPump(&pump);
    EXPECT_FALSE(scanner_.ScanArchiveFiles(true));
    EXPECT_EQ(clears_, 1);
    EXPECT_EQ(setups_, 0);
    EXPECT_EQ(status_, std::vector<int>{1});
    EXPECT_FALSE(state_.Busy);
    // The first file's first line was read, then the scan stopped.
    EXPECT_EQ(scanner_.Overview().RowCount(), 2);
}

TEST_F(ArchiveScanTest, HeaderLineCallbackStopsAtHeaderEnd)
{
    EXPECT_EQ(scanner_.ScanHeaderLine(QStringLiteral(";CUSTNO=007")), 1);
    EXPECT_EQ(state_.HeaderValues[hkCustNo], QStringLiteral("7"));
    EXPECT_EQ(scanner_.ScanHeaderLine(QStringLiteral("1\t14.03.2004 06:15:00\t1")), 1);
    EXPECT_EQ(scanner_.ScanHeaderLine(QStringLiteral("O\t\t\t")), 3);
}

TEST_F(ArchiveScanTest, TableColumnsWidenedFromColumnOne)
{
    platform::TStringGridModel table;
    table.SetColCount(4);
    table.SetColWidth(0, 10);
    table.SetColWidth(1, 20);
    table.SetColWidth(2, 80);
    table.SetColWidth(3, 54);
    TArchiveScanner::EnsureTableColumnWidths(table);
    EXPECT_EQ(table.ColWidth(0), 10);
    EXPECT_EQ(table.ColWidth(1), 54);
    EXPECT_EQ(table.ColWidth(2), 80);
    EXPECT_EQ(table.ColWidth(3), 54);
}

} // namespace
