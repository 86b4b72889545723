#include "common/simline.h"

#include "chrono/modChronoNbr.h"
#include "chrono/modCroCox.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroTmr.h"
#include "common/cfilefixture.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
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

bool startSimLine(vt::sim::Kt4Sim &sim, vt::frmTerminal *&term, QString *why)
{
    if (!sim.start(false, why))
        return false;
    qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
    vt::answers::reset();
    vt::DeleteSetting(vt::AppTitle);
    if (openSimLine(sim, term))
        return true;
    *why = QStringLiteral("The link port did not open on the simulator.");
    return false;
}

bool reopenSimLine(vt::sim::Kt4Sim &sim, vt::frmTerminal *&term)
{
    sim.reset();
    sim.options().pacing = false;
    return openSimLine(sim, term);
}

void freshTerminal(vt::sim::Kt4Sim &sim, vt::frmTerminal *term)
{
    vt::answers::reset();
    vt::Err.Clear();
    vt::AppNum = 0;
    vt::AppTitle = QStringLiteral("Vantrell0");
    vt::RxRoute[0] = true;
    vt::RxRoute[1] = vt::RxRoute[2] = false;
    if (term->MSComm1->PortOpen())
        term->subClosePort();
    vt::DeleteSetting(vt::AppTitle);
    term->lodTerminal();
    term->txtTerm->SetText(QString());
    sim.reset();
    sim.options().pacing = false;
    sim.clearReceived();
    for (int b = 0; b < 256; ++b)
        sim.options().silentKeys.append(char(b));
    vt::answers::reset();
}

void closeSimLine(vt::frmTerminal *term)
{
    if (term->MSComm1->PortOpen())
        term->subClosePort();
    vt::installSerial(nullptr);
    vt::unloadLinkTimers();
}

void freshLinkCase(vt::sim::Kt4Sim &sim)
{
    quietSimLine(sim);
    resetLinkRecords();
}

void resetLinkRecords()
{
    vt::unloadLinkTimers();
    vt::CroLnk = vt::CroLink{};
    vt::CroSta = vt::CroStatus{};
    vt::AppSta = vt::AppStaRec{};
    vt::abortTask = vt::croAbortReq = false;
    vt::croOpAborted = vt::croReCal = false;
    vt::croTimesHook = nullptr;
    vt::Err.Clear();
}

void endLinkCase(vt::frmTerminal *term)
{
    vt::RxRoute[1] = false;
    if (term->MSComm1->PortOpen())
        term->subClosePort();
    stopEditor();
    vt::installChrono(nullptr);
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
