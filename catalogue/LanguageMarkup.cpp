#include "catalogue/LanguageMarkup.h"

#include "catalogue/ScriptLanguage.h"

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

void LanguageMarkup::spans(QStringView line, Spans& out) const
{
    for (const ScriptLanguage::Token& t : ScriptLanguage::analyseLine(line).tokens)
        out.append({t.start, t.length, styleOf(t.kind)});
}

QList<LineMarkup::Problem> LanguageMarkup::problems(QStringView line, qsizetype index, QStringView firstLine) const
{
    QList<Problem> out;
    const QList<ScriptLanguage::Problem> found =
        ScriptLanguage::lineProblems(line, index, index > 0 && ScriptLanguage::opensWithIdentifier(firstLine));
    for (const ScriptLanguage::Problem& p : found) {
        Problem problem{p.column, p.length, p.message};
        // A missing value is due after the line's end, where nothing can be
        // underlined: the name that wants it is.
        if (p.length == 0) {
            const ScriptLanguage::LineSyntax syntax = ScriptLanguage::analyseLine(line);
            if (!syntax.tokens.isEmpty()) {
                problem.start = syntax.tokens.first().start;
                problem.length = syntax.tokens.first().length;
            }
        }
        out.append(problem);
    }
    return out;
}

qsizetype LanguageMarkup::completionStart(QStringView line, qsizetype caret) const
{
    return ScriptLanguage::completionStart(line, caret);
}

QStringList LanguageMarkup::completions(QStringView prefix) const
{
    return ScriptLanguage::completions(prefix);
}
