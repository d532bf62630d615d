// Documents too large to be shown are refused whole, with a reason, instead
// of being laid out for minutes; page counts never wrap around.
#include "reports/RichPrinter.h"
#include "reports/RtfReader.h"


#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace rtf;

namespace {

QByteArray header()
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}";
}

// A table of rows x cols cells, each holding its row number.
QByteArray table(int rows, int cols)
{
    QByteArray def = "\\trowd";
    for (int c = 1; c <= cols; ++c)
        def += "\\cellx" + QByteArray::number(c * 200);
    QByteArray out;
    for (int r = 0; r < rows; ++r) {
        out += def + "\\pard\\intbl ";
        const QByteArray text = QByteArray::number(r);
        for (int c = 0; c < cols; ++c)
            out += text + "\\cell ";
        out += "\\row\n";
    }
    return out;
}

QByteArray monoPng(int w, int h)
{
    QImage img(w, h, QImage::Format_Mono);
    img.fill(0);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return png;
}

QByteArray picture(const QByteArray& png)
{
    return "{\\pict\\pngblip " + png.toHex() + "}";
}

QTextTable* firstTable(const QTextDocument& doc)
{
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f))
            return t;
    return nullptr;
}

} // namespace

// The 36 KB RTF of a table of 2,000 rows of 256 empty cells: laid out, it
// took minutes. Refused at once, and the document holds nothing of it.
TEST(RtfLimits, TableOfMoreCellsThanTheEditorTakesIsRefusedWithTheReason)
{
    QByteArray def = "\\trowd";
    for (int c = 1; c <= 256; ++c)
        def += "\\cellx" + QByteArray::number(c * 100);
    QByteArray rows;
    for (int r = 0; r < 2000; ++r)
        rows += def + "\\pard\\intbl" + QByteArray("\\cell", 5).repeated(256) + "\\row\n";
    QTextDocument doc;
    TRtfReadInfo info;
    EXPECT_FALSE(ReadRtf(header() + "\\pard vorher\\par " + rows + "}", &doc, &info));
    EXPECT_TRUE(info.Refusal.contains(QStringLiteral("40.000 Tabellenzellen"))) << info.Refusal.toStdString();
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_EQ(firstTable(doc), nullptr);
}

// The cells of all tables count together; up to the limit every cell is
// read, in its place.
TEST(RtfLimits, TablesUpToTheLimitAreReadWholeAndOneCellMoreIsRefused)
{
    const int rows = int(MaxDocumentCells / 2 / 100);   // two tables of 100 columns
    const QByteArray atLimit = header() + table(rows, 100) + "\\pard zwischen\\par " + table(rows, 100) + "}";
    QTextDocument doc;
    TRtfReadInfo info;
    ASSERT_TRUE(ReadRtf(atLimit, &doc, &info)) << info.Refusal.toStdString();
    EXPECT_TRUE(info.Refusal.isEmpty());
    QTextTable* t = firstTable(doc);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rows(), rows);
    EXPECT_EQ(t->columns(), 100);
    // First, a middle and the last cell hold their own row's text.
    EXPECT_EQ(t->cellAt(0, 0).firstCursorPosition().block().text(), QStringLiteral("0"));
    EXPECT_EQ(t->cellAt(rows / 2, 57).firstCursorPosition().block().text(), QString::number(rows / 2));
    EXPECT_EQ(t->cellAt(rows - 1, 99).firstCursorPosition().block().text(), QString::number(rows - 1));
    EXPECT_EQ(doc.rootFrame()->childFrames().size(), 2);

    QTextDocument more;
    EXPECT_FALSE(ReadRtf(header() + table(rows, 100) + table(rows, 100) + table(1, 1) + "}", &more, &info));
    EXPECT_TRUE(info.Refusal.contains(QStringLiteral("Tabellenzellen")));
}

// Line breaks count as lines: two million of them in one paragraph gave a
// negative page count.
TEST(RtfLimits, MoreLinesThanTheLayoutCanMeasureAreRefused)
{
    QByteArray body = header() + "\\pard ";
    body += QByteArray("x\\line ").repeated(int(MaxDocumentParagraphs) + 1);
    body += "\\par}";
    QTextDocument doc;
    TRtfReadInfo info;
    EXPECT_FALSE(ReadRtf(body, &doc, &info));
    EXPECT_TRUE(info.Refusal.contains(QStringLiteral("Zeilen"))) << info.Refusal.toStdString();
    EXPECT_TRUE(doc.isEmpty());

    QByteArray paragraphs = header() + QByteArray("\\pard x\\par ").repeated(int(MaxDocumentParagraphs) + 1) + "}";
    EXPECT_FALSE(ReadRtf(paragraphs, &doc, &info));
    EXPECT_TRUE(info.Refusal.contains(QStringLiteral("Zeilen")));
}

