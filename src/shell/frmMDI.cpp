#include "shell/frmMDI.h"

#include "shell/frmAbout.h"
#include "shell/frmGPrgrs.h"
#include "shell/modHTMLHelp.h"

#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "shell/modBusy.h"
#include "shell/modCrsFrms.h"
#include "shell/modDocFmt.h"
#include "shell/modErrMsgs.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modPrgrs.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdint>

namespace vt {

namespace {

const QString kMDI = QStringLiteral("frmMDI");
const QString kVip = QStringLiteral("frmVipNotes");
const QString kCom = QStringLiteral("frmComSet");

void put(const QString &section, const char *key, const QString &value)
{
    SaveSetting(AppTitle, section, QString::fromLatin1(key), value);
}
QString num(double v) { return QString::number(v, 'g', 10); }

// A stored value that does not convert (a hand-edited "yes", a number out of
// range) takes its default and the load goes on: one bad key must not keep
// the main window from coming up.
bool getBool(const QString &section, const char *key, bool def)
{
    return GetSettingBool(AppTitle, section, QString::fromLatin1(key), def);
}
int16_t getInt(const QString &section, const char *key, int16_t def)
{
    const int v = GetSettingInt(AppTitle, section, QString::fromLatin1(key), def);
    return v < INT16_MIN || v > INT16_MAX ? def : int16_t(v);
}
double getDbl(const char *key, double def) { return GetSettingDouble(AppTitle, kMDI, QString::fromLatin1(key), def); }

} // namespace

MdiGeometry getMDIGeometry(double scrW, double scrH)
{
    MdiGeometry g;
    const double defW = 8025;
    // With no width stored (a first start) the window takes four fifths of
    // the screen, room for its toolbars unfolded; a stored width keeps its rules.
    const bool stored = !GetSetting(AppTitle, kMDI, QStringLiteral("SizWinX")).isEmpty();
    g.width = stored ? getDbl("SizWinX", defW) : std::max(defW, std::floor(scrW * 4 / 5));
    if (stored && (g.width > scrW - 50 || g.width < defW / 2))
        g.width = defW;
    const double defH = std::floor(scrH) * 2 / 3;
    g.height = getDbl("SizWinY", defH);
    if (g.height > scrH - 50 || g.height < defH / 2)
        g.height = defH;
    const double defL = (scrW - g.width) / 2;
    const double defT = (scrH - g.height) / 2;
    g.left = getDbl("PosWinX", defL);
    g.top = getDbl("PosWinY", defT);
    // Only an edge too far right or down is put back; a negative one stays.
    if (g.left > scrW - g.width / 2)
        g.left = defL;
    if (g.top > scrH - g.height / 2)
        g.top = defT;
    return g;
}

frmMDI::frmMDI()
{
    setObjectName(kMDI);
    setWindowTitle(AppTitle);
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea);
    buildMenus();
    buildBars();
    buildPopup();
    explainConditions();
    showDebugMenu(SoftDebugSee);
}

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

frmMDI::~frmMDI() = default;

// --- the terminal window and the port --------------------------------------

void frmMDI::mnuLocalPort_Click()
{
    CroTaskGuard task;
    if (task.refused())
        return;
    togTerminal();
}

void frmMDI::mnuViewBuffer_Click()
{
    togTerminal();
}

void frmMDI::mnuLocalConnect_Click()
{
    CroTaskGuard task;
    if (task.refused())
        return;
    nbrSerial().SeePrtSetup();
}

void frmMDI::tbrBTerminal_Click()
{
    togTerminal();
}

// --- the remote-control panel and the keypad panel ---------------------------

namespace {
// Another device than the KT4 is served as a plain terminal: the panel then
// opens only when the user says so, while the warnings are on.
bool keypadAllowed()
{
    if (ShowWarnKT && Device > 0)
        return nbrNotes().askMsgNote(0, 1) == 6;
    return true;
}
} // namespace

void frmMDI::tbrKeypad_Click()
{
    if (keypadAllowed())
        togKeypad();
}

