#pragma once
// Which part of a string grid the chart (and the table window's mouse-up)
// takes: the marked rectangle, when it is usable.
#include "platform/StringGrid.h"

// True when the grid's marked rectangle is more than one cell (bottom > top
// or right > left) and lies in the data area (left >= fixed columns, top >=
// fixed rows); only then top, left, bottom and right are written.
bool GetGridSelection(const platform::TStringGridModel& grid, int& top, int& left, int& bottom, int& right);
