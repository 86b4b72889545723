// Numbered messages and questions of rUvuzu: a small number names a place in
// the notes, so that each explanation and question is written once, as a note
// that the user can read, extend or rewrite.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// Shows numbered note n (with its sub-index) in the notes window; numbers and
// sub-indexes without a note show nothing.
void seeMsgNote(int n, int16_t subIndex);
// Asks numbered question n in the notes window: 6 Yes, 7 No, 2 Cancel, 0 closed
// without an answer; 0 also for a number that asks nothing.
int16_t askMsgNote(int n, int16_t subIndex);
// Asks a chronograph warning ("text ?") unless the chronograph warnings are
// off; true means go ahead. Cancel refuses and offers to switch them off.
bool askChronoWarn(const QString &text);
// Offers to switch the chronograph warnings off.
void stpChronoWarn();

} // namespace vt
