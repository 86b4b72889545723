// The main window's menus: the menu bar with its submenus, the Debug menu
// and the pop-up menu of the CFile windows, and the status-bar notes that say
// what a disabled item needs.
#include "shell/frmMDI.h"

#include "platform/errors.h"
#include "platform/forms.h"

#include <QMenuBar>
#include <QToolBar>

namespace vt {

// Items that are off in some states say in the status bar what they need, so
// that a disabled item is never a dead end.
void frmMDI::explainConditions()
{
    const QString more = QStringLiteral("Available while Interface > More is checked.");
    const struct {
        QAction *item;
        QString tip;
    } tips[] = {
        {mnuRemCtr, more},
        {popRemCtr, more},
        {popCapture, more},
        {toolButton(tbrStandard, QStringLiteral("BTerminal")), QStringLiteral("The terminal window. ") + more},
        {toolButton(tbrStandard, QStringLiteral("Keypad")), QStringLiteral("The remote-control panel. ") + more},
        {mnuFileRevert, QStringLiteral("Goes back to the CFile's saved file: for a CFile read from or saved to a file.")},
        {mnuInsertPathandFile,
         QStringLiteral("Inserts the CFile's folder and file name: for a CFile read from or saved to a file.")},
        {mnuSearchFindNext, QStringLiteral("Finds the text of the last search again: search with Search > Find first.")},
        {mnuEditRedo, QStringLiteral("Redo is not available: Edit > Undo takes back the last change.")},
        {toolButton(tbrStandard, QStringLiteral("Redo")),
         QStringLiteral("Redo is not available: Edit > Undo takes back the last change.")},
    };
    for (const auto &t : tips)
        if (t.item)
            t.item->setStatusTip(t.tip);
}

QAction *frmMDI::addItem(QMenu *menu, const char *name, const QString &caption, void (frmMDI::*handler)())
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (handler) {
        const QString where = QStringLiteral("frmMDI/") + QString::fromLatin1(name) + QStringLiteral("_Click");
        connect(a, &QAction::triggered, this, [this, handler, where] { guarded(where, [&] { (this->*handler)(); }); });
    }
    return a;
}

