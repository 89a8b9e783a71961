#include "language/UnitCommands.h"

#include "language/ScriptLanguage.h"
#include "language/ScriptText.h"

#include <QLatin1StringView>

#include <algorithm>
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

namespace {

void appendLatin1(QString& out, QLatin1StringView text)
{
    out += text;
}

void appendLatin1(QByteArray& out, QLatin1StringView text)
{
    out.append(text.data(), text.size());
}

// CR LF, then "Attacking_" + each line of text[0, n). A line ends at CR LF,
// at a lone CR or at a lone LF; each of them gives one CR LF between the
// derived lines, and the last derived line has no break after it (so a
// selection that ends in a break ends in a bare "Attacking_"). The same for
// UTF-16 and for UTF-8, whose multi-byte characters hold no CR or LF byte.
template <class Out, class Char>
void appendAttackingLines(Out& out, const Char* text, qsizetype n)
{
    const qsizetype breaks = std::count(text, text + n, Char('\r')) + std::count(text, text + n, Char('\n'));
    out.reserve(out.size() + n + ScriptText::CrLf.size() +
                (breaks + 1) * (AttackingPrefix.size() + ScriptText::CrLf.size()));
    appendLatin1(out, ScriptText::CrLf);
    ScriptText::forEachLine(text, n, ScriptText::LoneLf::EndsLine, [&](const ScriptText::Line& line) {
        appendLatin1(out, AttackingPrefix);
        out.append(text + line.start, line.length);
        if (line.breakLength != 0)
            appendLatin1(out, ScriptText::CrLf);
    });
}

}  // namespace

QString AttackingText(const QString& selection)
{
    QString out = selection;
    appendAttackingLines(out, selection.constData(), selection.size());
    return out;
}

QByteArray AttackingLines(QByteArrayView selection)
{
    QByteArray out;
    appendAttackingLines(out, selection.data(), selection.size());
    return out;
}
