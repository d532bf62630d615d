#include "evaluation/GridSort.h"

#include "platform/LocaleFormats.h"
#include "platform/MessagePump.h"
#include "platform/TextCodec.h"

#include <charconv>
#include <string>
#include <vector>

QString DateSortKey(const QString& text)
{
    return DateSortKey(QStringView(text));
}

QString DateSortKey(QStringView text)
{
    QString key;
    key.reserve(text.size());
    qsizetype insertAt = 0;
    for (QChar c : text) {
        if (c == u'.' || c == u'/') {
            insertAt = 0;
        } else {
            key.insert(insertAt, c);
            ++insertAt;
        }
    }
    return key;
}

std::u32string TextSortWeights(const QString& text)
{
    return TextSortWeights(QStringView(text));
}

std::u32string TextSortWeights(QStringView text)
{
    std::u32string weights;
    weights.reserve(std::size_t(text.size()));
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u < 0x80) {
            weights.push_back(char32_t(u));
            continue;
        }
        const int code = platform::Windows1252Code(c);
        if (code >= 0) {
            weights.push_back(char32_t(code));
            continue;
        }
        char32_t point = u;
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            point = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        weights.push_back(0x100 + point);
    }
    return weights;
}

namespace {

// Shell sort over the data rows with precomputed keys. The comparison and
// exchange order decide where rows with equal keys end up, so they follow the
// table's established order exactly: equal keys are never exchanged, and after
// an exchange at a position within the first gap the walk restarts at the
// first data row.
template <typename Key>
void ShellSortKeys(std::vector<Key>& keys, int first, int last, bool descending, platform::TStringGridModel& grid,
                   platform::MessagePump* pump)
{
    auto key = [&](int row) -> const Key& { return keys[std::size_t(row - first)]; };
    // Rows already in order (an evaluation's rows mostly are) are never
    // exchanged by any pass: every comparison of the walk finds its pair in
    // order, so the walk can be left out.
    bool ordered = true;
    for (int r = first; r < last && ordered; ++r) {
        const int c = key(r).compare(key(r + 1));
        ordered = descending ? c >= 0 : c <= 0;
    }
    if (ordered)
        return;
    grid.BeginUpdate();
    int gap = last / 2;
    while (gap > 0) {
        for (int i = first; i <= last - gap; ++i) {
            if (pump != nullptr && (i & 1023) == 0)
                pump->Pump();
            int j = i;
            while (j >= first) {
                const int c = key(j).compare(key(j + gap));
                if (descending ? c >= 0 : c <= 0)
                    break;
                std::swap(keys[std::size_t(j - first)], keys[std::size_t(j + gap - first)]);
                grid.SwapRows(j, j + gap);
                j = j <= gap ? first : j - gap;
            }
        }
        gap /= 2;
    }
    grid.EndUpdate();
}

bool IsAscii(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// The data rows of a column worth sorting: none for a column that is not
// there or that has fewer than two data rows.
bool DataRowsToSort(int32_t col, const platform::TStringGridModel& grid, int& first, int& last)
{
    if (col < 0 || col >= grid.ColCount())
        return false;
    first = grid.FixedRows();
    last = grid.RowCount() - 1;
    return last - first >= 1;
}

// Prepare turns a cell's text into the text whose sort weights are the key.
template <typename Prepare>
void ShellSortRows(int32_t col, bool descending, platform::TStringGridModel& grid, Prepare prepare,
                   platform::MessagePump* pump)
{
    int first = 0;
    int last = 0;
    if (!DataRowsToSort(col, grid, first, last))
        return;

    auto cellOf = [&](int r) { return grid.CellView(col, r); };
    // Plain ASCII texts weigh their own character codes: their bytes compare
    // as their weights do, and short ones need no memory of their own.
    bool ascii = true;
    for (int r = first; r <= last && ascii; ++r)
        ascii = IsAscii(cellOf(r));

    const std::size_t count = std::size_t(last - first + 1);
    if (ascii) {
        std::vector<std::string> keys;
        keys.reserve(count);
        for (int r = first; r <= last; ++r) {
            if (pump != nullptr && (r & 1023) == 0)
                pump->Pump();
            const auto text = prepare(cellOf(r));
            std::string key(std::size_t(text.size()), '\0');
            for (qsizetype k = 0; k < text.size(); ++k)
                key[std::size_t(k)] = char(text[k].unicode());
            keys.push_back(std::move(key));
        }
        ShellSortKeys(keys, first, last, descending, grid, pump);
        return;
    }
    std::vector<std::u32string> keys;
    keys.reserve(count);
    for (int r = first; r <= last; ++r) {
        if (pump != nullptr && (r & 1023) == 0)
            pump->Pump();
        keys.push_back(TextSortWeights(prepare(cellOf(r))));
    }
    ShellSortKeys(keys, first, last, descending, grid, pump);
}

} // namespace

void SortGridByValue(int32_t Col, bool Descending, platform::TStringGridModel& Grid)
{
    SortGridByValue(Col, Descending, Grid, nullptr);
}

void SortGridByDate(int32_t Col, bool Descending, platform::TStringGridModel& Grid)
{
    SortGridByDate(Col, Descending, Grid, nullptr);
}

void SortGridByValue(int32_t Col, bool Descending, platform::TStringGridModel& Grid, platform::MessagePump* Pump)
{
    ShellSortRows(Col, Descending, Grid, [](QStringView text) { return text; }, Pump);
}

namespace {

// Key of a cell that sorts by what its text reads as (a date's whole
// seconds, a number): cells that read as nothing sort before the others, by
// their text's sort weights.
template <typename T>
struct TReadKey {
    bool read = false;
    T key{};
    std::u32string text;
    int compare(const TReadKey& other) const
    {
        if (read != other.read)
            return read ? 1 : -1;
        if (read)
            return key == other.key ? 0 : (key < other.key ? -1 : 1);
        return text.compare(other.text);
    }
};

// A date cell's key: the time stamp the text reads as, or its DateSortKey.
using TDateKey = TReadKey<int64_t>;

} // namespace

void SortGridByDate(int32_t Col, bool Descending, platform::TStringGridModel& Grid, platform::MessagePump* Pump)
{
    int first = 0;
    int last = 0;
    if (!DataRowsToSort(Col, Grid, first, last))
        return;
    const platform::LocaleFormats& formats = platform::LocaleFormats::Current();
    platform::LocaleFormats::DateParseCache cache;
    std::vector<TDateKey> keys;
    keys.reserve(std::size_t(last - first + 1));
    for (int r = first; r <= last; ++r) {
        if (Pump != nullptr && (r & 1023) == 0)
            Pump->Pump();
        const QStringView text = Grid.CellView(Col, r).trimmed();
        TDateKey key;
        platform::DateTimeValue value = 0;
        if (!text.isEmpty() && formats.TryParseDateTime(text, value, cache)) {
            key.read = true;
            key.key = platform::ToWholeSeconds(value);
        } else {
            key.text = TextSortWeights(DateSortKey(text));
        }
        keys.push_back(std::move(key));
    }
    ShellSortKeys(keys, first, last, Descending, Grid, Pump);
}

namespace {

QStringView TrimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

// A value cell's key: the number the text reads as, or its sort weights.
using TNumberKey = TReadKey<double>;

} // namespace

bool ReadCellNumber(QStringView text, double& value)
{
    text = TrimmedBlanks(text);
    if (text.size() >= 2 && text.front() == u'(' && text.back() == u')')
        text = TrimmedBlanks(text.mid(1, text.size() - 2));
    // Longer texts are no number a table shows.
    constexpr qsizetype MaxLength = 64;
    if (text.isEmpty() || text.size() > MaxLength)
        return false;
    int dots = 0;
    int commas = 0;
    qsizetype lastSeparator = -1;
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text[k] == u'.' || text[k] == u',') {
            (text[k] == u'.' ? dots : commas) += 1;
            lastSeparator = k;
        }
    }
    // The decimal separator: the last one when both kinds occur, the only
    // one of its kind otherwise; a kind that occurs more than once alone
    // only groups.
    char16_t decimal = 0;
    if (dots > 0 && commas > 0)
        decimal = text[lastSeparator].unicode();
    else if (dots == 1)
        decimal = u'.';
    else if (commas == 1)
        decimal = u',';
    char buffer[MaxLength + 1];
    std::size_t n = 0;
    bool digits = false;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const char16_t c = text[k].unicode();
        if (c >= u'0' && c <= u'9') {
            buffer[n++] = char(c);
            digits = true;
        } else if ((c == u'-' || c == u'+') && k == 0) {
            if (c == u'-')
                buffer[n++] = '-';
        } else if (c == u'.' || c == u',') {
            if (c == decimal) {
                if (k != lastSeparator)
                    return false;
                buffer[n++] = '.';
            }
            // A grouping separator adds nothing to the number.
        } else {
            return false;
        }
    }
    if (!digits)
        return false;
    double read = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, read, std::chars_format::fixed);
    if (error != std::errc() || end != buffer + n)
        return false;
    value = read;
    return true;
}

