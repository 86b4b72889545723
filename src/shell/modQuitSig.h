// The end of the session (logout, shutdown) and Ctrl+C in the starting
// terminal: SIGTERM, SIGINT and SIGHUP close the program through the main
// window's unload with the session-ending mode, so the settings and the
// instance record are written and no quit question is asked.
#pragma once

namespace vt {

// Installs the handlers once; later calls do nothing.
void installQuitSignals();
// What a caught signal does, once the event loop has it: unloads the main
// window (or, while start-up still runs, as soon as it has finished).
void quitBySignal();

} // namespace vt
