#include "evaluation/Settings.h"

#include "base/ZT_Tools.h"

#include "base/IniFiler.h"
#include "platform/IniFile.h"
#include "platform/ProgramPath.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString SecSettings = QStringLiteral("Einstellungen");
const QString SecPath = QStringLiteral("PATH");
const QString SecEvaluation = QStringLiteral("Auswertung");

bool endsWithSeparator(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'));
}

} // namespace

namespace settings {

QString LocalPathFromWindows(const QString& path)
{
    // Every drive letter maps as C: does: what lies below the drive lives
    // below the home directory ("D:\Daten\Arc" is ~/Daten/Arc). A path
    // without a drive that is not absolute is taken below the home directory
    // too: an archive directory relative to wherever the program was started
    // would move with the current directory.
    const QString home = QDir::homePath();
    QString rest = path;
    const bool drive = path.size() >= 2 && path[1] == QLatin1Char(':')
        && ((path[0] >= QLatin1Char('A') && path[0] <= QLatin1Char('Z'))
            || (path[0] >= QLatin1Char('a') && path[0] <= QLatin1Char('z')));
    if (drive)
        rest = path.mid(2);
    else if (path.isEmpty() || path.startsWith(QLatin1Char('/')))
        return path;
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    return rest.isEmpty() ? home : home + QLatin1Char('/') + rest;
}

} // namespace settings

void DefaultArchivePath(TEinstellungen& settings)
{
    // A stored directory stays as it is, even when it is missing right now: it
    // may lie on a drive that is not plugged in, and the first scan then lets
    // the user choose another one.
    if (!settings.ArchivPfad.isEmpty())
        return;
    const platform::IniFile sibling(
        platform::FindFileNoCase(platform::WindowsDirectory(), settings::SiblingIniName()));
    QString path = settings::LocalPathFromWindows(
        sibling.ReadString(SecPath, QStringLiteral("ARCPATH"), QStringLiteral("C:\\AUSWERT\\ARC")).trimmed());
    if (!path.isEmpty() && !QFileInfo(path).isDir() && !QDir().mkpath(path))
        path.clear();
    if (path.isEmpty() || !QFileInfo(path).isDir())
        path = QDir::homePath();
    settings.ArchivPfad = path;
}

void LoadSettings(TEvaluationState& state, TViewState& view, const QString& defaultCounterText)
{
    const TIniFiler ini(QString(), settings::Company(), QString(), false);
    const TEinstellungen defaults;
    TEinstellungen& s = state.Settings;

    state.UserLevel = ini.ReadInteger(SecSettings, QStringLiteral("BenutzerLevel"), 0);
    const int channels = ini.ReadInteger(SecSettings, QStringLiteral("MaxKanal"), 4);
    state.ChannelCount = channels >= 9 ? 8 : channels <= 0 ? 1 : channels;
    state.DateLayoutPerFile = ini.ReadInteger(SecSettings, QStringLiteral("DatumsFormat"), 0) == 1;

    view.Konvert = ini.ReadBool(SecSettings, QStringLiteral("Konvert"), view.Konvert);
    state.Konvert = view.Konvert;
    view.Grafik = ini.ReadBool(SecSettings, QStringLiteral("Grafik"), view.Grafik);
    view.Linien = ini.ReadBool(SecSettings, QStringLiteral("Linien"), view.Linien);
    view.ZST = ini.ReadBool(SecSettings, QStringLiteral("ZST"), view.ZST);
    view.Differenz = ini.ReadBool(SecSettings, QStringLiteral("Differenz"), view.Differenz);
    view.Zusatz = view.ZusatzEnabled ? ini.ReadBool(SecSettings, QStringLiteral("Zusatz"), view.Zusatz) : false;
    view.Breite1 = std::max(ini.ReadInteger(SecSettings, QStringLiteral("Breite1"), view.Breite1), settings::SplitterMinimum);
    view.Selektion = ini.ReadString(SecSettings, QStringLiteral("Selektion"), QString()).left(settings::SelectionLength);
    const int mode = ini.ReadInteger(SecSettings, QStringLiteral("Zeit"), view.Zeit);
    view.Zeit = mode >= 0 && mode <= 2 ? mode : 0;

    s.HoleTB = ini.ReadBool(SecSettings, QStringLiteral("HoleTB"), defaults.HoleTB);
    s.ZeitImmer = ini.ReadBool(SecSettings, QStringLiteral("ZeitImmer"), defaults.ZeitImmer);
    s.KopfZeile = ini.ReadBool(SecSettings, QStringLiteral("KopfZeile"), defaults.KopfZeile);
    s.ArcDesc = ini.ReadBool(SecSettings, QStringLiteral("ArcDesc"), defaults.ArcDesc);
    s.Format = ini.ReadBool(SecSettings, QStringLiteral("Format"), defaults.Format);
    s.ZahlenFormat = ini.ReadString(SecSettings, QStringLiteral("ZahlenFormat"), defaults.ZahlenFormat)
                         .left(settings::NumberFormatLength);
    const int special = ini.ReadInteger(SecSettings, QStringLiteral("SondEreig"), defaults.SondEreig);
    s.SondEreig = uint8_t(special >= 0 && special <= 2 ? special : 1);
    s.OhneDoppelte = ini.ReadBool(SecSettings, QStringLiteral("OhneDoppelte"), defaults.OhneDoppelte);
    s.StatusDekodiert = ini.ReadBool(SecSettings, QStringLiteral("StatusDekodiert"), defaults.StatusDekodiert);
    s.SortOno = ini.ReadBool(SecSettings, QStringLiteral("SortOno"), defaults.SortOno);
    s.GerKan = ini.ReadBool(SecSettings, QStringLiteral("GerKan"), defaults.GerKan);
    s.InstStat = ini.ReadBool(SecSettings, QStringLiteral("InstStat"), defaults.InstStat);

    view.FontName = ini.ReadString(SecSettings, QStringLiteral("Schriftart"), view.FontName).left(settings::FontNameLength);
    // A size below 1 cannot be drawn or printed; keep the widget's size then.
    const int size = ini.ReadInteger(SecSettings, QStringLiteral("SchriftGroesse"), view.FontSize);
    if (size >= 1)
        view.FontSize = size;

    s.ArchivPfad = ini.ReadString(SecPath, QStringLiteral("ARCPATH"), QString());
    DefaultArchivePath(s);
    if (!endsWithSeparator(s.ArchivPfad))
        s.ArchivPfad += QLatin1Char('/');
    s.DateiMaske = ini.ReadString(SecPath, QStringLiteral("ARCFILE"), defaults.DateiMaske);
    s.ZaehlerText = ini.ReadString(SecEvaluation, QStringLiteral("ZST"), defaultCounterText).left(settings::CounterTextLength);
}

