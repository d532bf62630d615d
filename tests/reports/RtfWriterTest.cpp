// The streaming RTF writer: encoding of texts, the shape of what it writes,
// and what Debian's unrtf makes of it.
#include "reports/RtfWriter.h"

#include "support/ExternalTools.h"
#include "support/HostileText.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace rtf;

namespace {

QByteArray encoded(const QString& text, int charset = CharsetAnsi)
{
    QByteArray out;
    TRtfWriter::AppendText(out, text, charset);
    return out;
}

TRtfBorder line(int w = 10) { return TRtfBorder{w, 0, false}; }

TRtfRowFormat borderedRow(int cells, int width = 1800)
{
    TRtfRowFormat row;
    for (int i = 0; i < cells; ++i) {
        TRtfCellFormat c;
        c.RightEdge = (i + 1) * width;
        c.Top = c.Bottom = c.Left = c.Right = line();
        row.Cells.push_back(c);
    }
    row.FrameTop = row.FrameBottom = row.FrameLeft = row.FrameRight = line(30);
    return row;
}

} // namespace

TEST(RtfWriterText, EscapesAndCodePages)
{
    EXPECT_EQ(encoded(QStringLiteral("a\\b{c}d")), QByteArray("a\\\\b\\{c\\}d"));
    EXPECT_EQ(encoded(QStringLiteral("x\ty\nz")), QByteArray("x\\tab y\\line z"));
    // Windows-1252 has ä and the euro sign (0x80).
    EXPECT_EQ(encoded(QStringLiteral("ä€")), QByteArray("\\'e4\\'80"));
    // Outside Windows-1252: \uN with the fallback \'3f, signed 16-bit.
    EXPECT_EQ(encoded(QString(QChar(0x2500))), QByteArray("\\u9472\\'3f"));
    EXPECT_EQ(encoded(QString(QChar(0xFFFD))), QByteArray("\\u-3\\'3f"));
    // Characters beyond the basic plane go as their two surrogates.
    EXPECT_EQ(encoded(QString::fromUcs4(U"\U0001F600", 1)), QByteArray("\\u-10179\\'3f\\u-8704\\'3f"));
    EXPECT_EQ(encoded(QString(QChar(0x2028))), QByteArray("\\line "));
    // A line end is one line break, whichever of CR LF, CR or LF it is.
    EXPECT_EQ(encoded(QStringLiteral("a\r\nb\rc\nd")), QByteArray("a\\line b\\line c\\line d"));
}

TEST(RtfWriterText, CharactersADocumentCannotHoldBecomeTheReplacementCharacter)
{
    // NUL, the other control characters, DEL, the C1 controls (U+0081 would
    // otherwise go as the undefined Windows-1252 byte 81), noncharacters and
    // lone surrogates.
    const auto& chars = testsupport::HostileChars();
    for (int i = 0; i < int(chars.size()); ++i) {
        const QByteArray n = QByteArray::number(i);
        EXPECT_EQ(encoded(testsupport::HostileCell(i)), "a" + n + "\\u-3\\'3fb" + n) << chars[std::size_t(i)].Name;
        EXPECT_EQ(encoded(testsupport::HostileCell(i), CharsetOem), "a" + n + "\\u-3\\'3fb" + n)
            << chars[std::size_t(i)].Name;
    }
    EXPECT_EQ(encoded(QString(QChar(0x81))), QByteArray("\\u-3\\'3f"));
    EXPECT_EQ(encoded(QStringLiteral("a\x01\x1f" "b")), QByteArray("a\\u-3\\'3f\\u-3\\'3fb"));
}

TEST(RtfWriterText, OemFontsGetUnicodeForEveryNonAscii)
{
    // A \'c4 in an OEM font means the box-drawing line of code page 437, not Ä:
    // text in such a font never goes as Windows-1252 bytes.
    EXPECT_EQ(encoded(QStringLiteral("Ä"), CharsetOem), QByteArray("\\u196\\'3f"));
    EXPECT_EQ(encoded(QStringLiteral("A-"), CharsetOem), QByteArray("A-"));
}

