#include <QAction>
#include <QCursor>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QToolBar>

#include "editor/modEditState.h"
#include "notes/frmTip.h"
#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/ctlcolor.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "platform/spreadsheet.h"
#include "remote/frmRemCtr.h"
#include "serial/frmProperties.h"
#include "serial/frmTerminal.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

using namespace vt;

namespace {

// The link port and the setup window as the refresh sees them, with the
// real support windows.
class FakeSerial : public SerialNbr {
public:
    int16_t port = 1;
    bool open = false;
    QString device; // empty: the stand-in's answer from Device
    QString portMenu, croTab;
    Form *frmTerminal() override { return vt::frmTerminal::get(); }
    Form *frmProperties() override { return vt::frmProperties::get(); }
    int16_t linkCommPort() override { return port; }
    bool linkPortOpen() override { return open; }
    QString deviceText() override { return device.isEmpty() ? SerialNbr::deviceText() : device; }
    void setCroTabCaption(const QString &c) override { croTab = c; }
    void setPortMenuCaption(const QString &c) override { portMenu = c; }
};

class FakeRemote : public RemoteNbr {
public:
    QMap<QString, uint32_t> keys;
    int linkBox[3] = {-1, -1, -1}; // -1 never set, else 0 or 1
    bool guardSeen = true;         // LnkToGuard at every link-box call
    int failAtLinkBox = 0;         // raise at this box's call
    Form *frmRemCtr() override { return vt::frmRemCtr::get(); }
    void setKeyBackColor(const QString &key, uint32_t colour) override { keys[key] = colour; }
    void setLinkBox(int16_t index, bool ticked) override
    {
        guardSeen = guardSeen && LnkToGuard;
        if (index == failAtLinkBox)
            raise(5, QStringLiteral("Link box gone"));
        linkBox[index] = ticked ? 1 : 0;
    }
};

class FakeNotes : public NotesNbr {
public:
    Form *frmTip() override { return vt::frmTip::get(); }
};

FakeSerial *ser = nullptr;
FakeRemote *rem = nullptr;
FakeNotes notes;

} // namespace

class TestStatus : public QObject {
    Q_OBJECT

    frmMDI *mdi = nullptr;

    QAction *tb(const char *key) { return toolButton(mdi, QString::fromLatin1(key)); }
    QLineEdit *led(int i) { return mdi->txtLedsStatus[i]; }

    RichTextBox *openCFile(const QString &text = QString())
    {
        auto *box = new RichTextBox;
        box->setObjectName(QStringLiteral("rtfText"));
        box->SetText(text);
        QMdiSubWindow *sub = mdi->mdiArea->addSubWindow(box);
        sub->show();
        mdi->mdiArea->setActiveSubWindow(sub);
        return box;
    }

    // The twelve commands that setEditBtns locks, all enabled or all disabled;
    // -1 when they differ.
    int editCommands()
    {
        const QList<QAction *> all = {tb("Cut"), tb("Paste"), tb("Undo"), tb("Redo"), tb("CaseToUpper"),
                                      tb("CaseToLower"), mdi->mnuEditUndo, mdi->mnuEditRedo, mdi->mnuEditCut,
                                      mdi->mnuEditPaste, mdi->mnuEditDelete, mdi->mnuCaseConvert->menuAction()};
        int on = 0;
        for (QAction *a : all)
            on += a->isEnabled() ? 1 : 0;
        return on == all.size() ? 1 : on == 0 ? 0 : -1;
    }

private slots:
    void initTestCase()
    {
        ser = new FakeSerial;
        rem = new FakeRemote;
        installSerial(ser);
        installRemote(rem);
        installNotes(&notes);
        installEditState();
        mdi = frmMDI::get();
    }

    void cleanupTestCase()
    {
        installSerial(nullptr);
        installRemote(nullptr);
        installNotes(nullptr);
        delete ser;
        delete rem;
    }

