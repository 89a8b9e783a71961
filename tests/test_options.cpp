// The Options dialog: what it shows for a stored state, the enabling rule,
// browsing, what OK writes (with the pairing of the two directories) and
// that Cancel and the window frame write nothing.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "platform/CheckBox.h"
#include "platform/FlatButton.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "settings/Options.h"
#include "settings/SettingsStore.h"

#include <QPushButton>
#include <QtTest>

namespace {
const QString None = QStringLiteral("(No directory)");
const QString Absent = QStringLiteral("<absent>");
const QStringList Keys{"ProgramLogo", "NewScript", "DefaultOpen", "DefaultSave", "UseDefOpen", "UseDefSave"};

// Stores "key=value" pairs; a value of "-" leaves the key absent.
void store(const QStringList& values)
{
    for (qsizetype i = 0; i < values.size(); ++i)
        if (values[i] != QLatin1StringView("-"))
            SaveSetting(QStringLiteral("Morvaneo"), QStringLiteral("Config"), Keys[i], values[i]);
}

QStringList stored()
{
    QStringList values;
    for (const QString& key : Keys)
        values << GetSetting(QStringLiteral("Morvaneo"), QStringLiteral("Config"), key, Absent);
    return values;
}

// Value, text and enabled state of one directory row, e.g. "1 /srv on".
QString row(const CheckBox* check, const TextBox* box, const FlatButton* browse)
{
    const bool on = box->isEnabled();
    return QStringLiteral("%1 %2 %3")
        .arg(check->Value())
        .arg(box->Text(), on && browse->isEnabled() ? QStringLiteral("on")
                          : !on && !browse->isEnabled() ? QStringLiteral("off")
                                                        : QStringLiteral("mixed"));
}
}  // namespace

