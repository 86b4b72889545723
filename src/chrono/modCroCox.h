// Log lines and notices of the chronograph operations: short lines written at
// the end of the active CFile so that a shot log carries its own history, and
// the stamp lines of the capture log.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace vt {

// Flags of the operations that the notices read.
inline bool croOpAborted = false; // the user aborted the last operation
inline bool croReCal = false;     // the setup changed: the unit needs calibrating again

// The active CFile, as the log lines see it: by default the end of the main
// window's active CFile, the format that stood there kept (tests install
// their own). When it is unset or no CFile is open, the log lines go nowhere.
struct CFileLog {
    std::function<bool()> isOpen;                // a CFile is active
    std::function<void(const QString &)> append; // insert at its end, keeping the format that stood there
};
void setCFileLog(CFileLog log);
// True while a CFile is there to take log lines.
bool cfileLogOpen();
// The operations' open-CFile check: 0 when a CFile is open, else asks whether
// to create one; 0 once one is open, 1 when the user declined ("Aborted by the
// user..!").
int16_t chkCFileOpen();

// " On" or " Off", with the leading blank.
QString strOnOff(bool flag);

// The text that a log line of this kind inserts: crlfBefore and crlfAfter line
// breaks (0 or less: none) around the kind's form of text; "" for other kinds.
QString plogText(const QString &text, int crlfBefore, int crlfAfter, int kind);
// Appends one log line at the end of the active CFile; with none open it does nothing.
void PLog2CFile(const QString &text, int crlfBefore, int crlfAfter, int kind);

// Line writers.
void plogMsg(const QString &text);
void putErrLog(int code, const QString &text);
void plogLine(const QString &text, int crlfBefore, int crlfAfter);
void plogLineR(const QString &text, int crlfBefore, int crlfAfter);
void plogRaw(const QString &text, int crlfBefore, int crlfAfter, int kind);
void logCroStat();
void logDevPort();
void logCroEvt(int event);

// Notices.
void seeWarnHint();
void seeNoSupport(int flag);
void seeEditMode();
void seeAborted();
void seeSnsOff();
void seeNotCal();
void seeReCal();
void chkReCal();
void seeEditHint();
void seeNoPort();
void seeNoCro();
void seeOnlyKT4();
void seeLinkErr();

} // namespace vt
