// Clocks and waits. The program waits for replies in loops that keep the event
// loop running; doEvents() does that without spinning the processor.
#pragma once

#include <QDateTime>
#include <cstdint>

namespace vt {

// Lets the event loop handle what is pending, waiting up to maxWaitMs for
// something to arrive (0: only what is already there).
void doEvents(int maxWaitMs = 0);

// Long work on the program's thread (exports, loads, saves) calls
// keepPainted() as often as it likes: most calls cost one coarse clock read;
// once kPaintGapMs have passed since the windows last had their turn, it lets
// them repaint and returns true. With PaintMode::WithInput every pending event
// runs, so a progress window's Abort answers; the work must then expect the
// user to act meanwhile. PaintMode::Only delivers just the repaints the
// windows asked for and runs no handler of the program, for work that holds
// data a handler could change (loading and saving a document).
enum class PaintMode { Only, WithInput };
constexpr int kPaintGapMs = 50;
bool keepPainted(PaintMode mode = PaintMode::WithInput);
// The same in two halves, for work that refreshes its progress display only
// when it is about to be painted: paintDue() tells whether a turn is due,
// letPaint() gives it.
bool paintDue();
void letPaint(PaintMode mode = PaintMode::WithInput);
// Tests set the gap (0: a turn at every call); a negative value restores it.
void setPaintGapMs(int ms);

// A monotonic clock in milliseconds (never jumps, also across midnight).
int64_t monoMs();

// The wall clock, which tests can fix.
QDateTime now();
void setFixedNow(const QDateTime &when); // invalid QDateTime: real clock again
// Seconds since midnight, as the platform's Timer function.
double Timer();

} // namespace vt
