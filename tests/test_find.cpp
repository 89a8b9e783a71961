// Find, replace and Go to line in the script box, through the real keys and
// the Find window's own buttons.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "editor/Find.h"
#include "editor/GoToLine.h"
#include "platform/NumberDialog.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {

// "ü" takes two bytes in the document: positions in the script and in the
// document differ from the first line on.
const QString Script = QStringLiteral("; Fr\u00FCh: Zealot\r\nZealot = 1\r\nWait 300\r\nzealot = 2");
// Where each "zealot" starts, whatever its case.
constexpr int First = 8, Second = 16, Third = 38;

bool focusScript(MainWindow& w)
{
    QApplication::setActiveWindow(&w);
    w.Text1->SetFocus();
    return w.Text1->hasFocus();
}

Find* findWindow(MainWindow& w)
{
    const QList<Find*> all = w.findChildren<Find*>();
    return all.size() == 1 ? all.constFirst() : nullptr;
}

// What a screen reader meets under the window without a name.
QStringList unnamed(QAccessibleInterface* iface)
{
    QStringList out;
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (!child || child->state().invisible)
            continue;
        if (child->text(QAccessible::Name).trimmed().isEmpty())
            out << QStringLiteral("%1 (role %2)").arg(child->object() ? child->object()->objectName() : QString())
                                                .arg(int(child->role()));
        out << unnamed(child);
    }
    return out;
}

}  // namespace

class TestFind : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keysOfTheScriptBox();
    void findWrapsAroundAndMatchesCase_data();
    void findWrapsAroundAndMatchesCase();
    void replaceAndReplaceAll();
    void windowsForScreenReaders();
};

