#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "serial/frmProperties.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"

using namespace vt;

namespace {

// One log of everything start-up does with its neighbours, in order; the
// questions asked in between are put in their place as "ask:<kind>".
QStringList calls;
int seenQuestions = 0;
QString failAt; // a call that raises error 5

void note(const QString &call)
{
    const QList<answers::Record> &asked = answers::asked();
    for (; seenQuestions < asked.size(); ++seenQuestions)
        calls << QStringLiteral("ask:") + asked[seenQuestions].question.kind;
    calls << call;
    if (call == failAt)
        raise(5);
}

// Shows, hides and enables of the port setup window.
class WindowSpy : public QObject {
public:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *w = qobject_cast<QWidget *>(o);
        switch (e->type()) {
        case QEvent::Show: note(QStringLiteral("show")); break;
        case QEvent::Hide: note(QStringLiteral("hide")); break;
        case QEvent::EnabledChange: note(w->isEnabled() ? QStringLiteral("enable") : QStringLiteral("disable")); break;
        default: break;
        }
        return false;
    }
};
WindowSpy spy;

class FakeSerial : public SerialNbr {
public:
    bool found = false;
    Form *frmProperties() override
    {
        const bool fresh = !vt::frmProperties::isLoaded();
        vt::frmProperties *p = vt::frmProperties::get();
        if (fresh)
            p->installEventFilter(&spy);
        return p;
    }
    int16_t linkCommPort() override { return 4; }
    void subOpenPort() override { note(QStringLiteral("subOpenPort")); }
    void PutCLogCaption(const QString &n) override { note(QStringLiteral("PutCLogCaption(") + n + u')'); }
    void GetPrtSetUp() override { note(QStringLiteral("GetPrtSetUp")); }
    void GetFrmSet() override { note(QStringLiteral("GetFrmSet")); }
    void SaveFrmSet() override { note(QStringLiteral("SaveFrmSet")); }
    void offSetup() override { note(QStringLiteral("offSetup")); }
    void onnSetup() override { note(QStringLiteral("onnSetup")); }
    void onnSelect() override { SelectOn = true; note(QStringLiteral("onnSelect")); }
    void offSelect() override { SelectOn = false; note(QStringLiteral("offSelect")); }
    void croDetect() override { note(QStringLiteral("croDetect")); }
    bool selCroFirst(int16_t device) override
    {
        note(QStringLiteral("selCroFirst(%1)").arg(device));
        return found;
    }
    void SetApply() override { note(QStringLiteral("SetApply")); }
    void setDirty(int16_t mode) override { note(QStringLiteral("setDirty(%1)").arg(mode)); }
    bool mainEnabledAtPick = true;
    void vewCom2Cro() override
    {
        mainEnabledAtPick = frmMDI::get()->isEnabled();
        note(QStringLiteral("vewCom2Cro"));
    }
    void ShowPLog(const QString &text, int16_t, bool) override { note(QStringLiteral("log:") + text); }
    void SetNorm() override { note(QStringLiteral("SetNorm")); }
    void FixPLog(int16_t mode) override { note(QStringLiteral("FixPLog(%1)").arg(mode)); }
};

class FakeChrono : public ChronoNbr {
public:
    bool statusOk = false;
    void getPortStates() override { note(QStringLiteral("getPortStates")); }
    void chkCroLink() override
    {
        CroSta.croStaOk = statusOk;
        note(QStringLiteral("chkCroLink"));
    }
};

class FakeEditor : public EditorNbr {
public:
    bool loadFails = false;
    void updFgsMDI() override { note(QStringLiteral("updFgsMDI")); }
    void getMDISettings() override { note(QStringLiteral("getMDISettings")); }
    void CreateNewCFile() override { note(QStringLiteral("CreateNewCFile")); }
    void loadActiveCFile(const QString &path, bool rich) override
    {
        note(QStringLiteral("load(%1,%2)").arg(path, rich ? QStringLiteral("rtf") : QStringLiteral("text")));
        if (loadFails)
            raise(53);
    }
};

