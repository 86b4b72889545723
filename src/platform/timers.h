// Clocks and waits. The program waits for replies in loops that keep the event
// loop running; doEvents() does that without spinning the processor.
#pragma once

#include <QDateTime>
#include <cstdint>

namespace vt {

// Lets the event loop handle what is pending, waiting up to maxWaitMs for
// something to arrive (0: only what is already there).
void doEvents(int maxWaitMs = 0);

// A monotonic clock in milliseconds (never jumps, also across midnight).
int64_t monoMs();

// The wall clock, which tests can fix.
QDateTime now();
void setFixedNow(const QDateTime &when); // invalid QDateTime: real clock again
// Seconds since midnight, as the platform's Timer function.
double Timer();

} // namespace vt
