// The main window's commands on the active CFile: the Edit, Search and Format
// menus, the font-name, font-size and colour fields of the format bar, the
// printing items of the File menu, the Interface menu's log fonts and options,
// the case conversion, and the standard keys of these commands.
#pragma once

#include <cstdint>

namespace vt {

class frmMDI;
class RichTextBox;

// Connects the commands to the main window's menus and fields and gives the
// commands their standard keys; called once when the main window loads.
void wireEditCommands(frmMDI *mdi);
// Lets the main window's command keys reach their commands while a CFile's
// box has the focus (the box would otherwise take Ctrl+V and the like itself,
// even while the command is locked).
void installCommandKeys(RichTextBox *box);

// Edit
void mnuEditUndo_Click();
void mnuEditRedo_Click();
void mnuEditCut_Click();
void mnuEditCopy_Click();
// Pastes and leaves the pasted text selected.
void mnuEditPaste_Click();
void mnuEditDelete_Click();
void mnuEditSelectAll_Click();
// The CFile counts as unchanged: closing it asks nothing.
void mnuTagClean_Click();

// Search
void mnuSearchFind_Click();
void mnuSearchFindNext_Click();
void mnuSearchReplace_Click();
void mnuSearchGoTo_Click();

// Format
void mnuFormatStart_Click();
void mnuMrgnsSetup_Click();
void mnuFrmtTabs_Click();
void mnuFormatFont_Click();
void mnuParaLeft_Click();
void mnuParaCenter_Click();
void mnuParaRight_Click();
void mnuScrpUnderline_Click();
void mnuScrpStrikeThru_Click();
void mnuTypItalic_Click();
void mnuTypBold_Click();
void mnuFormatScriptNoScript_Click();
void mnuFormatScriptSubScript_Click();
void mnuFormatScriptSuperScript_Click();
// Move the left edge of every paragraph the selection touches by the hanging
// indent of the default paragraph margins.
void mnuFormatIndent_Click();
void mnuFormatOutdent_Click();
void mnuBulletsSet_Click();
void cboFontName_Click();
void cboFontSize_Click();
// The colour dialog; its choice colours the selection and the colour field.
void txtFontColors_Click();

// File > Print
void mnuFilePrintNow_Click();
void mnuPrnPreview_Click();
void mnuFilePageSetup_Click();
void mnuPrintSetup_Click();

// Interface
void mnuLogFont_Click();
void mnuInsertTimeDate_Click();
void mnuInsertSymbols_Click();
void mnuViewDocumentProperties_Click();
void mnuXSetup_Click();

// Mode 0 keeps the active CFile's selection; any other mode puts it back and
// gives the box the focus.
void sarSelect(int16_t mode);
// Upper or lower case for the selection, or with none for the character
// before the caret; each character keeps its format and the selection stays.
void cvtCaseUpper();
void cvtCaseLower();

} // namespace vt
