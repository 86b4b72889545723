// Hands the remote-control panel to the shell.
#pragma once

namespace vt {
void installRemoteSubsystem();
}
