// The command-line checker.
// - The header check of a 10 MB script (read the file the way the editor
//   does, line by line, check every line) against reading the same bytes and
//   splitting them with QString::split.
// - --lint on a 50 MB script, the real program as a whole process, against
//   "grep -c" counting the lines that start with a letter in the same file:
//   its time, and its peak memory against the file's size.
#include "BenchSupport.h"

#include "checker/CheckerCli.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QProcess>

#include <cstdlib>

namespace {

class Collected final : public CheckerCli::Output {
public:
    QByteArray text;
    bool writeLine(QByteArrayView line) override
    {
        text += line;
        return true;
    }
    QByteArray failure() const override { return {}; }
};

// A script of about `bytes` bytes as a player writes one: entries,
// attacking and rebuild lines, opcodes, comments and loop lines, with a
// typing mistake or a missing value in one line of about fifty.
QByteArray lintScript(qsizetype bytes)
{
    static const char* const lines[] = {
        "; harass with mutalisks, then guardians",
        "Drone = 4",
        "Hatchery = 1",
        "Extractor = 1",
        "Zergling = 6",
        "Zergling_Speed = 1",
        "Lair = 1",
        "Spire = 1",
        "Mutalisk = 9",
        "  Attacking_Mutalisk = 9",
        "Attacking_Zergling = 6",
        "Group_Attack",
        "Wait 300",
        "Evolution_Chamber = 1",
        "Rebuild_Spire = 1",
        ": rush",
    };
    constexpr size_t count = sizeof(lines) / sizeof(lines[0]);
    QByteArray s;
    s.reserve(bytes + 64);
    s.append("Script_Identifier ZMUT\r\nScript_Name Zerg mutalisk harass\r\nCustom_Script\r\n");
    for (size_t i = 0; s.size() < bytes; ++i) {
        if (i % 97 == 48)
            s.append("Spawning_Pol = 1\r\n");
        else if (i % 97 == 96)
            s.append("Wait\r\n");
        else
            s.append(lines[i % count]).append("\r\n");
    }
    return s;
}

struct Child {
    double ms = 0;
    double peakMb = 0;
    int status = -1;
};

// Runs a program through the helper beside this benchmark: its time and its
// own peak resident memory.
Child runChild(const QStringList& arguments)
{
    QProcess p;
    p.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("morvaneo-peak-rss")), arguments);
    Child c;
    if (!p.waitForFinished(600000))
        return c;
    const QList<QByteArray> figures = p.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() == 3) {
        c.ms = figures[0].toDouble();
        c.peakMb = figures[1].toDouble() / 1000.0;  // kilobytes
        c.status = figures[2].toInt();
    }
    return c;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace Bench;
    QCoreApplication app(argc, argv);
    const bool quick = quickMode(argc, argv);
    const qsizetype bytes = quick ? 1 * MB : 10 * MB;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.mvn5"));
    const Script script = makeScript(bytes);
    writeAll(path, script.crlf);
    const qsizetype lines = script.crlf.count("\r\n");

    QByteArray output;
    qsizetype floorLines = 0;
    const Step morvaneo{[&] { output.clear(); },
                        [&] {
                            Collected out, err;
                            CheckerCli::run({QFile::encodeName(path)}, out, err);
                            output = out.text;
                        }};
    const Step floor{nullptr, [&] {
                         QFile f(path);
                         if (!f.open(QIODevice::ReadOnly))
                             std::exit(1);
                         const QStringList split = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
                         floorLines = split.size();
                     }};
    const Result r = interleaved(runsFor(quick), morvaneo, floor);
    const QByteArray expected = ": no finding (" + QByteArray::number(lines) + " lines)\n";
    if (!output.endsWith(expected) || floorLines != lines + 1)
        std::fprintf(stderr, "bench: the checker printed %s\n", output.left(200).constData());
    report(sizedName("checker", bytes), r, 1.5);

    // --lint on a bigger script, as a user runs it.
    const qsizetype lintBytes = quick ? 1 * MB : 50 * MB;
    const QString lintPath = dir.filePath(QStringLiteral("lint.mvn5"));
    const QByteArray big = lintScript(lintBytes);
    writeAll(lintPath, big);
    const QString checker = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../morvaneo-checker"));
    std::vector<double> lintMs, grepMs, lintMb;
    for (int i = 0; i < runsFor(quick); ++i) {
        const Child lint = runChild({checker, QStringLiteral("--lint"), lintPath});
        // The C locale: grep's fastest, whatever the user's language.
        const Child grep = runChild({QStringLiteral("env"), QStringLiteral("LC_ALL=C"), QStringLiteral("grep"),
                                     QStringLiteral("-c"), QStringLiteral("Wait"), lintPath});
        if (lint.status < 0 || grep.status != 0) {
            std::fprintf(stderr, "bench: --lint ended with %d, grep with %d\n", lint.status, grep.status);
            return 1;
        }
        lintMs.push_back(lint.ms);
        grepMs.push_back(grep.ms);
        lintMb.push_back(lint.peakMb);
    }
    report(sizedName("lint", lintBytes), {median(lintMs), median(grepMs)}, 5);
    report(sizedName("lint_memory", lintBytes), {median(lintMb), double(big.size()) / 1e6}, 3);
    return 0;
}
