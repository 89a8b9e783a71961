// Recovery copies of unsaved work: the copy file and its writer on a failing
// disk, a copy taken while the script is being edited, and the real editor
// in child processes that type, quit, save, run side by side or are killed.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "app/RecoveryCopy.h"
#include "editor/ScriptTextBox.h"
#include "tests/RecoveryKeys.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <set>

namespace {

const QString Question = QStringLiteral("Unsaved changes to \"%1\" from ");
const QString CannotKeep = QStringLiteral("Unsaved changes cannot be kept for recovery: ");

QStringList copiesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.copy")}, QDir::Files);
}

// Fails the writer's disk after `limit` bytes, or at the rename.
class FailingDisk final : public Installed<Recovery::Disk> {
public:
    explicit FailingDisk(qint64 limit, bool failRename) : m_left(limit), m_failRename(failRename) {}
    qint64 write(QFile& file, const char* data, qint64 size) override
    {
        const qint64 now = qMin(size, m_left);
        if (now > 0 && file.write(data, now) != now)
            return -1;
        m_left -= now;
        return now == size ? size : -1;
    }
    bool replace(const QString& from, const QString& to) override
    {
        return !m_failRename && Recovery::disk().replace(from, to);
    }

private:
    qint64 m_left;
    bool m_failRename;
};

Recovery::Copy randomCopy(QRandomGenerator& random, qsizetype size)
{
    Recovery::Copy c;
    c.text.resize(size);
    for (char& b : c.text)
        b = char(random.bounded(256));
    const QString odd[] = {QString(), QStringLiteral("/tmp/a b/%41 \"q\"\n\u00e9\u4e2d.mvn5"),
                           QStringLiteral("/x/y.mvn5")};
    c.file = odd[random.bounded(3)];
    c.path = c.file.isEmpty() ? odd[random.bounded(3)] : c.file;
    c.changed = qint64(random.bounded(2000000000)) * 1000;
    return c;
}

// Pieces of a text cut at random places.
std::vector<Recovery::Piece> cut(const QByteArray& text, QRandomGenerator& random)
{
    std::vector<Recovery::Piece> pieces;
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype n = qMin(text.size() - at, qsizetype(1 + random.bounded(3 << 20)));
        pieces.push_back({text, at, n});
        at += n;
    }
    return pieces;
}

// The document's bytes, the way the copy holds them.
QByteArray documentBytes(ScriptTextBox* box)
{
    const qsizetype n = qsizetype(box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    return QByteArray(static_cast<const char*>(box->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER)),
                      n);
}

QByteArray sha1(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

// A folder pair for the children: settings (no logo) and state.
struct ChildHome {
    QTemporaryDir dir;
    QString state() const { return dir.filePath(QStringLiteral("state")); }
    QString copies() const { return state() + QStringLiteral("/morvaneo/recovery"); }
    ChildHome()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("config/Morvaneo")));
        writeBytes(dir.filePath(QStringLiteral("config/Morvaneo/Morvaneo.conf")), "[Config]\nProgramLogo=0\n");
    }
};

