// The script box of the main window reading its language: colours,
// underlined problems with their messages, F8 and Shift+F8, line numbers
// and Ctrl+Space completion, next to Enter and typing, which stay as they
// were.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "editor/ScriptLexer.h"
#include "editor/ScriptTextBox.h"

#include <QAccessible>
#include <QClipboard>
#include <QToolTip>
#include <QtTest>

namespace {

using Sci = QsciScintillaBase;

const QString Script = QStringLiteral(
    "Script_Identifier ABCD\r\n"   // 0
    "Script_Name Zerg rush\r\n"    // 1
    "Custom_Script\r\n"            // 2
    "; build order\r\n"            // 3
    "Zelot = 4\r\n"                // 4
    "Wait\r\n"                     // 5
    "Attacking_Zealot = 2\r\n"     // 6
    "Attack now");                 // 7

struct Editor : EditorSession {
    ScriptTextBox* box = w.Text1;
    Editor()
    {
        box->setText(Script);
        box->SetFocus();
        box->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    }
    // The script position of a text in the script.
    qsizetype at(const char* text) const { return Script.indexOf(QLatin1StringView(text)); }
    int styleAt(const char* text) const
    {
        return int(box->SendScintilla(Sci::SCI_GETSTYLEAT, ulong(box->toDocumentPosition(at(text)))));
    }
    bool underlined(const char* text) const
    {
        return box->SendScintilla(Sci::SCI_INDICATORVALUEAT, ScriptLexer::ProblemIndicator,
                                  long(box->toDocumentPosition(at(text)))) != 0;
    }
};

}  // namespace

class TestScriptBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void coloursAndUnderlines();
    void f8GoesFromProblemToProblem();
    void completionListsTheNames();
    void lineNumbersFitTheLastLine();
    void loopsAreFollowedAndChecked();
    void jumpsColourWhatTheyShow();
    void editsReachIntoHiddenText_data();
    void editsReachIntoHiddenText();
    void typingInALongLine();
};

void TestScriptBox::coloursAndUnderlines()
{
    Editor e;
    QCOMPARE(e.styleAt("Script_Identifier"), int(LineMarkup::HeaderOpcode));
    QCOMPARE(e.styleAt("ABCD"), int(LineMarkup::Value));
    QCOMPARE(e.styleAt("; build"), int(LineMarkup::Comment));
    QCOMPARE(e.styleAt("Zelot"), int(LineMarkup::Unknown));
    QCOMPARE(e.styleAt("Attacking_Zealot"), int(LineMarkup::Name));
    QCOMPARE(e.styleAt("Attack now"), int(LineMarkup::Opcode));
    QVERIFY(e.underlined("Zelot"));
    QVERIFY(e.underlined("Wait"));
    QVERIFY(e.underlined("now"));
    QVERIFY(!e.underlined("Attacking_Zealot"));
    QVERIFY(!e.underlined("Script_Name"));
    // Mending a line takes its underline away; the text is never touched.
    e.box->setSelStart(e.at("Zelot") + 2);
    QTest::keyClicks(e.box, QStringLiteral("a"));
    e.box->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    QVERIFY(!e.box->SendScintilla(Sci::SCI_INDICATORVALUEAT, ScriptLexer::ProblemIndicator,
                                  long(e.box->toDocumentPosition(e.at("Zelot")))));
    QVERIFY(e.box->Text().contains(QStringLiteral("\r\nZealot = 4\r\n")));
}

