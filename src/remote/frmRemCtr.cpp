#include "remote/frmRemCtr.h"

#include "chrono/modCroCap.h"
#include "editor/frmDocument.h"
#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
#include "platform/controls.h"
#include "platform/conversions.h"
#include "platform/ctlcolor.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/settings.h"
#include "platform/timerctl.h"
#include "remote/frmKeyPad.h"
#include "remote/modRemCmds.h"
#include "serial/frmTerminal.h"
#include "serial/modCapLog.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modCrsFrms.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modPrgrs.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"
#include "shell/prgrsFrame.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextCursor>
#include <QVBoxLayout>

namespace vt {

namespace {
const QString kSection = QStringLiteral("frmRemCtr");
const QString kWhere = QStringLiteral("frmRemCtr-");
const char *const kPaneNames[frmRemCtr::kPanes] = {"System", "Commands", "Hardware", "Download", "Export"};
const char *const kTabStems[frmRemCtr::kPanes] = {"Sys", "Cmd", "Hwr", "Dwn", "Exp"};

QStringList latin1(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts)
        out << QString::fromLatin1(t);
    return out;
}

QStringList numbered(const QString &stem, int count, int first)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << stem + QString::number(first + i);
    return out;
}

template <class B, size_t N>
void keep(B *(&into)[N], const std::vector<B *> &made, size_t first = 0)
{
    std::copy(made.begin(), made.end(), into + first);
}

QVBoxLayout *tabBox(QFrame *tab) { return static_cast<QVBoxLayout *>(tab->layout()); }

// Shoot and Edit mode, always at hand.
QLayout *buildModeRow(frmRemCtr *f)
{
    auto *row = new QHBoxLayout;
    const auto modes = controls::makeArray<QPushButton>(
        f, QStringLiteral("cmdCapMode"), latin1({"&Edit", "&Shoot"}), [f](int i) { f->cmdCapMode_Click(i); },
        kWhere + QStringLiteral("cmdCapMode_Click"));
    keep(f->cmdCapMode, modes);
    for (QPushButton *b : modes)
        b->setCheckable(true);
    controls::addAll(row, controls::widgets(modes));
    return row;
}

// The pane selectors, and the button that shows the progress log.
QLayout *buildPaneRow(frmRemCtr *f, QPushButton *&seeLog)
{
    auto *grid = new QGridLayout;
    QStringList captions;
    for (const char *n : kPaneNames)
        captions << QString::fromLatin1(n);
    auto buttons = controls::makeArray<QPushButton>(
        f, QStringLiteral("cmdKeyCtrFra"), captions, [f](int p) { f->seeZOvuFra(int16_t(p)); },
        kWhere + QStringLiteral("cmdKeyCtrFra_Click"));
    keep(f->cmdKeyCtrFra, buttons);
    seeLog = controls::make<QPushButton>(f, {QStringLiteral("cmdSeePrgrs"), QStringLiteral("&Log")}, kWhere);
    seeLog->setCheckable(true);
    buttons.push_back(seeLog);
    controls::addGrid(grid, controls::widgets(buttons), 3);
    return grid;
}

// The panes: each open (a row of tab buttons over its tabs' frames) or
// folded to its title.
void buildPanes(frmRemCtr *f, QFrame **const frames[], QPushButton **const tabs[], QVBoxLayout *top)
{
    for (int p = 0; p < frmRemCtr::kPanes; ++p) {
        const QString title = QString::fromLatin1(kPaneNames[p]);
        const QString stem = QString::fromLatin1(kTabStems[p]);
        f->fraKeyCtr[p] = controls::named(new QGroupBox(title, f), QStringLiteral("fraKeyCtr") + QString::number(p));
        f->fraKeyCtrS[p] = controls::named(new QGroupBox(title, f), QStringLiteral("fraKeyCtrS") + QString::number(p));
        f->fraKeyCtrS[p]->setFlat(true);
        auto *pane = new QVBoxLayout(f->fraKeyCtr[p]);
        const auto buttons = controls::makeArray<QPushButton>(
            f->fraKeyCtr[p], QStringLiteral("cmdSet") + stem + QStringLiteral("Tab"),
            numbered(QStringLiteral("Tab &"), frmRemCtr::kTabs, 1), [f, p](int t) { f->setTab(p, t); },
            kWhere + QStringLiteral("cmdSetTab_Click"));
        std::copy(buttons.begin(), buttons.end(), tabs[p]);
        SetBackColor(buttons[0], colCyan);
        auto *tabRow = new QHBoxLayout;
        controls::addAll(tabRow, controls::widgets(buttons));
        pane->addLayout(tabRow);
        for (int t = 0; t < frmRemCtr::kTabs; ++t) {
            frames[p][t] = controls::named(new QFrame(f->fraKeyCtr[p]),
                                           QStringLiteral("fraKeyCtrS") + stem + QString::number(t));
            new QVBoxLayout(frames[p][t]);
            pane->addWidget(frames[p][t]);
        }
        top->addWidget(f->fraKeyCtr[p]);
        top->addWidget(f->fraKeyCtrS[p]);
    }
}

