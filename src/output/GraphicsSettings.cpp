#include "output/GraphicsSettings.h"

using namespace platform;

TGraphicsSettings GraphicsSettings;

void DefaultGraphicsSettings(TGraphicsSettings& s)
{
    s.Reserved0 = 1;
    s.PrintOrientation = 0;
    s.CopyWithHeaders = false;
    s.FontName = QStringLiteral("Courier New");
    s.Reserved35 = 0;
    s.Reserved36 = 2;
    s.Colours = {SystemWindowColor(), clBlack,
                 clBlue, clLime, clRed, clFuchsia, clAqua, clGreen,
                 clMaroon, clPurple, clNavy, clOlive, clTeal, clYellow};
    s.ColourNames[0] = QStringLiteral("Hintergrund");
    s.ColourNames[1] = QStringLiteral("Standardfarbe");
    for (int i = 2; i < GraphicsColourCount - 1; ++i)
        s.ColourNames[i] = QString::number(i - 1) + QStringLiteral(".Kurvenfarbe");
    s.ColourNames[GraphicsColourCount - 1].clear();
    s.Percent = 100;
    s.MarginLeft = 8.0952381;
    s.MarginTop = 5.3535354;
    s.MarginRight = 8.0952381;
    s.MarginBottom = 5.3535354;
    s.Reserved367 = 0;
    s.ImageFileMask = QStringLiteral("*.BMP");
    s.Reserved624.clear();
    s.Reserved881 = 1;
    s.Reserved882 = 0;
    s.Reserved883 = 1;
    s.Reserved884 = 1;
}

void DefaultChartOptions(TChartOptions& o)
{
    o = TChartOptions{};
}

void ChartCustomColors(QList<TColor>& colors)
{
    // Built from fresh defaults on purpose: colours the user picked for the
    // chart must not turn up as the dialog's custom colours.
    TGraphicsSettings defaults;
    DefaultGraphicsSettings(defaults);
    colors.clear();
    for (int i = 0; i < GraphicsColourCount - 1; ++i)
        colors.append(defaults.Colours[i]);
    colors.append(SystemButtonFaceColor());
}

void ChartCustomColors(QStringList& entries)
{
    QList<TColor> colors;
    ChartCustomColors(colors);
    entries.clear();
    for (int i = 0; i < colors.size(); ++i) {
        entries.append(QStringLiteral("Color") + QChar(char16_t(u'A' + i)) + QLatin1Char('=')
                       + QStringLiteral("%1").arg(colors[i], 8, 16, QLatin1Char('0')).toUpper());
    }
}

uintptr_t ChildHostWindow = 0;
bool ChildRemoveCaption = false;

void ChildWindowParams(TWindowCreateParams& params)
{
    if (ChildHostWindow == 0)
        return;
    params.Style |= WS_CHILD;
    if (ChildRemoveCaption)
        params.Style &= ~WS_CAPTION;
    params.WndParent = ChildHostWindow;
}
