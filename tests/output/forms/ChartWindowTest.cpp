// The chart window: building from the table grid, the tool bar and its
// switches, zoom and scroll, rotation, the option record, printing (to PDF,
// read back), the page preview, saving as a metafile (read back by wmf2svg)
// and the copy to the clipboard.
#include "output/forms/ZT_Chart.h"
#include "output/forms/ZT_Vorschau.h"
#include "platform/Printer.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace chart;

namespace {

class ChartWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefaultGraphicsSettings(GraphicsSettings);
        GraphicsSettings.Colours[0] = platform::clWhite;
        window = std::make_unique<TZT_Chart>();
        // As in the main window: the chart lives in a panel of its own.
        holder = std::make_unique<QWidget>();
        holder->resize(900, 520);
        auto* layout = new QVBoxLayout(holder.get());
        layout->setContentsMargins(0, 0, 0, 0);
        window->Diagramm->setParent(holder.get());
        layout->addWidget(window->Diagramm);
        holder->show();
        MakeGrid(3, 6);
    }
    void TearDown() override
    {
        if (window->Diagramm)
            window->Diagramm->setParent(window.get());
        holder.reset();
        window.reset();
    }

    void MakeGrid(int valueColumns, int rows)
    {
        grid.SetColCount(3 + valueColumns);
        grid.SetRowCount(2 + rows);
        grid.SetFixedCols(3);
        grid.SetFixedRows(2);
        grid.SetColWidth(0, 0);
        for (int c = 0; c < valueColumns; ++c) {
            grid.SetCell(3 + c, 0, QStringLiteral("Wert%1").arg(c + 1));
            grid.SetCell(3 + c, 1, QStringLiteral("kWh"));
        }
        for (int r = 0; r < rows; ++r) {
            grid.SetCell(1, 2 + r, QStringLiteral("%1.01.2024").arg(r + 1, 2, 10, QLatin1Char('0')));
            grid.SetCell(2, 2 + r, QStringLiteral("00:00"));
            for (int c = 0; c < valueColumns; ++c)
                grid.SetCell(3 + c, 2 + r, QString::number(10 * (c + 1) + r * 3));
        }
        grid.SetSelection(platform::TGridRect{3, 2, 2 + valueColumns, 1 + rows});
    }

    void Chart()
    {
        window->ShowChartForGrid(grid);
    }

    testsupport::FakeHooks hooks;
    std::unique_ptr<TZT_Chart> window;
    std::unique_ptr<QWidget> holder;
    platform::TStringGridModel grid;
};

QString SvgOfMetafile(const QString& wmf, const QString& dir)
{
    const QString svg = dir + QStringLiteral("/out.svg");
    QFile::remove(svg);
    const testsupport::ToolResult r = testsupport::runTool(QStringLiteral("wmf2svg"), {QStringLiteral("-o"), svg, wmf});
    if (r.exitCode != 0)
        return {};
    // wmf2svg writes the texts in their Windows-1252 bytes.
    return QString::fromLatin1(testsupport::readFile(svg));
}

// wmf2svg names the colours: a fill or stroke in that colour.
bool HasColour(const QString& svg, const char* name)
{
    const QRegularExpression re(QStringLiteral("(fill|stroke)(:|=\")%1[;\" ]").arg(QLatin1String(name)));
    return svg.contains(re);
}

} // namespace

TEST_F(ChartWindowTest, ToolBarWaitsForTheFirstChartAndTheCaptionIsTheWindowsOwn)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Windows - Diagrammausgabe"));
    EXPECT_FALSE(window->Panel2->isEnabled());
    EXPECT_FALSE(window->ChartHasSeries());
    Chart();
    EXPECT_TRUE(window->Panel2->isEnabled());
    EXPECT_TRUE(window->ChartHasSeries());
    EXPECT_EQ(window->Builder().SeriesCount, 3);
    // Style 0 is drawn as bars with the bar button pressed.
    EXPECT_EQ(window->Model().Kind, TKind::Bar);
    EXPECT_TRUE(window->Balken_Knopf->isChecked());
    // No title memo: the titles switch stays off.
    EXPECT_FALSE(window->Titel_Schalter->isEnabled());
    // The window itself never shows; the panel holding the chart does.
    EXPECT_TRUE(window->isHidden());
    EXPECT_FALSE(holder->isHidden());
}

