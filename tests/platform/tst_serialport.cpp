#include <QSignalSpy>
#include <QTest>

#include "common/errorof.h"
#include "common/portholder.h"
#include "platform/errors.h"
#include "platform/portmap.h"
#include "platform/serialport.h"
#include "sim/kt4sim.h"

#include <algorithm>

using namespace vt;
using vt::test::errorOf;

namespace {

// A control whose modem lines a test sets.
class FakeModem : public CommControl {
public:
    Pins lines;
    bool readable = true;
    void poll() { pollPins(); }

protected:
    bool readPins(Pins &pins) override
    {
        if (!readable)
            return false;
        pins = lines;
        return true;
    }
};

} // namespace

class TestSerialPort : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim_;

    // COM1 on a fresh simulator that answers nothing (so that any byte may be sent).
    void startQuietSim()
    {
        QVERIFY(sim_.start());
        qputenv("VANTRELL_COM1", sim_.portName().toLocal8Bit());
        for (int b = 0; b < 256; ++b)
            sim_.options().silentKeys.append(char(b));
    }

private slots:
    void init() { startQuietSim(); }
    void cleanup()
    {
        sim_.stop();
        qunsetenv("VANTRELL_COM1");
        qunsetenv("VANTRELL_COM3");
        qunsetenv("VANTRELL_COM17");
    }

    void settingsParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("stop");
        QTest::addColumn<int>("error");
        QTest::newRow("default") << "4800,n,8,1" << 4800 << int(QSerialPort::NoParity) << 8 << int(QSerialPort::OneStop) << 0;
        QTest::newRow("even 7 2") << "9600,E,7,2" << 9600 << int(QSerialPort::EvenParity) << 7 << int(QSerialPort::TwoStop) << 0;
        QTest::newRow("blanks, odd, 1.5") << " 19200 , o , 8 , 1.5 " << 19200 << int(QSerialPort::OddParity) << 8
                                          << int(QSerialPort::OneAndHalfStop) << 0;
        QTest::newRow("mark 5") << "110,m,5,1" << 110 << int(QSerialPort::MarkParity) << 5 << int(QSerialPort::OneStop) << 0;
        QTest::newRow("space 6") << "115200,s,6,2" << 115200 << int(QSerialPort::SpaceParity) << 6 << int(QSerialPort::TwoStop) << 0;
        QTest::newRow("empty") << "" << 0 << 0 << 0 << 0 << 380;
        QTest::newRow("speed only") << "4800" << 0 << 0 << 0 << 0 << 380;
        QTest::newRow("three parts") << "4800,n,8" << 0 << 0 << 0 << 0 << 380;
        QTest::newRow("five parts") << "4800,n,8,1,0" << 0 << 0 << 0 << 0 << 380;
        QTest::newRow("odd speed") << "4801,n,8,1" << 0 << 0 << 0 << 0 << 380;
        QTest::newRow("speed text") << "fast,n,8,1" << 0 << 0 << 0 << 0 << 380;
        QTest::newRow("parity x") << "4800,x,8,1" << 0 << 0 << 0 << 0 << 380;
        QTest::newRow("9 bits") << "4800,n,9,1" << 0 << 0 << 0 << 0 << 380;
        QTest::newRow("4 bits") << "4800,n,4,1" << 0 << 0 << 0 << 0 << 380;
        QTest::newRow("3 stop bits") << "4800,n,8,3" << 0 << 0 << 0 << 0 << 380;
    }

    void settingsParse()
    {
        QFETCH(QString, text);
        QFETCH(int, error);
        CommControl c;
        const QString before = c.Settings();
        QCOMPARE(errorOf([&] { c.setSettings(text); }), error);
        if (error) {
            QCOMPARE(c.Settings(), before);   // a bad text changes nothing
            return;
        }
        QCOMPARE(c.Settings(), text);
        const LineSettings ls = parseLineSettings(text);
        QTEST(int(ls.baud), "baud");
        QTEST(int(ls.parity), "parity");
        QTEST(int(ls.dataBits), "bits");
        QTEST(int(ls.stopBits), "stop");
    }

    void portMap_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1") << 1 << "/dev/ttyUSB0";
        QTest::newRow("COM4") << 4 << "/dev/ttyUSB3";
        QTest::newRow("COM5") << 5 << "/dev/ttyACM0";
        QTest::newRow("COM8") << 8 << "/dev/ttyACM3";
        QTest::newRow("COM9") << 9 << "/dev/ttyS0";
        QTest::newRow("COM16") << 16 << "/dev/ttyS7";
        QTest::newRow("COM17") << 17 << "";
        QTest::newRow("COM0") << 0 << "";
        QTest::newRow("COM3 from environment") << 3 << "/tmp/my-chrono";
        QTest::newRow("COM17 from environment") << 17 << "/tmp/chrono17";
    }

    void portMap()
    {
        for (int n = 1; n <= 17; ++n)
            qunsetenv(QByteArray("VANTRELL_COM" + QByteArray::number(n)).constData());
        qputenv("VANTRELL_COM3", "/tmp/my-chrono");
        qputenv("VANTRELL_COM17", "/tmp/chrono17");
        QFETCH(int, port);
        QFETCH(QString, device);
        if (port == 17 && device.isEmpty())
            qunsetenv("VANTRELL_COM17");
        QCOMPARE(portDevice(port), device);
    }

    void openErrors()
    {
        CommControl a, b;
        qputenv("VANTRELL_COM3", "/nonexistent/tty-nothing");
        a.setCommPort(3);
        QCOMPARE(errorOf([&] { a.setPortOpen(true); }), 8002);
        QCOMPARE(errorOf([&] { a.setPortOpen(false); }), 8012);
        QCOMPARE(errorOf([&] { a.Input(); }), 8018);
        QCOMPARE(errorOf([&] { a.setOutput(QStringLiteral("x")); }), 8018);
        QCOMPARE(errorOf([&] { a.setCommPort(0); }), 8002);

        a.setCommPort(1);
        a.setSettings(QStringLiteral("4800,n,8,1"));
        a.setPortOpen(true);
        QVERIFY(a.PortOpen());
        QCOMPARE(a.deviceName(), sim_.portName());
        QCOMPARE(errorOf([&] { a.setPortOpen(true); }), 8005);      // already open here
        QCOMPARE(errorOf([&] { a.setCommPort(2); }), 8005);         // no port change while open
        QCOMPARE(errorOf([&] { b.setPortOpen(true); }), 8005);      // held by another control
        QVERIFY(!b.PortOpen());
        QCOMPARE(a.CommPort(), 1);

        // Settings change on the open port; a pseudo-terminal takes them.
        a.setSettings(QStringLiteral("9600,n,8,2"));
        QCOMPARE(a.Settings(), QStringLiteral("9600,n,8,2"));
        QCOMPARE(errorOf([&] { a.setHandshaking(4); }), 380);
        a.setHandshaking(commNoHandshake);

        a.setPortOpen(false);
        QVERIFY(!a.PortOpen());
        b.setPortOpen(true);    // free again once closed
        QVERIFY(b.PortOpen());
    }

    void heldByAnotherProgram()
    {
        // Another process (another copy of the program) holds the port.
        vttest::PortHolder holder(sim_.portName());
        CommControl c;
        const int whileHeld = errorOf([&] { c.setPortOpen(true); });
        holder.release();
        QVERIFY(holder.held);
        QCOMPARE(whileHeld, 8005);
        c.setPortOpen(true);   // free once that process is gone
        QVERIFY(c.PortOpen());
    }

    void everyByteBothWays()
    {
        CommControl c;
        c.setSettings(QStringLiteral("4800,n,8,1"));
        c.setPortOpen(true);
        QVERIFY(sim_.waitForPeer(true));
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));

        sim_.sendRaw(all);
        QString in;
        QVERIFY(QTest::qWaitFor([&] { in += c.Input(); return in.size() >= 256; }, 3000));
        QCOMPARE(in.size(), 256);
        QCOMPARE(in.toLatin1(), all);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(in.at(i).unicode(), ushort(i));

        c.setOutput(QString::fromLatin1(all));
        QVERIFY(sim_.waitForReceived(256));
        QCOMPARE(sim_.received(), all);

        // What Latin-1 cannot carry goes out as '?', one character one byte.
        sim_.clearReceived();
        c.setOutput(QStringLiteral("a\u20ACb"));
        QVERIFY(sim_.waitForReceived(3));
        QCOMPARE(sim_.received(), QByteArray("a?b"));
    }

    void receiveEvents()
    {
        CommControl c;
        c.setPortOpen(true);
        QVERIFY(sim_.waitForPeer(true));
        QList<int> events;
        connect(&c, &CommControl::OnComm, this, [&] { events.append(c.CommEvent()); });

        // No receive events at threshold 0, but the bytes wait in the buffer.
        sim_.sendRaw("abc");
        QVERIFY(QTest::qWaitFor([&] { return c.InBufferCount() == 3; }, 2000));
        QVERIFY(events.isEmpty());

        // InputLen limits one read; 0 takes everything waiting.
        c.setInputLen(2);
        QCOMPARE(c.Input(), QStringLiteral("ab"));
        c.setInputLen(0);
        QCOMPARE(c.Input(), QStringLiteral("c"));
        QCOMPARE(c.Input(), QString());

        // Threshold 1: one event per arrival; the handler drains with InputLen 0.
        c.setRThreshold(1);
        QString got;
        int arrivals = 0;
        connect(&c, &CommControl::OnComm, this, [&] {
            if (c.CommEvent() == commEvReceive) {
                ++arrivals;
                got += c.Input();
            }
        });
        sim_.sendRaw("first");
        QVERIFY(QTest::qWaitFor([&] { return got == QLatin1String("first"); }, 2000));
        const int afterFirst = arrivals;
        QVERIFY(afterFirst >= 1);
        sim_.sendRaw("second");
        QVERIFY(QTest::qWaitFor([&] { return got == QLatin1String("firstsecond"); }, 2000));
        QVERIFY(arrivals > afterFirst);
        QCOMPARE(c.InBufferCount(), 0);
        for (int e : events)
            QCOMPARE(e, int(commEvReceive));

        // A threshold above what has arrived holds the event back.
        c.setRThreshold(10);
        const int before = arrivals;
        sim_.sendRaw("12345");
        QVERIFY(QTest::qWaitFor([&] { return c.InBufferCount() == 5; }, 2000));
        QCOMPARE(arrivals, before);
        sim_.sendRaw("67890");
        QVERIFY(QTest::qWaitFor([&] { return arrivals > before; }, 2000));
        QCOMPARE(got.right(10), QStringLiteral("1234567890"));
    }

    void sendEvent()
    {
        CommControl c;
        c.setPortOpen(true);
        QSignalSpy spy(&c, &CommControl::OnComm);
        c.setOutput(QStringLiteral("no event at threshold 0"));
        QTest::qWait(30);
        QCOMPARE(spy.count(), 0);

        c.setSThreshold(1);
        bool insideOutput = true;
        int code = 0;
        connect(&c, &CommControl::OnComm, this, [&] {
            QVERIFY(!insideOutput);   // never raised inside the Output call itself
            code = c.CommEvent();
        });
        c.setOutput(QStringLiteral("x"));
        insideOutput = false;
        QVERIFY(spy.wait(1000));
        QCOMPARE(code, int(commEvSend));
        QCOMPARE(c.OutBufferCount(), 0);
    }

    void modemLines()
    {
        // A pseudo-terminal has no modem lines: they read False, DTR is accepted.
        CommControl pty;
        pty.setPortOpen(true);
        QVERIFY(!pty.CDHolding());
        QVERIFY(!pty.CTSHolding());
        QVERIFY(!pty.DSRHolding());
        pty.setDTREnable(false);
        pty.setDTREnable(true);
        QVERIFY(pty.PortOpen());
        pty.setPortOpen(false);
        QCOMPARE(errorOf([&] { pty.CDHolding(); }), 8018);

        FakeModem m;
        m.lines.cts = true;
        m.lines.dsr = true;
        m.setPortOpen(true);
        QVERIFY(m.CTSHolding());
        QVERIFY(m.DSRHolding());
        QVERIFY(!m.CDHolding());
        QList<int> events;
        connect(&m, &CommControl::OnComm, this, [&] { events.append(m.CommEvent()); });

        m.lines.cts = false;                 // CTS changed
        m.poll();
        m.lines.dsr = false;                 // DSR dropped
        m.poll();
        m.lines.dsr = true;                  // DSR rising is not an event
        m.poll();
        m.lines.cd = true;                   // CD changed
        m.poll();
        m.lines.ring = true;                 // ring rose
        m.poll();
        m.lines.ring = false;                // ring falling is not an event
        m.poll();
        QCOMPARE(events, (QList<int>{commEvCTS, commEvDSR, commEvCD, commEvRing}));
        QVERIFY(m.CDHolding());

        // The lines are watched without being asked.
        events.clear();
        m.lines.cts = true;
        QVERIFY(QTest::qWaitFor([&] { return !events.isEmpty(); }, 2000));
        QCOMPARE(events.first(), int(commEvCTS));
    }

    // Gathering: text without a line end waits; a line end, a refusal of the
    // owner, the owner's call and the close hand it on at once; the time
    // bound hands on a prompt that never gets a line end. The gathering time
    // is set far beyond any test's length where an outcome must not come
    // from the time bound.
    void gatheringHoldsOnlyUnendedText()
    {
        CommControl c;
        c.setRThreshold(1);
        bool allowed = true;
        c.setGather(600000, [&] { return allowed; });
        c.setPortOpen(true);
        QVERIFY(sim_.waitForPeer(true));
        QStringList events;
        connect(&c, &CommControl::OnComm, this, [&] {
            if (c.CommEvent() == commEvReceive)
                events.append(c.Input());
        });
        const auto got = [&] { return events.join(QString()); };

        // However many arrivals bring them, characters of an unended line wait.
        sim_.sendRaw("CAP");
        QVERIFY(QTest::qWaitFor([&] { return c.InBufferCount() == 3; }, 5000));
        sim_.sendRaw(": 1");
        QVERIFY(QTest::qWaitFor([&] { return c.InBufferCount() == 6; }, 5000));
        QVERIFY(events.isEmpty());
        // The line end goes on at once, and everything held before it.
        sim_.sendRaw("\r\nDA");
        QVERIFY(QTest::qWaitFor([&] { return got().startsWith(QLatin1String("CAP: 1\r\n")); }, 5000));
        // The owner refuses (a reply is awaited): what comes goes on as it
        // comes, with whatever was still held before it.
        allowed = false;
        sim_.sendRaw("T>");
        QVERIFY(QTest::qWaitFor([&] { return got() == QLatin1String("CAP: 1\r\nDAT>"); }, 5000));
        sim_.sendRaw("1");
        QVERIFY(QTest::qWaitFor([&] { return got().endsWith(QLatin1String("DAT>1")); }, 5000));

        // The owner takes what is held; the close hands it on before the port goes.
        allowed = true;
        events.clear();
        sim_.sendRaw("ab");
        QVERIFY(QTest::qWaitFor([&] { return c.InBufferCount() == 2; }, 5000));
        QVERIFY(events.isEmpty());
        c.deliverGathered();
        QCOMPARE(events, QStringList{QStringLiteral("ab")});
        sim_.sendRaw("cd");
        QVERIFY(QTest::qWaitFor([&] { return c.InBufferCount() == 2; }, 5000));
        c.setPortOpen(false);
        QCOMPARE(events, (QStringList{QStringLiteral("ab"), QStringLiteral("cd")}));

        // A prompt never gets its line end: it goes on once the short gathering time is out.
        c.setGather(20, [&] { return allowed; });
        c.setPortOpen(true);
        QVERIFY(sim_.waitForPeer(true));
        events.clear();
        sim_.sendRaw("DAT>");
        QVERIFY(QTest::qWaitFor([&] { return got() == QLatin1String("DAT>"); }, 10000));
        QCOMPARE(c.InBufferCount(), 0);
    }

    // Every byte value, line ends among them, in chunks of every size, with
    // the owner allowing and refusing by turns and a handler that lets events
    // run (as the receive engine's destinations may): all arrives once, in order.
    void gatheringLosesAndReordersNothing()
    {
        CommControl c;
        c.setRThreshold(1);
        bool allowed = true;
        c.setGather(3, [&] { return allowed; });
        c.setPortOpen(true);
        QVERIFY(sim_.waitForPeer(true));
        QByteArray in;
        int handled = 0;
        connect(&c, &CommControl::OnComm, this, [&] {
            if (c.CommEvent() != commEvReceive)
                return;
            in += c.Input().toLatin1();
            if (++handled % 5 == 0)
                QTest::qWait(4);
        });
        QByteArray all;
        quint32 seed = 12345;
        const auto next = [&seed] { seed = seed * 1103515245u + 12345u; return seed >> 16; };
        for (int i = 0; i < 6000; ++i)
            all.append(char(i % 61 == 0 ? '\r' : i % 97 == 0 ? '\n' : char(next() & 0xFF)));
        for (qsizetype at = 0; at < all.size();) {
            const qsizetype n = std::min<qsizetype>(all.size() - at, 1 + qsizetype(next() % 40));
            sim_.sendRaw(all.mid(at, n));
            at += n;
            allowed = next() % 4 != 0;
            if (next() % 3 == 0)
                QTest::qWait(int(next() % 6));
        }
        QVERIFY(QTest::qWaitFor([&] { return in.size() >= all.size(); }, 20000));
        QCOMPARE(in.size(), all.size());
        QVERIFY(in == all);
    }

    void farEndGoneClosesPort()
    {
        CommControl c;
        c.setRThreshold(1);
        c.setPortOpen(true);
        QVERIFY(sim_.waitForPeer(true));
        QList<int> events;
        connect(&c, &CommControl::OnComm, this, [&] { events.append(c.CommEvent()); });
        sim_.stop();
        QVERIFY(QTest::qWaitFor([&] { return events.contains(commErLineLost); }, 3000));
        QVERIFY(!c.PortOpen());
        QCOMPARE(errorOf([&] { c.setOutput(QStringLiteral("x")); }), 8018);
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
