#include "app/RecoveryCopy.h"

#include "app/MainWindow.h"
#include "app/Texts.h"
#include "platform/Modal.h"
#include "editor/ScriptTextBox.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace Recovery {
namespace {

const QByteArray Magic = QByteArrayLiteral("MORVANEO RECOVERY 1\n");
const QByteArray SumTag = QByteArrayLiteral("\nsha1 ");
constexpr qsizetype SumHexLength = 40;
constexpr qsizetype HeaderLimit = 64 * 1024;
constexpr qint64 WritePiece = 1 << 20;

class RealDisk final : public Disk {
public:
    qint64 write(QFile& file, const char* data, qint64 size) override { return file.write(data, size); }
    bool replace(const QString& from, const QString& to) override
    {
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), error);
        return !error;
    }
};

QByteArray headerOf(const Copy& c, qsizetype length)
{
    QByteArray h = Magic;
    h += "changed " + QByteArray::number(c.changed) + '\n';
    h += "file " + c.file.toUtf8().toPercentEncoding() + '\n';
    h += "path " + c.path.toUtf8().toPercentEncoding() + '\n';
    h += "length " + QByteArray::number(qint64(length)) + "\n\n";
    return h;
}

// Parses the header at the start of bytes; the offset of the text, or -1.
qsizetype parseHeader(QByteArrayView bytes, Copy* out, qsizetype* length)
{
    if (!bytes.startsWith(Magic))
        return -1;
    const qsizetype end = bytes.indexOf(QByteArrayView("\n\n"));
    if (end < 0)
        return -1;
    const QList<QByteArray> lines = bytes.sliced(Magic.size(), end + 1 - Magic.size()).toByteArray().split('\n');
    // changed, file, path, length and the empty piece after the last break.
    if (lines.size() != 5 || !lines[4].isEmpty())
        return -1;
    const char* const names[] = {"changed ", "file ", "path ", "length "};
    for (int i = 0; i < 4; ++i)
        if (!lines[i].startsWith(names[i]))
            return -1;
    bool okChanged = false, okLength = false;
    const qint64 changed = lines[0].mid(8).toLongLong(&okChanged);
    const qint64 n = lines[3].mid(7).toLongLong(&okLength);
    if (!okChanged || !okLength || n < 0)
        return -1;
    out->changed = changed;
    out->file = QString::fromUtf8(QByteArray::fromPercentEncoding(lines[1].mid(5)));
    out->path = QString::fromUtf8(QByteArray::fromPercentEncoding(lines[2].mid(5)));
    *length = qsizetype(n);
    return end + 2;
}

QString describe(const QString& path, const QString& error)
{
    return QStringLiteral("\"%1\" cannot be written (%2)").arg(QDir::toNativeSeparators(path), error);
}

}  // namespace

QString folder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/morvaneo/recovery");
}

Disk& disk()
{
    static RealDisk real;
    return Installable<Disk>::inUse(real);
}

QByteArray bytesOf(const Copy& c)
{
    QByteArray out = headerOf(c, c.text.size()) + c.text;
    const QByteArray sum = QCryptographicHash::hash(out, QCryptographicHash::Sha1).toHex();
    return out + SumTag + sum + '\n';
}

bool parse(QByteArrayView bytes, Copy* out)
{
    Copy c;
    qsizetype length = 0;
    const qsizetype start = parseHeader(bytes, &c, &length);
    if (start < 0 || bytes.size() - start != length + SumTag.size() + SumHexLength + 1)
        return false;
    const QByteArrayView trailer = bytes.sliced(start + length);
    if (!trailer.startsWith(SumTag) || !trailer.endsWith('\n'))
        return false;
    const QByteArray sum =
        QCryptographicHash::hash(bytes.first(start + length), QCryptographicHash::Sha1).toHex();
    if (trailer.sliced(SumTag.size(), SumHexLength) != sum)
        return false;
    c.text = bytes.sliced(start, length).toByteArray();
    *out = std::move(c);
    return true;
}