// Commands pane, first tab: the four command lists and their selectors.
void buildCommandLists(frmRemCtr *f)
{
    QFrame *tab = f->fraKeyCtrSCmd[0];
    auto *row = new QHBoxLayout;
    const auto modes = controls::makeArray<QPushButton>(
        tab, QStringLiteral("cmdCtrMode"), numbered(QStringLiteral("List &"), 4, 0),
        [f](int i) { f->cmdCtrMode_Click(i); }, kWhere + QStringLiteral("cmdCtrMode_Click"));
    keep(f->cmdCtrMode, modes);
    controls::addAll(row, controls::widgets(modes));
    tabBox(tab)->addLayout(row);
    for (int i = 0; i < 4; ++i) {
        f->fraAscCtrLst[i] = controls::named(new QGroupBox(QStringLiteral("Commands"), tab),
                                             QStringLiteral("fraAscCtrLst") + QString::number(i));
        auto *lay = new QVBoxLayout(f->fraAscCtrLst[i]);
        lay->addWidget(f->deferList(f->lstCtrAscLow[i], f->fraAscCtrLst[i], QStringLiteral("lstCtrAscLow") + QString::number(i),
                                    QStringLiteral("Commands"), 0, [f, i](QListWidget *l) {
                                        controls::onSignal(l, &QListWidget::itemClicked,
                                                           kWhere + QStringLiteral("lstCtrAscLow_Click"),
                                                           [f, i] { f->lstCtrAscLow_Click(i); });
                                    }));
        lay->addWidget(f->deferList(f->lstCtrAscHig[i], f->fraAscCtrLst[i], QStringLiteral("lstCtrAscHig") + QString::number(i),
                                    QStringLiteral("Factory commands"), 0, [f, i](QListWidget *l) {
                                        controls::onSignal(l, &QListWidget::itemClicked,
                                                           kWhere + QStringLiteral("lstCtrAscHig_Click"),
                                                           [f, i] { f->lstCtrAscHig_Click(i); });
                                    }));
        tabBox(tab)->addWidget(f->fraAscCtrLst[i]);
    }
}

