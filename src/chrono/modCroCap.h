// Shoot mode against Edit mode: whether text received from the chronograph is
// also written at the end of the active CFile. Shoot mode needs the link port
// open and a CFile to write into; it never stays on without either, so no
// received shot goes nowhere unnoticed.
#pragma once

#include <QString>

namespace vt {

// Action 0 toggles the mode (opening the link port for Shoot mode, offering a
// new CFile when none is open, and warning the user); any other action only
// refreshes the status displays, which every action does last.
void subCaptureOnOff(int action);

// A CFile window has gone. When it was the last one while Shoot mode was on,
// Shoot mode goes off and the user is told once. The closing of every CFile
// as the program ends changes nothing.
void shootCFileClosed(const QString &caption);

// The receive engine found no CFile for text in Shoot mode: Shoot mode goes
// off and the user is told once.
void shootCFileLost();

} // namespace vt
