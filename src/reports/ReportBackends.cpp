#include "reports/ZT_BerEx.h"

// Each back end built into the program registers its kind here:
//   (the built-in editor, kind 0, is a window: InstallEditorReportBackend in
//   reports/forms/ZT_BerKo.h registers it, called by the main block)
//   RegisterReportFactory(ReportKindWordProcessor, ...);  the word processor
//   RegisterReportFactory(ReportKindSpreadsheet, ...);    the spreadsheet
void InstallReportBackends()
{
}
