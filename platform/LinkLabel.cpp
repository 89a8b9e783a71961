#include "platform/LinkLabel.h"

#include "platform/Accessibility.h"

#include <QKeyEvent>

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    Accessibility::install();
    setTextFormat(Qt::PlainText);
    // No text interaction of the label's own, so that mouse events travel on
    // to the owner; then reached with Tab, and a click does not take the focus.
    setTextInteractionFlags(Qt::NoTextInteraction);
    setFocusPolicy(Qt::TabFocus);
}

void LinkLabel::activate()
{
    Q_EMIT Activated();
}

void LinkLabel::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // Taken here, so that Enter does not also press the dialog's default button.
        e->accept();
        if (!e->isAutoRepeat())
            activate();
        return;
    default:
        QLabel::keyPressEvent(e);
    }
}

void LinkLabel::focusInEvent(QFocusEvent* e)
{
    QLabel::focusInEvent(e);
    Q_EMIT FocusChanged(true);
}

void LinkLabel::focusOutEvent(QFocusEvent* e)
{
    QLabel::focusOutEvent(e);
    Q_EMIT FocusChanged(false);
}
