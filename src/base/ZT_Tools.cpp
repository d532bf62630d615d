#include "base/ZT_Tools.h"

#include "platform/CharCopy.h"

#include <QDate>
#include <QDir>
#include <QLocale>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

int TwoDigitYearLimit = 1900;
bool DecimalComma = false;

namespace {

constexpr int kPictureCapacity = 21;
constexpr int kDatePictureCapacity = 20;
const QString kPictureChars = QStringLiteral("#@*$-+,.");

bool isPictureChar(QChar c) { return kPictureChars.contains(c); }
bool isDigitPlace(QChar c)
{
    return c == u'#' || c == u'$' || c == u'*' || c == u'@';
}

// The last step of filling a picture: walks the picture part [start, end) of
// out from the right, taking the formatted number (its leading blanks already
// turned into fill, '$' and '-') from its right end. A group separator in the
// leading area, where only fill, '$' or '-' is left, vanishes into the fill.
void WalkPicturePart(char16_t* out, int start, int end, int decimalPos, const char16_t* number, int numberSize,
                     char16_t fill, char16_t plusSign, char16_t minusSign)
{
    auto onlyLeadingLeft = [&](int upTo) {
        for (int t = 0; t <= upTo; ++t) {
            const char16_t c = number[t];
            if (c != fill && c != u'$' && c != u'-')
                return false;
        }
        return true;
    };
    int src = numberSize - 1; // next number character, taken from the right
    for (int k = end - 1; k >= start; --k) {
        char16_t c = out[k];
        if ((c == u',' || c == u'.') && k < decimalPos && onlyLeadingLeft(src))
            c = u'#';
        if (isDigitPlace(QChar(c))) {
            if (src >= 0) {
                out[k] = number[src];
                --src;
                if (src >= 0 && number[src] == u'.')
                    --src; // the picture's own separator stands for the point
            } else {
                out[k] = fill;
            }
        } else if (c == u'+') {
            out[k] = plusSign;
        } else if (c == u'-') {
            out[k] = minusSign;
        }
    }
}
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Strips trailing blanks and turns the text into plain ASCII bytes; false when
// the text holds a character outside ASCII (never part of a number).
bool toAsciiTrimmedRight(const QString& text, std::string& out)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    out.clear();
    out.reserve(size_t(end));
    for (qsizetype i = 0; i < end; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == 0 || c > 127)
            return false;
        out.push_back(char(c));
    }
    return true;
}

std::optional<QLocale>& monthNameLocaleOverride()
{
    static std::optional<QLocale> locale;
    return locale;
}

int applyTwoDigitYear(int year)
{
    if (year >= 0 && year < 100) {
        year += 1900;
        if (year < TwoDigitYearLimit)
            year += 100;
    }
    return year;
}

const char* const kGermanWeekdays[7] = {"Sonntag", "Montag", "Dienstag", "Mittwoch",
                                        "Donnerstag", "Freitag", "Samstag"};

bool isDirSeparator(QChar c) { return c == u'/' || c == u'\\'; }
// The colon of a drive letter ("C:"): a ':' anywhere else is an ordinary
// character of a file or directory name here.
bool isDriveColon(const QString& name, qsizetype index)
{
    if (index != 1 || name.size() < 2 || name.at(1) != u':')
        return false;
    const char16_t letter = name.at(0).unicode();
    return (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
}
bool isPathSeparator(const QString& name, qsizetype index)
{
    const QChar c = name.at(index);
    return isDirSeparator(c) || c.unicode() == 0 || isDriveColon(name, index);
}

} // namespace

// ---- Short strings and numbers --------------------------------------------

namespace {
double parseRealBytes(std::string_view s);
} // namespace

double ParseRealDef(const QString& text)
{
    std::string s;
    if (!toAsciiTrimmedRight(text, s))
        return -9999.0;
    for (char& c : s)
        if (c == ',')
            c = '.';
    return parseRealBytes(s);
}

