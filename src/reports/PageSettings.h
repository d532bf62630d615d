#pragma once
// The report editor's page settings in the program's INI file: section "Seite"
// (margins in tenths of the measure unit, "Einheit", "Ausrichtung", the
// preview's "Vorschau") and section "Fusszeile" (the footer font). Read from
// the INI file beside the program, and where that holds no value, from where
// the settings store put it; written through the settings store and its
// fallbacks.
#include <QFont>
#include <QString>
#include <cstdint>

namespace reports {

extern const QString PageSection;     // "Seite"
extern const QString FooterSection;   // "Fusszeile"

int ReadProgramIniInteger(const QString& section, const QString& key, int defaultValue);
QString ReadProgramIniString(const QString& section, const QString& key, const QString& defaultValue);
void WriteProgramIniInteger(const QString& section, const QString& key, int value);

struct TPageMargins {
    int32_t Left = 20;
    int32_t Top = 20;
    int32_t Right = 20;
    int32_t Bottom = 20;
};

// The four margins of "Seite" (default 200 each) divided by 10, whole numbers.
TPageMargins ReadPageMargins();
// True when "Ausrichtung" (default 1) is not 1.
bool ReadPageLandscape();
// Stored style number to font styles: 1 bold, 2 italic, 4 underline, 8 strike-out.
struct TFontStyles {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
};
TFontStyles FontStylesToBits(int bits);
void ApplyFontStyles(QFont& font, const TFontStyles& styles);

// The footer font of "Fusszeile": "FontName" (default "Arial"), "FontSize"
// (default 10), "FontStyle" (default 0).
QFont ReadFooterFont();

} // namespace reports
