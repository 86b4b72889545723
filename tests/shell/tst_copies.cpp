// Running copies: real vantrell processes started side by side on one
// settings store, answering through the answers file.
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTest>
#include <memory>

#include "common/vtprocess.h"
#include "platform/settings.h"

using namespace vttest;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString proposal1()
{
    return QStringList{
        QStringLiteral("There is 1 copy of Vantrell already running...  "),
        QStringLiteral("You will need one COM port for each additional Vantrell.  "),
        QStringLiteral("Each additional Chronograph requires its own COM port."),
        QStringLiteral("Each Vantrell remembers its own setup configuration."),
        QString(),
        QStringLiteral("Only One Vantrell Can Be Linked To Each Chronograph!"),
        QString(),
        QStringLiteral("The new name will be:\tVantrell1"),
        QString(),
        QStringLiteral("Support windows will be:\tJotrix1,  zEzede1,  zOvu1"),
        QString(),
        QStringLiteral("Do you want to add  Vantrell1 now..?"),
    }.join(kCrLf);
}

QString tooMany()
{
    return QStringList{
        QStringLiteral("There are to many acitve copies of Vantrell on your system..."),
        QStringLiteral("The system may not be able to handle more then 4 copies. "),
        QStringLiteral("Vantrell has a limit of 4 active copies."),
        QString(),
        QStringLiteral("If you need to run simultaneously more then 4 copies ,"),
        QStringLiteral("use shortcut setup with ''Target:'' parameter specified as ''N=xx'', "),
        QStringLiteral("where xx is the Vantrell number, with range from  0 to 16."),
        QStringLiteral("Please make sure, that you have suficient memory and"),
        QStringLiteral("a high speed computer - 2GHZ or better."),
        QString(),
        QStringLiteral("Would you like to view setup instructions for this.?"),
    }.join(kCrLf);
}

QString badNumber(int n)
{
    return QStringLiteral("Vantrell-Shortcut Input Field Error in ''Target:'' ...!\r\n"
                          "Number is out of range, you entered N=%1.\r\n"
                          "Maximum allowed value are - 0 to 16\r\n\r\n"
                          "Do you want to view setup instruction.?")
        .arg(n);
}

const QString kHelpHead = QStringLiteral("\tHOW TO DEAL WITH MULTIPLE CHRONOGRAPHS\r\n\r\n");
const QString kHelpTail = QStringLiteral("\tFile\t-->\tMy File Name\t\r\n\r\nYou can ignore yy, Path & File.");

// Starts a copy and waits until it runs (or has ended).
// The questions about the copy itself: a start without a chronograph goes on
// to the port set-up, whose notice and setup window are not counted here.
QList<Asked> copyAsked(const VtProcess &p)
{
    QList<Asked> out;
    for (const Asked &a : p.asked())
        if (a.kind != QStringLiteral("dialog") && !a.text.startsWith(QStringLiteral("Could not select first free")))
            out << a;
    return out;
}

std::unique_ptr<VtProcess> launch(const QStringList &args = {}, const QStringList &answers = {})
{
    auto p = std::make_unique<VtProcess>();
    p->setAnswers(answers);
    p->start(args);
    p->waitStarted();
    return p;
}

} // namespace

