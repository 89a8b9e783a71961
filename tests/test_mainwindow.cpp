// The main window: controls, start-up, the modified flag, captions, the
// script box's events, the quit request and the drop animation's path.
#include "TestSupport.h"

#include "app/DropTrajectory.h"
#include "app/MainWindow.h"
#include "platform/Desktop.h"
#include "platform/FlatButton.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"

#include <QLabel>
#include <QtTest>

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsSitAtTheirPlaces();
    void startUpWithoutArguments();
    void typingMarksTheScriptModified();
    void scriptBoxMouseAndKeys();
    void quitRequestNoKeepsEverything();
    void quitRequestYesDropsAndEnds_data();
    void quitRequestYesDropsAndEnds();
    void enlargingGivesRoomToTreeAndScript();
    void trajectoryFollowsTheBounces();
    void trajectoryWithoutTaskBarAndLowWindow();
    void trajectoryAlwaysEnds();
    void taskBarFromScreenGeometry();
    void commandLineJoinsArguments();
};

void TestMainWindow::controlsSitAtTheirPlaces()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    // The rows of the window, top to bottom, each control of a row left of
    // the next, with the captions and tooltips the user reads.
    const struct { const char* name; const char* caption; const char* tip; } rows[][5] = {
        {{"Toolbar1", nullptr, nullptr}, {"Text2", nullptr, nullptr},
         {"FlatBttn2", "Abo&ut Morvaneo", "Show more info on Morvaneo II"}, {"FlatBttn1", "&End", "Exit Morvaneo II"}},
        {{"TreeView1", nullptr, nullptr}, {"Text1", nullptr, nullptr}},
        {{"FlatBttn7", "&Add opcode", "Add opcode with given value"},
         {"FlatBttn6", "Make re&build", "Make a rebuild command for selected unit"},
         {"FlatBttn5", "&Make attacking", "Make the selected units attacking units"},
         {"FlatBttn4", "&Recent files", "Show recent file list"}, {"FlatBttn3", "&Options", "Set options"}},
        {{"Label1", nullptr, nullptr}},
        {{"Label2", "Kestrand II pre-release III version", nullptr}},
    };
    QList<QWidget*> placed;
    int rowTop = -1;
    for (const auto& row : rows) {
        QWidget* left = nullptr;
        int bottom = rowTop;
        for (const auto& c : row) {
            if (!c.name)
                break;
            auto* widget = w.findChild<QWidget*>(QLatin1StringView(c.name));
            QVERIFY2(widget && widget->isVisible(), c.name);
            const QRect g = widget->geometry();
            QVERIFY2(QRect(QPoint(), w.size()).contains(g) && !g.isEmpty(), c.name);
            QVERIFY2(g.top() > rowTop, c.name);
            QVERIFY2(!left || left->geometry().right() < g.left(), c.name);
            for (QWidget* other : placed)
                QVERIFY2(!other->geometry().intersects(g), c.name);
            if (auto* button = qobject_cast<FlatButton*>(widget)) {
                QCOMPARE(button->text(), QString::fromUtf8(c.caption));
                QCOMPARE(button->toolTip(), QString::fromUtf8(c.tip));
            } else if (auto* label = qobject_cast<QLabel*>(widget); label && c.caption) {
                QCOMPARE(label->text(), QString::fromUtf8(c.caption));
            }
            placed.append(widget);
            left = widget;
            bottom = qMax(bottom, g.bottom());
        }
        rowTop = bottom;
    }
    QCOMPARE(w.Text2->Text(), QStringLiteral("1"));
    QCOMPARE(w.Text1->accessibleName(), QStringLiteral("Script"));
    QCOMPARE(w.Text2->accessibleName(), QStringLiteral("Value"));
    QCOMPARE(w.TreeView1->accessibleName(), QStringLiteral("Opcode catalogue"));
    QCOMPARE(w.Text1->wrapMode(), QsciScintilla::WrapNone);

    // The twins behind the flat buttons: hidden, same caption, same handler.
    const std::pair<QPushButton*, FlatButton*> twins[] = {
        {w.Command5, w.FlatBttn7}, {w.Command1, w.FlatBttn6}, {w.Command4, w.FlatBttn5},
        {w.Recent, w.FlatBttn4}, {w.Command3, w.FlatBttn3}, {w.Command2, w.FlatBttn2}, {w.End, w.FlatBttn1}};
    for (const auto& [twin, flat] : twins) {
        QVERIFY(!twin->isVisible());
        QCOMPARE(twin->text(), flat->text());
        QCOMPARE(twin->geometry(), flat->geometry());
    }
    modal.messageReplies = {Modal::vbNo, Modal::vbNo};
    w.End->click();
    w.FlatBttn1->click();
    QCOMPARE(modal.messages.size(), 2);

    const QStringList keys = {"New", "Open", "Save", "Undo", "Cut", "Copy", "Paste"};
    for (const QString& key : keys) {
        QWidget* b = w.Toolbar1->button(key);
        QVERIFY2(b, qPrintable(key));
        QCOMPARE(b->accessibleName(), key);
    }
}