// Hardware pane, first tab: the links, the capture log and its commands.
void buildCaptureLog(frmRemCtr *f)
{
    QFrame *tab = f->fraKeyCtrSHwr[0];
    QVBoxLayout *box = tabBox(tab);
    const auto links = controls::makeArray<QCheckBox>(
        tab, QStringLiteral("chkHwrLnkTo"), latin1({"Shots to CFile", "Shots to Excel"}),
        [f](int i) { f->chkHwrLnkTo_Click(i); }, kWhere + QStringLiteral("chkHwrLnkTo_Click"), 1);
    keep(f->chkHwrLnkTo, links, 1);
    controls::addAll(box, controls::widgets(links));
    f->chkHwrCLogOn = controls::make<QCheckBox>(tab, {QStringLiteral("chkHwrCLogOn"), QStringLiteral("Capture log")}, kWhere);
    box->addWidget(f->chkHwrCLogOn);
    struct Field { QLineEdit *frmRemCtr::*edit; const char *name; const char *label; };
    static const Field fields[] = {
        {&frmRemCtr::txtHwrCLogPath, "txtHwrCLogPath", "Log folder"},
        {&frmRemCtr::txtHwrCLogFile, "txtHwrCLogFile", "Log file"},
        {&frmRemCtr::txtHwrCLogBuf, "txtHwrCLogBuf", "Reply wait"},
    };
    for (const Field &fld : fields) {
        const QString label = QString::fromLatin1(fld.label);
        f->*fld.edit = controls::named(new QLineEdit(tab), QString::fromLatin1(fld.name), label);
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(label, tab));
        row->addWidget(f->*fld.edit, 1);
        box->addLayout(row);
    }
    f->txtHwrCLogBuf->setText(QStringLiteral("2000"));
    const auto logCmds = controls::makeArray<QPushButton>(
        tab, QStringLiteral("cmdHwrCLog"), latin1({"&Open Log", "S&tart Log", "&Close Log", "&Pause Log", "Res&ume Log"}),
        [f](int i) { f->cmdHwrCLog_Click(i); }, kWhere + QStringLiteral("cmdHwrCLog_Click"), 1);
    keep(f->cmdHwrCLog, logCmds, 1);
    auto *grid = new QGridLayout;
    controls::addGrid(grid, controls::widgets(logCmds), 3);
    box->addLayout(grid);
    f->chkDebug = controls::make<QCheckBox>(tab, {QStringLiteral("chkDebug"), QStringLiteral("Debug")}, kWhere);
    box->addWidget(f->chkDebug);
}

// Hardware pane, second tab: the unit's power and sensor numbers, and where
// the live link's shots go.
void buildUnitSettings(frmRemCtr *f)
{
    QFrame *tab = f->fraKeyCtrSHwr[1];
    QWidget *minutes = f->deferList(f->lstSetHwrPwrMin, tab, QStringLiteral("lstSetHwrPwrMin"), QStringLiteral("Power off minutes"));
    QWidget *hours = f->deferList(f->lstSetHwrPwrHrs, tab, QStringLiteral("lstSetHwrPwrHrs"), QStringLiteral("Power off hours"));
    QWidget *sensitivity = f->deferList(f->lstSetHwrSns, tab, QStringLiteral("lstSetHwrSns"), QStringLiteral("Sensitivity"));
    auto *grid = new QGridLayout;
    const QString labels[3] = {QStringLiteral("Hours"), QStringLiteral("Minutes"), QStringLiteral("Sensitivity")};
    QWidget *lists[3] = {hours, minutes, sensitivity};
    for (int c = 0; c < 3; ++c) {
        grid->addWidget(new QLabel(labels[c], tab), 0, c);
        grid->addWidget(lists[c], 1, c);
    }
    tabBox(tab)->addLayout(grid);
    tabBox(tab)->addWidget(f->buildHwrDes(tab));
}

// Export pane: the source of "Export to Excel".
void buildExport(frmRemCtr *f)
{
    auto *fraExp = controls::named(new QGroupBox(QStringLiteral("Export"), f->fraKeyCtrSExp[0]), QStringLiteral("fraExp"));
    auto *lay = new QVBoxLayout(fraExp);
    const auto sources = controls::makeArray<QRadioButton>(
        fraExp, QStringLiteral("optExpSrc"), latin1({"String", "Folder", "eDisk", "zEzede", "CFile"}),
        [f](int i) { f->optExpSrc_Click(i); }, kWhere + QStringLiteral("optExpSrc_Click"));
    keep(f->optExpSrc, sources);
    controls::addAll(lay, controls::widgets(sources));
    f->optExpSrc[0]->setChecked(true);
    f->cmdExp2Excel = controls::make<QPushButton>(
        fraExp, {QStringLiteral("cmdExp2Excel"), QStringLiteral("Export to Excel"), [f] { f->cmdExp2Excel_Click(); }},
        kWhere);
    lay->addWidget(f->cmdExp2Excel);
    tabBox(f->fraKeyCtrSExp[0])->addWidget(fraExp);
}

