#pragma once
// The non-visual string grid: the table model behind every grid of the program.
//
// It keeps the rules of the window system's string grid that the rest of the
// program relies on:
//  - every cell is a text; row and column indices run from 0 to 65,535;
//  - RowCount and ColCount are at least 1 and at most 65,536;
//  - the fixed rows and columns stay below the counts: lowering a count to or
//    below its fixed count lowers the fixed count to count - 1;
//  - cells written beyond the row or column count are kept and show again when
//    the count grows, until Clear() discards every stored cell;
//  - column widths and row heights start at the defaults; setting a default
//    resets every width (or height) to it; a width of 0 hides a column;
//  - the current cell and the selection always lie in the data area
//    (FixedCols..ColCount-1, FixedRows..RowCount-1).
//
// Storage is a vector of rows; each row keeps the texts of its cells one after
// another in one heap block, with the end of every cell in front of them, so
// writing a cell allocates no text of its own, reading one is a view into the
// block, and moving a row is a handle swap: a 65,535 x 20 table fills and
// sorts quickly.
//
// Change notification: every mutation marks the model dirty. Inside
// BeginUpdate/EndUpdate nothing is emitted until the outermost EndUpdate, which
// emits Changed() once. Outside a batch the first mutation posts one queued
// notification, so a loop of SetCell calls still yields one Changed() when the
// event loop runs; NotifyChanged() emits a pending notification at once.
#include "platform/CharCopy.h"

#include <QObject>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <memory>
#include <vector>

class QPainter;
class QRect;

namespace platform {

// Raised for a row or column index outside 0..65,535 or a count above 65,536.
class EGridIndexError : public std::out_of_range {
public:
    explicit EGridIndexError(const std::string& what) : std::out_of_range(what) {}
};

// Option bits of the grid; the values match the window system's option set, so
// a stored set such as 917 means the same here.
enum TGridOption : uint32_t {
    goFixedVertLine = 1,
    goFixedHorzLine = 2,
    goVertLine = 4,
    goHorzLine = 8,
    goRangeSelect = 16,
    goDrawFocusSelected = 32,
    goRowSizing = 64,
    goColSizing = 128,
    goRowMoving = 256,
    goColMoving = 512,
    goEditing = 1024,
    goTabs = 2048,
    goAlwaysShowEditor = 4096,
    goThumbTracking = 8192,
};
using TGridOptions = uint32_t;

// The window system's default set: all four kinds of lines and range selection.
constexpr TGridOptions DefaultGridOptions =
    goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

// A cell rectangle of the grid; inclusive bounds, columns Left..Right, rows
// Top..Bottom.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

// How a cell is drawn: in a fixed row or column, inside the selection, the
// current cell of a focused grid.
struct TGridDrawState {
    bool Selected = false;
    bool Focused = false;
    bool Fixed = false;
    friend bool operator==(const TGridDrawState&, const TGridDrawState&) = default;
};

// Replaceable cell painter of the grid view (QPainter, column, row, cell
// rectangle in viewport pixels, draw state).
using TDrawCellFunc = std::function<void(QPainter&, int, int, const QRect&, TGridDrawState)>;

constexpr int MaxGridCount = 65536;         // highest row or column count
constexpr int DefaultGridColWidth = 64;
constexpr int DefaultGridRowHeight = 24;

class TStringGridModel : public QObject {
    Q_OBJECT
public:
    explicit TStringGridModel(QObject* parent = nullptr);
    ~TStringGridModel() override;

    // ---- Counts ------------------------------------------------------------
    int RowCount() const { return rowCount_; }
    int ColCount() const { return colCount_; }
    void SetRowCount(int count);            // < 1 becomes 1; > 65,536 throws
    void SetColCount(int count);
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }
    void SetFixedRows(int count);           // clamped to 0..RowCount-1
    void SetFixedCols(int count);           // clamped to 0..ColCount-1

