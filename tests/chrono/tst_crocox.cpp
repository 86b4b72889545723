#include <QTest>

#include "chrono/modCroCox.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/timers.h"
#include "serial/modCapLog.h"
#include "shell/modShared.h"
#include "shell/modNeighbours.h"

#include <functional>

using namespace vt;

namespace {

// Stands in for the active CFile: collects what the log lines append.
struct FakeCFile {
    bool open = true;
    QString text;
    int appends = 0;
    void install()
    {
        setCFileLog({[this] { return open; }, [this](const QString &t) { text += t, ++appends; }});
    }
};

// Re-reading the port states finds the link on another port.
struct FakeChrono : ChronoNbr {
    int16_t portFound = 0;
    void getPortStates() override { ComPort[0] = portFound; }
};

const QString R = QStringLiteral("\r\n");

} // namespace

class TestCroCox : public QObject {
    Q_OBJECT
    FakeCFile cfile;
    FakeChrono chrono;
    QString date; // the fixed clock's date as the system writes it

private slots:
    void init()
    {
        cfile = FakeCFile{};
        cfile.install();
        chrono.portFound = 0;
        installChrono(&chrono);
        Device = 0;
        ComPort[0] = 3;
        ShowWarnKT = true;
        CroSta = CroStatus{};
        croOpAborted = croReCal = false;
        RxRoute[1] = false;
        setFixedNow(QDateTime(QDate(2024, 3, 9), QTime(12, 34, 56, 250)));
        date = Format(now(), QStringLiteral("Short Date"));
        QVERIFY(!date.isEmpty());
    }
    void cleanup()
    {
        setFixedNow(QDateTime());
        setCFileLog({});
        installChrono(nullptr);
    }

