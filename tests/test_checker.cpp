// The header rules, the checker window and the command-line checker.
#include "TestSupport.h"

#include "checker/CheckerCli.h"
#include "checker/ScriptLineReader.h"
#include "dialogs/OpcodeChecker.h"
#include "language/ScriptFile.h"
#include "editor/ScriptTextBox.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Sample = QStringLiteral("Script_Identifier\r\nScript_Name\r\nCampaign_Script\r\nCustom_Script\r\nAttack");
const QString FirstLine =
    QStringLiteral("Error in script line 1 : Script_Identifier opcode must be in the first line!");
const QString SecondLine = QStringLiteral("Script_Name opcode must be in the second line!");
// A script without any problem, for the lint mode too.
const QByteArray Clean = "Script_Identifier ABCD\r\nScript_Name Test\r\nCampaign_Script\r\nAttack\r\n";
QString repeated(int line)
{
    return QStringLiteral("Error in line %1 : Script_Identifier mustn't be in a script two times!").arg(line);
}

// Collects what the checker writes.
class Collected final : public CheckerCli::Output {
public:
    QByteArray text;
    bool writeLine(QByteArrayView line) override
    {
        text += line;
        return true;
    }
    QByteArray failure() const override { return {}; }
};

struct CliRun {
    int status;
    QByteArray out;
    QByteArray err;
};

CliRun runCli(const QByteArrayList& arguments)
{
    Collected out, err;
    const int status = CheckerCli::run(arguments, out, err);
    return {status, out.text, err.text};
}

CliRun runCli(const QStringList& files)
{
    QByteArrayList arguments;
    for (const QString& f : files)
        arguments << QFile::encodeName(f);
    return runCli(arguments);
}

// A file whose name is the given bytes, which need not be valid UTF-8.
void writeRaw(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    ::close(fd);
}

// The checker built next to the tests, or "" (the test is then skipped).
QString checkerProgram()
{
    QString program = qEnvironmentVariable("MORVANEO_CHECKER");
    if (program.isEmpty())
        program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../morvaneo-checker"));
    return QFileInfo(program).isExecutable() ? program : QString();
}

}  // namespace

class TestChecker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void split_data();
    void split();
    void check_data();
    void check();
    void longTextsHaveNoLimits();
    void windowStartsWithTheSampleAndCheckDisabled();
    void windowSplitsChecksAndOnlyGrows();
    void selectionWalksDownTheList();
    void emptyTextGivesTheFirstLineFinding();
    void cliReportsEachFile();
    void cliReadsByTheEditorsRule();
    void readerGivesTheWindowsLines_data();
    void readerGivesTheWindowsLines();
    void hostileCommandLines_data();
    void hostileCommandLines();
    void realProcessExitCodes();
    void outOfMemoryEndsOneFileOnly_data();
    void outOfMemoryEndsOneFileOnly();
};

void TestChecker::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("sample") << Sample
                            << QStringList{"Script_Identifier", "Script_Name", "Campaign_Script", "Custom_Script",
                                           "Attack"};
    QTest::newRow("empty") << QString() << QStringList{""};
    QTest::newRow("lone LF keeps the next character") << QStringLiteral("a\nbc") << QStringList{"a", "bc"};
    QTest::newRow("lone CR keeps the next character") << QStringLiteral("a\rbc") << QStringList{"a", "bc"};
    QTest::newRow("ends in CR") << QStringLiteral("a\r") << QStringList{"a", ""};
    QTest::newRow("ends in LF") << QStringLiteral("a\n") << QStringList{"a", ""};
    QTest::newRow("ends in CR LF") << QStringLiteral("a\r\n") << QStringList{"a", ""};
    QTest::newRow("empty line between") << QStringLiteral("a\r\n\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("LF CR is two breaks") << QStringLiteral("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("mixed breaks") << QStringLiteral("x\ry\nz\r\nw") << QStringList{"x", "y", "z", "w"};
    QTest::newRow("only a break") << QStringLiteral("\r\n") << QStringList{"", ""};
}

