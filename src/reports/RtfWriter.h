#pragma once
// A streaming writer of Rich Text Format. Every call writes its piece at once
// into an output device (or a byte array); the writer holds no document, only
// the little state a paragraph or table row in progress needs, so a report of
// 65,535 table rows costs no more memory than one of ten.
//
// Order of calls:
//   Begin(settings, fonts, colours)
//   { Paragraph(...) | BeginParagraph / Text / Picture / LineBreak / Tab / EndParagraph
//     | PageBreak() | TableRow(...) | BeginRow / BeginCell ... EndCell / EndRow }
//   End()
//
// Lengths are twips (1/1440 inch; 20 twips are one point, 15 one pixel at
// 96 dpi). Font and colour numbers are indices into the tables given to
// Begin: font n is fonts[n]; colour 0 is the reader's default ("auto"),
// colour n >= 1 is colours[n - 1].
//
// Text: ASCII goes as it is (with \ { } escaped); TAB becomes \tab; '\n',
// U+2028 and U+2029 inside a text become \line; other control characters are
// dropped. A character outside ASCII is written as \'hh when Windows-1252 has
// it and the run's font is not of the OEM character set, else as \uN followed
// by the fallback \'3f (never a bare '?': some readers drop the text after a
// \uN?).
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

class QIODevice;

namespace rtf {

// Limits the reader keeps to and the exporter writes within: a column is at
// most 22 inches wide, a row has at most 256 cells.
constexpr int MaxColumnTwips = 31680;
constexpr int MaxCells = 256;
constexpr int MaxCellEdge = MaxColumnTwips * MaxCells;

// The character sets of the font table that matter here.
constexpr int CharsetAnsi = 0;
constexpr int CharsetDefault = 1;
constexpr int CharsetSymbol = 2;
constexpr int CharsetOem = 255;   // code page 437: box-drawing characters

enum class TFontFamily : uint8_t { Nil, Roman, Swiss, Modern, Script, Decor, Tech };

struct TRtfFont {
    QString Name;
    int Charset = CharsetAnsi;
    TFontFamily Family = TFontFamily::Nil;
    bool operator==(const TRtfFont&) const = default;
};

// Page of the whole document. PaperWidth and PaperHeight describe the sheet
// upright; with Landscape the writer turns it (\paperw is then the longer side).
struct TRtfDocumentSettings {
    int PaperWidth = 11906;               // A4
    int PaperHeight = 16838;
    int MarginLeft = 1134;                // 2 cm
    int MarginRight = 1134;
    int MarginTop = 1134;
    int MarginBottom = 1134;
    bool Landscape = false;
    int DefaultFont = 0;
    int DefaultTabWidth = 720;            // \deftab
    bool operator==(const TRtfDocumentSettings&) const = default;
};

enum class TAlign : uint8_t { Left, Center, Right, Justify };
enum class TVAlign : uint8_t { Top, Center, Bottom };

enum class TTabKind : uint8_t { Left, Center, Right, Decimal };
struct TRtfTab {
    int Position = 0;                     // twips from the left indent's origin
    TTabKind Kind = TTabKind::Left;
    bool operator==(const TRtfTab&) const = default;
};

enum class TBullet : uint8_t { None, Bullet, Numbered };

struct TRtfParagraphFormat {
    TAlign Align = TAlign::Left;
    int LeftIndent = 0;                   // \li
    int FirstIndent = 0;                  // \fi, relative to LeftIndent (may be negative)
    int RightIndent = 0;                  // \ri
    int SpaceBefore = 0;                  // \sb
    int SpaceAfter = 0;                   // \sa
    TBullet Bullet = TBullet::None;
    std::vector<TRtfTab> Tabs;
    bool operator==(const TRtfParagraphFormat&) const = default;
};

struct TRtfCharFormat {
    int Font = 0;
    int HalfPoints = 20;                  // \fs: size in half points (20 = 10 pt)
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    int Colour = 0;                       // \cf, 0 = auto
    int Background = 0;                   // \highlight / \cb, 0 = none
    bool operator==(const TRtfCharFormat&) const = default;
};

struct TRtfRun {
    QString Text;
    TRtfCharFormat Format;
};

// One border line; Width 0 means no line.
struct TRtfBorder {
    int Width = 0;                        // twips (\brdrw), at most 75
    int Colour = 0;                       // \brdrcf
    bool Double = false;                  // \brdrdb instead of \brdrs
    bool operator==(const TRtfBorder&) const = default;
};

struct TRtfCellFormat {
    int RightEdge = 0;                    // \cellx: twips from the page's left margin
    TRtfBorder Top, Left, Bottom, Right;
    TVAlign VAlign = TVAlign::Top;
    int Shading = 0;                      // \clcbpat: background colour, 0 = none
    bool operator==(const TRtfCellFormat&) const = default;
};

struct TRtfRowFormat {
    std::vector<TRtfCellFormat> Cells;
    int LeftEdge = 0;                     // \trleft
    int CellGap = 54;                     // \trgaph: half the space between cells' texts
    TAlign RowAlign = TAlign::Left;       // \trql, \trqc, \trqr
    int Height = 0;                       // \trrh: 0 auto, > 0 at least, < 0 exactly
    bool Header = false;                  // \trhdr: repeated on each page
    // The frame of the table: row borders (top and bottom of each row, the
    // outer left and right sides, and the lines between cells).
    TRtfBorder FrameTop, FrameLeft, FrameBottom, FrameRight, InsideVertical;
    bool operator==(const TRtfRowFormat&) const = default;
};

enum class TPictureFormat : uint8_t { Png, Jpeg };

class TRtfWriter {
public:
    // Writes into a device opened for writing (flushed in blocks and at End).
    explicit TRtfWriter(QIODevice* device);
    // Writes into a byte array (appended to).
    explicit TRtfWriter(QByteArray* target);
    ~TRtfWriter();
    TRtfWriter(const TRtfWriter&) = delete;
    TRtfWriter& operator=(const TRtfWriter&) = delete;

