// The options dialog's decisions without widgets: rescan or refill, typed
// directories, typed text limits and the head template's load and save.
#include "evaluation/OptionsLogic.h"

#include "evaluation/HeadTemplate.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace options;
using testsupport::FakeHooks;
using testsupport::ProgramSandbox;

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

TEST(OptionsCompareTest, OnlyDirectoryMaskArcDescAndGerKanNeedARescan)
{
    TEinstellungen before;
    before.ArchivPfad = QStringLiteral("/data/arc/");

    TEinstellungen after = before;
    after.ZahlenFormat = QStringLiteral("####.##");
    after.Format = !before.Format;
    after.SondEreig = 2;
    after.StatusDekodiert = !before.StatusDekodiert;
    after.ZaehlerText = QStringLiteral("X");
    EXPECT_EQ(CompareSettings(before, after), TOptionsEffect::Refill);

    after = before;
    after.ArchivPfad = QStringLiteral("/data/other/");
    EXPECT_EQ(CompareSettings(before, after), TOptionsEffect::Rescan);
    after = before;
    after.DateiMaske = QStringLiteral("*.AGR");
    EXPECT_EQ(CompareSettings(before, after), TOptionsEffect::Rescan);
    after = before;
    after.ArcDesc = !before.ArcDesc;
    EXPECT_EQ(CompareSettings(before, after), TOptionsEffect::Rescan);
    after = before;
    after.GerKan = !before.GerKan;
    EXPECT_EQ(CompareSettings(before, after), TOptionsEffect::Rescan);

    // The same directory with and without its closing separator.
    after = before;
    after.ArchivPfad = QStringLiteral("/data/arc");
    EXPECT_EQ(CompareSettings(before, after), TOptionsEffect::Refill);
}

TEST(OptionsTypedDirectoryTest, ExistingDirectoriesAreTakenOthersKeepThePrevious)
{
    ProgramSandbox sandbox;
    const QString accepted = sandbox.root() + QStringLiteral("/old/");
    const QString fresh = sandbox.root() + QStringLiteral("/Neue Daten");
    ASSERT_TRUE(QDir().mkpath(fresh));

    // Taken with a closing separator, neither upper-cased nor cut.
    EXPECT_EQ(AcceptTypedDirectory(fresh, accepted), fresh + QLatin1Char('/'));
    EXPECT_EQ(AcceptTypedDirectory(fresh + QLatin1Char('/'), accepted), fresh + QLatin1Char('/'));

    EXPECT_EQ(AcceptTypedDirectory(sandbox.root() + QStringLiteral("/missing"), accepted), accepted);
    EXPECT_EQ(AcceptTypedDirectory(QString(), accepted), accepted);
    ASSERT_TRUE(testsupport::writeFile(sandbox.root() + QStringLiteral("/file"), "x"));
    EXPECT_EQ(AcceptTypedDirectory(sandbox.root() + QStringLiteral("/file"), accepted), accepted);

    // A long path is kept whole.
    QString deep = sandbox.root();
    for (int i = 0; i < 8; ++i)
        deep += QStringLiteral("/a_rather_long_directory_name");
    ASSERT_TRUE(QDir().mkpath(deep));
    EXPECT_EQ(AcceptTypedDirectory(deep, accepted), deep + QLatin1Char('/'));

    // A relative name is made absolute, since the current directory changes.
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(sandbox.root()));
    const QString taken = AcceptTypedDirectory(QStringLiteral("Neue Daten"), accepted);
    QDir::setCurrent(saved);
    EXPECT_EQ(taken, QDir(fresh).absolutePath() + QLatin1Char('/'));
}

