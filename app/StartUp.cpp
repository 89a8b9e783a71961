#include "app/StartUp.h"

#include "app/MainWindow.h"
#include "app/RecoveryCopy.h"
#include "app/Texts.h"
#include "dialogs/Logo.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QIcon>

namespace StartUp {

int run(QApplication& app)
{
    QApplication::setApplicationName(Texts::App);
    QApplication::setOrganizationName(Texts::App);
    Desktop::applyLook();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/icons/morvaneo.png")));
    MainWindow main;
    main.CommandLine = Desktop::commandLineText(QApplication::arguments());
    main.Recovery->offerAtStart();
    Logo::Begin(&main);
    return app.exec();
}

}  // namespace StartUp
