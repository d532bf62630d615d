#pragma once
// The program's one printer. Core code prints through it without knowing
// whether the pages go to a printer queue or a PDF file: it asks for the page
// size in device pixels, begins a job, draws each page on Canvas(), calls
// NewPage() between pages and ends the job.
//
//     platform::TPrinterService& p = platform::Printer();
//     platform::TOrientationKeeper keep(p, GraphicsSettings.PrintOrientation);
//     p.SetTitle("ZT_Druckerausgabe");
//     if (!p.BeginDoc()) { ... message ... }
//     QPainter* painter = p.Canvas().Painter();   // chart and rich text
//     ... p.NewPage() ... p.EndDoc();
//
// The core default prints to PDF files only; the ui installs the adapter over
// QPrinter (platform/forms/QtPrinter.h) through InstallDefaultHooks, which adds
// the printer queues as targets.
#include "platform/PrintCanvas.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace platform {

// The target name of PDF output, offered after the printer queues.
QString PdfTargetName();

class TPrinterService {
public:
    virtual ~TPrinterService();

    // Printer queues the program can print to, then "PDF".
    virtual QStringList Targets() const = 0;
    virtual QString Target() const = 0;
    // False for a target not among Targets(); the target stays.
    virtual bool SetTarget(const QString& target) = 0;

    // The file a job on the PDF target writes. A name set here (by a print
    // dialog, or by a caller that asked for it) is the file of the next job.
    // A job begun on the PDF target without one asks for the file through
    // the save dialog, proposing the last one, and whether an existing file
    // may be overwritten: no job writes over an earlier printout unasked.
    virtual QString PdfFileName() const = 0;
    void SetPdfFileName(const QString& fileName)
    {
        pdfChosen_ = !fileName.isEmpty();
        StorePdfFileName(fileName);
    }
    // The name set stays the proposal, but the next job asks for its file
    // again: called when the job the name was chosen for ends without using
    // it (a text file, nothing in range), and by jobs with no dialog of their
    // own, whose file was never chosen for them.
    void ForgetPdfChoice() { pdfChosen_ = false; }
    bool PdfChosen() const { return pdfChosen_; }

    // 0 portrait, 1 landscape. Page sizes follow the orientation. Callers that
    // change it for a job put the previous one back (TOrientationKeeper).
    virtual int Orientation() const = 0;
    virtual void SetOrientation(int orientation) = 0;

    // The printable page of the current target in device pixels, and its dpi.
    int PageWidth() const { return const_cast<TPrinterService*>(this)->Canvas().PageWidth(); }
    int PageHeight() const { return const_cast<TPrinterService*>(this)->Canvas().PageHeight(); }
    int Resolution() const { return const_cast<TPrinterService*>(this)->Canvas().Resolution(); }
    // The whole sheet in device pixels, and where the printable page lies on
    // it (drawing at 0,0 lands there). A printer queue cannot print up to the
    // paper's edges; a PDF file can, so there both are the page.
    virtual QSize PaperSize() const { return QSize(PageWidth(), PageHeight()); }
    virtual QPoint PageOffset() const { return QPoint(0, 0); }

    // The job title the next job is begun with.
    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }

    // The canvas of the current target: measuring works at any time, drawing
    // between BeginDoc and EndDoc. The same object until the target changes.
    virtual TPrintCanvas& Canvas() = 0;

    // Begins a job with Title(); false when it cannot begin (no PDF file name,
    // a file that cannot be written, a printer that refuses) or when the user
    // cancelled the question for the PDF file (BeginCancelled(): nothing to
    // report then).
    bool BeginDoc();
    bool BeginCancelled() const { return cancelled_; }
    bool NewPage() { return Canvas().NewPage(); }
    bool EndDoc();
    bool Printing() { return Canvas().Printing(); }

protected:
    virtual void StorePdfFileName(const QString& fileName) = 0;

private:
    QString title_;
    bool pdfChosen_ = false;
    bool cancelled_ = false;
};

// The core default: A4 at 600 dpi into PDF files.
class TPdfPrinter : public TPrinterService {
public:
    TPdfPrinter();
    ~TPdfPrinter() override;
    QStringList Targets() const override;
    QString Target() const override;
    bool SetTarget(const QString& target) override;
    QString PdfFileName() const override;
    int Orientation() const override;
    void SetOrientation(int orientation) override;
    TPrintCanvas& Canvas() override;

protected:
    void StorePdfFileName(const QString& fileName) override;

private:
    TPdfCanvas pdf_;
};

// The program's printer; a TPdfPrinter until one is installed.
TPrinterService& Printer();
// Installs the program's printer (nullptr puts the core default back).
void SetPrinter(std::unique_ptr<TPrinterService> printer);

// Sets the printer's orientation for a job and puts the previous one back at
// the end of the scope.
class TOrientationKeeper {
public:
    TOrientationKeeper(TPrinterService& printer, int orientation);
    ~TOrientationKeeper();
    TOrientationKeeper(const TOrientationKeeper&) = delete;
    TOrientationKeeper& operator=(const TOrientationKeeper&) = delete;
    int Saved() const { return saved_; }
private:
    TPrinterService& printer_;
    int saved_;
};

// Whether a print job (printer, PDF or text file) is running: a second job is
// refused then, and the main window does not close.
bool PrintJobRunning();
// Marks a job as running for its scope; Acquired() is false when another job
// was running already (the guard then marks nothing).
class TPrintJobGuard {
public:
    TPrintJobGuard();
    ~TPrintJobGuard();
    TPrintJobGuard(const TPrintJobGuard&) = delete;
    TPrintJobGuard& operator=(const TPrintJobGuard&) = delete;
    bool Acquired() const { return acquired_; }
private:
    bool acquired_;
};

// The PDF file name proposed for a job: the job name with ".pdf" in the
// directory of previousFile, or in the home directory when previousFile has
// none. Asked through the save-dialog hook; an existing file only when the
// overwrite question answers yes. Empty when cancelled.
QString AskPdfFileName(const QString& jobName, const QString& previousFile);

// The file of a job begun without a print dialog: the last file proposed as
// it is (else the job name with ".pdf" in the home directory), and an existing
// file only when the overwrite question answers yes. Empty when cancelled.
QString AskPdfFileForJob(const QString& jobName, const QString& lastFile);
// The question whether an existing file may be overwritten (the program's
// message for it; installed with the default hooks). Unset: never asked.
void SetPdfOverwriteQuestion(std::function<bool(const QString& fileName)> question);

} // namespace platform
