// The main window's File menu: new, open, close, the saves, revert, the most
// recently used files, the reset of the CFile numbers and exit.
#pragma once

namespace vt {

class frmMDI;

// Connects the File menu's CFile commands and the recent-file items of the
// main window; called once when the main window loads.
void wireDocumentCommands(frmMDI *mdi);

// False when no further CFile may be made (more than 99 open, or the
// multi-session question was not answered Yes).
bool okNewCFile();
void mnuFileNew_Click();
void mnuFileOpen_Click();
void mnuFileClose_Click();
void mnuFileCloseAll_Click();
void mnuFileSave_Click();
void mnuFileSaveAs_Click();
void mnuFileSaveAll_Click();
void mnuFileSaveSelectionAs_Click();
void mnuFileRevert_Click();
void mnuFileMRUItem_Click(int index);
void mnuFileExit_Click();
void mnuCFileReSeq_Click();

} // namespace vt