void TestMainWindow::startUpWithoutArguments()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Morvaneo II BETA - untitled"));
    w.show();
    QVERIFY(w.TreeView1->topLevelItemCount() > 0);  // the load handler filled the tree
    QCOMPARE(w.Text1->Text(), QString());
    QCOMPARE(w.Changed, qint16(0));
    QCOMPARE(w.ActualFile, QString());
    QVERIFY(w.Label1->text().startsWith(QStringLiteral("Morvaneo II BETA - ") + QChar(0xA9)));
    QVERIFY(w.Label1->text().size() > 25);
    QVERIFY(modal.messages.isEmpty());
    // Showing again does not load twice: the tree keeps its four top nodes
    // and an edit stays marked.
    w.Text1->setSelText(QStringLiteral("kept"));
    w.hide();
    w.show();
    QCOMPARE(w.TreeView1->topLevelItemCount(), 4);
    QCOMPARE(w.Changed, qint16(1));
}

void TestMainWindow::typingMarksTheScriptModified()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Text1->setFocus();
    QTest::keyClick(w.Text1, Qt::Key_A);
    QCOMPARE(w.Changed, qint16(1));
    QTest::keyClick(w.Text1, Qt::Key_Backspace);
    QCOMPARE(w.Text1->Text(), QString());
    QCOMPARE(w.Changed, qint16(1));
    w.Changed = 0;
    w.Text1->setSelText(QStringLiteral("Attack"));
    QCOMPARE(w.Changed, qint16(1));
}

void TestMainWindow::scriptBoxMouseAndKeys()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    w.Text1->setText(QStringLiteral("Zealot"));
    w.Text1->SetFocus();

    // A double-click after a left press moves to the tree; after a right press it doesn't.
    QTest::mouseClick(w.Text1->viewport(), Qt::LeftButton, {}, QPoint(10, 8));
    QTest::mouseDClick(w.Text1->viewport(), Qt::LeftButton, {}, QPoint(10, 8));
    QCOMPARE(w.MouseButton, qint16(1));
    QVERIFY(w.TreeView1->hasFocus());
    w.Text1->SetFocus();
    QTest::mousePress(w.Text1->viewport(), Qt::RightButton, {}, QPoint(10, 8));
    QTest::mouseRelease(w.Text1->viewport(), Qt::RightButton, {}, QPoint(10, 8));
    QCOMPARE(w.MouseButton, qint16(2));
    w.Text1_DblClick();
    QVERIFY(w.Text1->hasFocus());

    // Releasing Insert runs Make attacking whatever the shift state; with
    // nothing selected that is its error message.
    w.Text1->setSelStart(0);
    for (Qt::KeyboardModifiers m : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier),
                                     Qt::KeyboardModifiers(Qt::ControlModifier)})
        QTest::keyRelease(w.Text1, Qt::Key_Insert, m);
    QCOMPARE(modal.messages.size(), 3);
    QCOMPARE(modal.messages.last().prompt, QStringLiteral("You must highlight the units!"));
    QTest::keyRelease(w.Text2, Qt::Key_Insert);
    QCOMPARE(modal.messages.size(), 3);
}