void frmMDI::mnuRemCtr_Click()
{
    if (!keypadAllowed())
        return;
    CroTaskGuard task;
    if (task.refused())
        return;
    togKeypad();
}

void frmMDI::popRemCtr_Click() { mnuRemCtr_Click(); }

void frmMDI::popRemCtrList_Click()
{
    if (keypadAllowed())
        nbrRemote().seeZOvuFra(1);
}

void frmMDI::mnuKeyPad_Click() { nbrRemote().showKeyPad(); }

void frmMDI::mnuIRemote_Click() { mnuKeyPad_Click(); }

void frmMDI::mnuIProgress_Click()
{
    const bool shown = frmGPrgrs::isLoaded() && frmGPrgrs::instance()->isVisible();
    seeGPrgrs(shown ? 0 : 1);
}

void frmMDI::modComTogShow(int16_t &mode)
{
    nbrSerial().modComTogShow(mode);
}

void frmMDI::tbrConnect_Click()
{
    int16_t mode = 0;
    modComTogShow(mode);
    // The button shows the port's state, not the click.
    toolButton(tbrStandard, QStringLiteral("Connect"))->setChecked(nbrSerial().linkPortOpen());
    updAllSta();
}

void frmMDI::tbrSetup_Click()
{
    QAction *b = toolButton(tbrStandard, QStringLiteral("Setup"));
    b->setChecked(true);
    struct Release {
        QAction *b;
        ~Release() { b->setChecked(false); }
    } release{b};
    nbrSerial().SeePrtSetup();
}

// The notes window belongs to rUvuzu, which sits above the shell.
void frmMDI::mnuViewRUvuzu_Click() { nbrNotes().seeNotes(); }

// The export commands belong to the spreadsheet export, which sits above the shell.
void frmMDI::mnuRemExpExcStr_Click() { nbrExport().expXlCommand(0); }
void frmMDI::mnuRemExpExcFol_Click() { nbrExport().expXlCommand(1); }
void frmMDI::mnuExpExcEDi_Click() { nbrExport().expXlCommand(2); }
void frmMDI::mnuExpExcZEzede_Click() { nbrExport().expXlCommand(3); }
void frmMDI::mnuExpExcCFi_Click() { nbrExport().expXlCommand(4); }
void frmMDI::mnuExcSetup_Click() { nbrExport().showExpSetup(); }
void frmMDI::mnuExcConnect_Click() { togXlLinkFromMenu(1); }
void frmMDI::mnuExcDisConnect_Click() { togXlLinkFromMenu(0); }
void frmMDI::mnuExcLink_Click() { togXlLinkFromMenu(xlLinked ? 0 : 1); }

