// The table print into a CSV or TAB file on cell texts of any kind. The file
// must hold exactly one line, ended by CR LF, per title line, header row and
// data row, and no CR or LF anywhere else: a reader of the file finds every
// row on its own line.
//
// Input: one byte of switches, then a table of cells (fuzzsupport::CellTable).
// Its first row gives the title lines; the other rows are the grid.
#include "FuzzSupport.h"

#include "output/ZT_TabDruck.h"
#include "platform/StringGrid.h"

#include <QFile>

#include <algorithm>
#include <vector>

namespace {

constexpr const char* Target = "text file";

[[noreturn]] void Fail(const char* what, const QString& detail = QString())
{
    fuzzsupport::Fail(Target, what, detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzzsupport::EnsureApplication();
    fuzzsupport::Input in(data, size);
    const uint8_t switches = in.Byte();
    const std::vector<QStringList> table = fuzzsupport::CellTable(in.Rest(), 60, 12);

    platform::TStringGridModel grid;
    int cols = 1;
    for (std::size_t r = 1; r < table.size(); ++r)
        cols = std::max(cols, int(table[r].size()));
    const int rows = std::max(1, int(table.size()) - 1);
    grid.SetColCount(cols);
    grid.SetRowCount(rows);
    grid.SetFixedRows(std::min(rows - 1, (switches >> 2) & 3));
    for (int c = 0; c < cols; ++c)
        grid.SetColWidth(c, (switches >> (4 + c % 4)) & 1 ? 0 : 64);
    for (int r = 0; r < rows; ++r) {
        const std::size_t source = std::size_t(r) + 1;
        if (source < table.size())
            for (int c = 0; c < int(table[source].size()); ++c)
                grid.SetCell(c, r, table[source][c]);
    }

    TZT_TabDruck druck;
    for (const QString& title : table.front())
        druck.SetKopfZeile(title);
    druck.SetTable(&grid, grid.ColCount());
    druck.AusgabeGeraet = AG_Drucker;
    druck.DruckInDatei = true;
    druck.DruckDateiName = fuzzsupport::ScratchDirectory()
                           + ((switches & 1) != 0 ? QStringLiteral("table.csv") : QStringLiteral("table.txt"));
    TrimCellsInFile = (switches & 2) != 0;
    QFile::remove(druck.DruckDateiName);
    if (!druck.PrintTable())
        Fail("the file was not written");
    const QByteArray bytes = fuzzsupport::ReadFile(druck.DruckDateiName);

    // One line per title line, header row and data row; nothing when the grid
    // has no data row.
    const int headerRows = std::max(1, grid.FixedRows());
    const int expected = rows > headerRows ? int(druck.KopfZeilen().size()) + rows : 0;
    int lines = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++lines;
            ++i;
        } else if (bytes[i] == '\r' || bytes[i] == '\n') {
            Fail("a CR or LF inside a line", QString::number(lines + 1));
        }
    }
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
        Fail("the last line has no line end");
    if (lines != expected)
        Fail("lines lost or added", QStringLiteral("%1 of %2").arg(lines).arg(expected));
    return 0;
}
