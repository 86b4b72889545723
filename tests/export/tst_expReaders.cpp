// The export's readers: a capture line parsed field by field, a CFile's
// tagged lines turned into blocks of rows, and download dumps read into the
// download sheets with each of their result codes.
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "chrono/modCroDnl.h"
#include "common/cfilefixture.h"
#include "common/xlfixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "export/modExpExc.h"
#include "export/modExpRdr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "platform/timers.h"
#include "serial/modRxEngine.h"
#include "shell/frmFPrgrs.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"

using namespace vt;
using namespace vt::xl;
using namespace vttest;

namespace {

// One row of a sheet as the test sees it.
struct Row {
    QString kind; // "Begin", "Shot", "End"
    int32_t row = 0;
    double count = 0, fol = 0, str = 0, shot = 0, vel = 0, tim = 0, tmp = 0;
    QString velUnit, timUnit, tmpUnit;
};

double num(const Variant &v) { return v.isNumber() ? v.number() : -1; }

// The Begin, shot and End rows of a sheet, top to bottom.
QList<Row> blockRows(const SheetPtr &ws, int32_t last)
{
    QList<Row> out;
    for (int32_t r = 5; r <= last; ++r) {
        const auto cell = [&](int c) { return ws->Cells(int(r), c)->Value(); };
        const QString a = cell(1).toString(), d = cell(4).toString();
        Row row;
        row.row = r;
        if (a.startsWith(QLatin1String("End ")))
            row.kind = QStringLiteral("End");
        else if (d.startsWith(QLatin1String("Pause(")) || d.startsWith(QLatin1String("Shots=")))
            row.kind = QStringLiteral("Begin");
        else if (cell(1).isNumber() && cell(11).isNumber())
            row.kind = QStringLiteral("Shot");
        else
            continue;
        row.count = num(cell(1));
        row.fol = num(cell(2));
        row.str = num(cell(3));
        row.shot = num(cell(4));
        row.vel = num(cell(5));
        row.velUnit = cell(6).toString();
        row.tim = num(cell(7));
        row.timUnit = cell(8).toString();
        row.tmp = num(cell(9));
        row.tmpUnit = cell(10).toString();
        out << row;
    }
    return out;
}

QString kinds(const QList<Row> &rows)
{
    QStringList k;
    for (const Row &r : rows)
        k << r.kind;
    return k.join(u' ');
}

// A string of shots as the unit dumps it ("MMR:" lines, CR LF line ends).
QString dumpString(int fol, int str, const QStringList &shots, const QString &siz = {})
{
    const auto two = [](int n) { return QString::number(n).rightJustified(2, u'0'); };
    QString t = QStringLiteral("MMR:<Begin> Fol=") + two(fol) + QStringLiteral(" Str=") + two(str) + QStringLiteral(" Siz=")
                + (siz.isEmpty() ? two(int(shots.size())) : siz) + QStringLiteral("\r\n");
    int n = 0;
    for (const QString &s : shots)
        t += QStringLiteral("MMR:") + two(fol) + u':' + two(str) + u':' + QString::number(++n).rightJustified(3, u'0') + u' '
             + s + QStringLiteral("\r\n");
    return t + QStringLiteral("MMR:<End> Fol=") + two(fol) + QStringLiteral(" Str=") + two(str) + QStringLiteral("\r\n");
}

const QString dumpEnd = QStringLiteral("MMR:<End> CAP=OFF\r\nDAT>");

// Counts the paint events a widget receives while `counting` is set.
class PaintCounter : public QObject {
public:
    bool counting = false;
    int paints = 0;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (counting && e->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(o, e);
    }
};

} // namespace

class TestExpReaders : public QObject {
    Q_OBJECT

    void openBook()
    {
        resetExport();
        seedTemplate();
        QCOMPARE(int(excOpen(0, 1)), 0);
        installExpReaders();
    }
    SheetPtr activate(int16_t type)
    {
        SheetPtr ws = xlApp->Workbooks(1)->Worksheets(XlSes.xlSheetName[type - 1]);
        ws->Activate();
        return ws;
    }

private slots:
    void initTestCase() { answers::reset(); }
    void cleanupTestCase() { resetExport(); }

    // --- one capture line ---------------------------------------------------------

    void captureLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("outcome"); // shot, end or ignored
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("vel");
        QTest::addColumn<double>("tim");
        QTest::addColumn<double>("tmp");
        QTest::addColumn<int>("str");
        QTest::addColumn<int>("shot");
        QTest::addColumn<QString>("units"); // velocity, time, temperature after the line

