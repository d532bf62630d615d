#include "platform/forms/StringGridView.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <exception>

namespace platform {

namespace {
constexpr int SizingZone = 2;   // pixels either side of a column border
constexpr int MoveThreshold = 4; // pixels before a press in the fixed area starts a move
} // namespace

TStringGridView::TStringGridView(QWidget* parent)
    : QAbstractScrollArea(parent), model_(new TStringGridModel(this))
{
    Init();
}

TStringGridView::TStringGridView(TStringGridModel* model, QWidget* parent)
    : QAbstractScrollArea(parent), model_(model)
{
    if (!model_)
        model_ = new TStringGridModel(this); // owned through the parent
    Init();
}

TStringGridView::~TStringGridView() = default;

void TStringGridView::Init()
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    color_ = palette().color(QPalette::Base);
    fixedColor_ = palette().color(QPalette::Button);
    lineColor_ = palette().color(QPalette::Mid);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    connect(model_, &TStringGridModel::Changed, this, &TStringGridView::UpdateFromModel);
    UpdateScrollBars();
}

// ---- Look -------------------------------------------------------------------

void TStringGridView::SetGridFont(const QFont& f)
{
    setFont(f);
    viewport()->update();
}

void TStringGridView::SetColor(const QColor& color)
{
    color_ = color;
    viewport()->update();
}

void TStringGridView::SetFixedColor(const QColor& color)
{
    fixedColor_ = color;
    viewport()->update();
}

void TStringGridView::SetLineColor(const QColor& color)
{
    lineColor_ = color;
    viewport()->update();
}

void TStringGridView::SetScrollBarsVisible(bool visible)
{
    const auto policy = visible ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setVerticalScrollBarPolicy(policy);
    setHorizontalScrollBarPolicy(policy);
}

void TStringGridView::UpdateFromModel()
{
    UpdateScrollBars();
    viewport()->update();
}

void TStringGridView::InvalidateCell(int col, int row)
{
    const QRect r = CellRect(col, row);
    if (!r.isEmpty())
        viewport()->update(r.adjusted(0, 0, 1, 1));
}

void TStringGridView::InvalidateGrid()
{
    viewport()->update();
}

// ---- Geometry ---------------------------------------------------------------

int TStringGridView::ColLine(int col) const
{
    return model_->HasOption(col < model_->FixedCols() ? goFixedVertLine : goVertLine) ? 1 : 0;
}

int TStringGridView::RowLine(int row) const
{
    return model_->HasOption(row < model_->FixedRows() ? goFixedHorzLine : goHorzLine) ? 1 : 0;
}

int TStringGridView::ColExtent(int col) const
{
    const int w = model_->ColWidth(col);
    return w > 0 ? w + ColLine(col) : 0;
}

int TStringGridView::RowExtent(int row) const
{
    const int h = model_->RowHeight(row);
    return h > 0 ? h + RowLine(row) : 0;
}

int TStringGridView::FixedWidth() const
{
    int w = 0;
    for (int c = 0; c < model_->FixedCols(); ++c)
        w += ColExtent(c);
    return w;
}

int TStringGridView::FixedHeight() const
{
    int h = 0;
    for (int r = 0; r < model_->FixedRows(); ++r)
        h += RowExtent(r);
    return h;
}

int TStringGridView::ColLeft(int col) const
{
    if (col < 0 || col >= model_->ColCount())
        return INT_MIN;
    const int width = viewport()->width();
    int x = 0;
    if (col < model_->FixedCols()) {
        for (int c = 0; c < col; ++c)
            x += ColExtent(c);
        return x;
    }
    if (col < model_->LeftCol())
        return INT_MIN;
    x = FixedWidth();
    for (int c = model_->LeftCol(); c < col; ++c) {
        x += ColExtent(c);
        if (x >= width)
            return INT_MIN;
    }
    return x;
}

int TStringGridView::RowTop(int row) const
{
    if (row < 0 || row >= model_->RowCount())
        return INT_MIN;
    const int height = viewport()->height();
    int y = 0;
    if (row < model_->FixedRows()) {
        for (int r = 0; r < row; ++r)
            y += RowExtent(r);
        return y;
    }
    if (row < model_->TopRow())
        return INT_MIN;
    y = FixedHeight();
    for (int r = model_->TopRow(); r < row; ++r) {
        y += RowExtent(r);
        if (y >= height)
            return INT_MIN;
    }
    return y;
}