void TestScriptBox::f8GoesFromProblemToProblem()
{
    Editor e;
    e.box->setSelStart(0);
    QTest::keyClick(e.box, Qt::Key_F8);
    QCOMPARE(e.box->SelText(), QStringLiteral("Zelot"));
    QCOMPARE(QToolTip::text(), QStringLiteral("unknown name \"Zelot\" (did you mean \"Zealot\"?)"));
    QCOMPARE(QAccessible::queryAccessibleInterface(e.box)->text(QAccessible::Description), QToolTip::text());
    QTest::keyClick(e.box, Qt::Key_F8);
    QCOMPARE(e.box->SelText(), QStringLiteral("Wait"));
    QCOMPARE(QToolTip::text(), QStringLiteral("\"Wait\" needs a value"));
    QTest::keyClick(e.box, Qt::Key_F8);
    QCOMPARE(e.box->SelText(), QStringLiteral("now"));
    QTest::keyClick(e.box, Qt::Key_F8);  // round the end
    QCOMPARE(e.box->SelText(), QStringLiteral("Zelot"));
    QTest::keyClick(e.box, Qt::Key_F8, Qt::ShiftModifier);  // and back
    QCOMPARE(e.box->SelText(), QStringLiteral("now"));
    QCOMPARE(e.w.Changed, qint16(1));  // only setText changed the script

    // Enter and typing do what they did: a line break, the letters.
    e.box->setSelStart(e.at("; build") - 2);
    QTest::keyClick(e.box, Qt::Key_Return);
    QTest::keyClicks(e.box, QStringLiteral("Stop 1"));
    QVERIFY(e.box->Text().contains(QStringLiteral("Custom_Script\r\nStop 1\r\n; build order")));
    QCOMPARE(QAccessible::queryAccessibleInterface(e.box)->text(QAccessible::Description),
             QStringLiteral("\"Stop\" takes no value"));
}

