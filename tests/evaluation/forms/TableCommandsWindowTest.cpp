// The table window's commands through its buttons, grid and hooks: copy,
// sort by header click and column field, the first column's drag, chart of a
// selection, select all, HTML export and report export.
#include "evaluation/forms/ZT_TbAus.h"

#include "output/GraphicsSettings.h"
#include "output/forms/ZT_Chart.h"
#include "platform/Clipboard.h"
#include "platform/LocaleFormats.h"
#include "reports/ReportFiles.h"
#include "support/FakeHooks.h"
#include "support/RecordingReport.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <cmath>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

using platform::TGridRect;
using testsupport::TRecordingReportKind;

namespace {

class TableCommandsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedCopyWithHeaders = GraphicsSettings.CopyWithHeaders;
        DefaultTableOutputParams(params);
        form = std::make_unique<TTabAus_Form>();
        form->InitTableWindow(params);
        auto& grid = form->Model().Grid();
        // The table as an evaluation leaves it: hidden marker column 0, date
        // and time as fixed columns, one header row.
        grid.SetColCount(5);
        grid.SetRowCount(4);
        grid.SetFixedCols(3);
        grid.SetFixedRows(1);
        const QStringList rows[] = {{"M", "Datum", "Zeit", "A", "B"},
                                    {"0", "02.01.2005", "00:15", "b", "2"},
                                    {"1", "01.01.2005", "00:30", "c", "1"},
                                    {"0", "03.01.2005", "00:45", "a", "3"}};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c)
                grid.SetCell(c, r, rows[r][c]);
        grid.SetColWidth(0, 0);
        form->resize(640, 400);
        form->show();
        form->StringGrid1->UpdateFromModel();
    }
    void TearDown() override
    {
        form.reset();
        GraphicsSettings.CopyWithHeaders = savedCopyWithHeaders;
    }

    void Mouse(QEvent::Type type, int x, int y)
    {
        QWidget* viewport = form->StringGrid1->viewport();
        const QPointF local(x, y);
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent ev(type, local, viewport->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                       held, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &ev);
    }
    void ClickHeader(int col)
    {
        const QPoint p = form->StringGrid1->CellRect(col, 0).center();
        Mouse(QEvent::MouseButtonPress, p.x(), p.y());
        Mouse(QEvent::MouseButtonRelease, p.x(), p.y());
    }
    QStringList Column(int col) const
    {
        QStringList out;
        for (int r = 0; r < form->Model().Grid().RowCount(); ++r)
            out.append(form->Model().Grid().Cell(col, r));
        return out;
    }

    testsupport::FakeHooks hooks;
    platform::TScopedClipboard clipboard;
    TTableOutputParams params;
    std::unique_ptr<TTabAus_Form> form;
    bool savedCopyWithHeaders = false;
};

} // namespace

// ---- Copy ---------------------------------------------------------------------------

TEST_F(TableCommandsWindowTest, CopyButtonPutsTheMarkedCellsOnTheClipboardAndBeeps)
{
    GraphicsSettings.CopyWithHeaders = false;
    form->Model().Grid().SetSelection(TGridRect{3, 1, 4, 2});
    form->Kopieren_Knopf->setEnabled(true);
    form->Kopieren_Knopf->click();
    EXPECT_EQ(clipboard.content.Text, QStringLiteral("b\t2\nc\t1\n"));
    EXPECT_EQ(hooks.beeps, 1);

    GraphicsSettings.CopyWithHeaders = true;
    form->CopyToClipboard();
    EXPECT_EQ(clipboard.content.Text,
              QStringLiteral("Datum\tZeit\tA\tB\n02.01.2005\t00:15\tb\t2\n01.01.2005\t00:30\tc\t1\n"));
    EXPECT_TRUE(hooks.kindMessages.empty());
}

TEST_F(TableCommandsWindowTest, CtrlInsertInTheGridCopies)
{
    GraphicsSettings.CopyWithHeaders = false;
    form->Model().Grid().SetSelection(TGridRect{4, 3, 4, 3});
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Insert, Qt::ControlModifier);
    QCoreApplication::sendEvent(form->StringGrid1, &press);
    EXPECT_EQ(clipboard.content.Text, QStringLiteral("3\n"));
    ASSERT_EQ(clipboard.setCalls.size(), 1u);

    // Insert alone copies nothing.
    QKeyEvent plain(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier);
    QCoreApplication::sendEvent(form->StringGrid1, &plain);
    EXPECT_EQ(clipboard.setCalls.size(), 1u);
}

