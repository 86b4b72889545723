// Shoot mode switched on in a benchmark's program as the user switches it:
// the link port on the given device, a new CFile, the sensors armed. From
// then on received text goes to the end of the active CFile (and, the
// terminal being loaded, to its box too).
#pragma once

#include <QString>

namespace vt {
class frmTerminal;
}

namespace bench {

// False (and the reason on standard error) when Shoot mode did not come on.
bool shootModeOn(vt::frmTerminal *term, const QString &port);

} // namespace bench
