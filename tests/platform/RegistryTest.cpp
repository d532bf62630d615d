#include "platform/Registry.h"

#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using platform::Registry;
using platform::RegistryIniFile;

TEST(Registry, HiveFilesFollowTheEnvironment)
{
    testsupport::ProgramSandbox sandbox;
    EXPECT_EQ(Registry::HiveFileName(Registry::CurrentUser), sandbox.registryDir() + QStringLiteral("HKEY_CURRENT_USER.ini"));
    EXPECT_EQ(Registry::HiveFileName(Registry::LocalMachine), sandbox.registryDir() + QStringLiteral("HKEY_LOCAL_MACHINE.ini"));
    qunsetenv("VALDRAN_REGISTRY_DIR");
    EXPECT_EQ(Registry::HiveFileName(Registry::CurrentUser), sandbox.root() + QStringLiteral("/config/valdran/HKEY_CURRENT_USER.ini"));
    EXPECT_EQ(Registry::HiveFileName(Registry::LocalMachine), QStringLiteral("/etc/valdran/HKEY_LOCAL_MACHINE.ini"));
}

TEST(Registry, KeysAndValuesOfTheCurrentUser)
{
    testsupport::ProgramSandbox sandbox;
    Registry reg;
    EXPECT_FALSE(reg.OpenKeyReadOnly(QStringLiteral("\\Software\\Morvax\\bin\\valdran")));
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("\\Software\\Morvax\\bin\\valdran"), false));
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Morvax\\bin\\valdran"), true));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("Pfad"), QStringLiteral("/daten/arc/")));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("XPos"), -20));
    ASSERT_TRUE(reg.WriteBool(QStringLiteral("An"), true));

    // The hive is an INI file with the key path as the section.
    const QString text = QString::fromLatin1(testsupport::readFile(Registry::HiveFileName(Registry::CurrentUser)));
    EXPECT_TRUE(text.contains(QStringLiteral("[Software\\Morvax\\bin\\valdran]\r\nPfad=/daten/arc/\r\nXPos=-20\r\nAn=1\r\n")));

    // Paths compare without case; a leading '\' makes no difference.
    Registry other;
    ASSERT_TRUE(other.OpenKeyReadOnly(QStringLiteral("software\\MORVAX\\bin\\VALDRAN")));
    EXPECT_EQ(other.ReadString(QStringLiteral("pfad")), QStringLiteral("/daten/arc/"));
    EXPECT_EQ(other.ReadInteger(QStringLiteral("XPOS"), 0), -20);
    EXPECT_TRUE(other.ReadBool(QStringLiteral("An")));
    EXPECT_EQ(other.ReadString(QStringLiteral("Fehlt"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_FALSE(other.WriteString(QStringLiteral("Pfad"), QStringLiteral("x"))); // opened for reading
    EXPECT_EQ(other.GetValueNames(), (QStringList{QStringLiteral("Pfad"), QStringLiteral("XPos"), QStringLiteral("An")}));

    // Parents exist through their sub keys.
    EXPECT_TRUE(other.KeyExists(QStringLiteral("\\Software\\Morvax")));
    EXPECT_FALSE(other.KeyExists(QStringLiteral("Software\\Morv")));
    ASSERT_TRUE(other.OpenKeyReadOnly(QStringLiteral("Software\\Morvax")));
    EXPECT_EQ(other.GetKeyNames(), QStringList{QStringLiteral("bin")});

    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Morvax"), false));
    ASSERT_TRUE(reg.DeleteKey(QStringLiteral("Software\\Morvax\\bin")));
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("Software\\Morvax\\bin\\valdran")));
}

TEST(Registry, LocalMachineIsReadOnly)
{
    testsupport::ProgramSandbox sandbox;
    ASSERT_TRUE(testsupport::writeFile(sandbox.registryDir() + QStringLiteral("HKEY_LOCAL_MACHINE.ini"),
                                       "[Software\\Morvax\\OX]\r\nOXRVPROG = C:\\OX\\RV.EXE \r\n"));
    Registry reg(Registry::LocalMachine);
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("\\Software\\Morvax\\OX"), false));
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("\\Software\\Morvax\\Neu"), true));
    ASSERT_TRUE(reg.OpenKeyReadOnly(QStringLiteral("\\Software\\Morvax\\OX")));
    EXPECT_EQ(reg.ReadString(QStringLiteral("OXRVPROG")), QStringLiteral("C:\\OX\\RV.EXE"));
    EXPECT_FALSE(reg.WriteString(QStringLiteral("OXRVPROG"), QStringLiteral("x")));
}