// A few kilobytes of compressed picture decode to gigabytes: the decoded
// size of all pictures together is checked before any is decoded.
TEST(RtfLimits, PicturesAreRefusedByTheirDecodedSizeTogether)
{
    const QByteArray png = monoPng(4000, 4000);   // 16 million pixels, a few KB
    ASSERT_LT(png.size(), 100'000);
    const QByteArray one = "\\pard " + picture(png) + "\\par ";
    QTextDocument doc;
    TRtfReadInfo info;
    ASSERT_TRUE(ReadRtf(header() + one.repeated(4) + "}", &doc, &info)) << info.Refusal.toStdString();
    EXPECT_EQ(doc.toPlainText().count(QChar(QChar::ObjectReplacementCharacter)), 4);

    EXPECT_FALSE(ReadRtf(header() + one.repeated(5) + "}", &doc, &info));
    EXPECT_TRUE(info.Refusal.contains(QStringLiteral("Bildpunkte"))) << info.Refusal.toStdString();
    EXPECT_TRUE(doc.isEmpty());
}

namespace {

// Stands for the text layout of a document taller than it can measure: its
// height has wrapped around to a negative number, and its page count with it.
class WrappedLayout : public QAbstractTextDocumentLayout {
public:
    explicit WrappedLayout(QTextDocument* doc) : QAbstractTextDocumentLayout(doc) {}
    void draw(QPainter*, const PaintContext&) override {}
    int hitTest(const QPointF&, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return -35; }
    QSizeF documentSize() const override { return QSizeF(600, -31'000'000); }
    QRectF frameBoundingRect(QTextFrame*) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock&) const override { return {}; }
    void documentChanged(int, int, int) override {}
};

} // namespace

// Two million lines gave a negative page count, and one empty page was
// printed and reported as done. A height the layout cannot measure is
// refused; a document it can measure keeps its pages.
TEST(RtfLimits, PageCountOfADocumentTooTallForTheLayoutIsRefusedNotWrapped)
{
    QTextDocument wrapped;
    QTextCursor(&wrapped).insertText(QStringLiteral("x"));
    wrapped.setDocumentLayout(new WrappedLayout(&wrapped));
    wrapped.setPageSize(QSizeF(600, 900));
    EXPECT_THROW(reports::CheckedPageCount(wrapped), reports::ELinePrinter);

    QTextDocument fits;
    QTextCursor c(&fits);
    for (int i = 0; i < 300; ++i) {
        c.insertText(QStringLiteral("Zeile %1").arg(i));
        c.insertBlock();
    }
    fits.setPageSize(QSizeF(600, 900));
    EXPECT_GE(reports::CheckedPageCount(fits), 3);
    QTextDocument empty;
    empty.setPageSize(QSizeF(600, 900));
    EXPECT_EQ(reports::CheckedPageCount(empty), 1);
}

// The text goes in without a layout and is laid out afresh when it is in: a
// document that was laid out before (as the editor's is) keeps its width and
// lays out the whole new text.
TEST(RtfLimits, DocumentLaidOutBeforeReadingIsLaidOutAfreshAfterwards)
{
    QTextDocument doc;
    doc.setTextWidth(300);
    QTextCursor(&doc).insertText(QStringLiteral("alt"));
    const double before = doc.documentLayout()->documentSize().height();
    int layoutsMade = 0;
    QObject::connect(&doc, &QTextDocument::documentLayoutChanged, [&layoutsMade] { ++layoutsMade; });

    ASSERT_TRUE(ReadRtf(header() + "\\pard oben\\par " + table(40, 3) + "\\pard unten\\par}", &doc));
    EXPECT_EQ(layoutsMade, 1);
    EXPECT_DOUBLE_EQ(doc.textWidth(), 300.0);
    EXPECT_GT(doc.documentLayout()->documentSize().height(), before + 40 * 10.0);
    const QTextBlock last = doc.find(QStringLiteral("unten")).block();
    ASSERT_TRUE(last.isValid());
    EXPECT_GT(doc.documentLayout()->blockBoundingRect(last).top(),
              doc.documentLayout()->blockBoundingRect(doc.firstBlock()).bottom());
}
