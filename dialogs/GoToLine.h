#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;
class ScriptTextBox;

// Asks for the number of a line of the script, between 1 and its last line.
// Shown modally for one question and destroyed after it.
class GoToLine : public QDialog {
    Q_OBJECT
public:
    // Gives the box its Ctrl+G key, which acts only while it has the focus.
    static void attachTo(ScriptTextBox* box);
    // Asks for a line (through the modal seam) and, unless the user
    // cancelled, puts the box's caret at the start of that line and shows it.
    static void ask(ScriptTextBox* box);
    // Scrolls the box so that its line (counted from 0) is in view: when it
    // is out of view it comes to the middle, with the lines around it.
    static void bringIntoView(ScriptTextBox* box, int line);

    GoToLine(int current, int last, QWidget* parent = nullptr);
    // The chosen line, counted from 1.
    int line() const;

    QLabel* Label1 = nullptr;
    QSpinBox* LineNumber = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;
};
