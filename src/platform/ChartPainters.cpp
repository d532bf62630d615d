#include "platform/ChartPainters.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace chart {

// ---- Frame ---------------------------------------------------------------------------

double TChartFrame::KeyPx(double key) const
{
    const double size = Key.Size() != 0 ? Key.Size() : 1;
    const double t = (key - Key.Lo) / size;
    return Horizontal ? Plot.bottom() - t * Plot.height() : Plot.left() + t * Plot.width();
}

double TChartFrame::ValuePx(double value) const
{
    const double size = Value.Size() != 0 ? Value.Size() : 1;
    const double t = (value - Value.Lo) / size;
    return Horizontal ? Plot.left() + t * Plot.width() : Plot.bottom() - t * Plot.height();
}

QPointF TChartFrame::Point(double key, double value, double z) const
{
    const QPointF p = Horizontal ? QPointF(ValuePx(value), KeyPx(key)) : QPointF(KeyPx(key), ValuePx(value));
    return p + Back(z);
}

double TChartFrame::PixelsPerKey() const
{
    const double size = Key.Size() != 0 ? std::abs(Key.Size()) : 1;
    return (Horizontal ? Plot.height() : Plot.width()) / size;
}

double TChartFrame::KeyFromPx(double px) const
{
    const double extent = Horizontal ? Plot.height() : Plot.width();
    if (extent <= 0)
        return Key.Lo;
    const double t = Horizontal ? (Plot.bottom() - px) / extent : (px - Plot.left()) / extent;
    return Key.Lo + t * Key.Size();
}

double TChartFrame::ValueFromPx(double px) const
{
    const double extent = Horizontal ? Plot.width() : Plot.height();
    if (extent <= 0)
        return Value.Lo;
    const double t = Horizontal ? (px - Plot.left()) / extent : (Plot.bottom() - px) / extent;
    return Value.Lo + t * Value.Size();
}

double DepthPixels(const QRectF& area, int percent)
{
    percent = std::clamp(percent, 0, 100);
    return std::round(std::min(area.width(), area.height()) * percent / 400.0);
}

