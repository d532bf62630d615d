#include "platform/forms/DirectionSpinner.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace platform {

TDirectionSpinner::TDirectionSpinner(QWidget* parent) : QWidget(parent)
{
    setFixedSize(24, 24);
    setCursor(Qt::PointingHandCursor);
}

void TDirectionSpinner::SetArrows(TArrows arrows)
{
    arrows_ = arrows;
    update();
}

QColor TDirectionSpinner::ArrowColour() const
{
    return palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                           isEnabled() ? QPalette::ButtonText : QPalette::Text);
}

bool TDirectionSpinner::DirectionAt(QPoint p, TDirection& direction) const
{
    if (!rect().contains(p))
        return false;
    // Split along the diagonals; a two-way spinner takes only its own halves.
    const double x = double(p.x()) / width() - 0.5;
    const double y = double(p.y()) / height() - 0.5;
    const bool vertical = std::abs(y) >= std::abs(x);
    if (arrows_ == TArrows::Horizontal)
        direction = x < 0 ? TDirection::Left : TDirection::Right;
    else if (arrows_ == TArrows::Vertical)
        direction = y < 0 ? TDirection::Up : TDirection::Down;
    else if (vertical)
        direction = y < 0 ? TDirection::Up : TDirection::Down;
    else
        direction = x < 0 ? TDirection::Left : TDirection::Right;
    return true;
}

void TDirectionSpinner::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(ArrowColour());
    const double w = width(), h = height();
    const double cx = w / 2, cy = h / 2, a = std::min(w, h) / 6;
    auto arrow = [&](TDirection d) {
        switch (d) {
        case TDirection::Up:
            p.drawPolygon(QPolygonF({QPointF(cx, 1), QPointF(cx - a, 1 + a), QPointF(cx + a, 1 + a)}));
            break;
        case TDirection::Down:
            p.drawPolygon(QPolygonF({QPointF(cx, h - 1), QPointF(cx - a, h - 1 - a), QPointF(cx + a, h - 1 - a)}));
            break;
        case TDirection::Left:
            p.drawPolygon(QPolygonF({QPointF(1, cy), QPointF(1 + a, cy - a), QPointF(1 + a, cy + a)}));
            break;
        case TDirection::Right:
            p.drawPolygon(QPolygonF({QPointF(w - 1, cy), QPointF(w - 1 - a, cy - a), QPointF(w - 1 - a, cy + a)}));
            break;
        }
    };
    if (arrows_ != TArrows::Horizontal) {
        arrow(TDirection::Up);
        arrow(TDirection::Down);
    }
    if (arrows_ != TArrows::Vertical) {
        arrow(TDirection::Left);
        arrow(TDirection::Right);
    }
}

void TDirectionSpinner::mouseReleaseEvent(QMouseEvent* event)
{
    TDirection d;
    if (event->button() == Qt::LeftButton && isEnabled() && DirectionAt(event->pos(), d))
        emit Clicked(d);
}

void TDirectionSpinner::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace platform
