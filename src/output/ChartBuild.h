#pragma once
// Building the chart from the table: the marked columns of the table grid
// become curves (at most 12), the marked rows their points, the label columns
// (date, time) the row labels and the header rows the curve titles. The chart
// window owns one TChartBuilder and forwards to it; everything the build reads
// from the window's switches comes in a TChartSwitches record.
#include "platform/ChartModel.h"
#include "output/GraphicsSettings.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>

namespace platform {
class TStringGridModel;
}

// The check marks of the chart window's tool bar.
struct TChartSwitches {
    bool Legend1 = true;                   // "L.1"
    bool Legend2 = false;                  // "L.2"
    bool Marks = false;                    // "M."
    bool Titles = false;                   // "T."
    bool View3D = true;                    // "3&D"
    bool Grid = true;                      // "H."
    bool Unit = false;                     // "E."
};

constexpr int ChartPointLabelCount = 401;
constexpr int ChartMaxLabelLines = 5;

class TChartBuilder {
public:
    TChartBuilder();

    // ---- State of the last build --------------------------------------------
    // Curve n (1..12) is DataSeries[n - 1]; never shown itself, the model's
    // curves are made from it by SetSeriesStyle.
    std::array<chart::TSeries, ChartCurveCount> DataSeries;
    QStringList Labels;                    // one per charted row
    QString Unit;                          // the first curve's unit (header rows below the first)
    std::array<bool, ChartCurveCount> LabelColumnUsed{};
    int LabelLines = 0;                    // 0..5
    int SeriesCount = 0;                   // 0..12
    uint8_t SeriesStyle = 0;               // 0..7 as in TChartOptions

    // ---- The window's copies of the option record ---------------------------------
    std::array<TCurveStyle, ChartCurveCount> Curves{};
    uint8_t BarLayout = 1;
    uint8_t BarWidthPercent = 70;
    bool LeftAxisAuto = true;
    double LeftAxisMin = 0.0;
    double LeftAxisMax = 1000.0;
    bool RightAxisAuto = true;
    double RightAxisMin = 0.0;
    double RightAxisMax = 1000.0;
    uint8_t AxisFlags = 0;
    uint8_t LabelRotation = 0;
    bool PrintLandscape = false;           // Flags bit 1
    bool AxesColoured = false;             // Flags bit 2

    // The point-label table; emptied by ClearPointLabels, filled by nothing.
    std::array<QString, ChartPointLabelCount> PointLabels;
    void ClearPointLabels();

    // Copies the record's fields that the window keeps (not the switches).
    void LoadOptionCopies(const TChartOptions& options);

    // ---- Building --------------------------------------------------------------
    // The marked rectangle's columns into DataSeries, the rows' labels, the
    // curve titles; SeriesCount and the label columns. Cells that are no
    // number become null points.
    void ReadGrid(const platform::TStringGridModel& grid, const QRect& marked, const TChartSwitches& sw);
    // The whole build onto the model: ReadGrid, titles, look, axes, style.
    void BuildChart(chart::TChartModel& model, const platform::TStringGridModel& grid, const QRect& marked,
                    const TChartSwitches& sw, const QStringList& memoLines, bool hasMemo,
                    const QString& chartTitle, const QFont& font);
    // Title lines and whether the title shows.
    static void ApplyTitles(chart::TChartModel& model, const TChartSwitches& sw, const QStringList& memoLines,
                            bool hasMemo, const QString& chartTitle);
    // Colours and fonts of the graphics settings, bottom margin and label angle.
    void ApplyChartLook(chart::TChartModel& model, const QFont& font) const;
    // Axes from the option copies and the switches.
    void ApplyAxes(chart::TChartModel& model, const TChartSwitches& sw) const;
    // Label angle and separation from LabelRotation (above 2 becomes 0).
    void ApplyRotation(chart::TChartModel& model);
    // The curves shown for a style (0 is drawn as 3, bars), made from
    // DataSeries; answers whether the style allows zooming and panning.
    bool SetSeriesStyle(chart::TChartModel& model, int style, const TChartSwitches& sw);
};

// The marker of a record's marker style (0..7 and the four further shapes).
chart::TMarker MarkerOfStyle(int style);

// The rectangle a chart is printed into on a page of w x h device pixels with
// the margins of the graphics settings; in portrait the chart takes the upper
// half of the sheet.
QRect ChartPrintRect(int w, int h, const TGraphicsSettings& settings, bool portrait);
