#pragma once
// Layouts for bars of controls that must stay whole at every window size.
//
// TWrapLayout places its items left to right at their preferred sizes and
// starts a new row where the next one would not fit, so no caption is ever
// cut; hidden items that retain their size keep their place, so controls that
// appear later do not shift their neighbours.
//
// TBesideOrBelowLayout holds two items: the second beside the first when the
// width allows the second its one-row width, else below it at full width.
#include <QLayout>
#include <QList>
#include <QScrollArea>

namespace platform {

class TWrapLayout : public QLayout {
public:
    explicit TWrapLayout(QWidget* parent = nullptr, int spacing = 6);
    ~TWrapLayout() override;

    void addItem(QLayoutItem* item) override;
    void insertWidget(int index, QWidget* widget);
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

    // The width that holds every item on one row.
    int OneRowWidth() const;

private:
    int place(const QRect& rect, bool apply) const;
    bool takesPlace(const QLayoutItem* item) const;

    QList<QLayoutItem*> items_;
    int spacing_;
};

class TBesideOrBelowLayout : public QLayout {
public:
    // first: a widget of fixed width; second: a widget whose layout is a
    // TWrapLayout.
    TBesideOrBelowLayout(QWidget* parent, QWidget* first, QWidget* second);
    ~TBesideOrBelowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

    bool Beside(int width) const;
    // Room kept for the first widget, however high it is at the moment (a
    // strip that shows fewer rows must not let the bar below it jump).
    void SetFirstHeightFloor(int height);

private:
    int firstHeight() const;
    int secondOneRow() const;
    int secondHeight(int width) const;

    QWidget* first_;
    QWidget* second_;
    int firstFloor_ = 0;
    QList<QLayoutItem*> items_;
};

// A one-line scroll area for such a bar: as high as its widget needs at the
// width it is given, scrolled sideways only where the window is narrower
// than the widget's least width (a period strip wider than the window).
class TBarScrollArea : public QScrollArea {
public:
    explicit TBarScrollArea(QWidget* parent = nullptr);
    void SetBar(QWidget* bar);
    // Recomputes the height for the current width.
    void FitHeight();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool fitting_ = false;
};

} // namespace platform
