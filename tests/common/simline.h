// The link port of the terminal window on the simulated chronograph, for the
// tests that talk to the unit through the program's own receive engine.
#pragma once

#include <QString>

namespace vt {
class frmTerminal;
namespace sim {
class Kt4Sim;
}
} // namespace vt

namespace vttest {

// Installs the serial subsystem and the chronograph side of the link, loads the terminal window and opens its link
// port on COM1 (which the caller pointed at the simulator); true once the port
// is open and the simulator sees its peer.
bool openSimLine(vt::sim::Kt4Sim &sim, vt::frmTerminal *&term);

// The simulator started unpaced, pointed at by COM1, the settings and the
// answering seam fresh, and the link port opened on it as openSimLine does;
// false with why filled when a step failed.
bool startSimLine(vt::sim::Kt4Sim &sim, vt::frmTerminal *&term, QString *why);

// The simulator reset and unpaced, then the link port opened on it as
// openSimLine does (COM1 names the simulator); true once both sides see it.
bool reopenSimLine(vt::sim::Kt4Sim &sim, vt::frmTerminal *&term);

// A fresh terminal for a case on the simulated line: the copy's number and
// title at their start values, only the terminal route on, the link port
// closed and its settings deleted, the terminal loaded again with an empty
// box, and the simulator reset, unpaced, to take every byte and answer none.
void freshTerminal(vt::sim::Kt4Sim &sim, vt::frmTerminal *term);

// The end of a program of cases on the simulated line: the link port closed,
// the serial subsystem put back and the link timers discarded.
void closeSimLine(vt::frmTerminal *term);

// A quiet line and the link's records at their start values
// (quietSimLine, then resetLinkRecords).
void freshLinkCase(vt::sim::Kt4Sim &sim);

// The chronograph link's shared records at their start values for a new
// case: the link timers discarded, the command engine's link record, the
// status record and the busy record cleared, no abort asked, no operation's
// flags left set, no test's time hook, no pending error.
void resetLinkRecords();

// The end of a case that ran on the main window: Shoot mode's route off, the
// link port closed, the editor and the chronograph layer put back.
void endLinkCase(vt::frmTerminal *term);

// A quiet start for each case: the simulator reset and unpaced, whatever the
// last case left on the line drained and forgotten on both sides.
void quietSimLine(vt::sim::Kt4Sim &sim);

} // namespace vttest
