// What the shell uses of the subsystems above it: the serial link and
// terminal, the chronograph protocol, the remote-control panel and the editor
// tools. The shared variables live here, so that every layer can reach them;
// the procedures are reached through small interfaces that each subsystem
// installs at start-up (src/app/main.cpp; tests install fakes). Until a
// subsystem installs its own, a stand-in answers: no windows, a closed link
// port numbered 1, procedures that do nothing, nothing found.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

class Form;

// ---------------------------------------------------------------------------
// Serial link and terminal
// ---------------------------------------------------------------------------

// The chosen device type: 0 the KT4, 1 " Shooting Tarvek", 2 " Unknow
// Chronograph", 3 " Jotrix Terminal"; above 0 the device is served as a plain
// terminal. Stored as "Device" of section "frmComSet".
inline int16_t Device = 0;
// Start-up options of the serial setup.
inline bool AutoDetect = false;
inline bool AutoConnect = false;
inline int16_t ChronSelect = 0; // 0 "Select Last Used", 1 "Select First Free", 2 "Let Me Select My Own"
inline bool Echo = false;       // local echo of typed text
inline bool Com2CroSee = false;
inline bool SetupDirty = false;
inline bool SelectOn = false;
inline bool cmdRxToCFile = false; // the probe port's received text goes to the active CFile
inline int16_t ComPort[2] = {0, 0}; // element 0: the link port's number

class SerialNbr {
public:
    virtual ~SerialNbr() = default;

    // The terminal window and the port setup window (loaded on first use);
    // nullptr while the serial subsystem is not installed.
    virtual Form *frmTerminal() { return nullptr; }
    virtual Form *frmProperties() { return nullptr; }

    // The terminal window's link control MSComm1.
    virtual int16_t linkCommPort() { return 1; }
    virtual bool linkPortOpen() { return false; }
    virtual void linkOutput(const QString &text) { (void)text; }
    // The terminal box's text (CR LF line ends), and how many characters its
    // trimming has cut from its head so far: together they tell where a text
    // received earlier now stands, or that its head is gone.
    virtual QString termText() { return {}; }
    virtual int64_t termCut() { return 0; }

    // Terminal window
    virtual void lodTerminal() {}
    virtual void extTerminal(int cancel) { (void)cancel; }
    virtual void subOpenPort() {}
    virtual void PutCLogCaption(const QString &name) { (void)name; }
    virtual void zapCroTmrs() {}

    // Port and device setup window
    virtual void lodProperties() {}
    virtual void extProperties(int cancel) { (void)cancel; }
    virtual void GetPrtSetUp() {}
    virtual void GetFrmSet() {}
    virtual void SaveFrmSet() {}
    virtual void offSetup() {}
    virtual void onnSetup() {}
    virtual void onnSelect() {}
    virtual void offSelect() {}
    virtual void croDetect() {}
    // Selects the first free port with a chronograph of the device type;
    // true when one was found.
    virtual bool selCroFirst(int16_t device) { (void)device; return false; }
    // The devices the last port scan tried and what each gave, one line a port.
    virtual QString triedDevices() { return {}; }
    virtual void SetApply() {}
    virtual void setDirty(int16_t mode) { (void)mode; }
    virtual void vewCom2Cro() {}
    // Adds to the setup window's probe log: kind 0 a line of its own, kind 1
    // text as the probe port received it.
    virtual void ShowPLog(const QString &text, int16_t kind, bool flag) { (void)text; (void)kind; (void)flag; }
    virtual void SetNorm() {}
    virtual void FixPLog(int16_t mode) { (void)mode; }
    // Brings the port setup window on screen (the main window's setup item
    // and Setup button).
    virtual void SeePrtSetup() {}

