#include "reports/PageSettings.h"

#include "base/IniFiler.h"
#include "evaluation/Settings.h"
#include "platform/IniFile.h"

#include <QFileInfo>

namespace reports {

const QString PageSection = QStringLiteral("Seite");
const QString FooterSection = QStringLiteral("Fusszeile");

namespace {

// The INI file beside the program when it exists, else where the profile
// functions would look for a file of that name.
QString programIniName()
{
    const QString beside = TIniFiler::DefaultIniName();
    if (QFileInfo::exists(beside))
        return beside;
    return platform::ResolveIniName(QFileInfo(beside).fileName());
}

} // namespace

QString ReadProgramIniString(const QString& section, const QString& key, const QString& defaultValue)
{
    const platform::IniFile ini(programIniName());
    if (ini.ValueExists(section, key))
        return ini.ReadString(section, key, defaultValue);
    // Written earlier through one of the settings store's fallbacks.
    const TIniFiler store(QString(), settings::Company(), QString(), false);
    return store.ReadString(section, key, defaultValue);
}

int ReadProgramIniInteger(const QString& section, const QString& key, int defaultValue)
{
    const QString text = ReadProgramIniString(section, key, QString());
    if (text.isEmpty())
        return defaultValue;
    return platform::ParseProfileInteger(text, defaultValue);
}

void WriteProgramIniInteger(const QString& section, const QString& key, int value)
{
    TIniFiler store(QString(), settings::Company(), QString(), true);
    store.WriteInteger(section, key, value);
}

TPageMargins ReadPageMargins()
{
    TPageMargins m;
    m.Left = ReadProgramIniInteger(PageSection, QStringLiteral("LeftMargin"), 200) / 10;
    m.Top = ReadProgramIniInteger(PageSection, QStringLiteral("TopMargin"), 200) / 10;
    m.Right = ReadProgramIniInteger(PageSection, QStringLiteral("RightMargin"), 200) / 10;
    m.Bottom = ReadProgramIniInteger(PageSection, QStringLiteral("BottomMargin"), 200) / 10;
    return m;
}

bool ReadPageLandscape()
{
    return ReadProgramIniInteger(PageSection, QStringLiteral("Ausrichtung"), 1) != 1;
}

TFontStyles FontStylesToBits(int bits)
{
    TFontStyles s;
    s.Bold = (bits & 1) != 0;
    s.Italic = (bits & 2) != 0;
    s.Underline = (bits & 4) != 0;
    s.StrikeOut = (bits & 8) != 0;
    return s;
}

void ApplyFontStyles(QFont& font, const TFontStyles& styles)
{
    font.setBold(styles.Bold);
    font.setItalic(styles.Italic);
    font.setUnderline(styles.Underline);
    font.setStrikeOut(styles.StrikeOut);
}

QFont ReadFooterFont()
{
    QFont font(ReadProgramIniString(FooterSection, QStringLiteral("FontName"), QStringLiteral("Arial")));
    const int size = ReadProgramIniInteger(FooterSection, QStringLiteral("FontSize"), 10);
    font.setPointSize(size > 0 ? size : 10);
    ApplyFontStyles(font, FontStylesToBits(ReadProgramIniInteger(FooterSection, QStringLiteral("FontStyle"), 0)));
    return font;
}

} // namespace reports
