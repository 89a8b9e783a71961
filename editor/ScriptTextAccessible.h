#pragma once
#include <QAccessibleWidget>

class QsciScintilla;
class ScriptDocument;

// What a screen reader, a magnifier or any other assistive tool sees of the
// script box: an editable multi-line text whose offsets are script
// positions, whose character extents and offset-at-point come from where the
// box really draws each character, and whose edits go through the box's own
// text assignment.
class ScriptTextAccessible : public QAccessibleWidget,
                             public QAccessibleTextInterface,
                             public QAccessibleEditableTextInterface {
public:
    ScriptTextAccessible(QsciScintilla* box, ScriptDocument* document);

    // Makes every script box answer with this interface.
    static void installFactory();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    // The text's children are its scroll bars, as a reader finds them in
    // any scrolled text (the viewport is the drawing of the text itself).
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    QsciScintilla* box() const;
    // The scroll bars shown now, horizontal first.
    QList<QWidget*> scrollBars() const;
    ScriptDocument* m_document;
    // The unit (character, word, sentence, line) around a script position;
    // false when the position lies outside the text.
    bool unitAt(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const;
};