    // What the indicators set and read of these windows.
    // The current text of the setup window's device list cboDevice, with its
    // leading blank; the stand-in answers the list's entry at Device.
    virtual QString deviceText();
    // The caption of the setup window's first tab button cmdCroTab(0).
    virtual void setCroTabCaption(const QString &caption) { (void)caption; }
    // The caption of the terminal window's menu item mnuOpenPortOnOff.
    virtual void setPortMenuCaption(const QString &caption) { (void)caption; }
    // The setup window's current-connection line, from the link as it is.
    virtual void updCurCro() {}
    // A character typed into the active CFile in Shoot mode: written to the
    // open link port (KeyAscii set to 0 unless local echo is on); false when
    // the port is closed and nothing was done.
    virtual bool putTrmChr(int16_t &KeyAscii) { (void)KeyAscii; return false; }
    // The main window's port toggle (its Connect button): with 0 closes the
    // link port when open, else opens it and ends capture into the CFile;
    // then refreshes the indicators.
    virtual void modComTogShow(int16_t &mode) { (void)mode; }
};

SerialNbr &nbrSerial();
// Installs the serial subsystem (the caller keeps ownership); nullptr puts
// the stand-in back.
void installSerial(SerialNbr *impl);

// ---------------------------------------------------------------------------
// Chronograph protocol and shot capture
// ---------------------------------------------------------------------------

// Routes of received text: (0) terminal box and capture log, (1) the active
// CFile, that is Shoot mode, (2) the remote-control panel.
inline bool RxRoute[3] = {false, false, false};
// An abort of the running chronograph task was asked for.
inline bool croAbortReq = false;

// The chronograph status record: what the last status answer said, plus the
// flags that the command engine, the calibration and the setup form keep.
// Texts hold a fixed number of characters (the unit's own field widths), cut
// or padded with blanks by the status parser; until a first answer they are
// empty. croTotShots is 32-bit: a unit past 32767 shots still gives a status.
struct CroStatus {
    QString croModel;          // 4 characters
    int16_t croVersion = 0;    // firmware version in tenths
    int32_t croTotShots = 0;   // total shots up to date
    float croBatVolts = 0;     // battery, volts
    float croCaseTemp = 0;     // case temperature, Celsius
    int16_t croPwrDwnHrs = 0;  // automatic power-down time
    int16_t croPwrDwnMin = 0;
    bool croPwrDwnOn = false;  // automatic power-down on
    bool croOnLine = false;    // the last exchange got an answer
    bool croPwrOn = false;     // an answer said "Power ON"
    bool croRFirOn = false;    // rapid fire
    bool croArcOn = false;     // archery mode
    bool croSnsOn = false;     // sensors armed
    int16_t croSnsLev = 0;     // sensitivity in percent
    int16_t croCalVal = 0;     // calibration value
    bool croCalOk = false;     // calibrated
    // Units, 3 characters each: "f/s" or "m/s", "fah" or "cel", "sec"; the
    // export's readers set them too.
    QString croVelUnits, croTmpUnits, croTimUnits;
    // The eDisk geometry: folders per disk, strings per folder, shots per string.
    int16_t croFolsDisk = 0, croStrsFol = 0, croShtsStr = 0;
    // The eDisk position: folder, string, shot position, shot under review.
    int16_t croCurFol = 0, croCurStr = 0, croCurPos = 0, croCurRev = 0;
    bool croCapLog = false;    // the unit sends CAP lines
    bool croTmpLog = false;    // ... with the temperature
    bool croStaLog = false;    // ... and statistics-position lines
    int16_t croCamLev = 0;     // user cam level
    bool croMemAlarm = false;  // memory alarm (the setup form keeps it)
    bool croExprtMod = false;  // expert mode (the setup form keeps it)
    bool croStaOk = false;     // a complete status answer was parsed
    // Of the calibration answer: 141 to 199 shows "-" on the LED.
    int16_t croCalFlag = 0;
    float croCalRes = 0;
};
inline CroStatus CroSta;

