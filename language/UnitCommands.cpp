#include "language/UnitCommands.h"

#include "language/ScriptLanguage.h"
#include "language/ScriptText.h"

#include <QLatin1StringView>

#include <algorithm>
#include <cstring>
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

// Writes Latin-1 text at dst and moves dst past it.
void putLatin1(QChar*& dst, QLatin1StringView text)
{
    for (const char c : text)
        *dst++ = QLatin1Char(c);
}

void putLatin1(char*& dst, QLatin1StringView text)
{
    std::memcpy(dst, text.data(), size_t(text.size()));
    dst += text.size();
}

// CR LF, then "Attacking_" + each line of text[0, n). A line ends at CR LF,
// at a lone CR or at a lone LF; each of them gives one CR LF between the
// derived lines, and the last derived line has no break after it (so a
// selection that ends in a break ends in a bare "Attacking_"). The same for
// UTF-16 and for UTF-8, whose multi-byte characters hold no CR or LF byte.
// Written through a pointer into room for the longest result, then cut to
// what was written: appending piece by piece checks the room three times a
// line, and a selection may hold a hundred thousand lines.
template <class Out, class Char>
void appendAttackingLines(Out& out, const Char* text, qsizetype n)
{
    const qsizetype breaks = std::count(text, text + n, Char('\r')) + std::count(text, text + n, Char('\n'));
    const qsizetype old = out.size();
    out.resize(old + n + ScriptText::CrLf.size() + (breaks + 1) * (AttackingPrefix.size() + ScriptText::CrLf.size()));
    Char* dst = out.data() + old;
    putLatin1(dst, ScriptText::CrLf);
    ScriptText::forEachLine(text, n, ScriptText::LoneLf::EndsLine, [&](const ScriptText::Line& line) {
        putLatin1(dst, AttackingPrefix);
        dst = std::copy(text + line.start, text + line.start + line.length, dst);
        if (line.breakLength != 0)
            putLatin1(dst, ScriptText::CrLf);
    });
    out.truncate(dst - out.constData());
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
