#include "platform/ScriptText.h"

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

}  // namespace ScriptText