class ChronoNbr {
public:
    virtual ~ChronoNbr() = default;
    virtual void stpCrxWait() {}
    virtual void stpCom2Wait() {}
    virtual void getPortStates() {}
    // Reloads the command engine's reply-wait setting from the remote panel.
    virtual void setCroTmOut() {}
    // The start-up link check; leaves CroSta.croStaOk True on a complete status reply.
    virtual void chkCroLink() {}
    // Puts the command engine's state (croNoWait, croKeySent, croMenPos) at
    // its start values for a new run.
    virtual void zapCroLink() {}
    // Wakes the chronograph on the link port; true when it answered. Without
    // the command engine nothing answers.
    virtual bool croWake() { return false; }
    // Downloads the current string (1), folder (2) or the whole eDisk (3) into
    // the terminal text: 0 done, 1 the sensors are on, 2 the download failed.
    virtual int16_t getCroShots(int16_t kind) { (void)kind; return 2; }
    // A CFile window has gone (its caption given); Shoot mode must not stay
    // on with no CFile left to take the shots.
    virtual void cfileClosed(const QString &caption) { (void)caption; }
    // The user's abort of the running task (the general progress window's
    // Abort); until the command engine installs its own, the request is
    // only recorded, for the running operation to see at its next look.
    virtual void abtCroTask() { croAbortReq = true; }
    // Connects the main window's Chrono menu to the operations; called once
    // by its load.
    virtual void wireCommands() {}
};

ChronoNbr &nbrChrono();
void installChrono(ChronoNbr *impl);

// ---------------------------------------------------------------------------
// Chronograph remote control and setup
// ---------------------------------------------------------------------------

inline bool keyPadOn = false; // the keypad panel is shown

class RemoteNbr {
public:
    virtual ~RemoteNbr() = default;
    // The remote-control panel (loaded on first use); nullptr while not installed.
    virtual Form *frmRemCtr() { return nullptr; }
    virtual void lodRemCtr() {}
    virtual void extRemCtr(int cancel) { (void)cancel; }
    // The chronograph setup window, opened after a status read.
    virtual void shoCroSetup() {}
    // The sensor-state panel: shown on request, refreshed with the indicators.
    virtual void shoSnsState() {}
    virtual void seeSnsState() {}

    // What the indicators set on the panel.
    // Background colour (a colour number) of the remote key named "cmdKeyStart",
    // "cmdKeyStop" or "cmdKeyRemo".
    virtual void setKeyBackColor(const QString &key, uint32_t colour) { (void)key; (void)colour; }
    // Ticks (true) or clears the link check box chkHwrLnkTo(index), index 1 or 2.
    // Its click handler acts only while LnkToGuard (shell/modStatus.h) is false.
    virtual void setLinkBox(int16_t index, bool ticked) { (void)index; (void)ticked; }
    // Refills the panel's lists of open CFiles when it shows them.
    virtual void RefreshCFile() {}
    // Shows pane 1 (command list), 2 (keys), 3 (download) or 4 (export).
    virtual void seeZOvuFra(int16_t pane) { (void)pane; }
    // Re-lays the panel for the more-options switch SoftMore.
    virtual void soxMore() {}

    // Where the receive engine copies received text on the panel side.
    // The panel's live spreadsheet box (route 2).
    virtual void ShowExcTxt(const QString &text) { (void)text; }
    // Appends to the panel's progress box txtPrgrs, which keeps itself below
    // about 4000 characters (while BusyPrgrs).
    virtual void addPrgrsText(const QString &text) { (void)text; }
    // Refreshes the keypad's display after received lines (while keyPadOn).
    virtual void seeKeyPadLcd() {}
    // Shows the keypad panel (keyPadOn).
    virtual void showKeyPad() {}
    // The panel's reply-wait setting (its box txtHwrCLogBuf); the stand-in
    // answers the value the panel starts with.
    virtual QString hwrCLogBuf() { return QStringLiteral("2000"); }
    // The capture log's proposed name, in the panel's boxes txtHwrCLogPath (a
    // folder ending with "/") and txtHwrCLogFile. Until the panel holds them
    // the stand-in keeps them: the program folder and "vantlogs", the copy
    // number, ".txt".
    virtual QString hwrCLogPath();
    virtual QString hwrCLogFile();
    virtual void setHwrCLogName(const QString &path, const QString &file);
    // Sets the panel's capture-log buttons from cLogFile and cLogOn.
    virtual void fixCLogCmds() {}
    // The panel's progress bar prgRemCtr and percentage label labPrgrsVal:
    // the bar back to 0 of 100, or the share done on both.
    virtual void resetPrgrsBar() {}
    virtual void showPrgrs(int barValue, const QString &percent) { (void)barValue; (void)percent; }
    // The Tag of the panel's cycle timer tmrPCycle.
    virtual void setPCycleTag(const QString &tag) { (void)tag; }
};

