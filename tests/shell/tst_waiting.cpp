// The waiting rule: while the program waits, the user's Abort ends the wait
// and a command that needs the busy lock is refused with the lock's message.
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "common/busyfixture.h"
#include "platform/answers.h"
#include "platform/waiting.h"
#include "shell/frmFPrgrs.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"

using namespace vt;

class TestWaiting : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        vttest::freshBusyLock();
    }
    void cleanup()
    {
        if (frmFPrgrs::isLoaded())
            frmFPrgrs::get()->unload();
        QCOMPARE(waiting::depth(), 0);
    }

    // The waiting work holds the lock; a command arriving during the wait is
    // refused with the lock's message. "No" lets the wait go on to its end,
    // "Yes" (abort the task anyway) ends it as aborted.
    void commandDuringWaitIsRefused_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("end");
        QTest::newRow("keep waiting") << "No" << int(waiting::End::Done);
        QTest::newRow("abort the task") << "Yes" << int(waiting::End::Aborted);
    }
    void commandDuringWaitIsRefused()
    {
        QFETCH(QString, answer);
        QFETCH(int, end);
        CroTaskGuard work;
        QVERIFY(!work.refused());
        answers::queue(answer);
        bool tried = false, refused = false, ranInside = false;
        // The user's command, as an event during the wait.
        QTimer::singleShot(0, [&] {
            ranInside = waiting::depth() == 1;
            CroTaskGuard command;
            refused = command.refused();
            tried = true;
        });
        bool finished = false;
        if (answer == QLatin1String("No"))
            QTimer::singleShot(0, [&finished] { finished = true; });
        const waiting::End got = waiting::until(
            {.done = [&] { return tried && finished; }, .boundMs = 60000, .aborted = [] { return abortTask; }});
        QCOMPARE(int(got), end);
        QVERIFY(ranInside);
        QVERIFY(refused);
        QCOMPARE(answers::asked().size(), 1);
        QVERIFY(answers::last().question.text.contains(QStringLiteral("can't execute this function right now")));
        QVERIFY(croTask(0)); // the waiting work still holds the lock
    }

    // The progress window's Abort, clicked during the wait, ends it.
    void progressAbortEndsWait()
    {
        frmFPrgrs *prg = frmFPrgrs::get();
        prg->abortAsked = false;
        prg->show();
        QTimer::singleShot(0, prg, [prg] { QTest::mouseClick(prg->cmdSetPrgTab, Qt::LeftButton); });
        const waiting::End got = waiting::until({.boundMs = 60000, .aborted = [prg] { return prg->abortAsked; }});
        QCOMPARE(int(got), int(waiting::End::Aborted));
    }

    // A wait with nothing to end it lasts its bound and never ends sooner.
    void boundIsKept()
    {
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(int(waiting::until({.boundMs = 120})), int(waiting::End::Bound));
        QVERIFY(clock.elapsed() >= 120);
        // A condition already true ends the wait at once, bound or not.
        QCOMPARE(int(waiting::until({.done = [] { return true; }, .boundMs = 0})), int(waiting::End::Done));
    }

    // A modal window returns control once it is hidden, closed or gone, and
    // keeps the modality it had before.
    void modalEndsWithItsWindow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("hidden") << "hide";
        QTest::newRow("closed") << "close";
        QTest::newRow("deleted") << "delete";
    }
    void modalEndsWithItsWindow()
    {
        QFETCH(QString, how);
        auto *window = new QWidget;
        const QPointer<QWidget> alive(window);
        window->setWindowModality(Qt::NonModal);
        bool wasModal = false;
        QTimer::singleShot(0, [window, how, &wasModal] {
            wasModal = window->isVisible() && window->windowModality() == Qt::ApplicationModal
                && waiting::depth() == 1;
            if (how == QLatin1String("hide"))
                window->hide();
            else if (how == QLatin1String("close"))
                window->close();
            else
                delete window;
        });
        waiting::modal(window);
        QVERIFY(wasModal);
        if (how == QLatin1String("delete")) {
            QVERIFY(alive.isNull());
            return;
        }
        QVERIFY(!window->isVisible());
        QCOMPARE(window->windowModality(), Qt::NonModal);
        delete window;
    }
};

QTEST_MAIN(TestWaiting)
#include "tst_waiting.moc"