class TestCopies : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        // One settings store per test case.
        QDir(vt::settingsFolder()).removeRecursively();
    }

    void firstCopyResetsRecordsLeftByACrash()
    {
        for (int k : {0, 1, 2, 3, 5})
            writeRunningRecord(k);
        auto c0 = launch();
        QCOMPARE(c0->startedAs(), QStringLiteral("Vantrell0"));
        QVERIFY(copyAsked(*c0).isEmpty());
        QCOMPARE(record(0, "AppNum"), QStringLiteral("0"));
        QCOMPARE(record(0, "AppRun"), QStringLiteral("Vantrell0"));
        QCOMPARE(record(0, "AppEnd"), QString());
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(record(k, "AppPrt"), QStringLiteral("0"));
            QCOMPARE(record(k, "AppNum"), QString::number(k));
            QCOMPARE(record(k, "AppRun"), QString());
            QCOMPARE(record(k, "AppEnd"), QStringLiteral("Vantrell") + QString::number(k));
        }
        QCOMPARE(record(5, "AppRun"), QStringLiteral("Vantrell5")); // 4 to 16 are not touched
    }

    void laterCopiesAreProposedTheLowestFreeNumbers()
    {
        auto c0 = launch();
        QVERIFY(c0->running());
        std::unique_ptr<VtProcess> copies[4];
        for (int k = 1; k <= 3; ++k) {
            copies[k] = launch({}, {QStringLiteral("Yes")});
            QCOMPARE(copies[k]->startedAs(), QStringLiteral("Vantrell") + QString::number(k));
            const QList<Asked> asked = copyAsked(*copies[k]);
            QCOMPARE(asked.size(), 1);
            QCOMPARE(asked[0].title, QStringLiteral("Vantrell"));
            QCOMPARE(asked[0].buttons, QStringLiteral("Yes, No, Cancel"));
            QCOMPARE(asked[0].defaultAnswer, QStringLiteral("Cancel"));
            QCOMPARE(asked[0].icon, QString());
            if (k == 1)
                QCOMPARE(asked[0].text, proposal1());
            else
                QVERIFY2(asked[0].text.startsWith(QStringLiteral("There are %1 copies of Vantrells already running...  \r\n").arg(k)),
                         qPrintable(asked[0].text));
            QCOMPARE(record(k, "AppRun"), QStringLiteral("Vantrell") + QString::number(k));
        }
        // 0 to 3 run: a fifth copy without "N=" is refused whatever it answers.
        auto fifth = launch({}, {QStringLiteral("No")});
        QVERIFY(fifth->waitFinished());
        QVERIFY(fifth->startedAs().isEmpty());
        QCOMPARE(fifth->exitCode(), 0);
        const QList<Asked> asked = copyAsked(*fifth);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, tooMany());
        QCOMPARE(asked[0].title, QStringLiteral("Vantrell"));
        QCOMPARE(asked[0].buttons, QStringLiteral("Yes, No"));
        QCOMPARE(asked[0].defaultAnswer, QStringLiteral("No"));
        // With "N=" a copy beyond 3 starts at once.
        auto c7 = launch({QStringLiteral("N=7")});
        QCOMPARE(c7->startedAs(), QStringLiteral("Vantrell7"));
        QVERIFY(copyAsked(*c7).isEmpty());
        QCOMPARE(record(7, "AppRun"), QStringLiteral("Vantrell7"));
    }

    void declinedProposalEndsWithoutWindow_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("helpShown");
        QTest::newRow("No") << "No" << false;
        QTest::newRow("Cancel shows the help") << "Cancel" << true;
        QTest::newRow("unanswered: Cancel") << "" << true;
    }

    void declinedProposalEndsWithoutWindow()
    {
        QFETCH(QString, answer);
        QFETCH(bool, helpShown);
        auto c0 = launch();
        QVERIFY(c0->running());
        auto c1 = launch({}, answer.isEmpty() ? QStringList{} : QStringList{answer});
        QVERIFY(c1->waitFinished());
        QCOMPARE(c1->exitCode(), 0);
        QVERIFY(c1->startedAs().isEmpty());
        const QList<Asked> asked = copyAsked(*c1);
        QCOMPARE(asked.size(), helpShown ? 2 : 1);
        QCOMPARE(asked[0].text, proposal1());
        if (helpShown) {
            QVERIFY(asked[1].text.startsWith(kHelpHead));
            QVERIFY(asked[1].text.endsWith(kHelpTail));
            QCOMPARE(asked[1].buttons, QStringLiteral("OK"));
            QCOMPARE(asked[1].title, QStringLiteral("Vantrell1"));
        }
        QCOMPARE(record(1, "AppRun"), QString()); // nothing was written
        // The number was not kept: the next copy is offered 1 again.
        auto again = launch({}, {QStringLiteral("Yes")});
        QCOMPARE(again->startedAs(), QStringLiteral("Vantrell1"));
    }

    void explicitNumbers()
    {
        auto c0 = launch();
        QVERIFY(c0->running());
        auto c7 = launch({QStringLiteral("N=7")});
        QCOMPARE(c7->startedAs(), QStringLiteral("Vantrell7"));
        QVERIFY(copyAsked(*c7).isEmpty());

        auto twin = launch({QStringLiteral("N=7")});
        QVERIFY(twin->waitFinished());
        QVERIFY(twin->startedAs().isEmpty());
        QList<Asked> asked = copyAsked(*twin);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, QStringLiteral("Vantrell7 is already running..!"));
        QCOMPARE(asked[0].title, QStringLiteral("Vantrell0"));
        QCOMPARE(asked[0].buttons, QStringLiteral("OK"));

        auto bad = launch({QStringLiteral("N=17")}, {QStringLiteral("Yes")});
        QVERIFY(bad->waitFinished());
        QVERIFY(bad->startedAs().isEmpty());
        asked = copyAsked(*bad);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].text, badNumber(17));
        QCOMPARE(asked[0].title, QStringLiteral("Vantrell0"));
        QCOMPARE(asked[0].buttons, QStringLiteral("Yes, No"));
        QCOMPARE(asked[0].defaultAnswer, QStringLiteral("No"));
        QVERIFY(asked[1].text.startsWith(kHelpHead)); // Yes: the help text
    }

    void outOfRangeFirstCopyResetsThenEnds()
    {
        writeRunningRecord(2);
        auto bad = launch({QStringLiteral("N=99")}, {QStringLiteral("No")});
        QVERIFY(bad->waitFinished());
        QVERIFY(bad->startedAs().isEmpty());
        const QList<Asked> asked = copyAsked(*bad);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, badNumber(99));
        QCOMPARE(record(2, "AppEnd"), QStringLiteral("Vantrell2"));
        QVERIFY(!QFile::exists(vt::settingsFile(QStringLiteral("Vantrell99"))));
    }

    void portGivenWithNumberIsStoredBeforeAnyWindow()
    {
        // A small screen and No to its question: the copy ends before any
        // window loads, after settling its number and port.
        VtProcess c5;
        c5.setScreen(640, 480);
        c5.setAnswers({QStringLiteral("No")});
        c5.start({QStringLiteral("n=5,p=3,x.rtf")});
        QVERIFY(c5.waitFinished());
        QVERIFY(c5.startedAs().isEmpty());
        QCOMPARE(vt::GetSetting(QStringLiteral("Vantrell5"), QStringLiteral("frmComSet"), QStringLiteral("CommPort")),
                 QStringLiteral("3"));
        const QList<Asked> asked = copyAsked(c5);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Vantrell - Screen Resolution"));
        QCOMPARE(asked[0].text, QStringLiteral("This program requires a Minimum screen resolution of 800 X 600  \r\n"
                                               "Your resolution is only 640 x 480 picels\r\n\r\n"
                                               "Do you want to continue anyway ?"));
        QCOMPARE(asked[0].buttons, QStringLiteral("Yes, No"));
        QCOMPARE(asked[0].defaultAnswer, QStringLiteral("No"));
        QCOMPARE(asked[0].icon, QString());
        // The record was marked running, then ended again by the No.
        QCOMPARE(record(5, "AppNum"), QStringLiteral("8"));
        QCOMPARE(record(5, "AppRun"), QString());
        QCOMPARE(record(5, "AppEnd"), QStringLiteral("Vantrell5"));
        QCOMPARE(record(5, "AppPrt"), QStringLiteral("0"));
    }

    // Start-up gathers its settings into one write per file and burst, and
    // syncs only files that held settings before: with fresh settings and
    // no serial port it is ready after a few disk syncs at most, its record
    // already where other copies read it; its end writes synced.
    void fewDiskSyncsBeforeReady()
    {
        VtProcess c0;
        const QString log = c0.folder() + QStringLiteral("/syncs");
        c0.setEnv(QStringLiteral("LD_PRELOAD"), QStringLiteral(VT_SYNCCOUNT_LIB));
        c0.setEnv(QStringLiteral("VT_SYNC_LOG"), log);
        c0.setEnv(QStringLiteral("ASAN_OPTIONS"),
                  qEnvironmentVariable("ASAN_OPTIONS") + QStringLiteral(":verify_asan_link_order=0"));
        for (int n = 1; n <= 16; ++n)
            c0.setEnv(QStringLiteral("VANTRELL_COM%1").arg(n), c0.folder() + QStringLiteral("/no-port"));
        c0.start();
        QVERIFY(c0.waitStarted());
        const qint64 atReady = QFileInfo(log).size();
        QVERIFY2(atReady <= 6, qPrintable(QStringLiteral("%1 disk syncs before ready").arg(atReady)));
        QCOMPARE(record(0, "AppRun"), QStringLiteral("Vantrell0"));
        c0.terminate();
        QVERIFY(!c0.running());
        QVERIFY(QFileInfo(log).size() > atReady);
        QCOMPARE(record(0, "AppEnd"), QStringLiteral("Vantrell0"));
    }

    void smallScreenYesGoesOn()
    {
        VtProcess c0;
        c0.setScreen(640, 480);
        c0.setAnswers({QStringLiteral("Yes")});
        c0.start();
        QVERIFY(c0.waitStarted());
        QCOMPARE(c0.startedAs(), QStringLiteral("Vantrell0"));
        QCOMPARE(copyAsked(c0).size(), 1);
        QCOMPARE(record(0, "AppRun"), QStringLiteral("Vantrell0"));
    }

    void killedCopiesDoNotHoldTheirNumbers()
    {
        auto c0 = launch();
        auto c7 = launch({QStringLiteral("N=7")});
        QCOMPARE(c7->startedAs(), QStringLiteral("Vantrell7"));
        c7->stop();
        QCOMPARE(record(7, "AppRun"), QStringLiteral("Vantrell7")); // a killed copy's record still says running
        auto again = launch({QStringLiteral("N=7")});
        QCOMPARE(again->startedAs(), QStringLiteral("Vantrell7"));
        QVERIFY(copyAsked(*again).isEmpty());

        // With every copy gone, the next one is a first copy again.
        c0->stop();
        again->terminate();
        auto fresh = launch();
        QCOMPARE(fresh->startedAs(), QStringLiteral("Vantrell0"));
        QVERIFY(copyAsked(*fresh).isEmpty());
    }

    void simultaneousStartsTakeDistinctNumbers()
    {
        std::unique_ptr<VtProcess> copies[4];
        for (auto &c : copies) {
            c = std::make_unique<VtProcess>();
            c->setAnswers({QStringLiteral("Yes")});
        }
        for (auto &c : copies)
            c->start();
        QSet<QString> titles;
        for (auto &c : copies) {
            QVERIFY(c->waitStarted());
            titles.insert(c->startedAs());
        }
        QCOMPARE(titles, (QSet<QString>{QStringLiteral("Vantrell0"), QStringLiteral("Vantrell1"),
                                        QStringLiteral("Vantrell2"), QStringLiteral("Vantrell3")}));
    }
};

QTEST_GUILESS_MAIN(TestCopies)
#include "tst_copies.moc"
