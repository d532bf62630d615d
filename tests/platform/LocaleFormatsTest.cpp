#include "platform/LocaleFormats.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

LocaleFormats German()
{
    return LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"));
}

LocaleFormats English()
{
    return LocaleFormats(QStringLiteral("M/d/yy"), QStringLiteral("h:mm:ss AP"),
                         QLocale(QLocale::English, QLocale::UnitedStates));
}

DateTimeValue At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return ComposeDateTime(EncodeDate(y, mo, d), EncodeTime(h, mi, s));
}

// Compares on whole seconds, as the program does.
::testing::AssertionResult SameSecond(DateTimeValue a, DateTimeValue b)
{
    if (ToWholeSeconds(a) == ToWholeSeconds(b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " vs " << b;
}

} // namespace

TEST(LocaleFormats, GermanFormatsWriteFourDigitYearsAndAlwaysTheTime)
{
    const LocaleFormats f = German();
    EXPECT_EQ(f.DateSeparator(), QChar(u'.'));
    EXPECT_EQ(f.TimeSeparator(), QChar(u':'));
    EXPECT_EQ(f.FormatDate(At(2004, 3, 4, 6, 5, 9)), QStringLiteral("04.03.2004"));
    EXPECT_EQ(f.FormatTime(At(2004, 3, 4, 6, 5, 9)), QStringLiteral("06:05:09"));
    EXPECT_EQ(f.FormatDateTime(At(2004, 3, 4)), QStringLiteral("04.03.2004 00:00:00"));
    // A two-digit year pattern still writes four digits.
    const LocaleFormats shortYear(QStringLiteral("dd.MM.yy"), QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(shortYear.FormatDate(At(1985, 12, 31)), QStringLiteral("31.12.1985"));
}

TEST(LocaleFormats, GermanFormatsRead)
{
    const LocaleFormats f = German();
    EXPECT_TRUE(SameSecond(f.ParseDateTime(u"14.03.2004 06:00:00"), At(2004, 3, 14, 6)));
    EXPECT_TRUE(SameSecond(f.ParseDateTime(u"14.03.04 6:07"), At(2004, 3, 14, 6, 7)));
    EXPECT_TRUE(SameSecond(f.ParseDateTime(u"1.3.85"), At(1985, 3, 1)));
    EXPECT_TRUE(SameSecond(f.ParseDateTime(u"1.3.79"), At(2079, 3, 1)));
    EXPECT_TRUE(SameSecond(f.ParseDateTime(u"  14.03.2004  23:59:59 "), At(2004, 3, 14, 23, 59, 59)));

    DateTimeValue v = 0;
    EXPECT_FALSE(f.TryParseDateTime(u"", v));
    EXPECT_FALSE(f.TryParseDateTime(u"31.02.2004 06:00:00", v));   // no such day
    EXPECT_FALSE(f.TryParseDateTime(u"14.03.2004 24:00:00", v));
    EXPECT_FALSE(f.TryParseDateTime(u"14/03/2004 06:00:00", v));   // wrong separator
    EXPECT_FALSE(f.TryParseDateTime(u"14.03.2004 06:00:00 x", v));
    EXPECT_FALSE(f.TryParseDateTime(u"14.03.2004 06", v));
    EXPECT_FALSE(f.TryParseDateTime(u"14.03", v));
    EXPECT_FALSE(f.TryParseDateTime(u"04/03/14 06:00:00", v));
    EXPECT_EQ(f.ParseDateTime(u"x"), 0.0);
}

TEST(LocaleFormats, EnglishFormatsWithAmPm)
{
    const LocaleFormats f = English();
    EXPECT_EQ(f.DateSeparator(), QChar(u'/'));
    EXPECT_EQ(f.FormatDate(At(2004, 3, 14)), QStringLiteral("3/14/2004"));
    EXPECT_EQ(f.FormatTime(At(2004, 3, 14, 18, 5, 9)), QStringLiteral("6:05:09 PM"));
    EXPECT_EQ(f.FormatDateTime(At(2004, 3, 14)), QStringLiteral("3/14/2004 12:00:00 AM"));
    EXPECT_EQ(f.FormatTime(At(2004, 3, 14, 12, 0, 0)), QStringLiteral("12:00:00 PM"));

    EXPECT_TRUE(SameSecond(f.ParseDateTime(u"3/14/2004 6:05:09 PM"), At(2004, 3, 14, 18, 5, 9)));
    EXPECT_TRUE(SameSecond(f.ParseDateTime(u"3/14/04 12:00:00 am"), At(2004, 3, 14, 0)));
    EXPECT_TRUE(SameSecond(f.ParseDateTime(u"03/14/2004 14:30:00"), At(2004, 3, 14, 14, 30)));
    EXPECT_TRUE(SameSecond(f.ParseDateTime(f.FormatDateTime(At(2010, 11, 2, 23, 1, 2))), At(2010, 11, 2, 23, 1, 2)));

    DateTimeValue v = 0;
    EXPECT_FALSE(f.TryParseDateTime(u"14.03.2004 06:00:00", v));
    EXPECT_FALSE(f.TryParseDateTime(u"13/14/2004 06:00:00", v));   // month 13
    EXPECT_FALSE(f.TryParseDateTime(u"3/14/2004 13:00:00 PM", v));
}

TEST(LocaleFormats, FromLocaleGivesNumericPlatformFormats)
{
    const LocaleFormats de = LocaleFormats::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.ShortDateFormat(), QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(de.LongTimeFormat(), QStringLiteral("HH:mm:ss"));

    const LocaleFormats us = LocaleFormats::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    const DateTimeValue t = At(2004, 3, 14, 18, 5, 9);
    const QString text = us.FormatDateTime(t);
    EXPECT_TRUE(text.startsWith(QStringLiteral("3/14/2004 "))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("PM"))) << text.toStdString();   // no time zone
    EXPECT_TRUE(SameSecond(us.ParseDateTime(text), t));

    // Locales whose formats carry names or a closing separator read their own text.
    for (const QLocale& locale : {QLocale(QLocale::Hungarian), QLocale(QLocale::Japanese),
                                  QLocale(QLocale::English, QLocale::UnitedKingdom), QLocale(QLocale::French)}) {
        const LocaleFormats f = LocaleFormats::FromLocale(locale);
        EXPECT_TRUE(SameSecond(f.ParseDateTime(f.FormatDate(t)), At(2004, 3, 14)))
            << locale.name().toStdString() << " " << f.FormatDate(t).toStdString();
        EXPECT_FALSE(f.FormatDate(t).contains(QStringLiteral("Mar"))) << locale.name().toStdString();
    }
}

TEST(LocaleFormats, CurrentCanBeSetAndRestored)
{
    {
        ScopedLocaleFormats scoped(English());
        EXPECT_EQ(LocaleFormats::Current().ShortDateFormat(), QStringLiteral("M/d/yy"));
        {
            ScopedLocaleFormats inner(German());
            EXPECT_EQ(LocaleFormats::Current().ShortDateFormat(), QStringLiteral("dd.MM.yyyy"));
        }
        EXPECT_EQ(LocaleFormats::Current().ShortDateFormat(), QStringLiteral("M/d/yy"));
    }
    LocaleFormats::ResetCurrent();
    const LocaleFormats system = LocaleFormats::FromLocale(QLocale::system());
    EXPECT_EQ(LocaleFormats::Current().ShortDateFormat(), system.ShortDateFormat());
}

TEST(LocaleFormats, FormattingWithTheDayCacheGivesTheSameTexts)
{
    const LocaleFormats formats[] = {German(), English(),
                                     LocaleFormats(QStringLiteral("dd. MMMM yyyy"), QStringLiteral("HH:mm:ss.zzz"),
                                                   QLocale(QLocale::German, QLocale::Germany)),
                                     LocaleFormats(QStringLiteral("yyyy-MM-dd"), QStringLiteral("h:mm ap"))};
    std::vector<DateTimeValue> values;
    for (int day = 0; day < 3; ++day)
        for (int q = 0; q < 96; q += 7)
            values.push_back(At(2004, 2, 28 + day, q / 4, q % 4 * 15, q % 3));
    values.push_back(At(1899, 12, 30));
    values.push_back(At(1800, 1, 1, 23, 59, 59));
    values.push_back(At(1800, 1, 1, 0, 0, 1));
    values.push_back(At(2004, 2, 28) + 0.5 / 86400000.0 * 999);
    for (const LocaleFormats& f : formats) {
        LocaleFormats::DateTextCache cache;
        for (const DateTimeValue v : values) {
            EXPECT_EQ(f.FormatDateTime(v, cache), f.FormatDateTime(v)) << v;
            EXPECT_EQ(f.FormatDate(v, cache), f.FormatDate(v)) << v;
        }
    }
}

TEST(LocaleFormats, DateTextsIntoABufferAreTheTextsOfTheDay)
{
    const LocaleFormats formatsList[] = {German(), English(),
                                         LocaleFormats(QStringLiteral("dd MMM yyyy"), QStringLiteral("HH:mm:ss"))};
    for (const LocaleFormats& formats : formatsList) {
        LocaleFormats::DateTextCache cache;
        const bool numeric = !formats.ShortDateFormat().contains(QLatin1String("MMM"));
        for (int i = 0; i < 3000; ++i) {
            // Steps of 17 minutes 13 seconds over midnights, month and year ends.
            const DateTimeValue t = ComposeDateTime(At(2004, 12, 29, 1), double(i) * 1033.0 / 86400.0);
            char16_t buf[LocaleFormats::DateTextCapacity];
            int n = formats.FormatDateTo(t, cache, buf);
            if (numeric)
                EXPECT_EQ(QStringView(buf, n), formats.FormatDate(t));
            else
                EXPECT_EQ(n, -1);
            EXPECT_EQ(formats.FormatDate(t, cache), formats.FormatDate(t));
            n = formats.FormatDateTimeTo(t, cache, buf);
            // A time with an AM/PM marker takes the general way as well.
            if (numeric && !formats.LongTimeFormat().contains(QLatin1String("AP")))
                EXPECT_EQ(QStringView(buf, n), formats.FormatDateTime(t));
            else
                EXPECT_EQ(n, -1);
            EXPECT_EQ(formats.FormatDateTime(t, cache), formats.FormatDateTime(t));
        }
    }
}

TEST(LocaleFormats, ReadingWithTheDateOfTheTextBeforeGivesTheSameAnswer)
{
    const LocaleFormats german = German();
    const LocaleFormats english = English();
    LocaleFormats::DateParseCache cache;
    const char16_t* const texts[] = {u"14.03.2004 06:00:00", u"14.03.2004 06:15:00", u"14.03.20041 06:15:00",
                                     u"14.03.2004", u"14.03.2004 6:15", u"14.03.2004  06:15:00",
                                     u"14.03.2004x06:15:00", u"14.03.2004 24:00:00", u"14.03.2004 06:15:00 PM",
                                     u"14.3.2004 06:15:00", u"14.03.2005 06:15:00", u"3/14/04 6:15:00 PM",
                                     u"3/14/04 6:30:00 PM", u"3/14/041 6:30:00 PM", u"3/14/04", u"3/14/04 13:00"};
    // German and English formats by turns: the held date belongs to the
    // formats that read it.
    for (int round = 0; round < 2; ++round) {
        for (const char16_t* t : texts) {
            for (const LocaleFormats* formats : {&german, &english, &german}) {
                const QString text = QString::fromUtf16(t);
                DateTimeValue expected = -1, got = -1;
                const bool expectedOk = formats->TryParseDateTime(text, expected);
                EXPECT_EQ(formats->TryParseDateTime(text, got, cache), expectedOk) << qPrintable(text);
                if (expectedOk) {
                    EXPECT_EQ(got, expected) << qPrintable(text);
                }
            }
        }
    }
}

// "HH:mm:ss" is read and written by position: the same texts and values as
// the compiled format gives, over a whole day, and the same refusals.
TEST(LocaleFormatsPlainTime, ReadsAndWritesEveryTimeOfADayAsTheFormatDoes)
{
    const platform::LocaleFormats plain(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"));
    const platform::DateTimeValue day = platform::EncodeDate(2026, 9, 1);
    platform::LocaleFormats::DateTextCache cache;
    platform::LocaleFormats::DateParseCache parse;
    for (int s = 0; s < 86400; s += 37) {
        const QTime t = QTime(0, 0).addSecs(s);
        const QString expected = QStringLiteral("01.09.2026 ") + t.toString(QStringLiteral("HH:mm:ss"));
        const platform::DateTimeValue value = day + s / 86400.0;
        EXPECT_EQ(plain.FormatDateTime(value, cache), expected) << s;
        platform::DateTimeValue back = 0;
        ASSERT_TRUE(plain.TryParseDateTime(expected, back, parse)) << s;
        EXPECT_EQ(platform::ToWholeSeconds(back), platform::ToWholeSeconds(value)) << s;
    }
    platform::DateTimeValue v = 0;
    EXPECT_FALSE(plain.TryParseDateTime(u"01.09.2026 24:00:00", v, parse));
    EXPECT_FALSE(plain.TryParseDateTime(u"01.09.2026 12:60:00", v, parse));
    EXPECT_FALSE(plain.TryParseDateTime(u"01.09.2026 1X:30:00", v, parse));
    EXPECT_TRUE(plain.TryParseDateTime(u"01.09.2026 6:30:00", v, parse));   // the general walk
}

TEST(LocaleFormatsCut, ACutNeverFallsInsideTheDateTimeATextStartsWith)
{
    const platform::LocaleFormats us(QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP"),
                                     QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.LeadingDateTimeLength(u"12/1/2026 12:00:00 AM"), 21);
    EXPECT_EQ(us.LeadingDateTimeLength(u"11/10/2026 11:52:05 PM  rest"), 22);
    EXPECT_EQ(us.LeadingDateTimeLength(u"12/1/2026 note"), 9);
    EXPECT_EQ(us.LeadingDateTimeLength(u"no date"), 0);
    EXPECT_EQ(us.CutBehindDateTime(QStringLiteral("12/1/2026 12:00:00 AM"), 20), QStringLiteral("12/1/2026 12:00:00 AM"));
    EXPECT_EQ(us.CutBehindDateTime(QStringLiteral("12/1/2026 12:00:00 AM"), 9), QStringLiteral("12/1/2026 12:00:00 AM"));
    EXPECT_EQ(us.CutBehindDateTime(QStringLiteral("12/1/2026 some longer text"), 12), QStringLiteral("12/1/2026 so"));
    EXPECT_EQ(us.CutBehindDateTime(QStringLiteral("abcdefghijklmnopqrstuvwxyz"), 20), QStringLiteral("abcdefghijklmnopqrst"));

    const platform::LocaleFormats de(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"),
                                     QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.LeadingDateTimeLength(u"01.12.2026 00:00:00"), 19);
    EXPECT_EQ(de.CutBehindDateTime(QStringLiteral("01.12.2026 00:00:00 xyz"), 20), QStringLiteral("01.12.2026 00:00:00 "));
}
