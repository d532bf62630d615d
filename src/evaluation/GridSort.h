#pragma once
// Sorting the data rows of a string grid by the text of one column or by a
// date column, and marking all data cells. The fixed rows never move; a row
// moves as a whole, the hidden marker column included.
#include "platform/StringGrid.h"

namespace platform { class MessagePump; }

#include <QString>
#include <cstdint>
#include <string>

// Key of a date text: its parts separated by '.' or '/' in reverse order,
// joined without separator ("31.12.2005" gives "20051231", "1/2/2005" gives
// "200521"; a time after the year stays with the year).
QString DateSortKey(const QString& text);

// Sort weights of a text: each character's Windows-1252 code; characters
// outside Windows-1252 follow all of them, by code point. Comparing two weight
// strings orders texts by character codes, a prefix first.
std::u32string TextSortWeights(const QString& text);

// Sorts the data rows (FixedRows..RowCount-1) by the text of column Col. A
// column outside the grid's columns sorts nothing.
void SortGridByValue(int32_t Col, bool Descending, platform::TStringGridModel& Grid);
// The same by the DateSortKey of column Col.
void SortGridByDate(int32_t Col, bool Descending, platform::TStringGridModel& Grid);
// The same, letting the pump through every few rows of a long sort (the
// evaluation sorts while its window must stay responsive).
void SortGridByValue(int32_t Col, bool Descending, platform::TStringGridModel& Grid, platform::MessagePump* Pump);
void SortGridByDate(int32_t Col, bool Descending, platform::TStringGridModel& Grid, platform::MessagePump* Pump);
// Selection := first non-fixed column and row to the last column and row.
void GridSelectAll(platform::TStringGridModel& Grid);
