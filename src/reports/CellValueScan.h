#pragma once
// How the spreadsheet report reads the texts of table cells: numbers with a
// decimal point or a decimal comma, the scan of the first value columns that
// decides whether the value block goes in as numbers and with how many
// decimals, and the classification of a text that is no plain number (a date,
// a time, both, or a number hidden among other characters).
//
// Nothing here changes a program-wide setting: every text is read with the
// separator it holds itself.
#include "platform/LocaleFormats.h"
#include "platform/StringGrid.h"

#include <QChar>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace reports {

// The text without leading and trailing blanks and control characters.
QStringView TrimCellText(QStringView text);

// Reads a number written with '.' or ',' as its decimal separator, whichever
// the text holds (a text holding both is no number): an optional sign, digits,
// an optional fraction and an optional exponent, nothing else. Infinite and
// not-a-number results are refused.
bool ConvertReportNumber(QStringView text, double& value);

// The decimal separator of the user's locale, used in the report's format
// texts ("0,00" under a German locale). Tests set it; an unset override (the
// null character) goes back to the locale's.
QChar SystemDecimalSeparator();
void SetSystemDecimalSeparatorOverride(QChar separator);

// The scan of the value columns (the first three from firstCol): every
// non-empty cell of a data row must be a number, else the answer is false and
// the scan goes on with the next column. Each cell with a separator that reads
// sets numberFormatText to "0", systemSeparator and as many zeros as the cell
// has characters behind its separator (at most 12 characters in all); the last
// such cell decides. Cells that are empty after trimming are passed over.
bool ScanValueColumns(const platform::TStringGridModel& grid, int firstCol, QString& numberFormatText,
                      QChar systemSeparator);

enum class TCellTextKind : uint8_t { Empty = 0, Date = 1, Time = 2, DateTime = 3, Number = 4 };

struct TCellClass {
    TCellTextKind Kind = TCellTextKind::Empty;
    double Value = 0;       // days since 30.12.1899 for dates and times
    bool Converted = false; // false: the text is no value at all (write it as text)
};

// Classifies a trimmed text that did not read as a number: a date in the
// platform's short date format, a time (h:mm or h:mm:ss), a date with a time,
// or else the digits, ',', '-' and '.' it holds read as a number. A date that
// the spreadsheet cannot show (before 1 March 1900) is no value.
TCellClass ClassifyCellText(QStringView trimmed, const platform::LocaleFormats& formats);

// The time stamps of the fixed columns ("01.09.2026 00:15:00") go into the
// spreadsheet as its date-time values, shown as they were written.
enum class TStampShape : uint8_t { None, Date, DateMinutes, DateSeconds };

// Reads a trimmed fixed-column text that is a date, or a date with a time, in
// the platform's formats; None for anything else (a time alone, a number, a
// text, a date the spreadsheet cannot show). The shape tells whether the text
// shows a time, and whether with seconds. cache belongs to formats (see
// LocaleFormats::DateParseCache): a column of stamps of few days reads fast.
TStampShape ReadStampCell(QStringView trimmed, const platform::LocaleFormats& formats,
                          platform::LocaleFormats::DateParseCache& cache, double& value);

// The report format text that shows a stamp of that shape as the platform
// writes it: its short date ("dd.MM.yyyy", years always with four digits),
// then its long time ("HH:mm:ss") without the seconds for DateMinutes.
QString StampFormatText(const platform::LocaleFormats& formats, TStampShape shape);

} // namespace reports
