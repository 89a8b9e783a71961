#pragma once
#include "language/LineMarkup.h"

// The script language as the script box colours, checks and completes it.
class LanguageMarkup final : public LineMarkup {
public:
    int scriptContext(QStringView firstLine) const override;
    void read(QStringView line, qsizetype index, int context, Spans* spans, QList<Problem>* problems,
              Detail detail) const override;
    qsizetype completionStart(QStringView line, qsizetype caret) const override;
    QStringList completions(QStringView prefix) const override;
};
