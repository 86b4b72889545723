// The remote-control panel zOvu: five panes of keys, command lists, hardware
// settings, download and export, each with up to four tabs; the progress log
// and bar; the Shoot/Edit mode keys.
#pragma once

#include "platform/controls.h"
#include "remote/modRemCmds.h"
#include "shell/supportWindow.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace vt {

class TimerCtl;
class frmDocument;

class frmRemCtr : public QWidget, public SupportWindow<frmRemCtr> {
    Q_OBJECT
public:
    frmRemCtr();
    ~frmRemCtr() override;

    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void Form_Unload(int &cancel) override;

    // Load procedure, called once by the start-up sequence after the window loaded.
    void lodRemCtr();
    // Exit procedure, called once by the shutdown with a copy of its cancel flag.
    void extRemCtr(int cancel);

    // --- panes and tabs -------------------------------------------------------
    // Pane 0 System, 1 Commands, 2 Hardware, 3 Download, 4 Export.
    static constexpr int kPanes = 5;
    static constexpr int kTabs = 4;
    int16_t Frame = 2;
    int16_t CmdMod = 0;
    int16_t CurTab[kPanes] = {0, 0, 0, 1, 1};
    int16_t LevNow[kPanes] = {};
    int16_t LevMax[kPanes] = {};
    int16_t SetNum[kPanes] = {};
    int16_t MorPrg[kPanes] = {};
    int16_t SetLas[kPanes] = {};
    int16_t MorTog[kPanes] = {};
    int16_t CmdCnt[4] = {};

    QPushButton *cmdKeyCtrFra[kPanes] = {}; // the pane selectors
    QGroupBox *fraKeyCtr[kPanes] = {};      // a pane, open
    QGroupBox *fraKeyCtrS[kPanes] = {};     // a pane, folded to its title
    QGroupBox *fraKeyCtrP = nullptr;        // the progress pane
    QFrame *fraKeyCtrSSys[kTabs] = {}, *fraKeyCtrSCmd[kTabs] = {}, *fraKeyCtrSHwr[kTabs] = {},
           *fraKeyCtrSDwn[kTabs] = {}, *fraKeyCtrSExp[kTabs] = {};
    QPushButton *cmdSetSysTab[kTabs] = {}, *cmdSetCmdTab[kTabs] = {}, *cmdSetHwrTab[kTabs] = {},
                *cmdSetDwnTab[kTabs] = {}, *cmdSetExpTab[kTabs] = {};
    QFrame *paneFrame(int pane, int tab) const;
    QPushButton *tabButton(int pane, int tab) const;

    // Shows pane 0 to 4 (the others fold) with the tab it was left on.
    void seeZOvuFra(int16_t pane);
    void setTab(int pane, int tab);
    void setKeyCtrCap();
    void setUsrLev();
    void soxMore();

    // --- Shoot/Edit mode ------------------------------------------------------
    QPushButton *cmdCapMode[2] = {}; // 0 Edit, 1 Shoot
    void cmdCapMode_Click(int index);

    // --- command lists ----------------------------------------------------------
    QPushButton *cmdCtrMode[4] = {};
    QGroupBox *fraAscCtrLst[4] = {};
    Deferred<QListWidget> lstCtrAscLow[4];
    Deferred<QListWidget> lstCtrAscHig[4];
    void cmdCtrMode_Click(int index);
    void lstCtrAscLow_Click(int index);
    void lstCtrAscHig_Click(int index);
    // Writes one list key to the open link port and shows it in the caption.
    void sendListKey(int index);

    // --- hardware pane ----------------------------------------------------------
    QCheckBox *chkHwrCLogOn = nullptr;
    QCheckBox *chkDebug = nullptr;
    QCheckBox *chkHwrLnkTo[3] = {}; // 1 Shoot mode into the CFile, 2 live link
    QLineEdit *txtHwrCLogPath = nullptr, *txtHwrCLogFile = nullptr, *txtHwrCLogBuf = nullptr;
    // The capture log's commands, 1 open, 2 start, 3 close, 4 pause, 5 resume
    // (0 unused).
    QPushButton *cmdHwrCLog[6] = {};
    void cmdHwrCLog_Click(int index);
    Deferred<QListWidget> lstSetHwrPwrMin, lstSetHwrPwrHrs, lstSetHwrSns;
    void zapHwrSet();
    void fixCLogCmds();
    void chkHwrLnkTo_Click(int index);
    void setLinkBox(int16_t index, bool ticked);

    // --- download destinations ---------------------------------------------------
    // Lists the open CFiles by caption, the active one marked "(Current)".
    void RefreshCFile();
    // The CFiles each list showed at its last refresh, by row.
    QHash<QListWidget *, QList<QPointer<frmDocument>>> listed_;

    // --- export pane ----------------------------------------------------------
    // The source of "Export to Excel": 0 string, 1 folder, 2 eDisk, 3 capture
    // log, 4 CFile, as the main window's five export commands.
    QRadioButton *optExpSrc[5] = {};
    QPushButton *cmdExp2Excel = nullptr;
    void optExpSrc_Click(int index);
    void cmdExp2Excel_Click();

