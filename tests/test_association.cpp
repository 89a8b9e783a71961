#include "TestSupport.h"

#include "platform/FileTypeRecords.h"
#include "settings/Association.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Sets HOME and the XDG folders for one test and puts the old values back,
// so the user's own home is never written.
class EnvGuard {
public:
    EnvGuard()
    {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "PATH"})
            m_saved.insert(name, qgetenv(name));
    }
    ~EnvGuard()
    {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value().isNull())
                qunsetenv(it.key().constData());
            else
                qputenv(it.key().constData(), it.value());
        }
    }

private:
    QMap<QByteArray, QByteArray> m_saved;
};

// A temporary home with its XDG folders set; the cache tools run to their
// end before the association returns.
struct TempHome {
    EnvGuard env;
    QTemporaryDir dir;
    WaitingToolStarter tools;
    QString data() const { return dir.path() + QLatin1String("/data"); }
    QString config() const { return dir.path() + QLatin1String("/config"); }
    TempHome()
    {
        qputenv("HOME", dir.path().toUtf8());
        qputenv("XDG_DATA_HOME", data().toUtf8());
        qputenv("XDG_CONFIG_HOME", config().toUtf8());
    }
};

// What matters in the records: the desktop entry starts this program on the
// file (and passes the desktop's validator), the MIME package names the
// type, its description and its pattern.
void checkRecords(const QByteArray& mimePackage, const QByteArray& desktopEntry, const QString& program)
{
    QMap<QByteArray, QByteArray> entry;
    for (const QByteArray& line : desktopEntry.split('\n'))
        if (const qsizetype eq = line.indexOf('='); eq > 0)
            entry.insert(line.left(eq), line.mid(eq + 1));
    QVERIFY2(desktopEntry.startsWith("[Desktop Entry]\n"), desktopEntry.constData());
    QCOMPARE(entry.value("Type"), QByteArray("Application"));
    QCOMPARE(entry.value("Exec"), "\"" + program.toUtf8() + "\" %f");
    QCOMPARE(entry.value("MimeType"), QByteArray("application/x-mvn5;"));
    QCOMPARE(entry.value("Icon"), QByteArray("morvaneo"));
    if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("morvaneo.desktop")), desktopEntry);
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {dir.filePath(QStringLiteral("morvaneo.desktop"))});
        QVERIFY(validate.waitForFinished(30000));
        QVERIFY2(validate.exitCode() == 0, validate.readAll().constData());
    }

    QXmlStreamReader xml(mimePackage);
    QStringList found;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == QLatin1String("mime-type"))
            found << QStringLiteral("type ") + xml.attributes().value(QLatin1String("type")).toString();
        else if (name == QLatin1String("glob"))
            found << QStringLiteral("glob ") + xml.attributes().value(QLatin1String("pattern")).toString();
        else if (name == QLatin1String("comment"))
            found << QStringLiteral("comment ") + xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(found, QStringList({QStringLiteral("type application/x-mvn5"), QStringLiteral("comment Kestrand AI File"),
                                 QStringLiteral("glob *.mvn5")}));
}

// Every file below `root` with its bytes.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), readBytes(path));
    }
    return files;
}

const char* const Done = "MVN5 files are now associated with Morvaneo. You probably have to restart.";
const char* const Failed = "Sorry, the needed information couldn't be added to the registry.";

}  // namespace

class TestAssociation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entries_data();
    void entries();
    void execQuoting();
    void defaultApplicationLines_data();
    void defaultApplicationLines();
    void placesFollowEnvironment();
    void recordsInTemporaryHome();
    void secondRunLeavesSameRecords();
    void unwritableFolderStopsWithError_data();
    void unwritableFolderStopsWithError();
    void cacheToolsNeverHoldUpTheWindow();
};

