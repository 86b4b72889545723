// Import blocks written by the Begin, shot and End writers into a prepared
// workbook, saved as a file and read back: labels, missing values, running
// statistics, ballistics in both unit systems, the End row and Q2.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "export/modExpExc.h"
#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/spreadsheet_data.h"
#include "platform/timers.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "common/xlfixture.h"

#include <cmath>

using namespace vt;
using namespace vt::xl;
using namespace vttest;

namespace {

const double grainToGram = 0.06479891, footToMetre = 0.3048;

struct Shot {
    int16_t fol, str, shot;
    float vel, tim, tmp;
};

void setShot(const Shot &s)
{
    EDiskPrs.prsFol = s.fol;
    EDiskPrs.prsStr = s.str;
    EDiskPrs.prsShot = s.shot;
    EDiskPrs.prsVel = s.vel;
    EDiskPrs.prsTim = s.tim;
    EDiskPrs.prsTmp = s.tmp;
}

void units(const char *vel, const char *tim, const char *tmp)
{
    CroSta.croVelUnits = QString::fromLatin1(vel);
    CroSta.croTimUnits = QString::fromLatin1(tim);
    CroSta.croTmpUnits = QString::fromLatin1(tmp);
}

} // namespace

class TestXlBlocks : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QDateTime fixed = QDateTime(QDate(2024, 5, 6), QTime(13, 4, 5));
    BookPtr back; // the saved workbook, read back
    AppPtr reader;

    static Variant v(const SheetPtr &ws, const QString &cell) { return ws->Range(cell)->Value(); }
    static QString t(const SheetPtr &ws, const QString &cell) { return ws->Range(cell)->Value().toString(); }
    static double n(const SheetPtr &ws, const QString &cell) { return ws->Range(cell)->Value().number(); }

    void activate(int16_t type) { xlApp->Workbooks(1)->Worksheets(XlSes.xlSheetName[type - 1])->Activate(); }

