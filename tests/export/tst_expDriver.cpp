// The export driver: its call table, the log lines of each outcome, the
// progress window's texts, the calculation state during and after an export,
// the main window minimised and brought back, and the menu commands.
#include <QAction>
#include <QLabel>
#include <QTest>

#include "chrono/modCroCox.h"
#include "export/modExpExc.h"
#include "export/modExpNbr.h"
#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/timers.h"
#include "shell/frmFPrgrs.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "common/xlfixture.h"

using namespace vt;
using namespace vt::xl;
using namespace vttest;

namespace {

struct FakeChrono : ChronoNbr {
    bool wakes = true;
    int16_t download = 0;
    QList<int> kinds;
    bool croWake() override { return wakes; }
    int16_t getCroShots(int16_t kind) override
    {
        kinds << kind;
        return download;
    }
};

// What a reader saw when the driver handed it the work.
struct Seen {
    int calls = 0;
    int16_t source = -1, sheetType = -1;
    QString sheet;
    int maxIterations = 0;
    bool remoteRefs = true;
    bool mainMinimised = false;
    QString progressHead, progressWhat;
};

} // namespace

class TestExpDriver : public QObject {
    Q_OBJECT
    FakeChrono chrono;
    QStringList log;
    bool cfileOpen = true;
    Seen seen;
    int16_t readerResult = 0;
    QDateTime fixed = QDateTime(QDate(2024, 5, 6), QTime(13, 4, 5));

    QString date() const { return Format(fixed, QStringLiteral("Short Date")); }
    QString time() const { return Format(fixed, QStringLiteral("Long Time")); }

    std::function<int16_t(int16_t &, int16_t &)> reader()
    {
        return [this](int16_t &source, int16_t &sheetType) {
            ++seen.calls;
            seen.source = source;
            seen.sheetType = sheetType;
            seen.sheet = xlApp->ActiveSheet()->Name();
            seen.maxIterations = xlApp->MaxIterations();
            seen.remoteRefs = xlApp->ActiveWorkbook()->UpdateRemoteReferences();
            seen.mainMinimised = frmMDI::get()->windowState().testFlag(Qt::WindowMinimized);
            if (frmFPrgrs::isLoaded()) {
                seen.progressHead = frmFPrgrs::instance()->labPrgrs->text();
                seen.progressWhat = frmFPrgrs::instance()->labWhat->text();
            }
            return readerResult;
        };
    }

private slots:
    void initTestCase()
    {
        installChrono(&chrono);
        installExportSubsystem();
        setCFileLog({[this] { return cfileOpen; }, [this](const QString &t) { log << t; }});
        setFixedNow(fixed);
        frmMDI::get()->show();
    }
    void cleanupTestCase()
    {
        resetExport();
        installChrono(nullptr);
        setCFileLog({});
        setFixedNow(QDateTime());
    }
    void init()
    {
        resetExport();
        seedTemplate();
        answers::reset();
        chrono = FakeChrono();
        log.clear();
        cfileOpen = true;
        seen = Seen();
        readerResult = 0;
        expParts.expEDisk = expParts.expCFile = reader();
        frmMDI::get()->setWindowState(Qt::WindowNoState);
    }

    void noCFileAndTheUserDeclines()
    {
        cfileOpen = false;
        answers::queue("No");
        expExcel(3, 2, 4, 5);
        QCOMPARE(answers::asked().size(), 2);
        QVERIFY(answers::asked()[0].question.text.startsWith("This function saves data to a CFile, there are no opened CFiles.  \r\n"));
        QCOMPARE(answers::asked()[1].question.text, QStringLiteral("Aborted by the user..!"));
        QVERIFY(!xlApp);
        QVERIFY(!frmFPrgrs::isLoaded());
        QCOMPARE(seen.calls, 0);
    }

    void downloadsOnlyForTheChronographExporters()
    {
        for (int16_t exporter : {1, 2, 3, 4, 5})
            expExcel(3, exporter == 4 ? 0 : 1, 1, exporter);
        QCOMPARE(chrono.kinds, QList<int>({1, 2, 3}));
        QCOMPARE(seen.calls, 5);
    }

    void failedDownload()
    {
        chrono.download = 2;
        expExcel(3, 1, 2, 2);
        QCOMPARE(log, QStringList({"REM: Err(1)->Failed to complete data export...!\r\n",
                                   "REM: Failed to complete data export...!  Time=" + time() + "\r\n"}));
        QVERIFY(!xlApp); // never connected
        QCOMPARE(seen.calls, 0);
    }

