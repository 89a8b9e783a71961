#include "settings/Options.h"

#include "app/MainWindow.h"
#include "app/Texts.h"
#include "platform/CheckBox.h"
#include "platform/Desktop.h"
#include "platform/FlatButton.h"
#include "platform/Modal.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "settings/Association.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QGroupBox>

namespace {

const QString NoDirectory = QStringLiteral("(No directory)");

// The six preferences the window reads when it opens and writes on OK, in
// the order of Setting.
enum Setting { Logo, NewScriptShown, OpenDir, SaveDir, UseOpenDir, UseSaveDir };
QStringList settingKeys()
{
    return {Texts::ProgramLogo, Texts::NewScript,  Texts::DefaultOpen,
            Texts::DefaultSave, Texts::UseDefOpen, Texts::UseDefSave};
}

void focusScript()
{
    if (MainWindow* main = MainWindow::instance())
        main->Text1->SetFocus();
}

TextBox* directoryBox(QWidget* parent, const char* accessible)
{
    auto* box = new TextBox(parent);
    box->setAccessibleName(QString::fromLatin1(accessible));
    box->setReadOnly(true);
    box->setText(NoDirectory);
    // The box only shows a path; the keyboard passes it by.
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

}  // namespace

Options::Options(QWidget* parent) : QDialog(parent)
{
    using Desktop::placed;
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);
    setFixedSize(Desktop::px(6000), Desktop::px(5040));

    Frame1 = placed(new QGroupBox(QStringLiteral("Directories"), this), "Frame1", 120, 120, 5760, 2250);
    DefOpen = placed(new CheckBox(QStringLiteral(" Default directory to open MVN5 files from:"), Frame1), "DefOpen",
                     180, 300, 5400, 285);
    OpenDirectory = placed(directoryBox(Frame1, "Default directory to open files from"), "OpenDirectory", 180, 660,
                           4200, 345);
    OpenBrowse = placed(new FlatButton(QStringLiteral("&Browse"), QString(), Frame1), "OpenBrowse", 4500, 645, 1080,
                        375);
    DefSave = placed(new CheckBox(QStringLiteral(" Default directory to save MVN5 files to:"), Frame1), "DefSave",
                     180, 1260, 5400, 285);
    SaveDirectory = placed(directoryBox(Frame1, "Default directory to save files to"), "SaveDirectory", 180, 1620,
                           4200, 345);
    SaveBrowse = placed(new FlatButton(QStringLiteral("Brow&se"), QString(), Frame1), "SaveBrowse", 4500, 1605, 1080,
                        375);

    ProgramLogo = placed(new CheckBox(QStringLiteral(" Show program logo"), this), "ProgramLogo", 300, 2520, 5580, 285);
    NewScriptWindow = placed(new CheckBox(QStringLiteral(" Show 'New script' window when creating a new script"), this),
                             "NewScriptWindow", 300, 2865, 5580, 285);

    Frame3 = placed(new QGroupBox(QStringLiteral("File associations"), this), "Frame3", 120, 3300, 5760, 900);
    FlatBttn3 = placed(new FlatButton(QStringLiteral("A&ssociate MVN5 files with Morvaneo II"), QString(), Frame3),
                       "FlatBttn3", 180, 330, 5400, 435);
    Command1 = makeHiddenTwin(QStringLiteral("Command1"), FlatBttn3, Frame3);
    Command1->setText(QStringLiteral("A&ssociate MVN5 files with Morvaneo"));

    FlatBttn1 = placed(new FlatButton(QStringLiteral("&Cancel"), QString(), this), "FlatBttn1", 3360, 4395, 1200, 405);
    FlatBttn2 = placed(new FlatButton(QStringLiteral("&OK"), QString(), this), "FlatBttn2", 4680, 4395, 1200, 405);
    Cancel = makeHiddenTwin(QStringLiteral("Cancel"), FlatBttn1, this);
    OK = makeHiddenTwin(QStringLiteral("OK"), FlatBttn2, this);
    OK->setText(QStringLiteral("&Ok"));

    Desktop::setTabOrder(
        {DefOpen, OpenBrowse, DefSave, SaveBrowse, ProgramLogo, NewScriptWindow, FlatBttn3, FlatBttn1, FlatBttn2});

