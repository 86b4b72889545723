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

// --- the running copy -------------------------------------------------------
inline int16_t AppNum = 0;   // instance number of this copy, 0 to 16
inline int16_t cmdN = -1;    // "N=" of the command line; -1 when absent or unusable
inline int16_t cmdP = -1;    // "P=" of the command line; -1 when absent or unusable
inline QString cmdPath;      // folder part of the file named on the command line, with its final separator
inline QString cmdFile;      // file-name part of that file

// The command-line text: the program's arguments joined by single blanks.
QString Command();
// Replaces the command-line text (tests).
void setCommand(const QString &text);

// Parses Command() into cmdN, cmdP, cmdPath and cmdFile.
void getCmdLine();
// Settles AppNum and the application title against the other running copies;
// may write "AppPrt" and the terminal's "CommPort", and may end the program.
void setAppInst();
// The instance number, "-", the link port's number and a blank ("2-5 ").
QString strAppNum();
// The help text on running several copies.
void seeMultiHelp();
// Reports an "N=" above 16 and offers the help text.
void seeBadAppNum();

// Marks this copy's instance record as running ("Pemdora": AppNum, AppRun, AppEnd).
void savAppRun();
// Rewrites this copy's instance record as ended: AppNum is raised by 3 and
// saved, "AppRun" empty, "AppEnd" the application title, "AppPrt" "0".
void savAppEnd();

// Ends the program at once: no window unloads, nothing more is saved. Every
// setting is already on disk (each save is synced).
[[noreturn]] void endProgram(int exitCode = 0);

// Tells a waiting test or script that start-up is done: when
// $VANTRELL_READY names a file, the application title is written to it once
// the event loop runs.
void notifyStarted();

// After start-up: true when a usable main window is there for the event loop
// (after an error it is shown and enabled). Otherwise the program must end:
// when recordWritten (this run marked its record as running) and the record
// still says running, it is written as ended first.
bool settleStart(bool startedOk, bool recordWritten);

// Program entry: settles the copy, then runs the event loop. Returns the exit code.
int Main(QApplication &app);

} // namespace vt
