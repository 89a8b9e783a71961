// Script files: the reading and writing rules, the code page, the recent
// list, default directories, open / save / new with every state change,
// safe saving, the clipboard and the value box's shortcuts.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "platform/TreeView.h"
#include "app/RecentList.h"
#include "language/ScriptFile.h"
#include "platform/Clipboard.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "settings/SettingsStore.h"

#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {
const QString App = QStringLiteral("Morvaneo");
const QString Config = QStringLiteral("Config");
const QString SavedCorrectly = QStringLiteral("Saved correctly.");
const QString CouldNot = QStringLiteral("File could not be loaded/saved.");

QByteArray allBytes()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
}
}  // namespace

class TestScriptFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void codePageKeepsEveryByte();
    void unencodableCharactersAskFirst();
    void recentListPushes();
    void openThroughTheDialog();
    void openFailuresLeaveTheDocument();
    void commandLineOpen();
    void defaultDirectories();
    void saveAsAndSave();
    void saveFailuresKeepTheOldFile();
    void newCommand();
    void newStopsWhenTheSaveDidNotHappen();
    void clipboardCommands();
    void toolbarAndShortcuts();
    void settingsStore();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString file(const QString& name) const { return m_dir->filePath(name); }
};

void TestScriptFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QGuiApplication::clipboard()->clear();
}

void TestScriptFiles::codePageKeepsEveryByte()
{
    const QByteArray bytes = allBytes();
    const QString text = ScriptFile::decode(bytes);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x81), QChar(0x81));
    QCOMPARE(text.at(0x8D), QChar(0x8D));
    QCOMPARE(text.at(0x9F), QChar(0x178));
    QCOMPARE(text.at(0xA0), QChar(0xA0));
    bool lossy = true;
    QCOMPARE(ScriptFile::encode(text, &lossy), bytes);
    QVERIFY(!lossy);
    QCOMPARE(ScriptFile::encode(u"a\u0100\u4e2d", &lossy), QByteArray("a??"));
    QVERIFY(lossy);
    QCOMPARE(ScriptFile::unencodable(u"a\u0100b\u0100\u20ac"), QString(QChar(0x100)));
}

void TestScriptFiles::unencodableCharactersAskFirst()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    w.Text1->setText(QStringLiteral("Zealot \u4e2d"));
    const QString out = file(QStringLiteral("x.mvn5"));
    modal.fileReplies = {out, out};
    modal.messageReplies = {Modal::vbNo, Modal::vbYes};
    QVERIFY(!w.FileSaveAsProc());
    QVERIFY(!QFile::exists(out));
    QCOMPARE(w.Changed, qint16(1));
    QVERIFY(modal.messages.last().prompt.contains(QStringLiteral("\"?\"")));
    QVERIFY(w.FileSaveAsProc());
    QCOMPARE(readBytes(out), QByteArray("Zealot ?\r\n"));
}

void TestScriptFiles::recentListPushes()
{
    QStringList list;
    for (int i = 1; i <= 20; ++i)
        list << QStringLiteral("f%1").arg(i);
    QStringList p = RecentList::pushed(list, QStringLiteral("new"));
    QCOMPARE(p.size(), 20);
    QCOMPARE(p.first(), QStringLiteral("new"));
    QCOMPARE(p.at(1), QStringLiteral("f1"));
    QCOMPARE(p.last(), QStringLiteral("f19"));  // the former entry 20 is gone
    p = RecentList::pushed(list, QStringLiteral("f5"));
    QCOMPARE(p.at(0), QStringLiteral("f5"));
    QCOMPARE(p.at(5), QStringLiteral("f5"));  // entry 5 reopened stays in entry 6
    QCOMPARE(RecentList::pushed({}, QStringLiteral("a")).size(), 20);

    TempSettings settings;
    QCOMPARE(RecentList::read(), QStringList(20, QString()));
    RecentList::write(p);
    QCOMPARE(RecentList::read(), p);
    QCOMPARE(GetSetting(App, QStringLiteral("RecentFiles"), QStringLiteral("Recent1")), QStringLiteral("f5"));
    QCOMPARE(GetSetting(App, QStringLiteral("RecentFiles"), QStringLiteral("Recent20")), QStringLiteral("f19"));
}