// The new keys act in the script box only, and Enter, typing, Insert and
// Ctrl+S do there what they did before.
void TestFind::keysOfTheScriptBox()
{
    EditorSession session;
    MainWindow& w = session.w;
    FakeModal& modal = session.modal;
    w.Text1->loadText(QStringLiteral("Zealot = 1\r\nWait 300\r\nAttack"));

    // In the value box they do nothing of the kind.
    QApplication::setActiveWindow(&w);
    w.Text2->SetFocus();
    QVERIFY(w.Text2->hasFocus());
    for (Qt::Key key : {Qt::Key_F, Qt::Key_H, Qt::Key_G})
        QTest::keyClick(w.Text2, key, Qt::ControlModifier);
    QTest::keyClick(w.Text2, Qt::Key_F3);
    QVERIFY(!findWindow(w));
    QVERIFY(modal.lineRequests.isEmpty());

    // Typing and Enter.
    QVERIFY(focusScript(w));
    w.Text1->setSelStart(12);
    QTest::keyClick(w.Text1, Qt::Key_X);
    QTest::keyClick(w.Text1, Qt::Key_Return);
    QCOMPARE(w.Text1->Text(), QStringLiteral("Zealot = 1\r\nx\r\nWait 300\r\nAttack"));
    QCOMPARE(w.Text1->SelStart(), 15);
    // Insert still runs Make attacking, which wants a selection.
    QTest::keyClick(w.Text1, Qt::Key_Insert);
    QCOMPARE(modal.messages.size(), 1);
    QCOMPARE(modal.messages.constFirst().prompt, QStringLiteral("You must highlight the units!"));
    QCOMPARE(w.Text1->Text(), QStringLiteral("Zealot = 1\r\nx\r\nWait 300\r\nAttack"));

    // Ctrl+G: the caret goes to the start of the chosen line; Cancel leaves it.
    QVERIFY(focusScript(w));
    modal.lineReplies = {4, 0};
    QTest::keyClick(w.Text1, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(modal.lineRequests.constLast(), std::make_pair(3, 4));
    QCOMPARE(w.Text1->SelStart(), 25);
    QCOMPARE(w.Text1->SelLength(), 0);
    QTest::keyClick(w.Text1, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(modal.lineRequests.constLast(), std::make_pair(4, 4));
    QCOMPARE(w.Text1->SelStart(), 25);

    // F3 with nothing to find opens the Find window in "Find what".
    QTest::keyClick(w.Text1, Qt::Key_F3);
    Find* find = findWindow(w);
    QVERIFY(find);
    QVERIFY(find->isVisible());
    QCOMPARE(find->focusWidget(), find->FindWhat);
    QCOMPARE(find->windowTitle(), QStringLiteral("Find"));

    // Typing does not search; Enter finds the next match.
    w.Text1->setSelStart(0);
    QTest::keyClicks(find->FindWhat, QStringLiteral("wait"));
    QCOMPARE(w.Text1->SelLength(), 0);
    QTest::keyClick(find->FindWhat, Qt::Key_Return);
    QCOMPARE(w.Text1->SelText(), QStringLiteral("Wait"));
    QVERIFY(find->isVisible());

    // Escape closes the window and gives the script back the keyboard.
    QTest::keyClick(find->FindWhat, Qt::Key_Escape);
    QVERIFY(!find->isVisible());
    QCOMPARE(w.focusWidget(), w.Text1);

    // Ctrl+H reopens the same window in "Replace with", and "Find what"
    // takes the selected text; Ctrl+F goes to "Find what".
    w.Text1->setSelStart(0);
    w.Text1->setSelLength(6);
    QTest::keyClick(w.Text1, Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(findWindow(w), find);
    QVERIFY(find->isVisible());
    QCOMPARE(find->focusWidget(), find->ReplaceWith);
    QCOMPARE(find->FindWhat->text(), QStringLiteral("Zealot"));
    QVERIFY(focusScript(w));
    QTest::keyClick(w.Text1, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(find->focusWidget(), find->FindWhat);
    QCOMPARE(w.Text1->Text(), QStringLiteral("Zealot = 1\r\nx\r\nWait 300\r\nAttack"));
}

void TestFind::findWrapsAroundAndMatchesCase_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<bool>("byKey");  // F3 / Shift+F3 in the script, or the window's buttons
    QTest::addColumn<int>("found");   // -1: nothing
    QTest::addColumn<QString>("status");

    const int end = int(Script.size());
    const QString none;
    const QString fromStart = QStringLiteral("Went on from the start of the script.");
    const QString fromEnd = QStringLiteral("Went on from the end of the script.");
    QTest::newRow("next, any case") << 0 << "zealot" << false << true << true << First << none;
    QTest::newRow("next from inside a match") << 20 << "ZEALOT" << false << true << false << Third << none;
    QTest::newRow("next wraps to the start") << 39 << "zealot" << false << true << true << First << fromStart;
    QTest::newRow("next, case matched, wraps") << 20 << "Zealot" << true << true << false << First << fromStart;
    QTest::newRow("next, lower case only") << 0 << "zealot" << true << true << true << Third << none;
    QTest::newRow("previous from the end") << end << "zealot" << false << false << true << Third << none;
    QTest::newRow("previous wraps to the end") << 5 << "zealot" << false << false << false << Third << fromEnd;
    QTest::newRow("previous, case matched") << end << "Zealot" << true << false << true << Second << none;
    QTest::newRow("after a two-byte letter") << 0 << "\u00FCh" << false << true << false << 4 << none;
    QTest::newRow("nothing, by key") << 3 << "Zergling" << false << true << true << -1
                                     << "Cannot find \"Zergling\".";
    QTest::newRow("nothing, other case") << 3 << "WAIT" << true << false << false << -1
                                         << "Cannot find \"WAIT\".";
}

void TestFind::findWrapsAroundAndMatchesCase()
{
    QFETCH(int, caret);
    QFETCH(QString, what);
    QFETCH(bool, matchCase);
    QFETCH(bool, forward);
    QFETCH(bool, byKey);
    QFETCH(int, found);
    QFETCH(QString, status);

    EditorSession session;
    MainWindow& w = session.w;
    w.Text1->loadText(Script);
    w.Changed = 0;
    QVERIFY(focusScript(w));
    QTest::keyClick(w.Text1, Qt::Key_F, Qt::ControlModifier);
    Find* find = findWindow(w);
    QVERIFY(find);
    find->FindWhat->setText(what);
    find->MatchCase->setChecked(matchCase);

    w.Text1->setSelStart(caret);
    if (byKey) {
        QVERIFY(focusScript(w));
        QTest::keyClick(w.Text1, Qt::Key_F3, forward ? Qt::NoModifier : Qt::ShiftModifier);
    } else {
        QTest::mouseClick(forward ? find->FindNext : find->FindPrevious, Qt::LeftButton);
    }
    if (found < 0) {
        QCOMPARE(w.Text1->SelStart(), caret);
        QCOMPARE(w.Text1->SelLength(), 0);
        QVERIFY(find->isVisible());
    } else {
        QCOMPARE(w.Text1->SelStart(), found);
        QCOMPARE(w.Text1->SelText().compare(what, Qt::CaseInsensitive), 0);
    }
    QCOMPARE(find->Status->text(), status);
    QCOMPARE(w.Changed, qint16(0));
}

// Replace changes a selected match and goes on to the next; Replace all is
// one undo step and says how many it replaced.
void TestFind::replaceAndReplaceAll()
{
    EditorSession session;
    MainWindow& w = session.w;
    w.Text1->loadText(Script);
    QVERIFY(focusScript(w));
    QTest::keyClick(w.Text1, Qt::Key_H, Qt::ControlModifier);
    Find* find = findWindow(w);
    QVERIFY(find);
    find->FindWhat->setText(QStringLiteral("zealot"));
    find->ReplaceWith->setText(QStringLiteral("Dragoon"));

    // Not on a match: Replace only finds it. On one: replaces, finds the next.
    w.Text1->setSelStart(10);
    QTest::mouseClick(find->Replace, Qt::LeftButton);
    QCOMPARE(w.Text1->Text(), Script);
    QCOMPARE(w.Text1->SelStart(), Second);
    QTest::mouseClick(find->Replace, Qt::LeftButton);
    QCOMPARE(w.Changed, qint16(1));
    QCOMPARE(w.Text1->Text(), QStringLiteral("; Fr\u00FCh: Zealot\r\nDragoon = 1\r\nWait 300\r\nzealot = 2"));
    QCOMPARE(w.Text1->SelStart(), Third + 1);
    QCOMPARE(w.Text1->SelText(), QStringLiteral("zealot"));
    w.Text1->undo();
    QCOMPARE(w.Text1->Text(), Script);

    // Case matched, then any case; each undoes in one step.
    find->FindWhat->setText(QStringLiteral("Zealot"));
    find->MatchCase->setChecked(true);
    QTest::mouseClick(find->ReplaceAll, Qt::LeftButton);
    QCOMPARE(find->Status->text(), QStringLiteral("Replaced 2 matches."));
    QCOMPARE(w.Text1->Text(), QStringLiteral("; Fr\u00FCh: Dragoon\r\nDragoon = 1\r\nWait 300\r\nzealot = 2"));
    w.Text1->undo();
    QCOMPARE(w.Text1->Text(), Script);
    find->FindWhat->setText(QStringLiteral("zealot"));
    find->MatchCase->setChecked(false);
    w.Changed = 0;
    w.Text1->setSelStart(30);  // in "Wait", after two matches
    QTest::mouseClick(find->ReplaceAll, Qt::LeftButton);
    QCOMPARE(find->Status->text(), QStringLiteral("Replaced 3 matches."));
    QCOMPARE(w.Changed, qint16(1));
    QCOMPARE(w.Text1->Text(), QStringLiteral("; Fr\u00FCh: Dragoon\r\nDragoon = 1\r\nWait 300\r\nDragoon = 2"));
    QCOMPARE(w.Text1->SelStart(), 32);
    w.Text1->undo();
    QCOMPARE(w.Text1->Text(), Script);
    QVERIFY(!w.Text1->isUndoAvailable());

    // A replacement that contains the searched text is not searched again.
    find->ReplaceWith->setText(QStringLiteral("ZealotZealot"));
    QTest::mouseClick(find->ReplaceAll, Qt::LeftButton);
    QCOMPARE(find->Status->text(), QStringLiteral("Replaced 3 matches."));
    find->FindWhat->setText(QStringLiteral("Zergling"));
    QTest::mouseClick(find->ReplaceAll, Qt::LeftButton);
    QCOMPARE(find->Status->text(), QStringLiteral("Replaced 0 matches."));

    // The view stays on the lines the user was looking at.
    w.Text1->loadText(QStringList(200, Script).join(QStringLiteral("\r\n")));
    w.Text1->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 500UL);
    find->FindWhat->setText(QStringLiteral("Wait"));
    QTest::mouseClick(find->ReplaceAll, Qt::LeftButton);
    QCOMPARE(find->Status->text(), QStringLiteral("Replaced 200 matches."));
    QCOMPARE(w.Text1->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 500L);
}

// Every control of the two windows has a name; the line field holds only
// the script's line numbers.
void TestFind::windowsForScreenReaders()
{
    EditorSession session;
    MainWindow& w = session.w;
    QVERIFY(focusScript(w));
    QTest::keyClick(w.Text1, Qt::Key_F, Qt::ControlModifier);
    Find* find = findWindow(w);
    QVERIFY(find);
    QVERIFY(QTest::qWaitForWindowExposed(find));
    QCOMPARE(unnamed(QAccessible::queryAccessibleInterface(find)), QStringList());
    find->FindWhat->setText(QStringLiteral("Zergling"));
    QTest::mouseClick(find->FindNext, Qt::LeftButton);
    QVERIFY(find->Status->isVisible());
    QCOMPARE(unnamed(QAccessible::queryAccessibleInterface(find)), QStringList());

    NumberDialog goTo(GoToLine::request(3, 20), &w);
    goTo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&goTo));
    QCOMPARE(goTo.windowTitle(), QStringLiteral("Go to line"));
    QCOMPARE(unnamed(QAccessible::queryAccessibleInterface(&goTo)), QStringList());
    QCOMPARE(goTo.Number->accessibleName(), QStringLiteral("Line number"));
    QCOMPARE(goTo.value(), 3);
    goTo.Number->selectAll();
    QTest::keyClicks(goTo.Number, QStringLiteral("150"));
    QVERIFY(goTo.value() >= 1 && goTo.value() <= 20);
    goTo.Number->selectAll();
    QTest::keyClicks(goTo.Number, QStringLiteral("0"));
    QTest::keyClick(goTo.Number, Qt::Key_Return);
    QVERIFY(goTo.value() >= 1 && goTo.value() <= 20);
}

QTEST_MAIN(TestFind)
#include "test_find.moc"