void TestMainWindow::quitRequestNoKeepsEverything()
{
    TempSettings settings;
    FakeModal modal;
    FakeClock clock;
    MainWindow w;
    w.show();
    w.Text1->setText(QStringLiteral("Wait 5"));
    const QRect before = w.geometry();
    modal.messageReplies = {Modal::vbNo, Modal::vbNo, Modal::vbYes};
    w.FlatBttn1_Click();
    QCOMPARE(modal.messages.last().prompt, QStringLiteral("Do you really want to quit??"));
    QCOMPARE(modal.messages.last().title, QStringLiteral("Morvaneo"));
    QCOMPARE(modal.messages.last().style, Modal::vbYesNo + Modal::vbQuestion);
    // The frame's close is refused whatever the answer.
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(w.Text1->Text(), QStringLiteral("Wait 5"));
    QCOMPARE(w.geometry(), before);
    QCOMPARE(modal.endRequests, 0);
    QVERIFY(!w.close());  // Yes: the window drops and the program ends
    QVERIFY(w.isVisible());
    QCOMPARE(modal.endRequests, 1);
}

void TestMainWindow::quitRequestYesDropsAndEnds_data()
{
    QTest::addColumn<Qt::WindowState>("state");
    QTest::newRow("normal") << Qt::WindowNoState;
    QTest::newRow("maximised") << Qt::WindowMaximized;
    QTest::newRow("minimised") << Qt::WindowMinimized;
}

void TestMainWindow::quitRequestYesDropsAndEnds()
{
    QFETCH(Qt::WindowState, state);
    TempSettings settings;
    FakeModal modal;
    FakeClock clock;
    MainWindow w;
    w.show();
    w.move(100, 100);
    w.setWindowState(state);
    w.Changed = 1;
    modal.messageReplies = {Modal::vbYes};
    w.End->click();
    QCOMPARE(modal.messages.size(), 1);  // no save prompt
    QCOMPARE(modal.endRequests, 1);
    // Restored, collapsed to a 4000 twips wide title bar that stays on the
    // screen (a client area of height 0 would be unmapped), out of sight at
    // the end, in about two seconds.
    QCOMPARE(w.windowState(), Qt::WindowNoState);
    QCOMPARE(w.frameGeometry().width(), 4000 / 15);
    QCOMPARE(w.height(), 1);
    const DropPlan plan = dropTrajectory(0, 0, Desktop::taskBarTop(&w), Desktop::screenHeightTwips(&w));
    QVERIFY(w.frameGeometry().top() * 15 >= plan.floor + 15000 - 150);
    QVERIFY2(clock.time >= 1000 && clock.time <= 3000, qPrintable(QString::number(clock.time)));
}

void TestMainWindow::enlargingGivesRoomToTreeAndScript()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    const QSize base = w.size();
    QCOMPARE(base, QSize(6975 / 15, 6255 / 15));
    const QRect tree = w.TreeView1->geometry(), script = w.Text1->geometry(), label = w.Label2->geometry();
    const QRect button = w.FlatBttn3->geometry();
    w.resize(base + QSize(300, 200));
    QCOMPARE(w.TreeView1->height(), tree.height() + 200);
    QCOMPARE(w.Text1->height(), script.height() + 200);
    QVERIFY(w.TreeView1->width() > tree.width());
    QVERIFY(w.Text1->width() > script.width());
    QCOMPARE(w.Text1->geometry().right() + (base.width() - script.right()), w.width());
    QCOMPARE(w.FlatBttn3->y(), button.y() + 200);
    QCOMPARE(w.Label2->y(), label.y() + 200);
    QCOMPARE(w.Label2->width(), w.width());
    QCOMPARE(w.Command3->geometry(), w.FlatBttn3->geometry());
}

