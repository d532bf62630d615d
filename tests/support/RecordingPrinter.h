#pragma once
// A printer for tests: the program's printer service over a recording canvas.
// Installing a ScopedRecordingPrinter makes it the program's printer for its
// lifetime; the page is 4960 x 7016 pixels (A4 at 600 dpi) in portrait and
// the other way round in landscape.
#include "platform/PrintCanvas.h"
#include "platform/Printer.h"

#include <memory>

namespace testsupport {

class RecordingPrinter : public platform::TPrinterService {
public:
    RecordingPrinter() : canvas_(4960, 7016, 600) {}
    QStringList Targets() const override { return {QStringLiteral("Drucker 1"), platform::PdfTargetName()}; }
    QString Target() const override { return target_; }
    bool SetTarget(const QString& target) override
    {
        if (!Targets().contains(target))
            return false;
        target_ = target;
        return true;
    }
    QString PdfFileName() const override { return pdf_; }
    void StorePdfFileName(const QString& fileName) override { pdf_ = fileName; }
    int Orientation() const override { return orientation_; }
    void SetOrientation(int orientation) override
    {
        orientation_ = orientation == 1 ? 1 : 0;
        if (orientation_ == 1)
            canvas_.SetPageSize(7016, 4960);
        else
            canvas_.SetPageSize(4960, 7016);
    }
    platform::TPrintCanvas& Canvas() override { return canvas_; }
    platform::TRecordingCanvas& Recording() { return canvas_; }

private:
    platform::TRecordingCanvas canvas_;
    QString target_ = QStringLiteral("Drucker 1");
    QString pdf_;
    int orientation_ = 0;
};

// Installs a RecordingPrinter as the program's printer; the core default comes
// back at the end.
class ScopedRecordingPrinter {
public:
    ScopedRecordingPrinter()
    {
        auto p = std::make_unique<RecordingPrinter>();
        printer_ = p.get();
        platform::SetPrinter(std::move(p));
    }
    ~ScopedRecordingPrinter() { platform::SetPrinter(nullptr); }
    ScopedRecordingPrinter(const ScopedRecordingPrinter&) = delete;
    ScopedRecordingPrinter& operator=(const ScopedRecordingPrinter&) = delete;
    RecordingPrinter& operator*() { return *printer_; }
    RecordingPrinter* operator->() { return printer_; }

private:
    RecordingPrinter* printer_;
};

} // namespace testsupport