void TestScriptBox::completionListsTheNames()
{
    Editor e;
    e.box->setText(QStringLiteral("zea"));
    e.box->setSelStart(3);
    QTest::keyClick(e.box, Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(e.box->SendScintilla(Sci::SCI_AUTOCACTIVE));
    QTest::keyClick(e.box, Qt::Key_Return);  // takes the first name in catalogue order
    QVERIFY(!e.box->SendScintilla(Sci::SCI_AUTOCACTIVE));
    QCOMPARE(e.box->Text(), QStringLiteral("Zealot"));
    // Escape closes the list and leaves the word; Enter then breaks the line.
    QTest::keyClick(e.box, Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(e.box->SendScintilla(Sci::SCI_AUTOCACTIVE));
    QTest::keyClick(e.box, Qt::Key_Escape);
    QVERIFY(!e.box->SendScintilla(Sci::SCI_AUTOCACTIVE));
    QTest::keyClick(e.box, Qt::Key_Return);
    QCOMPARE(e.box->Text(), QStringLiteral("Zealot\r\n"));
    // Tab picks as Enter does; nothing opens while typing.
    QTest::keyClicks(e.box, QStringLiteral("Attacking_Dr"));
    QVERIFY(!e.box->SendScintilla(Sci::SCI_AUTOCACTIVE));
    QTest::keyClick(e.box, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(e.box, Qt::Key_Tab);
    QCOMPARE(e.box->Text(), QStringLiteral("Zealot\r\nAttacking_Dragoon"));
    QTest::keyClick(e.box, Qt::Key_Z, Qt::ControlModifier);  // one step to undo
    QCOMPARE(e.box->Text(), QStringLiteral("Zealot\r\nAttacking_Dr"));
}

// The margin keeps its width while a script grows to thousands of lines,
// widens for the number of a longer one with one paint of the box (a width
// taken in halfway through a paint has Scintilla paint everything twice),
// and narrows again.
void TestScriptBox::lineNumbersFitTheLastLine()
{
    Editor e;
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    const int narrow = e.box->marginWidth(0);
    QVERIFY(narrow > 0);
    e.box->setText(QString(QStringLiteral("Wait 1\r\n")).repeated(12000));
    QCOMPARE(e.box->marginWidth(0), narrow);
    QTRY_VERIFY(!e.box->viewport()->visibleRegion().isEmpty());
    QCoreApplication::processEvents();
    e.box->viewport()->installEventFilter(&counter);
    e.box->setText(QString(QStringLiteral("Wait 1\r\n")).repeated(120000));
    QVERIFY(e.box->marginWidth(0) > narrow);
    QTRY_VERIFY(counter.paints > 0);
    QTest::qWait(50);
    QCOMPARE(counter.paints, 1);
    e.box->setText(QString());
    QCOMPARE(e.box->marginWidth(0), narrow);
}

// F12 and Ctrl+click follow a jump to its loop line, far above; an unknown
// loop moves nothing; a loop line typed below a shown jump takes the jump's
// underline away at the next paint.
void TestScriptBox::loopsAreFollowedAndChecked()
{
    Editor e;
    const QString text = QStringLiteral("Wait 1\r\n:rush\r\n") + QStringLiteral("Wait 1\r\n").repeated(300) +
                         QStringLiteral("Goto rush\r\nGoto rsh\r\nMulti_Run 12");
    e.box->setText(text);
    const auto caretLine = [&e] {
        return e.box->SendScintilla(Sci::SCI_LINEFROMPOSITION, e.box->SendScintilla(Sci::SCI_GETCURRENTPOS));
    };
    const auto caretTo = [&](const QString& what) { e.box->setSelStart(text.indexOf(what) + 1); };
    caretTo(QStringLiteral("Goto rsh"));
    QTest::keyClick(e.box, Qt::Key_F12);
    QCOMPARE(caretLine(), 303);
    QCOMPARE(e.box->caretLineProblems(), QStringLiteral("unknown loop \"rsh\" (did you mean \"rush\"?)"));
    caretTo(QStringLiteral("Multi_Run 12"));
    QTest::keyClick(e.box, Qt::Key_F12);
    QCOMPARE(caretLine(), 304);
    caretTo(QStringLiteral("Goto rush"));
    QTest::keyClick(e.box, Qt::Key_F12);
    QCOMPARE(caretLine(), 1);
    QCOMPARE(e.box->SendScintilla(Sci::SCI_GETCURRENTPOS), e.box->SendScintilla(Sci::SCI_POSITIONFROMLINE, 1UL));
    QVERIFY(e.box->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE) <= 1);

    // Ctrl+click: on the value it jumps, on the opcode it only places the caret.
    const auto clickOn = [&](const QString& what, qsizetype offset) {
        const long pos = long(e.box->toDocumentPosition(text.indexOf(what) + offset));
        e.box->SendScintilla(Sci::SCI_SCROLLRANGE, ulong(pos), pos);
        const QPoint point(int(e.box->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, pos)) + 2,
                           int(e.box->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, pos)) + 4);
        QTest::mouseClick(e.box->viewport(), Qt::LeftButton, Qt::ControlModifier, point);
    };
    clickOn(QStringLiteral("Goto rush"), 6);
    QCOMPARE(caretLine(), 1);
    clickOn(QStringLiteral("Goto rush"), 1);
    QCOMPARE(caretLine(), 302);

    // Lines added and removed above the loop line move it; F12 follows.
    e.box->setText(QStringLiteral("Wait 1\r\nWait 2\r\n:rush\r\nGoto rush"));
    const auto jumpFromLast = [&] {
        e.box->setSelStart(e.box->length());
        QTest::keyClick(e.box, Qt::Key_F12);
        return caretLine();
    };
    QCOMPARE(jumpFromLast(), 2);
    e.box->setSelStart(10);  // in the second line
    QTest::keyClick(e.box, Qt::Key_Return);
    QTest::keyClick(e.box, Qt::Key_Return);
    QCOMPARE(jumpFromLast(), 4);
    e.box->setSelStart(10);
    QTest::keyClick(e.box, Qt::Key_Delete);
    QCOMPARE(jumpFromLast(), 3);

    // A jump shown above a loop line that is being typed.
    const QString jumpFirst = QStringLiteral("Script_Identifier ABCD\r\nScript_Name Rush\r\nGoto rush\r\n:rus");
    e.box->setText(jumpFirst);
    e.box->viewport()->repaint();
    const auto gotoUnderlined = [&] {
        return e.box->SendScintilla(Sci::SCI_INDICATORVALUEAT, ScriptLexer::ProblemIndicator,
                                    long(jumpFirst.indexOf(QStringLiteral("rush")))) != 0;
    };
    QVERIFY(gotoUnderlined());
    e.box->setSelStart(e.box->length());
    QTest::keyClicks(e.box, QStringLiteral("h"));
    e.box->viewport()->repaint();
    QVERIFY(!gotoUnderlined());
    QTest::keyClick(e.box, Qt::Key_Backspace);
    e.box->viewport()->repaint();
    QVERIFY(gotoUnderlined());
}

