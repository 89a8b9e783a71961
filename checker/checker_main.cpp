// morvaneo-checker: given script files, checks them from the command line
// without any window; given nothing, starts the MVN5 opcode checker window,
// a program of its own, so that the command-line modes need nothing but Qt
// Core.
#include "checker/CheckerCli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// The window's program: beside this one in the build folder, in the
// program's own libexec folder once installed.
QByteArray windowProgram(const char* argv0)
{
    const QString self = QFile::decodeName(argv0);
    QString dir = QFileInfo(self).absolutePath();
    const QByteArray here = QFile::encodeName(QDir(dir).filePath(QStringLiteral("morvaneo-checker-window")));
    if (::access(here.constData(), X_OK) == 0)
        return here;
    return QFile::encodeName(QDir(dir).filePath(QStringLiteral(MORVANEO_LIBEXEC_RELATIVE "/morvaneo-checker-window")));
}

// Replaces this process with the window's program; returns only when it
// could not be started.
int startWindow(int argc, char** argv)
{
    const QByteArray program = windowProgram(argv[0]);
    Q_UNUSED(argc);
    ::execv(program.constData(), argv);
    const int error = errno;
    QTextStream(stderr) << "morvaneo-checker: the checker window cannot be started: "
                        << QString::fromLocal8Bit(std::strerror(error)) << '\n';
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc <= 1)
        return startWindow(argc, argv);

    // The arguments as the bytes the system gave, never decoded: a file name
    // that is not valid UTF-8 still names its own file.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    CheckerCli::DescriptorOutput out(STDOUT_FILENO);
    CheckerCli::DescriptorOutput err(STDERR_FILENO);
    return CheckerCli::run(arguments, out, err);
}
