// The short ways for time stamps (reading with the held date, writing with the
// held day, the inline conversions to milliseconds and seconds) must give the
// very answers of the general ways, for every text and value.
#include "platform/DateTimeValue.h"
#include "platform/LocaleFormats.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace platform;

namespace {

// The conversions as they are defined: the whole days cut off by trunc, the
// units of the fraction rounded by nearbyint.
int64_t ReferenceUnits(DateTimeValue value, int64_t unitsPerDay)
{
    const double whole = std::trunc(value);
    return int64_t(whole) * unitsPerDay + int64_t(std::nearbyint(std::fabs(value - whole) * double(unitsPerDay)));
}

uint64_t Bits(double v)
{
    return std::bit_cast<uint64_t>(v);
}

// Formats and a twin that reads and writes alike but takes the general way
// everywhere: a blank behind the time format is dropped when compiled, but
// the time no longer counts as "HH:mm:ss".
struct FormatsAndTwin {
    std::string name;
    LocaleFormats formats;
    LocaleFormats twin;
};

std::vector<FormatsAndTwin> AllFormats()
{
    std::vector<FormatsAndTwin> all;
    auto add = [&all](const QString& date, const QString& time, const QLocale& locale = QLocale::c()) {
        all.push_back({(date + QLatin1Char('|') + time).toStdString(), LocaleFormats(date, time, locale),
                       LocaleFormats(date, time + QLatin1Char(' '), locale)});
    };
    add(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"));
    add(QStringLiteral("dd.MM.yy"), QStringLiteral("HH:mm:ss"));
    add(QStringLiteral("d.M.yyyy"), QStringLiteral("H:mm:ss"));
    add(QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss"));
    add(QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH.mm.ss"));
    add(QStringLiteral("yyyy. MM. dd."), QStringLiteral("HH:mm:ss"));
    add(QStringLiteral("dd MM yyyy"), QStringLiteral("HH:mm:ss"));
    add(QStringLiteral("M/d/yy"), QStringLiteral("h:mm:ss AP"), QLocale(QLocale::English, QLocale::UnitedStates));
    // A separator beyond the ASCII range, and one beyond 0x7FFF.
    add(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH\u00B7mm\u00B7ss"));
    add(QStringLiteral("yyyy/MM/dd"), QStringLiteral("HH\uFF1Amm\uFF1Ass"));
    // A date text longer than 16 characters.
    add(QStringLiteral("'Tag' dd.MM.yyyy 'im Jahr'"), QStringLiteral("HH:mm:ss"));
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France),
                                  QLocale(QLocale::Finnish), QLocale(QLocale::Hungarian), QLocale(QLocale::Japanese),
                                  QLocale(QLocale::English, QLocale::UnitedKingdom)}) {
        const LocaleFormats f = LocaleFormats::FromLocale(locale);
        add(f.ShortDateFormat(), f.LongTimeFormat(), locale);
    }
    return all;
}

// Texts around a stamp of formats: the stamp itself, the next stamps of its
// day and the day after, and mutations of single characters.
class StampTexts {
public:
    explicit StampTexts(unsigned seed) : rng_(seed) {}

    // A day from 1890 to 2110 and a whole second of it, now and then one of
    // the day's edges.
    int RandomDay() { return std::uniform_int_distribution<int>(-3650, 76700)(rng_); }
    int RandomSecond()
    {
        switch (Below(10)) {
        case 0: return 0;
        case 1: return 86399;
        default: return Below(86400);
        }
    }

    QString Mutated(const QString& text)
    {
        static const char16_t alphabet[] = u"0123456789012345678923455999 ::..//-AaPpMmXx\t\u00A0\u00B7\uFF1A\uFF10";
        std::uniform_int_distribution<int> pick(0, int(std::size(alphabet)) - 2);
        std::uniform_int_distribution<int> kind(0, 5);
        QString out = text;
        if (out.isEmpty())
            return out;
        std::uniform_int_distribution<qsizetype> at(0, out.size() - 1);
        const qsizetype i = at(rng_);
        switch (kind(rng_)) {
        case 0: out.remove(i, 1); break;                               // a character less
        case 1: out.insert(i, QChar(alphabet[pick(rng_)])); break;     // one more
        case 2: out.truncate(i); break;                                // cut short
        case 3: out += QChar(alphabet[pick(rng_)]); break;             // something behind
        default: out[i] = QChar(alphabet[pick(rng_)]); break;          // one changed
        }
        return out;
    }

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

private:
    std::mt19937 rng_;
};

} // namespace

TEST(DateTextShortcut, WholeSecondsAndMillisecondsAsTruncAndNearbyintGiveThem)
{
    std::mt19937_64 rng(20260901);
    std::uniform_real_distribution<double> any(-800000.0, 3000000.0);
    std::uniform_int_distribution<int64_t> days(0, 3000000);
    std::uniform_int_distribution<int64_t> odd(0, 1023);
    std::vector<double> values = {0.0, -0.0, 0.5, -0.5, 1e-300, -1e-300, 0.9999999999999999, -0.9999999999999999,
                                  999999999.5, -999999999.5, 999999999.99999, 1e9, -1e9, 1e9 + 0.5, 123456789.25};
    for (int k = 0; k < 200000; ++k)
        values.push_back(any(rng));
    for (int k = 0; k < 20000; ++k) {
        // Fractions of n / 2^20 day are exact in a double: n = 512 * odd is
        // an exact half millisecond, n = 4096 * odd an exact half second, the
        // ties rounding must send to the even neighbour.
        const double day = double(days(rng));
        const double halfMs = double(512 * (2 * odd(rng) + 1)) / 1048576.0;
        const double halfS = double(4096 * ((2 * odd(rng) + 1) % 256)) / 1048576.0;
        for (const double f : {halfMs, halfS, std::nextafter(halfMs, 0.0), std::nextafter(halfMs, 1.0)}) {
            values.push_back(day + f);
            values.push_back(-(day + f));
        }
    }
    int64_t ties = 0;
    for (const double v : values) {
        ASSERT_EQ(ToMSecs(v), ReferenceUnits(v, MSecsPerDay)) << std::hexfloat << v;
        ASSERT_EQ(ToWholeSeconds(v), ReferenceUnits(v, SecondsPerDay)) << std::hexfloat << v;
        ASSERT_EQ(ToMSecs(v), detail::ToMSecsGeneral(v)) << std::hexfloat << v;
        ASSERT_EQ(ToWholeSeconds(v), detail::ToWholeSecondsGeneral(v)) << std::hexfloat << v;
        const double units = std::fabs(v - std::trunc(v)) * double(MSecsPerDay);
        ties += units - std::floor(units) == 0.5;
    }
    EXPECT_GT(ties, 10000);   // the ties were really there
    // Far values take the general way and still agree.
    for (const double v : {4.0e9, -4.0e9, 1.0e10 + 0.25, -1.0e10 - 0.75}) {
        EXPECT_EQ(ToMSecs(v), ReferenceUnits(v, MSecsPerDay)) << v;
        EXPECT_EQ(ToWholeSeconds(v), ReferenceUnits(v, SecondsPerDay)) << v;
    }
}

TEST(DateTextShortcut, ReadingWithTheHeldDateGivesTheAnswerOfTheGeneralWay)
{
    const std::vector<FormatsAndTwin> all = AllFormats();
    StampTexts texts(7);
    // One cache for all formats, as a caller may share one by mistake, and
    // one of each formats' own.
    LocaleFormats::DateParseCache shared;
    std::vector<LocaleFormats::DateParseCache> own(all.size());
    int64_t accepted = 0, refused = 0, shortWay = 0;
    auto check = [&](std::size_t k, const QString& text) {
        const FormatsAndTwin& f = all[k];
        DateTimeValue general = -7, twin = -7, cached = -7, sharedValue = -7;
        const bool okGeneral = f.formats.TryParseDateTime(text, general);
        const bool okTwin = f.twin.TryParseDateTime(text, twin);
        // The short way alone, with the date of the text before.
        DateTimeValue held = -7;
        if (f.formats.TryParseHeldDayStamp(text, held, own[k])) {
            ASSERT_TRUE(okGeneral) << f.name << " \"" << text.toStdString() << '"';
            ASSERT_EQ(Bits(held), Bits(general)) << f.name << " \"" << text.toStdString() << '"';
            ++shortWay;
        }
        const bool okCached = f.formats.TryParseDateTime(text, cached, own[k]);
        const bool okShared = f.formats.TryParseDateTime(text, sharedValue, shared);
        ASSERT_EQ(okGeneral, okTwin) << f.name << " \"" << text.toStdString() << '"';
        ASSERT_EQ(okCached, okGeneral) << f.name << " \"" << text.toStdString() << '"';
        ASSERT_EQ(okShared, okGeneral) << f.name << " \"" << text.toStdString() << '"';
        if (okGeneral) {
            ASSERT_EQ(Bits(twin), Bits(general)) << f.name << " \"" << text.toStdString() << '"';
            ASSERT_EQ(Bits(cached), Bits(general)) << f.name << " \"" << text.toStdString() << '"';
            ASSERT_EQ(Bits(sharedValue), Bits(general)) << f.name << " \"" << text.toStdString() << '"';
            ++accepted;
        } else {
            ++refused;
        }
    };
    for (int round = 0; round < 30000; ++round) {
        const std::size_t k = std::size_t(texts.Below(int(all.size())));
        const int day = texts.RandomDay();
        // A run of stamps 15 minutes apart, and mutations of them.
        for (int s = texts.RandomSecond(), line = 0; s < 86400 && line < 6; s += 900, ++line) {
            const DateTimeValue v = ComposeDateTime(double(day), double(s * 1000) / double(MSecsPerDay));
            const QString stamp = all[k].formats.FormatDateTime(v);
            check(k, stamp);
            check(k, texts.Mutated(stamp));
            check(k, texts.Mutated(texts.Mutated(stamp)));
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
    // Texts every reading must treat alike, in every format.
    const char16_t* const fixed[] = {
        u"29.02.2004 06:00:00", u"29.02.2005 06:00:00", u"29.02.1900 06:00:00", u"29.02.2000 06:00:00",
        u"01.01.2005 24:00:00", u"01.01.2005 23:59:59", u"01.01.2005 23:60:00", u"01.01.2005 23:59:60",
        u"01.01.2005 00:00:00", u"01.01.2005 30:00:00", u"01.01.2005 19:59:59", u"01.01.2005 20:00:00",
        u"1.1.2005 6:00:00", u"01.01.2005 6:00:00", u"01.01.2005 06:0:00", u"01.01.2005 06:00:0",
        u"01.01.2005 06:00", u"01.01.2005", u"01.01.05 06:00:00", u"01.01.79 06:00:00", u"01.01.80 06:00:00",
        u"01.01.2005 06:00:00.5", u"01.01.2005 06:00:00 AM", u"01.01.2005 06:00:00PM", u"01.01.2005  06:00:00",
        u"01.01.2005\t06:00:00", u"01.01.2005 0a:00:00", u"01.01.2005 06:0a:00", u"01.01.2005 06:00:0a",
        u"01.01.2005 /6:00:00", u"01.01.2005 06;00:00", u"01.01.2005 06:00;00", u"01.01.2005 \uFF10\uFF16:00:00",
        u"2005-01-01 06:00:00", u"2005-01-01 23:59:59", u"2005-01-01 24:00:00", u"2005. 01. 01. 06:00:00",
        u"01/01/2005 06.00.00", u"01/01/2005 23.59.59", u"01/01/2005 24.00.00", u"01/01/2005 06.00.00.250",
        u"2005/01/01 06\uFF1A00\uFF1A00", u"2005/01/01 24\uFF1A00\uFF1A00", u"1/1/05 6:00:00 PM", u"1/1/05 12:00:00 AM",
        u"1/1/05 13:00:00 PM", u"1/1/05 06:00:00", u"Tag 01.01.2005 im Jahr 06:00:00", u"01 01 2005 06:00:00",
        u"01.01.2005 \u00B7", u"01.01.2005 06\u00B700\u00B700", u"01.01.2005 06\u00B700\u00B761"};
    for (int round = 0; round < 2; ++round) {
        for (const char16_t* t : fixed) {
            for (std::size_t k = 0; k < all.size(); ++k) {
                // The day of the text held first, then the text itself.
                const QString text = QString::fromUtf16(t);
                check(k, text.left(11) + QStringLiteral("12:34:56"));
                check(k, text);
            }
        }
    }
    EXPECT_GT(accepted, 100000);
    EXPECT_GT(shortWay, 30000);
    EXPECT_GT(refused, 50000);
}

TEST(DateTextShortcut, WritingWithTheHeldDayGivesTheTextsOfTheGeneralWay)
{
    const std::vector<FormatsAndTwin> all = AllFormats();
    StampTexts values(11);
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> ms(0, 999);
    for (std::size_t k = 0; k < all.size(); ++k) {
        const FormatsAndTwin& f = all[k];
        LocaleFormats::DateTextCache cache;
        LocaleFormats::DateTextCache dateCache;
        auto check = [&](DateTimeValue v) {
            const QString expected = f.formats.FormatDateTime(v);
            ASSERT_EQ(f.twin.FormatDateTime(v), expected) << f.name << ' ' << std::hexfloat << v;
            char16_t buf[LocaleFormats::DateTextCapacity];
            const int n = f.formats.FormatDateTimeTo(v, cache, buf);
            if (n >= 0) {
                ASSERT_EQ(QString::fromUtf16(buf, n), expected) << f.name << ' ' << std::hexfloat << v;
            }
            ASSERT_EQ(f.formats.FormatDateTime(v, cache), expected) << f.name << ' ' << std::hexfloat << v;
            ASSERT_EQ(f.formats.FormatDate(v, dateCache), f.formats.FormatDate(v)) << f.name << ' ' << v;
        };
        for (int round = 0; round < 3000; ++round) {
            const int day = values.RandomDay();
            // Whole seconds, and milliseconds with halves and more, now and
            // then rounding up into the next day.
            double extra = 0;
            if (round % 3 == 1)
                extra = double(ms(rng)) + 0.5;
            else if (round % 3 == 2)
                extra = 999.6;
            for (int s = values.RandomSecond(), line = 0; s < 86400 && line < 8; s += 900, ++line) {
                check(ComposeDateTime(double(day), (double(s) * 1000.0 + extra) / double(MSecsPerDay)));
                if (::testing::Test::HasFatalFailure())
                    return;
            }
        }
        for (const DateTimeValue v : {0.0, -0.0, -0.25, -1.0, -1.5, 2.0 - 1e-12, 38046.999999999, 38046.5, 2958465.99999,
                                      -693593.0, 1.0 / double(MSecsPerDay) / 2.0}) {
            check(v);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

TEST(DateTextShortcut, TheFormatsInUseSurviveBeingSetToThemselves)
{
    LocaleFormats::SetCurrent(LocaleFormats(QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss")));
    LocaleFormats::SetCurrent(LocaleFormats::Current());
    EXPECT_EQ(LocaleFormats::Current().ShortDateFormat(), QStringLiteral("yyyy-MM-dd"));
    DateTimeValue v = 0;
    LocaleFormats::DateParseCache cache;
    ASSERT_TRUE(LocaleFormats::Current().TryParseDateTime(u"2005-01-01 06:00:00", v, cache));
    EXPECT_EQ(ToWholeSeconds(v), ToWholeSeconds(ComposeDateTime(EncodeDate(2005, 1, 1), EncodeTime(6, 0, 0))));
    LocaleFormats::ResetCurrent();
    EXPECT_EQ(LocaleFormats::Current().ShortDateFormat(), LocaleFormats::FromLocale(QLocale::system()).ShortDateFormat());
}
