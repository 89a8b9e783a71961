#pragma once
#include "platform/BoxEvents.h"
#include "language/LineMarkup.h"
#include "editor/Qsci.h"
#include "editor/ScriptDocument.h"

#include <functional>
#include <memory>

class MarkupContext;
class ScriptLexer;

// Multi-line text box whose text, selection and positions are all in the
// script's own terms: the document holds the script's real characters, a
// CR LF counts as two characters, and every byte value a script file can
// hold survives. Assigning SelText replaces the selection (or inserts at the
// caret) and leaves the caret after the new text. Change fires for every
// change of the text, also one made by the program, once per assignment.
// Positions convert through the document's UTF-16 line index, so they never
// rescan the text.
class ScriptTextBox : public QsciScintilla, public ScriptDocument {
    Q_OBJECT
public:
    explicit ScriptTextBox(QWidget* parent = nullptr);
    ~ScriptTextBox() override;

    QString Text() const;
    // Replaces the whole text as one undo step; the caret goes to the start.
    void setText(const QString& text) override;
    // Replaces the whole text with a document that has no undo history (a
    // script just opened).
    void loadText(const QString& text);
    // The same for UTF-8 text that produce hands to its argument in pieces,
    // each ending between two characters and never between a CR and its LF;
    // bytes is about how much there is. The text must hold only characters
    // the document holds as themselves (no lone surrogate, no noncharacter),
    // as a script file's do.
    using Utf8Sink = std::function<void(QByteArrayView)>;
    void loadUtf8(qsizetype bytes, const std::function<void(const Utf8Sink&)>& produce);
    // Room the document keeps beyond a script put in whole: without it the
    // first key typed has Scintilla copy the text and its styles into
    // larger buffers (69 ms in a 50 MB script).
    static constexpr qsizetype RoomToType = 64 * 1024;
    qsizetype SelStart() const override;
    void setSelStart(qsizetype start) override;
    qsizetype SelLength() const override;
    void setSelLength(qsizetype length) override;
    QString SelText() const;
    void setSelText(const QString& text) override;
    qsizetype length() const override;  // length of Text() without building it
    // The editing commands, each one change of the text.
    void undo() override;
    void redo() override;
    void cut() override;
    void paste() override;
    void clear() override;
    // Inserts what derive makes of the selected text, as the document holds
    // it (UTF-8), right after the selection, as one change; the caret goes
    // after it. derive must give whole UTF-8 characters.
    void insertAfterSelection(QByteArray (*derive)(QByteArrayView));
    // Forgets every edit so far: nothing is left to undo or redo.
    void emptyUndoBuffer();
    void SetFocus();

    // Colours the lines, underlines their problems, numbers them and offers
    // completions as the markup reads them (nullptr: plain text, the default).
    // F8 and Shift+F8 then go to the next and previous problem, Ctrl+Space
    // completes the word before the caret. The markup must outlive the box.
    void setLineMarkup(const LineMarkup* markup);
    // Selects the next (or previous) problem after (or before) the caret,
    // round the end of the script, and shows its message; false when the
    // script has none.
    bool goToProblem(bool forward);
    // Lists the names that complete the word before the caret.
    void complete();
    QString caretLineProblems() const override;
    // When the caret's line refers to another (a jump to a loop), puts the
    // caret at the start of that line, scrolled into view (F12; Ctrl+click
    // on the reference does the same); false when it refers to none.
    bool goToDefinition();

    qsizetype toScriptPosition(qsizetype documentPosition) const override;
    qsizetype toDocumentPosition(qsizetype scriptPosition) const override;

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
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void changeEvent(QEvent* e) override;
    // Every way text leaves or enters the box (copy, cut, paste, the X11
    // selection, dragging) goes through these two.
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;

private:
    class ChangeScope;
    void textModified();
    void tellAssistiveTools(int position, int modificationType, const char* text, int length);
    void caretMoved(int updated);
    void describeCaretLine();
    void dwellStarted(int position, int x, int y);
    void fitLineNumbers();
    struct DocumentLine;
    DocumentLine documentLine(long line, bool whole = false) const;
    const LineMarkup::Context* scriptContext() const;
    QList<LineMarkup::Problem> lineProblems(const DocumentLine& line, const LineMarkup::Context* context) const;
    bool goToDefinitionAt(long position, bool onReferenceOnly);
    void showMessageAt(long position, const QString& message);
    void applyLook();
    void bindKeys();
    void replaceAll(const QString& text);
    void replaceSelection(const QByteArray& utf8);
    void replaceTarget(const QByteArray& utf8);
    bool editsLongLine(QKeyEvent* e);
    bool replacesHiddenText(QKeyEvent* e);
    bool selectionReachesHidden() const;
    void showCaretPart();
    void replaceAllUtf8(qsizetype bytes, const std::function<void(const Utf8Sink&)>& produce);
    qsizetype documentLength() const;
    void useLineIndex() const;

    BoxEvents m_events;
    const LineMarkup* m_markup = nullptr;
    std::unique_ptr<MarkupContext> m_context;
    std::unique_ptr<ScriptLexer> m_lexer;
    int m_numberDigits = 0;
    int m_changing = 0;         // > 0 inside a change scope
    bool m_changedMeanwhile = false;
    long m_shownLine = -1;   // the caret's line when its shown part was last placed
    long m_shownStart = 0;   // where that part starts in it, 0 for all other lines
};