void TestChecker::split()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(HeaderRules::splitText(text), lines);
}

void TestChecker::check_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("findings");
    const QStringList sample = HeaderRules::splitText(Sample);
    QTest::newRow("sample") << sample << QStringList();
    QTest::newRow("one empty line") << QStringList{""} << QStringList{FirstLine};
    QTest::newRow("sample twice") << sample + sample << QStringList{repeated(6)};
    QTest::newRow("case is ignored") << QStringList{"SCRIPT_IDENTIFIER ABCD", "script_name test"} << QStringList();
    QTest::newRow("leading blank") << QStringList{" Script_Identifier", "Script_Name"} << QStringList{FirstLine};
    QTest::newRow("too short to match") << QStringList{"Script_Identifie", "Script_Nam"}
                                        << QStringList{FirstLine, SecondLine};
    QTest::newRow("identifier on line two") << QStringList{"Script_Identifier", "Script_Identifier x"}
                                            << QStringList{SecondLine, repeated(2)};
    QTest::newRow("no repetition without a first identifier")
        << QStringList{"Attack", "Script_Name", "Script_Identifier"} << QStringList{FirstLine};
    QTest::newRow("every repetition") << QStringList{"script_identifier", "script_name", "Script_Identifier",
                                                     "x", "SCRIPT_IDENTIFIER"}
                                      << QStringList{repeated(3), repeated(5)};
    // Only letters that lower to the ASCII ones match: a long s or a dotted
    // capital I does not make a line an identifier.
    QTest::newRow("lowering is exact") << QStringList{"Script_Identifier", "Script_Name",
                                                      QString::fromUtf8("\u017Fcript_identifier"),
                                                      QString::fromUtf8("Script_\u0130dentifier"),
                                                      "sCrIpT_iDeNtIfIeR;", "s", ""}
                                       << QStringList{repeated(5)};
}

void TestChecker::check()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, findings);
    QCOMPARE(HeaderRules::checkLines(lines), findings);
}

void TestChecker::longTextsHaveNoLimits()
{
    // Far beyond 32,767 lines and characters.
    QString text = QStringLiteral("Script_Identifier\r\nScript_Name");
    const int extra = 40000;
    for (int i = 0; i < extra; ++i)
        text += QStringLiteral("\r\nWait 1");
    text += QStringLiteral("\r\nscript_identifier again");
    const QStringList lines = HeaderRules::splitText(text);
    QCOMPARE(lines.size(), extra + 3);
    QCOMPARE(lines.constLast(), QStringLiteral("script_identifier again"));
    QCOMPARE(HeaderRules::checkLines(lines), QStringList{repeated(extra + 3)});
}

void TestChecker::windowStartsWithTheSampleAndCheckDisabled()
{
    OpcodeChecker w;
    QCOMPARE(w.windowTitle(), QStringLiteral("MVN5 opcode checker"));
    QCOMPARE(w.Text1->Text(), Sample);
    QCOMPARE(w.List1->count(), 0);
    QCOMPARE(w.Error->Text(), QString());
    QVERIFY(!w.Check1->isEnabled());
    QCOMPARE(w.Command1->text(), QStringLiteral("Text to Listbox -> NOW!"));
    QCOMPARE(w.Check1->text(), QStringLiteral("&Check MVN5 opcodes"));
    QCOMPARE(w.Label1->text(), QStringLiteral("Errors:"));
    for (const char* name : {"Text1", "List1", "Command1", "Check1", "Label1", "Error"})
        QVERIFY2(w.findChild<QWidget*>(QString::fromLatin1(name)), name);
}

