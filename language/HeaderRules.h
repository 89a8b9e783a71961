#pragma once
#include "language/ScriptText.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// The header rules of a script, as plain functions: the first line must be
// the Script_Identifier opcode, the second the Script_Name opcode, and
// Script_Identifier must not come again. Shared by the checker window, the
// command-line checker and the problem finder of the script language.
namespace HeaderRules {

// What follows every finding in the error box: an empty line between findings.
inline const QString FindingEnd = QString(ScriptText::CrLf) + ScriptText::CrLf;

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
