#include "EvaluatorFixture.h"

#include "support/ArchiveGenerator.h"

#include "support/TestSupport.h"

#include <QDate>

namespace evaltest {

void FillOverview(platform::TStringGridModel& overview, const std::vector<OverviewEntry>& entries)
{
    overview.Clear();
    overview.SetColCount(14);
    overview.SetRowCount(int(entries.size()) + 1);
    overview.SetFixedRows(1);
    overview.SetFixedCols(0);
    for (int c = 0; c < HeaderKeyCount; ++c)
        overview.SetCell(HeaderKeyTable[std::size_t(c)].OverviewColumn, 0, HeaderKeyTable[std::size_t(c)].Caption);
    overview.SetCell(OverviewFileColumn, 0, OverviewFileCaptionGerman);
    int row = 1;
    for (const OverviewEntry& e : entries) {
        overview.SetCell(0, row, QStringLiteral("05.01.2004 08:00:00"));
        overview.SetCell(1, row, e.deviceNumber);
        overview.SetCell(5, row, e.customerNumber);
        overview.SetCell(7, row, QStringLiteral("15"));
        overview.SetCell(8, row, e.beginOfDay);
        overview.SetCell(13, row, e.file);
        ++row;
    }
}

QByteArray ArchiveText(const QString& deviceNumber, const QStringList& names, const QStringList& units,
                       const QStringList& dataLines, bool logbook)
{
    QString text;
    text += QStringLiteral(";CUSTNO=000123\r\n");
    text += QStringLiteral(";DEVNOA=") + deviceNumber + QStringLiteral("\r\n");
    text += QStringLiteral("M\t") + (logbook ? QStringLiteral("7 (Logbuch)") : QStringLiteral("3 (Messwerte)"))
        + QLatin1Char('\t') + deviceNumber + QStringLiteral("\tRV100\r\n");
    if (!names.isEmpty())
        text += QStringLiteral("#\t") + names.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    if (!units.isEmpty())
        text += QStringLiteral("E\t") + units.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    text += QStringLiteral("O\t\t\t\r\n");
    for (const QString& line : dataLines)
        text += line + QStringLiteral("\r\n");
    return text.toLatin1();
}

QString DataLine(int ordinal, const QString& timestamp, const QStringList& fields)
{
    QString line = QString::number(ordinal) + QLatin1Char('\t') + timestamp;
    for (const QString& f : fields)
        line += QLatin1Char('\t') + f;
    return line;
}

EvaluatorTest::EvaluatorTest()
{
    archiveDir = dir.path() + QLatin1Char('/');
    state.Settings.ArchivPfad = archiveDir;
    state.Settings.HoleTB = false;
    state.Settings.Format = false;
    state.Settings.ZeitImmer = false;
    state.Settings.KopfZeile = true;
    state.Settings.SondEreig = 1;
    state.Settings.OhneDoppelte = true;
    state.Settings.InstStat = true;
    state.Settings.ZaehlerText = QStringLiteral("[ZST_Start_Dat] [ZST_Start_Val] - [ZST_End_Dat] [ZST_End_Val]: [ZST_Diff]");
    ResetHeaderKeyTable();

    pump.SetAction([] {});
    reader.SetPump(&pump);
    decoder.SetOrdinaryEvents({QStringLiteral("0x8104")});
    headTemplate.SetLines({QStringLiteral("Kunde [CUSTNO]|"), QStringLiteral(";1:Gerät [DEVNO]|")});
    table.InitTableWindow(params);
    table.SetTableMode(false, false, 9);

    hooks.ShowTable = [this](bool grid, bool memo) { shown.emplace_back(grid, memo); };
    hooks.ShowStatusMessage = [this](int n) { statusTexts.push_back(n); };
    hooks.SetRunning = [this](bool on) { running.push_back(on); };
    hooks.UpdateChart = [this] { ++chartUpdates; };

    evaluator = std::make_unique<TEvaluator>(state, reader, decoder, headTemplate, table, overview, hooks);
    evaluator->SetPump(&pump);
    evaluator->Today = [] { return platform::EncodeDate(2004, 5, 1); };
    SetPeriod(QStringLiteral("01.01.2004"), QStringLiteral("31.01.2004"));
}

EvaluatorTest::~EvaluatorTest() = default;

void EvaluatorTest::WriteArchive(const QString& name, const QByteArray& bytes)
{
    ASSERT_TRUE(testsupport::writeFile(archiveDir + name, bytes));
}

QByteArray EvaluatorTest::WriteGeneratedDevice(int days, int channels, const QString& dayBegin, int intervalMinutes)
{
    testsupport::ArchiveParams p;
    p.days = days;
    p.channels = channels;
    p.intervalMinutes = intervalMinutes;
    p.statusColumn = false;
    const QByteArray bytes = testsupport::GenerateArchive(p);
    WriteArchive(QStringLiteral("G.AGR"), bytes);
    if (dayBegin.isEmpty())
        FillOverview(overview, {{QStringLiteral("G.AGR"), QStringLiteral("0012345")}});
    else
        FillOverview(overview, {{QStringLiteral("G.AGR"), QStringLiteral("0012345"), QStringLiteral("123"), dayBegin}});
    return bytes;
}

void EvaluatorTest::SetPeriod(const QString& from, const QString& to)
{
    const QDate a = QDate::fromString(from, QStringLiteral("dd.MM.yyyy"));
    const QDate b = QDate::fromString(to, QStringLiteral("dd.MM.yyyy"));
    evaluator->View().PeriodStart = platform::FromQDate(a);
    evaluator->View().PeriodEnd = platform::FromQDate(b);
}

void EvaluatorTest::Select(uint8_t level, const QString& node, const QString& parent, const QString& grandParent,
                           const QString& rows)
{
    evaluator->FillTable(level, node, parent, grandParent, rows);
}

void EvaluatorTest::SelectDevice(const QString& device, const QString& rows)
{
    Select(1, device, HeaderKeyTable[hkDevNo].Caption, QString(), rows);
}

QStringList EvaluatorTest::Row(int r)
{
    QStringList cells;
    for (int c = 0; c < Grid().ColCount(); ++c)
        cells << Grid().Cell(c, r);
    return cells;
}

QStringList EvaluatorTest::Column(int c)
{
    QStringList cells;
    for (int r = Grid().FixedRows(); r < Grid().RowCount(); ++r)
        cells << Grid().Cell(c, r);
    return cells;
}

} // namespace evaltest
