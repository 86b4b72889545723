#include "serial/modRxEngine.h"

#include "editor/frmDocument.h"
#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "platform/timers.h"
#include "serial/frmTermStat.h"
#include "serial/frmTerminal.h"
#include "serial/modCapLog.h"
#include "serial/modComPort.h"
#include "serial/modLinkNbr.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"
#include "shell/modPrgrs.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

#include <QAction>
#include <QDateTime>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace vt {

namespace {
bool probeLogOn = false;
} // namespace

void setProbeLog(bool on) { probeLogOn = on; }

void zapRxLines()
{
    RxLogRec &r = RxLogMain;
    r.rxLineIdx = 0;
    r.rxLineCnt = 0;
    r.rxLineWrap = 0;
    for (QString &line : r.rxLines)
        line.clear();
}

void zapExcQueue()
{
    CapExport = CapExportRec{};
}

void zapRxData()
{
    zapRxLines();
    zapExcQueue();
}

bool linkTextMayWait()
{
    return !croWaiting && !BusyPrgrs && !croTask(0) && nbrLink().linkIdle();
}

void takeGatheredLinkText()
{
    if (frmTerminal *t = frmTerminal::instance())
        t->MSComm1->deliverGathered();
}

void excQuePush(const QString &line)
{
    CapExportRec &q = CapExport;
    if (q.excQueue.size() >= size_t(kExcQueMax)) {
        q.excQueue.pop_front();
        ++q.excQueOvf;
    }
    q.excQueue.push_back(line);
    ++q.excQueTot;
    q.excQueCnt = int32_t(q.excQueue.size());
}

void tmrExcRtc_Timer()
{
    CapExportRec &q = CapExport;
    // Taken off before the hand-over: the spreadsheet may let events run, and
    // lines queued meanwhile go behind this one.
    while (!q.excQueue.empty()) {
        q.excLine = q.excQueue.front();
        q.excQueue.pop_front();
        q.excQueCnt = int32_t(q.excQueue.size());
        if (!trapErrors([] { nbrExport().addXlShot(); }))
            reportError(QStringLiteral("frmTerminal/tmrExcRtc_Timer"));
    }
}

} // namespace vt

// ---------------------------------------------------------------------------
// The receive engine of the terminal window
// ---------------------------------------------------------------------------

