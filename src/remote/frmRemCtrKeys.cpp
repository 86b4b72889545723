// The panel's copies of the chronograph's keys.

#include "remote/frmRemCtr.h"

#include "chrono/modCroLnk.h"
#include "chrono/modCroOps.h"
#include "chrono/modCroProbe.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace vt {

namespace {

const QString kNoAnswer = QStringLiteral("\r\nChronograph did not respond.\r\nCheck your setup or connections.");

// One waiting key: its control, caption, the key as given to the engine, the
// quiet gap (0 the engine's default) and the words of its failure text.
struct WaitKey {
    const char *name;
    const char *caption;
    const char *key;
    int16_t ctrl;
    int gapMs;
    int16_t action;
    int16_t item;
};

// Deletes of a shot or string take the unit longer to answer.
constexpr WaitKey kWaitKeys[frmRemCtr::kWaitKeyRows] = {
    {"cmdKeyUp", "Shot +", "U", 1, 0, 0, 0},
    {"cmdKeyDwn", "Shot -", "D", 1, 0, 1, 0},
    {"cmdKeyRite", "String +", "R", 1, 0, 0, 1},
    {"cmdKeyLeft", "String -", "L", 1, 0, 1, 1},
    {"cmdKeyPgUpDw0", "Folder +", "K", 1, 0, 0, 2},
    {"cmdKeyPgUpDw1", "Folder -", "O", 1, 0, 1, 2},
    {"cmdKeyType0", "Type", "T", 0, 0, 2, 3},
    {"cmdKeyType1", "Units", "U", 0, 0, 2, 4},
    {"cmdDelete0", "Delete Shot", "^", 1, 1900, 4, 6},
    {"cmdDelete1", "Delete String", "_", 1, 1900, 4, 7},
    {"cmdDelete2", "Delete Folder", "A", 1, 0, 4, 8},
    {"cmdUnDelete0", "Undelete Shot", "\\", 1, 1900, 5, 6},
    {"cmdUnDelete1", "Undelete String", "]", 1, 1900, 5, 7},
    {"cmdUnDelete2", "Undelete Folder", "B", 1, 0, 5, 8},
};

const char *const kActions[6] = {"Increment", "Decrement", "Change", "Retrieve", "Delete", "Undelete"};
const char *const kItems[9] = {"Shot", "String", "Folder", "Data-Type", "Units", "Status", "Shot", "String", "Folder"};

void sndRaw(char c, int16_t ctrl)
{
    int16_t code = static_cast<int16_t>(static_cast<unsigned char>(c));
    sndKeyCode(code, ctrl);
}

} // namespace

