#include "editor/ScriptTextBox.h"

#include "platform/KeyCodes.h"
#include "language/ScriptText.h"
#include "editor/MarkupContext.h"
#include "editor/ScriptLexer.h"
#include "editor/ScriptTextAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringDecoder>
#include <QToolTip>

namespace {

using Base = QsciScintillaBase;

// The keys the box answers to: the usual editing keys of a plain text box.
// Scintilla's own extras that change the text behind the user's back (line
// duplicate and transpose, case changes, line cut and delete) and the
// Insert key's overtype switch are left out.
struct KeyBinding {
    int key;
    int modifiers;
    int command;
};

constexpr int Shift = Base::SCMOD_SHIFT;
constexpr int Ctrl = Base::SCMOD_CTRL;

constexpr KeyBinding Bindings[] = {
    {Base::SCK_DOWN, 0, Base::SCI_LINEDOWN},
    {Base::SCK_DOWN, Shift, Base::SCI_LINEDOWNEXTEND},
    {Base::SCK_DOWN, Ctrl, Base::SCI_LINESCROLLDOWN},
    {Base::SCK_UP, 0, Base::SCI_LINEUP},
    {Base::SCK_UP, Shift, Base::SCI_LINEUPEXTEND},
    {Base::SCK_UP, Ctrl, Base::SCI_LINESCROLLUP},
    {Base::SCK_LEFT, 0, Base::SCI_CHARLEFT},
    {Base::SCK_LEFT, Shift, Base::SCI_CHARLEFTEXTEND},
    {Base::SCK_LEFT, Ctrl, Base::SCI_WORDLEFT},
    {Base::SCK_LEFT, Ctrl | Shift, Base::SCI_WORDLEFTEXTEND},
    {Base::SCK_RIGHT, 0, Base::SCI_CHARRIGHT},
    {Base::SCK_RIGHT, Shift, Base::SCI_CHARRIGHTEXTEND},
    {Base::SCK_RIGHT, Ctrl, Base::SCI_WORDRIGHT},
    {Base::SCK_RIGHT, Ctrl | Shift, Base::SCI_WORDRIGHTEXTEND},
    {Base::SCK_HOME, 0, Base::SCI_VCHOME},
    {Base::SCK_HOME, Shift, Base::SCI_VCHOMEEXTEND},
    {Base::SCK_HOME, Ctrl, Base::SCI_DOCUMENTSTART},
    {Base::SCK_HOME, Ctrl | Shift, Base::SCI_DOCUMENTSTARTEXTEND},
    {Base::SCK_END, 0, Base::SCI_LINEEND},
    {Base::SCK_END, Shift, Base::SCI_LINEENDEXTEND},
    {Base::SCK_END, Ctrl, Base::SCI_DOCUMENTEND},
    {Base::SCK_END, Ctrl | Shift, Base::SCI_DOCUMENTENDEXTEND},
    {Base::SCK_PRIOR, 0, Base::SCI_PAGEUP},
    {Base::SCK_PRIOR, Shift, Base::SCI_PAGEUPEXTEND},
    {Base::SCK_NEXT, 0, Base::SCI_PAGEDOWN},
    {Base::SCK_NEXT, Shift, Base::SCI_PAGEDOWNEXTEND},
    {Base::SCK_DELETE, 0, Base::SCI_CLEAR},
    {Base::SCK_DELETE, Shift, Base::SCI_CUT},
    {Base::SCK_DELETE, Ctrl, Base::SCI_DELWORDRIGHT},
    {Base::SCK_BACK, 0, Base::SCI_DELETEBACK},
    {Base::SCK_BACK, Shift, Base::SCI_DELETEBACK},
    {Base::SCK_BACK, Ctrl, Base::SCI_DELWORDLEFT},
    {Base::SCK_INSERT, Shift, Base::SCI_PASTE},
    {Base::SCK_INSERT, Ctrl, Base::SCI_COPY},
    {'A', Ctrl, Base::SCI_SELECTALL},
    {'C', Ctrl, Base::SCI_COPY},
    {'V', Ctrl, Base::SCI_PASTE},
    {'X', Ctrl, Base::SCI_CUT},
    {'Y', Ctrl, Base::SCI_REDO},
    {'Z', Ctrl, Base::SCI_UNDO},
    {'Z', Ctrl | Shift, Base::SCI_REDO},
    {Base::SCK_TAB, 0, Base::SCI_TAB},
    {Base::SCK_TAB, Shift, Base::SCI_BACKTAB},
    {Base::SCK_ESCAPE, 0, Base::SCI_CANCEL},
};

// Code units the document cannot hold as themselves: a surrogate that is
// not half of a pair (UTF-8 has no form for it) and the noncharacters
// U+FDD0..U+FDEF and U+xFFFE/U+xFFFF (which Scintilla counts as three or
// four characters, putting every later position out of step). No script
// file can hold them either.
bool unholdable(const char16_t* text, qsizetype i, qsizetype n)
{
    const char16_t c = text[i];
    if (QChar::isHighSurrogate(c)) {
        if (i + 1 >= n || !QChar::isLowSurrogate(text[i + 1]))
            return true;
        return (QChar::surrogateToUcs4(c, text[i + 1]) & 0xFFFE) == 0xFFFE;
    }
    if (QChar::isLowSurrogate(c))
        return i == 0 || !QChar::isHighSurrogate(text[i - 1]) ||
               (QChar::surrogateToUcs4(text[i - 1], c) & 0xFFFE) == 0xFFFE;
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// The document's UTF-8 for a text: each code unit it cannot hold becomes the
// replacement character, so every position stays where it was.
QByteArray documentBytes(QStringView text)
{
    const char16_t* data = text.utf16();
    const qsizetype n = text.size();
    qsizetype first = 0;
    while (first < n && !unholdable(data, first, n))
        ++first;
    if (first == n)
        return text.toUtf8();
    QString held = text.toString();
    for (qsizetype i = first; i < n; ++i)
        if (unholdable(data, i, n))
            held[i] = QChar(QChar::ReplacementCharacter);
    return held.toUtf8();
}

}  // namespace

// Holds back the change event while the document changes: one assignment
// or one key, click, drop or command is one change, however many edits the
// document makes for it, and the event comes once the text has changed. An
// assignment by the program is also one undo step.
class ScriptTextBox::ChangeScope {
public:
    enum Undo { AsIs, OneStep, NoUndo };
    explicit ChangeScope(ScriptTextBox* box, Undo undo = AsIs) : m_box(box), m_undo(undo)
    {
        if (m_box->m_changing++ == 0)
            m_box->m_changedMeanwhile = false;
        if (m_undo == OneStep)
            m_box->SendScintilla(SCI_BEGINUNDOACTION);
        else if (m_undo == NoUndo)
            m_box->SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    }
    ~ChangeScope()
    {
        if (m_undo == OneStep) {
            m_box->SendScintilla(SCI_ENDUNDOACTION);
        } else if (m_undo == NoUndo) {
            m_box->SendScintilla(SCI_SETUNDOCOLLECTION, 1);
            m_box->SendScintilla(SCI_EMPTYUNDOBUFFER);
        }
        if (--m_box->m_changing == 0 && m_box->m_changedMeanwhile) {
            m_box->m_changedMeanwhile = false;
            m_box->fitLineNumbers();
            Q_EMIT m_box->Change();
        }
    }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

private:
    ScriptTextBox* m_box;
    Undo m_undo;
};

ScriptTextBox::ScriptTextBox(QWidget* parent) : QsciScintilla(parent)
{
    setUtf8(true);
    setEolMode(EolWindows);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1);
    // Lines are never wrapped; both scroll bars are always there.
    setWrapMode(WrapNone);
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    // Scintilla measures every character of a line it lays out, the whole
    // of a line megabytes long. The lines of the page stay laid out while
    // nothing changes them, and the widths of recurring pieces of text are
    // remembered across lines.
    SendScintilla(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    SendScintilla(SCI_SETPOSITIONCACHE, 16384);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // No margins of Scintilla's own: the text starts at the left edge.
    for (int margin = 0; margin < 5; ++margin)
        setMarginWidth(margin, 0);
    // Selections are plain runs of text; a mouse drag never makes a
    // rectangular or a second selection behind the user's back.
    SendScintilla(SCI_SETMULTIPLESELECTION, 0);
    SendScintilla(SCI_SETRECTANGULARSELECTIONMODIFIER, SCMOD_SUPER);
    bindKeys();
    applyLook();
    // The document reports a change before it makes it, never after:
    // QScintilla answers every report after a change by counting the
    // characters from the start of the document up to it, which would make
    // a key in a large script take tens of milliseconds.
    SendScintilla(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
    ScriptTextAccessible::installFactory();
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int, int, int, int, int, int) {
                if (length <= 0)
                    return;
                if (m_context)
                    m_context->beforeChange(position, (type & SC_MOD_BEFOREINSERT) ? text : nullptr, length);
                tellAssistiveTools(position, type, text, length);
                textModified();
            });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &ScriptTextBox::caretMoved);
    connect(this, &QsciScintillaBase::SCN_DWELLSTART, this, &ScriptTextBox::dwellStarted);
    connect(this, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
}

