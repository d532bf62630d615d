// Day-number dates and the date-picture formatter.
#include "base/ZT_Tools.h"

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

struct TwoDigitYearLimitGuard {
    explicit TwoDigitYearLimitGuard(int limit) : old_(TwoDigitYearLimit) { TwoDigitYearLimit = limit; }
    ~TwoDigitYearLimitGuard() { TwoDigitYearLimit = old_; }
    int old_;
};

struct MonthLocaleGuard {
    explicit MonthLocaleGuard(const QLocale& locale) { SetMonthNameLocale(locale); }
    ~MonthLocaleGuard() { ResetMonthNameLocale(); }
};

} // namespace

TEST(DayNumber, KnownDays)
{
    EXPECT_EQ(DayNumberFromDMY(1, 1, 1900), 0);
    EXPECT_EQ(DayNumberFromDMY(31, 1, 1900), 30);
    EXPECT_EQ(DayNumberFromDMY(1, 2, 1900), 31);
    EXPECT_EQ(DayNumberFromDMY(28, 2, 1900), 58);
    EXPECT_EQ(DayNumberFromDMY(29, 2, 1900), InvalidDayNumber);
    EXPECT_EQ(DayNumberFromDMY(1, 3, 1900), 59);
    EXPECT_EQ(DayNumberFromDMY(1, 1, 2000), 36524);
    EXPECT_NE(DayNumberFromDMY(29, 2, 2000), InvalidDayNumber);
    EXPECT_EQ(DayNumberFromDMY(1, 3, 2000), DayNumberFromDMY(29, 2, 2000) + 1);
    EXPECT_EQ(DayNumberFromDMY(31, 12, 2078), LastDayNumber);
}

TEST(DayNumber, InvalidDates)
{
    EXPECT_EQ(DayNumberFromDMY(1, 1, 2079), InvalidDayNumber);
    EXPECT_EQ(DayNumberFromDMY(31, 12, 1899), InvalidDayNumber);
    EXPECT_EQ(DayNumberFromDMY(31, 4, 2000), InvalidDayNumber);
    EXPECT_EQ(DayNumberFromDMY(0, 1, 2000), InvalidDayNumber);
    EXPECT_EQ(DayNumberFromDMY(1, 0, 2000), InvalidDayNumber);
    EXPECT_EQ(DayNumberFromDMY(1, 13, 2000), InvalidDayNumber);
    EXPECT_EQ(DayNumberFromDMY(29, 2, 2001), InvalidDayNumber);
    EXPECT_EQ(DayNumberFromDMY(-1, 1, 2000), InvalidDayNumber);
    int d = 1, m = 1, y = 1;
    DMYFromDayNumber(InvalidDayNumber, d, m, y);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(y, 0);
}

TEST(DayNumber, TwoDigitYears)
{
    {
        TwoDigitYearLimitGuard guard(1900);
        EXPECT_EQ(DayNumberFromDMY(1, 1, 99), DayNumberFromDMY(1, 1, 1999));
        EXPECT_EQ(DayNumberFromDMY(5, 6, 0), DayNumberFromDMY(5, 6, 1900));
        EXPECT_FALSE(LeapYear(0));
    }
    {
        TwoDigitYearLimitGuard guard(1950);
        EXPECT_EQ(DayNumberFromDMY(1, 1, 49), DayNumberFromDMY(1, 1, 2049));
        EXPECT_EQ(DayNumberFromDMY(1, 1, 50), DayNumberFromDMY(1, 1, 1950));
        EXPECT_TRUE(IsValidDMY(29, 2, 0)); // 2000
        EXPECT_EQ(DatePictureText(QStringLiteral("yyyy"), 1, 1, 24), QStringLiteral("2024"));
    }
}

TEST(DayNumber, RoundTripAndAgreementWithCalendar)
{
    const QDate origin(1900, 1, 1);
    for (int n = 0; n <= LastDayNumber; ++n) {
        int d = 0, m = 0, y = 0;
        DMYFromDayNumber(TDayNumber(n), d, m, y);
        ASSERT_TRUE(IsValidDMY(d, m, y)) << n;
        ASSERT_EQ(DayNumberFromDMY(d, m, y), n) << n;
        ASSERT_EQ(QDate(y, m, d), origin.addDays(n)) << n;
        ASSERT_EQ(DayNumberWeekday(TDayNumber(n)), origin.addDays(n).dayOfWeek() % 7) << n;
    }
}

TEST(DayNumber, Weekdays)
{
    EXPECT_EQ(DayNumberWeekday(0), 1);
    EXPECT_EQ(DayNumberWeekday(6), 0);
    EXPECT_EQ(DayNumberWeekday(InvalidDayNumber), 7);
    EXPECT_EQ(WeekdayOfDMY(7, 4, 2024), 0);
    EXPECT_EQ(WeekdayOfDMY(5, 3, 2024), 2);
    EXPECT_EQ(WeekdayOfDMY(31, 2, 2024), 7);
}

