// The program's printer over a real CUPS queue: which targets the print
// dialog offers and preselects, and the page the queue reports (a printable
// area inside the paper) as the printer object and rich-text printing see it.
#include "CupsQueue.h"

#include "evaluation/forms/ZT_TbAus.h"
#include "output/GraphicsSettings.h"
#include "platform/forms/PrintDialog.h"
#include "reports/RichPrinter.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <gtest/gtest.h>

using namespace platform;
using cupstest::QueueName;

namespace {

// The print dialog request of the table window's print button (the dialog
// itself is cancelled).
TPrintDialogRequest TableWindowRequest(testsupport::FakeHooks& fakes)
{
    DefaultGraphicsSettings(GraphicsSettings);
    TTableOutputParams params;
    DefaultTableOutputParams(params);
    TTabAus_Form form;
    form.InitTableWindow(params);
    auto& grid = form.Model().Grid();
    grid.SetRowCount(20);
    grid.SetColCount(2);
    grid.SetFixedRows(1);
    form.DruckKnopfClick();
    return fakes.printRequests.empty() ? TPrintDialogRequest{} : fakes.printRequests.back();
}

// A second queue for one test, removed at its end whatever happens.
struct ExtraQueue {
    explicit ExtraQueue(QString n) : name(std::move(n)) {}
    ~ExtraQueue() { cupstest::Server()->RemoveQueue(name); }
    QString name;
};

} // namespace

TEST(QueueTargets, TheTableWindowsDialogListsTheQueuesAndPreselectsTheDefault)
{
    REQUIRE_CUPS_QUEUE();
    // A second queue sorted before the default one: the default is chosen
    // for being the default, not for being first.
    ExtraQueue other(QStringLiteral("Buero_Test"));
    QString error;
    ASSERT_TRUE(cupstest::Server()->AddQueue(other.name, false, &error)) << error.toStdString();

    testsupport::FakeHooks fakes;
    cupstest::ScopedQtPrinter printer;
    const TPrintDialogRequest request = TableWindowRequest(fakes);
    EXPECT_EQ(request.Targets, (QStringList{other.name, QueueName, PdfTargetName()}));
    EXPECT_EQ(request.Target, QueueName);

    TPrintDialogForm dialog(request);
    EXPECT_EQ(dialog.Target->count(), 3);
    EXPECT_EQ(dialog.Target->currentText(), QueueName);
    EXPECT_TRUE(dialog.NoPrinterLabel->isHidden());
    EXPECT_EQ(dialog.Answer(true).Target, QueueName);
}

TEST(QueueTargets, WithoutAQueuePdfStaysTheOnlyTarget)
{
    REQUIRE_CUPS_QUEUE();
    QString error;
    ASSERT_TRUE(cupstest::Server()->RemoveQueue(QueueName, &error)) << error.toStdString();

    testsupport::FakeHooks fakes;
    cupstest::ScopedQtPrinter printer;
    EXPECT_EQ(printer->Targets(), QStringList{PdfTargetName()});
    EXPECT_EQ(printer->Target(), PdfTargetName());
    const TPrintDialogRequest request = TableWindowRequest(fakes);
    EXPECT_EQ(request.Targets, QStringList{PdfTargetName()});
    EXPECT_EQ(request.Target, PdfTargetName());
    TPrintDialogForm dialog(request);
    EXPECT_EQ(dialog.Target->count(), 1);
    EXPECT_EQ(dialog.Target->currentText(), PdfTargetName());
    EXPECT_FALSE(dialog.NoPrinterLabel->isHidden());
}

TEST(QueueTargets, AQueueSetUpWhileTheProgramRunsBecomesTheTargetUntilTheUserChoosesAnother)
{
    REQUIRE_CUPS_QUEUE();
    QString error;
    ASSERT_TRUE(cupstest::Server()->RemoveQueue(QueueName, &error)) << error.toStdString();
    testsupport::FakeHooks fakes;
    cupstest::ScopedQtPrinter printer;
    ASSERT_EQ(printer->Target(), PdfTargetName());

    // The printer is set up (or CUPS comes up) after the program started.
    ASSERT_TRUE(cupstest::Server()->AddQueue(QueueName, true, &error)) << error.toStdString();
    TPrintDialogRequest request = TableWindowRequest(fakes);
    EXPECT_EQ(request.Targets, (QStringList{QueueName, PdfTargetName()}));
    EXPECT_EQ(request.Target, QueueName);

    // A choice of the user's stays, even against the default.
    ASSERT_TRUE(printer->SetTarget(PdfTargetName()));
    request = TableWindowRequest(fakes);
    EXPECT_EQ(request.Target, PdfTargetName());

    // A chosen queue that goes away leaves PDF, not a queue that is not there.
    ASSERT_TRUE(printer->SetTarget(QueueName));
    ASSERT_TRUE(cupstest::Server()->RemoveQueue(QueueName, &error)) << error.toStdString();
    request = TableWindowRequest(fakes);
    EXPECT_EQ(request.Targets, QStringList{PdfTargetName()});
    EXPECT_EQ(request.Target, PdfTargetName());
}

