// The multiple-document main window: the frame of the CFile windows, its
// menus, the two toolbars in the cool bar, the ruler, the status bar with the
// LED boxes, and the program's load, quit question and orderly shutdown.
#pragma once

#include "platform/forms.h"

#include <QMainWindow>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMenu;
class QStatusBar;
class QToolBar;

namespace vt {

// Where the main window goes at load, in twips, from the stored values and the
// screen size in twips (defaults and clamps of the load).
struct MdiGeometry {
    double left = 0, top = 0, width = 0, height = 0;
};
MdiGeometry getMDIGeometry(double screenWidth, double screenHeight);

class frmMDI : public QMainWindow, public SharedForm<frmMDI> {
    Q_OBJECT
public:
    frmMDI();
    ~frmMDI() override;

    // Answers of shoMsgBox.
    static inline bool bYes = false;
    static inline bool bNo = false;
    static inline bool bCancel = false;

    QMdiArea *mdiArea = nullptr;

    // --- File ---------------------------------------------------------------
    QMenu *mnuFile = nullptr;
    QAction *mnuFileNew = nullptr, *mnuFileOpen = nullptr, *mnuFileClose = nullptr, *mnuFileCloseAll = nullptr,
            *mnuFileSave = nullptr, *mnuFileSaveAs = nullptr, *mnuFileSaveAll = nullptr,
            *mnuFileSaveSelectionAs = nullptr, *mnuFileRevert = nullptr, *mnuFileExit = nullptr;
    QMenu *mnuCFiles = nullptr; // "CF&iles..."
    QAction *mnuViewDocumentProperties = nullptr, *mnuCFileReSeq = nullptr;
    QMenu *mnuPrinting = nullptr; // "&Print..."
    QAction *mnuFilePrintNow = nullptr, *mnuPrnPreview = nullptr, *mnuFilePageSetup = nullptr,
            *mnuPrintSetup = nullptr;

    // --- Edit ---------------------------------------------------------------
    QMenu *mnuEdit = nullptr;
    QAction *mnuEditUndo = nullptr, *mnuEditRedo = nullptr, *mnuEditCut = nullptr, *mnuEditCopy = nullptr,
            *mnuEditPaste = nullptr, *mnuEditDelete = nullptr, *mnuEditSelectAll = nullptr, *mnuTagClean = nullptr;

    // --- View ---------------------------------------------------------------
    QMenu *mnuView = nullptr;
    QAction *mnuViewToolbarStandard = nullptr, *mnuViewToolbarFormat = nullptr, *mnuViewRuler = nullptr,
            *mnuViewStatusBar = nullptr;
    QAction *mnuViewMode[3] = {};
    QAction *mnuViewRUvuzu = nullptr, *mnuViewBuffer = nullptr, *mnuKeyPad = nullptr, *mnuIProgress = nullptr;

    // --- Search -------------------------------------------------------------
    QMenu *mnuSearch = nullptr;
    QAction *mnuSearchFind = nullptr, *mnuSearchFindNext = nullptr, *mnuSearchReplace = nullptr,
            *mnuSearchGoTo = nullptr;

    // --- Insert -------------------------------------------------------------
    QMenu *mnuInsert = nullptr;
    QAction *mnuInsertTextFile = nullptr, *mnuInsertPicture = nullptr, *mnuInsertTimeDate = nullptr,
            *mnuInsertSymbols = nullptr, *mnuInsertPathandFile = nullptr;

    // --- Format -------------------------------------------------------------
    QMenu *mnuFormat = nullptr;
    QAction *mnuFormatFont = nullptr;
    QMenu *mnuTypeSet = nullptr;
    QAction *mnuTypBold = nullptr, *mnuTypItalic = nullptr;
    QMenu *mnuScriptSet = nullptr;
    QAction *mnuScrpUnderline = nullptr, *mnuScrpStrikeThru = nullptr;
    QMenu *mnuFormatScript = nullptr;
    QAction *mnuFormatScriptNoScript = nullptr, *mnuFormatScriptSubScript = nullptr,
            *mnuFormatScriptSuperScript = nullptr;
    QMenu *mnuParagraphAlign = nullptr;
    QAction *mnuParaLeft = nullptr, *mnuParaCenter = nullptr, *mnuParaRight = nullptr;
    QMenu *mnuFormatDentMain = nullptr;
    QAction *mnuFormatIndent = nullptr, *mnuFormatOutdent = nullptr;
    QAction *mnuBulletsSet = nullptr, *mnuFormatStart = nullptr, *mnuMrgnsSetup = nullptr, *mnuFrmtTabs = nullptr;
    // "&Spare...": the case conversion of the selection.
    QMenu *mnuCaseConvert = nullptr;
    QAction *mnuCaseUpper = nullptr, *mnuCaseLower = nullptr;

