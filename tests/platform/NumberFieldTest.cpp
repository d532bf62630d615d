#include "platform/NumberField.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(NumberField, CommaAndPointAreDecimalSeparators)
{
    double v = 0;
    ASSERT_TRUE(ParseNumberField(QStringLiteral("12,5"), v));
    EXPECT_EQ(v, 12.5);
    ASSERT_TRUE(ParseNumberField(QStringLiteral(" -0.25 "), v));
    EXPECT_EQ(v, -0.25);
    ASSERT_TRUE(ParseNumberField(QStringLiteral("1,5e3"), v));
    EXPECT_EQ(v, 1500);
    ASSERT_TRUE(ParseNumberField(QStringLiteral(",5"), v));
    EXPECT_EQ(v, 0.5);
    v = 7;
    for (const char* bad : {"", "-", "1,2,3", "1.2,3", "12a", "e5", "1e", "inf", "nan", "0x10", "1e999"})
        EXPECT_FALSE(ParseNumberField(QString::fromLatin1(bad), v)) << bad;
    EXPECT_EQ(v, 7);
}

TEST(NumberField, UnfinishedTextCountsItsCompletePart)
{
    EXPECT_EQ(NumberFieldValue(QStringLiteral("3,")), 3);
    EXPECT_EQ(NumberFieldValue(QStringLiteral("2e")), 2);
    EXPECT_EQ(NumberFieldValue(QStringLiteral("-")), 0);
    EXPECT_EQ(NumberFieldValue(QString()), 0);
    EXPECT_TRUE(IsNumberFieldPrefix(QStringLiteral("-1,")));
    EXPECT_TRUE(IsNumberFieldPrefix(QStringLiteral("1e-")));
    EXPECT_FALSE(IsNumberFieldPrefix(QStringLiteral("1x")));
    EXPECT_FALSE(IsNumberFieldPrefix(QStringLiteral("1,,")));
}

TEST(NumberField, FormatsShortestWithComma)
{
    EXPECT_EQ(FormatNumberField(1000.0), QStringLiteral("1000"));
    EXPECT_EQ(FormatNumberField(-0.1), QStringLiteral("-0,1"));
    for (double x : {0.1, 1.0 / 3.0, 123456.789, -1e-7, 1e20}) {
        double back = 0;
        ASSERT_TRUE(ParseNumberField(FormatNumberField(x), back)) << x;
        EXPECT_EQ(back, x);
    }
}
