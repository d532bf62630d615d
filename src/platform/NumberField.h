#pragma once
// The text of a number entry field: the value as a double, typed with ',' or
// '.' as the decimal separator (the German user types ',', numbers pasted from
// elsewhere bring '.'), an optional sign and an optional exponent.
#include <QString>

namespace platform {

// False when the text is no complete number (empty, "-", "1e").
bool ParseNumberField(const QString& text, double& value);
// What a field holds while it is being typed: a complete number gives its
// value; an unfinished one ("-", "3,", "2e") the value of its complete part;
// anything else (empty) 0.
double NumberFieldValue(const QString& text);
// Whether the text can still become a number by typing on.
bool IsNumberFieldPrefix(const QString& text);
// The shortest text that reads back as the same double, with ','.
QString FormatNumberField(double value);

} // namespace platform
