#include "settings/About.h"

About::About(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About"));
}

void About::ShowModal(QWidget* owner)
{
    Q_UNUSED(owner);
}
