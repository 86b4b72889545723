#include "platform/timers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <ctime>

namespace vt {

static QDateTime &fixedNow()
{
    static QDateTime t;
    return t;
}

void doEvents(int maxWaitMs)
{
    if (maxWaitMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // A timer bounds the wait: processEvents returns at the first event,
    // which is at the latest the timer's own.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(maxWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

namespace {

// A clock read that costs a few nanoseconds; its steps of a few
// milliseconds are fine enough for a gap of tens of them.
int64_t coarseMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

int paintGap = kPaintGapMs;
int64_t lastTurn = coarseMs();

} // namespace

bool paintDue()
{
    return coarseMs() - lastTurn >= paintGap;
}

void letPaint(PaintMode mode)
{
    // Only the program's own thread may run its event loop.
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        if (mode == PaintMode::WithInput)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        else
            // Only the repaints the windows asked for: no handler of the
            // program runs, so the work's data stay as they are.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
    // The gap counts from the end of the turn, so a slow turn does not make
    // the next one due at once.
    lastTurn = coarseMs();
}

bool keepPainted(PaintMode mode)
{
    if (!paintDue())
        return false;
    letPaint(mode);
    return true;
}

void setPaintGapMs(int ms) { paintGap = ms < 0 ? kPaintGapMs : ms; }

int64_t monoMs()
{
    static QElapsedTimer t = [] { QElapsedTimer e; e.start(); return e; }();
    return t.elapsed();
}

QDateTime now() { return fixedNow().isValid() ? fixedNow() : QDateTime::currentDateTime(); }

void setFixedNow(const QDateTime &when) { fixedNow() = when; }

double Timer()
{
    const QTime t = now().time();
    return t.msecsSinceStartOfDay() / 1000.0;
}

} // namespace vt