void TestChecker::windowSplitsChecksAndOnlyGrows()
{
    OpcodeChecker w;
    w.Command1->click();
    QVERIFY(w.Check1->isEnabled());
    QCOMPARE(w.List1->count(), 5);
    w.Check1->click();
    QCOMPARE(w.Error->Text(), QString());

    // A second split appends; the check finds the second identifier.
    w.Command1_Click();
    QCOMPARE(w.List1->count(), 10);
    QCOMPARE(w.List1->item(5)->text(), QStringLiteral("Script_Identifier"));
    const QString once = repeated(6) + QStringLiteral("\r\n\r\n");
    w.Check1_Click();
    QCOMPARE(w.Error->Text(), once);
    // Running the check again appends the same findings after the first.
    w.Check1_Click();
    QCOMPARE(w.Error->Text(), once + once);
    QVERIFY(w.Check1->isEnabled());
}

void TestChecker::selectionWalksDownTheList()
{
    OpcodeChecker w;
    w.Command1_Click();
    QList<int> rows;
    connect(w.List1, &QListWidget::currentRowChanged, this, [&rows](int row) { rows.append(row); });
    w.Check1_Click();
    QCOMPARE(rows, (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(w.List1->currentRow(), 4);
}

void TestChecker::emptyTextGivesTheFirstLineFinding()
{
    OpcodeChecker w;
    w.Text1->setText(QString());
    w.Command1_Click();
    QCOMPARE(w.List1->count(), 1);
    QCOMPARE(w.List1->item(0)->text(), QString());
    w.Check1_Click();
    QCOMPARE(w.Error->Text(), FirstLine + QStringLiteral("\r\n\r\n"));
}

void TestChecker::cliReportsEachFile()
{
    QTemporaryDir dir;
    const QString good = writeBytes(dir.filePath(QStringLiteral("good.mvn5")), Sample.toLatin1() + "\r\n");
    const QString bad = writeBytes(dir.filePath(QStringLiteral("bad.mvn5")), "Attack\r\nScript_Identifier\r\n");
    const QString missing = dir.filePath(QStringLiteral("missing.mvn5"));

    CliRun run = runCli({good});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, (good + QStringLiteral(": no finding (5 lines)\n")).toUtf8());
    QCOMPARE(run.err, QByteArray());

    run = runCli({bad});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, (bad + QStringLiteral(": ") + FirstLine + u'\n' + bad + QStringLiteral(": ") + SecondLine + u'\n').toUtf8());

    // An unreadable file (missing, or a folder) is named on the error stream
    // with the reason; the files after it are still checked.
    run = runCli({missing, dir.path(), good});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, (missing + QStringLiteral(": cannot be read: No such file or directory\n") + dir.path() +
                       QStringLiteral(": cannot be read: not a regular file\n")).toUtf8());
    QCOMPARE(run.out, (good + QStringLiteral(": no finding (5 lines)\n")).toUtf8());

    QCOMPARE(runCli(QStringList()).status, 0);
}

void TestChecker::cliReadsByTheEditorsRule()
{
    QTemporaryDir dir;
    // An empty file is one empty line.
    const QString empty = writeBytes(dir.filePath(QStringLiteral("empty.mvn5")), QByteArray());
    CliRun run = runCli({empty});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, (empty + QStringLiteral(": ") + FirstLine + u'\n').toUtf8());

    // Lone CRs end lines; single-byte text is decoded, not taken as UTF-8.
    const QString cr = writeBytes(dir.filePath(QStringLiteral("cr.mvn5")), "Script_Identifier \xC4\rScript_Name");
    run = runCli({cr});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, (cr + QStringLiteral(": no finding (2 lines)\n")).toUtf8());
}

// The reader, a block at a time, gives exactly the lines the window gets
// from the editor's text, whatever the bytes and wherever a block ends (a
// CR LF may be cut in two).
void TestChecker::readerGivesTheWindowsLines_data()
{
    QTest::addColumn<int>("blockSize");
    for (int size : {1, 2, 3, 7, 1 << 16})
        QTest::addRow("blocks of %d", size) << size;
}

