// Numbered messages and questions of rUvuzu.
#pragma once

#include <QString>

namespace vt {

// Asks a chronograph warning ("text ?") unless the chronograph warnings are
// off; true means go ahead. Cancel refuses and offers to switch them off.
bool askChronoWarn(const QString &text);
// Offers to switch the chronograph warnings off.
void stpChronoWarn();

} // namespace vt