    // --- Chronograph --------------------------------------------------------
    QMenu *mnuRemote = nullptr;
    QAction *mnuRemStart = nullptr, *mnuRemStop = nullptr, *mnuRemRemo = nullptr, *mnuRemPowerOn = nullptr,
            *mnuRemArcheryOn = nullptr, *mnuRemRapidFireOn = nullptr, *mnuSnsOn = nullptr, *mnuSnsLevel = nullptr,
            *mnuCroPref = nullptr, *mnuRemSetups = nullptr, *mnuRemDownload = nullptr, *mnuRemExport = nullptr,
            *mnuRemClear = nullptr, *mnuRemUndoClear = nullptr, *mnuRemRestore = nullptr;

    // --- Spreadsheet --------------------------------------------------------
    QMenu *mnuExcel = nullptr;
    QAction *mnuExcConnect = nullptr, *mnuExcDisConnect = nullptr, *mnuExcLink = nullptr,
            *mnuRemExpExcStr = nullptr, *mnuRemExpExcFol = nullptr, *mnuExpExcEDi = nullptr,
            *mnuExpExcCFi = nullptr, *mnuExpExcZEzede = nullptr, *mnuExcSetup = nullptr;

    // --- Interface ----------------------------------------------------------
    QMenu *mnuInterface = nullptr;
    QAction *mnuSelect = nullptr, *mnuLogFont = nullptr, *mnuXSetup = nullptr, *mnuRemCtr = nullptr,
            *mnuLocalPort = nullptr, *mnuIRemote = nullptr, *mnuLocalConnect = nullptr;

    // --- Window and Help ----------------------------------------------------
    QMenu *mnuWindow = nullptr;
    QAction *mnuWindowCascade = nullptr, *mnuWindowTileHorizontal = nullptr, *mnuWindowTileVertical = nullptr,
            *mnuWindowArrangeIcons = nullptr, *mnuWindowMinimizeAll = nullptr, *mnuWindowRestoreAll = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpContents = nullptr, *mnuHelpIndex = nullptr, *mnuHelpSearch = nullptr, *mnuHelpTopic = nullptr,
            *mnuHelpTipoftheDay = nullptr, *mnuHelpAbout = nullptr;

    // --- Debug --------------------------------------------------------------
    QMenu *mnuDebug = nullptr;
    QAction *mnuDebugAction = nullptr; // the top-level entry of mnuDebug
    QAction *mnuDbgSftDbg = nullptr, *mnuDbgSftTst = nullptr, *mnuDbgSftShp = nullptr,
            *mnuDebugBar0 = nullptr, *mnuDbgSftHid = nullptr, *mnuGetDbg = nullptr, *mnuSavDbg = nullptr,
            *mnuDbgZapRegNow = nullptr, *mnuDebugBar1 = nullptr;
    QMenu *mnuDbgLevel = nullptr;
    QAction *mnuDbgIncLev = nullptr, *mnuDbgDecLev = nullptr, *mnuDbgMinLev = nullptr, *mnuDbgMaxLev = nullptr;
    QMenu *mnuDbgRegistry = nullptr;
    QAction *mnuDbgGetReg = nullptr, *mnuDbgSavReg = nullptr, *mnuDbgZapReg = nullptr;

    // --- Pop-up menu of the CFile windows -----------------------------------
    QMenu *popMain = nullptr;
    QAction *popUndo = nullptr, *popCut = nullptr, *popCopy = nullptr, *popPaste = nullptr, *popDelete = nullptr,
            *popSelectAll = nullptr, *popSearchGoTo = nullptr, *popSearch = nullptr, *popFormat = nullptr,
            *popFont = nullptr, *popCaseUpper = nullptr, *popCaseLower = nullptr, *popCapture = nullptr,
            *popRemStart = nullptr, *popRemStop = nullptr, *popRemRemo = nullptr, *popCapEdit = nullptr,
            *popRemCtr = nullptr, *popRemCtrList = nullptr;

