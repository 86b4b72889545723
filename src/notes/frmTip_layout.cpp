// The notes window's controls: the move buttons, the note box, the note and
// question panels, the options and editing panels and the go-to keys.
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

namespace {

// A button named after its caption, or after its tip where the caption is a
// sign.
QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const QString &tip = {})
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    b->setAccessibleName(caption.isEmpty() || caption.size() < 2 ? tip : QString(caption).remove(u'&'));
    return b;
}

// A button that shows the theme's icon, or text where the theme has none, and
// is named after its tip.
QPushButton *arrow(QWidget *parent, const QString &name, const char *icon, const QString &text, const QString &tip)
{
    QPushButton *b = button(parent, name, QString(), tip);
    const QIcon ic = icon ? QIcon::fromTheme(QString::fromLatin1(icon)) : QIcon();
    if (ic.isNull())
        b->setText(text);
    else
        b->setIcon(ic);
    b->setAccessibleName(tip);
    return b;
}

// One button of a group: the member it fills, its icon (none: its text is
// its caption), its text and its tip.
struct ArrowRow {
    QPushButton *&slot;
    const char *name;
    const char *icon;
    const char *text;
    const char *tip;
};

void makeArrows(QWidget *parent, QBoxLayout *row, std::initializer_list<ArrowRow> rows)
{
    for (const ArrowRow &r : rows) {
        r.slot = arrow(parent, QString::fromLatin1(r.name), r.icon, QString::fromLatin1(r.text), QString::fromLatin1(r.tip));
        row->addWidget(r.slot);
    }
}

// A control array of buttons captioned from a list, laid in a row.
void makeButtons(QPushButton **made, QWidget *parent, QBoxLayout *row, const char *stem,
                 std::initializer_list<const char *> captions)
{
    int i = 0;
    for (const char *caption : captions) {
        made[i] = button(parent, QLatin1String(stem) + QString::number(i), QString::fromLatin1(caption));
        row->addWidget(made[i]);
        ++i;
    }
}

// A check box or option button with its place in a grid.
template <class B>
struct ChoiceRow {
    B *&slot;
    const char *name;
    const char *caption;
    const char *tip;
    int row, column;
};

template <class B>
void makeChoices(QWidget *parent, QGridLayout *grid, std::initializer_list<ChoiceRow<B>> rows)
{
    for (const ChoiceRow<B> &r : rows) {
        r.slot = new B(QString::fromLatin1(r.caption), parent);
        r.slot->setObjectName(QString::fromLatin1(r.name));
        if (r.tip)
            r.slot->setToolTip(QString::fromLatin1(r.tip));
        grid->addWidget(r.slot, r.row, r.column);
    }
}

QFrame *frame(QWidget *parent, const char *name)
{
    auto *f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    return f;
}

} // namespace