namespace {

// Rows visible in the frame, one beyond each side so that lines leave the plot.
void VisibleIndices(const TChartFrame& frame, int count, int& first, int& last)
{
    const double lo = std::min(frame.Key.Lo, frame.Key.Hi);
    const double hi = std::max(frame.Key.Lo, frame.Key.Hi);
    first = std::max(0, int(std::floor(lo)) - 1);
    last = std::min(count - 1, int(std::ceil(hi)) + 1);
}

QColor Shade(const QColor& c, int factor)
{
    return c.darker(factor);
}

// A curve laid into pixel columns along the row direction: for each column
// the extent of what is drawn across it in the value direction (pixels).
struct TColumns {
    long Start = 0;                        // first column (pixel)
    std::vector<double> Lo, Hi;            // NaN where nothing is drawn
    void Reset(long start, long count)
    {
        Start = start;
        Lo.assign(std::size_t(std::max(0L, count)), NullValue);
        Hi.assign(std::size_t(std::max(0L, count)), NullValue);
    }
    long Count() const { return long(Lo.size()); }
    void Add(long column, double a, double b)
    {
        const long k = column - Start;
        if (k < 0 || k >= Count())
            return;
        if (a > b)
            std::swap(a, b);
        double& lo = Lo[std::size_t(k)];
        double& hi = Hi[std::size_t(k)];
        if (IsNull(lo) || a < lo)
            lo = a;
        if (IsNull(hi) || b > hi)
            hi = b;
    }
};

// The row direction in device pixels runs from a to b (increasing); columns
// are counted along it.
struct TAxisSpan {
    long Start;
    long Count;
};

TAxisSpan ColumnSpan(const TChartFrame& frame, double extra)
{
    const double a = frame.Horizontal ? frame.Plot.top() : frame.Plot.left();
    const double b = frame.Horizontal ? frame.Plot.bottom() : frame.Plot.right();
    const long start = long(std::floor(a - extra)) - 1;
    const long end = long(std::ceil(b + extra)) + 1;
    return {start, end - start + 1};
}

// Adds the segment (u0, w0)-(u1, w1) (row-direction pixel u, value-direction
// pixel w) to the columns it crosses.
void AddSegment(TColumns& cols, double u0, double w0, double u1, double w1)
{
    if (u0 > u1) {
        std::swap(u0, u1);
        std::swap(w0, w1);
    }
    const long c0 = long(std::floor(u0));
    const long c1 = long(std::floor(u1));
    // Only the columns inside the span matter.
    const long from = std::max(c0, cols.Start);
    const long to = std::min(c1, cols.Start + cols.Count() - 1);
    const double du = u1 - u0;
    for (long c = from; c <= to; ++c) {
        const double a = std::max(u0, double(c));
        const double b = std::min(u1, double(c + 1));
        const double wa = du > 0 ? w0 + (w1 - w0) * (a - u0) / du : w0;
        const double wb = du > 0 ? w0 + (w1 - w0) * (b - u0) / du : w1;
        cols.Add(c, std::min({wa, wb, du > 0 ? wa : w1}), std::max({wa, wb, du > 0 ? wb : w0}));
    }
}

// The columns swept back from depth z0 to z1: every column interval moved by
// the oblique offset, and the union taken per column.
TColumns Sweep(const TColumns& in, const TChartFrame& frame, double z0, double z1)
{
    // Offset per unit depth in (row, value) pixel directions.
    const double du = frame.Horizontal ? -frame.DepthY : frame.DepthX;
    const double dw = frame.Horizontal ? frame.DepthX : -frame.DepthY;
    TColumns out;
    const long steps = std::max(1L, long(std::ceil(std::max(std::abs(du), std::abs(dw)) * (z1 - z0))));
    const long reach = long(std::ceil(std::abs(du) * z1)) + 1;
    out.Reset(in.Start - reach, in.Count() + 2 * reach);
    for (long j = 0; j <= steps; ++j) {
        const double t = z0 + (z1 - z0) * double(j) / double(steps);
        const long shift = long(std::lround(du * t));
        const double ws = dw * t;
        for (long k = 0; k < in.Count(); ++k) {
            const double lo = in.Lo[std::size_t(k)];
            if (IsNull(lo))
                continue;
            out.Add(in.Start + k + shift, lo + ws, in.Hi[std::size_t(k)] + ws);
        }
    }
    return out;
}

QPointF Dev(const TChartFrame& frame, double u, double w)
{
    return frame.Horizontal ? QPointF(w, u) : QPointF(u, w);
}

// Fills every run of neighbouring columns as one polygon.
void FillColumns(QPainter& painter, const TChartFrame& frame, const TColumns& cols, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    QPolygonF poly;
    std::vector<QPointF> bottom;
    auto flush = [&] {
        if (poly.isEmpty())
            return;
        for (auto it = bottom.rbegin(); it != bottom.rend(); ++it)
            poly << *it;
        painter.drawPolygon(poly);
        poly.clear();
        bottom.clear();
    };
    for (long k = 0; k < cols.Count(); ++k) {
        const double lo = cols.Lo[std::size_t(k)];
        if (IsNull(lo)) {
            flush();
            continue;
        }
        const double hi = cols.Hi[std::size_t(k)];
        const double u = double(cols.Start + k);
        // A column at least a pixel thick in the value direction, so that a
        // flat stretch still shows.
        const double a = lo;
        const double b = std::max(hi, lo + 1.0);
        poly << Dev(frame, u, a) << Dev(frame, u + 1, a);
        bottom.push_back(Dev(frame, u, b));
        bottom.push_back(Dev(frame, u + 1, b));
    }
    flush();
}

// Pixel along the row direction and the value direction of a row and value.
double UPx(const TChartFrame& f, double key) { return f.KeyPx(key); }
double WPx(const TChartFrame& f, double value) { return f.ValuePx(value); }

// Half width of a bar in row units, and its centre offset for series s.
void BarPlace(const TChartModel& model, int series, double& offset, double& half)
{
    const double width = std::clamp(model.BarWidthPercent, 1, 100) / 100.0;
    const int n = std::max<int>(1, int(model.Series.size()));
    if (model.MultiBar == TMultiBar::Side && n > 1) {
        const double sub = width / n;
        offset = -width / 2 + sub * (series + 0.5);
        half = sub / 2;
    } else {
        offset = 0;
        half = width / 2;
    }
}

void DrawBar3D(QPainter& painter, const QRectF& front, QPointF back, const QColor& colour, bool outline)
{
    const QPen pen = outline ? QPen(colour.darker(160), 1) : QPen(Qt::NoPen);
    if (back != QPointF()) {
        painter.setPen(pen);
        painter.setBrush(Shade(colour, 125));
        const QPointF tl = front.topLeft(), tr = front.topRight(), br = front.bottomRight();
        painter.drawPolygon(QPolygonF({tl, tr, tr + back, tl + back}));
        painter.setBrush(Shade(colour, 150));
        painter.drawPolygon(QPolygonF({tr, br, br + back, tr + back}));
    }
    painter.setPen(pen);
    painter.setBrush(colour);
    painter.drawRect(front);
}

void PaintBars(QPainter& painter, const TChartFrame& frame, const TChartModel& model)
{
    const int n = model.PointCount();
    if (n == 0)
        return;
    int first = 0, last = 0;
    VisibleIndices(frame, n, first, last);
    const double ppk = frame.PixelsPerKey();
    const int seriesCount = int(model.Series.size());
    const int rows = frame.ZRows;
    const TAxisSpan span = ColumnSpan(frame, 0);

    // Rows from the back to the front; in 2-D with bars behind each other the
    // first curve ends up in front.
    std::vector<int> order;
    for (int s = seriesCount - 1; s >= 0; --s)
        order.push_back(s);
    if (model.MultiBar != TMultiBar::None)
        std::reverse(order.begin(), order.end());

    double offset = 0, half = 0;
    BarPlace(model, 0, offset, half);
    const bool dense = 2 * half * ppk < 1.5;
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (dense) {
        // One column per pixel: the union of every bar in it.
        std::vector<TColumns> fronts;
        fronts.resize(std::size_t(seriesCount));
        for (int s : order) {
            TColumns& cols = fronts[std::size_t(s)];
            cols.Reset(span.Start, span.Count);
            double off = 0, h = 0;
            BarPlace(model, s, off, h);
            const int count = model.Series[std::size_t(s)].Count();
            const int lastS = std::min(last, count - 1);
            // Both mappings are linear: taken apart once, not per point.
            const double ku = UPx(frame, 0), kd = UPx(frame, 1) - ku;
            const double vw = WPx(frame, 0), vd = WPx(frame, 1) - vw;
            const bool stacked = model.MultiBar == TMultiBar::Stacked;
            const std::vector<double>& values = model.Series[std::size_t(s)].Values;
            const double w0Zero = vw;
            for (int i = first; i <= lastS; ++i) {
                double base = 0, top = values[std::size_t(i)];
                if (IsNull(top))
                    continue;
                if (stacked)
                    model.StackedSpan(s, i, base, top);
                const double u0 = ku + kd * (i + off - h);
                const double u1 = ku + kd * (i + off + h);
                const long c0 = long(std::floor(std::min(u0, u1)));
                const long c1 = std::max(c0, long(std::floor(std::max(u0, u1) - 1e-9)));
                const double w0 = stacked ? vw + vd * base : w0Zero;
                const double w1 = vw + vd * top;
                for (long c = c0; c <= c1; ++c)
                    cols.Add(c, w0, w1);
            }
        }
        if (frame.Is3D()) {
            const bool shared = rows == 1;
            // Shared row: every side first, then every front.
            for (int s : order) {
                const int row = model.ZRowOf(s);
                const double z0 = frame.RowFront(row), z1 = frame.RowBack(row);
                const QColor c = model.Series[std::size_t(s)].Colour;
                FillColumns(painter, frame, Sweep(fronts[std::size_t(s)], frame, z0, z1), Shade(c, 135));
                if (!shared) {
                    TColumns front = Sweep(fronts[std::size_t(s)], frame, z0, z0);
                    FillColumns(painter, frame, front, c);
                }
            }
            if (shared)
                for (int s : order)
                    FillColumns(painter, frame, Sweep(fronts[std::size_t(s)], frame, 0, 0),
                                model.Series[std::size_t(s)].Colour);
        } else {
            for (int s : order)
                FillColumns(painter, frame, fronts[std::size_t(s)], model.Series[std::size_t(s)].Colour);
        }
        return;
    }

    // Bars of their own: rows from the back, then slot by slot.
    for (int row = rows - 1; row >= 0; --row) {
        const double z0 = frame.RowFront(row), z1 = frame.RowBack(row);
        const QPointF back = frame.Back(z1) - frame.Back(z0);
        for (int i = first; i <= last; ++i)
            for (int s : order) {
                if (model.ZRowOf(s) != row)
                    continue;
                const QRectF r = BarRect(frame, model, s, i);
                if (r.isNull())
                    continue;
                DrawBar3D(painter, r.translated(frame.Back(z0)), frame.Is3D() ? back : QPointF(),
                          model.Series[std::size_t(s)].PointColour(i), true);
            }
    }
}

// The outline of a curve as (row pixel, value pixel) points, in runs split at
// null points; thinned to first/min/max/last per column when dense.
std::vector<std::vector<QPointF>> CurveRuns(const TChartFrame& frame, const TChartModel& model, int s)
{
    std::vector<std::vector<QPointF>> runs;
    const TSeries& series = model.Series[std::size_t(s)];
    int first = 0, last = 0;
    VisibleIndices(frame, series.Count(), first, last);
    if (first > last)
        return runs;
    const double ppk = frame.PixelsPerKey();
    std::vector<int> idx;
    if (ppk < 1.0) {
        idx = ThinIndices(series.Values, first, last, UPx(frame, first), frame.Horizontal ? -ppk : ppk);
    } else {
        idx.resize(std::size_t(last - first + 1));
        for (int i = first; i <= last; ++i)
            idx[std::size_t(i - first)] = i;
    }
    std::vector<QPointF> run;
    double prevW = 0;
    for (std::size_t k = 0; k < idx.size(); ++k) {
        const int i = idx[k];
        const double v = series.Values[std::size_t(i)];
        if (IsNull(v)) {
            if (!run.empty())
                runs.push_back(std::move(run));
            run.clear();
            continue;
        }
        const double u = UPx(frame, i);
        const double w = WPx(frame, v);
        if (model.Stairs && !run.empty())
            run.emplace_back(u, prevW);
        run.emplace_back(u, w);
        prevW = w;
    }
    if (!run.empty())
        runs.push_back(std::move(run));
    return runs;
}

TColumns RunColumns(const TChartFrame& frame, const std::vector<std::vector<QPointF>>& runs, double extra)
{
    const TAxisSpan span = ColumnSpan(frame, extra);
    TColumns cols;
    cols.Reset(span.Start, span.Count);
    for (const auto& run : runs) {
        if (run.size() == 1) {
            cols.Add(long(std::floor(run[0].x())), run[0].y(), run[0].y());
            continue;
        }
        for (std::size_t k = 1; k < run.size(); ++k)
            AddSegment(cols, run[k - 1].x(), run[k - 1].y(), run[k].x(), run[k].y());
    }
    return cols;
}

void PaintAreas(QPainter& painter, const TChartFrame& frame, const TChartModel& model)
{
    const int seriesCount = int(model.Series.size());
    const double baseW = WPx(frame, frame.Value.Lo);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int s = seriesCount - 1; s >= 0; --s) {
        const TSeries& series = model.Series[std::size_t(s)];
        const int row = model.ZRowOf(s);
        const double z0 = frame.RowFront(row), z1 = frame.RowBack(row);
        if (frame.PixelsPerKey() < 1.0) {
            // Dense: per pixel column the fill from the column's highest point
            // down to the base, and the band the curve takes in the column.
            const TAxisSpan span = ColumnSpan(frame, 0);
            TColumns fill, band;
            fill.Reset(span.Start, span.Count);
            band.Reset(span.Start, span.Count);
            int first = 0, last = 0;
            VisibleIndices(frame, series.Count(), first, last);
            for (int i = first; i <= last; ++i) {
                const double v = series.Values[std::size_t(i)];
                if (IsNull(v))
                    continue;
                const long c = long(std::floor(UPx(frame, i)));
                const double w = WPx(frame, v);
                fill.Add(c, w, baseW);
                band.Add(c, w, w);
            }
            if (frame.Is3D())
                FillColumns(painter, frame, Sweep(band, frame, z0, z1), Shade(series.Colour, 135));
            FillColumns(painter, frame, z0 > 0 ? Sweep(fill, frame, z0, z0) : fill, series.Colour);
            continue;
        }
        const auto runs = CurveRuns(frame, model, s);
        if (frame.Is3D()) {
            const TColumns band = RunColumns(frame, runs, 0);
            FillColumns(painter, frame, Sweep(band, frame, z0, z1), Shade(series.Colour, 135));
        }
        painter.setPen(QPen(series.Colour.darker(150), 1));
        painter.setBrush(series.Colour);
        const QPointF shift = frame.Back(z0);
        for (const auto& run : runs) {
            QPolygonF poly;
            poly.reserve(qsizetype(run.size() + 2));
            poly << Dev(frame, run.front().x(), baseW) + shift;
            for (const QPointF& p : run)
                poly << Dev(frame, p.x(), p.y()) + shift;
            poly << Dev(frame, run.back().x(), baseW) + shift;
            painter.drawPolygon(poly);
        }
    }
}