void TestChecker::readerGivesTheWindowsLines()
{
    QFETCH(int, blockSize);
    QTemporaryDir dir;
    QList<QByteArray> files = {"", "\r", "\n", "\r\n", "\n\r", "a\r\n", "a\r\n\r\n", "a\n", "\r\r\n\n", "a\rb\nc\r\nd"};
    QRandomGenerator random(blockSize);
    static const char alphabet[] = {'\r', '\n', 'a', 'Z', ' ', '\0', '\x90', '\xe9', '\x1b'};
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes(random.bounded(40), Qt::Uninitialized);
        for (char& c : bytes)
            c = alphabet[random.bounded(int(sizeof alphabet))];
        files << bytes;
    }
    for (const QByteArray& bytes : files) {
        // A new file each time: truncating one makes the system write it out.
        const QString path = dir.filePath(QString::number(&bytes - files.data()));
        writeRaw(QFile::encodeName(path), bytes);
        ScriptLineReader reader(blockSize);
        QVERIFY(reader.open(QFile::encodeName(path)));
        QStringList lines;
        for (QString line; reader.next(&line);)
            lines << line;
        QVERIFY(reader.reason().isEmpty());
        QCOMPARE(lines, HeaderRules::splitText(ScriptFile::readingRule(bytes)));
        // A second pass reads the same lines.
        QVERIFY(reader.rewind());
        QStringList again;
        for (QString line; reader.next(&line);)
            again << line;
        QCOMPARE(again, lines);
    }
}

// Command lines a new user might type, with hostile names and files. "@"
// stands for the folder of the files, "%usage%" for the usage text.
void TestChecker::hostileCommandLines_data()
{
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QByteArray zelot = "@/bad.mvn5:3:1: unknown name \"Zelot\" (did you mean \"Zealot\"?)\n";
    const QByteArray hint = "Usage: morvaneo-checker [FILE...]\n"
                            "       morvaneo-checker --lint FILE...\n"
                            "       morvaneo-checker --help | --version\n"
                            "Try \"morvaneo-checker --help\" for more information.\n";
    QTest::newRow("an option after a file") << QByteArrayList{"@/bad.mvn5", "--lint"} << 1 << zelot << QByteArray();
    QTest::newRow("options between files")
        << QByteArrayList{"@/good.mvn5", "--lint", "@/bad.mvn5"} << 1 << zelot << QByteArray();
    QTest::newRow("after -- every argument is a file")
        << QByteArrayList{"--", "--lint"} << 1 << QByteArray()
        << QByteArray("--lint: cannot be read: No such file or directory\n");
    QTest::newRow("unknown option") << QByteArrayList{"@/good.mvn5", "--lnt"} << 2 << QByteArray()
                                    << "morvaneo-checker: unknown option \"--lnt\"\n" + hint;
    QTest::newRow("unknown option with a control character")
        << QByteArrayList{"-\x1b[2J"} << 2 << QByteArray() << "morvaneo-checker: unknown option \"-\\x1B[2J\"\n" + hint;
    QTest::newRow("help among files") << QByteArrayList{"@/bad.mvn5", "--help"} << 0 << QByteArray("%usage%")
                                      << QByteArray();
    QTest::newRow("a lone dash is a file")
        << QByteArrayList{"-"} << 1 << QByteArray() << QByteArray("-: cannot be read: No such file or directory\n");
    QTest::newRow("an empty name")
        << QByteArrayList{""} << 1 << QByteArray() << QByteArray(": cannot be read: No such file or directory\n");
    QTest::newRow("a pipe is refused, never waited on")
        << QByteArrayList{"@/pipe", "@/good.mvn5"} << 1 << QByteArray("@/good.mvn5: no finding (4 lines)\n")
        << QByteArray("@/pipe: cannot be read: not a regular file\n");
    QTest::newRow("a device") << QByteArrayList{"--lint", "/dev/zero"} << 1 << QByteArray()
                              << QByteArray("/dev/zero: cannot be read: not a regular file\n");
    QTest::newRow("escape sequences in a line")
        << QByteArrayList{"--lint", "@/escape.mvn5"} << 1
        << QByteArray("@/escape.mvn5:3:1: unknown name \"\\x1B[2J\\x1B[H\\x90\"\n") << QByteArray();
    QTest::newRow("control characters in a name")
        << QByteArrayList{"@/new\nline\x1b\x7f\xc2\x9b.mvn5"} << 0
        << QByteArray("@/new\\x0Aline\\x1B\\x7F\\xC2\\x9B.mvn5: no finding (4 lines)\n") << QByteArray();
    // Not valid UTF-8: the file of these bytes, not the one whose name
    // has U+FFFD in their place.
    QTest::newRow("a name not valid UTF-8") << QByteArrayList{"@/\xe9.mvn5"} << 1
                                            << "@/\xe9.mvn5: " + FirstLine.toUtf8() + '\n' << QByteArray();
    QTest::newRow("a missing name not valid UTF-8")
        << QByteArrayList{"@/\xe8.mvn5"} << 1 << QByteArray()
        << QByteArray("@/\xe8.mvn5: cannot be read: No such file or directory\n");
    QTest::newRow("lint without files") << QByteArrayList{"--lint"} << 0 << QByteArray() << QByteArray();
}

