#include "platform/forms/NumberEdit.h"

#include "platform/NumberField.h"

#include <QValidator>

namespace platform {

namespace {

class TNumberValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        double v = 0;
        if (ParseNumberField(input, v))
            return Acceptable;
        return IsNumberFieldPrefix(input) ? Intermediate : Invalid;
    }
};

} // namespace

TNumberEdit::TNumberEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new TNumberValidator(this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetValue(0);
}

double TNumberEdit::Value() const
{
    return NumberFieldValue(text());
}

void TNumberEdit::SetValue(double value)
{
    setText(FormatNumberField(value));
}

} // namespace platform
