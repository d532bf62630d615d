#pragma once
// Plain routines on texts, numbers, day-number dates and paths that every
// other part of the program uses. None of them raises an error: numbers answer
// -9999, path routines empty parts.
#include <QString>
#include <QStringView>
#include <cstddef>
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
// The common case of ParseRealTrimmed, for a text already trimmed of
// control characters and blanks at both ends (first..last): a sign, 1 to 15
// digits and at most one decimal separator ('.' or ','), nothing else. The
// digits as a whole number divided by an exact power of ten, which is what
// the general way gives too. False, with value untouched, for any other text.
// The value of at most 15 decimal digits: whole divided by
// 10^fractionDigits (0..15). Both are exact, so the quotient is the correctly
// rounded value of the decimal, as from_chars would read it.
inline double DecimalOfDigits(uint64_t whole, std::ptrdiff_t fractionDigits)
{
    static constexpr double Pow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    return fractionDigits > 0 ? double(whole) / Pow10[fractionDigits] : double(whole);
}
inline bool TryParsePlainDecimal(const char16_t* p, const char16_t* last, double& value)
{
    bool negative = false;
    if (p < last && (*p == u'+' || *p == u'-')) {
        negative = *p == u'-';
        ++p;
    }
    // One tight walk: digits into a whole number (unsigned, so that more
    // than 15 digits may wrap before they are refused), the separator's
    // place remembered.
    uint64_t whole = 0;
    const char16_t* const first = p;
    const char16_t* separator = nullptr;
    for (; p < last; ++p) {
        const unsigned digit = unsigned(*p) - unsigned(u'0');
        if (digit < 10) {
            whole = whole * 10 + digit;
        } else if ((*p == u'.' || *p == u',') && separator == nullptr) {
            separator = p;
        } else {
            return false;
        }
    }
    const auto digits = (last - first) - (separator != nullptr ? 1 : 0);
    if (digits <= 0 || digits > 15)
        return false;
    const double v = DecimalOfDigits(whole, separator != nullptr ? last - separator - 1 : 0);
    value = negative ? -v : v;
    return true;
}
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