void TestScriptFiles::openThroughTheDialog()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    const QString path = writeBytes(file(QStringLiteral("a b.mvn5")), "A\r\nB\r\n");
    modal.fileReplies = {path, path};
    w.Changed = 1;
    w.FileOpenProc();
    const Modal::FileRequest& r = modal.fileRequests.first();
    QCOMPARE(r.title, QStringLiteral("Open MVN5 file"));
    QCOMPARE(r.filter, QStringLiteral("MVN5 files (*.mvn5)| *.mvn5"));
    QCOMPARE(r.defaultExt, QStringLiteral("mvn5"));
    QCOMPARE(r.initDir, QString());
    QVERIFY(!r.save);
    QCOMPARE(w.Text1->Text(), QStringLiteral("A\r\nB"));
    QCOMPARE(w.ActualFile, path);
    QCOMPARE(w.Changed, qint16(0));
    QCOMPARE(w.windowTitle(), QStringLiteral("Morvaneo II BETA - ") + path);
    QVERIFY(!w.Text1->isUndoAvailable());
    w.FileOpenProc();  // twice: entries 1 and 2
    QStringList recent = RecentList::read();
    QCOMPARE(recent.at(0), path);
    QCOMPARE(recent.at(1), path);

    // Cancelled: nothing changes.
    w.Text1->setSelText(QStringLiteral("x"));
    modal.fileReplies = {QString()};
    w.FileOpenProc();
    QCOMPARE(w.Text1->Text(), QStringLiteral("xA\r\nB"));
    QCOMPARE(w.Changed, qint16(1));
    QCOMPARE(w.ActualFile, path);
    QCOMPARE(RecentList::read(), recent);
    QVERIFY(modal.messages.isEmpty());
}

void TestScriptFiles::openFailuresLeaveTheDocument()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    w.Text1->setText(QStringLiteral("keep"));
    w.ActualFile = QStringLiteral("/old.mvn5");
    w.setCaption(QStringLiteral("Morvaneo II BETA - /old.mvn5"));
    QDir().mkpath(file(QStringLiteral("folder.mvn5")));
    const QStringList bad = {file(QStringLiteral("missing.mvn5")), file(QStringLiteral("folder.mvn5")),
                             QStringLiteral("/dev/zero"), QStringLiteral("\"") + file(QStringLiteral("q")) + u'"'};
    for (const QString& path : bad) {
        modal.messages.clear();
        modal.fileReplies = {path};
        w.FileOpenProc();
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages.first().prompt, CouldNot);
        QCOMPARE(modal.messages.first().title, QStringLiteral("Error"));
        QCOMPARE(modal.messages.first().style, Modal::vbCritical);
        QCOMPARE(w.Text1->Text(), QStringLiteral("keep"));
        QCOMPARE(w.ActualFile, QStringLiteral("/old.mvn5"));
        QCOMPARE(w.Changed, qint16(1));
        QCOMPARE(w.windowTitle(), QStringLiteral("Morvaneo II BETA - /old.mvn5"));
        QCOMPARE(RecentList::read(), QStringList(20, QString()));
    }
}