// The progress log (shown by the Log button) and the progress bar.
void buildProgress(frmRemCtr *f, QPushButton *seeLog, QVBoxLayout *top)
{
    f->fraKeyCtrP = controls::named(new QGroupBox(QStringLiteral("Progress"), f), QStringLiteral("fraKeyCtrP"));
    f->txtPrgrs = controls::named(new QPlainTextEdit(f->fraKeyCtrP), QStringLiteral("txtPrgrs"), QStringLiteral("Progress log"));
    f->txtPrgrs->setReadOnly(true);
    (new QVBoxLayout(f->fraKeyCtrP))->addWidget(f->txtPrgrs);
    top->addWidget(f->fraKeyCtrP);
    QObject::connect(seeLog, &QPushButton::toggled, f->fraKeyCtrP, &QWidget::setVisible);
    top->addStretch();

    auto *row = new QHBoxLayout;
    const PrgrsBar bar = makePrgrsBar(f, false);
    f->prgRemCtr = bar.bar;
    f->labPrgrsVal = bar.value;
    row->addWidget(f->prgRemCtr, 1);
    row->addWidget(f->labPrgrsVal);
    top->addLayout(row);
}
} // namespace

frmRemCtr::frmRemCtr()
    : SupportWindow("RemCtr")
{
    setObjectName(QStringLiteral("frmRemCtr"));
    setWindowTitle(QStringLiteral("zOvu Remote"));
    setWindowFlag(Qt::Window);
    // The panes may need more height than a small screen has: they scroll.
    auto *top = new QVBoxLayout(screenfit::scrollingBody(this));
    QPushButton *seeLog = nullptr;
    top->addLayout(buildModeRow(this));
    top->addLayout(buildPaneRow(this, seeLog));
    QFrame **frames[kPanes] = {fraKeyCtrSSys, fraKeyCtrSCmd, fraKeyCtrSHwr, fraKeyCtrSDwn, fraKeyCtrSExp};
    QPushButton **tabs[kPanes] = {cmdSetSysTab, cmdSetCmdTab, cmdSetHwrTab, cmdSetDwnTab, cmdSetExpTab};
    buildPanes(this, frames, tabs, top);
    buildCommandLists(this);
    buildCaptureLog(this);
    buildUnitSettings(this);
    // System pane: the chronograph's own keys. Download pane: the download
    // with its source and destination.
    tabBox(fraKeyCtrSSys[0])->addWidget(buildKeys());
    tabBox(fraKeyCtrSDwn[0])->addWidget(buildDwn());
    buildExport(this);
    buildProgress(this, seeLog, top);
    tmrPCycle = std::make_unique<TimerCtl>(QStringLiteral("frmRemCtr-tmrPCycle_Timer"), false, 1000, QStringLiteral("1"));
    tmrPCycle->onTimer([this] { tmrPCycle_Timer(); });
}

QWidget *frmRemCtr::deferList(Deferred<QListWidget> &list, QWidget *parent, const QString &name, const QString &accessible,
                              int maxHeight, std::function<void(QListWidget *)> wire)
{
    // Lists are made all at once; one placed after that would never be made.
    Q_ASSERT(!listsMade_);
    if (!makeLists_)
        makeLists_ = [this] { makeLists(); };
    list.makeWith(&makeLists_);
    QWidget *place = controls::standIn(parent);
    listPlaces_.push_back({&list, place, name, accessible, maxHeight, std::move(wire)});
    return place;
}

void frmRemCtr::makeLists()
{
    if (listsMade_)
        return;
    listsMade_ = true;
    // Every list is made and set before any is used.
    for (ListPlace &p : listPlaces_) {
        auto *made = controls::named(new QListWidget(p.standIn->parentWidget()), p.name, p.accessible);
        if (p.maxHeight > 0)
            made->setMaximumHeight(p.maxHeight);
        p.list->set(made);
    }
    for (ListPlace &p : listPlaces_) {
        controls::takePlace(p.standIn, p.list->ifMade());
        if (p.wire)
            p.wire(p.list->ifMade());
    }
    listPlaces_.clear();
    fillLists();
}

