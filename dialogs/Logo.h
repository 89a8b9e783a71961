#pragma once
#include <QWidget>

class MainWindow;
class QLabel;
class QTimer;

// The start-up logo: a borderless window holding the 500 x 400 logo picture
// for 2500 ms, after which it gives way to the main window. When the logo is
// switched off ("Config"/"ProgramLogo" is "0") it hands over at once, never
// shown. The main window is shown exactly once, whichever way the logo ends.
class Logo : public QWidget {
    Q_OBJECT
public:
    explicit Logo(MainWindow* main, QWidget* parent = nullptr);
    // Starts the program's windows: the logo, then the main window.
    static void Begin(MainWindow* main);

    QLabel* Image1 = nullptr;
    QTimer* Timer11 = nullptr;

    void Form_Load();
    void Timer11_Timer();

    // How many times the logo has shown the main window (0 or 1).
    int handovers() const { return m_handovers; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void handOver();
    MainWindow* m_main;
    int m_handovers = 0;
};
