// Calendar routines checked against dates computed independently: Easter by
// the Meeus/Jones/Butcher rule, days through QDate, season instants against
// published values.
#include "evaluation/Calendar.h"

#include <QDate>
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>

namespace {

// Date-time of a date and time of day, computed through QDate's Julian day
// numbers (30.12.1899 is Julian day number 2415019).
double Dt(int year, int month, int day, int hour = 0, int minute = 0)
{
    const QDate date(year, month, day);
    EXPECT_TRUE(date.isValid()) << year << '-' << month << '-' << day;
    const double days = static_cast<double>(date.toJulianDay() - 2415019);
    const double time = (hour * 60 + minute) / 1440.0;
    // Before 30.12.1899 the days count backwards while the time runs forwards.
    return days < 0 ? days - time : days + time;
}

// Days since 30.12.1899 00:00 on a straight time line.
double LinearDays(double dateTime)
{
    if (dateTime >= 0)
        return dateTime;
    const double days = std::trunc(dateTime);
    return days + (days - dateTime);
}

QDate DateOf(double dateTime)
{
    return QDate::fromJulianDay(static_cast<qint64>(std::trunc(dateTime)) + 2415019);
}

// Easter Sunday by the anonymous Gregorian rule of Meeus, Jones and Butcher.
QDate MeeusJonesButcherEaster(int year)
{
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

THolidayCalendar CalendarOfState(uint8_t state)
{
    THolidayCalendar calendar;
    calendar.Bundesland = state;
    return calendar;
}

} // namespace

// ---- Easter -------------------------------------------------------------------

TEST(CalendarEaster, KnownYearsIncludingBothAprilExceptions)
{
    EXPECT_EQ(EasterSunday(1954), Dt(1954, 4, 18)); // 25 April rule
    EXPECT_EQ(EasterSunday(1981), Dt(1981, 4, 19)); // 26 April rule
    EXPECT_EQ(EasterSunday(2000), Dt(2000, 4, 23));
    EXPECT_EQ(EasterSunday(2024), Dt(2024, 3, 31));
    EXPECT_EQ(EasterSunday(2025), Dt(2025, 4, 20));
    EXPECT_EQ(EasterSunday(2008), Dt(2008, 3, 23));
}

TEST(CalendarEaster, OtherCenturiesUseTheirOwnConstants)
{
    // Years where the fixed constants of 1900..2099 would be wrong.
    EXPECT_EQ(EasterSunday(1700), Dt(1700, 4, 11));
    EXPECT_EQ(EasterSunday(1818), Dt(1818, 3, 22));
    EXPECT_EQ(EasterSunday(2106), Dt(2106, 4, 18));
    EXPECT_EQ(EasterSunday(2285), Dt(2285, 3, 22));
    for (int year : {1701, 1750, 1799, 2100, 2101, 2150, 2199})
        EXPECT_EQ(DateOf(EasterSunday(static_cast<uint16_t>(year))), MeeusJonesButcherEaster(year))
            << year;
}

TEST(CalendarEaster, AgreesWithMeeusJonesButcherForEveryYear)
{
    int mismatches = 0;
    for (int year = 1; year <= 9999; ++year) {
        const double easter = EasterSunday(static_cast<uint16_t>(year));
        const QDate expected = MeeusJonesButcherEaster(year);
        if (DateOf(easter) != expected) {
            if (++mismatches < 5)
                ADD_FAILURE() << year << ": " << DateOf(easter).toString(Qt::ISODate).toStdString()
                              << " instead of " << expected.toString(Qt::ISODate).toStdString();
        }
        // Always a Sunday between 22 March and 25 April.
        ASSERT_EQ(DateOf(easter).dayOfWeek(), 7) << year;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(CalendarEaster, YearsWithoutADateGiveZero)
{
    EXPECT_EQ(EasterSunday(0), 0.0);
    EXPECT_EQ(EasterSunday(10000), 0.0);
    EXPECT_EQ(EasterSunday(65535), 0.0);
    EXPECT_EQ(EasterSunday(9999), Dt(9999, 3, 28));
}

// ---- Seasons ------------------------------------------------------------------

TEST(CalendarSeasons, MeeusWorkedExampleJuneSolstice1962)
{
    // Meeus, example 27.a: JDE 2437837.39245 (21 June 1962 21:25:08 TD).
    const double start = SeasonStart(1962, SeasonJuneSolstice);
    EXPECT_NEAR(static_cast<double>(JulianDayOfDateTime(start)), 2437837.39245, 0.00002);
}

TEST(CalendarSeasons, PublishedInstantsOf2000And2024)
{
    // Published instants in universal time. The routine gives dynamical time
    // (TD = UT + ΔT, ΔT about 64 s in 2000 and 69 s in 2024) and its own
    // approximation is good to about a minute; the published values are rounded
    // to the minute.
    struct Case {
        int year;
        uint8_t season;
        int month, day, hour, minute;
        double deltaTSeconds;
    };
    const Case cases[] = {
        {2000, SeasonMarchEquinox, 3, 20, 7, 35, 63.8},
        {2000, SeasonJuneSolstice, 6, 21, 1, 48, 63.8},
        {2000, SeasonSeptemberEquinox, 9, 22, 17, 27, 63.8},
        {2000, SeasonDecemberSolstice, 12, 21, 13, 37, 63.8},
        {2024, SeasonMarchEquinox, 3, 20, 3, 6, 69.2},
        {2024, SeasonJuneSolstice, 6, 20, 20, 51, 69.2},
        {2024, SeasonSeptemberEquinox, 9, 22, 12, 44, 69.2},
        {2024, SeasonDecemberSolstice, 12, 21, 9, 20, 69.2},
    };
    double errorSum = 0.0;
    for (const Case& c : cases) {
        const double td = SeasonStart(c.year, c.season);
        const double ut = td - c.deltaTSeconds / 86400.0;
        const double publishedUt = Dt(c.year, c.month, c.day, c.hour, c.minute);
        const double errorMinutes = (ut - publishedUt) * 1440.0;
        EXPECT_LT(std::fabs(errorMinutes), 1.5)
            << c.year << " season " << int(c.season) << ": " << errorMinutes << " min";
        EXPECT_EQ(DateOf(td), QDate(c.year, c.month, c.day));
        errorSum += errorMinutes;
    }
    // On average the instants sit on the published ones once ΔT is taken off;
    // a result in universal time would lie a minute early throughout.
    EXPECT_LT(std::fabs(errorSum / std::size(cases)), 0.75);
}

TEST(CalendarSeasons, RangeOfTheAlgorithm)
{
    EXPECT_NO_THROW(SeasonStart(3000, SeasonMarchEquinox));
    EXPECT_NO_THROW(SeasonStart(-1000, SeasonMarchEquinox));
    try {
        SeasonStart(3001, SeasonMarchEquinox);
        FAIL() << "no exception for 3001";
    } catch (const E_OutOfAlgorithRange& e) {
        EXPECT_STREQ(e.what(), "Out of range of the algorithm");
    }
    EXPECT_THROW(SeasonStart(-1001, SeasonJuneSolstice), E_OutOfAlgorithRange);
    EXPECT_THROW(SeasonStart(3500, 7), E_OutOfAlgorithRange); // the year is checked first
    EXPECT_EQ(SeasonStart(2000, 4), 0.0);
    EXPECT_EQ(SeasonStart(2000, 255), 0.0);
}

TEST(CalendarSeasons, TablesJoinAtTheYear1000)
{
    // 999 comes from the table of the early years, 1000 from the later one:
    // the same season one tropical year apart.
    for (uint8_t season = 0; season < 4; ++season) {
        const double before = LinearDays(SeasonStart(999, season));
        const double after = LinearDays(SeasonStart(1000, season));
        EXPECT_NEAR(after - before, 365.2422, 0.01) << int(season);
    }
}

TEST(CalendarSeasons, YearsBeforeTheGregorianReformKeepTheirInstant)
{
    // Proleptic Gregorian dates: the March equinox of 1200 fell on 20 or 21 March
    // of that calendar, the December solstice of 1500 on 21 or 22 December.
    const QDate march1200 = DateOf(SeasonStart(1200, SeasonMarchEquinox));
    EXPECT_EQ(march1200.year(), 1200);
    EXPECT_EQ(march1200.month(), 3);
    EXPECT_GE(march1200.day(), 19);
    EXPECT_LE(march1200.day(), 21);
    const QDate december1500 = DateOf(SeasonStart(1500, SeasonDecemberSolstice));
    EXPECT_EQ(december1500.year(), 1500);
    EXPECT_EQ(december1500.month(), 12);
    // Before 30.12.1899 the days count backwards with the time running
    // forwards, so the whole part names the day.
    const double june1850 = SeasonStart(1850, SeasonJuneSolstice);
    EXPECT_EQ(DateOf(june1850), QDate(1850, 6, 21));
}

// ---- Julian days, angles, day of year ----------------------------------------

TEST(CalendarJulianDay, ConversionsAndTheGregorianCutOff)
{
    EXPECT_DOUBLE_EQ(static_cast<double>(JulianDayOfDateTime(Dt(2000, 1, 1, 12))), 2451545.0);
    EXPECT_DOUBLE_EQ(DateTimeOfJulianDay(2451545.0L), Dt(2000, 1, 1, 12));
    EXPECT_DOUBLE_EQ(static_cast<double>(JulianDayOfDateTime(0.0)), 2415018.5);

    // 29.12.1899 06:00 is written -1.25.
    EXPECT_DOUBLE_EQ(static_cast<double>(JulianDayOfDateTime(-1.25)), 2415017.75);
    EXPECT_DOUBLE_EQ(DateTimeOfJulianDay(2415017.75L), -1.25);

    const double reform = Dt(1582, 10, 15);
    EXPECT_DOUBLE_EQ(static_cast<double>(JulianDayOfDateTime(reform)), 2299160.5);
    EXPECT_DOUBLE_EQ(DateTimeOfJulianDay(2299160.5L), reform);
    EXPECT_EQ(JulianDayOfDateTime(Dt(1582, 10, 14, 18)), 0.0L);
    EXPECT_EQ(DateTimeOfJulianDay(2299160.4L), 0.0);
    EXPECT_EQ(DateTimeOfJulianDay(std::numeric_limits<long double>::quiet_NaN()), 0.0);

    for (double t : {Dt(1582, 10, 15, 6), Dt(1899, 12, 29, 18), Dt(1955, 7, 3, 13, 17), Dt(2100, 2, 28, 23, 59)})
        EXPECT_NEAR(DateTimeOfJulianDay(JulianDayOfDateTime(t)), t, 1e-9);
}

TEST(CalendarJulianDay, DegreesAreReducedIntoOneTurn)
{
    EXPECT_DOUBLE_EQ(NormalizeDegrees(-30.0), 330.0);
    EXPECT_DOUBLE_EQ(NormalizeDegrees(725.0), 5.0);
    EXPECT_DOUBLE_EQ(NormalizeDegrees(-725.0), 355.0);
    EXPECT_EQ(NormalizeDegrees(360.0), 0.0);
    EXPECT_EQ(NormalizeDegrees(540.0), 180.0);
    for (double a : {-1e-15, 1e-15 - 360.0, 1e300, -1e300, 445267.112 * 123.4567}) {
        const double r = NormalizeDegrees(a);
        EXPECT_GE(r, 0.0) << a;
        EXPECT_LT(r, 360.0) << a;
    }
    EXPECT_NEAR(CosDegrees(420.0), 0.5, 1e-12);
    EXPECT_NEAR(CosDegrees(-180.0), -1.0, 1e-12);
}

TEST(CalendarDayOfYear, WholeDaysCounted)
{
    EXPECT_EQ(DayOfYearOf(Dt(2024, 12, 31, 18)), 366);
    EXPECT_EQ(DayOfYearOf(Dt(2023, 12, 31, 23, 59)), 365);
    EXPECT_EQ(DayOfYearOf(Dt(2024, 1, 1)), 1);
    EXPECT_EQ(DayOfYearOf(Dt(2024, 3, 1)), 61);
    EXPECT_EQ(DayOfYearOf(Dt(1900, 3, 1)), 60); // 1900 is no leap year
    EXPECT_EQ(DayOfYearOf(-1.25), 363);         // 29.12.1899 06:00
    EXPECT_EQ(DayOfYearOf(-0.5), 364);          // 30.12.1899 12:00
    EXPECT_EQ(DayOfYearOf(Dt(1, 1, 1)), 1);
    EXPECT_EQ(DayOfYearOf(Dt(9999, 12, 31, 12)), 365);
    EXPECT_EQ(DayOfYearOf(Dt(9999, 12, 31) + 1.0), 0);
    EXPECT_EQ(DayOfYearOf(Dt(1, 1, 1) - 1.0), 0);
    EXPECT_EQ(DayOfYearOf(std::numeric_limits<double>::quiet_NaN()), 0);
}

// ---- Holiday codes --------------------------------------------------------------

TEST(CalendarHolidayCode, HolidaysOfAllStates2024)
{
    // Easter 2024 is 31 March; the fourth Advent Sunday 22 December.
    for (uint8_t state = 0; state < 16; ++state) {
        const THolidayCalendar cal = CalendarOfState(state);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 1, 1, 10)), 1);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 5, 1)), 2);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 10, 3)), 3);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 11, 1)), 4);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 11, 24)), 5);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 11, 17)), 6);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 25)), 7);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 26)), 8);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 3, 29)), 9);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 3, 31)), 10);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 4, 1, 23, 59)), 11);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 5, 9)), 12);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 5, 19)), 13);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 5, 20)), 14);
        EXPECT_EQ(HolidayCode(cal, Dt(2024, 7, 15)), 0);
    }
}

