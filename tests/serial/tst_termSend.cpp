// The terminal window's text-file send, against the simulated chronograph,
// and its statistics window counting what the unit sent.
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "common/simline.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "serial/frmTermStat.h"
#include "serial/frmTerminal.h"
#include "serial/modRxEngine.h"
#include "serial/modSerialNbr.h"
#include "shell/frmFPrgrs.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"
#include "serial/modComPort.h"
#include "sim/kt4sim.h"

using namespace vt;

class TestTermSend : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim;
    frmTerminal *term = nullptr;
    QTemporaryDir dir;

    QString writeFile(const char *name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }

private slots:
    void initTestCase()
    {
        installSerialSubsystem();
        installEditorSubsystem();
        QVERIFY(sim.start());
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        term = frmTerminal::get();
        frmMDI::get();
    }
    void cleanupTestCase()
    {
        installSerial(nullptr);
        installEditor(nullptr);
    }
    void init()
    {
        // The unit takes every byte and answers none.
        vttest::freshTerminal(sim, term);
        term->subOpenPort();
        QVERIFY(term->MSComm1->PortOpen());
        QVERIFY(sim.waitForPeer(true));
        term->TxBytes = term->TxLines = 0;
        answers::reset();
    }

    void textFileArrivesByteForByte()
    {
        QByteArray text;
        for (int i = 0; i < 20; ++i)
            text += "Line " + QByteArray::number(i) + " of the file \xB0\xE9\r\n";
        answers::queue(writeFile("send.txt", text));
        QVERIFY(term->mnuSendText->isEnabled());
        QElapsedTimer clock;
        clock.start();
        term->mnuSendText->trigger();
        const qint64 took = clock.elapsed();
        QVERIFY(sim.waitForReceived(int(text.size())));
        QCOMPARE(sim.received(), text);
        QCOMPARE(term->TxBytes, text.size());
        QCOMPARE(term->TxLines, 20);
        QVERIFY(!frmFPrgrs::isLoaded());
        // Paced at the line's rate (480 characters a second at 4800 baud):
        // the send cannot have finished sooner than the line could carry it.
        QVERIFY2(took >= (text.size() - 32) * 1000 / 480, qPrintable(QString::number(took)));
    }

    // Abort, or closing the progress window, stops the send midway.
    void abortStopsTheSend_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Abort") << false;
        QTest::newRow("close box") << true;
    }
    void abortStopsTheSend()
    {
        QFETCH(bool, closeBox);
        const QByteArray text(4800, 'x'); // ten seconds of the line
        answers::queue(writeFile("long.txt", text));
        // The user acts once the send is under way: its progress window is
        // up and some of the text has gone.
        QTimer act;
        act.setInterval(20);
        connect(&act, &QTimer::timeout, this, [this, closeBox, &act] {
            if (!frmFPrgrs::isLoaded() || term->TxBytes == 0)
                return;
            act.stop();
            if (closeBox)
                frmFPrgrs::instance()->close();
            else
                frmFPrgrs::instance()->cmdSetPrgTab->click();
        });
        act.start();
        term->mnuSendText->trigger();
        QVERIFY(!frmFPrgrs::isLoaded());
        QVERIFY(term->TxBytes > 0);
        QVERIFY(term->TxBytes < text.size());
    }

    void closedPortRefuses()
    {
        term->subClosePort();
        term->mnuSendText_Click();
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(answers::last().question.kind, QStringLiteral("box"));
        QCOMPARE(sim.received(), QByteArray());
    }

    void statisticsCountWhatTheUnitSent()
    {
        term->RxBytes = term->RxLines = 0;
        sim.sendRaw("V=2750\r\nV=2761\r\nV=2749\r\n");
        QTRY_COMPARE(term->RxLines, 3);
        term->mnuTermStat->trigger();
        frmTermStat *stat = frmTermStat::instance();
        QVERIFY(stat && stat->isVisible());
        const QString counts = stat->lblCounts->text();
        QVERIFY2(counts.contains(QStringLiteral("Received lines: 3")), qPrintable(counts));
        QVERIFY2(counts.contains(QStringLiteral("Received bytes: %1").arg(term->RxBytes)), qPrintable(counts));
        QVERIFY(term->RxBytes >= 24);
    }
};

QTEST_MAIN(TestTermSend)
#include "tst_termSend.moc"
