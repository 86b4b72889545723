#include "shell/frmSplash.h"

#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modQuitSig.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace vt {

namespace {

bool running = false;
bool PLogSee = false;    // start-up has reached the port states
bool PropLoaded = false; // the properties window was loaded this run (cleared at start-up)

// Whatever way Startup ends, the main window takes input again and the splash
// window is not left standing: an error mid-way must not leave a disabled
// program that only a kill can end.
struct StartupEnd {
    ~StartupEnd()
    {
        running = false;
        try {
            if (frmSplash::isLoaded())
                frmSplash::instance()->unload(vbFormCode);
            if (frmMDI::isLoaded())
                frmMDI::instance()->setEnabled(true);
        } catch (...) {
            // Rethrown inside guarded(): made the pending error and reported.
            guarded(QStringLiteral("frmSplash\\Startup(end)"), [] { throw; });
        }
    }
};

QWidget *widgetOf(Form *f) { return f ? f->widget() : nullptr; }

} // namespace

// The splash stays on top of every other window, so a box asked during
// start-up (a damaged notes file, a port in use) would open under it, its text
// and buttons out of sight. While any other window is shown, the splash steps
// aside; it comes back when the last of them has gone.
class SplashGiveWay : public QObject {
public:
    explicit SplashGiveWay(QWidget *splash)
        : QObject(splash)
        , splash_(splash)
    {
    }

    bool eventFilter(QObject *o, QEvent *e) override
    {
        if ((e->type() != QEvent::Show && e->type() != QEvent::Hide) || e->spontaneous())
            return false;
        QWidget *w = o->isWidgetType() ? static_cast<QWidget *>(o) : nullptr;
        if (!w || w == splash_.data())
            return false;
        const Qt::WindowType type = w->windowType();
        if (type != Qt::Window && type != Qt::Dialog)
            return false;
        QWidget *splash = splash_.data();
        if (!splash)
            return false;
        if (e->type() == QEvent::Show) {
            if (!shown_.contains(w))
                shown_ << w;
            if (splash->isVisible()) {
                steppedAside_ = true;
                splash->hide();
            }
        } else {
            shown_.removeAll(w);
            shown_.removeAll(nullptr);
            if (shown_.isEmpty() && steppedAside_) {
                steppedAside_ = false;
                splash->show();
                splash->raise();
            }
        }
        return false;
    }

private:
    QPointer<QWidget> splash_;
    QList<QPointer<QWidget>> shown_;
    bool steppedAside_ = false;
};

QString versionText()
{
    return QStringLiteral("Version ") + QString::number(VT_VERSION_MAJOR) + u'.' + QString::number(VT_VERSION_MINOR)
        + u'.' + QString::number(VT_VERSION_PATCH);
}

