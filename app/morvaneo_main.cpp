#include "app/MainWindow.h"
#include "dialogs/Logo.h"
#include "platform/Desktop.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));
    Desktop::applyLook();
    QApplication::setOrganizationName(QStringLiteral("Morvaneo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/icons/morvaneo.png")));
    MainWindow main;
    main.CommandLine = Desktop::commandLineText(QApplication::arguments());
    Logo::Begin(&main);
    return app.exec();
}
