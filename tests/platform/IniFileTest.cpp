#include "platform/IniFile.h"

#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::IniFile;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString copyFixture(const QString& name = QStringLiteral("work.ini"))
    {
        const QString path = dir.path() + QLatin1Char('/') + name;
        EXPECT_TRUE(testsupport::writeFile(path, testsupport::readFile(testsupport::fixturePath(QStringLiteral("settings/profile.ini")))));
        return path;
    }
    QString text(const QString& path) const { return QString::fromLatin1(testsupport::readFile(path)); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(IniFileTest, ReadsValuesAsTheProfileFunctionsDo)
{
    const IniFile ini(copyFixture());
    const QString s = QStringLiteral("Einstellungen");
    // Blanks around keys and values are trimmed; sections and keys compare without case.
    EXPECT_EQ(ini.ReadString(s, QStringLiteral("Breite1"), QStringLiteral("-")), QStringLiteral("250"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("EINSTELLUNGEN"), QStringLiteral("BREITE1"), QStringLiteral("-")), QStringLiteral("250"));
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("breite1"), 0), 250); // the first of two equal keys wins
    // Enclosing quotes are removed, blanks inside them kept; a lone quote stays.
    EXPECT_EQ(ini.ReadString(s, QStringLiteral("Selektion"), {}), QStringLiteral("  quoted with blanks  "));
    EXPECT_EQ(ini.ReadString(s, QStringLiteral("Single"), {}), QStringLiteral("x"));
    EXPECT_EQ(ini.ReadString(s, QStringLiteral("HalfQuote"), {}), QStringLiteral("\"open"));
    // Windows-1252 text on disk.
    EXPECT_EQ(ini.ReadString(s, QStringLiteral("Umlaut"), {}), QStringLiteral("Zählerstand °C"));
    // Everything after the first '=' is the value.
    EXPECT_EQ(ini.ReadString(QStringLiteral("Unbekannt"), QStringLiteral("Key"), {}), QStringLiteral("Value=with equals"));
    // Keys before the first section, lines without '=' and comments are no keys.
    EXPECT_EQ(ini.ReadString(QString(), QStringLiteral("orphan"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_FALSE(ini.ValueExists(s, QStringLiteral("NoEqualsLine")));
    // A second section of the same name is searched after the first.
    EXPECT_EQ(ini.ReadString(s, QStringLiteral("Extra"), {}), QStringLiteral("second section of the same name"));
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("Grafik"), false));
}

TEST_F(IniFileTest, IntegersAndBooleans)
{
    IniFile ini(copyFixture());
    const QString s = QStringLiteral("Einstellungen");
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("Zeit"), 7), 7);      // not a number: the default
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("Hex"), 0), 31);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("Dollar"), 0), 16);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("Big"), 5), 5);       // beyond 32 bits
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("Neg"), 0), -12);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("Missing"), 42), 42);
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("Zeit"), true));       // "abc": the default
    EXPECT_FALSE(ini.ReadBool(s, QStringLiteral("Zeit"), false));

    EXPECT_EQ(platform::ParseProfileInteger(QStringLiteral("12x"), -1), -1);
    EXPECT_EQ(platform::ParseProfileInteger(QStringLiteral("-2147483648"), 0), -2147483647 - 1);
    EXPECT_EQ(platform::ParseProfileInteger(QStringLiteral("2147483648"), 3), 3);
    EXPECT_EQ(platform::ParseProfileInteger(QStringLiteral("-"), 3), 3);

    ASSERT_TRUE(ini.WriteBool(QStringLiteral("Neu"), QStringLiteral("An"), true));
    ASSERT_TRUE(ini.WriteBool(QStringLiteral("Neu"), QStringLiteral("Aus"), false));
    ASSERT_TRUE(ini.WriteInteger(QStringLiteral("Neu"), QStringLiteral("Zahl"), -5));
    const QString t = text(ini.FileName());
    EXPECT_TRUE(t.contains(QStringLiteral("\r\nAn=1\r\nAus=0\r\nZahl=-5\r\n")));
}

