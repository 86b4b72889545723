// The real program, started and ended as a separate process.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "common/vtprocess.h"
#include "platform/progfolder.h"
#include "platform/settings.h"
#include "sim/kt4sim.h"

using namespace vttest;

namespace {
QString setting(const QString &section, const QString &key)
{
    return vt::GetSetting(QStringLiteral("Vantrell2"), section, key);
}
} // namespace

namespace {
// Processor time a running process has used so far, all its threads (ms).
qint64 cpuMs(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    // The fields after the command's name, which may hold spaces: state is
    // the first, user and system time the 12th and 13th.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return (fields[11].toLongLong() + fields[12].toLongLong()) * 1000 / ::sysconf(_SC_CLK_TCK);
}

// Processor time of every child process ended and reaped so far (ms).
qint64 childrenCpuMs()
{
    rusage u {};
    ::getrusage(RUSAGE_CHILDREN, &u);
    return (qint64(u.ru_utime.tv_sec) + u.ru_stime.tv_sec) * 1000 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000;
}

// A virtual X display with a window manager, for keys typed into the real
// program from outside.
struct XDisplay {
    QProcess server, wm;
    QString display;
    bool start()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            return false;
        // The server picks a free display and names it on the descriptor given.
        server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
        if (!server.waitForStarted(10000))
            return false;
        while (!server.canReadLine() && server.waitForReadyRead(30000)) {
        }
        const QString n = QString::fromLatin1(server.readLine()).trimmed();
        if (n.isEmpty())
            return false;
        display = u':' + n;
        // Keys reach a window only once a window manager has activated it.
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty())
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        wm.setProcessEnvironment(env);
        wm.start(openbox, {QStringLiteral("--sm-disable")});
        if (!wm.waitForStarted(10000))
            return false;
        // A window the program maps before the window manager has taken over
        // the screen may stay unmanaged and never be shown; the manager has
        // taken over once it names the desktops on the root.
        for (QDeadlineTimer until(60000); !xdotool({QStringLiteral("get_num_desktops")}, nullptr, 10000);
             QTest::qWait(100))
            if (until.hasExpired() || wm.state() == QProcess::NotRunning)
                return false;
        return true;
    }
    // One xdotool command; a command still running after `ms` (an activation
    // the window manager let pass, say) is ended and counts as failed.
    bool xdotool(const QStringList &args, QString *out = nullptr, int ms = 60000)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xdotool"), args);
        if (!p.waitForFinished(ms)) {
            p.kill();
            p.waitForFinished(5000);
            return false;
        }
        if (p.exitCode() != 0)
            return false;
        if (out)
            *out = QString::fromLatin1(p.readAllStandardOutput());
        return true;
    }
    // Keys, one after the other, to the program's main window.
    // A busy machine can keep the window from being found or activated for a
    // while: each try looks once and waits a bounded time for the activation,
    // and the keys go as soon as a try gets through, within two minutes.
    bool keys(qint64 pid, const QStringList &keys)
    {
        for (QDeadlineTimer until(120000); !until.hasExpired(); QTest::qWait(500))
            if (keysOnce(pid, keys, until))
                return true;
        return false;
    }
    bool keysOnce(qint64 pid, const QStringList &keys, const QDeadlineTimer &until)
    {
        // No command runs past the whole try's end.
        const auto bound = [&until](int ms) { return int(std::clamp<qint64>(until.remainingTime(), 1, ms)); };
        // Without --sync: a search that finds nothing yet fails at once and
        // the next try looks again.
        QString ids;
        if (!xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                      QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"), QStringLiteral("Vantrell")},
                     &ids, bound(10000)))
            return false;
        const QString window = ids.split(u'\n', Qt::SkipEmptyParts).value(0);
        if (window.isEmpty() || !xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window}, nullptr, bound(10000)))
            return false;
        for (const QString &k : keys)
            if (!xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("200"), k}, nullptr, bound(10000)))
                return false;
        return true;
    }
    ~XDisplay()
    {
        for (QProcess *p : {&wm, &server}) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
};

// The start-up note is a modal question of its own; these runs are about other things.
void noStartupNote(const QString &app)
{
    vt::SaveSetting(app, QStringLiteral("frmVipNotes"), QStringLiteral("ShowVipNotes"), QStringLiteral("0"));
}
} // namespace