// Screen readers hear of every edit and caret move. Changes of more than a
// megabyte (opening a large script) are not spelt out: the reader asks for
// the text it wants to read.
void ScriptTextBox::tellAssistiveTools(int position, int modificationType, const char* text, int length)
{
    constexpr int Largest = 1 << 20;
    if (!QAccessible::isActive() || length > Largest)
        return;
    const int offset = int(toScriptPosition(position));
    if ((modificationType & SC_MOD_BEFOREINSERT) && text) {
        QAccessibleTextInsertEvent event(this, offset, decode(text, length));
        QAccessible::updateAccessibility(&event);
    } else if (modificationType & SC_MOD_BEFOREDELETE) {
        const auto* removed = reinterpret_cast<const char*>(
            SendScintilla(SCI_GETRANGEPOINTER, ulong(position), long(length)));
        QAccessibleTextRemoveEvent event(this, offset, decode(removed, length));
        QAccessible::updateAccessibility(&event);
    }
}

void ScriptTextBox::caretMoved(int updated)
{
    if (updated & SC_UPDATE_CONTENT)
        fitLineNumbers();
    if (!(updated & SC_UPDATE_SELECTION))
        return;
    if (m_lexer)
        showCaretPart();
    describeCaretLine();
    if (!QAccessible::isActive())
        return;
    const int caret = int(toScriptPosition(SendScintilla(SCI_GETCURRENTPOS)));
    QAccessibleTextCursorEvent cursor(this, caret);
    QAccessible::updateAccessibility(&cursor);
    const int start = int(SelStart());
    QAccessibleTextSelectionEvent selection(this, start, start + int(SelLength()));
    selection.setCursorPosition(caret);
    QAccessible::updateAccessibility(&selection);
}

