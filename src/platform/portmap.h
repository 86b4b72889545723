// Which device node stands behind a COM port number.
#pragma once

#include <QString>

namespace vt {

// The device for COMn: $VANTRELL_COM<n> when set and not empty, else
// COM1-4 -> /dev/ttyUSB0-3, COM5-8 -> /dev/ttyACM0-3, COM9-16 -> /dev/ttyS0-7.
// Empty for a number with neither (the port does not exist).
QString portDevice(int port);

} // namespace vt
