// Files through the real open and save paths: what a file saves back as
// after it was opened, whatever bytes, line breaks and sizes it holds, also
// after edits; a script saved and opened again comes back unchanged.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "platform/TreeView.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A file read the slow way, one line at a time: a line ends at CR, or at
// CR LF, which is taken whole; CR LF is appended while more of the file
// remains. Every byte is one character, so this works on the bytes.
QByteArray readLineByLine(const QByteArray& file)
{
    QByteArray out;
    qsizetype pos = 0;
    const qsizetype n = file.size();
    while (pos < n) {
        while (pos < n && file[pos] != '\r')
            out += file[pos++];
        if (pos < n) {
            ++pos;
            if (pos < n && file[pos] == '\n')
                ++pos;
        }
        if (pos < n)
            out += "\r\n";
    }
    return out;
}

// What saving writes for a file that was opened: its text and CR LF.
QByteArray savedAfterOpening(const QByteArray& file)
{
    return readLineByLine(file) + "\r\n";
}

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

// The window opening and saving files in a temporary folder.
struct Editor : EditorSession {
    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void open(const QByteArray& content)
    {
        modal.fileReplies = {writeBytes(path("in.mvn5"), content)};
        w.FileOpenProc();
    }
    QByteArray save()
    {
        modal.fileReplies = {path("out.mvn5")};
        if (!w.FileSaveAsProc())
            return QByteArray("<not saved>");
        return readBytes(path("out.mvn5"));
    }
};

QString firstDifference(const QByteArray& got, const QByteArray& expected)
{
    qsizetype at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at])
        ++at;
    return QStringLiteral("%1 bytes saved, %2 expected, first difference at %3")
        .arg(got.size()).arg(expected.size()).arg(at);
}

}  // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openedFileSavesBack_data();
    void openedFileSavesBack();
    void randomFilesFollowTheRules();
    void commandsOnOpenedFiles();
    void editedScriptKeepsTheRest();
};

void TestRoundTrip::openedFileSavesBack_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<int>("lines");  // lines shown in the script box, -1: not checked
    QTest::newRow("lone CRs end lines") << QByteArray("A\rB\rC") << QByteArray("A\r\nB\r\nC\r\n") << 3;
    QTest::newRow("final lone CR") << QByteArray("A\r") << QByteArray("A\r\n") << 1;
    QTest::newRow("CR CR LF") << QByteArray("A\r\r\nB") << QByteArray("A\r\n\r\nB\r\n") << 3;
    QTest::newRow("lone LF stays") << QByteArray("A\nB\r\nC") << QByteArray("A\nB\r\nC\r\n") << -1;
    QTest::newRow("no final break") << QByteArray("abcdef") << QByteArray("abcdef\r\n") << 1;
    QTest::newRow("empty") << QByteArray() << QByteArray("\r\n") << 1;
    QTest::newRow("two final breaks") << QByteArray("A\r\n\r\n") << QByteArray("A\r\n\r\n") << 2;
    QTest::newRow("CR LF lines") << QByteArray("A\r\nB\r\n") << QByteArray("A\r\nB\r\n") << 2;
    QTest::newRow("NUL inside") << QByteArray("nul\0inside\r\n", 12) << QByteArray("nul\0inside\r\n", 12) << 1;
    QTest::newRow("no-break spaces") << QByteArray("\xa0\xa0 a\xa0\r\n\xa0") << QByteArray("\xa0\xa0 a\xa0\r\n\xa0\r\n")
                                     << 2;
    QTest::newRow("unassigned code page bytes") << QByteArray("\x81\x8d\x8f\x90\x9d\r\n")
                                                << QByteArray("\x81\x8d\x8f\x90\x9d\r\n") << 1;
    QTest::newRow("UTF-16 byte order mark") << QByteArray("\xff\xfeS\0c\0\r\0\n\0", 10)
                                            << QByteArray("\xff\xfeS\0c\0\r\n\0\n\0\r\n", 13) << -1;
    for (const auto& [name, content] : {std::pair{"every byte beside every break", bytesBesideBreaks()},
                                        std::pair{"ten megabytes on one line", longLine()},
                                        std::pair{"across writer pieces", acrossPieces()}})
        QTest::newRow(name) << content << savedAfterOpening(content) << -1;
}

