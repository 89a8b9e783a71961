// The language server's message reader on any byte stream: cut into pieces
// of any sizes it reads the same messages and faults as in one piece, never
// holds more than the stream, and messages framed correctly after any
// garbage and one blank line come out whole. Every content the reader gives
// also goes through the server, which must answer without crashing.
//
// Input: one byte for the piece size, then the stream.

#include "FuzzSupport.h"

#include "server/LanguageServer.h"
#include "server/MessageReader.h"

#include <QList>
#include <QStringList>

namespace {

QStringList readAll(const QByteArray& stream, qsizetype piece)
{
    MessageReader reader;
    QStringList out;
    for (qsizetype i = 0; i < stream.size(); i += piece) {
        reader.feed(QByteArrayView(stream).sliced(i, std::min(piece, stream.size() - i)));
        while (const std::optional<MessageReader::Item> item = reader.next())
            out << (item->fault.isEmpty() ? QStringLiteral("message ") + QString::fromLatin1(item->content.toHex())
                                          : QStringLiteral("fault"));
        FUZZ_CHECK(reader.pending() <= stream.size(), "pending");
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const qsizetype piece = 1 + in.byte() % 97;
    const QByteArray stream = in.rest();

    const QStringList whole = readAll(stream, std::max<qsizetype>(stream.size(), 1));
    FUZZ_CHECK(readAll(stream, piece) == whole, "pieces of " + QByteArray::number(piece));

    // Two well-framed messages after the stream and a blank line: unless the
    // stream left a message open, the last two things read are they.
    const QByteArray first = "{\"id\":1,\"method\":\"initialize\"}";
    const QByteArray second = stream.left(64);
    const QStringList after = readAll(stream + "\r\n\r\n" + LanguageServer::frame(first) + LanguageServer::frame(second), piece);
    MessageReader probe;
    probe.feed(stream + "\r\n\r\n");
    while (probe.next()) {
    }
    if (probe.betweenMessages())
        FUZZ_CHECK(after.size() >= 2 && after.last() == QStringLiteral("message ") + QString::fromLatin1(second.toHex()) &&
                       after[after.size() - 2] == QStringLiteral("message ") + QString::fromLatin1(first.toHex()),
                   "framed messages after the stream");

    LanguageServer server;
    server.handle(first);
    MessageReader reader;
    reader.feed(stream);
    while (const std::optional<MessageReader::Item> item = reader.next())
        if (item->fault.isEmpty())
            server.handle(item->content);
    return 0;
}
