#include "evaluation/GridSort.h"

#include "platform/TextCodec.h"

#include <vector>

QString DateSortKey(const QString& text)
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
template <typename KeyOf>
void ShellSortRows(int32_t col, bool descending, platform::TStringGridModel& grid, KeyOf keyOf)
{
    if (col < 0 || col >= grid.ColCount())
        return;
    const int first = grid.FixedRows();
    const int last = grid.RowCount() - 1;
    if (last - first < 1)
        return;

    std::vector<std::u32string> keys;
    keys.reserve(std::size_t(last - first + 1));
    for (int r = first; r <= last; ++r) {
        const auto& cells = grid.RowCells(r);
        keys.push_back(keyOf(std::size_t(col) < cells.size() ? cells[std::size_t(col)] : QString()));
    }
    auto key = [&](int row) -> const std::u32string& { return keys[std::size_t(row - first)]; };

    grid.BeginUpdate();
    int gap = last / 2;
    while (gap > 0) {
        for (int i = first; i <= last - gap; ++i) {
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

} // namespace

void SortGridByValue(int32_t Col, bool Descending, platform::TStringGridModel& Grid)
{
    ShellSortRows(Col, Descending, Grid, [](const QString& text) { return TextSortWeights(text); });
}

void SortGridByDate(int32_t Col, bool Descending, platform::TStringGridModel& Grid)
{
    ShellSortRows(Col, Descending, Grid, [](const QString& text) { return TextSortWeights(DateSortKey(text)); });
}

void GridSelectAll(platform::TStringGridModel& Grid)
{
    Grid.SetSelection(platform::TGridRect{Grid.FixedCols(), Grid.FixedRows(), Grid.ColCount() - 1, Grid.RowCount() - 1});
}
