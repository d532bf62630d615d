#include "base/IniFiler.h"

#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testsupport::EnvGuard;

using Kind = TIniFiler::TStoreKind;

class IniFilerTest : public ::testing::Test {
protected:
    IniFilerTest()
        : tmp("TMPDIR", sandbox.root() + QStringLiteral("/tmp"))
    {
        QDir().mkpath(sandbox.root() + QStringLiteral("/tmp"));
        testsupport::writeFile(sandbox.root() + QStringLiteral("/file"), "x");
    }
    // A directory below a regular file: nothing can be created there.
    QString blocked(const QString& name) const { return sandbox.root() + QStringLiteral("/file/") + name; }
    QString iniPath() const { return sandbox.programDir() + QStringLiteral("valdran.INI"); }
    QString tempIniPath() const { return platform::UserTempDirectory() + QStringLiteral("valdran.INI"); }
    static QString key() { return QStringLiteral("Software\\Morvax\\bin\\valdran"); }

    testsupport::ProgramSandbox sandbox;
    EnvGuard tmp;
};

} // namespace

TEST_F(IniFilerTest, NamesOfFileAndKey)
{
    EXPECT_EQ(TIniFiler::DefaultIniName(), iniPath());
    EXPECT_EQ(TIniFiler::ProgramRegistryKey(QStringLiteral("Morvax"), QString()), key());
    EXPECT_EQ(TIniFiler::ProgramRegistryKey(QString(), QString()), QStringLiteral("Software\\bin\\valdran"));
    EXPECT_EQ(TIniFiler::ProgramRegistryKey(QStringLiteral("Morvax"), QStringLiteral("Sub")), QStringLiteral("Software\\Morvax\\bin\\Sub"));

    // The temporary folder is the user's own.
    const QString temp = platform::UserTempDirectory();
    EXPECT_TRUE(temp.startsWith(sandbox.root() + QStringLiteral("/tmp/valdran-")));
    EXPECT_EQ(QFileInfo(temp).permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                                | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());
}

TEST_F(IniFilerTest, WritableProgramDirectoryKeepsTheIniFileBesideTheProgram)
{
    {
        const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
        EXPECT_EQ(reader.StoreKind(), Kind::ProgramIni);
        EXPECT_EQ(reader.Name(), iniPath());
        EXPECT_TRUE(QFileInfo(iniPath()).isFile()); // created empty when reading
        EXPECT_EQ(reader.ReadString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), QStringLiteral("*.AG?")), QStringLiteral("*.AG?"));
        EXPECT_EQ(reader.ReadInteger(QStringLiteral("Einstellungen"), QStringLiteral("Zeit"), 2), 2);
    }
    {
        TIniFiler writer(QString(), QStringLiteral("Morvax"), QString(), true);
        EXPECT_EQ(writer.StoreKind(), Kind::ProgramIni);
        writer.WriteString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), QStringLiteral("*.AGR"));
        writer.WriteInteger(QStringLiteral("Einstellungen"), QStringLiteral("Zeit"), 1);
        writer.WriteBool(QStringLiteral("Einstellungen"), QStringLiteral("Grafik"), true);
    }
    const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
    EXPECT_EQ(reader.ReadString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), {}), QStringLiteral("*.AGR"));
    EXPECT_EQ(reader.ReadInteger(QStringLiteral("Einstellungen"), QStringLiteral("Zeit"), 0), 1);
    EXPECT_TRUE(reader.ReadBool(QStringLiteral("Einstellungen"), QStringLiteral("Grafik"), false));
    // Nothing went to the registry.
    EXPECT_FALSE(QFileInfo::exists(platform::Registry::HiveFileName(platform::Registry::CurrentUser)));
}