int TStringGridView::ColumnAtX(int x) const
{
    if (x < 0)
        return -1;
    int x0 = 0;
    for (int c = 0; c < model_->FixedCols(); ++c) {
        const int e = ColExtent(c);
        if (x < x0 + e)
            return c;
        x0 += e;
    }
    for (int c = model_->LeftCol(); c < model_->ColCount(); ++c) {
        const int e = ColExtent(c);
        if (x < x0 + e)
            return c;
        x0 += e;
    }
    return -1;
}

int TStringGridView::RowAtY(int y) const
{
    if (y < 0)
        return -1;
    int y0 = 0;
    for (int r = 0; r < model_->FixedRows(); ++r) {
        const int e = RowExtent(r);
        if (y < y0 + e)
            return r;
        y0 += e;
    }
    for (int r = model_->TopRow(); r < model_->RowCount(); ++r) {
        const int e = RowExtent(r);
        if (y < y0 + e)
            return r;
        y0 += e;
    }
    return -1;
}

void TStringGridView::MouseToCell(int x, int y, int& col, int& row) const
{
    col = -1;
    row = -1;
    if (!model_)
        return;
    const int c = ColumnAtX(x);
    const int r = RowAtY(y);
    if (c >= 0 && r >= 0) {
        col = c;
        row = r;
    }
}

QRect TStringGridView::CellRect(int col, int row) const
{
    if (!model_)
        return QRect();
    const int x = ColLeft(col);
    const int y = RowTop(row);
    if (x == INT_MIN || y == INT_MIN)
        return QRect();
    return QRect(x, y, model_->ColWidth(col), model_->RowHeight(row));
}

int TStringGridView::MaxTopRow() const
{
    const int avail = viewport()->height() - FixedHeight();
    const int fixed = model_->FixedRows();
    int r = model_->RowCount() - 1;
    int used = RowExtent(r);
    while (r - 1 >= fixed && used + RowExtent(r - 1) <= avail) {
        --r;
        used += RowExtent(r);
    }
    return std::max(r, fixed);
}

int TStringGridView::MaxLeftCol() const
{
    const int avail = viewport()->width() - FixedWidth();
    const int fixed = model_->FixedCols();
    int c = model_->ColCount() - 1;
    int used = ColExtent(c);
    while (c - 1 >= fixed && used + ColExtent(c - 1) <= avail) {
        --c;
        used += ColExtent(c);
    }
    return std::max(c, fixed);
}

int TStringGridView::LastVisibleCol() const
{
    const int width = viewport()->width();
    int x = FixedWidth();
    int last = model_->LeftCol();
    for (int c = model_->LeftCol(); c < model_->ColCount() && x < width; ++c) {
        last = c;
        x += ColExtent(c);
    }
    return last;
}

int TStringGridView::LastVisibleRow() const
{
    const int height = viewport()->height();
    int y = FixedHeight();
    int last = model_->TopRow();
    for (int r = model_->TopRow(); r < model_->RowCount() && y < height; ++r) {
        last = r;
        y += RowExtent(r);
    }
    return last;
}

int TStringGridView::VisibleRowCount() const
{
    if (!model_)
        return 1;
    const int avail = viewport()->height() - FixedHeight();
    int used = 0;
    int n = 0;
    for (int r = model_->TopRow(); r < model_->RowCount(); ++r) {
        used += RowExtent(r);
        if (used > avail)
            break;
        ++n;
    }
    return std::max(n, 1);
}

int TStringGridView::VisibleColCount() const
{
    if (!model_)
        return 1;
    const int avail = viewport()->width() - FixedWidth();
    int used = 0;
    int n = 0;
    for (int c = model_->LeftCol(); c < model_->ColCount(); ++c) {
        used += ColExtent(c);
        if (used > avail)
            break;
        ++n;
    }
    return std::max(n, 1);
}

void TStringGridView::NearestDataCell(int x, int y, int& col, int& row) const
{
    const int fixedW = FixedWidth();
    const int fixedH = FixedHeight();
    col = x < fixedW ? model_->LeftCol() : ColumnAtX(x);
    if (col < model_->FixedCols())
        col = x < fixedW ? model_->LeftCol() : LastVisibleCol();
    row = y < fixedH ? model_->TopRow() : RowAtY(y);
    if (row < model_->FixedRows())
        row = y < fixedH ? model_->TopRow() : LastVisibleRow();
}

int TStringGridView::SizingColumnAt(int x, int y) const
{
    if (model_->FixedRows() == 0 || y < 0 || y >= FixedHeight())
        return -1;
    const int width = viewport()->width();
    int best = -1;
    int bestDistance = SizingZone + 1;
    auto consider = [&](int c, int left) {
        const int border = left + model_->ColWidth(c);
        const int d = std::abs(x - border);
        if (d < bestDistance) {
            best = c;
            bestDistance = d;
        }
    };
    int x0 = 0;
    for (int c = 0; c < model_->FixedCols(); ++c) {
        consider(c, x0);
        x0 += ColExtent(c);
    }
    for (int c = model_->LeftCol(); c < model_->ColCount() && x0 <= width; ++c) {
        consider(c, x0);
        x0 += ColExtent(c);
    }
    return best;
}

