#include "remote/frmRemCtr.h"

#include "shell/modBusy.h"

#include <QCloseEvent>

namespace vt {

frmRemCtr::frmRemCtr()
{
    setObjectName(QStringLiteral("frmRemCtr"));
    setWindowTitle(QStringLiteral("zOvu Remote"));
    setWindowFlag(Qt::Window);
}

frmRemCtr::~frmRemCtr() = default;

void frmRemCtr::Form_Load() { trkForm(0, "RemCtr"); }

void frmRemCtr::Form_QueryUnload(int &cancel, int unloadMode)
{
    // The window lives for the whole run: the user's close only hides it.
    if (unloadMode == vbFormControlMenu) {
        hide();
        cancel = 1;
    }
}

void frmRemCtr::Form_Unload(int &cancel)
{
    (void)cancel;
    trkForm(1, "RemCtr");
}

void frmRemCtr::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmRemCtr::lodRemCtr() {}

void frmRemCtr::extRemCtr(int cancel) { (void)cancel; }

} // namespace vt
