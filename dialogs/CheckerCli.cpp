#include "dialogs/CheckerCli.h"

#include "app/ScriptFile.h"
#include "dialogs/OpcodeChecker.h"

#include <QTextStream>

QString checkerUsage()
{
    return QStringLiteral(
        "Usage: morvaneo-checker [FILE...]\n"
        "Without files, opens the MVN5 opcode checker window.\n"
        "With files, checks the header lines of each script and prints the findings;\n"
        "the exit status is 1 when a file has a finding or cannot be read, 0 otherwise.\n");
}

int runChecker(const QStringList& files, QTextStream& out, QTextStream& err)
{
    int status = 0;
    for (const QString& path : files) {
        QByteArray bytes;
        if (!ScriptFile::readFile(path, &bytes)) {
            err << "morvaneo-checker: " << path << ": the file could not be read\n";
            status = 1;
            continue;
        }
        const QString text = ScriptFile::readingRule(bytes);
        const QStringList lines = HeaderRules::splitText(text);
        const QStringList findings = HeaderRules::checkLines(lines);
        if (findings.isEmpty()) {
            out << path << ": no finding (" << lines.size() << (lines.size() == 1 ? " line" : " lines") << ")\n";
            continue;
        }
        status = 1;
        for (const QString& finding : findings)
            out << path << ": " << finding << '\n';
    }
    out.flush();
    err.flush();
    return status;
}
