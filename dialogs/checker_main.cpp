// morvaneo-checker: the MVN5 opcode checker window, or, given script files,
// the same header check run from the command line without any window.
#include "app/CommandLine.h"
#include "app/Texts.h"
#include "dialogs/CheckerCli.h"
#include "dialogs/OpcodeChecker.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(Texts::App);
        QTextStream out(stdout);
        QTextStream err(stderr);
        QStringList files = QCoreApplication::arguments().mid(1);
        if (files == QStringList{QStringLiteral("--help")} || files == QStringList{QStringLiteral("-h")}) {
            out << checkerUsage();
            return 0;
        }
        if (files == QStringList{QStringLiteral("--version")}) {
            out << CommandLine::versionText(QStringLiteral("morvaneo-checker"));
            return 0;
        }
        if (files.first() == QStringLiteral("--lint"))
            return runLint(files.mid(1), out, err);
        // "--" ends the options, so that a file may be called "--help".
        if (files.first() == QStringLiteral("--"))
            files.removeFirst();
        return runChecker(files, out, err);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(Texts::App);
    Desktop::applyLook();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/icons/morvaneo.png")));
    OpcodeChecker checker;
    checker.show();
    return app.exec();
}
