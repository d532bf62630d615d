// Number parsing, picture formatting and short-string routines.
#include "base/ZT_Tools.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Restores DecimalComma so one test cannot change the pictures of the next.
struct DecimalCommaGuard {
    explicit DecimalCommaGuard(bool on) : old_(DecimalComma) { DecimalComma = on; }
    ~DecimalCommaGuard() { DecimalComma = old_; }
    bool old_;
};

} // namespace

TEST(ParseRealDef, AcceptsTrailingBlanksAndCommaAsPoint)
{
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("12,5   ")), 12.5);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("  -3.5e2")), -350.0);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("+1")), 1.0);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("5.")), 5.0);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("1E-3")), 0.001);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("0")), 0.0);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("-0,0")), 0.0);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("123456789012345678901234567890")), 1.2345678901234568e29);
}

TEST(ParseRealDef, SyntaxErrorsGiveMinus9999)
{
    for (const char* text : {"", "   ", "1.234,5", "12a", "1 2", "-", ".", "1e", "1e+", "--1",
                             "\t1", "1\t", "1,2,3", "12 €"}) {
        EXPECT_DOUBLE_EQ(ParseRealDef(QString::fromUtf8(text)), -9999.0) << text;
    }
}

TEST(ParseRealDef, RejectsInfinityNanAndHexFloat)
{
    for (const char* text : {"inf", "-inf", "INF", "infinity", "nan", "NaN", "0x1p3", "0x10", "1p3"})
        EXPECT_DOUBLE_EQ(ParseRealDef(QString::fromLatin1(text)), -9999.0) << text;
}

TEST(ParseRealDef, OverflowGivesMinus9999AndUnderflowZero)
{
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("1e400")), -9999.0);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("-1e309")), -9999.0);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("1e-400")), 0.0);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("0.0000001e-400")), 0.0);
    EXPECT_DOUBLE_EQ(ParseRealDef(QStringLiteral("1.7e308")), 1.7e308);
}

TEST(ParseIntDef, DecimalForms)
{
    EXPECT_EQ(ParseIntDef(QStringLiteral("  17  ")), 17);
    EXPECT_EQ(ParseIntDef(QStringLiteral("-42")), -42);
    EXPECT_EQ(ParseIntDef(QStringLiteral("+5")), 5);
    EXPECT_EQ(ParseIntDef(QStringLiteral("007")), 7);
    EXPECT_EQ(ParseIntDef(QStringLiteral("2147483647")), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseIntDef(QStringLiteral("-2147483648")), std::numeric_limits<int32_t>::min());
}

TEST(ParseIntDef, HexForms)
{
    EXPECT_EQ(ParseIntDef(QStringLiteral("$1F")), 31);
    EXPECT_EQ(ParseIntDef(QStringLiteral("x1F")), 31);
    EXPECT_EQ(ParseIntDef(QStringLiteral("X1f")), 31);
    EXPECT_EQ(ParseIntDef(QStringLiteral("0x1F")), 31);
    EXPECT_EQ(ParseIntDef(QStringLiteral("0X1f ")), 31);
    EXPECT_EQ(ParseIntDef(QStringLiteral("-$10")), -16);
    EXPECT_EQ(ParseIntDef(QStringLiteral("$7FFFFFFF")), std::numeric_limits<int32_t>::max());
}

TEST(ParseIntDef, ErrorsAndOverflowGiveMinus9999)
{
    for (const char* text : {"", "  ", "17,0", "17.0", "1 2", "--5", "+-5", "$", "0x", "x", "$-1",
                             "$G", "12a", "inf", "nan", "0x1p3", "1e3", "2147483648", "-2147483649",
                             "99999999999999999999999", "$80000000", "$FFFFFFFFFFFFFFFFFF"}) {
        EXPECT_EQ(ParseIntDef(QString::fromLatin1(text)), -9999) << text;
    }
}

TEST(FormatByPicture, ExamplesOfTheFormatter)
{
    DecimalCommaGuard guard(false);
    EXPECT_EQ(FormatByPicture(QStringLiteral("####.##"), 3.14159), QStringLiteral("   3.14"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("@@@@"), 42), QStringLiteral("0042"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("*##,###.##"), 1234.5), QStringLiteral("**1,234.50"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("#,###.##"), 12.5), QStringLiteral("   12.50"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("$#,###.##"), 12.5), QStringLiteral("   $12.50"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("###.#"), -1.5), QStringLiteral(" -1.5"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("-###"), -5), QStringLiteral("-  5"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("###"), 12345), QStringLiteral("***"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("Wert ####.## kWh"), 7.5), QStringLiteral("Wert    7.50 kWh"));
}

