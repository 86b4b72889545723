#include "shell/frmMDI.h"

#include "platform/errors.h"
#include "shell/modMain.h"
#include "shell/modStatus.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>

namespace vt {

frmMDI::frmMDI()
{
    setObjectName(QStringLiteral("frmMDI"));
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea);

    mnuDebug = new QMenu(QStringLiteral("&Debug"), this);
    mnuDebug->setObjectName(QStringLiteral("mnuDebug"));
    mnuDebugAction = menuBar()->addMenu(mnuDebug);
    mnuDebugAction->setObjectName(QStringLiteral("mnuDebugMenu"));
    mnuDbgSftDbg = addItem(mnuDebug, "mnuDbgSftDbg", QStringLiteral("&Debug"), &frmMDI::mnuDbgSftDbg_Click);
    mnuDbgSftTst = addItem(mnuDebug, "mnuDbgSftTst", QStringLiteral("&Test"), &frmMDI::mnuDbgSftTst_Click);
    mnuDbgSftShp = addItem(mnuDebug, "mnuDbgSftShp", QStringLiteral("Shi&p"), &frmMDI::mnuDbgSftShp_Click);
    mnuDebugBar0 = mnuDebug->addSeparator();
    mnuDebugBar0->setObjectName(QStringLiteral("mnuDebugBar0"));
    mnuDbgSftHid = addItem(mnuDebug, "mnuDbgSftHid", QStringLiteral("&Hide"), &frmMDI::mnuDbgSftHid_Click);
    mnuGetDbg = addItem(mnuDebug, "mnuGetDbg", QStringLiteral("&GetSetup"), &frmMDI::mnuGetDbg_Click);
    mnuSavDbg = addItem(mnuDebug, "mnuSavDbg", QStringLiteral("&SaveSetup"), &frmMDI::mnuSavDbg_Click);
    mnuDbgZapRegNow = addItem(mnuDebug, "mnuDbgZapRegNow", QStringLiteral("&ClearSetup"), &frmMDI::mnuDbgZapRegNow_Click);
    mnuDebugBar1 = mnuDebug->addSeparator();
    mnuDebugBar1->setObjectName(QStringLiteral("mnuDebugBar1"));
    mnuDbgLevel = mnuDebug->addMenu(QStringLiteral("&UserLevel..."));
    mnuDbgLevel->setObjectName(QStringLiteral("mnuDbgLevel"));
    mnuDbgIncLev = addItem(mnuDbgLevel, "mnuDbgIncLev", QStringLiteral("&Inc"), &frmMDI::mnuDbgIncLev_Click);
    mnuDbgDecLev = addItem(mnuDbgLevel, "mnuDbgDecLev", QStringLiteral("&Dec"), &frmMDI::mnuDbgDecLev_Click);
    mnuDbgMinLev = addItem(mnuDbgLevel, "mnuDbgMinLev", QStringLiteral("Mi&n"), &frmMDI::mnuDbgMinLev_Click);
    mnuDbgMaxLev = addItem(mnuDbgLevel, "mnuDbgMaxLev", QStringLiteral("&Max"), &frmMDI::mnuDbgMaxLev_Click);
    mnuDbgRegistry = mnuDebug->addMenu(QStringLiteral("&Registry..."));
    mnuDbgRegistry->setObjectName(QStringLiteral("mnuDbgRegistry"));
    mnuDbgGetReg = addItem(mnuDbgRegistry, "mnuDbgGetReg", QStringLiteral("&LoadOnStartup"), &frmMDI::mnuDbgGetReg_Click);
    mnuDbgSavReg = addItem(mnuDbgRegistry, "mnuDbgSavReg", QStringLiteral("&SaveOnExit"), &frmMDI::mnuDbgSavReg_Click);
    mnuDbgZapReg = addItem(mnuDbgRegistry, "mnuDbgZapReg", QStringLiteral("&ClearOnExit"), &frmMDI::mnuDbgZapReg_Click);
    for (QAction *a : {mnuDbgSftDbg, mnuDbgSftTst, mnuDbgSftShp, mnuDbgGetReg, mnuDbgSavReg, mnuDbgZapReg})
        a->setCheckable(true);
    showDebugMenu(SoftDebugSee);
}

frmMDI::~frmMDI() = default;

QAction *frmMDI::addItem(QMenu *menu, const char *name, const QString &caption, void (frmMDI::*handler)())
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (handler) {
        const QString where = QStringLiteral("frmMDI/") + QString::fromLatin1(name) + QStringLiteral("_Click");
        connect(a, &QAction::triggered, this, [this, handler, where] { guarded(where, [&] { (this->*handler)(); }); });
    }
    return a;
}

void frmMDI::Form_Load() {}

void frmMDI::showDebugMenu(bool visible)
{
    mnuDebug->menuAction()->setVisible(visible);
}

void frmMDI::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmMDI::mnuDbgSftDbg_Click()
{
    SoftDebug = !SoftDebug;
    mnuDbgSftDbg->setChecked(SoftDebug);
}

void frmMDI::mnuDbgSftTst_Click()
{
    SoftTest = !SoftTest;
    updAllSta();
}

void frmMDI::mnuDbgSftShp_Click()
{
    SoftShip = !SoftShip;
    if (SoftShip) {
        savSoftFlags();
        zapSoftFlags();
    } else {
        getSoftFlags();
    }
    updAllSta();
}

void frmMDI::mnuDbgSftHid_Click()
{
    SoftDebugSee = false;
    showDebugMenu(false);
}

void frmMDI::mnuGetDbg_Click()
{
    getSoftFlags();
    getPrntFmt();
    getMargFmt();
    getTabsFmt();
    getFontFmt();
    updAllSta();
}

void frmMDI::mnuSavDbg_Click()
{
    savSoftFlags();
    savPrntFmt();
    savMargFmt();
    savTabsFmt();
    savFontFmt();
}

void frmMDI::mnuDbgZapRegNow_Click() { zapRegSections(); }

void frmMDI::mnuDbgIncLev_Click()
{
    if (UserLevel < 4) {
        ++UserLevel;
        updAllSta();
    }
}

void frmMDI::mnuDbgDecLev_Click()
{
    if (UserLevel > 0) {
        --UserLevel;
        updAllSta();
    }
}

void frmMDI::mnuDbgMinLev_Click() { UserLevel = 0; updAllSta(); }
void frmMDI::mnuDbgMaxLev_Click() { UserLevel = 4; updAllSta(); }
void frmMDI::mnuDbgGetReg_Click() { GetRegistry = !GetRegistry; mnuDbgGetReg->setChecked(GetRegistry); }
void frmMDI::mnuDbgSavReg_Click() { SaveRegistry = !SaveRegistry; mnuDbgSavReg->setChecked(SaveRegistry); }
void frmMDI::mnuDbgZapReg_Click() { ClearRegistry = !ClearRegistry; mnuDbgZapReg->setChecked(ClearRegistry); }

// The document formats belong to the editor tools; their readers and writers
// take their place here when those land.
void frmMDI::getPrntFmt() {}
void frmMDI::getMargFmt() {}
void frmMDI::getTabsFmt() {}
void frmMDI::getFontFmt() {}
void frmMDI::savPrntFmt() {}
void frmMDI::savMargFmt() {}
void frmMDI::savTabsFmt() {}
void frmMDI::savFontFmt() {}

} // namespace vt
