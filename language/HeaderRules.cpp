#include "language/HeaderRules.h"

#include "language/ScriptText.h"

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
