#include "reports/WordTextDocument.h"

#include "platform/Printer.h"
#include "reports/WordRtf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace reports {

namespace {

// ---- Into the model -------------------------------------------------------------

TWpCharFormat CharFormatOf(const QTextCharFormat& cf)
{
    TWpCharFormat f;
    const QFont font = cf.font();
    if (!font.family().isEmpty())
        f.Font = font.family();
    const double size = cf.fontPointSize() > 0 ? cf.fontPointSize() : font.pointSizeF();
    if (size > 0)
        f.Size = std::max(1, int(std::lround(size)));
    f.Bold = cf.fontWeight() >= QFont::DemiBold;
    f.Italic = cf.fontItalic();
    f.Underline = cf.fontUnderline();
    return f;
}

TWpAlign AlignOf(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return TWpAlign::Centre;
    if (a & Qt::AlignRight)
        return TWpAlign::Right;
    return TWpAlign::Left;
}

QByteArray PngOf(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

class TReader {
public:
    TReader(const QTextDocument& src, TWpDocument& doc) : src_(src), doc_(doc) {}

    void Read(QTextFrame* frame)
    {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (QTextFrame* child = it.currentFrame()) {
                if (auto* table = qobject_cast<QTextTable*>(child))
                    ReadTable(*table);
                else
                    Read(child);
            } else {
                ReadBlock(it.currentBlock());
            }
        }
    }

private:
    void ReadBlock(const QTextBlock& block)
    {
        if (!fresh_)
            doc_.TypeParagraph();
        fresh_ = false;
        const QTextBlockFormat bf = block.blockFormat();
        doc_.SetAlignment(AlignOf(bf.alignment()));
        if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            doc_.InsertPageBreak();
        doc_.SetCurrentFormat(CharFormatOf(block.charFormat()));
        for (auto f = block.begin(); !f.atEnd(); ++f) {
            const QTextFragment frag = f.fragment();
            const QTextCharFormat cf = frag.charFormat();
            if (cf.isImageFormat()) {
                const QVariant res = src_.resource(QTextDocument::ImageResource, QUrl(cf.toImageFormat().name()));
                QImage image = res.value<QImage>();
                if (image.isNull() && res.canConvert<QByteArray>())
                    image = QImage::fromData(res.toByteArray());
                // One object character stands for each image of the fragment.
                if (!image.isNull())
                    for (qsizetype i = 0; i < frag.length(); ++i)
                        doc_.InsertPicture(PngOf(image), image.size());
                continue;
            }
            doc_.SetCurrentFormat(CharFormatOf(cf));
            QString text = frag.text();
            text.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
            text.remove(QChar(QChar::ObjectReplacementCharacter));
            doc_.TypeText(text);
        }
    }

    void ReadTable(QTextTable& table)
    {
        auto t = std::make_unique<TWpTable>(table.rows(), table.columns());
        bool formatSet = false;
        for (int r = 0; r < table.rows(); ++r) {
            for (int c = 0; c < table.columns(); ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                QString text;
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    const QTextBlock b = it.currentBlock();
                    if (!b.isValid())
                        continue;
                    if (!text.isEmpty())
                        text += QLatin1Char('\n');
                    text += b.text();
                    if (!formatSet && !b.text().isEmpty()) {
                        t->Format = doc_.FormatIndex(CharFormatOf(b.charFormat()));
                        t->CellAlign = AlignOf(b.blockFormat().alignment());
                        formatSet = true;
                    }
                }
                t->AppendCell(text);
            }
        }
        const QTextTableFormat tf = table.format();
        const QList<QTextLength> widths = tf.columnWidthConstraints();
        for (int c = 0; c < table.columns(); ++c) {
            const bool fixed = c < widths.size() && widths[c].type() == QTextLength::FixedLength;
            t->ColWidths.push_back(fixed ? int(widths[c].rawValue() * 15) : 1440);
        }
        t->HeaderBottomRow = tf.headerRowCount() - 1;
        t->RightBorderCol = -1;
        doc_.InsertTable(std::move(t));
        fresh_ = true;
    }

    const QTextDocument& src_;
    TWpDocument& doc_;
    bool fresh_ = true;
};

// ---- Out of the model -----------------------------------------------------------

// Twips to the text document's units (pixels at 96 dots per inch).
double Px(int twips)
{
    return twips / 15.0;
}

QTextCharFormat QtCharFormat(const TWpCharFormat& f)
{
    QTextCharFormat cf;
    cf.setFontFamilies({f.Font});
    cf.setFontPointSize(f.Size);
    cf.setFontWeight(f.Bold ? QFont::Bold : QFont::Normal);
    cf.setFontItalic(f.Italic);
    cf.setFontUnderline(f.Underline);
    return cf;
}

Qt::Alignment QtAlign(TWpAlign a)
{
    switch (a) {
    case TWpAlign::Centre: return Qt::AlignHCenter;
    case TWpAlign::Right: return Qt::AlignRight;
    case TWpAlign::Left: break;
    }
    return Qt::AlignLeft;
}

} // namespace

void TextDocumentToWord(const QTextDocument& src, TWpDocument& doc)
{
    doc.Clear();
    TReader reader(src, doc);
    reader.Read(src.rootFrame());
    doc.MoveToStart();
}

