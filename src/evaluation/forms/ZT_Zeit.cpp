#include "evaluation/forms/ZT_Zeit.h"

#include "platform/Colors.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>

tZeitraumForm* ZeitraumForm = nullptr;

namespace {

// Runs an event callback so that nothing it throws reaches the event loop.
template <typename F>
void CallSafely(F&& call)
{
    try {
        call();
    } catch (...) {
    }
}

QColor ButtonFace(const QWidget* w) { return w->palette().color(QPalette::Button); }
QColor ButtonShadow(const QWidget* w) { return w->palette().color(QPalette::Dark); }

} // namespace

// ---- TCellRow --------------------------------------------------------------

TCellRow::TCellRow(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCellRow::SetCells(const std::vector<QString>& texts, const std::vector<int>& widths, int colCount)
{
    texts_ = texts;
    widths_ = widths;
    SetColCount(colCount);
    update();
}

void TCellRow::SetColCount(int count)
{
    colCount_ = std::max(1, count);
    if (anchor_ >= colCount_)
        anchor_ = colCount_ - 1;
    if (current_ >= colCount_)
        current_ = colCount_ - 1;
    update();
}

QString TCellRow::Cell(int col) const
{
    if (col < 0 || col >= colCount_ || col >= int(texts_.size()))
        return QString();
    return texts_[std::size_t(col)];
}

int TCellRow::ColWidth(int col) const
{
    if (col >= 0 && col < int(widths_.size()))
        return widths_[std::size_t(col)];
    return widths_.empty() ? 24 : widths_.back();
}

int TCellRow::ColLeft(int col) const
{
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += ColWidth(c) + 1;
    return x;
}

QRect TCellRow::CellRect(int col) const
{
    if (col < 0 || col >= colCount_)
        return QRect();
    return QRect(ColLeft(col), 0, ColWidth(col), height());
}

int TCellRow::ColumnAt(int x) const
{
    if (x < 0)
        return -1;
    int left = 0;
    for (int c = 0; c < colCount_; ++c) {
        const int extent = ColWidth(c) + 1;
        if (x < left + extent)
            return c;
        left += extent;
    }
    return -1;
}

int TCellRow::NearestColumn(int x) const
{
    if (x < 0)
        return 0;
    const int col = ColumnAt(x);
    return col >= 0 ? col : colCount_ - 1;
}

int TCellRow::SelLeft() const
{
    return HasSelection() ? std::min(anchor_, current_) : -1;
}

int TCellRow::SelRight() const
{
    return HasSelection() ? std::max(anchor_, current_) : -1;
}

void TCellRow::SetSelection(int left, int right)
{
    if (left < 0 || right < 0) {
        ClearSelection();
        return;
    }
    anchor_ = std::min(left, colCount_ - 1);
    current_ = std::min(right, colCount_ - 1);
    update();
}

void TCellRow::ClearSelection()
{
    anchor_ = current_ = -1;
    update();
}

void TCellRow::MoveCurrent(int col, bool extend)
{
    col = std::clamp(col, 0, colCount_ - 1);
    current_ = col;
    if (!extend || anchor_ < 0)
        anchor_ = col;
    update();
}

void TCellRow::DefaultDrawCell(QPainter& painter, int col, const QRect& rect, bool selected, bool focused)
{
    QColor background = ButtonFace(this);
    QColor text = palette().color(QPalette::ButtonText);
    if (selected) {
        background = palette().color(QPalette::Highlight);
        text = palette().color(QPalette::HighlightedText);
    }
    painter.fillRect(rect, background);
    painter.setPen(text);
    painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Cell(col));
    if (focused) {
        painter.setPen(QPen(text, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void TCellRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ButtonFace(this));
    const QColor line = palette().color(QPalette::Mid);
    const int left = SelLeft();
    const int right = SelRight();
    int x = 0;
    for (int c = 0; c < colCount_ && x < width(); ++c) {
        const int w = ColWidth(c);
        const QRect cell(x, 0, w, height());
        const bool selected = left >= 0 && c >= left && c <= right;
        const bool focused = hasFocus() && c == current_;
        painter.save();
        painter.setClipRect(cell);
        CallSafely([&] {
            if (OnDrawCell)
                OnDrawCell(painter, c, cell, selected, focused);
            else
                DefaultDrawCell(painter, c, cell, selected, focused);
        });
        painter.restore();
        painter.fillRect(x + w, 0, 1, height(), line);
        x += w + 1;
    }
}

void TCellRow::mousePressEvent(QMouseEvent* event)
{
    if (locked_ || event->button() != Qt::LeftButton)
        return;
    const int col = ColumnAt(int(event->position().x()));
    if (col < 0)
        return;
    MoveCurrent(col, event->modifiers() & Qt::ShiftModifier);
    dragging_ = true;
}

void TCellRow::mouseMoveEvent(QMouseEvent* event)
{
    if (locked_ || !dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    const int col = NearestColumn(int(event->position().x()));
    if (col != current_)
        MoveCurrent(col, true);
}

void TCellRow::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    if (locked_)
        return;
    const Qt::MouseButton button = event->button();
    CallSafely([&] {
        if (OnMouseUp)
            OnMouseUp(button);
    });
}

void TCellRow::keyPressEvent(QKeyEvent* event)
{
    if (locked_)
        return;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const int from = current_ < 0 ? 0 : current_;
    switch (event->key()) {
    case Qt::Key_Left: MoveCurrent(from - 1, extend); break;
    case Qt::Key_Right: MoveCurrent(current_ < 0 ? 0 : from + 1, extend); break;
    case Qt::Key_Home: MoveCurrent(0, extend); break;
    case Qt::Key_End: MoveCurrent(colCount_ - 1, extend); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void TCellRow::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its press, but counts as released once.
    if (locked_ || event->isAutoRepeat())
        return;
    const int key = event->key();
    CallSafely([&] {
        if (OnKeyUp)
            OnKeyUp(key);
    });
}

// ---- TArrowImage -------------------------------------------------------------

TArrowImage::TArrowImage(bool pointsLeft, QWidget* parent)
    : QWidget(parent)
    , pointsLeft_(pointsLeft)
{
    setCursor(Qt::PointingHandCursor);
}

void TArrowImage::paintEvent(QPaintEvent*)
{
    // The picture's white background is transparent: only the arrow is drawn.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int w = width();
    const int h = height();
    const int mid = h / 2;
    const int tip = std::max(1, std::min(w - 2, mid));
    QPainterPath path;
    if (pointsLeft_) {
        const int right = w - 2;
        path.moveTo(right - tip, mid);
        path.lineTo(right, mid - tip);
        path.lineTo(right, mid + tip);
    } else {
        const int left = 1;
        path.moveTo(left + tip, mid);
        path.lineTo(left, mid - tip);
        path.lineTo(left, mid + tip);
    }
    path.closeSubpath();
    painter.fillPath(path, palette().color(QPalette::WindowText));
}

void TArrowImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (locked_ || event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    CallSafely([&] {
        if (OnClick)
            OnClick();
    });
}

// ---- tZeitraumForm -----------------------------------------------------------

tZeitraumForm::tZeitraumForm(QWidget* parent, QDate today)
    : QWidget(parent, parent ? Qt::Widget
                             : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , strip_(today, TStripMetrics::ForPixelsPerInch(logicalDpiX()))
{
    setWindowTitle(QStringLiteral("Zeitraum-Auswahl"));
    setFont(QFont(QStringLiteral("Arial")));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ButtonShadow(this));
    setPalette(pal);

    Jahr_Grid = new TCellRow(this);
    Monat_Grid = new TCellRow(this);
    Tag_Grid = new TCellRow(this);
    Links_Knopf = new TArrowImage(true, this);
    Rechts_Knopf = new TArrowImage(false, this);

    Jahr_Grid->OnMouseUp = [this](Qt::MouseButton) { Jahr_GridMouseUp(); };
    Jahr_Grid->OnKeyUp = [this](int key) { Jahr_GridKeyUp(key); };
    Monat_Grid->OnMouseUp = [this](Qt::MouseButton) { Monat_GridMouseUp(); };
    Monat_Grid->OnKeyUp = [this](int key) { Monat_GridKeyUp(key); };
    Tag_Grid->OnMouseUp = [this](Qt::MouseButton) { Tag_GridMouseUp(); };
    Tag_Grid->OnKeyUp = [this](int key) { Tag_GridKeyUp(key); };
    Tag_Grid->OnDrawCell = [this](QPainter& p, int col, const QRect& r, bool selected, bool focused) {
        Tag_GridDrawCell(p, col, r, selected, focused);
    };
    Links_Knopf->OnClick = [this] { Links_KnopfClick(); };
    Rechts_Knopf->OnClick = [this] { Rechts_KnopfClick(); };

    FormCreate();
    ZeitraumForm = this;
}

tZeitraumForm::~tZeitraumForm()
{
    if (ZeitraumForm == this)
        ZeitraumForm = nullptr;
}

void tZeitraumForm::FormCreate()
{
    QFont gridFont(QStringLiteral("Arial"));
    gridFont.setPointSize(8);
    for (TCellRow* grid : {Jahr_Grid, Monat_Grid, Tag_Grid})
        grid->setFont(gridFont);

    strip_.View.EnableGrids = [this](bool enabled) { LockControls(!enabled); };
    strip_.View.Apply = [this] { ApplyStrip(); };
    strip_.View.SetCaption = [this](const QString& caption) { setWindowTitle(caption); };
    ApplyStrip();
}

void tZeitraumForm::SetPeriodCallback(TPeriodEvent onPeriod)
{
    strip_.SetPeriodCallback(std::move(onPeriod));
}

void tZeitraumForm::SetPeriod(uint8_t firstMonth, TDayNumber firstDay, TDayNumber lastDay,
                              uint8_t showDays, uint8_t showMonths)
{
    strip_.SetPeriod(firstMonth, firstDay, lastDay, showDays, showMonths);
}

void tZeitraumForm::LockControls(bool locked)
{
    for (TCellRow* grid : {Jahr_Grid, Monat_Grid, Tag_Grid})
        grid->SetLocked(locked);
    // The arrows too: a click while the receiver evaluates would start a
    // second evaluation inside the first.
    Links_Knopf->SetLocked(locked);
    Rechts_Knopf->SetLocked(locked);
}

void tZeitraumForm::ApplyRow(TCellRow* grid, const TStripRow& row)
{
    grid->SetCells(row.Texts, row.ColWidths, row.ColCount);
    if (!row.HasSelection())
        grid->ClearSelection();
    else if (grid->SelLeft() != row.SelLeft || grid->SelRight() != row.SelRight)
        grid->SetSelection(row.SelLeft, row.SelRight);
    grid->setGeometry(row.Bounds);
    grid->setVisible(row.Visible);
}

void tZeitraumForm::ApplyStrip()
{
    ApplyRow(Jahr_Grid, strip_.YearRow);
    ApplyRow(Monat_Grid, strip_.MonthRow);
    ApplyRow(Tag_Grid, strip_.DayRow);
    Links_Knopf->setGeometry(strip_.LeftArrowBounds());
    Rechts_Knopf->setGeometry(strip_.RightArrowBounds());
    if (parentWidget())
        setFixedSize(strip_.Size());
    else
        resize(strip_.Size());
    setMask(strip_.OutlineRegion());
    if (isVisible())
        PlaceStrip(strip_.Placement);
    update();
}

void tZeitraumForm::PlaceStrip(uint8_t placement)
{
    strip_.Placement = placement;
    QPalette pal = palette();
    if (QWidget* parent = parentWidget()) {
        move(StripPlacementLeft(TStripContainer::Parent, placement, 0, parent->width(), width()), 0);
        parent->setFixedHeight(height());
        pal.setColor(QPalette::Window, ButtonFace(this));
        setPalette(pal);
        return;
    }
    QMainWindow* mainWindow = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* mw = qobject_cast<QMainWindow*>(w); mw && static_cast<QWidget*>(mw) != this) {
            mainWindow = mw;
            break;
        }
    }
    pal.setColor(QPalette::Window, ButtonShadow(this));
    setPalette(pal);
    if (mainWindow) {
        const QRect g = mainWindow->frameGeometry();
        move(StripPlacementLeft(TStripContainer::MainWindow, placement, g.left(), g.width(), width()),
             g.top() + g.height() - height() - 5);
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(StripPlacementLeft(TStripContainer::Screen, placement, 0, s.width(), width()),
             s.height() - height() - 28);
    }
}

void tZeitraumForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void tZeitraumForm::Jahr_GridMouseUp()
{
    strip_.YearsChosen(Jahr_Grid->SelLeft(), Jahr_Grid->SelRight());
    Tag_Grid->update();
}

void tZeitraumForm::Jahr_GridKeyUp(int)
{
    strip_.YearsChosen(Jahr_Grid->Col(), Jahr_Grid->Col());
    Tag_Grid->update();
}

void tZeitraumForm::Monat_GridMouseUp()
{
    strip_.MonthsChosen(Monat_Grid->SelLeft(), Monat_Grid->SelRight());
    Tag_Grid->update();
}

void tZeitraumForm::Monat_GridKeyUp(int key)
{
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return;
    strip_.MonthsChosen(Monat_Grid->Col(), Monat_Grid->Col());
    Tag_Grid->update();
}

void tZeitraumForm::Tag_GridMouseUp()
{
    strip_.DaysChosen(Tag_Grid->SelLeft(), Tag_Grid->SelRight());
}

void tZeitraumForm::Tag_GridKeyUp(int)
{
    strip_.DaysChosen(Tag_Grid->Col(), Tag_Grid->Col());
}

void tZeitraumForm::Tag_GridDrawCell(QPainter& painter, int col, const QRect& rect, bool selected, bool focused)
{
    QColor background = ButtonFace(Tag_Grid);
    QColor text = Tag_Grid->palette().color(QPalette::ButtonText);
    if (selected) {
        background = Tag_Grid->palette().color(QPalette::Highlight);
        text = Tag_Grid->palette().color(QPalette::HighlightedText);
    }
    switch (strip_.DayCellKind(col)) {
    case TDayCellKind::Sunday:
        text = platform::ColorRefToQColor(selected ? 0x0000FF : 0x0000CC);
        break;
    case TDayCellKind::NonWorkday:
        text = platform::ColorRefToQColor(selected ? 0x7777FF : 0x0000DD);
        break;
    case TDayCellKind::Ordinary:
        break;
    }
    QRect r = rect;
    if (selected || focused)
        r.adjust(1, 0, -2, 0);
    painter.fillRect(r, background);
    painter.setPen(text);
    painter.drawText(r.adjusted(0, 2, 0, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Tag_Grid->Cell(col));
}

void tZeitraumForm::Links_KnopfClick()
{
    strip_.Links_KnopfClick();
}

void tZeitraumForm::Rechts_KnopfClick()
{
    strip_.Rechts_KnopfClick();
}
