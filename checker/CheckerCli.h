#pragma once
#include <QStringList>

class QTextStream;

// The command-line checker: reads each file the way the editor opens it,
// checks its header rules and prints the findings per file on out. A file
// that cannot be read is named on err. Returns the exit status: 1 when any
// file has a finding or cannot be read, 0 otherwise (also for no files).
int runChecker(const QStringList& files, QTextStream& out, QTextStream& err);

// The lint mode: reads each file the same way and prints every problem of
// its lines, header findings included, as "FILE:LINE:COLUMN: message" with
// FILE as given and LINE and COLUMN from 1, like a compiler. A leading "--"
// ends the options. Returns 1 when any file has a problem or cannot be
// read, 0 otherwise.
int runLint(QStringList files, QTextStream& out, QTextStream& err);

// The usage text printed for --help.
QString checkerUsage();
