#pragma once
// A drop-down list whose entries are drawn by the owner (line samples,
// marker shapes): the same drawing serves the open list and the closed box.
// The entries hold no text; the list only counts them.
#include <QComboBox>
#include <functional>

namespace platform {

class TOwnerDrawList : public QComboBox {
    Q_OBJECT
public:
    // Draws entry index into rect, selected while highlighted; the background
    // is already filled.
    using TDrawEntry = std::function<void(QPainter& painter, const QRect& rect, int index, bool selected)>;

    explicit TOwnerDrawList(QWidget* parent = nullptr);

    void SetEntryCount(int count);
    void SetDrawEntry(TDrawEntry draw);
    void SetEntryHeight(int height);
    int EntryHeight() const { return entryHeight_; }
    // Draws one entry as the list does, for the box and for tests.
    void DrawEntry(QPainter& painter, const QRect& rect, int index, bool selected) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TDrawEntry draw_;
    int entryHeight_ = 16;
};

} // namespace platform
