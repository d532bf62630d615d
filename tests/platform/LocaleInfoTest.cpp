#include "platform/LocaleInfo.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(LocaleInfo, AbbreviationsOfLocaleNames)
{
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("de_DE")), QStringLiteral("DEU"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("de_AT")), QStringLiteral("DEA"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("de_CH")), QStringLiteral("DES"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("en_US")), QStringLiteral("ENU"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("en_GB")), QStringLiteral("ENG"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("fr_FR")), QStringLiteral("FRA"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("fr_CA")), QStringLiteral("FRC"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("pt_BR")), QStringLiteral("PTB"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("nb_NO")), QStringLiteral("NOR"));
}

TEST(LocaleInfo, CodeSetAndModifierAreIgnored)
{
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("de_AT.UTF-8")), QStringLiteral("DEA"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("de_DE@euro")), QStringLiteral("DEU"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("fr_BE.ISO-8859-15@euro")), QStringLiteral("FRB"));
}

TEST(LocaleInfo, CAndPosixAreUsEnglish)
{
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("C")), QStringLiteral("ENU"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("POSIX")), QStringLiteral("ENU"));
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("C.UTF-8")), QStringLiteral("ENU"));
    EXPECT_EQ(LanguageAbbreviationOfName(QString()), QStringLiteral("ENU"));
    EXPECT_EQ(LanguageAbbreviationOf(QLocale::c()), QStringLiteral("ENU"));
}

TEST(LocaleInfo, FallbacksNeverAnswerEmpty)
{
    // Another territory of a known language: the language's main entry.
    EXPECT_EQ(LanguageAbbreviationOf(QLocale(QLocale::German, QLocale::Belgium)), QStringLiteral("DEU"));
    EXPECT_EQ(LanguageAbbreviationOf(QLocale(QLocale::English, QLocale::Nigeria)), QStringLiteral("ENU"));
    // A language outside the table: its ISO 639-2 code in upper case.
    EXPECT_EQ(LanguageAbbreviationOf(QLocale(QLocale::Swahili, QLocale::Kenya)), QStringLiteral("SWA"));
    // Names Qt does not know become the C locale.
    EXPECT_EQ(LanguageAbbreviationOfName(QStringLiteral("xx_YY")), QStringLiteral("ENU"));
}

TEST(LocaleInfo, OverrideFixesTheUsersAbbreviation)
{
    SetLanguageAbbreviationOverride(QStringLiteral("FRA"));
    EXPECT_EQ(UserLanguageAbbreviation(), QStringLiteral("FRA"));
    SetLanguageAbbreviationOverride(QString());
    const QString system = UserLanguageAbbreviation();
    EXPECT_FALSE(system.isEmpty());
    EXPECT_EQ(system, LanguageAbbreviationOf(QLocale::system()));
}