ScriptTextBox::~ScriptTextBox()
{
    setLexer(nullptr);
}

void ScriptTextBox::bindKeys()
{
    SendScintilla(SCI_CLEARALLCMDKEYS);
    for (const KeyBinding& b : Bindings)
        SendScintilla(SCI_ASSIGNCMDKEY, ulong(b.key + (b.modifiers << 16)), long(b.command));
}

// A fixed-width font from the desktop at the window's size, and the
// desktop palette's colours.
void ScriptTextBox::applyLook()
{
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(QApplication::font().pointSizeF());
    const QPalette p = palette();
    if (m_lexer) {
        m_lexer->setLook(p, fixed);
    } else {
        SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, fixed.family().toUtf8().constData());
        SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT,
                      long(fixed.pointSizeF() * double(int(SC_FONT_SIZE_MULTIPLIER))));
        SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, p.color(QPalette::Text));
        SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, p.color(QPalette::Base));
        SendScintilla(SCI_STYLECLEARALL);
    }
    if (m_lexer)
        SendScintilla(SCI_STYLESETVISIBLE, ScriptLexer::HiddenStyle, 0L);
    SendScintilla(SCI_STYLESETFORE, STYLE_CONTROLCHAR, p.color(QPalette::Base));
    SendScintilla(SCI_STYLESETBACK, STYLE_CONTROLCHAR, p.color(QPalette::Text));
    setSelectionBackgroundColor(p.color(QPalette::Highlight));
    setSelectionForegroundColor(p.color(QPalette::HighlightedText));
    setCaretForegroundColor(p.color(QPalette::Text));
    setMarginsFont(fixed);
    setMarginsBackgroundColor(p.color(QPalette::Window));
    setMarginsForegroundColor(p.color(QPalette::PlaceholderText));
    const bool dark = isDark(p);
    setIndicatorForegroundColor(QColor(dark ? 0xff6060 : 0xe00000), ScriptLexer::ProblemIndicator);
    m_numberDigits = 0;
    fitLineNumbers();
}

void ScriptTextBox::setLineMarkup(const LineMarkup* markup)
{
    m_markup = markup;
    setLexer(nullptr);
    m_lexer.reset();
    m_context.reset(markup ? new MarkupContext(*markup, *this) : nullptr);
    m_lexer.reset(markup ? new ScriptLexer(*markup, *m_context, nullptr) : nullptr);
    if (m_lexer)
        setLexer(m_lexer.get());
    // The pixmap squiggle is drawn at most a screen wide; the plain one draws
    // every stroke of an underline megabytes long.
    indicatorDefine(SquigglePixmapIndicator, ScriptLexer::ProblemIndicator);
    setIndicatorDrawUnder(true, ScriptLexer::ProblemIndicator);
    // Resting the mouse on an underline shows its message.
    SendScintilla(SCI_SETMOUSEDWELLTIME, markup ? 500 : SC_TIME_FOREVER);
    setMarginType(0, NumberMargin);
    applyLook();
    describeCaretLine();
}

// The line numbers' margin is as wide as the last line's number, and at
// least as wide as a five-digit one, and only there while the box numbers
// its lines. So a script's text stays where it is as the script grows past
// 10, 100 or 1000 lines, and opening another script of up to 99,999 lines
// keeps the margin: a new width has Scintilla measure and lay out every
// line shown again.
void ScriptTextBox::fitLineNumbers()
{
    constexpr int FewestDigits = 5;
    const int digits = m_markup ? qMax(FewestDigits, int(QString::number(lines()).size())) : 0;
    if (digits == m_numberDigits)
        return;
    m_numberDigits = digits;
    setMarginWidth(0, digits ? QString(digits + 1, u'9') : QString());
    // Scintilla takes in the new width now, outside a paint: taken in while
    // painting, it would paint the whole box a second time.
    SendScintilla(SCI_TEXTHEIGHT, 0UL);
}

// A line of the document: its index, where it starts, its text and the
// byte offsets of its columns.
struct ScriptTextBox::DocumentLine {
    long index;
    long begin;
    QString text;
    LineColumns columns;
};

