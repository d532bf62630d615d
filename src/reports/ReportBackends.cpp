#include "reports/ZT_BerEx.h"
#include "reports/ZT_BerWd.h"
#include "reports/ZT_BerXL.h"

// Each back end built into the program registers its kind here:
//   (the built-in editor, kind 0, is a window: InstallEditorReportBackend in
//   reports/forms/ZT_BerKo.h registers it, called by the main block)
//   RegisterReportFactory(ReportKindWordProcessor, ...);  the word processor
//   RegisterReportFactory(ReportKindSpreadsheet, ...);    the spreadsheet
void InstallReportBackends()
{
    RegisterReportFactory(ReportKindWordProcessor,
                          [](const QString& title, const QString& fileName, const TReportCallback& callback) {
                              return std::make_unique<TBer_Intf_MsWord97>(title, fileName, callback);
                          });
    RegisterReportFactory(ReportKindSpreadsheet,
                          [](const QString& title, const QString& fileName, const TReportCallback& callback) {
                              return std::make_unique<TBer_Intf_MsExcel97>(title, fileName, callback);
                          });
}
