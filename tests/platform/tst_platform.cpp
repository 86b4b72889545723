#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "platform/answers.h"
#include "platform/controls.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "platform/timers.h"

using namespace vt;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void init() { Err.Clear(); answers::reset(); }

    void format_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("00 pads") << 7.0 << "00" << "07";
        QTest::newRow("000 pads") << 42.0 << "000" << "042";
        QTest::newRow("00 wider") << 123.0 << "00" << "123";
        QTest::newRow("##0.0 small") << 0.25 << "##0.0" << "0.3";
        QTest::newRow("##0.0 pct") << 99.94 << "##0.0" << "99.9";
        QTest::newRow("##0.0 hundred") << 100.0 << "##0.0" << "100.0";
        QTest::newRow("##0.0 negative") << -3.14 << "##0.0" << "-3.1";
        QTest::newRow("groups") << 1234567.0 << "###,###,###,###" << "1,234,567";
        QTest::newRow("groups zero") << 0.0 << "###,###,###,###" << "";
        QTest::newRow("groups small") << 999.0 << "###,###,###,###" << "999";
        QTest::newRow("0.00") << 2.005 << "0.00" << "2.01";
    }
    void format()
    {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(Format(value, pattern), expected);
    }

    void numbers()
    {
        // Half to even.
        QCOMPARE(CInt(2.5), int16_t(2));
        QCOMPARE(CInt(3.5), int16_t(4));
        QCOMPARE(CInt(-2.5), int16_t(-2));
        QCOMPARE(CLng(1e6 + 0.5), int32_t(1000000));
        QVERIFY(!trapErrors([] { CInt(40000.0); }));
        QCOMPARE(Err.Number, 6);
        QCOMPARE(Str(5), QStringLiteral(" 5"));
        QCOMPARE(Str(-5), QStringLiteral("-5"));
        QCOMPARE(Str(0.5), QStringLiteral(" .5"));
        QCOMPARE(Val(QStringLiteral("  12.5ft/s")), 12.5);
        QCOMPARE(Val(QStringLiteral("abc")), 0.0);
        QCOMPARE(Val(QStringLiteral("&HFF")), 255.0);
        QCOMPARE(Val(QStringLiteral("-1 2")), -12.0);
        QCOMPARE(Val(QStringLiteral("3e2x")), 300.0);
    }

    void booleans()
    {
        QVERIFY(CBool(QStringLiteral("True")));
        QVERIFY(!CBool(QStringLiteral("false")));
        QVERIFY(CBool(QStringLiteral("-1")));
        QVERIFY(!CBool(QStringLiteral("0")));
        QVERIFY(!trapErrors([] { CBool(QStringLiteral("yes")); }));
        QCOMPARE(Err.Number, 13);
        QCOMPARE(Err.Description, QStringLiteral("Type mismatch"));
    }

    void colours()
    {
        QCOMPARE(RGB(255, 0, 0), 0x0000FFu);
        QCOMPARE(RGB(0, 0, 255), 0xFF0000u);
        QCOMPARE(colorFromNumber(0xFF0000u), QColor(0, 0, 255));
        QCOMPARE(numberFromColor(QColor(1, 2, 3)), 0x030201u);
        QCOMPARE(TwipsToPixels(1440), 96);
        QCOMPARE(PixelsToTwips(96), 1440);
    }

    void settingsRoundTripAndCase()
    {
        SaveSetting(QStringLiteral("Vantrell3"), QStringLiteral("Pemdora"), QStringLiteral("AppRun"), QStringLiteral("Vantrell3"));
        QCOMPARE(GetSetting(QStringLiteral("vantrell3"), QStringLiteral("PEMDORA"), QStringLiteral("apprun")),
                 QStringLiteral("Vantrell3"));
        // Saving under another spelling reuses the stored key.
        SaveSetting(QStringLiteral("Vantrell3"), QStringLiteral("pemdora"), QStringLiteral("APPRUN"), QStringLiteral(""));
        const auto all = GetAllSettings(QStringLiteral("Vantrell3"), QStringLiteral("Pemdora"));
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].first, QStringLiteral("AppRun"));
        QCOMPARE(all[0].second, QString());
        // Keys with separators stay one level.
        SaveSetting(QStringLiteral("Vantrell3"), QStringLiteral("modMRU"), QStringLiteral("a/b\\c"), QStringLiteral("x"));
        QCOMPARE(GetSetting(QStringLiteral("Vantrell3"), QStringLiteral("modMRU"), QStringLiteral("a/b\\c")), QStringLiteral("x"));
        // Deleting what is missing is silent; deleting a section or the app works.
        DeleteSetting(QStringLiteral("Vantrell3"), QStringLiteral("Nope"), QStringLiteral("k"));
        DeleteSetting(QStringLiteral("Vantrell9"), QStringLiteral("Nope"));
        DeleteSetting(QStringLiteral("Vantrell3"), QStringLiteral("modMRU"));
        QVERIFY(!SectionExists(QStringLiteral("Vantrell3"), QStringLiteral("modMRU")));
        QVERIFY(SectionExists(QStringLiteral("Vantrell3"), QStringLiteral("Pemdora")));
        DeleteSetting(QStringLiteral("Vantrell3"));
        QCOMPARE(GetSetting(QStringLiteral("Vantrell3"), QStringLiteral("Pemdora"), QStringLiteral("AppRun"), QStringLiteral("d")),
                 QStringLiteral("d"));
    }

    void corruptSettingFallsBack()
    {
        SaveSetting(QStringLiteral("V"), QStringLiteral("frmVipNotes"), QStringLiteral("ShowWarn"), QStringLiteral("yes"));
        SaveSetting(QStringLiteral("V"), QStringLiteral("frmVipNotes"), QStringLiteral("UserLevel"), QStringLiteral("x"));
        QCOMPARE(GetSettingBool(QStringLiteral("V"), QStringLiteral("frmVipNotes"), QStringLiteral("ShowWarn"), true), true);
        QCOMPARE(GetSettingInt(QStringLiteral("V"), QStringLiteral("frmVipNotes"), QStringLiteral("UserLevel"), 4), 4);
        QCOMPARE(Err.Number, 0);
    }

    void msgBoxThroughSeam()
    {
        answers::queue(QStringLiteral("No"));
        QCOMPARE(MsgBox(QStringLiteral("Sure?"), vbYesNoCancel | vbQuestion | vbDefaultButton2, QStringLiteral("T")), int(vbNo));
        auto r = answers::last();
        QCOMPARE(r.question.kind, QStringLiteral("box"));
        QCOMPARE(r.question.title, QStringLiteral("T"));
        QCOMPARE(r.question.buttons, (QStringList{"Yes", "No", "Cancel"}));
        QCOMPARE(r.question.defaultAnswer, QStringLiteral("No"));
        QCOMPARE(r.question.icon, QStringLiteral("Question"));
        // Nothing queued: the default, logged as unanswered; title defaults to the app title.
        AppTitle = QStringLiteral("Vantrell5");
        QCOMPARE(MsgBox(QStringLiteral("Go?"), vbYesNo | vbDefaultButton2), int(vbNo));
        QVERIFY(!answers::last().answered);
        QCOMPARE(answers::last().question.title, QStringLiteral("Vantrell5"));
        // Keyed answers pick their question, plain ones go in order.
        answers::queue(QStringLiteral("Cancel"));
        answers::queueKeyed(QStringLiteral("second"), QStringLiteral("Retry"));
        QCOMPARE(MsgBox(QStringLiteral("the second one"), vbRetryCancel), int(vbRetry));
        QCOMPARE(MsgBox(QStringLiteral("first"), vbRetryCancel), int(vbCancel));
    }

    void answersFileAndAskLog()
    {
        QTemporaryDir dir;
        const QString ans = dir.filePath(QStringLiteral("answers")), log = dir.filePath(QStringLiteral("asklog"));
        QFile f(ans);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Yes\nQuit\tNo\n");
        f.close();
        qputenv("VANTRELL_ANSWERS", ans.toUtf8());
        qputenv("VANTRELL_ASKLOG", log.toUtf8());
        answers::setScripted(false);
        QCOMPARE(MsgBox(QStringLiteral("Do you really want to Quit?"), vbYesNo), int(vbNo));
        QCOMPARE(MsgBox(QStringLiteral("Other\r\nline two"), vbYesNo), int(vbYes));
        // Appended while running: read afresh.
        QVERIFY(f.open(QIODevice::Append));
        f.write("Cancel\n");
        f.close();
        QCOMPARE(MsgBox(QStringLiteral("Third"), vbYesNoCancel), int(vbCancel));
        QCOMPARE(MsgBox(QStringLiteral("Fourth"), vbOKOnly), int(vbOK));
        qunsetenv("VANTRELL_ANSWERS");
        qunsetenv("VANTRELL_ASKLOG");
        QFile l(log);
        QVERIFY(l.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(l.readAll());
        QVERIFY(text.contains(QStringLiteral("text: Other\r\nline two")));
        QVERIFY(text.contains(QStringLiteral("answer: No\n")));
        QVERIFY(text.contains(QStringLiteral("answer: OK (unanswered)")));
        QCOMPARE(text.count(QStringLiteral("=== box")), 4);
    }

    // Long work's turns: at most one per gap; PaintMode::Only repaints the
    // windows without running a handler of the program, WithInput runs them.
    void paintTurns()
    {
        QWidget w;
        w.resize(80, 40);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        struct PaintCount : QObject {
            int n = 0;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                n += e->type() == QEvent::Paint;
                return QObject::eventFilter(o, e);
            }
        } paints;
        w.installEventFilter(&paints);

        setPaintGapMs(3600 * 1000);
        letPaint();
        QVERIFY(!paintDue());
        QVERIFY(!keepPainted()); // a turn just ran: none is due for an hour

        setPaintGapMs(0);
        bool handlerRan = false;
        QMetaObject::invokeMethod(&w, [&] { handlerRan = true; }, Qt::QueuedConnection);
        w.update();
        QVERIFY(keepPainted(PaintMode::Only));
        QVERIFY(paints.n > 0);
        QVERIFY(!handlerRan);
        QVERIFY(keepPainted(PaintMode::WithInput));
        QVERIFY(handlerRan);
        setPaintGapMs(-1);
    }

    // A control array of one name: each element tells its place by "Index"
    // (from the first given), takes the tip at its place or else the last,
    // reads its caption as shown ("&&" one "&", a lone "&" the key mark) and
    // reports its own index when clicked.
    void indexedControlArray()
    {
        QWidget parent;
        QPushButton *into[4] = {};
        QList<int> clicked;
        const auto made = controls::makeIndexed<QPushButton>(
            into, &parent, QStringLiteral("cmdKey"),
            {QStringLiteral("&Save"), QStringLiteral("Power && Energy"), QStringLiteral("E&xit")},
            {QStringLiteral("first"), QStringLiteral("rest")}, 1, [&](int i) { clicked.append(i); },
            QStringLiteral("test/cmdKey_Click"));
        QCOMPARE(made.size(), size_t(3));
        QVERIFY(!into[0]);
        QCOMPARE(parent.findChildren<QPushButton *>(QStringLiteral("cmdKey")).size(), 3);
        QStringList names, tips;
        QList<int> indexes;
        for (int i = 1; i <= 3; ++i) {
            QCOMPARE(made[size_t(i - 1)], into[i]);
            names << into[i]->accessibleName();
            tips << into[i]->toolTip();
            indexes << into[i]->property("Index").toInt();
        }
        QCOMPARE(names, QStringList({"Save", "Power & Energy", "Exit"}));
        QCOMPARE(tips, QStringList({"first", "rest", "rest"}));
        QCOMPARE(indexes, QList<int>({1, 2, 3}));
        into[3]->click();
        into[1]->click();
        QCOMPARE(clicked, QList<int>({3, 1}));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
