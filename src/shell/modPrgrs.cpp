#include "shell/modPrgrs.h"

namespace vt {

void stepPrgrs()
{
    PrgrsStateRec &p = PrgrsState;
    if (p.PrgrsCur < p.PrgrsEnd)
        ++p.PrgrsCur;
    else
        p.PrgrsCur = p.PrgrsEnd;
}

} // namespace vt
