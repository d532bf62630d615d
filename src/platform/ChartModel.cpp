#include "platform/ChartModel.h"

#include <algorithm>

namespace chart {

int TChartModel::PointCount() const
{
    int n = 0;
    for (const TSeries& s : Series)
        n = std::max(n, s.Count());
    return n;
}

int TChartModel::ZRows() const
{
    if (!View3D || Kind == TKind::Pie || Series.empty())
        return 1;
    if ((Kind == TKind::Bar || Kind == TKind::HorizBar) && MultiBar != TMultiBar::None)
        return 1;
    return int(Series.size());
}

int TChartModel::ZRowOf(int series) const
{
    return ZRows() == 1 ? 0 : series;
}

void TChartModel::StackedSpan(int series, int index, double& base, double& top) const
{
    const TSeries& s = Series[std::size_t(series)];
    const double v = index < s.Count() ? s.Values[std::size_t(index)] : NullValue;
    if (IsNull(v)) {
        base = top = NullValue;
        return;
    }
    const bool stacked = (Kind == TKind::Bar || Kind == TKind::HorizBar) && MultiBar == TMultiBar::Stacked;
    base = 0;
    if (stacked) {
        // Positive values stack upwards, negative ones downwards, each from 0.
        for (int k = 0; k < series; ++k) {
            const TSeries& o = Series[std::size_t(k)];
            if (index >= o.Count())
                continue;
            const double w = o.Values[std::size_t(index)];
            if (IsNull(w))
                continue;
            if ((w >= 0) == (v >= 0))
                base += w;
        }
    }
    top = base + v;
}

TRange TChartModel::KeyAutoRange() const
{
    const int n = PointCount();
    if (n <= 0)
        return {0, 1};
    const bool bars = Kind == TKind::Bar || Kind == TKind::HorizBar;
    if (bars || n == 1)
        return {-0.5, n - 0.5};
    return {0, double(n - 1)};
}

TRange TChartModel::ValueAutoRange() const
{
    const bool bars = Kind == TKind::Bar || Kind == TKind::HorizBar;
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    const bool stacked = bars && MultiBar == TMultiBar::Stacked;
    if (stacked) {
        const int n = PointCount();
        for (int i = 0; i < n; ++i) {
            double up = 0, down = 0;
            bool any = false;
            for (const TSeries& s : Series) {
                if (i >= s.Count() || IsNull(s.Values[std::size_t(i)]))
                    continue;
                any = true;
                const double v = s.Values[std::size_t(i)];
                (v >= 0 ? up : down) += v;
            }
            if (any) {
                lo = std::min(lo, down);
                hi = std::max(hi, up);
            }
        }
    } else {
        for (const TSeries& s : Series)
            for (double v : s.Values)
                if (!IsNull(v)) {
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
    }
    if (lo > hi)
        return {0, 1};
    if (bars) {
        lo = std::min(lo, 0.0);
        hi = std::max(hi, 0.0);
    }
    if (lo == hi) {
        lo -= 1;
        hi += 1;
    }
    // A little room so that the highest bar or point does not touch the frame.
    const double pad = (hi - lo) * 0.04;
    if (!(bars && hi == 0))
        hi += pad;
    if (!(bars && lo == 0))
        lo -= pad;
    return {lo, hi};
}

TRange TChartModel::BaseRange(TAxisId axis) const
{
    if (axis == TAxisId::Right) {
        if (Right.FixedRange())
            return {Right.Minimum, Right.Maximum};
        return BaseRange(ValueAxis());
    }
    if (axis == KeyAxis())
        return KeyAutoRange();
    if (Left.FixedRange())
        return {Left.Minimum, Left.Maximum};
    return ValueAutoRange();
}

TRange TChartModel::ViewRange(TAxisId axis) const
{
    if (!zoomed_)
        return BaseRange(axis);
    switch (axis) {
    case TAxisId::Left: return zoomLeft_;
    case TAxisId::Right: return zoomRight_;
    case TAxisId::Bottom: return zoomBottom_;
    }
    return BaseRange(axis);
}

TRange& TChartModel::ZoomRange(TAxisId axis)
{
    switch (axis) {
    case TAxisId::Left: return zoomLeft_;
    case TAxisId::Right: return zoomRight_;
    case TAxisId::Bottom: break;
    }
    return zoomBottom_;
}

void TChartModel::StartZoom()
{
    if (zoomed_)
        return;
    zoomLeft_ = BaseRange(TAxisId::Left);
    zoomRight_ = BaseRange(TAxisId::Right);
    zoomBottom_ = BaseRange(TAxisId::Bottom);
    zoomed_ = true;
}

void TChartModel::ZoomPercent(double percent)
{
    if (percent <= 0)
        return;
    StartZoom();
    for (TAxisId id : {TAxisId::Left, TAxisId::Right, TAxisId::Bottom}) {
        TRange& r = ZoomRange(id);
        const double c = (r.Lo + r.Hi) / 2;
        const double h = r.Size() / 2 * 100.0 / percent;
        r = {c - h, c + h};
    }
}

void TChartModel::UndoZoom()
{
    zoomed_ = false;
}

void TChartModel::Scroll(bool horizontal, double percent)
{
    StartZoom();
    auto shift = [percent](TRange& r) {
        const double d = -(r.Hi - r.Lo) * percent / 100.0;
        r = {r.Lo - d, r.Hi - d};
    };
    if (horizontal) {
        shift(zoomBottom_);
    } else {
        shift(zoomLeft_);
        shift(zoomRight_);
    }
}

void TChartModel::ZoomTo(TRange bottom, TRange left)
{
    if (!(bottom.Lo < bottom.Hi) || !(left.Lo < left.Hi))
        return;
    StartZoom();
    const TRange oldLeft = zoomLeft_;
    zoomBottom_ = bottom;
    zoomLeft_ = left;
    if (oldLeft.Size() != 0) {
        const double scale = zoomRight_.Size() / oldLeft.Size();
        const double lo = zoomRight_.Lo + (left.Lo - oldLeft.Lo) * scale;
        zoomRight_ = {lo, lo + left.Size() * scale};
    }
}

void TChartModel::Pan(double bottomDelta, double leftDelta)
{
    StartZoom();
    zoomBottom_ = {zoomBottom_.Lo + bottomDelta, zoomBottom_.Hi + bottomDelta};
    const double scale = zoomLeft_.Size() != 0 ? zoomRight_.Size() / zoomLeft_.Size() : 1.0;
    zoomLeft_ = {zoomLeft_.Lo + leftDelta, zoomLeft_.Hi + leftDelta};
    zoomRight_ = {zoomRight_.Lo + leftDelta * scale, zoomRight_.Hi + leftDelta * scale};
}

std::vector<int> ThinIndices(const std::vector<double>& values, int first, int last, double x0,
                             double pixelsPerPoint)
{
    std::vector<int> out;
    first = std::max(first, 0);
    last = std::min(last, int(values.size()) - 1);
    if (first > last)
        return out;
    out.reserve(std::size_t(std::min(last - first + 1, 4 * (int((last - first + 1) * pixelsPerPoint) + 2))));
    int i = first;
    while (i <= last) {
        const long column = long(std::floor(x0 + (i - first) * pixelsPerPoint));
        int firstIdx = -1, lastIdx = -1, minIdx = -1, maxIdx = -1;
        const int columnStart = i;
        for (; i <= last && long(std::floor(x0 + (i - first) * pixelsPerPoint)) == column; ++i) {
            const double v = values[std::size_t(i)];
            if (IsNull(v))
                continue;
            if (firstIdx < 0)
                firstIdx = minIdx = maxIdx = i;
            else {
                if (v < values[std::size_t(minIdx)])
                    minIdx = i;
                if (v > values[std::size_t(maxIdx)])
                    maxIdx = i;
            }
            lastIdx = i;
        }
        if (firstIdx < 0) {
            out.push_back(columnStart); // a null column: the gap stays
            continue;
        }
        int picks[4] = {firstIdx, std::min(minIdx, maxIdx), std::max(minIdx, maxIdx), lastIdx};
        for (int p : picks)
            if (out.empty() || out.back() < p)
                out.push_back(p);
    }
    return out;
}

} // namespace chart
