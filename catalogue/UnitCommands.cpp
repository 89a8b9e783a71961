#include "catalogue/UnitCommands.h"

QString RebuildText(const QString& selection)
{
    return selection + QStringLiteral("\r\nRebuild_") + selection;
}

QString AttackingText(const QString& selection)
{
    return selection + QStringLiteral("\r\nAttacking_") + selection;
}
