// Showing and hiding the terminal window and the remote-control panel from
// the main window, and keeping their toolbar buttons and menu checks in step.
#pragma once

namespace vt {

// Shows the terminal window when hidden, hides it when shown, and brings a
// minimized or maximized one back to its normal size (visible); then
// refreshes the button and reloads the command engine's wait setting.
void togTerminal();
// The toolbar button "BTerminal" pressed and the menu item mnuLocalPort
// checked exactly while the terminal window is visible.
void updTermBtn();

// The same for the remote-control panel: shows it (the main window then
// takes no input until the panel is closed) or hides it (the main window is
// given back), and brings a minimized or maximized one back to normal size.
void togKeypad();
// The toolbar button "Keypad" pressed and the menu items mnuRemCtr and the
// terminal's mnuVewZOvu checked exactly while the panel is visible.
void updKeypadBtn();

} // namespace vt
