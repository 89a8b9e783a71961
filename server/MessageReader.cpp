#include "server/MessageReader.h"

#include <algorithm>

namespace {

// Where the header block starting at from ends (just after its empty line),
// or -1 when its end has not come yet.
qsizetype headerEnd(const QByteArray& buffer, qsizetype from)
{
    qsizetype lineStart = from;
    while (true) {
        const qsizetype lf = buffer.indexOf('\n', lineStart);
        if (lf < 0)
            return -1;
        const qsizetype length = lf - lineStart - (lf > lineStart && buffer[lf - 1] == '\r' ? 1 : 0);
        if (length == 0 && lineStart > from)
            return lf + 1;
        // A block that starts with an empty line: stray line ends between
        // messages, passed over.
        if (length == 0)
            from = lf + 1;
        lineStart = lf + 1;
    }
}

// The Content-Length of a header block: -1 when missing, -2 when not a
// number or too large.
qsizetype contentLength(QByteArrayView block)
{
    static constexpr QByteArrayView Name = "content-length:";
    qsizetype found = -1;
    qsizetype lineStart = 0;
    while (lineStart < block.size()) {
        qsizetype lf = block.indexOf('\n', lineStart);
        if (lf < 0)
            lf = block.size();
        QByteArrayView line = block.sliced(lineStart, lf - lineStart);
        lineStart = lf + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArray lowered = line.toByteArray().toLower();
        const qsizetype at = lowered.indexOf(Name);
        if (at < 0)
            continue;
        const QByteArrayView value = line.sliced(at + Name.size()).trimmed();
        if (value.isEmpty() || value.size() > 12 ||
            !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return -2;
        found = value.toLongLong();
        if (found > MessageReader::LargestContent)
            return -2;
    }
    return found;
}

}  // namespace

void MessageReader::feed(QByteArrayView bytes)
{
    // Bytes already read are dropped once they are the larger part.
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes);
}

std::optional<MessageReader::Item> MessageReader::next()
{
    while (true) {
        if (m_contentLength >= 0) {
            if (pending() < m_contentLength)
                return std::nullopt;
            Item item{m_buffer.mid(m_start, m_contentLength), QString()};
            m_start += m_contentLength;
            m_contentLength = -1;
            return item;
        }
        if (m_skipping) {
            // Up to the first empty line, wherever the bytes were cut.
            const qsizetype lf = m_buffer.indexOf("\n\n", m_start);
            const qsizetype crlf = m_buffer.indexOf("\n\r\n", m_start);
            const qsizetype end = lf < 0 ? (crlf < 0 ? -1 : crlf + 3) : (crlf < 0 || lf < crlf ? lf + 2 : crlf + 3);
            if (end < 0) {
                m_start = std::max(m_start, m_buffer.size() - 2);
                return std::nullopt;
            }
            m_start = end;
            m_skipping = false;
            continue;
        }
        const qsizetype end = headerEnd(m_buffer, m_start);
        if (end < 0) {
            if (pending() <= LargestHeader)
                return std::nullopt;
            m_skipping = true;
            return Item{QByteArray(), QStringLiteral("header longer than %1 bytes").arg(LargestHeader)};
        }
        const QByteArrayView block = QByteArrayView(m_buffer).sliced(m_start, end - m_start);
        m_start = end;
        if (block.trimmed().isEmpty())
            continue;
        if (block.size() > LargestHeader)
            return Item{QByteArray(), QStringLiteral("header longer than %1 bytes").arg(LargestHeader)};
        const qsizetype length = contentLength(block);
        if (length == -1)
            return Item{QByteArray(), QStringLiteral("header without Content-Length")};
        if (length < 0)
            return Item{QByteArray(), QStringLiteral("Content-Length is not a number of at most %1").arg(LargestContent)};
        m_contentLength = length;
    }
}