QTEST_MAIN(TestScriptBox)
// Ctrl+End in a long script colours the lines it shows; the lines it
// passed over are coloured once they come into view, and so is the start
// of a line longer than anything shown whole.
void TestScriptBox::jumpsColourWhatTheyShow()
{
    Editor e;
    QString script = QStringLiteral("Script_Identifier ABCD\r\nScript_Name Long\r\n");
    for (int i = 0; i < 20000; ++i)
        script += i == 10000 ? QStringLiteral("Zelot = 1\r\n") : QStringLiteral("Wait 5\r\n");
    script += QStringLiteral("Attack ") + QString(200000, u'x');
    e.box->setText(script);
    e.box->viewport()->repaint();
    QTest::keyClick(e.box, Qt::Key_End, Qt::ControlModifier);
    e.box->viewport()->repaint();
    auto styleAtLine = [&e](long line) {
        return int(e.box->SendScintilla(Sci::SCI_GETSTYLEAT, e.box->SendScintilla(Sci::SCI_POSITIONFROMLINE, line)));
    };
    const long last = e.box->SendScintilla(Sci::SCI_GETLINECOUNT) - 1;
    const long end = e.box->SendScintilla(Sci::SCI_GETLENGTH);
    auto styleAt = [&e](long position) { return int(e.box->SendScintilla(Sci::SCI_GETSTYLEAT, position)); };
    QCOMPARE(styleAtLine(last - 1), int(LineMarkup::Opcode));
    // Of the long last line only the part around the caret is shown, and
    // the caret's place is in view.
    QCOMPARE(styleAt(end - 1), int(LineMarkup::Plain));
    QCOMPARE(styleAtLine(last), ScriptLexer::HiddenStyle);
    QVERIFY(e.box->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, end) < e.box->viewport()->width());
    QTest::keyClick(e.box, Qt::Key_Home);
    e.box->viewport()->repaint();
    QCOMPARE(styleAtLine(last), int(LineMarkup::Opcode));
    QCOMPARE(styleAt(end - 1), ScriptLexer::HiddenStyle);
    const long misspelt = 10002;
    e.box->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, misspelt - 5);
    e.box->viewport()->repaint();
    QCOMPARE(styleAtLine(misspelt), int(LineMarkup::Unknown));
    QVERIFY(e.box->SendScintilla(Sci::SCI_INDICATORVALUEAT, ScriptLexer::ProblemIndicator,
                                 e.box->SendScintilla(Sci::SCI_POSITIONFROMLINE, misspelt)) != 0);
    QCOMPARE(styleAtLine(misspelt + 1), int(LineMarkup::Opcode));
    // Every byte of the text stays as it was.
    QCOMPARE(e.box->Text(), script);
}

