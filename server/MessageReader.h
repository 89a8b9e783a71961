#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Splits a byte stream into the messages of the Language Server Protocol's
// base protocol: header lines ("Name: value", each ended by CR LF, LF
// accepted too), an empty line, then exactly Content-Length bytes of
// content. Bytes may come in pieces of any size; the messages come out the
// same.
//
// A header without a usable Content-Length (missing, not a number, larger
// than LargestContent) or a header block longer than LargestHeader is a
// fault: it is reported and skipped, and reading goes on with the next
// header block. A header line that has "Content-Length:" after other bytes
// (the rest of a message whose length was given too short) counts from
// there, so one wrong length costs one message, not the rest of the stream.
class MessageReader {
public:
    static constexpr qsizetype LargestContent = qsizetype(256) * 1024 * 1024;
    static constexpr qsizetype LargestHeader = 64 * 1024;

    struct Item {
        QByteArray content;  // a message's content, when fault is empty
        QString fault;       // what was wrong with a header
    };

    void feed(QByteArrayView bytes);
    // The next message or fault, or nothing until more bytes come.
    std::optional<Item> next();
    // Bytes received that make no message yet.
    qsizetype pending() const { return m_buffer.size() - m_start; }
    // Whether the next byte starts a header: nothing held, no content or
    // overlong header still to pass over.
    bool betweenMessages() const { return pending() == 0 && m_contentLength < 0 && !m_skipping; }

private:
    QByteArray m_buffer;
    qsizetype m_start = 0;            // where the unread bytes begin
    qsizetype m_contentLength = -1;   // of the message whose header was read
    bool m_skipping = false;          // past a header too long, up to its end
};
