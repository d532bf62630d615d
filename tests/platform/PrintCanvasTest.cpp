#include "platform/PrintCanvas.h"
#include "platform/Printer.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// The page count of the page tree Qt writes ("/Type /Pages ... /Count n").
int PdfPageTreeCount(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = f.readAll();
    static const QRegularExpression re(QStringLiteral("/Type\\s*/Pages[^>]*/Count\\s+(\\d+)"));
    const auto m = re.match(QString::fromLatin1(data));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

TEST(PdfCanvas, WritesA4PagesAtItsOwnResolutionWithTheRightCount)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("three.pdf"));
    TPdfCanvas pdf(file, 600);
    EXPECT_EQ(pdf.PageWidth(), 4958);
    EXPECT_EQ(pdf.PageHeight(), 7017);
    pdf.SetOrientation(1);
    EXPECT_EQ(pdf.PageWidth(), 7017);
    EXPECT_EQ(pdf.PageHeight(), 4958);
    pdf.SetOrientation(0);

    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPointSize(10);
    pdf.SetFont(font);
    // 10 points at 600 dpi are about 83 pixels; the screen's 96 dpi would give 13.
    const int idleHeight = pdf.TextHeight(QStringLiteral("M"));
    EXPECT_GT(idleHeight, 60);

    ASSERT_TRUE(pdf.BeginDoc(QStringLiteral("ZT_Ausgabe")));
    EXPECT_EQ(pdf.PageWidth(), 4958);   // the writer's own figure
    EXPECT_EQ(pdf.PageHeight(), 7017);
    EXPECT_EQ(pdf.TextHeight(QStringLiteral("M")), idleHeight);
    ASSERT_NE(pdf.Painter(), nullptr);
    pdf.TextOut(100, 100, QStringLiteral("Seite 1"));
    ASSERT_TRUE(pdf.NewPage());
    pdf.TextRect(QRect(100, 100, 50, 50), 100, 100, QStringLiteral("abgeschnitten"));
    ASSERT_TRUE(pdf.NewPage());
    pdf.Line(0, 0, 100, 100);
    EXPECT_EQ(pdf.PagesWritten(), 3);
    ASSERT_TRUE(pdf.EndDoc());
    EXPECT_FALSE(pdf.Printing());
    EXPECT_EQ(PdfPageTreeCount(file), 3);

    REQUIRE_TOOL("pdfinfo");
    const auto info = testsupport::runTool(QStringLiteral("pdfinfo"), {file});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(info.out).contains(QRegularExpression(QStringLiteral("Pages:\\s+3\n"))))
        << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("ZT_Ausgabe")) << info.out.toStdString();
}

TEST(PdfCanvas, RefusesAJobWithoutAWritableFile)
{
    TPdfCanvas noName;
    EXPECT_FALSE(noName.BeginDoc(QStringLiteral("x")));
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    // A directory below a regular file cannot hold the PDF, also for root.
    TPdfCanvas below(dir.filePath(QStringLiteral("plain/sub.pdf")));
    EXPECT_FALSE(below.BeginDoc(QStringLiteral("x")));
    EXPECT_FALSE(below.Printing());
    EXPECT_FALSE(below.NewPage());
    EXPECT_FALSE(below.EndDoc());
}

TEST(ImageCanvas, IsAWhitePageAt96DpiThatDrawsThroughItsPainter)
{
    TImageCanvas page(200, 283);
    EXPECT_EQ(page.Resolution(), 96);
    EXPECT_EQ(page.Image().pixelColor(10, 10), QColor(Qt::white));
    ASSERT_TRUE(page.BeginDoc(QString()));
    page.SetPenWidth(2);
    page.Rectangle(10, 10, 100, 100);
    page.Painter()->fillRect(QRect(150, 150, 10, 10), Qt::red);
    ASSERT_TRUE(page.EndDoc());
    EXPECT_EQ(page.Image().pixelColor(10, 50), QColor(Qt::black));
    EXPECT_EQ(page.Image().pixelColor(50, 50), QColor(Qt::white));   // the inside is left alone
    EXPECT_EQ(page.Image().pixelColor(155, 155), QColor(Qt::red));
    // A font in pixels keeps its size as screen pixels.
    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(16);
    page.SetFont(pixels);
    EXPECT_DOUBLE_EQ(page.Font().pointSizeF(), 12.0);
}

TEST(RecordingCanvas, RecordsWithFixedMetrics)
{
    TRecordingCanvas rec(1000, 1400, 600);
    QFont f;
    f.setPointSize(10);
    rec.SetFont(f);
    EXPECT_EQ(rec.TextHeight(QStringLiteral("M")), 50);
    EXPECT_EQ(rec.TextWidth(QStringLiteral("EE")), 80);
    f.setBold(true);
    rec.SetFont(f);
    EXPECT_EQ(rec.TextWidth(QStringLiteral("E")), 41);
    EXPECT_TRUE(rec.BeginDoc(QStringLiteral("job")));
    rec.TextRect(QRect(0, 0, 10, 10), 5, 6, QStringLiteral("a"), TTextAlign::Center);
    rec.NewPage();
    rec.EndDoc();
    EXPECT_EQ(rec.Pages(), 2);
    ASSERT_EQ(rec.Of(TRecordingCanvas::TOp::Text).size(), 1u);
    EXPECT_TRUE(rec.Of(TRecordingCanvas::TOp::Text)[0].Clipped);
    EXPECT_EQ(rec.Painter(), nullptr);
}

