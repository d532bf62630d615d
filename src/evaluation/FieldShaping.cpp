#include "evaluation/FieldShaping.h"

#include "base/ZT_Tools.h"
#include "platform/CharCopy.h"

#include <bit>
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

namespace {

// Bit k set for each of the first n characters of f (n <= 16) that is a
// digit, a separator ('.' or ','), or '0'.
struct TCharClasses {
    uint32_t digits = 0;
    uint32_t separators = 0;
    uint32_t zeros = 0;
};

TCharClasses Classify(const char16_t* f, qsizetype n, qsizetype before)
{
    TCharClasses classes;
#ifdef VALDRAN_CHARS_SSE2
    // Sixteen characters at once, those that end with the field when the
    // text has them (the field may end where the text's memory ends), else
    // from a copy.
    alignas(16) char16_t local[16] = {};
    const char16_t* from = f + n - 16;
    if (before < 16 - n) {
        platform::MoveChars(local + 16 - n, f, std::size_t(n));
        from = local;
    }
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 8));
    auto mask = [](__m128i a, __m128i b) {
        return uint32_t(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
    };
    const __m128i zero = _mm_set1_epi16(short(u'0'));
    const __m128i lo0 = _mm_sub_epi16(lo, zero);
    const __m128i hi0 = _mm_sub_epi16(hi, zero);
    const __m128i minus1 = _mm_set1_epi16(-1);
    const __m128i ten = _mm_set1_epi16(10);
    classes.digits = mask(_mm_and_si128(_mm_cmpgt_epi16(lo0, minus1), _mm_cmplt_epi16(lo0, ten)),
                          _mm_and_si128(_mm_cmpgt_epi16(hi0, minus1), _mm_cmplt_epi16(hi0, ten)));
    const __m128i comma = _mm_set1_epi16(short(u','));
    const __m128i point = _mm_set1_epi16(short(u'.'));
    classes.separators = mask(_mm_or_si128(_mm_cmpeq_epi16(lo, comma), _mm_cmpeq_epi16(lo, point)),
                              _mm_or_si128(_mm_cmpeq_epi16(hi, comma), _mm_cmpeq_epi16(hi, point)));
    classes.zeros = mask(_mm_cmpeq_epi16(lo, zero), _mm_cmpeq_epi16(hi, zero));
    // Bit k for character k of the field.
    const int shift = int(16 - n);
    classes.digits >>= shift;
    classes.separators >>= shift;
    classes.zeros >>= shift;
#else
    (void)before;
    for (qsizetype k = 0; k < n; ++k) {
        const uint32_t bit = uint32_t(1) << k;
        if (unsigned(f[k]) - unsigned(u'0') < 10)
            classes.digits |= bit;
        if (f[k] == u',' || f[k] == u'.')
            classes.separators |= bit;
        if (f[k] == u'0')
            classes.zeros |= bit;
    }
#endif
    return classes;
}

} // namespace

bool TryShapePlainNumberField(QStringView field, qsizetype before, char16_t* out, qsizetype& size, double& number)
{
    const char16_t* const f = field.utf16();
    const qsizetype n = field.size();
    if (n == 0 || n > 16)
        return false;
    const TCharClasses classes = Classify(f, n, before);
    const uint32_t all = (uint32_t(1) << n) - 1;
    // Digits and at most one separator, nothing else.
    if ((classes.digits | classes.separators) != all || (classes.separators & (classes.separators - 1)) != 0)
        return false;
    const qsizetype separator = classes.separators != 0 ? std::countr_zero(classes.separators) : -1;
    const qsizetype digits = separator < 0 ? n : n - 1;
    if (digits < 1 || digits > 15)
        return false;

    // The whole part without its leading zeros (one stays when nothing but
    // zeros stood there), the fraction without its trailing zeros.
    const qsizetype wholeEnd = separator < 0 ? n : separator;
    qsizetype wholeBegin = std::countr_zero(~classes.zeros | (uint32_t(1) << wholeEnd));
    if (wholeBegin == wholeEnd && wholeEnd > 0)
        --wholeBegin;
    qsizetype fractionEnd = n;
    if (separator >= 0) {
        const uint32_t significant = ~classes.zeros & all & ~((uint32_t(2) << separator) - 1);
        fractionEnd = significant != 0 ? 32 - std::countl_zero(significant) : separator + 1;
    }
    const qsizetype wholeSize = wholeEnd - wholeBegin;
    const qsizetype fractionSize = separator < 0 ? 1 : fractionEnd - separator - 1;
    const qsizetype textSize = wholeSize + (fractionSize > 0 ? 1 + fractionSize : 0);

    // The value of the digits that count: zeros in front add nothing, and
    // those behind the fraction only scale it.
    uint64_t whole = 0;
    for (qsizetype k = wholeBegin; k < wholeEnd; ++k)
        whole = whole * 10 + unsigned(f[k] - u'0');
    qsizetype fractionDigits = 0;
    if (separator >= 0) {
        for (qsizetype k = separator + 1; k < fractionEnd; ++k)
            whole = whole * 10 + unsigned(f[k] - u'0');
        fractionDigits = fractionEnd - separator - 1;
    }

    // Blanks in front up to 8 characters: written as one block, then the
    // text over them.
    const qsizetype blanks = textSize < CellWidth ? CellWidth - textSize : 0;
    for (qsizetype k = 0; k < CellWidth; ++k)
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
    number = textSize == 0 ? NoNumber : DecimalOfDigits(whole, fractionDigits);
    return true;
}
