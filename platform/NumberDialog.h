#pragma once
#include <QDialog>

#include "platform/Modal.h"

class QLabel;
class QPushButton;
class QSpinBox;

// Asks for one whole number within a range, with OK and Cancel. Shown
// modally for one question and destroyed after it.
class NumberDialog : public QDialog {
    Q_OBJECT
public:
    NumberDialog(const Modal::NumberRequest& request, QWidget* parent = nullptr);
    int value() const;

    QLabel* Label1 = nullptr;
    QSpinBox* Number = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;
};
