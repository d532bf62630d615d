#pragma once
// Reads Rich Text Format into a QTextDocument: font and colour tables, bold,
// italic, underline, strike-out, size, font and colours of the text;
// alignment, indents, spacing, tab stops and bullets of paragraphs; line
// breaks, tabs and page breaks; the page (size, margins, orientation); tables
// with their cell borders, frame, widths, shading and alignment; PNG and JPEG
// pictures.
//
// \'hh bytes are read in the code page of the current font: code page 437 for
// fonts of the OEM character set (so box-drawing bytes such as 0xC4 read as
// U+2500), Windows-1252 otherwise. \uN is read with its fallback skipped as
// \ucN says.
//
// Unknown destinations ({\* ...}) are skipped. Windows metafile, enhanced
// metafile and other picture kinds than PNG and JPEG are dropped: nothing here
// can draw them.
//
// Bad input never crashes or hangs the reader: unbalanced groups, cut-off
// files, absurd numbers and nesting are read as far as they make sense.
#include "reports/RtfWriter.h"

#include <QByteArray>
#include <QString>
#include <QTextFormat>

class QTextDocument;

namespace rtf {

// Character formats read from a font of the OEM character set carry this
// property (the font's character set), so the exporter gives the font the
// same set again.
constexpr int FontCharsetProperty = QTextFormat::UserProperty + 0x1901;

// True when the bytes begin as RTF does ("{\rtf", blanks before it allowed).
bool LooksLikeRtf(const QByteArray& data);

// What a document may hold to be shown and printed. Beyond these the text
// layout takes minutes and gigabytes (Qt lays a table out whole, at about
// 0.1 ms a cell: 40,000 cells take some 5 s), and beyond the height the
// layout can measure, pages are counted wrong; such a document is refused
// whole instead.
constexpr qint64 MaxDocumentCells = 40'000;             // table cells, all tables
constexpr qint64 MaxDocumentParagraphs = 400'000;       // paragraphs and line breaks, cells' included
constexpr qint64 MaxPicturePixels = 64LL * 1024 * 1024; // decoded pictures, all together

struct TRtfReadInfo {
    TRtfDocumentSettings Settings;        // page of the document (paper upright)
    bool HasPageSettings = false;         // the file named paper size or margins
    int DroppedPictures = 0;              // metafiles and other pictures not read
    // Not empty when the document was refused as too large (the text says
    // what and how much); the document is then left empty.
    QString Refusal;
};

// Replaces the document's contents with what the RTF says. Answers false (and
// leaves the document untouched) when the data is not RTF at all, and false
// with info->Refusal set (the document emptied) when it is beyond the limits
// above. The document is built without being laid out: its layout starts
// afresh once the text is in place.
bool ReadRtf(const QByteArray& data, QTextDocument* document, TRtfReadInfo* info = nullptr);

// Reads a file; false when it cannot be read or is not RTF.
bool LoadRtfFile(const QString& fileName, QTextDocument* document, TRtfReadInfo* info = nullptr);

// The Unicode character of a byte in code page 437.
QChar Cp437ToUnicode(unsigned char byte);

} // namespace rtf
