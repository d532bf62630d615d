#include "platform/StringGrid.h"

#include "platform/CharCopy.h"

#include <QMetaObject>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <functional>
#include <string>

namespace platform {

namespace {

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
    Edited();
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
    Edited();
}

void TStringGridModel::SetFixedRows(int count)
{
    count = std::clamp(count, 0, rowCount_ - 1);
    if (count == fixedRows_)
        return;
    fixedRows_ = count;
    ClampState();
    Edited();
}

void TStringGridModel::SetFixedCols(int count)
{
    count = std::clamp(count, 0, colCount_ - 1);
    if (count == fixedCols_)
        return;
    fixedCols_ = count;
    ClampState();
    Edited();
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
    const QStringView text = CellView(col, row);
    return text.isEmpty() ? QString() : text.toString();
}

void TStringGridModel::SetCellInGeneral(std::size_t col, std::size_t row, QStringView text)
{
    if (row >= rows_.size()) {
        if (text.isEmpty())
            return; // nothing stored there, nothing to change
        if (row == rows_.size())
            rows_.emplace_back();
        else
            rows_.resize(row + 1);
    }
    TRow& r = rows_[row];
    const auto c = col;
    const auto size = std::size_t(text.size());
    if (c >= r.CellCount() && size == 0)
        return;
    std::size_t cells = 0, chars = 0;
    if (!r.Allocated())
        NewRowRoom(c, cells, chars);
    if (!r.Allocated() && size > 0 && size <= TRow::MaxChars())
        r.Start(arena_, c, reinterpret_cast<const char16_t*>(text.utf16()), size, cells, std::max(chars, size));
    else
        r.Set(arena_, c, reinterpret_cast<const char16_t*>(text.utf16()), size, cells, std::max(chars, size));
    if (c + 1 >= r.CellCount()) {
        rowCharsHint_ = r.CharCount();
        rowCellsHint_ = r.CellCount();
    }
    Edited();
}

void TStringGridModel::NewRowRoom(std::size_t col, std::size_t& cells, std::size_t& chars) const
{
    // Room for the visible width (or the width the fill announced) at once,
    // and for the characters of the row grown last, so a row filled column
    // by column does not reallocate for every cell; cells beyond that row's
    // get room for a number with its blanks or for that row's average text,
    // whichever is longer.
    cells = std::max({col + 1, std::size_t(colCount_), std::size_t(rowCapacityHint_)});
    chars = rowCharsHint_;
    if (rowCellsHint_ > 0 && cells > rowCellsHint_)
        chars += (cells - rowCellsHint_) * std::max<std::size_t>(rowCharsHint_ / rowCellsHint_ + 1, 12);
}

void TStringGridModel::StartRow(std::size_t col, QStringView text)
{
    // As SetCellInGeneral would write it, without its cases for rows that
    // exist.
    const auto size = std::size_t(text.size());
    if (size > TRow::MaxChars()) {
        SetCellInGeneral(col, rows_.size(), text);
        return;
    }
    TRow& r = rows_.emplace_back();
    std::size_t cells = 0, chars = 0;
    NewRowRoom(col, cells, chars);
    r.Start(arena_, col, reinterpret_cast<const char16_t*>(text.utf16()), size, cells, std::max(chars, size));
    rowCharsHint_ = r.CharCount();
    rowCellsHint_ = r.CellCount();
    Edited();
}

void* TStringGridModel::TRowArena::Allocate(std::size_t bytes)
{
    bytes = (bytes + 15) & ~std::size_t(15);
    if (bytes > FirstChunkBytes / 4) {
        large_.push_back(std::make_unique<char[]>(bytes));
        largeBytes_ += bytes;
        return large_.back().get();
    }
    if (chunks_.empty() || offset_ + bytes > ChunkSize(current_)) {
        if (!chunks_.empty())
            ++current_;
        offset_ = 0;
        if (current_ >= chunks_.size()) {
            chunks_.push_back(std::unique_ptr<char[]>(new char[ChunkSize(chunks_.size())]));
            current_ = chunks_.size() - 1;
        }
    }
    void* p = chunks_[current_].get() + offset_;
    offset_ += bytes;
    return p;
}

bool TStringGridModel::TRowArena::TryGrow(void* block, std::size_t oldBytes, std::size_t newBytes)
{
    oldBytes = (oldBytes + 15) & ~std::size_t(15);
    newBytes = (newBytes + 15) & ~std::size_t(15);
    if (chunks_.empty() || newBytes < oldBytes || newBytes > FirstChunkBytes / 4 || offset_ < oldBytes)
        return false;
    char* top = chunks_[current_].get() + offset_;
    if (static_cast<char*>(block) + oldBytes != top || offset_ - oldBytes + newBytes > ChunkSize(current_))
        return false;
    offset_ += newBytes - oldBytes;
    return true;
}

void TStringGridModel::TRowArena::Reset()
{
    // The chunks the last fill used stay for the next; more are given back.
    if (!chunks_.empty())
        chunks_.resize(current_ + 1);
    current_ = 0;
    offset_ = 0;
    large_.clear();
    largeBytes_ = 0;
}

std::size_t TStringGridModel::TRowArena::Bytes() const
{
    std::size_t bytes = largeBytes_;
    for (std::size_t i = 0; i < chunks_.size(); ++i)
        bytes += ChunkSize(i);
    return bytes;
}

void TStringGridModel::TRow::Release()
{
    // The block belongs to the grid's arena.
    block_ = nullptr;
}

bool TStringGridModel::TRow::Holds(const char16_t* text) const
{
    if (block_ == nullptr)
        return false;
    const char16_t* chars = Chars();
    return std::less_equal<const char16_t*>()(chars, text)
        && std::less<const char16_t*>()(text, chars + block_->charCapacity);
}

std::size_t TStringGridModel::TRow::BlockBytes() const
{
    if (block_ == nullptr)
        return 0;
    return sizeof(THead) + std::size_t(block_->cellCapacity) * sizeof(uint32_t)
        + std::size_t(block_->charCapacity) * sizeof(char16_t);
}

void TStringGridModel::TRow::Regrow(TRowArena& arena, std::size_t cells, std::size_t chars)
{
    cells = std::max(std::min(cells, std::size_t(MaxGridCount)), CellCount());
    chars = std::max(std::min(chars, std::size_t(MaxRowChars)), CharCount());
    const std::size_t bytes = sizeof(THead) + cells * sizeof(uint32_t) + chars * sizeof(char16_t);
    // The row filled last grows where it is: no copy, and no block left
    // behind in the arena.
    if (block_ != nullptr && cells >= block_->cellCapacity && chars >= block_->charCapacity
        && arena.TryGrow(block_, BlockBytes(), bytes)) {
        if (cells != block_->cellCapacity) {
            const char16_t* oldChars = Chars();
            auto* newChars = reinterpret_cast<char16_t*>(Ends() + cells);
            std::memmove(newChars, oldChars, std::size_t(block_->chars) * sizeof(char16_t));
        }
        block_->cellCapacity = uint32_t(cells);
        block_->charCapacity = uint32_t(chars);
        return;
    }
    auto* block = static_cast<THead*>(arena.Allocate(bytes));
    block->cells = uint32_t(CellCount());
    block->cellCapacity = uint32_t(cells);
    block->chars = uint32_t(CharCount());
    block->charCapacity = uint32_t(chars);
    if (block_ != nullptr) {
        THead* old = block_;
        block_ = block;
        auto* oldEnds = reinterpret_cast<const uint32_t*>(old + 1);
        auto* oldChars = reinterpret_cast<const char16_t*>(oldEnds + old->cellCapacity);
        std::copy(oldEnds, oldEnds + old->cells, Ends());
        std::copy(oldChars, oldChars + old->chars, Chars());
    } else {
        block_ = block;
    }
}

void TStringGridModel::TRow::Start(TRowArena& arena, std::size_t col, const char16_t* text, std::size_t size,
                                   std::size_t cells, std::size_t chars)
{
    // The capacities Set gives a new block (through Regrow), without its
    // steps for a block that exists: the first cell of each row of a fill.
    cells = std::min(std::max(cells, col + 1), std::size_t(MaxGridCount));
    chars = std::min(std::max(chars, size), std::size_t(MaxRowChars));
    const std::size_t bytes = sizeof(THead) + cells * sizeof(uint32_t) + chars * sizeof(char16_t);
    auto* block = static_cast<THead*>(arena.Allocate(bytes));
    block->cells = uint32_t(col + 1);
    block->cellCapacity = uint32_t(cells);
    block->chars = uint32_t(size);
    block->charCapacity = uint32_t(chars);
    block_ = block;
    uint32_t* ends = Ends();
    for (std::size_t k = 0; k < col; ++k)
        ends[k] = 0;
    ends[col] = uint32_t(size);
    platform::MoveChars(Chars(), text, size);
}

void TStringGridModel::TRow::Set(TRowArena& arena, std::size_t col, const char16_t* text, std::size_t size,
                                 std::size_t cells, std::size_t chars)
{
    if (block_ != nullptr && Holds(text)) {
        // A text of this row, which may move: set from a copy.
        const std::u16string copy(text, size);
        Set(arena, col, copy.data(), size, cells, chars);
        return;
    }
    if (block_ == nullptr) {
        if (size > MaxRowChars)
            throw std::length_error("grid row too long");
        Regrow(arena, std::max(cells, col + 1), std::max(chars, size));
    }
    const std::size_t count = block_->cells;
    if (col >= count) {
        const std::size_t needChars = std::size_t(block_->chars) + size;
        if (needChars > MaxRowChars)
            throw std::length_error("grid row too long");
        if (col + 1 > block_->cellCapacity || needChars > block_->charCapacity)
            Regrow(arena, col + 1 > block_->cellCapacity ? std::max(col + 1, 2 * std::size_t(block_->cellCapacity))
                                                  : block_->cellCapacity,
                   needChars > block_->charCapacity ? std::max(needChars, 2 * std::size_t(block_->charCapacity))
                                                    : block_->charCapacity);
        uint32_t* ends = Ends();
        const uint32_t end = block_->chars;
        std::fill(ends + count, ends + col, end);
        platform::MoveChars(Chars() + end, text, size);
        ends[col] = end + uint32_t(size);
        block_->cells = uint32_t(col + 1);
        block_->chars = ends[col];
        return;
    }
    const uint32_t* ends = Ends();
    const std::size_t begin = col == 0 ? 0 : ends[col - 1];
    const std::size_t oldSize = ends[col] - begin;
    const std::size_t total = std::size_t(block_->chars) - oldSize + size;
    if (total > MaxRowChars)
        throw std::length_error("grid row too long");
    if (total > block_->charCapacity)
        Regrow(arena, block_->cellCapacity, std::max(total, 2 * std::size_t(block_->charCapacity)));
    char16_t* p = Chars();
    if (size != oldSize)
        platform::MoveChars(p + begin + size, p + begin + oldSize, block_->chars - begin - oldSize);
    platform::MoveChars(p + begin, text, size);
    if (size != oldSize) {
        uint32_t* e = Ends();
        const auto delta = uint32_t(size - oldSize); // wraps for a shorter text
        for (std::size_t k = col; k < block_->cells; ++k)
            e[k] += delta;
        block_->chars = uint32_t(total);
    }
}

void TStringGridModel::TRow::PadCells(TRowArena& arena, std::size_t count)
{
    if (count <= CellCount())
        return;
    if (block_ == nullptr || count > block_->cellCapacity)
        Regrow(arena, count, CharCount());
    uint32_t* ends = Ends();
    std::fill(ends + block_->cells, ends + count, block_->chars);
    block_->cells = uint32_t(count);
}

void TStringGridModel::TRow::Erase(std::size_t col)
{
    if (col >= CellCount())
        return;
    uint32_t* ends = Ends();
    char16_t* chars = Chars();
    const uint32_t begin = col == 0 ? 0 : ends[col - 1];
    const uint32_t size = ends[col] - begin;
    if (size != 0) {
        platform::MoveChars(chars + begin, chars + begin + size, block_->chars - begin - size);
        for (std::size_t k = col + 1; k < block_->cells; ++k)
            ends[k - 1] = ends[k] - size;
    } else {
        // An empty cell: the ends behind it only move down by one, a few
        // words at once.
        static_assert(sizeof(uint32_t) == 2 * sizeof(char16_t));
        platform::MoveChars(reinterpret_cast<char16_t*>(ends + col), reinterpret_cast<const char16_t*>(ends + col + 1),
                            2 * (block_->cells - col - 1));
    }
    --block_->cells;
    block_->chars -= size;
}

void TStringGridModel::TRow::Reorder(const std::vector<std::size_t>& order)
{
    // In place: the same texts in another order need the same room, and a
    // column moved to and fro must not take new memory each time.
    if (block_ == nullptr)
        return;
    const std::u16string chars(Chars(), block_->chars);
    const std::vector<uint32_t> ends(Ends(), Ends() + block_->cells);
    uint32_t end = 0;
    std::size_t cell = 0;
    for (const std::size_t k : order) {
        if (k >= ends.size())
            continue;
        const uint32_t begin = k == 0 ? 0 : ends[k - 1];
        const uint32_t size = ends[k] - begin;
        platform::MoveChars(Chars() + end, chars.data() + begin, size);
        end += size;
        Ends()[cell++] = end;
    }
    block_->cells = uint32_t(cell);
    block_->chars = end;
}

void TStringGridModel::Clear()
{
    // The rows go, their memory stays for the next fill.
    rows_.clear();
    ++rowOrderChanges_;
    ++columnOrderChanges_;
    arena_.Reset();
    Edited();
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
    ++rowOrderChanges_;
    if (!rowHeights_.empty())
        MoveElement(rowHeights_, fromIndex, toIndex);
    Edited();
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
    std::vector<std::size_t> order;
    for (auto& row : rows_) {
        if (row.CellCount() <= std::size_t(std::min(fromIndex, toIndex)))
            continue; // nothing stored in the moved range
        row.PadCells(arena_, needed);
        order.resize(row.CellCount());
        for (std::size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        MoveElement(order, fromIndex, toIndex);
        row.Reorder(order);
    }
    ++columnOrderChanges_;
    if (!colWidths_.empty())
        MoveElement(colWidths_, fromIndex, toIndex);
    Edited();
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
    ++rowOrderChanges_;
    Edited();
}

void TStringGridModel::DeleteColumn(int col)
{
    CheckIndex(col, "column");
    if (col >= colCount_)
        return;
    for (auto& row : rows_) {
        row.Erase(std::size_t(col));
    }
    ++columnOrderChanges_;
    if (!colWidths_.empty()) {
        colWidths_.erase(colWidths_.begin() + col);
        colWidths_.push_back(defaultColWidth_);
    }
    if (colCount_ > 1)
        SetColCount(colCount_ - 1);
    ClampState();
    Edited();
}

void TStringGridModel::DeleteRow(int row)
{
    CheckIndex(row, "row");
    if (row >= rowCount_)
        return;
    if (std::size_t(row) < rows_.size())
        rows_.erase(rows_.begin() + row);
    ++rowOrderChanges_;
    if (!rowHeights_.empty()) {
        rowHeights_.erase(rowHeights_.begin() + row);
        rowHeights_.push_back(defaultRowHeight_);
    }
    if (rowCount_ > 1)
        SetRowCount(rowCount_ - 1);
    ClampState();
    Edited();
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
    // The rows' blocks live in the arena's chunks.
    bytes += arena_.Bytes();
    bytes += colWidths_.capacity() * sizeof(int) + rowHeights_.capacity() * sizeof(int);
    return bytes;
}

} // namespace platform
