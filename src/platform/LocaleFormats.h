#pragma once
// The platform's short date and long time formats. They are built once from
// the system locale (a German locale gives "dd.MM.yyyy" and "HH:mm:ss"; other
// locales give their own short date and long time formats) and can be set
// explicitly, which tests do.
//
// Patterns use Qt's letters: d dd ddd dddd, M MM MMM MMMM, yy yyyy, h hh H HH,
// m mm, s ss, z zzz, AP ap A a, quoted literals. A time-zone letter t is left
// out. Years are always written with four digits.
//
// Reading goes through a parser compiled once from the formats: it takes the
// order of day, month and year and the separators from the formats and reads
// the numbers leniently (one or two digits for day and month, up to four for
// the year), optionally followed by a time "h:mm" or "h:mm:ss" with an AM/PM
// marker. A year of one or two digits below 80 is 20yy, else 19yy. It is
// called for every data line of an archive, so it allocates nothing.
#include "platform/CharCopy.h"
#include "platform/DateTimeValue.h"

#include <QLocale>
#include <cstdint>
#include <cstring>
#include <string>
#include <QString>
#include <QStringView>
#include <vector>

namespace platform {

class LocaleFormats {
public:
    // Formats as given; names (months, weekdays, AM/PM) come from locale.
    LocaleFormats(const QString& shortDateFormat, const QString& longTimeFormat,
                  const QLocale& locale = QLocale::c());

    // The formats a locale offers (German locales: "dd.MM.yyyy", "HH:mm:ss").
    static LocaleFormats FromLocale(const QLocale& locale);

    // The formats in use: built once from QLocale::system() on first use,
    // unless SetCurrent replaced them.
    static const LocaleFormats& Current()
    {
        // Asked for every data line of an archive: one load once built.
        const LocaleFormats* current = current_;
        return current != nullptr ? *current : BuildCurrent();
    }
    static void SetCurrent(const LocaleFormats& formats);
    // Back to the system's formats.
    static void ResetCurrent();

    const QString& ShortDateFormat() const { return shortDate_; }
    const QString& LongTimeFormat() const { return longTime_; }
    QChar DateSeparator() const { return dateSep_; }
    QChar TimeSeparator() const { return timeSep_; }

    QString FormatDate(DateTimeValue value) const;
    QString FormatTime(DateTimeValue value) const;
    // Date, a blank and the time; the time is shown at midnight as well.
    QString FormatDateTime(DateTimeValue value) const;

    // The date part of the day formatted last, for a caller that formats
    // many time stamps in a row (most of them of the same day). Reset it
    // (assign a new one) whenever the formats may have changed.
    struct DateTextCache {
        int64_t day = INT64_MIN;   // day of the text held; INT64_MIN none
        int64_t dayBegin = 0;      // its first millisecond (day times a day's milliseconds)
        int year = 0, month = 0, dayOfMonth = 0;
        int length = 0;
        char16_t text[64] = {};
    };
    // The same texts as FormatDate and FormatDateTime.
    QString FormatDate(DateTimeValue value, DateTextCache& cache) const;
    QString FormatDateTime(DateTimeValue value, DateTextCache& cache) const;
    // The same texts written into buf (room for DateTextCapacity characters);
    // the answer is their length, or -1 when the formats hold names or
    // markers (then the functions above give the text).
    static constexpr int DateTextCapacity = 64;
    int FormatDateTo(DateTimeValue value, DateTextCache& cache, char16_t* buf) const;
    int FormatDateTimeTo(DateTimeValue value, DateTextCache& cache, char16_t* buf) const;

    // Reads a date with an optional time. False when the text does not follow
    // the formats or names no existing date or time.
    bool TryParseDateTime(QStringView text, DateTimeValue& result) const;
    // The length of the date, or date and time, that text starts with as
    // the formats read it (blanks before it counted, blanks behind it not);
    // 0 when text starts with no date. A cut of a short string that holds
    // a date-time is made no earlier than there, so a time is never cut off
    // its "AM" or "PM" and a date never loses its year.
    qsizetype LeadingDateTimeLength(QStringView text) const;
    // text cut to capacity characters, unless that would cut inside the
    // date-time it starts with: then cut right behind that.
    QString CutBehindDateTime(const QString& text, qsizetype capacity) const;
    // As TryParseDateTime; 0 when the text cannot be read.
    DateTimeValue ParseDateTime(QStringView text) const;

