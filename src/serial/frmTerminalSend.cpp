// The terminal window's text-file send and its statistics window.
#include "platform/commondlg.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/serialport.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "serial/frmTermStat.h"
#include "serial/frmTerminal.h"
#include "shell/frmFPrgrs.h"
#include "shell/modFileOperations.h"

#include <QFile>
#include <QLabel>
#include <QPointer>

namespace vt {

namespace {

// Bytes handed to the port at a time; small enough that Abort answers at once.
constexpr int kSendChunk = 32;
// The longest a text file may be; a larger file is refused rather than read whole.
constexpr qint64 kMaxSendBytes = 16 * 1024 * 1024;

} // namespace

void frmTerminal::mnuSendText_Click()
{
    if (!MSComm1->PortOpen()) {
        MsgBox(QStringLiteral("The port is closed: open it before sending a text file."), vbOKOnly | vbExclamation);
        return;
    }
    dialogs::FileRequest request;
    request.title = QStringLiteral("Send Text File");
    request.filter = QStringLiteral("Text Files (*.txt)|*.txt|Log Files (*.log)|*.log|All Files (*.*)|*.*");
    const std::optional<QStringList> chosen = dialogs::chooseFiles(request);
    if (!chosen || chosen->isEmpty())
        return;
    QFile file(chosen->first());
    if (!file.open(QIODevice::ReadOnly)) {
        MsgBox(file.errorString(), vbOKOnly | vbCritical);
        return;
    }
    if (file.size() > kMaxSendBytes) {
        MsgBox(QStringLiteral("The file is too large to send: at most 16 MB."), vbOKOnly | vbExclamation);
        return;
    }
    const QByteArray bytes = file.readAll();
    if (!sendPaced(bytes, GetFTitle(file.fileName())) && MSComm1->PortOpen() == false)
        MsgBox(QStringLiteral("The port closed before the whole file was sent."), vbOKOnly | vbExclamation);
}

bool frmTerminal::sendPaced(const QByteArray &bytes, const QString &title)
{
    frmFPrgrs *shown = frmFPrgrs::get();
    shown->labPrgrs->setText(QStringLiteral("Sending ") + title);
    shown->labWhat->setText(QStringLiteral("%1 bytes").arg(bytes.size()));
    shown->abortAsked = false;
    shown->showPercent(0);
    shown->show();
    // The user may close the progress window during the send: that stops it.
    const QPointer<frmFPrgrs> prg(shown);

    // The line carries about a tenth of its bit rate in characters a second;
    // nothing is handed over faster, so the unit's input is never flooded
    // whatever the port's own buffer would take.
    int baud = 4800;
    if (!trapErrors([&] { baud = parseLineSettings(MSComm1->Settings()).baud; }))
        Err.Clear();
    const double bytesPerMs = std::max(1, baud / 10) / 1000.0;
    const int64_t start = monoMs();
    qsizetype sent = 0;
    bool done = true;
    // One chunk whenever the pace allows; the clock alone says when.
    const auto sendDue = [&] {
        if (sent >= bytes.size())
            return true;
        frmFPrgrs *p = prg.data();
        if (!p || p->abortAsked || !MSComm1->PortOpen()) {
            done = false;
            return true;
        }
        const qsizetype allowed = qsizetype(double(monoMs() - start) * bytesPerMs) + kSendChunk;
        if (sent < allowed && MSComm1->OutBufferCount() < kSendChunk) {
            const QByteArray chunk = bytes.mid(sent, std::min<qsizetype>(kSendChunk, allowed - sent));
            MSComm1->setOutput(QString::fromLatin1(chunk));
            sent += chunk.size();
            TxBytes += chunk.size();
            TxLines += chunk.count('\n');
            p->showPercent(double(sent) * 100.0 / double(bytes.size()));
        }
        return sent >= bytes.size();
    };
    waiting::until({.done = sendDue, .lookMs = 5});
    if (frmFPrgrs *p = prg.data())
        p->unload();
    return done;
}

void frmTerminal::mnuTermStat_Click()
{
    frmTermStat *w = frmTermStat::get();
    w->show();
    w->raise();
}

} // namespace vt