void TestScriptFiles::commandLineOpen()
{
    TempSettings settings;
    FakeModal modal;
    const QString path = writeBytes(file(QStringLiteral("my script.mvn5")), "Wait 5\r\n");
    for (int run = 0; run < 2; ++run) {
        MainWindow w;
        w.CommandLine = path;
        w.show();
        QCOMPARE(w.Text1->Text(), QStringLiteral("Wait 5"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Morvaneo II BETA - ") + path);
        QCOMPARE(w.ActualFile, QString());
        QCOMPARE(w.Changed, qint16(0));
    }
    // Started twice with the same path: stored once.
    QStringList recent = RecentList::read();
    QCOMPARE(recent.at(0), path);
    QCOMPARE(recent.at(1), QString());

    MainWindow quoted;
    quoted.CommandLine = u'"' + path + u'"';
    quoted.show();
    QCOMPARE(modal.messages.size(), 1);
    QCOMPARE(modal.messages.first().prompt, CouldNot);
    QCOMPARE(quoted.Text1->Text(), QString());
    QCOMPARE(quoted.windowTitle(), QStringLiteral("Morvaneo II BETA - untitled"));
}

void TestScriptFiles::defaultDirectories()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    struct Case { const char* use; const char* dir; const char* expected; };
    const Case cases[] = {{"", "", ""}, {"1", "", ""}, {"", "/stored", ""}, {"1", "/stored", "/stored"},
                          {"yes", "/x y", "/x y"}};
    for (const Case& c : cases) {
        SaveSetting(App, Config, QStringLiteral("UseDefOpen"), QString::fromUtf8(c.use));
        SaveSetting(App, Config, QStringLiteral("DefaultOpen"), QString::fromUtf8(c.dir));
        SaveSetting(App, Config, QStringLiteral("UseDefSave"), QString::fromUtf8(c.use));
        SaveSetting(App, Config, QStringLiteral("DefaultSave"), QString::fromUtf8(c.dir));
        modal.fileReplies = {QString(), QString()};
        w.FileOpenProc();
        QCOMPARE(modal.fileRequests.last().initDir, QString::fromUtf8(c.expected));
        QCOMPARE(w.IsDefOpen, QString::fromUtf8(c.use));
        QCOMPARE(w.DefaultOpen, *c.use ? QString::fromUtf8(c.dir) : QString());
        w.FileSaveAsProc();
        QCOMPARE(modal.fileRequests.last().initDir, QString::fromUtf8(c.expected));
        QCOMPARE(w.IsDefSave, QString::fromUtf8(c.use));
    }
}

void TestScriptFiles::saveAsAndSave()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    w.Text1->setText(QStringLiteral("Attack\r\nWait 5"));
    const QString path = file(QStringLiteral("saved.mvn5"));
    modal.fileReplies = {path};
    QVERIFY(w.FileSaveAsProc());
    const Modal::FileRequest& r = modal.fileRequests.last();
    QCOMPARE(r.title, QStringLiteral("Save MVN5 file"));
    QCOMPARE(r.filter, QStringLiteral("MVN5 files (*.mvn5)|*.mvn5"));
    QVERIFY(r.save);
    QVERIFY(r.confirmOverwrite);  // the dialog asks before replacing a file
    QCOMPARE(readBytes(path), QByteArray("Attack\r\nWait 5\r\n"));
    QCOMPARE(modal.messages.last().prompt, SavedCorrectly);
    QCOMPARE(modal.messages.last().title, QStringLiteral("Done"));
    QCOMPARE(modal.messages.last().style, Modal::vbOKOnly);
    QCOMPARE(w.Changed, qint16(0));
    QCOMPARE(w.ActualFile, path);
    QCOMPARE(w.windowTitle(), QStringLiteral("Morvaneo II BETA - ") + path);
    QCOMPARE(RecentList::read().first(), path);

    // Save under the current name: no dialog, no flag or list change.
    w.Text1->setSelText(QStringLiteral("Stop\r\n"));
    QVERIFY(w.FileSaveProc());
    QCOMPARE(readBytes(path), QByteArray("Stop\r\nAttack\r\nWait 5\r\n"));
    QCOMPARE(w.Changed, qint16(1));
    QCOMPARE(RecentList::read().at(1), QString());

    // Cancelled: nothing is reported and nothing changes.
    const int shown = int(modal.messages.size());
    modal.fileReplies = {QString()};
    QVERIFY(!w.FileSaveAsProc());
    QCOMPARE(modal.messages.size(), shown);
    QCOMPARE(w.Changed, qint16(1));
}

