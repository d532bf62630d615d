#include "reports/RichPrinter.h"

#include "base/IniFiler.h"
#include "platform/IniFile.h"
#include "platform/LocaleFormats.h"
#include "platform/Printer.h"
#include "reports/EditorText.h"
#include "reports/PageSettings.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace reports;

namespace {

// A printer of 300 dpi on A4 whose printable area leaves 4.23 mm (50 px) at
// the sides, 5.08 mm (60 px) at the top and 5.93 mm (70 px) at the bottom.
class GutterTarget : public TRichPrintTarget {
public:
    int DpiX() const override { return 300; }
    int DpiY() const override { return 300; }
    QSize PaperPixels() const override { return landscape ? QSize(3508, 2480) : QSize(2480, 3508); }
    QRect PrintablePixels() const override
    {
        const QSize p = PaperPixels();
        return QRect(50, 60, p.width() - 100, p.height() - 130);
    }
    bool Landscape() const override { return landscape; }
    bool SetLandscape(bool l) override { landscape = l; return true; }
    QPainter* Begin(const QString&) override
    {
        image = QImage(PrintablePixels().size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        painter = std::make_unique<QPainter>(&image);
        pages = 1;
        return painter.get();
    }
    bool NewPage() override { ++pages; return true; }
    bool End() override { painter.reset(); return true; }
    bool Printing() const override { return painter != nullptr; }

    bool landscape = false;
    QImage image;
    std::unique_ptr<QPainter> painter;
    int pages = 0;
};

class RichPrinterTest : public ::testing::Test {
protected:
    QString iniValue(const QString& key) const
    {
        return platform::IniFile(TIniFiler::DefaultIniName()).ReadString(PageSection, key, QString());
    }
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
};

QTextDocument* threePages(QTextDocument& doc)
{
    AppendLine(doc, "Erste Seite", {});
    AppendPageBreak(doc);
    AppendLine(doc, "Zweite Seite", {});
    AppendPageBreak(doc);
    AppendLine(doc, "Dritte Seite", {});
    return &doc;
}

} // namespace

TEST(RichHeaderLine, TwoFormatSectionsDrawTwoOfThreeTexts)
{
    const auto toPixels = [](double w) { return int(w * 10); };
    const auto width = [](const QString& s) { return int(s.size()) * 10; };
    const auto placed = LayoutHeaderLine("links|mitte|nie", ">100|<50", 200, 600, {}, toPixels, width);
    ASSERT_EQ(placed.size(), 2u);
    // Right-aligned in 1000 px, moved 6 px in from the right edge.
    EXPECT_EQ(placed[0].Text, "links");
    EXPECT_EQ(placed[0].X, 200 + 1000 - 50 - 6);
    // Left-aligned section starts where the first ended, 6 px in.
    EXPECT_EQ(placed[1].Text, "mitte");
    EXPECT_EQ(placed[1].X, 1200 + 6);
}

TEST(RichHeaderLine, TextLongerThanItsSectionIsCutAtTheSectionEdge)
{
    const auto toPixels = [](double w) { return int(w * 10); };
    const auto width = [](const QString& s) { return int(s.size()) * 10; };
    const auto placed = LayoutHeaderLine("Seite 12 von 300", "^8", 0, 1200, {}, toPixels, width);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].Text, "Seite 12");   // 80 px hold 8 characters
    EXPECT_EQ(placed[0].X, 0);               // fills the section: no inset
    // Empty format: left, default width 0, nothing fits.
    const auto none = LayoutHeaderLine("x", "", 0, 600, {}, toPixels, width);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].Text, "");
}

TEST(RichHeaderLine, MacrosAreReplacedEverywhere)
{
    TMacroValues v;
    v.Line = 0;
    v.Page = 7;
    v.Date = "09.12.2026";
    v.Time = "08:15:00";
    v.Title = "Bericht";
    EXPECT_EQ(ExpandMacros("{$TITLE} {$PAGE}/{$PAGE} {$DATE} {$TIME} {$LINE}", v),
              "Bericht 7/7 09.12.2026 08:15:00 0");
    EXPECT_EQ(ExpandMacros("{$UNBEKANNT}", v), "{$UNBEKANNT}");
    const TSectionFormat f = ParseSectionFormat("^ 12,5");
    EXPECT_EQ(f.Align, '^');
    EXPECT_DOUBLE_EQ(f.Width, 12.5);
    EXPECT_EQ(ParseSectionFormat("30").Align, '<');
}

