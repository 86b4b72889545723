// The end of the session (logout, shutdown) and Ctrl+C in the starting
// terminal: SIGTERM, SIGINT and SIGHUP close the program through the main
// window's unload with the session-ending mode, so the settings and the
// instance record are written and no question is asked. CFiles with unsaved
// changes are first written to recovery copies in the program folder's
// "recovered" folder; the next start of the same copy says so once.
#pragma once

#include <QString>

namespace vt {

// Catches the signals from here on without anything of Qt (the first line of
// main()): a signal waits until installQuitSignals lets the event loop see it.
void catchQuitSignals();
// Catches the signals and hands them to the event loop; once only, later
// calls do nothing.
void installQuitSignals();
// While start-up runs, a caught signal waits until the program can close
// through its main window (or start-up gives up by itself).
void setStartupRunning(bool running);
// What a caught signal does, once the event loop has it: unloads the main
// window (or, while start-up still runs, as soon as it has finished).
void quitBySignal();
// Where the recovery copies go.
QString recoveredFolder();
// Writes the recovery copies and records them for the next start.
void saveRecovered();
// At start-up: when the last run of this copy left recovery copies (written
// on a signal, or kept while CFiles changed and left by a crash), one notice
// names them and their folder; their records are then cleared.
void seeRecovered();

} // namespace vt