// One run of the editor in a child process.
class Child {
public:
    Child(const ChildHome& home, const QStringList& arguments, const QMap<QString, QString>& settings)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_STATE_HOME"), home.state());
        for (auto it = settings.begin(); it != settings.end(); ++it)
            env.insert(QStringLiteral("RECOVERY_CHILD_") + it.key(), it.value());
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/morvaneo-recovery-child"),
                        arguments);
    }
    ~Child()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    // Waits for a line that starts with prefix; false after the timeout or
    // when the child ended without it.
    bool waitFor(const QByteArray& prefix, int ms = 60000)
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            while (m_process.canReadLine()) {
                m_lines << m_process.readLine().chopped(1);
                if (m_lines.last().startsWith(prefix))
                    return true;
            }
            if (clock.elapsed() > ms || m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(100);
        }
    }
    bool finish()
    {
        const bool ended = m_process.waitForFinished(60000);
        m_lines += QString::fromUtf8(m_process.readAll()).split(u'\n', Qt::SkipEmptyParts);
        return ended && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    void kill()
    {
        m_process.kill();  // SIGKILL
        m_process.waitForFinished(10000);
        m_lines += QString::fromUtf8(m_process.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    QStringList linesStarting(const QString& prefix) const
    {
        QStringList out;
        for (const QString& l : m_lines)
            if (l.startsWith(prefix))
                out << l.mid(prefix.size());
        return out;
    }
    QString value(const QString& name) const { return linesStarting(name + u' ').value(0); }
    QString text() const { return QString::fromUtf8(QByteArray::fromHex(value(QStringLiteral("text")).toLatin1())); }
    QStringList questions() const { return linesStarting(QStringLiteral("question ")); }

private:
    QProcess m_process;
    QStringList m_lines;
};

// Runs a child that ends by itself (quits or reports) and returns it done.
std::unique_ptr<Child> run(const ChildHome& home, const QStringList& arguments,
                           const QMap<QString, QString>& settings)
{
    auto child = std::make_unique<Child>(home, arguments, settings);
    if (!child->finish())
        qWarning("the editor's child did not end on its own");
    return child;
}

bool isQuestion(const QString& line, const QString& name)
{
    // "Morvaneo: 36: Unsaved ..." is the title, question icon and Yes/No.
    static const QRegularExpression when(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d were found\\. Recover them\\?$"));
    const QString head = QStringLiteral("Morvaneo: 36: ") + Question.arg(name);
    return line.startsWith(head) && when.match(line.mid(head.size())).hasMatch();
}

}  // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copyFileReadBackOrRejected();
    void writerFaults_data();
    void writerFaults();
    void copyTakenWhileEditing();
    void unwritableFolder();
    void offeredAfterQuit_data();
    void offeredAfterQuit();
    void savedThenKilled();
    void twoEditorsAtOnce();
    void killedWhileTyping();
};

// ---------------------------------------------------------------- the copy file

void TestRecovery::copyFileReadBackOrRejected()
{
    // Any copy reads back as written; any copy cut short or with one byte
    // changed is refused as a whole.
    QRandomGenerator random(20);
    QTemporaryDir dir;
    for (int round = 0; round < 40; ++round) {
        const Recovery::Copy c = randomCopy(random, round == 0 ? 0 : qsizetype(random.bounded(round < 38 ? 5000 : 3 << 20)));
        const QByteArray bytes = Recovery::bytesOf(c);
        Recovery::Copy back;
        QVERIFY(Recovery::parse(bytes, &back));
        QCOMPARE(back.text, c.text);
        QCOMPARE(back.file, c.file);
        QCOMPARE(back.path, c.path);
        QCOMPARE(back.changed, c.changed);
        // The writer puts the same bytes on disk, however the text is cut.
        const QString file = dir.filePath(QStringLiteral("x.copy"));
        QString reason;
        QVERIFY(Recovery::write(file, c, cut(c.text, random), &reason, Recovery::disk()));
        QCOMPARE(readBytes(file), bytes);
        for (int k = 0; k < 20; ++k) {
            const qsizetype at = qsizetype(random.bounded(quint32(bytes.size())));
            QVERIFY2(!Recovery::parse(bytes.left(at), &back), qPrintable(QString::number(at)));
            QByteArray damaged = bytes;
            damaged[at] = char(damaged[at] ^ (1 + random.bounded(255)));
            QVERIFY2(!Recovery::parse(damaged, &back), qPrintable(QString::number(at)));
        }
    }
}

void TestRecovery::writerFaults_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("failRename");
    for (qint64 k : {qint64(0), qint64(1), qint64(100), qint64((1 << 20) - 1), qint64(1 << 20),
                     qint64((1 << 20) + 1), qint64(2500000)})
        QTest::addRow("disk full after %lld bytes", k) << k << false;
    QTest::newRow("rename fails") << qint64(1) << true;
}

void TestRecovery::writerFaults()
{
    QFETCH(qint64, limit);
    QFETCH(bool, failRename);
    QTemporaryDir dir;
    QRandomGenerator random{quint32(limit)};
    const QString file = dir.filePath(QStringLiteral("a.copy"));
    const Recovery::Copy old = randomCopy(random, 1000);
    QString reason;
    QVERIFY(Recovery::write(file, old, cut(old.text, random), &reason, Recovery::disk()));
    const QByteArray oldBytes = readBytes(file);

    const Recovery::Copy next = randomCopy(random, 2600000);
    {
        FailingDisk failing(failRename ? std::numeric_limits<qint64>::max() : limit, failRename);
        QVERIFY(!Recovery::write(file, next, cut(next.text, random), &reason, Recovery::disk()));
    }
    QVERIFY(!reason.isEmpty());
    QCOMPARE(readBytes(file), oldBytes);
    Recovery::Copy back;
    QVERIFY(Recovery::read(file, &back));
    QCOMPARE(back.text, old.text);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.copy")});
}

