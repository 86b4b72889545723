// Back and fore colours of a control, set and read as colour numbers (blue
// byte high, system colours with the high bit set), as the program's windows
// were designed to colour their boxes and buttons.
#pragma once

#include <cstdint>

class QWidget;

namespace vt {

// The colour fills what the control shows its content on: the box of a text
// field, the face of a button, the background of any other widget.
void SetBackColor(QWidget *control, uint32_t colour);
// The colour of the control's text.
void SetForeColor(QWidget *control, uint32_t colour);
// The numbers last set; a control never set answers the number of the colour
// it shows now.
uint32_t BackColor(const QWidget *control);
uint32_t ForeColor(const QWidget *control);

} // namespace vt