void TestChecker::hostileCommandLines()
{
    QFETCH(QByteArrayList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QTemporaryDir dir;
    const QByteArray at = QFile::encodeName(dir.path());
    // Qt cannot remove a file whose name is not valid UTF-8.
    const QByteArray raw = at + "/\xe9.mvn5";
    const auto removeRaw = qScopeGuard([&raw] { ::unlink(raw.constData()); });
    writeRaw(raw, "Attack");
    writeRaw(at + "/\xef\xbf\xbd.mvn5", Clean);
    writeRaw(at + "/good.mvn5", Clean);
    writeRaw(at + "/bad.mvn5", "Script_Identifier x\r\nScript_Name y\r\nZelot = 1\r\n");
    writeRaw(at + "/escape.mvn5", "Script_Identifier x\r\nScript_Name y\r\n\x1b[2J\x1b[H\x90 = 1\r\n");
    writeRaw(at + "/new\nline\x1b\x7f\xc2\x9b.mvn5", Clean);
    QCOMPARE(::mkfifo((at + "/pipe").constData(), 0600), 0);
    for (QByteArray& a : arguments)
        a.replace('@', at);
    out.replace('@', at).replace("%usage%", checkerUsage().toUtf8());
    err.replace('@', at);

    const CliRun run = runCli(arguments);
    QCOMPARE(run.err, err);
    QCOMPARE(run.out, out);
    QCOMPARE(run.status, status);
}

void TestChecker::realProcessExitCodes()
{
    const QString program = checkerProgram();
    if (program.isEmpty())
        QSKIP("morvaneo-checker is not built next to the tests");
    QTemporaryDir dir;
    const QString good = writeBytes(dir.filePath(QStringLiteral("good.mvn5")), Sample.toLatin1());
    const QString bad = writeBytes(dir.filePath(QStringLiteral("bad.mvn5")), (Sample + "\r\n" + Sample).toLatin1());
    const QString missing = dir.filePath(QStringLiteral("nothing.mvn5"));

    struct Ran {
        int status;
        QString out;
        QString err;
    };
    // stdout: a file to write the standard output to; merged: standard
    // error into standard output, in the order the program wrote them.
    auto run = [&program](const QStringList& args, const QString& stdout_ = QString(), bool merged = false) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the file mode must not need a display
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        if (!stdout_.isEmpty())
            p.setStandardOutputFile(stdout_);
        if (merged)
            p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        if (!p.waitForFinished(60000))
            qFatal("morvaneo-checker did not finish");
        return Ran{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                   QString::fromUtf8(p.readAllStandardOutput()),
                   merged ? QString() : QString::fromUtf8(p.readAllStandardError())};
    };
    Ran r = run({good});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, good + QStringLiteral(": no finding (5 lines)\n"));
    r = run({good, bad});
    QCOMPARE(r.status, 1);
    QVERIFY(r.out.endsWith(bad + QStringLiteral(": ") + repeated(6) + u'\n'));
    QCOMPARE(run({missing}).status, 1);
    r = run({QStringLiteral("--lnt")});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.startsWith(QStringLiteral("morvaneo-checker: unknown option \"--lnt\"\nUsage:")));
    r = run({QStringLiteral("--help")});
    QCOMPARE(r.status, 0);
    QVERIFY(r.out.startsWith(QStringLiteral("Usage: morvaneo-checker")));

    // Standard output and standard error keep their order.
    r = run({missing, good, missing}, QString(), true);
    const QString unreadable = missing + QStringLiteral(": cannot be read: No such file or directory\n");
    QCOMPARE(r.out, unreadable + good + QStringLiteral(": no finding (5 lines)\n") + unreadable);

    // A full disk: the failed write is told, and the status says so.
    if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
        for (const QStringList& args : {QStringList{good}, QStringList{QStringLiteral("--help")}}) {
            r = run(args, QStringLiteral("/dev/full"));
            QCOMPARE(r.status, 2);
            QCOMPARE(r.err, QStringLiteral("morvaneo-checker: the output cannot be written: No space left on device\n"));
        }
    }

    // Without files the same process becomes the checker window's program.
    QProcess window;
    window.start(program, {});
    QVERIFY(window.waitForStarted());
    const QString exe = QStringLiteral("/proc/%1/exe").arg(window.processId());
    QDeadlineTimer deadline(30000);
    while (!QFileInfo(exe).symLinkTarget().endsWith(QLatin1String("/morvaneo-checker-window")) && !deadline.hasExpired() &&
           window.state() == QProcess::Running)
        QTest::qWait(20);
    QVERIFY2(QFileInfo(exe).symLinkTarget().endsWith(QLatin1String("/morvaneo-checker-window")),
             window.readAllStandardError().constData());
    window.kill();
    window.waitForFinished();
}

