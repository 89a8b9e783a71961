#pragma once
#include <QStringList>

class QTextStream;

// The command-line checker: reads each file the way the editor opens it,
// checks its header rules and prints the findings per file on out. A file
// that cannot be read is named on err. Returns the exit status: 1 when any
// file has a finding or cannot be read, 0 otherwise (also for no files).
int runChecker(const QStringList& files, QTextStream& out, QTextStream& err);

// The usage text printed for --help.
QString checkerUsage();
