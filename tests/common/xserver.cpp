#include "common/xserver.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vttest {

namespace {

// Only stops a test that would hang: a server that came up is seen at once.
constexpr int kComeUpMs = 60000;

// Starts a program with its output discarded; it ends with this process.
pid_t spawn(const QString &program, const QStringList &args)
{
    std::vector<QByteArray> store;
    store.push_back(program.toLocal8Bit());
    for (const QString &a : args)
        store.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : store)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

bool ended(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

void finish(pid_t &pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = 0;
}

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

XServer::~XServer()
{
    finish(wm_);
    finish(xvfb_);
}

bool XServer::start(int width, int height)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        why_ = QStringLiteral("Xvfb is not installed");
        return false;
    }
    // Displays far from the ones people pick by hand, spread by process so
    // that tests running side by side rarely try the same one; a display in
    // use makes Xvfb end at once, and the next one is tried.
    const int first = 200 + int(getpid() % 500);
    for (int n = first; n < first + 40; ++n) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        if (QFileInfo::exists(socket) || QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        pid_t pid = spawn(xvfb, {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                                 QStringLiteral("%1x%2x24").arg(width).arg(height), QStringLiteral("-nolisten"),
                                 QStringLiteral("tcp")});
        if (pid <= 0)
            break;
        const QDeadlineTimer deadline(kComeUpMs);
        bool up = false, gone = false;
        while (!deadline.hasExpired()) {
            if (ended(pid)) {
                gone = true;
                break;
            }
            if (QFileInfo::exists(socket)) {
                up = true;
                break;
            }
            usleep(20000);
        }
        if (!up) {
            if (!gone)
                finish(pid);
            continue;
        }
        xvfb_ = pid;
        display_ = QStringLiteral(":%1").arg(n);
        qputenv("DISPLAY", display_.toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
        // The private session has no message bus: without this Qt's X platform
        // would try to reach one (a person's own desktop, or a bus started on
        // the fly that is never ended), and libdbus keeps memory from a failed
        // try that the leak checker reports.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        return true;
    }
    why_ = QStringLiteral("Xvfb did not come up on a free display");
    return false;
}

bool XServer::startWindowManager()
{
    xcb_connection_t *c = connection();
    if (!c) {
        why_ = QStringLiteral("the application does not run on the X server");
        return false;
    }
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        why_ = QStringLiteral("openbox is not installed");
        return false;
    }
    wm_ = spawn(openbox, {QStringLiteral("--sm-disable")});
    if (wm_ <= 0) {
        why_ = QStringLiteral("openbox did not start");
        wm_ = 0;
        return false;
    }
    // A window manager owns the selection WM_S0 of screen 0 once it runs.
    const QByteArray name("WM_S0");
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr), &free);
    if (!atom) {
        why_ = QStringLiteral("the X server does not answer");
        return false;
    }
    const bool owned = QTest::qWaitFor(
        [&] {
            std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&free)> owner(
                xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr), &free);
            return owner && owner->owner != XCB_NONE;
        },
        kComeUpMs);
    if (!owned)
        why_ = QStringLiteral("openbox did not take over the screen");
    return owned;
}

bool XServer::viewable(const QWidget *w)
{
    xcb_connection_t *c = connection();
    // A window Qt never created natively cannot be on the screen.
    const WId id = w ? w->internalWinId() : 0;
    if (!c || !id)
        return false;
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&free)> attrs(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, xcb_window_t(id)), nullptr), &free);
    return attrs && attrs->map_state == XCB_MAP_STATE_VIEWABLE;
}

} // namespace vttest
