#pragma once
// A small spinner with arrows for two or four directions: a click on an arrow
// reports its direction. It shows horizontal arrows, vertical arrows or all
// four; the arrows take the button-text colour while enabled and the grey-text
// colour otherwise.
#include <QWidget>

namespace platform {

class TDirectionSpinner : public QWidget {
    Q_OBJECT
public:
    enum class TArrows { Horizontal, Vertical, FourWay };
    enum class TDirection { Up, Down, Left, Right };

    explicit TDirectionSpinner(QWidget* parent = nullptr);

    TArrows Arrows() const { return arrows_; }
    void SetArrows(TArrows arrows);
    // The direction of the arrow under a point, false where there is none.
    bool DirectionAt(QPoint p, TDirection& direction) const;
    QColor ArrowColour() const;

    QSize sizeHint() const override { return {24, 24}; }

signals:
    void Clicked(platform::TDirectionSpinner::TDirection direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TArrows arrows_ = TArrows::FourWay;
};

} // namespace platform
