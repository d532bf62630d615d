#include "reports/Converters.h"

#include "platform/Hooks.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "reports/RtfExport.h"
#include "reports/RtfReader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace converters {

namespace {

const char* const kNotCorrectFormat = "Not the correct file format";
const char* const kCouldNotExport = "Coult not export document";

void showMessage(const char* text)
{
    platform::ShowMessageBox(QString::fromLatin1(text), QCoreApplication::applicationName(), platform::mb::Ok);
}

// Text files hold no NUL bytes; binary files nearly always do.
bool looksLikeText(const QByteArray& data)
{
    return !data.left(64 * 1024).contains('\0');
}

// ---- Rich text ------------------------------------------------------------------

bool rtfCorrect(const QByteArray& data) { return rtf::LooksLikeRtf(data); }
bool rtfImport(const QByteArray& data, QTextDocument& doc) { return rtf::ReadRtf(data, &doc); }
bool rtfExport(const QTextDocument& doc, QByteArray& out)
{
    out = rtf::DocumentToRtf(doc);
    return !out.isEmpty();
}

// ---- Plain text: Windows-1252 lines, UTF-8 where a line needs it, as the
// program's other text files.

bool textImport(const QByteArray& data, QTextDocument& doc)
{
    QByteArray bytes = data;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    doc.setPlainText(platform::DecodeText(bytes));
    return true;
}

bool textExport(const QTextDocument& doc, QByteArray& out)
{
    out = platform::EncodeLines(doc.toPlainText().split(QLatin1Char('\n')));
    return true;
}

// ---- HTML ------------------------------------------------------------------------

QString decodeHtml(const QByteArray& data)
{
    if (const auto enc = QStringConverter::encodingForHtml(data)) {
        QStringDecoder dec(*enc);
        return dec.decode(data);
    }
    return platform::IsValidUtf8(data.constData(), std::size_t(data.size()))
               ? QString::fromUtf8(data)
               : platform::DecodeWindows1252(data.constData(), std::size_t(data.size()));
}

bool htmlCorrect(const QByteArray& data)
{
    if (!looksLikeText(data) && !data.startsWith("\xFF\xFE") && !data.startsWith("\xFE\xFF"))
        return false;
    const QString head = decodeHtml(data.left(8192)).toLower();
    return head.contains(QLatin1String("<html")) || head.contains(QLatin1String("<!doctype html"))
           || head.contains(QLatin1String("<body")) || Qt::mightBeRichText(head);
}

bool htmlImport(const QByteArray& data, QTextDocument& doc)
{
    doc.setHtml(decodeHtml(data));
    return true;
}

// Pictures go into the page itself, as data addresses: an exported file has
// no place to keep our resources.
QString embedImages(const QTextDocument& doc, QString html)
{
    QSet<QString> done;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QString name = f.toImageFormat().name();
            if (name.isEmpty() || done.contains(name))
                continue;
            done.insert(name);
            const QVariant res = doc.resource(QTextDocument::ImageResource, QUrl(name));
            QImage image;
            if (res.typeId() == QMetaType::QImage)
                image = res.value<QImage>();
            else if (res.typeId() == QMetaType::QPixmap)
                image = res.value<QPixmap>().toImage();
            else if (res.typeId() == QMetaType::QByteArray)
                image = QImage::fromData(res.toByteArray());
            if (image.isNull())
                continue;
            QByteArray png;
            QBuffer buf(&png);
            buf.open(QIODevice::WriteOnly);
            image.save(&buf, "PNG");
            const QString src = QStringLiteral("src=\"") + name.toHtmlEscaped() + QLatin1Char('"');
            html.replace(src, QStringLiteral("src=\"data:image/png;base64,") + QString::fromLatin1(png.toBase64())
                                  + QLatin1Char('"'));
        }
    }
    return html;
}

bool htmlExport(const QTextDocument& doc, QByteArray& out)
{
    out = HtmlNumericEntities(embedImages(doc, doc.toHtml())).toLatin1();
    return true;
}

// ---- Markdown ----------------------------------------------------------------------

bool markdownImport(const QByteArray& data, QTextDocument& doc)
{
    QByteArray bytes = data;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    doc.setMarkdown(platform::DecodeText(bytes));
    return true;
}

