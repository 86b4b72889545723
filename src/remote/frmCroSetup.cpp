#include "remote/frmCroSetup.h"

#include "chrono/modCroLnk.h"
#include "chrono/modCroMenu.h"
#include "chrono/modCroStatus.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cstdlib>

namespace vt {

namespace {

constexpr std::array<int16_t, 8> kStrings = {40, 20, 13, 10, 8, 6, 5, 4};
constexpr int kMaxSteps = 351;
const int kBoxStyle = vbOKOnly | vbExclamation | vbSystemModal | vbMsgBoxSetForeground;

QString num(double v) { return QString::number(v); }

// A control from its row; an error in its click is reported under the
// control's own name. It is made without a parent: the layout that takes it
// gives it one, so the focus order follows the layout.
template <class B>
B *make(const ControlRow &row)
{
    auto *b = new B;
    controls::dress(b, row, row.name);
    return b;
}

// A control array stem_0, stem_1 ... kept in into and captioned from the
// list, each click calling click(index); returned for laying out.
template <class B>
std::vector<QWidget *> controlArray(B **into, const QString &stem, const QStringList &captions,
                                    const std::function<void(int)> &click)
{
    std::vector<QWidget *> made;
    for (int i = 0; i < captions.size(); ++i) {
        const QString name = QStringLiteral("%1_%2").arg(stem).arg(i);
        into[i] = controls::makeElement<B>(nullptr, {name, captions[i]}, i, click, name);
        made.push_back(into[i]);
    }
    return made;
}

QLineEdit *field(const QString &name)
{
    auto *e = new QLineEdit;
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setAccessibleName(name);
    e->setMaximumWidth(70);
    return e;
}

QLabel *value(const QString &name)
{
    auto *l = new QLabel;
    l->setObjectName(name);
    return l;
}

// A line of the form: its label, its fields, then its keys.
QHBoxLayout *line(const QString &label, const std::vector<QWidget *> &fields, const std::vector<QWidget *> &keys)
{
    auto *l = new QHBoxLayout;
    l->addWidget(new QLabel(label));
    controls::addAll(l, fields);
    controls::addAll(l, keys);
    return l;
}

} // namespace

bool fixStrSize(int16_t strsFol, int16_t shtsStr, int16_t curStr)
{
    if (shtsStr <= 0)
        return false;
    if (std::find(kStrings.begin(), kStrings.end(), strsFol) == kStrings.end())
        return false;
    return curStr <= strsFol;
}

int16_t fixPwrDwn(int16_t hrs, int16_t min, int16_t direction)
{
    int16_t h = direction == 0 ? int16_t(hrs + 1) : int16_t(hrs - 1);
    if (h > 3) {
        h = 3;
    }
    if (h < 0)
        h = 0;
    // Three hours is the most the unit holds with 51 minutes at most: a
    // target beyond it could never be reached.
    if (h == 3 && min > 51)
        min = 51;
    return int16_t(h * 100 + min);
}

frmCroSetup::frmCroSetup()
{
    setObjectName(QStringLiteral("frmCroSetup"));
    setWindowTitle(QStringLiteral("KT4 Chronograph Setup"));
    auto *top = new QVBoxLayout(this);
    fraRE3Setup = new QFrame;
    fraRE3Setup->setObjectName(QStringLiteral("fraRE3Setup"));
    top->addWidget(fraRE3Setup);
    auto *g = new QGridLayout(fraRE3Setup);
    int row = 0;
    addSwitches(g, row);
    addSettingLines(g, row);
    g->addLayout(buildPosition(), row++, 0, 1, 3);
    g->addLayout(buildReadings(), row, 0, 1, 3);
    addFooter(top);
}

void frmCroSetup::addSwitches(QGridLayout *g, int &row)
{
    // A switch that is one of two states: its label, its pair of options
    // (index 0 first) and the handler both share.
    const struct {
        QRadioButton **opt;
        const char *name;
        const char *label;
        const char *captions[2];
        void (frmCroSetup::*click)(int);
    } pairs[] = {
        {optSnsOnOff, "optSnsOnOff", "Sensors", {"Off", "On"}, &frmCroSetup::optSnsOnOff_Click},
        {optArcOnOff, "optArcOnOff", "Archery", {"Off", "On"}, &frmCroSetup::optArcOnOff_Click},
        {optRFirOnOff, "optRFirOnOff", "Rapid Fire", {"Off", "On"}, &frmCroSetup::optRFirOnOff_Click},
        {optUnitsUM, "optUnitsUM", "Velocity", {"f/s", "m/s"}, &frmCroSetup::optUnitsUM_Click},
        {optModDSM, "optModDSM", "Display", {"Data", "Stats"}, &frmCroSetup::optModDSM_Click},
    };
    for (const auto &p : pairs) {
        g->addWidget(new QLabel(QString::fromLatin1(p.label)), row, 0);
        const auto opts = controlArray(p.opt, QString::fromLatin1(p.name),
                                    {QString::fromLatin1(p.captions[0]), QString::fromLatin1(p.captions[1])},
                                    [this, click = p.click](int i) { (this->*click)(i); });
        // The record, not the buttons, decides which of the two is set.
        for (int i = 0; i < 2; ++i)
            p.opt[i]->setAutoExclusive(false);
        controls::addGrid(g, opts, 2, row++, 1);
    }

    // The ON/OFF settings, a line each: the unit's own, then the logs it sends.
    const struct {
        QCheckBox **box;
        const char *name;
        const char *caption;
        std::function<void()> click;
    } checks[] = {
        {&chkUnitsTC, "chkUnitsTC", "Temperature in Celsius", [this] { chkUnitsTC_Click(); }},
        {&chkPwrDwnOn, "chkPwrDwnOn", "Automatic Power Down", [this] { chkPwrDwnOn_Click(); }},
        {&chkExprtMod, "chkExprtMod", "Expert Mode", [this] { chkExprtMod_Click(); }},
        {&chkMemAlarm, "chkMemAlarm", "Memory Alarm", [this] { chkMemAlarm_Click(); }},
        {&chkSndLogs[0], "chkSndLogs_0", "Send CAP Log", [this] { chkSndLogs_Click(0); }},
        {&chkSndLogs[1], "chkSndLogs_1", "Send Temperature Log", [this] { chkSndLogs_Click(1); }},
        {&chkSndLogs[2], "chkSndLogs_2", "Send Stats/Position Log", [this] { chkSndLogs_Click(2); }},
    };
    for (const auto &c : checks) {
        *c.box = make<QCheckBox>({QString::fromLatin1(c.name), QString::fromLatin1(c.caption), c.click});
        g->addWidget(*c.box, row++, 0, 1, 3);
    }
}

void frmCroSetup::addSettingLines(QGridLayout *g, int &row)
{
    txtSnsLevel = field(QStringLiteral("txtSnsLevel"));
    auto sns = controlArray(cmdSnsUpDwn, QStringLiteral("cmdSnsUpDwn"), {QStringLiteral("Up"), QStringLiteral("Down")},
                         [this](int i) { cmdSnsUpDwn_Click(i); });
    cmdReset = make<QPushButton>({QStringLiteral("cmdReset"), QStringLiteral("Reset"), [this] { cmdReset_Click(); }});
    sns.push_back(cmdReset);
    g->addLayout(line(QStringLiteral("Sensor Level"), {txtSnsLevel}, sns), row++, 0, 1, 3);

    // Each pair of fields shows its larger unit first: hours before minutes,
    // strings before shots.
    txtPwrDwn[1] = field(QStringLiteral("txtPwrDwn_1"));
    txtPwrDwn[0] = field(QStringLiteral("txtPwrDwn_0"));
    const auto pwr = controlArray(
        cmdPwrDwn, QStringLiteral("cmdPwrDwn"),
        {QStringLiteral("+1 h"), QStringLiteral("-1 h"), QStringLiteral("+1 m"), QStringLiteral("-1 m")},
        [this](int i) { cmdPwrDwn_Click(i); });
    g->addLayout(line(QStringLiteral("Power Down (h:m)"), {txtPwrDwn[1], txtPwrDwn[0]}, pwr), row++, 0, 1, 3);

    txtStrSize[1] = field(QStringLiteral("txtStrSize_1"));
    txtStrSize[0] = field(QStringLiteral("txtStrSize_0"));
    const auto str = controlArray(cmdStrSizUpDwn, QStringLiteral("cmdStrSizUpDwn"),
                               {QStringLiteral("More Strings"), QStringLiteral("Fewer Strings"),
                                QStringLiteral("More Shots"), QStringLiteral("Fewer Shots")},
                               [this](int i) { cmdStrSizUpDwn_Click(i); });
    g->addLayout(line(QStringLiteral("Strings/Folder, Shots/String"), {txtStrSize[1], txtStrSize[0]}, str), row++, 0, 1,
                 3);
}

QLayout *frmCroSetup::buildPosition()
{
    auto *pos = new QGridLayout;
    const QString posCaps[4] = {QStringLiteral("Shot"), QStringLiteral("String"), QStringLiteral("Folder"),
                                QStringLiteral("Review")};
    for (int i = 0; i < 4; ++i) {
        pos->addWidget(new QLabel(posCaps[i]), 0, i);
        labMaxDatVal[i] = value(QStringLiteral("labMaxDatVal_%1").arg(i));
        txtCurPos[i] = field(QStringLiteral("txtCurPos_%1").arg(i));
        labCurPosOfVal[i] = value(QStringLiteral("labCurPosOfVal_%1").arg(i));
        pos->addWidget(labMaxDatVal[i], 1, i);
        pos->addWidget(txtCurPos[i], 2, i);
        pos->addWidget(labCurPosOfVal[i], 3, i);
    }
    auto *posKeys = new QHBoxLayout;
    controls::addAll(posKeys, controlArray(cmdCurPosUpDwn, QStringLiteral("cmdCurPosUpDwn"),
                                        {QStringLiteral("Shot Down"), QStringLiteral("Shot Up"),
                                         QStringLiteral("String Up"), QStringLiteral("String Down"),
                                         QStringLiteral("Folder Down"), QStringLiteral("Folder Up")},
                                        [this](int i) { cmdCurPosUpDwn_Click(i); }));
    pos->addLayout(posKeys, 4, 0, 1, 4);
    return pos;
}

QLayout *frmCroSetup::buildReadings()
{
    labBatVal = value(QStringLiteral("labBatVal"));
    labTemVal = value(QStringLiteral("labTemVal"));
    labCalibLev = value(QStringLiteral("labCalibLev"));
    labCalibTime = value(QStringLiteral("labCalibTime"));
    labCalibNoise = value(QStringLiteral("labCalibNoise"));
    auto *rd = new QHBoxLayout;
    const std::pair<QString, std::vector<QWidget *>> readings[] = {
        {QStringLiteral("Battery"), {labBatVal}},
        {QStringLiteral("Temperature"), {labTemVal}},
        {QStringLiteral("Calibration"), {labCalibLev, labCalibTime, labCalibNoise}},
    };
    for (const auto &[caption, values] : readings) {
        rd->addWidget(new QLabel(caption));
        controls::addAll(rd, values);
    }
    return rd;
}

void frmCroSetup::addFooter(QVBoxLayout *top)
{
    auto *bottom = new QHBoxLayout;
    cmdGetStatus = make<QPushButton>(
        {QStringLiteral("cmdGetStatus"), QStringLiteral("Get Status"), [this] { cmdGetStatus_Click(); }});
    cmdClose = make<QPushButton>({QStringLiteral("cmdClose"), QStringLiteral("Close"), [this] { cmdClose_Click(); }});
    controls::addAll(bottom, {cmdGetStatus, cmdClose});
    top->addLayout(bottom);

    pbxWait = new QFrame;
    pbxWait->setObjectName(QStringLiteral("pbxWait"));
    auto *w = new QHBoxLayout(pbxWait);
    labWait = value(QStringLiteral("labWait"));
    labWaitPCent = value(QStringLiteral("labWaitPCent"));
    cmdQuit = make<QPushButton>({QStringLiteral("cmdQuit"), QStringLiteral("Quit"), [this] { cmdQuit_Click(); }});
    controls::addAll(w, {labWait, labWaitPCent, cmdQuit});
    top->addWidget(pbxWait);
}

frmCroSetup::~frmCroSetup() = default;

void frmCroSetup::Form_Load()
{
    seeCroStat();
    pbxWait->hide();
    setChkOpts();
    changed = busy = quit = false;
    CroLnk.croMenVal = 0;
}

void frmCroSetup::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmCroSetup::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode != vbFormControlMenu || !getFrmStat())
        return;
    const int r = MsgBox(QStringLiteral("Setup has changed!\r\nSend Changes to KT4 Before Closing..?"),
                         vbYesNoCancel | vbQuestion | vbDefaultButton3 | vbSystemModal | vbMsgBoxSetForeground);
    if (r == vbCancel) {
        cancel = 1;
        return;
    }
    if (r != vbYes)
        return;
    // Send what differs and has a setter; each failure says so itself.
    CroTaskGuard task;
    if (task.refused())
        return;
    onnWait();
    const bool sns = optSnsOnOff[1]->isChecked(), arc = optArcOnOff[1]->isChecked(),
               rf = optRFirOnOff[1]->isChecked();
    sendSwitch(sns ? 1 : 0, CroSta.croSnsOn, setSnsOnOff, QStringLiteral("Sensors"));
    sendSwitch(arc ? 1 : 0, CroSta.croArcOn, setArcOnOff, QStringLiteral("Archery Mode"));
    sendSwitch(rf ? 1 : 0, CroSta.croRFirOn, setRFirOnOff, QStringLiteral("Rapid Fire"));
    sendVelUnits(optUnitsUM[1]->isChecked() ? 1 : 0);
    sendTmpUnits();
    sendCell(chkPwrDwnOn, 2, 5, 2, CroSta.croPwrDwnOn, QStringLiteral("Power Down"));
    sendCell(chkExprtMod, 2, 5, 4, CroSta.croExprtMod, QStringLiteral("Expert Mode"));
    sendCell(chkMemAlarm, 2, 4, 3, CroSta.croMemAlarm, QStringLiteral("Memory Alarm"));
    offWait();
}

