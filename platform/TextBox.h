#pragma once
#include "platform/BoxEvents.h"

#include <QLineEdit>

// One-line text box with the same Text / SelStart / SelLength / SelText
// operations and events as the script box.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void setText(const QString& t) { QLineEdit::setText(t); }
    qsizetype SelStart() const;
    void setSelStart(qsizetype start);
    qsizetype SelLength() const;
    void setSelLength(qsizetype length);
    QString SelText() const { return selectedText(); }
    void setSelText(const QString& text) { insert(text); }
    void SetFocus() { setFocus(Qt::OtherFocusReason); }

Q_SIGNALS:
    void Change();
    void KeyDown(int& keyCode, int shift);
    void KeyPress(int& keyAscii);
    void KeyUp(int keyCode, int shift);
    void MouseDown(int button, int shift, double x, double y);
    void DblClick();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    BoxEvents m_events;
};