    connect(DefOpen, &CheckBox::Click, this, &Options::DefOpen_Click);
    connect(DefSave, &CheckBox::Click, this, &Options::DefSave_Click);
    connect(OpenBrowse, &QPushButton::clicked, this, &Options::OpenBrowse_Click);
    connect(SaveBrowse, &QPushButton::clicked, this, &Options::SaveBrowse_Click);
    connect(OK, &QPushButton::clicked, this, &Options::OK_Click);
    connect(FlatBttn2, &QPushButton::clicked, this, &Options::FlatBttn2_Click);
    connect(Cancel, &QPushButton::clicked, this, &Options::Cancel_Click);
    connect(FlatBttn1, &QPushButton::clicked, this, &Options::FlatBttn1_Click);
    connect(Command1, &QPushButton::clicked, this, &Options::Command1_Click);
    connect(FlatBttn3, &QPushButton::clicked, this, &Options::FlatBttn3_Click);

    Form_Load();
}

void Options::ShowModal(QWidget* owner)
{
    Options dialog(owner);
    dialog.exec();
}

void Options::Form_Load()
{
    const QStringList stored = GetSettings(Texts::App, Texts::Config, settingKeys());
    ProgramLogo->setValue(stored[Logo] == QLatin1StringView("0") ? 0 : 1);
    NewScriptWindow->setValue(stored[NewScriptShown] == QLatin1StringView("0") ? 0 : 1);

    if (!stored[OpenDir].isEmpty()) {
        DefOpen->setValue(1);
        OpenDirectory->setText(stored[OpenDir]);
    }
    if (!stored[SaveDir].isEmpty()) {
        DefSave->setValue(1);
        SaveDirectory->setText(stored[SaveDir]);
    }

    if (stored[UseOpenDir].isEmpty())
        DefOpen->setValue(0);
    if (stored[UseSaveDir].isEmpty())
        DefSave->setValue(0);

    DefOpen_Click();
    DefSave_Click();
}

void Options::DefOpen_Click()
{
    const bool on = DefOpen->Value() == 1;
    OpenDirectory->setEnabled(on);
    OpenBrowse->setEnabled(on);
}

void Options::DefSave_Click()
{
    const bool on = DefSave->Value() == 1;
    SaveDirectory->setEnabled(on);
    SaveBrowse->setEnabled(on);
}

QString Options::NullTrim(const QString& StringWert)
{
    const qsizetype nul = StringWert.indexOf(QChar(u'\0'));
    return nul < 0 ? StringWert : StringWert.left(nul);
}

void Options::browseInto(TextBox* box)
{
    const QString chosen = Modal::seam().browseForFolder(QStringLiteral("Please choose a folder:"));
    if (chosen.isEmpty())
        return;
    const QString path = QDir::toNativeSeparators(NullTrim(chosen));
    if (!path.isEmpty())
        box->setText(path);
}

void Options::OpenBrowse_Click()
{
    browseInto(OpenDirectory);
}

void Options::SaveBrowse_Click()
{
    browseInto(SaveDirectory);
}

void Options::OK_Click()
{
    // Both directories are kept only as a pair: when either box still shows
    // the placeholder, both are cleared.
    const QString openDirectory = OpenDirectory->Text();
    const QString saveDirectory = SaveDirectory->Text();
    const bool pair = saveDirectory != NoDirectory && openDirectory != NoDirectory;
    QStringList values(settingKeys().size());
    values[Logo] = ProgramLogo->Value() == 1 ? QString() : QStringLiteral("0");
    values[NewScriptShown] = NewScriptWindow->Value() == 1 ? QString() : QStringLiteral("0");
    values[OpenDir] = pair ? openDirectory : QString();
    values[SaveDir] = pair ? saveDirectory : QString();
    values[UseOpenDir] = DefOpen->Value() == 1 ? QStringLiteral("1") : QString();
    values[UseSaveDir] = DefSave->Value() == 1 ? QStringLiteral("1") : QString();
    SaveSettings(Texts::App, Texts::Config, settingKeys(), values);

    accept();
    Modal::MsgBox(QStringLiteral("Settings saved."), Modal::vbOKOnly, QStringLiteral("Ok"));
    focusScript();
}

void Options::Cancel_Click()
{
    reject();
    focusScript();
}

void Options::Command1_Click()
{
    AssociateFiles();
}