bool readHeader(const QString& copyFile, Copy* out)
{
    QFile f(copyFile);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    qsizetype length = 0;
    Copy c;
    if (parseHeader(f.read(HeaderLimit), &c, &length) < 0)
        return false;
    *out = std::move(c);
    return true;
}

bool read(const QString& copyFile, Copy* out)
{
    QFile f(copyFile);
    if (!QFileInfo(copyFile).isFile() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    return f.error() == QFileDevice::NoError && parse(bytes, out);
}

bool write(const QString& copyFile, const Copy& head, const std::vector<Piece>& text, QString* reason,
           Disk& through)
{
    const QString temp = copyFile + QStringLiteral(".tmp");
    QFile f(temp);
    auto fail = [&](const QString& why) {
        *reason = describe(temp, why);
        f.close();
        QFile::remove(temp);
        return false;
    };
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(f.errorString());
    qsizetype length = 0;
    for (const Piece& p : text)
        length += p.size;
    QCryptographicHash sum(QCryptographicHash::Sha1);
    auto put = [&](const char* data, qint64 size, bool summed) {
        if (summed)
            sum.addData(QByteArrayView(data, size));
        for (qint64 done = 0; done < size;) {
            const qint64 n = qMin(WritePiece, size - done);
            if (through.write(f, data + done, n) != n)
                return false;
            done += n;
        }
        return true;
    };
    const QByteArray header = headerOf(head, length);
    if (!put(header.constData(), header.size(), true))
        return fail(f.errorString());
    for (const Piece& p : text)
        if (!put(p.bytes.constData() + p.from, p.size, true))
            return fail(f.errorString());
    const QByteArray trailer = SumTag + sum.result().toHex() + '\n';
    if (!put(trailer.constData(), trailer.size(), false) || !f.flush())
        return fail(f.errorString());
#ifdef Q_OS_UNIX
    if (::fsync(f.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    f.close();
    if (f.error() != QFileDevice::NoError)
        return fail(f.errorString());
    if (!through.replace(temp, copyFile))
        return fail(QStringLiteral("it could not be renamed to \"%1\"").arg(QFileInfo(copyFile).fileName()));
#ifdef Q_OS_UNIX
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(QFile::encodeName(QFileInfo(copyFile).absolutePath()).constData(), O_RDONLY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
#endif
    return true;
}

}  // namespace Recovery

// ---------------------------------------------------------------- the writer

namespace {

using Recovery::Piece;

// Buffers a copy is taken into; the writer makes them ahead of time, so that
// the user-interface thread never waits for fresh memory.
constexpr qsizetype Chunk = 1 << 20;
// Chunks taken per turn of the event loop (about a millisecond each).
constexpr int ChunksPerTurn = 4;
// A copy is begun at most this long after the first change not yet in one.
constexpr qint64 IntervalMs = 500;
// After a failure, no new attempt comes sooner than this.
constexpr qint64 RetryMs = 5000;

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

bool toldOfFailure = false;  // the user is told once per run

struct Job {
    enum Kind { Prepare, Write, Remove, Release } kind = Prepare;
    QString copyFile;
    Recovery::Copy head;
    std::vector<Piece> pieces;
    std::vector<QByteArray> chunks;
    std::unique_ptr<QLockFile> lock;
    Recovery::Disk* disk = nullptr;
    quint64 generation = 0;
    qsizetype want = 0;  // Prepare: chunks the pool should hold
};

}  // namespace

class RecoveryCopy::Writer {
public:
    using Done = std::function<void(quint64 generation, bool ok, const QString& reason)>;
    explicit Writer(Done done) : m_done(std::move(done)), m_thread([this] { run(); }) {}
    ~Writer()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    void post(Job job)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (job.kind == Job::Prepare)
                m_want = job.want;
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_all();
    }

    // Waits until every job posted so far is done.
    void waitIdle()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
    }

    // A chunk from the pool, or an empty array when none is ready.
    QByteArray takeChunk()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pool.empty())
            return QByteArray();
        QByteArray c = std::move(m_pool.back());
        m_pool.pop_back();
        return c;
    }

    void giveBack(std::vector<QByteArray>& chunks)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (QByteArray& c : chunks)
            if (qsizetype(m_pool.size()) < m_want)
                m_pool.push_back(std::move(c));
        chunks.clear();
    }

