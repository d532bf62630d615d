// The main window on the offscreen platform: program directory, registry and
// settings in a sandbox, every dialog faked.
#include "base/ZT_Start.h"
#include "evaluation/forms/AV_Haupt.h"
#include "evaluation/forms/AV_Opt.h"
#include "evaluation/forms/ZT_Baum.h"
#include "evaluation/forms/ZT_TbAus.h"
#include "evaluation/forms/ZT_Zeit.h"
#include "output/forms/ZT_Chart.h"
#include "output/forms/ZT_Vorschau.h"
#include "platform/IniFile.h"
#include "platform/LocaleInfo.h"
#include "platform/MessagePump.h"
#include "platform/Printer.h"
#include "support/ArchiveGenerator.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        platform::SetLanguageAbbreviationOverride(QStringLiteral("DEU"));
        archiveDir = sandbox.root() + QStringLiteral("/arc/");
        QDir().mkpath(archiveDir);
        emptyDir = sandbox.root() + QStringLiteral("/leer/");
        QDir().mkpath(emptyDir);
    }
    ~MainWindowTest() override
    {
        window.reset();
        platform::SetLanguageAbbreviationOverride(QString());
    }

    QString IniPath() const { return sandbox.programDir() + QStringLiteral("valdran.INI"); }

    void StoreArchivePath(const QString& dir)
    {
        ASSERT_TRUE(testsupport::writeFile(IniPath(), "[PATH]\r\nARCPATH=" + dir.toUtf8() + "\r\n"));
    }

    // Two devices with two days of quarter-hour values ending yesterday (or
    // starting on 1 January, so they lie in the default period).
    void WriteArchives()
    {
        QDate start = QDate::currentDate().addDays(-2);
        if (start.year() != QDate::currentDate().year())
            start = QDate(QDate::currentDate().year(), 1, 1);
        testsupport::ArchiveParams a;
        a.deviceNumber = QStringLiteral("0012345");
        a.startDate = start;
        a.days = 1;
        a.channels = 2;
        a.specialShare = 0.05;
        ASSERT_TRUE(testsupport::WriteArchive(archiveDir + QStringLiteral("Anlage1.AGR"), a));
        testsupport::ArchiveParams b = a;
        b.deviceNumber = QStringLiteral("0067890");
        b.family = QStringLiteral("QM");
        b.customerNumber = QStringLiteral("000456");
        b.seed = 7;
        ASSERT_TRUE(testsupport::WriteArchive(archiveDir + QStringLiteral("Anlage2.AGR"), b));
    }

    void Start(const QStringList& arguments = {})
    {
        window = std::make_unique<TAV_HauptFormular>(arguments);
        window->show();
        // The first scan is queued after the show.
        for (int i = 0; i < 20 && !window->FirstScanDone(); ++i)
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    TBaum_Form& Tree() { return *Baum_Form; }
    QModelIndex DeviceEntry(int n)
    {
        // The last grouping of the top level lists the device numbers.
        auto& model = Tree().Model();
        const int groups = model.rowCount();
        if (groups == 0)
            return {};
        const QModelIndex devices = model.index(groups - 1, 0);
        if (model.rowCount(devices) <= n)
            return {};
        return model.index(n, 0, devices);
    }
    void Select(const QModelIndex& index)
    {
        Tree().VST->setCurrentIndex(index);
        Tree().SelectNode();
        QCoreApplication::processEvents();
    }
    platform::TStringGridModel& Grid() { return TabAus_Form->Model().Grid(); }
    int DataRows() { return Grid().RowCount() - Grid().FixedRows(); }

    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    QString archiveDir;
    QString emptyDir;
    std::unique_ptr<TAV_HauptFormular> window;
};

TEST_F(MainWindowTest, ComposesOneWindowFromTheOtherWindowsControls)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    ASSERT_NE(TabAus_Form, nullptr);
    ASSERT_NE(Baum_Form, nullptr);
    EXPECT_TRUE(window->Panel2->isAncestorOf(Baum_Form->VST));
    EXPECT_TRUE(window->Panel1->isAncestorOf(TabAus_Form->StringGrid1));
    EXPECT_TRUE(window->Panel1->isAncestorOf(TabAus_Form->Memo1));
    EXPECT_TRUE(window->isAncestorOf(TabAus_Form->Bedien_Box));
    EXPECT_EQ(window->Abbruch_Knopf->parentWidget(), TabAus_Form->Bedien_Box.data());
    EXPECT_GT(window->Abbruch_Knopf->x(), TabAus_Form->SchriftKnopf->x());
    EXPECT_EQ(window->Zusatz_Schalter->text(), QStringLiteral("Alles"));
    EXPECT_EQ(window->ZST_Schalter->text(), QStringLiteral("Zähler"));
    EXPECT_TRUE(window->E_Schalter->isChecked());
}

