// Faults and bad input: saves that fail at every stage, a save killed in the
// middle, opening things that are not regular files, a damaged settings
// store, and paths full of characters a shell would interpret.
//
// The tests run as root in CI, where permission bits stop nothing, so every
// failure here is one that no user can get past: a missing folder, a file
// where a folder must be, a pipe, a file size limit, a folder moved away.
// Nothing is ever written outside the test's own temporary folders.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "platform/TreeView.h"
#include "app/RecentList.h"
#include "language/ScriptFile.h"
#include "dialogs/Logo.h"
#include "dialogs/RecentFiles.h"
#include "platform/ListBox.h"
#include "editor/ScriptTextBox.h"
#include "settings/Association.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString App = QStringLiteral("Morvaneo");
const QString CouldNot = QStringLiteral("File could not be loaded/saved.");
const QString Beta = QStringLiteral("Morvaneo II BETA - ");
const QString PreferencesLost = QStringLiteral("Your preferences could not be saved");

// Ends the whole run when a step that must return at once does not (an open
// that blocks on a pipe, say), instead of hanging until CI gives up.
class Watchdog {
public:
    Watchdog(int seconds, const char* what) : m_what(what)
    {
        m_thread = std::thread([this, seconds] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_disarmed; })) {
                std::fprintf(stderr, "FAIL: %s did not return within %d s\n", m_what, seconds);
                std::fflush(stderr);
                std::_Exit(3);
            }
        });
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_disarmed = true;
        }
        m_done.notify_all();
        m_thread.join();
    }

private:
    const char* m_what;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_disarmed = false;
    std::thread m_thread;
};

// A modal seam like FakeModal whose file dialog runs a function, so that a
// test can change the disk between the user's choice and what follows.
class ChoosingSeam final : public Installed<Modal::Seam> {
public:

    QList<FakeModal::Message> messages;
    std::function<QString()> choose;

    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        messages.append({prompt, style, title});
        if ((style & 0x0F) != Modal::vbOKOnly)
            qFatal("unexpected question: %s", qPrintable(prompt));
        return Modal::vbOK;
    }
    QString fileDialog(const Modal::FileRequest&) override
    {
        if (!choose)
            qFatal("unexpected file dialog");
        return choose();
    }
    QString browseForFolder(const QString&) override { qFatal("unexpected folder dialog"); }
    bool shellOpen(const QString&) override { return false; }
    std::optional<int> askNumber(const Modal::NumberRequest&) override { qFatal("unexpected number asked"); }
    void endProgram() override {}
};

// Every name in a folder (also hidden ones), sorted.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

bool makeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// Limits the size of any file this process writes (root included) for the
// lifetime of the object; a write past it fails instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

// True when this process holds a file open inside `folder`: the save's
// temporary file, which exists only between the start of a save and its
// commit (unnamed, it shows in /proc only).
bool holdsFileInside(const QByteArray& folder)
{
    DIR* fds = ::opendir("/proc/self/fd");
    if (!fds)
        return false;
    bool found = false;
    char target[4096];
    while (dirent* e = ::readdir(fds)) {
        const QByteArray link = QByteArray("/proc/self/fd/") + e->d_name;
        const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
        if (n > folder.size() && std::memcmp(target, folder.constData(), size_t(folder.size())) == 0 &&
            target[folder.size()] == '/') {
            found = true;
            break;
        }
    }
    ::closedir(fds);
    return found;
}

// Moves `folder` to `away` the moment a save has its temporary file open in
// it, so that the save can only fail at its commit.
class MoveFolderDuringSave {
public:
    MoveFolderDuringSave(const QString& folder, const QString& away)
        : m_folder(QFile::encodeName(folder)), m_away(QFile::encodeName(away))
    {
        m_thread = std::thread([this] {
            while (!m_stop.load()) {
                if (holdsFileInside(m_folder)) {
                    m_moved = ::rename(m_folder.constData(), m_away.constData()) == 0;
                    return;
                }
            }
        });
    }
    ~MoveFolderDuringSave() { finish(); }
    bool finish()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_moved;
    }

private:
    QByteArray m_folder;
    QByteArray m_away;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_moved{false};
    std::thread m_thread;
};