double ParseRealTrimmed(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].unicode() <= 32)
        --end;
    qsizetype begin = 0;
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    {
        double value = 0;
        if (TryParsePlainDecimal(text.utf16() + begin, text.utf16() + end, value))
            return value;
    }
    const std::size_t n = std::size_t(end - begin);
    char small[64];
    std::string large;
    char* buf = small;
    if (n > sizeof small) {
        large.resize(n);
        buf = large.data();
    }
    for (std::size_t k = 0; k < n; ++k) {
        const char16_t c = text[begin + qsizetype(k)].unicode();
        if (c == 0 || c > 127)
            return -9999.0;
        buf[k] = c == u',' ? '.' : char(c);
    }
    return parseRealBytes(std::string_view(buf, n));
}

namespace {

// The number syntax of ParseRealDef on ASCII text whose trailing blanks are
// gone and whose decimal commas became points.
double parseRealBytes(std::string_view s)
{
    constexpr double kError = -9999.0;

    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // Validate the syntax ourselves: from_chars would also take "inf", "nan"
    // and, with other formats, hexadecimal floating point.
    const size_t numberStart = i;
    size_t mantissaDigits = 0;
    long long leadExponent = 0; // decimal exponent of the first significant digit
    bool seenSignificant = false;
    long long intDigitsAfterSignificant = 0;
    while (i < s.size() && isAsciiDigit(s[i])) {
        if (s[i] != '0' || seenSignificant) {
            seenSignificant = true;
            ++intDigitsAfterSignificant;
        }
        ++i;
        ++mantissaDigits;
    }
    long long fracZerosBeforeSignificant = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isAsciiDigit(s[i])) {
            if (!seenSignificant) {
                if (s[i] == '0')
                    ++fracZerosBeforeSignificant;
                else
                    seenSignificant = true;
            }
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return kError;
    long long exponent = 0;
    const bool hasExponent = i < s.size() && (s[i] == 'e' || s[i] == 'E');
    if (hasExponent) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            expNegative = s[i] == '-';
            ++i;
        }
        size_t expDigits = 0;
        while (i < s.size() && isAsciiDigit(s[i])) {
            if (exponent < 1000000)
                exponent = exponent * 10 + (s[i] - '0');
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return kError;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != s.size())
        return kError;
    if (!seenSignificant)
        return negative ? -0.0 : 0.0;

    // Up to 15 digits without an exponent: the digits make a whole number
    // below 2^53 and the fraction a power of ten up to 10^15, both exact, so
    // their quotient is the correctly rounded value that from_chars gives.
    if (mantissaDigits <= 15 && !hasExponent) {
        uint64_t whole = 0;
        int fractionDigits = 0;
        bool inFraction = false;
        for (size_t k = numberStart; k < s.size(); ++k) {
            if (s[k] == '.') {
                inFraction = true;
                continue;
            }
            whole = whole * 10 + uint64_t(s[k] - '0');
            if (inFraction)
                ++fractionDigits;
        }
        const double value = DecimalOfDigits(whole, fractionDigits);
        return negative ? -value : value;
    }

    double value = 0.0;
    const char* first = s.data() + numberStart;
    const char* last = s.data() + s.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        leadExponent = intDigitsAfterSignificant > 0 ? intDigitsAfterSignificant - 1
                                                     : -(fracZerosBeforeSignificant + 1);
        if (leadExponent + exponent < 0) // underflow: as good as zero
            return negative ? -0.0 : 0.0;
        return kError;
    }
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value))
        return kError;
    return negative ? -value : value;
}

} // namespace

int32_t ParseIntDef(const QString& text)
{
    constexpr int32_t kError = -9999;
    std::string s;
    if (!toAsciiTrimmedRight(text, s))
        return kError;
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return kError;
    // from_chars would accept a second sign; only digits may follow here.
    if (s[i] == '+' || s[i] == '-')
        return kError;
    uint64_t magnitude = 0;
    const auto result = std::from_chars(s.data() + i, s.data() + s.size(), magnitude, base);
    if (result.ec != std::errc() || result.ptr != s.data() + s.size())
        return kError;
    const uint64_t limit = negative ? uint64_t(std::numeric_limits<int32_t>::max()) + 1
                                    : uint64_t(std::numeric_limits<int32_t>::max());
    if (magnitude > limit)
        return kError;
    return negative ? int32_t(-int64_t(magnitude)) : int32_t(magnitude);
}