bool ColumnHoldsNumbers(int32_t Col, const platform::TStringGridModel& Grid)
{
    if (Col < 0 || Col >= Grid.ColCount())
        return false;
    double value = 0;
    for (int r = Grid.FixedRows(); r < Grid.RowCount(); ++r)
        if (ReadCellNumber(Grid.CellView(Col, r), value))
            return true;
    return false;
}

void SortGridByNumber(int32_t Col, bool Descending, platform::TStringGridModel& Grid)
{
    int first = 0;
    int last = 0;
    if (!DataRowsToSort(Col, Grid, first, last))
        return;
    std::vector<TNumberKey> keys;
    keys.reserve(std::size_t(last - first + 1));
    for (int r = first; r <= last; ++r) {
        TNumberKey key;
        const QStringView text = Grid.CellView(Col, r);
        key.read = ReadCellNumber(text, key.key);
        if (!key.read)
            key.text = TextSortWeights(text);
        keys.push_back(std::move(key));
    }
    ShellSortKeys(keys, first, last, Descending, Grid, nullptr);
}

void SortGridByRowKeys(std::vector<TRowSortKey>& Keys, bool Descending, platform::TStringGridModel& Grid,
                       platform::MessagePump* Pump)
{
    const int first = Grid.FixedRows();
    const int last = Grid.RowCount() - 1;
    if (last - first < 1 || Keys.size() != std::size_t(last - first + 1))
        return;
    // The keys are ready, but messages go through as often as while the
    // texts' keys are built.
    if (Pump != nullptr)
        for (int r = first; r <= last; ++r)
            if ((r & 1023) == 0)
                Pump->Pump();
    ShellSortKeys(Keys, first, last, Descending, Grid, Pump);
}

void GridSelectAll(platform::TStringGridModel& Grid)
{
    Grid.SetSelection(platform::TGridRect{Grid.FixedCols(), Grid.FixedRows(), Grid.ColCount() - 1, Grid.RowCount() - 1});
}
