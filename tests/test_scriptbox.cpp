// The script box of the main window reading its language: colours,
// underlined problems with their messages, F8 and Shift+F8, line numbers
// and Ctrl+Space completion, next to Enter and typing, which stay as they
// were.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "editor/ScriptLexer.h"
#include "editor/ScriptTextBox.h"

#include <QAccessible>
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
    QCOMPARE(e.box->accessibleDescription(), QToolTip::text());
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
    QCOMPARE(e.box->accessibleDescription(), QStringLiteral("\"Stop\" takes no value"));
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

void TestScriptBox::lineNumbersFitTheLastLine()
{
    Editor e;
    const int narrow = e.box->marginWidth(0);
    QVERIFY(narrow > 0);
    e.box->setText(QString(QStringLiteral("Wait 1\r\n")).repeated(12000));
    QVERIFY(e.box->marginWidth(0) > narrow);
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
    QCOMPARE(styleAtLine(last), int(LineMarkup::Opcode));
    QCOMPARE(styleAtLine(last - 1), int(LineMarkup::Opcode));
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

#include "test_scriptbox.moc"
