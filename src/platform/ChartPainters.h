#pragma once
// Our own painters for what the chart library does not draw: the 3-D look
// (oblique depth, walls, 3-D bars and ribbons, curves behind each other),
// bars and areas thinned per pixel column, the pie, the point markers and the
// point marks. Each draws onto any QPainter (screen, preview image, printer,
// PDF, SVG, metafile) in the coordinate system the view hands over in a
// TChartFrame, and stays vector output on every device. Hit testing works on
// the same frame.
#include "platform/ChartModel.h"

#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <vector>

namespace chart {

// Where the plot lies on the device and which ranges it shows.
struct TChartFrame {
    QRectF Plot;                           // the front plane of the plot
    TRange Key{0, 1};                      // the rows shown
    TRange Value{0, 1};                    // the values shown
    bool Horizontal = false;               // rows run upwards (horizontal bars)
    double DepthX = 0;                     // the back plane lies DepthX right of
    double DepthY = 0;                     // and DepthY above the front plane (3-D)
    int ZRows = 1;

    // Pixel of a row position along the row direction, and of a value along
    // the value direction.
    double KeyPx(double key) const;
    double ValuePx(double value) const;
    // Front-plane point of (row, value), moved back by z (0 front .. 1 back).
    QPointF Point(double key, double value, double z = 0) const;
    QPointF Back(double z) const { return {DepthX * z, -DepthY * z}; }
    // Pixels per row step along the row direction (always positive).
    double PixelsPerKey() const;
    double KeyFromPx(double px) const;
    double ValueFromPx(double px) const;
    bool Is3D() const { return DepthX > 0 || DepthY > 0; }
    // The depth of one z row (0..1) and the front and back of row r.
    double RowFront(int row) const { return ZRows > 0 ? double(row) / ZRows : 0; }
    double RowBack(int row) const { return ZRows > 0 ? double(row + 1) / ZRows : 1; }
};

// The 3-D depth in pixels for a plot of that size: the percent of the
// smaller side, a quarter of it (the oblique offset goes right and up alike).
double DepthPixels(const QRectF& area, int percent);

// ---- Markers and lines ---------------------------------------------------------

// Draws one marker centred at p; size is the half width in pixels.
void DrawMarker(QPainter& painter, QPointF p, TMarker marker, double size, const QColor& colour);
// The pen of a curve: style 0 solid .. 4 dash-dot-dot, width 1..3.
QPen CurvePen(const QColor& colour, int penStyle, int width);
Qt::PenStyle PenStyleOf(int penStyle);
// A line sample across rect's middle (an option list entry): entry 0 none,
// 1..3 solid of that width, 4 dash, 5 dot, 6 dash-dot, 7 dash-dot-dot.
void DrawLineSample(QPainter& painter, const QRect& rect, int entry, const QColor& colour);

// ---- The plot ----------------------------------------------------------------------

// Key positions of the value-axis and row-axis ticks, for the grid lines on
// the 3-D walls.
struct TTicks {
    std::vector<double> Key;
    std::vector<double> Value;
};

// The 3-D walls (back, left, floor) with the grid on them; in 2-D nothing.
void PaintWalls(QPainter& painter, const TChartFrame& frame, const TChartModel& model, const TTicks& ticks);
// The frame around the front plane (2-D and 3-D).
void PaintPlotFrame(QPainter& painter, const TChartFrame& frame, const TChartModel& model);

// The curves of a bar, area or line (3-D ribbon) chart; line curves in 2-D
// are drawn by the chart library and are skipped here.
void PaintSeries(QPainter& painter, const TChartFrame& frame, const TChartModel& model);
// Markers of line curves that show them.
void PaintMarkers(QPainter& painter, const TChartFrame& frame, const TChartModel& model);
// The value texts of curves whose marks are visible: a mark is left out when
// it would overlap the one drawn before it.
void PaintMarks(QPainter& painter, const TChartFrame& frame, const TChartModel& model, const QFont& font);

// The pie in bounds (3-D: an ellipse with depth).
void PaintPie(QPainter& painter, const QRectF& bounds, const TChartModel& model, const QFont& font);
// The rectangle the pie takes in an area.
QRectF PieRect(const QRectF& area, const TChartModel& model);

// ---- Hit testing ---------------------------------------------------------------

enum class THitPart : uint8_t { None, Series, Title, LeftAxis, RightAxis, BottomAxis, Legend, Plot };

struct THit {
    THitPart Part = THitPart::None;
    int Series = -1;                       // curve (or 0 for the pie)
    int Index = -1;                        // point, bar or slice
};

// Where the parts of a drawn chart lie, as the view laid them out.
struct TChartGeometry {
    TChartFrame Frame;
    QRectF Viewport;
    QRectF Title;
    QRectF LeftAxis;
    QRectF RightAxis;
    QRectF BottomAxis;
    QRectF Legend;
    QRectF Pie;
};

THit HitTest(const TChartModel& model, const TChartGeometry& geometry, QPointF p);

// The bar of series s at point i on the front plane (2-D extent; for 3-D add
// the depth of its row). Empty for a null point.
QRectF BarRect(const TChartFrame& frame, const TChartModel& model, int series, int index);

} // namespace chart
