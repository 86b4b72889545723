// The status query, its parser and report, and the menu navigation, against
// the simulated chronograph on the terminal window's link port.

#include <QTest>

#include "chrono/modCroCox.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroMenu.h"
#include "chrono/modCroProbe.h"
#include "chrono/modCroStatus.h"
#include "chrono/modCroTmr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "sim/kt4sim.h"
#include "common/simline.h"

#include <functional>

using namespace vt;

namespace {

const QString R = QStringLiteral("\r\n");

// A whole status answer as the unit sends it; `edit` changes it for a case.
QString answer(const std::function<void(QString &)> &edit = {})
{
    QString t = R + QString::fromLatin1(sim::Kt4Sim::identification())
        + QStringLiteral(", KT4P:V23S SYS:01234 Bat=8.95V Tmp=22.5 PwrDown=ON=01:30\r\n"
                         "Faf=OFF Arc=ON Sens=ON SLev=55% Cal=1234\r\n"
                         "K*Log=ON L*Log=OFF J*Log=ON Cam=3\r\n"
                         "Vel=m/s Tmp=cel Tim=sec\r\n"
                         "MaxFol=10 MaxStr=20 MaxSho=8\r\n"
                         "Att=03:04:05:06\r\n"
                         "Ready CAP=OFF\r\nDAT>");
    if (edit)
        edit(t);
    return t;
}

// The answer cut off after the "Att=" line's digits: no CR follows.
void cutAfterAtt(QString &t) { t.truncate(t.indexOf(QLatin1String("Att=")) + 15); }

std::function<void(QString &)> replace(const char *from, const char *to)
{
    return [from, to](QString &t) { t.replace(QLatin1String(from), QLatin1String(to)); };
}

struct FakeCFile {
    QString text;
    void install()
    {
        setCFileLog({[] { return true; }, [this](const QString &t) { text += t; }});
    }
};

} // namespace