void PaintRibbons(QPainter& painter, const TChartFrame& frame, const TChartModel& model)
{
    const int seriesCount = int(model.Series.size());
    for (int s = seriesCount - 1; s >= 0; --s) {
        const TSeries& series = model.Series[std::size_t(s)];
        const int row = model.ZRowOf(s);
        const double z0 = frame.RowFront(row), z1 = frame.RowBack(row);
        const auto runs = CurveRuns(frame, model, s);
        if (series.LineVisible) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            FillColumns(painter, frame, Sweep(RunColumns(frame, runs, 0), frame, z0, z1), series.Colour);
        }
        // The front edge of the ribbon.
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(series.Colour.darker(140), 1));
        painter.setBrush(Qt::NoBrush);
        const QPointF shift = frame.Back(z0);
        for (const auto& run : runs) {
            QPolygonF line;
            line.reserve(qsizetype(run.size()));
            for (const QPointF& p : run)
                line << Dev(frame, p.x(), p.y()) + shift;
            painter.drawPolyline(line);
        }
    }
}

} // namespace

// ---- Markers and lines -------------------------------------------------------------

void DrawMarker(QPainter& painter, QPointF p, TMarker marker, double size, const QColor& colour)
{
    const double s = size;
    const QPen outline(Qt::black, 1);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(outline);
    painter.setBrush(colour);
    const double x = p.x(), y = p.y();
    switch (marker) {
    case TMarker::Rectangle:
        painter.drawRect(QRectF(x - s, y - s, 2 * s, 2 * s));
        break;
    case TMarker::Circle:
        painter.drawEllipse(p, s, s);
        break;
    case TMarker::Triangle:
        painter.drawPolygon(QPolygonF({QPointF(x, y - s), QPointF(x + s, y + s), QPointF(x - s, y + s)}));
        break;
    case TMarker::DownTriangle:
        painter.drawPolygon(QPolygonF({QPointF(x - s, y - s), QPointF(x + s, y - s), QPointF(x, y + s)}));
        break;
    case TMarker::LeftTriangle:
        painter.drawPolygon(QPolygonF({QPointF(x - s, y), QPointF(x + s, y - s), QPointF(x + s, y + s)}));
        break;
    case TMarker::RightTriangle:
        painter.drawPolygon(QPolygonF({QPointF(x + s, y), QPointF(x - s, y - s), QPointF(x - s, y + s)}));
        break;
    case TMarker::Cross: // an upright plus
        painter.setPen(QPen(colour, 1));
        painter.drawLine(QPointF(x - s, y), QPointF(x + s, y));
        painter.drawLine(QPointF(x, y - s), QPointF(x, y + s));
        break;
    case TMarker::DiagCross: // an x
        painter.setPen(QPen(colour, 1));
        painter.drawLine(QPointF(x - s, y - s), QPointF(x + s, y + s));
        painter.drawLine(QPointF(x - s, y + s), QPointF(x + s, y - s));
        break;
    case TMarker::Star: // plus and x together
        painter.setPen(QPen(colour, 1));
        painter.drawLine(QPointF(x - s, y), QPointF(x + s, y));
        painter.drawLine(QPointF(x, y - s), QPointF(x, y + s));
        painter.drawLine(QPointF(x - s, y - s), QPointF(x + s, y + s));
        painter.drawLine(QPointF(x - s, y + s), QPointF(x + s, y - s));
        break;
    case TMarker::Diamond:
        painter.drawPolygon(QPolygonF({QPointF(x, y - s), QPointF(x + s, y), QPointF(x, y + s), QPointF(x - s, y)}));
        break;
    case TMarker::SmallDot:
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(p, 1.0, 1.0);
        break;
    case TMarker::Nothing:
        break;
    }
    painter.restore();
}

