#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>

#include "base/Installable.h"

// Script files: single-byte Windows-1252 text with CR LF line ends.
namespace ScriptFile {

// Windows-1252, with its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// read as the control characters of the same number, so that every byte has
// a character and comes back as itself.
QString decode(QByteArrayView bytes);
// The same, appended to text: for a reader that decodes a line piece by piece
// into one buffer it reuses.
void appendDecoded(QString& text, QByteArrayView bytes);
// Characters the code page cannot hold are written as '?'; *lossy tells
// whether that happened.
QByteArray encode(QStringView text, bool* lossy = nullptr);
// The byte of one character, or -1 when the code page has none.
int byteFor(char16_t c);
// The characters of text that the code page cannot hold, each once, in order.
QString unencodable(QStringView text);

// The reading rule: the script text of a file's bytes. The file's lines,
// decoded, joined by CR LF, with no break after the last line. A line ends
// at CR LF or at a lone CR; a lone LF is a character of its line.
QString readingRule(QByteArrayView bytes);
// The same text as UTF-8, handed to take in pieces of about a megabyte, each
// ending between two characters and never between a CR and its LF: a large
// file goes into the script box without a copy of its text as UTF-16.
void readingRuleUtf8(QByteArrayView bytes, const std::function<void(QByteArrayView)>& take);
// At least as many bytes as readingRuleUtf8 gives for bytes, and close to
// it: room for the text made once, instead of grown (and copied) while the
// text goes in.
qsizetype readingRuleUtf8Bound(QByteArrayView bytes);
// The writing rule: the bytes of a script text, which is followed by CR LF.
// Characters the code page cannot hold are written as '?' (*lossy tells).
QByteArray writingRule(QStringView text, bool* lossy = nullptr);

// Reads a whole regular file; false when it cannot be opened or read
// (missing, a directory, a device, no permission).
bool readFile(const QString& path, QByteArray* bytes);
// Writes through a temporary file beside the target that replaces it only
// once every byte is on disk; the old file stays as it was on any failure.
bool writeFile(const QString& path, QByteArrayView bytes);

// Puts the bytes of a save into the temporary file, a piece at a time; the
// number written, or -1. The real one writes them; another can be installed
// through Installable<ScriptFile::PieceWriter> to see how saving copes with a
// disk that fails part-way.
class PieceWriter {
public:
    virtual ~PieceWriter() = default;
    virtual qint64 write(QIODevice& file, const char* data, qint64 size) = 0;
};

}  // namespace ScriptFile
