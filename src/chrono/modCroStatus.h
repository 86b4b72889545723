// The chronograph's status: the status query, the parser that fills the
// status record CroSta (shell/modNeighbours.h) from the unit's answer to "Q",
// and the labelled status report.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// Asks the chronograph for its status on the link port (ESC, "D" when the
// unit stood in a menu, "Q"; one retry of the three) and parses the answer.
// The outcome is CroSta, valid when CroSta.croStaOk. No answer to the first
// ESC or "D", or an abort by the user, ends it silently; no answer to "Q"
// after the retry writes "Failed to retrieve Chronograph Status." and the
// not-found notice into the active CFile.
void getCroStatus();

// Fills CroSta from a status answer, tag by tag in the answer's order. A
// missing tag or delimiter, or a number that does not fit its field, ends
// the parse: the fields read so far keep their new values, the rest their
// old ones, and croStaOk stays False. croStaOk is True only when every tag
// was read.
void parCroStatus(const QString &reply);

// The status report of the record's current values: 30 lines ending in CR LF
// but the last, with blank lines between the groups. With dest 2 every line
// but the blank ones carries a prefix: style 1 "REM: ", style 2 "REM:" and the
// total shots in five digits and a blank; other styles and destinations none.
QString croStatusRep(int style, int16_t dest);

// A text of fixed length: cut to n characters or padded with blanks.
QString fixLen(const QString &text, qsizetype n);

// The unit's own word on its sensors in one line it sent, outside any
// status read as well: a shot line means they are armed, "CAP=OFF" or
// "Sens=OFF" that they are not. When that changes what the program held, the
// indicators (caption, edit lock, LEDs) are refreshed once the line has been
// taken in, or once the task that talks to the unit has ended. KT4 only.
void chkSnsLine(const QString &line);

// The start-up link check: reads the port states, lends the link port's
// number to the probe control, wakes the unit there and asks its status, and
// gives the port back to the link. CroSta.croStaOk tells whether a complete
// status answer came.
void chkCroLink();

} // namespace vt