// Of a line longer than the lexer reads, the part it reads: its problems
// are the ones underlined.
ScriptTextBox::DocumentLine ScriptTextBox::documentLine(long line, bool whole) const
{
    const long begin = SendScintilla(SCI_POSITIONFROMLINE, ulong(line));
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, ulong(line));
    const auto* bytes = reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER, ulong(begin), end - begin));
    const long read = whole ? end - begin : ScriptLexer::readableLength(bytes, end - begin);
    return {line, begin, decode(bytes, read), LineColumns(bytes, read)};
}

const LineMarkup::Context* ScriptTextBox::scriptContext() const
{
    return m_context ? &m_context->current() : nullptr;
}

QList<LineMarkup::Problem> ScriptTextBox::lineProblems(const DocumentLine& line, const LineMarkup::Context* context) const
{
    QList<LineMarkup::Problem> problems;
    if (m_markup && context)
        m_markup->read(line.text, line.index, *context, nullptr, &problems, LineMarkup::Detail::Messages);
    return problems;
}

bool ScriptTextBox::goToDefinition()
{
    return goToDefinitionAt(SendScintilla(SCI_GETCURRENTPOS), false);
}

// onReferenceOnly: the position must be on the reference itself (a click),
// not only on its line (the caret).
bool ScriptTextBox::goToDefinitionAt(long position, bool onReferenceOnly)
{
    if (!m_markup || position < 0)
        return false;
    const DocumentLine line = documentLine(SendScintilla(SCI_LINEFROMPOSITION, ulong(position)));
    const qsizetype column = onReferenceOnly ? line.columns.column(position - line.begin) : -1;
    const qsizetype target = m_markup->definitionLine(line.text, column, *scriptContext());
    if (target < 0 || target >= SendScintilla(SCI_GETLINECOUNT))
        return false;
    SendScintilla(SCI_GOTOLINE, ulong(target));
    // A problem's message shown at the old place would now point elsewhere.
    QToolTip::hideText();
    describeCaretLine();
    return true;
}

// The problems of the caret's line are what a screen reader says about the
// box while the caret stays there; this tells it when they change. They are
// only worded while one listens: an unknown name's message looks through
// the whole catalogue for a near name, and this runs at every key and click.
void ScriptTextBox::describeCaretLine()
{
    if (!QAccessible::isActive())
        return;
    const QString problems = caretLineProblems();
    if (problems != accessibleDescription())
        setAccessibleDescription(problems);
}

QString ScriptTextBox::caretLineProblems() const
{
    if (!m_markup)
        return QString();
    QStringList messages;
    const long line = SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS));
    for (const LineMarkup::Problem& p : lineProblems(documentLine(line), scriptContext()))
        messages.append(p.message);
    return messages.join(u'\n');
}

// Shows a message as a tooltip under a document position: a real tooltip,
// which screen readers read.
void ScriptTextBox::showMessageAt(long position, const QString& message)
{
    const int x = int(SendScintilla(SCI_POINTXFROMPOSITION, 0UL, position));
    const int y = int(SendScintilla(SCI_POINTYFROMPOSITION, 0UL, position));
    const int height = int(SendScintilla(SCI_TEXTHEIGHT, ulong(SendScintilla(SCI_LINEFROMPOSITION, ulong(position)))));
    QToolTip::showText(viewport()->mapToGlobal(QPoint(x, y + height)), message, this);
}

void ScriptTextBox::dwellStarted(int position, int x, int y)
{
    Q_UNUSED(x);
    Q_UNUSED(y);
    if (!m_markup || position < 0)
        return;
    const DocumentLine line = documentLine(SendScintilla(SCI_LINEFROMPOSITION, ulong(position)));
    const qsizetype column = line.columns.column(position - line.begin);
    QStringList messages;
    for (const LineMarkup::Problem& p : lineProblems(line, scriptContext()))
        if (column >= p.start && column <= p.start + qMax<qsizetype>(1, p.length))
            messages.append(p.message);
    if (!messages.isEmpty())
        showMessageAt(position, messages.join(u'\n'));
}

bool ScriptTextBox::goToProblem(bool forward)
{
    if (!m_markup)
        return false;
    const long lineCount = SendScintilla(SCI_GETLINECOUNT);
    const long anchor = qMin(SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND));
    const long caretLine = SendScintilla(SCI_LINEFROMPOSITION, ulong(anchor));
    const LineMarkup::Context* context = scriptContext();
    // Lines from the caret's on, round the end of the script and back to
    // the caret's line, whose problems before (or after) the caret come last.
    for (long step = 0; step <= lineCount; ++step) {
        const DocumentLine line =
            documentLine(((forward ? caretLine + step : caretLine - step) % lineCount + lineCount) % lineCount);
        const QList<LineMarkup::Problem> problems = lineProblems(line, context);
        if (problems.isEmpty())
            continue;
        const qsizetype caretColumn = line.columns.column(anchor - line.begin);
        for (qsizetype i = 0; i < problems.size(); ++i) {
            const LineMarkup::Problem& p = problems[forward ? i : problems.size() - 1 - i];
            if (step == 0 && (forward ? p.start <= caretColumn : p.start >= caretColumn))
                continue;
            if (step == lineCount && (forward ? p.start > caretColumn : p.start < caretColumn))
                continue;
            const long from = line.begin + long(line.columns.byteOffset(p.start));
            const long to = line.begin + long(line.columns.byteOffset(p.start + p.length));
            SendScintilla(SCI_SETSEL, ulong(from), to);
            describeCaretLine();
            showMessageAt(from, p.message);
            return true;
        }
    }
    return false;
}