// ---------------------------------------------------------------- taking the copy

void TestRecovery::copyTakenWhileEditing()
{
    // A 7 MB script is taken a few megabytes per turn of the event loop;
    // random edits all over it land between the turns. Every copy on disk
    // is one state the script was in, and the last is the last state.
    EditorSession s;
    QRandomGenerator random(7);
    const QString line = QStringLiteral("Zealot = 1 \u00e9\u20ac\r\n");
    QString big;
    while (big.size() < 7 * 1000 * 1000)
        big += line;
    s.w.Text1->loadText(big);
    s.w.Changed = 0;
    std::set<QByteArray> states;
    QString copy;
    int checked = 0;
    for (int edit = 0; edit < 45; ++edit) {
        ScriptTextBox* box = s.w.Text1;
        const qsizetype length = box->length();
        const qsizetype at = qsizetype(random.bounded(quint32(length + 1)));
        box->setSelStart(at);
        switch (random.bounded(3)) {
        case 0:
            box->setSelText(QStringLiteral("Wait %1\r\n").arg(edit));
            break;
        case 1:
            box->setSelLength(line.size() * qsizetype(1 + random.bounded(3)));
            box->setSelText(QString());
            break;
        default:
            RecoveryKeys::type(box, RecoveryKeys::Key{Qt::Key_X, QStringLiteral("x")});
            break;
        }
        states.insert(sha1(documentBytes(box)));
        QCoreApplication::processEvents();
        if (copy.isEmpty() && !copiesIn(Recovery::folder()).isEmpty())
            copy = Recovery::folder() + u'/' + copiesIn(Recovery::folder()).first();
        Recovery::Copy c;
        if (edit % 4 == 0 && !copy.isEmpty() && Recovery::read(copy, &c)) {
            QVERIFY2(states.count(sha1(c.text)), "a copy that was never the script");
            ++checked;
        }
        QTest::qWait(int(random.bounded(40)));
    }
    QVERIFY(!copy.isEmpty());
    const QByteArray last = sha1(documentBytes(s.w.Text1));
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            Recovery::Copy c;
            return Recovery::read(copy, &c) && sha1(c.text) == last;
        }(),
        20000);
    qInfo("copies checked while editing: %d", checked);
    // Saved: the copy goes.
    s.modal.fileReplies = {s.settings.path() + QStringLiteral("/saved.mvn5")};
    QVERIFY(s.w.FileSaveAsProc());
    QTRY_VERIFY(copiesIn(Recovery::folder()).isEmpty());
}

void TestRecovery::unwritableFolder()
{
    // A file where the folder must be: told once, typing and saving go on.
    EditorSession s;
    const QString morvaneo = QFileInfo(Recovery::folder()).absolutePath();
    QVERIFY(QDir().mkpath(QFileInfo(morvaneo).absolutePath()));
    writeBytes(morvaneo, "in the way");
    RecoveryKeys::typeText(s.w.Text1, QStringLiteral("Zealot = 1\n"));
    auto told = [&] {
        qsizetype n = 0;
        for (const auto& m : s.modal.messages)
            n += m.prompt.startsWith(CannotKeep) && m.title == QStringLiteral("Morvaneo") ? 1 : 0;
        return n;
    };
    QTRY_COMPARE(told(), qsizetype(1));
    for (int i = 0; i < 3; ++i) {
        RecoveryKeys::typeText(s.w.Text1, QStringLiteral("Wait 300\n"));
        QTest::qWait(700);
    }
    QCOMPARE(told(), qsizetype(1));
    QCOMPARE(s.w.Text1->Text(), QStringLiteral("Zealot = 1\r\nWait 300\r\nWait 300\r\nWait 300\r\n"));
    const QString saved = s.settings.path() + QStringLiteral("/saved.mvn5");
    s.modal.fileReplies = {saved};
    QVERIFY(s.w.FileSaveAsProc());
    QCOMPARE(readBytes(saved), QByteArray("Zealot = 1\r\nWait 300\r\nWait 300\r\nWait 300\r\n\r\n"));
    QCOMPARE(told(), qsizetype(1));
}

