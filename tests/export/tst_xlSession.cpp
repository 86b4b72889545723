// The workbook shared with the user: view options read from the iSetup sheet,
// the double-click on "Capture", the close guard seen from the spreadsheet
// window, and saving and closing the program's workbook.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "chrono/modCroCox.h"
#include "export/modExpExc.h"
#include "export/modExpNbr.h"
#include "export/modExpRdr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/spreadsheet_window.h"
#include "serial/modRxEngine.h"
#include "shell/frmMDI.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "common/filesizelimit.h"
#include "common/xlfixture.h"

#include <unistd.h>

using namespace vt;
using namespace vt::xl;
using namespace vttest;
using vt::test::FileSizeLimit;

namespace {

struct Notes : NotesNbr {
    QList<int> seen, asked;
    int16_t reply = 6;
    void seeMsgNote(int16_t number, int16_t) override { seen << number; }
    int16_t askMsgNote(int16_t number, int16_t) override
    {
        asked << number;
        return reply;
    }
};

bool editing(QTableView *v)
{
    const auto *ed = v->viewport()->findChild<QLineEdit *>();
    return ed && ed->isVisible();
}

SheetPtr setupSheet() { return xlApp->Workbooks(1)->Worksheets(QStringLiteral("iSetup")); }

// The four option sets as "UUU NNN FFF III" with 1 for true.
QString options()
{
    const auto bits = [](const bool (&a)[3]) {
        return QString::number(a[0]) + QString::number(a[1]) + QString::number(a[2]);
    };
    return bits(XlSes.ExpExcUHed) + u' ' + bits(XlSes.ExpExcNHed) + u' ' + bits(XlSes.ExpExcFSts) + u' '
           + bits(XlSes.ExpExcIPos);
}

void setOptions(bool on)
{
    for (bool *a : {XlSes.ExpExcUHed, XlSes.ExpExcNHed, XlSes.ExpExcFSts, XlSes.ExpExcIPos})
        std::fill(a, a + 3, on);
}

int beginRows(const SheetPtr &ws)
{
    int n = 0;
    for (int r = 5; r < 60; ++r)
        if (ws->Cells(r, 12)->Value().toString() == QLatin1String("Pause Notes:"))
            ++n;
    return n;
}

void shot(int n)
{
    CapExport.excLine = shotLines(1, n).trimmed();
    prsCapLine();
    QVERIFY(putCapLine(2, 5));
}

} // namespace

class TestXlSession : public QObject {
    Q_OBJECT
    Notes notes;
    QTemporaryDir work;

    SpreadsheetWindow *window()
    {
        xlApp->setVisible(true);
        auto *w = qobject_cast<SpreadsheetWindow *>(xlApp->window());
        w->refreshNow();
        return w;
    }
    // Double-clicks cell B7 of the named sheet in the spreadsheet window.
    QTableView *doubleClick(const QString &sheet)
    {
        xlApp->Workbooks(1)->Worksheets(sheet)->Activate();
        SpreadsheetWindow *w = window();
        QTableView *grid = w->grid();
        emit grid->doubleClicked(grid->model()->index(6, 1));
        return grid;
    }

private slots:
    void initTestCase()
    {
        installNotes(&notes);
        installExportSubsystem();
        frmMDI::get()->show();
    }
    void cleanupTestCase()
    {
        resetExport();
        installNotes(nullptr);
    }
    void init()
    {
        resetExport();
        seedTemplate();
        answers::reset();
        notes = Notes();
        frmMDI::get()->setWindowState(Qt::WindowNoState);
        QCOMPARE(int(excOpen(0, 1)), 0);
    }

    // The template's own table for CFile: units YES YES NO, names YES NO NO.
    void iSetupTemplateTable()
    {
        setOptions(false);
        int16_t t = 4;
        QVERIFY(syncISetup(t));
        QCOMPARE(options(), QStringLiteral("110 100 111 111"));
    }

