#include "language/UnitCommands.h"

#include "language/ScriptLanguage.h"
#include "language/ScriptText.h"

#include <QLatin1StringView>
#include <QStringView>

namespace {
using ScriptLanguage::AttackingPrefix;
using ScriptLanguage::RebuildPrefix;
}  // namespace

QString RebuildText(const QString& selection)
{
    QString out;
    out.reserve(2 * selection.size() + ScriptText::CrLf.size() + RebuildPrefix.size());
    out += selection;
    out += ScriptText::CrLf;
    out += RebuildPrefix;
    out += selection;
    return out;
}

// The selection, a line break, then "Attacking_" + each of its lines. A line
// ends at CR LF, at a lone CR or at a lone LF; each of them gives one CR LF
// between the derived lines, and the last derived line has no break after it
// (so a selection that ends in a break ends in a bare "Attacking_").
QString AttackingText(const QString& selection)
{
    const qsizetype n = selection.size();
    const qsizetype breaks = selection.count(u'\r') + selection.count(u'\n');  // a CR LF counts twice
    QString out;
    out.reserve(2 * n + ScriptText::CrLf.size() + (breaks + 1) * (AttackingPrefix.size() + ScriptText::CrLf.size()));
    out += selection;
    out += ScriptText::CrLf;
    ScriptText::forEachLine(selection, ScriptText::LoneLf::EndsLine, [&](const ScriptText::Line& line) {
        out += AttackingPrefix;
        out += QStringView(selection).mid(line.start, line.length);
        if (line.breakLength != 0)
            out += ScriptText::CrLf;
    });
    return out;
}