void TestScriptFiles::saveFailuresKeepTheOldFile()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    const QString old = writeBytes(file(QStringLiteral("old.mvn5")), "old content\r\n");
    QFile::setPermissions(old, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    writeBytes(file(QStringLiteral("plainfile")), "x");
    w.Text1->setText(QStringLiteral("new content"));
    w.ActualFile = old;
    w.setCaption(QStringLiteral("caption"));

    // Failing after k bytes: the old file stays byte for byte, with its permissions.
    for (qint64 k : {0, 1, 5}) {
        modal.messages.clear();
        {
            FailingWriter failing(k);
            QVERIFY(!w.FileSaveProc());
        }
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages.first().prompt, CouldNot);
        QCOMPARE(readBytes(old), QByteArray("old content\r\n"));
        QCOMPARE(w.windowTitle(), QStringLiteral("caption"));
    }
    const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QCOMPARE(QFile::permissions(old) & 0x7077, perms);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 2);  // no temporary left behind

    // Paths that cannot be written, whoever runs the test: a missing folder,
    // a parent that is a plain file, a folder, and a pipe (never a device of
    // the machine: a broken check must not be able to replace one).
    const QString pipe = file(QStringLiteral("pipe.mvn5"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QStringList bad = {file(QStringLiteral("vanished/x.mvn5")), file(QStringLiteral("plainfile/x.mvn5")),
                             m_dir->path(), pipe};
    for (const QString& path : bad) {
        modal.messages.clear();
        modal.fileReplies = {path};
        QVERIFY2(!w.FileSaveAsProc(), qPrintable(path));
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages.first().prompt, CouldNot);
        QCOMPARE(w.ActualFile, old);
        QCOMPARE(w.Changed, qint16(1));
        QCOMPARE(w.windowTitle(), QStringLiteral("caption"));
    }
    QCOMPARE(RecentList::read().first(), QString());
    // A save that works replaces the content and keeps the permissions.
    QVERIFY(w.FileSaveProc());
    QCOMPARE(readBytes(old), QByteArray("new content\r\n"));
    QCOMPARE(QFile::permissions(old) & 0x7077, perms);
}

void TestScriptFiles::newCommand()
{
    TempSettings settings;
    FakeModal modal;
    SaveSetting(App, Config, QStringLiteral("NewScript"), QStringLiteral("0"));
    MainWindow w;
    w.show();
    // Clean script: no question.
    w.Text1->setText(QStringLiteral("old"));
    w.Changed = 0;
    w.ActualFile = QStringLiteral("/a.mvn5");
    w.NewCommand(false);
    QVERIFY(modal.messages.isEmpty());
    QCOMPARE(w.Text1->Text(), QString());
    QCOMPARE(w.Changed, qint16(0));
    QCOMPARE(w.ActualFile, QString());
    QCOMPARE(w.windowTitle(), QStringLiteral("Morvaneo II - untitled"));
    QVERIFY(!w.Text1->isUndoAvailable());

    // Modified, answer No: goes on without saving.
    w.Text1->setText(QStringLiteral("unsaved"));
    modal.messageReplies = {Modal::vbNo};
    w.NewCommand(true);
    QCOMPARE(modal.messages.first().prompt, QStringLiteral("Script has been changed. Save before continue?"));
    QCOMPARE(modal.messages.first().title, QStringLiteral("Confirm"));
    QCOMPARE(modal.messages.first().style, Modal::vbYesNo + Modal::vbQuestion);
    QCOMPARE(w.Text1->Text(), QString());
    QVERIFY(modal.fileRequests.isEmpty());

    // Modified, named, answer Yes: saved under its name, then new.
    const QString named = writeBytes(file(QStringLiteral("n.mvn5")), "");
    w.Text1->setText(QStringLiteral("keep me"));
    w.ActualFile = named;
    modal.messageReplies = {Modal::vbYes};
    w.NewCommand(false);
    QCOMPARE(readBytes(named), QByteArray("keep me\r\n"));
    QVERIFY(modal.fileRequests.isEmpty());
    QCOMPARE(w.ActualFile, QString());
    QCOMPARE(w.Changed, qint16(0));
}