TEST(DayNumber, LeapYearsAndMonthLengths)
{
    EXPECT_FALSE(LeapYear(1900));
    EXPECT_TRUE(LeapYear(2000));
    EXPECT_TRUE(LeapYear(2004));
    EXPECT_FALSE(LeapYear(2001));
    EXPECT_FALSE(LeapYear(2100));
    EXPECT_FALSE(LeapYear(4000));
    EXPECT_EQ(MonthDays(2, 2000), 29);
    EXPECT_EQ(MonthDays(2, 1900), 28);
    EXPECT_EQ(MonthDays(4, 2023), 30);
    EXPECT_EQ(MonthDays(12, 2023), 31);
    EXPECT_EQ(MonthDays(0, 2023), 0);
    EXPECT_EQ(MonthDays(13, 2023), 0);
}

TEST(DatePicture, NumericFields)
{
    EXPECT_EQ(DatePictureText(QStringLiteral("dd.mm.yyyy"), 5, 3, 2024), QStringLiteral("05.03.2024"));
    EXPECT_EQ(DatePictureText(QStringLiteral("d.m.yy"), 5, 3, 2024), QStringLiteral("5.3.24"));
    EXPECT_EQ(DatePictureText(QStringLiteral("DD.MM.YYYY"), 5, 3, 2024), QStringLiteral(" 5. 3.2024"));
    EXPECT_EQ(DatePictureText(QStringLiteral("yyyy-mm-dd"), 31, 12, 2078), QStringLiteral("2078-12-31"));
    // Only the first run of a letter is a field.
    EXPECT_EQ(DatePictureText(QStringLiteral("dd/dd"), 5, 3, 2024), QStringLiteral("05/dd"));
    // A lower-case field wins over an upper-case one of the same letter.
    EXPECT_EQ(DatePictureText(QStringLiteral("DD dd"), 5, 3, 2024), QStringLiteral("DD 05"));
    EXPECT_EQ(DatePictureText(QStringLiteral("Zeit: dd.mm.yyyy"), 5, 3, 2024), QStringLiteral("Zeit: 05.03.2024"));
    // Letters of literal text are fields too when they come first.
    EXPECT_EQ(DatePictureText(QStringLiteral("Kd: dd.mm.yyyy"), 5, 3, 2024), QStringLiteral("K5: dd.03.2024"));
}

TEST(DatePicture, WeekdayNames)
{
    EXPECT_EQ(DatePictureText(QStringLiteral("ww, dd.mm."), 7, 4, 2024), QStringLiteral("So, 07.04."));
    EXPECT_EQ(DatePictureText(QStringLiteral("wwwwwwwwww"), 7, 4, 2024), QStringLiteral("Sonntag   "));
    EXPECT_EQ(DatePictureText(QStringLiteral("WWWWWWWWWW"), 10, 4, 2024), QStringLiteral("Mittwoch  "));
    // An invalid date has no weekday: the field turns blank.
    EXPECT_EQ(DatePictureText(QStringLiteral("[ww]"), 31, 2, 2024), QStringLiteral("[  ]"));
}

TEST(DatePicture, MonthNamesFollowTheLocale)
{
    {
        MonthLocaleGuard guard(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(MonthNameText(3), QStringLiteral("März"));
        EXPECT_EQ(DatePictureText(QStringLiteral("d. nnnnnnnn yyyy"), 5, 3, 2024), QStringLiteral("5. März     2024"));
        EXPECT_EQ(DatePictureText(QStringLiteral("nnn"), 1, 9, 2024), QStringLiteral("Sep"));
    }
    {
        MonthLocaleGuard guard(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_EQ(DatePictureText(QStringLiteral("nnnnn"), 5, 3, 2024), QStringLiteral("March"));
    }
    EXPECT_EQ(MonthNameText(0), QString());
    EXPECT_EQ(MonthNameText(13), QString());
}

// Month names are the names of the months themselves (nominative), not the
// forms a language uses inside a full date.
TEST(DatePicture, MonthNamesAreTheNamesOfTheMonthsThemselves)
{
    MonthLocaleGuard guard(QLocale(QLocale::Polish, QLocale::Poland));
    EXPECT_EQ(MonthNameText(1), QStringLiteral("stycze\u0144"));
}

TEST(DatePicture, CutTo20Characters)
{
    // The last year place lies beyond character 20 and is cut off before filling.
    EXPECT_EQ(DatePictureText(QStringLiteral("Zeit:      dd.mm.yyyy"), 5, 3, 2024),
              QStringLiteral("Zeit:      05.03.024"));
    QString picture = QStringLiteral("abc");
    FillDateField(picture, u'd', 5);
    EXPECT_EQ(picture, QStringLiteral("abc"));
}

TEST(DatePicture, TodayUsesTheSystemDate)
{
    const QDate before = QDate::currentDate();
    const QString text = TodayPictureText(QStringLiteral("dd.mm.yyyy"));
    const QDate after = QDate::currentDate();
    EXPECT_TRUE(text == before.toString(QStringLiteral("dd.MM.yyyy"))
                || text == after.toString(QStringLiteral("dd.MM.yyyy")))
        << text.toStdString();
}
