// The default document formats applied to the active CFile, the format of its
// selection read back, the format toolbar that shows it, and the quick font
// command on the selection.
#pragma once

#include "platform/commondlg.h"
#include "platform/controls.h"

#include <QColor>
#include <QPushButton>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QToolButton;
class QWidget;

namespace vt {

class RichTextBox;
struct FontFmt;

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

// A font record as the font dialog's first choice.
dialogs::FontChoice fontChoice(const FontFmt &f);

// Gives every control of a dialog that has no accessible name yet its caption
// (without the access-key mark), or else its tooltip.
void nameControls(QWidget *dialog);

// --- the parts the margins and tabs dialogs share ------------------------------
// The Units frame: a labelled list of the units lengths are shown and typed in.
QGroupBox *unitsFrame(QWidget *dialog, QComboBox *&units);
// The Default box (named as the dialog names it) and the Warning box.
void defaultBoxes(QWidget *dialog, const QString &defaultName, QCheckBox *&byDefault, QCheckBox *&warn);
// The Effects frame of the font dialogs: Underline over Strike Thru, both
// with the tip the dialogs give them.
QGroupBox *effectsFrame(QWidget *dialog, QCheckBox *&underline, QCheckBox *&strikeThru);
// The up and down arrows beside a length field, cmdPosMov<first> (up) and
// cmdPosMov<first + 1> (down), in a small frame fraPosMov<frame>; a click
// calls click with the arrow's index, reported under where.
QWidget *arrowPair(QWidget *parent, int frame, QToolButton **pair, int first, const QString &field,
                   const std::function<void(int)> &click, const QString &where);

// The buttons both dialogs close with, in the order given by their names
// (cmdSave, cmdApply, cmdReset, cmdAtCurs, cmdRead, cmdCancel, cmdClose); the
// tips of Apply and @Cursor say what the dialog applies and reads. None is a
// default button; each click is reported under "<dialog>/<name>_Click".
template <class D>
std::vector<QPushButton *> setupButtons(D *d, const QStringList &order, const QString &applyTip,
                                        const QString &atCursorTip)
{
    struct Item {
        const char *name, *caption;
        QString tip;
        void (D::*click)();
        QPushButton *D::*slot;
    };
    const Item items[] = {
        {"cmdSave", "Save", QStringLiteral("Save Setup"), &D::cmdSave_Click, &D::cmdSave},
        {"cmdApply", "Apply", applyTip, &D::cmdApply_Click, &D::cmdApply},
        {"cmdReset", "Reset", QStringLiteral("Reset All Values to System Default"), &D::cmdReset_Click, &D::cmdReset},
        {"cmdAtCurs", "@Cursor", atCursorTip, &D::cmdAtCurs_Click, &D::cmdAtCurs},
        {"cmdRead", "Restore", QStringLiteral("Restore Saved Values"), &D::cmdRead_Click, &D::cmdRead},
        {"cmdCancel", "Cancel", QStringLiteral("Cancel all changes"), &D::cmdCancel_Click, &D::cmdCancel},
        {"cmdClose", "Ok", QStringLiteral("Exit"), &D::cmdClose_Click, &D::cmdClose},
    };
    std::vector<QPushButton *> made;
    for (const QString &name : order)
        for (const Item &it : items)
            if (name == QLatin1String(it.name)) {
                const auto fn = it.click;
                auto *b = controls::make<QPushButton>(
                    d, {name, QString::fromLatin1(it.caption), [d, fn] { (d->*fn)(); }, it.tip}, d->objectName() + u'/');
                b->setAutoDefault(false);
                d->*it.slot = b;
                made.push_back(b);
            }
    return made;
}

// The active CFile's text box, or nullptr.
RichTextBox *activeRtf();

} // namespace vt