void ScriptTextBox::complete()
{
    if (!m_markup)
        return;
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const DocumentLine line = documentLine(SendScintilla(SCI_LINEFROMPOSITION, ulong(caret)), true);
    const qsizetype caretColumn = line.columns.column(caret - line.begin);
    const qsizetype start = m_markup->completionStart(line.text, caretColumn);
    const QStringList names = m_markup->completions(QStringView(line.text).mid(start, caretColumn - start));
    if (names.isEmpty())
        return;
    SendScintilla(SCI_AUTOCSETORDER, SC_ORDER_CUSTOM);
    SendScintilla(SCI_AUTOCSETIGNORECASE, 1);
    SendScintilla(SCI_AUTOCSETCASEINSENSITIVEBEHAVIOUR, SC_CASEINSENSITIVEBEHAVIOUR_IGNORECASE);
    SendScintilla(SCI_AUTOCSETSEPARATOR, '\n');
    SendScintilla(SCI_AUTOCSETAUTOHIDE, 0L);
    SendScintilla(SCI_AUTOCSTOPS, "");
    SendScintilla(SCI_AUTOCSHOW, ulong(caret - line.begin - line.columns.byteOffset(start)),
                  names.join(u'\n').toUtf8().constData());
}

void ScriptTextBox::changeEvent(QEvent* e)
{
    QsciScintilla::changeEvent(e);
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::ApplicationFontChange)
        applyLook();
}

void ScriptTextBox::textModified()
{
    // Outside any scope (a command QScintilla runs on its own) the change
    // is told at once, just before it is made.
    if (m_changing > 0)
        m_changedMeanwhile = true;
    else
        Q_EMIT Change();
}

qsizetype ScriptTextBox::documentLength() const
{
    return qsizetype(SendScintilla(SCI_GETLENGTH));
}

QString ScriptTextBox::Text() const
{
    const qsizetype n = documentLength();
    const auto* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return decode(text, n);
}

qsizetype ScriptTextBox::length() const
{
    return toScriptPosition(documentLength());
}

void ScriptTextBox::replaceAll(const QString& text)
{
    const QByteArray utf8 = documentBytes(text);
    replaceAllUtf8(utf8.size(), [&utf8](const Utf8Sink& take) { take(utf8); });
}

void ScriptTextBox::replaceAllUtf8(qsizetype bytes, const std::function<void(const Utf8Sink&)>& produce)
{
    // The line index is built over the new text when a position is first
    // converted: kept up to date line by line while the text goes in, it
    // would cost three times as much, and opening a script needs none.
    if (SendScintilla(SCI_GETLINECHARACTERINDEX) & SC_LINECHARACTERINDEX_UTF16)
        SendScintilla(SCI_RELEASELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF16);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_ALLOCATE, ulong(bytes + 1 + RoomToType));
    produce([this](QByteArrayView utf8) {
        SendScintilla(SCI_APPENDTEXT, ulong(utf8.size()), utf8.data());
    });
    SendScintilla(SCI_SETEMPTYSELECTION, 0L);
    // The view goes to the start, where the caret is. Scrolling to the caret
    // would lay its line out before it is coloured, and again after: a line
    // of megabytes twice.
    SendScintilla(SCI_SETFIRSTVISIBLELINE, 0L);
    SendScintilla(SCI_SETXOFFSET, 0L);
    // The line numbers' margin fits the new line count before the box is
    // painted.
    fitLineNumbers();
}

void ScriptTextBox::setText(const QString& text)
{
    if (text.isEmpty() && documentLength() == 0)
        return;
    ChangeScope scope(this, ChangeScope::OneStep);
    replaceAll(text);
}

void ScriptTextBox::loadText(const QString& text)
{
    ChangeScope scope(this, ChangeScope::NoUndo);
    replaceAll(text);
}

void ScriptTextBox::loadUtf8(qsizetype bytes, const std::function<void(const Utf8Sink&)>& produce)
{
    ChangeScope scope(this, ChangeScope::NoUndo);
    replaceAllUtf8(bytes, produce);
}

void ScriptTextBox::emptyUndoBuffer()
{
    SendScintilla(SCI_EMPTYUNDOBUFFER);
}

// The document's UTF-16 line index, built the first time it is needed and
// kept up to date by Scintilla from then on (it takes four bytes a line).
void ScriptTextBox::useLineIndex() const
{
    if (!(SendScintilla(SCI_GETLINECHARACTERINDEX) & SC_LINECHARACTERINDEX_UTF16))
        SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF16);
}

qsizetype ScriptTextBox::toScriptPosition(qsizetype documentPosition) const
{
    useLineIndex();
    const qsizetype pos = qBound<qsizetype>(0, documentPosition, documentLength());
    const long line = SendScintilla(SCI_LINEFROMPOSITION, ulong(pos));
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, ulong(line));
    const long lineIndex = SendScintilla(SCI_INDEXPOSITIONFROMLINE, ulong(line), long(SC_LINECHARACTERINDEX_UTF16));
    return qsizetype(lineIndex) + qsizetype(SendScintilla(SCI_COUNTCODEUNITS, ulong(lineStart), long(pos)));
}

