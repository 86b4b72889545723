// The workbook layout: which columns and rows the view options show on each
// sheet type, the width of column A, the source line and the import counter.
#include <QTest>

#include "export/modExpExc.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "serial/modRxEngine.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "common/xlfixture.h"

using namespace vt;
using namespace vt::xl;
using namespace vttest;

class TestXlLayout : public QObject {
    Q_OBJECT

    static SheetPtr sheet(int16_t type) { return xlApp->Workbooks(1)->Worksheets(XlSes.xlSheetName[type - 1]); }
    static SheetPtr activate(int16_t type)
    {
        SheetPtr ws = sheet(type);
        ws->Activate();
        return ws;
    }
    static QString hiddenColumns(const SheetPtr &ws)
    {
        QString out;
        for (QChar c : QStringLiteral("BCDEFGHIJKLMNOPQRSTU"))
            if (ws->Columns(QString(c))->Hidden())
                out += c;
        return out;
    }

private slots:
    void initTestCase()
    {
        resetExport();
        seedTemplate();
        answers::reset();
        QCOMPARE(int(excOpen(0, 1)), 0);
    }
    void cleanupTestCase() { resetExport(); }
    void init()
    {
        XlSes.ExpExcNHed[0] = XlSes.ExpExcNHed[1] = true;
        XlSes.ExpExcUHed[0] = XlSes.ExpExcUHed[1] = XlSes.ExpExcUHed[2] = true;
        for (int i = 0; i < 3; ++i)
            XlSes.ExpExcFSts[i] = XlSes.ExpExcIPos[i] = true;
        answers::reset();
        Err.Clear();
    }

    void defaults()
    {
        setExpDefs();
        QCOMPARE(QList<bool>({XlSes.ExpExcNHed[0], XlSes.ExpExcNHed[1]}), QList<bool>({true, false}));
        QCOMPARE(QList<bool>({XlSes.ExpExcUHed[0], XlSes.ExpExcUHed[1], XlSes.ExpExcUHed[2]}),
                 QList<bool>({true, true, false}));
        for (int i = 0; i < 3; ++i)
            QVERIFY(XlSes.ExpExcFSts[i] && XlSes.ExpExcIPos[i]);
    }

    void tables()
    {
        // A new connection starts the tables and the readers afresh.
        XlSession keep = XlSes;
        XlSes.xlLastRow[2] = 99;
        XlSes.xlSheetName[6].clear();
        EDiskPrs.prsError = true;
        EDiskPrs.prsFol = 4;
        CapExport.capBlkPend = true;
        iniExpExc();
        QCOMPARE(QStringList(std::begin(XlSes.xlSheetName), std::end(XlSes.xlSheetName)),
                 QStringList({"String", "Folder", "eDisk", "CFile", "Capture", "iSetup", "zOvu"}));
        QCOMPARE(XlSes.xlLastRow[2], 5);
        QVERIFY(!EDiskPrs.prsError && EDiskPrs.prsFol == 0 && !CapExport.capBlkPend);
        XlSes = keep;

        QCOMPARE(QStringList({getSrcTag(0), getSrcTag(1), getSrcTag(2), getSrcTag(3)}),
                 QStringList({"LGR", "MMR", "CAP", "TXT"}));
        QVERIFY(!trapErrors([] { getSrcTag(4); }));
        QCOMPARE(Err.Number, 9);
        QVERIFY(!trapErrors([] { setXlCols(8); }));
        QCOMPARE(Err.Number, 9);
        QVERIFY(!trapErrors([] { setXlBlkHdrs(0); }));
        QCOMPARE(Err.Number, 9);
    }