void frmTip::build()
{
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);
    top->setSpacing(3);

    // Move buttons: back a section, back a chapter, the user notes, forward.
    auto *moves = new QHBoxLayout;
    makeArrows(this, moves,
               {{cmdMove[0], "cmdMove_0", "go-first", "<<", "Previous Section"},
                {cmdMove[1], "cmdMove_1", "go-previous", "<", "Previous Chapter"},
                {cmdUMove[0], "cmdUMove_0", "go-up", "-", "Previous User Note"},
                {cmdUMove[1], "cmdUMove_1", nullptr, "?", "Question"},
                {cmdUMove[2], "cmdUMove_2", "go-down", "+", "Next User Note"},
                {cmdMove[2], "cmdMove_2", "go-next", ">", "Next Chapter"},
                {cmdMove[3], "cmdMove_3", "go-last", ">>", "Next Section"}});
    moves->addStretch();
    top->addLayout(moves);

    poxNotex = frame(this, "poxNotex");
    auto *noteLay = new QVBoxLayout(poxNotex);
    noteLay->setContentsMargins(2, 2, 2, 2);
    txtNotex = new QPlainTextEdit(poxNotex);
    txtNotex->setObjectName(QStringLiteral("txtNotex"));
    txtNotex->setAccessibleName(QStringLiteral("Note"));
    txtNotex->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    noteLay->addWidget(txtNotex);
    top->addWidget(poxNotex, 1);

    // Panel 0: the note buttons.
    fraUsrBoss[0] = frame(this, "fraUsrBoss_0");
    auto *btns = new QHBoxLayout(fraUsrBoss[0]);
    btns->setContentsMargins(0, 0, 0, 0);
    makeButtons(cmdEdit, fraUsrBoss[0], btns, "cmdEdit_", {"Add", "Edit", "Delete", "Undo", "Save", "Help"});
    btns->addStretch();
    cmdOption = button(fraUsrBoss[0], QStringLiteral("cmdOption"), QStringLiteral("Option"), QStringLiteral("Setup Options"));
    cmdClose = button(fraUsrBoss[0], QStringLiteral("cmdClose"), QStringLiteral("Close"), QStringLiteral("Close Notes"));
    btns->addWidget(cmdOption);
    btns->addWidget(cmdClose);
    top->addWidget(fraUsrBoss[0]);

    // Panel 1: the question.
    fraUsrBoss[1] = frame(this, "fraUsrBoss_1");
    auto *ask = new QHBoxLayout(fraUsrBoss[1]);
    ask->setContentsMargins(0, 0, 0, 0);
    labPrmpt = new QLabel(fraUsrBoss[1]);
    labPrmpt->setObjectName(QStringLiteral("labPrmpt"));
    labPrmpt->setWordWrap(true);
    ask->addWidget(labPrmpt, 1);
    makeButtons(cmdAnsr, fraUsrBoss[1], ask, "cmdAnsr_", {"Cancel", "No", "Yes", "Help"});
    fraUsrBoss[1]->hide();
    top->addWidget(fraUsrBoss[1]);

    buildOptions();
    top->addWidget(fraEdit[0]);
    buildEditing();
    top->addWidget(fraEdit[1]);
    fraEdit[0]->hide();
    fraEdit[1]->hide();
    fraMove->hide();
    fraAddDel->hide();
    connectHandlers();
    resize(TwipsToPixels(7200), TwipsToPixels(3350));
}

// Panel 0 below the note: the start-up options and the hidden switches.
void frmTip::buildOptions()
{
    fraEdit[0] = frame(this, "fraEdit_0");
    fraEdit[0]->setFrameShape(QFrame::StyledPanel);
    auto *opts = new QGridLayout(fraEdit[0]);
    opts->addWidget(new QLabel(QStringLiteral("On Stratup"), fraEdit[0]), 0, 0);
    const char *warnTip = "Warning On for Important Actions";
    // The start-up note tells every user to clear "Show iNotes on Startup"
    // under Option, so it lies in the options layout that every user level
    // reaches.
    makeChoices<QCheckBox>(fraEdit[0], opts,
                           {{chkWarningOn[0], "chkWarningOn_0", "&System Warnings", warnTip, 1, 0},
                            {chkWarningOn[1], "chkWarningOn_1", "&Chrono Warnings", warnTip, 2, 0},
                            {chkCroDetect, "chkCroDetect", "&Auto Detect Chrono", "Automaticaly Detect Chrono On Startup", 3, 0}});
    makeChoices<QRadioButton>(fraEdit[0], opts,
                              {{optCroSelect[0], "optCroSelect_0", "Select First Free Chrono", nullptr, 1, 1},
                               {optCroSelect[1], "optCroSelect_1", "Let &Me Select My Own Chrono", nullptr, 2, 1}});
    makeChoices<QCheckBox>(fraEdit[0], opts, {{chkVipNotes, "chkVipNotes", "Show i&Notes on Startup", nullptr, 3, 1}});
    for (int i = 0; i < 2; ++i) {
        // Both off is a state of its own ("Select Last Used").
        optCroSelect[i]->setAutoExclusive(false);
        QRadioButton *other = optCroSelect[1 - i];
        connect(optCroSelect[i], &QRadioButton::clicked, this, [other](bool on) {
            if (on)
                other->setChecked(false);
        });
    }
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
}

