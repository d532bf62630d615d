#include "evaluation/FieldShaping.h"

#include "base/ZT_Tools.h"

#include <QString>
#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

QString Shaped(const QString& field)
{
    std::vector<char16_t> out(std::size_t(ShapedFieldCapacity(field.size())));
    const qsizetype size = ShapeNumberField(field, out.data());
    return QString(reinterpret_cast<const QChar*>(out.data()), size);
}

TEST(FieldShaping, NumberFieldsBecomeEightCharacterCells)
{
    EXPECT_EQ(Shaped("00001234"), "  1234.0");
    EXPECT_EQ(Shaped("0000123,4"), "   123.4");
    EXPECT_EQ(Shaped("12,50"), "    12.5");
    EXPECT_EQ(Shaped("0,0"), "       0");
    EXPECT_EQ(Shaped("000,05"), "    0.05");
    EXPECT_EQ(Shaped(",0"), "        ");
    EXPECT_EQ(Shaped("5,"), "       5");
    EXPECT_EQ(Shaped("123456789,25"), "123456789.25");
    EXPECT_EQ(Shaped("12:30,0"), "   12:30");
    EXPECT_EQ(Shaped("0012:,0"), "0012");        // a ':' at the end goes, and nothing else happens
    EXPECT_EQ(Shaped("-0012"), " -0012.0");      // a sign stops the zeros going
    EXPECT_EQ(Shaped(""), "");
}

// The direct way for fields of digits must give the text of the general way
// and the number that text reads as, for every such field.
TEST(FieldShaping, PlainFieldsGiveTheGeneralTextAndTheNumberItReadsAs)
{
    std::mt19937 rng(11);
    const char16_t alphabet[] = u"0000000123456789,.";
    int plain = 0;
    for (int trial = 0; trial < 200000; ++trial) {
        const int length = int(rng() % 18);
        QString field;
        for (int k = 0; k < length; ++k)
            field += QChar(alphabet[rng() % (sizeof alphabet / sizeof alphabet[0] - 1)]);
        std::vector<char16_t> out(std::size_t(ShapedFieldCapacity(field.size())));
        qsizetype size = -1;
        double number = 0;
        // The field alone, or at the end of a text with characters in front
        // that look like part of it.
        const qsizetype before = qsizetype(rng() % 20);
        const QString text = QString(before, QChar(alphabet[rng() % 18])) + field;
        const QStringView view = QStringView(text).mid(before);
        if (!TryShapePlainNumberField(view, before, out.data(), size, number))
            continue;
        ++plain;
        const QString shaped(reinterpret_cast<const QChar*>(out.data()), size);
        ASSERT_EQ(shaped.toStdString(), Shaped(field).toStdString()) << field.toStdString() << " after " << before;
        const double reads = shaped.trimmed().isEmpty() ? -9999.0 : ParseRealTrimmed(shaped);
        ASSERT_EQ(number, reads) << field.toStdString();
    }
    EXPECT_GT(plain, 50000);
    // Fields it does not take: more than 15 digits, two separators, signs,
    // letters, nothing.
    qsizetype size = 0;
    double number = 0;
    char16_t out[40];
    for (const QString& field : {QStringLiteral("1234567890123456"), QStringLiteral("1,2.3"), QStringLiteral("-5"),
                                 QStringLiteral("1e3"), QStringLiteral(" 5"), QString(), QStringLiteral(",")})
        EXPECT_FALSE(TryShapePlainNumberField(field, 0, out, size, number)) << field.toStdString();
}

} // namespace
