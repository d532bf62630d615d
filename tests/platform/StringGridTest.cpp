// Rules of the non-visual string grid that the table and its printing rely on.
#include "platform/StringGrid.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <vector>

using platform::EGridIndexError;
using platform::TGridRect;
using platform::TStringGridModel;

namespace {

// A grid with the given counts and no fixed rows or columns.
void Shape(TStringGridModel& g, int cols, int rows, int fixedCols = 0, int fixedRows = 0)
{
    g.SetFixedCols(0);
    g.SetFixedRows(0);
    g.SetColCount(cols);
    g.SetRowCount(rows);
    g.SetFixedCols(fixedCols);
    g.SetFixedRows(fixedRows);
}

int ChangedCount(TStringGridModel& g, const std::function<void()>& action)
{
    int count = 0;
    auto c = QObject::connect(&g, &TStringGridModel::Changed, [&] { ++count; });
    action();
    QObject::disconnect(c);
    return count;
}

} // namespace

TEST(StringGridModel, CountsStayWithinLimitsAndFixedCountsFollow)
{
    TStringGridModel g;
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.FixedRows(), 1);
    g.SetRowCount(0);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.FixedRows(), 0) << "a count at the fixed count lowers the fixed count";
    g.SetColCount(-3);
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.FixedCols(), 0);

    g.SetRowCount(10);
    g.SetFixedRows(4);
    g.SetRowCount(3);
    EXPECT_EQ(g.FixedRows(), 2);

    g.SetFixedRows(50);
    EXPECT_EQ(g.FixedRows(), 2) << "fixed rows stay below the row count";

    g.SetRowCount(65536);
    EXPECT_EQ(g.RowCount(), 65536);
    EXPECT_THROW(g.SetRowCount(65537), EGridIndexError);
    EXPECT_THROW(g.SetColCount(70000), EGridIndexError);
    EXPECT_EQ(g.RowCount(), 65536);
}

TEST(StringGridModel, IndicesOutsideTheRangeThrow)
{
    TStringGridModel g;
    EXPECT_THROW(g.Cell(-1, 0), EGridIndexError);
    EXPECT_THROW(g.Cell(0, 65536), EGridIndexError);
    EXPECT_THROW(g.SetCell(65536, 0, "x"), EGridIndexError);
    EXPECT_THROW(g.ColWidth(-1), EGridIndexError);
    EXPECT_NO_THROW(g.SetCell(65535, 65535, "far"));
    EXPECT_EQ(g.Cell(65535, 65535), "far");
    EXPECT_THROW(g.MoveRow(0, 7), EGridIndexError) << "moves stay inside the row count";
}

TEST(StringGridModel, CellsBeyondTheCountAreKeptUntilClear)
{
    TStringGridModel g;
    Shape(g, 3, 2);
    g.SetCell(1, 5, "later");
    g.SetCell(4, 0, "wide");
    EXPECT_EQ(g.Cell(1, 5), "later");
    g.SetRowCount(10);
    EXPECT_EQ(g.Cell(1, 5), "later") << "shown again when the row count grows";
    g.SetRowCount(2);
    g.SetColCount(5);
    EXPECT_EQ(g.Cell(4, 0), "wide");

    g.Clear();
    g.SetRowCount(10);
    EXPECT_EQ(g.Cell(1, 5), "") << "clearing discards cells beyond the count as well";
    EXPECT_EQ(g.Cell(4, 0), "");
}

TEST(StringGridModel, WidthsAndHeightsFollowTheDefaults)
{
    TStringGridModel g;
    Shape(g, 4, 4);
    g.SetColWidth(2, 100);
    g.SetColWidth(9, 77); // beyond the columns: ignored
    EXPECT_EQ(g.ColWidth(2), 100);
    EXPECT_EQ(g.ColWidth(9), 64);
    g.SetColCount(6);
    EXPECT_EQ(g.ColWidth(5), 64) << "new columns start at the default width";
    EXPECT_EQ(g.ColWidth(2), 100);

    g.SetDefaultColWidth(10);
    EXPECT_EQ(g.ColWidth(2), 10) << "a new default resets every width";
    g.SetColWidth(0, -5);
    EXPECT_EQ(g.ColWidth(0), 0);

    g.SetRowHeight(1, 30);
    g.SetDefaultRowHeight(18);
    EXPECT_EQ(g.RowHeight(1), 18);
}