void frmCroSetup::seeCroStat()
{
    const CroStatus &s = CroSta;
    txtSnsLevel->setText(QString::number(s.croSnsLev));
    optSnsOnOff[1]->setChecked(s.croSnsOn);
    optSnsOnOff[0]->setChecked(!s.croSnsOn);
    optArcOnOff[1]->setChecked(s.croArcOn);
    optArcOnOff[0]->setChecked(!s.croArcOn);
    optRFirOnOff[1]->setChecked(s.croRFirOn);
    optRFirOnOff[0]->setChecked(!s.croRFirOn);
    optUnitsUM[0]->setChecked(s.croVelUnits == QLatin1String("f/s"));
    optUnitsUM[1]->setChecked(s.croVelUnits == QLatin1String("m/s"));
    optModDSM[0]->setChecked(CroLnk.croPrmKind == 1);
    optModDSM[1]->setChecked(CroLnk.croPrmKind == 2);
    chkUnitsTC->setChecked(false);
    chkUnitsTC->setChecked(s.croTmpUnits == QLatin1String("cel"));
    labCalibLev->setText(QString::number(s.croCalVal));
    labCalibTime->setText(QString::asprintf("%.2f", double(s.croCalRes)));
    labCalibNoise->setText(QString::number(s.croCalFlag));
    txtStrSize[1]->setText(QString::number(s.croStrsFol));
    txtStrSize[0]->setText(QString::number(s.croShtsStr));
    labBatVal->setText(num(double(s.croBatVolts)));
    labTemVal->setText(num(double(s.croCaseTemp)));
    txtPwrDwn[0]->setText(QString::number(s.croPwrDwnMin));
    txtPwrDwn[1]->setText(QString::number(s.croPwrDwnHrs));
    chkPwrDwnOn->setChecked(s.croPwrDwnOn);
    chkSndLogs[0]->setChecked(s.croCapLog);
    chkSndLogs[1]->setChecked(s.croTmpLog);
    chkSndLogs[2]->setChecked(s.croStaLog);
    const int16_t maxv[4] = {s.croShtsStr, s.croStrsFol, s.croFolsDisk, 1};
    const int16_t cur[4] = {s.croCurPos, s.croCurStr, s.croCurFol, s.croCurRev};
    const int16_t of[4] = {s.croCurRev, s.croStrsFol, s.croFolsDisk, s.croShtsStr};
    for (int i = 0; i < 4; ++i) {
        labMaxDatVal[i]->setText(QString::number(maxv[i]));
        txtCurPos[i]->setText(QString::number(cur[i]));
        labCurPosOfVal[i]->setText(QString::number(of[i]));
    }
}

