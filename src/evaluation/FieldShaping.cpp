#include "evaluation/FieldShaping.h"

#include "base/ZT_Tools.h"
#include "platform/CharCopy.h"

#include <cstdint>
#include <vector>

namespace {

constexpr qsizetype CellWidth = 8;
constexpr double NoNumber = -9999.0;

} // namespace

qsizetype ShapeNumberField(QStringView field, char16_t* out)
{
    // Shaped in place, with room for the blanks in front.
    std::vector<char16_t> room;
    char16_t small[CellWidth + 160];
    char16_t* buf = small;
    if (std::size_t(ShapedFieldCapacity(field.size())) > sizeof small / sizeof small[0]) {
        room.resize(std::size_t(ShapedFieldCapacity(field.size())));
        buf = room.data();
    }
    qsizetype begin = CellWidth;
    qsizetype end = CellWidth + field.size();
    platform::MoveChars(buf + begin, field.utf16(), std::size_t(field.size()));
    if (end > begin) {
        qsizetype point = -1;
        for (qsizetype k = begin; k < end && point < 0; ++k)
            if (buf[k] == u',')
                point = k;
        if (point >= 0) {
            buf[point] = u'.';
        } else {
            for (qsizetype k = begin; k < end && point < 0; ++k)
                if (buf[k] == u'.')
                    point = k;
        }
        bool done = false;
        if (point >= 0) {
            while (end - begin >= 2 && buf[end - 1] == u'0')
                --end;
            if (end > begin && (buf[end - 1] == u'.' || buf[end - 1] == u','))
                --end;
            if (end > begin && buf[end - 1] == u':') {
                --end;
                done = true;
            }
        } else {
            buf[end++] = u'.';
            buf[end++] = u'0';
        }
        if (!done) {
            // Leading '0' characters go while more than one character is left
            // and the second is no decimal separator.
            while (end - begin > 1 && buf[begin] == u'0' && buf[begin + 1] != u'.' && buf[begin + 1] != u',')
                ++begin;
            while (end - begin < CellWidth)
                buf[--begin] = u' ';
        }
    }
    platform::MoveChars(out, buf + begin, std::size_t(end - begin));
    return end - begin;
}

bool TryShapePlainNumberField(QStringView field, char16_t* out, qsizetype& size, double& number)
{
    const char16_t* const f = field.utf16();
    const qsizetype n = field.size();
    if (n == 0 || n > 16)
        return false;
    qsizetype separator = -1;
    uint64_t whole = 0;
    for (qsizetype k = 0; k < n; ++k) {
        const unsigned digit = unsigned(f[k]) - unsigned(u'0');
        if (digit < 10) {
            whole = whole * 10 + digit;
        } else if ((f[k] == u',' || f[k] == u'.') && separator < 0) {
            separator = k;
        } else {
            return false;
        }
    }
    const qsizetype digits = separator < 0 ? n : n - 1;
    if (digits < 1 || digits > 15)
        return false;

    // The whole part without its leading zeros (one stays when nothing but
    // zeros stood there), the fraction without its trailing zeros.
    const qsizetype wholeEnd = separator < 0 ? n : separator;
    qsizetype wholeBegin = 0;
    while (wholeBegin < wholeEnd && f[wholeBegin] == u'0')
        ++wholeBegin;
    if (wholeBegin == wholeEnd && wholeEnd > 0)
        --wholeBegin;
    qsizetype fractionEnd = n;
    if (separator >= 0)
        while (fractionEnd > separator + 1 && f[fractionEnd - 1] == u'0')
            --fractionEnd;
    const qsizetype wholeSize = wholeEnd - wholeBegin;
    const qsizetype fractionSize = separator < 0 ? 1 : fractionEnd - separator - 1;
    const qsizetype textSize = wholeSize + (fractionSize > 0 ? 1 + fractionSize : 0);

    const qsizetype blanks = textSize < CellWidth ? CellWidth - textSize : 0;
    for (qsizetype k = 0; k < blanks; ++k)
        out[k] = u' ';
    char16_t* p = out + blanks;
    platform::MoveChars(p, f + wholeBegin, std::size_t(wholeSize));
    p += wholeSize;
    if (separator < 0) {
        *p++ = u'.';
        *p++ = u'0';
    } else if (fractionSize > 0) {
        *p++ = u'.';
        platform::MoveChars(p, f + separator + 1, std::size_t(fractionSize));
        p += fractionSize;
    }
    size = p - out;
    // The shaping keeps the decimal's value, and any text of the same value
    // reads as the same correctly rounded number; blanks alone (",0") read
    // as none.
    number = textSize == 0 ? NoNumber : DecimalOfDigits(whole, separator < 0 ? 0 : n - separator - 1);
    return true;
}
