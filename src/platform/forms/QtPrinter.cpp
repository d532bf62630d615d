#include "platform/forms/QtPrinter.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace platform {

// A printer queue: the painter canvas on the QPrinter.
class TQtPrinter::TQueueCanvas : public TPainterCanvas {
public:
    explicit TQueueCanvas(QPrinter& printer) : printer_(printer) {}
    ~TQueueCanvas() override
    {
        if (Printing())
            EndDoc();
    }

protected:
    QPaintDevice* OpenDevice(const QString& title) override
    {
        printer_.setDocName(title);
        printer_.setOutputFormat(QPrinter::NativeFormat);
        if (!printer_.isValid())
            return nullptr;
        return &printer_;
    }
    bool DeviceNewPage() override { return printer_.newPage(); }
    bool CloseDevice(bool painterOk) override { return painterOk && printer_.printerState() != QPrinter::Error; }
    QPaintDevice* IdleDevice() const override { return &printer_; }

private:
    QPrinter& printer_;
};

TQtPrinter::TQtPrinter()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      queue_(std::make_unique<TQueueCanvas>(*printer_))
{
    const QString def = QPrinterInfo::defaultPrinterName();
    target_ = def.isEmpty() ? PdfTargetName() : def;
    if (!def.isEmpty())
        printer_->setPrinterName(def);
}

TQtPrinter::~TQtPrinter() = default;

QStringList TQtPrinter::Targets() const
{
    QStringList targets = QPrinterInfo::availablePrinterNames();
    targets.removeAll(PdfTargetName());
    const_cast<TQtPrinter*>(this)->FollowQueues(targets);
    targets << PdfTargetName();
    return targets;
}

void TQtPrinter::FollowQueues(const QStringList& queues)
{
    if (Canvas().Printing())
        return;
    // A chosen queue that went away is no choice any more.
    if (chosen_ && target_ != PdfTargetName() && !queues.contains(target_))
        chosen_ = false;
    if (chosen_)
        return;
    // Until the user chooses, the target is the default queue CUPS reports
    // now: a printer set up after the program started is the one offered.
    const QString def = QPrinterInfo::defaultPrinterName();
    const QString wanted = queues.contains(def) ? def : PdfTargetName();
    if (wanted == target_)
        return;
    target_ = wanted;
    if (wanted != PdfTargetName())
        printer_->setPrinterName(wanted);
    SetOrientation(orientation_);
}

QString TQtPrinter::Target() const
{
    return target_;
}

bool TQtPrinter::SetTarget(const QString& target)
{
    if (target == target_) {
        chosen_ = true;
        return true;
    }
    if (Canvas().Printing() || !Targets().contains(target))
        return false;
    chosen_ = true;
    target_ = target;
    if (target != PdfTargetName())
        printer_->setPrinterName(target);
    SetOrientation(orientation_);
    return true;
}

QString TQtPrinter::PdfFileName() const
{
    return pdf_.FileName();
}

void TQtPrinter::StorePdfFileName(const QString& fileName)
{
    if (!pdf_.Printing())
        pdf_.SetFileName(fileName);
}

int TQtPrinter::Orientation() const
{
    return orientation_;
}

void TQtPrinter::SetOrientation(int orientation)
{
    orientation_ = orientation == 1 ? 1 : 0;
    pdf_.SetOrientation(orientation_);
    if (!queue_->Printing())
        printer_->setPageOrientation(orientation_ == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

TPrintCanvas& TQtPrinter::Canvas()
{
    if (target_ == PdfTargetName())
        return pdf_;
    return *queue_;
}

QSize TQtPrinter::PaperSize() const
{
    if (target_ == PdfTargetName())
        return TPrinterService::PaperSize();
    return printer_->paperRect(QPrinter::DevicePixel).toRect().size();
}

QPoint TQtPrinter::PageOffset() const
{
    if (target_ == PdfTargetName())
        return TPrinterService::PageOffset();
    // The queue's unprintable edges: the page lies this far inside the paper.
    return printer_->pageRect(QPrinter::DevicePixel).toRect().topLeft();
}

QPrinter& TQtPrinter::QueuePrinter()
{
    return *printer_;
}

} // namespace platform
