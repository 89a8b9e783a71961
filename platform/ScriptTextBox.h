#pragma once
#include "platform/BoxEvents.h"

#include <QPlainTextEdit>

// Multi-line text box whose text, selection and positions are all in the
// script's own terms: a line break is CR LF and counts as two characters.
// Assigning SelText replaces the selection (or inserts at the caret) and
// leaves the caret after the new text. Change fires for every change of the
// text, also one made by the program. Position queries map through the
// paragraph number, so they never rescan the text.
class ScriptTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ScriptTextBox(QWidget* parent = nullptr);

    QString Text() const;
    void setText(const QString& text);
    qsizetype SelStart() const;
    void setSelStart(qsizetype start);
    qsizetype SelLength() const;
    void setSelLength(qsizetype length);
    QString SelText() const;
    void setSelText(const QString& text);
    qsizetype length() const;  // length of Text() without building it
    // Text() as single-byte text plus suffix, encoded straight from the
    // document (see ScriptText::encodeFromDocument).
    QByteArray encodedText(int (*byteFor)(char16_t), QByteArrayView suffix, bool* lossy) const;
    void SetFocus();

    // Conversions between script positions and document positions.
    qsizetype toScriptPosition(int documentPosition) const;
    int toDocumentPosition(qsizetype scriptPosition) const;

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
    void insertFromMimeData(const QMimeData* source) override;

private:
    BoxEvents m_events;
};
