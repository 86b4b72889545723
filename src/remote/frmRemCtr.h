// The remote-control panel zOvu. Its keys, panes and command list come with the remote-control subsystem.
#pragma once

#include "shell/supportWindow.h"

#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
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

    // --- remote keys (frmRemCtrKeys.cpp) ----------------------------------------
    // Buttons that copy the chronograph's own keys. A waiting key sends its key
    // through the command engine and waits for the prompt; a raw key sends one
    // character and waits for nothing.
    QPushButton *cmdKeyUp = nullptr, *cmdKeyDwn = nullptr, *cmdKeyRite = nullptr, *cmdKeyLeft = nullptr;
    QPushButton *cmdKeyPgUpDw[2] = {}, *cmdKeyType[2] = {}, *cmdDelete[3] = {}, *cmdUnDelete[3] = {};
    QPushButton *cmdCroMode[3] = {};
    QPushButton *cmdKeyEsc = nullptr;
    QPushButton *cmdRawKey[7] = {}; // Q, A, T, F, 1, 2, 3 without waiting
    // Pre-check of every waiting key: only the KT4 and only in Shoot mode.
    void chkKeyOk(bool &ok);
    // Reports the engine's failed exchange (croErr) as "Failed to <action> <item>".
    void seeCroFail(int16_t &action, int16_t &item, int16_t &showLink);
    void cmdSetMod(int16_t mode);
    void cmdCroMode_Click(int index);
    // One waiting key by its row of the key table (0 Up ... 13 Undelete folder).
    void sndWaitKey(int row);
    void cmdKeyEsc_Click();
    void sndKeyQ();
    void sndKeyQ2();
    void sndKeyA();
    void sndKeyT();
    void sndKey1();
    void sndKey2();
    void sndKey3();
    void sndKeyF();
    void sndKeyUnd(int index);
    QGroupBox *buildKeys();

    // --- download (frmRemCtrDwn.cpp) ---------------------------------------------
    QRadioButton *optDwnSrc[3] = {};
    QRadioButton *optDwnDes[3] = {};
    QRadioButton *optDwnDesCFileNew = nullptr, *optDwnDesCFileSel = nullptr;
    QLineEdit *txtDwnDesCFile = nullptr;
    QListWidget *lstDwnDesCFile = nullptr;
    QGroupBox *fraDwnDesSee = nullptr;
    QLineEdit *txtDwnDesSee = nullptr;
    QPushButton *cmdDownload = nullptr;
    QLabel *fraWPrgrs = nullptr; // the wait frame shown while the keys go out
    QListWidget *lstSetHwrStr = nullptr;
    QLabel *labSetHwrStrSiz = nullptr;
    void cmdDownload_Click();
    void optDwnDes_Click(int index);
    void seeDwnDes();
    void seeDwnDesCFile();
    void optDwnDesCFileNew_Click();
    void optDwnDesCFileSel_Click();
    void lstDwnDesCFile_Click();
    void selCurCFile();
    void lstSetHwrStr_Click();
    void onnWPrgrs();
    void offWPrgrs();
    QGroupBox *buildDwn();

protected:
    void closeEvent(QCloseEvent *e) override;
};

} // namespace vt
