#include "output/forms/ZT_GrPar.h"

#include "platform/Colors.h"
#include "output/ChartBuild.h"
#include "platform/ChartPainters.h"
#include "platform/StringGrid.h"
#include "platform/forms/ChartView.h"
#include "platform/forms/NumberEdit.h"
#include "platform/forms/OwnerDrawList.h"
#include "support/FakeHooks.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCoreApplication>
#include <QPainter>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

class ChartOptionsFormTest : public ::testing::Test {
protected:
    ChartOptionsFormTest()
    {
        saved = GraphicsSettings;
        DefaultGraphicsSettings(GraphicsSettings);
    }
    ~ChartOptionsFormTest() override { GraphicsSettings = saved; }

    TGraphicsSettings saved;
    testsupport::FakeHooks hooks;
    TChartOptions options;
};

QList<QColor> DefaultCustomColours()
{
    QList<TColor> colours;
    ChartCustomColors(colours);
    QList<QColor> out;
    for (TColor c : colours)
        out << ColorRefToQColor(c);
    return out;
}

} // namespace

TEST_F(ChartOptionsFormTest, ListsShowTheCurvesAndStoreThemBack)
{
    options.Curves[2].PenStyle = 2;
    options.Curves[2].LineWidth = 3;
    options.Curves[7].LineVisible = false;
    options.Curves[7].MarkerVisible = true;
    options.Curves[7].MarkerStyle = 2;
    TGrfOpt_Form form;
    EXPECT_EQ(GrfOpt_Form, &form);
    form.LoadChartOptionsDialog(options, QFont());
    EXPECT_EQ(form.Linie_AuswahlBox[0]->count(), 8);
    EXPECT_EQ(form.Marker_AuswahlBox[0]->count(), 9);
    EXPECT_EQ(form.Linie_AuswahlBox[2]->objectName(), QStringLiteral("Linie3_AuswahlBox"));
    EXPECT_EQ(form.Linie_AuswahlBox[2]->currentIndex(), 5);
    EXPECT_EQ(form.Linie_AuswahlBox[0]->currentIndex(), 1);
    EXPECT_EQ(form.Linie_AuswahlBox[7]->currentIndex(), 0);
    EXPECT_EQ(form.Marker_AuswahlBox[7]->currentIndex(), 3);
    EXPECT_EQ(form.Marker_AuswahlBox[0]->currentIndex(), 0);
    const TCurveStyle hidden = options.Curves[7];
    form.Linie_AuswahlBox[0]->setCurrentIndex(7);
    form.StoreChartOptionsDialog(options);
    EXPECT_EQ(options.Curves[2].PenStyle, 2);
    EXPECT_EQ(options.Curves[2].LineWidth, 1);
    EXPECT_EQ(options.Curves[0].PenStyle, 4);
    EXPECT_EQ(options.Curves[7].LineVisible, hidden.LineVisible);
    EXPECT_EQ(options.Curves[7].LineWidth, hidden.LineWidth);
    EXPECT_EQ(options.Curves[7].MarkerStyle, 2);
    EXPECT_TRUE(options.Curves[7].MarkerVisible);
}

TEST_F(ChartOptionsFormTest, GapTrackBarShowsPercentAndStoresTheWidth)
{
    TGrfOpt_Form form;
    form.LoadChartOptionsDialog(options, QFont());
    EXPECT_EQ(form.TrackBar1->value(), 30);
    EXPECT_EQ(form.Prozent_Label->text(), QStringLiteral("30 %"));
    EXPECT_EQ(form.TrackBar1->maximum(), 90);
    EXPECT_EQ(form.TrackBar1->tickInterval(), 10);
    EXPECT_TRUE(form.nebeneinander_Schalter->isChecked());
    form.TrackBar1->setValue(90);
    EXPECT_EQ(form.Prozent_Label->text(), QStringLiteral("90 %"));
    form.uebereinander_Schalter->setChecked(true);
    form.StoreChartOptionsDialog(options);
    EXPECT_EQ(options.BarWidthPercent, 10);
    EXPECT_EQ(options.BarLayout, 2);
}

