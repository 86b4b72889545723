#include "chrono/modCroMenu.h"

#include "chrono/modCroLnk.h"
#include "chrono/modCroProt.h"
#include "shell/modNeighbours.h"

#include <cstdlib>

namespace vt {

namespace {

// A six by six menu needs at most ten moves; a cursor that has not arrived
// after this many never will.
constexpr int kMaxMoves = 24;
// An ON/OFF cell reads as asked after one toggle; a second is allowed for a
// cell that shows an unconfirmed value first.
constexpr int kMaxToggles = 2;

bool fail()
{
    CroLnk.croErr = true;
    CroLnk.croMenVal = 0;
    CroLnk.croMenPos.clear();
    return false;
}

int16_t cellOf(int side, int column, int row) { return int16_t(100 * side + 10 * column + row); }

QString sideKey(int side) { return side == 2 ? QStringLiteral("S") : QStringLiteral("D"); }

// One menu key; true when the unit answered with a prompt of that side's menu.
bool menuKey(const char *key, int side)
{
    sndCroKey(1, QString::fromLatin1(key), 10 + side, 0);
    return !CroLnk.croErr;
}

} // namespace

int16_t getMenPos()
{
    CroLnk.croMenVal = 0;
    CroLnk.croMenPos.clear();
    const QString t = croLineEnds(CroLnk.rxRecent);
    const qsizetype dat = t.lastIndexOf(QLatin1String("MEN><DAT> "));
    const qsizetype sts = t.lastIndexOf(QLatin1String("MEN><STS> "));
    const qsizetype at = std::max(dat, sts);
    if (at < 0)
        return 0;
    const QString pos = t.mid(at + 10, 3);
    if (pos.size() != 3 || !pos[0].isDigit() || !pos[1].isDigit() || pos[2] != u'?')
        return 0;
    const int side = at == sts ? 2 : 1;
    CroLnk.croMenVal = cellOf(side, pos[0].digitValue(), pos[1].digitValue());
    CroLnk.croMenPos = (side == 2 ? QStringLiteral("S") : QStringLiteral("D")) + pos;
    return CroLnk.croMenVal;
}

QString getMenVal()
{
    const QString t = croLineEnds(CroLnk.rxRecent);
    const qsizetype at = t.lastIndexOf(QLatin1String("VAL="));
    if (at < 0)
        return {};
    const qsizetype end = t.indexOf(u'\r', at);
    if (end < 0)
        return {};
    return t.mid(at + 4, end - at - 4).trimmed();
}

bool gotoMenPos(int16_t side, int16_t column, int16_t row)
{
    if (side < 1 || side > 2 || column < 0 || column > 9 || row < 0 || row > 9)
        return fail();
    int16_t at = CroLnk.croMenVal / 100 == side ? CroLnk.croMenVal : int16_t(0);
    if (at == 0) {
        // Out of whatever the unit shows, to the side, into its menu.
        sndCroKey(0, sideKey(side), side, 0);
        if (CroLnk.croErr)
            return fail();
        sndCroKey(0, QStringLiteral("M"), 10 + side, 0);
        if (CroLnk.croErr)
            return fail();
        at = getMenPos();
        if (at / 100 != side)
            return fail();
    }
    const int16_t target = cellOf(side, column, row);
    for (int moves = 0; at != target; ++moves) {
        if (moves >= kMaxMoves)
            return fail();
        const int c = (at / 10) % 10, r = at % 10;
        const char *key = c < column ? "R" : c > column ? "L" : r < row ? "D" : "U";
        if (!menuKey(key, side))
            return fail();
        const int16_t next = getMenPos();
        // A cursor that did not move, or moved elsewhere, stands at an edge:
        // the cell does not exist on this unit.
        const int dist = std::abs(next / 10 % 10 - column) + std::abs(next % 10 - row);
        if (next / 100 != side || dist >= std::abs(c - column) + std::abs(r - row))
            return fail();
        at = next;
    }
    return true;
}

bool stpMenVal(int16_t up)
{
    const int16_t cell = CroLnk.croMenVal;
    const int side = cell / 100;
    if (side < 1 || side > 2)
        return fail();
    if (!menuKey(up != 0 ? "K" : "O", side) || getMenPos() != cell)
        return fail();
    // Confirmed, the stepped value becomes the unit's. The answer may be
    // taken before its position digits arrive; the cursor has not moved.
    if (!menuKey("M", side))
        return fail();
    CroLnk.croMenVal = cell;
    return true;
}

bool setMenOnOff(int16_t side, int16_t column, int16_t row, int16_t on)
{
    if (!gotoMenPos(side, column, row))
        return false;
    const QString want = on != 0 ? QStringLiteral("ON") : QStringLiteral("OFF");
    for (int toggles = 0;; ++toggles) {
        const QString value = getMenVal();
        if (value == want)
            break;
        if ((value != QLatin1String("ON") && value != QLatin1String("OFF")) || toggles >= kMaxToggles)
            return fail();
        if (!stpMenVal(1))
            return false;
    }
    CroSta.croStaOk = false;
    return true;
}

namespace {

// One of the mode cells of the data menu; the unit goes back to the data
// prompt, where it records shots, whether the change went through or not.
bool setModeCell(int16_t row, int16_t on, bool &flag)
{
    if (!setMenOnOff(1, 0, row, on)) {
        leaveCroMenu();
        return false;
    }
    flag = on != 0;
    sndCroKey(0, QStringLiteral("D"), 1, 0);
    if (CroLnk.croErr) {
        leaveCroMenu();
        return false;
    }
    return true;
}

// A whole answer's time: the longest a key's answer may take to come.
constexpr int kWholeAnswerMs = 2000;

} // namespace

bool leaveCroMenu()
{
    const int16_t failed = CroLnk.croLinkErr;
    sndCroKey(0, QStringLiteral("D"), 1, kWholeAnswerMs);
    if (CroLnk.croErr) {
        sndCroKey(1, QStringLiteral("["), 0, 0);
        sndCroKey(0, QStringLiteral("D"), 1, 0);
    }
    const bool back = !CroLnk.croErr;
    CroLnk.croErr = true;
    CroLnk.croLinkErr = failed;
    return back;
}

bool setSnsOnOff(int16_t on) { return setModeCell(0, on, CroSta.croSnsOn); }
bool setArcOnOff(int16_t on) { return setModeCell(1, on, CroSta.croArcOn); }
bool setRFirOnOff(int16_t on) { return setModeCell(3, on, CroSta.croRFirOn); }

} // namespace vt
