#pragma once
// The period strip window: a row of six years with arrows to scroll them, the
// twelve months of the chosen year and the days of the chosen month. The user
// picks the evaluation period with the mouse or the keys; every choice goes to
// the strip's logic (TPeriodStrip), which reports the period to the main
// window and says which rows are shown. The window shows only those rows: its
// mask is the outline the logic computes.
//
// The main window puts the strip into a panel of its bottom bar with
// setParent and no layout; the strip places itself inside the panel and sets
// the panel's height (PlaceStrip).
#include "evaluation/PeriodStrip.h"

#include <QWidget>
#include <functional>
#include <vector>

class QPainter;

// One row of cells with range selection: the period strip's year, month and
// day rows. Columns have widths of their own and a one-pixel line after each;
// there are no scroll bars and no border. The row keeps the selection the
// user drags (anchor and current column) and reports mouse and key releases;
// while locked it takes no input.
class TCellRow : public QWidget {
    Q_OBJECT
public:
    explicit TCellRow(QWidget* parent = nullptr);

    // ---- Cells ---------------------------------------------------------------
    void SetCells(const std::vector<QString>& texts, const std::vector<int>& widths, int colCount);
    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    QString Cell(int col) const;
    int ColWidth(int col) const;
    // Cell rectangle in the row (without the line after it); empty outside.
    QRect CellRect(int col) const;
    // Column under x, -1 outside the columns.
    int ColumnAt(int x) const;

    // ---- Selection -----------------------------------------------------------
    bool HasSelection() const { return anchor_ >= 0 && current_ >= 0; }
    int SelLeft() const;                    // -1 without a selection
    int SelRight() const;
    int Col() const { return current_; }    // current column, -1 without one
    // Anchor := left, current := right (clamped to the columns); a negative
    // left clears the selection.
    void SetSelection(int left, int right);
    void ClearSelection();

    void SetLocked(bool locked) { locked_ = locked; }
    bool Locked() const { return locked_; }

    // ---- Events ----------------------------------------------------------------
    // Draws one cell; when empty the row draws with DefaultDrawCell.
    std::function<void(QPainter&, int col, const QRect& rect, bool selected, bool focused)> OnDrawCell;
    std::function<void(Qt::MouseButton button)> OnMouseUp;
    std::function<void(int key)> OnKeyUp;

    void DefaultDrawCell(QPainter& painter, int col, const QRect& rect, bool selected, bool focused);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    int ColLeft(int col) const;
    int NearestColumn(int x) const;
    void MoveCurrent(int col, bool extend);

    std::vector<QString> texts_;
    std::vector<int> widths_;
    int colCount_ = 1;
    int anchor_ = -1;
    int current_ = -1;
    bool dragging_ = false;
    bool locked_ = false;
};

// A small arrow picture that acts as a button.
class TArrowImage : public QWidget {
    Q_OBJECT
public:
    TArrowImage(bool pointsLeft, QWidget* parent = nullptr);
    std::function<void()> OnClick;
    void SetLocked(bool locked) { locked_ = locked; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pointsLeft_;
    bool locked_ = false;
};

class tZeitraumForm : public QWidget {
    Q_OBJECT
public:
    // today sets the period after creation (the current month); tests fix it.
    explicit tZeitraumForm(QWidget* parent = nullptr, QDate today = QDate::currentDate());
    ~tZeitraumForm() override;

    // ---- Interface for the main window ---------------------------------------
    void SetPeriodCallback(TPeriodEvent onPeriod);
    void SetPeriod(uint8_t firstMonth, TDayNumber firstDay, TDayNumber lastDay,
                   uint8_t showDays, uint8_t showMonths);
    // Places the strip: 0 left, 1 right, 2 centre (stored in Placement).
    void PlaceStrip(uint8_t placement);

    TPeriodStrip& Strip() { return strip_; }
    const TPeriodStrip& Strip() const { return strip_; }

    // ---- Controls --------------------------------------------------------------
    TCellRow* Jahr_Grid = nullptr;
    TCellRow* Monat_Grid = nullptr;
    TCellRow* Tag_Grid = nullptr;
    TArrowImage* Links_Knopf = nullptr;
    TArrowImage* Rechts_Knopf = nullptr;

    // ---- Event handlers ----------------------------------------------------------
    void FormCreate();
    void FormShow() {}
    void Jahr_GridMouseUp();
    void Jahr_GridKeyUp(int key);
    void Monat_GridMouseUp();
    void Monat_GridKeyUp(int key);
    void Tag_GridMouseUp();
    void Tag_GridKeyUp(int key);
    void Tag_GridDrawCell(QPainter& painter, int col, const QRect& rect, bool selected, bool focused);
    void Links_KnopfClick();
    void Rechts_KnopfClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ApplyStrip();
    void ApplyRow(TCellRow* grid, const TStripRow& row);
    void LockControls(bool locked);

    TPeriodStrip strip_;
};

extern tZeitraumForm* ZeitraumForm;
