#pragma once
#include "language/LineMarkup.h"
#include "editor/Qsci.h"

class MarkupContext;

// Colours the lines of a script box and underlines their problems, as the
// box's line markup reads them. Scintilla asks for the lines it is about to
// show and for those after a change, so only they are read.
class ScriptLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    ScriptLexer(const LineMarkup& markup, MarkupContext& context, QObject* parent);

    // The indicator that draws the wavy underline of a problem.
    static constexpr int ProblemIndicator = 8;
    // How much of a line is read for its colours and problems, in bytes.
    static constexpr long LongLine = 1 << 16;
    // A line's length, or LongLine bytes of it cut before a character's
    // continuation bytes: what is read of a line of that length.
    static long readableLength(const char* bytes, long length);

    const char* language() const override { return "MVN5"; }
    QString description(int style) const override;
    void styleText(int start, int end) override;
    // Colours that read well on the palette (light or dark), in the font.
    void setLook(const QPalette& palette, const QFont& font);

private:
    // Lines beyond the ones shown that a jump may leave unstyled.
    static constexpr long SkipSlack = 64;
    const LineMarkup& m_markup;
    MarkupContext& m_context;
};
