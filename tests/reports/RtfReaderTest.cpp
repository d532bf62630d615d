// Reading RTF into a QTextDocument, and round trips through the exporter.
#include "reports/RtfExport.h"
#include "reports/RtfReader.h"

#include "support/ExternalTools.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <gtest/gtest.h>

using namespace rtf;

namespace {

QByteArray rtfOf(const char* body)
{
    return QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                      "{\\f1\\fmodern\\fcharset255 Terminal;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}")
           + body + "}";
}

// The blocks of the document outside tables, as texts.
QStringList bodyTexts(const QTextDocument& doc)
{
    QStringList out;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it)
        if (!it.currentFrame())
            out << it.currentBlock().text();
    return out;
}

QTextTable* firstTable(const QTextDocument& doc)
{
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f))
            return t;
    return nullptr;
}

QTextCharFormat formatAt(const QTextDocument& doc, const QString& text)
{
    const QTextCursor c = doc.find(text);
    EXPECT_FALSE(c.isNull()) << text.toStdString();
    return c.charFormat();
}

// A document with what reports hold: formatted lines, a bullet list, a
// bordered table with box-drawing characters, a page break and an image.
void buildReport(QTextDocument& doc)
{
    QTextCursor c(&doc);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centred);
    QTextCharFormat title;
    title.setFontFamilies({QStringLiteral("Arial")});
    title.setFontPointSize(16);
    title.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("Zählerübersicht"), title);

    QTextBlockFormat indented;
    indented.setLeftMargin(40);
    indented.setTextIndent(20);
    indented.setRightMargin(10);
    c.insertBlock(indented);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Courier New")});
    plain.setFontPointSize(9);
    c.insertText(QStringLiteral("Zeit\tWert"), plain);
    c.insertText(QString(QChar::LineSeparator), plain);
    QTextCharFormat styled = plain;
    styled.setFontItalic(true);
    styled.setFontUnderline(true);
    styled.setForeground(QColor(255, 0, 0));
    c.insertText(QStringLiteral("kursiv rot"), styled);

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right);
    c.insertText(QStringLiteral("rechts"), plain);

    c.insertBlock(QTextBlockFormat());
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::ListDisc);
    c.createList(lf);
    c.insertText(QStringLiteral("erster Punkt"), plain);
    c.insertBlock();
    c.insertText(QStringLiteral("zweiter Punkt"), plain);

    QTextBlockFormat afterList;
    c.insertBlock(afterList);
    c.setBlockFormat(afterList);
    if (QTextList* l = c.currentList())
        l->remove(c.block());
    QTextCharFormat oem;
    oem.setFontFamilies({QStringLiteral("Terminal")});
    oem.setFontPointSize(9);
    c.insertText(QString::fromUtf16(u"┌──┬──┐"), oem);

    QTextTableFormat tf;
    tf.setBorderCollapse(true);
    tf.setBorder(2);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 120), QTextLength(QTextLength::FixedLength, 80)});
    QTextTable* t = c.insertTable(2, 2, tf);
    for (int r = 0; r < 2; ++r)
        for (int col = 0; col < 2; ++col) {
            QTextTableCell cell = t->cellAt(r, col);
            QTextTableCellFormat cf;
            cf.setTopBorder(r == 0 ? 2 : 0);
            cf.setTopBorderStyle(r == 0 ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
            cf.setBottomBorder(1);
            cf.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            cf.setLeftBorder(0);
            cf.setLeftBorderStyle(QTextFrameFormat::BorderStyle_None);
            cf.setRightBorder(col == 0 ? 1 : 0);
            cf.setRightBorderStyle(col == 0 ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
            if (col == 1)
                cf.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            cell.setFormat(cf);
            QTextCursor cc = cell.firstCursorPosition();
            if (col == 1) {
                QTextBlockFormat cb;
                cb.setAlignment(Qt::AlignRight);
                cc.setBlockFormat(cb);
            }
            cc.insertText(QStringLiteral("Z%1S%2 │").arg(r).arg(col), plain);
        }
    c.movePosition(QTextCursor::End);
    QTextBlockFormat newPage;
    newPage.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    c.setBlockFormat(newPage);
    c.insertText(QStringLiteral("Seite zwei"), plain);

    QImage img(10, 4, QImage::Format_RGB32);
    img.fill(QColor(0, 128, 255));
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:chart")), img);
    QTextImageFormat imf;
    imf.setName(QStringLiteral("mem:chart"));
    imf.setWidth(20);
    imf.setHeight(8);
    c.insertBlock(QTextBlockFormat());
    c.insertImage(imf);
}

} // namespace