TEST(Printer, KeepsTheOrientationForAJobAndAsksForThePdfFile)
{
    testsupport::FakeHooks fakes;
    TPdfPrinter printer;
    EXPECT_EQ(printer.Targets(), QStringList{PdfTargetName()});
    {
        TOrientationKeeper keep(printer, 1);
        EXPECT_EQ(printer.Orientation(), 1);
        EXPECT_GT(printer.PageWidth(), printer.PageHeight());
    }
    EXPECT_EQ(printer.Orientation(), 0);
    // No file yet: the job asks for one; cancelled, it does not begin.
    EXPECT_FALSE(printer.BeginDoc());
    EXPECT_TRUE(printer.BeginCancelled());
    ASSERT_EQ(fakes.saveRequests.size(), 1u);
    fakes.saveRequests.clear();

    fakes.fileAnswers.push_back({true, QStringLiteral("/tmp/x/ZT_Ausgabe.pdf"), 1});
    EXPECT_EQ(AskPdfFileName(QStringLiteral("ZT_Ausgabe"), QStringLiteral("/data/out/table.csv")),
              QStringLiteral("/tmp/x/ZT_Ausgabe.pdf"));
    ASSERT_EQ(fakes.saveRequests.size(), 1u);
    EXPECT_EQ(fakes.saveRequests[0].InitialDir, QStringLiteral("/data/out"));
    EXPECT_EQ(fakes.saveRequests[0].FileName, QStringLiteral("ZT_Ausgabe.pdf"));
    EXPECT_TRUE(AskPdfFileName(QStringLiteral("ZT_Ausgabe"), QString()).isEmpty());   // cancelled
    EXPECT_EQ(fakes.saveRequests[1].InitialDir, QDir::homePath());
}

TEST(Printer, AJobWithoutADialogAsksForItsPdfFileAndBeforeOverwritingOne)
{
    testsupport::FakeHooks fakes;
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("tabelle.pdf"));
    std::vector<QString> questions;
    bool overwrite = false;
    SetPdfOverwriteQuestion([&](const QString& f) {
        questions.push_back(f);
        return overwrite;
    });
    TPdfPrinter printer;
    // The print dialog chose the file: the job writes it without asking.
    printer.SetPdfFileName(first);
    printer.SetTitle(QStringLiteral("ZT_Ausgabe"));
    ASSERT_TRUE(printer.BeginDoc());
    ASSERT_TRUE(printer.EndDoc());
    EXPECT_TRUE(fakes.saveRequests.empty());
    const qint64 size = QFileInfo(first).size();
    ASSERT_GT(size, 0);

    // A later job without a dialog proposes the last file; the user keeps it
    // and refuses to overwrite: nothing begins, nothing is reported.
    printer.SetTitle(QStringLiteral("Diagramm"));
    fakes.fileAnswers.push_back({true, first, 1});
    EXPECT_FALSE(printer.BeginDoc());
    EXPECT_TRUE(printer.BeginCancelled());
    ASSERT_EQ(fakes.saveRequests.size(), 1u);
    EXPECT_EQ(fakes.saveRequests[0].InitialDir, dir.path());
    EXPECT_EQ(fakes.saveRequests[0].FileName, QStringLiteral("tabelle.pdf"));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], first);
    EXPECT_EQ(QFileInfo(first).size(), size);

    // The file question cancelled: no job, no overwrite question.
    EXPECT_FALSE(printer.BeginDoc());
    EXPECT_TRUE(printer.BeginCancelled());
    EXPECT_EQ(questions.size(), 1u);

    // Another name: written without a question, and the next job asks again.
    const QString second = dir.filePath(QStringLiteral("diagramm.pdf"));
    fakes.fileAnswers.push_back({true, second, 1});
    ASSERT_TRUE(printer.BeginDoc());
    EXPECT_FALSE(printer.BeginCancelled());
    ASSERT_TRUE(printer.EndDoc());
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(printer.PdfFileName(), second);

    // Overwriting allowed: the job writes the chosen file.
    overwrite = true;
    fakes.fileAnswers.push_back({true, first, 1});
    ASSERT_TRUE(printer.BeginDoc());
    ASSERT_TRUE(printer.EndDoc());
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(fakes.saveRequests.size(), 4u);
    SetPdfOverwriteQuestion({});
}