    // The date part of the text read last, for a caller that reads many
    // texts in a row (most of them of the same day). The reading of the date
    // looks at no character behind the first one after it; a text that
    // agrees with the held one up to and including that character has the
    // same date and the time is read from there on. Belongs to the formats
    // it was filled by (and their copies).
    struct DateParseCache {
        uint64_t formats = 0;   // identity of the formats; 0 none held
        int length = 0;         // characters held: the date part and the one after it
        qsizetype timePos = 0;  // where the reading of the time starts
        // The formats' time is "HH:mm:ss" and the last character held is a
        // blank: a time of eight characters to the end is read by position.
        bool plainTime = false;
        DateTimeValue date = 0;
        char16_t text[64];
    };
    // The same answer as TryParseDateTime.
    bool TryParseDateTime(QStringView text, DateTimeValue& result, DateParseCache& cache) const;
    // The common case of the above alone, for a caller that reads the
    // stamps of a whole archive: a text of the held date with "HH:mm:ss" to
    // its end. True with the answer of TryParseDateTime; false when the text
    // is no such case, or names no time (TryParseDateTime tells then).
    bool TryParseHeldDayStamp(QStringView text, DateTimeValue& result, const DateParseCache& cache) const;

private:
    static const LocaleFormats& BuildCurrent();
    static inline const LocaleFormats* current_ = nullptr;   // the formats in use, once built

    enum class Tok : unsigned char {
        Literal, Day, Day2, DayName, DayLongName, Month, Month2, MonthName, MonthLongName,
        Year, Hour24, Hour24_2, Hour12, Hour12_2, Minute, Minute2, Second, Second2,
        MSec, MSec3, AmPmUpper, AmPmLower
    };
    struct Token {
        Tok kind;
        QString text;   // literal text
    };
    enum class Order : unsigned char { DMY, MDY, YMD };

    static std::vector<Token> Compile(const QString& pattern);
    void AppendFormatted(QString& out, const std::vector<Token>& tokens, DateTimeValue value) const;
    // As AppendFormatted into buf from index n (capacity characters) for
    // formats of numbers and literals only; false for any other format.
    struct DateTimeParts {
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    };
    bool AppendNumericTo(char16_t* buf, int& n, int capacity, const std::vector<Token>& tokens,
                         const DateTimeParts& parts) const;
    bool MatchAmPm(QStringView text, qsizetype& pos, int& ampm) const;
    // The two halves of TryParseDateTime: the date (pos: where it ends) and
    // the optional time behind it.
    bool TryParseDatePart(QStringView text, qsizetype& pos, DateTimeValue& date) const;
    bool TryParseTimePart(QStringView text, qsizetype pos, DateTimeValue date, DateTimeValue& result) const;
    // Brings the cache to the day of value (day: its milliseconds since
    // 30.12.1899 divided by a day, rounded down); false when the date
    // format is not numeric.
    bool FillDateCache(DateTimeValue value, int64_t day, DateTextCache& cache) const;
    // FormatDateTimeTo for another day than the held one, or a time format
    // other than "HH:mm:ss".
    int FormatDateTimeToGeneral(int64_t ms, DateTimeValue value, DateTextCache& cache, char16_t* buf) const;
    // TryParseDateTime with the cache for a text not read by position.
    bool TryParseDateTimeGeneral(QStringView text, DateTimeValue& result, DateParseCache& cache) const;

