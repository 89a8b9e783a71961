#include "platform/ScriptTextBox.h"

#include "platform/KeyCodes.h"
#include "platform/ScriptText.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

ScriptTextBox::ScriptTextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    connect(this, &QPlainTextEdit::textChanged, this, &ScriptTextBox::Change);
}

QString ScriptTextBox::Text() const
{
    return ScriptText::fromDocument(document()->toRawText());
}

QByteArray ScriptTextBox::encodedText(int (*byteFor)(char16_t), QByteArrayView suffix, bool* lossy) const
{
    return ScriptText::encodeFromDocument(document()->toRawText(), byteFor, suffix, lossy);
}

void ScriptTextBox::setText(const QString& text)
{
    setPlainText(ScriptText::toDocument(text));
}

qsizetype ScriptTextBox::length() const
{
    const QTextDocument* doc = document();
    // characterCount counts one separator per paragraph plus a final one.
    return qsizetype(doc->characterCount() - 1) + (doc->blockCount() - 1);
}

qsizetype ScriptTextBox::toScriptPosition(int documentPosition) const
{
    const QTextBlock block = document()->findBlock(documentPosition);
    const int number = block.isValid() ? block.blockNumber() : document()->blockCount() - 1;
    return qsizetype(documentPosition) + number;
}

int ScriptTextBox::toDocumentPosition(qsizetype scriptPosition) const
{
    const QTextDocument* doc = document();
    if (scriptPosition <= 0)
        return 0;
    if (scriptPosition >= length())
        return doc->characterCount() - 1;
    // Find the last paragraph whose start, in script terms, is <= the position.
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        const QTextBlock b = doc->findBlockByNumber(mid);
        if (qsizetype(b.position()) + mid <= scriptPosition)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const qsizetype offset = scriptPosition - (qsizetype(block.position()) + lo);
    const int textLength = block.length() - 1;
    // A position between CR and LF falls back to the end of the line.
    return block.position() + int(qMin<qsizetype>(offset, textLength));
}

qsizetype ScriptTextBox::SelStart() const
{
    return toScriptPosition(textCursor().selectionStart());
}

void ScriptTextBox::setSelStart(qsizetype start)
{
    QTextCursor c = textCursor();
    c.setPosition(toDocumentPosition(qMax<qsizetype>(0, start)));
    setTextCursor(c);
}

qsizetype ScriptTextBox::SelLength() const
{
    const QTextCursor c = textCursor();
    return toScriptPosition(c.selectionEnd()) - toScriptPosition(c.selectionStart());
}

void ScriptTextBox::setSelLength(qsizetype length)
{
    const qsizetype start = SelStart();
    QTextCursor c = textCursor();
    c.setPosition(toDocumentPosition(start));
    c.setPosition(toDocumentPosition(start + qMax<qsizetype>(0, length)), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString ScriptTextBox::SelText() const
{
    return ScriptText::fromDocument(textCursor().selectedText());
}

void ScriptTextBox::setSelText(const QString& text)
{
    QTextCursor c = textCursor();
    const QString converted = ScriptText::toDocument(text);
    if (converted.isEmpty() && !c.hasSelection())
        return;
    c.insertText(converted);
    setTextCursor(c);
}

void ScriptTextBox::insertFromMimeData(const QMimeData* source)
{
    // Text pasted by the user ends its lines the way its source did; every
    // CR LF, lone CR or lone LF in it becomes a line of the script.
    if (!source->hasText())
        return;
    QString text = source->text();
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            lines.append(u'\n');
        } else if (ScriptText::isReserved(c.unicode())) {
            lines.append(QChar(QChar::ReplacementCharacter));
        } else {
            lines.append(c);
        }
    }
    QTextCursor c = textCursor();
    c.insertText(lines);
    setTextCursor(c);
}

void ScriptTextBox::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
}

void ScriptTextBox::keyPressEvent(QKeyEvent* e)
{
    if (m_events.keyPress(this, e)) {
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void ScriptTextBox::keyReleaseEvent(QKeyEvent* e)
{
    QPlainTextEdit::keyReleaseEvent(e);
    m_events.keyRelease(this, e);
}

void ScriptTextBox::mousePressEvent(QMouseEvent* e)
{
    BoxEvents::mousePress(this, e);
    QPlainTextEdit::mousePressEvent(e);
}

void ScriptTextBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    QPlainTextEdit::mouseDoubleClickEvent(e);
    Q_EMIT DblClick();
}