namespace {

// The general formatting by picture: every picture, every value.
QString formatByPictureGeneral(const QString& picture, double value)
{
    QString pic = picture.left(kPictureCapacity);
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

    WalkPicturePart(reinterpret_cast<char16_t*>(pic.data()), int(start), int(end), int(decimalPos),
                    reinterpret_cast<const char16_t*>(number.utf16()), int(number.size()), fill.unicode(),
                    plusSign.unicode(), minusSign.unicode());
    return pic;
}

// A picture analysed once: the table formats every difference of a column
// with the same picture, so the analysis is kept for the next call.
struct TCompiledPicture {
    QString source;
    bool decimalComma = false;
    bool usable = false;               // a run of picture characters exists
    char16_t pic[kPictureCapacity] = {};
    int size = 0;
    int start = 0;
    int end = 0;
    int fillMode = 0;
    bool currency = false;
    bool floatingMinus = true;
    int decimalPos = -1;
    int decimals = 0;
    int width = 0;
    // Nothing but digit places '#' and the decimal separator, with decimals
    // behind it if there is one: the filled picture is the padded number.
    bool plain = false;
};

void compilePicture(TCompiledPicture& cp, const QString& picture)
{
    cp.source = picture;
    cp.decimalComma = DecimalComma;
    cp.usable = false;
    const QString pic = picture.left(kPictureCapacity);
    cp.size = int(pic.size());
    for (int k = 0; k < cp.size; ++k)
        cp.pic[k] = pic.at(k).unicode();
    int start = 0;
    while (start < cp.size && !isPictureChar(QChar(cp.pic[start])))
        ++start;
    if (start >= cp.size)
        return;
    int end = start;
    while (end < cp.size && isPictureChar(QChar(cp.pic[end])))
        ++end;
    cp.start = start;
    cp.end = end;
    cp.fillMode = 0;
    cp.currency = false;
    cp.floatingMinus = true;
    cp.decimalPos = -1;
    for (int k = start; k < end; ++k) {
        const char16_t c = cp.pic[k];
        if (c == u'*')
            cp.fillMode = 1;
        else if (c == u'@')
            cp.fillMode = 2;
        else if (c == u'$')
            cp.currency = true;
        else if (c == u'+' || c == u'-')
            cp.floatingMinus = false;
        else if (c == u',' || c == u'.') {
            cp.decimalPos = k;
            if (cp.decimalComma)
                cp.pic[k] = (c == u',') ? u'.' : u',';
        }
    }
    if (cp.fillMode == 2)
        cp.currency = false;
    int digitPlaces = 0;
    cp.decimals = 0;
    for (int k = start; k < end; ++k) {
        if (isDigitPlace(QChar(cp.pic[k]))) {
            ++digitPlaces;
            if (cp.decimalPos >= 0 && k > cp.decimalPos)
                ++cp.decimals;
        }
    }
    cp.width = digitPlaces + (cp.decimals > 0 ? 1 : 0);
    cp.usable = true;
    cp.plain = start == 0 && end == cp.size && cp.fillMode == 0 && !cp.currency && cp.floatingMinus
               && (cp.decimalPos < 0 || cp.decimals > 0);
    for (int k = 0; k < cp.size && cp.plain; ++k)
        cp.plain = k == cp.decimalPos ? true : cp.pic[k] == u'#';
}

// True when |value| lies exactly halfway between two numbers of the given
// decimals. The general routine rounds such a half away from zero, the
// standard library's fixed notation to even, so these values go the
// general way.
bool isDecimalTie(double magnitude, int decimals)
{
    if (magnitude == 0.0)
        return false;
    int exponent = 0;
    const double mantissa = std::frexp(magnitude, &exponent);
    const auto bits = static_cast<uint64_t>(std::ldexp(mantissa, 53));
    const int k = exponent - 53 + std::countr_zero(bits);
    // magnitude = odd * 2^k; 2 * 10^d * magnitude is an odd whole number
    // exactly when k = -(d + 1).
    return k == -(decimals + 1);
}

// Whole numbers wide enough for m * 10^d of every double m.
__extension__ typedef unsigned __int128 Uint128;

// The digits of magnitude rounded to the given decimals, as fixed notation
// ("12.5000"), computed exactly in whole numbers: magnitude is m * 2^e, and
// m * 10^d * 2^e is rounded to the nearest whole number. Ties never come
// here. -1 when the numbers get too large for this road.
int fixedDigits(double magnitude, int decimals, char* out)
{
    static constexpr uint64_t Pow10[] = {1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull,
                                         10000000ull, 100000000ull, 1000000000ull, 10000000000ull};
    if (decimals > 10 || magnitude < 1.0e-6)
        return -1;
    int exponent = 0;
    const double mantissa = std::frexp(magnitude, &exponent);
    const auto m = static_cast<uint64_t>(std::ldexp(mantissa, 53));
    const int e = exponent - 53;
    const Uint128 scaled = static_cast<Uint128>(m) * Pow10[decimals];
    Uint128 q;
    if (e >= 0) {
        if (e > 20)
            return -1;
        q = scaled << e;
    } else {
        const int shift = -e;
        if (shift >= 120)
            return -1;
        q = scaled >> shift;
        const Uint128 rest = scaled - (q << shift);
        const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
        if (rest > half)
            ++q;
    }
    if (q > static_cast<Uint128>(UINT64_MAX))
        return -1;
    // The digits, with zeros in front up to one place before the point.
    char digits[40];
    const auto res = std::to_chars(digits + 16, digits + sizeof digits, static_cast<uint64_t>(q));
    char* first = digits + 16;
    while (res.ptr - first <= decimals)
        *--first = '0';
    const int total = int(res.ptr - first);
    const int whole = total - decimals;
    int len = 0;
    for (int k = 0; k < whole; ++k)
        out[len++] = first[k];
    if (decimals > 0) {
        out[len++] = '.';
        for (int k = whole; k < total; ++k)
            out[len++] = first[k];
    }
    return len;
}

// Fills cp's picture with value into out; false when the general routine
// must do it.
bool formatCompiled(const TCompiledPicture& cp, double value, char16_t* out)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1.0e15 || cp.decimals > 17)
        return false;
    const double magnitude = std::fabs(value);
    if (isDecimalTie(magnitude, cp.decimals))
        return false;
    char digits[48];
    int len = fixedDigits(magnitude, cp.decimals, digits);
    if (len < 0) {
        const auto res = std::to_chars(digits, digits + sizeof digits, magnitude, std::chars_format::fixed, cp.decimals);
        if (res.ec != std::errc())
            return false;
        len = int(res.ptr - digits);
    }

    platform::MoveChars(out, cp.pic, std::size_t(cp.size));

    int extraPlaces = cp.currency ? 1 : 0;
    const bool negative = value < 0;
    bool floatingMinus = cp.floatingMinus;
    if (negative && floatingMinus && cp.fillMode == 0)
        ++extraPlaces;
    else
        floatingMinus = false;
    const char16_t fill = cp.fillMode == 1 ? u'*' : (cp.fillMode == 2 ? u'0' : u' ');
    const char16_t plusSign = negative ? u'-' : u'+';
    const char16_t minusSign = negative ? u'-' : u' ';

    const int blanksCount = len < cp.width ? cp.width - len : 0;
    if (len > cp.width || blanksCount < extraPlaces) {
        for (int k = cp.start; k < cp.end; ++k) {
            const char16_t c = out[k];
            if (isDigitPlace(QChar(c)))
                out[k] = u'*';
            else if (c == u'-')
                out[k] = minusSign;
            else if (c == u'+')
                out[k] = plusSign;
        }
        return true;
    }

    // The number padded to the width, its leading blanks filled.
    char16_t number[48];
    const int numberSize = blanksCount + len;
    for (int k = 0; k < blanksCount; ++k)
        number[k] = fill;
    for (int k = 0; k < len; ++k)
        number[blanksCount + k] = char16_t(digits[k]);
    int pos = blanksCount - 1;
    if (cp.currency && pos >= 0) {
        number[pos] = u'$';
        --pos;
    }
    if (floatingMinus && pos >= 0)
        number[pos] = u'-';

    if (cp.plain && numberSize == cp.size) {
        // Every place takes the number's character; the separator stays the
        // picture's (a decimal comma).
        platform::MoveChars(out, number, std::size_t(numberSize));
        if (cp.decimalPos >= 0)
            out[cp.decimalPos] = cp.pic[cp.decimalPos];
        return true;
    }
    WalkPicturePart(out, cp.start, cp.end, cp.decimalPos, number, numberSize, fill, plusSign, minusSign);
    return true;
}

} // namespace

