#include "notes/frmTip.h"

#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/ctlcolor.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/settings.h"
#include "platform/spreadsheet.h"
#include "platform/timers.h"
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

namespace {

const QString kVip = QStringLiteral("frmVipNotes");
constexpr int kBox = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;
constexpr uint32_t kLightYellow = 0x80FFFF;
constexpr uint32_t kLightCyan = 0xFFFFC0;
constexpr uint32_t kCyan = 0xFFFF00;
constexpr uint32_t kGreen = 0xFF00;
constexpr uint32_t kRed = 0xFF;
constexpr uint32_t kLightGrey = 0xC0C0C0;

QString kind(bool user) { return user ? QStringLiteral("User") : QStringLiteral("System"); }

// The four parts of an entry's key, a first.
void partsOf(const QString &entry, int out[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = int(Val(entry.mid(2 * i, 2)));
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const QString &tip = {})
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    b->setAccessibleName(caption.isEmpty() || caption.size() < 2 ? tip : QString(caption).remove(u'&'));
    return b;
}

QPushButton *arrow(QWidget *parent, const QString &name, const char *icon, const QString &text, const QString &tip)
{
    QPushButton *b = button(parent, name, QString(), tip);
    const QIcon ic = QIcon::fromTheme(QString::fromLatin1(icon));
    if (ic.isNull())
        b->setText(text);
    else
        b->setIcon(ic);
    b->setAccessibleName(tip);
    return b;
}

} // namespace

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

