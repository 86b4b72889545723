#include "notes/frmTip.h"
#include "notes/frmTip_detail.h"

#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/ctlcolor.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/settings.h"
#include "platform/spreadsheet.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "shell/modApi.h"
#include "shell/modBusy.h"
#include "shell/modFileOperations.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStatus.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <cstdio>

namespace vt {

using namespace tipdetail;

frmTip::frmTip()
    : SupportWindow("Tip")
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("rUvuzu"));
    setWindowFlag(Qt::Window);
    build();
}

frmTip::~frmTip()
{
    // The change signals must not reach a window that is going.
    if (txtNotex)
        disconnect(txtNotex, nullptr, this, nullptr);
    if (txtRefex)
        disconnect(txtRefex, nullptr, this, nullptr);
}

void frmTip::closeEvent(QCloseEvent *e) { handleClose(e); }

// --- the window ---

void frmTip::rstNotVars()
{
    NotesState = NotesSta{};
    NotesState.NoteIndex = 0;
    NoteLayout = 0;
    BigEdit = false;
    Filling = false;
    KeyLocked = false;
}

void frmTip::Form_Load()
{
    rstNotVars();
    noteMax = kSectionTextMax;
    txtRefex->setMaxLength(64);
    chkRefSee->setChecked(GetSettingInt(AppTitle, kVip, QStringLiteral("RefNumSee"), 0) == 1);
    chkBackup->setChecked(GetSettingInt(AppTitle, kVip, QStringLiteral("BackupNotes"), 0) == 1);
    chkVipNotes->setChecked(GetSettingInt(AppTitle, kVip, QStringLiteral("ShowVipNotes"), 1) == 1);
    if (!LoadTips(notesPath()))
        seeNoNotsFile();
    getGoTo();
    // The option boxes mirror the options from the start, so that closing a
    // window never shown does not switch them off.
    GetFrmSet();
    updNotBtns();
    setNotLayout();
    setNotCaption();
    seeMoveFrames();
    setNotDirty(2);
    setAskMode(0);
    AskPending = false;
    soxMore();
    begBiz(9, 0);
    trkForm(0, "Tip");
}

void frmTip::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode == vbFormControlMenu) {
        cancel = 1;
        if (chkSavNots()) {
            NotesState.EntryDirty = NotesState.StoreDirty = false;
            AskAnswer = 0;
            cmdClose_Click();
        }
    }
    updAllSta();
}

void frmTip::Form_Unload(int &cancel)
{
    SaveSetting(AppTitle, kVip, QStringLiteral("RefNumSee"), QString::number(chkRefSee->isChecked() ? 1 : 0));
    SaveSetting(AppTitle, kVip, QStringLiteral("BackupNotes"), QString::number(chkBackup->isChecked() ? 1 : 0));
    SaveSetting(AppTitle, kVip, QStringLiteral("ShowVipNotes"), QString::number(chkVipNotes->isChecked() ? 1 : 0));
    savGoTo();
    if (isMinimized())
        showNormal();
    zapNots();
    setAskMode(0);
    AskPending = false;
    endBiz(9, 0);
    SupportWindow::Form_Unload(cancel);
}

void frmTip::lodTip() {}

void frmTip::extTip(int cancel) { (void)cancel; }

void frmTip::countShown()
{
    if (shownCounted_)
        return;
    shownCounted_ = true;
    begBiz(9, 0);
}

void frmTip::countClosed()
{
    if (!shownCounted_)
        return;
    shownCounted_ = false;
    endBiz(9, 0);
}

void frmTip::seeCurNot()
{
    NotesSta &s = NotesState;
    if (Notes.isEmpty() || s.NoteIndex < 1) {
        addFirstNot();
    } else {
        getNotKey(s.NoteIndex);
        seeNotEntry();
    }
    updNotBtns();
    setNotCaption();
    setNotLayout();
}

