// The remote-control panel zOvu. Its keys, panes and command list come with the remote-control subsystem.
#pragma once

#include "shell/supportWindow.h"

#include <QWidget>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace vt {

class TimerCtl;

class frmRemCtr : public QWidget, public SupportWindow<frmRemCtr> {
    Q_OBJECT
public:
    frmRemCtr();
    ~frmRemCtr() override;

    // Load procedure, called once by the start-up sequence after the window loaded.
    void lodRemCtr();
    // Exit procedure, called once by the shutdown with a copy of its cancel flag.
    void extRemCtr(int cancel);

    // --- export pane ----------------------------------------------------------
    // The source of "Export to Excel": 0 string, 1 folder, 2 eDisk, 3 capture
    // log, 4 CFile, as the main window's five export commands.
    QRadioButton *optExpSrc[5] = {};
    QPushButton *cmdExp2Excel = nullptr;
    void optExpSrc_Click(int index);
    void cmdExp2Excel_Click();

    // --- progress -------------------------------------------------------------
    // The share done of a running chronograph task (set by the progress
    // module), and the timer whose ticks advance it while the automatic cycle
    // is on, up to PCycleLim ticks.
    QProgressBar *prgRemCtr = nullptr;
    QLabel *labPrgrsVal = nullptr;
    std::unique_ptr<TimerCtl> tmrPCycle;
    int16_t PCycleLim = 7200;
    void tmrPCycle_Timer();

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
