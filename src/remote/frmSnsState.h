// The sensor-state panel: whether the chronograph's sensors are armed, as the
// last status read says, and the operator's switch that lets the active CFile
// be edited while shots arrive. Opened from the main window's Sensors LED.
#pragma once

#include "platform/forms.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace vt {

class frmSnsState : public QWidget, public SharedForm<frmSnsState> {
    Q_OBJECT
public:
    frmSnsState();
    ~frmSnsState() override;

    QLabel *labSnsState = nullptr;
    QLabel *labSnsLevel = nullptr;
    QLabel *labEditState = nullptr;
    QCheckBox *chkSoftEdit = nullptr;
    QPushButton *cmdStatus = nullptr;
    QPushButton *cmdClose = nullptr;

    void Form_Load();
    void Form_Unload(int &cancel) override;
    // Shows the status record and the switch as they are now.
    void seeSnsState();

    void chkSoftEdit_Click();
    void cmdStatus_Click();
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
};

// Loads the panel if need be and brings it forward.
void shoSnsState();
// Refreshes the panel when it is loaded; nothing otherwise.
void seeSnsState();

} // namespace vt
