// The grid view on the offscreen platform: cells under the mouse, range
// selection by mouse and keyboard, column sizing and moving, and painting that
// touches only the visible cells.
#include "platform/forms/StringGridView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using platform::TGridDrawState;
using platform::TGridMouseEvent;
using platform::TGridRect;
using platform::TStringGridModel;
using platform::TStringGridView;

namespace {

constexpr platform::TGridOptions TableOptions = 917;

// 10 columns of 64 pixels and 100 rows of 24 pixels, one fixed row and column,
// the table's options (vertical lines only, so a column takes 65 pixels and a
// row 24).
struct GridFixture : ::testing::Test {
    TStringGridView view;
    TStringGridModel& model = *view.Model();
    std::vector<TGridMouseEvent> downs, moves, ups;

    void SetUp() override
    {
        model.SetColCount(10);
        model.SetRowCount(100);
        model.SetFixedCols(1);
        model.SetFixedRows(1);
        model.SetOptions(TableOptions);
        for (int r = 0; r < 100; ++r)
            for (int c = 0; c < 10; ++c)
                model.SetCell(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
        model.NotifyChanged();
        view.resize(420, 320);
        view.show();
        view.UpdateFromModel();
        view.OnMouseDown = [this](const TGridMouseEvent& e) { downs.push_back(e); };
        view.OnMouseMove = [this](const TGridMouseEvent& e) { moves.push_back(e); };
        view.OnMouseUp = [this](const TGridMouseEvent& e) { ups.push_back(e); };
    }

    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPointF local(x, y);
        const QPointF global = view.viewport()->mapToGlobal(local);
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent ev(type, local, global, type == QEvent::MouseMove ? Qt::NoButton : button, held, mods);
        QCoreApplication::sendEvent(view.viewport(), &ev);
    }
    void Drag(int x0, int y0, int x1, int y1, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonPress, x0, y0, Qt::LeftButton, mods);
        Mouse(QEvent::MouseMove, (x0 + x1) / 2, (y0 + y1) / 2, Qt::LeftButton, mods);
        Mouse(QEvent::MouseMove, x1, y1, Qt::LeftButton, mods);
        Mouse(QEvent::MouseButtonRelease, x1, y1, Qt::LeftButton, mods);
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent ev(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(&view, &ev);
    }
    // Centre of a visible cell.
    QPoint At(int col, int row) const { return view.CellRect(col, row).center(); }
};

} // namespace

TEST_F(GridFixture, MouseToCellAndCellRectAgree)
{
    int col = 0, row = 0;
    view.MouseToCell(70, 30, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(view.CellRect(1, 1), QRect(65, 24, 64, 24));
    EXPECT_EQ(view.CellRect(0, 0), QRect(0, 0, 64, 24));
    view.MouseToCell(-1, 5, col, row);
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
    EXPECT_TRUE(view.CellRect(5, 90).isEmpty()) << "a row far below the view is not visible";

    model.SetColWidth(2, 0); // hidden column takes no pixels
    EXPECT_TRUE(view.CellRect(2, 1).isEmpty());
    view.MouseToCell(140, 30, col, row);
    EXPECT_EQ(col, 3);
}

TEST_F(GridFixture, DragSelectsARangeAndReportsCells)
{
    const QPoint a = At(1, 1), b = At(3, 4);
    Drag(a.x(), a.y(), b.x(), b.y());
    EXPECT_EQ(model.Selection(), (TGridRect{1, 1, 3, 4}));
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].Col, 1);
    EXPECT_EQ(downs[0].Row, 1);
    EXPECT_EQ(downs[0].Button, Qt::LeftButton);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].Col, 3);
    EXPECT_EQ(ups[0].Row, 4);
    EXPECT_EQ(ups[0].X, b.x());
    EXPECT_EQ(moves.size(), 2u);

    // Shift+click extends from the anchor; a plain click collapses.
    const QPoint c = At(2, 6);
    Mouse(QEvent::MouseButtonPress, c.x(), c.y(), Qt::LeftButton, Qt::ShiftModifier);
    Mouse(QEvent::MouseButtonRelease, c.x(), c.y(), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(model.Selection(), (TGridRect{1, 1, 2, 6}));
    EXPECT_EQ(ups.back().Modifiers, Qt::ShiftModifier);
    Mouse(QEvent::MouseButtonPress, c.x(), c.y());
    Mouse(QEvent::MouseButtonRelease, c.x(), c.y());
    EXPECT_EQ(model.Selection(), (TGridRect{2, 6, 2, 6}));

    // A drag upward and leftward gives the same normalised rectangle.
    Drag(b.x(), b.y(), a.x(), a.y());
    EXPECT_EQ(model.Selection(), (TGridRect{1, 1, 3, 4}));
    EXPECT_EQ(model.Col(), 1);

    // A release outside the cells reports -1.
    Mouse(QEvent::MouseButtonPress, a.x(), a.y());
    Mouse(QEvent::MouseButtonRelease, -20, -20);
    EXPECT_EQ(ups.back().Col, -1);
    EXPECT_EQ(ups.back().Row, -1);
}

