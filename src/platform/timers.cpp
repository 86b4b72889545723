#include "platform/timers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

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
