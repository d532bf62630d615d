#include "reports/BoxTable.h"

#include "platform/StringGrid.h"

#include <cmath>
#include <vector>

namespace reports {

QString PadText(const QString& text, int width, uint8_t mode)
{
    const int length = int(text.size());
    if (width <= length)
        return text;
    const int d = width - length;
    switch (mode) {
    case 1: return QString(d, QLatin1Char(' ')) + text;
    case 2: {
        const int before = int(std::nearbyint(d / 2.0));
        return QString(before, QLatin1Char(' ')) + text + QString(d - before, QLatin1Char(' '));
    }
    default: return text + QString(d, QLatin1Char(' '));
    }
}

uint16_t ColumnTextWidth(const platform::TStringGridModel& grid, int col)
{
    int widest = 0;
    for (int r = 0; r < grid.RowCount(); ++r)
        widest = std::max(widest, int(grid.Cell(col, r).size()));
    return uint16_t(std::min(widest, 0xFFFF));
}

namespace {

QString frameLine(const std::vector<int>& widths, int fixedCols, QChar left, QChar junction, QChar right)
{
    QString line;
    line += left;
    for (size_t c = 0; c < widths.size(); ++c) {
        if (c > 0)
            line += int(c) == fixedCols ? junction : QChar(box::Horizontal);
        line += QString(widths[c], QChar(box::Horizontal));
    }
    line += right;
    return line;
}

} // namespace

QStringList ComposeBoxTable(const platform::TStringGridModel& grid)
{
    const int cols = grid.ColCount();
    const int rows = grid.RowCount();
    const int fixedCols = grid.FixedCols();
    const int fixedRows = grid.FixedRows();
    std::vector<int> widths(static_cast<size_t>(cols));
    int total = 1;
    int split = 0;
    for (int c = 0; c < cols; ++c) {
        widths[size_t(c)] = ColumnTextWidth(grid, c);
        total += widths[size_t(c)] + 1;
        if (c < fixedCols)
            split += widths[size_t(c)] + 1;
    }

    QStringList lines;
    lines << frameLine(widths, fixedCols, box::TopLeft, box::TopJunction, box::TopRight);
    for (int r = 0; r < rows; ++r) {
        if (r == fixedRows) {
            QString sep;
            sep += QChar(box::LeftTee);
            for (int i = 1; i <= total - 2; ++i)
                sep += i == split ? QChar(box::Crossing) : QChar(box::Horizontal);
            sep += QChar(box::RightTee);
            lines << sep;
        }
        QString line;
        line += QChar(box::Vertical);
        for (int c = 0; c < cols; ++c) {
            uint8_t mode = 0;
            if (c + 1 > fixedCols)
                mode = r < fixedRows ? 2 : 1;
            line += PadText(grid.Cell(c, r), widths[size_t(c)], mode);
            if (c < cols - 1)
                line += c + 1 == fixedCols ? QChar(box::Vertical) : QChar(QLatin1Char(' '));
        }
        line += QChar(box::Vertical);
        lines << line;
    }
    lines << frameLine(widths, fixedCols, box::BottomLeft, box::BottomJunction, box::BottomRight);
    return lines;
}

} // namespace reports
