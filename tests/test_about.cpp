// The About box: its texts and layout, the hover colours, the links and OK.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "platform/Desktop.h"
#include "platform/FlatButton.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "settings/About.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace {

const QColor Blue(0, 0, 255);
const QColor White(255, 255, 255);

QColor colourOf(const QLabel* l)
{
    return l->palette().color(QPalette::WindowText);
}

// Sends a mouse event to a widget (at its centre, or at pos) the way the
// window system would, so that it travels on to the parents it passes.
void mouse(QWidget* w, QEvent::Type type, QPoint pos = QPoint(-1, -1))
{
    if (pos == QPoint(-1, -1))
        pos = w->rect().center();
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void hover(QWidget* w, QPoint pos = QPoint(-1, -1))
{
    mouse(w, QEvent::MouseMove, pos);
}

void click(QWidget* w)
{
    mouse(w, QEvent::MouseButtonPress);
    mouse(w, QEvent::MouseButtonRelease);
}

// The names of the links drawn white.
QStringList whiteLinks(const About& about)
{
    QStringList names;
    for (QLabel* l : about.links()) {
        if (colourOf(l) == White)
            names.append(l->objectName());
        else if (colourOf(l) != Blue)
            names.append(l->objectName() + QStringLiteral("?"));
    }
    return names;
}

// A point of the window that no control covers.
QPoint backgroundPoint(const About& about)
{
    for (int y = 0; y < about.height(); y += 3)
        for (int x = 0; x < about.width(); x += 3)
            if (!about.childAt(x, y))
                return {x, y};
    return {-1, -1};
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Desktop::applyLook(); }  // the program's own style and font
    void textsAndLinks();
    void layoutIsTidy();
    void linkToLink();
    void linkToBackgroundOrCoProgrammer();
    void otherControlsKeepTheHighlight();
    void eachLinkOpensItsTarget();
    void shellFailureShowsNothing();
    void okReturnsFocusToTheScript();
    void closeBoxLeavesTheFocus();
    void keyboardAndScreenReaderReachEachLink();
};

void TestAbout::textsAndLinks()
{
    About about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QVERIFY(about.isModal());
    const QList<std::pair<QLabel*, QString>> fixed = {
        {about.Label1, QStringLiteral("Morvaneo II")},
        {about.Label2, QStringLiteral("BETA")},
        {about.Label28, QStringLiteral("Kestrand II pre-release III version")},
        {about.Label6, QStringLiteral("Disclaimer:")},
        {about.Label4, QStringLiteral("By using this program, you agree to the following part:")},
        {about.Label5, QStringLiteral("You use this software at your own risk holding no one who ever worked on this "
                                      "project responsible for possible damages etc. to you and/or your computer!")},
        {about.Label17, QStringLiteral("Co-Programmer:")},
        {about.Label8, QStringLiteral("Mail:")},
        {about.Label10, QStringLiteral("URL:")},
        {about.Label7, QStringLiteral("Credits:")},
        {about.Label14, QStringLiteral(" Visit")},
        {about.Label16, QStringLiteral(" for the newest version and other stuff!")},
    };
    for (const auto& [label, text] : fixed)
        QCOMPARE(label->text(), text);
    QVERIFY(about.Label1->font().bold());
    QVERIFY(about.Label5->wordWrap());
    QCOMPARE(about.Image1->pixmap().size(), QSize(48, 48));

    // Each link: one blank, then the address; blue and underlined; the
    // address under the project's own reserved domain.
    for (QLabel* l : about.links()) {
        QVERIFY(l->text().startsWith(u' '));
        QCOMPARE(colourOf(l), Blue);
        QVERIFY(l->font().underline());
        QVERIFY(l->text().contains(QStringLiteral("example.org")));
        const QString target = About::targetOf(l->objectName());
        QCOMPARE(target, (l == about.Label9 ? QStringLiteral("mailto:") : QString()) + l->text().mid(1));
    }
    QCOMPARE(about.Label15->text(), about.Label11->text());

    QCOMPARE(about.FlatBttn1->text(), QStringLiteral("&OK"));
    QCOMPARE(about.Command1->text(), QStringLiteral("&Ok"));
    QVERIFY(about.Command1->isHidden());
}

void TestAbout::layoutIsTidy()
{
    About about;
    about.show();
    QList<QWidget*> controls;
    for (QWidget* w : about.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!w->isHidden())
            controls.append(w);
    for (QWidget* w : controls) {
        QVERIFY2(about.rect().contains(w->geometry()), qPrintable(w->objectName()));
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->wordWrap() && l->pixmap().isNull())
            QVERIFY2(l->sizeHint().width() <= l->width(), qPrintable(l->objectName() + QStringLiteral(" is cut")));
        for (QWidget* other : controls)
            if (other != w)
                QVERIFY2(!w->geometry().intersects(other->geometry()),
                         qPrintable(w->objectName() + QStringLiteral(" overlaps ") + other->objectName()));
    }
    // The bottom sentence reads as one line.
    QCOMPARE(about.Label15->x(), about.Label14->geometry().right() + 1);
    QCOMPARE(about.Label16->x(), about.Label15->geometry().right() + 1);
}

