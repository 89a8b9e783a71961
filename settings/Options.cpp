#include "settings/Options.h"

Options::Options(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Options"));
}

void Options::ShowModal(QWidget* owner)
{
    Q_UNUSED(owner);
}
