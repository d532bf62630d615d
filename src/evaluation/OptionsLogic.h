#pragma once
// What the options dialog does apart from its widgets: comparing the settings
// before and after the dialog (does the archive directory have to be scanned
// again, or is a refill of the table enough), taking a typed archive directory,
// limiting what is typed into the upper-case fields, and loading and saving the
// head template shown in the dialog's memo.
#include "evaluation/EvaluationState.h"

#include <QString>
#include <QStringList>

class THeadTemplate;

namespace options {

// Limits of the fields while the user types (a value set by the program is
// never cut by them).
constexpr int MaskFieldLength = 64;
constexpr int NumberFormatFieldLength = 20;
constexpr int CounterTextFieldLength = 255;
// Lengths the record's texts are cut to when they are stored.
constexpr int MaskLength = 255;
constexpr int CounterTextLength = 255;
constexpr int NumberFormatLength = 20;

// Message of the catalogue that reports a file that could not be written.
constexpr uint8_t WriteErrorMessage = 45;

// What has to happen after the dialog was confirmed.
enum class TOptionsEffect {
    Refill,   // only view settings changed: update the view (refills a filled table)
    Rescan,   // archive directory, file mask, ArcDesc or GerKan changed
};

// Rescan when the archive directory, the file mask, ArcDesc or GerKan differ;
// otherwise Refill. Directories are compared with their closing separator, so
// "/a/b" and "/a/b/" count as the same.
TOptionsEffect CompareSettings(const TEinstellungen& before, const TEinstellungen& after);

// The archive directory after the path field was left (or confirmed) with
// `typed` in it while `accepted` was the accepted directory: an existing
// directory of the typed name becomes the accepted one, with a closing
// separator; anything else (empty, missing, a file) keeps `accepted`. The
// typed text is neither upper-cased nor cut.
QString AcceptTypedDirectory(const QString& typed, const QString& accepted);

// A text edit made by typing: `before` was the field's text, `after` is what
// the edit would make of it. The characters inserted get their ASCII letters
// upper-cased when `upperCase` is set, and are cut so that the field holds at
// most `limit` characters; a longer text that the program put into the field
// is never shortened by this, only kept from growing.
QString LimitTypedText(const QString& before, const QString& after, int limit, bool upperCase);

// The text the memo shows for the template: the lines of the file, or, when
// the file cannot be read, the template in memory. `fromFile` tells which.
QStringList TemplateLinesForMemo(const QString& fileName, const THeadTemplate& inMemory, bool* fromFile = nullptr);

// The memo's text as template lines: lines separated by '\n'; an empty memo
// has no lines.
QStringList MemoTextToLines(const QString& text);
QString LinesToMemoText(const QStringList& lines);

// Saves the memo's lines to the template file. On success answers true and
// leaves the template in memory alone (the caller reloads it from the file).
// On failure message 45 names the file, the memo's lines become the template
// in memory and the answer is false: the caller must not reload the file.
bool StoreTemplateFromMemo(const QStringList& memoLines, const QString& fileName, THeadTemplate& headTemplate);

} // namespace options
