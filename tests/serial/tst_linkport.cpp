// The link port on the simulated chronograph: opening and closing with their
// messages, typed keys on the wire, received text in the terminal and in the
// active CFile, the twin-port check against a real second copy, and the drain
// at exit.
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QTest>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroTmr.h"
#include "common/simline.h"
#include "common/timing.h"
#include "common/vtprocess.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "serial/frmProperties.h"
#include "serial/frmTermStat.h"
#include "serial/frmTerminal.h"
#include "serial/modCapLog.h"
#include "serial/modComPort.h"
#include "serial/modRxEngine.h"
#include "serial/modSerialNbr.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modBusy.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "sim/kt4sim.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace vt;
using vt::test::runEventsUntil;
using vt::test::untilConclusive;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString pemdora(const QString &app, const char *key)
{
    return GetSetting(app, QStringLiteral("Pemdora"), QString::fromLatin1(key), QString());
}

// A pseudo-terminal whose far end nobody reads: output written to it stays.
struct DeafPty {
    int master = -1;
    QString slave;
    DeafPty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(ptsname(master));
    }
    ~DeafPty()
    {
        if (master >= 0)
            ::close(master);
    }
};

// A live box that lets events run while it takes a chunk, as a question box
// or a slow spreadsheet would.
struct SlowRemote : RemoteNbr {
    sim::Kt4Sim *sim = nullptr;
    QString live;
    void ShowExcTxt(const QString &text) override
    {
        if (live.isEmpty() && sim) {
            sim->sendRaw("B\r");
            QTest::qWait(100);
        }
        live += text;
    }
};

} // namespace

class TestLinkPort : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim;
    frmTerminal *term = nullptr;

    QString lastText() const { return answers::last().question.text; }