void frmCroSetup::setChkOpts()
{
    chkExprtMod->setChecked(CroSta.croExprtMod);
    chkMemAlarm->setChecked(CroSta.croMemAlarm);
    chkPwrDwnOn->setChecked(CroSta.croPwrDwnOn);
    chkUnitsTC->setChecked(CroSta.croTmpUnits == QLatin1String("cel"));
}

void frmCroSetup::onnWait()
{
    quit = false;
    busy = true;
    fraRE3Setup->setEnabled(false);
    labWaitPCent->clear();
    labWait->setText(QStringLiteral("Please wait - Collecting KT4 Status Data..."));
    pbxWait->show();
}

void frmCroSetup::offWait()
{
    pbxWait->hide();
    fraRE3Setup->setEnabled(true);
    quit = false;
    busy = false;
}

void seeNoCroStatus()
{
    MsgBox(QStringLiteral("Failed to retrieve KT4 Status..!\r\nCheck your connections and try again."), kBoxStyle);
}

void frmCroSetup::getCroStat()
{
    getCroStatus();
    seeCroStat();
    setChkOpts();
    if (!CroSta.croStaOk)
        seeNoCroStatus();
    else
        changed = false;
}

bool frmCroSetup::getFrmStat()
{
    const CroStatus &s = CroSta;
    return optSnsOnOff[1]->isChecked() != s.croSnsOn || optArcOnOff[1]->isChecked() != s.croArcOn
        || optRFirOnOff[1]->isChecked() != s.croRFirOn
        || optUnitsUM[1]->isChecked() != (s.croVelUnits == QLatin1String("m/s"))
        || chkUnitsTC->isChecked() != (s.croTmpUnits == QLatin1String("cel"))
        || chkPwrDwnOn->isChecked() != s.croPwrDwnOn || chkExprtMod->isChecked() != s.croExprtMod
        || chkMemAlarm->isChecked() != s.croMemAlarm;
}

