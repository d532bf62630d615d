#pragma once
// A number entry field: takes and gives its value as a double, accepts ','
// and '.' as the decimal separator and refuses keys that cannot make a number.
#include <QLineEdit>

namespace platform {

class TNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumberEdit(QWidget* parent = nullptr);

    double Value() const;
    void SetValue(double value);
};

} // namespace platform