// A script of about `bytes` bytes, lines of 1,000 characters, filled with
// `fill`: big, yet cheap for the text box to take.
QString bigScript(qsizetype bytes, char fill)
{
    const QString line = QString(998, QLatin1Char(fill)) + QStringLiteral("\r\n");
    QString s;
    s.reserve(bytes + line.size());
    while (s.size() < bytes)
        s += line;
    s.chop(2);
    return s;
}

// The two contents the save-loop child alternates between: the same size,
// different in every line, so that any mix of them is neither.
QByteArray loopContent(int which)
{
    const qsizetype size = 50 * 1000 * 1000;
    QByteArray line(1000, which ? 'B' : 'A');
    line[998] = '\r';
    line[999] = '\n';
    QByteArray out;
    out.reserve(size);
    for (qsizetype i = 0; out.size() < size; ++i) {
        line[0] = char('0' + i % 10);
        out += line;
    }
    out.truncate(size);
    return out;
}

// The child started by killedWhileSaving: saves the two contents in turn
// through the writer, reading the file back before each save, until killed.
int saveLoop(const QString& path)
{
    const QByteArray contents[2] = {loopContent(0), loopContent(1)};
    for (int i = 0;; ++i) {
        QByteArray read;
        if (i > 0 && (!ScriptFile::readFile(path, &read) || (read != contents[0] && read != contents[1])))
            return 2;
        if (!ScriptFile::writeFile(path, contents[i % 2]))
            return 3;
        std::printf("saved %d\n", i);
        std::fflush(stdout);
    }
}

}  // namespace

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void saveFailures_data();
    void saveFailures();
    void killedWhileSaving();
    void openNonRegular_data();
    void openNonRegular();
    void damagedSettings_data();
    void damagedSettings();
    void oddPathsTakenLiterally();
    void oddPathsThroughTheProgram();
    void oddPathsThroughTheLauncher();
};

// ---------------------------------------------------------------- saving

void TestFaults::saveFailures_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<qint64>("k");
    QTest::newRow("folder vanished after the choice") << "vanished" << qint64(0);
    QTest::newRow("parent is a regular file") << "parent file" << qint64(0);
    QTest::newRow("name is a folder") << "folder" << qint64(0);
    QTest::newRow("link to a pipe") << "pipe link" << qint64(0);
    QTest::newRow("link into a missing folder") << "dangling" << qint64(0);
    for (qint64 k : {qint64(0), qint64(1), qint64(65536), qint64((1 << 20) - 1), qint64(1 << 20),
                     qint64((1 << 20) + 1), qint64(3 * 1000 * 1000 - 1)})
        QTest::addRow("disk full after %lld bytes", k) << "writer" << k;
    for (qint64 k : {qint64(0), qint64(4096), qint64(2 * 1000 * 1000)})
        QTest::addRow("file size limit of %lld bytes", k) << "size limit" << k;
    QTest::newRow("small script held back until the commit") << "commit flush" << qint64(5);
    QTest::newRow("commit: folder moved away during the save") << "commit moved" << qint64(0);
}

