#include "checker/CheckerCli.h"

#include "language/ScriptFile.h"
#include "language/ScriptLanguage.h"
#include "language/HeaderRules.h"

#include <QTextStream>

QString checkerUsage()
{
    return QStringLiteral(
        "Usage: morvaneo-checker [FILE...]\n"
        "       morvaneo-checker --lint FILE...\n"
        "       morvaneo-checker --help | --version\n"
        "Without files, opens the MVN5 opcode checker window.\n"
        "With files, checks the header lines of each script and prints the findings;\n"
        "the exit status is 1 when a file has a finding or cannot be read, 0 otherwise.\n"
        "With --lint, checks every line of each script (unknown names, missing or\n"
        "superfluous values, and the header findings) and prints each problem as\n"
        "FILE:LINE:COLUMN: message, lines and columns counted from 1; the exit\n"
        "status is 1 when a file has a problem or cannot be read, 0 otherwise.\n"
        "\"--\" before the files lets a file name start with \"--\".\n");
}

namespace {

// Runs check(path, text) on each file's text, read the way the editor opens
// the file; a file that cannot be read is named on err. The status is 1 when
// a file could not be read or check found something, 0 otherwise.
template <class Check>
int checkEach(const QStringList& files, QTextStream& out, QTextStream& err, Check check)
{
    int status = 0;
    for (const QString& path : files) {
        QByteArray bytes;
        if (!ScriptFile::readFile(path, &bytes)) {
            err << "morvaneo-checker: " << path << ": the file could not be read\n";
            status = 1;
        } else if (check(path, ScriptFile::readingRule(bytes))) {
            status = 1;
        }
    }
    out.flush();
    err.flush();
    return status;
}

}  // namespace

int runChecker(const QStringList& files, QTextStream& out, QTextStream& err)
{
    return checkEach(files, out, err, [&out](const QString& path, const QString& text) {
        const QStringList lines = HeaderRules::splitText(text);
        const QStringList findings = HeaderRules::checkLines(lines);
        if (findings.isEmpty())
            out << path << ": no finding (" << lines.size() << (lines.size() == 1 ? " line" : " lines") << ")\n";
        for (const QString& finding : findings)
            out << path << ": " << finding << '\n';
        return !findings.isEmpty();
    });
}

int runLint(QStringList files, QTextStream& out, QTextStream& err)
{
    if (!files.isEmpty() && files.first() == QLatin1StringView("--"))
        files.removeFirst();
    return checkEach(files, out, err, [&out](const QString& path, const QString& text) {
        const QList<ScriptLanguage::Problem> problems = ScriptLanguage::scriptProblems(QStringView(text));
        for (const ScriptLanguage::Problem& p : problems)
            out << path << ':' << p.line + 1 << ':' << p.column + 1 << ": " << p.message << '\n';
        return !problems.isEmpty();
    });
}