TEST_F(GridFixture, DragPastTheBottomScrollsAndExtends)
{
    const QPoint a = At(1, 2);
    Mouse(QEvent::MouseButtonPress, a.x(), a.y());
    for (int i = 0; i < 5; ++i)
        Mouse(QEvent::MouseMove, a.x(), view.viewport()->height() + 10);
    Mouse(QEvent::MouseButtonRelease, a.x(), view.viewport()->height() + 10);
    EXPECT_EQ(model.TopRow(), 6);
    EXPECT_GT(model.Selection().Bottom, 10);
    EXPECT_EQ(model.Selection().Top, 2);
}

TEST_F(GridFixture, KeyboardMovesAndExtendsTheSelection)
{
    model.MoveCurrent(1, 1, false);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(model.Selection(), (TGridRect{1, 1, 2, 3}));
    Key(Qt::Key_Down);
    EXPECT_EQ(model.Selection(), (TGridRect{2, 4, 2, 4}));
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(model.Row(), 1) << "the fixed row is never entered";

    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(model.Col(), 9);
    EXPECT_EQ(model.Row(), 99);
    const QRect last = view.CellRect(9, 99);
    ASSERT_FALSE(last.isEmpty()) << "the current cell is scrolled into view";
    EXPECT_TRUE(view.viewport()->rect().contains(last));
    EXPECT_EQ(view.verticalScrollBar()->value(), model.TopRow() - 1);

    Key(Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(model.Selection(), (TGridRect{1, 1, 9, 99}));
    EXPECT_EQ(model.TopRow(), 1);

    Key(Qt::Key_PageDown);
    EXPECT_EQ(model.Row(), 1 + view.VisibleRowCount());

    // A key handler may consume the key.
    view.OnKeyDown = [](int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Down)
            key = 0;
    };
    const int row = model.Row();
    Key(Qt::Key_Down);
    EXPECT_EQ(model.Row(), row);
}

TEST_F(GridFixture, ColumnBorderInTheFixedRowSizesTheColumn)
{
    const int border = view.CellRect(2, 0).right() + 1; // 194
    Mouse(QEvent::MouseButtonPress, border, 10);
    Mouse(QEvent::MouseMove, border + 30, 10);
    Mouse(QEvent::MouseButtonRelease, border + 30, 10);
    EXPECT_EQ(model.ColWidth(2), 94);
    EXPECT_EQ(model.Selection(), (TGridRect{1, 1, 1, 1})) << "sizing does not select";
    Mouse(QEvent::MouseButtonPress, border + 30, 10);
    Mouse(QEvent::MouseMove, border - 100, 10);
    Mouse(QEvent::MouseButtonRelease, border - 100, 10);
    EXPECT_EQ(model.ColWidth(2), 0) << "never below zero";

    model.SetOptions(TableOptions & ~platform::goColSizing);
    const int border3 = view.CellRect(3, 0).right() + 1;
    Drag(border3, 10, border3 + 30, 10);
    EXPECT_EQ(model.ColWidth(3), 64) << "without the option a border drag sizes nothing";
}

