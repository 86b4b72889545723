// The editing commands of the main window as one group, locked while shots
// arriving in the active CFile must not be disturbed.
#pragma once

namespace vt {

// Sets Enabled to the opposite of lock on the standard buttons Cut, Paste,
// Undo, Redo, the format buttons CaseToUpper, CaseToLower and the menu items
// Undo, Redo, Cut, Paste, Delete and "&Spare...". No error trap: a failure
// goes to the caller.
void setEditBtns(bool lock);

// Hands setEditBtns to the indicator refresh of the shell.
void installEditState();

} // namespace vt
