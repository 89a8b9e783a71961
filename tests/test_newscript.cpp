// The New-script dialog: its checks, the OK rule, the header it writes and
// the ways of closing it without writing.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "dialogs/NewScript.h"
#include "platform/CheckBox.h"
#include "platform/FlatButton.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {
const QString Old = QStringLiteral("Attack\r\nWait 300");

QString storedNewScript()
{
    return GetSetting(QStringLiteral("Morvaneo"), QStringLiteral("Config"), QStringLiteral("NewScript"),
                      QStringLiteral("<absent>"));
}

// A main window holding an old script (with "Wait" selected) and a dialog over it.
struct Fixture {
    TempSettings settings;
    FakeModal modal;
    MainWindow main;
    NewScript dialog{&main};
    Fixture()
    {
        main.Text1->setText(Old);
        main.Text1->setSelStart(8);
        main.Text1->setSelLength(4);
        main.Text2->setFocus();
        dialog.show();
    }
    void fill(const QString& identifier, const QString& name)
    {
        dialog.ScriptIdentifier->setText(identifier);
        dialog.ScriptName->setText(name);
    }
};
}  // namespace

class TestNewScript : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freshDialog()
    {
        Fixture f;
        NewScript& d = f.dialog;
        QCOMPARE(d.windowTitle(), QStringLiteral("New script"));
        QVERIFY(d.ScriptIdentifier->Text().isEmpty() && d.ScriptName->Text().isEmpty());
        QVERIFY(d.CampaignScript->isChecked() && !d.CustomScript->isChecked());
        QCOMPARE(d.Neveragain->Value(), 0);
        QVERIFY(!d.OK->isEnabled() && d.FlatBttn2->isEnabled());
        QVERIFY(d.OK->isHidden() && d.Command1->isHidden());
        QCOMPARE(d.focusWidget(), d.ScriptIdentifier);
        // Tab order as the keyboard walks it.
        QList<QWidget*> order;
        for (QWidget* w = d.ScriptIdentifier; order.size() < 7; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&d))
                order << w;
        QCOMPARE(order, (QList<QWidget*>{d.ScriptIdentifier, d.ScriptName, d.CampaignScript, d.CustomScript,
                                         d.Neveragain, d.FlatBttn1, d.FlatBttn2}));
    }

    void identifierTakesFourCharacters()
    {
        Fixture f;
        QTest::keyClicks(f.dialog.ScriptIdentifier, QStringLiteral("abcde"));
        QCOMPARE(f.dialog.ScriptIdentifier->Text(), QStringLiteral("abcd"));
    }

    void okEnabling()
    {
        Fixture f;
        NewScript& d = f.dialog;
        QTest::keyClicks(d.ScriptIdentifier, QStringLiteral("ABCD"));
        QVERIFY(!d.OK->isEnabled());
        QTest::keyClicks(d.ScriptName, QStringLiteral("T"));
        QVERIFY(d.OK->isEnabled());
        QTest::keyClick(d.ScriptIdentifier, Qt::Key_Backspace);
        QVERIFY(!d.OK->isEnabled());
        QVERIFY(d.FlatBttn2->isEnabled());
    }

    void checks_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusOnName");
        QTest::newRow("both empty") << "" << "" << "Please type in a script identifier!" << false;
        QTest::newRow("empty identifier") << "" << "Test" << "Please type in a script identifier!" << false;
        QTest::newRow("two chars") << "AB" << "Test" << "Script identifier must be 4 chars long!" << false;
        QTest::newRow("short before empty name") << "ABC" << "" << "Script identifier must be 4 chars long!"
                                                 << false;
        QTest::newRow("empty name") << "ABCD" << "" << "Please type in a script name!" << true;
    }
    // Confirmed through the flat OK, which is clickable whatever is typed.
    void checks()
    {
        QFETCH(QString, identifier);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(bool, focusOnName);
        Fixture f;
        f.fill(identifier, name);
        f.dialog.Neveragain->setValue(1);
        f.dialog.Neveragain->setFocus();
        f.dialog.FlatBttn2->click();
        QCOMPARE(f.modal.messages.size(), 1);
        QCOMPARE(f.modal.messages[0].prompt, message);
        QCOMPARE(f.modal.messages[0].style, Modal::vbCritical);
        QCOMPARE(f.modal.messages[0].title, QStringLiteral("Error"));
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.dialog.focusWidget(), focusOnName ? f.dialog.ScriptName : f.dialog.ScriptIdentifier);
        QCOMPARE(f.main.Text1->Text(), QString());
        QCOMPARE(f.dialog.ScriptIdentifier->Text(), identifier);
        QCOMPARE(f.dialog.ScriptName->Text(), name);
        QCOMPARE(storedNewScript(), QStringLiteral("<absent>"));
    }

    void header_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("custom");
        QTest::addColumn<int>("neverAgain");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("stored");
        QTest::newRow("campaign") << "ABCD" << "Test" << false << 0
                                  << "Script_Identifier ABCD\r\nScript_Name Test\r\nCampaign_Script\r\n"
                                  << "<absent>";
        QTest::newRow("custom, switched off")
            << "ABCD" << "Test" << true << 1 << "Script_Identifier ABCD\r\nScript_Name Test\r\nCustom_Script\r\n"
            << "0";
        QTest::newRow("grey check box stores nothing")
            << "ABCD" << "Test" << false << 2
            << "Script_Identifier ABCD\r\nScript_Name Test\r\nCampaign_Script\r\n" << "<absent>";
        QTest::newRow("kept as typed") << "pz 1" << "  My  rush " << false << 0
                                       << "Script_Identifier pz 1\r\nScript_Name   My  rush \r\nCampaign_Script\r\n"
                                       << "<absent>";
    }
    // The old script had text and a selection: the header replaces all of it.
    void header()
    {
        QFETCH(QString, identifier);
        QFETCH(QString, name);
        QFETCH(bool, custom);
        QFETCH(int, neverAgain);
        QFETCH(QString, expected);
        QFETCH(QString, stored);
        Fixture f;
        f.fill(identifier, name);
        if (custom)
            f.dialog.CustomScript->click();
        f.dialog.Neveragain->setValue(neverAgain);
        f.dialog.OK->click();
        QVERIFY(f.modal.messages.isEmpty());
        QCOMPARE(f.main.Text1->Text(), expected);
        QCOMPARE(f.main.Text1->SelStart(), expected.size());
        QCOMPARE(f.main.Text1->SelLength(), 0);
        QCOMPARE(storedNewScript(), stored);
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(f.main.focusWidget(), f.main.Text1);
    }

    void closingWithoutWriting_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("flat Cancel") << 1;
        QTest::newRow("window frame") << 2;
    }
    void closingWithoutWriting()
    {
        QFETCH(int, how);
        Fixture f;
        f.fill(QStringLiteral("ABCD"), QStringLiteral("Test"));
        f.dialog.Neveragain->setValue(1);
        if (how == 0)
            f.dialog.Command1->click();
        else if (how == 1)
            f.dialog.FlatBttn1->click();
        else
            f.dialog.close();
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.main.Text1->Text(), Old);
        QCOMPARE(f.main.Text1->SelText(), QStringLiteral("Wait"));
        QCOMPARE(storedNewScript(), QStringLiteral("<absent>"));
        QVERIFY(f.modal.messages.isEmpty());
        if (how < 2)
            QCOMPARE(f.main.focusWidget(), f.main.Text1);
    }

    // The real entry point runs the dialog modally and destroys it on closing.
    void showModalCreatesAndDestroys()
    {
        TempSettings settings;
        FakeModal modal;
        MainWindow main;
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<NewScript*>(QApplication::activeModalWidget());
            seen = d && d->parent() == &main;
            if (d)
                d->close();
        });
        NewScript::ShowModal(&main);
        QVERIFY(seen);
        QVERIFY(main.findChildren<NewScript*>().isEmpty());
    }
};

QTEST_MAIN(TestNewScript)
#include "test_newscript.moc"
