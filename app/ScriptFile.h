#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Script files: single-byte Windows-1252 text with CR LF line ends.
namespace ScriptFile {

// Windows-1252, with its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// read as the control characters of the same number, so that every byte has
// a character and comes back as itself.
QString decode(QByteArrayView bytes);
// Characters the code page cannot hold are written as '?'; *lossy tells
// whether that happened.
QByteArray encode(QStringView text, bool* lossy = nullptr);
// The byte of one character, or -1 when the code page has none.
int byteFor(char16_t c);
// The characters of text that the code page cannot hold, each once, in order.
QString unencodable(QStringView text);

// The reading rule: the lines of a decoded file joined by CR LF, no break
// after the last line. A line ends at CR LF or at a lone CR; a lone LF is
// part of its line.
QString readingRule(QStringView decoded);
// Every CR LF, lone CR and lone LF of text as CR LF.
QString lineBreaksToCrLf(QStringView text);
// The writing rule: the script text followed by CR LF.
QString writingRule(QStringView text);

// What the editor holds of a file it opened: the text exactly as in the
// file except for a final CR LF, and whether that final break was there,
// so that saving writes back the very bytes that were read.
struct Loaded {
    QString text;
    bool finalLineBreak = true;
};
Loaded splitFinalBreak(QString decoded);
QString joinFinalBreak(QStringView text, bool finalLineBreak);

// Reads a whole regular file; false when it cannot be opened or read
// (missing, a directory, a device, no permission).
bool readFile(const QString& path, QByteArray* bytes);
// Writes through a temporary file beside the target that replaces it only
// once every byte is on disk; the old file stays as it was on any failure.
bool writeFile(const QString& path, QByteArrayView bytes);

// Test seam: makes writes fail after this many bytes (-1: never).
void setWriteFailureAfter(qint64 bytes);

}  // namespace ScriptFile
