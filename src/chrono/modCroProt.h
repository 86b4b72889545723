// The chronograph's wire protocol as the program speaks it: which character a
// key goes out as, which reply class a key expects, the texts that end each
// class's answer, and the time limits of each key. The command engine reads
// these tables; croTestReply decides, from the text received so far, whether
// an answer is complete.
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

namespace vt {

// The 11 characters at the head of the status answer (they carry the maker's
// name); the status answer is recognised by this fixed text.
inline const QString croIdText = QStringLiteral("PULSIDAR CO");

// Reply classes.
enum CroClass : int16_t {
    clsDump = 0,      // "1", "2"
    clsDiskDump = 1,  // "3"
    clsSide = 11,     // "D", "S", "T", "U"
    clsStatus = 12,   // "Q"
    clsSensors = 13,  // "Z"
    clsMenu = 20,     // plain "M"
    clsAction = 30,   // "A", "F", "W", "J", "K", "L"
    clsPower = 40,    // "P", "9"
    clsCalib = 50,    // "C"
    clsEnter = 70,    // control "M"
    clsMove = 80,     // control "U" "D" "L" "R" "O" "K"
    clsDelete = 81,   // control "^" "\" "_" "]" "A" "B"
    clsEscape = 90,   // control "[" and every key not listed
};

// A control key goes out as the letter's code with bit 6 cleared (AND &HBF).
QChar croCtrlCode(QChar letter);
// The character that goes on the wire for a key.
QChar croWireChar(bool ctrl, QChar key);
// The reply class that answers a key.
int16_t croReplyClass(bool ctrl, QChar key);

// Time settings of one exchange.
struct CroKeyTimes {
    int gapMs = 250;        // quiet gap: the line has been silent this long
    int wholeMs = 2000;     // the whole answer must come within this
    bool longOp = false;    // the long-operation limit runs (and replaces wholeMs)
    int16_t gPeriodSec = 60; // seconds of the long-operation limit
    bool dumpWatch = false; // dump lines must keep coming ("MMR:" every 500 ms)
    bool keySent = false;   // the calibration key
};
// gapMs 0 or less keeps the default quiet gap.
CroKeyTimes croKeyTimes(bool ctrl, QChar key, int gapMs);

// What the sensors-armed flag learns from an answer.
enum class CroSensors { Unchanged, Armed, Disarmed };

// The state of an answer as far as it has come.
struct CroReply {
    bool tested = false;    // false: nothing received, or the text ends in a blank (unfinished)
    int16_t code = 0;       // 0 not complete; 1 to 5 the answer's result code
    int16_t stage = 0;      // stage the answer has reached
    int16_t prmKind = 0;    // 1 data prompt, 2 statistics prompt
    int16_t menLev = 0;     // 1 data menu, 2 statistics menu
    CroSensors sensors = CroSensors::Unchanged;
    bool powerOn = false;   // "Power ON": the unit has just been switched on
};

// Tests the text received since the key went out against the class's endings.
// Line ends are taken as the terminal shows them (CR LF, LF CR or a lone CR
// all count as one line end). Stages are searched in order: a stage's texts
// only count from where the text that opened the stage begins. knownStage is
// the stage an earlier pass reached; it holds even when the reply buffer has
// since dropped the text that opened it.
CroReply croTestReply(int16_t cls, const QString &text, int16_t knownStage = 0);
inline CroReply croTestKeyReply(bool ctrl, QChar key, const QString &text)
{
    return croTestReply(croReplyClass(ctrl, key), text);
}

// The text as the line ends reach the terminal: line feeds dropped, every
// carriage return followed by one line feed.
QString croLineEnds(const QString &text);

// The failure flag of an exchange: a failure code (above 9), or an answer of
// another kind than expected (expect below 10: prompt kind; 10 and above:
// menu side expect - 10; 0: no check).
bool croReplyFails(int code, int expect, int prmKind, int menLev);

} // namespace vt
