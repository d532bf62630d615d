#pragma once
// The string grid's view: a scroll area of our own over a TStringGridModel.
// It scrolls by whole cells (the vertical bar counts rows, the horizontal bar
// columns; fixed rows and columns stay), paints only the visible cells through
// a replaceable draw-cell callback, selects ranges by mouse and keyboard, sizes
// columns and moves rows and columns by dragging in the fixed area, and reports
// mouse, key and focus events by cell. The cost of painting depends only on the
// visible cells, so tables of 65,536 rows stay smooth.
#include "platform/StringGrid.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <functional>

class QPainter;

namespace platform {

// A mouse event of the grid: position in viewport pixels and the cell under
// it (-1 outside the cells).
struct TGridMouseEvent {
    Qt::MouseButton Button = Qt::NoButton;  // the button pressed or released
    Qt::MouseButtons Buttons;               // buttons held
    Qt::KeyboardModifiers Modifiers;
    int X = 0;
    int Y = 0;
    int Col = -1;
    int Row = -1;
};

class TStringGridView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // A view with a model of its own.
    explicit TStringGridView(QWidget* parent = nullptr);
    // A view over a model owned elsewhere; the model must outlive the view.
    explicit TStringGridView(TStringGridModel* model, QWidget* parent = nullptr);
    ~TStringGridView() override;

    TStringGridModel* Model() const { return model_; }

    // ---- Callbacks (replaceable, like the window system's events) -----------
    // Draws one cell; when empty the view draws with DefaultDrawCell.
    TDrawCellFunc OnDrawCell;
    // Called after the grid's own handling of the event.
    std::function<void(const TGridMouseEvent&)> OnMouseDown;
    std::function<void(const TGridMouseEvent&)> OnMouseMove;
    std::function<void(const TGridMouseEvent&)> OnMouseUp;
    // Called before the grid's own handling; setting key to 0 consumes it.
    std::function<void(int& key, Qt::KeyboardModifiers modifiers)> OnKeyDown;
    // The grid lost the keyboard focus.
    std::function<void()> OnExit;

    // The default cell painter: fixed and selected colours, the text left
    // aligned 2 pixels inside the cell, a focus frame around the current cell.
    void DefaultDrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state);

    // ---- Geometry ---------------------------------------------------------
    // The cell under a viewport point, -1 for a coordinate outside the cells.
    void MouseToCell(int x, int y, int& col, int& row) const;
    // Viewport rectangle of a cell (without its grid lines); empty when the
    // cell is not visible.
    QRect CellRect(int col, int row) const;
    // Rows and columns of the scrolled area that are fully visible (at least 1).
    int VisibleRowCount() const;
    int VisibleColCount() const;
    int DefaultRowHeight() const { return model_->DefaultRowHeight(); }
    int GridLineWidth() const { return 1; }

    // ---- Look ---------------------------------------------------------------
    QFont GridFont() const { return font(); }
    void SetGridFont(const QFont& font);
    QColor Color() const { return color_; }          // background of data cells
    void SetColor(const QColor& color);
    QColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(const QColor& color);
    QColor LineColor() const { return lineColor_; }
    void SetLineColor(const QColor& color);
    void SetScrollBarsVisible(bool visible);
    // The painter while cells are drawn, else nullptr.
    QPainter* Canvas() const { return canvas_; }

    // Repaints cells; painting happens in the next paint event.
    void InvalidateCell(int col, int row);
    void InvalidateGrid();
    // Scrolls so that the cell is fully visible.
    void ScrollInView(int col, int row);
    // Takes over the model's state now: scroll bars and a repaint.
    void UpdateFromModel();

    // Draw-cell calls of the last paint event (to keep painting cost honest).
    int LastPaintCellCount() const { return lastPaintCells_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    enum class TDragMode { None, Select, ColSizing, ColMovePending, ColMoving, RowMovePending, RowMoving };

    void Init();
    int ColLine(int col) const;                  // grid line right of a column, 0 or 1
    int RowLine(int row) const;                  // grid line below a row, 0 or 1
    int ColExtent(int col) const;                // width plus its line, 0 when hidden
    int RowExtent(int row) const;
    int FixedWidth() const;
    int FixedHeight() const;
    int ColLeft(int col) const;                  // viewport x of a visible column, or INT_MIN
    int RowTop(int row) const;
    int ColumnAtX(int x) const;                  // -1 outside
    int RowAtY(int y) const;
    int MaxTopRow() const;
    int MaxLeftCol() const;
    int LastVisibleCol() const;
    int LastVisibleRow() const;
    // The data cell nearest to a point (for range selection while dragging).
    void NearestDataCell(int x, int y, int& col, int& row) const;
    int SizingColumnAt(int x, int y) const;      // column whose right border is under x, or -1
    void UpdateScrollBars();
    void MoveCurrentBy(int col, int row, bool extend);
    TGridMouseEvent MakeMouseEvent(const QMouseEvent* event) const;
    void CallSafely(const std::function<void()>& call) const;

    QPointer<TStringGridModel> model_;
    QColor color_;
    QColor fixedColor_;
    QColor lineColor_;
    QPainter* canvas_ = nullptr;
    int lastPaintCells_ = 0;
    bool syncingScrollBars_ = false;

    TDragMode drag_ = TDragMode::None;
    int dragIndex_ = -1;                         // column sized or moved, row moved
    int dragStartX_ = 0;
    int dragStartY_ = 0;
    int sizingOffset_ = 0;                       // width of the sized column at the press
};

} // namespace platform
