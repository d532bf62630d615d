#include "reports/EditorLayout.h"

#include <cmath>

namespace reports {

namespace {

// Pixels per point on the 96-dpi page.
constexpr double K = 4.0 / 3.0;
// The marker's tip is 4 pixels right of its left edge.
constexpr int Tip = 4;

int roundEven(double v)
{
    return int(std::nearbyint(v));
}

} // namespace

int EditorPageWidth(int leftMargin, int rightMargin, bool landscape)
{
    return (landscape ? 1132 : 801) - 3 * (leftMargin + rightMargin);
}

TParagraphIndents IndentsOfBlock(const QTextBlockFormat& format)
{
    TParagraphIndents i;
    i.FirstIndent = roundEven((format.leftMargin() + format.textIndent()) / K);
    i.LeftIndent = roundEven(-format.textIndent() / K);
    i.RightIndent = roundEven(format.rightMargin() / K);
    return i;
}

void ApplyIndents(QTextBlockFormat& format, const TParagraphIndents& i)
{
    format.setLeftMargin((i.FirstIndent + i.LeftIndent) * K);
    format.setTextIndent(-i.LeftIndent * K);
    format.setRightMargin(i.RightIndent * K);
}

TRulerIndents RulerIndentsOf(const TParagraphIndents& i, int m, int mr, int w)
{
    TRulerIndents r;
    r.First = roundEven(i.FirstIndent * K) - Tip + m;
    r.Left = roundEven((i.LeftIndent + i.FirstIndent) * K) - Tip + m;
    r.Right = (w - 6) - roundEven(i.RightIndent * K) - mr;
    return r;
}

TParagraphIndents IndentsFromRuler(int id, const TRulerIndents& r, const TParagraphIndents& current, int m, int mr,
                                   int w)
{
    // The inverse of RulerIndentsOf, so that a marker dropped where it was
    // leaves its indent as it was.
    TParagraphIndents i = current;
    switch (id) {
    case 0:
    case 3:
        i.FirstIndent = roundEven((r.First + Tip - m) / K);
        i.LeftIndent = roundEven((r.Left + Tip - m) / K) - i.FirstIndent;
        break;
    case 1:
        i.LeftIndent = roundEven((r.Left + Tip - m) / K) - i.FirstIndent;
        break;
    case 2:
        i.RightIndent = roundEven((w - 6 - r.Right - mr) / K);
        break;
    default:
        break;
    }
    return i;
}

} // namespace reports
