#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

#include "platform/answers.h"
#include "platform/errors.h"
#include "shell/modErrMsgs.h"
#include "shell/modFileOperations.h"
#include "shell/modMain.h"

using namespace vt;

namespace {
void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}
QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

class TestFileOperations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installErrorReporter(); }
    void init()
    {
        Err.Clear();
        answers::reset();
        errCount = 0;
        UserLevel = 0;
    }

    void fileTitle_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("unix path") << "/data/shots.rtf" << "shots.rtf";
        QTest::newRow("backslashes") << "C:\\Data\\shots.rtf" << "shots.rtf";
        QTest::newRow("bare name") << "shots.rtf" << "shots.rtf";
        QTest::newRow("no extension") << "/data/CFile3" << "CFile3";
        QTest::newRow("folder only") << "/data/" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("wildcard") << "/data/*.rtf" << "";
    }
    void fileTitle()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(GetFTitle(path), title);
        QVERIFY(answers::asked().isEmpty()); // no error box on the normal path
        QCOMPARE(errCount, 0);
    }

    void fileExists()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.rtf"));
        writeFile(file, "x");
        QVERIFY(filExist(file));
        QVERIFY(!filExist(dir.filePath(QStringLiteral("missing.rtf"))));
        QVERIFY(!filExist(dir.filePath(QStringLiteral("nofolder/a.rtf"))));
        QVERIFY(!filExist(dir.path()));
        QVERIFY(!filExist(QString()));
        if (geteuid() != 0) { // root reads everything
            QFile::setPermissions(file, QFileDevice::WriteOwner);
            QVERIFY(!filExist(file));
        }
        QVERIFY(answers::asked().isEmpty());
    }

    void copyFile()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("vantboox.ixi"));
        const QString dst = dir.filePath(QStringLiteral("CBoox.xls"));
        writeFile(src, QByteArray(200000, 'T'));
        QCOMPARE(CopyFile(src, dst), int16_t(0));
        QCOMPARE(readFile(dst), readFile(src));
        QVERIFY(answers::asked().isEmpty());

        // Onto an existing file: the user is asked; No keeps the old file and still gives 0.
        writeFile(dst, "old");
        answers::queue(QStringLiteral("No"));
        QCOMPARE(CopyFile(src, dst), int16_t(0));
        QCOMPARE(readFile(dst), QByteArray("old"));
        QCOMPARE(answers::last().question.buttons, (QStringList{"Yes", "No"}));
        QVERIFY(answers::last().question.text.contains(QStringLiteral("CBoox.xls")));
        answers::queue(QStringLiteral("Yes"));
        QCOMPARE(CopyFile(src, dst), int16_t(0));
        QCOMPARE(readFile(dst), readFile(src));

        // Into a folder.
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
        QCOMPARE(CopyFile(src, dir.filePath(QStringLiteral("sub"))), int16_t(0));
        QCOMPARE(readFile(dir.filePath(QStringLiteral("sub/vantboox.ixi"))), readFile(src));
    }

    void copyFailuresReport_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<int>("error");
        QTest::newRow("no source") << "missing.ixi" << "out.xls" << 53;
        QTest::newRow("no target folder") << "src.ixi" << "nofolder/out.xls" << 76;
    }
    void copyFailuresReport()
    {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(int, error);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("src.ixi")), "data");
        // A failed copy is no success: it gives 1 and the error box names the place.
        QCOMPARE(CopyFile(dir.filePath(source), dir.filePath(destination)), int16_t(1));
        QCOMPARE(Err.Number, error);
        QCOMPARE(errCount, 1);
        QVERIFY(answers::last().question.text.endsWith(QStringLiteral("CopyFile module")));
        QVERIFY(!QFile::exists(dir.filePath(destination)));
    }
};

QTEST_MAIN(TestFileOperations)
#include "tst_modFileOperations.moc"
