#include "editor/ScriptDocument.h"

#include <QPalette>
#include <QStringDecoder>

#include <algorithm>

QString ScriptDocument::decode(const char* utf8, qsizetype length)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(utf8, length));
}

bool ScriptDocument::isDark(const QPalette& palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

LineColumns::LineColumns(const char* utf8, qsizetype bytes) : m_bytes(bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(utf8);
    qsizetype i = 0;
    while (i < bytes && s[i] < 0x80)
        ++i;
    if (i == bytes)
        return;  // every column is its byte
    for (qsizetype c = 0; c < i; ++c)
        m_offsets.append(c);
    while (i < bytes) {
        const unsigned char b = s[i];
        const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        m_offsets.append(i);
        if (length == 4)
            m_offsets.append(i);  // the second half of a surrogate pair
        i += length;
    }
}

qsizetype LineColumns::byteOffset(qsizetype column) const
{
    if (m_offsets.isEmpty())
        return qBound<qsizetype>(0, column, m_bytes);
    if (column >= m_offsets.size())
        return m_bytes;
    return m_offsets[qMax<qsizetype>(0, column)];
}

qsizetype LineColumns::column(qsizetype byteOffset) const
{
    if (m_offsets.isEmpty())
        return qBound<qsizetype>(0, byteOffset, m_bytes);
    const auto at = std::lower_bound(m_offsets.begin(), m_offsets.end(), byteOffset);
    return at - m_offsets.begin();
}
