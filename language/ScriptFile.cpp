#include "language/ScriptFile.h"

#include "language/ScriptText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>

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