TEST(RtfWriterShape, HeaderTablesAndPage)
{
    QByteArray out;
    TRtfWriter w(&out);
    TRtfDocumentSettings s;
    s.Landscape = true;
    s.MarginLeft = 567;
    w.Begin(s, {{QStringLiteral("Arial"), CharsetAnsi, TFontFamily::Swiss},
                {QStringLiteral("Terminal"), CharsetOem, TFontFamily::Modern}},
            {QColor(255, 0, 0)});
    w.Paragraph({}, u"x", {});
    EXPECT_TRUE(w.End());
    EXPECT_TRUE(out.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"));
    EXPECT_TRUE(out.contains("{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern\\fcharset255 Terminal;}"));
    EXPECT_TRUE(out.contains("{\\colortbl;\\red255\\green0\\blue0;}"));
    // Landscape turns the sheet: the width is the longer side.
    EXPECT_TRUE(out.contains("\\paperw16838\\paperh11906\\margl567"));
    EXPECT_TRUE(out.contains("\\landscape"));
    EXPECT_TRUE(out.endsWith("}\n"));
    EXPECT_EQ(out.count('{'), out.count('}'));
}

TEST(RtfWriterShape, CellsWithSeveralParagraphsAndMissingCells)
{
    QByteArray out;
    TRtfWriter w(&out);
    w.Begin({}, {});
    TRtfRowFormat row = borderedRow(3);
    w.BeginRow(row);
    w.BeginCell();
    w.Paragraph({}, u"one", {});
    w.Paragraph({}, u"two", {});
    w.EndCell();
    w.EndRow();   // two cells never written
    w.End();
    // The first paragraph of a cell ends with \par, its last with \cell;
    // every defined cell gets its \cell.
    const qsizetype par = out.indexOf("one");
    const qsizetype two = out.indexOf("two");
    ASSERT_GT(par, 0);
    EXPECT_TRUE(out.mid(par, two - par).contains("\\par"));
    EXPECT_EQ(out.count("\\cell\n"), 3);
    EXPECT_EQ(out.count("\\row"), 1);
    EXPECT_TRUE(out.contains("\\clbrdrt\\brdrs\\brdrw10"));
    EXPECT_TRUE(out.contains("\\trbrdrt\\brdrs\\brdrw30"));
    EXPECT_TRUE(out.contains("\\cellx5400"));
}

TEST(RtfWriterShape, DeviceGetsEverythingAndLargeTablesStream)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("big.rtf")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    TRtfWriter w(&f);
    w.Begin({}, {});
    const TRtfRowFormat row = borderedRow(4);
    for (int r = 0; r < 20000; ++r)
        w.TableRow(row, {QString::number(r), QStringLiteral("b"), QStringLiteral("ü"), QString()}, {});
    // Nothing of the document is kept: what was written left the buffer.
    EXPECT_GT(f.size(), 0);
    EXPECT_TRUE(w.End());
    f.close();
    const QByteArray all = testsupport::readFile(f.fileName());
    EXPECT_EQ(all.count("\\row\n"), 20000);
    EXPECT_TRUE(all.contains("19999"));
    EXPECT_TRUE(all.endsWith("}\n"));
}

TEST(RtfWriterShape, RefusedWritesAreReported)
{
    QBuffer buf;   // never opened: every write fails
    TRtfWriter w(&buf);
    w.Begin({}, {});
    w.Paragraph({}, u"x", {});
    EXPECT_FALSE(w.End());
}

