#include "chrono/modCroWake.h"

#include "chrono/modCroLnk.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"

namespace vt {

bool croWake()
{
    constexpr int kTries = 10;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (!nbrSerial().linkPortOpen() || abortTask)
            return false;
        // A sleeping unit needs a first ESC to wake and answers the next one;
        // each failed try waits a little longer for the line to settle.
        sndCroKey(1, QStringLiteral("["), 0, 100 + attempt * 25);
        if (!CroLnk.croErr)
            return true;
        if (CroLnk.croLinkErr == croUserAbort)
            return false;
    }
    return false;
}

} // namespace vt