    // ---- Cells -------------------------------------------------------------
    // Any index 0..65,535 is valid, also beyond the counts (such cells are
    // kept for when the counts grow); others throw EGridIndexError.
    // Cell makes a text of its own; CellView reads the stored characters in
    // place (valid until the row is next written, moved or cleared). A cell
    // never written reads as empty.
    QString Cell(int col, int row) const;
    QStringView CellView(int col, int row) const
    {
        CheckIndex(col, "column");
        CheckIndex(row, "row");
        if (std::size_t(row) >= rows_.size())
            return {};
        return rows_[std::size_t(row)].View(std::size_t(col));
    }
    // The texts of cells 0 .. count-1 of row as the row stores them, one
    // after another from chars, cell k ending at ends[k]; answers how many of
    // those cells are stored (the rest are empty; 0 for a row never written,
    // and then chars and ends are null). Valid as CellView's texts are. A
    // copy of many rows takes each one in a single move this way.
    int RowTexts(int row, int count, const char16_t*& chars, const uint32_t*& ends) const
    {
        CheckIndex(row, "row");
        chars = nullptr;
        ends = nullptr;
        if (std::size_t(row) >= rows_.size() || count <= 0)
            return 0;
        return rows_[std::size_t(row)].Texts(std::size_t(count), chars, ends);
    }
    // Cells stored in a row: those up to the last one written with a text
    // (may be fewer or more than ColCount); 0 for a row never written.
    int RowCellCount(int row) const
    {
        CheckIndex(row, "row");
        return std::size_t(row) < rows_.size() ? int(rows_[std::size_t(row)].CellCount()) : 0;
    }
    void SetCell(int col, int row, QStringView text)
    {
        CheckIndex(col, "column");
        CheckIndex(row, "row");
        // A fill writes most cells as the next one of a row that has room
        // for them: that append is done here, without the general path.
        if (std::size_t(row) < rows_.size()
            && rows_[std::size_t(row)].TryAppend(std::size_t(col), reinterpret_cast<const char16_t*>(text.utf16()),
                                                 std::size_t(text.size()))) {
            const TRow& r = rows_[std::size_t(row)];
            rowCharsHint_ = r.CharCount();
            rowCellsHint_ = r.CellCount();
            Edited();
            return;
        }
        if (std::size_t(row) == rows_.size() && !text.isEmpty())
            StartRow(std::size_t(col), text);
        else
            SetCellInGeneral(std::size_t(col), std::size_t(row), text);
    }
    void SetCell(int col, int row, const QString& text) { SetCell(col, row, QStringView(text)); }
    // A text made straight into the grid: when row holds a block with room
    // for the next cell col (col at or beyond its stored cells) and maxSize
    // characters, write(out) puts the text at out and answers its length (1
    // .. maxSize), and that text becomes the cell, as SetCell would write
    // it. False, with no cell changed, when there is no such room or write
    // answers 0 (it may have written into the room meanwhile).
    template <class Write>
    bool AppendCellInPlace(int col, int row, std::size_t maxSize, Write&& write)
    {
        CheckIndex(col, "column");
        CheckIndex(row, "row");
        if (std::size_t(row) >= rows_.size())
            return false;
        TRow& r = rows_[std::size_t(row)];
        char16_t* const out = r.AppendRoom(std::size_t(col), maxSize);
        if (out == nullptr)
            return false;
        const std::size_t size = write(out);
        if (size == 0)
            return false;
        r.CommitAppend(std::size_t(col), size);
        rowCharsHint_ = r.CharCount();
        rowCellsHint_ = r.CellCount();
        Edited();
        return true;
    }
    // Cells firstCol .. firstCol + count - 1 of row in one step: cell
    // firstCol + k gets sizes[k] characters of chars, following those of the
    // cells before it. The same as SetCell of each in turn, when row holds a
    // block with room for all of them after its stored cells (firstCol at or
    // beyond those); false, with no cell changed, otherwise.
    bool TryAppendCells(int row, int firstCol, const char16_t* chars, const uint32_t* sizes, std::size_t count)
    {
        CheckIndex(row, "row");
        CheckIndex(firstCol, "column");
        if (count == 0)
            return true;
        CheckIndex(firstCol + int(std::min<std::size_t>(count, std::size_t(MaxGridCount))) - 1, "column");
        if (std::size_t(row) >= rows_.size())
            return false;
        TRow& r = rows_[std::size_t(row)];
        if (!r.TryAppendCells(std::size_t(firstCol), chars, sizes, count))
            return false;
        rowCharsHint_ = r.CharCount();
        rowCellsHint_ = r.CellCount();
        Edited();
        return true;
    }
    // Cells a row makes room for when its first cell is written, at least
    // the column count (a fill that will add columns says so; 0 = none).
    void SetRowCapacityHint(int cells) { rowCapacityHint_ = std::clamp(cells, 0, MaxGridCount); }
    // Discards every stored cell and row object, also those beyond the counts.
    // Counts, sizes, options and selection stay.
    void Clear();

