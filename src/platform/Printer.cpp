#include "platform/Printer.h"

#include "platform/Hooks.h"
#include "platform/PlatformTexts.h"

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
    cancelled_ = false;
    if (Target() == PdfTargetName() && !Printing()) {
        if (!pdfChosen_) {
            const QString name = AskPdfFileForJob(title_, PdfFileName());
            if (name.isEmpty()) {
                cancelled_ = true;
                return false;
            }
            StorePdfFileName(name);
        }
        // The file chosen is this job's; the next one asks again.
        pdfChosen_ = false;
    }
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

void TPdfPrinter::StorePdfFileName(const QString& fileName)
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

std::function<bool(const QString&)>& OverwriteQuestion()
{
    static std::function<bool(const QString&)> question;
    return question;
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

namespace {

// The chosen name, or empty when it names an existing file that the user will
// not have overwritten.
QString MayOverwrite(const QString& chosen)
{
    if (chosen.isEmpty())
        return QString();
    if (QFileInfo::exists(chosen) && OverwriteQuestion() && !OverwriteQuestion()(chosen))
        return QString();
    return chosen;
}

} // namespace

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
    request.Filter = PlatformText(TPlatformText::PdfFilter);
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
    return MayOverwrite(answer.FileName);
}

QString AskPdfFileForJob(const QString& jobName, const QString& lastFile)
{
    QString chosen;
    if (lastFile.isEmpty()) {
        return AskPdfFileName(jobName, QString());
    } else {
        const QFileInfo last(lastFile);
        const THooks& h = Hooks();
        if (!h.SaveFileDialog)
            return QString();
        TFileDialogRequest request;
        request.Filter = PlatformText(TPlatformText::PdfFilter);
        request.FilterIndex = 1;
        request.InitialDir = last.absolutePath();
        request.FileName = last.fileName();
        request.DefaultExt = QStringLiteral("pdf");
        const TFileDialogAnswer answer = h.SaveFileDialog(request);
        if (answer.Accepted)
            chosen = answer.FileName;
    }
    return MayOverwrite(chosen);
}

void SetPdfOverwriteQuestion(std::function<bool(const QString& fileName)> question)
{
    OverwriteQuestion() = std::move(question);
}

} // namespace platform