private slots:
    void initTestCase()
    {
        resetExport();
        seedTemplate();
        answers::reset();
        setFixedNow(fixed);
        QCOMPARE(int(excOpen(0, 1)), 0);
        BookPtr wb = xlApp->Workbooks(1);
        setExpDefs(); // names rows in blocks hidden, units rows shown

        // Capture sheet: one block in f/s and grains, one in m/s and grams.
        activate(5);
        wb->Worksheets(5)->Range("S1")->setValue(150);
        wb->Worksheets(5)->Range("S2")->setValue(9.72);
        putXlSource(2, 5);
        units("f/s", "sec", "fah");
        XlSes.xlShotCnt = 0;
        putXlBegin(2, 5);
        const Shot cap1[] = {{0, 1, 5, 1000, 1.5f, 72}, {0, 1, 6, 1010, 0, 998}, {0, 1, 7, 990, 2.25f, -5}};
        for (const Shot &s : cap1) {
            ++XlSes.xlShotCnt;
            setShot(s);
            putXlShot(2, 5);
        }
        putXlEnd(2, 5);
        XlSes.xlLastRow[4] += 1; // as the readers do before a further Begin row
        units("m/s", "sec", "cel");
        putXlBegin(2, 5);
        const Shot cap2[] = {{0, 2, 1, 300, 0, 20}, {0, 2, 2, 310, 0, 21}};
        for (const Shot &s : cap2) {
            ++XlSes.xlShotCnt;
            setShot(s);
            putXlShot(2, 5);
        }
        putXlEnd(2, 5);

        // String sheet: a downloaded string of three shots.
        activate(1);
        putXlSource(1, 1);
        units("f/s", "sec", "fah");
        XlSes.xlShotCnt = 0;
        EDiskPrs.prsSiz = 3;
        EDiskPrs.prsFol = 1;
        EDiskPrs.prsStr = 2;
        putXlBegin(1, 1);
        XlSes.xlBlkFirst = XlSes.xlLastRow[0];
        const Shot str[] = {{0, 2, 1, 800, 0, 999}, {0, 2, 2, 820, 0, 60}, {0, 2, 3, 810, 0, 60}};
        for (const Shot &s : str) {
            ++XlSes.xlShotCnt;
            setShot(s);
            putXlShot(1, 1);
        }
        putXlEnd(1, 1);
        QCOMPARE(Err.Number, 0);

        const QString path = QDir(dir.path()).filePath("export.xlsx");
        wb->SaveAs(path);
        reader = CreateApplication();
        back = reader->Workbooks()->Open(path);
    }

    void cleanupTestCase()
    {
        back.reset();
        reader.reset();
        resetExport();
        setFixedNow(QDateTime());
    }

    void captureBeginRowAndHeaders()
    {
        SheetPtr ws = back->Worksheets(QStringLiteral("Capture"));
        QCOMPARE(t(ws, "E1"), QStringLiteral("Source Of This Data: Capture from KT4 Pulsidar"));
        QCOMPARE(n(ws, "Q1"), 1.0);
        QCOMPARE(t(ws, "A5"), QStringLiteral("Begin CAP-Import(1)"));
        QCOMPARE(ws->Range("A5")->HorizontalAlignment(), int(xlLeft));
        QCOMPARE(ws->Range("A5")->Font()->ColorIndex(), 5);
        QCOMPARE(ws->Range("A5")->Font()->Size(), 8.0);
        QCOMPARE(t(ws, "D5"), QStringLiteral("Pause(0)"));
        QCOMPARE(ws->Range("D5")->Font()->Underline(), int(xlUnderlineStyleSingle));
        QCOMPARE(t(ws, "L5"), QStringLiteral("Pause Notes:"));
        QCOMPARE(ws->Range("L5")->HorizontalAlignment(), int(xlRight));
        QCOMPARE(t(ws, "M5"), QString(15, u' ') + QStringLiteral("Type your notes here") + QString(30, u' '));
        QCOMPARE(t(ws, "R5"), QStringLiteral("Bullet"));
        // Copies of the header rows: names hidden, units shown.
        QCOMPARE(t(ws, "A6"), QStringLiteral("Total"));
        QVERIFY(ws->Rows(6)->Hidden());
        QCOMPARE(t(ws, "A7"), QStringLiteral("(Shots)"));
        QVERIFY(!ws->Rows(7)->Hidden());
        QCOMPARE(t(ws, "E7"), QStringLiteral("(f/s)"));
        QCOMPARE(t(ws, "G7"), QStringLiteral("(sec)"));
        QCOMPARE(t(ws, "I7"), QStringLiteral("(fah)"));
        QCOMPARE(t(ws, "R7"), QStringLiteral("(grains)"));
        // The second block: the counter is running, so no "Begin " and right-aligned.
        QCOMPARE(t(ws, "A14"), QStringLiteral("CAP-Import(1)"));
        QCOMPARE(ws->Range("A14")->HorizontalAlignment(), int(xlRight));
        QCOMPARE(t(ws, "D14"), QStringLiteral("Pause(3)"));
        QCOMPARE(t(ws, "E16"), QStringLiteral("(m/s)"));
        QCOMPARE(t(ws, "I16"), QStringLiteral("(cel)"));
        QCOMPARE(t(ws, "R16"), QStringLiteral("(grams)"));
        // The sheet's own units row shows the last block's units.
        QCOMPARE(t(ws, "E4"), QStringLiteral("(m/s)"));
    }

    void captureShotRows()
    {
        SheetPtr ws = back->Worksheets(QStringLiteral("Capture"));
        // Row 8: first shot of the block.
        QCOMPARE(n(ws, "A8"), 1.0);
        QCOMPARE(ws->Range("A8")->NumberFormat(), QStringLiteral("0"));
        QCOMPARE(t(ws, "B8"), QStringLiteral("-?-")); // folder 0
        QCOMPARE(n(ws, "C8"), 1.0);
        QCOMPARE(n(ws, "D8"), 5.0);
        QVERIFY(ws->Range("D8")->Font()->Bold());
        QCOMPARE(n(ws, "E8"), 1000.0);
        QCOMPARE(ws->Range("E8")->NumberFormat(), QStringLiteral("0.00"));
        QCOMPARE(t(ws, "F8"), QStringLiteral("f/s"));
        QCOMPARE(n(ws, "G8"), 1.5);
        QCOMPARE(t(ws, "H8"), QStringLiteral("sec"));
        QCOMPARE(n(ws, "I8"), 72.0);
        QCOMPARE(t(ws, "J8"), QStringLiteral("fah"));
        QCOMPARE(n(ws, "K8"), 1.0);
        QCOMPARE(v(ws, "P8"), Variant(0.0));
        QCOMPARE(v(ws, "Q8"), Variant(0.0));
        // Row 9: time 0 and temperature 998 are missing.
        QCOMPARE(t(ws, "G9"), QStringLiteral("-?-"));
        QCOMPARE(t(ws, "I9"), QStringLiteral("-?-"));
        QCOMPARE(n(ws, "K9"), 2.0);
        QCOMPARE(ws->Range("P9")->Formula(), QStringLiteral("=STDEV(E8:E9)"));
        QVERIFY(qAbs(n(ws, "P9") - sampleStdev({1000, 1010})) < 1e-9);
        QVERIFY(qAbs(n(ws, "Q9") - sampleStdev({1000, 1010}) * 100 / 1005) < 1e-9);
        // Row 10: a negative temperature is a number; statistics over the block.
        QCOMPARE(n(ws, "I10"), -5.0);
        QCOMPARE(n(ws, "G10"), 2.25);
        QCOMPARE(ws->Range("L10")->Formula(), QStringLiteral("=MIN(E8:E10)"));
        QCOMPARE(ws->Range("L10")->NumberFormat(), QStringLiteral("0.00"));
        QCOMPARE(n(ws, "L10"), 990.0);
        QCOMPARE(n(ws, "M10"), 1010.0);
        QCOMPARE(n(ws, "N10"), 1000.0);
        QCOMPARE(ws->Range("O10")->Formula(), QStringLiteral("=(M10-L10)"));
        QCOMPARE(n(ws, "O10"), 20.0);
        QCOMPARE(ws->Range("Q10")->Formula(), QStringLiteral("=(P10* 100)/N10"));
        QVERIFY(qAbs(n(ws, "P10") - 10.0) < 1e-9);
        QVERIFY(qAbs(n(ws, "Q10") - 1.0) < 1e-9);
        // Ballistics in f/s and grains.
        QCOMPARE(n(ws, "R10"), 150.0);
        QCOMPARE(ws->Range("R10")->NumberFormat(), QStringLiteral("0.00"));
        QCOMPARE(ws->Range("S10")->Font()->ColorIndex(), 3);
        QCOMPARE(ws->Range("S10")->Formula(),
                 QStringLiteral("=($E10*iSetup!$D$6*$E10*iSetup!$D$6 * ($R10*iSetup!$D$4/2000))"));
        const double ms = 990 * footToMetre, grams = 150 * grainToGram;
        QVERIFY(qAbs(n(ws, "S10") - ms * ms * grams / 2000) < 1e-6);
        QVERIFY(qAbs(n(ws, "T10") - ms * grams) < 1e-6);
        QVERIFY(qAbs(n(ws, "U10") - 990 * 150 / 1000.0) < 1e-9);
    }

    void metricShotRows()
    {
        SheetPtr ws = back->Worksheets(QStringLiteral("Capture"));
        // Block 2: Begin at 14, headers 15 and 16, shots at 17 and 18.
        QCOMPARE(n(ws, "A17"), 4.0);
        QCOMPARE(n(ws, "K17"), 1.0); // the block starts after its own marker row
        QCOMPARE(v(ws, "P17"), Variant(0.0));
        QCOMPARE(ws->Range("L18")->Formula(), QStringLiteral("=MIN(E17:E18)"));
        QCOMPARE(n(ws, "R18"), 9.72);
        QCOMPARE(ws->Range("R18")->NumberFormat(), QStringLiteral("0.0000"));
        QCOMPARE(ws->Range("S18")->Formula(), QStringLiteral("=($E18*$E18 * ($R18/2000))"));
        QCOMPARE(ws->Range("T18")->Formula(), QStringLiteral("=($E18*$R18)"));
        QCOMPARE(ws->Range("U18")->Formula(), QStringLiteral("=($E18/iSetup!$D$6*$R18*iSetup!$D$5/1000)"));
        QVERIFY(qAbs(n(ws, "S18") - 310.0 * 310 * 9.72 / 2000) < 1e-9);
        QVERIFY(qAbs(n(ws, "T18") - 310.0 * 9.72) < 1e-9);
        QVERIFY(qAbs(n(ws, "U18") - 310 / footToMetre * (9.72 / grainToGram) / 1000) < 1e-6);
        QCOMPARE(t(ws, "I18"), QStringLiteral("21"));
    }

    void endRowsAndNextRow()
    {
        SheetPtr ws = back->Worksheets(QStringLiteral("Capture"));
        const QString stamp = QStringLiteral("Date=") + Format(fixed, QStringLiteral("Short Date")) + QStringLiteral("  Time=")
                              + Format(fixed, QStringLiteral("Long Time"));
        QCOMPARE(t(ws, "A11"), QStringLiteral("End CAP-Import(1)"));
        QCOMPARE(t(ws, "D11"), stamp);
        QCOMPARE(t(ws, "A19"), QStringLiteral("End CAP-Import(1)"));
        // One empty row after the End row; Q2 names the next row.
        QCOMPARE(n(ws, "Q2"), 21.0);
        QCOMPARE(XlSes.xlLastRow[4], 21);
        QVERIFY(ws->Range("A20")->Value().isEmpty());
    }

    void downloadBlock()
    {
        SheetPtr ws = back->Worksheets(QStringLiteral("String"));
        QCOMPARE(t(ws, "E1"), QStringLiteral("Source Of This Data: String from KT4 Pulsidar"));
        QCOMPARE(t(ws, "A5"), QStringLiteral("Begin MMR-Import(1)"));
        QCOMPARE(t(ws, "D5"), QStringLiteral("Shots=3    Folder=1    String=2        "));
        QCOMPARE(t(ws, "L5"), QStringLiteral("String Notes:"));
        QCOMPARE(t(ws, "A6"), QStringLiteral("Sequence"));
        // The first shot is position 0 and holds no deviation.
        QCOMPARE(n(ws, "K8"), 0.0);
        QCOMPARE(t(ws, "I8"), QStringLiteral("-?-")); // 999
        QCOMPARE(v(ws, "P8"), Variant(0.0));
        QCOMPARE(v(ws, "Q8"), Variant(0.0));
        // Two velocities already have a deviation.
        QCOMPARE(n(ws, "K9"), 1.0);
        QCOMPARE(ws->Range("P9")->Formula(), QStringLiteral("=STDEV(E8:E9)"));
        QVERIFY(qAbs(n(ws, "P9") - sampleStdev({800, 820})) < 1e-9);
        QVERIFY(n(ws, "Q9") > 0);
        QCOMPARE(ws->Range("N10")->Formula(), QStringLiteral("=AVERAGE(E8:E10)"));
        QCOMPARE(n(ws, "N10"), 810.0);
        QCOMPARE(t(ws, "A11"), QStringLiteral("End MMR-Import(1)"));
        QCOMPARE(n(ws, "Q2"), 13.0);
    }

    void searchWithoutMarkers_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("range");
        QTest::newRow("stops at row 5") << 40 << "(E6:E40)";
        QTest::newRow("at most 101 rows") << 300 << "(E200:E300)";
    }
    void searchWithoutMarkers()
    {
        QFETCH(int, row);
        QFETCH(QString, range);
        // The CFile sheet with no marker in its header rows.
        activate(4);
        SheetPtr ws = xlApp->ActiveSheet();
        ws->Range("K3")->ClearContents();
        ws->Range("K4")->ClearContents();
        XlSes.xlLastRow[3] = row;
        setShot({1, 1, 1, 900, 0, 70});
        putXlShot(2, 4);
        QCOMPARE(ws->Cells(row, 12)->Formula(), QStringLiteral("=MIN") + range);
        QCOMPARE(XlSes.xlLastRow[3], row + 1);
    }

    void closedSheetStillAdvances()
    {
        AppPtr app = xlApp;
        xlApp.reset(); // nothing to write into
        const int32_t before = XlSes.xlLastRow[2];
        putXlBegin(1, 3);
        putXlShot(1, 3);
        putXlEnd(1, 3);
        QCOMPARE(XlSes.xlLastRow[2], before + 6);
        QCOMPARE(Err.Number, 91);
        Err.Clear();
        xlApp = app;
    }
};

QTEST_MAIN(TestXlBlocks)
#include "tst_xlBlocks.moc"