QMenu *frmMDI::addSubMenu(QMenu *parent, const char *name, const QString &caption)
{
    QMenu *m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

void frmMDI::buildMenus()
{
    auto sep = [](QMenu *m) { m->addSeparator(); };

    mnuFile = addSubMenu(nullptr, "mnuFile", QStringLiteral("&File"));
    mnuFileNew = addItem(mnuFile, "mnuFileNew", QStringLiteral("&New"));
    mnuFileOpen = addItem(mnuFile, "mnuFileOpen", QStringLiteral("&Open..."));
    mnuFileClose = addItem(mnuFile, "mnuFileClose", QStringLiteral("&Close"));
    mnuFileCloseAll = addItem(mnuFile, "mnuFileCloseAll", QStringLiteral("Clos&e All"));
    sep(mnuFile);
    mnuFileSave = addItem(mnuFile, "mnuFileSave", QStringLiteral("&Save"));
    mnuFileSaveAs = addItem(mnuFile, "mnuFileSaveAs", QStringLiteral("Save &As"));
    mnuFileSaveAll = addItem(mnuFile, "mnuFileSaveAll", QStringLiteral("Sa&ve All"));
    mnuFileSaveSelectionAs = addItem(mnuFile, "mnuFileSaveSelectionAs", QStringLiteral("Save Se&t As"));
    mnuFileRevert = addItem(mnuFile, "mnuFileRevert", QStringLiteral("&Undo Erase"));
    sep(mnuFile);
    mnuCFiles = addSubMenu(mnuFile, "mnuCFiles", QStringLiteral("CF&iles..."));
    mnuViewDocumentProperties = addItem(mnuCFiles, "mnuViewDocumentProperties", QStringLiteral("&Property"));
    mnuCFileReSeq = addItem(mnuCFiles, "mnuCFileReSeq", QStringLiteral("&ReSequence"));
    mnuPrinting = addSubMenu(mnuFile, "mnuPrinting", QStringLiteral("&Print..."));
    mnuFilePrintNow = addItem(mnuPrinting, "mnuFilePrintNow", QStringLiteral("&Now"));
    mnuPrnPreview = addItem(mnuPrinting, "mnuPrnPreview", QStringLiteral("&Preview"));
    mnuFilePageSetup = addItem(mnuPrinting, "mnuFilePageSetup", QStringLiteral("Page &Setup"));
    mnuPrintSetup = addItem(mnuPrinting, "mnuPrintSetup", QStringLiteral("P&rinter"));
    sep(mnuFile);
    mnuFileExit = addItem(mnuFile, "mnuFileExit", QStringLiteral("E&xit"));

    mnuEdit = addSubMenu(nullptr, "mnuEdit", QStringLiteral("&Edit"));
    mnuEditUndo = addItem(mnuEdit, "mnuEditUndo", QStringLiteral("&Undo"));
    mnuEditRedo = addItem(mnuEdit, "mnuEditRedo", QStringLiteral("&Redo"));
    sep(mnuEdit);
    mnuEditCut = addItem(mnuEdit, "mnuEditCut", QStringLiteral("Cu&t"));
    mnuEditCopy = addItem(mnuEdit, "mnuEditCopy", QStringLiteral("&Copy"));
    mnuEditPaste = addItem(mnuEdit, "mnuEditPaste", QStringLiteral("&Paste"));
    mnuEditDelete = addItem(mnuEdit, "mnuEditDelete", QStringLiteral("&Delete"));
    sep(mnuEdit);
    mnuEditSelectAll = addItem(mnuEdit, "mnuEditSelectAll", QStringLiteral("&Select All"));
    mnuTagClean = addItem(mnuEdit, "mnuTagClean", QStringLiteral("Set2Cl&ean"));

    mnuView = addSubMenu(nullptr, "mnuView", QStringLiteral("&View"));
    mnuViewToolbarStandard = addItem(mnuView, "mnuViewToolbarStandard", QStringLiteral("&MainTools"));
    mnuViewToolbarFormat = addItem(mnuView, "mnuViewToolbarFormat", QStringLiteral("&Format"));
    mnuViewRuler = addItem(mnuView, "mnuViewRuler", QStringLiteral("&Ruler"));
    mnuViewStatusBar = addItem(mnuView, "mnuViewStatusBar", QStringLiteral("Stat&us"));
    for (QAction *a : {mnuViewToolbarStandard, mnuViewToolbarFormat, mnuViewRuler, mnuViewStatusBar})
        a->setCheckable(true);
    // As the bars stand when the window loads: both toolbars and the status
    // bar shown, the ruler hidden.
    mnuViewToolbarStandard->setChecked(true);
    mnuViewToolbarFormat->setChecked(true);
    mnuViewStatusBar->setChecked(true);
    sep(mnuView);
    const QString modes[3] = {QStringLiteral("Normal &View"), QStringLiteral("&Wrap Line"), QStringLiteral("WYSIWY&G")};
    for (int i = 0; i < 3; ++i) {
        mnuViewMode[i] = addItem(mnuView, "mnuViewMode", modes[i]);
        mnuViewMode[i]->setProperty("Index", i);
        mnuViewMode[i]->setCheckable(true);
    }
    sep(mnuView);
    mnuViewRUvuzu = addItem(mnuView, "mnuViewRUvuzu", QStringLiteral("i&Notes"), &frmMDI::mnuViewRUvuzu_Click);
    mnuViewBuffer = addItem(mnuView, "mnuViewBuffer", QStringLiteral("i&Loger"), &frmMDI::mnuViewBuffer_Click);
    mnuKeyPad = addItem(mnuView, "mnuKeyPad", QStringLiteral("iR&emote"), &frmMDI::mnuKeyPad_Click);
    mnuIProgress = addItem(mnuView, "mnuIProgress", QStringLiteral("iPro&gress"), &frmMDI::mnuIProgress_Click);

    mnuSearch = addSubMenu(nullptr, "mnuSearch", QStringLiteral("&Search"));
    mnuSearchFind = addItem(mnuSearch, "mnuSearchFind", QStringLiteral("&Find..."));
    mnuSearchFindNext = addItem(mnuSearch, "mnuSearchFindNext", QStringLiteral("Find &Next"));
    mnuSearchReplace = addItem(mnuSearch, "mnuSearchReplace", QStringLiteral("&Replace..."));
    mnuSearchGoTo = addItem(mnuSearch, "mnuSearchGoTo", QStringLiteral("&Go To..."));

    mnuInsert = addSubMenu(nullptr, "mnuInsert", QStringLiteral("&Insert"));
    mnuInsertTextFile = addItem(mnuInsert, "mnuInsertTextFile", QStringLiteral("&File"));
    mnuInsertPicture = addItem(mnuInsert, "mnuInsertPicture", QStringLiteral("&Picture"));
    mnuInsertTimeDate = addItem(mnuInsert, "mnuInsertTimeDate", QStringLiteral("&Time && Date"));
    mnuInsertSymbols = addItem(mnuInsert, "mnuInsertSymbols", QStringLiteral("ASCII &Symbol"));
    mnuInsertPathandFile = addItem(mnuInsert, "mnuInsertPathandFile", QStringLiteral("&Directory"));

    mnuFormat = addSubMenu(nullptr, "mnuFormat", QStringLiteral("F&ormat"));
    mnuFormatFont = addItem(mnuFormat, "mnuFormatFont", QStringLiteral("&Font"));
    mnuTypeSet = addSubMenu(mnuFormat, "mnuTypeSet", QStringLiteral("&Type..."));
    mnuTypBold = addItem(mnuTypeSet, "mnuTypBold", QStringLiteral("&Bold"));
    mnuTypItalic = addItem(mnuTypeSet, "mnuTypItalic", QStringLiteral("&Italic"));
    mnuScriptSet = addSubMenu(mnuFormat, "mnuScriptSet", QStringLiteral("&Effects..."));
    mnuScrpUnderline = addItem(mnuScriptSet, "mnuScrpUnderline", QStringLiteral("&Underline"));
    mnuScrpStrikeThru = addItem(mnuScriptSet, "mnuScrpStrikeThru", QStringLiteral("&StrikeThru"));
    mnuFormatScript = addSubMenu(mnuFormat, "mnuFormatScript", QStringLiteral("&Script..."));
    mnuFormatScriptNoScript = addItem(mnuFormatScript, "mnuFormatScriptNoScript", QStringLiteral("&None"));
    mnuFormatScriptSubScript = addItem(mnuFormatScript, "mnuFormatScriptSubScript", QStringLiteral("&Subscript"));
    mnuFormatScriptSuperScript = addItem(mnuFormatScript, "mnuFormatScriptSuperScript", QStringLiteral("S&upertscrip"));
    mnuParagraphAlign = addSubMenu(mnuFormat, "mnuParagraphAlign", QStringLiteral("&Align..."));
    mnuParaLeft = addItem(mnuParagraphAlign, "mnuParaLeft", QStringLiteral("&Left"));
    mnuParaCenter = addItem(mnuParagraphAlign, "mnuParaCenter", QStringLiteral("&Center"));
    mnuParaRight = addItem(mnuParagraphAlign, "mnuParaRight", QStringLiteral("&Right"));
    mnuFormatDentMain = addSubMenu(mnuFormat, "mnuFormatDentMain", QStringLiteral("&Ident..."));
    mnuFormatIndent = addItem(mnuFormatDentMain, "mnuFormatIndent", QStringLiteral("----->"));
    mnuFormatOutdent = addItem(mnuFormatDentMain, "mnuFormatOutdent", QStringLiteral("|<-----"));
    mnuBulletsSet = addItem(mnuFormat, "mnuBulletsSet", QStringLiteral("&Bullets..."));
    mnuCaseConvert = addSubMenu(mnuFormat, "mnuCaseConvert", QStringLiteral("&Spare..."));
    mnuCaseUpper = addItem(mnuCaseConvert, "mnuCaseUpper", QStringLiteral("&UpperCase"));
    mnuCaseLower = addItem(mnuCaseConvert, "mnuCaseLower", QStringLiteral("&LowerCase"));
    sep(mnuFormat);
    mnuFormatStart = addItem(mnuFormat, "mnuFormatStart", QStringLiteral("&General"));
    mnuMrgnsSetup = addItem(mnuFormat, "mnuMrgnsSetup", QStringLiteral("&Margins"));
    mnuFrmtTabs = addItem(mnuFormat, "mnuFrmtTabs", QStringLiteral("&Tabs"));
    for (QAction *a : {mnuTypBold, mnuTypItalic, mnuScrpUnderline, mnuScrpStrikeThru, mnuFormatScriptNoScript,
                       mnuFormatScriptSubScript, mnuFormatScriptSuperScript, mnuParaLeft, mnuParaCenter, mnuParaRight,
                       mnuBulletsSet, mnuFormatStart, mnuMrgnsSetup, mnuFrmtTabs})
        a->setCheckable(true);

    // The chronograph and spreadsheet commands are wired by their own
    // subsystems; here they only exist with their names.
    mnuRemote = addSubMenu(nullptr, "mnuRemote", QStringLiteral("&Chrono"));
    mnuRemStart = addItem(mnuRemote, "mnuRemStart", QStringLiteral("&Start"));
    mnuRemStop = addItem(mnuRemote, "mnuRemStop", QStringLiteral("St&op"));
    mnuRemRemo = addItem(mnuRemote, "mnuRemRemo", QStringLiteral("&Remote"));
    sep(mnuRemote);
    mnuRemPowerOn = addItem(mnuRemote, "mnuRemPowerOn", QStringLiteral("&Power"));
    mnuRemArcheryOn = addItem(mnuRemote, "mnuRemArcheryOn", QStringLiteral("&Archery"));
    mnuRemRapidFireOn = addItem(mnuRemote, "mnuRemRapidFireOn", QStringLiteral("Rapid &Fire"));
    mnuSnsOn = addItem(mnuRemote, "mnuSnsOn", QStringLiteral("Se&nsors"));
    mnuSnsLevel = addItem(mnuRemote, "mnuSnsLevel", QStringLiteral("Sensitivity "));
    sep(mnuRemote);
    mnuCroPref = addItem(mnuRemote, "mnuCroPref", QStringLiteral("Pr&eferences"));
    mnuRemSetups = addItem(mnuRemote, "mnuRemSetups", QStringLiteral("Set&ups"), &frmMDI::mnuExcSetup_Click);
    mnuRemDownload = addItem(mnuRemote, "mnuRemDownload", QStringLiteral("&Download"));
    mnuRemExport = addItem(mnuRemote, "mnuRemExport", QStringLiteral("E&xport"));
    sep(mnuRemote);
    mnuRemClear = addItem(mnuRemote, "mnuRemClear", QStringLiteral("&Clear eDisk"));
    mnuRemUndoClear = addItem(mnuRemote, "mnuRemUndoClear", QStringLiteral("&Undo Clear"));
    mnuRemRestore = addItem(mnuRemote, "mnuRemRestore", QStringLiteral("Res&tore eDisk"));
    for (QAction *a : {mnuRemStart, mnuRemStop, mnuRemRemo, mnuRemPowerOn, mnuRemArcheryOn, mnuRemRapidFireOn, mnuSnsOn})
        a->setCheckable(true);

    mnuExcel = addSubMenu(nullptr, "mnuExcel", QStringLiteral("E&xcel"));
    mnuExcConnect = addItem(mnuExcel, "mnuExcConnect", QStringLiteral("&Connect"), &frmMDI::mnuExcConnect_Click);
    mnuExcDisConnect = addItem(mnuExcel, "mnuExcDisConnect", QStringLiteral("&Disconnect"), &frmMDI::mnuExcDisConnect_Click);
    mnuExcLink = addItem(mnuExcel, "mnuExcLink", QStringLiteral("&Link"), &frmMDI::mnuExcLink_Click);
    sep(mnuExcel);
    mnuRemExpExcStr = addItem(mnuExcel, "mnuRemExpExcStr", QStringLiteral("&String"), &frmMDI::mnuRemExpExcStr_Click);
    mnuRemExpExcFol = addItem(mnuExcel, "mnuRemExpExcFol", QStringLiteral("&Folder"), &frmMDI::mnuRemExpExcFol_Click);
    mnuExpExcEDi = addItem(mnuExcel, "mnuExpExcEDi", QStringLiteral("&eDisk"), &frmMDI::mnuExpExcEDi_Click);
    mnuExpExcCFi = addItem(mnuExcel, "mnuExpExcCFi", QStringLiteral("C&File"), &frmMDI::mnuExpExcCFi_Click);
    mnuExpExcZEzede = addItem(mnuExcel, "mnuExpExcZEzede", QStringLiteral("&zEzede"), &frmMDI::mnuExpExcZEzede_Click);
    sep(mnuExcel);
    mnuExcSetup = addItem(mnuExcel, "mnuExcSetup", QStringLiteral("Set&up"), &frmMDI::mnuExcSetup_Click);
    mnuExcConnect->setCheckable(true);
    mnuExcDisConnect->setCheckable(true);

    mnuInterface = addSubMenu(nullptr, "mnuInterface", QStringLiteral("Interf&ace"));
    mnuSelect = addItem(mnuInterface, "mnuSelect", QStringLiteral("&More"), &frmMDI::mnuSelect_Click);
    mnuSelect->setCheckable(true);
    mnuLogFont = addItem(mnuInterface, "mnuLogFont", QStringLiteral("&LogFonts"));
    mnuXSetup = addItem(mnuInterface, "mnuXSetup", QStringLiteral("&General"));
    mnuLocalConnect = addItem(mnuInterface, "mnuLocalConnect", QStringLiteral("&Setup"), &frmMDI::mnuLocalConnect_Click);
    sep(mnuInterface);
    mnuRemCtr = addItem(mnuInterface, "mnuRemCtr", QStringLiteral("i&Pad"), &frmMDI::mnuRemCtr_Click);
    mnuLocalPort = addItem(mnuInterface, "mnuLocalPort", QStringLiteral("i&Loger"), &frmMDI::mnuLocalPort_Click);
    mnuIRemote = addItem(mnuInterface, "mnuIRemote", QStringLiteral("iR&emote"), &frmMDI::mnuIRemote_Click);
    mnuRemCtr->setCheckable(true);
    mnuLocalPort->setCheckable(true);

    mnuWindow = addSubMenu(nullptr, "mnuWindow", QStringLiteral("&Window"));
    mnuWindowCascade = addItem(mnuWindow, "mnuWindowCascade", QStringLiteral("&Cascade"),
                               &frmMDI::mnuWindowCascade_Click);
    mnuWindowTileHorizontal = addItem(mnuWindow, "mnuWindowTileHorizontal", QStringLiteral("Tile &Horizontal"),
                                      &frmMDI::mnuWindowTileHorizontal_Click);
    mnuWindowTileVertical = addItem(mnuWindow, "mnuWindowTileVertical", QStringLiteral("Tile &Vertical"),
                                    &frmMDI::mnuWindowTileVertical_Click);
    mnuWindowArrangeIcons = addItem(mnuWindow, "mnuWindowArrangeIcons", QStringLiteral("&Arrange Icons"),
                                    &frmMDI::mnuWindowArrangeIcons_Click);
    sep(mnuWindow);
    mnuWindowMinimizeAll = addItem(mnuWindow, "mnuWindowMinimizeAll", QStringLiteral("&Minimize All"),
                                   &frmMDI::mnuWindowMinimizeAll_Click);
    mnuWindowRestoreAll = addItem(mnuWindow, "mnuWindowRestoreAll", QStringLiteral("&Restore All"),
                                  &frmMDI::mnuWindowRestoreAll_Click);

    mnuHelp = addSubMenu(nullptr, "mnuHelp", QStringLiteral("&Help"));
    mnuHelpContents = addItem(mnuHelp, "mnuHelpContents", QStringLiteral("&Contents"), &frmMDI::mnuHelpContents_Click);
    mnuHelpIndex = addItem(mnuHelp, "mnuHelpIndex", QStringLiteral("&Index"), &frmMDI::mnuHelpIndex_Click);
    mnuHelpSearch = addItem(mnuHelp, "mnuHelpSearch", QStringLiteral("&Search"), &frmMDI::mnuHelpSearch_Click);
    mnuHelpTopic = addItem(mnuHelp, "mnuHelpTopic", QStringLiteral("&Topic"), &frmMDI::mnuHelpTopic_Click);
    sep(mnuHelp);
    mnuHelpTipoftheDay = addItem(mnuHelp, "mnuHelpTipoftheDay", QStringLiteral("Important &Notes"),
                                 &frmMDI::mnuHelpTipoftheDay_Click);
    sep(mnuHelp);
    mnuHelpAbout = addItem(mnuHelp, "mnuHelpAbout", QStringLiteral("&About Vantrell"), &frmMDI::mnuHelpAbout_Click);

    mnuDebug = new QMenu(QStringLiteral("&Debug"), this);
    mnuDebug->setObjectName(QStringLiteral("mnuDebug"));
    mnuDebugAction = menuBar()->addMenu(mnuDebug);
    mnuDebugAction->setObjectName(QStringLiteral("mnuDebugMenu"));
    mnuDbgSftDbg = addItem(mnuDebug, "mnuDbgSftDbg", QStringLiteral("&Debug"), &frmMDI::mnuDbgSftDbg_Click);
    mnuDbgSftTst = addItem(mnuDebug, "mnuDbgSftTst", QStringLiteral("&Test"), &frmMDI::mnuDbgSftTst_Click);
    mnuDbgSftShp = addItem(mnuDebug, "mnuDbgSftShp", QStringLiteral("Shi&p"), &frmMDI::mnuDbgSftShp_Click);
    mnuDebugBar0 = mnuDebug->addSeparator();
    mnuDebugBar0->setObjectName(QStringLiteral("mnuDebugBar0"));
    mnuDbgSftHid = addItem(mnuDebug, "mnuDbgSftHid", QStringLiteral("&Hide"), &frmMDI::mnuDbgSftHid_Click);
    mnuGetDbg = addItem(mnuDebug, "mnuGetDbg", QStringLiteral("&GetSetup"), &frmMDI::mnuGetDbg_Click);
    mnuSavDbg = addItem(mnuDebug, "mnuSavDbg", QStringLiteral("&SaveSetup"), &frmMDI::mnuSavDbg_Click);
    mnuDbgZapRegNow = addItem(mnuDebug, "mnuDbgZapRegNow", QStringLiteral("&ClearSetup"), &frmMDI::mnuDbgZapRegNow_Click);
    mnuDebugBar1 = mnuDebug->addSeparator();
    mnuDebugBar1->setObjectName(QStringLiteral("mnuDebugBar1"));
    mnuDbgLevel = mnuDebug->addMenu(QStringLiteral("&UserLevel..."));
    mnuDbgLevel->setObjectName(QStringLiteral("mnuDbgLevel"));
    mnuDbgIncLev = addItem(mnuDbgLevel, "mnuDbgIncLev", QStringLiteral("&Inc"), &frmMDI::mnuDbgIncLev_Click);
    mnuDbgDecLev = addItem(mnuDbgLevel, "mnuDbgDecLev", QStringLiteral("&Dec"), &frmMDI::mnuDbgDecLev_Click);
    mnuDbgMinLev = addItem(mnuDbgLevel, "mnuDbgMinLev", QStringLiteral("Mi&n"), &frmMDI::mnuDbgMinLev_Click);
    mnuDbgMaxLev = addItem(mnuDbgLevel, "mnuDbgMaxLev", QStringLiteral("&Max"), &frmMDI::mnuDbgMaxLev_Click);
    mnuDbgRegistry = mnuDebug->addMenu(QStringLiteral("&Registry..."));
    mnuDbgRegistry->setObjectName(QStringLiteral("mnuDbgRegistry"));
    mnuDbgGetReg = addItem(mnuDbgRegistry, "mnuDbgGetReg", QStringLiteral("&LoadOnStartup"), &frmMDI::mnuDbgGetReg_Click);
    mnuDbgSavReg = addItem(mnuDbgRegistry, "mnuDbgSavReg", QStringLiteral("&SaveOnExit"), &frmMDI::mnuDbgSavReg_Click);
    mnuDbgZapReg = addItem(mnuDbgRegistry, "mnuDbgZapReg", QStringLiteral("&ClearOnExit"), &frmMDI::mnuDbgZapReg_Click);
    for (QAction *a : {mnuDbgSftDbg, mnuDbgSftTst, mnuDbgSftShp, mnuDbgGetReg, mnuDbgSavReg, mnuDbgZapReg})
        a->setCheckable(true);
}

void frmMDI::buildPopup()
{
    popMain = new QMenu(QStringLiteral("Popup"), this);
    popMain->setObjectName(QStringLiteral("popMain"));
    popUndo = addItem(popMain, "popUndo", QStringLiteral("&Undo"));
    popMain->addSeparator();
    popCut = addItem(popMain, "popCut", QStringLiteral("Cu&t"));
    popCopy = addItem(popMain, "popCopy", QStringLiteral("&Copy"));
    popPaste = addItem(popMain, "popPaste", QStringLiteral("&Paste"));
    popDelete = addItem(popMain, "popDelete", QStringLiteral("&Delete"));
    popSelectAll = addItem(popMain, "popSelectAll", QStringLiteral("Select &All"));
    popMain->addSeparator();
    popSearchGoTo = addItem(popMain, "popSearchGoTo", QStringLiteral("&GoTo"));
    popSearch = addItem(popMain, "popSearch", QStringLiteral("&Search"));
    popMain->addSeparator();
    popFormat = addItem(popMain, "popFormat", QStringLiteral("&Format..."));
    popFont = addItem(popMain, "popFont", QStringLiteral("&Font"));
    popCaseUpper = addItem(popMain, "popCaseUpper", QStringLiteral("&UpperCase"));
    popCaseLower = addItem(popMain, "popCaseLower", QStringLiteral("&LowerCase"));
    popCapture = addItem(popMain, "popCapture", QStringLiteral("C&Link..."));
    popRemStart = addItem(popMain, "popRemStart", QStringLiteral("&Start"));
    popRemStop = addItem(popMain, "popRemStop", QStringLiteral("St&op"));
    popRemRemo = addItem(popMain, "popRemRemo", QStringLiteral("&Remote "));
    popCapEdit = addItem(popMain, "popCapEdit", QStringLiteral("&Edit Mode"));
    popCapEdit->setCheckable(true);
    popMain->addSeparator();
    popRemCtr = addItem(popMain, "popRemCtr", QStringLiteral("&zOvu"), &frmMDI::popRemCtr_Click);
    popRemCtrList = addItem(popMain, "popRemCtrList", QStringLiteral("&Shorcuts "), &frmMDI::popRemCtrList_Click);
}

void frmMDI::showDebugMenu(bool visible)
{
    mnuDebug->menuAction()->setVisible(visible);
}

} // namespace vt