    // --- progress -------------------------------------------------------------
    // The progress log: crlfBefore/crlfAfter line breaks around the text; the
    // box drops its head above 4000 characters so it never grows.
    QPlainTextEdit *txtPrgrs = nullptr;
    void PLog2Prgrs(const QString &text, int crlfBefore = 0, int crlfAfter = 0, int kind = 0);
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
    // Operation buttons: one whole operation of the unit each, inside the busy
    // lock; Start, Stop and Remote are coloured by the indicators.
    QPushButton *cmdKeyStart = nullptr, *cmdKeyStop = nullptr, *cmdKeyRemo = nullptr, *cmdKeyCalibrate = nullptr;
    // Reads the unit's status and opens the chronograph setup window.
    QPushButton *cmdQStatus = nullptr;
    void cmdQStatus_Click();
    void cmdKeyStart_Click();
    void cmdKeyStop_Click();
    void cmdKeyRemo_Click();
    void cmdKeyCalibrate_Click();
    QPushButton *cmdRawKey[7] = {}; // Q, A, T, F, 1, 2, 3 without waiting
    // Pre-check of every waiting key: only the KT4 and only in Shoot mode.
    void chkKeyOk(bool &ok);
    // Reports the engine's failed exchange (croErr) as "Failed to <action> <item>".
    void seeCroFail(int16_t &action, int16_t &item, int16_t &showLink);
    void cmdSetMod(int16_t mode);
    void cmdCroMode_Click(int index);
    // One waiting key by its row of the key table (0 Up ... 13 Undelete folder).
    // The keypad panel's keys come here too: one set of keys, bytes, gaps and
    // refusals whichever window the user presses them in.
    static constexpr int kWaitKeyRows = 14;
    void sndWaitKey(int row);
    // A row's control name ("cmdKeyUp", "cmdDelete0" ...) and caption.
    static QString waitKeyName(int row);
    static QString waitKeyCaption(int row);
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
    Deferred<QListWidget> lstDwnDesCFile;
    QGroupBox *fraDwnDesSee = nullptr;
    QLineEdit *txtDwnDesSee = nullptr;
    QPushButton *cmdDownload = nullptr;
    QLabel *fraWPrgrs = nullptr; // the wait frame shown while the keys go out
    Deferred<QListWidget> lstSetHwrStr;
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
    // Where the live link's shots go, shown on the Hardware pane: a new or an
    // open CFile, or the cell of the workbook the next row goes to.
    QGroupBox *fraHwrDesCFile = nullptr, *fraHwrDesExc = nullptr;
    QRadioButton *optHwrDesCFileNew = nullptr, *optHwrDesCFileSel = nullptr, *optHwrDesExcNew = nullptr;
    QLineEdit *txtHwrDesCFile = nullptr;
    Deferred<QListWidget> lstHwrDesCFile;
    QLineEdit *txtHwrDesExc = nullptr, *txtHwrDesExcSheet = nullptr, *txtHwrDesExcRow = nullptr,
              *txtHwrDesExcCol = nullptr;
    QCheckBox *chkHwrDesExcAdd = nullptr;
    QLabel *labHwrDesExcFile = nullptr, *labHwrDesExcSheet = nullptr, *labHwrDesExcRow = nullptr,
           *labHwrDesExcCol = nullptr, *labHwrDesExcCell = nullptr;
    void optHwrDesCFileNew_Click();
    void optHwrDesCFileSel_Click();
    void optHwrDesExcNew_Click();
    void seeHwrDesCFile();
    void seeHwrDesExc();
    QWidget *buildHwrDes(QWidget *parent);
    // A diagnostic box of an entry's digits at places 1, 4 and 7 ("d:d-d").
    static QString entDbgText(const QString &entry);
    void seeEntDbg(const QString &entry);
    void onnWPrgrs();
    void offWPrgrs();
    QGroupBox *buildDwn();

    // The lists are the heaviest controls of the panel: they are made when
    // the panel is first shown or a list is first used, each where a stand-in
    // kept its place. The load procedure still decides their contents.
    QWidget *deferList(Deferred<QListWidget> &list, QWidget *parent, const QString &name, const QString &accessible,
                       int maxHeight = 0, std::function<void(QListWidget *)> wire = {});
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    struct ListPlace {
        Deferred<QListWidget> *list;
        QWidget *standIn;
        QString name, accessible;
        int maxHeight;
        std::function<void(QListWidget *)> wire;
    };
    std::vector<ListPlace> listPlaces_;
    std::function<void()> makeLists_;
    bool listsMade_ = false;
    bool loaded_ = false; // the load procedure ran
    // The command lists' entries as the load procedure read them.
    QList<RemCmdEntry> cmds_;
    void makeLists();
    // Gives made lists the contents and states the load procedure and the
    // panel's state decide; nothing before they are made.
    void fillLists();
    void seeFactoryLists();
};

} // namespace vt
