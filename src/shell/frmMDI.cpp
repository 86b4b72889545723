// The main window's behaviour: its load, quit question and orderly shutdown,
// the commands its own menus and buttons carry out (the terminal, the panels,
// export, help, debug switches) and the arrangement of the CFile windows. The
// menus are built in frmMDI_menus.cpp, the bars in frmMDI_bars.cpp.
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

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QThread>
#include <QToolBar>

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
    showDebugMenu(SoftDebugSee);
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
