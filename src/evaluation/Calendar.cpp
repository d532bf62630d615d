#include "evaluation/Calendar.h"

#include <array>
#include <cmath>
#include <initializer_list>

THolidayForm* Feiertags_Form = nullptr;

E_OutOfAlgorithRange::E_OutOfAlgorithRange()
    : std::runtime_error("Out of range of the algorithm")
{
}

namespace {

// Julian day of 30 December 1899 00:00, day 0 of the date-time values.
constexpr long double JulianDayOfDayZero = 2415018.5L;
// First Julian day that has a date-time here: 15 October 1582 00:00, the first
// day of the Gregorian calendar; and its date-time.
constexpr long double FirstJulianDay = 2299160.5L;
constexpr double FirstGregorianDateTime = -115858.0;

// Date-times of 1 January 0001 and of the day after 31 December 9999: the
// values that name a date.
constexpr double FirstDateTime = -693593.0;
constexpr double EndDateTime = 2958466.0;

constexpr double Pi = 3.14159265358979323846;

// Days since 30 December 1899 of a date of the proleptic Gregorian calendar.
int64_t DaySerial(int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    // 719468 days from 1 March 0000 to 1 January 1970, 25569 from 30.12.1899 to 1.1.1970.
    return era * 146097 + dayOfEra - 719468 + 25569;
}

void DateOfSerial(int64_t serial, int& year, int& month, int& day)
{
    const int64_t z = serial - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// The day of a date-time (the whole part, counted towards zero as the values
// are written), or false when the value names no date of the years 1..9999.
bool DaySerialOf(double dateTime, int64_t& serial)
{
    if (!(dateTime > FirstDateTime - 1.0 && dateTime < EndDateTime))
        return false;
    serial = static_cast<int64_t>(std::trunc(dateTime));
    return true;
}

// Days since 30.12.1899 00:00 on a straight time line (-0.75 is 29.12.1899
// 06:00), and back to the written form with its forward-running fraction.
double LinearDaysOf(double dateTime)
{
    if (dateTime >= 0.0)
        return dateTime;
    const double day = std::trunc(dateTime);
    return day + (day - dateTime);
}

double DateTimeOfLinearDays(double days)
{
    if (days >= 0.0)
        return days;
    const double day = std::floor(days);
    return day - (days - day);
}

// Weekday of a day: 1 Sunday .. 7 Saturday. Day 0 was a Saturday.
int SundayBasedWeekday(int64_t serial)
{
    return static_cast<int>(((serial + 6) % 7 + 7) % 7) + 1;
}

// Weekday of a day: 1 Monday .. 7 Sunday.
int MondayBasedWeekday(int64_t serial)
{
    return static_cast<int>(((serial + 5) % 7 + 7) % 7) + 1;
}

// Gauss's Easter rule with the constants of the year's century.
int64_t EasterSerial(int year)
{
    const int a = year % 19;
    const int b = year % 4;
    const int c = year % 7;
    const int k = year / 100;
    const int p = (13 + 8 * k) / 25;
    const int q = k / 4;
    const int m = (15 - p + k - q) % 30;
    const int n = (4 + k - q) % 7;
    const int d = (19 * a + m) % 30;
    const int e = (2 * b + 4 * c + 6 * d + n) % 7;

    int month = 3;
    int day = 22 + d + e;
    if (day > 31) {
        month = 4;
        day = d + e - 9;
        if (day == 26)
            day = 19;
        else if (day == 25 && d == 28 && e == 6 && (11 * m + 11) % 30 < 19)
            day = 18;
    }
    return DaySerial(year, month, day);
}

// Coefficients of the mean instant (Julian ephemeris day) as a polynomial of
// the fourth degree, by season number (0 December solstice, 1 March equinox,
// 2 June solstice, 3 September equinox). Meeus, table 27.A for the years
// -1000..999 (argument year / 1000) and table 27.B for 1000..3000 (argument
// (year - 2000) / 1000).
using Polynomial = std::array<double, 5>;

constexpr std::array<Polynomial, 4> MeanInstantBefore1000 = {{
    {1721414.39987, 365242.88257, -0.00769, -0.00933, -0.00006},
    {1721139.29189, 365242.13740, 0.06134, 0.00111, -0.00071},
    {1721233.25401, 365241.72562, -0.05323, 0.00907, 0.00025},
    {1721325.70455, 365242.49558, -0.11677, -0.00297, 0.00074},
}};

constexpr std::array<Polynomial, 4> MeanInstantFrom1000 = {{
    {2451900.05952, 365242.74049, -0.06223, -0.00823, 0.00032},
    {2451623.80984, 365242.37404, 0.05169, -0.00411, -0.00057},
    {2451716.56767, 365241.62603, 0.00325, 0.00888, -0.00030},
    {2451810.21715, 365242.01767, -0.11575, 0.00337, 0.00078},
}};

// The periodic terms of Meeus, table 27.C: amplitude, phase and rate per
// Julian century, angles in degrees.
struct PeriodicTerm {
    double Amplitude;
    double Phase;
    double Rate;
};

constexpr std::array<PeriodicTerm, 24> PeriodicTerms = {{
    {485, 324.96, 1934.136},
    {203, 337.23, 32964.467},
    {199, 342.08, 20.186},
    {182, 27.85, 445267.112},
    {156, 73.14, 45036.886},
    {136, 171.52, 22518.443},
    {77, 222.54, 65928.934},
    {74, 296.72, 3034.906},
    {70, 243.58, 9037.513},
    {58, 119.81, 33718.147},
    {52, 297.17, 150.678},
    {50, 21.02, 2281.226},
    {45, 247.54, 29929.562},
    {44, 325.15, 31555.956},
    {29, 60.93, 4443.417},
    {18, 155.12, 67555.328},
    {17, 288.79, 4562.452},
    {16, 198.04, 62894.029},
    {14, 199.76, 31436.921},
    {12, 95.39, 14577.848},
    {12, 287.11, 31931.756},
    {12, 320.81, 34777.259},
    {9, 227.73, 1222.114},
    {8, 15.45, 16859.074},
}};

double Evaluate(const Polynomial& coefficients, double y)
{
    double value = 0.0;
    for (auto it = coefficients.rbegin(); it != coefficients.rend(); ++it)
        value = value * y + *it;
    return value;
}

} // namespace

// ---- Marks ------------------------------------------------------------------

bool THolidayCalendar::IsMarkSlot(int year, int month, int day)
{
    return year >= FirstMarkYear && year <= LastMarkYear && month >= 1 && month <= 12
        && day >= 1 && day <= 31;
}

std::size_t THolidayCalendar::MarkSlot(int year, int month, int day)
{
    return (static_cast<std::size_t>(year - FirstMarkYear) * 12
            + static_cast<std::size_t>(month - 1)) * 31
        + static_cast<std::size_t>(day - 1);
}

void THolidayCalendar::SetMark(int year, int month, int day, bool marked)
{
    if (IsMarkSlot(year, month, day))
        Marks.set(MarkSlot(year, month, day), marked);
}

bool IsMarkedDay(const THolidayCalendar& calendar, int32_t year, int32_t month, int32_t day)
{
    if (!THolidayCalendar::IsMarkSlot(year, month, day))
        return false;
    return calendar.Marks.test(THolidayCalendar::MarkSlot(year, month, day));
}

// ---- Angles and Julian days -------------------------------------------------

double NormalizeDegrees(double degrees)
{
    double r = degrees - 360.0 * std::nearbyint(degrees / 360.0);
    // Huge angles lose the precision of the product; fall back to the remainder.
    if (r < -360.0 || r > 360.0)
        r = std::fmod(r, 360.0);
    if (r < 0.0)
        r += 360.0;
    // A tiny negative remainder plus 360 rounds to 360 itself.
    if (r >= 360.0)
        r -= 360.0;
    return r;
}

double CosDegrees(double degrees)
{
    return std::cos(NormalizeDegrees(degrees) * Pi / 180.0);
}

long double JulianDayOfDateTime(double dateTime)
{
    const double days = LinearDaysOf(dateTime);
    if (!(days >= FirstGregorianDateTime) || !std::isfinite(days))
        return 0.0L;
    return static_cast<long double>(days) + JulianDayOfDayZero;
}

double DateTimeOfJulianDay(long double julianDay)
{
    if (!(julianDay >= FirstJulianDay) || !std::isfinite(julianDay))
        return 0.0;
    return DateTimeOfLinearDays(static_cast<double>(julianDay - JulianDayOfDayZero));
}

// ---- Seasons ------------------------------------------------------------------

double SeasonStart(int32_t year, uint8_t season)
{
    const Polynomial* row = nullptr;
    double y = 0.0;
    if (year >= -1000 && year <= 999) {
        y = year / 1000.0;
        row = season <= 3 ? &MeanInstantBefore1000[season] : nullptr;
    } else if (year >= 1000 && year <= 3000) {
        y = (year - 2000) / 1000.0;
        row = season <= 3 ? &MeanInstantFrom1000[season] : nullptr;
    } else {
        throw E_OutOfAlgorithRange();
    }
    // No such season: the mean instant would be day 0 of the Julian count,
    // which has no date-time.
    if (!row)
        return 0.0;

    const double jde0 = Evaluate(*row, y);
    const double t = (jde0 - 2451545.0) / 36525.0;
    const double w = 35999.373 * t - 2.47;
    const double deltaLambda = 1.0 + 0.0334 * CosDegrees(w) + 0.0007 * CosDegrees(2.0 * w);
    double s = 0.0;
    for (const PeriodicTerm& term : PeriodicTerms)
        s += term.Amplitude * CosDegrees(term.Phase + term.Rate * t);
    const double jde = jde0 + 0.00001 * s / deltaLambda;
    // The instant is a count of days, so it is converted straight; the cut-off of
    // DateTimeOfJulianDay at the Gregorian reform would turn every season of the
    // years before 1583 into 30.12.1899.
    return DateTimeOfLinearDays(static_cast<double>(jde - JulianDayOfDayZero));
}

// ---- Days ---------------------------------------------------------------------

uint16_t DayOfYearOf(double dateTime)
{
    int64_t serial = 0;
    if (!DaySerialOf(dateTime, serial))
        return 0;
    int year = 0, month = 0, day = 0;
    DateOfSerial(serial, year, month, day);
    return static_cast<uint16_t>(serial - DaySerial(year, 1, 1) + 1);
}

double EasterSunday(uint16_t year)
{
    if (year < 1 || year > 9999)
        return 0.0;
    return static_cast<double>(EasterSerial(year));
}

int32_t HolidayCode(const THolidayCalendar& calendar, double dateTime)
{
    int64_t day = 0;
    if (!DaySerialOf(dateTime, day))
        throw E_OutOfAlgorithRange();
    int y = 0, month = 0, dayOfMonth = 0;
    DateOfSerial(day, y, month, dayOfMonth);

    // The season instants first: for years past the algorithm's range the
    // whole code fails, whatever the day.
    std::array<int64_t, 4> seasonDays{};
    for (uint8_t season = 0; season < 4; ++season) {
        int64_t serial = 0;
        DaySerialOf(SeasonStart(y, season), serial);
        seasonDays[season] = serial;
    }

    const int64_t easter = EasterSerial(y);
    const int64_t christmas = DaySerial(y, 12, 25);
    // The last Sunday before Christmas, 18..24 December.
    const int64_t fourthAdvent = christmas - MondayBasedWeekday(christmas);
    // Carnival Monday: the Monday on or before the Thursday E - 45.
    const int64_t carnivalMonday = easter - 48;
    const int64_t lastOfApril = DaySerial(y, 4, 30);
    int64_t mothersDay = lastOfApril - (SundayBasedWeekday(lastOfApril) - 1) + 14;
    if (mothersDay == easter + 49)
        mothersDay -= 7;
    const int64_t firstOfOctober = DaySerial(y, 10, 1);
    const int64_t harvestSunday = firstOfOctober + (8 - SundayBasedWeekday(firstOfOctober)) % 7;

    const auto date = [y](int m, int d) { return DaySerial(y, m, d); };
    const int state = calendar.Bundesland;
    const auto inStates = [state](std::initializer_list<int> states) {
        for (int s : states)
            if (s == state)
                return true;
        return false;
    };

    // Every rule that matches sets the code, so a later rule wins over an earlier.
    int32_t code = 0;
    const auto rule = [day, &code](int64_t ruleDay, int32_t ruleCode) {
        if (ruleDay == day)
            code = ruleCode;
    };

    rule(date(2, 2), -1);
    rule(date(2, 14), -2);
    rule(carnivalMonday - 4, -3);
    rule(carnivalMonday, -4);
    rule(carnivalMonday + 1, -5);
    rule(carnivalMonday + 2, -6);
    rule(date(3, 25), -7);
    rule(easter - 7, -8);
    rule(easter - 3, -9);
    rule(mothersDay, -10);
    rule(date(6, 29), -11);
    rule(date(9, 8), -12);
    rule(harvestSunday, -13);
    rule(date(12, 8), -14);
    rule(date(12, 31), -15);
    rule(fourthAdvent - 21, -16);
    rule(fourthAdvent - 14, -17);
    rule(fourthAdvent - 7, -18);
    rule(fourthAdvent, -19);
    rule(date(12, 24), -20);
    rule(seasonDays[SeasonMarchEquinox], -21);
    rule(seasonDays[SeasonJuneSolstice], -22);
    rule(seasonDays[SeasonSeptemberEquinox], -23);
    rule(seasonDays[SeasonDecemberSolstice], -24);

    rule(date(1, 1), 1);
    rule(date(5, 1), 2);
    rule(date(10, 3), 3);
    rule(date(11, 1), 4);
    rule(fourthAdvent - 28, 5);
    rule(fourthAdvent - 35, 6);
    rule(date(12, 25), 7);
    rule(date(12, 26), 8);
    rule(easter - 2, 9);
    rule(easter, 10);
    rule(easter + 1, 11);
    rule(easter + 39, 12);
    rule(easter + 49, 13);
    rule(easter + 50, 14);
    if (inStates({0, 1, 9, 10, 11, 12, 15}))
        rule(easter + 60, 15);
    if (inStates({0, 1, 13}))
        rule(date(1, 6), 16);
    if (inStates({1, 11}))
        rule(date(8, 15), 17);
    if (inStates({3, 7, 12, 13, 15}))
        rule(date(10, 31), 18);
    if (inStates({12}))
        rule(fourthAdvent - 32, 19);
    return code;
}

bool IsWorkday(const THolidayCalendar& calendar, double dateTime)
{
    int64_t day = 0;
    if (!DaySerialOf(dateTime, day))
        throw E_OutOfAlgorithRange();
    int year = 0, month = 0, dayOfMonth = 0;
    DateOfSerial(day, year, month, dayOfMonth);

    const int weekday = MondayBasedWeekday(day);
    bool workday = weekday <= 5 && HolidayCode(calendar, dateTime) <= 0;
    if (IsMarkedDay(calendar, year, month, dayOfMonth))
        workday = !workday;
    return workday;
}

bool IsWorkday(const THolidayForm& form, double dateTime)
{
    return IsWorkday(form.Kalender, dateTime);
}
