#include "base/FileSelect.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

using platform::TMessageAnswer;

namespace {

const QString GermanExportFilter = QStringLiteral(
    "Export-Dateien (*.CSV)|*.CSV|Excel-Dateien (*.XLS)|*.XLS|ASCII-Dateien (*.ASC)|*.ASC|"
    "Text-Dateien (*.TXT)|*.TXT|HTML-Dateien (*.HTM)|*.HTM|Alle Dateien (*.*)|*.*");

TFileKindTables GermanTables()
{
    TFileKindTables tables;
    tables.Translate(TFileKindWords{});
    return tables;
}

uint16_t IndexOf(TFileKind kind, const QString& name, uint16_t start = 99)
{
    uint16_t index = start;
    FileKindFilterIndex(kind, name, index);
    return index;
}

} // namespace

// ---- Tables and their translation ----------------------------------------------

TEST(FileKindTables, StartWithTheirBracketedWords)
{
    const TFileKindTables tables;
    EXPECT_FALSE(tables.Translated());
    EXPECT_EQ(tables.Title(FileKindExportData), QStringLiteral("Export-[Daten]"));
    EXPECT_EQ(tables.Title(FileKindExecutables), QStringLiteral("ausführbare [Dateien]"));
    EXPECT_EQ(tables.Filter(FileKindTaskLists), QStringLiteral("Tasklisten (*.TLI)|*.TLI|Alle [Dateien] (*.*)|*.*"));
    EXPECT_TRUE(tables.Filter(FileKindCount).isEmpty());
    EXPECT_TRUE(tables.Title(200).isEmpty());
}

TEST(FileKindTables, GermanWordsGiveTheGermanTexts)
{
    const TFileKindTables tables = GermanTables();
    EXPECT_TRUE(tables.Translated());
    EXPECT_EQ(tables.Filter(FileKindExportData), GermanExportFilter);
    EXPECT_EQ(tables.Title(FileKindExportData), QStringLiteral("Export-Daten"));
    EXPECT_EQ(tables.Title(FileKindImportData), QStringLiteral("Import-Daten"));
    EXPECT_EQ(tables.Title(FileKindVisualisationParameters), QStringLiteral("Visualisierungsparameter"));
    EXPECT_EQ(tables.Filter(FileKindVisualisationParameters),
              QStringLiteral("Visualisierungsparameter (*.VPA)|*.VPA|Alle Dateien (*.*)|*.*"));
    EXPECT_EQ(tables.Filter(FileKindImportData).section(u'|', 8, 9), QStringLiteral("Archiv-Dateien (*.AG?)|*.AG?"));
    // No bracket is left for the user to see, whether or not a label carries the word.
    EXPECT_EQ(tables.Filter(FileKindReports), QStringLiteral("PDF-Berichte (*.PDF)|*.PDF|Alle Dateien (*.*)|*.*"));
    EXPECT_EQ(tables.Title(FileKindExecutables), QStringLiteral("ausführbare Dateien"));
    for (int k = 0; k < FileKindCount; ++k) {
        EXPECT_FALSE(tables.Filter(TFileKind(k)).contains(u'[')) << k;
        EXPECT_FALSE(tables.Title(TFileKind(k)).contains(u'[')) << k;
    }
}

TEST(FileKindTables, TranslateWorksOnlyOnce)
{
    TFileKindTables tables;
    tables.Translate(TFileKindWords{QStringLiteral("files"), QStringLiteral("data"), QStringLiteral("parameters")});
    EXPECT_EQ(tables.Title(FileKindExportData), QStringLiteral("Export-data"));
    EXPECT_TRUE(tables.Filter(FileKindExportData).startsWith(QStringLiteral("Export-files (*.CSV)|")));
    tables.Translate(TFileKindWords{});
    EXPECT_EQ(tables.Title(FileKindExportData), QStringLiteral("Export-data"));
}

TEST(FileKindTables, AWordHoldingItsOwnBracketsIsReplacedOnce)
{
    // A translation that repeats the bracketed word must not be replaced
    // again and again.
    TFileKindTables tables;
    tables.Translate(TFileKindWords{QStringLiteral("[Dateien]"), QStringLiteral("x[Daten]x"), QStringLiteral("V")});
    EXPECT_EQ(tables.Title(FileKindExportData), QStringLiteral("Export-x[Daten]x"));
    EXPECT_TRUE(tables.Filter(FileKindTaskLists).endsWith(QStringLiteral("Alle [Dateien] (*.*)|*.*")));
}

