// The chart options popup of the main window's "Grafik" switch: the dialog runs
// with the chart window's tool bar lent to it, its values go into the chart
// option record, and the tool bar always comes back.
#include "evaluation/forms/AV_Haupt.h"
#include "output/forms/ZT_Chart.h"
#include "output/forms/ZT_GrPar.h"
#include "platform/Colors.h"
#include "platform/LocaleInfo.h"
#include "platform/StringGrid.h"
#include "platform/forms/OwnerDrawList.h"
#include "output/forms/ZT_Vorschau.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/RecordingPrinter.h"
#include "support/TestSupport.h"
#include "support/X11Session.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

class ChartOptionsPopupTest : public ::testing::Test {
protected:
    ChartOptionsPopupTest()
    {
        platform::SetLanguageAbbreviationOverride(QStringLiteral("DEU"));
        const QString dir = sandbox.root() + QStringLiteral("/arc/");
        QDir().mkpath(dir);
        testsupport::writeFile(sandbox.programDir() + QStringLiteral("valdran.INI"),
                               "[PATH]\r\nARCPATH=" + dir.toUtf8() + "\r\n");
        window = std::make_unique<TAV_HauptFormular>(QStringList());
        window->show();
        for (int i = 0; i < 20 && !window->FirstScanDone(); ++i)
            QCoreApplication::processEvents();
    }
    ~ChartOptionsPopupTest() override
    {
        GraphicsSettings = savedSettings;
        TGrfOpt_Form::ModalRun = nullptr;
        window.reset();
        platform::SetLanguageAbbreviationOverride(QString());
    }

    TGraphicsSettings savedSettings = GraphicsSettings;
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    std::unique_ptr<TAV_HauptFormular> window;
};

} // namespace

TEST_F(ChartOptionsPopupTest, DialogRunsWithThePanelAndItsValuesGoIntoTheRecord)
{
    ASSERT_NE(ZT_Chart, nullptr);
    QWidget* panel = ZT_Chart->Panel2;
    ASSERT_NE(panel, nullptr);
    QWidget* home = panel->parentWidget();
    const int loadsBefore = ZT_Chart->LoadCount();
    bool ran = false;
    TGrfOpt_Form::ModalRun = [&](TGrfOpt_Form& dialog) {
        ran = true;
        EXPECT_EQ(GrfOpt_Form, &dialog);
        EXPECT_EQ(panel->parentWidget(), &dialog);
        EXPECT_FALSE(panel->isHidden());
        EXPECT_EQ(dialog.height(), dialog.LentPanelTop() + panel->height() + 8);
        EXPECT_EQ(panel->y(), dialog.LentPanelTop());
        EXPECT_GE(panel->height(), panel->sizeHint().height());
        EXPECT_LE(panel->x() + panel->width(), dialog.width());
        dialog.Linie_AuswahlBox[3]->setCurrentIndex(6);
        dialog.TrackBar1->setValue(50);
        // Closed with the close box: the values count all the same.
        dialog.show();
        dialog.close();
        return dialog.result();
    };
    window->Grafik_SchalterContextPopup();
    ASSERT_TRUE(ran);
    EXPECT_EQ(GrfOpt_Form, nullptr);
    EXPECT_EQ(panel->parentWidget(), home);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(window->ChartOptions().Curves[3].PenStyle, 3);
    EXPECT_EQ(window->ChartOptions().BarWidthPercent, 50);
    // The chart window took the record and redrew.
    EXPECT_GT(ZT_Chart->LoadCount(), loadsBefore);
    EXPECT_EQ(ZT_Chart->Options().BarWidthPercent, 50);
}

TEST_F(ChartOptionsPopupTest, PanelComesBackWhenTheDialogFails)
{
    QWidget* panel = ZT_Chart->Panel2;
    QWidget* home = panel->parentWidget();
    const TChartOptions before = window->ChartOptions();
    TGrfOpt_Form::ModalRun = [](TGrfOpt_Form&) -> int { throw std::runtime_error("dialog failed"); };
    window->Grafik_SchalterContextPopup();
    EXPECT_EQ(GrfOpt_Form, nullptr);
    EXPECT_EQ(panel->parentWidget(), home);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(window->ChartOptions().BarWidthPercent, before.BarWidthPercent);
}

TEST_F(ChartOptionsPopupTest, ColoursPickedInTheDialogColourTheNextChart)
{
    hooks.colourAnswers = {QColor(11, 22, 33), QColor(250, 240, 230)};
    TGrfOpt_Form::ModalRun = [](TGrfOpt_Form& dialog) {
        dialog.DemoChartClick(chartoptions::TDemoPart::Bar, 1);
        dialog.DemoChartClick(chartoptions::TDemoPart::Other, -1);
        return int(QDialog::Rejected);
    };
    window->Grafik_SchalterContextPopup();
    ASSERT_EQ(hooks.colourTitles.size(), 2u);
    EXPECT_EQ(hooks.colourTitles[0], QStringLiteral("Farbe 2"));

    platform::TStringGridModel grid;
    grid.SetColCount(5);
    grid.SetRowCount(6);
    grid.SetFixedCols(3);
    grid.SetFixedRows(1);
    for (int r = 1; r < 6; ++r) {
        grid.SetCell(1, r, QStringLiteral("%1.01.2024").arg(r, 2, 10, QLatin1Char('0')));
        grid.SetCell(3, r, QString::number(r * 4));
        grid.SetCell(4, r, QString::number(r * 5));
    }
    grid.SetSelection(platform::TGridRect{3, 1, 4, 5});
    ZT_Chart->ShowChartForGrid(grid);
    const chart::TChartModel& model = ZT_Chart->Model();
    ASSERT_GE(model.Series.size(), 2u);
    EXPECT_EQ(model.Series[1].Colour, QColor(11, 22, 33));
    EXPECT_EQ(model.BackColour, QColor(250, 240, 230));
}

