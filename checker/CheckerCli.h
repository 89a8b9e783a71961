#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// The command-line checker. It reads each file a line at a time the way the
// editor opens it and, by default, checks its header rules and prints
// "FILE: finding" per finding or "FILE: no finding (N lines)"; with --lint
// it checks every line and prints "FILE:LINE:COLUMN: message" per problem,
// LINE and COLUMN counted from 1, like a compiler.
namespace CheckerCli {

// Where the checker writes, a whole line (its break included) at a time.
class Output {
public:
    virtual ~Output() = default;
    // False when the line could not be written.
    virtual bool writeLine(QByteArrayView line) = 0;
    // Why the last write failed.
    virtual QByteArray failure() const = 0;
};

// Writes each line to a file descriptor with one system call, so that lines
// on standard output and standard error keep their order.
class DescriptorOutput final : public Output {
public:
    explicit DescriptorOutput(int fd) : fd_(fd) {}
    bool writeLine(QByteArrayView line) override;
    QByteArray failure() const override { return failure_; }

private:
    int fd_;
    QByteArray failure_;
};

// Runs the command line: the arguments after the program's name, as the
// bytes the system gave them. Options (--lint, --help, -h, --version) may
// stand anywhere before "--"; everything else is a file, opened by its exact
// bytes. The exit status: 0 nothing found, 1 a finding or a file that cannot
// be read, 2 a usage error or output that could not be written.
int run(const QList<QByteArray>& arguments, Output& out, Output& err);

// A file name as printed: its own bytes, with control characters (the bytes
// 0x00-0x1F and 0x7F, and the UTF-8 form of U+0080-U+009F) as \xNN.
QByteArray printableName(QByteArrayView name);
// A message as printed, in UTF-8, with the control characters U+0000-U+001F,
// U+007F and U+0080-U+009F as \xNN: the byte the script holds for them.
QByteArray printableText(QStringView text);

}  // namespace CheckerCli

// The usage text printed for --help.
QString checkerUsage();
