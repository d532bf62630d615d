#pragma once
// The small progress box of rich-text printing: a status line, the job's
// title and the page number, on top of the other windows while a print or
// preview job runs. The printer creates it at the first progress report of
// a job (while its ShowProgress is on) and frees it after the job.
#include "reports/RichPrinter.h"

#include <QDialog>
#include <QPointer>

class QLabel;

class TRichPrntProgDlg : public QDialog, public reports::TRichPrintProgress {
    Q_OBJECT
public:
    // Owned by the application: a window of its own, no parent.
    TRichPrntProgDlg();
    ~TRichPrntProgDlg() override;

    // Shows the box and puts the report into its labels (an empty status
    // keeps the last one).
    void Report(const QString& status, const QString& title, int pageNumber) override;

    QPointer<QLabel> lblStatus;
    QPointer<QLabel> lblTitle;
    QPointer<QLabel> Label1;            // "Page Number:"
    QPointer<QLabel> lblPageNumber;
};

// The window of the box while one exists (for the tests), else null.
TRichPrntProgDlg* CurrentRichPrntProgDlg();

// Makes every rich-text printer's progress box this window.
void InstallRichPrintProgressBox();