TEST_F(IniFileTest, WritingKeepsCommentsUnknownSectionsAndOrder)
{
    const QString path = copyFixture();
    IniFile ini(path);
    const QByteArray before = testsupport::readFile(path);

    // Replacing a value changes that line only and keeps the key's spelling.
    ASSERT_TRUE(ini.WriteString(QStringLiteral("einstellungen"), QStringLiteral("BREITE1"), QStringLiteral("300")));
    QByteArray expected = before;
    expected.replace("  Breite1  =  250  \r\n", "Breite1=300\r\n");
    EXPECT_EQ(testsupport::readFile(path), expected);

    // A new key goes after the last line of the first section of that name,
    // before the blank line that separates it from the next section.
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Einstellungen"), QStringLiteral("Neu"), QStringLiteral("ja")));
    const QString t = text(path);
    EXPECT_TRUE(t.contains(QStringLiteral("NoEqualsLine\r\nNeu=ja\r\n\r\n[ Leer ]")));
    EXPECT_TRUE(t.startsWith(QStringLiteral("orphan=before any section\r\n; a comment line\r\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("[Unbekannt]\r\nKey=Value=with equals\r\n")));

    // A new section goes at the end.
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Ganz Neu"), QStringLiteral("K"), QStringLiteral("v")));
    EXPECT_TRUE(text(path).endsWith(QStringLiteral("Key=Value=with equals\r\n\r\n[Ganz Neu]\r\nK=v\r\n")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("ganz neu"), QStringLiteral("k"), {}), QStringLiteral("v"));

    // No temporary file is left beside the file, only the lock file that
    // writers share.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("work.ini"), QStringLiteral("work.ini.lock")}));
}

TEST_F(IniFileTest, SectionsKeysAndErasing)
{
    IniFile ini(copyFixture());
    EXPECT_TRUE(ini.SectionExists(QStringLiteral("leer")));         // empty, but there
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Nirgends")));
    EXPECT_TRUE(ini.ReadSection(QStringLiteral("Leer")).isEmpty());
    EXPECT_EQ(ini.ReadSections(), (QStringList{QStringLiteral("Einstellungen"), QStringLiteral("Leer"), QStringLiteral("Unbekannt")}));

    const QStringList values = ini.ReadSectionValues(QStringLiteral("Einstellungen"));
    ASSERT_GE(values.size(), 3);
    EXPECT_EQ(values[0], QStringLiteral("Breite1=250"));
    EXPECT_EQ(values[1], QStringLiteral("Selektion=  quoted with blanks  "));
    EXPECT_EQ(values.filter(QStringLiteral("reite1=")).size(), 1); // a duplicate key once, first value
    EXPECT_TRUE(values.contains(QStringLiteral("Grafik=1")));
    EXPECT_EQ(values.back(), QStringLiteral("Extra=second section of the same name"));

    ASSERT_TRUE(ini.DeleteKey(QStringLiteral("Einstellungen"), QStringLiteral("Grafik")));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("Einstellungen"), QStringLiteral("Grafik")));
    ASSERT_TRUE(ini.EraseSection(QStringLiteral("EINSTELLUNGEN")));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Einstellungen")));
    EXPECT_TRUE(ini.SectionExists(QStringLiteral("Unbekannt")));
    EXPECT_TRUE(text(ini.FileName()).contains(QStringLiteral("; a comment line")));

    ASSERT_TRUE(ini.CreateSection(QStringLiteral("Leer2")));
    EXPECT_TRUE(ini.SectionExists(QStringLiteral("leer2")));
}

TEST_F(IniFileTest, ValuesSurviveTheRoundTrip)
{
    IniFile ini(dir.path() + QStringLiteral("/new.ini"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("def")), QStringLiteral("def")); // missing file
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("A")));

    const QStringList samples = {
        QStringLiteral("  leading and trailing  "),
        QStringLiteral("\"quoted\""),
        QStringLiteral("'x'"),
        QStringLiteral("/home/łukasz/Archiv"), // outside Windows-1252: the line goes out as UTF-8
        QStringLiteral("Grad °C, Maß"),
        QString(),
    };
    for (int i = 0; i < samples.size(); ++i)
        ASSERT_TRUE(ini.WriteString(QStringLiteral("A"), QStringLiteral("K%1").arg(i), samples[i]));
    for (int i = 0; i < samples.size(); ++i)
        EXPECT_EQ(ini.ReadString(QStringLiteral("A"), QStringLiteral("K%1").arg(i), QStringLiteral("-")), samples[i]) << i;

    // A line break would split the line and plant a key of its own.
    ASSERT_TRUE(ini.WriteString(QStringLiteral("A"), QStringLiteral("Multi"), QStringLiteral("one\r\n[Evil]\nX=1")));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Evil")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("A"), QStringLiteral("Multi"), {}), QStringLiteral("one [Evil] X=1"));

    const QByteArray bytes = testsupport::readFile(ini.FileName());
    EXPECT_TRUE(bytes.contains("K4=Grad \xB0" "C, Ma\xDF\r\n"));
    EXPECT_TRUE(bytes.contains("K3=/home/\xC5\x82ukasz/Archiv\r\n"));
}

