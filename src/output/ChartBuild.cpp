#include "output/ChartBuild.h"

#include "base/ZT_Tools.h"
#include "platform/ChartPainters.h"
#include "platform/StringGrid.h"

#include <algorithm>
#include <cmath>

using namespace chart;

TChartBuilder::TChartBuilder()
{
    TChartOptions defaults;
    DefaultChartOptions(defaults);
    LoadOptionCopies(defaults);
    LabelColumnUsed.fill(true);
    LabelLines = 0;
    LabelRotation = 0;
}

void TChartBuilder::ClearPointLabels()
{
    for (QString& s : PointLabels)
        s.clear();
}

void TChartBuilder::LoadOptionCopies(const TChartOptions& o)
{
    LabelRotation = o.LabelRotation;
    LeftAxisAuto = o.LeftAxisAuto;
    LeftAxisMin = o.LeftAxisMin;
    LeftAxisMax = o.LeftAxisMax;
    AxisFlags = o.AxisFlags;
    RightAxisAuto = o.RightAxisAuto;
    RightAxisMin = o.RightAxisMin;
    RightAxisMax = o.RightAxisMax;
    Curves = o.Curves;
    BarLayout = o.BarLayout;
    BarWidthPercent = o.BarWidthPercent;
    SeriesStyle = o.SeriesStyle;
    PrintLandscape = (o.Flags & ChartFlagPrintLandscape) != 0;
    AxesColoured = (o.Flags & ChartFlagAxesLikeSeries) != 0;
}

void TChartBuilder::ReadGrid(const platform::TStringGridModel& grid, const QRect& marked, const TChartSwitches& sw)
{
    SeriesCount = 0;
    // Label columns: in the table window column 0 is hidden, so "L.1" picks
    // the first visible fixed column (the date) and "L.2" the ones after it.
    const int fixedCols = grid.FixedCols();
    const int n = fixedCols == 0 ? 1 : std::min(fixedCols - 1, ChartCurveCount - 1);
    LabelLines = 0;
    std::vector<int> labelCols;
    for (int k = 0; k < ChartCurveCount; ++k) {
        bool used = false;
        if (k <= n) {
            if (k == 0)
                used = (sw.Legend1 || n == 0) && grid.ColWidth(0) > 0;
            else if (k == 1)
                used = grid.ColWidth(0) == 0 ? (sw.Legend1 && grid.ColWidth(1) > 0)
                                             : (sw.Legend2 && grid.ColWidth(1) > 0);
            else
                used = sw.Legend2;
        }
        LabelColumnUsed[std::size_t(k)] = used;
        if (used) {
            labelCols.push_back(k);
            LabelLines = std::min(LabelLines + 1, ChartMaxLabelLines);
        }
    }

    const int top = marked.top(), bottom = marked.bottom();
    Labels.clear();
    Labels.reserve(std::max(0, bottom - top + 1));
    QString label;
    for (int r = top; r <= bottom; ++r) {
        label.clear();
        for (std::size_t j = 0; j < labelCols.size(); ++j) {
            if (j > 0)
                label += QChar(13);
            label += grid.CellView(labelCols[j], r);
        }
        Labels.push_back(label);
    }

    const int headerRows = grid.FixedRows();
    Unit.clear();
    for (int c = marked.left(); c <= marked.right() && SeriesCount < ChartCurveCount; ++c) {
        const int k = SeriesCount++;
        TSeries& s = DataSeries[std::size_t(k)];
        s.Clear();
        s.Colour = platform::ColorRefToQColor(GraphicsSettings.Colours[std::size_t(ColourFirstCurve + k)]);
        s.MarksVisible = sw.Marks;
        QStringList parts;
        QStringList unitParts;
        for (int r = 0; r < headerRows; ++r) {
            const QString text = TrimControlChars(grid.Cell(c, r));
            if (text.isEmpty())
                continue;
            if (r >= 1)
                unitParts << text;
            if (headerRows >= 2 && ((r == 0 && !sw.Legend1) || (r >= 1 && !sw.Legend2)))
                continue;
            parts << text;
        }
        s.Title = parts.join(QStringLiteral(" / "));
        if (k == 0)
            Unit = unitParts.join(QStringLiteral(" / "));
        s.Values.reserve(std::size_t(std::max(0, bottom - top + 1)));
        for (int r = top; r <= bottom; ++r) {
            const double v = ParseRealTrimmed(grid.CellView(c, r));
            if (v == -9999.0)
                s.AddNull();
            else
                s.Add(v);
        }
    }
}