class TestOptions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loading_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("save");
        const QString off = QStringLiteral("0 (No directory) off");
        QTest::newRow("fresh store") << QStringList{"-", "-", "-", "-", "-", "-"} << "1 1" << off << off;
        QTest::newRow("both switched off") << QStringList{"0", "0", "", "", "", ""} << "0 0" << off << off;
        QTest::newRow("only exact 0 is off") << QStringList{" 0", "00", "-", "-", "-", "-"} << "1 1" << off << off;
        QTest::newRow("directory with its flag off")
            << QStringList{"-", "-", "/srv/open", "-", "", "-"} << "1 1" << "0 /srv/open off" << off;
        QTest::newRow("flag on without directory")
            << QStringList{"-", "-", "", "", "1", "1"} << "1 1" << off << off;
        QTest::newRow("both in use") << QStringList{"1", "", "/o", "C:\\", "1", "yes"} << "1 1" << "1 /o on"
                                     << "1 C:\\ on";
    }
    void loading()
    {
        QFETCH(QStringList, values);
        TempSettings settings;
        store(values);
        Options d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Options"));
        QTEST(QStringLiteral("%1 %2").arg(d.ProgramLogo->Value()).arg(d.NewScriptWindow->Value()), "flags");
        QTEST(row(d.DefOpen, d.OpenDirectory, d.OpenBrowse), "open");
        QTEST(row(d.DefSave, d.SaveDirectory, d.SaveBrowse), "save");
        QVERIFY(d.OpenDirectory->isReadOnly() && d.SaveDirectory->isReadOnly());
        QVERIFY(d.OK->isHidden() && d.Cancel->isHidden() && d.Command1->isHidden());
    }

    void enablingAndBrowsing()
    {
        TempSettings settings;
        FakeModal modal;
        store({"-", "-", "/o", "/s", "", ""});
        Options d;
        d.DefOpen->click();
        QCOMPARE(row(d.DefOpen, d.OpenDirectory, d.OpenBrowse), QStringLiteral("1 /o on"));
        modal.folderReplies = {QStringLiteral("/home/me/ai"), QString()};
        d.OpenBrowse->click();
        QCOMPARE(modal.folderRequests, QStringList{"Please choose a folder:"});
        QCOMPARE(d.OpenDirectory->Text(), QStringLiteral("/home/me/ai"));
        d.OpenBrowse->click();  // cancelled
        QCOMPARE(d.OpenDirectory->Text(), QStringLiteral("/home/me/ai"));
        d.DefOpen->click();
        QCOMPARE(row(d.DefOpen, d.OpenDirectory, d.OpenBrowse), QStringLiteral("0 /home/me/ai off"));

        d.DefSave->setValue(1);
        modal.folderReplies = {QStringLiteral("/")};
        d.SaveBrowse->click();
        QCOMPARE(row(d.DefSave, d.SaveDirectory, d.SaveBrowse), QStringLiteral("1 / on"));
    }

    void confirming_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("actions");  // o/s: browse a folder, O/S: toggle a flag, l/n: toggle a switch
        QTest::addColumn<QStringList>("after");
        QTest::newRow("unchanged fresh store")
            << QStringList{"-", "-", "-", "-", "-", "-"} << "" << QStringList{"", "", "", "", "", ""};
        QTest::newRow("only an open directory chosen")
            << QStringList{"-", "-", "-", "-", "-", "-"} << "Oo" << QStringList{"", "", "", "", "1", ""};
        QTest::newRow("both chosen, switches off")
            << QStringList{"-", "-", "-", "-", "-", "-"} << "OoSsln" << QStringList{"0", "0", "/f1", "/f2", "1", "1"};
        QTest::newRow("flag unchecked keeps both directories")
            << QStringList{"0", "0", "/o", "/s", "1", "1"} << "Oln"
            << QStringList{"", "", "/o", "/s", "", "1"};
        QTest::newRow("directories kept with both flags off")
            << QStringList{"-", "-", "/o", "/s", "", ""} << "" << QStringList{"", "", "/o", "/s", "", ""};
    }
    void confirming()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, actions);
        TempSettings settings;
        FakeModal modal;
        store(before);
        MainWindow main;
        Options d(&main);
        d.show();
        main.Text2->setFocus();
        modal.folderReplies = {QStringLiteral("/f1"), QStringLiteral("/f2")};
        for (QChar a : actions) {
            switch (a.unicode()) {
            case 'o': d.OpenBrowse->click(); break;
            case 's': d.SaveBrowse->click(); break;
            case 'O': d.DefOpen->click(); break;
            case 'S': d.DefSave->click(); break;
            case 'l': d.ProgramLogo->click(); break;
            case 'n': d.NewScriptWindow->click(); break;
            }
        }
        bool closedFirst = false;
        modal.onMessage = [&](const FakeModal::Message&) { closedFirst = !d.isVisible(); };
        d.FlatBttn2->click();
        QTEST(stored(), "after");
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].prompt, QStringLiteral("Settings saved."));
        QCOMPARE(modal.messages[0].style, Modal::vbOKOnly);
        QCOMPARE(modal.messages[0].title, QStringLiteral("Ok"));
        QVERIFY(closedFirst);
        QCOMPARE(main.focusWidget(), main.Text1);
    }

    void closingWritesNothing_data()
    {
        QTest::addColumn<bool>("frame");
        QTest::newRow("Cancel") << false;
        QTest::newRow("window frame") << true;
    }
    void closingWritesNothing()
    {
        QFETCH(bool, frame);
        TempSettings settings;
        FakeModal modal;
        const QStringList before{"0", "-", "/o", "-", "1", "-"};
        store(before);
        MainWindow main;
        Options d(&main);
        d.show();
        modal.folderReplies = {QStringLiteral("/x"), QStringLiteral("/y")};
        d.OpenBrowse->click();
        d.DefSave->click();
        d.SaveBrowse->click();
        d.ProgramLogo->click();
        d.NewScriptWindow->click();
        if (frame)
            d.close();
        else
            d.FlatBttn1->click();
        QVERIFY(!d.isVisible());
        QVERIFY(modal.messages.isEmpty());
        QCOMPARE(stored(), (QStringList{"0", Absent, "/o", Absent, "1", Absent}));
        Options again;
        QCOMPARE(row(again.DefOpen, again.OpenDirectory, again.OpenBrowse), QStringLiteral("1 /o on"));
        QCOMPARE(again.ProgramLogo->Value(), 0);
    }

    void nullTrim()
    {
        QCOMPARE(Options::NullTrim(QStringLiteral("C:\\Games") + QChar(0) + QStringLiteral("   ")),
                 QStringLiteral("C:\\Games"));
        QCOMPARE(Options::NullTrim(QString(QChar(0))), QString());
        QCOMPARE(Options::NullTrim(QStringLiteral("/srv")), QStringLiteral("/srv"));
    }
};

QTEST_MAIN(TestOptions)
#include "test_options.moc"