TEST(CalendarHolidayCode, RegionalHolidays)
{
    const THolidayCalendar bw = CalendarOfState(0), bavaria = CalendarOfState(1),
                           berlin = CalendarOfState(2), hesse = CalendarOfState(6),
                           saarland = CalendarOfState(11), saxony = CalendarOfState(12),
                           saxonyAnhalt = CalendarOfState(13), thuringia = CalendarOfState(15);
    // Corpus Christi, E + 60: 30 May 2024.
    EXPECT_EQ(HolidayCode(bavaria, Dt(2024, 5, 30)), 15);
    EXPECT_EQ(HolidayCode(saxony, Dt(2024, 5, 30)), 15);
    EXPECT_EQ(HolidayCode(berlin, Dt(2024, 5, 30)), 0);
    EXPECT_EQ(HolidayCode(hesse, Dt(2024, 5, 30)), 0);
    // Epiphany.
    EXPECT_EQ(HolidayCode(bw, Dt(2025, 1, 6)), 16);
    EXPECT_EQ(HolidayCode(saxonyAnhalt, Dt(2025, 1, 6)), 16);
    EXPECT_EQ(HolidayCode(berlin, Dt(2025, 1, 6)), 0);
    // Assumption Day.
    EXPECT_EQ(HolidayCode(saarland, Dt(2024, 8, 15)), 17);
    EXPECT_EQ(HolidayCode(bw, Dt(2024, 8, 15)), 0);
    // Reformation Day.
    EXPECT_EQ(HolidayCode(thuringia, Dt(2024, 10, 31)), 18);
    EXPECT_EQ(HolidayCode(bavaria, Dt(2024, 10, 31)), 0);
    // Repentance Day, the Wednesday 32 days before the fourth Advent Sunday.
    EXPECT_EQ(HolidayCode(saxony, Dt(2024, 11, 20)), 19);
    EXPECT_EQ(HolidayCode(saxony, Dt(2023, 11, 22)), 19);
    EXPECT_EQ(HolidayCode(thuringia, Dt(2024, 11, 20)), 0);
    // A state index beyond the sixteen has no regional holidays.
    const THolidayCalendar none = CalendarOfState(16);
    EXPECT_EQ(HolidayCode(none, Dt(2024, 5, 30)), 0);
    EXPECT_EQ(HolidayCode(none, Dt(2024, 1, 6)), 0);
}