TEST_F(ChartWindowTest, AnUnusableRectangleGivesMessage75AndKeepsTheChart)
{
    Chart();
    grid.SetSelection(platform::TGridRect{4, 3, 4, 3});
    Chart();
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.lastMessageText().contains(QStringLiteral("Kein Bereich markiert.")));
    EXPECT_EQ(window->Model().Series.size(), 3u);
    EXPECT_EQ(window->ChartBuildCount(), 1);
}

TEST_F(ChartWindowTest, LegendSwitchesRebuildOnlyWhileTheChartShows)
{
    TChartOptions o;
    DefaultChartOptions(o);
    o.LegendPart2 = false;
    window->LoadChartOptions(o);
    Chart();
    EXPECT_EQ(window->Model().Labels[0], QStringLiteral("01.01.2024"));
    window->Legende2_Schalter->click();
    EXPECT_EQ(window->Model().Labels[0], QStringLiteral("01.01.2024\r00:00"));
    EXPECT_EQ(window->Model().Series[0].Title, QStringLiteral("Wert1 / kWh"));
    holder->hide();
    window->Legende1_Schalter->click();
    EXPECT_EQ(window->Model().Series[0].Title, QStringLiteral("Wert1 / kWh"));
}

TEST_F(ChartWindowTest, LoadingARecordStartsNoRebuildAndSavingKeepsItsAxisFields)
{
    Chart();
    TChartOptions o;
    DefaultChartOptions(o);
    o.LegendPart2 = true;
    o.ShowMarks = true;
    o.SeriesStyle = 6;
    o.Flags = ChartFlagUnitOnAxis | ChartFlagPrintLandscape;
    o.LeftAxisAuto = false;
    o.LeftAxisMin = 3;
    o.LeftAxisMax = 7;
    window->LoadChartOptions(o);
    EXPECT_TRUE(window->Werte_Schalter->isChecked());
    EXPECT_TRUE(window->Stufen_Knopf->isChecked());
    EXPECT_TRUE(window->PrintLandscape());
    // Nothing was rebuilt by setting the check marks.
    EXPECT_FALSE(window->Model().Series[0].MarksVisible);
    EXPECT_EQ(window->Model().Kind, TKind::Bar);

    // The tool bar changes, then the record is written back: the axis
    // fields and the dialog's flags stay as the record has them.
    window->HilfsLinien_Schalter->click();
    TChartOptions back = o;
    back.LeftAxisMin = 11;
    back.RightAxisMax = 99;
    back.AxisFlags = 3;
    back.Flags = ChartFlagAxesLikeSeries;
    window->SaveChartOptions(back);
    EXPECT_EQ(back.LeftAxisMin, 11);
    EXPECT_EQ(back.RightAxisMax, 99);
    EXPECT_EQ(back.AxisFlags, 3);
    EXPECT_EQ(back.Flags, ChartFlagAxesLikeSeries | ChartFlagUnitOnAxis);
    EXPECT_FALSE(back.GridLines);
    EXPECT_TRUE(back.LegendPart2);
    EXPECT_EQ(back.SeriesStyle, 6);

    // Once loaded, "E." rebuilds: the unit goes onto the value axis.
    window->Einheit_Schalter->click();
    window->Einheit_Schalter->click();
    EXPECT_EQ(window->Model().Left.Title, QStringLiteral("kWh"));
}

