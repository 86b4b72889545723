// The shared progress record of long chronograph operations and the task
// flags that tell the receive engine where a running task's text goes. The
// progress windows that show it come with their own module.
#pragma once

#include <cstdint>

namespace vt {

struct PrgrsStateRec {
    int32_t PrgrsCur = 0; // current step
    int32_t PrgrsBeg = 0; // first step
    int32_t PrgrsEnd = 0; // last step; PrgrsCur never passes it
    int16_t PCycleCnt = 0;
    bool PrgrsCancel = false;
    bool PrgrsOn = false; // the receive engine advances the progress
};
inline PrgrsStateRec PrgrsState;

// A chronograph task shows its progress in the remote-control panel; received
// text is then also copied into the panel's progress box.
inline bool BusyPrgrs = false;

// Advances the current step by one, never past the last.
void stepPrgrs();

} // namespace vt
