// The shared progress record of long chronograph operations and the task
// flags that tell the receive engine where a running task's text goes. The
// share done shows at once on the remote-control panel and on the general
// progress window frmGPrgrs.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

struct PrgrsStateRec {
    int32_t PrgrsCur = 0; // current step
    int32_t PrgrsBeg = 0; // first step
    int32_t PrgrsEnd = 0; // last step; PrgrsCur never passes it
    int16_t PCycleCnt = 0; // ticks of the automatic cycle since it started
    bool PrgrsCancel = false; // the automatic cycle is on: each tick steps
    bool PrgrsOn = false; // the receive engine advances the progress
};
inline PrgrsStateRec PrgrsState;

// A chronograph task shows its progress in the remote-control panel; received
// text is then also copied into the panel's progress box.
inline bool BusyPrgrs = false;

// Modes 1, 3 and 9 show frmGPrgrs on top of every window without waiting for
// it; 0 and 2 unload it; any other mode does nothing.
void seeGPrgrs(int16_t mode);
// Non-zero: the window shown, then BusyPrgrs on. Zero: BusyPrgrs off, then
// the window unloaded.
void setBusyPrgrs(int16_t flag);
// A new run of steps from first to last; both bars back to 0 of 100.
void setPrgrsRange(double first, double last);
// The task's title on frmGPrgrs (loading the window when it is not).
void setPrgrsCaption(const QString &text);
// Only mode 1 lets the receive engine advance the progress.
void setPrgrsMode(int16_t mode);
// Advances the current step by one, never past the last, and shows the share
// done on both displays. Never raises: a zero range or a missing window is
// passed over.
void stepPrgrs();
// The automatic cycle off, then the window unloaded.
void endPrgrs();
void clrPrgrsCancel();
// Mode 1 starts the automatic cycle of the panel's timer from a count of 0;
// any other mode stops it, keeping the count.
void setPCycle(int16_t mode);
// Mode 2: received text goes to the active CFile; mode 4: to the panel's
// progress box. Other modes change nothing.
void setTaskMode(int16_t mode);

// The share done as the displays show it: "##0.0" and "%".
QString prgrsText(float percent);
// The share done as the bars take it: the nearest whole number, halves to
// the even neighbour, kept within 0 to 100.
int prgrsBarValue(float percent);

} // namespace vt
