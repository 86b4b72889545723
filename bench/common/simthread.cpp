#include "common/simthread.h"

#include "sim/kt4sim.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMutexLocker>
#include <QTimer>

namespace bench {

QString SimThread::waitForPort()
{
    while (state_.load() == Starting)
        QThread::msleep(1);
    QMutexLocker lock(&mutex_);
    return port_;
}

QString SimThread::error() const
{
    QMutexLocker lock(&mutex_);
    return error_;
}

void SimThread::run()
{
    vt::sim::Kt4Sim sim;
    QString err;
    if (!sim.start(false, &err)) {
        QMutexLocker lock(&mutex_);
        error_ = err;
        state_.store(Failed);
        return;
    }
    {
        QMutexLocker lock(&mutex_);
        port_ = sim.portName();
    }
    if (everyMs_ > 0) {
        sim.options().pacing = true;
        sim.options().chunks = {1};
    }
    state_.store(Ready);
    int fired = 0;
    while (!quit_.load()) {
        if (round_.load() == fired || !sim.peerConnected()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            QThread::usleep(200);
            continue;
        }
        sim.unit().armed = true;
        firstCount_ = (sim.unit().totalShots + 1) % 100000;
        started_ = Clock::now();
        startedRound_.store(fired + 1);
        for (int i = 0; i < shots_; ++i) {
            if (everyMs_ > 0)
                waitUntil(started_ + std::chrono::milliseconds(qint64(i) * everyMs_));
            sim.fireShot();
            // Until the whole line is in the pty: a program that reads
            // slower than we write makes the simulator wait and retry,
            // on a timer of its own that wakes this blocking wait. Paced,
            // the simulator's own timers send each character in turn.
            while (!sim.isIdle() && !quit_.load()) {
                if (everyMs_ > 0)
                    waitUntil(Clock::now() + std::chrono::milliseconds(1));
                else
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            sent_[size_t(i)] = Clock::now();
        }
        done_.store(++fired);
    }
    sim.stop();
}

void SimThread::waitUntil(Clock::time_point when)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now()).count();
    if (left <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(int(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace bench
