#include "serial/frmProperties.h"

#include "platform/conversions.h"
#include "platform/controls.h"
#include "platform/copies.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/portmap.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "serial/frmTerminal.h"
#include "serial/modLinkNbr.h"
#include "serial/modRxEngine.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modStatus.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vt {

namespace {

const QString kComSet = QStringLiteral("frmComSet");
const QString kDefSettings = QStringLiteral("4800,n,8,1");
constexpr int kPortCount = 16;
// The probe log keeps its last part only.
constexpr int kPLogMax = 32000;

// Port states of a list line.
enum : int { stNone = 0, stMine = 1, stFree = 3, stInUse = 4, stBad = 6 };

QString portLabel(int n)
{
    return QStringLiteral("COM") + QString::number(n) + (n < 10 ? QStringLiteral("    ") : QStringLiteral("  "));
}

QString stateText(int state, int n)
{
    switch (state) {
    case stNone: return QStringLiteral("{not present}");
    case stMine: return QStringLiteral("Chrono-") + QString::number(n) + QStringLiteral(" My {unknown}");
    case stFree: return QStringLiteral("Chrono-") + QString::number(n) + QStringLiteral(" {unknown}");
    case stInUse: return QStringLiteral("{Port In Use}");
    case stBad: return QStringLiteral("{Bad Port}");
    default: return QStringLiteral("{Unknown Error}");
    }
}

frmTerminal *term() { return frmTerminal::get(); }

const QString kWhere = QStringLiteral("frmProperties/");

// The line-setting boxes of the custom setup, in the order they are made; the
// caption of each box's row is also its accessible name.
struct LineBox {
    QComboBox *frmProperties::*box;
    const char *name;
    const char *caption;
};
const LineBox kLineBoxes[] = {
    {&frmProperties::cboDevice, "cboDevice", "Device"},
    {&frmProperties::cboSpeed, "cboSpeed", "Speed"},
    {&frmProperties::cboParity, "cboParity", "Parity"},
    {&frmProperties::cboDataBits, "cboDataBits", "Data Bits"},
    {&frmProperties::cboStopBits, "cboStopBits", "Stop Bits"},
    {&frmProperties::cboHandshaking, "cboHandshaking", "Handshaking"},
};

QComboBox *combo(QWidget *parent, const char *name, const char *accessible)
{
    return controls::named(new QComboBox(parent), QString::fromLatin1(name), QString::fromLatin1(accessible));
}

} // namespace

frmProperties::frmProperties()
    : SupportWindow("Properties")
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("CSetup"));
    setWindowFlag(Qt::Window);
    resize(TwipsToPixels(7400), TwipsToPixels(5400));

    auto *lay = new QVBoxLayout(this);
    lay->addLayout(buildTabRow());
    fraPages = controls::named(new QStackedWidget(this), QStringLiteral("fraPages"));
    lay->addWidget(fraPages, 1);
    fraPages->addWidget(buildPortsPage());
    fraPages->addWidget(buildSetupPage());
    lay->addWidget(buildStartupFrame());
    lay->addLayout(buildCommandRow());
    wireChanges();
    fillLineLists();
    lstCurCro->addItem(QStringLiteral(" Connection = Off -------->"));
    cmdApply->setEnabled(false);
    lstCom2Cro->setEnabled(false);
    FixPLog(0);
}

QHBoxLayout *frmProperties::buildTabRow()
{
    auto *tabs = new QHBoxLayout;
    controls::makeIndexed<QPushButton>(
        cmdCroTab, this, QStringLiteral("cmdCroTab"), {QStringLiteral("Chrono-1"), QStringLiteral("Custom Setup")}, {},
        0, [this](int i) { cmdCroTab_Click(i); }, kWhere + QStringLiteral("cmdCroTab_Click"));
    for (QPushButton *b : cmdCroTab) {
        b->setCheckable(true);
        tabs->addWidget(b);
    }
    tabs->addStretch(1);
    return tabs;
}