qsizetype ScriptTextBox::toDocumentPosition(qsizetype scriptPosition) const
{
    if (scriptPosition <= 0)
        return 0;
    const qsizetype end = documentLength();
    if (scriptPosition >= length())
        return end;
    useLineIndex();
    const long line =
        SendScintilla(SCI_LINEFROMINDEXPOSITION, ulong(scriptPosition), long(SC_LINECHARACTERINDEX_UTF16));
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, ulong(line));
    const long lineIndex = SendScintilla(SCI_INDEXPOSITIONFROMLINE, ulong(line), long(SC_LINECHARACTERINDEX_UTF16));
    const long offset = long(scriptPosition) - lineIndex;
    if (offset <= 0)
        return lineStart;
    // A position inside a surrogate pair falls back to before the pair: the
    // caret never splits a character. Scintilla answers such a position with
    // an invalid one (0 or -1).
    qsizetype pos = SendScintilla(SCI_POSITIONRELATIVECODEUNITS, ulong(lineStart), offset);
    if (pos <= lineStart)
        pos = SendScintilla(SCI_POSITIONRELATIVECODEUNITS, ulong(lineStart), offset - 1);
    // A position between CR and LF falls back to the end of the line.
    if (pos > 0 && pos < end && SendScintilla(SCI_GETCHARAT, ulong(pos)) == '\n' &&
        SendScintilla(SCI_GETCHARAT, ulong(pos - 1)) == '\r')
        --pos;
    return pos;
}

qsizetype ScriptTextBox::SelStart() const
{
    return toScriptPosition(qsizetype(SendScintilla(SCI_GETSELECTIONSTART)));
}

void ScriptTextBox::setSelStart(qsizetype start)
{
    const qsizetype pos = toDocumentPosition(start);
    SendScintilla(SCI_SETSEL, ulong(pos), long(pos));
}

qsizetype ScriptTextBox::SelLength() const
{
    const qsizetype start = qsizetype(SendScintilla(SCI_GETSELECTIONSTART));
    const qsizetype end = qsizetype(SendScintilla(SCI_GETSELECTIONEND));
    return start == end ? 0 : toScriptPosition(end) - toScriptPosition(start);
}

void ScriptTextBox::setSelLength(qsizetype length)
{
    const qsizetype start = SelStart();
    const qsizetype anchor = toDocumentPosition(start);
    const qsizetype caret = toDocumentPosition(start + qMax<qsizetype>(0, length));
    SendScintilla(SCI_SETSEL, ulong(anchor), long(caret));
}

QString ScriptTextBox::SelText() const
{
    const qsizetype start = qsizetype(SendScintilla(SCI_GETSELECTIONSTART));
    const qsizetype end = qsizetype(SendScintilla(SCI_GETSELECTIONEND));
    if (start == end)
        return QString();
    const auto* text = reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER, ulong(start), long(end - start)));
    return decode(text, end - start);
}

void ScriptTextBox::setSelText(const QString& text)
{
    const bool selection = SendScintilla(SCI_GETSELECTIONSTART) != SendScintilla(SCI_GETSELECTIONEND);
    if (text.isEmpty() && !selection)
        return;
    replaceSelection(documentBytes(text));
}

void ScriptTextBox::insertAfterSelection(QByteArray (*derive)(QByteArrayView))
{
    const long from = SendScintilla(SCI_GETSELECTIONSTART);
    const long to = SendScintilla(SCI_GETSELECTIONEND);
    const auto* bytes = reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER, ulong(from), to - from));
    const QByteArray added = derive(QByteArrayView(bytes, to - from));
    SendScintilla(SCI_SETTARGETRANGE, ulong(to), to);
    replaceTarget(added);
}

void ScriptTextBox::replaceSelection(const QByteArray& utf8)
{
    SendScintilla(SCI_TARGETFROMSELECTION);
    replaceTarget(utf8);
}

// Replaces the target as one undo step and puts the caret after it. A long
// line is coloured again before Scintilla lays it out to show the caret:
// coloured after, it would be laid out twice, and each time costs as much
// as the whole line.
void ScriptTextBox::replaceTarget(const QByteArray& utf8)
{
    ChangeScope scope(this, ChangeScope::OneStep);
    SendScintilla(SCI_REPLACETARGET, ulong(utf8.size()), utf8.constData());
    const long end = SendScintilla(SCI_GETTARGETEND);
    if (m_lexer) {
        const long line = SendScintilla(SCI_LINEFROMPOSITION, ulong(end));
        if (SendScintilla(SCI_LINELENGTH, ulong(line)) > ScriptLexer::LongLine)
            m_lexer->restyleLine(line);
    }
    SendScintilla(SCI_SETSEL, ulong(end), end);
}

