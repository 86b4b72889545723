#include "shell/modStatus.h"

#include "shell/frmMDI.h"
#include "shell/modMain.h"

#include <QAction>
#include <QMenu>

namespace vt {

void updAllSta()
{
    if (!frmMDI::isLoaded())
        return;
    frmMDI *mdi = frmMDI::get();
    mdi->showDebugMenu(SoftDebugSee);
    mdi->mnuDbgSftDbg->setChecked(SoftDebug);
    mdi->mnuDbgSftTst->setChecked(SoftTest);
    mdi->mnuDbgSftShp->setChecked(SoftShip);
    mdi->mnuDbgGetReg->setChecked(GetRegistry);
    mdi->mnuDbgSavReg->setChecked(SaveRegistry);
    mdi->mnuDbgZapReg->setChecked(ClearRegistry);
}

} // namespace vt
