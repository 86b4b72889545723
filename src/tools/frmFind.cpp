#include "tools/frmFind.h"
#include "tools/frmFind_detail.h"

#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "platform/timers.h"
#include "shell/frmMDI.h"
#include "shell/modErrMsgs.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "tools/modFind.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace vt {

using namespace finddetail;

bool frmFind::bRepOpen() { return ws().bRepOpen; }
double frmFind::captionScale() { return textScale(); }
bool frmFind::bExtOpen() { return ws().bExtOpen; }
bool frmFind::bSpcOpen() { return ws().bSpcOpen; }

// --- load and unload -----------------------------------------------------------

void frmFind::Form_Load()
{
    WinState &w = ws();
    if (FindOpened) {
        setFormSize(kFoxWidth, w.iHgtFull);
        move(TwipsToPixels(w.lngLeft), TwipsToPixels(w.lngTop));
    } else {
        w.iHgtFull = kFoxHeight + 475;
        setFormSize(kFoxWidth, w.iHgtFull);
        w.iTopMain = kMainTop;
        w.iTopRepl = kReplTop;
        w.iHgtRepl = kReplHeight;
        getFndWinPos();
        w.lngTop = PixelsToTwips(y());
        w.lngLeft = PixelsToTwips(x());
        w.bRepOpen = w.bExtOpen = w.bSpcOpen = false;
        rstSearch(FindState);
        getRec(0);
    }
    iQAnswer = 2;
    FindOpened = true;
    rstFndButtons();
    sel2Find(0);
    fillDirections();
    hst2Usr();
    restoreControls();
    cboText[0]->setFocus();
    seeFndPanels();
    arrButtons();
}

void frmFind::fillDirections()
{
    lokEvents();
    cmbDirection->clear();
    for (const FindDirection &d : findDirections())
        cmbDirection->addItem(d.key, int(d.code));
    unlEvents();
}

void frmFind::restoreControls()
{
    FindStateRec &s = FindState;
    lokEvents();
    cmbDirection->setCurrentIndex(0);
    if (directionKey(s.Direction).isEmpty())
        s.Direction = 0;
    chkWholeWord->setChecked(s.WholeWord);
    chkMatchCase->setChecked(s.MatchCase);
    chkPatternMatch->setChecked(s.PatternMatch);
    chkBlock->setChecked(s.BlockMode);
    chkFcsTrkOff->setChecked(!s.TrackFocus);
    if (s.SheetOption >= 0 && s.SheetOption < 3)
        chkSheet[s.SheetOption]->setChecked(true);
    cboText[0]->setEditText(s.FindText);
    cboText[1]->setEditText(s.ReplaceText);
    unlEvents();
}

void frmFind::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode != vbFormControlMenu)
        return;
    if (picQBoz->isVisible()) {
        iQAnswer = 2;
        picQBoz->hide();
        cancel = 1;
    } else if (fraTxts->isVisible()) {
        fraFox->setEnabled(true);
        arrTxtFrames();
        cancel = 1;
    }
}

void frmFind::Form_Unload(int &cancel)
{
    (void)cancel;
    // A question still waiting ends with Cancel; the window leaves the main
    // window, so that it is not destroyed with it before the wait has ended.
    if (picQBoz->isVisible()) {
        iQAnswer = 2;
        picQBoz->hide();
    }
    if (waiting_ > 0)
        setParent(nullptr, windowFlags());
    ResumeNext step;
    step([this] { getFndPars(); });
    step([this] { usr2Hst(); });
    ws().lngTop = PixelsToTwips(y());
    ws().lngLeft = PixelsToTwips(x());
    if (RichTextBox *box = activeBox())
        box->setFocus();
    Err.Clear();
}

void frmFind::closeEvent(QCloseEvent *e) { handleClose(e); }

// --- histories in the settings --------------------------------------------------

