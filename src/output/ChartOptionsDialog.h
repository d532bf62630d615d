#pragma once
// What the chart options dialog shows of a chart option record and how it
// writes it back, without the dialog's widgets: the line and marker list
// entries of the twelve curves, the bar layout and gap, the print and axis
// switches and the scaling of the two value axes; and which colour of the
// graphics settings a click on the demonstration chart picks.
#include "output/GraphicsSettings.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <QPointF>
#include <array>
#include <functional>

class QPainter;

namespace chartoptions {

// Line list: 0 no line; 1..3 solid of that width; 4 dash, 5 dot, 6 dash-dot,
// 7 dash-dot-dot (width 1). Marker list: 0 none, 1..8 marker styles 0..7.
constexpr int LineEntryCount = 8;
constexpr int MarkerEntryCount = 9;

int LineEntryOf(const TCurveStyle& curve);
// Fields of a hidden part (width and pen style with no line) keep their values.
void StoreLineEntry(TCurveStyle& curve, int entry);
int MarkerEntryOf(const TCurveStyle& curve);
void StoreMarkerEntry(TCurveStyle& curve, int entry);

// The pen of a line entry 1..7: width in pixels and pen style (0 solid, 1
// dash, 2 dot, 3 dash-dot, 4 dash-dot-dot).
int LineEntryWidth(int entry);
int LineEntryPenStyle(int entry);
Qt::PenStyle QtPenStyle(int penStyle);

// A line entry as the list shows it: a horizontal line through the middle of
// the entry, 2 pixels and the pen width in from both ends, white while the
// entry is selected, black otherwise; entry 0 stays empty.
void DrawLineEntry(QPainter& painter, const QRect& rect, int entry, bool selected);

// A marker entry 1..8 as the list shows it: three shapes of the marker style
// entry - 1 with a gap between, starting 2 pixels right of and below the
// entry's top-left corner, white while selected, black otherwise; entry 0
// stays empty. The shape itself is the chart's marker painter's, handed in
// as drawShape(painter, centre, style, halfSize, colour).
using TDrawMarkerShape = std::function<void(QPainter&, QPointF centre, int style, double halfSize, const QColor&)>;
void DrawMarkerEntry(QPainter& painter, const QRect& rect, int entry, bool selected,
                     const TDrawMarkerShape& drawShape);

// Everything the dialog edits, as its controls hold it.
struct TDialogState {
    std::array<int, ChartCurveCount> LineEntry{};
    std::array<int, ChartCurveCount> MarkerEntry{};
    bool Behind = false;               // "hintereinander"
    bool SideBySide = true;            // "nebeneinander"
    bool Stacked = false;              // "übereinander"
    int Gap = 30;                      // TrackBar1, 0..90
    bool PrintLandscape = false;       // "Grafik-Ausdruck immer quer"
    bool AxesColoured = false;         // "Achsenfarben werteabhängig"
    bool LeftAuto = true;
    double LeftMin = 0;
    double LeftMax = 1000;
    bool Axis2 = false;
    bool Axis3 = false;
    bool RightAuto = true;
    double RightMin = 0;
    double RightMax = 1000;
};

TDialogState LoadDialogState(const TChartOptions& options);
// Writes only the fields the dialog edits; everything else stays.
void StoreDialogState(const TDialogState& state, TChartOptions& options);

// "30 %" for a gap of 30.
QString GapText(int gap);

// The demonstration chart: twelve bars with these values, labelled "01".."12".
extern const std::array<double, ChartCurveCount> DemoValues;
QString DemoLabel(int index);

// The part of the demonstration chart that was clicked.
enum class TDemoPart { Bar, Title, LeftAxis, BottomAxis, Other };

struct TColourPick {
    int ColourIndex = ColourBackground;   // into TGraphicsSettings::Colours
    QString Title;                        // of the colour dialog, at most 128 characters
};

// Bar j picks curve colour j + 1 with the title "<colourCaption> <j + 1>";
// the title and the left and bottom axes the standard colour with
// axesCaption; anything else the background with backgroundCaption.
TColourPick ColourPickFor(TDemoPart part, int bar, const QString& colourCaption,
                          const QString& axesCaption, const QString& backgroundCaption);

} // namespace chartoptions