TEST(QueueGeometry, ThePrintablePageLiesInsideThePaperByTheQueuesEdges)
{
    REQUIRE_CUPS_QUEUE();
    using S = testsupport::CupsServer;
    cupstest::ScopedQtPrinter printer;
    ASSERT_EQ(printer->Target(), QueueName);
    const int dpi = printer->Resolution();
    ASSERT_GT(dpi, 0);
    auto px = [dpi](int points) { return points * dpi / 72.0; };
    for (int orientation : {0, 1}) {
        SCOPED_TRACE(orientation);
        TOrientationKeeper keep(*printer.operator->(), orientation);
        const QSize paper = printer->PaperSize();
        const QPoint offset = printer->PageOffset();
        const QSize page(printer->PageWidth(), printer->PageHeight());
        const QSize a4 = orientation == 1 ? QSize(S::PaperHeightPt, S::PaperWidthPt)
                                          : QSize(S::PaperWidthPt, S::PaperHeightPt);
        EXPECT_NEAR(paper.width(), px(a4.width()), 2);
        EXPECT_NEAR(paper.height(), px(a4.height()), 2);
        // The page and the paper differ: the queue's unprintable edges.
        EXPECT_GT(offset.x(), 0);
        EXPECT_GT(offset.y(), 0);
        EXPECT_LE(offset.x() + page.width(), paper.width());
        EXPECT_LE(offset.y() + page.height(), paper.height());
        EXPECT_EQ(page.width() > page.height(), orientation == 1);
        if (orientation == 0) {
            EXPECT_NEAR(offset.x(), px(S::GutterLeftPt), 2);
            EXPECT_NEAR(offset.y(), px(S::GutterTopPt), 2);
            EXPECT_NEAR(page.width(), px(a4.width() - S::GutterLeftPt - S::GutterRightPt), 2);
            EXPECT_NEAR(page.height(), px(a4.height() - S::GutterTopPt - S::GutterBottomPt), 2);
        }
    }
    // PDF prints up to the paper's edges.
    ASSERT_TRUE(printer->SetTarget(PdfTargetName()));
    EXPECT_EQ(printer->PageOffset(), QPoint(0, 0));
    EXPECT_EQ(printer->PaperSize(), QSize(printer->PageWidth(), printer->PageHeight()));
}

TEST(QueueGeometry, RichTextPrintingTakesItsGuttersFromTheQueuesPrintableArea)
{
    REQUIRE_CUPS_QUEUE();
    using S = testsupport::CupsServer;
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks fakes;
    cupstest::ScopedQtPrinter printer;
    reports::TRichPrinter rich;                        // on the program's printer
    const double mm = 25.4 / 72.0;
    EXPECT_NEAR(rich.GutterLeft(), S::GutterLeftPt * mm, 0.2);
    EXPECT_NEAR(rich.GutterTop(), S::GutterTopPt * mm, 0.2);
    EXPECT_NEAR(rich.GutterRight(), S::GutterRightPt * mm, 0.2);
    EXPECT_NEAR(rich.GutterBottom(), S::GutterBottomPt * mm, 0.2);
    EXPECT_NEAR(rich.PaperWidth(), S::PaperWidthPt * mm, 0.3);
    EXPECT_NEAR(rich.PaperLength(), S::PaperHeightPt * mm, 0.3);
    // A margin below the gutter is the gutter.
    ASSERT_TRUE(rich.SetMarginLeft(1.0));
    EXPECT_NEAR(rich.MarginLeft(), S::GutterLeftPt * mm, 0.2);
    // The text rectangle starts at the margin measured from the paper's edge,
    // so within the printable page it starts margin - gutter in.
    ASSERT_TRUE(rich.SetMargins(20, 20, 20, 20));
    const int dpi = printer->Resolution();
    const QRect text = rich.TextRect();
    EXPECT_NEAR(text.left(), (20 - S::GutterLeftPt * mm) / 25.4 * dpi, 2);
    EXPECT_NEAR(text.top(), (20 - S::GutterTopPt * mm) / 25.4 * dpi, 2);
    EXPECT_NEAR(text.width(), (S::PaperWidthPt * mm - 40) / 25.4 * dpi, 3);

    // Landscape: the paper turns, and the printable page with it.
    rich.SetOrientation(reports::poLandscape);
    EXPECT_NEAR(rich.PaperWidth(), S::PaperHeightPt * mm, 0.3);
    EXPECT_GT(rich.GutterLeft(), 1.0);
}
