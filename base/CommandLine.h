#pragma once
#include <QString>
#include <QStringList>

// The two command-line questions the programs answer on standard output,
// before any window or display is opened. Everything else on the editor's
// command line is the script to open, as one path.
namespace CommandLine {

enum class Request { Run, Help, Version };

// What the arguments (the program's name first) ask for: help or the
// version only when that option is the one and only argument, so a script
// called "--help" is still opened as "./--help".
Request request(const QStringList& arguments);
// The arguments as the system passed them, before the application exists.
QStringList arguments(int argc, char** argv);

// "morvaneo 2.0" and the like, with a line break.
QString versionText(const QString& program);
// The editor's usage text.
QString editorHelp();

}  // namespace CommandLine
