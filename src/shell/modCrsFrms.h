// Showing and hiding the terminal window from the main window, and keeping
// its toolbar button and menu check in step with it.
#pragma once

namespace vt {

// Shows the terminal window when hidden, hides it when shown, and brings a
// minimized or maximized one back to its normal size (visible); then
// refreshes the button and reloads the command engine's wait setting.
void togTerminal();
// The toolbar button "BTerminal" pressed and the menu item mnuLocalPort
// checked exactly while the terminal window is visible.
void updTermBtn();

} // namespace vt