void frmTip::build()
{
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);
    top->setSpacing(3);

    // Move buttons: back a section, back a chapter, the user notes, forward.
    auto *moves = new QHBoxLayout;
    cmdMove[0] = arrow(this, QStringLiteral("cmdMove_0"), "go-first", QStringLiteral("<<"), QStringLiteral("Previous Section"));
    cmdMove[1] = arrow(this, QStringLiteral("cmdMove_1"), "go-previous", QStringLiteral("<"), QStringLiteral("Previous Chapter"));
    cmdUMove[0] = arrow(this, QStringLiteral("cmdUMove_0"), "go-up", QStringLiteral("-"), QStringLiteral("Previous User Note"));
    cmdUMove[1] = button(this, QStringLiteral("cmdUMove_1"), QStringLiteral("?"), QStringLiteral("Question"));
    cmdUMove[2] = arrow(this, QStringLiteral("cmdUMove_2"), "go-down", QStringLiteral("+"), QStringLiteral("Next User Note"));
    cmdMove[2] = arrow(this, QStringLiteral("cmdMove_2"), "go-next", QStringLiteral(">"), QStringLiteral("Next Chapter"));
    cmdMove[3] = arrow(this, QStringLiteral("cmdMove_3"), "go-last", QStringLiteral(">>"), QStringLiteral("Next Section"));
    for (QPushButton *b : {cmdMove[0], cmdMove[1], cmdUMove[0], cmdUMove[1], cmdUMove[2], cmdMove[2], cmdMove[3]})
        moves->addWidget(b);
    moves->addStretch();
    top->addLayout(moves);

    poxNotex = new QFrame(this);
    poxNotex->setObjectName(QStringLiteral("poxNotex"));
    auto *noteLay = new QVBoxLayout(poxNotex);
    noteLay->setContentsMargins(2, 2, 2, 2);
    txtNotex = new QPlainTextEdit(poxNotex);
    txtNotex->setObjectName(QStringLiteral("txtNotex"));
    txtNotex->setAccessibleName(QStringLiteral("Note"));
    txtNotex->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    noteLay->addWidget(txtNotex);
    top->addWidget(poxNotex, 1);

    // Panel 0: the note buttons.
    fraUsrBoss[0] = new QFrame(this);
    fraUsrBoss[0]->setObjectName(QStringLiteral("fraUsrBoss_0"));
    auto *btns = new QHBoxLayout(fraUsrBoss[0]);
    btns->setContentsMargins(0, 0, 0, 0);
    const char *const edits[6] = {"Add", "Edit", "Delete", "Undo", "Save", "Help"};
    for (int i = 0; i < 6; ++i) {
        cmdEdit[i] = button(fraUsrBoss[0], QStringLiteral("cmdEdit_%1").arg(i), QString::fromLatin1(edits[i]));
        btns->addWidget(cmdEdit[i]);
    }
    btns->addStretch();
    cmdOption = button(fraUsrBoss[0], QStringLiteral("cmdOption"), QStringLiteral("Option"), QStringLiteral("Setup Options"));
    cmdClose = button(fraUsrBoss[0], QStringLiteral("cmdClose"), QStringLiteral("Close"), QStringLiteral("Close Notes"));
    btns->addWidget(cmdOption);
    btns->addWidget(cmdClose);
    top->addWidget(fraUsrBoss[0]);

    // Panel 1: the question.
    fraUsrBoss[1] = new QFrame(this);
    fraUsrBoss[1]->setObjectName(QStringLiteral("fraUsrBoss_1"));
    auto *ask = new QHBoxLayout(fraUsrBoss[1]);
    ask->setContentsMargins(0, 0, 0, 0);
    labPrmpt = new QLabel(fraUsrBoss[1]);
    labPrmpt->setObjectName(QStringLiteral("labPrmpt"));
    labPrmpt->setWordWrap(true);
    ask->addWidget(labPrmpt, 1);
    const char *const answers[4] = {"Cancel", "No", "Yes", "Help"};
    for (int i = 0; i < 4; ++i) {
        cmdAnsr[i] = button(fraUsrBoss[1], QStringLiteral("cmdAnsr_%1").arg(i), QString::fromLatin1(answers[i]));
        ask->addWidget(cmdAnsr[i]);
    }
    fraUsrBoss[1]->hide();
    top->addWidget(fraUsrBoss[1]);

    // Panel 0 below the note: the start-up options.
    fraEdit[0] = new QFrame(this);
    fraEdit[0]->setObjectName(QStringLiteral("fraEdit_0"));
    fraEdit[0]->setFrameShape(QFrame::StyledPanel);
    auto *opts = new QGridLayout(fraEdit[0]);
    opts->addWidget(new QLabel(QStringLiteral("On Stratup"), fraEdit[0]), 0, 0);
    chkWarningOn[0] = new QCheckBox(QStringLiteral("&System Warnings"), fraEdit[0]);
    chkWarningOn[1] = new QCheckBox(QStringLiteral("&Chrono Warnings"), fraEdit[0]);
    for (int i = 0; i < 2; ++i) {
        chkWarningOn[i]->setObjectName(QStringLiteral("chkWarningOn_%1").arg(i));
        chkWarningOn[i]->setToolTip(QStringLiteral("Warning On for Important Actions"));
    }
    chkCroDetect = new QCheckBox(QStringLiteral("&Auto Detect Chrono"), fraEdit[0]);
    chkCroDetect->setObjectName(QStringLiteral("chkCroDetect"));
    chkCroDetect->setToolTip(QStringLiteral("Automaticaly Detect Chrono On Startup"));
    optCroSelect[0] = new QRadioButton(QStringLiteral("Select First Free Chrono"), fraEdit[0]);
    optCroSelect[1] = new QRadioButton(QStringLiteral("Let &Me Select My Own Chrono"), fraEdit[0]);
    for (int i = 0; i < 2; ++i) {
        optCroSelect[i]->setObjectName(QStringLiteral("optCroSelect_%1").arg(i));
        // Both off is a state of its own ("Select Last Used").
        optCroSelect[i]->setAutoExclusive(false);
    }
    connect(optCroSelect[0], &QRadioButton::clicked, this, [this](bool on) { if (on) optCroSelect[1]->setChecked(false); });
    connect(optCroSelect[1], &QRadioButton::clicked, this, [this](bool on) { if (on) optCroSelect[0]->setChecked(false); });
    opts->addWidget(chkWarningOn[0], 1, 0);
    opts->addWidget(chkWarningOn[1], 2, 0);
    opts->addWidget(chkCroDetect, 3, 0);
    opts->addWidget(optCroSelect[0], 1, 1);
    opts->addWidget(optCroSelect[1], 2, 1);
    // The start-up note tells every user to clear this box under Option, so
    // it lies in the options layout that every user level reaches.
    chkVipNotes = new QCheckBox(QStringLiteral("Show i&Notes on Startup"), fraEdit[0]);
    chkVipNotes->setObjectName(QStringLiteral("chkVipNotes"));
    opts->addWidget(chkVipNotes, 3, 1);
    auto *makes = new QHBoxLayout;
    makes->setSpacing(2);
    for (int i = 0; i < 12; ++i) {
        fraMake[i] = new QPushButton(fraEdit[0]);
        fraMake[i]->setObjectName(QStringLiteral("fraMake_%1").arg(i));
        fraMake[i]->setFlat(true);
        fraMake[i]->setAutoFillBackground(true);
        fraMake[i]->setFixedSize(TwipsToPixels(125), TwipsToPixels(125));
        SetBackColor(fraMake[i], kLightCyan);
        fraMake[i]->setAccessibleName(QStringLiteral("Switch %1").arg(i));
        fraMake[i]->setFocusPolicy(Qt::NoFocus);
        fraMake[i]->hide();
        makes->addWidget(fraMake[i]);
    }
    makes->addStretch();
    opts->addLayout(makes, 4, 0, 1, 2);
    top->addWidget(fraEdit[0]);

    // Panel 1 below the note: editing.
    fraEdit[1] = new QFrame(this);
    fraEdit[1]->setObjectName(QStringLiteral("fraEdit_1"));
    fraEdit[1]->setFrameShape(QFrame::StyledPanel);
    auto *ed = new QGridLayout(fraEdit[1]);
    txtRefex = new QLineEdit(fraEdit[1]);
    txtRefex->setObjectName(QStringLiteral("txtRefex"));
    txtRefex->setAccessibleName(QStringLiteral("Reference"));
    ed->addWidget(txtRefex, 0, 0, 1, 4);
    chkRefSee = new QCheckBox(QStringLiteral("Reference"), fraEdit[1]);
    chkRefSee->setObjectName(QStringLiteral("chkRefSee"));
    chkBackup = new QCheckBox(QStringLiteral("Backup rUvuzu"), fraEdit[1]);
    chkBackup->setObjectName(QStringLiteral("chkBackup"));
    cmdRecMods = button(fraEdit[1], QStringLiteral("cmdRecMods"), QStringLiteral("Record Changes"));
    chkExit = new QCheckBox(fraEdit[1]);
    chkExit->setObjectName(QStringLiteral("chkExit"));
    chkExit->setToolTip(QStringLiteral("Close Notes"));
    chkExit->setAccessibleName(QStringLiteral("Close Notes"));
    ed->addWidget(chkRefSee, 1, 0);
    ed->addWidget(chkBackup, 1, 1);
    ed->addWidget(cmdRecMods, 2, 0);
    ed->addWidget(chkExit, 2, 1);
    // The key frame (its arrows come with the go-to tools) and the add/delete
    // grid, whose columns stand for the parts a, b, c, d.
    fraMove = new QFrame(fraEdit[1]);
    fraMove->setObjectName(QStringLiteral("fraMove"));
    ed->addWidget(fraMove, 2, 2);
    fraAddDel = new QFrame(fraEdit[1]);
    fraAddDel->setObjectName(QStringLiteral("fraAddDel"));
    auto *grid = new QGridLayout(fraAddDel);
    grid->setContentsMargins(0, 0, 0, 0);
    const char *const part[4] = {"a", "b", "c", "d"};
    for (int i = 0; i < 8; ++i) {
        const bool add = i >= 4;
        cmdAddDel[i] = button(fraAddDel, QStringLiteral("cmdAddDel_%1").arg(i), add ? QStringLiteral("+") : QStringLiteral("-"),
                              (add ? QStringLiteral("Add at part ") : QStringLiteral("Delete at part "))
                                  + QString::fromLatin1(part[i % 4]));
        grid->addWidget(cmdAddDel[i], add ? 1 : 0, i % 4);
    }
    ed->addWidget(fraAddDel, 2, 3);
    buildGoTo();
    ed->addWidget(fraGoTo, 3, 0, 1, 4);
    top->addWidget(fraEdit[1]);
    fraEdit[0]->hide();
    fraEdit[1]->hide();
    fraMove->hide();
    fraAddDel->hide();

    auto wire = [this](QAbstractButton *b, const QString &where, std::function<void()> body) {
        connect(b, &QAbstractButton::clicked, this, [where, body] { guarded(QStringLiteral("frmTip-") + where, body); });
    };
    for (int i = 0; i < 4; ++i)
        wire(cmdMove[i], QStringLiteral("cmdMove_Click"), [this, i] { cmdMove_Click(i); });
    for (int i = 0; i < 3; ++i)
        wire(cmdUMove[i], QStringLiteral("cmdUMove_Click"), [this, i] { cmdUMove_Click(i); });
    for (int i = 0; i < 6; ++i)
        wire(cmdEdit[i], QStringLiteral("cmdEdit_Click"), [this, i] { cmdEdit_Click(i); });
    for (int i = 0; i < 8; ++i)
        wire(cmdAddDel[i], QStringLiteral("cmdAddDel_Click"), [this, i] { cmdAddDel_Click(i); });
    for (int i = 0; i < 4; ++i)
        wire(cmdAnsr[i], QStringLiteral("cmdAnsr_Click"), [this, i] { cmdAnsr_Click(i); });
    wire(cmdRecMods, QStringLiteral("cmdRecMods_Click"), [this] { cmdRecMods_Click(); });
    for (int i = 0; i < 8; ++i) {
        wire(cmdTagGo[i], QStringLiteral("cmdTagGo_Click"), [this, i] { cmdTagGo_Click(i); });
        wire(cmdMovKey[i], QStringLiteral("cmdMovKey_Click"), [this, i] { cmdMovKey_Click(i); });
    }
    for (int i = 0; i < 2; ++i)
        wire(cmdTagMov[i], QStringLiteral("cmdTagMov_Click"), [this, i] { cmdTagMov_Click(i); });
    for (int i = 0; i < 12; ++i)
        wire(fraMake[i], QStringLiteral("fraMake_Click"), [this, i] { fraMake_Click(i); });
    wire(cmdOption, QStringLiteral("cmdOption_Click"), [this] { cmdOption_Click(); });
    wire(cmdClose, QStringLiteral("cmdClose_Click"), [this] { cmdClose_Click(); });
    wire(chkExit, QStringLiteral("chkExit_Click"), [this] { chkExit_Click(); });
    wire(chkRefSee, QStringLiteral("chkRefSee_Click"), [this] { chkRefSee_Click(); });
    connect(txtRefex, &QLineEdit::textChanged, this,
            [this] { guarded(QStringLiteral("frmTip-txtRefex_Change"), [this] { noteChanged(); }); });
    connect(txtNotex, &QPlainTextEdit::textChanged, this,
            [this] { guarded(QStringLiteral("frmTip-txtNotex_Change"), [this] { noteChanged(); }); });
    resize(TwipsToPixels(7200), TwipsToPixels(3350));
}

