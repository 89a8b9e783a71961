#include "checker/ScriptLineReader.h"

#include "language/ScriptFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ScriptLineReader::ScriptLineReader(qsizetype blockSize)
    : blockSize_(blockSize < 1 ? 1 : blockSize)
{
}

ScriptLineReader::~ScriptLineReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void ScriptLineReader::fail(int error)
{
    reason_ = std::strerror(error);
    done_ = true;
}

bool ScriptLineReader::open(const QByteArray& path)
{
    // No file name holds a NUL byte; the system would read only up to it.
    if (path.contains('\0')) {
        fail(ENOENT);
        return false;
    }
    // Non-blocking, so that opening a pipe without a writer does not wait;
    // it is refused below as no regular file.
    fd_ = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        fail(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd_, &st) != 0) {
        fail(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason_ = "not a regular file";
        done_ = true;
        return false;
    }
    block_.resize(blockSize_);
    return true;
}

namespace {

// The first CR or LF in [from, to), or to: eight bytes at a time while none
// of them is one.
const char* findBreak(const char* from, const char* to)
{
    constexpr quint64 Ones = 0x0101010101010101ull;
    constexpr quint64 Highs = 0x8080808080808080ull;
    while (to - from >= 8) {
        quint64 w;
        std::memcpy(&w, from, 8);
        const quint64 cr = w ^ (Ones * '\r');
        const quint64 lf = w ^ (Ones * '\n');
        // A byte of cr or lf is zero where w holds that break.
        if ((((cr - Ones) & ~cr) | ((lf - Ones) & ~lf)) & Highs)
            break;
        from += 8;
    }
    while (from < to && *from != '\r' && *from != '\n')
        ++from;
    return from;
}

}  // namespace

bool ScriptLineReader::rewind()
{
    if (fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
        fail(fd_ < 0 ? EBADF : errno);
        return false;
    }
    pos_ = end_ = 0;
    done_ = skipLf_ = lastBreakCr_ = false;
    reason_.clear();
    return true;
}

// Reads the next block; false at the end of the file or on an error.
bool ScriptLineReader::fill()
{
    for (;;) {
        const ssize_t got = ::read(fd_, block_.data(), size_t(block_.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            fail(errno);
            return false;
        }
        pos_ = 0;
        end_ = got;
        if (got == 0)
            return false;
        if (skipLf_) {
            skipLf_ = false;
            if (block_[0] == '\n')
                pos_ = 1;
        }
        return true;
    }
}

template <class Take>
bool ScriptLineReader::readLine(Take take)
{
    if (done_)
        return false;
    bool empty = true;
    for (;;) {
        if (pos_ == end_ && !fill()) {
            if (!reason_.isEmpty())
                return false;
            done_ = true;
            // What follows the last break is a line, unless it is empty and
            // that break was the file's own final CR LF or CR.
            return !empty || !lastBreakCr_;
        }
        const char* const data = block_.constData();
        const qsizetype k = findBreak(data + pos_, data + end_) - data;
        empty = empty && k == pos_;
        take(QByteArrayView(data + pos_, k - pos_), k < end_);
        if (k == end_) {
            pos_ = end_;
            continue;
        }
        if (data[k] == '\n') {
            lastBreakCr_ = false;
            pos_ = k + 1;
        } else {
            lastBreakCr_ = true;
            if (k + 1 < end_)
                pos_ = data[k + 1] == '\n' ? k + 2 : k + 1;
            else {
                pos_ = end_;
                skipLf_ = true;
            }
        }
        return true;
    }
}

bool ScriptLineReader::next(QString* line)
{
    line->truncate(0);
    return readLine([line](QByteArrayView piece, bool) { ScriptFile::appendDecoded(*line, piece); });
}

bool ScriptLineReader::nextBytes(QByteArrayView* line)
{
    *line = QByteArrayView();
    bool whole = true;  // nothing has been copied: the line is its first piece
    carry_.truncate(0);
    return readLine([&](QByteArrayView piece, bool ended) {
        if (whole && ended) {
            *line = piece;
            return;
        }
        whole = false;
        carry_.append(piece);
        *line = carry_;
    });
}
