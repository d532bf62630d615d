#pragma once
// The chart view: QCustomPlot lays out the axes, their ticks and labels and
// draws line curves in 2-D (with its adaptive sampling); our painters
// (platform/ChartPainters.h) draw walls, grid, bars, areas, ribbons, the pie,
// markers, marks, the legend and the title on QCustomPlot's layers, in the
// plot's own coordinate system. The same view draws off screen into any
// QPainter (preview image, printer, PDF, SVG, metafile) through RenderChart.
//
// Mouse: the left button drags a rectangle that zooms in (dragged towards the
// lower right) or undoes the zoom (dragged the other way); the right button
// pans. A click without a drag reports what it hit.
#include "platform/ChartModel.h"
#include "platform/ChartPainters.h"

#include <QPointer>
#include <QRubberBand>
#include <qcustomplot.h>

namespace platform {

class TChartPlot : public QCustomPlot {
    Q_OBJECT
public:
    explicit TChartPlot(QWidget* parent = nullptr);
    ~TChartPlot() override;

    // The model drawn (not owned; it must outlive its use here). Null shows
    // an empty chart.
    void SetModel(chart::TChartModel* model);
    chart::TChartModel* Model() const { return model_; }

    // When a change is drawn: with the next event loop turn, at once, or
    // not at all (the caller draws).
    enum class TRedraw { Queued, Immediate, None };
    // Takes the curves and every setting of the model, then redraws.
    void Rebuild(TRedraw redraw = TRedraw::Queued);
    // Takes ranges and look only (zoom, scroll, switches), then redraws.
    void Refresh(TRedraw redraw = TRedraw::Queued);

    // Where the parts lie as last laid out, and what lies under a point.
    chart::TChartGeometry Geometry() const;
    chart::THit HitTest(QPointF p) const;

    // Mouse zoom and panning (the pie allows neither).
    bool ZoomEnabled = true;
    bool PanEnabled = true;

    // Lays the chart out for a viewport of that size without drawing.
    void LayoutFor(const QSize& size);

signals:
    // The user zoomed or panned with the mouse.
    void ViewChanged();
    // A click without a drag.
    void ChartClicked(const chart::THit& hit, Qt::MouseButton button);

protected:
    void updateLayout() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class TChartLayer;
    void ApplyAxes();
    void ApplyKeyStep();
    QCPAxis* PhysicalAxis(chart::TAxisId id) const;
    chart::TChartFrame Frame() const;
    QSizeF LegendSize() const;
    double TitleHeight() const;
    QStringList LegendTexts() const;
    std::vector<QColor> LegendColours() const;

    chart::TChartModel* model_ = nullptr;
    QSharedPointer<QCPAxisTicker> keyTicker_;
    QSharedPointer<QCPAxisTicker> valueTicker_;
    QSharedPointer<QCPAxisTicker> rightTicker_;
    class TChartLayer* back_ = nullptr;
    class TChartLayer* main_ = nullptr;
    class TChartLayer* front_ = nullptr;
    std::vector<QCPGraph*> graphs_;
    QRectF titleRect_, legendRect_;

    // Mouse state.
    QPoint pressPos_;
    Qt::MouseButton pressButton_ = Qt::NoButton;
    bool dragged_ = false;
    QPointer<QRubberBand> band_;
    chart::TRange panBottom_, panLeft_;
};

// Draws the model into target on painter, laid out as a chart of
// target.size() / scale pixels and scaled by scale (a printer page draws a
// chart of screen size scaled to its resolution). Vector output stays vector.
void RenderChart(const chart::TChartModel& model, QPainter& painter, const QRectF& target, double scale = 1.0);

// A font of the same size in pixels of a 96-dpi screen, so that it comes out
// alike on every device.
QFont ScreenPixelFont(const QFont& font);

} // namespace platform
