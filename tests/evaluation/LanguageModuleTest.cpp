// Language modules: the string-table script format, the LANGUAGE key and the
// module reader's states.
#include "evaluation/LanguageModule.h"
#include "platform/Hooks.h"
#include "platform/IniFile.h"
#include "platform/TextCodec.h"
#include "support/FakeHooks.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using testsupport::FakeHooks;
using testsupport::ProgramSandbox;

namespace {

// A sandboxed program directory whose temporary folder lies in the sandbox too.
class LanguageModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hadTmp_ = qEnvironmentVariableIsSet("TMPDIR");
        oldTmp_ = qgetenv("TMPDIR");
        QDir().mkpath(box.root() + QStringLiteral("/tmp"));
        qputenv("TMPDIR", (box.root() + QStringLiteral("/tmp")).toLocal8Bit());
        QDir().mkpath(box.programDir());
    }
    void TearDown() override
    {
        if (hadTmp_)
            qputenv("TMPDIR", oldTmp_);
        else
            qunsetenv("TMPDIR");
    }

    QString iniPath() const { return box.programDir() + QStringLiteral("valdran.INI"); }
    void setLanguage(const QString& value)
    {
        platform::IniFile(iniPath()).WriteString(QStringLiteral("COMMON"), QStringLiteral("LANGUAGE"), value);
    }
    void writeModule(const QString& relative, const QStringList& lines)
    {
        ASSERT_TRUE(testsupport::writeFile(box.programDir() + relative, platform::EncodeLines(lines)));
    }

    ProgramSandbox box;
    FakeHooks hooks;

private:
    bool hadTmp_ = false;
    QByteArray oldTmp_;
};

} // namespace

TEST(StringTableScript, EntryLinesQuoteAndAlignTheId)
{
    EXPECT_EQ(StringTableEntryLine(11, QStringLiteral("Hinweis")), QStringLiteral("   11, \"Hinweis\""));
    EXPECT_EQ(StringTableEntryLine(20901, QStringLiteral("a \"b\"|c")),
              QStringLiteral("20901, \"a \"\"b\"\"|c\""));
}

TEST(StringTableScript, BlocksAreSortedNumericallyAndKeepDifferentTextsOfOneId)
{
    TStringTableScript script;
    script.Begin(QStringLiteral("valdran"), QStringLiteral("01.02.2024 10:00:00"));
    script.AddComment(QStringLiteral("F-Menuetexte"));
    script.AddEntry(20901, QStringLiteral("Tabelle"), QString());
    script.AddEntry(9, QStringLiteral("neun"), QStringLiteral("Hinweis"));
    script.AddEntry(100, QStringLiteral("hundert"), QString());
    script.AddEntry(9, QStringLiteral("neun"), QStringLiteral("Hinweis"));   // identical: once
    script.AddEntry(100, QStringLiteral("Hundert B"), QString());            // same id, other text: kept
    script.Finish();

    const QStringList expected = {
        QStringLiteral("STRINGTABLE"),
        QStringLiteral("BEGIN"),
        QStringLiteral("  ; "),
        QStringLiteral("  ; valdran-Sprachmodul von ZT_SPR generiert am 01.02.2024 10:00:00"),
        QStringLiteral("  ; "),
        QStringLiteral("  ; "),
        QStringLiteral("  ; F-Menuetexte"),
        QStringLiteral("  ; "),
        QStringLiteral("    9, \"neun|Hinweis\""),
        QStringLiteral("  100, \"Hundert B\""),   // the blank sorts before the quote
        QStringLiteral("  100, \"hundert\""),
        QStringLiteral("20901, \"Tabelle\""),
        QStringLiteral("  ; "),
        QStringLiteral("END"),
    };
    EXPECT_EQ(script.Lines(), expected);
}

