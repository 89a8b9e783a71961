#pragma once
#include <QString>

// Text that replaces a selection s for Make rebuild: s, CR LF, "Rebuild_" + s.
QString RebuildText(const QString& selection);
// Text that replaces a selection s for Make attacking: s, CR LF, then one
// "Attacking_" line per line of s, the last without a line break.
QString AttackingText(const QString& selection);