TEST(RtfRead, NotRtfLeavesTheDocumentAlone)
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("keep"));
    EXPECT_FALSE(ReadRtf("hello", &doc));
    EXPECT_FALSE(ReadRtf("", &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("keep"));
    EXPECT_TRUE(LooksLikeRtf("\r\n {\\rtf1}"));
}

TEST(RtfRead, CharacterFormatsAndCodePages)
{
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(rtfOf("\\pard\\plain\\f0\\fs20 {\\b fett}{\\i kursiv}{\\ul unter}{\\strike durch}"
                              "{\\fs32 gross}{\\cf1 rot}{\\highlight2 blau}\\'e4\\'80\\par"
                              "\\pard{\\f1 \\'da\\'c4\\'b3\\'bf}{\\f0 \\'da}\\par"), &doc));
    const QStringList texts = bodyTexts(doc);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], QString::fromUtf16(u"fettkursivunterdurchgrossrotblauä€"));
    // Code page 437 in the OEM font, Windows-1252 elsewhere.
    EXPECT_EQ(texts[1], QString::fromUtf16(u"┌─│┐Ú"));
    EXPECT_EQ(formatAt(doc, QStringLiteral("fett")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt(doc, QStringLiteral("kursiv")).fontItalic());
    EXPECT_FALSE(formatAt(doc, QStringLiteral("kursiv")).fontWeight() == QFont::Bold);
    EXPECT_TRUE(formatAt(doc, QStringLiteral("unter")).fontUnderline());
    EXPECT_TRUE(formatAt(doc, QStringLiteral("durch")).fontStrikeOut());
    EXPECT_DOUBLE_EQ(formatAt(doc, QStringLiteral("gross")).fontPointSize(), 16.0);
    EXPECT_DOUBLE_EQ(formatAt(doc, QStringLiteral("fett")).fontPointSize(), 10.0);
    EXPECT_EQ(formatAt(doc, QStringLiteral("rot")).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(doc, QStringLiteral("blau")).background().color(), QColor(0, 0, 255));
    EXPECT_EQ(formatAt(doc, QStringLiteral("fett")).fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    const QTextCharFormat oem = formatAt(doc, QString::fromUtf16(u"┌─"));
    EXPECT_EQ(oem.fontFamilies().toStringList(), QStringList{QStringLiteral("Terminal")});
    EXPECT_EQ(oem.intProperty(FontCharsetProperty), CharsetOem);
}

TEST(RtfRead, UnicodeFallbacksAreSkipped)
{
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(rtfOf("\\pard a\\u9472\\'3fb\\u9472?c{\\uc2\\u8364\\'80\\'80}d{\\uc0\\u228 e}"
                              "\\u-10179\\'3f\\u-8704\\'3f\\par"), &doc));
    EXPECT_EQ(bodyTexts(doc).value(0), QString::fromUtf16(u"a─b─c€däe\U0001F600"));
}

