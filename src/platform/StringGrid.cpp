#include "platform/StringGrid.h"

#include <QMetaObject>
#include <algorithm>
#include <string>

namespace platform {

namespace {
const std::vector<QString> EmptyRow;

// Moves element from to position to, shifting those between by one.
template <typename T>
void MoveElement(std::vector<T>& v, int from, int to)
{
    if (from < to)
        std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else if (from > to)
        std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}
} // namespace

TStringGridModel::TStringGridModel(QObject* parent) : QObject(parent) {}

TStringGridModel::~TStringGridModel() = default;

void TStringGridModel::ThrowIndexError(int index, const char* what)
{
    throw EGridIndexError(std::string("grid ") + what + " index out of range: " + std::to_string(index));
}

void TStringGridModel::CheckCount(int count, const char* what)
{
    if (count > MaxGridCount)
        throw EGridIndexError(std::string("grid ") + what + " count too large: " + std::to_string(count));
}

// ---- Notification ------------------------------------------------------------

void TStringGridModel::PostChanged()
{
    posted_ = true;
    QMetaObject::invokeMethod(this, [this] { FlushPosted(); }, Qt::QueuedConnection);
}

void TStringGridModel::FlushPosted()
{
    posted_ = false;
    if (updateLevel_ == 0 && dirty_) {
        dirty_ = false;
        emit Changed();
    }
}

void TStringGridModel::BeginUpdate()
{
    ++updateLevel_;
}

void TStringGridModel::EndUpdate()
{
    if (updateLevel_ == 0)
        return;
    if (--updateLevel_ == 0 && dirty_) {
        dirty_ = false;
        emit Changed();
    }
}

void TStringGridModel::NotifyChanged()
{
    if (updateLevel_ == 0 && dirty_) {
        dirty_ = false;
        emit Changed();
    }
}

// ---- Counts ------------------------------------------------------------------

void TStringGridModel::SetRowCount(int count)
{
    CheckCount(count, "row");
    count = std::max(count, 1);
    if (count == rowCount_)
        return;
    if (!rowHeights_.empty())
        rowHeights_.resize(std::size_t(count), defaultRowHeight_);
    rowCount_ = count;
    if (fixedRows_ >= rowCount_)
        fixedRows_ = rowCount_ - 1;
    ClampState();
    Touch();
}

void TStringGridModel::SetColCount(int count)
{
    CheckCount(count, "column");
    count = std::max(count, 1);
    if (count == colCount_)
        return;
    if (!colWidths_.empty())
        colWidths_.resize(std::size_t(count), defaultColWidth_);
    colCount_ = count;
    if (fixedCols_ >= colCount_)
        fixedCols_ = colCount_ - 1;
    ClampState();
    Touch();
}

void TStringGridModel::SetFixedRows(int count)
{
    count = std::clamp(count, 0, rowCount_ - 1);
    if (count == fixedRows_)
        return;
    fixedRows_ = count;
    ClampState();
    Touch();
}

void TStringGridModel::SetFixedCols(int count)
{
    count = std::clamp(count, 0, colCount_ - 1);
    if (count == fixedCols_)
        return;
    fixedCols_ = count;
    ClampState();
    Touch();
}

// Keeps the current cell, the anchor and the scroll position in the data area.
void TStringGridModel::ClampState()
{
    auto clampCol = [this](int c) { return std::clamp(c, fixedCols_, colCount_ - 1); };
    auto clampRow = [this](int r) { return std::clamp(r, fixedRows_, rowCount_ - 1); };
    curCol_ = clampCol(curCol_);
    anchorCol_ = clampCol(anchorCol_);
    leftCol_ = clampCol(leftCol_);
    curRow_ = clampRow(curRow_);
    anchorRow_ = clampRow(anchorRow_);
    topRow_ = clampRow(topRow_);
}

// ---- Cells -------------------------------------------------------------------

QString TStringGridModel::Cell(int col, int row) const
{
    CheckIndex(col, "column");
    CheckIndex(row, "row");
    if (std::size_t(row) >= rows_.size())
        return QString();
    const auto& cells = rows_[std::size_t(row)].cells;
    return std::size_t(col) < cells.size() ? cells[std::size_t(col)] : QString();
}

void TStringGridModel::SetCell(int col, int row, const QString& text)
{
    SetCell(col, row, QString(text));
}

void TStringGridModel::SetCell(int col, int row, QString&& text)
{
    CheckIndex(col, "column");
    CheckIndex(row, "row");
    if (std::size_t(row) >= rows_.size()) {
        if (text.isEmpty())
            return; // nothing stored there, nothing to change
        if (std::size_t(row) == rows_.size())
            rows_.emplace_back();
        else
            rows_.resize(std::size_t(row) + 1);
    }
    auto& cells = rows_[std::size_t(row)].cells;
    if (std::size_t(col) >= cells.size()) {
        if (text.isEmpty())
            return;
        // Reserve the visible width at once so a row filled column by column
        // does not reallocate for every cell; the new cell goes in at its end.
        cells.reserve(std::max({std::size_t(col) + 1, std::size_t(colCount_), std::size_t(rowCapacityHint_)}));
        cells.resize(std::size_t(col));
        cells.push_back(std::move(text));
    } else {
        cells[std::size_t(col)] = std::move(text);
    }
    Touch();
}

const std::vector<QString>& TStringGridModel::RowCells(int row) const
{
    CheckIndex(row, "row");
    return std::size_t(row) < rows_.size() ? rows_[std::size_t(row)].cells : EmptyRow;
}

void TStringGridModel::Clear()
{
    std::vector<TRow>().swap(rows_);
    Touch();
}

quintptr TStringGridModel::RowObject(int row) const
{
    CheckIndex(row, "row");
    return std::size_t(row) < rows_.size() ? rows_[std::size_t(row)].object : 0;
}

void TStringGridModel::SetRowObject(int row, quintptr object)
{
    CheckIndex(row, "row");
    if (std::size_t(row) >= rows_.size()) {
        if (object == 0)
            return;
        rows_.resize(std::size_t(row) + 1);
    }
    rows_[std::size_t(row)].object = object;
    Touch();
}

// ---- Moving and deleting -----------------------------------------------------

void TStringGridModel::MoveRow(int fromIndex, int toIndex)
{
    CheckIndex(fromIndex, "row");
    CheckIndex(toIndex, "row");
    if (fromIndex >= rowCount_ || toIndex >= rowCount_)
        throw EGridIndexError("grid row move outside the row count");
    if (fromIndex == toIndex)
        return;
    const int needed = std::max(fromIndex, toIndex) + 1;
    if (rows_.size() < std::size_t(needed))
        rows_.resize(std::size_t(needed));
    MoveElement(rows_, fromIndex, toIndex);
    if (!rowHeights_.empty())
        MoveElement(rowHeights_, fromIndex, toIndex);
    Touch();
}

void TStringGridModel::MoveColumn(int fromIndex, int toIndex)
{
    CheckIndex(fromIndex, "column");
    CheckIndex(toIndex, "column");
    if (fromIndex >= colCount_ || toIndex >= colCount_)
        throw EGridIndexError("grid column move outside the column count");
    if (fromIndex == toIndex)
        return;
    const std::size_t needed = std::size_t(std::max(fromIndex, toIndex)) + 1;
    for (auto& row : rows_) {
        if (row.cells.size() <= std::size_t(std::min(fromIndex, toIndex)))
            continue; // nothing stored in the moved range
        if (row.cells.size() < needed)
            row.cells.resize(needed);
        MoveElement(row.cells, fromIndex, toIndex);
    }
    if (!colWidths_.empty())
        MoveElement(colWidths_, fromIndex, toIndex);
    Touch();
}

void TStringGridModel::SwapRows(int a, int b)
{
    CheckIndex(a, "row");
    CheckIndex(b, "row");
    if (a == b)
        return;
    const std::size_t needed = std::size_t(std::max(a, b)) + 1;
    if (rows_.size() < needed)
        rows_.resize(needed);
    std::swap(rows_[std::size_t(a)], rows_[std::size_t(b)]);
    Touch();
}

void TStringGridModel::DeleteColumn(int col)
{
    CheckIndex(col, "column");
    if (col >= colCount_)
        return;
    for (auto& row : rows_) {
        if (std::size_t(col) < row.cells.size())
            row.cells.erase(row.cells.begin() + col);
    }
    if (!colWidths_.empty()) {
        colWidths_.erase(colWidths_.begin() + col);
        colWidths_.push_back(defaultColWidth_);
    }
    if (colCount_ > 1)
        SetColCount(colCount_ - 1);
    ClampState();
    Touch();
}

void TStringGridModel::DeleteRow(int row)
{
    CheckIndex(row, "row");
    if (row >= rowCount_)
        return;
    if (std::size_t(row) < rows_.size())
        rows_.erase(rows_.begin() + row);
    if (!rowHeights_.empty()) {
        rowHeights_.erase(rowHeights_.begin() + row);
        rowHeights_.push_back(defaultRowHeight_);
    }
    if (rowCount_ > 1)
        SetRowCount(rowCount_ - 1);
    ClampState();
    Touch();
}

// ---- Sizes -------------------------------------------------------------------

void TStringGridModel::SetDefaultColWidth(int width)
{
    width = std::max(width, 0);
    defaultColWidth_ = width;
    colWidths_.clear();
    Touch();
}

void TStringGridModel::SetDefaultRowHeight(int height)
{
    height = std::max(height, 0);
    defaultRowHeight_ = height;
    rowHeights_.clear();
    Touch();
}

int TStringGridModel::RowHeight(int row) const
{
    CheckIndex(row, "row");
    if (rowHeights_.empty() || row >= rowCount_)
        return defaultRowHeight_;
    return rowHeights_[std::size_t(row)];
}

void TStringGridModel::SetColWidth(int col, int width)
{
    CheckIndex(col, "column");
    if (col >= colCount_)
        return;
    width = std::max(width, 0);
    if (colWidths_.empty()) {
        if (width == defaultColWidth_)
            return;
        colWidths_.assign(std::size_t(colCount_), defaultColWidth_);
    }
    if (colWidths_[std::size_t(col)] == width)
        return;
    colWidths_[std::size_t(col)] = width;
    Touch();
}

void TStringGridModel::SetRowHeight(int row, int height)
{
    CheckIndex(row, "row");
    if (row >= rowCount_)
        return;
    height = std::max(height, 0);
    if (rowHeights_.empty()) {
        if (height == defaultRowHeight_)
            return;
        rowHeights_.assign(std::size_t(rowCount_), defaultRowHeight_);
    }
    if (rowHeights_[std::size_t(row)] == height)
        return;
    rowHeights_[std::size_t(row)] = height;
    Touch();
}

// ---- Selection, current cell, scrolling --------------------------------------

TGridRect TStringGridModel::Selection() const
{
    return TGridRect{std::min(anchorCol_, curCol_), std::min(anchorRow_, curRow_),
                     std::max(anchorCol_, curCol_), std::max(anchorRow_, curRow_)};
}

void TStringGridModel::SetSelection(const TGridRect& rect)
{
    const int oldCol = curCol_, oldRow = curRow_, oldACol = anchorCol_, oldARow = anchorRow_;
    anchorCol_ = rect.Left;
    anchorRow_ = rect.Top;
    curCol_ = rect.Right;
    curRow_ = rect.Bottom;
    ClampState();
    if (oldCol != curCol_ || oldRow != curRow_ || oldACol != anchorCol_ || oldARow != anchorRow_)
        Touch();
}

void TStringGridModel::MoveCurrent(int col, int row, bool extend)
{
    const int oldCol = curCol_, oldRow = curRow_, oldACol = anchorCol_, oldARow = anchorRow_;
    curCol_ = col;
    curRow_ = row;
    ClampState();
    if (!extend) {
        anchorCol_ = curCol_;
        anchorRow_ = curRow_;
    }
    if (oldCol != curCol_ || oldRow != curRow_ || oldACol != anchorCol_ || oldARow != anchorRow_)
        Touch();
}

void TStringGridModel::SetTopRow(int row)
{
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (row == topRow_)
        return;
    topRow_ = row;
    Touch();
}

void TStringGridModel::SetLeftCol(int col)
{
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    if (col == leftCol_)
        return;
    leftCol_ = col;
    Touch();
}

void TStringGridModel::SetOptions(TGridOptions options)
{
    if (options == options_)
        return;
    options_ = options;
    Touch();
}

std::size_t TStringGridModel::MemoryBytes() const
{
    std::size_t bytes = sizeof(*this);
    bytes += rows_.capacity() * sizeof(TRow);
    for (const auto& row : rows_) {
        bytes += row.cells.capacity() * sizeof(QString);
        for (const auto& text : row.cells) {
            // A shared text buffer: its header plus the characters and the
            // terminating zero. Texts shared between cells are counted per cell.
            if (!text.isNull() && text.capacity() > 0)
                bytes += 16 + (std::size_t(text.capacity()) + 1) * sizeof(char16_t);
        }
    }
    bytes += colWidths_.capacity() * sizeof(int) + rowHeights_.capacity() * sizeof(int);
    return bytes;
}

} // namespace platform