// --- the note box's text, with CR LF between lines as the store keeps it ---

QString frmTip::noteBoxText() const
{
    // The raw text: the plain-text view would turn no-break spaces into blanks.
    QString t = txtNotex->document()->toRawText();
    t.replace(QChar::ParagraphSeparator, u'\n');
    return t.replace(u'\n', kCrLf);
}

void frmTip::setNoteBoxText(const QString &crlfText)
{
    txtNotex->setPlainText(QString(crlfText).replace(kCrLf, QStringLiteral("\n")));
}

void frmTip::noteChanged()
{
    if (!Filling) {
        // The box holds at most noteMax characters, each line break counting two.
        const QString text = noteBoxText();
        const int over = int(text.size()) - noteMax;
        if (over > 0) {
            const bool was = Filling;
            Filling = true;
            QTextCursor c = txtNotex->textCursor();
            for (int i = 0; i < over && c.position() > 0; ++i)
                c.deletePreviousChar();
            Filling = was;
        }
    }
    setNotDirty(1);
    updNotBtns();
}

// --- the key ---

void frmTip::setNotKey(int a, int b, int c, int d)
{
    NotesSta &s = NotesState;
    s.KeyPart[3] = int16_t(a);
    s.KeyPart[2] = int16_t(b);
    s.KeyPart[1] = int16_t(c);
    s.KeyPart[0] = int16_t(d);
}