    // Pointer-sized tag per row, kept with the row when it moves.
    quintptr RowObject(int row) const
    {
        CheckIndex(row, "row");
        return std::size_t(row) < rows_.size() ? rows_[std::size_t(row)].object : 0;
    }
    void SetRowObject(int row, quintptr object)
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
    // Count the changes of which stored row (column) stands where: moves,
    // exchanges, deletions and Clear. Numbers kept beside the cells stay
    // valid while these stand still.
    uint64_t RowOrderChanges() const { return rowOrderChanges_; }
    uint64_t ColumnOrderChanges() const { return columnOrderChanges_; }
    // Counts every change of a stored text, of the row count or of which row
    // (column) stands where: a copy of the cells taken while messages go
    // through is whole when this stood still meanwhile.
    uint64_t ContentChanges() const { return contentChanges_; }

    // ---- Moving and deleting -----------------------------------------------
    // The row (column) at fromIndex goes to toIndex, those between shift by
    // one; heights (widths) move with them. Indices must be below the count.
    void MoveRow(int fromIndex, int toIndex);
    void MoveColumn(int fromIndex, int toIndex);
    // Exchanges two rows' cells and row objects (heights stay); a handle swap.
    void SwapRows(int a, int b);
    // Removes the column with its cells and width; the columns right of it
    // move one place left and ColCount drops by one (never below 1: deleting
    // the only column empties it).
    void DeleteColumn(int col);
    void DeleteRow(int row);

    // ---- Sizes -------------------------------------------------------------
    int DefaultColWidth() const { return defaultColWidth_; }
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultColWidth(int width);     // resets every column width
    void SetDefaultRowHeight(int height);   // resets every row height
    int ColWidth(int col) const             // default beyond ColCount
    {
        CheckIndex(col, "column");
        if (colWidths_.empty() || col >= colCount_)
            return defaultColWidth_;
        return colWidths_[std::size_t(col)];
    }
    int RowHeight(int row) const;           // default beyond RowCount
    void SetColWidth(int col, int width);   // ignored beyond ColCount; < 0 becomes 0
    void SetRowHeight(int row, int height); // ignored beyond RowCount; < 0 becomes 0

    // ---- Selection, current cell, scrolling --------------------------------
    // Normalised selection rectangle (Left <= Right, Top <= Bottom).
    TGridRect Selection() const;
    // Anchor := (Left, Top), current cell := (Right, Bottom), both clamped into
    // the data area.
    void SetSelection(const TGridRect& rect);
    int Col() const { return curCol_; }     // current cell
    int Row() const { return curRow_; }
    int AnchorCol() const { return anchorCol_; }
    int AnchorRow() const { return anchorRow_; }
    // Moves the current cell (clamped into the data area); with extend the
    // anchor stays (range selection), else the anchor follows.
    void MoveCurrent(int col, int row, bool extend);
    int TopRow() const { return topRow_; }  // first scrolled row shown
    int LeftCol() const { return leftCol_; }
    void SetTopRow(int row);                // clamped to FixedRows..RowCount-1
    void SetLeftCol(int col);               // clamped to FixedCols..ColCount-1

    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    bool HasOption(TGridOption option) const { return (options_ & option) != 0; }

    // ---- Notification ------------------------------------------------------
    void BeginUpdate();
    void EndUpdate();                       // the outermost emits Changed() when dirty
    bool Updating() const { return updateLevel_ > 0; }
    void NotifyChanged();                   // emits a pending Changed() now

    // Bytes the model holds (structures and text buffers), for measurements.
    std::size_t MemoryBytes() const;

signals:
    void Changed();

private:
    // A row: one heap block holding a small head, the end of every stored
    // cell's text and the texts one after another. Moving a row moves the
    // pointer only.
    // The rows' blocks come from large chunks that the grid keeps: a table
    // filled anew reuses the memory of the last fill instead of taking each
    // row from the allocator and faulting the pages in again. Blocks are not
    // given back one by one; Clear() rewinds, keeping as many chunks as the
    // last fill used.
    class TRowArena {
    public:
        TRowArena() = default;
        TRowArena(TRowArena&&) noexcept = default;
        TRowArena& operator=(TRowArena&&) noexcept = default;
        TRowArena(const TRowArena&) = delete;
        TRowArena& operator=(const TRowArena&) = delete;
        void* Allocate(std::size_t bytes);
        // Grows the block allocated last in place (a row being filled);
        // false when it is not the last one or the chunk has no room.
        bool TryGrow(void* block, std::size_t oldBytes, std::size_t newBytes);
        void Reset();
        std::size_t Bytes() const;