TEST(CalendarHolidayCode, NotableDays2024)
{
    const THolidayCalendar cal = CalendarOfState(9);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 2, 2)), -1);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 2, 8)), -3);  // carnival Thursday
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 2, 12)), -4); // carnival Monday
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 2, 13)), -5);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 2, 14)), -6); // Ash Wednesday wins over 14 February
    EXPECT_EQ(HolidayCode(cal, Dt(2025, 2, 14)), -2);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 3, 25)), -7);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 3, 24)), -8);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 3, 28)), -9);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 5, 12)), -10);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 6, 29)), -11);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 9, 8)), -12);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 10, 6)), -13);
    EXPECT_EQ(HolidayCode(cal, Dt(2025, 12, 8)), -14);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 8)), -17); // second Advent wins over 8 December
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 31)), -15);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 1)), -16);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 15)), -18);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 22)), -19);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 24)), -20);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 3, 20)), -21);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 6, 20)), -22);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 9, 22)), -23);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 21)), -24);
    EXPECT_EQ(HolidayCode(cal, Dt(2024, 12, 7)), 0); // the 8th is -14 only
}

TEST(CalendarHolidayCode, LaterRulesWin)
{
    const THolidayCalendar cal = CalendarOfState(2);
    // Ascension on 1 May 2008 wins over Labour Day.
    EXPECT_EQ(HolidayCode(cal, Dt(2008, 5, 1)), 12);
    // 24 December 2023, a Sunday: Christmas Eve wins over the fourth Advent.
    EXPECT_EQ(HolidayCode(cal, Dt(2023, 12, 24)), -20);
    // 2022: 25 December a Sunday, so the fourth Advent is 18 December.
    EXPECT_EQ(HolidayCode(cal, Dt(2022, 12, 18)), -19);
    EXPECT_EQ(HolidayCode(cal, Dt(2022, 11, 27)), -16);
    EXPECT_EQ(HolidayCode(cal, Dt(2022, 11, 20)), 5);
    // Mother's day 2008 moves to 4 May because 11 May is Whit Sunday.
    EXPECT_EQ(HolidayCode(cal, Dt(2008, 5, 4)), -10);
    EXPECT_EQ(HolidayCode(cal, Dt(2008, 5, 11)), 13);
}

