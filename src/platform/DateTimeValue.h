#pragma once
// The program's date-time value: a double of days since 30 December 1899, the
// fraction being the time of day. Values below 0 count the days backwards while
// the fraction still runs forwards from midnight (-1.25 is 29.12.1899 06:00).
//
// Keys and comparisons on whole seconds are done on integer seconds
// (ToWholeSeconds), never on the double itself.
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <cstdint>

namespace platform {

using DateTimeValue = double;

constexpr int64_t SecondsPerDay = 86400;
constexpr int64_t MSecsPerDay = 86400000;

// Days of a calendar date (years 1..9999). False when the date does not exist.
bool TryEncodeDate(int year, int month, int day, DateTimeValue& result);
// As TryEncodeDate; 0 when the date does not exist.
DateTimeValue EncodeDate(int year, int month, int day);

// Fraction of a day for a time (hour 0..23, minute and second 0..59,
// milliseconds 0..999). False when a part is out of range.
bool TryEncodeTime(int hour, int minute, int second, int msec, DateTimeValue& result);
// As TryEncodeTime; 0 when a part is out of range.
DateTimeValue EncodeTime(int hour, int minute, int second, int msec = 0);

// Date plus time of day, minding the backwards count below 0.
inline DateTimeValue ComposeDateTime(DateTimeValue date, DateTimeValue time)
{
    return date < 0 ? date - std::fabs(time) : date + std::fabs(time);
}

// Parts of a value, rounded to the nearest millisecond (23:59:59.9996 is the
// next day's midnight).
void DecodeDateTime(DateTimeValue value, int& year, int& month, int& day,
                    int& hour, int& minute, int& second, int& msec);
void DecodeDate(DateTimeValue value, int& year, int& month, int& day);
void DecodeTime(DateTimeValue value, int& hour, int& minute, int& second, int& msec);

// Weekday of a value: 0 Sunday .. 6 Saturday.
int DayOfWeek(DateTimeValue value);

namespace detail {

// The conversions to milliseconds and whole seconds are made for every line
// of an archive and every row of a table. For the values of real dates (far
// below 10^9 days) they are done inline and without calls of the C library,
// with the same answers as the general way: the cut to the whole days by a
// conversion to an integer (exact there), and the rounding of the fraction's
// units by adding and taking away 2^52, which rounds a number below 2^52 to
// an integer in the current rounding mode, as nearbyint does.
constexpr double FastRangeDays = 1.0e9;

inline int64_t RoundedUnitsBelow2p52(double units)
{
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2_MATH__)
    // The barriers keep the product from being fused with the addition and
    // the addition from being folded away.
    __asm__("" : "+x"(units));
    double shifted = units + 4503599627370496.0;
    __asm__("" : "+x"(shifted));
    return int64_t(shifted - 4503599627370496.0);
#else
    return int64_t(std::nearbyint(units));
#endif
}

inline int64_t WholeUnits(DateTimeValue value, int64_t unitsPerDay)
{
    const int64_t days = int64_t(value);
    const double fraction = std::fabs(value - double(days)) * double(unitsPerDay);
    return days * unitsPerDay + RoundedUnitsBelow2p52(fraction);
}

// The general way, for any value: by trunc and nearbyint.
int64_t ToMSecsGeneral(DateTimeValue value);
int64_t ToWholeSecondsGeneral(DateTimeValue value);

} // namespace detail

// Milliseconds and whole seconds since 30.12.1899 00:00, rounded to the nearest
// (ties to even), and back.
inline int64_t ToMSecs(DateTimeValue value)
{
    return std::fabs(value) < detail::FastRangeDays ? detail::WholeUnits(value, MSecsPerDay)
                                                    : detail::ToMSecsGeneral(value);
}

inline int64_t ToWholeSeconds(DateTimeValue value)
{
    return std::fabs(value) < detail::FastRangeDays ? detail::WholeUnits(value, SecondsPerDay)
                                                    : detail::ToWholeSecondsGeneral(value);
}

DateTimeValue FromMSecs(int64_t msecs);
DateTimeValue FromWholeSeconds(int64_t seconds);

// Conversions to and from Qt. The wall-clock fields are kept as they are; no
// time-zone arithmetic is done.
QDate ToQDate(DateTimeValue value);
QTime ToQTime(DateTimeValue value);
QDateTime ToQDateTime(DateTimeValue value);   // local time
DateTimeValue FromQDate(QDate date);           // 0 for an invalid date
DateTimeValue FromQTime(QTime time);           // 0 for an invalid time
DateTimeValue FromQDateTime(const QDateTime& dateTime);

// The current local date and time.
DateTimeValue Now();

} // namespace platform