RemoteNbr &nbrRemote();
void installRemote(RemoteNbr *impl);

// The chronograph's cursor and delete keys typed anywhere go to it as control
// characters: with the link port open and the KT4 chosen, Up, Down, Left,
// Right, Delete, Backspace, Page Up, Page Down (no modifier) and Alt+Delete,
// Alt+Backspace are sent and KeyCode is set to 0; anything else is left alone.
void keyPadCode(int16_t &KeyCode, int16_t &Shift);

// ---------------------------------------------------------------------------
// Editor tools
// ---------------------------------------------------------------------------

// The default document formats of every new CFile (shell/modDocFmt.h reads
// and writes them). Integers are 16-bit as stored; lengths are twips; colours
// are colour numbers (0x00BBGGRR). A first field of 1 means the default
// applies to every new CFile. Until the main window's load fills them with
// their factory values everything is zero.
struct FontFmt {
    int16_t FormatSetDefalt = 0;
    int16_t FormatAsk = 0;        // the font dialog's "Warning" box
    int16_t Changed = 0;          // the font dialog's comparison results only
    int16_t DocOpen = 0;          // a CFile was active when the font dialog loaded
    int32_t FontColor = 0;
    int32_t FontBackColor = 0;    // background of the whole CFile window
    QString FontName;
    int16_t FontSize = 0;         // points
    bool FontBold = false;
    bool FontUnderline = false;
    bool FontStrikeThru = false;
    bool FontItalic = false;
};
// The format of the active CFile's selection, as the format toolbar shows it.
struct DocFontFmtRec {
    QString SelFontName;
    int16_t SelFontSize = 0;
    int32_t SelColor = 0;
    int32_t SelBackColor = 0;     // the box's background
    bool SelBold = false;
    bool SelUnderline = false;
    bool SelStrikeThru = false;
    bool SelItalic = false;
};
struct MargFmt {
    int16_t MargDefalt = 0;
    int16_t MargDefaltAsk = 0;
    int16_t MargUnits = 0;        // display unit of the margins dialog, a scale-mode code
    int16_t Indent = 0;
    int16_t RightIndent = 0;
    int16_t HangingIndent = 0;    // also the step of Indent and Outdent
};
struct TabFmt {
    static constexpr int kMax = 100;
    int16_t TabDefalt = 0;
    int16_t TabDefaltAsk = 0;
    int16_t TabCount = 0;         // valid entries from index 0
    int16_t TabUnits = 0;         // display unit of the tab dialog, a scale-mode code
    int16_t TabPos[kMax] = {};    // twips
    QString TabName[kMax];
};
inline FontFmt FontFmtDef;
inline DocFontFmtRec DocFontFmt;
inline MargFmt MargFmtDef;
inline TabFmt TabFmtDef;
// The print format; margins in thousandths of an inch.
struct PrnMarginsRec {
    int32_t Left = 1000;
    int32_t Right = 1000;
    int32_t Top = 500;
    int32_t Bottom = 500;
    int16_t Orientation = 0;      // as the page setup stores it
    int16_t PaperSize = 0;        // read, not used
};
inline PrnMarginsRec PrnMargins;

inline bool FindOpened = false;   // the find window was opened in this run
inline int32_t fmtDumpNum = 0;    // running number of the font-record trace dumps

} // namespace vt