    private:
        // Chunks grow from 16 KB to 1 MB, so a small grid stays small.
        static constexpr std::size_t FirstChunkBytes = std::size_t(1) << 14;
        static constexpr std::size_t ChunkBytes = std::size_t(1) << 20;
        static std::size_t ChunkSize(std::size_t index)
        {
            return index >= 6 ? ChunkBytes : FirstChunkBytes << index;
        }
        std::vector<std::unique_ptr<char[]>> chunks_;   // ChunkSize(index) each
        std::vector<std::unique_ptr<char[]>> large_;    // blocks larger than a chunk
        std::size_t largeBytes_ = 0;
        std::size_t current_ = 0;                       // chunk being filled
        std::size_t offset_ = 0;                        // used bytes of it
    };

    class TRow {
    public:
        TRow() = default;
        TRow(TRow&& other) noexcept : object(other.object), block_(other.block_) { other.block_ = nullptr; }
        TRow& operator=(TRow&& other) noexcept
        {
            if (this != &other) {
                Release();
                block_ = other.block_;
                other.block_ = nullptr;
                object = other.object;
            }
            return *this;
        }
        TRow(const TRow&) = delete;
        TRow& operator=(const TRow&) = delete;
        ~TRow() { Release(); }

        bool Allocated() const { return block_ != nullptr; }
        std::size_t CellCount() const { return block_ == nullptr ? 0 : block_->cells; }
        QStringView View(std::size_t col) const
        {
            if (col >= CellCount())
                return {};
            const uint32_t* ends = Ends();
            const uint32_t begin = col == 0 ? 0 : ends[col - 1];
            return QStringView(Chars() + begin, qsizetype(ends[col] - begin));
        }
        int Texts(std::size_t count, const char16_t*& chars, const uint32_t*& ends) const
        {
            if (block_ == nullptr)
                return 0;
            chars = Chars();
            ends = Ends();
            return int(std::min<std::size_t>(count, block_->cells));
        }
        // Writes cell col (beyond the stored cells only when text is not
        // empty); cells and chars are the room a new block makes.
        void Set(TRowArena& arena, std::size_t col, const char16_t* text, std::size_t size, std::size_t cells,
                 std::size_t chars);
        // Writes a non-empty text as cell col when col lies at or beyond the
        // stored cells (those between become empty) and the block has room
        // for it (nothing moves, so the text may lie in this row); false,
        // with nothing changed, otherwise.
        bool TryAppend(std::size_t col, const char16_t* text, std::size_t size)
        {
            if (size == 0)
                return false;
            char16_t* out = AppendRoom(col, size);
            if (out == nullptr)
                return false;
            platform::MoveChars(out, text, size);
            CommitAppend(col, size);
            return true;
        }
        // Where cell col is appended when col lies at or beyond the stored
        // cells and the block has room for size more characters; nullptr
        // otherwise. Writing there changes no cell until CommitAppend.
        char16_t* AppendRoom(std::size_t col, std::size_t size) const
        {
            if (block_ == nullptr || col < block_->cells || col >= block_->cellCapacity)
                return nullptr;
            const std::size_t needChars = block_->chars + size;
            if (needChars > block_->charCapacity || needChars > MaxRowChars)
                return nullptr;
            return Chars() + block_->chars;
        }
        // Cells firstCol .. firstCol + count - 1 at once, as TryAppend of
        // each in turn would write them (an empty text beyond the last one
        // written stores nothing); false, with nothing changed, when the
        // block has no room for all of them after its stored cells.
        bool TryAppendCells(std::size_t firstCol, const char16_t* chars, const uint32_t* sizes, std::size_t count)
        {
            if (block_ == nullptr || firstCol < block_->cells)
                return false;
            while (count > 0 && sizes[count - 1] == 0)
                --count;
            if (count == 0)
                return true;
            if (firstCol + count > block_->cellCapacity)
                return false;
            std::size_t total = 0;
            for (std::size_t k = 0; k < count; ++k)
                total += sizes[k];
            const std::size_t end = block_->chars;
            if (end + total > block_->charCapacity || end + total > MaxRowChars)
                return false;
            platform::MoveChars(Chars() + end, chars, total);
            uint32_t* ends = Ends();
            for (std::size_t k = block_->cells; k < firstCol; ++k)
                ends[k] = uint32_t(end);
            uint32_t at = uint32_t(end);
            for (std::size_t k = 0; k < count; ++k) {
                at += sizes[k];
                ends[firstCol + k] = at;
            }
            block_->cells = uint32_t(firstCol + count);
            block_->chars = at;
            return true;
        }
        // The size (1 .. the room AppendRoom found) characters written at
        // AppendRoom(col, ...) become cell col; the cells between are empty.
        void CommitAppend(std::size_t col, std::size_t size)
        {
            const std::size_t end = block_->chars;
            const std::size_t needChars = end + size;
            uint32_t* ends = Ends();
            for (std::size_t k = block_->cells; k < col; ++k)
                ends[k] = uint32_t(end);
            ends[col] = uint32_t(needChars);
            block_->cells = uint32_t(col + 1);
            block_->chars = uint32_t(needChars);
        }
        // The first text of a row without a block (size 1 .. MaxRowChars):
        // a block with room for cells and chars (at least col + 1 and size),
        // as Set would make it, holding text as cell col.
        void Start(TRowArena& arena, std::size_t col, const char16_t* text, std::size_t size, std::size_t cells,
                   std::size_t chars);
        static constexpr std::size_t MaxChars() { return MaxRowChars; }
        // Stored cells grow to count (empty texts); fewer stay.
        void PadCells(TRowArena& arena, std::size_t count);
        void Erase(std::size_t col);
        // Stored cells in the new order: cell k of the result is cell
        // order[k] of the row.
        void Reorder(const std::vector<std::size_t>& order);
        std::size_t BlockBytes() const;
        std::size_t CharCount() const { return block_ == nullptr ? 0 : block_->chars; }