void TestFaults::saveFailures()
{
    QFETCH(QString, stage);
    QFETCH(qint64, k);
    TempSettings settings;
    ChoosingSeam seam;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("scripts"));
    QVERIFY(QDir().mkpath(folder));
    const QString old = folder + QStringLiteral("/old.mvn5");
    const QByteArray oldBytes("Script_Identifier Old\r\nold \xa0 content\r\n");
    writeBytes(old, oldBytes);

    // The user opened the old file and changed it.
    MainWindow w;
    w.show();
    seam.choose = [&] { return old; };
    w.FileOpenProc();
    QCOMPARE(w.ActualFile, old);
    const bool big = stage == QStringLiteral("writer") || stage == QStringLiteral("size limit") ||
                     stage == QStringLiteral("commit moved");
    w.Text1->setText(big ? bigScript(stage == QStringLiteral("commit moved") ? 32 * 1000 * 1000 : 3 * 1000 * 1000, 'n')
                         : QStringLiteral("new content"));
    QCOMPARE(w.Changed, qint16(1));
    const QString caption = w.windowTitle();
    const QStringList recent = RecentList::read();
    seam.messages.clear();

    QString elsewhere;  // a second folder whose contents must not change
    bool saved = true;
    {
        Watchdog watchdog(120, "a failing save");
        if (stage == QStringLiteral("vanished")) {
            // Save As onto the old file, whose folder is moved away right
            // after the choice.
            elsewhere = dir.filePath(QStringLiteral("moved"));
            seam.choose = [&] {
                QDir().rename(folder, elsewhere);
                return old;
            };
            saved = w.FileSaveAsProc();
            QVERIFY(!QFileInfo::exists(folder));
            QCOMPARE(readBytes(elsewhere + QStringLiteral("/old.mvn5")), oldBytes);
            QVERIFY(QDir().rename(elsewhere, folder));
            elsewhere.clear();
        } else if (stage == QStringLiteral("parent file")) {
            seam.choose = [&] { return old + QStringLiteral("/x.mvn5"); };
            saved = w.FileSaveAsProc();
        } else if (stage == QStringLiteral("folder")) {
            seam.choose = [&] { return folder; };
            saved = w.FileSaveAsProc();
        } else if (stage == QStringLiteral("pipe link")) {
            elsewhere = dir.filePath(QStringLiteral("pipes"));
            QVERIFY(QDir().mkpath(elsewhere));
            QVERIFY(makeFifo(elsewhere + QStringLiteral("/fifo")));
            QVERIFY(QFile::link(elsewhere + QStringLiteral("/fifo"), elsewhere + QStringLiteral("/link.mvn5")));
            seam.choose = [&] { return elsewhere + QStringLiteral("/link.mvn5"); };
            saved = w.FileSaveAsProc();
        } else if (stage == QStringLiteral("dangling")) {
            elsewhere = dir.filePath(QStringLiteral("links"));
            QVERIFY(QDir().mkpath(elsewhere));
            QVERIFY(QFile::link(elsewhere + QStringLiteral("/gone/x.mvn5"), elsewhere + QStringLiteral("/link.mvn5")));
            seam.choose = [&] { return elsewhere + QStringLiteral("/link.mvn5"); };
            saved = w.FileSaveAsProc();
        } else if (stage == QStringLiteral("writer")) {
            FailingWriter failing(k);
            saved = w.FileSaveProc();
        } else if (stage == QStringLiteral("size limit") || stage == QStringLiteral("commit flush")) {
            // A small script stays in the file's buffer until the commit,
            // which is then the step that fails.
            FileSizeLimit limit{rlim_t(k)};
            QVERIFY(limit.ok());
            saved = w.FileSaveProc();
        } else if (stage == QStringLiteral("commit moved")) {
            // The folder goes while the temporary file is being written: the
            // writing succeeds and the commit cannot place the file. The
            // mover watches from another thread; should it come too late
            // the save succeeds, and the attempt is made again.
            elsewhere = dir.filePath(QStringLiteral("moved"));
            for (int attempt = 0; attempt < 10; ++attempt) {
                MoveFolderDuringSave mover(folder, elsewhere);
                saved = w.FileSaveProc();
                const bool moved = mover.finish();
                if (moved)
                    QVERIFY(QDir().rename(elsewhere, folder));
                if (!saved)
                    break;
                qInfo("the folder moved too late (attempt %d); again", attempt + 1);
                writeBytes(old, oldBytes);
                w.Changed = 1;
                w.setCaption(caption);
                seam.messages.clear();
            }
            elsewhere.clear();
        }
    }

    QVERIFY(!saved);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().prompt, CouldNot);
    QCOMPARE(seam.messages.first().title, QStringLiteral("Error"));
    QCOMPARE(seam.messages.first().style, Modal::vbOKOnly + Modal::vbCritical);
    QCOMPARE(readBytes(old), oldBytes);
    QCOMPARE(QFileInfo(old).size(), qint64(oldBytes.size()));
    QCOMPARE(entries(folder), QStringList{QStringLiteral("old.mvn5")});  // no temporary file left
    QCOMPARE(w.Changed, qint16(1));
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(w.ActualFile, old);
    QCOMPARE(RecentList::read(), recent);
    if (stage == QStringLiteral("pipe link"))
        QCOMPARE(entries(elsewhere), QStringList({QStringLiteral("fifo"), QStringLiteral("link.mvn5")}));
    if (stage == QStringLiteral("dangling")) {
        QCOMPARE(entries(elsewhere), QStringList{QStringLiteral("link.mvn5")});
        QVERIFY(QFileInfo(elsewhere + QStringLiteral("/link.mvn5")).isSymLink());
    }
    // The script is still all there to be saved elsewhere.
    const QString rescue = dir.filePath(QStringLiteral("rescue.mvn5"));
    seam.choose = [&] { return rescue; };
    QVERIFY(w.FileSaveAsProc());
    QCOMPARE(QFileInfo(rescue).size(), w.Text1->length() + 2);
}