// Panel 1 below the note: editing, the key frame, the add/delete grid and the
// go-to keys.
void frmTip::buildEditing()
{
    fraEdit[1] = frame(this, "fraEdit_1");
    fraEdit[1]->setFrameShape(QFrame::StyledPanel);
    auto *ed = new QGridLayout(fraEdit[1]);
    txtRefex = new QLineEdit(fraEdit[1]);
    txtRefex->setObjectName(QStringLiteral("txtRefex"));
    txtRefex->setAccessibleName(QStringLiteral("Reference"));
    ed->addWidget(txtRefex, 0, 0, 1, 4);
    makeChoices<QCheckBox>(fraEdit[1], ed,
                           {{chkRefSee, "chkRefSee", "Reference", nullptr, 1, 0},
                            {chkBackup, "chkBackup", "Backup rUvuzu", nullptr, 1, 1}});
    cmdRecMods = button(fraEdit[1], QStringLiteral("cmdRecMods"), QStringLiteral("Record Changes"));
    ed->addWidget(cmdRecMods, 2, 0);
    makeChoices<QCheckBox>(fraEdit[1], ed, {{chkExit, "chkExit", "", "Close Notes", 2, 1}});
    chkExit->setAccessibleName(QStringLiteral("Close Notes"));
    // The key frame (its arrows come with the go-to tools) and the add/delete
    // grid, whose columns stand for the parts a, b, c, d.
    fraMove = frame(fraEdit[1], "fraMove");
    ed->addWidget(fraMove, 2, 2);
    fraAddDel = frame(fraEdit[1], "fraAddDel");
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
}

// Every control's handler, run guarded and reported under its name.
void frmTip::connectHandlers()
{
    const auto wire = [this](QAbstractButton *b, const char *handler, std::function<void()> body) {
        const QString where = QStringLiteral("frmTip-") + QLatin1String(handler);
        connect(b, &QAbstractButton::clicked, this, [where, body = std::move(body)] { guarded(where, body); });
    };
    // The control arrays: each button's click runs its handler with its index.
    struct ArrayClick {
        QPushButton *const *buttons;
        int count;
        const char *handler;
        void (frmTip::*run)(int);
    };
    const ArrayClick arrays[] = {
        {cmdMove, 4, "cmdMove_Click", &frmTip::cmdMove_Click},
        {cmdUMove, 3, "cmdUMove_Click", &frmTip::cmdUMove_Click},
        {cmdEdit, 6, "cmdEdit_Click", &frmTip::cmdEdit_Click},
        {cmdAddDel, 8, "cmdAddDel_Click", &frmTip::cmdAddDel_Click},
        {cmdAnsr, 4, "cmdAnsr_Click", &frmTip::cmdAnsr_Click},
        {cmdTagGo, 8, "cmdTagGo_Click", &frmTip::cmdTagGo_Click},
        {cmdMovKey, 8, "cmdMovKey_Click", &frmTip::cmdMovKey_Click},
        {cmdTagMov, 2, "cmdTagMov_Click", &frmTip::cmdTagMov_Click},
        {fraMake, 12, "fraMake_Click", &frmTip::fraMake_Click},
    };
    for (const ArrayClick &a : arrays)
        for (int i = 0; i < a.count; ++i)
            wire(a.buttons[i], a.handler, [this, run = a.run, i] { (this->*run)(i); });
    struct Click {
        QAbstractButton *button;
        const char *handler;
        void (frmTip::*run)();
    };
    const Click clicks[] = {
        {cmdRecMods, "cmdRecMods_Click", &frmTip::cmdRecMods_Click},
        {cmdOption, "cmdOption_Click", &frmTip::cmdOption_Click},
        {cmdClose, "cmdClose_Click", &frmTip::cmdClose_Click},
        {chkExit, "chkExit_Click", &frmTip::chkExit_Click},
        {chkRefSee, "chkRefSee_Click", &frmTip::chkRefSee_Click},
    };
    for (const Click &c : clicks)
        wire(c.button, c.handler, [this, run = c.run] { (this->*run)(); });
    connect(txtRefex, &QLineEdit::textChanged, this,
            [this] { guarded(QStringLiteral("frmTip-txtRefex_Change"), [this] { noteChanged(); }); });
    connect(txtNotex, &QPlainTextEdit::textChanged, this,
            [this] { guarded(QStringLiteral("frmTip-txtNotex_Change"), [this] { noteChanged(); }); });
}

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

} // namespace vt
