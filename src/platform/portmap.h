// Which device node stands behind a COM port number, and which serial devices
// the machine has.
#pragma once

#include <QString>
#include <QStringList>

namespace vt {

// Where the device of COMn comes from.
enum class PortDeviceSource { None, Environment, Settings, Table };

// The device for COMn: $VANTRELL_COM<n> when set and not empty, else the
// device this copy stored for it (section "PortDevices", key "COM<n>" of the
// copy's settings), else COM1-4 -> /dev/ttyUSB0-3, COM5-8 -> /dev/ttyACM0-3,
// COM9-16 -> /dev/ttyS0-7. Empty for a number with none (the port does not
// exist).
QString portDevice(int port);
PortDeviceSource portDeviceSource(int port);
// The fixed table's device for COMn (empty above 16).
QString tablePortDevice(int port);
// Stores the copy's device for COMn; an empty text or the table's own device
// removes the entry, so the table applies again.
void savePortDevice(int port, const QString &device);

// The serial devices present: ttyUSB*, ttyACM* and ttyS* of the device folder
// and the stable names of its serial/by-id, in a readable order (numbers
// counted, not spelled). The folder is /dev unless a test points it elsewhere.
QStringList serialDevicesPresent();
void setDeviceFolder(const QString &folder);
QString deviceFolder();

} // namespace vt
