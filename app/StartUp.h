#pragma once

#include <QStringList>

class QApplication;
class QIcon;

// The editor's start, once the application exists: the desktop look, the
// logo (unless switched off), then the main window with the script named on
// the command line. Runs the event loop until the program ends.
namespace StartUp {

int run(QApplication& app);
// The program's icon in every size it is drawn in, and its built-in
// pictures, one for each size, named morvaneo-SIZE.png.
QIcon programIcon();
QStringList programIconFiles();

}  // namespace StartUp
