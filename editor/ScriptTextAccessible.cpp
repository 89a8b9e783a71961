#include "editor/ScriptTextAccessible.h"

#include "language/ScriptText.h"
#include "editor/ScriptDocument.h"
#include "editor/Qsci.h"

#include <QScrollBar>
#include <QTextBoundaryFinder>

namespace {

using Sci = QsciScintillaBase;

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    // A Scintilla box that keeps its text in script terms.
    Q_UNUSED(className);
    auto* box = qobject_cast<QsciScintilla*>(object);
    auto* document = dynamic_cast<ScriptDocument*>(object);
    return box && document ? new ScriptTextAccessible(box, document) : nullptr;
}

}  // namespace

ScriptTextAccessible::ScriptTextAccessible(QsciScintilla* box, ScriptDocument* document)
    : QAccessibleWidget(box, QAccessible::EditableText), m_document(document)
{
}

void ScriptTextAccessible::installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

QsciScintilla* ScriptTextAccessible::box() const
{
    return static_cast<QsciScintilla*>(widget());
}

QList<QWidget*> ScriptTextAccessible::scrollBars() const
{
    QList<QWidget*> bars;
    for (QWidget* bar : {static_cast<QWidget*>(box()->horizontalScrollBar()),
                         static_cast<QWidget*>(box()->verticalScrollBar())})
        if (bar && bar->isVisible())
            bars.append(bar);
    return bars;
}

int ScriptTextAccessible::childCount() const
{
    return int(scrollBars().size());
}

QAccessibleInterface* ScriptTextAccessible::child(int index) const
{
    const QList<QWidget*> bars = scrollBars();
    return index >= 0 && index < bars.size() ? QAccessible::queryAccessibleInterface(bars.at(index)) : nullptr;
}

int ScriptTextAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child ? int(scrollBars().indexOf(child->object())) : -1;
}

void* ScriptTextAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State ScriptTextAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.multiLine = true;
    s.editable = !box()->isReadOnly();
    s.readOnly = box()->isReadOnly();
    s.selectableText = true;
    return s;
}

QString ScriptTextAccessible::text(QAccessible::Text t) const
{
    // The script itself is read through the text interface, a piece at a
    // time; the value would hand over the whole of it at every question.
    if (t == QAccessible::Value)
        return QString();
    // The caret line's problems, read when asked: their messages look
    // through the catalogue for near names.
    if (t == QAccessible::Description && m_document)
        return m_document->caretLineProblems();
    return QAccessibleWidget::text(t);
}

void ScriptTextAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    *startOffset = int(m_document->SelStart());
    *endOffset = int(m_document->SelStart() + m_document->SelLength());
}

int ScriptTextAccessible::selectionCount() const
{
    return box()->SendScintilla(Sci::SCI_GETSELECTIONSTART) != box()->SendScintilla(Sci::SCI_GETSELECTIONEND) ? 1 : 0;
}

void ScriptTextAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ScriptTextAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        setCursorPosition(cursorPosition());
}

void ScriptTextAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const int start = qMin(startOffset, endOffset);
    m_document->setSelStart(start);
    m_document->setSelLength(qMax(startOffset, endOffset) - start);
}

int ScriptTextAccessible::cursorPosition() const
{
    return int(m_document->toScriptPosition(box()->SendScintilla(Sci::SCI_GETCURRENTPOS)));
}

void ScriptTextAccessible::setCursorPosition(int position)
{
    m_document->setSelStart(position);
}

QString ScriptTextAccessible::text(int startOffset, int endOffset) const
{
    const qsizetype start = m_document->toDocumentPosition(qMax(0, startOffset));
    const qsizetype end = m_document->toDocumentPosition(qMax(startOffset, endOffset));
    if (end <= start)
        return QString();
    const auto* bytes = reinterpret_cast<const char*>(
        box()->SendScintilla(Sci::SCI_GETRANGEPOINTER, ulong(start), long(end - start)));
    return ScriptDocument::decode(bytes, end - start);
}

int ScriptTextAccessible::characterCount() const
{
    return int(m_document->length());
}

