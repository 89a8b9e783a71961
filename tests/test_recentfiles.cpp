// The recent-file window: filling from the store, the OK rule, reopening a
// file and the error path that leaves the document alone.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "dialogs/RecentFiles.h"
#include "platform/FlatButton.h"
#include "platform/ListBox.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "settings/SettingsStore.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void setSlot(int n, const QString& path)
{
    SaveSetting(QStringLiteral("Morvaneo"), QStringLiteral("RecentFiles"),
                QStringLiteral("Recent") + QString::number(n), path);
}

QStringList listed(const ListBox* list)
{
    QStringList items;
    for (int i = 0; i < list->ListCount(); ++i)
        items << list->List(i);
    return items;
}

// The events of a real double-click: press, release, double-click, release.
void doubleClick(ListBox* list, int row)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// A main window with an edited script and the window over it, filled from
// the store as it was when the fixture was made.
struct Fixture {
    TempSettings settings;
    FakeModal modal;
    QTemporaryDir files;
    MainWindow main;
    QString script;  // a file holding three lines and a final line break
    QString missing;
    std::unique_ptr<RecentFiles> dialog;
    Fixture()
    {
        script = writeBytes(files.filePath(QStringLiteral("rush.mvn5")), "Attack\r\nExpand 1\r\nWait 300\r\n");
        missing = writeBytes(files.filePath(QStringLiteral("gone.mvn5")), "Attack");
        QFile::remove(missing);
        setSlot(1, missing);
        setSlot(2, script);
        main.Text1->setText(QStringLiteral("edited"));
        main.setCaption(QStringLiteral("Morvaneo II BETA - /old.mvn5"));
        main.ActualFile = QStringLiteral("/old.mvn5");
        main.Changed = 1;
        main.Text2->setFocus();
        open();
    }
    void open()
    {
        dialog = std::make_unique<RecentFiles>(&main);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void documentUnchanged() const
    {
        QCOMPARE(main.Text1->Text(), QStringLiteral("edited"));
        QCOMPARE(main.windowTitle(), QStringLiteral("Morvaneo II BETA - /old.mvn5"));
        QCOMPARE(main.ActualFile, QStringLiteral("/old.mvn5"));
        QCOMPARE(main.Changed, qint16(1));
    }
    void reopened() const
    {
        QCOMPARE(main.Text1->Text(), QStringLiteral("Attack\r\nExpand 1\r\nWait 300"));
        QCOMPARE(main.windowTitle(), QStringLiteral("Morvaneo II BETA - ") + script);
        QCOMPARE(main.ActualFile, script);
        QCOMPARE(main.Changed, qint16(0));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(main.focusWidget(), main.Text1);
    }
    void onlyError() const
    {
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].prompt, QStringLiteral("File could not be loaded/saved."));
        QCOMPARE(modal.messages[0].style, Modal::vbCritical);
        QCOMPARE(modal.messages[0].title, QStringLiteral("Error"));
    }
};
}  // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filling()
    {
        TempSettings settings;
        MainWindow main;
        RecentFiles empty(&main);
        empty.show();
        QCOMPARE(empty.windowTitle(), QStringLiteral("Recent file list"));
        QCOMPARE(empty.List1->ListCount(), 0);
        QVERIFY(!empty.OK->isEnabled() && empty.FlatBttn2->isEnabled());
        QVERIFY(empty.OK->isHidden() && empty.Cancel->isHidden());

        setSlot(1, QStringLiteral("/a.mvn5"));
        setSlot(2, QStringLiteral("/b.mvn5"));
        setSlot(3, QString());
        setSlot(4, QStringLiteral("/c.mvn5"));
        setSlot(20, QStringLiteral("/a.mvn5"));
        RecentFiles gap(&main);
        gap.show();
        const QStringList expected{"/a.mvn5", "/b.mvn5", "/c.mvn5", "/a.mvn5"};
        QCOMPARE(listed(gap.List1), expected);
        QCOMPARE(gap.List1->ListIndex(), -1);
        QVERIFY(!gap.OK->isEnabled());

        gap.List1->setListIndex(1);
        QVERIFY(gap.OK->isEnabled());
        QCOMPARE(gap.List1->Text(), QStringLiteral("/b.mvn5"));
        // Every showing reads the store again and starts without a selection.
        setSlot(2, QString());
        gap.hide();
        gap.show();
        QCOMPARE(listed(gap.List1), (QStringList{"/a.mvn5", "/c.mvn5", "/a.mvn5"}));
        QVERIFY(!gap.OK->isEnabled());
    }

    void reopenWithOK_data()
    {
        QTest::addColumn<bool>("flat");
        QTest::newRow("OK") << false;
        QTest::newRow("flat OK") << true;
    }
    void reopenWithOK()
    {
        QFETCH(bool, flat);
        Fixture f;
        f.dialog->List1->setListIndex(1);
        (flat ? f.dialog->FlatBttn2 : f.dialog->OK)->click();
        QVERIFY(f.modal.messages.isEmpty());
        f.reopened();
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
    }

    void reopenWithDoubleClick()
    {
        Fixture f;
        doubleClick(f.dialog->List1, 1);
        QVERIFY(f.modal.messages.isEmpty());
        f.reopened();
    }

    void deletedFileByDoubleClickKeepsWindowOpen()
    {
        Fixture f;
        ListBox* list = f.dialog->List1;
        doubleClick(list, 0);
        f.onlyError();
        f.documentUnchanged();
        QVERIFY(f.dialog->isVisible());
        QCOMPARE(list->Text(), f.missing);
    }

    void failedOKClosesWindow_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("deleted file") << 0;
        QTest::newRow("nothing selected") << -1;
    }
    void failedOKClosesWindow()
    {
        QFETCH(int, index);
        Fixture f;
        f.dialog->List1->setListIndex(index);
        f.dialog->FlatBttn2->click();
        f.onlyError();
        f.documentUnchanged();
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(f.main.focusWidget(), f.main.Text1);
    }

    void cancel_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("flat Cancel") << 1;
        QTest::newRow("window frame") << 2;
    }
    void cancel()
    {
        QFETCH(int, how);
        Fixture f;
        f.dialog->List1->setListIndex(1);
        if (how == 2)
            f.dialog->close();
        else
            (how == 0 ? f.dialog->Cancel : f.dialog->FlatBttn1)->click();
        QVERIFY(!f.dialog->isVisible());
        QVERIFY(f.modal.messages.isEmpty());
        f.documentUnchanged();
        if (how < 2)
            QCOMPARE(f.main.focusWidget(), f.main.Text1);
    }
};

QTEST_MAIN(TestRecentFiles)
#include "test_recentfiles.moc"
