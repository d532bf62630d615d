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
#include "platform/DateTimeValue.h"

#include <QLocale>
#include <cstdint>
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
    static const LocaleFormats& Current();
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
        int year = 0, month = 0, dayOfMonth = 0;
        int length = 0;
        char16_t text[64];
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
        DateTimeValue date = 0;
        char16_t text[64];
    };
    // The same answer as TryParseDateTime.
    bool TryParseDateTime(QStringView text, DateTimeValue& result, DateParseCache& cache) const;

private:
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

} // namespace platform