QWidget *frmProperties::buildPortsPage()
{
    auto *fraCom2Cro = controls::named(new QWidget(fraPages), QStringLiteral("fraCom2Cro"));
    auto *ports = new QVBoxLayout(fraCom2Cro);
    lstCurCro = controls::named(new QListWidget(fraCom2Cro), QStringLiteral("lstCurCro"),
                                QStringLiteral("Current Connection"));
    lstCurCro->setMaximumHeight(lstCurCro->fontMetrics().height() * 2 + 6);
    lstCom2Cro = controls::named(new QListWidget(fraCom2Cro), QStringLiteral("lstCom2Cro"),
                                 QStringLiteral("Ports and Chronographs"));
    txtPLog = controls::named(new QPlainTextEdit(fraCom2Cro), QStringLiteral("txtPLog"), QStringLiteral("Probe Log"));
    txtPLog->setReadOnly(true);
    txtPLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (QListWidget *l : {lstCurCro, lstCom2Cro})
        l->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *portButtons = new QHBoxLayout;
    cmdDetect = controls::make<QPushButton>(
        fraCom2Cro, {QStringLiteral("cmdDetect"), QStringLiteral("Detect"), [this] { cmdDetect_Click(); }}, kWhere);
    cmdTest = controls::make<QPushButton>(
        fraCom2Cro, {QStringLiteral("cmdTest"), QStringLiteral("Test"), [this] { cmdTest_Click(); }}, kWhere);
    controls::addAll(portButtons, {cmdDetect, cmdTest});
    portButtons->addStretch(1);
    ports->addWidget(lstCurCro);
    ports->addWidget(lstCom2Cro, 1);
    ports->addWidget(txtPLog, 1);
    ports->addLayout(portButtons);
    return fraCom2Cro;
}

QWidget *frmProperties::buildSetupPage()
{
    auto *fraCustom = controls::named(new QWidget(fraPages), QStringLiteral("fraCustom"));
    auto *form = new QFormLayout(fraCustom);
    for (const LineBox &l : kLineBoxes)
        this->*l.box = combo(fraCustom, l.name, l.caption);
    chkEcho = controls::make<QCheckBox>(fraCustom, {QStringLiteral("chkEcho"), QStringLiteral("Echo")}, kWhere);
    cboComPort = combo(fraCustom, "cboComPort", "Port");
    cboPortDev = combo(fraCustom, "cboPortDev", "Port Device");
    cboPortDev->setEditable(true);
    cboPortDev->setInsertPolicy(QComboBox::NoInsert);
    // Long device names scroll in their box rather than widen the window.
    for (QComboBox *c : {cboComPort, cboPortDev}) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(22);
    }
    cboPortDev->setToolTip(QStringLiteral("The device of this COM port: pick a serial device present or type its path"));
    labPortDev = controls::named(new QLabel(fraCustom), QStringLiteral("labPortDev"));
    labPortDev->setWordWrap(true);
    form->addRow(QStringLiteral("Port"), cboComPort);
    form->addRow(QStringLiteral("Port Device"), cboPortDev);
    form->addRow(QString(), labPortDev);
    for (const LineBox &l : kLineBoxes)
        form->addRow(QString::fromLatin1(l.caption), this->*l.box);
    form->addRow(QString(), chkEcho);
    return fraCustom;
}

QGroupBox *frmProperties::buildStartupFrame()
{
    fraStartup = controls::named(new QGroupBox(QStringLiteral(" On Startup - Automaticaly "), this),
                                 QStringLiteral("fraStartup"));
    auto *startup = new QHBoxLayout(fraStartup);
    chkAutoConnect = controls::make<QCheckBox>(
        fraStartup, {QStringLiteral("chkAutoConnect"), QStringLiteral("Connect")}, kWhere);
    chkAutoDetect = controls::make<QCheckBox>(
        fraStartup, {QStringLiteral("chkAutoDetect"), QStringLiteral("Detect")}, kWhere);
    controls::makeIndexed<QRadioButton>(optUserSelect, fraStartup, QStringLiteral("optUserSelect"),
                                        {QStringLiteral("Select Last Used"), QStringLiteral("Select First Free"),
                                         QStringLiteral("Let Me Select My Own")});
    controls::addAll(startup, {chkAutoConnect, chkAutoDetect});
    for (QRadioButton *o : optUserSelect)
        startup->addWidget(o);
    return fraStartup;
}

QHBoxLayout *frmProperties::buildCommandRow()
{
    const auto commands = controls::make<QPushButton>(
        this,
        {{QStringLiteral("cmdApply"), QStringLiteral("Apply"), [this] { cmdApply_Click(); }},
         {QStringLiteral("cmdClose"), QStringLiteral("Close"), [this] { cmdClose_Click(); }}},
        kWhere);
    cmdApply = commands[0];
    cmdClose = commands[1];
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    controls::addAll(bottom, controls::widgets(commands));
    return bottom;
}

