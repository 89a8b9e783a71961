// The header rules, the checker window and the command-line checker.
#include "TestSupport.h"

#include "checker/CheckerCli.h"
#include "dialogs/OpcodeChecker.h"
#include "editor/ScriptTextBox.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

const QString Sample = QStringLiteral("Script_Identifier\r\nScript_Name\r\nCampaign_Script\r\nCustom_Script\r\nAttack");
const QString FirstLine =
    QStringLiteral("Error in script line 1 : Script_Identifier opcode must be in the first line!");
const QString SecondLine = QStringLiteral("Script_Name opcode must be in the second line!");
QString repeated(int line)
{
    return QStringLiteral("Error in line %1 : Script_Identifier mustn't be in a script two times!").arg(line);
}

struct CliRun {
    int status;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& files)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = runChecker(files, o, e);
    return {status, out, err};
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
    void realProcessExitCodes();
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
    QCOMPARE(run.out, good + QStringLiteral(": no finding (5 lines)\n"));
    QCOMPARE(run.err, QString());

    run = runCli({bad});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, bad + QStringLiteral(": ") + FirstLine + u'\n' + bad + QStringLiteral(": ") + SecondLine + u'\n');

    // An unreadable file (missing, or a folder) is named on the error stream;
    // the files after it are still checked.
    run = runCli({missing, dir.path(), good});
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains(missing));
    QVERIFY(run.err.contains(dir.path() + QStringLiteral(": ")));
    QCOMPARE(run.err.count(QStringLiteral("could not be read")), 2);
    QCOMPARE(run.out, good + QStringLiteral(": no finding (5 lines)\n"));

    QCOMPARE(runCli({}).status, 0);
}

void TestChecker::cliReadsByTheEditorsRule()
{
    QTemporaryDir dir;
    // An empty file is one empty line.
    const QString empty = writeBytes(dir.filePath(QStringLiteral("empty.mvn5")), QByteArray());
    CliRun run = runCli({empty});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, empty + QStringLiteral(": ") + FirstLine + u'\n');

    // Lone CRs end lines; single-byte text is decoded, not taken as UTF-8.
    const QString cr = writeBytes(dir.filePath(QStringLiteral("cr.mvn5")), "Script_Identifier \xC4\rScript_Name");
    run = runCli({cr});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, cr + QStringLiteral(": no finding (2 lines)\n"));
}

void TestChecker::realProcessExitCodes()
{
    QString program = qEnvironmentVariable("MORVANEO_CHECKER");
    if (program.isEmpty())
        program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../morvaneo-checker"));
    if (!QFileInfo(program).isExecutable())
        QSKIP("morvaneo-checker is not built next to the tests");
    QTemporaryDir dir;
    const QString good = writeBytes(dir.filePath(QStringLiteral("good.mvn5")), Sample.toLatin1());
    const QString bad = writeBytes(dir.filePath(QStringLiteral("bad.mvn5")), (Sample + "\r\n" + Sample).toLatin1());

    auto run = [&program](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the file mode must not need a display
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(60000))
            qFatal("morvaneo-checker did not finish");
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()));
    };
    auto [status, out] = run({good});
    QCOMPARE(status, 0);
    QCOMPARE(out, good + QStringLiteral(": no finding (5 lines)\n"));
    std::tie(status, out) = run({good, bad});
    QCOMPARE(status, 1);
    QVERIFY(out.endsWith(bad + QStringLiteral(": ") + repeated(6) + u'\n'));
    std::tie(status, out) = run({dir.filePath(QStringLiteral("nothing.mvn5"))});
    QCOMPARE(status, 1);
    std::tie(status, out) = run({QStringLiteral("--help")});
    QCOMPARE(status, 0);
    QVERIFY(out.startsWith(QStringLiteral("Usage: morvaneo-checker")));

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

QTEST_MAIN(TestChecker)
#include "test_checker.moc"