TEST_F(IniFilerTest, UnusableProgramDirectoryGoesToTheRegistry)
{
    EnvGuard program("VALDRAN_PROGRAM_DIR", blocked(QStringLiteral("bin")));
    {
        // Reading first: without the marker the registry does not count, and
        // nothing else is there.
        const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
        EXPECT_EQ(reader.StoreKind(), Kind::FallbackIni);
        EXPECT_EQ(reader.ReadInteger(QStringLiteral("Einstellungen"), QStringLiteral("Zeit"), 2), 2);
    }
    {
        TIniFiler writer(QString(), QStringLiteral("Morvax"), QString(), true);
        EXPECT_EQ(writer.StoreKind(), Kind::Registry);
        EXPECT_EQ(writer.Name(), key());
        writer.WriteString(QStringLiteral("PATH"), QStringLiteral("ARCPATH"), QStringLiteral("/daten/arc/"));
        writer.WriteInteger(QStringLiteral("Einstellungen"), QStringLiteral("Zeit"), 1);
    }
    platform::Registry reg;
    EXPECT_TRUE(reg.KeyExists(key() + QStringLiteral("\\ifInfo")));
    ASSERT_TRUE(reg.OpenKeyReadOnly(key() + QStringLiteral("\\PATH")));
    EXPECT_EQ(reg.ReadString(QStringLiteral("ARCPATH")), QStringLiteral("/daten/arc/"));

    const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
    EXPECT_EQ(reader.StoreKind(), Kind::Registry);
    EXPECT_EQ(reader.ReadString(QStringLiteral("PATH"), QStringLiteral("ARCPATH"), {}), QStringLiteral("/daten/arc/"));
    EXPECT_EQ(reader.ReadInteger(QStringLiteral("Einstellungen"), QStringLiteral("Zeit"), 0), 1);
}

TEST_F(IniFilerTest, RegistryValuesWithoutMarkerDoNotCount)
{
    EnvGuard program("VALDRAN_PROGRAM_DIR", blocked(QStringLiteral("bin")));
    platform::Registry reg;
    ASSERT_TRUE(reg.OpenKey(key() + QStringLiteral("\\PATH"), true));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("ARCPATH"), QStringLiteral("/alt/")));
    const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
    EXPECT_NE(reader.StoreKind(), Kind::Registry);
    EXPECT_EQ(reader.ReadString(QStringLiteral("PATH"), QStringLiteral("ARCPATH"), QStringLiteral("d")), QStringLiteral("d"));
}

TEST_F(IniFilerTest, LastResortIsTheTemporaryFolder)
{
    EnvGuard program("VALDRAN_PROGRAM_DIR", blocked(QStringLiteral("bin")));
    EnvGuard registry("VALDRAN_REGISTRY_DIR", blocked(QStringLiteral("registry")));
    {
        TIniFiler writer(QString(), QStringLiteral("Morvax"), QString(), true);
        EXPECT_EQ(writer.StoreKind(), Kind::TempIni);
        EXPECT_EQ(writer.Name(), tempIniPath());
        writer.WriteString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), QStringLiteral("*.AGW"));
    }
    const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
    EXPECT_EQ(reader.StoreKind(), Kind::TempIni);
    EXPECT_EQ(reader.ReadString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), {}), QStringLiteral("*.AGW"));
}

TEST_F(IniFilerTest, TemporaryIniIsFoundOnlyWhenNothingBeforeItIs)
{
    ASSERT_TRUE(testsupport::writeFile(tempIniPath(), "[PATH]\r\nARCFILE=*.TMP\r\n"));
    // The program's INI file wins as soon as the directory allows it.
    const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
    EXPECT_EQ(reader.StoreKind(), Kind::ProgramIni);
    EXPECT_EQ(reader.ReadString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), QStringLiteral("*.AG?")), QStringLiteral("*.AG?"));
}

TEST_F(IniFilerTest, WithoutAnyStoreWritesAreDropped)
{
    EnvGuard program("VALDRAN_PROGRAM_DIR", blocked(QStringLiteral("bin")));
    EnvGuard registry("VALDRAN_REGISTRY_DIR", blocked(QStringLiteral("registry")));
    EnvGuard temp("TMPDIR", blocked(QStringLiteral("tmp")));
    TIniFiler writer(QString(), QStringLiteral("Morvax"), QString(), true);
    EXPECT_EQ(writer.StoreKind(), Kind::None);
    writer.WriteString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), QStringLiteral("*.AGW")); // no crash, no effect
    EXPECT_EQ(writer.ReadString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), QStringLiteral("d")), QStringLiteral("d"));

    const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
    EXPECT_EQ(reader.StoreKind(), Kind::FallbackIni);
    EXPECT_EQ(reader.Name(), blocked(QStringLiteral("bin/valdran.INI")));
    EXPECT_FALSE(reader.ReadBool(QStringLiteral("Einstellungen"), QStringLiteral("Grafik"), false));
}