void WordToTextDocument(const TWpDocument& doc, QTextDocument& out, int textWidth)
{
    if (textWidth <= 0)
        textWidth = WordTextWidth(doc.Landscape);
    out.clear();
    out.setDocumentMargin(0);
    QTextCursor cur(&out);
    bool fresh = true;
    int pictureCount = 0;
    for (const TWpBlock& b : doc.Blocks()) {
        if (!b.IsTable) {
            const TWpParagraph& p = doc.Paragraph(b);
            QTextBlockFormat bf;
            bf.setAlignment(QtAlign(p.Align));
            if (p.PageBreakBefore)
                bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            const QTextCharFormat mark = QtCharFormat(doc.Formats()[p.MarkFormat]);
            if (fresh) {
                cur.setBlockFormat(bf);
                cur.setBlockCharFormat(mark);
            } else {
                cur.insertBlock(bf, mark);
            }
            fresh = false;
            for (const TWpRun& run : p.Runs) {
                if (run.Picture < 0) {
                    cur.insertText(run.Text, QtCharFormat(doc.Formats()[run.Format]));
                    continue;
                }
                const TWpPicture& pic = doc.Pictures()[std::size_t(run.Picture)];
                const QString name = QStringLiteral("report-picture-%1.png").arg(++pictureCount);
                out.addResource(QTextDocument::ImageResource, QUrl(name), QImage::fromData(pic.Png, "PNG"));
                QTextImageFormat image;
                image.setName(name);
                image.setWidth(pic.Pixels.width());
                image.setHeight(pic.Pixels.height());
                cur.insertImage(image);
            }
            continue;
        }
        const TWpTable& t = doc.Table(b);
        if (t.Rows() == 0 || t.Cols() == 0)
            continue;
        QTextTableFormat tf;
        tf.setBorder(0);
        tf.setCellSpacing(0);
        tf.setCellPadding(2);
        tf.setBorderCollapse(true);
        tf.setHeaderRowCount(t.HeaderBottomRow + 1);
        QList<QTextLength> widths;
        for (const int w : FittedColumnWidths(t, textWidth))
            widths << QTextLength(QTextLength::FixedLength, Px(w));
        tf.setColumnWidthConstraints(widths);
        if (!fresh)
            cur.insertBlock();
        QTextTable* table = cur.insertTable(t.Rows(), t.Cols(), tf);
        const QTextCharFormat cf = QtCharFormat(doc.Formats()[t.Format]);
        QTextBlockFormat cellBlock;
        cellBlock.setAlignment(QtAlign(t.CellAlign));
        for (int r = 0; r < t.Rows(); ++r) {
            const uint8_t shade = r < int(t.RowShading.size()) ? t.RowShading[std::size_t(r)] : 0;
            for (int c = 0; c < t.Cols(); ++c) {
                QTextTableCell cell = table->cellAt(r, c);
                QTextTableCellFormat format = cell.format().toTableCellFormat();
                auto border = [](int twips) { return twips > 0 ? Px(twips) : 0.0; };
                format.setTopBorder(border(r == 0 ? t.FrameWidth : 0));
                format.setBottomBorder(
                    border(r == t.Rows() - 1 ? t.FrameWidth : (r == t.HeaderBottomRow ? t.LineWidth : 0)));
                format.setLeftBorder(border(c == 0 ? t.FrameWidth : 0));
                format.setRightBorder(
                    border(c == t.Cols() - 1 ? t.FrameWidth : (c == t.RightBorderCol ? t.LineWidth : 0)));
                format.setTopBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                format.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                format.setLeftBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                format.setRightBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                if (shade != 0)
                    format.setBackground(WordIndexColour(shade));
                cell.setFormat(format);
                QTextCursor cc = cell.firstCursorPosition();
                cc.setBlockFormat(cellBlock);
                cc.insertText(t.Cell(r, c).toString(), cf);
            }
        }
        cur.movePosition(QTextCursor::End);
        fresh = true;
    }
}

bool PrintWordDocument(const TWpDocument& doc, const QString& jobTitle, int fromPage, int toPage)
{
    QTextDocument text;
    platform::TPrinterService& printer = platform::Printer();
    platform::TOrientationKeeper keep(printer, doc.Landscape ? 1 : 0);
    printer.SetTitle(jobTitle);
    // The document is laid out at 96 dots per inch and drawn scaled to the
    // printer's resolution; the margins are those of the RTF file (2 cm).
    const double scale = printer.Resolution() / 96.0;
    const double margin = Px(1134);
    const QSizeF body(printer.PageWidth() / scale - 2 * margin, printer.PageHeight() / scale - 2 * margin);
    if (body.width() <= 0 || body.height() <= 0)
        return false;
    // The tables fitted to this printer's text width, not the file's A4.
    WordToTextDocument(doc, text, int(body.width() * 15));
    text.setPageSize(body);
    const int pages = text.pageCount();
    const int first = std::max(1, fromPage);
    const int last = std::min(toPage, pages);
    platform::TPrintJobGuard guard;
    if (!guard.Acquired() || !printer.BeginDoc())
        return false;
    bool ok = true;
    for (int page = first; page <= last && ok; ++page) {
        if (page > first)
            ok = printer.NewPage();
        QPainter* painter = printer.Canvas().Painter();
        if (!ok || painter == nullptr) {
            ok = false;
            break;
        }
        painter->save();
        painter->scale(scale, scale);
        const QRectF clip(0, (page - 1) * body.height(), body.width(), body.height());
        painter->translate(margin, margin - clip.top());
        painter->setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        text.documentLayout()->draw(painter, context);
        painter->restore();
    }
    return printer.EndDoc() && ok;
}

} // namespace reports