void frmRemCtr::fillLists()
{
    if (!listsMade_)
        return;
    // Until the load procedure ran the lists have no contents of their own.
    if (!loaded_) {
        RefreshCFile();
        return;
    }
    lstSetHwrPwrMin->clear();
    lstSetHwrPwrHrs->clear();
    lstSetHwrSns->clear();
    for (int i = 0; i <= 59; ++i)
        lstSetHwrPwrMin->addItem(QString::number(i));
    for (int i = 0; i <= 3; ++i)
        lstSetHwrPwrHrs->addItem(QString::number(i));
    for (int i = 0; i <= 99; ++i)
        lstSetHwrSns->addItem(QString::number(i));
    zapHwrSet();
    for (int i = 0; i < 4; ++i)
        lstCtrAscLow[i]->clear();
    for (const RemCmdEntry &e : cmds_) {
        auto *item = new QListWidgetItem(e.label, lstCtrAscLow[e.list]);
        item->setData(Qt::UserRole, int(e.code));
    }
    seeFactoryLists();
    RefreshCFile();
}

void frmRemCtr::seeFactoryLists()
{
    for (int i = 0; i < 4; ++i)
        if (QListWidget *l = lstCtrAscHig[i].ifMade())
            controls::setShown(l, i == CmdMod && SoftTest);
}

void frmRemCtr::setVisible(bool visible)
{
    if (visible)
        makeLists();
    QWidget::setVisible(visible);
}

frmRemCtr::~frmRemCtr() = default;

QFrame *frmRemCtr::paneFrame(int pane, int tab) const
{
    QFrame *const *frames[kPanes] = {fraKeyCtrSSys, fraKeyCtrSCmd, fraKeyCtrSHwr, fraKeyCtrSDwn, fraKeyCtrSExp};
    return frames[pane][tab];
}

QPushButton *frmRemCtr::tabButton(int pane, int tab) const
{
    QPushButton *const *tabs[kPanes] = {cmdSetSysTab, cmdSetCmdTab, cmdSetHwrTab, cmdSetDwnTab, cmdSetExpTab};
    return tabs[pane][tab];
}

void frmRemCtr::Form_Load()
{
    SupportWindow::Form_Load();
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1024, 768);
    const double defX = (screen.width() - width()) / 2.0;
    const double defY = (screen.height() - height()) / 2.0;
    double x = GetSettingDouble(AppTitle, kSection, QStringLiteral("PosWinX"), defX);
    double y = GetSettingDouble(AppTitle, kSection, QStringLiteral("PosWinY"), defY);
    if (x > screen.width() - width() / 2.0)
        x = screen.width() - width() / 2.0;
    if (y > screen.height() - height())
        y = screen.height() - height();
    move(int(x), int(y));
    chkDebug->setChecked(GetSettingInt(AppTitle, kSection, QStringLiteral("Debug"), 0) == 1);
    const int16_t tabs[kPanes] = {0, 0, 0, 1, 1};
    std::copy(std::begin(tabs), std::end(tabs), CurTab);
    PrgrsState.PrgrsOn = false;
    PrgrsState.PrgrsCancel = false;
    PCycleLim = 7200;
    tmrPCycle->setEnabled(true);
    soxMore();
}

void frmRemCtr::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode != vbFormControlMenu)
        return;
    cancel = 1;
    fraKeyCtrP->hide();
    hide();
    if (frmKeyPad::isLoaded())
        frmKeyPad::instance()->hide();
    keyPadOn = false;
    if (frmMDI::isLoaded()) {
        frmMDI *mdi = frmMDI::instance();
        mdi->setEnabled(true);
        Form *term = nbrSerial().frmTerminal();
        const bool termShown = term && term->widget() && term->widget()->isVisible();
        if (!mdi->isVisible() && !termShown)
            mdi->show();
    }
    updKeypadBtn();
}

void frmRemCtr::Form_Unload(int &cancel)
{
    setWindowState(Qt::WindowNoState);
    SaveSetting(AppTitle, kSection, QStringLiteral("PosWinX"), QString::number(x()));
    SaveSetting(AppTitle, kSection, QStringLiteral("PosWinY"), QString::number(y()));
    SaveSetting(AppTitle, kSection, QStringLiteral("CLogOn"), QString::number(chkHwrCLogOn->isChecked() ? 1 : 0));
    SaveSetting(AppTitle, kSection, QStringLiteral("Debug"), QString::number(chkDebug->isChecked() ? 1 : 0));
    SupportWindow::Form_Unload(cancel);
}