QGroupBox *frmRemCtr::buildKeys()
{
    auto *fra = new QGroupBox(QStringLiteral("Keys"), this);
    fra->setObjectName(QStringLiteral("fraKeys"));
    auto *grid = new QGridLayout(fra);
    const QString where = QStringLiteral("frmRemCtr-");
    auto row = [this](const char *name, const char *caption, const char *tip, void (frmRemCtr::*fn)()) {
        return ControlRow{QString::fromLatin1(name), QString::fromLatin1(caption), [this, fn] { (this->*fn)(); },
                          QString::fromLatin1(tip)};
    };
    // The operations first: they are what a user reaches for most.
    const auto ops = controls::make<QPushButton>(
        fra,
        {row("cmdKeyStart", "Start", "Sensors on, Shoot mode", &frmRemCtr::cmdKeyStart_Click),
         row("cmdKeyStop", "Stop", "Sensors off, Edit mode", &frmRemCtr::cmdKeyStop_Click),
         row("cmdKeyRemo", "Remote", "Review the unit's data", &frmRemCtr::cmdKeyRemo_Click),
         row("cmdKeyCalibrate", "Calibrate", "Calibrate the sensors", &frmRemCtr::cmdKeyCalibrate_Click),
         row("cmdQStatus", "Status", "Read the status and open the chronograph setup", &frmRemCtr::cmdQStatus_Click)},
        where);
    cmdKeyStart = ops[0];
    cmdKeyStop = ops[1];
    cmdKeyRemo = ops[2];
    cmdKeyCalibrate = ops[3];
    cmdQStatus = ops[4];
    auto *opsRow = new QHBoxLayout;
    controls::addAll(opsRow, controls::widgets(ops));
    grid->addLayout(opsRow, 0, 0, 1, 3);

    // The waiting keys, as the key table lists them: the moves two a row, then
    // the deletes and undeletes three a row.
    // Each of these keys does its own thing, so an error in one is reported
    // under its own whole name, digits and all.
    auto key = [fra, &where](const ControlRow &r) {
        auto *b = new QPushButton(fra);
        controls::dress(b, r, where + r.name + QStringLiteral("_Click"));
        return b;
    };
    QPushButton *rows[kWaitKeyRows];
    for (int r = 0; r < kWaitKeyRows; ++r)
        rows[r] = key({QString::fromLatin1(kWaitKeys[r].name), QString::fromLatin1(kWaitKeys[r].caption),
                       [this, r] { sndWaitKey(r); }});
    QPushButton **places[kWaitKeyRows] = {&cmdKeyUp,        &cmdKeyDwn,       &cmdKeyRite,      &cmdKeyLeft,
                                         &cmdKeyPgUpDw[0], &cmdKeyPgUpDw[1], &cmdKeyType[0],   &cmdKeyType[1],
                                         &cmdDelete[0],    &cmdDelete[1],    &cmdDelete[2],    &cmdUnDelete[0],
                                         &cmdUnDelete[1],  &cmdUnDelete[2]};
    for (int r = 0; r < kWaitKeyRows; ++r)
        *places[r] = rows[r];
    controls::addGrid(grid, {rows, rows + 8}, 2, 1);
    controls::addGrid(grid, {rows + 8, rows + kWaitKeyRows}, 3, 5);

    const auto modes = controls::makeArray<QPushButton>(
        fra, QStringLiteral("cmdCroMode"), {QStringLiteral("Data"), QStringLiteral("Stats"), QStringLiteral("Menu")},
        [this](int i) { cmdCroMode_Click(i); }, where + QStringLiteral("cmdCroMode_Click"));
    std::copy(modes.begin(), modes.end(), cmdCroMode);
    controls::addGrid(grid, controls::widgets(modes), 3, 7);

    // Esc and the raw keys, which wait for nothing.
    cmdKeyEsc = controls::make<QPushButton>(fra, row("cmdKeyEsc", "Esc", "Send Esc", &frmRemCtr::cmdKeyEsc_Click), where);
    std::vector<QPushButton *> raws;
    for (const ControlRow &r : {row("cmdRawKey0", "Q", "Send Q (status)", &frmRemCtr::sndKeyQ),
                                row("cmdRawKey1", "A", "Send A (archery)", &frmRemCtr::sndKeyA),
                                row("cmdRawKey2", "T", "Send T (data type)", &frmRemCtr::sndKeyT),
                                row("cmdRawKey3", "F", "Send F (rapid fire)", &frmRemCtr::sndKeyF),
                                row("cmdRawKey4", "1", "Send 1 (string dump)", &frmRemCtr::sndKey1),
                                row("cmdRawKey5", "2", "Send 2 (folder dump)", &frmRemCtr::sndKey2),
                                row("cmdRawKey6", "3", "Send 3 (eDisk dump)", &frmRemCtr::sndKey3)})
        raws.push_back(key(r));
    std::copy(raws.begin(), raws.end(), cmdRawKey);
    auto *raw = new QHBoxLayout;
    raw->addWidget(cmdKeyEsc);
    controls::addAll(raw, controls::widgets(raws));
    grid->addLayout(raw, 8, 0, 1, 3);
    return fra;
}

void frmRemCtr::chkKeyOk(bool &ok)
{
    // Only the KT4 speaks this key protocol; another device would take the
    // bytes for something else.
    if (Device != 0) {
        nbrNotes().seeMsgNote(8, 1);
        ok = false;
        return;
    }
    if (frmMDI::isLoaded() && frmMDI::instance()->isMinimized())
        frmMDI::instance()->showNormal();
    if (!RxRoute[1])
        nbrNotes().seeMsgNote(8, 0);
    ok = RxRoute[1];
}

