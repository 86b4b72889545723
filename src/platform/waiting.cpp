#include "platform/waiting.h"

#include "platform/timers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace vt::waiting {

namespace {

int running = 0;

class Depth {
public:
    Depth() { ++running; }
    ~Depth() { --running; }
    Depth(const Depth &) = delete;
    Depth &operator=(const Depth &) = delete;
};

// Ends a modal window's loop once the window is no longer visible: a hide,
// or a close that hides it. A minimised window stays visible and keeps it.
class HideWatch : public QObject {
public:
    HideWatch(QWidget *window, QEventLoop *loop) : window_(window), loop_(loop) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
            // A close may still be refused; look once it has been handled.
            QMetaObject::invokeMethod(
                loop_,
                [w = QPointer<QWidget>(window_), l = loop_] {
                    const QWidget *still = w.data();
                    if (!still || !still->isVisible())
                        l->quit();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget *window_;
    QEventLoop *loop_;
};

} // namespace

End until(const Wait &wait)
{
    Depth depth;
    // Kept in nanoseconds: a bound counted in whole milliseconds from a clock
    // read in whole milliseconds could end up to one short.
    const QDeadlineTimer end = wait.boundMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(wait.boundMs);
    const int look = std::max(1, wait.lookMs);
    for (;;) {
        if (wait.done && wait.done())
            return End::Done;
        if (wait.aborted && wait.aborted())
            return End::Aborted;
        if (end.hasExpired())
            return End::Bound;
        const qint64 left = end.isForever() ? look : std::max<qint64>(1, end.remainingTime());
        doEvents(int(std::min<qint64>(left, look)));
    }
}

void turn()
{
    Depth depth;
    doEvents();
}

void modal(QWidget *window)
{
    if (!window)
        return;
    Depth depth;
    const Qt::WindowModality before = window->windowModality();
    // Modality takes effect when a window is shown.
    window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
    // Handlers that run during the wait may delete the window.
    const QPointer<QWidget> alive(window);
    if (window->isVisible()) {
        QEventLoop loop;
        HideWatch watch(window, &loop);
        window->installEventFilter(&watch);
        QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
        if (QWidget *w = alive.data())
            w->removeEventFilter(&watch);
    }
    if (QWidget *w = alive.data())
        w->setWindowModality(before);
}

int depth() { return running; }

} // namespace vt::waiting