// ---------------------------------------------------------------- the real editor

void TestRecovery::offeredAfterQuit_data()
{
    QTest::addColumn<QString>("quit");
    QTest::newRow("End, Yes") << QStringLiteral("quit");
    QTest::newRow("close button, Yes") << QStringLiteral("close");
}

void TestRecovery::offeredAfterQuit()
{
    // Typed, then quit: the next start without a script offers the work
    // back; a damaged newer copy beside it is left alone. Yes brings the
    // text back; the copy stays with that editor until it is answered No.
    QFETCH(QString, quit);
    ChildHome home;
    const QString typed = QStringLiteral("Script_Identifier Q\nZealot = 1 \u00e9\nWait 300");
    auto first = run(home, {}, {{QStringLiteral("TYPE"), typed}, {QStringLiteral("THEN"), quit}});
    QVERIFY(!first->linesStarting(QStringLiteral("ended")).isEmpty());
    QCOMPARE(copiesIn(home.copies()).size(), 1);
    const QString damaged = home.copies() + QStringLiteral("/9999999999999-1-1.copy");
    QByteArray bytes = readBytes(home.copies() + u'/' + copiesIn(home.copies()).first());
    bytes.replace("Zealot", "Zerg..");
    bytes.replace(QByteArray("changed 1"), QByteArray("changed 9"));
    writeBytes(damaged, bytes);

    auto second = run(home, {}, {{QStringLiteral("ANSWER"), QStringLiteral("yes")}, {QStringLiteral("THEN"), QStringLiteral("report")}});
    QCOMPARE(second->questions().size(), 1);
    QVERIFY2(isQuestion(second->questions().first(), QStringLiteral("untitled")), qPrintable(second->questions().first()));
    QCOMPARE(second->text(), QString(typed).replace(u'\n', QStringLiteral("\r\n")));
    QCOMPARE(second->value(QStringLiteral("changed")), QStringLiteral("1"));
    QCOMPARE(second->value(QStringLiteral("caption")), QStringLiteral("Morvaneo II BETA - untitled"));
    QCOMPARE(readBytes(damaged), bytes);

    auto third = run(home, {}, {{QStringLiteral("THEN"), QStringLiteral("report")}});  // answers No
    QCOMPARE(third->questions().size(), 1);
    QCOMPARE(third->text(), QString());
    QCOMPARE(copiesIn(home.copies()), QStringList{QFileInfo(damaged).fileName()});
    auto fourth = run(home, {}, {{QStringLiteral("THEN"), QStringLiteral("report")}});
    QCOMPARE(fourth->questions().size(), 0);
}

void TestRecovery::savedThenKilled()
{
    // Opened, typed, saved through the dialog, killed: nothing to offer, at
    // a start with the script or without one.
    ChildHome home;
    const QString script = writeBytes(home.dir.filePath(QStringLiteral("s.mvn5")), "Attack\r\n");
    const QString saved = home.dir.filePath(QStringLiteral("saved.mvn5"));
    Child child(home, {script}, {{QStringLiteral("TYPE"), QStringLiteral("\nWait 5")},
                                {QStringLiteral("THEN"), QStringLiteral("save:") + saved}});
    QVERIFY(child.waitFor("ready"));
    QCOMPARE(child.linesStarting(QStringLiteral("saved")).size(), 1);
    QTest::qWait(1500);
    child.kill();
    QCOMPARE(readBytes(saved), QByteArray("Attack\r\nWait 5\r\n"));
    QCOMPARE(copiesIn(home.copies()), QStringList());
    for (const QStringList& arguments : {QStringList{saved}, QStringList{script}, QStringList{}})
        QCOMPARE(run(home, arguments, {{QStringLiteral("THEN"), QStringLiteral("report")}})->questions().size(), 0);
}

