#pragma once
// Characters a file format cannot hold. A cell text reaches the writers from
// an archive line, and a valid UTF-8 line may carry any code point: NUL, other
// control characters, U+FFFE. Written as they stand, some of them make an XML
// part ill-formed (a spreadsheet program then drops every row after them),
// some cut a C string, some are shown as other characters. Each writer asks
// here which characters its format holds and writes every other one as
// U+FFFD, so the reader sees that something stood there and nothing after it
// is lost.
#include <QString>
#include <QStringView>

namespace platform {

constexpr char32_t ReplacementCharacter = 0xFFFD;

// A Unicode noncharacter: U+FDD0..U+FDEF and the last two code points of
// every plane (U+FFFE, U+FFFF, U+1FFFE, ...).
constexpr bool IsNoncharacter(char32_t c)
{
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// XML 1.0 (the parts of an XLSX file): TAB, LF, CR and everything from
// U+0020 up except the surrogates, U+FFFE and U+FFFF. NUL is not among them,
// which also keeps a text whole through a C string.
constexpr bool XmlCanHold(char32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

// Text for a reader of documents (HTML, RTF): no control character but TAB,
// LF and CR, so neither NUL nor DEL nor the C1 controls U+0080..U+009F (a
// browser shows &#128; as the euro sign), no noncharacter, no surrogate.
constexpr bool DocumentCanHold(char32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    if (c >= 0x7F && c <= 0x9F)
        return false;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    return !IsNoncharacter(c) && c <= 0x10FFFF;
}

// The code point at text[i]; a surrogate pair is read whole and i moves to its
// second half. A surrogate without its partner answers itself, which no
// format holds.
inline char32_t CodePointAt(QStringView text, qsizetype& i)
{
    const char16_t u = text[i].unicode();
    if (u < 0xD800 || u > 0xDFFF)
        return u;
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        ++i;
        return QChar::surrogateToUcs4(u, text[i].unicode());
    }
    return u;
}

// Whether a format holds a code point; every one refuses the surrogates.
using TCanHold = bool (*)(char32_t);

// Whether the text holds a character canHold refuses.
bool HasUnholdable(QStringView text, TCanHold canHold);

// The text with every character canHold refuses replaced by one U+FFFD each;
// a surrogate pair stays a pair.
QString HoldableText(QStringView text, TCanHold canHold);

// A cell of a text file of one line per row (CSV, TAB): every line break in
// it (CR LF, CR or LF alone) becomes one blank, so the row stays on its line.
bool HasLineBreak(QStringView text);
QString OneLineText(QStringView text);

} // namespace platform