void frmProperties::wireChanges()
{
    // Whatever the user changes marks the setup as changed.
    auto mark = [this] { guarded(QStringLiteral("frmProperties/setDirty"), [this] { changed(); }); };
    for (const LineBox &l : kLineBoxes)
        connect(this->*l.box, &QComboBox::currentIndexChanged, this, mark);
    for (QCheckBox *c : {chkEcho, chkAutoConnect, chkAutoDetect})
        connect(c, &QCheckBox::toggled, this, mark);
    for (QRadioButton *o : optUserSelect)
        connect(o, &QRadioButton::toggled, this, mark);
    connect(lstCom2Cro, &QListWidget::currentRowChanged, this, mark);
    // The port row names the port the list has chosen, and the other way round.
    connect(lstCom2Cro, &QListWidget::currentRowChanged, this, [this] {
        guarded(QStringLiteral("frmProperties/lstCom2Cro_Click"), [&] {
            if (cboComPort->count() == 0)
                return;
            const int port = chosenPort();
            const int i = cboComPort->findData(port);
            if (i >= 0 && i != cboComPort->currentIndex()) {
                const bool was = filling_;
                filling_ = true;
                cboComPort->setCurrentIndex(i);
                filling_ = was;
            }
            seePortDev();
        });
    });
    connect(cboComPort, &QComboBox::currentIndexChanged, this, [this] {
        guarded(QStringLiteral("frmProperties/cboComPort_Change"), [this] { cboComPort_Change(); });
    });
    connect(cboPortDev, &QComboBox::editTextChanged, this, mark);
}

void frmProperties::fillLineLists()
{
    filling_ = true;
    for (int i = 0; i < 4; ++i)
        cboDevice->addItem(deviceEntry(i));
    for (int rate : {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400, 56000, 57600, 115200, 128000,
                     256000})
        cboSpeed->addItem(QString::number(rate), rate);
    static const char *const parities[5][2] = {{"None", "n"}, {"Even", "e"}, {"Odd", "o"}, {"Mark", "m"}, {"Space", "s"}};
    for (const auto &p : parities)
        cboParity->addItem(QString::fromLatin1(p[0]), QString::fromLatin1(p[1]));
    for (int bits = 5; bits <= 8; ++bits)
        cboDataBits->addItem(QString::number(bits), QString::number(bits));
    for (const char *stop : {"1", "1.5", "2"})
        cboStopBits->addItem(QString::fromLatin1(stop), QString::fromLatin1(stop));
    static const char *const shakes[4] = {"None", "XOn/XOff", "RTS/CTS", "RTS/CTS + XOn/XOff"};
    for (int i = 0; i < 4; ++i)
        cboHandshaking->addItem(QString::fromLatin1(shakes[i]), i);
    filling_ = false;
}

frmProperties::~frmProperties()
{
    // Signals of the controls must not reach a window that is going away.
    for (QObject *o : findChildren<QObject *>())
        o->disconnect(this);
}

void frmProperties::closeEvent(QCloseEvent *e)
{
    handleClose(e);
}

void frmProperties::lodProperties() {}

void frmProperties::extProperties(int cancel) { (void)cancel; }

int frmProperties::getItemData(int selector, int code)
{
    switch (selector) {
    case 0: return code & 0xFF;
    case 1: return (code >> 8) & 0x0F;
    case 2: return (code >> 12) & 0x07;
    default: return 0;
    }
}

// --- settings -------------------------------------------------------------

void frmProperties::selectSettings(const QString &settings, int handshaking)
{
    const QStringList parts = settings.split(u',');
    auto pick = [](QComboBox *c, const QString &value) {
        const int i = c->findData(value.trimmed().toLower());
        if (i >= 0)
            c->setCurrentIndex(i);
    };
    if (parts.size() == 4) {
        const int s = cboSpeed->findData(parts[0].trimmed().toInt());
        if (s >= 0)
            cboSpeed->setCurrentIndex(s);
        pick(cboParity, parts[1]);
        pick(cboDataBits, parts[2]);
        pick(cboStopBits, parts[3]);
    }
    const int h = cboHandshaking->findData(handshaking);
    cboHandshaking->setCurrentIndex(h >= 0 ? h : 0);
}

