#pragma once
// Geometry of the paragraph ruler above the report editor, kept apart from the
// widget so that positions, snapping and the setters' rules can be checked
// without painting. All values are ruler pixels; marker positions are the
// markers' left edges (a marker is 9 pixels wide, its tip at left + 4).
#include <QString>
#include <cstdint>
#include <vector>

namespace reports {

// Which marker: 0 first-line indent, 1 left indent, 2 right indent, 3 the box
// under the left indent that moves first-line and left indent together.
enum TIndentID : uint8_t { idFirst = 0, idLeft = 1, idRight = 2, idBoth = 3 };
// Which margin boundary: 0 left, 1 right.
enum TMarginID : uint8_t { midLeft = 0, midRight = 1 };

constexpr int RulerMarkerWidth = 9;
constexpr int RulerMarkerHeight = 8;

// One mark of the scale at pixel column x.
struct TRulerMark {
    enum Kind : uint8_t { Number, LargeTick, MidTick, SmallTick };
    int X = 0;
    Kind kind = SmallTick;
    int Length = 0;        // tick length in pixels (0 for numbers)
    QString Text;          // number text; empty at the margin boundary itself
};

class TRulerGeometry {
public:
    int Width = 300;
    int Height = 25;
    uint8_t RulerTab = 10;
    int32_t MinIndentDist = 50;
    uint16_t Factor = 1;
    uint16_t TabDist = 10;
    int32_t BorderLeft = 5;
    int32_t BorderUp = 5;
    int32_t BorderDown = 5;
    int32_t BorderRight = 5;
    bool ShowSmallLines = true;
    bool ShowLargeLines = true;
    bool ShowIndents = true;
    bool ShowNumbers = true;
    bool ShowMarginHandlers = true;

    int32_t MarginLeft() const { return marginLeft_; }
    int32_t MarginRight() const { return marginRight_; }
    int32_t IndentFirst() const { return indentFirst_; }
    int32_t IndentLeft() const { return indentLeft_; }
    int32_t IndentRight() const { return indentRight_; }
    int32_t Indent(int id) const;

    // The setters answer whether the value was taken; a refused value leaves
    // everything as it was.
    // First-line and left indent: a new value v with 0 <= v < Width - 4 that
    // keeps more than MinIndentDist to the right indent.
    bool SetIndentFirst(int32_t v);
    bool SetIndentLeft(int32_t v);
    // Right indent: 0 <= v < Width - 4, more than MinIndentDist right of both
    // left indents.
    bool SetIndentRight(int32_t v);
    // The box: moves the left indent to v and the first-line indent by the same
    // distance, so the first line keeps its offset; taken only when both fit.
    bool SetIndentBoth(int32_t v);
    bool SetIndent(int id, int32_t v);
    // Margins: 0 <= v <= Width less the other margin and both side borders. The
    // left margin carries first-line and left indent along, the right margin
    // the right indent.
    bool SetMarginLeft(int32_t v);
    bool SetMarginRight(int32_t v);
    bool SetMargin(int id, int32_t v);

    // Places the indents without any check (layout code that knows better).
    void PlaceIndents(int32_t first, int32_t left, int32_t right);

    // Pixel columns of the margin boundaries.
    int LeftBoundary() const { return BorderLeft + marginLeft_; }
    int RightBoundary() const { return Width - BorderRight - marginRight_; }

    // Tops of the markers, kept inside the ruler.
    int FirstMarkerTop() const;
    int LeftMarkerTop() const;      // also the right marker's
    int BoxTop() const { return LeftMarkerTop() + RulerMarkerHeight; }
    // Left and top of marker id.
    int MarkerLeft(int id) const;
    int MarkerTop(int id) const;
    // The marker under (x, y), the box first, or -1.
    int MarkerAt(int x, int y) const;

    // The margin boundary within 2 pixels of x (only with ShowMarginHandlers),
    // or -1.
    int MarginAt(int x) const;

    // The scale: numbers every 4 units counted from the left margin boundary
    // in both directions, large ticks half-way between, small ticks at every
    // odd unit. Empty when TabDist is 0.
    std::vector<TRulerMark> ScaleMarks() const;

private:
    int32_t marginLeft_ = 30;
    int32_t marginRight_ = 20;
    int32_t indentFirst_ = 31;
    int32_t indentLeft_ = 31;
    int32_t indentRight_ = 271;
};

// Where a dragged marker goes: its left edge at the press moved by the mouse
// distance, snapped down to a multiple of the ruler tab (towards zero, as
// integer division does). A tab of 0 counts as 1.
int32_t SnapDragPosition(int32_t startLeft, int pressX, int mouseX, uint8_t rulerTab);

} // namespace reports