Qt::PenStyle PenStyleOf(int penStyle)
{
    switch (penStyle) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

QPen CurvePen(const QColor& colour, int penStyle, int width)
{
    QPen pen(colour, std::clamp(width, 1, 3), PenStyleOf(penStyle));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void DrawLineSample(QPainter& painter, const QRect& rect, int entry, const QColor& colour)
{
    if (entry <= 0 || entry > 7)
        return;
    const int width = entry < 4 ? entry : 1;
    const int style = entry < 4 ? 0 : entry - 3;
    const int y = rect.top() + (rect.bottom() - rect.top()) / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(CurvePen(colour, style, width));
    painter.drawLine(QPoint(rect.left() + 2 + width, y), QPoint(rect.right() - 2 - width, y));
    painter.restore();
}

// ---- Walls and frame ------------------------------------------------------------------

void PaintWalls(QPainter& painter, const TChartFrame& frame, const TChartModel& model, const TTicks& ticks)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRectF& r = frame.Plot;
    const QColor edge = model.StandardColour;
    if (frame.Is3D() && model.Walls3D) {
        const QPointF b = frame.Back(1);
        painter.setPen(QPen(edge, 1));
        painter.setBrush(model.BackColour.darker(104));
        painter.drawRect(r.translated(b));
        painter.setBrush(model.BackColour.darker(112));
        painter.drawPolygon(QPolygonF({r.topLeft(), r.topLeft() + b, r.bottomLeft() + b, r.bottomLeft()}));
        painter.setBrush(model.BackColour.darker(122));
        painter.drawPolygon(QPolygonF({r.bottomLeft(), r.bottomRight(), r.bottomRight() + b, r.bottomLeft() + b}));
    }
    const TAxis& keyAxis = model.Axis(model.KeyAxis());
    const TAxis& valueAxis = model.Axis(model.ValueAxis());
    const bool depth = frame.Is3D();
    painter.setClipRect(r.united(r.translated(frame.Back(1))).adjusted(-1, -1, 1, 1), Qt::IntersectClip);
    if (valueAxis.Grid) {
        painter.setPen(QPen(valueAxis.GridColour, 1, Qt::DotLine));
        for (double v : ticks.Value) {
            if (v < std::min(frame.Value.Lo, frame.Value.Hi) || v > std::max(frame.Value.Lo, frame.Value.Hi))
                continue;
            if (depth)
                painter.drawLine(frame.Point(frame.Key.Lo, v, 0), frame.Point(frame.Key.Lo, v, 1));
            painter.drawLine(frame.Point(frame.Key.Lo, v, 1), frame.Point(frame.Key.Hi, v, 1));
        }
    }
    if (keyAxis.Grid) {
        painter.setPen(QPen(keyAxis.GridColour, 1, Qt::DotLine));
        for (double k : ticks.Key) {
            if (k < std::min(frame.Key.Lo, frame.Key.Hi) || k > std::max(frame.Key.Lo, frame.Key.Hi))
                continue;
            if (depth)
                painter.drawLine(frame.Point(k, frame.Value.Lo, 0), frame.Point(k, frame.Value.Lo, 1));
            painter.drawLine(frame.Point(k, frame.Value.Lo, 1), frame.Point(k, frame.Value.Hi, 1));
        }
    }
    painter.restore();
}

void PaintPlotFrame(QPainter& painter, const TChartFrame& frame, const TChartModel& model)
{
    if (frame.Is3D() && model.Walls3D)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(model.StandardColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.Plot.translated(frame.Back(1)));
    painter.restore();
}

// ---- Curves ---------------------------------------------------------------------------

void PaintSeries(QPainter& painter, const TChartFrame& frame, const TChartModel& model)
{
    if (model.Series.empty() || frame.Plot.width() <= 0 || frame.Plot.height() <= 0)
        return;
    painter.save();
    painter.setClipRect(frame.Plot.united(frame.Plot.translated(frame.Back(1))), Qt::IntersectClip);
    switch (model.Kind) {
    case TKind::Bar:
    case TKind::HorizBar:
        PaintBars(painter, frame, model);
        break;
    case TKind::Area:
        PaintAreas(painter, frame, model);
        break;
    case TKind::Line:
        if (frame.Is3D())
            PaintRibbons(painter, frame, model);
        break;
    case TKind::Pie:
        break;
    }
    painter.restore();
}

void PaintMarkers(QPainter& painter, const TChartFrame& frame, const TChartModel& model)
{
    if (model.Kind != TKind::Line)
        return;
    painter.save();
    painter.setClipRect(frame.Plot.united(frame.Plot.translated(frame.Back(1))), Qt::IntersectClip);
    for (int s = int(model.Series.size()) - 1; s >= 0; --s) {
        const TSeries& series = model.Series[std::size_t(s)];
        if (!series.MarkerVisible || series.Marker == TMarker::Nothing)
            continue;
        const double z = frame.RowFront(model.ZRowOf(s));
        int first = 0, last = 0;
        VisibleIndices(frame, series.Count(), first, last);
        if (first > last)
            continue;
        std::vector<int> idx;
        const double ppk = frame.PixelsPerKey();
        if (ppk < 1.0) {
            idx = ThinIndices(series.Values, first, last, UPx(frame, first), frame.Horizontal ? -ppk : ppk);
        } else {
            for (int i = first; i <= last; ++i)
                idx.push_back(i);
        }
        for (int i : idx) {
            const double v = series.Values[std::size_t(i)];
            if (!IsNull(v))
                DrawMarker(painter, frame.Point(i, v, z), series.Marker, 4, series.PointColour(i));
        }
    }
    painter.restore();
}

namespace {
QString MarkText(double v)
{
    // Up to three decimals, in the user's notation.
    QString text = QLocale().toString(v, 'f', 3);
    const QChar point = QLocale().decimalPoint().at(0);
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(1);
    }
    return text;
}

void DrawMarkBox(QPainter& painter, const QRectF& box, const QString& text, const QPointF& anchor,
                 const QPointF& boxFoot, const QColor& colour)
{
    painter.setPen(QPen(colour, 1));
    painter.drawLine(anchor, boxFoot);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(255, 255, 225));
    painter.drawRect(box);
    painter.drawText(box, Qt::AlignCenter, text);
}
} // namespace

