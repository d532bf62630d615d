#include "output/GridSelection.h"

bool GetGridSelection(const platform::TStringGridModel& grid, int& top, int& left, int& bottom, int& right)
{
    const platform::TGridRect sel = grid.Selection();
    const bool moreThanOneCell = sel.Bottom > sel.Top || sel.Right > sel.Left;
    if (!moreThanOneCell || sel.Left < grid.FixedCols() || sel.Top < grid.FixedRows())
        return false;
    top = sel.Top;
    left = sel.Left;
    bottom = sel.Bottom;
    right = sel.Right;
    return true;
}
