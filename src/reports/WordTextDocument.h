#pragma once
// The word-processor report and Qt's text documents: a document read from a
// file (RTF through the rich-text reader) comes into the light model, and the
// model goes into a text document for printing. Both are for the small
// documents a user opens or prints; the large report tables never take this
// way to their file.
#include "reports/WordDocument.h"

#include <QString>

class QTextDocument;

namespace reports {

// Replaces doc with the paragraphs, tables, pictures and page breaks of src.
void TextDocumentToWord(const QTextDocument& src, TWpDocument& doc);

// Builds a text document from the model (fonts, alignments, tables with their
// lines and shadings, pictures, page breaks). Tables wider than textWidth
// twips are fitted to it (0: the text width of the report's A4 pages).
void WordToTextDocument(const TWpDocument& doc, QTextDocument& out, int textWidth = 0);

// Prints pages fromPage..toPage (from 1; a range beyond the document prints
// what there is) on the program's printer, in the document's orientation;
// false when the job could not begin or failed.
bool PrintWordDocument(const TWpDocument& doc, const QString& jobTitle, int fromPage, int toPage);

} // namespace reports