TEST_F(RichPrinterTest, MarginBelowTheGutterIsStoredAsTheGutter)
{
    auto target = std::make_shared<GutterTarget>();
    TRichPrinter printer(target);
    const double gutter = 50 / 300.0 * 25.4;
    EXPECT_NEAR(printer.GutterLeft(), gutter, 1e-9);
    EXPECT_NEAR(printer.GutterBottom(), 70 / 300.0 * 25.4, 1e-9);
    ASSERT_TRUE(printer.SetMarginLeft(1.0));
    EXPECT_NEAR(printer.MarginLeft(), gutter, 1e-9);
    EXPECT_EQ(iniValue("LeftMargin"), QString::number(int(std::nearbyint(gutter * 10))));
    // Far beyond the paper: the upper bound, which leaves no text width.
    EXPECT_FALSE(printer.SetMarginRight(500));
    EXPECT_TRUE(hooks.lastMessageText().startsWith("Falsche Eingabe."));
}

TEST_F(RichPrinterTest, MarginsLeavingLessThanTwoCentimetresAreRefused)
{
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(sandbox.root() + "/x.pdf"));
    ASSERT_TRUE(printer.SetMargins(20, 20, 20, 20));
    EXPECT_FALSE(printer.SetMarginLeft(171));    // 210 - 171 - 20 = 19 mm
    EXPECT_DOUBLE_EQ(printer.MarginLeft(), 20);
    EXPECT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(printer.SetMarginLeft(170));
    EXPECT_FALSE(printer.SetMargins(20, 140, 20, 140));
    EXPECT_DOUBLE_EQ(printer.MarginTop(), 20);
}

TEST_F(RichPrinterTest, UnitRoundTripKeepsTheMargins)
{
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(sandbox.root() + "/x.pdf"));
    ASSERT_TRUE(printer.SetMargins(25, 17.5, 30, 12));
    printer.SetMeasureUnit(muInches);
    EXPECT_NEAR(printer.MarginLeft(), 25 / 25.4, 1e-9);
    EXPECT_EQ(iniValue("Einheit"), "0");
    EXPECT_EQ(iniValue("LeftMargin"), "10");   // 0.98 in in tenths
    printer.SetMeasureUnit(muMillimeters);
    EXPECT_NEAR(printer.MarginLeft(), 25, 1e-9);
    EXPECT_NEAR(printer.MarginTop(), 17.5, 1e-9);
    EXPECT_NEAR(printer.MarginRight(), 30, 1e-9);
    EXPECT_NEAR(printer.MarginBottom(), 12, 1e-9);
    EXPECT_EQ(iniValue("Einheit"), "1");
    EXPECT_EQ(iniValue("TopMargin"), "175");
}

TEST_F(RichPrinterTest, StoredSettingsWinAndTheOrientationIsNotOverwritten)
{
    WriteProgramIniInteger(PageSection, "Ausrichtung", 0);
    WriteProgramIniInteger(PageSection, "Einheit", 0);
    WriteProgramIniInteger(PageSection, "LeftMargin", 15);   // 1.5 inches, not converted
    WriteProgramIniInteger(PageSection, "TopMargin", 10);
    WriteProgramIniInteger(PageSection, "RightMargin", 10);
    WriteProgramIniInteger(PageSection, "BottomMargin", 10);
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(sandbox.root() + "/x.pdf"));
    EXPECT_EQ(printer.Orientation(), poLandscape);
    EXPECT_TRUE(printer.Target().Landscape());
    EXPECT_EQ(iniValue("Ausrichtung"), "0");
    EXPECT_EQ(printer.MeasureUnit(), muInches);
    EXPECT_DOUBLE_EQ(printer.MarginLeft(), 1.5);
    EXPECT_TRUE(ReadPageLandscape());
    const TPageMargins m = ReadPageMargins();
    EXPECT_EQ(m.Left, 1);   // 15 div 10
    printer.SetOrientation(poPortrait);
    EXPECT_EQ(iniValue("Ausrichtung"), "1");
    EXPECT_FALSE(ReadPageLandscape());
}

