// Waking the chronograph on the link port before an operation.
#pragma once

namespace vt {

// Sends ESC up to ten times, the gap after each try growing, until the
// chronograph answers. Gives up at once when the link port is closed or the
// user aborts the task. Returns true when it answered.
bool croWake();

} // namespace vt
