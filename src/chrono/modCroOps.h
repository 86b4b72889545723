// The chronograph's remote operations: one whole operation each, for a menu
// item of the main window or a button of the remote-control panel. Each one
// holds Shoot mode off while it talks to the unit, writes its notices and log
// lines into the active CFile, and ends by refreshing every indicator. The
// caller holds the busy lock (croTask) around the call.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace vt {

class frmMDI;

// Answers of croReady.
constexpr int16_t croIsReady = 0;
constexpr int16_t croNotKT4 = 1;  // the chosen device is not a KT4
constexpr int16_t croNoLink = 2;  // the link port is closed
constexpr int16_t croNoAnswer = 3; // the unit did not answer the wake-up

// 0 when the chosen device is a KT4; else 1, with the notice that only a KT4
// can do this (mode 1) or silently (mode 0).
int16_t chkKT4Only(int16_t mode);
// Wakes the chronograph of the chosen device before an operation sends its
// keys: croIsReady, or why not. Mode 1 writes the notice of a failure into the
// active CFile; mode 0 leaves that to the caller. No key goes out unless the
// device is a KT4 and the link port is open.
int16_t croReady(int16_t mode);

// Fetches the status when croStaOk is False, once more when the first try
// failed; withProgress 1 shows the busy progress meanwhile.
void chkStatus(int16_t withProgress);
// Reads the status afresh and writes its status line into the active CFile;
// withProgress 1 shows the busy progress meanwhile. True when a complete
// status is held.
bool seeCroStatus(int16_t withProgress);

// Calibrates the unit ("C"): mode 0 first asks the calibration question, mode
// 1 goes ahead. The answer holds "CAL:" and the calibration values, or
// "ERR=Cal" when it failed. Success arms the sensors and sets croCalOk. True
// on success.
bool doCalib(int16_t mode);

// Recording on (Shoot mode, sensors armed) and off (Edit mode).
void croStart();
void croStop();
// Data review: sensors off, the unit at its data prompt, Shoot mode on.
void croReview();
// Powers the unit down (0) or checks that it came on (any other value).
void croPower(int16_t on);
// Menu switches: 1 on, anything else off (setSensors: non-zero on).
void setRapidFire(int16_t on);
void setArchery(int16_t on);
void setSensors(int16_t on);
// Sets the sensitivity level (0 to 100 %) through its menu cell.
void setSnsLevel(int16_t level);
// ESC then "D": the unit back at its data prompt, Shoot mode held on.
void croDatMode();
// The user's abort of the running operation.
void abtCroTask();

// Runs one operation (a menu item's, a panel button's) inside the busy lock;
// the lock is released on every way out. A refused lock runs nothing.
void runTask(const std::function<void()> &op);

// Connects the Chrono menu of the main window to the operations; called once
// by its load.
void wireChronoMenu(frmMDI *mdi);

} // namespace vt
