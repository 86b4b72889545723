#include "shell/modMain.h"

#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"
#include "shell/modStatus.h"

#include <QApplication>

namespace vt {

int Main(QApplication &app)
{
    installErrorReporter();
    SoftShip = true;
    zapSoftFlags();
    UserLevelIni = UserLevel;
    AppTitle = QStringLiteral("Vantrell0");
    seedProgramFolder();
    frmMDI *mdi = frmMDI::get();
    mdi->setWindowTitle(AppTitle);
    updAllSta();
    mdi->show();
    return app.exec();
}

} // namespace vt