TEST_F(TableCommandsWindowTest, RefusedClipboardGivesNoBeep)
{
    clipboard.refuse = true;
    form->CopyToClipboard();
    EXPECT_EQ(hooks.beeps, 0);
}

// ---- Sort ---------------------------------------------------------------------------

TEST_F(TableCommandsWindowTest, HeaderClicksSortAscendingThenDescendingAndAnotherColumnAscending)
{
    ClickHeader(3);
    EXPECT_EQ(form->SortSpalte_EingabeFeld->text(), QStringLiteral("4"));
    EXPECT_EQ(Column(3), (QStringList{"A", "a", "b", "c"}));
    EXPECT_EQ(form->Model().SortColumn, 3);
    ClickHeader(3);
    EXPECT_EQ(Column(3), (QStringList{"A", "c", "b", "a"}));
    EXPECT_TRUE(form->Model().Descending);
    ClickHeader(4);
    EXPECT_EQ(Column(4), (QStringList{"B", "1", "2", "3"}));
    EXPECT_FALSE(form->Model().Descending);
    EXPECT_FALSE(form->Model().HeaderClick);
}

TEST_F(TableCommandsWindowTest, AValueColumnSortsByValueAndTheChartFollowsTheSortedRows)
{
    TZT_Chart chart;
    auto& grid = form->Model().Grid();
    const char* values[] = {"981.62", "( 0.0000)", "10016.92"};
    for (int r = 1; r <= 3; ++r)
        grid.SetCell(4, r, QString::fromLatin1(values[r - 1]));
    grid.SetRowCount(5);
    grid.SetCell(0, 4, QStringLiteral("0"));
    grid.SetCell(1, 4, QStringLiteral("04.01.2005"));
    grid.SetCell(4, 4, QStringLiteral("1576.4"));
    grid.SetSelection(TGridRect{4, 1, 4, 4});
    ClickHeader(4);
    EXPECT_EQ(Column(4), (QStringList{"B", "( 0.0000)", "981.62", "1576.4", "10016.92"}));
    ASSERT_GE(chart.ChartBuildCount(), 1);
    ASSERT_FALSE(chart.Model().Series.empty());
    // The chart draws the rows as they now stand (a bracketed difference is
    // a gap there, as the chart reads its cells).
    std::vector<double> drawn = chart.Model().Series[0].Values;
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_TRUE(std::isnan(drawn[0]));
    EXPECT_EQ(std::vector<double>(drawn.begin() + 1, drawn.end()), (std::vector<double>{981.62, 1576.4, 10016.92}));
    ClickHeader(4);
    EXPECT_EQ(Column(4), (QStringList{"B", "10016.92", "1576.4", "981.62", "( 0.0000)"}));
    drawn = chart.Model().Series[0].Values;
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_EQ(std::vector<double>(drawn.begin(), drawn.end() - 1), (std::vector<double>{10016.92, 1576.4, 981.62}));
    EXPECT_TRUE(std::isnan(drawn[3]));
}

TEST_F(TableCommandsWindowTest, StartButtonSortsByTheColumnFieldAndRefusesOtherNumbers)
{
    form->SortSpalte_EingabeFeld->setText(QStringLiteral("2"));
    form->kStandardTitelKnopf->click();
    EXPECT_EQ(Column(1), (QStringList{"Datum", "01.01.2005", "02.01.2005", "03.01.2005"}));
    EXPECT_EQ(Column(0), (QStringList{"M", "1", "0", "0"})) << "the marker column moves with its row";

    form->SortSpalte_EingabeFeld->setText(QStringLiteral("9"));
    form->kStandardTitelKnopf->click();
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.kindMessages[0].Text.contains(QStringLiteral("Die eingegebene Nummer")));
    EXPECT_EQ(form->Model().SortColumn, 1);
}

TEST_F(TableCommandsWindowTest, ColumnFieldTakesUpToThreeDigitsStartingWithOne)
{
    QLineEdit* field = form->SortSpalte_EingabeFeld;
    EXPECT_EQ(field->text().trimmed(), QStringLiteral("1"));
    field->setText(QStringLiteral("7"));
    EXPECT_EQ(field->text().trimmed(), QStringLiteral("7"));
    field->setText(QStringLiteral("123"));
    EXPECT_EQ(field->text(), QStringLiteral("123"));
    field->setText(QStringLiteral("1234"));
    EXPECT_EQ(field->text(), QStringLiteral("123"));
}

