#pragma once
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class ScriptTextBox;

// The header rules of a script, as plain functions: the first line must be
// the Script_Identifier opcode, the second the Script_Name opcode, and
// Script_Identifier must not come again. Shared by the checker window and
// the command-line checker.
namespace HeaderRules {

// What follows every finding in the error box: an empty line between findings.
inline constexpr QLatin1StringView FindingEnd{"\r\n\r\n"};

// Splits a text into its lines. CR LF, a lone CR and a lone LF each end a
// line; the text after the last break is the last line (empty when the text
// is empty or ends with a break), so there is always at least one line.
QStringList splitText(QStringView text);

// The findings for one line, given its 0-based index. identifierSeen is set
// when the first line holds the identifier and is read for later lines.
// Opcodes match at the very start of the line, in any case.
QStringList checkLine(QStringView line, qsizetype index, bool& identifierSeen);

// The findings of a whole check run over the lines, in order.
QStringList checkLines(const QStringList& lines);

}  // namespace HeaderRules

// A window of its own that checks the header rules of a text pasted into it:
// split the text into the list, check the list, read the findings below.
// Both the list and the error box only grow while the window is open.
class OpcodeChecker : public QWidget {
    Q_OBJECT
public:
    explicit OpcodeChecker(QWidget* parent = nullptr);

    ScriptTextBox* Text1 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Check1 = nullptr;
    QLabel* Label1 = nullptr;
    ScriptTextBox* Error = nullptr;

    void Form_Load();
    void Command1_Click();
    void Check1_Click();
    void SplitTextProc();
    void CheckLineProc(const QString& lineText, qsizetype lineIndex);

    // The sample put into Text1 when the window loads.
    static QStringList sampleLines();

private:
    bool m_identifierSeen = false;
};
