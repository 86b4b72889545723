#include <QTest>

#include "common/busyfixture.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"

using namespace vt;

class TestBusy : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        vttest::freshBusyLock();
        UserLevel = 0;
        zapBizTable();
        AppTitle = QStringLiteral("Vantrell0");
    }

    // Each row runs a sequence of croTask calls ("mode:answer"), then checks
    // the results, the boxes shown, the lock and the abort flag.
    void croTaskSequence_data()
    {
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("results"); // one digit per call: 1 true, 0 false
        QTest::addColumn<int>("boxes");
        QTest::addColumn<bool>("busyAfter");
        QTest::addColumn<bool>("abortAfter");
        QTest::newRow("fresh ask") << QStringList{"0"} << "0" << 0 << false << false;
        QTest::newRow("begin, ask, end, ask") << QStringList{"1", "0", "2", "0"} << "0100" << 0 << false << false;
        QTest::newRow("busy refusal No") << QStringList{"1", "1:No"} << "01" << 1 << true << false;
        QTest::newRow("busy refusal Yes") << QStringList{"1", "1:Yes"} << "01" << 1 << true << true;
        QTest::newRow("abort of an ended task, next begins clean")
            << QStringList{"1", "1:Yes", "2", "1"} << "0100" << 1 << true << false;
        QTest::newRow("refused, first task ends") << QStringList{"1", "1:No", "2", "0"} << "0100" << 1 << false << false;
        QTest::newRow("unbalanced end, lock usable") << QStringList{"2:OK", "1", "0"} << "001" << 1 << true << false;
        QTest::newRow("other mode") << QStringList{"7", "1", "7"} << "000" << 0 << true << false;
    }
    void croTaskSequence()
    {
        QFETCH(QStringList, calls);
        QFETCH(QString, results);
        QFETCH(int, boxes);
        QFETCH(bool, busyAfter);
        QFETCH(bool, abortAfter);
        QString got;
        for (const QString &c : calls) {
            const QStringList parts = c.split(u':');
            if (parts.size() > 1)
                answers::queue(parts[1]);
            got += croTask(int16_t(parts[0].toInt())) ? u'1' : u'0';
        }
        QCOMPARE(got, results);
        QCOMPARE(answers::asked().size(), boxes);
        QCOMPARE(croTask(0), busyAfter);
        QCOMPARE(abortTask, abortAfter);
    }

    void busyBoxNamesTheDevice()
    {
        Device = 1;
        croTask(1);
        answers::queue(QStringLiteral("No"));
        QVERIFY(croTask(1));
        const answers::Record r = answers::last();
        QCOMPARE(r.question.text,
                 QStringLiteral("Vantrell can't execute this function right now.!\t\r\n"
                                "It is busy talking to  [Shooting Tarvek].\r\n"
                                "\r\n"
                                "Aborting this task may result in data loss.!\r\n"
                                "Do you want to abort  [Shooting Tarvek]  task anyway.?\t"));
        QCOMPARE(r.question.buttons, QStringList({"Yes", "No"}));
        QCOMPARE(r.question.defaultAnswer, QStringLiteral("No"));
        QCOMPARE(r.question.title, QStringLiteral("Vantrell0"));
    }

    void sequenceFailureBox()
    {
        croTask(2);
        QCOMPARE(answers::last().question.text, QStringLiteral("<croTask> Sequence Failure Error...?\r\n"
                                                               "To clear this error you must,\r\n"
                                                               "save your work, and restart the program."));
        QCOMPARE(answers::last().question.buttons, QStringList({"OK"}));
        QCOMPARE(AppSta.TaskCount, int16_t(0));
    }

    // A task that fails half-way still frees the lock, so the next command runs.
    void guardReleasesOnError()
    {
        const bool ok = trapErrors([] {
            CroTaskGuard task;
            QVERIFY(!task.refused());
            QVERIFY(croTask(0));
            raise(5);
        });
        QVERIFY(!ok);
        Err.Clear();
        QVERIFY(!croTask(0));
        {
            CroTaskGuard first;
            answers::queue(QStringLiteral("No"));
            CroTaskGuard second;
            QVERIFY(second.refused());
        } // the refused guard must not end the first task's lock a second time
        QVERIFY(!croTask(0));
        QCOMPARE(answers::asked().size(), 1); // the busy question; no sequence failure
    }

    void trackerText()
    {
        QString s;
        for (int16_t mode : {0, 0, 0, 1, 3, 5, 6, 7, -1, 10})
            trkForm(mode, s);
        trkForm(4, s);
        QCOMPARE(s, QStringLiteral("Loads=3 Unloads=1 (2)"));
        trkForm(2, s);
        trkForm(9, s);
        QCOMPARE(s, QStringLiteral("Final Exit...\r\nLoads=3 Unloads=2\r\n"));
    }

    void inUseTable()
    {
        begBiz(9, 0);
        begBiz(9, 0);
        endBiz(9, 0);
        QCOMPARE(BizTable[9][0], int16_t(1));
        QVERIFY(fmtCntTab(1, 9));
        endBiz(9, 0);
        QVERIFY(!fmtCntTab(1, 9));
        BizTable[3][9] = 32767;
        begBiz(3, 9);
        QCOMPARE(BizTable[3][9], int16_t(32767));
        BizTable[3][8] = -32768;
        endBiz(3, 8);
        QCOMPARE(BizTable[3][8], int16_t(-32768));
        for (auto bad : {std::pair{10, 0}, std::pair{0, -1}, std::pair{-1, 3}}) {
            QVERIFY(!trapErrors([&] { begBiz(bad.first, bad.second); }));
            QCOMPARE(Err.Number, 9);
            Err.Clear();
        }
        QVERIFY(!trapErrors([] { fmtCntTab(0, 10); }));
        Err.Clear();
    }

    void notices()
    {
        seeBizMsg(9);
        QCOMPARE(answers::last().question.text, QStringLiteral("rUvuzu is already in use..!"));
        seeBizMsg(0);
        QCOMPARE(answers::last().question.text, QStringLiteral("Jotrix is already in use..!"));
        QCOMPARE(answers::last().question.buttons, QStringList({"OK"}));
        UserLevel = 3;
        seeFunDisabled();
        QCOMPARE(answers::last().question.text, QStringLiteral("[0:3] - This function is temporarily disabled..."));
    }
};

QTEST_MAIN(TestBusy)
#include "tst_busy.moc"
