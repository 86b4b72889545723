// The link port: its settings, opening and closing with the checks against
// the other running copies, the drain at exit, and typed keys.
#include "serial/modComPort.h"

#include "platform/conversions.h"
#include "platform/copies.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "serial/frmTerminal.h"
#include "serial/modCapLog.h"
#include "serial/modLinkNbr.h"
#include "serial/modRxEngine.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStatus.h"

#include <QAction>
#include <QLabel>
#include <QStringList>

namespace vt {

namespace {

const QString kComSet = QStringLiteral("frmComSet");
const QString kPemdora = QStringLiteral("Pemdora");
const QString kDefSettings = QStringLiteral("4800,n,8,1");
const QString kCrLf = QStringLiteral("\r\n");
constexpr int kNotice = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;

} // namespace

void frmTerminal::showSettings()
{
    sbSettings->setText(QStringLiteral("Set: ") + MSComm1->Settings());
}

void frmTerminal::lodTerminal()
{
    zapRxData();
    cutRxLine();
    nbrLink().wireLiveLinkTick();
    // The terminal shows the link's text from the start; the remote-control
    // panel's load sets the same routes again.
    RxRoute[0] = true;
    // A stored value the control refuses leaves its default in place, so a
    // damaged settings file cannot keep the program from starting.
    ResumeNext next;
    next([this] { MSComm1->setSettings(GetSetting(AppTitle, kComSet, QStringLiteral("Settings"), kDefSettings)); });
    next([this] { MSComm1->setCommPort(CInt(Val(GetSetting(AppTitle, kComSet, QStringLiteral("CommPort"), QStringLiteral("1"))))); });
    next([this] { MSComm1->setHandshaking(CLng(Val(GetSetting(AppTitle, kComSet, QStringLiteral("Handshaking"), QStringLiteral("0"))))); });
    Err.Clear();
    ComPort[0] = int16_t(MSComm1->CommPort());
    showSettings();
}

void frmTerminal::cutRxLine()
{
    // What the link is gathering came before the cut.
    MSComm1->deliverGathered();
    rxLineRoute_.cut();
}

void frmTerminal::setPrtDef()
{
    MSComm1->setSettings(kDefSettings);
    MSComm1->setHandshaking(commNoHandshake);
}

void frmTerminal::savPrtDef()
{
    SaveSetting(AppTitle, kComSet, QStringLiteral("Settings"), MSComm1->Settings());
    SaveSetting(AppTitle, kComSet, QStringLiteral("CommPort"), QString::number(MSComm1->CommPort()));
    SaveSetting(AppTitle, kComSet, QStringLiteral("Handshaking"), QString::number(MSComm1->Handshaking()));
}

void frmTerminal::subOpenPort()
{
    TrmPort = int16_t(MSComm1->CommPort());
    // The notices name the link's port from here, whatever becomes of the open.
    ComPort[0] = TrmPort;
    TrmOpen = MSComm1->PortOpen();
    if (TrmOpen)
        return;

    Err.Clear();
    cutRxLine();
    if (!trapErrors([this] { MSComm1->setPortOpen(true); })) {
        const int errNo = Err.Number;
        // Only a port in use can be held by a twin; any other failure is the
        // port's own, whatever an old record of a twin says.
        const int16_t k = errNo == 8005 ? chkTwinPort() : int16_t(-1);
        if (k == -1) {
            seeComErr(errNo);
            TrmOpen = false;
        } else if (ShowWarn) {
            const QString port = QString::number(TrmPort);
            const QStringList lines = {
                QStringLiteral("Port COM") + port + QStringLiteral(" is already used by my twin ''Vantrell")
                    + QString::number(k) + QStringLiteral("'' for Chrono-") + port + QStringLiteral(","),
                QStringLiteral("Please find another COM port. Use <Interface>/<Setup> menu  "),
                QStringLiteral("to locate another Chrono - If there is one."),
            };
            MsgBox(portWarningText(lines), kNotice);
        }
        TrmOpen = false;
        mnuSendText->setEnabled(false);
        Err.Clear();
        return;
    }

    TrmOpen = true;
    mnuSendText->setEnabled(MSComm1->PortOpen());
    showSettings();
    SaveSetting(AppTitle, kPemdora, QStringLiteral("AppPrt"), QString::number(TrmPort));
    updAllSta();
    strtConTime();
}

void frmTerminal::subClosePort()
{
    TrmPort = int16_t(MSComm1->CommPort());
    ComPort[0] = TrmPort;
    cutRxLine();
    if (!trapErrors([this] { MSComm1->setPortOpen(false); })) {
        MsgBox(Err.Description, kNotice);
        Err.Clear();
    }
    TrmOpen = MSComm1->PortOpen();
    mnuSendText->setEnabled(TrmOpen);
    showSettings();
    stopConTime();
    updAllSta();
}

int16_t frmTerminal::chkTwinPort()
{
    // A copy counts only while it lives: the record of a copy that was
    // killed still says it runs and holds its port.
    const QList<int> alive = copies::others();
    for (int16_t i = 0; i <= 3; ++i) {
        if (i == AppNum || !alive.contains(i))
            continue;
        const QString title = QStringLiteral("Vantrell") + QString::number(i);
        if (GetSetting(title, kPemdora, QStringLiteral("AppRun"), QString()) != title)
            continue;
        if (Val(GetSetting(title, kPemdora, QStringLiteral("AppPrt"), QStringLiteral("0"))) == MSComm1->CommPort())
            return i;
    }
    return -1;
}

void frmTerminal::seeComErr(int errNo)
{
    mnuSendText->setEnabled(false);
    if (errNo == 0)
        return;
    QString reason;
    switch (errNo) {
    case 8002: reason = QStringLiteral("does not exist."); break;
    case 8005: reason = QStringLiteral("is already in use."); break;
    default: reason = QStringLiteral("unknown error."); break;
    }
    MsgBox(QStringLiteral("Port COM") + QString::number(MSComm1->CommPort()) + u' ' + reason + kCrLf
               + QStringLiteral("Try another port number..."),
           kNotice);
}

void frmTerminal::modExitPort(bool &cancel)
{
    if (MSComm1->PortOpen()) {
        // A monotonic deadline: the wall clock may jump, or pass midnight.
        const auto drained = [this] { return !(MSComm1->PortOpen() && MSComm1->OutBufferCount() != 0); };
        while (waiting::until({.done = drained, .boundMs = exitDrainMs, .lookMs = 20}) != waiting::End::Done) {
            const int r = MsgBox(QStringLiteral("Unable to send Data..."),
                                 vbAbortRetryIgnore | vbSystemModal | vbMsgBoxSetForeground);
            if (r == vbAbort) {
                cancel = true;
                return;
            }
            if (r == vbRetry)
                continue;
            break; // Ignore
        }
        if (!trapErrors([this] { MSComm1->setPortOpen(false); }))
            Err.Clear();
        TrmOpen = MSComm1->PortOpen();
    }
    if (cLogFile != 0)
        mnuCloseLog_Click();
}

void frmTerminal::extTerminal(int cancel)
{
    (void)cancel;
    bool abort = false;
    modExitPort(abort);
    if (MSComm1->PortOpen())
        subClosePort();
    if (cLogFile != 0)
        cLogClose();
}

bool frmTerminal::putTrmChr(int16_t &KeyAscii)
{
    if (!MSComm1->PortOpen())
        return false;
    MSComm1->setOutput(QString(QChar(char16_t(KeyAscii))));
    ++TxBytes;
    if (KeyAscii == 10)
        ++TxLines;
    if (!Echo)
        KeyAscii = 0;
    return true;
}

void frmTerminal::PutCLogCaption(const QString &text)
{
    setWindowTitle(QStringLiteral("zEzede") + strAppNum() + u'(' + text + u')');
}

void frmTerminal::zapCroTmrs()
{
    nbrLink().stopLinkTimers();
}


void frmTerminal::mnuOpenPortOnOff_Click()
{
    int16_t mode = 0;
    modComTogShow(mode);
}

void frmTerminal::strtConTime()
{
    conStartMs_ = monoMs();
}

void frmTerminal::stopConTime()
{
    conStartMs_ = -1;
}

QString portWarningText(const QStringList &body)
{
    const QStringList head = {
        QStringLiteral("These warning messages can be turned off from rUvuzu menu.   "),
        QStringLiteral("Click on <View>/<rUvuzu>..[Option] and clear [System Warnings]."),
        QString(),
        QStringLiteral("This is a message from ''") + AppTitle + QStringLiteral("'' ...!"),
        QString(),
    };
    return (head + body).join(kCrLf);
}

void modComTogShow(int16_t &mode)
{
    if (mode == 0) {
        frmTerminal *term = frmTerminal::get();
        if (term->MSComm1->PortOpen()) {
            term->subClosePort();
        } else {
            term->subOpenPort();
            RxRoute[1] = false;
        }
    }
    updAllSta();
}

} // namespace vt
