#include "reports/Workbook.h"

#include <algorithm>

namespace reports {

static_assert(sizeof(TWorksheet::Cell) == 16, "a cell stays small: the large tables have a million of them");

namespace {

bool InSheet(int row, int col)
{
    return row >= 0 && row < XlsxMaxRows && col >= 0 && col < XlsxMaxCols;
}

} // namespace

TWorksheet::Cell* TWorksheet::Touch(int row, int col)
{
    if (!InSheet(row, col))
        return nullptr;
    if (std::size_t(row) >= rows_.size())
        rows_.resize(std::size_t(row) + 1);
    auto& cells = rows_[std::size_t(row)];
    if (std::size_t(col) >= cells.size())
        cells.resize(std::size_t(col) + 1);
    return &cells[std::size_t(col)];
}

bool TWorksheet::SetNumber(int row, int col, double value, uint32_t style)
{
    Cell* cell = Touch(row, col);
    if (cell == nullptr)
        return false;
    cell->Number = value;
    cell->Kind = TCellKind::Number;
    cell->Style = style;
    return true;
}

bool TWorksheet::SetText(int row, int col, QStringView text, uint32_t style)
{
    Cell* cell = Touch(row, col);
    if (cell == nullptr)
        return false;
    if (text.size() > XlsxMaxCellChars)
        text = text.left(XlsxMaxCellChars);
    // A text written again over an older one leaves the old characters in the
    // pool: reports write each cell once.
    cell->Text.Offset = uint32_t(pool_.size());
    cell->Text.Length = uint32_t(text.size());
    pool_.insert(pool_.end(), text.utf16(), text.utf16() + text.size());
    cell->Kind = TCellKind::Text;
    cell->Style = style;
    return true;
}

bool TWorksheet::SetEmpty(int row, int col, uint32_t style)
{
    if (!InSheet(row, col))
        return false;
    if (style == 0 && CellAt(row, col) == nullptr)
        return true;
    Cell* cell = Touch(row, col);
    cell->Kind = TCellKind::Empty;
    cell->Number = 0;
    cell->Style = style;
    return true;
}

bool TWorksheet::SetStyle(int row, int col, uint32_t style)
{
    Cell* cell = Touch(row, col);
    if (cell == nullptr)
        return false;
    cell->Style = style;
    return true;
}

void TWorksheet::ReserveCells(int row, int cells)
{
    if (!InSheet(row, 0) || cells <= 0)
        return;
    if (std::size_t(row) >= rows_.size())
        rows_.resize(std::size_t(row) + 1);
    rows_[std::size_t(row)].reserve(std::size_t(std::min(cells, XlsxMaxCols)));
}

int TWorksheet::CellCount(int row) const
{
    if (row < 0 || std::size_t(row) >= rows_.size())
        return 0;
    return int(rows_[std::size_t(row)].size());
}

const TWorksheet::Cell* TWorksheet::CellAt(int row, int col) const
{
    if (row < 0 || col < 0 || std::size_t(row) >= rows_.size())
        return nullptr;
    const auto& cells = rows_[std::size_t(row)];
    if (std::size_t(col) >= cells.size())
        return nullptr;
    return &cells[std::size_t(col)];
}

TCellKind TWorksheet::KindAt(int row, int col) const
{
    const Cell* cell = CellAt(row, col);
    return cell == nullptr ? TCellKind::Empty : cell->Kind;
}

double TWorksheet::NumberAt(int row, int col) const
{
    const Cell* cell = CellAt(row, col);
    return cell != nullptr && cell->Kind == TCellKind::Number ? cell->Number : 0.0;
}

QString TWorksheet::TextAt(int row, int col) const
{
    const Cell* cell = CellAt(row, col);
    return cell != nullptr && cell->Kind == TCellKind::Text ? TextOf(*cell).toString() : QString();
}

uint32_t TWorksheet::StyleAt(int row, int col) const
{
    const Cell* cell = CellAt(row, col);
    return cell == nullptr ? 0 : cell->Style;
}

void TWorksheet::NoteColumnChars(int col, int chars)
{
    if (col < 0 || col >= XlsxMaxCols)
        return;
    if (std::size_t(col) >= colChars_.size())
        colChars_.resize(std::size_t(col) + 1, 0);
    colChars_[std::size_t(col)] = std::max(colChars_[std::size_t(col)], chars);
}

std::size_t TWorksheet::MemoryBytes() const
{
    std::size_t bytes = rows_.capacity() * sizeof(rows_[0]) + pool_.capacity() * sizeof(char16_t);
    for (const auto& cells : rows_)
        bytes += cells.capacity() * sizeof(Cell);
    for (const auto& picture : Pictures)
        bytes += std::size_t(picture.Png.size());
    return bytes;
}

TWorkbook::TWorkbook()
{
    styles_.push_back(TCellStyle{});
    InsertSheetAfter(-1);
}

int TWorkbook::InsertSheetAfter(int index)
{
    index = std::clamp(index, -1, SheetCount() - 1);
    const QString name = QStringLiteral("Tabelle%1").arg(nextSheetNumber_++);
    sheets_.insert(sheets_.begin() + (index + 1), std::make_unique<TWorksheet>(name));
    return index + 1;
}

uint32_t TWorkbook::StyleIndex(const TCellStyle& style)
{
    // A report uses a handful of styles: a linear search is the cheapest.
    for (std::size_t i = 0; i < styles_.size(); ++i)
        if (styles_[i] == style)
            return uint32_t(i);
    styles_.push_back(style);
    return uint32_t(styles_.size() - 1);
}

} // namespace reports