TEST(FileKindTables, ResultsAreCutToTheirCapacity)
{
    TFileKindTables tables;
    const QString longWord(300, u'w');
    tables.Translate(TFileKindWords{longWord, longWord, longWord});
    EXPECT_EQ(tables.Title(FileKindExportData).size(), FileKindTitleCapacity);
    EXPECT_EQ(tables.Filter(FileKindExportData).size(), FileKindFilterCapacity);
    EXPECT_EQ(tables.Title(FileKindTaskLists), QStringLiteral("Taskliste"));
}

TEST(ReplaceBracketWords, FindsWordsWithoutRegardToCaseInOnePass)
{
    const TBracketWord words[] = {{QStringLiteral("Dateien"), QStringLiteral("Files")}};
    EXPECT_EQ(ReplaceBracketWords(QStringLiteral("[DATEIEN] und [dateien]"), words, 1, true, -1),
              QStringLiteral("Files und Files"));
    EXPECT_EQ(ReplaceBracketWords(QStringLiteral("a [Berichte] b"), words, 1, true, -1),
              QStringLiteral("a [Berichte] b"));
    EXPECT_EQ(ReplaceBracketWords(QStringLiteral("a [Berichte] b"), words, 1, false, -1),
              QStringLiteral("a Berichte b"));
    // An open bracket without its close is plain text.
    EXPECT_EQ(ReplaceBracketWords(QStringLiteral("x [Dateien"), words, 1, false, -1), QStringLiteral("x [Dateien"));
    EXPECT_EQ(ReplaceBracketWords(QStringLiteral("[Dateien][Dateien]"), words, 1, false, 7),
              QStringLiteral("FilesFi"));
}

// ---- Filter index ----------------------------------------------------------------

TEST(FileKindFilterIndex, MatchesTheExtensionWithoutRegardToCase)
{
    EXPECT_EQ(IndexOf(0, QStringLiteral("X.CSV")), 0);
    EXPECT_EQ(IndexOf(0, QStringLiteral("X.csv")), 0);
    EXPECT_EQ(IndexOf(0, QStringLiteral("x.Xls")), 1);
    EXPECT_EQ(IndexOf(0, QStringLiteral("X.ASC")), 2);
    EXPECT_EQ(IndexOf(0, QStringLiteral("X.txt")), 3);
    EXPECT_EQ(IndexOf(0, QStringLiteral("X.HTM")), 4);
    EXPECT_EQ(IndexOf(0, QStringLiteral("X.html")), 4);     // three characters count
    EXPECT_EQ(IndexOf(0, QStringLiteral("X.AGR")), 5);      // archives only for import
    EXPECT_EQ(IndexOf(0, QStringLiteral("X")), 5);
    EXPECT_EQ(IndexOf(0, QStringLiteral("/home/a.csv/X")), 5);
    EXPECT_EQ(IndexOf(1, QStringLiteral("X.AGR")), 4);
    EXPECT_EQ(IndexOf(1, QStringLiteral("x.agw")), 4);
    EXPECT_EQ(IndexOf(1, QStringLiteral("X.CSV")), 0);
    EXPECT_EQ(IndexOf(1, QStringLiteral("X.HTM")), 4);      // as kind 0
    EXPECT_EQ(IndexOf(1, QStringLiteral("X.BIN")), 5);
    EXPECT_EQ(IndexOf(2, QStringLiteral("a.tli")), 0);
    EXPECT_EQ(IndexOf(2, QStringLiteral("a.csv")), 1);
    EXPECT_EQ(IndexOf(3, QStringLiteral("B.PDF")), 0);
    EXPECT_EQ(IndexOf(4, QStringLiteral("B.vpa")), 0);
    EXPECT_EQ(IndexOf(5, QStringLiteral("B.IPA")), 0);
    EXPECT_EQ(IndexOf(5, QStringLiteral("B.VPA")), 1);
    EXPECT_EQ(IndexOf(6, QStringLiteral("RUN.EXE")), 0);
    EXPECT_EQ(IndexOf(6, QStringLiteral("RUN.BAT")), 1);
    EXPECT_EQ(IndexOf(6, QStringLiteral("run.sh")), 2);
    EXPECT_EQ(IndexOf(7, QStringLiteral("X.CSV"), 42), 42);
}

// ---- Type change -------------------------------------------------------------------

