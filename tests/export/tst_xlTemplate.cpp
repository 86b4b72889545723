// The workbook template the build generates: what the export reads of it
// (sheets, header rows, next rows, factors, the option table), and a new
// workbook prepared from it the way the connection does.
#include "vt_paths.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "export/xltemplate.h"
#include "platform/errors.h"
#include "platform/spreadsheet.h"

using namespace vt;
using namespace vt::xl;

class TestXlTemplate : public QObject {
    Q_OBJECT
    AppPtr app;
    BookPtr tpl;

    static QString text(const SheetPtr &ws, int r, int c) { return ws->Cells(r, c)->Value().toString().trimmed(); }

private slots:
    void init()
    {
        app = CreateApplication();
        const QString path = QDir(QStringLiteral(VT_GENERATED_DIR)).filePath(XlTemplateName);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        tpl = app->Workbooks()->Open(path, true);
    }
    void cleanup() { tpl.reset(); app.reset(); }

    void sheetsAndHeaders()
    {
        QCOMPARE(tpl->Worksheets()->Count(), 7);
        const QStringList names = xlTemplateSheets();
        for (int i = 1; i <= 7; ++i) {
            SheetPtr ws = tpl->Worksheets(i);
            QCOMPARE(ws->Name(), names[i - 1]);
            QCOMPARE(ws->Visible(), i == 7 ? int(xlSheetHidden) : int(xlSheetVisible));
            QCOMPARE(ws->Range(QStringLiteral("A1"))->Hyperlinks()->Count(), 1);
            // The next-row cell (L2 on iSetup, Q2 elsewhere) holds a row number.
            const double next = ws->Cells(2, i == 6 ? 12 : 17)->Value().toDouble();
            QVERIFY(next >= 1 && next <= 65535);
            if (i == 6)
                continue;
            QVERIFY(QStringList({"Sequence", "Total"}).contains(text(ws, 3, 1)));
            QVERIFY(QStringList({"(Shot #)", "(Shots)"}).contains(text(ws, 4, 1)));
            QVERIFY(text(ws, 3, 11) == QLatin1String("BLK") || text(ws, 4, 11) == QLatin1String("BLK"));
            QVERIFY(ws->Range(QStringLiteral("Q1"))->Value().isEmpty());     // the first import counts 1
            QVERIFY(ws->Range(QStringLiteral("S1"))->Value().isNumber());
            QVERIFY(ws->Range(QStringLiteral("S2"))->Value().isNumber());
        }
        // The sizes the connection reads from the first sheet.
        SheetPtr first = tpl->Worksheets(1);
        QVERIFY(first->Rows(3)->RowHeight() > 0 && first->Rows(4)->RowHeight() > 0);
        for (const char *c : {"F", "G", "A", "B", "C"})
            QVERIFY(first->Columns(QString::fromLatin1(c))->ColumnWidth() > 0);
    }

    void conversionFactors()
    {
        SheetPtr s = tpl->Worksheets(QStringLiteral("iSetup"));
        QVERIFY(qAbs(s->Range(QStringLiteral("D4"))->Value().number() - 0.06479891) < 1e-12);   // grains -> grams
        QVERIFY(qAbs(s->Range(QStringLiteral("D5"))->Value().number() * 0.06479891 - 1) < 1e-9); // grams -> grains
        QCOMPARE(s->Range(QStringLiteral("D6"))->Value().number(), 0.3048);                      // feet -> metres
    }

    void optionTableReadsAsTheSynchronisationReadsIt()
    {
        SheetPtr s = tpl->Worksheets(QStringLiteral("iSetup"));
        for (int t = 1; t <= 5; ++t) {
            // Columns P and T are read too and must hold numbers or nothing.
            for (int c : {14, 15, 16, 18, 19, 20})
                s->Cells(t + 1, c)->Value().toDouble();
            const int r1 = int(s->Cells(t + 1, 18)->Value().toDouble()), r2 = int(s->Cells(t + 1, 19)->Value().toDouble());
            const int c1 = int(s->Cells(t + 1, 14)->Value().toDouble()), c2 = int(s->Cells(t + 1, 15)->Value().toDouble());
            QVERIFY(r1 > 0 && r2 > 0 && c1 > 0 && c2 > 0);
            QStringList got;
            for (int k = 0; k < 3; ++k)
                got << text(s, r1, c1 + k) << text(s, r2, c1 + k) << text(s, r1, c2 + k) << text(s, r2, c2 + k);
            // units, names, statistics, positions for k = 0, 1, 2: the program's defaults
            QCOMPARE(got, QStringList({"YES", "YES", "YES", "YES", "YES", "NO", "YES", "YES", "NO", "NO", "YES", "YES"}));
        }
    }