void TestAssociation::entries_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<bool>("windows");
    QTest::addColumn<QString>("program");

    QTest::newRow("windows folder") << "D:\\Tools\\Editor" << true << "D:\\Tools\\Editor\\editor.exe";
    QTest::newRow("windows drive root") << "E:\\" << true << "E:\\editor.exe";
    QTest::newRow("windows C root") << "C:\\" << true << "C:\\editor.exe";
    QTest::newRow("unix folder") << "/opt/Tools/Editor" << false << "/opt/Tools/Editor/editor";
    QTest::newRow("unix root") << "/" << false << "/editor";
    QTest::newRow("unix folder with blank") << "/home/a b" << false << "/home/a b/editor";
}

void TestAssociation::entries()
{
    QFETCH(QString, directory);
    QFETCH(bool, windows);
    QFETCH(QString, program);
    const QString base = QStringLiteral("editor");
    QCOMPARE(AssociationProgramPath(directory, base, windows ? PathForm::Windows : PathForm::Unix), program);

    if (windows) {
        const QList<AssociationEntry> expected = {
            {QStringLiteral(".mvn5"), QStringLiteral("MVN5file")},
            {QStringLiteral("MVN5file"), QStringLiteral("Kestrand AI File")},
            {QStringLiteral("MVN5file\\DefaultIcon"), program + QStringLiteral(",0")},
            {QStringLiteral("MVN5file\\Shell\\open\\command"), program + QStringLiteral(" %1")},
        };
        QCOMPARE(AssociationEntries(directory, base), expected);
    } else {
        const FileTypeRecords::FileType type = AssociationFileType(directory, base);
        QCOMPARE(type.mimeType, QStringLiteral("application/x-mvn5"));
        QCOMPARE(type.name, QStringLiteral("morvaneo"));
        checkRecords(type.mimePackage, type.desktopEntry, program);
    }
}

void TestAssociation::execQuoting()
{
    // Each rule at once: blank, quote, back quote, dollar, percent and
    // backslash inside the quotes, then the entry's escapes, which double
    // every backslash and spell out the line break.
    QCOMPARE(FileTypeRecords::execProgram(QStringLiteral("/a b/\"q\"/`c`/$X/100%/x\\y\nz")),
             QStringLiteral("\"/a b/\\\\\"q\\\\\"/\\\\`c\\\\`/\\\\$X/100%%/x\\\\\\\\y\\nz\""));
}

void TestAssociation::defaultApplicationLines_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    const QByteArray ours = "application/x-mvn5=morvaneo.desktop;\n";
    QTest::newRow("no file") << QByteArray() << "[Default Applications]\n" + ours;
    QTest::newRow("other section only")
        << QByteArray("[Added Associations]\ntext/plain=vim.desktop;\n")
        << "[Added Associations]\ntext/plain=vim.desktop;\n\n[Default Applications]\n" + ours;
    QTest::newRow("section without our type, another section after")
        << QByteArray("[Default Applications]\ntext/html=firefox.desktop\n\n[Removed Associations]\nx/y=z.desktop\n")
        << "[Default Applications]\ntext/html=firefox.desktop\n" + ours +
               "\n[Removed Associations]\nx/y=z.desktop\n";
    QTest::newRow("older default replaced, duplicates dropped, comments kept")
        << QByteArray("# mine\n[Default Applications]\napplication/x-mvn5=old.desktop\n"
                      "text/html=firefox.desktop\napplication/x-mvn5 = other.desktop\n")
        << "# mine\n[Default Applications]\n" + ours + "text/html=firefox.desktop\n";
    QTest::newRow("already there") << "[Default Applications]\n" + ours << "[Default Applications]\n" + ours;
    QTest::newRow("same key in another section untouched")
        << QByteArray("[Added Associations]\napplication/x-mvn5=old.desktop;\n[Default Applications]\n")
        << "[Added Associations]\napplication/x-mvn5=old.desktop;\n[Default Applications]\n" + ours;
}

