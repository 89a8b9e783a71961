// Make rebuild and Make attacking: the derived text, its place in the
// script, the caret, the error messages and the Insert key.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "language/UnitCommands.h"
#include "platform/FlatButton.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"

#include <QApplication>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

namespace {

struct Session : EditorSession {
    // Puts a clean script into the box and selects a part of it.
    void script(const QString& text, qsizetype start, qsizetype length)
    {
        w.Text1->setText(text);
        w.Text1->setSelStart(start);
        w.Text1->setSelLength(length);
        w.Changed = 0;
    }
};

const QString CrLf = QStringLiteral("\r\n");

}  // namespace

class UnitCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void attackingText_data();
    void attackingText();
    void oneAssignmentMatchesStepByStepInserts();
    void rebuild_data();
    void rebuild();
    void attacking_data();
    void attacking();
    void emptySelectionIsAnError_data();
    void emptySelectionIsAnError();
    void insertKeyRunsMakeAttacking_data();
    void insertKeyRunsMakeAttacking();
    void largeSelection();
};

void UnitCommandsTest::attackingText_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("derived");  // what follows the selection and its CR LF
    QTest::newRow("one word") << "Zealot" << "Attacking_Zealot";
    QTest::newRow("two lines") << "Zealot\r\nDragoon" << "Attacking_Zealot\r\nAttacking_Dragoon";
    QTest::newRow("line with its break") << "Zealot\r\n" << "Attacking_Zealot\r\nAttacking_";
    QTest::newRow("empty line inside") << "Zealot\r\n\r\nScout"
                                       << "Attacking_Zealot\r\nAttacking_\r\nAttacking_Scout";
    QTest::newRow("only a break") << "\r\n" << "Attacking_\r\nAttacking_";
    QTest::newRow("one character") << "Z" << "Attacking_Z";
    // A lone CR or LF ends a line, and the next character starts the next one.
    QTest::newRow("lone CR") << "Zealot\rDragoon" << "Attacking_Zealot\r\nAttacking_Dragoon";
    QTest::newRow("lone LF") << "Zealot\nDragoon" << "Attacking_Zealot\r\nAttacking_Dragoon";
    QTest::newRow("LF then CR") << "A\n\rB" << "Attacking_A\r\nAttacking_\r\nAttacking_B";
    QTest::newRow("CR then CR LF") << "A\r\r\nB" << "Attacking_A\r\nAttacking_\r\nAttacking_B";
    QTest::newRow("ends in lone CR") << "Zealot\r" << "Attacking_Zealot\r\nAttacking_";
    QTest::newRow("ends in lone LF") << "Zealot\n" << "Attacking_Zealot\r\nAttacking_";
    QTest::newRow("starts with lone LF") << "\nZealot" << "Attacking_\r\nAttacking_Zealot";
    QTest::newRow("value line") << "Zealot = 4" << "Attacking_Zealot = 4";
    QTest::newRow("letters beyond ASCII") << "Z\u00e9alot\r\n\u2019Scout"
                                          << "Attacking_Z\u00e9alot\r\nAttacking_\u2019Scout";
}

void UnitCommandsTest::attackingText()
{
    QFETCH(QString, selection);
    QFETCH(QString, derived);
    QCOMPARE(AttackingText(selection), selection + CrLf + derived);
    QCOMPARE(QString::fromUtf8(AttackingLines(selection.toUtf8())), CrLf + derived);
}

// The handlers replace the selection in one assignment; the line-by-line
// inserts (the selection and CR LF, then each derived line and its break)
// must leave the very same text and caret, also around lone breaks.
void UnitCommandsTest::oneAssignmentMatchesStepByStepInserts()
{
    const QString pieces[] = {QStringLiteral("Zealot"), QStringLiteral("Dragoon = 2"), CrLf,
                              QStringLiteral("\r"), QStringLiteral("\n"), QStringLiteral("x")};
    QRandomGenerator random(20260);
    ScriptTextBox oneShot;
    ScriptTextBox steps;
    for (int round = 0; round < 200; ++round) {
        QString script;
        const int count = int(random.bounded(1, 12));
        for (int i = 0; i < count; ++i)
            script += pieces[random.bounded(int(std::size(pieces)))];
        oneShot.setText(script);
        const qsizetype length = oneShot.length();
        const qsizetype start = random.bounded(length);
        oneShot.setSelStart(start);
        oneShot.setSelLength(random.bounded(1, int(length - start) + 1));
        const QString s = oneShot.SelText();
        if (s.isEmpty())
            continue;  // the selection fell inside a CR LF pair
        steps.setText(script);
        steps.setSelStart(oneShot.SelStart());
        steps.setSelLength(oneShot.SelLength());
        QCOMPARE(steps.SelText(), s);

        oneShot.setSelText(AttackingText(s));
        steps.setSelText(s + CrLf);
        const QStringList lines = AttackingText(s).mid(s.size() + 2).split(CrLf);
        for (qsizetype i = 0; i < lines.size(); ++i)
            steps.setSelText(i + 1 < lines.size() ? lines[i] + CrLf : lines[i]);
        QCOMPARE(oneShot.Text(), steps.Text());
        QCOMPARE(oneShot.SelStart(), steps.SelStart());
        QCOMPARE(oneShot.SelLength(), qsizetype(0));
    }
}

