#pragma once
// Sorting the data rows of a string grid by the text of one column or by a
// date column, and marking all data cells. The fixed rows never move; a row
// moves as a whole, the hidden marker column included.
#include "platform/StringGrid.h"

namespace platform { class MessagePump; }

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

// Key of a date text: its parts separated by '.' or '/' in reverse order,
// joined without separator ("31.12.2005" gives "20051231", "1/2/2005" gives
// "200521"; a time after the year stays with the year).
QString DateSortKey(const QString& text);
QString DateSortKey(QStringView text);

// Sort weights of a text: each character's Windows-1252 code; characters
// outside Windows-1252 follow all of them, by code point. Comparing two weight
// strings orders texts by character codes, a prefix first.
std::u32string TextSortWeights(const QString& text);
std::u32string TextSortWeights(QStringView text);

// Sorts the data rows (FixedRows..RowCount-1) by the text of column Col. A
// column outside the grid's columns sorts nothing.
void SortGridByValue(int32_t Col, bool Descending, platform::TStringGridModel& Grid);
// The same by the time stamp each text of column Col reads as with the
// platform's date and time formats (whole seconds; a date alone reads as its
// midnight), in every locale. Texts that read as no date sort before all
// dates, by their DateSortKey.
void SortGridByDate(int32_t Col, bool Descending, platform::TStringGridModel& Grid);
// Whether text reads as a number: blanks and control characters around it
// ignored, a sign, digits with ',' or '.' as the decimal separator (when
// both occur, the last one is the decimal separator and the others group
// the thousands before it; one kind occurring more than once groups). A
// bracketed text "( 0.0000)", as the difference next to a special event
// reads, reads as the number inside its brackets.
bool ReadCellNumber(QStringView text, double& value);
// Whether any data cell of column Col reads as a number.
bool ColumnHoldsNumbers(int32_t Col, const platform::TStringGridModel& Grid);
// The same by the value each text of column Col reads as (ReadCellNumber).
// Texts that read as no number sort before all numbers, by their texts.
void SortGridByNumber(int32_t Col, bool Descending, platform::TStringGridModel& Grid);
// The same, letting the pump through every few rows of a long sort (the
// evaluation sorts while its window must stay responsive).
void SortGridByValue(int32_t Col, bool Descending, platform::TStringGridModel& Grid, platform::MessagePump* Pump);
void SortGridByDate(int32_t Col, bool Descending, platform::TStringGridModel& Grid, platform::MessagePump* Pump);
// A row's sort key kept beside the grid instead of as a cell text: a whole
// number whose digits all have fixed places (a time stamp "yyyymmddhhmmss")
// followed by the sort weights of a text. Keys compare as the texts "number
// digits + text" would in SortGridByValue.
struct TRowSortKey {
    int64_t number = 0;
    std::u32string tail;   // TextSortWeights of the text after the digits
    int compare(const TRowSortKey& other) const
    {
        if (number != other.number)
            return number < other.number ? -1 : 1;
        return tail.compare(other.tail);
    }
};
// Sorts the data rows (FixedRows..RowCount-1) by Keys (Keys[i] belongs to row
// FixedRows + i and moves with it), exchanging rows exactly as SortGridByValue
// does on the key texts. Keys must hold one key per data row.
void SortGridByRowKeys(std::vector<TRowSortKey>& Keys, bool Descending, platform::TStringGridModel& Grid,
                       platform::MessagePump* Pump);
// Selection := first non-fixed column and row to the last column and row.
void GridSelectAll(platform::TStringGridModel& Grid);