void frmCroSetup::seeChgErr(const QString &item)
{
    // The change gave up, maybe inside the unit's menu: the unit goes back
    // to its data prompt before the user hears of it.
    leaveCroMenu();
    MsgBox(QStringLiteral("Failed to change ") + item
               + QStringLiteral(" ..!\r\nThere was no response from KT4 Chronograph.  \r\nCheck your setup or connections."),
           kBoxStyle);
}

void frmCroSetup::seeOnOffErr(const QString &item, bool on)
{
    MsgBox(QStringLiteral("Failed to set ") + item + (on ? QStringLiteral(" On") : QStringLiteral(" Off"))
               + QStringLiteral(" ..!\r\nThere was no response from KT4 Chronograph.  \r\nCheck your setup or connections."),
           kBoxStyle);
}

bool frmCroSetup::sendCell(QCheckBox *box, int16_t side, int16_t column, int16_t row, bool &field,
                           const QString &item)
{
    const bool on = box->isChecked();
    if (on == field)
        return true;
    if (setMenOnOff(side, column, row, on ? 1 : 0)) {
        field = on;
        return true;
    }
    CroLnk.croMenVal = 0;
    seeChgErr(item);
    box->setChecked(field);
    return false;
}

bool frmCroSetup::sendSwitch(int16_t index, bool &field, bool (*setter)(int16_t), const QString &item)
{
    if ((index == 1) == field)
        return true;
    const bool ok = setter(index);
    if (!ok) {
        CroLnk.croMenVal = 0;
        seeOnOffErr(item, index == 1);
    }
    seeCroStat();
    return ok;
}