    void init()
    {
        answers::reset();
        Err.Clear();
        *ser = FakeSerial();
        rem->keys.clear();
        rem->linkBox[0] = rem->linkBox[1] = rem->linkBox[2] = -1;
        rem->guardSeen = true;
        rem->failAtLinkBox = 0;
        zapSoftFlags();
        AppNum = 0;
        Device = 0;
        RxRoute[0] = RxRoute[1] = RxRoute[2] = false;
        CroSta = CroStatus();
        xlConnected = xlBookOk = xlLinked = false;
        xlApp.reset();
        FontFmtDef = FontFmt();
        MargFmtDef = MargFmt();
        TabFmtDef = TabFmt();
        LnkToGuard = false;
        mdi->mdiArea->closeAllSubWindows();
        frmTerminal::get()->setWindowTitle(QStringLiteral("zEzede Terminal"));
        frmRemCtr::get()->setWindowTitle(QStringLiteral("zOvu Remote"));
        frmProperties::get()->setWindowTitle(QStringLiteral("CSetup"));
        frmTip::get()->setWindowTitle(QStringLiteral("rUvuzu"));
    }

    void ledColours()
    {
        QCOMPARE(ledColOn(vbTrue), 65280u);
        QCOMPARE(ledColOn(0), 65535u);
        QCOMPARE(ledColOff(vbTrue), 0u);
        QCOMPARE(ledColOff(0), 16711680u);
        // Any value other than zero is set, not only values above zero.
        QCOMPARE(ledColOn(1), 65280u);
        QCOMPARE(ledColOff(-2), 0u);
    }

