#pragma once
// The report editor's document seen as a list of lines, as the report back
// end writes it: each line is one paragraph, and the document always ends in
// an empty paragraph that takes the next line (so an empty document holds no
// line). Also the leading "$layout$" lines of a report file, the drop-effect
// rule of the editor and the naming of pasted images.
#include <QFont>
#include <QImage>
#include <QString>
#include <QTextCharFormat>
#include <Qt>
#include <cstdint>

class QTextCursor;
class QTextDocument;

namespace reports {

int LineCount(const QTextDocument& doc);
// Text of line index; empty outside the document.
QString GetLine(const QTextDocument& doc, int index);
// Replaces the text of line index; false (nothing done) outside the document.
bool SetLine(QTextDocument& doc, int index, const QString& text);
// Appends a line with the character format at the document's end; the
// paragraph that follows inherits the last paragraph's format.
void AppendLine(QTextDocument& doc, const QString& text, const QTextCharFormat& format);
// Makes the line that is written next start on a new page.
void AppendPageBreak(QTextDocument& doc);

// The fixed-pitch font of report tables, "Terminal", shown with a font that
// has the box-drawing glyphs (DejaVu Sans Mono). Safe to call often.
void EnsureTerminalFont();
QFont TerminalFont(int pointSize = 9);

// ---- Layout lines ---------------------------------------------------------------

// Margins and orientation named by layout lines.
struct TLayoutSettings {
    int32_t Left = 20;
    int32_t Top = 20;
    int32_t Right = 20;
    int32_t Bottom = 20;
    bool MarginsSet = false;
    bool Landscape = false;
    bool OrientationSet = false;
};

enum class TLayoutLineResult : uint8_t { NotLayout, Read, Bad };

// Reads one line "$layout$" keyword "$" parameters into settings: "margins"
// with items such as L20$T20$R20$B20$ (items of other letters skipped, margins
// not named 20), "orientation" with "landscape" or anything else for portrait.
// Unknown keywords are read and change nothing. A margin number that cannot be
// read makes the line Bad and leaves settings as they were.
TLayoutLineResult ParseLayoutLine(const QString& line, TLayoutSettings& settings);

// Reads and removes every leading layout line of the document; bad ones are
// removed too. Answers how many lines were bad.
int ConsumeLayoutLines(QTextDocument& doc, TLayoutSettings& settings);

// ---- Dropping and pasting -------------------------------------------------------

// The effect of a drop: link with Ctrl and Shift held, copy with Ctrl, move
// otherwise; taken when the source allows it, else the proposed effect stays.
Qt::DropAction DropEffectFor(Qt::KeyboardModifiers modifiers, Qt::DropActions allowed,
                             Qt::DropAction proposed);

// Adds image as an inline resource of the document under a new name, and
// answers the name to put in an image format.
QString AddImageResource(QTextDocument& doc, const QImage& image);

} // namespace reports
