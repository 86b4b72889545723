// The global module: program entry and the program-wide public variables.
#pragma once

class QApplication;

namespace vt {

// Program entry: settles the copy, then runs the event loop. Returns the exit code.
int Main(QApplication &app);

} // namespace vt
