#include "reports/forms/anlRuler.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPolygon>

// The dotted guide line over the editor's viewport. It takes no mouse input,
// so the editor below behaves as if it were not there.
class TRulerGuideOverlay : public QWidget {
public:
    explicit TRulerGuideOverlay(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }
    int lineX = -1;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (lineX < 0)
            return;
        QPainter p(this);
        QPen pen(Qt::black);
        pen.setStyle(Qt::DotLine);
        pen.setWidth(0);
        p.setPen(pen);
        p.drawLine(lineX, 1, lineX, height());
    }
};

using reports::TRulerGeometry;

TanlRuler::TanlRuler(QWidget* parent) : QWidget(parent)
{
    resize(300, 25);
    geo_.Width = 300;
    geo_.Height = 25;
    QFont f = font();
    f.setPointSize(7);
    setFont(f);
    setAutoFillBackground(false);
    setMouseTracking(true);
}

TanlRuler::~TanlRuler()
{
    if (overlay_)
        delete overlay_.data();
}

void TanlRuler::SetRichedit(QAbstractScrollArea* editor)
{
    if (editor == richedit_)
        return;
    if (overlay_)
        delete overlay_.data();
    richedit_ = editor;
    if (editor)
        overlay_ = new TRulerGuideOverlay(editor->viewport());
}

void TanlRuler::SetFactor(uint16_t v)
{
    if (v != geo_.Factor) {
        geo_.Factor = v;
        update();
    }
}

void TanlRuler::SetTabDist(uint16_t v)
{
    if (v != geo_.TabDist) {
        geo_.TabDist = v;
        update();
    }
}

#define RULER_SIMPLE_SETTER(Name, field)        \
    void TanlRuler::Set##Name(decltype(geo_.field) v) \
    {                                           \
        if (v != geo_.field) {                  \
            geo_.field = v;                     \
            update();                           \
        }                                       \
    }
RULER_SIMPLE_SETTER(BorderLeft, BorderLeft)
RULER_SIMPLE_SETTER(BorderUp, BorderUp)
RULER_SIMPLE_SETTER(BorderDown, BorderDown)
RULER_SIMPLE_SETTER(BorderRight, BorderRight)
RULER_SIMPLE_SETTER(ShowSmallLines, ShowSmallLines)
RULER_SIMPLE_SETTER(ShowLargeLines, ShowLargeLines)
RULER_SIMPLE_SETTER(ShowNumbers, ShowNumbers)
RULER_SIMPLE_SETTER(ShowMarginHandlers, ShowMarginHandlers)
RULER_SIMPLE_SETTER(ShowIndents, ShowIndents)
#undef RULER_SIMPLE_SETTER

void TanlRuler::setIndentChecked(int id, int32_t v)
{
    if (geo_.SetIndent(id, v)) {
        update();
        if (dragMarker_ >= 0)
            emit OnIndentDrag(this, id == reports::idBoth ? reports::idLeft : id);
    }
}

void TanlRuler::PlaceIndents(int32_t first, int32_t left, int32_t right)
{
    geo_.PlaceIndents(first, left, right);
    update();
}

void TanlRuler::SetIndentFirst(int32_t v) { setIndentChecked(reports::idFirst, v); }
void TanlRuler::SetIndentLeft(int32_t v) { setIndentChecked(reports::idLeft, v); }
void TanlRuler::SetIndentRight(int32_t v) { setIndentChecked(reports::idRight, v); }

void TanlRuler::setMarginChecked(int id, int32_t v)
{
    if (geo_.SetMargin(id, v)) {
        update();
        if (dragMargin_ == id)
            emit OnMarginDrag(this, id);
    }
}

void TanlRuler::SetMarginLeft(int32_t v) { setMarginChecked(reports::midLeft, v); }
void TanlRuler::SetMarginRight(int32_t v) { setMarginChecked(reports::midRight, v); }

bool TanlRuler::GuideVisible() const
{
    return overlay_ && overlay_->isVisible() && overlay_->lineX >= 0;
}

int TanlRuler::GuideX() const
{
    return overlay_ ? overlay_->lineX : -1;
}

void TanlRuler::showGuideAt(int rulerX)
{
    if (!richedit_ || !overlay_)
        return;
    QWidget* vp = richedit_->viewport();
    const int x = vp->mapFrom(window(), mapTo(window(), QPoint(rulerX, 0))).x();
    overlay_->setGeometry(vp->rect());
    if (x == overlay_->lineX && overlay_->isVisible())
        return;
    overlay_->lineX = x;
    overlay_->show();
    overlay_->raise();
    overlay_->update();
}

void TanlRuler::hideGuide()
{
    if (!overlay_)
        return;
    overlay_->lineX = -1;
    overlay_->hide();
}

void TanlRuler::resizeEvent(QResizeEvent* event)
{
    geo_.Width = width();
    geo_.Height = height();
    QWidget::resizeEvent(event);
}

