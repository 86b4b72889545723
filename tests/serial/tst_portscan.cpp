// Finding the chronograph: the probe exchange on the terminal's second port,
// the port scan and detection of the setup window with simulated units on
// several ports, the link services of the probe module, the setup window's
// Apply and Close, and the terminal window shown and hidden from the main
// window.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroProbe.h"
#include "chrono/modCroTmr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/portmap.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "serial/frmProperties.h"
#include "serial/frmTerminal.h"
#include "serial/modRxEngine.h"
#include "serial/modSerialNbr.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "sim/kt4sim.h"
#include "common/portholder.h"
#include "common/timing.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace vt;
using vt::test::untilConclusive;

namespace {

void noPort(int n)
{
    qputenv(QByteArray("VANTRELL_COM") + QByteArray::number(n), QByteArray("/nonexistent/vantrell-com") + QByteArray::number(n));
}

void putPort(int n, const QString &device)
{
    qputenv(QByteArray("VANTRELL_COM") + QByteArray::number(n), device.toLocal8Bit());
}

// A pseudo-terminal whose far end the test writes itself.
struct RawPty {
    int master = -1;
    QString slave;
    RawPty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(ptsname(master));
    }
    ~RawPty()
    {
        if (master >= 0)
            ::close(master);
    }
    void write(const QByteArray &b) const { (void)!::write(master, b.constData(), size_t(b.size())); }
};

QStringList listLines(QListWidget *l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

int codeOf(QListWidget *l, int row) { return l->item(row)->data(Qt::UserRole).toInt(); }

} // namespace

class TestPortScan : public QObject {
    Q_OBJECT
    sim::Kt4Sim kt4;   // the chronograph
    sim::Kt4Sim other; // a second unit, made silent or chatty by a test
    frmTerminal *term = nullptr;
    frmProperties *props = nullptr;

    QString plog() const { return props->txtPLog->toPlainText(); }

private slots:
    void initTestCase()
    {
        installSerialSubsystem();
        installChronoSubsystem();
        QVERIFY(kt4.start());
        QVERIFY(other.start());
        term = frmTerminal::get();
        props = frmProperties::get();
        frmMDI::get();
    }
    void cleanupTestCase()
    {
        installSerial(nullptr);
        installChrono(nullptr);
    }

    void init()
    {
        answers::reset();
        Err.Clear();
        AppNum = 0;
        AppTitle = QStringLiteral("Vantrell0");
        DeleteSetting(AppTitle);
        for (int n = 1; n <= 16; ++n)
            noPort(n);
        for (CommControl *c : {term->MSComm1, term->MSComm2})
            if (c->PortOpen())
                c->setPortOpen(false);
        term->lodTerminal();
        stpLinkTimers();
        props->txtPLog->clear();
        props->lstCom2Cro->clear();
        SetupDirty = false;
        for (sim::Kt4Sim *s : {&kt4, &other}) {
            s->reset();
            s->options().pacing = false;
            s->clearReceived();
        }
    }

    // --- the probe exchange ---------------------------------------------