void UnitCommandsTest::rebuild_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("result");
    QTest::newRow("one word") << "Nexus" << 0 << 5 << "Nexus\r\nRebuild_Nexus";
    QTest::newRow("value line") << "Nexus = 1\r\nZealot = 4\r\nWait 5" << 11 << 10
                                << "Nexus = 1\r\nZealot = 4\r\nRebuild_Zealot = 4\r\nWait 5";
    // Only the first line of the selection gets the prefix.
    QTest::newRow("several lines") << "Zealot\r\nDragoon" << 0 << 15
                                   << "Zealot\r\nDragoon\r\nRebuild_Zealot\r\nDragoon";
    QTest::newRow("part of a line") << "Gateway = 2" << 0 << 7 << "Gateway\r\nRebuild_Gateway = 2";
}

void UnitCommandsTest::rebuild()
{
    QFETCH(QString, script);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, result);
    // Both buttons run the same command.
    for (int button = 0; button < 2; ++button) {
        Session s;
        s.script(script, start, length);
        s.w.Text2->SetFocus();
        if (button == 0)
            QTest::mouseClick(s.w.FlatBttn6, Qt::LeftButton);
        else
            s.w.Command1->click();
        QCOMPARE(s.w.Text1->Text(), result);
        const QString sel = script.mid(start, length);
        QCOMPARE(s.w.Text1->SelStart(), qsizetype(start + 2 * sel.size() + 10));
        QCOMPARE(s.w.Text1->SelLength(), qsizetype(0));
        QCOMPARE(s.w.Changed, qint16(1));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(s.w.Text1));
        QVERIFY(s.modal.messages.isEmpty());
    }
}

void UnitCommandsTest::attacking_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("result");
    QTest::newRow("two lines") << "Zealot\r\nDragoon" << 0 << 15
                               << "Zealot\r\nDragoon\r\nAttacking_Zealot\r\nAttacking_Dragoon";
    QTest::newRow("line with its break")
        << "Zealot\r\nDragoon" << 0 << 8 << "Zealot\r\n\r\nAttacking_Zealot\r\nAttacking_Dragoon";
    QTest::newRow("lone CR and LF") << "Zealot\rDragoon\nScout" << 0 << 20
                                    << "Zealot\rDragoon\nScout\r\nAttacking_Zealot\r\n"
                                       "Attacking_Dragoon\r\nAttacking_Scout";
    QTest::newRow("to the end of the script") << "Nexus\r\nZealot\r\nScout" << 7 << 13
                                              << "Nexus\r\nZealot\r\nScout\r\nAttacking_Zealot\r\n"
                                                 "Attacking_Scout";
    QTest::newRow("script ending in a break")
        << "Nexus\r\nZealot\r\n" << 7 << 8 << "Nexus\r\nZealot\r\n\r\nAttacking_Zealot\r\nAttacking_";
    QTest::newRow("script ending in a lone CR")
        << "Zealot\r" << 0 << 7 << "Zealot\r\r\nAttacking_Zealot\r\nAttacking_";
    QTest::newRow("script ending in a lone LF")
        << "Zealot\n" << 0 << 7 << "Zealot\n\r\nAttacking_Zealot\r\nAttacking_";
}

void UnitCommandsTest::attacking()
{
    QFETCH(QString, script);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, result);
    for (int button = 0; button < 2; ++button) {
        Session s;
        s.script(script, start, length);
        QCOMPARE(s.w.Text1->SelText(), script.mid(start, length));
        s.w.Text2->SetFocus();
        if (button == 0)
            QTest::mouseClick(s.w.FlatBttn5, Qt::LeftButton);
        else
            s.w.Command4->click();
        QCOMPARE(s.w.Text1->Text(), result);
        // The caret follows the last derived line, where the rest of the script resumes.
        QCOMPARE(s.w.Text1->SelStart(), qsizetype(result.size() - (script.size() - start - length)));
        QCOMPARE(s.w.Text1->SelLength(), qsizetype(0));
        QCOMPARE(s.w.Changed, qint16(1));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(s.w.Text1));
        QVERIFY(s.modal.messages.isEmpty());
    }
}