TEST(FileNameForType, ExchangesAKnownExtensionForTheNewType)
{
    EXPECT_EQ(FileNameForType(2, QStringLiteral("TAB.CSV")), QStringLiteral("TAB.XLS"));
    EXPECT_EQ(FileNameForType(5, QStringLiteral("tab.csv")), QStringLiteral("tab.htm"));
    EXPECT_EQ(FileNameForType(1, QStringLiteral("/tmp/x.y/tab.Txt")), QStringLiteral("/tmp/x.y/tab.CSV"));
    EXPECT_EQ(FileNameForType(3, QStringLiteral("TAB.HTM")), QStringLiteral("TAB.ASC"));
    // Types beyond the fifth and unknown extensions keep the name.
    EXPECT_EQ(FileNameForType(6, QStringLiteral("tab.csv")), QStringLiteral("tab.csv"));
    EXPECT_EQ(FileNameForType(2, QStringLiteral("tab.dat")), QStringLiteral("tab.dat"));
    EXPECT_EQ(FileNameForType(2, QStringLiteral("tab")), QStringLiteral("tab"));
    EXPECT_EQ(FileNameForType(2, QStringLiteral("/tmp/x.csv/tab")), QStringLiteral("/tmp/x.csv/tab"));
    EXPECT_EQ(FileNameForType(0, QStringLiteral("tab.csv")), QStringLiteral("tab.csv"));
}


// ---- Asking for a file ---------------------------------------------------------------

class SelectFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldCurrent_ = QDir::currentPath();
        dir_ = sandbox_.root() + QStringLiteral("/Export/");
        ASSERT_TRUE(QDir().mkpath(dir_));
        request_.FileName = QStringLiteral("tab.csv");
        request_.Directory = dir_;
        request_.FileKind = FileKindExportData;
        request_.FilterIndex = 0;
    }
    void TearDown() override { QDir::setCurrent(oldCurrent_); }

    void Answer(const QString& fileName, int filterIndex)
    {
        hooks_.fileAnswers.push_back(platform::TFileDialogAnswer{true, fileName, filterIndex});
    }

    testsupport::ProgramSandbox sandbox_;
    testsupport::FakeHooks hooks_;
    TFileKindTables tables_ = GermanTables();
    TFileRequest request_;
    QString dir_;
    QString oldCurrent_;
};

TEST_F(SelectFile, ShowsTheKindsTitleFilterAndProposal)
{
    Answer(dir_ + QStringLiteral("Monat.xls"), 2);
    request_.FilterIndex = 1;
    SelectFileOfKind(tables_, QStringLiteral("speichern"), request_);

    ASSERT_EQ(hooks_.saveRequests.size(), 1u);
    EXPECT_TRUE(hooks_.openRequests.empty());
    const platform::TFileDialogRequest& shown = hooks_.saveRequests.front();
    EXPECT_EQ(shown.Title, QStringLiteral("Export-Daten speichern"));
    EXPECT_EQ(shown.Filter, GermanExportFilter);
    EXPECT_EQ(shown.FilterIndex, 2);
    EXPECT_EQ(shown.InitialDir, dir_);
    EXPECT_EQ(shown.FileName, QStringLiteral("tab.csv"));
    EXPECT_EQ(shown.DefaultExt, QStringLiteral("csv"));
    ASSERT_TRUE(shown.OnTypeChange);
    EXPECT_EQ(shown.OnTypeChange(4, QStringLiteral("tab.csv")), QStringLiteral("tab.txt"));

    EXPECT_TRUE(request_.Accepted);
    EXPECT_EQ(request_.Directory, dir_);
    EXPECT_EQ(request_.FileName, QStringLiteral("Monat.xls"));
    EXPECT_EQ(request_.FilterIndex, 1);
    EXPECT_TRUE(hooks_.kindMessages.empty());
}

TEST_F(SelectFile, KeepsTheCaseOfDirectoryAndName)
{
    const QString sub = sandbox_.root() + QStringLiteral("/Export/Tabellen/");
    ASSERT_TRUE(QDir().mkpath(sub));
    Answer(sub + QStringLiteral("Tab.Csv"), 1);
    SelectFileOfKind(tables_, QStringLiteral("speichern"), request_);
    ASSERT_TRUE(request_.Accepted);
    EXPECT_EQ(request_.Directory, sub);
    EXPECT_EQ(request_.FileName, QStringLiteral("Tab.Csv"));
    EXPECT_EQ(request_.FilterIndex, 0);
}

