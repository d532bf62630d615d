#include "evaluation/Settings.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using testsupport::EnvGuard;

const QString CounterText = QStringLiteral("Zählerstand am [ZST_Start_Dat]: [ZST_Start_Val]");

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest()
        : home("HOME", sandbox.root() + QStringLiteral("/home"))
        , tmp("TMPDIR", sandbox.root() + QStringLiteral("/tmp"))
    {
        QDir().mkpath(sandbox.root() + QStringLiteral("/home"));
        QDir().mkpath(sandbox.root() + QStringLiteral("/tmp"));
    }
    QString homeDir() const { return sandbox.root() + QStringLiteral("/home"); }
    QString iniPath() const { return sandbox.programDir() + QStringLiteral("valdran.INI"); }
    bool writeIni(const QByteArray& bytes) const { return testsupport::writeFile(iniPath(), bytes); }

    testsupport::ProgramSandbox sandbox;
    EnvGuard home;
    EnvGuard tmp;
};

} // namespace

TEST_F(SettingsTest, EmptyStoreGivesTheDefaults)
{
    TEvaluationState state;
    TViewState view;
    LoadSettings(state, view, CounterText);

    const QString arc = homeDir() + QStringLiteral("/AUSWERT/ARC/");
    EXPECT_EQ(state.Settings.ArchivPfad, arc);
    EXPECT_TRUE(QFileInfo(arc).isDir()); // created
    EXPECT_EQ(state.Settings.DateiMaske, QStringLiteral("*.AG?"));
    EXPECT_EQ(state.Settings.ZahlenFormat, QStringLiteral("########.####"));
    EXPECT_EQ(state.Settings.SondEreig, 1);
    EXPECT_EQ(state.Settings.ZaehlerText, CounterText);
    EXPECT_TRUE(state.Settings.ZeitImmer);
    EXPECT_TRUE(state.Settings.KopfZeile);
    EXPECT_TRUE(state.Settings.OhneDoppelte);
    EXPECT_TRUE(state.Settings.InstStat);
    EXPECT_FALSE(state.Settings.HoleTB);
    EXPECT_EQ(state.UserLevel, 0);
    EXPECT_EQ(state.ChannelCount, 4);
    EXPECT_FALSE(state.DateLayoutPerFile);
    EXPECT_TRUE(state.Konvert);
    EXPECT_EQ(view.Zeit, 0);
    EXPECT_EQ(view.Breite1, 177);
    EXPECT_EQ(view.FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(view.FontSize, 9);
    EXPECT_TRUE(view.Selektion.isEmpty());
}

TEST_F(SettingsTest, WidgetStatesAreTheDefaults)
{
    TEvaluationState state;
    TViewState view;
    view.Konvert = false;
    view.Grafik = true;
    view.Breite1 = 250;
    view.Zeit = 2;
    view.FontName = QStringLiteral("Arial");
    view.FontSize = 11;
    view.Selektion = QStringLiteral("not a default");
    LoadSettings(state, view, CounterText);
    EXPECT_FALSE(view.Konvert);
    EXPECT_FALSE(state.Konvert);
    EXPECT_TRUE(view.Grafik);
    EXPECT_EQ(view.Breite1, 250);
    EXPECT_EQ(view.Zeit, 2);
    EXPECT_EQ(view.FontName, QStringLiteral("Arial"));
    EXPECT_EQ(view.FontSize, 11);
    EXPECT_TRUE(view.Selektion.isEmpty()); // its default is empty, whatever the window shows
}

TEST_F(SettingsTest, RoundTripKeepsEveryField)
{
    TEvaluationState saved;
    TEinstellungen& s = saved.Settings;
    s.ArchivPfad = homeDir() + QStringLiteral("/Archiv mit Blanks/");
    s.DateiMaske = QStringLiteral("*.AGR");
    s.HoleTB = true;
    s.Format = true;
    s.ZeitImmer = false;
    s.KopfZeile = false;
    s.ArcDesc = true;
    s.SondEreig = 2;
    s.OhneDoppelte = false;
    s.StatusDekodiert = true;
    s.GerKan = true;
    s.InstStat = false;
    s.SortOno = true;
    s.ZaehlerText = QStringLiteral("  [ZST_Diff] kWh; \"Grad\" °C  ");
    s.ZahlenFormat = QStringLiteral("####0.00");
    TViewState view;
    view.Konvert = false;
    view.Grafik = true;
    view.Linien = true;
    view.ZST = true;
    view.Differenz = true;
    view.Zusatz = true;
    view.Breite1 = 312;
    view.Zeit = 1;
    view.FontName = QStringLiteral("DejaVu Sans Mono");
    view.FontSize = 12;
    view.Selektion = QStringLiteral(" Kunde Müller = 4711 ");
    SaveSettings(saved, view);

    TEvaluationState loaded;
    TViewState got; // the widgets' states at creation
    LoadSettings(loaded, got, CounterText);
    const TEinstellungen& l = loaded.Settings;
    EXPECT_EQ(l.ArchivPfad, s.ArchivPfad);
    EXPECT_EQ(l.DateiMaske, s.DateiMaske);
    EXPECT_EQ(l.HoleTB, s.HoleTB);
    EXPECT_EQ(l.Format, s.Format);
    EXPECT_EQ(l.ZeitImmer, s.ZeitImmer);
    EXPECT_EQ(l.KopfZeile, s.KopfZeile);
    EXPECT_EQ(l.ArcDesc, s.ArcDesc);
    EXPECT_EQ(l.SondEreig, s.SondEreig);
    EXPECT_EQ(l.OhneDoppelte, s.OhneDoppelte);
    EXPECT_EQ(l.StatusDekodiert, s.StatusDekodiert);
    EXPECT_EQ(l.GerKan, s.GerKan);
    EXPECT_EQ(l.InstStat, s.InstStat);
    EXPECT_EQ(l.SortOno, s.SortOno);
    EXPECT_EQ(l.ZaehlerText, s.ZaehlerText);
    EXPECT_EQ(l.ZahlenFormat, s.ZahlenFormat);
    EXPECT_FALSE(loaded.Konvert);
    EXPECT_EQ(got.Konvert, view.Konvert);
    EXPECT_EQ(got.Grafik, view.Grafik);
    EXPECT_EQ(got.Linien, view.Linien);
    EXPECT_EQ(got.ZST, view.ZST);
    EXPECT_EQ(got.Differenz, view.Differenz);
    EXPECT_EQ(got.Zusatz, view.Zusatz);
    EXPECT_EQ(got.Breite1, view.Breite1);
    EXPECT_EQ(got.Zeit, view.Zeit);
    EXPECT_EQ(got.FontName, view.FontName);
    EXPECT_EQ(got.FontSize, view.FontSize);
    EXPECT_EQ(got.Selektion, view.Selektion);
}

TEST_F(SettingsTest, SavingWritesSectionsInOrderAndLeavesReadOnlyKeys)
{
    ASSERT_TRUE(writeIni("; written by hand\r\n[Einstellungen]\r\nBenutzerLevel=3\r\nMaxKanal=6\r\nDatumsFormat=1\r\n"));
    TEvaluationState state;
    TViewState view;
    LoadSettings(state, view, CounterText);
    EXPECT_EQ(state.UserLevel, 3);
    EXPECT_EQ(state.ChannelCount, 6);
    EXPECT_TRUE(state.DateLayoutPerFile);
    SaveSettings(state, view);

    const QString text = QString::fromLatin1(testsupport::readFile(iniPath()));
    EXPECT_TRUE(text.startsWith(QStringLiteral("; written by hand\r\n[Einstellungen]\r\nBenutzerLevel=3\r\nMaxKanal=6\r\nDatumsFormat=1\r\nKonvert=1\r\nGrafik=0\r\n")));
    const int settings = text.indexOf(QStringLiteral("[Einstellungen]"));
    const int path = text.indexOf(QStringLiteral("[PATH]"));
    const int evaluation = text.indexOf(QStringLiteral("[Auswertung]"));
    EXPECT_LT(settings, path);
    EXPECT_LT(path, evaluation);
    EXPECT_TRUE(text.contains(QStringLiteral("SchriftGroesse=9\r\nHoleTB=0\r\nFormat=0\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[PATH]\r\nARCPATH=") + homeDir() + QStringLiteral("/AUSWERT/ARC/\r\nARCFILE=*.AG?\r\n")));
    EXPECT_EQ(text.count(QStringLiteral("MaxKanal")), 1);
}

TEST_F(SettingsTest, LoadingClampsAndCuts)
{
    const QByteArray longText(300, 'x');
    ASSERT_TRUE(writeIni("[Einstellungen]\r\nBreite1=5\r\nZeit=7\r\nSondEreig=-1\r\nMaxKanal=0\r\nZusatz=1\r\n"
                         "Selektion=" + longText + "\r\nSchriftart=" + longText + "\r\nZahlenFormat=" + longText + "\r\n"
                         "SchriftGroesse=0\r\n[Auswertung]\r\nZST=" + longText + "\r\n[PATH]\r\nARCPATH=/gone/drive\r\n"));
    TEvaluationState state;
    TViewState view;
    view.ZusatzEnabled = false;
    view.Zusatz = true;
    LoadSettings(state, view, CounterText);
    EXPECT_EQ(view.Breite1, 30);
    EXPECT_EQ(view.Zeit, 0);
    EXPECT_EQ(state.Settings.SondEreig, 1);
    EXPECT_EQ(state.ChannelCount, 1);
    EXPECT_FALSE(view.Zusatz); // a disabled switch is set off
    EXPECT_EQ(view.Selektion.size(), 132);
    EXPECT_EQ(view.FontName.size(), 31);
    EXPECT_EQ(state.Settings.ZahlenFormat.size(), 20);
    EXPECT_EQ(state.Settings.ZaehlerText.size(), 255);
    EXPECT_EQ(view.FontSize, 9);
    // A stored directory that is missing now is kept (a drive not plugged in).
    EXPECT_EQ(state.Settings.ArchivPfad, QStringLiteral("/gone/drive/"));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/gone/drive")));

    ASSERT_TRUE(writeIni("[Einstellungen]\r\nSondEreig=3\r\nMaxKanal=12\r\nZeit=-1\r\nZusatz=1\r\n"));
    TViewState enabled;
    LoadSettings(state, enabled, CounterText);
    EXPECT_EQ(state.Settings.SondEreig, 1);
    EXPECT_EQ(state.ChannelCount, 8);
    EXPECT_EQ(enabled.Zeit, 0);
    EXPECT_TRUE(enabled.Zusatz);

    ASSERT_TRUE(writeIni("[Einstellungen]\r\nMaxKanal=viele\r\nSondEreig=0\r\nZeit=2\r\nDatumsFormat=2\r\n"));
    LoadSettings(state, enabled, CounterText);
    EXPECT_EQ(state.ChannelCount, 4); // not a number: the default
    EXPECT_EQ(state.Settings.SondEreig, 0);
    EXPECT_EQ(enabled.Zeit, 2);
    EXPECT_FALSE(state.DateLayoutPerFile);
}

TEST_F(SettingsTest, DefaultArchivePathFromTheSiblingProgram)
{
    const QString target = sandbox.root() + QStringLiteral("/arc/neu");
    ASSERT_TRUE(testsupport::writeFile(sandbox.windowsDir() + QStringLiteral("KELVOR.INI"),
                                       "[path]\r\narcpath = " + target.toLocal8Bit() + "\r\n"));
    TEinstellungen s;
    DefaultArchivePath(s);
    EXPECT_EQ(s.ArchivPfad, target);
    EXPECT_TRUE(QFileInfo(target).isDir());

    // A drive C: path of the sibling lives below the home directory.
    ASSERT_TRUE(testsupport::writeFile(sandbox.windowsDir() + QStringLiteral("KELVOR.INI"), "[PATH]\r\nARCPATH=C:\\Daten\\Arc\r\n"));
    TEinstellungen c;
    DefaultArchivePath(c);
    EXPECT_EQ(c.ArchivPfad, homeDir() + QStringLiteral("/Daten/Arc"));
    EXPECT_TRUE(QFileInfo(c.ArchivPfad).isDir());

    // A directory that cannot be made gives the home directory.
    ASSERT_TRUE(testsupport::writeFile(sandbox.root() + QStringLiteral("/file"), "x"));
    ASSERT_TRUE(testsupport::writeFile(sandbox.windowsDir() + QStringLiteral("KELVOR.INI"),
                                       "[PATH]\r\nARCPATH=" + sandbox.root().toLocal8Bit() + "/file/arc\r\n"));
    TEinstellungen blocked;
    DefaultArchivePath(blocked);
    EXPECT_EQ(blocked.ArchivPfad, homeDir());

    // A stored directory is left alone.
    TEinstellungen stored;
    stored.ArchivPfad = QStringLiteral("/media/usb/arc/");
    DefaultArchivePath(stored);
    EXPECT_EQ(stored.ArchivPfad, QStringLiteral("/media/usb/arc/"));

    EXPECT_EQ(settings::LocalPathFromWindows(QStringLiteral("C:\\")), homeDir());
    EXPECT_EQ(settings::LocalPathFromWindows(QStringLiteral("c:\\AUSWERT\\ARC")), homeDir() + QStringLiteral("/AUSWERT/ARC"));
    EXPECT_EQ(settings::LocalPathFromWindows(QStringLiteral("/srv/arc")), QStringLiteral("/srv/arc"));
}

// Any drive letter maps as C: does; the archive directory is never relative
// (a folder "D:\Daten\Arc" in the current directory would be made, and the
// archives looked up wherever the program was started).
TEST_F(SettingsTest, DefaultArchivePathOfAnyDriveLivesBelowTheHomeDirectory)
{
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(sandbox.root()));
    for (const QByteArray& sibling : {QByteArray("D:\\Daten\\Arc"), QByteArray("z:/Daten/Arc"), QByteArray("Daten\\Arc")}) {
        ASSERT_TRUE(testsupport::writeFile(sandbox.windowsDir() + QStringLiteral("KELVOR.INI"),
                                           "[PATH]\r\nARCPATH=" + sibling + "\r\n"));
        TEinstellungen s;
        DefaultArchivePath(s);
        EXPECT_EQ(s.ArchivPfad, homeDir() + QStringLiteral("/Daten/Arc")) << sibling.toStdString();
        EXPECT_TRUE(QFileInfo(s.ArchivPfad).isAbsolute());
        EXPECT_TRUE(QFileInfo(s.ArchivPfad).isDir());
    }
    EXPECT_FALSE(QFileInfo::exists(sandbox.root() + QStringLiteral("/D:\\Daten\\Arc")));
    EXPECT_FALSE(QFileInfo::exists(sandbox.root() + QStringLiteral("/Daten")));
    QDir::setCurrent(cwd);
    EXPECT_EQ(settings::LocalPathFromWindows(QStringLiteral("D:\\")), homeDir());
}

