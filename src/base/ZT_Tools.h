#pragma once
// Plain routines on texts, numbers, day-number dates and paths that every
// other part of the program uses. None of them raises an error: numbers answer
// -9999, path routines empty parts.
#include <QString>
#include <QStringView>
#include <cstdint>

class QLocale;

// ---- Settings of the unit -------------------------------------------------

// A two-digit year y becomes 1900 + y, and 2000 + y when 1900 + y is below
// this limit (1900: every two-digit year is 19yy).
extern int TwoDigitYearLimit;
// When set, FormatByPicture exchanges ',' and '.' in the picture it fills.
extern bool DecimalComma;

// ---- Short strings and numbers --------------------------------------------

double ParseRealDef(const QString& text);          // -9999.0 on a syntax error
// ParseRealDef(TrimControlChars(text)) without building either text: for
// reading numbers out of table cells in bulk.
double ParseRealTrimmed(QStringView text);
int32_t ParseIntDef(const QString& text);           // -9999 on a syntax error
QString FormatByPicture(const QString& picture, double value); // at most 21 chars
// FormatByPicture written into out (room for 21 characters); its length.
int FormatByPictureInto(const QString& picture, double value, char16_t* out);
QString IntText(int32_t value);                     // at most 8 characters
QString HexWord(uint16_t value);
QString HexLong(uint32_t value);
QString PadRightTo(const QString& text, QChar fill, int width);
QString PadLeftTo(const QString& text, QChar fill, int width);
QString PadRightBlanks(const QString& text, int width);
QString PadLeftBlanks(const QString& text, int width);
QString TrimControlChars(const QString& text);
QString UpperCaseShort(const QString& text);        // ASCII letters only
// Replaces the first occurrence of search (compared after UpperCaseShort) by
// replacement; the result is cut to capacity. True when a replacement was made.
bool ReplaceFirstNoCase(QString& text, int capacity, const QString& search, const QString& replacement);
// Splits text at the first delimiter: head gets the part before it, text keeps
// the rest after it; without the delimiter head gets all and text becomes empty.
void CutToken(QString& text, int capacity, QChar delimiter, QString& head);

// ---- Day-number dates ------------------------------------------------------

using TDayNumber = uint16_t;        // days since 1 January 1900 (day 0, a Monday)
constexpr TDayNumber InvalidDayNumber = 0xFFFF;
constexpr TDayNumber LastDayNumber = 65378; // 31 December 2078

TDayNumber DayNumberFromDMY(int day, int month, int year);
void DMYFromDayNumber(TDayNumber n, int& day, int& month, int& year);
int DayNumberWeekday(TDayNumber n);                 // 0 Sunday .. 6, 7 invalid
int WeekdayOfDMY(int day, int month, int year);
bool LeapYear(int year);
int MonthDays(int month, int year);
bool IsValidDMY(int day, int month, int year);
QString DatePictureText(const QString& picture, int day, int month, int year);
QString TodayPictureText(const QString& picture);
// Month names come from the system locale; tests (or a caller that wants a
// fixed language) may set the locale used for them.
void SetMonthNameLocale(const QLocale& locale);
void ResetMonthNameLocale();
QString MonthNameText(int month);                   // empty outside 1..12
void FillDateField(QString& picture, QChar letter, int value);

// ---- Paths -----------------------------------------------------------------
// Paths use '/' on Linux; '\' is accepted as a separator as well, and ':' keeps
// its meaning after a drive letter. A stored directory ends in the separator.

QString ExtractPathPart(const QString& fileName);
QString FileNamePart(const QString& fileName);
QString FileStemPart(const QString& fileName);
bool FindExtensionDot(const QString& fileName, int& position); // 1-based, 0 when none
QString FileExtensionPart(const QString& fileName);
QString AppendBackslash(const QString& path);       // appends '/' on Linux
bool DriveIsUsable(QChar driveLetter);              // always false on Linux
QString ResolveDirectory(const QString& directory);
