// The link timers: one-shot time-outs that bound every wait of the link, and
// the one countdown of long operations. A one-shot timer's Tag is "0" while it
// runs and "1" once it has expired or was stopped; waiters never block, they
// let the event loop run and look at the Tag. The terminal window holds these
// timers; the receive engine restarts the running quiet-gap timers on every
// chunk it receives.
#pragma once

#include "platform/timerctl.h"
#include "platform/timers.h"
#include "platform/waiting.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <utility>

namespace vt {

struct LinkTimers {
    TimerCtl tmrCrxShrt{QStringLiteral("tmrCrxShrt"), false, 100, QStringLiteral("1")}; // reply quiet gap, tail gap
    TimerCtl tmrCrxLng{QStringLiteral("tmrCrxLng"), false, 0, QStringLiteral("1")};     // whole answer
    TimerCtl tmrCrxHed{QStringLiteral("tmrCrxHed"), false, 500, QStringLiteral("1")};   // dump lines keep coming
    TimerCtl tmrGPeriod{QStringLiteral("tmrGPeriod"), false, 0, QStringLiteral("1")};   // long-operation countdown
    TimerCtl tmrCom2Sho{QStringLiteral("tmrCom2Sho"), true, 300, QStringLiteral("0")};  // probe quiet gap
    TimerCtl tmrCom2Lng{QStringLiteral("tmrCom2Lng"), true, 10000, QStringLiteral("1")}; // probe whole answer
    TimerCtl tmrExcEnd{QStringLiteral("tmrExcEnd"), false, 250, QStringLiteral("1")};   // end of a burst of capture lines
    TimerCtl tmrExcRtc{QStringLiteral("tmrExcRtc"), false, 100, QStringLiteral("1")};   // live-link queue drain

    // The header text that tmrCrxHed watches for in completed lines.
    QString rxHedTxt;

    LinkTimers();
};

// The timers, created with their design values on first use (the event loop
// must exist by then).
LinkTimers &lnkTmr();
// Discards the timers; the next use creates them afresh.
void unloadLinkTimers();

// Quarter seconds left on the long-operation countdown.
inline int16_t gPeriodCnt = 0;

// One-shot pattern.
void strOneShot(TimerCtl &t, int ms); // Tag "0", Interval, Enabled
void stpOneShot(TimerCtl &t);         // Enabled False, Tag "1"
inline bool oneShotRuns(const TimerCtl &t) { return t.Tag == QLatin1String("0"); }
inline bool oneShotExpired(const TimerCtl &t) { return t.Tag == QLatin1String("1"); }
// Prolongs a running one-shot timer (its count starts afresh); an idle one stays idle.
void restartIfRunning(TimerCtl &t);

// Starters and stoppers of the link.
void strCrxWait(int gapMs, int wholeMs); // reply wait: buffer cleared and on, both timers run
void stpCrxWait();                       // buffer off, both timers stopped
void strCrxShrt(int ms);                 // the quiet gap alone (tail gap)
void strCrxHed(const QString &hedTxt, int ms); // dump watch
void stpCrxHed();
void strGPeriod(int seconds);            // long-operation limit in 250 ms ticks
void stpGPeriod();
void strCom2Sho(int ms);                 // probe quiet gap alone
// Stops all eight (the terminal's reset at exit).
void stpLinkTimers();

// A quiet gap proves a quiet line only when the program was awake through
// it: after a stall (the machine did not run the program, or a handler ran
// long) the key may still have been waiting to go out, or the answer waiting
// to be read, when the gap ran out. A reply wait calls pass() at the top of
// each pass of its loop (each pass sleeps at most wakeMs) with the length of
// the text received so far. When its gap has run out, quietAfterStall() says
// whether the line was quiet: with no stall since the last text it was; after
// one, the loop first takes a few passes for what was already on its way, and
// text that came then means the gap starts again.
class StallWatch {
public:
    explicit StallWatch(qsizetype textSize, int wakeMs) : seen_(textSize), wakeMs_(wakeMs), passAt_(monoMs()) {}
    void pass(qsizetype textSize)
    {
        const int64_t at = monoMs();
        if (textSize != seen_) {
            seen_ = textSize;
            stalled_ = false;
        }
        if (at - passAt_ > wakeMs_ + kMarginMs)
            stalled_ = true;
        passAt_ = at;
    }
    template <class Size>
    bool quietAfterStall(Size textSize)
    {
        if (!std::exchange(stalled_, false))
            return true;
        const qsizetype before = textSize();
        int passes = 0;
        waiting::until({.done = [&] { return textSize() != before || passes++ == kCatchUpPasses; },
                        .lookMs = kCatchUpMs});
        passAt_ = monoMs();
        return textSize() == before;
    }

private:
    static constexpr int kMarginMs = 30;
    static constexpr int kCatchUpPasses = 5;
    static constexpr int kCatchUpMs = 10;
    qsizetype seen_;
    int wakeMs_;
    int64_t passAt_;
    bool stalled_ = false;
};

// How a bounded wait ended.
enum class WaitEnd {
    Expired, // the timer expired (or was not running)
    Bound,   // the upper bound ran out first: the line never went quiet
    Aborted, // the user aborted the task
};
// Whether the user asked to abort the running task (the busy lock's abortTask).
bool linkTaskAborted();
// Lets the event loop run while the timer runs (Enabled and Tag "0"), at most
// boundMs, and ends early when `aborted` says so. Never spins the processor.
WaitEnd waitWhileRunning(TimerCtl &t, int boundMs, const std::function<bool()> &aborted = linkTaskAborted);

} // namespace vt