QString frmProperties::settingsText() const
{
    return cboSpeed->currentData().toString() + u',' + cboParity->currentData().toString() + u','
        + cboDataBits->currentData().toString() + u',' + cboStopBits->currentData().toString();
}

void frmProperties::GetPrtSetUp()
{
    filling_ = true;
    struct Done {
        bool &f;
        ~Done() { f = false; }
    } done{filling_};
    // A stored value that does not convert takes its default: a damaged
    // settings file must not keep the setup from showing.
    const int dev = int(Val(GetSetting(AppTitle, kComSet, QStringLiteral("Device"), QStringLiteral("0"))));
    Device = int16_t(dev >= 0 && dev < 4 ? dev : 0);
    cboDevice->setCurrentIndex(Device);
    const QString echo = GetSetting(AppTitle, kComSet, QStringLiteral("Echo"), QStringLiteral("False"));
    bool on = false;
    if (!trapErrors([&] { on = CBool(echo); }))
        Err.Clear();
    Echo = on;
    chkEcho->setChecked(Echo);
    QString settings = GetSetting(AppTitle, kComSet, QStringLiteral("Settings"), kDefSettings);
    if (!trapErrors([&] { parseLineSettings(settings); })) {
        Err.Clear();
        settings = kDefSettings;
    }
    selectSettings(settings, int(Val(GetSetting(AppTitle, kComSet, QStringLiteral("Handshaking"), QStringLiteral("0")))));
    fillPortDevs();
}

void frmProperties::fillPortDevs()
{
    const bool was = filling_;
    filling_ = true;
    int port = frmTerminal::isLoaded() ? term()->MSComm1->CommPort() : 1;
    if (QListWidgetItem *item = lstCom2Cro->currentItem())
        port = getItemData(0, item->data(Qt::UserRole).toInt());
    cboComPort->clear();
    for (int n = 1; n <= kPortCount; ++n)
        cboComPort->addItem(portLabel(n) + portDevice(n), n);
    const int i = cboComPort->findData(port);
    cboComPort->setCurrentIndex(i >= 0 ? i : 0);
    portPicked_ = false;
    cboPortDev->clear();
    cboPortDev->addItems(serialDevicesPresent());
    filling_ = was;
    seePortDev();
}

void frmProperties::seePortDev()
{
    const int port = chosenPort();
    const QString dev = portDevice(port);
    QString from;
    switch (portDeviceSource(port)) {
    case PortDeviceSource::Environment:
        from = QStringLiteral("Set by VANTRELL_COM") + QString::number(port) + QStringLiteral(" (it wins)");
        break;
    case PortDeviceSource::Settings: from = QStringLiteral("Chosen for this copy"); break;
    default: from = QStringLiteral("Standard device"); break;
    }
    if (!dev.isEmpty() && !QFileInfo::exists(dev))
        from += QStringLiteral(", not present");
    const bool was = filling_;
    filling_ = true;
    cboPortDev->setEditText(dev);
    filling_ = was;
    cboPortDev->setEnabled(portDeviceSource(port) != PortDeviceSource::Environment);
    labPortDev->setText(from);
}

void frmProperties::cboComPort_Change()
{
    if (filling_)
        return;
    portPicked_ = true;
    // The list shows the same port, when it lists it.
    const int port = cboComPort->currentData().toInt();
    int row = -1;
    for (int i = 0; i < lstCom2Cro->count(); ++i)
        if (getItemData(0, lstCom2Cro->item(i)->data(Qt::UserRole).toInt()) == port)
            row = i;
    filling_ = true;
    lstCom2Cro->setCurrentRow(row);
    filling_ = false;
    seePortDev();
    changed();
}

QString frmProperties::triedDevices() const
{
    QStringList lines;
    for (int n = 1; n <= kPortCount; ++n) {
        const Tried &t = tried_[n - 1];
        QString found;
        if (!scanned_)
            found = QStringLiteral("not tried");
        else if (t.probed)
            found = t.kt4 ? QStringLiteral("KT4") : QStringLiteral("no KT4 answered");
        else if (t.state == stInUse)
            found = QStringLiteral("in use");
        else if (t.state == stNone)
            found = QStringLiteral("not present");
        else if (t.state == stBad)
            found = QStringLiteral("could not be opened");
        else
            found = QStringLiteral("not probed");
        const QString dev = scanned_ ? t.device : portDevice(n);
        lines << QStringLiteral("COM") + QString::number(n) + QStringLiteral(" = ")
                + (dev.isEmpty() ? QStringLiteral("(none)") : dev) + QStringLiteral(": ") + found;
    }
    return lines.join(QStringLiteral("\r\n"));
}

