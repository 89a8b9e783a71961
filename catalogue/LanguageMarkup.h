#pragma once
#include "platform/LineMarkup.h"

// The script language as the script box colours, checks and completes it.
class LanguageMarkup final : public LineMarkup {
public:
    void spans(QStringView line, Spans& out) const override;
    QList<Problem> problems(QStringView line, qsizetype index, QStringView firstLine) const override;
    qsizetype completionStart(QStringView line, qsizetype caret) const override;
    QStringList completions(QStringView prefix) const override;
};
