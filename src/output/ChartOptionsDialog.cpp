#include "output/ChartOptionsDialog.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

namespace chartoptions {

int LineEntryOf(const TCurveStyle& curve)
{
    if (!curve.LineVisible || curve.PenStyle > 4 || curve.LineWidth < 1 || curve.LineWidth > 3)
        return 0;
    return curve.PenStyle == 0 ? curve.LineWidth : 3 + curve.PenStyle;
}

void StoreLineEntry(TCurveStyle& curve, int entry)
{
    curve.LineVisible = entry > 0;
    if (entry <= 0)
        return;
    curve.LineWidth = uint8_t(entry < 4 ? entry : 1);
    curve.PenStyle = uint8_t(entry >= 4 && entry <= 7 ? entry - 3 : 0);
}

int MarkerEntryOf(const TCurveStyle& curve)
{
    return curve.MarkerVisible ? curve.MarkerStyle + 1 : 0;
}

void StoreMarkerEntry(TCurveStyle& curve, int entry)
{
    curve.MarkerVisible = entry > 0;
    if (entry > 0)
        curve.MarkerStyle = uint8_t(entry - 1);
}

int LineEntryWidth(int entry)
{
    return entry >= 1 && entry < 4 ? entry : 1;
}

int LineEntryPenStyle(int entry)
{
    return entry >= 4 && entry <= 7 ? entry - 3 : 0;
}

Qt::PenStyle QtPenStyle(int penStyle)
{
    switch (penStyle) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

void DrawLineEntry(QPainter& painter, const QRect& rect, int entry, bool selected)
{
    if (entry < 1 || entry >= LineEntryCount)
        return;
    const int width = LineEntryWidth(entry);
    // Rectangles count their right and bottom edges outside, as the window
    // system's do.
    const int left = rect.left();
    const int right = rect.left() + rect.width();
    const int top = rect.top();
    const int bottom = rect.top() + rect.height();
    const int y = top + (bottom - top) / 2;
    QPen pen(selected ? Qt::white : Qt::black, width, QtPenStyle(LineEntryPenStyle(entry)), Qt::FlatCap);
    painter.save();
    painter.setPen(pen);
    painter.drawLine(QPoint(left + 2 + width, y), QPoint(right - 2 - width, y));
    painter.restore();
}

void DrawMarkerEntry(QPainter& painter, const QRect& rect, int entry, bool selected,
                     const TDrawMarkerShape& drawShape)
{
    if (entry < 1 || entry >= MarkerEntryCount || !drawShape)
        return;
    // Three shapes and two blanks of half a shape must fit the entry.
    const double half = std::clamp(std::min((rect.height() - 4) / 2.0 - 2.0, (rect.width() - 4) / 8.0), 2.0, 5.0);
    const double top = rect.top() + 2;
    double x = rect.left() + 2;
    const QColor colour = selected ? Qt::white : Qt::black;
    for (int i = 0; i < 3; ++i) {
        drawShape(painter, QPointF(x + half, top + half), entry - 1, half, colour);
        x += 3 * half;   // the shape and a blank of half its width
    }
}

TDialogState LoadDialogState(const TChartOptions& o)
{
    TDialogState s;
    for (int i = 0; i < ChartCurveCount; ++i) {
        s.LineEntry[std::size_t(i)] = LineEntryOf(o.Curves[std::size_t(i)]);
        s.MarkerEntry[std::size_t(i)] = MarkerEntryOf(o.Curves[std::size_t(i)]);
    }
    s.Behind = o.BarLayout == 0;
    s.Stacked = o.BarLayout == 2;
    s.SideBySide = !s.Behind && !s.Stacked;
    s.PrintLandscape = (o.Flags & ChartFlagPrintLandscape) != 0;
    s.AxesColoured = (o.Flags & ChartFlagAxesLikeSeries) != 0;
    // The track bar cannot leave 0..90.
    s.Gap = std::clamp(100 - int(o.BarWidthPercent), 0, 90);
    s.LeftAuto = o.LeftAxisAuto;
    s.LeftMin = o.LeftAxisMin;
    s.LeftMax = o.LeftAxisMax;
    s.Axis2 = (o.AxisFlags & AxisFlagSecondAxis) != 0;
    s.Axis3 = (o.AxisFlags & AxisFlagThirdAxis) != 0;
    s.RightAuto = o.RightAxisAuto;
    s.RightMin = o.RightAxisMin;
    s.RightMax = o.RightAxisMax;
    return s;
}

void StoreDialogState(const TDialogState& s, TChartOptions& o)
{
    for (int i = 0; i < ChartCurveCount; ++i) {
        StoreLineEntry(o.Curves[std::size_t(i)], s.LineEntry[std::size_t(i)]);
        StoreMarkerEntry(o.Curves[std::size_t(i)], s.MarkerEntry[std::size_t(i)]);
    }
    o.BarLayout = s.Behind ? 0 : s.Stacked ? 2 : 1;
    uint8_t flags = uint8_t(o.Flags & ~(ChartFlagPrintLandscape | ChartFlagAxesLikeSeries));
    if (s.PrintLandscape)
        flags |= ChartFlagPrintLandscape;
    if (s.AxesColoured)
        flags |= ChartFlagAxesLikeSeries;
    o.Flags = flags;
    o.BarWidthPercent = uint8_t(100 - std::clamp(s.Gap, 0, 90));
    o.LeftAxisAuto = s.LeftAuto;
    o.LeftAxisMin = s.LeftMin;
    o.LeftAxisMax = s.LeftMax;
    o.AxisFlags = uint8_t((s.Axis2 ? AxisFlagSecondAxis : 0) | (s.Axis3 ? AxisFlagThirdAxis : 0));
    o.RightAxisAuto = s.RightAuto;
    o.RightAxisMin = s.RightMin;
    o.RightAxisMax = s.RightMax;
}

QString GapText(int gap)
{
    return QString::number(gap) + QStringLiteral(" %");
}

const std::array<double, ChartCurveCount> DemoValues{42, 56, 33, 56, 67, 90, 83, 73, 89, 38, 45, 29};

QString DemoLabel(int index)
{
    return QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

TColourPick ColourPickFor(TDemoPart part, int bar, const QString& colourCaption,
                          const QString& axesCaption, const QString& backgroundCaption)
{
    TColourPick pick;
    if (part == TDemoPart::Bar && bar >= 0 && bar < ChartCurveCount) {
        pick.ColourIndex = ColourFirstCurve + bar;
        pick.Title = colourCaption + QLatin1Char(' ') + QString::number(bar + 1);
    } else if (part == TDemoPart::Title || part == TDemoPart::LeftAxis || part == TDemoPart::BottomAxis) {
        pick.ColourIndex = ColourStandard;
        pick.Title = axesCaption;
    } else {
        pick.ColourIndex = ColourBackground;
        pick.Title = backgroundCaption;
    }
    pick.Title = pick.Title.left(128);
    return pick;
}

} // namespace chartoptions
