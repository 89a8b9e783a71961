#pragma once
#include <QStringList>
#include <QWidget>

#include <memory>

#include "platform/CommonDialog.h"

class FlatButton;
class QLabel;
class QPushButton;
class QTreeWidgetItem;
class RecoveryCopy;
class ScriptTextBox;
class TextBox;
class Toolbar;
class TreeView;

// The program's only document window: the script in Text1, its modified flag
// Changed and its file ActualFile, beside the catalogue tree and the value box.
// Other windows reach it through MainWindow::instance().
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    static MainWindow* instance();

    // Controls.
    Toolbar* Toolbar1 = nullptr;
    TextBox* Text2 = nullptr;
    FlatButton* FlatBttn1 = nullptr;
    FlatButton* FlatBttn2 = nullptr;
    FlatButton* FlatBttn3 = nullptr;
    FlatButton* FlatBttn4 = nullptr;
    FlatButton* FlatBttn5 = nullptr;
    FlatButton* FlatBttn6 = nullptr;
    FlatButton* FlatBttn7 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Recent = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* End = nullptr;
    TreeView* TreeView1 = nullptr;
    ScriptTextBox* Text1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    CommonDialog CommonDialog1;
    // The recovery copy of unsaved work (none: no copy is kept).
    std::unique_ptr<RecoveryCopy> Recovery;

    // Document state and working variables.
    qint16 Changed = 0;
    QString ActualFile;
    QString WholeText;
    qint16 MouseButton = 0;
    QString TextToAdd;
    QString NodeText;
    QString IsDefOpen;
    QString IsDefSave;
    QString DefaultOpen;
    QString DefaultSave;

    // The whole text after the program's name; opened by Form_Load, which
    // runs when the window is shown for the first time.
    QString CommandLine;
    void Form_Load(const QString& commandLine);
    void setCaption(const QString& caption);

    // Script box events.
    void Text1_Change();
    void Text1_KeyUp(int keyCode, int shift);
    void Text1_MouseDown(int button, int shift, double x, double y);
    void Text1_DblClick();

    // Catalogue and insertion.
    void FillTreeProc();
    void TreeView1_NodeClick(QTreeWidgetItem* node);
    void TreeView1_Click();
    void TreeView1_DblClick();
    void TreeView1_MouseDown(int button, int shift, double x, double y);
    void Text2_Change();
    void Text2_KeyPress(int& keyAscii);
    void Text2_KeyUp(int keyCode, int shift);
    void Text2_DblClick();
    void Command5_Click();
    void FlatBttn7_Click() { Command5_Click(); }
    void InsertStep();

    // Unit commands.
    void Command1_Click();
    void FlatBttn6_Click() { Command1_Click(); }
    void MakeAttackingProc();
    void Command4_Click() { MakeAttackingProc(); }
    void FlatBttn5_Click() { MakeAttackingProc(); }

    // Script files.
    void OpenArgumentProc(const QString& path);
    void FileOpenProc();
    bool FileSaveAsProc();
    bool FileSaveProc();
    void FileNewProc();
    void NewCommand(bool fromKeyboard);
    void PushRecentFile(const QString& path);
    // Opens a script: loads it, keeps the recent-file list, ActualFile,
    // Changed and the caption as the way it was opened asks; false (and the
    // error shown) when it could not be read, with the document as it was.
    enum class OpenedFrom { CommandLine, Dialog, RecentList };
    bool OpenScriptProc(const QString& path, OpenedFrom from);
    // Loads a file into Text1 by the reading rule; false (and the error shown)
    // when it could not be read, with the document left as it was.
    bool LoadScriptFile(const QString& path);
    bool WriteScriptFile(const QString& path);

    // Toolbar and clipboard.
    void Toolbar1_ButtonClick(const QString& key);
    void EditCopyProc();
    void EditCutProc();
    void EditPasteProc();

    // Other windows.
    void Recent_Click();
    void FlatBttn4_Click() { Recent_Click(); }
    void Command3_Click();
    void FlatBttn3_Click() { Command3_Click(); }
    void Command2_Click();
    void FlatBttn2_Click() { Command2_Click(); }

    // Quitting.
    void End_Click() { QuitRequest(); }
    void FlatBttn1_Click() { QuitRequest(); }
    // Asks "Do you really want to quit??"; on Yes drops the window and ends.
    // Returns the answer.
    int QuitRequest();
    void DropAnimation();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildToolbar();
    void buildBoxes();
    void layoutControls();
    void prepareFileDialog(const QString& title, const QString& bar);
    // Writes the script to path, shows it in the caption and says so.
    bool saveTo(const QString& path);
    bool m_animating = false;
    bool m_loaded = false;
    QStringList m_recent;
    void readRecentEntries();
};