TEST(FormatByPicture, GroupSeparatorsAndSigns)
{
    DecimalCommaGuard guard(false);
    EXPECT_EQ(FormatByPicture(QStringLiteral("#,###.##"), 1234.5), QStringLiteral("1,234.50"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("#,###,###.##"), 1234567.891), QStringLiteral("1,234,567.89"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("#,###,###.##"), 4567.891), QStringLiteral("    4,567.89"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("-###"), 5), QStringLiteral("   5"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("###+"), 5), QStringLiteral("  5+"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("###+"), -5), QStringLiteral("  5-"));
    // Fill with asterisks or zeros and no sign character: the minus is lost.
    EXPECT_EQ(FormatByPicture(QStringLiteral("***"), -5), QStringLiteral("**5"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("@@@"), -5), QStringLiteral("005"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("+@@@"), -5), QStringLiteral("-005"));
    // Zero fill clears the currency sign.
    EXPECT_EQ(FormatByPicture(QStringLiteral("$@@@"), 7), QStringLiteral("0007"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("##"), -5), QStringLiteral("-5"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("#####"), 0), QStringLiteral("    0"));
}

TEST(FormatByPicture, OverflowShowsAsterisks)
{
    DecimalCommaGuard guard(false);
    EXPECT_EQ(FormatByPicture(QStringLiteral("##.#"), 123.4), QStringLiteral("**.*"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("#,###.##"), 123456.0), QStringLiteral("*,***.**"));
    // A floating minus needs a place of its own.
    EXPECT_EQ(FormatByPicture(QStringLiteral("##"), -15), QStringLiteral("**"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("##"), 15), QStringLiteral("15"));
    // So does the currency sign.
    EXPECT_EQ(FormatByPicture(QStringLiteral("$##"), 12), QStringLiteral("$12"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("$##"), 123), QStringLiteral("***"));
    // Sign characters follow the sign, literal text stays.
    EXPECT_EQ(FormatByPicture(QStringLiteral("+###"), -12345), QStringLiteral("-***"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("-### kWh"), 12345), QStringLiteral(" *** kWh"));
    // A value that is no number never reaches the digits.
    EXPECT_EQ(FormatByPicture(QStringLiteral("###"), std::numeric_limits<double>::infinity()),
              QStringLiteral("***"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("###"), std::numeric_limits<double>::quiet_NaN()),
              QStringLiteral("***"));
}

TEST(FormatByPicture, DecimalCommaExchangesSeparators)
{
    DecimalCommaGuard guard(true);
    EXPECT_EQ(FormatByPicture(QStringLiteral("####.##"), 3.14159), QStringLiteral("   3,14"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("#,###.##"), 1234.5), QStringLiteral("1.234,50"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("#,###.##"), 12.5), QStringLiteral("   12,50"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("##.#"), 123.4), QStringLiteral("**,*"));
}

TEST(FormatByPicture, RoundsHalvesAwayFromZero)
{
    DecimalCommaGuard guard(false);
    EXPECT_EQ(FormatByPicture(QStringLiteral("#.#"), 0.25), QStringLiteral("0.3"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("##"), 2.5), QStringLiteral(" 3"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("##"), -2.5), QStringLiteral("-3"));
    EXPECT_EQ(FormatByPicture(QStringLiteral("###.##"), 99.999), QStringLiteral("100.00"));
}

TEST(FormatByPicture, PictureWithoutPlacesOrTooLong)
{
    EXPECT_EQ(FormatByPicture(QString(), 1), QString());
    EXPECT_EQ(FormatByPicture(QStringLiteral("kWh"), 1), QStringLiteral("kWh"));
    const QString longText = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(FormatByPicture(longText, 1), longText.left(21));
    // The picture part beyond character 21 is cut off before filling.
    EXPECT_EQ(FormatByPicture(QStringLiteral("Zählerstand Wert: ###.##"), 1.5),
              QStringLiteral("Zählerstand Wert:   2"));
}

TEST(ShortStrings, IntAndHexTexts)
{
    EXPECT_EQ(IntText(-123456789), QStringLiteral("-1234567"));
    EXPECT_EQ(IntText(12345678), QStringLiteral("12345678"));
    EXPECT_EQ(IntText(0), QStringLiteral("0"));
    EXPECT_EQ(HexWord(0x0A1F), QStringLiteral("0A1F"));
    EXPECT_EQ(HexWord(0), QStringLiteral("0000"));
    EXPECT_EQ(HexLong(0xDEADBEEFu), QStringLiteral("DEADBEEF"));
    EXPECT_EQ(HexLong(0x1u), QStringLiteral("00000001"));
}

