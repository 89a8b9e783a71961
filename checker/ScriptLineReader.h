#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Reads a script file one line at a time, so that checking a file needs
// memory for one line rather than for the whole file. The lines are those
// the checker window gets from the editor's text: the reading rule (a line
// ends at CR LF or a lone CR; the break after the last line is no line of
// its own), then the window's split, where a lone LF ends a line too. Each
// line is decoded by the script code page.
//
// The file is opened by its name's exact bytes, never decoded, so a name
// that is not valid UTF-8 opens the file that has it. rewind() starts over,
// for a check that needs a first pass over the lines.
class ScriptLineReader {
public:
    explicit ScriptLineReader(qsizetype blockSize = 1 << 16);
    ~ScriptLineReader();
    ScriptLineReader(const ScriptLineReader&) = delete;
    ScriptLineReader& operator=(const ScriptLineReader&) = delete;

    // Opens a regular file; false with reason() when it cannot be read.
    bool open(const QByteArray& path);
    // Puts the next line into *line, whose storage is reused; false after
    // the last line, or on a read error (then reason() says why).
    bool next(QString* line);
    // The same line as its bytes, not decoded. The view stays valid until
    // the next call; most lines are read where the file's block holds them,
    // without a copy.
    bool nextBytes(QByteArrayView* line);
    // Back to the first line; false with reason() when the file cannot seek.
    bool rewind();
    // Why the file could not be opened or read, "" while nothing failed:
    // the system's reason, or "not a regular file".
    QByteArray reason() const { return reason_; }

private:
    bool fill();
    // Reads the next line, handing its bytes to take(piece, ended) a piece
    // per block they lie in, ended for its last piece; false after the last
    // line or on a read error.
    template <class Take>
    bool readLine(Take take);
    void fail(int error);

    int fd_ = -1;
    QByteArray block_;
    QByteArray carry_;         // a line that goes on past the end of a block
    qsizetype blockSize_;
    qsizetype pos_ = 0;
    qsizetype end_ = 0;
    bool done_ = false;
    bool skipLf_ = false;      // a CR ended the last block: an LF starting the next belongs to it
    bool lastBreakCr_ = false; // the latest break was CR or CR LF
    QByteArray reason_;
};