void frmProperties::GetFrmSet()
{
    filling_ = true;
    chkAutoDetect->setChecked(AutoDetect);
    chkAutoConnect->setChecked(AutoConnect);
    optUserSelect[ChronSelect >= 0 && ChronSelect < 3 ? ChronSelect : 0]->setChecked(true);
    filling_ = false;
}

void frmProperties::SaveFrmSet()
{
    AutoDetect = chkAutoDetect->isChecked();
    AutoConnect = chkAutoConnect->isChecked();
    for (int16_t i = 0; i < 3; ++i)
        if (optUserSelect[i]->isChecked())
            ChronSelect = i;
}

void frmProperties::offSetup()
{
    for (QWidget *w : std::initializer_list<QWidget *>{fraPages->widget(1), fraStartup, cmdApply, cmdDetect, cmdTest})
        w->setEnabled(false);
}

void frmProperties::onnSetup()
{
    for (QWidget *w : std::initializer_list<QWidget *>{fraPages->widget(1), fraStartup, cmdDetect, cmdTest})
        w->setEnabled(true);
    cmdApply->setEnabled(SetupDirty);
}

void frmProperties::onnSelect()
{
    lstCom2Cro->setEnabled(true);
    SelectOn = true;
}

void frmProperties::offSelect()
{
    lstCom2Cro->setEnabled(false);
    SelectOn = false;
}

void frmProperties::setDirty(int16_t mode)
{
    if (mode == 1)
        SetupDirty = true;
    else if (mode == 2)
        SetupDirty = false;
    cmdApply->setEnabled(SetupDirty);
}

void frmProperties::changed()
{
    if (!filling_)
        setDirty(1);
}

// --- probe log and pages ----------------------------------------------------

void frmProperties::ShowPLog(const QString &text, int16_t kind, bool flag)
{
    (void)flag;
    QString t = text;
    if (kind == 1) {
        // Received text: any line end shows as one break.
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(u'\r', u'\n');
    } else {
        t.append(u'\n');
    }
    QTextCursor c(txtPLog->document());
    c.movePosition(QTextCursor::End);
    c.insertText(t);
    if (txtPLog->document()->characterCount() > kPLogMax) {
        QTextCursor head(txtPLog->document());
        head.setPosition(txtPLog->document()->characterCount() - kPLogMax * 3 / 4);
        head.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
        head.removeSelectedText();
    }
    txtPLog->verticalScrollBar()->setValue(txtPLog->verticalScrollBar()->maximum());
}

void frmProperties::FixPLog(int16_t mode)
{
    const int page = mode == 1 ? 0 : 1;
    fraPages->setCurrentIndex(page);
    cmdCroTab[0]->setChecked(page == 0);
    cmdCroTab[1]->setChecked(page == 1);
}

void frmProperties::vewCom2Cro()
{
    FixPLog(1);
}

void frmProperties::updCurCro()
{
    if (!frmTerminal::isLoaded())
        return;
    CommControl *link = term()->MSComm1;
    const QString text = link->PortOpen() ? stateText(stMine, link->CommPort())
                                          : QStringLiteral(" Connection = Off -------->");
    if (lstCurCro->count() == 0)
        lstCurCro->addItem(text);
    else if (lstCurCro->item(0)->text() != text)
        lstCurCro->item(0)->setText(text);
}

void frmProperties::SetNorm()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
}

void frmProperties::cmdCroTab_Click(int index)
{
    FixPLog(index == 0 ? 1 : 0);
}

// --- port scan and detection ------------------------------------------------

