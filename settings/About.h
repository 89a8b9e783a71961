#pragma once
#include <QDialog>

class About : public QDialog {
    Q_OBJECT
public:
    explicit About(QWidget* parent = nullptr);
    // Shows the window modally over the main window; returns when it closes.
    static void ShowModal(QWidget* owner);
};