bool frmCroSetup::sendVelUnits(int16_t index)
{
    const bool ms = CroSta.croVelUnits == QLatin1String("m/s");
    if ((index == 1) == ms)
        return true;
    const bool ok = setMenOnOff(1, 0, 4, index);
    if (ok)
        CroSta.croVelUnits = index == 1 ? QStringLiteral("m/s") : QStringLiteral("f/s");
    else {
        CroLnk.croMenVal = 0;
        seeChgErr(QStringLiteral("Velocity Units"));
    }
    optUnitsUM[0]->setChecked(CroSta.croVelUnits == QLatin1String("f/s"));
    optUnitsUM[1]->setChecked(CroSta.croVelUnits == QLatin1String("m/s"));
    return ok;
}

bool frmCroSetup::sendTmpUnits()
{
    const bool cel = chkUnitsTC->isChecked();
    if (cel == (CroSta.croTmpUnits == QLatin1String("cel")))
        return true;
    const bool ok = setMenOnOff(1, 0, 5, cel ? 1 : 0);
    if (ok)
        CroSta.croTmpUnits = cel ? QStringLiteral("cel") : QStringLiteral("fah");
    else {
        CroLnk.croMenVal = 0;
        seeChgErr(QStringLiteral("Temperature Units"));
    }
    chkUnitsTC->setChecked(CroSta.croTmpUnits == QLatin1String("cel"));
    return ok;
}

