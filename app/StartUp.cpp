#include "app/StartUp.h"

#include "app/MainWindow.h"
#include "app/RecoveryCopy.h"
#include "app/Texts.h"
#include "dialogs/Logo.h"
#include "platform/Desktop.h"
#include "platform/PngIcon.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

namespace StartUp {

QStringList programIconFiles()
{
    const QDir folder(QStringLiteral(":/resources/icons"));
    QStringList files;
    for (const QString& name : folder.entryList({QStringLiteral("morvaneo-*.png")}, QDir::Files))
        files.append(folder.filePath(name));
    return files;
}

QIcon programIcon()
{
    return PngIcon::fromFiles(programIconFiles());
}

int run(QApplication& app)
{
    QApplication::setApplicationName(Texts::App);
    QApplication::setOrganizationName(Texts::App);
    Desktop::applyLook();
    QApplication::setWindowIcon(programIcon());
    MainWindow main;
    main.CommandLine = Desktop::commandLineText(QApplication::arguments());
    main.Recovery->offerAtStart();
    Logo::Begin(&main);
    return app.exec();
}

}  // namespace StartUp
