// The remote operations against the simulated chronograph: the keys they send,
// the state they leave the unit and the program in, and the lines they write
// into the active CFile. The Chrono menu of the main window runs them.
#include <QAction>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroCox.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroOps.h"
#include "chrono/modCroTmr.h"
#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/ctlcolor.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "remote/frmRemCtr.h"
#include "remote/modRemoteNbr.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/modMain.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"
#include "sim/kt4sim.h"
#include "common/simline.h"

using namespace vt;
using vttest::boxTexts;

namespace {

const QString kCalQuestion = QStringLiteral("Calibrate the unit now..?");

// The last lock the indicators put on the editing commands: 1 locked, 0
// not, -1 none since the case began.
int editLocked = -1;

// Whether `text` holds every one of `lines`.
bool holdsAll(const QString &text, const QStringList &lines)
{
    for (const QString &l : lines)
        if (!text.contains(l))
            return false;
    return true;
}

// A whole shot line as the unit sends it: a shot, or the line that ends a block.
const QRegularExpression kShotLine(QStringLiteral("^CAP:\\d{5} (\\d+\\.\\d f/s .*_Av \\d+\\.\\d|<End>)$"));

// The whole shot lines in what the unit sent from `from` on, each with where
// it began; a prompt before one on its line is not part of it.
QList<QPair<qsizetype, QString>> shotsSent(const QByteArray &sent, qsizetype from = 0)
{
    QList<QPair<qsizetype, QString>> shots;
    for (qsizetype at = sent.indexOf("CAP:", from); at >= 0; at = sent.indexOf("CAP:", at + 1)) {
        const qsizetype end = sent.indexOf("\r\n", at);
        if (end < 0)
            break;
        const QString line = QString::fromLatin1(sent.mid(at, end - at));
        if (kShotLine.match(line).hasMatch())
            shots.append({at, line});
    }
    return shots;
}

} // namespace

class TestCroOps : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim;
    frmTerminal *term = nullptr;
    vttest::EditorFakes *fakes = nullptr;

    // The active CFile's text: where the operations write their lines.
    static QString log()
    {
        frmDocument *doc = ActiveForm();
        return doc ? doc->rtfText->Text() : QString();
    }
    static QString caption() { return frmMDI::instance()->windowTitle(); }

