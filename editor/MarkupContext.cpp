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

void MarkupContext::beforeChange(long position, const char* inserted, long length)
{
    if (m_stale || length <= 0)
        return;
    const long firstLine = m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(position));
    long lastLine = firstLine;
    if (inserted) {
        if (holdsContextCharacter(inserted, length) || std::memchr(inserted, '\r', size_t(length)) ||
            std::memchr(inserted, '\n', size_t(length))) {
            m_stale = true;
            return;
        }
    } else {
        lastLine = m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(position + length));
    }
    if (firstLine == 0 || lastLine != firstLine) {
        m_stale = true;
        return;
    }
    const long begin = m_box.SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(firstLine));
    const long end = m_box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, ulong(lastLine));
    const auto* bytes =
        reinterpret_cast<const char*>(m_box.SendScintilla(Sci::SCI_GETRANGEPOINTER, ulong(begin), end - begin));
    m_stale = holdsContextCharacter(bytes, end - begin);
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
    QList<LineMarkup::IndexedLine> lines;
    lines.reserve(qsizetype(indexes.size()));
    for (const long line : indexes) {
        const long begin = m_box.SendScintilla(Sci::SCI_POSITIONFROMLINE, ulong(line));
        const long end = m_box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, ulong(line));
        lines.append({line, ScriptDocument::decode(text + begin, end - begin)});
    }
    m_context = m_markup.scriptContext(lines);
}

const LineMarkup::Context& MarkupContext::current(bool* renewed)
{
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
