// The Windows-1252 codec: every byte is a character and comes back as
// itself; any UTF-16 text encodes to one byte per code unit, '?' standing
// for exactly the characters the code page has no byte for.

#include "FuzzSupport.h"

#include "language/ScriptFile.h"

#include <array>

namespace {

// The code page's characters for 0x80..0x9F; the five bytes it leaves
// unassigned read as the C1 controls of the same number.
constexpr std::array<char16_t, 32> Windows1252High = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

char16_t expectedChar(uint8_t b)
{
    return b >= 0x80 && b < 0xA0 ? Windows1252High[size_t(b - 0x80)] : char16_t(b);
}

// Byte of a code unit, -1 when none has it: the inverse of the table,
// found by searching all 256 bytes for each code unit once.
int slowByteFor(char16_t c)
{
    static const std::array<int16_t, 65536> inverse = [] {
        std::array<int16_t, 65536> map;
        for (size_t unit = 0; unit < map.size(); ++unit) {
            map[unit] = -1;
            for (int b = 0; b < 256; ++b)
                if (expectedChar(uint8_t(b)) == unit)
                    map[unit] = int16_t(b);
        }
        return map;
    }();
    return inverse[c];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Bytes -> text -> the same bytes.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = ScriptFile::decode(bytes);
    FUZZ_CHECK(text.size() == bytes.size(), "");
    for (qsizetype i = 0; i < bytes.size(); ++i)
        FUZZ_CHECK(text[i].unicode() == expectedChar(uint8_t(bytes[i])),
                   "byte " + QByteArray::number(uint8_t(bytes[i]), 16));
    bool lossy = true;
    FUZZ_CHECK(ScriptFile::encode(text, &lossy) == bytes, fuzz::shown(text));
    FUZZ_CHECK(!lossy, fuzz::shown(text));
    FUZZ_CHECK(ScriptFile::unencodable(text).isEmpty(), fuzz::shown(text));

    // Any UTF-16 text -> bytes: same length, '?' exactly where a character
    // has no byte, and lossy exactly when some character has none.
    const QString any = fuzz::textFrom(bytes, 1);
    lossy = false;
    const QByteArray encoded = ScriptFile::encode(any, &lossy);
    FUZZ_CHECK(encoded.size() == any.size(), fuzz::shown(any));
    QString missing;
    for (qsizetype i = 0; i < any.size(); ++i) {
        const int b = slowByteFor(any[i].unicode());
        if (b < 0) {
            FUZZ_CHECK(encoded[i] == '?', fuzz::shown(any));
            if (!missing.contains(any[i]))
                missing += any[i];
        } else {
            FUZZ_CHECK(uint8_t(encoded[i]) == b, fuzz::shown(any));
        }
    }
    const QString unencodable = ScriptFile::unencodable(any);
    FUZZ_CHECK(unencodable == missing, fuzz::shown(any) + " -> " + fuzz::shown(unencodable));
    FUZZ_CHECK(lossy == !unencodable.isEmpty(), fuzz::shown(any));
    bool lossyNull = false;
    FUZZ_CHECK(ScriptFile::encode(any, nullptr) == encoded && ScriptFile::encode(any, &lossyNull) == encoded, "");
    // What was encodable reads back as itself.
    if (!lossy)
        FUZZ_CHECK(ScriptFile::decode(encoded) == any, fuzz::shown(any));
    return 0;
}
