// Hands the terminal window and the port setup window to the shell.
#pragma once

namespace vt {
void installSerialSubsystem();
}