TEST(OptionsTypedTextTest, InsertedCharactersAreUpperCasedAndLimited)
{
    // Typing: only ASCII letters become upper case.
    EXPECT_EQ(LimitTypedText(QStringLiteral("*.AG"), QStringLiteral("*.AGr"), 64, true), QStringLiteral("*.AGR"));
    EXPECT_EQ(LimitTypedText(QString(), U("zähler"), 64, true), U("ZäHLER"));
    // Text the program put there keeps its case; only the typed part changes.
    EXPECT_EQ(LimitTypedText(QStringLiteral("*.ag?"), QStringLiteral("x*.ag?"), 64, true), QStringLiteral("X*.ag?"));
    EXPECT_EQ(LimitTypedText(QStringLiteral("abc"), QStringLiteral("abc"), 64, false), QStringLiteral("abc"));

    // A number format of 20 characters takes no 21st.
    const QString full(20, QLatin1Char('#'));
    EXPECT_EQ(LimitTypedText(full, full + QLatin1Char('#'), 20, true), full);
    // A paste is cut to what fits, in the middle as well.
    EXPECT_EQ(LimitTypedText(QStringLiteral("##.#"), QStringLiteral("##########.#"), 8, true),
              QStringLiteral("######.#"));

    // A longer value set by the program is not cut, may shrink, but not grow.
    const QString longer(25, QLatin1Char('#'));
    EXPECT_EQ(LimitTypedText(longer, longer.left(24), 20, true), longer.left(24));
    EXPECT_EQ(LimitTypedText(longer, longer + QLatin1Char('#'), 20, true), longer);
    // Replacing a selection with one character still fits.
    EXPECT_EQ(LimitTypedText(full, QStringLiteral("x") + full.mid(3), 20, true), QStringLiteral("X") + full.mid(3));
}

TEST(OptionsMemoTest, MemoTextAndLines)
{
    EXPECT_TRUE(MemoTextToLines(QString()).isEmpty());
    const QStringList lines{QStringLiteral("Bericht vom: [Dat]"), QString(), QStringLiteral("Ende")};
    EXPECT_EQ(MemoTextToLines(LinesToMemoText(lines)), lines);
}

TEST(OptionsMemoTest, TemplateLoadFallsBackToTheTemplateInMemory)
{
    ProgramSandbox sandbox;
    THeadTemplate inMemory;
    inMemory.SetLines({QStringLiteral("im Speicher")});

    const QString file = sandbox.root() + QStringLiteral("/AV_HD_DEU.TXT");
    ASSERT_TRUE(testsupport::writeFile(file, "Zeile 1\r\n[DEVNO]\r\n"));
    bool fromFile = false;
    EXPECT_EQ(TemplateLinesForMemo(file, inMemory, &fromFile),
              QStringList({QStringLiteral("Zeile 1"), QStringLiteral("[DEVNO]")}));
    EXPECT_TRUE(fromFile);

    // Unreadable: a dangling link.
    const QString dangling = sandbox.root() + QStringLiteral("/dangling.TXT");
    ASSERT_TRUE(QFile::link(sandbox.root() + QStringLiteral("/nowhere"), dangling));
    EXPECT_EQ(TemplateLinesForMemo(dangling, inMemory, &fromFile), inMemory.Lines());
    EXPECT_FALSE(fromFile);
    EXPECT_EQ(TemplateLinesForMemo(QString(), inMemory, &fromFile), inMemory.Lines());
}

TEST(OptionsMemoTest, SavingWritesTheFileOrReportsMessage45AndKeepsTheLines)
{
    ProgramSandbox sandbox;
    FakeHooks hooks;
    const QStringList memo{U("Zählerstände [DEVNO]"), QStringLiteral("[Dat]")};

    THeadTemplate headTemplate;
    headTemplate.SetLines({QStringLiteral("alt")});
    const QString file = sandbox.root() + QStringLiteral("/AV_HD_DEU.TXT");
    EXPECT_TRUE(StoreTemplateFromMemo(memo, file, headTemplate));
    EXPECT_TRUE(hooks.kindMessages.empty());
    THeadTemplate reread;
    ASSERT_TRUE(reread.LoadHeadTemplateFile(file));
    EXPECT_EQ(reread.Lines(), memo);
    // Windows-1252 with CR LF, as the other readers of the file expect.
    EXPECT_EQ(testsupport::readFile(file), QByteArray("Z\xe4hlerst\xe4nde [DEVNO]\r\n[Dat]\r\n"));

    // A directory below a regular file cannot hold the template.
    ASSERT_TRUE(testsupport::writeFile(sandbox.root() + QStringLiteral("/plain"), "x"));
    const QString blocked = sandbox.root() + QStringLiteral("/plain/T.TXT");
    EXPECT_FALSE(StoreTemplateFromMemo(memo, blocked, headTemplate));
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.lastMessageText().contains(QStringLiteral("Fehler beim Schreiben der Datei")));
    EXPECT_TRUE(hooks.lastMessageText().contains(blocked));
    EXPECT_EQ(headTemplate.Lines(), memo);
}

} // namespace