void TestAssociation::defaultApplicationLines()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString type = QStringLiteral("application/x-mvn5");
    const QString id = QStringLiteral("morvaneo.desktop");
    const QByteArray once = FileTypeRecords::withDefaultApplication(before, type, id);
    QCOMPARE(once, after);
    QCOMPARE(FileTypeRecords::withDefaultApplication(once, type, id), after);
}

void TestAssociation::placesFollowEnvironment()
{
    TempHome home;
    FileTypeRecords::Places places = FileTypeRecords::userPlaces();
    QCOMPARE(places.dataHome, home.data());
    QCOMPARE(places.configHome, home.config());

    // Unset, empty or relative values fall back to the folders under HOME.
    qunsetenv("XDG_DATA_HOME");
    qputenv("XDG_CONFIG_HOME", "relative/config");
    places = FileTypeRecords::userPlaces();
    QCOMPARE(places.dataHome, home.dir.path() + QStringLiteral("/.local/share"));
    QCOMPARE(places.configHome, home.dir.path() + QStringLiteral("/.config"));
}

void TestAssociation::recordsInTemporaryHome()
{
    TempSettings settings;
    TempHome home;  // after the settings: its configuration folder wins
    FakeModal modal;
    QDir().mkpath(home.config());
    writeBytes(home.config() + QStringLiteral("/mimeapps.list"),
               "[Default Applications]\ntext/html=firefox.desktop\n");

    AssociateFiles();

    QCOMPARE(modal.messages.size(), 1);
    QCOMPARE(modal.messages[0].prompt, QString::fromLatin1(Done));
    QCOMPARE(modal.messages[0].style, Modal::vbOKOnly);
    QCOMPARE(modal.messages[0].title, QStringLiteral("Done!"));

    const QString program = QCoreApplication::applicationFilePath();
    checkRecords(readBytes(home.data() + QStringLiteral("/mime/packages/morvaneo.xml")),
                 readBytes(home.data() + QStringLiteral("/applications/morvaneo.desktop")), program);
    QCOMPARE(readBytes(home.config() + QStringLiteral("/mimeapps.list")),
             QByteArray("[Default Applications]\ntext/html=firefox.desktop\n"
                        "application/x-mvn5=morvaneo.desktop;\n"));

    // The icon comes from the program's own pictures, when they are built in.
    QFile icon(QStringLiteral(":/resources/icons/morvaneo-256.png"));
    const QString installedIcon = home.data() + QStringLiteral("/icons/hicolor/256x256/apps/morvaneo.png");
    if (icon.open(QIODevice::ReadOnly))
        QCOMPARE(readBytes(installedIcon), icon.readAll());
    else
        QVERIFY(!QFileInfo::exists(installedIcon));

    // The MIME cache tool accepted the package and knows the pattern.
    if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
        const QByteArray globs = readBytes(home.data() + QStringLiteral("/mime/globs2"));
        QVERIFY2(globs.contains(":application/x-mvn5:*.mvn5"), globs.constData());
    }
}

void TestAssociation::secondRunLeavesSameRecords()
{
    TempHome home;
    const QString dir = QStringLiteral("/opt/morvaneo/bin");
    QVERIFY(RegisterFileType(dir, QStringLiteral("morvaneo")));
    const QMap<QString, QByteArray> first = snapshot(home.dir.path());
    QVERIFY(first.contains(QStringLiteral("data/applications/morvaneo.desktop")));
    QVERIFY(first.contains(QStringLiteral("config/mimeapps.list")));

    QVERIFY(RegisterFileType(dir, QStringLiteral("morvaneo")));
    const QMap<QString, QByteArray> second = snapshot(home.dir.path());
    QCOMPARE(second.keys(), first.keys());
    for (const QString& name : first.keys()) {
        if (!name.contains(QLatin1String("cache")))   // caches may hold times
            QVERIFY2(second.value(name) == first.value(name), qPrintable(name));
    }
    QCOMPARE(readBytes(home.config() + QStringLiteral("/mimeapps.list")),
             QByteArray("[Default Applications]\napplication/x-mvn5=morvaneo.desktop;\n"));
}