void TestRecovery::twoEditorsAtOnce()
{
    ChildHome home;
    Child a(home, {}, {{QStringLiteral("TYPE"), QStringLiteral("Editor A")}, {QStringLiteral("THEN"), QStringLiteral("stay")}});
    QVERIFY(a.waitFor("written"));
    Child b(home, {}, {{QStringLiteral("TYPE"), QStringLiteral("Editor B")}, {QStringLiteral("THEN"), QStringLiteral("stay")},
                       {QStringLiteral("ANSWER"), QStringLiteral("yes")}});
    QVERIFY(b.waitFor("written"));
    QCOMPARE(b.questions().size(), 0);  // A still runs
    QCOMPARE(copiesIn(home.copies()).size(), 2);
    auto third = run(home, {}, {{QStringLiteral("ANSWER"), QStringLiteral("yes")}, {QStringLiteral("THEN"), QStringLiteral("report")}});
    QCOMPARE(third->questions().size(), 0);

    a.kill();
    auto fourth = run(home, {}, {{QStringLiteral("ANSWER"), QStringLiteral("yes")}, {QStringLiteral("THEN"), QStringLiteral("report")}});
    QCOMPARE(fourth->questions().size(), 1);
    QCOMPARE(fourth->text(), QStringLiteral("Editor A"));
    // B's copy was never touched: still there, whole, with B's text.
    QCOMPARE(copiesIn(home.copies()).size(), 2);
    int whole = 0;
    for (const QString& name : copiesIn(home.copies())) {
        Recovery::Copy c;
        QVERIFY(Recovery::read(home.copies() + u'/' + name, &c));
        whole += c.text == "Editor B" ? 1 : 0;
    }
    QCOMPARE(whole, 1);
}

void TestRecovery::killedWhileTyping()
{
    // The editor types random keys into a script and is killed at a random
    // moment; the next start with the same script offers the copy, and Yes
    // gives the script as it was after some key, lacking at most the keys of
    // the last two seconds. The keys are typed again here, in a box of our
    // own, to know every state the script went through.
    QRandomGenerator random = QRandomGenerator::securelySeeded();
    for (int round = 0; round < 4; ++round) {
        ChildHome home;
        QByteArray start = "Script_Identifier Kill\r\nScript_Name Round\r\nAttack";
        if (round == 3)  // a bigger script: its copy takes several turns
            while (start.size() < 3000000)
                start += "\r\nZealot = 1";
        const QString script = writeBytes(home.dir.filePath(QStringLiteral("kill me.mvn5")), start);
        const quint32 seed = random.generate();
        const int typing = int(random.bounded(1000, 4000));
        qint64 killedAt = 0;
        QStringList keys;
        {
            Child child(home, {script}, {{QStringLiteral("KEYS"), QString::number(seed)}});
            QVERIFY(child.waitFor("key "));
            QTest::qWait(typing);
            killedAt = QDateTime::currentMSecsSinceEpoch();
            child.kill();
            keys = child.linesStarting(QStringLiteral("key "));
        }
        auto again = run(home, {script}, {{QStringLiteral("ANSWER"), QStringLiteral("yes")}, {QStringLiteral("THEN"), QStringLiteral("report")}});
        QCOMPARE(again->questions().size(), 1);
        QVERIFY2(isQuestion(again->questions().first(), QStringLiteral("kill me.mvn5")), qPrintable(again->questions().first()));
        QCOMPARE(again->value(QStringLiteral("changed")), QStringLiteral("1"));
        QCOMPARE(again->value(QStringLiteral("caption")), QStringLiteral("Morvaneo II BETA - ") + script);
        const QString recovered = again->text();

        // Every key up to two seconds before the kill must be in it.
        int atLeast = 0;
        for (const QString& k : keys)
            if (k.section(u' ', 1).toLongLong() <= killedAt - 2000)
                atLeast = k.section(u' ', 0, 0).toInt();
        ScriptTextBox box;
        box.loadText(QString::fromLatin1(start));
        box.setSelStart(box.length());
        QRandomGenerator same(seed);
        int found = -1;
        for (int k = 0; k <= keys.size() + 2 && found < 0; ++k) {
            if (k > 0)
                RecoveryKeys::type(&box, RecoveryKeys::next(same));
            if (k >= atLeast && box.Text() == recovered)
                found = k;
        }
        // How long before the kill the first key missing from the copy was typed.
        const qint64 missing = found >= 0 && found < keys.size() ? killedAt - keys.at(found).section(u' ', 1).toLongLong() : 0;
        qInfo("round %d: %lld keys in %d ms, killed; the copy holds %d keys (at least %d needed), lacking the "
              "last %lld ms", round, qint64(keys.size()), typing, found, atLeast, missing);
        QVERIFY2(found >= atLeast, "the copy is no state the script was in within the last two seconds");
    }
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_recovery.moc"
