#pragma once
#include "language/LineMarkup.h"
#include "editor/Qsci.h"

#include <memory>

// The line markup's context of the script in a box (see
// LineMarkup::Context), read from the document when first asked and kept
// until a change touches a line that can alter it: the first line, or a line
// that holds or receives a context character. Line breaks added or removed
// elsewhere only move the lines after them, whose numbers the context's
// lines follow; nothing is read again.
class MarkupContext {
public:
    MarkupContext(const LineMarkup& markup, const QsciScintillaBase& box);

    // The context of the text as it is now. renewed, when given, tells
    // whether it was read again since the last call that asked so.
    const LineMarkup::Context& current(bool* renewed = nullptr);
    // Told before the document inserts text (inserted, length bytes) or
    // deletes length bytes (inserted nullptr) at a position.
    void beforeChange(long position, const char* inserted, long length);

private:
    bool holdsContextCharacter(const char* bytes, long length) const;
    bool isContextLine(long line) const;
    void shiftLines();
    void read();

    const LineMarkup& m_markup;
    const QsciScintillaBase& m_box;
    QByteArray m_characters;  // contextCharacters(), as the document's bytes
    QList<LineMarkup::IndexedLine> m_lines;  // what the context was made of, in order
    std::unique_ptr<LineMarkup::Context> m_context;
    // A change that may add or remove line breaks after this line, and the
    // line count before it; -1 when none is pending.
    long m_shiftAfter = -1;
    long m_linesBefore = 0;
    bool m_stale = true;
    bool m_renewedUnseen = false;
};
