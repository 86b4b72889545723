// Saving a whole file: the error a failed save raises names the file and the
// system's reason, and the file that was there survives the failure.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/errors.h"
#include "platform/filesave.h"

using namespace vt;

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The error a call raises (number 0 when none).
RtError failureOf(const std::function<void()> &body)
{
    try {
        body();
    } catch (const RtError &e) {
        return e;
    }
    return RtError(0, QStringLiteral("-"));
}

const char *kFullDiskVar = "VT_FULL_DISK_DIR";

} // namespace

class TestFileSave : public QObject {
    Q_OBJECT
private slots:
    void writesAndReplaces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.rtf"));
        writeWholeFile(path, "first");
        writeWholeFile(path, "second, longer");
        QCOMPARE(contents(path), QByteArray("second, longer"));
    }

    void failuresNameFileAndReason_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "no/such/x.rtf" << 76 << "No such file or directory";
        QTest::newRow("a folder in the way") << "sub" << 75 << "Is a directory";
    }

    void failuresNameFileAndReason()
    {
        QFETCH(QString, relative);
        QFETCH(int, number);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
        const QString path = dir.filePath(relative);
        const RtError e = failureOf([&] { writeWholeFile(path, "x"); });
        QCOMPARE(e.number, number);
        QVERIFY2(e.description.contains(path) && e.description.contains(reason), qPrintable(e.description));
    }

    // A small private file system that fills up: run in a copy of this test
    // inside its own mount namespace, where a tmpfs can be mounted without
    // privileges.
    void fullDiskSaysSoAndKeepsTheOldFile()
    {
        const QString dir = qEnvironmentVariable(kFullDiskVar);
        if (dir.isEmpty()) {
            QTemporaryDir mountPoint;
            QProcess p;
            p.setProcessChannelMode(QProcess::MergedChannels);
            const QString script = QStringLiteral("mount -t tmpfs -o size=64k vtfull \"$1\" 2>/dev/null || exit 77; "
                                                  "%1=\"$1\" exec \"$0\" fullDiskSaysSoAndKeepsTheOldFile")
                                       .arg(QLatin1String(kFullDiskVar));
            p.start(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                                               QCoreApplication::applicationFilePath(), mountPoint.path()});
            if (!p.waitForStarted())
                QSKIP("unshare is not available");
            QVERIFY(p.waitForFinished(120000));
            const QByteArray output = p.readAll();
            if (p.exitCode() == 77 || (p.exitCode() != 0 && output.contains("unshare failed")))
                QSKIP("no private mount namespace here");
            QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, output.constData());
            return;
        }
        const QString path = dir + QStringLiteral("/shots.rtf");
        writeWholeFile(path, "old shots");
        const RtError e = failureOf([&] { writeWholeFile(path, QByteArray(256 * 1024, 'x')); });
        QCOMPARE(e.number, 61);
        QVERIFY2(e.description.startsWith(QStringLiteral("Disk full: ") + path), qPrintable(e.description));
        QVERIFY2(e.description.contains(QStringLiteral("No space left on device")), qPrintable(e.description));
        QCOMPARE(contents(path), QByteArray("old shots"));
    }
};

QTEST_GUILESS_MAIN(TestFileSave)
#include "tst_filesave.moc"