private:
    void run()
    {
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
                if (m_jobs.empty())
                    return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
                m_busy = true;
            }
            process(job);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_busy = false;
            }
            m_idle.notify_all();
        }
    }

    void process(Job& job)
    {
        switch (job.kind) {
        case Job::Prepare:
            for (;;) {
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    if (qsizetype(m_pool.size()) >= m_want)
                        break;
                }
                // Touched once here, so that taking text into it later
                // costs no page faults on the user-interface thread.
                QByteArray c(Chunk, Qt::Uninitialized);
                std::memset(c.data(), 0, size_t(Chunk));
                std::lock_guard<std::mutex> lock(m_mutex);
                m_pool.push_back(std::move(c));
            }
            break;
        case Job::Write: {
            QString reason;
            const bool ok = Recovery::write(job.copyFile, job.head, job.pieces, &reason, *job.disk);
            job.pieces.clear();
            giveBack(job.chunks);
            m_done(job.generation, ok, reason);
            break;
        }
        case Job::Remove:
            QFile::remove(job.copyFile);
            QFile::remove(job.copyFile + QStringLiteral(".tmp"));
            [[fallthrough]];
        case Job::Release:
            job.lock.reset();
            // No copy until the next change: the buffers are let go.
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_want = 0;
                m_pool.clear();
            }
            break;
        }
    }

    Done m_done;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    std::vector<QByteArray> m_pool;
    qsizetype m_want = 0;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};

// ---------------------------------------------------------------- the window's copy

RecoveryCopy::RecoveryCopy(MainWindow* window) : m_window(window)
{
    m_writer = std::make_unique<Writer>([this](quint64 generation, bool ok, const QString& reason) {
        QMetaObject::invokeMethod(
            this, [this, generation, ok, reason] { wroteCopy(generation, ok, reason); }, Qt::QueuedConnection);
    });
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryCopy::tick);
    connect(m_window->Text1, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int, int, int, int, int, int) {
                edited(position, type, text, length);
            });
}

RecoveryCopy::~RecoveryCopy()
{
    // Whatever was handed to the writer is finished; the copy stays, for a
    // later start to offer, and the lock goes with this object.
    m_writer.reset();
}

QString RecoveryCopy::copyFile() const
{
    return Recovery::folder() + u'/' + m_id + QStringLiteral(".copy");
}

QString RecoveryCopy::currentPath() const
{
    return m_window->ActualFile.isEmpty() ? m_origin : m_window->ActualFile;
}

void RecoveryCopy::changed()
{
    m_lastChange = now();
    // An edit made while a copy is being taken goes into that copy.
    if (m_state == State::Copying)
        return;
    if (!m_dirty) {
        m_dirty = true;
        m_firstDirty = m_lastChange;
    }
    schedule();
}

void RecoveryCopy::schedule()
{
    if (!m_dirty || m_state != State::Idle || m_timer.isActive())
        return;
    const qint64 t = now();
    m_timer.start(int(qBound<qint64>(0, qMax(m_firstDirty + IntervalMs, m_retryAt) - t, RetryMs)));
}

void RecoveryCopy::tick()
{
    if (m_state != State::Idle)
        return;
    if (m_window->Changed == 0) {
        clean(currentPath());
        return;
    }
    if (m_dirty)
        startCopy();
}

bool RecoveryCopy::ensureCopyFile()
{
    if (!m_id.isEmpty())
        return true;
    const QString dir = Recovery::folder();
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isDir()) {
        // Name what stands in the way when a file does.
        QString blocker = dir;
        while (!QFileInfo::exists(blocker) && QFileInfo(blocker).absolutePath() != blocker)
            blocker = QFileInfo(blocker).absolutePath();
        reportFailure(QFileInfo(blocker).isDir()
                          ? QStringLiteral("the folder \"%1\" cannot be made").arg(QDir::toNativeSeparators(dir))
                          : QStringLiteral("\"%1\" is a file, not a folder").arg(QDir::toNativeSeparators(blocker)));
        return false;
    }
    const QString id = QStringLiteral("%1-%2-%3")
                           .arg(now())
                           .arg(QCoreApplication::applicationPid())
                           .arg(quintptr(this) & 0xFFFFFF, 0, 16);
    auto lock = std::make_unique<QLockFile>(dir + u'/' + id + QStringLiteral(".lock"));
    // Only an owner that is gone frees a lock, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        reportFailure(QStringLiteral("the folder \"%1\" cannot be written").arg(QDir::toNativeSeparators(dir)));
        return false;
    }
    m_id = id;
    m_lock = std::move(lock);
    return true;
}