    // --- Bars ---------------------------------------------------------------
    // The cool bar: band 1 the standard toolbar, band 2 the format toolbar.
    QToolBar *cbrBar = nullptr;
    QToolBar *tbrStandard = nullptr;
    QToolBar *tbrFormat = nullptr;
    QComboBox *cboFontName = nullptr;
    QComboBox *cboFontSize = nullptr;
    QLineEdit *txtFontColors = nullptr;
    QToolBar *cbrRuler = nullptr;
    QStatusBar *SXB = nullptr;
    QLabel *sxbLines = nullptr;          // the status bar's panel keyed "Lines"
    QLabel *sxbShots = nullptr;          // names the CFile taking the shots in Shoot mode
    QLineEdit *txtLedsStatus[7] = {};    // mode box and the six LED boxes
    QLabel *picInsert = nullptr;         // holds a picture before it is inserted

    // Band 1 or 2 of the cool bar (nullptr for any other number).
    QToolBar *cbrBand(int band) const;
    // Shows or hides one band; the cool bar is shown while either band is.
    void setBandVisible(int band, bool visible);

    // --- events and procedures ---------------------------------------------
    void Form_Load();
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void Form_Unload(int &cancel) override;
    void MDIForm_Load();
    void MDIForm_QueryUnload(int &cancel, int unloadMode);
    void MDIForm_Unload(int &cancel);
    void lodMDI() {}
    void extMDI(int cancel) { (void)cancel; }
    void showDebugMenu(bool visible);
    // Set once the load has run to its end: only then are the menus wired and
    // the window fit to be used.
    bool loadComplete = false;

    // The terminal window and the port: "i&Loger" of the View and Interface
    // menus, the Interface menu's "&Setup", and the toolbar buttons
    // BTerminal, Connect and Setup.
    void mnuLocalPort_Click();
    void mnuViewBuffer_Click();
    void mnuLocalConnect_Click();
    void tbrBTerminal_Click();
    // The remote-control panel and the keypad panel.
    void mnuRemCtr_Click();
    void tbrKeypad_Click();
    void mnuKeyPad_Click();
    // Interface > iR&emote shows the keypad panel as View > iR&emote does;
    // View > iPro&gress shows the progress window, or hides it when shown.
    void mnuIRemote_Click();
    void mnuIProgress_Click();
    void popRemCtr_Click();
    void popRemCtrList_Click();
    void tbrConnect_Click();
    void tbrSetup_Click();
    void modComTogShow(int16_t &mode);

    void mnuRemExpExcStr_Click();
    void mnuRemExpExcFol_Click();
    void mnuExpExcEDi_Click();
    void mnuExpExcZEzede_Click();
    void mnuExpExcCFi_Click();
    // Excel > Setup and Chrono > Setups: the export settings window.
    void mnuExcSetup_Click();
    // Excel > Connect, Disconnect and Link: the live link of the Capture sheet.
    void mnuExcConnect_Click();
    void mnuExcDisConnect_Click();
    void mnuExcLink_Click();
    // Help menu
    void mnuViewRUvuzu_Click();
    void mnuHelpContents_Click();
    void mnuHelpIndex_Click();
    void mnuHelpSearch_Click();
    void mnuHelpTopic_Click();
    void mnuHelpTipoftheDay_Click();
    void mnuHelpAbout_Click();
    // Window menu
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuWindowMinimizeAll_Click();
    void mnuWindowRestoreAll_Click();
    // Interface menu: "&More" flips SoftMore.
    void mnuSelect_Click();

    // Arranges the CFile windows: 0 cascade, 1 tile horizontally (one above
    // the other), 2 tile vertically (side by side), 3 the minimized ones in a
    // row along the bottom. Every window keeps a usable size: tiles that
    // would be too thin are laid out in further rows or columns.
    enum { vbCascade = 0, vbTileHorizontal = 1, vbTileVertical = 2, vbArrangeIcons = 3 };
    void Arrange(int arrangement);

    void mnuDbgSftDbg_Click();
    void mnuDbgSftTst_Click();
    void mnuDbgSftShp_Click();
    void mnuDbgSftHid_Click();
    void mnuGetDbg_Click();
    void mnuSavDbg_Click();
    void mnuDbgZapRegNow_Click();
    void mnuDbgIncLev_Click();
    void mnuDbgDecLev_Click();
    void mnuDbgMinLev_Click();
    void mnuDbgMaxLev_Click();
    void mnuDbgGetReg_Click();
    void mnuDbgSavReg_Click();
    void mnuDbgZapReg_Click();

    // Print, margin, tab and font formats of section "frmMDI".
    void getPrntFmt();
    void getMargFmt();
    void getTabsFmt();
    void getFontFmt();
    void savPrntFmt();
    void savMargFmt();
    void savTabsFmt();
    void savFontFmt();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void savBarsVis();
    void buildMenus();
    void buildBars();
    void buildStatusBar();
    void buildPopup();
    void togXlLinkFromMenu(int16_t mode);
};

} // namespace vt
