// Text-format converters: the dialog filters and names, and import and export
// through each converter.
#include "reports/Converters.h"

#include "platform/Hooks.h"
#include "platform/TextCodec.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

using namespace converters;

namespace {

// The descriptions of a "Name|mask|Name|mask" filter.
QStringList filterNames(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList names;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        names << parts[i];
    return names;
}

QString messagesOf(const testsupport::FakeHooks& hooks)
{
    QStringList texts;
    for (const auto& m : hooks.messageBoxes)
        texts << m.Text;
    return texts.join(QLatin1Char('\n'));
}

} // namespace

TEST(ConverterFilter, RichTextFirstThenTheTableInOrder)
{
    const QString expected = QStringLiteral("Rich Text Format|*.rtf|Textdokument|*.txt|HTML-Dokument|*.htm;*.html|"
                                            "Markdown-Dokument|*.md;*.markdown");
    EXPECT_EQ(BuildConverterFilter(cdImport), expected);
    QString filter;
    BuildConverterFilter(cdExport, filter);
    EXPECT_EQ(filter, expected);
    EXPECT_EQ(DirectionName(cdExport), QStringLiteral("Export"));
    EXPECT_EQ(DirectionName(cdImport), QStringLiteral("Import"));
}

TEST(ConverterFilter, NoConvertersGiveRichTextOnly)
{
    EXPECT_EQ(BuildConverterFilterFrom({}), QStringLiteral("Rich Text Format|*.rtf"));
    EXPECT_EQ(FindConverterFrom({}), QStringList{QStringLiteral("Rich Text Format")});
}

TEST(ConverterFilter, BlankSeparatedExtensionsBecomeOnePattern)
{
    const TTextConverter word{QStringLiteral("Word"), QStringLiteral("doc dot")};
    EXPECT_EQ(BuildConverterFilterFrom({&word}), QStringLiteral("Rich Text Format|*.rtf|Word|*.doc;*.dot"));
}

TEST(ConverterFilter, NamesFollowTheFilterAndTheDialog)
{
    for (int dir : {cdExport, cdImport}) {
        QStringList names;
        FindConverter(dir, names);
        const QString filter = BuildConverterFilter(dir);
        EXPECT_EQ(names, filterNames(filter));
        // The file dialog gets one entry per name, in the same order, so the
        // chosen index finds its name.
        const QStringList dialog = platform::FileDialogNameFilters(filter);
        ASSERT_EQ(dialog.size(), names.size());
        for (qsizetype i = 0; i < names.size(); ++i)
            EXPECT_TRUE(dialog[i].startsWith(names[i])) << dialog[i].toStdString();
        for (const QString& n : names)
            EXPECT_NE(LoadConverter(n, dir), nullptr) << n.toStdString();
    }
    EXPECT_EQ(LoadConverter(QStringLiteral("Word 6.0/95"), cdImport), nullptr);
}

TEST(ConverterImport, ContentMustMatchTheChosenFormat)
{
    testsupport::FakeHooks hooks;
    QTemporaryDir dir;
    const QString txt = dir.filePath(QStringLiteral("a.rtf"));
    ASSERT_TRUE(testsupport::writeFile(txt, "nur Text, kein RTF"));
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("bleibt"));
    EXPECT_FALSE(ImportWithConverter(txt, QStringLiteral("Rich Text Format"), doc));
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes[0].Text, QStringLiteral("Not the correct file format"));
    EXPECT_EQ(hooks.messageBoxes[0].Flags, platform::mb::Ok);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("bleibt"));

    // Binary bytes are neither text nor HTML.
    const QString bin = dir.filePath(QStringLiteral("b.htm"));
    ASSERT_TRUE(testsupport::writeFile(bin, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)));
    EXPECT_FALSE(ImportWithConverter(bin, QStringLiteral("HTML-Dokument"), doc));
    EXPECT_FALSE(ImportWithConverter(bin, QStringLiteral("Textdokument"), doc));
    EXPECT_EQ(hooks.messageBoxes.size(), 3u);

    // No such converter, no such file: false without a message.
    EXPECT_FALSE(ImportWithConverter(txt, QStringLiteral("Windows Write"), doc));
    EXPECT_FALSE(ImportWithConverter(dir.filePath(QStringLiteral("fehlt.txt")), QStringLiteral("Textdokument"), doc));
    EXPECT_EQ(hooks.messageBoxes.size(), 3u);
}