namespace {

TCompiledPicture& compiledFor(const QString& picture)
{
    static thread_local TCompiledPicture compiled;
    if (compiled.source.isNull() || compiled.decimalComma != DecimalComma || compiled.source != picture)
        compilePicture(compiled, picture);
    return compiled;
}

} // namespace

QString FormatByPicture(const QString& picture, double value)
{
    const TCompiledPicture& compiled = compiledFor(picture);
    char16_t out[kPictureCapacity];
    if (compiled.usable && formatCompiled(compiled, value, out))
        return QString(reinterpret_cast<const QChar*>(out), compiled.size);
    return formatByPictureGeneral(picture, value);
}

int FormatByPictureInto(const QString& picture, double value, char16_t* out)
{
    const TCompiledPicture& compiled = compiledFor(picture);
    if (compiled.usable && formatCompiled(compiled, value, out))
        return compiled.size;
    const QString text = formatByPictureGeneral(picture, value);
    const int size = int(std::min<qsizetype>(text.size(), kPictureCapacity));
    for (int k = 0; k < size; ++k)
        out[k] = text[k].unicode();
    return size;
}

QString IntText(int32_t value)
{
    return QString::number(value).left(8);
}

QString HexWord(uint16_t value)
{
    return QStringLiteral("%1").arg(uint(value), 4, 16, QChar(u'0')).toUpper();
}

