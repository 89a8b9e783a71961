#include "platform/ScriptText.h"

#include <cstring>

namespace ScriptText {

QString toDocument(QStringView script)
{
    QString out;
    out.resize(script.size());
    QChar* dst = out.data();
    const QChar* src = script.data();
    const qsizetype n = script.size();
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i].unicode();
        if (c == u'\r') {
            if (i + 1 < n && src[i + 1].unicode() == u'\n') {
                dst[w++] = QChar(u'\n');
                ++i;
            } else {
                dst[w++] = QChar(LoneCr);
            }
        } else if (c == u'\n') {
            dst[w++] = QChar(LoneLf);
        } else if (isReserved(c)) {
            dst[w++] = QChar(QChar::ReplacementCharacter);
        } else {
            dst[w++] = src[i];
        }
    }
    out.truncate(w);
    return out;
}

QString fromDocument(QStringView raw)
{
    qsizetype breaks = 0;
    for (QChar c : raw)
        if (c.unicode() == ParagraphBreak || c.unicode() == u'\n')
            ++breaks;
    QString out;
    out.resize(raw.size() + breaks);
    QChar* dst = out.data();
    qsizetype w = 0;
    for (QChar c : raw) {
        switch (c.unicode()) {
        case ParagraphBreak:
        case u'\n':
            dst[w++] = QChar(u'\r');
            dst[w++] = QChar(u'\n');
            break;
        case LoneLf:
            dst[w++] = QChar(u'\n');
            break;
        case LoneCr:
            dst[w++] = QChar(u'\r');
            break;
        default:
            dst[w++] = c;
        }
    }
    return out;
}

QByteArray encodeFromDocument(QStringView raw, ByteFor byteFor, QByteArrayView suffix, bool* lossy)
{
    // Room for every character becoming two bytes saves a counting pass over
    // the text; the pages past the end that is written are never touched.
    QByteArray out(2 * raw.size() + suffix.size(), Qt::Uninitialized);
    char* const begin = out.data();
    char* dst = begin;
    bool lost = false;
    const char16_t* src = raw.utf16();
    const char16_t* const end = src + raw.size();
    while (src != end) {
        const char16_t c = *src++;
        if (c < 0x80 && c != u'\n') {
            *dst++ = char(c);
            continue;
        }
        switch (c) {
        case ParagraphBreak:
        case u'\n':
            *dst++ = '\r';
            *dst++ = '\n';
            break;
        case LoneLf:
            *dst++ = '\n';
            break;
        case LoneCr:
            *dst++ = '\r';
            break;
        default: {
            const int b = byteFor(c);
            if (b < 0) {
                *dst++ = '?';
                lost = true;
            } else {
                *dst++ = char(b);
            }
        }
        }
    }
    if (!suffix.isEmpty())
        std::memcpy(dst, suffix.data(), size_t(suffix.size()));
    out.truncate((dst - begin) + suffix.size());
    if (lossy)
        *lossy = lost;
    return out;
}

}  // namespace ScriptText
