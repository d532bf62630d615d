#pragma once
// The word-processor report in memory: a light document of our own, not a
// QTextDocument (that costs about a gigabyte for a table of 65,535 rows).
//
// The document is a list of blocks, each a paragraph or a table. A paragraph
// has its alignment, whether a page break comes before it, and runs of text
// in a character format or inline pictures. A table keeps its cell texts one
// after another in one pool, its column widths, the lines it draws (under one
// row, right of one column, a frame), one character format, the alignment of
// its cells and a shading per row. The page orientation belongs to the whole
// document.
//
// A position plays the word processor's selection: a paragraph and a
// character offset in it. Typing inserts there, a paragraph mark splits the
// paragraph there, a table goes in before the paragraph of the position (a
// paragraph always follows a table), so writing at the end works as in the
// word processor. A document always holds at least one paragraph.
//
// Lines, as GetLine and SetLine count them, are the paragraphs and the table
// cells (row by row) in document order.
#include "platform/Colors.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

namespace reports {

struct TWpCharFormat {
    QString Font = QStringLiteral("Times New Roman");
    int Size = 12;                  // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    friend bool operator==(const TWpCharFormat&, const TWpCharFormat&) = default;
};

enum class TWpAlign : uint8_t { Left, Centre, Right };

struct TWpPicture {
    QByteArray Png;
    QSize Pixels;
};

struct TWpRun {
    uint32_t Format = 0;            // index into the document's formats
    QString Text;                   // empty for a picture
    int Picture = -1;               // index into the document's pictures, or -1
};

struct TWpParagraph {
    TWpAlign Align = TWpAlign::Left;
    bool PageBreakBefore = false;
    uint32_t MarkFormat = 0;        // format of the paragraph mark (empty lines keep their height)
    std::vector<TWpRun> Runs;

    // Characters, a picture counting as one.
    int Length() const;
    // The texts of the runs, pictures left out.
    QString Text() const;
};

class TWpTable {
public:
    TWpTable(int rows, int cols);

    int Rows() const { return rows_; }
    int Cols() const { return cols_; }
    // Cells are filled row by row, left to right, each once.
    void AppendCell(QStringView text);
    QStringView Cell(int row, int col) const;
    void SetCell(int row, int col, QStringView text);

    std::vector<int> ColWidths;     // twips: each column as wide as its longest text
    // Twips each column needs at least: its longest word, so that no number
    // or word has to be broken. Empty when unknown (then the widths are only
    // scaled).
    std::vector<int> MinColWidths;
    int HeaderBottomRow = -1;       // the line under this row; -1 none
    int RightBorderCol = -1;        // the line right of this column; -1 none
    int LineWidth = 10;             // twips of those lines (half a point)
    int FrameWidth = 30;            // twips of the frame (1.5 points); 0 none
    uint32_t Format = 0;            // character format of every cell
    TWpAlign CellAlign = TWpAlign::Centre;
    // Per row the word processor's colour index of its shading (0 none);
    // empty when no row is shaded.
    std::vector<uint8_t> RowShading;

    std::size_t MemoryBytes() const;

private:
    int rows_;
    int cols_;
    std::vector<char16_t> pool_;
    std::vector<uint32_t> ends_;    // end of each cell's text in the pool
};

// The column widths of a table on a page whose text is `available` twips
// wide. A table that fits keeps its widths. A wider one is fitted to the
// text as a word processor fits a table to its contents across the page:
// each column keeps the least width its longest word needs and the rest of
// the text width is shared in proportion to what each column lacks of its
// full width, so texts wrap between words. When even the words do not fit,
// the least widths are scaled to the text width. Columns without a given
// width are 1,440 twips wide; every width is at least 1.
std::vector<int> FittedColumnWidths(const TWpTable& table, int available);

// The width of the text between the margins of the word-processor report's
// pages (A4, 2 cm margins), upright or across.
int WordTextWidth(bool landscape);

struct TWpBlock {
    bool IsTable = false;
    int Index = 0;                  // into paragraphs or tables
};

class TWpDocument {
public:
    TWpDocument();

    // A new document: one empty paragraph, the default format, portrait.
    void Clear();

    // ---- Writing at the position -----------------------------------------
    void TypeText(QStringView text);
    void TypeParagraph();
    void InsertPageBreak();
    void InsertPicture(const QByteArray& png, QSize pixels);
    // Takes the table; it goes in before the position's paragraph.
    void InsertTable(std::unique_ptr<TWpTable> table);

    // Character format of the text typed next.
    const TWpCharFormat& CurrentFormat() const { return formats_[current_]; }
    void SetCurrentFormat(const TWpCharFormat& format);
    uint32_t CurrentFormatIndex() const { return current_; }
    uint32_t FormatIndex(const TWpCharFormat& format);

    // Alignment of the position's paragraph.
    TWpAlign Alignment() const;
    void SetAlignment(TWpAlign align);

    // The position: the start of the document, or its end.
    void MoveToStart();
    void MoveToEnd();
    int PositionBlock() const { return posBlock_; }
    int PositionOffset() const { return posOffset_; }

    bool Landscape = false;

    // ---- Reading -----------------------------------------------------------
    const std::vector<TWpBlock>& Blocks() const { return blocks_; }
    const TWpParagraph& Paragraph(const TWpBlock& b) const { return paragraphs_[std::size_t(b.Index)]; }
    const TWpTable& Table(const TWpBlock& b) const { return *tables_[std::size_t(b.Index)]; }
    const std::vector<TWpCharFormat>& Formats() const { return formats_; }
    const std::vector<TWpPicture>& Pictures() const { return pictures_; }

    // Lines: paragraphs and table cells in document order.
    int LineCount() const;
    QString LineText(int index) const;      // empty beyond the last line
    // Replaces the text of that line only (false beyond the last line).
    bool SetLineText(int index, QStringView text);

    std::size_t MemoryBytes() const;

private:
    TWpParagraph& PositionParagraph() { return paragraphs_[std::size_t(blocks_[std::size_t(posBlock_)].Index)]; }
    const TWpParagraph& PositionParagraph() const
    {
        return paragraphs_[std::size_t(blocks_[std::size_t(posBlock_)].Index)];
    }
    // Splits the position's run list so that a run boundary lies at the
    // offset; answers the index of the first run behind it.
    std::size_t SplitRunsAt(TWpParagraph& p, int offset);
    // Moves the paragraph's content from offset on into a new paragraph
    // after it and answers the new block index.
    int SplitParagraph(int offset);

    std::vector<TWpBlock> blocks_;
    std::vector<TWpParagraph> paragraphs_;
    std::vector<std::unique_ptr<TWpTable>> tables_;
    std::vector<TWpPicture> pictures_;
    std::vector<TWpCharFormat> formats_;
    uint32_t current_ = 0;
    int posBlock_ = 0;
    int posOffset_ = 0;
};

} // namespace reports