// The program's INI file exists and can be read but not opened for writing:
// reading uses it, writing goes to the registry. Permission bits do not stop
// root, a running program does: nobody may open its file for writing (the
// system answers "text file busy"), so the INI file here is a copy of a small
// program with the settings appended, running while the stores are chosen.
TEST_F(IniFilerTest, ProgramIniFileThatRefusesWritesIsReadAndWritesGoToTheRegistry)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("sleep"));
    ASSERT_FALSE(program.isEmpty());
    ASSERT_TRUE(QFile::copy(program, iniPath()));
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("\n[PATH]\r\nARCFILE=*.AGR\r\n");
    }
    ASSERT_TRUE(QFile::setPermissions(iniPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QProcess running;
    running.start(iniPath(), {QStringLiteral("30")});
    ASSERT_TRUE(running.waitForStarted());
    {
        QFile probe(iniPath());
        ASSERT_FALSE(probe.open(QIODevice::ReadWrite)) << "the running program's file must refuse writing";
    }
    {
        const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
        EXPECT_EQ(reader.StoreKind(), Kind::ProgramIni);
        EXPECT_EQ(reader.ReadString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), {}), QStringLiteral("*.AGR"));
        TIniFiler writer(QString(), QStringLiteral("Morvax"), QString(), true);
        EXPECT_EQ(writer.StoreKind(), Kind::Registry);
        writer.WriteString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), QStringLiteral("*.AGW"));
    }
    // With the registry's marker written, reading finds the registry first.
    const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
    EXPECT_EQ(reader.StoreKind(), Kind::Registry);
    EXPECT_EQ(reader.ReadString(QStringLiteral("PATH"), QStringLiteral("ARCFILE"), {}), QStringLiteral("*.AGW"));
    running.kill();
    running.waitForFinished();
}

// Two program instances writing into one INI file at the same time: every key
// of both arrives (each write reads, changes and replaces the file under a
// lock), and a reader meanwhile always sees a whole file.
TEST_F(IniFilerTest, TwoProcessesWritingOneIniFileLoseNoKey)
{
    constexpr int Keys = 200;
    {
        TIniFiler first(QString(), QStringLiteral("Morvax"), QString(), true);
        ASSERT_EQ(first.StoreKind(), Kind::ProgramIni);
        first.WriteString(QStringLiteral("Ende"), QStringLiteral("Marke"), QStringLiteral("da"));
    }
    pid_t children[2] = {};
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            TIniFiler writer(QString(), QStringLiteral("Morvax"), QString(), true);
            for (int i = 0; i < Keys; ++i)
                writer.WriteString(QStringLiteral("Prozess%1").arg(c), QStringLiteral("Key%1").arg(i), QString::number(i));
            ::_exit(writer.StoreKind() == Kind::ProgramIni ? 0 : 1);
        }
    }
    // Read while they write: the last section is there in every reading.
    int readings = 0;
    bool whole = true;
    for (int alive = 2; alive > 0;) {
        alive = 0;
        for (const pid_t child : children)
            alive += ::waitpid(child, nullptr, WNOHANG) == 0 ? 1 : 0;
        const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
        whole = whole && reader.ReadString(QStringLiteral("Ende"), QStringLiteral("Marke"), QString()) == QStringLiteral("da");
        ++readings;
    }
    EXPECT_TRUE(whole) << readings;

    const TIniFiler reader(QString(), QStringLiteral("Morvax"), QString(), false);
    int found = 0;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < Keys; ++i)
            found += reader.ReadString(QStringLiteral("Prozess%1").arg(c), QStringLiteral("Key%1").arg(i), QString()) ==
                     QString::number(i);
    EXPECT_EQ(found, 2 * Keys);
}
