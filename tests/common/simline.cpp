#include "common/simline.h"

#include "platform/serialport.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "sim/kt4sim.h"

#include <QTest>

namespace vttest {

bool openSimLine(vt::sim::Kt4Sim &sim, vt::frmTerminal *&term)
{
    vt::installSerialSubsystem();
    term = vt::frmTerminal::get();
    term->lodTerminal();
    term->subOpenPort();
    return term->MSComm1->PortOpen() && sim.waitForPeer(true);
}

void quietSimLine(vt::sim::Kt4Sim &sim)
{
    sim.reset();
    sim.options().pacing = false;
    QTest::qWait(20);
    sim.clearReceived();
    sim.clearSent();
}

} // namespace vttest
