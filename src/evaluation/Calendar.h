#pragma once
// Plain routines that classify calendar days: the instants of the equinoxes
// and solstices, Easter Sunday, a code for the public holidays and notable days
// of a date in one of the sixteen German states, days the user has marked, and
// the working-day test built from them.
//
// Dates are the program's date-time values: days since 30 December 1899, the
// fraction being the time of day. Below 0 the days count backwards while the
// fraction still runs forwards from midnight (-1.25 is 29.12.1899 06:00).
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

// Raised by SeasonStart for years outside -1000..3000, and passed on by the
// routines that need the season instants.
class E_OutOfAlgorithRange : public std::runtime_error {
public:
    E_OutOfAlgorithRange();
};

// The holiday calendar: the state whose regional holidays apply and the days
// the user has marked. Marks exist for the years 1980..2080, with 31 slots in
// every month (31 February is a slot like any other).
struct THolidayCalendar {
    static constexpr int FirstMarkYear = 1980;
    static constexpr int LastMarkYear = 2080;
    static constexpr std::size_t MarkSlots =
        static_cast<std::size_t>(LastMarkYear - FirstMarkYear + 1) * 12 * 31;

    // Index of the state, 0..15 in alphabetical order of the German states
    // (0 Baden-Württemberg .. 15 Thüringen).
    uint8_t Bundesland = 0;
    std::bitset<MarkSlots> Marks;

    // True when year, month and day name a slot of Marks.
    static bool IsMarkSlot(int year, int month, int day);
    // Slot of a day; only for days for which IsMarkSlot holds.
    static std::size_t MarkSlot(int year, int month, int day);
    // Sets or clears the mark of a day; days outside the table are ignored.
    void SetMark(int year, int month, int day, bool marked);
};

// The non-visual side of the holiday form: the period strip consults its
// calendar when one is attached.
struct THolidayForm {
    THolidayCalendar Kalender;
};

// The holiday form the period strip would consult; nothing in this program
// creates one, so it stays null and the strip colours Sundays only.
extern THolidayForm* Feiertags_Form;

// Season numbers of SeasonStart.
constexpr uint8_t SeasonDecemberSolstice = 0;
constexpr uint8_t SeasonMarchEquinox = 1;
constexpr uint8_t SeasonJuneSolstice = 2;
constexpr uint8_t SeasonSeptemberEquinox = 3;

// Instant of an equinox or solstice (season 0 December solstice, 1 March
// equinox, 2 June solstice, 3 September equinox), in dynamical time, from the
// mean-instant polynomials and the periodic terms of Meeus, "Astronomical
// Algorithms", chapter 27; within about a minute of the exact instant for
// 1951..2050. Raises E_OutOfAlgorithRange outside the years -1000..3000;
// a season number above 3 gives 0.
double SeasonStart(int32_t year, uint8_t season);

// Day of the year 1..366 of a date-time; 0 when it names no date of the years
// 1..9999.
uint16_t DayOfYearOf(double dateTime);

// Easter Sunday of a year (Gauss's rule with the constants of the year's
// century); 0 for a year outside 1..9999.
double EasterSunday(uint16_t year);

// Code of a day for the calendar's state: 1..19 public holidays (a day off),
// negative codes notable days that are worked, 0 an ordinary day. Raises
// E_OutOfAlgorithRange for years after 3000 and for values that name no date.
int32_t HolidayCode(const THolidayCalendar& calendar, double dateTime);

// True when the user has marked the day; false outside 1980..2080, months
// 1..12 and days 1..31.
bool IsMarkedDay(const THolidayCalendar& calendar, int32_t year, int32_t month, int32_t day);

// Working day: Monday..Friday and no public holiday; a marked day is the
// other way round (a marked working day is free, a marked free day worked).
// Passes on E_OutOfAlgorithRange from HolidayCode.
bool IsWorkday(const THolidayCalendar& calendar, double dateTime);
bool IsWorkday(const THolidayForm& form, double dateTime);

// Julian day of a date-time; 0 for dates before 15 October 1582.
long double JulianDayOfDateTime(double dateTime);
// Date-time of a Julian day; 0 for Julian days before 2299160.5
// (15 October 1582 00:00).
double DateTimeOfJulianDay(long double julianDay);

// An angle reduced to 0 <= a < 360 degrees, and the cosine of an angle in degrees.
double NormalizeDegrees(double degrees);
double CosDegrees(double degrees);