void frmTip::savNotKey()
{
    for (int i = 0; i < 4; ++i)
        NotesState.SavedPart[i] = NotesState.KeyPart[i];
}

void frmTip::rstNotKey()
{
    for (int i = 0; i < 4; ++i)
        NotesState.KeyPart[i] = NotesState.SavedPart[i];
}

void frmTip::zapNotKey()
{
    NotesSta &s = NotesState;
    for (int16_t &p : s.KeyPart)
        p = 0;
    s.NoteKey8 = QStringLiteral("00000000");
    s.NoteKeyText = QStringLiteral("0.0.0.0");
    s.KeyParseErr = 0;
    s.NoteIndex = 1;
}

void frmTip::makNotKey()
{
    NotesSta &s = NotesState;
    const int16_t *p = s.KeyPart;
    s.NoteKey8 = noteKey8(p[3], p[2], p[1], p[0]);
    s.NoteKeyText = noteKeyText(p[3], p[2], p[1], p[0]);
    s.UserNote = p[0] >= 1;
    s.UserEdit = s.EditOn && s.UserNote;
    KeyLocked = p[3] + p[2] + p[1] == 297 && !s.DevMode;
}

void frmTip::getNotKey(int n)
{
    NotesState.PrevKey8 = NotesState.NoteKey8;
    int parts[4];
    partsOf(Notes.item(n), parts);
    setNotKey(parts[0], parts[1], parts[2], parts[3]);
    makNotKey();
}

void frmTip::txt2Key(const QString &text)
{
    NotesSta &s = NotesState;
    s.PrevKey8 = s.NoteKey8;
    s.KeyParseErr = parseKeyText(text, s.KeyPart) ? 0 : 1;
    const QString keep = s.NoteKeyText;
    makNotKey();
    s.NoteKeyText = keep;
}

// --- entries ---

QString frmTip::makNotEntry() const
{
    return NotesState.NoteKey8 + QStringLiteral("<:") + txtRefex->text() + QStringLiteral(":>") + kCrLf + noteBoxText();
}

void frmTip::seeNotEntry()
{
    const QString entry = Notes.item(NotesState.NoteIndex);
    QString ref;
    const qsizetype q1 = entry.indexOf(QStringLiteral("<:"), 8);
    if (q1 >= 0) {
        const qsizetype q2 = entry.indexOf(QStringLiteral(":>"), q1 + 2);
        if (q2 >= 0)
            ref = entry.mid(q1 + 2, q2 - q1 - 2);
    }
    // The note starts on the line after the reference line, whatever stood
    // around the reference marks.
    const qsizetype eol = entry.indexOf(kCrLf, 8);
    const QString note = eol >= 0 ? entry.mid(eol + 2) : QString();
    const bool was = Filling;
    Filling = true;
    txtRefex->setText(ref);
    setNoteBoxText(note);
    Filling = was;
    getNotKey(NotesState.NoteIndex);
}

