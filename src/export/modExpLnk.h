// The live link of the Capture sheet: while it is on, every "CAP:" and "#"
// line the chronograph sends is queued by the receive engine, and the
// terminal window's tmrExcRtc hands each one to addXlShot, which writes its
// Begin and shot rows into the Capture sheet of workbook 1. Its rows carry
// source 2 and sheet type 5.
#pragma once

#include "shell/modStartNbrs.h"

#include <cstdint>

namespace vt {

// 1 links (offering a calibration while the sensors are not armed); any other
// value unlinks, asking first while the sensors are on.
void togXlLink(int16_t &mode);
// Connects and prepares the workbook when needed, starts a new import on the
// Capture sheet and starts queueing; the link stays off when the workbook is
// not ready.
void lnkXlOn();
// Stops queueing, writes the lines still waiting, then the End row.
void lnkXlOff();
// Writes the queued line just taken (CapExport.excLine) to the Capture sheet.
void addXlShot();
// Where the link writes its next row (the workbook's name only while it is open).
ExportNbr::LinkTarget xlLinkTarget();

} // namespace vt
