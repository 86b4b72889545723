#include "chrono/modCroDnl.h"

#include "chrono/modCroLnk.h"
#include "chrono/modCroStatus.h"
#include "platform/msgbox.h"
#include "shell/modNeighbours.h"
#include "shell/modStatus.h"

namespace vt {

namespace {

// ESC leaves any menu; "Z" switches the sensors off and reports them.
bool sensorsOff()
{
    sndCroKey(1, QStringLiteral("["), 0, 0);
    if (CroLnk.croErr)
        return false;
    sndCroKey(0, QStringLiteral("Z"), 0, 0);
    return !CroLnk.croErr && CroLnk.rxRecent.contains(QLatin1String("Sens=OFF"));
}

} // namespace

// The terminal is not trimmed while a task or the dump watch runs; should its
// head have been cut all the same, the dump is not whole and the download fails.
bool croDumpKey(int16_t kind)
{
    croDump.clear();
    SerialNbr &term = nbrSerial();
    const int64_t from = term.termCut() + term.termText().size();
    sndCroKey(0, QString::number(kind), 1, 0);
    if (CroLnk.croErr)
        return false;
    const QString text = term.termText();
    const int64_t start = from - term.termCut();
    if (start < 0 || start > text.size())
        return false;
    croDump = text.mid(qsizetype(start));
    return true;
}

int16_t getCroShots(int16_t kind)
{
    croDump.clear();
    RxRoute[1] = false; // the dump must not go into the active CFile
    int16_t result = 0;
    if (kind < 1 || kind > 3)
        result = 2;
    else if (!sensorsOff())
        result = 1;
    // The dump's lines carry the units that the status gives: the status
    // now, so that they are the unit's current ones.
    else if (getCroStatus(), !CroSta.croStaOk)
        result = 2;
    else if (!croDumpKey(kind))
        result = 2;
    if (result > 0) {
        croDump.clear();
        MsgBox(QStringLiteral("Err(") + QString::number(result) + QStringLiteral(") - Failed to retrieve shots from KT4...!"),
               vbOKOnly | vbExclamation | vbSystemModal | vbMsgBoxSetForeground);
    }
    updAllSta();
    return result;
}

} // namespace vt