// Reaches the cell unless the unit stands on it, checks that it holds what
// the record says, and steps it once; value is the unit's new value.
bool frmCroSetup::stepCell(int16_t side, int16_t column, int16_t row, int16_t expect, int16_t up, int &value)
{
    const int16_t code = int16_t(100 * side + 10 * column + row);
    if (CroLnk.croMenVal != code) {
        if (!gotoMenPos(side, column, row))
            return false;
        bool ok = false;
        const int v = getMenVal().toInt(&ok);
        if (!ok || v != expect)
            return false;
    }
    if (!stpMenVal(up))
        return false;
    bool ok = false;
    value = getMenVal().toInt(&ok);
    return ok;
}

bool frmCroSetup::setSnsLev(int16_t index)
{
    int v = 0;
    if (!stepCell(1, 0, 2, CroSta.croSnsLev, index == 0 ? 1 : 0, v) || v < 0 || v > 100)
        return false;
    CroSta.croSnsLev = int16_t(v);
    txtSnsLevel->setText(QString::number(v));
    return true;
}

// Back to the unit's middle sensitivity, 50, one menu step at a time.
bool frmCroSetup::rstSnsLev()
{
    for (int n = 0; n < 21 && CroSta.croSnsLev != 50 && !quit; ++n)
        if (!setSnsLev(CroSta.croSnsLev < 50 ? 0 : 1))
            return false;
    return CroSta.croSnsLev == 50;
}

bool frmCroSetup::setPwrDwn(int16_t direction)
{
    int v = 0;
    if (!stepCell(2, 5, 3, int16_t(CroSta.croPwrDwnHrs * 100 + CroSta.croPwrDwnMin), direction == 0 ? 1 : 0, v))
        return false;
    CroSta.croPwrDwnHrs = int16_t(v / 100);
    CroSta.croPwrDwnMin = int16_t(v % 100);
    txtPwrDwn[0]->setText(QString::number(CroSta.croPwrDwnMin));
    txtPwrDwn[1]->setText(QString::number(CroSta.croPwrDwnHrs));
    return true;
}

bool frmCroSetup::calPwrDwn(int16_t direction)
{
    const int16_t target = fixPwrDwn(CroSta.croPwrDwnHrs, CroSta.croPwrDwnMin, direction);
    for (int n = 0; n < kMaxSteps; ++n) {
        const int16_t now = int16_t(CroSta.croPwrDwnHrs * 100 + CroSta.croPwrDwnMin);
        if (now == target || quit)
            return true;
        if (!setPwrDwn(now < target ? 0 : 1))
            return false;
        labWaitPCent->setText(QStringLiteral("%1%").arg(n * 100 / 60));
    }
    return CroSta.croPwrDwnHrs * 100 + CroSta.croPwrDwnMin == target;
}

