// Window and view helpers: the word-wrap view mode of CFiles and of the
// terminal text, windows that stay on top, windows without a Close command,
// and the main window's font lists.
#pragma once

#include <cstdint>

class QComboBox;
class QTextEdit;
class QWidget;

namespace vt {

// The view mode of CFiles: 0 no wrapping, 1 wrap at the window edge, 2 wrap
// at the printer's page width. Saved as "ViewMode" of section "frmMDI".
inline int16_t ViewMode = 0;

// The text box rtfText of the main window's active CFile; nullptr when no
// CFile is open.
QTextEdit *activeCFileBox();

// Stores the mode, checks its item of the view-mode menu, presses the
// WordWrap button for mode 1 only, and saves the mode.
void setWrapMode(int16_t mode);
// Applies ViewMode to the active CFile's text box. Never fails: with no CFile,
// or with mode 2 and no printer, nothing changes.
void setRtfWrap();
// The terminal text: 0 no wrapping, 1 wrap at the edge; other modes do nothing.
void setTxtWrap(int32_t mode);
// The wrap modes on one text box (a QTextEdit or QPlainTextEdit). Mode 2 needs
// a printer and does nothing without one; other modes do nothing.
void applyWrap(QWidget *box, int mode);

// The title-bar close button and the window manager's close (Alt+F4) no
// longer close the window; the program still can.
void zapSysClose(QWidget *window);
// On top of other windows, or back to normal, without moving or sizing it.
void setOnTop(QWidget *window);
void setNotOnTop(QWidget *window);

// Fills the main window's font-name box with the installed font families and
// its size box with 5 to 72, and shows "Tahoma" and "9".
void lodFontList();
void fillFontLists(QComboBox *names, QComboBox *sizes);

} // namespace vt