private slots:
    void initTestCase()
    {
        installSerialSubsystem();
        installEditorSubsystem();
        installChronoLink();
        QVERIFY(sim.start());
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        qputenv("VANTRELL_COM3", "/dev/vantrell-no-such-port");
        term = frmTerminal::get();
        frmMDI::get(); // the indicators refresh only with the main window there
    }
    void cleanupTestCase()
    {
        installSerial(nullptr);
        installEditor(nullptr);
    }

    void init()
    {
        ShowWarn = true;
        Echo = false;
        exitDrainMs = 10000;
        // Every key stays unanswered unless a test wants the unit to talk.
        vttest::freshTerminal(sim, term);
    }

    void settingsLoaded()
    {
        const QString com = QStringLiteral("frmComSet");
        SaveSetting(AppTitle, com, QStringLiteral("Settings"), QStringLiteral("9600,e,7,2"));
        SaveSetting(AppTitle, com, QStringLiteral("CommPort"), QStringLiteral("5"));
        SaveSetting(AppTitle, com, QStringLiteral("Handshaking"), QStringLiteral("2"));
        RxRoute[0] = false;
        term->lodTerminal();
        QCOMPARE(term->MSComm1->Settings(), QStringLiteral("9600,e,7,2"));
        QCOMPARE(term->MSComm1->CommPort(), 5);
        QCOMPARE(term->MSComm1->Handshaking(), 2);
        QVERIFY(!term->MSComm1->PortOpen());
        QCOMPARE(term->sbSettings->text(), QStringLiteral("Set: 9600,e,7,2"));
        QVERIFY(RxRoute[0]);

        term->setPrtDef();
        QCOMPARE(term->MSComm1->Settings(), QStringLiteral("4800,n,8,1"));
        QCOMPARE(term->MSComm1->Handshaking(), 0);
        QCOMPARE(term->MSComm1->CommPort(), 5);
        term->savPrtDef();
        QCOMPARE(GetSetting(AppTitle, com, QStringLiteral("Settings"), QString()), QStringLiteral("4800,n,8,1"));

        // A stored value the control refuses keeps the one it had; start-up goes on.
        SaveSetting(AppTitle, com, QStringLiteral("Settings"), QStringLiteral("fast please"));
        SaveSetting(AppTitle, com, QStringLiteral("CommPort"), QStringLiteral("2"));
        term->lodTerminal();
        QCOMPARE(term->MSComm1->Settings(), QStringLiteral("4800,n,8,1"));
        QCOMPARE(term->MSComm1->CommPort(), 2);
        QCOMPARE(Err.Number, 0);
    }

    void openAndType()
    {
        term->subOpenPort();
        QVERIFY(term->MSComm1->PortOpen());
        QVERIFY(TrmOpen);
        QCOMPARE(TrmPort, int16_t(1));
        QVERIFY(term->mnuSendText->isEnabled());
        QCOMPARE(term->sbSettings->text(), QStringLiteral("Set: 4800,n,8,1"));
        QCOMPARE(pemdora(AppTitle, "AppPrt"), QStringLiteral("1"));
        QCOMPARE(term->mnuOpenPortOnOff->text(), QStringLiteral("&Port-On"));
        QCOMPARE(answers::asked().size(), 0);

        // Opening an open port changes nothing.
        term->subOpenPort();
        QVERIFY(term->MSComm1->PortOpen());
        QCOMPARE(answers::asked().size(), 0);

        // Typed keys go to the wire; without local echo the box shows none.
        QTest::keyClicks(term->txtTerm, QStringLiteral("QZ"));
        QTest::keyClick(term->txtTerm, Qt::Key_Return);
        QVERIFY(sim.waitForReceived(3));
        QCOMPARE(sim.received(), QByteArray("QZ\r"));
        QCOMPARE(term->txtTerm->Text(), QString());
        QCOMPARE(term->TxBytes, 3);

        Echo = true;
        QTest::keyClicks(term->txtTerm, QStringLiteral("D"));
        QVERIFY(sim.waitForReceived(4));
        QCOMPARE(term->txtTerm->Text(), QStringLiteral("D"));

        // With the port closed a typed key is left to the box.
        term->subClosePort();
        QVERIFY(!TrmOpen);
        QVERIFY(!term->mnuSendText->isEnabled());
        QCOMPARE(term->mnuOpenPortOnOff->text(), QStringLiteral("&Port-Off"));
        int16_t key = 'S';
        QVERIFY(!term->putTrmChr(key));
        QCOMPARE(key, int16_t('S'));
    }

    // The port item and the setup window's connection line say how the port
    // is, however it was opened or closed: the item's caption is a state with
    // a state's mark, and its tip says what choosing it does.
    void portStateTexts()
    {
        frmProperties *props = frmProperties::get();
        QAction *item = term->mnuOpenPortOnOff;
        term->subOpenPort(); // opened without a scan
        QVERIFY(term->MSComm1->PortOpen());
        QCOMPARE(item->text(), QStringLiteral("&Port-On"));
        QVERIFY(item->isChecked());
        QVERIFY2(item->toolTip().contains(QStringLiteral("switch it off")), qPrintable(item->toolTip()));
        QCOMPARE(props->lstCurCro->item(0)->text(), QStringLiteral("Chrono-1 My {unknown}"));

        item->trigger();
        QVERIFY(!term->MSComm1->PortOpen());
        QCOMPARE(item->text(), QStringLiteral("&Port-Off"));
        QVERIFY(item->isChecked());
        QVERIFY2(item->toolTip().contains(QStringLiteral("switch it on")), qPrintable(item->toolTip()));
        QCOMPARE(props->lstCurCro->item(0)->text(), QStringLiteral(" Connection = Off -------->"));

        item->trigger();
        QVERIFY(term->MSComm1->PortOpen());
        QCOMPARE(item->text(), QStringLiteral("&Port-On"));
        QCOMPARE(props->lstCurCro->item(0)->text(), QStringLiteral("Chrono-1 My {unknown}"));
        term->subClosePort();
    }

    void receivedTextReachesTheTerminal()
    {
        term->subOpenPort();
        QVERIFY(sim.waitForPeer(true));
        sim.sendRaw("\r\nDAT>");
        QTRY_COMPARE(term->txtTerm->Text(), QStringLiteral("\r\nDAT>"));
        sim.sendRaw("X\b\b>");                 // the last X and the prompt's ">" go
        sim.sendRaw("\n\rline two\rthree\n");
        QTRY_COMPARE(term->txtTerm->Text(), QStringLiteral("\r\nDAT>\r\nline two\r\nthree"));
        QVERIFY(term->RxBytes > 0);
    }

    void shotsLandInTheActiveCFile()
    {
        CreateNewCFile();
        frmDocument *doc = ActiveForm();
        QVERIFY(doc);
        RichTextBox *rtf = doc->rtfText;
        rtf->SetText(QStringLiteral("Session\r\n"));

        term->subOpenPort();
        QVERIFY(sim.waitForPeer(true));
        RxRoute[1] = true;
        sim.unit().armed = true;
        sim.fireShot(301.5);
        sim.fireShot(302.5);
        QVERIFY(sim.waitIdle());
        QTRY_COMPARE(rtf->Text().count(QStringLiteral("CAP:")), 2);
        QTRY_VERIFY(rtf->Text().endsWith(QStringLiteral("\r\n")));
        const QStringList got = rtf->Text().split(kCrLf, Qt::SkipEmptyParts);
        QCOMPARE(got.first(), QStringLiteral("Session"));
        QVERIFY(got.at(1).startsWith(QStringLiteral("CAP:")));
        QVERIFY(got.at(1).contains(QStringLiteral("301.5")));
        QVERIFY(got.at(2).contains(QStringLiteral("302.5")));
        doc->bChanged = false;
        doc->unload();
        RxRoute[1] = false;
    }

    void portErrors()
    {
        // No such port.
        term->MSComm1->setCommPort(3);
        term->subOpenPort();
        QVERIFY(!term->MSComm1->PortOpen());
        QVERIFY(!TrmOpen);
        QVERIFY(!term->mnuSendText->isEnabled());
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(lastText(), QStringLiteral("Port COM3 does not exist.\r\nTry another port number..."));
        QCOMPARE(answers::last().question.buttons, QStringList{QStringLiteral("OK")});

        // Held by some other program while the record of a killed copy still
        // names this port: the port is in use, and no twin is named.
        vttest::writeRunningRecord(1);
        SaveSetting(QStringLiteral("Vantrell1"), QStringLiteral("Pemdora"), QStringLiteral("AppPrt"), QStringLiteral("1"));
        CommControl holder;
        holder.setCommPort(1);
        holder.setPortOpen(true);
        term->MSComm1->setCommPort(1);
        term->subOpenPort();
        QVERIFY(!term->MSComm1->PortOpen());
        QCOMPARE(lastText(), QStringLiteral("Port COM1 is already in use.\r\nTry another port number..."));
        DeleteSetting(QStringLiteral("Vantrell1"));
    }

    void twinCopyHoldsThePort()
    {
        // A real second copy, set up to open COM1 at start-up.
        const QString com = QStringLiteral("frmComSet");
        SaveSetting(QStringLiteral("Vantrell0"), com, QStringLiteral("AutoConnect"), QStringLiteral("True"));
        SaveSetting(QStringLiteral("Vantrell0"), com, QStringLiteral("ChronSelect"), QStringLiteral("0"));
        SaveSetting(QStringLiteral("Vantrell0"), com, QStringLiteral("AutoDetect"), QStringLiteral("False"));
        vttest::VtProcess copy;
        copy.start();
        QVERIFY(copy.waitStarted());
        QCOMPARE(copy.startedAs(), QStringLiteral("Vantrell0"));
        QVERIFY(sim.waitForPeer(true));
        QCOMPARE(vttest::record(0, QStringLiteral("AppPrt")), QStringLiteral("1"));

        // This copy is number 1 and wants the same port.
        AppNum = 1;
        AppTitle = QStringLiteral("Vantrell1");
        term->lodTerminal();
        QCOMPARE(term->chkTwinPort(), int16_t(0));
        term->subOpenPort();
        QVERIFY(!term->MSComm1->PortOpen());
        QVERIFY(!term->mnuSendText->isEnabled());
        QCOMPARE(answers::asked().size(), 1);
        const QStringList want = {
            QStringLiteral("These warning messages can be turned off from rUvuzu menu.   "),
            QStringLiteral("Click on <View>/<rUvuzu>..[Option] and clear [System Warnings]."),
            QString(),
            QStringLiteral("This is a message from ''Vantrell1'' ...!"),
            QString(),
            QStringLiteral("Port COM1 is already used by my twin ''Vantrell0'' for Chrono-1,"),
            QStringLiteral("Please find another COM port. Use <Interface>/<Setup> menu  "),
            QStringLiteral("to locate another Chrono - If there is one."),
        };
        QCOMPARE(lastText(), want.join(kCrLf));
        QCOMPARE(answers::last().question.title, QStringLiteral("Vantrell1"));

        // With system warnings off nothing is said and the port stays closed.
        ShowWarn = false;
        term->subOpenPort();
        QVERIFY(!term->MSComm1->PortOpen());
        QCOMPARE(answers::asked().size(), 1);

        // Once the twin is gone the port is this copy's.
        copy.stop();
        QVERIFY(sim.waitForPeer(false));
        QCOMPARE(term->chkTwinPort(), int16_t(-1));
        term->subOpenPort();
        QVERIFY(term->MSComm1->PortOpen());
        QCOMPARE(pemdora(QStringLiteral("Vantrell1"), "AppPrt"), QStringLiteral("1"));
    }

    void toggle()
    {
        RxRoute[1] = true;
        int16_t mode = 0;
        modComTogShow(mode);
        QVERIFY(term->MSComm1->PortOpen());
        QVERIFY(!RxRoute[1]); // capture into the CFile is off after the open
        modComTogShow(mode);
        QVERIFY(!term->MSComm1->PortOpen());
        mode = 1; // any other value only refreshes
        modComTogShow(mode);
        QVERIFY(!term->MSComm1->PortOpen());
        term->mnuOpenPortOnOff->trigger();
        QVERIFY(term->MSComm1->PortOpen());
    }

    void chunksKeepTheirOrder()
    {
        SlowRemote remote;
        remote.sim = &sim;
        installRemote(&remote);
        term->subOpenPort();
        QVERIFY(sim.waitForPeer(true));
        CroLnk.rxRecentOn = true;
        CroLnk.rxRecent.clear();
        RxRoute[2] = true;
        sim.sendRaw("A\r");
        QTRY_COMPARE(remote.live, QStringLiteral("A\r\nB\r\n"));
        QCOMPARE(CroLnk.rxRecent, QStringLiteral("A\r\nB\r\n"));
        QCOMPARE(term->txtTerm->Text(), QStringLiteral("A\r\nB\r\n"));
        RxRoute[2] = false;
        CroLnk.rxRecentOn = false;
        installRemote(nullptr);
    }

    // The link gathers a line that has not ended only while nothing waits on
    // received text; under a reply wait, a quiet gap, a task or a probe reply
    // it comes on as it comes. The gathering time is set beyond the test's
    // length: text that arrived did not wait for it.
    void linkGathersOnlyWhileNothingWaits_data()
    {
        QTest::addColumn<QString>("waiting");
        for (const char *w : {"nothing", "reply", "quiet gap", "task", "probe reply"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }
    void linkGathersOnlyWhileNothingWaits()
    {
        QFETCH(QString, waiting);
        term->subOpenPort();
        QVERIFY(sim.waitForPeer(true));
        CommControl *link = term->MSComm1;
        const int gatherMs = link->gatherMs();
        // Put back however the case ends, so that a failure here does not
        // leave a wait or a long gather to the cases after it.
        const auto restore = qScopeGuard([&] {
            stpLinkTimers();
            stpCrxWait();
            AppSta.TaskBusy = false;
            croWaiting = false;
            CroLnk = CroLink{};
            link->setGather(gatherMs, [] { return linkTextMayWait(); });
        });
        link->setGather(600000, [] { return linkTextMayWait(); });
        if (waiting == QLatin1String("reply"))
            strCrxWait(600000, 600000);
        else if (waiting == QLatin1String("quiet gap"))
            strCrxShrt(600000);
        else if (waiting == QLatin1String("task"))
            AppSta.TaskBusy = true;
        else if (waiting == QLatin1String("probe reply"))
            croWaiting = true;
        const int64_t before = term->RxBytes;
        sim.sendRaw("DAT>");
        if (waiting == QLatin1String("nothing")) {
            QTRY_COMPARE(link->InBufferCount(), 4);
            QCOMPARE(term->RxBytes, before);
            // A key to the unit takes it first: it is not taken for the reply.
            CroLnk.croNoWait = true;
            sndCroKey(0, QStringLiteral("D"), 0, 50);
            QCOMPARE(sim.received(), QByteArray("D"));
            QCOMPARE(term->RxBytes, before + 4);
            QVERIFY(!CroLnk.rxRecent.contains(QLatin1String("DAT>")));
        } else {
            QTRY_COMPARE(term->RxBytes, before + 4);
            if (waiting == QLatin1String("reply"))
                QCOMPARE(CroLnk.rxRecent, QStringLiteral("DAT>"));
        }
        QTRY_VERIFY(term->txtTerm->Text().endsWith(QLatin1String("DAT>")));
    }

    void probePortFeedsTheProbeBuffer()
    {
        term->MSComm2->setCommPort(1);
        term->MSComm2->setSettings(QStringLiteral("4800,n,8,1"));
        term->MSComm2->setPortOpen(true);
        QVERIFY(sim.waitForPeer(true));
        croReply.clear();
        croRxCnt = croRxCnt2 = 0;
        // Text that comes while nobody waits for a reply is not kept.
        QSignalSpy received(term->MSComm2, &CommControl::OnComm);
        sim.sendRaw("ignored\r\n");
        QTRY_VERIFY(!received.isEmpty());
        QCOMPARE(croReply, QString());
        croWaiting = true;
        // The reply, early in the probe's quiet gap, starts the gap afresh: it
        // runs past the moment it would have ended. A stall of this thread may
        // let it end fairly (a whole gap after the text was sent, or before
        // the text came): then the attempt starts over.
        constexpr int gap = 150;
        const QString reply = QStringLiteral("PULSIDAR CO\r\nDAT>");
        TimerCtl &t = lnkTmr().tmrCom2Sho;
        untilConclusive([&](bool &conclusive) {
            croReply.clear();
            croRxCnt = croRxCnt2 = 0;
            QElapsedTimer clock;
            clock.start();
            strCom2Sho(gap);
            const qint64 due = clock.elapsed() + gap;
            runEventsUntil(clock, gap / 4);
            const qint64 sent = clock.elapsed();
            sim.sendRaw(reply.toLatin1());
            QVERIFY(QTest::qWaitFor([&] { return croReply.size() >= reply.size(); }, 3000));
            const qint64 arrived = clock.elapsed();
            QCOMPARE(croReply, reply);
            QCOMPARE(croRxCnt, 17);
            QCOMPARE(croRxCnt2, 1);
            runEventsUntil(clock, due + 2);
            const bool runs = oneShotRuns(t);
            const qint64 now = clock.elapsed();
            if (!runs) {
                QVERIFY2(arrived >= gap || now - sent >= gap, "the reply did not start the quiet gap afresh");
                return;
            }
            conclusive = true;
        });
        QCOMPARE(term->txtTerm->Text(), QString()); // never the terminal's
        croWaiting = false;
        stpLinkTimers();
        term->MSComm2->setPortOpen(false);
    }

    void exitDrainsThenCloses()
    {
        DeafPty pty;
        QVERIFY(!pty.slave.isEmpty());
        qputenv("VANTRELL_COM2", pty.slave.toLocal8Bit());
        term->MSComm1->setCommPort(2);
        term->subOpenPort();
        QVERIFY(term->MSComm1->PortOpen());
        QTemporaryDir dir;
        cLogOpen(dir.filePath(QStringLiteral("exit.log")));
        cLogOn = true;

        term->MSComm1->setOutput(QString(256 * 1024, u'k'));
        QTest::qWait(50);
        QVERIFY(term->MSComm1->OutBufferCount() > 0);
        exitDrainMs = 100;

        // Abort: the port stays open and the caller is told.
        answers::queue(QStringLiteral("Abort"));
        bool cancel = false;
        term->modExitPort(cancel);
        QVERIFY(cancel);
        QVERIFY(term->MSComm1->PortOpen());
        QCOMPARE(lastText(), QStringLiteral("Unable to send Data..."));
        QCOMPARE(answers::last().question.buttons, (QStringList{"Abort", "Retry", "Ignore"}));
        QVERIFY(cLogFile != 0);

        // Retry waits once more; Ignore stops waiting and closes port and log.
        answers::queue(QStringLiteral("Retry"));
        answers::queue(QStringLiteral("Ignore"));
        cancel = false;
        term->modExitPort(cancel);
        QVERIFY(!cancel);
        QCOMPARE(answers::asked().size(), 3);
        QVERIFY(!term->MSComm1->PortOpen());
        QCOMPARE(cLogFile, int16_t(0));

        // Drained output closes without a question.
        answers::reset();
        term->MSComm1->setCommPort(1);
        term->subOpenPort();
        term->MSComm1->setOutput(QStringLiteral("ZZZZ"));
        exitDrainMs = 10000;
        term->extTerminal(0);
        QVERIFY(!term->MSComm1->PortOpen());
        QCOMPARE(answers::asked().size(), 0);
        qunsetenv("VANTRELL_COM2");
    }

    // Pulling the chronograph away mid-session: the user is told at once
    // everywhere it matters, and the port opens again from the menu once the
    // device is back.
    void lostDeviceIsToldAndReopens()
    {
        CreateNewCFile();
        frmDocument *doc = ActiveForm();
        QVERIFY(doc);
        RichTextBox *rtf = doc->rtfText;
        rtf->SetText(QStringLiteral("Session\r\nCAP: half a li"));
        term->subOpenPort();
        QVERIFY(sim.waitForPeer(true));
        RxRoute[1] = true;
        const int64_t errors = term->RxError;
        sim.stop();
        QTRY_VERIFY(!TrmOpen);
        QVERIFY(!term->MSComm1->PortOpen());
        QVERIFY(!term->mnuSendText->isEnabled());
        QCOMPARE(term->mnuOpenPortOnOff->text(), QStringLiteral("&Port-Off"));
        QVERIFY(!RxRoute[1]);
        QCOMPARE(term->RxError, errors + 1);
        QListWidget *log = frmTermStat::get()->lstStatus;
        QCOMPARE(log->item(log->count() - 1)->text(), QStringLiteral("Error: Device Lost"));

        const QString lost = QStringLiteral("Port COM1 lost at ");
        QVERIFY2(term->sbStatus->currentMessage().startsWith(lost), qPrintable(term->sbStatus->currentMessage()));
        const QStringList lines = rtf->Text().split(kCrLf);
        QCOMPARE(lines.at(1), QStringLiteral("CAP: half a li"));
        const QRegularExpression rem(QStringLiteral("^REM: Port COM1 lost at \\d\\d:\\d\\d:\\d\\d - the chronograph is not connected\\.$"));
        QVERIFY2(rem.match(lines.at(2)).hasMatch(), qPrintable(rtf->Text()));
        QCOMPARE(answers::asked().size(), 1);
        QVERIFY(answers::asked().at(0).question.text.contains(lost));

        // With warnings off, and outside Shoot mode, no box and no line.
        ShowWarn = false;
        QVERIFY(sim.start());
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        term->mnuOpenPortOnOff->trigger();
        QVERIFY(term->MSComm1->PortOpen());
        QVERIFY(sim.waitForPeer(true));
        QCOMPARE(term->mnuOpenPortOnOff->text(), QStringLiteral("&Port-On"));
        const QString before = rtf->Text();
        sim.stop();
        QTRY_VERIFY(!TrmOpen);
        QCOMPARE(rtf->Text(), before);
        QCOMPARE(answers::asked().size(), 1);

        // Back again: the main window's port switch reopens the port, and what
        // the device sends arrives.
        QVERIFY(sim.start());
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        QAction *connectButton = toolButton(frmMDI::get()->tbrStandard, QStringLiteral("Connect"));
        QVERIFY(connectButton);
        QVERIFY(!connectButton->isChecked());
        connectButton->trigger();
        QVERIFY(connectButton->isChecked());
        QVERIFY(term->MSComm1->PortOpen());
        QVERIFY(TrmOpen);
        QVERIFY(sim.waitForPeer(true));
        term->txtTerm->SetText(QString());
        sim.sendRaw("back\r\n");
        QTRY_VERIFY(term->txtTerm->Text().contains(QStringLiteral("back")));
        doc->bChanged = false;
        doc->unload();
    }
};

QTEST_MAIN(TestLinkPort)
#include "tst_linkport.moc"