void TestScriptFiles::newStopsWhenTheSaveDidNotHappen()
{
    TempSettings settings;
    FakeModal modal;
    SaveSetting(App, Config, QStringLiteral("NewScript"), QStringLiteral("0"));
    MainWindow w;
    w.show();
    w.Text1->setText(QStringLiteral("precious"));
    w.setCaption(QStringLiteral("Morvaneo II BETA - untitled"));
    // Untitled: Yes shows the save dialog; cancelling it keeps everything.
    modal.messageReplies = {Modal::vbYes};
    modal.fileReplies = {QString()};
    w.NewCommand(true);
    QCOMPARE(modal.fileRequests.size(), 1);
    QCOMPARE(w.Text1->Text(), QStringLiteral("precious"));
    QCOMPARE(w.Changed, qint16(1));
    QCOMPARE(w.windowTitle(), QStringLiteral("Morvaneo II BETA - untitled"));
    // Named, the save fails: the same.
    w.ActualFile = file(QStringLiteral("gone/x.mvn5"));
    modal.messageReplies = {Modal::vbYes};
    w.NewCommand(false);
    QCOMPARE(modal.messages.last().prompt, CouldNot);
    QCOMPARE(w.Text1->Text(), QStringLiteral("precious"));
    QCOMPARE(w.ActualFile, file(QStringLiteral("gone/x.mvn5")));
    QCOMPARE(w.Changed, qint16(1));
}

void TestScriptFiles::clipboardCommands()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    w.Text1->setText(QStringLiteral("Zealot\r\nDragoon"));
    w.Changed = 0;
    // Nothing selected: copy and cut put an empty text, the script stays.
    Clipboard::SetText(QStringLiteral("before"));
    w.EditCopyProc();
    QCOMPARE(Clipboard::GetText(), QString());
    Clipboard::SetText(QStringLiteral("before"));
    w.EditCutProc();
    QCOMPARE(Clipboard::GetText(), QString());
    QCOMPARE(w.Text1->Text(), QStringLiteral("Zealot\r\nDragoon"));
    QCOMPARE(w.Changed, qint16(0));

    w.Text2->SetFocus();  // the commands work on the script whatever has the focus
    w.Text1->setSelStart(4);
    w.Text1->setSelLength(6);
    w.EditCopyProc();
    QCOMPARE(Clipboard::GetText(), QStringLiteral("ot\r\nDr"));
    w.EditCutProc();
    QCOMPARE(w.Text1->Text(), QStringLiteral("Zealagoon"));
    QCOMPARE(w.Changed, qint16(1));
    w.EditPasteProc();
    QCOMPARE(w.Text1->Text(), QStringLiteral("Zealot\r\nDragoon"));
    // Text from elsewhere with LF line ends arrives as lines.
    Clipboard::SetText(QStringLiteral("a\nb"));
    w.EditPasteProc();
    QCOMPARE(w.Text1->Text(), QStringLiteral("Zealot\r\nDra\r\nbagoon"));
    // A picture on the clipboard: the selection is deleted.
    w.Text1->setText(QStringLiteral("abc"));
    w.Text1->setSelStart(1);
    w.Text1->setSelLength(1);
    QImage picture(4, 4, QImage::Format_RGB32);
    QGuiApplication::clipboard()->setImage(picture);
    QCOMPARE(Clipboard::GetText(), QString());
    w.EditPasteProc();
    QCOMPARE(w.Text1->Text(), QStringLiteral("ac"));
}