frmSplash::frmSplash()
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Vantrell"));
    setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(24, 18, 24, 18);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(QIcon::fromTheme(QStringLiteral("applications-science")).pixmap(48, 48));
    Label1 = new QLabel(QStringLiteral("Vantrell"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big = Label1->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    Label1->setFont(big);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    Label4 = new QLabel(QStringLiteral("Companion of the KT4 Pulsidar chronograph"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    lblStatus = new QLabel(QStringLiteral("Loading Startup Configuration Parameters..."), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMinimumWidth(320);
    for (QLabel *l : {Picture1, Label1, lblVersion, Label4, lblStatus}) {
        l->setAlignment(Qt::AlignCenter);
        lay->addWidget(l);
    }
    giveWay_ = new SplashGiveWay(this);
    qApp->installEventFilter(giveWay_);
}

frmSplash::~frmSplash()
{
    if (giveWay_)
        qApp->removeEventFilter(giveWay_);
}

void frmSplash::Form_Load()
{
    lblVersion->setText(versionText());
    trkForm(0, "Splash");
}

void frmSplash::Form_Unload(int &cancel)
{
    (void)cancel;
    if (isMinimized())
        showNormal();
    trkForm(1, "Splash");
}

bool frmSplash::starting() { return running; }

void frmSplash::LStatus(const QString &text)
{
    frmSplash *s = get();
    s->lblStatus->setText(text);
    s->lblStatus->repaint();
}

void frmSplash::lodUsrFile()
{
    if (cmdFile.isEmpty())
        return;
    // A missing or unreadable file, or a file part that names no file, leaves
    // the new CFile as it is, without a word.
    trapErrors([] {
        const bool rich = cmdFile.right(3).toUpper() == QStringLiteral("RTF");
        nbrEditor().loadActiveCFile(cmdPath + cmdFile, rich);
    });
    Err.Clear();
}

void showModal(QWidget *window)
{
    if (!window)
        return;
    answers::Question q;
    q.kind = QStringLiteral("dialog");
    q.title = window->windowTitle();
    q.text = window->objectName();
    answers::ask(q, [window] {
        waiting::modal(window);
        return QString();
    });
}

namespace {

// The run-time state the windows share, at its start values.
void resetRunState()
{
    FindOpened = false;
    excRtcOn = xlConnected = xlClosing = xlOpening = xlBookOk = xlLinked = false;
    cmdRxToCFile = false;
    PropLoaded = false;
    CroSta.croStaOk = false;
    CroSta.croTotShots = 0;
    CroSta.croPwrOn = false;
    nbrChrono().zapCroLink(); // croNoWait, croKeySent, croMenPos
    croAbortReq = false;
    CroSta.croCalRes = 0;
    CFileSeqNum = 0;
    keyPadOn = false;
    FirstFileCmd = false;
    Com2CroSee = true;
    CroSta.croCalVal = 9999;
    CroSta.croCalFlag = 9999;
    nbrChrono().stpCrxWait();
    nbrChrono().stpCom2Wait();
}

// The port scan and chronograph detection the user asked for at start-up,
// then the status of a KT4 on the chosen port.
void scanPorts(QWidget *props)
{
    SerialNbr &ser = nbrSerial();
    Com2CroSee = false;
    if (props)
        props->setEnabled(false);
    ser.GetFrmSet();
    ser.offSetup();
    if (props)
        props->show();
    ser.croDetect();

    bool selectFailed = false;
    if (ChronSelect == 1) {
        if (ser.selCroFirst(Device)) {
            ser.SetApply();
        } else {
            const QString text = Device == 0
                ? QStringLiteral("Could not select first free KT4 Chronograph.\r\n"
                                 "There are no KT4 Chronographs present..!")
                : QStringLiteral("Could not select first free Chrono.  \r\n"
                                 "There are no COM Ports avilable..!\r\n"
                                 "Check your PC hardware, you need\r\n"
                                 "at least one free COM/USB port.");
            // Which devices were tried, so that a user whose adapter has
            // another name sees it was not among them.
            const QString tried = ser.triedDevices();
            MsgBox(tried.isEmpty() ? text
                                   : text + QStringLiteral("\r\n\r\nDevices tried:\r\n") + tried
                           + QStringLiteral("\r\n\r\nChoose the device of a COM port in the setup "
                                            "window's Custom Setup, then Apply."),
                   vbOKOnly | vbSystemModal | vbMsgBoxSetForeground);
            selectFailed = true;
        }
    }

    if (props)
        props->hide();
    ser.onnSetup();
    ser.SaveFrmSet();
    if (props)
        props->setEnabled(true);
    ser.setDirty(2);
    Com2CroSee = true;
    updAllSta();

    // The user picks the port.
    if (ChronSelect == 2 || selectFailed) {
        ser.GetFrmSet();
        ser.onnSelect();
        ser.vewCom2Cro();
        SetupDirty = false;
        showModal(props);
        if (SetupDirty || !SelectOn)
            ser.SetApply();
        ser.offSelect();
        ser.SaveFrmSet();
    }

    nbrChrono().getPortStates();
    if (Device == 0) {
        ser.ShowPLog(QStringLiteral("Retrieving KT4 Status for Chrono-") + QString::number(ser.linkCommPort())
                         + QStringLiteral("..."),
                     0, false);
        nbrChrono().chkCroLink();
        ser.ShowPLog(CroSta.croStaOk ? QStringLiteral("Status Retrieved Ok..!")
                                        : QStringLiteral("Unable to Retrieve Satatus..!"),
                     0, false);
    }
}

} // namespace

void frmSplash::Startup()
{
    StartupEnd atEnd;
    running = true;
    installQuitSignals();

    resetRunState();

    // The error count runs on from run to run.
    errCount = GetSettingInt(AppTitle, QStringLiteral("frmErrox"), QStringLiteral("gxMoxErc"), 0);
    zapBizTable();

    // The splash shows while the windows load.
    zapTrkForm(QStringLiteral("Splash-Start-Load"));
    frmSplash *splash = get();
    splash->show();
    splash->raise();
    waiting::turn();

    // The main windows, then their load procedures.
    frmMDI *mdi = frmMDI::get();
    nbrNotes().frmTip();
    QWidget *props = widgetOf(nbrSerial().frmProperties());
    nbrSerial().frmTerminal();
    if (QWidget *rem = widgetOf(nbrRemote().frmRemCtr()))
        rem->resize(TwipsToPixels(3400), rem->height());
    mdi->lodMDI();
    nbrNotes().lodTip();
    nbrSerial().lodProperties();
    nbrSerial().lodTerminal();
    nbrRemote().lodRemCtr();
    nbrExport().lodExpSetup();

    // Jotrix setup, window fonts and module settings.
    LStatus(QStringLiteral("Loading Jotrix Setup..."));
    nbrEditor().updFgsMDI();
    LStatus(QStringLiteral("Loading Window Fonts..."));
    lodFontList();
    LStatus(QStringLiteral("Loading Modules Setup..."));
    nbrEditor().getMDISettings();

    // The main window shows, but takes no input until the port and
    // the chronograph are settled.
    splash->unload(vbFormCode);
    zapTrkForm(QStringLiteral("Splash-End-Load"));
    mdi->show();
    mdi->setEnabled(false);

    // Printer setup and port states; a chosen port opens at once when the
    // user asked to connect without a scan.
    PLogSee = true;
    nbrSerial().GetPrtSetUp();
    nbrChrono().getPortStates();
    if (AutoConnect && ChronSelect == 0)
        nbrSerial().subOpenPort();
    updAllSta();

    // Port scan and chronograph detection.
    if (AutoDetect || ChronSelect > 0)
        scanPorts(props);

    // The first CFile.
    nbrSerial().SetNorm();
    nbrSerial().FixPLog(0);
    nbrSerial().PutCLogCaption(QString());
    nbrEditor().CreateNewCFile();
    lodUsrFile();
    setRtfWrap();
    FirstFileCmd = true;

    // The notes window's welcome, unless the user turned it off; then the
    // main window takes input.
    if (Val(GetSetting(AppTitle, QStringLiteral("frmVipNotes"), QStringLiteral("ShowVipNotes"), QStringLiteral("1"))) == 1)
        nbrNotes().seeXNots(20, 0, 0, 0, 1, 1);
    mdi->setEnabled(true);
    updAllSta();
    // The first CFile was made while the main window took no input, so it
    // could not take the keyboard then; without this the first key typed
    // would go to the first field of the format bar, the font name.
    mdi->activateWindow();
    nbrEditor().setActDocFocus();
}

} // namespace vt
