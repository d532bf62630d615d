#pragma once
// The numbered message catalogue. Message N (0..200) is two German lines; a
// caller shows it with one text of its own (usually a file name) between them,
// and the number decides the kind of dialog: a question with Yes and No, or an
// error with Abort, Ignore or OK. Dialogs go through platform::Hooks().
#include <QString>
#include <QStringList>
#include <cstdint>

// ---- Module switches (all off at start) ---------------------------------------

// When set and holding more than N entries, entry N ("line 1|line 2") replaces
// the built-in text of message N.
extern QStringList* MessageTextList;
// Messages that are not questions go to the protocol instead of a dialog, and
// every message answers True without a dialog.
extern bool SilentMessages;
// Whether ProtocolLog writes; an error in the protocol switches it off.
extern bool ProtocolActive;

// Capacity of a message line, and of the inserted text.
constexpr int MessageLineCapacity = 90;

// The two lines of message nr, each cut to its capacity. A number without a
// text gives "error no." and the number as line 1 and an empty line 2.
void MessageText(uint8_t nr, QString& line1, int capacity1, QString& line2, int capacity2);

// The dialog kind of a number: 0 question, 1 error with Abort, 2 error with
// Ignore, 3 error with OK.
uint8_t MessageKindOfNr(uint8_t nr);

// Shows text in the dialog of the kind. True for Yes (kind 0) or OK (kind 3);
// kinds 1 and 2 always answer False; another kind shows nothing and answers False.
bool MessageBoxByKind(const QString& text, uint8_t kind);

// Shows message nr with inserted (first 90 characters used) between its lines;
// answers the dialog's result.
bool ShowMessageNr(const QString& inserted, uint8_t nr);