TEST(StringGridModel, DeleteColumnShiftsCellsAndWidthsAndLeavesNothingBehind)
{
    TStringGridModel g;
    Shape(g, 4, 2);
    for (int c = 0; c < 4; ++c) {
        g.SetCell(c, 0, QString::number(c));
        g.SetColWidth(c, 10 + c);
    }
    g.DeleteColumn(1);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.Cell(1, 0), "2");
    EXPECT_EQ(g.Cell(2, 0), "3");
    EXPECT_EQ(g.ColWidth(1), 12);
    EXPECT_EQ(g.ColWidth(2), 13);
    g.SetColCount(4);
    EXPECT_EQ(g.Cell(3, 0), "") << "a deleted column's text must not come back";

    g.DeleteColumn(40);
    EXPECT_EQ(g.ColCount(), 4) << "beyond the columns nothing happens";
    g.DeleteColumn(3);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.Cell(2, 0), "3");
}

TEST(StringGridModel, MovingRowsAndColumnsCarriesTheirContents)
{
    TStringGridModel g;
    Shape(g, 3, 5);
    for (int r = 0; r < 5; ++r) {
        g.SetCell(0, r, QString(QChar(u'a' + r)));
        g.SetRowObject(r, quintptr(100 + r));
    }
    g.SetRowHeight(1, 40);
    g.MoveRow(1, 3); // a b c d e -> a c d b e
    QString order;
    for (int r = 0; r < 5; ++r)
        order += g.Cell(0, r);
    EXPECT_EQ(order, "acdbe");
    EXPECT_EQ(g.RowObject(3), quintptr(101));
    EXPECT_EQ(g.RowHeight(3), 40);
    g.MoveRow(3, 1);
    EXPECT_EQ(g.Cell(0, 1), "b");

    g.SetCell(1, 0, "x");
    g.SetCell(2, 0, "y");
    g.SetColWidth(0, 5);
    g.MoveColumn(0, 2); // a x y -> x y a
    EXPECT_EQ(g.Cell(0, 0), "x");
    EXPECT_EQ(g.Cell(1, 0), "y");
    EXPECT_EQ(g.Cell(2, 0), "a");
    EXPECT_EQ(g.Cell(2, 4), "e");
    EXPECT_EQ(g.ColWidth(2), 5);

    g.SwapRows(0, 4);
    EXPECT_EQ(g.Cell(2, 0), "e");
    EXPECT_EQ(g.RowObject(0), quintptr(104));
}

TEST(StringGridModel, SelectionIsNormalisedAndStaysInTheDataArea)
{
    TStringGridModel g;
    Shape(g, 6, 8, 1, 2);
    g.SetSelection(TGridRect{4, 6, 2, 3});
    EXPECT_EQ(g.Selection(), (TGridRect{2, 3, 4, 6}));
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 3);

    g.SetSelection(TGridRect{0, 0, 99, 99});
    EXPECT_EQ(g.Selection(), (TGridRect{1, 2, 5, 7}));

    g.SetRowCount(5);
    EXPECT_EQ(g.Selection().Bottom, 4) << "shrinking pulls the selection in";
    g.SetFixedRows(4);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 4, 5, 4}));
    EXPECT_EQ(g.TopRow(), 4);

    g.MoveCurrent(3, 4, false);
    EXPECT_EQ(g.Selection(), (TGridRect{3, 4, 3, 4}));
}

TEST(StringGridModel, TableOptionBitsMatchTheStoredValue)
{
    using namespace platform;
    EXPECT_EQ(goFixedVertLine | goVertLine | goRangeSelect | goColSizing | goRowMoving | goColMoving, 917u);
    EXPECT_EQ(goThumbTracking, 8192u);
}