void TStringGridView::UpdateScrollBars()
{
    if (!model_)
        return;
    syncingScrollBars_ = true;
    QScrollBar* v = verticalScrollBar();
    // A top row beyond the last full page (set by the program) stays; the bar
    // then shows its end.
    v->setRange(0, std::max(0, MaxTopRow() - model_->FixedRows()));
    v->setPageStep(VisibleRowCount());
    v->setValue(model_->TopRow() - model_->FixedRows());
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, MaxLeftCol() - model_->FixedCols()));
    h->setPageStep(VisibleColCount());
    h->setValue(model_->LeftCol() - model_->FixedCols());
    syncingScrollBars_ = false;
}

void TStringGridView::scrollContentsBy(int, int)
{
    if (syncingScrollBars_ || !model_)
        return;
    model_->SetTopRow(model_->FixedRows() + verticalScrollBar()->value());
    model_->SetLeftCol(model_->FixedCols() + horizontalScrollBar()->value());
    viewport()->update();
}

void TStringGridView::ScrollInView(int col, int row)
{
    if (!model_)
        return;
    if (row >= model_->FixedRows() && row < model_->RowCount()) {
        if (row < model_->TopRow()) {
            model_->SetTopRow(row);
        } else {
            // Smallest top row that shows the whole row.
            const int avail = viewport()->height() - FixedHeight();
            int top = row;
            int used = RowExtent(row);
            while (top - 1 >= model_->TopRow() && used + RowExtent(top - 1) <= avail) {
                --top;
                used += RowExtent(top);
            }
            if (top > model_->TopRow())
                model_->SetTopRow(top);
        }
    }
    if (col >= model_->FixedCols() && col < model_->ColCount()) {
        if (col < model_->LeftCol()) {
            model_->SetLeftCol(col);
        } else {
            const int avail = viewport()->width() - FixedWidth();
            int left = col;
            int used = ColExtent(col);
            while (left - 1 >= model_->LeftCol() && used + ColExtent(left - 1) <= avail) {
                --left;
                used += ColExtent(left);
            }
            if (left > model_->LeftCol())
                model_->SetLeftCol(left);
        }
    }
}

// ---- Painting ---------------------------------------------------------------

void TStringGridView::DefaultDrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state)
{
    QColor background = state.Fixed ? fixedColor_ : color_;
    QColor text = palette().color(QPalette::Text);
    if (!state.Fixed && state.Selected && (!state.Focused || model_->HasOption(goDrawFocusSelected))) {
        background = palette().color(QPalette::Highlight);
        text = palette().color(QPalette::HighlightedText);
    }
    painter.fillRect(rect, background);
    painter.setPen(text);
    painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     model_->Cell(col, row));
    if (state.Focused && !state.Fixed) {
        painter.setPen(QPen(text, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void TStringGridView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), color_);
    lastPaintCells_ = 0;
    if (!model_)
        return;
    const QRect clip = event->rect();
    const int width = viewport()->width();
    const int height = viewport()->height();

    // The visible columns and rows with their positions.
    std::vector<std::pair<int, int>> cols;
    std::vector<std::pair<int, int>> rows;
    int x = 0;
    for (int c = 0; c < model_->FixedCols() && x < width; ++c) {
        cols.emplace_back(c, x);
        x += ColExtent(c);
    }
    for (int c = model_->LeftCol(); c < model_->ColCount() && x < width; ++c) {
        cols.emplace_back(c, x);
        x += ColExtent(c);
    }
    int y = 0;
    for (int r = 0; r < model_->FixedRows() && y < height; ++r) {
        rows.emplace_back(r, y);
        y += RowExtent(r);
    }
    for (int r = model_->TopRow(); r < model_->RowCount() && y < height; ++r) {
        rows.emplace_back(r, y);
        y += RowExtent(r);
    }

    const TGridRect sel = model_->Selection();
    const bool focused = hasFocus();
    canvas_ = &painter;
    for (const auto& [row, top] : rows) {
        const int h = model_->RowHeight(row);
        if (h <= 0)
            continue;
        const int hLine = RowLine(row);
        for (const auto& [col, left] : cols) {
            const int w = model_->ColWidth(col);
            if (w <= 0)
                continue;
            const QRect cell(left, top, w, h);
            if (!clip.intersects(cell.adjusted(0, 0, 1, 1)))
                continue;
            TGridDrawState state;
            state.Fixed = row < model_->FixedRows() || col < model_->FixedCols();
            state.Selected = !state.Fixed && sel.Contains(col, row);
            state.Focused = !state.Fixed && focused && col == model_->Col() && row == model_->Row();
            painter.save();
            painter.setFont(font());
            try {
                if (OnDrawCell)
                    OnDrawCell(painter, col, row, cell, state);
                else
                    DefaultDrawCell(painter, col, row, cell, state);
            } catch (const std::exception&) {
                // A failing painter leaves the cell as it is; the event loop must go on.
            } catch (...) {
            }
            painter.restore();
            ++lastPaintCells_;
            if (ColLine(col))
                painter.fillRect(left + w, top, 1, h + hLine, lineColor_);
            if (hLine)
                painter.fillRect(left, top + h, w, 1, lineColor_);
        }
    }
    canvas_ = nullptr;
}

