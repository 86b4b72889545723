#include "chrono/modCroCox.h"

#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
#include "platform/conversions.h"
#include "platform/msgbox.h"
#include "platform/timers.h"
#include "serial/modCapLog.h"
#include "shell/modShared.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"
#include "shell/modStartNbrs.h"

#include <charconv>

namespace vt {

namespace {

const QString crlf = QStringLiteral("\r\n");

// Log lines reach their CFile the way received text does: at its end, with
// the format that stood there kept for what the user types next. In a Shoot
// session that is the CFile taking the shots, so that a shot log carries its
// own history; otherwise the active CFile.
CFileLog activeCFileLog()
{
    return {[] { return logCFile() != nullptr; }, [](const QString &text) { appendLogCFile(text); }};
}

CFileLog &cfileLog()
{
    static CFileLog log = activeCFileLog();
    return log;
}

QString breaks(int count)
{
    return count > 0 ? crlf.repeated(count) : QString();
}

// A Single as its shortest decimal text (8.95, 45296.5).
QString singleText(float value)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return QString::fromLatin1(buf, res.ptr - buf);
}

// The system date and time as text, and the seconds since midnight.
QString dateText() { return Format(now(), QStringLiteral("Short Date")); }
QString timeText() { return Format(now(), QStringLiteral("Long Time")); }

// The entry of the port setup's device-type list at index Device; "" when
// the index is off the list.
QString deviceName() { return deviceEntry(Device); }

QString linkPort() { return QString::number(ComPort[0]); }

// Every notice line: "REM: ", the text, one line break.
void remLine(const QString &text) { PLog2CFile(text, 0, 1, 1); }

} // namespace

void setCFileLog(CFileLog log) { cfileLog() = std::move(log); }

bool cfileLogOpen()
{
    const CFileLog &log = cfileLog();
    return log.isOpen && log.append && log.isOpen();
}

int16_t chkCFileOpen()
{
    if (cfileLogOpen())
        return 0;
    const int answer = MsgBox(QStringLiteral("This function saves data to a CFile, ") + QStringLiteral("there are no opened CFiles.  ")
                                  + crlf + QStringLiteral("Would you like to create a new CFile now..?"),
                              vbYesNo | vbDefaultButton2 | vbQuestion);
    if (answer == vbYes) {
        nbrEditor().CreateNewCFile();
        // Without a CFile the operation's log lines would go nowhere.
        return cfileLogOpen() ? 0 : 1;
    }
    MsgBox(QStringLiteral("Aborted by the user..!"));
    return 1;
}

QString strOnOff(bool flag) { return flag ? QStringLiteral(" On") : QStringLiteral(" Off"); }

QString plogText(const QString &text, int crlfBefore, int crlfAfter, int kind)
{
    const QString pre = breaks(crlfBefore), post = breaks(crlfAfter);
    switch (kind) {
    case 0:
        return pre + text + post;
    case 1:
        return pre + QStringLiteral("REM: ") + text + post;
    case 2:
        return pre + QStringLiteral("REM:") + Format(CroSta.croTotShots, QStringLiteral("00000")) + u' ' + text + post;
    case 10:
        return pre + QStringLiteral("TAG: ") + text + post;
    case 11:
        return pre + QStringLiteral("TAG: ") + text + QStringLiteral("{ Date=") + dateText() + QStringLiteral(" Time=")
               + timeText() + QStringLiteral(" }") + post;
    case 20:
        return text;
    default:
        return {};
    }
}

void PLog2CFile(const QString &text, int crlfBefore, int crlfAfter, int kind)
{
    // Log lines are a record, never a reason to fail an operation: with no
    // CFile open there is nowhere to write them, so they are dropped.
    if (!cfileLogOpen())
        return;
    cfileLog().append(plogText(text, crlfBefore, crlfAfter, kind));
}

void plogMsg(const QString &text) { remLine(text); }

void putErrLog(int code, const QString &text)
{
    remLine(QStringLiteral("Err(") + QString::number(code) + QStringLiteral(")->") + text);
}

void plogLine(const QString &text, int crlfBefore, int crlfAfter) { PLog2CFile(text, crlfBefore, crlfAfter, 1); }
void plogLineR(const QString &text, int crlfBefore, int crlfAfter) { PLog2CFile(text, crlfBefore, crlfAfter, 0); }
void plogRaw(const QString &text, int crlfBefore, int crlfAfter, int kind)
{
    PLog2CFile(text, crlfBefore, crlfAfter, kind);
}

