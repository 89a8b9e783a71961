#pragma once
#include <QDialog>

class FlatButton;
class ListBox;
class QLabel;
class QPushButton;

// Lists the recently used script files from the settings store and reopens
// the chosen one in the main window. Created for one showing and destroyed
// when it closes.
class RecentFiles : public QDialog {
    Q_OBJECT
public:
    explicit RecentFiles(QWidget* parent = nullptr);
    // Shows the window modally over the main window; returns when it closes.
    static void ShowModal(QWidget* owner);

    QLabel* Label1 = nullptr;
    ListBox* List1 = nullptr;
    FlatButton* FlatBttn1 = nullptr;
    FlatButton* FlatBttn2 = nullptr;
    QPushButton* Cancel = nullptr;
    QPushButton* OK = nullptr;

    // Refills the list from the store; runs each time the window is shown.
    void Form_Activate();
    void List1_Click();
    void List1_DblClick();
    void OK_Click();
    void FlatBttn2_Click() { OK_Click(); }
    void Cancel_Click();
    void FlatBttn1_Click() { Cancel_Click(); }

    // Loads the file into the main window; false (error shown, nothing
    // changed) when it could not be read.
    bool OpenRecentProc(const QString& path);

protected:
    void showEvent(QShowEvent* e) override;
};
