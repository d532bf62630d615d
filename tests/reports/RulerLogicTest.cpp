#include "reports/RulerLogic.h"

#include <gtest/gtest.h>
#include <algorithm>

using namespace reports;

namespace {

// The editor's ruler: tab 1, unit 8, left margin 20, no side borders.
TRulerGeometry editorRuler()
{
    TRulerGeometry g;
    g.Width = 700;
    g.RulerTab = 1;
    g.TabDist = 8;
    g.BorderLeft = 0;
    g.BorderRight = 0;
    g.SetMarginLeft(20);
    g.PlaceIndents(20, 20, 250);
    return g;
}

std::vector<int> numberColumns(const TRulerGeometry& g, const QString& text)
{
    std::vector<int> xs;
    for (const TRulerMark& m : g.ScaleMarks())
        if (m.kind == TRulerMark::Number && m.Text == text)
            xs.push_back(m.X);
    return xs;
}

} // namespace

TEST(RulerSetters, RightIndentCloserThanMinIndentDistIsRefused)
{
    TRulerGeometry g = editorRuler();   // left indents at 20, MinIndentDist 50
    EXPECT_FALSE(g.SetIndentRight(70));   // 50 away: not more than the distance
    EXPECT_EQ(g.IndentRight(), 250);
    EXPECT_TRUE(g.SetIndentRight(71));
    EXPECT_EQ(g.IndentRight(), 71);
    // The first-line indent alone may hold the right indent back.
    g.PlaceIndents(100, 20, 250);
    EXPECT_FALSE(g.SetIndentRight(150));
    EXPECT_TRUE(g.SetIndentRight(151));
}

TEST(RulerSetters, LeftIndentsKeepTheirDistanceAndStayInside)
{
    TRulerGeometry g = editorRuler();
    EXPECT_FALSE(g.SetIndentFirst(200));   // 250 - 200 = 50
    EXPECT_TRUE(g.SetIndentFirst(199));
    EXPECT_FALSE(g.SetIndentLeft(-1));
    EXPECT_FALSE(g.SetIndentLeft(g.Width - 4));
    EXPECT_FALSE(g.SetIndentLeft(20));     // unchanged value: nothing happens
    EXPECT_TRUE(g.SetIndentLeft(0));
    g.PlaceIndents(20, 20, g.Width - 5);
    EXPECT_FALSE(g.SetIndentRight(g.Width - 4));
}

TEST(RulerSetters, BoxMovesBothIndentsOrNeither)
{
    TRulerGeometry g = editorRuler();
    g.PlaceIndents(40, 20, 250);
    EXPECT_TRUE(g.SetIndentBoth(30));
    EXPECT_EQ(g.IndentLeft(), 30);
    EXPECT_EQ(g.IndentFirst(), 50);
    // The first line would come too near the right indent.
    EXPECT_FALSE(g.SetIndentBoth(190));
    EXPECT_EQ(g.IndentLeft(), 30);
    EXPECT_EQ(g.IndentFirst(), 50);
}

TEST(RulerSetters, MarginLeftCarriesTheLeftIndents)
{
    TRulerGeometry g = editorRuler();
    ASSERT_TRUE(g.SetMarginLeft(30));
    EXPECT_EQ(g.IndentFirst(), 30);
    EXPECT_EQ(g.IndentLeft(), 30);
    EXPECT_EQ(g.IndentRight(), 250);
    EXPECT_FALSE(g.SetMarginLeft(-1));
    EXPECT_FALSE(g.SetMarginLeft(g.Width - g.MarginRight() + 1));
    EXPECT_TRUE(g.SetMarginLeft(g.Width - g.MarginRight()));
}

TEST(RulerSetters, MarginRightPullsTheRightIndent)
{
    TRulerGeometry g = editorRuler();
    const int before = g.MarginRight();
    ASSERT_TRUE(g.SetMarginRight(before + 15));
    EXPECT_EQ(g.IndentRight(), 235);
    EXPECT_FALSE(g.SetMarginRight(g.Width - g.MarginLeft() + 1));
}