TEST_F(ChartOptionsFormTest, MinMaxFieldsAreEnabledOnlyWithoutAutomaticScaling)
{
    options.LeftAxisAuto = true;
    options.RightAxisAuto = false;
    TGrfOpt_Form form;
    form.LoadChartOptionsDialog(options, QFont());
    EXPECT_FALSE(form.yMin_Edit->isEnabled());
    EXPECT_FALSE(form.yMax_Edit->isEnabled());
    EXPECT_TRUE(form.y2Min_Edit->isEnabled());
    EXPECT_TRUE(form.y2Max_Edit->isEnabled());
    form.yAuto_Schalter->click();
    EXPECT_TRUE(form.yMin_Edit->isEnabled());
    form.y2Auto_Schalter->click();
    EXPECT_FALSE(form.y2Max_Edit->isEnabled());
    // The landscape switch shares the left axis' handler.
    {
        const QSignalBlocker quiet(form.yAuto_Schalter);
        form.yAuto_Schalter->setChecked(true);
    }
    EXPECT_TRUE(form.yMin_Edit->isEnabled());
    form.DruckImmerQuer_Schalter->click();
    EXPECT_FALSE(form.yMin_Edit->isEnabled());
}

TEST_F(ChartOptionsFormTest, NumberFieldsAcceptCommaAndPoint)
{
    options.LeftAxisAuto = false;
    options.LeftAxisMin = -2.5;
    TGrfOpt_Form form;
    form.LoadChartOptionsDialog(options, QFont());
    EXPECT_EQ(form.yMin_Edit->text(), QStringLiteral("-2,5"));
    form.yMin_Edit->clear();
    QTest::keyClicks(form.yMin_Edit, QStringLiteral("12,5"));
    form.yMax_Edit->clear();
    // Keys that cannot make a number are refused.
    QTest::keyClicks(form.yMax_Edit, QStringLiteral("9x9.75"));
    EXPECT_EQ(form.yMax_Edit->text(), QStringLiteral("99.75"));
    form.StoreChartOptionsDialog(options);
    EXPECT_EQ(options.LeftAxisMin, 12.5);
    EXPECT_EQ(options.LeftAxisMax, 99.75);
}

TEST_F(ChartOptionsFormTest, FlagsAndAxisSwitchesGoBothWays)
{
    options.Flags = ChartFlagUnitOnAxis | ChartFlagAxesLikeSeries;
    options.AxisFlags = AxisFlagSecondAxis;
    TGrfOpt_Form form;
    form.LoadChartOptionsDialog(options, QFont());
    EXPECT_TRUE(form.AchsenFarbig_Schalter->isChecked());
    EXPECT_FALSE(form.DruckImmerQuer_Schalter->isChecked());
    EXPECT_TRUE(form.Achse2_Schalter->isChecked());
    EXPECT_FALSE(form.Achse3_Schalter->isChecked());
    form.DruckImmerQuer_Schalter->setChecked(true);
    form.Achse3_Schalter->setChecked(true);
    form.AchsenFarbig_Schalter->setChecked(false);
    form.StoreChartOptionsDialog(options);
    EXPECT_EQ(options.Flags, ChartFlagUnitOnAxis | ChartFlagPrintLandscape);
    EXPECT_EQ(options.AxisFlags, AxisFlagSecondAxis | AxisFlagThirdAxis);
}

TEST_F(ChartOptionsFormTest, ClosingWithTheCloseBoxKeepsTheChanges)
{
    TGrfOpt_Form form;
    form.LoadChartOptionsDialog(options, QFont());
    form.show();
    form.hintereinander_Schalter->setChecked(true);
    form.close();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    form.StoreChartOptionsDialog(options);
    EXPECT_EQ(options.BarLayout, 0);
}

