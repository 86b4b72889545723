#include "serial/modLinkNbr.h"

namespace vt {

namespace {

struct LinkSlot {
    LinkNbr standIn;
    LinkNbr *installed = nullptr;
};

// Made on first use, so that the chronograph side may install itself from
// any static initialiser.
LinkSlot &linkSlot()
{
    static LinkSlot s;
    return s;
}

} // namespace

LinkNbr &nbrLink()
{
    LinkSlot &s = linkSlot();
    return s.installed ? *s.installed : s.standIn;
}

void installLink(LinkNbr *impl) { linkSlot().installed = impl; }

} // namespace vt
