// The link state of the command engine: the record that every exchange with
// the chronograph leaves its outcome in, and the reply buffer it searches.
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <functional>

namespace vt {

struct CroLink {
    bool croErr = false;       // the last exchange failed
    QChar croCurKey = u' ';    // the key last given (before the control conversion)
    int16_t croRplCode = 0;    // the code reached so far inside the current wait
    int16_t croLinkErr = 0;    // the final result code of the last exchange
    bool croBusy = false;      // an exchange runs
    bool croNoWait = false;    // end the wait after the current pass
    bool croKeySent = false;   // the calibration key went out
    int16_t gPeriodSec = 60;   // seconds of the long-operation limit
    int16_t croPrmKind = 0;    // prompt seen: 0 none, 1 data, 2 statistics
    int16_t croMenLev = 0;     // menu side seen: 0 none, 1 data, 2 statistics
    // The menu cell the unit stands on, coded 100 * side + 10 * column + row,
    // and its position text as the last menu prompt gave it ("D03?": side
    // letter, column, row, "?"). Cleared by every answer that is not a menu.
    int16_t croMenVal = 0;
    QString croMenPos;
    QString rxRecent;          // the reply buffer, appended by the receive engine ...
    bool rxRecentOn = false;   // ... while this is set
};
inline CroLink CroLnk;

// Result codes of an exchange: 1 to 5 are answers, these are failures.
constexpr int16_t croQuietGap = 100;   // nothing more came for the quiet gap
constexpr int16_t croWholeTime = 101;  // the whole answer took too long
constexpr int16_t croLongOp = 102;     // the long-operation limit ran out
constexpr int16_t croDumpStall = 103;  // dump lines stopped coming
// The user aborted the running task (the busy lock's abortTask) while the
// exchange waited: the exchange ends at once as a failure.
constexpr int16_t croUserAbort = 104;

struct CroKeyTimes;

// Sends one key and waits for the answer its reply class expects. ctrlFlag
// non-zero sends the key as a control character; expect 0 checks nothing, 1
// or 2 the prompt kind, 11 or 12 the menu side; gapMs 0 or less keeps the
// default quiet gap of 250 ms. The outcome is left in CroLnk (croLinkErr,
// croErr, croPrmKind, croMenLev) and the status record (croOnLine, croSnsOn,
// croPwrOn). Every wait in it is bounded, also when the line never goes
// quiet, and ends when the user aborts the task.
void sndCroKey(int ctrlFlag, const QString &key, int expect, int gapMs);

// Puts the engine's flags at their start values (croNoWait, croKeySent, busy,
// the menu cell).
void zapCroLink();

// For tests only: adjusts the time settings of every exchange (whole-answer
// time, long-operation seconds) so that slow cases run in a short time. The
// program never sets it.
inline std::function<void(CroKeyTimes &)> croTimesHook;

} // namespace vt