QString HexLong(uint32_t value)
{
    return HexWord(uint16_t(value >> 16)) + HexWord(uint16_t(value & 0xFFFFu));
}

QString PadRightTo(const QString& text, QChar fill, int width)
{
    if (text.size() >= width)
        return text;
    return text + QString(width - text.size(), fill);
}

QString PadLeftTo(const QString& text, QChar fill, int width)
{
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), fill) + text;
}

QString PadRightBlanks(const QString& text, int width)
{
    return PadRightTo(text, u' ', width);
}

QString PadLeftBlanks(const QString& text, int width)
{
    return PadLeftTo(text, u' ', width);
}

QString TrimControlChars(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() <= 32)
        --end;
    qsizetype begin = 0;
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    return text.mid(begin, end - begin);
}

QString UpperCaseShort(const QString& text)
{
    qsizetype length = text.indexOf(QChar(u'\0'));
    if (length < 0)
        length = text.size();
    QString result = text.left(length);
    for (QChar& c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(char16_t(c.unicode() - u'a' + u'A'));
    }
    return result;
}

bool ReplaceFirstNoCase(QString& text, int capacity, const QString& search, const QString& replacement)
{
    const QString upperSearch = UpperCaseShort(search);
    if (upperSearch.isEmpty())
        return false;
    // UpperCaseShort only cuts at a zero character, so positions stay valid.
    const qsizetype p = UpperCaseShort(text).indexOf(upperSearch);
    if (p < 0)
        return false;
    QString result = text.left(p) + replacement + text.mid(p + upperSearch.size());
    if (capacity >= 0)
        result.truncate(capacity);
    text = result;
    return true;
}

