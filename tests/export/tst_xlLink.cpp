// The live link end to end: the simulated chronograph fires shots through the
// terminal window's link port, the receive engine queues them, tmrExcRtc hands
// them to the link, and the rows land in the Capture sheet of the workbook.
#include <QAction>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QTest>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroTmr.h"
#include "common/cfilefixture.h"
#include "common/simline.h"
#include "common/xlfixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "export/frmExpSet.h"
#include "export/modExpExc.h"
#include "export/modExpLnk.h"
#include "export/modExpNbr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/serialport.h"
#include "remote/frmRemCtr.h"
#include "remote/modRemoteNbr.h"
#include "serial/frmTerminal.h"
#include "serial/modRxEngine.h"
#include "serial/modSerialNbr.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStatus.h"
#include "sim/kt4sim.h"

#include <cmath>

using namespace vt;
using namespace vt::xl;
using namespace vttest;

namespace {

// What the Capture sheet holds from row 5 down, in the order of its rows.
struct Row {
    enum Kind { Begin, Shot, End } kind;
    QString a;            // column A as text
    QList<double> values; // shot rows: columns A to P
};

QList<Row> captureRows(const SheetPtr &ws, int32_t lastRow)
{
    QList<Row> out;
    for (int r = 5; r < lastRow; ++r) {
        const Variant a = ws->Cells(r, 1)->Value();
        const QString text = a.toString();
        if (text.contains(QLatin1String("CAP-Import(")))
            out << Row{text.startsWith(QLatin1String("End ")) ? Row::End : Row::Begin, text, {}};
        else if (a.isNumber() && ws->Cells(r, 11)->Value().isNumber())
            out << Row{Row::Shot, text, shotRowValues(ws, r)};
    }
    return out;
}

QString kinds(const QList<Row> &rows)
{
    QString k;
    for (const Row &r : rows)
        k += r.kind == Row::Begin ? u'B' : r.kind == Row::Shot ? u's' : u'E';
    return k;
}

const QString kUnlinkText = QStringLiteral("Excel can not be Unlinked while Chronograph");

} // namespace