class FakeNotes : public NotesNbr {
public:
    void lodTip() override { note(QStringLiteral("lodTip")); }
    void seeXNots(int16_t a, int16_t b, int16_t c, int16_t d, int16_t add, int16_t modal) override
    {
        note(QStringLiteral("seeXNots(%1,%2,%3,%4,%5,%6)").arg(a).arg(b).arg(c).arg(d).arg(add).arg(modal));
    }
};

class FakeExport : public ExportNbr {
public:
    void lodExpSetup() override { note(QStringLiteral("lodExpSetup")); }
};

FakeSerial serial;
FakeChrono chrono;
FakeEditor editor;
FakeNotes notesNbr;
FakeExport exporter;

// The part of the log from the port set-up to the first CFile.
QString portBlock()
{
    const int from = calls.indexOf(QStringLiteral("GetPrtSetUp"));
    const int to = calls.indexOf(QStringLiteral("CreateNewCFile"));
    return from < 0 || to < 0 ? QStringLiteral("<missing>") : calls.mid(from, to - from + 1).join(u' ');
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        installSerial(&serial);
        installChrono(&chrono);
        installEditor(&editor);
        installNotes(&notesNbr);
        installExport(&exporter);
    }

    void init()
    {
        answers::reset();
        Err.Clear();
        calls.clear();
        seenQuestions = 0;
        failAt.clear();
        serial.found = false;
        chrono.statusOk = false;
        editor.loadFails = false;
        AppTitle = QStringLiteral("Vantrell0");
        DeleteSetting(AppTitle);
        zapSoftFlags();
        SoftShip = true;
        cmdPath.clear();
        cmdFile.clear();
    }

    void cleanup()
    {
        for (Form *f : forms::loaded())
            f->unload(vbFormCode);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void optionMatrix_data()
    {
        QTest::addColumn<bool>("autoConnect");
        QTest::addColumn<bool>("autoDetect");
        QTest::addColumn<int>("chronSelect");
        QTest::addColumn<int>("device");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");
        const QString scan = QStringLiteral("disable GetFrmSet offSetup show croDetect ");
        const QString back = QStringLiteral("hide onnSetup SaveFrmSet enable setDirty(2) ");
        const QString pick = QStringLiteral("GetFrmSet onnSelect vewCom2Cro ask:dialog offSelect SaveFrmSet ");
        const QString status = QStringLiteral("getPortStates log:Retrieving KT4 Status for Chrono-4... chkCroLink "
                                              "log:Unable to Retrieve Satatus..! ");
        const QString end = QStringLiteral("SetNorm FixPLog(0) PutCLogCaption() CreateNewCFile");
        const QString head = QStringLiteral("GetPrtSetUp getPortStates ");
        QTest::newRow("last used, connect, no detect")
            << true << false << 0 << 0 << false << head + "subOpenPort " + end;
        QTest::newRow("last used, no connect, no detect") << false << false << 0 << 0 << false << head + end;
        QTest::newRow("last used, connect, detect")
            << true << true << 0 << 0 << false << head + "subOpenPort " + scan + back + status + end;
        QTest::newRow("first free, found")
            << true << true << 1 << 0 << true << head + scan + "selCroFirst(0) SetApply " + back + status + end;
        QTest::newRow("first free, none")
            << true << true << 1 << 0 << false << head + scan + "selCroFirst(0) ask:box " + back + pick + status + end;
        QTest::newRow("first free, none, other device")
            << false << false << 1 << 2 << false << head + scan + "selCroFirst(2) ask:box " + back + pick + "getPortStates " + end;
        QTest::newRow("own choice") << true << false << 2 << 0 << false << head + scan + back + pick + status + end;
    }
    void optionMatrix()
    {
        QFETCH(bool, autoConnect);
        QFETCH(bool, autoDetect);
        QFETCH(int, chronSelect);
        QFETCH(int, device);
        QFETCH(bool, found);
        QFETCH(QString, expected);
        serial.found = found;
        SaveSetting(AppTitle, "frmComSet", "AutoConnect", BoolText(autoConnect));
        SaveSetting(AppTitle, "frmComSet", "AutoDetect", BoolText(autoDetect));
        SaveSetting(AppTitle, "frmComSet", "ChronSelect", QString::number(chronSelect));
        SaveSetting(AppTitle, "frmComSet", "Device", QString::number(device));
        frmSplash::Startup();
        QCOMPARE(portBlock(), expected);
        QVERIFY(frmMDI::get()->isEnabled());
        QVERIFY(!frmSplash::isLoaded());
    }

    void setupWindowIsModalWhileMainWindowIsOff()
    {
        SaveSetting(AppTitle, "frmComSet", "ChronSelect", QStringLiteral("2"));
        frmSplash::Startup();
        QVERIFY(!serial.mainEnabledAtPick);
        const int i = calls.indexOf(QStringLiteral("ask:dialog"));
        QVERIFY(i > 0);
        QCOMPARE(calls[i - 1], QStringLiteral("vewCom2Cro"));
        const answers::Record rec = answers::last();
        QCOMPARE(rec.question.kind, QStringLiteral("dialog"));
        // The indicator refresh before the pick has added the window suffix.
        QVERIFY2(rec.question.title.startsWith(QStringLiteral("CSetup")), qPrintable(rec.question.title));
        QVERIFY(frmMDI::get()->isEnabled());
    }

    void noChronographBoxTexts_data()
    {
        QTest::addColumn<int>("device");
        QTest::addColumn<QString>("text");
        QTest::newRow("KT4") << 0
                             << "Could not select first free KT4 Chronograph.\r\nThere are no KT4 Chronographs present..!";
        QTest::newRow("other") << 3
                               << "Could not select first free Chrono.  \r\nThere are no COM Ports avilable..!\r\n"
                                  "Check your PC hardware, you need\r\nat least one free COM/USB port.";
    }
    void noChronographBoxTexts()
    {
        QFETCH(int, device);
        QFETCH(QString, text);
        SaveSetting(AppTitle, "frmComSet", "Device", QString::number(device));
        frmSplash::Startup();
        const answers::Record box = answers::asked().first();
        QCOMPARE(box.question.text, text);
        QCOMPARE(box.question.buttons, QStringList({"OK"}));
        QCOMPARE(box.question.title, QStringLiteral("Vantrell0"));
    }

    void statusRetrieved()
    {
        chrono.statusOk = true;
        SaveSetting(AppTitle, "frmComSet", "ChronSelect", QStringLiteral("0"));
        frmSplash::Startup();
        QVERIFY(calls.contains(QStringLiteral("log:Status Retrieved Ok..!")));
    }

    // The steps before the port: resets, the splash, the windows and their
    // load procedures in order.
    void firstHalfAndSharedState()
    {
        SaveSetting(AppTitle, "frmErrox", "gxMoxErc", QStringLiteral("17"));
        xlConnected = xlLinked = keyPadOn = FirstFileCmd = true;
        CFileSeqNum = 5;
        BizTable[9][0] = 3;
        frmSplash::Startup();
        const QString head = calls.mid(0, calls.indexOf(QStringLiteral("GetPrtSetUp"))).join(u' ');
        QCOMPARE(head, QStringLiteral("lodTip lodExpSetup updFgsMDI getMDISettings"));
        QCOMPARE(errCount, 17);
        QVERIFY(!xlConnected && !xlLinked && !keyPadOn);
        QCOMPARE(CFileSeqNum, int16_t(0));
        QCOMPARE(BizTable[9][0], int16_t(0));
        QVERIFY(FirstFileCmd);
        QCOMPARE(CroSta.croCalVal, int16_t(9999));
        QCOMPARE(CroSta.croCalFlag, int16_t(9999));
        QVERIFY(Com2CroSee);
        QVERIFY(frmMDI::get()->isVisible());
    }

    void startupNotes_data()
    {
        QTest::addColumn<QString>("stored"); // empty: key absent
        QTest::addColumn<bool>("shown");
        QTest::newRow("absent") << "" << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
    }
    void startupNotes()
    {
        QFETCH(QString, stored);
        QFETCH(bool, shown);
        if (!stored.isEmpty())
            SaveSetting(AppTitle, "frmVipNotes", "ShowVipNotes", stored);
        frmSplash::Startup();
        QCOMPARE(calls.contains(QStringLiteral("seeXNots(20,0,0,0,1,1)")), shown);
    }

    void userFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << "" << "" << false << "";
        QTest::newRow("rtf") << "/data/" << "shots.RTF" << false << "load(/data/shots.RTF,rtf)";
        QTest::newRow("text") << "" << "log.txt" << false << "load(log.txt,text)";
        QTest::newRow("missing") << "/no/" << "x.rtf" << true << "load(/no/x.rtf,rtf)";
    }
    void userFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, file);
        QFETCH(bool, fails);
        QFETCH(QString, expected);
        cmdPath = path;
        cmdFile = file;
        editor.loadFails = fails;
        frmSplash::lodUsrFile();
        QCOMPARE(calls.join(u' '), expected);
        QVERIFY(answers::asked().isEmpty()); // a failure says nothing
        QCOMPARE(Err.Number, 0);
    }

    // An error half-way through start-up is passed on to Main's report, and
    // the main window is not left disabled.
    void errorLeavesMainWindowEnabled()
    {
        failAt = QStringLiteral("croDetect");
        QVERIFY(!trapErrors([] { frmSplash::Startup(); }));
        QCOMPARE(Err.Number, 5);
        Err.Clear();
        QVERIFY(frmMDI::isLoaded());
        QVERIFY(frmMDI::get()->isEnabled());
        QVERIFY(!frmSplash::isLoaded());
        QVERIFY(!frmSplash::starting());
    }

    void splashWindow()
    {
        frmSplash *s = frmSplash::get();
        QCOMPARE(s->lblVersion->text(), QStringLiteral("Version 1.4.0"));
        QCOMPARE(s->windowTitle(), QStringLiteral("Vantrell"));
        QCOMPARE(s->lblStatus->text(), QStringLiteral("Loading Startup Configuration Parameters..."));
        frmSplash::LStatus(QStringLiteral("Loading Window Fonts..."));
        QCOMPARE(s->lblStatus->text(), QStringLiteral("Loading Window Fonts..."));
    }

    // The splash stays on top of other windows: a box asked while it is up
    // (the notes file's format question, whose No ends the program) would
    // open under it. The splash steps aside while any box is open and comes
    // back when the last one has gone; menus and tips do not move it.
    void boxesComeAboveTheSplash()
    {
        frmSplash *splash = frmSplash::get();
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QMessageBox first(QMessageBox::Question, QStringLiteral("Vantrell0"), QStringLiteral("first"),
                          QMessageBox::Yes | QMessageBox::No);
        QMessageBox second(QMessageBox::Information, QStringLiteral("Vantrell0"), QStringLiteral("second"));
        for (QMessageBox *b : {&first, &second})
            b->setWindowModality(Qt::ApplicationModal);
        QMenu menu;
        menu.addAction(QStringLiteral("item"));
        menu.popup(QPoint(10, 10));
        QVERIFY(splash->isVisible());
        menu.hide();

        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        QVERIFY(!splash->isVisible());
        second.show();
        first.hide();
        QVERIFY(!splash->isVisible());
        second.hide();
        QVERIFY(splash->isVisible());
        // Gone for good once start-up unloads it, boxes or not.
        splash->unload(vbFormCode);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        first.show();
        first.hide();
        QVERIFY(!frmSplash::isLoaded());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
