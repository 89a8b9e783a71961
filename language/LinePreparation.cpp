#include "language/LinePreparation.h"

#include "language/ScriptLanguage.h"

QString PrepareLine(const QString& nodeText, const QString& value)
{
    using namespace ScriptLanguage;
    // No node chosen yet: a value alone makes no line. Race and category
    // nodes group the entries below them; they are no line either.
    if (nodeText.isEmpty() || isGroupNode(nodeText))
        return QString();
    const Word* word = wordOfNode(nodeText);
    if (!word) {
        // A text outside the catalogue reads like an entry; a leading "_"
        // marks an attacking entry there as well.
        return (nodeText.startsWith(u'_') ? attackingName(nodeText) : nodeText) + Assignment + value;
    }
    if (word->kind != NodeKind::GeneralOpcode)
        return word->name + Assignment + value;
    // An opcode takes the value as many times as its shape says, each copy
    // after one space; comment and loop lines write it after their marker.
    QString line = word->name;
    for (int i = 0; i < valueCount(word->shape); ++i) {
        line += u' ';
        line += value;
    }
    return line;
}
