// The evaluation of data lines into a prepared table. The input is the data
// part of an archive of one device (or, with a flag, the whole archive): a
// header of value names and units comes first, then the fuzzed bytes. The
// first input bytes choose the view, the switches and the period.
#include "FuzzSupport.h"

#include "evaluation/ArchiveReader.h"
#include "evaluation/EvaluationHooks.h"
#include "evaluation/EvaluationState.h"
#include "evaluation/Evaluator.h"
#include "evaluation/HeadTemplate.h"
#include "evaluation/HeaderKeys.h"
#include "evaluation/StatusDecoder.h"
#include "evaluation/TableModel.h"
#include "evaluation/TableOutputParams.h"
#include "platform/Hooks.h"
#include "platform/LocaleFormats.h"
#include "platform/MessagePump.h"
#include "platform/StringGrid.h"

#include <cstdio>
#include <cstdlib>

namespace {

const QString DeviceNumber = QStringLiteral("4711");
const QString FileName = QStringLiteral("FUZZ.AGR");

void FillOverview(platform::TStringGridModel& overview)
{
    overview.Clear();
    overview.SetColCount(14);
    overview.SetRowCount(2);
    overview.SetFixedRows(1);
    overview.SetFixedCols(0);
    for (int c = 0; c < HeaderKeyCount; ++c)
        overview.SetCell(HeaderKeyTable[std::size_t(c)].OverviewColumn, 0, HeaderKeyTable[std::size_t(c)].Caption);
    overview.SetCell(OverviewFileColumn, 0, OverviewFileCaptionGerman);
    overview.SetCell(0, 1, QStringLiteral("05.01.2004 08:00:00"));
    overview.SetCell(1, 1, DeviceNumber);
    overview.SetCell(5, 1, QStringLiteral("123"));
    overview.SetCell(7, 1, QStringLiteral("15"));
    overview.SetCell(13, 1, FileName);
}

QByteArray Header(uint8_t channels, bool status, bool logbook)
{
    QByteArray text = ";CUSTNO=000123\r\n;DEVNOA=4711\r\n";
    text += logbook ? "M\t7 (Logbuch)\t4711\tRV100\r\n" : "M\t3 (Messwerte)\t4711\tRV100\r\n";
    QByteArray names = "#", units = "E";
    for (int c = 0; c < channels; ++c) {
        names += "\tWert" + QByteArray::number(c + 1);
        units += c % 2 == 0 ? "\tm3" : "\tbar";
    }
    if (status) {
        names += "\tStatus";
        units += "\t";
    }
    text += names + "\r\n" + units + "\r\nO\t\t\t\r\n";
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::EnsureApplication();
    platform::ResetHooks();   // silent: no message box, no beep
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzzsupport::Input in(data, size);
    const uint8_t switches = in.Byte();
    const uint8_t shape = in.Byte();

    platform::ScopedLocaleFormats formats(platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss")));
    platform::MessagePump pump;
    pump.SetAction([] {});

    TEvaluationState state;
    state.Settings.ArchivPfad = fuzzsupport::ScratchDirectory();
    state.Settings.HoleTB = (switches & 1) != 0;
    state.Settings.Format = (switches & 2) != 0;
    state.Settings.ZeitImmer = (switches & 4) != 0;
    state.Settings.KopfZeile = (switches & 8) != 0;
    state.Settings.SondEreig = uint8_t((switches >> 4) % 3);
    state.Settings.OhneDoppelte = (switches & 64) != 0;
    state.Settings.InstStat = (switches & 128) != 0;
    state.Settings.ZaehlerText = QStringLiteral("[ZST_Start_Dat] [ZST_Start_Val] - [ZST_End_Dat] [ZST_End_Val]: [ZST_Diff]");
    ResetHeaderKeyTable();

    TArchiveReader reader(state);
    reader.SetPump(&pump);
    TStatusDecoder decoder;
    decoder.SetOrdinaryEvents({QStringLiteral("0x8104")});
    THeadTemplate headTemplate;
    headTemplate.SetLines({QStringLiteral("Kunde [CUSTNO]|"), QStringLiteral(";1:Gerät [DEVNO]|")});
    TTableOutputParams params;
    TTableModel table;
    table.InitTableWindow(params);
    table.SetTableMode((shape & 128) != 0, state.Settings.Format, 9);
    platform::TStringGridModel overview;
    FillOverview(overview);
    TEvaluationHooks hooks;

    const uint8_t channels = uint8_t(1 + (shape & 3));
    const bool status = (shape & 4) != 0;
    const bool wholeArchive = (shape & 8) != 0;
    QByteArray archive = wholeArchive ? QByteArray() : Header(channels, status, (shape & 16) != 0);
    archive += in.Rest();
    fuzzsupport::WriteFile(state.Settings.ArchivPfad + FileName, archive);

    TEvaluator evaluator(state, reader, decoder, headTemplate, table, overview, hooks);
    evaluator.SetPump(&pump);
    evaluator.Today = [] { return platform::EncodeDate(2004, 5, 1); };
    TEvaluationView& view = evaluator.View();
    view.ViewMode = uint8_t(((shape >> 5) & 3) % 3);
    view.Differenz = (switches & 32) != 0;
    view.Zaehler = true;
    static const int periodDays[4] = {1, 31, 366, 1098};
    view.PeriodStart = platform::EncodeDate(2004, 1, 1);
    view.PeriodEnd = view.PeriodStart + periodDays[(switches >> 2) & 3] - 1;

    evaluator.FillTable(1, DeviceNumber, HeaderKeyTable[hkDevNo].Caption, QString(), QStringLiteral("1"));
    if (table.Grid().RowCount() > TEvaluator::MaxRowIndex + 1) {
        std::fprintf(stderr, "table beyond its row limit\n");
        std::abort();
    }
    return 0;
}
