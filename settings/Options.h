#pragma once
#include <QDialog>

class CheckBox;
class FlatButton;
class QGroupBox;
class QPushButton;
class TextBox;

// Edits the preferences kept in the settings store: the start-up logo, the
// New-script window and the default directories for opening and saving.
// Created for one showing and destroyed when it closes; it writes only the
// store and only on OK.
class Options : public QDialog {
    Q_OBJECT
public:
    explicit Options(QWidget* parent = nullptr);
    // Shows the window modally over the main window; returns when it closes.
    static void ShowModal(QWidget* owner);

    QGroupBox* Frame1 = nullptr;
    CheckBox* DefOpen = nullptr;
    TextBox* OpenDirectory = nullptr;
    FlatButton* OpenBrowse = nullptr;
    CheckBox* DefSave = nullptr;
    TextBox* SaveDirectory = nullptr;
    FlatButton* SaveBrowse = nullptr;
    CheckBox* ProgramLogo = nullptr;
    CheckBox* NewScriptWindow = nullptr;
    QGroupBox* Frame3 = nullptr;
    FlatButton* FlatBttn3 = nullptr;
    FlatButton* FlatBttn2 = nullptr;
    FlatButton* FlatBttn1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

    void Form_Load();
    void DefOpen_Click();
    void DefSave_Click();
    void OpenBrowse_Click();
    void SaveBrowse_Click();
    void OK_Click();
    void FlatBttn2_Click() { OK_Click(); }
    void Cancel_Click();
    void FlatBttn1_Click() { Cancel_Click(); }
    void Command1_Click();
    void FlatBttn3_Click() { Command1_Click(); }

    // The part of StringWert before its first NUL character (all of it when
    // it holds none).
    static QString NullTrim(const QString& StringWert);

private:
    void browseInto(TextBox* box);
};