TEST_F(SettingsTest, AutoCommandLine)
{
    TEvaluationState state;
    TViewState initial;
    LoadSettings(state, initial, CounterText);

    EXPECT_TRUE(ReadCommandLine({QStringLiteral("AUTO"), QStringLiteral("D:\\Daten\\Archiv"), QStringLiteral("1\\*.AGR")}, state));
    EXPECT_TRUE(state.AutoMode);
    EXPECT_EQ(state.Settings.ArchivPfad, QStringLiteral("D:\\Daten\\Archiv 1\\"));
    EXPECT_EQ(state.Settings.DateiMaske, QStringLiteral("*.AGR"));

    // The run's values are saved at its end.
    SaveSettings(state, TViewState());
    TEvaluationState next;
    TViewState view;
    LoadSettings(next, view, CounterText);
    EXPECT_EQ(next.Settings.ArchivPfad, QStringLiteral("D:\\Daten\\Archiv 1\\"));
    EXPECT_EQ(next.Settings.DateiMaske, QStringLiteral("*.AGR"));

    EXPECT_TRUE(ReadCommandLine({QStringLiteral("AUTO"), QStringLiteral("/srv/arc hiv/x 1.AGW")}, next));
    EXPECT_EQ(next.Settings.ArchivPfad, QStringLiteral("/srv/arc hiv/"));
    EXPECT_EQ(next.Settings.DateiMaske, QStringLiteral("x 1.AGW"));

    // A colon inside a Linux name belongs to the name; a drive's colon ends the directory.
    EXPECT_TRUE(ReadCommandLine({QStringLiteral("AUTO"), QStringLiteral("/arc/T12:00*.AGR")}, next));
    EXPECT_EQ(next.Settings.ArchivPfad, QStringLiteral("/arc/"));
    EXPECT_EQ(next.Settings.DateiMaske, QStringLiteral("T12:00*.AGR"));
    EXPECT_TRUE(ReadCommandLine({QStringLiteral("AUTO"), QStringLiteral("C:*.AGR")}, next));
    EXPECT_EQ(next.Settings.ArchivPfad, QStringLiteral("C:"));
    EXPECT_EQ(next.Settings.DateiMaske, QStringLiteral("*.AGR"));

    TEvaluationState other;
    other.AutoMode = true;
    EXPECT_FALSE(ReadCommandLine({QStringLiteral("auto"), QStringLiteral("/srv/x.AGR")}, other));
    EXPECT_FALSE(other.AutoMode);
    EXPECT_FALSE(ReadCommandLine({QStringLiteral("AUTO")}, other));
    EXPECT_FALSE(ReadCommandLine({}, other));
    EXPECT_FALSE(ReadCommandLine({QStringLiteral("/srv/x.AGR"), QStringLiteral("AUTO")}, other));
    EXPECT_TRUE(other.Settings.ArchivPfad.isEmpty());
    EXPECT_EQ(other.Settings.DateiMaske, QStringLiteral("*.AG?"));
}

TEST_F(SettingsTest, UnusableProgramDirectoryKeepsSettingsInTheRegistry)
{
    ASSERT_TRUE(testsupport::writeFile(sandbox.root() + QStringLiteral("/file"), "x"));
    EnvGuard program("VALDRAN_PROGRAM_DIR", sandbox.root() + QStringLiteral("/file/bin"));
    TEvaluationState state;
    state.Settings.ArchivPfad = QStringLiteral("/srv/arc/");
    TViewState view;
    view.Zeit = 2;
    SaveSettings(state, view);

    TEvaluationState loaded;
    TViewState got;
    LoadSettings(loaded, got, CounterText);
    EXPECT_EQ(loaded.Settings.ArchivPfad, QStringLiteral("/srv/arc/"));
    EXPECT_EQ(got.Zeit, 2);
}