TEST_F(MainWindowTest, FirstScanFillsTheTreeAndASelectedDeviceFillsTheTable)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    EXPECT_TRUE(hooks.directoryRequests.empty());
    EXPECT_EQ(window->Scanner().Overview().RowCount(), 3);   // header + one row per file
    const QModelIndex first = DeviceEntry(0);
    ASSERT_TRUE(first.isValid());
    EXPECT_TRUE(DeviceEntry(1).isValid());
    EXPECT_FALSE(DeviceEntry(2).isValid());

    Select(first);
    EXPECT_FALSE(window->State().Busy);
    EXPECT_FALSE(TabAus_Form->StringGrid1->isHidden());
    EXPECT_EQ(DataRows(), 96);                               // one day of quarter hours
    EXPECT_FALSE(TabAus_Form->StringGrid1->OnDrawCell == nullptr);
    EXPECT_TRUE(window->Optionen_Knopf->isEnabled());
    EXPECT_FALSE(window->Abbruch_Knopf->isEnabled());

    // Day values give one row per day; switching back gives all values.
    QTest::mouseClick(window->T_Schalter, Qt::LeftButton);
    EXPECT_EQ(window->ViewMode(), 1);
    EXPECT_GT(DataRows(), 0);
    EXPECT_LT(DataRows(), 96);
    QTest::mouseClick(window->E_Schalter, Qt::LeftButton);
    EXPECT_EQ(DataRows(), 96);
}

TEST_F(MainWindowTest, ThePreviewButtonShowsTheTablesPagesInTheirOwnWindow)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    ASSERT_EQ(DataRows(), 96);
    ASSERT_NE(ZT_Vorschau, nullptr);
    QTest::mouseClick(TabAus_Form->Vorschau_Knopf, Qt::LeftButton);
    EXPECT_TRUE(ZT_Vorschau->isVisible());
    EXPECT_TRUE(ZT_Vorschau->isWindow());
    EXPECT_EQ(ZT_Vorschau->CurrentPage, 1);
    EXPECT_GE(ZT_Vorschau->PageCount, 1);
    EXPECT_TRUE(ZT_Vorschau->windowTitle().startsWith(QStringLiteral("Seitenvorschau-")));
    // The page was drawn: frame, lines and cell texts.
    const QImage page = ZT_Vorschau->PageImage();
    int ink = 0;
    for (int y = 0; y < page.height(); y += 3)
        for (int x = 0; x < page.width(); x += 3)
            ink += page.pixelColor(x, y) != QColor(Qt::white) ? 1 : 0;
    EXPECT_GT(ink, 200);
    QTest::keyClick(ZT_Vorschau, Qt::Key_Escape);
    EXPECT_FALSE(ZT_Vorschau->isVisible());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, SwitchRulesNeverLeaveCounterAndDifferenceBothOff)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    window->ZST_Schalter->setChecked(true);
    window->Differenzen_Schalter->setChecked(false);
    QTest::mouseClick(window->ZST_Schalter, Qt::LeftButton);    // Zähler off
    EXPECT_FALSE(window->ZST_Schalter->isChecked());
    EXPECT_TRUE(window->Differenzen_Schalter->isChecked());

    QTest::mouseClick(window->Zusatz_Schalter, Qt::LeftButton); // Alles on
    EXPECT_TRUE(window->Zusatz_Schalter->isChecked());
    EXPECT_TRUE(window->ZST_Schalter->isChecked());
    EXPECT_FALSE(window->Differenzen_Schalter->isChecked());
    EXPECT_FALSE(window->ZST_Schalter->isEnabled());

    QTest::mouseClick(window->Differenzen_Schalter, Qt::LeftButton);
    EXPECT_FALSE(window->Zusatz_Schalter->isChecked());
    EXPECT_TRUE(window->ZST_Schalter->isEnabled());
}

TEST_F(MainWindowTest, PeriodChangeRefillsAndTheSamePeriodDoesNot)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    ASSERT_EQ(DataRows(), 96);
    const QDate today = QDate::currentDate();
    // A period without data leaves no data rows.
    window->PeriodChanged(1, 1, uint16_t(today.year() - 2), 2, 1, uint16_t(today.year() - 2));
    EXPECT_LE(DataRows(), 1);
    EXPECT_EQ(Grid().Cell(1, Grid().FixedRows()), QString());
    window->PeriodChanged(1, 1, uint16_t(today.year()), uint16_t(today.day()), uint16_t(today.month()),
                          uint16_t(today.year()));
    EXPECT_EQ(DataRows(), 96);
    // The same period once more: the table is not filled again.
    Grid().SetCell(1, Grid().FixedRows(), QStringLiteral("marker"));
    window->PeriodChanged(1, 1, uint16_t(today.year()), uint16_t(today.day()), uint16_t(today.month()),
                          uint16_t(today.year()));
    EXPECT_EQ(Grid().Cell(1, Grid().FixedRows()), QStringLiteral("marker"));
}

