// The live link of the Capture sheet.
#include "export/modExpLnk.h"

#include "chrono/modCroCox.h"
#include "chrono/modCroOps.h"
#include "chrono/modCroTmr.h"
#include "export/frmExpSet.h"
#include "export/modExpExc.h"
#include "export/modExpRdr.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "serial/modRxEngine.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

#include <QCheckBox>

#include <algorithm>

namespace vt {

using namespace vt::xl;

namespace {

constexpr int16_t kSource = 2;  // the link's rows are tagged "CAP"
constexpr int16_t kCapture = 5; // sheet type of the Capture sheet

bool bookReady() { return !xlOpening && xlBookOk; }

SheetPtr captureSheet() { return spreadsheetApp()->Workbooks(1)->Worksheets(XlSes.xlSheetName[kCapture - 1]); }

// Points the row writers at the Capture sheet of workbook 1 for as long as it
// lives, whatever sheet the user has brought to the front. Without that sheet
// nothing is written: rows never go to another sheet in its place.
class CaptureTarget {
public:
    CaptureTarget()
    {
        trapErrors([this] { sheet_ = captureSheet(); });
        Err.Clear();
        xlWriteSheet = sheet_;
    }
    ~CaptureTarget() { xlWriteSheet.reset(); }
    CaptureTarget(const CaptureTarget &) = delete;
    CaptureTarget &operator=(const CaptureTarget &) = delete;
    explicit operator bool() const { return sheet_ != nullptr; }
    const SheetPtr &sheet() const { return sheet_; }

private:
    SheetPtr sheet_;
};

// Shows the row the link writes next, when the Capture sheet is the one the
// user looks at; another sheet in front keeps its own selection.
void showNextRow(const SheetPtr &capture)
{
    trapErrors([&] {
        if (!capture || spreadsheetApp()->ActiveSheet()->Name() != capture->Name())
            return;
        const int32_t row = std::min<int32_t>(XlSes.xlLastRow[kCapture - 1], MaxRows);
        capture->Cells(int(row), 1)->Activate();
    });
    Err.Clear();
}

// The link's state in cell A2 of the Capture sheet.
void putLinkMark(const QString &text, int colorIndex)
{
    ResumeNext on;
    RangePtr a2;
    on([&] { a2 = captureSheet()->Range(QStringLiteral("A2")); });
    on([&] { a2->setValue(text); });
    on([&] { a2->Font()->setColorIndex(colorIndex); });
    on([&] { a2->Font()->setSize(11); });
    Err.Clear();
}

void setCaptureBox(bool on)
{
    if (frmExpSet::isLoaded() && frmExpSet::instance()->chkExcCapture[0])
        frmExpSet::instance()->chkExcCapture[0]->setChecked(on);
}

// Hands every waiting line to addXlShot, oldest first.
void drainQueue()
{
    tmrExcRtc_Timer();
}

// Calibrates inside the busy lock: the question has been answered already.
void calibrate()
{
    CroTaskGuard task;
    if (task.refused())
        return;
    croOpAborted = false;
    croAbortReq = false;
    doCalib(1);
}

QString unlinkText()
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Excel can not be Unlinked while Chronograph") + crlf
           + QStringLiteral("sensors are still on, this may cause loss of data.") + crlf
           + QStringLiteral("You must first turn sensors off - click on <Stop>.") + crlf + crlf
           + QStringLiteral("Do you want to Unlink Excel anyway.?");
}

} // namespace

void togXlLink(int16_t &mode)
{
    if (mode == 1) {
        lnkXlOn();
        if (!bookReady())
            return;
        if (ShowWarnKT && (!CroSta.croSnsOn || !CroSta.croStaOk)) {
            if (nbrNotes().askMsgNote(5, 0) == vbYes)
                calibrate();
        }
        updAllSta();
        return;
    }
    if (!bookReady())
        return;
    // The sensors as the unit last said (a status read, "Sens=OFF", shots
    // arriving), also when the rest of the status is no longer held.
    if (RxRoute[2] && CroSta.croSnsOn) {
        const int answer = MsgBox(unlinkText(), vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground);
        if (answer != vbYes)
            return;
    }
    lnkXlOff();
    updAllSta();
}