void TestFaults::killedWhileSaving()
{
    // A child saves a 50 MB script again and again; it is killed at random
    // moments. The file is always one whole content or the other.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.mvn5"));
    const QByteArray contents[2] = {loopContent(0), loopContent(1)};
    int stray = 0;
    for (int round = 0; round < 6; ++round) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--save-loop"), path});
        QVERIFY(child.waitForStarted());
        // Wait for a first whole save, then let it run a random while.
        QElapsedTimer clock;
        clock.start();
        while (!child.canReadLine() && clock.elapsed() < 120000)
            child.waitForReadyRead(1000);
        QVERIFY2(child.canReadLine(), "the child never saved");
        QTest::qSleep(int(QRandomGenerator::global()->bounded(50, 900)));
        QCOMPARE(child.state(), QProcess::Running);  // it was still saving
        child.kill();  // SIGKILL
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const QByteArray now = readBytes(path);
        QVERIFY2(now == contents[0] || now == contents[1],
                 qPrintable(QStringLiteral("round %1: %2 bytes, neither content").arg(round).arg(now.size())));
        // A temporary file may be left by the kill, but never under a name
        // that could be taken for a script.
        const QStringList names = entries(dir.path());
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.mvn5")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("big.mvn5")});
        stray += int(names.size()) - 1;
    }
    qInfo("temporary files left by six kills: %d", stray);
}

// ---------------------------------------------------------------- opening