class TestCroStatus : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim_;
    frmTerminal *term_ = nullptr;
    FakeCFile cfile_;

    // The status the unit gives now, read on the link.
    bool readStatus()
    {
        getCroStatus();
        return CroSta.croStaOk;
    }

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(vttest::startSimLine(sim_, term_, &why), qPrintable(why));
    }
    void cleanupTestCase()
    {
        setCFileLog({});
        vttest::closeSimLine(term_);
    }
    void init()
    {
        vttest::freshLinkCase(sim_);
        cfile_ = FakeCFile{};
        cfile_.install();
    }

    // --- the parser ----------------------------------------------------

    void parsesEveryField()
    {
        parCroStatus(answer());
        const CroStatus &s = CroSta;
        QVERIFY(s.croStaOk);
        QCOMPARE(s.croModel, QStringLiteral("KT4P"));
        QCOMPARE(s.croVersion, int16_t(23));
        QCOMPARE(s.croTotShots, 1234);
        QCOMPARE(s.croBatVolts, 8.95f);
        QCOMPARE(s.croCaseTemp, 22.5f);
        QVERIFY(s.croPwrDwnOn);
        QCOMPARE(s.croPwrDwnHrs, int16_t(1));
        QCOMPARE(s.croPwrDwnMin, int16_t(30));
        QVERIFY(!s.croRFirOn && s.croArcOn && s.croSnsOn);
        QCOMPARE(s.croSnsLev, int16_t(55));
        QCOMPARE(s.croCalVal, int16_t(1234));
        QVERIFY(s.croTmpLog && !s.croStaLog && s.croCapLog);
        QCOMPARE(s.croCamLev, int16_t(3));
        QCOMPARE(s.croVelUnits, QStringLiteral("m/s"));
        QCOMPARE(s.croTmpUnits, QStringLiteral("cel"));
        QCOMPARE(s.croTimUnits, QStringLiteral("sec"));
        QCOMPARE(s.croFolsDisk, int16_t(10));
        QCOMPARE(s.croStrsFol, int16_t(20));
        QCOMPARE(s.croShtsStr, int16_t(8));
        QCOMPARE(s.croCurFol, int16_t(3));
        QCOMPARE(s.croCurStr, int16_t(4));
        QCOMPARE(s.croCurRev, int16_t(5));
        QCOMPARE(s.croCurPos, int16_t(6));
    }

    // Answers that end the parse early or read a field in its own way; the
    // record starts from a complete earlier status each time.
    void answers_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("reportLine"); // a line of the report that must be there

        QTest::newRow("version 23") << answer() << true << "Version: 2.3P3";
        QTest::newRow("version 20") << answer(replace(":V23S", ":V20S")) << true << "Version: 2P0";
        QTest::newRow("lower-case sensors") << answer(replace("Sens=ON", "Sens=on")) << true << "Sensors Status:  Off";
        QTest::newRow("long model cut") << answer(replace("KT4P:", "KT4PRO:")) << true << "Model: KT4P";
        QTest::newRow("short model padded") << answer(replace("KT4P:", "KT:")) << true << "Model: KT  ";
        QTest::newRow("total above 32767") << answer(replace("SYS:01234", "SYS:40000")) << true
                                           << "Total Shots Up to Date: 40000";
        QTest::newRow("total past 32 bits") << answer(replace("SYS:01234", "SYS:99999999999")) << false
                                            << "Total Shots Up to Date: 777";
        QTest::newRow("level past 16 bits") << answer(replace("SLev=55%", "SLev=40000%")) << false
                                            << "Sensetivity Level: 9";
        QTest::newRow("Att line without CR") << answer(cutAfterAtt) << false
                                             << "Current Folder: 9";
        QTest::newRow("no PwrDown") << answer(replace("PwrDown=", "PwrDwn=")) << false << "Power Down Time: 9-Hrs, 9-Min";
    }
    void answers()
    {
        QFETCH(QString, reply);
        QFETCH(bool, valid);
        QFETCH(QString, reportLine);
        CroSta = CroStatus{};
        CroSta.croTotShots = 777;
        CroSta.croSnsLev = 9;
        CroSta.croCurFol = 9;
        CroSta.croPwrDwnHrs = CroSta.croPwrDwnMin = 9;
        CroSta.croSnsOn = true;
        CroSta.croStaOk = true;
        parCroStatus(reply);
        QCOMPARE(CroSta.croStaOk, valid);
        const QStringList lines = croStatusRep(0, 0).split(R);
        QVERIFY2(lines.contains(reportLine), qPrintable(croStatusRep(0, 0)));
    }

    // A tag missing part way: the fields before it have their new values,
    // those after it their old ones.
    void partialParseKeepsOrder()
    {
        CroSta.croCaseTemp = 1;
        CroSta.croPwrDwnOn = false;
        CroSta.croArcOn = false;
        parCroStatus(answer(replace("PwrDown=", "PwrDwn=")));
        QVERIFY(!CroSta.croStaOk);
        QCOMPARE(CroSta.croTotShots, 1234);
        QCOMPARE(CroSta.croCaseTemp, 22.5f);
        QVERIFY(!CroSta.croPwrDwnOn);
        QVERIFY(!CroSta.croArcOn);

        parCroStatus(answer(cutAfterAtt));
        QVERIFY(!CroSta.croStaOk);
        QCOMPARE(CroSta.croShtsStr, int16_t(8));
        QCOMPARE(CroSta.croCurFol, int16_t(0));
    }

    // --- the report --------------------------------------------------------

    void reportPrefixes_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("dest");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("dest 2 style 2") << 2 << 2 << "REM:00007 ";
        QTest::newRow("dest 2 style 1") << 1 << 2 << "REM: ";
        QTest::newRow("dest 2 style 0") << 0 << 2 << "";
        QTest::newRow("dest 2 style 5") << 5 << 2 << "";
        QTest::newRow("dest 0 style 2") << 2 << 0 << "";
    }
    void reportPrefixes()
    {
        QFETCH(int, style);
        QFETCH(int, dest);
        QFETCH(QString, prefix);
        parCroStatus(answer());
        CroSta.croTotShots = 7;
        const QString rep = croStatusRep(style, int16_t(dest));
        QVERIFY(!rep.endsWith(R));
        QVERIFY(rep.endsWith(QLatin1String("<Interface/Setup> or click on <zOvu> tool.")));
        const QStringList lines = rep.split(R);
        QCOMPARE(lines.size(), 30 + 8); // thirty lines and eight blank ones
        int blanks = 0;
        for (const QString &l : lines) {
            if (l.isEmpty()) {
                ++blanks;
                continue;
            }
            QVERIFY2(prefix.isEmpty() ? !l.startsWith(QLatin1String("REM:")) : l.startsWith(prefix), qPrintable(l));
        }
        QCOMPARE(blanks, 8);
        const QString p = prefix;
        QCOMPARE(lines[0], p + QStringLiteral("__________KT4 Status Report__________"));
        QCOMPARE(lines[1], p + QStringLiteral("Port: COM") + QString::number(term_->MSComm1->CommPort()));
        QCOMPARE(lines[4], p + QStringLiteral("User Cam Level: 3"));
        QCOMPARE(lines[5], QString());
        QCOMPARE(lines[6], p + QStringLiteral("Batery Voltage: 8.95-Volts"));
        QCOMPARE(lines[7], p + QStringLiteral("Case Temperature: 22.5-Celsius"));
        QCOMPARE(lines[10], p + QStringLiteral("Power Down Time: 1-Hrs, 30-Min"));
        QCOMPARE(lines[12], p + QStringLiteral("Archery Mode:  On"));
        QCOMPARE(lines[14], p + QStringLiteral("Sensors Status:  On"));
        QCOMPARE(lines[22], p + QStringLiteral("Velocity Units: m/s"));
        QCOMPARE(lines[34], p + QStringLiteral("Total Shots Up to Date: 7"));
    }

    // --- the query on the link ---------------------------------------------

    void queryReadsTheUnit()
    {
        sim_.unit().totalShots = 40000;
        sim_.unit().metric = true;
        QVERIFY(readStatus());
        QCOMPARE(CroSta.croTotShots, 40000);
        QCOMPARE(CroSta.croModel, QStringLiteral("KT4P"));
        QCOMPARE(CroSta.croVelUnits, QStringLiteral("m/s"));
        QCOMPARE(sim_.received(), QByteArray("\x1bQ"));
        QVERIFY(croStatusRep(2, 2).contains(QLatin1String("REM:40000 Version: 2.3P3\r\n")));
    }

    // A unit on its statistics side answers "Q" with the other prompt: the
    // retry takes it to the data side and asks again.
    void queryRetriesFromTheStatisticsSide()
    {
        sim_.unit().side = 2;
        QVERIFY(readStatus());
        QCOMPARE(sim_.received(), QByteArray("\x1bQ\x1b" "DQ"));
        QVERIFY(cfile_.text.isEmpty());
    }

    void queryFailures()
    {
        // No answer to ESC: nothing said.
        sim_.options().mute = true;
        QVERIFY(!readStatus());
        QVERIFY(cfile_.text.isEmpty());
        QCOMPARE(sim_.received(), QByteArray("\x1b"));

        // No answer to "Q" even after the retry: the failure and the notice.
        sim_.options().mute = false;
        sim_.options().silentKeys = "Q";
        sim_.clearReceived();
        QVERIFY(!readStatus());
        QCOMPARE(sim_.received(), QByteArray("\x1bQ\x1b" "DQ"));
        QVERIFY2(cfile_.text.startsWith(QLatin1String("REM: Failed to retrieve Chronograph Status.\r\nREM: KT4 not found on port COM")),
                 qPrintable(cfile_.text));
    }

    // The start-up check asks on the probe control and gives the port back.
    void startupCheckReadsTheStatus()
    {
        sim_.unit().inMenu = true;
        sim_.unit().totalShots = 33000;
        chkCroLink();
        QVERIFY(CroSta.croStaOk);
        QCOMPARE(CroSta.croTotShots, 33000);
        QVERIFY(term_->MSComm1->PortOpen());
        QVERIFY(!term_->MSComm2->PortOpen());
    }

    // --- the menu ----------------------------------------------------------

    // Each setting reaches its cell, is confirmed there, and the next status
    // reports it (memory alarm and expert mode are not in the status: the
    // unit's own state says it).
    void settersReachTheirCells()
    {
        sim::Unit &u = sim_.unit();
        QVERIFY(setSnsOnOff(1));
        QVERIFY(CroSta.croSnsOn && !CroSta.croStaOk);
        QVERIFY(setArcOnOff(1));
        QVERIFY(setRFirOnOff(1));
        QVERIFY(setMenOnOff(1, 0, 4, 1)); // m/s
        QVERIFY(setMenOnOff(1, 0, 5, 1)); // Celsius
        QVERIFY(setMenOnOff(2, 5, 2, 0)); // power-down off
        QVERIFY(setMenOnOff(2, 4, 3, 1)); // memory alarm
        QVERIFY(setMenOnOff(2, 5, 4, 1)); // expert mode
        QCOMPARE(CroLnk.croMenVal, int16_t(254));
        QCOMPARE(getMenVal(), QStringLiteral("ON"));
        QVERIFY(u.memAlarm && u.expert);

        // Numbers: the sensor level two steps up, the string size one step,
        // the power-down time one minute down.
        QVERIFY(gotoMenPos(1, 0, 2));
        QCOMPARE(getMenVal(), QStringLiteral("50"));
        QVERIFY(stpMenVal(1));
        QVERIFY(stpMenVal(1));
        QCOMPARE(getMenVal(), QStringLiteral("60"));
        QVERIFY(gotoMenPos(2, 2, 0));
        QCOMPARE(getMenVal(), QStringLiteral("1016"));
        QVERIFY(stpMenVal(1));
        QCOMPARE(getMenVal(), QStringLiteral("1312"));
        QVERIFY(gotoMenPos(2, 5, 3));
        QCOMPARE(getMenVal(), QStringLiteral("130"));
        QVERIFY(stpMenVal(0));
        QCOMPARE(getMenVal(), QStringLiteral("129"));

        QVERIFY(readStatus());
        const CroStatus &s = CroSta;
        QVERIFY(s.croSnsOn && s.croArcOn && s.croRFirOn && !s.croPwrDwnOn);
        QCOMPARE(s.croVelUnits, QStringLiteral("m/s"));
        QCOMPARE(s.croTmpUnits, QStringLiteral("cel"));
        QCOMPARE(s.croSnsLev, int16_t(60));
        QCOMPARE(s.croStrsFol, int16_t(13));
        QCOMPARE(s.croShtsStr, int16_t(12));
        QCOMPARE(s.croPwrDwnHrs, int16_t(1));
        QCOMPARE(s.croPwrDwnMin, int16_t(29));

        // And back off.
        QVERIFY(setSnsOnOff(0));
        QVERIFY(setArcOnOff(0));
        QVERIFY(readStatus());
        QVERIFY(!CroSta.croSnsOn && !CroSta.croArcOn && CroSta.croRFirOn);
    }

    // A cell that already reads as asked is not stepped; the position comes
    // from the unit's own prompt.
    void cellAsAskedIsLeftAlone()
    {
        QVERIFY(setMenOnOff(1, 0, 1, 0));
        QVERIFY(!sim_.received().contains('\x0b') && !sim_.received().contains('\x0f'));
        QCOMPARE(getMenPos(), int16_t(101));
        QCOMPARE(CroLnk.croMenPos, QStringLiteral("D01?"));
    }

    void menuFailures()
    {
        // A cell the unit does not have: the cursor stops at the edge.
        QVERIFY(!gotoMenPos(1, 7, 0));
        QVERIFY(CroLnk.croErr);
        QCOMPARE(CroLnk.croMenVal, int16_t(0));
        // A numeric cell is not an ON/OFF one.
        QVERIFY(!setMenOnOff(1, 0, 2, 1));
        QVERIFY(CroLnk.croErr);
        // Out of the menu there is nothing to step.
        sndCroKey(0, QStringLiteral("D"), 1, 0);
        QCOMPARE(CroLnk.croMenVal, int16_t(0));
        QVERIFY(!stpMenVal(1));
        QVERIFY(CroLnk.croErr);
        // A silent unit.
        sim_.options().mute = true;
        QVERIFY(!setSnsOnOff(1));
        QVERIFY(CroLnk.croErr);
        QVERIFY(!sim_.unit().armed);
    }
};

QTEST_MAIN(TestCroStatus)
#include "tst_crostatus.moc"
