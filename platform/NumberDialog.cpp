#include "platform/NumberDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

NumberDialog::NumberDialog(const Modal::NumberRequest& request, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NumberDialog"));
    setWindowTitle(request.title);
    setModal(true);
    // A title and a close box; the window has nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(request.label, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The field holds only the numbers of the range.
    Number = new QSpinBox(this);
    Number->setObjectName(QStringLiteral("Number"));
    Number->setAccessibleName(request.accessibleName);
    Number->setRange(request.minimum, qMax(request.minimum, request.maximum));
    Number->setValue(request.value);
    Label1->setBuddy(Number);

    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setDefault(true);
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OK);
    buttons->addWidget(Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Number);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Number->selectAll();
}

int NumberDialog::value() const
{
    return Number->value();
}
