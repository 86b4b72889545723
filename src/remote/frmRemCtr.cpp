#include "remote/frmRemCtr.h"

#include "chrono/modCroCap.h"
#include "editor/frmDocument.h"
#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
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
const char *const kPaneNames[frmRemCtr::kPanes] = {"System", "Commands", "Hardware", "Download", "Export"};
const char *const kTabStems[frmRemCtr::kPanes] = {"Sys", "Cmd", "Hwr", "Dwn", "Exp"};

QString name(const char *stem, int i) { return QString::fromLatin1(stem) + QString::number(i); }

QPushButton *makeButton(QWidget *parent, const QString &objName, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(objName);
    b->setAccessibleName(QString(caption).remove(u'&'));
    return b;
}

QListWidget *makeList(QWidget *parent, const QString &objName, const QString &accessible)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(objName);
    l->setAccessibleName(accessible);
    return l;
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

    // Shoot and Edit mode, always at hand.
    auto *modeRow = new QHBoxLayout;
    static const char *const modes[2] = {"&Edit", "&Shoot"};
    for (int i = 0; i < 2; ++i) {
        cmdCapMode[i] = makeButton(this, name("cmdCapMode", i), QString::fromLatin1(modes[i]));
        cmdCapMode[i]->setCheckable(true);
        modeRow->addWidget(cmdCapMode[i]);
        connect(cmdCapMode[i], &QPushButton::clicked, this, [this, i] {
            guarded(QStringLiteral("frmRemCtr-cmdCapMode_Click"), [&] { cmdCapMode_Click(i); });
        });
    }
    top->addLayout(modeRow);

    // The pane selectors.
    auto *paneRow = new QGridLayout;
    for (int p = 0; p < kPanes; ++p) {
        cmdKeyCtrFra[p] = makeButton(this, name("cmdKeyCtrFra", p), QString::fromLatin1(kPaneNames[p]));
        paneRow->addWidget(cmdKeyCtrFra[p], p / 3, p % 3);
        connect(cmdKeyCtrFra[p], &QPushButton::clicked, this, [this, p] {
            guarded(QStringLiteral("frmRemCtr-cmdKeyCtrFra_Click"), [&] { seeZOvuFra(int16_t(p)); });
        });
    }
    auto *cmdSeePrgrs = makeButton(this, QStringLiteral("cmdSeePrgrs"), QStringLiteral("&Log"));
    cmdSeePrgrs->setCheckable(true);
    paneRow->addWidget(cmdSeePrgrs, 1, 2);
    top->addLayout(paneRow);

    // The panes: each open (tabs and their frames) or folded to its title.
    QFrame **frames[kPanes] = {fraKeyCtrSSys, fraKeyCtrSCmd, fraKeyCtrSHwr, fraKeyCtrSDwn, fraKeyCtrSExp};
    QPushButton **tabs[kPanes] = {cmdSetSysTab, cmdSetCmdTab, cmdSetHwrTab, cmdSetDwnTab, cmdSetExpTab};
    for (int p = 0; p < kPanes; ++p) {
        fraKeyCtr[p] = new QGroupBox(QString::fromLatin1(kPaneNames[p]), this);
        fraKeyCtr[p]->setObjectName(name("fraKeyCtr", p));
        fraKeyCtrS[p] = new QGroupBox(QString::fromLatin1(kPaneNames[p]), this);
        fraKeyCtrS[p]->setObjectName(name("fraKeyCtrS", p));
        fraKeyCtrS[p]->setFlat(true);
        auto *pane = new QVBoxLayout(fraKeyCtr[p]);
        auto *tabRow = new QHBoxLayout;
        for (int t = 0; t < kTabs; ++t) {
            const QString stem = QStringLiteral("cmdSet") + QString::fromLatin1(kTabStems[p]) + QStringLiteral("Tab");
            tabs[p][t] = makeButton(fraKeyCtr[p], stem + QString::number(t), QStringLiteral("Tab &") + QString::number(t + 1));
            if (t == 0)
                SetBackColor(tabs[p][t], colCyan);
            tabRow->addWidget(tabs[p][t]);
            connect(tabs[p][t], &QPushButton::clicked, this, [this, p, t] {
                guarded(QStringLiteral("frmRemCtr-cmdSetTab_Click"), [&] { setTab(p, t); });
            });
        }
        pane->addLayout(tabRow);
        for (int t = 0; t < kTabs; ++t) {
            frames[p][t] = new QFrame(fraKeyCtr[p]);
            frames[p][t]->setObjectName(QStringLiteral("fraKeyCtrS") + QString::fromLatin1(kTabStems[p]) + QString::number(t));
            new QVBoxLayout(frames[p][t]);
            pane->addWidget(frames[p][t]);
        }
        top->addWidget(fraKeyCtr[p]);
        top->addWidget(fraKeyCtrS[p]);
    }

    // Commands pane, first tab: the four command lists.
    {
        auto *box = static_cast<QVBoxLayout *>(fraKeyCtrSCmd[0]->layout());
        auto *row = new QHBoxLayout;
        for (int i = 0; i < 4; ++i) {
            cmdCtrMode[i] = makeButton(fraKeyCtrSCmd[0], name("cmdCtrMode", i), QStringLiteral("List &") + QString::number(i));
            row->addWidget(cmdCtrMode[i]);
            connect(cmdCtrMode[i], &QPushButton::clicked, this, [this, i] {
                guarded(QStringLiteral("frmRemCtr-cmdCtrMode_Click"), [&] { cmdCtrMode_Click(i); });
            });
        }
        box->addLayout(row);
        for (int i = 0; i < 4; ++i) {
            fraAscCtrLst[i] = new QGroupBox(QStringLiteral("Commands"), fraKeyCtrSCmd[0]);
            fraAscCtrLst[i]->setObjectName(name("fraAscCtrLst", i));
            auto *lay = new QVBoxLayout(fraAscCtrLst[i]);
            lstCtrAscLow[i] = makeList(fraAscCtrLst[i], name("lstCtrAscLow", i), QStringLiteral("Commands"));
            lstCtrAscHig[i] = makeList(fraAscCtrLst[i], name("lstCtrAscHig", i), QStringLiteral("Factory commands"));
            lay->addWidget(lstCtrAscLow[i]);
            lay->addWidget(lstCtrAscHig[i]);
            box->addWidget(fraAscCtrLst[i]);
            connect(lstCtrAscLow[i], &QListWidget::itemClicked, this, [this, i] {
                guarded(QStringLiteral("frmRemCtr-lstCtrAscLow_Click"), [&] { lstCtrAscLow_Click(i); });
            });
            connect(lstCtrAscHig[i], &QListWidget::itemClicked, this, [this, i] {
                guarded(QStringLiteral("frmRemCtr-lstCtrAscHig_Click"), [&] { lstCtrAscHig_Click(i); });
            });
        }
    }

    // Hardware pane: capture log and links on its first tab, the unit's
    // power and sensor numbers on its second.
    {
        auto *box = static_cast<QVBoxLayout *>(fraKeyCtrSHwr[0]->layout());
        QWidget *f = fraKeyCtrSHwr[0];
        chkHwrLnkTo[1] = new QCheckBox(QStringLiteral("Shots to CFile"), f);
        chkHwrLnkTo[2] = new QCheckBox(QStringLiteral("Shots to Excel"), f);
        for (int i = 1; i <= 2; ++i) {
            chkHwrLnkTo[i]->setObjectName(name("chkHwrLnkTo", i));
            box->addWidget(chkHwrLnkTo[i]);
            connect(chkHwrLnkTo[i], &QCheckBox::clicked, this, [this, i] {
                guarded(QStringLiteral("frmRemCtr-chkHwrLnkTo_Click"), [&] { chkHwrLnkTo_Click(i); });
            });
        }
        chkHwrCLogOn = new QCheckBox(QStringLiteral("Capture log"), f);
        chkHwrCLogOn->setObjectName(QStringLiteral("chkHwrCLogOn"));
        box->addWidget(chkHwrCLogOn);
        auto edit = [&](QLineEdit *&e, const char *objName, const QString &label) {
            e = new QLineEdit(f);
            e->setObjectName(QString::fromLatin1(objName));
            e->setAccessibleName(label);
            auto *row = new QHBoxLayout;
            row->addWidget(new QLabel(label, f));
            row->addWidget(e, 1);
            box->addLayout(row);
        };
        edit(txtHwrCLogPath, "txtHwrCLogPath", QStringLiteral("Log folder"));
        edit(txtHwrCLogFile, "txtHwrCLogFile", QStringLiteral("Log file"));
        edit(txtHwrCLogBuf, "txtHwrCLogBuf", QStringLiteral("Reply wait"));
        txtHwrCLogBuf->setText(QStringLiteral("2000"));
        // The capture log's five commands: open, start, close, pause, resume.
        auto *row = new QGridLayout;
        static const char *const logCaps[6] = {"", "&Open Log", "S&tart Log", "&Close Log", "&Pause Log", "Res&ume Log"};
        for (int i = 1; i <= 5; ++i) {
            cmdHwrCLog[i] = makeButton(f, name("cmdHwrCLog", i), QString::fromLatin1(logCaps[i]));
            row->addWidget(cmdHwrCLog[i], (i - 1) / 3, (i - 1) % 3);
            connect(cmdHwrCLog[i], &QPushButton::clicked, this, [this, i] {
                guarded(QStringLiteral("frmRemCtr-cmdHwrCLog_Click"), [&] { cmdHwrCLog_Click(i); });
            });
        }
        box->addLayout(row);
        chkDebug = new QCheckBox(QStringLiteral("Debug"), f);
        chkDebug->setObjectName(QStringLiteral("chkDebug"));
        box->addWidget(chkDebug);

        auto *box1 = static_cast<QVBoxLayout *>(fraKeyCtrSHwr[1]->layout());
        QWidget *f1 = fraKeyCtrSHwr[1];
        auto *grid = new QGridLayout;
        lstSetHwrPwrMin = makeList(f1, QStringLiteral("lstSetHwrPwrMin"), QStringLiteral("Power off minutes"));
        lstSetHwrPwrHrs = makeList(f1, QStringLiteral("lstSetHwrPwrHrs"), QStringLiteral("Power off hours"));
        lstSetHwrSns = makeList(f1, QStringLiteral("lstSetHwrSns"), QStringLiteral("Sensitivity"));
        grid->addWidget(new QLabel(QStringLiteral("Hours"), f1), 0, 0);
        grid->addWidget(new QLabel(QStringLiteral("Minutes"), f1), 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("Sensitivity"), f1), 0, 2);
        grid->addWidget(lstSetHwrPwrHrs, 1, 0);
        grid->addWidget(lstSetHwrPwrMin, 1, 1);
        grid->addWidget(lstSetHwrSns, 1, 2);
        box1->addLayout(grid);
        box1->addWidget(buildHwrDes(f1));
    }

    // System pane: the chronograph's own keys. Download pane: the download
    // with its source and destination.
    static_cast<QVBoxLayout *>(fraKeyCtrSSys[0]->layout())->addWidget(buildKeys());
    static_cast<QVBoxLayout *>(fraKeyCtrSDwn[0]->layout())->addWidget(buildDwn());

    // Export pane.
    {
        auto *box = static_cast<QVBoxLayout *>(fraKeyCtrSExp[0]->layout());
        auto *fraExp = new QGroupBox(QStringLiteral("Export"), fraKeyCtrSExp[0]);
        fraExp->setObjectName(QStringLiteral("fraExp"));
        auto *lay = new QVBoxLayout(fraExp);
        static const char *const sources[5] = {"String", "Folder", "eDisk", "zEzede", "CFile"};
        for (int i = 0; i < 5; ++i) {
            optExpSrc[i] = new QRadioButton(QString::fromLatin1(sources[i]), fraExp);
            optExpSrc[i]->setObjectName(QStringLiteral("optExpSrc") + QString::number(i));
            lay->addWidget(optExpSrc[i]);
            connect(optExpSrc[i], &QRadioButton::clicked, this, [this, i] {
                guarded(QStringLiteral("frmRemCtr-optExpSrc_Click"), [&] { optExpSrc_Click(i); });
            });
        }
        optExpSrc[0]->setChecked(true);
        cmdExp2Excel = makeButton(fraExp, QStringLiteral("cmdExp2Excel"), QStringLiteral("Export to Excel"));
        lay->addWidget(cmdExp2Excel);
        connect(cmdExp2Excel, &QPushButton::clicked, this,
                [this] { guarded(QStringLiteral("frmRemCtr-cmdExp2Excel_Click"), [this] { cmdExp2Excel_Click(); }); });
        box->addWidget(fraExp);
    }

    // The progress pane and bar.
    fraKeyCtrP = new QGroupBox(QStringLiteral("Progress"), this);
    fraKeyCtrP->setObjectName(QStringLiteral("fraKeyCtrP"));
    auto *plog = new QVBoxLayout(fraKeyCtrP);
    txtPrgrs = new QPlainTextEdit(fraKeyCtrP);
    txtPrgrs->setObjectName(QStringLiteral("txtPrgrs"));
    txtPrgrs->setAccessibleName(QStringLiteral("Progress log"));
    txtPrgrs->setReadOnly(true);
    plog->addWidget(txtPrgrs);
    top->addWidget(fraKeyCtrP);
    connect(cmdSeePrgrs, &QPushButton::toggled, fraKeyCtrP, &QWidget::setVisible);
    top->addStretch();

    auto *prgRow = new QHBoxLayout;
    prgRemCtr = new QProgressBar(this);
    prgRemCtr->setObjectName(QStringLiteral("prgRemCtr"));
    prgRemCtr->setRange(0, 100);
    prgRemCtr->setValue(0);
    prgRemCtr->setTextVisible(false);
    prgRemCtr->setAccessibleName(QStringLiteral("Progress"));
    labPrgrsVal = new QLabel(QStringLiteral("000.0%"), this);
    labPrgrsVal->setObjectName(QStringLiteral("labPrgrsVal"));
    prgRow->addWidget(prgRemCtr, 1);
    prgRow->addWidget(labPrgrsVal);
    top->addLayout(prgRow);
    tmrPCycle = std::make_unique<TimerCtl>(QStringLiteral("frmRemCtr-tmrPCycle_Timer"), false, 1000, QStringLiteral("1"));
    tmrPCycle->onTimer([this] { tmrPCycle_Timer(); });
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
    txtPrgrs->clear();
    BusyPrgrs = false;
    RxRoute[0] = true;
    RxRoute[1] = false;
    RxRoute[2] = false;

    lstDwnDesCFile->clear();
    auto *none = new QListWidgetItem(QStringLiteral("No Active CFiles"), lstDwnDesCFile);
    none->setData(Qt::UserRole, -1);

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

    for (int p = 0; p < kPanes; ++p) {
        fraKeyCtr[p]->hide();
        fraKeyCtrS[p]->hide();
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
        fraAscCtrLst[i]->setVisible(i == CmdMod);
        lstCtrAscLow[i]->clear();
        lstCtrAscHig[i]->setVisible(i == CmdMod && SoftTest);
        CmdCnt[i] = 0;
    }
    for (int t = 0; t < kTabs; ++t)
        for (int p = 0; p < kPanes; ++p) {
            paneFrame(p, t)->hide();
            if (BackColor(tabButton(p, t)) == colCyan) {
                paneFrame(p, t)->show();
                CurTab[p] = int16_t(t);
            }
        }

    for (const RemCmdEntry &e : readRemCmds(remCmdsPath())) {
        auto *item = new QListWidgetItem(e.label, lstCtrAscLow[e.list]);
        item->setData(Qt::UserRole, int(e.code));
        ++CmdCnt[e.list];
    }

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
        fraKeyCtr[p]->setVisible(p == pane);
        fraKeyCtrS[p]->setVisible(p != pane);
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
            tabButton(p, t)->setVisible(filled && used > 1);
        }
    }
    chkDebug->setVisible(SoftTest);
}

void frmRemCtr::soxMore()
{
    for (int i = 0; i < 4; ++i)
        lstCtrAscHig[i]->setVisible(i == CmdMod && SoftTest);
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
    lstSetHwrPwrMin->setCurrentRow(-1);
    lstSetHwrPwrHrs->setCurrentRow(-1);
    lstSetHwrSns->setCurrentRow(-1);
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
    for (QListWidget *list : {lstDwnDesCFile, lstHwrDesCFile}) {
        if (!list)
            continue;
        // The user's pick stays on its CFile while others open and close.
        const QListWidgetItem *picked = list->currentItem();
        const int pickedRow = picked ? picked->data(Qt::UserRole).toInt() : -1;
        const QPointer<frmDocument> pickedDoc = pickedRow >= 0 ? listed_.value(list).value(pickedRow) : nullptr;
        list->clear();
        frmDocument *marked = list == lstHwrDesCFile ? shots : active;
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
    if (lstDwnDesCFile && optDwnDesCFileSel)
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
