#include "reports/ZT_BerEx.h"

// Each back end built into the program registers its kind here:
//   RegisterReportFactory(ReportKindEditor, ...);         the built-in editor
//   RegisterReportFactory(ReportKindWordProcessor, ...);  the word processor
//   RegisterReportFactory(ReportKindSpreadsheet, ...);    the spreadsheet
void InstallReportBackends()
{
}
