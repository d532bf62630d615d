#pragma once
// Geometry of the report editor window: the editor's width from the page
// margins, and the mapping between a paragraph's indents (points, as the
// rich-text model counts them) and the ruler's marker positions (pixels).
#include <QTextBlockFormat>
#include <cstdint>

namespace reports {

// 801 - 3 x (left + right) pixels upright, 1132 - 3 x (left + right) across.
int EditorPageWidth(int leftMargin, int rightMargin, bool landscape);

// A paragraph's indents in points: the first line from the left edge, the
// other lines relative to the first line, the right indent from the right edge.
struct TParagraphIndents {
    int FirstIndent = 0;
    int LeftIndent = 0;
    int RightIndent = 0;
};

// Between the document's block format (pixels at 96 dpi: left margin and
// first-line offset) and those indents.
TParagraphIndents IndentsOfBlock(const QTextBlockFormat& format);
void ApplyIndents(QTextBlockFormat& format, const TParagraphIndents& indents);

// Marker positions (left edges) on a ruler whose left margin is m and right
// margin mr, with client width w.
struct TRulerIndents {
    int32_t First = 0;
    int32_t Left = 0;
    int32_t Right = 0;
};
TRulerIndents RulerIndentsOf(const TParagraphIndents& indents, int m, int mr, int w);
// The indents after marker id (0 first line, 1 left, 2 right, 3 the box) was
// moved, from the ruler's positions; the others keep their values.
TParagraphIndents IndentsFromRuler(int id, const TRulerIndents& ruler, const TParagraphIndents& current, int m,
                                   int mr, int w);

} // namespace reports
