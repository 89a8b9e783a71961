// Preparing a script line from a catalogue node and the value box, and
// inserting it into the script.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "language/LinePreparation.h"
#include "platform/FlatButton.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "platform/TreeView.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

using Session = EditorSession;

// The catalogue node with this text; added at the top when the tree lacks it.
QTreeWidgetItem* node(MainWindow& w, const QString& text)
{
    const auto found = w.TreeView1->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (!found.isEmpty())
        return found.first();
    return w.TreeView1->Nodes.Add(QStringLiteral("test:") + text, text, 0);
}

QPoint nodePoint(MainWindow& w, QTreeWidgetItem* item)
{
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    w.TreeView1->scrollToItem(item);
    return w.TreeView1->visualItemRect(item).center();
}

void clickNode(MainWindow& w, const QString& text, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(w.TreeView1->viewport(), button, {}, nodePoint(w, node(w, text)));
}

// Replaces the value box's text by typing, as the user would.
void typeValue(MainWindow& w, const QString& value)
{
    w.Text2->SetFocus();
    w.Text2->selectAll();
    QTest::keyClick(w.Text2, Qt::Key_Delete);
    QTest::keyClicks(w.Text2, value);
}

// A real double-click: a click, then a second press that the system reports
// as a double-click, then its release.
void doubleClick(QWidget* widget, QPoint pos = QPoint())
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

void pressEnterInValueBox(MainWindow& w)
{
    w.Text2->SetFocus();
    QTest::keyClick(w.Text2, Qt::Key_Return);
}

}  // namespace

class InsertionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void prepareLine_data();
    void prepareLine();
    void enterInsertsPreparedLineAtCaret();
    void clickingAndTypingInEitherOrder();
    void nothingPendingAfterStartUp();
    void groupNodesLeaveNothingToInsert();
    void insertionReplacesSelection();
    void insertionSplitsLineAtCaret();
    void everyTriggerRepeatsTheSameLine();
    void rightClickOnTreeSelectsValue();
    void doubleClickInValueBoxReturnsToTree();
};

void InsertionTest::prepareLine_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("line");
    const struct { const char* tag; const char* node; const char* value; const char* line; } rows[] = {
        // Race, category and "Attacking" nodes prepare nothing, whatever the value.
        {"General", "General", "1", ""},
        {"Protoss", "Protoss", "1", ""},
        {"Terran", "Terran", "1", ""},
        {"Zerg", "Zerg", "1", ""},
        {"Buildings", "Buildings", "1", ""},
        {"Units", "Units", "1", ""},
        {"Attacking", "Attacking", "1", ""},
        {"Technologies", "Technologies", "1", ""},
        {"Upgrades", "Upgrades", "1", ""},
        {"no node yet", "", "5", ""},
        // Attacking entries.
        {"_Zealot", "_Zealot", "1", "Attacking_Zealot = 1"},
        {"_ alone", "_", "2", "Attacking_ = 2"},
        {"_Attack is an entry", "_Attack", "3", "Attacking_Attack = 3"},
        // Comment and loop.
        {"comment", "; (Comment)", "build base", "; build base"},
        {"loop", ": (Loop)", "start", ": start"},
        {"empty comment", "; (Comment)", "", "; "},
        // Opcodes without a value ignore the box.
        {"Attack", "Attack", "7", "Attack"},
        {"Campaign_Script", "Campaign_Script", "7", "Campaign_Script"},
        {"Custom_Script", "Custom_Script", "7", "Custom_Script"},
        {"Group_Attack", "Group_Attack", "7", "Group_Attack"},
        {"Stop", "Stop", "7", "Stop"},
        // One, two or three copies of the value.
        {"Expand", "Expand", "2", "Expand 2"},
        {"Goto", "Goto", "a1", "Goto a1"},
        {"Multi_Run", "Multi_Run", "b2", "Multi_Run b2"},
        {"Script_Identifier", "Script_Identifier", "PZRG", "Script_Identifier PZRG"},
        {"Script_Name", "Script_Name", "Protoss rush", "Script_Name Protoss rush"},
        {"Wait", "Wait", "5", "Wait 5"},
        {"Check_Resources", "Check_Resources", "500", "Check_Resources 500 500"},
        {"TriBranch", "TriBranch", "20", "TriBranch 20 20 20"},
        {"TriBranch empty", "TriBranch", "", "TriBranch   "},
        // Entries of the races.
        {"Zealot", "Zealot", "1", "Zealot = 1"},
        {"empty value", "Zealot", "", "Zealot = "},
        {"Expand empty value", "Expand", "", "Expand "},
        {"value verbatim", "Wait", " 5 ", "Wait  5 "},
        // Exact, case-sensitive names: anything else is an entry.
        {"lower-case opcode", "wait", "5", "wait = 5"},
        {"lower-case race", "protoss", "1", "protoss = 1"},
        {"group with space", "Units ", "1", "Units  = 1"},
        {"Attacking_ entry", "Attacking_Zealot", "1", "Attacking_Zealot = 1"},
    };
    for (const auto& r : rows)
        QTest::newRow(r.tag) << QString::fromUtf8(r.node) << QString::fromUtf8(r.value)
                             << QString::fromUtf8(r.line);
}

