#include "platform/Printer.h"

#include "platform/Hooks.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

QString PdfTargetName()
{
    return QStringLiteral("PDF");
}

TPrinterService::~TPrinterService() = default;

bool TPrinterService::BeginDoc()
{
    return Canvas().BeginDoc(title_);
}

bool TPrinterService::EndDoc()
{
    return Canvas().EndDoc();
}

// ---- TPdfPrinter ---------------------------------------------------------------

TPdfPrinter::TPdfPrinter() = default;
TPdfPrinter::~TPdfPrinter() = default;

QStringList TPdfPrinter::Targets() const
{
    return {PdfTargetName()};
}

QString TPdfPrinter::Target() const
{
    return PdfTargetName();
}

bool TPdfPrinter::SetTarget(const QString& target)
{
    return target == PdfTargetName();
}

QString TPdfPrinter::PdfFileName() const
{
    return pdf_.FileName();
}

void TPdfPrinter::SetPdfFileName(const QString& fileName)
{
    if (!pdf_.Printing())
        pdf_.SetFileName(fileName);
}

int TPdfPrinter::Orientation() const
{
    return pdf_.Orientation();
}

void TPdfPrinter::SetOrientation(int orientation)
{
    pdf_.SetOrientation(orientation);
}

TPrintCanvas& TPdfPrinter::Canvas()
{
    return pdf_;
}

// ---- The program's printer -----------------------------------------------------

namespace {

std::unique_ptr<TPrinterService>& Installed()
{
    static std::unique_ptr<TPrinterService> printer;
    return printer;
}

int& RunningJobs()
{
    static int jobs = 0;
    return jobs;
}

} // namespace

TPrinterService& Printer()
{
    auto& p = Installed();
    if (!p)
        p = std::make_unique<TPdfPrinter>();
    return *p;
}

void SetPrinter(std::unique_ptr<TPrinterService> printer)
{
    Installed() = std::move(printer);
}

TOrientationKeeper::TOrientationKeeper(TPrinterService& printer, int orientation)
    : printer_(printer), saved_(printer.Orientation())
{
    printer_.SetOrientation(orientation);
}

TOrientationKeeper::~TOrientationKeeper()
{
    printer_.SetOrientation(saved_);
}

bool PrintJobRunning()
{
    return RunningJobs() > 0;
}

TPrintJobGuard::TPrintJobGuard() : acquired_(RunningJobs() == 0)
{
    if (acquired_)
        ++RunningJobs();
}

TPrintJobGuard::~TPrintJobGuard()
{
    if (acquired_)
        --RunningJobs();
}

QString AskPdfFileName(const QString& jobName, const QString& previousFile)
{
    QString dir;
    if (!previousFile.isEmpty()) {
        const QFileInfo info(previousFile);
        if (previousFile.contains(QLatin1Char('/')) || previousFile.contains(QLatin1Char('\\')))
            dir = info.absolutePath();
    }
    if (dir.isEmpty())
        dir = QDir::homePath();
    QString name = jobName.isEmpty() ? QStringLiteral("Ausgabe") : jobName;
    // A job name is no path: keep its separators out of the proposal.
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));

    TFileDialogRequest request;
    request.Filter = QStringLiteral("PDF-Dateien (*.pdf)|*.pdf");
    request.FilterIndex = 1;
    request.InitialDir = dir;
    request.FileName = name + QStringLiteral(".pdf");
    request.DefaultExt = QStringLiteral("pdf");
    const THooks& h = Hooks();
    if (!h.SaveFileDialog)
        return QString();
    const TFileDialogAnswer answer = h.SaveFileDialog(request);
    if (!answer.Accepted)
        return QString();
    return answer.FileName;
}

} // namespace platform
