#include "vt_paths.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "chrono/modCroProt.h"
#include "platform/serialport.h"
#include "sim/kt4sim.h"

using namespace vt;
using sim::Kt4Sim;

namespace {

// States a key can meet the unit in.
enum State { Idle, Armed, ArmedBlock, StatsSide, InMenu, InStatsMenu, PoweredOff, CalFails };

void setState(Kt4Sim &s, State st)
{
    sim::Unit &u = s.unit();
    switch (st) {
    case Idle: break;
    case Armed: u.armed = true; break;
    case ArmedBlock: u.armed = true; s.fireShot(300.0); break;
    case StatsSide: u.side = 2; break;
    case InMenu: u.inMenu = true; break;
    case InStatsMenu: u.side = 2; u.inMenu = true; break;
    case PoweredOff: u.powered = false; break;
    case CalFails: s.options().calFails = true; break;
    }
}

// The texts in `marks` occur in `text` in this order.
bool inOrder(const QByteArray &text, const QList<QByteArray> &marks)
{
    qsizetype at = 0;
    for (const QByteArray &m : marks) {
        at = text.indexOf(m, at);
        if (at < 0)
            return false;
        at += m.size();
    }
    return true;
}

} // namespace

class TestKt4Sim : public QObject {
    Q_OBJECT
    Kt4Sim sim_;
    CommControl port_;
    QByteArray got_;

    // Sends key and returns the whole answer as the program's port received it.
    QByteArray exchange(const QByteArray &key)
    {
        // Anything unsolicited so far is not part of the answer.
        QByteArray before;
        if (!QTest::qWaitFor([&] { before += port_.Input().toLatin1(); return before.size() >= sim_.sent().size(); }, 2000))
            return "<earlier text incomplete>";
        got_.clear();
        sim_.clearSent();
        const qsizetype had = sim_.received().size();
        port_.setOutput(QString::fromLatin1(key));
        if (!sim_.waitForReceived(int(had + key.size())))
            return "<key not received>";
        sim_.waitIdle();
        if (!QTest::qWaitFor([&] { got_ += port_.Input().toLatin1(); return got_.size() >= sim_.sent().size(); }, 2000))
            return "<answer incomplete>" + got_;
        sim_.clearSent();
        return got_;
    }

private slots:
    void init()
    {
        QVERIFY(sim_.start());
        qputenv("VANTRELL_COM1", sim_.portName().toLocal8Bit());
        port_.setSettings(QStringLiteral("4800,n,8,1"));
        port_.setPortOpen(true);
        QVERIFY(sim_.waitForPeer(true));
    }

    void cleanup()
    {
        if (port_.PortOpen())
            port_.setPortOpen(false);
        sim_.stop();
        sim_.reset();
        qunsetenv("VANTRELL_COM1");
    }

    void identification()
    {
        const QByteArray id = Kt4Sim::identification();
        QCOMPARE(id.size(), 11);
        QVERIFY(!id.contains(", "));
    }

    // Every key of the key tables, in the states that change its answer: the
    // answer ends with the texts that the key's reply class waits for.
    void replyClasses_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("ending");
        QTest::addColumn<QList<QByteArray>>("before");   // earlier texts, in order
        QTest::addColumn<int>("code");                    // the result code the program reads from it

