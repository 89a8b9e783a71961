// morvaneo-until-painted: the editor started exactly as the program starts
// it, ending as soon as its main window has painted. The start-up benchmark
// times it; the fault tests hand it odd paths on its command line.
#include "app/StartUp.h"
#include "tests/FirstPaintExit.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FirstPaintExit exitAfterPaint("MainWindow");
    app.installEventFilter(&exitAfterPaint);
    return StartUp::run(app);
}
