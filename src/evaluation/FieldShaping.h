#pragma once
// How an archive field becomes the text of a formatted number cell (numbers
// formatted, the column has a unit): ',' becomes '.', trailing zeros of a
// fraction and a bare point go, a whole number gets ".0", leading zeros go,
// and blanks in front make it 8 characters. A field ending in ':' after its
// zeros went loses the ':' and is left as it stands otherwise.
#include "base/ZT_Tools.h"
#include "platform/CharCopy.h"

#include <QStringView>

#include <bit>
#include <cstdint>
#include <cstring>

// Room the text of a field of size characters needs.
constexpr qsizetype ShapedFieldCapacity(qsizetype size)
{
    return size + 10;
}

// Any field: writes its text into out and answers its length.
qsizetype ShapeNumberField(QStringView field, char16_t* out);


namespace fieldshaping_detail {

constexpr qsizetype CellWidth = 8;
constexpr double NoNumber = -9999.0;

// Bit k set for each of the first n characters of f (n <= 16) that is a
// digit, a separator ('.' or ','), or '0'.
struct TCharClasses {
    uint32_t digits = 0;
    uint32_t separators = 0;
    uint32_t zeros = 0;
#ifdef VALDRAN_CHARS_SSE2
    // The digits' values in the last 16 characters up to the end of the
    // field (lane 15: its last character), 0 for every other character.
    __m128i valuesLo;
    __m128i valuesHi;
#endif
};

VALDRAN_CHARS_INLINE TCharClasses Classify(const char16_t* f, qsizetype n, qsizetype before)
{
    TCharClasses classes;
#ifdef VALDRAN_CHARS_SSE2
    // Sixteen characters at once, those that end with the field when the
    // text has them (the field may end where the text's memory ends), else
    // from a copy.
    alignas(16) char16_t local[16];
    const char16_t* from = f + n - 16;
    if (before < 16 - n) {
        std::memset(local, 0, sizeof local);
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
    const __m128i digitLo = _mm_and_si128(_mm_cmpgt_epi16(lo0, minus1), _mm_cmplt_epi16(lo0, ten));
    const __m128i digitHi = _mm_and_si128(_mm_cmpgt_epi16(hi0, minus1), _mm_cmplt_epi16(hi0, ten));
    classes.digits = mask(digitLo, digitHi);
    classes.valuesLo = _mm_and_si128(lo0, digitLo);
    classes.valuesHi = _mm_and_si128(hi0, digitHi);
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

// The digits of a field of digits and at most one separator (at separator,
// or -1) read as one whole number: "0201,90" gives 20190.
VALDRAN_CHARS_INLINE uint64_t DigitsValue(const TCharClasses& classes, const char16_t* f, qsizetype n,
                                          qsizetype separator)
{
#ifdef VALDRAN_CHARS_SSE2
    (void)f;
    // Lane i of a load from Tail + 16 - k: all ones from lane k on; from
    // Head + 16 - k: all ones below lane k.
    alignas(16) static constexpr uint16_t Tail[32] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,
        0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    alignas(16) static constexpr uint16_t Head[32] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,
        0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    auto load = [](const uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    // The field's lanes only: those in front belong to other text.
    const qsizetype first = 16 - n;
    __m128i lo = _mm_and_si128(classes.valuesLo, load(Tail + 16 - first));
    __m128i hi = _mm_and_si128(classes.valuesHi, load(Tail + 24 - first));
    if (separator >= 0) {
        // The whole part moves one lane on, into the separator's lane.
        const qsizetype moved = first + separator + 1;
        const __m128i keepLo = load(Head + 16 - moved);
        const __m128i keepHi = load(Head + 24 - moved);
        const __m128i shiftedLo = _mm_slli_si128(lo, 2);
        const __m128i shiftedHi = _mm_or_si128(_mm_slli_si128(hi, 2), _mm_srli_si128(lo, 14));
        lo = _mm_or_si128(_mm_and_si128(keepLo, shiftedLo), _mm_andnot_si128(keepLo, lo));
        hi = _mm_or_si128(_mm_and_si128(keepHi, shiftedHi), _mm_andnot_si128(keepHi, hi));
    }
    // Sixteen digits to eight numbers of two, four of four, two of eight.
    const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(lo, _mm_set_epi16(1, 10, 1, 10, 1, 10, 1, 10)),
                                          _mm_madd_epi16(hi, _mm_set_epi16(1, 10, 1, 10, 1, 10, 1, 10)));
    const __m128i quads = _mm_madd_epi16(pairs, _mm_set_epi16(1, 100, 1, 100, 1, 100, 1, 100));
    const __m128i octs = _mm_madd_epi16(_mm_packs_epi32(quads, quads),
                                        _mm_set_epi16(1, 10000, 1, 10000, 1, 10000, 1, 10000));
    return uint64_t(uint32_t(_mm_cvtsi128_si32(octs))) * 100000000u
        + uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(octs, 4)));
#else
    (void)classes;
    uint64_t value = 0;
    for (qsizetype k = 0; k < n; ++k)
        if (k != separator)
            value = value * 10 + unsigned(f[k] - u'0');
    return value;
#endif
}

} // namespace fieldshaping_detail

// The common field, digits with at most one separator ('.' or ','), 1 to 15
// digits: the same text as ShapeNumberField, written more directly, and the
// number the text reads as (-9999 when it is blanks alone). False, with
// nothing written, for any other field. before: how many characters of the
// same text stand in front of the field (they may be read, never changed).
// (Inline: it runs for most fields of an evaluation.)
VALDRAN_CHARS_INLINE bool TryShapePlainNumberField(QStringView field, qsizetype before, char16_t* out,
                                                   qsizetype& size, double& number)
{
    using namespace fieldshaping_detail;
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

    // The value of the digits: zeros behind the fraction scale the whole
    // number and its divisor alike, so the quotient is the same.
    const uint64_t whole = DigitsValue(classes, f, n, separator);
    const qsizetype fractionDigits = separator < 0 ? 0 : n - separator - 1;

    // Blanks in front up to 8 characters: written as one block, then the
    // text over them. The text is the field's characters from the first
    // that counts to the last that counts, the separator a point, and ".0"
    // behind a whole number.
    const qsizetype blanks = textSize < CellWidth ? CellWidth - textSize : 0;
    static constexpr char16_t Blanks[CellWidth] = {u' ', u' ', u' ', u' ', u' ', u' ', u' ', u' '};
    std::memcpy(out, Blanks, sizeof Blanks);
    char16_t* p = out + blanks;
    if (separator < 0) {
        platform::MoveChars(p, f + wholeBegin, std::size_t(wholeSize));
        p += wholeSize;
        *p++ = u'.';
        *p++ = u'0';
    } else if (fractionSize > 0) {
        platform::MoveChars(p, f + wholeBegin, std::size_t(fractionEnd - wholeBegin));
        p[separator - wholeBegin] = u'.';
        p += fractionEnd - wholeBegin;
    } else {
        platform::MoveChars(p, f + wholeBegin, std::size_t(wholeSize));
        p += wholeSize;
    }
    size = p - out;
    // The shaping keeps the decimal's value, and any text of the same value
    // reads as the same correctly rounded number; blanks alone (",0") read
    // as none.
    number = textSize == 0 ? NoNumber : DecimalOfDigits(whole, fractionDigits);
    return true;
}