void frmProperties::prtScan()
{
    frmTerminal *t = term();
    CommControl *probe = t->MSComm2;
    lstCom2Cro->clear();
    lstCurCro->clear();
    nbrLink().getPortStates();
    lstCurCro->addItem(QStringLiteral(" Connection = Off -------->"));
    ShowPLog(QStringLiteral("Detecting Communications Ports..."), 0, false);
    if (probe->PortOpen())
        trapErrors([probe] { probe->setPortOpen(false); });
    Err.Clear();
    scanned_ = true;
    for (int n = 1; n <= kPortCount; ++n) {
        int state = stNone;
        QString line;
        tried_[n - 1] = Tried{portDevice(n), stNone, false, false};
        if (nbrLink().linkWasOpen() && ComPort[0] == n) {
            state = stMine;
            line = portLabel(n) + stateText(state, n);
            lstCurCro->item(0)->setText(stateText(state, n));
        } else {
            int e1 = 0, e2 = 0;
            trapErrors([probe, n] {
                probe->setSettings(kDefSettings);
                probe->setHandshaking(commNoHandshake);
                probe->setCommPort(n);
            });
            Err.Clear();
            if (!trapErrors([probe] { probe->setPortOpen(true); }))
                e1 = Err.Number;
            Err.Clear();
            if (!trapErrors([probe] { probe->setPortOpen(false); }))
                e2 = Err.Number;
            Err.Clear();
            if (e1 == 0 && e2 == 0)
                state = stFree;
            else if (e1 == 8005 && e2 == 8012)
                state = stInUse;
            else if (e1 == 8002 && e2 == 8012)
                state = stNone;
            else
                state = stBad;
            line = portLabel(n) + stateText(state, n);
        }
        tried_[n - 1].state = state;
        if (state == stMine || state == stFree || state == stInUse) {
            auto *item = new QListWidgetItem(line);
            item->setData(Qt::UserRole, mkItemData(n, state, 0));
            lstCom2Cro->addItem(item);
        }
        ShowPLog(line, 0, false);
    }
    ShowPLog(QStringLiteral("...Done"), 0, false);
    nbrLink().restoreLinkPort();
    setDirty(SetupDirty ? 1 : 2);
}

void frmProperties::croScan()
{
    ShowPLog(QStringLiteral("Scanning for ...KT-4..."), 0, false);
    if (lstCom2Cro->count() == 0) {
        ShowPLog(QStringLiteral("There are no free COM ports..!"), 0, false);
        return;
    }
    nbrLink().getPortStates();
    setProbeLog(true);
    KT4Found = 0;
    UnkFound = 0;
    int port = 0;
    const bool ok = trapErrors([&] {
        for (int i = 0; i < lstCom2Cro->count(); ++i) {
            QListWidgetItem *item = lstCom2Cro->item(i);
            ShowPLog(QStringLiteral("Testing-> ") + item->text(), 0, false);
            const int code = item->data(Qt::UserRole).toInt();
            const int c = getItemData(0, code);
            const int b = getItemData(1, code);
            if (b != stFree && b != stMine)
                continue;
            port = c;
            nbrLink().openProbe(int16_t(c));
            int16_t r = nbrLink().probeWaitMenu(QStringLiteral("Z"), 125);
            if (r > 99)
                r = nbrLink().probeWaitMenu(QStringLiteral("Z"), 100);
            QString mark;
            int newCode = 0;
            if (r < 10) {
                ++KT4Found;
                mark = QStringLiteral("{KT-4}");
                newCode = mkItemData(c, stFree, 1);
            } else {
                ++UnkFound;
                ShowPLog(QStringLiteral("Found-> ...Nothing..."), 0, false);
                mark = QStringLiteral("{unknown}");
                newCode = mkItemData(c, stFree, 0);
            }
            if (c >= 1 && c <= kPortCount) {
                tried_[c - 1].probed = true;
                tried_[c - 1].kt4 = r < 10;
            }
            const QString text = item->text();
            const qsizetype brace = text.indexOf(u'{');
            item->setText((brace >= 0 ? text.left(brace) : text) + mark);
            item->setData(Qt::UserRole, newCode);
            if (r < 10) {
                ShowPLog(QStringLiteral("Found-> ***KT4***"), 0, false);
                ShowPLog(QStringLiteral("Name->") + item->text(), 0, false);
            }
            nbrLink().stopProbeWait();
        }
    });
    setProbeLog(false);
    if (!ok) {
        Err.Clear();
        nbrLink().stopProbeWait();
        ShowPLog(QStringLiteral("Communications Error On... COM") + QString::number(port), 0, false);
        nbrLink().restoreLinkPort();
        return;
    }
    ShowPLog(QStringLiteral("Scan Complete..."), 0, false);
    if (KT4Found == 0 && UnkFound == 0) {
        ShowPLog(QStringLiteral("Warning...!\nThere are no chronogaphs present..."), 0, false);
    } else {
        ShowPLog(KT4Found == 0 ? QStringLiteral("There are no KT4 chronos present...")
                               : QStringLiteral("Number of {KT4} chronos found ( ") + QString::number(KT4Found)
                                     + QStringLiteral(" )"),
                 0, false);
        if (UnkFound > 0)
            ShowPLog(QStringLiteral("Number of {Uknown} chronos found  ( ") + QString::number(UnkFound)
                         + QStringLiteral(" )"),
                     0, false);
    }
    nbrLink().restoreLinkPort();
}

