// The chronograph setup window against the
// simulated chronograph on the terminal window's link port.

#include <QTest>

#include "chrono/modCroLnk.h"
#include "chrono/modCroStatus.h"
#include "chrono/modCroTmr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "remote/frmCroSetup.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "sim/kt4sim.h"
#include "common/simline.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace vt;

class TestCroSetup : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim_;
    frmTerminal *term_ = nullptr;

    frmCroSetup *form()
    {
        getCroStatus();
        frmCroSetup *f = frmCroSetup::get();
        f->seeCroStat();
        f->setChkOpts();
        return f;
    }
    bool readStatus()
    {
        getCroStatus();
        return CroSta.croStaOk;
    }
    // The text of the last box the program showed.
    static QString lastBox() { return answers::last().question.text; }

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(vttest::startSimLine(sim_, term_, &why), qPrintable(why));
    }
    void cleanupTestCase()
    {
        if (frmCroSetup::isLoaded())
            frmCroSetup::instance()->unload(vbFormCode);
        vttest::closeSimLine(term_);
    }
    void init()
    {
        vttest::freshLinkCase(sim_);
        answers::reset();
        if (frmCroSetup::isLoaded())
            frmCroSetup::instance()->unload(vbFormCode);
    }

    void statusDisplay()
    {
        sim_.unit().battery = 9.12;
        frmCroSetup *f = form();
        QVERIFY(CroSta.croStaOk);
        QCOMPARE(f->txtSnsLevel->text(), QStringLiteral("50"));
        QVERIFY(f->optUnitsUM[0]->isChecked() && !f->optUnitsUM[1]->isChecked());
        QVERIFY(!f->chkUnitsTC->isChecked());
        QCOMPARE(f->labBatVal->text(), QStringLiteral("9.12"));
        QCOMPARE(f->txtCurPos[0]->text(), QString::number(CroSta.croCurPos));
        QCOMPARE(f->txtCurPos[1]->text(), QStringLiteral("2"));
        QCOMPARE(f->txtCurPos[2]->text(), QStringLiteral("1"));
        QCOMPARE(f->txtStrSize[1]->text(), QStringLiteral("10"));
        QCOMPARE(f->txtStrSize[0]->text(), QStringLiteral("16"));
        QCOMPARE(f->txtPwrDwn[1]->text(), QStringLiteral("1"));
        QCOMPARE(f->txtPwrDwn[0]->text(), QStringLiteral("30"));
        QVERIFY(f->pbxWait->isHidden());
        QCOMPARE(CroLnk.croMenVal, int16_t(0));
    }

    // Each switch and ON/OFF cell, changed by its control and read back by
    // the next status.
    void switchesAndCells()
    {
        frmCroSetup *f = form();
        f->optSnsOnOff[1]->click();
        f->optArcOnOff[1]->click();
        f->optRFirOnOff[1]->click();
        f->optUnitsUM[1]->click();
        f->chkUnitsTC->click();
        f->chkPwrDwnOn->click();
        f->chkMemAlarm->click();
        f->chkExprtMod->click();
        QCOMPARE(answers::asked().size(), 0);
        QVERIFY(!f->getFrmStat());
        QVERIFY(readStatus());
        QVERIFY(CroSta.croSnsOn && CroSta.croArcOn && CroSta.croRFirOn && !CroSta.croPwrDwnOn);
        QCOMPARE(CroSta.croVelUnits, QStringLiteral("m/s"));
        QCOMPARE(CroSta.croTmpUnits, QStringLiteral("cel"));
        QVERIFY(sim_.unit().memAlarm && sim_.unit().expert);
        // And back.
        f->seeCroStat();
        f->optSnsOnOff[0]->click();
        f->optUnitsUM[0]->click();
        QVERIFY(readStatus());
        QVERIFY(!CroSta.croSnsOn);
        QCOMPARE(CroSta.croVelUnits, QStringLiteral("f/s"));
    }

    void boxEqualToRecordSendsNothing()
    {
        frmCroSetup *f = form();
        sim_.clearReceived();
        f->chkMemAlarm->setChecked(CroSta.croMemAlarm);
        f->chkMemAlarm_Click();
        f->optSnsOnOff_Click(CroSta.croSnsOn ? 1 : 0);
        f->chkSndLogs[0]->setChecked(CroSta.croCapLog);
        f->chkSndLogs_Click(0);
        QTest::qWait(50);
        QVERIFY(sim_.received().isEmpty());
    }

    void sendLogs()
    {
        frmCroSetup *f = form();
        QVERIFY(!CroSta.croStaLog);
        f->chkSndLogs[2]->click();
        QVERIFY(sim_.unit().staLog && CroSta.croStaLog && f->chkSndLogs[2]->isChecked());
    }

    void sensorLevelStaysWithinRange()
    {
        frmCroSetup *f = form();
        f->cmdSnsUpDwn[1]->click();
        QCOMPARE(f->txtSnsLevel->text(), QStringLiteral("45"));
        for (int i = 0; i < 12; ++i)
            f->cmdSnsUpDwn[0]->click();
        QCOMPARE(CroSta.croSnsLev, int16_t(100));
        QCOMPARE(answers::asked().size(), 0);
        f->cmdReset->click();
        QVERIFY(readStatus());
        QCOMPARE(CroSta.croSnsLev, int16_t(50));
    }

    void powerDownTarget_data()
    {
        QTest::addColumn<int>("hrs");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("dir");
        QTest::addColumn<int>("target");
        QTest::newRow("up") << 1 << 30 << 0 << 230;
        QTest::newRow("up to three keeps 51") << 2 << 51 << 0 << 351;
        QTest::newRow("up to three cuts 59") << 2 << 59 << 0 << 351;
        QTest::newRow("at three") << 3 << 51 << 0 << 351;
        QTest::newRow("down") << 1 << 59 << 1 << 59;
        QTest::newRow("down at zero") << 0 << 10 << 1 << 10;
    }
    void powerDownTarget()
    {
        QFETCH(int, hrs);
        QFETCH(int, min);
        QFETCH(int, dir);
        QFETCH(int, target);
        QCOMPARE(int(fixPwrDwn(int16_t(hrs), int16_t(min), int16_t(dir))), target);
    }

    // Raised from 2:58: the unit ends at 3:51, not beyond what it holds.
    void powerDownRaisedAtThreeHours()
    {
        sim_.unit().pwrDownHrs = 2;
        sim_.unit().pwrDownMin = 58;
        frmCroSetup *f = form();
        f->cmdPwrDwn[0]->click();
        QCOMPARE(answers::asked().size(), 0);
        QVERIFY(readStatus());
        QCOMPARE(CroSta.croPwrDwnHrs, int16_t(3));
        QCOMPARE(CroSta.croPwrDwnMin, int16_t(51));
        // One more hour up is already there: nothing is stepped.
        f->seeCroStat();
        f->cmdPwrDwn[0]->click();
        QVERIFY(readStatus());
        QCOMPARE(CroSta.croPwrDwnHrs * 100 + CroSta.croPwrDwnMin, 351);
        // One minute down.
        f->cmdPwrDwn[3]->click();
        QCOMPARE(f->txtPwrDwn[0]->text(), QStringLiteral("50"));
    }

    void stringSizeSteps()
    {
        frmCroSetup *f = form();
        QList<int> seen;
        for (int i = 0; i < 9; ++i) {
            f->cmdStrSizUpDwn[1]->click();
            QVERIFY(fixStrSize(CroSta.croStrsFol, CroSta.croShtsStr, CroSta.croCurStr));
            seen << CroSta.croStrsFol;
        }
        for (int i = 0; i < 9; ++i) {
            f->cmdStrSizUpDwn[0]->click();
            seen << CroSta.croStrsFol;
        }
        QCOMPARE(answers::asked().size(), 0);
        QCOMPARE(seen.first(), 8);
        QVERIFY(seen.contains(4) && seen.contains(40));
        QVERIFY(readStatus());
        QCOMPARE(CroSta.croStrsFol, int16_t(40));
        QCOMPARE(f->txtStrSize[1]->text(), QStringLiteral("40"));
        QCOMPARE(f->labMaxDatVal[1]->text(), QStringLiteral("40"));
        QVERIFY(!fixStrSize(12, 3, 1));
        QVERIFY(!fixStrSize(4, 40, 5));
    }

    void silentUnitKeepsFormUsable()
    {
        frmCroSetup *f = form();
        sim_.options().mute = true;
        f->optModDSM[1]->click();
        QVERIFY(lastBox().startsWith(QStringLiteral("Failed to change Data/Stats Mode ..!")));
        QCOMPARE(CroLnk.croPrmKind, int16_t(0));
        QVERIFY(f->fraRE3Setup->isEnabled() && f->pbxWait->isHidden());
        f->optSnsOnOff[1]->click();
        QVERIFY(lastBox().startsWith(QStringLiteral("Failed to set Sensors On ..!")));
        QVERIFY(!f->optSnsOnOff[1]->isChecked() && f->optSnsOnOff[0]->isChecked());
        f->cmdGetStatus->click();
        QVERIFY(lastBox().startsWith(QStringLiteral("Failed to retrieve KT4 Status..!")));
        QVERIFY(f->fraRE3Setup->isEnabled());
    }

    void positionFailureNamesStep_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("silent");
        QTest::addColumn<QString>("item");
        QTest::newRow("folder down") << 4 << QByteArray("\x0f") << QStringLiteral("(3)Folder Position");
        QTest::newRow("folder up") << 5 << QByteArray("\x0b") << QStringLiteral("(3)Folder Position");
        QTest::newRow("shot, D silent") << 0 << QByteArray("D") << QStringLiteral("(2)Shot Position");
    }
    void positionFailureNamesStep()
    {
        QFETCH(int, index);
        QFETCH(QByteArray, silent);
        QFETCH(QString, item);
        frmCroSetup *f = form();
        sim_.options().silentKeys = silent;
        f->cmdCurPosUpDwn[index]->click();
        QCOMPARE(lastBox(), QStringLiteral("Failed to change ") + item
                     + QStringLiteral(" ..!\r\nThere was no response from KT4 Chronograph.  \r\n"
                                      "Check your setup or connections."));
        QVERIFY(f->cmdCurPosUpDwn[index]->isEnabled() && f->fraRE3Setup->isEnabled());
    }

    void positionKeyMoves()
    {
        frmCroSetup *f = form();
        f->cmdCurPosUpDwn[2]->click();
        QCOMPARE(answers::asked().size(), 0);
        QCOMPARE(f->txtCurPos[1]->text(), QStringLiteral("3"));
    }

    // The close question: Cancel keeps the window, Yes sends what differs.
    void closeQuestion()
    {
        frmCroSetup *f = form();
        QVERIFY(!f->getFrmStat());
        QVERIFY(f->unload(vbFormControlMenu)); // unchanged: no question
        QCOMPARE(answers::asked().size(), 0);
        f = form();
        f->chkMemAlarm->setChecked(true);
        QVERIFY(f->getFrmStat());
        answers::queue(QStringLiteral("Cancel"));
        QVERIFY(!f->unload(vbFormControlMenu));
        QCOMPARE(answers::last().question.text,
                 QStringLiteral("Setup has changed!\r\nSend Changes to KT4 Before Closing..?"));
        QCOMPARE(answers::last().question.defaultAnswer, QStringLiteral("Cancel"));
        QVERIFY(!sim_.unit().memAlarm);
        answers::queue(QStringLiteral("Yes"));
        QVERIFY(f->unload(vbFormControlMenu));
        QVERIFY(sim_.unit().memAlarm);
    }
};

QTEST_MAIN(TestCroSetup)
#include "tst_crosetup.moc"