TEST(StringTableScript, FileRoundTripKeepsQuotesUmlautsBarsAndForeignLetters)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/t.rc");
    const std::map<int, QString> texts = {
        {1, QStringLiteral("Zählerstände|Diff.")},
        {2, QStringLiteral("Sag \"Ja\"|\"")},
        {3, QStringLiteral("a|b|c")},
        {4, QStringLiteral("|nur Hinweis")},
        {5, QStringLiteral("Łódź ß °")},       // outside Windows-1252: the line goes as UTF-8
        {6, QString()},
        {7, QStringLiteral("  blanks kept  ")},
    };
    TStringTableScript script;
    script.Begin(QStringLiteral("valdran"), QStringLiteral("now"));
    for (const auto& [id, text] : texts)
        script.AddEntry(id, text, QString());
    script.Finish();
    ASSERT_TRUE(script.SaveToFile(path));

    const QByteArray bytes = testsupport::readFile(path);
    EXPECT_TRUE(bytes.contains("\r\n"));
    EXPECT_TRUE(bytes.contains("Z\xe4hlerst\xe4nde"));   // Windows-1252 where possible

    TStringTable table;
    ASSERT_TRUE(ReadStringTableFile(path, table));
    EXPECT_EQ(table, (TStringTable(texts.begin(), texts.end())));
}

TEST(StringTableScript, ReaderSkipsCommentsKeywordsAndBrokenLines)
{
    TStringTable table;
    const int count = ParseStringTable(QStringLiteral(
        "STRINGTABLE DISCARDABLE\n{\n  ; 5, \"comment\"\n// 6, \"comment\"\n"
        "  7,\"no blank\"\n8 \"no comma\"\n9, unquoted\n10, \"open\n"
        "11, \"first\"\n11, \"second\"\n}\nEND\n"), table);
    EXPECT_EQ(count, 4);
    const TStringTable expected = {{7, QStringLiteral("no blank")},
                                   {8, QStringLiteral("no comma")},
                                   {11, QStringLiteral("first")}};
    EXPECT_EQ(table, expected);
    EXPECT_FALSE(ReadStringTableFile(QStringLiteral("/nonexistent/x.rc"), table));
}

TEST_F(LanguageModuleTest, GermanNeedsNoModuleEvenWhenOneExists)
{
    setLanguage(QStringLiteral("DE"));
    writeModule(QStringLiteral("SPR/AV_DE.DLL"), {QStringLiteral("1, \"x\"")});
    const t_ZT_SPR_Auswerten reader(t_ZT_SPR_Auswerten::ProgramModulePrefix());
    EXPECT_EQ(reader.State(), t_ZT_SPR_Auswerten::StateNotNeeded);
    EXPECT_EQ(reader.GetText(1, QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_TRUE(hooks.messageBoxes.empty());
}

TEST_F(LanguageModuleTest, EmptyKeyNeedsNoModuleAndIsWrittenBack)
{
    ASSERT_FALSE(QFile::exists(iniPath()));
    const t_ZT_SPR_Auswerten reader(t_ZT_SPR_Auswerten::ProgramModulePrefix());
    EXPECT_EQ(reader.State(), t_ZT_SPR_Auswerten::StateNotNeeded);
    EXPECT_TRUE(hooks.messageBoxes.empty());
    const platform::IniFile ini(iniPath());
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("COMMON"), QStringLiteral("LANGUAGE")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("LANGUAGE"), QStringLiteral("?")), QString());
}

TEST_F(LanguageModuleTest, MissingModuleIsReportedOnce)
{
    WriteLanguageKeyIfMissing(QStringLiteral("FRA"));
    EXPECT_EQ(ReadLanguageKey(), QStringLiteral("FRA"));
    WriteLanguageKeyIfMissing(QStringLiteral("ITA"));   // a value is kept
    EXPECT_EQ(ReadLanguageKey(), QStringLiteral("FRA"));

    const QString prefix = t_ZT_SPR_Auswerten::ProgramModulePrefix();
    const t_ZT_SPR_Auswerten reader(prefix);
    EXPECT_EQ(reader.State(), t_ZT_SPR_Auswerten::StateMissing);
    EXPECT_EQ(reader.ModuleFileName(), prefix + QStringLiteral("FRA.DLL"));
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes[0].Text, QStringLiteral("file: ") + prefix + QStringLiteral("FRA.DLL not found."));
    EXPECT_EQ(hooks.messageBoxes[0].Caption, QStringLiteral("Meldung"));
    EXPECT_EQ(hooks.messageBoxes[0].Flags, platform::mb::IconStop);
    EXPECT_EQ(reader.GetText(3, QStringLiteral("English")), QStringLiteral("English"));
}

