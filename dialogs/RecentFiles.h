#pragma once
#include <QDialog>

class RecentFiles : public QDialog {
    Q_OBJECT
public:
    explicit RecentFiles(QWidget* parent = nullptr);
    // Shows the window modally over the main window; returns when it closes.
    static void ShowModal(QWidget* owner);
};
