#pragma once
// Text tables of the editor report: a string grid drawn with box-drawing
// characters, one text line per frame line or grid row, for a fixed-pitch font
// that has the box glyphs. Fixed columns are set off by vertical lines, fixed
// rows by a separator line.
#include <QChar>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace platform { class TStringGridModel; }

namespace reports {

// The box characters, as code page 437 has them at 0xB3, 0xC4, 0xDA, ...
namespace box {
constexpr char16_t Vertical = u'\u2502';        // 0xB3
constexpr char16_t Horizontal = u'\u2500';      // 0xC4
constexpr char16_t TopLeft = u'\u250C';         // 0xDA
constexpr char16_t TopJunction = u'\u252C';     // 0xC2
constexpr char16_t TopRight = u'\u2510';        // 0xBF
constexpr char16_t BottomLeft = u'\u2514';      // 0xC0
constexpr char16_t BottomJunction = u'\u2534';  // 0xC1
constexpr char16_t BottomRight = u'\u2518';     // 0xD9
constexpr char16_t LeftTee = u'\u251C';         // 0xC3
constexpr char16_t Crossing = u'\u253C';        // 0xC5
constexpr char16_t RightTee = u'\u2524';        // 0xB4
} // namespace box

// Pads text to width with blanks: mode 0 left-aligned (blanks after), 1
// right-aligned (blanks before), 2 centred (half the blanks before, halves
// to the even neighbour). A text as long as the width or longer is returned
// unchanged.
QString PadText(const QString& text, int width, uint8_t mode);

// Greatest text length in column col over all rows.
uint16_t ColumnTextWidth(const platform::TStringGridModel& grid, int col);

// The table's lines, top frame first, bottom frame last. Lines are never cut,
// so a wide table keeps its columns and its closing line.
QStringList ComposeBoxTable(const platform::TStringGridModel& grid);

} // namespace reports