TEST_F(ChartWindowTest, ZoomingInTwiceAndOutTwiceGivesTheUnzoomedView)
{
    Chart();
    const TRange bottom = window->Model().ViewRange(TAxisId::Bottom);
    window->ZoomIn_Knopf->click();
    window->ZoomIn_Knopf->click();
    EXPECT_EQ(window->ZoomLevel, 2);
    EXPECT_LT(window->Model().ViewRange(TAxisId::Bottom).Size(), bottom.Size());
    window->ZoomOut_Knopf->click();
    window->ZoomOut_Knopf->click();
    EXPECT_EQ(window->ZoomLevel, 0);
    EXPECT_FALSE(window->Model().Zoomed());
    EXPECT_EQ(window->Model().ViewRange(TAxisId::Bottom), bottom);
    // Out first: a 90 % view, then back.
    window->ZoomOut_Knopf->click();
    EXPECT_GT(window->Model().ViewRange(TAxisId::Bottom).Size(), bottom.Size());
    window->ZoomAus_Knopf->click();
    EXPECT_EQ(window->ZoomLevel, 0);
    EXPECT_EQ(window->Model().ViewRange(TAxisId::Bottom), bottom);
    EXPECT_TRUE(window->ZoomAus_Knopf->isEnabled());
}

TEST_F(ChartWindowTest, TheSpinnerScrollsByTenPercent)
{
    Chart();
    const TRange left = window->Model().ViewRange(TAxisId::Left);
    const TRange bottom = window->Model().ViewRange(TAxisId::Bottom);
    using D = platform::TDirectionSpinner::TDirection;
    window->Verschieben_KnopfClick(D::Up);
    EXPECT_NEAR(window->Model().ViewRange(TAxisId::Left).Lo, left.Lo - left.Size() / 10, 1e-9);
    window->Verschieben_KnopfClick(D::Left);
    EXPECT_NEAR(window->Model().ViewRange(TAxisId::Bottom).Lo, bottom.Lo + bottom.Size() / 10, 1e-9);
    // The arrows are where the spinner draws them.
    D d;
    ASSERT_TRUE(window->Verschieben_Knopf->DirectionAt(QPoint(12, 2), d));
    EXPECT_EQ(d, D::Up);
    ASSERT_TRUE(window->Verschieben_Knopf->DirectionAt(QPoint(22, 12), d));
    EXPECT_EQ(d, D::Right);
}

TEST_F(ChartWindowTest, RotationClicksCycleAndTurnTheBottomLabels)
{
    Chart();
    const int expected[] = {1, 2, 0};
    for (int step : expected) {
        window->Dreh_ImageClick();
        EXPECT_EQ(window->Builder().LabelRotation, step);
        EXPECT_EQ(window->Model().Bottom.LabelsAngle, step == 1 ? 90 : step == 2 ? 270 : 0);
        EXPECT_EQ(window->Dreh_Panel->size(), step == 0 ? QSize(20, 8) : QSize(8, 20));
        EXPECT_EQ(window->Model().Bottom.LabelsSeparation, step == 0 ? 8 : 1);
    }
}

TEST_F(ChartWindowTest, ThePieSwitchesZoomingAndPanningOff)
{
    Chart();
    const QString hint = window->Diagramm->toolTip();
    EXPECT_FALSE(hint.isEmpty());
    window->Torte_Knopf->click();
    EXPECT_EQ(window->Model().Kind, TKind::Pie);
    EXPECT_FALSE(window->ZoomIn_Knopf->isEnabled());
    EXPECT_FALSE(window->Verschieben_Knopf->isEnabled());
    EXPECT_FALSE(window->Diagramm->ZoomEnabled);
    EXPECT_TRUE(window->Diagramm->toolTip().isEmpty());
    EXPECT_FALSE(window->Model().Walls3D);
    window->Linien_Knopf->click();
    EXPECT_EQ(window->Model().Kind, TKind::Line);
    EXPECT_TRUE(window->ZoomIn_Knopf->isEnabled());
    EXPECT_EQ(window->Diagramm->toolTip(), hint);
    // A style change undoes the zoom.
    window->ZoomIn_Knopf->click();
    window->Flaechen_Knopf->click();
    EXPECT_EQ(window->ZoomLevel, 0);
    EXPECT_FALSE(window->Model().Zoomed());
}

