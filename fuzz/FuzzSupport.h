#pragma once
// Shared pieces of the libFuzzer targets: turning input bytes into texts and
// numbers, reporting a broken property, and the headless application that
// the widget-backed targets need.

#include "language/ScriptFile.h"
#include "platform/Modal.h"

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Reads an input from the front: single bytes, 16-bit numbers, counted
// fields and the rest. Past the end everything reads as zero or empty, so
// every input, however short, is a valid case.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint8_t byte()
    {
        return m_pos < m_size ? m_data[m_pos++] : 0;
    }
    int16_t int16()
    {
        const uint16_t lo = byte();
        const uint16_t hi = byte();
        return int16_t(uint16_t(lo | (hi << 8)));
    }
    // The next n bytes (fewer at the end of the input).
    QByteArray bytes(size_t n)
    {
        const size_t take = n < m_size - m_pos ? n : m_size - m_pos;
        const QByteArray out(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(take));
        m_pos += take;
        return out;
    }
    QByteArray rest() { return bytes(m_size - m_pos); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Bytes as a text. Form 0: one Windows-1252 character per byte, the way a
// script file reads (line breaks and every byte value are easy to reach).
// Form 1: one UTF-16 code unit per byte pair, little-endian, so that any
// code unit turns up, lone surrogates and Unicode's own line separators
// included.
inline QString textFrom(const QByteArray& bytes, int form)
{
    if ((form & 1) == 0)
        return ScriptFile::decode(bytes);
    QString out;
    out.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        out.append(QChar(char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8))));
    return out;
}

// A text in printable form for a report: \r, \n, \t and code units outside
// printable ASCII as escapes.
inline QByteArray shown(QStringView text, qsizetype limit = 400)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size() && i < limit; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r')
            out += "\\r";
        else if (c == u'\n')
            out += "\\n";
        else if (c == u'\t')
            out += "\\t";
        else if (c == u'\\')
            out += "\\\\";
        else if (c >= 0x20 && c < 0x7F)
            out += char(c);
        else
            out += "\\u" + QByteArray::number(int(c), 16).rightJustified(4, '0');
    }
    if (text.size() > limit)
        out += "...(" + QByteArray::number(text.size()) + " code units)";
    return out;
}

// A broken property: says which and where, then aborts so that libFuzzer
// stores the input as a finding.
[[noreturn]] inline void fail(const char* condition, const char* file, int line, const QByteArray& detail)
{
    std::fprintf(stderr, "\n*** property broken: %s\n    at %s:%d\n", condition, file, line);
    if (!detail.isEmpty())
        std::fprintf(stderr, "    %s\n", detail.constData());
    std::fflush(stderr);
    std::abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                 \
    do {                                                                              \
        if (!(condition))                                                             \
            ::fuzz::fail(#condition, __FILE__, __LINE__, QByteArray() + (detail));    \
    } while (0)

namespace fuzz {

// Message boxes, dialogs and the shell never open while fuzzing: a message
// box is counted and answered OK, a question is answered No, a dialog is
// cancelled.
class QuietModal final : public Modal::Seam {
public:
    int messages = 0;
    QString lastPrompt;
    int messageBox(const QString& prompt, int style, const QString&) override
    {
        ++messages;
        lastPrompt = prompt;
        return (style & 0x0F) == Modal::vbYesNo ? Modal::vbNo : Modal::vbOK;
    }
    QString fileDialog(const Modal::FileRequest&) override { return QString(); }
    QString browseForFolder(const QString&) override { return QString(); }
    bool shellOpen(const QString&) override { return false; }
    std::optional<int> askNumber(const Modal::NumberRequest&) override { return std::nullopt; }
    void endProgram() override { std::abort(); }
};

inline QuietModal& quietModal()
{
    static QuietModal seam;
    return seam;
}

// The one headless application of a target, made on first use and kept
// for the whole run.
inline void ensureApplication()
{
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "morvaneo-fuzz";
        static char* argv[] = {name, nullptr};
        auto* a = new QApplication(argc, argv);
        Installable<Modal::Seam>::install(&quietModal());
        // Font warnings of the headless platform would flood the log; only
        // critical and fatal messages are kept.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", qPrintable(message));
            if (type == QtFatalMsg)
                std::abort();
        });
        return a;
    }();
    (void)app;
}

}  // namespace fuzz
