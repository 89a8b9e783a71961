#include "app/StartUp.h"

#include "app/MainWindow.h"
#include "dialogs/Logo.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QIcon>

namespace StartUp {

int run(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));
    QApplication::setOrganizationName(QStringLiteral("Morvaneo"));
    Desktop::applyLook();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/icons/morvaneo.png")));
    MainWindow main;
    main.CommandLine = Desktop::commandLineText(QApplication::arguments());
    Logo::Begin(&main);
    return app.exec();
}

}  // namespace StartUp