TEST_F(MainWindowTest, ClosingWhileBusyIsRefusedWithABeep)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    window->State().Busy = true;
    const int beeps = hooks.beeps;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(hooks.beeps, beeps + 1);
    // The update button only beeps while busy.
    window->Update1Click();
    EXPECT_EQ(hooks.beeps, beeps + 2);
    window->State().Busy = false;
    {
        // A printout lets messages through as well: no closing under it,
        // and text files are written trimmed from the start on.
        platform::TPrintJobGuard printing;
        EXPECT_FALSE(window->close());
        EXPECT_EQ(hooks.beeps, beeps + 3);
        EXPECT_TRUE(TrimCellsInFile);
    }
    EXPECT_TRUE(window->close());
}

TEST_F(MainWindowTest, AutoModeWithNothingFoundClosesAfterHalfASecondWithoutADialog)
{
    Start({QStringLiteral("AUTO"), emptyDir + QStringLiteral("*.AG?")});
    EXPECT_TRUE(window->State().AutoMode);
    ASSERT_NE(window->AutoCloseTimer(), nullptr);
    // The half second is the timer's, not measured here: a loaded machine
    // may take longer than that to get from the start to this line.
    EXPECT_TRUE(window->AutoCloseTimer()->isSingleShot());
    EXPECT_EQ(window->AutoCloseTimer()->interval(), 500);
    QElapsedTimer clock;
    clock.start();
    while (window->isVisible() && clock.elapsed() < 10000)
        QTest::qWait(20);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(hooks.directoryRequests.empty());
    EXPECT_TRUE(hooks.messageBoxes.empty());
    EXPECT_TRUE(hooks.kindMessages.empty());
}

TEST_F(MainWindowTest, NothingFoundWithoutAutoModeAsksForADirectory)
{
    StoreArchivePath(emptyDir);
    WriteArchives();
    hooks.directoryAnswers.push_back({true, archiveDir.chopped(1)});
    Start();
    ASSERT_EQ(hooks.directoryRequests.size(), 1u);
    EXPECT_EQ(window->State().Settings.ArchivPfad, archiveDir);
    EXPECT_TRUE(DeviceEntry(0).isValid());
}

TEST_F(MainWindowTest, SettingsAreSavedOnCloseAndRestoredOnTheNextStart)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    QTest::mouseClick(window->M_Schalter, Qt::LeftButton);
    window->Differenzen_Schalter->setChecked(true);
    window->Grafik_Schalter->setChecked(true);
    window->Trenner->setSizes({250, 500});
    ASSERT_TRUE(window->close());
    window.reset();

    Start();
    EXPECT_TRUE(window->M_Schalter->isChecked());
    EXPECT_FALSE(window->E_Schalter->isChecked());
    EXPECT_TRUE(window->Differenzen_Schalter->isChecked());
    EXPECT_TRUE(window->Grafik_Schalter->isChecked());
    EXPECT_EQ(window->CurrentViewState().Breite1, 250);
    EXPECT_EQ(window->State().Settings.ArchivPfad, archiveDir);
}

TEST_F(MainWindowTest, SpecialEventRowsAreYellowAlsoWhenSelected)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    ASSERT_GT(DataRows(), 0);
    int eventRow = -1;
    for (int r = Grid().FixedRows(); r < Grid().RowCount(); ++r)
        if (Grid().Cell(0, r) == QStringLiteral("1")) {
            eventRow = r;
            break;
        }
    ASSERT_GE(eventRow, 0) << "the generated archive has special events";
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        platform::TGridDrawState selected;
        selected.Selected = true;
        window->TableDrawCell(painter, Grid().FixedCols(), eventRow, QRect(0, 0, 100, 20), selected);
        int evenRow = Grid().FixedRows() + (Grid().FixedRows() % 2);
        while (evenRow < Grid().RowCount() && Grid().Cell(0, evenRow) == QStringLiteral("1"))
            evenRow += 2;
        ASSERT_LT(evenRow, Grid().RowCount());
        window->TableDrawCell(painter, Grid().FixedCols(), evenRow, QRect(100, 0, 100, 20), platform::TGridDrawState{});
    }
    EXPECT_EQ(QColor(image.pixel(95, 18)), QColor(255, 255, 0));
    EXPECT_EQ(QColor(image.pixel(195, 18)), QColor(0xDA, 0xDA, 0xDA));
}

} // namespace

