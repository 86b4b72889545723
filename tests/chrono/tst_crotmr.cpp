#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "chrono/modCroLnk.h"
#include "chrono/modCroTmr.h"
#include "common/simline.h"
#include "common/timing.h"
#include "platform/errors.h"
#include "shell/modBusy.h"

using namespace vt;
using vt::test::runEventsUntil;
using vt::test::untilConclusive;

class TestCroTmr : public QObject {
    Q_OBJECT
private slots:
    void init() { vttest::resetLinkRecords(); }
    void cleanupTestCase() { unloadLinkTimers(); }

    void designValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("tag");
        QTest::newRow("tmrCrxShrt") << "tmrCrxShrt" << false << 100 << "1";
        QTest::newRow("tmrCrxLng") << "tmrCrxLng" << false << 0 << "1";
        QTest::newRow("tmrCrxHed") << "tmrCrxHed" << false << 500 << "1";
        QTest::newRow("tmrGPeriod") << "tmrGPeriod" << false << 0 << "1";
        QTest::newRow("tmrCom2Sho") << "tmrCom2Sho" << true << 300 << "0";
        QTest::newRow("tmrCom2Lng") << "tmrCom2Lng" << true << 10000 << "1";
        QTest::newRow("tmrExcEnd") << "tmrExcEnd" << false << 250 << "1";
        QTest::newRow("tmrExcRtc") << "tmrExcRtc" << false << 100 << "1";
    }
    void designValues()
    {
        QFETCH(QString, name);
        LinkTimers &l = lnkTmr();
        const TimerCtl *found = nullptr;
        for (const TimerCtl *t : {&l.tmrCrxShrt, &l.tmrCrxLng, &l.tmrCrxHed, &l.tmrGPeriod, &l.tmrCom2Sho,
                                  &l.tmrCom2Lng, &l.tmrExcEnd, &l.tmrExcRtc})
            if (t->name() == name)
                found = t;
        QVERIFY(found);
        QTEST(found->Enabled(), "enabled");
        QTEST(found->Interval(), "interval");
        QTEST(found->Tag, "tag");
    }

    void oneShotExpiresOnceAfterItsInterval()
    {
        QElapsedTimer clock;
        clock.start();
        strCrxShrt(40);
        TimerCtl &t = lnkTmr().tmrCrxShrt;
        QVERIFY(t.Enabled() && oneShotRuns(t));
        QCOMPARE(t.Interval(), 40);
        QTRY_VERIFY_WITH_TIMEOUT(oneShotExpired(t), 2000);
        QVERIFY(clock.elapsed() >= 35);
        QVERIFY(!t.Enabled());
        // A stopper on an expired timer leaves it expired.
        stpCrxWait();
        QCOMPARE(t.Tag, QStringLiteral("1"));
        QVERIFY(!t.Enabled());
    }

    void replyWaitArmsAndStopsBothTimers()
    {
        CroLnk.rxRecent = QStringLiteral("old answer");
        strCrxWait(250, 2000);
        LinkTimers &l = lnkTmr();
        QVERIFY(CroLnk.rxRecent.isEmpty());
        QVERIFY(CroLnk.rxRecentOn);
        QCOMPARE(l.tmrCrxShrt.Interval(), 250);
        QCOMPARE(l.tmrCrxLng.Interval(), 2000);
        QVERIFY(l.tmrCrxShrt.Enabled() && oneShotRuns(l.tmrCrxShrt));
        QVERIFY(l.tmrCrxLng.Enabled() && oneShotRuns(l.tmrCrxLng));
        stpCrxWait();
        QVERIFY(!CroLnk.rxRecentOn);
        for (const TimerCtl *t : {&l.tmrCrxShrt, &l.tmrCrxLng}) {
            QVERIFY(!t->Enabled());
            QVERIFY(oneShotExpired(*t));
        }
        // Stopped means stopped: nothing fires later.
        QTest::qWait(300);
        QVERIFY(!l.tmrCrxShrt.Enabled());
    }

    // The receive engine keeps a running quiet gap from expiring while text comes.
    void restartProlongsOnlyARunningTimer()
    {
        TimerCtl &t = lnkTmr().tmrCrxShrt;
        restartIfRunning(t);
        QVERIFY(!t.Enabled());
        QVERIFY(oneShotExpired(t));

        // Restarted every 20 ms, the timer still runs well past the moment it
        // would have expired unprolonged. It may expire only once a whole
        // interval has passed since its last restart, which a stall of this
        // thread allows: then the attempt starts over.
        constexpr int interval = 80;
        untilConclusive([&t](bool &conclusive) {
            QElapsedTimer clock;
            clock.start();
            qint64 restarted = clock.elapsed(); // no later than the start itself
            strCrxShrt(interval);
            const qint64 due = clock.elapsed() + interval; // no earlier than an unprolonged expiry
            for (;;) {
                const qint64 at = runEventsUntil(clock, clock.elapsed() + 20);
                const bool runs = oneShotRuns(t);
                const qint64 now = clock.elapsed();
                if (!runs) {
                    QVERIFY2(now - restarted >= interval, qPrintable(QStringLiteral("expired %1 ms after its last restart")
                                                                         .arg(now - restarted)));
                    return;
                }
                if (at > due + 1) { // past its unprolonged expiry, and running
                    conclusive = true;
                    return;
                }
                restarted = clock.elapsed();
                restartIfRunning(t);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(oneShotExpired(t), 2000);
    }

    void headerWatch()
    {
        strCrxHed(QStringLiteral("MMR:"), 500);
        LinkTimers &l = lnkTmr();
        QCOMPARE(l.rxHedTxt, QStringLiteral("MMR:"));
        QVERIFY(l.tmrCrxHed.Enabled() && oneShotRuns(l.tmrCrxHed));
        QCOMPARE(l.tmrCrxHed.Interval(), 500);
        stpCrxHed();
        QVERIFY(!l.tmrCrxHed.Enabled() && oneShotExpired(l.tmrCrxHed));
    }

    void longOperationCountsDownQuarterSeconds()
    {
        strGPeriod(60);
        TimerCtl &t = lnkTmr().tmrGPeriod;
        QCOMPARE(t.Interval(), 250);
        QCOMPARE(gPeriodCnt, int16_t(240));
        QVERIFY(t.Enabled() && oneShotRuns(t));
        for (int i = 0; i < 239; ++i)
            t.fire();
        QVERIFY(t.Enabled() && oneShotRuns(t));
        QCOMPARE(gPeriodCnt, int16_t(1));
        t.fire();
        QVERIFY(!t.Enabled());
        QVERIFY(oneShotExpired(t));

        // A count already below zero ends at the next tick, at 0.
        strGPeriod(1);
        gPeriodCnt = -3;
        t.fire();
        QCOMPARE(gPeriodCnt, int16_t(0));
        QVERIFY(oneShotExpired(t));

        // And it really ticks: one second is four ticks.
        strGPeriod(1);
        QTRY_VERIFY_WITH_TIMEOUT(oneShotExpired(t), 3000);
        QCOMPARE(gPeriodCnt, int16_t(0));
        stpGPeriod();
        QVERIFY(oneShotExpired(t));
    }

    void stopAllAtExit()
    {
        strCrxWait(100, 1000);
        strCrxHed(QStringLiteral("MMR:"), 500);
        strGPeriod(10);
        lnkTmr().tmrExcRtc.setEnabled(true);
        stpLinkTimers();
        LinkTimers &l = lnkTmr();
        for (const TimerCtl *t : {&l.tmrCrxShrt, &l.tmrCrxLng, &l.tmrCrxHed, &l.tmrGPeriod, &l.tmrCom2Sho,
                                  &l.tmrCom2Lng, &l.tmrExcEnd, &l.tmrExcRtc}) {
            QVERIFY2(!t->Enabled(), qPrintable(t->name()));
            QVERIFY2(oneShotExpired(*t), qPrintable(t->name()));
        }
    }

    void waitEndsWhenTheLineGoesQuiet()
    {
        TimerCtl &t = lnkTmr().tmrCrxShrt;
        QCOMPARE(waitWhileRunning(t, 1000), WaitEnd::Expired); // not running: at once
        strCrxShrt(50);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(waitWhileRunning(t, 2000), WaitEnd::Expired);
        QVERIFY(clock.elapsed() >= 45 && clock.elapsed() < 2000);
    }

    // A line that never goes quiet: the wait ends at its bound, as a failure.
    void neverQuietLineEndsAtTheBound()
    {
        TimerCtl &t = lnkTmr().tmrCrxShrt;
        // The talker comes far more often than the gap, so a late tick on a
        // loaded machine does not let the line go quiet.
        strCrxShrt(150);
        QTimer talker;
        QObject::connect(&talker, &QTimer::timeout, [&t] { restartIfRunning(t); });
        talker.start(10);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(waitWhileRunning(t, 500), WaitEnd::Bound);
        QVERIFY(clock.elapsed() >= 495 && clock.elapsed() < 3000);
        QVERIFY(oneShotRuns(t));
    }

    void waitEndsWhenTheUserAborts()
    {
        TimerCtl &t = lnkTmr().tmrCrxLng;
        strOneShot(t, 5000);
        // The user's Yes to "abort ... task anyway" comes in through the event loop.
        QTimer::singleShot(30, [] { abortTask = true; });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(waitWhileRunning(t, 5000), WaitEnd::Aborted);
        QVERIFY(clock.elapsed() < 1000);
        abortTask = false;
        // A caller may watch its own flag instead.
        bool stop = true;
        QCOMPARE(waitWhileRunning(t, 5000, [&stop] { return stop; }), WaitEnd::Aborted);
    }

    void timerControlRules()
    {
        TimerCtl t(QStringLiteral("tmrTest"));
        int ticks = 0;
        t.onTimer([&ticks] { ++ticks; });
        t.setEnabled(true); // Interval 0 never fires
        QTest::qWait(60);
        QCOMPARE(ticks, 0);
        t.setInterval(20); // periodic while enabled
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 2000);
        t.setEnabled(false);
        const int seen = ticks;
        QTest::qWait(60);
        QCOMPARE(ticks, seen);
        QVERIFY_THROWS_EXCEPTION(RtError, t.setInterval(-1));

        // A failing Timer event is reported and swallowed; the timer goes on.
        t.onTimer([&ticks] { ++ticks; raise(5); });
        t.fire();
        QCOMPARE(Err.Number, 5);
        QCOMPARE(ticks, seen + 1);
    }
};

QTEST_GUILESS_MAIN(TestCroTmr)
#include "tst_crotmr.moc"
