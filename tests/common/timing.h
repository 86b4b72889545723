// Timing checks that hold on a loaded machine. A check whose verdict rests on
// how much time passed measures that time itself. When the machine stalled
// longer than the check's margin, so that the outcome proves nothing either
// way, the attempt counts for nothing and runs again; what a stall can never
// excuse (a timer that expires before its time) fails at once.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <functional>

namespace vt::test {

// Runs `attempt` until one comes to a verdict: the attempt sets its flag once
// the times it measured let it check what it set out to check. A failed check
// inside an attempt ends the test function at once.
inline void untilConclusive(const std::function<void(bool &conclusive)> &attempt, int tries = 20)
{
    for (int i = 0; i < tries; ++i) {
        bool conclusive = false;
        attempt(conclusive);
        if (conclusive || QTest::currentTestFailed())
            return;
    }
    QFAIL("Every attempt was stalled past its margin; the machine is too busy to check this timing.");
}

// Lets the event loop run until `clock` reads at least `ms`, then once more.
// Returns the reading taken just before that last pass: every timer due by
// then has fired when this returns.
inline qint64 runEventsUntil(const QElapsedTimer &clock, qint64 ms)
{
    for (qint64 left = ms - clock.elapsed(); left > 0; left = ms - clock.elapsed())
        QTest::qWait(int(left));
    const qint64 at = clock.elapsed();
    QCoreApplication::processEvents();
    return at;
}

} // namespace vt::test