void frmCroSetup::cmdGetStatus_Click()
{
    CroTaskGuard task;
    if (task.refused())
        return;
    onnWait();
    getCroStat();
    offWait();
}

void frmCroSetup::cmdQuit_Click() { quit = true; }

void frmCroSetup::cmdClose_Click() { unload(vbFormControlMenu); }

void frmCroSetup::cmdSnsUpDwn_Click(int index)
{
    CroTaskGuard task;
    if (task.refused())
        return;
    onnWait();
    if (!setSnsLev(int16_t(index))) {
        CroLnk.croMenVal = 0;
        seeChgErr(QStringLiteral("Sensor Level"));
        txtSnsLevel->setText(QString::number(CroSta.croSnsLev));
    }
    offWait();
}

void frmCroSetup::cmdReset_Click()
{
    CroTaskGuard task;
    if (task.refused())
        return;
    onnWait();
    if (!rstSnsLev()) {
        CroLnk.croMenVal = 0;
        seeChgErr(QStringLiteral("Sensor Level"));
        txtSnsLevel->setText(QString::number(CroSta.croSnsLev));
    }
    offWait();
}

void frmCroSetup::cmdPwrDwn_Click(int index)
{
    CroTaskGuard task;
    if (task.refused())
        return;
    onnWait();
    const bool ok = index < 2 ? calPwrDwn(int16_t(index)) : setPwrDwn(int16_t(index - 2));
    if (!ok) {
        CroLnk.croMenVal = 0;
        seeChgErr(QStringLiteral("Power Down Time"));
        seeCroStat();
    }
    offWait();
}

void frmCroSetup::cmdStrSizUpDwn_Click(int index)
{
    CroTaskGuard task;
    if (task.refused())
        return;
    onnWait();
    int v = 0;
    const bool up = index == 0 || index == 3;
    if (stepCell(2, 2, 0, int16_t(CroSta.croStrsFol * 100 + CroSta.croShtsStr), up ? 1 : 0, v)) {
        CroSta.croStrsFol = int16_t(v / 100);
        CroSta.croShtsStr = int16_t(v % 100);
        // A smaller folder moves the unit's current string inside it.
        if (!fixStrSize(CroSta.croStrsFol, CroSta.croShtsStr, CroSta.croCurStr))
            CroSta.croCurStr = qMin(CroSta.croCurStr, CroSta.croStrsFol);
        seeCroStat();
    } else {
        CroLnk.croMenVal = 0;
        seeChgErr(QStringLiteral("String Size"));
        seeCroStat();
    }
    offWait();
}

void frmCroSetup::cmdCurPosUpDwn_Click(int index)
{
    static const char keys[6] = {'D', 'U', 'R', 'L', 'O', 'K'};
    static const char *items[3] = {"Shot", "String", "Folder"};
    CroTaskGuard task;
    if (task.refused())
        return;
    const QString item = QLatin1String(items[index / 2]) + QStringLiteral(" Position");
    cmdCurPosUpDwn[index]->setEnabled(false);
    onnWait();
    int step = 2;
    sndCroKey(0, QStringLiteral("D"), 1, 0);
    if (!CroLnk.croErr) {
        step = 3;
        sndCroKey(1, QString(QLatin1Char(keys[index])), 1, 0);
    }
    if (!CroLnk.croErr) {
        step = 4;
        getCroStatus();
        seeCroStat();
    }
    if (CroLnk.croErr || !CroSta.croStaOk)
        seeChgErr(QStringLiteral("(%1)").arg(step) + item);
    cmdCurPosUpDwn[index]->setEnabled(true);
    offWait();
}

void frmCroSetup::optSnsOnOff_Click(int index)
{
    CroTaskGuard task;
    if (task.refused())
        return seeCroStat();
    onnWait();
    sendSwitch(int16_t(index), CroSta.croSnsOn, setSnsOnOff, QStringLiteral("Sensors"));
    offWait();
}