void frmMDI::togXlLinkFromMenu(int16_t mode)
{
    nbrExport().togXlLink(mode);
    // A checkable item ticks itself when clicked; a refused switch must not
    // leave it ticked against the link's state.
    mnuExcConnect->setChecked(xlLinked);
    mnuExcDisConnect->setChecked(!xlLinked);
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

QAction *frmMDI::addButton(QToolBar *bar, const QString &key, const char *icon, const QString &tip, bool checkable)
{
    QAction *a = bar->addAction(QIcon::fromTheme(QString::fromLatin1(icon)), key);
    a->setObjectName(bar->objectName() + u'_' + key);
    a->setProperty("key", key);
    a->setToolTip(tip);
    a->setCheckable(checkable);
    return a;
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

void frmMDI::buildBars()
{
    // Outside a desktop session Qt knows no icon theme; the desktop's own
    // default theme still gives the buttons their pictures.
    if (!QIcon::hasThemeIcon(QStringLiteral("document-new")))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    // The cool bar holds the two toolbars as its bands, one above the other.
    cbrBar = new QToolBar(QStringLiteral("cbrBar"), this);
    cbrBar->setObjectName(QStringLiteral("cbrBar"));
    cbrBar->setMovable(false);
    cbrBar->setFloatable(false);
    cbrBar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    auto *bands = new QWidget(cbrBar);
    auto *lay = new QVBoxLayout(bands);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    tbrStandard = new QToolBar(bands);
    tbrStandard->setObjectName(QStringLiteral("tbrStandard"));
    tbrFormat = new QToolBar(bands);
    tbrFormat->setObjectName(QStringLiteral("tbrFormat"));
    for (QToolBar *t : {tbrStandard, tbrFormat}) {
        t->setIconSize(QSize(16, 16));
        t->setToolButtonStyle(Qt::ToolButtonFollowStyle);
        lay->addWidget(t);
    }
    cbrBar->addWidget(bands);
    addToolBar(Qt::TopToolBarArea, cbrBar);

    struct B { const char *key, *icon, *tip; bool check; };
    static const B standard[] = {
        {"New", "document-new", "New CFile", false},
        {"Open", "document-open", "Open CFile", false},
        {"Save", "document-save", "Save CFile", false},
        {"Print", "document-print", "Print", false},
        {"Search", "edit-find", "Find", false},
        {"Cut", "edit-cut", "Cut", false},
        {"Copy", "edit-copy", "Copy", false},
        {"Paste", "edit-paste", "Paste", false},
        {"Undo", "edit-undo", "Undo", false},
        {"Redo", "edit-redo", "Redo", false},
        {"WordWrap", "format-justify-fill", "Word Wrap", true},
        {"FullScreen", "view-fullscreen", "Full Screen", false},
        {"BTerminal", "utilities-terminal", "zEzede: the terminal window", true},
        {"Connect", "network-wired", "Port On/Off", true},
        {"Setup", "preferences-system", "CSetup: the port setup window", true},
        {"Keypad", "input-keyboard", "zOvu: the remote-control panel", true},
        {"Help", "help-browser", "Help", false},
    };
    for (const B &b : standard)
        addButton(tbrStandard, QString::fromLatin1(b.key), b.icon, QString::fromLatin1(b.tip), b.check);
    // The port switch is also the way to open the link port again after a lost device.
    auto onButton = [this](const char *key, void (frmMDI::*handler)()) {
        const QString where = QStringLiteral("frmMDI/tbrStandard_ButtonClick(") + QString::fromLatin1(key) + u')';
        connect(toolButton(tbrStandard, QString::fromLatin1(key)), &QAction::triggered, this,
                [this, handler, where] { guarded(where, [&] { (this->*handler)(); }); });
    };
    onButton("BTerminal", &frmMDI::tbrBTerminal_Click);
    onButton("Connect", &frmMDI::tbrConnect_Click);
    onButton("Setup", &frmMDI::tbrSetup_Click);

    cboFontName = new QComboBox(tbrFormat);
    cboFontName->setObjectName(QStringLiteral("cboFontName"));
    cboFontName->setEditable(true);
    cboFontName->setMinimumContentsLength(14);
    cboFontSize = new QComboBox(tbrFormat);
    cboFontSize->setObjectName(QStringLiteral("cboFontSize"));
    cboFontSize->setEditable(true);
    cboFontSize->setMinimumContentsLength(3);
    txtFontColors = new QLineEdit(tbrFormat);
    txtFontColors->setObjectName(QStringLiteral("txtFontColors"));
    txtFontColors->setReadOnly(true);
    txtFontColors->setFixedWidth(24);
    txtFontColors->setToolTip(QStringLiteral("Font Color"));
    cboFontName->setToolTip(QStringLiteral("Font Name"));
    cboFontSize->setToolTip(QStringLiteral("Font Size"));
    for (QWidget *w : {static_cast<QWidget *>(cboFontName), static_cast<QWidget *>(cboFontSize),
                       static_cast<QWidget *>(txtFontColors)})
        w->setAccessibleName(w->toolTip());
    tbrFormat->addWidget(cboFontName);
    tbrFormat->addWidget(cboFontSize);
    tbrFormat->addWidget(txtFontColors);
    static const B format[] = {
        {"Bold", "format-text-bold", "Bold", true},
        {"Italic", "format-text-italic", "Italic", true},
        {"Underline", "format-text-underline", "Underline", true},
        {"StrikeThru", "format-text-strikethrough", "Strike Through", true},
        {"Left", "format-justify-left", "Align Left", true},
        {"Center", "format-justify-center", "Center", true},
        {"Right", "format-justify-right", "Align Right", true},
        {"Bullet", "format-list-unordered", "Bullets", true},
        {"TabLeft", "format-indent-less", "Outdent", false},
        {"TabRight", "format-indent-more", "Indent", false},
        {"CaseToLower", "", "Lower Case", false},
        {"CaseToUpper", "", "Upper Case", false},
        {"TruFont", "preferences-desktop-font", "Font", false},
    };
    for (const B &b : format)
        addButton(tbrFormat, QString::fromLatin1(b.key), b.icon, QString::fromLatin1(b.tip), b.check);
    toolButton(tbrFormat, QStringLiteral("CaseToLower"))->setText(QStringLiteral("a"));
    toolButton(tbrFormat, QStringLiteral("CaseToUpper"))->setText(QStringLiteral("A"));

    addToolBarBreak(Qt::TopToolBarArea);
    cbrRuler = new QToolBar(QStringLiteral("cbrRuler"), this);
    cbrRuler->setObjectName(QStringLiteral("cbrRuler"));
    cbrRuler->setMovable(false);
    cbrRuler->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, cbrRuler);
    cbrRuler->setVisible(false);

    SXB = new QStatusBar(this);
    SXB->setObjectName(QStringLiteral("SXB"));
    setStatusBar(SXB);
    sxbLines = new QLabel(SXB);
    sxbLines->setObjectName(QStringLiteral("sxbLines"));
    sxbLines->setProperty("key", QStringLiteral("Lines"));
    // Sized once for the widest count, so that a new count repaints the label
    // alone instead of laying out and repainting the whole status bar.
    sxbLines->setText(QStringLiteral("Line:999,999,999 tot:999,999,999 "));
    sxbLines->setFixedSize(sxbLines->sizeHint());
    sxbLines->clear();
    SXB->addWidget(sxbLines, 1);
    // Names the CFile that takes the chronograph's shots while Shoot mode is on.
    sxbShots = new QLabel(SXB);
    sxbShots->setObjectName(QStringLiteral("sxbShots"));
    sxbShots->setVisible(false);
    SXB->addPermanentWidget(sxbShots);
    static const char *const ledTips[7] = {
        "Jotrix:  Green=Shoot,  Yellow=Remote,  Gray=Edit,  Blue=TTY",
        "Calibration:  Green=Ok,  Yellow=Bad,  Gray=Uknown",
        "Sensors:  Green=On,  Yellow=Off,  Gray=Uknown",
        "High Speed:  Green=Off,  Yellow=On,  Gray=Uknown",
        "Archery:  Green=Off,  Yellow=On,  Gray=Uknown",
        "Rapid Fire:  Green=Off,  Yellow=On,  Gray=Uknown",
        "Chrono Power:  Green=On,  Yellow=Off,  Gray=Uknown",
    };
    static const char *const ledTexts[7] = {"Remo", "?", "S", "H", "A", "R", "P"};
    for (int i = 0; i < 7; ++i) {
        auto *led = new QLineEdit(QString::fromLatin1(ledTexts[i]), SXB);
        led->setObjectName(QStringLiteral("txtLedsStatus"));
        led->setProperty("Index", i);
        led->setToolTip(QString::fromLatin1(ledTips[i]));
        led->setReadOnly(true);
        led->setFocusPolicy(Qt::NoFocus);
        led->setAlignment(Qt::AlignCenter);
        led->setFixedWidth(i == 0 ? 48 : 22);
        SXB->addPermanentWidget(led);
        txtLedsStatus[i] = led;
    }

    picInsert = new QLabel(this);
    picInsert->setObjectName(QStringLiteral("picInsert"));
    picInsert->setVisible(false);
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

QToolBar *frmMDI::cbrBand(int band) const
{
    return band == 1 ? tbrStandard : band == 2 ? tbrFormat : nullptr;
}

void frmMDI::setBandVisible(int band, bool visible)
{
    if (QToolBar *t = cbrBand(band))
        t->setVisible(visible);
    cbrBar->setVisible(!tbrStandard->isHidden() || !tbrFormat->isHidden());
}

void frmMDI::showDebugMenu(bool visible)
{
    mnuDebug->menuAction()->setVisible(visible);
}

// --- load, quit question, shutdown -----------------------------------------

void frmMDI::Form_Load() { MDIForm_Load(); }
void frmMDI::Form_QueryUnload(int &cancel, int unloadMode) { MDIForm_QueryUnload(cancel, unloadMode); }
void frmMDI::Form_Unload(int &cancel) { MDIForm_Unload(cancel); }
void frmMDI::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmMDI::MDIForm_Load()
{
    nbrEditor().wireCommands();
    nbrChrono().wireCommands();
    nbrEditor().zapFgsMDI();
    QScreen *scr = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect s = scr ? scr->geometry() : QRect(0, 0, 1024, 768);
    const MdiGeometry g = getMDIGeometry(PixelsToTwips(s.width()), PixelsToTwips(s.height()));
    resize(TwipsToPixels(int(g.width)), TwipsToPixels(int(g.height)));
    move(s.x() + int(std::floor(g.left / TwipsPerPixel)), s.y() + int(std::floor(g.top / TwipsPerPixel)));

    SoftMore = getBool(kMDI, "MoreOptions", false);
    ShowWarn = getBool(kVip, "ShowWarn", true);
    ShowWarnKT = getBool(kVip, "ShowWarnKT", true);
    if (SoftShip) {
        UserLevel = getInt(kVip, "UserLevel", 0);
        SoftTest = getBool(kVip, "SoftTest", false);
    }
    AutoDetect = getBool(kCom, "AutoDetect", true);
    AutoConnect = getBool(kCom, "AutoConnect", true);
    ChronSelect = getInt(kCom, "ChronSelect", 1);
    Device = getInt(kCom, "Device", 0);
    Echo = getBool(kCom, "Echo", false);
    WindowState = getInt(QStringLiteral("frmCFile"), "WindowState", 2);
    if (WindowState > 2 || WindowState < 0)
        WindowState = 0;
    nbrEditor().getAllFmt();
    trkForm(0, "MDI");
    loadComplete = true;
}

void frmMDI::MDIForm_QueryUnload(int &cancel, int unloadMode)
{
    // Only the user's own close is asked about; the program, the task list
    // and the end of the session close without a question.
    if (unloadMode == vbFormControlMenu && ShowWarn) {
        if (!nbrNotes().askChronoWarn(QStringLiteral("Do you really want to Quit?")))
            cancel = 1;
    }
    // Changed notes and each changed CFile ask before they go; one kept keeps
    // the program.
    if (!cancel && !nbrNotes().qryExitNotes())
        cancel = 1;
    if (!cancel && !nbrEditor().unloadCFiles(vbFormMDIForm))
        cancel = 1;
}

void frmMDI::savBarsVis()
{
    if (!SaveRegistry)
        return;
    put(kMDI, "StandardToolbar", BoolText(mnuViewToolbarStandard->isChecked()));
    put(kMDI, "FormatToolbar", BoolText(mnuViewToolbarFormat->isChecked()));
    put(kMDI, "Ruler", BoolText(mnuViewRuler->isChecked()));
    put(kMDI, "StatusBar", BoolText(mnuViewStatusBar->isChecked()));
}

void frmMDI::MDIForm_Unload(int &cancel)
{
    // Every step is attempted, whatever failed before it: the instance record,
    // the other windows' exits and the error count must be written.
    ResumeNext step;
    const int cancelCopy = cancel;
    step([&] {
        if (isMinimized())
            showNormal();
    });
    step([&] { nbrEditor().savAllFmt(); });
    step([&] {
        const QRect f = frameGeometry();
        const QRect s = screen() ? screen()->geometry() : QRect();
        put(kMDI, "PosWinX", num(PixelsToTwips(f.x() - s.x())));
        put(kMDI, "PosWinY", num(PixelsToTwips(f.y() - s.y())));
        put(kMDI, "SizWinX", num(PixelsToTwips(width())));
        put(kMDI, "SizWinY", num(PixelsToTwips(height())));
    });
    step([&] {
        if (!SoftShip)
            savSoftFlags();
    });
    step([&] { savAppEnd(); });
    step([&] {
        put(kMDI, "MoreOptions", BoolText(SoftMore));
        put(kVip, "ShowWarn", BoolText(ShowWarn));
        put(kVip, "ShowWarnKT", BoolText(ShowWarnKT));
        if (SoftShip) {
            put(kVip, "UserLevel", QString::number(UserLevel));
            put(kVip, "SoftTest", BoolText(SoftTest));
        }
        put(kCom, "AutoDetect", BoolText(AutoDetect));
        put(kCom, "AutoConnect", BoolText(AutoConnect));
        put(kCom, "ChronSelect", QString::number(ChronSelect));
        put(kCom, "Device", QString::number(Device));
        put(kCom, "Echo", BoolText(Echo));
    });
    step([&] { savBarsVis(); });
    step([&] { nbrExport().extExcel(); });
    step([&] { clrPrgrsCancel(); });
    step([&] { extMDI(cancelCopy); });
    step([&] { nbrNotes().extTip(cancelCopy); });
    step([&] { nbrSerial().extProperties(cancelCopy); });
    step([&] { nbrSerial().extTerminal(cancelCopy); });
    step([&] { nbrRemote().extRemCtr(cancelCopy); });
    step([&] { zapTrkForm(QStringLiteral("MDI-Start-Unload")); });
    step([&] { nbrSerial().zapCroTmrs(); });
    for (const char *name : {"frmGPrgrs", "frmTip", "frmRemCtr", "frmTerminal", "frmProperties"}) {
        step([&] {
            if (Form *f = forms::find(QString::fromLatin1(name)))
                f->unload(vbFormCode);
        });
    }
    step([&] { zapTrkForm(QStringLiteral("MDI-End-Unload")); });
    for (Form *f : forms::loaded()) {
        if (f == this || f->widget()->objectName() == kMDI)
            continue;
        step([&] { f->unload(vbFormCode); });
    }
    step([&] { put(QStringLiteral("frmErrox"), "gxMoxErc", QString::number(errCount)); });
    step([&] { trkForm(1, "MDI"); });
    step([&] {
        if (!ClearRegistry)
            return;
        const int answer = MsgBox(QStringLiteral("Clear Registry Key - ''") + AppTitle + QStringLiteral("''"),
                                  vbYesNo | vbDefaultButton1 | vbSystemModal,
                                  AppTitle + QStringLiteral(" - Clear Registry"));
        if (answer == vbYes)
            mnuDbgZapRegNow_Click();
    });
    Err.Clear();
    // The program ends with its main window; leave the event loop when one
    // runs (a test that unloads the window directly has none).
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::quit();
}

// --- Debug menu ------------------------------------------------------------

void frmMDI::mnuDbgSftDbg_Click()
{
    SoftDebug = !SoftDebug;
    mnuDbgSftDbg->setChecked(SoftDebug);
}

void frmMDI::mnuDbgSftTst_Click()
{
    SoftTest = !SoftTest;
    updAllSta();
}

void frmMDI::mnuDbgSftShp_Click()
{
    SoftShip = !SoftShip;
    if (SoftShip) {
        savSoftFlags();
        zapSoftFlags();
    } else {
        getSoftFlags();
    }
    updAllSta();
}

void frmMDI::mnuDbgSftHid_Click()
{
    SoftDebugSee = false;
    showDebugMenu(false);
}

void frmMDI::mnuGetDbg_Click()
{
    getSoftFlags();
    getPrntFmt();
    getMargFmt();
    getTabsFmt();
    getFontFmt();
    updAllSta();
}

void frmMDI::mnuSavDbg_Click()
{
    savSoftFlags();
    savPrntFmt();
    savMargFmt();
    savTabsFmt();
    savFontFmt();
}

void frmMDI::mnuDbgZapRegNow_Click() { zapRegSections(); }

void frmMDI::mnuDbgIncLev_Click()
{
    if (UserLevel < 4) {
        ++UserLevel;
        updAllSta();
    }
}

void frmMDI::mnuDbgDecLev_Click()
{
    if (UserLevel > 0) {
        --UserLevel;
        updAllSta();
    }
}

void frmMDI::mnuDbgMinLev_Click() { UserLevel = 0; updAllSta(); }
void frmMDI::mnuDbgMaxLev_Click() { UserLevel = 4; updAllSta(); }
void frmMDI::mnuDbgGetReg_Click() { GetRegistry = !GetRegistry; mnuDbgGetReg->setChecked(GetRegistry); }
void frmMDI::mnuDbgSavReg_Click() { SaveRegistry = !SaveRegistry; mnuDbgSavReg->setChecked(SaveRegistry); }
void frmMDI::mnuDbgZapReg_Click() { ClearRegistry = !ClearRegistry; mnuDbgZapReg->setChecked(ClearRegistry); }

void frmMDI::getPrntFmt() { vt::getPrntFmt(); }
void frmMDI::getMargFmt() { vt::getMargFmt(); }
void frmMDI::getTabsFmt() { vt::getTabsFmt(); }
void frmMDI::getFontFmt() { vt::getFontFmt(); }
void frmMDI::savPrntFmt() { vt::savPrntFmt(); }
void frmMDI::savMargFmt() { vt::savMargFmt(); }
void frmMDI::savTabsFmt() { vt::savTabsFmt(); }
void frmMDI::savFontFmt() { vt::savFontFmt(); }

void frmMDI::mnuHelpContents_Click() { hlpContents(this); }
void frmMDI::mnuHelpIndex_Click() { hlpIndex(this); }
void frmMDI::mnuHelpSearch_Click() { hlpSearch(this); }
void frmMDI::mnuHelpTopic_Click() { hlpContext(this, 0); }

void frmMDI::mnuHelpTipoftheDay_Click()
{
    if (!nbrNotes().frmTip())
        return; // only the shell's own tests run without the notes
    // Shown on its current note and counted in use, as every other showing.
    nbrNotes().showTipModeless();
}

void frmMDI::mnuHelpAbout_Click()
{
    frmAbout *about = frmAbout::get();
    about->show();
    about->raise();
}

// --- Window and Interface menus ------------------------------------------

void frmMDI::mnuWindowCascade_Click() { Arrange(vbCascade); }
void frmMDI::mnuWindowTileHorizontal_Click() { Arrange(vbTileHorizontal); }
void frmMDI::mnuWindowTileVertical_Click() { Arrange(vbTileVertical); }
void frmMDI::mnuWindowArrangeIcons_Click() { Arrange(vbArrangeIcons); }

namespace {

// Minimized (1) or normal (0) for one loaded window; a CFile changes the frame
// it sits in within the main window's area. A window that is not shown (the
// support windows stay loaded, hidden, for the whole run) is left as it is: a
// new window state would map it on the screen behind the program's back, as
// a window that never paints and cannot be closed. A minimized window still
// counts as shown.
void setFormState(Form *f, bool minimized)
{
    QWidget *w = f->widget();
    if (!w)
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget())) {
        if (sub->isHidden())
            return;
        if (minimized)
            sub->showMinimized();
        else
            sub->showNormal();
        return;
    }
    if (!w->isWindow() || !w->isVisible())
        return;
    Qt::WindowStates st = w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (minimized)
        st |= Qt::WindowMinimized;
    w->setWindowState(st);
}

// The smallest tile that still shows a few lines of a CFile.
constexpr int kMinTileWidth = 200;
constexpr int kMinTileHeight = 120;

} // namespace