    void columns_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("unitCols"); // ExpExcUHed(2)
        QTest::addColumn<bool>("deviation"); // ExpExcFSts(0)
        QTest::addColumn<bool>("ballistics"); // ExpExcFSts(2)
        QTest::addColumn<bool>("folder");   // ExpExcIPos(0)
        QTest::addColumn<bool>("string");   // ExpExcIPos(1)
        QTest::addColumn<bool>("hBefore");  // H hidden before
        QTest::addColumn<QString>("hidden");
        QTest::newRow("String, all on, H was shown") << 1 << true << true << true << true << true << false << "GK";
        QTest::newRow("String, all on, H was hidden") << 1 << true << true << true << true << true << true << "GHK";
        QTest::newRow("Folder, no unit columns") << 2 << false << true << true << true << true << false << "FGHJK";
        QTest::newRow("eDisk, no statistics") << 3 << true << false << false << true << true << false << "GKPQRSTU";
        QTest::newRow("CFile, all on") << 4 << true << true << true << true << true << true << "";
        QTest::newRow("CFile, no folder") << 4 << false << true << true << false << true << false << "BFHJ";
        QTest::newRow("Capture, no string, no ballistics") << 5 << true << true << false << true << false << true << "CRSTU";
    }
    void columns()
    {
        QFETCH(int, type);
        QFETCH(bool, unitCols);
        QFETCH(bool, deviation);
        QFETCH(bool, ballistics);
        QFETCH(bool, folder);
        QFETCH(bool, string);
        QFETCH(bool, hBefore);
        QFETCH(QString, hidden);
        SheetPtr ws = activate(int16_t(type));
        ws->Range("B:U")->EntireColumn()->setHidden(false);
        ws->Range("H:H")->EntireColumn()->setHidden(hBefore);
        XlSes.ExpExcUHed[2] = unitCols;
        XlSes.ExpExcFSts[0] = deviation;
        XlSes.ExpExcFSts[2] = ballistics;
        XlSes.ExpExcIPos[0] = folder;
        XlSes.ExpExcIPos[1] = string;
        setXlCols(int16_t(type));
        QCOMPARE(hiddenColumns(ws), hidden);
    }

    void columnAWidth()
    {
        SheetPtr ws = activate(1);
        const double a = XlSes.xlTplSizes[4], b = XlSes.xlTplSizes[5], c = XlSes.xlTplSizes[6];
        XlSes.ExpExcIPos[0] = XlSes.ExpExcIPos[1] = false;
        setXlCols(1);
        QVERIFY2(qAbs(ws->Columns(QStringLiteral("A"))->ColumnWidth() - (a + b + c)) < 0.1,
                 qPrintable(QString::number(ws->Columns(QStringLiteral("A"))->ColumnWidth())));
        XlSes.ExpExcIPos[0] = XlSes.ExpExcIPos[1] = true;
        setXlCols(1);
        QVERIFY(qAbs(ws->Columns(QStringLiteral("A"))->ColumnWidth() - a) < 0.01);
    }

    void headerRows()
    {
        SheetPtr ws = activate(2);
        XlSes.ExpExcUHed[0] = false;
        XlSes.ExpExcNHed[0] = true;
        setXlHdrs(2);
        QVERIFY(ws->Rows(4)->Hidden());
        QVERIFY(!ws->Rows(3)->Hidden());
        XlSes.ExpExcUHed[0] = true;
        XlSes.ExpExcNHed[0] = false;
        setXlHdrs(2);
        QVERIFY(!ws->Rows(4)->Hidden());
        QVERIFY(ws->Rows(3)->Hidden());
    }

    void blockHeaderRows()
    {
        SheetPtr ws = sheet(4);
        const QStringList a = {" Sequence ", "sequence", "(Shots)", "Total", "other", "(Shot #)", "Total"};
        for (int k = 0; k < a.size(); ++k) {
            ws->Cells(6 + k, 1)->setValue(a[k]);
            ws->Rows(6 + k)->setHidden(k == 2);
        }
        XlSes.xlLastRow[3] = 11; // row 12 lies beyond the next row
        XlSes.ExpExcNHed[1] = false;
        XlSes.ExpExcUHed[1] = true;
        XlSes.ExpExcNHed[0] = false;
        activate(1); // the refresh finds its sheet itself
        apyXlSetup(4);
        QCOMPARE(xlApp->ActiveSheet()->Name(), QStringLiteral("CFile"));
        QList<bool> got;
        for (int r = 6; r <= 12; ++r)
            got << ws->Rows(r)->Hidden();
        QCOMPARE(got, QList<bool>({true, false, false, true, false, false, false}));
        QVERIFY(ws->Rows(3)->Hidden()); // the header row follows its own option
        // A sheet whose next row is 5 or less is not touched.
        XlSes.xlLastRow[3] = 5;
        XlSes.ExpExcNHed[1] = true;
        apyXlSetup(4);
        QVERIFY(ws->Rows(6)->Hidden());
        QVERIFY(answers::asked().isEmpty());
    }

    void refreshWithoutWorkbookShowsTheError()
    {
        AppPtr app = xlApp;
        xlApp.reset();
        apyXlSetup(1);
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(answers::last().question.kind, QStringLiteral("box"));
        QCOMPARE(Err.Number, 0);
        xlApp = app;
    }

    void sourceLineAndImportCounter()
    {
        SheetPtr ws = activate(3);
        Device = 0;
        putXlSource(1, 3);
        QCOMPARE(ws->Range("E1")->Value().toString(), QStringLiteral("Source Of This Data: eDisk from KT4 Pulsidar"));
        QCOMPARE(XlSes.xlImpCount, 1);
        QCOMPARE(ws->Range("Q1")->Value(), Variant(1.0));
        putXlSource(1, 3);
        QCOMPARE(XlSes.xlImpCount, 2);
        // The E1 text names the sheet by its type, not by what is active.
        Device = 1;
        putXlSource(1, 1);
        QCOMPARE(ws->Range("E1")->Value().toString(), QStringLiteral("Source Of This Data: String from Shooting Tarvek"));
        QCOMPARE(XlSes.xlImpCount, 3);
        // A Q1 without a number leaves the counter as it was, then counts on.
        ws->Range("Q1")->setValue(QStringLiteral("many"));
        putXlSource(1, 3);
        QCOMPARE(XlSes.xlImpCount, 4);
        QCOMPARE(ws->Range("Q1")->Value(), Variant(4.0));
        Device = 0;
    }
};

QTEST_MAIN(TestXlLayout)
#include "tst_xlLayout.moc"