namespace {

TEST_F(MainWindowTest, SelectAllMarksTheDataShowsTheChartPanelAndTheCounterDifference)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    window->ZST_Schalter->setChecked(true);
    window->Grafik_Schalter->setChecked(true);
    Select(DeviceEntry(0));
    ASSERT_EQ(DataRows(), 96);
    // After a fill the chart follows "Grafik" and the grid reports its releases.
    EXPECT_FALSE(window->Panel4->isHidden());
    EXPECT_TRUE(TabAus_Form->StringGrid1->OnMouseUp != nullptr);

    TabAus_Form->SetEvaluationLabel(QString());
    QTest::mouseClick(TabAus_Form->AllesMarkieren_Knopf, Qt::LeftButton);
    const platform::TGridRect sel = Grid().Selection();
    EXPECT_EQ(sel.Top, Grid().FixedRows());
    EXPECT_EQ(sel.Bottom, Grid().RowCount() - 1);
    EXPECT_EQ(sel.Left, Grid().FixedCols());
    EXPECT_EQ(sel.Right, Grid().ColCount() - 1);
    EXPECT_FALSE(window->Panel4->isHidden());
    EXPECT_FALSE(TabAus_Form->Model().EvaluationLabel().isEmpty());

    // "Grafik" off hides the chart panel; "Linien" on switches it on again.
    ASSERT_NE(ZT_Chart, nullptr);
    EXPECT_TRUE(window->Panel4->isAncestorOf(ZT_Chart->Diagramm));
    EXPECT_EQ(ZT_Chart->Drucken_Knopf->parentWidget(), window->Panel5.data());
    EXPECT_FALSE(ZT_Chart->Drucken_Knopf->isHidden());
    EXPECT_GT(ZT_Chart->LoadCount(), 0);
    QTest::mouseClick(window->Grafik_Schalter, Qt::LeftButton);
    EXPECT_TRUE(window->Panel4->isHidden());
    EXPECT_TRUE(ZT_Chart->Drucken_Knopf->isHidden());
    EXPECT_TRUE(ZT_Chart->SpeedButton5->isHidden());
    QTest::mouseClick(window->Linien_Schalter, Qt::LeftButton);
    EXPECT_TRUE(window->Grafik_Schalter->isChecked());
    EXPECT_FALSE(window->Panel4->isHidden());
    EXPECT_EQ(window->ChartOptions().SeriesStyle, 5);
    EXPECT_EQ(ZT_Chart->Options().SeriesStyle, 5);
    EXPECT_FALSE(window->ChartOptions().View3D);
}

TEST_F(MainWindowTest, UpdateRescansAndHidesTheTable)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    ASSERT_FALSE(TabAus_Form->StringGrid1->isHidden());
    QFile::remove(archiveDir + QStringLiteral("Anlage2.AGR"));
    QTest::mouseClick(window->Aktualisieren_Knopf, Qt::LeftButton);
    EXPECT_TRUE(TabAus_Form->StringGrid1->isHidden());
    EXPECT_TRUE(TabAus_Form->Memo1->isHidden());
    EXPECT_EQ(window->Scanner().Overview().RowCount(), 2);
    EXPECT_TRUE(DeviceEntry(0).isValid());
    EXPECT_FALSE(DeviceEntry(1).isValid());
}

TEST_F(MainWindowTest, TheTableKeepsItsHeightWhenTheStripShowsMoreOrFewerRows)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    QCoreApplication::processEvents();
    const int gridHeight = TabAus_Form->StringGrid1->height();
    const int barHeight = window->Panel3->height();
    // Two years: only the year row is left, so the strip is one row high.
    ZeitraumForm->Strip().YearsChosen(2, 3);
    QCoreApplication::processEvents();
    ASSERT_FALSE(ZeitraumForm->Strip().MonthRow.Visible);
    EXPECT_EQ(window->Panel3->height(), barHeight);
    // One month: all three rows.
    ZeitraumForm->Strip().YearsChosen(5, 5);
    ZeitraumForm->Strip().MonthsChosen(0, 0);
    QCoreApplication::processEvents();
    ASSERT_TRUE(ZeitraumForm->Strip().DayRow.Visible);
    EXPECT_EQ(window->Panel3->height(), barHeight);
    EXPECT_GE(window->Panel3->height(), ZeitraumForm->height());
    EXPECT_EQ(TabAus_Form->StringGrid1->height(), gridHeight);
}

} // namespace

