#pragma once
#include <QDialog>

class NewScript : public QDialog {
    Q_OBJECT
public:
    explicit NewScript(QWidget* parent = nullptr);
    // Shows the window modally over the main window; returns when it closes.
    static void ShowModal(QWidget* owner);
};
