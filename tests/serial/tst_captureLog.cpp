// The terminal window's capture log: its commands and their stamps, the open
// dialog's questions, a second log closing the first, failures, and received
// text reaching the disk chunk by chunk.
#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "serial/frmTerminal.h"
#include "serial/modCapLog.h"
#include "serial/modRxEngine.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"

using namespace vt;

namespace {

// The panel's side of the log: the proposal (kept by the stand-in) and how
// often it was asked to refresh its buttons.
struct FakeRemote : RemoteNbr {
    int fixes = 0;
    void fixCLogCmds() override { ++fixes; }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The stamp words of a log, in order.
QStringList stamps(const QByteArray &log)
{
    QStringList words;
    for (const QByteArray &part : log.split('\n'))
        if (part.startsWith("TAG:"))
            words << QString::fromLatin1(part.mid(4, part.indexOf('-') - 4));
    return words;
}

} // namespace

class TestCaptureLog : public QObject {
    Q_OBJECT
    frmTerminal *term = nullptr;
    FakeRemote remote;
    QTemporaryDir dir;

    void feed(QString chunk) { term->putRxData(term->txtTerm, chunk); }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    void propose(const char *name) { nbrRemote().setHwrCLogName(dir.path() + u'/', QString::fromLatin1(name)); }
    // Which of open, start, pause, resume, close are enabled.
    QString enabled() const
    {
        QString s;
        for (QAction *a : {term->mnuOpenLog, term->mnuCLogStart, term->mnuCLogPaz, term->mnuCLogRes, term->mnuCloseLog})
            s += a->isEnabled() ? u'1' : u'0';
        return s;
    }

private slots:
    void initTestCase()
    {
        installRemote(&remote);
        term = frmTerminal::get();
    }
    void cleanupTestCase() { installRemote(nullptr); }
    void init()
    {
        answers::reset();
        Err.Clear();
        zapRxData();
        term->txtTerm->SetText(QString());
        RxRoute[0] = true;
        RxRoute[1] = RxRoute[2] = false;
        term->mnuCloseLog_Click();
        remote.fixes = 0;
    }

    void startPauseResumeClose()
    {
        propose("cap.txt");
        QCOMPARE(enabled(), QStringLiteral("11000"));
        term->mnuCLogStart->trigger();
        QCOMPARE(enabled(), QStringLiteral("00101"));
        QVERIFY(term->windowTitle().endsWith(u'(' + path("cap.txt") + u')'));
        feed(QStringLiteral("A1\r\n"));
        term->mnuCLogPaz->trigger();
        QCOMPARE(enabled(), QStringLiteral("00011"));
        feed(QStringLiteral("hidden\r\n"));
        term->mnuCLogRes->trigger();
        feed(QStringLiteral("B2\r\n"));
        term->mnuCloseLog->trigger();
        QCOMPARE(enabled(), QStringLiteral("11000"));
        QVERIFY(term->windowTitle().endsWith(QStringLiteral("(Log turned off)")));
        QVERIFY(remote.fixes >= 4); // the panel's buttons follow every command

        const QByteArray log = readAll(path("cap.txt"));
        QCOMPARE(stamps(log), (QStringList{"Start", "Pause", "Resume", "Close"}));
        QVERIFY(log.startsWith("\r\n\r\nTAG:Start-{Date="));
        QVERIFY(!log.contains("hidden"));
        // Received text unchanged, between the stamps where it arrived.
        const int a = int(log.indexOf("A1\r\n")), pause = int(log.indexOf("TAG:Pause"));
        const int resume = int(log.indexOf("TAG:Resume")), b = int(log.indexOf("B2\r\n"));
        QVERIFY(a > 0 && a < pause && pause < resume && resume < b && b < log.indexOf("TAG:Close"));
    }

    void receivedTextIsOnDiskAtOnce()
    {
        // What was received is in the file as soon as it arrived: a program
        // killed right after loses none of it.
        propose("live.txt");
        term->StrtCLog();
        feed(QStringLiteral("V=2750\r\n"));
        QVERIFY(readAll(path("live.txt")).endsWith("V=2750\r\n"));
        feed(QStringLiteral("V=27"));
        QVERIFY(readAll(path("live.txt")).endsWith("V=27"));
    }

