// The main window's menus as data: the menu bar with its submenus, the Debug
// menu and the pop-up menu of the CFile windows. An item that is off in some
// states says in its status tip what it needs, so that a disabled item is
// never a dead end. The chronograph and spreadsheet commands without a
// handler here are wired by their own subsystems; here they only exist with
// their names.
#include "shell/frmMDI.h"

#include "platform/menutable.h"

#include <QMenuBar>

namespace vt {

namespace {

using Row = MenuRow<frmMDI>;
using M = frmMDI;
constexpr unsigned C = menutable::Checkable;
constexpr unsigned On = menutable::Checked;

constexpr const char *kNeedsMore = "Available while Interface > More is checked.";

// As the bars stand when the window loads: both toolbars and the status bar
// shown (their items ticked), the ruler hidden.
const Row kMenuBar[] = {
    Row::sub("mnuFile", "&File", &M::mnuFile),
        Row::act("mnuFileNew", "&New", &M::mnuFileNew).keys(QKeySequence::New),
        Row::act("mnuFileOpen", "&Open...", &M::mnuFileOpen).keys(QKeySequence::Open),
        Row::act("mnuFileClose", "&Close", &M::mnuFileClose),
        Row::act("mnuFileCloseAll", "Clos&e All", &M::mnuFileCloseAll),
        Row::sep(),
        Row::act("mnuFileSave", "&Save", &M::mnuFileSave).keys(QKeySequence::Save),
        Row::act("mnuFileSaveAs", "Save &As", &M::mnuFileSaveAs),
        Row::act("mnuFileSaveAll", "Sa&ve All", &M::mnuFileSaveAll),
        Row::act("mnuFileSaveSelectionAs", "Save Se&t As", &M::mnuFileSaveSelectionAs),
        Row::act("mnuFileRevert", "&Undo Erase", &M::mnuFileRevert, nullptr, 0,
                 "Goes back to the CFile's saved file: for a CFile read from or saved to a file."),
        Row::sep(),
        Row::sub("mnuCFiles", "CF&iles...", &M::mnuCFiles),
            Row::act("mnuViewDocumentProperties", "&Property", &M::mnuViewDocumentProperties),
            Row::act("mnuCFileReSeq", "&ReSequence", &M::mnuCFileReSeq),
        Row::end(),
        Row::sub("mnuPrinting", "&Print...", &M::mnuPrinting),
            Row::act("mnuFilePrintNow", "&Now", &M::mnuFilePrintNow).keys(QKeySequence::Print),
            Row::act("mnuPrnPreview", "&Preview", &M::mnuPrnPreview),
            Row::act("mnuFilePageSetup", "Page &Setup", &M::mnuFilePageSetup),
            Row::act("mnuPrintSetup", "P&rinter", &M::mnuPrintSetup),
        Row::end(),
        Row::sep(),
        Row::act("mnuFileExit", "E&xit", &M::mnuFileExit),
    Row::end(),

    Row::sub("mnuEdit", "&Edit", &M::mnuEdit),
        Row::act("mnuEditUndo", "&Undo", &M::mnuEditUndo).keys(QKeySequence::Undo),
        Row::act("mnuEditRedo", "&Redo", &M::mnuEditRedo, nullptr, 0,
                 "Redo is not available: Edit > Undo takes back the last change.")
            .keys(QKeySequence::Redo),
        Row::sep(),
        Row::act("mnuEditCut", "Cu&t", &M::mnuEditCut).keys(QKeySequence::Cut),
        Row::act("mnuEditCopy", "&Copy", &M::mnuEditCopy).keys(QKeySequence::Copy),
        Row::act("mnuEditPaste", "&Paste", &M::mnuEditPaste).keys(QKeySequence::Paste),
        Row::act("mnuEditDelete", "&Delete", &M::mnuEditDelete),
        Row::sep(),
        Row::act("mnuEditSelectAll", "&Select All", &M::mnuEditSelectAll).keys(QKeySequence::SelectAll),
        Row::act("mnuTagClean", "Set2Cl&ean", &M::mnuTagClean),
    Row::end(),

    Row::sub("mnuView", "&View", &M::mnuView),
        Row::act("mnuViewToolbarStandard", "&MainTools", &M::mnuViewToolbarStandard, nullptr, On),
        Row::act("mnuViewToolbarFormat", "&Format", &M::mnuViewToolbarFormat, nullptr, On),
        Row::act("mnuViewRuler", "&Ruler", &M::mnuViewRuler, nullptr, C),
        Row::act("mnuViewStatusBar", "Stat&us", &M::mnuViewStatusBar, nullptr, On),
        Row::sep(),
        Row::element("mnuViewMode", "Normal &View", 0, C),
        Row::element("mnuViewMode", "&Wrap Line", 1, C),
        Row::element("mnuViewMode", "WYSIWY&G", 2, C),
        Row::sep(),
        Row::act("mnuViewRUvuzu", "i&Notes", &M::mnuViewRUvuzu, &M::mnuViewRUvuzu_Click),
        Row::act("mnuViewBuffer", "i&Loger", &M::mnuViewBuffer, &M::mnuViewBuffer_Click),
        Row::act("mnuKeyPad", "iR&emote", &M::mnuKeyPad, &M::mnuKeyPad_Click),
        Row::act("mnuIProgress", "iPro&gress", &M::mnuIProgress, &M::mnuIProgress_Click),
    Row::end(),

    Row::sub("mnuSearch", "&Search", &M::mnuSearch),
        Row::act("mnuSearchFind", "&Find...", &M::mnuSearchFind).keys(QKeySequence::Find),
        Row::act("mnuSearchFindNext", "Find &Next", &M::mnuSearchFindNext, nullptr, 0,
                 "Finds the text of the last search again: search with Search > Find first.")
            .keys(QKeySequence::FindNext),
        Row::act("mnuSearchReplace", "&Replace...", &M::mnuSearchReplace).keys(QKeySequence::Replace),
        Row::act("mnuSearchGoTo", "&Go To...", &M::mnuSearchGoTo),
    Row::end(),

    Row::sub("mnuInsert", "&Insert", &M::mnuInsert),
        Row::act("mnuInsertTextFile", "&File", &M::mnuInsertTextFile),
        Row::act("mnuInsertPicture", "&Picture", &M::mnuInsertPicture),
        Row::act("mnuInsertTimeDate", "&Time && Date", &M::mnuInsertTimeDate),
        Row::act("mnuInsertSymbols", "ASCII &Symbol", &M::mnuInsertSymbols),
        Row::act("mnuInsertPathandFile", "&Directory", &M::mnuInsertPathandFile, nullptr, 0,
                 "Inserts the CFile's folder and file name: for a CFile read from or saved to a file."),
    Row::end(),

    Row::sub("mnuFormat", "F&ormat", &M::mnuFormat),
        Row::act("mnuFormatFont", "&Font", &M::mnuFormatFont),
        Row::sub("mnuTypeSet", "&Type...", &M::mnuTypeSet),
            Row::act("mnuTypBold", "&Bold", &M::mnuTypBold, nullptr, C),
            Row::act("mnuTypItalic", "&Italic", &M::mnuTypItalic, nullptr, C),
        Row::end(),
        Row::sub("mnuScriptSet", "&Effects...", &M::mnuScriptSet),
            Row::act("mnuScrpUnderline", "&Underline", &M::mnuScrpUnderline, nullptr, C),
            Row::act("mnuScrpStrikeThru", "&StrikeThru", &M::mnuScrpStrikeThru, nullptr, C),
        Row::end(),
        Row::sub("mnuFormatScript", "&Script...", &M::mnuFormatScript),
            Row::act("mnuFormatScriptNoScript", "&None", &M::mnuFormatScriptNoScript, nullptr, C),
            Row::act("mnuFormatScriptSubScript", "&Subscript", &M::mnuFormatScriptSubScript, nullptr, C),
            Row::act("mnuFormatScriptSuperScript", "S&upertscrip", &M::mnuFormatScriptSuperScript, nullptr, C),
        Row::end(),
        Row::sub("mnuParagraphAlign", "&Align...", &M::mnuParagraphAlign),
            Row::act("mnuParaLeft", "&Left", &M::mnuParaLeft, nullptr, C),
            Row::act("mnuParaCenter", "&Center", &M::mnuParaCenter, nullptr, C),
            Row::act("mnuParaRight", "&Right", &M::mnuParaRight, nullptr, C),
        Row::end(),
        Row::sub("mnuFormatDentMain", "&Ident...", &M::mnuFormatDentMain),
            Row::act("mnuFormatIndent", "----->", &M::mnuFormatIndent),
            Row::act("mnuFormatOutdent", "|<-----", &M::mnuFormatOutdent),
        Row::end(),
        Row::act("mnuBulletsSet", "&Bullets...", &M::mnuBulletsSet, nullptr, C),
        // "&Spare...": the case conversion of the selection.
        Row::sub("mnuCaseConvert", "&Spare...", &M::mnuCaseConvert),
            Row::act("mnuCaseUpper", "&UpperCase", &M::mnuCaseUpper),
            Row::act("mnuCaseLower", "&LowerCase", &M::mnuCaseLower),
        Row::end(),
        Row::sep(),
        Row::act("mnuFormatStart", "&General", &M::mnuFormatStart, nullptr, C),
        Row::act("mnuMrgnsSetup", "&Margins", &M::mnuMrgnsSetup, nullptr, C),
        Row::act("mnuFrmtTabs", "&Tabs", &M::mnuFrmtTabs, nullptr, C),
    Row::end(),

    Row::sub("mnuRemote", "&Chrono", &M::mnuRemote),
        Row::act("mnuRemStart", "&Start", &M::mnuRemStart, nullptr, C),
        Row::act("mnuRemStop", "St&op", &M::mnuRemStop, nullptr, C),
        Row::act("mnuRemRemo", "&Remote", &M::mnuRemRemo, nullptr, C),
        Row::sep(),
        Row::act("mnuRemPowerOn", "&Power", &M::mnuRemPowerOn, nullptr, C),
        Row::act("mnuRemArcheryOn", "&Archery", &M::mnuRemArcheryOn, nullptr, C),
        Row::act("mnuRemRapidFireOn", "Rapid &Fire", &M::mnuRemRapidFireOn, nullptr, C),
        Row::act("mnuSnsOn", "Se&nsors", &M::mnuSnsOn, nullptr, C),
        Row::act("mnuSnsLevel", "Sensitivity ", &M::mnuSnsLevel),
        Row::sep(),
        Row::act("mnuCroPref", "Pr&eferences", &M::mnuCroPref),
        Row::act("mnuRemSetups", "Set&ups", &M::mnuRemSetups, &M::mnuExcSetup_Click),
        Row::act("mnuRemDownload", "&Download", &M::mnuRemDownload),
        Row::act("mnuRemExport", "E&xport", &M::mnuRemExport),
        Row::sep(),
        Row::act("mnuRemClear", "&Clear eDisk", &M::mnuRemClear),
        Row::act("mnuRemUndoClear", "&Undo Clear", &M::mnuRemUndoClear),
        Row::act("mnuRemRestore", "Res&tore eDisk", &M::mnuRemRestore),
    Row::end(),

    Row::sub("mnuExcel", "E&xcel", &M::mnuExcel),
        Row::act("mnuExcConnect", "&Connect", &M::mnuExcConnect, &M::mnuExcConnect_Click, C),
        Row::act("mnuExcDisConnect", "&Disconnect", &M::mnuExcDisConnect, &M::mnuExcDisConnect_Click, C),
        Row::act("mnuExcLink", "&Link", &M::mnuExcLink, &M::mnuExcLink_Click),
        Row::sep(),
        Row::act("mnuRemExpExcStr", "&String", &M::mnuRemExpExcStr, &M::mnuRemExpExcStr_Click),
        Row::act("mnuRemExpExcFol", "&Folder", &M::mnuRemExpExcFol, &M::mnuRemExpExcFol_Click),
        Row::act("mnuExpExcEDi", "&eDisk", &M::mnuExpExcEDi, &M::mnuExpExcEDi_Click),
        Row::act("mnuExpExcCFi", "C&File", &M::mnuExpExcCFi, &M::mnuExpExcCFi_Click),
        Row::act("mnuExpExcZEzede", "&zEzede", &M::mnuExpExcZEzede, &M::mnuExpExcZEzede_Click),
        Row::sep(),
        Row::act("mnuExcSetup", "Set&up", &M::mnuExcSetup, &M::mnuExcSetup_Click),
    Row::end(),

    Row::sub("mnuInterface", "Interf&ace", &M::mnuInterface),
        Row::act("mnuSelect", "&More", &M::mnuSelect, &M::mnuSelect_Click, C),
        Row::act("mnuLogFont", "&LogFonts", &M::mnuLogFont),
        Row::act("mnuXSetup", "&General", &M::mnuXSetup),
        Row::act("mnuLocalConnect", "&Setup", &M::mnuLocalConnect, &M::mnuLocalConnect_Click),
        Row::sep(),
        Row::act("mnuRemCtr", "i&Pad", &M::mnuRemCtr, &M::mnuRemCtr_Click, C, kNeedsMore),
        Row::act("mnuLocalPort", "i&Loger", &M::mnuLocalPort, &M::mnuLocalPort_Click, C),
        Row::act("mnuIRemote", "iR&emote", &M::mnuIRemote, &M::mnuIRemote_Click),
    Row::end(),

    Row::sub("mnuWindow", "&Window", &M::mnuWindow),
        Row::act("mnuWindowCascade", "&Cascade", &M::mnuWindowCascade, &M::mnuWindowCascade_Click),
        Row::act("mnuWindowTileHorizontal", "Tile &Horizontal", &M::mnuWindowTileHorizontal,
                 &M::mnuWindowTileHorizontal_Click),
        Row::act("mnuWindowTileVertical", "Tile &Vertical", &M::mnuWindowTileVertical,
                 &M::mnuWindowTileVertical_Click),
        Row::act("mnuWindowArrangeIcons", "&Arrange Icons", &M::mnuWindowArrangeIcons,
                 &M::mnuWindowArrangeIcons_Click),
        Row::sep(),
        Row::act("mnuWindowMinimizeAll", "&Minimize All", &M::mnuWindowMinimizeAll, &M::mnuWindowMinimizeAll_Click),
        Row::act("mnuWindowRestoreAll", "&Restore All", &M::mnuWindowRestoreAll, &M::mnuWindowRestoreAll_Click),
    Row::end(),

    Row::sub("mnuHelp", "&Help", &M::mnuHelp),
        Row::act("mnuHelpContents", "&Contents", &M::mnuHelpContents, &M::mnuHelpContents_Click),
        Row::act("mnuHelpIndex", "&Index", &M::mnuHelpIndex, &M::mnuHelpIndex_Click),
        Row::act("mnuHelpSearch", "&Search", &M::mnuHelpSearch, &M::mnuHelpSearch_Click),
        Row::act("mnuHelpTopic", "&Topic", &M::mnuHelpTopic, &M::mnuHelpTopic_Click),
        Row::sep(),
        Row::act("mnuHelpTipoftheDay", "Important &Notes", &M::mnuHelpTipoftheDay, &M::mnuHelpTipoftheDay_Click),
        Row::sep(),
        Row::act("mnuHelpAbout", "&About Vantrell", &M::mnuHelpAbout, &M::mnuHelpAbout_Click),
    Row::end(),
};

// The Debug menu's entry is shown only while the debug switches are seen.
const Row kDebugMenu[] = {
    Row::act("mnuDbgSftDbg", "&Debug", &M::mnuDbgSftDbg, &M::mnuDbgSftDbg_Click, C),
    Row::act("mnuDbgSftTst", "&Test", &M::mnuDbgSftTst, &M::mnuDbgSftTst_Click, C),
    Row::act("mnuDbgSftShp", "Shi&p", &M::mnuDbgSftShp, &M::mnuDbgSftShp_Click, C),
    Row::sep("mnuDebugBar0", &M::mnuDebugBar0),
    Row::act("mnuDbgSftHid", "&Hide", &M::mnuDbgSftHid, &M::mnuDbgSftHid_Click),
    Row::act("mnuGetDbg", "&GetSetup", &M::mnuGetDbg, &M::mnuGetDbg_Click),
    Row::act("mnuSavDbg", "&SaveSetup", &M::mnuSavDbg, &M::mnuSavDbg_Click),
    Row::act("mnuDbgZapRegNow", "&ClearSetup", &M::mnuDbgZapRegNow, &M::mnuDbgZapRegNow_Click),
    Row::sep("mnuDebugBar1", &M::mnuDebugBar1),
    Row::sub("mnuDbgLevel", "&UserLevel...", &M::mnuDbgLevel, menutable::BareEntry),
        Row::act("mnuDbgIncLev", "&Inc", &M::mnuDbgIncLev, &M::mnuDbgIncLev_Click),
        Row::act("mnuDbgDecLev", "&Dec", &M::mnuDbgDecLev, &M::mnuDbgDecLev_Click),
        Row::act("mnuDbgMinLev", "Mi&n", &M::mnuDbgMinLev, &M::mnuDbgMinLev_Click),
        Row::act("mnuDbgMaxLev", "&Max", &M::mnuDbgMaxLev, &M::mnuDbgMaxLev_Click),
    Row::end(),
    Row::sub("mnuDbgRegistry", "&Registry...", &M::mnuDbgRegistry, menutable::BareEntry),
        Row::act("mnuDbgGetReg", "&LoadOnStartup", &M::mnuDbgGetReg, &M::mnuDbgGetReg_Click, C),
        Row::act("mnuDbgSavReg", "&SaveOnExit", &M::mnuDbgSavReg, &M::mnuDbgSavReg_Click, C),
        Row::act("mnuDbgZapReg", "&ClearOnExit", &M::mnuDbgZapReg, &M::mnuDbgZapReg_Click, C),
    Row::end(),
};

// The pop-up menu of the CFile windows; most of its items are wired by the
// editor and the chronograph side.
const Row kPopup[] = {
    Row::act("popUndo", "&Undo", &M::popUndo),
    Row::sep(),
    Row::act("popCut", "Cu&t", &M::popCut),
    Row::act("popCopy", "&Copy", &M::popCopy),
    Row::act("popPaste", "&Paste", &M::popPaste),
    Row::act("popDelete", "&Delete", &M::popDelete),
    Row::act("popSelectAll", "Select &All", &M::popSelectAll),
    Row::sep(),
    Row::act("popSearchGoTo", "&GoTo", &M::popSearchGoTo),
    Row::act("popSearch", "&Search", &M::popSearch),
    Row::sep(),
    Row::act("popFormat", "&Format...", &M::popFormat),
    Row::act("popFont", "&Font", &M::popFont),
    Row::act("popCaseUpper", "&UpperCase", &M::popCaseUpper),
    Row::act("popCaseLower", "&LowerCase", &M::popCaseLower),
    Row::act("popCapture", "C&Link...", &M::popCapture, nullptr, 0, kNeedsMore),
    Row::act("popRemStart", "&Start", &M::popRemStart),
    Row::act("popRemStop", "St&op", &M::popRemStop),
    Row::act("popRemRemo", "&Remote ", &M::popRemRemo),
    Row::act("popCapEdit", "&Edit Mode", &M::popCapEdit, nullptr, C),
    Row::sep(),
    Row::act("popRemCtr", "&zOvu", &M::popRemCtr, &M::popRemCtr_Click, 0, kNeedsMore),
    Row::act("popRemCtrList", "&Shorcuts ", &M::popRemCtrList, &M::popRemCtrList_Click),
};

} // namespace

void frmMDI::buildMenus()
{
    const QString self = QStringLiteral("frmMDI");
    buildMenuTable<frmMDI>(this, menuBar(), kMenuBar, self);
    int mode = 0;
    for (QAction *a : mnuView->actions())
        if (a->objectName() == QLatin1String("mnuViewMode"))
            mnuViewMode[mode++] = a;

    mnuDebug = new QMenu(QStringLiteral("&Debug"), this);
    mnuDebug->setObjectName(QStringLiteral("mnuDebug"));
    mnuDebugAction = menuBar()->addMenu(mnuDebug);
    mnuDebugAction->setObjectName(QStringLiteral("mnuDebugMenu"));
    buildMenuTable<frmMDI>(this, mnuDebug, kDebugMenu, self);
}

void frmMDI::buildPopup()
{
    popMain = new QMenu(QStringLiteral("Popup"), this);
    popMain->setObjectName(QStringLiteral("popMain"));
    buildMenuTable<frmMDI>(this, popMain, kPopup, QStringLiteral("frmMDI"));
}

void frmMDI::showDebugMenu(bool visible)
{
    mnuDebug->menuAction()->setVisible(visible);
}

} // namespace vt
