#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/timers.h"
#include "shell/frmMDI.h"
#include "shell/frmMsgBox.h"
#include "shell/modErrMsgs.h"
#include "shell/modMain.h"

using namespace vt;

class TestErrMsgs : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        answers::reset();
        Err.Clear();
        errCount = 0;
        UserLevel = 0;
        setFixedNow(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    }

    void noPendingErrorDoesNothing()
    {
        errLoc(QStringLiteral("x"));
        QCOMPARE(errCount, 0);
        QCOMPARE(answers::asked().size(), 0);
    }

    void shortTextBelowLevelOne()
    {
        Err.set(RtError(53));
        errLoc(QStringLiteral("modFileOperations/GetFTitle"));
        QCOMPARE(errCount, 1);
        const auto q = answers::last().question;
        QCOMPARE(q.text, QStringLiteral("File not found\r\nmodFileOperations/GetFTitle"));
        QCOMPARE(q.buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(q.title, AppTitle);
        QCOMPARE(Err.Number, 53); // not cleared
    }

    void fullRecordFromLevelOne()
    {
        UserLevel = 3;
        errCount = 9;
        Err.set(RtError(13));
        errLoc(QString());
        const QStringList lines = answers::last().question.text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 7); // six lines each ended by CR LF
        QCOMPARE(lines[0], QStringLiteral("<Begin=10>") + QString(26, u'-'));
        QCOMPARE(lines[1], QStringLiteral(" M=Type mismatch"));
        QCOMPARE(lines[2], QStringLiteral(" N=13"));
        QCOMPARE(lines[3], QStringLiteral(" S="));
        QVERIFY(lines[4].startsWith(QStringLiteral(" T=")) && lines[4].contains(QStringLiteral("05:06:07")));
        QCOMPARE(lines[5], QStringLiteral("<End=10>") + QString(28, u'-'));
        QCOMPARE(lines[0].size(), lines[5].size());
        QCOMPARE(lines[6], QString());
    }

    void countStopsAtMaximum()
    {
        errCount = std::numeric_limits<int32_t>::max();
        Err.set(RtError(5));
        errLoc(QStringLiteral("x"));
        QCOMPARE(errCount, std::numeric_limits<int32_t>::max());
    }

    void otherReporters()
    {
        seeErrBox();
        seeErrLoc(QStringLiteral("here"));
        QCOMPARE(answers::asked().size(), 0);
        Err.set(RtError(9));
        seeErrLoc(QStringLiteral("here"));
        QCOMPARE(answers::last().question.text, QStringLiteral("here\r\nSubscript out of range"));
        seeExcBug(QStringLiteral("L"));
        QVERIFY(answers::last().question.text.endsWith(QStringLiteral("Excel.  \r\nWe are working on this problem...\r\nLocation: L")));
    }

    void msgBoxFlags_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("okOnly");
        QTest::addColumn<int>("flags"); // bit 0 yes, 1 no, 2 cancel
        QTest::newRow("yes") << "Yes" << false << 1;
        QTest::newRow("no") << "No" << false << 2;
        QTest::newRow("cancel") << "Cancel" << false << 4;
        QTest::newRow("ok") << "OK" << true << 0;
        QTest::newRow("unanswered takes Yes") << QString() << false << 1;
    }
    void msgBoxFlags()
    {
        QFETCH(QString, answer);
        QFETCH(bool, okOnly);
        QFETCH(int, flags);
        // A previous answer is cleared when the box loads.
        frmMDI::bYes = frmMDI::bNo = frmMDI::bCancel = true;
        if (!answer.isEmpty())
            answers::queue(answer);
        shoMsgBox(QStringLiteral("File CFile1 has changed !"), QStringLiteral("Save changes ?"), okOnly);
        QCOMPARE(int(frmMDI::bYes) | int(frmMDI::bNo) << 1 | int(frmMDI::bCancel) << 2, flags);
        const auto q = answers::last().question;
        QCOMPARE(q.title, QStringLiteral("Save changes ?"));
        QCOMPARE(q.buttons.size(), okOnly ? 1 : 3);
        QVERIFY(!frmMsgBox::isLoaded());
    }

    void closeAndEscDoNothing()
    {
        frmMsgBox *box = frmMsgBox::get();
        box->cmdYes->setVisible(true);
        box->show();
        QCloseEvent ev;
        QCoreApplication::sendEvent(box, &ev);
        QVERIFY(!ev.isAccepted());
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(frmMsgBox::isLoaded());
        QVERIFY(box->isVisible());
        box->cmdNo->click();
        QVERIFY(frmMDI::bNo);
        QVERIFY(!frmMsgBox::isLoaded());
        QCOMPARE(box->lblMsg->text(), QString());
    }

    void enterPressesFocusedOrFirstButton_data()
    {
        QTest::addColumn<bool>("okOnly");
        QTest::addColumn<QString>("focus"); // empty: no button has the focus
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("flags"); // bit 0 yes, 1 no, 2 cancel
        QTest::newRow("Enter on No") << false << "cmdNo" << int(Qt::Key_Return) << 2;
        QTest::newRow("keypad Enter on Cancel") << false << "cmdCancel" << int(Qt::Key_Enter) << 4;
        QTest::newRow("Enter on Yes") << false << "cmdYes" << int(Qt::Key_Return) << 1;
        QTest::newRow("no focus: Yes") << false << "" << int(Qt::Key_Enter) << 1;
        QTest::newRow("OK only") << true << "cmdOk" << int(Qt::Key_Return) << 0;
        QTest::newRow("OK only, no focus") << true << "" << int(Qt::Key_Enter) << 0;
    }
    void enterPressesFocusedOrFirstButton()
    {
        QFETCH(bool, okOnly);
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, flags);
        frmMsgBox *box = frmMsgBox::get();
        for (QPushButton *b : {box->cmdYes, box->cmdNo, box->cmdCancel})
            b->setVisible(!okOnly);
        box->cmdOk->setVisible(okOnly);
        box->show();
        QWidget *target = box;
        if (!focus.isEmpty()) {
            target = box->findChild<QPushButton *>(focus);
            QVERIFY(target);
            target->setFocus();
        }
        const Qt::KeyboardModifiers mods = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(target, Qt::Key(key), mods);
        QVERIFY(!frmMsgBox::isLoaded()); // the box answered and went
        QCOMPARE(int(frmMDI::bYes) | int(frmMDI::bNo) << 1 | int(frmMDI::bCancel) << 2, flags);
    }

    void guardedHandlersReportThroughErrLoc()
    {
        installErrorReporter();
        guarded(QStringLiteral("frmX/cmd_Click"), [] { raise(76); });
        QCOMPARE(errCount, 1);
        QCOMPARE(answers::last().question.text, QStringLiteral("Path not found\r\nfrmX/cmd_Click"));
    }
};

QTEST_MAIN(TestErrMsgs)
#include "tst_errmsgs.moc"