    void failedConnection_data()
    {
        QTest::addColumn<int>("exporter");
        QTest::addColumn<QStringList>("lines");
        const QString err = "REM: Err(3)->Vantrell to Excel Connection Failed...!\r\n";
        QTest::newRow("capture log") << 4 << QStringList({err, "REM: Vantrell to Excel Connection Failed...!  Time=" + time() + "\r\n"});
        QTest::newRow("CFile") << 5 << QStringList({err});
    }
    void failedConnection()
    {
        QFETCH(int, exporter);
        QFETCH(QStringList, lines);
        qputenv("VANTRELL_SPREADSHEET_VERSION", "8.0");
        answers::queue("No");
        expExcel(3, exporter == 4 ? 0 : 2, 4, int16_t(exporter));
        QCOMPARE(log, lines);
        QVERIFY(!frmFPrgrs::isLoaded());
        QCOMPARE(seen.calls, 0);
    }

    void captureLogExport()
    {
        expExcel(3, 0, 4, 4);
        // Source 0 goes to the Capture sheet whatever type was asked.
        QCOMPARE(seen.calls, 1);
        QCOMPARE(seen.source, int16_t(0));
        QCOMPARE(seen.sheetType, int16_t(5));
        QCOMPARE(seen.sheet, QStringLiteral("Capture"));
        QCOMPARE(seen.progressHead, QStringLiteral("Please Wait - Exporting to Excel..."));
        QCOMPARE(seen.progressWhat, QStringLiteral("Exporting Capture Data and Formulas - Excel is very slow..."));
        // During the export: one iteration, no remote references; the main window out of the way.
        QCOMPARE(seen.maxIterations, 1);
        QVERIFY(!seen.remoteRefs);
        QVERIFY(seen.mainMinimised);
        QCOMPARE(log, QStringList({"REM: Exporting Capture Data and Formulas -   Date=" + date() + "  Time=" + time() + "\r\n",
                                   "REM: Data Exported to Excel Successfully...  Process Duration = 00:00:00\r\n"}));
        // Afterwards: calculation restored, window back, progress gone.
        QCOMPARE(xlApp->Calculation(), int(xlCalculationAutomatic));
        QCOMPARE(xlApp->MaxIterations(), 100);
        QCOMPARE(xlApp->MaxChange(), 0.001);
        BookPtr wb = xlApp->Workbooks(1);
        QVERIFY(wb->UpdateRemoteReferences());
        QVERIFY(wb->SaveLinkValues());
        QVERIFY(!wb->PrecisionAsDisplayed());
        QVERIFY(xlApp->Visible());
        QVERIFY(!(frmMDI::get()->windowState() & Qt::WindowMinimized));
        QVERIFY(!frmFPrgrs::isLoaded());
        QVERIFY(xlBookOk);
        // The next export skips the connection.
        log.clear();
        expExcel(3, 1, 3, 3);
        QCOMPARE(seen.sheet, QStringLiteral("eDisk"));
        QCOMPARE(xlApp->Workbooks()->Count(), 1);
        QCOMPARE(log.size(), 2);
    }

    void cfileExportLogsNoOutcome()
    {
        expExcel(3, 2, 4, 5);
        QCOMPARE(seen.sheet, QStringLiteral("CFile"));
        QCOMPARE(log, QStringList({"REM: Exporting CFile Data and Formulas -   Date=" + date() + "  Time=" + time() + "\r\n"}));
        XlSes.ExpExcXLog = false; // the main window then stays minimised
        expExcel(3, 2, 4, 5);
        QVERIFY(frmMDI::get()->windowState() & Qt::WindowMinimized);
    }

