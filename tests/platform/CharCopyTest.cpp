#include "platform/CharCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

using platform::FindAllChars;
using platform::FindChar;
using platform::MoveChars;

TEST(CharCopy, FindCharFindsTheFirstOccurrenceAndNeverReadsPastTheEnd)
{
    std::mt19937 rng(7);
    for (int length = 0; length <= 40; ++length) {
        for (int trial = 0; trial < 40; ++trial) {
            // A block of exactly the length: a read beyond it is caught by
            // the address sanitizer.
            std::unique_ptr<char16_t[]> text(new char16_t[std::size_t(std::max(length, 1))]);
            for (int k = 0; k < length; ++k)
                text[std::size_t(k)] = char16_t(u'a' + rng() % 3);
            // Needles early, late, several, or none; also one that only
            // shares its low byte with other characters.
            const int needles = int(rng() % 3);
            for (int n = 0; n < needles && length > 0; ++n)
                text[rng() % unsigned(length)] = u'\t';
            if (length > 0 && rng() % 4 == 0)
                text[rng() % unsigned(length)] = char16_t(0x0109);
            for (int from = 0; from <= length; from += 1 + int(rng() % 5)) {
                const char16_t* first = text.get() + from;
                const char16_t* last = text.get() + length;
                ASSERT_EQ(FindChar(first, last, u'\t'), std::find(first, last, u'\t'))
                    << "length " << length << " from " << from;
            }
        }
    }
}

TEST(CharCopy, MoveCharsCopiesEveryLengthAlsoBetweenOverlappingRanges)
{
    for (std::size_t count = 0; count <= 70; ++count) {
        for (const int shift : {-5, -1, 1, 3, 9}) {
            std::vector<char16_t> buffer(200);
            for (std::size_t k = 0; k < buffer.size(); ++k)
                buffer[k] = char16_t(k + 1);
            std::vector<char16_t> expected = buffer;
            const std::size_t src = 50;
            const std::size_t dst = std::size_t(int(src) + shift);
            std::copy(buffer.begin() + long(src), buffer.begin() + long(src + count), expected.begin() + long(dst));
            MoveChars(buffer.data() + dst, buffer.data() + src, count);
            ASSERT_EQ(buffer, expected) << "count " << count << " shift " << shift;
        }
    }
}

TEST(CharCopy, FindAllCharsListsEveryPositionAndSeesTheMarkAnywhere)
{
    std::mt19937 rng(11);
    for (int length = 0; length <= 70; ++length) {
        for (int trial = 0; trial < 30; ++trial) {
            std::unique_ptr<char16_t[]> text(new char16_t[std::size_t(std::max(length, 1))]);
            for (int k = 0; k < length; ++k) {
                const unsigned pick = rng() % 8;
                // TABs, now and then the mark, and characters that share a
                // byte with either.
                text[std::size_t(k)] = pick == 0 ? u'\t' : pick == 1 && rng() % 6 == 0 ? u'x'
                                     : pick == 2 ? char16_t(0x0909) : pick == 3 ? char16_t(0x7800) : u'0';
            }
            std::vector<uint32_t> expected;
            bool mark = false;
            for (int k = 0; k < length; ++k) {
                if (text[std::size_t(k)] == u'\t')
                    expected.push_back(uint32_t(k));
                mark = mark || text[std::size_t(k)] == u'x';
            }
            // Room for as many positions as characters, and a guard behind.
            std::vector<uint32_t> found(std::size_t(length) + 1, 99);
            bool markFound = !mark;
            const std::size_t count = FindAllChars(text.get(), std::size_t(length), u'\t', u'x', found.data(), markFound);
            ASSERT_EQ(markFound, mark) << length;
            ASSERT_EQ(std::vector<uint32_t>(found.begin(), found.begin() + long(count)), expected) << "length " << length;
            ASSERT_EQ(found.back(), 99u);
        }
    }
}
