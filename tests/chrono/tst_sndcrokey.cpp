// The command engine against the simulated chronograph: one key out, the
// reply class's ending found in what came back, and every way a wait ends.

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "chrono/modCroLnk.h"
#include "chrono/modCroProt.h"
#include "chrono/modCroTmr.h"
#include "chrono/modCroWake.h"
#include "common/timing.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "sim/kt4sim.h"
#include "common/simline.h"

using namespace vt;
using vt::test::untilConclusive;


class TestSndCroKey : public QObject {
    Q_OBJECT
private:
    sim::Kt4Sim sim_;
    frmTerminal *term_ = nullptr;

    // When the simulator read the last `key` (ms on its clock), -1 if never.
    qint64 arrival(char key) const
    {
        const QVector<sim::Kt4Sim::RxByte> &log = sim_.receiveLog();
        for (qsizetype i = log.size() - 1; i >= 0; --i)
            if (log[i].byte == key)
                return log[i].ms;
        return -1;
    }

    // Sends one key and returns how long the exchange took.
    qint64 send(int ctrl, const QString &key, int expect = 0, int gapMs = 0)
    {
        QElapsedTimer t;
        t.start();
        sndCroKey(ctrl, key, expect, gapMs);
        return t.elapsed();
    }

private slots:
    void initTestCase()
    {
        // The whole road: keys out through the terminal window's link port,
        // answers back through its receive engine.
        QString why;
        QVERIFY2(vttest::startSimLine(sim_, term_, &why), qPrintable(why));
    }
    void cleanupTestCase()
    {
        vttest::closeSimLine(term_);
    }
    void init() { vttest::freshLinkCase(sim_); }

    // Key by key over the reply classes: the code, the prompt kind and the
    // menu side each ending gives.
    void replyClasses_data()
    {
        QTest::addColumn<int>("ctrl");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("side");    // the unit's side before the key
        QTest::addColumn<bool>("inMenu"); // the unit is in its menu
        QTest::addColumn<bool>("armed");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("prmKind");
        QTest::addColumn<int>("menLev");

        QTest::newRow("70 ctrl M at the data prompt") << 1 << "M" << 1 << false << false << 1 << 1 << 0;
        QTest::newRow("70 ctrl M at the statistics prompt") << 1 << "M" << 2 << false << false << 2 << 2 << 0;
        QTest::newRow("80 ctrl U outside the menu") << 1 << "U" << 1 << false << false << 1 << 1 << 0;
        QTest::newRow("80 ctrl D in the data menu") << 1 << "D" << 1 << true << false << 3 << 0 << 1;
        QTest::newRow("80 ctrl R in the statistics menu") << 1 << "R" << 2 << true << false << 4 << 0 << 2;
        QTest::newRow("81 ctrl ^ delete shot") << 1 << "^" << 1 << false << false << 1 << 1 << 0;
        QTest::newRow("81 ctrl B undelete folder") << 1 << "B" << 2 << false << false << 2 << 2 << 0;
        QTest::newRow("90 ESC") << 1 << "[" << 1 << false << false << 1 << 1 << 0;
        QTest::newRow("90 ESC statistics, armed") << 1 << "[" << 2 << false << true << 2 << 2 << 0;
        QTest::newRow("90 unlisted ctrl T") << 1 << "T" << 1 << false << false << 1 << 1 << 0;
        QTest::newRow("90 unlisted plain X") << 0 << "X" << 2 << false << false << 2 << 2 << 0;
        QTest::newRow("0 dump 1, sensors off") << 0 << "1" << 1 << false << false << 2 << 1 << 0;
        QTest::newRow("0 dump 2, armed") << 0 << "2" << 1 << false << true << 1 << 1 << 0;
        QTest::newRow("1 dump 3, sensors off") << 0 << "3" << 2 << false << false << 2 << 1 << 0;
        QTest::newRow("1 dump 3, armed") << 0 << "3" << 1 << false << true << 1 << 1 << 0;
        QTest::newRow("11 D") << 0 << "D" << 2 << false << false << 1 << 1 << 0;
        QTest::newRow("11 S") << 0 << "S" << 1 << false << false << 2 << 2 << 0;
        QTest::newRow("11 T") << 0 << "T" << 2 << false << false << 2 << 2 << 0;
        QTest::newRow("12 Q") << 0 << "Q" << 1 << false << false << 1 << 1 << 0;
        QTest::newRow("13 Z") << 0 << "Z" << 2 << false << true << 2 << 2 << 0;
        QTest::newRow("13 Z in the menu") << 0 << "Z" << 1 << true << false << 3 << 0 << 1;
        QTest::newRow("20 M data side") << 0 << "M" << 1 << false << false << 1 << 0 << 1;
        QTest::newRow("20 M statistics side") << 0 << "M" << 2 << false << false << 2 << 0 << 2;
        QTest::newRow("30 W") << 0 << "W" << 2 << false << false << 2 << 2 << 0;
        QTest::newRow("30 A") << 0 << "A" << 1 << false << false << 1 << 1 << 0;
        QTest::newRow("40 P") << 0 << "P" << 1 << false << false << 1 << 0 << 0;
        QTest::newRow("50 C") << 0 << "C" << 2 << false << false << 2 << 2 << 0;
    }
    void replyClasses()
    {
        QFETCH(int, ctrl);
        QFETCH(QString, key);
        QFETCH(int, side);
        QFETCH(bool, inMenu);
        QFETCH(bool, armed);
        sim::Unit &u = sim_.unit();
        u.side = side;
        u.inMenu = inMenu;
        u.armed = armed;

        send(ctrl, key);

        QTEST(int(CroLnk.croLinkErr), "code");
        QTEST(int(CroLnk.croPrmKind), "prmKind");
        QTEST(int(CroLnk.croMenLev), "menLev");
        QVERIFY(!CroLnk.croErr);
        QVERIFY(CroSta.croOnLine);
        QVERIFY(!CroLnk.croBusy);
        // Exactly the key went out, as its wire character.
        QCOMPARE(sim_.received(), QByteArray(1, char(croWireChar(ctrl != 0, key.at(0)).unicode())));
    }