void TChartBuilder::BuildChart(TChartModel& model, const platform::TStringGridModel& grid, const QRect& marked,
                               const TChartSwitches& sw, const QStringList& memoLines, bool hasMemo,
                               const QString& chartTitle, const QFont& font)
{
    ReadGrid(grid, marked, sw);
    ApplyTitles(model, sw, memoLines, hasMemo, chartTitle);
    ApplyChartLook(model, font);
    ApplyAxes(model, sw);
    SetSeriesStyle(model, SeriesStyle, sw);
}

void TChartBuilder::ApplyTitles(TChartModel& model, const TChartSwitches& sw, const QStringList& memoLines,
                                bool hasMemo, const QString& chartTitle)
{
    model.TitleVisible = sw.Titles && ((hasMemo && !memoLines.isEmpty()) || !chartTitle.isEmpty());
    model.TitleLines.clear();
    if (model.TitleVisible) {
        for (const QString& line : memoLines)
            if (!line.isEmpty())
                model.TitleLines << line;
        if (!chartTitle.isEmpty())
            model.TitleLines << chartTitle;
        model.MarginTop = 4;
    }
}

namespace {
QFont Scaled(const QFont& font, double factor)
{
    QFont f = font;
    const double size = font.pointSizeF() > 0 ? font.pointSizeF() : 9;
    f.setPointSize(std::max(1, int(std::nearbyint(size * factor))));
    return f;
}
} // namespace

void TChartBuilder::ApplyChartLook(TChartModel& model, const QFont& font) const
{
    const QColor back = platform::ColorRefToQColor(GraphicsSettings.Colours[ColourBackground]);
    const QColor standard = platform::ColorRefToQColor(GraphicsSettings.Colours[ColourStandard]);
    model.BackColour = back;
    model.StandardColour = standard;
    model.TitleFont = Scaled(font, 1.4);
    const QFont axisFont = Scaled(font, 1.0);
    for (TAxis* a : {&model.Left, &model.Right, &model.Bottom}) {
        a->Colour = standard;
        a->GridColour = standard;
        a->TitleFont = axisFont;
        a->LabelsFont = axisFont;
    }
    model.LegendFont = axisFont;
    model.MarginBottom = std::max(4, std::abs(axisFont.pointSize() - 4) * LabelLines);
    const int rotation = LabelRotation > 2 ? 0 : LabelRotation;
    model.Bottom.LabelsAngle = rotation == 1 ? 90 : rotation == 2 ? 270 : 0;
    model.Bottom.LabelsSeparation = model.Bottom.LabelsAngle != 0 ? 1 : 8;
}

void TChartBuilder::ApplyRotation(TChartModel& model)
{
    if (LabelRotation > 2)
        LabelRotation = 0;
    model.Bottom.LabelsAngle = LabelRotation == 1 ? 90 : LabelRotation == 2 ? 270 : 0;
    model.Bottom.LabelsSeparation = model.Bottom.LabelsAngle != 0 ? 1 : 8;
}

void TChartBuilder::ApplyAxes(TChartModel& model, const TChartSwitches& sw) const
{
    model.AxesVisible = true;
    model.View3D = sw.View3D;
    model.Walls3D = sw.View3D;
    model.Left.Visible = true;
    model.Left.Automatic = LeftAxisAuto;
    if (!LeftAxisAuto) {
        model.Left.Maximum = LeftAxisMax;
        model.Left.Minimum = LeftAxisMin;
    }
    model.Right.Automatic = RightAxisAuto;
    if (!RightAxisAuto) {
        model.Right.Maximum = RightAxisMax;
        model.Right.Minimum = RightAxisMin;
    }
    // The right axis shows when a second value axis is asked for.
    model.Right.Visible = (AxisFlags & AxisFlagSecondAxis) != 0;
    model.Bottom.Grid = sw.Grid;
    model.Left.Grid = sw.Grid;
    model.Right.Grid = false;
    model.Bottom.Automatic = true;
    model.Bottom.Visible = LabelLines >= 1;
    model.Bottom.MinorTicks = true;
    model.Left.Title = sw.Unit ? Unit : QString();
}

