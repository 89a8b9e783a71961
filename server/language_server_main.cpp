// morvaneo-language-server: the script language for any editor that speaks
// the Language Server Protocol, over standard input and output. Needs
// nothing but Qt Core.
#include "base/CommandLine.h"
#include "server/LanguageServer.h"
#include "server/MessageReader.h"

#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

// Writes all bytes to standard output; false when the client is gone.
bool writeAll(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

QString usage()
{
    return QStringLiteral(
        "Usage: morvaneo-language-server\n"
        "       morvaneo-language-server --help | --version\n"
        "Speaks the Language Server Protocol over standard input and output for\n"
        "\".mvn5\" scripts: diagnostics, completion, hover, loop definitions,\n"
        "references and symbols, and quick fixes. Start it from an editor's\n"
        "language client; it ends when the client says \"exit\" or closes its input.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    const QStringList arguments = CommandLine::arguments(argc, argv);
    if (arguments.size() > 1) {
        QTextStream out(stdout);
        if (arguments.size() == 2 && arguments[1] == QLatin1StringView("--version")) {
            out << CommandLine::versionText(QStringLiteral("morvaneo-language-server"));
            return 0;
        }
        if (arguments.size() == 2 && arguments[1] == QLatin1StringView("--help")) {
            out << usage();
            return 0;
        }
        // Clients may hand over "--stdio"; standard input and output is the
        // only way there is.
        if (!(arguments.size() == 2 && arguments[1] == QLatin1StringView("--stdio"))) {
            QTextStream(stderr) << usage();
            return 2;
        }
    }
    // A client that vanishes makes writes fail instead of killing us.
    std::signal(SIGPIPE, SIG_IGN);

    MessageReader reader;
    LanguageServer server;
    static char buffer[1 << 16];
    while (true) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        reader.feed(QByteArrayView(buffer, n));
        while (const std::optional<MessageReader::Item> item = reader.next()) {
            const QList<QByteArray> replies =
                item->fault.isEmpty() ? server.handle(item->content) : server.framingFault(item->fault);
            for (const QByteArray& reply : replies)
                if (!writeAll(LanguageServer::frame(reply)))
                    return server.exitStatus();
            if (server.finished())
                return server.exitStatus();
        }
    }
    return server.exitStatus();
}