    void iSetupCellValues_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("yes with blanks") << " yes " << false << true;
        QTest::newRow("no in lower case") << "no" << true << false;
        QTest::newRow("both words") << "YES/NO" << true << false;
        QTest::newRow("both words, was off") << "YES/NO" << false << false;
        QTest::newRow("none counts as no") << "none" << true << false;
        QTest::newRow("empty leaves it, on") << "" << true << true;
        QTest::newRow("empty leaves it, off") << "" << false << false;
        QTest::newRow("a number leaves it") << "17" << true << true;
    }
    void iSetupCellValues()
    {
        QFETCH(QString, cell);
        QFETCH(bool, before);
        QFETCH(bool, after);
        // Capture (type 5): rows 21 and 22, blocks at columns 3 and 7. The
        // lower row's third column of the second block is ExpExcIPos(2),
        // which no layout uses but the synchronisation sets all the same.
        SheetPtr ws = setupSheet();
        QCOMPARE(ws->Cells(6, 18)->Value().toDouble(), 21.0);
        ws->Cells(22, 9)->setFormula(cell);
        setOptions(!before);
        XlSes.ExpExcIPos[2] = before;
        int16_t t = 5;
        QVERIFY(syncISetup(t));
        QCOMPARE(XlSes.ExpExcIPos[2], after);
        QCOMPARE(options().left(14), QStringLiteral("110 100 111 11"));
    }

    // The index table is read for every sheet type before any option.
    void iSetupFailingIndexTable_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("value");
        QTest::newRow("CFile's row number empty") << "R5" << "";
        QTest::newRow("CFile's column number zero") << "N5" << "0";
        QTest::newRow("another type's row is text") << "S3" << "row";
        QTest::newRow("unused column T is text") << "T2" << "x";
        QTest::newRow("row beyond the sheet") << "R5" << "2000000";
    }
    void iSetupFailingIndexTable()
    {
        QFETCH(QString, cell);
        QFETCH(QString, value);
        setupSheet()->Range(cell)->setFormula(value);
        setOptions(false);
        int16_t t = 4;
        QVERIFY(!syncISetup(t));
        QCOMPARE(options(), QStringLiteral("000 000 000 000"));
    }

    void iSetupWithoutTheSheet()
    {
        setupSheet()->setName(QStringLiteral("Setup"));
        int16_t t = 1;
        QVERIFY(!syncISetup(t));
    }

    // An export with the workbook's options takes them from the sheet.
    void exportReadsTheSheet()
    {
        XlSes.ExpExcXSet = true;
        setOptions(true);
        setupSheet()->Range(QStringLiteral("C13"))->setValue(QStringLiteral("no"));   // Folder: names on top
        int16_t got = -1;
        expParts.expEDisk = [&](int16_t &, int16_t &sheetType) {
            got = sheetType;
            return int16_t(0);
        };
        setCFileLog({[] { return true; }, [](const QString &) {}});
        expExcel(3, 1, 2, 4);
        setCFileLog({});
        QCOMPARE(got, int16_t(2));
        QCOMPARE(options(), QStringLiteral("110 000 111 111"));
    }

    void doubleClickOnCapture_data()
    {
        QTest::addColumn<int>("reply");
        QTest::addColumn<int>("begins");
        QTest::newRow("Yes") << 6 << 2;
        QTest::newRow("No") << 7 << 1;
    }
    void doubleClickOnCapture()
    {
        QFETCH(int, reply);
        QFETCH(int, begins);
        SheetPtr cap = xlApp->Workbooks(1)->Worksheets(QStringLiteral("Capture"));
        cap->Activate();
        rstShotRec();
        shot(1);
        shot(2);
        QCOMPARE(beginRows(cap), 1);

        notes.reply = int16_t(reply);
        QTableView *grid = doubleClick(QStringLiteral("Capture"));
        QCOMPARE(notes.asked, QList<int>({6}));
        QVERIFY(!editing(grid));
        QVERIFY(frmMDI::get()->windowState().testFlag(Qt::WindowMinimized));

        cap->Activate();
        shot(3);
        QCOMPARE(beginRows(cap), begins);
    }

    void doubleClickElsewhereEdits()
    {
        QTableView *grid = doubleClick(QStringLiteral("String"));
        QVERIFY(notes.asked.isEmpty());
        QVERIFY(editing(grid));
        QVERIFY(!CapExport.capBlkPend);
        // The main window goes down for any sheet.
        QVERIFY(frmMDI::get()->windowState().testFlag(Qt::WindowMinimized));
    }

    // Closing from the spreadsheet window: the program's workbook stays,
    // another one closes.
    void closeFromTheSpreadsheetWindow()
    {
        BookPtr other = xlApp->Workbooks()->Add();
        other->Activate();
        answers::queueKeyed(QStringLiteral("save"), QStringLiteral("No"));
        SpreadsheetWindow *w = window();
        w->closeAction()->trigger();
        QVERIFY(other->isClosed());
        QVERIFY(notes.seen.isEmpty());

        frmMDI::get()->setWindowState(Qt::WindowMinimized);
        xlApp->Workbooks(1)->Activate();
        w->refreshNow();
        w->closeAction()->trigger();
        QCOMPARE(notes.seen, QList<int>({10}));
        QCOMPARE(xlApp->Workbooks()->Count(), 1);
        QCOMPARE(frmMDI::get()->windowState(), Qt::WindowNoState);
        QVERIFY(xlBookOk);
    }

    void closeSavedWorkbook()
    {
        xlApp->Workbooks(1)->setSaved(true);
        clsXlBook();
        QVERIFY(answers::asked().isEmpty());
        QCOMPARE(xlApp->Workbooks()->Count(), 0);
        QVERIFY(!xlBookOk && !xlClosing && xlConnected);
        QCOMPARE(frmMDI::get()->windowState(), Qt::WindowNoState);
        QVERIFY(notes.seen.isEmpty());
    }

    void closeAndSave()
    {
        const QString path = QDir(work.path()).filePath(QStringLiteral("shots.xls"));
        xlApp->Workbooks(1)->Worksheets(QStringLiteral("String"))->Range(QStringLiteral("E5"))->setValue(301.5);
        answers::queue(path);
        clsXlBook();
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(answers::asked()[0].question.kind, QStringLiteral("save"));
        QCOMPARE(xlApp->Workbooks()->Count(), 0);
        QVERIFY(!xlBookOk);
        BookPtr back = xlApp->Workbooks()->Open(path);
        QCOMPARE(back->Worksheets(QStringLiteral("String"))->Range(QStringLiteral("E5"))->Value().toDouble(), 301.5);
        // The connection stays: a new workbook needs no new start.
        xlClosing = true;
        back->Close(false);
        xlClosing = false;
        QCOMPARE(int(excOpen(0, 1)), 0);
    }

    void cancelledSaveKeepsTheWorkbook()
    {
        xlApp->Workbooks(1)->setSaved(false);
        answers::queue("Cancel");
        clsXlBook();
        QCOMPARE(xlApp->Workbooks()->Count(), 1);
        QVERIFY(xlBookOk && !xlClosing);
        QVERIFY(xlApp->Visible());
        // Still guarded and still usable.
        QVERIFY(!xlApp->Workbooks(1)->Close(false));
        QCOMPARE(notes.seen, QList<int>({10}));
    }

    // A save that fails (a read-only folder for a user, a disk that takes
    // no more for root as well) leaves the workbook open and prepared.
    void failedSaveKeepsTheWorkbook_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("read-only folder") << true;
        QTest::newRow("disk full") << false;
    }
    void failedSaveKeepsTheWorkbook()
    {
        QFETCH(bool, readOnlyFolder);
        if (readOnlyFolder && geteuid() == 0)
            QSKIP("a read-only folder does not stop root");
        const QString folder = QDir(work.path()).filePath(QStringLiteral("locked"));
        QDir().mkpath(folder);
        xlApp->Workbooks(1)->setSaved(false);
        answers::queue(QDir(folder).filePath(QStringLiteral("shots.xls")));
        if (readOnlyFolder) {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            clsXlBook();
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        } else {
            FileSizeLimit limit(1024);
            clsXlBook();
        }
        QCOMPARE(xlApp->Workbooks()->Count(), 1);
        QVERIFY(!xlApp->Workbooks(1)->isClosed());
        QVERIFY(xlBookOk && !xlClosing);
        QVERIFY(xlApp->Visible());
        QCOMPARE(answers::asked().size(), 2);
        QVERIFY(answers::asked()[1].question.text.startsWith(QStringLiteral("Failed to save the workbook as\r\n")));
        QVERIFY(answers::asked()[1].question.text.endsWith(QStringLiteral("The workbook stays open.")));
        QVERIFY(!QFile::exists(QDir(folder).filePath(QStringLiteral("shots.xls"))));
    }

    void programEndQuitsTheSpreadsheet()
    {
        AppPtr app = xlApp;
        // The spreadsheet program asks about its unsaved workbook itself.
        answers::queue(QStringLiteral("No"));
        extExcel();
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(answers::asked()[0].answer, QStringLiteral("No"));
        QVERIFY(!xlConnected && xlClosing);
        QVERIFY(!xlApp);
        QVERIFY(!trapErrors([&] { app->Workbooks()->Count(); }));
        QCOMPARE(Err.Number, 462);
        Err.Clear();
        xlClosing = false;
    }
};

QTEST_MAIN(TestXlSession)
#include "tst_xlSession.moc"
