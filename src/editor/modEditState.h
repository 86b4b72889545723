// Whether the main window's editing controls are enabled, shown, checked or
// pressed: they follow the active CFile (its text, selection, undo buffer,
// changed flag and selection format) and a few mode flags of the program.
#pragma once

namespace vt {

// Disables or hides every document control, reading nothing of the active
// CFile: at the main window's load and whenever a CFile closes.
void zapFgsMDI();
// Enables what the presence of a CFile allows: at a CFile's load and
// activation.
void setFgsMDI();
// Refreshes every rule from the active CFile, in stages 0 to 6; with no CFile
// it stops after stage 4 and the format buttons keep their pressed states.
void updFgsMDI();
// These three report a failure through errLoc as "modMain\zapFgsMDI",
// "modMain\setFgsMDI" or "modMain\updFgsMDI(<stage>)"; what they set before it
// stays set.

// Editing the active CFile is refused while received shots go into it with
// the sensors armed, unless the operator switch SoftEdit is on.
bool isEditAllowed();

// Sets Enabled to the opposite of lock on the standard buttons Cut, Paste,
// Undo, Redo, the format buttons CaseToUpper, CaseToLower and the menu items
// Undo, Redo, Cut, Paste, Delete and "&Spare...". No error trap: a failure
// goes to the caller.
void setEditBtns(bool lock);

// After a format command: the Bold, Italic, Underline, StrikeThru and
// alignment buttons and their menu marks from the selection, then the focus
// back to the active CFile. Does nothing without one. No error trap.
void updFmtButtons();

// Whether the clipboard holds text; asked once after each change of the
// clipboard, not at every refresh.
bool clipboardHasText();

// Hands setEditBtns to the indicator refresh of the shell.
void installEditState();

} // namespace vt