TEST_F(TableCommandsWindowTest, TimeCaptionColumnSortsByDate)
{
    QLabel zeit(QStringLiteral("Zeit"));
    form->TimeLabel = &zeit;
    auto& grid = form->Model().Grid();
    grid.SetCell(2, 1, QStringLiteral("02.01.2005 00:15:00"));
    grid.SetCell(2, 2, QStringLiteral("1.1.2005 23:00:00"));
    grid.SetCell(2, 3, QStringLiteral("10.1.2005 00:00:00"));
    const platform::ScopedLocaleFormats german(platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"),
                                                                       QStringLiteral("HH:mm:ss")));
    form->SortSpalte_EingabeFeld->setText(QStringLiteral("3"));
    form->SortByColumn();
    EXPECT_EQ(Column(2), (QStringList{"Zeit", "1.1.2005 23:00:00", "02.01.2005 00:15:00", "10.1.2005 00:00:00"}));
}

// ---- Mouse --------------------------------------------------------------------------

TEST_F(TableCommandsWindowTest, FirstColumnIsDraggedWiderFromItsBorderWithoutSorting)
{
    form->StringGrid1MouseDown(platform::TGridMouseEvent{Qt::LeftButton, Qt::LeftButton, {}, 0, 3, -1, -1});
    EXPECT_TRUE(form->Model().ColumnDrag);
    form->StringGrid1MouseMove(platform::TGridMouseEvent{Qt::NoButton, Qt::LeftButton, {}, 40, 3, -1, -1});
    EXPECT_EQ(form->Model().Grid().ColWidth(0), 40);
    EXPECT_EQ(form->StringGrid1->viewport()->cursor().shape(), Qt::SplitHCursor);
    form->StringGrid1MouseUp(platform::TGridMouseEvent{Qt::LeftButton, Qt::NoButton, {}, 40, 3, -1, -1});
    EXPECT_FALSE(form->Model().ColumnDrag);
    EXPECT_EQ(form->Model().SortColumn, -1) << "a drag is no header click";
    EXPECT_EQ(form->StringGrid1->viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(TableCommandsWindowTest, ReleaseOfASelectionChartsItEvenWithTheChartButtonHidden)
{
    TZT_Chart chart;
    form->HideChartControls();
    auto& grid = form->Model().Grid();
    grid.SetSelection(TGridRect{3, 1, 4, 3});
    form->StringGrid1MouseUp(platform::TGridMouseEvent{});
    EXPECT_EQ(chart.ChartBuildCount(), 1);
    EXPECT_EQ(chart.Grid, &grid);
    EXPECT_EQ(chart.TitleMemo, form->Memo1);

    // A single cell is no chart.
    grid.SetSelection(TGridRect{3, 1, 3, 1});
    form->StringGrid1MouseUp(platform::TGridMouseEvent{});
    EXPECT_EQ(chart.ChartBuildCount(), 1);
    EXPECT_TRUE(hooks.kindMessages.empty());
}

TEST_F(TableCommandsWindowTest, ChartButtonHandsMemoChooserTextAndGrid)
{
    TZT_Chart chart;
    form->Model().SetChooserItems({QStringLiteral("Wirkarbeit"), QStringLiteral("Blindarbeit")});
    form->Model().FinishTable(2, false);
    form->Model().Grid().SetSelection(TGridRect{3, 1, 3, 3});
    form->Diagramm_KnopfClick();
    EXPECT_EQ(chart.ChartTitle, form->Model().ChooserText());
    EXPECT_FALSE(chart.ChartTitle.isEmpty());
    EXPECT_EQ(chart.SelBottom, 3);
}

TEST_F(TableCommandsWindowTest, SelectAllMarksTheDataAreaAndChartsWhenTheToolBarIsHidden)
{
    TZT_Chart chart;
    form->AllesMarkieren_KnopfClick();
    EXPECT_EQ(form->Model().Grid().Selection(), (TGridRect{3, 1, 4, 3}));
    EXPECT_EQ(chart.ChartBuildCount(), 0);
    form->Bedien_Box->hide();
    form->AllesMarkieren_KnopfClick();
    EXPECT_EQ(chart.ChartBuildCount(), 1);
}

// ---- HTML ---------------------------------------------------------------------------

TEST_F(TableCommandsWindowTest, HtmlExportWritesBesideThePrintFileAndOpensIt)
{
    QTemporaryDir dir;
    params.DruckDateiName = dir.filePath(QStringLiteral("Bericht.txt"));
    form->Model().Grid().SetCell(3, 1, QStringLiteral("<script>"));
    form->InternetExportKnopfClick();
    const QString file = dir.filePath(QStringLiteral("Bericht.HTM"));
    const QByteArray html = testsupport::readFile(file);
    EXPECT_TRUE(html.startsWith("<HTML>\r\n<HEAD>\r\n<TITLE>Bericht</TITLE>\r\n"));
    EXPECT_TRUE(html.contains("<P>&lt;script&gt;</TD>"));
    EXPECT_FALSE(html.contains("<TD VALIGN=\"TOP\"><B><P>M</P>")) << "the hidden column is left out";
    ASSERT_EQ(hooks.openedDocuments.size(), 1u);
    EXPECT_EQ(hooks.openedDocuments[0], file);
    EXPECT_TRUE(hooks.messageBoxes.empty());
}

TEST_F(TableCommandsWindowTest, HtmlExportWithoutDirectoryGoesIntoTheReportFolderNeverTheCurrentOne)
{
    QTemporaryDir tmp, current;
    testsupport::EnvGuard tmpdir("TMPDIR", tmp.path());
    const QString before = QDir::currentPath();
    QDir::setCurrent(current.path());
    form->InternetExportKnopfClick();
    params.DruckDateiName = QStringLiteral("Liste.csv");
    form->InternetExportKnopfClick();
    QDir::setCurrent(before);
    EXPECT_TRUE(QDir(current.path()).isEmpty()) << "nothing in the current directory";
    const QString reports = reports::ReportDirectory();
    ASSERT_TRUE(reports.startsWith(QDir(tmp.path()).absolutePath() + QLatin1Char('/')));
    EXPECT_TRUE(testsupport::readFile(reports + QStringLiteral("STANDARD.HTM")).contains("<TITLE>STANDARD</TITLE>"));
    EXPECT_TRUE(testsupport::readFile(reports + QStringLiteral("Liste.HTM")).contains("<TITLE>Liste</TITLE>"));
    ASSERT_EQ(hooks.openedDocuments.size(), 2u);
    EXPECT_EQ(hooks.openedDocuments[0], reports + QStringLiteral("STANDARD.HTM"));
    EXPECT_EQ(hooks.openedDocuments[1], reports + QStringLiteral("Liste.HTM"));

    // No report folder to be had: message 49, nothing written anywhere.
    testsupport::writeFile(tmp.filePath(QStringLiteral("plain")), "x");
    testsupport::EnvGuard broken("TMPDIR", tmp.filePath(QStringLiteral("plain")));
    QDir::setCurrent(current.path());
    form->InternetExportKnopfClick();
    QDir::setCurrent(before);
    EXPECT_TRUE(QDir(current.path()).isEmpty());
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.kindMessages[0].Text.contains(QStringLiteral("Liste.HTM")));
    EXPECT_EQ(hooks.openedDocuments.size(), 2u);
}

TEST_F(TableCommandsWindowTest, HtmlFileNoProgramOpenedIsNamedWithItsFullPath)
{
    QTemporaryDir dir;
    hooks.openDocumentResult = false;
    const QString file = dir.filePath(QStringLiteral("a.HTM"));
    form->ExportHtml(file, true);
    ASSERT_EQ(hooks.openedDocuments.size(), 1u);
    EXPECT_EQ(hooks.openedDocuments[0], file);
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes[0].Text, reports::NotOpenedText(file));
    EXPECT_TRUE(hooks.messageBoxes[0].Text.endsWith(QLatin1Char('\n') + file));
    EXPECT_EQ(hooks.messageBoxes[0].Flags & platform::mb::ButtonMask, platform::mb::Ok);
    EXPECT_TRUE(hooks.kindMessages.empty());
}