void frmRemCtr::tmrPCycle_Timer()
{
    if (!PrgrsState.PrgrsCancel || PrgrsState.PCycleCnt >= PCycleLim)
        return;
    ++PrgrsState.PCycleCnt;
    stepPrgrs();
}

void frmRemCtr::closeEvent(QCloseEvent *e) { handleClose(e); }

void frmRemCtr::lodRemCtr()
{
    loaded_ = true;
    txtPrgrs->clear();
    BusyPrgrs = false;
    RxRoute[0] = true;
    RxRoute[1] = false;
    RxRoute[2] = false;

    if (QListWidget *l = lstDwnDesCFile.ifMade()) {
        l->clear();
        auto *none = new QListWidgetItem(QStringLiteral("No Active CFiles"), l);
        none->setData(Qt::UserRole, -1);
    }

    // Which pane and tabs show is settled below without showing what is
    // already shown: showing polishes all a pane holds, work for the first show.
    for (int p = 0; p < kPanes; ++p) {
        LevNow[p] = 0;
        LevMax[p] = 4;
        SetNum[p] = -1;
        MorPrg[p] = SetLas[p] = MorTog[p] = 0;
    }
    Frame = 2;
    fraKeyCtrP->hide();
    CmdMod = 0;
    for (int i = 0; i < 4; ++i) {
        SetBackColor(cmdCtrMode[i], i == CmdMod ? colCyan : SysColorButtonFace);
        controls::setShown(fraAscCtrLst[i], i == CmdMod);
        CmdCnt[i] = 0;
    }
    seeFactoryLists();
    for (int t = 0; t < kTabs; ++t)
        for (int p = 0; p < kPanes; ++p) {
            const bool current = BackColor(tabButton(p, t)) == colCyan;
            controls::setShown(paneFrame(p, t), current);
            if (current)
                CurTab[p] = int16_t(t);
        }

    cmds_ = readRemCmds(remCmdsPath());
    for (const RemCmdEntry &e : cmds_)
        ++CmdCnt[e.list];
    fillLists();

    setOnTop(this);
    setKeyCtrCap();
    setUsrLev();
    seeZOvuFra(Frame);
    nbrChrono().setCroTmOut();

    txtHwrCLogFile->setText(QStringLiteral("vantlogs") + QString::number(AppNum) + QStringLiteral(".txt"));
    txtHwrCLogPath->setText(programFolder() + u'/');

    setWindowState(Qt::WindowNoState);
    fixCLogCmds();
    chkHwrCLogOn->setChecked(GetSettingInt(AppTitle, kSection, QStringLiteral("CLogOn"), 1) == 1);
    RefreshCFile();
}

void frmRemCtr::extRemCtr(int cancel) { (void)cancel; }

void frmRemCtr::seeZOvuFra(int16_t pane)
{
    if (pane < 0 || pane >= kPanes)
        return;
    Frame = pane;
    for (int p = 0; p < kPanes; ++p) {
        controls::setShown(fraKeyCtr[p], p == pane);
        controls::setShown(fraKeyCtrS[p], p != pane);
        SetBackColor(cmdKeyCtrFra[p], p == pane ? colCyan : SysColorButtonFace);
    }
}

void frmRemCtr::setTab(int pane, int tab)
{
    if (pane < 0 || pane >= kPanes || tab < 0 || tab >= kTabs)
        return;
    for (int t = 0; t < kTabs; ++t) {
        paneFrame(pane, t)->setVisible(t == tab);
        SetBackColor(tabButton(pane, t), t == tab ? colCyan : SysColorButtonFace);
    }
    CurTab[pane] = int16_t(tab);
}

void frmRemCtr::setKeyCtrCap()
{
    for (int p = 0; p < kPanes; ++p)
        fraKeyCtrS[p]->setTitle(QString::fromLatin1(kPaneNames[p]) + QStringLiteral(" ..."));
}

