#pragma once
#include "language/LineMarkup.h"
#include "editor/Qsci.h"

#include <memory>

// The line markup's context of the script in a box (see
// LineMarkup::Context), read from the document when first asked and kept
// until a change touches a line that can alter it: the first line, a line
// that holds or receives a context character, or a line break (which moves
// every later line). Typing in any other line reads nothing again.
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
    void read();

    const LineMarkup& m_markup;
    const QsciScintillaBase& m_box;
    QByteArray m_characters;  // contextCharacters(), as the document's bytes
    std::unique_ptr<LineMarkup::Context> m_context;
    bool m_stale = true;
    bool m_renewedUnseen = false;
};
