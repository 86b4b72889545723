// Hands the chronograph layer to the shell and the editor below it: what
// start-up, shutdown and the closing of a CFile call of it.
#pragma once

namespace vt {

void installChronoSubsystem();

} // namespace vt
