#pragma once
#include "base/Installable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class MainWindow;
class QFile;
class QLockFile;

// Recovery copies of unsaved work. While the script has unsaved changes, the
// editor keeps one copy of it in the recovery folder, never more than about
// a second behind the typing; a later start offers it back when the editor
// that wrote it is gone.
namespace Recovery {

// $XDG_STATE_HOME/morvaneo/recovery, ~/.local/state/morvaneo/recovery when
// that variable is unset or not an absolute path.
QString folder();

// What a copy holds.
struct Copy {
    QByteArray text;     // the script as the document holds it (UTF-8), every byte
    QString file;        // ActualFile; "" for an untitled script
    QString path;        // the path the script goes by: ActualFile, or the path it
                         // was opened from when that left ActualFile empty
    qint64 changed = 0;  // the last change it contains, ms since the epoch
};

// A run of bytes of a copy's text: bytes[from, from + size).
struct Piece {
    QByteArray bytes;
    qsizetype from = 0;
    qsizetype size = 0;
};

// Reads a copy's header only (the text stays empty): cheap, for choosing
// among copies. False when the file cannot be read or is no copy.
bool readHeader(const QString& copyFile, Copy* out);
// Reads a whole copy and checks its length and checksum; false when it
// cannot be read, is truncated or damaged, so a half text is never taken.
bool read(const QString& copyFile, Copy* out);
// The bytes of a copy file (header, text, checksum), as write() puts them.
QByteArray bytesOf(const Copy& copy);
// The copy held in a copy file's bytes; false when damaged.
bool parse(QByteArrayView bytes, Copy* out);

// The disk operations of the writer: putting a piece of bytes into the
// temporary file and renaming it over the copy. Another can be installed
// through Installable<Recovery::Disk> to see how a failing disk is met.
class Disk {
public:
    virtual ~Disk() = default;
    // The number of bytes written, or -1.
    virtual qint64 write(QFile& file, const char* data, qint64 size) = 0;
    virtual bool replace(const QString& from, const QString& to) = 0;
};
Disk& disk();

// Writes a copy (header fields of `head`, text of `text`) to copyFile
// through copyFile + ".tmp" in the same folder: written, flushed to disk and
// renamed over the old copy, so the old copy or the new one is there, never
// a mix. False, with *reason, when it could not be written.
bool write(const QString& copyFile, const Copy& head, const std::vector<Piece>& text, QString* reason,
           Disk& through);

}  // namespace Recovery

// The recovery copy of one main window's script. The window calls it on each
// change, after each save or New, before a file replaces the script, after a
// script was opened, at its start and when the program quits.
//
// Taking the text never holds the user-interface thread for long: a copy is
// taken a few megabytes per turn of the event loop, the edits made between
// two turns are applied to the part already taken, and a writer thread
// writes the finished copy to disk.
class RecoveryCopy : public QObject {
    Q_OBJECT
public:
    explicit RecoveryCopy(MainWindow* window);
    ~RecoveryCopy() override;

    // The script changed (Changed is 1).
    void changed();
    // Changed went to 0 (a save, New): the copy goes. path: the path the
    // script now goes by ("" after New).
    void clean(const QString& path);
    // A file's text is about to replace the script: unsaved changes of the
    // script are written to its copy, which stays for a later offer.
    void replacing(const QString& path);
    // A script was opened from path: offers a copy left behind for the same
    // path, once the opening has finished.
    void offerFor(const QString& path);
    // The program's own start: once the window has loaded without a script,
    // the newest copy left behind is offered.
    void offerAtStart() { m_offerAtStart = true; }
    // The window has loaded (with commandLine, "" for none).
    void loaded(const QString& commandLine);
    // The program ends: the copy on disk holds the latest text on return.
    void flush();

Q_SIGNALS:
    // A copy was written (ok) or could not be.
    void written(bool ok);

private:
    class Writer;
    enum class State { Idle, Copying, Writing };

    void schedule();
    void tick();
    bool ensureCopyFile();
    void startCopy();
    void step();
    bool copyPiece(bool mayAllocate);
    void finishCopy();
    void abandonCopy();
    bool finishNow();
    void edited(int position, int type, const char* text, int length);
    void insertTaken(qsizetype position, const char* text, qsizetype length);
    void deleteTaken(qsizetype position, qsizetype length);
    void wroteCopy(quint64 generation, bool ok, const QString& reason);
    void reportFailure(const QString& reason);
    void offer(const QString& path, bool anyPath);
    QString currentPath() const;
    QString copyFile() const;

    MainWindow* m_window;
    std::unique_ptr<Writer> m_writer;
    QTimer m_timer;
    State m_state = State::Idle;
    bool m_dirty = false;        // changes not yet in a copy taken or under way
    qint64 m_firstDirty = 0;     // when the oldest of them was made
    qint64 m_lastChange = 0;
    qint64 m_retryAt = 0;        // no new attempt before this after a failure
    quint64 m_generation = 0;    // bumped whenever a copy in flight stops mattering
    QString m_id;                // this window's copy, "" while it has none
    std::unique_ptr<QLockFile> m_lock;
    QString m_origin;            // the path the script was opened from
    std::vector<Recovery::Piece> m_pieces;  // the copy under way
    std::vector<QByteArray> m_chunks;       // the buffers its pieces were taken into
    qsizetype m_taken = 0;       // document bytes [0, m_taken) are in m_pieces
    bool m_offerAtStart = false;
    bool m_askedForChunks = false;  // more buffers asked of the writer
    bool m_ending = false;          // the program is ending
};