void RecoveryCopy::startCopy()
{
    if (!ensureCopyFile()) {
        m_retryAt = now() + RetryMs;
        return;
    }
    m_dirty = false;
    m_state = State::Copying;
    m_pieces.clear();
    m_taken = 0;
    const qsizetype length = qsizetype(m_window->Text1->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    Job prepare;
    prepare.kind = Job::Prepare;
    prepare.want = length / Chunk + 2;
    m_writer->post(std::move(prepare));
    QTimer::singleShot(0, this, &RecoveryCopy::step);
}

void RecoveryCopy::step()
{
    if (m_state != State::Copying)
        return;
    for (int i = 0; i < ChunksPerTurn; ++i) {
        if (!copyPiece(false)) {
            // The writer is still making buffers, or the script grew past
            // the ones asked for.
            if (!m_askedForChunks) {
                Job prepare;
                prepare.kind = Job::Prepare;
                const qsizetype length = qsizetype(m_window->Text1->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
                prepare.want = (length - m_taken) / Chunk + 2;
                m_writer->post(std::move(prepare));
                m_askedForChunks = true;
            }
            QTimer::singleShot(2, this, &RecoveryCopy::step);
            return;
        }
        if (m_taken == qsizetype(m_window->Text1->SendScintilla(QsciScintillaBase::SCI_GETLENGTH))) {
            finishCopy();
            return;
        }
    }
    QTimer::singleShot(0, this, &RecoveryCopy::step);
}

// Takes the next piece of the document; false when no buffer is ready.
bool RecoveryCopy::copyPiece(bool mayAllocate)
{
    ScriptTextBox* box = m_window->Text1;
    const qsizetype length = qsizetype(box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    if (m_taken >= length)
        return true;
    QByteArray chunk = m_writer->takeChunk();
    if (chunk.isEmpty()) {
        if (!mayAllocate)
            return false;
        chunk = QByteArray(Chunk, Qt::Uninitialized);
    }
    m_askedForChunks = false;
    qsizetype n = qMin(Chunk, length - m_taken);
    // A range across the document's gap would make the document move the
    // gap (and the text behind it): the two sides are taken separately.
    const qsizetype gap = qsizetype(box->SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION));
    if (m_taken < gap && m_taken + n > gap)
        n = gap - m_taken;
    static_assert(sizeof(long) >= sizeof(void*), "a pointer is returned as a long");
    const auto* text = reinterpret_cast<const char*>(
        box->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, ulong(m_taken), long(n)));
    std::memcpy(chunk.data(), text, size_t(n));
    m_pieces.push_back({chunk, 0, n});
    m_chunks.push_back(std::move(chunk));
    m_taken += n;
    return true;
}

void RecoveryCopy::finishCopy()
{
    m_state = State::Writing;
    Job job;
    job.kind = Job::Write;
    job.copyFile = copyFile();
    job.head.file = m_window->ActualFile;
    job.head.path = currentPath();
    job.head.changed = m_lastChange;
    job.pieces = std::move(m_pieces);
    job.chunks = std::move(m_chunks);
    job.disk = &Recovery::disk();
    job.generation = m_generation;
    m_pieces.clear();
    m_chunks.clear();
    m_writer->post(std::move(job));
}

void RecoveryCopy::abandonCopy()
{
    if (m_state == State::Copying) {
        m_pieces.clear();
        m_writer->giveBack(m_chunks);
    }
    m_state = State::Idle;
    ++m_generation;  // a copy still being written no longer changes the state
}

// The document reports each edit before it is made; an edit of the part
// already taken is made in the taken pieces too.
void RecoveryCopy::edited(int position, int type, const char* text, int length)
{
    if (m_state != State::Copying || length <= 0)
        return;
    if (type & QsciScintillaBase::SC_MOD_BEFOREINSERT) {
        if (text) {
            insertTaken(position, text, length);
        } else {
            // Without the text the copy cannot follow: it starts again.
            abandonCopy();
            m_dirty = true;
            schedule();
        }
    } else if (type & QsciScintillaBase::SC_MOD_BEFOREDELETE) {
        deleteTaken(position, length);
    }
}

namespace {
// Splits the pieces so that one starts at position (position <= total);
// returns the index of that piece.
size_t splitAt(std::vector<Piece>& pieces, qsizetype position)
{
    qsizetype at = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (position == at)
            return i;
        if (position < at + pieces[i].size) {
            Piece tail = pieces[i];
            const qsizetype head = position - at;
            pieces[i].size = head;
            tail.from += head;
            tail.size -= head;
            pieces.insert(pieces.begin() + qsizetype(i) + 1, std::move(tail));
            return i + 1;
        }
        at += pieces[i].size;
    }
    return pieces.size();
}
}  // namespace

