// Lookup and start of the maker's programs over fake program directories and a
// registry stand-in file; a fake start hook records what would be started.
#include "evaluation/ExternalPrograms.h"

#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>
#include <unistd.h>

using testsupport::FakeHooks;
using testsupport::ProgramSandbox;
using testsupport::writeFile;

namespace {

class ExternalProgramsTest : public ::testing::Test {
protected:
    void TearDown() override { ForgetStartedPrograms(); }

    // Writes the machine hive of the registry stand-in.
    void WriteMachineHive(const QByteArray& text)
    {
        ASSERT_TRUE(writeFile(sandbox.registryDir() + QStringLiteral("HKEY_LOCAL_MACHINE.ini"), text));
    }
    QString MakeDir(const QString& name)
    {
        const QString dir = sandbox.root() + QLatin1Char('/') + name;
        EXPECT_TRUE(QDir().mkpath(dir));
        return dir;
    }
    void Touch(const QString& path) { ASSERT_TRUE(writeFile(path, "MZ")); }

    ProgramSandbox sandbox;
    FakeHooks hooks;
};

TEST_F(ExternalProgramsTest, RegistryStringsComeFromTheMachineHive)
{
    WriteMachineHive("[Software\\Morvax\\OX]\r\nOXRVPROG=/opt/ox/rv\r\n"
                     "[Software\\Morvax\\ZTread]\r\nPROGPATH=/opt/zt\r\n");
    EXPECT_EQ(ReadRegistryString(QStringLiteral("OX"), QStringLiteral("OXRVPROG")), QStringLiteral("/opt/ox/rv"));
    EXPECT_EQ(ReadRegistryString(QStringLiteral("ZTread"), QStringLiteral("PROGPATH")), QStringLiteral("/opt/zt"));
    EXPECT_EQ(ReadRegistryString(QStringLiteral("OX"), QStringLiteral("OXQMPROG")), QString());
    EXPECT_EQ(ReadRegistryString(QStringLiteral("Missing"), QStringLiteral("PROGPATH")), QString());
}

TEST_F(ExternalProgramsTest, RegistryDirectoryWithTheInstalledNumber)
{
    const QString dir = MakeDir(QStringLiteral("ox rv"));
    Touch(dir + QStringLiteral("/RV705.EXE"));
    ASSERT_TRUE(writeFile(dir + QStringLiteral("/rv705.ini"),
                          "[PROGRAM]\r\nTITLE=RV-715 Logger\r\nVERSION=3.2\r\n"));
    WriteMachineHive("[Software\\Morvax\\OX]\r\nOXRVPROG=" + dir.toUtf8() + "\r\n");

    const TParamProgram rv = FindParamProgram(QStringLiteral("RV715"), QStringLiteral("OXRVPROG"));
    EXPECT_TRUE(rv.Visible);
    EXPECT_EQ(rv.Directory, dir + QLatin1Char('/'));
    EXPECT_EQ(rv.Stem, QStringLiteral("RV705"));
    EXPECT_EQ(rv.Hint, QStringLiteral("Orvalex RV-715 Logger 3.2"));

    // The upper-case file found is the one started, in its own directory.
    TExternalPrograms programs;
    programs.Find();
    EXPECT_TRUE(programs.OxRV.Visible);
    EXPECT_FALSE(programs.OxQM.Visible);
    EXPECT_FALSE(programs.Readout.Visible);
    EXPECT_TRUE(programs.OxRV_KnopfClick());
    ASSERT_EQ(hooks.startedProcesses.size(), 1u);
    EXPECT_EQ(hooks.startedProcesses[0].program, dir + QStringLiteral("/RV705.EXE"));
    EXPECT_TRUE(hooks.startedProcesses[0].arguments.isEmpty());
    EXPECT_EQ(hooks.startedProcesses[0].workingDir, dir + QLatin1Char('/'));
    ASSERT_FALSE(hooks.windowQueries.empty());
    EXPECT_EQ(hooks.windowQueries[0].className, QStringLiteral("TFoRV705Main"));
    EXPECT_EQ(hooks.windowQueries[0].title, QString());

    // Nothing to click for a program that was not found.
    EXPECT_FALSE(programs.OxQM_KnopfClick());
    EXPECT_EQ(hooks.startedProcesses.size(), 1u);
}

TEST_F(ExternalProgramsTest, ProgramOnlyUnderTheModelNameKeepsTheModelName)
{
    const QString dir = MakeDir(QStringLiteral("qm"));
    Touch(dir + QStringLiteral("/qm410.exe"));
    ASSERT_TRUE(writeFile(dir + QStringLiteral("/QM410.INI"), "[PROGRAM]\r\nTITLE=QM-410\r\n"));
    WriteMachineHive("[Software\\Morvax\\OX]\r\nOXQMPROG=" + dir.toUtf8() + "/\r\n");

    const TParamProgram qm = FindParamProgram(QStringLiteral("QM410"), QStringLiteral("OXQMPROG"));
    EXPECT_TRUE(qm.Visible);
    EXPECT_EQ(qm.Stem, QStringLiteral("QM410"));
    EXPECT_EQ(qm.Directory, dir + QLatin1Char('/'));
    // The INI file of the model name was read; the version defaults to empty.
    EXPECT_EQ(qm.Hint, QStringLiteral("Orvalex QM-410 "));

    const TProgramStart start = ParamProgramStart(qm, QStringLiteral("TFoQM400Main"));
    EXPECT_EQ(start.Executable, dir + QStringLiteral("/qm410.exe"));

    // Neither file present: the installed number is kept, the button shows
    // (the registry names the directory) with the default title.
    const QString empty = MakeDir(QStringLiteral("empty"));
    WriteMachineHive("[Software\\Morvax\\OX]\r\nOXQMPROG=" + empty.toUtf8() + "\r\n");
    const TParamProgram none = FindParamProgram(QStringLiteral("QM410"), QStringLiteral("OXQMPROG"));
    EXPECT_EQ(none.Stem, QStringLiteral("QM400"));
    EXPECT_TRUE(none.Visible);
    EXPECT_EQ(none.Hint, QStringLiteral("Orvalex RV-715 "));
}

TEST_F(ExternalProgramsTest, IniFileInTheWindowsDirectoryNamesTheProgram)
{
    const QString dir = MakeDir(QStringLiteral("from ini"));
    Touch(dir + QStringLiteral("/Rv715.Exe"));
    ASSERT_TRUE(writeFile(sandbox.windowsDir() + QStringLiteral("RV715.INI"),
                          "[PROGRAM]\r\nPROGRAMPATH=" + dir.toUtf8() + "\r\nVERSION=1.0\r\n"));

    TExternalPrograms programs;
    programs.Find();
    EXPECT_TRUE(programs.OxRV.Visible);
    EXPECT_EQ(programs.OxRV.Stem, QStringLiteral("RV715"));
    EXPECT_EQ(programs.OxRV.Directory, dir + QLatin1Char('/'));
    EXPECT_EQ(programs.OxRV.Hint, QStringLiteral("Orvalex RV-715 1.0"));
    EXPECT_FALSE(programs.OxQM.Visible);

    EXPECT_TRUE(programs.OxRV_KnopfClick());
    ASSERT_EQ(hooks.startedProcesses.size(), 1u);
    EXPECT_EQ(hooks.startedProcesses[0].program, dir + QStringLiteral("/Rv715.Exe"));
    EXPECT_EQ(hooks.startedProcesses[0].workingDir, dir + QLatin1Char('/'));
}

TEST_F(ExternalProgramsTest, NothingFoundLeavesTheButtonsHidden)
{
    TExternalPrograms programs;
    programs.Find();
    EXPECT_FALSE(programs.OxRV.Visible);
    EXPECT_FALSE(programs.OxQM.Visible);
    EXPECT_FALSE(programs.Readout.Visible);
    EXPECT_TRUE(programs.OxRV.Hint.isEmpty());
    EXPECT_FALSE(programs.ZTauslesen_KnopfClick());
    EXPECT_TRUE(hooks.startedProcesses.empty());
    EXPECT_TRUE(hooks.openedDocuments.empty());
}

TEST_F(ExternalProgramsTest, ReadoutProgramIsFoundWithoutRegardToCase)
{
    const QString dir = MakeDir(QStringLiteral("zt"));
    WriteMachineHive("[Software\\Morvax\\ZTread]\r\nPROGPATH=" + dir.toUtf8() + "\r\n");
    EXPECT_FALSE(FindReadoutProgram().Visible);   // directory without the program

    Touch(dir + QStringLiteral("/READZT.exe"));
    const TReadoutProgram readout = FindReadoutProgram();
    EXPECT_TRUE(readout.Visible);
    EXPECT_EQ(readout.Directory, dir + QLatin1Char('/'));

    TExternalPrograms programs;
    programs.Find();
    EXPECT_TRUE(programs.ZTauslesen_KnopfClick());
    ASSERT_EQ(hooks.startedProcesses.size(), 1u);
    EXPECT_EQ(hooks.startedProcesses[0].program, dir + QStringLiteral("/READZT.exe"));
    EXPECT_EQ(hooks.startedProcesses[0].workingDir, dir + QLatin1Char('/'));
    ASSERT_FALSE(hooks.windowQueries.empty());
    EXPECT_EQ(hooks.windowQueries[0].className, QString());
    EXPECT_EQ(hooks.windowQueries[0].title, QStringLiteral("ZT auslesen und setzen"));
}

TEST_F(ExternalProgramsTest, RunningProgramIsActivatedNotStartedAgain)
{
    const QString dir = MakeDir(QStringLiteral("rv"));
    Touch(dir + QStringLiteral("/RV705.EXE"));
    WriteMachineHive("[Software\\Morvax\\OX]\r\nOXRVPROG=" + dir.toUtf8() + "\r\n");
    TExternalPrograms programs;
    programs.Find();

    // A window the window finder knows of.
    hooks.windowExists = true;
    EXPECT_TRUE(programs.OxRV_KnopfClick());
    EXPECT_TRUE(hooks.startedProcesses.empty());
    ASSERT_EQ(hooks.activatedWindows.size(), 1u);
    EXPECT_EQ(hooks.activatedWindows[0].className, QStringLiteral("TFoRV705Main"));

    // A program started by the first click is found again by the second; this
    // process stands in for it, as it surely still runs.
    hooks.windowExists = false;
    hooks.startAnswer = {true, 0, qint64(getpid())};
    EXPECT_TRUE(programs.OxRV_KnopfClick());
    EXPECT_TRUE(programs.OxRV_KnopfClick());
    EXPECT_EQ(hooks.startedProcesses.size(), 1u);
}

TEST_F(ExternalProgramsTest, FailedStartIsNotReported)
{
    const QString dir = MakeDir(QStringLiteral("zt"));
    Touch(dir + QStringLiteral("/readzt.EXE"));
    WriteMachineHive("[Software\\Morvax\\ZTread]\r\nPROGPATH=" + dir.toUtf8() + "\r\n");
    TExternalPrograms programs;
    programs.Find();
    hooks.startAnswer = {false, 13, 0};
    EXPECT_FALSE(programs.ZTauslesen_KnopfClick());
    EXPECT_TRUE(hooks.kindMessages.empty());
    EXPECT_TRUE(hooks.messageBoxes.empty());
}

} // namespace