bool TChartBuilder::SetSeriesStyle(TChartModel& model, int style, const TChartSwitches& sw)
{
    if (!model.Series.empty() || !model.Slices.empty())
        model.UndoZoom();
    model.Series.clear();
    model.Slices.clear();
    model.AxesVisible = true;
    model.Walls3D = model.View3D;

    if (style == 0 || style > 7)
        style = 3;
    SeriesStyle = uint8_t(style);
    model.MarginTop = 4;
    model.LegendVisible = SeriesCount > 1 && LabelLines > 0 && (sw.Legend1 || sw.Legend2);
    model.Labels = Labels;
    model.Stairs = style == 2 || style == 6;
    switch (style) {
    case 1:
    case 2: model.Kind = TKind::Area; break;
    case 4: model.Kind = TKind::HorizBar; break;
    case 5:
    case 6: model.Kind = TKind::Line; break;
    case 7: model.Kind = TKind::Pie; break;
    default: model.Kind = TKind::Bar; break;
    }
    model.MultiBar = BarLayout == 0 ? TMultiBar::None : BarLayout == 2 ? TMultiBar::Stacked : TMultiBar::Side;
    model.BarWidthPercent = BarWidthPercent;

    if (model.Kind == TKind::Pie) {
        model.Walls3D = false;
        if (SeriesCount > 0) {
            TSeries pie = DataSeries[0];
            pie.Values.clear();
            model.Series.push_back(pie);
            const TSeries& first = DataSeries[0];
            auto sliceValue = [](double v) { return IsNull(v) || v < 0 ? 0.0 : v; };
            if (first.Count() >= SeriesCount) {
                const int n = std::min(first.Count(), ChartCurveCount);
                for (int j = 0; j < n; ++j)
                    model.Slices.push_back({sliceValue(first.Values[std::size_t(j)]),
                                            j < Labels.size() ? Labels[j] : QString(),
                                            platform::ColorRefToQColor(
                                                GraphicsSettings.Colours[std::size_t(ColourFirstCurve + j)])});
                model.LegendVisible = LabelLines > 0 && (sw.Legend1 || sw.Legend2);
            } else {
                for (int j = 0; j < std::min(SeriesCount, ChartCurveCount); ++j) {
                    const TSeries& s = DataSeries[std::size_t(j)];
                    model.Slices.push_back({sliceValue(s.Count() > 0 ? s.Values[0] : NullValue), s.Title, s.Colour});
                }
            }
        }
    } else {
        for (int n = 0; n < SeriesCount; ++n) {
            TSeries s = DataSeries[std::size_t(n)];
            const TCurveStyle& c = Curves[std::size_t(n)];
            if (model.Kind == TKind::Line) {
                s.LineVisible = c.LineVisible;
                s.PenStyle = PenStyleOf(c.PenStyle);
                s.LineWidth = std::clamp<int>(c.LineWidth, 1, 3);
                s.MarkerVisible = c.MarkerVisible;
                s.Marker = MarkerOfStyle(c.MarkerStyle);
            }
            model.Series.push_back(std::move(s));
        }
    }

    // Legend on the right; the value axis may take the first curve's colour.
    model.MarginRight = 3;
    const QColor standard = platform::ColorRefToQColor(GraphicsSettings.Colours[ColourStandard]);
    model.Left.Colour = standard;
    model.Left.GridColour = standard;
    if (AxesColoured && !model.Series.empty() && model.Series.front().PointColours.empty()) {
        model.Left.Colour = model.Series.front().Colour;
        model.Left.GridColour = model.Series.front().Colour;
    }
    return model.Kind != TKind::Pie;
}

TMarker MarkerOfStyle(int style)
{
    if (style < 0 || style >= chart::MarkerCount)
        return TMarker::Cross;
    return TMarker(style);
}

QRect ChartPrintRect(int w, int h, const TGraphicsSettings& s, bool portrait)
{
    const int left = int(std::nearbyint(w * s.MarginLeft / 200.0));
    const int top = int(std::nearbyint(h * s.MarginTop / 200.0));
    const int right = int(std::nearbyint(w * (1 - s.MarginRight / 100.0) - 1));
    int bottom = int(std::nearbyint(h * (1 - s.MarginBottom / 160.0) - 1));
    if (portrait)
        bottom /= 2;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}
