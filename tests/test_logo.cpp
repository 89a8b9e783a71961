// The start-up logo: whether it shows, and how it hands over to the main window.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "platform/TreeView.h"
#include "dialogs/Logo.h"
#include "editor/ScriptTextBox.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

void storeLogoSetting(const QString* value)
{
    if (value)
        SaveSetting(QStringLiteral("Morvaneo"), QStringLiteral("Config"), QStringLiteral("ProgramLogo"), *value);
}

QList<Logo*> openLogos()
{
    QList<Logo*> logos;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* logo = qobject_cast<Logo*>(w))
            logos.append(logo);
    return logos;
}

}  // namespace

class TestLogo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pictureIsTheProjectsGif();
    void windowIsBorderlessAndHoldsThePicture();
    void setting_data();
    void setting();
    void beginSkipsTheLogoAndFreesIt();
    void timerHandsOverOnce();
    void realTimerHandsOver();
    void earlyCloseShowsTheMainWindow();
    void commandLineScriptOpensAfterTheLogo();
};

void TestLogo::pictureIsTheProjectsGif()
{
    QImage picture(QStringLiteral(":/resources/logo/logo.gif"));
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), QSize(500, 400));
    QFile file(QStringLiteral(":/resources/logo/logo.gif"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(6), QByteArray("GIF89a"));
    // Real artwork, not a flat fill: many colours across the picture.
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 7)
        for (int x = 0; x < picture.width(); x += 7)
            colours.insert(picture.pixel(x, y));
    QVERIFY(colours.size() > 100);
}

void TestLogo::windowIsBorderlessAndHoldsThePicture()
{
    TempSettings settings;
    MainWindow main;
    Logo logo(&main);
    QCOMPARE(logo.windowTitle(), QStringLiteral("Morvaneo II BETA"));
    QVERIFY(logo.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(logo.size(), QSize(500, 400));
    QCOMPARE(logo.Image1->geometry(), QRect(0, 0, 500, 400));
    QCOMPARE(logo.Timer11->interval(), 2500);
    QVERIFY(logo.Timer11->isActive());  // running from the moment the window exists
    logo.Form_Load();
    QCOMPARE(logo.Image1->pixmap().size(), QSize(500, 400));
}

void TestLogo::setting_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("logoShown");
    QTest::newRow("0 skips the logo") << true << QStringLiteral("0") << false;
    QTest::newRow("1") << true << QStringLiteral("1") << true;
    QTest::newRow("empty") << true << QString() << true;
    QTest::newRow("blank then 0") << true << QStringLiteral(" 0") << true;
    QTest::newRow("00") << true << QStringLiteral("00") << true;
    QTest::newRow("empty store") << false << QString() << true;
}

void TestLogo::setting()
{
    QFETCH(bool, stored);
    QFETCH(QString, value);
    QFETCH(bool, logoShown);
    TempSettings settings;
    storeLogoSetting(stored ? &value : nullptr);
    MainWindow main;
    Logo logo(&main);
    logo.Form_Load();
    QCOMPARE(logo.isVisible(), logoShown);
    QCOMPARE(main.isVisible(), !logoShown);
    QCOMPARE(main.TreeView1->topLevelItemCount() > 0, !logoShown);
    QCOMPARE(logo.handovers(), logoShown ? 0 : 1);
    QCOMPARE(logo.Timer11->isActive(), logoShown);
    QCOMPARE(logo.Image1->pixmap().isNull(), !logoShown);
}

void TestLogo::beginSkipsTheLogoAndFreesIt()
{
    TempSettings settings;
    const QString off = QStringLiteral("0");
    storeLogoSetting(&off);
    MainWindow main;
    Logo::Begin(&main);
    QVERIFY(main.isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(openLogos().isEmpty());
}

void TestLogo::timerHandsOverOnce()
{
    TempSettings settings;
    MainWindow main;
    Logo logo(&main);
    logo.Form_Load();
    QVERIFY(logo.isVisible());
    logo.Timer11_Timer();
    QVERIFY(!logo.isVisible());
    QVERIFY(main.isVisible());
    QVERIFY(!logo.Timer11->isActive());
    QCOMPARE(logo.handovers(), 1);
    // A late second tick, or the user hiding the main window and the logo
    // closing again, does not show the main window a second time.
    main.hide();
    logo.Timer11_Timer();
    logo.close();
    QVERIFY(!main.isVisible());
    QCOMPARE(logo.handovers(), 1);
}

void TestLogo::realTimerHandsOver()
{
    TempSettings settings;
    MainWindow main;
    Logo::Begin(&main);
    const QList<Logo*> logos = openLogos();
    QCOMPARE(logos.size(), 1);
    QVERIFY(logos.first()->isVisible());
    QVERIFY(!main.isVisible());
    logos.first()->Timer11->setInterval(30);
    QTRY_VERIFY(main.isVisible());
    QTRY_VERIFY(openLogos().isEmpty());  // closed and freed
}

void TestLogo::earlyCloseShowsTheMainWindow()
{
    TempSettings settings;
    MainWindow main;
    Logo logo(&main);
    logo.Form_Load();
    QVERIFY(logo.close());
    QVERIFY(main.isVisible());
    QVERIFY(!logo.Timer11->isActive());
    QCOMPARE(logo.handovers(), 1);
    main.hide();
    logo.Timer11_Timer();
    QVERIFY(!main.isVisible());
}

void TestLogo::commandLineScriptOpensAfterTheLogo()
{
    TempSettings settings;
    FakeModal modal;
    QTemporaryDir dir;
    const QString path = writeBytes(dir.filePath(QStringLiteral("start.mvn5")), "Script_Identifier ABCD\r\nAttack\r\n");
    MainWindow main;
    main.CommandLine = path;
    Logo logo(&main);
    logo.Form_Load();
    QCOMPARE(main.Text1->Text(), QString());
    logo.Timer11_Timer();
    QCOMPARE(main.Text1->Text(), QStringLiteral("Script_Identifier ABCD\r\nAttack"));
    QVERIFY(modal.messages.isEmpty());
}

QTEST_MAIN(TestLogo)
#include "test_logo.moc"