void TestRoundTrip::openedFileSavesBack()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, saved);
    QFETCH(int, lines);
    QCOMPARE(savedAfterOpening(content), saved);  // the expectation agrees with the slow reader
    Editor e;
    e.open(content);
    QCOMPARE(e.w.ActualFile, e.path("in.mvn5"));
    if (lines >= 0)
        QCOMPARE(e.w.Text1->lines(), lines);
    const QByteArray back = e.save();
    if (back != saved)
        QFAIL(qPrintable(firstDifference(back, saved)));
    // A file whose lines all end in CR LF, saved again under its own name,
    // and opened again: the same text and the same bytes.
    const QString text = e.w.Text1->Text();
    QVERIFY(e.w.FileSaveProc());
    QVERIFY(readBytes(e.path("out.mvn5")) == saved);
    e.open(saved);
    QVERIFY(e.w.Text1->Text() == text);
    QVERIFY(e.save() == saved);
}

// Random files over the characters that matter: saving what was opened
// gives the writing rule applied to the reading rule of the bytes, and
// opening that again gives the same text.
void TestRoundTrip::randomFilesFollowTheRules()
{
    Editor e;
    QRandomGenerator random(20261209);
    const char alphabet[] = {'A', 'z', '\r', '\r', '\n', '\n', '\0', '\xa0', '\x81', '\x80', ' '};
    for (int round = 0; round < 300; ++round) {
        QByteArray file;
        const int n = int(random.bounded(24));
        for (int i = 0; i < n; ++i)
            file += alphabet[random.bounded(int(sizeof alphabet))];
        e.open(file);
        const QString text = e.w.Text1->Text();
        const QByteArray saved = e.save();
        QVERIFY2(saved == savedAfterOpening(file), file.toPercentEncoding().constData());
        e.open(saved);
        QVERIFY2(e.w.Text1->Text() == text, file.toPercentEncoding().constData());
        QCOMPARE(e.w.Changed, qint16(0));
        QVERIFY(!e.w.Text1->isUndoAvailable());
    }
}

void TestRoundTrip::commandsOnOpenedFiles()
{
    Editor e;
    // A pending line replaces the whole selection; typing goes on after it.
    e.open("abc");
    e.w.Text2->setText(QStringLiteral("5"));
    e.w.TreeView1_NodeClick(e.w.TreeView1->Nodes.Item(QStringLiteral("Wait")));
    e.w.Text1->SendScintilla(QsciScintillaBase::SCI_SELECTALL);
    e.w.FlatBttn7_Click();
    QTest::keyClicks(e.w.Text1, QStringLiteral("#"));
    QCOMPARE(e.save(), QByteArray("Wait 5\r\n#\r\n"));
    // Make attacking on a selection with a lone LF in it: one undo removes
    // the whole command.
    e.open("A\nB");
    e.w.Text1->SendScintilla(QsciScintillaBase::SCI_SELECTALL);
    e.w.MakeAttackingProc();
    QCOMPARE(e.save(), QByteArray("A\nB\r\nAttacking_A\r\nAttacking_B\r\n"));
    e.w.Toolbar1_ButtonClick(QStringLiteral("Undo"));
    QCOMPARE(e.w.Text1->Text(), QStringLiteral("A\nB"));
    QVERIFY(!e.w.Text1->isUndoAvailable());
}

void TestRoundTrip::editedScriptKeepsTheRest()
{
    // An opcode inserted, a rebuild and attacking line made, a line cut and
    // pasted back: the bytes the edits did not touch are saved as read.
    Editor e;
    const QByteArray middle = bytesBesideBreaks() + "\r\nDragoon";
    e.open("Zealot\xa0x\r\n" + middle + "\r\n");

    MainWindow& w = e.w;
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

    const QByteArray expected = "Zealot\r\nRebuild_Zealot\xa0x\r\n" + readLineByLine(middle) +
                                "\r\nAttacking_DragoonWait 5\r\n\r\n";
    const QByteArray saved = e.save();
    if (saved != expected)
        QFAIL(qPrintable(firstDifference(saved, expected)));
}

QTEST_MAIN(TestRoundTrip)
#include "test_roundtrip.moc"