        quintptr object = 0;

    private:
        static constexpr std::size_t MaxRowChars = UINT32_MAX / 4;
        struct THead {
            uint32_t cells;         // stored cells
            uint32_t cellCapacity;
            uint32_t chars;         // characters of all texts
            uint32_t charCapacity;
        };
        uint32_t* Ends() const { return reinterpret_cast<uint32_t*>(block_ + 1); }
        char16_t* Chars() const { return reinterpret_cast<char16_t*>(Ends() + block_->cellCapacity); }
        bool Holds(const char16_t* text) const;
        // A block with room for at least cells and chars, the row's content
        // copied into it.
        void Regrow(TRowArena& arena, std::size_t cells, std::size_t chars);
        void Release();

        THead* block_ = nullptr;
    };

    // Both are on the path of every cell written: the checks are inline,
    // the rare work is not.
    void SetCellInGeneral(std::size_t col, std::size_t row, QStringView text);
    // The first text of the row after the last one stored (a fill's new row).
    void StartRow(std::size_t col, QStringView text);
    // Room a row's first block makes for cells and characters when its
    // first text is cell col.
    void NewRowRoom(std::size_t col, std::size_t& cells, std::size_t& chars) const;
    static void CheckIndex(int index, const char* what)
    {
        if (index < 0 || index >= MaxGridCount)
            ThrowIndexError(index, what);
    }
    [[noreturn]] static void ThrowIndexError(int index, const char* what);
    static void CheckCount(int count, const char* what);
    // A change of the content (see ContentChanges); Touch as well.
    void Edited()
    {
        ++contentChanges_;
        Touch();
    }
    void Touch()
    {
        dirty_ = true;
        if (updateLevel_ == 0 && !posted_)
            PostChanged();
    }
    void PostChanged();
    void FlushPosted();
    void ClampState();

    TRowArena arena_;                       // declared first: the rows point into it
    std::vector<TRow> rows_;                // may be longer than rowCount_
    std::vector<int> colWidths_;            // empty: all default; else ColCount entries
    std::vector<int> rowHeights_;           // empty: all default; else RowCount entries
    int rowCount_ = 5;
    int colCount_ = 5;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int defaultColWidth_ = DefaultGridColWidth;
    int defaultRowHeight_ = DefaultGridRowHeight;
    int curCol_ = 1, curRow_ = 1, anchorCol_ = 1, anchorRow_ = 1;
    int topRow_ = 1, leftCol_ = 1;
    TGridOptions options_ = DefaultGridOptions;
    int rowCapacityHint_ = 0;
    std::size_t rowCharsHint_ = 0;          // characters and cells of the row last grown:
    std::size_t rowCellsHint_ = 0;          // room for the next new row
    uint64_t rowOrderChanges_ = 0;
    uint64_t columnOrderChanges_ = 0;
    uint64_t contentChanges_ = 0;
    int updateLevel_ = 0;
    bool dirty_ = false;
    bool posted_ = false;
};

} // namespace platform
