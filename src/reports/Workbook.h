#pragma once
// The spreadsheet report in memory: sheets of cells, each empty, a number or a
// text, with a style (number format, fill, horizontal alignment), the rows and
// columns repeated on printed pages and the pictures placed on the sheet. The
// spreadsheet back end writes into it and XlsxFile turns it into a file.
//
// The format texts kept here are the report's own ("0,00", "TT.MM.JJJJ",
// "hh:mm", "@"); the file writer translates them into the file format's codes,
// which do not depend on the locale.
//
// A table of 65,535 rows by 20 columns is the large case: a cell is 16 bytes
// and the texts of a sheet live one after another in one pool, so such a
// table costs some tens of megabytes, not a text object per cell.
#include "platform/Colors.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

namespace reports {

// The file format's sheet limits.
constexpr int XlsxMaxRows = 1048576;
constexpr int XlsxMaxCols = 16384;
// Longest text a cell holds.
constexpr int XlsxMaxCellChars = 32767;

enum class THorzAlign : uint8_t { General, Left, Centre, Right };

struct TCellStyle {
    QString NumberFormat;           // the report's format text; empty: general
    bool HasFill = false;
    platform::TColor Fill = 0;      // window-system colour value
    THorzAlign Align = THorzAlign::General;
    friend bool operator==(const TCellStyle&, const TCellStyle&) = default;
};

enum class TCellKind : uint8_t { Empty, Number, Text };

// A picture placed with its top-left corner on a cell.
struct TSheetPicture {
    int Row = 0;
    int Col = 0;
    QByteArray Png;
    int WidthPx = 0;
    int HeightPx = 0;
};

class TWorkbook;

class TWorksheet {
public:
    struct Cell {
        union {
            double Number;
            struct {
                uint32_t Offset;
                uint32_t Length;
            } Text;
        };
        uint32_t Style = 0;         // index into the workbook's styles
        TCellKind Kind = TCellKind::Empty;
        Cell() : Number(0) {}
    };

    explicit TWorksheet(QString name) : name_(std::move(name)) {}

    const QString& Name() const { return name_; }

    // Writing; rows and columns from 0, inside the sheet limits (others are
    // ignored and answer false). A style of 0 is the general style.
    bool SetNumber(int row, int col, double value, uint32_t style = 0);
    bool SetText(int row, int col, QStringView text, uint32_t style = 0);
    // An empty cell that keeps a style (a fill, say); style 0 clears it.
    bool SetEmpty(int row, int col, uint32_t style = 0);
    // Changes the style of a cell, whatever it holds.
    bool SetStyle(int row, int col, uint32_t style);
    // Makes room for that many cells in a row about to be written.
    void ReserveCells(int row, int cells);

    // Reading.
    int RowCount() const { return int(rows_.size()); }     // rows up to the last written
    int CellCount(int row) const;                          // cells up to the last written in that row
    const Cell* CellAt(int row, int col) const;            // null when never written
    TCellKind KindAt(int row, int col) const;
    double NumberAt(int row, int col) const;               // 0 unless a number
    QString TextAt(int row, int col) const;                // empty unless a text
    QStringView TextOf(const Cell& cell) const
    {
        return QStringView(pool_.data() + cell.Text.Offset, qsizetype(cell.Text.Length));
    }
    uint32_t StyleAt(int row, int col) const;

    // Characters the widest table entry of a column shows (for the column
    // width). Only the writer of a table notes them: a title line in column A
    // overflows into the empty cells beside it and must not widen the column.
    int ColumnChars(int col) const { return col < int(colChars_.size()) ? colChars_[std::size_t(col)] : 0; }
    void NoteColumnChars(int col, int chars);
    int NotedColumns() const { return int(colChars_.size()); }

    // The active cell: where lines are written next.
    int ActiveRow = 0;
    int ActiveCol = 0;

    // Rows and columns repeated on every printed page; -1: none.
    int PrintTitleFirstRow = -1;
    int PrintTitleLastRow = -1;
    int PrintTitleFirstCol = -1;
    int PrintTitleLastCol = -1;

    std::vector<TSheetPicture> Pictures;

    // What prints. A table's lines of text above it (its title lines) print
    // within the table's width, wrapped where they are longer, instead of
    // running on to the right past the table onto pages of their own; the
    // print area runs from A1 over every column of the tables (-1: no table,
    // the spreadsheet's own choice).
    struct TSpannedLine {
        int Row = 0;
        int LastCol = 0;
    };
    std::vector<TSpannedLine> SpannedLines;
    int PrintLastCol = -1;
    // The first row whose text line no table has claimed yet.
    int LinesFrom = 0;

    // Bytes held by the cells and texts, for measurements.
    std::size_t MemoryBytes() const;

private:
    Cell* Touch(int row, int col);

    QString name_;
    std::vector<std::vector<Cell>> rows_;
    std::vector<char16_t> pool_;
    std::vector<int> colChars_;
};

class TWorkbook {
public:
    TWorkbook();

    // Sheets in their order; a new workbook has one sheet.
    int SheetCount() const { return int(sheets_.size()); }
    TWorksheet& Sheet(int index) { return *sheets_[std::size_t(index)]; }
    const TWorksheet& Sheet(int index) const { return *sheets_[std::size_t(index)]; }
    // Inserts a new sheet right after index and answers its index. Sheets are
    // named "Tabelle" and a number that no sheet of the workbook has.
    int InsertSheetAfter(int index);

    // The sheet the file opens with.
    int ActiveSheet = 0;

    // The style index for a style (0 is the general style, always present).
    uint32_t StyleIndex(const TCellStyle& style);
    const std::vector<TCellStyle>& Styles() const { return styles_; }

private:
    std::vector<std::unique_ptr<TWorksheet>> sheets_;
    std::vector<TCellStyle> styles_;
    int nextSheetNumber_ = 1;
};

} // namespace reports
