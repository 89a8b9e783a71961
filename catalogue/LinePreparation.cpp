#include "catalogue/LinePreparation.h"

QString PrepareLine(const QString& nodeText, const QString& value)
{
    if (nodeText.isEmpty())
        return QString();
    return nodeText + QStringLiteral(" = ") + value;
}