// A tab holds whatever the panel's parts put there; a tab with nothing in it
// is not offered, nor is a row of one tab.
void frmRemCtr::setUsrLev()
{
    for (int p = 0; p < kPanes; ++p) {
        int used = 0;
        for (int t = 0; t < kTabs; ++t)
            if (!paneFrame(p, t)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty())
                ++used;
        for (int t = 0; t < kTabs; ++t) {
            const bool filled = !paneFrame(p, t)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty();
            controls::setShown(tabButton(p, t), filled && used > 1);
        }
    }
    chkDebug->setVisible(SoftTest);
}

void frmRemCtr::soxMore()
{
    seeFactoryLists();
    setUsrLev();
}

void frmRemCtr::cmdCapMode_Click(int index)
{
    const bool wantShoot = index == 1;
    if (RxRoute[1] != wantShoot)
        subCaptureOnOff(0);
    cmdCapMode[0]->setChecked(!RxRoute[1]);
    cmdCapMode[1]->setChecked(RxRoute[1]);
}

void frmRemCtr::cmdCtrMode_Click(int index)
{
    if (index < 0 || index > 3)
        return;
    CmdMod = int16_t(index);
    for (int i = 0; i < 4; ++i) {
        SetBackColor(cmdCtrMode[i], i == CmdMod ? colCyan : SysColorButtonFace);
        fraAscCtrLst[i]->setVisible(i == CmdMod);
    }
    soxMore();
}

void frmRemCtr::sendListKey(int index)
{
    QListWidgetItem *item = lstCtrAscLow[index]->currentItem();
    if (!item)
        return;
    const int code = item->data(Qt::UserRole).toInt();
    // A closed port drops the key; the caption still shows what was pressed.
    int16_t key = int16_t(code);
    nbrSerial().putTrmChr(key);
    const QString shown = code < 32 ? QStringLiteral("Ctrl-") + QChar(char16_t(code + 64)) : QString(QChar(char16_t(code)));
    setWindowTitle(QStringLiteral("zOvu") + QString::number(AppNum) + u'_' + QString::number(nbrSerial().linkCommPort())
                   + QStringLiteral(" Key-") + shown);
}

void frmRemCtr::lstCtrAscLow_Click(int index)
{
    frmMDI *mdi = frmMDI::get();
    if (!mdi->isMinimized() && RxRoute[1]) {
        sendListKey(index);
        return;
    }
    // Keys typed at the unit belong to Shoot mode: the first click turns it on.
    nbrNotes().seeMsgNote(7, 1);
    if (mdi->isMinimized())
        mdi->showNormal();
    RxRoute[1] = true;
    updAllSta();
}

void frmRemCtr::lstCtrAscHig_Click(int index)
{
    MsgBox(QStringLiteral("Contact...Factory") + QStringLiteral(" support@vantrell.example"),
           vbOKOnly | vbSystemModal | vbMsgBoxSetForeground);
    sendListKey(index);
}

void frmRemCtr::zapHwrSet()
{
    for (const Deferred<QListWidget> *list : {&lstSetHwrPwrMin, &lstSetHwrPwrHrs, &lstSetHwrSns})
        if (QListWidget *l = list->ifMade())
            l->setCurrentRow(-1);
}

void frmRemCtr::cmdHwrCLog_Click(int index)
{
    frmTerminal *term = frmTerminal::get();
    switch (index) {
    case 1: term->mnuOpenLog_Click(); break;
    case 2: term->mnuCLogStart_Click(); break;
    case 3: term->mnuCloseLog_Click(); break;
    // The panel's pause and resume only stop and restart the recording; the
    // log gets no stamp for them.
    case 4:
        if (cLogFile != 0)
            cLogOn = false;
        term->fixCLogCmds();
        break;
    case 5:
        if (cLogFile != 0)
            cLogOn = true;
        term->fixCLogCmds();
        break;
    default: break;
    }
}

void frmRemCtr::fixCLogCmds()
{
    cmdHwrCLog[1]->setEnabled(cLogFile == 0);
    cmdHwrCLog[2]->setEnabled(cLogFile == 0);
    cmdHwrCLog[3]->setEnabled(cLogFile != 0);
    cmdHwrCLog[4]->setEnabled(cLogFile >= 1 && cLogOn);
    cmdHwrCLog[5]->setEnabled(cLogFile >= 1 && !cLogOn);
    txtHwrCLogPath->setEnabled(cLogFile == 0);
    txtHwrCLogFile->setEnabled(cLogFile == 0);
}

