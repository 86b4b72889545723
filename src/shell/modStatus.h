// The one refresh of every caption, mode mark, indicator and menu state.
#pragma once

namespace vt {

// Refreshes the indicators after a change of mode, port, switch, status or format.
void updAllSta();

} // namespace vt