void CutToken(QString& text, int capacity, QChar delimiter, QString& head)
{
    const qsizetype p = text.indexOf(delimiter);
    if (p < 0) {
        head = text;
        text.clear();
        return;
    }
    head = text.left(p);
    text = text.mid(p + 1);
    if (capacity >= 0)
        text.truncate(capacity);
}

// ---- Day-number dates ------------------------------------------------------

bool LeapYear(int year)
{
    year = applyTwoDigitYear(year);
    if (year % 4 != 0)
        return false;
    if (year % 4000 == 0)
        return false;
    if (year % 100 != 0)
        return true;
    return year % 400 == 0;
}

int MonthDays(int month, int year)
{
    switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
        return 31;
    case 4: case 6: case 9: case 11:
        return 30;
    case 2:
        return LeapYear(year) ? 29 : 28;
    default:
        return 0;
    }
}

bool IsValidDMY(int day, int month, int year)
{
    year = applyTwoDigitYear(year);
    return day >= 1 && year >= 1900 && year <= 2078 && month >= 1 && month <= 12
        && day <= MonthDays(month, year);
}

TDayNumber DayNumberFromDMY(int day, int month, int year)
{
    year = applyTwoDigitYear(year);
    if (!IsValidDMY(day, month, year))
        return InvalidDayNumber;
    if (year == 1900 && month == 1)
        return TDayNumber(day - 1);
    if (year == 1900 && month == 2)
        return TDayNumber(day + 30);
    int m;
    if (month < 3) {
        m = month + 9;
        --year;
    } else {
        m = month - 3;
    }
    return TDayNumber((m * 153 + 2) / 5 + ((year - 1900) * 1461) / 4 + day + 58);
}

void DMYFromDayNumber(TDayNumber n, int& day, int& month, int& year)
{
    if (n == InvalidDayNumber) {
        day = month = year = 0;
        return;
    }
    if (n < 59) {
        year = 1900;
        if (n < 31) {
            month = 1;
            day = n + 1;
        } else {
            month = 2;
            day = n - 30;
        }
        return;
    }
    const int t = (int(n) - 58) * 4 - 1;
    year = t / 1461;
    const int r = (t % 1461) / 4;
    month = (r * 5 + 2) / 153;
    day = ((r * 5 + 2) % 153 + 5) / 5;
    if (month >= 10) {
        month -= 9;
        ++year;
    } else {
        month += 3;
    }
    year += 1900;
}

int DayNumberWeekday(TDayNumber n)
{
    if (n == InvalidDayNumber)
        return 7;
    return (int(n) + 1) % 7;
}

int WeekdayOfDMY(int day, int month, int year)
{
    return DayNumberWeekday(DayNumberFromDMY(day, month, year));
}

void SetMonthNameLocale(const QLocale& locale)
{
    monthNameLocaleOverride() = locale;
}

void ResetMonthNameLocale()
{
    monthNameLocaleOverride().reset();
}

QString MonthNameText(int month)
{
    if (month < 1 || month > 12)
        return QString();
    const auto& locale = monthNameLocaleOverride();
    // The month's own name (nominative), as the system lists the long month
    // names; not the form a language uses inside a date ("stycznia").
    return (locale ? *locale : QLocale::system()).standaloneMonthName(month, QLocale::LongFormat);
}