        const QString earlier = QStringLiteral("m/s,sec,fah"); // the units an earlier line left
        QTest::newRow("full shot") << "CAP:00012 295.5 f/s 1.234 sec 72 fah 01:05_Av 295.5" << "shot" << 12 << 295.5
                                   << 1.234 << 72.0 << 1 << 5 << "f/s,sec,fah";
        QTest::newRow("velocity only") << "CAP:00012 295.5 m/s 0" << "shot" << 12 << 295.5 << 0.0 << 999.0 << 0 << 0
                                       << "m/s,sec,fah";
        QTest::newRow("no blank after the unit") << "CAP:00012 295.5 m/s" << "ignored" << 12 << 0.0 << 0.0 << 999.0 << 0
                                                 << 0 << earlier;
        QTest::newRow("four-character count") << "CAP:0012 295.5 f/s 0" << "ignored" << 0 << 0.0 << 0.0 << 999.0 << 0
                                              << 0 << earlier;
        QTest::newRow("blank after the tag") << "CAP: 00012 295.5 f/s 0" << "ignored" << 0 << 0.0 << 0.0 << 999.0 << 0
                                             << 0 << earlier;
        QTest::newRow("block end") << "CAP:00012 <End>" << "end" << 12 << 0.0 << 0.0 << 999.0 << 0 << 0 << earlier;
        QTest::newRow("hash line") << "#00007 295.5 f/s 0" << "shot" << 7 << 295.5 << 0.0 << 999.0 << 0 << 0
                                   << "f/s,sec,fah";
        QTest::newRow("hash alone") << "#00007" << "ignored" << 0 << 0.0 << 0.0 << 999.0 << 0 << 0 << earlier;
        QTest::newRow("hash wins over CAP:") << "CAP:00012 295.5 f/s #1" << "ignored" << 0 << 0.0 << 0.0 << 999.0 << 0
                                             << 0 << earlier;
        QTest::newRow("star time, Celsius, string 12")
            << "CAP:00012 295.5 f/s 1.234 *s* 72 cel 12:05_" << "shot" << 12 << 295.5 << 1.234 << 72.0 << 12 << 0
            << "f/s,sec,cel";
        QTest::newRow("pair too short") << "CAP:00012 295.5 f/s 1.234 sec 72 fah 1:05_" << "shot" << 12 << 295.5
                                        << 1.234 << 72.0 << 0 << 0 << "f/s,sec,fah";
        // The five-digit count runs past 32767 in a long session.
        QTest::newRow("count past 16 bits") << "CAP:99999 295.5 f/s 0" << "shot" << 99999 << 295.5 << 0.0 << 999.0 << 0
                                            << 0 << "f/s,sec,fah";
        QTest::newRow("count past 32 bits") << "CAP:99999999999 295.5 f/s 0" << "ignored" << 0 << 0.0 << 0.0 << 999.0
                                            << 0 << 0 << earlier;
        QTest::newRow("pair without temperature") << "CAP:00031 1002.7 f/s 0.512 sec 03:09_Av 998.1" << "shot" << 31
                                                  << 1002.7 << 0.512 << 999.0 << 3 << 9 << "f/s,sec,fah";
        QTest::newRow("one-digit temperature") << "CAP:00013 301.0 m/s 0.250 sec 5 cel 02:01_Av 301.0" << "shot" << 13
                                               << 301.0 << 0.25 << 5.0 << 2 << 1 << "m/s,sec,cel";
    }
    void captureLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, outcome);
        QFETCH(int, count);
        QFETCH(double, vel);
        QFETCH(double, tim);
        QFETCH(double, tmp);
        QFETCH(int, str);
        QFETCH(int, shot);
        QFETCH(QString, units);

        CapExport = CapExportRec();
        CapExport.capVelUnit = QStringLiteral("m/s");
        CapExport.capTimUnit = QStringLiteral("sec");
        CapExport.capTmpUnit = QStringLiteral("fah");
        CapExport.excLine = line;
        prsCapLine();
        const CapExportRec &c = CapExport;
        QCOMPARE(c.capShotOk, outcome == QLatin1String("shot"));
        QCOMPARE(c.capNewBlk, outcome == QLatin1String("end"));
        QCOMPARE(int(c.capShotCnt), count);
        QCOMPARE(double(c.capVel), double(float(vel)));
        QCOMPARE(double(c.capTim), double(float(tim)));
        QCOMPARE(double(c.capTmp), double(float(tmp)));
        QCOMPARE(int(c.capStrNum), str);
        QCOMPARE(int(c.capShotNum), shot);
        QCOMPARE(QStringList({c.capVelUnit, c.capTimUnit, c.capTmpUnit}).join(u','), units);

        if (outcome == QLatin1String("shot")) {
            EDiskPrs.prsFol = 4;
            cpyShotRec();
            QCOMPARE(int(EDiskPrs.prsFol), 0);
            QCOMPARE(int(EDiskPrs.prsStr), str);
            QCOMPARE(int(EDiskPrs.prsShot), shot);
            QCOMPARE(int(XlSes.xlShotCnt), count);
            QCOMPARE(EDiskPrs.prsVel, c.capVel);
            QCOMPARE(CroSta.croTmpUnits, c.capTmpUnit);
        }
    }

    // --- a CFile's tagged lines ---------------------------------------------------------

    void cfileBlocks()
    {
        startEditor();
        openBook();
        CreateNewCFile();
        frmDocument *doc = ActiveForm();
        QVERIFY(doc);
        // Two blocks: the unit's block end arms a second Begin row; a "#"
        // statistics line and a plain line give nothing; the last tagged line
        // has no line end and is not read.
        doc->rtfText->SetText(QStringLiteral("Range notes\r\n"
                                             "CAP:00101 295.5 f/s 0.100 sec 72 fah 01:01_Av 295.5\r\n"
                                             "  CAP:00102 297.5 f/s 0.900 sec 73 fah 01:02_Av 296.5\r\n"
                                             "# Str=01 N=02 Av=296.5 Hi=297.5 Lo=295.5 f/s\r\n"
                                             "CAP:00102 <End>\r\n"
                                             "wind picked up\r\n"
                                             "#00103 301.0 m/s 0\r\n"
                                             "CAP:00104 305.0 f/s 0.500 sec 70 fah 02:02_Av 303.0"));
        SheetPtr ws = activate(4);
        int16_t source = 2, type = 4;
        QCOMPARE(int(expCFile(source, type)), 0);

        const QList<Row> rows = blockRows(ws, XlSes.xlLastRow[3]);
        QCOMPARE(kinds(rows), QStringLiteral("Begin Shot Shot Begin Shot End"));
        QCOMPARE(rows[1].count, 101.0);
        QCOMPARE(rows[1].vel, 295.5);
        QCOMPARE(rows[1].velUnit, QStringLiteral("f/s"));
        QCOMPARE(rows[1].tim, 0.1);
        QCOMPARE(rows[1].tmp, 72.0);
        QCOMPARE(rows[1].str, 1.0);
        QCOMPARE(rows[1].shot, 1.0);
        QCOMPARE(rows[2].count, 102.0);
        QCOMPARE(rows[2].shot, 2.0);
        QCOMPARE(rows[4].count, 103.0);
        QCOMPARE(rows[4].vel, 301.0);
        QCOMPARE(rows[4].velUnit, QStringLiteral("m/s"));
        // The line read last stays selected.
        QCOMPARE(doc->rtfText->SelText(), QStringLiteral("#00103 301.0 m/s 0"));
        stopEditor();
    }

    // A sheet that runs out of rows: the shots that fit, an End row in the
    // sheet's last row, and a message with both counts.
    void sheetFull_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("exported");
        QTest::addColumn<int>("notExported");
        // Eight rows spare: the Begin row with its header copies, then shots
        // while one row stays for the End row (a download also keeps the
        // empty row that closes its string).
        QTest::newRow("CFile, a block end among the lines") << 4 << 4 << 6;
        QTest::newRow("download of three strings") << 2 << 4 << 14;
    }
    void sheetFull()
    {
        QFETCH(int, type);
        QFETCH(int, exported);
        QFETCH(int, notExported);
        startEditor();
        openBook();
        if (type == 4) {
            CreateNewCFile();
            ActiveForm()->rtfText->SetText(shotLines(5) + QStringLiteral("CAP:00005 <End>\r\n") + shotLines(5, 6));
        } else {
            CroSta.croVelUnits = QStringLiteral("f/s");
            CroSta.croTmpUnits = QStringLiteral("fah");
            const QStringList six(6, QStringLiteral("295.5 f/s 72 fah"));
            croDump = dumpString(1, 1, six) + dumpString(1, 2, six) + dumpString(1, 3, six) + dumpEnd;
        }
        SheetPtr ws = activate(int16_t(type));
        XlSes.xlLastRow[type - 1] = MaxRows - 8;
        int16_t source = type == 4 ? 2 : 1, sheetType = int16_t(type);
        const int16_t result = type == 4 ? expCFile(source, sheetType) : expEDisk(source, sheetType);
        QCOMPARE(int(result), int(expSheetFull));

        const QList<Row> rows = blockRows(ws, MaxRows);
        QCOMPARE(kinds(rows), QStringLiteral("Begin") + QStringLiteral(" Shot").repeated(exported) + QStringLiteral(" End"));
        QCOMPARE(rows.last().row, MaxRows);
        QCOMPARE(boxTexts(), QStringList({QStringLiteral("The ") + XlSes.xlSheetName[type - 1]
                                          + QStringLiteral(" sheet is full: a sheet holds 1,048,576 rows.\r\n")
                                          + QString::number(exported) + QStringLiteral(" shots were exported, ")
                                          + QString::number(notExported) + QStringLiteral(" shots were not exported.")}));
        stopEditor();
    }

    // A long export through the driver: the progress window shows the share
    // read, the main window is painted meanwhile, and Abort stops it.
    void longExport_data()
    {
        QTest::addColumn<int>("abortAt"); // percent at which Abort is pressed; -1 never
        QTest::newRow("to the end") << -1;
        QTest::newRow("aborted") << 30;
    }
    void longExport()
    {
        QFETCH(int, abortAt);
        startEditor();
        resetExport();
        seedTemplate();
        installExpReaders();
        CreateNewCFile();
        frmDocument *doc = ActiveForm();
        QVERIFY(doc);
        const int n = 400;
        doc->rtfText->SetText(shotLines(n));
        // A turn after every row, however fast the machine is.
        setPaintGapMs(0);
        frmMDI *mdi = frmMDI::get();
        PaintCounter painted;
        mdi->installEventFilter(&painted);
        QList<int> values;
        const auto reader = expParts.expCFile;
        int16_t result = -1;
        expParts.expCFile = [&](int16_t &source, int16_t &sheetType) {
            frmFPrgrs *prg = frmFPrgrs::instance();
            connect(prg->prgRemCtr, &QProgressBar::valueChanged, prg, [&, prg](int v) {
                values << v;
                mdi->update(); // the main window has something to repaint at every step
                if (abortAt >= 0 && v >= abortAt)
                    prg->cmdSetPrgTab->click();
            });
            painted.counting = true;
            result = reader(source, sheetType);
            painted.counting = false;
            return result;
        };
        expExcel(3, 2, 4, 5);
        expParts.expCFile = reader;
        setPaintGapMs(-1);
        mdi->removeEventFilter(&painted);

        QVERIFY(painted.paints > 0);
        QVERIFY(values.size() > 2);
        QVERIFY(std::is_sorted(values.begin(), values.end()));
        const QList<Row> rows = blockRows(xlApp->Workbooks(1)->Worksheets(QStringLiteral("CFile")), XlSes.xlLastRow[3]);
        const qsizetype shots = rows.count() - 2;
        QCOMPARE(rows.last().kind, QStringLiteral("End"));
        if (abortAt < 0) {
            QCOMPARE(int(result), 0);
            QCOMPARE(values.last(), 100);
            QCOMPARE(shots, qsizetype(n));
        } else {
            QCOMPARE(int(result), int(expAborted));
            QCOMPARE(values.last(), abortAt);
            QVERIFY(shots > 0 && shots < n);
            QVERIFY(doc->rtfText->Text().contains(QStringLiteral("REM: Err(107)->Failed to complete data export...!")));
        }
        QVERIFY(!frmFPrgrs::isLoaded());
        stopEditor();
    }

    // --- download dumps ------------------------------------------------------------------

    void dump_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QList<double>>("vel");
        QTest::addColumn<QList<double>>("tmp");

        const QStringList three = {"295.5 f/s 72 fah", "297.0 f/s 71 fah", "296.1 f/s 71 fah"};
        QTest::newRow("two strings") << QString(dumpString(1, 2, three) + dumpString(1, 3, {"300.0 f/s 70 fah"}) + dumpEnd)
                                     << 0 << "Begin Shot Shot Shot Begin Shot End" << QList<double>{295.5, 297.0, 296.1, 300.0}
                                     << QList<double>{72, 71, 71, 70};
        QString twoDigits = dumpString(1, 2, three);
        twoDigits.replace(QStringLiteral(":001 "), QStringLiteral(":01 ")).replace(QStringLiteral(":002 "), QStringLiteral(":02 "));
        QTest::newRow("two-digit shot numbers") << QString(twoDigits + dumpEnd) << 0 << "Begin Shot Shot Shot End"
                                                << QList<double>{295.5, 297.0, 296.1} << QList<double>{72, 71, 71};
        QTest::newRow("Siz=00 with one shot line")
            << QString(dumpString(1, 2, {"310.2 f/s 65 fah"}, QStringLiteral("00")) + dumpEnd) << 0 << "Begin Shot End"
            << QList<double>{310.2} << QList<double>{65};
        QTest::newRow("stars") << QString(dumpString(1, 2, {"******** f/s 70 fah", "301.0 f/s ******** fah"}) + dumpEnd) << 0
                               << "Begin Shot Shot End" << QList<double>{-1, 301.0} << QList<double>{70, -1};
        QTest::newRow("armed end") << QString(dumpString(1, 2, {"301.0 f/s 70 fah"}) + "MMR:<End>\r\nDAT>") << 0
                                   << "Begin Shot End" << QList<double>{301.0} << QList<double>{70};
        QTest::newRow("no Begin") << QStringLiteral("\r\nDAT>") << 101 << "" << QList<double>{} << QList<double>{};
        QTest::newRow("size 41") << QString(dumpString(1, 2, {"301.0 f/s 70 fah"}, QStringLiteral("41")) + dumpEnd) << 102
                                 << "" << QList<double>{} << QList<double>{};
        QTest::newRow("velocity of 11 characters") << QString(dumpString(1, 2, {"0000000301. f/s 70 fah"}) + dumpEnd) << 103
                                                   << "Begin" << QList<double>{} << QList<double>{};
        QTest::newRow("velocity of 10 characters") << QString(dumpString(1, 2, {"000000301. f/s 70 fah"}) + dumpEnd) << 0
                                                   << "Begin Shot End" << QList<double>{301} << QList<double>{70};
        QTest::newRow("unit differs from the status") << QString(dumpString(1, 2, {"91.4 m/s 70 fah"}) + dumpEnd) << 103
                                                      << "Begin" << QList<double>{} << QList<double>{};
        QString otherString = dumpString(1, 2, three);
        otherString.replace(QStringLiteral("MMR:01:02:002"), QStringLiteral("MMR:01:03:002"));
        QTest::newRow("shot line of another string") << QString(otherString + dumpEnd) << 103 << "Begin Shot"
                                                     << QList<double>{295.5} << QList<double>{72};
        QTest::newRow("one digit shot number") << QString(QString(dumpString(1, 2, {"301.0 f/s 70 fah"})).replace(":001 ", ":1 ") + dumpEnd)
                                               << 103 << "Begin" << QList<double>{} << QList<double>{};
        QTest::newRow("End without continuation") << QString(dumpString(1, 2, {"301.0 f/s 70 fah"}) + "MMR:<Sth>\r\n") << 104
                                                  << "Begin Shot" << QList<double>{301} << QList<double>{70};
        QTest::newRow("End cut off") << QString(dumpString(1, 2, {"301.0 f/s 70 fah"}).chopped(2)) << 104 << "Begin Shot"
                                     << QList<double>{301} << QList<double>{70};
    }
    void dump()
    {
        QFETCH(QString, text);
        QFETCH(int, result);
        QFETCH(QString, rows);
        QFETCH(QList<double>, vel);
        QFETCH(QList<double>, tmp);

        openBook();
        CroSta.croVelUnits = QStringLiteral("f/s");
        CroSta.croTimUnits = QStringLiteral("sec");
        CroSta.croTmpUnits = QStringLiteral("fah");
        EDiskPrs.prsTim = 1.5f; // left by an earlier CFile export
        croDump = QStringLiteral("\r\n") + text;
        SheetPtr ws = activate(2);
        int16_t source = 1, type = 2;
        QCOMPARE(int(expEDisk(source, type)), result);

        const QList<Row> got = blockRows(ws, XlSes.xlLastRow[1] + 2);
        QCOMPARE(kinds(got), rows);
        QList<double> gotVel, gotTmp;
        int n = 0;
        for (const Row &r : got) {
            if (r.kind != QLatin1String("Shot"))
                continue;
            gotVel << r.vel;
            gotTmp << r.tmp;
            QCOMPARE(r.count, double(++n));      // running over the import
            QCOMPARE(r.tim, -1.0);              // no time in a dump: "-?-"
            QVERIFY(r.shot >= 1);
        }
        QCOMPARE(gotVel, vel);
        QCOMPARE(gotTmp, tmp);
    }

    // The shot written is its place in the string; folder and string come
    // from the Begin line.
    void dumpShotNumbersAndBlocks()
    {
        openBook();
        CroSta.croVelUnits = QStringLiteral("m/s");
        CroSta.croTmpUnits = QStringLiteral("cel");
        croDump = dumpString(3, 7, {"91.4 m/s 21 cel", "92.0 m/s 21 cel"}) + dumpEnd;
        SheetPtr ws = activate(1);
        int16_t source = 1, type = 1;
        QCOMPARE(int(expEDisk(source, type)), 0);
        const QList<Row> got = blockRows(ws, XlSes.xlLastRow[0]);
        QCOMPARE(kinds(got), QStringLiteral("Begin Shot Shot End"));
        QCOMPARE(ws->Cells(int(got[0].row), 4)->Value().toString().simplified(), QStringLiteral("Shots=2 Folder=3 String=7"));
        QCOMPARE(got[1].fol, 3.0);
        QCOMPARE(got[1].str, 7.0);
        QCOMPARE(got[2].shot, 2.0);
        QCOMPARE(got[2].velUnit, QStringLiteral("m/s"));
    }

    void moreThanHundredStrings()
    {
        openBook();
        CroSta.croVelUnits = QStringLiteral("f/s");
        CroSta.croTmpUnits = QStringLiteral("fah");
        QString text;
        for (int s = 1; s <= 101; ++s)
            text += dumpString(1 + (s - 1) / 10, 1 + (s - 1) % 10, {QString::number(200 + s) + " f/s 70 fah"});
        croDump = text + dumpEnd;
        SheetPtr ws = activate(3);
        int16_t source = 1, type = 3;
        QCOMPARE(int(expEDisk(source, type)), 0);
        const QList<Row> got = blockRows(ws, XlSes.xlLastRow[2]);
        QCOMPARE(got.count(), 100 * 2 + 1);
        QCOMPARE(got.last().kind, QStringLiteral("End"));
        QCOMPARE(got[got.size() - 2].vel, 300.0);
    }

    // The whole-eDisk closing: a second End tag after the last string.
    void endLines_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("state");
        QTest::newRow("next string") << "MMR:<End> Fol=01 Str=02\r\nMMR:<Begin>" << true << 1;
        QTest::newRow("prompt") << "MMR:<End>\r\nDAT>" << true << 2;
        QTest::newRow("capture off") << "MMR:<End> CAP=OFF\r\nDAT>" << true << 2;
        QTest::newRow("second End, capture off") << "MMR:<End> Fol=01 Str=02\r\nMMR:<End> CAP=OFF\r\nDAT>" << true << 3;
        QTest::newRow("second End, prompt") << "MMR:<End> Fol=10 Str=00\r\nMMR:<End>\r\nDAT>" << true << 2;
        QTest::newRow("Fol without Str") << "MMR:<End> Fol=01\r\nDAT>" << false << 0;
        QTest::newRow("nothing after") << "MMR:<End>" << false << 0;
    }
    void endLines()
    {
        QFETCH(QString, end);
        QFETCH(bool, ok);
        QFETCH(int, state);
        int32_t pos = 1;
        getMmrEnd(end, pos);
        QCOMPARE(!EDiskPrs.prsError, ok);
        QCOMPARE(int(EDiskPrs.prsState), state);
    }

    // A sheet the reader cannot write ends the export as a failure.
    void spreadsheetFailureIsAFailure()
    {
        openBook();
        CroSta.croVelUnits = QStringLiteral("f/s");
        CroSta.croTmpUnits = QStringLiteral("fah");
        croDump = dumpString(1, 2, {"301.0 f/s 70 fah"}) + dumpEnd;
        activate(2);
        xlClosing = true;
        xlApp->Workbooks(1)->Close(false);
        xlClosing = false;
        int16_t source = 1, type = 2;
        QCOMPARE(int(expEDisk(source, type)), int(expSheetFailed));
        type = 4;
        source = 2;
        QCOMPARE(int(expCFile(source, type)), int(expSheetFailed));
    }
};

QTEST_MAIN(TestExpReaders)
#include "tst_expReaders.moc"
