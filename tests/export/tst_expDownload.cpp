// Download exports end to end: the main window's export command wakes the
// simulated chronograph, downloads its memory through the terminal window's
// link port, and the dump lands in the workbook, which is saved and read back.
#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroDnl.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroTmr.h"
#include "common/cfilefixture.h"
#include "common/simline.h"
#include "common/xlfixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "export/modExpExc.h"
#include "export/modExpNbr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "remote/frmRemCtr.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "sim/kt4sim.h"

#include <cmath>

using namespace vt;
using namespace vt::xl;
using namespace vttest;

namespace {

// A block of rows read back: the Begin row's text and its shot rows.
struct Block {
    QString begin;
    QList<QList<double>> shots; // columns A to P of each shot row
};

QList<Block> readBlocks(const SheetPtr &ws, QString *endText)
{
    QList<Block> out;
    for (int r = 5; r < 400; ++r) {
        const QString a = ws->Cells(r, 1)->Value().toString();
        const QString d = ws->Cells(r, 4)->Value().toString();
        if (a.startsWith(QLatin1String("End "))) {
            *endText = a;
            break;
        }
        if (d.startsWith(QLatin1String("Shots="))) {
            out << Block{d.simplified(), {}};
        } else if (!out.isEmpty() && ws->Cells(r, 1)->Value().isNumber() && ws->Cells(r, 11)->Value().isNumber()) {
            out.last().shots << shotRowValues(ws, r);
        }
    }
    return out;
}

} // namespace