TEST_F(RichPrinterTest, EmptyAndShortDocumentsTakeOnePage)
{
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(sandbox.root() + "/x.pdf"));
    QTextDocument empty;
    EXPECT_EQ(printer.PageCount(empty), 1);
    QTextDocument one;
    AppendLine(one, "Eine Zeile", {});
    EXPECT_EQ(printer.PageCount(one), 1);
    const TRichPreviewPages pages = printer.Preview(empty);
    ASSERT_EQ(pages.Pages.size(), 1u);
    EXPECT_EQ(pages.PaperPixels, printer.Target().PaperPixels());
}

TEST_F(RichPrinterTest, PreviewPagesAreDecorated)
{
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(sandbox.root() + "/x.pdf"));
    printer.SetTitle("Bericht");
    printer.Header = "{$TITLE}";
    printer.HeaderFormat = "<100";
    QTextDocument empty;
    const TRichPreviewPages pages = printer.Preview(empty);
    ASSERT_EQ(pages.Pages.size(), 1u);
    // Drawn at a tenth: the header's band holds dark pixels, the body none.
    const QSize size = pages.PaperPixels / 10;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.scale(0.1, 0.1);
        p.drawPicture(0, 0, pages.Pages[0]);
    }
    auto darkIn = [&](int y0, int y1) {
        int dark = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    ++dark;
        return dark;
    };
    const int topBand = printer.LengthToPixelsY(20) / 10;
    EXPECT_GT(darkIn(0, topBand), 0);
    EXPECT_EQ(darkIn(topBand + 2, size.height() - topBand - 2), 0);
    // The footer "Page 1" sits in the bottom band.
    EXPECT_GT(darkIn(size.height() - topBand, size.height()), 0);
}

TEST_F(RichPrinterTest, PrintsToPdfWithThePagesOfTheDocument)
{
    REQUIRE_TOOL("pdfinfo");
    REQUIRE_TOOL("pdftotext");
    const QString pdf = sandbox.root() + "/bericht.pdf";
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(pdf));
    printer.Footer = "Seite {$PAGE}";
    printer.FooterFormat = ">105";
    QTextDocument doc;
    threePages(doc);
    EXPECT_EQ(printer.PageCount(doc), 3);
    int newPages = 0;
    printer.OnNewPage = [&] { ++newPages; };
    printer.Print(doc, 1);
    EXPECT_EQ(newPages, 3);
    const auto info = testsupport::runTool("pdfinfo", {pdf});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains("Pages:           3")) << info.out.toStdString();
    const auto text = testsupport::runTool("pdftotext", {"-layout", pdf, "-"});
    const QString s = QString::fromUtf8(text.out);
    EXPECT_TRUE(s.contains("Zweite Seite"));
    EXPECT_TRUE(s.contains("Seite 3"));
}

TEST_F(RichPrinterTest, RangePrintsThosePagesWithTheirOwnNumbers)
{
    REQUIRE_TOOL("pdftotext");
    const QString pdf = sandbox.root() + "/teil.pdf";
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(pdf));
    printer.Footer = "Seite {$PAGE}";
    QTextDocument doc;
    threePages(doc);
    printer.Print(doc, 1, 2, 3);
    const auto text = testsupport::runTool("pdftotext", {pdf, "-"});
    const QString s = QString::fromUtf8(text.out);
    EXPECT_FALSE(s.contains("Erste Seite"));
    EXPECT_TRUE(s.contains("Seite 2"));
    EXPECT_TRUE(s.contains("Seite 3"));
    EXPECT_EQ(s.count(QChar('\f')), 2);
}

TEST_F(RichPrinterTest, SettersRefuseWhilePrinting)
{
    auto target = std::make_shared<GutterTarget>();
    TRichPrinter printer(target);
    QTextDocument doc;
    AppendLine(doc, "x", {});
    QString caught;
    printer.OnNewPage = [&] {
        try {
            printer.SetMarginTop(30);
        } catch (const ELinePrinter& e) {
            caught = e.Message();
        }
    };
    printer.Print(doc);
    EXPECT_EQ(caught, "Unable to change top margin while printing");
    EXPECT_FALSE(printer.Printing());
}

