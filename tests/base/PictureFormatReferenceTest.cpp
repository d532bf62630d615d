// The picture formatter takes a short road for the pictures and values the
// table meets all the time; it must give exactly what the plain algorithm
// below gives (the formatter as it was first written, kept here as the
// reference), for every picture, value and decimal-separator switch.
#include "base/ZT_Tools.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <cstdint>

namespace {

const QString kChars = QStringLiteral("#@*$-+,.");
bool isPictureChar(QChar c) { return kChars.contains(c); }
bool isDigitPlace(QChar c) { return c == u'#' || c == u'$' || c == u'*' || c == u'@'; }

QString ReferenceFormat(const QString& picture, double value)
{
    QString pic = picture.left(21);
    if (pic.isEmpty())
        return pic;
    qsizetype start = 0;
    while (start < pic.size() && !isPictureChar(pic.at(start)))
        ++start;
    if (start >= pic.size())
        return pic;
    qsizetype end = start;
    while (end < pic.size() && isPictureChar(pic.at(end)))
        ++end;

    int fillMode = 0;
    bool currency = false;
    bool floatingMinus = true;
    qsizetype decimalPos = -1;
    for (qsizetype k = start; k < end; ++k) {
        const QChar c = pic.at(k);
        if (c == u'*')
            fillMode = 1;
        else if (c == u'@')
            fillMode = 2;
        else if (c == u'$')
            currency = true;
        else if (c == u'+' || c == u'-')
            floatingMinus = false;
        else if (c == u',' || c == u'.') {
            decimalPos = k;
            if (DecimalComma)
                pic[k] = (c == u',') ? u'.' : u',';
        }
    }
    if (fillMode == 2)
        currency = false;
    int extraPlaces = currency ? 1 : 0;

    int digitPlaces = 0;
    int decimals = 0;
    for (qsizetype k = start; k < end; ++k) {
        if (isDigitPlace(pic.at(k))) {
            ++digitPlaces;
            if (decimalPos >= 0 && k > decimalPos)
                ++decimals;
        }
    }
    const int width = digitPlaces + (decimals > 0 ? 1 : 0);

    const bool negative = value < 0;
    if (negative && floatingMinus && fillMode == 0)
        ++extraPlaces;
    else
        floatingMinus = false;

    const QChar fill = fillMode == 1 ? u'*' : (fillMode == 2 ? u'0' : u' ');
    const QChar plusSign = negative ? u'-' : u'+';
    const QChar minusSign = negative ? u'-' : u' ';

    QString number;
    bool overflow = !std::isfinite(value);
    if (!overflow) {
        number = QString::number(std::fabs(value), 'f', decimals);
        if (number.size() < width)
            number = QString(width - number.size(), u' ') + number;
        qsizetype blanks = 0;
        while (blanks < number.size() && number.at(blanks) == u' ')
            ++blanks;
        overflow = number.size() > width || blanks < extraPlaces;
    }
    if (overflow) {
        for (qsizetype k = start; k < end; ++k) {
            const QChar c = pic.at(k);
            if (isDigitPlace(c))
                pic[k] = u'*';
            else if (c == u'-')
                pic[k] = minusSign;
            else if (c == u'+')
                pic[k] = plusSign;
        }
        return pic;
    }

    qsizetype blanks = 0;
    while (blanks < number.size() && number.at(blanks) == u' ') {
        number[blanks] = fill;
        ++blanks;
    }
    qsizetype pos = blanks - 1;
    if (currency && pos >= 0) {
        number[pos] = u'$';
        --pos;
    }
    if (floatingMinus && pos >= 0)
        number[pos] = u'-';

    // Only fill, '$' and '-' left in the text from its start up to index 'upTo'?
    auto onlyLeadingLeft = [&](qsizetype upTo) {
        for (qsizetype t = 0; t <= upTo; ++t) {
            const QChar c = number.at(t);
            if (c != fill && c != u'$' && c != u'-')
                return false;
        }
        return true;
    };

    qsizetype src = number.size() - 1; // next text character, taken from the right
    for (qsizetype k = end - 1; k >= start; --k) {
        QChar c = pic.at(k);
        if ((c == u',' || c == u'.') && k < decimalPos && onlyLeadingLeft(src))
            c = u'#'; // a group separator in the leading area vanishes into the fill
        if (isDigitPlace(c)) {
            if (src >= 0) {
                pic[k] = number.at(src);
                --src;
                if (src >= 0 && number.at(src) == u'.')
                    --src; // the picture's own separator stands for the point
            } else {
                pic[k] = fill;
            }
        } else if (c == u'+') {
            pic[k] = plusSign;
        } else if (c == u'-') {
            pic[k] = minusSign;
        }
    }
    return pic;
}

class DecimalCommaGuard {
public:
    ~DecimalCommaGuard() { DecimalComma = false; }
};

} // namespace

