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
// is plain, and only LongLine bytes of it are shown.
void ScriptLexer::styleText(int start, int end)
{
    QsciScintilla* box = editor();
    if (!box)
        return;
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
    // Whether a later Script_Identifier repeats the first one depends on
    // the first line, whether a loop is known on the loop lines. When that
    // changed, the shown lines before this range are read again too.
    bool renewed = false;
    const LineMarkup::Context& context = m_context.current(&renewed);
    if (renewed)
        firstLine = qMin(firstLine, long(box->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE,
                                                            box->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE))));

    const long begin = box->SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(firstLine));
    startStyling(int(begin));
    const long caret = box->SendScintilla(Sci::SCI_GETCURRENTPOS);
    for (long line = firstLine; line <= lastLine; ++line)
        styleLine(box, line, caret, context);
    if (jumped)
        startStyling(start);
}

namespace {

// Hands the styles of one line to the lexer in order, each byte as the style
// given where the line is shown and as the hidden style where it is not.
class LineStyler {
public:
    LineStyler(ScriptLexer& lexer, long shownFrom, long shownTo)
        : m_lexer(lexer), m_shownFrom(shownFrom), m_shownTo(shownTo)
    {
    }
    long at() const { return m_at; }
    void styleTo(long end, int style)
    {
        while (m_at < end) {
            long stop = end;
            int s = ScriptLexer::HiddenStyle;
            if (m_at < m_shownFrom) {
                stop = qMin(end, m_shownFrom);
            } else if (m_at < m_shownTo) {
                stop = qMin(end, m_shownTo);
                s = style;
            }
            m_lexer.setStyling(int(stop - m_at), s);
            m_at = stop;
        }
    }

private:
    ScriptLexer& m_lexer;
    long m_at = 0;
    const long m_shownFrom;
    const long m_shownTo;
};

}  // namespace

// Styles one line from its start, where the styling stands.
void ScriptLexer::styleLine(QsciScintilla* box, long line, long caret, const LineMarkup::Context& context)
{
    const long lineCount = box->SendScintilla(Sci::SCI_GETLINECOUNT);
    const long begin = box->SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line));
    const long length = box->SendScintilla(Sci::SCI_GETLINEENDPOSITION, ulong(line)) - begin;
    const long next = line + 1 < lineCount ? box->SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line + 1))
                                           : box->SendScintilla(Sci::SCI_GETLENGTH);
    // Only what is read and shown of a long line is asked for: a pointer to
    // all of it would move the document's gap over the whole line.
    auto pointer = [box](long from, long count) {
        return reinterpret_cast<const char*>(box->SendScintilla(Sci::SCI_GETRANGEPOINTER, ulong(from), count));
    };
    const auto* bytes = pointer(begin, qMin(length, LongLine + 1));
    const long read = readableLength(bytes, length);
    const QString text = ScriptDocument::decode(bytes, read);
    const LineColumns columns(bytes, read);
    m_spans.clear();
    m_problems.clear();
    m_markup.read(text, line, context, &m_spans, &m_problems, LineMarkup::Detail::Places);

    const long shownFrom =
        shownStart(box, begin, length, caret >= begin && caret <= begin + length ? caret - begin : -1);
    const char* shown = shownFrom == 0 ? bytes : pointer(begin + shownFrom, qMin(length - shownFrom, LongLine + 1));
    LineStyler styler(*this, shownFrom, shownFrom + readableLength(shown, length - shownFrom));
    for (const LineMarkup::Span& span : m_spans) {
        const long from = qMax(styler.at(), long(columns.byteOffset(span.start)));
        const long to = qMax(from, long(columns.byteOffset(span.start + span.length)));
        styler.styleTo(from, LineMarkup::Plain);
        styler.styleTo(to, span.style);
    }
    styler.styleTo(length, LineMarkup::Plain);
    if (next > begin + length)
        setStyling(int(next - begin - length), LineMarkup::Plain);  // the line break

    box->SendScintilla(Sci::SCI_SETINDICATORCURRENT, ProblemIndicator);
    box->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, ulong(begin), next - begin);
    for (const LineMarkup::Problem& p : m_problems) {
        const qsizetype from = columns.byteOffset(p.start);
        const qsizetype to = columns.byteOffset(p.start + p.length);
        box->SendScintilla(Sci::SCI_INDICATORFILLRANGE, ulong(begin + from), long(qMax<qsizetype>(1, to - from)));
    }
}

void ScriptLexer::restyleLine(long line)
{
    QsciScintilla* box = editor();
    if (!box || line < 0 || line >= box->SendScintilla(Sci::SCI_GETLINECOUNT))
        return;
    const long styledTo = box->SendScintilla(Sci::SCI_GETENDSTYLED);
    const long begin = box->SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line));
    // A line not coloured yet is coloured when it is shown.
    if (begin >= styledTo)
        return;
    startStyling(int(begin));
    styleLine(box, line, box->SendScintilla(Sci::SCI_GETCURRENTPOS), m_context.current());
    // What was coloured after the line stays so.
    const long now = box->SendScintilla(Sci::SCI_GETENDSTYLED);
    if (styledTo > now)
        startStyling(int(styledTo));
}

long ScriptLexer::shownStart(QsciScintilla* box, long begin, long length, long caret)
{
    if (length <= LongLine || caret < 0)
        return 0;
    const long step = LongLine / 2;
    const long start = qMin(caret < step / 2 ? 0 : (caret - step / 2) / step * step, length - LongLine);
    // Back to the start of the character it is in (at most three
    // continuation bytes).
    const long most = qMin(start, 3L);
    const auto* at = reinterpret_cast<const unsigned char*>(
                         box->SendScintilla(Sci::SCI_GETRANGEPOINTER, ulong(begin + start - most), most + 1)) +
                     most;
    long back = 0;
    while (back < most && (at[-back] & 0xC0) == 0x80)
        ++back;
    return start - back;
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