class TestExpDownload : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim;
    frmTerminal *term = nullptr;
    frmDocument *doc = nullptr;
    QTemporaryDir dir;
    AppPtr reader; // holds the workbook read back

    // A string of stored shots in the simulated unit.
    void store(int fol, int str, const QList<double> &fps, double tempF = 71)
    {
        QVector<sim::StoredShot> &v = sim.unit().shots(fol, str);
        v.clear();
        for (double f : fps)
            v.append(sim::StoredShot{f, tempF, false});
    }

    BookPtr saveAndReadBack(const QString &name)
    {
        const QString path = dir.filePath(name);
        if (!trapErrors([&] { xlApp->Workbooks(1)->SaveAs(path); }))
            return nullptr;
        reader = CreateApplication();
        return reader->Workbooks()->Open(path);
    }

    QString cfileText() const { return doc ? doc->rtfText->Text() : QString(); }

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(sim.start(false, &why), qPrintable(why));
        QVERIFY(dir.isValid());
    }

    void init()
    {
        startEditor();
        resetExport();
        seedTemplate();
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        installChronoSubsystem();
        installExportSubsystem();
        RxRoute[0] = true;
        QVERIFY(vttest::reopenSimLine(sim, term));
        sim.unit().disk.clear();
        CreateNewCFile();
        doc = ActiveForm();
        QVERIFY(doc);
        vttest::unitsAsReported();
        XlSes.ExpExcXLog = false;
        answers::reset();
    }
    void cleanup()
    {
        if (reader)
            trapErrors([this] { reader->Quit(); });
        reader.reset();
        if (term->MSComm1->PortOpen())
            term->subClosePort();
        resetExport();
        stopEditor();
        installChrono(nullptr);
        installExport(nullptr);
        unloadLinkTimers();
    }

    // The folder command downloads with "2" and exports that dump whole,
    // although an older dump heads a terminal text near its size limit.
    void folderExportedAndReadBack()
    {
        const QString old = QStringLiteral("\r\nMMR:<Begin> Fol=09 Str=01 Siz=01\r\nMMR:09:01:001 111.1 f/s 60 fah\r\n"
                                           "MMR:<End> Fol=09 Str=01\r\nMMR:<End> CAP=OFF\r\nDAT>");
        term->txtTerm->SetText(old + QString(32000, u'x'));
        const QList<double> s1 = {295.5, 301.2, 298.0, 299.9, 300.4};
        const QList<double> s3 = {1010.0, 1002.5, 1007.3};
        sim.unit().curFol = 1;
        store(1, 1, s1);
        store(1, 3, s3, 65);
        store(2, 1, {500.0, 501.0}); // another folder: not part of the download

        frmMDI::get()->mnuRemExpExcFol->trigger();

        QVERIFY(sim.received().contains('2'));
        QVERIFY2(cfileText().contains(QLatin1String("REM: Data Exported to Excel Successfully...")), qPrintable(cfileText()));
        QVERIFY(croDump.startsWith(QLatin1String("\r\nMMR:<Begin> Fol=01 Str=01 Siz=05")));

        BookPtr back = saveAndReadBack(QStringLiteral("folder.xlsx"));
        QVERIFY(back);
        QString end;
        const QList<Block> blocks = readBlocks(back->Worksheets(QStringLiteral("Folder")), &end);
        QVERIFY(end.startsWith(QLatin1String("End MMR-Import(")));
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(blocks[0].begin, QStringLiteral("Shots=5 Folder=1 String=1"));
        QCOMPARE(blocks[1].begin, QStringLiteral("Shots=3 Folder=1 String=3"));

        int count = 0;
        const QList<QList<double>> want = {s1, s3};
        for (int b = 0; b < 2; ++b) {
            const QList<QList<double>> &rows = blocks[b].shots;
            QCOMPARE(rows.size(), want[b].size());
            QList<double> vel;
            for (int k = 0; k < rows.size(); ++k) {
                const QList<double> &r = rows[k];
                QCOMPARE(r[0], double(++count));       // running number of the import
                QCOMPARE(r[1], 1.0);                   // folder
                QCOMPARE(r[2], double(b == 0 ? 1 : 3)); // string
                QCOMPARE(r[3], double(k + 1));         // shot
                QCOMPARE(r[4], want[b][k]);            // velocity
                QCOMPARE(r[8], b == 0 ? 71.0 : 65.0);  // temperature
                vel << want[b][k];
            }
            // The statistics of the block's last row cover the whole block.
            const QList<double> &last = rows.last();
            QCOMPARE(last[11], *std::min_element(vel.begin(), vel.end()));
            QCOMPARE(last[12], *std::max_element(vel.begin(), vel.end()));
            QVERIFY(std::abs(last[13] - mean(vel)) < 1e-9);
            QVERIFY(std::abs(last[15] - sampleStdev(vel)) < 1e-9);
        }
    }

    // No units held before: the download reads the unit's status, and the
    // dump in m/s and Celsius is read with the units it gives.
    void folderReadsItsUnitsFromTheStatus()
    {
        CroSta.croVelUnits.clear();
        CroSta.croTimUnits.clear();
        CroSta.croTmpUnits.clear();
        CroSta.croStaOk = false;
        sim.unit().metric = true;
        sim.unit().celsius = true;
        sim.unit().curFol = 3;
        store(3, 1, {1000.0, 1010.0}, 77);

        frmMDI::get()->mnuRemExpExcFol->trigger();

        QVERIFY(sim.received().contains('Q'));
        QVERIFY(sim.received().indexOf('Q') < sim.received().indexOf('2'));
        QVERIFY2(!cfileText().contains(QLatin1String("Err(")), qPrintable(cfileText()));
        QVERIFY2(cfileText().contains(QLatin1String("REM: Data Exported to Excel Successfully...")), qPrintable(cfileText()));
        QCOMPARE(CroSta.croVelUnits, QStringLiteral("m/s"));
        QCOMPARE(CroSta.croTmpUnits, QStringLiteral("cel"));
        QString end;
        const QList<Block> blocks = readBlocks(xlApp->Workbooks(1)->Worksheets(QStringLiteral("Folder")), &end);
        QCOMPARE(blocks.size(), 1);
        QCOMPARE(blocks[0].shots.size(), 2);
        QCOMPARE(blocks[0].shots[0][4], 304.8);   // 1000 f/s as the unit sends it in m/s
        QCOMPARE(blocks[0].shots[0][8], 25.0);    // 77 fah in Celsius
    }

    // The string command with a unit that numbers its shots in two digits.
    void stringWithTwoDigitShots()
    {
        sim.options().twoDigitShots = true;
        sim.unit().curFol = 4;
        sim.unit().curStr = 6;
        store(4, 6, {280.0, 282.5});
        frmMDI::get()->mnuRemExpExcStr->trigger();
        QVERIFY(sim.received().contains('1'));
        QVERIFY2(cfileText().contains(QLatin1String("REM: Data Exported to Excel Successfully...")), qPrintable(cfileText()));
        QString end;
        const QList<Block> blocks = readBlocks(xlApp->Workbooks(1)->Worksheets(QStringLiteral("String")), &end);
        QCOMPARE(blocks.size(), 1);
        QCOMPARE(blocks[0].begin, QStringLiteral("Shots=2 Folder=4 String=6"));
        QCOMPARE(blocks[0].shots.size(), 2);
        QCOMPARE(blocks[0].shots[1][4], 282.5);
    }

    // The panel's export key with the eDisk source: "3", every folder's
    // strings, the last closed by a second End line.
    void panelExportsTheWholeEDisk()
    {
        store(1, 2, {310.0});
        store(10, 1, {320.0, 330.0});
        frmRemCtr *panel = frmRemCtr::get();
        panel->optExpSrc[2]->click();
        panel->cmdExp2Excel->click();
        QVERIFY(sim.received().contains('3'));
        QVERIFY2(cfileText().contains(QLatin1String("REM: Data Exported to Excel Successfully...")), qPrintable(cfileText()));
        QString end;
        const QList<Block> blocks = readBlocks(xlApp->Workbooks(1)->Worksheets(QStringLiteral("eDisk")), &end);
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(blocks[0].begin, QStringLiteral("Shots=1 Folder=1 String=2"));
        QCOMPARE(blocks[1].begin, QStringLiteral("Shots=2 Folder=10 String=1"));
        QCOMPARE(blocks[1].shots[1][0], 3.0);
        QCOMPARE(blocks[1].shots[1][4], 330.0);
        QVERIFY(!end.isEmpty());
    }

    // The panel's Download with the Excel destination: its own keys bring the
    // folder's dump once, and that dump is what the workbook gets.
    void panelDownloadToExcel()
    {
        sim.unit().curFol = 2;
        store(2, 4, {401.0, 402.0, 403.0});
        frmRemCtr *panel = frmRemCtr::get();
        panel->optDwnSrc[1]->click();
        panel->optDwnDes[2]->click();
        panel->cmdDownload->click();
        QVERIFY2(sim.received().startsWith("[D2"), sim.received().constData());
        QCOMPARE(sim.received().count('2'), 1);
        QVERIFY2(cfileText().contains(QLatin1String("REM: Data Exported to Excel Successfully...")), qPrintable(cfileText()));
        // The dump went to the workbook, not into the CFile.
        QVERIFY(!cfileText().contains(QLatin1String("MMR:")));
        QString end;
        const QList<Block> blocks = readBlocks(xlApp->Workbooks(1)->Worksheets(QStringLiteral("Folder")), &end);
        QCOMPARE(blocks.size(), 1);
        QCOMPARE(blocks[0].begin, QStringLiteral("Shots=3 Folder=2 String=4"));
        QCOMPARE(blocks[0].shots.size(), 3);
        QCOMPARE(blocks[0].shots[2][4], 403.0);
    }

    // The CFile command reads the active CFile's shot lines; no download.
    void cfileCommand()
    {
        doc->rtfText->SetText(QStringLiteral("CAP:00001 301.5 f/s 0.250 sec 70 fah 01:01_Av 301.5\r\n"
                                             "CAP:00002 303.5 f/s 0.750 sec 70 fah 01:02_Av 302.5\r\n"));
        frmMDI::get()->mnuExpExcCFi->trigger();
        QVERIFY(!sim.received().contains('2') && !sim.received().contains('1'));
        QVERIFY2(cfileText().contains(QLatin1String("REM: Exporting CFile Data and Formulas - ")), qPrintable(cfileText()));
        QVERIFY(!cfileText().contains(QLatin1String("Failed")));
        SheetPtr ws = xlApp->Workbooks(1)->Worksheets(QStringLiteral("CFile"));
        QStringList vel;
        for (int r = 5; r < 30; ++r)
            if (ws->Cells(r, 1)->Value().isNumber() && ws->Cells(r, 11)->Value().isNumber())
                vel << ws->Cells(r, 5)->Value().toString();
        QCOMPARE(vel, QStringList({"301.5", "303.5"}));
    }

    // A failed download is reported and nothing reaches the workbook.
    void downloadFails_data()
    {
        QTest::addColumn<QByteArray>("silent");
        QTest::addColumn<int>("code");
        QTest::newRow("sensors do not report") << QByteArray("Z") << 1;
        QTest::newRow("no dump") << QByteArray("2") << 2;
    }
    void downloadFails()
    {
        QFETCH(QByteArray, silent);
        QFETCH(int, code);
        store(1, 1, {300.0});
        croDump = QStringLiteral("MMR:<Begin> left over");
        sim.options().silentKeys = silent;
        frmMDI::get()->mnuRemExpExcFol->trigger();
        QVERIFY(croDump.isEmpty());
        QStringList texts;
        for (const auto &a : answers::asked())
            texts << a.question.text;
        QVERIFY2(texts.contains(QStringLiteral("Err(") + QString::number(code)
                                + QStringLiteral(") - Failed to retrieve shots from KT4...!")),
                 qPrintable(texts.join(u'|')));
        QVERIFY2(cfileText().contains(QLatin1String("REM: Err(1)->Failed to complete data export...!")), qPrintable(cfileText()));
        QVERIFY(!xlApp);
    }
};

QTEST_MAIN(TestExpDownload)
#include "tst_expDownload.moc"
