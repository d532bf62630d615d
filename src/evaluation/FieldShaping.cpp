#include "evaluation/FieldShaping.h"

#include "base/ZT_Tools.h"
#include "platform/CharCopy.h"

#include <bit>
#include <cstdint>
#include <cstring>
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

