#include "reports/EditorText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>

namespace reports {

int LineCount(const QTextDocument& doc)
{
    const int blocks = doc.blockCount();
    if (blocks <= 0)
        return 0;
    return doc.lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

QString GetLine(const QTextDocument& doc, int index)
{
    if (index < 0 || index >= LineCount(doc))
        return QString();
    return doc.findBlockByNumber(index).text();
}

bool SetLine(QTextDocument& doc, int index, const QString& text)
{
    if (index < 0 || index >= LineCount(doc))
        return false;
    const QTextBlock block = doc.findBlockByNumber(index);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    return true;
}

void AppendLine(QTextDocument& doc, const QString& text, const QTextCharFormat& format)
{
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::End);
    if (doc.lastBlock().length() > 1)
        cursor.insertBlock();
    cursor.insertText(text, format);
    cursor.insertBlock();
    // The empty paragraph for the next line must not begin a page of its own
    // because this one did.
    QTextBlockFormat next = cursor.blockFormat();
    if (next.pageBreakPolicy() != QTextFormat::PageBreak_Auto) {
        next.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
        cursor.setBlockFormat(next);
    }
}

void AppendPageBreak(QTextDocument& doc)
{
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::End);
    if (doc.lastBlock().length() > 1)
        cursor.insertBlock();
    QTextBlockFormat format = cursor.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.setBlockFormat(format);
}

void EnsureTerminalFont()
{
    static const bool done = [] {
        QFont::insertSubstitution(QStringLiteral("Terminal"), QStringLiteral("DejaVu Sans Mono"));
        return true;
    }();
    (void)done;
}

QFont TerminalFont(int pointSize)
{
    EnsureTerminalFont();
    QFont font(QStringLiteral("Terminal"), pointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// ---- Layout lines ---------------------------------------------------------------

namespace {

const QString LayoutMark = QStringLiteral("$layout$");

} // namespace

TLayoutLineResult ParseLayoutLine(const QString& line, TLayoutSettings& settings)
{
    if (!line.startsWith(LayoutMark))
        return TLayoutLineResult::NotLayout;
    const QString rest = line.mid(LayoutMark.size());
    const qsizetype end = rest.indexOf(QLatin1Char('$'));
    const QString keyword = end < 0 ? rest : rest.left(end);
    const QString params = end < 0 ? QString() : rest.mid(end + 1);
    if (keyword == QLatin1String("margins")) {
        TLayoutSettings next = settings;
        next.Left = next.Top = next.Right = next.Bottom = 20;
        qsizetype pos = 0;
        while (pos < params.size()) {
            const QChar letter = params[pos];
            qsizetype stop = params.indexOf(QLatin1Char('$'), pos + 1);
            if (stop < 0)
                stop = params.size();
            const QString number = params.mid(pos + 1, stop - pos - 1).trimmed();
            pos = stop + 1;
            int32_t* target = nullptr;
            switch (letter.unicode()) {
            case 'L': target = &next.Left; break;
            case 'T': target = &next.Top; break;
            case 'R': target = &next.Right; break;
            case 'B': target = &next.Bottom; break;
            default: continue;   // other letters are skipped
            }
            bool ok = false;
            const int value = number.toInt(&ok);
            if (!ok)
                return TLayoutLineResult::Bad;
            *target = value;
        }
        next.MarginsSet = true;
        settings = next;
    } else if (keyword == QLatin1String("orientation")) {
        const qsizetype stop = params.indexOf(QLatin1Char('$'));
        settings.Landscape = (stop < 0 ? params : params.left(stop)) == QLatin1String("landscape");
        settings.OrientationSet = true;
    }
    return TLayoutLineResult::Read;
}

int ConsumeLayoutLines(QTextDocument& doc, TLayoutSettings& settings)
{
    int bad = 0;
    // Every pass removes the first paragraph, so this ends.
    while (doc.blockCount() > 0) {
        const QTextBlock first = doc.firstBlock();
        const TLayoutLineResult result = ParseLayoutLine(first.text(), settings);
        if (result == TLayoutLineResult::NotLayout)
            break;
        if (result == TLayoutLineResult::Bad)
            ++bad;
        QTextCursor cursor(first);
        if (doc.blockCount() > 1) {
            cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        } else {
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        }
        cursor.removeSelectedText();
        if (doc.blockCount() == 1 && doc.firstBlock().text().isEmpty())
            break;
    }
    return bad;
}

// ---- Dropping and pasting -------------------------------------------------------

Qt::DropAction DropEffectFor(Qt::KeyboardModifiers modifiers, Qt::DropActions allowed,
                             Qt::DropAction proposed)
{
    Qt::DropAction wanted = Qt::MoveAction;
    if ((modifiers & Qt::ControlModifier) && (modifiers & Qt::ShiftModifier))
        wanted = Qt::LinkAction;
    else if (modifiers & Qt::ControlModifier)
        wanted = Qt::CopyAction;
    return (allowed & wanted) ? wanted : proposed;
}

QString AddImageResource(QTextDocument& doc, const QImage& image)
{
    const char* counterName = "valdranImageCounter";
    const int n = doc.property(counterName).toInt() + 1;
    doc.setProperty(counterName, n);
    const QString name = QStringLiteral("pasted-image-%1.png").arg(n);
    doc.addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));
    return name;
}

} // namespace reports
