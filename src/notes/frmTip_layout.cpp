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