void UnitCommandsTest::emptySelectionIsAnError_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("focusesScript");
    QTest::newRow("Make rebuild") << 0 << "You must select the unit/building!" << false;
    QTest::newRow("Make rebuild twin") << 1 << "You must select the unit/building!" << false;
    QTest::newRow("Make attacking") << 2 << "You must highlight the units!" << true;
    QTest::newRow("Make attacking twin") << 3 << "You must highlight the units!" << true;
}

void UnitCommandsTest::emptySelectionIsAnError()
{
    QFETCH(int, command);
    QFETCH(QString, message);
    QFETCH(bool, focusesScript);
    const QString script = QStringLiteral("Nexus = 1\r\nZealot = 4");
    for (qint16 changed : {qint16(0), qint16(1)}) {
        Session s;
        s.script(script, 4, 0);
        s.w.Changed = changed;
        s.w.Text2->SetFocus();
        QPushButton* buttons[] = {s.w.FlatBttn6, s.w.Command1, s.w.FlatBttn5, s.w.Command4};
        buttons[command]->click();
        QCOMPARE(s.modal.messages.size(), 1);
        QCOMPARE(s.modal.messages[0].prompt, message);
        QCOMPARE(s.modal.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(s.modal.messages[0].style, 16);
        QCOMPARE(s.w.Text1->Text(), script);
        QCOMPARE(s.w.Text1->SelStart(), qsizetype(4));
        QCOMPARE(s.w.Changed, changed);
        QWidget* expected = focusesScript ? static_cast<QWidget*>(s.w.Text1) : s.w.Text2;
        QCOMPARE(QApplication::focusWidget(), expected);
    }
}

void UnitCommandsTest::insertKeyRunsMakeAttacking_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Insert") << Qt::KeyboardModifiers();
    QTest::newRow("Shift+Insert") << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Insert") << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void UnitCommandsTest::insertKeyRunsMakeAttacking()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Session s;
    s.script(QStringLiteral("Zealot\r\nDragoon"), 0, 15);
    s.w.Text1->SetFocus();
    // Releasing Insert elsewhere does nothing.
    QTest::keyRelease(s.w.Text2, Qt::Key_Insert, modifiers);
    QCOMPARE(s.w.Text1->Text(), QStringLiteral("Zealot\r\nDragoon"));
    QTest::keyRelease(s.w.Text1, Qt::Key_Insert, modifiers);
    QCOMPARE(s.w.Text1->Text(),
             QStringLiteral("Zealot\r\nDragoon\r\nAttacking_Zealot\r\nAttacking_Dragoon"));
    QCOMPARE(s.w.Changed, qint16(1));
    // Another key's release is no command; with nothing selected Insert reports it.
    QTest::keyRelease(s.w.Text1, Qt::Key_A, modifiers);
    QVERIFY(s.modal.messages.isEmpty());
    QTest::keyRelease(s.w.Text1, Qt::Key_Insert, modifiers);
    QCOMPARE(s.modal.messages.size(), 1);
    QCOMPARE(s.modal.messages[0].prompt, QStringLiteral("You must highlight the units!"));

    // A whole key stroke runs the command once and leaves typing as it was.
    s.script(QStringLiteral("Scout"), 0, 5);
    QTest::keyClick(s.w.Text1, Qt::Key_Insert, modifiers);
    QCOMPARE(s.w.Text1->Text(), QStringLiteral("Scout\r\nAttacking_Scout"));
    QVERIFY(!s.w.Text1->overwriteMode());
    s.w.Text1->setSelStart(0);
    QTest::keyClicks(s.w.Text1, QStringLiteral("Q"));
    QCOMPARE(s.w.Text1->Text(), QStringLiteral("QScout\r\nAttacking_Scout"));
}

void UnitCommandsTest::largeSelection()
{
    Session s;
    QString script;
    const int lines = 100000;
    for (int i = 0; i < lines; ++i)
        script += QStringLiteral("Unit%1 = 1\r\n").arg(i);
    script.chop(2);
    s.script(script, 0, script.size());
    s.w.FlatBttn5_Click();
    const QString text = s.w.Text1->Text();
    QCOMPARE(text.size(), 2 * script.size() + 2 + lines * 10);
    QVERIFY(text.startsWith(script + QStringLiteral("\r\nAttacking_Unit0 = 1\r\nAttacking_Unit1 = 1\r\n")));
    QVERIFY(text.endsWith(QStringLiteral("\r\nAttacking_Unit99999 = 1")));
    QCOMPARE(s.w.Text1->SelStart(), text.size());
}

QTEST_MAIN(UnitCommandsTest)
#include "test_unit_commands.moc"