TEST_F(IniFileTest, WritabilityChecks)
{
    const QString fresh = dir.path() + QStringLiteral("/fresh.ini");
    EXPECT_FALSE(IniFile::CanOpenForReading(fresh));
    EXPECT_TRUE(IniFile::CanOpenForWriting(fresh));
    EXPECT_TRUE(QFileInfo(fresh).isFile()); // created empty
    EXPECT_TRUE(IniFile::CanOpenForReading(fresh));

    // A directory below a regular file can hold nothing.
    ASSERT_TRUE(testsupport::writeFile(dir.path() + QStringLiteral("/file"), "x"));
    const QString blocked = dir.path() + QStringLiteral("/file/sub/x.ini");
    EXPECT_FALSE(IniFile::CanOpenForWriting(blocked));
    EXPECT_FALSE(IniFile::CanOpenForReading(blocked));
    IniFile ini(blocked);
    EXPECT_FALSE(ini.WriteString(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("d")), QStringLiteral("d"));

    // A directory in place of the file.
    QDir(dir.path()).mkpath(QStringLiteral("adir.ini"));
    EXPECT_FALSE(IniFile::CanOpenForWriting(dir.path() + QStringLiteral("/adir.ini")));
    EXPECT_FALSE(IniFile::CanOpenForReading(dir.path() + QStringLiteral("/adir.ini")));

    // A dangling link cannot be read.
    ASSERT_TRUE(QFile::link(dir.path() + QStringLiteral("/nowhere"), dir.path() + QStringLiteral("/dangling.ini")));
    EXPECT_FALSE(IniFile::CanOpenForReading(dir.path() + QStringLiteral("/dangling.ini")));
}

TEST(IniFilePlaces, NamesWithoutDirectoryLiveInTheWindowsDirectory)
{
    testsupport::ProgramSandbox sandbox;
    EXPECT_EQ(platform::WindowsDirectory(), sandbox.windowsDir());
    EXPECT_EQ(platform::ResolveIniName(QStringLiteral("Kelvor.ini")), sandbox.windowsDir() + QStringLiteral("Kelvor.ini"));
    EXPECT_EQ(platform::ResolveIniName(QStringLiteral("/opt/x.ini")), QStringLiteral("/opt/x.ini"));
    EXPECT_EQ(IniFile(QStringLiteral("Kelvor.ini")).FileName(), sandbox.windowsDir() + QStringLiteral("Kelvor.ini"));

    // Without the variable: the user's configuration directory.
    qunsetenv("VALDRAN_WINDOWS_DIR");
    EXPECT_EQ(platform::WindowsDirectory(), sandbox.root() + QStringLiteral("/config/valdran/"));
}

