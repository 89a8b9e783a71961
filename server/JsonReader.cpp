#include "server/JsonReader.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

#include <charconv>
#include <cmath>
#include <string_view>

namespace JsonReader {
namespace {

// Protocol messages have a handful of members; an object with more is read
// by QJsonDocument, whose look-up of duplicates does not grow with the
// square of their number.
constexpr qsizetype MostMembers = 256;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The code unit of four hex digits at p (stop is where the string ends).
bool hex4(const unsigned char* p, const unsigned char* stop, char16_t* unit)
{
    if (stop - p < 4)
        return false;
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexValue(p[i]);
        if (digit < 0)
            return false;
        value = value * 16 + digit;
    }
    *unit = char16_t(value);
    return true;
}

bool isContinuation(const unsigned char* p, const unsigned char* stop, int count)
{
    if (stop - p <= count)
        return false;
    for (int i = 1; i <= count; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return false;
    return true;
}

bool isNoncharacter(char32_t c)
{
    return (c & 0xFFFE) == 0xFFFE || (c >= 0xFDD0 && c <= 0xFDEF);
}

class Reader {
public:
    explicit Reader(QByteArrayView json) : m_at(json.data()), m_end(json.data() + json.size()) {}

    std::optional<QJsonObject> message()
    {
        skipBlanks();
        QJsonObject object;
        if (!readObject(object, 0))
            return std::nullopt;
        skipBlanks();
        if (m_at != m_end)
            return std::nullopt;
        return object;
    }

private:
    void skipBlanks()
    {
        while (m_at < m_end && (*m_at == ' ' || *m_at == '\t' || *m_at == '\n' || *m_at == '\r'))
            ++m_at;
    }

    bool take(char c)
    {
        if (m_at < m_end && *m_at == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool readObject(QJsonObject& out, int depth)
    {
        if (depth >= MostDepth || !take('{'))
            return false;
        skipBlanks();
        if (take('}'))
            return true;
        for (;;) {
            skipBlanks();
            QString key;
            if (!readString(key))
                return false;
            skipBlanks();
            if (!take(':'))
                return false;
            QJsonValue value;
            if (!readValue(value, depth + 1) || out.size() == MostMembers || out.contains(key))
                return false;
            out.insert(key, value);
            skipBlanks();
            if (take('}'))
                return true;
            if (!take(','))
                return false;
        }
    }

    bool readArray(QJsonArray& out, int depth)
    {
        if (depth >= MostDepth || !take('['))
            return false;
        skipBlanks();
        if (take(']'))
            return true;
        for (;;) {
            QJsonValue value;
            if (!readValue(value, depth + 1))
                return false;
            out.append(value);
            skipBlanks();
            if (take(']'))
                return true;
            if (!take(','))
                return false;
        }
    }

    bool readValue(QJsonValue& out, int depth)
    {
        skipBlanks();
        if (m_at == m_end)
            return false;
        switch (*m_at) {
        case '{': {
            QJsonObject object;
            if (!readObject(object, depth))
                return false;
            out = object;
            return true;
        }
        case '[': {
            QJsonArray array;
            if (!readArray(array, depth))
                return false;
            out = array;
            return true;
        }
        case '"': {
            QString text;
            if (!readString(text))
                return false;
            out = text;
            return true;
        }
        case 't':
            return readWord("true", QJsonValue(true), out);
        case 'f':
            return readWord("false", QJsonValue(false), out);
        case 'n':
            return readWord("null", QJsonValue(QJsonValue::Null), out);
        default:
            return readNumber(out);
        }
    }

    bool readWord(std::string_view word, const QJsonValue& value, QJsonValue& out)
    {
        if (size_t(m_end - m_at) < word.size() || std::string_view(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        out = value;
        return true;
    }

    // JSON's own number form, kept as QJsonDocument keeps it: a whole
    // number that fits 64 bits as one, anything else as a double.
    bool readNumber(QJsonValue& out)
    {
        const char* const start = m_at;
        const char* p = m_at;
        if (p < m_end && *p == '-')
            ++p;
        if (p < m_end && *p == '0') {
            ++p;
        } else if (p < m_end && *p >= '1' && *p <= '9') {
            while (p < m_end && isDigit(*p))
                ++p;
        } else {
            return false;
        }
        bool whole = true;
        if (p < m_end && *p == '.') {
            whole = false;
            const char* digits = ++p;
            while (p < m_end && isDigit(*p))
                ++p;
            if (p == digits)
                return false;
        }
        if (p < m_end && (*p == 'e' || *p == 'E')) {
            whole = false;
            ++p;
            if (p < m_end && (*p == '+' || *p == '-'))
                ++p;
            const char* digits = p;
            while (p < m_end && isDigit(*p))
                ++p;
            if (p == digits)
                return false;
        }
        m_at = p;
        if (whole) {
            qint64 n = 0;
            const auto [end, error] = std::from_chars(start, p, n);
            if (error == std::errc() && end == p) {
                out = QJsonValue(n);
                return true;
            }
        }
        double d = 0;
        const auto [end, error] = std::from_chars(start, p, d);
        if (error != std::errc() || end != p || !std::isfinite(d))
            return false;
        // A whole value within 64 bits is kept as a whole number, whatever
        // its form ("1.0", "2e3").
        constexpr double Limit = 9223372036854775808.0;  // 2^63
        if (d == std::trunc(d) && d >= -Limit && d < Limit)
            out = QJsonValue(qint64(d));
        else
            out = QJsonValue(d);
        return true;
    }

    // A string, written straight into its characters: a run of plain ASCII
    // costs a copy of each byte, not an append.
    bool readString(QString& out)
    {
        if (!take('"'))
            return false;
        // The closing quote is the first one not escaped.
        const char* close = m_at;
        while (close < m_end && *close != '"') {
            if (*close == '\\' && ++close == m_end)
                break;
            ++close;
        }
        if (close >= m_end)
            return false;
        // Never more code units than bytes: an escape is shorter than its
        // bytes, and a character of four UTF-8 bytes is two code units.
        out = QString(close - m_at, Qt::Uninitialized);
        char16_t* const begin = reinterpret_cast<char16_t*>(out.data());
        char16_t* dst = begin;
        const auto* p = reinterpret_cast<const unsigned char*>(m_at);
        const auto* const stop = reinterpret_cast<const unsigned char*>(close);
        while (p < stop) {
            const unsigned char b = *p;
            if (b >= 0x20 && b < 0x80 && b != '\\') {
                *dst++ = b;
                ++p;
            } else if (b == '\\') {
                if (!readEscape(p, stop, dst))
                    return false;
            } else if (!readUtf8(p, stop, dst)) {
                return false;
            }
        }
        out.truncate(dst - begin);
        m_at = close + 1;
        return true;
    }

    static bool readEscape(const unsigned char*& p, const unsigned char* stop, char16_t*& dst)
    {
        if (stop - p < 2)
            return false;
        const unsigned char kind = p[1];
        p += 2;
        switch (kind) {
        case '"': *dst++ = u'"'; return true;
        case '\\': *dst++ = u'\\'; return true;
        case '/': *dst++ = u'/'; return true;
        case 'b': *dst++ = u'\b'; return true;
        case 'f': *dst++ = u'\f'; return true;
        case 'n': *dst++ = u'\n'; return true;
        case 'r': *dst++ = u'\r'; return true;
        case 't': *dst++ = u'\t'; return true;
        case 'u': break;
        default: return false;
        }
        char16_t unit = 0;
        if (!hex4(p, stop, &unit))
            return false;
        p += 4;
        if (QChar::isLowSurrogate(unit))
            return false;
        if (QChar::isHighSurrogate(unit)) {
            char16_t low = 0;
            if (stop - p < 6 || p[0] != '\\' || p[1] != 'u' || !hex4(p + 2, stop, &low) || !QChar::isLowSurrogate(low))
                return false;
            p += 6;
            *dst++ = unit;
            unit = low;
        }
        *dst++ = unit;
        return true;
    }

    // One character of two to four UTF-8 bytes, neither overlong nor a
    // surrogate nor past U+10FFFF nor a noncharacter.
    static bool readUtf8(const unsigned char*& p, const unsigned char* stop, char16_t*& dst)
    {
        const unsigned char b = *p;
        char32_t c = 0;
        if (b >= 0xC2 && b < 0xE0) {
            if (!isContinuation(p, stop, 1))
                return false;
            c = char32_t(b & 0x1F) << 6 | (p[1] & 0x3F);
            p += 2;
        } else if (b >= 0xE0 && b < 0xF0) {
            if (!isContinuation(p, stop, 2) || (b == 0xE0 && p[1] < 0xA0) || (b == 0xED && p[1] >= 0xA0))
                return false;
            c = char32_t(b & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            p += 3;
        } else if (b >= 0xF0 && b < 0xF5) {
            if (!isContinuation(p, stop, 3) || (b == 0xF0 && p[1] < 0x90) || (b == 0xF4 && p[1] >= 0x90))
                return false;
            c = char32_t(b & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 | char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
            p += 4;
        } else {
            return false;
        }
        if (isNoncharacter(c))
            return false;
        if (QChar::requiresSurrogates(c)) {
            *dst++ = QChar::highSurrogate(c);
            *dst++ = QChar::lowSurrogate(c);
        } else {
            *dst++ = char16_t(c);
        }
        return true;
    }

    const char* m_at;
    const char* const m_end;
};

}  // namespace

std::optional<QJsonObject> readObject(QByteArrayView json)
{
    return Reader(json).message();
}

}  // namespace JsonReader
