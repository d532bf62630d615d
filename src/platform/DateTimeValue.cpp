#include "platform/DateTimeValue.h"

#include <cmath>

namespace platform {

namespace {

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's
// algorithm: exact for every year, no tables).
constexpr int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    year = int(yoe + era * 400 + (m <= 2 ? 1 : 0));
    month = int(m);
    day = int(d);
}

constexpr int64_t kEpoch = DaysFromCivil(1899, 12, 30);
static_assert(kEpoch == -25569);

constexpr int64_t FloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

bool IsLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Milliseconds of a value split into its day and its time of day.
int64_t RoundedFractionUnits(DateTimeValue value, double unitsPerDay, int64_t& days)
{
    const double whole = std::trunc(value);
    days = int64_t(whole);
    return int64_t(std::nearbyint(std::fabs(value - whole) * unitsPerDay));
}

} // namespace

bool TryEncodeDate(int year, int month, int day, DateTimeValue& result)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    result = double(DaysFromCivil(year, month, day) - kEpoch);
    return true;
}

DateTimeValue EncodeDate(int year, int month, int day)
{
    DateTimeValue v = 0;
    return TryEncodeDate(year, month, day, v) ? v : 0.0;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, DateTimeValue& result)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    result = double(((hour * 60 + minute) * 60 + second) * 1000 + msec) / double(MSecsPerDay);
    return true;
}

DateTimeValue EncodeTime(int hour, int minute, int second, int msec)
{
    DateTimeValue v = 0;
    return TryEncodeTime(hour, minute, second, msec, v) ? v : 0.0;
}

int64_t detail::ToMSecsGeneral(DateTimeValue value)
{
    int64_t days = 0;
    const int64_t ms = RoundedFractionUnits(value, double(MSecsPerDay), days);
    return days * MSecsPerDay + ms;
}

int64_t detail::ToWholeSecondsGeneral(DateTimeValue value)
{
    int64_t days = 0;
    const int64_t s = RoundedFractionUnits(value, double(SecondsPerDay), days);
    return days * SecondsPerDay + s;
}

DateTimeValue FromMSecs(int64_t msecs)
{
    const int64_t days = FloorDiv(msecs, MSecsPerDay);
    const double frac = double(msecs - days * MSecsPerDay) / double(MSecsPerDay);
    return days < 0 ? double(days) - frac : double(days) + frac;
}

DateTimeValue FromWholeSeconds(int64_t seconds)
{
    const int64_t days = FloorDiv(seconds, SecondsPerDay);
    const double frac = double(seconds - days * SecondsPerDay) / double(SecondsPerDay);
    return days < 0 ? double(days) - frac : double(days) + frac;
}

void DecodeDateTime(DateTimeValue value, int& year, int& month, int& day,
                    int& hour, int& minute, int& second, int& msec)
{
    const int64_t ms = ToMSecs(value);
    const int64_t days = FloorDiv(ms, MSecsPerDay);
    int64_t rest = ms - days * MSecsPerDay;
    CivilFromDays(days + kEpoch, year, month, day);
    msec = int(rest % 1000);
    rest /= 1000;
    second = int(rest % 60);
    rest /= 60;
    minute = int(rest % 60);
    hour = int(rest / 60);
}

void DecodeDate(DateTimeValue value, int& year, int& month, int& day)
{
    int h, mi, s, ms;
    DecodeDateTime(value, year, month, day, h, mi, s, ms);
}

void DecodeTime(DateTimeValue value, int& hour, int& minute, int& second, int& msec)
{
    int y, mo, d;
    DecodeDateTime(value, y, mo, d, hour, minute, second, msec);
}

int DayOfWeek(DateTimeValue value)
{
    const int64_t days = FloorDiv(ToMSecs(value), MSecsPerDay);
    // Day 0, 30.12.1899, was a Saturday.
    return int(((days + 6) % 7 + 7) % 7);
}

QDate ToQDate(DateTimeValue value)
{
    int y, m, d;
    DecodeDate(value, y, m, d);
    return QDate(y, m, d);
}

QTime ToQTime(DateTimeValue value)
{
    int h, mi, s, ms;
    DecodeTime(value, h, mi, s, ms);
    return QTime(h, mi, s, ms);
}

QDateTime ToQDateTime(DateTimeValue value)
{
    return QDateTime(ToQDate(value), ToQTime(value));
}

DateTimeValue FromQDate(QDate date)
{
    if (!date.isValid())
        return 0.0;
    return EncodeDate(date.year(), date.month(), date.day());
}

DateTimeValue FromQTime(QTime time)
{
    if (!time.isValid())
        return 0.0;
    return double(time.msecsSinceStartOfDay()) / double(MSecsPerDay);
}

DateTimeValue FromQDateTime(const QDateTime& dateTime)
{
    const QDate date = dateTime.date();
    if (!date.isValid())
        return 0.0;
    DateTimeValue d = 0;
    if (!TryEncodeDate(date.year(), date.month(), date.day(), d))
        return 0.0;
    const QTime time = dateTime.time();
    const int64_t ms = int64_t(d) * MSecsPerDay + (time.isValid() ? time.msecsSinceStartOfDay() : 0);
    return FromMSecs(ms);
}

DateTimeValue Now()
{
    return FromQDateTime(QDateTime::currentDateTime());
}

} // namespace platform
