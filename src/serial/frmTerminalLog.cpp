// The terminal window's capture-log commands. The file itself (appending,
// flushing every write) is modCapLog's; here are the commands, their stamps,
// the proposed name and the caption.
#include "platform/commondlg.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "serial/frmTerminal.h"
#include "serial/modCapLog.h"
#include "shell/modFileOperations.h"
#include "shell/modNeighbours.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

namespace vt {

namespace {

constexpr int kStampOpen = 0, kStampClose = 1, kStampStart = 2, kStampResume = 4, kStampPause = 5;

void showFailure(const QString &text)
{
    MsgBox(text, vbOKOnly | vbCritical | vbSystemModal | vbMsgBoxSetForeground);
}

// Writes a stamp on a fresh line after an empty one; a failed write is
// reported like any write of received text.
void stamp(int kind) { cLogWrite(QStringLiteral("\r\n") + tagLine(kind)); }

} // namespace

bool frmTerminal::openCLog(const QString &name, int kind)
{
    // A log still open is closed properly first, never left behind.
    if (cLogFile != 0)
        mnuCloseLog_Click();
    try {
        cLogOpen(name);
        stamp(kind);
    } catch (const RtError &e) {
        cLogClose();
        showFailure(e.description.isEmpty() ? errDescription(e.number) : e.description);
        return false;
    }
    cLogOn = true;
    return true;
}

void frmTerminal::mnuOpenLog_Click()
{
    RemoteNbr &panel = nbrRemote();
    dialogs::FileRequest request;
    // Any name may be typed, existing or new; an existing one is asked about below.
    request.save = true;
    request.overwritePrompt = false;
    request.title = QStringLiteral("Open CLog File");
    request.filter = QStringLiteral("Text Files (*.txt)|*.txt|Log Files (*.log)|*.log|All Files (*.*)|*.*");
    const QString proposal = panel.hwrCLogPath() + panel.hwrCLogFile();
    const QFileInfo proposed(proposal);
    request.initialDir = proposed.absolutePath();
    request.defaultName = proposed.fileName();

    QString name;
    int answer = vbNo;
    for (;;) {
        const std::optional<QStringList> chosen = dialogs::chooseFiles(request);
        if (!chosen || chosen->isEmpty())
            return; // cancelled: nothing changes
        name = chosen->first();
        if (QFileInfo(name).suffix().isEmpty())
            name += QStringLiteral(".LOG");
        if (!QFileInfo::exists(name))
            break;
        answer = MsgBox(QStringLiteral("Replace existing file - ") + name + u'?',
                        vbYesNoCancel | vbQuestion | vbSystemModal | vbMsgBoxSetForeground);
        if (answer != vbCancel)
            break;
    }
    if (answer == vbYes) {
        QFile old(name);
        if (!old.remove()) {
            showFailure(old.errorString());
            return;
        }
    }
    if (!openCLog(name, kStampOpen)) {
        fixCLogCmds();
        return;
    }
    const QString title = GetFTitle(name);
    const QString folder = name.left(name.size() - title.size());
    panel.setHwrCLogName(folder, title);
    PutCLogCaption(folder);
    fixCLogCmds();
}

void frmTerminal::StrtCLog()
{
    RemoteNbr &panel = nbrRemote();
    const QString name = panel.hwrCLogPath() + panel.hwrCLogFile();
    if (openCLog(name, kStampStart))
        PutCLogCaption(name);
    fixCLogCmds();
}

void frmTerminal::mnuCLogStart_Click() { StrtCLog(); }

void frmTerminal::mnuCLogPaz_Click()
{
    if (cLogFile == 0)
        return;
    cLogOn = false;
    appendCLog(QStringLiteral("\r\n") + tagLine(kStampPause));
    fixCLogCmds();
}

void frmTerminal::mnuCLogRes_Click()
{
    if (cLogFile == 0)
        return;
    cLogOn = true;
    appendCLog(QStringLiteral("\r\n") + tagLine(kStampResume));
    fixCLogCmds();
}

void frmTerminal::mnuCloseLog_Click()
{
    if (cLogFile != 0) {
        // The file is closed even when its closing stamp cannot be written.
        if (!trapErrors([] { stamp(kStampClose); }))
            Err.Clear();
    }
    cLogClose();
    PutCLogCaption(QStringLiteral("Log turned off"));
    fixCLogCmds();
}

void frmTerminal::fixCLogCmds()
{
    mnuOpenLog->setEnabled(cLogFile == 0);
    mnuCLogStart->setEnabled(cLogFile == 0);
    mnuCloseLog->setEnabled(cLogFile != 0);
    mnuCLogPaz->setEnabled(cLogFile >= 1 && cLogOn);
    mnuCLogRes->setEnabled(cLogFile >= 1 && !cLogOn);
    nbrRemote().fixCLogCmds();
}

} // namespace vt
