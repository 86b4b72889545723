#include "chrono/modChronoNbr.h"

#include "chrono/modCroCap.h"
#include "chrono/modCroCox.h"
#include "chrono/modCroDnl.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroOps.h"
#include "chrono/modCroProbe.h"
#include "chrono/modCroStatus.h"
#include "chrono/modCroTmr.h"
#include "chrono/modCroWake.h"
#include "serial/modLinkNbr.h"
#include "serial/modRxEngine.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"

namespace vt {

namespace {

class ChronoLink : public ChronoNbr {
public:
    void stpCrxWait() override { vt::stpCrxWait(); }
    void stpCom2Wait() override { vt::stpCom2Wait(); }
    void getPortStates() override { vt::getPortStates(); }
    void setCroTmOut() override { vt::setCroTmOut(); }
    void chkCroLink() override { vt::chkCroLink(); }
    void zapCroLink() override { vt::zapCroLink(); }
    void cfileClosed(const QString &caption) override { shootCFileClosed(caption); }
    // The export's menu commands wake the unit before they start; when it
    // cannot be reached they say why in the CFile, as the Chrono menu does.
    bool croWake() override
    {
        if (!nbrSerial().linkPortOpen()) {
            seeNoPort();
            return false;
        }
        if (vt::croWake())
            return true;
        if (!abortTask)
            seeNoCro();
        return false;
    }
    int16_t getCroShots(int16_t kind) override { return vt::getCroShots(kind); }
    void wireCommands() override { wireChronoMenu(frmMDI::instance()); }
    void abtCroTask() override { vt::abtCroTask(); }
};

// What the serial side's receive engine and port setup window use of the
// link timers, the command engine and the probe.
class LinkSide : public LinkNbr {
public:
    bool dumpWatched() override { return oneShotRuns(lnkTmr().tmrCrxHed); }
    void chunkReceived() override
    {
        restartIfRunning(lnkTmr().tmrExcEnd);
        restartIfRunning(lnkTmr().tmrCrxShrt);
    }
    void replyReceived(const QString &text) override
    {
        if (!CroLnk.rxRecentOn)
            return;
        CroLnk.rxRecent += text;
        if (CroLnk.rxRecent.size() > kRecentMax)
            CroLnk.rxRecent.remove(0, kRecentDrop);
    }
    void lineReceived(const QString &line) override
    {
        LinkTimers &tmr = lnkTmr();
        if (line.contains(tmr.rxHedTxt))
            restartIfRunning(tmr.tmrCrxHed);
        chkSnsLine(line);
    }
    bool shotBurstBegins() override
    {
        TimerCtl &end = lnkTmr().tmrExcEnd;
        if (oneShotRuns(end))
            return false;
        end.Tag = QStringLiteral("0");
        return true;
    }
    void probeReceived() override { restartIfRunning(lnkTmr().tmrCom2Sho); }
    void shootCFileLost() override { vt::shootCFileLost(); }
    void wireLiveLinkTick() override { lnkTmr().tmrExcRtc.onTimer([] { tmrExcRtc_Timer(); }); }
    void stopLinkTimers() override { stpLinkTimers(); }
    bool linkIdle() override
    {
        const LinkTimers &t = lnkTmr();
        return !CroLnk.croBusy && !CroLnk.rxRecentOn && !oneShotRuns(t.tmrCrxShrt) && !oneShotRuns(t.tmrCrxLng)
            && !oneShotRuns(t.tmrCrxHed) && !oneShotRuns(t.tmrGPeriod) && !oneShotRuns(t.tmrExcEnd);
    }

    void getPortStates() override { vt::getPortStates(); }
    bool linkWasOpen() override { return ComOpen[0]; }
    int openProbe(int16_t port) override
    {
        opnCroPort(port);
        return ComErr;
    }
    int16_t probeWaitMenu(const QString &text, int gapMs) override { return croWaitMen(text, gapMs); }
    void stopProbeWait() override { stpCom2Wait(); }
    void restoreLinkPort() override { rstTermPort(); }
    void parseProbeStatus() override { parCroStatus(croReply); }
    QString statusReport() override { return croStatusRep(0, 0); }

private:
    static constexpr int kRecentMax = 800; // the reply buffer ...
    static constexpr int kRecentDrop = 79; // ... drops this many from its head once above
};
static_assert(LinkNbr::kProbeNoAnswer == probeWholeTime);

} // namespace

void installChronoLink()
{
    static LinkSide side;
    installLink(&side);
}

void installChronoSubsystem()
{
    static ChronoLink link;
    installChrono(&link);
    installChronoLink();
}

} // namespace vt
