#include "reports/RulerLogic.h"

#include <algorithm>
#include <cstdlib>

namespace reports {

int32_t TRulerGeometry::Indent(int id) const
{
    switch (id) {
    case idFirst: return indentFirst_;
    case idLeft:
    case idBoth: return indentLeft_;
    case idRight: return indentRight_;
    default: return 0;
    }
}

bool TRulerGeometry::SetIndentFirst(int32_t v)
{
    if (v == indentFirst_ || v < 0 || v >= Width - 4 || indentRight_ - v <= MinIndentDist)
        return false;
    indentFirst_ = v;
    return true;
}

bool TRulerGeometry::SetIndentLeft(int32_t v)
{
    if (v == indentLeft_ || v < 0 || v >= Width - 4 || indentRight_ - v <= MinIndentDist)
        return false;
    indentLeft_ = v;
    return true;
}

bool TRulerGeometry::SetIndentRight(int32_t v)
{
    if (v == indentRight_ || v < 0 || v >= Width - 4 || v - indentLeft_ <= MinIndentDist
        || v - indentFirst_ <= MinIndentDist)
        return false;
    indentRight_ = v;
    return true;
}

bool TRulerGeometry::SetIndentBoth(int32_t v)
{
    if (v == indentLeft_)
        return false;
    const int32_t first = indentFirst_ + (v - indentLeft_);
    // Both positions must pass their own rule; checked before anything moves.
    auto fits = [this](int32_t p) { return p >= 0 && p < Width - 4 && indentRight_ - p > MinIndentDist; };
    if (!fits(v) || !fits(first))
        return false;
    indentLeft_ = v;
    indentFirst_ = first;
    return true;
}

bool TRulerGeometry::SetIndent(int id, int32_t v)
{
    switch (id) {
    case idFirst: return SetIndentFirst(v);
    case idLeft: return SetIndentLeft(v);
    case idRight: return SetIndentRight(v);
    case idBoth: return SetIndentBoth(v);
    default: return false;
    }
}

bool TRulerGeometry::SetMarginLeft(int32_t v)
{
    if (v == marginLeft_ || v < 0 || v > Width - marginRight_ - BorderRight - BorderLeft)
        return false;
    const int32_t delta = v - marginLeft_;
    marginLeft_ = v;
    indentFirst_ += delta;
    indentLeft_ += delta;
    return true;
}

bool TRulerGeometry::SetMarginRight(int32_t v)
{
    if (v == marginRight_ || v < 0 || v > Width - marginLeft_ - BorderLeft - BorderRight)
        return false;
    const int32_t delta = v - marginRight_;
    marginRight_ = v;
    indentRight_ -= delta;
    return true;
}

bool TRulerGeometry::SetMargin(int id, int32_t v)
{
    return id == midLeft ? SetMarginLeft(v) : id == midRight ? SetMarginRight(v) : false;
}

void TRulerGeometry::PlaceIndents(int32_t first, int32_t left, int32_t right)
{
    indentFirst_ = first;
    indentLeft_ = left;
    indentRight_ = right;
}

int TRulerGeometry::FirstMarkerTop() const
{
    return std::clamp(BorderUp - 3, 0, std::max(0, Height - RulerMarkerHeight));
}

int TRulerGeometry::LeftMarkerTop() const
{
    return std::clamp(Height - BorderDown - RulerMarkerHeight, 0, std::max(0, Height - 13));
}

int TRulerGeometry::MarkerLeft(int id) const
{
    return Indent(id);
}

int TRulerGeometry::MarkerTop(int id) const
{
    switch (id) {
    case idFirst: return FirstMarkerTop();
    case idBoth: return BoxTop();
    default: return LeftMarkerTop();
    }
}

int TRulerGeometry::MarkerAt(int x, int y) const
{
    if (!ShowIndents)
        return -1;
    for (int id : {int(idBoth), int(idFirst), int(idLeft), int(idRight)}) {
        const int left = MarkerLeft(id);
        const int top = MarkerTop(id);
        if (x >= left && x < left + RulerMarkerWidth && y >= top && y < top + RulerMarkerHeight)
            return id;
    }
    return -1;
}

int TRulerGeometry::MarginAt(int x) const
{
    if (!ShowMarginHandlers)
        return -1;
    if (std::abs(x - LeftBoundary()) <= 2)
        return midLeft;
    if (std::abs(x - RightBoundary()) <= 2)
        return midRight;
    return -1;
}

std::vector<TRulerMark> TRulerGeometry::ScaleMarks() const
{
    std::vector<TRulerMark> marks;
    const int u = TabDist;
    if (u <= 0)
        return marks;
    for (int x = BorderLeft; x <= Width - BorderRight - 1; ++x) {
        const int d = std::abs(x - BorderLeft - marginLeft_);
        if (d % (4 * u) == 0) {
            if (ShowNumbers) {
                const int n = (d / (4 * u)) * Factor;
                marks.push_back({x, TRulerMark::Number, 0, n == 0 ? QString() : QString::number(n)});
            } else if (ShowLargeLines) {
                marks.push_back({x, TRulerMark::LargeTick, 5, QString()});
            }
        }
        if (ShowLargeLines && d % (4 * u) == 2 * u)
            marks.push_back({x, TRulerMark::MidTick, 5, QString()});
        if (ShowSmallLines && d % (2 * u) == u)
            marks.push_back({x, TRulerMark::SmallTick, 2, QString()});
    }
    return marks;
}

int32_t SnapDragPosition(int32_t startLeft, int pressX, int mouseX, uint8_t rulerTab)
{
    const int32_t tab = rulerTab == 0 ? 1 : rulerTab;
    return ((startLeft + mouseX - pressX) / tab) * tab;
}

} // namespace reports
