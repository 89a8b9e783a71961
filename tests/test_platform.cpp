// The platform layer: the script text box in CR LF terms, key codes, the
// file-dialog filter form and the hidden button twins.
#include "TestSupport.h"

#include "platform/CommonDialog.h"
#include "platform/FlatButton.h"
#include "platform/KeyCodes.h"
#include "platform/Modal.h"
#include "platform/PngIcon.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "platform/TreeView.h"

#include <QAccessible>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textRoundTripsEveryLineEnd();
    void positionsCountCrLfAsTwo();
    void selTextInsertsAtCaretAndReplacesSelection();
    void changeFiresForProgramAndUser();
    void clipboardAndDragKeepTheCharacters();
    void screenReadersFindEveryCharacter();
    void keyCodes();
    void filterAndDefaultExtension();
    void twinsAreHiddenAndShareTheHandler();
    void treeReportsMouseDownBeforeClick();
    void iconsDrawTheSizeThatFits();
};

void TestPlatform::textRoundTripsEveryLineEnd()
{
    // The document holds the real characters: whatever goes in comes back,
    // and every position counts a CR LF as two.
    ScriptTextBox box;
    QString all;
    for (int c = 0; c < 256; ++c)
        all.append(QChar(c));
    all += QStringLiteral("\r\n") + QChar(0xA0) + QChar(0x20AC) + QChar(0x81) + QChar(0x9D);
    const QStringList samples = {
        QString(), QStringLiteral("A"), QStringLiteral("A\r\nB"), QStringLiteral("A\r\n"),
        QStringLiteral("\r\n\r\n"), QStringLiteral("A\nB"), QStringLiteral("A\rB"),
        QStringLiteral("\r\r\n\n"), QStringLiteral("x\n\r\ny\r"), QStringLiteral("\u2028\u2029\ue00d\U0001F600"),
        all,
    };
    for (const QString& s : samples) {
        box.setText(s);
        QCOMPARE(box.Text(), s);
        QCOMPARE(box.length(), s.size());
        box.SendScintilla(QsciScintillaBase::SCI_SELECTALL);
        QCOMPARE(box.SelText(), s);
        QCOMPARE(box.SelLength(), s.size());
    }
    // What no UTF-8 document can hold (a lone surrogate, a noncharacter)
    // becomes the replacement character, and every position stays in step.
    QString odd = QStringLiteral("\ufeffa\ufdd0b\uffffc");
    odd.insert(3, QChar(0xD800));
    box.setText(odd);
    QCOMPARE(box.Text(), QStringLiteral("\ufeffa\ufffd\ufffdb\ufffdc"));
    QCOMPARE(box.length(), odd.size());
    box.setSelStart(4);
    box.setSelLength(1);
    QCOMPARE(box.SelText(), QStringLiteral("b"));
    // A text with a NUL in it keeps everything after the NUL.
    box.setText(QStringLiteral("a") + QChar(0) + QStringLiteral("b\r\nc"));
    QCOMPARE(box.length(), 6);
    QCOMPARE(box.Text().at(2), QChar(u'b'));
}

void TestPlatform::positionsCountCrLfAsTwo()
{
    ScriptTextBox box;
    box.setText(QStringLiteral("ab\r\nc\u00e9\r\n\r\n\U0001F600f"));
    // Every script position maps to a document position and back, except the
    // ones between CR and LF and inside a surrogate pair, which fall back to
    // before the break or the pair.
    for (qsizetype p = 0; p <= box.length(); ++p) {
        const qsizetype back = box.toScriptPosition(box.toDocumentPosition(p));
        const bool inside = p == 3 || p == 7 || p == 9 || p == 11;
        QCOMPARE(back, inside ? p - 1 : p);
    }
    box.setSelStart(4);
    box.setSelLength(5);  // would end between CR and LF: stops before the break
    QCOMPARE(box.SelStart(), 4);
    QCOMPARE(box.SelLength(), 4);
    QCOMPARE(box.SelText(), QStringLiteral("c\u00e9\r\n"));
    box.setSelStart(4);
    box.setSelLength(6);
    QCOMPARE(box.SelText(), QStringLiteral("c\u00e9\r\n\r\n"));
    box.setSelStart(1000);
    QCOMPARE(box.SelStart(), box.length());
    box.setSelStart(-5);
    QCOMPARE(box.SelStart(), 0);
}

