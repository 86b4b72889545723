// Public variables of the global module that the main window reads at load and
// saves at unload, and the run-time state that the start-up sequence resets
// for the windows above the shell.
#pragma once

#include <cstdint>
#include <memory>

namespace vt::xl {
class Application;
}

namespace vt {

// rUvuzu warning options (section "frmVipNotes").
inline bool ShowWarn = true;
inline bool ShowWarnKT = true; // chronograph warnings

// Window state given to new CFile windows: 0 normal, 1 minimized, 2 maximized
// (section "frmCFile", key "WindowState").
inline int16_t WindowState = 2;

// CFile editor: the number of the last new CFile, and whether the first File
// New or Open after start-up still has to cascade the windows.
inline int16_t CFileSeqNum = 0;
inline bool FirstFileCmd = false;

// The spreadsheet connection.
inline bool xlConnected = false; // the spreadsheet program is started and connected
inline bool xlClosing = false;
inline bool xlOpening = false;
inline bool xlBookOk = false;   // its workbook is open and prepared
inline bool xlLinked = false;   // live link of the Capture sheet on
inline bool excRtcOn = false;   // received shot lines are queued for the live link
inline std::shared_ptr<xl::Application> xlApp; // the spreadsheet program, while connected

} // namespace vt