private slots:
    void initTestCase() { QVERIFY(sim.start()); }

    void init()
    {
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        installChronoSubsystem(); // before the main window loads: it wires the Chrono menu
        fakes = &vttest::startEditor();
        ShowWarnKT = true;
        sim.reset();
        sim.options().pacing = false;
        QVERIFY(vttest::openSimLine(sim, term));
        vttest::resetLinkRecords();
        RxRoute[0] = true;
        CreateNewCFile();
        QVERIFY(ActiveForm());
        editLocked = -1;
        installEditLock([](bool lock) { editLocked = lock ? 1 : 0; });
        vttest::quietSimLine(sim);
    }
    void cleanup()
    {
        vttest::endLinkCase(term);
        // No operation leaves the busy lock held.
        QVERIFY(!croTask(0));
    }

    // Start with the sensors off: the question, and No arms the sensors
    // without calibration and says calibration is due.
    void startWithSensorsOffAnsweredNo()
    {
        answers::queueKeyed(kCalQuestion, QStringLiteral("No"));
        croStart();
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first().startsWith(QLatin1String("Sensors are turned off, the unit must be calibrated again.")));
        QVERIFY(boxes.first().endsWith(QLatin1String("\r\n\r\n\tCalibrate the unit now..?")));
        QVERIFY(sim.unit().armed);
        QVERIFY(!sim.received().contains('C'));
        QVERIFY(CroSta.croSnsOn);
        QVERIFY(RxRoute[1]);
        const QString text = log();
        QVERIFY(text.contains(QLatin1String("TAG: Start-{Date=")));
        QVERIFY(text.contains(QLatin1String("REM: Setup has been changed - KT4 should be calibrated again.")));
        QVERIFY(!text.contains(QLatin1String("KT4 is not calibrated")));
        QVERIFY2(caption().contains(QLatin1String(" {Shoot} ")), qPrintable(caption()));
        // The unit is back at its data prompt, recording.
        QCOMPARE(sim.unit().side, 1);
        QVERIFY(!sim.unit().inMenu);
    }

    // Chrono > Start with the sensors off, calibration declined, shots
    // arriving: the program holds the unit's own status afterwards, so the
    // indicators that need it show the armed sensors and editing is locked.
    void declinedCalibrationFollowsTheUnit()
    {
        frmMDI *mdi = frmMDI::instance();
        answers::queueKeyed(kCalQuestion, QStringLiteral("No"));
        mdi->mnuRemStart->trigger();
        QVERIFY(sim.unit().armed);
        for (double v : {301.5, 299.5, 300.5})
            sim.fireShot(v);
        QTRY_COMPARE_WITH_TIMEOUT(log().count(QLatin1String("_Av ")), 3, 30000);
        QVERIFY(CroSta.croStaOk);
        QVERIFY(CroSta.croSnsOn);
        updAllSta();
        QVERIFY2(caption().contains(QLatin1String(" {Shoot} ")), qPrintable(caption()));
        QVERIFY(mdi->mnuRemStart->isChecked());
        QVERIFY(mdi->mnuSnsOn->isChecked());
        QCOMPARE(BackColor(mdi->txtLedsStatus[2]), colGreen);
        QCOMPARE(editLocked, 1);
    }

    // The unit's sensors armed and disarmed from its own keys while the
    // program is in review: shots arriving and "CAP=OFF" move the caption,
    // the Chrono menu's mark and the edit lock with them.
    void shotsArrivingMeanArmedSensors()
    {
        frmMDI *mdi = frmMDI::instance();
        frmMDI::instance()->mnuRemRemo->trigger();
        QVERIFY(caption().contains(QLatin1String(" {Remote} ")));
        QCOMPARE(editLocked, 0);
        sim.unit().armed = true;
        sim.fireShot(301.5);
        QTRY_VERIFY2_WITH_TIMEOUT(caption().contains(QLatin1String(" {Shoot} ")), qPrintable(caption()), 30000);
        QVERIFY(log().contains(QLatin1String("301.5")));
        QVERIFY(mdi->mnuRemStart->isChecked());
        QCOMPARE(editLocked, 1);
        sim.sendRaw("\r\n<End> CAP=OFF\r\nDAT>");
        QTRY_VERIFY2_WITH_TIMEOUT(caption().contains(QLatin1String(" {Remote} ")), qPrintable(caption()), 30000);
        QVERIFY(mdi->mnuRemRemo->isChecked());
        QCOMPARE(editLocked, 0);
    }

    // Start with the sensors off answered Yes: the unit calibrates, and the
    // outcome shows in the sensors and the CFile.
    void startCalibrates_data()
    {
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("calibrated") << false
                                    << QStringList{QStringLiteral("REM: KT4 has been calibrated - Cal=")};
        QTest::newRow("ERR=Cal") << true
                                 << QStringList{QStringLiteral("REM: KT4 calibration failed (ERR=Cal)."),
                                                QStringLiteral("REM: KT4 is not calibrated - therefore it can not record shots.")};
    }
    void startCalibrates()
    {
        QFETCH(bool, fails);
        QFETCH(QStringList, lines);
        sim.options().calFails = fails;
        answers::queueKeyed(kCalQuestion, QStringLiteral("Yes"));
        croStart();
        QVERIFY(sim.received().contains('C'));
        QVERIFY2(holdsAll(log(), lines), qPrintable(log()));
        QCOMPARE(sim.unit().armed, !fails);
        QCOMPARE(CroSta.croSnsOn, !fails);
        QCOMPARE(CroSta.croCalOk, !fails);
        if (!fails)
            QCOMPARE(CroSta.croCalVal, int16_t(sim.unit().calValue));
        // Shoot mode either way: with the sensors off the unit is in review.
        QVERIFY(RxRoute[1]);
        QVERIFY(caption().contains(fails ? QLatin1String(" {Remote} ") : QLatin1String(" {Shoot} ")));
    }

    // The user aborts while the unit calibrates: "D" goes out at once, the
    // wait ends without the calibration's answer and the CFile says so.
    void abortDuringCalibration()
    {
        sim.options().keyDelayMs['C'] = 20000;
        bool aborted = false;
        connect(&sim, &sim::Kt4Sim::keyReceived, this, [&aborted](int key) {
            if (key == 'C' && !aborted) {
                aborted = true;
                QTimer::singleShot(0, [] { abtCroTask(); });
            }
        });
        CroTaskGuard task;
        QVERIFY(!task.refused());
        QVERIFY(!doCalib(1));
        task.end();
        QVERIFY(aborted);
        disconnect(&sim, &sim::Kt4Sim::keyReceived, this, nullptr);
        // "D" followed "C" as the next byte, long before the calibration's
        // answer was due, and that answer never came.
        QVERIFY(sim.waitForReceived(3, 30000));
        const QByteArray rx = sim.received();
        QVERIFY2(rx == "\x1b" "CD", rx.toHex().constData());
        QVERIFY(sim.waitIdle(30000));
        QVERIFY(!sim.sent().contains("CAL:"));
        QVERIFY(croOpAborted);
        QVERIFY(!CroSta.croCalOk);
        QVERIFY(log().contains(QLatin1String("REM: Operation Aborted by the user..!")));
        QVERIFY(!log().contains(QLatin1String("calibrated - Cal=")));
    }

    // Stop: "Z" must report "Sens=OFF", else the link error lines even
    // though the unit answered both keys.
    void stop_data()
    {
        QTest::addColumn<bool>("withoutSensOff");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("notLines");
        const QStringList linkErr{QStringLiteral("REM: Communications error - could not establish a link with KT4."),
                                  QStringLiteral("REM: Sensor's status is uknown, check setup or connections.")};
        const QStringList editMode{
            QStringLiteral("REM: Jotrix is now in ''Edit mode'' - shots will not be recorded into CFile.")};
        QTest::newRow("Sens=OFF") << false << editMode << linkErr;
        QTest::newRow("no Sens=OFF") << true << linkErr << editMode;
    }
    void stop()
    {
        QFETCH(bool, withoutSensOff);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, notLines);
        sim.unit().armed = true;
        RxRoute[1] = true;
        sim.options().zWithoutSensOff = withoutSensOff;
        croStop();
        QVERIFY(sim.received().endsWith(QByteArray("\x1bZ")));
        QVERIFY(!sim.unit().armed);
        QVERIFY(!RxRoute[1]);
        const QString text = log();
        QVERIFY(text.contains(QLatin1String("TAG: Stop-{Date=")));
        QVERIFY2(holdsAll(text, lines), qPrintable(text));
        for (const QString &l : notLines)
            QVERIFY2(!text.contains(l), qPrintable(l));
        QCOMPARE(CroSta.croStaOk, !withoutSensOff);
        QVERIFY(!CroSta.croSnsOn);
    }

    // Power off in Shoot mode leaves Edit mode and says so; power on
    // afterwards finds the unit switched on.
    void powerOffAndOn()
    {
        sim.unit().armed = true;
        RxRoute[1] = true;
        croPower(0);
        QVERIFY(!sim.unit().powered);
        QVERIFY(sim.received().endsWith('P'));
        QVERIFY(!RxRoute[1]);
        QVERIFY(caption().contains(QLatin1String(" {Edit}")));
        QString text = log();
        QVERIFY(text.contains(QLatin1String("TAG: PowerOff-{Date=")));
        QVERIFY(text.contains(QLatin1String("REM: Chrono Power has been turned off\r\nREM: Jotrix is in Edit mode now")));
        QVERIFY(text.contains(QLatin1String("REM: Jotrix is in Edit mode - shots will not be recorde into the cFile.")));
        QVERIFY(!CroSta.croOnLine);
        QVERIFY(!CroSta.croStaOk);

        croPower(1);
        QVERIFY(sim.unit().powered);
        text = log();
        QVERIFY(text.contains(QLatin1String("TAG: PowerOn-{Date=")));
        QVERIFY(text.contains(QLatin1String("REM: KT4 Power-On has been detected.")));
        QVERIFY(CroSta.croOnLine);
        QVERIFY(CroSta.croStaOk);
        QVERIFY(!CroSta.croPwrOn);
        QVERIFY(!RxRoute[1]);
    }

    // Power off from Edit mode does not claim a change of mode.
    void powerOffInEditMode()
    {
        croPower(0);
        QVERIFY(!sim.unit().powered);
        QVERIFY(log().contains(QLatin1String("REM: Chrono Power has been turned off")));
        QVERIFY(!log().contains(QLatin1String("Jotrix is in Edit mode now")));
    }

    // No chronograph on the line: every operation says so in the CFile and
    // sends no key of its own after the wake-up.
    void silentUnit()
    {
        sim.options().mute = true;
        croPower(1);
        QVERIFY(log().contains(QLatin1String("REM: KT4 failed to power on - check setup")));
        QVERIFY(log().contains(QLatin1String("REM: KT4 not found on port COM")));
        QVERIFY(!sim.received().contains('Q'));
        setArchery(1);
        QVERIFY(!sim.received().contains('M'));
        QVERIFY(!CroSta.croStaOk);
    }

    // Review: sensors off, the unit at its data prompt, Shoot mode on with
    // the sensors off.
    void review()
    {
        sim.unit().armed = true;
        sim.unit().side = 2;
        croReview();
        QVERIFY(sim.received().endsWith(QByteArray("\x1bZD")));
        QVERIFY(!sim.unit().armed);
        QCOMPARE(sim.unit().side, 1);
        QVERIFY(RxRoute[1]);
        QVERIFY(caption().contains(QLatin1String(" {Remote} ")));
        QVERIFY(log().contains(
            QLatin1String("REM: Sensors are turned off.\r\nREM: Chronograph is now in Data/Stats review mode.")));
    }

    // A unit that never answers: two tries, then the link error box.
    void reviewWithoutAnswer()
    {
        sim.options().mute = true;
        RxRoute[1] = true;
        croReview();
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first(), QStringLiteral("cLinkErr=100\r\nChronograph did not respond.\r\nCheck your setup or connections."));
        // Shoot mode as it was.
        QVERIFY(RxRoute[1]);
    }

    // Another device type: the review is the KT4's only and sends nothing.
    void reviewOtherDevice()
    {
        Device = 1;
        croReview();
        QVERIFY(sim.received().isEmpty());
        QCOMPARE(fakes->notes.notes, (QList<QPair<int, int>>{{6, 0}}));
        Device = 0;
    }

    // The switches from the menu: each goes the other way from the state
    // the unit reported, and the result line says where it went.
    void menuSwitches_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("line");
        QTest::newRow("archery") << "mnuRemArcheryOn" << "REM: Archery is now turned On";
        QTest::newRow("rapid fire") << "mnuRemRapidFireOn" << "REM: Rapid fire is now turned On";
        QTest::newRow("sensors") << "mnuSnsOn" << "REM: Sensors are now turned On";
    }
    void menuSwitches()
    {
        QFETCH(QString, item);
        QFETCH(QString, line);
        QAction *a = frmMDI::instance()->findChild<QAction *>(item);
        QVERIFY(a);
        a->trigger();
        QVERIFY2(log().contains(line), qPrintable(log()));
        const sim::Unit &u = sim.unit();
        const bool on = item == QLatin1String("mnuRemArcheryOn") ? u.archery
                        : item == QLatin1String("mnuRemRapidFireOn") ? u.rapidFire
                                                                        : u.armed;
        QVERIFY(on);
        // The next status read shows it, and the menu carries the check.
        CroSta.croStaOk = false;
        chkStatus(0);
        QVERIFY(CroSta.croStaOk);
        updAllSta();
        QVERIFY(a->isChecked());
        // Once more: off again.
        a->trigger();
        QVERIFY(log().contains(QString(line).replace(QLatin1String(" On"), QLatin1String(" Off"))));
    }

    // A menu operation gives up in the unit's menu (the answer to a menu key
    // comes after the engine stopped waiting for it) while shots are
    // recorded: the unit is taken back to its data prompt, and its late menu
    // text never reaches the CFile that takes the shots.
    void failedMenuOperationLeavesTheMenu_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("level"); // the answer to the sensitivity question
        QTest::newRow("archery") << "mnuRemArcheryOn" << QString();
        QTest::newRow("sensitivity") << "mnuSnsLevel" << "70";
    }
    void failedMenuOperationLeavesTheMenu()
    {
        QFETCH(QString, item);
        QFETCH(QString, level);
        sim.unit().armed = true;
        CroSta.croSnsOn = true;
        RxRoute[1] = true;
        sim.options().keyDelayMs[0x04] = 1000; // Ctrl-D: the menu's row down
        if (!level.isEmpty())
            answers::queueKeyed(QStringLiteral("Sensitivity level"), level);
        frmMDI::instance()->findChild<QAction *>(item)->trigger();
        QVERIFY2(log().contains(QLatin1String("REM: Communication error - Aborting..!")), qPrintable(log()));
        QVERIFY(sim.waitIdle());
        QVERIFY(!sim.unit().inMenu);
        QCOMPARE(sim.unit().side, 1);
        QVERIFY(!sim.unit().archery);
        QCOMPARE(sim.unit().sensLevel, 50);
        QVERIFY(sim.sent().endsWith("DAT>"));
        QVERIFY(RxRoute[1]);
        // A shot sent after everything else: once it is in, so is all before it.
        sim.fireShot(301.5);
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(QLatin1String("301.5")), 30000);
        for (const char *menuText : {"MEN>", "VAL="})
            QVERIFY2(!log().contains(QLatin1String(menuText)), qPrintable(log()));
    }

    // Chrono > Sensitivity: the level asked, the cell stepped to it, the
    // unit back at its data prompt and the next status showing it.
    void menuSensitivity()
    {
        frmMDI *mdi = frmMDI::instance();
        answers::queueKeyed(QStringLiteral("Sensitivity level"), QStringLiteral("Cancel"));
        mdi->mnuSnsLevel->trigger();
        QVERIFY(sim.received().isEmpty());

        answers::queueKeyed(QStringLiteral("Sensitivity level"), QStringLiteral("70"));
        mdi->mnuSnsLevel->trigger();
        QCOMPARE(sim.unit().sensLevel, 70);
        QVERIFY(!sim.unit().inMenu);
        QCOMPARE(sim.unit().side, 1);
        QVERIFY2(log().contains(QLatin1String("REM: Sensitivity is now 70-%")), qPrintable(log()));
        QVERIFY(CroSta.croStaOk);
        QCOMPARE(CroSta.croSnsLev, int16_t(70));
        QCOMPARE(mdi->mnuSnsLevel->text(), QStringLiteral("Sensitivity 70%"));

        // Downwards, and a status read apart from the menu's own shows it.
        answers::queueKeyed(QStringLiteral("Sensitivity level"), QStringLiteral("35"));
        mdi->mnuSnsLevel->trigger();
        QCOMPARE(sim.unit().sensLevel, 35);
        CroSta.croStaOk = false;
        chkStatus(0);
        QVERIFY(CroSta.croStaOk);
        QCOMPARE(CroSta.croSnsLev, int16_t(35));
    }

    // Download and Export open the remote-control panel's panes.
    void menuPanes()
    {
        frmMDI *mdi = frmMDI::instance();
        mdi->mnuRemDownload->trigger();
        mdi->mnuRemExport->trigger();
        QCOMPARE(fakes->remote.panes, (QList<int>{3, 4}));

        // The panel itself shows the pane asked for.
        installRemoteSubsystem();
        mdi->mnuRemExport->trigger();
        QVERIFY(frmRemCtr::isLoaded() && frmRemCtr::instance()->isVisible());
        QCOMPARE(int(frmRemCtr::instance()->Frame), 4);
        mdi->mnuRemDownload->trigger();
        QCOMPARE(int(frmRemCtr::instance()->Frame), 3);
        QVERIFY(boxTexts().isEmpty());
        frmRemCtr::instance()->hide();
    }

    // Chrono > Start and Stop from the menu: the mode in the caption follows.
    void menuStartStop()
    {
        frmMDI *mdi = frmMDI::instance();
        QVERIFY(caption().contains(QLatin1String(" {Edit}")));
        answers::queueKeyed(kCalQuestion, QStringLiteral("Yes"));
        mdi->mnuRemStart->trigger();
        QVERIFY2(caption().contains(QLatin1String(" {Shoot} ")), qPrintable(caption()));
        QVERIFY(mdi->mnuRemStart->isChecked());
        QVERIFY(!croTask(0));
        sim.fireShot(301.5);
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(QLatin1String("301.5")), 30000);
        mdi->mnuRemStop->trigger();
        QVERIFY2(caption().contains(QLatin1String(" {Edit}")), qPrintable(caption()));
        QVERIFY(mdi->mnuRemStop->isChecked());
        QVERIFY(!sim.unit().armed);
    }

    // Chrono > Start again and again while the armed unit sends a shot every
    // 450 ms at its own speed, each Start beginning further into a shot line,
    // so that the shots meet every step of its exchange: the port opened
    // again, the wake-up, the status answer and its prompt, the data mode's
    // keys. In the CFile every piece of a shot line is a whole line the unit
    // sent, at the head of a line of its own, and the shots sent once Shoot
    // mode is on all land.
    void startWhileShotsFlow()
    {
        sim.unit().armed = true;
        sim.options().pacing = true;
        sim.options().everyMs = 450;
        sim.options().shotsToFire = 1 << 30;
        frmMDI *mdi = frmMDI::instance();
        constexpr int kStarts = 8;
        for (int i = 0; i < kStarts; ++i) {
            mdi->mnuRemStart->trigger();
            QVERIFY2(RxRoute[1], qPrintable(log()));
            // The next two shots land.
            const qsizetype from = sim.sent().size();
            QList<QPair<qsizetype, QString>> shots;
            QVERIFY(QTest::qWaitFor([&] { return (shots = shotsSent(sim.sent(), from)).size() >= 2; }, 20000));
            for (int k = 0; k < 2; ++k) {
                const QString line = shots.at(k).second;
                QVERIFY2(QTest::qWaitFor([&] { return log().contains(QStringLiteral("\r\n") + line + QStringLiteral("\r\n")); }, 10000),
                         qPrintable(line));
            }
            // The next Start comes this many characters into the shot line after them.
            const qsizetype into = (i * 13) % 60;
            QVERIFY(QTest::qWaitFor(
                [&] {
                    const QByteArray sent = sim.sent();
                    const qsizetype at = sent.indexOf("CAP:", shots.at(1).first + 1);
                    return at >= 0 && sent.size() >= at + into;
                },
                20000));
        }
        sim.options().shotsToFire = 0;
        QVERIFY(sim.waitIdle());
        // Everything sent has been received.
        const QString tail = QString::fromLatin1(sim.sent().right(20));
        QVERIFY(QTest::qWaitFor([&] { return term->txtTerm->Text().endsWith(tail); }, 10000));
        QSet<QString> sent;
        for (const auto &shot : shotsSent(sim.sent()))
            sent.insert(shot.second);
        int got = 0;
        for (const QString &line : log().split(QStringLiteral("\r\n"))) {
            if (!line.contains(QLatin1String("AP:")) && !line.contains(QLatin1String("_Av")))
                continue;
            ++got;
            QVERIFY2(sent.contains(line), qPrintable(line));
        }
        QVERIFY(got >= 2 * kStarts);
    }

    // The pop-up menu's chronograph items run their Chrono menu twins; the
    // edit switch flips editing while capturing; C&Link switches the live link.
    void popupItems()
    {
        struct LinkSwitch : ExportNbr {
            QList<int> modes;
            void togXlLink(int16_t mode) override { modes << mode; }
        } link;
        installExport(&link);
        frmMDI *mdi = frmMDI::instance();
        answers::queueKeyed(kCalQuestion, QStringLiteral("Yes"));
        mdi->popRemStart->trigger();
        QVERIFY2(caption().contains(QLatin1String(" {Shoot} ")), qPrintable(caption()));
        mdi->popRemStop->trigger();
        QVERIFY2(caption().contains(QLatin1String(" {Edit}")), qPrintable(caption()));
        QVERIFY(!sim.unit().armed);
        const bool before = SoftEdit;
        mdi->popCapEdit->trigger();
        QCOMPARE(SoftEdit, !before);
        mdi->popCapEdit->trigger();
        QCOMPARE(SoftEdit, before);
        mdi->popCapture->setEnabled(true);
        mdi->popCapture->trigger();
        xlLinked = true;
        mdi->popCapture->trigger();
        xlLinked = false;
        installExport(nullptr);
        QCOMPARE(link.modes, (QList<int>{1, 0}));
    }

    // While a task runs, the menu's operation is refused by the busy lock
    // and sends nothing.
    void menuRefusedWhileBusy()
    {
        CroTaskGuard task;
        QVERIFY(!task.refused());
        answers::queue(QStringLiteral("No")); // do not abort the running task
        frmMDI::instance()->mnuRemStart->trigger();
        QVERIFY(sim.received().isEmpty());
        QVERIFY(boxTexts().first().contains(QLatin1String("It is busy talking to")));
    }

    // The eDisk's clear, undo and restore have no command of the unit: they
    // stay off with a tip that says why, also after a refresh.
    void eDiskItemsStayOff()
    {
        frmMDI *mdi = frmMDI::instance();
        updAllSta();
        for (QAction *a : {mdi->mnuRemClear, mdi->mnuRemUndoClear, mdi->mnuRemRestore}) {
            QVERIFY(!a->isEnabled());
            QVERIFY(a->statusTip().contains(QLatin1String("not known")));
        }
        QVERIFY(mdi->mnuRemDownload->isEnabled());
    }

    // Abort with nothing that takes it: the message.
    void abortRefused()
    {
        abtCroTask();
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("This operation can not be aborted..!")});
        QVERIFY(sim.received().isEmpty());
    }
};

QTEST_MAIN(TestCroOps)
#include "tst_croops.moc"