void TestPlatform::selTextInsertsAtCaretAndReplacesSelection()
{
    ScriptTextBox box;
    box.setText(QStringLiteral("Zealot\r\nabc"));
    box.setSelStart(3);
    box.setSelText(QStringLiteral("X\r\nY"));
    QCOMPARE(box.Text(), QStringLiteral("ZeaX\r\nYlot\r\nabc"));
    QCOMPARE(box.SelStart(), 3 + 4);
    QCOMPARE(box.SelLength(), 0);
    box.setSelStart(box.length() - 3);
    box.setSelLength(3);
    box.setSelText(QStringLiteral("Wait 5\r\n"));
    QCOMPARE(box.Text(), QStringLiteral("ZeaX\r\nYlot\r\nWait 5\r\n"));
    QCOMPARE(box.SelStart(), box.length());
    box.setSelStart(0);
    box.setSelLength(4);
    box.setSelText(QString());
    QCOMPARE(box.Text(), QStringLiteral("\r\nYlot\r\nWait 5\r\n"));

    TextBox line;
    line.setText(QStringLiteral("12345"));
    line.setSelStart(1);
    line.setSelLength(3);
    QCOMPARE(line.SelText(), QStringLiteral("234"));
    line.setSelText(QStringLiteral("x"));
    QCOMPARE(line.Text(), QStringLiteral("1x5"));
    QCOMPARE(line.SelStart(), 2);
}

void TestPlatform::changeFiresForProgramAndUser()
{
    ScriptTextBox box;
    box.show();
    QSignalSpy spy(&box, &ScriptTextBox::Change);
    box.setText(QStringLiteral("a"));
    QCOMPARE(spy.count(), 1);
    spy.clear();
    box.setSelText(QStringLiteral("b"));
    QCOMPARE(spy.count(), 1);
    spy.clear();
    box.setSelStart(0);
    box.setSelLength(2);
    box.setSelText(QStringLiteral("c"));  // replacing is one change too
    QCOMPARE(spy.count(), 1);
    spy.clear();
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_D);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(box.Text(), QStringLiteral("cd"));
    // A new text leaves the caret at its start; every Enter key makes CR LF.
    box.setText(QStringLiteral("x"));
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(&box, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(box.Text(), QStringLiteral("\r\n\r\n\r\n\r\nx"));
}

// Everything that leaves the box carries exactly its characters; everything
// that enters it has its line ends made CR LF and nothing else changed.
void TestPlatform::clipboardAndDragKeepTheCharacters()
{
    ScriptTextBox box;
    box.show();
    box.setFocus();
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString text = QStringLiteral("a\u00a0b\nc\r\nd");
    struct Access : ScriptTextBox {
        using ScriptTextBox::fromMimeData;
        using ScriptTextBox::toMimeData;
    };
    auto& access = static_cast<Access&>(box);
    // Copy keys: Ctrl+C, Ctrl+Insert; cut keys: Ctrl+X, Shift+Delete.
    const QList<QPair<Qt::Key, Qt::KeyboardModifiers>> copyKeys = {{Qt::Key_C, Qt::ControlModifier},
                                                                   {Qt::Key_Insert, Qt::ControlModifier}};
    for (const auto& [key, modifiers] : copyKeys) {
        box.setText(text);
        box.SendScintilla(QsciScintillaBase::SCI_SELECTALL);
        clipboard->clear();
        QTest::keyClick(&box, key, modifiers);
        QCOMPARE(clipboard->text(), text);
    }
    const QList<QPair<Qt::Key, Qt::KeyboardModifiers>> cutKeys = {{Qt::Key_X, Qt::ControlModifier},
                                                                  {Qt::Key_Delete, Qt::ShiftModifier}};
    for (const auto& [key, modifiers] : cutKeys) {
        box.setText(text);
        box.SendScintilla(QsciScintillaBase::SCI_SELECTALL);
        QTest::keyClick(&box, key, modifiers);
        QCOMPARE(clipboard->text(), text);
        QCOMPARE(box.Text(), QString());
    }
    // Paste keys: Ctrl+V, Shift+Insert; foreign line ends become CR LF.
    const QList<QPair<Qt::Key, Qt::KeyboardModifiers>> pasteKeys = {{Qt::Key_V, Qt::ControlModifier},
                                                                    {Qt::Key_Insert, Qt::ShiftModifier}};
    for (const auto& [key, modifiers] : pasteKeys) {
        box.setText(QString());
        clipboard->setText(QStringLiteral("a\u00a0\nb\rc\r\nd"));
        QTest::keyClick(&box, key, modifiers);
        QCOMPARE(box.Text(), QStringLiteral("a\u00a0\r\nb\r\nc\r\nd"));
    }
    // Dragging out and dropping in use the same two conversions.
    std::unique_ptr<QMimeData> out(access.toMimeData(text.toUtf8(), false));
    QCOMPARE(out->text(), text);
    bool rectangular = true;
    QCOMPARE(QString::fromUtf8(access.fromMimeData(out.get(), rectangular)), QStringLiteral("a\u00a0b\r\nc\r\nd"));
    QVERIFY(!rectangular);
}