    void probePrompts_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("code");
        QTest::newRow("CR LF data") << QByteArray("\r\nSens=OFF\r\nDAT>") << 1;
        QTest::newRow("LF CR data") << QByteArray("\n\rSens=OFF\n\rDAT>") << 1;
        QTest::newRow("CR data") << QByteArray("\rDAT>") << 1;
        QTest::newRow("LF statistics") << QByteArray("\nSTS>") << 2;
        QTest::newRow("data menu") << QByteArray("\r\nMEN><DAT> 00?") << 3;
        QTest::newRow("statistics menu") << QByteArray("\r\nMEN><STS> 00?") << 4;
        QTest::newRow("data before menu wins") << QByteArray("\r\nMEN><STS> 00?\r\nDAT>") << 1;
        QTest::newRow("prompt not at a line start") << QByteArray("DAT>") << 100;
        QTest::newRow("menu elsewhere than 00") << QByteArray("\r\nMEN><DAT> 12?") << 100;
        QTest::newRow("nothing") << QByteArray() << 100;
    }
    void probePrompts()
    {
        QFETCH(QByteArray, reply);
        RawPty pty;
        QVERIFY(!pty.slave.isEmpty());
        putPort(5, pty.slave);
        getPortStates();
        opnCroPort(5);
        QCOMPARE(ComErr, 0);
        // The reply goes out once the probe has sent its key.
        QTimer::singleShot(0, [&] { pty.write(reply); });
        QTEST(int(croWaitMen(QStringLiteral("Z"), 125)), "code");
        QVERIFY(!croWaiting);
        rstTermPort();
        QVERIFY(!term->MSComm2->PortOpen());
    }

    // Besides the unit's own talk, text comes every 10 ms from the
    // simulator's own thread, so that a late event loop here cannot make the
    // line look quiet; an attempt in which that thread paused as long as the
    // tail gap proves nothing and starts over.
    void neverQuietDeviceEndsWithinItsBound()
    {
        constexpr int tailGapMs = 50;
        other.options().neverStops = true;
        putPort(2, other.portName());
        getPortStates();
        opnCroPort(2);
        QVERIFY(other.waitForPeer(true));
        untilConclusive([this](bool &conclusive) {
            // Every attempt starts as the first: no tail gap left running.
            stpLinkTimers();
            QVERIFY(other.startTalk("talk ", 300, 10));
            const qint64 startAt = other.msNow();
            // Without the bound the second exchange would wait for ever for the
            // first one's tail gap, which the talk keeps restarting.
            const int first = croWaitMen(QStringLiteral("Z"), 125);
            const int second = croWaitMen(QStringLiteral("Z"), 100);
            const qint64 doneAt = other.msNow();
            const QVector<sim::Kt4Sim::Write> w = other.finishTalk();
            // Steady talk from the start of the first exchange to the end of
            // the second, or the attempt proves nothing.
            bool steady = !w.isEmpty() && w.first().after < startAt + tailGapMs && w.last().before > doneAt;
            for (qsizetype i = 1; i < w.size(); ++i)
                steady = steady && w[i].after - w[i - 1].before < tailGapMs;
            if (!steady)
                return;
            QCOMPARE(first, int(probeWholeTime));
            QCOMPARE(second, int(probeWholeTime));
            conclusive = true;
        });
        rstTermPort();
    }

    // --- port scan and detection -------------------------------------------

    void kt4OnCom3Alone_data()
    {
        QTest::addColumn<int>("lineEnd");
        QTest::newRow("CR LF") << int(sim::LineEnd::CrLf);
        QTest::newRow("LF CR") << int(sim::LineEnd::LfCr);
        QTest::newRow("CR") << int(sim::LineEnd::Cr);
    }
    void kt4OnCom3Alone()
    {
        QFETCH(int, lineEnd);
        kt4.options().lineEnd = sim::LineEnd(lineEnd);
        putPort(3, kt4.portName());
        props->croDetect();
        QCOMPARE(listLines(props->lstCom2Cro), QStringList{QStringLiteral("COM3    Chrono-3 {KT-4}")});
        QCOMPARE(codeOf(props->lstCom2Cro, 0), 1 * 4096 + 3 * 256 + 3);
        QCOMPARE(kt4.received(), QByteArray("Z"));
        QCOMPARE(props->KT4Found, int16_t(1));
        QVERIFY(plog().contains(QStringLiteral("Number of {KT4} chronos found ( 1 )")));
        QVERIFY(!term->MSComm2->PortOpen());
        bool found = false;
        props->selCroFirst(0, found);
        QVERIFY(found);
        QCOMPARE(props->lstCom2Cro->currentRow(), 0);
    }

    // The Test button on a port with a KT4: found, and its status report.
    void testShowsTheStatusReport()
    {
        kt4.unit().totalShots = 40000;
        putPort(3, kt4.portName());
        props->croDetect();
        props->lstCom2Cro->setCurrentRow(0);
        props->txtPLog->clear();
        props->cmdTest_Click();
        const QString log = plog();
        QVERIFY2(log.contains(QStringLiteral("Found-> ***KT4***")), qPrintable(log));
        QVERIFY2(log.contains(QStringLiteral("\nModel: KT4P\n")), qPrintable(log));
        QVERIFY(log.contains(QStringLiteral("\nTotal Shots Up to Date: 40000\n")));
        QVERIFY(log.contains(QStringLiteral("End of KT4 Test..!")));
        QVERIFY(CroSta.croStaOk);
        QVERIFY(!term->MSComm2->PortOpen());
    }

    void silentPortCostsTwoTries()
    {
        other.options().mute = true;
        putPort(4, other.portName());
        props->croDetect();
        QCOMPARE(listLines(props->lstCom2Cro), QStringList{QStringLiteral("COM4    Chrono-4 {unknown}")});
        QCOMPARE(other.received(), QByteArray("ZZ"));
        QCOMPARE(props->UnkFound, int16_t(1));
        QVERIFY(plog().contains(QStringLiteral("Found-> ...Nothing...")));
        QVERIFY(plog().contains(QStringLiteral("There are no KT4 chronos present...")));
        QVERIFY(plog().contains(QStringLiteral("Number of {Uknown} chronos found  ( 1 )")));
        bool found = false;
        props->selCroFirst(0, found);
        QVERIFY(!found);
        props->selCroFirst(1, found); // another device type takes any free port
        QVERIFY(found);
    }

    void answerFromSecondTry()
    {
        kt4.options().answerZFrom = 2;
        putPort(1, kt4.portName());
        props->croDetect();
        QCOMPARE(listLines(props->lstCom2Cro), QStringList{QStringLiteral("COM1    Chrono-1 {KT-4}")});
        QCOMPARE(kt4.received(), QByteArray("ZZ"));
    }

    void portInUseIsNeverProbed()
    {
        putPort(2, other.portName());
        vttest::PortHolder holder(other.portName());
        QVERIFY(holder.held);
        other.clearReceived();
        props->croDetect();
        QCOMPARE(listLines(props->lstCom2Cro), QStringList{QStringLiteral("COM2    {Port In Use}")});
        QCOMPARE(codeOf(props->lstCom2Cro, 0), 4 * 256 + 2);
        QVERIFY(plog().contains(QStringLiteral("Testing-> COM2    {Port In Use}")));
        QVERIFY(plog().contains(QStringLiteral("There are no chronogaphs present...")));
        bool found = false;
        props->selCroFirst(1, found);
        QVERIFY(!found);
    }

    void noFreePort()
    {
        props->croDetect();
        QCOMPARE(props->lstCom2Cro->count(), 0);
        QVERIFY(plog().contains(QStringLiteral("There are no free COM ports..!")));
        QVERIFY(!plog().contains(QStringLiteral("Testing->")));
        bool found = true;
        props->selCroFirst(1, found);
        QVERIFY(!found);
    }

    void kt4BesideChattyAndLinkGivenBack()
    {
        // The link holds COM1 with the chronograph; COM2 never stops talking.
        putPort(1, kt4.portName());
        other.options().neverStops = true;
        putPort(2, other.portName());
        term->MSComm1->setCommPort(1);
        term->subOpenPort();
        QVERIFY(term->MSComm1->PortOpen());
        QCOMPARE(ComPort[0], int16_t(1));
        props->prtScan();
        QCOMPARE(props->lstCurCro->item(0)->text(), QStringLiteral("Chrono-1 My {unknown}"));
        QCOMPARE(codeOf(props->lstCom2Cro, 0), 1 * 256 + 1);
        QVERIFY(term->MSComm1->PortOpen()); // listed without being opened again
        props->croScan();
        QCOMPARE(listLines(props->lstCom2Cro),
                 (QStringList{QStringLiteral("COM1    Chrono-1 My {KT-4}"), QStringLiteral("COM2    Chrono-2 {unknown}")}));
        // Every probed line ends as a free port.
        QCOMPARE(codeOf(props->lstCom2Cro, 0), 1 * 4096 + 3 * 256 + 1);
        QCOMPARE(codeOf(props->lstCom2Cro, 1), 3 * 256 + 2);
        QVERIFY(term->MSComm1->PortOpen());
        QCOMPARE(term->MSComm1->CommPort(), 1);
        QVERIFY(!term->MSComm2->PortOpen());
    }

    void packedCodes()
    {
        const int code = frmProperties::mkItemData(12, 4, 1);
        QCOMPARE(frmProperties::getItemData(0, code), 12);
        QCOMPARE(frmProperties::getItemData(1, code), 4);
        QCOMPARE(frmProperties::getItemData(2, code), 1);
        QCOMPARE(frmProperties::getItemData(3, code), 0);
    }

    // --- link services -----------------------------------------------------

    void keyCodesAndStrings()
    {
        putPort(1, kt4.portName());
        kt4.options().mute = true;
        term->MSComm1->setCommPort(1);
        term->subOpenPort();
        int16_t code = 'M';
        sndKeyCode(code, 1);
        QCOMPARE(code, int16_t(13));
        sndCroStr(QStringLiteral("R12"), 1);
        QVERIFY(kt4.waitForReceived(4));
        QCOMPARE(kt4.received(), QByteArray("\r\x12" "12"));
        QVERIFY(rstComPort());
        QVERIFY(term->MSComm1->PortOpen());

        term->subClosePort();
        answers::reset();
        code = 'Q';
        sndKeyCode(code, 0);
        QCOMPARE(answers::last().question.text, QStringLiteral("Port COM1 is not opened !\r\nPlease check port settings."));
        term->MSComm1->setCommPort(7); // nothing behind it
        QVERIFY(!rstComPort());
    }

    void waitSettings()
    {
        setCroTmOut(QStringLiteral("2,000"));
        QCOMPARE(croWaitTot, 2000);
        QCOMPARE(croPollCnt, int16_t(10));
        setCroTmOut(QStringLiteral("1500"));
        QCOMPARE(croWaitTot, 16000);
        QCOMPARE(croPollCnt, int16_t(80));
        setCroWait(0);
        setCroWait(2);
        QCOMPARE(croWaitTot, 32750);
        QCOMPARE(croPollCnt, int16_t(328));
        setCroWait(1);
        QCOMPARE(croWaitTot, 16000);
        QCOMPARE(croPollCnt, int16_t(80));
        QCOMPARE(croPollStep, int16_t(200));
    }

    // --- the setup window and the terminal from the main window ------------

    void applySwitchesPortAndDevice()
    {
        putPort(1, other.portName());
        putPort(3, kt4.portName());
        term->MSComm1->setCommPort(1);
        term->subOpenPort();
        props->GetPrtSetUp();
        props->croDetect();
        QCOMPARE(props->lstCom2Cro->count(), 2);
        props->onnSelect();
        props->lstCom2Cro->setCurrentRow(1); // COM3, the KT4
        props->cboDevice->setCurrentIndex(3);
        QVERIFY(SetupDirty);
        QVERIFY(props->cmdApply->isEnabled());
        props->cmdApply->click();
        QVERIFY(term->MSComm1->PortOpen());
        QCOMPARE(term->MSComm1->CommPort(), 3);
        QCOMPARE(Device, int16_t(3));
        QCOMPARE(ComPort[0], int16_t(3));
        const QString com = QStringLiteral("frmComSet");
        QCOMPARE(GetSetting(AppTitle, com, QStringLiteral("CommPort"), QString()), QStringLiteral("3"));
        QCOMPARE(GetSetting(AppTitle, com, QStringLiteral("Device"), QString()), QStringLiteral("3"));
        QVERIFY(!SetupDirty);
        QVERIFY(!props->cmdApply->isEnabled());
        QVERIFY(answers::asked().isEmpty());
    }

    // A device the fixed table does not name is chosen on screen for a COM
    // port, kept in the copy's settings, opened by Apply and tried by the
    // scan; the environment still wins.
    void deviceOfAPortChosenOnScreen()
    {
        QTemporaryDir dev;
        struct Back {
            ~Back() { setDeviceFolder(QStringLiteral("/dev")); }
        } back;
        QDir d(dev.path());
        QVERIFY(d.mkpath(QStringLiteral("serial/by-id")));
        for (const char *n : {"ttyUSB0", "ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS1", "ttyS0", "tty0", "random"}) {
            QFile f(d.filePath(QString::fromLatin1(n)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(QStringLiteral("../../ttyUSB0"), d.filePath(QStringLiteral("serial/by-id/usb-Maker_KT4-if00"))));
        setDeviceFolder(dev.path());

        putPort(1, other.portName());
        qunsetenv("VANTRELL_COM2");
        term->MSComm1->setCommPort(1);
        term->subOpenPort();
        props->GetPrtSetUp();
        QStringList present;
        for (int i = 0; i < props->cboPortDev->count(); ++i)
            present << props->cboPortDev->itemText(i);
        QStringList want;
        for (const char *n : {"ttyUSB0", "ttyUSB2", "ttyUSB10", "ttyACM0", "serial/by-id/usb-Maker_KT4-if00", "ttyS0", "ttyS1"})
            want << d.filePath(QString::fromLatin1(n));
        QCOMPARE(present, want);
        // Each port shows its device; the link's, named by the environment,
        // cannot be changed here.
        QCOMPARE(props->cboComPort->count(), 16);
        QCOMPARE(props->cboComPort->currentText(), QStringLiteral("COM1    ") + other.portName());
        QCOMPARE(props->cboComPort->itemText(1), QStringLiteral("COM2    /dev/ttyUSB1"));
        QVERIFY(!props->cboPortDev->isEnabled());
        QVERIFY(props->labPortDev->text().startsWith(QStringLiteral("Set by VANTRELL_COM1")));

        props->cboComPort->setCurrentIndex(1);
        QVERIFY(props->cboPortDev->isEnabled());
        QCOMPARE(props->cboPortDev->currentText(), QStringLiteral("/dev/ttyUSB1"));
        QVERIFY(props->labPortDev->text().startsWith(QStringLiteral("Standard device")));
        props->cboPortDev->setEditText(kt4.portName());
        QVERIFY(props->cmdApply->isEnabled());
        props->cmdApply->click();
        QCOMPARE(GetSetting(AppTitle, QStringLiteral("PortDevices"), QStringLiteral("COM2")), kt4.portName());
        QVERIFY(term->MSComm1->PortOpen());
        QCOMPARE(term->MSComm1->CommPort(), 2);
        QCOMPARE(props->cboComPort->itemText(1), QStringLiteral("COM2    ") + kt4.portName());
        QCOMPARE(props->labPortDev->text(), QStringLiteral("Chosen for this copy"));
        QVERIFY(answers::asked().isEmpty());

        // The scan tries the chosen device, and says what it tried.
        props->croDetect();
        const QStringList tried = props->triedDevices().split(QStringLiteral("\r\n"));
        QCOMPARE(tried.size(), 16);
        QCOMPARE(tried[1], QStringLiteral("COM2 = ") + kt4.portName() + QStringLiteral(": KT4"));
        QCOMPARE(tried[3], QStringLiteral("COM4 = /nonexistent/vantrell-com4: not present"));

        // The environment wins over the stored device; the table's own
        // device, or none, removes the entry.
        putPort(2, QStringLiteral("/nonexistent/env"));
        QCOMPARE(portDevice(2), QStringLiteral("/nonexistent/env"));
        qunsetenv("VANTRELL_COM2");
        QCOMPARE(portDevice(2), kt4.portName());
        savePortDevice(2, QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(GetSetting(AppTitle, QStringLiteral("PortDevices"), QStringLiteral("COM2"), QStringLiteral("none")),
                 QStringLiteral("none"));
        QCOMPARE(portDevice(2), QStringLiteral("/dev/ttyUSB1"));
    }

    void setupFromMenuAndClose()
    {
        frmMDI *mdi = frmMDI::get();
        mdi->show();
        mdi->setEnabled(true);
        AutoDetect = false;
        mdi->mnuLocalConnect->trigger();
        QVERIFY(props->isVisible());
        QVERIFY(mdi->isEnabled());
        QVERIFY(!toolButton(mdi->tbrStandard, QStringLiteral("Setup"))->isChecked());
        props->cmdClose->click();
        QVERIFY(!props->isVisible());
        QVERIFY(mdi->isEnabled());
        toolButton(mdi->tbrStandard, QStringLiteral("Setup"))->trigger();
        QVERIFY(props->isVisible());
        props->close(); // the window's own close only hides it
        QVERIFY(frmProperties::isLoaded());
        QVERIFY(!props->isVisible());
    }

    void terminalShownAndHidden()
    {
        frmMDI *mdi = frmMDI::get();
        QAction *button = toolButton(mdi->tbrStandard, QStringLiteral("BTerminal"));
        term->hide();
        mdi->mnuLocalPort->trigger();
        QVERIFY(term->isVisible());
        QVERIFY(button->isChecked());
        QVERIFY(mdi->mnuLocalPort->isChecked());
        button->trigger();
        QVERIFY(!term->isVisible());
        QVERIFY(!button->isChecked());
        QVERIFY(!mdi->mnuLocalPort->isChecked());
        mdi->mnuViewBuffer->trigger();
        QVERIFY(term->isVisible());
        // A minimized terminal comes back to its normal size and stays shown.
        term->showMinimized();
        mdi->mnuViewBuffer->trigger();
        QVERIFY(term->isVisible());
        QVERIFY(!(term->windowState() & Qt::WindowMinimized));
        QVERIFY(button->isChecked());
        // Its own close hides it, and the button follows.
        term->close();
        QVERIFY(!term->isVisible());
        QVERIFY(!button->isChecked());
    }

    void connectButtonTogglesPort()
    {
        frmMDI *mdi = frmMDI::get();
        putPort(1, kt4.portName());
        term->MSComm1->setCommPort(1);
        QAction *connectButton = toolButton(mdi->tbrStandard, QStringLiteral("Connect"));
        connectButton->trigger();
        QVERIFY(term->MSComm1->PortOpen());
        QVERIFY(connectButton->isChecked());
        connectButton->trigger();
        QVERIFY(!term->MSComm1->PortOpen());
        QVERIFY(!connectButton->isChecked());
    }
};

QTEST_MAIN(TestPortScan)
#include "tst_portscan.moc"
