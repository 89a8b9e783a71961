#pragma once
#include <QDialog>

class CheckBox;
class FlatButton;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TextBox;

// Asks for the script identifier, the script name and the kind of script,
// and writes the three header lines of a new script into the main window's
// script box. Created for one showing and destroyed when it closes.
class NewScript : public QDialog {
    Q_OBJECT
public:
    explicit NewScript(QWidget* parent = nullptr);
    // Shows the window modally over the main window; returns when it closes.
    static void ShowModal(QWidget* owner);

    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    TextBox* ScriptIdentifier = nullptr;
    TextBox* ScriptName = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* CampaignScript = nullptr;
    QRadioButton* CustomScript = nullptr;
    CheckBox* Neveragain = nullptr;
    QLabel* Label4 = nullptr;
    FlatButton* FlatBttn1 = nullptr;
    FlatButton* FlatBttn2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* OK = nullptr;

    void ScriptIdentifier_Change();
    void ScriptName_Change();
    void OK_Click();
    void FlatBttn2_Click() { OK_Click(); }
    void Command1_Click();
    void FlatBttn1_Click() { Command1_Click(); }

private:
    void updateOK();
};