void TestFaults::openNonRegular_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"folder", "pipe", "link to a pipe", "/dev/zero", "vanished", "unreadable"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void TestFaults::openNonRegular()
{
    QFETCH(QString, kind);
    if (kind == QStringLiteral("unreadable") && ::geteuid() == 0)
        QSKIP("root reads any file");
    TempSettings settings;
    ChoosingSeam seam;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("thing.mvn5"));
    std::function<void()> afterChoice;
    if (kind == QStringLiteral("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QStringLiteral("pipe")) {
        QVERIFY(makeFifo(path));
    } else if (kind == QStringLiteral("link to a pipe")) {
        QVERIFY(makeFifo(dir.filePath(QStringLiteral("fifo"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("fifo")), path));
    } else if (kind == QStringLiteral("/dev/zero")) {
        path = QStringLiteral("/dev/zero");  // only ever read
    } else if (kind == QStringLiteral("vanished")) {
        writeBytes(path, "Attack\r\n");
        afterChoice = [path] { QFile::remove(path); };
    } else {
        writeBytes(path, "Attack\r\n");
        QVERIFY(QFile::setPermissions(path, {}));
    }
    // Every way a file is opened: the dialog, the recent-file window and the
    // command line, each onto an edited script.
    for (const char* route : {"dialog", "recent", "command line"}) {
        MainWindow w;
        w.show();
        w.Text1->setText(QStringLiteral("precious"));
        w.ActualFile = dir.filePath(QStringLiteral("mine.mvn5"));
        w.setCaption(Beta + w.ActualFile);
        if (kind == QStringLiteral("vanished"))
            writeBytes(path, "Attack\r\n");
        seam.messages.clear();
        const QStringList recent = RecentList::read();
        {
            Watchdog watchdog(20, "opening a file that is not a regular file");
            if (route == QLatin1String("dialog")) {
                seam.choose = [&] {
                    if (afterChoice)
                        afterChoice();
                    return path;
                };
                w.FileOpenProc();
            } else if (route == QLatin1String("recent")) {
                if (afterChoice)
                    afterChoice();
                RecentFiles window(&w);
                QVERIFY(!window.OpenRecentProc(path));
            } else {
                if (afterChoice)
                    afterChoice();
                MainWindow started;
                started.CommandLine = path;
                started.show();
                QCOMPARE(started.Text1->Text(), QString());
                QCOMPARE(started.windowTitle(), Beta + QStringLiteral("untitled"));
            }
        }
        QCOMPARE(seam.messages.size(), 1);
        QCOMPARE(seam.messages.first().prompt, CouldNot);
        QCOMPARE(w.Text1->Text(), QStringLiteral("precious"));
        QCOMPARE(w.Changed, qint16(1));
        QCOMPARE(w.ActualFile, dir.filePath(QStringLiteral("mine.mvn5")));
        QCOMPARE(w.windowTitle(), Beta + w.ActualFile);
        QCOMPARE(RecentList::read(), recent);
    }
}

// ---------------------------------------------------------------- settings

void TestFaults::damagedSettings_data()
{
    QTest::addColumn<QString>("damage");
    for (const char* damage : {"a folder", "garbage", "long values", "unreadable"})
        QTest::newRow(damage) << QString::fromLatin1(damage);
}

void TestFaults::damagedSettings()
{
    QFETCH(QString, damage);
    if (damage == QStringLiteral("unreadable") && ::geteuid() == 0)
        QSKIP("root reads any file");
    TempSettings settings;
    FakeModal modal;
    const QString store = SettingsStore::fileName(App);
    const QString longValue = QString(10000, u'x');
    const QString longDir = QStringLiteral("/") + QString(9999, u'd');
    if (damage == QStringLiteral("a folder")) {
        QVERIFY(QDir().mkpath(store + QStringLiteral("/inside")));
    } else if (damage == QStringLiteral("garbage")) {
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(char(0x80 + (i * 7919) % 128));
        garbage.insert(1000, QByteArray("\0\r\n=\\\"", 7));
        writeBytes(store, garbage);
    } else if (damage == QStringLiteral("long values")) {
        SaveSetting(App, QStringLiteral("Config"), QStringLiteral("ProgramLogo"), longValue);
        SaveSetting(App, QStringLiteral("Config"), QStringLiteral("NewScript"), longValue);
        SaveSetting(App, QStringLiteral("Config"), QStringLiteral("UseDefOpen"), longValue);
        SaveSetting(App, QStringLiteral("Config"), QStringLiteral("DefaultOpen"), longDir);
        for (int i = 1; i <= 20; ++i)
            SaveSetting(App, QStringLiteral("RecentFiles"), QStringLiteral("Recent%1").arg(i), longValue);
    } else {
        SaveSetting(App, QStringLiteral("Config"), QStringLiteral("ProgramLogo"), QStringLiteral("0"));
        QVERIFY(QFile::setPermissions(store, {}));
    }
    const bool damaged = damage != QStringLiteral("long values");

    // The program starts: the logo (shown, since the store does not say
    // "0" in a readable way), then the main window.
    MainWindow w;
    Logo::Begin(&w);
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* logo = qobject_cast<Logo*>(top); logo && logo->isVisible())
            logo->Timer11_Timer();
    QVERIFY(w.isVisible());
    QVERIFY(w.TreeView1->topLevelItemCount() > 0);  // the load handler filled the tree
    QCOMPARE(w.Changed, qint16(0));

    // And works: open with the defaults (or the long stored folder), edit, save.
    QTemporaryDir dir;
    const QString script = writeBytes(dir.filePath(QStringLiteral("a.mvn5")), "Attack\r\n");
    modal.fileReplies = {script};
    w.FileOpenProc();
    QCOMPARE(modal.fileRequests.last().initDir, damaged ? QString() : longDir);
    QCOMPARE(w.Text1->Text(), QStringLiteral("Attack"));
    w.Text1->setSelStart(0);
    w.TextToAdd = QStringLiteral("Wait 5");
    w.InsertStep();
    const QString saved = dir.filePath(QStringLiteral("b.mvn5"));
    modal.fileReplies = {saved};
    QVERIFY(w.FileSaveAsProc());
    QCOMPARE(readBytes(saved), QByteArray("Wait 5\r\nAttack\r\n"));
    QCOMPARE(w.windowTitle(), Beta + saved);

    // Told once at most, however many values could not be written.
    qsizetype told = 0;
    for (const auto& m : modal.messages)
        told += m.prompt.startsWith(PreferencesLost) ? 1 : 0;
    if (damage == QStringLiteral("a folder") || damage == QStringLiteral("unreadable")) {
        QCOMPARE(told, 1);
        QVERIFY(SettingsStore::writeFailed());
        QCOMPARE(RecentList::read(), QStringList(20, QString()));  // reads give the defaults
    } else if (damage == QStringLiteral("garbage")) {
        QVERIFY(told <= 1);
        // The store works again, the garbage kept aside as a value of its own.
        QCOMPARE(RecentList::read().first(), saved);
    } else {
        QCOMPARE(told, 0);
        const QStringList recent = RecentList::read();
        QCOMPARE(recent.at(0), saved);
        QCOMPARE(recent.at(1), script);
        QCOMPARE(recent.at(2), longValue);
    }
}

