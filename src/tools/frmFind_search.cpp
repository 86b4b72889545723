// The Find window's engine: the histories in its boxes, reading its options,
// taking the selection, and searching and replacing in the active CFile.
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

RichTextBox *frmFind::activeBox() const
{
    frmDocument *doc = ActiveForm();
    return doc ? doc->rtfText : nullptr;
}

void frmFind::usr2Hst()
{
    FindStateRec &s = FindState;
    QStringList *lists[2] = {&s.FindHistory, &s.ReplaceHistory};
    QString *texts[2] = {&s.FindText, &s.ReplaceText};
    for (int i = 0; i < 2; ++i) {
        *texts[i] = cboText[i]->currentText();
        lists[i]->clear();
        for (int k = 0; k < cboText[i]->count(); ++k)
            *lists[i] << cboText[i]->itemText(k);
    }
}

void frmFind::hst2Usr()
{
    FindStateRec &s = FindState;
    const QStringList *lists[2] = {&s.FindHistory, &s.ReplaceHistory};
    const QString *texts[2] = {&s.FindText, &s.ReplaceText};
    lokEvents();
    for (int i = 0; i < 2; ++i) {
        cboText[i]->clear();
        cboText[i]->addItems(*lists[i]);
        cboText[i]->setEditText(*texts[i]);
    }
    unlEvents();
}

// Puts the box's text at the head of its history unless the history already
// holds known, dropping the oldest entry when the history is full.
bool frmFind::addToHistory(int index, const QString &known)
{
    QComboBox *box = cboText[index];
    for (int k = 0; k < box->count(); ++k)
        if (box->itemText(k) == known)
            return false;
    lokEvents();
    const QString current = box->currentText();
    if (box->count() >= kFindHistoryMax)
        box->removeItem(box->count() - 1);
    box->insertItem(0, current);
    box->setEditText(current);
    unlEvents();
    return true;
}

void frmFind::chkNewText(int16_t mode)
{
    if (mode != 0 && addToHistory(0, FindState.FindText))
        FindState.FindHistPending = false;
}

void frmFind::chkHstText() { addToHistory(1, FindState.ReplaceText); }

// --- reading the window ---------------------------------------------------------

void frmFind::getFndPars()
{
    FindStateRec &s = FindState;
    s.Direction = cmbDirection->currentIndex() <= 0 ? 0 : int16_t(cmbDirection->currentData().toInt());
    s.WholeWord = chkWholeWord->isChecked();
    s.MatchCase = chkMatchCase->isChecked();
    s.PatternMatch = chkPatternMatch->isChecked();
    s.BlockMode = chkBlock->isChecked();
    s.TrackFocus = !chkFcsTrkOff->isChecked();
    s.SheetOption = 3;
    for (int i = 2; i >= 0; --i)
        if (chkSheet[i]->isChecked())
            s.SheetOption = int16_t(i);
    s.FindText = cboText[0]->currentText();
    makFndOpts(s);
    s.ReplaceText = cboText[1]->currentText();
}

bool frmFind::chkFndPars() const
{
    const FindStateRec &s = FindState;
    int16_t sheet = 3;
    for (int i = 2; i >= 0; --i)
        if (chkSheet[i]->isChecked())
            sheet = int16_t(i);
    const int16_t direction = cmbDirection->currentIndex() <= 0 ? 0 : int16_t(cmbDirection->currentData().toInt());
    return s.Direction == direction && s.WholeWord == chkWholeWord->isChecked()
        && s.MatchCase == chkMatchCase->isChecked() && s.PatternMatch == chkPatternMatch->isChecked()
        && s.BlockMode == chkBlock->isChecked() && s.TrackFocus == !chkFcsTrkOff->isChecked()
        && s.SheetOption == sheet && textEquals(s.FindText, cboText[0]->currentText(), s.HistCompare)
        && textEquals(s.ReplaceText, cboText[1]->currentText(), s.HistCompare);
}

void frmFind::setFindBoxText(int index, const QString &text)
{
    lokEvents();
    cboText[index]->setEditText(text);
    unlEvents();
}

// --- taking the selection --------------------------------------------------------

void frmFind::sel2Find(int16_t mode)
{
    if (hasOpenCFile())
        return;
    RichTextBox *box = activeBox();
    FindStateRec &s = FindState;
    box->SetHideSelection(false);
    s.SavedSelStart = box->SelStart();
    s.SavedSelLen = box->SelLength();
    s.BlockValid = false;
    const int length = s.SavedSelLen;
    if (s.BlockMode) {
        s.BlockValid = length > 0;
        s.BlockLen = length;
        s.BlockStart = s.SavedSelStart;
        s.BlockEnd = s.SavedSelStart + length;
        return;
    }
    lokEvents();
    if (askTruncCopy(mode, length, QStringLiteral("Find")) && length > 0) {
        s.FindText = cut(box->SelText());
        cboText[0]->setEditText(s.FindText);
    }
    unlEvents();
}