TEST(ConverterImport, LargeTextArrivesWhole)
{
    testsupport::FakeHooks hooks;
    QTemporaryDir dir;
    QByteArray big;
    for (int i = 0; big.size() <= 0x80000 * 2; ++i)
        big += "Zeile " + QByteArray::number(i) + " \xE4\xF6\xFC\r\n";   // Windows-1252 umlauts
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    ASSERT_TRUE(testsupport::writeFile(path, big));
    QTextDocument doc;
    ASSERT_TRUE(ImportWithConverter(path, QStringLiteral("Textdokument"), doc));
    EXPECT_EQ(doc.toPlainText(), platform::DecodeText(big));
    EXPECT_TRUE(doc.toPlainText().endsWith(QString::fromUtf8("äöü")));
    EXPECT_TRUE(hooks.messageBoxes.empty()) << messagesOf(hooks).toStdString();
}

TEST(ConverterExport, UnknownFormatCannotExport)
{
    testsupport::FakeHooks hooks;
    QTemporaryDir dir;
    QTextDocument doc;
    EXPECT_FALSE(ExportWithConverter(dir.filePath(QStringLiteral("x.doc")), QStringLiteral("Word 6.0/95"), doc));
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes[0].Text, QStringLiteral("Coult not export document"));
    // A file that cannot be written fails without a message.
    EXPECT_FALSE(ExportWithConverter(dir.filePath(QStringLiteral("no/dir/x.txt")), QStringLiteral("Textdokument"), doc));
    EXPECT_EQ(hooks.messageBoxes.size(), 1u);
}

// Every converter takes the whole formatted document out and brings it back.
TEST(ConverterExport, EveryFormatGoesOutAndComesBack)
{
    testsupport::FakeHooks hooks;
    QTemporaryDir dir;
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("Überschrift"), bold);
    c.insertBlock();
    c.insertText(QString::fromUtf16(u"Zähler ─ 5 € "), QTextCharFormat());
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::blue);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:x")), img);
    QTextImageFormat imf;
    imf.setName(QStringLiteral("mem:x"));
    c.insertImage(imf);

    QStringList names;
    FindConverter(cdExport, names);
    const QStringList exts = {QStringLiteral("rtf"), QStringLiteral("txt"), QStringLiteral("html"), QStringLiteral("md")};
    ASSERT_EQ(names.size(), exts.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("out.") + exts[i]);
        ASSERT_TRUE(ExportWithConverter(path, names[i], doc)) << names[i].toStdString();
        QTextDocument back;
        ASSERT_TRUE(ImportWithConverter(path, names[i], back)) << names[i].toStdString();
        const QString text = back.toPlainText().remove(QChar::ObjectReplacementCharacter);
        EXPECT_TRUE(text.contains(QStringLiteral("Überschrift"))) << names[i].toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf16(u"Zähler ─ 5 €"))) << names[i].toStdString() << " "
                                                                        << text.toStdString();
        if (exts[i] != QStringLiteral("txt")) {
            const QTextCursor found = back.find(QStringLiteral("Überschrift"));
            ASSERT_FALSE(found.isNull());
            EXPECT_EQ(found.charFormat().fontWeight(), QFont::Bold) << names[i].toStdString();
        }
    }
    EXPECT_TRUE(hooks.messageBoxes.empty()) << messagesOf(hooks).toStdString();

    const QByteArray html = testsupport::readFile(dir.filePath(QStringLiteral("out.html")));
    // Non-ASCII characters as numeric entities, the picture inside the page.
    for (char ch : html)
        ASSERT_LT(static_cast<unsigned char>(ch), 0x80);
    EXPECT_TRUE(html.contains("&#220;berschrift"));
    EXPECT_TRUE(html.contains("&#9472;"));
    EXPECT_TRUE(html.contains("&#8364;"));
    EXPECT_TRUE(html.contains("src=\"data:image/png;base64,"));
    EXPECT_FALSE(html.contains("mem:x"));
    EXPECT_TRUE(testsupport::readFile(dir.filePath(QStringLiteral("out.rtf"))).startsWith("{\\rtf1"));
}

TEST(ConverterExport, NumericEntities)
{
    EXPECT_EQ(HtmlNumericEntities(QString::fromUtf16(u"<p>ä\U0001F600</p>")),
              QStringLiteral("<p>&#228;&#128512;</p>"));
}
