// The chronograph setup window: the unit's status record on show, and its own
// menu settings changed from the PC one menu cell at a time. Every change goes
// to the unit when it is made; the fields then follow the unit's answer.
#pragma once

#include "platform/forms.h"

#include <QString>
#include <QWidget>
#include <cstdint>

class QCheckBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace vt {

// Whether a string size is one the unit offers (40, 20, 13, 10, 8, 6, 5 or 4
// strings per folder, the shots per string as the unit pairs them) and the
// current string lies inside the folder.
bool fixStrSize(int16_t strsFol, int16_t shtsStr, int16_t curStr);
// The target of a one-hour power-down change (direction 0 up, 1 down): hours
// kept within 0..3, minutes above 51 cut to 51 when the upper bound cuts the
// hours. Coded hours * 100 + minutes.
int16_t fixPwrDwn(int16_t hrs, int16_t min, int16_t direction);

class frmCroSetup : public QWidget, public SharedForm<frmCroSetup> {
    Q_OBJECT
public:
    frmCroSetup();
    ~frmCroSetup() override;

    // --- controls ---------------------------------------------------------
    QFrame *fraRE3Setup = nullptr;
    QLineEdit *txtSnsLevel = nullptr;
    QRadioButton *optSnsOnOff[2] = {};
    QRadioButton *optArcOnOff[2] = {};
    QRadioButton *optRFirOnOff[2] = {};
    QRadioButton *optUnitsUM[2] = {};
    QRadioButton *optModDSM[2] = {};
    QCheckBox *chkUnitsTC = nullptr;
    QCheckBox *chkPwrDwnOn = nullptr;
    QCheckBox *chkExprtMod = nullptr;
    QCheckBox *chkMemAlarm = nullptr;
    QCheckBox *chkSndLogs[3] = {};
    QLabel *labCalibLev = nullptr;
    QLabel *labCalibTime = nullptr;
    QLabel *labCalibNoise = nullptr;
    QLineEdit *txtStrSize[2] = {};
    QLabel *labBatVal = nullptr;
    QLabel *labTemVal = nullptr;
    QLineEdit *txtPwrDwn[2] = {};
    QLabel *labMaxDatVal[4] = {};
    QLineEdit *txtCurPos[4] = {};
    QLabel *labCurPosOfVal[4] = {};
    QPushButton *cmdSnsUpDwn[2] = {};
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdPwrDwn[4] = {};
    QPushButton *cmdStrSizUpDwn[4] = {};
    QPushButton *cmdCurPosUpDwn[6] = {};
    QPushButton *cmdGetStatus = nullptr;
    QPushButton *cmdClose = nullptr;
    QFrame *pbxWait = nullptr;
    QLabel *labWait = nullptr;
    QLabel *labWaitPCent = nullptr;
    QPushButton *cmdQuit = nullptr;

    bool changed = false;
    bool busy = false;
    bool quit = false;

    // --- procedures -------------------------------------------------------
    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void seeCroStat();
    void setChkOpts();
    void onnWait();
    void offWait();
    void getCroStat();
    // Whether the controls differ from the status record.
    bool getFrmStat();
    void seeChgErr(const QString &item);
    void seeOnOffErr(const QString &item, bool on);
    bool setSnsLev(int16_t index);
    bool rstSnsLev();
    bool setPwrDwn(int16_t direction);
    bool calPwrDwn(int16_t direction);

    // --- handlers ---------------------------------------------------------
    void cmdGetStatus_Click();
    void cmdQuit_Click();
    void cmdClose_Click();
    void cmdSnsUpDwn_Click(int index);
    void cmdReset_Click();
    void cmdPwrDwn_Click(int index);
    void cmdStrSizUpDwn_Click(int index);
    void cmdCurPosUpDwn_Click(int index);
    void optSnsOnOff_Click(int index);
    void optArcOnOff_Click(int index);
    void optRFirOnOff_Click(int index);
    void optUnitsUM_Click(int index);
    void optModDSM_Click(int index);
    void chkUnitsTC_Click();
    void chkPwrDwnOn_Click();
    void chkExprtMod_Click();
    void chkMemAlarm_Click();
    void chkSndLogs_Click(int index);

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    // The unit's switches: a pair of options a line, then the ON/OFF boxes.
    void addSwitches(QGridLayout *grid, int &row);
    // The stepped settings: sensor level, power-down time, string size.
    void addSettingLines(QGridLayout *grid, int &row);
    // The maximum and current shot, string, folder and review, with their keys.
    QLayout *buildPosition();
    // The battery, temperature and calibration readings.
    QLayout *buildReadings();
    // Get Status and Close, then the wait frame with its Quit key.
    void addFooter(QVBoxLayout *top);

    // One ON/OFF menu cell, sent only when the box differs from the record.
    bool sendCell(QCheckBox *box, int16_t side, int16_t column, int16_t row, bool &field, const QString &item);
    bool sendSwitch(int16_t index, bool &field, bool (*setter)(int16_t), const QString &item);
    bool sendVelUnits(int16_t index);
    bool sendTmpUnits();
    bool stepCell(int16_t side, int16_t column, int16_t row, int16_t expect, int16_t up, int &value);
};

// The box that says the status could not be read (the setup window and the
// sensor-state panel).
void seeNoCroStatus();
// Opens the setup window after a status read (the chronograph preferences
// command and the remote panel's status button).
void shoCroSetup();


} // namespace vt
