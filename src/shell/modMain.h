// The global module: program entry, the program-wide public variables and the
// operator switches.
#pragma once

#include <QString>
#include <cstdint>

class QApplication;

namespace vt {

// --- operator switches (saved in section "Pemdora" while ship mode is off) ---
inline bool SoftDebugSee = false; // debug menu visible
inline bool SoftDebug = false;    // debug mode
inline bool SoftTest = false;     // test mode
inline bool GetRegistry = true;   // main window reads bars and formats from the settings
inline bool SaveRegistry = true;  // ... and saves them
inline bool ClearRegistry = false; // ask at exit whether to delete the settings
inline bool SoftMore = false;     // more options
inline bool SoftEdit = false;     // the active CFile may be edited while it receives shots
inline int16_t UserLevel = 0;     // detail level 0 to 4
inline bool SoftShip = true;      // ship mode: switches frozen at their reset values
inline int16_t UserLevelIni = 0;  // remembered user level for the test/debug toggles

// Number of the last error record; runs on across runs through "frmErrox".
inline int32_t errCount = 0;

// Resets the switches to their start values.
void zapSoftFlags();
// Reads the switches from section "Pemdora" of this copy; a missing key or one
// that does not convert takes its default (UserLevel 4).
void getSoftFlags();
void savSoftFlags();
// The hidden test-level toggle, modes 0 to 3.
void togSoftTest(int16_t mode);
// Deletes this copy's settings sections (the debug menu's ClearSetup and the
// exit path when ClearRegistry is on). Missing sections are skipped.
void zapRegSections();

// Program entry: settles the copy, then runs the event loop. Returns the exit code.
int Main(QApplication &app);

} // namespace vt
