#include "chrono/modCroProt.h"

#include <array>

namespace vt {

namespace {

// How a text ends an answer or moves it on.
enum class How : uint8_t {
    Contains, // the text anywhere after the start of the stage
    LastChar, // the last character received is this one
};

struct ReplyText {
    int16_t cls;
    int16_t stage;
    const char *text;
    How how;
    int16_t code;    // final result code, 0 for a stage text
    int16_t next;    // stage a stage text moves to
    int16_t prmKind;
    int16_t menLev;
    CroSensors sensors;
    bool powerOn;
};

constexpr auto U = CroSensors::Unchanged;
constexpr auto ARM = CroSensors::Armed;
constexpr auto C = How::Contains;
constexpr auto L = How::LastChar;

// Every class's texts, per stage in the order they are tested.
constexpr std::array kReplyTexts = {
    // control "M": enter / select
    ReplyText{clsEnter, 0, "\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsEnter, 0, "\r\nSTS>", C, 2, 0, 2, 0, U, false},
    ReplyText{clsEnter, 0, "MEN><DAT>", C, 3, 0, 0, 1, U, false},
    ReplyText{clsEnter, 0, "MEN><STS>", C, 4, 0, 0, 2, U, false},
    // control arrows and page keys: a prompt, or a menu cell ended by "?"
    ReplyText{clsMove, 0, "\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsMove, 0, "\r\nSTS>", C, 2, 0, 2, 0, U, false},
    ReplyText{clsMove, 0, "\r\nMEN><DAT> ", C, 0, 3, 0, 0, U, false},
    ReplyText{clsMove, 0, "\r\nMEN><STS> ", C, 0, 4, 0, 0, U, false},
    ReplyText{clsMove, 3, "?", L, 3, 0, 0, 1, U, false},
    ReplyText{clsMove, 4, "?", L, 4, 0, 0, 2, U, false},
    // control delete and undelete keys
    ReplyText{clsDelete, 0, "\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsDelete, 0, "\r\nSTS>", C, 2, 0, 2, 0, U, false},
    // ESC and every other key
    ReplyText{clsEscape, 0, "<End>\r\nDAT>", C, 1, 0, 1, 0, ARM, false},
    ReplyText{clsEscape, 0, "<End>\r\nSTS>", C, 2, 0, 2, 0, ARM, false},
    ReplyText{clsEscape, 0, "<End> CAP=OFF\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsEscape, 0, "<End> CAP=OFF\r\nSTS>", C, 2, 0, 2, 0, U, false},
    ReplyText{clsEscape, 0, "<End>\r\nMEN><DAT>", C, 0, 1, 0, 0, U, false},
    ReplyText{clsEscape, 0, "<End>\r\nMEN><STS> ", C, 0, 2, 0, 0, U, false},
    ReplyText{clsEscape, 0, "Power ON", C, 0, 3, 0, 0, U, true},
    ReplyText{clsEscape, 1, "?", L, 3, 0, 0, 1, U, false},
    ReplyText{clsEscape, 2, "?", L, 4, 0, 0, 2, U, false},
    ReplyText{clsEscape, 3, "\r\nMEN><DAT> 00?", C, 5, 0, 0, 1, U, false},
    // "1", "2": a dump, closed by its last end line and the data prompt
    ReplyText{clsDump, 0, "MMR:<End>\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsDump, 0, "MMR:<End> CAP=OFF\r\nDAT>", C, 2, 0, 1, 0, U, false},
    // "3": the whole eDisk; only the end after the last folder counts
    ReplyText{clsDiskDump, 0, "MMR:<End> Fol=10 Str=", C, 0, 1, 0, 0, U, false},
    ReplyText{clsDiskDump, 1, "MMR:<End>\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsDiskDump, 1, "MMR:<End> CAP=OFF\r\nDAT>", C, 2, 0, 1, 0, U, false},
    // "D", "S", "T", "U"
    ReplyText{clsSide, 0, "\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsSide, 0, "\r\nSTS>", C, 2, 0, 2, 0, U, false},
    // "Q": identification, the ready line, then the prompt
    ReplyText{clsStatus, 0, nullptr, C, 0, 1, 0, 0, U, false}, // croIdText
    ReplyText{clsStatus, 1, "Ready\r\n", C, 0, 2, 0, 0, U, false},
    ReplyText{clsStatus, 1, "Ready CAP=OFF\r\n", C, 0, 2, 0, 0, U, false},
    ReplyText{clsStatus, 2, "\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsStatus, 2, "\r\nSTS>", C, 2, 0, 2, 0, U, false},
    // "Z": the sensor report
    ReplyText{clsSensors, 0, "SLev=", C, 0, 1, 0, 0, U, false},
    ReplyText{clsSensors, 1, "Arc=", C, 0, 2, 0, 0, U, false},
    ReplyText{clsSensors, 2, "Sens=OFF", C, 0, 3, 0, 0, U, false},
    ReplyText{clsSensors, 3, "\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsSensors, 3, "\r\nSTS>", C, 2, 0, 2, 0, U, false},
    ReplyText{clsSensors, 3, "\r\nMEN><DAT> 00?", C, 3, 0, 0, 1, U, false},
    ReplyText{clsSensors, 3, "\r\nMEN><STS> 00?", C, 4, 0, 0, 2, U, false},
    // plain "M": the menu of the current side
    ReplyText{clsMenu, 0, "MEN><DAT> ", C, 0, 1, 0, 0, U, false},
    ReplyText{clsMenu, 0, "MEN><STS> ", C, 0, 2, 0, 0, U, false},
    ReplyText{clsMenu, 1, "?", L, 1, 0, 0, 1, U, false},
    ReplyText{clsMenu, 2, "?", L, 2, 0, 0, 2, U, false},
    // single-action keys
    ReplyText{clsAction, 0, "\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsAction, 0, "\r\nSTS>", C, 2, 0, 2, 0, U, false},
    // power down: no prompt follows
    ReplyText{clsPower, 0, "SYS:", C, 0, 1, 0, 0, U, false},
    ReplyText{clsPower, 1, " Power OFF", C, 1, 0, 0, 0, U, false},
    // calibrate
    ReplyText{clsCalib, 0, "\r\nCAL:", C, 0, 1, 0, 0, U, false},
    ReplyText{clsCalib, 1, "\r\nDAT>", C, 1, 0, 1, 0, U, false},
    ReplyText{clsCalib, 1, "\r\nSTS>", C, 2, 0, 2, 0, U, false},
    ReplyText{clsCalib, 1, "\r\nMEN><DAT> 00?", C, 3, 0, 0, 1, U, false},
};

QString textOf(const ReplyText &t)
{
    return t.text ? QString::fromLatin1(t.text) : croIdText;
}

bool knownClass(int16_t cls)
{
    for (const auto &t : kReplyTexts)
        if (t.cls == cls)
            return true;
    return false;
}

// Whether the stage was reached through a text that reports power-on.
bool stagePowersOn(int16_t cls, int16_t stage)
{
    for (const auto &t : kReplyTexts)
        if (t.cls == cls && t.code == 0 && t.next == stage && t.powerOn)
            return true;
    return false;
}

// One scan through the stages from `stage`. A stage's texts are searched from
// where the text that opened it begins (a line end may belong to both), a last
// character must come after that text. Fills r with the stage reached and,
// when complete, the result.
void scanFrom(int16_t cls, const QString &text, int16_t stage, CroReply &r)
{
    qsizetype from = 0, after = 0;
    r.stage = stage;
    for (bool moved = true; moved;) {
        moved = false;
        for (const auto &t : kReplyTexts) {
            if (t.cls != cls || t.stage != r.stage)
                continue;
            const QString want = textOf(t);
            qsizetype at = -1;
            if (t.how == How::LastChar) {
                if (text.size() > after && text.endsWith(want))
                    at = text.size() - want.size();
            } else {
                at = text.indexOf(want, from);
            }
            if (at < 0)
                continue;
            if (t.code > 0) {
                r.code = t.code;
                r.prmKind = t.prmKind;
                r.menLev = t.menLev;
                if (t.sensors != CroSensors::Unchanged)
                    r.sensors = t.sensors;
                return;
            }
            r.stage = t.next;
            r.powerOn = r.powerOn || t.powerOn;
            from = at;
            after = at + want.size();
            moved = true;
            break;
        }
    }
}

} // namespace

QChar croCtrlCode(QChar letter)
{
    return QChar(char16_t(letter.unicode() & 0xBF));
}

QChar croWireChar(bool ctrl, QChar key)
{
    return ctrl ? croCtrlCode(key) : key;
}

int16_t croReplyClass(bool ctrl, QChar key)
{
    const char16_t k = key.unicode();
    if (ctrl) {
        switch (k) {
        case u'M': return clsEnter;
        case u'U': case u'D': case u'L': case u'R': case u'O': case u'K': return clsMove;
        case u'^': case u'\\': case u'_': case u']': case u'A': case u'B': return clsDelete;
        default: return clsEscape;
        }
    }
    switch (k) {
    case u'1': case u'2': return clsDump;
    case u'3': return clsDiskDump;
    case u'D': case u'S': case u'T': case u'U': return clsSide;
    case u'Q': return clsStatus;
    case u'Z': return clsSensors;
    case u'M': return clsMenu;
    case u'A': case u'F': case u'W': case u'J': case u'K': case u'L': return clsAction;
    case u'P': case u'9': return clsPower;
    case u'C': return clsCalib;
    default: return clsEscape;
    }
}

CroKeyTimes croKeyTimes(bool ctrl, QChar key, int gapMs)
{
    // Keys whose answer is longer than the default's. A fixed gap is the
    // key's own and wins over the caller's.
    struct KeyRow {
        char16_t key;
        bool fixedGap;
        CroKeyTimes times;
    };
    static const KeyRow rows[] = {
        {u'1', false, {.wholeMs = 4000, .dumpWatch = true}},
        {u'2', false, {.wholeMs = 6000, .longOp = true, .dumpWatch = true}},
        {u'3', true, {.gapMs = 250, .wholeMs = 10000, .longOp = true, .gPeriodSec = 90, .dumpWatch = true}},
        {u'C', true, {.gapMs = 5000, .wholeMs = 10000, .longOp = true, .gPeriodSec = 90, .keySent = true}},
    };
    CroKeyTimes t;
    bool fixedGap = false;
    if (!ctrl)
        for (const KeyRow &row : rows)
            if (row.key == key.unicode()) {
                t = row.times;
                fixedGap = row.fixedGap;
                break;
            }
    if (gapMs > 0 && !fixedGap)
        t.gapMs = gapMs;
    return t;
}

QString croLineEnds(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8 + 2);
    for (const QChar c : text) {
        if (c == u'\n')
            continue;
        out += c;
        if (c == u'\r')
            out += u'\n';
    }
    return out;
}

CroReply croTestReply(int16_t cls, const QString &received, int16_t knownStage)
{
    CroReply r;
    r.stage = knownStage;
    const QString text = croLineEnds(received);
    // "CAP=OFF" anywhere, whatever the class, means the sensors are off.
    const bool capOff = text.contains(QLatin1String("CAP=OFF"));
    if (capOff)
        r.sensors = CroSensors::Disarmed;
    if (text.isEmpty() || text.endsWith(u' ') || !knownClass(cls))
        return r;
    r.tested = true;
    scanFrom(cls, text, 0, r);
    if (r.code == 0 && r.stage < knownStage) {
        // The reply buffer lost its head: go on from the stage reached before.
        CroReply again;
        again.tested = true;
        again.powerOn = stagePowersOn(cls, knownStage);
        scanFrom(cls, text, knownStage, again);
        r = again;
    }
    if (capOff)
        r.sensors = CroSensors::Disarmed;
    return r;
}

bool croReplyFails(int code, int expect, int prmKind, int menLev)
{
    if (code > 9)
        return true;
    if (expect <= 0)
        return false;
    const int wantPrm = expect < 10 ? expect : 0;
    const int wantMen = expect < 10 ? 0 : expect - 10;
    return prmKind != wantPrm || menLev != wantMen;
}

} // namespace vt