void frmFind::savRec(int16_t mode)
{
    if (mode == 1 && !FindOpened)
        return;
    if (frmFind *f = instance(); f && !f->isUnloading()) {
        // The window is still open: what its boxes hold now is what is kept.
        f->usr2Hst();
        ws().lngTop = PixelsToTwips(f->y());
        ws().lngLeft = PixelsToTwips(f->x());
    }
    FindStateRec &s = FindState;
    if (!trapErrors([&] {
            SaveSetting(AppTitle, kSection, kFindHistKey, hst2Txt(s.FindText, s.FindHistory));
            SaveSetting(AppTitle, kSection, kReplHistKey, hst2Txt(s.ReplaceText, s.ReplaceHistory));
        })) {
        seeErrLoc(QStringLiteral("frmFind-hst2Txt"));
        Err.Clear();
    }
    SaveSetting(AppTitle, kSection, kTopKey, QString::number(ws().lngTop));
    SaveSetting(AppTitle, kSection, kLeftKey, QString::number(ws().lngLeft));
}

void frmFind::getRec(int16_t mode)
{
    if (mode == 1 && !FindOpened)
        return;
    FindStateRec &s = FindState;
    if (!trapErrors([&] {
            txt2Hst(GetSetting(AppTitle, kSection, kFindHistKey), s.FindText, s.FindHistory);
            txt2Hst(GetSetting(AppTitle, kSection, kReplHistKey), s.ReplaceText, s.ReplaceHistory);
        })) {
        seeErrLoc(QStringLiteral("frmFind-txt2Hst"));
        Err.Clear();
    }
}

// --- the window's handlers --------------------------------------------------------

void frmFind::cmdFind_Click()
{
    if (hasOpenCFile())
        return;
    ResumeNext step;
    step([this] {
        if (!chkFndPars())
            getFndPars();
    });
    step([this] { mexFind(0, 1); });
    step([this] {
        if (FindState.Found)
            seeFndLine();
    });
    step([] { setActDocFocus(); });
    Err.Clear();
}

void frmFind::cmdReplace_Click(int index)
{
    (void)index;
    if (hasOpenCFile())
        return;
    if (opnRepPanel())
        return;
    ResumeNext step;
    step([this] {
        if (!chkFndPars())
            getFndPars();
    });
    step([this] {
        if (doReplace(false) == 1) {
            mexReplace(1);
            if (FindState.Found)
                seeFndLine();
        } else {
            mexFind(1, 2);
        }
    });
    step([] { setActDocFocus(); });
    Err.Clear();
}

void frmFind::cmdReplaceAll_Click()
{
    if (!chkFndPars())
        getFndPars();
    if (hasOpenCFile())
        return;
    if (opnRepPanel())
        return;
    if (ShowWarn && askQText(QStringLiteral("Replace All Found Items..?"), vbYesNo) != vbYes)
        return;
    mexReplaceAll(1);
    if (RichTextBox *box = activeBox())
        box->setFocus();
    setActDocFocus();
}

void frmFind::cmdRepAtt_Click(int index)
{
    if (index == 0) {
        mexFind(0, 1);
        setActDocFocus();
        return;
    }
    if (!ws().bRepOpen) {
        ws().bRepOpen = true;
        seeFndPanels();
        return;
    }
    const QString cannot = QStringLiteral("Can not replace this text...!") + kCRLF;
    switch (doReplace(false)) {
    case 0:
        askQText(cannot + QStringLiteral("Current Cursor Location Is Invalid.") + kCRLF + QStringLiteral("It Has Been Changed."), vbOKOnly);
        break;
    case 1:
        if (doReplace(true) == 1) {
            chkHstText();
            RichTextBox *box = activeBox();
            box->SetSelStart(FindState.LastHit);
            box->SetSelLength(FindState.LastReplLen);
            box->setFocus();
        }
        break;
    default:
        askQText(cannot + QStringLiteral("It has already been replaced.") + kCRLF + QStringLiteral("Press [@] or [Find] to find next."), vbOKOnly);
        break;
    }
    setActDocFocus();
}

void frmFind::cmdCancel_Click() { unload(); }

void frmFind::cmdFndRst_Click() { askRstCFile(); }

void frmFind::askRstCFile()
{
    if (askQText(QStringLiteral("Reset CFile Search Parameters..?"), vbYesNo) != vbYes)
        return;
    rstFndButtons();
    sel2Find(1);
}

void frmFind::askRstSearch()
{
    if (askQText(QStringLiteral("Reset Search Parameters?"), vbYesNo) != vbYes)
        return;
    if (hasOpenCFile())
        return;
    getFndPars();
    rstFndButtons();
    if (RichTextBox *box = activeBox())
        box->setFocus();
}

