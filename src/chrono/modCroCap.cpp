#include "chrono/modCroCap.h"

#include "chrono/modCroCox.h"
#include "editor/frmDocument.h"
#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
#include "platform/msgbox.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStatus.h"

namespace vt {

namespace {

const QString crlf = QStringLiteral("\r\n");

const QString warnHint = QStringLiteral("These warning messages can be turned off from rUvuzu menu.   \r\n"
                                        "Click on <View>/<rUvuzu>..[Option] and clear [System Warnings].\r\n\r\n");

constexpr int kWarnStyle = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;

// The CFile as the warnings name it, on a line of its own.
QString cfilePhrase(const QString &caption)
{
    return crlf + u'\t' + QStringLiteral("''") + caption + QStringLiteral("''     ") + crlf;
}

// The CFile that takes the shots (the session's, else the active one).
QString shotCaption()
{
    frmDocument *doc = shotCFile();
    if (!doc)
        doc = ActiveForm();
    return doc ? doc->Caption() : QString();
}

void warnDisconnected(const QString &caption)
{
    MsgBox(warnHint + QStringLiteral("Chronograph is now disconected from CFile") + crlf
               + QStringLiteral("Shots will no longer be recorded into CFile name") + cfilePhrase(caption),
           kWarnStyle);
}

// Shoot mode ends because nothing is left to write into; the user hears of
// it whatever the warning options say, as with a port that cannot be opened.
void shootOffNoCFile(const QString &caption)
{
    if (!RxRoute[1])
        return;
    flushCFileFeed();
    RxRoute[1] = false;
    warnDisconnected(caption);
    updAllSta();
}

} // namespace

void subCaptureOnOff(int action)
{
    if (action == 0) {
        // What arrived in Shoot mode is in its CFile before the mode ends.
        flushCFileFeed();
        RxRoute[1] = !RxRoute[1];
        // Shots need a CFile to go into: offer one, else stay in Edit mode.
        if (RxRoute[1] && chkCFileOpen() != 0)
            RxRoute[1] = false;
        else {
            const QString phrase = cfilePhrase(shotCaption());
            SerialNbr &ser = nbrSerial();
            if (RxRoute[1]) {
                ser.subOpenPort();
                if (!ser.linkPortOpen()) {
                    RxRoute[1] = false;
                    MsgBox(warnHint + QStringLiteral("Port COM") + QString::number(ser.linkCommPort())
                               + QStringLiteral(" is not avaialble, chronograph connection to") + phrase
                               + QStringLiteral("is now turned off..!"),
                           kWarnStyle);
                }
            } else if (ShowWarn) {
                warnDisconnected(shotCaption());
            }
        }
    }
    updAllSta();
}

void shootCFileClosed(const QString &caption)
{
    // As the program ends, every CFile goes and so does the mode.
    if (frmMDI *mdi = frmMDI::instance(); !mdi || mdi->isUnloading())
        return;
    if (ActiveForm()) {
        // When the CFile taking the shots was the one closed, the active
        // CFile takes them now, and the marks say so.
        if (RxRoute[1] && !shotCFile())
            updAllSta();
        return;
    }
    shootOffNoCFile(caption);
}

void shootCFileLost()
{
    if (ActiveForm())
        return;
    shootOffNoCFile(QString());
}

} // namespace vt