void TanlRuler::paintEvent(QPaintEvent*)
{
    geo_.Width = width();
    geo_.Height = height();
    QPainter p(this);
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor shadow = pal.color(QPalette::Dark);
    const int w = width(), h = height();
    p.fillRect(rect(), face);
    const QRect inner(geo_.BorderLeft, geo_.BorderUp, w - geo_.BorderLeft - geo_.BorderRight,
                      h - geo_.BorderUp - geo_.BorderDown);
    p.fillRect(inner, pal.color(QPalette::Base));
    p.fillRect(QRect(geo_.BorderLeft, inner.top(), geo_.MarginLeft(), inner.height()), shadow);
    p.fillRect(QRect(geo_.RightBoundary(), inner.top(), geo_.MarginRight(), inner.height()), shadow);
    if (geo_.ShowMarginHandlers) {
        p.fillRect(QRect(geo_.LeftBoundary() - 1, inner.top(), 2, inner.height()),
                   geo_.MarginLeft() != 0 ? face : shadow);
        p.fillRect(QRect(geo_.RightBoundary() - 1, inner.top(), 2, inner.height()),
                   geo_.MarginRight() != 0 ? face : shadow);
    }
    p.setPen(pal.color(QPalette::WindowText));
    const int mid = h / 2;
    for (const reports::TRulerMark& m : geo_.ScaleMarks()) {
        if (m.kind == reports::TRulerMark::Number) {
            if (!m.Text.isEmpty())
                p.drawText(QRect(m.X - 20, 0, 40, h), Qt::AlignCenter, m.Text);
        } else {
            p.drawLine(m.X, mid - m.Length / 2, m.X, mid - m.Length / 2 + m.Length - 1);
        }
    }
    if (!geo_.ShowIndents)
        return;
    auto drawMarker = [&](int id, int left, int top, const QColor& outline, bool fill) {
        QPolygon poly;
        if (id == reports::idFirst)
            poly << QPoint(0, 0) << QPoint(8, 0) << QPoint(8, 3) << QPoint(4, 7) << QPoint(0, 3);
        else if (id == reports::idBoth)
            poly << QPoint(0, 0) << QPoint(8, 0) << QPoint(8, 7) << QPoint(0, 7);
        else
            poly << QPoint(0, 7) << QPoint(0, 4) << QPoint(4, 0) << QPoint(8, 4) << QPoint(8, 7);
        poly.translate(left, top);
        p.setPen(outline);
        p.setBrush(fill ? QBrush(face) : QBrush(Qt::NoBrush));
        p.drawPolygon(poly);
        if (fill) {
            p.setPen(pal.color(QPalette::Light));
            p.drawLine(left + 1, top + (id == reports::idFirst ? 1 : 6), left + 7,
                       top + (id == reports::idFirst ? 1 : 6));
        }
    };
    for (int id = 0; id < 4; ++id) {
        if (dragMarker_ >= 0 && (id == dragMarker_ || (dragMarker_ == reports::idBoth && id <= reports::idLeft)))
            drawMarker(id, startLeft_[id], geo_.MarkerTop(id), shadow, false);
    }
    for (int id = 0; id < 4; ++id)
        drawMarker(id, geo_.MarkerLeft(id), geo_.MarkerTop(id), Qt::black, true);
}

void TanlRuler::updateCursor(int x, int y)
{
    if (geo_.MarkerAt(x, y) >= 0)
        setCursor(Qt::DragMoveCursor);
    else if (geo_.MarginAt(x) >= 0)
        setCursor(Qt::SplitHCursor);
    else
        unsetCursor();
}

void TanlRuler::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int marker = geo_.MarkerAt(pos.x(), pos.y());
    if (marker >= 0) {
        dragMarker_ = marker;
        pressX_ = pos.x();
        for (int id = 0; id < 4; ++id)
            startLeft_[id] = geo_.MarkerLeft(id);
        showGuideAt(geo_.MarkerLeft(marker) + 4);
        emit OnIndentClick(this, marker);
        update();
        return;
    }
    const int margin = geo_.MarginAt(pos.x());
    if (margin >= 0) {
        dragMargin_ = margin;
        pressX_ = pos.x();
        startMargin_ = margin == reports::midLeft ? geo_.MarginLeft() : geo_.MarginRight();
        showGuideAt(margin == reports::midLeft ? geo_.LeftBoundary() : geo_.RightBoundary());
        emit OnMarginClick(this, margin);
    }
}

void TanlRuler::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (dragMarker_ >= 0) {
        const int32_t v = reports::SnapDragPosition(startLeft_[dragMarker_], pressX_, pos.x(), geo_.RulerTab);
        setIndentChecked(dragMarker_, v);
        showGuideAt(geo_.MarkerLeft(dragMarker_) + 4);
        return;
    }
    if (dragMargin_ >= 0) {
        // The boundary follows the mouse from where it was taken.
        const int moved = pos.x() - pressX_;
        if (dragMargin_ == reports::midLeft)
            setMarginChecked(reports::midLeft, startMargin_ + moved);
        else
            setMarginChecked(reports::midRight, startMargin_ - moved);
        showGuideAt(dragMargin_ == reports::midLeft ? geo_.LeftBoundary() : geo_.RightBoundary());
        return;
    }
    updateCursor(pos.x(), pos.y());
}

void TanlRuler::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (dragMarker_ >= 0) {
        const int id = dragMarker_;
        hideGuide();
        dragMarker_ = -1;
        update();
        emit OnIndentChange(this, id);
        return;
    }
    if (dragMargin_ >= 0) {
        const int id = dragMargin_;
        hideGuide();
        dragMargin_ = -1;
        update();
        emit OnMarginChange(this, id);
    }
}

void TanlRuler::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int marker = geo_.MarkerAt(pos.x(), pos.y());
    if (marker < 0)
        return;
    // Qt sends the double click in place of the second press, so no drag
    // starts from it and the next single press drags again.
    emit OnIndentDblClick(this, marker);
}