TEST(Registry, UnusableHiveDirectory)
{
    testsupport::ProgramSandbox sandbox;
    ASSERT_TRUE(testsupport::writeFile(sandbox.root() + QStringLiteral("/file"), "x"));
    qputenv("VALDRAN_REGISTRY_DIR", (sandbox.root() + QStringLiteral("/file/reg")).toLocal8Bit());
    Registry reg;
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("Software\\X"), true));
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("Software\\X")));
    RegistryIniFile ini(Registry::CurrentUser, QStringLiteral("Software\\X"), true);
    EXPECT_FALSE(ini.IsWritable());
    EXPECT_FALSE(ini.WriteString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("V")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")), QStringLiteral("d"));
}

TEST(Registry, IniViewUsesSubKeysAsSections)
{
    testsupport::ProgramSandbox sandbox;
    RegistryIniFile writer(Registry::CurrentUser, QStringLiteral("\\Software\\Morvax\\bin\\valdran"), true);
    ASSERT_TRUE(writer.IsWritable());
    EXPECT_TRUE(Registry().KeyExists(QStringLiteral("Software\\Morvax\\bin\\valdran"))); // created at once
    ASSERT_TRUE(writer.WriteString(QStringLiteral("PATH"), QStringLiteral("ARCPATH"), QStringLiteral("  /a b/  ")));
    ASSERT_TRUE(writer.WriteInteger(QStringLiteral("Einstellungen"), QStringLiteral("Zeit"), 2));
    ASSERT_TRUE(writer.WriteBool(QStringLiteral("Einstellungen"), QStringLiteral("Grafik"), true));

    Registry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(QStringLiteral("Software\\Morvax\\bin\\valdran\\PATH")));
    EXPECT_EQ(reg.ReadString(QStringLiteral("ARCPATH")), QStringLiteral("  /a b/  "));

    const RegistryIniFile reader(Registry::CurrentUser, QStringLiteral("Software\\Morvax\\bin\\valdran"), false);
    EXPECT_EQ(reader.ReadString(QStringLiteral("path"), QStringLiteral("arcpath"), {}), QStringLiteral("  /a b/  "));
    EXPECT_EQ(reader.ReadInteger(QStringLiteral("Einstellungen"), QStringLiteral("Zeit"), 0), 2);
    EXPECT_TRUE(reader.ReadBool(QStringLiteral("Einstellungen"), QStringLiteral("Grafik"), false));
    EXPECT_EQ(reader.ReadSections(), (QStringList{QStringLiteral("PATH"), QStringLiteral("Einstellungen")}));
    EXPECT_EQ(reader.ReadSectionValues(QStringLiteral("Einstellungen")), (QStringList{QStringLiteral("Zeit=2"), QStringLiteral("Grafik=1")}));

    RegistryIniFile readOnly(Registry::CurrentUser, QStringLiteral("Software\\Morvax\\bin\\valdran"), false);
    EXPECT_FALSE(readOnly.WriteString(QStringLiteral("PATH"), QStringLiteral("ARCPATH"), QStringLiteral("x")));
    EXPECT_FALSE(readOnly.EraseSection(QStringLiteral("PATH")));

    ASSERT_TRUE(writer.DeleteKey(QStringLiteral("Einstellungen"), QStringLiteral("Zeit")));
    EXPECT_FALSE(reader.ValueExists(QStringLiteral("Einstellungen"), QStringLiteral("Zeit")));
    ASSERT_TRUE(writer.EraseSection(QStringLiteral("PATH")));
    EXPECT_FALSE(reader.SectionExists(QStringLiteral("PATH")));
    EXPECT_TRUE(reader.SectionExists(QStringLiteral("Einstellungen")));
}

TEST(Registry, AValueWrittenOnAFullDiskFailsAndKeepsTheHive)
{
    testsupport::ProgramSandbox sandbox;
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Morvax\\bin\\valdran"), true));
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Wert%1").arg(i), QStringLiteral("Inhalt %1").arg(i)));
    const QString hive = Registry::HiveFileName(Registry::CurrentUser);
    const QByteArray before = testsupport::readFile(hive);
    bool written = true;
    {
        testsupport::TFullDisk full(100);
        written = reg.WriteString(QStringLiteral("Wert0"), QStringLiteral("neu"));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(testsupport::readFile(hive), before);
    EXPECT_EQ(reg.ReadString(QStringLiteral("Wert39")), QStringLiteral("Inhalt 39"));
}
