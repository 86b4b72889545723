// Hands the shell what start-up and shutdown call of the subsystems above it.
#pragma once

namespace vt {

// Installs every subsystem's interface, as the program does before Main.
void installSubsystems();

} // namespace vt
