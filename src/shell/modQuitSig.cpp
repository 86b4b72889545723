#include "shell/modQuitSig.h"

#include "platform/errors.h"
#include "platform/forms.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"

#include <QCoreApplication>
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
    // Start-up waits for replies in loops of its own; the program closes when
    // it has finished, so no half-loaded window is torn down under it.
    if (frmSplash::starting()) {
        QTimer::singleShot(200, qApp, [] { quitBySignal(); });
        return;
    }
    guarded(QStringLiteral("modQuitSig/quitBySignal"), [] {
        if (frmMDI *mdi = frmMDI::instance())
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
