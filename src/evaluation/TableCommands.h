#pragma once
// The table window's commands on the table itself, without widgets: the
// clipboard text of the marked cells, the sort by a column with its
// direction, and the HTML file of the table.
#include "platform/StringGrid.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class TTableModel;

// ---- Copy ---------------------------------------------------------------------------

enum class TCopyResult { Ok, NotUsable, NoMemory };

// Cut of every piece of the clipboard text (a first cell, or TAB plus a cell).
constexpr int CopyPieceCapacity = 128;

// The clipboard text of the grid's marked area: rows in order, the cells of a
// row joined by TAB, every row ended by LF; each piece cut to 128 characters;
// hidden columns (width 0) left out. With headers, the fixed rows come first
// and every row starts with the fixed columns. NotUsable when the marked area
// does not lie in the data area; NoMemory when the text could not be had
// (text is then empty).
TCopyResult BuildCopyText(const platform::TStringGridModel& grid, bool withHeaders, QString& text);

// ---- Sort ---------------------------------------------------------------------------

// Whether column col is a date column: a header cell of it in any fixed row
// (row 0 when there are none), trimmed of control characters and upper-cased,
// is "DATUM" or "DATE", or equals the time caption (the main window's "Zeit"
// or its translation) the same way.
bool IsDateColumn(const platform::TStringGridModel& grid, int col, const QString& timeCaption);

struct TSortOutcome {
    bool Sorted = false;        // false: the column number was unusable (message 67)
    int PreviousColumn = -1;    // the sort column before (-1 none)
    int Column = -1;
    bool Descending = false;
    bool ByDate = false;
    bool ByNumber = false;
};

// Sorts the model's grid by the column numbered columnText (1-based; as the
// column field holds it): the same column again flips the direction, another
// one sorts ascending; date columns sort by date, columns whose cells read as
// numbers by value (texts that read as none first), others by text. The model's
// SortColumn and Descending follow.
TSortOutcome SortTableByColumn(TTableModel& model, const QString& columnText, const QString& timeCaption);

// ---- HTML export ----------------------------------------------------------------------

// What the HTML file shows besides the grid.
struct THtmlExportInput {
    QString MemoFontName;
    QString GridFontName;
    QStringList TitleLines;
    bool ChooserHasItems = false;
    QString ChooserText;
    QString EvaluationLabel;
    const platform::TStringGridModel* Grid = nullptr;
};

// Cut of a cell's or header's text in the file.
constexpr int HtmlCellCapacity = 255;

// A text for the file: cut to capacity characters (capacity < 0: not cut),
// then "&", "<", ">" and '"' escaped, every character HTML cannot hold (NUL
// and the other control characters but TAB, LF and CR, the C1 controls,
// noncharacters, half a surrogate pair) written as U+FFFD and every character
// outside ASCII written as a numeric entity.
QString HtmlText(QStringView text, int capacity = -1);

// The export file name of a print file name: its directory, its stem (or
// "STANDARD") and ".HTM". A print file name without a directory gives a name
// in the report folder beside the word-processor and spreadsheet reports,
// never one in the current directory; empty when that folder cannot be made.
QString HtmlFileNameFor(const QString& printFileName);

enum class THtmlWriteResult { Ok, CreateFailed, WriteFailed };

// Writes the table as an HTML file (lines ended by CR LF, pure ASCII).
THtmlWriteResult WriteHtmlFile(const QString& fileName, const THtmlExportInput& input);
// The same text in memory.
QByteArray BuildHtml(const QString& fileName, const THtmlExportInput& input);

// The text shown when opening a document failed with a shell error code; empty
// for a code without a text.
QString ShellErrorText(int code);
// The shell code of "no program is registered for the file's kind".
constexpr int ShellNoAssociation = 31;
