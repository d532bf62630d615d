#include "platform/forms/OwnerDrawList.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace platform {

namespace {

class TEntryDelegate : public QStyledItemDelegate {
public:
    TEntryDelegate(TOwnerDrawList* list)
        : QStyledItemDelegate(list), list_(list)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        list_->DrawEntry(*painter, option.rect, index.row(), selected);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), list_->EntryHeight());
    }

private:
    TOwnerDrawList* list_;
};

} // namespace

TOwnerDrawList::TOwnerDrawList(QWidget* parent)
    : QComboBox(parent)
{
    setItemDelegate(new TEntryDelegate(this));
}

void TOwnerDrawList::SetEntryCount(int count)
{
    clear();
    for (int i = 0; i < count; ++i)
        addItem(QString());
}

void TOwnerDrawList::SetDrawEntry(TDrawEntry draw)
{
    draw_ = std::move(draw);
    update();
}

void TOwnerDrawList::SetEntryHeight(int height)
{
    entryHeight_ = std::max(1, height);
}

void TOwnerDrawList::DrawEntry(QPainter& painter, const QRect& rect, int index, bool selected) const
{
    if (!draw_ || index < 0)
        return;
    painter.save();
    painter.setClipRect(rect);
    draw_(painter, rect, index, selected);
    painter.restore();
}

void TOwnerDrawList::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    // The chosen entry in the edit part, highlighted while the box has the focus.
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const bool selected = hasFocus();
    painter.fillRect(field, palette().brush(selected ? QPalette::Highlight : QPalette::Base));
    DrawEntry(painter, field, currentIndex(), selected);
}

} // namespace platform
