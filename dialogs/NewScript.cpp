#include "dialogs/NewScript.h"

NewScript::NewScript(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("New script"));
}

void NewScript::ShowModal(QWidget* owner)
{
    Q_UNUSED(owner);
}
