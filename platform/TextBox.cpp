#include "platform/TextBox.h"

#include "platform/KeyCodes.h"

#include <QKeyEvent>
#include <QMouseEvent>

TextBox::TextBox(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &TextBox::Change);
}

qsizetype TextBox::SelStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TextBox::setSelStart(qsizetype start)
{
    setCursorPosition(int(qBound<qsizetype>(0, start, text().size())));
}

qsizetype TextBox::SelLength() const
{
    return hasSelectedText() ? selectedText().size() : 0;
}

void TextBox::setSelLength(qsizetype length)
{
    const int start = int(SelStart());
    const int len = int(qBound<qsizetype>(0, length, text().size() - start));
    if (len == 0)
        setCursorPosition(start);
    else
        setSelection(start, len);
}

void TextBox::keyPressEvent(QKeyEvent* e)
{
    if (!e->isAutoRepeat())
        m_pressModifiers.insert(e->key(), e->modifiers());
    int code = KeyCodes::keyCode(e);
    Q_EMIT KeyDown(code, KeyCodes::shiftState(e->modifiers()));
    int ascii = KeyCodes::characterCode(e);
    if (ascii != 0) {
        Q_EMIT KeyPress(ascii);
        if (ascii == 0) {
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void TextBox::keyReleaseEvent(QKeyEvent* e)
{
    QLineEdit::keyReleaseEvent(e);
    if (e->isAutoRepeat())
        return;
    // A quick Ctrl+S may let go of Ctrl a moment before S: the shift state
    // of a key's release includes what was held when it went down.
    const Qt::KeyboardModifiers held = e->modifiers() | m_pressModifiers.take(e->key());
    Q_EMIT KeyUp(KeyCodes::keyCode(e->key(), held), KeyCodes::shiftState(held));
}

void TextBox::mousePressEvent(QMouseEvent* e)
{
    Q_EMIT MouseDown(KeyCodes::mouseButton(e->button()), KeyCodes::shiftState(e->modifiers()),
                     e->position().x() * 15.0, e->position().y() * 15.0);
    QLineEdit::mousePressEvent(e);
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    Q_EMIT DblClick();
}