bool markdownExport(const QTextDocument& doc, QByteArray& out)
{
    out = doc.toMarkdown().toUtf8();
    return true;
}

const TTextConverter kRichText{QStringLiteral("Rich Text Format"), QStringLiteral("rtf"), rtfCorrect, rtfImport,
                               rtfExport};

// The table in place of the registered converter libraries.
const std::vector<TTextConverter>& table()
{
    static const std::vector<TTextConverter> t = {
        {QStringLiteral("Textdokument"), QStringLiteral("txt"), looksLikeText, textImport, textExport},
        {QStringLiteral("HTML-Dokument"), QStringLiteral("htm html"), htmlCorrect, htmlImport, htmlExport},
        {QStringLiteral("Markdown-Dokument"), QStringLiteral("md markdown"), looksLikeText, markdownImport,
         markdownExport},
    };
    return t;
}

bool readFile(const QString& fileName, QByteArray& data)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    data = f.readAll();
    return f.error() == QFile::NoError;
}

} // namespace

QString DirectionName(int direction)
{
    return direction == cdImport ? QStringLiteral("Import") : QStringLiteral("Export");
}

std::vector<const TTextConverter*> RegisteredConverters(int direction)
{
    std::vector<const TTextConverter*> out;
    for (const TTextConverter& c : table())
        if (direction == cdImport ? c.Import != nullptr : c.Export != nullptr)
            out.push_back(&c);
    return out;
}

const TTextConverter& RichTextConverter()
{
    return kRichText;
}

QString BuildConverterFilterFrom(const std::vector<const TTextConverter*>& list)
{
    QString filter;
    for (const TTextConverter* c : list) {
        QString pattern = QStringLiteral("*.") + c->Extensions;
        pattern.replace(QLatin1Char(' '), QLatin1String(";*."));
        filter += c->Name + QLatin1Char('|') + pattern + QLatin1Char('|');
    }
    filter.prepend(QStringLiteral("Rich Text Format|*.rtf|"));
    if (filter.endsWith(QLatin1Char('|')))
        filter.chop(1);
    return filter;
}

void BuildConverterFilter(int direction, QString& filter)
{
    filter = BuildConverterFilterFrom(RegisteredConverters(direction));
}

QString BuildConverterFilter(int direction)
{
    QString f;
    BuildConverterFilter(direction, f);
    return f;
}

QStringList FindConverterFrom(const std::vector<const TTextConverter*>& list)
{
    QStringList names;
    for (const TTextConverter* c : list)
        names << c->Name;
    names.prepend(QStringLiteral("Rich Text Format"));
    return names;
}

void FindConverter(int direction, QStringList& names)
{
    names = FindConverterFrom(RegisteredConverters(direction));
}

const TTextConverter* LoadConverter(const QString& formatName, int direction)
{
    if (formatName == kRichText.Name)
        return &kRichText;
    for (const TTextConverter* c : RegisteredConverters(direction))
        if (c->Name == formatName)
            return c;
    return nullptr;
}

bool ImportWithConverter(const QString& fileName, const QString& formatName, QTextDocument& document)
{
    const TTextConverter* c = LoadConverter(formatName, cdImport);
    if (!c || !c->Import)
        return false;
    QByteArray data;
    if (!readFile(fileName, data))
        return false;
    if (c->IsFormatCorrect && !c->IsFormatCorrect(data)) {
        showMessage(kNotCorrectFormat);
        return false;
    }
    return c->Import(data, document);
}

bool ExportWithConverter(const QString& fileName, const QString& formatName, const QTextDocument& document)
{
    const TTextConverter* c = LoadConverter(formatName, cdExport);
    if (!c || !c->Export) {
        showMessage(kCouldNotExport);
        return false;
    }
    QByteArray data;
    if (!c->Export(document, data))
        return false;
    return platform::WriteWholeFile(fileName, data);
}

QString HtmlNumericEntities(const QString& html)
{
    QString out;
    out.reserve(html.size());
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html[i];
        if (c.unicode() < 0x80) {
            out.append(c);
            continue;
        }
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < html.size() && html[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, html[i + 1]);
            ++i;
        }
        out += QStringLiteral("&#") + QString::number(uint(code)) + QLatin1Char(';');
    }
    return out;
}

} // namespace converters