    void readerFailure_data()
    {
        QTest::addColumn<int>("exporter");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("timeLine");
        QTest::newRow("download reader") << 2 << 103 << true;
        QTest::newRow("CFile reader") << 5 << 104 << false;
        QTest::newRow("no reader") << 4 << -1 << true;
    }
    void readerFailure()
    {
        QFETCH(int, exporter);
        QFETCH(int, result);
        QFETCH(bool, timeLine);
        if (result < 0)
            expParts.expEDisk = nullptr;
        readerResult = int16_t(result);
        expExcel(3, exporter == 5 ? 2 : 1, 2, int16_t(exporter));
        const int code = result < 0 ? 100 : result;
        QCOMPARE(log.size(), timeLine ? 3 : 2);
        QCOMPARE(log[1], "REM: Err(" + QString::number(code) + ")->Failed to complete data export...!\r\n");
        if (timeLine)
            QCOMPARE(log[2], "REM: Failed to complete data export...!  Time=" + time() + "\r\n");
        QVERIFY(xlApp->Visible());
        QVERIFY(!(frmMDI::get()->windowState() & Qt::WindowMinimized));
        // The export state stays in force, the workbook stays ready.
        QCOMPARE(xlApp->MaxIterations(), 1);
        QVERIFY(xlBookOk);
    }

    void missingSheet()
    {
        QCOMPARE(int(excOpen(0, 1)), 0);
        xlApp->Workbooks(1)->Worksheets(QStringLiteral("Folder"))->setName(QStringLiteral("Mine"));
        expExcel(3, 1, 2, 2);
        QCOMPARE(seen.calls, 0);
        QCOMPARE(log, QStringList({"REM: Err(3)->Failed to complete data export...!\r\n",
                                   "REM: Failed to complete data export...!  Time=" + time() + "\r\n"}));
        QVERIFY(xlApp->Visible());
    }

    void optionsFromTheWorkbook()
    {
        XlSes.ExpExcXSet = true;
        // The workbook's iSetup sheet cannot say where the CFile options lie.
        QCOMPARE(int(excOpen(0, 1)), 0);
        xlApp->Workbooks(1)->Worksheets(QStringLiteral("iSetup"))->Range(QStringLiteral("R5"))->ClearContents();
        expExcel(3, 2, 4, 5);
        QCOMPARE(log.last(), QStringLiteral("REM: Err(4)->Failed to complete data export...!\r\n"));
        QCOMPARE(seen.calls, 0);
        QList<int> synced;
        expParts.syncISetup = [&](int16_t t) {
            synced << t;
            return true;
        };
        expExcel(3, 2, 4, 5);
        QCOMPARE(synced, QList<int>({4}));
        QCOMPARE(seen.calls, 1);
    }

    void connectOnly_data()
    {
        QTest::addColumn<int>("action");
        QTest::newRow("live link") << 4;
        QTest::newRow("own workbook") << 1;
    }
    void connectOnly()
    {
        QFETCH(int, action);
        if (action == 1)
            answers::queue(programFile("vantboox.ixi"));
        expExcel(int16_t(action), action == 1 ? 1 : 2, 5, 5);
        QVERIFY(xlBookOk);
        QCOMPARE(seen.calls, 0);
        QCOMPARE(log, QStringList({"REM: Exporting Capture Data and Formulas -   Date=" + date() + "  Time=" + time() + "\r\n"}));
        QCOMPARE(xlApp->MaxIterations(), 1);
        QVERIFY(frmMDI::get()->windowState() & Qt::WindowMinimized);
        QVERIFY(!frmFPrgrs::isLoaded());
    }

    void menuCommands()
    {
        frmMDI *mdi = frmMDI::get();
        chrono.wakes = false;
        mdi->mnuExpExcCFi->trigger();
        QCOMPARE(seen.calls, 0);
        QVERIFY(log.isEmpty());
        chrono.wakes = true;
        const struct { QAction *item; int source, sheetType; QString sheet; } rows[] = {
            {mdi->mnuRemExpExcStr, 1, 1, "String"}, {mdi->mnuRemExpExcFol, 1, 2, "Folder"},
            {mdi->mnuExpExcEDi, 1, 3, "eDisk"},     {mdi->mnuExpExcZEzede, 0, 5, "Capture"},
            {mdi->mnuExpExcCFi, 2, 4, "CFile"},
        };
        for (const auto &r : rows) {
            r.item->trigger();
            QCOMPARE(seen.source, int16_t(r.source));
            QCOMPARE(seen.sheetType, int16_t(r.sheetType));
            QCOMPARE(seen.sheet, r.sheet);
            QVERIFY(!croTask(0)); // the busy lock is released again
        }
        QCOMPARE(seen.calls, 5);
        QCOMPARE(chrono.kinds, QList<int>({1, 2, 3}));
    }
};

QTEST_MAIN(TestExpDriver)
#include "tst_expDriver.moc"