void frmProperties::croDetect()
{
    FixPLog(1);
    prtScan();
    croScan();
    vewCom2Cro();
}

void frmProperties::selCroFirst(int16_t anyFree, bool &found)
{
    found = false;
    for (int i = 0; i < lstCom2Cro->count(); ++i) {
        const int code = lstCom2Cro->item(i)->data(Qt::UserRole).toInt();
        const int b = getItemData(1, code);
        if (b != stFree && b != stMine)
            continue;
        if (anyFree != 0 || getItemData(2, code) == 1) {
            filling_ = true;
            lstCom2Cro->setCurrentRow(i);
            filling_ = false;
            found = true;
            return;
        }
    }
}

// --- applying the setup -------------------------------------------------------

int16_t frmProperties::chosenPort() const
{
    if (QListWidgetItem *item = lstCom2Cro->currentItem())
        return int16_t(getItemData(0, item->data(Qt::UserRole).toInt()));
    if (portPicked_ && cboComPort->currentIndex() >= 0)
        return int16_t(cboComPort->currentData().toInt());
    return int16_t(term()->MSComm1->CommPort());
}

bool frmProperties::chkPortFree(int16_t port, const QString &what)
{
    const QList<int> alive = copies::others();
    for (int i = 0; i <= 3; ++i) {
        if (i == AppNum || !alive.contains(i))
            continue;
        const QString title = QStringLiteral("Vantrell") + QString::number(i);
        if (GetSetting(title, QStringLiteral("Pemdora"), QStringLiteral("AppRun"), QString()) != title)
            continue;
        if (Val(GetSetting(title, QStringLiteral("Pemdora"), QStringLiteral("AppPrt"), QStringLiteral("0"))) != port)
            continue;
        MsgBox(QStringLiteral("This port is not avaialble.  \r\nYou can not select  ''") + what + QStringLiteral("''"),
               vbOKOnly | vbExclamation);
        return false;
    }
    return true;
}

void frmProperties::SetApply()
{
    frmTerminal *t = term();
    CommControl *link = t->MSComm1;
    const int16_t port = chosenPort();
    QString what = QStringLiteral("COM") + QString::number(port);
    if (QListWidgetItem *item = lstCom2Cro->currentItem())
        what = item->text().simplified();
    if (!chkPortFree(port, what))
        return;

    SaveFrmSet();
    Device = int16_t(std::max(0, cboDevice->currentIndex()));
    Echo = chkEcho->isChecked();
    const QString settings = settingsText();
    const int handshaking = std::max(0, cboHandshaking->currentData().toInt());

    if (link->PortOpen())
        t->subClosePort();
    // The port's device, unless the environment names it.
    if (portDeviceSource(port) != PortDeviceSource::Environment) {
        savePortDevice(port, cboPortDev->currentText());
        const int i = cboComPort->findData(int(port));
        if (i >= 0)
            cboComPort->setItemText(i, portLabel(port) + portDevice(port));
        seePortDev();
    }
    // A refused value leaves the control's own in place; the port still opens.
    ResumeNext next;
    next([&] { link->setSettings(settings); });
    next([&] { link->setHandshaking(handshaking); });
    next([&] { link->setCommPort(port); });
    Err.Clear();

    t->savPrtDef();
    SaveSetting(AppTitle, kComSet, QStringLiteral("Echo"), BoolText(Echo));
    SaveSetting(AppTitle, kComSet, QStringLiteral("Device"), QString::number(Device));
    SaveSetting(AppTitle, kComSet, QStringLiteral("AutoConnect"), BoolText(AutoConnect));
    SaveSetting(AppTitle, kComSet, QStringLiteral("AutoDetect"), BoolText(AutoDetect));
    SaveSetting(AppTitle, kComSet, QStringLiteral("ChronSelect"), QString::number(ChronSelect));

    t->subOpenPort();
    nbrLink().getPortStates();
    setDirty(2);
    updAllSta();
}