TEST(RulerSnapping, DraggedPositionsSnapToTheTab)
{
    EXPECT_EQ(SnapDragPosition(31, 35, 58, 10), 50);   // 31 + 23 = 54 -> 50
    EXPECT_EQ(SnapDragPosition(31, 35, 35, 10), 30);
    EXPECT_EQ(SnapDragPosition(20, 24, 31, 1), 27);
    // Towards zero, as integer division does; the setter then refuses < 0.
    EXPECT_EQ(SnapDragPosition(3, 10, 0, 10), 0);
    EXPECT_EQ(SnapDragPosition(3, 20, 0, 10), -10);
    // A tab of 0 would divide by zero: it counts as 1.
    EXPECT_EQ(SnapDragPosition(10, 0, 7, 0), 17);
}

TEST(RulerScale, NumbersEvery32PixelsOnBothSidesOfTheMargin)
{
    TRulerGeometry g;
    g.Width = 300;
    g.TabDist = 8;
    g.Factor = 1;
    g.SetMarginLeft(80);    // boundary at 85 with the default border of 5
    EXPECT_EQ(numberColumns(g, "1"), (std::vector<int>{53, 117}));
    EXPECT_EQ(numberColumns(g, "2"), (std::vector<int>{21, 149}));
    EXPECT_EQ(numberColumns(g, "3"), (std::vector<int>{181}));
    // At the boundary itself the number 0 is not printed.
    EXPECT_EQ(numberColumns(g, ""), (std::vector<int>{85}));
    EXPECT_TRUE(numberColumns(g, "0").empty());
    g.Factor = 5;
    EXPECT_EQ(numberColumns(g, "10"), (std::vector<int>{21, 149}));
}

TEST(RulerScale, TicksFollowTheSwitches)
{
    TRulerGeometry g;
    g.TabDist = 8;
    g.SetMarginLeft(0);
    auto count = [&](TRulerMark::Kind kind) {
        const auto marks = g.ScaleMarks();
        return std::count_if(marks.begin(), marks.end(), [&](const TRulerMark& m) { return m.kind == kind; });
    };
    EXPECT_GT(count(TRulerMark::SmallTick), 0);
    EXPECT_GT(count(TRulerMark::MidTick), 0);
    g.ShowNumbers = false;
    EXPECT_EQ(count(TRulerMark::Number), 0);
    EXPECT_GT(count(TRulerMark::LargeTick), 0);   // ticks stand in for the numbers
    g.ShowLargeLines = false;
    EXPECT_EQ(count(TRulerMark::LargeTick) + count(TRulerMark::MidTick), 0);
    g.ShowSmallLines = false;
    EXPECT_TRUE(g.ScaleMarks().empty());
    g.TabDist = 0;   // no unit, no scale (and no division by zero)
    g.ShowNumbers = true;
    EXPECT_TRUE(g.ScaleMarks().empty());
}

TEST(RulerHitTest, MarkersAndMarginBoundaries)
{
    TRulerGeometry g;    // 300 x 25, borders 5, margins 30 and 20
    EXPECT_EQ(g.FirstMarkerTop(), 2);
    EXPECT_EQ(g.LeftMarkerTop(), 12);
    EXPECT_EQ(g.BoxTop(), 20);
    EXPECT_EQ(g.MarkerAt(g.IndentFirst() + 4, 4), idFirst);
    EXPECT_EQ(g.MarkerAt(g.IndentLeft() + 4, 14), idLeft);
    EXPECT_EQ(g.MarkerAt(g.IndentLeft() + 4, 22), idBoth);
    EXPECT_EQ(g.MarkerAt(g.IndentRight(), 14), idRight);
    EXPECT_EQ(g.MarkerAt(150, 14), -1);
    EXPECT_EQ(g.MarginAt(35 + 2), midLeft);
    EXPECT_EQ(g.MarginAt(35 - 3), -1);
    EXPECT_EQ(g.MarginAt(275), midRight);
    g.ShowMarginHandlers = false;
    EXPECT_EQ(g.MarginAt(35), -1);
    g.ShowIndents = false;
    EXPECT_EQ(g.MarkerAt(g.IndentFirst() + 4, 4), -1);
}
