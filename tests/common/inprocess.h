// The whole program in the test's own process: started as main() starts it,
// with the answering seam scripted, `whileRunning` called from its event loop
// once it is ready, and then ended as the user ends it (unsaved CFiles let go).
#pragma once

#include <functional>

namespace vttest {

// Returns whether the program came up and `whileRunning` ran.
bool runProgramWith(const std::function<void()> &whileRunning);

} // namespace vttest