TEST_F(ChartOptionsFormTest, ColourPicksGoIntoTheGraphicsSettingsWithTheirTitles)
{
    TGrfOpt_Form form;
    form.LoadChartOptionsDialog(options, QFont());
    const QList<QColor> defaults = DefaultCustomColours();
    EXPECT_EQ(form.ChartCustomColours, defaults);

    hooks.colourAnswers.push_back(QColor(10, 20, 30));
    form.DemoChartClick(chartoptions::TDemoPart::Bar, 2);
    ASSERT_EQ(hooks.colourTitles.size(), 1u);
    EXPECT_EQ(hooks.colourTitles[0], QStringLiteral("Farbe 3"));
    EXPECT_EQ(form.ColourTitle, QStringLiteral("Farbe 3"));
    EXPECT_EQ(hooks.colourRequests[0], ColorRefToQColor(clRed));   // curve colour 3 to start with
    EXPECT_EQ(GraphicsSettings.Colours[4], QColorToColorRef(QColor(10, 20, 30)));

    // The custom colours stay the default colours, not the picked one.
    hooks.colourAnswers.push_back(QColor(200, 200, 0));
    form.DemoChartClick(chartoptions::TDemoPart::LeftAxis, -1);
    EXPECT_EQ(hooks.colourTitles[1], QStringLiteral("Titel- und Achsen-Farbe"));
    EXPECT_EQ(hooks.colourCustomColours[1], defaults);
    EXPECT_EQ(GraphicsSettings.Colours[1], QColorToColorRef(QColor(200, 200, 0)));

    // Cancel changes nothing.
    const auto before = GraphicsSettings.Colours;
    form.DemoChartClick(chartoptions::TDemoPart::Other, -1);
    EXPECT_EQ(hooks.colourTitles[2], QStringLiteral("Hintergrund-Farbe"));
    EXPECT_EQ(GraphicsSettings.Colours, before);

    // A new dialog starts from the defaults again.
    TGrfOpt_Form second;
    EXPECT_EQ(second.ChartCustomColours, defaults);
}

TEST_F(ChartOptionsFormTest, AxesColourSwitchSitsTwoPixelsAboveTheDemoChartsLowerEdge)
{
    TGrfOpt_Form form;
    form.LoadChartOptionsDialog(options, QFont());
    const QRect chart = form.Demo_Diagramm->geometry();
    EXPECT_EQ(form.AchsenFarbig_Schalter->geometry().bottom() + 1, chart.y() + chart.height() - 2);
    EXPECT_TRUE(form.Farb_Label->isHidden());
    EXPECT_TRUE(form.Grafik_Label_1->isHidden());
    EXPECT_TRUE(form.Grafik_Label_2->isHidden());
}

TEST_F(ChartOptionsFormTest, LentPanelComesBackHiddenToItsPlace)
{
    QWidget home;
    auto* layout = new QVBoxLayout(&home);
    auto* first = new QWidget;
    auto* panel = new QWidget;
    auto* last = new QWidget;
    layout->addWidget(first);
    layout->addWidget(panel);
    layout->addWidget(last);
    QWidget borrower;
    {
        TLentPanel lent(panel, &borrower, QRect(8, 40, 200, 30));
        EXPECT_EQ(panel->parentWidget(), &borrower);
        EXPECT_EQ(panel->geometry(), QRect(8, 40, 200, 30));
        EXPECT_FALSE(panel->isHidden());
    }
    EXPECT_EQ(panel->parentWidget(), &home);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(layout->indexOf(panel), 1);
}

TEST_F(ChartOptionsFormTest, DemoChartShowsTwelveBarsInTheCurveColours)
{
    TGrfOpt_Form form;
    QFont font(QStringLiteral("DejaVu Sans"), 8);
    form.LoadChartOptionsDialog(options, font);
    const chart::TChartModel& m = form.DemoModel;
    EXPECT_EQ(form.Demo_Diagramm->Model(), &m);
    ASSERT_EQ(m.Series.size(), 1u);
    ASSERT_EQ(m.Series[0].Count(), 12);
    EXPECT_EQ(m.Series[0].Values[0], 42);
    EXPECT_EQ(m.Series[0].Values[11], 29);
    EXPECT_EQ(m.Labels.front(), QStringLiteral("01"));
    EXPECT_EQ(m.Labels.back(), QStringLiteral("12"));
    EXPECT_EQ(m.Series[0].PointColour(5), ColorRefToQColor(GraphicsSettings.Colours[7]));
    EXPECT_EQ(m.TitleLines, QStringList{QStringLiteral("Farbeinstellungen")});
    EXPECT_TRUE(m.TitleVisible);
    EXPECT_FALSE(m.LegendVisible);
    EXPECT_FALSE(form.Demo_Diagramm->ZoomEnabled);
    EXPECT_FALSE(form.Demo_Diagramm->PanEnabled);
    EXPECT_EQ(m.BackColour, ColorRefToQColor(GraphicsSettings.Colours[0]));
    EXPECT_EQ(m.Left.Colour, ColorRefToQColor(GraphicsSettings.Colours[1]));
}