void logCroStat()
{
    remLine(QStringLiteral("KT4 Status-{") + QStringLiteral(" Archery=") + strOnOff(CroSta.croArcOn)
            + QStringLiteral("  RapidFire=") + strOnOff(CroSta.croRFirOn) + QStringLiteral("  Sensors=")
            + strOnOff(CroSta.croSnsOn) + QStringLiteral("  Sensitivity=") + QString::number(CroSta.croSnsLev)
            + QStringLiteral("-%") + QStringLiteral("  Battery=") + singleText(CroSta.croBatVolts)
            + QStringLiteral("-Volts"));
}

void logDevPort()
{
    PLog2CFile(QStringLiteral("Device-{") + deviceName() + QStringLiteral("} Port-{COM") + linkPort() + u'}', 0, 1, 10);
}

void logCroEvt(int event)
{
    static const char *const words[] = {"", "Start-", "Stop-", "PowerOff-", "PowerOn-"};
    const QString word = event >= 0 && event <= 4 ? QString::fromLatin1(words[event]) : QString();
    PLog2CFile(word + stampText(), 1, 1, 10);
}

void seeWarnHint()
{
    PLog2CFile(QStringLiteral("To stop these messages, go to <View>/<rUvuzu> and click on <Option>,"), 1, 1, 1);
    remLine(QStringLiteral("then clear ''Chrono Warning'' and/or ''System Warnins On'' checkmarks."));
}

void seeNoSupport(int flag)
{
    const QString name = deviceName();
    if (ShowWarnKT) {
        remLine(QStringLiteral("Setup was selected for {") + name + u'}');
        remLine(QStringLiteral("See <Interface>/<Setup>, <Custome Setup>, <Device>"));
        remLine(QStringLiteral("For now, this program does not suport {") + name + u'}');
        remLine(QStringLiteral("It will stil record shots as a TTY Terminal in <Custom Setup> mode..!"));
        seeWarnHint();
    } else if (flag != 0) {
        remLine(QStringLiteral("This function does not suport {") + name + QStringLiteral("}{"));
    }
}

void seeEditMode()
{
    remLine(QStringLiteral("Jotrix is now in ''Edit mode'' - shots will not be recorded into CFile."));
}

void seeAborted()
{
    if (croOpAborted)
        remLine(QStringLiteral("Operation Aborted by the user..!"));
}

void seeSnsOff()
{
    remLine(QStringLiteral("Sensors are turned off."));
    remLine(QStringLiteral("Chronograph is now in Data/Stats review mode."));
}

void seeNotCal()
{
    if (CroSta.croCalOk)
        return;
    remLine(QStringLiteral("KT4 is not calibrated - therefore it can not record shots."));
    remLine(QStringLiteral("Without a succesful calibration it will only operate in Data review mode."));
}

void seeReCal()
{
    remLine(QStringLiteral("Setup has been changed - KT4 should be calibrated again."));
}

void chkReCal()
{
    if (croReCal)
        seeReCal();
}

void seeEditHint()
{
    if (RxRoute[1] || !ShowWarnKT)
        return;
    remLine(QStringLiteral("Jotrix is in Edit mode - shots will not be recorde into the cFile."));
    remLine(QStringLiteral("To record shots into the CFile - goto <Chrono> and click on <Start>."));
}

void seeNoPort()
{
    remLine(QStringLiteral("Selected communications Port COM") + linkPort() + QStringLiteral(" is not avaialble."));
    remLine(QStringLiteral("Check your setup, go to <Interface>/<Setup> and select a valid Port."));
    remLine(QStringLiteral("To find free port click on <Detect>."));
}

void seeNoCro()
{
    nbrChrono().getPortStates();
    remLine(QStringLiteral("KT4 not found on port COM") + linkPort());
    remLine(QStringLiteral("Check connections or setup - see <Interface>/<Setup>."));
    remLine(QStringLiteral("To find KT4 click on <Detect>, to check KT4 click on <Test>."));
}

void seeOnlyKT4()
{
    remLine(QStringLiteral("This function only works for KT4 chronographs."));
    remLine(QStringLiteral("For other chronographs use this program as TTY Terminal..!"));
    remLine(QStringLiteral("Support for other chronographs is in the works."));
}

void seeLinkErr()
{
    remLine(QStringLiteral("Communications error - could not establish a link with KT4."));
    remLine(QStringLiteral("Sensor's status is uknown, check setup or connections."));
}

} // namespace vt