void InsertionTest::prepareLine()
{
    QFETCH(QString, node);
    QFETCH(QString, value);
    QFETCH(QString, line);
    QCOMPARE(PrepareLine(node, value), line);
}

void InsertionTest::enterInsertsPreparedLineAtCaret()
{
    Session s;
    MainWindow& w = s.w;
    clickNode(w, QStringLiteral("Zealot"));
    QCOMPARE(w.NodeText, QStringLiteral("Zealot"));
    QCOMPARE(w.TextToAdd, QStringLiteral("Zealot = 1"));
    QCOMPARE(w.Changed, qint16(0));
    pressEnterInValueBox(w);
    QCOMPARE(w.Text1->Text(), QStringLiteral("Zealot = 1\r\n"));
    QCOMPARE(w.Text1->SelStart(), qsizetype(12));
    QCOMPARE(w.Changed, qint16(1));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Text1));
    // Enter is taken by the insertion; the value stays as it was.
    QCOMPARE(w.Text2->Text(), QStringLiteral("1"));
    QCOMPARE(w.TextToAdd, QStringLiteral("Zealot = 1"));
}

void InsertionTest::clickingAndTypingInEitherOrder()
{
    QString clickedFirst;
    {
        Session s;
        clickNode(s.w, QStringLiteral("; (Comment)"));
        typeValue(s.w, QStringLiteral("build base"));
        clickedFirst = s.w.TextToAdd;

        // Another node takes the value as it stands; a new value re-prepares it.
        clickNode(s.w, QStringLiteral("TriBranch"));
        QCOMPARE(s.w.TextToAdd, QStringLiteral("TriBranch build base build base build base"));
        typeValue(s.w, QStringLiteral("20"));
        QCOMPARE(s.w.TextToAdd, QStringLiteral("TriBranch 20 20 20"));
        clickNode(s.w, QStringLiteral("Check_Resources"));
        typeValue(s.w, QStringLiteral("500"));
        QCOMPARE(s.w.TextToAdd, QStringLiteral("Check_Resources 500 500"));
    }
    Session t;
    typeValue(t.w, QStringLiteral("build base"));
    QVERIFY(t.w.TextToAdd.isEmpty());
    clickNode(t.w, QStringLiteral("; (Comment)"));
    QCOMPARE(t.w.TextToAdd, clickedFirst);
    QCOMPARE(clickedFirst, QStringLiteral("; build base"));

    // Deleting the whole value re-prepares with the empty value.
    typeValue(t.w, QString());
    QCOMPARE(t.w.TextToAdd, QStringLiteral("; "));
    clickNode(t.w, QStringLiteral("_Zealot"));
    QCOMPARE(t.w.TextToAdd, QStringLiteral("Attacking_Zealot = "));
}

void InsertionTest::nothingPendingAfterStartUp()
{
    Session s;
    MainWindow& w = s.w;
    node(w, QStringLiteral("Zealot"));
    QVERIFY(w.TextToAdd.isEmpty());
    pressEnterInValueBox(w);
    QTest::mouseClick(w.FlatBttn7, Qt::LeftButton);
    w.Command5->click();
    // A double-click below the last node reaches the tree but no node.
    const QPoint empty(5, w.TreeView1->viewport()->height() - 3);
    QVERIFY(!w.TreeView1->itemAt(empty));
    doubleClick(w.TreeView1->viewport(), empty);
    // Typing a value before any node is chosen makes no line either.
    typeValue(w, QStringLiteral("7"));
    pressEnterInValueBox(w);
    QCOMPARE(w.Text1->Text(), QString());
    QCOMPARE(w.Changed, qint16(0));
    QVERIFY(w.TextToAdd.isEmpty());
    QCOMPARE(w.Text2->Text(), QStringLiteral("7"));
}

void InsertionTest::groupNodesLeaveNothingToInsert()
{
    Session s;
    MainWindow& w = s.w;
    for (const char* group : {"Protoss", "Units", "Technologies", "Attacking"}) {
        clickNode(w, QStringLiteral("Zealot"));
        QVERIFY(!w.TextToAdd.isEmpty());
        clickNode(w, QString::fromLatin1(group));
        QVERIFY2(w.TextToAdd.isEmpty(), group);
        pressEnterInValueBox(w);
        QTest::mouseClick(w.FlatBttn7, Qt::LeftButton);
    }
    QCOMPARE(w.Text1->Text(), QString());
    QCOMPARE(w.Changed, qint16(0));
}