TEST(CalendarHolidayCode, FailsBeyondTheAlgorithm)
{
    const THolidayCalendar cal = CalendarOfState(0);
    EXPECT_THROW(HolidayCode(cal, Dt(3001, 1, 1)), E_OutOfAlgorithRange);
    EXPECT_THROW(HolidayCode(cal, std::numeric_limits<double>::quiet_NaN()), E_OutOfAlgorithRange);
    EXPECT_THROW(HolidayCode(cal, 1e12), E_OutOfAlgorithRange);
    EXPECT_EQ(HolidayCode(cal, Dt(3000, 12, 25)), 7);
    // Before 1900 the negative values still name their own day.
    EXPECT_EQ(HolidayCode(cal, Dt(1899, 12, 25, 18)), 7);
    EXPECT_EQ(HolidayCode(cal, Dt(1800, 4, 13)), 10); // Easter 1800
}

// ---- Marks and working days -------------------------------------------------------

TEST(CalendarMarks, OnlyTheTableRangeCounts)
{
    THolidayCalendar cal;
    cal.SetMark(2024, 2, 31, true);
    EXPECT_TRUE(IsMarkedDay(cal, 2024, 2, 31));
    EXPECT_FALSE(IsMarkedDay(cal, 2024, 3, 2));
    cal.SetMark(1980, 1, 1, true);
    cal.SetMark(2080, 12, 31, true);
    EXPECT_TRUE(IsMarkedDay(cal, 1980, 1, 1));
    EXPECT_TRUE(IsMarkedDay(cal, 2080, 12, 31));
    EXPECT_EQ(cal.Marks.count(), 3u);

    // Slots outside the table are never read, whatever the neighbouring bits.
    cal.Marks.set();
    EXPECT_FALSE(IsMarkedDay(cal, 1979, 12, 31));
    EXPECT_FALSE(IsMarkedDay(cal, 2081, 1, 1));
    EXPECT_FALSE(IsMarkedDay(cal, 2024, 0, 1));
    EXPECT_FALSE(IsMarkedDay(cal, 2024, 13, 1));
    EXPECT_FALSE(IsMarkedDay(cal, 2024, 1, 0));
    EXPECT_FALSE(IsMarkedDay(cal, 2024, 1, 32));
    cal.SetMark(2081, 1, 1, false); // ignored, no slot
    EXPECT_TRUE(cal.Marks.all());
}

