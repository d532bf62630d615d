#include "platform/DateTimeValue.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(DateTimeValue, EncodeDateCountsDaysFrom30December1899)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(2004, 3, 14), 38060.0);
    EXPECT_EQ(EncodeDate(2004, 2, 29), 38046.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
}

TEST(DateTimeValue, InvalidDatesAndTimesAreRefused)
{
    DateTimeValue v = 123;
    EXPECT_FALSE(TryEncodeDate(2003, 2, 29, v));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, v));   // 1900 was no leap year
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, v));
    EXPECT_FALSE(TryEncodeDate(2004, 13, 1, v));
    EXPECT_FALSE(TryEncodeDate(2004, 0, 1, v));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
    EXPECT_FALSE(TryEncodeDate(2004, 4, 31, v));
    EXPECT_EQ(EncodeDate(2004, 4, 31), 0.0);

    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, v));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, v));
    EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, v));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, v));
    EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, v));
    EXPECT_EQ(EncodeTime(25, 0, 0), 0.0);
    EXPECT_EQ(EncodeTime(6, 0, 0), 0.25);
    EXPECT_EQ(EncodeTime(18, 0, 0), 0.75);
}

TEST(DateTimeValue, DecodeRoundsToTheMillisecondAndCarriesIntoTheNextDay)
{
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(ComposeDateTime(EncodeDate(2004, 3, 14), EncodeTime(13, 14, 15, 16)), y, mo, d, h, mi, s, ms);
    EXPECT_EQ(y, 2004); EXPECT_EQ(mo, 3); EXPECT_EQ(d, 14);
    EXPECT_EQ(h, 13); EXPECT_EQ(mi, 14); EXPECT_EQ(s, 15); EXPECT_EQ(ms, 16);

    // Just below midnight in the double: the next day's 00:00:00.000.
    DecodeDateTime(EncodeDate(2004, 12, 31) + 0.99999999999, y, mo, d, h, mi, s, ms);
    EXPECT_EQ(y, 2005); EXPECT_EQ(mo, 1); EXPECT_EQ(d, 1);
    EXPECT_EQ(h, 0); EXPECT_EQ(mi, 0); EXPECT_EQ(s, 0); EXPECT_EQ(ms, 0);
}

TEST(DateTimeValue, ValuesBelowZeroCountDaysBackButTimeForward)
{
    // -1.25 is 29.12.1899 06:00.
    const DateTimeValue v = ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0));
    EXPECT_EQ(v, -1.25);
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(v, y, mo, d, h, mi, s, ms);
    EXPECT_EQ(d, 29); EXPECT_EQ(h, 6);
    EXPECT_EQ(ToWholeSeconds(v), -86400 + 6 * 3600);
    EXPECT_EQ(FromWholeSeconds(ToWholeSeconds(v)), v);
}

TEST(DateTimeValue, WholeSecondsAreExactIntegers)
{
    // A sum of date and time is not exact in binary; the whole seconds are.
    const DateTimeValue t = ComposeDateTime(EncodeDate(2004, 3, 14), EncodeTime(13, 14, 15));
    EXPECT_EQ(ToWholeSeconds(t), 38060LL * 86400 + 13 * 3600 + 14 * 60 + 15);
    for (int64_t s : {int64_t(0), int64_t(1), int64_t(86399), int64_t(86400), int64_t(3288556455), int64_t(-1), int64_t(-86401)})
        EXPECT_EQ(ToWholeSeconds(FromWholeSeconds(s)), s) << s;
    // Rounded to the nearest second.
    EXPECT_EQ(ToWholeSeconds(EncodeTime(0, 0, 1, 499)), 1);
    EXPECT_EQ(ToWholeSeconds(EncodeTime(0, 0, 1, 501)), 2);
    // Every quarter hour of a day maps to its own second count.
    const DateTimeValue day = EncodeDate(2010, 6, 1);
    for (int q = 0; q < 96; ++q)
        EXPECT_EQ(ToWholeSeconds(day + q / 96.0), 40330LL * 86400 + q * 900);
}

TEST(DateTimeValue, QtConversionsKeepTheWallClockFields)
{
    const QDateTime qt(QDate(2004, 3, 28), QTime(2, 30, 0));
    const DateTimeValue v = FromQDateTime(qt);
    EXPECT_EQ(ToWholeSeconds(v), ToWholeSeconds(EncodeDate(2004, 3, 28) + EncodeTime(2, 30, 0)));
    EXPECT_EQ(ToQDate(v), QDate(2004, 3, 28));
    EXPECT_EQ(ToQTime(v), QTime(2, 30, 0));
    EXPECT_EQ(FromQDate(QDate()), 0.0);
    EXPECT_EQ(FromQTime(QTime(6, 0)), 0.25);
    EXPECT_EQ(DayOfWeek(EncodeDate(2004, 3, 14)), 0);   // a Sunday
    EXPECT_EQ(DayOfWeek(0.0), 6);                       // 30.12.1899, a Saturday

    const DateTimeValue before = FromQDateTime(QDateTime::currentDateTime());
    const DateTimeValue now = Now();
    EXPECT_GE(now, before);
    EXPECT_LT(now - before, 1.0 / 24);
}
