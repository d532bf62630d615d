#include "platform/FileChars.h"

namespace platform {

bool HasUnholdable(QStringView text, TCanHold canHold)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        // Printable ASCII and most of the basic plane pass at once.
        if (u >= 0x20 && u < 0x7F)
            continue;
        if (!canHold(CodePointAt(text, i)))
            return true;
    }
    return false;
}

QString HoldableText(QStringView text, TCanHold canHold)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype at = i;
        const char32_t c = CodePointAt(text, i);
        if (!canHold(c))
            out.append(QChar(char16_t(ReplacementCharacter)));
        else
            out.append(text.mid(at, i - at + 1));
    }
    return out;
}

bool HasLineBreak(QStringView text)
{
    for (const QChar ch : text)
        if (ch.unicode() == u'\r' || ch.unicode() == u'\n')
            return true;
    return false;
}

QString OneLineText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == u'\r' || u == u'\n') {
            if (u == u'\r' && i + 1 < text.size() && text[i + 1].unicode() == u'\n')
                ++i;
            out.append(QLatin1Char(' '));
        } else {
            out.append(text[i]);
        }
    }
    return out;
}

} // namespace platform
