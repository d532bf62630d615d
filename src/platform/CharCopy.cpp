#include "platform/CharCopy.h"

namespace platform {

void MoveCharsLong(char16_t* dst, const char16_t* src, std::size_t count)
{
    std::memmove(dst, src, count * sizeof(char16_t));
}

} // namespace platform
