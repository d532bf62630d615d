#include "evaluation/Language.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(Language, GermanKeepsTheBuiltInTexts)
{
    testsupport::ProgramSandbox box;
    const TLanguageChoice c = ChooseLanguage(QStringLiteral("DEU"));
    EXPECT_EQ(c.Kind, TLanguageKind::German);
    EXPECT_EQ(c.Code, QStringLiteral("DE"));
    EXPECT_EQ(c.EventCodeFile, QStringLiteral("EvCd_DEU.TXT"));
    EXPECT_EQ(c.HelpFile, box.programDir() + QStringLiteral("AV_DE.HLP"));
    EXPECT_EQ(c.HeadTemplateAbbreviation, QStringLiteral("DEU"));
    EXPECT_EQ(c.CounterText, QStringLiteral("Zählerstände: [ZST_Start_Dat]=[ZST_Start_Val], "
                                            "[ZST_End_Dat]=[ZST_End_Val], Diff.=[ZST_Diff]"));
    EXPECT_EQ(c.CaptionSuffix, QStringLiteral(" - v1.17"));
    EXPECT_EQ(c.Messages[1], QStringLiteral("Datei         "));
    EXPECT_EQ(c.Messages[2], QStringLiteral("Keine Daten in"));
    EXPECT_EQ(c.StatusLines[2], QStringLiteral("Bitte wählen Sie Gerät und Zeitraum."));
    // Austrian German is German as well; the code compares in upper case.
    EXPECT_TRUE(ChooseLanguage(QStringLiteral("DEA")).IsGerman());
    EXPECT_TRUE(ChooseLanguage(QStringLiteral("deu")).IsGerman());
}

TEST(Language, EnglishUsesTheBuiltInEnglishTexts)
{
    testsupport::ProgramSandbox box;
    const TLanguageChoice c = ChooseLanguage(QStringLiteral("ENU"));
    EXPECT_EQ(c.Kind, TLanguageKind::English);
    EXPECT_FALSE(c.NeedsModule());
    EXPECT_EQ(c.EventCodeFile, QStringLiteral("EvCd_ENG.TXT"));
    EXPECT_EQ(c.HelpFile, box.programDir() + QStringLiteral("AV_EN.HLP"));
    EXPECT_EQ(c.HeadTemplateAbbreviation, QStringLiteral("ENU"));
    EXPECT_EQ(c.CounterText, QStringLiteral("meters: [ZST_Start_Dat]=[ZST_Start_Val], "
                                            "[ZST_End_Dat]=[ZST_End_Val], difference=[ZST_Diff]"));
    EXPECT_EQ(c.Messages[0], QStringLiteral("Close"));
    EXPECT_EQ(c.Messages[1], QStringLiteral("file         "));
    EXPECT_EQ(c.Messages[4], QStringLiteral("document printed"));
    EXPECT_EQ(c.StatusLines[0], QString());
    EXPECT_EQ(c.StatusLines[1], QStringLiteral("Please select a path with archive files (*.AGR, *.AGW)."));
    EXPECT_EQ(ChooseLanguage(QStringLiteral("ENG")).Kind, TLanguageKind::English);
}

TEST(Language, OtherLanguagesStartFromEnglishAndNeedAModule)
{
    testsupport::ProgramSandbox box;
    const TLanguageChoice c = ChooseLanguage(QStringLiteral("FRA"));
    EXPECT_EQ(c.Kind, TLanguageKind::Module);
    EXPECT_TRUE(c.NeedsModule());
    EXPECT_EQ(c.Code, QStringLiteral("FR"));
    EXPECT_EQ(c.Abbreviation, QStringLiteral("FRA"));
    EXPECT_EQ(c.HeadTemplateAbbreviation, QStringLiteral("FRA"));
    EXPECT_EQ(c.EventCodeFile, QStringLiteral("EvCd_ENG.TXT"));
    EXPECT_EQ(c.HelpFile, box.programDir() + QStringLiteral("AV_EN.HLP"));
    EXPECT_EQ(c.CounterText, ChooseLanguage(QStringLiteral("ENU")).CounterText);
    EXPECT_EQ(c.Messages, EnglishMainMessages());
    // A one-letter abbreviation matches neither German nor English.
    EXPECT_EQ(ChooseLanguage(QStringLiteral("D")).Kind, TLanguageKind::Module);
}

TEST(Language, EmptyAbbreviationTakesTheEnglishChoice)
{
    testsupport::ProgramSandbox box;
    const TLanguageChoice c = ChooseLanguage(QString());
    EXPECT_EQ(c.Kind, TLanguageKind::English);
    EXPECT_EQ(c.Abbreviation, QStringLiteral("ENU"));
    EXPECT_EQ(c.HeadTemplateAbbreviation, QStringLiteral("ENU"));
    EXPECT_EQ(c.EventCodeFile, QStringLiteral("EvCd_ENG.TXT"));
    EXPECT_FALSE(c.CounterText.isEmpty());
    EXPECT_EQ(c.CaptionSuffix, QStringLiteral(" - v1.17"));
}

TEST(Language, TablesKeepTheirSizesAndUnshownEntries)
{
    // Entries 6 and 7 have no English text; they stay as built.
    EXPECT_EQ(EnglishMainMessages()[6], GermanMainMessages()[6]);
    EXPECT_EQ(EnglishMainMessages()[7], GermanMainMessages()[7]);
    EXPECT_EQ(GermanMainMessages()[5], QStringLiteral("Zeitraum"));
    EXPECT_EQ(EnglishMainMessages()[5], QStringLiteral("period"));
    EXPECT_EQ(GermanStatusLines()[1], QStringLiteral("Bitte wählen Sie ein Verzeichnis mit Archivdateien (*.AGR, *.AGW)."));
}