// Typing, Backspace and Delete in a long line, with no selection: the same
// edit as Scintilla's, made so that the line is laid out once.
bool ScriptTextBox::editsLongLine(QKeyEvent* e)
{
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    if (!m_lexer || caret != SendScintilla(SCI_GETANCHOR) ||
        SendScintilla(SCI_LINELENGTH, ulong(SendScintilla(SCI_LINEFROMPOSITION, ulong(caret)))) <= ScriptLexer::LongLine)
        return false;
    const Qt::KeyboardModifiers held = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const QString typed = e->text();
    long from = caret;
    long to = caret;
    QByteArray utf8;
    if (e->key() == Qt::Key_Backspace && (held & ~Qt::ShiftModifier) == Qt::NoModifier) {
        from = SendScintilla(SCI_POSITIONBEFORE, ulong(caret));
    } else if (e->key() == Qt::Key_Delete && held == Qt::NoModifier) {
        to = SendScintilla(SCI_POSITIONAFTER, ulong(caret));
    } else if (!typed.isEmpty() && typed.front().isPrint() &&
               !(held.testFlag(Qt::ControlModifier) && !held.testFlag(Qt::AltModifier)) &&
               !SendScintilla(SCI_GETOVERTYPE) && !SendScintilla(SCI_AUTOCACTIVE)) {
        utf8 = documentBytes(typed);
    } else {
        return false;
    }
    if (from == to && utf8.isEmpty())
        return true;  // nothing before the start or after the end
    SendScintilla(SCI_SETTARGETRANGE, ulong(from), to);
    replaceTarget(utf8);
    return true;
}

void ScriptTextBox::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
}

QMimeData* ScriptTextBox::toMimeData(const QByteArray& text, bool rectangular) const
{
    Q_UNUSED(rectangular);
    auto* data = new QMimeData;
    data->setText(decode(text.constData(), text.size()));
    return data;
}

QByteArray ScriptTextBox::fromMimeData(const QMimeData* source, bool& rectangular) const
{
    // Text from other programs may end its lines with LF or CR alone; each
    // becomes a line of the script.
    rectangular = false;
    return documentBytes(ScriptText::withCrLf(source->text()));
}

void ScriptTextBox::keyPressEvent(QKeyEvent* e)
{
    ChangeScope scope(this);
    if (m_events.keyPress(this, e)) {
        e->accept();
        return;
    }
    if (m_markup) {
        const Qt::KeyboardModifiers held = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (e->key() == Qt::Key_F8 && (held == Qt::NoModifier || held == Qt::ShiftModifier)) {
            goToProblem(held == Qt::NoModifier);
            e->accept();
            return;
        }
        if (e->key() == Qt::Key_Space && held == Qt::ControlModifier) {
            complete();
            e->accept();
            return;
        }
        if (e->key() == Qt::Key_F12 && held == Qt::NoModifier) {
            goToDefinition();
            e->accept();
            return;
        }
    }
    if (replacesHiddenText(e) || editsLongLine(e)) {
        e->accept();
        return;
    }
    // Every Enter key, whatever is held with it, starts a new line: CR LF
    // (or takes the name chosen from an open completion list).
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        SendScintilla(SCI_NEWLINE);
        describeCaretLine();
        e->accept();
        return;
    }
    // Typed text the document cannot hold goes in as the replacement
    // character, like pasted text.
    const QString typed = e->text();
    if (!typed.isEmpty() && documentBytes(typed) != typed.toUtf8()) {
        setSelText(typed);
        e->accept();
        return;
    }
    // A key held with Ctrl (and not with Alt, which together make AltGr)
    // is a command or nothing; some desktops hand it over with its letter
    // as text, which must not be typed.
    const Qt::KeyboardModifiers held = e->modifiers();
    if (held.testFlag(Qt::ControlModifier) && !held.testFlag(Qt::AltModifier) && !typed.isEmpty()) {
        QKeyEvent command(e->type(), e->key(), held, e->nativeScanCode(), e->nativeVirtualKey(),
                          e->nativeModifiers(), QString(), e->isAutoRepeat(), ushort(e->count()));
        QsciScintilla::keyPressEvent(&command);
        e->setAccepted(command.isAccepted());
    } else {
        QsciScintilla::keyPressEvent(e);
    }
    describeCaretLine();
}

void ScriptTextBox::keyReleaseEvent(QKeyEvent* e)
{
    QsciScintilla::keyReleaseEvent(e);
    m_events.keyRelease(this, e);
}

