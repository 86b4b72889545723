// The link state of the command engine: the record that every exchange with
// the chronograph leaves its outcome in, and the reply buffer it searches.
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

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
    QString rxRecent;          // the reply buffer, appended by the receive engine ...
    bool rxRecentOn = false;   // ... while this is set
};
inline CroLink CroLnk;

// Result codes of an exchange: 1 to 5 are answers, these are failures.
constexpr int16_t croQuietGap = 100;   // nothing more came for the quiet gap
constexpr int16_t croWholeTime = 101;  // the whole answer took too long
constexpr int16_t croLongOp = 102;     // the long-operation limit ran out
constexpr int16_t croDumpStall = 103;  // dump lines stopped coming

} // namespace vt
