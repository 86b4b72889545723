// The main window's view choices at start-up and the status bar's line counter.
#pragma once

namespace vt {

class RichTextBox;

// Reads "StandardToolbar", "FormatToolbar", "Ruler", "StatusBar" and
// "ViewMode" of section "frmMDI" and applies them to the menu check marks, the
// bars and the view mode. A stored value that is no truth value stops it at
// that key's stage (reported).
void getMDISettings();
// "Line:" n " tot:" m of the caret in `box`, in the status bar's panel "Lines".
void seeLineCnt(RichTextBox *box);

} // namespace vt