void TestAbout::linkToLink()
{
    About about;
    about.show();
    for (QLabel* l : about.links()) {
        hover(l);
        QCOMPARE(whiteLinks(about), QStringList{l->objectName()});
    }
}

void TestAbout::linkToBackgroundOrCoProgrammer()
{
    About about;
    about.show();
    const QPoint background = backgroundPoint(about);
    QVERIFY(background.x() >= 0);
    hover(about.Label11);
    hover(&about, background);
    QCOMPARE(whiteLinks(about), QStringList());
    hover(about.Label27);
    hover(about.Label17);
    QCOMPARE(whiteLinks(about), QStringList());
    // The blank beside a short link is background too.
    hover(about.Label9);
    hover(&about, QPoint(about.Label9->geometry().right() + 8, about.Label9->geometry().center().y()));
    QCOMPARE(whiteLinks(about), QStringList());
}

void TestAbout::otherControlsKeepTheHighlight()
{
    About about;
    about.show();
    hover(about.Label12);
    for (QWidget* other : QList<QWidget*>{about.Label5, about.Label8, about.Label10, about.Label1, about.Label14,
                                           about.Label16, about.Image1, about.FlatBttn1})
        hover(other);
    QCOMPARE(whiteLinks(about), QStringList{QStringLiteral("Label12")});
}

void TestAbout::eachLinkOpensItsTarget()
{
    FakeModal modal;
    About about;
    about.show();
    for (QLabel* l : about.links())
        click(l);
    QCOMPARE(modal.shellRequests,
             (QStringList{QStringLiteral("mailto:morvaneo@example.org"), QStringLiteral("https://kestrand.example.org/"),
                          QStringLiteral("https://morvaneo.example.org/"),
                          QStringLiteral("https://scriptguild.example.org/"),
                          QStringLiteral("https://morvaneo.example.org/")}));
    // A press on one link released over another is no click.
    modal.shellRequests.clear();
    mouse(about.Label9, QEvent::MouseButtonPress);
    mouse(about.Label27, QEvent::MouseButtonRelease);
    QVERIFY(modal.shellRequests.isEmpty());
    // The handlers themselves, as the click wiring calls them.
    about.Label15_Click();
    QCOMPARE(modal.shellRequests, QStringList{QStringLiteral("https://morvaneo.example.org/")});
}

void TestAbout::shellFailureShowsNothing()
{
    FakeModal modal;
    modal.shellReply = false;
    About about;
    about.show();
    hover(about.Label11);
    click(about.Label11);
    QCOMPARE(modal.shellRequests.size(), 1);
    QVERIFY(modal.messages.isEmpty());
    QVERIFY(about.isVisible());
    QCOMPARE(whiteLinks(about), QStringList{QStringLiteral("Label11")});
}

void TestAbout::okReturnsFocusToTheScript()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow main;
    main.show();
    main.Text2->setFocus();
    About about(&main);
    about.show();
    about.FlatBttn1->click();
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QCOMPARE(main.focusWidget(), static_cast<QWidget*>(main.Text1));

    // The hidden twin does the same.
    main.Text2->setFocus();
    About again(&main);
    again.show();
    again.Command1->click();
    QVERIFY(!again.isVisible());
    QCOMPARE(main.focusWidget(), static_cast<QWidget*>(main.Text1));
}

void TestAbout::closeBoxLeavesTheFocus()
{
    {
        // Without a main window, OK only closes.
        QVERIFY(!MainWindow::instance());
        About alone;
        alone.show();
        alone.FlatBttn1_Click();
        QVERIFY(!alone.isVisible());
    }
    TempSettings settings;
    FakeModal modal;
    MainWindow main;
    main.show();
    main.Text2->setFocus();
    About about(&main);
    about.show();
    QVERIFY(about.close());
    QVERIFY(!about.isVisible());
    QCOMPARE(main.focusWidget(), static_cast<QWidget*>(main.Text2));

}

void TestAbout::keyboardAndScreenReaderReachEachLink()
{
    FakeModal modal;
    About about;
    about.show();
    about.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&about));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(about.FlatBttn1));
    // Tab walks from OK through the links in reading order; the focused link
    // alone is white, and Enter, Return or Space open it as a click does,
    // without closing the window through its default button.
    const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Return, Qt::Key_Space};
    QStringList expected;
    int k = 0;
    for (QLabel* l : about.links()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(l));
        QCOMPARE(whiteLinks(about), QStringList{l->objectName()});
        QTest::keyClick(l, keys[k++]);
        expected << About::targetOf(l->objectName());
        QCOMPARE(modal.shellRequests, expected);
        QVERIFY(about.isVisible());
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(about.FlatBttn1));
    QCOMPARE(whiteLinks(about), QStringList());

    // A screen reader sees a link named by its address and presses it.
    modal.shellRequests.clear();
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(about.Label9);
    QVERIFY(link && link->actionInterface());
    QCOMPARE(link->role(), QAccessible::Link);
    QCOMPARE(link->text(QAccessible::Name), QStringLiteral("morvaneo@example.org"));
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(modal.shellRequests, QStringList{QStringLiteral("mailto:morvaneo@example.org")});
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