TEST(FormatByPictureReference, SameTextsAsThePlainAlgorithm)
{
    DecimalCommaGuard guard;
    const QStringList pictures = {
        QStringLiteral("########.####"), QStringLiteral("####.##"), QStringLiteral("@@@@"),
        QStringLiteral("*##,###.##"), QStringLiteral("#,###.##"), QStringLiteral("$###.##"),
        QStringLiteral("-####.#"), QStringLiteral("+###"), QStringLiteral("####-"), QStringLiteral("#"),
        QStringLiteral("Wert: ###.## kWh"), QStringLiteral("###,###,###.###"), QStringLiteral("@@@.@@"),
        QStringLiteral("$$$$.$$"), QStringLiteral("########################.####"), QStringLiteral("abc"),
        QString(), QStringLiteral("##.##########"), QStringLiteral("#.#"), QStringLiteral(",###"),
        QStringLiteral("####."), QStringLiteral("#####"), QStringLiteral(".##"), QStringLiteral("#,####")};
    std::vector<double> values = {0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.375, 1.03125, -1.03125, 0.00005,
                                  0.00015, 3.14159, 42, 1234.5, 12.5, -12.5, 99999.995, 1e14, -1e14, 1e15,
                                  1e20, 1e300, -1e-300, 123456789.0, 0.1, 0.7, 2.675, 1.005,
                                  std::nan(""), INFINITY, -INFINITY, 5e-324, 9999.99995, -0.00004};
    uint32_t x = 7;
    for (int i = 0; i < 3000; ++i) {
        x = x * 1664525u + 1013904223u;
        const double mantissa = double(int32_t(x)) / 1000.0;
        x = x * 1664525u + 1013904223u;
        const int scale = int(x >> 28) - 6;
        values.push_back(mantissa * std::pow(10.0, scale));
        values.push_back(double(int32_t(x >> 4) % 200000) / 10.0);   // readings with one decimal
        values.push_back(double(int32_t(x >> 3) % 2000000) / 16.0);  // exact binary halves
    }
    for (const bool comma : {false, true}) {
        DecimalComma = comma;
        for (const QString& picture : pictures) {
            for (const double v : values) {
                ASSERT_EQ(FormatByPicture(picture, v), ReferenceFormat(picture, v))
                    << picture.toStdString() << " " << v << " comma " << comma;
            }
        }
    }
}

TEST(ParseRealTrimmed, SameAsParseRealDefOfTheTrimmedText)
{
    const QStringList texts = {QStringLiteral(" 12.5 "), QStringLiteral("\t-3,25\r"), QStringLiteral("1e5"),
                               QStringLiteral("  "), QString(), QStringLiteral("1 2"), QStringLiteral("0x10"),
                               QStringLiteral("inf"), QStringLiteral("-"), QStringLiteral(".5"),
                               QStringLiteral("5."), QStringLiteral("1e999"), QStringLiteral("1e-999"),
                               QStringLiteral("12\u00e4"), QStringLiteral("(12.5)"), QStringLiteral("+0"),
                               QString(QChar(0)) + QStringLiteral("1"), QStringLiteral("1") + QChar(0) + QStringLiteral("2"),
                               QStringLiteral("    1234567890123456789012345678901234567890123456789012345678901234567890.5")};
    for (const QString& t : texts)
        EXPECT_EQ(ParseRealTrimmed(t), ParseRealDef(TrimControlChars(t))) << t.toStdString();
}

// Short decimal texts are read by whole-number arithmetic; the value must be
// the correctly rounded one that the standard library reads.
TEST(ParseRealDef, ShortDecimalsEqualTheLibraryReading)
{
    uint32_t x = 99;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1664525u + 1013904223u;
        const int digits = 1 + int((x >> 8) % 17);
        std::string text;
        if ((x >> 20) % 3 == 0)
            text += '-';
        const int point = int((x >> 12) % uint32_t(digits + 1));
        for (int k = 0; k < digits; ++k) {
            if (k == point && k > 0)
                text += (x >> 25) % 2 ? '.' : ',';
            x = x * 1664525u + 1013904223u;
            text += char('0' + (x >> 16) % 10);
        }
        std::string plain = text;
        for (char& c : plain)
            if (c == ',')
                c = '.';
        double expected = 0;
        const char* first = plain.data() + (plain[0] == '-' ? 1 : 0);
        std::from_chars(first, plain.data() + plain.size(), expected);
        if (plain[0] == '-')
            expected = -expected;
        const double got = ParseRealDef(QString::fromStdString(text));
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text << " " << got << " " << expected;
    }
}

TEST(ParseRealTrimmed, ShortDecimalsReadAsTheGeneralWayReadsThem)
{
    const QStringList texts = {QStringLiteral("    1234.5678"), QStringLiteral("-0"), QStringLiteral("-0,000"),
                               QStringLiteral("000000000000001.5"), QStringLiteral("0000000000000001.5"),
                               QStringLiteral("123456789012345"), QStringLiteral("1234567890123456"),
                               QStringLiteral("12345678.9012345"), QStringLiteral("1.2.3"), QStringLiteral("1,2,3"),
                               QStringLiteral("1.2,3"), QStringLiteral("+."), QStringLiteral("."),
                               QStringLiteral("+7"), QStringLiteral("--7"), QStringLiteral("7-"),
                               QStringLiteral("0.1"), QStringLiteral("0.3"), QStringLiteral("9007199254740993"),
                               QStringLiteral("1e3"), QStringLiteral("12 "), QStringLiteral("1\u00a0")};
    for (const QString& t : texts)
        EXPECT_EQ(ParseRealTrimmed(t), ParseRealDef(TrimControlChars(t))) << t.toStdString();
    EXPECT_TRUE(std::signbit(ParseRealTrimmed(QStringLiteral("-0.0"))));
}
