#include "platform/NumberField.h"

#include <QLocale>
#include <cmath>

namespace platform {

namespace {

// Normalised to the C locale's form: blanks around removed, ',' to '.'.
QString Normalised(const QString& text)
{
    QString s = text.trimmed();
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    return s;
}

// Length of the longest prefix of s that has the shape of a number, and
// whether all of s has it: [+-] digits [. digits] [e [+-] digits].
struct Shape {
    qsizetype complete = 0;    // longest prefix that is a complete number
    bool prefix = true;        // s can still become a number
};

Shape ShapeOf(const QString& s)
{
    Shape shape;
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto digit = [&](qsizetype k) { return k < n && s[k] >= QLatin1Char('0') && s[k] <= QLatin1Char('9'); };
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        ++i;
    bool digits = false;
    while (digit(i)) {
        ++i;
        digits = true;
    }
    if (digits)
        shape.complete = i;
    if (i < n && s[i] == QLatin1Char('.')) {
        ++i;
        bool fraction = false;
        while (digit(i)) {
            ++i;
            fraction = true;
        }
        if (digits || fraction) {
            digits = true;
            shape.complete = i;
        }
    }
    if (digits && i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
            ++i;
        bool exponent = false;
        while (digit(i)) {
            ++i;
            exponent = true;
        }
        if (exponent)
            shape.complete = i;
    }
    shape.prefix = i == n;
    return shape;
}

} // namespace

bool ParseNumberField(const QString& text, double& value)
{
    const QString s = Normalised(text);
    const Shape shape = ShapeOf(s);
    if (!shape.prefix || shape.complete != s.size() || s.isEmpty())
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(s, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

double NumberFieldValue(const QString& text)
{
    const QString s = Normalised(text);
    const Shape shape = ShapeOf(s);
    if (shape.complete == 0)
        return 0.0;
    bool ok = false;
    const double v = QLocale::c().toDouble(s.left(shape.complete), &ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

bool IsNumberFieldPrefix(const QString& text)
{
    return ShapeOf(Normalised(text)).prefix;
}

QString FormatNumberField(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    QString s = QString::number(value, 'g', QLocale::FloatingPointShortest);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

} // namespace platform