void RecoveryCopy::insertTaken(qsizetype position, const char* text, qsizetype length)
{
    // At or after the end of what was taken, the text is taken later.
    if (position >= m_taken)
        return;
    const size_t i = splitAt(m_pieces, position);
    m_pieces.insert(m_pieces.begin() + qsizetype(i), Piece{QByteArray(text, length), 0, length});
    m_taken += length;
}

void RecoveryCopy::deleteTaken(qsizetype position, qsizetype length)
{
    if (position >= m_taken)
        return;
    const qsizetype end = qMin(position + length, m_taken);
    const size_t first = splitAt(m_pieces, position);
    const size_t last = splitAt(m_pieces, end);
    m_pieces.erase(m_pieces.begin() + qsizetype(first), m_pieces.begin() + qsizetype(last));
    // What was deleted beyond the part taken was never taken.
    m_taken = position + length >= m_taken ? position : m_taken - length;
}

// Takes and writes what is not yet on disk, here and now; false when no
// copy could be written.
bool RecoveryCopy::finishNow()
{
    if (m_window->Changed == 0)
        return false;
    if (m_state == State::Writing) {
        m_writer->waitIdle();
        ++m_generation;
        m_state = State::Idle;
    }
    if (m_state == State::Idle && (m_dirty || m_id.isEmpty())) {
        if (!ensureCopyFile())
            return false;
        m_dirty = false;
        m_state = State::Copying;
        m_pieces.clear();
        m_taken = 0;
    }
    if (m_state == State::Copying) {
        const qsizetype length = qsizetype(m_window->Text1->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
        while (m_taken < length)
            copyPiece(true);
        finishCopy();
    }
    m_writer->waitIdle();
    ++m_generation;
    m_state = State::Idle;
    return true;
}

void RecoveryCopy::wroteCopy(quint64 generation, bool ok, const QString& reason)
{
    if (generation == m_generation && m_state == State::Writing) {
        m_state = State::Idle;
        if (!ok) {
            m_dirty = true;
            m_retryAt = now() + RetryMs;
        }
        schedule();
    }
    Q_EMIT written(ok);
    if (!ok)
        reportFailure(reason);
}

void RecoveryCopy::reportFailure(const QString& reason)
{
    // While the program ends, no window is left to say it in.
    if (toldOfFailure || m_ending)
        return;
    toldOfFailure = true;
    Modal::MsgBox(QStringLiteral("Unsaved changes cannot be kept for recovery: ") + reason, Modal::vbOKOnly,
                  Texts::App);
}

void RecoveryCopy::clean(const QString& path)
{
    m_origin = path;
    m_dirty = false;
    m_timer.stop();
    abandonCopy();
    if (m_id.isEmpty())
        return;
    Job job;
    job.kind = Job::Remove;
    job.copyFile = copyFile();
    job.lock = std::move(m_lock);
    m_writer->post(std::move(job));
    m_id.clear();
}

void RecoveryCopy::replacing(const QString& path)
{
    if (m_window->Changed != 0 && (m_dirty || !m_id.isEmpty() || m_state != State::Idle) && finishNow()) {
        // The unsaved changes stay on disk; the copy is free to be offered.
        Job job;
        job.kind = Job::Release;
        job.lock = std::move(m_lock);
        m_writer->post(std::move(job));
        m_id.clear();
    }
    clean(path);
}

void RecoveryCopy::offerFor(const QString& path)
{
    QTimer::singleShot(0, this, [this, path] {
        // Only while the script opened from path is still there unchanged.
        if (m_window->Changed == 0 && currentPath() == path)
            offer(path, false);
    });
}

void RecoveryCopy::loaded(const QString& commandLine)
{
    if (commandLine.isEmpty() && m_offerAtStart)
        QTimer::singleShot(0, this, [this] {
            if (m_window->Changed == 0)
                offer(QString(), true);
        });
}

void RecoveryCopy::flush()
{
    m_ending = true;
    if (m_window->Changed != 0)
        finishNow();
    m_writer->waitIdle();
}

void RecoveryCopy::offer(const QString& path, bool anyPath)
{
    const QString dir = Recovery::folder();
    struct Candidate {
        QString id;
        Recovery::Copy head;
        std::unique_ptr<QLockFile> lock;
    };
    std::vector<Candidate> candidates;
    const QStringList names = QDir(dir).entryList({QStringLiteral("*.copy")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString id = name.chopped(5);
        if (id == m_id)
            continue;
        // Copies of other scripts are passed by their header alone: taking
        // a lock writes and syncs a file, which an open should not wait for.
        const auto wanted = [&](Recovery::Copy* head) {
            return Recovery::readHeader(dir + u'/' + name, head) && (anyPath || head->path == path);
        };
        Recovery::Copy head;
        if (!wanted(&head))
            continue;
        auto lock = std::make_unique<QLockFile>(dir + u'/' + id + QStringLiteral(".lock"));
        lock->setStaleLockTime(0);
        // A copy whose editor still runs is never touched; read again once
        // locked, in case its editor wrote it meanwhile.
        if (!lock->tryLock(0))
            continue;
        Candidate c{id, {}, std::move(lock)};
        if (wanted(&c.head))
            candidates.push_back(std::move(c));
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.head.changed > b.head.changed; });
    // The newest copy that reads whole; a damaged one stays where it is.
    for (Candidate& c : candidates) {
        const QString file = dir + u'/' + c.id + QStringLiteral(".copy");
        Recovery::Copy copy;
        if (!Recovery::read(file, &copy))
            continue;
        QFile::remove(file + QStringLiteral(".tmp"));  // left by a write its editor never finished
        const QString shown = copy.file.isEmpty() ? copy.path : copy.file;
        const QString name = shown.isEmpty() ? Texts::Untitled : QFileInfo(shown).fileName();
        const QString when =
            QDateTime::fromMSecsSinceEpoch(copy.changed).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        const int answer = Modal::MsgBox(
            QStringLiteral("Unsaved changes to \"%1\" from %2 were found. Recover them?").arg(name, when),
            Modal::vbYesNo + Modal::vbQuestion, Texts::App);
        if (answer != Modal::vbYes) {
            QFile::remove(file);
            return;  // the lock goes with the candidates
        }
        // The copy now belongs to this window.
        clean(currentPath());
        m_id = c.id;
        m_lock = std::move(c.lock);
        m_window->Text1->loadText(ScriptDocument::decode(copy.text.constData(), copy.text.size()));
        m_window->ActualFile = copy.file;
        m_window->Changed = 1;
        m_window->setCaption(Texts::BetaCaption + (shown.isEmpty() ? Texts::Untitled : shown));
        m_origin = copy.path;
        // The copy on disk is this text already.
        m_timer.stop();
        m_dirty = false;
        m_lastChange = copy.changed;
        return;
    }
}
