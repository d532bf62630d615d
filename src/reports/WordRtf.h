#pragma once
// Writes the word-processor report (TWpDocument) as Rich Text Format through
// the streaming RTF writer: every word processor opens it with its fonts,
// alignments, per-cell borders, shadings, pictures, page breaks and the
// orientation intact. Nothing is built beside the document: a table of
// 65,535 rows streams out row by row.
#include "reports/WordDocument.h"

#include <QColor>
#include <QString>

class QIODevice;

namespace reports {

// The word processor's colour of a colour index 1..16 (0 and others: none).
QColor WordIndexColour(uint8_t index);

// Writes the document into a device opened for writing; false when a write
// failed.
bool WriteWordRtf(const TWpDocument& document, QIODevice* device);

// Writes the document to a file (replacing it); false with the reason in
// *error on failure.
bool WriteWordRtfFile(const TWpDocument& document, const QString& fileName, QString* error = nullptr);

} // namespace reports
