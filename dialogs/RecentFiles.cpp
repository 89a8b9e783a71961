#include "dialogs/RecentFiles.h"

#include "app/MainWindow.h"
#include "app/RecentList.h"
#include "app/RecoveryCopy.h"
#include "app/Texts.h"
#include "platform/Desktop.h"
#include "platform/FlatButton.h"
#include "platform/ListBox.h"
#include "platform/ScriptTextBox.h"

#include <QLabel>
#include <QShowEvent>

namespace {

void focusScript()
{
    if (MainWindow* main = MainWindow::instance())
        main->Text1->SetFocus();
}

}  // namespace

RecentFiles::RecentFiles(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RecentFiles"));
    setWindowTitle(QStringLiteral("Recent file list"));
    setModal(true);
    setFixedSize(Desktop::px(7440), Desktop::px(4080));

    using Desktop::placed;
    Label1 = placed(new QLabel(QStringLiteral("The 20 (max) last loaded files are saved in this list for you to "
                                              "have faster access:"),
                               this),
                    "Label1", 120, 120, 7200, 450);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    List1 = placed(new ListBox(this), "List1", 120, 480, 7200, 2940);
    List1->setAccessibleName(QStringLiteral("Recent files"));

    FlatBttn1 = placed(new FlatButton(QStringLiteral("&Cancel"), QString(), this), "FlatBttn1", 4800, 3555, 1200, 405);
    FlatBttn2 = placed(new FlatButton(QStringLiteral("&OK"), QString(), this), "FlatBttn2", 6120, 3555, 1200, 405);
    Cancel = makeHiddenTwin(QStringLiteral("Cancel"), FlatBttn1, this);
    OK = makeHiddenTwin(QStringLiteral("OK"), FlatBttn2, this);
    OK->setText(QStringLiteral("&Ok"));
    OK->setEnabled(false);

    Desktop::setTabOrder({List1, FlatBttn1, FlatBttn2});

    connect(List1, &ListBox::Click, this, &RecentFiles::List1_Click);
    connect(List1, &ListBox::DblClick, this, &RecentFiles::List1_DblClick);
    connect(OK, &QPushButton::clicked, this, &RecentFiles::OK_Click);
    connect(FlatBttn2, &QPushButton::clicked, this, &RecentFiles::FlatBttn2_Click);
    connect(Cancel, &QPushButton::clicked, this, &RecentFiles::Cancel_Click);
    connect(FlatBttn1, &QPushButton::clicked, this, &RecentFiles::FlatBttn1_Click);
}

void RecentFiles::ShowModal(QWidget* owner)
{
    RecentFiles dialog(owner);
    dialog.exec();
}

// The window is modal, so nothing can change the stored list while it is
// open: it is refilled when it appears, and coming back to it from one of
// its own message boxes keeps the user's selection.
void RecentFiles::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        Form_Activate();
}

void RecentFiles::Form_Activate()
{
    List1->Clear();
    for (const QString& path : RecentList::read())
        if (!path.isEmpty())
            List1->AddItem(path);
    List1_Click();
}

void RecentFiles::List1_Click()
{
    OK->setEnabled(List1->ListIndex() >= 0 && !List1->Text().isEmpty());
}

void RecentFiles::List1_DblClick()
{
    OpenRecentProc(List1->Text());
}

void RecentFiles::OK_Click()
{
    OpenRecentProc(List1->Text());
    accept();
    focusScript();
}

void RecentFiles::Cancel_Click()
{
    reject();
    focusScript();
}

bool RecentFiles::OpenRecentProc(const QString& path)
{
    MainWindow* main = MainWindow::instance();
    if (!main || !main->LoadScriptFile(path))
        return false;
    accept();
    main->setCaption(Texts::BetaCaption + path);
    main->Text1->SetFocus();
    main->Changed = 0;
    // The script now shown is this file, so a later save without a dialog
    // must write here and not to the file edited before.
    main->ActualFile = path;
    if (main->Recovery)
        main->Recovery->offerFor(path);
    return true;
}
