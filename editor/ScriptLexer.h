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
    // How much of a line is read for its colours and problems, and shown
    // at a time, in bytes.
    static constexpr long LongLine = 1 << 15;
    // A line's length, or LongLine bytes of it cut before a character's
    // continuation bytes: what is read of a line of that length.
    static long readableLength(const char* bytes, long length);
    // Of a line longer than LongLine (a file whose line ends were lost),
    // LongLine bytes around the caret are shown and the rest has this style,
    // which is not drawn: Scintilla measures every character it draws of a
    // line each time it lays the line out, and a megabyte takes seconds.
    static constexpr int HiddenStyle = LineMarkup::StyleCount;
    // Where the shown part of the line of `length` bytes at `begin` starts,
    // with the caret `caret` bytes into it (-1: elsewhere). It moves in steps of half
    // its size, so that the caret stays in its middle half, away from what
    // is hidden, and moving the caret rarely moves it.
    static long shownStart(QsciScintilla* box, long begin, long length, long caret);
    // Colours a line that was coloured before again, with its shown part
    // where the caret has it now.
    void restyleLine(long line);

    const char* language() const override { return "MVN5"; }
    QString description(int style) const override;
    void styleText(int start, int end) override;
    // Colours that read well on the palette (light or dark), in the font.
    void setLook(const QPalette& palette, const QFont& font);

private:
    void styleLine(QsciScintilla* box, long line, long caret, const LineMarkup::Context& context);
    // Lines beyond the ones shown that a jump may leave unstyled.
    static constexpr long SkipSlack = 64;
    const LineMarkup& m_markup;
    MarkupContext& m_context;
    LineMarkup::Spans m_spans;  // of the line being styled, kept for their storage
    QList<LineMarkup::Problem> m_problems;
};
