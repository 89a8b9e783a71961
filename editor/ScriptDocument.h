#pragma once
#include <QString>
#include <QVarLengthArray>

class QPalette;

// The script box's document as its readers see it: the script's characters
// with positions in script terms (UTF-16 code units, a CR LF counting two),
// kept in a UTF-8 Scintilla document. What screen readers see of the box and
// its colouring read the document through this, not through the box.
class ScriptDocument {
public:
    virtual ~ScriptDocument() = default;

    virtual qsizetype length() const = 0;
    virtual qsizetype SelStart() const = 0;
    virtual void setSelStart(qsizetype start) = 0;
    virtual qsizetype SelLength() const = 0;
    virtual void setSelLength(qsizetype length) = 0;
    // Replaces the selection as one change and one undo step.
    virtual void setSelText(const QString& text) = 0;
    // Conversions between script positions and document positions (bytes of
    // the UTF-8 document). A script position between CR and LF falls back to
    // the end of its line.
    virtual qsizetype toScriptPosition(qsizetype documentPosition) const = 0;
    virtual qsizetype toDocumentPosition(qsizetype scriptPosition) const = 0;
    // The problems of the line the caret is on, one message a line (none
    // while the script is read as plain text): the box's description, as a
    // screen reader hears it.
    virtual QString caretLineProblems() const = 0;

    // Text of the document's UTF-8 bytes, exactly: a leading U+FEFF is a
    // character like any other, not a byte order mark to drop.
    static QString decode(const char* utf8, qsizetype length);
    // Whether the palette draws light text on a dark background.
    static bool isDark(const QPalette& palette);
};

// Turns the UTF-16 columns of a line into byte offsets of its UTF-8 text.
class LineColumns {
public:
    LineColumns(const char* utf8, qsizetype bytes);
    qsizetype byteOffset(qsizetype column) const;
    qsizetype column(qsizetype byteOffset) const;

private:
    QVarLengthArray<qsizetype, 256> m_offsets;  // empty for plain ASCII
    qsizetype m_bytes = 0;
};