void frmTip::updNotEntry()
{
    NotesSta &s = NotesState;
    makNotKey();
    if (Notes.isEmpty()) {
        zapNotKey();
        Notes.add(s.NoteKey8, makNotEntry());
        s.NoteIndex = 1;
    } else {
        const QString entry = makNotEntry();
        Notes.remove(s.NoteKey8);
        if (Notes.isEmpty()) {
            Notes.add(s.NoteKey8, entry);
            s.NoteIndex = 1;
        } else if (s.NoteIndex >= 1 && s.NoteIndex <= Notes.count()) {
            Notes.insertBefore(s.NoteIndex, s.NoteKey8, entry);
        } else {
            Notes.add(s.NoteKey8, entry);
        }
    }
    s.EntryDirty = false;
    s.StoreDirty = true;
}

void frmTip::addNotRef()
{
    const QString k = kind(NotesState.UserNote);
    const QString key = QStringLiteral("{") + NotesState.NoteKeyText + u'}';
    const bool was = Filling;
    Filling = true;
    txtRefex->setText(QStringLiteral("New ") + k + QStringLiteral(" Reference Added ") + key);
    setNoteBoxText(QStringLiteral("New ") + k + QStringLiteral(" Chapter Added ") + key);
    Filling = was;
}

void frmTip::addFirstNot()
{
    zapNotKey();
    makNotKey();
    addNotRef();
    Notes.add(QStringLiteral("00000000"), makNotEntry());
    NotesState.StoreNew = true;
}

void frmTip::addNotSect(int level, int mode)
{
    NotesSta &s = NotesState;
    const bool was = Filling;
    Filling = true;
    makNotKey();
    const bool levelOk = level >= 0 && level <= 3;
    if (levelOk && ((mode == 0 && s.KeyPart[level] >= 99) || (mode != 0 && s.KeyPart[level] > 99))) {
        MsgBox(QStringLiteral("You have to many rUvuzu already...!\r\nOnly 99 rUvuzu per section are allowed.\r\n"
                              "Your current section is {")
                   + s.NoteKeyText + u'}',
               kBox);
        Filling = was;
        return;
    }
    if (mode == 0 && levelOk) {
        ++s.KeyPart[level];
        for (int i = 0; i < level; ++i)
            s.KeyPart[i] = 0;
    }
    makNotKey();
    addNotRef();
    const QString entry = s.NoteKey8 + QStringLiteral("<:") + txtRefex->text() + QStringLiteral(":>") + kCrLf + noteBoxText();
    bool added = false;
    if (!Notes.contains(s.NoteKey8)) {
        // Placed after the note shown before; when that one is gone, at the end.
        added = Notes.insertAfter(s.PrevKey8, s.NoteKey8, entry) || Notes.add(s.NoteKey8, entry);
    }
    s.NoteIndex = int16_t(Notes.position(s.NoteKey8));
    if (added) {
        s.EditOn = true;
        seeCurNot();
    } else {
        seeCurNot();
        MsgBox(QStringLiteral("Section {") + s.NoteKeyText
                   + QStringLiteral("} Already Exists..!\r\nScroll to the end with blue <Down> button\r\n"
                                    "until you reach the end, then click on <Add>,\r\n"
                                    "or keep clinking on <Add> until end is reached.  "),
               kBox);
    }
    Filling = was;
}

void frmTip::delNotEntry(int level, int mode)
{
    (void)level;
    NotesSta &s = NotesState;
    if (mode == 0) {
        getNotKey(s.NoteIndex);
        if (s.NoteIndex == 0) {
            zapNotKey();
            s.NoteIndex = 0;
        } else if (s.NoteIndex == 1) {
            Notes.removeAt(1);
            s.NoteIndex = Notes.isEmpty() ? 0 : 1;
        } else {
            Notes.removeAt(s.NoteIndex);
            --s.NoteIndex;
        }
        if (!Filling)
            s.EntryDirty = s.StoreDirty = true;
    } else {
        makNotKey();
        Notes.remove(s.NoteKey8);
        --s.NoteIndex;
        if (s.NoteIndex < 0)
            s.NoteIndex = 1;
        s.StoreDirty = true;
    }
}

void frmTip::seeNotList(int direction, int level)
{
    if (level < 0 || level > 3)
        return;
    NotesSta &s = NotesState;
    int16_t kept[4];
    for (int i = 0; i < 4; ++i)
        kept[i] = s.KeyPart[i];
    if (direction == 0)
        s.KeyPart[level] = int16_t(std::max(0, s.KeyPart[level] - 1));
    else if (direction == 1)
        s.KeyPart[level] = int16_t(std::min(99, s.KeyPart[level] + 1));
    for (int i = 0; i < level; ++i)
        s.KeyPart[i] = 0;
    makNotKey();
    if (const int at = Notes.position(s.NoteKey8)) {
        s.NoteIndex = int16_t(at);
        return;
    }
    QString text = QStringLiteral("End of ") + kind(s.UserNote) + QStringLiteral(" rUvuzu...!");
    if (SoftTest)
        text += QStringLiteral(" {") + s.NoteKeyText + QStringLiteral("} ");
    if (s.UserNote)
        text += kCrLf + QStringLiteral("To add your own rUvuzu, click on <Add>  ");
    MsgBox(text, kBox);
    for (int i = 0; i < 4; ++i)
        s.KeyPart[i] = kept[i];
    makNotKey();
}

