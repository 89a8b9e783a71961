#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text that replaces a selection s for Make rebuild: s, CR LF, "Rebuild_" + s.
QString RebuildText(const QString& selection);
// Text that replaces a selection s for Make attacking: s, CR LF, then one
// "Attacking_" line per line of s, the last without a line break.
QString AttackingText(const QString& selection);
// What Make attacking adds after a selection held as UTF-8 bytes: CR LF,
// then the "Attacking_" lines, as AttackingText derives them.
QByteArray AttackingLines(QByteArrayView selection);
