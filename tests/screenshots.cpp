// Renders every window of the program to PNG files, headless.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "platform/Desktop.h"
#include "platform/ScriptTextBox.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));
    Desktop::applyLook();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    TempSettings settings;
    FakeModal modal;

    MainWindow main;
    main.show();
    main.Text1->setText(QStringLiteral(
        "Script_Identifier PZRG\r\nScript_Name Protoss rush\r\nCustom_Script\r\n"
        "Nexus = 1\r\nGateway = 2\r\nZealot = 6\r\nWait 300\r\nAttack"));
    QApplication::processEvents();
    main.grab().save(out + QStringLiteral("/main-window.png"));
    return 0;
}