namespace {

// With VALDRAN_SCREENSHOT set to a file name, the main window on generated
// archives is rendered into that PNG (a look at the composed window).
TEST_F(MainWindowTest, RendersAScreenshotWhenAsked)
{
    const QString target = qEnvironmentVariable("VALDRAN_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "VALDRAN_SCREENSHOT not set";
    // VALDRAN_SCREENSHOT_LANGUAGE (for example "ENU") shows another language.
    if (const QString language = qEnvironmentVariable("VALDRAN_SCREENSHOT_LANGUAGE"); !language.isEmpty())
        platform::SetLanguageAbbreviationOverride(language);
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    window->resize(1100, 700);
    window->ZST_Schalter->setChecked(true);
    Select(DeviceEntry(0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->grab().save(target));
}

// With VALDRAN_CHART_SCREENSHOT set to a file name, the main window with the
// day values of a sample archive (data/archives) and their chart is saved
// there (the picture in docs/).
TEST_F(MainWindowTest, RendersAChartOfTheSampleArchivesWhenAsked)
{
    const QString target = qEnvironmentVariable("VALDRAN_CHART_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "VALDRAN_CHART_SCREENSHOT not set";
    if (const QString language = qEnvironmentVariable("VALDRAN_SCREENSHOT_LANGUAGE"); !language.isEmpty())
        platform::SetLanguageAbbreviationOverride(language);
    StoreArchivePath(QStringLiteral(VALDRAN_DATA_DIR "/archives/"));
    Start();
    window->resize(1280, 860);
    window->show();
    window->T_Schalter->click();
    // Daily consumption: differences without the counter readings.
    if (!window->Differenzen_Schalter->isChecked())
        window->Differenzen_Schalter->click();
    if (window->ZST_Schalter->isChecked())
        window->ZST_Schalter->click();
    window->Grafik_Schalter->setChecked(true);
    window->PeriodChanged(1, 11, 2026, 30, 11, 2026);
    Select(DeviceEntry(1));
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_FALSE(window->Panel4->isHidden());
    EXPECT_TRUE(ZT_Chart->ChartHasSeries());
    EXPECT_TRUE(window->grab().save(target));
}

} // namespace

namespace {

TEST_F(MainWindowTest, ReleaseOnOneCellDecodesTheStatusCellAndAHeaderReleaseDoesNot)
{
    // The first value column is named a status column by the event-code file.
    ASSERT_TRUE(testsupport::writeFile(sandbox.programDir() + QStringLiteral("EvCd_DEU.TXT"),
                                       "[Header]\r\nStatus1=VA\r\n[RV]\r\n0x0401=Testzustand\r\n"));
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    ASSERT_GT(DataRows(), 0);
    const int col = window->Evaluator().StatusColumn;
    ASSERT_GT(col, 0);
    const int row = Grid().FixedRows();
    const QString before = Grid().Cell(col, row);
    bool isNumber = false;
    const int value = before.toInt(&isNumber);
    ASSERT_TRUE(isNumber) << before.toStdString();

    // A release over the header rows leaves the cells alone.
    Grid().SetSelection({col, row, col, row});
    platform::TGridMouseEvent header;
    header.Button = Qt::LeftButton;
    header.Col = col;
    header.Row = 0;
    window->TableMouseUp(header);
    EXPECT_EQ(Grid().Cell(col, row), before);

    platform::TGridMouseEvent cell = header;
    cell.Row = row;
    window->TableMouseUp(cell);
    EXPECT_TRUE(Grid().Cell(col, row).startsWith(QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0')),
                                                 Qt::CaseInsensitive))
        << Grid().Cell(col, row).toStdString();
    // The decoded text is shown whole: its column grows for it.
    EXPECT_GE(Grid().ColWidth(col), TabAus_Form->Model().TextColumnWidth(Grid().Cell(col, row)));
}

// Every cell of the sample archives' tables is shown whole on the screen, in
// every view, with differences (bracketed ones included), counters on and
// off and numbers formatted or not: a column never cuts the end of a text off.
TEST_F(MainWindowTest, EveryCellOfTheSampleTablesFitsItsColumn)
{
    for (const char* f : {"AV_ValEv.TXT", "EvCd_DEU.TXT"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(VALDRAN_DATA_DIR "/") + QLatin1String(f),
                                sandbox.programDir() + QLatin1String(f)));
    StoreArchivePath(QStringLiteral(VALDRAN_DATA_DIR "/archives/"));
    Start();
    int devices = 0, bracketed = 0;
    for (int n = 0; DeviceEntry(n).isValid(); ++n) {
        ++devices;
        for (const bool formatted : {false, true})
            for (const bool counters : {false, true})
                for (QAbstractButton* view : {static_cast<QAbstractButton*>(window->E_Schalter),
                                              static_cast<QAbstractButton*>(window->T_Schalter),
                                              static_cast<QAbstractButton*>(window->M_Schalter)}) {
                    SCOPED_TRACE(testing::Message() << "device " << n << " formatted " << formatted << " counters "
                                                    << counters << " " << view->text().toStdString());
                    window->State().Settings.Format = formatted;
                    TabAus_Form->SetTableMode(false, formatted, 9);
                    view->click();
                    if (!window->Differenzen_Schalter->isChecked())
                        window->Differenzen_Schalter->click();
                    if (counters != window->ZST_Schalter->isChecked())
                        window->ZST_Schalter->click();
                    window->PeriodChanged(1, 1, 2021, 31, 12, 2026);
                    Select(DeviceEntry(n));
                    const auto& g = Grid();
                    ASSERT_GT(g.RowCount(), g.FixedRows());
                    const QFontMetrics metrics(TabAus_Form->StringGrid1->GridFont());
                    int cut = 0;
                    for (int c = 1; c < g.ColCount(); ++c) {
                        // Where the text is drawn: inside the insets of a
                        // selected or fixed cell, and 6 pixels in beside the
                        // hidden marker column.
                        const int room = g.ColWidth(c) - 7 - (g.ColWidth(c - 1) == 0 ? 6 : 0);
                        for (int r = 0; r < g.RowCount(); ++r) {
                            const QString t = g.Cell(c, r);
                            bracketed += t.startsWith(u'(') ? 1 : 0;
                            if (metrics.horizontalAdvance(t) > room && cut++ < 3)
                                ADD_FAILURE() << "row " << r << " column " << c << " '" << t.toStdString()
                                              << "' in " << g.ColWidth(c) << " pixels";
                        }
                    }
                }
    }
    EXPECT_GE(devices, 3);
    EXPECT_GT(bracketed, 100);
}

TEST_F(MainWindowTest, EventHintIsShownThroughTheHooksAndReleased)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    window->EvaluationHooks().ShowEventHint({QStringLiteral("St.1#5: Netzausfall")}, 10, 10);
    ASSERT_NE(window->EventHint, nullptr);
    EXPECT_TRUE(window->EventHint->isVisible());
    EXPECT_EQ(window->EventHint->text(), QStringLiteral("St.1#5: Netzausfall"));
    window->ReleaseHint();
    EXPECT_FALSE(window->EventHint->isVisible());
}

} // namespace

namespace {

// What a user can do with the abort button: it is enabled while work runs
// and a click then stops it; once idle after the first scan it is disabled,
// so a click closes nothing. Only before the first scan is it enabled while
// idle, and a click then closes the window.
TEST_F(MainWindowTest, AbortButtonStopsTheRunningWorkAndClosesOnlyAnIdleWindowBeforeTheFirstScan)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    ASSERT_TRUE(window->Abbruch_Knopf);
    EXPECT_FALSE(window->Abbruch_Knopf->isEnabled()) << "idle after the first scan";

    // A click while the evaluation runs: every pump lets it through.
    platform::MessagePump& pump = platform::MessagePump::Default();
    const int interval = pump.IntervalMs();
    pump.SetIntervalMs(0);
    // The tree lets messages through before it reports the selection: the
    // click waits for the evaluation to run.
    bool enabledWhenClicked = false;
    std::function<void()> clickWhenBusy = [&] {
        if (!window->State().Busy) {
            QTimer::singleShot(0, window.get(), clickWhenBusy);
            return;
        }
        enabledWhenClicked = window->Abbruch_Knopf->isEnabled();
        QTest::mouseClick(window->Abbruch_Knopf, Qt::LeftButton);
    };
    QTimer::singleShot(0, window.get(), clickWhenBusy);
    Select(DeviceEntry(0));
    pump.SetIntervalMs(interval);
    EXPECT_TRUE(enabledWhenClicked);
    EXPECT_TRUE(window->State().Abort);
    EXPECT_FALSE(window->State().Busy);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(TabAus_Form->StringGrid1->isVisibleTo(window.get())) << "an aborted table stays hidden";

    // The same entry chosen again evaluates again.
    Select(DeviceEntry(0));
    EXPECT_TRUE(TabAus_Form->StringGrid1->isVisibleTo(window.get()));
    EXPECT_EQ(DataRows(), 96);

    // Idle: the button is disabled and a click does nothing.
    EXPECT_FALSE(window->Abbruch_Knopf->isEnabled());
    QTest::mouseClick(window->Abbruch_Knopf, Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());

    // A new window before its first scan: the idle click closes it.
    window = std::make_unique<TAV_HauptFormular>(QStringList{});
    window->show();
    ASSERT_TRUE(window->Abbruch_Knopf->isEnabled());
    QTest::mouseClick(window->Abbruch_Knopf, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

} // namespace

TEST_F(MainWindowTest, OptionsRefillTheTableOrRescanAsTheirChangesAsk)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    ASSERT_EQ(DataRows(), 96);
    ASSERT_NE(Optionen_Form, nullptr);
    auto run = [&](const std::function<void(TOptionen_Form&)>& edit) {
        Optionen_Form->BeginExecute(window->State().Settings, window->HeadTemplate());
        edit(*Optionen_Form);
        window->ApplyOptionsResult(Optionen_Form->FinishExecute(QDialog::Accepted, window->State().Settings));
    };

    // Only the number format: the table is filled anew, nothing is scanned.
    Grid().SetCell(1, Grid().FixedRows(), QStringLiteral("stale"));
    run([](TOptionen_Form& d) { d.ZahlenFormatiert_Schalter->setChecked(!d.ZahlenFormatiert_Schalter->isChecked()); });
    EXPECT_FALSE(TabAus_Form->StringGrid1->isHidden());
    EXPECT_EQ(DataRows(), 96);
    EXPECT_NE(Grid().Cell(1, Grid().FixedRows()), QStringLiteral("stale"));
    EXPECT_TRUE(hooks.kindMessages.empty());

    // Cancel changes nothing.
    Optionen_Form->BeginExecute(window->State().Settings, window->HeadTemplate());
    Optionen_Form->Datei_EditFeld->setText(QStringLiteral("*.XYZ"));
    window->ApplyOptionsResult(Optionen_Form->FinishExecute(QDialog::Rejected, window->State().Settings));
    EXPECT_NE(window->State().Settings.DateiMaske, QStringLiteral("*.XYZ"));
    EXPECT_FALSE(TabAus_Form->StringGrid1->isHidden());

    // A new file mask rescans (reporting that nothing matches) and hides the table.
    run([](TOptionen_Form& d) { d.Datei_EditFeld->setText(QStringLiteral("*.XYZ")); });
    EXPECT_EQ(window->State().Settings.DateiMaske, QStringLiteral("*.XYZ"));
    EXPECT_TRUE(TabAus_Form->StringGrid1->isHidden());
    EXPECT_FALSE(DeviceEntry(0).isValid());
    EXPECT_FALSE(hooks.kindMessages.empty() && hooks.messageBoxes.empty());
}

TEST_F(MainWindowTest, FoundProgramsShowTheirButtonsInTheToolBarAndStartOnClick)
{
    const QString rvDir = sandbox.root() + QStringLiteral("/ox rv");
    QDir().mkpath(rvDir);
    ASSERT_TRUE(testsupport::writeFile(rvDir + QStringLiteral("/RV705.EXE"), "MZ"));
    ASSERT_TRUE(testsupport::writeFile(rvDir + QStringLiteral("/RV705.INI"), "[PROGRAM]\r\nVERSION=2.1\r\n"));
    ASSERT_TRUE(testsupport::writeFile(sandbox.registryDir() + QStringLiteral("HKEY_LOCAL_MACHINE.ini"),
                                       "[Software\\Morvax\\OX]\r\nOXRVPROG=" + rvDir.toUtf8() + "\r\n"));
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    EXPECT_FALSE(window->OxRV_Knopf->isHidden());
    EXPECT_EQ(window->OxRV_Knopf->toolTip(), QStringLiteral("Orvalex RV-715 2.1"));
    EXPECT_TRUE(window->OxQM_Knopf->isHidden());
    EXPECT_TRUE(window->ZTauslesen_Knopf->isHidden());
    // Placed behind the options button; the hidden ones take no room.
    EXPECT_EQ(window->OxRV_Knopf->x(), window->Optionen_Knopf->x() + window->Optionen_Knopf->width());
    EXPECT_EQ(window->Aktualisieren_Knopf->x(), window->OxRV_Knopf->x() + window->OxRV_Knopf->width());

    QTest::mouseClick(window->OxRV_Knopf, Qt::LeftButton);
    ASSERT_EQ(hooks.startedProcesses.size(), 1u);
    EXPECT_EQ(hooks.startedProcesses[0].program, rvDir + QStringLiteral("/RV705.EXE"));
    ForgetStartedPrograms();
}

namespace {

// The bottom bar's controls in window coordinates.
QRect InWindow(const QWidget* w, const QWidget* window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

} // namespace

// At every window size the period strip and the switches stay whole: no
// control overlaps another, every switch shows its whole caption, and the
// tree keeps its width while the table has room. Where the window is large
// enough, the strip keeps its width and the switches stand beside it.
TEST_F(MainWindowTest, TheBottomBarStaysWholeAtEverySize)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    for (const QSize size : {QSize(400, 300), QSize(640, 480), QSize(800, 550), QSize(1280, 900), QSize(1600, 1000)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        window->resize(size);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        const QList<QWidget*> switches{window->E_Schalter, window->T_Schalter, window->M_Schalter,
                                       window->Grafik_Schalter, window->ZST_Schalter, window->Differenzen_Schalter,
                                       window->Linien_Schalter, window->Zusatz_Schalter};
        QList<QWidget*> placed = switches;
        placed << ZT_Chart->Drucken_Knopf << ZT_Chart->SpeedButton5 << ZeitraumForm;
        for (QWidget* w : switches) {
            EXPECT_TRUE(w->isVisibleTo(window.get())) << w->objectName().toStdString();
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString() << " caption cut";
            EXPECT_GE(w->height(), w->sizeHint().height()) << w->objectName().toStdString();
        }
        for (qsizetype i = 0; i < placed.size(); ++i) {
            const QRect a = InWindow(placed[i], window.get());
            EXPECT_TRUE(InWindow(window->Panel3, window.get()).contains(a)) << placed[i]->objectName().toStdString();
            for (qsizetype j = i + 1; j < placed.size(); ++j)
                EXPECT_FALSE(a.intersects(InWindow(placed[j], window.get())))
                    << placed[i]->objectName().toStdString() << " over " << placed[j]->objectName().toStdString();
        }
        if (size.width() >= 800) {
            EXPECT_GE(window->Panel2->width(), 160);
            EXPECT_GE(window->Panel6->width(), ZeitraumForm->width());
        }
        if (size.width() >= 1280) {
            EXPECT_EQ(InWindow(window->E_Schalter, window.get()).top() < InWindow(ZeitraumForm, window.get()).bottom(),
                      true) << "the switches stand beside the strip";
        }
    }
}

// Ticking "Linien" ticks "Grafik" and shows the chart's two buttons behind
// it: they take a place kept for them, so no switch moves from under the
// mouse.
TEST_F(MainWindowTest, TickingLinienMovesNoSwitch)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    window->resize(1280, 900);
    QCoreApplication::processEvents();
    Select(DeviceEntry(0));
    ASSERT_FALSE(window->Grafik_Schalter->isChecked());
    const QList<QWidget*> switches{window->E_Schalter, window->T_Schalter, window->M_Schalter,
                                   window->Grafik_Schalter, window->ZST_Schalter, window->Differenzen_Schalter,
                                   window->Linien_Schalter, window->Zusatz_Schalter};
    QList<QRect> before;
    for (QWidget* w : switches)
        before << InWindow(w, window.get());
    QTest::mouseClick(window->Linien_Schalter, Qt::LeftButton);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    ASSERT_TRUE(window->Grafik_Schalter->isChecked());
    ASSERT_TRUE(ZT_Chart->Drucken_Knopf->isVisibleTo(window.get()));
    for (qsizetype i = 0; i < switches.size(); ++i)
        EXPECT_EQ(InWindow(switches[i], window.get()), before[i]) << switches[i]->objectName().toStdString();
}

namespace {

// Dark pixels of a painted cell: a bold text has more of them.
int InkOf(const QImage& image)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                ++ink;
    return ink;
}

TEST_F(MainWindowTest, SortColumnHeaderIsPaintedBoldOnEveryRepaint)
{
    StoreArchivePath(archiveDir);
    WriteArchives();
    Start();
    Select(DeviceEntry(0));
    ASSERT_GT(DataRows(), 1);
    const int col = Grid().FixedCols();
    const int headerRow = Grid().FixedRows() - 1;
    ASSERT_FALSE(Grid().Cell(col, headerRow).isEmpty());
    auto paint = [&] {
        QImage image(120, 24, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        window->TableDrawCell(painter, col, headerRow, QRect(0, 0, 120, 24), platform::TGridDrawState{});
        return image;
    };
    const int plain = InkOf(paint());
    TabAus_Form->SortSpalte_EingabeFeld->setText(QString::number(col + 1));
    TabAus_Form->SortByColumn();
    ASSERT_EQ(TabAus_Form->Model().SortColumn, col);
    const int bold = InkOf(paint());
    EXPECT_GT(bold, plain);
    EXPECT_EQ(InkOf(paint()), bold) << "the mark stays on the next repaint";
    // The time caption reaches the table window.
    ASSERT_NE(TabAus_Form->TimeLabel, nullptr);
    EXPECT_EQ(TabAus_Form->TimeLabel->text(), QStringLiteral("Zeit"));
}

} // namespace
