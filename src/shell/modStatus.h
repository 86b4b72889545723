// The one refresh of every caption, mode mark, indicator and menu state.
#pragma once

#include <QString>
#include <cstdint>

class QPixmap;

namespace vt {

// True for the length of a refresh: the remote-control panel's link check
// boxes then take the values set here without acting on them as clicks.
inline bool LnkToGuard = false;
// The caption given to the spreadsheet program's window (before " - " and the
// workbook's name).
inline QString AppCaption;

// Colour numbers of the indicators (blue byte high).
constexpr uint32_t colGreen = 65280;
constexpr uint32_t colYellow = 65535;
constexpr uint32_t colCyan = 16776960;
constexpr uint32_t colBlue = 16711680;
constexpr uint32_t colBlack = 0;
constexpr uint32_t colLightGrey = 0xC0C0C0; // red, green and blue 192

// LED colours of a Boolean flag (True is -1; any value other than zero counts
// as set): the background green when set, yellow when not; the text black
// when set, blue when not.
uint32_t ledColOn(int16_t flag);
uint32_t ledColOff(int16_t flag);

// Brings every indicator into line with the program's state: captions of the
// main window, the support windows and the spreadsheet program, the mode box
// and the LEDs, the remote keys and link boxes, the pointer over the active
// CFile, menu checks, enables and visibility, and the Connect button. Ends
// Shoot mode when the link port is closed and the calibration flag when the
// sensors are off. Reports its own errors.
void updAllSta();

// The pictures of the main window's cursor list: "CapArrow" (capturing with
// the sensors on), "RemArrow" (capturing with the sensors off), "ZoomIn" and
// "ZoomOut" (the print preview's page). A null pixmap for any other key.
QPixmap imgCursor(const QString &key);

// The editor's lock of the editing commands (setEditBtns), installed by the
// editor at start-up; until then the refresh locks nothing.
using EditLockFn = void (*)(bool lock);
void installEditLock(EditLockFn fn);

} // namespace vt