void InsertionTest::insertionReplacesSelection()
{
    Session s;
    MainWindow& w = s.w;
    w.Text1->setText(QStringLiteral("Nexus = 1\r\nabc\r\nStop"));
    w.Changed = 0;
    clickNode(w, QStringLiteral("Wait"));
    typeValue(w, QStringLiteral("5"));
    w.Text1->setSelStart(11);
    w.Text1->setSelLength(3);
    QCOMPARE(w.Text1->SelText(), QStringLiteral("abc"));
    QTest::mouseClick(w.FlatBttn7, Qt::LeftButton);
    QCOMPARE(w.Text1->Text(), QStringLiteral("Nexus = 1\r\nWait 5\r\n\r\nStop"));
    QCOMPARE(w.Text1->SelStart(), qsizetype(19));
    QCOMPARE(w.Text1->SelLength(), qsizetype(0));
    QCOMPARE(w.Changed, qint16(1));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Text1));
}

void InsertionTest::insertionSplitsLineAtCaret()
{
    Session s;
    MainWindow& w = s.w;
    w.Text1->setText(QStringLiteral("Gateway = 2\r\nNexus = 1"));
    clickNode(w, QStringLiteral("Expand"));
    w.Text1->setSelStart(18);  // "Nexus| = 1"
    pressEnterInValueBox(w);
    QCOMPARE(w.Text1->Text(), QStringLiteral("Gateway = 2\r\nNexusExpand 1\r\n = 1"));
    QCOMPARE(w.Text1->SelStart(), qsizetype(18 + 10));
    // The caret sits at the start of the split-off rest: typing goes there.
    QTest::keyClicks(w.Text1, QStringLiteral("Z"));
    QCOMPARE(w.Text1->Text(), QStringLiteral("Gateway = 2\r\nNexusExpand 1\r\nZ = 1"));
}

void InsertionTest::everyTriggerRepeatsTheSameLine()
{
    Session s;
    MainWindow& w = s.w;
    clickNode(w, QStringLiteral("Stop"));
    pressEnterInValueBox(w);
    pressEnterInValueBox(w);
    QTest::mouseClick(w.FlatBttn7, Qt::LeftButton);
    w.Command5->click();
    // A double-click on a node is preceded by its click, so it inserts that node's line.
    doubleClick(w.TreeView1->viewport(), nodePoint(w, node(w, QStringLiteral("Attack"))));
    QCOMPARE(w.TextToAdd, QStringLiteral("Attack"));
    const QString stop = QStringLiteral("Stop\r\n");
    QCOMPARE(w.Text1->Text(), stop + stop + stop + stop + QStringLiteral("Attack\r\n"));
    QCOMPARE(w.Text1->SelStart(), w.Text1->length());
}

void InsertionTest::rightClickOnTreeSelectsValue()
{
    Session s;
    MainWindow& w = s.w;
    typeValue(w, QStringLiteral("250"));
    w.Text2->setSelStart(1);
    w.Text1->SetFocus();

    clickNode(w, QStringLiteral("Zealot"));
    QCOMPARE(w.MouseButton, qint16(1));
    QVERIFY(QApplication::focusWidget() != w.Text2);
    QCOMPARE(w.Text2->SelLength(), qsizetype(0));

    clickNode(w, QStringLiteral("Wait"), Qt::RightButton);
    QCOMPARE(w.MouseButton, qint16(2));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Text2));
    QCOMPARE(w.Text2->SelStart(), qsizetype(0));
    QCOMPARE(w.Text2->SelText(), QStringLiteral("250"));
    // The right click chose the node as well, and typing replaces the value.
    QCOMPARE(w.TextToAdd, QStringLiteral("Wait 250"));
    QTest::keyClicks(w.Text2, QStringLiteral("9"));
    QCOMPARE(w.TextToAdd, QStringLiteral("Wait 9"));
}

void InsertionTest::doubleClickInValueBoxReturnsToTree()
{
    Session s;
    MainWindow& w = s.w;
    clickNode(w, QStringLiteral("Zealot"), Qt::RightButton);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Text2));
    doubleClick(w.Text2);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Text2));

    clickNode(w, QStringLiteral("Zealot"));
    w.Text2->SetFocus();
    doubleClick(w.Text2);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.TreeView1));
}

QTEST_MAIN(InsertionTest)
#include "test_insertion.moc"
