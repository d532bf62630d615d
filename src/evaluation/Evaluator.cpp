#include "evaluation/Evaluator.h"

#include "base/ZT_Meld.h"
#include "base/ZT_Tools.h"
#include "platform/CharCopy.h"
#include "evaluation/ArchiveReader.h"
#include "evaluation/FieldShaping.h"
#include "evaluation/GridSort.h"
#include "evaluation/HeadTemplate.h"
#include "evaluation/HeaderKeys.h"
#include "evaluation/StatusDecoder.h"
#include "evaluation/TableModel.h"
#include "platform/LocaleFormats.h"
#include "platform/MessagePump.h"
#include "platform/StringGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using platform::DateTimeValue;

namespace {

constexpr int64_t SecondsPerDay = platform::SecondsPerDay;
constexpr int64_t SlotSeconds = 15 * 60;
// Day-begin detection: a time of day that is a whole multiple of 1/3600 day.
constexpr int64_t DayBeginGrid = SecondsPerDay / 16;   // 5400 s
// Day and month thinning: lines this close to the day begin are kept.
constexpr int64_t DayBeginTolerance = 720;
// Days from 30.12.1899 to 1.1.1970.
constexpr int64_t EpochOffsetDays = 25569;
constexpr double NoNumber = -9999.0;
constexpr int CounterTextCapacity = 255;
constexpr int DateTextCut = 20;
constexpr int GONrWidth = 7;
// Characters of a time stamp's sort key ("yyyymmddhhmmss").
constexpr int SortKeyLength = 14;
constexpr uint8_t RowLimitMessage = 36;

QStringView FlagText(bool special)
{
    return special ? QStringView(u"1") : QStringView(u"0");
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Nearest whole number of a / b (b > 0), ties to the even neighbour: the
// processor's rounding of the quotient, exact on whole seconds.
int64_t RoundDiv(int64_t a, int64_t b)
{
    const int64_t q = FloorDiv(a, b);
    const int64_t r2 = 2 * (a - q * b);
    if (r2 > b || (r2 == b && (q & 1) != 0))
        return q + 1;
    return q;
}

// Calendar date of days since 30.12.1899.
void CivilFromDays(int64_t days, int& year, int& month, int& day)
{
    int64_t z = days - EpochOffsetDays + 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

// Whole seconds since 30.12.1899 of a sort key's "yyyymmddhhmmss".
bool ParseSortKey(QStringView key, int64_t& seconds)
{
    if (key.size() != 14)
        return false;
    int64_t n[6] = {};
    const int widths[6] = {4, 2, 2, 2, 2, 2};
    qsizetype i = 0;
    for (int part = 0; part < 6; ++part) {
        for (int k = 0; k < widths[part]; ++k, ++i) {
            if (key[i] < u'0' || key[i] > u'9')
                return false;
            n[part] = n[part] * 10 + (key[i].unicode() - u'0');
        }
    }
    DateTimeValue day = 0;
    if (!platform::TryEncodeDate(int(n[0]), int(n[1]), int(n[2]), day))
        return false;
    seconds = int64_t(std::llround(day)) * SecondsPerDay + n[3] * 3600 + n[4] * 60 + n[5];
    return true;
}

void AppendDigits(QChar*& out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = QChar(u'0' + value % 10);
        value /= 10;
    }
    out += width;
}

// The lines of a header value ("#" and "E" lines: fields joined by line
// feeds with one more at the end); entry 0 stands for the marker.
QStringList LinesOf(const QString& value)
{
    QStringList lines = value.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty() && value.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

// A value column: a name that is not empty and not a status column (ending
// in "S" or "s").
bool IsValueColumnName(const QString& name)
{
    return !name.isEmpty() && name.back() != QLatin1Char('S') && name.back() != QLatin1Char('s');
}

// What the difference columns read a cell's text as: an empty cell is no
// value, any other text the number ParseRealTrimmed gives.
double CellNumber(QStringView text)
{
    return text.isEmpty() ? NoNumber : ParseRealTrimmed(text);
}

} // namespace

TEvaluator::TEvaluator(TEvaluationState& state, TArchiveReader& reader, const TStatusDecoder& decoder,
                       const THeadTemplate& headTemplate, TTableModel& table,
                       const platform::TStringGridModel& overview, TEvaluationHooks& hooks)
    : Today(&platform::Now),
      state_(state), reader_(reader), decoder_(decoder), headTemplate_(headTemplate), table_(table),
      overview_(overview), hooks_(hooks), pump_(&platform::MessagePump::Default())
{
}

TEvaluator::~TEvaluator() = default;

// ---- Small helpers -------------------------------------------------------------

std::size_t TEvaluator::SlotCountOf(int64_t startSeconds, int64_t endSeconds)
{
    if (endSeconds < startSeconds)
        return 0;
    // The slot of the period's last second is the highest a line can round to.
    return std::size_t(RoundDiv(endSeconds - startSeconds, SlotSeconds)) + 1;
}

double TEvaluator::DayBeginFromCell(const QString& cell)
{
    const QString text = cell.trimmed();
    if (text.isEmpty() || text.size() > 4)
        return -1.0;
    int hours = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1.0;
        hours = hours * 10 + (c.unicode() - u'0');
    }
    if (hours > 23)
        return -1.0;
    return hours / 24.0;
}

void TEvaluator::SetKeyDay(int64_t days)
{
    int year = 0, month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    keyDay_ = days;
    keyDayNumber_ = ((int64_t(std::clamp(year, 0, 9999)) * 100 + month) * 100 + day) * 1000000;
}

void TEvaluator::SetRowKeyGeneral(int row, int64_t number, QStringView tail)
{
    if (row < 0)
        return;
    while (rowKeys_.size() <= std::size_t(row))
        rowKeys_.push_back(TRowSortKey{-1, {}});
    TRowSortKey& key = rowKeys_[std::size_t(row)];
    key.number = number;
    if (!tail.isEmpty()) {
        QString text = tail.toString();
        key.tail = TextSortWeights(text);
        keyTails_[row] = std::move(text);
    } else if (!key.tail.empty()) {
        key.tail.clear();
        keyTails_.erase(row);
    }
}

void TEvaluator::WriteSortKeys()
{
    if (!keysPending_)
        return;
    keysPending_ = false;
    std::u16string text;
    for (std::size_t r = 0; r < rowKeys_.size(); ++r) {
        const TRowSortKey& key = rowKeys_[r];
        if (key.number < 0)
            continue;
        text.assign(std::size_t(SortKeyLength), u'0');
        int64_t number = key.number;
        for (int i = SortKeyLength - 1; i >= 0; --i) {
            text[std::size_t(i)] = char16_t(u'0' + int(number % 10));
            number /= 10;
        }
        if (!key.tail.empty()) {
            const auto tail = keyTails_.find(int(r));
            if (tail != keyTails_.end())
                text.append(reinterpret_cast<const char16_t*>(tail->second.utf16()), std::size_t(tail->second.size()));
        }
        table_.SetCell(QStringView(text), int(r) + 1, KeyColumn);
    }
}

void TEvaluator::SortByKeys()
{
    platform::TStringGridModel& grid = table_.Grid();
    const int first = grid.FixedRows();
    const int last = grid.RowCount() - 1;
    // Every data row has its key: sort by the keys, as by their texts.
    bool complete = keysPending_ && last >= first && rowKeys_.size() == std::size_t(last) + 1;
    for (int r = 0; r <= last && complete; ++r)
        complete = (r < first) == (rowKeys_[std::size_t(r)].number < 0);
    if (complete) {
        // The keys are not needed any more: the data rows' keys are sorted
        // where they stand, without the header rows' in front.
        keysPending_ = false;
        rowKeys_.erase(rowKeys_.begin(), rowKeys_.begin() + first);
        SortGridByRowKeys(rowKeys_, false, grid, pump_);
        return;
    }
    WriteSortKeys();
    SortGridByValue(KeyColumn, false, grid, pump_);
}

void TEvaluator::CutAtRowLimit()
{
    platform::TStringGridModel& grid = table_.Grid();
    const int first = grid.FixedRows();
    if (limitSeconds_ != INT64_MAX && !table_.Filling()) {
        // The rows are sorted by time: those at or after the first line that
        // found no row hold only part of the data of their time (an earlier
        // archive's), so they go.
        const int64_t limitNumber = SortKeyNumber(limitSeconds_);
        int end = grid.RowCount();
        const bool keysByRow = !keysPending_ && rowKeys_.size() == std::size_t(end - first);
        const QString limitText = SortKeyText(limitSeconds_);
        auto atOrAfterLimit = [&](int r) {
            if (keysByRow)
                return rowKeys_[std::size_t(r - first)].number >= limitNumber;
            return QStringView(grid.Cell(KeyColumn, r)).left(SortKeyLength) >= QStringView(limitText);
        };
        while (end > first && atOrAfterLimit(end - 1))
            --end;
        if (end < grid.RowCount()) {
            if (keysByRow)
                rowKeys_.resize(std::size_t(end - first));
            grid.SetRowCount(std::max(end, first + 1));
            RowCount = std::max(end, first + 1) - 1;
        }
        // The last reading kept, else the second before the line refused.
        int64_t last = limitSeconds_ - 1;
        if (end > first) {
            const QString key = keysByRow ? QString::number(rowKeys_[std::size_t(end - 1 - first)].number)
                                          : grid.Cell(KeyColumn, end - 1).left(SortKeyLength);
            int64_t seconds = 0;
            if (ParseSortKey(key, seconds))
                last = seconds;
        }
        CoveredEnd = DateTimeValue(double(last) / double(SecondsPerDay));
    }
    if (titleRow_ < 0)
        return;
    TTitleInput input = titleInput_;
    const double coveredDay = std::floor(CoveredEnd);
    if (coveredDay < input.PeriodEnd)
        input.PeriodEnd = std::max(input.PeriodStart, DateTimeValue(coveredDay));
    table_.ReplaceTitleLines(headTemplate_.TitleLines(overview_, titleRow_, input));
}

QString TEvaluator::SortKeyText(int64_t seconds)
{
    const int64_t days = FloorDiv(seconds, SecondsPerDay);
    int sod = int(seconds - days * SecondsPerDay);
    int year = 0, month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    QString key(14, Qt::Uninitialized);
    QChar* out = key.data();
    AppendDigits(out, std::clamp(year, 0, 9999), 4);
    AppendDigits(out, month, 2);
    AppendDigits(out, day, 2);
    AppendDigits(out, sod / 3600, 2);
    AppendDigits(out, sod / 60 % 60, 2);
    AppendDigits(out, sod % 60, 2);
    return key;
}

QString TEvaluator::OverviewCell(int col, int row) const
{
    if (row < 0 || row >= overview_.RowCount() || col < 0 || col >= platform::MaxGridCount)
        return QString();
    return overview_.Cell(col, row);
}

// ---- The selection handler ----------------------------------------------------

void TEvaluator::FillTable(uint8_t level, const QString& nodeText, const QString& parentText,
                           const QString& grandParentText, const QString& rows)
{
    if (state_.Busy || level == 0)
        return;
    // A list without a row number ("" or ",") reads nothing: finishing the
    // table shown would take one more of its columns away each time.
    if (std::none_of(rows.begin(), rows.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return;

    hooks_.Hourglass(true);
    state_.Busy = true;
    DeviceNumber.clear();
    state_.Abort = false;
    hooks_.Running(true);
    if (hooks_.SetAbortEnabled)
        hooks_.SetAbortEnabled(true);
    if (hooks_.ShowTable)
        hooks_.ShowTable(false, false);

    Selection = level == 1 ? parentText : level == 2 ? grandParentText : QString();

    // What this run reads from the settings and the view.
    nameRow_ = state_.Settings.KopfZeile ? 1 : 0;
    showTime_ = state_.Settings.ZeitImmer || view_.ViewMode == 0;
    PeriodStart = view_.PeriodStart;
    PeriodEnd = view_.PeriodEnd;
    PeriodEffectiveEnd = PeriodEnd + 1.0 - (view_.Differenz ? 0.0 : 1.0 / double(SecondsPerDay));
    startSeconds_ = platform::ToWholeSeconds(PeriodStart);
    endSeconds_ = platform::ToWholeSeconds(PeriodEnd) + SecondsPerDay - (view_.Differenz ? 0 : 1);
    formats_ = &platform::LocaleFormats::Current();
    dateCache_ = platform::LocaleFormats::DateTextCache{};
    keyDay_ = INT64_MIN;
    keysPending_ = false;
    RowLimitReached = false;
    limitSeconds_ = INT64_MAX;
    titleRow_ = -1;
    CoveredEnd = PeriodEffectiveEnd;
    numbersKept_ = view_.Differenz && KeepCellNumbers;

    platform::TStringGridModel& grid = table_.Grid();
    grid.BeginUpdate();
    // The table's long steps (difference columns) let messages through too.
    table_.SetPump(pump_);
    try {
        if (!rows.isEmpty()) {
            FirstFile = true;
            const QString& deviceCaption = HeaderKeyTable[hkDevNo].Caption;
            const bool deviceLevel1 = level == 1 && parentText == deviceCaption;
            if (level == 3 || (level == 2 && grandParentText == deviceCaption)) {
                ColumnFilter = nodeText;
                DeviceNumber = parentText;
            } else {
                ColumnFilter.clear();
                if (deviceLevel1 || level == 2)
                    DeviceNumber = nodeText;
            }
            const bool oneDevice = deviceLevel1 || level == 2;
            FirstColumnsOnly = !oneDevice && ColumnFilter.isEmpty();
            state_.LogbooksAllowed = oneDevice || level >= 2;

            QString collected;
            bool stopped = false;
            for (const QChar c : rows) {
                if (state_.Abort || RowLimitReached) {
                    stopped = true;
                    break;
                }
                if (c == QLatin1Char(',')) {
                    EvaluateRowToken(collected);
                    collected.clear();
                } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
                    collected += c;
                }
            }
            if (!stopped && !state_.Abort && !RowLimitReached)
                EvaluateRowToken(collected);
        }
        FinishEvaluation();
    } catch (...) {
        // A run-time error ends the evaluation where it stands, without a
        // message; a fill that was started is closed so the view follows.
        if (table_.Filling())
            table_.FinishTable(1, false);
        try {
            WriteSortKeys();
        } catch (...) {
        }
    }
    table_.SetPump(nullptr);
    grid.SetRowCapacityHint(0);
    grid.EndUpdate();

    if (pump_ != nullptr)
        pump_->PumpNow();
    if (hooks_.UpdateChart)
        hooks_.UpdateChart();
    state_.Busy = false;
    hooks_.Running(false);
    if (hooks_.SetAbortEnabled)
        hooks_.SetAbortEnabled(false);
    hooks_.Hourglass(false);

    if (RowLimitReached && !state_.Abort) {
        // The user learns how far the table reaches, not only that it is full.
        const platform::LocaleFormats& f = platform::LocaleFormats::Current();
        ShowMessageNr(QString::number(MaxRowIndex) + QStringLiteral(" (Daten bis ") + f.FormatDate(CoveredEnd)
                          + QLatin1Char(' ') + f.FormatTime(CoveredEnd) + QLatin1Char(')'),
                      RowLimitMessage);
    }
}

void TEvaluator::EvaluateRowToken(const QString& token)
{
    if (token.isEmpty())
        return;
    int row = 0;
    for (const QChar c : token) {
        row = row * 10 + (c.unicode() - u'0');
        if (row > platform::MaxGridCount) {
            row = platform::MaxGridCount;   // beyond every overview
            break;
        }
    }
    DeviceNumber = OverviewCell(1, row);
    EvaluateRow(row);
}

void TEvaluator::EvaluateRow(int row)
{
    // Every archive starts with its own lists: one without "#" or "E" lines
    // must not run under the previous archive's columns.
    state_.ValueNames.clear();
    state_.Units.clear();
    ++archive_;
    if (FirstFile)
        StartTable(row);
    else
        ColumnOffset = table_.Grid().ColCount();

    state_.CurrentArchiveFile = OverviewCell(OverviewFileColumn, row);
    DataPhase = false;
    state_.ValueArchive = true;
    plan_.clear();
    shownCount_ = 0;

    reader_.ReadArchiveLines([this](const QString& line) { return EvaluateLine(line); });

    if (FirstFile) {
        FirstFile = false;
        TTitleInput input;
        input.Today = Today ? Today() : platform::Now();
        input.PeriodStart = PeriodStart;
        input.PeriodEnd = PeriodEnd;
        input.DeviceType = state_.DeviceType;
        input.OneDevice = state_.LogbooksAllowed;
        // Kept for the row limit, which may shorten the period named.
        titleRow_ = row;
        titleInput_ = input;
        headTemplate_.BuildTitle(overview_, row, input, table_);
    }
    table_.Grid().SetColWidth(FlagColumn, 0);
}

void TEvaluator::StartTable(int row)
{
    slotHead_.assign(SlotCountOf(startSeconds_, endSeconds_), -1);
    slotRows_.clear();
    eventRows_.clear();
    deviceColumns_.clear();
    archive_ = 1;
    rowKeys_.clear();
    rowKeys_.reserve(std::size_t(InitialRowCount));
    keyTails_.clear();
    keysPending_ = true;
    // The vectors keep their memory for the next table.
    for (std::vector<double>& numbers : cellNumbers_)
        numbers.clear();
    rowSpecial_.clear();

    const TTableOutputParams* params = table_.Params();
    table_.ClearTable(params != nullptr ? params->DruckDateiName : QString());
    // A counter difference of the previous table does not belong to this one.
    table_.SetEvaluationLabel(QString());
    if (hooks_.InstallTableDrawCell)
        hooks_.InstallTableDrawCell();
    platform::TStringGridModel& grid = table_.Grid();
    grid.SetRowCount(InitialRowCount);
    fillRowOrder_ = grid.RowOrderChanges();
    fillColumnOrder_ = grid.ColumnOrderChanges();

    const int nameRow1 = nameRow_ + 1;   // 1-based rows of the fill interface
    table_.SetHeaderCell(QString(), nameRow1, FlagColumn);
    table_.SetHeaderCell(QStringLiteral("#ON"), nameRow1, KeyColumn);
    table_.SetHeaderCell(view_.ZeitCaption, nameRow1, DateColumn);
    // The unit row is a header row even when no archive adds a column.
    table_.SetHeaderCell(QString(), nameRow1 + 1, FlagColumn);
    ColumnOffset = grid.ColCount();
    RowCount = nameRow_ + 1;             // the unit row
    CurrentRow = RowCount;

    DayBegin = state_.Settings.HoleTB ? DayBeginFromCell(OverviewCell(8, row)) : -1.0;
    dayBeginSeconds_ = DayBegin < 0 ? -1 : int(std::lround(DayBegin * 24)) * 3600;
}

// ---- Reading an archive -------------------------------------------------------

uint8_t TEvaluator::EvaluateLine(const QString& line)
{
    if (DataPhase) {
        EvaluateDataLine(line);
        return RowLimitReached ? 3 : 1;
    }
    QString key, value;
    switch (reader_.ParseHeaderLine(line, key, value)) {
    case hlHeader:
        if (state_.Konvert)
            ConvertSpecialChars(value);
        if (key == HeaderKeyTable[hkValueNames].Key)
            state_.ValueNames = LinesOf(value);
        else if (key == HeaderKeyTable[hkUnits].Key)
            state_.Units = LinesOf(value);
        return 1;
    case hlEndOfHeader:
        if (state_.Units.isEmpty())
            return 3;
        EndOfHeader();
        return 1;
    case hlLogbookRefused:
        // A logbook in a group selection: the file is not read any further,
        // whatever lines stood before its meta line.
        return 3;
    default:
        return 1;
    }
}

void TEvaluator::EndOfHeader()
{
    QStringList& units = state_.Units;
    const QStringList& names = state_.ValueNames;
    while (units.size() > names.size())
        units.removeLast();
    DataPhase = true;

    // An archive of a device already in the table puts each field into that
    // device's column of the same value name: a logbook (GONr, Vb, ...) must
    // not continue a value archive (Vb, Vm, ...) by position. A name the
    // device has no column for gets a new column of that device at the right
    // of the table; a device not yet in the table gets its columns there too.
    auto known = deviceColumns_.find(DeviceNumber);
    const bool knownDevice = known != deviceColumns_.end();
    std::vector<TDeviceColumn> added;
    std::vector<bool> taken(knownDevice ? known.value().size() : 0, false);
    int next = ColumnOffset;
    if (knownDevice && !known.value().empty())
        ColumnOffset = known.value().front().column;

    plan_.assign(std::size_t(units.size()), TFieldPlan{});
    int shown = 0;
    const bool format = state_.Settings.Format;
    for (int k = 2; k < units.size(); ++k) {
        if (!IsColumnShown(k))
            continue;
        QString name = names[k];
        ConvertSpecialChars(name);
        int col = -1;
        if (knownDevice) {
            const std::vector<TDeviceColumn>& columns = known.value();
            for (std::size_t i = 0; i < columns.size() && col < 0; ++i) {
                if (!taken[i] && columns[i].name == name) {
                    taken[i] = true;
                    col = columns[i].column;
                }
            }
        }
        if (col < 0) {
            col = next++;
            bool ok = true;
            if (nameRow_ == 1)
                ok = table_.SetHeaderCell(DeviceNumber, 1, col);
            ok = ok && table_.SetHeaderCell(names[k], nameRow_ + 1, col);
            ok = ok && table_.SetHeaderCell(units[k], nameRow_ + 2, col);
            if (!ok)
                throw EEvaluationError("table column beyond the grid");
            added.push_back(TDeviceColumn{std::move(name), col});
        }
        TFieldPlan& p = plan_[std::size_t(k)];
        if (format && !units[k].isEmpty())
            p.mode = TFieldMode::Formatted;
        else if (format && decoder_.IsGONrKey(names[k]))
            p.mode = TFieldMode::PlainGONr;
        else
            p.mode = TFieldMode::Plain;
        p.column = col - ColumnOffset;
        ++shown;
    }
    shownCount_ = shown;
    if (numbersKept_) {
        // Every column this archive writes has its numbers; the vectors stay
        // where they are while its lines are read.
        for (const TFieldPlan& p : plan_)
            if (p.mode != TFieldMode::Hidden && std::size_t(ColumnOffset + p.column) >= cellNumbers_.size())
                cellNumbers_.resize(std::size_t(ColumnOffset + p.column) + 1);
        for (TFieldPlan& p : plan_)
            if (p.mode != TFieldMode::Hidden)
                p.numbers = &cellNumbers_[std::size_t(ColumnOffset + p.column)];
    }
    // Rows make room for the difference columns the finish adds (one per
    // value column, after the key column went) when they are made.
    const int columns = table_.Grid().ColCount();
    table_.Grid().SetRowCapacityHint(view_.Differenz ? 2 * columns - 4 : 0);
    if (!added.empty()) {
        std::vector<TDeviceColumn>& columns = deviceColumns_[DeviceNumber];
        for (TDeviceColumn& c : added)
            columns.push_back(std::move(c));
    }
}

bool TEvaluator::IsColumnShown(int index) const
{
    const QStringList& units = state_.Units;
    const QStringList& names = state_.ValueNames;
    if (index < 0 || index >= units.size())
        return false;
    const QString name = index < names.size() ? names[index] : QString();
    const QString& unit = units[index];
    bool shown = false;
    bool decided = false;
    if (view_.Alles && (state_.Settings.InstStat || IsValueColumnName(name))) {
        shown = true;
        decided = true;
    }
    if (!decided) {
        if (ColumnFilter.isEmpty()) {
            shown = !unit.isEmpty()
                || (IsValueColumnName(name) && (name[0] == QLatin1Char('V') || name[0] == QLatin1Char('v')));
        } else {
            const QString title = unit.isEmpty() ? name : name + QStringLiteral(" / ") + unit;
            shown = ColumnFilter == title;
        }
    }
    if (FirstColumnsOnly && index > 2)
        shown = false;
    return shown;
}

bool TEvaluator::NewRow()
{
    if (RowCount >= MaxRowIndex) {
        RowLimitReached = true;
        return false;
    }
    ++RowCount;
    CurrentRow = RowCount;
    return true;
}

int TEvaluator::OrdinaryRow(int64_t seconds, int slot)
{
    if (state_.Settings.OhneDoppelte) {
        // A line joins the row of its quarter hour with the same time stamp,
        // else the first row of the slot this archive has not written yet;
        // so devices whose clocks differ by seconds share rows, and no line
        // overwrites another line of its own archive.
        int32_t same = -1;
        int32_t free = -1;
        int32_t last = -1;
        for (int32_t e = slotHead_[std::size_t(slot)]; e >= 0; e = slotRows_[std::size_t(e)].next) {
            const TSlotRow& entry = slotRows_[std::size_t(e)];
            if (entry.seconds == seconds) {
                same = e;
                break;
            }
            if (free < 0 && entry.archive != archive_)
                free = e;
            last = e;
        }
        const int32_t found = same >= 0 ? same : free;
        if (found >= 0) {
            TSlotRow& entry = slotRows_[std::size_t(found)];
            entry.archive = archive_;
            CurrentRow = entry.row;
            return MergedRow;
        }
        if (!NewRow())
            return FullTable;
        const int32_t index = int32_t(slotRows_.size());
        slotRows_.push_back(TSlotRow{CurrentRow, -1, seconds, archive_});
        if (last >= 0)
            slotRows_[std::size_t(last)].next = index;
        else
            slotHead_[std::size_t(slot)] = index;
        return CurrentRow;
    }
    if (!NewRow())
        return FullTable;
    return CurrentRow;
}

void TEvaluator::EvaluateDataLine(QStringView line)
{
    const qsizetype size = line.size();
    qsizetype start = 0;
    int index = 0;
    QStringView ordinal;
    const char16_t* chars = line.utf16();
    const char16_t* const end = chars + size;
    lineChars_ = chars;
    // The ordinal and the time stamp first: a day or month view drops most
    // lines by their time.
    const qsizetype tab1 = platform::FindChar(chars, end, u'\t') - chars;
    const qsizetype tab2 = tab1 >= size ? size : platform::FindChar(chars + tab1 + 1, end, u'\t') - chars;
    if (tab2 >= size)
        return;
    // The other TABs, and whether the line has an 'x' (without one it has no
    // event code, and the decoder need not look at it).
    std::size_t tabCount = 0;
    auto findTabs = [&]() -> bool {
        if (lineTabs_.size() < std::size_t(size))
            lineTabs_.resize(std::size_t(size));
        bool x = false;
        tabCount = platform::FindAllChars(chars, std::size_t(size), u'\t', u'x', lineTabs_.data(), x);
        return x;
    };
    for (std::size_t tabIndex = 0; tabIndex < std::max<std::size_t>(tabCount, 2); ++tabIndex) {
        const qsizetype tab = tabIndex == 0 ? tab1 : tabIndex == 1 ? tab2 : qsizetype(lineTabs_[tabIndex]);
        const QStringView field = line.mid(start, tab - start).left(ArchiveTextLength);
        start = tab + 1;
        if (index == 0) {
            ordinal = field;
        } else if (index == 1) {
            const DateTimeValue t = reader_.ParseTimestamp(field);
            if (t == 0.0)
                return;
            const int64_t seconds = platform::ToWholeSeconds(t);
            if (seconds < startSeconds_ || seconds > endSeconds_)
                return;
            // All values keep nearly every line: one walk finds its TABs and
            // tells whether it may hold an event code. The other views drop
            // most lines by their time of day; the walk is made for those
            // they keep.
            const bool eventCodePossible = view_.ViewMode == 0 ? findTabs()
                                                               : platform::FindChar(chars, end, u'x') != end;
            const bool special = eventCodePossible && decoder_.IsSpecialEventLine(line);
            const uint8_t mode = state_.Settings.SondEreig;
            if (state_.ValueArchive && mode != 2 && !special) {
                const int64_t slot = RoundDiv(seconds - startSeconds_, SlotSeconds);
                if (slot < 0 || std::size_t(slot) >= slotHead_.size())
                    return;
                if (view_.ViewMode == 1 || view_.ViewMode == 2) {
                    const int64_t days = FloorDiv(seconds, SecondsPerDay);
                    const int64_t tod = seconds - days * SecondsPerDay;
                    if (dayBeginSeconds_ < 0) {
                        // The first line on a whole multiple of 1/3600 day
                        // (every 90 minutes from midnight) sets the day begin.
                        if (tod % DayBeginGrid != 0)
                            return;
                        dayBeginSeconds_ = int(tod);
                        DayBegin = double(tod) / double(SecondsPerDay);
                    }
                    if (std::llabs(tod - dayBeginSeconds_) >= DayBeginTolerance)
                        return;
                    if (view_.ViewMode == 2) {
                        int y = 0, m = 0, d = 0;
                        CivilFromDays(days, y, m, d);
                        if (d != 1)
                            return;
                    }
                }
                const int row = OrdinaryRow(seconds, int(slot));
                if (row == FullTable) {
                    limitSeconds_ = std::min(limitSeconds_, seconds);
                    return;
                }
                if (row != MergedRow) {
                    PutFlag(row, false);
                    SetRowKey(row, SortKeyNumber(seconds), QStringView());
                    PutDateText(t, showTime_, row + 1);
                }
            } else {
                if ((mode == 0 && special) || (mode == 2 && !special))
                    return;
                const int64_t number = SortKeyNumber(seconds);
                QString key = SortKeyText(seconds);
                key += ordinal;
                if (key.size() > ArchiveTextLength)
                    key.truncate(ArchiveTextLength);
                int row = -1;
                if (state_.Settings.OhneDoppelte) {
                    if (ordinal.isEmpty()) {
                        // Such a key equals an ordinary row's key: search the
                        // rows written so far, top down, as the table would.
                        const int first = table_.Grid().FixedRows();
                        const int end = std::min(RowCount + 1, int(rowKeys_.size()));
                        for (int r = first; r < end && row < 0; ++r) {
                            const TRowSortKey& k = rowKeys_[std::size_t(r)];
                            if (k.number == number && k.tail.empty())
                                row = r;
                        }
                    } else {
                        const auto it = eventRows_.constFind(key);
                        if (it != eventRows_.constEnd())
                            row = it.value();
                    }
                }
                if (row < 0) {
                    if (!NewRow()) {
                        limitSeconds_ = std::min(limitSeconds_, seconds);
                        return;
                    }
                    row = CurrentRow;
                    if (state_.Settings.OhneDoppelte && !ordinal.isEmpty())
                        eventRows_.insert(key, row);
                }
                CurrentRow = row;
                PutFlag(row, special);
                SetRowKey(row, number, QStringView(key).mid(SortKeyLength));
                // Event rows always show the time, also at midnight.
                PutDateText(t, true, row + 1);
            }
            if (tabCount == 0)
                findTabs();
        } else {
            WriteField(index, field, false);
        }
        ++index;
    }
    if (index >= 2 && start < size)
        WriteField(index, line.mid(start).left(ArchiveTextLength), true);
}

void TEvaluator::PutDateText(DateTimeValue t, bool withTime, int gridRow)
{
    // Numeric formats are written into a buffer that the cell copies.
    char16_t buf[platform::LocaleFormats::DateTextCapacity];
    const int n = withTime ? formats_->FormatDateTimeTo(t, dateCache_, buf) : formats_->FormatDateTo(t, dateCache_, buf);
    if (n >= 0)
        table_.SetCell(QStringView(buf, n), gridRow, DateColumn);
    else
        table_.SetCell(withTime ? formats_->FormatDateTime(t) : formats_->FormatDate(t), gridRow, DateColumn);
}

void TEvaluator::WriteField(int index, QStringView field, bool last)
{
    if (index >= int(plan_.size()))
        return;
    const TFieldPlan& p = plan_[std::size_t(index)];
    if (p.mode == TFieldMode::Hidden || (last && field.isEmpty()))
        return;
    // The field is shaped in a buffer and becomes a text once: room for
    // blanks in front, the field (at most ArchiveTextLength characters) and
    // ".0" behind.
    constexpr qsizetype Front = 8;
    char16_t buf[Front + ShapedFieldCapacity(ArchiveTextLength)];
    qsizetype begin = Front;
    qsizetype end = Front;
    // The number the cell reads as, when it is found on the way.
    double number = NoNumber;
    bool numberFound = false;
    if (p.mode == TFieldMode::Formatted) {
        // The common field is shaped straight into its cell.
        const qsizetype before = field.utf16() - lineChars_;
        bool plain = true;
        const bool written = table_.TryAppendCell(
            CurrentRow + 1, ColumnOffset + p.column, std::size_t(ShapedFieldCapacity(field.size())),
            [&](char16_t* out) -> std::size_t {
                qsizetype size = 0;
                plain = TryShapePlainNumberField(field, before, out, size, number);
                return plain ? std::size_t(size) : 0;
            });
        if (written) {
            KeepNumber(p, number);
            return;
        }
        qsizetype size = 0;
        numberFound = plain && TryShapePlainNumberField(field, before, buf + Front, size, number);
        if (!numberFound)
            size = ShapeNumberField(field, buf + Front);
        end = Front + size;
    } else {
        end = Front + field.size();
        platform::MoveChars(buf + Front, field.utf16(), std::size_t(field.size()));
        // Leading '0' characters go while more than one character is left
        // and the second is no decimal separator.
        while (end - begin > 1 && buf[begin] == u'0' && buf[begin + 1] != u'.' && buf[begin + 1] != u',')
            ++begin;
        if (p.mode == TFieldMode::PlainGONr && !last)
            while (end - begin < GONrWidth)
                buf[--begin] = u' ';
    }
    const QStringView text(buf + begin, end - begin);
    PutTableCell(p.column, text);
    if (p.numbers != nullptr)
        KeepNumber(p, numberFound ? number : CellNumber(text));
}

void TEvaluator::GrowNumbers(std::vector<double>& numbers, std::size_t row)
{
    numbers.resize(std::max(row + 1, 2 * numbers.size()), NoNumber);
}

void TEvaluator::PutFlag(int row, bool special)
{
    table_.SetCell(FlagText(special), row + 1, FlagColumn);
    if (numbersKept_ && row >= 0) {
        table_.Grid().SetRowObject(row, quintptr(row) + 1);
        if (std::size_t(row) >= rowSpecial_.size())
            rowSpecial_.resize(std::max(std::size_t(row) + 1, 2 * rowSpecial_.size()), 0);
        rowSpecial_[std::size_t(row)] = special ? 1 : 0;
    }
}


void TEvaluator::PutTableCell(int col, QStringView text)
{
    if (!table_.SetCell(text, CurrentRow + 1, ColumnOffset + col))
        throw EEvaluationError("table column beyond the grid");
}

// ---- Finishing the table --------------------------------------------------------

void TEvaluator::LetMessagesThrough()
{
    if (pump_ != nullptr)
        pump_->Pump();
}

void TEvaluator::EnsureTableColumnWidths()
{
    platform::TStringGridModel& grid = table_.Grid();
    for (int c = 1; c < grid.ColCount(); ++c) {
        if (grid.ColWidth(c) < MinColumnWidth)
            grid.SetColWidth(c, MinColumnWidth);
    }
}

void TEvaluator::FinishEvaluation()
{
    platform::TStringGridModel& grid = table_.Grid();
    table_.FinishTable(1, false);
    EnsureTableColumnWidths();
    grid.SetRowCount(RowCount + 1);
    // The fill moves no row and no column: if one moved all the same (the
    // user dragged it), the kept numbers no longer say which cell is which.
    if (grid.RowOrderChanges() != fillRowOrder_ || grid.ColumnOrderChanges() != fillColumnOrder_)
        numbersKept_ = false;

    if (state_.Abort) {
        WriteSortKeys();
        return;
    }

    if (hooks_.SetAbortEnabled)
        hooks_.SetAbortEnabled(false);
    // Every step of the finish lets messages through, the long ones also
    // within: the window stays responsive up to the last row.
    LetMessagesThrough();
    SortByKeys();
    if (RowLimitReached)
        CutAtRowLimit();
    LetMessagesThrough();
    // Rows may move from here on (they carry their fill rows), columns only
    // by the key column going: grid column c is then column c + 1 of the
    // fill.
    if (grid.ColumnOrderChanges() != fillColumnOrder_)
        numbersKept_ = false;
    table_.DeleteColumn(KeyColumn);
    fillColumnOrder_ = grid.ColumnOrderChanges();
    LetMessagesThrough();
    grid.SetFixedCols(1);

    uint16_t statusColumn = 0;
    if (decoder_.FindStatusColumn(grid, nameRow_, statusColumn)) {
        StatusColumn = statusColumn;
        if (state_.Settings.SortOno)
            SortGridByValue(StatusColumn + 1, false, grid, pump_);
    } else {
        StatusColumn = 0;
    }

    const bool gridShown = grid.ColCount() > 1 && grid.RowCount() > nameRow_ + 2;
    const bool titleShown = gridShown && !table_.TitleLines().isEmpty();
    if (hooks_.ShowTable)
        hooks_.ShowTable(gridShown, titleShown);

    const int valueColumns = grid.ColCount() - grid.FixedCols() - 1;
    bool differences = false;
    if (gridShown) {
        hooks_.Status(0);
        if (view_.Differenz && valueColumns > 0) {
            AddDifferenceColumns();
            differences = true;
        }
    }

    if (view_.Zaehler) {
        ShowCounterDifference(grid.FixedRows(), grid.RowCount() - 1);
    } else if (differences) {
        // Only the date and the difference columns remain.
        for (int c = grid.FixedCols() + valueColumns; c > grid.FixedCols(); --c) {
            table_.DeleteColumn(c);
            LetMessagesThrough();
        }
        StatusColumn = 0;
    }

    if (state_.Settings.StatusDekodiert && view_.Alles && StatusColumn != 0) {
        LetMessagesThrough();
        decoder_.DecodeStatusColumn(grid, StatusColumn, state_.RVDevice);
        LetMessagesThrough();
    }

    if (!gridShown)
        hooks_.Status(2);
    if (grid.ColCount() > 2)
        grid.SetFixedCols(2);
}

void TEvaluator::AddDifferenceColumns()
{
    platform::TStringGridModel& grid = table_.Grid();
    const int fixedCols = grid.FixedCols();
    const int fixedRows = grid.FixedRows();
    const int n = grid.ColCount() - fixedCols - 1;
    const int lastRow = grid.RowCount() - 1;
    // The columns the differences end with, at once: every row then makes
    // room for all of them in one step instead of one per column.
    if (n > 0 && fixedCols + 2 * n + 1 <= platform::MaxGridCount)
        grid.SetColCount(fixedCols + 2 * n + 1);

    // The key column is gone: grid column c was column c + 1 of the fill.
    // Each data row names its grid row of the fill (0: a row never written).
    // Both are taken where they are used: messages go through in between,
    // and the user may move a row meanwhile.
    auto numbersKnown = [&] { return numbersKept_ && grid.ColumnOrderChanges() == fillColumnOrder_; };
    std::vector<int32_t> origins;
    auto takeOrigins = [&] {
        origins.assign(std::size_t(lastRow) + 1, -1);
        for (int r = fixedRows; r <= lastRow; ++r)
            origins[std::size_t(r)] = int32_t(grid.RowObject(r)) - 1;
    };
    const bool specialKnown = numbersKnown();
    if (specialKnown)
        takeOrigins();
    std::vector<int> specialRows;
    for (int r = fixedRows; r <= lastRow; ++r) {
        if (specialKnown) {
            const int32_t origin = origins[std::size_t(r)];
            if (origin >= 0 && std::size_t(origin) < rowSpecial_.size() && rowSpecial_[std::size_t(origin)] != 0)
                specialRows.push_back(r);
        } else if (grid.CellView(0, r) == u"1") {
            specialRows.push_back(r);
        }
    }

    auto put = [this](const QString& text, int row, int col) {
        if (!table_.SetCell(text, row + 1, col))
            throw EEvaluationError("table column beyond the grid");
    };

    // A difference into or out of a special event is put in parentheses
    // (an empty one stays empty: "()" would stand for a value); the text is
    // built beside the grid, as writing the row may move its characters.
    std::vector<char16_t> bracketed;
    auto bracket = [&](int r, int dst) {
        const QStringView text = grid.CellView(dst, r);
        if (text.isEmpty())
            return;
        bracketed.assign(std::size_t(text.size()) + 2, u'(');
        std::copy(text.utf16(), text.utf16() + text.size(), bracketed.begin() + 1);
        bracketed.back() = u')';
        if (!table_.SetCell(QStringView(bracketed.data(), qsizetype(bracketed.size())), r + 1, dst))
            throw EEvaluationError("table column beyond the grid");
    };
    auto bracketSpecialRows = [&](int dst) {
        for (const int r : specialRows) {
            if (r != fixedRows && !grid.CellView(dst, r - 1).startsWith(u'('))
                bracket(r - 1, dst);
            bracket(r, dst);
        }
    };
    auto putHeaders = [&](int c, int dst) {
        for (int r = 0; r < fixedRows; ++r)
            put(grid.Cell(c, r), r, dst);
        put(grid.Cell(c, nameRow_) + QLatin1Char('-') + view_.DifferenzCaption, nameRow_, dst);
    };

    if (n > 0 && fixedCols + 2 * n + 1 <= platform::MaxGridCount) {
        // Every column exists: the columns depend on no other, so their
        // headers go first, then one walk down the rows fills all of them.
        std::vector<std::pair<int, int>> columns;
        for (int c = fixedCols + 1; c <= fixedCols + n; ++c) {
            putHeaders(c, c + n);
            columns.emplace_back(c, c + n);
            LetMessagesThrough();
        }
        std::vector<TTableModel::TColumnNumbers> numbers;
        std::vector<std::vector<double>> moved;
        moved.reserve(columns.size());
        if (numbersKnown()) {
            takeOrigins();
            const int rows = lastRow + 1;
            bool inPlace = true;
            for (int r = fixedRows; r < rows && inPlace; ++r)
                inPlace = origins[std::size_t(r)] == r || origins[std::size_t(r)] < 0;
            for (const auto& column : columns) {
                const std::size_t fillCol = std::size_t(column.first) + 1;
                if (fillCol >= cellNumbers_.size())
                    cellNumbers_.resize(fillCol + 1);
                std::vector<double>& kept = cellNumbers_[fillCol];
                if (kept.size() < std::size_t(rows))
                    kept.resize(std::size_t(rows), NoNumber);
                // The rows of an evaluation mostly stand where they were made.
                if (inPlace) {
                    numbers.push_back(TTableModel::TColumnNumbers{kept.data(), rows});
                    continue;
                }
                std::vector<double>& order = moved.emplace_back(std::size_t(rows), NoNumber);
                for (int r = fixedRows; r < rows; ++r) {
                    const int32_t origin = origins[std::size_t(r)];
                    if (origin >= 0 && origin < rows)
                        order[std::size_t(r)] = kept[std::size_t(origin)];
                }
                numbers.push_back(TTableModel::TColumnNumbers{order.data(), rows});
            }
        }
        table_.FillDifferenceColumns(columns, false, state_.Settings.ZahlenFormat, numbers);
        for (const auto& column : columns) {
            bracketSpecialRows(column.second);
            LetMessagesThrough();
        }
        return;
    }
    for (int c = fixedCols + 1; c <= fixedCols + n; ++c) {
        const int dst = c + n;
        putHeaders(c, dst);
        LetMessagesThrough();
        table_.FillDifferenceColumn(c, dst, false, state_.Settings.ZahlenFormat);
        bracketSpecialRows(dst);
    }
}

void TEvaluator::ShowCounterDifference(int fromRow, int toRow)
{
    if (!view_.Zaehler || fromRow >= toRow)
        return;
    const platform::TStringGridModel& grid = table_.Grid();
    const int valueCol = 2;
    if (decoder_.IsStatusKey(grid.Cell(valueCol, nameRow_)))
        return;

    fromRow = std::max(fromRow, grid.FixedRows());
    toRow = std::min(toRow, grid.RowCount() - 1);
    auto value = [&grid](int row) { return ParseRealDef(TrimControlChars(grid.Cell(valueCol, row))); };
    // Never a difference against a missing reading: move inward to the
    // nearest rows that hold one.
    while (fromRow < toRow && value(fromRow) == NoNumber)
        ++fromRow;
    while (toRow > fromRow && value(toRow) == NoNumber)
        --toRow;
    if (fromRow >= toRow) {
        table_.SetEvaluationLabel(QString());
        return;
    }

    // The cut never falls inside the date-time (a 12-hour time keeps its
    // "AM" or "PM").
    const platform::LocaleFormats& formats = platform::LocaleFormats::Current();
    QString date1 = formats.CutBehindDateTime(grid.Cell(1, fromRow), DateTextCut);
    QString date2 = formats.CutBehindDateTime(grid.Cell(1, toRow), DateTextCut);
    if (date1.size() == date2.size()) {
        const qsizetype blank = date1.indexOf(QLatin1Char(' '));
        // Same time of day on both: the dates say enough.
        if (blank >= 5 && date2.indexOf(QLatin1Char(' ')) == blank
            && QStringView(date1).mid(blank) == QStringView(date2).mid(blank)) {
            date1.truncate(blank);
            date2.truncate(blank);
        }
    }
    const double v1 = value(fromRow);
    const double v2 = value(toRow);
    QString text = state_.Settings.ZaehlerText;
    // Each replacement cuts the text to its capacity, but never inside a
    // date text put in before: the cut then falls right behind it.
    std::vector<std::pair<qsizetype, qsizetype>> dateSpans;
    auto replace = [&](const QString& search, const QString& replacement, bool isDate) {
        const qsizetype p = UpperCaseShort(text).indexOf(UpperCaseShort(search));
        if (p < 0)
            return;
        text = text.left(p) + replacement + text.mid(p + search.size());
        const qsizetype shift = replacement.size() - search.size();
        for (auto& span : dateSpans)
            if (span.first > p) {
                span.first += shift;
                span.second += shift;
            }
        if (isDate)
            dateSpans.emplace_back(p, p + replacement.size());
        qsizetype cut = CounterTextCapacity;
        for (const auto& span : dateSpans)
            if (span.first < cut && cut < span.second)
                cut = span.second;
        text.truncate(cut);
        std::erase_if(dateSpans, [&](const auto& span) { return span.first >= cut; });
    };
    replace(QStringLiteral("[ZST_Start_Dat]"), date1, true);
    replace(QStringLiteral("[ZST_End_Dat]"), date2, true);
    replace(QStringLiteral("[ZST_Start_Val]"), TrimControlChars(grid.Cell(valueCol, fromRow)), false);
    replace(QStringLiteral("[ZST_End_Val]"), TrimControlChars(grid.Cell(valueCol, toRow)), false);
    replace(QStringLiteral("[ZST_Diff]"), TrimControlChars(table_.FormatDifference(state_.Settings.ZahlenFormat, v2 - v1)),
            false);
    table_.SetEvaluationLabel(text);
}
