#include "settings/Options.h"

#include "app/MainWindow.h"
#include "platform/CheckBox.h"
#include "platform/Desktop.h"
#include "platform/FlatButton.h"
#include "platform/Modal.h"
#include "platform/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "settings/Association.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QGroupBox>

namespace {

const QString NoDirectory = QStringLiteral("(No directory)");

QString config(const char* key)
{
    return GetSetting(QStringLiteral("Morvaneo"), QStringLiteral("Config"), QString::fromLatin1(key), QString());
}

void setConfig(const char* key, const QString& value)
{
    SaveSetting(QStringLiteral("Morvaneo"), QStringLiteral("Config"), QString::fromLatin1(key), value);
}

void focusScript()
{
    if (MainWindow* main = MainWindow::instance())
        main->Text1->SetFocus();
}

TextBox* directoryBox(QWidget* parent, const char* name, const char* accessible)
{
    auto* box = new TextBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(QString::fromLatin1(accessible));
    box->setReadOnly(true);
    box->setText(NoDirectory);
    return box;
}

}  // namespace

Options::Options(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);
    setFixedSize(Desktop::px(6000), Desktop::px(5040));

    Frame1 = new QGroupBox(QStringLiteral("Directories"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Desktop::setTwipsGeometry(Frame1, 120, 120, 5760, 2250);

    DefOpen = new CheckBox(QStringLiteral(" Default directory to open MVN5 files from:"), Frame1);
    DefOpen->setObjectName(QStringLiteral("DefOpen"));
    Desktop::setTwipsGeometry(DefOpen, 180, 300, 5400, 285);
    OpenDirectory = directoryBox(Frame1, "OpenDirectory", "Default directory to open files from");
    Desktop::setTwipsGeometry(OpenDirectory, 180, 660, 4200, 345);
    OpenBrowse = new FlatButton(QStringLiteral("&Browse"), QString(), Frame1);
    OpenBrowse->setObjectName(QStringLiteral("OpenBrowse"));
    Desktop::setTwipsGeometry(OpenBrowse, 4500, 645, 1080, 375);

    DefSave = new CheckBox(QStringLiteral(" Default directory to save MVN5 files to:"), Frame1);
    DefSave->setObjectName(QStringLiteral("DefSave"));
    Desktop::setTwipsGeometry(DefSave, 180, 1260, 5400, 285);
    SaveDirectory = directoryBox(Frame1, "SaveDirectory", "Default directory to save files to");
    Desktop::setTwipsGeometry(SaveDirectory, 180, 1620, 4200, 345);
    SaveBrowse = new FlatButton(QStringLiteral("Brow&se"), QString(), Frame1);
    SaveBrowse->setObjectName(QStringLiteral("SaveBrowse"));
    Desktop::setTwipsGeometry(SaveBrowse, 4500, 1605, 1080, 375);

    ProgramLogo = new CheckBox(QStringLiteral(" Show program logo"), this);
    ProgramLogo->setObjectName(QStringLiteral("ProgramLogo"));
    Desktop::setTwipsGeometry(ProgramLogo, 300, 2520, 5580, 285);
    NewScriptWindow =
        new CheckBox(QStringLiteral(" Show 'New script' window when creating a new script"), this);
    NewScriptWindow->setObjectName(QStringLiteral("NewScriptWindow"));
    Desktop::setTwipsGeometry(NewScriptWindow, 300, 2865, 5580, 285);

    Frame3 = new QGroupBox(QStringLiteral("File associations"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Desktop::setTwipsGeometry(Frame3, 120, 3300, 5760, 900);
    FlatBttn3 = new FlatButton(QStringLiteral("A&ssociate MVN5 files with Morvaneo II"), QString(), Frame3);
    FlatBttn3->setObjectName(QStringLiteral("FlatBttn3"));
    Desktop::setTwipsGeometry(FlatBttn3, 180, 330, 5400, 435);
    Command1 = makeHiddenTwin(QStringLiteral("Command1"), FlatBttn3, Frame3);
    Command1->setText(QStringLiteral("A&ssociate MVN5 files with Morvaneo"));

    FlatBttn1 = new FlatButton(QStringLiteral("&Cancel"), QString(), this);
    FlatBttn1->setObjectName(QStringLiteral("FlatBttn1"));
    Desktop::setTwipsGeometry(FlatBttn1, 3360, 4395, 1200, 405);
    FlatBttn2 = new FlatButton(QStringLiteral("&OK"), QString(), this);
    FlatBttn2->setObjectName(QStringLiteral("FlatBttn2"));
    Desktop::setTwipsGeometry(FlatBttn2, 4680, 4395, 1200, 405);
    Cancel = makeHiddenTwin(QStringLiteral("Cancel"), FlatBttn1, this);
    OK = makeHiddenTwin(QStringLiteral("OK"), FlatBttn2, this);
    OK->setText(QStringLiteral("&Ok"));

    setTabOrder(DefOpen, OpenBrowse);
    setTabOrder(OpenBrowse, DefSave);
    setTabOrder(DefSave, SaveBrowse);
    setTabOrder(SaveBrowse, ProgramLogo);
    setTabOrder(ProgramLogo, NewScriptWindow);
    setTabOrder(NewScriptWindow, FlatBttn3);
    setTabOrder(FlatBttn3, FlatBttn1);
    setTabOrder(FlatBttn1, FlatBttn2);
    // The read-only boxes only show a path; the keyboard passes them by.
    OpenDirectory->setFocusPolicy(Qt::ClickFocus);
    SaveDirectory->setFocusPolicy(Qt::ClickFocus);

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
    ProgramLogo->setValue(config("ProgramLogo") == QLatin1StringView("0") ? 0 : 1);
    NewScriptWindow->setValue(config("NewScript") == QLatin1StringView("0") ? 0 : 1);

    const QString defaultOpen = config("DefaultOpen");
    const QString defaultSave = config("DefaultSave");
    if (!defaultOpen.isEmpty()) {
        DefOpen->setValue(1);
        OpenDirectory->setText(defaultOpen);
    }
    if (!defaultSave.isEmpty()) {
        DefSave->setValue(1);
        SaveDirectory->setText(defaultSave);
    }

    if (config("UseDefOpen").isEmpty())
        DefOpen->setValue(0);
    if (config("UseDefSave").isEmpty())
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
    setConfig("ProgramLogo", ProgramLogo->Value() == 1 ? QString() : QStringLiteral("0"));
    setConfig("NewScript", NewScriptWindow->Value() == 1 ? QString() : QStringLiteral("0"));

    // Both directories are kept only as a pair: when either box still shows
    // the placeholder, both are cleared.
    const QString openDirectory = OpenDirectory->Text();
    const QString saveDirectory = SaveDirectory->Text();
    if (saveDirectory != NoDirectory && openDirectory != NoDirectory) {
        setConfig("DefaultOpen", openDirectory);
        setConfig("DefaultSave", saveDirectory);
    } else {
        setConfig("DefaultOpen", QString());
        setConfig("DefaultSave", QString());
    }

    setConfig("UseDefOpen", DefOpen->Value() == 1 ? QStringLiteral("1") : QString());
    setConfig("UseDefSave", DefSave->Value() == 1 ? QStringLiteral("1") : QString());

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
