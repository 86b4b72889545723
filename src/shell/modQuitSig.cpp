#include "shell/modQuitSig.h"

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/longwork.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"
#include "shell/modRecovery.h"
#include "shell/modStartNbrs.h"

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vt {

namespace {

int pipeFds[2] = {-1, -1};
QSocketNotifier *notifier = nullptr;
// From the first line of main() until the event loop runs: a signal in that
// time ends the program once start-up has got somewhere it can end from.
bool startupRunning = false;

// Only async-signal-safe work here: one byte into the pipe.
void onSignal(int)
{
    const char c = 1;
    const int saved = errno;
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &c, 1);
    errno = saved;
}

const QString kRecovered = QStringLiteral("Recovered");

} // namespace

QString recoveredFolder() { return programFolder() + QStringLiteral("/recovered"); }

void saveRecovered()
{
    QStringList paths = nbrEditor().saveRecoveryCopies(recoveredFolder());
    const QString notes = nbrNotes().saveRecoveryCopy(recoveredFolder());
    if (!notes.isEmpty())
        paths << notes;
    // Added to what an earlier run left, in case its notice was never seen.
    int n = int(GetAllSettings(AppTitle, kRecovered).size());
    for (const QString &path : paths)
        SaveSetting(AppTitle, kRecovered, QStringLiteral("File") + QString::number(++n), path);
}

void seeRecovered()
{
    // Copies kept while CFiles changed, left by a run that crashed or was
    // killed, are named as those written when the program was ended from
    // outside. A copy whose file never got written is dropped without a word;
    // the copies of this run's own CFiles are not this notice's business.
    QStringList keys, names;
    for (const auto &[key, path] : GetAllSettings(AppTitle, kRecovered)) {
        const bool live = key.startsWith(QStringLiteral("Live "), Qt::CaseInsensitive);
        if (live && RecoveryCopy::isLive(path))
            continue;
        keys << key;
        if (!live || QFileInfo(path).size() > 0)
            names << QFileInfo(path).fileName();
    }
    // Cleared first, so that the notice is given once even if this run is
    // ended while it is shown.
    for (const QString &key : keys)
        DeleteSetting(AppTitle, kRecovered, key);
    flushSettings();
    if (names.isEmpty())
        return;
    QString text = QStringLiteral("The last run of the program ended while CFiles or notes had unsaved changes.\r\n"
                                  "Their text was kept in the folder\r\n")
        + recoveredFolder() + QStringLiteral(":\r\n");
    for (const QString &name : names)
        text += QStringLiteral("\r\n    ") + name;
    MsgBox(text, vbOKOnly | vbInformation, AppTitle + QStringLiteral(" - Recovered CFiles"));
}

void quitBySignal()
{
    // Nobody is there to answer any more: every question from here on takes
    // its default, and a question or window waiting for the user now is
    // closed, so that the program can end.
    answers::setScripted(true);
    // The copies first: a window waiting for the user (the notes window shown
    // modally at start-up) would otherwise ask about its changes on closing.
    guarded(QStringLiteral("modQuitSig/saveRecovered"), [] { saveRecovered(); });
    // The list of recovered files must be on disk even if a harder signal follows.
    flushSettings();
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    // Start-up waits for replies in loops of its own, and an unload already
    // under way finishes its question first; the program closes right after.
    // Long work (a large file loading) stops at its next yield; the windows
    // close once it has unwound, not from inside it.
    longwork::requestStop();
    frmMDI *mdi = frmMDI::instance();
    if (startupRunning || frmSplash::starting() || longwork::running() || (mdi && mdi->isUnloading())) {
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

void catchQuitSignals()
{
    if (pipeFds[0] >= 0)
        return;
    if (::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

void installQuitSignals()
{
    catchQuitSignals();
    if (pipeFds[0] < 0 || notifier)
        return;
    // A signal caught before this point waits in the pipe and is taken now.
    notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char buf[16];
        while (::read(pipeFds[0], buf, sizeof buf) > 0) {
        }
        quitBySignal();
    });
}

void setStartupRunning(bool running) { startupRunning = running; }

} // namespace vt