TEST(StringGridModel, ChangedIsEmittedOncePerBatch)
{
    TStringGridModel g;
    Shape(g, 20, 1000);
    const int inBatch = ChangedCount(g, [&] {
        g.BeginUpdate();
        g.BeginUpdate();
        for (int r = 0; r < 1000; ++r)
            for (int c = 0; c < 20; ++c)
                g.SetCell(c, r, "v");
        g.EndUpdate();
        EXPECT_TRUE(g.Updating());
        g.EndUpdate();
    });
    EXPECT_EQ(inBatch, 1);

    // Outside a batch the writes are gathered into one queued notification.
    const int loose = ChangedCount(g, [&] {
        for (int r = 0; r < 100; ++r)
            g.SetCell(0, r, "w");
        EXPECT_EQ(ChangedCount(g, [] {}), 0);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(loose, 1);

    EXPECT_EQ(ChangedCount(g, [&] {
        g.SetCell(1, 1, "z");
        g.NotifyChanged();
        QCoreApplication::processEvents();
    }), 1) << "an explicit notification replaces the queued one";

    EXPECT_EQ(ChangedCount(g, [&] {
        g.BeginUpdate();
        g.EndUpdate();
    }), 0) << "an empty batch reports nothing";
}

TEST(StringGridModel, LargeTableStaysCompact)
{
    TStringGridModel g;
    Shape(g, 20, 65535, 0, 1);
    g.BeginUpdate();
    const QString shared = QStringLiteral("12345.678");
    for (int r = 0; r < 65535; ++r)
        for (int c = 0; c < 20; ++c)
            g.SetCell(c, r, shared); // one shared buffer: only the structures count
    g.EndUpdate();
    const double perCell = double(g.MemoryBytes()) / (65535.0 * 20.0);
    // The estimate counts the shared text per cell (~36 bytes); the cell
    // structure itself must stay well below 100 bytes.
    EXPECT_LT(perCell, 100.0);
}

TEST(StringGridModel, CellsReadInPlaceAndRewrittenInTheMiddleOfARow)
{
    TStringGridModel g;
    Shape(g, 4, 3);
    g.SetCell(0, 1, QStringLiteral("a"));
    g.SetCell(2, 1, QStringLiteral("ccc"));
    EXPECT_EQ(g.RowCellCount(1), 3);      // cell 1 stored empty between them
    EXPECT_EQ(g.RowCellCount(0), 0);
    EXPECT_EQ(g.CellView(1, 1), u"");
    EXPECT_EQ(g.CellView(2, 1), u"ccc");
    EXPECT_EQ(g.CellView(3, 1), u"");
    EXPECT_EQ(g.CellView(9, 2), u"");
    // Longer, shorter and empty texts in the middle move the cells behind.
    g.SetCell(1, 1, QStringLiteral("a long text of more than thirty-two characters"));
    EXPECT_EQ(g.Cell(2, 1), QStringLiteral("ccc"));
    g.SetCell(0, 1, QStringLiteral("xyz"));
    g.SetCell(1, 1, QStringLiteral("b"));
    EXPECT_EQ(g.Cell(0, 1), QStringLiteral("xyz"));
    EXPECT_EQ(g.Cell(1, 1), QStringLiteral("b"));
    EXPECT_EQ(g.Cell(2, 1), QStringLiteral("ccc"));
    g.SetCell(0, 1, QString());
    EXPECT_TRUE(g.Cell(0, 1).isEmpty());
    EXPECT_EQ(g.Cell(1, 1), QStringLiteral("b"));
    EXPECT_EQ(g.RowCellCount(1), 3);
    // An empty text beyond the stored cells stores nothing.
    g.SetCell(3, 1, QStringView());
    EXPECT_EQ(g.RowCellCount(1), 3);
}

TEST(StringGridModel, ACellCopiedWithinItsOwnRowKeepsItsText)
{
    TStringGridModel g;
    Shape(g, 3, 2);
    for (const int length : {1, 3, 7, 15, 31, 40}) {
        g.Clear();
        const QString text(length, QChar(u'7'));
        g.SetCell(0, 0, text + QStringLiteral("x"));
        g.SetCell(1, 0, text);
        g.SetCell(2, 0, g.CellView(1, 0));             // appended from the row itself
        g.SetCell(0, 0, g.CellView(1, 0).mid(1));      // shorter, from behind
        g.SetCell(1, 0, g.CellView(0, 0));             // from in front
        EXPECT_EQ(g.Cell(0, 0), text.mid(1)) << length;
        EXPECT_EQ(g.Cell(1, 0), text.mid(1)) << length;
        EXPECT_EQ(g.Cell(2, 0), text) << length;
    }
}

TEST(StringGridModel, CellsWrittenInAnyOrderReadBackAsWritten)
{
    // Appends of the next cell, writes over stored cells, gaps and empty
    // texts, across the room rows are first given, against a plain model.
    TStringGridModel g;
    const int cols = 12, rows = 6;
    Shape(g, cols, rows);
    const std::vector<QString> emptyRow(static_cast<std::size_t>(cols));
    std::vector<std::vector<QString>> model(static_cast<std::size_t>(rows), emptyRow);
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    int inPlace = 0;
    for (int step = 0; step < 4000; ++step) {
        if (step % 100 == 99) {
            // Now and then from empty rows again, so most writes are appends.
            g.Clear();
            g.SetRowCapacityHint(int(next(2 * cols)));
            model.assign(static_cast<std::size_t>(rows), emptyRow);
        }
        const int r = int(next(uint32_t(rows)));
        const int stored = g.RowCellCount(r);
        // Mostly the next cell of the row or one a cell or two beyond it,
        // as a fill writes them.
        const int c = next(3) != 0 && stored < cols ? std::min(cols - 1, stored + int(next(4) == 0 ? next(3) : 0))
                                                    : int(next(uint32_t(cols)));
        QString text;
        if (next(8) != 0)
            text = QString(int(next(20)), QChar(u'a' + char16_t(next(26))));
        if (next(10) == 0 && stored > 0)
            text = g.Cell(int(next(uint32_t(stored))), r) + QStringLiteral("+"); // from the row itself
        if (next(10) == 0 && stored > 0) {
            const int from = int(next(uint32_t(stored)));
            g.SetCell(c, r, g.CellView(from, r));
            model[std::size_t(r)][std::size_t(c)] = model[std::size_t(r)][std::size_t(from)];
        } else if (next(3) == 0) {
            // Made in place: the room asked may exceed the text, and a write
            // that answers 0 leaves its scribbles unseen.
            const bool refuse = text.isEmpty() || next(5) == 0;
            const std::size_t room = std::size_t(text.size()) + next(12);
            const bool written = g.AppendCellInPlace(c, r, room, [&](char16_t* out) -> std::size_t {
                std::fill(out, out + room, u'#');
                std::copy(text.utf16(), text.utf16() + text.size(), out);
                return refuse ? 0 : std::size_t(text.size());
            });
            if (written) {
                model[std::size_t(r)][std::size_t(c)] = text;
                ++inPlace;
            }
            ASSERT_TRUE(!written || (c >= stored && !refuse)) << step;
            ASSERT_TRUE(written || g.RowCellCount(r) == stored) << step;
        } else {
            g.SetCell(c, r, text);
            model[std::size_t(r)][std::size_t(c)] = text;
        }
        for (int k = 0; k < cols; ++k)
            ASSERT_EQ(g.Cell(k, r), model[std::size_t(r)][std::size_t(k)]) << step << ' ' << r << ' ' << k;
        // A text written beyond the stored cells makes it the last stored one.
        if (c >= stored && !g.Cell(c, r).isEmpty()) {
            ASSERT_EQ(g.RowCellCount(r), c + 1) << step;
        }
    }
    EXPECT_GT(inPlace, 100);
}

TEST(StringGridModel, RowsGrowPastTheirFirstRoomAndMoveAsAWhole)
{
    TStringGridModel g;
    Shape(g, 2, 4);
    g.SetRowCapacityHint(0);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 40; ++c)
            g.SetCell(c, r, QString::number(r * 1000 + c).repeated(c % 5 + 1));
    g.SwapRows(0, 3);
    g.MoveRow(1, 2);
    const int order[] = {3, 2, 1, 0};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 40; ++c)
            ASSERT_EQ(g.Cell(c, r), QString::number(order[r] * 1000 + c).repeated(c % 5 + 1)) << r << ' ' << c;
}
