#pragma once
// The look of every printout and chart: the one global graphics settings record
// and the chart option record the main window holds. Neither is ever stored;
// both get their defaults when the main window is created.
#include "platform/Colors.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

constexpr int GraphicsColourCount = 14;
constexpr int ChartCurveCount = 12;

// Index of the chart background and the standard colour in Colours; curve n
// (1..12) has the index 1 + n.
constexpr int ColourBackground = 0;
constexpr int ColourStandard = 1;
constexpr int ColourFirstCurve = 2;

struct TGraphicsSettings {
    uint8_t Reserved0 = 1;
    uint8_t PrintOrientation = 0;              // 0 portrait, 1 landscape
    bool CopyWithHeaders = false;              // clipboard copy includes the fixed rows and columns
    QString FontName;                          // string[31]; read by nobody
    uint8_t Reserved35 = 0;
    uint8_t Reserved36 = 2;
    std::array<platform::TColor, GraphicsColourCount> Colours{};
    std::array<QString, GraphicsColourCount> ColourNames; // string[16] each
    int32_t Percent = 100;
    double MarginLeft = 0;                     // print margins in percent of the page
    double MarginTop = 0;
    double MarginRight = 0;
    double MarginBottom = 0;
    uint8_t Reserved367 = 0;
    QString ImageFileMask;                     // string[255]; read by nobody
    QString Reserved624;
    uint8_t Reserved881 = 1;
    uint8_t Reserved882 = 0;
    uint8_t Reserved883 = 1;
    uint8_t Reserved884 = 1;
};

// One curve of the chart.
struct TCurveStyle {
    bool LineVisible = true;
    bool MarkerVisible = false;
    uint8_t MarkerStyle = 4;                   // 0 rectangle .. 4 cross .. 7 diamond
    uint8_t PenStyle = 0;                      // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    uint8_t LineWidth = 1;                     // 1..3 pixels
};

// Bits of TChartOptions::AxisFlags and TChartOptions::Flags.
constexpr uint8_t AxisFlagSecondAxis = 0x01;
constexpr uint8_t AxisFlagThirdAxis = 0x02;
constexpr uint8_t ChartFlagUnitOnAxis = 0x01;
constexpr uint8_t ChartFlagPrintLandscape = 0x02;
constexpr uint8_t ChartFlagAxesLikeSeries = 0x04;

struct TChartOptions {
    bool LegendPart1 = true;                   // switch "L.1"
    bool LegendPart2 = true;                   // switch "L.2"
    std::array<uint8_t, 10> Reserved{1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    bool ShowMarks = false;                    // switch "M."
    bool ShowTitles = false;                   // switch "T."
    bool View3D = true;                        // switch "3&D"
    bool GridLines = true;                     // switch "H."
    uint8_t LabelRotation = 0;                 // 0 horizontal, 1 rotated 90°, 2 rotated 270°
    bool LeftAxisAuto = true;
    uint8_t AxisFlags = 0;
    double LeftAxisMin = 0.0;
    double LeftAxisMax = 1000.0;
    bool RightAxisAuto = true;
    double RightAxisMin = 0.0;
    double RightAxisMax = 1000.0;
    std::array<TCurveStyle, ChartCurveCount> Curves{};
    uint8_t BarLayout = 1;                     // 0 behind each other, 1 side by side, 2 stacked
    uint8_t BarWidthPercent = 70;
    uint8_t Flags = 0;
    uint8_t SeriesStyle = 0;                   // 0 initial .. 7 pie
};

// The one global record, read by table printing, the page preview, the chart
// window and the chart options dialog.
extern TGraphicsSettings GraphicsSettings;

// Every field to its default; the background colour is the desktop's window
// colour at the moment of the call.
void DefaultGraphicsSettings(TGraphicsSettings& settings);
void DefaultChartOptions(TChartOptions& options);

// The custom colours a colour dialog offers: always the default colours (not
// the current ones), background, standard colour and curve colours 1..11, then
// the button face colour; exactly 14 entries, any earlier content discarded.
void ChartCustomColors(QList<platform::TColor>& colors);
// The same colours as the dialog's text entries "ColorA=00FFFFFF" .. "ColorN=...".
void ChartCustomColors(QStringList& entries);

// The window-creation parameters a window hands to ChildWindowParams before
// it is created: its style bits (window-system values) and its parent window.
struct TWindowCreateParams {
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    uintptr_t WndParent = 0;
};
constexpr uint32_t WS_CHILD = 0x40000000u;
constexpr uint32_t WS_CAPTION = 0x00C00000u;

// The window that hosts the chart window, the table window and the selection
// tree as child windows, and whether they lose their caption there. No host
// (0) and no removal throughout this program.
extern uintptr_t ChildHostWindow;
extern bool ChildRemoveCaption;

// With a host window: the child-window style added, the caption style removed
// when ChildRemoveCaption is set, and the host made the parent. Without one
// the parameters stay as they are.
void ChildWindowParams(TWindowCreateParams& params);

// The window state and form style the chart and table windows give themselves
// when created: a normal window with a normal form.
enum class TChildWindowState : uint8_t { Normal, Minimized, Maximized };
enum class TChildFormStyle : uint8_t { Normal, StayOnTop };
constexpr TChildWindowState ChildWindowState = TChildWindowState::Normal;
constexpr TChildFormStyle ChildFormStyle = TChildFormStyle::Normal;