TEST_F(GridFixture, DraggingInTheFixedAreaMovesColumnsAndRows)
{
    const QPoint from = At(1, 0), to = At(3, 0);
    Drag(from.x(), from.y(), to.x(), to.y());
    EXPECT_EQ(model.Cell(3, 5), "1/5");
    EXPECT_EQ(model.Cell(1, 5), "2/5");
    EXPECT_EQ(ups.back().Row, 0);

    const QPoint rFrom = At(0, 2), rTo = At(0, 5);
    Drag(rFrom.x(), rFrom.y(), rTo.x(), rTo.y());
    EXPECT_EQ(model.Cell(0, 5), "0/2");
    EXPECT_EQ(model.Cell(0, 2), "0/3");

    // A click on a header cell without moving moves nothing.
    const QPoint h = At(4, 0);
    Drag(h.x(), h.y(), h.x() + 2, h.y());
    EXPECT_EQ(model.Cell(4, 0), "4/0");
}

TEST_F(GridFixture, ScrollBarsCountWholeCells)
{
    view.verticalScrollBar()->setValue(10);
    EXPECT_EQ(model.TopRow(), 11);
    EXPECT_EQ(view.CellRect(1, 11).top(), 24);
    view.horizontalScrollBar()->setValue(2);
    EXPECT_EQ(model.LeftCol(), 3);
    int col, row;
    view.MouseToCell(70, 30, col, row);
    EXPECT_EQ(col, 3);
    EXPECT_EQ(row, 11);
    view.MouseToCell(10, 10, col, row);
    EXPECT_EQ(col, 0) << "fixed cells stay";
    EXPECT_EQ(row, 0);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 100 - 1 - view.VisibleRowCount());
}

TEST_F(GridFixture, FocusOutIsReported)
{
    int exits = 0;
    view.OnExit = [&] { ++exits; };
    QFocusEvent ev(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(&view, &ev);
    EXPECT_EQ(exits, 1);
}

TEST_F(GridFixture, ThrowingCallbacksDoNotEscape)
{
    view.OnMouseUp = [](const TGridMouseEvent&) { throw std::runtime_error("handler failed"); };
    view.OnDrawCell = [](QPainter&, int, int, const QRect&, TGridDrawState) { throw std::runtime_error("draw failed"); };
    const QPoint a = At(1, 1);
    EXPECT_NO_THROW(Drag(a.x(), a.y(), a.x(), a.y()));
    EXPECT_NO_THROW(view.viewport()->grab());
}

TEST(StringGridViewPaint, HugeGridPaintsOnlyVisibleCells)
{
    TStringGridView view;
    TStringGridModel& model = *view.Model();
    model.BeginUpdate();
    model.SetColCount(40);
    model.SetRowCount(65536);
    for (int r = 0; r < 65536; ++r)
        model.SetCell(r % 40, r, QString::number(r));
    model.EndUpdate();
    view.resize(600, 400);
    view.show();

    std::vector<std::pair<int, int>> drawn;
    std::vector<TGridDrawState> states;
    view.OnDrawCell = [&](QPainter& p, int col, int row, const QRect& rect, TGridDrawState state) {
        drawn.emplace_back(col, row);
        states.push_back(state);
        view.DefaultDrawCell(p, col, row, rect, state);
    };
    model.SetSelection(TGridRect{2, 3, 3, 4});
    view.UpdateFromModel();
    view.viewport()->grab();
    const int rows = 400 / 24 + 2, cols = 600 / 64 + 2;
    ASSERT_FALSE(drawn.empty());
    EXPECT_LE(int(drawn.size()), rows * cols);
    EXPECT_EQ(view.LastPaintCellCount(), int(drawn.size()));
    int selected = 0, fixed = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_LT(drawn[i].second, rows);
        selected += states[i].Selected;
        fixed += states[i].Fixed;
    }
    EXPECT_EQ(selected, 4);
    EXPECT_GT(fixed, 0);

    drawn.clear();
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    EXPECT_EQ(model.TopRow(), 65536 - view.VisibleRowCount());
    view.viewport()->grab();
    ASSERT_FALSE(drawn.empty());
    EXPECT_LE(int(drawn.size()), rows * cols);
    bool sawLast = false;
    for (auto [col, row] : drawn) {
        EXPECT_TRUE(row == 0 || row >= model.TopRow());
        sawLast = sawLast || row == 65535;
    }
    EXPECT_TRUE(sawLast);
}
