// The sensor-state panel: opened from the main window's Sensors LED, showing
// the sensors as the unit reports them, with the edit-while-capturing switch
// whose effect on the editing commands shows when the panel closes.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroStatus.h"
#include "chrono/modCroTmr.h"
#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "remote/frmSnsState.h"
#include "remote/modRemoteNbr.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStatus.h"
#include "sim/kt4sim.h"
#include "common/simline.h"

using namespace vt;
using vttest::boxTexts;

class TestSnsState : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim;
    frmTerminal *term = nullptr;

    // Opens the panel the way a user does.
    static frmSnsState *clickSensorsLed()
    {
        QTest::mouseClick(frmMDI::instance()->txtLedsStatus[2], Qt::LeftButton);
        return frmSnsState::isLoaded() ? frmSnsState::instance() : nullptr;
    }

private slots:
    void initTestCase() { QVERIFY(sim.start()); }

    void init()
    {
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        installChronoSubsystem();
        vttest::startEditor();
        installRemoteSubsystem();
        sim.reset();
        sim.options().pacing = false;
        QVERIFY(vttest::openSimLine(sim, term));
        vttest::resetLinkRecords();
        zapBizTable();
        CreateNewCFile();
        QVERIFY(ActiveForm());
        QTest::qWait(20);
        sim.clearReceived();
    }
    void cleanup()
    {
        if (frmSnsState::isLoaded())
            frmSnsState::instance()->unload(vbFormCode);
        vttest::endLinkCase(term);
        QVERIFY(!croTask(0));
    }

    // Unknown before any status; the Status key reads the unit, armed or not,
    // and the panel follows a status read made elsewhere too.
    void showsTheSensorsAsReported()
    {
        frmSnsState *f = clickSensorsLed();
        QVERIFY(f);
        QVERIFY(f->isVisible());
        QVERIFY(f->labSnsState->text().contains(QLatin1String("unknown")));
        QCOMPARE(BizTable[6][1], int16_t(1));
        QVERIFY(sim.received().isEmpty()); // opening alone sends nothing

        sim.unit().armed = true;
        sim.unit().sensLevel = 35;
        f->cmdStatus->click();
        QCOMPARE(f->labSnsState->text(), QStringLiteral("Sensors: armed"));
        QCOMPARE(f->labSnsLevel->text(), QStringLiteral("Sensitivity: 35%"));

        sim.unit().armed = false;
        CroSta.croStaOk = false;
        getCroStatus();
        updAllSta();
        QCOMPARE(f->labSnsState->text(), QStringLiteral("Sensors: off"));
        QVERIFY(boxTexts().isEmpty());

        // A unit that does not answer: said so, and the state is unknown again.
        sim.options().mute = true;
        f->cmdStatus->click();
        QVERIFY(boxTexts().last().startsWith(QLatin1String("Failed to retrieve KT4 Status..!")));
        QVERIFY(f->labSnsState->text().contains(QLatin1String("unknown")));

        // A second click brings the same panel forward.
        QCOMPARE(clickSensorsLed(), f);
        f->cmdClose->click();
        QVERIFY(!frmSnsState::isLoaded());
        QCOMPARE(BizTable[6][1], int16_t(0));
    }

    // In Shoot mode with armed sensors the editing commands are locked; the
    // switch allows editing, and closing the panel refreshes the commands.
    void switchAllowsEditingAfterClose()
    {
        frmMDI *mdi = frmMDI::instance();
        frmDocument *doc = ActiveForm();
        doc->rtfText->SetText(QStringLiteral("shot line"));
        doc->rtfText->SetSelStart(0);
        doc->rtfText->SetSelLength(4);
        nbrEditor().updFgsMDI();
        QVERIFY(mdi->mnuEditCut->isEnabled());

        RxRoute[1] = true;
        CroSta.croStaOk = true;
        CroSta.croSnsOn = true;
        updAllSta();
        nbrEditor().updFgsMDI();
        QVERIFY(!mdi->mnuEditCut->isEnabled());

        frmSnsState *f = clickSensorsLed();
        QVERIFY(f);
        QVERIFY(!f->chkSoftEdit->isChecked());
        QVERIFY(f->labEditState->text().contains(QLatin1String("locked")));
        f->chkSoftEdit->click();
        QVERIFY(SoftEdit);
        QVERIFY(f->labEditState->text().contains(QLatin1String("may be edited")));
        f->cmdClose->click();
        QVERIFY(!frmSnsState::isLoaded());
        QVERIFY(mdi->mnuEditCut->isEnabled());

        // The pop-up menu's switch and the panel's show one value.
        mdi->popCapEdit->trigger();
        QVERIFY(!SoftEdit);
        f = clickSensorsLed();
        QVERIFY(!f->chkSoftEdit->isChecked());
        // The close box runs the same refresh.
        f->close();
        QVERIFY(!frmSnsState::isLoaded());
        QVERIFY(!mdi->mnuEditCut->isEnabled());
    }

    // Every operable control carries a name a screen reader can speak.
    void controlsHaveNames()
    {
        frmSnsState *f = clickSensorsLed();
        QVERIFY(f);
        for (QAbstractButton *b : f->findChildren<QAbstractButton *>())
            QVERIFY2(!b->accessibleName().isEmpty(), qPrintable(b->objectName()));
        QVERIFY(!frmMDI::instance()->txtLedsStatus[2]->accessibleName().isEmpty());
    }
};

QTEST_MAIN(TestSnsState)
#include "tst_snsstate.moc"
