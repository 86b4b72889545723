#include "common/simline.h"

#include "chrono/modChronoNbr.h"
#include "platform/serialport.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "sim/kt4sim.h"

#include <QTest>

namespace vttest {

bool openSimLine(vt::sim::Kt4Sim &sim, vt::frmTerminal *&term)
{
    vt::installSerialSubsystem();
    vt::installChronoLink();
    term = vt::frmTerminal::get();
    term->lodTerminal();
    term->subOpenPort();
    return term->MSComm1->PortOpen() && sim.waitForPeer(true);
}

void quietSimLine(vt::sim::Kt4Sim &sim)
{
    sim.reset();
    sim.options().pacing = false;
    // Drained by what happened, not by a time a busy machine may stretch:
    // whatever the program still had to send has left its port, and the loop
    // has run several passes (at least 20 ms) for the bytes already on their
    // way each side to be read. The simulator's answers to them are dropped
    // by the second reset.
    vt::frmTerminal *term = vt::frmTerminal::instance();
    QVERIFY2(QTest::qWaitFor(
                 [term] { return !term || !term->MSComm1->PortOpen() || term->MSComm1->OutBufferCount() == 0; }, 30000),
             "The program's port kept text to send for 30 s.");
    for (int i = 0; i < 5; ++i)
        QTest::qWait(4);
    sim.reset();
    sim.options().pacing = false;
    sim.clearReceived();
    sim.clearSent();
}

} // namespace vttest