void FillDateField(QString& picture, QChar letter, int value)
{
    const QChar lower = (letter >= u'A' && letter <= u'Z') ? QChar(char16_t(letter.unicode() + 32)) : letter;
    const QChar upper = (lower >= u'a' && lower <= u'z') ? QChar(char16_t(lower.unicode() - 32)) : lower;
    qsizetype first = picture.indexOf(lower);
    if (first < 0)
        first = picture.indexOf(upper);
    if (first < 0)
        return;
    const QChar fieldChar = picture.at(first);
    qsizetype last = first;
    while (last + 1 < picture.size() && picture.at(last + 1) == fieldChar)
        ++last;
    const int length = int(last - first + 1);

    QString valueText;
    const bool numeric = lower != u'w' && lower != u'n';
    if (lower == u'w') {
        if (value >= 0 && value <= 6)
            valueText = QString::fromLatin1(kGermanWeekdays[value]);
        valueText = PadRightBlanks(valueText, length).left(length);
    } else if (lower == u'n') {
        valueText = PadRightBlanks(MonthNameText(value), length).left(length);
    } else {
        valueText = PadLeftBlanks(QString::number(value), 20);
    }

    const bool zeroFill = numeric && fieldChar == lower;
    qsizetype src = valueText.size() - 1;
    for (qsizetype k = last; k >= first && src >= 0; --k, --src) {
        QChar c = valueText.at(src);
        if (zeroFill && c == u' ')
            c = u'0';
        picture[k] = c;
    }
}

QString DatePictureText(const QString& picture, int day, int month, int year)
{
    year = applyTwoDigitYear(year);
    const int weekday = WeekdayOfDMY(day, month, year);
    QString text = picture.left(kDatePictureCapacity);
    FillDateField(text, u'm', month);
    FillDateField(text, u'd', day);
    FillDateField(text, u'y', year);
    FillDateField(text, u'n', month);
    FillDateField(text, u'w', weekday);
    return text;
}

QString TodayPictureText(const QString& picture)
{
    const QDate today = QDate::currentDate();
    return DatePictureText(picture, today.day(), today.month(), today.year());
}

// ---- Paths -----------------------------------------------------------------

QString ExtractPathPart(const QString& fileName)
{
    qsizetype p = fileName.size() - 1;
    while (p >= 0 && !isPathSeparator(fileName, p))
        --p;
    if (p < 0)
        return QString();
    if (p == 0)
        return fileName.left(1);
    const QChar c = fileName.at(p);
    if (!isDirSeparator(c) || isDriveColon(fileName, p - 1))
        return fileName.left(p + 1);
    return fileName.left(p);
}

QString FileNamePart(const QString& fileName)
{
    qsizetype p = fileName.size() - 1;
    while (p >= 0 && !isPathSeparator(fileName, p))
        --p;
    return fileName.mid(p + 1);
}

QString FileStemPart(const QString& fileName)
{
    const QString name = FileNamePart(fileName);
    const qsizetype dot = name.indexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

bool FindExtensionDot(const QString& fileName, int& position)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    position = int(dot + 1);
    if (dot < 0)
        return false;
    for (qsizetype k = dot + 1; k < fileName.size(); ++k)
        if (isDirSeparator(fileName.at(k)))
            return false;
    return true;
}

QString FileExtensionPart(const QString& fileName)
{
    int position = 0;
    if (!FindExtensionDot(fileName, position))
        return QString();
    return fileName.mid(position, 3);
}

QString AppendBackslash(const QString& path)
{
    if (path.isEmpty())
        return path;
    if (isDirSeparator(path.back()) || isDriveColon(path, path.size() - 1))
        return path;
    return path + u'/';
}

bool DriveIsUsable(QChar driveLetter)
{
    // No drive letters on this system: a path never names a drive of its own.
    return false;
}

QString ResolveDirectory(const QString& directory)
{
    QString dir = directory;
    if (dir.size() >= 4 && isDirSeparator(dir.back()))
        dir.chop(1);

    if (!dir.isEmpty()) {
        if (QDir::setCurrent(dir))
            return AppendBackslash(dir);
        // A directory written in the Windows form may still name a folder here.
        if (dir.contains(u'\\')) {
            QString slashed = dir;
            slashed.replace(u'\\', u'/');
            if (QDir::setCurrent(slashed))
                return AppendBackslash(slashed);
        }
    }
    // Without drives (DriveIsUsable is always false) a directory that cannot be
    // entered falls back to the current directory of the process.
    return AppendBackslash(QDir::currentPath());
}