TEST_F(SelectFile, CancelLeavesTheRequestButResolvesTheDirectory)
{
    request_.Directory = dir_ + QStringLiteral("gibt-es-nicht/");
    request_.FilterIndex = 3;
    request_.Accepted = true;
    SelectFileOfKind(tables_, QStringLiteral("speichern"), request_);   // no scripted answer: cancelled

    ASSERT_EQ(hooks_.saveRequests.size(), 1u);
    EXPECT_FALSE(request_.Accepted);
    EXPECT_EQ(request_.FileName, QStringLiteral("tab.csv"));
    EXPECT_EQ(request_.FilterIndex, 3);
    EXPECT_EQ(request_.FileKind, FileKindExportData);
    // The missing directory was replaced by a usable one before the dialog opened.
    EXPECT_EQ(hooks_.saveRequests.front().InitialDir, request_.Directory);
    EXPECT_TRUE(request_.Directory.endsWith(u'/'));
    EXPECT_TRUE(QDir(request_.Directory).exists());
    EXPECT_FALSE(request_.Directory.contains(QStringLiteral("gibt-es-nicht")));
}

TEST_F(SelectFile, AnExistingFileIsOnlyTakenAfterYes)
{
    const QString existing = dir_ + QStringLiteral("tab.csv");
    ASSERT_TRUE(testsupport::writeFile(existing, "alt"));

    Answer(existing, 1);
    hooks_.kindAnswers.push_back(TMessageAnswer::No);
    SelectFileOfKind(tables_, QStringLiteral("speichern"), request_);
    EXPECT_FALSE(request_.Accepted);
    ASSERT_EQ(hooks_.kindMessages.size(), 1u);
    EXPECT_EQ(hooks_.kindMessages.front().Kind, 0);
    EXPECT_TRUE(hooks_.kindMessages.front().Text.contains(existing));
    EXPECT_TRUE(hooks_.kindMessages.front().Text.contains(QStringLiteral("existiert schon")));

    Answer(existing, 1);
    hooks_.kindAnswers.push_back(TMessageAnswer::Yes);
    SelectFileOfKind(tables_, QStringLiteral("speichern"), request_);
    EXPECT_TRUE(request_.Accepted);
    EXPECT_EQ(request_.FileName, QStringLiteral("tab.csv"));
    EXPECT_EQ(hooks_.kindMessages.size(), 2u);
    // Asking is all the selection does: the file is untouched.
    EXPECT_EQ(testsupport::readFile(existing), QByteArray("alt"));
}

TEST_F(SelectFile, ANameWithoutDirectoryLiesInTheStartDirectory)
{
    Answer(QStringLiteral("neu.txt"), 4);
    SelectFileOfKind(tables_, QStringLiteral("speichern"), request_);
    ASSERT_TRUE(request_.Accepted);
    EXPECT_EQ(request_.Directory, dir_);
    EXPECT_EQ(request_.FileName, QStringLiteral("neu.txt"));
    EXPECT_EQ(request_.FilterIndex, 3);
}

// The dialog's type change follows one rule for every kind, whatever the
// kind's own list of types is: the first five types stand for CSV, XLS, ASC,
// TXT and HTM.
TEST_F(SelectFile, TheTypeChangeIsOneRuleForEveryKind)
{
    for (int kind = 0; kind < FileKindCount; ++kind) {
        SCOPED_TRACE(kind);
        hooks_.saveRequests.clear();
        request_.FileKind = TFileKind(kind);
        SelectFileOfKind(tables_, QStringLiteral("speichern"), request_);
        ASSERT_EQ(hooks_.saveRequests.size(), 1u);
        const auto& change = hooks_.saveRequests.front().OnTypeChange;
        ASSERT_TRUE(change);
        EXPECT_EQ(change(2, QStringLiteral("a.csv")), QStringLiteral("a.xls"));
        EXPECT_EQ(change(5, QStringLiteral("A.TXT")), QStringLiteral("A.HTM"));
        EXPECT_EQ(change(1, QStringLiteral("a.tli")), QStringLiteral("a.tli"));
        EXPECT_EQ(change(2, QStringLiteral("run.exe")), QStringLiteral("run.exe"));
        EXPECT_EQ(change(6, QStringLiteral("a.csv")), QStringLiteral("a.csv"));
    }
}
