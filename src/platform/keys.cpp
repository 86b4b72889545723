#include "platform/keys.h"

namespace vt {

int16_t keyCodeOf(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return int16_t(vbKeyA + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return int16_t(qtKey); // '0'..'9' share their codes
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return int16_t(vbKeyF1 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab: case Qt::Key_Backtab: return vbKeyTab;
    case Qt::Key_Return: case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Shift: return vbKeyShift;
    case Qt::Key_Control: return vbKeyControl;
    case Qt::Key_Alt: return vbKeyMenu;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return vbKeyPageUp;
    case Qt::Key_PageDown: return vbKeyPageDown;
    case Qt::Key_End: return vbKeyEnd;
    case Qt::Key_Home: return vbKeyHome;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Insert: return vbKeyInsert;
    case Qt::Key_Delete: return vbKeyDelete;
    default: return 0;
    }
}

int16_t shiftOf(Qt::KeyboardModifiers modifiers)
{
    int16_t s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= vbShiftMask;
    if (modifiers & Qt::ControlModifier)
        s |= vbCtrlMask;
    if (modifiers & Qt::AltModifier)
        s |= vbAltMask;
    return s;
}

} // namespace vt
