// What a screen reader finds in each window: the window's role and name, a
// name for every control, none of the hidden push-button twins, and flat
// buttons that do what their click does when a screen reader presses them.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "dialogs/NewScript.h"
#include "dialogs/OpcodeChecker.h"
#include "dialogs/RecentFiles.h"
#include "platform/FlatButton.h"
#include "settings/About.h"
#include "settings/Options.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

// Every accessible object below `iface` that stands for a widget.
void collect(QAccessibleInterface* iface, QList<QAccessibleInterface*>& out)
{
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (!child || !child->object() || !child->object()->isWidgetType())
            continue;
        out.append(child);
        collect(child, out);
    }
}

std::unique_ptr<QWidget> makeWindow(const QByteArray& which)
{
    if (which == "MainWindow")
        return std::make_unique<MainWindow>();
    if (which == "OpcodeChecker")
        return std::make_unique<OpcodeChecker>();
    if (which == "About")
        return std::make_unique<About>();
    if (which == "NewScript")
        return std::make_unique<NewScript>();
    if (which == "RecentFiles")
        return std::make_unique<RecentFiles>();
    return std::make_unique<Options>();
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowsAsAScreenReaderSeesThem_data();
    void windowsAsAScreenReaderSeesThem();
    void pressingAFlatButtonRunsItsCommand();
};

void TestAccessibility::windowsAsAScreenReaderSeesThem_data()
{
    QTest::addColumn<QByteArray>("window");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("main window") << QByteArray("MainWindow") << int(QAccessible::Window)
                                 << QStringLiteral("Morvaneo II BETA - untitled");
    QTest::newRow("checker") << QByteArray("OpcodeChecker") << int(QAccessible::Window)
                             << QStringLiteral("MVN5 opcode checker");
    QTest::newRow("About") << QByteArray("About") << int(QAccessible::Dialog) << QStringLiteral("About");
    QTest::newRow("New script") << QByteArray("NewScript") << int(QAccessible::Dialog)
                                << QStringLiteral("New script");
    QTest::newRow("recent files") << QByteArray("RecentFiles") << int(QAccessible::Dialog)
                                  << QStringLiteral("Recent file list");
    QTest::newRow("Options") << QByteArray("Options") << int(QAccessible::Dialog) << QStringLiteral("Options");
}

void TestAccessibility::windowsAsAScreenReaderSeesThem()
{
    QFETCH(QByteArray, window);
    QFETCH(int, role);
    QFETCH(QString, name);
    TempSettings settings;
    FakeModal modal;
    const std::unique_ptr<QWidget> w = makeWindow(window);
    w->show();
    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(w.get());
    QVERIFY(top);
    QCOMPARE(int(top->role()), role);
    QCOMPARE(top->text(QAccessible::Name), name);
    if (role == QAccessible::Window) {  // also while minimised
        w->showMinimized();
        QCOMPARE(top->text(QAccessible::Name), name);
        w->showNormal();
    }

    QList<QAccessibleInterface*> found;
    collect(top, found);
    QVERIFY(found.size() > 3);
    QStringList unnamed, hidden;
    for (QAccessibleInterface* iface : found) {
        const auto* widget = static_cast<QWidget*>(iface->object());
        if (iface->text(QAccessible::Name).trimmed().isEmpty() && !widget->inherits("QToolBarSeparator") &&
            !widget->inherits("QScrollBar") && !widget->objectName().startsWith(QLatin1String("qt_scrollarea")))
            unnamed << widget->objectName() + QLatin1Char(':') + QLatin1String(widget->metaObject()->className());
        if (qobject_cast<const QPushButton*>(widget) && !qobject_cast<const FlatButton*>(widget) &&
            widget->isHidden() && widget->objectName() != QLatin1String("qt_toolbar_ext_button"))
            hidden << widget->objectName();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u' ')));
    // The hidden twins are not there at all, although they still exist.
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(u' ')));
    bool hasTwin = false;
    for (const QPushButton* b : w->findChildren<QPushButton*>())
        hasTwin = hasTwin || (!qobject_cast<const FlatButton*>(b) && b->isHidden() && b->parentWidget());
    QCOMPARE(hasTwin, window != "OpcodeChecker");
}

void TestAccessibility::pressingAFlatButtonRunsItsCommand()
{
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    w.show();
    QAccessibleInterface* end = QAccessible::queryAccessibleInterface(w.FlatBttn1);
    QVERIFY(end && end->actionInterface());
    QCOMPARE(end->text(QAccessible::Name), QStringLiteral("End"));
    QVERIFY(end->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    modal.messageReplies = {Modal::vbNo};
    end->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(modal.messages.size(), 1);  // a pressed button is clicked a moment later
    QCOMPARE(modal.messages.last().prompt, QStringLiteral("Do you really want to quit??"));
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
