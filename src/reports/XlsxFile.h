#pragma once
// Writes a workbook of the spreadsheet report as an XLSX file through
// libxlsxwriter. The library runs in its constant-memory mode: the rows go to
// its temporary file one after another as the model holds them, so a sheet of
// a million cells costs it a few megabytes. Every call that can fail is
// checked; a failure stops the writing, removes the half-written file and
// answers the library's reason.
#include "reports/Workbook.h"

#include <QString>
#include <QStringView>

namespace reports {

// The file format's number format code for one of the report's format texts:
// "0" followed by the report's decimal separator and zeros becomes "0." and
// the zeros; the German date letters ("TT.MM.JJJJ") and the short-date
// letters of the platform ("dd.MM.yyyy", "M/d/yyyy") become the file's letters
// ("dd.mm.yyyy", "m/d/yyyy"), a time "hh:mm" stays, "@" stays. Empty gives
// empty (general).
QString XlsxNumberFormatCode(const QString& reportFormat);

// A cell text as the file holds it: a character XML 1.0 cannot hold (NUL,
// the other control characters but TAB, LF and CR, U+FFFE, U+FFFF, half a
// surrogate pair) would make the sheet ill-formed, and a spreadsheet program
// then drops every row after it; such a character is written as U+FFFD. A
// text "_xHHHH_" would be read as the character HHHH: its underscore is
// written as the escape "_x005F_". XlsxCellTextDiffers tells whether the
// text needs either.
bool XlsxCellTextDiffers(QStringView text);
QString XlsxCellText(QStringView text);

// Writes the workbook to fileName; false with the reason in *error on failure.
bool WriteXlsxFile(const TWorkbook& workbook, const QString& fileName, QString* error = nullptr);

} // namespace reports