// unrtf is the independent reader: texts with entities, cells as <td>,
// centred lines, the page break as <hr>, pictures written out as files.
TEST(RtfWriterReadBack, UnrtfHtml)
{
    REQUIRE_TOOL("unrtf");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.rtf"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        TRtfWriter w(&f);
        w.Begin({}, {{QStringLiteral("Arial"), CharsetAnsi, TFontFamily::Swiss},
                     {QStringLiteral("Terminal"), CharsetOem, TFontFamily::Modern}});
        TRtfParagraphFormat centred;
        centred.Align = TAlign::Center;
        TRtfCharFormat bold;
        bold.Bold = true;
        w.Paragraph(centred, u"Zählerstand Übersicht", bold);
        TRtfCharFormat oem;
        oem.Font = 1;
        w.Paragraph({}, QString::fromUtf16(u"┌──┐ after box"), oem);
        w.TableRow(borderedRow(2), {QStringLiteral("Zelle eins"), QStringLiteral("Zelle zwei")}, {});
        w.PageBreak();
        w.Paragraph({}, u"second page", {});
        QImage img(8, 6, QImage::Format_RGB32);
        img.fill(Qt::red);
        w.BeginParagraph({});
        w.Picture(img);
        w.EndParagraph();
        ASSERT_TRUE(w.End());
    }
    const auto r = testsupport::runTool(QStringLiteral("unrtf"), {QStringLiteral("--html"), path}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QString html = QString::fromUtf8(r.out);
    EXPECT_TRUE(html.contains(QStringLiteral("Z&auml;hlerstand &Uuml;bersicht"))
                || html.contains(QStringLiteral("Z&#228;hlerstand &#220;bersicht"))) << r.out.constData();
    EXPECT_TRUE(html.contains(QStringLiteral("&#9484;&#9472;&#9472;&#9488;"))) << r.out.constData();
    // The text after a \uN\'3f is kept.
    EXPECT_TRUE(html.contains(QStringLiteral("after box")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Zelle zwei")));
    EXPECT_TRUE(html.contains(QStringLiteral("<hr")));
    EXPECT_TRUE(html.contains(QStringLiteral("center")));
    EXPECT_TRUE(html.contains(QStringLiteral("second page")));
    const QStringList pictures = QDir(dir.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
    ASSERT_EQ(pictures.size(), 1);
    QImage back(dir.filePath(pictures.front()));
    EXPECT_EQ(back.size(), QSize(8, 6));
}

TEST(RtfWriterShape, TextRowsSayTheirFormatsOncePerRow)
{
    QByteArray out;
    TRtfWriter w(&out);
    w.Begin({}, {TRtfFont{QStringLiteral("Arial")}, TRtfFont{QStringLiteral("Courier New")}});
    TRtfCharFormat bold;
    bold.Font = 1;
    bold.HalfPoints = 18;
    bold.Bold = true;
    const TRtfRowFormat row = borderedRow(4);
    const QString umlaut = QStringLiteral("Zähler {1}");
    for (int r = 0; r < 3; ++r)
        w.TextRow(row, {u"a b", QStringView(umlaut), QStringView(), u" x\\y"}, bold, TAlign::Center);
    w.TextRow(row, {u"kurz"}, bold, TAlign::Center);   // cells beyond the texts stay empty
    w.Paragraph({}, u"danach", TRtfCharFormat{});
    ASSERT_TRUE(w.End());
    EXPECT_EQ(out.count("\\intbl"), 4) << out.toStdString();
    EXPECT_EQ(out.count("\\f1\\fs18\\b "), 4) << out.toStdString();
    EXPECT_EQ(out.count("\\cell\n"), 16);
    EXPECT_EQ(out.count("\\row\n"), 4);
    EXPECT_TRUE(out.contains("Z\\'e4hler \\{1\\}\\cell\n"));
    EXPECT_TRUE(out.contains("\\cell\n x\\\\y\\cell\n"));
    EXPECT_TRUE(out.contains("kurz\\cell\n\\cell\n\\cell\n\\cell\n}\\row"));
}

TEST(RtfWriterReadBack, TextRowsKeepTheirFormatInEveryCellInLibreOffice)
{
    REQUIRE_TOOL("soffice");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("rows.rtf"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        TRtfWriter w(&f);
        w.Begin({}, {});
        TRtfCharFormat bold;
        bold.HalfPoints = 18;
        bold.Bold = true;
        w.TextRow(borderedRow(3), {u"eins", u"zwei", u"drei"}, bold, TAlign::Center);
        w.TextRow(borderedRow(3), {u"vier", QStringView(), u"sechs"}, bold, TAlign::Center);
        w.Paragraph({}, u"danach", TRtfCharFormat{});
        ASSERT_TRUE(w.End());
    }
    QString error;
    const QString html = testsupport::convertWithLibreOffice(file, QStringLiteral("html"), dir.path(), &error);
    ASSERT_FALSE(html.isEmpty()) << error.toStdString();
    const QString text = QString::fromUtf8(testsupport::readFile(html)).simplified();
    EXPECT_EQ(text.count(QStringLiteral("<tr")), 2) << text.toStdString();
    for (const char* t : {"eins", "zwei", "drei", "vier", "sechs"})
        EXPECT_TRUE(text.contains(QStringLiteral("font-size: 9pt\"><b>%1</b>").arg(QLatin1String(t))))
            << t << "\n" << text.toStdString();
    // The row's format stays in its row.
    EXPECT_TRUE(text.contains(QStringLiteral("font-size: 10pt\">danach<"))) << text.toStdString();
}

TEST(RtfWriterReadBack, LibreOfficeReadsEveryRowAndTheTextAfterACharacterADocumentCannotHold)
{
    REQUIRE_TOOL("soffice");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("zeichen.rtf"));
    const auto& chars = testsupport::HostileChars();
    const int n = int(chars.size());
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        TRtfWriter w(&f);
        w.Begin({}, {});
        // The characters in lines of text and in the cells of a table.
        for (int i = 0; i < n; ++i)
            w.Paragraph({}, QStringLiteral("Zeile ") + testsupport::HostileCell(i), TRtfCharFormat{});
        for (int i = 0; i < n; ++i) {
            const QString number = QString::number(i);
            const QString cell = testsupport::HostileCell(i);
            const QString after = QStringLiteral("nach%1").arg(i);
            w.TextRow(borderedRow(3), {number, cell, after}, TRtfCharFormat{}, TAlign::Left);
        }
        w.Paragraph({}, u"Ende", TRtfCharFormat{});
        ASSERT_TRUE(w.End());
    }
    QString error;
    const QString text = testsupport::convertWithLibreOffice(file, QStringLiteral("txt:Text (encoded):UTF8"),
                                                             dir.filePath(QStringLiteral("out")), &error);
    ASSERT_FALSE(text.isEmpty()) << error.toStdString();
    std::vector<QString> seen;
    for (QString line : QString::fromUtf8(testsupport::readFile(text)).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (!line.isEmpty())
            seen.push_back(line);
    }
    const auto at = [&](const QString& t) { return std::find(seen.begin(), seen.end(), t) - seen.begin(); };
    const auto none = std::ptrdiff_t(seen.size());
    std::ptrdiff_t previous = -1;
    for (int i = 0; i < n; ++i) {
        const std::ptrdiff_t line = at(QStringLiteral("Zeile ") + testsupport::ReplacedCell(i));
        EXPECT_NE(line, none) << chars[std::size_t(i)].Name;
        EXPECT_LT(previous, line) << chars[std::size_t(i)].Name;
        previous = line;
    }
    for (int i = 0; i < n; ++i) {
        const std::ptrdiff_t cell = at(testsupport::ReplacedCell(i));
        const std::ptrdiff_t after = at(QStringLiteral("nach%1").arg(i));
        EXPECT_NE(cell, none) << chars[std::size_t(i)].Name;
        EXPECT_NE(after, none) << chars[std::size_t(i)].Name;
        EXPECT_LT(previous, cell) << chars[std::size_t(i)].Name;
        EXPECT_LT(cell, after) << chars[std::size_t(i)].Name;
        previous = after;
    }
    const std::ptrdiff_t end = at(QStringLiteral("Ende"));
    EXPECT_NE(end, none);
    EXPECT_LT(previous, end);
}
