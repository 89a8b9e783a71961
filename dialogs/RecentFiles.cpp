#include "dialogs/RecentFiles.h"

RecentFiles::RecentFiles(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Recent file list"));
}

void RecentFiles::ShowModal(QWidget* owner)
{
    Q_UNUSED(owner);
}