class TestXlLink : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim;
    frmTerminal *term = nullptr;
    EditorFakes *fakes = nullptr;
    QTemporaryDir dir;

    SheetPtr sheet(const QString &name) { return xlApp->Workbooks(1)->Worksheets(name); }
    SheetPtr capture() { return sheet(QStringLiteral("Capture")); }
    QList<Row> rows() { return captureRows(capture(), XlSes.xlLastRow[4] + 1); }
    int shotRows()
    {
        int n = 0;
        for (const Row &r : rows())
            n += r.kind == Row::Shot;
        return n;
    }

    // The unit armed, with a valid status, an empty string 1 and strings of `size` shots.
    void arm(int size = 16)
    {
        sim.unit().disk.clear();
        sim.unit().curFol = 1;
        sim.unit().curStr = 1;
        sim.unit().maxSho = size;
        sim.unit().armed = true;
        CroSta.croStaOk = true;
        CroSta.croSnsOn = true;
    }

    void linkOn() { frmMDI::get()->mnuExcConnect->trigger(); }

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(sim.start(false, &why), qPrintable(why));
        QVERIFY(dir.isValid());
    }

    void init()
    {
        // The chronograph's commands are wired when the main window loads.
        installChronoSubsystem();
        installExportSubsystem();
        fakes = &startEditor();
        resetExport();
        seedTemplate();
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        RxRoute[0] = true;
        RxRoute[2] = false;
        QVERIFY(vttest::reopenSimLine(sim, term));
        CreateNewCFile();
        QVERIFY(ActiveForm());
        CroSta = CroStatus{};
        vttest::unitsAsReported();
        XlSes.ExpExcXLog = false;
        excRtcOn = false;
        zapRxData();
        answers::reset();
    }
    void cleanup()
    {
        lnkTmr().tmrExcRtc.setEnabled(false);
        excRtcOn = false;
        if (term->MSComm1->PortOpen())
            term->subClosePort();
        resetExport();
        stopEditor();
        installChrono(nullptr);
        installExport(nullptr);
        unloadLinkTimers();
    }

    // Ten shots fired while the user looks at another sheet become ten rows
    // of the Capture sheet, in order, with their running statistics; the
    // unit's "<End>" starts a new block; the saved workbook reads back the same.
    void shotsReachTheCaptureSheet()
    {
        arm(10);
        ShowWarnKT = true;
        frmMDI::get()->mnuExcLink->trigger();
        QVERIFY2(xlLinked, qPrintable(boxTexts().join(u'|')));
        QVERIFY(excRtcOn);
        QVERIFY(lnkTmr().tmrExcRtc.Enabled());
        QVERIFY(fakes->notes.questions.isEmpty()); // sensors armed: no calibration offered
        QVERIFY(frmMDI::get()->mnuExcConnect->isChecked());
        RangePtr a2 = capture()->Range(QStringLiteral("A2"));
        QCOMPARE(a2->Value().toString(), QStringLiteral("Link On"));
        QCOMPARE(a2->Font()->ColorIndex(), 10);
        QCOMPARE(a2->Font()->Size(), 11.0);
        QVERIFY(capture()->Cells(1, 5)->Value().toString().startsWith(QLatin1String("Source Of This Data: Capture")));

        // The user brings another sheet to the front.
        SheetPtr other = sheet(QStringLiteral("String"));
        other->Activate();
        const int32_t otherNext = XlSes.xlLastRow[0];

        const QList<double> first = {301.5, 299.2, 305.0, 298.7, 300.5, 302.0, 297.5, 303.2, 300.0, 301.0};
        for (double v : first)
            sim.fireShot(v);
        QTRY_COMPARE_WITH_TIMEOUT(shotRows(), 10, 15000);
        // The block's end from the unit: its "#" statistics and "<End>" lines.
        QVERIFY(sim.waitIdle());
        QTRY_VERIFY_WITH_TIMEOUT(CapExport.excQueue.empty() && CapExport.capBlkPend, 30000);
        const QList<double> second = {280.5, 290.0, 285.2};
        for (double v : second)
            sim.fireShot(v);
        QTRY_COMPARE_WITH_TIMEOUT(shotRows(), 13, 15000);

        QCOMPARE(xlApp->ActiveSheet()->Name(), QStringLiteral("String"));
        QCOMPARE(XlSes.xlLastRow[0], otherNext);
        for (int r = 5; r < 40; ++r)
            QVERIFY2(other->Cells(r, 1)->Value().isEmpty(), qPrintable(QString::number(r)));

        const QList<Row> got = rows();
        QCOMPARE(kinds(got), QStringLiteral("B") + QString(10, u's') + u'B' + QString(3, u's'));
        const QList<QList<double>> want = {first, second};
        int at = 0;
        for (const QList<double> &block : want) {
            ++at; // the Begin row
            QList<double> so;
            for (int k = 0; k < block.size(); ++k, ++at) {
                const QList<double> &v = got[at].values;
                so << block[k];
                QCOMPARE(v[3], double(k + 1));              // shot of the string
                QCOMPARE(v[4], block[k]);                   // velocity
                QCOMPARE(v[10], double(k + 1));             // shots in the block
                QCOMPARE(v[11], *std::min_element(so.begin(), so.end()));
                QCOMPARE(v[12], *std::max_element(so.begin(), so.end()));
                QVERIFY(std::abs(v[13] - mean(so)) < 1e-9);
                if (so.size() > 1)
                    QVERIFY(std::abs(v[15] - sampleStdev(so)) < 1e-9);
            }
        }
        // The running count of the unit, one apart each.
        QCOMPARE(got[2].values[0], got[1].values[0] + 1);

        const QString path = dir.filePath(QStringLiteral("link.xlsx"));
        QVERIFY(trapErrors([&] { xlApp->Workbooks(1)->SaveAs(path); }));
        AppPtr reader = CreateApplication();
        BookPtr back = reader->Workbooks()->Open(path);
        const QList<Row> reread = captureRows(back->Worksheets(QStringLiteral("Capture")), XlSes.xlLastRow[4] + 1);
        QCOMPARE(kinds(reread), kinds(got));
        for (int k = 0; k < got.size(); ++k)
            QCOMPARE(reread[k].values, got[k].values);
        reader->Quit();
    }

    // The calibration offer on linking depends on the warnings switch and
    // on what the unit last reported.
    void calibrationQuestion_data()
    {
        QTest::addColumn<bool>("warn");
        QTest::addColumn<bool>("sensorsOn");
        QTest::addColumn<bool>("statusOk");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::newRow("sensors off, No") << true << false << true << int(vbNo) << true;
        QTest::newRow("no valid status, Yes") << true << true << false << int(vbYes) << true;
        QTest::newRow("armed and valid") << true << true << true << int(vbYes) << false;
        QTest::newRow("warnings off") << false << false << false << int(vbYes) << false;
    }
    void calibrationQuestion()
    {
        QFETCH(bool, warn);
        QFETCH(bool, sensorsOn);
        QFETCH(bool, statusOk);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        ShowWarnKT = warn;
        CroSta.croSnsOn = sensorsOn;
        CroSta.croStaOk = statusOk;
        fakes->notes.answer = int16_t(answer);
        sim.clearReceived();
        linkOn();
        QVERIFY(xlLinked);
        QCOMPARE(fakes->notes.questions, asked ? QList<int>{5} : QList<int>{});
        const bool calibrated = asked && answer == vbYes;
        if (calibrated)
            QVERIFY(sim.waitForReceived(2, 30000));
        QCOMPARE(sim.received().contains('C'), calibrated);
        if (calibrated)
            QVERIFY(CroSta.croCalOk && CroSta.croSnsOn);
    }

    // Unlinking while the unit's sensors are on asks first; No keeps the
    // link and its marks, Yes closes the import.
    void unlinkQuestionWhileSensorsOn()
    {
        arm();
        linkOn();
        QVERIFY(RxRoute[2]);
        sim.fireShot(300.0);
        QTRY_COMPARE_WITH_TIMEOUT(shotRows(), 1, 30000);
        frmMDI *mdi = frmMDI::get();

        answers::queue(QStringLiteral("No"));
        mdi->mnuExcDisConnect->trigger();
        const answers::Record q = answers::last();
        QVERIFY2(q.question.text.startsWith(kUnlinkText), qPrintable(q.question.text));
        QVERIFY(q.question.text.contains(QLatin1String("click on <Stop>.\r\n\r\nDo you want to Unlink Excel anyway.?")));
        QCOMPARE(q.question.defaultAnswer, QStringLiteral("No"));
        QVERIFY(xlLinked && excRtcOn && lnkTmr().tmrExcRtc.Enabled());
        QVERIFY(mdi->mnuExcConnect->isChecked());
        QVERIFY(!mdi->mnuExcDisConnect->isChecked());
        QCOMPARE(capture()->Range(QStringLiteral("A2"))->Value().toString(), QStringLiteral("Link On"));
        QCOMPARE(kinds(rows()), QStringLiteral("Bs"));

        // The remote panel's box is the same switch.
        installRemoteSubsystem();
        frmRemCtr *rem = frmRemCtr::get();
        updAllSta();
        QVERIFY(rem->chkHwrLnkTo[2]->isChecked());
        answers::queue(QStringLiteral("Yes"));
        rem->chkHwrLnkTo[2]->click();
        QVERIFY(!xlLinked && !excRtcOn && !lnkTmr().tmrExcRtc.Enabled());
        QVERIFY(!rem->chkHwrLnkTo[2]->isChecked());
        QVERIFY(mdi->mnuExcDisConnect->isChecked());
        RangePtr a2 = capture()->Range(QStringLiteral("A2"));
        QCOMPARE(a2->Value().toString(), QStringLiteral("Link Off"));
        QCOMPARE(a2->Font()->ColorIndex(), 3);
        QCOMPARE(kinds(rows()), QStringLiteral("BsE"));
        rem->unload(vbFormCode);
    }

    // Chrono > Start with the calibration declined arms the unit's sensors:
    // while its shots reach the Capture sheet, unlinking asks first.
    void unlinkAsksAfterDeclinedCalibration()
    {
        ShowWarnKT = false; // no calibration offer on linking
        linkOn();
        QVERIFY(xlLinked);
        answers::queueKeyed(QStringLiteral("Calibrate the unit now..?"), QStringLiteral("No"));
        frmMDI::get()->mnuRemStart->trigger();
        QVERIFY(sim.unit().armed);
        sim.fireShot(300.0);
        QTRY_COMPARE_WITH_TIMEOUT(shotRows(), 1, 30000);
        answers::queue(QStringLiteral("No"));
        frmMDI::get()->mnuExcDisConnect->trigger();
        QVERIFY2(answers::last().question.text.startsWith(kUnlinkText), qPrintable(boxTexts().join(u'|')));
        QVERIFY(xlLinked);
    }

    // With the sensors off nothing is asked; the lines still waiting in the
    // queue are written before the End row, all into the Capture sheet.
    void unlinkWritesWaitingLinesFirst()
    {
        arm();
        linkOn();
        lnkTmr().tmrExcRtc.setEnabled(false); // the lines stay queued
        sheet(QStringLiteral("eDisk"))->Activate();
        for (double v : {310.0, 311.0, 312.0, 313.0, 314.0})
            sim.fireShot(v);
        QTRY_COMPARE_WITH_TIMEOUT(CapExport.excQueCnt, 5, 30000);
        CroSta.croSnsOn = false;

        frmMDI::get()->mnuExcLink->trigger();
        QVERIFY(answers::asked().isEmpty());
        QVERIFY(!xlLinked);
        QCOMPARE(CapExport.excQueCnt, 0);
        const QList<Row> got = rows();
        QCOMPARE(kinds(got), QStringLiteral("BsssssE"));
        for (int k = 0; k < 5; ++k)
            QCOMPARE(got[k + 1].values[4], 310.0 + k);
        QVERIFY(sheet(QStringLiteral("eDisk"))->Cells(5, 1)->Value().isEmpty());
    }

    // Linking again while linked starts a second import at once: a new
    // source line and Begin row, no End row between them. The C&Link item of
    // the CFile's pop-up menu is the same switch.
    void linkOnTwice()
    {
        arm();
        frmMDI *mdi = frmMDI::get();
        mdi->popCapture->setEnabled(true);
        mdi->popCapture->trigger();
        QVERIFY(xlLinked);
        sim.fireShot(300.0);
        QTRY_COMPARE_WITH_TIMEOUT(shotRows(), 1, 30000);
        linkOn();
        QCOMPARE(capture()->Cells(1, 17)->Value().number(), 2.0); // the import counter
        sim.fireShot(301.0);
        QTRY_COMPARE_WITH_TIMEOUT(shotRows(), 2, 30000);
        const QList<Row> got = rows();
        QCOMPARE(kinds(got), QStringLiteral("BsBs"));
        QVERIFY(got[2].a.contains(QLatin1String("CAP-Import(2)")));
    }

    // A workbook that is not ready leaves the link off and asks nothing.
    void noWorkbookNoLink()
    {
        qputenv("VANTRELL_NO_SPREADSHEET", "1");
        linkOn();
        QVERIFY(!xlLinked);
        QVERIFY(!excRtcOn);
        QVERIFY(!lnkTmr().tmrExcRtc.Enabled());
        QVERIFY(fakes->notes.questions.isEmpty());
        QVERIFY(!frmMDI::get()->mnuExcConnect->isChecked());
    }

    // A thousand shots sent back to back as fast as the link carries them:
    // every one becomes its row, in order, none dropped.
    void thousandShotsNoneLost()
    {
        arm();
        linkOn();
        const int32_t start = XlSes.xlLastRow[4];
        sim.sendRaw(shotLines(1000).toLatin1());
        QTRY_COMPARE_WITH_TIMEOUT(CapExport.excQueTot, 1000, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(CapExport.excQueue.empty(), 120000);
        QCOMPARE(CapExport.excQueOvf, 0);
        // A Begin row and its two header rows, then one row per shot.
        QCOMPARE(XlSes.xlLastRow[4], start + 1 + 3 + 1000);
        SheetPtr ws = capture();
        for (int k = 0; k < 1000; ++k) {
            const int r = start + 4 + k;
            QCOMPARE(ws->Cells(r, 1)->Value().number(), double(k + 1));
            QCOMPARE(ws->Cells(r, 5)->Value().number(), 200.5 + (k + 1) % 100);
        }
    }
};

QTEST_MAIN(TestXlLink)
#include "tst_xlLink.moc"
