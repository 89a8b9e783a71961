#pragma once

class QApplication;

// The editor's start, once the application exists: the desktop look, the
// logo (unless switched off), then the main window with the script named on
// the command line. Runs the event loop until the program ends.
namespace StartUp {

int run(QApplication& app);

}  // namespace StartUp
