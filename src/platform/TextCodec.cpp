#include "platform/TextCodec.h"

#include <QStringList>

namespace platform {

namespace {
// Unicode of the Windows-1252 codes 0x80..0x9F; 0 where the code is undefined
// (those bytes are read as the C1 control of the same number).
const char16_t kHigh[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};
} // namespace

bool IsValidUtf8(const char* data, std::size_t size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    std::size_t i = 0;
    while (i < size) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        uint32_t cp;
        if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; }
        else return false;
        if (i + std::size_t(extra) >= size)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = p[i + std::size_t(k)];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond Unicode are invalid.
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000)
            || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += std::size_t(extra) + 1;
    }
    return true;
}

QString DecodeWindows1252(const char* data, std::size_t size)
{
    QString out;
    out.resize(qsizetype(size));
    QChar* d = out.data();
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] != 0)
            d[i] = QChar(kHigh[c - 0x80]);
        else
            d[i] = QChar(c);
    }
    return out;
}

QString DecodeLine(const char* data, std::size_t size)
{
    bool ascii = true;
    for (std::size_t i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(data, qsizetype(size));
    if (IsValidUtf8(data, size))
        return QString::fromUtf8(data, qsizetype(size));
    return DecodeWindows1252(data, size);
}

int Windows1252Code(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == u)
            return 0x80 + i;
    // Undefined codes 0x81, 0x8D, 0x8F, 0x90, 0x9D were read as C1 controls.
    if (u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D)
        return u;
    return -1;
}

bool IsWindows1252(const QString& text)
{
    for (QChar c : text)
        if (Windows1252Code(c) < 0)
            return false;
    return true;
}

QByteArray EncodeLine(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    bool high = false;
    for (QChar c : text) {
        const int code = Windows1252Code(c);
        if (code < 0)
            return text.toUtf8();
        high = high || code >= 0x80;
        out.append(char(code));
    }
    // Windows-1252 bytes that happen to form valid UTF-8 ("Ý™" is DD 99, the
    // UTF-8 of U+0759) would be read back as UTF-8: such a line is written as
    // UTF-8, which reads back unchanged.
    if (high && IsValidUtf8(out.constData(), std::size_t(out.size())))
        return text.toUtf8();
    return out;
}

QString DecodeText(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    const char* p = bytes.constData();
    const std::size_t n = std::size_t(bytes.size());
    std::size_t start = 0;
    bool first = true;
    while (start < n) {
        std::size_t end = start;
        while (end < n && p[end] != '\n')
            ++end;
        std::size_t len = end - start;
        if (len > 0 && p[start + len - 1] == '\r')
            --len;
        if (!first)
            out += QLatin1Char('\n');
        out += DecodeLine(p + start, len);
        first = false;
        start = end + 1;
    }
    return out;
}

QByteArray EncodeLines(const QStringList& lines)
{
    QByteArray out;
    for (const QString& l : lines) {
        out += EncodeLine(l);
        out += "\r\n";
    }
    return out;
}

} // namespace platform
