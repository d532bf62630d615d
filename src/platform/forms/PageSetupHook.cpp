// The page-setup hook's default: Qt's page setup dialog on the request's
// printer, or on a PDF printer of its own when the request brings none.
#include "platform/forms/DefaultHooks.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <cmath>
#include <memory>

namespace platform {

TPageSetupAnswer QtPageSetupDialog(const TPageSetupRequest& request)
{
    std::unique_ptr<QPrinter> own;
    QPrinter* printer = static_cast<QPrinter*>(request.Printer);
    if (!printer) {
        own = std::make_unique<QPrinter>(QPrinter::HighResolution);
        own->setOutputFormat(QPrinter::PdfFormat);
        printer = own.get();
    }
    const double scale = request.Millimeters ? 100.0 : 1000.0;
    const QPageLayout::Unit unit = request.Millimeters ? QPageLayout::Millimeter : QPageLayout::Inch;
    printer->setPageOrientation(request.Orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(request.MarginLeft / scale, request.MarginTop / scale,
                                      request.MarginRight / scale, request.MarginBottom / scale),
                            unit);
    QPageSetupDialog dialog(printer, QApplication::activeWindow());
    TPageSetupAnswer answer;
    if (dialog.exec() != QDialog::Accepted)
        return answer;
    const QPageLayout layout = printer->pageLayout();
    const QMarginsF m = layout.margins(unit);
    answer.Accepted = true;
    answer.MarginLeft = int(std::lround(m.left() * scale));
    answer.MarginTop = int(std::lround(m.top() * scale));
    answer.MarginRight = int(std::lround(m.right() * scale));
    answer.MarginBottom = int(std::lround(m.bottom() * scale));
    answer.Orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
    return answer;
}

} // namespace platform
