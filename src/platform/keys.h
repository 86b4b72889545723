// Key codes and shift states as the program's key handlers receive them
// (KeyDown/KeyUp: KeyCode and Shift), and their translation from Qt.
#pragma once

#include <Qt>
#include <cstdint>

namespace vt {

// Shift argument bits.
enum ShiftMask : int16_t { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

// Key codes (the letters and digits are their upper-case characters).
enum KeyCodeConstant : int16_t {
    vbKeyBack = 8, vbKeyTab = 9, vbKeyReturn = 13, vbKeyShift = 16, vbKeyControl = 17, vbKeyMenu = 18,
    vbKeyEscape = 27, vbKeySpace = 32, vbKeyPageUp = 33, vbKeyPageDown = 34, vbKeyEnd = 35, vbKeyHome = 36,
    vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39, vbKeyDown = 40, vbKeyInsert = 45, vbKeyDelete = 46,
    vbKeyA = 65, vbKeyZ = 90,
    vbKeyF1 = 112, vbKeyF2, vbKeyF3, vbKeyF4, vbKeyF5, vbKeyF6, vbKeyF7, vbKeyF8, vbKeyF9, vbKeyF10, vbKeyF11,
    vbKeyF12,
};

// The key code of a Qt key (0 for keys without one).
int16_t keyCodeOf(int qtKey);
// The Shift argument of Qt modifiers.
int16_t shiftOf(Qt::KeyboardModifiers modifiers);

} // namespace vt