TEST(CalendarWorkday, WeekdaysHolidaysAndMarks)
{
    THolidayForm form;
    form.Kalender.Bundesland = 1;
    EXPECT_TRUE(IsWorkday(form, Dt(2024, 7, 15, 9)));  // Monday
    EXPECT_TRUE(IsWorkday(form, Dt(2024, 7, 19)));     // Friday
    EXPECT_FALSE(IsWorkday(form, Dt(2024, 7, 20)));    // Saturday
    EXPECT_FALSE(IsWorkday(form, Dt(2024, 7, 21)));    // Sunday
    EXPECT_FALSE(IsWorkday(form, Dt(2024, 5, 20)));    // Whit Monday
    EXPECT_FALSE(IsWorkday(form, Dt(2024, 5, 30)));    // Corpus Christi in this state
    EXPECT_TRUE(IsWorkday(form, Dt(2024, 2, 12)));     // carnival Monday is worked
    form.Kalender.Bundesland = 2;
    EXPECT_TRUE(IsWorkday(form, Dt(2024, 5, 30)));     // not a holiday here

    // A mark turns the answer round.
    form.Kalender.SetMark(2024, 7, 20, true);           // Saturday
    form.Kalender.SetMark(2024, 12, 25, true);          // Wednesday, Christmas
    form.Kalender.SetMark(2024, 7, 16, true);           // Tuesday
    EXPECT_TRUE(IsWorkday(form, Dt(2024, 7, 20)));
    EXPECT_TRUE(IsWorkday(form, Dt(2024, 12, 25)));
    EXPECT_FALSE(IsWorkday(form, Dt(2024, 7, 16)));
    EXPECT_FALSE(IsWorkday(form, Dt(2024, 12, 26)));

    EXPECT_THROW(IsWorkday(form, Dt(3001, 1, 2)), E_OutOfAlgorithRange);
    EXPECT_EQ(Feiertags_Form, nullptr);
}