    // After ESC the sensors are armed unless the answer says "CAP=OFF"; any
    // answer that says it disarms them.
    void sensorsAfterEscape_data()
    {
        QTest::addColumn<bool>("armed");
        QTest::newRow("<End> and the prompt") << true;
        QTest::newRow("<End> CAP=OFF and the prompt") << false;
    }
    void sensorsAfterEscape()
    {
        QFETCH(bool, armed);
        sim_.unit().armed = armed;
        CroSta.croSnsOn = !armed;
        send(1, QStringLiteral("["), 1);
        QCOMPARE(CroLnk.croLinkErr, int16_t(1));
        QVERIFY(!CroLnk.croErr);
        QCOMPARE(CroSta.croSnsOn, armed);
        QCOMPARE(CroLnk.rxRecent.contains(QLatin1String("CAP=OFF")), !armed);
    }
    void deleteKeyWhileArmedDisarms()
    {
        sim_.unit().armed = true;
        CroSta.croSnsOn = true;
        send(1, QStringLiteral("^"), 1);
        QCOMPARE(CroLnk.croLinkErr, int16_t(1));
        QVERIFY(!CroSta.croSnsOn);
    }
    void escapeWakesAPoweredOffUnit()
    {
        sim_.unit().powered = false;
        send(1, QStringLiteral("["), 11);
        QCOMPARE(CroLnk.croLinkErr, int16_t(5));
        QCOMPARE(CroLnk.croMenLev, int16_t(1));
        QVERIFY(CroSta.croPwrOn);
        QVERIFY(!CroLnk.croErr);
    }