TEST_F(ChartOptionsFormTest, ClickOnABarOfTheDemoPicksItsColourAndRedraws)
{
    TGrfOpt_Form form;
    form.LoadChartOptionsDialog(options, QFont(QStringLiteral("DejaVu Sans"), 8));
    form.show();
    QCoreApplication::processEvents();
    form.DrawDemoChart();
    const chart::TChartGeometry g = form.Demo_Diagramm->Geometry();
    const QRectF bar = chart::BarRect(g.Frame, form.DemoModel, 0, 2);
    ASSERT_FALSE(bar.isEmpty());
    hooks.colourAnswers.push_back(QColor(1, 2, 3));
    QTest::mouseClick(form.Demo_Diagramm, Qt::LeftButton, Qt::NoModifier, bar.center().toPoint());
    ASSERT_EQ(hooks.colourTitles.size(), 1u);
    EXPECT_EQ(hooks.colourTitles[0], QStringLiteral("Farbe 3"));
    EXPECT_EQ(GraphicsSettings.Colours[4], QColorToColorRef(QColor(1, 2, 3)));
    EXPECT_EQ(form.DemoModel.Series[0].PointColour(2), QColor(1, 2, 3));
    // A click on the chart's background picks the background colour.
    QTest::mouseClick(form.Demo_Diagramm, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    ASSERT_EQ(hooks.colourTitles.size(), 2u);
    EXPECT_EQ(hooks.colourTitles[1], QStringLiteral("Hintergrund-Farbe"));
    EXPECT_EQ(hooks.colourRequests[1], ColorRefToQColor(GraphicsSettings.Colours[0]));
}

TEST_F(ChartOptionsFormTest, ChartBuiltAfterTheDialogUsesThePickedColours)
{
    {
        TGrfOpt_Form form;
        form.LoadChartOptionsDialog(options, QFont());
        hooks.colourAnswers.push_back(QColor(12, 34, 56));
        form.DemoChartClick(chartoptions::TDemoPart::Bar, 0);
        hooks.colourAnswers.push_back(QColor(200, 210, 220));
        form.DemoChartClick(chartoptions::TDemoPart::Other, -1);
    }
    platform::TStringGridModel grid;
    grid.SetColCount(3);
    grid.SetRowCount(5);
    grid.SetFixedRows(1);
    grid.SetFixedCols(1);
    for (int r = 1; r < 5; ++r) {
        grid.SetCell(0, r, QString::number(r));
        grid.SetCell(1, r, QString::number(r * 10));
        grid.SetCell(2, r, QString::number(r * 7));
    }
    TChartBuilder builder;
    builder.LoadOptionCopies(options);
    chart::TChartModel model;
    builder.BuildChart(model, grid, QRect(QPoint(1, 1), QPoint(2, 4)), TChartSwitches{}, {}, false, QString(), QFont());
    ASSERT_FALSE(model.Series.empty());
    EXPECT_EQ(model.Series[0].Colour, QColor(12, 34, 56));
    EXPECT_EQ(model.BackColour, QColor(200, 210, 220));
}

TEST_F(ChartOptionsFormTest, MarkerEntriesAreDrawnWithTheChartsMarkers)
{
    TGrfOpt_Form form;
    QImage image(74, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        form.Marker_AuswahlBox[0]->DrawEntry(p, image.rect(), 1, false);   // rectangles
    }
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 20);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        form.Marker_AuswahlBox[0]->DrawEntry(p, image.rect(), 0, false);
    }
    EXPECT_EQ(image.pixel(10, 8), qRgb(255, 255, 255));
}