// A selection running into the hidden part of a long line is replaced as
// Scintilla would replace a shown one, as one undo step.
void TestScriptBox::editsReachIntoHiddenText_data()
{
    QTest::addColumn<QList<int>>("keys");  // the key with its modifiers, pressed after the selection
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");   // of "Attack " + the line, which is all selected
    QTest::addColumn<QString>("clipboard");
    const int ctrl = int(Qt::ControlModifier);
    const int shift = int(Qt::ShiftModifier);
    QTest::newRow("Delete") << QList<int>{Qt::Key_Delete} << QString() << QString() << QStringLiteral("before");
    QTest::newRow("Backspace") << QList<int>{Qt::Key_Backspace} << QString() << QString()
                               << QStringLiteral("before");
    QTest::newRow("typed") << QList<int>{Qt::Key_W} << QStringLiteral("W") << QStringLiteral("W")
                           << QStringLiteral("before");
    QTest::newRow("Enter") << QList<int>{Qt::Key_Return} << QString() << QStringLiteral("\r\n")
                           << QStringLiteral("before");
    QTest::newRow("Ctrl+X") << QList<int>{Qt::Key_X | ctrl} << QString() << QString() << QStringLiteral("line");
    QTest::newRow("Shift+Delete") << QList<int>{Qt::Key_Delete | shift} << QString() << QString()
                                  << QStringLiteral("line");
    QTest::newRow("Ctrl+V") << QList<int>{Qt::Key_V | ctrl} << QString() << QStringLiteral("before")
                            << QStringLiteral("before");
}

void TestScriptBox::editsReachIntoHiddenText()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QFETCH(QString, clipboard);
    Editor e;
    QString line = QStringLiteral("Attack ");
    for (int i = 0; line.size() < 3 * ScriptLexer::LongLine; ++i)
        line += QStringLiteral("Wait %1 \u00e0 ").arg(i);
    const QString script = QStringLiteral("Wait 1\r\n") + line;
    e.box->setText(script);
    QApplication::clipboard()->setText(QStringLiteral("before"));
    // The caret at the end of the long line shows its end only.
    QTest::keyClick(e.box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(e.box, Qt::Key_Home, Qt::ShiftModifier);
    e.box->viewport()->repaint();
    QCOMPARE(e.box->SelText(), line);
    int changes = 0;
    QObject::connect(e.box, &ScriptTextBox::Change, [&changes] { ++changes; });
    for (int key : keys) {
        if (!typed.isEmpty())
            QTest::keyClick(e.box, typed.at(0).toLatin1());
        else
            QTest::keyClick(e.box, Qt::Key(key & ~Qt::KeyboardModifierMask),
                            Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
    }
    QCOMPARE(e.box->Text(), QStringLiteral("Wait 1\r\n") + result);
    QCOMPARE(changes, 1);
    QCOMPARE(QApplication::clipboard()->text(), clipboard == QStringLiteral("line") ? line : clipboard);
    e.box->undo();
    QCOMPARE(e.box->Text(), script);
}

// Typing, Backspace and Delete in a long line, which the box makes itself:
// the same text as anywhere else, one change each, undone one by one.
void TestScriptBox::typingInALongLine()
{
    Editor e;
    const QString line = QStringLiteral("Attack \u00e0") + QString(2 * ScriptLexer::LongLine, u'y');
    e.box->setText(line);
    e.box->setSelStart(8);  // after the accented letter
    int changes = 0;
    QObject::connect(e.box, &ScriptTextBox::Change, [&changes] { ++changes; });
    QTest::keyClick(e.box, 'Z');
    QTest::keyClick(e.box, Qt::Key_Backspace);
    QTest::keyClick(e.box, Qt::Key_Backspace);
    QTest::keyClick(e.box, Qt::Key_Delete);
    QTest::keyClick(e.box, 'Q');
    QCOMPARE(e.box->Text(), QStringLiteral("Attack Q") + QString(2 * ScriptLexer::LongLine - 1, u'y'));
    QCOMPARE(e.box->SelStart(), 8);
    QCOMPARE(changes, 5);
    for (int i = 0; i < 5; ++i)
        e.box->undo();
    QCOMPARE(e.box->Text(), line);
}

#include "test_scriptbox.moc"
