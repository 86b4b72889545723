// The real program finding its chronograph at a first start: simulated units
// run as separate processes on COM2 (a unit that never answers) and COM3 (the
// KT4); "Select First Free" must link to COM3 without asking anything.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "common/vtprocess.h"
#include "platform/settings.h"

using namespace vttest;

namespace {

// One simulated unit as its own program; its pty path and what it received.
struct SimProcess {
    QProcess proc;
    QString path;
    QString log;
    bool start(const QStringList &args, const QString &logFile)
    {
        log = logFile;
        proc.start(qEnvironmentVariable("VANTRELL_SIM_BIN"), args + QStringList{QStringLiteral("--log"), logFile});
        if (!proc.waitForReadyRead(10000))
            return false;
        path = QString::fromLocal8Bit(proc.readLine()).trimmed();
        return path.startsWith(QLatin1String("/dev/"));
    }
    // The keys it received, one line each in its log ("... 0x5A 'Z'").
    int count(const char *key) const
    {
        QFile f(log);
        return f.open(QIODevice::ReadOnly) ? int(f.readAll().count(key)) : -1;
    }
    ~SimProcess()
    {
        proc.kill();
        proc.waitForFinished(2000);
    }
};

} // namespace

class TestFindCroProgram : public QObject {
    Q_OBJECT
private slots:
    void firstStartLinksToFirstFreeKt4()
    {
        QTemporaryDir dir;
        SimProcess kt4, mute;
        QVERIFY(kt4.start({QStringLiteral("--no-pacing")}, dir.filePath(QStringLiteral("kt4.log"))));
        QVERIFY(mute.start({QStringLiteral("--mute")}, dir.filePath(QStringLiteral("mute.log"))));

        VtProcess copy;
        copy.setEnv(QStringLiteral("VANTRELL_COM2"), mute.path);
        copy.setEnv(QStringLiteral("VANTRELL_COM3"), kt4.path);
        copy.start();
        QVERIFY(copy.waitStarted(30000));
        // Nothing asked about the port; the one question is the start-up note.
        const QList<Asked> asked = copy.asked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("rUvuzu0_3 (20.0.0.0) "));
        // Linked to COM3: the port is saved and this copy's record holds it.
        QCOMPARE(vt::GetSetting(QStringLiteral("Vantrell0"), QStringLiteral("frmComSet"), QStringLiteral("CommPort")),
                 QStringLiteral("3"));
        QCOMPARE(record(0, QStringLiteral("AppPrt")), QStringLiteral("3"));
        QCOMPARE(kt4.count("'Z'"), 1);
        // The unit that never answers had its two tries.
        QCOMPARE(mute.count("'Z'"), 2);
        copy.terminate();
        QVERIFY(!copy.running());
    }
};

QTEST_GUILESS_MAIN(TestFindCroProgram)
#include "tst_findCroProgram.moc"