void frmProperties::SeePrtSetup()
{
    for (Form *f : {nbrSerial().frmTerminal(), nbrRemote().frmRemCtr()})
        if (QWidget *w = f ? f->widget() : nullptr)
            if (w->windowState() & Qt::WindowMinimized)
                w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    GetPrtSetUp();
    GetFrmSet();
    setDirty(2);
    SetNorm();
    show();
    raise();
    activateWindow();
    if (AutoDetect && lstCom2Cro->count() == 0)
        cmdDetect_Click();
    nbrLink().getPortStates();
    // The link's own port is the chosen line.
    for (int i = 0; i < lstCom2Cro->count(); ++i) {
        if (getItemData(0, lstCom2Cro->item(i)->data(Qt::UserRole).toInt()) == ComPort[0]) {
            filling_ = true;
            lstCom2Cro->setCurrentRow(i);
            filling_ = false;
            break;
        }
    }
    onnSelect();
    vewCom2Cro();
}

// --- events -------------------------------------------------------------------

void frmProperties::cmdApply_Click()
{
    SetApply();
}

void frmProperties::cmdClose_Click()
{
    hide();
}

void frmProperties::cmdDetect_Click()
{
    // The scan borrows the link's port: not while a chronograph task uses it.
    CroTaskGuard task;
    if (task.refused())
        return;
    offSetup();
    struct Back {
        frmProperties *w;
        ~Back() { w->onnSetup(); }
    } back{this};
    croDetect();
}

void frmProperties::cmdTest_Click()
{
    CroTaskGuard task;
    if (task.refused())
        return;
    const int16_t port = chosenPort();
    FixPLog(1);
    ShowPLog(QStringLiteral("Testing KT4 on (COM") + QString::number(port) + QStringLiteral(")..."), 0, false);
    QListWidgetItem *item = lstCom2Cro->currentItem();
    const int state = item ? getItemData(1, item->data(Qt::UserRole).toInt()) : stNone;
    if (!item || (state != stFree && state != stMine)) {
        ShowPLog(QStringLiteral("Can Not Perform Test...!!!"), 0, false);
        ShowPLog(QStringLiteral("COM") + QString::number(port) + QStringLiteral(" is not available"), 0, false);
        ShowPLog(QStringLiteral("Chose another COM Port from the list"), 0, false);
        return;
    }
    nbrLink().getPortStates();
    CroSta.croStaOk = false;
    setProbeLog(true);
    int16_t r = LinkNbr::kProbeNoAnswer;
    int openErr = 0;
    const bool ok = trapErrors([&] {
        openErr = nbrLink().openProbe(port);
        if (openErr != 0)
            return;
        r = nbrLink().probeWaitMenu(QStringLiteral("Z"), 125);
        if (r > 99)
            r = nbrLink().probeWaitMenu(QStringLiteral("Z"), 100);
        // A unit that answered is asked its status, which the report shows.
        if (r < 10 && nbrLink().probeWaitMenu(QStringLiteral("Q"), 250) < 10)
            nbrLink().parseProbeStatus();
    });
    setProbeLog(false);
    nbrLink().stopProbeWait();
    if (!ok || openErr != 0) {
        Err.Clear();
        ShowPLog(QStringLiteral("Unable to retrieves KT4 status."), 0, false);
    } else if (r < 10) {
        ShowPLog(QStringLiteral("Found-> ***KT4***"), 0, false);
        if (CroSta.croStaOk)
            ShowPLog(nbrLink().statusReport() + QStringLiteral("\r\n"), 1, false);
        else
            ShowPLog(QStringLiteral("Unable to retrieves KT4 status."), 0, false);
    } else {
        ShowPLog(QStringLiteral("KT4 not fond on COM") + QString::number(port), 0, false);
    }
    nbrLink().restoreLinkPort();
    ShowPLog(QStringLiteral("End of KT4 Test..!"), 0, false);
}

} // namespace vt
