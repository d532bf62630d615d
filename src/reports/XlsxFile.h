#pragma once
// Writes a workbook of the spreadsheet report as an XLSX file through
// libxlsxwriter. The library runs in its constant-memory mode: the rows go to
// its temporary file one after another as the model holds them, so a sheet of
// a million cells costs it a few megabytes. Every call that can fail is
// checked; a failure stops the writing, removes the half-written file and
// answers the library's reason.
#include "reports/Workbook.h"

#include <QString>

namespace reports {

// The file format's number format code for one of the report's format texts:
// "0" followed by the report's decimal separator and zeros becomes "0." and
// the zeros; the German date letters ("TT.MM.JJJJ") and the short-date
// letters of the platform ("dd.MM.yyyy", "M/d/yyyy") become the file's letters
// ("dd.mm.yyyy", "m/d/yyyy"), a time "hh:mm" stays, "@" stays. Empty gives
// empty (general).
QString XlsxNumberFormatCode(const QString& reportFormat);

// Writes the workbook to fileName; false with the reason in *error on failure.
bool WriteXlsxFile(const TWorkbook& workbook, const QString& fileName, QString* error = nullptr);

} // namespace reports
