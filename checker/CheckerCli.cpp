#include "checker/CheckerCli.h"

#include "base/CommandLine.h"
#include "checker/ScriptLineReader.h"
#include "language/HeaderRules.h"
#include "language/ScriptFile.h"
#include "language/ScriptLanguage.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char Synopsis[] =
    "Usage: morvaneo-checker [FILE...]\n"
    "       morvaneo-checker --lint FILE...\n"
    "       morvaneo-checker --help | --version\n";

}  // namespace

QString checkerUsage()
{
    return QLatin1StringView(Synopsis) + QStringLiteral(
        "Without files, opens the MVN5 opcode checker window.\n"
        "With files, checks the header lines of each script and prints the findings.\n"
        "With --lint, checks every line of each script (unknown names, missing or\n"
        "superfluous values, and the header findings) and prints each problem as\n"
        "FILE:LINE:COLUMN: message, lines and columns counted from 1.\n"
        "Options may stand anywhere before \"--\"; after it every argument is a file.\n"
        "Exit status: 0 nothing found, 1 a finding or a file that cannot be read,\n"
        "2 a usage error or output that could not be written.\n");
}

namespace CheckerCli {

bool DescriptorOutput::writeLine(QByteArrayView line)
{
    const char* data = line.data();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A descriptor shared with a non-blocking reader: wait for room.
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, -1);
            continue;
        }
        if (n <= 0) {
            failure_ = n < 0 ? QByteArray(std::strerror(errno)) : QByteArray("nothing was written");
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

namespace {

void appendHex(QByteArray& out, unsigned c)
{
    static const char digits[] = "0123456789ABCDEF";
    out.append("\\x", 2);
    out.append(digits[(c >> 4) & 0xF]);
    out.append(digits[c & 0xF]);
}

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
}

}  // namespace

QByteArray printableName(QByteArrayView name)
{
    QByteArray out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const auto after = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0u;
        if (c < 0x20 || c == 0x7F) {
            appendHex(out, c);
        } else if (c == 0xC2 && after >= 0x80 && after < 0xA0) {
            appendHex(out, c);
            appendHex(out, after);
            ++i;
        } else {
            out.append(char(c));
        }
    }
    return out;
}

QByteArray printableText(QStringView text)
{
    QByteArray out;
    qsizetype run = 0;  // start of the characters not yet written
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isControl(c))
            continue;
        out += text.sliced(run, i - run).toUtf8();
        appendHex(out, c);
        run = i + 1;
    }
    out += text.sliced(run).toUtf8();
    return out;
}

