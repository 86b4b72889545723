#include "chrono/modCroProbe.h"

#include "chrono/modCroTmr.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/serialport.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "serial/frmTerminal.h"
#include "serial/modRxEngine.h"
#include "shell/modNeighbours.h"

#include <algorithm>

namespace vt {

namespace {

const QString kProbeSettings = QStringLiteral("4800,n,8,1");

// The wait settings that setCroWait saved, for it to restore them.
int16_t croWaitSav[3] = {0, 0, 0};

// The tail each probe exchange leaves, which the next one waits out.
constexpr int kProbeTailMs = 50;

frmTerminal *term() { return frmTerminal::get(); }

// A prompt counts only at the start of a line. The chronograph ends its lines
// with CR LF, other units and adapters with LF CR or a lone CR: a prompt after
// either character is one.
bool promptAtLineStart(const QString &reply, QLatin1String prompt)
{
    for (qsizetype at = reply.indexOf(prompt, 1); at > 0; at = reply.indexOf(prompt, at + 1)) {
        const QChar before = reply.at(at - 1);
        if (before == u'\r' || before == u'\n')
            return true;
    }
    return false;
}

int16_t probePrompt(const QString &reply)
{
    static const QLatin1String prompts[4] = {QLatin1String("DAT>"), QLatin1String("STS>"),
                                             QLatin1String("MEN><DAT> 00?"), QLatin1String("MEN><STS> 00?")};
    for (int i = 0; i < 4; ++i)
        if (promptAtLineStart(reply, prompts[i]))
            return int16_t(i + 1);
    return 0;
}

} // namespace

void strCom2Wait(int gapMs, int wholeMs)
{
    Err.Clear();
    croReply.clear();
    croRxCnt2 = 0;
    croRxCnt = 0;
    croWaiting = true;
    LinkTimers &l = lnkTmr();
    // Stopped first, so that a timer already running starts its count afresh.
    l.tmrCom2Sho.setEnabled(false);
    l.tmrCom2Lng.setEnabled(false);
    l.tmrCom2Sho.Tag = QStringLiteral("0");
    l.tmrCom2Lng.Tag = QStringLiteral("0");
    l.tmrCom2Sho.setInterval(gapMs);
    l.tmrCom2Lng.setInterval(std::max(1, wholeMs));
    l.tmrCom2Sho.setEnabled(true);
    l.tmrCom2Lng.setEnabled(true);
}

void stpCom2Wait()
{
    Err.Clear();
    stpOneShot(lnkTmr().tmrCom2Sho);
    stpOneShot(lnkTmr().tmrCom2Lng);
    croWaiting = false;
}

int16_t croWaitMen(const QString &text, int gapMs)
{
    LinkTimers &l = lnkTmr();
    // One budget for the whole exchange: a device that never stops talking
    // keeps the last exchange's tail gap running for ever, so waiting it out
    // counts against the same second.
    const int64_t end = monoMs() + kProbeWholeMs;
    if (waitWhileRunning(l.tmrCom2Sho, kProbeWholeMs, {}) == WaitEnd::Bound) {
        stpCom2Wait();
        strCom2Sho(kProbeTailMs);
        return probeWholeTime;
    }

    int16_t result = 0;
    strCom2Wait(gapMs, int(std::max<int64_t>(1, end - monoMs())));
    try {
        term()->MSComm2->setOutput(text);
    } catch (...) {
        stpCom2Wait();
        throw;
    }
    StallWatch stalls(croReply.size(), waiting::kLookMs);
    const auto ended = [&] {
        stalls.pass(croReply.size());
        result = probePrompt(croReply);
        if (result > 0)
            return true;
        if (oneShotExpired(l.tmrCom2Sho) && !stalls.quietAfterStall([] { return croReply.size(); }))
            strCom2Sho(gapMs);
        if (oneShotExpired(l.tmrCom2Sho))
            result = probeQuietGap;
        else if (oneShotExpired(l.tmrCom2Lng))
            result = probeWholeTime;
        return result > 0;
    };
    // Received text and the timers' expiry are events: the wait wakes for them.
    waiting::until({.done = ended});
    stpCom2Wait();
    strCom2Sho(kProbeTailMs);
    return result;
}

void getPortStates()
{
    frmTerminal *t = term();
    ComOpen[0] = t->MSComm1->PortOpen();
    ComPort[0] = int16_t(t->MSComm1->CommPort());
    ComOpen[1] = t->MSComm2->PortOpen();
    ComPort[1] = int16_t(t->MSComm2->CommPort());
}

void opnCroPort(int16_t port)
{
    frmTerminal *t = term();
    CommControl *link = t->MSComm1;
    CommControl *probe = t->MSComm2;
    ComErr = 0;
    // The link lends its port; the probe lets go of any other one.
    if (link->PortOpen() && link->CommPort() == port)
        trapErrors([link] { link->setPortOpen(false); });
    if (probe->PortOpen() && probe->CommPort() == port) {
        Err.Clear();
        return;
    }
    if (probe->PortOpen())
        trapErrors([probe] { probe->setPortOpen(false); });
    Err.Clear();
    if (!trapErrors([probe, port] {
            probe->setSettings(kProbeSettings);
            probe->setHandshaking(commNoHandshake);
            probe->setCommPort(port);
            probe->setPortOpen(true);
        }))
        ComErr = Err.Number;
    Err.Clear();
}

void rstTermPort()
{
    frmTerminal *t = term();
    if (t->MSComm2->PortOpen())
        trapErrors([t] { t->MSComm2->setPortOpen(false); });
    Err.Clear();
    if (ComOpen[0] && !t->MSComm1->PortOpen())
        t->subOpenPort();
}

bool rstComPort()
{
    CommControl *link = term()->MSComm1;
    Err.Clear();
    // What the unit was sending is cut off at the close.
    term()->cutRxLine();
    if (link->PortOpen() && !trapErrors([link] { link->setPortOpen(false); })) {
        Err.Clear();
        return false;
    }
    if (!link->PortOpen() && !trapErrors([link] { link->setPortOpen(true); })) {
        Err.Clear();
        return false;
    }
    return true;
}

void sndKeyCode(int16_t &code, int16_t ctrl)
{
    if (ctrl == 1)
        code = int16_t(code & 191);
    CommControl *link = term()->MSComm1;
    if (link->PortOpen()) {
        Err.Clear();
        link->setOutput(QString(QChar(char16_t(code & 0xFF))));
        return;
    }
    MsgBox(QStringLiteral("Port COM") + QString::number(link->CommPort()) + QStringLiteral(" is not opened !\r\n")
               + QStringLiteral("Please check port settings."),
           vbOKOnly | vbSystemModal | vbMsgBoxSetForeground);
}

void sndCroStr(const QString &text, int16_t ctrl)
{
    QString out = text;
    if (ctrl == 1 && !out.isEmpty())
        out[0] = QChar(char16_t(out.at(0).unicode() & 191));
    term()->MSComm1->setOutput(out);
    strCrxShrt(100);
    // A line that never goes quiet must not hold the program: a second at most.
    waitWhileRunning(lnkTmr().tmrCrxShrt, 1000);
}

void setCroWait(int16_t mode)
{
    switch (mode) {
    case 0:
        croWaitSav[0] = int16_t(std::clamp<int32_t>(croWaitTot, -32768, 32767));
        croWaitSav[1] = croPollCnt;
        croWaitSav[2] = croPollStep;
        break;
    case 1:
        croWaitTot = croWaitSav[0];
        croPollCnt = croWaitSav[1];
        croPollStep = croWaitSav[2];
        break;
    case 2:
        croPollStep = 200;
        croPollCnt = CInt(32750.0 / 100);
        croWaitTot = 32750;
        break;
    default:
        break;
    }
}

void setCroTmOut(const QString &boxText)
{
    QString t = boxText;
    t.remove(u',');
    croWaitTot = Val(t) == 2000 ? 2000 : 16000;
    croPollStep = 200;
    croPollCnt = int16_t(croWaitTot / croPollStep);
}

void setCroTmOut()
{
    setCroTmOut(nbrRemote().hwrCLogBuf());
}

} // namespace vt
