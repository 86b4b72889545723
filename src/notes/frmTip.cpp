#include "notes/frmTip.h"

#include "shell/modBusy.h"

#include <QCloseEvent>

namespace vt {

frmTip::frmTip()
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("rUvuzu"));
    setWindowFlag(Qt::Window);
}

frmTip::~frmTip() = default;

void frmTip::Form_Load() { trkForm(0, "Tip"); }

void frmTip::Form_QueryUnload(int &cancel, int unloadMode)
{
    // The window lives for the whole run: the user's close only hides it.
    if (unloadMode == vbFormControlMenu) {
        hide();
        cancel = 1;
    }
}

void frmTip::Form_Unload(int &cancel)
{
    (void)cancel;
    trkForm(1, "Tip");
}

void frmTip::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmTip::lodTip() {}

void frmTip::extTip(int cancel) { (void)cancel; }

} // namespace vt
