#pragma once
// Writes a QTextDocument as RTF: walks its blocks, tables, lists and images
// and drives the streaming writer with them. Fonts and colours of the
// document make up the tables; the page comes from the settings given (a
// QTextDocument has no page of its own).
#include "reports/RtfWriter.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

// Begin ... End on the writer; answers what End answers.
bool WriteDocument(const QTextDocument& document, TRtfWriter& writer, const TRtfDocumentSettings& settings = {});

QByteArray DocumentToRtf(const QTextDocument& document, const TRtfDocumentSettings& settings = {});

// Writes the file through a temporary file beside it, so a failed write
// leaves an older file as it was. False when the file cannot be written.
bool SaveRtfFile(const QTextDocument& document, const QString& fileName, const TRtfDocumentSettings& settings = {});

} // namespace rtf