// Each character has its own place on the screen, and the point in the
// middle of it leads back to it: a magnifier or a review cursor can follow.
void TestPlatform::screenReadersFindEveryCharacter()
{
    ScriptTextBox box;
    box.setAccessibleName(QStringLiteral("Script"));
    box.resize(400, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setText(QStringLiteral("Zealot = 1\r\nW\u00e9it 5"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&box);
    QVERIFY(iface && iface->textInterface() && iface->editableTextInterface());
    QCOMPARE(iface->role(), QAccessible::EditableText);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Script"));
    QAccessibleTextInterface* text = iface->textInterface();
    QCOMPARE(text->characterCount(), 18);
    QCOMPARE(text->text(12, 18), QStringLiteral("W\u00e9it 5"));
    int start = 0, end = 0;
    QCOMPARE(text->textAtOffset(14, QAccessible::LineBoundary, &start, &end), QStringLiteral("W\u00e9it 5"));
    QCOMPARE(start, 12);
    QRect previous;
    for (int i : {0, 1, 2, 3, 4, 5, 12, 13, 14, 15}) {
        const QRect r = text->characterRect(i);
        QVERIFY2(r.width() > 0 && r.height() > 0, qPrintable(QString::number(i)));
        if (i != 0 && i != 12)
            QVERIFY2(r.left() >= previous.right() && r.top() == previous.top(), qPrintable(QString::number(i)));
        if (i == 12)
            QVERIFY(r.top() > previous.top());
        QCOMPARE(text->offsetAtPoint(r.center()), i);
        previous = r;
    }
    // Its children are its two scroll bars, with their values.
    QCOMPARE(iface->childCount(), 2);
    for (int i = 0; i < 2; ++i) {
        QAccessibleInterface* bar = iface->child(i);
        QVERIFY(bar && bar->role() == QAccessible::ScrollBar && bar->valueInterface());
        QCOMPARE(iface->indexOfChild(bar), i);
    }
    text->setCursorPosition(13);
    QCOMPARE(box.SelStart(), 13);
    iface->editableTextInterface()->insertText(12, QStringLiteral("Stop\n"));
    QCOMPARE(box.Text(), QStringLiteral("Zealot = 1\r\nStop\r\nW\u00e9it 5"));
}

void TestPlatform::keyCodes()
{
    using namespace KeyCodes;
    QCOMPARE(keyCode(Qt::Key_Insert, Qt::NoModifier), 45);
    QCOMPARE(keyCode(Qt::Key_N, Qt::ControlModifier), int('N'));
    QCOMPARE(keyCode(Qt::Key_Period, Qt::KeypadModifier), 110);
    QCOMPARE(keyCode(Qt::Key_Slash, Qt::KeypadModifier), 111);
    QCOMPARE(keyCode(Qt::Key_F4, Qt::NoModifier), 115);
    QCOMPARE(keyCode(Qt::Key_5, Qt::KeypadModifier), 101);
    QCOMPARE(keyCode(Qt::Key_5, Qt::NoModifier), int('5'));
    QCOMPARE(shiftState(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), 7);
    QCOMPARE(shiftState(Qt::ControlModifier), 2);
    QCOMPARE(mouseButton(Qt::LeftButton), 1);
    QCOMPARE(mouseButton(Qt::RightButton), 2);
    QCOMPARE(mouseButton(Qt::MiddleButton), 4);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCOMPARE(characterCode(&enter), 13);
    QKeyEvent ctrlN(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier, QString());
    QCOMPARE(characterCode(&ctrlN), 14);
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCOMPARE(characterCode(&a), int('a'));

    // The text boxes report key-up with these codes and swallow a key press
    // whose character a handler set to 0.
    TextBox box;
    QList<QPair<int, int>> ups;
    connect(&box, &TextBox::KeyUp, [&](int k, int s) { ups.append({k, s}); });
    connect(&box, &TextBox::KeyPress, [](int& k) { if (k == 'x') k = 0; });
    QTest::keyClick(&box, Qt::Key_X);
    QTest::keyClick(&box, Qt::Key_Y);
    QCOMPARE(box.Text(), QStringLiteral("y"));
    QTest::keyClick(&box, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(ups.contains(qMakePair(int('S'), 3)));
    // Ctrl let go just before S: the release of S still counts as Ctrl+S.
    ups.clear();
    QTest::keyPress(&box, Qt::Key_S, Qt::ControlModifier);
    QTest::keyRelease(&box, Qt::Key_S, Qt::NoModifier);
    QCOMPARE(ups.last(), qMakePair(int('S'), 2));
    QTest::keyClick(&box, Qt::Key_S);
    QCOMPARE(ups.last(), qMakePair(int('S'), 0));
}

void TestPlatform::filterAndDefaultExtension()
{
    QCOMPARE(Modal::qtFilter(QStringLiteral("MVN5 files (*.mvn5)| *.mvn5")), QStringLiteral("MVN5 files (*.mvn5)"));
    QCOMPARE(Modal::qtFilter(QStringLiteral("Scripts|*.mvn5|All|*")), QStringLiteral("Scripts (*.mvn5);;All (*)"));

    FakeModal modal;
    CommonDialog dialog;
    dialog.DefaultExt = QStringLiteral("*.mvn5");
    dialog.DialogTitle = QStringLiteral("Save MVN5 file");
    modal.fileReplies = {QStringLiteral("/tmp/a/script.mvn5"), QStringLiteral("/tmp/b.txt"), QString()};
    dialog.ShowSave();
    QCOMPARE(dialog.FileName, QStringLiteral("/tmp/a/script.mvn5"));
    QCOMPARE(modal.fileRequests.last().defaultExt, QStringLiteral("mvn5"));
    QVERIFY(modal.fileRequests.last().confirmOverwrite);
    QVERIFY(modal.fileRequests.last().save);
    dialog.ShowSave();
    QCOMPARE(dialog.FileName, QStringLiteral("/tmp/b.txt"));
    dialog.FileName = QStringLiteral("stale");
    dialog.ShowOpen();
    QCOMPARE(dialog.FileName, QString());
    QVERIFY(!modal.fileRequests.last().save);
    QVERIFY(!modal.fileRequests.last().confirmOverwrite);
}

void TestPlatform::twinsAreHiddenAndShareTheHandler()
{
    QWidget window;
    auto* flat = new FlatButton(QStringLiteral("&Add opcode"), QStringLiteral("tip"), &window);
    flat->setGeometry(16, 344, 73, 25);
    QPushButton* twin = makeHiddenTwin(QStringLiteral("Command5"), flat, &window);
    window.show();
    QVERIFY(flat->isVisible());
    QVERIFY(!twin->isVisible());
    QCOMPARE(twin->text(), flat->text());
    QCOMPARE(twin->geometry(), flat->geometry());
    QCOMPARE(flat->toolTip(), QStringLiteral("tip"));
    QVERIFY(flat->isFlat());
}

void TestPlatform::treeReportsMouseDownBeforeClick()
{
    TreeView tree;
    tree.Nodes.Add(QStringLiteral("a"), QStringLiteral("General"), 3);
    tree.Nodes.Add(QStringLiteral("a"), TreeNodes::tvwChild, QStringLiteral("b"), QStringLiteral("Attack"), 4);
    tree.expandAll();
    tree.resize(200, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QStringList events;
    connect(&tree, &TreeView::MouseDown, [&](int b, int, double, double) { events << QStringLiteral("down%1").arg(b); });
    connect(&tree, &TreeView::NodeClick, [&](QTreeWidgetItem* n) { events << n->text(0); });
    connect(&tree, &TreeView::Click, [&] { events << QStringLiteral("click"); });
    connect(&tree, &TreeView::DblClick, [&] { events << QStringLiteral("dbl"); });
    const QPoint at = tree.visualItemRect(tree.Nodes.Item(QStringLiteral("b"))).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(events, QStringList({"down1", "Attack", "click"}));
    events.clear();
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, at);
    QCOMPARE(events, QStringList({"down2", "Attack", "click"}));
    QCOMPARE(TreeView::nodeKey(tree.Nodes.Item(QStringLiteral("b"))), QStringLiteral("b"));
    QCOMPARE(tree.Nodes.Item(QStringLiteral("b"))->parent(), tree.Nodes.Item(QStringLiteral("a")));
    QCOMPARE(tree.Nodes.Count(), 2);
}

// An icon of several files draws the smallest picture at least as big as
// asked, scaled down, or the biggest; disabled it looks different; a file
// that is not there gives no picture, never a crash.
void TestPlatform::iconsDrawTheSizeThatFits()
{
    const QIcon icon = PngIcon::fromFiles({QStringLiteral(":/resources/icons/morvaneo-256.png"),
                                           QStringLiteral(":/resources/icons/morvaneo-48.png")});
    QCOMPARE(icon.availableSizes(), QList<QSize>({QSize(256, 256), QSize(48, 48)}));
    for (const int asked : {16, 48, 100, 256, 400})
        QCOMPARE(icon.pixmap(QSize(asked, asked), 1.0).size(), QSize(qMin(asked, 256), qMin(asked, 256)));
    const QImage normal = icon.pixmap(QSize(48, 48), 1.0).toImage();
    QVERIFY(normal.pixelColor(24, 24).alpha() > 0);
    QVERIFY(icon.pixmap(QSize(48, 48), 1.0, QIcon::Disabled).toImage() != normal);
    QVERIFY(PngIcon::fromFile(QStringLiteral(":/no/such.png")).pixmap(QSize(16, 16), 1.0).isNull());
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
