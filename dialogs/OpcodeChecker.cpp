#include "dialogs/OpcodeChecker.h"

#include "platform/Accessibility.h"
#include "platform/Desktop.h"
#include "platform/ScriptText.h"
#include "platform/ScriptTextBox.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace HeaderRules {

namespace {
constexpr QStringView IdentifierOpcode = u"script_identifier";
constexpr QStringView NameOpcode = u"script_name";
}  // namespace

QStringList splitText(QStringView text)
{
    // CR LF is one break; a lone CR or LF is a break on its own, and the
    // character after it starts the next line.
    QStringList lines;
    ScriptText::forEachLine(text, ScriptText::LoneLf::EndsLine, [&](const ScriptText::Line& line) {
        lines.append(text.mid(line.start, line.length).toString());
    });
    return lines;
}

QStringList checkLine(QStringView line, qsizetype index, bool& identifierSeen)
{
    // Past the second line only a second identifier is a finding; a line that
    // cannot start with it is done without building anything.
    if (index > 1 && (!identifierSeen || line.isEmpty() || (line[0] != u's' && line[0] != u'S')))
        return {};
    QStringList findings;
    // Lowering never turns one character into none, so the first characters of
    // the lowered line come from the first characters of the line.
    const QString lower = line.left(IdentifierOpcode.size()).toString().toLower();
    const bool isIdentifier = lower.startsWith(IdentifierOpcode);
    if (index == 0) {
        if (isIdentifier)
            identifierSeen = true;
        else
            findings.append(QStringLiteral("Error in script line %1 : Script_Identifier opcode must be in the first line!")
                                .arg(index + 1));
    }
    if (index == 1 && !lower.startsWith(NameOpcode))
        findings.append(QStringLiteral("Script_Name opcode must be in the second line!"));
    if (index != 0 && isIdentifier && identifierSeen)
        findings.append(QStringLiteral("Error in line %1 : Script_Identifier mustn't be in a script two times!")
                            .arg(index + 1));
    return findings;
}

QStringList checkLines(const QStringList& lines)
{
    QStringList findings;
    bool identifierSeen = false;
    for (qsizetype i = 0; i < lines.size(); ++i)
        findings += checkLine(lines.at(i), i, identifierSeen);
    return findings;
}

}  // namespace HeaderRules

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
            Text1->setSelText(QStringLiteral("\r\n"));
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