    // Header, font table (at least one font; an empty list gets "Arial"),
    // colour table and page settings.
    void Begin(const TRtfDocumentSettings& settings, const std::vector<TRtfFont>& fonts,
               const std::vector<QColor>& colours = {});
    // Closes the document and flushes; answers false when the device refused
    // a write at any time.
    bool End();

    // ---- Paragraphs (in the body, or inside a cell between BeginCell and EndCell)
    void BeginParagraph(const TRtfParagraphFormat& format);
    void Text(QStringView text, const TRtfCharFormat& format);
    void LineBreak();                     // \line
    void Tab();                           // \tab
    // An inline picture of already encoded PNG or JPEG bytes; pixelSize is the
    // image's own size, goal its shown size in twips (empty: 15 twips a pixel).
    void Picture(const QByteArray& encoded, TPictureFormat kind, QSize pixelSize, QSize goal = {});
    // An image, encoded as PNG.
    void Picture(const QImage& image, QSize goal = {});
    void EndParagraph();
    // A whole paragraph in one call.
    void Paragraph(const TRtfParagraphFormat& format, const std::vector<TRtfRun>& runs);
    void Paragraph(const TRtfParagraphFormat& format, QStringView text, const TRtfCharFormat& charFormat);

    // Page break before whatever comes next (outside tables).
    void PageBreak();

    // ---- Tables: one call per row. Rows of equal format share its encoding.
    void BeginRow(const TRtfRowFormat& format);
    void BeginCell();
    void EndCell();                       // an empty cell still gets its paragraph
    void EndRow();
    // A row of one-paragraph cells with plain texts; cells beyond texts stay
    // empty, texts beyond the row's cells are dropped.
    void TableRow(const TRtfRowFormat& format, const QStringList& texts, const TRtfCharFormat& charFormat,
                  TAlign align = TAlign::Left);
    // Cells each with one paragraph of runs.
    void TableRow(const TRtfRowFormat& format, const std::vector<std::vector<TRtfRun>>& cells,
                  const std::vector<TAlign>& aligns = {});
    // A row of plain texts that share one character format and alignment,
    // written compactly for long tables: the formats once for the row, not
    // once per cell. Same cells and limits as the TableRow above.
    void TextRow(const TRtfRowFormat& format, const std::vector<QStringView>& texts,
                 const TRtfCharFormat& charFormat, TAlign align = TAlign::Left);

    // Bytes written so far (including what waits in the buffer).
    qint64 BytesWritten() const { return written_ + qint64(buffer_.size()); }

    // Encodes text as RTF in a font of the given character set (exposed for
    // tests and for callers that build pieces themselves). TAB becomes \tab,
    // every line end (CR LF, CR, LF, U+2028, U+2029) one \line; a character
    // a document cannot hold (platform::DocumentCanHold) goes as U+FFFD.
    static void AppendText(QByteArray& out, QStringView text, int charset);
    // A font name as the font table can hold it: no control characters,
    // semicolons, braces or backslashes, no blanks at its ends.
    static QString CleanFontName(const QString& name);

private:
    void put(const char* s);
    void put(const QByteArray& s) { buffer_.append(s); maybeFlush(); }
    void putInt(const char* word, int value);
    void maybeFlush();
    void flush();
    void writeParagraphStart(const TRtfParagraphFormat& format, bool inTable);
    void writeCharFormat(const TRtfCharFormat& format);
    int charsetOf(int font) const;
    QByteArray encodeRowFormat(const TRtfRowFormat& format) const;

    QIODevice* device_ = nullptr;
    QByteArray* target_ = nullptr;
    QByteArray buffer_;
    qint64 written_ = 0;
    bool failed_ = false;
    bool begun_ = false;
    bool ended_ = false;
    std::vector<int> charsets_;           // per font
    int colourCount_ = 0;
    int fontCount_ = 0;
    // Paragraph and row in progress.
    bool inParagraph_ = false;
    bool inRow_ = false;
    bool inCell_ = false;
    bool cellHasParagraph_ = false;       // a paragraph of this cell was ended (needs \par)
    int cellsInRow_ = 0;
    TRtfRowFormat lastRow_;
    QByteArray lastRowBytes_;
};

} // namespace rtf