// A file with a line too long for the memory there is: what was found
// before it is printed, that file is named as too large, and the files
// after it are still checked.
void TestChecker::outOfMemoryEndsOneFileOnly_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QString>("clean");
    QTest::newRow("header rules") << QStringList() << QStringLiteral(": ") + SecondLine + u'\n'
                                  << QStringLiteral(": no finding (4 lines)\n");
    QTest::newRow("lint") << QStringList{QStringLiteral("--lint")}
                          << QStringLiteral(":2:1: ") + SecondLine + QStringLiteral("\n@:2:1: unknown name \"Zelot\" (did you mean \"Zealot\"?)\n")
                          << QString();
}

void TestChecker::outOfMemoryEndsOneFileOnly()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves more address space than the limit allows");
#endif
    QFETCH(QStringList, options);
    QFETCH(QString, found);
    QFETCH(QString, clean);
    const QString program = checkerProgram();
    if (program.isEmpty())
        QSKIP("morvaneo-checker is not built next to the tests");
    QTemporaryDir dir;
    const QString good = writeBytes(dir.filePath(QStringLiteral("good.mvn5")), Clean);
    // Two short lines, then 384 MB of NUL bytes without a break (a sparse
    // file, so it costs no disk).
    const QString huge = writeBytes(dir.filePath(QStringLiteral("huge.mvn5")), "Script_Identifier x\r\nZelot = 1\r\n");
    QVERIFY(QFile::resize(huge, 384 << 20));

    QProcess p;
    // 300 MB of address space: the program starts in about 60 and needs
    // little more for a script of short lines, but twice the line's length
    // to hold it.
    p.setChildProcessModifier([] {
        const rlim_t limit = rlim_t(300) << 20;
        const rlimit r{limit, limit};
        ::setrlimit(RLIMIT_AS, &r);
    });
    p.start(program, options + QStringList{huge, good});
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()), huge + QStringLiteral(": cannot be read: too large to check\n"));
    QCOMPARE(out, huge + found.replace(u'@', huge) + (clean.isEmpty() ? QString() : good + clean));
}

QTEST_MAIN(TestChecker)
#include "test_checker.moc"
