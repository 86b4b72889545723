// Hands the notes window and its questions to the shell's start-up and shutdown.
#pragma once

namespace vt {
void installNotesSubsystem();
}