TEST_F(ChartWindowTest, ThreeDSwitchAndDepthBar)
{
    Chart();
    EXPECT_EQ(window->Model().Depth3DPercent, 20);   // until the bar is moved
    EXPECT_EQ(window->ScrollBar2->value(), 15);
    window->ScrollBar2->setValue(40);
    EXPECT_EQ(window->Model().Depth3DPercent, 40);
    window->dreiD_Schalter->click();
    EXPECT_FALSE(window->Model().View3D);
    EXPECT_FALSE(window->ScrollBar2->isEnabled());
}

TEST_F(ChartWindowTest, TitlesComeFromTheMemoAndTheChartTitle)
{
    QPlainTextEdit memo;
    memo.setPlainText(QStringLiteral("Auswertung Gerät 7\n\nZeitraum Januar"));
    window->SetTitleMemo(&memo);
    window->SetChartTitle(QStringLiteral("Tageswerte"));
    Chart();
    EXPECT_TRUE(window->Titel_Schalter->isEnabled());
    EXPECT_FALSE(window->Model().TitleVisible);
    window->Titel_Schalter->click();
    EXPECT_TRUE(window->Model().TitleVisible);
    EXPECT_EQ(window->Model().TitleLines.size(), 3);
    EXPECT_EQ(window->Model().TitleLines.last(), QStringLiteral("Tageswerte"));
}

TEST_F(ChartWindowTest, CopyPutsMetafileSvgAndPngOnTheClipboardAndBeeps)
{
    platform::TScopedClipboard clipboard;
    Chart();
    window->SpeedButton5->click();
    ASSERT_EQ(clipboard.setCalls.size(), 1u);
    const platform::TClipboardContent& c = clipboard.content;
    EXPECT_TRUE(c.HasFormat(QString::fromLatin1(platform::MimeWmf)));
    EXPECT_TRUE(c.HasFormat(QString::fromLatin1(platform::MimeSvg)));
    ASSERT_TRUE(c.HasFormat(QString::fromLatin1(platform::MimePng)));
    // A placeable metafile starts with its key.
    EXPECT_EQ(c.Format(QString::fromLatin1(platform::MimeWmf)).left(4), QByteArray("\xD7\xCD\xC6\x9A", 4));
    EXPECT_TRUE(c.Format(QString::fromLatin1(platform::MimeSvg)).contains("<svg"));
    const QImage png = QImage::fromData(c.Format(QString::fromLatin1(platform::MimePng)), "PNG");
    ASSERT_FALSE(png.isNull());
    int blue = 0;
    for (int y = 0; y < png.height(); y += 2)
        for (int x = 0; x < png.width(); x += 2)
            if (png.pixelColor(x, y) == QColor(0, 0, 255))
                ++blue;
    EXPECT_GT(blue, 200);
    EXPECT_EQ(hooks.beeps, 1);
    // The report copies the same formats, without the beep.
    EXPECT_TRUE(window->CopyChartForReport());
    EXPECT_EQ(clipboard.setCalls.size(), 2u);
    EXPECT_EQ(clipboard.setCalls[1].Formats.size(), 3u);
    EXPECT_EQ(hooks.beeps, 1);
}

