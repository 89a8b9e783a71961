#include "editor/ScriptLexer.h"

#include "editor/MarkupContext.h"
#include "editor/ScriptDocument.h"

#include <QPalette>

namespace {

using Sci = QsciScintillaBase;

// Foreground colours of the styles on a light and on a dark background.
struct StyleLook {
    const char* name;
    QRgb light;
    QRgb dark;
    bool bold;
    bool italic;
};

constexpr StyleLook Looks[LineMarkup::StyleCount] = {
    {"Plain", 0, 0, false, false},
    {"General opcode", 0x0033b3, 0x82aaff, false, false},
    {"Header opcode", 0x871094, 0xd7a0ff, true, false},
    {"Catalogue name", 0x067d17, 0x8fd694, false, false},
    {"Value", 0x9c4f00, 0xffc27a, false, false},
    {"Comment", 0x6f6f6f, 0xa0a0a0, false, true},
    {"Loop label", 0x00727a, 0x6fd8e0, true, false},
    {"Unknown name", 0xc4161c, 0xff8080, false, false},
};

}  // namespace

ScriptLexer::ScriptLexer(const LineMarkup& markup, MarkupContext& context, QObject* parent)
    : QsciLexerCustom(parent), m_markup(markup), m_context(context)
{
}

QString ScriptLexer::description(int style) const
{
    if (style < 0 || style >= LineMarkup::StyleCount)
        return QString();
    return QString::fromLatin1(Looks[style].name);
}

void ScriptLexer::setLook(const QPalette& palette, const QFont& font)
{
    const bool dark = ScriptDocument::isDark(palette);
    setDefaultFont(font);
    setDefaultPaper(palette.color(QPalette::Base));
    setDefaultColor(palette.color(QPalette::Text));
    for (int style = 0; style < LineMarkup::StyleCount; ++style) {
        const StyleLook& look = Looks[style];
        QFont f = font;
        f.setBold(look.bold);
        f.setItalic(look.italic);
        setFont(f, style);
        setPaper(palette.color(QPalette::Base), style);
        setColor(style == LineMarkup::Plain ? palette.color(QPalette::Text) : QColor(dark ? look.dark : look.light),
                 style);
    }
}

// Scintilla asks for every line from the first one not yet styled to the
// last one shown. After a jump (Ctrl+End in a large script) that is every
// line in between: then only the lines shown are read, and the styled end
// goes back to where it was, so that the lines skipped are asked for again
// when they come into view. Of a line longer than LongLine bytes (a file
// that is one single line) only the first LongLine bytes are read; the rest
// is plain.
void ScriptLexer::styleText(int start, int end)
{
    QsciScintilla* box = editor();
    if (!box)
        return;
    const long documentEnd = box->SendScintilla(Sci::SCI_GETLENGTH);
    const long lineCount = box->SendScintilla(Sci::SCI_GETLINECOUNT);
    long firstLine = box->SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(start));
    const long lastLine = box->SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(qMax(start, end - 1)));
    const long firstShown =
        box->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, ulong(box->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE)));
    const long shownCount = box->SendScintilla(Sci::SCI_LINESONSCREEN) + 1;
    const bool jumped = firstShown - firstLine > 2 * shownCount + SkipSlack;
    if (jumped) {
        firstLine = firstShown;
        if (firstLine > lastLine)
            return;
    }
    auto lineText = [box](long line, long* begin, long* length) {
        *begin = box->SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line));
        *length = box->SendScintilla(Sci::SCI_GETLINEENDPOSITION, ulong(line)) - *begin;
        return reinterpret_cast<const char*>(
            box->SendScintilla(Sci::SCI_GETRANGEPOINTER, ulong(*begin), *length));
    };
    // Whether a later Script_Identifier repeats the first one depends on
    // the first line, whether a loop is known on the loop lines. When that
    // changed, the shown lines before this range are read again too.
    bool renewed = false;
    const LineMarkup::Context& context = m_context.current(&renewed);
    if (renewed)
        firstLine = qMin(firstLine, long(box->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE,
                                                            box->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE))));

    long begin = 0;
    long length = 0;
    lineText(firstLine, &begin, &length);
    startStyling(int(begin));
    box->SendScintilla(Sci::SCI_SETINDICATORCURRENT, ProblemIndicator);
    LineMarkup::Spans spans;
    QList<LineMarkup::Problem> problems;
    for (long line = firstLine; line <= lastLine; ++line) {
        const char* bytes = lineText(line, &begin, &length);
        const long next = line + 1 < lineCount ? box->SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line + 1))
                                               : documentEnd;
        const long read = readableLength(bytes, length);
        const QString text = ScriptDocument::decode(bytes, read);
        const LineColumns columns(bytes, read);
        spans.clear();
        problems.clear();
        m_markup.read(text, line, context, &spans, &problems, LineMarkup::Detail::Places);
        qsizetype styled = 0;
        for (const LineMarkup::Span& span : spans) {
            const qsizetype from = qMax(styled, columns.byteOffset(span.start));
            const qsizetype to = qMax(from, columns.byteOffset(span.start + span.length));
            if (from > styled)
                setStyling(int(from - styled), LineMarkup::Plain);
            if (to > from)
                setStyling(int(to - from), span.style);
            styled = to;
        }
        if (next - begin > styled)
            setStyling(int(next - begin - styled), LineMarkup::Plain);

        box->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, ulong(begin), next - begin);
        for (const LineMarkup::Problem& p : problems) {
            const qsizetype from = columns.byteOffset(p.start);
            const qsizetype to = columns.byteOffset(p.start + p.length);
            box->SendScintilla(Sci::SCI_INDICATORFILLRANGE, ulong(begin + from), long(qMax<qsizetype>(1, to - from)));
        }
    }
    if (jumped)
        startStyling(start);
}

long ScriptLexer::readableLength(const char* bytes, long length)
{
    if (length <= LongLine)
        return length;
    long cut = LongLine;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}
