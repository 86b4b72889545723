// The main window's two toolbars and the CFile's pop-up menu: each button and
// item forwards to the menu command of the same meaning, so toolbar, menu and
// pop-up always behave alike; and the view-mode items of the View menu.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

class frmMDI;

// Dispatch on a button's key (exact, case-sensitive); an unknown key does nothing.
void tbrStandard_ButtonClick(const QString &key);
void tbrFormat_ButtonClick(const QString &key);
// Sets the pop-up menu's items from the active CFile as the menu opens.
void popMain_Click();
// Normal view (0), wrap at the window (1), wrap at the printer's page width (2).
void mnuViewMode_Click(int16_t index);

// The View menu's bar switches: each shows or hides its bar and writes its
// setting at once, whatever SaveRegistry says.
void mnuViewToolbarStandard_Click(bool checked);
void mnuViewToolbarFormat_Click(bool checked);
void mnuViewRuler_Click(bool checked);
void mnuViewStatusBar_Click(bool checked);
// Insert > File (rich or plain text by its extension) and Insert > Picture
// (bmp, gif, jpg, png), both through the clipboard, and Insert > Directory
// (the CFile's own path and name).
void mnuInsertTextFile_Click();
void mnuInsertPicture_Click();
void mnuInsertPathandFile_Click();

// Connects the buttons, the pop-up items and the view-mode items once.
void wireToolbars(frmMDI *mdi);

} // namespace vt