void frmFind::clearHistory(int index)
{
    const QString question = index == 0 ? QStringLiteral("Clear Find History?") : QStringLiteral("Clear Replace History?");
    if (askQText(question, vbYesNo) == vbYes) {
        lokEvents();
        const QString text = cboText[index]->currentText();
        cboText[index]->clear();
        cboText[index]->setEditText(text);
        unlEvents();
        if (index == 0)
            FindState.FindHistPending = true;
    }
}

void frmFind::lblMore_Click(int index)
{
    WinState &w = ws();
    switch (index) {
    case 0:
    case 2:
        clearHistory(index == 0 ? 0 : 1);
        seeFndPanels();
        break;
    case 1:
    case 8:
    case 9:
        askQText(QStringLiteral("Not Activated Yet...!"), vbOKOnly);
        seeFndPanels();
        break;
    case 3:
    case 5:
        w.bRepOpen = !w.bRepOpen;
        getFndPars();
        seeFndPanels();
        break;
    case 4:
        askRstSearch();
        seeFndPanels();
        break;
    case 6:
        fraFox->setEnabled(false);
        arrTxtFrames();
        break;
    case 7:
        w.bExtOpen = !w.bExtOpen;
        seeFndPanels();
        break;
    default:
        break;
    }
}

void frmFind::lblMoreX_Click()
{
    ws().bSpcOpen = !ws().bSpcOpen;
    arrButtons();
}

void frmFind::lblFind_Click()
{
    if (hasOpenCFile())
        return;
    RichTextBox *box = activeBox();
    FindStateRec &s = FindState;
    lokEvents();
    const int length = box->SelLength();
    if (askTruncCopy(1, length, QStringLiteral("Find")) && length > 0) {
        const QString text = cut(box->SelText());
        if (text != s.FindText) {
            s.Found = false;
            s.FindText = text;
            cboText[0]->setEditText(text);
        }
    }
    unlEvents();
}

void frmFind::lblReplace_Click()
{
    if (hasOpenCFile())
        return;
    RichTextBox *box = activeBox();
    lokEvents();
    const int length = box->SelLength();
    if (askTruncCopy(1, length, QStringLiteral("Replace")) && length > 0) {
        FindState.ReplaceText = cut(box->SelText());
        cboText[1]->setEditText(FindState.ReplaceText);
    }
    unlEvents();
}

void frmFind::fraTxt_Click(int index)
{
    RichTextBox *box = activeBox();
    if (box && box->SelLength() > 0)
        txtTxt[index]->setPlainText(toOverlay(box->SelText()));
}

void frmFind::chkOption_Click(QCheckBox *box)
{
    FindStateRec &s = FindState;
    const bool on = box->isChecked();
    if (box == chkWholeWord)
        s.WholeWord = on;
    else if (box == chkMatchCase)
        s.MatchCase = on;
    else if (box == chkPatternMatch)
        s.PatternMatch = on;
    else if (box == chkBlock)
        s.BlockMode = on;
    else if (box == chkFcsTrkOff)
        s.TrackFocus = !on;
    seeFndPanels();
}

void frmFind::chkSheet_Click(int index)
{
    FindState.SheetOption = int16_t(index);
    seeFndPanels();
}

void frmFind::cmbDirection_Click()
{
    FindState.Direction = cmbDirection->currentIndex() <= 0 ? 0 : int16_t(cmbDirection->currentData().toInt());
    seeFndPanels();
}

void frmFind::cboText_Change(int index)
{
    if (bLockEvt)
        return;
    FindStateRec &s = FindState;
    const QString text = cboText[index]->currentText();
    if (text.size() > kFindTextMax) {
        const QString question = fndKind(index) + QStringLiteral(" text is to long..!") + kCRLF + QStringLiteral("You can only enter (")
            + QString::number(kFindTextMax) + QStringLiteral(") characters.") + kCRLF + QStringLiteral("Continue Anyway.?");
        if (askQText(question, vbYesNo) != vbYes)
            return;
    }
    if (index == 0) {
        if (!textEquals(text, s.FindText, s.HistCompare))
            s.TextChanged = s.FindHistPending = true;
        RichTextBox *box = activeBox();
        s.Found = box && textEquals(text, s.FindText, s.HistCompare)
            && textEquals(box->SelText().left(s.FindText.size()), s.FindText, s.HistCompare);
    }
    seeFndPanels();
    makFndOpts(s);
}

} // namespace vt