void frmCroSetup::optArcOnOff_Click(int index)
{
    CroTaskGuard task;
    if (task.refused())
        return seeCroStat();
    onnWait();
    sendSwitch(int16_t(index), CroSta.croArcOn, setArcOnOff, QStringLiteral("Archery Mode"));
    offWait();
}

void frmCroSetup::optRFirOnOff_Click(int index)
{
    CroTaskGuard task;
    if (task.refused())
        return seeCroStat();
    onnWait();
    sendSwitch(int16_t(index), CroSta.croRFirOn, setRFirOnOff, QStringLiteral("Rapid Fire"));
    offWait();
}

void frmCroSetup::optUnitsUM_Click(int index)
{
    CroTaskGuard task;
    if (task.refused())
        return seeCroStat();
    onnWait();
    sendVelUnits(int16_t(index));
    offWait();
}

void frmCroSetup::optModDSM_Click(int index)
{
    CroTaskGuard task;
    if (task.refused())
        return seeCroStat();
    onnWait();
    if (index + 1 != CroLnk.croPrmKind) {
        sndCroKey(0, index == 0 ? QStringLiteral("D") : QStringLiteral("S"), index + 1, 0);
        if (CroLnk.croErr) {
            seeChgErr(QStringLiteral("Data/Stats Mode"));
            CroLnk.croPrmKind = 0;
        }
    }
    optModDSM[0]->setChecked(CroLnk.croPrmKind == 1);
    optModDSM[1]->setChecked(CroLnk.croPrmKind == 2);
    offWait();
}

#define VT_CELL_HANDLER(name, body)                                                                           \
    void frmCroSetup::name()                                                                                   \
    {                                                                                                          \
        CroTaskGuard task;                                                                                     \
        if (task.refused())                                                                                    \
            return setChkOpts();                                                                               \
        onnWait();                                                                                             \
        body;                                                                                                  \
        offWait();                                                                                             \
    }
VT_CELL_HANDLER(chkUnitsTC_Click, sendTmpUnits())
VT_CELL_HANDLER(chkPwrDwnOn_Click,
                sendCell(chkPwrDwnOn, 2, 5, 2, CroSta.croPwrDwnOn, QStringLiteral("Power Down")))
VT_CELL_HANDLER(chkExprtMod_Click,
                sendCell(chkExprtMod, 2, 5, 4, CroSta.croExprtMod, QStringLiteral("Expert Mode")))
VT_CELL_HANDLER(chkMemAlarm_Click,
                sendCell(chkMemAlarm, 2, 4, 3, CroSta.croMemAlarm, QStringLiteral("Memory Alarm")))
#undef VT_CELL_HANDLER

void frmCroSetup::chkSndLogs_Click(int index)
{
    bool *fields[3] = {&CroSta.croCapLog, &CroSta.croTmpLog, &CroSta.croStaLog};
    if (chkSndLogs[index]->isChecked() == *fields[index])
        return;
    CroTaskGuard task;
    if (task.refused())
        return seeCroStat();
    onnWait();
    static const char keys[3] = {'J', 'K', 'L'};
    sndCroKey(0, QStringLiteral("D"), 1, 0);
    if (!CroLnk.croErr)
        sndCroKey(0, QString(QLatin1Char(keys[index])), 1, 0);
    if (!CroLnk.croErr) {
        getCroStatus();
        seeCroStat();
    }
    if (CroLnk.croErr || !CroSta.croStaOk) {
        seeChgErr(QStringLiteral("Send Log"));
        seeCroStat();
    }
    offWait();
}

void shoCroSetup()
{
    {
        CroTaskGuard task;
        if (task.refused())
            return;
        getCroStatus();
    }
    frmCroSetup *f = frmCroSetup::get();
    f->seeCroStat();
    f->setChkOpts();
    if (!CroSta.croStaOk)
        seeNoCroStatus();
    f->show();
    f->raise();
    f->activateWindow();
}

} // namespace vt
