#pragma once
// The chart as data: one model that the screen view, the page preview, the
// printer, PDF, SVG and the metafile all draw. It holds the curves (one array
// of doubles per curve, NaN for a null point), the row labels shared by every
// curve, the style, the axes, legend, title and marks, and the view state
// (zoom and scroll ranges). Nothing here paints; ChartPainters.h does, and the
// QCustomPlot view in platform/forms/ChartView.h lays out axes and text.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace chart {

constexpr double NullValue = std::numeric_limits<double>::quiet_NaN();
inline bool IsNull(double v) { return std::isnan(v); }

// How the curves are drawn.
enum class TKind : uint8_t { Area, Bar, HorizBar, Line, Pie };
// Several bar curves: at the same place (one behind the other), side by side
// in each slot, or stacked.
enum class TMultiBar : uint8_t { None, Side, Stacked };

// Point marker shapes; the first eight are the option record's styles 0..7.
enum class TMarker : uint8_t {
    Rectangle, Circle, Triangle, DownTriangle, Cross, DiagCross, Star, Diamond,
    SmallDot, Nothing, LeftTriangle, RightTriangle
};
constexpr int MarkerCount = 12;

struct TSeries {
    QString Title;
    QColor Colour = Qt::red;
    std::vector<double> Values;            // NaN: null point (a gap)
    std::vector<QColor> PointColours;      // colour of each point; empty: Colour for all
    bool MarksVisible = false;             // value text at each point
    // Line look (line styles only).
    bool LineVisible = true;
    Qt::PenStyle PenStyle = Qt::SolidLine;
    int LineWidth = 1;
    bool MarkerVisible = false;
    TMarker Marker = TMarker::Cross;

    int Count() const { return int(Values.size()); }
    void Clear() { Values.clear(); PointColours.clear(); }
    void Add(double v) { Values.push_back(v); }
    void AddNull() { Values.push_back(NullValue); }
    QColor PointColour(int i) const
    {
        return i >= 0 && std::size_t(i) < PointColours.size() ? PointColours[std::size_t(i)] : Colour;
    }
};

struct TPieSlice {
    double Value = 0;                      // never negative, never null
    QString Label;
    QColor Colour;
};

// One axis as the options set it. Minimum and Maximum count only when the axis
// is not automatic and Minimum is below Maximum.
struct TAxis {
    bool Visible = true;
    bool Automatic = true;
    double Minimum = 0;
    double Maximum = 1000;
    QColor Colour = Qt::black;             // line, ticks, labels, title
    QColor GridColour = Qt::black;
    bool Grid = true;
    bool MinorTicks = true;
    QFont LabelsFont;
    QFont TitleFont;
    QString Title;
    int LabelsAngle = 0;                   // 0, 90 or 270
    int LabelsSeparation = 8;              // percent of a label's size between labels
    bool FixedRange() const { return !Automatic && Minimum < Maximum; }
};

struct TRange {
    double Lo = 0;
    double Hi = 1;
    double Size() const { return Hi - Lo; }
    friend bool operator==(const TRange&, const TRange&) = default;
};

// The three axes by where they are drawn.
enum class TAxisId : uint8_t { Left, Right, Bottom };

class TChartModel {
public:
    TChartModel() { Right.Visible = false; }

    // ---- Data --------------------------------------------------------------
    QStringList Labels;                    // one per point; lines separated by CR
    std::vector<TSeries> Series;           // the curves shown, in order
    std::vector<TPieSlice> Slices;         // the pie (kind Pie only)
    int PointCount() const;                // the longest curve

    // ---- Style -------------------------------------------------------------
    TKind Kind = TKind::Bar;
    bool Stairs = false;                   // step line or step area
    TMultiBar MultiBar = TMultiBar::Side;
    int BarWidthPercent = 70;              // of the slot (of the sub-slot side by side)
    bool View3D = true;
    int Depth3DPercent = 20;
    bool Walls3D = true;

    // ---- Look --------------------------------------------------------------
    QColor BackColour = Qt::white;
    QColor StandardColour = Qt::black;     // frame, walls' edges, legend text, title
    QStringList TitleLines;
    bool TitleVisible = false;
    QFont TitleFont;
    bool LegendVisible = false;
    QFont LegendFont;
    TAxis Left;
    TAxis Right;                           // hidden unless a second value axis is asked for
    TAxis Bottom;
    bool AxesVisible = true;
    // Margins in percent of the chart's width (left, right) and height.
    double MarginLeft = 3;
    double MarginTop = 4;
    double MarginRight = 3;
    double MarginBottom = 4;

    // ---- Where things go -----------------------------------------------------
    bool Horizontal() const { return Kind == TKind::HorizBar; }
    bool IsPie() const { return Kind == TKind::Pie; }
    // The axis the rows run along, and the one the values use.
    TAxisId KeyAxis() const { return Horizontal() ? TAxisId::Left : TAxisId::Bottom; }
    TAxisId ValueAxis() const { return Horizontal() ? TAxisId::Bottom : TAxisId::Left; }
    const TAxis& Axis(TAxisId id) const
    {
        return id == TAxisId::Left ? Left : id == TAxisId::Right ? Right : Bottom;
    }
    TAxis& Axis(TAxisId id) { return id == TAxisId::Left ? Left : id == TAxisId::Right ? Right : Bottom; }
    // 3-D rows: with bars behind each other, lines and areas each curve has a
    // row of its own in the depth; bars side by side or stacked share one.
    int ZRows() const;
    int ZRowOf(int series) const;
    bool Thinned(double pixelsPerPoint) const { return pixelsPerPoint < 1.0; }

    // ---- Ranges ----------------------------------------------------------------
    // The automatic range of the rows and of the values.
    TRange KeyAutoRange() const;
    TRange ValueAutoRange() const;
    // The range an axis has unzoomed: automatic, or fixed by the options (the
    // value axis by Left's settings, the right axis by Right's).
    TRange BaseRange(TAxisId axis) const;
    // The range an axis shows now.
    TRange ViewRange(TAxisId axis) const;

    // ---- Zoom and scroll ---------------------------------------------------------
    bool Zoomed() const { return zoomed_; }
    // Each axis keeps its centre and shows 100/percent of its range: 110
    // zooms in, 90 out.
    void ZoomPercent(double percent);
    // Back to the unzoomed ranges.
    void UndoZoom();
    // Shifts the axes of a direction by p percent of their range: the axis
    // gets minimum - d and maximum - d with d = -(maximum - minimum) * p / 100.
    void Scroll(bool horizontal, double percent);
    // Shows exactly these ranges of the bottom and left axes (the right
    // axis follows the left one in proportion).
    void ZoomTo(TRange bottom, TRange left);
    // Moves the bottom and left axes by these amounts in axis units.
    void Pan(double bottomDelta, double leftDelta);

    // Stacked sums: the value of series s at point i drawn from base to top.
    void StackedSpan(int series, int index, double& base, double& top) const;

private:
    void StartZoom();
    TRange& ZoomRange(TAxisId axis);
    bool zoomed_ = false;
    TRange zoomLeft_, zoomRight_, zoomBottom_;
};

// Points kept when a curve is drawn into fewer pixel columns than it has
// points: per column the first, the lowest, the highest and the last point,
// in index order, each once. Columns start at x0 and are pixelsPerPoint apart
// per index. Null points are kept only where a whole column is null (as the
// column's first index), so gaps wider than a column stay gaps.
std::vector<int> ThinIndices(const std::vector<double>& values, int first, int last,
                             double x0, double pixelsPerPoint);

} // namespace chart