// The preview button of the dialog's (lent) tool bar, pressed while the
// dialog runs modally: the preview must take the keys and the mouse at once,
// Escape closes the preview first, and the dialog is usable again after.
// Keys and clicks go through the window system's queue, where a window that a
// modal one blocks drops them. Under a window manager (the X11 run below) the
// preview must also be the window that has the focus.
TEST_F(ChartOptionsPopupTest, APreviewOpenedFromTheDialogIsUsableAndClosesFirst)
{
    ASSERT_NE(ZT_Vorschau, nullptr);
    ASSERT_NE(ZT_Chart, nullptr);
    testsupport::ScopedRecordingPrinter printer;
    const bool underWindowManager = qEnvironmentVariableIsSet("VALDRAN_EXPECT_WINDOW_MANAGER");
    struct TSeen {
        bool previewShown = false, previewModal = false, previewFocused = false, printAsked = false;
        bool escapeClosedPreview = false, dialogStayed = false, dialogModalAgain = false;
        int result = -1;
    } seen;
    TGrfOpt_Form::ModalRun = [&](TGrfOpt_Form& dialog) {
        QTimer::singleShot(0, &dialog, [&] {
            ZT_Chart->Panel2->setEnabled(true);
            ZT_Chart->Vorschau_Knopf->click();
            QCoreApplication::processEvents();
            seen.previewShown = ZT_Vorschau->isVisible();
            seen.previewModal = QApplication::activeModalWidget() == ZT_Vorschau;
            QWindow* preview = ZT_Vorschau->windowHandle();
            if (preview == nullptr)
                return;
            if (underWindowManager) {
                QElapsedTimer t;
                t.start();
                while (QGuiApplication::focusWindow() != preview && t.elapsed() < 5000)
                    QTest::qWait(20);
            }
            seen.previewFocused = QGuiApplication::focusWindow() == preview;
            // "Drucken" answers a click.
            QToolButton* print = ZT_Vorschau->Druck_Knopf;
            QTest::mouseClick(preview, Qt::LeftButton, {}, print->mapTo(ZT_Vorschau, print->rect().center()));
            QCoreApplication::processEvents();
            seen.printAsked = !printer->Recording().Records.empty();
            QTest::keyClick(preview, Qt::Key_Escape);
            QCoreApplication::processEvents();
            seen.escapeClosedPreview = !ZT_Vorschau->isVisible();
            seen.dialogStayed = dialog.isVisible();
            seen.dialogModalAgain = QApplication::activeModalWidget() == &dialog;
            if (dialog.windowHandle())
                QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape);
        });
        // Should the keys never arrive, the loop ends all the same.
        QTimer::singleShot(10000, &dialog, [&dialog] { dialog.done(42); });
        seen.result = dialog.exec();
        return seen.result;
    };
    window->Grafik_SchalterContextPopup();
    ZT_Vorschau->hide();

    EXPECT_TRUE(seen.previewShown);
    EXPECT_TRUE(seen.previewModal) << "the dialog beneath would block it";
    if (underWindowManager) {
        EXPECT_TRUE(seen.previewFocused);
    }
    EXPECT_TRUE(seen.printAsked) << "the preview's print button did nothing";
    EXPECT_TRUE(seen.escapeClosedPreview);
    EXPECT_TRUE(seen.dialogStayed) << "Escape closed the dialog before the preview";
    EXPECT_TRUE(seen.dialogModalAgain);
    EXPECT_EQ(seen.result, int(QDialog::Rejected)) << "the dialog did not take its Escape";
    // Opened from the chart window itself, the preview is no modal window.
    ZT_Chart->Vorschau_KnopfClick();
    EXPECT_EQ(ZT_Vorschau->windowModality(), Qt::NonModal);
    ZT_Vorschau->hide();
}

// The same under a real X server with the openbox window manager: the test
// binary runs the test above on the xcb platform.
TEST(ChartPreviewX11Test, APreviewOpenedFromTheDialogIsUsableUnderAWindowManager)
{
    REQUIRE_TOOL("Xvfb");
    REQUIRE_TOOL("openbox");
    testsupport::X11Session session;
    ASSERT_TRUE(session.Start());
    QProcess child;
    QProcessEnvironment env = session.Environment();
    env.insert(QStringLiteral("VALDRAN_EXPECT_WINDOW_MANAGER"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=ChartOptionsPopupTest.APreviewOpenedFromTheDialogIsUsableAndClosesFirst")});
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(child.waitForFinished(60000)) << child.readAll().toStdString();
    const QByteArray out = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
}
