#include "shell/modPrgrs.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "shell/frmGPrgrs.h"
#include "shell/modApi.h"
#include "shell/modNeighbours.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <cmath>

namespace vt {

namespace {

void resetBar(QProgressBar *bar)
{
    bar->setRange(0, 100);
    bar->setValue(0);
}

} // namespace

QString prgrsText(float percent)
{
    return Format(double(percent), QStringLiteral("##0.0")) + u'%';
}

int prgrsBarValue(float percent)
{
    if (!std::isfinite(percent))
        return 0;
    return std::clamp(int(std::nearbyint(double(percent))), 0, 100);
}

void seeGPrgrs(int16_t mode)
{
    switch (mode) {
    case 1:
    case 3:
    case 9: {
        frmGPrgrs *w = frmGPrgrs::get();
        w->show();
        setOnTop(w);
        w->raise();
        w->repaint();
        break;
    }
    case 0:
    case 2:
        if (frmGPrgrs::isLoaded())
            frmGPrgrs::instance()->unload();
        break;
    default:
        break;
    }
}

void setBusyPrgrs(int16_t flag)
{
    if (flag != 0) {
        seeGPrgrs(3);
        BusyPrgrs = true;
    } else {
        BusyPrgrs = false;
        seeGPrgrs(0);
    }
}

void setPrgrsRange(double first, double last)
{
    const int32_t beg = CLng(first);
    const int32_t end = CLng(last);
    PrgrsState.PrgrsCur = beg;
    PrgrsState.PrgrsBeg = beg;
    PrgrsState.PrgrsEnd = end;
    nbrRemote().resetPrgrsBar();
    if (frmGPrgrs::isLoaded())
        resetBar(frmGPrgrs::instance()->prgRemCtr);
}

void setPrgrsCaption(const QString &text)
{
    frmGPrgrs::get()->labPrgrs->setText(text);
}

void setPrgrsMode(int16_t mode)
{
    PrgrsState.PrgrsOn = (mode == 1);
}

void stepPrgrs()
{
    // Reached from every received piece of text and every cycle tick: it
    // must never raise into the receive engine or a timer.
    try {
        PrgrsStateRec &p = PrgrsState;
        if (p.PrgrsCur < p.PrgrsEnd)
            ++p.PrgrsCur;
        if (p.PrgrsCur > p.PrgrsEnd)
            p.PrgrsCur = p.PrgrsEnd;
        // A run whose first and last step are one has no share to show: the
        // displays keep what they show.
        if (p.PrgrsEnd == p.PrgrsBeg)
            return;
        // In double, so that no difference of two Longs can overflow.
        const float percent = float((double(p.PrgrsCur) - double(p.PrgrsBeg)) * 100.0
                                    / (double(p.PrgrsEnd) - double(p.PrgrsBeg)));
        const int bar = prgrsBarValue(percent);
        const QString text = prgrsText(percent);
        // The remote panel's display failing leaves the progress window's.
        try {
            nbrRemote().showPrgrs(bar, text);
        } catch (...) {
            // Rethrown inside guarded(): made the pending error and reported.
            guarded(QStringLiteral("modPrgrs\\stepPrgrs(1)"), [] { throw; });
        }
        if (frmGPrgrs::isLoaded()) {
            frmGPrgrs *w = frmGPrgrs::instance();
            w->prgRemCtr->setValue(bar);
            w->labPrgrsVal->setText(text);
        }
    } catch (...) {
        // Rethrown inside guarded(): made the pending error and reported.
        guarded(QStringLiteral("modPrgrs\\stepPrgrs"), [] { throw; });
    }
}

void endPrgrs()
{
    PrgrsState.PrgrsCancel = false;
    seeGPrgrs(0);
}

void clrPrgrsCancel()
{
    PrgrsState.PrgrsCancel = false;
}

void setPCycle(int16_t mode)
{
    if (mode == 1) {
        nbrRemote().setPCycleTag(QStringLiteral("0"));
        PrgrsState.PrgrsCancel = true;
        PrgrsState.PCycleCnt = 0;
    } else {
        nbrRemote().setPCycleTag(QStringLiteral("1"));
        PrgrsState.PrgrsCancel = false;
    }
}

void setTaskMode(int16_t mode)
{
    if (mode == 2) {
        cmdRxToCFile = true;
        BusyPrgrs = false;
    } else if (mode == 4) {
        cmdRxToCFile = false;
        BusyPrgrs = true;
    }
}

} // namespace vt