void frmRemCtr::chkHwrLnkTo_Click(int index)
{
    // The indicators tick the boxes themselves; that is no user's click.
    if (LnkToGuard)
        return;
    if (index == 1 && chkHwrLnkTo[1]->isChecked() != RxRoute[1])
        subCaptureOnOff(0);
    if (index == 2 && chkHwrLnkTo[2]->isChecked() != xlLinked)
        nbrExport().togXlLink(xlLinked ? 0 : 1);
    setLinkBox(1, RxRoute[1]);
    setLinkBox(2, xlLinked);
}

void frmRemCtr::setLinkBox(int16_t index, bool ticked)
{
    if (index < 1 || index > 2)
        return;
    const bool guard = LnkToGuard;
    LnkToGuard = true;
    chkHwrLnkTo[index]->setChecked(ticked);
    if (index == 1) {
        cmdCapMode[0]->setChecked(!ticked);
        cmdCapMode[1]->setChecked(ticked);
    }
    if (index == 2)
        seeHwrDesExc();
    LnkToGuard = guard;
}

void frmRemCtr::RefreshCFile()
{
    const QList<frmDocument *> docs = openCFiles();
    frmDocument *active = ActiveForm();
    // While Shoot mode is on, the list of CFiles for shots marks the one
    // taking them, whichever is active.
    frmDocument *shots = RxRoute[1] && shotCFile() ? shotCFile() : active;
    // The download's and the live link's lists name the same open CFiles.
    for (QListWidget *list : {lstDwnDesCFile.ifMade(), lstHwrDesCFile.ifMade()}) {
        if (!list)
            continue;
        // The user's pick stays on its CFile while others open and close.
        const QListWidgetItem *picked = list->currentItem();
        const int pickedRow = picked ? picked->data(Qt::UserRole).toInt() : -1;
        const QPointer<frmDocument> pickedDoc = pickedRow >= 0 ? listed_.value(list).value(pickedRow) : nullptr;
        list->clear();
        frmDocument *marked = list == lstHwrDesCFile.ifMade() ? shots : active;
        // A row's number is the CFile's place among the open ones; one that
        // is closing (its window already gone) is left out.
        int row = -1;
        bool any = false;
        for (frmDocument *doc : docs) {
            ++row;
            if (doc->subWindow() && !doc->subWindow()->mdiArea())
                continue;
            QString text = doc->windowTitle();
            if (doc == marked)
                text += QStringLiteral(" (Current)");
            auto *item = new QListWidgetItem(text, list);
            item->setData(Qt::UserRole, row);
            any = true;
            if (pickedDoc && doc == pickedDoc)
                list->setCurrentItem(item);
        }
        if (!any) {
            auto *none = new QListWidgetItem(QStringLiteral("No Active CFiles"), list);
            none->setData(Qt::UserRole, -1);
        }
        QList<QPointer<frmDocument>> &kept = listed_[list];
        kept.clear();
        for (frmDocument *doc : docs)
            kept.append(doc);
    }
    seeHwrDesCFile();
    if (optDwnDesCFileSel)
        seeDwnDesCFile();
}

void frmRemCtr::PLog2Prgrs(const QString &text, int crlfBefore, int crlfAfter, int kind)
{
    (void)kind;
    const QString prefix = QStringLiteral("\r\n").repeated(std::max(0, crlfBefore));
    const QString suffix = QStringLiteral("\r\n").repeated(std::max(0, crlfAfter));
    const QString now = txtPrgrs->toPlainText();
    if (now.size() > 4000)
        txtPrgrs->setPlainText(now.mid(99));
    QTextCursor c = txtPrgrs->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(prefix + text + suffix);
    txtPrgrs->setTextCursor(c);
}

void frmRemCtr::optExpSrc_Click(int index) { (void)index; }

void frmRemCtr::cmdExp2Excel_Click()
{
    for (int16_t i = 0; i < 5; ++i)
        if (optExpSrc[i]->isChecked()) {
            nbrExport().expXlCommand(i);
            return;
        }
}

} // namespace vt
