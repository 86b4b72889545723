// The probe exchange and the port handover: talking to a chronograph on the
// terminal window's second serial control (the probe, MSComm2) while the
// link control (MSComm1) keeps or lends its port, and the small services
// that write raw characters to the link and keep its wait settings.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// PortOpen of MSComm1 (0) and MSComm2 (1) as last read by getPortStates; the
// port numbers are ComPort (shell/modNeighbours.h).
inline bool ComOpen[2] = {false, false};
// The error number of the probe's last open attempt (0: it opened).
inline int ComErr = 0;

// The wait settings of the link: total wait for a reply (ms), number of
// polls, poll step (ms), and a saved copy of the three.
inline int32_t croWaitTot = 2000;
inline int16_t croPollCnt = 10;
inline int16_t croPollStep = 200;

// Codes of croWaitMen beyond the prompts 1 to 4.
constexpr int16_t probeQuietGap = 100;  // the line was quiet for the gap
constexpr int16_t probeWholeTime = 101; // the whole exchange ran out of time
// The whole of one probe exchange, the wait for the last one's tail included.
constexpr int kProbeWholeMs = 1000;

// The probe timers (terminal window's tmrCom2Sho and tmrCom2Lng).
void strCom2Wait(int gapMs, int wholeMs); // probe buffer cleared and on, both timers run
void stpCom2Wait();                       // both stopped, buffer off

// Sends text on the probe control and waits for a prompt that stands at the
// start of a line (after CR, LF or CR LF): 1 "DAT>", 2 "STS>", 3 the data
// menu at 00, 4 the statistics menu at 00 (the first of these found, in this
// order); 100 when the line was quiet for gapMs, 101 when the exchange took
// kProbeWholeMs in all. Writing to a closed probe raises the control's error.
int16_t croWaitMen(const QString &text, int gapMs);

// Reads open flag and port number of both controls into ComOpen and ComPort.
void getPortStates();
// Opens the probe on the port at "4800,n,8,1"; the link is closed first when
// it holds that port, the probe when it is open on another one. The open's
// error number goes to ComErr; nothing is raised.
void opnCroPort(int16_t port);
// Closes the probe and opens the link again when it was open before the probe
// borrowed the port (ComOpen[0] of the last getPortStates).
void rstTermPort();
// Closes and reopens the link; true when both went without error.
bool rstComPort();
// Writes one character to the link without waiting; with ctrl 1 the code
// becomes its control character (bit 6 cleared, in the caller's variable
// too). A closed link is reported and nothing is sent.
void sndKeyCode(int16_t &code, int16_t ctrl);
// Writes a text to the link (the first character as a control character with
// ctrl 1) and waits only until the line has been quiet for 100 ms, at most a
// second; no reply is checked.
void sndCroStr(const QString &text, int16_t ctrl);
// 0 saves the wait settings, 1 restores them, 2 sets the long wait.
void setCroWait(int16_t mode);
// Loads the wait value from the remote panel's setting: 2000 stays, any other
// value becomes 16000; step 200 ms; polls = wait / step.
void setCroTmOut();
// The same from a given text (a comma in it is ignored).
void setCroTmOut(const QString &boxText);

} // namespace vt