void frmTip::updNotBtns()
{
    const NotesSta &s = NotesState;
    const bool userOrDev = s.UserNote || s.DevMode;
    const bool unlocked = !KeyLocked;
    const bool anyChange = s.StoreNew || s.EntryDirty || s.StoreDirty;
    const bool level = UserLevel >= 1;
    const bool stored = !Notes.isEmpty();
    for (int i = 0; i < 3; ++i)
        cmdUMove[i]->setVisible(level);
    cmdUMove[0]->setEnabled(true);
    cmdUMove[1]->setEnabled(unlocked);
    cmdUMove[2]->setEnabled(unlocked);
    cmdMove[0]->setEnabled(true);
    cmdMove[1]->setEnabled(true);
    cmdMove[2]->setEnabled(unlocked);
    cmdMove[3]->setEnabled(unlocked);
    for (int i = 0; i < 5; ++i)
        cmdEdit[i]->setVisible(level);
    cmdEdit[0]->setEnabled(true);
    cmdEdit[1]->setEnabled(userOrDev);
    SetBackColor(cmdEdit[1], s.EditOn ? kGreen : kCyan);
    cmdEdit[2]->setEnabled(userOrDev && stored && unlocked);
    cmdEdit[3]->setEnabled(s.EntryDirty && userOrDev && stored && unlocked);
    cmdEdit[4]->setEnabled(anyChange && userOrDev && unlocked);
    cmdEdit[5]->setEnabled(true);
    cmdRecMods->setEnabled(s.EntryDirty && userOrDev && unlocked);
    const bool readOnly = !(userOrDev && s.EditOn) || KeyLocked;
    txtNotex->setReadOnly(readOnly);
    txtRefex->setReadOnly(readOnly);
}

void frmTip::setNotLayout()
{
    int height = 3350;
    uint32_t colour = kLightGrey;
    if (NoteLayout == 1) {
        height = 4050;
        colour = kRed;
    } else if (NoteLayout == 2) {
        height = BigEdit ? 4850 : 4000;
        colour = kCyan;
    } else if (AskMode) {
        height = 3600;
    }
    fraEdit[0]->setVisible(NoteLayout == 1);
    fraEdit[1]->setVisible(NoteLayout == 2);
    SetBackColor(cmdOption, colour);
    resize(width(), TwipsToPixels(height));
    setNotColors();
}

void frmTip::setNotColors()
{
    const uint32_t colour = NotesState.UserNote ? kCyan : kLightYellow;
    SetBackColor(txtNotex, colour);
    SetBackColor(poxNotex, colour);
}

void frmTip::setNotCaption()
{
    QString caption = QStringLiteral("rUvuzu") + QString::number(AppNum) + u'_'
        + QString::number(nbrSerial().linkCommPort()) + QStringLiteral(" (") + NotesState.NoteKeyText + QStringLiteral(") ");
    if (chkRefSee->isChecked())
        caption += txtRefex->text();
    setWindowTitle(caption);
}

void frmTip::seeMoveFrames()
{
    fraMove->setVisible(NotesState.DevMode);
    fraAddDel->setVisible(NotesState.DevMode);
}

void frmTip::setNotDirty(int mode)
{
    if (Filling)
        return;
    NotesSta &s = NotesState;
    if (mode == 1) {
        s.EntryDirty = s.StoreDirty = true;
    } else if (mode == 2) {
        s.StoreNew = s.EntryDirty = s.StoreDirty = false;
    }
}

void frmTip::setAskMode(int16_t mode)
{
    AskMode = mode != 0;
    fraUsrBoss[1]->setVisible(AskMode);
    fraUsrBoss[0]->setVisible(!AskMode);
}

void frmTip::GetFrmSet()
{
    for (QCheckBox *b : {chkCroDetect, chkWarningOn[0], chkWarningOn[1]})
        b->setChecked(false);
    optCroSelect[0]->setChecked(false);
    optCroSelect[1]->setChecked(false);
    chkCroDetect->setChecked(AutoDetect);
    chkWarningOn[0]->setChecked(ShowWarn);
    chkWarningOn[1]->setChecked(ShowWarnKT);
    if (ChronSelect == 1)
        optCroSelect[0]->setChecked(true);
    else if (ChronSelect == 2)
        optCroSelect[1]->setChecked(true);
}