TEST(Printer, GuardsOneJobAtATime)
{
    EXPECT_FALSE(PrintJobRunning());
    {
        TPrintJobGuard first;
        EXPECT_TRUE(first.Acquired());
        EXPECT_TRUE(PrintJobRunning());
        TPrintJobGuard second;
        EXPECT_FALSE(second.Acquired());
    }
    EXPECT_FALSE(PrintJobRunning());
}

namespace {

// The words pdftotext finds on the first page with their boxes in points.
struct TPdfWord {
    QString Text;
    double XMin = 0, XMax = 0;
};

std::vector<TPdfWord> PdfWords(const QString& file)
{
    std::vector<TPdfWord> words;
    const auto out = testsupport::runTool(QStringLiteral("pdftotext"),
                                          {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                                           QStringLiteral("-l"), QStringLiteral("1"), file, QStringLiteral("-")});
    static const QRegularExpression re(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    for (auto it = re.globalMatch(QString::fromUtf8(out.out)); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return words;
}

// Prints pages of text to file on a disk that takes only bytesLeft more bytes;
// answers what the job reported.
bool PrintOnFullDisk(const QString& file, int pages, long long bytesLeft)
{
    TPdfCanvas pdf(file, 300);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(10);
    pdf.SetFont(font);
    testsupport::TFullDisk full(bytesLeft);
    bool ok = pdf.BeginDoc(QStringLiteral("full"));
    for (int p = 0; p < pages && ok; ++p) {
        if (p > 0)
            ok = pdf.NewPage();
        for (int line = 0; line < 60; ++line)
            pdf.TextOut(100, 100 + line * 50, QStringLiteral("Seite %1 Zeile %2 Zählerstand 12345,678").arg(p).arg(line));
    }
    const bool ended = pdf.EndDoc();
    return ok && ended;
}

} // namespace

// Where the text lands on paper, not where it was asked for: a right-aligned
// cell ends at its reference point, a centred one is centred on it, a left one
// begins there, also with a clip rectangle around them.
TEST(PdfCanvas, TextRectPlacesTextByItsAlignmentOnThePage)
{
    REQUIRE_TOOL("pdftotext");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("aligned.pdf"));
    TPdfCanvas pdf(file, 600);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(12);
    ASSERT_TRUE(pdf.BeginDoc(QStringLiteral("Ausrichtung")));
    pdf.SetFont(font);
    pdf.SetBackgroundTransparent(true);
    const QRect row1(500, 1000, 4000, 300), row2(500, 1500, 4000, 300), row3(500, 2000, 4000, 300);
    pdf.TextRect(row1, 1000, 1000, QStringLiteral("Linksbündig"), TTextAlign::Left);
    pdf.TextRect(row2, 4000, 1500, QStringLiteral("Rechtsbündig"), TTextAlign::Right);
    pdf.TextRect(row3, 2500, 2000, QStringLiteral("Zentriert"), TTextAlign::Center);
    ASSERT_TRUE(pdf.EndDoc());

    const double pt = 72.0 / 600.0;
    const auto words = PdfWords(file);
    auto find = [&](const QString& text) -> const TPdfWord* {
        for (const TPdfWord& w : words)
            if (w.Text == text)
                return &w;
        return nullptr;
    };
    const TPdfWord* left = find(QStringLiteral("Linksbündig"));
    const TPdfWord* right = find(QStringLiteral("Rechtsbündig"));
    const TPdfWord* centre = find(QStringLiteral("Zentriert"));
    ASSERT_TRUE(left && right && centre) << words.size();
    EXPECT_NEAR(left->XMin, 1000 * pt, 3.0);
    EXPECT_NEAR(right->XMax, 4000 * pt, 3.0);
    EXPECT_GT(right->XMax - right->XMin, 40.0);       // a word, not a dot at the edge
    EXPECT_NEAR((centre->XMin + centre->XMax) / 2, 2500 * pt, 3.0);
}

// Qt's PDF engine ends a job with success whatever its file did: a one-page
// PDF on a full disk was reported as printed and left a file no reader takes.
TEST(PdfCanvas, AFullDiskFailsTheJobAndKeepsTheEarlierFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("table.pdf"));
    const QByteArray old = "%PDF-1.4 an earlier table\n%%EOF\n";
    for (const int pages : {1, 30}) {
        ASSERT_TRUE(testsupport::writeFile(file, old));
        EXPECT_FALSE(PrintOnFullDisk(file, pages, 3000)) << pages;
        EXPECT_EQ(testsupport::readFile(file), old) << pages;
        EXPECT_EQ(testsupport::entriesOf(dir.path()), QStringList{QStringLiteral("table.pdf")});
    }
    // With room the same job replaces the file with a whole PDF.
    ASSERT_TRUE(PrintOnFullDisk(file, 2, 1LL << 30));
    EXPECT_TRUE(testsupport::readFile(file).trimmed().endsWith("%%EOF"));
    EXPECT_EQ(PdfPageTreeCount(file), 2);
}
