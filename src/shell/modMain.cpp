#include "shell/modMain.h"

#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/timers.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"
#include "shell/modStatus.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

namespace vt {

namespace {

// Below 800 x 600 the windows do not fit; the user may go on anyway. No ends
// the program, after marking this copy's record as ended again so that its
// number is not blocked for the copies started later.
void chkScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize size = screen->size();
    if (size.width() >= 800 && size.height() >= 600)
        return;
    const QString text = QStringLiteral("This program requires a Minimum screen resolution of 800 X 600  \r\n")
        + QStringLiteral("Your resolution is only ") + QString::number(size.width()) + QStringLiteral(" x ")
        + QString::number(size.height()) + QStringLiteral(" picels\r\n\r\nDo you want to continue anyway ?");
    const int style = vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground;
    if (MsgBox(text, style, QStringLiteral("Vantrell - Screen Resolution")) == vbNo) {
        savAppEnd();
        endProgram();
    }
}

} // namespace

int Main(QApplication &app)
{
    installErrorReporter();
    const bool ok = trapErrors([] {
        fmtDumpNum = 0;
        AppNum = 0;
        errCount = 0;
        StartDate = now();
        SoftShip = true;
        zapSoftFlags();
        UserLevelIni = UserLevel;
        seedProgramFolder();
        AppHelpFile = programFolder() + QStringLiteral("/vantrell.hlp");
        AppTitle = QStringLiteral("Vantrell0");
        getCmdLine();
        setAppInst();
        savAppRun();
        chkScreenSize();
        frmMDI *mdi = frmMDI::get();
        mdi->showDebugMenu(SoftDebugSee);
        frmSplash::Startup();
        if (QMdiSubWindow *child = mdi->mdiArea->activeSubWindow())
            child->setFocus();
        doEvents();
    });
    if (!ok)
        errLoc(QStringLiteral("modMain\\Main(0)"));
    if (forms::loaded().isEmpty())
        return 0;
    notifyStarted();
    return app.exec();
}

} // namespace vt
