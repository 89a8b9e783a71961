#include "dialogs/OpcodeChecker.h"

#include "platform/Accessibility.h"
#include "platform/Desktop.h"
#include "editor/ScriptTextBox.h"
#include "language/ScriptText.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

OpcodeChecker::OpcodeChecker(QWidget* parent) : QWidget(parent)
{
    Accessibility::install();  // a window to screen readers, named by its caption
    setObjectName(QStringLiteral("OpcodeChecker"));
    setWindowTitle(QStringLiteral("MVN5 opcode checker"));
    setFixedSize(Desktop::px(7230), Desktop::px(6120));

    using Desktop::placed;
    Text1 = placed(new ScriptTextBox(this), "Text1", 120, 120, 3435, 2895);
    Text1->setAccessibleName(QStringLiteral("Script text"));
    List1 = placed(new QListWidget(this), "List1", 3675, 120, 3435, 2895);
    List1->setAccessibleName(QStringLiteral("Script lines"));
    List1->setUniformItemSizes(true);
    Command1 =
        placed(new QPushButton(QStringLiteral("Text to Listbox -> NOW!"), this), "Command1", 120, 3135, 3435, 375);
    Check1 = placed(new QPushButton(QStringLiteral("&Check MVN5 opcodes"), this), "Check1", 3675, 3135, 3435, 375);
    Check1->setEnabled(false);
    Label1 = placed(new QLabel(QStringLiteral("Errors:"), this), "Label1", 120, 3630, 3435, 255);
    Error = placed(new ScriptTextBox(this), "Error", 120, 3900, 6990, 2100);
    Error->setAccessibleName(QStringLiteral("Errors"));
    Label1->setBuddy(Error);

    connect(Command1, &QPushButton::clicked, this, &OpcodeChecker::Command1_Click);
    connect(Check1, &QPushButton::clicked, this, &OpcodeChecker::Check1_Click);

    Form_Load();
}

QStringList OpcodeChecker::sampleLines()
{
    return {QStringLiteral("Script_Identifier"), QStringLiteral("Script_Name"), QStringLiteral("Campaign_Script"),
            QStringLiteral("Custom_Script"), QStringLiteral("Attack")};
}

void OpcodeChecker::Form_Load()
{
    const QStringList lines = sampleLines();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            Text1->setSelText(ScriptText::CrLf);
        Text1->setSelText(lines.at(i));
    }
}

void OpcodeChecker::Command1_Click()
{
    SplitTextProc();
    Check1->setEnabled(true);
}

void OpcodeChecker::SplitTextProc()
{
    // Appends after whatever an earlier split left in the list.
    List1->addItems(HeaderRules::splitText(Text1->Text()));
}

void OpcodeChecker::Check1_Click()
{
    m_identifierSeen = false;
    const int lineCount = List1->count();
    for (int lineIndex = 0; lineIndex < lineCount; ++lineIndex) {
        List1->setCurrentRow(lineIndex);
        CheckLineProc(List1->currentItem()->text(), lineIndex);
    }
}

void OpcodeChecker::CheckLineProc(const QString& lineText, qsizetype lineIndex)
{
    const QStringList findings = HeaderRules::checkLine(lineText, lineIndex, m_identifierSeen);
    for (const QString& finding : findings)
        Error->setSelText(finding + HeaderRules::FindingEnd);
}
