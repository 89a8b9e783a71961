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

}  // namespace

// The context is whether the script opens with its identifier.
int LanguageMarkup::scriptContext(QStringView firstLine) const
{
    return ScriptLanguage::opensWithIdentifier(firstLine) ? 1 : 0;
}

void LanguageMarkup::read(QStringView line, qsizetype index, int context, Spans* spans,
                          QList<Problem>* problems, Detail detail) const
{
    const ScriptLanguage::LineSyntax syntax = ScriptLanguage::analyseLine(line);
    if (spans)
        for (const ScriptLanguage::Token& t : syntax.tokens)
            spans->append({t.start, t.length, styleOf(t.kind)});
    if (!problems)
        return;
    const QList<ScriptLanguage::Problem> found =
        detail == Detail::Messages ? ScriptLanguage::lineProblems(line, syntax, index, context != 0)
                                   : ScriptLanguage::lineProblemPlaces(line, syntax, index, context != 0);
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