bool frmFind::askTruncCopy(int16_t mode, int length, const QString &name)
{
    if (length <= kFindTextMax)
        return true;
    const QString text = QStringLiteral("Selected text being copied to ''") + name + QStringLiteral(":'' is to long...!") + kCRLF
        + QStringLiteral("It will be truncated to (") + QString::number(kFindTextMax) + QStringLiteral(") characters.") + kCRLF
        + QStringLiteral("Copy Truncated Text Anyway.?");
    if (mode == 1)
        return askQText(text, vbYesNo) == vbYes;
    return MsgBox(text, vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground) == vbYes;
}

// --- buttons and panels ---------------------------------------------------------

void frmFind::rstFndButtons()
{
    FindStateRec &s = FindState;
    cmdFind->setText(QStringLiteral("&Find"));
    s.Found = s.FoundByNext = s.TextChanged = false;
    for (QPushButton *b : {cmdReplace[1], cmdReplace[0], cmdRepAtt[1], cmdReplaceAll})
        b->setEnabled(false);
    setFindNextMenu(false);
}

// --- the search ----------------------------------------------------------------

void frmFind::SetFound(int16_t code, int16_t mode, int position)
{
    FindStateRec &s = FindState;
    if (code == 0 || code == 3) {
        if (mode == 1) {
            cmdFind->setText(QStringLiteral("&Find"));
            if (ws().bRepOpen) {
                for (QPushButton *b : {cmdReplace[1], cmdReplace[0], cmdRepAtt[1], cmdReplaceAll})
                    b->setEnabled(false);
            } else {
                cmdReplace[1]->setEnabled(true);
            }
        }
        setFindNextMenu(false);
        s.Found = s.FoundByNext = false;
        if (s.ShowNotFound) {
            if (!s.FindText.isEmpty()) {
                QString text = QStringLiteral("Text Not Found");
                if (s.BlockValid && s.BlockMode)
                    text += QStringLiteral(" <Within Selected Block>");
                text += QStringLiteral("...!") + kCRLF + QStringLiteral("All of Specified  <") + directionKey(s.Direction)
                    + QStringLiteral(">  Region Searched. ") + kCRLF + directionDescription(s.Direction);
                notice(mode, text);
            } else {
                // The hint shows in the empty box without becoming the text.
                cboText[0]->lineEdit()->setPlaceholderText(kEmptyHint);
                notice(mode, QStringLiteral("There Is Nothing To Find..!") + kCRLF + QStringLiteral("Find: ''Is Empty...''"));
            }
        }
    } else {
        s.Found = true;
        s.FoundByNext = code == 2;
        s.NextPos = position;
        if (mode == 1) {
            for (QPushButton *b : {cmdRepAtt[1], cmdReplace[0], cmdReplace[1], cmdReplaceAll})
                b->setEnabled(true);
            cmdFind->setText(QStringLiteral("&Find Next"));
        }
        setFindNextMenu(true);
    }
    seeErrLoc(QStringLiteral("frmFind-SetFound"));
}

bool frmFind::searchLoop(int16_t code, int16_t mode)
{
    FindStateRec &s = FindState;
    RichTextBox *box = activeBox();
    // The backward search reads the whole text: once per search, not once
    // per skipped occurrence.
    QString text;
    bool haveText = false;
    for (;;) {
        int pos = -1;
        if (s.Backward) {
            if (!haveText) {
                text = box->Text();
                haveText = true;
            }
            do
                pos = fndBackwardIn(s, text);
            while (pos == -2);
            if (pos >= 0) {
                box->SetSelStart(pos);
                box->SetSelLength(int(s.FindText.size()));
            }
        } else {
            pos = s.FindText.isEmpty() ? -1 : box->Find(s.FindText, s.NextPos, s.LimitPos, s.FindOptions);
        }
        if (pos >= 0) {
            SetFound(code, mode, pos);
            s.LastHit = s.NextPos;
            return true;
        }
        if (s.WrapPasses < 1) {
            SetFound(0, mode, 0);
            return false;
        }
        s.NextPos = s.Backward ? s.DocEnd : s.TopPos;
        s.LimitPos = s.WrapLimit;
        --s.WrapPasses;
    }
}