TEST(IniFileText, ValueWhoseWindows1252BytesLookLikeUtf8ReadsBackAsWritten)
{
    // "Maß°C" is 4D 61 DF B0 43 in Windows-1252, and DF B0 is valid UTF-8:
    // written so, the value would come back with another letter.
    QTemporaryDir dir;
    IniFile ini(dir.path() + QStringLiteral("/t.ini"));
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Einheiten"), QStringLiteral("Temperatur"), QStringLiteral("Maß°C")));
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Einheiten"), QStringLiteral("Zeichen"), QStringLiteral("Ý™")));
    IniFile again(dir.path() + QStringLiteral("/t.ini"));
    EXPECT_EQ(again.ReadString(QStringLiteral("Einheiten"), QStringLiteral("Temperatur"), QString()), QStringLiteral("Maß°C"));
    EXPECT_EQ(again.ReadString(QStringLiteral("Einheiten"), QStringLiteral("Zeichen"), QString()), QStringLiteral("Ý™"));
}

// A file that is there but cannot be read must not be replaced by a file
// that holds only the new key.
TEST(IniFileFailures, AWriteToAFileThatCannotBeReadFailsAndLeavesIt)
{
    QTemporaryDir dir;
    const QString link = dir.path() + QStringLiteral("/link.ini");
    const QString target = dir.path() + QStringLiteral("/nowhere.ini");
    ASSERT_TRUE(QFile::link(target, link));
    IniFile ini(link);
    EXPECT_FALSE(ini.WriteString(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")));
    EXPECT_FALSE(ini.CreateSection(QStringLiteral("S")));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    EXPECT_FALSE(QFileInfo::exists(target));

    // A link that points at itself.
    const QString loop = dir.path() + QStringLiteral("/loop.ini");
    ASSERT_TRUE(QFile::link(loop, loop));
    EXPECT_FALSE(IniFile(loop).WriteString(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")));
    EXPECT_TRUE(QFileInfo(loop).isSymLink());

    // Without read permission (root reads it all the same; then the old key
    // must survive the write).
    const QString locked = dir.path() + QStringLiteral("/locked.ini");
    ASSERT_TRUE(IniFile(locked).WriteString(QStringLiteral("A"), QStringLiteral("Old"), QStringLiteral("1")));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    const bool written = IniFile(locked).WriteString(QStringLiteral("A"), QStringLiteral("New"), QStringLiteral("2"));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(IniFile(locked).ReadString(QStringLiteral("A"), QStringLiteral("Old"), QString()), QStringLiteral("1"));
    EXPECT_EQ(IniFile(locked).ValueExists(QStringLiteral("A"), QStringLiteral("New")), written);
}

// A change on a full disk fails and leaves the whole old file: the sections
// after the changed one used to be cut off while the write reported success.
TEST(IniFileFailures, AChangeOnAFullDiskKeepsEveryOtherSection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    IniFile ini(path);
    for (int s = 1; s <= 9; ++s)
        for (int k = 1; k <= 5; ++k)
            ASSERT_TRUE(ini.WriteString(QStringLiteral("Section%1").arg(s), QStringLiteral("Key%1").arg(k),
                                        QStringLiteral("value %1.%2").arg(s).arg(k)));
    const QByteArray before = testsupport::readFile(path);
    ASSERT_GT(before.size(), 600);

    bool written = true;
    bool erased = true;
    bool deleted = true;
    {
        testsupport::TFullDisk full(300);
        written = ini.WriteString(QStringLiteral("Section1"), QStringLiteral("Key1"), QStringLiteral("changed"));
        erased = ini.EraseSection(QStringLiteral("Section2"));
        deleted = ini.DeleteKey(QStringLiteral("Section3"), QStringLiteral("Key1"));
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(erased);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(testsupport::readFile(path), before);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Section9"), QStringLiteral("Key5"), QString()), QStringLiteral("value 9.5"));
    // Only the lock file stays beside the INI file, no temporary file.
    EXPECT_EQ(testsupport::entriesOf(dir.path()),
              (QStringList{QStringLiteral("settings.ini"), QStringLiteral("settings.ini.lock")}));
}
