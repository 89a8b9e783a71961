#pragma once
#include <QCheckBox>

// Check box whose Value is 0 (unchecked), 1 (checked) or 2 (grey). Click
// fires on every change of the value, also when the program sets it, and
// not when a value is set to what it already was.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    CheckBox(const QString& caption, QWidget* parent = nullptr);

    int Value() const;
    void setValue(int value);

Q_SIGNALS:
    void Click();
};