void frmMDI::mnuWindowMinimizeAll_Click()
{
    if (!mdiArea->activeSubWindow()) {
        shoMsgBox(QStringLiteral("No Open CFile !"), QStringLiteral("Jotrix"), true);
        return;
    }
    // The first loaded window (the main window itself) is left alone.
    const QList<Form *> list = forms::loaded();
    for (qsizetype i = 1; i < list.size(); ++i)
        setFormState(list[i], true);
}

void frmMDI::mnuWindowRestoreAll_Click()
{
    if (!mdiArea->activeSubWindow()) {
        shoMsgBox(QStringLiteral("No Open CFile !"), QStringLiteral("Jotrix"), true);
        return;
    }
    const QList<Form *> list = forms::loaded();
    for (qsizetype i = 1; i < list.size(); ++i)
        setFormState(list[i], false);
}

void frmMDI::Arrange(int arrangement)
{
    if (arrangement == vbCascade) {
        mdiArea->cascadeSubWindows();
        return;
    }
    // Topmost first, so that the window in front takes the first tile.
    QList<QMdiSubWindow *> open, icons;
    const QList<QMdiSubWindow *> stack = mdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        QMdiSubWindow *w = *it;
        if (!w->isVisible())
            continue;
        (w->isMinimized() ? icons : open) << w;
    }
    QRect area = mdiArea->viewport()->rect();
    if (arrangement == vbArrangeIcons) {
        int x = area.left();
        int y = area.bottom() + 1;
        int rowHeight = 0;
        for (QMdiSubWindow *w : icons) {
            const QSize s = w->size();
            if (x > area.left() && x + s.width() > area.right() + 1) {
                x = area.left();
                y -= rowHeight;
                rowHeight = 0;
            }
            if (rowHeight == 0)
                rowHeight = s.height();
            w->move(x, y - s.height());
            x += s.width();
        }
        return;
    }
    if (arrangement != vbTileHorizontal && arrangement != vbTileVertical)
        vt::raise(5);
    if (open.isEmpty())
        return;
    // The minimized windows keep their row along the bottom.
    if (!icons.isEmpty())
        area.setBottom(std::max(area.top() + kMinTileHeight, area.bottom() - icons.first()->height()));
    const qsizetype n = open.size();
    const bool horizontal = arrangement == vbTileHorizontal;
    // Horizontal tiles are strips one above the other, vertical ones columns
    // side by side; strips that would be too thin go into a further column
    // (or row), and the last one takes up what its line leaves.
    const int room = horizontal ? area.height() / kMinTileHeight : area.width() / kMinTileWidth;
    const qsizetype perLine = std::clamp<qsizetype>(room, 1, n);
    const qsizetype lines = (n + perLine - 1) / perLine;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype line = i / perLine;
        const qsizetype inLine = line == lines - 1 ? n - line * perLine : perLine;
        const qsizetype pos = i % perLine;
        QRect r;
        if (horizontal) {
            const int w = area.width() / int(lines);
            const int h = area.height() / int(inLine);
            r = QRect(area.left() + int(line) * w, area.top() + int(pos) * h, w, h);
        } else {
            const int w = area.width() / int(inLine);
            const int h = area.height() / int(lines);
            r = QRect(area.left() + int(pos) * w, area.top() + int(line) * h, w, h);
        }
        if (open[i]->isMaximized())
            open[i]->showNormal();
        open[i]->setGeometry(r);
    }
}

void frmMDI::mnuSelect_Click()
{
    SoftMore = !SoftMore;
    mnuSelect->setChecked(SoftMore);
    nbrNotes().soxMore();
    nbrRemote().soxMore();
    updAllSta();
}

} // namespace vt
