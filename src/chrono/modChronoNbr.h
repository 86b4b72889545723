// Hands the chronograph layer to the shell and the editor below it: what
// start-up, shutdown and the closing of a CFile call of it.
#pragma once

namespace vt {

void installChronoSubsystem();
// Hands the serial side what its receive engine and port setup window use of
// the link timers, the command engine and the probe (installChronoSubsystem
// does it too).
void installChronoLink();

} // namespace vt
