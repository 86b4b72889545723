// The link port's recorded state and the main window's port toggle.
#pragma once

#include <QStringList>

#include <cstdint>

namespace vt {

inline int16_t TrmPort = 0;   // the link port number as last read by open or close
inline bool TrmOpen = false;  // the link port is open, as last set by open or close

// How long the exit waits for the output to drain before it asks (ms).
inline int exitDrainMs = 10000;

// With 0: closes the link port when it is open, otherwise opens it and turns
// capture into the active CFile off. With any value it then refreshes the
// indicators.
void modComTogShow(int16_t &mode);

// A system warning about the link port: the lines saying how to turn such
// warnings off and which copy speaks, then `body`, one line each, CR LF apart.
QString portWarningText(const QStringList &body);

} // namespace vt
