// The receive engine's shared records: the table of the last 101 lines the
// link received, the queue of shot lines for the spreadsheet's live link and
// the probe control's reply buffer. The terminal window's putRxData fills
// them; the command engine, the probe exchange and the live link read them.
#pragma once

#include <QString>
#include <cstdint>
#include <deque>

namespace vt {

constexpr int kRxLines = 101; // entries of the line table

// The line table. rxLines[rxLineIdx] is always the line under way.
struct RxLogRec {
    int16_t rxLineIdx = 0;  // write index, 0..100
    int32_t rxLineCnt = 0;  // complete lines received
    int32_t rxLineWrap = 0; // lines completed once the table was full
    QString rxLines[kRxLines];
};
inline RxLogRec RxLogMain;

// Lines waiting for the live link of the Capture sheet, oldest first. The
// queue grows with a burst, so no line is lost or handed over twice; only
// past kExcQueMax waiting lines the oldest is dropped (and counted).
constexpr int kExcQueMax = 4096;
struct CapExportRec {
    int32_t excQueTot = 0;   // lines ever queued
    int32_t excBurstCnt = 0; // bursts of capture lines begun
    int32_t excQueCnt = 0;   // lines waiting
    int32_t excQueOvf = 0;   // lines dropped because the queue was full
    std::deque<QString> excQueue;
    QString excLine;         // the line being handed to the live link
    // State of the capture-line reader of the spreadsheet export.
    bool capShotOk = false;  // the last parsed line is a shot
    bool capNewBlk = false;  // the last parsed line ends a block
    bool capBlkPend = false; // a Begin row is due before the next rows
    int16_t capStrNum = 0;   // string number of the line's pair field, 0 without one
    int16_t capShotNum = 0;  // shot number of the pair field, 0 without one
    int32_t capShotCnt = 0;  // the count field after the tag (five digits: past 32767)
    float capVel = 0, capTmp = 0, capTim = 0;
    // Units as the last line that carried them gave them ("" before any).
    QString capVelUnit, capTmpUnit, capTimUnit;
};
inline CapExportRec CapExport;

// The probe control's reply buffer: appended while croWaiting, with the
// characters and the line feeds counted.
inline QString croReply;
inline bool croWaiting = false;
inline int32_t croRxCnt = 0;
inline int32_t croRxCnt2 = 0;
// While on (the port scan turns it on), text on the probe control also goes
// to the setup window's probe log.
void setProbeLog(bool on);

// Clears the line table (the line under way with it) and the queue with its
// counters. The terminal's load calls it; so does the live link when it starts.
void zapRxData();
// The line table's indices and counters back to 0, the line under way cleared.
void zapRxLines();
// The queue emptied and its counters back to 0.
void zapExcQueue();

// Whether the link may gather a line that arrives a character at a time
// before it is handed on: only while nothing waits on received text as it
// comes (no exchange with the unit, no reply or quiet-gap wait, no task, no
// probe reply, no burst of the live link under way).
bool linkTextMayWait();
// Hands on at once what the link is gathering (before an exchange begins,
// so that text from before it is not taken for its reply).
void takeGatheredLinkText();

// Appends one complete line to the queue.
void excQuePush(const QString &line);
// The tmrExcRtc tick: hands every waiting line, oldest first, to the live
// link (excLine, then addXlShot). A line whose hand-over fails is not retried.
void tmrExcRtc_Timer();

} // namespace vt