        const QList<QByteArray> none;
        auto row = [](const char *name, QByteArray key, State st, QByteArray ending, QList<QByteArray> before,
                      int code) { QTest::newRow(name) << key << int(st) << ending << before << code; };
        // Class 70: Ctrl-M.
        row("^M data", "\x0d", Idle, "\r\nDAT>", none, 1);
        row("^M stats", "\x0d", StatsSide, "\r\nSTS>", none, 2);
        row("^M menu", "\x0d", InMenu, "?", {"MEN><DAT>"}, 3);
        row("^M stats menu", "\x0d", InStatsMenu, "?", {"MEN><STS>"}, 4);
        // Class 80: Ctrl-U D L R O K.
        for (const char k : {'\x15', '\x04', '\x0c', '\x12', '\x0f', '\x0b'}) {
            const QByteArray key(1, k);
            const QByteArray name = "^" + QByteArray(1, char(k + 0x40));
            QTest::newRow(name + " data") << key << int(Idle) << QByteArray("\r\nDAT>") << none << 1;
            QTest::newRow(name + " stats") << key << int(StatsSide) << QByteArray("\r\nSTS>") << none << 2;
            QTest::newRow(name + " menu") << key << int(InMenu) << QByteArray("?")
                                          << QList<QByteArray>{"\r\nMEN><DAT> "} << 3;
        }
        // Class 81: delete and undelete.
        for (const char k : {'\x1e', '\x1f', '\x01', '\x1c', '\x1d', '\x02'}) {
            const QByteArray key(1, k);
            const QByteArray name = "^" + QByteArray(1, char(k + 0x40));
            QTest::newRow(name + " data") << key << int(Idle) << QByteArray("\r\nDAT>") << none << 1;
            QTest::newRow(name + " armed") << key << int(Armed) << QByteArray("\r\nDAT>")
                                           << QList<QByteArray>{"CAP=OFF"} << 1;
        }
        // Class 90: ESC, other control keys, other plain keys.
        for (const QByteArray &key : {QByteArray("\x1b"), QByteArray("\x14"), QByteArray("["), QByteArray("X")}) {
            const QByteArray name = key == "\x1b" ? "ESC" : key == "\x14" ? "^T" : key;
            QTest::newRow(name + " disarmed") << key << int(Idle) << QByteArray("<End> CAP=OFF\r\nDAT>") << none << 1;
            QTest::newRow(name + " armed") << key << int(Armed) << QByteArray("\r\n<End>\r\nDAT>") << none << 1;
            QTest::newRow(name + " stats") << key << int(StatsSide) << QByteArray("<End> CAP=OFF\r\nSTS>") << none << 2;
            QTest::newRow(name + " menu") << key << int(InMenu) << QByteArray("<End> CAP=OFF\r\nDAT>") << none << 1;
        }
        row("ESC armed with shots", "\x1b", ArmedBlock, "<End>\r\nDAT>", {"# ", "CAP:"}, 1);
        row("ESC powered off", "\x1b", PoweredOff, "\r\nMEN><DAT> 00?", {"Power ON"}, 5);
        // Class 0 and 1: downloads.
        row("1", "1", Idle, "MMR:<End> CAP=OFF\r\nDAT>", {"MMR:<Begin>"}, 2);
        row("1 armed", "1", Armed, "\r\nMMR:<End>\r\nDAT>", {"MMR:<Begin>"}, 1);
        row("2", "2", Idle, "MMR:<End> CAP=OFF\r\nDAT>", {"MMR:<Begin>"}, 2);
        row("2 from stats", "2", StatsSide, "MMR:<End> CAP=OFF\r\nDAT>", {"MMR:<Begin>"}, 2);
        row("3", "3", Idle, "MMR:<End> CAP=OFF\r\nDAT>", {"MMR:<End> Fol=10 Str="}, 2);
        // Class 11.
        row("D", "D", StatsSide, "\r\nDAT>", none, 1);
        row("D from menu", "D", InStatsMenu, "\r\nDAT>", none, 1);
        row("S", "S", Idle, "\r\nSTS>", none, 2);
        row("T", "T", StatsSide, "\r\nSTS>", none, 2);
        row("U", "U", Idle, "\r\nDAT>", none, 1);
        // Class 12.
        row("Q", "Q", Idle, "Ready CAP=OFF\r\nDAT>", {Kt4Sim::identification()}, 1);
        row("Q armed", "Q", Armed, "Ready\r\nDAT>", {Kt4Sim::identification()}, 1);
        row("Q stats", "Q", StatsSide, "Ready CAP=OFF\r\nSTS>", {Kt4Sim::identification()}, 2);
        // Class 13.
        row("Z", "Z", Idle, "\r\nDAT>", {"SLev=", "Arc=", "Sens=OFF"}, 1);
        row("Z armed", "Z", ArmedBlock, "\r\nDAT>", {"CAP:", "<End>", "SLev=", "Arc=", "Sens=OFF", "CAP=OFF"}, 1);
        row("Z stats", "Z", StatsSide, "\r\nSTS>", {"SLev=", "Arc=", "Sens=OFF"}, 2);
        row("Z menu", "Z", InMenu, "\r\nMEN><DAT> 00?", {"SLev=", "Arc=", "Sens=OFF"}, 3);
        row("Z stats menu", "Z", InStatsMenu, "\r\nMEN><STS> 00?", {"SLev=", "Arc=", "Sens=OFF"}, 4);
        // Class 20.
        row("M", "M", Idle, "?", {"MEN><DAT> "}, 1);
        row("M stats", "M", StatsSide, "?", {"MEN><STS> "}, 2);
        // Class 30.
        for (const char k : {'A', 'F', 'W', 'J', 'K', 'L'}) {
            QTest::newRow(QByteArray(1, k)) << QByteArray(1, k) << int(Idle) << QByteArray("\r\nDAT>") << none << 1;
            QTest::newRow(QByteArray(1, k) + " stats") << QByteArray(1, k) << int(StatsSide) << QByteArray("\r\nSTS>") << none << 2;
        }
        // Class 40.
        row("P", "P", Idle, " Power OFF\r\n", {"SYS:"}, 1);
        row("9", "9", Armed, " Power OFF\r\n", {"SYS:"}, 1);
        // Class 50.
        row("C", "C", Idle, "\r\nDAT>", {"\r\nCAL:"}, 1);
        row("C stats", "C", StatsSide, "\r\nSTS>", {"\r\nCAL:"}, 2);
        row("C menu", "C", InMenu, "\r\nMEN><DAT> 00?", {"\r\nCAL:"}, 3);
        row("C fails", "C", CalFails, "\r\nDAT>", {"\r\nCAL:", "ERR=Cal"}, 1);
    }

    void replyClasses()
    {
        QFETCH(QByteArray, key);
        QFETCH(int, state);
        QFETCH(QByteArray, ending);
        QFETCH(QList<QByteArray>, before);
        setState(sim_, State(state));
        const QByteArray answer = exchange(key);
        QVERIFY2(answer.startsWith("\r\n"), answer.constData());
        QVERIFY2(answer.endsWith(ending), answer.constData());
        QVERIFY2(inOrder(answer.left(answer.size() - ending.size()), before), answer.constData());

        // The program's own reply test finds the answer complete, with the code expected.
        const auto k = uchar(key[0]);
        const bool ctrl = k < 0x20;
        const CroReply r = croTestKeyReply(ctrl, QChar(ctrl ? k | 0x40 : k), QString::fromLatin1(answer));
        QTEST(int(r.code), "code");
        // Armed or not, as the answer says, matches the unit.
        if (r.sensors != CroSensors::Unchanged)
            QCOMPARE(r.sensors == CroSensors::Armed, sim_.unit().armed);
        if (answer.contains("CAP=OFF"))
            QVERIFY(!sim_.unit().armed);
    }

    void poweredOffAnswersOnlyEsc()
    {
        QVERIFY(exchange("P").endsWith(" Power OFF\r\n"));
        QVERIFY(!sim_.unit().powered);
        QCOMPARE(exchange("D"), QByteArray());
        QCOMPARE(exchange("Q"), QByteArray());
        QVERIFY(exchange("\x1b").contains("Power ON"));
        QCOMPARE(exchange("D"), QByteArray("\r\nDAT>"));
    }

    void statusAnswerHoldsEveryTag()
    {
        sim_.unit().totalShots = 40000;   // the above-32767 switch
        const QByteArray q = exchange("Q");
        const QList<QByteArray> tags = {", ", ":V", "S", "SYS:40000 ", "Bat=", "V ", "Tmp=", " ",
                                        "PwrDown=", "=", "Faf=", " ", "Arc=", " ", "Sens=", " ", "SLev=",
                                        "% ", "Cal=", "\r", "K*Log=", " ", "L*Log=", " ", "J*Log=", " ",
                                        "Cam=", "\r", "Vel=", " ", "Tmp=", " ", "Tim=", "\r", "MaxFol=", " ",
                                        "MaxStr=", " ", "MaxSho=", "\r", "Att="};
        QVERIFY2(inOrder(q, tags), q.constData());
        const QRegularExpression model(QRegularExpression::escape(croIdText) + QStringLiteral(", (....):V(\\d+)S "));
        const auto m = model.match(QString::fromLatin1(q));
        QVERIFY(m.hasMatch());
        QCOMPARE(m.captured(1), QStringLiteral("KT4P"));
        QCOMPARE(m.captured(2), QStringLiteral("23"));
        QVERIFY(QRegularExpression(QStringLiteral("PwrDown=ON=01:30")).match(QString::fromLatin1(q)).hasMatch());
        QVERIFY(QRegularExpression(QStringLiteral("Att=01:02:03:03\r\n")).match(QString::fromLatin1(q)).hasMatch());
        QVERIFY(q.contains("Vel=f/s Tmp=fah Tim=sec\r\n"));
    }

    void logFlagsToggleIntoStatus()
    {
        QVERIFY(exchange("Q").contains("K*Log=ON L*Log=OFF J*Log=ON "));
        QVERIFY(exchange("J").contains("J*Log=OFF"));
        QVERIFY(exchange("K").contains("K*Log=OFF"));
        QVERIFY(exchange("L").contains("L*Log=ON"));
        QVERIFY(exchange("Q").contains("K*Log=OFF L*Log=ON J*Log=OFF "));
    }

    void menuStepsReachTheStatus()
    {
        // Data menu: (1,0,0) sensors, (1,0,2) sensor level, (1,0,4) m/s. A
        // step shows the new value; only Ctrl-M makes it the unit's.
        QVERIFY(exchange("M").endsWith("\r\nVAL=OFF\r\nMEN><DAT> 00?"));
        QVERIFY(exchange("\x0b").endsWith("\r\nVAL=ON\r\nMEN><DAT> 00?"));
        QVERIFY(!sim_.unit().armed);
        QVERIFY(exchange("\x0d").endsWith("\r\nVAL=ON\r\nMEN><DAT> 00?"));
        QVERIFY(sim_.unit().armed);
        QVERIFY(exchange("\x04").endsWith("\r\nVAL=OFF\r\nMEN><DAT> 01?"));
        QVERIFY(exchange("\x04").endsWith("\r\nVAL=50\r\nMEN><DAT> 02?"));
        QVERIFY(exchange("\x0b").endsWith("\r\nVAL=55\r\nMEN><DAT> 02?"));
        QVERIFY(exchange("\x0f").endsWith("\r\nVAL=50\r\nMEN><DAT> 02?"));
        QVERIFY(exchange("\x0f").endsWith("\r\nVAL=45\r\nMEN><DAT> 02?"));
        exchange("\x0d");
        QCOMPARE(sim_.unit().sensLevel, 45);
        exchange("\x04");
        QVERIFY(exchange("\x04").endsWith("\r\nVAL=OFF\r\nMEN><DAT> 04?"));
        QVERIFY(exchange("\x0b").endsWith("\r\nVAL=ON\r\nMEN><DAT> 04?"));
        exchange("\x15");   // moved off unconfirmed: dropped
        QVERIFY(!sim_.unit().metric);
        QVERIFY(exchange("\x1b").endsWith("\r\n<End>\r\nDAT>"));   // armed from the menu
        const QByteArray q = exchange("Q");
        QVERIFY(q.contains("Sens=ON SLev=45% "));
        QVERIFY(q.contains("Vel=f/s "));

        // Statistics menu: power-down time (2,5,3), one minute a step, capped at 3:51.
        exchange("S");
        sim_.unit().pwrDownHrs = 3;
        sim_.unit().pwrDownMin = 50;
        exchange("M");
        for (int i = 0; i < 5; ++i)
            exchange("\x12");
        for (int i = 0; i < 3; ++i)
            exchange("\x04");
        QVERIFY(exchange("\x0b").endsWith("\r\nVAL=351\r\nMEN><STS> 53?"));
        QVERIFY(exchange("\x0b").endsWith("\r\nVAL=351\r\nMEN><STS> 53?"));
        QVERIFY(exchange("\x0f").endsWith("\r\nVAL=350\r\nMEN><STS> 53?"));
        QVERIFY(exchange("\x0f").endsWith("\r\nVAL=349\r\nMEN><STS> 53?"));
        exchange("\x0d");
        QVERIFY(exchange("D").endsWith("\r\nDAT>"));   // plain D leaves the menu
        QVERIFY(exchange("Q").contains("PwrDown=ON=03:49"));
    }

    void captureLines()
    {
        sim::Unit &u = sim_.unit();
        u.armed = true;
        u.maxSho = 5;   // the current string holds 3: the 2nd shot fills it
        const int total = u.totalShots;
        port_.Input();
        sim_.fireShot(295.5);
        sim_.fireShot(297.5);
        QVERIFY(sim_.waitIdle());
        QByteArray text;
        QVERIFY(QTest::qWaitFor([&] { text += port_.Input().toLatin1(); return text.size() >= sim_.sent().size(); }, 2000));
        const QList<QByteArray> lines = text.split('\n');
        QCOMPARE(lines.size(), 6);   // two shots, two statistics lines, the block end, ""
        const QRegularExpression cap(QStringLiteral(
            "^CAP:(\\d{5}) (\\d+\\.\\d) f/s (\\d+\\.\\d{3}) sec (\\d+) fah (\\d\\d):(\\d\\d)_Av (\\d+\\.\\d)\r$"));
        auto m1 = cap.match(QString::fromLatin1(lines[0]));
        auto m2 = cap.match(QString::fromLatin1(lines[1]));
        QVERIFY2(m1.hasMatch(), lines[0].constData());
        QVERIFY2(m2.hasMatch(), lines[1].constData());
        QCOMPARE(m1.captured(1).toInt(), total + 1);
        QCOMPARE(m1.captured(2), QStringLiteral("295.5"));
        QCOMPARE(m1.captured(3), QStringLiteral("0.000"));
        QCOMPARE(m1.captured(4), QStringLiteral("73"));
        QCOMPARE(m1.captured(5) + ':' + m1.captured(6), QStringLiteral("02:04"));
        QCOMPARE(m2.captured(5) + ':' + m2.captured(6), QStringLiteral("02:05"));
        QCOMPARE(m2.captured(7), QStringLiteral("296.5"));
        QVERIFY(lines[2].startsWith("# ") && lines[2].contains("Av=296.5"));
        QVERIFY(lines[3].startsWith("# "));
        QCOMPARE(lines[4], "CAP:" + QByteArray::number(total + 2).rightJustified(5, '0') + " <End>\r");
        QCOMPARE(u.curStr, 3);   // the next shot starts the next string

        // Temperature log off: no temperature; CAP log off: no line at all.
        u.tmpLog = false;
        sim_.clearSent();
        sim_.fireShot(300.0);
        QVERIFY(sim_.waitIdle());
        QVERIFY(QRegularExpression(QStringLiteral("^CAP:\\d{5} 300\\.0 f/s 0\\.000 sec 03:01_Av 300\\.0\r\n$"))
                    .match(QString::fromLatin1(sim_.sent())).hasMatch());
        u.capLog = false;
        u.staLog = true;
        sim_.clearSent();
        sim_.fireShot(300.0);
        QVERIFY(sim_.waitIdle());
        QCOMPARE(sim_.sent(), QByteArray("# Fol=01 Str=03 Sho=02\r\n"));
    }

    void automaticShots()
    {
        sim_.options().shotsToFire = 3;
        sim_.options().everyMs = 10;
        sim_.unit().armed = true;
        sim_.stop();
        QVERIFY(sim_.start());   // the shot timer takes its interval at start
        qputenv("VANTRELL_COM1", sim_.portName().toLocal8Bit());
        port_.setPortOpen(false);
        port_.setPortOpen(true);
        QVERIFY(sim_.waitForPeer(true));
        QVERIFY(QTest::qWaitFor([&] { return sim_.sent().count("CAP:") == 3; }, 3000));
        QTest::qWait(60);
        QCOMPARE(sim_.sent().count("CAP:"), 3);
    }

    void dumps_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<bool>("twoDigits");
        QTest::addColumn<int>("strings");
        QTest::newRow("string") << QByteArray("1") << false << 1;
        QTest::newRow("folder") << QByteArray("2") << false << 2;
        QTest::newRow("eDisk") << QByteArray("3") << false << 20;
        QTest::newRow("eDisk, two-digit shots") << QByteArray("3") << true << 20;
    }

    void dumps()
    {
        QFETCH(QByteArray, key);
        QFETCH(bool, twoDigits);
        QFETCH(int, strings);
        sim_.options().twoDigitShots = twoDigits;
        const QByteArray d = exchange(key);
        QVERIFY(d.startsWith("\r\n"));
        QVERIFY(d.endsWith("\r\nMMR:<End> CAP=OFF\r\nDAT>"));
        const QList<QByteArray> lines = d.mid(2, d.size() - 2 - 4).split('\n');
        const QRegularExpression begin(QStringLiteral("^MMR:<Begin> Fol=(\\d\\d) Str=(\\d\\d) Siz=(\\d\\d)\r$"));
        const QRegularExpression shot(twoDigits
            ? QStringLiteral("^MMR:(\\d\\d):(\\d\\d):(\\d\\d) \\d+\\.\\d f/s \\d+ fah\r$")
            : QStringLiteral("^MMR:(\\d\\d):(\\d\\d):(\\d{3}) \\d+\\.\\d f/s \\d+ fah\r$"));
        const QRegularExpression end(QStringLiteral("^MMR:<End> Fol=(\\d\\d) Str=(\\d\\d)\r$"));
        int i = 0, blocks = 0;
        QString lastFol;
        while (i < lines.size() - 2) {
            const auto b = begin.match(QString::fromLatin1(lines[i++]));
            QVERIFY2(b.hasMatch(), lines[i - 1].constData());
            const int size = b.captured(3).toInt();
            for (int n = 1; n <= size; ++n) {
                const auto s = shot.match(QString::fromLatin1(lines[i++]));
                QVERIFY2(s.hasMatch(), lines[i - 1].constData());
                QCOMPARE(s.captured(1), b.captured(1));
                QCOMPARE(s.captured(2), b.captured(2));
                QCOMPARE(s.captured(3).toInt(), n);
            }
            const auto e = end.match(QString::fromLatin1(lines[i++]));
            QVERIFY2(e.hasMatch(), lines[i - 1].constData());
            QCOMPARE(e.captured(1) + e.captured(2), b.captured(1) + b.captured(2));
            lastFol = e.captured(1);
            ++blocks;
        }
        QCOMPARE(blocks, strings);
        QCOMPARE(lines[lines.size() - 2], QByteArray("MMR:<End> CAP=OFF\r"));
        if (key == "3")
            QCOMPARE(lastFol, QStringLiteral("10"));
    }

    void eDiskEndsWithFolderTenWhenItIsEmpty()
    {
        sim_.unit().curFol = 10;
        exchange("\x01");   // delete folder 10
        const QByteArray d = exchange("3");
        QVERIFY(d.endsWith("MMR:<End> Fol=09 Str=02\r\nMMR:<End> Fol=10 Str=00\r\nMMR:<End> CAP=OFF\r\nDAT>"));
        exchange("\x02");   // undelete it
        QVERIFY(exchange("3").contains("MMR:<End> Fol=10 Str=02\r\nMMR:<End> CAP=OFF\r\nDAT>"));
    }

    void lineEndsAndPrompts_data()
    {
        QTest::addColumn<int>("lineEnd");
        QTest::addColumn<bool>("backspace");
        QTest::addColumn<bool>("wrong");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("lf cr") << int(sim::LineEnd::LfCr) << false << false << QByteArray("\n\rJ*Log=OFF\n\rDAT>");
        QTest::newRow("cr") << int(sim::LineEnd::Cr) << false << false << QByteArray("\rJ*Log=OFF\rDAT>");
        QTest::newRow("backspace") << int(sim::LineEnd::CrLf) << true << false << QByteArray("\b\r\nJ*Log=OFF\r\nDAT>");
        QTest::newRow("wrong prompt") << int(sim::LineEnd::CrLf) << false << true << QByteArray("\r\nJ*Log=OFF\r\nSTS>");
    }

    void lineEndsAndPrompts()
    {
        QFETCH(int, lineEnd);
        sim_.options().lineEnd = sim::LineEnd(lineEnd);
        sim_.options().leadingBackspace = QTest::currentDataTag() == QByteArray("backspace");
        QFETCH(bool, wrong);
        sim_.options().wrongPrompt = wrong;
        const QByteArray answer = exchange("J");
        QTEST(answer, "answer");
        // The program takes any of these line ends; the wrong prompt reads as the other side.
        QCOMPARE(int(croTestKeyReply(false, QLatin1Char('J'), QString::fromLatin1(answer)).prmKind), wrong ? 2 : 1);
    }

    void silenceForChosenKeys()
    {
        sim_.options().silentKeys = "Q\x1b";
        QCOMPARE(exchange("Q"), QByteArray());
        QCOMPARE(exchange("\x1b"), QByteArray());
        QCOMPARE(exchange("D"), QByteArray("\r\nDAT>"));
        QCOMPARE(sim_.received(), QByteArray("Q\x1b" "D"));
    }

    void delaysAndChunks()
    {
        QList<qint64> arrivals;
        QElapsedTimer clock;
        QByteArray got;
        port_.setRThreshold(1);
        auto conn = connect(&port_, &CommControl::OnComm, this, [&] {
            got += port_.Input().toLatin1();
            arrivals.append(clock.elapsed());
        });
        sim_.options().delayBeforeMs = 80;
        sim_.options().delayWithinMs = 30;
        sim_.options().chunks = {4};
        clock.start();
        port_.setOutput(QStringLiteral("W"));
        QVERIFY(QTest::qWaitFor([&] { return got.endsWith("DAT>"); }, 3000));
        disconnect(conn);
        port_.setRThreshold(0);
        // The delays are lower bounds at the sender; a receiver that is late
        // for one chunk may see the next one sooner, or two chunks together,
        // so the spacing is checked over the whole answer.
        const int pieces = int((got.size() + 3) / 4);
        QVERIFY(arrivals.size() > 1);
        QVERIFY(arrivals.size() <= pieces);
        QVERIFY(arrivals.first() >= 75);
        const qint64 spread = arrivals.last() - arrivals.first();
        QVERIFY2(spread >= (pieces - 1) * 30 - 15, qPrintable(QString::number(spread)));
    }

    void pacedAtLineSpeed()
    {
        sim_.options().pacing = true;
        QElapsedTimer t;
        t.start();
        const QByteArray d = exchange("1");   // about 190 characters: 0.4 s at 4800 baud
        const qint64 ms = t.elapsed();
        QVERIFY(d.endsWith("DAT>"));
        QVERIFY2(ms >= d.size() * 1000 / 480 - 40, qPrintable(QString::number(ms)));
    }

    void neverStopsTalking()
    {
        sim_.options().neverStops = true;
        QTest::qWait(50);
        port_.Input();
        port_.setOutput(QStringLiteral("D"));
        QByteArray got;
        QVERIFY(QTest::qWaitFor([&] { got += port_.Input().toLatin1(); return got.size() > 400; }, 3000));
        QVERIFY(!got.contains("DAT>"));
        QVERIFY(!got.contains("Sens=OFF"));
        QCOMPARE(sim_.received(), QByteArray("D"));
    }

    void receiveLogWithTimes()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("rx.log"));
        QVERIFY(sim_.setLogFile(file));
        exchange("D");
        QTest::qWait(20);
        exchange("\x1b");
        const auto &log = sim_.receiveLog();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0].byte, 'D');
        QCOMPARE(log[1].byte, '\x1b');
        QVERIFY(log[1].ms - log[0].ms >= 15);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].endsWith(" 0x44 'D'"));
        QVERIFY(lines[1].endsWith(" 0x1B ESC"));
    }

    void programPrintsPathAndRuns()
    {
        const QString bin = qEnvironmentVariable("VANTRELL_SIM_BIN", QStringLiteral(VT_BINARY_DIR "/vantrell-sim"));
        QProcess help;
        help.start(bin, {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(120000));
        const QByteArray usage = help.readAllStandardOutput();
        for (const char *sw : {"--armed", "--shots", "--every", "--line-end", "--log", "--silent", "--chunks",
                               "--delay", "--wrong-prompt", "--never-stop", "--total-shots", "--two-digit-shots",
                               "--cal-fail", "--backspace", "--no-pacing", "--mute", "--z-from", "--key-delay"})
            QVERIFY2(usage.contains(sw), sw);

        QTemporaryDir dir;
        const QString logFile = dir.filePath(QStringLiteral("sim.log"));
        QProcess p;
        p.start(bin, {QStringLiteral("--armed"), QStringLiteral("--shots"), QStringLiteral("2"), QStringLiteral("--every"),
                      QStringLiteral("30"), QStringLiteral("--line-end"), QStringLiteral("cr"), QStringLiteral("--log"),
                      logFile, QStringLiteral("--no-pacing")});
        QVERIFY(p.waitForReadyRead(5000));
        const QString path = QString::fromLocal8Bit(p.readLine()).trimmed();
        QVERIFY(path.startsWith(QLatin1String("/dev/")));
        port_.setPortOpen(false);
        qputenv("VANTRELL_COM1", path.toLocal8Bit());
        port_.setPortOpen(true);
        QByteArray got;
        QVERIFY(QTest::qWaitFor([&] { got += port_.Input().toLatin1(); return got.count("CAP:") == 2; }, 3000));
        port_.setOutput(QStringLiteral("Z"));
        QVERIFY(QTest::qWaitFor([&] { got += port_.Input().toLatin1(); return got.endsWith("\rDAT>"); }, 3000));
        QVERIFY(!got.contains('\n'));
        QVERIFY(got.contains("Sens=OFF CAP=OFF\r"));
        QVERIFY(QTest::qWaitFor([&] { QFile f(logFile); return f.open(QIODevice::ReadOnly) && f.readAll().contains("0x5A 'Z'"); }, 2000));
        p.kill();
        p.waitForFinished(2000);
    }
};

QTEST_GUILESS_MAIN(TestKt4Sim)
#include "tst_kt4sim.moc"
