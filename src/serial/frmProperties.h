// The port and device setup window CSetup: which device is served and on which
// port, the line settings of section "frmComSet", the start-up options, and
// the port scan that finds the COM ports and the KT4s on them, with its probe
// log. Start-up shows it modeless while it scans and modal when the user has
// to pick a port; the main window's setup item shows it at any time.
#pragma once

#include "shell/supportWindow.h"

#include <QString>
#include <QWidget>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace vt {

class frmProperties : public QWidget, public SupportWindow<frmProperties> {
    Q_OBJECT
public:
    frmProperties();
    ~frmProperties() override;

    // --- controls ---------------------------------------------------------
    QPushButton *cmdCroTab[2] = {};   // (0) the ports and the probe log, (1) the custom setup
    QStackedWidget *fraPages = nullptr;
    QListWidget *lstCurCro = nullptr; // the link's own port, one line
    QListWidget *lstCom2Cro = nullptr; // one line per usable port, with its packed code
    QPlainTextEdit *txtPLog = nullptr; // the probe log
    QPushButton *cmdDetect = nullptr;
    QPushButton *cmdTest = nullptr;
    QComboBox *cboDevice = nullptr;
    // The COM port the setup applies, each with the device behind it, and
    // that port's device: typed, or picked from the serial devices present.
    QComboBox *cboComPort = nullptr;
    QComboBox *cboPortDev = nullptr;
    QLabel *labPortDev = nullptr; // where the port's device comes from
    QComboBox *cboSpeed = nullptr;
    QComboBox *cboParity = nullptr;
    QComboBox *cboDataBits = nullptr;
    QComboBox *cboStopBits = nullptr;
    QComboBox *cboHandshaking = nullptr;
    QCheckBox *chkEcho = nullptr;
    QGroupBox *fraStartup = nullptr;  // " On Startup - Automaticaly "
    QCheckBox *chkAutoConnect = nullptr;
    QCheckBox *chkAutoDetect = nullptr;
    QRadioButton *optUserSelect[3] = {};
    QPushButton *cmdApply = nullptr;  // enabled while the setup has changes
    QPushButton *cmdClose = nullptr;

    // What the last scan found.
    int16_t KT4Found = 0;
    int16_t UnkFound = 0;

    // --- procedures -------------------------------------------------------
    void lodProperties();
    void extProperties(int cancel);
    // Fills the device and line-setting lists and selects the stored values
    // (Device and Echo are read with them).
    void GetPrtSetUp();
    // The start-up options into the boxes, and back.
    void GetFrmSet();
    void SaveFrmSet();
    void offSetup();
    void onnSetup();
    void onnSelect();
    void offSelect();
    // Port scan, then detection of KT4s on the usable ports; the list shows
    // the result.
    void croDetect();
    void prtScan();
    void croScan();
    // Selects the first usable port: any (anyFree non-zero) or the first on
    // which a KT4 answered. found tells whether there was one.
    void selCroFirst(int16_t anyFree, bool &found);
    // Applies the chosen port, device and line settings to the link, saves
    // them and opens the link on that port.
    void SetApply();
    void setDirty(int16_t mode);
    void vewCom2Cro();
    // kind 0: a line of its own; 1: text as the probe received it.
    void ShowPLog(const QString &text, int16_t kind, bool flag);
    void SetNorm();
    void FixPLog(int16_t mode);
    void SeePrtSetup();
    // The current-connection line from the link as it is now: its port while
    // it is open, " Connection = Off -------->" while it is closed.
    void updCurCro();
    // The COM ports with their devices, the serial devices present, and the
    // chosen port's device in the device box.
    void fillPortDevs();
    void seePortDev();
    // The devices the last scan tried, one line a port, with what it found.
    QString triedDevices() const;

    // The packed code of a list line: port c (bits 0-7), state b (8-11),
    // KT4 found a (12-15).
    static int mkItemData(int c, int b, int a) { return a * 4096 + b * 256 + c; }
    static int getItemData(int selector, int code);

    // --- events -----------------------------------------------------------
    void cmdApply_Click();
    void cmdClose_Click();
    void cmdDetect_Click();
    void cmdTest_Click();
    void cmdCroTab_Click(int index);

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    // The window's parts, made in the order a user tabs through them.
    QHBoxLayout *buildTabRow();        // the two page tabs above the pages
    QWidget *buildPortsPage();         // page 0: the ports, their chronographs, the probe log, Detect and Test
    QWidget *buildSetupPage();         // page 1: the port, its device and the line settings
    QGroupBox *buildStartupFrame();    // what start-up does by itself, and how it picks the port
    QHBoxLayout *buildCommandRow();    // Apply and Close
    void wireChanges();                // the changed mark, and the port list and port box following each other
    void fillLineLists();              // the choices of the device and line-setting boxes

    // The port of the chosen list line, else the link's.
    int16_t chosenPort() const;
    // False (and the user told) when another running copy holds the port.
    bool chkPortFree(int16_t port, const QString &what);
    QString settingsText() const;
    void selectSettings(const QString &settings, int handshaking);
    void changed();

    bool filling_ = false; // the window sets its own controls: no changed mark
    bool portPicked_ = false; // the user chose the port in the device box's row
    // The last scan: each port's device, state and whether a KT4 answered.
    struct Tried {
        QString device;
        int state = 0;
        bool probed = false;
        bool kt4 = false;
    };
    Tried tried_[16];
    bool scanned_ = false;
    void cboComPort_Change();
};

} // namespace vt
