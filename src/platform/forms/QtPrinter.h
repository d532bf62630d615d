#pragma once
// The program's printer over QPrinter: the printer queues of the system and,
// as the last target, PDF files through the core PDF canvas. Installed as the
// program's printer by InstallDefaultHooks.
#include "platform/Printer.h"

#include <memory>

class QPrinter;

namespace platform {

class TQtPrinter : public TPrinterService {
public:
    TQtPrinter();
    ~TQtPrinter() override;

    QStringList Targets() const override;
    QString Target() const override;
    bool SetTarget(const QString& target) override;
    QString PdfFileName() const override;
    void StorePdfFileName(const QString& fileName) override;
    int Orientation() const override;
    void SetOrientation(int orientation) override;
    TPrintCanvas& Canvas() override;
    QSize PaperSize() const override;
    QPoint PageOffset() const override;

    // The printer object of the queue targets.
    QPrinter& QueuePrinter();

private:
    // Follows CUPS's default queue until a target was chosen, and leaves a
    // chosen queue that is gone.
    void FollowQueues(const QStringList& queues);
    class TQueueCanvas;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<TQueueCanvas> queue_;
    TPdfCanvas pdf_;
    QString target_;
    int orientation_ = 0;
    bool chosen_ = false;        // the target was set, not taken as the default
};

} // namespace platform
