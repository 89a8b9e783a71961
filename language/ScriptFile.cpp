#include "language/ScriptFile.h"

#include "language/ScriptText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace ScriptFile {
namespace {

// Characters of the bytes 0x80..0x9F; the five unassigned bytes map to the
// C1 control characters of the same number.
constexpr std::array<char16_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

class DiskWriter final : public PieceWriter {
public:
    qint64 write(QIODevice& file, const char* data, qint64 size) override { return file.write(data, size); }
};

DiskWriter diskWriter;

QChar character(unsigned char b)
{
    return QChar(b >= 0x80 && b < 0xA0 ? High[b - 0x80] : char16_t(b));
}

// True for a regular file (after following links): not a directory, a
// device, a pipe or a socket.
bool isRegularFile(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
#else
    const QFileInfo info(path);
    return info.exists() && info.isFile();
#endif
}

}  // namespace

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (High[size_t(i)] == c)
            return 0x80 + i;
    return -1;
}

QString decode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = character(src[i]);
    return out;
}

void appendDecoded(QString& text, QByteArrayView bytes)
{
    const qsizetype old = text.size();
    text.resize(old + bytes.size());
    QChar* dst = text.data() + old;
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = character(src[i]);
}

QByteArray encode(QStringView text, bool* lossy)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    bool lost = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteFor(text[i].unicode());
        if (b < 0) {
            dst[i] = '?';
            lost = true;
        } else {
            dst[i] = char(b);
        }
    }
    if (lossy)
        *lossy = lost;
    return out;
}

QString unencodable(QStringView text)
{
    QString found;
    for (QChar c : text)
        if (byteFor(c.unicode()) < 0 && !found.contains(c))
            found.append(c);
    return found;
}

QString readingRule(QByteArrayView bytes)
{
    // A lone CR grows into CR LF: room for every CR to do so.
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    QString out(n + qsizetype(std::count(src, src + n, '\r')), Qt::Uninitialized);
    QChar* const begin = out.data();
    QChar* dst = begin;
    ScriptText::forEachLine(src, n, ScriptText::LoneLf::InLine, [&](const ScriptText::Line& line) {
        for (qsizetype i = line.start; i < line.start + line.length; ++i)
            *dst++ = character(src[i]);
        // A break is kept only when more of the file follows it.
        if (line.breakLength != 0 && line.start + line.length + line.breakLength < n) {
            *dst++ = QChar(u'\r');
            *dst++ = QChar(u'\n');
        }
    });
    out.truncate(dst - begin);
    return out;
}

qsizetype readingRuleUtf8Bound(QByteArrayView bytes)
{
    // A byte of 0xA0 or above is a character of two UTF-8 bytes, one of
    // 0x80 to 0x9F of two or three (counted as three); a lone CR grows into
    // CR LF. Counted without branches, so that the loops run many bytes at
    // a time.
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype extra = 0;
    for (qsizetype i = 0; i < n; ++i)
        extra += (src[i] >> 7) + (static_cast<unsigned char>(src[i] - 0x80) < 0x20);
    for (qsizetype i = 0; i + 1 < n; ++i)
        extra += src[i] == '\r' && src[i + 1] != '\n';
    return n + extra;
}

void readingRuleUtf8(QByteArrayView bytes, const std::function<void(QByteArrayView)>& take)
{
    // The UTF-8 of every byte of the code page.
    struct Utf8 {
        char bytes[3];
        int length;
    };
    static const std::array<Utf8, 256> Table = [] {
        std::array<Utf8, 256> table{};
        for (int b = 0; b < 256; ++b) {
            const char16_t c = character(static_cast<unsigned char>(b)).unicode();
            Utf8& u = table[size_t(b)];
            if (c < 0x80) {
                u = {{char(c), 0, 0}, 1};
            } else if (c < 0x800) {
                u = {{char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)), 0}, 2};
            } else {
                u = {{char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))}, 3};
            }
        }
        return table;
    }();
    constexpr qsizetype Piece = 1 << 20;
    constexpr quint64 High = 0x8080808080808080ULL;
    constexpr quint64 Ones = 0x0101010101010101ULL;
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    // A piece goes out once it holds Piece bytes; up to Piece more source
    // bytes (three UTF-8 bytes each at most) are written before that is
    // looked at again.
    QByteArray buffer(4 * Piece + 64, Qt::Uninitialized);
    char* const base = buffer.data();
    char* dst = base;
    qsizetype i = 0;
    while (i < n) {
        if (dst - base >= Piece) {
            take(QByteArrayView(base, dst - base));
            dst = base;
        }
        const qsizetype stop = std::min(n, i + Piece);
        while (i < stop) {
            // Eight bytes at a time while they are ASCII and hold no CR.
            while (i + 8 <= stop) {
                quint64 word;
                std::memcpy(&word, src + i, 8);
                const quint64 cr = word ^ (Ones * '\r');
                if ((word & High) || ((cr - Ones) & ~cr & High))
                    break;
                std::memcpy(dst, &word, 8);
                dst += 8;
                i += 8;
            }
            const qsizetype slowStop = std::min(stop, i + 8);
            while (i < slowStop) {
                const unsigned char b = src[i];
                if (b == '\r') {
                    const qsizetype breakLength = i + 1 < n && src[i + 1] == '\n' ? 2 : 1;
                    // A break is kept only when more of the file follows it.
                    if (i + breakLength < n) {
                        *dst++ = '\r';
                        *dst++ = '\n';
                    }
                    i += breakLength;
                    break;
                }
                const Utf8& u = Table[b];
                std::memcpy(dst, u.bytes, 3);
                dst += u.length;
                ++i;
            }
        }
    }
    if (dst > base)
        take(QByteArrayView(base, dst - base));
}

QByteArray writingRule(QStringView text, bool* lossy)
{
    QByteArray out = encode(text, lossy);
    out.append(ScriptText::CrLf.data(), ScriptText::CrLf.size());
    return out;
}

bool readFile(const QString& path, QByteArray* bytes)
{
    if (path.isEmpty() || !isRegularFile(path))
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = f.size();
    QByteArray data;
    data.resize(size);
    qint64 got = 0;
    while (got < size) {
        const qint64 r = f.read(data.data() + got, size - got);
        if (r <= 0)
            return false;
        got += r;
    }
    // Anything the file grew by while it was read is taken too.
    const QByteArray rest = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    data.append(rest);
    *bytes = std::move(data);
    return true;
}

bool writeFile(const QString& path, QByteArrayView bytes)
{
    // Only a regular file (or a new one) is a script's home: a device or a
    // pipe would swallow the text or never return.
    if (path.isEmpty() || (QFileInfo::exists(path) && !isRegularFile(path)))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    qint64 done = 0;
    constexpr qint64 Chunk = 1 << 20;
    while (done < bytes.size()) {
        const qint64 n = qMin<qint64>(Chunk, bytes.size() - done);
        const qint64 w = Installable<PieceWriter>::inUse(diskWriter).write(f, bytes.data() + done, n);
        if (w != n) {
            f.cancelWriting();
            return false;
        }
        done += n;
    }
    // Flush first: a write that fails only when the buffer reaches the disk
    // (a size limit, a full disk) must fail the save, not the commit silently.
    if (!f.flush() || f.error() != QFileDevice::NoError) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

}  // namespace ScriptFile
