#pragma once
#include <QDialog>

class Options : public QDialog {
    Q_OBJECT
public:
    explicit Options(QWidget* parent = nullptr);
    // Shows the window modally over the main window; returns when it closes.
    static void ShowModal(QWidget* owner);
};
