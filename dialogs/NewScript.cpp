#include "dialogs/NewScript.h"

#include "app/MainWindow.h"
#include "app/Texts.h"
#include "platform/CheckBox.h"
#include "platform/Desktop.h"
#include "platform/FlatButton.h"
#include "platform/Modal.h"
#include "editor/ScriptTextBox.h"
#include "language/ScriptText.h"
#include "platform/TextBox.h"
#include "settings/SettingsStore.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace {


ScriptTextBox* scriptBox()
{
    MainWindow* main = MainWindow::instance();
    return main ? main->Text1 : nullptr;
}

void focusScript()
{
    if (ScriptTextBox* box = scriptBox())
        box->SetFocus();
}

// Says what is wrong with a box's text and puts the focus into it.
void inputError(const QString& prompt, TextBox* box)
{
    Modal::MsgBox(prompt, Modal::vbOKOnly + Modal::vbCritical, Texts::ErrorTitle);
    box->SetFocus();
}

// A box of the header frame with its label to the left, at top (twips).
TextBox* labelledBox(QWidget* frame, QLabel*& label, const char* labelName, const char* caption,
                     const char* boxName, int top, int width)
{
    label = Desktop::placed(new QLabel(QString::fromLatin1(caption), frame), labelName, 180, top, 1380, 330);
    auto* box = Desktop::placed(new TextBox(frame), boxName, 1620, top, width, 330);
    // The label names the box, also for a screen reader.
    box->setAccessibleName(label->text());
    label->setBuddy(box);
    return box;
}

}  // namespace

NewScript::NewScript(QWidget* parent) : QDialog(parent)
{
    using Desktop::placed;
    setObjectName(QStringLiteral("NewScript"));
    setWindowTitle(QStringLiteral("New script"));
    setModal(true);
    setFixedSize(Desktop::px(5040), Desktop::px(4200));

    Label1 = placed(new QLabel(QStringLiteral("Please type in the script identifier and name in the following "
                                              "fields. Also, be sure to choose between Campaign_Script and "
                                              "Custom_Script:"),
                               this),
                    "Label1", 120, 120, 4800, 660);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Frame1 = placed(new QGroupBox(this), "Frame1", 120, 840, 4800, 1095);
    Frame1->setAccessibleName(QStringLiteral("Script header"));
    ScriptIdentifier = labelledBox(Frame1, Label2, "Label2", "Script identifier", "ScriptIdentifier", 180, 1005);
    ScriptIdentifier->setMaxLength(4);
    ScriptName = labelledBox(Frame1, Label3, "Label3", "Script name", "ScriptName", 630, 3000);

    Frame2 = placed(new QGroupBox(this), "Frame2", 120, 2040, 4800, 540);
    Frame2->setAccessibleName(QStringLiteral("Kind of script"));
    CampaignScript =
        placed(new QRadioButton(QStringLiteral(" Campaign_Script"), Frame2), "CampaignScript", 180, 150, 2160, 285);
    CampaignScript->setChecked(true);
    CustomScript =
        placed(new QRadioButton(QStringLiteral(" Custom_Script"), Frame2), "CustomScript", 2520, 150, 2100, 285);

    Neveragain =
        placed(new CheckBox(QStringLiteral("Never show this window again"), this), "Neveragain", 180, 2700, 4740, 285);
    Label4 = placed(new QLabel(QStringLiteral("(You may re-activate it in the 'Options' window)"), this), "Label4",
                    465, 2985, 4455, 255);

    FlatBttn1 = placed(new FlatButton(QStringLiteral("&Cancel"), QString(), this), "FlatBttn1", 2400, 3555, 1200, 405);
    FlatBttn2 = placed(new FlatButton(QStringLiteral("&OK"), QString(), this), "FlatBttn2", 3720, 3555, 1200, 405);
    Command1 = makeHiddenTwin(QStringLiteral("Command1"), FlatBttn1, this);
    OK = makeHiddenTwin(QStringLiteral("OK"), FlatBttn2, this);
    OK->setEnabled(false);

    Desktop::setTabOrder(
        {ScriptIdentifier, ScriptName, CampaignScript, CustomScript, Neveragain, FlatBttn1, FlatBttn2});
    ScriptIdentifier->setFocus(Qt::OtherFocusReason);

    connect(ScriptIdentifier, &TextBox::Change, this, &NewScript::ScriptIdentifier_Change);
    connect(ScriptName, &TextBox::Change, this, &NewScript::ScriptName_Change);
    connect(OK, &QPushButton::clicked, this, &NewScript::OK_Click);
    connect(FlatBttn2, &QPushButton::clicked, this, &NewScript::FlatBttn2_Click);
    connect(Command1, &QPushButton::clicked, this, &NewScript::Command1_Click);
    connect(FlatBttn1, &QPushButton::clicked, this, &NewScript::FlatBttn1_Click);
}

void NewScript::ShowModal(QWidget* owner)
{
    NewScript dialog(owner);
    dialog.exec();
}

void NewScript::updateOK()
{
    OK->setEnabled(ScriptIdentifier->Text().size() == 4 && !ScriptName->Text().isEmpty());
}

void NewScript::ScriptIdentifier_Change()
{
    updateOK();
}

void NewScript::ScriptName_Change()
{
    updateOK();
}

void NewScript::OK_Click()
{
    ScriptTextBox* box = scriptBox();
    // The script box is emptied before the checks, so a failed check leaves
    // it empty.
    if (box)
        box->setText(QString());

    const QString identifier = ScriptIdentifier->Text();
    const QString name = ScriptName->Text();
    if (identifier.isEmpty())
        return inputError(QStringLiteral("Please type in a script identifier!"), ScriptIdentifier);
    if (identifier.size() < 4)
        return inputError(QStringLiteral("Script identifier must be 4 chars long!"), ScriptIdentifier);
    if (name.isEmpty())
        return inputError(QStringLiteral("Please type in a script name!"), ScriptName);

    if (Neveragain->Value() == 1)
        SaveSetting(Texts::App, Texts::Config, Texts::NewScript, QStringLiteral("0"));

    if (box) {
        // The new header is one step to undo.
        box->beginUndoAction();
        box->setText(QString());
        const bool campaign = CampaignScript->isChecked();
        box->setSelText(QStringLiteral("Script_Identifier ") + identifier);
        box->setSelText(ScriptText::CrLf);
        box->setSelText(QStringLiteral("Script_Name ") + name);
        box->setSelText(ScriptText::CrLf);
        box->setSelText(campaign ? QStringLiteral("Campaign_Script") : QStringLiteral("Custom_Script"));
        box->setSelText(ScriptText::CrLf);
        box->endUndoAction();
    }
    accept();
    focusScript();
}

void NewScript::Command1_Click()
{
    reject();
    focusScript();
}
