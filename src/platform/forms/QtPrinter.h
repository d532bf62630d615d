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

    // The printer object of the queue targets.
    QPrinter& QueuePrinter();

private:
    class TQueueCanvas;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<TQueueCanvas> queue_;
    TPdfCanvas pdf_;
    QString target_;
    int orientation_ = 0;
};

} // namespace platform
