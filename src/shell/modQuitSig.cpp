#include "shell/modQuitSig.h"

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vt {

namespace {

int pipeFds[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
void onSignal(int)
{
    const char c = 1;
    const int saved = errno;
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &c, 1);
    errno = saved;
}

} // namespace

void quitBySignal()
{
    // Nobody is there to answer any more: every question from here on takes
    // its default, and a question or window waiting for the user now is
    // closed, so that the program can end.
    answers::setScripted(true);
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    // Start-up waits for replies in loops of its own, and an unload already
    // under way finishes its question first; the program closes right after.
    frmMDI *mdi = frmMDI::instance();
    if (frmSplash::starting() || (mdi && mdi->isUnloading())) {
        QTimer::singleShot(100, qApp, [] { quitBySignal(); });
        return;
    }
    guarded(QStringLiteral("modQuitSig/quitBySignal"), [mdi] {
        if (mdi)
            mdi->unload(vbAppWindows);
        else
            QCoreApplication::quit();
    });
}

void installQuitSignals()
{
    if (pipeFds[0] >= 0)
        return;
    if (::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    auto *notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char buf[16];
        while (::read(pipeFds[0], buf, sizeof buf) > 0) {
        }
        quitBySignal();
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

} // namespace vt
