// Downloading the chronograph's memory (the current string, the
// current folder or the whole eDisk) into the terminal's text.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// The dump that the last download received, from the text that came after
// its key to the end of the answer; empty after a failed download. The
// download export reads this, never an older dump left in the terminal.
inline QString croDump;

// Sends the dump key of kind 1, 2 or 3 and waits for the dump: true when it
// came whole, croDump then holding it (empty otherwise).
bool croDumpKey(int16_t kind);

// Downloads kind 1 (current string), 2 (current folder) or 3 (whole eDisk):
// Shoot mode off, the sensors switched off and their report checked, the
// status read (the dump's units), then the dump. 0 done (croDump holds it), 1 the sensors did not report off, 2 the
// download failed; a failure is shown in a message. Refreshes the indicators.
int16_t getCroShots(int16_t kind);

} // namespace vt
