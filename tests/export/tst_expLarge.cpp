// A CFile export far past row 32767, saved and read back from the file: every
// shot arrives, in order, with the statistics of its string. A test of its
// own, as it takes seconds.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "common/cfilefixture.h"
#include "common/xlfixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "export/modExpExc.h"
#include "export/modExpRdr.h"
#include "platform/answers.h"
#include "platform/richtext.h"
#include "shell/modShared.h"

using namespace vt;
using namespace vt::xl;
using namespace vttest;

class TestExpLarge : public QObject {
    Q_OBJECT

private slots:
    void cleanupTestCase() { resetExport(); }

    void fortyThousandShotsReadBack()
    {
        startEditor();
        resetExport();
        seedTemplate();
        QCOMPARE(int(excOpen(0, 4)), 0);
        installExpReaders();
        CreateNewCFile();
        frmDocument *doc = ActiveForm();
        QVERIFY(doc);
        // Strings of 40 shots, as the unit ends them: 1,000 blocks, about 44,000 rows.
        const int n = 40000, block = 40;
        doc->rtfText->SetText(shotLines(n, 1, block));
        xlApp->Workbooks(1)->Worksheets(QStringLiteral("CFile"))->Activate();
        int16_t source = 2, type = 4;
        QCOMPARE(int(expCFile(source, type)), 0);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("forty.xlsx"));
        xlApp->Workbooks(1)->SaveAs(path);
        const int next = int(XlSes.xlLastRow[3]);
        stopEditor();

        AppPtr files = CreateApplication();
        SheetPtr ws = files->Workbooks()->Open(path)->Worksheets(QStringLiteral("CFile"));
        QCOMPARE(ws->Cells(2, 17)->Value().number(), double(next));
        // Column A: a Begin label, the shot's running number, or the End label.
        int shots = 0, begins = 0, lastShotRow = 0;
        for (int r = 6; r < next; ++r) {
            const Variant a = ws->Cells(r, 1)->Value();
            if (a.isNumber()) {
                if (a.number() != shots + 1)
                    QFAIL(qPrintable(QStringLiteral("row %1 holds shot %2 after shot %3").arg(r).arg(a.number()).arg(shots)));
                ++shots;
                lastShotRow = r;
            } else if (a.toString().startsWith(QLatin1String("Begin ")) || a.toString().startsWith(QLatin1String("CAP-Import"))) {
                ++begins;
            }
        }
        QCOMPARE(shots, n);
        QCOMPARE(begins, n / block);
        QVERIFY(lastShotRow > 40000);
        QVERIFY(ws->Cells(lastShotRow + 1, 1)->Value().toString().startsWith(QLatin1String("End ")));
        QCOMPARE(ws->Cells(lastShotRow, 5)->Value().number(), 200.5);
        // The last shot's mean runs over the velocities of its string.
        double sum = 0;
        for (int k = n - block + 1; k <= n; ++k)
            sum += 200 + k % 100 + 0.5;
        QVERIFY(qFuzzyCompare(ws->Cells(lastShotRow, 14)->Value().number(), sum / block));
        files->Quit();
    }
};

QTEST_MAIN(TestExpLarge)
#include "tst_expLarge.moc"
