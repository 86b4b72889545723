#include "serial/frmTerminal.h"

#include "platform/errors.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "serial/modLinkNbr.h"
#include "serial/modRxEngine.h"
#include "shell/modApi.h"
#include "shell/modCrsFrms.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace vt {

namespace {

// How long the link gathers the characters of a line that has not ended:
// short beside the terminal's own hold of such text, and well below a
// line's time on the wire at 4800 baud.
constexpr int kLinkGatherMs = 40;

QAction *addItem(QMenu *menu, const char *name, const QString &caption, frmTerminal *w, void (frmTerminal::*handler)())
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (handler) {
        const QString where = QStringLiteral("frmTerminal/") + QString::fromLatin1(name) + QStringLiteral("_Click");
        QObject::connect(a, &QAction::triggered, w, [w, handler, where] { guarded(where, [&] { (w->*handler)(); }); });
    }
    return a;
}

} // namespace

frmTerminal::frmTerminal()
    : SupportWindow("Terminal")
{
    setObjectName(QStringLiteral("frmTerminal"));
    setWindowTitle(QStringLiteral("zEzede Terminal"));
    setWindowFlag(Qt::Window);

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);

    mnuBar = new QMenuBar(this);
    mnuBar->setObjectName(QStringLiteral("mnuBar"));
    QMenu *port = mnuBar->addMenu(QStringLiteral("&Port"));
    port->setObjectName(QStringLiteral("mnuPort"));
    mnuOpenPortOnOff = addItem(port, "mnuOpenPortOnOff", QStringLiteral("&Port-Off"), this,
                               &frmTerminal::mnuOpenPortOnOff_Click);
    // The caption is the port's state, not a command: it carries a state's
    // mark, which a choice does not take away.
    auto *portState = new QActionGroup(this);
    portState->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    mnuOpenPortOnOff->setCheckable(true);
    portState->addAction(mnuOpenPortOnOff);
    mnuOpenPortOnOff->setChecked(true);
    port->setToolTipsVisible(true);
    mnuSendText = addItem(port, "mnuSendText", QStringLiteral("Send Text"), this, &frmTerminal::mnuSendText_Click);
    mnuSendText->setEnabled(false);
    QMenu *view = mnuBar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    mnuWrapOff = view->addAction(QStringLiteral("Wrap Off"));
    mnuWrapOff->setObjectName(QStringLiteral("mnuWrapOff"));
    connect(mnuWrapOff, &QAction::triggered, this, [] { guarded(QStringLiteral("frmTerminal/mnuWrapOff_Click"), [] { setTxtWrap(0); }); });
    mnuWrapOn = view->addAction(QStringLiteral("Wrap On"));
    mnuWrapOn->setObjectName(QStringLiteral("mnuWrapOn"));
    connect(mnuWrapOn, &QAction::triggered, this, [] { guarded(QStringLiteral("frmTerminal/mnuWrapOn_Click"), [] { setTxtWrap(1); }); });
    mnuTermStat = addItem(view, "mnuTermStat", QStringLiteral("&Statistics"), this, &frmTerminal::mnuTermStat_Click);
    QAction *mnuVewZOvu = view->addAction(QStringLiteral("zOvu"));
    mnuVewZOvu->setObjectName(QStringLiteral("mnuVewZOvu"));
    mnuVewZOvu->setCheckable(true);
    connect(mnuVewZOvu, &QAction::triggered, this, [] { guarded(QStringLiteral("frmTerminal/mnuVewZOvu_Click"), [] { togKeypad(); }); });
    QMenu *log = mnuBar->addMenu(QStringLiteral("&Log"));
    log->setObjectName(QStringLiteral("mnuLog"));
    mnuOpenLog = addItem(log, "mnuOpenLog", QStringLiteral("&Open Log..."), this, &frmTerminal::mnuOpenLog_Click);
    mnuCLogStart = addItem(log, "mnuCLogStart", QStringLiteral("&Start Log"), this, &frmTerminal::mnuCLogStart_Click);
    mnuCLogPaz = addItem(log, "mnuCLogPaz", QStringLiteral("&Pause Log"), this, &frmTerminal::mnuCLogPaz_Click);
    mnuCLogRes = addItem(log, "mnuCLogRes", QStringLiteral("&Resume Log"), this, &frmTerminal::mnuCLogRes_Click);
    mnuCloseLog = addItem(log, "mnuCloseLog", QStringLiteral("&Close Log"), this, &frmTerminal::mnuCloseLog_Click);
    fixCLogCmds();
    lay->setMenuBar(mnuBar);

    txtTerm = new RichTextBox(this);
    txtTerm->setObjectName(QStringLiteral("txtTerm"));
    txtTerm->setAcceptRichText(false);
    // The box only ever grows at its end: no undo history to keep.
    txtTerm->setUndoRedoEnabled(false);
    txtTerm->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    connect(txtTerm, &RichTextBox::KeyPress, this,
            [this](int &key) { guarded(QStringLiteral("frmTerminal/txtTerm_KeyPress"), [&] { txtTerm_KeyPress(key); }); });
    lay->addWidget(txtTerm, 1);

    sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbSettings = new QLabel(sbStatus);
    sbSettings->setObjectName(QStringLiteral("sbSettings"));
    sbSettings->setProperty("key", QStringLiteral("Settings"));
    sbStatus->addWidget(sbSettings);
    lay->addWidget(sbStatus);

    MSComm1 = new CommControl(this);
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    MSComm2 = new CommControl(this);
    MSComm2->setObjectName(QStringLiteral("MSComm2"));
    // Every arrival raises a receive event; Input hands over all that waits.
    for (CommControl *c : {MSComm1, MSComm2}) {
        c->setRThreshold(1);
        c->setInputLen(0);
    }
    // The unit's lines come a character at a time: the link gathers a line's
    // characters for a moment, so that a line costs a few passes of the
    // receive engine, not one per character. Never while anything waits on
    // the text as it comes; the probe's port never gathers.
    MSComm1->setGather(kLinkGatherMs, [] { return linkTextMayWait(); });
    connect(MSComm1, &CommControl::OnComm, this,
            [this] { guarded(QStringLiteral("frmTerminal/MSComm1_OnComm"), [this] { MSComm1_OnComm(); }); });
    connect(MSComm2, &CommControl::OnComm, this,
            [this] { guarded(QStringLiteral("frmTerminal/MSComm2_OnComm"), [this] { MSComm2_OnComm(); }); });

    nbrLink().wireLiveLinkTick();
    resize(560, 360);
}

frmTerminal::~frmTerminal()
{
    // The ports' events must not reach a window that is going away.
    MSComm1->disconnect(this);
    MSComm2->disconnect(this);
    txtTerm->disconnect(this);
    releaseTermHold();
}

void frmTerminal::closeEvent(QCloseEvent *e)
{
    handleClose(e);
    // The user's close only hides the window: its button and menu check follow.
    guarded(QStringLiteral("frmTerminal/Form_Unload"), [] { updTermBtn(); });
}

void frmTerminal::showPortState(const QString &caption)
{
    mnuOpenPortOnOff->setText(caption);
    mnuOpenPortOnOff->setChecked(true);
    const QString tip = MSComm1->PortOpen() ? QStringLiteral("The port is on: choose to switch it off")
                                            : QStringLiteral("The port is off: choose to switch it on");
    mnuOpenPortOnOff->setToolTip(tip);
    mnuOpenPortOnOff->setStatusTip(tip);
}

void frmTerminal::txtTerm_KeyPress(int &KeyAscii)
{
    int16_t key = int16_t(KeyAscii);
    putTrmChr(key);
    KeyAscii = key;
}

} // namespace vt
