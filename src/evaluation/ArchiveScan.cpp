#include "evaluation/ArchiveScan.h"

#include "base/ZT_Tools.h"
#include "evaluation/HeaderKeys.h"
#include "platform/Hooks.h"
#include "platform/MessagePump.h"

#include <QDir>
#include <QFontMetrics>
#include <algorithm>

namespace {

QChar FoldCase(QChar c)
{
    return c.toCaseFolded();
}

// Wildcard match with backtracking over the last '*'.
bool MatchWildcards(QStringView name, QStringView mask)
{
    qsizetype n = 0, m = 0;
    qsizetype starMask = -1, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starMask = m++;
            starName = n;
        } else if (m < mask.size()
                   && (mask[m] == QLatin1Char('?') || FoldCase(mask[m]) == FoldCase(name[n]))) {
            ++m;
            ++n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

} // namespace

bool MatchesFileMask(const QString& name, const QString& mask)
{
    if (mask == QLatin1String("*.*") || mask == QLatin1String("*"))
        return !name.isEmpty();
    return MatchWildcards(name, mask);
}

TArchiveScanner::TArchiveScanner(TEvaluationState& state, TArchiveReader& reader, TEvaluationHooks& hooks)
    : OverviewFont(QStringLiteral("Courier New"), 10),
      state_(state), reader_(reader), hooks_(hooks), pump_(&platform::MessagePump::Default()),
      levels_(overview_), messages_(GermanMainMessages())
{
    // Header plus the one empty row.
    overview_.SetRowCount(2);
    InitOverview();
}

void TArchiveScanner::SetMessages(const std::array<QString, MainMessageCount>& messages)
{
    messages_ = messages;
    InitOverview();
}

void TArchiveScanner::InitOverview()
{
    overview_.BeginUpdate();
    overview_.SetColCount(OverviewColumnCount);
    overview_.SetFixedRows(1);
    overview_.SetFixedCols(0);
    for (const THeaderKey& entry : HeaderKeyTable)
        overview_.SetCell(entry.OverviewColumn, 0, entry.Caption);
    overview_.SetCell(OverviewFileColumn, 0, messages_[1]);
    FitOverviewColumns();
    overview_.EndUpdate();
}

void TArchiveScanner::FitOverviewColumns(int gridWidth)
{
    const QFontMetrics metrics(OverviewFont);
    const int last = overview_.ColCount() - 1;
    int used = 0;
    for (int c = 0; c < last; ++c) {
        const int width = metrics.horizontalAdvance(overview_.Cell(c, 0)) + 8;
        overview_.SetColWidth(c, width);
        used += width;
    }
    // A narrow grid would leave the last column nothing; it keeps its title's width.
    const int ownWidth = metrics.horizontalAdvance(overview_.Cell(last, 0)) + 8;
    overview_.SetColWidth(last, std::max(gridWidth - used - 24, ownWidth));
}

void TArchiveScanner::EnsureTableColumnWidths(platform::TStringGridModel& table)
{
    for (int c = 1; c < table.ColCount(); ++c) {
        if (table.ColWidth(c) < MinTableColumnWidth)
            table.SetColWidth(c, MinTableColumnWidth);
    }
}

void TArchiveScanner::ShowStatusMessage(uint8_t Number)
{
    hooks_.Status(Number);
}

QStringList TArchiveScanner::ListArchiveFiles() const
{
    // Special files (pipes, sockets, devices, dangling links) are left out:
    // reading a pipe would never end.
    QDir dir(state_.Settings.ArchivPfad);
    const QStringList all = dir.entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    struct TEntry {
        QString Upper;
        QString Name;
    };
    std::vector<TEntry> entries;
    for (const QString& name : all) {
        if (MatchesFileMask(name, state_.Settings.DateiMaske))
            entries.push_back({UpperCaseShort(name), name});
    }
    std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
        const int c = QString::compare(a.Upper, b.Upper, Qt::CaseSensitive);
        return c != 0 ? c < 0 : QString::compare(a.Name, b.Name, Qt::CaseSensitive) < 0;
    });
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    for (const TEntry& e : entries)
        names.append(e.Name);
    return names;
}

uint8_t TArchiveScanner::ScanHeaderLine(const QString& Line)
{
    QString key, value;
    const uint8_t result = reader_.ParseHeaderLine(Line, key, value);
    if (result == hlHeader) {
        StoreHeaderValue(state_, key, value);
        return 1;
    }
    return result;
}

void TArchiveScanner::AddOverviewRows()
{
    const int channels = std::clamp(state_.ChannelCount, 1, MaxChannels);
    for (int c = 0; c < channels; ++c) {
        const auto& values = state_.ChannelValues[std::size_t(c)];
        const QString& device = values[0];
        if (device.isEmpty() || device == QLatin1String("0"))
            continue;
        // The last row stays empty; a full grid takes no further row.
        if (overview_.RowCount() >= platform::MaxGridCount)
            return;
        const int row = overview_.RowCount() - 1;
        for (int k = 0; k < GeneralHeaderCount; ++k)
            overview_.SetCell(HeaderKeyTable[std::size_t(k)].OverviewColumn, row, state_.HeaderValues[std::size_t(k)]);
        for (int k = 0; k < ChannelHeaderCount; ++k)
            overview_.SetCell(HeaderKeyTable[std::size_t(FirstChannelKey + k)].OverviewColumn, row, values[std::size_t(k)]);
        overview_.SetCell(OverviewFileColumn, row, state_.CurrentArchiveFile);
        overview_.SetRowCount(row + 2);
    }
}

bool TArchiveScanner::ScanArchiveFiles(bool ShowNotFound)
{
    if (state_.Busy) {
        platform::Beep();
        return false;
    }

    hooks_.Hourglass(true);
    state_.Abort = false;
    state_.Busy = true;
    hooks_.Running(true);
    // During a scan logbooks are read like value archives.
    state_.LogbooksAllowed = true;

    // Every earlier row goes, also those kept beyond the row count.
    levels_.Invalidate();
    overview_.BeginUpdate();
    QStringList header;
    for (int c = 0; c < overview_.ColCount(); ++c)
        header.append(overview_.Cell(c, 0));
    overview_.Clear();
    for (int c = 0; c < header.size(); ++c)
        overview_.SetCell(c, 0, header[c]);
    overview_.SetRowCount(2);

    const QStringList files = ListArchiveFiles();
    for (const QString& file : files) {
        ClearHeaderValues(state_);
        if (pump_ != nullptr)
            pump_->Pump();
        state_.CurrentArchiveFile = file;
        reader_.ReadArchiveLines([this](const QString& line) { return ScanHeaderLine(line); });
        AddOverviewRows();
        if (state_.Abort)
            break;
    }

    if (overview_.RowCount() > 2)
        overview_.SetRowCount(overview_.RowCount() - 1);

    if (files.isEmpty()) {
        if (ShowNotFound) {
            platform::ShowMessageBox(messages_[2] + QLatin1Char(' ') + state_.Settings.ArchivPfad + QLatin1Char(' ')
                                         + messages_[3] + QLatin1Char('!'),
                                     QString(), platform::mb::Ok);
        }
        state_.Abort = true;
    }
    levels_.Invalidate();
    overview_.EndUpdate();
    state_.Busy = false;

    bool result;
    if (state_.Abort) {
        result = false;
        if (hooks_.ClearTree)
            hooks_.ClearTree();
        ShowStatusMessage(1);
    } else {
        result = true;
        if (hooks_.SetupTree)
            hooks_.SetupTree();
        ShowStatusMessage(2);
    }

    hooks_.Running(false);
    hooks_.Hourglass(false);
    return result;
}
