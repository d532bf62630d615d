#include "reports/EditorLayout.h"

#include <gtest/gtest.h>

using namespace reports;

TEST(EditorLayout, PageWidthFromTheMargins)
{
    EXPECT_EQ(EditorPageWidth(20, 20, false), 681);
    EXPECT_EQ(EditorPageWidth(20, 20, true), 1012);
    EXPECT_EQ(EditorPageWidth(25, 15, false), 681);
    EXPECT_EQ(EditorPageWidth(10, 0, false), 771);
}

TEST(EditorLayout, MarkersFromIndents)
{
    // M = 20, right margin 30, ruler 800 wide; k = 4/3 pixels per point.
    TParagraphIndents i{30, 15, 12};
    const TRulerIndents r = RulerIndentsOf(i, 20, 30, 800);
    EXPECT_EQ(r.First, 40 - 4 + 20);
    EXPECT_EQ(r.Left, 60 - 4 + 20);
    EXPECT_EQ(r.Right, 794 - 16 - 30);
}

TEST(EditorLayout, MarkerDroppedWhereItWasKeepsItsIndent)
{
    const TParagraphIndents i{30, -12, 9};
    const TRulerIndents r = RulerIndentsOf(i, 20, 30, 800);
    for (int id = 0; id < 4; ++id) {
        const TParagraphIndents back = IndentsFromRuler(id, r, i, 20, 30, 800);
        EXPECT_EQ(back.FirstIndent, i.FirstIndent) << id;
        EXPECT_EQ(back.LeftIndent, i.LeftIndent) << id;
        EXPECT_EQ(back.RightIndent, i.RightIndent) << id;
    }
}

TEST(EditorLayout, DraggingTheFirstLineMarkerKeepsTheLeftMarkersPlace)
{
    const TParagraphIndents i{0, 0, 0};
    TRulerIndents r = RulerIndentsOf(i, 20, 30, 800);
    r.First += 40;   // 30 points to the right
    const TParagraphIndents moved = IndentsFromRuler(0, r, i, 20, 30, 800);
    EXPECT_EQ(moved.FirstIndent, 30);
    EXPECT_EQ(moved.LeftIndent, -30);
    EXPECT_EQ(moved.FirstIndent + moved.LeftIndent, 0);   // the other lines stay
    const TRulerIndents after = RulerIndentsOf(moved, 20, 30, 800);
    EXPECT_EQ(after.Left, r.Left);
    EXPECT_EQ(after.First, r.First);
}

TEST(EditorLayout, BlockFormatRoundTrip)
{
    QTextBlockFormat f;
    ApplyIndents(f, {30, -12, 9});
    EXPECT_DOUBLE_EQ(f.leftMargin(), 18 * 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(f.textIndent(), 12 * 4.0 / 3.0);
    const TParagraphIndents back = IndentsOfBlock(f);
    EXPECT_EQ(back.FirstIndent, 30);
    EXPECT_EQ(back.LeftIndent, -12);
    EXPECT_EQ(back.RightIndent, 9);
}