    void openAsksAboutAnExistingFile_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QByteArray>("head"); // what the log begins with
        QTest::newRow("No appends") << QStringList{"old.log", "No"} << QByteArray("OLD\r\n\r\nTAG:Open-");
        QTest::newRow("Yes replaces") << QStringList{"old.log", "Yes"} << QByteArray("\r\n\r\nTAG:Open-");
        QTest::newRow("Cancel asks again") << QStringList{"old.log", "Cancel", "old.log", "No"}
                                           << QByteArray("OLD\r\n\r\nTAG:Open-");
    }
    void openAsksAboutAnExistingFile()
    {
        QFETCH(QStringList, answers);
        QFETCH(QByteArray, head);
        QFile old(path("old.log"));
        QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("OLD");
        old.close();
        propose("vantlogs0.txt");
        for (const QString &a : answers)
            answers::queue(a == u"old.log" ? path("old.log") : a);
        term->mnuOpenLog->trigger();
        QCOMPARE(answers::asked().size(), answers.size());
        QCOMPARE(answers::asked().first().question.title, QStringLiteral("Open CLog File"));
        QCOMPARE(answers::asked().at(1).question.text, QStringLiteral("Replace existing file - ") + path("old.log") + u'?');
        // The open command keeps the chosen name as the next proposal and
        // shows the folder in the caption.
        QCOMPARE(nbrRemote().hwrCLogFile(), QStringLiteral("old.log"));
        QVERIFY(term->windowTitle().endsWith(u'(' + dir.path() + QStringLiteral("/)")));
        term->mnuCloseLog_Click();
        QVERIFY(readAll(path("old.log")).startsWith(head));
        QCOMPARE(stamps(readAll(path("old.log"))), (QStringList{"Open", "Close"}));
    }

    void openCancelledChangesNothing()
    {
        propose("none.txt");
        answers::queue(QStringLiteral("Cancel"));
        term->mnuOpenLog->trigger();
        QCOMPARE(cLogFile, int16_t(0));
        QVERIFY(!QFile::exists(path("none.txt")));
        QCOMPARE(enabled(), QStringLiteral("11000"));
    }

    void aSecondStartClosesTheFirst()
    {
        // The panel's start button may be pressed while a log is open.
        propose("first.txt");
        term->StrtCLog();
        feed(QStringLiteral("one\r\n"));
        propose("second.txt");
        term->StrtCLog();
        feed(QStringLiteral("two\r\n"));
        term->mnuCloseLog_Click();
        QCOMPARE(stamps(readAll(path("first.txt"))), (QStringList{"Start", "Close"}));
        QVERIFY(!readAll(path("first.txt")).contains("two"));
        QCOMPARE(stamps(readAll(path("second.txt"))), (QStringList{"Start", "Close"}));
        QVERIFY(readAll(path("second.txt")).contains("two\r\n"));
    }

    void startFailureLeavesNoLog()
    {
        nbrRemote().setHwrCLogName(dir.path() + QStringLiteral("/missing/"), QStringLiteral("x.txt"));
        term->StrtCLog();
        QCOMPARE(cLogFile, int16_t(0));
        QVERIFY(!cLogOn);
        QCOMPARE(answers::asked().size(), 1);
        QVERIFY(!answers::last().question.text.isEmpty());
        QCOMPARE(answers::last().question.icon, QStringLiteral("Critical"));
        QCOMPARE(enabled(), QStringLiteral("11000"));
    }

    void defaultProposal()
    {
        // The stand-in's proposal until the panel keeps one.
        RemoteNbr plain;
        plain.setHwrCLogName(QString(), QString());
        QCOMPARE(plain.hwrCLogFile(), QStringLiteral("vantlogs0.txt"));
        QVERIFY(plain.hwrCLogPath().endsWith(u'/'));
    }
};

QTEST_MAIN(TestCaptureLog)
#include "tst_captureLog.moc"
