// The capture log's file: a plain file to which received text of the link is
// appended as it arrives. Its commands (open, start, pause, resume, close)
// belong to the terminal window; this holds the file and its two flags.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// The number of the open capture log; 0 when none is open.
inline int16_t cLogFile = 0;
// Received text is recorded (False while paused or closed).
inline bool cLogOn = false;

// Opens `path` for appending (an existing file is extended, never cut) and
// sets cLogFile. Raises 75 (with the system's reason) when it cannot.
void cLogOpen(const QString &path);
// Writes text at the end of the open log, one byte per character (Latin-1).
// Raises 75 with the system's reason when the write fails.
void cLogWrite(const QString &text);
// Closes the file (when open) and clears both flags.
void cLogClose();
// The path of the open log (empty when none).
QString cLogPath();

// The event stamp of the capture log's tag lines and of the chronograph's log
// lines: "{Date=<short date>  Time=<long time>  t=<seconds since midnight> sec}".
QString stampText();
// The capture log's stamp line of a kind (0 Open, 1 Close, 2 Start, 3 Stop,
// 4 Resume, 5 Pause, 6 StartUp, 7 Cleared).
QString tagLine(int kind);

} // namespace vt
