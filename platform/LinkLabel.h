#pragma once
#include <QLabel>

// A label that works as a link for the keyboard and for screen readers: Tab
// reaches it, Enter, Return or Space presses it, and a screen reader sees a
// link with a "Press" action. What pressing does and how the link looks
// while it has the focus are up to its owner (Activated, FocusChanged); the
// mouse is left to the owner as well.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent);
    // Presses the link, as the keyboard and a screen reader do.
    void activate();

Q_SIGNALS:
    void Activated();
    void FocusChanged(bool hasFocus);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};
