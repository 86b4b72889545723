// The busy lock's records at their start values, for the tests of the lock
// and of waiting under it.
#pragma once

#include "platform/answers.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"

namespace vttest {

// No answers queued for a box, no task holding the lock, no abort asked, the
// first device of the port setup chosen.
inline void freshBusyLock()
{
    vt::answers::reset();
    vt::AppSta = vt::AppStaRec{};
    vt::abortTask = false;
    vt::Device = 0;
}

} // namespace vttest
