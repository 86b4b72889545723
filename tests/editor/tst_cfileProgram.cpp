// The real program: its first CFile takes the file named on the command line,
// and closes with the program.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/files.h"
#include "common/vtprocess.h"
#include "platform/settings.h"

class TestCFileProgram : public QObject {
    Q_OBJECT
private slots:
    void startUpFileOpensInTheFirstCFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("shots.txt"));
        QVERIFY(vttest::writeFile(file, "812 fps\r\n"));

        vttest::VtProcess copy;
        copy.start({file});
        QVERIFY(copy.waitStarted());
        const QString app = copy.startedAs();
        copy.terminate();
        QVERIFY(copy.waitFinished());
        // Loaded as a CFile: it heads the recent files. Closed with the
        // program, unchanged, without a question: its window state was kept.
        QCOMPARE(vt::GetSetting(app, QStringLiteral("MRU"), QStringLiteral("File1")), file);
        QVERIFY(!vt::GetSetting(app, QStringLiteral("CFile"), QStringLiteral("CFileState")).isEmpty());
        for (const vttest::Asked &a : copy.asked())
            QVERIFY2(!a.text.contains(QStringLiteral("has changed")), qPrintable(a.text));
    }
};

QTEST_MAIN(TestCFileProgram)
#include "tst_cfileProgram.moc"
