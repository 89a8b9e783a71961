#include "catalogue/LinePreparation.h"

#include <QLatin1StringView>

namespace {

using L = QLatin1StringView;

// How a named opcode uses the value: not at all, or once, twice or three
// times, each copy after one space.
struct Opcode {
    L name;
    int values;
};

constexpr Opcode Opcodes[] = {
    {L("Attack"), 0},          {L("Campaign_Script"), 0}, {L("Check_Resources"), 2},
    {L("Custom_Script"), 0},   {L("Expand"), 1},          {L("Goto"), 1},
    {L("Group_Attack"), 0},    {L("Multi_Run"), 1},       {L("Script_Identifier"), 1},
    {L("Script_Name"), 1},     {L("Stop"), 0},            {L("TriBranch"), 3},
    {L("Wait"), 1},
};

// Race and category nodes group the entries below them; they are no line.
bool isGroupNode(const QString& text)
{
    static constexpr L groups[] = {L("General"),  L("Protoss"), L("Terran"),
                                   L("Zerg"),     L("Buildings"), L("Units"),
                                   L("Attacking")};
    for (L g : groups)
        if (text == g)
            return true;
    return false;
}

}  // namespace

QString PrepareLine(const QString& nodeText, const QString& value)
{
    // No node chosen yet: a value alone makes no line.
    if (nodeText.isEmpty())
        return QString();
    if (isGroupNode(nodeText))
        return QString();
    // Attacking entries are listed as "_Name" and make "Attacking_Name = v".
    if (nodeText.startsWith(u'_'))
        return QStringLiteral("Attacking") + nodeText + QStringLiteral(" = ") + value;
    if (nodeText == L("; (Comment)"))
        return QStringLiteral("; ") + value;
    if (nodeText == L(": (Loop)"))
        return QStringLiteral(": ") + value;
    for (const Opcode& op : Opcodes) {
        if (nodeText != op.name)
            continue;
        QString line = nodeText;
        for (int i = 0; i < op.values; ++i) {
            line += u' ';
            line += value;
        }
        return line;
    }
    if (nodeText == L("Technologies") || nodeText == L("Upgrades"))
        return QString();
    // A building, unit, technology or upgrade.
    return nodeText + QStringLiteral(" = ") + value;
}