namespace {

// The hash of a line's bytes that picks its slot among the kept lines
// (FNV-1a).
quint32 lineHash(QByteArrayView bytes)
{
    quint32 h = 2166136261u;
    for (const char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

// One run of the checker: where it writes and how it went.
class Checker {
public:
    Checker(Output& out, Output& err) : out_(out), err_(err) { pending_.reserve(PendingSize); }

    // Checks one file; false when the output could not be written.
    bool check(const QByteArray& file, bool lint);
    // The exit status, once what is pending has been written.
    int finish()
    {
        flush();
        return status_;
    }
    // Writes a line; a failed write ends the run with status 2. The lines
    // for standard output are gathered and written many at a time, and
    // always before a line for standard error, so that the two keep their
    // order.
    bool say(QByteArrayView line);
    bool complain(QByteArrayView line) { return flush() && write(err_, line); }

private:
    // Up to this many bytes of output are gathered before they are written.
    static constexpr qsizetype PendingSize = 1 << 16;
    // How many lines of problems lint keeps, and the longest it keeps.
    static constexpr qsizetype KeptLines = 1024;
    static constexpr qsizetype KeptLineSize = 256;
    bool flush();
    bool write(Output& to, QByteArrayView line);
    // Reads the file's lines into the given check; false when they could
    // not all be read (the reason is on the reader).
    template <class CheckLine>
    bool eachLine(ScriptLineReader& reader, CheckLine checkLine);
    bool headerCheck(ScriptLineReader& reader, const QByteArray& shown);
    bool lintCheck(ScriptLineReader& reader, const QByteArray& shown);

    Output& out_;
    Output& err_;
    int status_ = 0;
    bool writeFailed_ = false;
    QByteArray line_;
    QByteArray pending_;  // whole lines for standard output, not yet written
    QString text_;        // a line with problems, decoded
    // What lint printed for lines already seen, after each problem's line
    // number (see lintCheck): a slot for each hash of a line's bytes, which
    // keeps the latest line of that hash. Nothing grows, and a line seen
    // for the first time costs a hash and a copy of it.
    struct Kept {
        QByteArray line;
        QByteArrayList tails;
    };
    std::vector<Kept> kept_;
};

bool Checker::say(QByteArrayView line)
{
    if (writeFailed_)
        return false;
    if (pending_.size() + line.size() > PendingSize && !flush())
        return false;
    if (line.size() > PendingSize)
        return write(out_, line);
    pending_.append(line);
    return true;
}

bool Checker::flush()
{
    if (pending_.isEmpty())
        return !writeFailed_;
    const bool written = write(out_, pending_);
    pending_.truncate(0);
    return written;
}

bool Checker::write(Output& to, QByteArrayView line)
{
    if (writeFailed_)
        return false;
    if (to.writeLine(line))
        return true;
    writeFailed_ = true;
    status_ = 2;
    const QByteArray why = to.failure();
    if (&to == &out_)
        err_.writeLine("morvaneo-checker: the output cannot be written: " + why + '\n');
    return false;
}

bool Checker::check(const QByteArray& file, bool lint)
{
    const QByteArray shown = printableName(file);
    QByteArray reason;
    try {
        ScriptLineReader reader;
        if (reader.open(file)) {
            const bool written = lint ? lintCheck(reader, shown) : headerCheck(reader, shown);
            if (!written)
                return false;
        }
        reason = reader.reason();
    } catch (const std::bad_alloc&) {
        // The line being checked did not fit in memory; it is gone now, and
        // what was found before it has been printed.
        reason = "too large to check";
    }
    if (reason.isEmpty())
        return true;
    status_ = qMax(status_, 1);
    return complain(shown + ": cannot be read: " + reason + '\n');
}

template <class CheckLine>
bool Checker::eachLine(ScriptLineReader& reader, CheckLine checkLine)
{
    QString line;
    qsizetype index = 0;
    while (reader.next(&line)) {
        if (!checkLine(QStringView(line), index))
            return false;
        ++index;
    }
    return true;
}

bool Checker::headerCheck(ScriptLineReader& reader, const QByteArray& shown)
{
    bool identifierSeen = false;
    bool found = false;
    qsizetype lines = 0;
    const bool written = eachLine(reader, [&](QStringView line, qsizetype index) {
        lines = index + 1;
        for (const QString& finding : HeaderRules::checkLine(line, index, identifierSeen)) {
            found = true;
            if (!say(shown + ": " + printableText(finding) + '\n'))
                return false;
        }
        return true;
    });
    if (!written)
        return false;
    if (!reader.reason().isEmpty())
        return true;
    if (found) {
        status_ = qMax(status_, 1);
        return true;
    }
    return say(shown + ": no finding (" + QByteArray::number(lines) + (lines == 1 ? " line)\n" : " lines)\n"));
}

bool Checker::lintCheck(ScriptLineReader& reader, const QByteArray& shown)
{
    bool firstLineIsIdentifier = false;
    QByteArrayView bytes;
    for (qsizetype index = 0; reader.nextBytes(&bytes); ++index) {
        if (index == 0)
            firstLineIsIdentifier = ScriptLanguage::encodedOpensWithIdentifier(bytes);
        // Most lines have no problem, which their bytes tell; only the
        // others are decoded and read again for their messages.
        if (ScriptLanguage::encodedLineIsClean(bytes, index, firstLineIsIdentifier))
            continue;
        // Past the header lines, what a line without header findings prints
        // after its line number depends on its bytes alone. Scripts repeat
        // their lines, their mistakes too: that of short lines is kept, and
        // the near names for unknown ones are not searched again.
        const bool keep = index > 1 && bytes.size() <= KeptLineSize &&
                          ScriptLanguage::encodedHeaderIsClean(bytes, index, firstLineIsIdentifier);
        Kept* slot = nullptr;
        if (keep) {
            if (kept_.empty())
                kept_.resize(KeptLines);
            slot = &kept_[lineHash(bytes) % KeptLines];
        }
        QByteArrayList found;
        const QByteArrayList* tails = &found;
        if (slot && !slot->line.isNull() && slot->line == bytes) {
            tails = &slot->tails;
        } else {
            text_.truncate(0);
            ScriptFile::appendDecoded(text_, bytes);
            for (const ScriptLanguage::Problem& p : ScriptLanguage::lineProblems(text_, index, firstLineIsIdentifier))
                found.append(':' + QByteArray::number(p.column + 1) + ": " + printableText(p.message) + '\n');
            if (slot) {
                slot->line = bytes.toByteArray();
                slot->tails = std::move(found);
                tails = &slot->tails;
            }
        }
        for (const QByteArray& tail : *tails) {
            status_ = qMax(status_, 1);
            line_ = shown;
            line_ += ':';
            line_ += QByteArray::number(index + 1);
            line_ += tail;
            if (!say(line_))
                return false;
        }
    }
    return true;
}

}  // namespace

int run(const QList<QByteArray>& arguments, Output& out, Output& err)
{
    enum class Request { Check, Help, Version };
    Request request = Request::Check;
    bool lint = false;
    bool optionsEnded = false;
    QList<QByteArray> files;
    for (const QByteArray& a : arguments) {
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            files.append(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--lint") {
            lint = true;
        } else if (a == "--help" || a == "-h") {
            if (request == Request::Check)
                request = Request::Help;
        } else if (a == "--version") {
            if (request == Request::Check)
                request = Request::Version;
        } else {
            err.writeLine("morvaneo-checker: unknown option \"" + printableName(a) + "\"\n" + Synopsis +
                          "Try \"morvaneo-checker --help\" for more information.\n");
            return 2;
        }
    }

    Checker checker(out, err);
    if (request == Request::Help) {
        checker.say(checkerUsage().toUtf8());
        return checker.finish() == 0 ? 0 : 2;
    }
    if (request == Request::Version) {
        checker.say(CommandLine::versionText(QStringLiteral("morvaneo-checker")).toUtf8());
        return checker.finish() == 0 ? 0 : 2;
    }
    for (const QByteArray& file : files)
        if (!checker.check(file, lint))
            break;
    return checker.finish();
}

}  // namespace CheckerCli
