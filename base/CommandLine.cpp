#include "base/CommandLine.h"

namespace CommandLine {

Request request(const QStringList& arguments)
{
    if (arguments.size() != 2)
        return Request::Run;
    if (arguments.at(1) == QLatin1String("--help"))
        return Request::Help;
    if (arguments.at(1) == QLatin1String("--version"))
        return Request::Version;
    return Request::Run;
}

QStringList arguments(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    return list;
}

QString versionText(const QString& program)
{
    return program + QLatin1Char(' ') + QStringLiteral(MORVANEO_VERSION) + QLatin1Char('\n');
}

QString editorHelp()
{
    return QStringLiteral(
        "Usage: morvaneo [SCRIPT]\n"
        "Opens the Morvaneo AI script editor, with the .mvn5 script SCRIPT loaded when given.\n"
        "Everything after the program's name is one path, blanks included.\n"
        "\n"
        "  --help     print this help and exit\n"
        "  --version  print the version and exit\n"
        "\n"
        "A script named \"--help\" or \"--version\" is opened as ./--help or ./--version.\n");
}

}  // namespace CommandLine
