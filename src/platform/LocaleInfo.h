#pragma once
// The three-letter language abbreviation of the user's locale ("DEU", "ENU",
// "FRA", ...), as the window system names it. It picks the program's language,
// the event-code file and the report head template. Never empty.
#include <QLocale>
#include <QString>

namespace platform {

// Abbreviation of the user's locale (the override when one is set).
QString UserLanguageAbbreviation();

// Abbreviation of a locale: the table entry of its language and territory, the
// language's main entry for another territory, and for a language outside the
// table its ISO 639-2 code in upper case; "ENU" for the C locale.
QString LanguageAbbreviationOf(const QLocale& locale);

// The same for a locale name as the environment gives it ("de_AT.UTF-8",
// "fr_FR@euro", "C", "POSIX").
QString LanguageAbbreviationOfName(const QString& localeName);

// Tests (and a command-line switch, should one come) fix the answer of
// UserLanguageAbbreviation; an empty text removes the override.
void SetLanguageAbbreviationOverride(const QString& abbreviation);

} // namespace platform
