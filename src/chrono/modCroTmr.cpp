#include "chrono/modCroTmr.h"

#include "chrono/modCroLnk.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "shell/modBusy.h"

#include <algorithm>
#include <memory>

namespace vt {

namespace {

std::unique_ptr<LinkTimers> &instance()
{
    static std::unique_ptr<LinkTimers> timers;
    return timers;
}

void expire(TimerCtl &t)
{
    t.setEnabled(false);
    t.Tag = QStringLiteral("1");
}

} // namespace

LinkTimers::LinkTimers()
{
    for (TimerCtl *t : {&tmrCrxShrt, &tmrCrxLng, &tmrCrxHed, &tmrCom2Sho, &tmrCom2Lng, &tmrExcEnd})
        t->onTimer([t] { expire(*t); });
    tmrGPeriod.onTimer([this] {
        gPeriodCnt = int16_t(std::max(0, gPeriodCnt - 1));
        if (gPeriodCnt == 0)
            expire(tmrGPeriod);
    });
    // tmrExcRtc's event belongs to the receive engine, which drains its queue with it.
}

LinkTimers &lnkTmr()
{
    auto &t = instance();
    if (!t)
        t = std::make_unique<LinkTimers>();
    return *t;
}

void unloadLinkTimers()
{
    instance().reset();
    gPeriodCnt = 0;
}

void strOneShot(TimerCtl &t, int ms)
{
    t.Tag = QStringLiteral("0");
    t.setInterval(ms);
    t.setEnabled(true);
}

void stpOneShot(TimerCtl &t)
{
    expire(t);
}

void restartIfRunning(TimerCtl &t)
{
    if (!oneShotRuns(t))
        return;
    t.setEnabled(false);
    t.setEnabled(true);
}

void strCrxWait(int gapMs, int wholeMs)
{
    CroLnk.rxRecent.clear();
    CroLnk.rxRecentOn = true;
    LinkTimers &l = lnkTmr();
    // Both counts start together: stop first so a running one starts afresh.
    l.tmrCrxShrt.setEnabled(false);
    l.tmrCrxLng.setEnabled(false);
    l.tmrCrxShrt.setInterval(gapMs);
    l.tmrCrxLng.setInterval(wholeMs);
    l.tmrCrxShrt.Tag = QStringLiteral("0");
    l.tmrCrxLng.Tag = QStringLiteral("0");
    l.tmrCrxShrt.setEnabled(true);
    l.tmrCrxLng.setEnabled(true);
}

void stpCrxWait()
{
    CroLnk.rxRecentOn = false;
    stpOneShot(lnkTmr().tmrCrxShrt);
    stpOneShot(lnkTmr().tmrCrxLng);
}

void strCrxShrt(int ms)
{
    strOneShot(lnkTmr().tmrCrxShrt, ms);
}

void strCrxHed(const QString &hedTxt, int ms)
{
    lnkTmr().rxHedTxt = hedTxt;
    strOneShot(lnkTmr().tmrCrxHed, ms);
}

void stpCrxHed()
{
    stpOneShot(lnkTmr().tmrCrxHed);
}

void strGPeriod(int seconds)
{
    TimerCtl &t = lnkTmr().tmrGPeriod;
    stpOneShot(t);
    t.Tag = QStringLiteral("0");
    t.setInterval(250);
    gPeriodCnt = int16_t(std::clamp(4 * seconds, 0, 32767));
    t.setEnabled(true);
}

void stpGPeriod()
{
    stpOneShot(lnkTmr().tmrGPeriod);
}

void strCom2Sho(int ms)
{
    strOneShot(lnkTmr().tmrCom2Sho, ms);
}

void stpLinkTimers()
{
    LinkTimers &l = lnkTmr();
    for (TimerCtl *t : {&l.tmrCrxShrt, &l.tmrCrxLng, &l.tmrCrxHed, &l.tmrGPeriod, &l.tmrCom2Sho, &l.tmrCom2Lng,
                        &l.tmrExcEnd, &l.tmrExcRtc})
        stpOneShot(*t);
}

bool linkTaskAborted()
{
    return abortTask;
}

WaitEnd waitWhileRunning(TimerCtl &t, int boundMs, const std::function<bool()> &aborted)
{
    // The timer's own expiry is an event, so the wait wakes for it at once.
    switch (waiting::until({.done = [&t] { return !(t.Enabled() && oneShotRuns(t)); },
                            .boundMs = std::max(0, boundMs),
                            .aborted = aborted})) {
    case waiting::End::Done: return WaitEnd::Expired;
    case waiting::End::Aborted: return WaitEnd::Aborted;
    case waiting::End::Bound: break;
    }
    return WaitEnd::Bound;
}

} // namespace vt