// --- the file ---

QString frmTip::notesPath() const { return programFolder() + u'/' + kNotesFile; }

bool frmTip::LoadTips(const QString &path)
{
    NotesSta &s = NotesState;
    s.KeyParseErr = 0;
    if (path.isEmpty() || !QFileInfo(path).isFile() || !filExist(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QStringList lines = decodeNotes(file.readAll(), notesUtf8_).split(u'\n');
    file.close();
    // A final line break ends the last line; it does not start another.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);

    fmtErrs_ = {};
    dupNotes_.clear();
    int lineNo = 0;
    int next = 0;
    QString section;
    int sectionStart = 0; // 0: no section collected
    bool skipping = false;
    s.InSection = false;
    auto readLine = [&](QString &line) {
        if (next >= lines.size())
            return false;
        line = lines.at(next++);
        ++lineNo;
        if (line.size() > kNoteLineMax)
            seeFmtErr(9, lineNo, 1, line);
        return true;
    };
    QString line;
    while (readLine(line)) {
        QString keyText;
        if (isTitleLine(line, &keyText)) {
            skipping = false;
            if (s.InSection) {
                storeSection(section);
                section.clear();
                sectionStart = 0;
            }
            txt2Key(keyText);
            if (s.KeyParseErr > 0) {
                seeFmtErr(1, lineNo, 1, line);
                // A section without a usable key is skipped like any other
                // abandoned section, not collected under the key before it.
                section.clear();
                sectionStart = 0;
                skipping = true;
                continue;
            }
            QString ref;
            const bool got = readLine(ref);
            if (got && isRefLine(ref)) {
                section = s.NoteKey8 + ref + kCrLf;
                s.KeyParseErr = 0;
                s.InSection = true;
                sectionStart = int(section.size());
            } else {
                seeFmtErr(2, lineNo, 1, ref);
            }
            continue;
        }
        if (hasTitleMark(line))
            seeFmtErr(1, lineNo, 1, line);
        if (!s.InSection || skipping)
            continue;
        section += line + kCrLf;
        if (section.size() - sectionStart > kSectionTextMax) {
            section.truncate(sectionStart + kSectionTextMax);
            section += kCrLf + QStringLiteral("Errot at line number (") + QString::number(lineNo)
                + QStringLiteral(") - Text is  to long...!") + kCrLf + QStringLiteral("A Section size can not exceed ")
                + QString::number(kSectionTextMax) + QStringLiteral(" characters per section,") + kCrLf
                + QStringLiteral("this includes Carriage-Returns and Line-Feeds") + kCrLf
                + QStringLiteral("To reduce memory usage - text was truncated to ") + QString::number(kSectionTextMax)
                + QStringLiteral(" characters per section.");
            storeSection(section);
            noteMax = std::max(noteMax, int(section.size()) + 10);
            section.clear();
            s.InSection = false;
            sectionStart = 0;
        }
    }
    if (sectionStart > 0)
        storeSection(section);
    s.NoteIndex = int16_t(Notes.count());
    if (fmtErrs_.lines > 0)
        askFmtErrs();
    if (!dupNotes_.isEmpty())
        seeDupNotes();
    return true;
}

void frmTip::storeSection(const QString &entry)
{
    const QString key = entry.left(8);
    if (Notes.add(key, entry))
        return;
    // A second section under a key that an earlier one already has. A user
    // note moves to the first free number of its section, so that both texts
    // stay; a system note has only the one key, and the later section wins.
    int p[4];
    partsOf(entry, p);
    const QString was = noteKeyText(p[0], p[1], p[2], p[3]);
    if (p[3] >= 1) {
        for (int d = 1; d <= 99; ++d) {
            const QString free = noteKey8(p[0], p[1], p[2], d);
            if (Notes.add(free, free + entry.mid(8))) {
                dupNotes_ << was + QStringLiteral(" was kept as ") + noteKeyText(p[0], p[1], p[2], d);
                return;
            }
        }
    }
    // In the earlier one's place, so that the file's order stays.
    const int at = Notes.position(key);
    Notes.removeAt(at);
    Notes.insertBefore(at, key, entry);
    dupNotes_ << was + QStringLiteral(": the later section was kept");
}

void frmTip::seeDupNotes()
{
    constexpr int kShown = 8;
    QString text = QStringLiteral("The rUvuzu file holds ") + QString::number(dupNotes_.size())
        + (dupNotes_.size() == 1 ? QStringLiteral(" section") : QStringLiteral(" sections"))
        + QStringLiteral(" under a number that an earlier section already has:");
    for (int i = 0; i < dupNotes_.size() && i < kShown; ++i)
        text += kCrLf + dupNotes_.at(i);
    if (dupNotes_.size() > kShown)
        text += kCrLf + QStringLiteral("and ") + QString::number(dupNotes_.size() - kShown) + QStringLiteral(" more");
    text += kCrLf + kCrLf + notesPath();
    MsgBox(text, kBox);
}

void frmTip::seeFmtErr(int kind, int lineNumber, int fileNumber, const QString &line)
{
    (void)fileNumber;
    // Noted here and asked about once for the whole file (askFmtErrs): a
    // damaged file would otherwise raise one question per bad line. The
    // section being read is abandoned, as after a Yes.
    if (fmtErrs_.lines == 0) {
        fmtErrs_.kind = kind;
        fmtErrs_.lineNumber = lineNumber;
        fmtErrs_.line = line;
    }
    if (lineNumber != fmtErrs_.lastLine)
        ++fmtErrs_.lines;
    fmtErrs_.lastLine = lineNumber;
    NotesState.InSection = false;
    NotesState.KeyParseErr = 0;
}

void frmTip::askFmtErrs()
{
    static const char *const names[3] = {"Section ID Numbers", "Reference Line", "Title Line"};
    const int kind = fmtErrs_.kind;
    QString why;
    if (kind == 1)
        why = QString::fromLatin1(names[0]) + QStringLiteral(" - format example: <_nn.nn.nn.nn_>");
    else if (kind == 2)
        why = QString::fromLatin1(names[1]) + QStringLiteral(" - format example: <:your refence text:>");
    else if (kind == 9)
        why = QStringLiteral("Input Line Size - maximum allowed (") + QString::number(kNoteLineMax)
            + QStringLiteral(") characters.");
    // A line of a damaged file can be long and hold anything: the box shows
    // its start, in characters that can be read.
    QString shown = fmtErrs_.line.left(kNoteLineMax);
    for (QChar &c : shown)
        if ((c.category() == QChar::Other_Control && c != u'\t') || c.category() == QChar::Other_Format
            || c.category() == QChar::Other_NotAssigned || c.isSurrogate())
            c = u'?';
    QString text = QStringLiteral("Format Error on Line Number (") + QString::number(fmtErrs_.lineNumber)
        + QStringLiteral(")  ") + kCrLf + QStringLiteral("Invalid ") + why + kCrLf + QStringLiteral("Input Was: ''")
        + shown + QStringLiteral("''") + kCrLf + QStringLiteral("Number of valid sections added: (")
        + QString::number(Notes.count()) + u')' + kCrLf;
    text += QStringLiteral("Number of lines that could not be read: (") + QString::number(fmtErrs_.lines) + u')' + kCrLf
        + QStringLiteral("Continue Anyway..?");
    if (MsgBox(text, vbYesNo | vbDefaultButton1 | vbSystemModal | vbMsgBoxSetForeground) == vbNo) {
        // The program ends here; its instance record must not stay "running".
        trapErrors([] { savAppEnd(); });
        endProgram(0);
    }
}

QString frmTip::notesText()
{
    QString out;
    for (int n = 1; n <= Notes.count(); ++n) {
        const QString entry = Notes.item(n);
        int p[4];
        partsOf(entry, p);
        out += QStringLiteral("<_") + noteKeyText(p[0], p[1], p[2], p[3]) + QStringLiteral("_>") + kCrLf;
        const QString body = entry.mid(8);
        out += body;
        if (!body.endsWith(kCrLf))
            out += kCrLf;
    }
    return out;
}

void frmTip::savNots()
{
    NotesSta &s = NotesState;
    updNotEntry();
    const QString path = notesPath();
    auto fail = [&] {
        MsgBox(QStringLiteral("Error in saving rUvuzu file...!") + kCrLf + path, kBox);
        s.StoreDirty = true;
    };
    // With no notes file yet there is nothing to keep a copy of.
    if (chkBackup->isChecked() && QFileInfo::exists(path)) {
        QString name = path;
        while (QFileInfo::exists(name)) {
            ++s.BackupCount;
            name = path.left(path.size() - 4) + Format(s.BackupCount, QStringLiteral("000")) + u'.' + path.right(3);
        }
        if (!QFile::copy(path, name)) {
            fail();
            return;
        }
    }
    // Written beside the old file and renamed over it, so that a failed write
    // never leaves a truncated notes file.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(encodeNotes(notesText(), notesUtf8_)) < 0 || !out.commit()) {
        fail();
        return;
    }
    s.StoreNew = s.EntryDirty = s.StoreDirty = false;
    updNotBtns();
}

void frmTip::seeNoNotsFile()
{
    zapNotKey();
    const bool was = Filling;
    Filling = true;
    txtRefex->setText(QStringLiteral("Error - rUvuzu file missing"));
    setNoteBoxText(QStringLiteral("Help rUvuzu file is mising...\r\n\r\nDirectory Location,\r\n''") + programFolder()
                   + QStringLiteral("''\r\n\r\nMissing File Name,\r\n''") + kNotesFile
                   + QStringLiteral("''\r\n\r\nFor help, ask whoever installed Vantrell for you,\r\n"
                                    "or try to find the missing file.\r\n"
                                    "You can always download a new copy of this software\r\nfrom ''")
                   + resourcesFolder() + QStringLiteral("''"));
    Filling = was;
    updNotEntry();
    NotesState.NoteIndex = 1;
    NotesState.StoreDirty = false;
}

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
        QPointer<frmTip> w(this);
        hide();
        setWindowModality(Qt::ApplicationModal);
        show();
        raise();
        activateWindow();
        for (frmTip *raw = w.data(); raw && raw->isVisible(); raw = w.data())
            doEvents(50);
        if (frmTip *raw = w.data())
            raw->setWindowModality(Qt::NonModal);
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

void frmTip::buildGoTo()
{
    fraGoTo = new QFrame(fraEdit[1]);
    fraGoTo->setObjectName(QStringLiteral("fraGoTo"));
    auto *row = new QHBoxLayout(fraGoTo);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    const char *const part[4] = {"d", "c", "b", "a"};
    auto keyBoxes = [this, &part](QLineEdit **boxes, const QString &key, const QString &prefix) {
        for (int i = 0; i < 4; ++i) {
            boxes[i] = new QLineEdit(QStringLiteral("00"), fraGoTo);
            boxes[i]->setObjectName(prefix + QStringLiteral("_%1").arg(i));
            boxes[i]->setMaxLength(2);
            boxes[i]->setFixedWidth(TwipsToPixels(330));
            boxes[i]->setAccessibleName(QStringLiteral("Key ") + key + QStringLiteral(" part ") + QLatin1String(part[i]));
        }
    };
    keyBoxes(txtAGoTo, QStringLiteral("A"), QStringLiteral("txtAGoTo"));
    keyBoxes(txtBGoTo, QStringLiteral("B"), QStringLiteral("txtBGoTo"));
    const char *const ops[4] = {"T", "G", "-", "+"};
    const char *const tips[4] = {"Take the current key into key ", "Go to key ", "Delete the note under key ",
                                 "Add a section under key "};
    for (int i = 0; i < 8; ++i) {
        const QString key = i < 4 ? QStringLiteral("A") : QStringLiteral("B");
        cmdTagGo[i] = button(fraGoTo, QStringLiteral("cmdTagGo_%1").arg(i), QString::fromLatin1(ops[i % 4]),
                             QString::fromLatin1(tips[i % 4]) + key);
        cmdTagGo[i]->setFixedWidth(TwipsToPixels(300));
    }
    cmdTagMov[0] = arrow(fraGoTo, QStringLiteral("cmdTagMov_0"), "go-up", QStringLiteral("^"), QStringLiteral("Previous Entry"));
    cmdTagMov[1] = arrow(fraGoTo, QStringLiteral("cmdTagMov_1"), "go-down", QStringLiteral("v"), QStringLiteral("Next Entry"));
    auto stacked = [](QWidget *upper, QWidget *lower) {
        auto *col = new QVBoxLayout;
        col->setSpacing(1);
        col->addWidget(upper);
        col->addWidget(lower);
        return col;
    };
    row->addWidget(cmdTagGo[0]);
    for (int i = 3; i >= 0; --i)
        row->addWidget(txtAGoTo[i]);
    row->addWidget(cmdTagGo[1]);
    row->addLayout(stacked(cmdTagGo[2], cmdTagGo[3]));
    row->addLayout(stacked(cmdTagMov[0], cmdTagMov[1]));
    row->addLayout(stacked(cmdTagGo[6], cmdTagGo[7]));
    row->addWidget(cmdTagGo[4]);
    for (int i = 3; i >= 0; --i)
        row->addWidget(txtBGoTo[i]);
    row->addWidget(cmdTagGo[5]);
    row->addStretch();

    auto *grid = new QGridLayout(fraMove);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    for (int i = 0; i < 8; ++i) {
        const bool up = i < 4;
        const QString tip = (up ? QStringLiteral("Previous at part ") : QStringLiteral("Next at part "))
            + QLatin1String(part[3 - i % 4]);
        cmdMovKey[i] = arrow(fraMove, QStringLiteral("cmdMovKey_%1").arg(i), up ? "go-up" : "go-down",
                             up ? QStringLiteral("^") : QStringLiteral("v"), tip);
        grid->addWidget(cmdMovKey[i], up ? 0 : 1, i % 4);
    }
}

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