TEST_F(TableCommandsWindowTest, UnwritableFileShowsMessage49AndIsNotOpened)
{
    QTemporaryDir dir;
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("plain")), "x"));
    const QString name = dir.filePath(QStringLiteral("plain/a.HTM"));
    form->ExportHtml(name, true);
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.kindMessages[0].Text.contains(QStringLiteral("Fehler beim Schreiben der Auswertungsdatei")));
    EXPECT_TRUE(hooks.kindMessages[0].Text.contains(name.left(90)));
    EXPECT_TRUE(hooks.openedDocuments.empty());

    if (QFile::exists(QStringLiteral("/dev/full"))) {
        form->ExportHtml(QStringLiteral("/dev/full"), true);
        EXPECT_EQ(hooks.kindMessages.size(), 2u);
        EXPECT_TRUE(hooks.openedDocuments.empty());
    }
}

// ---- Report -------------------------------------------------------------------------

TEST_F(TableCommandsWindowTest, WordButtonWritesTheReportAndTheWindowFreesIt)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    form->AddTitleLine(QStringLiteral("Titel"));
    form->WordExportKnopfClick();
    EXPECT_TRUE(form->Model().ReportOpen);
    EXPECT_EQ(word.record->count(QStringLiteral("WriteTable")), 1);
    EXPECT_EQ(word.record->calls.value(2), QStringLiteral("WriteLine(Titel)"));
    EXPECT_EQ(word.record->calls.last(), QStringLiteral("ShowResult(1)"));
    EXPECT_EQ(word.record->count(QStringLiteral("NewPage")), 0) << "the shell chart has no series";
    EXPECT_TRUE(hooks.kindMessages.empty());
    form.reset();
    EXPECT_EQ(word.record->destroyed, 1);
    EXPECT_FALSE(Ber_Intf.HasReport());
}

