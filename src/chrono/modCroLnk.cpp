#include "chrono/modCroLnk.h"

#include "chrono/modCroProt.h"
#include "chrono/modCroTmr.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "serial/modRxEngine.h"
#include "shell/modNeighbours.h"

#include <utility>

namespace vt {

namespace {

// The tail gap each exchange leaves: the next key goes out only after the
// line has been quiet this long.
constexpr int kTailGapMs = 50;

// Longest single sleep of a waiting loop. Timer expiries and received text
// are events and wake the loop at once; this only bounds the time between
// looks at the abort flag.
constexpr int kLoopWakeMs = 50;

// Lets the event loop run while the quiet-gap timer runs, at most boundMs.
// A line that never goes quiet ends it as a whole-answer failure, an abort of
// the task as an abort; 0 when the line went quiet.
int16_t waitQuiet(int boundMs)
{
    switch (waitWhileRunning(lnkTmr().tmrCrxShrt, boundMs)) {
    case WaitEnd::Expired: return 0;
    case WaitEnd::Bound: return croWholeTime;
    case WaitEnd::Aborted: return croUserAbort;
    }
    return 0;
}

void applySensors(const CroReply &r)
{
    if (r.sensors == CroSensors::Armed)
        CroSta.croSnsOn = true;
    else if (r.sensors == CroSensors::Disarmed)
        CroSta.croSnsOn = false;
    if (r.powerOn)
        CroSta.croPwrOn = true;
}

// Waits for the answer of one key that has gone out; returns the code.
int16_t waitReply(int16_t cls, const CroKeyTimes &times)
{
    LinkTimers &l = lnkTmr();
    int16_t code = 0, stage = 0;
    int32_t lines = RxLogMain.rxLineCnt;
    StallWatch stalls(CroLnk.rxRecent.size(), kLoopWakeMs);
    bool looked = false;
    // One look at the text so far and the time-outs; true when it ended.
    const auto ended = [&] {
        // A caller that does not wait for the answer takes one pass.
        if (std::exchange(looked, true) && CroLnk.croNoWait)
            return true;
        stalls.pass(CroLnk.rxRecent.size());
        // A dump that keeps coming is not a stalled operation: a whole eDisk
        // at 4800 baud takes longer than the long-operation limit, which
        // therefore counts from the last line received (the dump watch still
        // ends a dump whose lines stop).
        if (times.longOp && times.dumpWatch && RxLogMain.rxLineCnt != lines) {
            lines = RxLogMain.rxLineCnt;
            strGPeriod(times.gPeriodSec);
        }
        // The text so far against the class's endings.
        const CroReply r = croTestReply(cls, CroLnk.rxRecent, stage);
        applySensors(r);
        if (r.tested) {
            stage = r.stage;
            if (r.code > 0) {
                CroLnk.croPrmKind = r.prmKind;
                CroLnk.croMenLev = r.menLev;
                CroLnk.croRplCode = r.code;
                code = r.code;
                return true;
            }
        }
        CroLnk.croRplCode = code;
        // The time-outs.
        if (oneShotExpired(l.tmrCrxShrt) && !stalls.quietAfterStall([] { return CroLnk.rxRecent.size(); }))
            strOneShot(l.tmrCrxShrt, times.gapMs);
        if (oneShotExpired(l.tmrCrxShrt))
            code = croQuietGap;
        else if (times.longOp && oneShotExpired(l.tmrGPeriod))
            code = croLongOp;
        else if (!times.longOp && oneShotExpired(l.tmrCrxLng))
            code = croWholeTime;
        else if (times.dumpWatch && oneShotExpired(l.tmrCrxHed))
            code = croDumpStall;
        else if (linkTaskAborted())
            code = croUserAbort;
        if (code > 0)
            CroLnk.croRplCode = code;
        return code > 0;
    };
    // Received text and timer expiries come in as events and wake the wait.
    waiting::until({.done = ended, .lookMs = kLoopWakeMs});
    return code;
}

} // namespace

void sndCroKey(int ctrlFlag, const QString &key, int expect, int gapMs)
{
    // The exchange begins.
    const bool ctrl = ctrlFlag != 0;
    const QChar k = key.isEmpty() ? QChar(u' ') : key.at(0);
    // Text the link was still gathering came before the key: it goes where
    // it would have gone had it been handed on as it came.
    takeGatheredLinkText();
    CroLnk.croBusy = true;
    CroLnk.rxRecent.clear();
    CroLnk.gPeriodSec = 60;
    CroLnk.croCurKey = k;

    // Reply class and time settings.
    const int16_t cls = croReplyClass(ctrl, k);
    CroKeyTimes times = croKeyTimes(ctrl, k, gapMs);
    if (croTimesHook)
        croTimesHook(times);
    if (times.keySent)
        CroLnk.croKeySent = true;
    CroLnk.gPeriodSec = times.gPeriodSec;
    // The longest this key may take; also the bound of every quiet-wait.
    const int boundMs = times.wholeMs;

    // Spacing: the line must have been quiet for the tail gap of the last
    // exchange. A line that never goes quiet fails the key unsent.
    int16_t code = waitQuiet(boundMs);
    // An aborted task sends nothing more.
    if (code == 0 && linkTaskAborted())
        code = croUserAbort;
    CroLnk.croPrmKind = 0;
    CroLnk.croMenLev = 0;
    CroLnk.croRplCode = 0;

    if (code == 0) {
        // Arm the waits: the reply's quiet gap and whole time, the dump
        // watch, the long-operation countdown.
        strCrxWait(times.gapMs, times.wholeMs);
        if (times.dumpWatch)
            strCrxHed(QStringLiteral("MMR:"), 500);
        if (times.longOp)
            strGPeriod(CroLnk.gPeriodSec);

        // The key goes out.
        nbrSerial().linkOutput(QString(croWireChar(ctrl, k)));

        // The answer.
        code = waitReply(cls, times);
    }

    // After a failure the rest of the answer drains before the next key;
    // a line that does not go quiet within the bound is a failure too.
    CroSta.croOnLine = code < croQuietGap;
    if (code > 9 || CroLnk.croNoWait) {
        const int16_t drained = waitQuiet(boundMs);
        if (drained != 0 && code < croQuietGap)
            code = drained;
    }

    // Sensors reported off.
    if (CroLnk.rxRecent.contains(QLatin1String("CAP=OFF")))
        CroSta.croSnsOn = false;

    // Stop the waits; the tail gap spaces the next key.
    stpCrxWait();
    stpCrxHed();
    stpGPeriod();
    strCrxShrt(kTailGapMs);

    // The outcome.
    CroLnk.croRplCode = code;
    CroLnk.croLinkErr = code;
    CroLnk.croErr = croReplyFails(code, expect, CroLnk.croPrmKind, CroLnk.croMenLev);
    // An answer that is not a menu prompt means the unit has left its menu:
    // a menu cell remembered from before no longer stands.
    if (CroLnk.croErr || CroLnk.croMenLev == 0) {
        CroLnk.croMenVal = 0;
        CroLnk.croMenPos.clear();
    }

    // The exchange is over: flags that held for this key only are cleared.
    CroLnk.croNoWait = false;
    CroLnk.croKeySent = false;
    CroLnk.croBusy = false;
}

void zapCroLink()
{
    CroLnk.croMenVal = 0;
    CroLnk.croMenPos.clear();
    CroLnk.croNoWait = false;
    CroLnk.croKeySent = false;
    CroLnk.croBusy = false;
}

} // namespace vt
