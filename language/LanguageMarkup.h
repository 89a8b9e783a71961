#pragma once
#include "language/LineMarkup.h"

// The script language as the script box colours, checks and completes it.
class LanguageMarkup final : public LineMarkup {
public:
    QLatin1StringView contextCharacters() const override;
    std::unique_ptr<Context> scriptContext(const QList<IndexedLine>& lines) const override;
    void read(QStringView line, qsizetype index, const Context& context, Spans* spans,
              QList<Problem>* problems, Detail detail) const override;
    qsizetype definitionLine(QStringView line, qsizetype column, const Context& context) const override;
    qsizetype completionStart(QStringView line, qsizetype caret) const override;
    QStringList completions(QStringView prefix) const override;
};
