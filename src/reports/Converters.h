#pragma once
// Text-format converters of the report editor: documents of other formats
// are imported into it and its document is exported to them. The converters
// are a table of our own (plain text, HTML, Markdown) beside the built-in
// "Rich Text Format"; the file-dialog filters and the name lists are built
// from that table in the way the editor expects: "Name|*.ext|..." with rich
// text first, and the names in exactly the filter's order.
//
// The hourglass cursor of a conversion is the caller's (a window) business.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class QTextDocument;

namespace converters {

// Directions, as the converter lists are named.
constexpr int cdExport = 0;
constexpr int cdImport = 1;
QString DirectionName(int direction);      // "Export", "Import"

struct TTextConverter {
    QString Name;                          // the format name shown
    QString Extensions;                    // separated by blanks: "htm html"
    // The file's bytes are of this format.
    bool (*IsFormatCorrect)(const QByteArray& data) = nullptr;
    // Replaces the document's contents; false when the data cannot be read.
    bool (*Import)(const QByteArray& data, QTextDocument& document) = nullptr;
    // The whole formatted document in this format.
    bool (*Export)(const QTextDocument& document, QByteArray& data) = nullptr;
};

// The converters offered for a direction, in their order (rich text not
// among them: it is put in front by the filter and the name list).
std::vector<const TTextConverter*> RegisteredConverters(int direction);

// The built-in rich-text converter.
const TTextConverter& RichTextConverter();

// Filter string for the file dialog from a list of converters: each
// "Name|*.ext1;*.ext2|", "Rich Text Format|*.rtf|" in front, the trailing
// "|" removed.
QString BuildConverterFilterFrom(const std::vector<const TTextConverter*>& list);
void BuildConverterFilter(int direction, QString& filter);
QString BuildConverterFilter(int direction);

// The format names in exactly the order of the filter's entries: filter index
// i (1-based) is Names[i - 1].
QStringList FindConverterFrom(const std::vector<const TTextConverter*>& list);
void FindConverter(int direction, QStringList& names);

// The converter of a name for a direction, nullptr when there is none.
const TTextConverter* LoadConverter(const QString& formatName, int direction);

// Reads FileName with the named converter into the document. False when
// there is no such converter or the file cannot be read (no message), or when
// the file is not of the format (message "Not the correct file format").
bool ImportWithConverter(const QString& fileName, const QString& formatName, QTextDocument& document);

// Writes the whole document with the named converter. False with the message
// "Coult not export document" when no converter of that name can export;
// false without a message when writing fails.
bool ExportWithConverter(const QString& fileName, const QString& formatName, const QTextDocument& document);

// Non-ASCII characters of a text as numeric character references ("&#228;").
QString HtmlNumericEntities(const QString& html);

} // namespace converters
