#include "catalogue/UnitCommands.h"

#include "catalogue/ScriptLanguage.h"

#include <QLatin1StringView>
#include <QStringView>

namespace {
constexpr QLatin1StringView LineBreak("\r\n");
using ScriptLanguage::AttackingPrefix;
using ScriptLanguage::RebuildPrefix;
}  // namespace

QString RebuildText(const QString& selection)
{
    QString out;
    out.reserve(2 * selection.size() + LineBreak.size() + RebuildPrefix.size());
    out += selection;
    out += LineBreak;
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
    const QChar* const text = selection.constData();
    const qsizetype n = selection.size();
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < n; ++i)
        if (text[i] == u'\r' || text[i] == u'\n')
            ++breaks;  // an upper bound: a CR LF pair counts twice

    QString out;
    out.reserve(2 * n + LineBreak.size() + (breaks + 1) * (AttackingPrefix.size() + LineBreak.size()));
    out += selection;
    out += LineBreak;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out += AttackingPrefix;
        out += QStringView(text + lineStart, i - lineStart);
        out += LineBreak;
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        lineStart = i + 1;
    }
    out += AttackingPrefix;
    out += QStringView(text + lineStart, n - lineStart);
    return out;
}
