#include "platform/forms/BarLayouts.h"

#include <QEvent>
#include <QScrollBar>
#include <QWidget>
#include <QWidgetItem>

#include <algorithm>

namespace platform {

// ---- TWrapLayout ----------------------------------------------------------------

TWrapLayout::TWrapLayout(QWidget* parent, int spacing) : QLayout(parent), spacing_(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

TWrapLayout::~TWrapLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void TWrapLayout::addItem(QLayoutItem* item)
{
    items_.append(item);
}

void TWrapLayout::insertWidget(int index, QWidget* widget)
{
    addChildWidget(widget);
    items_.insert(std::clamp<qsizetype>(index, 0, items_.size()), new QWidgetItem(widget));
    invalidate();
}

int TWrapLayout::count() const
{
    return int(items_.size());
}

QLayoutItem* TWrapLayout::itemAt(int index) const
{
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* TWrapLayout::takeAt(int index)
{
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

bool TWrapLayout::takesPlace(const QLayoutItem* item) const
{
    // A hidden widget that retains its size keeps its place.
    if (const QWidget* w = item->widget())
        return !w->isHidden() || w->sizePolicy().retainSizeWhenHidden();
    return !item->isEmpty();
}

int TWrapLayout::place(const QRect& rect, bool apply) const
{
    const QMargins m = contentsMargins();
    const QRect area = rect.marginsRemoved(m);
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    for (QLayoutItem* item : items_) {
        if (!takesPlace(item))
            continue;
        const QSize size = item->sizeHint();
        if (x > area.x() && x + size.width() > area.right() + 1) {
            x = area.x();
            y += rowHeight + spacing_;
            rowHeight = 0;
        }
        if (apply)
            item->setGeometry(QRect(QPoint(x, y), size));
        x += size.width() + spacing_;
        rowHeight = std::max(rowHeight, size.height());
    }
    return y + rowHeight - rect.y() + m.bottom();
}

int TWrapLayout::heightForWidth(int width) const
{
    return place(QRect(0, 0, width, 0), false);
}

QSize TWrapLayout::minimumSize() const
{
    QSize size;
    for (QLayoutItem* item : items_)
        if (takesPlace(item))
            size = size.expandedTo(item->sizeHint());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize TWrapLayout::sizeHint() const
{
    const int width = OneRowWidth();
    return {width, heightForWidth(width)};
}

int TWrapLayout::OneRowWidth() const
{
    int width = 0;
    bool first = true;
    for (QLayoutItem* item : items_) {
        if (!takesPlace(item))
            continue;
        width += item->sizeHint().width() + (first ? 0 : spacing_);
        first = false;
    }
    const QMargins m = contentsMargins();
    return width + m.left() + m.right();
}

void TWrapLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    place(rect, true);
}

// ---- TBesideOrBelowLayout ---------------------------------------------------------

TBesideOrBelowLayout::TBesideOrBelowLayout(QWidget* parent, QWidget* first, QWidget* second)
    : QLayout(parent), first_(first), second_(second)
{
    setContentsMargins(0, 0, 0, 0);
    // The parent's minimum height is a floor set from outside (room for what
    // the first widget may show): the layout must not set it itself.
    setSizeConstraint(QLayout::SetNoConstraint);
    addChildWidget(first);
    addChildWidget(second);
    items_ = {new QWidgetItem(first), new QWidgetItem(second)};
}

TBesideOrBelowLayout::~TBesideOrBelowLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void TBesideOrBelowLayout::addItem(QLayoutItem* item)
{
    // Only the two items given at construction take part.
    delete item;
}

int TBesideOrBelowLayout::count() const
{
    return int(items_.size());
}

QLayoutItem* TBesideOrBelowLayout::itemAt(int index) const
{
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* TBesideOrBelowLayout::takeAt(int index)
{
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int TBesideOrBelowLayout::firstHeight() const
{
    // The first widget's height is its own (it may set it to what it shows);
    // the parent's minimum height keeps room for more.
    return std::max({first_->height(), first_->minimumHeight(), firstFloor_});
}

void TBesideOrBelowLayout::SetFirstHeightFloor(int height)
{
    firstFloor_ = height;
    invalidate();
}

int TBesideOrBelowLayout::secondOneRow() const
{
    if (const auto* wrap = dynamic_cast<const TWrapLayout*>(second_->layout()))
        return wrap->OneRowWidth();
    return second_->sizeHint().width();
}

int TBesideOrBelowLayout::secondHeight(int width) const
{
    if (const QLayout* l = second_->layout(); l && l->hasHeightForWidth())
        return l->heightForWidth(width);
    return second_->sizeHint().height();
}

bool TBesideOrBelowLayout::Beside(int width) const
{
    return width >= first_->width() + secondOneRow();
}

int TBesideOrBelowLayout::heightForWidth(int width) const
{
    int height = 0;
    if (Beside(width))
        height = std::max(firstHeight(), secondHeight(width - first_->width()));
    else
        height = firstHeight() + secondHeight(std::max(width, 1));
    if (const QWidget* parent = parentWidget())
        height = std::max(height, parent->minimumHeight());
    return height;
}

QSize TBesideOrBelowLayout::minimumSize() const
{
    const int width = std::max(first_->width(), second_->layout() ? second_->layout()->minimumSize().width() : 0);
    return {width, heightForWidth(width)};
}

QSize TBesideOrBelowLayout::sizeHint() const
{
    const int width = first_->width() + secondOneRow();
    return {width, heightForWidth(width)};
}

void TBesideOrBelowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const int w1 = first_->width();
    first_->setGeometry(rect.x(), rect.y(), w1, first_->height());
    if (Beside(rect.width())) {
        const int w2 = rect.width() - w1;
        second_->setGeometry(rect.x() + w1, rect.y(), w2, secondHeight(w2));
    } else {
        second_->setGeometry(rect.x(), rect.y() + firstHeight(), rect.width(), secondHeight(rect.width()));
    }
}

// ---- TBarScrollArea ----------------------------------------------------------------

TBarScrollArea::TBarScrollArea(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TBarScrollArea::SetBar(QWidget* bar)
{
    setWidget(bar);
    bar->installEventFilter(this);
    FitHeight();
}

void TBarScrollArea::FitHeight()
{
    QWidget* bar = widget();
    if (!bar || fitting_)
        return;
    fitting_ = true;
    const int viewWidth = width();
    const int barWidth = std::max(viewWidth, bar->minimumSizeHint().width());
    int height = bar->hasHeightForWidth() ? bar->heightForWidth(barWidth) : bar->sizeHint().height();
    height = std::max(height, bar->minimumHeight());
    if (barWidth > viewWidth)
        height += horizontalScrollBar()->sizeHint().height();
    if (height != this->height())
        setFixedHeight(height);
    fitting_ = false;
}

void TBarScrollArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    FitHeight();
}

bool TBarScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget() && (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize))
        FitHeight();
    return QScrollArea::eventFilter(watched, event);
}

} // namespace platform
