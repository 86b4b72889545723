#include <QTest>

#include "chrono/modCroProt.h"

using namespace vt;

Q_DECLARE_METATYPE(vt::CroSensors)

namespace {

// The same answer with the unit's other line ends.
QString withLineEnds(const QString &crlf, const char *ends)
{
    QString s = crlf;
    return s.replace(QStringLiteral("\r\n"), QString::fromLatin1(ends));
}

} // namespace

class TestCroProt : public QObject {
    Q_OBJECT
private slots:
    void controlKeysClearBit6_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("enter, escape") << "M[" << QByteArray("\x0D\x1B");
        QTest::newRow("arrows") << "UDLR" << QByteArray("\x15\x04\x0C\x12");
        QTest::newRow("pages") << "OK" << QByteArray("\x0F\x0B");
        QTest::newRow("delete") << "^_A" << QByteArray("\x1E\x1F\x01");
        QTest::newRow("undelete") << "\\]B" << QByteArray("\x1C\x1D\x02");
    }
    void controlKeysClearBit6()
    {
        QFETCH(QString, keys);
        QFETCH(QByteArray, wire);
        for (int i = 0; i < keys.size(); ++i) {
            QCOMPARE(croWireChar(true, keys[i]).unicode(), char16_t(uchar(wire[i])));
            QCOMPARE(croWireChar(false, keys[i]), keys[i]);
        }
    }

    void keyClasses_data()
    {
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("cls");
        QTest::newRow("ctrl M") << true << "M" << 70;
        QTest::newRow("ctrl moves") << true << "UDLROK" << 80;
        QTest::newRow("ctrl deletes") << true << "^\\_]AB" << 81;
        QTest::newRow("ctrl ESC and unlisted") << true << "[TQZ1" << 90;
        QTest::newRow("dumps") << false << "12" << 0;
        QTest::newRow("eDisk dump") << false << "3" << 1;
        QTest::newRow("sides") << false << "DSTU" << 11;
        QTest::newRow("status") << false << "Q" << 12;
        QTest::newRow("sensors") << false << "Z" << 13;
        QTest::newRow("menu") << false << "M" << 20;
        QTest::newRow("actions") << false << "AFWJKL" << 30;
        QTest::newRow("power") << false << "P9" << 40;
        QTest::newRow("calibrate") << false << "C" << 50;
        QTest::newRow("plain unlisted") << false << "[XBq" << 90;
    }
    void keyClasses()
    {
        QFETCH(bool, ctrl);
        QFETCH(QString, keys);
        QFETCH(int, cls);
        for (const QChar k : keys)
            QCOMPARE(int(croReplyClass(ctrl, k)), cls);
    }

    void keyTimes_data()
    {
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("gapIn");
        QTest::addColumn<int>("gap");
        QTest::addColumn<int>("whole");
        QTest::addColumn<bool>("longOp");
        QTest::addColumn<int>("gPeriod");
        QTest::addColumn<bool>("dump");
        QTest::newRow("default gap") << false << "D" << 0 << 250 << 2000 << false << 60 << false;
        QTest::newRow("negative gap") << true << "U" << -5 << 250 << 2000 << false << 60 << false;
        QTest::newRow("caller's gap") << true << "^" << 400 << 400 << 2000 << false << 60 << false;
        QTest::newRow("1") << false << "1" << 300 << 300 << 4000 << false << 60 << true;
        QTest::newRow("2") << false << "2" << 0 << 250 << 6000 << true << 60 << true;
        QTest::newRow("3 ignores gap") << false << "3" << 900 << 250 << 10000 << true << 90 << true;
        QTest::newRow("C ignores gap") << false << "C" << 900 << 5000 << 10000 << true << 90 << false;
        QTest::newRow("ctrl C is no calibration") << true << "C" << 0 << 250 << 2000 << false << 60 << false;
    }
    void keyTimes()
    {
        QFETCH(bool, ctrl);
        QFETCH(QString, key);
        QFETCH(int, gapIn);
        const CroKeyTimes t = croKeyTimes(ctrl, key[0], gapIn);
        QTEST(t.gapMs, "gap");
        QTEST(t.wholeMs, "whole");
        QTEST(t.longOp, "longOp");
        QTEST(int(t.gPeriodSec), "gPeriod");
        QTEST(t.dumpWatch, "dump");
        QCOMPARE(t.keySent, !ctrl && key == QLatin1String("C"));
    }

    // Keys x answers, each answer with CR LF, LF CR and lone CR line ends.
    void replies_data()
    {
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("prm");
        QTest::addColumn<int>("men");
        QTest::addColumn<CroSensors>("sns");
        QTest::addColumn<bool>("pwr");
        const auto U = CroSensors::Unchanged, ARM = CroSensors::Armed, OFF = CroSensors::Disarmed;
        const QString id = croIdText;
        auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
        row("^M data prompt") << true << "M" << "\r\nDAT>" << 1 << 1 << 0 << U << false;
        row("^M stats prompt") << true << "M" << "\r\nSTS>" << 2 << 2 << 0 << U << false;
        row("^M data menu") << true << "M" << "\r\nSens=ON\r\nMEN><DAT> 00?" << 3 << 0 << 1 << U << false;
        row("^M stats menu, early") << true << "M" << "\r\nMEN><STS>" << 4 << 0 << 2 << U << false;
        row("^M prompt unfinished") << true << "M" << "\r\nDA" << 0 << 0 << 0 << U << false;
        row("^U review line") << true << "U" << "\r\nFol=01 Str=02 Sho=03\r\nDAT>" << 1 << 1 << 0 << U << false;
        row("^D stats") << true << "D" << "\r\nSTS>" << 2 << 2 << 0 << U << false;
        row("^L menu cell") << true << "L" << "\r\nArc=OFF\r\nMEN><DAT> 01?" << 3 << 0 << 1 << U << false;
        row("^K stats cell") << true << "K" << "\r\nMEN><STS> 25?" << 4 << 0 << 2 << U << false;
        row("^R cell half there") << true << "R" << "\r\nMEN><STS> 2" << 0 << 0 << 0 << U << false;
        row("^R menu without line end") << true << "R" << "MEN><STS> 25?" << 0 << 0 << 0 << U << false;
        row("^^ ends capture") << true << "^" << "\r\nCAP:01234 <End> CAP=OFF\r\nDAT>" << 1 << 1 << 0 << OFF << false;
        row("^B stats") << true << "B" << "\r\nSTS>" << 2 << 2 << 0 << U << false;
        row("^_ CAP=OFF before prompt") << true << "_" << "\r\nCAP=OFF\r\n" << 0 << 0 << 0 << OFF << false;
        row("ESC armed data") << true << "[" << "\r\n<End>\r\nDAT>" << 1 << 1 << 0 << ARM << false;
        row("ESC armed stats") << true << "[" << "\r\n<End>\r\nSTS>" << 2 << 2 << 0 << ARM << false;
        row("ESC CAP=OFF data") << true << "[" << "\r\n<End> CAP=OFF\r\nDAT>" << 1 << 1 << 0 << OFF << false;
        row("ESC CAP=OFF stats") << true << "[" << "\r\n<End> CAP=OFF\r\nSTS>" << 2 << 2 << 0 << OFF << false;
        row("ESC data menu") << true << "[" << "\r\n<End>\r\nMEN><DAT> 12?" << 3 << 0 << 1 << U << false;
        row("ESC stats menu") << true << "[" << "\r\n<End>\r\nMEN><STS> 00?" << 4 << 0 << 2 << U << false;
        row("ESC menu digits pending") << true << "[" << "\r\n<End>\r\nMEN><DAT> 1" << 0 << 0 << 0 << U << false;
        row("ESC power on") << true << "[" << "\r\nPower ON\r\nMEN><DAT> 00?" << 5 << 0 << 1 << U << true;
        row("ESC power on, menu pending") << true << "[" << "\r\nPower ON\r\n" << 0 << 0 << 0 << U << true;
        row("ESC power on, other cell") << true << "[" << "\r\nPower ON\r\nMEN><DAT> 01?" << 0 << 0 << 0 << U << true;
        row("ESC no line end before prompt") << true << "[" << "<End>DAT>" << 0 << 0 << 0 << U << false;
        row("ctrl T takes ESC's class") << true << "T" << "\r\n<End>\r\nDAT>" << 1 << 1 << 0 << ARM << false;
        row("plain X takes ESC's class") << false << "X" << "\r\n<End> CAP=OFF\r\nSTS>" << 2 << 2 << 0 << OFF << false;
        row("1 dump") << false << "1"
                      << "\r\nMMR:<Begin> Fol=01 Str=02 Siz=02\r\nMMR:01:02:001 0812 fps\r\n"
                         "MMR:01:02:002 0815 fps\r\nMMR:<End> Fol=01 Str=02\r\nMMR:<End>\r\nDAT>"
                      << 1 << 1 << 0 << U << false;
        row("2 dump, CAP=OFF") << false << "2" << "\r\nMMR:<End> Fol=01 Str=02\r\nMMR:<End> CAP=OFF\r\nDAT>"
                               << 2 << 1 << 0 << OFF << false;
        row("2 dump, string end is no end") << false << "2" << "\r\nMMR:<End> Fol=01 Str=02\r\nDAT>"
                                            << 0 << 0 << 0 << U << false;
        row("1 dump, stats prompt is no end") << false << "1" << "\r\nMMR:<End>\r\nSTS>" << 0 << 0 << 0 << U << false;
        row("3 early end") << false << "3" << "\r\nMMR:<End> Fol=01 Str=10\r\nMMR:<End>\r\nDAT>"
                           << 0 << 0 << 0 << U << false;
        row("3 early end, then folder 10") << false << "3"
                                           << "\r\nMMR:<End>\r\nDAT>\r\nMMR:<End> Fol=10 Str=10\r\n"
                                           << 0 << 0 << 0 << U << false;
        row("3 whole eDisk") << false << "3" << "\r\nMMR:<End> Fol=10 Str=10\r\nMMR:<End>\r\nDAT>"
                             << 1 << 1 << 0 << U << false;
        row("3 whole eDisk, CAP=OFF") << false << "3"
                                      << "\r\nMMR:<End> Fol=10 Str=03\r\nMMR:<End> CAP=OFF\r\nDAT>"
                                      << 2 << 1 << 0 << OFF << false;
        row("D") << false << "D" << "\r\nDAT>" << 1 << 1 << 0 << U << false;
        row("D answered by stats") << false << "D" << "\r\nSTS>" << 2 << 2 << 0 << U << false;
        row("T prompt without line end") << false << "T" << "DAT>" << 0 << 0 << 0 << U << false;
        row("U prompt, trailing blank") << false << "U" << "\r\nDAT> " << 0 << 0 << 0 << U << false;
        row("Q status") << false << "Q"
                        << (id + ", KT4P:V23S\r\nReady\r\nSYS:01234 Bat=8.95V Tmp=22.5 \r\nDAT>")
                        << 1 << 1 << 0 << U << false;
        row("Q status, CAP=OFF, stats") << false << "Q" << (id + "\r\nReady CAP=OFF\r\nSTS>")
                                        << 2 << 2 << 0 << OFF << false;
        row("Q without identification") << false << "Q" << "XXXXXXXXXXX\r\nReady\r\nDAT>"
                                        << 0 << 0 << 0 << U << false;
        row("Q without Ready") << false << "Q" << (id + "\r\nReaDY\r\nDAT>") << 0 << 0 << 0 << U << false;
        row("Q prompt before Ready") << false << "Q" << ("\r\nDAT>" + id + "\r\nReady\r\n")
                                     << 0 << 0 << 0 << U << false;
        row("Z data") << false << "Z" << "\r\nSLev=50% Arc=OFF Sens=OFF\r\nDAT>" << 1 << 1 << 0 << U << false;
        row("Z stats menu") << false << "Z" << "\r\nSLev=50% Arc=OFF Sens=OFF\r\nMEN><STS> 00?"
                            << 4 << 0 << 2 << U << false;
        row("Z data menu") << false << "Z" << "\r\nSLev=5% Arc=ON Sens=OFF\r\nMEN><DAT> 00?"
                           << 3 << 0 << 1 << U << false;
        row("Z sensors still on") << false << "Z" << "\r\nSLev=50% Arc=OFF Sens=ON\r\nDAT>"
                                  << 0 << 0 << 0 << U << false;
        row("M data menu") << false << "M" << "\r\nSens=ON\r\nMEN><DAT> 00?" << 1 << 0 << 1 << U << false;
        row("M stats menu") << false << "M" << "\r\nMEN><STS> 32?" << 2 << 0 << 2 << U << false;
        row("M cursor pending") << false << "M" << "\r\nMEN><DAT> 0" << 0 << 0 << 0 << U << false;
        row("A") << false << "A" << "\r\nArc=ON\r\nDAT>" << 1 << 1 << 0 << U << false;
        row("W stats") << false << "W" << "\r\nFol=01 Str=02 Siz=10 Sho=03 Att=01\r\nSTS>" << 2 << 2 << 0 << U << false;
        row("P power off") << false << "P" << "\r\nSYS:01234 Power OFF\r\n" << 1 << 0 << 0 << U << false;
        row("9 half") << false << "9" << "\r\nSYS:01234" << 0 << 0 << 0 << U << false;
        row("C calibrated") << false << "C" << "\r\nCAL:1234\r\nDAT>" << 1 << 1 << 0 << U << false;
        row("C stats") << false << "C" << "\r\nCAL:1234\r\nSTS>" << 2 << 2 << 0 << U << false;
        row("C menu") << false << "C" << "\r\nCAL:1234\r\nMEN><DAT> 00?" << 3 << 0 << 1 << U << false;
        row("C failed") << false << "C" << "\r\nERR=Cal\r\nDAT>" << 0 << 0 << 0 << U << false;
    }
    void replies()
    {
        QFETCH(bool, ctrl);
        QFETCH(QString, key);
        QFETCH(QString, reply);
        for (const char *ends : {"\r\n", "\n\r", "\r"}) {
            const QString text = withLineEnds(reply, ends);
            const CroReply r = croTestKeyReply(ctrl, key[0], text);
            QVERIFY2(r.tested == !text.endsWith(u' '), ends);
            QTEST(int(r.code), "code");
            QTEST(int(r.prmKind), "prm");
            QTEST(int(r.menLev), "men");
            QTEST(r.sensors, "sns");
            QTEST(r.powerOn, "pwr");
        }
    }

    void emptyAndUnknownClassNeverComplete()
    {
        QVERIFY(!croTestReply(clsSide, QString()).tested);
        const CroReply r = croTestReply(55, QStringLiteral("\r\nDAT>"));
        QCOMPARE(r.code, int16_t(0));
    }

    // The reply buffer drops its head on long answers: a stage reached on an
    // earlier pass still counts.
    void knownStageSurvivesALostHead()
    {
        const QString tail = QStringLiteral("MMR:09:03:001 0812 fps\r\nMMR:<End>\r\nDAT>");
        QCOMPARE(croTestReply(clsDiskDump, tail).code, int16_t(0));
        CroReply r = croTestReply(clsDiskDump, tail, 1);
        QCOMPARE(r.code, int16_t(1));
        QCOMPARE(r.prmKind, int16_t(1));

        r = croTestReply(clsEscape, QStringLiteral("\r\nMEN><DAT> 00?"), 3);
        QCOMPARE(r.code, int16_t(5));
        QVERIFY(r.powerOn);

        // A stage seen again from the start is no worse than the known one.
        r = croTestReply(clsStatus, croIdText + QStringLiteral("Ready\r\n"), 1);
        QCOMPARE(r.stage, int16_t(2));
        QCOMPARE(r.code, int16_t(0));
    }

    void failureFlag_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("expect");
        QTest::addColumn<int>("prm");
        QTest::addColumn<int>("men");
        QTest::addColumn<bool>("fails");
        QTest::newRow("no check") << 2 << 0 << 2 << 0 << false;
        QTest::newRow("quiet gap") << 100 << 0 << 0 << 0 << true;
        QTest::newRow("stalled dump") << 103 << 1 << 1 << 0 << true;
        QTest::newRow("data as expected") << 1 << 1 << 1 << 0 << false;
        QTest::newRow("stats where data expected") << 2 << 1 << 2 << 0 << true;
        QTest::newRow("menu where data expected") << 3 << 1 << 0 << 1 << true;
        QTest::newRow("data menu expected, data prompt") << 1 << 11 << 1 << 0 << true;
        QTest::newRow("data menu as expected") << 3 << 11 << 0 << 1 << false;
        QTest::newRow("stats menu expected, data menu") << 3 << 12 << 0 << 1 << true;
        QTest::newRow("stats menu as expected") << 4 << 12 << 0 << 2 << false;
        QTest::newRow("nothing yet, no check") << 0 << 0 << 0 << 0 << false;
    }
    void failureFlag()
    {
        QFETCH(int, code);
        QFETCH(int, expect);
        QFETCH(int, prm);
        QFETCH(int, men);
        QTEST(croReplyFails(code, expect, prm, men), "fails");
    }
};

QTEST_GUILESS_MAIN(TestCroProt)
#include "tst_croprot.moc"
