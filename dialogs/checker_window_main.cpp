// The MVN5 opcode checker window, started by morvaneo-checker when it is
// given no script files.
#include "app/StartUp.h"
#include "app/Texts.h"
#include "dialogs/OpcodeChecker.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Texts::App);
    Desktop::applyLook();
    QApplication::setWindowIcon(StartUp::programIcon());
    OpcodeChecker checker;
    checker.show();
    return app.exec();
}
