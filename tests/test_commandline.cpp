// The command line: which arguments ask for help or the version, and the
// real programs answering them on standard output without any display.
#include "TestSupport.h"

#include "base/CommandLine.h"
#include "checker/CheckerCli.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void requests_data();
    void requests();
    void answersWithoutDisplay_data();
    void answersWithoutDisplay();
    void textProgramsLoadQtCoreOnly_data();
    void textProgramsLoadQtCoreOnly();
};

void TestCommandLine::requests_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("request");
    const int run = int(CommandLine::Request::Run);
    QTest::newRow("nothing") << QStringList{"morvaneo"} << run;
    QTest::newRow("help") << QStringList{"morvaneo", "--help"} << int(CommandLine::Request::Help);
    QTest::newRow("version") << QStringList{"morvaneo", "--version"} << int(CommandLine::Request::Version);
    // Any other text is the script's path.
    QTest::newRow("a script called --help") << QStringList{"morvaneo", "./--help"} << run;
    QTest::newRow("help among words") << QStringList{"morvaneo", "--help", "me.mvn5"} << run;
    QTest::newRow("words then version") << QStringList{"morvaneo", "my", "--version"} << run;
    QTest::newRow("short form") << QStringList{"morvaneo", "-h"} << run;
    QTest::newRow("other case") << QStringList{"morvaneo", "--Help"} << run;
    QTest::newRow("path") << QStringList{"morvaneo", "/tmp/a b.mvn5"} << run;
}

void TestCommandLine::requests()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, request);
    QCOMPARE(int(CommandLine::request(arguments)), request);
}

void TestCommandLine::answersWithoutDisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected");
    QTest::newRow("editor help") << "morvaneo" << "--help" << CommandLine::editorHelp();
    QTest::newRow("editor version") << "morvaneo" << "--version" << CommandLine::versionText("morvaneo");
    QTest::newRow("checker help") << "morvaneo-checker" << "--help" << checkerUsage();
    QTest::newRow("checker version") << "morvaneo-checker" << "--version"
                                     << CommandLine::versionText("morvaneo-checker");
}

void TestCommandLine::answersWithoutDisplay()
{
    QFETCH(QString, program);
    QFETCH(QString, argument);
    QFETCH(QString, expected);
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../") + program);
    if (!QFileInfo(path).isExecutable())
        QSKIP("the program is not built next to the tests");
    // The X11 platform with no display to reach: any window, or even the
    // application object, would end the program with an error.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(path, {argument});
    QVERIFY(p.waitForFinished(60000));
    const QByteArray err = p.readAllStandardError();
    QVERIFY2(err.isEmpty(), err.constData());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), expected);
    QVERIFY(expected.contains(argument == QLatin1String("--help") ? QStringLiteral("Usage: ") + program
                                                                 : program + QLatin1Char(' ')));
}

void TestCommandLine::textProgramsLoadQtCoreOnly_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("checker") << "morvaneo-checker";
    QTest::newRow("language server") << "morvaneo-language-server";
}

// The programs that only read and write text load no graphics library, so
// they run anywhere a script is, also on a machine without a desktop.
void TestCommandLine::textProgramsLoadQtCoreOnly()
{
    QFETCH(QString, program);
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../") + program);
    if (!QFileInfo(path).isExecutable())
        QSKIP("the program is not built next to the tests");
    if (QStandardPaths::findExecutable(QStringLiteral("ldd")).isEmpty())
        QSKIP("no ldd on this machine");
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {path});
    QVERIFY(ldd.waitForFinished(60000));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    QVERIFY2(libraries.contains(QLatin1String("libQt6Core")), qPrintable(libraries));
    for (const char* library : {"libQt6Gui", "libQt6Widgets", "libQt6DBus", "libqscintilla", "libGL.", "libX11."})
        QVERIFY2(!libraries.contains(QLatin1String(library)), qPrintable(libraries));
}

QTEST_MAIN(TestCommandLine)
#include "test_commandline.moc"
