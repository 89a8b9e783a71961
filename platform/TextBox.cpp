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
    if (m_events.keyPress(this, e)) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TextBox::keyReleaseEvent(QKeyEvent* e)
{
    QLineEdit::keyReleaseEvent(e);
    m_events.keyRelease(this, e);
}

void TextBox::mousePressEvent(QMouseEvent* e)
{
    BoxEvents::mousePress(this, e);
    QLineEdit::mousePressEvent(e);
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    Q_EMIT DblClick();
}
