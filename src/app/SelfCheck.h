// The start-up self-check ("ditlog --self-check"): the main window is built and painted,
// every data file compiled into the program is also found on disk where an installed or
// source-tree program keeps it, and the prefix table found there loads.
#pragma once

#include <QTextStream>

namespace ditlog {

class MainWindow;

// Prints what it found; 0 when all is well.
int runSelfCheck(MainWindow& window, QTextStream& out);

} // namespace ditlog
