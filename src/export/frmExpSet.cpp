#include "export/frmExpSet.h"

#include "shell/modBusy.h"

#include <QCloseEvent>

namespace vt {

frmExpSet::frmExpSet()
{
    setObjectName(QStringLiteral("frmExpSet"));
    setWindowTitle(QStringLiteral("Export Setup"));
    setWindowFlag(Qt::Window);
}

frmExpSet::~frmExpSet() = default;

void frmExpSet::Form_Load() { trkForm(0, "ExpSet"); }

void frmExpSet::Form_QueryUnload(int &cancel, int unloadMode)
{
    // The window lives for the whole run: the user's close only hides it.
    if (unloadMode == vbFormControlMenu) {
        hide();
        cancel = 1;
    }
}

void frmExpSet::Form_Unload(int &cancel)
{
    (void)cancel;
    trkForm(1, "ExpSet");
}

void frmExpSet::closeEvent(QCloseEvent *e) { handleClose(e); }


} // namespace vt
