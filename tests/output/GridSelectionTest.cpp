#include "output/GridSelection.h"

#include <gtest/gtest.h>

using platform::TGridRect;
using platform::TStringGridModel;

namespace {

struct Grid : TStringGridModel {
    Grid()
    {
        SetColCount(6);
        SetRowCount(10);
        SetFixedCols(2);
        SetFixedRows(2);
    }
};

} // namespace

TEST(GridSelection, UsableRectangleIsWrittenOut)
{
    Grid grid;
    grid.SetSelection(TGridRect{2, 3, 4, 7});
    int top = -1, left = -1, bottom = -1, right = -1;
    ASSERT_TRUE(GetGridSelection(grid, top, left, bottom, right));
    EXPECT_EQ(top, 3);
    EXPECT_EQ(left, 2);
    EXPECT_EQ(bottom, 7);
    EXPECT_EQ(right, 4);
}

TEST(GridSelection, OneColumnOfSeveralRowsOrOneRowOfSeveralColumnsIsUsable)
{
    Grid grid;
    int t, l, b, r;
    grid.SetSelection(TGridRect{3, 2, 3, 5});
    EXPECT_TRUE(GetGridSelection(grid, t, l, b, r));
    grid.SetSelection(TGridRect{2, 4, 5, 4});
    EXPECT_TRUE(GetGridSelection(grid, t, l, b, r));
}

TEST(GridSelection, SingleCellIsRefusedAndNothingWritten)
{
    Grid grid;
    grid.SetSelection(TGridRect{3, 4, 3, 4});
    int top = -1, left = -1, bottom = -1, right = -1;
    EXPECT_FALSE(GetGridSelection(grid, top, left, bottom, right));
    EXPECT_EQ(top, -1);
    EXPECT_EQ(left, -1);
    EXPECT_EQ(bottom, -1);
    EXPECT_EQ(right, -1);
}