void frmTip::SaveFrmSet()
{
    ShowWarn = chkWarningOn[0]->isChecked();
    ShowWarnKT = chkWarningOn[1]->isChecked();
    AutoDetect = chkCroDetect->isChecked();
    if (optCroSelect[0]->isChecked())
        ChronSelect = 1;
    else if (optCroSelect[1]->isChecked())
        ChronSelect = 2;
}

bool frmTip::chkSavNots()
{
    if (!NotesState.StoreDirty)
        return true;
    const int answer = MsgBox(QStringLiteral("rUvuzu have been changed! \r\nSave Changes ?"),
                              vbYesNoCancel | vbDefaultButton3 | vbSystemModal | vbMsgBoxSetForeground);
    if (answer == vbCancel)
        return false;
    if (answer == vbYes) {
        savNots();
    } else {
        NotesState.EntryDirty = NotesState.StoreDirty = false;
    }
    return true;
}

void frmTip::zapNots()
{
    SaveFrmSet();
    SaveSetting(AppTitle, kVip, QStringLiteral("ShowVipNotes"), QString::number(chkVipNotes->isChecked() ? 1 : 0));
}

void frmTip::showTip(bool modal)
{
    setCursor(Qt::ArrowCursor);
    if (!modal) {
        if (isMinimized())
            showNormal();
        show();
        raise();
        activateWindow();
        return;
    }
    answers::Question q;
    q.kind = QStringLiteral("dialog");
    q.title = windowTitle();
    q.text = (AskMode ? labPrmpt->text() + kCrLf : QString()) + QStringLiteral("rUvuzu (") + NotesState.NoteKeyText
        + QStringLiteral(") ") + txtRefex->text();
    if (AskMode)
        q.buttons = {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")};
    q.buttons << QStringLiteral("Close");
    q.defaultAnswer = QStringLiteral("Close");
    const QString answer = answers::ask(q, [this]() -> QString {
        waiting::modal(this);
        return QString();
    });
    // A scripted answer presses its button; a person has already pressed one.
    if (!answers::scripted() || !shownCounted_)
        return;
    const int r = buttonResult(answer);
    if (AskMode && r == vbYes)
        cmdAnsr_Click(2);
    else if (AskMode && r == vbNo)
        cmdAnsr_Click(1);
    else if (AskMode && r == vbCancel)
        cmdAnsr_Click(0);
    else
        cmdClose_Click();
}

void frmTip::seeXNots(int a, int b, int c, int d, double addIfMissing, int16_t modal)
{
    NotesSta &s = NotesState;
    if (BizTable[9][0] > 1 && chkExit->isChecked()) {
        chkExit->setChecked(false);
        chkExit_Click();
    }
    countShown();
    setNotKey(a, b, c, d);
    savNotKey();
    makNotKey();
    s.NoteIndex = int16_t(Notes.position(s.NoteKey8));
    if (s.NoteIndex == 0 && addIfMissing > 0) {
        addNotSect(int(addIfMissing), 1);
        s.NoteIndex = int16_t(Notes.position(s.NoteKey8));
        if (s.NoteIndex == 0)
            s.NoteIndex = 1;
    } else if (s.NoteIndex == 0) {
        s.NoteIndex = 1;
    }
    updNotBtns();
    GetFrmSet();
    seeMoveFrames();
    seeCurNot();
    setOnTop(this);
    showTip(modal == 1);
}

int16_t frmTip::seeYNots(const QString &prompt, int a, int b, int c, int16_t questionMode)
{
    AskAnswer = 0;
    NoteLayout = 0;
    setAskMode(questionMode);
    AskPending = true;
    labPrmpt->setText(prompt);
    seeXNots(a, b, c, 0, 1, 1);
    return AskAnswer;
}

void frmTip::seeNotes()
{
    if (BizTable[9][0] < 2) {
        countShown();
        updNotBtns();
        GetFrmSet();
        seeMoveFrames();
        seeCurNot();
        setOnTop(this);
        showTip(true);
        return;
    }
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    seeBizMsg(9);
}

void frmTip::showModeless()
{
    countShown();
    updNotBtns();
    GetFrmSet();
    seeMoveFrames();
    seeCurNot();
    showTip(false);
}

bool frmTip::qryExitNotes()
{
    // A failed save keeps the program, so that the changes are not lost.
    return chkSavNots() && !NotesState.StoreDirty;
}

QString frmTip::saveRecoveryCopy(const QString &folder)
{
    NotesSta &s = NotesState;
    if (!s.StoreDirty && !s.EntryDirty)
        return {};
    if (s.EntryDirty)
        updNotEntry();
    QDir().mkpath(folder);
    const QString stamp = now().toString(QStringLiteral("yyyy-MM-dd HHmmss"));
    QString path = folder + QStringLiteral("/vantnots ") + stamp + QStringLiteral(".ini");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + QStringLiteral("/vantnots ") + stamp + QStringLiteral(" (") + QString::number(n) + QStringLiteral(").ini");
    QSaveFile out(path);
    const bool ok = out.open(QIODevice::WriteOnly) && out.write(encodeNotes(notesText(), notesUtf8_)) >= 0 && out.commit();
    // Nobody can answer the save question any more; the copy holds the changes.
    s.EntryDirty = s.StoreDirty = false;
    if (!ok) {
        std::fprintf(stderr, "vantrell: no recovery copy of the notes: %s\n", qPrintable(out.errorString()));
        return {};
    }
    return path;
}

// --- event handlers ---

void frmTip::cmdMove_Click(int index)
{
    if (NotesState.EntryDirty)
        updNotEntry();
    static const int moves[4][2] = {{0, 2}, {0, 1}, {1, 1}, {1, 2}};
    seeNotList(moves[index][0], moves[index][1]);
    seeCurNot();
}

void frmTip::cmdUMove_Click(int index)
{
    NotesSta &s = NotesState;
    if (s.EntryDirty)
        updNotEntry();
    if (index == 0) {
        seeNotList(0, 0);
    } else if (index == 2) {
        seeNotList(1, 0);
    } else if (AskPending) {
        if (!AskMode) {
            setAskMode(1);
            NoteLayout = 0;
        } else {
            setAskMode(0);
        }
        // Back on the question's own note, shown again, so that the boxes and
        // the key never belong to two different notes.
        rstNotKey();
        makNotKey();
        if (const int at = Notes.position(s.NoteKey8))
            s.NoteIndex = int16_t(at);
        seeCurNot();
        return;
    }
    seeCurNot();
}

void frmTip::cmdEdit_Click(int index)
{
    NotesSta &s = NotesState;
    switch (index) {
    case 0:
        if (s.EntryDirty)
            updNotEntry();
        if (UserLevel == 0
            && MsgBox(QStringLiteral("Do You Want To Add Your Own iNote?  "),
                      vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground)
                == vbNo)
            return;
        addNotSect(0, 0);
        break;
    case 1:
        s.EditOn = !s.EditOn;
        if (s.EditOn && !s.DevMode && !s.UserNote) {
            s.EditOn = false;
            MsgBox(QStringLiteral("As a user, you can only edit or add user rUvuzu, the blue screen.\r\n"
                                  "Dark yellow screen represents System rUvuzu, you can't change those.\r\n"
                                  "To add your own rUvuzu click on <Add>, to edit click on <Edit>.\r\n"
                                  "Maximum of 99 user rUvuzu may be added to each section(Max=10E6).\r\n"
                                  "To incorporate these rUvuzu into System files click on <Save>.\r\n"
                                  "\r\n"
                                  "These rUvuzu are linked to the spot in the program where you created\r\n"
                                  "them, this is your own custom help for that particular spot.\r\n"
                                  "The rUvuzu are memory resident, they are instantly accessible."),
                   kBox);
        }
        break;
    case 2:
        if (s.KeyPart[0] == 0 && !s.DevMode)
            MsgBox(QStringLiteral("System rUvuzu can not be deleted from User mode.\r\nUser can only delete User rUvuzu...!"),
                   kBox);
        else
            delNotEntry(0, 0);
        break;
    case 3:
        s.EntryDirty = false;
        break;
    case 4:
        updNotEntry();
        savNots();
        break;
    case 5:
        MsgBox(QStringLiteral("For some operations this message can be turned off.\r\n"
                              "Click on <Options> and remove ''Warnings'' checkmarks.\r\n"
                              "Please note if ''Warnings'' are turned off, Vantrell\r\n"
                              "assumes that you are very familiar with this software.\r\n"
                              "To add your own notes for this spot just click on [Add]."),
               kBox);
        break;
    default:
        return;
    }
    seeMoveFrames();
    updNotBtns();
    seeCurNot();
}

void frmTip::cmdAddDel_Click(int index)
{
    const int level = 3 - (index % 4);
    if (index < 4)
        delNotEntry(level, 0);
    else
        addNotSect(level, 0);
    seeCurNot();
}

void frmTip::cmdRecMods_Click()
{
    updNotEntry();
    updNotBtns();
}

void frmTip::cmdAnsr_Click(int index)
{
    static const int16_t values[3] = {2, 7, 6};
    if (index >= 0 && index < 3) {
        AskAnswer = values[index];
        cmdClose_Click();
        return;
    }
    MsgBox(QStringLiteral("For some operations this message can be turned off.\r\n"
                          "The top left blue-circle button bring up user Options.\r\n"
                          "Click on <Options> and remove ''Warnings'' checkmarks.\r\n"
                          "From there you can also add your own notes. To return\r\n"
                          "to this spot, click on blue-circle button again. You\r\n"
                          "can always get to <Options> from <View>/<rUvuzu> menu."),
           kBox);
}

void frmTip::cmdOption_Click()
{
    if (UserLevel >= 1)
        NoteLayout = int16_t((NoteLayout + 1) % 3);
    else
        NoteLayout = NoteLayout == 0 ? 1 : 0;
    setNotLayout();
    seeMoveFrames();
    updNotBtns();
}

void frmTip::cmdClose_Click()
{
    if (!chkSavNots())
        return;
    zapNots();
    hide();
    setAskMode(0);
    AskPending = false;
    updAllSta();
    countClosed();
}

void frmTip::chkExit_Click() { cmdClose_Click(); }

void frmTip::chkRefSee_Click() { seeCurNot(); }

// --- go-to keys, key stepping, hidden switches and spell check ---

namespace {

// A go-to box as a number: blanks trimmed, the leading number of the text
// (0 when there is none), rounded to a whole number.
int16_t goToValue(const QLineEdit *box) { return CInt(Val(box->text().trimmed())); }

QString twoDigits(int value) { return Format(value, QStringLiteral("00")); }

} // namespace

void frmTip::getGoTo()
{
    QString digits = GetSetting(AppTitle, kVip, QStringLiteral("ABGoTo"), QStringLiteral("0000000000000000"));
    digits = digits.leftJustified(16, u'0');
    for (int i = 0; i < 4; ++i) {
        txtAGoTo[i]->setText(digits.mid(4 * i, 2));
        txtBGoTo[i]->setText(digits.mid(4 * i + 2, 2));
    }
}

void frmTip::savGoTo()
{
    // Each part is kept to 0 to 99, so that a value typed but never used
    // cannot shift the digits of the parts after it.
    QString digits;
    for (int i = 0; i < 4; ++i) {
        for (const QLineEdit *box : {txtAGoTo[i], txtBGoTo[i]})
            digits += twoDigits(std::clamp<int>(goToValue(box), 0, 99));
    }
    SaveSetting(AppTitle, kVip, QStringLiteral("ABGoTo"), digits);
}

void frmTip::cmdTagGo_Click(int index)
{
    if (index < 0 || index > 7)
        return;
    NotesSta &s = NotesState;
    QLineEdit *const *boxes = index < 4 ? txtAGoTo : txtBGoTo;
    const int op = index % 4;
    if (op == 0) {
        for (int level = 0; level < 4; ++level)
            boxes[level]->setText(twoDigits(s.KeyPart[level]));
        return;
    }
    int16_t value[4] = {0, 0, 0, 0};
    for (int level = 0; level < 4; ++level) {
        value[level] = goToValue(boxes[level]);
        if (value[level] < 0 || value[level] > 99) {
            MsgBox(QStringLiteral("Value is out of range - Key=") + twoDigits(value[3]) + twoDigits(value[2])
                       + twoDigits(value[1]) + twoDigits(value[0]),
                   kBox);
            return;
        }
    }
    for (int level = 0; level < 4; ++level)
        s.KeyPart[level] = value[level];
    makNotKey();
    if (op == 1) {
        const int at = Notes.position(s.NoteKey8);
        if (at > 0) {
            s.NoteIndex = int16_t(at);
        } else {
            s.NoteIndex = 1;
            MsgBox(QStringLiteral("Key=") + s.NoteKey8 + QStringLiteral(" not found..!"), kBox);
        }
        seeCurNot();
    } else if (op == 2) {
        delNotEntry(0, 1);
        seeCurNot();
    } else {
        addNotSect(0, 1);
    }
}

void frmTip::cmdTagMov_Click(int index)
{
    NotesSta &s = NotesState;
    if (index == 0)
        s.NoteIndex = int16_t(std::max(1, s.NoteIndex - 1));
    else if (index == 1)
        s.NoteIndex = int16_t(std::min(std::max(1, Notes.count()), s.NoteIndex + 1));
    seeCurNot();
}

void frmTip::cmdMovKey_Click(int index)
{
    if (index < 0 || index > 7)
        return;
    seeNotList(index / 4, 3 - index % 4);
    seeCurNot();
}

void frmTip::soxMore()
{
    for (QPushButton *f : fraMake)
        f->setVisible(SoftMore);
}

void frmTip::fraMake_Click(int index)
{
    // A switch that cannot be seen cannot be clicked.
    if (!SoftMore)
        return;
    NotesSta &s = NotesState;
    switch (index) {
    case 0:
        if (!SoftTest) {
            BigEdit = !BigEdit;
        } else if (!s.DevMode) {
            s.DevMode = BigEdit = true;
            NoteLayout = 2;
            if (UserLevel == 0)
                UserLevel = 1;
        } else {
            s.DevMode = BigEdit = false;
            NoteLayout = 0;
        }
        break;
    case 1:
    case 3:
        s.DevMode = !s.DevMode;
        break;
    case 2:
        setNotOnTop(this);
        spellCheck(txtNotex);
        setOnTop(this);
        break;
    case 4:
    case 5:
        BigEdit = !BigEdit;
        break;
    case 6:
        togSoftTest(1);
        break;
    case 7:
        togSoftTest(0);
        NoteLayout = 0;
        break;
    case 8:
        setNotOnTop(this);
        hide();
        show();
        break;
    case 10:
        togSoftTest(2);
        if (SoftTest)
            setAskMode(0);
        break;
    case 11:
        togSoftTest(3);
        break;
    default:
        break;
    }
    if (UserLevel < 1) {
        BigEdit = false;
        s.DevMode = false;
    }
    seeMoveFrames();
    updNotBtns();
    setNotLayout();
    setNotCaption();
}

void frmTip::spellCheck(QPlainTextEdit *box)
{
    if (!box)
        return;
    try {
        xl::BookPtr doc = xl::CreateSheetDocument(QStringLiteral("Excel.Sheet"));
        xl::AppPtr app = doc->Application();
        xl::SheetPtr sheet = app->ActiveWorkbook()->ActiveSheet();
        const QString text = box->toPlainText().replace(u'\n', kCrLf);
        sheet->Range(QStringLiteral("A1"))->setValue(xl::Variant(text));
        sheet->CheckSpelling();
        const QString checked = sheet->Range(QStringLiteral("A1"))->Value().toString();
        if (checked != text)
            box->setPlainText(QString(checked).replace(kCrLf, QStringLiteral("\n")));
        doc->Close(false);
    } catch (const RtError &) {
        MsgBox(QStringLiteral("Can't spell check rUvuzu...!") + kCrLf + QStringLiteral("Microsoft Office not Installed"),
               kBox);
        return;
    }
    MsgBox(QStringLiteral("Spell check is done"), kBox | vbInformation, QStringLiteral("Spell Check"));
}

} // namespace vt
