// The script language for any text: spans and problems stay within their
// line and in order, a line's loop problem comes after its own, blanks around and between the words change nothing,
// the whole-script finder agrees with the per-line one and carries the
// checker's header findings unchanged, a suggestion is the nearest name by
// a plain edit-distance table, and every line prepared from a catalogue
// node with a value that has a non-blank character is valid.
//
// Input: one byte for the text form, then the text.

#include "FuzzSupport.h"

#include "language/Catalogue.h"
#include "language/LinePreparation.h"
#include "language/ScriptLanguage.h"
#include "language/HeaderRules.h"

#include <QList>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace ScriptLanguage;

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Edit distance with swaps of neighbours, by the full table.
int referenceDistance(const QString& a, const QString& b)
{
    const qsizetype w = b.size() + 1;
    std::vector<int> d(size_t((a.size() + 1) * w));
    const auto at = [&d, w](qsizetype i, qsizetype j) -> int& { return d[size_t(i * w + j)]; };
    for (qsizetype i = 0; i <= a.size(); ++i)
        at(i, 0) = int(i);
    for (qsizetype j = 0; j <= b.size(); ++j)
        at(0, j) = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i)
        for (qsizetype j = 1; j <= b.size(); ++j) {
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
        }
    return at(a.size(), b.size());
}

// The suggestion a plain walk over every name gives.
QString referenceSuggestion(const QString& name)
{
    int best = 3;
    QString found;
    const QString lowered = name.toLower();
    for (const Word& w : words()) {
        // Names whose lengths differ by more than two are more than two edits apart.
        if (w.shape == ValueShape::FreeText || std::abs(w.name.size() - lowered.size()) > 2)
            continue;
        const int d = referenceDistance(lowered, w.name.toLower());
        if (d < best) {
            best = d;
            found = w.name;
        }
    }
    return found;
}

// One line and its problems at its place in the script.
void checkLine(QStringView line, const QList<Problem>& problems, int& suggestionsLeft)
{
    const LineSyntax syntax = analyseLine(line);
    const QByteArray where = "line " + fuzz::shown(line);
    qsizetype end = 0;
    for (const Token& t : syntax.tokens) {
        FUZZ_CHECK(t.start >= end && t.length > 0 && t.start + t.length <= line.size(), where);
        FUZZ_CHECK(!isBlank(line[t.start]) && !isBlank(line[t.start + t.length - 1]), where);
        end = t.start + t.length;
    }
    FUZZ_CHECK(syntax.faultColumn >= 0 && syntax.faultColumn + syntax.faultLength <= line.size(), where);
    FUZZ_CHECK((syntax.kind == LineKind::Empty) == syntax.tokens.isEmpty(), where);
    FUZZ_CHECK((syntax.kind == LineKind::Unknown) == (syntax.fault == Fault::UnknownName), where);

    // The header findings come first, over the whole line; the language
    // problem, if any, last.
    const qsizetype header = problems.size() - (syntax.valid() ? 0 : 1);
    FUZZ_CHECK(header >= 0 && header <= 2, where);
    for (qsizetype i = 0; i < header; ++i)
        FUZZ_CHECK(problems[i].column == 0 && problems[i].length == line.size(), where);
    if (!syntax.valid())
        FUZZ_CHECK(problems.last().column == syntax.faultColumn && problems.last().length == syntax.faultLength,
                   where);

    // More blanks around and between the words read the same.
    QString spread = QStringLiteral(" \t");
    for (QChar c : line)
        spread += isBlank(c) ? QStringLiteral("\t ") : QString(c);
    spread += u' ';
    const LineSyntax again = analyseLine(spread);
    FUZZ_CHECK(again.kind == syntax.kind && again.fault == syntax.fault && again.word == syntax.word,
               where + " spread " + fuzz::shown(spread));

    if (syntax.fault == Fault::UnknownName && suggestionsLeft > 0 && syntax.faultLength <= 40) {
        --suggestionsLeft;
        const QString name = line.sliced(syntax.faultColumn, syntax.faultLength).toString();
        const QString want = referenceSuggestion(name);
        FUZZ_CHECK(nearestName(name) == want, where + " suggests " + fuzz::shown(nearestName(name)) +
                                                 " expected " + fuzz::shown(want));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const int form = in.byte();
    const QString text = fuzz::textFrom(in.rest(), form);

    // Line by line, and the whole script against its lines.
    const QStringList lines = HeaderRules::splitText(text);
    int suggestionsLeft = 4;
    QList<Problem> byLine;
    const bool identifier = opensWithIdentifier(lines.first());
    const Loops loops(lines);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        checkLine(lines[i], lineProblems(lines[i], i, identifier), suggestionsLeft);
        const QList<Problem> problems = lineProblems(lines[i], i, identifier, &loops);
        // The loop problems come last, within the line, at most one.
        const QList<Problem> alone = lineProblems(lines[i], i, identifier);
        FUZZ_CHECK(problems.size() - alone.size() <= 1 && problems.mid(0, alone.size()) == alone,
                   "line " + fuzz::shown(lines[i]));
        for (const Problem& p : problems.mid(alone.size()))
            FUZZ_CHECK(p.column >= 0 && p.length > 0 && p.column + p.length <= lines[i].size(),
                       "loop problem in " + fuzz::shown(lines[i]));
        byLine += problems;
    }
    const QList<Problem> whole = scriptProblems(QStringView(text));
    FUZZ_CHECK(whole == byLine, "text " + fuzz::shown(text));

    // The header findings are the checker's, in its order.
    QStringList header;
    for (const Problem& p : whole)
        if (!p.message.startsWith(u'"') && !p.message.startsWith(QLatin1StringView("unknown ")) &&
            !p.message.startsWith(QLatin1StringView("loop ")))
            header << p.message;
    FUZZ_CHECK(header == HeaderRules::checkLines(lines), "text " + fuzz::shown(text));

    // The text's start, without its line breaks, as the value box's value.
    QString value = text.left(80);
    value.remove(u'\r');
    value.remove(u'\n');
    if (std::any_of(value.cbegin(), value.cend(), [](QChar c) { return !isBlank(c); })) {
        for (const CatalogueEntry& e : catalogueEntries()) {
            const QString line = PrepareLine(e.text, value);
            FUZZ_CHECK(line.isEmpty() || analyseLine(line).valid(), "prepared " + fuzz::shown(line));
        }
    }

    // Completion offers only names that start with the word.
    const QString& first = lines.first();
    const qsizetype caret = std::min<qsizetype>(first.size(), 12);
    const QString prefix = first.mid(completionStart(first, caret), caret - completionStart(first, caret));
    for (const QString& name : completions(prefix))
        FUZZ_CHECK(name.startsWith(prefix, Qt::CaseInsensitive), "prefix " + fuzz::shown(prefix));
    return 0;
}