void TestMainWindow::trajectoryFollowsTheBounces()
{
    // Task bar top at 1040 px: floor 15600, first apex 11600.
    const DropPlan plan = dropTrajectory(3000, 1500, 1040, 16200);
    QCOMPARE(plan.floor, 15600);
    QCOMPARE(plan.firstBounce, 11600);
    const auto& s = plan.steps;
    QVERIFY(!s.empty());
    // Falls with step 150 and 15 twips of drift per step.
    QCOMPARE(s[0].top, 3150.0);
    QCOMPARE(s[0].left, 1515.0);
    // Walk the path: track apexes and step sizes.
    QList<double> apexes;
    QList<double> stepSizes;
    double prevTop = 3000, prevLeft = 1500;
    int direction = 1;
    bool final = false;
    for (const DropStep& st : s) {
        const double d = st.top - prevTop;
        if (!st.processEvents) {
            final = true;
            QCOMPARE(st.left, prevLeft);  // no drift in the final fall
            QVERIFY(d > 0);
        } else {
            QVERIFY(!final);
            QCOMPARE(st.left - prevLeft, 15.0);
            if ((d > 0 ? 1 : -1) != direction) {
                if (direction < 0)
                    apexes << prevTop;
                direction = -direction;
            }
            stepSizes << std::abs(d);
        }
        prevTop = st.top;
        prevLeft = st.left;
    }
    QVERIFY(final);
    QVERIFY(prevTop >= plan.floor + 15000);
    QVERIFY(prevTop < plan.floor + 15000 + 150);
    // Each rise ends at or above its apex, which grows by 1000 per bounce.
    QVERIFY(apexes.size() >= 2);
    QVERIFY(apexes[0] <= 11600 && apexes[0] > 11600 - 150);
    QVERIFY(apexes[1] <= 12600 && apexes[1] > 12600 - 150);
    // The step shrinks by 5 per bounce.
    QCOMPARE(stepSizes.first(), 150.0);
    QVERIFY(stepSizes.contains(145.0));
    QVERIFY(stepSizes.contains(140.0));
    QVERIFY(!stepSizes.contains(155.0));
}

void TestMainWindow::trajectoryWithoutTaskBarAndLowWindow()
{
    // No task bar: the screen height (rounded half to even) is the floor.
    QCOMPARE(dropTrajectory(0, 0, std::nullopt, 12000.5).floor, 12000);
    QCOMPARE(dropTrajectory(0, 0, std::nullopt, 12001.5).floor, 12002);
    QCOMPARE(dropTrajectory(0, 0, 0, 9000).floor, 9000);  // a bar at the top counts as none
    // A window below the first apex bounces back to its own Top.
    const DropPlan low = dropTrajectory(13000.5, 0, 1000, 16000);
    QCOMPARE(low.floor, 15000);
    QCOMPARE(low.firstBounce, 13000);
    // A small screen: the apex keeps growing until it passes 10000 twips.
    const DropPlan small = dropTrajectory(0, 0, std::nullopt, 3000);
    QVERIFY(small.steps.back().top >= 18000);
    QCOMPARE(roundHalfEven(2.5), 2);
    QCOMPARE(roundHalfEven(3.5), 4);
}

void TestMainWindow::trajectoryAlwaysEnds()
{
    // After many bounces the step stops shrinking at 5.
    const DropPlan deep = dropTrajectory(-2e6, 0, std::nullopt, -1e6);
    const size_t n = deep.steps.size();
    QVERIFY(n > 2);
    QCOMPARE(deep.steps[n - 1].top - deep.steps[n - 2].top, 5.0);
    // A task bar far down: four bounces up to the floor, and a fifth because
    // the last fall overshoots it; the step ends at 125.
    const DropPlan tall = dropTrajectory(0, 0, 40000, 0);
    const size_t m = tall.steps.size();
    QCOMPARE(tall.steps[m - 1].top - tall.steps[m - 2].top, 125.0);
    for (int top : {-5000, 0, 7000, 20000, 90000})
        for (int bar : {0, 1, 300, 2000}) {
            const DropPlan p = dropTrajectory(top, 0, bar, 15000);
            const double end = p.steps.empty() ? top : p.steps.back().top;
            QVERIFY(end >= p.floor + 15000);  // already out of sight: no step at all
        }
}

void TestMainWindow::taskBarFromScreenGeometry()
{
    // A panel along the bottom: the available area stops above it.
    QCOMPARE(Desktop::taskBarTop(0, 1079, 0, 1039), std::optional<int>(1040));
    // A panel along the top or none: nothing to land on.
    QCOMPARE(Desktop::taskBarTop(0, 1079, 40, 1079), std::optional<int>());
    QCOMPARE(Desktop::taskBarTop(0, 1079, 0, 1079), std::optional<int>());
}

void TestMainWindow::commandLineJoinsArguments()
{
    QCOMPARE(Desktop::commandLineText({"morvaneo"}), QString());
    QCOMPARE(Desktop::commandLineText({"morvaneo", "/tmp/my", "script.mvn5"}), QStringLiteral("/tmp/my script.mvn5"));
    QCOMPARE(Desktop::commandLineText({"morvaneo", "\"/tmp/a b\""}), QStringLiteral("\"/tmp/a b\""));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
