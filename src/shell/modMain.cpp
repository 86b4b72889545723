#include "shell/modMain.h"

#include "platform/errors.h"
#include "platform/appicon.h"
#include "platform/forms.h"
#include "platform/longwork.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/settings.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"
#include "shell/modQuitSig.h"
#include "shell/modStatus.h"

#include <QApplication>
#include <QDateTime>
#include <QScreen>
#include <QTimer>

namespace vt {

namespace {

QDateTime StartDate;  // when Main began
QString AppHelpFile;  // the help file ("vantrell.hlp" in the program folder)

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

// Problems with the settings files are told once the program is up: the
// copy-number questions run under the settings lock and must not wait on a
// box, and a notice met in the middle of some later work is shown after it.
void tellSettingsProblems()
{
    setSettingsNotice([](const QString &text) {
        QTimer::singleShot(0, [text] {
            guarded(QStringLiteral("modMain\\tellSettingsProblems"), [&] {
                MsgBox(text, vbOKOnly | vbExclamation | vbMsgBoxSetForeground, QStringLiteral("Vantrell - Settings"));
            });
        });
    });
}

} // namespace

bool settleStart(bool startedOk, bool recordWritten)
{
    frmMDI *mdi = frmMDI::instance();
    if (startedOk) {
        // Closed by the user during start-up: its unload has written the record.
        if (forms::loaded().isEmpty())
            return false;
        if (mdi && mdi->loadComplete)
            return true;
    } else if (mdi && mdi->loadComplete) {
        // The error was reported; the main window comes up and stays usable
        // with whatever start-up managed before it.
        mdi->show();
        mdi->setEnabled(true);
        return true;
    }
    // No usable main window: nothing on the screen could end this process, so
    // it ends now, and the record must not stay marked as running.
    if (recordWritten && GetSetting(AppTitle, QStringLiteral("Pemdora"), QStringLiteral("AppRun")) == AppTitle) {
        trapErrors([] { savAppEnd(); });
        Err.Clear();
    }
    return false;
}

int Main(QApplication &app)
{
    useProgramIcon();
    installErrorReporter();
    screenfit::fitEveryWindow();
    // A signal before the main window is up is taken once it is, or ends the
    // program with a start-up that gives up by itself.
    setStartupRunning(true);
    installQuitSignals();
    bool recordWritten = false;
    const bool ok = trapErrors([&recordWritten] {
        fmtDumpNum = 0;
        AppNum = 0;
        errCount = 0;
        StartDate = now();
        SoftShip = true;
        zapSoftFlags();
        UserLevelIni = UserLevel;
        seedProgramFolder();
        writeDesktopEntry(programFolder(), QCoreApplication::applicationFilePath());
        AppHelpFile = programFolder() + QStringLiteral("/vantrell.hlp");
        AppTitle = QStringLiteral("Vantrell0");
        getCmdLine();
        setAppInst();
        savAppRun();
        recordWritten = true;
        chkScreenSize();
        frmMDI *mdi = frmMDI::get();
        mdi->showDebugMenu(SoftDebugSee);
        frmSplash::Startup();
        waiting::turn();
    });
    if (!ok)
        errLoc(QStringLiteral("modMain\\Main(0)"));
    if (!settleStart(ok, recordWritten)) {
        if (ok)
            return 0;
        endProgram(1);
    }
    tellSettingsProblems();
    notifyStarted();
    setStartupRunning(false);
    // From the event loop, so that a signal during the notice still ends the program.
    QTimer::singleShot(0, &app, [] { guarded(QStringLiteral("modMain\\seeRecovered"), [] { seeRecovered(); }); });
    const int rc = app.exec();
    // A file read still running on its thread (none should be) must not have
    // the statics it uses destroyed under it.
    if (longwork::backgroundRunning())
        endProgram(rc);
    return rc;
}

} // namespace vt