TEST_F(RichPrinterTest, PageSetupTakesTheDialogsMarginsAndOrientation)
{
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(sandbox.root() + "/x.pdf"));
    ASSERT_TRUE(printer.SetMargins(20, 20, 20, 20));
    platform::TPageSetupAnswer answer;
    answer.Accepted = true;
    answer.MarginLeft = 2500;
    answer.MarginTop = 1000;
    answer.MarginRight = 1500;
    answer.MarginBottom = 3000;
    answer.Orientation = 1;
    hooks.pageSetupAnswers.push_back(answer);
    EXPECT_TRUE(printer.PageSetup());
    ASSERT_EQ(hooks.pageSetupRequests.size(), 1u);
    EXPECT_EQ(hooks.pageSetupRequests[0].MarginLeft, 2000);
    EXPECT_TRUE(hooks.pageSetupRequests[0].Millimeters);
    EXPECT_FALSE(hooks.pageSetupRequests[0].DisableMargins);
    EXPECT_DOUBLE_EQ(printer.MarginLeft(), 25);
    EXPECT_DOUBLE_EQ(printer.MarginBottom(), 30);
    EXPECT_EQ(printer.Orientation(), poLandscape);
    EXPECT_EQ(iniValue("RightMargin"), "150");
    // Cancelled: nothing changes.
    EXPECT_FALSE(printer.PageSetup());
    EXPECT_DOUBLE_EQ(printer.MarginLeft(), 25);
}

TEST_F(RichPrinterTest, BordersAndLogoAreDrawnAroundTheText)
{
    auto target = std::make_shared<GutterTarget>();
    TRichPrinter printer(target);
    ASSERT_TRUE(printer.SetMargins(20, 20, 20, 20));
    printer.Header = " ";
    printer.Footer.clear();
    printer.PageBorders = pbTop | pbLeft;
    QImage logo(8, 8, QImage::Format_RGB32);
    logo.fill(Qt::red);
    printer.BitmapLogo = logo;
    QTextDocument doc;
    printer.Print(doc);
    const QImage& page = target->image;
    const QRect text = printer.TextRect();
    const int o = printer.LengthToPixelsY(2.0);
    // The top border runs 2 mm above the text, the left one 2 mm beside it.
    EXPECT_LT(qGray(page.pixel(text.left() + text.width() / 2, text.top() - o)), 80);
    EXPECT_LT(qGray(page.pixel(text.left() - o, text.top() + text.height() / 2)), 80);
    // No bottom or right border.
    EXPECT_GT(qGray(page.pixel(text.left() + text.width() / 2, text.bottom() + o)), 200);
    EXPECT_GT(qGray(page.pixel(text.right() + o, text.top() + text.height() / 2)), 200);
    // The logo sits under the header line at the left margin, 25 mm wide.
    int red = 0, redLeft = page.width(), redRight = 0;
    for (int y = 0; y < page.height(); y += 2)
        for (int x = 0; x < page.width(); x += 2)
            if (page.pixelColor(x, y) == QColor(Qt::red)) {
                ++red;
                redLeft = std::min(redLeft, x);
                redRight = std::max(redRight, x);
            }
    EXPECT_GT(red, 0);
    EXPECT_NEAR(redLeft, text.left(), 3);
    EXPECT_NEAR(redRight - redLeft, 25.0 / printer.PaperWidth() * text.width(), 4);
}

TEST_F(RichPrinterTest, MarginsLiveInMemoryAndPrintingDoesNotRereadThem)
{
    const QString pdf = sandbox.root() + "/m.pdf";
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(pdf));
    ASSERT_TRUE(printer.SetMarginLeft(30));
    // Someone else's value in the file (or a file that lost the write).
    WriteProgramIniInteger(PageSection, "LeftMargin", 999);
    QTextDocument doc;
    AppendLine(doc, "x", {});
    printer.Print(doc);
    EXPECT_DOUBLE_EQ(printer.MarginLeft(), 30);
    EXPECT_EQ(printer.TextRect().left(), printer.LengthToPixelsX(30));
}

TEST_F(RichPrinterTest, SecondPrintoutWhileOneRunsIsRefusedWithABeep)
{
    auto target = std::make_shared<GutterTarget>();
    TRichPrinter printer(target);
    QTextDocument doc;
    AppendLine(doc, "x", {});
    {
        platform::TPrintJobGuard running;
        ASSERT_TRUE(running.Acquired());
        printer.Print(doc);
        EXPECT_EQ(target->pages, 0);
        EXPECT_EQ(hooks.beeps, 1);
    }
    printer.Print(doc);
    EXPECT_EQ(target->pages, 1);
    EXPECT_FALSE(platform::PrintJobRunning());
}