void TestScriptFiles::toolbarAndShortcuts()
{
    TempSettings settings;
    FakeModal modal;
    SaveSetting(App, Config, QStringLiteral("NewScript"), QStringLiteral("0"));
    MainWindow w;
    w.show();
    // Save from the toolbar always asks for a name; Undo undoes the last edit.
    w.ActualFile = QStringLiteral("/named.mvn5");
    modal.fileReplies = {QString()};
    w.Toolbar1_ButtonClick(QStringLiteral("Save"));
    QCOMPARE(modal.fileRequests.size(), 1);
    w.Text1->setSelText(QStringLiteral("typed"));
    w.Toolbar1_ButtonClick(QStringLiteral("Undo"));
    QCOMPARE(w.Text1->Text(), QString());
    w.Toolbar1_ButtonClick(QStringLiteral("Nothing"));

    // Ctrl + N / O / S in the value box, also with Shift or Alt, and the
    // key codes 110, 111 and 115, which read as "n", "o" and "s".
    struct Key { int code; int shift; const char* expect; };
    const Key keys[] = {{'S', 2, "save"}, {'S', 3, "save"}, {115, 2, "save"}, {'O', 2, "open"},
                        {111, 6, "open"}, {'N', 2, "new"}, {110, 2, "new"}, {'S', 0, ""},
                        {'S', 1, ""}, {'X', 2, ""}};
    for (const Key& k : keys) {
        modal.fileRequests.clear();
        modal.fileReplies = {QString()};
        w.Text1->setText(QStringLiteral("text"));
        w.Changed = 0;
        w.Text2_KeyUp(k.code, k.shift);
        const QString expect = QString::fromUtf8(k.expect);
        if (expect == QStringLiteral("new")) {
            QVERIFY(modal.fileRequests.isEmpty());
            QCOMPARE(w.Text1->Text(), QString());
            QCOMPARE(w.windowTitle(), QStringLiteral("Morvaneo II - untitled"));
        } else if (expect.isEmpty()) {
            QVERIFY(modal.fileRequests.isEmpty());
            QCOMPARE(w.Text1->Text(), QStringLiteral("text"));
        } else {
            QCOMPARE(modal.fileRequests.size(), 1);
            QCOMPARE(modal.fileRequests.first().save, expect == QStringLiteral("save"));
        }
    }
    // Real key presses: Ctrl+S in the value box asks, in the script box it does not.
    QApplication::setActiveWindow(&w);
    modal.fileRequests.clear();
    modal.fileReplies = {QString()};
    QTest::keyClick(w.Text2, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(modal.fileRequests.size(), 1);
    const QString before = w.Text1->Text();
    for (Qt::Key key : {Qt::Key_S, Qt::Key_O, Qt::Key_N})
        QTest::keyClick(w.Text1, key, Qt::ControlModifier);
    QCOMPARE(modal.fileRequests.size(), 1);
    QCOMPARE(w.Text1->Text(), before);  // nor is the letter typed
}

void TestScriptFiles::settingsStore()
{
    TempSettings settings;
    FakeModal modal;
    QCOMPARE(GetSetting(App, Config, QStringLiteral("ProgramLogo")), QString());
    QCOMPARE(GetSetting(App, Config, QStringLiteral("Missing"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    for (const QString& v : {QStringLiteral("0"), QStringLiteral("00"), QStringLiteral(" 0"), QString(),
                             QStringLiteral("a=b;c\\d \"q\" %1 $HOME ü"), QString(10000, u'x')}) {
        SaveSetting(App, Config, QStringLiteral("NewScript"), v);
        QCOMPARE(GetSetting(App, Config, QStringLiteral("NewScript")), v);
    }
    QVERIFY(QFile::exists(SettingsStore::fileName(App)));
    QVERIFY(!SettingsStore::writeFailed());

    // A store that cannot be written (its folder is a plain file): reads give
    // the defaults, the editor goes on, the user hears of it once.
    const QString blocked = settings.path() + QStringLiteral("/blocked");
    QVERIFY(QDir().mkpath(blocked));
    writeBytes(blocked + QStringLiteral("/Morvaneo"), "not a folder");
    settings.moveTo(blocked);
    SaveSetting(App, Config, QStringLiteral("ProgramLogo"), QStringLiteral("0"));
    SaveSetting(App, Config, QStringLiteral("NewScript"), QStringLiteral("0"));
    QCOMPARE(GetSetting(App, Config, QStringLiteral("ProgramLogo")), QString());
    QVERIFY(SettingsStore::writeFailed());
    QCOMPARE(modal.messages.size(), 1);

    // A damaged store: garbage bytes read as defaults.
    QTemporaryDir damaged;
    settings.moveTo(damaged.path());
    QVERIFY(QDir().mkpath(damaged.filePath(QStringLiteral("Morvaneo"))));
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) % 256));
    writeBytes(SettingsStore::fileName(App), garbage);
    QCOMPARE(GetSetting(App, Config, QStringLiteral("UseDefOpen"), QStringLiteral("default")), QStringLiteral("default"));
    MainWindow w;
    w.show();
    QVERIFY(w.TreeView1->topLevelItemCount() > 0);  // the load handler filled the tree
}

QTEST_MAIN(TestScriptFiles)
#include "test_scriptfiles.moc"