TEST_F(LanguageModuleTest, ModuleIsFoundWithoutRegardToCaseAndAnswersItsTexts)
{
    setLanguage(QStringLiteral("FRA"));
    writeModule(QStringLiteral("spr/av_fra.dll"),
                {QStringLiteral("STRINGTABLE"), QStringLiteral("BEGIN"),
                 QStringLiteral("   1, \"Fermer|Fermer la fenêtre\""), QStringLiteral("   2, \"\""),
                 QStringLiteral("   3, \"") + QString(300, QLatin1Char('x')) + QStringLiteral("\""),
                 QStringLiteral("    0, \"Erreur: %s\""), QStringLiteral("   5, \"Message\""),
                 QStringLiteral("END")});
    const t_ZT_SPR_Auswerten reader(QStringLiteral("%1SPR\\AV_").arg(box.programDir()));
    EXPECT_EQ(reader.State(), t_ZT_SPR_Auswerten::StateLoaded);
    EXPECT_TRUE(hooks.messageBoxes.empty());
    EXPECT_EQ(reader.GetText(1, QStringLiteral("d")), QStringLiteral("Fermer|Fermer la fenêtre"));
    EXPECT_EQ(reader.GetText(2, QStringLiteral("d")), QStringLiteral("d"));     // empty entry
    EXPECT_EQ(reader.GetText(4, QStringLiteral("d")), QStringLiteral("d"));     // no entry
    EXPECT_EQ(reader.GetText(3, QString()).size(), LanguageTextMax);

    hooks.messageBoxAnswers.push_back(platform::mb::IdYes);
    EXPECT_EQ(reader.ShowMessage(5, 6, QStringLiteral("d"), platform::mb::YesNo), platform::mb::IdYes);
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes[0].Text, QStringLiteral("Message"));
    EXPECT_EQ(hooks.messageBoxes[0].Caption, QStringLiteral("Meldung"));
}

TEST_F(LanguageModuleTest, UnwritableProgramDirectoryDoesNotStopTheStart)
{
    // A program directory below a regular file can hold no INI file.
    ASSERT_TRUE(testsupport::writeFile(box.root() + QStringLiteral("/plain"), "x"));
    qputenv("VALDRAN_PROGRAM_DIR", (box.root() + QStringLiteral("/plain/bin")).toLocal8Bit());

    const t_ZT_SPR_Auswerten first(t_ZT_SPR_Auswerten::ProgramModulePrefix());
    EXPECT_EQ(first.State(), t_ZT_SPR_Auswerten::StateNotNeeded);

    // The key written through the fallback is read back at the next start.
    WriteLanguageKeyIfMissing(QStringLiteral("FRA"));
    EXPECT_EQ(ReadLanguageKey(), QStringLiteral("FRA"));
    const t_ZT_SPR_Auswerten second(t_ZT_SPR_Auswerten::ProgramModulePrefix());
    EXPECT_EQ(second.State(), t_ZT_SPR_Auswerten::StateMissing);
    EXPECT_EQ(hooks.messageBoxes.size(), 1u);
}

TEST(StringTableScript, FileRoundTripKeepsTextsWhoseWindows1252BytesLookLikeUtf8)
{
    // "Ý™" is DD 99 in Windows-1252 and also the UTF-8 of another letter: the
    // line must not come back as that letter.
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/t.rc");
    const std::map<int, QString> texts = {{1, QStringLiteral("Ý™ Zähler")}, {2, QStringLiteral("Maß°C|Hinweis")}};
    TStringTableScript script;
    script.Begin(QStringLiteral("valdran"), QStringLiteral("now"));
    for (const auto& [id, text] : texts)
        script.AddEntry(id, text, QString());
    script.Finish();
    ASSERT_TRUE(script.SaveToFile(path));
    TStringTable table;
    ASSERT_TRUE(ReadStringTableFile(path, table));
    EXPECT_EQ(table, (TStringTable(texts.begin(), texts.end())));
}

TEST(StringTableScript, AFullDiskKeepsTheEarlierFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ZT_ENU.RC"));
    ASSERT_TRUE(testsupport::writeFile(path, "old"));
    TStringTableScript script;
    script.Begin(QStringLiteral("valdran"), QStringLiteral("now"));
    for (int id = 1; id <= 300; ++id)
        script.AddEntry(id, QStringLiteral("Text %1").arg(id), QString());
    script.Finish();
    bool saved = true;
    {
        testsupport::TFullDisk full(1000);
        saved = script.SaveToFile(path);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(testsupport::readFile(path), QByteArray("old"));
    EXPECT_EQ(testsupport::entriesOf(dir.path()), QStringList{QStringLiteral("ZT_ENU.RC")});
}
