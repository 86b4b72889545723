// The terminal window zEzede: the link port MSComm1 that carries every key and
// every reply and shot of the chronograph, the probe port MSComm2 of the port
// scan, and the terminal box txtTerm that shows what the link received. The
// receive engine (putRxData) routes each received chunk from here.
#pragma once

#include "serial/rxLineRoute.h"
#include "shell/supportWindow.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>

class QAction;
class QLabel;
class QMenuBar;
class QStatusBar;
class QTimer;

namespace vt {

class CommControl;
class RichTextBox;

class frmTerminal : public QWidget, public SupportWindow<frmTerminal> {
    Q_OBJECT
public:
    frmTerminal();
    ~frmTerminal() override;

    // --- controls ---------------------------------------------------------
    RichTextBox *txtTerm = nullptr;
    CommControl *MSComm1 = nullptr; // the link
    CommControl *MSComm2 = nullptr; // the probe
    QMenuBar *mnuBar = nullptr;
    QAction *mnuOpenPortOnOff = nullptr;
    QAction *mnuSendText = nullptr;
    QAction *mnuWrapOff = nullptr;
    QAction *mnuWrapOn = nullptr;
    QAction *mnuOpenLog = nullptr;
    QAction *mnuCLogStart = nullptr;
    QAction *mnuCLogPaz = nullptr;
    QAction *mnuCLogRes = nullptr;
    QAction *mnuCloseLog = nullptr;
    QAction *mnuTermStat = nullptr;
    QStatusBar *sbStatus = nullptr;
    QLabel *sbSettings = nullptr; // the status bar's panel keyed "Settings"

    // --- counters ---------------------------------------------------------
    int64_t RxBytes = 0; // characters received
    int64_t RxLines = 0; // lines completed
    int64_t RxError = 0; // error events
    int64_t RxMesgs = 0; // line-state and error events logged
    int64_t TxBytes = 0; // characters typed to the port
    int64_t TxLines = 0; // line feeds among them
    int64_t TermCut = 0; // characters trimmed from the head of txtTerm

    // --- the link port ----------------------------------------------------
    // Clears the receive state and loads the port settings of section
    // "frmComSet" into MSComm1 (the port stays closed). Called once at start-up.
    void lodTerminal();
    // At shutdown: lets the output drain, closes the port and the capture log.
    void extTerminal(int cancel);
    void setPrtDef();  // "4800,n,8,1", no handshaking; the port number stays
    void savPrtDef();  // MSComm1's settings into section "frmComSet"
    void subOpenPort();
    void subClosePort();
    // The number (0..3) of another running copy that holds this port, or -1.
    int16_t chkTwinPort();
    void seeComErr(int errNo);
    // Waits for the output to drain, then closes the port and the capture
    // log; cancel becomes true when the user chose Abort (the port stays open).
    void modExitPort(bool &cancel);
    // One typed character to the open link port; false when it is closed.
    bool putTrmChr(int16_t &KeyAscii);
    // The caption for a capture log ("" for none).
    void PutCLogCaption(const QString &text);
    // Stops the eight link timers.
    void zapCroTmrs();
    // The capture log: open with the file dialog, start on the proposed name
    // without asking, pause, resume and close, each stamped in the file; the
    // commands' enabling follows cLogFile and cLogOn (fixCLogCmds).
    void mnuOpenLog_Click();
    void StrtCLog();
    void mnuCLogStart_Click();
    void mnuCLogPaz_Click();
    void mnuCLogRes_Click();
    void mnuCloseLog_Click();
    void fixCLogCmds();
    // Sends a text file the user chooses over the open link, no faster than
    // the line's rate, with the progress window and its Abort.
    void mnuSendText_Click();
    // Sends `bytes` over the open link, paced at the line's rate; false when
    // it was aborted or the port closed before the end.
    bool sendPaced(const QByteArray &bytes, const QString &title);
    // Shows the line statistics window.
    void mnuTermStat_Click();
    void mnuOpenPortOnOff_Click();
    // The port item's caption ("&Port-On" while the port is open, "&Port-Off"
    // while it is closed) names the state that is, shown with a mark as a
    // state; its tip says what choosing it does.
    void showPortState(const QString &caption);
    void strtConTime();
    void stopConTime();

    // --- the receive engine -----------------------------------------------
    void MSComm1_OnComm();
    void MSComm2_OnComm();
    // The link port's device went away: the port is closed already; the user
    // is told (status line, the CFile taking shots, a box while warnings are
    // on) and the indicators follow.
    void lostDevice();
    // Routes one received chunk (see the source for the steps). txt is
    // rewritten for the terminal box when route 0 is on, and the later
    // destinations get the rewritten text.
    void putRxData(RichTextBox *txtBox, QString &txt);
    // Writes what the receive engine holds back for the terminal box into
    // it, the caret behind it. Anything that reads or changes the box calls
    // this first, through the box, so nobody sees it without that text.
    void flushTerm();
    // The line the unit had under way is given up (the port was opened or
    // closed again): the next text starts a line afresh for the CFile.
    void cutRxLine();
    void txtTerm_KeyPress(int &KeyAscii);

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void splitLines();
    void trimTerm(RichTextBox *box);
    // Received text for the terminal box waits for its line end, or for a
    // moment when none comes: painting the box for every character arrived
    // was most of what a capture cost.
    void holdTerm(RichTextBox *box, const QString &text);
    // The held text's box no longer calls back here.
    void releaseTermHold();
    // The box's length with the text held for it.
    int termLength(RichTextBox *box) const;
    void writeCLog(const QString &text);
    // Appends to the open log; a failed write asks Retry or Cancel, and
    // Cancel closes the log.
    void appendCLog(const QString &text);
    // Opens `name` for appending and stamps it with `kind`; false (the
    // failure shown, no log open) when it cannot.
    bool openCLog(const QString &name, int kind);
    void showSettings();

    // Receive state kept between chunks.
    int rxTxtLen = 0;        // length of the box's text at the start of the chunk
    QString rxRest;          // part of the chunk not yet split
    bool rxLineDone = false; // this chunk completed a line
    bool rxGotLine = false;
    int64_t conStartMs_ = -1; // when the port was opened (monotonic), -1 while closed
    QPointer<RichTextBox> termHeldBox_; // the box the held text goes into
    QString termHeld_;                  // edited for the box already
    QTimer *termHoldTimer_ = nullptr;   // writes it out when no line end comes
    RxLineRoute rxLineRoute_;           // received lines on their way into the CFile
};

} // namespace vt