void PaintMarks(QPainter& painter, const TChartFrame& frame, const TChartModel& model, const QFont& font)
{
    if (model.Kind == TKind::Pie)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font);
    const QFontMetricsF fm(font, painter.device());
    const double lineHeight = fm.height();
    const double arrow = 6;
    for (int s = 0; s < int(model.Series.size()); ++s) {
        const TSeries& series = model.Series[std::size_t(s)];
        if (!series.MarksVisible)
            continue;
        const bool bars = model.Kind == TKind::Bar || model.Kind == TKind::HorizBar;
        double offset = 0, half = 0;
        if (bars)
            BarPlace(model, s, offset, half);
        const double z = frame.RowFront(model.ZRowOf(s));
        int first = 0, last = 0;
        VisibleIndices(frame, series.Count(), first, last);
        QRectF previous;
        double nextFree = -1e300;          // row pixel where the next mark may start
        const double dir = frame.Horizontal ? -1 : 1;
        for (int i = first; i <= last; ++i) {
            const double v = series.Values[std::size_t(i)];
            if (IsNull(v))
                continue;
            const double u = dir * UPx(frame, i + offset);
            if (u < nextFree)
                continue;                  // tested before any text is measured
            double base = 0, top = v;
            if (bars)
                model.StackedSpan(s, i, base, top);
            QPointF anchor = frame.Point(i + offset, top, z);
            if (bars && frame.Is3D())
                anchor += (frame.Back(frame.RowBack(model.ZRowOf(s))) - frame.Back(z)) / 2;
            const QString text = MarkText(v);
            const double w = fm.horizontalAdvance(text) + 4;
            const double h = lineHeight + 2;
            QRectF box;
            QPointF foot;
            if (frame.Horizontal) {
                box = QRectF(anchor.x() + arrow, anchor.y() - h / 2, w, h);
                foot = QPointF(box.left(), anchor.y());
            } else {
                box = QRectF(anchor.x() - w / 2, anchor.y() - arrow - h, w, h);
                foot = QPointF(anchor.x(), box.bottom());
            }
            if (!previous.isNull() && box.intersects(previous))
                continue;
            DrawMarkBox(painter, box, text, anchor, foot, series.Colour);
            previous = box;
            // A point whose centre lies within this box cannot get a mark.
            nextFree = frame.Horizontal ? -box.top() : box.right();
        }
    }
    painter.restore();
}

