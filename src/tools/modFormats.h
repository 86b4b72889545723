// The default document formats applied to the active CFile, the format of its
// selection read back, the format toolbar that shows it, and the quick font
// command on the selection.
#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace vt {

class RichTextBox;

// Each does nothing without an active CFile. The apply procedures go on with
// the next property when one fails; they never move the selection.
void setDocFrmt(); // FontFmtDef to the toolbar and the selection; the whole box's background
void setDocMarg(); // MargFmtDef's indents to the selection
void setDocTabs(); // TabFmtDef's stops to the selection (none when its count is below 1)
// The selection's format into DocFontFmt, unless it mixes formats.
void saxDocFmt();
// saxDocFmt, then DocFontFmt on the format toolbar.
void updTrbDocFmt();
// The format toolbar: font name, size text and the colour sample.
void showToolbarFont(const QString &name, const QString &size, const QColor &text, const QColor &back);

// The quick font command (Format > Font, the toolbar's font button): the font
// dialog on the active CFile's selection, whose choice is applied to it.
void getGenFonts();

// Gives every control of a dialog that has no accessible name yet its caption
// (without the access-key mark), or else its tooltip.
void nameControls(QWidget *dialog);

// The active CFile's text box, or nullptr.
RichTextBox *activeRtf();

} // namespace vt
