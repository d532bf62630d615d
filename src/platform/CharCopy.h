#pragma once
// Moving a few characters without a call of the C library, and finding one.
#include <bit>
#include <cstdint>
#include <cstddef>
#include <cstring>
// The copies below sit on the path of every cell a fill writes: the
// compiler is told to put them in place even inside large routines.
#if defined(__GNUC__) || defined(__clang__)
#define VALDRAN_CHARS_INLINE inline __attribute__((always_inline))
#elif defined(_MSC_VER)
#define VALDRAN_CHARS_INLINE __forceinline
#else
#define VALDRAN_CHARS_INLINE inline
#endif
#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define VALDRAN_CHARS_SSE2 1
#endif

namespace platform {

// The same for any count, by the library's routine.
void MoveCharsLong(char16_t* dst, const char16_t* src, std::size_t count);

// Moves count characters from src to dst; the ranges may overlap. Cell texts
// are short: up to 32 characters are moved here with a few whole-word loads
// and stores, all loads first, instead of a call of the library's routine,
// which on some processors costs more than the copy itself.
VALDRAN_CHARS_INLINE void MoveChars(char16_t* dst, const char16_t* src, std::size_t count)
{
    auto load = [](const char16_t* p, auto& word) { std::memcpy(&word, p, sizeof word); };
    auto store = [](char16_t* p, const auto& word) { std::memcpy(p, &word, sizeof word); };
    if (count == 0)
        return;
    if (count == 1) {
        *dst = *src;
    } else if (count < 4) {
        uint32_t a = 0, b = 0;
        load(src, a);
        load(src + count - 2, b);
        store(dst, a);
        store(dst + count - 2, b);
    } else if (count < 8) {
        uint64_t a = 0, b = 0;
        load(src, a);
        load(src + count - 4, b);
        store(dst, a);
        store(dst + count - 4, b);
    } else if (count < 16) {
        uint64_t a = 0, b = 0, c = 0, d = 0;
        load(src, a);
        load(src + 4, b);
        load(src + count - 8, c);
        load(src + count - 4, d);
        store(dst, a);
        store(dst + 4, b);
        store(dst + count - 8, c);
        store(dst + count - 4, d);
    } else if (count <= 32) {
        uint64_t w[8];
        load(src, w[0]);
        load(src + 4, w[1]);
        load(src + 8, w[2]);
        load(src + 12, w[3]);
        load(src + count - 16, w[4]);
        load(src + count - 12, w[5]);
        load(src + count - 8, w[6]);
        load(src + count - 4, w[7]);
        store(dst, w[0]);
        store(dst + 4, w[1]);
        store(dst + 8, w[2]);
        store(dst + 12, w[3]);
        store(dst + count - 16, w[4]);
        store(dst + count - 12, w[5]);
        store(dst + count - 8, w[6]);
        store(dst + count - 4, w[7]);
    } else {
        MoveCharsLong(dst, src, count);
    }
}

// The first c in [first, last), or last. Inline, eight characters at a
// time where the processor has the instructions: the fields of archive lines
// are short, and a call of a library search costs more than the search.
inline const char16_t* FindChar(const char16_t* first, const char16_t* last, char16_t c)
{
#ifdef VALDRAN_CHARS_SSE2
    const __m128i needle = _mm_set1_epi16(static_cast<short>(c));
    while (last - first >= 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(block, needle)));
        if (mask != 0)
            return first + (std::countr_zero(mask) >> 1);
        first += 8;
    }
#endif
    while (first < last && *first != c)
        ++first;
    return first;
}

// Every position of c in [chars, chars + size), in order, written to at
// (room for size positions), and whether other occurs anywhere there; the
// answer is the number of positions. One walk over a line finds its field
// separators and tells whether a rarer mark needs a closer look. Positions
// fit in 32 bits (the callers' lines are far shorter).
inline std::size_t FindAllChars(const char16_t* chars, std::size_t size, char16_t c, char16_t other, uint32_t* at,
                                bool& otherFound)
{
    std::size_t k = 0;
    std::size_t count = 0;
    bool found = false;
#ifdef VALDRAN_CHARS_SSE2
    const __m128i needle = _mm_set1_epi16(static_cast<short>(c));
    const __m128i mark = _mm_set1_epi16(static_cast<short>(other));
    for (; k + 16 <= size; k += 16) {
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + k));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + k + 8));
        // One bit per character: the words compared are packed to bytes.
        unsigned hits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(lo, needle), _mm_cmpeq_epi16(hi, needle))));
        found = found
            || _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(lo, mark), _mm_cmpeq_epi16(hi, mark))) != 0;
        while (hits != 0) {
            at[count++] = uint32_t(k + std::size_t(std::countr_zero(hits)));
            hits &= hits - 1;
        }
    }
#endif
    for (; k < size; ++k) {
        if (chars[k] == c)
            at[count++] = uint32_t(k);
        else if (chars[k] == other)
            found = true;
    }
    otherFound = found;
    return count;
}

} // namespace platform