void TStringGridView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

// ---- Mouse ------------------------------------------------------------------

TGridMouseEvent TStringGridView::MakeMouseEvent(const QMouseEvent* event) const
{
    TGridMouseEvent e;
    e.Button = event->button();
    e.Buttons = event->buttons();
    e.Modifiers = event->modifiers();
    const QPoint p = event->position().toPoint();
    e.X = p.x();
    e.Y = p.y();
    MouseToCell(e.X, e.Y, e.Col, e.Row);
    return e;
}

void TStringGridView::CallSafely(const std::function<void()>& call) const
{
    // No exception may leave an event handler: Qt ends the program then.
    try {
        call();
    } catch (...) {
    }
}

void TStringGridView::mousePressEvent(QMouseEvent* event)
{
    if (!model_)
        return;
    if (focusPolicy() & Qt::ClickFocus)
        setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    dragStartX_ = p.x();
    dragStartY_ = p.y();
    if (event->button() == Qt::LeftButton) {
        const int sizing = model_->HasOption(goColSizing) ? SizingColumnAt(p.x(), p.y()) : -1;
        if (sizing >= 0) {
            drag_ = TDragMode::ColSizing;
            dragIndex_ = sizing;
            sizingOffset_ = model_->ColWidth(sizing);
        } else {
            int col, row;
            MouseToCell(p.x(), p.y(), col, row);
            if (col >= 0 && row >= 0) {
                const bool fixedRow = row < model_->FixedRows();
                const bool fixedCol = col < model_->FixedCols();
                if (fixedRow && !fixedCol && model_->HasOption(goColMoving)) {
                    drag_ = TDragMode::ColMovePending;
                    dragIndex_ = col;
                } else if (fixedCol && !fixedRow && model_->HasOption(goRowMoving)) {
                    drag_ = TDragMode::RowMovePending;
                    dragIndex_ = row;
                } else if (!fixedRow && !fixedCol) {
                    const bool extend = (event->modifiers() & Qt::ShiftModifier) && model_->HasOption(goRangeSelect);
                    model_->MoveCurrent(col, row, extend);
                    drag_ = TDragMode::Select;
                }
            }
        }
        UpdateFromModel();
    }
    const TGridMouseEvent e = MakeMouseEvent(event);
    if (OnMouseDown)
        CallSafely([&] { OnMouseDown(e); });
    event->accept();
}

void TStringGridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click is a second press for the grid's purposes.
    mousePressEvent(event);
}

void TStringGridView::mouseMoveEvent(QMouseEvent* event)
{
    if (!model_)
        return;
    const QPoint p = event->position().toPoint();
    switch (drag_) {
    case TDragMode::ColSizing:
        model_->SetColWidth(dragIndex_, std::max(0, sizingOffset_ + p.x() - dragStartX_));
        UpdateFromModel();
        break;
    case TDragMode::Select: {
        // Dragging past an edge scrolls one cell per move.
        if (p.y() >= viewport()->height())
            model_->SetTopRow(std::min(model_->TopRow() + 1, MaxTopRow()));
        else if (p.y() < FixedHeight() && model_->TopRow() > model_->FixedRows())
            model_->SetTopRow(model_->TopRow() - 1);
        if (p.x() >= viewport()->width())
            model_->SetLeftCol(std::min(model_->LeftCol() + 1, MaxLeftCol()));
        else if (p.x() < FixedWidth() && model_->LeftCol() > model_->FixedCols())
            model_->SetLeftCol(model_->LeftCol() - 1);
        int col, row;
        NearestDataCell(p.x(), p.y(), col, row);
        model_->MoveCurrent(col, row, model_->HasOption(goRangeSelect));
        UpdateFromModel();
        break;
    }
    case TDragMode::ColMovePending:
        if (std::abs(p.x() - dragStartX_) > MoveThreshold)
            drag_ = TDragMode::ColMoving;
        break;
    case TDragMode::RowMovePending:
        if (std::abs(p.y() - dragStartY_) > MoveThreshold)
            drag_ = TDragMode::RowMoving;
        break;
    case TDragMode::ColMoving:
    case TDragMode::RowMoving:
        break;
    case TDragMode::None:
        if (model_->HasOption(goColSizing) && SizingColumnAt(p.x(), p.y()) >= 0)
            viewport()->setCursor(Qt::SplitHCursor);
        else
            viewport()->unsetCursor();
        break;
    }
    const TGridMouseEvent e = MakeMouseEvent(event);
    if (OnMouseMove)
        CallSafely([&] { OnMouseMove(e); });
    event->accept();
}

