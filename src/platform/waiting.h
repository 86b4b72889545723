// The one way the program waits on its own thread: for a reply, for a port to
// drain, for a condition to come true, for a modal window to close.
//
// The rule while a wait runs, the same for every waiter:
// - The event loop runs: windows paint, timers fire, the serial port delivers
//   what it receives, and the user's input is taken, so a progress window's
//   Abort can be clicked and the waiter sees it through its `aborted` test.
// - A user command that arrives meanwhile runs as an event handler. Commands
//   that must not run beside the waiting work (everything that talks to the
//   chronograph) take the busy lock (CroTaskGuard, shell/modBusy) and are
//   refused with its message while the waiting work holds the lock; the
//   user's "abort anyway" sets the lock's abort flag, which ends the waiting
//   work's wait as aborted. Work that waits and must not be entered twice
//   therefore holds the busy lock for as long as it waits; a window needs no
//   busy flag, deferred delete or pointer re-check of its own for the wait.
// - A window the waiting work uses may still be closed meanwhile (the user's
//   close box, the session ending): the work keeps its windows in QPointer
//   or asks for them again after the wait.
// Waits never spin the processor: they sleep until the next event, at the
// latest until the next look at a condition that no event announces.
#pragma once

#include <functional>

class QWidget;

namespace vt::waiting {

// How a wait ended.
enum class End {
    Done,    // the awaited condition came true
    Bound,   // the time bound ran out first
    Aborted, // the waiter's abort test said so
};

constexpr int kNoBound = -1;
// Longest sleep between looks at the conditions; events wake the wait sooner.
constexpr int kLookMs = 50;

struct Wait {
    // The condition awaited; none: the wait lasts the bound (or the abort).
    std::function<bool()> done = {};
    // Milliseconds on the monotonic clock; kNoBound: no bound.
    int boundMs = kNoBound;
    // Looked at after `done`, before the bound.
    std::function<bool()> aborted = {};
    // For conditions that depend on the clock alone (a quiet gap measured by
    // the waiter, a pace): how often to look at them.
    int lookMs = kLookMs;
};

// Lets the event loop run until the wait ends. `done` is looked at first, so
// a condition already true ends the wait without a turn of the loop.
End until(const Wait &wait);

// One turn of the event loop for what is pending, without waiting: for a
// window just shown to paint, or for long work between its steps.
void turn();

// Shows the window application-modal and returns when it has been hidden or
// destroyed; its modality is restored if it is still there.
void modal(QWidget *window);

// Waits that are running now (a wait inside a handler run by another counts
// twice).
int depth();

} // namespace vt::waiting