void SaveSettings(const TEvaluationState& state, const TViewState& view)
{
    TIniFiler ini(QString(), settings::Company(), QString(), true);
    const TEinstellungen& s = state.Settings;

    ini.WriteBool(SecSettings, QStringLiteral("Konvert"), view.Konvert);
    ini.WriteBool(SecSettings, QStringLiteral("Grafik"), view.Grafik);
    ini.WriteBool(SecSettings, QStringLiteral("Linien"), view.Linien);
    ini.WriteBool(SecSettings, QStringLiteral("ZST"), view.ZST);
    ini.WriteBool(SecSettings, QStringLiteral("Differenz"), view.Differenz);
    ini.WriteBool(SecSettings, QStringLiteral("Zusatz"), view.Zusatz);
    ini.WriteInteger(SecSettings, QStringLiteral("Breite1"), view.Breite1);
    ini.WriteString(SecSettings, QStringLiteral("Selektion"), view.Selektion);
    ini.WriteInteger(SecSettings, QStringLiteral("Zeit"), view.Zeit);
    ini.WriteString(SecSettings, QStringLiteral("Schriftart"), view.FontName);
    ini.WriteInteger(SecSettings, QStringLiteral("SchriftGroesse"), view.FontSize);

    ini.WriteString(SecPath, QStringLiteral("ARCPATH"), s.ArchivPfad);
    ini.WriteString(SecPath, QStringLiteral("ARCFILE"), s.DateiMaske);

    ini.WriteBool(SecSettings, QStringLiteral("HoleTB"), s.HoleTB);
    ini.WriteBool(SecSettings, QStringLiteral("Format"), s.Format);
    ini.WriteBool(SecSettings, QStringLiteral("ZeitImmer"), s.ZeitImmer);
    ini.WriteBool(SecSettings, QStringLiteral("KopfZeile"), s.KopfZeile);
    ini.WriteBool(SecSettings, QStringLiteral("ArcDesc"), s.ArcDesc);
    ini.WriteString(SecSettings, QStringLiteral("ZahlenFormat"), s.ZahlenFormat);
    ini.WriteInteger(SecSettings, QStringLiteral("SondEreig"), s.SondEreig);
    ini.WriteBool(SecSettings, QStringLiteral("OhneDoppelte"), s.OhneDoppelte);
    ini.WriteBool(SecSettings, QStringLiteral("StatusDekodiert"), s.StatusDekodiert);
    ini.WriteBool(SecSettings, QStringLiteral("GerKan"), s.GerKan);
    ini.WriteBool(SecSettings, QStringLiteral("InstStat"), s.InstStat);
    ini.WriteBool(SecSettings, QStringLiteral("SortOno"), s.SortOno);

    ini.WriteString(SecEvaluation, QStringLiteral("ZST"), s.ZaehlerText);
}

bool ReadCommandLine(const QStringList& arguments, TEvaluationState& state)
{
    state.AutoMode = arguments.size() >= 2 && arguments.front() == QLatin1String("AUTO");
    if (!state.AutoMode)
        return false;
    // A path with blanks may come unquoted, split into several arguments.
    const QString path = arguments.mid(1).join(QLatin1Char(' '));
    // The file-name part follows the last separator ('/', '\\' or a drive's
    // colon; a colon inside a Linux name is part of the name).
    const QString mask = FileNamePart(path);
    state.Settings.ArchivPfad = path.left(path.size() - mask.size());
    state.Settings.DateiMaske = mask;
    return true;
}