void TestAssociation::unwritableFolderStopsWithError_data()
{
    // A regular file where a folder must go: no user, not even root, can
    // create the folder. Records of earlier steps stay, later ones are not
    // written.
    QTest::addColumn<QString>("blocker");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("absent");
    QTest::newRow("first step") << "data/mime" << "" << "data/applications";
    QTest::newRow("desktop entry") << "data/applications" << "data/mime/packages/morvaneo.xml"
                                   << "config/mimeapps.list";
    QTest::newRow("last step") << "config" << "data/applications/morvaneo.desktop" << "";
}

void TestAssociation::unwritableFolderStopsWithError()
{
    QFETCH(QString, blocker);
    QFETCH(QString, kept);
    QFETCH(QString, absent);
    TempSettings settings;
    TempHome home;
    FakeModal modal;
    const QString root = home.dir.path() + QLatin1Char('/');
    QDir().mkpath(QFileInfo(root + blocker).path());
    writeBytes(root + blocker, "in the way");

    AssociateFiles();

    QCOMPARE(modal.messages.size(), 1);
    QCOMPARE(modal.messages[0].prompt, QString::fromLatin1(Failed));
    QCOMPARE(modal.messages[0].style, Modal::vbOKOnly + Modal::vbCritical);
    QCOMPARE(modal.messages[0].title, QStringLiteral("Error"));
    QCOMPARE(readBytes(root + blocker), QByteArray("in the way"));
    QVERIFY(kept.isEmpty() || QFileInfo(root + kept).isFile());
    QVERIFY(absent.isEmpty() || !QFileInfo::exists(root + absent));
}

void TestAssociation::cacheToolsNeverHoldUpTheWindow()
{
    // Slow stand-ins for the three cache tools, alone on the PATH: each waits,
    // then writes the arguments it got, each ended by a NUL byte.
    const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh"));
    const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
    const QString mv = QStandardPaths::findExecutable(QStringLiteral("mv"));
    if (sh.isEmpty() || sleep.isEmpty() || mv.isEmpty())
        QSKIP("no sh, sleep or mv on this machine");
    EnvGuard env;
    TempSettings settings;
    FakeModal modal;
    QTemporaryDir dir;
    const QString tools = dir.filePath(QStringLiteral("tools"));
    const QString data = dir.filePath(QStringLiteral("my \"data\" $HOME `id`; 5%"));
    QVERIFY(QDir().mkpath(tools));
    const QStringList names = {QStringLiteral("update-mime-database"), QStringLiteral("update-desktop-database"),
                               QStringLiteral("gtk-update-icon-cache")};
    for (const QString& name : names) {
        const QString tool = tools + QLatin1Char('/') + name;
        writeBytes(tool, "#!" + sh.toUtf8() + "\n" + sleep.toUtf8() + " 2\n"
                         "printf '%s\\0' \"$@\" > \"$0.tmp\"\n" + mv.toUtf8() + " \"$0.tmp\" \"$0.args\"\n");
        QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    qputenv("PATH", tools.toUtf8());
    qputenv("HOME", dir.path().toUtf8());
    qputenv("XDG_DATA_HOME", data.toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());

    QElapsedTimer clock;
    clock.start();
    AssociateFiles();
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(modal.messages.size(), 1);
    QCOMPARE(modal.messages[0].title, QStringLiteral("Done!"));

    const QByteArray expected[] = {
        data.toUtf8() + "/mime" + '\0',
        data.toUtf8() + "/applications" + '\0',
        "--force" + QByteArray(1, '\0') + "--ignore-theme-index" + QByteArray(1, '\0') + "--quiet" +
            QByteArray(1, '\0') + data.toUtf8() + "/icons/hicolor" + '\0',
    };
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString args = tools + QLatin1Char('/') + names[i] + QStringLiteral(".args");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(args), 20000);
        QCOMPARE(readBytes(args), expected[i]);
    }
}

QTEST_MAIN(TestAssociation)
#include "test_association.moc"