TEST(RtfRead, ParagraphsBreaksAndIndents)
{
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(rtfOf("\\pard\\qc mitte\\par\\pard\\qr\\li300\\fi-150\\ri600 rechts\\line neu\\tab x\\par"
                              "\\pard\\tx1440\\tqr\\tx2880 tabs\\par\\page\\pard danach\\par"), &doc));
    const QTextBlock b0 = doc.begin();
    EXPECT_EQ(b0.text(), QStringLiteral("mitte"));
    EXPECT_EQ(b0.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextBlock b1 = b0.next();
    EXPECT_EQ(b1.text(), QStringLiteral("rechts") + QChar(QChar::LineSeparator) + QStringLiteral("neu\tx"));
    EXPECT_EQ(b1.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_DOUBLE_EQ(b1.blockFormat().leftMargin(), 20.0);
    EXPECT_DOUBLE_EQ(b1.blockFormat().textIndent(), -10.0);
    EXPECT_DOUBLE_EQ(b1.blockFormat().rightMargin(), 40.0);
    const QList<QTextOption::Tab> tabs = b1.next().blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_DOUBLE_EQ(tabs[0].position, 96.0);
    EXPECT_EQ(tabs[1].type, QTextOption::RightTab);
    const QTextBlock after = b1.next().next();
    EXPECT_EQ(after.text(), QStringLiteral("danach"));
    EXPECT_TRUE(after.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_FALSE(b1.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
}

TEST(RtfRead, BulletsOfBothKindsMakeLists)
{
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(rtfOf("{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid7}"
                              "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid8}}"
                              "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}{\\listoverride\\listid8\\ls2}}"
                              "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}eins\\par"
                              "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}zwei\\par"
                              "\\pard kein\\par"
                              "\\pard\\ls1{\\listtext\\'b7\\tab}drei\\par"
                              "\\pard\\ls2{\\listtext 1.\\tab}vier\\par"), &doc));
    EXPECT_EQ(bodyTexts(doc), (QStringList{QStringLiteral("eins"), QStringLiteral("zwei"), QStringLiteral("kein"),
                                           QStringLiteral("drei"), QStringLiteral("vier")}));
    QTextBlock b = doc.begin();
    ASSERT_NE(b.textList(), nullptr);
    EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(b.next().textList(), b.textList());
    EXPECT_EQ(b.next().next().textList(), nullptr);
    ASSERT_NE(b.next().next().next().textList(), nullptr);
    EXPECT_EQ(b.next().next().next().textList()->format().style(), QTextListFormat::ListDisc);
    ASSERT_NE(b.next().next().next().next().textList(), nullptr);
    EXPECT_EQ(b.next().next().next().next().textList()->format().style(), QTextListFormat::ListDecimal);
}

TEST(RtfRead, TablesWithBordersFrameAndAlignment)
{
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(rtfOf("\\pard vor\\par"
                              "\\trowd\\trgaph54\\trqc\\trbrdrt\\brdrs\\brdrw30\\trbrdrl\\brdrs\\brdrw30"
                              "\\clbrdrt\\brdrs\\brdrw15\\clbrdrb\\brdrdb\\brdrw10\\brdrcf1\\cellx1500"
                              "\\clvertalc\\clcbpat2\\clbrdrr\\brdrs\\brdrw20\\cellx3000"
                              "\\pard\\intbl\\qc A1\\cell\\pard\\intbl\\qr B1\\par zweite\\cell\\row"
                              "\\trowd\\cellx1500\\cellx3000\\cellx4500\\pard\\intbl A2\\cell B2\\cell C2\\cell\\row"
                              "\\pard nach\\par"), &doc));
    QTextTable* t = firstTable(doc);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rows(), 2);
    EXPECT_EQ(t->columns(), 3);
    EXPECT_EQ(bodyTexts(doc), (QStringList{QStringLiteral("vor"), QStringLiteral("nach")}));
    const QTextTableFormat tf = t->format();
    EXPECT_DOUBLE_EQ(tf.border(), 2.0);
    EXPECT_EQ(tf.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QList<QTextLength> widths = tf.columnWidthConstraints();
    ASSERT_GE(widths.size(), 2);
    EXPECT_DOUBLE_EQ(widths[0].rawValue(), 100.0);
    EXPECT_DOUBLE_EQ(widths[1].rawValue(), 100.0);

    const QTextTableCellFormat a1 = t->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(a1.topBorder(), 1.0);
    EXPECT_EQ(a1.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_EQ(a1.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    EXPECT_EQ(a1.bottomBorderBrush().color(), QColor(255, 0, 0));
    EXPECT_EQ(a1.leftBorderStyle(), QTextFrameFormat::BorderStyle_None);
    const QTextTableCellFormat b1 = t->cellAt(0, 1).format().toTableCellFormat();
    EXPECT_EQ(b1.verticalAlignment(), QTextCharFormat::AlignMiddle);
    EXPECT_EQ(b1.background().color(), QColor(0, 0, 255));
    EXPECT_DOUBLE_EQ(b1.rightBorder(), 20.0 / 15.0);

    const QTextBlock a1Block = t->cellAt(0, 0).firstCursorPosition().block();
    EXPECT_EQ(a1Block.text(), QStringLiteral("A1"));
    EXPECT_EQ(a1Block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QTextCursor b1c = t->cellAt(0, 1).firstCursorPosition();
    EXPECT_EQ(b1c.block().text(), QStringLiteral("B1"));
    EXPECT_EQ(b1c.block().next().text(), QStringLiteral("zweite"));
    EXPECT_EQ(t->cellAt(1, 2).firstCursorPosition().block().text(), QStringLiteral("C2"));
}

TEST(RtfRead, DestinationsAndPictures)
{
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(Qt::green);
    QByteArray png;
    {
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "PNG");
    }
    const QByteArray body = "{\\info{\\title Titel}}{\\stylesheet{\\s0 Normal;}}{\\*\\unbekannt {geheim} text}"
                            "{\\header Kopf}{\\*\\generator x;}\\pard sichtbar{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}"
                            "{\\*\\shppict{\\pict\\pngblip\\picw3\\pich2\\picwgoal90\\pichgoal60 "
                            + png.toHex() + "}}{\\nonshppict{\\pict\\wmetafile8\\picw3\\pich2 0100090000}}"
                            "{\\pict\\wmetafile8\\picw3\\pich2 0100090000}{\\pict\\emfblip 0100}\\par";
    QTextDocument doc;
    TRtfReadInfo info;
    ASSERT_TRUE(ReadRtf(rtfOf(body.constData()), &doc, &info));
    const QString text = doc.toPlainText();
    EXPECT_EQ(text, QStringLiteral("sichtbarlink") + QChar(QChar::ObjectReplacementCharacter));
    // The metafiles are dropped; the PNG is read with its shown size.
    EXPECT_EQ(info.DroppedPictures, 2);
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    const QTextImageFormat f = c.charFormat().toImageFormat();
    ASSERT_TRUE(f.isValid());
    EXPECT_DOUBLE_EQ(f.width(), 6.0);
    EXPECT_DOUBLE_EQ(f.height(), 4.0);
    const QImage back = doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
    EXPECT_EQ(back.size(), QSize(3, 2));
}

TEST(RtfRead, PageSettings)
{
    QTextDocument doc;
    TRtfReadInfo info;
    ASSERT_TRUE(ReadRtf(rtfOf("\\paperw16838\\paperh11906\\margl567\\margr850\\margt1000\\margb1100\\landscape x\\par"),
                        &doc, &info));
    EXPECT_TRUE(info.HasPageSettings);
    EXPECT_TRUE(info.Settings.Landscape);
    EXPECT_EQ(info.Settings.PaperWidth, 11906);   // the sheet upright
    EXPECT_EQ(info.Settings.PaperHeight, 16838);
    EXPECT_EQ(info.Settings.MarginLeft, 567);
    EXPECT_EQ(info.Settings.MarginRight, 850);
    EXPECT_EQ(info.Settings.MarginTop, 1000);
    EXPECT_EQ(info.Settings.MarginBottom, 1100);
}

TEST(RtfRead, BadInputIsReadAsFarAsItGoes)
{
    QTextDocument doc;
    // Cut off inside a group, a hex escape and a control word.
    EXPECT_TRUE(ReadRtf("{\\rtf1 abc{\\b def", &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("abcdef"));
    EXPECT_TRUE(ReadRtf("{\\rtf1 x\\'4", &doc));
    EXPECT_TRUE(ReadRtf("{\\rtf1 x\\", &doc));
    EXPECT_TRUE(ReadRtf("{\\rtf1 x\\fs99999999999999999999 y\\li-99999999999 z\\par}", &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("xyz"));
    // Too many closing braces: the document ends at its own.
    EXPECT_TRUE(ReadRtf("{\\rtf1 a}}}} b", &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("a"));
    // \bin longer than the file, a picture cut off.
    EXPECT_TRUE(ReadRtf("{\\rtf1 a{\\pict\\pngblip\\bin999999 xx", &doc));
    EXPECT_TRUE(ReadRtf("{\\rtf1 a{\\pict\\pngblip 89504e47", &doc));
    // Deep nesting costs no stack.
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(200000, '{') + "tief" + QByteArray(200000, '}');
    EXPECT_TRUE(ReadRtf(deep, &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("tief"));
    // Cells without a row, rows without cells, a row of many cells.
    EXPECT_TRUE(ReadRtf("{\\rtf1 \\row\\cell\\cell\\intbl x\\cell", &doc));
    QByteArray wide = "{\\rtf1 \\trowd";
    for (int i = 0; i < 2000; ++i)
        wide += "\\cellx" + QByteArray::number(i * 10);
    for (int i = 0; i < 2000; ++i)
        wide += "\\intbl c\\cell";
    wide += "\\row}";
    EXPECT_TRUE(ReadRtf(wide, &doc));
    ASSERT_NE(firstTable(doc), nullptr);
    EXPECT_LE(firstTable(doc)->columns(), 256);
}

// The report document written and read again keeps what was in it.
TEST(RtfRoundTrip, FormattedReportWithTablePageBreakLandscapeAndImage)
{
    QTextDocument doc;
    buildReport(doc);
    TRtfDocumentSettings page;
    page.Landscape = true;
    page.MarginLeft = 850;
    const QByteArray rtf = DocumentToRtf(doc, page);
    if (qEnvironmentVariableIsSet("RTF_DUMP"))
        testsupport::writeFile(qEnvironmentVariable("RTF_DUMP"), rtf);
    ASSERT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("\\landscape"));

    QTextDocument back;
    TRtfReadInfo info;
    ASSERT_TRUE(ReadRtf(rtf, &back, &info));
    EXPECT_EQ(info.Settings, page);
    EXPECT_EQ(info.DroppedPictures, 0);
    EXPECT_EQ(back.toPlainText().toStdString(), doc.toPlainText().toStdString());

    const QTextCharFormat title = formatAt(back, QStringLiteral("Zählerübersicht"));
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 16.0);
    EXPECT_EQ(back.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextCharFormat red = formatAt(back, QStringLiteral("kursiv rot"));
    EXPECT_TRUE(red.fontItalic());
    EXPECT_TRUE(red.fontUnderline());
    EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(red.fontFamilies().toStringList(), QStringList{QStringLiteral("Courier New")});

    const QTextBlock indented = back.begin().next();
    EXPECT_DOUBLE_EQ(indented.blockFormat().leftMargin(), 40.0);
    EXPECT_DOUBLE_EQ(indented.blockFormat().textIndent(), 20.0);
    EXPECT_DOUBLE_EQ(indented.blockFormat().rightMargin(), 10.0);

    const QTextBlock bullet = back.findBlock(back.find(QStringLiteral("erster Punkt")).position());
    ASSERT_NE(bullet.textList(), nullptr);
    EXPECT_EQ(bullet.next().textList(), bullet.textList());
    EXPECT_EQ(bullet.next().next().textList(), nullptr);

    const QTextCharFormat box = formatAt(back, QString::fromUtf16(u"┌──┬──┐"));
    EXPECT_EQ(box.intProperty(FontCharsetProperty), CharsetOem);

    QTextTable* t = firstTable(back);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rows(), 2);
    EXPECT_EQ(t->columns(), 2);
    EXPECT_EQ(t->cellAt(1, 1).firstCursorPosition().block().text(), QString::fromUtf16(u"Z1S1 │"));
    EXPECT_DOUBLE_EQ(t->format().border(), 2.0);
    const QList<QTextLength> widths = t->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_DOUBLE_EQ(widths[1].rawValue(), 80.0);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            const QTextTableCellFormat was = doc.rootFrame()->childFrames().isEmpty()
                                                 ? QTextTableCellFormat()
                                                 : firstTable(doc)->cellAt(r, c).format().toTableCellFormat();
            const QTextTableCellFormat now = t->cellAt(r, c).format().toTableCellFormat();
            EXPECT_DOUBLE_EQ(now.topBorder(), was.topBorder()) << r << c;
            EXPECT_EQ(now.topBorderStyle(), was.topBorderStyle()) << r << c;
            EXPECT_DOUBLE_EQ(now.bottomBorder(), was.bottomBorder()) << r << c;
            EXPECT_EQ(now.leftBorderStyle(), was.leftBorderStyle()) << r << c;
            EXPECT_DOUBLE_EQ(now.rightBorder(), was.rightBorder()) << r << c;
            EXPECT_EQ(now.rightBorderStyle(), was.rightBorderStyle()) << r << c;
            EXPECT_EQ(now.verticalAlignment(), was.verticalAlignment()) << r << c;
        }
    EXPECT_EQ(t->cellAt(0, 1).firstCursorPosition().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);

    const QTextBlock second = back.findBlock(back.find(QStringLiteral("Seite zwei")).position());
    EXPECT_TRUE(second.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);

    QTextCursor end(&back);
    end.movePosition(QTextCursor::End);
    const QTextImageFormat imf = end.charFormat().toImageFormat();
    ASSERT_TRUE(imf.isValid());
    EXPECT_DOUBLE_EQ(imf.width(), 20.0);
    EXPECT_DOUBLE_EQ(imf.height(), 8.0);
    const QImage img = back.resource(QTextDocument::ImageResource, QUrl(imf.name())).value<QImage>();
    ASSERT_EQ(img.size(), QSize(10, 4));
    EXPECT_EQ(img.pixelColor(5, 2), QColor(0, 128, 255));

    // Written again, the document gives the same RTF: nothing drifts.
    EXPECT_EQ(DocumentToRtf(back, info.Settings).toStdString(), rtf.toStdString());
}

TEST(RtfRoundTrip, FilesAndJpegPictures)
{
    QTemporaryDir dir;
    QTextDocument doc;
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    QByteArray jpeg;
    {
        QBuffer buf(&jpeg);
        buf.open(QIODevice::WriteOnly);
        ASSERT_TRUE(img.save(&buf, "JPG"));
    }
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:j")), jpeg);
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("Foto "));
    QTextImageFormat f;
    f.setName(QStringLiteral("mem:j"));
    c.insertImage(f);
    const QString path = dir.filePath(QStringLiteral("a.rtf"));
    ASSERT_TRUE(SaveRtfFile(doc, path));
    // The JPEG goes as it was, not re-encoded.
    EXPECT_TRUE(testsupport::readFile(path).contains("\\jpegblip"));
    EXPECT_TRUE(testsupport::readFile(path).contains(jpeg.toHex().left(64)));
    QTextDocument back;
    ASSERT_TRUE(LoadRtfFile(path, &back));
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
    EXPECT_FALSE(LoadRtfFile(dir.filePath(QStringLiteral("missing.rtf")), &back));
    EXPECT_FALSE(SaveRtfFile(doc, dir.filePath(QStringLiteral("no/such/dir/a.rtf"))));
}

// What the exporter writes is read by unrtf, too.
TEST(RtfRoundTrip, UnrtfReadsTheExportedReport)
{
    REQUIRE_TOOL("unrtf");
    QTemporaryDir dir;
    QTextDocument doc;
    buildReport(doc);
    const QString path = dir.filePath(QStringLiteral("report.rtf"));
    ASSERT_TRUE(SaveRtfFile(doc, path));
    const auto r = testsupport::runTool(QStringLiteral("unrtf"), {QStringLiteral("--html"), path}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QString html = QString::fromUtf8(r.out);
    EXPECT_TRUE(html.contains(QStringLiteral("Z&auml;hler&uuml;bersicht"))) << r.out.constData();
    EXPECT_TRUE(html.contains(QStringLiteral("&#9484;&#9472;&#9472;&#9516;&#9472;&#9472;&#9488;")));
    EXPECT_TRUE(html.contains(QStringLiteral("Z1S1 &#9474;")));
    EXPECT_EQ(html.count(QStringLiteral("<td")), 4);
    EXPECT_TRUE(html.contains(QStringLiteral("<center>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<hr>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Seite zwei")));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.png")}, QDir::Files).size(), 1);
}

TEST(RtfRead, ControlCharactersAndEmptyLastCellParagraphs)
{
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(rtfOf("\\pard a\\'02\\'00b{\\uc0\\u7}c{\\uc0\\u10}d\\par"
                              "\\trowd\\cellx1000\\pard\\intbl x\\par\\cell\\row"), &doc));
    EXPECT_EQ(bodyTexts(doc).value(0), QStringLiteral("abc") + QChar(QChar::LineSeparator) + QStringLiteral("d"));
    QTextTable* t = firstTable(doc);
    ASSERT_NE(t, nullptr);
    // The paragraph between the last \par and \cell counts, empty as it is.
    const QTextTableCell cell = t->cellAt(0, 0);
    EXPECT_EQ(cell.lastCursorPosition().blockNumber() - cell.firstCursorPosition().blockNumber(), 1);
}

// What the exporter writes reads back into a document that writes the same
// RTF again, also for odd input (cases the fuzz target found).
TEST(RtfRoundTrip, OwnRtfIsAFixedPoint)
{
    const char* inputs[] = {
        "{\\rtf1{\\fonttbl{\\f0  Sans\\~Serif ;}{\\f1 Sans Serif;}{\\f2 a\\{b\\u322\\'3f;}}"
        "\\pard{\\f0 x}{\\f1 y}{\\f2 z}\\par}",
        "{\\rtf1\\deff5\\deftab360\\paperw16838\\paperh11\\landscape\\trowd\\cellx20000\\cellx40000\\cellx99999999"
        "\\pard\\intbl a\\par\\cell b\\cell\\row}",
        "{\\rtf1 {\\f0 a}{\\plain b}{\\fs24 c}\\par\\trowd\\cellx100\\pard\\intbl\\par\\cell\\row\\page}",
    };
    for (const char* in : inputs) {
        QTextDocument first;
        TRtfReadInfo info;
        ASSERT_TRUE(ReadRtf(in, &first, &info)) << in;
        const QByteArray written = DocumentToRtf(first, info.Settings);
        QTextDocument second;
        TRtfReadInfo info2;
        ASSERT_TRUE(ReadRtf(written, &second, &info2));
        EXPECT_EQ(second.toPlainText().toStdString(), first.toPlainText().toStdString()) << in;
        EXPECT_EQ(info2.Settings, info.Settings) << in;
        EXPECT_EQ(DocumentToRtf(second, info2.Settings).toStdString(), written.toStdString()) << in;
    }
}

TEST(RtfRoundTrip, ColoursOfLinesNotDrawnStayOutOfTheTable)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextTable* t = c.insertTable(1, 1);
    QTextTableCellFormat cf;
    cf.setTopBorder(0);
    cf.setTopBorderStyle(QTextFrameFormat::BorderStyle_None);
    cf.setTopBorderBrush(QColor(255, 0, 0));
    cf.setBottomBorder(1);
    cf.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    cf.setBottomBorderBrush(QColor(0, 0, 255));
    t->cellAt(0, 0).setFormat(cf);
    const QByteArray rtf = DocumentToRtf(doc);
    EXPECT_FALSE(rtf.contains("\\red255\\green0\\blue0")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\red0\\green0\\blue255"));
    EXPECT_TRUE(rtf.contains("\\clbrdrb\\brdrs\\brdrw15\\brdrcf"));
}

TEST(RtfRoundTrip, FontsOfPicturesStayOutOfTheTable)
{
    QTextDocument doc;
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:p")), QImage(2, 2, QImage::Format_RGB32));
    QTextCursor c(&doc);
    QTextCharFormat arial;
    arial.setFontFamilies({QStringLiteral("Arial")});
    c.insertText(QStringLiteral("Text "), arial);
    QTextImageFormat picture;
    picture.setName(QStringLiteral("mem:p"));
    picture.setFontFamilies({QStringLiteral("Terminal")});
    c.insertImage(picture);
    const QByteArray rtf = DocumentToRtf(doc);
    EXPECT_TRUE(rtf.contains("Arial;"));
    EXPECT_FALSE(rtf.contains("Terminal")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\pngblip"));
}