TEST_F(RichPrinterTest, HeaderShowsDateTimeAndTitleOfThePrintout)
{
    REQUIRE_TOOL("pdftotext");
    platform::ScopedLocaleFormats german(platform::LocaleFormats("dd.MM.yyyy", "HH:mm:ss"));
    const QString pdf = sandbox.root() + "/kopf.pdf";
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(pdf));
    printer.SetTitle("Monatsbericht");
    printer.Header = "{$TITLE}|{$DATE} {$TIME}";
    printer.HeaderFormat = "<80|>90";
    printer.Now = [] {
        return platform::ComposeDateTime(platform::EncodeDate(2026, 12, 9), platform::EncodeTime(8, 15, 30));
    };
    QTextDocument doc;
    AppendLine(doc, "Inhalt", {});
    printer.Print(doc);
    const auto text = testsupport::runTool("pdftotext", {"-layout", pdf, "-"});
    const QString s = QString::fromUtf8(text.out);
    EXPECT_TRUE(s.contains("Monatsbericht")) << s.toStdString();
    EXPECT_TRUE(s.contains("09.12.2026 08:15:30")) << s.toStdString();
}

// ---- The progress box --------------------------------------------------------------

namespace {

// A progress box that records its reports and its end.
struct ProgressLog {
    int created = 0;
    int freed = 0;
    QStringList reports;   // "status|title|page"
};

class RecordingProgress : public TRichPrintProgress {
public:
    explicit RecordingProgress(ProgressLog& log) : log_(log) { ++log_.created; }
    ~RecordingProgress() override { ++log_.freed; }
    void Report(const QString& status, const QString& title, int pageNumber) override
    {
        log_.reports << QStringLiteral("%1|%2|%3").arg(status, title).arg(pageNumber);
    }
private:
    ProgressLog& log_;
};

class RichPrinterProgressTest : public RichPrinterTest {
protected:
    RichPrinterProgressTest()
        : saved(SetRichPrintProgressFactory([this] { return std::make_unique<RecordingProgress>(log); }))
    {
    }
    ~RichPrinterProgressTest() override { SetRichPrintProgressFactory(saved); }
    ProgressLog log;
    TRichPrintProgressFactory saved;
};

// A target whose second page cannot be begun.
class FailingPageTarget : public GutterTarget {
public:
    bool NewPage() override { return false; }
};

} // namespace

TEST_F(RichPrinterProgressTest, BoxIsCreatedUpdatedPerPageAndFreedAfterThePrintJob)
{
    auto target = std::make_shared<GutterTarget>();
    TRichPrinter printer(target);
    printer.ShowProgress = true;
    printer.SetTitle("Bericht");
    QTextDocument doc;
    threePages(doc);
    // While the job runs the box is there.
    std::vector<bool> shownOnPage;
    printer.OnNewPage = [&] { shownOnPage.push_back(printer.ProgressBox() != nullptr); };
    printer.Print(doc, 5);
    EXPECT_EQ(shownOnPage, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(log.freed, 1);
    EXPECT_EQ(printer.ProgressBox(), nullptr);
    EXPECT_EQ(log.reports, (QStringList{"Preparing to Print|Bericht|5", "Currently Printing|Bericht|5",
                                        "Currently Printing|Bericht|6", "Currently Printing|Bericht|7",
                                        "Finished Printing|Bericht|7"}));

    // The preview reports its own texts, numbered from 1.
    log = {};
    printer.Preview(doc);
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(log.freed, 1);
    EXPECT_EQ(log.reports.value(0), "Preparing to Print Preview|Bericht|1");
    EXPECT_EQ(log.reports.value(3), "Currently Printing|Bericht|3");
    EXPECT_EQ(log.reports.value(4), "Finished Preparing Preview|Bericht|3");
    EXPECT_EQ(log.reports.size(), 5);

    // Switched off, no box at all.
    log = {};
    printer.ShowProgress = false;
    printer.Print(doc);
    printer.Preview(doc);
    EXPECT_EQ(log.created, 0);
    EXPECT_TRUE(log.reports.isEmpty());
}

TEST_F(RichPrinterProgressTest, FailedJobFreesTheBoxAsWell)
{
    TRichPrinter printer(std::make_shared<FailingPageTarget>());
    printer.ShowProgress = true;
    QTextDocument doc;
    threePages(doc);
    EXPECT_THROW(printer.Print(doc), ELinePrinter);
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(log.freed, 1);
    EXPECT_EQ(printer.ProgressBox(), nullptr);
    EXPECT_FALSE(printer.Printing());
}