    // A right answer of the wrong kind is a failure with the answer's code.
    void wrongKindFails_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("expect");
        QTest::addColumn<bool>("wrongPrompt");
        QTest::addColumn<int>("code");
        QTest::newRow("menu side expected, data prompt came") << "D" << 11 << false << 1;
        QTest::newRow("data prompt expected, statistics prompt came") << "D" << 1 << true << 2;
    }
    void wrongKindFails()
    {
        QFETCH(QString, key);
        QFETCH(int, expect);
        QFETCH(bool, wrongPrompt);
        sim_.options().wrongPrompt = wrongPrompt;
        send(0, key, expect);
        QTEST(int(CroLnk.croLinkErr), "code");
        QVERIFY(CroLnk.croErr);
        QVERIFY(CroSta.croOnLine);
    }

    // No answer at all: the quiet gap runs out, long before the whole-answer time.
    void silentUnitGivesQuietGap_data()
    {
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<int>("expectGap");
        QTest::newRow("the caller's gap") << 120 << 120;
        QTest::newRow("gap 0 keeps 250") << 0 << 250;
    }
    void silentUnitGivesQuietGap()
    {
        QFETCH(int, gapMs);
        QFETCH(int, expectGap);
        sim_.options().silentKeys = "D";
        const qint64 ms = send(0, QStringLiteral("D"), 1, gapMs);
        QCOMPARE(CroLnk.croLinkErr, croQuietGap);
        QVERIFY(CroLnk.croErr);
        QVERIFY(!CroSta.croOnLine);
        QVERIFY2(ms >= expectGap - 5 && ms < expectGap + 1500, qPrintable(QString::number(ms)));
        QVERIFY(!CroLnk.rxRecentOn);
    }

    // An answer that keeps coming in pieces without its ending: each piece
    // restarts the quiet gap, the whole-answer time ends it.
    void slowUnitGivesWholeAnswerTime()
    {
        croTimesHook = [](CroKeyTimes &t) { t.wholeMs = 400; };
        sim_.options().chunks = {4};
        sim_.options().delayWithinMs = 40;
        const qint64 ms = send(0, QStringLiteral("Q"), 1, 150);
        QCOMPARE(CroLnk.croLinkErr, croWholeTime);
        QVERIFY(CroLnk.croErr);
        // 400 ms for the answer, then at most as long again for the rest to drain.
        QVERIFY2(ms >= 395 && ms < 2500, qPrintable(QString::number(ms)));
    }

    // The eDisk dump ends only after the last folder's end line.
    void diskDumpNotEndedEarly_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("a string's end and the prompt") << QByteArray("\r\nMMR:<End> Fol=03 Str=02\r\nMMR:<End>\r\nDAT>") << 100;
        QTest::newRow("after folder 10") << QByteArray("\r\nMMR:<End> Fol=10 Str=02\r\nMMR:<End>\r\nDAT>") << 1;
        QTest::newRow("after folder 10, CAP=OFF")
            << QByteArray("\r\nMMR:<End> Fol=10 Str=02\r\nMMR:<End> CAP=OFF\r\nDAT>") << 2;
    }
    void diskDumpNotEndedEarly()
    {
        QFETCH(QByteArray, text);
        sim_.options().silentKeys = "3";
        const auto conn = connect(&sim_, &sim::Kt4Sim::keyReceived, this, [this, text](int) { sim_.sendRaw(text); });
        send(0, QStringLiteral("3"), 1);
        disconnect(conn);
        QTEST(int(CroLnk.croLinkErr), "code");
    }

    // Dump lines that stop coming end a dump, even while its time runs. Text
    // without another "MMR:" line keeps the line from going quiet; it comes
    // from the simulator's own thread, and an attempt in which that thread
    // paused as long as the quiet gap proves nothing and starts over.
    void stalledDumpGives103()
    {
        constexpr int gapMs = 200;
        untilConclusive([this](bool &conclusive) {
            sim_.options().silentKeys = "2";
            const auto conn = connect(&sim_, &sim::Kt4Sim::keyReceived, this, [this](int) {
                sim_.sendRaw("\r\nMMR:<Begin> Fol=01 Str=01 Siz=03\r\nMMR:01:01:001 ");
                sim_.startTalk("-", 40, 20);
            });
            const qint64 ms = send(0, QStringLiteral("2"), 1, gapMs);
            disconnect(conn);
            const QVector<sim::Kt4Sim::Write> w = sim_.finishTalk();
            for (qsizetype i = 1; i < w.size(); ++i)
                if (w[i].after - w[i - 1].before >= gapMs)
                    return;
            QCOMPARE(CroLnk.croLinkErr, croDumpStall);
            QVERIFY2(ms >= 495, qPrintable(QString::number(ms)));
            conclusive = true;
        });
    }

    // The long-operation limit replaces the whole-answer time.
    void longOperationLimit()
    {
        croTimesHook = [](CroKeyTimes &t) {
            t.wholeMs = 300;
            t.gPeriodSec = 1;
        };
        sim_.options().neverStops = true;
        const qint64 ms = send(0, QStringLiteral("C"), 1);
        QCOMPARE(CroLnk.croLinkErr, croLongOp);
        QVERIFY2(ms >= 990 && ms < 2000, qPrintable(QString::number(ms)));
    }

    // A unit that never stops talking: the exchange fails within its bound,
    // the next key fails unsent within its bound, and the busy lock is free.
    // Besides the unit's own talk, text comes every 10 ms from the
    // simulator's own thread, so that a late event loop here cannot make the
    // line look quiet; an attempt in which that thread paused as long as the
    // tail gap proves nothing and starts over.
    void neverQuietUnitEndsInFailure()
    {
        constexpr int tailGapMs = 50;
        croTimesHook = [](CroKeyTimes &t) { t.wholeMs = 300; };
        sim_.options().neverStops = true;
        untilConclusive([this](bool &conclusive) {
            CroTaskGuard task;
            QVERIFY(!task.refused());
            QVERIFY(sim_.startTalk("talk ", 400, 10));
            const qint64 sentAt = sim_.msNow();
            const qint64 ms = send(0, QStringLiteral("D"), 1);
            const int16_t firstErr = CroLnk.croLinkErr;
            const bool firstFailed = CroLnk.croErr;

            sim_.clearReceived();
            const qint64 ms2 = send(0, QStringLiteral("S"), 2);
            const qint64 doneAt = sim_.msNow();
            const QVector<sim::Kt4Sim::Write> w = sim_.finishTalk();
            // Steady talk over both keys, or the attempt proves nothing (a
            // pause of the talk as long as a gap makes the line quiet).
            bool steady = !w.isEmpty() && w.first().after < sentAt + tailGapMs && w.last().before > doneAt;
            for (qsizetype i = 1; i < w.size(); ++i)
                steady = steady && w[i].after - w[i - 1].before < tailGapMs;
            if (!steady)
                return;
            QCOMPARE(firstErr, croWholeTime);
            QVERIFY(firstFailed);
            QVERIFY2(ms < 2500, qPrintable(QString::number(ms)));
            QCOMPARE(CroLnk.croLinkErr, croWholeTime);
            QVERIFY2(ms2 >= 295 && ms2 < 2500, qPrintable(QString::number(ms2)));
            QCOMPARE(sim_.received(), QByteArray());
            conclusive = true;
        });
        QVERIFY(!croTask(0));
        QVERIFY(!CroLnk.croBusy);
    }

    // The user's abort ends the wait at once.
    void abortEndsTheWait()
    {
        sim_.options().silentKeys = "D";
        QTimer::singleShot(100, [] { abortTask = true; });
        const qint64 ms = send(0, QStringLiteral("D"), 1, 3000);
        QCOMPARE(CroLnk.croLinkErr, croUserAbort);
        QVERIFY(CroLnk.croErr);
        QVERIFY2(ms < 2000, qPrintable(QString::number(ms)));

        // While the abort stands, no further key goes out.
        sim_.clearReceived();
        send(0, QStringLiteral("S"), 2);
        QCOMPARE(CroLnk.croLinkErr, croUserAbort);
        QCOMPARE(sim_.received(), QByteArray());
    }

    // A key goes out only once the line has been quiet for the tail gap: text
    // that keeps coming holds it back until the gap after its last chunk.
    // The text comes from a thread of its own, so its spacing holds while
    // this thread is late; when that thread was stalled long enough that the
    // line went quiet fairly (or the text began only after the tail gap had
    // passed), the attempt starts over.
    void keyWaitsForQuietLine()
    {
        constexpr int tailGapMs = 50;
        untilConclusive([this](bool &conclusive) {
            unloadLinkTimers();
            sim_.clearReceived();
            send(0, QStringLiteral("D"), 1);
            QCOMPARE(CroLnk.croLinkErr, int16_t(1));
            const qint64 dAt = arrival('D');
            QVERIFY(dAt >= 0);
            QVERIFY(sim_.startTalk("noise ", 12, 10));
            send(0, QStringLiteral("S"), 2);
            const QVector<sim::Kt4Sim::Write> w = sim_.finishTalk();
            QCOMPARE(CroLnk.croLinkErr, int16_t(2));
            QCOMPARE(w.size(), 12);
            bool steady = w.first().after < dAt + tailGapMs;
            for (qsizetype i = 1; i < w.size(); ++i)
                steady = steady && w[i].after - w[i - 1].before < tailGapMs;
            if (!steady)
                return;
            const qint64 sAt = arrival('S');
            QVERIFY2(sAt >= w.last().before + tailGapMs,
                     qPrintable(QStringLiteral("the key came %1 ms after the last text began").arg(sAt - w.last().before)));
            conclusive = true;
        });
    }

    // croNoWait ends the wait after one pass; the rest drains.
    void noWaitEndsAtOnce()
    {
        sim_.options().silentKeys = "D";
        CroLnk.croNoWait = true;
        const qint64 ms = send(0, QStringLiteral("D"), 0, 150);
        QCOMPARE(CroLnk.croLinkErr, int16_t(0));
        QVERIFY(!CroLnk.croErr);
        QVERIFY(!CroLnk.croNoWait);
        QCOMPARE(sim_.received(), QByteArray("D"));
        // Only the drain of the quiet gap, no whole-answer wait.
        QVERIFY2(ms < 2000, qPrintable(QString::number(ms)));
    }

    // The calibration key's flag is set for its exchange only; a closed port
    // ends the wait as a quiet gap.
    void calibrationFlagAndClosedPort()
    {
        sim_.options().silentKeys = "C";
        croTimesHook = [](CroKeyTimes &t) { t.gapMs = 100; };
        bool sentDuring = false;
        QTimer::singleShot(30, [&] { sentDuring = CroLnk.croKeySent && CroLnk.gPeriodSec == 90; });
        send(0, QStringLiteral("C"), 1);
        QVERIFY(sentDuring);
        QVERIFY(!CroLnk.croKeySent);
        QCOMPARE(CroLnk.croLinkErr, croQuietGap);

        term_->subClosePort();
        send(0, QStringLiteral("D"), 1, 80);
        term_->subOpenPort();
        QVERIFY(sim_.waitForPeer(true));
        QCOMPARE(CroLnk.croLinkErr, croQuietGap);
        QVERIFY(!CroSta.croOnLine);
    }

    // Waking before an operation: an answering unit at the first ESC, a silent
    // one after its ten tries, and no key at all on a closed port or after an abort.
    void croWakeAnswersFailsAndStops()
    {
        QVERIFY(croWake());
        QCOMPARE(sim_.received().count('\x1b'), 1);

        sim_.clearReceived();
        sim_.options().silentKeys = QByteArray(1, '\x1b');
        QElapsedTimer t;
        t.start();
        QVERIFY(!croWake());
        QCOMPARE(sim_.received().count('\x1b'), 10);
        QVERIFY(t.elapsed() < 8000);

        sim_.clearReceived();
        abortTask = true;
        QVERIFY(!croWake());
        abortTask = false;
        term_->subClosePort();
        QVERIFY(!croWake());
        QCOMPARE(sim_.received().count('\x1b'), 0);
        term_->subOpenPort();
        QVERIFY(sim_.waitForPeer(true));
    }
};

QTEST_MAIN(TestSndCroKey)
#include "tst_sndcrokey.moc"