class TestShutdown : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir(vt::settingsFolder()).removeRecursively(); }

    // The end of the session or Ctrl+C: the program closes through its main
    // window's unload, without the quit question, and writes its record, its
    // settings and the geometry it was started with.
    void signalClosesThroughUnload_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void signalClosesThroughUnload()
    {
        QFETCH(int, signal);
        const QString app = QStringLiteral("Vantrell2");
        const QString mdi = QStringLiteral("frmMDI");
        vt::SaveSetting(app, mdi, QStringLiteral("PosWinX"), QStringLiteral("1500"));
        vt::SaveSetting(app, mdi, QStringLiteral("PosWinY"), QStringLiteral("900"));
        vt::SaveSetting(app, mdi, QStringLiteral("SizWinX"), QStringLiteral("9000"));
        vt::SaveSetting(app, mdi, QStringLiteral("SizWinY"), QStringLiteral("6000"));
        vt::SaveSetting(app, QStringLiteral("frmComSet"), QStringLiteral("AutoDetect"), QStringLiteral("False"));
        vt::SaveSetting(app, QStringLiteral("frmComSet"), QStringLiteral("ChronSelect"), QStringLiteral("0"));
        noStartupNote(app);
        // The copy opens its link port on the simulated chronograph at
        // start-up and closes it again on the way out.
        vt::sim::Kt4Sim sim;
        QVERIFY(sim.start());
        VtProcess copy;
        copy.setEnv(QStringLiteral("VANTRELL_COM1"), sim.portName());
        copy.start({QStringLiteral("N=2")});
        QVERIFY(copy.waitStarted());
        QCOMPARE(copy.startedAs(), app);
        QCOMPARE(record(2, QStringLiteral("AppRun")), app);
        QVERIFY(sim.waitForPeer(true));
        QCOMPARE(record(2, QStringLiteral("AppPrt")), QStringLiteral("1"));
        ::kill(pid_t(copy.pid()), signal);
        QVERIFY(copy.waitFinished());
        QVERIFY(sim.waitForPeer(false));
        QCOMPARE(copy.exitCode(), 0);
        QVERIFY2(copy.asked().isEmpty(), qPrintable(copy.asked().value(0).text));
        QCOMPARE(record(2, QStringLiteral("AppNum")), QStringLiteral("5"));
        QCOMPARE(record(2, QStringLiteral("AppRun")), QString());
        QCOMPARE(record(2, QStringLiteral("AppEnd")), app);
        QCOMPARE(record(2, QStringLiteral("AppPrt")), QStringLiteral("0"));
        QCOMPARE(setting(mdi, QStringLiteral("PosWinX")), QStringLiteral("1500"));
        QCOMPARE(setting(mdi, QStringLiteral("PosWinY")), QStringLiteral("900"));
        QCOMPARE(setting(mdi, QStringLiteral("SizWinX")), QStringLiteral("9000"));
        QCOMPARE(setting(mdi, QStringLiteral("SizWinY")), QStringLiteral("6000"));
        QCOMPARE(setting(QStringLiteral("frmVipNotes"), QStringLiteral("ShowWarn")), QStringLiteral("True"));
        QCOMPARE(setting(QStringLiteral("frmErrox"), QStringLiteral("gxMoxErc")), QStringLiteral("0"));
    }

    // A hand-edited setting that does not convert takes its default: the
    // program comes up, asks nothing about it, and ends cleanly on a signal.
    void badSettingStillStarts()
    {
        const QString app = QStringLiteral("Vantrell2");
        vt::SaveSetting(app, QStringLiteral("frmVipNotes"), QStringLiteral("ShowWarn"), QStringLiteral("yes"));
        vt::SaveSetting(app, QStringLiteral("frmMDI"), QStringLiteral("SizWinX"), QStringLiteral("abc"));
        for (const char *key : {"AutoDetect", "AutoConnect"})
            vt::SaveSetting(app, QStringLiteral("frmComSet"), QString::fromLatin1(key), QStringLiteral("False"));
        vt::SaveSetting(app, QStringLiteral("frmComSet"), QStringLiteral("ChronSelect"), QStringLiteral("0"));
        noStartupNote(app);
        VtProcess copy;
        copy.start({QStringLiteral("N=2")});
        QVERIFY(copy.waitStarted());
        QVERIFY2(copy.asked().isEmpty(), qPrintable(copy.asked().value(0).text));
        copy.terminate();
        QVERIFY(!copy.running());
        QCOMPARE(record(2, QStringLiteral("AppRun")), QString());
        QCOMPARE(record(2, QStringLiteral("AppEnd")), app);
        QCOMPARE(setting(QStringLiteral("frmVipNotes"), QStringLiteral("ShowWarn")), QStringLiteral("True"));
    }

    // Recovery copies left by the last run are named once at the next start.
    void recoveredNoticeAtNextStart()
    {
        const QString app = QStringLiteral("Vantrell2");
        for (const char *key : {"AutoDetect", "AutoConnect"})
            vt::SaveSetting(app, QStringLiteral("frmComSet"), QString::fromLatin1(key), QStringLiteral("False"));
        vt::SaveSetting(app, QStringLiteral("frmComSet"), QStringLiteral("ChronSelect"), QStringLiteral("0"));
        const QString path = vt::programFolder() + QStringLiteral("/recovered/CFile1 2026-12-10 101500.rtf");
        vt::SaveSetting(app, QStringLiteral("Recovered"), QStringLiteral("File1"), path);
        noStartupNote(app);
        VtProcess copy;
        copy.start({QStringLiteral("N=2")});
        QVERIFY(copy.waitStarted());
        QTRY_COMPARE(copy.asked().size(), 1);
        QVERIFY2(copy.asked().first().text.contains(QStringLiteral("CFile1 2026-12-10 101500.rtf")),
                 qPrintable(copy.asked().first().text));
        QVERIFY(vt::GetAllSettings(app, QStringLiteral("Recovered")).isEmpty());
        copy.terminate();
        QVERIFY(!copy.running());
    }

    // A crash in the middle of a capture: the user starts it from Chrono >
    // Start (keys on a real X display: the offscreen platform takes none from
    // outside), the simulated chronograph's shots reach the recovery copy on
    // disk while the program runs, a SIGKILL leaves it there, and the next
    // start names it.
    void killDuringCaptureLeavesTheShots()
    {
        XDisplay x;
        if (!x.start())
            QSKIP("Xvfb, xdotool and a window manager that takes over are needed to give the real program keys");
        const QString app = QStringLiteral("Vantrell2");
        vt::SaveSetting(app, QStringLiteral("frmComSet"), QStringLiteral("AutoDetect"), QStringLiteral("False"));
        vt::SaveSetting(app, QStringLiteral("frmComSet"), QStringLiteral("ChronSelect"), QStringLiteral("0"));
        noStartupNote(app);
        vt::sim::Kt4Sim sim;
        QVERIFY(sim.start());
        sim.unit().armed = true;
        sim.options().shotsToFire = 100000;
        sim.options().everyMs = 100;
        VtProcess copy;
        copy.setEnv(QStringLiteral("VANTRELL_COM1"), sim.portName());
        copy.setEnv(QStringLiteral("DISPLAY"), x.display);
        copy.setEnv(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        copy.setAnswers({QStringLiteral("No")}); // no calibration
        copy.start({QStringLiteral("N=2")});
        QVERIFY(copy.waitStarted());
        QVERIFY(sim.waitForPeer(true));
        sim.clearReceived();
        QVERIFY2(x.keys(copy.pid(), {QStringLiteral("alt+c"), QStringLiteral("s")}),
                 qPrintable(copy.running() ? QStringLiteral("the program runs; its errors: ") + copy.errors()
                                           : QStringLiteral("the program ended with ") + QString::number(copy.exitCode())
                                                 + QStringLiteral(": ") + copy.errors()));

        // The copy's file, once the program has made one.
        const QString folder = vt::programFolder() + QStringLiteral("/recovered");
        auto copyName = [&folder] { return QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files).value(0); };
        auto copyText = [&folder, &copyName] {
            QFile f(folder + u'/' + copyName());
            return !copyName().isEmpty() && f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        QTRY_VERIFY_WITH_TIMEOUT(copyText().contains(QStringLiteral("CAP:")), 60000);
        // The shots sent from here on (the first line may be cut by the clearing).
        sim.clearSent();
        QTRY_VERIFY_WITH_TIMEOUT(sim.sent().count("CAP:") >= 20, 60000);
        QStringList shots = QString::fromLatin1(sim.sent()).split(QStringLiteral("\r\n")).mid(1);
        shots.removeIf([](const QString &l) { return !l.startsWith(QStringLiteral("CAP:")) || l.size() < 20; });
        auto holdsAll = [&copyText, &shots] {
            const QString text = copyText();
            return std::all_of(shots.begin(), shots.end(), [&text](const QString &l) { return text.contains(l); });
        };
        // Kept current while shots keep coming.
        QTRY_VERIFY_WITH_TIMEOUT(holdsAll(), 60000);
        copy.stop();
        QVERIFY(!copy.running());

        QVERIFY(holdsAll());
        const QString name = copyName();
        QVERIFY2(name.startsWith(QStringLiteral("CFile1 ")), qPrintable(name));
        const QString kept = copyText();
        VtProcess next;
        next.setEnv(QStringLiteral("VANTRELL_COM1"), QStringLiteral("/dev/vantrell-no-such-port"));
        next.start({QStringLiteral("N=2")});
        QVERIFY(next.waitStarted());
        // Other start-up boxes (the port that is not there) may come first.
        auto notice = [&next, &app] {
            for (const Asked &a : next.asked())
                if (a.title == app + QStringLiteral(" - Recovered CFiles"))
                    return a;
            return Asked{};
        };
        QTRY_VERIFY_WITH_TIMEOUT(!notice().text.isEmpty(), 60000);
        QVERIFY2(notice().text.contains(name) && notice().text.contains(folder), qPrintable(notice().text));
        // Named once; the copy stays for the user to open.
        QVERIFY(vt::GetAllSettings(app, QStringLiteral("Recovered")).isEmpty());
        QCOMPARE(copyText(), kept);
        next.terminate();
        QVERIFY(!next.running());
    }

    // A signal while a large start-up file loads ends the program as soon as
    // the load yields, not when it is done. Time on a busy machine says
    // little, so both copies are measured in the processor time they used:
    // the second gets the signal once it has spent a quarter of what the
    // first needed to start with the file, and must end having spent well
    // under the whole.
    void signalDuringLargeLoad()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("big.rtf"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ");
            for (int i = 0; i < 200000; ++i)
                f.write("CAP: " + QByteArray::number(10000 + i % 90000) + " 1234.5 fps {Date=12/10/2026 Time=16:51:31}\\par\n");
            f.write("}");
        }
        qint64 whole = 0;
        {
            VtProcess copy;
            copy.start({file});
            QVERIFY(copy.waitStarted(240000));
            whole = cpuMs(copy.pid());
            copy.terminate();
        }
        QVERIFY2(whole > 200, qPrintable(QString::number(whole)));
        const qint64 before = childrenCpuMs();
        VtProcess copy;
        copy.start({file});
        QVERIFY(QTest::qWaitFor([&] { return !copy.running() || cpuMs(copy.pid()) >= whole / 4; }, 240000));
        QVERIFY(copy.running());
        ::kill(pid_t(copy.pid()), SIGTERM);
        QVERIFY(copy.waitFinished());
        const qint64 spent = childrenCpuMs() - before;
        QVERIFY2(spent < whole * 3 / 4, qPrintable(QStringLiteral("%1 ms of processor time with the signal, %2 ms for a whole start")
                                                      .arg(spent)
                                                      .arg(whole)));
        QCOMPARE(copy.exitCode(), 0);
        QCOMPARE(record(0, QStringLiteral("AppEnd")), QStringLiteral("Vantrell0"));
    }

    // A first start with the default options scans for a chronograph, finds
    // none, says so and lets the user pick a port; a scripted run answers both.
    void defaultStartWithoutChronograph()
    {
        VtProcess copy;
        copy.start();
        QVERIFY(copy.waitStarted());
        const QList<Asked> asked = copy.asked();
        QCOMPARE(asked.size(), 3);
        // The box names every device the scan tried and what it found there.
        QVERIFY2(asked[0].text.startsWith(QStringLiteral("Could not select first free KT4 Chronograph.\r\n"
                                                         "There are no KT4 Chronographs present..!\r\n\r\n"
                                                         "Devices tried:\r\n"
                                                         "COM1 = /nonexistent/vantrell-com1: not present\r\n")),
                 qPrintable(asked[0].text));
        QVERIFY(asked[0].text.contains(QStringLiteral("COM16 = /nonexistent/vantrell-com16: not present")));
        QCOMPARE(asked[1].kind, QStringLiteral("dialog"));
        QCOMPARE(asked[1].title, QStringLiteral("CSetup0_1 }")); // with the copy's window suffix
        // Last, the start-up note in the notes window, shown modally.
        QCOMPARE(asked[2].kind, QStringLiteral("dialog"));
        QCOMPARE(asked[2].title, QStringLiteral("rUvuzu0_1 (20.0.0.0) "));
        copy.terminate();
        QVERIFY(!copy.running());
        QCOMPARE(record(0, QStringLiteral("AppEnd")), QStringLiteral("Vantrell0"));
    }
};

QTEST_GUILESS_MAIN(TestShutdown)
#include "tst_shutdown.moc"