    QString shortDate_;
    QString longTime_;
    QLocale locale_;
    std::vector<Token> dateTokens_;
    std::vector<Token> timeTokens_;
    Order order_ = Order::DMY;
    QChar dateSep_ = QLatin1Char('.');
    QChar timeSep_ = QLatin1Char(':');
    // The time format is "HH", separator, "mm", separator, "ss": time stamps
    // are read and written by position.
    bool plainTime_ = false;
    uint64_t timeLow_[2] = {0, 0};
    uint64_t timeAdd_[2] = {0, 0};
    QString amText_;
    QString pmText_;
    uint64_t identity_ = 0;   // new for every set of formats built, kept by copies
};

// Sets the formats in use for the lifetime of the object (tests).
class ScopedLocaleFormats {
public:
    explicit ScopedLocaleFormats(const LocaleFormats& formats);
    ~ScopedLocaleFormats();
    ScopedLocaleFormats(const ScopedLocaleFormats&) = delete;
    ScopedLocaleFormats& operator=(const ScopedLocaleFormats&) = delete;
private:
    LocaleFormats previous_;
};

// Time stamps are read and written for every line of an archive and every
// row of a table: the common case of the two routines below is done inline,
// everything else by the general way in LocaleFormats.cpp.
namespace detail {

// "00" to "99", two characters each.
struct TwoDigitTable {
    char16_t chars[200];
    constexpr TwoDigitTable() : chars()
    {
        for (int v = 0; v < 100; ++v) {
            chars[2 * v] = char16_t(u'0' + v / 10);
            chars[2 * v + 1] = char16_t(u'0' + v % 10);
        }
    }
};
inline constexpr TwoDigitTable TwoDigits;

inline void PutTwoDigits(char16_t* out, unsigned value)
{
    std::memcpy(out, TwoDigits.chars + 2 * value, 2 * sizeof(char16_t));
}

// The number of two digit characters.
inline unsigned TwoDigitValue(const char16_t* p)
{
    // (a + b * 2^16) * (1 + 10 * 2^16) holds 10a + b in its upper half.
    uint32_t pair;
    std::memcpy(&pair, p, sizeof pair);
    return ((pair - 0x00300030u) * 0x000A0001u) >> 16;
}

// Whether the first count characters of a and b agree; a date part and the
// character after it are some 8 to 16 characters, compared here as the first
// eight and the last eight.
inline bool SameChars(const char16_t* a, const char16_t* b, std::size_t count)
{
    if (count >= 8 && count <= 16) {
        uint64_t a0, a1, a2, a3, b0, b1, b2, b3;
        std::memcpy(&a0, a, 8);
        std::memcpy(&a1, a + 4, 8);
        std::memcpy(&a2, a + count - 8, 8);
        std::memcpy(&a3, a + count - 4, 8);
        std::memcpy(&b0, b, 8);
        std::memcpy(&b1, b + 4, 8);
        std::memcpy(&b2, b + count - 8, 8);
        std::memcpy(&b3, b + count - 4, 8);
        return ((a0 ^ b0) | (a1 ^ b1) | (a2 ^ b2) | (a3 ^ b3)) == 0;
    }
    return std::char_traits<char16_t>::compare(a, b, count) == 0;
}

// A blank and "HH:mm:ss" of rest milliseconds into the day, by position, as
// the compiled formats write them (nine characters).
inline void PutPlainTime(char16_t* t, unsigned rest, char16_t sep)
{
    const unsigned seconds = rest / 1000;
    const unsigned hour = seconds / 3600;
    const unsigned minutes = seconds / 60;
    t[0] = u' ';
    PutTwoDigits(t + 1, hour);
    t[3] = sep;
    PutTwoDigits(t + 4, minutes - hour * 60);
    t[6] = sep;
    PutTwoDigits(t + 7, seconds - minutes * 60);
}

} // namespace detail

inline int LocaleFormats::FormatDateTimeTo(DateTimeValue value, DateTextCache& cache, char16_t* buf) const
{
    const int64_t ms = ToMSecs(value);
    // Within the held day (unsigned: a time before it wraps far beyond).
    const uint64_t rest = uint64_t(ms) - uint64_t(cache.dayBegin);
    const int n = cache.length;
    if (rest >= uint64_t(MSecsPerDay) || cache.day == INT64_MIN || !plainTime_ || n > 16)
        return FormatDateTimeToGeneral(ms, value, cache, buf);
    // Both have room for 64 characters: the date is moved as a block of 16,
    // the time overwriting what lies behind it.
    std::memcpy(buf, cache.text, 16 * sizeof(char16_t));
    detail::PutPlainTime(buf + n, unsigned(rest), timeSep_.unicode());
    return n + 9;
}

inline bool LocaleFormats::TryParseHeldDayStamp(QStringView text, DateTimeValue& result,
                                                const DateParseCache& cache) const
{
    // A time stamp of the held day with "06:15:00" to the end behind the
    // held blank (which ends the blanks) is read by position, as
    // TryParseTimePart reads it.
    const qsizetype held = cache.length;
    const char16_t* chars = reinterpret_cast<const char16_t*>(text.utf16());
    if (!cache.plainTime || text.size() != held + 8 || cache.formats != identity_
        || !detail::SameChars(chars, cache.text, std::size_t(held)))
        return false;
    // The eight characters as two words of four: a digit up to 2, a digit,
    // the separator, a digit up to 5; a digit, the separator, a digit up to
    // 5, a digit (other digits name no time). Every character c lies in its
    // range [lo, hi] exactly when neither c, c + 0x7FFF - hi nor c - lo has
    // its top bit set; a carry or borrow out of a character that fails
    // spoils only the characters after it.
    const char16_t* t = chars + held;
    uint64_t w0, w1;
    std::memcpy(&w0, t, 8);
    std::memcpy(&w1, t + 4, 8);
    if (((w0 | (w0 + timeAdd_[0]) | (w0 - timeLow_[0]) | w1 | (w1 + timeAdd_[1]) | (w1 - timeLow_[1]))
         & 0x8000800080008000ull) != 0)
        return false;
    const unsigned hour = detail::TwoDigitValue(t);
    if (hour > 23)
        return false;
    const unsigned secs = (hour * 60 + detail::TwoDigitValue(t + 3)) * 60 + detail::TwoDigitValue(t + 6);
    result = ComposeDateTime(cache.date, double(int(secs * 1000)) / double(MSecsPerDay));
    return true;
}

inline bool LocaleFormats::TryParseDateTime(QStringView text, DateTimeValue& result, DateParseCache& cache) const
{
    // What the short way leaves, the general way answers (a text the short
    // way refuses as well).
    return TryParseHeldDayStamp(text, result, cache) || TryParseDateTimeGeneral(text, result, cache);
}

} // namespace platform
