#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/timerctl.h"
#include "platform/timers.h"
#include "remote/frmRemCtr.h"
#include "remote/modRemoteNbr.h"
#include "shell/frmFPrgrs.h"
#include "shell/frmGPrgrs.h"
#include "shell/modNeighbours.h"
#include "shell/modPrgrs.h"

using namespace vt;

namespace {

// Records the text a label shows each time it is painted.
class PaintLog : public QObject {
public:
    explicit PaintLog(QLabel *label) : label_(label) { label->installEventFilter(this); }
    QStringList painted;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == label_ && e->type() == QEvent::Paint)
            painted << label_->text();
        return false;
    }

private:
    QLabel *label_;
};

class CountingChrono : public ChronoNbr {
public:
    int aborts = 0;
    void abtCroTask() override { ++aborts; }
};

} // namespace

class TestPrgrs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installRemoteSubsystem(); }

    void init()
    {
        answers::reset();
        Err.Clear();
        PrgrsState = PrgrsStateRec{};
        BusyPrgrs = false;
        cmdRxToCFile = false;
        croAbortReq = false;
        installChrono(nullptr);
    }

    void cleanup()
    {
        for (Form *f : forms::loaded())
            f->unload(vbFormCode);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Eight expected pieces: each step shows its share on the progress window
    // and on the panel alike; a ninth stays at the end.
    void stepsShowShareOnBothDisplays()
    {
        frmRemCtr *panel = frmRemCtr::get();
        seeGPrgrs(1);
        frmGPrgrs *w = frmGPrgrs::instance();
        QVERIFY(w && w->isVisible());
        w->prgRemCtr->setValue(70);
        panel->prgRemCtr->setValue(70);
        setPrgrsRange(0, 8);
        QCOMPARE(w->prgRemCtr->value(), 0);
        QCOMPARE(panel->prgRemCtr->value(), 0);
        QCOMPARE(w->labPrgrsVal->text(), QStringLiteral("000.0%"));

        const QStringList texts = {"12.5%", "25.0%", "37.5%", "50.0%", "62.5%", "75.0%", "87.5%", "100.0%", "100.0%"};
        const QList<int> bars = {12, 25, 38, 50, 62, 75, 88, 100, 100};
        for (int i = 0; i < texts.size(); ++i) {
            stepPrgrs();
            QCOMPARE(w->labPrgrsVal->text(), texts[i]);
            QCOMPARE(w->prgRemCtr->value(), bars[i]);
            QCOMPARE(panel->labPrgrsVal->text(), texts[i]);
            QCOMPARE(panel->prgRemCtr->value(), bars[i]);
        }
        QCOMPARE(PrgrsState.PrgrsCur, 8);
        QCOMPARE(Err.Number, 0);
    }

    // Ranges that do not start at 0, odd shares, an empty range and one as
    // wide as a Long allows: the step never raises and never passes the end.
    void stepEdges_data()
    {
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("last");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("cur");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bar");
        QTest::newRow("thirds") << 0.0 << 3.0 << 1 << 1 << "33.3%" << 33;
        QTest::newRow("two thirds") << 0.0 << 3.0 << 2 << 2 << "66.7%" << 67;
        QTest::newRow("offset range") << 10.0 << 14.0 << 3 << 13 << "75.0%" << 75;
        QTest::newRow("first rounded half to even") << 2.5 << 6.0 << 1 << 3 << "25.0%" << 25;
        QTest::newRow("empty range keeps the display") << 5.0 << 5.0 << 2 << 5 << "000.0%" << 0;
        QTest::newRow("last before first") << 5.0 << 2.0 << 1 << 2 << "100.0%" << 100;
        QTest::newRow("widest range") << -2147483647.0 << 2147483647.0 << 1 << -2147483646 << "0.0%" << 0;
    }
    void stepEdges()
    {
        QFETCH(double, first);
        QFETCH(double, last);
        QFETCH(int, steps);
        QFETCH(int, cur);
        QFETCH(QString, text);
        QFETCH(int, bar);
        seeGPrgrs(1);
        setPrgrsRange(first, last);
        for (int i = 0; i < steps; ++i)
            stepPrgrs();
        QCOMPARE(PrgrsState.PrgrsCur, cur);
        QCOMPARE(frmGPrgrs::instance()->labPrgrsVal->text(), text);
        QCOMPARE(frmGPrgrs::instance()->prgRemCtr->value(), bar);
        QCOMPARE(Err.Number, 0);
    }

    // With neither window loaded the step still counts and loads nothing.
    void stepWithoutWindows()
    {
        setPrgrsRange(0, 4);
        stepPrgrs();
        QCOMPARE(PrgrsState.PrgrsCur, 1);
        QVERIFY(!frmGPrgrs::isLoaded());
        QVERIFY(!frmRemCtr::isLoaded());
    }

    void bars()
    {
        QCOMPARE(prgrsBarValue(12.5f), 12);
        QCOMPARE(prgrsBarValue(37.5f), 38);
        QCOMPARE(prgrsBarValue(99.5f), 100);
        QCOMPARE(prgrsText(37.5f), QStringLiteral("37.5%"));
        QCOMPARE(prgrsText(0.0f), QStringLiteral("0.0%"));
    }

    void seeModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("shownAfter"); // from a window not loaded
        QTest::addColumn<bool>("keptAfter");  // from a window shown
        for (int m : {1, 3, 9})
            QTest::addRow("mode %d", m) << m << true << true;
        for (int m : {0, 2})
            QTest::addRow("mode %d", m) << m << false << false;
        for (int m : {4, 5, 8, 10, -1})
            QTest::addRow("mode %d", m) << m << false << true;
    }
    void seeModes()
    {
        QFETCH(int, mode);
        QFETCH(bool, shownAfter);
        QFETCH(bool, keptAfter);
        seeGPrgrs(int16_t(mode));
        QCOMPARE(frmGPrgrs::isLoaded(), shownAfter);
        if (shownAfter) {
            QVERIFY(frmGPrgrs::instance()->isVisible());
            QVERIFY(frmGPrgrs::instance()->windowFlags() & Qt::WindowStaysOnTopHint);
            QCOMPARE(frmGPrgrs::instance()->windowTitle(), QStringLiteral("Vantrell progress"));
        }
        seeGPrgrs(1);
        seeGPrgrs(int16_t(mode));
        QCOMPARE(frmGPrgrs::isLoaded(), keptAfter);
    }

    // The title lasts until the window goes; a new window starts with
    // "Progress" again.
    void captionLastsUntilUnload()
    {
        seeGPrgrs(1);
        setPrgrsCaption(QStringLiteral("Get KT4 Status"));
        QCOMPARE(frmGPrgrs::instance()->labPrgrs->text(), QStringLiteral("Get KT4 Status"));
        seeGPrgrs(3);
        QCOMPARE(frmGPrgrs::instance()->labPrgrs->text(), QStringLiteral("Get KT4 Status"));
        endPrgrs();
        QVERIFY(!frmGPrgrs::isLoaded());
        seeGPrgrs(1);
        QCOMPARE(frmGPrgrs::instance()->labPrgrs->text(), QStringLiteral("Progress"));
    }

    // The flags each procedure sets, from a known start.
    void flags()
    {
        setPrgrsMode(1);
        QVERIFY(PrgrsState.PrgrsOn);
        setPrgrsMode(2);
        QVERIFY(!PrgrsState.PrgrsOn);
        setPrgrsMode(1);
        setPrgrsMode(0);
        QVERIFY(!PrgrsState.PrgrsOn);

        setBusyPrgrs(1);
        QVERIFY(BusyPrgrs);
        QVERIFY(frmGPrgrs::isLoaded() && frmGPrgrs::instance()->isVisible());
        setBusyPrgrs(0);
        QVERIFY(!BusyPrgrs);
        QVERIFY(!frmGPrgrs::isLoaded());

        setTaskMode(2);
        QVERIFY(cmdRxToCFile && !BusyPrgrs);
        setTaskMode(3);
        QVERIFY(cmdRxToCFile && !BusyPrgrs);
        setTaskMode(4);
        QVERIFY(!cmdRxToCFile && BusyPrgrs);

        PrgrsState.PCycleCnt = 9;
        setPCycle(1);
        QVERIFY(PrgrsState.PrgrsCancel);
        QCOMPARE(PrgrsState.PCycleCnt, int16_t(0));
        PrgrsState.PCycleCnt = 4;
        setPCycle(0);
        QVERIFY(!PrgrsState.PrgrsCancel);
        QCOMPARE(PrgrsState.PCycleCnt, int16_t(4));
        setPCycle(1);
        clrPrgrsCancel();
        QVERIFY(!PrgrsState.PrgrsCancel);
        setPCycle(1);
        seeGPrgrs(1);
        endPrgrs();
        QVERIFY(!PrgrsState.PrgrsCancel);
        QVERIFY(!frmGPrgrs::isLoaded());
    }

    // Abort reaches the chronograph's abort: the stand-in records the
    // request for the running operation; an installed command engine gets
    // the call. A new window clears an old request.
    void abortReachesChrono()
    {
        croAbortReq = true;
        seeGPrgrs(1);
        QVERIFY(!croAbortReq);
        QPushButton *abort = frmGPrgrs::instance()->findChild<QPushButton *>(QStringLiteral("cmdSetPrgTab0"));
        QVERIFY(abort);
        QCOMPARE(abort->text(), QStringLiteral("Abort"));
        QCOMPARE(abort->accessibleName(), QStringLiteral("Abort"));
        abort->click();
        QVERIFY(croAbortReq);
        QVERIFY(frmGPrgrs::isLoaded()); // the task closes the window when it has stopped

        CountingChrono chrono;
        installChrono(&chrono);
        croAbortReq = false;
        abort->click();
        QCOMPARE(chrono.aborts, 1);
        installChrono(nullptr);
    }

    // A task that waits for its replies in the event loop, as the chronograph
    // operations do: the user's Abort, clicked while it runs, ends the wait.
    void abortDuringTask()
    {
        seeGPrgrs(1);
        setPrgrsRange(0, 1000);
        setPrgrsMode(1);
        QTimer::singleShot(0, [] { frmGPrgrs::instance()->cmdSetPrgTab[0]->click(); });
        int rounds = 0;
        while (!croAbortReq && rounds < 10000) {
            stepPrgrs();
            doEvents(5);
            ++rounds;
        }
        QVERIFY(croAbortReq);
        QVERIFY(PrgrsState.PrgrsCur < 1000);
        setPrgrsMode(0);
        endPrgrs();
        QVERIFY(!frmGPrgrs::isLoaded());
    }

    // The panel's cycle timer steps the progress while the cycle is on, and
    // the progress window is painted with each share while the work waits.
    void cycleStepsAndWindowPaints()
    {
        frmRemCtr *panel = frmRemCtr::get();
        panel->lodRemCtr();
        panel->tmrPCycle->setInterval(5);
        seeGPrgrs(1);
        frmGPrgrs *w = frmGPrgrs::instance();
        PaintLog log(w->labPrgrsVal);
        setPrgrsRange(0, 4);
        setPCycle(1);
        QCOMPARE(panel->tmrPCycle->Tag, QStringLiteral("0"));
        QTRY_VERIFY_WITH_TIMEOUT(PrgrsState.PCycleCnt >= 4, 20000);
        setPCycle(0);
        QCOMPARE(panel->tmrPCycle->Tag, QStringLiteral("1"));
        const int16_t stopped = PrgrsState.PCycleCnt;
        QCOMPARE(w->labPrgrsVal->text(), QStringLiteral("100.0%"));
        QCOMPARE(panel->labPrgrsVal->text(), QStringLiteral("100.0%"));
        QTRY_VERIFY(log.painted.contains(QStringLiteral("100.0%")));
        // Each share was on screen before the next replaced it.
        for (const char *share : {"25.0%", "50.0%", "75.0%"})
            QVERIFY2(log.painted.contains(QString::fromLatin1(share)), share);
        // Stopped: further ticks leave the count alone.
        panel->tmrPCycle->fire();
        QCOMPARE(PrgrsState.PCycleCnt, stopped);
    }

    void cycleStopsAtItsLimit()
    {
        frmRemCtr *panel = frmRemCtr::get();
        panel->PCycleLim = 3;
        setPrgrsRange(0, 10);
        setPCycle(1);
        for (int i = 0; i < 5; ++i)
            panel->tmrPCycle->fire();
        QCOMPARE(PrgrsState.PCycleCnt, int16_t(3));
        QCOMPARE(PrgrsState.PrgrsCur, 3);
    }

    // The export's progress window: hourglass while loaded, the box that
    // closes it, the shares as the general window shows them.
    void exportWindow()
    {
        frmFPrgrs *f = frmFPrgrs::get();
        QCOMPARE(f->windowTitle(), QStringLiteral("Data Export Progress"));
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        f->showPercent(12.5);
        QCOMPARE(f->labPrgrsVal->text(), QStringLiteral("12.5%"));
        QCOMPARE(f->prgRemCtr->value(), 12);
        QVERIFY(!f->chkOut->accessibleName().isEmpty());
        f->chkOut->click();
        QVERIFY(!frmFPrgrs::isLoaded());
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestPrgrs)
#include "tst_prgrs.moc"