namespace vt {

namespace {

constexpr int kTermMax = 32750;  // the terminal box is held below this many characters
// Text without a line end is shown at the latest this long after it came, so
// a stream of characters costs a few paintings of the box a second.
constexpr int kTermHoldMs = 200;
// Held text beyond this length is shown at once.
constexpr int kTermHoldMax = 4096;
// A line that never ends (a device that ends its lines with LF alone) keeps
// only its last this many characters, so the table cannot grow without bound.
constexpr int kLineMax = 32750;

bool isShotLine(const QString &line)
{
    return line.contains(QLatin1String("CAP:")) || line.contains(u'#');
}

// One destination of a chunk: a failure there is kept from the others.
void route(const char *what, const std::function<void()> &body)
{
    if (!trapErrors(body)) {
        qWarning("receive engine, %s: %d %s", what, Err.Number, qPrintable(Err.Description));
        Err.Clear();
    }
}

// The chunk as the terminal shows it: each backspace takes the character
// before it; line feeds go and every carriage return becomes CR LF. Returns
// how many backspaces found nothing before them in the chunk: they take
// characters already shown.
int editForTerm(QString &txt)
{
    QString out;
    out.reserve(txt.size() + 16);
    int reachBack = 0;
    for (const QChar c : std::as_const(txt)) {
        if (c == QChar(8)) {
            if (out.isEmpty())
                ++reachBack;
            else
                out.chop(1);
        } else {
            out += c;
        }
    }
    out.remove(QChar(10));
    out.replace(QChar(13), QStringLiteral("\r\n"));
    txt = out;
    return reachBack;
}

// A chronograph task (a download among them) reads what the box holds.
bool termInUse()
{
    return croTask(0) || nbrLink().dumpWatched();
}

} // namespace

int frmTerminal::termLength(RichTextBox *box) const
{
    // Read from the document: the box's own length writes the held text out.
    const QTextDocument *doc = box->document();
    const int shown = doc->characterCount() - 1 + doc->blockCount() - 1;
    return shown + (box == termHeldBox_ ? int(termHeld_.size()) : 0);
}

void frmTerminal::releaseTermHold()
{
    if (RichTextBox *box = termHeldBox_.data())
        box->SetHeldTextWriter(std::function<void()>());
    termHeldBox_.clear();
}

void frmTerminal::holdTerm(RichTextBox *box, const QString &text)
{
    if (termHeldBox_ != box) {
        flushTerm();
        releaseTermHold();
        termHeldBox_ = box;
        box->SetHeldTextWriter([this] { flushTerm(); });
    }
    termHeld_ += text;
    if (text.contains(QChar(10)) || termHeld_.size() >= kTermHoldMax) {
        flushTerm();
        return;
    }
    if (termHeld_.isEmpty())
        return;
    if (!termHoldTimer_) {
        termHoldTimer_ = new QTimer(this);
        termHoldTimer_->setSingleShot(true);
        connect(termHoldTimer_, &QTimer::timeout, this,
                [this] { guarded(QStringLiteral("frmTerminal/flushTerm"), [this] { flushTerm(); }); });
    }
    if (!termHoldTimer_->isActive())
        termHoldTimer_->start(kTermHoldMs);
}

void frmTerminal::flushTerm()
{
    if (termHoldTimer_)
        termHoldTimer_->stop();
    // Taken first: the box calls back here before it is written to.
    const QString text = std::exchange(termHeld_, QString());
    RichTextBox *box = termHeldBox_;
    if (text.isEmpty() || !box)
        return;
    box->SetSelStart(box->TextLength());
    box->SetSelText(text);
    box->SetSelStart(box->TextLength());
}

void frmTerminal::trimTerm(RichTextBox *box)
{
    if (termLength(box) <= kTermMax || termInUse())
        return;
    // The cut is taken from the box as it would stand with the held text in it.
    flushTerm();
    const int len = box->TextLength();
    // Cut whole lines from the head until what is left fits; only a last line
    // longer than the limit is cut inside.
    QTextDocument *doc = box->document();
    const int excess = len - kTermMax;
    int cut = 0;   // box positions removed (a line end counts two)
    int docCut = 0;
    for (QTextBlock b = doc->begin(); b.isValid() && b.next().isValid(); b = b.next()) {
        cut += b.length() + 1;
        docCut = b.next().position();
        if (cut >= excess)
            break;
    }
    if (cut < excess)
        docCut += excess - cut;
    QTextCursor c(doc);
    c.setPosition(0);
    c.setPosition(docCut, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    TermCut += std::max(cut, excess);
}

void frmTerminal::splitLines()
{
    RxLogRec &log = RxLogMain;
    LinkNbr &link = nbrLink();
    for (;;) {
        QString &line = log.rxLines[log.rxLineIdx];
        const qsizetype p = rxRest.indexOf(QChar(13));
        if (p < 0) {
            line += rxRest;
            rxRest.clear();
            if (line.size() > kLineMax)
                line.remove(0, line.size() - kLineMax);
            if (excRtcOn && isShotLine(line) && link.shotBurstBegins())
                ++CapExport.excBurstCnt;
            return;
        }
        rxLineDone = true;
        ++RxLines;
        line += rxRest.left(p);
        rxRest = rxRest.mid(p + 1); // a line feed after the CR heads the next line

        if (excRtcOn && isShotLine(line))
            excQuePush(line);
        link.lineReceived(line);

        ++log.rxLineIdx;
        ++log.rxLineCnt;
        if (log.rxLineCnt > kRxLines - 1)
            ++log.rxLineWrap;
        if (log.rxLineIdx > kRxLines - 1)
            log.rxLineIdx = 0;
        log.rxLines[log.rxLineIdx].clear();

        if (PrgrsState.PrgrsOn)
            stepPrgrs();
        rxGotLine = true;
    }
}

void frmTerminal::writeCLog(const QString &text)
{
    if (cLogFile == 0 || !cLogOn)
        return;
    appendCLog(text);
}

void frmTerminal::appendCLog(const QString &text)
{
    for (;;) {
        if (trapErrors([&] { cLogWrite(text); }))
            return;
        const QString why = Err.Description;
        Err.Clear();
        if (MsgBox(why, vbRetryCancel | vbCritical | vbSystemModal | vbMsgBoxSetForeground) != vbRetry) {
            mnuCloseLog_Click();
            return;
        }
    }
}

void frmTerminal::putRxData(RichTextBox *txtBox, QString &txt)
{
    // The terminal box's size.
    route("terminal size", [&] { trimTerm(txtBox); });
    rxTxtLen = termLength(txtBox);

    // Lines: the table, the header watch, the live-link queue.
    rxGotLine = false;
    rxLineDone = false;
    rxRest = txt;
    RxBytes += txt.size();
    route("lines", [&] { splitLines(); });

    // The quiet gaps start afresh with every chunk.
    route("timers", [] { nbrLink().chunkReceived(); });

    // Route 0: the terminal box and the capture log.
    int reachBack = 0; // backspaces that take characters shown before this chunk
    if (RxRoute[0]) {
        route("terminal", [&] {
            QString shown = txt;
            reachBack = editForTerm(shown);
            txt = shown;
            if (reachBack > 0) {
                // Each takes one character already shown (a line end is one);
                // with nothing shown there is nothing to take.
                if (termHeldBox_ == txtBox)
                    flushTerm();
                QTextCursor c(txtBox->document());
                c.movePosition(QTextCursor::End);
                for (int n = reachBack; n-- > 0 && c.position() > 0;)
                    c.deletePreviousChar();
                txtBox->SetSelStart(txtBox->TextLength());
            }
            // Written with the caret behind it, at the line's end or shortly.
            holdTerm(txtBox, txt);
        });
        route("capture log", [&] { writeCLog(txt); });
    }

    // Route 1: the session's CFile (Shoot mode), its typing format kept; a line
    // that has not ended may be gathered over a few chunks first. The text
    // is followed line by line also outside Shoot mode, so that the mode
    // changes only between two of the unit's lines.
    // With no CFile left to take it, Shoot mode ends and the user is told:
    // received text never goes nowhere unnoticed.
    route("CFile", [&] {
        if (!rxLineRoute_.take(txt, reachBack, RxRoute[1]))
            nbrLink().shootCFileLost();
    });

    // Route 2: the panel's live spreadsheet box.
    if (RxRoute[2])
        route("live box", [&] { nbrRemote().ShowExcTxt(txt); });

    // The reply buffer of the command engine.
    route("reply buffer", [&] { nbrLink().replyReceived(txt); });

    // The panel's progress box.
    if (BusyPrgrs)
        route("progress box", [&] { nbrRemote().addPrgrsText(txt); });

    // The keypad display, after a chunk that completed a line.
    if (keyPadOn && rxLineDone)
        route("keypad", [] { nbrRemote().seeKeyPadLcd(); });
}

void frmTerminal::MSComm1_OnComm()
{
    bool comBusy = false, comIsErr = false, comLogIt = true;
    QString comEvText;
    const int event = MSComm1->CommEvent();
    switch (event) {
    case commEvReceive: {
        // The control raises no receive event while this one runs, so a
        // destination that lets events run never sees the next chunk first.
        QString text = MSComm1->Input();
        putRxData(txtTerm, text);
        comBusy = true;
        break;
    }
    case commEvSend: comBusy = true; break;
    case 3: comEvText = QStringLiteral("CTS Changed"); break;
    case 4: comEvText = QStringLiteral("DSR Detected"); break;
    case 5: comEvText = QStringLiteral("CD Detected"); comLogIt = false; break;
    case 6: comEvText = QStringLiteral("Ring Detected"); break;
    case 7: comEvText = QStringLiteral("EOF Detected"); break;
    case 1001: comEvText = QStringLiteral("Break Received"); comIsErr = true; break;
    case 1002: comEvText = QStringLiteral("CTS Timeout"); comIsErr = true; break;
    case 1003: comEvText = QStringLiteral("DSR Timeout"); comIsErr = true; break;
    case 1004: comEvText = QStringLiteral("Framing Error"); comIsErr = true; break;
    case 1006: comEvText = QStringLiteral("Overrun Error"); comIsErr = true; break;
    case 1007: comEvText = QStringLiteral("Carrier Timeout"); comIsErr = true; break;
    case 1008: comEvText = QStringLiteral("Rx Full"); comIsErr = true; break;
    case 1009: comEvText = QStringLiteral("Parity Error"); comIsErr = true; break;
    case 1010: comEvText = QStringLiteral("TX Full"); comIsErr = true; break;
    case 1011: comEvText = QStringLiteral("DCB Error"); comIsErr = true; break;
    case commErLineLost: comEvText = QStringLiteral("Device Lost"); comIsErr = true; break;
    default: comEvText = QStringLiteral("Uknown Error"); comIsErr = true; break;
    }
    if (!comBusy && comLogIt) {
        if (comIsErr)
            ++RxError;
        ++RxMesgs;
        frmTermStat::get()->LogStatus(comIsErr, comEvText);
    }
    if (event == commErLineLost)
        lostDevice();
}

void frmTerminal::lostDevice()
{
    // The device went away and the control closed the port. Shots fired from
    // now on go nowhere, so the user hears of it at once: in the CFile that
    // was taking them, in the terminal and, while warnings are on, in a box.
    TrmOpen = false;
    mnuSendText->setEnabled(false);
    stopConTime();
    const QString port = QStringLiteral("COM") + QString::number(MSComm1->CommPort());
    const QString when = now().toString(QStringLiteral("HH:mm:ss"));
    const QString text = QStringLiteral("Port ") + port + QStringLiteral(" lost at ") + when
        + QStringLiteral(" - the chronograph is not connected.");
    sbStatus->showMessage(text);
    // The line the device broke off stays as it came; nothing more joins it.
    rxLineRoute_.cut();
    if (RxRoute[1]) {
        route("lost device notice", [&] {
            // The notice takes a line of its own, also after a line the
            // device broke off (and that may still be held back).
            flushCFileFeed();
            const frmDocument *doc = logCFile();
            const bool midLine = doc && !doc->rtfText->document()->lastBlock().text().isEmpty();
            appendLogCFile((midLine ? QStringLiteral("\r\n") : QString()) + QStringLiteral("REM: ") + text
                              + QStringLiteral("\r\n"));
        });
    }
    updAllSta();
    if (ShowWarn) {
        const QStringList lines = {
            text,
            QStringLiteral("Shots fired now are not received. When the chronograph is back,"),
            QStringLiteral("turn the port on again with the toolbar's Port On/Off button."),
        };
        MsgBox(portWarningText(lines), vbOKOnly | vbExclamation | vbMsgBoxSetForeground);
    }
}

void frmTerminal::MSComm2_OnComm()
{
    if (MSComm2->CommEvent() != commEvReceive)
        return;
    nbrLink().probeReceived();
    const QString text = MSComm2->Input();
    if (probeLogOn)
        route("probe log", [&] { nbrSerial().ShowPLog(text, 1, false); });
    if (cmdRxToCFile)
        route("probe CFile", [&] { appendActiveCFile(text); });
    if (BusyPrgrs)
        route("probe progress", [&] { nbrRemote().addPrgrsText(text); });
    if (croWaiting) {
        croReply += text;
        croRxCnt += int32_t(text.size());
        croRxCnt2 += int32_t(text.count(QChar(10)));
    }
}

} // namespace vt
