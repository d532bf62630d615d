#pragma once
// A small table as the evaluation leaves it, for the report tests: a hidden
// marker column 0, a time column, value columns; one header row; the fixed
// columns are the marker and the time column.
#include "platform/StringGrid.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QString>
#include <vector>

namespace reporttest {

inline void FillGrid(platform::TStringGridModel& grid, const std::vector<std::vector<QString>>& rows, int fixedCols = 2)
{
    grid.Clear();
    grid.SetColCount(int(rows[0].size()));
    grid.SetRowCount(int(rows.size()));
    grid.SetFixedRows(1);
    grid.SetFixedCols(fixedCols);
    for (int c = 0; c < grid.ColCount(); ++c)
        grid.SetColWidth(c, 80);
    grid.SetColWidth(0, 0);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(rows[std::size_t(r)].size()); ++c)
            grid.SetCell(c, r, rows[std::size_t(r)][std::size_t(c)]);
}

inline void StandardGrid(platform::TStringGridModel& grid)
{
    FillGrid(grid, {{"", "Zeit", "Zählerstand", "Differenz", "Status"},
                    {"", "01.02.2005 06:00", "12346,25", "1,50", "a|b"},
                    {"1", "01.02.2005 06:15", "12347,75", "", "Störung"},
                    {"", "01.02.2005 06:30", "12349,00", "1,25", "=1+1"}});
}

inline QByteArray Png(int w, int h, QColor colour = Qt::blue)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace reporttest
