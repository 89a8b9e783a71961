// The header checker for any text: the split gives the lines a slow walk
// finds, the findings are the ones the three header rules call for, every
// line number in them names a line that exists, and the checker window
// shows the same lines and findings.
//
// Input: one byte for the text form, then the text.

#include "FuzzSupport.h"

#include "language/ScriptFile.h"
#include "dialogs/OpcodeChecker.h"
#include "language/ScriptText.h"
#include "editor/ScriptTextBox.h"

#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>

namespace {

const QString FirstLineFinding =
    QStringLiteral("Error in script line 1 : Script_Identifier opcode must be in the first line!");
const QString SecondLineFinding = QStringLiteral("Script_Name opcode must be in the second line!");

QString repeatedFinding(qsizetype lineNumber)
{
    return QStringLiteral("Error in line ") + QString::number(lineNumber) +
           QStringLiteral(" : Script_Identifier mustn't be in a script two times!");
}

// Lines by a walk that remembers whether the last break was a CR, so the LF
// right after it closes nothing.
QStringList referenceSplit(QStringView text)
{
    QStringList lines{QString()};
    bool afterCr = false;
    for (QChar c : text) {
        const bool lfOfPair = c == u'\n' && afterCr;
        afterCr = c == u'\r';
        if (lfOfPair)
            continue;
        if (c == u'\r' || c == u'\n')
            lines.append(QString());
        else
            lines.last().append(c);
    }
    return lines;
}

// The opcode at the start of the lower-cased line.
bool startsWithOpcode(const QString& line, QLatin1StringView opcode)
{
    return line.toLower().left(opcode.size()) == opcode;
}

QStringList referenceFindings(const QStringList& lines)
{
    QStringList findings;
    const QLatin1StringView identifier("script_identifier");
    const bool firstIsIdentifier = !lines.isEmpty() && startsWithOpcode(lines[0], identifier);
    if (!firstIsIdentifier)
        findings += FirstLineFinding;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (i == 1 && !startsWithOpcode(lines[i], QLatin1StringView("script_name")))
            findings += SecondLineFinding;
        if (firstIsIdentifier && startsWithOpcode(lines[i], identifier))
            findings += repeatedFinding(i + 1);
    }
    return findings;
}

OpcodeChecker& window()
{
    fuzz::ensureApplication();
    static OpcodeChecker* w = new OpcodeChecker;
    return *w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const int form = in.byte();
    const QString text = fuzz::textFrom(in.rest(), form);

    const QStringList lines = HeaderRules::splitText(text);
    const QStringList wantLines = referenceSplit(text);
    FUZZ_CHECK(lines == wantLines, fuzz::shown(text) + " split into " + QByteArray::number(lines.size()) +
                                       " lines, expected " + QByteArray::number(wantLines.size()));
    for (const QString& line : lines)
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'), fuzz::shown(line));
    FUZZ_CHECK(lines.join(QStringLiteral("\r\n")) == ScriptText::withCrLf(text), fuzz::shown(text));

    const QStringList findings = HeaderRules::checkLines(lines);
    const QStringList wantFindings = referenceFindings(lines);
    FUZZ_CHECK(findings == wantFindings, fuzz::shown(text) + " gave " + fuzz::shown(findings.join(u'|')) +
                                             " expected " + fuzz::shown(wantFindings.join(u'|')));
    // Every line number named by a finding is a line of the text, and the
    // first-line finding always names line 1.
    static const QRegularExpression number(QStringLiteral("line (\\d+) :"));
    for (const QString& finding : findings) {
        const QRegularExpressionMatch m = number.match(finding);
        if (!m.hasMatch()) {
            FUZZ_CHECK(finding == SecondLineFinding && lines.size() >= 2, fuzz::shown(finding));
            continue;
        }
        const qsizetype lineNumber = m.captured(1).toLongLong();
        FUZZ_CHECK(lineNumber >= 1 && lineNumber <= lines.size(), fuzz::shown(finding));
        if (finding.startsWith(QLatin1String("Error in script line")))
            FUZZ_CHECK(lineNumber == 1, fuzz::shown(finding));
        else
            FUZZ_CHECK(lineNumber >= 2 && startsWithOpcode(lines[lineNumber - 1], QLatin1StringView("script_identifier")),
                       fuzz::shown(finding));
    }

    // The window: split, check, read the list and the error box. Its list
    // and error box only grow, so they are emptied before each input.
    OpcodeChecker& w = window();
    w.List1->clear();
    w.Error->setText(QString());
    w.Text1->setText(text);
    const QStringList shownLines = HeaderRules::splitText(w.Text1->Text());
    w.Command1_Click();
    FUZZ_CHECK(w.Check1->isEnabled(), "");
    FUZZ_CHECK(w.List1->count() == shownLines.size(), fuzz::shown(text));
    for (int i = 0; i < w.List1->count(); ++i)
        FUZZ_CHECK(w.List1->item(i)->text() == shownLines[i], fuzz::shown(text));
    w.Check1_Click();
    QString report;
    for (const QString& finding : HeaderRules::checkLines(shownLines))
        report += finding + HeaderRules::FindingEnd;
    FUZZ_CHECK(w.Error->Text() == report, fuzz::shown(text) + " reported " + fuzz::shown(w.Error->Text()));
    return 0;
}
