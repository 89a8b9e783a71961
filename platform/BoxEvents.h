#pragma once
#include "platform/KeyCodes.h"

#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>

// Key and mouse events of the text boxes, reported with the desktop's codes.
// Shared by the one-line and the multi-line box, which declare the same
// KeyDown, KeyPress, KeyUp and MouseDown signals.
class BoxEvents {
public:
    // Reports KeyDown and KeyPress; true when a handler swallowed the key
    // (set its code or character to 0), so the box must not see it.
    template <class Box>
    bool keyPress(Box* box, QKeyEvent* e)
    {
        if (!e->isAutoRepeat())
            m_pressModifiers.insert(e->key(), e->modifiers());
        const int original = KeyCodes::keyCode(e);
        int code = original;
        Q_EMIT box->KeyDown(code, KeyCodes::shiftState(e->modifiers()));
        if (code == 0 && original != 0)
            return true;
        int ascii = KeyCodes::characterCode(e);
        if (ascii != 0) {
            Q_EMIT box->KeyPress(ascii);
            if (ascii == 0)
                return true;
        }
        return false;
    }

    // Reports KeyUp once per key (not for auto-repeat). A quick Ctrl+S may
    // let go of Ctrl a moment before S: the shift state of a key's release
    // includes what was held when it went down.
    template <class Box>
    void keyRelease(Box* box, QKeyEvent* e)
    {
        if (e->isAutoRepeat())
            return;
        const Qt::KeyboardModifiers held = e->modifiers() | m_pressModifiers.take(e->key());
        Q_EMIT box->KeyUp(KeyCodes::keyCode(e->key(), held), KeyCodes::shiftState(held));
    }

    template <class Box>
    static void mousePress(Box* box, QMouseEvent* e)
    {
        Q_EMIT box->MouseDown(KeyCodes::mouseButton(e->button()), KeyCodes::shiftState(e->modifiers()),
                              e->position().x() * 15.0, e->position().y() * 15.0);
    }

private:
    QHash<int, Qt::KeyboardModifiers> m_pressModifiers;
};