// ---- Pie --------------------------------------------------------------------------------

QRectF PieRect(const QRectF& area, const TChartModel& model)
{
    const double side = std::max(0.0, std::min(area.width(), area.height()) * 0.8);
    QRectF r(0, 0, side, model.View3D ? side * 0.6 : side);
    r.moveCenter(area.center());
    return r;
}

namespace {
double PieTotal(const TChartModel& model)
{
    double total = 0;
    for (const TPieSlice& s : model.Slices)
        total += std::max(0.0, IsNull(s.Value) ? 0.0 : s.Value);
    return total;
}

QPointF EllipsePoint(const QRectF& r, double degrees)
{
    const double a = degrees * M_PI / 180.0;
    return {r.center().x() + r.width() / 2 * std::cos(a), r.center().y() - r.height() / 2 * std::sin(a)};
}
} // namespace

void PaintPie(QPainter& painter, const QRectF& bounds, const TChartModel& model, const QFont& font)
{
    const double total = PieTotal(model);
    if (total <= 0 || bounds.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double depth = model.View3D ? std::max(2.0, bounds.height() * std::clamp(model.Depth3DPercent, 0, 100) / 100.0) : 0;
    // Slices run counter-clockwise from three o'clock.
    std::vector<double> start, sweep;
    double angle = 0;
    for (const TPieSlice& s : model.Slices) {
        const double v = std::max(0.0, IsNull(s.Value) ? 0.0 : s.Value);
        const double a = v / total * 360.0;
        start.push_back(angle);
        sweep.push_back(a);
        angle += a;
    }
    if (depth > 0) {
        // The rim: the part of each slice's arc on the front half (180..360).
        for (std::size_t k = 0; k < model.Slices.size(); ++k) {
            const double a0 = std::max(start[k], 180.0);
            const double a1 = std::min(start[k] + sweep[k], 360.0);
            if (a1 <= a0)
                continue;
            QPolygonF rim;
            const int steps = std::max(2, int((a1 - a0) / 3));
            for (int j = 0; j <= steps; ++j)
                rim << EllipsePoint(bounds, a0 + (a1 - a0) * j / steps);
            for (int j = steps; j >= 0; --j)
                rim << EllipsePoint(bounds, a0 + (a1 - a0) * j / steps) + QPointF(0, depth);
            painter.setPen(QPen(model.Slices[k].Colour.darker(170), 1));
            painter.setBrush(model.Slices[k].Colour.darker(140));
            painter.drawPolygon(rim);
        }
    }
    for (std::size_t k = 0; k < model.Slices.size(); ++k) {
        if (sweep[k] <= 0)
            continue;
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(model.Slices[k].Colour);
        painter.drawPie(bounds, int(std::lround(start[k] * 16)), int(std::lround(sweep[k] * 16)));
    }
    // Value marks around the pie, each left out when it would overlap the last.
    if (!model.Series.empty() && model.Series.front().MarksVisible) {
        painter.setFont(font);
        const QFontMetricsF fm(font, painter.device());
        QRectF previous;
        for (std::size_t k = 0; k < model.Slices.size(); ++k) {
            if (sweep[k] <= 0)
                continue;
            const double mid = start[k] + sweep[k] / 2;
            const QPointF edge = EllipsePoint(bounds, mid);
            const QPointF out = EllipsePoint(bounds.adjusted(-14, -14, 14, 14), mid);
            const QString text = MarkText(model.Slices[k].Value);
            const double w = fm.horizontalAdvance(text) + 4, h = fm.height() + 2;
            QRectF box(0, 0, w, h);
            box.moveCenter(out + QPointF(std::cos(mid * M_PI / 180) * w / 2, -std::sin(mid * M_PI / 180) * h / 2));
            if (!previous.isNull() && box.intersects(previous))
                continue;
            DrawMarkBox(painter, box, text, edge, out, model.Slices[k].Colour);
            previous = box;
        }
    }
    painter.restore();
}

// ---- Hit testing ------------------------------------------------------------------------

QRectF BarRect(const TChartFrame& frame, const TChartModel& model, int series, int index)
{
    double base, top;
    model.StackedSpan(series, index, base, top);
    if (IsNull(top))
        return {};
    double offset = 0, half = 0;
    BarPlace(model, series, offset, half);
    const QPointF a = frame.Point(index + offset - half, base);
    const QPointF b = frame.Point(index + offset + half, top);
    QRectF r = QRectF(a, b).normalized();
    // Zero-height bars still get one pixel.
    if (r.height() < 1)
        r.setHeight(1);
    if (r.width() < 1)
        r.setWidth(1);
    return r;
}

namespace {
double SegmentDistance(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double len2 = d.x() * d.x() + d.y() * d.y();
    double t = len2 > 0 ? ((p.x() - a.x()) * d.x() + (p.y() - a.y()) * d.y()) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF q = a + d * t - p;
    return std::sqrt(q.x() * q.x() + q.y() * q.y());
}

THit HitBars(const TChartModel& model, const TChartFrame& frame, QPointF p)
{
    const int rows = frame.ZRows;
    const double ppk = frame.PixelsPerKey();
    const double reachKeys = std::max(1.0, (std::abs(frame.DepthX) + std::abs(frame.DepthY)) / std::max(ppk, 1e-9) + 1);
    // Front rows first; within a row the curve drawn last is on top.
    for (int row = 0; row < rows; ++row) {
        const double z0 = frame.RowFront(row), z1 = frame.RowBack(row);
        for (int s = int(model.Series.size()) - 1; s >= 0; --s) {
            const int ss = model.MultiBar == TMultiBar::None ? int(model.Series.size()) - 1 - s : s;
            if (model.ZRowOf(ss) != row)
                continue;
            const double k = frame.KeyFromPx(frame.Horizontal ? p.y() : p.x());
            const int lo = std::max(0, int(std::floor(k - reachKeys)));
            const int hi = std::min(model.Series[std::size_t(ss)].Count() - 1, int(std::ceil(k + reachKeys)));
            int best = -1;
            double bestDist = 1e300;
            for (int i = lo; i <= hi; ++i) {
                const QRectF r = BarRect(frame, model, ss, i);
                if (r.isNull())
                    continue;
                bool inside = false;
                for (int j = 0; j <= 4 && !inside; ++j) {
                    const double z = z0 + (z1 - z0) * j / 4.0;
                    inside = r.translated(frame.Back(z)).adjusted(-1, -1, 1, 1).contains(p);
                    if (!frame.Is3D())
                        break;
                }
                if (inside) {
                    const double d = std::abs(k - i);
                    if (d < bestDist) {
                        bestDist = d;
                        best = i;
                    }
                }
            }
            if (best >= 0)
                return {THitPart::Series, ss, best};
        }
    }
    return {};
}

THit HitLines(const TChartModel& model, const TChartFrame& frame, QPointF p, bool areas)
{
    const double ppk = std::max(frame.PixelsPerKey(), 1e-9);
    for (int s = 0; s < int(model.Series.size()); ++s) {
        const TSeries& series = model.Series[std::size_t(s)];
        const int row = model.ZRowOf(s);
        const double z0 = frame.RowFront(row), z1 = frame.RowBack(row);
        const int steps = frame.Is3D() ? 6 : 0;
        for (int j = 0; j <= steps; ++j) {
            const double z = steps ? z0 + (z1 - z0) * j / steps : 0;
            const QPointF q = p - frame.Back(z);
            const double k = frame.KeyFromPx(frame.Horizontal ? q.y() : q.x());
            const double reach = 5.0 / ppk + 1;
            const int lo = std::max(0, int(std::floor(k - reach)));
            const int hi = std::min(series.Count() - 1, int(std::ceil(k + reach)));
            int best = -1;
            double bestDist = 4.5;
            for (int i = lo; i <= hi; ++i) {
                const double v = series.Values[std::size_t(i)];
                if (IsNull(v))
                    continue;
                const QPointF a = frame.Point(i, v);
                double d = std::hypot(q.x() - a.x(), q.y() - a.y());
                if (i + 1 < series.Count() && !IsNull(series.Values[std::size_t(i + 1)])) {
                    const double v1 = series.Values[std::size_t(i + 1)];
                    const QPointF b = frame.Point(i + 1, v1);
                    if (model.Stairs) {
                        const QPointF c = frame.Point(i + 1, v);
                        d = std::min({d, SegmentDistance(q, a, c), SegmentDistance(q, c, b)});
                    } else {
                        d = std::min(d, SegmentDistance(q, a, b));
                    }
                    if (areas) {
                        // Inside the filled part below the line.
                        const double t = (k - i);
                        if (t >= 0 && t <= 1) {
                            const double vv = model.Stairs ? v : v + (v1 - v) * t;
                            const double val = frame.ValueFromPx(frame.Horizontal ? q.x() : q.y());
                            if (val <= vv && val >= frame.Value.Lo)
                                d = 0;
                        }
                    }
                }
                if (d < bestDist) {
                    bestDist = d;
                    // The nearer of the segment's two points.
                    best = i;
                    if (i + 1 <= hi && !IsNull(series.Values[std::size_t(i + 1)]) && k - i > 0.5)
                        best = i + 1;
                }
            }
            if (best >= 0)
                return {THitPart::Series, s, best};
        }
    }
    return {};
}

THit HitPie(const TChartModel& model, const QRectF& pie, QPointF p)
{
    if (pie.isEmpty())
        return {};
    const double rx = pie.width() / 2, ry = pie.height() / 2;
    const double dx = (p.x() - pie.center().x()) / rx;
    const double dy = -(p.y() - pie.center().y()) / ry;
    if (dx * dx + dy * dy > 1)
        return {};
    double a = std::atan2(dy, dx) * 180 / M_PI;
    if (a < 0)
        a += 360;
    const double total = PieTotal(model);
    double start = 0;
    for (std::size_t k = 0; k < model.Slices.size(); ++k) {
        const double v = std::max(0.0, IsNull(model.Slices[k].Value) ? 0.0 : model.Slices[k].Value);
        const double sweep = total > 0 ? v / total * 360 : 0;
        if (sweep > 0 && a >= start && a < start + sweep)
            return {THitPart::Series, 0, int(k)};
        start += sweep;
    }
    return {};
}
} // namespace

THit HitTest(const TChartModel& model, const TChartGeometry& g, QPointF p)
{
    THit hit;
    if (model.Kind == TKind::Pie) {
        hit = HitPie(model, g.Pie, p);
    } else if (!model.Series.empty()) {
        switch (model.Kind) {
        case TKind::Bar:
        case TKind::HorizBar: hit = HitBars(model, g.Frame, p); break;
        case TKind::Area: hit = HitLines(model, g.Frame, p, true); break;
        case TKind::Line: hit = HitLines(model, g.Frame, p, false); break;
        case TKind::Pie: break;
        }
    }
    if (hit.Part != THitPart::None)
        return hit;
    if (!g.Title.isEmpty() && g.Title.contains(p))
        return {THitPart::Title};
    if (!g.Legend.isEmpty() && g.Legend.contains(p))
        return {THitPart::Legend};
    if (!g.LeftAxis.isEmpty() && g.LeftAxis.contains(p))
        return {THitPart::LeftAxis};
    if (!g.RightAxis.isEmpty() && g.RightAxis.contains(p))
        return {THitPart::RightAxis};
    if (!g.BottomAxis.isEmpty() && g.BottomAxis.contains(p))
        return {THitPart::BottomAxis};
    const QRectF plot = g.Frame.Plot.united(g.Frame.Plot.translated(g.Frame.Back(1)));
    if (model.Kind != TKind::Pie && plot.contains(p))
        return {THitPart::Plot};
    return {};
}

} // namespace chart