    void modes_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("shoot");
        QTest::addColumn<bool>("sensors");
        QTest::addColumn<int>("device");
        QTest::addColumn<QString>("modeText");
        QTest::addColumn<uint>("modeBack");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("greenKey");  // empty: none
        QTest::addColumn<int>("linkBox1");
        QTest::addColumn<QString>("menuChecked");
        QTest::addColumn<QString>("pointer");   // picture key, empty: default pointer
        QTest::addColumn<int>("editEnabled");   // after starting enabled
        const uint face = SysColorButtonFace;
        QTest::newRow("shoot") << true << true << true << 0 << "Shoot" << 65280u
                               << "Vantrell0 {COM1=ON} {Shoot}  {KT4 Pulsidar}" << "cmdKeyStart" << 1 << "mnuRemStart"
                               << "CapArrow" << 0;
        QTest::newRow("remote") << true << true << false << 0 << "Remo" << 65535u
                                << "Vantrell0 {COM1=ON} {Remote}  {KT4 Pulsidar}" << "cmdKeyRemo" << 1
                                << "mnuRemRemo" << "RemArrow" << 1;
        QTest::newRow("tty") << true << true << true << 3 << "TTY" << 16776960u
                             << "Vantrell0 {COM1=ON} {TTY}  {Jotrix Terminal}" << "cmdKeyStart" << 1 << "mnuRemStart"
                             << "CapArrow" << 0;
        QTest::newRow("edit") << true << false << true << 0 << "Edit" << face
                              << "Vantrell0 {COM1=ON} {Edit} {KT4 Pulsidar}" << "cmdKeyStop" << 0 << "mnuRemStop"
                              << "" << 1;
        // A closed port ends Shoot mode before anything shows it: no key,
        // pointer or lock of Shoot mode is left behind.
        QTest::newRow("closed port ends shoot") << false << true << true << 0 << "Edit" << face
                                                << "Vantrell0 {COM1=OFF} {Edit} {KT4 Pulsidar}" << "cmdKeyStop" << 0
                                                << "mnuRemStop" << "" << 1;
    }
    void modes()
    {
        QFETCH(bool, open);
        QFETCH(bool, shoot);
        QFETCH(bool, sensors);
        QFETCH(int, device);
        QFETCH(QString, modeText);
        QFETCH(uint, modeBack);
        QFETCH(QString, caption);
        QFETCH(QString, greenKey);
        QFETCH(int, linkBox1);
        QFETCH(QString, menuChecked);
        QFETCH(QString, pointer);
        QFETCH(int, editEnabled);

        RichTextBox *box = openCFile(QStringLiteral("shots"));
        setEditBtns(false);
        tb("Connect")->setChecked(!open);
        ser->open = open;
        Device = int16_t(device);
        RxRoute[1] = shoot;
        CroSta.croStaOk = true;
        CroSta.croSnsOn = sensors;

        updAllSta();

        QCOMPARE(led(0)->text(), modeText);
        QCOMPARE(BackColor(led(0)), modeBack);
        QCOMPARE(ForeColor(led(0)), 0u);
        QCOMPARE(mdi->windowTitle(), caption);
        QCOMPARE(RxRoute[1], shoot && open);
        QCOMPARE(ser->portMenu, open ? QStringLiteral("&Port-On") : QStringLiteral("&Port-Off"));
        QCOMPARE(tb("Connect")->isChecked(), open);
        for (const QString &key : {QStringLiteral("cmdKeyStart"), QStringLiteral("cmdKeyStop"),
                                   QStringLiteral("cmdKeyRemo")})
            QCOMPARE(rem->keys.value(key), key == greenKey ? 65280u : 0xC0C0C0u);
        QCOMPARE(rem->linkBox[1], linkBox1);
        for (QAction *m : {mdi->mnuRemStart, mdi->mnuRemStop, mdi->mnuRemRemo})
            QCOMPARE(m->isChecked(), m->objectName() == menuChecked);
        QCOMPARE(box->property("MousePointer").toInt(), pointer.isEmpty() ? 0 : 99);
        if (pointer.isEmpty())
            QCOMPARE(box->viewport()->cursor().shape(), Qt::IBeamCursor);
        else
            QCOMPARE(box->viewport()->cursor().pixmap().cacheKey(), imgCursor(pointer).cacheKey());
        QCOMPARE(editCommands(), editEnabled);
        QVERIFY(!LnkToGuard);
        QVERIFY(rem->guardSeen);
    }

    void editLockLeftAloneInEditMode()
    {
        openCFile();
        setEditBtns(true);
        ser->open = true;
        updAllSta();
        QCOMPARE(editCommands(), 0);
    }

    void supportCaptionsAndSecondRefresh()
    {
        AppNum = 2;
        ser->port = 5;
        ser->open = true;
        frmTip::get()->setWindowTitle(QStringLiteral("rUvuzu notes of an older port"));
        for (int pass = 0; pass < 2; ++pass) {
            updAllSta();
            QCOMPARE(frmRemCtr::get()->windowTitle(), QStringLiteral("zOvu2_5 Remote"));
            QCOMPARE(frmTerminal::get()->windowTitle(), QStringLiteral("zEzede2_5 Terminal"));
            QCOMPARE(frmProperties::get()->windowTitle(), QStringLiteral("CSetup2_5 }"));
            QCOMPARE(frmTip::get()->windowTitle(), QStringLiteral("rUvuzu2_5 "));
            QCOMPARE(ser->croTab, QStringLiteral("Chrono-5"));
            QCOMPARE(mdi->windowTitle(), QStringLiteral("Vantrell2 {COM5=ON} {Edit} {KT4 Pulsidar}"));
        }
        // A caption without a blank is left as it is.
        frmTerminal::get()->setWindowTitle(QStringLiteral("zEzede"));
        updAllSta();
        QCOMPARE(frmTerminal::get()->windowTitle(), QStringLiteral("zEzede"));
        // The device name is the list's text without its leading blanks.
        ser->device = QStringLiteral("   Own  Device ");
        updAllSta();
        QCOMPARE(mdi->windowTitle(), QStringLiteral("Vantrell2 {COM5=ON} {Edit} {Own  Device }"));
    }

    void leds_data()
    {
        QTest::addColumn<int>("calFlag");
        QTest::addColumn<QString>("calText");
        QTest::newRow("140") << 140 << "~";
        QTest::newRow("141") << 141 << "-";
        QTest::newRow("199") << 199 << "-";
        QTest::newRow("200") << 200 << "~";
    }
    void leds()
    {
        QFETCH(int, calFlag);
        QFETCH(QString, calText);
        CroSta.croStaOk = true;
        CroSta.croSnsOn = true;
        CroSta.croCalOk = true;
        CroSta.croCalFlag = int16_t(calFlag);
        CroSta.croArcOn = false;
        CroSta.croRFirOn = true;
        CroSta.croOnLine = false;
        CroSta.croSnsLev = 5;
        xlLinked = true;
        updAllSta();
        QCOMPARE(led(1)->text(), calText);
        // element: set flag gives green on black, clear flag yellow on blue
        const bool set[7] = {false, true, true, true, true, false, false};
        for (int i = 1; i <= 6; ++i) {
            QCOMPARE(BackColor(led(i)), set[i] ? 65280u : 65535u);
            QCOMPARE(ForeColor(led(i)), set[i] ? 0u : 16711680u);
            QCOMPARE(led(i)->palette().color(QPalette::Base), colorFromNumber(set[i] ? 65280u : 65535u));
        }
        QCOMPARE(led(2)->text(), QStringLiteral("S"));
        QVERIFY(mdi->mnuSnsOn->isChecked());
        QCOMPARE(mdi->mnuSnsLevel->text(), QStringLiteral("Sensitivity 5%"));
        QVERIFY(RxRoute[2]);
        QCOMPARE(rem->linkBox[2], 1);
    }

    void sensorsOffClearCalibration()
    {
        CroSta.croStaOk = true;
        CroSta.croCalOk = true;
        CroSta.croSnsOn = false;
        RxRoute[2] = true;
        updAllSta();
        QVERIFY(!CroSta.croCalOk);
        QCOMPARE(BackColor(led(1)), 65535u);
        QCOMPARE(BackColor(led(2)), 65535u);
        QVERIFY(!mdi->mnuSnsOn->isChecked());
        QVERIFY(!RxRoute[2]); // follows the live link, which is off
        QCOMPARE(rem->linkBox[2], 0);
    }

    void otherDeviceGreysLeds()
    {
        // First a valid KT4 status lights the LEDs.
        CroSta.croStaOk = true;
        CroSta.croSnsOn = true;
        CroSta.croSnsLev = 7;
        ser->open = true;
        RxRoute[1] = true;
        updAllSta();
        QCOMPARE(mdi->mnuSnsLevel->text(), QStringLiteral("Sensitivity 7%"));
        for (QAction *m : {mdi->mnuCroPref, mdi->mnuRemDownload, mdi->mnuExcLink})
            QVERIFY(m->isEnabled());

        Device = 1;
        CroSta.croSnsLev = 9;
        xlLinked = true;
        rem->linkBox[2] = -1;
        updAllSta();
        QCOMPARE(led(0)->text(), QStringLiteral("TTY"));
        QCOMPARE(BackColor(led(0)), 16776960u);
        QCOMPARE(led(1)->text(), QStringLiteral("?"));
        for (int i = 1; i <= 6; ++i) {
            QCOMPARE(BackColor(led(i)), uint32_t(SysColorButtonFace));
            QCOMPARE(ForeColor(led(i)), 0u);
        }
        QCOMPARE(mdi->windowTitle(), QStringLiteral("Vantrell0 {COM1=ON} {TTY}  {Shooting Tarvek}"));
        for (QAction *m : {mdi->mnuCroPref, mdi->mnuRemDownload, mdi->mnuRemExport, mdi->mnuRemClear,
                           mdi->mnuRemUndoClear, mdi->mnuRemRestore, mdi->mnuRemSetups, mdi->mnuExcLink})
            QVERIFY2(!m->isEnabled(), qPrintable(m->objectName()));
        // Left as they were: the sensitivity caption, the panel route and its box.
        QCOMPARE(mdi->mnuSnsLevel->text(), QStringLiteral("Sensitivity 7%"));
        QVERIFY(!RxRoute[2]);
        QCOMPARE(rem->linkBox[2], -1);
    }

    void spreadsheetCaption_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("bookOk");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<QString>("caption"); // empty: left alone
        QTest::newRow("linked") << true << true << true << "Vantrell0_3 [COM3=ON} {Shoot} - Book1";
        QTest::newRow("not linked") << true << true << false << "Vantrell0_3 [COM3=ON} {Edit} - Book1";
        QTest::newRow("book not ready") << true << false << true << "";
        QTest::newRow("not connected") << false << true << true << "";
    }
    void spreadsheetCaption()
    {
        QFETCH(bool, connected);
        QFETCH(bool, bookOk);
        QFETCH(bool, linked);
        QFETCH(QString, caption);
        xlApp = xl::CreateApplication();
        xlApp->Workbooks()->Add();
        xlApp->setCaption(QStringLiteral("before"));
        AppCaption = QStringLiteral("before");
        ser->port = 3;
        ser->open = true;
        xlConnected = connected;
        xlBookOk = bookOk;
        xlLinked = linked;
        updAllSta();
        QCOMPARE(answers::asked().size(), 0);
        if (caption.isEmpty()) {
            QCOMPARE(xlApp->Caption(), QStringLiteral("before"));
            QCOMPARE(AppCaption, QStringLiteral("before"));
        } else {
            QCOMPARE(xlApp->Caption(), caption);
            QCOMPARE(AppCaption, caption.section(QStringLiteral(" - "), 0, 0));
        }
        QCOMPARE(mdi->mnuExcConnect->isChecked(), linked);
        QCOMPARE(mdi->mnuExcDisConnect->isChecked(), !linked);
        xlApp.reset();
    }

    void errorMidwayIsReported()
    {
        ser->open = true;
        mdi->setWindowTitle(QStringLiteral("old caption"));
        rem->failAtLinkBox = 1;
        answers::queue(QStringLiteral("OK"));
        updAllSta();
        QVERIFY(!LnkToGuard);
        QVERIFY(rem->guardSeen); // the guard was up when the box was set
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(answers::last().question.text, QStringLiteral("Link box gone"));
        QCOMPARE(Err.Number, 0);
        // What came before the failure is refreshed, what comes after is not.
        QCOMPARE(frmTerminal::get()->windowTitle(), QStringLiteral("zEzede0_1 Terminal"));
        QCOMPARE(mdi->windowTitle(), QStringLiteral("old caption"));
        QVERIFY(ser->portMenu.isEmpty());

        // The next refresh without the fault completes.
        rem->failAtLinkBox = 0;
        updAllSta();
        QCOMPARE(mdi->windowTitle(), QStringLiteral("Vantrell0 {COM1=ON} {Edit} {KT4 Pulsidar}"));
        QCOMPARE(answers::asked().size(), 1);
    }

    void spreadsheetWithoutWorkbookIsAnError()
    {
        xlApp = xl::CreateApplication();
        xlConnected = xlBookOk = true;
        updAllSta();
        QCOMPARE(answers::asked().size(), 1);
        QVERIFY(!LnkToGuard);
        xlApp.reset();
    }

    void formatMenusFollowSelection()
    {
        // No CFile: the checks stay as they were.
        mdi->mnuFormatScriptSuperScript->setChecked(true);
        mdi->mnuBulletsSet->setChecked(true);
        updAllSta();
        QVERIFY(mdi->mnuFormatScriptSuperScript->isChecked());
        QVERIFY(mdi->mnuBulletsSet->isChecked());

        RichTextBox *box = openCFile(QStringLiteral("H2O and x2"));
        box->SetSelStart(1);
        box->SetSelLength(1);
        box->SetSelCharOffset(-40);
        updAllSta();
        QVERIFY(!mdi->mnuFormatScriptNoScript->isChecked());
        QVERIFY(mdi->mnuFormatScriptSubScript->isChecked());
        QVERIFY(!mdi->mnuFormatScriptSuperScript->isChecked());
        QVERIFY(!mdi->mnuBulletsSet->isChecked());

        box->SetSelStart(0);
        box->SetSelLength(2); // plain and lowered: mixed
        box->SetSelBullet(true);
        updAllSta();
        QVERIFY(!mdi->mnuFormatScriptNoScript->isChecked());
        QVERIFY(!mdi->mnuFormatScriptSubScript->isChecked());
        QVERIFY(!mdi->mnuFormatScriptSuperScript->isChecked());
        QVERIFY(mdi->mnuBulletsSet->isChecked());

        box->SetSelStart(5);
        updAllSta();
        QVERIFY(mdi->mnuFormatScriptNoScript->isChecked());
    }

    void switchesAndLevels()
    {
        struct Case {
            int16_t level;
            bool on; // SoftTest, SoftDebug, SoftMore, registry switches, default formats, chronograph states
        };
        for (const Case c : {Case{2, true}, Case{0, false}, Case{4, true}}) {
            UserLevel = c.level;
            SoftTest = SoftDebug = SoftMore = ClearRegistry = c.on;
            SoftShip = GetRegistry = SaveRegistry = !c.on;
            FontFmtDef.FormatSetDefalt = MargFmtDef.MargDefalt = TabFmtDef.TabDefalt = c.on ? 1 : 2;
            CroSta.croStaOk = true;
            CroSta.croOnLine = CroSta.croArcOn = CroSta.croRFirOn = c.on;
            updAllSta();
            QCOMPARE(mdi->mnuDbgLevel->title(), QStringLiteral("Lev-%1...").arg(c.level));
            QCOMPARE(mdi->mnuDbgMinLev->text(), QStringLiteral("Min-0"));
            QCOMPARE(mdi->mnuDbgMaxLev->text(), QStringLiteral("Max-4"));
            QCOMPARE(mdi->mnuDbgMinLev->isChecked(), c.level == 0);
            QCOMPARE(mdi->mnuDbgMaxLev->isChecked(), c.level == 4);
            QCOMPARE(mdi->mnuDbgSftTst->isChecked(), c.on);
            QCOMPARE(mdi->mnuDbgSftDbg->isChecked(), c.on);
            QCOMPARE(mdi->mnuDbgSftShp->isChecked(), !c.on);
            QCOMPARE(mdi->mnuDbgGetReg->isChecked(), !c.on);
            QCOMPARE(mdi->mnuDbgSavReg->isChecked(), !c.on);
            QCOMPARE(mdi->mnuDbgZapReg->isChecked(), c.on);
            QCOMPARE(mdi->mnuTagClean->isVisible(), c.on);
            QCOMPARE(mdi->mnuRemCtr->isEnabled(), c.on);
            QCOMPARE(mdi->mnuSelect->isChecked(), c.on);
            QCOMPARE(tb("BTerminal")->isEnabled(), c.on);
            QCOMPARE(tb("Keypad")->isEnabled(), c.on);
            QCOMPARE(mdi->mnuFormatStart->isChecked(), c.on);
            QCOMPARE(mdi->mnuMrgnsSetup->isChecked(), c.on);
            QCOMPARE(mdi->mnuFrmtTabs->isChecked(), c.on);
            QCOMPARE(mdi->mnuViewBuffer->isVisible(), c.level > 0);
            for (QAction *m : {mdi->mnuKeyPad, mdi->mnuIProgress, mdi->mnuLocalPort, mdi->mnuIRemote})
                QCOMPARE(m->isVisible(), c.level == 4);
            QCOMPARE(mdi->mnuRemPowerOn->isChecked(), c.on);
            QCOMPARE(mdi->mnuRemArcheryOn->isChecked(), c.on);
            QCOMPARE(mdi->mnuRemRapidFireOn->isChecked(), c.on);
            QCOMPARE(mdi->mnuExpExcCFi->isVisible(), c.on);
            QCOMPARE(mdi->mnuExpExcZEzede->isVisible(), c.on);
        }
        // The chronograph states need a valid status.
        CroSta.croStaOk = false;
        updAllSta();
        QVERIFY(!mdi->mnuRemPowerOn->isChecked());
        QVERIFY(!mdi->mnuRemArcheryOn->isChecked());
    }
};

QTEST_MAIN(TestStatus)
#include "tst_status.moc"