// ---------------------------------------------------------------- odd paths

namespace {
// Names a shell would split, expand or run; none may be interpreted.
QStringList oddNames()
{
    return {
        QStringLiteral("two  blanks .mvn5"),
        QStringLiteral("quotes \"double\" 'single'.mvn5"),
        QStringLiteral("percent 100% %1 %f %u.mvn5"),
        QStringLiteral("dollar $HOME ${PATH} $(touch canary1).mvn5"),
        QStringLiteral("tick `touch canary2` ; touch canary3 | touch canary4 & .mvn5"),
        QStringLiteral("glob * ? [ab] ~ #.mvn5"),
        QStringLiteral("back\\slash \\n \\\\.mvn5"),
        QStringLiteral("new\nline\r.mvn5"),
        QStringLiteral("Z\u00fcrich \u00c6r\u00f8 \u0416 \u4e2d\u6587 \U0001F600.mvn5"),
        QStringLiteral("-dash first.mvn5"),
    };
}

void noCanaries(const QStringList& folders)
{
    for (const QString& folder : folders)
        for (int i = 1; i <= 4; ++i)
            QVERIFY2(!QFileInfo::exists(folder + QStringLiteral("/canary%1").arg(i)), qPrintable(folder));
}
}  // namespace

void TestFaults::oddPathsTakenLiterally()
{
    TempSettings settings;
    FakeModal modal;
    QTemporaryDir dir;
    // The folder is odd as well.
    const QString folder = dir.filePath(QStringLiteral("my $dir \"q\" \u00e9\nx"));
    QVERIFY(QDir().mkpath(folder));
    for (const QString& name : oddNames()) {
        // A window of its own each time: the one started from the command
        // line below takes over as the program's main window.
        MainWindow w;
        w.show();
        const QString path = folder + u'/' + name;
        const QByteArray content = "Script_Identifier " + name.toUtf8().toHex() + "\r\n";
        // Dialogs: opened and saved under exactly the chosen names.
        writeBytes(path, content);
        modal.fileReplies = {path};
        w.FileOpenProc();
        QCOMPARE(w.ActualFile, path);
        QCOMPARE(w.windowTitle(), Beta + path);
        QCOMPARE(RecentList::read().first(), path);
        const QString copy = path + QStringLiteral(" copy.mvn5");
        modal.fileReplies = {copy};
        QVERIFY(w.FileSaveAsProc());
        QCOMPARE(readBytes(copy), readBytes(path));
        QVERIFY(entries(folder).contains(name + QStringLiteral(" copy.mvn5")));

        // The recent list stores and shows the name; reopening uses it.
        QCOMPARE(RecentList::read().mid(0, 2), QStringList({copy, path}));
        RecentFiles window(&w);
        window.Form_Activate();
        QCOMPARE(window.List1->List(0), copy);
        QCOMPARE(window.List1->List(1), path);
        QVERIFY(window.OpenRecentProc(path));
        QCOMPARE(w.Text1->Text(), ScriptFile::decode(content).chopped(2));

        // The command line: the whole text is the path.
        MainWindow started;
        started.CommandLine = path;
        started.show();
        QCOMPARE(started.windowTitle(), Beta + path);
        QCOMPARE(started.Text1->Text(), w.Text1->Text());
    }
    QVERIFY(modal.messages.size() == oddNames().size());  // only the "Saved correctly." boxes
    noCanaries({folder, dir.path(), QDir::currentPath()});
}