    void newWorkbookPreparedFromTheTemplate()
    {
        // The connection's steps for a new workbook, on the stand-in.
        BookPtr wb = app->Workbooks()->Add();
        const int toAdd = 7 - wb->Worksheets()->Count();
        wb->Sheets()->Add({}, {}, toAdd);
        const QStringList names = xlTemplateSheets();
        for (int i = 1; i <= 7; ++i) {
            SheetPtr ws = wb->Worksheets(i);
            ws->setName(names[i - 1]);
            tpl->Worksheets(i)->Range(QStringLiteral("A:V"))->Copy(ws->Range(QStringLiteral("A:V")));
            for (int c = 1; c <= 12; ++c)
                QCOMPARE(ws->Cells(3, c)->Value(), tpl->Worksheets(i)->Cells(3, c)->Value());
        }
        QVERIFY(tpl->Close(false));
        for (int i = 1; i <= 7; ++i) {
            SheetPtr ws = wb->Worksheets(i);
            ws->Activate();
            app->ActiveWindow()->setZoom(75);
            ws->Rows(i == 6 ? QStringLiteral("4:4") : QStringLiteral("5:5"))->Select();
            app->ActiveWindow()->setFreezePanes(true);
            ws->Cells(1, 1)->setValue(QStringLiteral("Help"));
            ws->Cells(1, 1)->Hyperlinks(1)->setAddress(QStringLiteral("/opt/vantrell/vanthlpx.htm"));
            ws->Range(QStringLiteral("A5"))->Activate();
            ws->setVisible(i <= 6);
        }
        QCOMPARE(wb->Worksheets(7)->Visible(), int(xlSheetHidden));
        // A shot row's energy formula finds the factors of the copied iSetup sheet.
        SheetPtr cap = wb->Worksheets(QStringLiteral("Capture"));
        cap->Range(QStringLiteral("E8"))->setValue(1000);
        cap->Range(QStringLiteral("R8"))->setValue(150);
        cap->Range(QStringLiteral("U8"))->setValue(QStringLiteral("=($E8*$R8/1000)"));
        cap->Range(QStringLiteral("T8"))->setValue(QStringLiteral("=($E8*iSetup!$D$6*$R8*iSetup!$D$4)"));
        QCOMPARE(cap->Range(QStringLiteral("U8"))->Value().number(), 150.0);
        QVERIFY(qAbs(cap->Range(QStringLiteral("T8"))->Value().number() - 304.8 * 150 * 0.06479891) < 1e-9);
    }

    void seedsAMissingTemplateAtRunTime()
    {
        QTemporaryDir dir;
        QVERIFY(seedXlTemplate(dir.path()));
        QVERIFY(QFile::exists(dir.filePath(XlPristineName)));
        QVERIFY(QFile::exists(dir.filePath(XlTemplateName)));
        // A template the user already has is kept.
        QFile::remove(dir.filePath(XlPristineName));
        QFile own(dir.filePath(XlTemplateName));
        QVERIFY(own.open(QIODevice::WriteOnly | QIODevice::Truncate));
        own.write("mine");
        own.close();
        QVERIFY(seedXlTemplate(dir.path()));
        QVERIFY(QFile::exists(dir.filePath(XlPristineName)));
        QCOMPARE(QFileInfo(dir.filePath(XlTemplateName)).size(), 4);
        QVERIFY(!seedXlTemplate(QStringLiteral("/proc/no-such-place")));
    }
};

QTEST_MAIN(TestXlTemplate)
#include "tst_xlTemplate.moc"
