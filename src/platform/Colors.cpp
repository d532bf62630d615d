#include "platform/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace platform {

namespace {

// The theme is only known once a GUI application exists; before that (or in a
// plain core application) the classic light colours stand in.
TColor PaletteColor(QPalette::ColorRole role, TColor fallback)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return fallback;
    return QColorToColorRef(QGuiApplication::palette().color(QPalette::Active, role));
}

} // namespace

TColor SystemWindowColor() { return PaletteColor(QPalette::Base, clWhite); }
TColor SystemButtonFaceColor() { return PaletteColor(QPalette::Button, 0xF0F0F0); }
TColor SystemHighlightColor() { return PaletteColor(QPalette::Highlight, 0xD77800); }
TColor SystemHighlightTextColor() { return PaletteColor(QPalette::HighlightedText, clWhite); }

} // namespace platform
