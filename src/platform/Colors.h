#pragma once
// Colours are kept as the window system's colour values (byte order
// 0x00BBGGRR, so 0xFF0000 is blue) wherever the program stores or compares
// them; they become QColor only at the moment something is drawn.
#include <QColor>
#include <cstdint>

namespace platform {

using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

inline QColor ColorRefToQColor(TColor c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

inline TColor QColorToColorRef(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return TColor(rgb.red()) | (TColor(rgb.green()) << 8) | (TColor(rgb.blue()) << 16);
}

// Colours of the desktop theme as colour values: the window background
// (clWindow), the button face (clBtnFace) and the selection colours. Without a
// GUI application the usual light defaults are answered.
TColor SystemWindowColor();
TColor SystemButtonFaceColor();
TColor SystemHighlightColor();
TColor SystemHighlightTextColor();

} // namespace platform