TEST_F(ChartWindowTest, SaveAsksBeforeOverwritingAndReportsAFileItCannotWrite)
{
    QTemporaryDir dir;
    Chart();
    // Cancelled: nothing written.
    window->Speichern_Knopf->click();
    ASSERT_EQ(hooks.saveRequests.size(), 1u);
    EXPECT_EQ(hooks.saveRequests[0].Title, QStringLiteral("Diagramm speichern"));
    EXPECT_EQ(hooks.saveRequests[0].Filter, QStringLiteral("Metadateien|*.WMF"));
    EXPECT_EQ(hooks.saveRequests[0].FileName, QStringLiteral("*.WMF"));
    EXPECT_EQ(hooks.saveRequests[0].DefaultExt, QStringLiteral("WMF"));

    const QString file = dir.filePath(QStringLiteral("chart.WMF"));
    hooks.fileAnswers.push_back({true, file, 1});
    window->Speichern_Knopf->click();
    ASSERT_TRUE(QFile::exists(file));
    const QByteArray first = testsupport::readFile(file);
    EXPECT_EQ(first.left(4), QByteArray("\xD7\xCD\xC6\x9A", 4));

    // An existing file: message 51 answered No keeps it.
    ASSERT_TRUE(testsupport::writeFile(file, "old"));
    hooks.fileAnswers.push_back({true, file, 1});
    hooks.kindAnswers.push_back(platform::TMessageAnswer::No);
    window->Speichern_Knopf->click();
    EXPECT_TRUE(hooks.lastMessageText().contains(QStringLiteral("existiert schon")));
    EXPECT_EQ(testsupport::readFile(file), QByteArray("old"));
    hooks.fileAnswers.push_back({true, file, 1});
    hooks.kindAnswers.push_back(platform::TMessageAnswer::Yes);
    window->Speichern_Knopf->click();
    EXPECT_EQ(testsupport::readFile(file).left(4), QByteArray("\xD7\xCD\xC6\x9A", 4));

    // A directory below a regular file cannot take it: message 45 with the name.
    const QString bad = dir.filePath(QStringLiteral("chart.WMF/sub.WMF"));
    hooks.fileAnswers.push_back({true, bad, 1});
    window->Speichern_Knopf->click();
    EXPECT_TRUE(hooks.lastMessageText().contains(QStringLiteral("Fehler beim Schreiben der Datei")));
    EXPECT_TRUE(hooks.lastMessageText().contains(QStringLiteral("sub.WMF")));
}

TEST_F(ChartWindowTest, SavedChartsOfEveryStyleReadBackWithTheirColoursAndLabels)
{
    REQUIRE_TOOL("wmf2svg");
    QTemporaryDir dir;
    Chart();
    struct Style {
        QToolButton* button;
        const char* name;
    };
    const Style styles[] = {{window->Balken_Knopf, "bar"},       {window->QuerBalken_Knopf, "hbar"},
                            {window->Flaechen_Knopf, "area"},    {window->StufenFlaechen_Knopf, "steparea"},
                            {window->Linien_Knopf, "line"},      {window->Stufen_Knopf, "step"},
                            {window->Torte_Knopf, "pie"}};
    for (const Style& s : styles) {
        for (bool view3D : {false, true}) {
            if (window->dreiD_Schalter->isChecked() != view3D)
                window->dreiD_Schalter->click();
            s.button->click();
            const QString file = dir.filePath(QStringLiteral("%1%2.WMF").arg(QLatin1String(s.name)).arg(view3D));
            ASSERT_TRUE(window->WriteMetafile(file)) << s.name;
            const QString svg = SvgOfMetafile(file, dir.path());
            ASSERT_FALSE(svg.isEmpty()) << s.name << view3D;
            // Curve colours 1 and 2 (blue and lime) and a row label.
            EXPECT_TRUE(HasColour(svg, "blue")) << s.name << view3D;
            EXPECT_TRUE(HasColour(svg, "lime")) << s.name << view3D;
            const QString label = QStringLiteral("01.01.2024");
            EXPECT_TRUE(svg.contains(label)) << s.name << view3D;
        }
    }
}