void TStringGridView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!model_)
        return;
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (drag_ == TDragMode::ColMoving) {
            int col, row;
            NearestDataCell(p.x(), std::max(p.y(), FixedHeight()), col, row);
            if (col >= model_->FixedCols() && col != dragIndex_)
                model_->MoveColumn(dragIndex_, col);
        } else if (drag_ == TDragMode::RowMoving) {
            int col, row;
            NearestDataCell(std::max(p.x(), FixedWidth()), p.y(), col, row);
            if (row >= model_->FixedRows() && row != dragIndex_)
                model_->MoveRow(dragIndex_, row);
        }
        drag_ = TDragMode::None;
        dragIndex_ = -1;
        UpdateFromModel();
    }
    const TGridMouseEvent e = MakeMouseEvent(event);
    if (OnMouseUp)
        CallSafely([&] { OnMouseUp(e); });
    event->accept();
}

// ---- Keyboard and focus -----------------------------------------------------

bool TStringGridView::focusNextPrevChild(bool next)
{
    // With tabs on, Tab moves between cells instead of leaving the grid.
    if (model_ && model_->HasOption(goTabs))
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void TStringGridView::MoveCurrentBy(int dCol, int dRow, bool extend)
{
    model_->MoveCurrent(model_->Col() + dCol, model_->Row() + dRow, extend);
}

void TStringGridView::keyPressEvent(QKeyEvent* event)
{
    if (!model_)
        return;
    int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (OnKeyDown)
        CallSafely([&] { OnKeyDown(key, mods); });
    if (key == 0) {
        event->accept();
        return;
    }
    const bool extend = (mods & Qt::ShiftModifier) && model_->HasOption(goRangeSelect);
    const bool ctrl = mods & Qt::ControlModifier;
    const int fixedCols = model_->FixedCols();
    const int fixedRows = model_->FixedRows();
    switch (key) {
    case Qt::Key_Up:
        MoveCurrentBy(0, -1, extend);
        break;
    case Qt::Key_Down:
        MoveCurrentBy(0, 1, extend);
        break;
    case Qt::Key_Left:
        MoveCurrentBy(-1, 0, extend);
        break;
    case Qt::Key_Right:
        MoveCurrentBy(1, 0, extend);
        break;
    case Qt::Key_PageUp: {
        const int page = VisibleRowCount();
        model_->SetTopRow(model_->TopRow() - page);
        MoveCurrentBy(0, -page, extend);
        break;
    }
    case Qt::Key_PageDown: {
        const int page = VisibleRowCount();
        model_->SetTopRow(std::min(model_->TopRow() + page, MaxTopRow()));
        MoveCurrentBy(0, page, extend);
        break;
    }
    case Qt::Key_Home:
        model_->MoveCurrent(fixedCols, ctrl ? fixedRows : model_->Row(), extend);
        break;
    case Qt::Key_End:
        model_->MoveCurrent(model_->ColCount() - 1, ctrl ? model_->RowCount() - 1 : model_->Row(), extend);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!model_->HasOption(goTabs)) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        int col = model_->Col() + (key == Qt::Key_Tab ? 1 : -1);
        int row = model_->Row();
        if (col >= model_->ColCount()) {
            col = fixedCols;
            row = std::min(row + 1, model_->RowCount() - 1);
        } else if (col < fixedCols) {
            col = model_->ColCount() - 1;
            row = std::max(row - 1, fixedRows);
        }
        model_->MoveCurrent(col, row, false);
        break;
    }
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    ScrollInView(model_->Col(), model_->Row());
    UpdateFromModel();
    event->accept();
}

void TStringGridView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
    if (OnExit)
        CallSafely([&] { OnExit(); });
}

} // namespace platform