void TestFaults::oddPathsThroughTheProgram()
{
    // The editor started as the program starts it, given each odd path as
    // its one argument, opens it and lists it first among the recent files.
    const QString program =
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("morvaneo-until-painted"));
    if (!QFileInfo(program).isExecutable())
        QSKIP("morvaneo-until-painted has not been built");
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(config + QStringLiteral("/Morvaneo")));
    writeBytes(config + QStringLiteral("/Morvaneo/Morvaneo.conf"), "[Config]\nProgramLogo=0\n");
    for (const QString& name : oddNames()) {
        const QString path = dir.filePath(name);
        writeBytes(path, "Attack\r\n");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(program, {path});
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            QFAIL(qPrintable(QStringLiteral("the program did not start and end for ") + name));
        }
        QCOMPARE(p.exitCode(), 0);
        TempSettings childs;
        childs.moveTo(config);
        QCOMPARE(GetSetting(App, QStringLiteral("RecentFiles"), QStringLiteral("Recent1")), path);
    }
    noCanaries({dir.path()});
}

void TestFaults::oddPathsThroughTheLauncher()
{
    // A real launcher reads the association's desktop entry and starts the
    // program with an odd document: program and document arrive whole.
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh"));
    if (gio.isEmpty() || sh.isEmpty())
        QSKIP("no gio launcher on this machine");
    QTemporaryDir dir;
    const QByteArray home = dir.path().toUtf8();
    const QByteArray saved[3] = {qgetenv("HOME"), qgetenv("XDG_DATA_HOME"), qgetenv("XDG_CONFIG_HOME")};
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", home + "/data");
    qputenv("XDG_CONFIG_HOME", home + "/config");
    auto restore = qScopeGuard([&] {
        qputenv("HOME", saved[0]);
        qputenv("XDG_DATA_HOME", saved[1]);
        qputenv("XDG_CONFIG_HOME", saved[2]);
    });

    // (No "%" in the program's own folder: the launcher looks the program up
    // before it undoes "%%".)
    const QString programDir = dir.filePath(QStringLiteral("Pr\u00f6gr\u00e4mme \u4e2d \"q\" $Z `id` a\\b\nc"));
    QVERIFY(QDir().mkpath(programDir));
    const QString program = programDir + QStringLiteral("/morvaneo");
    const QString out = dir.filePath(QStringLiteral("arguments"));
    // The stand-in program writes its arguments, each ended by a NUL byte.
    writeBytes(program, "#!" + sh.toUtf8() + "\nprintf '%s\\0' \"$0\" \"$@\" > \"$MORVANEO_ARGS.tmp\"\n"
                        "mv \"$MORVANEO_ARGS.tmp\" \"$MORVANEO_ARGS\"\n");
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    WaitingToolStarter tools;  // the caches are rebuilt before the folder goes
    QVERIFY(RegisterFileType(programDir, QStringLiteral("morvaneo")));

    for (const QString& name : oddNames()) {
        QFile::remove(out);
        const QString script = dir.filePath(name);
        writeBytes(script, "Attack\r\n");
        QProcess launcher;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MORVANEO_ARGS"), out);
        launcher.setProcessEnvironment(env);
        launcher.setWorkingDirectory(dir.path());
        launcher.setProcessChannelMode(QProcess::MergedChannels);
        launcher.start(gio, {QStringLiteral("launch"),
                             dir.filePath(QStringLiteral("data/applications/morvaneo.desktop")), script});
        QVERIFY(launcher.waitForFinished(20000));
        QVERIFY2(launcher.exitCode() == 0, launcher.readAll().constData());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 10000);
        QCOMPARE(readBytes(out), program.toUtf8() + '\0' + script.toUtf8() + '\0');
    }
    noCanaries({dir.path()});
}

int main(int argc, char** argv)
{
    // The child of killedWhileSaving needs no window system.
    if (argc == 3 && std::strcmp(argv[1], "--save-loop") == 0) {
        QCoreApplication app(argc, argv);
        return saveLoop(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(App);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_faults.moc"
