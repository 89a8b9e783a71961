#include "language/LanguageMarkup.h"

#include "language/ScriptLanguage.h"

namespace {

int styleOf(ScriptLanguage::TokenKind kind)
{
    using K = ScriptLanguage::TokenKind;
    switch (kind) {
    case K::Opcode: return LineMarkup::Opcode;
    case K::HeaderOpcode: return LineMarkup::HeaderOpcode;
    case K::Name: return LineMarkup::Name;
    case K::Value: return LineMarkup::Value;
    case K::Comment: return LineMarkup::Comment;
    case K::Loop: return LineMarkup::Loop;
    case K::Unknown: return LineMarkup::Unknown;
    }
    return LineMarkup::Plain;
}

// Whether the script opens with its identifier, and its loops.
struct ScriptFacts final : LineMarkup::Context {
    bool opensWithIdentifier = false;
    ScriptLanguage::Loops loops;
};

const ScriptFacts& factsOf(const LineMarkup::Context& context)
{
    return static_cast<const ScriptFacts&>(context);
}

}  // namespace

// Loop lines start with ":", and a line that has none cannot become one.
QLatin1StringView LanguageMarkup::contextCharacters() const
{
    return QLatin1StringView(":");
}

std::unique_ptr<LineMarkup::Context> LanguageMarkup::scriptContext(const QList<IndexedLine>& lines) const
{
    auto facts = std::make_unique<ScriptFacts>();
    if (!lines.isEmpty() && lines.first().index == 0)
        facts->opensWithIdentifier = ScriptLanguage::opensWithIdentifier(lines.first().text);
    for (const IndexedLine& line : lines)
        facts->loops.add(line.text, line.index);
    return facts;
}

qsizetype LanguageMarkup::definitionLine(QStringView line, qsizetype column, const Context& context) const
{
    return ScriptLanguage::loopDefinition(line, column, factsOf(context).loops);
}

void LanguageMarkup::read(QStringView line, qsizetype index, const Context& context, Spans* spans,
                          QList<Problem>* problems, Detail detail) const
{
    const ScriptLanguage::LineSyntax syntax = ScriptLanguage::analyseLine(line);
    if (spans)
        for (const ScriptLanguage::Token& t : syntax.tokens)
            spans->append({t.start, t.length, styleOf(t.kind)});
    if (!problems)
        return;
    const ScriptFacts& facts = factsOf(context);
    const QList<ScriptLanguage::Problem> found =
        detail == Detail::Messages
            ? ScriptLanguage::lineProblems(line, syntax, index, facts.opensWithIdentifier, &facts.loops)
            : ScriptLanguage::lineProblemPlaces(line, syntax, index, facts.opensWithIdentifier, &facts.loops);
    for (const ScriptLanguage::Problem& p : found) {
        Problem problem{p.column, p.length, p.message};
        // A missing value is due after the line's end, where nothing can be
        // underlined: the name that wants it is.
        if (p.length == 0 && !syntax.tokens.isEmpty()) {
            problem.start = syntax.tokens.first().start;
            problem.length = syntax.tokens.first().length;
        }
        problems->append(problem);
    }
}

qsizetype LanguageMarkup::completionStart(QStringView line, qsizetype caret) const
{
    return ScriptLanguage::completionStart(line, caret);
}

QStringList LanguageMarkup::completions(QStringView prefix) const
{
    return ScriptLanguage::completions(prefix);
}