bool frmFind::chkDocChanged()
{
    FindStateRec &s = FindState;
    frmDocument *doc = ActiveForm();
    if (!doc)
        return false;
    if (doc->Tag != s.LastCFileTag) {
        if (s.TrackFocus || !ShowWarn) {
            rstFndButtons();
            sel2Find(1);
        } else {
            if (askQText(QStringLiteral("CFile has changed...!") + kCRLF + QStringLiteral("Reset Find Parameters.?"), vbYesNo) != vbYes)
                return false;
            rstFndButtons();
        }
        s.LastCFileTag = doc->Tag;
    }
    return true;
}

int16_t frmFind::mexFind(int16_t how, int16_t mode)
{
    int16_t result = 0;
    if (!trapErrors([&] {
            FindStateRec &s = FindState;
            if (hasOpenCFile() || !chkDocChanged())
                return;
            RichTextBox *box = activeBox();
            if (s.PrevDirection != s.Direction)
                rstFndButtons();
            s.PrevDirection = s.Direction;
            makFndOpts(s);
            if (s.WrapPasses < 0)
                s.WrapPasses = 0;
            const auto take = [&](int P, int R) {
                if (!makHow(s, P, R, box->SelStart(), box->SelLength(), box->TextLength()))
                    seeErrLoc(QStringLiteral("frmFind-makHow"));
            };
            box->SetHideSelection(false);
            // Right after a replacement of the hit the search goes on behind
            // the replacement, whether or not it follows the cursor: the caret
            // (or the selected replacement) is where the replacement put it.
            const int selStart = box->SelStart();
            const int selLength = box->SelLength();
            const bool afterReplace = replacedCaret_ >= 0 && ActiveForm()->Tag == replacedTag_
                && ((selLength == 0 && selStart == replacedCaret_)
                    || (selStart == s.LastHit && selLength == s.LastReplLen && selStart + selLength == replacedCaret_));
            replacedCaret_ = -1;
            if (how >= 2 || s.Found || s.TextChanged) {
                bool onHit = textEquals(box->SelText(), s.FindText, s.CompareMode);
                bool atNext = selStart == s.NextPos;
                if (afterReplace && !s.Backward) {
                    onHit = atNext = true;
                    s.NextPos = s.LastHit + s.LastReplLen - int(s.FindText.size());
                } else if (afterReplace) {
                    onHit = atNext = true;
                }
                bool restarted = false;
                if (s.TrackFocus && !(onHit && atNext)) {
                    take(0, 10);
                    restarted = true;
                }
                if (((s.TextChanged || onHit) && atNext) || restarted) {
                    if (how < 2 && !restarted)
                        take(2, 0);
                    if (searchLoop(2, mode)) {
                        s.SavedSelStart = box->SelStart();
                        s.SavedSelLen = box->SelLength();
                        if (s.FindHistPending || !onHit)
                            chkNewText(mode);
                        result = onHit && atNext ? 3 : 2;
                    }
                } else {
                    SetFound(3, mode, selStart);
                    result = -1;
                }
            } else {
                take(0, 0);
                if (searchLoop(1, mode)) {
                    chkNewText(mode);
                    result = 1;
                }
            }
            if (result > 0) {
                s.SavedSelStart = box->SelStart();
                s.SavedSelLen = box->SelLength();
            } else {
                box->SetSelStart(s.SavedSelStart);
                box->SetSelLength(s.SavedSelLen);
            }
            s.TextChanged = false;
        })) {
        seeErrLoc(QStringLiteral("frmFind-mexFind"));
        Err.Clear();
    }
    return result;
}

int16_t frmFind::doReplace(bool doIt)
{
    FindStateRec &s = FindState;
    RichTextBox *box = activeBox();
    if (!box)
        return 0;
    const int selStart = box->SelStart();
    const QString selText = box->SelText();
    if (doIt) {
        if (s.LastHit == s.NextPos && selStart == s.NextPos && textEquals(selText, s.FindText, s.CompareMode)) {
            box->SetSelText(s.ReplaceText);
            s.LastReplLen = int(s.ReplaceText.size());
            if (!s.Backward) {
                const int delta = int(s.ReplaceText.size() - s.FindText.size());
                s.NextPos += delta;
                s.LimitPos += delta;
            }
            replacedCaret_ = s.LastHit + s.LastReplLen;
            replacedTag_ = ActiveForm()->Tag;
            return 1;
        }
        return 0;
    }
    if (textEquals(selText, s.FindText, s.CompareMode) && selStart == s.NextPos && box->SelLength() == s.FindText.size())
        return 1;
    if (selStart == s.LastHit && textEquals(selText, s.ReplaceText, s.CompareMode))
        return 2;
    return 0;
}

