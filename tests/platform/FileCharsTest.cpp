// Which characters each kind of file holds, and the replacement of the others.
#include "platform/FileChars.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

template <std::size_t N>
QString U(const char16_t (&text)[N])
{
    return QString::fromUtf16(text, qsizetype(N - 1));
}

QString Lone(char16_t surrogate)
{
    return QString(QChar(surrogate));
}

} // namespace

TEST(FileChars, XmlHoldsWhatXml10AllowsAndNothingElse)
{
    for (char32_t c : {0x09u, 0x0Au, 0x0Du, 0x20u, 0x7Fu, 0x80u, 0x9Fu, 0xD7FFu, 0xE000u, 0xFDD0u, 0xFFFDu,
                       0x10000u, 0x1FFFEu, 0x10FFFFu})
        EXPECT_TRUE(XmlCanHold(c)) << std::hex << unsigned(c);
    for (char32_t c : {0x00u, 0x01u, 0x08u, 0x0Bu, 0x0Cu, 0x1Fu, 0xD800u, 0xDBFFu, 0xDC00u, 0xDFFFu, 0xFFFEu,
                       0xFFFFu, 0x110000u})
        EXPECT_FALSE(XmlCanHold(c)) << std::hex << unsigned(c);
}

TEST(FileChars, DocumentsHoldNoControlCharacterButTabAndLineEndsAndNoNoncharacter)
{
    for (char32_t c : {0x09u, 0x0Au, 0x0Du, 0x20u, 0x7Eu, 0xA0u, 0xE4u, 0x20ACu, 0xFDCFu, 0xFDF0u, 0xFFFDu,
                       0x1F600u, 0x10FFFDu})
        EXPECT_TRUE(DocumentCanHold(c)) << std::hex << unsigned(c);
    for (char32_t c : {0x00u, 0x01u, 0x0Bu, 0x0Cu, 0x1Fu, 0x7Fu, 0x80u, 0x85u, 0x9Fu, 0xD800u, 0xDFFFu, 0xFDD0u,
                       0xFDEFu, 0xFFFEu, 0xFFFFu, 0x1FFFEu, 0x10FFFFu, 0x110000u})
        EXPECT_FALSE(DocumentCanHold(c)) << std::hex << unsigned(c);
}

TEST(FileChars, EveryRefusedCharacterBecomesOneReplacementCharacterAndPairsStayWhole)
{
    const QString text = U(u"a\u0000b\U0001F600c\uFFFEd\U0001FFFEe") + Lone(0xD800) + u'f' + Lone(0xDC00);
    EXPECT_TRUE(HasUnholdable(text, XmlCanHold));
    EXPECT_EQ(HoldableText(text, XmlCanHold), U(u"a\uFFFDb\U0001F600c\uFFFDd\U0001FFFEe\uFFFDf\uFFFD"));
    EXPECT_EQ(HoldableText(text, DocumentCanHold), U(u"a\uFFFDb\U0001F600c\uFFFDd\uFFFDe\uFFFDf\uFFFD"));
    // A high surrogate followed by another high one: both are alone.
    EXPECT_EQ(HoldableText(Lone(0xD800) + Lone(0xD801) + Lone(0xDC00), XmlCanHold),
              U(u"\uFFFD\U00010400"));

    const QString plain = U(u"Z\u00E4hler 1,5\tkWh\r\n\u20AC \U0001F600 \uFFFD");
    EXPECT_FALSE(HasUnholdable(plain, XmlCanHold));
    EXPECT_FALSE(HasUnholdable(plain, DocumentCanHold));
    EXPECT_EQ(HoldableText(plain, DocumentCanHold), plain);
    EXPECT_FALSE(HasUnholdable(QString(), XmlCanHold));
}

TEST(FileChars, EachLineBreakOfACellBecomesOneBlank)
{
    EXPECT_FALSE(HasLineBreak(u"a\tb\u2028c"));
    EXPECT_TRUE(HasLineBreak(u"a\rb"));
    EXPECT_EQ(OneLineText(u"a\r\nb\rc\nd\n\re"), QStringLiteral("a b c d  e"));
    EXPECT_EQ(OneLineText(u"\r\n"), QStringLiteral(" "));
    EXPECT_EQ(OneLineText(u"x\r"), QStringLiteral("x "));
}
