#include "editor/MarkupContext.h"

#include "editor/ScriptDocument.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
using Sci = QsciScintillaBase;
}

MarkupContext::MarkupContext(const LineMarkup& markup, const QsciScintillaBase& box)
    : m_markup(markup), m_box(box), m_characters(markup.contextCharacters().toString().toUtf8())
{
}

bool MarkupContext::holdsContextCharacter(const char* bytes, long length) const
{
    if (!bytes || length <= 0)
        return false;
    for (const char c : m_characters)
        if (std::memchr(bytes, c, size_t(length)))
            return true;
    return false;
}

bool MarkupContext::isContextLine(long line) const
{
    const auto at = std::lower_bound(m_lines.begin(), m_lines.end(), line,
                                     [](const LineMarkup::IndexedLine& l, long index) { return l.index < index; });
    return at != m_lines.end() && at->index == line;
}

void MarkupContext::beforeChange(long position, const char* inserted, long length)
{
    if (m_stale || length <= 0)
        return;
    shiftLines();
    const long firstLine = m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(position));
    const long lastLine =
        inserted ? firstLine : long(m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(position + length)));
    // The first line, a line of the context, or a context character coming
    // in: the context is read again. Lines of the context between the ends
    // of a deletion are among those looked at.
    bool touches = firstLine == 0 || (inserted && holdsContextCharacter(inserted, length));
    if (!touches) {
        const auto from = std::lower_bound(
            m_lines.begin(), m_lines.end(), firstLine,
            [](const LineMarkup::IndexedLine& l, long index) { return l.index < index; });
        touches = from != m_lines.end() && from->index <= lastLine;
    }
    if (touches) {
        m_stale = true;
        return;
    }
    m_shiftAfter = firstLine;
    m_linesBefore = m_box.SendScintilla(Sci::SCI_GETLINECOUNT);
}

// The lines after the changed one move by as many lines as the change
// added or removed.
void MarkupContext::shiftLines()
{
    if (m_shiftAfter < 0)
        return;
    const long moved = m_box.SendScintilla(Sci::SCI_GETLINECOUNT) - m_linesBefore;
    const long after = m_shiftAfter;
    m_shiftAfter = -1;
    if (moved == 0)
        return;
    for (LineMarkup::IndexedLine& line : m_lines)
        if (line.index > after)
            line.index += moved;
    m_context = m_markup.scriptContext(m_lines);
}

// The first line and every line that holds a context character, found by a
// byte search over the document (the characters are ASCII, so a byte match
// is a character match in UTF-8).
void MarkupContext::read()
{
    const long size = m_box.SendScintilla(Sci::SCI_GETLENGTH);
    const auto* text = static_cast<const char*>(m_box.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    std::vector<long> indexes{0};
    for (const char c : m_characters) {
        long from = 0;
        while (from < size) {
            const auto* hit = static_cast<const char*>(std::memchr(text + from, c, size_t(size - from)));
            if (!hit)
                break;
            const long line = m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(hit - text));
            indexes.push_back(line);
            // On to the next line (Scintilla answers -1 after the last).
            const long next = m_box.SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line + 1));
            from = next > hit - text ? next : size;
        }
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    m_lines.clear();
    m_lines.reserve(qsizetype(indexes.size()));
    for (const long line : indexes) {
        const long begin = m_box.SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line));
        const long end = m_box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, ulong(line));
        m_lines.append({line, ScriptDocument::decode(text + begin, end - begin)});
    }
    m_shiftAfter = -1;
    m_context = m_markup.scriptContext(m_lines);
}

const LineMarkup::Context& MarkupContext::current(bool* renewed)
{
    shiftLines();
    if (m_stale || !m_context) {
        read();
        m_stale = false;
        m_renewedUnseen = true;
    }
    if (renewed) {
        *renewed = m_renewedUnseen;
        m_renewedUnseen = false;
    }
    return *m_context;
}