void frmFind::mexReplace(int16_t mode)
{
    if (!trapErrors([&] {
            if (doReplace(true) == 1) {
                chkHstText();
                mexFind(0, mode);
            } else {
                mexFind(2, mode);
            }
            if (RichTextBox *box = activeBox())
                box->setFocus();
        })) {
        seeErrLoc(QStringLiteral("frmFind-mexReplace"));
        Err.Clear();
    }
}

bool frmFind::replaceAllInOnePass()
{
    // The first hit is selected; every further one is found in the same
    // text, in one pass, and all are replaced as one edit.
    FindStateRec &s = FindState;
    RichTextBox *box = activeBox();
    const QString text = box->Text();
    const QList<int> hits = planReplaceAll(text, s.NextPos, s.LimitPos, s.FindText, s.ReplaceText, s.FindOptions);
    if (hits.isEmpty() || hits.first() != s.NextPos)
        return false;
    box->ReplaceRanges(hits, int(s.FindText.size()), s.ReplaceText);
    const int flen = int(s.FindText.size());
    const int rlen = int(s.ReplaceText.size());
    const int delta = rlen - flen;
    const int total = int(hits.size());
    s.ReplCount = total;
    s.LastHit = hits.last() + (total - 1) * delta;
    s.LastReplLen = rlen;
    s.SavedSelStart = s.LastHit;
    s.SavedSelLen = flen;
    s.NextPos = s.LastHit + rlen;
    s.LimitPos += total * delta;
    // The search behind the last replacement found nothing more.
    SetFound(0, 1, 0);
    return true;
}

void frmFind::mexReplaceAll(int16_t mode)
{
    (void)mode;
    if (!trapErrors([&] {
            FindStateRec &s = FindState;
            RichTextBox *box = activeBox();
            const int keptStart = box ? box->SelStart() : 0;
            const int keptLength = box ? box->SelLength() : 0;
            const int16_t keptDirection = s.Direction;
            // Its first search covers the whole region whatever was typed
            // since the last one.
            s.Found = s.FoundByNext = s.TextChanged = false;
            s.Direction = 0;
            s.ReplCount = 0;
            struct Restore {
                int16_t direction;
                ~Restore() { FindState.Direction = direction; FindState.ShowNotFound = true; }
            } restore{keptDirection};
            if (mexFind(0, 1) >= 1) {
                s.ShowNotFound = false;
                box = activeBox();
                if (!replaceAllInOnePass()) {
                    // Not where the plan expects the first hit: one by one.
                    for (;;) {
                        if (doReplace(true) < 1)
                            break;
                        ++s.ReplCount;
                        if (mexFind(0, 1) < 1)
                            break;
                        if (!s.Found && !s.FoundByNext)
                            break;
                    }
                }
                s.ShowNotFound = true;
                if (s.ReplCount > 0) {
                    box->SetSelStart(s.LastHit);
                    box->SetSelLength(s.LastReplLen);
                    askQText(QStringLiteral("CFile was searched from Top --> Bottom.") + kCRLF
                                 + QStringLiteral("Number of items replaced - ") + QString::number(s.ReplCount),
                             vbOKOnly);
                }
            }
            box = activeBox();
            if (box) {
                if (s.ReplCount > 0) {
                    box->SetSelStart(s.LastHit);
                    box->SetSelLength(s.LastReplLen);
                } else {
                    box->SetSelStart(std::min(keptStart, box->TextLength()));
                    box->SetSelLength(keptLength);
                }
                box->setFocus();
            }
        })) {
        seeErrLoc(QStringLiteral("frmFind-mexReplaceAll"));
        Err.Clear();
    }
}

// --- entries from the main window ------------------------------------------------

void frmFind::lodFind()
{
    RichTextBox *box = activeBox();
    if (box && box->SelLength() > 0) {
        const QString text = cut(box->SelText());
        if (fraTxts->isVisible()) {
            lokEvents();
            txtTxt[0]->setPlainText(toOverlay(text));
            unlEvents();
        } else {
            cboText[0]->setEditText(text);
        }
    }
    rstFndButtons();
}

void frmFind::mdiFindReplace()
{
    ws().bRepOpen = true;
    if (!chkFndPars())
        getFndPars();
    seeFndPanels();
    RichTextBox *box = activeBox();
    if (box && box->SelLength() > 0 && !FindState.BlockMode) {
        const QString text = cut(box->SelText());
        if (fraTxts->isVisible()) {
            txtTxt[1]->setPlainText(toOverlay(text));
        } else {
            setFindBoxText(1, text);
        }
    }
}

void frmFind::mdiFindNext()
{
    if (!chkFndPars())
        getFndPars();
    mexFind(0, 0);
}

} // namespace vt