bool ScriptTextAccessible::unitAt(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const
{
    const int count = characterCount();
    if (offset < 0 || offset > count || (offset == count && type == QAccessible::CharBoundary))
        return false;
    if (type == QAccessible::NoBoundary) {
        *start = 0;
        *end = count;
        return true;
    }
    QsciScintilla* b = box();
    ScriptDocument* d = m_document;
    const long pos = long(d->toDocumentPosition(offset));
    if (type == QAccessible::CharBoundary) {
        *start = offset;
        *end = int(d->toScriptPosition(b->SendScintilla(Sci::SCI_POSITIONAFTER, ulong(pos))));
        return *end > *start;
    }
    // Lines are the box's own lines, each with its break; words and
    // sentences are looked for within the line, so a question about the
    // caret's surroundings never reads the whole script.
    const long line = b->SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(pos));
    const int lineStart = int(d->toScriptPosition(b->SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line))));
    const int lineEnd = int(d->toScriptPosition(b->SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line + 1))));
    if (type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary) {
        *start = lineStart;
        *end = qMax(lineEnd, lineStart);
        return true;
    }
    const QString lineText = text(lineStart, lineEnd);
    QTextBoundaryFinder finder(type == QAccessible::SentenceBoundary ? QTextBoundaryFinder::Sentence
                                                                      : QTextBoundaryFinder::Word,
                               lineText);
    const int at = qMin(offset - lineStart, int(lineText.size()));
    finder.setPosition(at);
    int from = finder.isAtBoundary() ? at : finder.toPreviousBoundary();
    finder.setPosition(at);
    int to = finder.toNextBoundary();
    if (from < 0)
        from = 0;
    if (to < 0)
        to = int(lineText.size());
    *start = lineStart + from;
    *end = lineStart + to;
    return *end >= *start;
}

QString ScriptTextAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                           int* endOffset) const
{
    int start = 0;
    int end = 0;
    if (!unitAt(offset, boundaryType, &start, &end)) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    *startOffset = start;
    *endOffset = end;
    return text(start, end);
}

QString ScriptTextAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                               int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    if (!unitAt(offset, boundaryType, &start, &end) || start == 0)
        return textAtOffset(-1, boundaryType, startOffset, endOffset);
    return textAtOffset(start - 1, boundaryType, startOffset, endOffset);
}

QString ScriptTextAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                              int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    if (!unitAt(offset, boundaryType, &start, &end) || end >= characterCount())
        return textAtOffset(-1, boundaryType, startOffset, endOffset);
    return textAtOffset(end, boundaryType, startOffset, endOffset);
}

QRect ScriptTextAccessible::characterRect(int offset) const
{
    QsciScintilla* b = box();
    ScriptDocument* d = m_document;
    if (offset < 0 || offset > characterCount())
        return QRect();
    const long pos = long(d->toDocumentPosition(offset));
    const long line = b->SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(pos));
    const int x = int(b->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, pos));
    const int y = int(b->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, pos));
    const long next = b->SendScintilla(Sci::SCI_POSITIONAFTER, ulong(pos));
    int width = 0;
    if (next > pos && b->SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(next)) == line)
        width = int(b->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, next)) - x;
    else  // a line break or the end: as wide as a blank
        width = int(b->SendScintilla(Sci::SCI_TEXTWIDTH, ulong(Sci::STYLE_DEFAULT), " "));
    const int height = int(b->SendScintilla(Sci::SCI_TEXTHEIGHT, ulong(line)));
    return QRect(b->viewport()->mapToGlobal(QPoint(x, y)), QSize(qMax(1, width), height));
}

int ScriptTextAccessible::offsetAtPoint(const QPoint& point) const
{
    QsciScintilla* b = box();
    ScriptDocument* d = m_document;
    const QPoint local = b->viewport()->mapFromGlobal(point);
    const long pos = b->SendScintilla(Sci::SCI_CHARPOSITIONFROMPOINTCLOSE, ulong(local.x()), long(local.y()));
    return pos < 0 ? -1 : int(d->toScriptPosition(pos));
}

void ScriptTextAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    QsciScintilla* b = box();
    ScriptDocument* d = m_document;
    b->SendScintilla(Sci::SCI_SCROLLRANGE, ulong(d->toDocumentPosition(endIndex)),
                     long(d->toDocumentPosition(startIndex)));
}

QString ScriptTextAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // One font and colour for the whole text.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

void ScriptTextAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void ScriptTextAccessible::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void ScriptTextAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    // Text an assistive tool types or pastes enters like pasted text.
    setSelection(0, startOffset, endOffset);
    m_document->setSelText(ScriptText::withCrLf(text));
}