TEST(ShortStrings, PaddingNeverCuts)
{
    EXPECT_EQ(PadLeftBlanks(QStringLiteral("abc"), 2), QStringLiteral("abc"));
    EXPECT_EQ(PadLeftBlanks(QStringLiteral("abc"), 5), QStringLiteral("  abc"));
    EXPECT_EQ(PadRightBlanks(QStringLiteral("abc"), 5), QStringLiteral("abc  "));
    EXPECT_EQ(PadRightTo(QStringLiteral("7"), u'0', 3), QStringLiteral("700"));
    EXPECT_EQ(PadLeftTo(QStringLiteral("7"), u'0', 3), QStringLiteral("007"));
    EXPECT_EQ(PadLeftTo(QStringLiteral("abc"), u'0', 0), QStringLiteral("abc"));
}

TEST(ShortStrings, TrimControlChars)
{
    EXPECT_EQ(TrimControlChars(QStringLiteral("\t \t  \r\n")), QString());
    EXPECT_EQ(TrimControlChars(QStringLiteral(" \ta b\t\r\n")), QStringLiteral("a b"));
    EXPECT_EQ(TrimControlChars(QString(QChar(u'\0')) + u'x' + QChar(u'\0')), QStringLiteral("x"));
    EXPECT_EQ(TrimControlChars(QStringLiteral("ä")), QStringLiteral("ä"));
}

TEST(ShortStrings, UpperCaseTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(UpperCaseShort(QStringLiteral("abc xyz-09äöüß")), QStringLiteral("ABC XYZ-09äöüß"));
    EXPECT_EQ(UpperCaseShort(QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd")), QStringLiteral("AB"));
}

TEST(ShortStrings, ReplaceFirstNoCase)
{
    QString text = QStringLiteral("Kunde [NAME] und [name]");
    EXPECT_TRUE(ReplaceFirstNoCase(text, 255, QStringLiteral("[name]"), QStringLiteral("X")));
    EXPECT_EQ(text, QStringLiteral("Kunde X und [name]"));

    QString unchanged = QStringLiteral("abc");
    EXPECT_FALSE(ReplaceFirstNoCase(unchanged, 255, QString(), QStringLiteral("X")));
    EXPECT_FALSE(ReplaceFirstNoCase(unchanged, 255, QStringLiteral("d"), QStringLiteral("X")));
    EXPECT_EQ(unchanged, QStringLiteral("abc"));

    // Umlauts compare exactly (only ASCII letters are folded).
    QString umlaut = QStringLiteral("Zähler");
    EXPECT_FALSE(ReplaceFirstNoCase(umlaut, 255, QStringLiteral("ZÄHLER"), QStringLiteral("X")));

    QString capped = QStringLiteral("ab#cd");
    EXPECT_TRUE(ReplaceFirstNoCase(capped, 6, QStringLiteral("#"), QStringLiteral("123456")));
    EXPECT_EQ(capped, QStringLiteral("ab1234"));
}

TEST(ShortStrings, CutToken)
{
    QString text = QStringLiteral("a|b|c");
    QString head;
    CutToken(text, 255, u'|', head);
    EXPECT_EQ(head, QStringLiteral("a"));
    EXPECT_EQ(text, QStringLiteral("b|c"));

    text = QStringLiteral("abc");
    CutToken(text, 255, u'|', head);
    EXPECT_EQ(head, QStringLiteral("abc"));
    EXPECT_EQ(text, QString());

    text = QStringLiteral("|x");
    CutToken(text, 255, u'|', head);
    EXPECT_EQ(head, QString());
    EXPECT_EQ(text, QStringLiteral("x"));
}

// The quick walk for plain numbers gives what the general conversion gives,
// at its edges too: 15 and 16 digits, a separator first or last, signs,
// blanks, a second separator.
TEST(ParseRealTrimmed, PlainNumbersAndTheirEdges)
{
    EXPECT_EQ(ParseRealTrimmed(u"3141592,65"), 3141592.65);
    EXPECT_EQ(ParseRealTrimmed(u"  3141592.65 "), 3141592.65);
    EXPECT_EQ(ParseRealTrimmed(u"-0,25"), -0.25);
    EXPECT_EQ(ParseRealTrimmed(u"+7"), 7.0);
    EXPECT_EQ(ParseRealTrimmed(u",5"), 0.5);
    EXPECT_EQ(ParseRealTrimmed(u"12."), 12.0);
    EXPECT_EQ(ParseRealTrimmed(u"123456789012345"), 123456789012345.0);
    EXPECT_EQ(ParseRealTrimmed(u"1234567890123456"), 1234567890123456.0);
    EXPECT_EQ(ParseRealTrimmed(u"0.000000000000001"), 1e-15);
    EXPECT_EQ(ParseRealTrimmed(u"99999999999999999999"), 1e20);
    EXPECT_EQ(ParseRealTrimmed(u"1.2.3"), -9999.0);
    EXPECT_EQ(ParseRealTrimmed(u"."), -9999.0);
    EXPECT_EQ(ParseRealTrimmed(u"-"), -9999.0);
    EXPECT_EQ(ParseRealTrimmed(u""), -9999.0);
}
