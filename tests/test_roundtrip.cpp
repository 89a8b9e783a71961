// Every byte survives: files opened through the open dialog and saved
// through the save dialogs come back byte for byte, also after an edit,
// whatever bytes, line breaks and sizes they hold.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "platform/ScriptTextBox.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every byte value next to a CR, an LF and a CR LF, before and after.
QByteArray bytesBesideBreaks()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i) {
        const char c = char(i);
        b.append(c).append('\r').append(c).append('\n').append(c).append("\r\n").append(c);
    }
    return b;
}

// A single line of about ten million bytes holding every byte but CR and LF.
QByteArray longLine()
{
    QByteArray b;
    b.reserve(10 * 1000 * 1000);
    for (qsizetype i = 0; b.size() < 10 * 1000 * 1000; ++i) {
        const char c = char(i % 256);
        if (c != '\r' && c != '\n')
            b.append(c);
    }
    return b;
}

// Over two megabytes, with a CR LF, a lone CR and a no-break space on each
// side of every megabyte boundary, where a writer working in pieces cuts.
QByteArray acrossPieces()
{
    QByteArray b(2 * (1 << 20) + 100, 'a');
    for (qsizetype at : {qsizetype(1) << 20, qsizetype(2) << 20}) {
        b[at - 2] = '\xa0';
        b[at - 1] = '\r';
        b[at] = '\n';
        b[at + 1] = '\r';
        b[at + 2] = '\xa0';
    }
    return b;
}

}  // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bytesComeBack_data();
    void bytesComeBack();
    void editedScriptKeepsTheRest();
};

void TestRoundTrip::bytesComeBack_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("every byte beside every break") << bytesBesideBreaks();
    QTest::newRow("ten megabytes on one line") << longLine();
    QTest::newRow("ten megabytes on one line, final break") << longLine() + "\r\n";
    QTest::newRow("across writer pieces") << acrossPieces();
    QTest::newRow("lone CR only") << QByteArray("\r");
    QTest::newRow("lone LF only") << QByteArray("\n");
    QTest::newRow("CR CR LF only") << QByteArray("\r\r\n");
    QTest::newRow("CR runs") << QByteArray("a\r\r\rb\r\r");
    QTest::newRow("LF before CR") << QByteArray("a\n\rb\n\r");
    QTest::newRow("ends CR LF CR") << QByteArray("a\r\n\r");
    QTest::newRow("two final breaks") << QByteArray("a\r\n\r\n");
    QTest::newRow("break only lines") << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("UTF-8 byte order mark") << QByteArray("\xef\xbb\xbfScript_Identifier\r\n");
    QTest::newRow("UTF-16 byte order mark") << QByteArray("\xff\xfeS\0c\0\r\0\n\0", 10);
    QTest::newRow("no-break spaces") << QByteArray("\xa0\xa0 a\xa0\r\n\xa0");
    QTest::newRow("unassigned code page bytes") << QByteArray("\x81\x8d\x8f\x90\x9d\r\n");
}

void TestRoundTrip::bytesComeBack()
{
    QFETCH(QByteArray, content);
    TempSettings settings;
    FakeModal modal;
    QTemporaryDir dir;
    MainWindow w;
    w.show();
    const QString in = writeBytes(dir.filePath(QStringLiteral("in.mvn5")), content);
    const QString out = dir.filePath(QStringLiteral("out.mvn5"));
    modal.fileReplies = {in, out};
    w.FileOpenProc();
    QCOMPARE(w.ActualFile, in);
    QVERIFY(w.FileSaveAsProc());
    const QByteArray back = readBytes(out);
    if (back != content) {
        qsizetype at = 0;
        while (at < back.size() && at < content.size() && back[at] == content[at])
            ++at;
        QFAIL(qPrintable(QStringLiteral("%1 bytes in, %2 out, first difference at %3")
                             .arg(content.size()).arg(back.size()).arg(at)));
    }
    // Saving again under the file's own name gives the same bytes.
    QVERIFY(w.FileSaveProc());
    QVERIFY(readBytes(out) == content);
    QCOMPARE(modal.messages.size(), 2);
    QCOMPARE(modal.messages.last().prompt, QStringLiteral("Saved correctly."));
}

void TestRoundTrip::editedScriptKeepsTheRest()
{
    // An opcode inserted, a rebuild and attacking line made, a line cut and
    // pasted back: the bytes the edits did not touch are saved unchanged.
    TempSettings settings;
    FakeModal modal;
    QTemporaryDir dir;
    MainWindow w;
    w.show();
    QByteArray content = "Zealot\xa0x\r\n";
    content += bytesBesideBreaks();
    content += "\r\nDragoon\r\n";
    const QString in = writeBytes(dir.filePath(QStringLiteral("in.mvn5")), content);
    const QString out = dir.filePath(QStringLiteral("out.mvn5"));
    modal.fileReplies = {in, out};
    w.FileOpenProc();

    w.Text1->setSelStart(0);
    w.TextToAdd = QStringLiteral("Wait 5");
    w.InsertStep();  // "Wait 5\r\n" in front
    w.Text1->setSelStart(8);
    w.Text1->setSelLength(6);
    w.Command1_Click();  // "\r\nRebuild_Zealot" after "Zealot"
    const qsizetype end = w.Text1->length();
    w.Text1->setSelStart(end - 7);
    w.Text1->setSelLength(7);
    w.MakeAttackingProc();  // "\r\nAttacking_Dragoon" at the end
    w.Text1->setSelStart(0);
    w.Text1->setSelLength(8);
    w.EditCutProc();
    w.Text1->setSelStart(w.Text1->length());
    w.EditPasteProc();  // "Wait 5\r\n" moved to the end
    QVERIFY(w.FileSaveAsProc());

    QByteArray expected = "Zealot\r\nRebuild_Zealot\xa0x\r\n";
    expected += bytesBesideBreaks();
    expected += "\r\nDragoon\r\nAttacking_DragoonWait 5\r\n\r\n";
    QCOMPARE(readBytes(out), expected);
}

QTEST_MAIN(TestRoundTrip)
#include "test_roundtrip.moc"
