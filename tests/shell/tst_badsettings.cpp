// Starting with a settings file or folder that cannot be read or written
// whole: the program starts with what it could read and says once which
// file is at fault and why, keeping a broken file's original beside it.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include "common/vtprocess.h"

using namespace vttest;

namespace {

const QString kTitle = QStringLiteral("Vantrell - Settings");

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QList<Asked> settingsNotices(const VtProcess &copy)
{
    QList<Asked> out;
    for (const Asked &a : copy.asked())
        if (a.title == kTitle)
            out.append(a);
    return out;
}

} // namespace

class TestBadSettings : public QObject {
    Q_OBJECT
private slots:
    void unreadableLines_data()
    {
        QTest::addColumn<QByteArray>("broken");
        QTest::newRow("line without =") << QByteArray("just some words\n");
        QTest::newRow("unclosed section") << QByteArray("[Pemdora\nAppNum=9\n");
        QTest::newRow("random bytes") << QByteArray("\x01\xff[\x80=\n\xfe\x00\x7f]]\n", 12);
    }

    // Every start used to end in a bare "Path/File access error", after
    // rewriting the file without its unreadable lines.
    void unreadableLines()
    {
        QFETCH(QByteArray, broken);
        QTemporaryDir dir;
        const QString folder = dir.path();
        const QString file = folder + QStringLiteral("/Vantrell0.ini");
        const QByteArray original = "[frmComSet]\nSettings=\"9600,n,8,1\"\n" + broken + "[Keep]\nMe=yes\n";
        write(file, original);

        for (int start = 0; start < 2; ++start) {
            VtProcess copy;
            copy.setEnv(QStringLiteral("VANTRELL_CONFIG"), folder);
            copy.start();
            QVERIFY2(copy.waitStarted(), qPrintable(copy.errors()));
            QCOMPARE(copy.startedAs(), QStringLiteral("Vantrell0"));
            const QList<Asked> notices = settingsNotices(copy);
            if (start == 1) {
                // The start rewrote the file with what it could read: nothing
                // is left to tell.
                QVERIFY(notices.isEmpty());
                break;
            }
            QCOMPARE(notices.size(), 1);
            QVERIFY2(notices[0].text.contains(file) && notices[0].text.contains(QStringLiteral("cannot be read")),
                     qPrintable(notices[0].text));
            QVERIFY(notices[0].text.contains(file + QStringLiteral(".orig")));
            copy.stop();
        }
        QCOMPARE(contents(file + QStringLiteral(".orig")), original);
        const QByteArray now = contents(file);
        QVERIFY2(now.contains("Me=yes") && now.contains("9600,n,8,1") && now.contains("AppRun"), now.constData());
    }

    void unusableFileOrFolder_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder is a file") << "folder is a file" << "Not a directory";
        QTest::newRow("file is a folder") << "file is a folder" << "Is a directory";
        QTest::newRow("read-only folder") << "read-only folder" << "Permission denied";
        QTest::newRow("unreadable file") << "unreadable file" << "Permission denied";
    }

    void unusableFileOrFolder()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const bool byPermission = kind.startsWith(QStringLiteral("read-only")) || kind.startsWith(QStringLiteral("unreadable"));
        if (byPermission && ::geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        QTemporaryDir dir;
        QString folder = dir.filePath(QStringLiteral("config"));
        QString blamed;
        if (kind == QStringLiteral("folder is a file")) {
            write(folder, "not a folder");
            folder += QStringLiteral("/vantrell");
            blamed = folder;
        } else {
            QDir().mkpath(folder);
            const QString file = folder + QStringLiteral("/Vantrell0.ini");
            blamed = file;
            if (kind == QStringLiteral("file is a folder")) {
                QDir().mkpath(file);
            } else if (kind == QStringLiteral("unreadable file")) {
                write(file, "[Keep]\nMe=yes\n");
                QFile::setPermissions(file, QFileDevice::WriteOwner);
            } else {
                QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
                blamed = folder;
            }
        }
        VtProcess copy;
        copy.setEnv(QStringLiteral("VANTRELL_CONFIG"), folder);
        copy.start();
        const bool started = copy.waitStarted();
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY2(started, qPrintable(copy.errors()));
        const QList<Asked> notices = settingsNotices(copy);
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices[0].text.contains(blamed) && notices[0].text.contains(reason)
                     && notices[0].text.contains(QStringLiteral("will not be saved")),
                 qPrintable(notices[0].text));
        for (const Asked &a : copy.asked())
            QVERIFY2(!a.text.contains(QStringLiteral("Path/File access error")), qPrintable(a.text));
    }
};

QTEST_GUILESS_MAIN(TestBadSettings)
#include "tst_badsettings.moc"
