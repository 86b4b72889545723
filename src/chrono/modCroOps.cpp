#include "chrono/modCroOps.h"

#include "chrono/modCroCox.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroMenu.h"
#include "chrono/modCroProbe.h"
#include "chrono/modCroStatus.h"
#include "chrono/modCroWake.h"
#include "editor/frmDocument.h"
#include "editor/modCapFmt.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modErrMsgs.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modPrgrs.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>

namespace vt {

namespace {

const QString crlf = QStringLiteral("\r\n");

// The running operation tests croAbortReq between its steps; without it an
// abort request is refused with a message.
bool croStopTaken = false;

const QString noResponse = QStringLiteral("\r\nChronograph did not respond.\r\nCheck your setup or connections.");

constexpr int kAlertStyle = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;

// A line under way is waited for while its characters keep coming (the
// engine's default quiet gap), at most as long as a long line takes at 4800 baud.
constexpr int kLineQuietMs = 250;
constexpr int kLineBoundMs = 2000;

// Shoot mode goes off for an exchange with the unit; what arrived while it
// was on is in the CFile first, and a shot line under way arrives whole
// before the first key goes out (or the port is opened again).
void shootOff()
{
    if (RxRoute[1]) {
        waitCFileLineEnd(kLineQuietMs, kLineBoundMs);
        flushCFileFeed();
    }
    RxRoute[1] = false;
}

// Holds Shoot mode off for the length of an operation and puts back the mode
// it should end in on every way out: the mode it found unless the operation
// says otherwise.
class ShootHold {
public:
    ShootHold() : saved_(RxRoute[1]), end_(RxRoute[1]) { shootOff(); }
    ~ShootHold() { RxRoute[1] = end_; }
    ShootHold(const ShootHold &) = delete;
    ShootHold &operator=(const ShootHold &) = delete;
    bool saved() const { return saved_; }
    void endIn(bool shoot) { end_ = shoot; }

private:
    bool saved_;
    bool end_;
};

void endProgress() { endPrgrs(); }

// The busy progress of an operation, put away on every way out.
class BusyProgress {
public:
    explicit BusyProgress(const QString &caption = {}, int32_t steps = 0)
    {
        if (!caption.isEmpty())
            setPrgrsCaption(caption);
        setBusyPrgrs(1);
        if (steps > 0) {
            setPrgrsRange(0, steps);
            setPrgrsMode(1);
        }
    }
    ~BusyProgress()
    {
        setPrgrsMode(0);
        setBusyPrgrs(0);
    }
    BusyProgress(const BusyProgress &) = delete;
    BusyProgress &operator=(const BusyProgress &) = delete;
};

// An operation that tests croAbortReq between its steps says so while it runs.
class StopTaken {
public:
    StopTaken() : was_(croStopTaken) { croStopTaken = true; }
    ~StopTaken() { croStopTaken = was_; }
    StopTaken(const StopTaken &) = delete;
    StopTaken &operator=(const StopTaken &) = delete;

private:
    bool was_;
};

// The unit's calibration answer: "CAL:" with its values, or "ERR=Cal".
void readCalibration(const QString &reply)
{
    auto number = [&reply](const QString &tag, double &value) {
        const qsizetype at = reply.indexOf(tag);
        if (at < 0)
            return false;
        qsizetype end = at + tag.size();
        while (end < reply.size() && (reply.at(end).isDigit() || reply.at(end) == u'.'))
            ++end;
        bool ok = false;
        value = reply.mid(at + tag.size(), end - at - tag.size()).toDouble(&ok);
        return ok;
    };
    double v = 0;
    if (number(QStringLiteral("Cal="), v) && v >= INT16_MIN && v <= INT16_MAX)
        CroSta.croCalVal = int16_t(v);
    if (number(QStringLiteral("Res="), v))
        CroSta.croCalRes = float(v);
}

// The link error of the last exchange, in the words of a failed review.
void alertNoResponse()
{
    MsgBox(QStringLiteral("cLinkErr=") + QString::number(CroLnk.croLinkErr) + noResponse, kAlertStyle);
}

// Sends "D" on its own: the unit leaves what it is doing for its data prompt.
void sendDataKey()
{
    int16_t code = 'D';
    if (nbrSerial().linkPortOpen())
        sndKeyCode(code, 0);
}

// One of the three menu switches.
struct Switch {
    const char *captionOn;
    const char *captionOff;
    const char *result;
    bool CroStatus::*flag;
    bool (*setter)(int16_t on);
};

const Switch kRapidFire = {"Turn Rapid Fire On", "Turn Rapid Fire Off", "Rapid fire is now turned ",
                           &CroStatus::croRFirOn, &setRFirOnOff};
const Switch kArchery = {"Turn Archery On", "Turn Archery Off", "Archery is now turned ", &CroStatus::croArcOn,
                         &setArcOnOff};
const Switch kSensors = {"Turn Sensors On", "Turn Sensors Off", "Sensors are now turned ", &CroStatus::croSnsOn,
                         &setSnsOnOff};

// Steps the sensitivity cell towards `level` and takes the unit back to its
// data prompt: the level reached, or -1 when the unit did not answer as it
// should. A cell that steps past the level stops on the nearer value.
int16_t stpSnsLevel(int16_t level)
{
    if (!gotoMenPos(1, 0, 2))
        return -1;
    bool ok = false;
    int value = getMenVal().toInt(&ok);
    if (!ok)
        return -1;
    // One step a turn; the cell's whole range is 0 to 100.
    for (int turn = 0; turn <= 100 && value != level; ++turn) {
        if (croAbortReq) {
            croOpAborted = true;
            break;
        }
        const bool up = value < level;
        if (!stpMenVal(up ? 1 : 0))
            return -1;
        const int next = getMenVal().toInt(&ok);
        if (!ok)
            return -1;
        if (next == value)
            break; // the end of the cell's range
        if (up ? next > level : next < level) {
            if (std::abs(next - level) > std::abs(value - level)) {
                if (!stpMenVal(up ? 0 : 1))
                    return -1;
                value = getMenVal().toInt(&ok);
                if (!ok)
                    return -1;
            } else {
                value = next;
            }
            break;
        }
        value = next;
    }
    CroSta.croStaOk = false;
    sndCroKey(0, QStringLiteral("D"), 1, 0);
    return CroLnk.croErr ? -1 : int16_t(value);
}

void runSwitch(const Switch &sw, bool on)
{
    const bool sensors = &sw == &kSensors;
    if (chkCFileOpen() != 0) {
        updAllSta();
        return;
    }
    {
        ShootHold shoot;
        if (croReady(1) != croIsReady) {
            if (!sensors)
                CroSta.croStaOk = false;
        } else {
            BusyProgress progress(QString::fromLatin1(on ? sw.captionOn : sw.captionOff), 12);
            chkStatus(0);
            if (sw.setter(on ? 1 : 0) && !CroLnk.croErr) {
                CroSta.*sw.flag = on;
                plogMsg(QString::fromLatin1(sw.result) + strOnOff(on).trimmed());
                // Armed sensors record into the CFile from now on.
                if (sensors && on)
                    shoot.endIn(true);
                chkReCal();
            } else {
                plogMsg(QStringLiteral("Communication error - Aborting..!"));
            }
        }
    }
    if (CroSta.croSnsOn)
        seeEditHint();
    updAllSta();
}

} // namespace

int16_t chkKT4Only(int16_t mode)
{
    if (Device == 0)
        return 0;
    if (mode == 1)
        seeOnlyKT4();
    return 1;
}

int16_t croReady(int16_t mode)
{
    int16_t why = croIsReady;
    if (chkKT4Only(0) != 0)
        why = croNotKT4;
    else if (!nbrSerial().linkPortOpen())
        why = croNoLink;
    else if (!croWake())
        why = croNoAnswer;
    if (mode == 1) {
        switch (why) {
        case croNotKT4: seeOnlyKT4(); break;
        case croNoLink: seeNoPort(); break;
        case croNoAnswer: seeNoCro(); break;
        default: break;
        }
    }
    return why;
}

void chkStatus(int16_t withProgress)
{
    if (CroSta.croStaOk)
        return;
    auto read = [] {
        getCroStatus();
        if (!CroSta.croStaOk && !abortTask)
            getCroStatus();
    };
    if (withProgress == 1) {
        BusyProgress progress;
        read();
    } else {
        read();
    }
}

bool seeCroStatus(int16_t withProgress)
{
    CroSta.croStaOk = false;
    chkStatus(withProgress);
    if (CroSta.croStaOk)
        logCroStat();
    return CroSta.croStaOk;
}

bool doCalib(int16_t mode)
{
    CroSta.croCalOk = false;
    if (mode == 0 && nbrNotes().askMsgNote(5, 0) != vbYes)
        return false;
    if (chkKT4Only(1) != 0)
        return false;
    BusyProgress progress(QStringLiteral("Calibrating KT4"));
    plogMsg(QStringLiteral("Calibrating KT4 - keep the sensors clear..."));
    // The unit is woken and at its data prompt before it calibrates.
    sndCroKey(1, QStringLiteral("["), 0, 0);
    if (!CroLnk.croErr)
        sndCroKey(0, QStringLiteral("C"), 0, 0);
    const QString reply = CroLnk.rxRecent;
    const bool failedCal = reply.contains(QLatin1String("ERR=Cal"));
    if (CroLnk.croLinkErr == croUserAbort && !croOpAborted) {
        // The abort came through the busy lock: the unit still calibrates.
        croOpAborted = true;
        sendDataKey();
    }
    if (croOpAborted) {
        CroSta.croStaOk = false;
        seeAborted();
        return false;
    }
    if (CroLnk.croErr || failedCal || !reply.contains(QLatin1String("CAL:"))) {
        CroSta.croStaOk = false;
        if (failedCal) {
            plogMsg(QStringLiteral("KT4 calibration failed (ERR=Cal)."));
            plogMsg(QStringLiteral("Check that nothing blocks the sensors and the light is even, then try again."));
        } else {
            plogMsg(QStringLiteral("KT4 did not answer the calibration request."));
            seeLinkErr();
        }
        return false;
    }
    readCalibration(reply);
    // A calibrated unit arms its sensors.
    CroSta.croCalOk = true;
    CroSta.croSnsOn = true;
    croReCal = false;
    plogMsg(QStringLiteral("KT4 has been calibrated - Cal=") + QString::number(CroSta.croCalVal));
    return true;
}

void croStart()
{
    CroSta.croStaOk = false;
    shootOff();
    if (chkCFileOpen() != 0) {
        updAllSta();
        return;
    }
    logCroEvt(1);
    logDevPort();
    bool shoot = false;
    if (!rstComPort()) {
        seeNoPort();
    } else if (Device >= 1) {
        // Other devices: their text is captured as it comes.
        CroSta.croStaOk = false;
        seeNoSupport(1);
        shoot = true;
    } else if (!croWake()) {
        seeNoCro();
        shoot = true;
    } else if (seeCroStatus(1)) {
        if (!CroSta.croSnsOn) {
            CroSta.croCalOk = false;
            const int answer = MsgBox(QStringLiteral("Sensors are turned off, ")
                                          + QStringLiteral("the unit must be calibrated again.") + crlf + crlf + u'\t'
                                          + QStringLiteral("Calibrate the unit now..?"),
                                      vbYesNo | vbQuestion | vbSystemModal | vbMsgBoxSetForeground);
            if (answer == vbYes) {
                doCalib(1);
            } else {
                if (setSnsOnOff(1) && !CroLnk.croErr)
                    CroSta.croSnsOn = true;
                seeReCal();
            }
            // The menu change left the record behind: the unit's own status
            // says whether the sensors are armed now.
            chkStatus(0);
        }
        if (!CroSta.croSnsOn)
            seeNotCal();
        croDatMode();
        shoot = true;
    } else {
        plogMsg(QStringLiteral("Failed to retrieve KT4 Status!"));
        seeNoCro();
    }
    RxRoute[1] = shoot;
    endProgress();
    updAllSta();
}

void croStop()
{
    CroSta.croStaOk = false;
    if (chkCFileOpen() != 0) {
        shootOff();
        updAllSta();
        return;
    }
    logCroEvt(2);
    logDevPort();
    shootOff();
    bool ok = false;
    if (Device == 0) {
        if (croWake()) {
            seeCroStatus(1);
            sndCroKey(1, QStringLiteral("["), 0, 0);
            if (!CroLnk.croErr) {
                sndCroKey(0, QStringLiteral("Z"), 0, 0);
                // Only the unit's own word says the sensors are off.
                ok = !CroLnk.croErr && CroLnk.rxRecent.contains(QLatin1String("Sens=OFF"));
            }
        } else {
            seeNoCro();
        }
    } else {
        seeNoSupport(1);
        ok = rstComPort();
        if (!ok)
            seeNoPort();
    }
    if (ok) {
        if (Device == 0)
            CroSta.croSnsOn = false;
        seeEditMode();
    } else {
        CroSta.croStaOk = false;
        seeLinkErr();
    }
    endProgress();
    updAllSta();
}

void croReview()
{
    if (chkCFileOpen() != 0) {
        updAllSta();
        return;
    }
    if (chkKT4Only(0) != 0) {
        nbrNotes().seeMsgNote(6, 0);
        updAllSta();
        return;
    }
    {
        ShootHold shoot;
        StopTaken stoppable;
        CroSta.croSnsOn = false;
        for (int attempt = 1; attempt <= 2; ++attempt) {
            sndCroKey(1, QStringLiteral("["), 0, 0);
            if (!CroLnk.croErr)
                sndCroKey(0, QStringLiteral("Z"), 0, 0);
            if (!CroLnk.croErr)
                sndCroKey(0, QStringLiteral("D"), 1, 0);
            if (!CroLnk.croErr) {
                shoot.endIn(true);
                seeSnsOff();
                break;
            }
            if (croAbortReq || abortTask) {
                croOpAborted = true;
                seeAborted();
                break;
            }
            if (attempt == 1)
                croWake();
            else
                alertNoResponse();
        }
    }
    updAllSta();
}

void croPower(int16_t on)
{
    if (chkCFileOpen() != 0) {
        updAllSta();
        return;
    }
    logCroEvt(on == 0 ? 3 : 4);
    logDevPort();
    CroSta.croStaOk = false;
    {
        ShootHold shoot;
        CroLnk.croErr = false;
        if (croReady(0) == croIsReady) {
            seeCroStatus(1);
            sndCroKey(1, QStringLiteral("["), 0, 0);
            endProgress();
        } else {
            CroLnk.croErr = true;
        }
        if (CroLnk.croErr || !CroSta.croStaOk) {
            plogMsg(QStringLiteral("KT4 failed to power on - check setup"));
            seeNoCro();
        } else if (on == 0) {
            sndCroKey(0, QStringLiteral("P"), 0, 0);
            if (CroLnk.croErr) {
                plogMsg(QStringLiteral("KT4 did not respond to Power-Down request!"));
            } else {
                CroSta.croOnLine = false;
                CroSta.croSnsOn = false;
                plogMsg(QStringLiteral("Chrono Power has been turned off"));
                if (shoot.saved())
                    plogMsg(QStringLiteral("Jotrix is in Edit mode now"));
                // Nothing to record from a unit that is off.
                shoot.endIn(false);
                CroSta.croStaOk = false;
            }
        } else if (CroSta.croPwrOn) {
            plogMsg(QStringLiteral("KT4 Power-On has been detected."));
            CroSta.croPwrOn = false;
        }
    }
    if (!CroSta.croOnLine)
        seeEditHint();
    updAllSta();
}

void setRapidFire(int16_t on) { runSwitch(kRapidFire, on == 1); }
void setArchery(int16_t on) { runSwitch(kArchery, on == 1); }
void setSensors(int16_t on) { runSwitch(kSensors, on != 0); }

void setSnsLevel(int16_t level)
{
    level = int16_t(std::clamp<int>(level, 0, 100));
    if (chkCFileOpen() != 0) {
        updAllSta();
        return;
    }
    {
        ShootHold shoot;
        StopTaken stoppable;
        if (croReady(1) == croIsReady) {
            BusyProgress progress(QStringLiteral("Set Sensitivity"), 12);
            chkStatus(0);
            const int16_t reached = stpSnsLevel(level);
            if (!CroLnk.croErr && reached >= 0) {
                CroSta.croSnsLev = reached;
                plogMsg(QStringLiteral("Sensitivity is now ") + QString::number(reached) + QStringLiteral("-%"));
                chkStatus(0);
            } else {
                leaveCroMenu();
                plogMsg(QStringLiteral("Communication error - Aborting..!"));
            }
            seeAborted();
        }
    }
    updAllSta();
}

void croDatMode()
{
    RxRoute[1] = true;
    sndCroKey(1, QStringLiteral("["), 0, 0);
    if (!CroLnk.croErr)
        sndCroKey(0, QStringLiteral("D"), 1, 0);
    updAllSta();
}

void abtCroTask()
{
    if (CroLnk.croKeySent) {
        // The calibration runs on the unit: "D" stops it now, and the wait
        // for its answer ends with the task.
        croOpAborted = true;
        sendDataKey();
        abortTask = true;
        nbrRemote().addPrgrsText(QStringLiteral("Operation aborted by the user..!") + crlf);
    } else if (!croTask(0) || !croStopTaken) {
        MsgBox(QStringLiteral("This operation can not be aborted..!"), kAlertStyle);
    } else {
        croAbortReq = true;
    }
}

// --- the Chrono menu ---------------------------------------------------------

void runTask(const std::function<void()> &op)
{
    CroTaskGuard task;
    if (task.refused())
        return;
    croOpAborted = false;
    croAbortReq = false;
    op();
}

namespace {

// A click on the main window's Sensors LED opens the sensor-state panel.
class SensorsLedClick : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            guarded(QStringLiteral("frmMDI/txtLedsStatus_Click"), [] { nbrRemote().shoSnsState(); });
        return QObject::eventFilter(watched, event);
    }
};