void frmRemCtr::seeCroFail(int16_t &action, int16_t &item, int16_t &showLink)
{
    if (!CroLnk.croErr)
        return;
    QString text = QStringLiteral("Failed to ");
    if (action >= 0 && action < 6)
        text += QString::fromLatin1(kActions[action]);
    text += u' ';
    if (item >= 0 && item < 9)
        text += QString::fromLatin1(kItems[item]);
    if (showLink == 1)
        text += kNoAnswer + QStringLiteral("\r\ncLinkErr = ") + QString::number(CroLnk.croLinkErr);
    MsgBox(text, vbOKOnly | vbSystemModal | vbMsgBoxSetForeground);
}

QString frmRemCtr::waitKeyName(int row)
{
    return row >= 0 && row < kWaitKeyRows ? QString::fromLatin1(kWaitKeys[row].name) : QString();
}

QString frmRemCtr::waitKeyCaption(int row)
{
    return row >= 0 && row < kWaitKeyRows ? QString::fromLatin1(kWaitKeys[row].caption) : QString();
}

void frmRemCtr::sndWaitKey(int row)
{
    if (row < 0 || row >= kWaitKeyRows)
        return;
    bool ok = false;
    chkKeyOk(ok);
    if (!ok)
        return;
    CroTaskGuard task;
    if (task.refused())
        return;
    const WaitKey &k = kWaitKeys[row];
    sndCroKey(k.ctrl, QString::fromLatin1(k.key), 0, k.gapMs);
    int16_t action = k.action, item = k.item, showLink = 1;
    seeCroFail(action, item, showLink);
}

namespace {
void setMode(int16_t mode)
{
    static const char *const keys[3] = {"D", "S", "M"};
    static const char *const words[3] = {"Data", "Stats", "Menu"};
    static const int expects[3] = {1, 2, 0};
    if (mode < 0 || mode > 2)
        return;
    sndCroKey(0, QString::fromLatin1(keys[mode]), expects[mode], 0);
    if (CroLnk.croErr)
        MsgBox(QStringLiteral("Failed to set ") + QString::fromLatin1(words[mode]) + QStringLiteral(" Mode..!") +
                   kNoAnswer,
               vbOKOnly | vbSystemModal | vbMsgBoxSetForeground);
}
} // namespace

void frmRemCtr::cmdSetMod(int16_t mode) { setMode(mode); }

void frmRemCtr::cmdCroMode_Click(int index)
{
    CroTaskGuard task;
    if (task.refused())
        return;
    setMode(static_cast<int16_t>(index));
}

// The operations are the Chrono menu's own: the same checks, notices and
// log lines whichever way the user starts them.
void frmRemCtr::cmdKeyStart_Click() { runTask(croStart); }
void frmRemCtr::cmdKeyStop_Click() { runTask(croStop); }
void frmRemCtr::cmdKeyRemo_Click() { runTask(croReview); }

void frmRemCtr::cmdKeyCalibrate_Click()
{
    // The calibration asks first; the sensors end armed on success.
    runTask([] {
        doCalib(0);
        updAllSta();
    });
}

// The setup window's own opening reads the status inside the busy lock.
void frmRemCtr::cmdQStatus_Click() { nbrRemote().shoCroSetup(); }

void frmRemCtr::cmdKeyEsc_Click()
{
    CroTaskGuard task;
    if (task.refused())
        return;
    sndRaw(27, 0);
}

void frmRemCtr::sndKeyQ()
{
    CroTaskGuard task;
    if (task.refused())
        return;
    sndRaw('Q', 0);
}

void frmRemCtr::sndKeyQ2() { sndRaw('Q', 0); }
void frmRemCtr::sndKeyA() { sndRaw('A', 0); }
void frmRemCtr::sndKeyT() { sndRaw('T', 0); }
void frmRemCtr::sndKey1() { sndRaw('1', 0); }
void frmRemCtr::sndKey2() { sndRaw('2', 0); }
void frmRemCtr::sndKey3() { sndRaw('3', 0); }
void frmRemCtr::sndKeyF() { sndRaw('F', 0); }

// The undelete keys of a shot, a string, a folder, as the unit takes them.
void frmRemCtr::sndKeyUnd(int index)
{
    static const char keys[3] = {'\\', ']', 'B'};
    if (index >= 0 && index < 3)
        sndRaw(keys[index], 1);
}

} // namespace vt