void lnkXlOn()
{
    trapErrors([] { expExcel(4, kSource, kCapture, 5); });
    Err.Clear();
    if (!bookReady())
        return;
    // Linked again: the lines still waiting belong to the import that ends here.
    if (xlLinked)
        drainQueue();

    rstShotRec();
    // A first line that carries no units ("#") keeps those of the reset.
    CapExportRec &c = CapExport;
    if (c.capVelUnit.isEmpty())
        c.capVelUnit = CroSta.croVelUnits;
    if (c.capTimUnit.isEmpty())
        c.capTimUnit = CroSta.croTimUnits;
    if (c.capTmpUnit.isEmpty())
        c.capTmpUnit = CroSta.croTmpUnits;
    {
        CaptureTarget target;
        if (target)
            trapErrors([] { putXlSource(kSource, kCapture); });
        Err.Clear();
    }

    if (frmMDI *mdi = frmMDI::instance())
        mdi->setWindowState(mdi->windowState() | Qt::WindowMinimized);

    // The queue and the line table start afresh. The line under way is kept,
    // at the table's first entry: it goes on growing there.
    c.excQueue.clear();
    c.excQueTot = c.excBurstCnt = c.excQueCnt = c.excQueOvf = 0;
    RxLogRec &r = RxLogMain;
    const QString underWay = r.rxLines[r.rxLineIdx];
    zapRxLines();
    r.rxLines[0] = underWay;

    excRtcOn = true;
    xlLinked = true;
    setCaptureBox(true);

    LinkTimers &t = lnkTmr();
    t.tmrExcRtc.setInterval(100);
    t.tmrExcRtc.setEnabled(true);
    t.tmrExcEnd.setEnabled(false);
    t.tmrExcEnd.setInterval(250);
    t.tmrExcEnd.Tag = QStringLiteral("1");

    putLinkMark(QStringLiteral("Link On"), 10);
    SheetPtr capture;
    trapErrors([&] { capture = captureSheet(); });
    Err.Clear();
    showNextRow(capture);
}

void lnkXlOff()
{
    if (!bookReady())
        return;
    excRtcOn = false;
    xlLinked = false;
    setCaptureBox(false);

    LinkTimers &t = lnkTmr();
    t.tmrExcRtc.setEnabled(false);
    t.tmrExcEnd.setEnabled(false);
    t.tmrExcEnd.Tag = QStringLiteral("1");

    // Every captured line is written before the End row closes the import.
    drainQueue();
    {
        CaptureTarget target;
        if (target)
            trapErrors([] { putXlEnd(kSource, kCapture); });
        Err.Clear();
    }
    putLinkMark(QStringLiteral("Link Off"), 3);
}

void addXlShot()
{
    if (!bookReady())
        return;
    CapExportRec &c = CapExport;
    prsCapLine();
    cpyShotRec();

    CaptureTarget target;
    if (!target)
        return;
    ResumeNext on;
    if (c.capBlkPend) {
        XlSes.xlLastRow[kCapture - 1] += 1;
        on([] { putXlBegin(kSource, kCapture); });
        c.capBlkPend = false;
    }
    if (!c.capShotOk) {
        if (c.capNewBlk)
            c.capBlkPend = true;
        c.capNewBlk = false;
    } else {
        on([] { putXlShot(kSource, kCapture); });
    }
    Err.Clear();
    showNextRow(target.sheet());
}

ExportNbr::LinkTarget xlLinkTarget()
{
    ExportNbr::LinkTarget t;
    t.sheet = XlSes.xlSheetName[kCapture - 1];
    t.row = XlSes.xlLastRow[kCapture - 1];
    if (bookReady())
        trapErrors([&] { t.book = spreadsheetApp()->Workbooks(1)->Name(); });
    Err.Clear();
    return t;
}

} // namespace vt