    void lineKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0 plain") << 0 << 2 << 0 << "\r\n\r\nabc";
        QTest::newRow("1 notice") << 1 << 0 << 1 << "REM: abc\r\n";
        QTest::newRow("1 negative counts") << 1 << -1 << -4 << "REM: abc";
        QTest::newRow("2 counter") << 2 << 1 << 1 << "\r\nREM:00012 abc\r\n";
        QTest::newRow("10 tag") << 10 << 0 << 1 << "TAG: abc\r\n";
        QTest::newRow("11 dated tag") << 11 << 1 << 1 << "\r\nTAG: abc{ Date=%1 Time=12:34:56 }\r\n";
        QTest::newRow("20 ignores counts") << 20 << 3 << 3 << "abc";
        QTest::newRow("3 nothing") << 3 << 1 << 1 << "";
        QTest::newRow("12 nothing") << 12 << 1 << 1 << "";
        QTest::newRow("25 nothing") << 25 << 0 << 0 << "";
    }
    void lineKinds()
    {
        QFETCH(int, kind);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(QString, expected);
        CroSta.croTotShots = 12;
        if (expected.contains(QLatin1String("%1")))
            expected = expected.arg(date);
        QCOMPARE(plogText(QStringLiteral("abc"), before, after, kind), expected);
        PLog2CFile(QStringLiteral("abc"), before, after, kind);
        QCOMPARE(cfile.text, expected);
        // Even a kind that writes nothing goes to the CFile, which puts its caret at the end.
        QCOMPARE(cfile.appends, 1);
    }

    void noCFileOpenWritesNothingAndRaisesNothing()
    {
        cfile.open = false;
        PLog2CFile(QStringLiteral("abc"), 0, 1, 1);
        seeLinkErr();
        logCroEvt(1);
        QCOMPARE(cfile.appends, 0);
        setCFileLog({}); // no CFile side at all
        Err.Clear();
        plogMsg(QStringLiteral("abc"));
        seeWarnHint();
        QCOMPARE(Err.Number, 0);
    }

    void writers()
    {
        CroSta.croArcOn = true;
        CroSta.croSnsOn = true;
        CroSta.croSnsLev = 45;
        CroSta.croBatVolts = 8.95f;
        CroSta.croTotShots = 7;
        plogMsg(QStringLiteral("hello"));
        putErrLog(101, QStringLiteral("no answer"));
        plogLine(QStringLiteral("a"), 1, 2);
        plogLineR(QStringLiteral("b"), 0, 1);
        plogRaw(QStringLiteral("c"), 0, 1, 2);
        logCroStat();
        logDevPort();
        QCOMPARE(cfile.text,
                 QStringLiteral("REM: hello\r\n"
                                "REM: Err(101)->no answer\r\n"
                                "\r\nREM: a\r\n\r\n"
                                "b\r\n"
                                "REM:00007 c\r\n"
                                "REM: KT4 Status-{ Archery= On  RapidFire= Off  Sensors= On  Sensitivity=45-%  "
                                "Battery=8.95-Volts\r\n"
                                "TAG: Device-{ KT4 Pulsidar} Port-{COM3}\r\n"));
    }

    // A device index off the list leaves the name out.
    void unknownDeviceNameIsLeftOut()
    {
        Device = 7;
        logDevPort();
        Device = 3;
        ComPort[0] = 2;
        logDevPort();
        QCOMPARE(cfile.text, QStringLiteral("TAG: Device-{} Port-{COM3}\r\nTAG: Device-{ Jotrix Terminal} Port-{COM2}\r\n"));
        QCOMPARE(Err.Number, 0);
    }

    void eventStamps_data()
    {
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("word");
        QTest::newRow("0 none") << 0 << "";
        QTest::newRow("1 start") << 1 << "Start-";
        QTest::newRow("2 stop") << 2 << "Stop-";
        QTest::newRow("3 power off") << 3 << "PowerOff-";
        QTest::newRow("4 power on") << 4 << "PowerOn-";
        QTest::newRow("5 none") << 5 << "";
        QTest::newRow("-1 none") << -1 << "";
    }
    void eventStamps()
    {
        QFETCH(int, event);
        QFETCH(QString, word);
        logCroEvt(event);
        QCOMPARE(cfile.text, R + QStringLiteral("TAG: ") + word + QStringLiteral("{Date=") + date
                                 + QStringLiteral("  Time=12:34:56  t=45296.25 sec}") + R);
    }

    void captureLogStamps_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("head");
        QTest::newRow("0") << 0 << "\r\nTAG:Open";
        QTest::newRow("1") << 1 << "\r\nTAG:Close";
        QTest::newRow("2") << 2 << "\r\nTAG:Start";
        QTest::newRow("3") << 3 << "\r\nTAG:Stop";
        QTest::newRow("4") << 4 << "\r\nTAG:Resume";
        QTest::newRow("5") << 5 << "\r\nTAG:Pause";
        QTest::newRow("6") << 6 << "\r\nTAG:StartUp";
        QTest::newRow("7 no TAG") << 7 << "Cleared";
        QTest::newRow("9 no word") << 9 << "\r\nTAG:";
    }
    void captureLogStamps()
    {
        QFETCH(int, kind);
        QFETCH(QString, head);
        QCOMPARE(tagLine(kind), head + QStringLiteral("-{Date=") + date
                                    + QStringLiteral("  Time=12:34:56  t=45296.25 sec}") + R);
        QCOMPARE(cfile.appends, 0); // built, not written
    }

    void notices()
    {
        struct Case {
            const char *name;
            std::function<void()> setup;
            std::function<void()> call;
            QStringList lines; // each written as "REM: " + line + CR LF
        };
        const auto warnKT = [](bool on) {
            ShowWarnKT = on;
            Device = 1;
            ComPort[0] = 4;
        };
        const QStringList hint = {QStringLiteral("To stop these messages, go to <View>/<rUvuzu> and click on <Option>,"),
                                  QStringLiteral("then clear ''Chrono Warning'' and/or ''System Warnins On'' checkmarks.")};
        const Case cases[] = {
            {"seeNoSupport, warnings on", [&] { warnKT(true); }, [] { seeNoSupport(0); },
             QStringList{QStringLiteral("Setup was selected for { Shooting Tarvek}"),
                         QStringLiteral("See <Interface>/<Setup>, <Custome Setup>, <Device>"),
                         QStringLiteral("For now, this program does not suport { Shooting Tarvek}"),
                         QStringLiteral("It will stil record shots as a TTY Terminal in <Custom Setup> mode..!")}
                 + hint},
            {"seeNoSupport, warnings off, flag", [&] { warnKT(false); }, [] { seeNoSupport(1); },
             {QStringLiteral("This function does not suport { Shooting Tarvek}{")}},
            {"seeNoSupport, warnings off, no flag", [&] { warnKT(false); }, [] { seeNoSupport(0); }, {}},
            {"seeEditMode", {}, seeEditMode,
             {QStringLiteral("Jotrix is now in ''Edit mode'' - shots will not be recorded into CFile.")}},
            {"seeAborted, not aborted", {}, seeAborted, {}},
            {"seeAborted", [] { croOpAborted = true; }, seeAborted, {QStringLiteral("Operation Aborted by the user..!")}},
            {"seeSnsOff", {}, seeSnsOff,
             {QStringLiteral("Sensors are turned off."), QStringLiteral("Chronograph is now in Data/Stats review mode.")}},
            {"seeNotCal", {}, seeNotCal,
             {QStringLiteral("KT4 is not calibrated - therefore it can not record shots."),
              QStringLiteral("Without a succesful calibration it will only operate in Data review mode.")}},
            {"seeNotCal, calibrated", [] { CroSta.croCalOk = true; }, seeNotCal, {}},
            {"chkReCal", [] { croReCal = true; }, chkReCal,
             {QStringLiteral("Setup has been changed - KT4 should be calibrated again.")}},
            {"chkReCal, no change", {}, chkReCal, {}},
            {"seeEditHint", {}, seeEditHint,
             {QStringLiteral("Jotrix is in Edit mode - shots will not be recorde into the cFile."),
              QStringLiteral("To record shots into the CFile - goto <Chrono> and click on <Start>.")}},
            {"seeEditHint, Shoot mode", [] { RxRoute[1] = true; }, seeEditHint, {}},
            {"seeEditHint, warnings off", [&] { warnKT(false); }, seeEditHint, {}},
            {"seeNoPort", [&] { warnKT(true); }, seeNoPort,
             {QStringLiteral("Selected communications Port COM4 is not avaialble."),
              QStringLiteral("Check your setup, go to <Interface>/<Setup> and select a valid Port."),
              QStringLiteral("To find free port click on <Detect>.")}},
            {"seeOnlyKT4", {}, seeOnlyKT4,
             {QStringLiteral("This function only works for KT4 chronographs."),
              QStringLiteral("For other chronographs use this program as TTY Terminal..!"),
              QStringLiteral("Support for other chronographs is in the works.")}},
            {"seeLinkErr", {}, seeLinkErr,
             {QStringLiteral("Communications error - could not establish a link with KT4."),
              QStringLiteral("Sensor's status is uknown, check setup or connections.")}},
        };
        for (const Case &c : cases) {
            init();
            if (c.setup)
                c.setup();
            c.call();
            QString want;
            for (const QString &l : c.lines)
                want += QStringLiteral("REM: ") + l + R;
            if (c.lines.contains(hint[0]))
                want.replace(QStringLiteral("REM: To stop"), R + QStringLiteral("REM: To stop"));
            QVERIFY2(cfile.text == want, qPrintable(QStringLiteral("%1:\n%2").arg(QLatin1String(c.name), cfile.text)));
        }
    }

    // The port's state is read afresh before the not-found notice names it.
    void seeNoCroRereadsThePorts()
    {
        ComPort[0] = 1;
        chrono.portFound = 6;
        seeNoCro();
        QCOMPARE(cfile.text, QStringLiteral("REM: KT4 not found on port COM6\r\n"
                                            "REM: Check connections or setup - see <Interface>/<Setup>.\r\n"
                                            "REM: To find KT4 click on <Detect>, to check KT4 click on <Test>.\r\n"));
    }

    void warnHintHasTheOnlyLeadingBlankLine()
    {
        seeWarnHint();
        QCOMPARE(cfile.appends, 2);
        QVERIFY(cfile.text.startsWith(R + QStringLiteral("REM: To stop these messages")));
    }
};

QTEST_GUILESS_MAIN(TestCroCox)
#include "tst_crocox.moc"