// With its chart controls shown and a chart of the marked values in the chart
// panel, the report gets a new page with the chart pasted from the clipboard,
// in the formats the chart copy puts there.
TEST_F(TableCommandsWindowTest, ReportOfAShownChartGetsAPageWithThePastedChart)
{
    TZT_Chart chart;
    QWidget panel;                       // the main window's chart panel
    auto* layout = new QVBoxLayout(&panel);
    chart.Diagramm->setParent(&panel);
    layout->addWidget(chart.Diagramm);
    panel.resize(600, 300);
    panel.show();
    auto& grid = form->Model().Grid();
    grid.SetSelection(TGridRect{4, 1, 4, 3});   // column B: 2, 1, 3
    chart.ShowChartForGrid(grid);
    ASSERT_TRUE(chart.ChartHasSeries());
    // The output buttons are enabled by the first fill; this grid was written directly.
    form->Diagramm_Knopf->setEnabled(true);
    ASSERT_TRUE(form->Diagramm_Knopf->isVisible());

    TRecordingReportKind word(ReportKindWordProcessor);
    form->WordExportKnopfClick();
    const QStringList& calls = word.record->calls;
    int table = -1;
    for (int i = 0; i < calls.size() && table < 0; ++i)
        if (calls[i].startsWith(QStringLiteral("WriteTable(")))
            table = i;
    const int page = int(calls.indexOf(QStringLiteral("NewPage()")));
    const int paste = int(calls.indexOf(QStringLiteral("PasteFromClipboard()")));
    ASSERT_GE(table, 0) << calls.join(QStringLiteral(" | ")).toStdString();
    EXPECT_GT(page, table);
    EXPECT_GT(paste, page);
    EXPECT_EQ(calls.value(paste + 1), QStringLiteral("AfterPaste()"));
    EXPECT_EQ(calls.last(), QStringLiteral("ShowResult(1)"));
    ASSERT_FALSE(clipboard.setCalls.empty());
    EXPECT_TRUE(clipboard.content.HasFormat(QString::fromLatin1(platform::MimePng)));
    EXPECT_TRUE(clipboard.content.HasFormat(QString::fromLatin1(platform::MimeWmf)));
    EXPECT_TRUE(hooks.kindMessages.empty());

    form->FreeReport();
    chart.Diagramm->setParent(&chart);
}

TEST_F(TableCommandsWindowTest, SpreadsheetButtonUsesKindTwo)
{
    TRecordingReportKind sheet(ReportKindSpreadsheet);
    TRecordingReportKind word(ReportKindWordProcessor);
    form->ExcelExportKnopfClick();
    EXPECT_EQ(sheet.record->created, 1);
    EXPECT_EQ(word.record->created, 0);
    form->FreeReport();
    EXPECT_EQ(sheet.record->destroyed, 1);
}

TEST_F(TableCommandsWindowTest, MissingBackEndAndFailingStepShowMessage120)
{
    {
        TScopedReportFactory none(ReportKindWordProcessor, {});
        form->WordExportKnopfClick();
        ASSERT_EQ(hooks.kindMessages.size(), 1u);
        EXPECT_TRUE(hooks.kindMessages[0].Text.contains(QStringLiteral("Fehler beim Erstellen des Berichtes")));
        EXPECT_FALSE(form->Model().ReportOpen);
    }
    TRecordingReportKind word(ReportKindWordProcessor);
    word.record->failAt = QStringLiteral("WriteTable");
    form->WordExportKnopfClick();
    EXPECT_EQ(hooks.kindMessages.size(), 2u);
    EXPECT_TRUE(form->Model().ReportOpen);
    form.reset();
    EXPECT_EQ(word.record->destroyed, 1);
}