TEST_F(ChartWindowTest, PrintingFillsTheUpperHalfOfAPortraitPage)
{
    REQUIRE_TOOL("pdftoppm");
    QTemporaryDir dir;
    Chart();
    platform::TPrinterService& printer = platform::Printer();
    ASSERT_TRUE(printer.SetTarget(platform::PdfTargetName()));
    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    printer.SetPdfFileName(pdf);
    printer.SetOrientation(0);
    window->Drucken_KnopfClick(window->Drucken_Knopf);
    ASSERT_TRUE(QFile::exists(pdf));
    const testsupport::ToolResult r = testsupport::runTool(
        QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"), pdf,
                                     dir.filePath(QStringLiteral("page"))});
    ASSERT_EQ(r.exitCode, 0);
    const QImage page(dir.filePath(QStringLiteral("page-1.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_LT(page.width(), page.height());
    auto coloured = [&page](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                if (c.saturation() > 150)
                    ++n;
            }
        return n;
    };
    EXPECT_GT(coloured(0, page.height() / 2), 100);
    EXPECT_EQ(coloured(page.height() / 2 + 2, page.height()), 0);
    EXPECT_EQ(GraphicsSettings.PrintOrientation, 0);
}

TEST_F(ChartWindowTest, APrintoutThatCannotBeginSaysSoAndACancelledFileQuestionDoesNot)
{
    QTemporaryDir dir;
    Chart();
    platform::TPrinterService& printer = platform::Printer();
    ASSERT_TRUE(printer.SetTarget(platform::PdfTargetName()));
    // A PDF file below a regular file can never be written.
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("plain")), "x"));
    printer.SetPdfFileName(dir.filePath(QStringLiteral("plain/chart.pdf")));
    window->Drucken_KnopfClick(window->Drucken_Knopf);
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.kindMessages[0].Text.contains(QStringLiteral("Fehler beim Erstellen des Berichtes")));
    EXPECT_EQ(GraphicsSettings.PrintOrientation, 0);

    // No file chosen and the question for one cancelled: nothing printed, nothing said.
    hooks.kindMessages.clear();
    window->Drucken_KnopfClick(window->Drucken_Knopf);
    EXPECT_TRUE(hooks.kindMessages.empty());
}

TEST_F(ChartWindowTest, PrintLandscapePrintsALandscapePageAndRestoresTheOrientation)
{
    REQUIRE_TOOL("pdfinfo");
    QTemporaryDir dir;
    Chart();
    TChartOptions o;
    DefaultChartOptions(o);
    o.Flags = ChartFlagPrintLandscape;
    window->LoadChartOptions(o);
    platform::TPrinterService& printer = platform::Printer();
    ASSERT_TRUE(printer.SetTarget(platform::PdfTargetName()));
    const QString pdf = dir.filePath(QStringLiteral("wide.pdf"));
    printer.SetPdfFileName(pdf);
    printer.SetOrientation(0);
    GraphicsSettings.PrintOrientation = 0;
    window->Drucken_KnopfClick(nullptr);
    const testsupport::ToolResult r = testsupport::runTool(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_EQ(r.exitCode, 0);
    const QString info = QString::fromUtf8(r.out);
    const qsizetype at = info.indexOf(QStringLiteral("Page size:"));
    ASSERT_GE(at, 0);
    const QStringList parts = info.mid(at + 10).simplified().split(QLatin1Char(' '));
    ASSERT_GE(parts.size(), 3);
    EXPECT_GT(parts[0].toDouble(), parts[2].toDouble());   // wider than high
    EXPECT_EQ(GraphicsSettings.PrintOrientation, 0);
    EXPECT_EQ(printer.Orientation(), 0);
}

TEST_F(ChartWindowTest, PreviewShowsTheChartInTheUpperHalfWithThePrintButton)
{
    TZT_Vorschau preview;
    Chart();
    window->Vorschau_KnopfClick();
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Seitenvorschau-Windows - Diagrammausgabe"));
    ASSERT_TRUE(preview.Druck_Knopf);
    EXPECT_FALSE(preview.Druck_Knopf->isHidden());
    EXPECT_EQ(preview.Druck_Knopf->toolTip(), window->Drucken_Knopf->toolTip());
    const QImage page = preview.PageImage();
    ASSERT_FALSE(page.isNull());
    int upper = 0, lower = 0;
    for (int y = 0; y < page.height(); y += 2)
        for (int x = 0; x < page.width(); x += 2)
            if (page.pixelColor(x, y) == QColor(0, 0, 255))
                (y < page.height() / 2 ? upper : lower)++;
    EXPECT_GT(upper, 100);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(GraphicsSettings.PrintOrientation, 0);
    preview.close();
}