void ScriptTextBox::mousePressEvent(QMouseEvent* e)
{
    ChangeScope scope(this);
    BoxEvents::mousePress(this, e);
    if (m_markup && e->button() == Qt::LeftButton &&
        (e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == Qt::ControlModifier) {
        const QPoint at = e->position().toPoint();
        if (goToDefinitionAt(SendScintilla(SCI_POSITIONFROMPOINTCLOSE, ulong(at.x()), long(at.y())), true)) {
            e->accept();
            return;
        }
    }
    QsciScintilla::mousePressEvent(e);
    describeCaretLine();
}

void ScriptTextBox::mouseReleaseEvent(QMouseEvent* e)
{
    ChangeScope scope(this);
    QsciScintilla::mouseReleaseEvent(e);
}

void ScriptTextBox::dropEvent(QDropEvent* e)
{
    ChangeScope scope(this);
    QsciScintilla::dropEvent(e);
}

void ScriptTextBox::inputMethodEvent(QInputMethodEvent* e)
{
    ChangeScope scope(this);
    QsciScintilla::inputMethodEvent(e);
}

void ScriptTextBox::contextMenuEvent(QContextMenuEvent* e)
{
    ChangeScope scope(this);
    QsciScintilla::contextMenuEvent(e);
}

void ScriptTextBox::undo()
{
    ChangeScope scope(this);
    QsciScintilla::undo();
}

void ScriptTextBox::redo()
{
    ChangeScope scope(this);
    QsciScintilla::redo();
}

void ScriptTextBox::cut()
{
    ChangeScope scope(this);
    if (selectionReachesHidden()) {
        copy();
        replaceSelection(QByteArray());
        return;
    }
    QsciScintilla::cut();
}

void ScriptTextBox::paste()
{
    ChangeScope scope(this);
    const QMimeData* source = QApplication::clipboard()->mimeData();
    if (source && source->hasText() && selectionReachesHidden()) {
        bool rectangular = false;
        replaceSelection(fromMimeData(source, rectangular));
        return;
    }
    QsciScintilla::paste();
}

void ScriptTextBox::clear()
{
    ChangeScope scope(this);
    if (selectionReachesHidden()) {
        replaceSelection(QByteArray());
        return;
    }
    QsciScintilla::clear();
}

// Scintilla's own editing leaves text it does not show alone (the hidden
// part of a long line), and a cut would then only copy: a selection that
// reaches into it is replaced here, as one step, by what the key gives.
bool ScriptTextBox::replacesHiddenText(QKeyEvent* e)
{
    if (!selectionReachesHidden())
        return false;
    const Qt::KeyboardModifiers held = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int key = e->key();
    if ((key == Qt::Key_Delete && held == Qt::ShiftModifier) || (key == Qt::Key_X && held == Qt::ControlModifier)) {
        cut();
    } else if ((key == Qt::Key_Insert && held == Qt::ShiftModifier) ||
               (key == Qt::Key_V && held == Qt::ControlModifier)) {
        paste();
    } else if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        replaceSelection(QByteArray());
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        replaceSelection(QByteArray(ScriptText::CrLf.data(), ScriptText::CrLf.size()));
    } else if (const QString typed = e->text();
               !typed.isEmpty() && (typed == u'\t' || typed.front().isPrint()) &&
               !(held.testFlag(Qt::ControlModifier) && !held.testFlag(Qt::AltModifier))) {
        setSelText(typed);
    } else {
        return false;
    }
    return true;
}

bool ScriptTextBox::selectionReachesHidden() const
{
    if (!m_lexer)
        return false;
    const long from = SendScintilla(SCI_GETSELECTIONSTART);
    const long to = SendScintilla(SCI_GETSELECTIONEND);
    if (from == to)
        return false;
    // Replacing a selection this large here is as good as Scintilla's own.
    if (to - from > ScriptLexer::LongLine)
        return true;
    // What a long line hides lies before and after its shown part, so a
    // piece of it reaches into that when one of its ends is hidden.
    const long last = SendScintilla(SCI_LINEFROMPOSITION, ulong(to));
    for (long line = SendScintilla(SCI_LINEFROMPOSITION, ulong(from)); line <= last; ++line) {
        const long begin = SendScintilla(SCI_POSITIONFROMLINE, ulong(line));
        const long end = SendScintilla(SCI_GETLINEENDPOSITION, ulong(line));
        const long a = qMax(from, begin);
        const long b = qMin(to, end);
        if (end - begin > ScriptLexer::LongLine && a < b &&
            (SendScintilla(SCI_GETSTYLEAT, ulong(a)) == ScriptLexer::HiddenStyle ||
             SendScintilla(SCI_GETSTYLEAT, ulong(b - 1)) == ScriptLexer::HiddenStyle))
            return true;
    }
    return false;
}

// Shows the part of a long line the caret is in, when the caret left the
// part shown before (Ctrl+End, End, a found word, the arrow keys).
void ScriptTextBox::showCaretPart()
{
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, ulong(caret));
    const long begin = SendScintilla(SCI_POSITIONFROMLINE, ulong(line));
    const long length = SendScintilla(SCI_GETLINEENDPOSITION, ulong(line)) - begin;
    const long start = ScriptLexer::shownStart(this, begin, length, caret - begin);
    if (line == m_shownLine && start == m_shownStart)
        return;
    const long before = m_shownLine;
    const bool movedBefore = m_shownStart != 0;
    m_shownLine = line;
    m_shownStart = start;
    if (movedBefore && before != line)
        m_lexer->restyleLine(before);
    if (start != 0 || (movedBefore && before == line)) {
        m_lexer->restyleLine(line);
        SendScintilla(SCI_SCROLLCARET);
    }
}

void ScriptTextBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    QsciScintilla::mouseDoubleClickEvent(e);
    Q_EMIT DblClick();
}
