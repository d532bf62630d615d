// Main block: create the main window and run the message loop until it closes.
#include <QApplication>

#include "base/forms/ProgramHooks.h"
#include "evaluation/forms/AV_Haupt.h"
#include "platform/forms/DefaultHooks.h"
#include "reports/ZT_BerEx.h"
#include "reports/forms/RichPrntProgDlg.h"
#include "reports/forms/ZT_BerKo.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("valdran"));
    platform::InstallDefaultHooks();
    InstallProgramHooks();
    InstallReportBackends();
    InstallEditorReportBackend();   // a window, so registered from the ui side
    InstallRichPrintProgressBox();  // likewise the printing's progress box
    auto* window = new TAV_HauptFormular;
    window->show();
    const int rc = QApplication::exec();
    delete window;
    return rc;
}
