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

struct TRtfReadInfo {
    TRtfDocumentSettings Settings;        // page of the document (paper upright)
    bool HasPageSettings = false;         // the file named paper size or margins
    int DroppedPictures = 0;              // metafiles and other pictures not read
};

// Replaces the document's contents with what the RTF says. Answers false (and
// leaves the document untouched) when the data is not RTF at all.
bool ReadRtf(const QByteArray& data, QTextDocument* document, TRtfReadInfo* info = nullptr);

// Reads a file; false when it cannot be read or is not RTF.
bool LoadRtfFile(const QString& fileName, QTextDocument* document, TRtfReadInfo* info = nullptr);

// The Unicode character of a byte in code page 437.
QChar Cp437ToUnicode(unsigned char byte);

} // namespace rtf
