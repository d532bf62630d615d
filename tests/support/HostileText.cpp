#include "support/HostileText.h"

namespace testsupport {

const std::vector<THostileChar>& HostileChars()
{
    static const std::vector<THostileChar> chars = [] {
        const auto unit = [](char16_t u) { return QString(QChar(u)); };
        const char32_t high[] = {0x1FFFE};
        return std::vector<THostileChar>{
            {"NUL", unit(0x0000), true},
            {"U+0001", unit(0x0001), true},
            {"backspace", unit(0x0008), true},
            {"vertical tab", unit(0x000B), true},
            {"form feed", unit(0x000C), true},
            {"U+001F", unit(0x001F), true},
            {"DEL", unit(0x007F), false},
            {"U+0080", unit(0x0080), false},
            {"U+0085", unit(0x0085), false},
            {"U+009F", unit(0x009F), false},
            {"U+FDD0", unit(0xFDD0), false},
            {"U+FFFE", unit(0xFFFE), true},
            {"U+FFFF", unit(0xFFFF), true},
            {"U+1FFFE", QString::fromUcs4(high, 1), false},
            {"lone high surrogate", unit(0xD800), true},
            {"lone low surrogate", unit(0xDC00), true},
        };
    }();
    return chars;
}

QString HostileCell(int i)
{
    const QString n = QString::number(i);
    return QLatin1Char('a') + n + HostileChars()[std::size_t(i)].Char + QLatin1Char('b') + n;
}

QString ReplacedCell(int i)
{
    const QString n = QString::number(i);
    return QLatin1Char('a') + n + QChar(0xFFFD) + QLatin1Char('b') + n;
}

} // namespace testsupport
