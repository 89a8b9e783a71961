// Times the command-line header check of a 10 MB script (read the file the
// way the editor does, split it into lines, check every line) against
// reading the same bytes and splitting them with QString::split.
#include "BenchSupport.h"

#include "checker/CheckerCli.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdlib>

int main(int argc, char** argv)
{
    using namespace Bench;
    QCoreApplication app(argc, argv);
    const bool quick = quickMode(argc, argv);
    const qsizetype bytes = quick ? 1 * MB : 10 * MB;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.mvn5"));
    const Script script = makeScript(bytes);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(script.crlf) != script.crlf.size())
            return 1;
    }
    const qsizetype lines = script.crlf.count("\r\n");

    QString output;
    qsizetype floorLines = 0;
    const Step morvaneo{[&] { output.clear(); },
                        [&] {
                            QString errors;
                            QTextStream out(&output);
                            QTextStream err(&errors);
                            runChecker({path}, out, err);
                        }};
    const Step floor{nullptr, [&] {
                         QFile f(path);
                         if (!f.open(QIODevice::ReadOnly))
                             std::exit(1);
                         const QStringList split = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
                         floorLines = split.size();
                     }};
    const Result r = interleaved(runsFor(quick), morvaneo, floor);
    const QString expected = QStringLiteral(": no finding (%1 lines)\n").arg(lines);
    if (!output.endsWith(expected) || floorLines != lines + 1)
        std::fprintf(stderr, "bench: the checker printed %s\n", qPrintable(output.left(200)));
    report(sizedName("checker", bytes), r, 1.5);
    return 0;
}
