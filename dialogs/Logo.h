#pragma once
#include <QWidget>

class MainWindow;

// The start-up logo: shown for 2500 ms, then it gives way to the main window,
// or it hands over at once when the logo is switched off.
class Logo : public QWidget {
    Q_OBJECT
public:
    explicit Logo(MainWindow* main, QWidget* parent = nullptr);
    // Starts the program's windows: the logo, then the main window.
    static void Begin(MainWindow* main);
};
