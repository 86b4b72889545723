// The link port of the terminal window on the simulated chronograph, for the
// tests that talk to the unit through the program's own receive engine.
#pragma once

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

// A quiet start for each case: the simulator reset and unpaced, whatever the
// last case left on the line drained and forgotten on both sides.
void quietSimLine(vt::sim::Kt4Sim &sim);

} // namespace vttest