// The level asked of the user, 0 to 100; -1 when cancelled.
int askSnsLevel()
{
    answers::Question q;
    q.kind = QStringLiteral("dialog");
    q.title = QStringLiteral("Sensitivity");
    q.text = QStringLiteral("Sensitivity level of the sensors (0 to 100 %):");
    q.defaultAnswer = QString::number(CroSta.croSnsLev);
    const QString answer = answers::ask(q, [&q]() -> QString {
        bool ok = false;
        const int v = QInputDialog::getInt(frmMDI::instance(), q.title, q.text, CroSta.croSnsLev, 0, 100, 5, &ok);
        return ok ? QString::number(v) : QString();
    });
    bool ok = false;
    const int v = answer.trimmed().toInt(&ok);
    return ok && v >= 0 && v <= 100 ? v : -1;
}

} // namespace

void wireChronoMenu(frmMDI *mdi)
{
    if (!mdi)
        return;
    auto wire = [mdi](QAction *item, const std::function<void()> &handler) {
        if (!item)
            return;
        const QString where = QStringLiteral("frmMDI/") + item->objectName() + QStringLiteral("_Click");
        QObject::connect(item, &QAction::triggered, mdi, [handler, where] { guarded(where, handler); });
    };
    wire(mdi->mnuRemStart, [] { runTask(croStart); });
    wire(mdi->mnuRemStop, [] { runTask(croStop); });
    wire(mdi->mnuRemRemo, [] { runTask(croReview); });
    // Each switch goes the other way from what the unit last reported.
    wire(mdi->mnuRemPowerOn, [] {
        const bool onLine = CroSta.croOnLine && CroSta.croStaOk;
        runTask([onLine] { croPower(onLine ? 0 : 1); });
    });
    wire(mdi->mnuRemArcheryOn, [] {
        const bool on = CroSta.croArcOn && CroSta.croStaOk;
        runTask([on] { setArchery(on ? 0 : 1); });
    });
    wire(mdi->mnuRemRapidFireOn, [] {
        const bool on = CroSta.croRFirOn && CroSta.croStaOk;
        runTask([on] { setRapidFire(on ? 0 : 1); });
    });
    wire(mdi->mnuSnsOn, [] {
        const bool on = CroSta.croSnsOn && CroSta.croStaOk;
        runTask([on] { setSensors(on ? 0 : 1); });
    });
    wire(mdi->mnuSnsLevel, [] {
        if (croTask(0)) {
            runTask([] {}); // the busy lock's own question
            return;
        }
        const int level = askSnsLevel();
        if (level >= 0)
            runTask([level] { setSnsLevel(int16_t(level)); });
    });
    wire(mdi->mnuCroPref, [] { nbrRemote().shoCroSetup(); });
    wire(mdi->mnuRemDownload, [] { nbrRemote().seeZOvuFra(3); });
    wire(mdi->mnuRemExport, [] { nbrRemote().seeZOvuFra(4); });

    // The CFile's pop-up menu offers the same operations as the Chrono menu.
    // Its Start and Remote also pick the CFile it was opened on for the shots,
    // in a running session too.
    for (const auto &link : {std::pair{mdi->popRemStart, mdi->mnuRemStart}, std::pair{mdi->popRemStop, mdi->mnuRemStop},
                             std::pair{mdi->popRemRemo, mdi->mnuRemRemo}}) {
        QAction *item = link.second;
        const bool picks = link.first != mdi->popRemStop;
        wire(link.first, [item, picks] {
            if (picks)
                if (frmDocument *doc = frmDocument::popupCFile())
                    setShotCFile(doc);
            item->trigger();
        });
    }
    // Editing while shots arrive is the operator's own switch for this run.
    wire(mdi->popCapEdit, [] { SoftEdit = !SoftEdit; });
    wire(mdi->popCapture, [] { nbrExport().togXlLink(xlLinked ? 0 : 1); });

    // No command of the unit is known for these: they stay off, and say why,
    // so that no guessed byte ever reaches a real chronograph.
    const QString why = QStringLiteral("Not available: the chronograph's command for this is not known, "
                                       "so nothing is sent to the unit.");
    for (QAction *item : {mdi->mnuRemClear, mdi->mnuRemUndoClear, mdi->mnuRemRestore}) {
        item->setEnabled(false);
        item->setStatusTip(why);
        item->setToolTip(why);
    }

    if (QWidget *led = mdi->txtLedsStatus[2]) {
        led->setAccessibleName(led->toolTip());
        led->setCursor(Qt::PointingHandCursor);
        led->installEventFilter(new SensorsLedClick(led));
    }
}

} // namespace vt
