// The export driver and the connection to the spreadsheet program.
#include "export/modExpExc.h"

#include "chrono/modCroCox.h"
#include "export/xltemplate.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/timers.h"
#include "platform/waiting.h"
#include "serial/modRxEngine.h"
#include "shell/frmFPrgrs.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modBusy.h"
#include "shell/modErrMsgs.h"
#include "shell/modFileOperations.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"

#include <QLabel>
#include <QTime>

#include <utility>

namespace vt {

using namespace vt::xl;

namespace {

const QString crlf = QStringLiteral("\r\n");
constexpr int kNotice = vbOKOnly | vbSystemModal | vbMsgBoxSetForeground;

QString programFile(const QString &name) { return programFolder() + u'/' + name; }

QString dateText() { return Format(now(), QStringLiteral("Short Date")); }
QString timeText() { return Format(now(), QStringLiteral("Long Time")); }

// The main window, when it is loaded; the export never loads it itself.
frmMDI *mainWindow() { return frmMDI::instance(); }

void setMainState(Qt::WindowStates state)
{
    if (frmMDI *mdi = mainWindow())
        mdi->setWindowState(state);
}

bool mainMinimised()
{
    frmMDI *mdi = mainWindow();
    return mdi && (mdi->windowState() & Qt::WindowMinimized);
}

void unloadProgress()
{
    if (frmFPrgrs::isLoaded())
        frmFPrgrs::instance()->unload();
}

// Hidden while the spreadsheet program's file dialog is open.
void showProgress(bool on)
{
    if (frmFPrgrs::isLoaded())
        frmFPrgrs::instance()->setVisible(on);
}

} // namespace

AppPtr spreadsheetApp()
{
    if (!xlApp)
        raise(91);
    return xlApp;
}

namespace {

// An export that could not finish: logged with its code (a connection
// failure's code is above 1000), the main window back and the spreadsheet
// window behind the others.
void exportFailed(int32_t code, int16_t exporter)
{
    unloadProgress();
    QString text;
    if (code >= 1000) {
        code -= 1000;
        text = QStringLiteral("Vantrell to Excel Connection Failed...!");
        putErrLog(code, text);
    } else {
        text = QStringLiteral("Failed to complete data export...!");
        putErrLog(code, text);
        trapErrors([] { spreadsheetApp()->setVisible(true); });
    }
    if (exporter < 5)
        plogMsg(text + QStringLiteral("  Time=") + timeText());
    if (mainMinimised())
        setMainState(Qt::WindowNoState);
    // Sends the spreadsheet window behind the others.
    trapErrors([] {
        if (QWidget *w = spreadsheetApp()->window())
            w->lower();
    });
    Err.Clear();
}

// The workbook's calculation state: automatic, to a change of 0.001 within
// `iterations`, values as stored; `links` says whether remote references
// are updated and link values saved.
void setCalcState(ResumeNext &on, int iterations, bool links)
{
    on([] { spreadsheetApp()->setCalculation(xlCalculationAutomatic); });
    on([&] { spreadsheetApp()->setMaxIterations(iterations); });
    on([] { spreadsheetApp()->setMaxChange(0.001); });
    on([&] { spreadsheetApp()->ActiveWorkbook()->setUpdateRemoteReferences(links); });
    on([] { spreadsheetApp()->ActiveWorkbook()->setPrecisionAsDisplayed(false); });
    on([&] { spreadsheetApp()->ActiveWorkbook()->setSaveLinkValues(links); });
}

} // namespace

// --- driver ----------------------------------------------------------------------

void expExcel(int16_t action, int16_t source, int16_t sheetType, int16_t exporter)
{
    const bool dumpHeld = std::exchange(expDumpHeld, false);
    if (source == 0)
        sheetType = 5;
    if (chkCFileOpen() != 0)
        return;

    int32_t code = 1;
    const auto failure = [&] { exportFailed(code, exporter); };

    if (exporter < 4 && !dumpHeld && nbrChrono().getCroShots(exporter) > 0)
        return failure();

    frmFPrgrs *prg = frmFPrgrs::get();
    prg->labPrgrs->setText(QStringLiteral("Please Wait - Exporting to Excel..."));
    prg->labWhat->setText(QStringLiteral("Configuring Excel work Book for Vantrell..."));
    prg->show();
    setOnTop(prg);

    if (!xlBookOk) {
        const int16_t r = excOpen(action, sheetType);
        if (r > 0) {
            code = r + 1000;
            unloadProgress();
            return failure();
        }
    }

    EDiskPrs.prsFolsDisk = CroSta.croFolsDisk;
    EDiskPrs.prsStrsFol = CroSta.croStrsFol;
    EDiskPrs.prsShtsStr = CroSta.croShtsStr;

    QString sheetName;
    trapErrors([&] {
        if (sheetType < 1 || sheetType > 7)
            raise(9);
        sheetName = XlSes.xlSheetName[sheetType - 1];
    });
    if (!trapErrors([] { spreadsheetApp()->Workbooks(1)->Activate(); })) {
        code = 2;
        return failure();
    }
    if (!trapErrors([&] { spreadsheetApp()->Workbooks(1)->Worksheets(sheetName)->Activate(); })) {
        code = 3;
        return failure();
    }
    if (XlSes.ExpExcXSet && !(expParts.syncISetup ? expParts.syncISetup(sheetType) : syncISetup(sheetType))) {
        code = 4;
        return failure();
    }

    ResumeNext on;
    setMainState(Qt::WindowMinimized);
    on([] {
        if (spreadsheetApp()->WindowState() == xlMinimized)
            spreadsheetApp()->setWindowState(xlNormal);
    });
    const QString doing = QStringLiteral("Exporting ") + sheetName + QStringLiteral(" Data and Formulas - ");
    if (exporter > 0)
        plogMsg(doing + QStringLiteral("  Date=") + dateText() + QStringLiteral("  Time=") + timeText());
    if (frmFPrgrs::isLoaded()) {
        prg->labWhat->setText(doing + QStringLiteral("Excel is very slow..."));
        prg->labWhat->repaint();
    }
    on([] { spreadsheetApp()->setVisible(true); });

    // Calculation state of the export: one iteration, links left alone.
    setCalcState(on, 1, false);

    if (action != 3) {
        unloadProgress();
        on([] { updAllSta(); });
        Err.Clear();
        return;
    }

    const int64_t started = monoMs();
    code = 0;
    // Until the readers' module supplies a reader, an export of its kind fails.
    constexpr int16_t noReader = 100;
    if (exporter >= 1 && exporter <= 4)
        code = expParts.expEDisk ? expParts.expEDisk(source, sheetType) : noReader;
    else if (exporter == 5)
        code = expParts.expCFile ? expParts.expCFile(source, sheetType) : noReader;
    if (code > 0)
        return failure();

    // The calculation state restored.
    setCalcState(on, 100, true);

    const QString took = QTime(0, 0).addSecs(int((monoMs() - started) / 1000)).toString(QStringLiteral("HH:mm:ss"));
    if (exporter < 5)
        plogMsg(QStringLiteral("Data Exported to Excel Successfully...") + QStringLiteral("  Process Duration = ") + took);
    watXlReady();
    unloadProgress();
    if (XlSes.ExpExcXLog) {
        if (frmMDI *mdi = mainWindow()) {
            mdi->setWindowState(Qt::WindowNoState);
            setOnTop(mdi);
            mdi->setFocus();
            setNotOnTop(mdi);
        }
    }
    Err.Clear();
}

void opnXlBook() { expExcel(1, 1, 5, 5); }

void expXlCommand(int16_t item)
{
    // action, source, sheet type, exporter of each command
    static const int16_t table[5][4] = {{3, 1, 1, 1}, {3, 1, 2, 2}, {3, 1, 3, 3}, {3, 0, 4, 4}, {3, 2, 4, 5}};
    if (item < 0 || item > 4)
        return;
    CroTaskGuard task;
    if (task.refused())
        return;
    if (!nbrChrono().croWake())
        return;
    const int16_t *row = table[item];
    expExcel(row[0], row[1], row[2], row[3]);
}

// --- connection -------------------------------------------------------------------

QString reservedNameText()
{
    return QStringLiteral("File name  ") + XlTemplateName + QStringLiteral("  is reserved for Excel Templates.") + crlf
           + QStringLiteral("This name can not be used for your own work because of conflict.") + crlf
           + QStringLiteral("You must choose another file, rename this one, or let vantrell fix it.  ") + crlf
           + QStringLiteral("To resolve this conflict  ") + XlTemplateName + QStringLiteral("  file will be renamed to") + crlf
           + QStringLiteral("\t\t") + QStringLiteral("CBook1.xls") + crlf + crlf + QStringLiteral("Do you want to rename  ")
           + XlTemplateName + QStringLiteral("  file to ") + QStringLiteral("CBook1.xls") + QStringLiteral("  ?");
}

namespace {

// One attempt to open the export workbook. Spreadsheet errors are skipped
// statement by statement; the check points ask whether anything failed since
// the start (or since the last clear). Every stage answers 0 when it went
// through, else the attempt's result code.
class BookOpening {
public:
    explicit BookOpening(int16_t action) : newBook_(action != 1) {}

    int16_t run()
    {
        if (!xlConnected) {
            if (const int16_t code = connect())
                return code;
        }
        if (!chkXlTemplate())
            return fail(10);
        on_([&] { app_ = spreadsheetApp(); });
        if (const int16_t code = newBook_ ? addBook() : openChosenBook())
            return code;
        if (const int16_t code = matchTemplate())
            return code;
        if (const int16_t code = arrangeSheets())
            return code;
        xlBookOk = true;
        xlOpening = false;
        trapErrors([] { updAllSta(); });
        Err.Clear();
        return 0;
    }

private:
    ResumeNext on_;
    const bool newBook_;
    AppPtr app_;
    BookPtr mine_; // the workbook this attempt opened or added
    BookPtr tpl_;
    BookPtr wb_;

    bool failed() const { return on_.failures() > 0; }

    // The common failure exit: nothing of this attempt stays open, so the
    // next attempt starts from the same place.
    int16_t fail(int16_t code)
    {
        xlBookOk = false;
        xlClosing = true;
        for (const BookPtr &b : {tpl_, mine_})
            if (b && !b->isClosed())
                trapErrors([&] { b->Close(false); });
        xlClosing = false;
        Err.Clear();
        return code;
    }

    int countBooks()
    {
        int n = 0;
        trapErrors([&] { n = app_->Workbooks()->Count(); });
        return n;
    }

    // The spreadsheet program started, of a version the export can drive,
    // ready, and its events wired.
    int16_t connect()
    {
        on_([] { xlApp = CreateApplication(QStringLiteral("excel.application")); });
        if (failed()) {
            seeNoExcel();
            return 1;
        }
        float version = 0;
        on_([&] { version = float(Val(xlApp->Version())); });
        if (failed()) {
            seeNoExcel();
            return 2;
        }
        if (version < 9.0f && !askXlVersion(version)) {
            trapErrors([] { xlApp->Quit(); });
            xlApp.reset();
            Err.Clear();
            return 3;
        }
        bool ready = false;
        on_([&] { ready = xlApp->Ready(); });
        if (!ready)
            return 4;
        on_([] { setXlEvents(); });
        if (failed())
            return 5;
        xlConnected = true;
        return 0;
    }

    // The user picks a workbook; the template's own name is refused, or
    // renamed when the user lets it.
    int16_t openChosenBook()
    {
        bool rename = false;
        QString file;
        for (;;) {
            showProgress(false);
            Variant answer;
            on_([&] { answer = app_->GetOpenFilename(QStringLiteral("CBoox files (*.xls), *.xls")); });
            showProgress(true);
            // A cancelled dialog answers False.
            if (answer.isBool() || answer.toString().isEmpty())
                return fail(12);
            file = answer.toString();
            if (GetFTitle(file).toUpper() != XlTemplateName.toUpper())
                break;
            const int reply = MsgBox(reservedNameText(), vbYesNoCancel | vbDefaultButton3 | vbSystemModal
                                                             | vbMsgBoxSetForeground);
            if (reply == vbCancel)
                return fail(12);
            if (reply == vbYes) {
                rename = true;
                break;
            }
        }
        const int before = countBooks();
        on_([&] {
            BookPtr b = app_->Workbooks()->Open(file);
            if (countBooks() > before)
                mine_ = b;
        });
        if (rename) {
            if (!trapErrors([&] { app_->Workbooks(1)->SaveAs(QStringLiteral("CBook1.xls")); }))
                return fail(12);
        }
        return 0;
    }

    int16_t addBook()
    {
        on_([&] {
            BookPtr b = app_->Workbooks()->Add();
            mine_ = b;
        });
        if (failed())
            return fail(11);
        return 0;
    }

    // The template opened beside the workbook, its row and column sizes kept
    // for the export; a new workbook gets the template's sheets, and every
    // sheet must carry the template's headings and a usable next row.
    int16_t matchTemplate()
    {
        int sheets = 0;
        on_([&] {
            wb_ = app_->Workbooks(1);
            sheets = wb_->Worksheets()->Count();
        });
        if (failed())
            return fail(12);
        if (countBooks() > 1)
            return fail(13);
        const int toAdd = XlSes.xlSheetCount - sheets;

        on_([&] { tpl_ = app_->Workbooks()->Open(programFile(XlTemplateName), true); });
        on_([&] {
            SheetPtr first = tpl_->Worksheets(1);
            XlSes.xlTplSizes[0] = float(first->Rows(3)->RowHeight());
            XlSes.xlTplSizes[1] = float(first->Rows(4)->RowHeight());
            const char *const cols[] = {"F", "G", "A", "B", "C"};
            for (int k = 0; k < 5; ++k)
                XlSes.xlTplSizes[2 + k] = float(first->Columns(QString::fromLatin1(cols[k]))->ColumnWidth());
        });
        if (failed())
            return fail(15);
        int tplSheets = 0;
        on_([&] { tplSheets = tpl_->Worksheets()->Count(); });
        if (failed())
            return fail(16);
        if (tplSheets < XlSes.xlSheetCount)
            return fail(17);
        if (toAdd > 0) {
            on_([&] { wb_->Sheets()->Add({}, {}, toAdd); });
            if (failed())
                return fail(18);
        }

        for (int i = 1; i <= XlSes.xlSheetCount; ++i) {
            SheetPtr ws;
            on_([&] { ws = wb_->Worksheets(i); });
            if (newBook_) {
                on_([&] { ws->setName(XlSes.xlSheetName[i - 1]); });
                if (failed())
                    return fail(int16_t(20 + i));
                on_([&] { tpl_->Worksheets(i)->Range(QStringLiteral("A:V"))->Copy(ws->Range(QStringLiteral("A:V"))); });
                if (failed())
                    return fail(int16_t(30 + i));
            }
            double next = 0;
            // A next-row cell that holds no number counts as out of range. A sheet
            // filled to its last row stores the row just past its End row, so
            // such a workbook still opens (and its next export says it is full).
            trapErrors([&] { next = ws->Cells(2, i == XlSes.xlSetupSheet ? 12 : 17)->Value().toDouble(); });
            Err.Clear();
            if (!(next >= 1 && next <= MaxRows + 2))
                return fail(int16_t(40 + i));
            XlSes.xlLastRow[i - 1] = int32_t(next);
            bool same = true;
            on_([&] {
                SheetPtr model = tpl_->Worksheets(i);
                for (int c = 1; c <= 12 && same; ++c)
                    same = model->Cells(3, c)->Value() == ws->Cells(3, c)->Value();
            });
            if (!same) {
                xlClosing = true;
                trapErrors([&] { wb_->Close(false); });
                trapErrors([&] { tpl_->Close(false); });
                xlClosing = false;
                nbrNotes().seeMsgNote(11, 0);
                return fail(int16_t(40 + i));
            }
        }

        on_([&] { tpl_->Close(false); });
        if (failed())
            return fail(50);
        return 0;
    }

    // Every sheet at the zoom and frozen panes the export expects, a new
    // workbook's Help links set, only the sheets up to the setup sheet shown,
    // and the windows cascaded.
    int16_t arrangeSheets()
    {
        on_([&] {
            wb_->Activate();
            SheetPtr setup = wb_->Worksheets(QStringLiteral("iSetup"));
            setup->Activate();
            for (int c : {13, 14}) {
                setup->Columns(c)->Select();
                setup->Columns(c)->EntireColumn()->setHidden(true);
            }
        });

        for (int i = 1; i <= XlSes.xlSheetCount; ++i) {
            SheetPtr ws;
            on_([&] {
                ws = wb_->Worksheets(i);
                // A hidden sheet cannot be activated; its visibility is set again below.
                if (ws->Visible() != xlSheetVisible)
                    ws->setVisible(true);
                ws->Activate();
                app_->ActiveWindow()->setZoom(75);
            });
            if (failed())
                return fail(int16_t(40 + i));
            on_([&] { ws->Rows(i == XlSes.xlSetupSheet ? QStringLiteral("4:4") : QStringLiteral("5:5"))->Select(); });
            if (failed())
                return fail(int16_t(50 + i));
            on_([&] {
                ws->Activate();
                app_->ActiveWindow()->setFreezePanes(true);
            });
            if (failed())
                return fail(int16_t(60 + i));
            if (newBook_) {
                on_([&] {
                    ws->Cells(1, 1)->setValue(QStringLiteral("Help"));
                    ws->Cells(1, 1)->Hyperlinks(1)->setAddress(programFile(XlHelpPage));
                });
                if (failed()) {
                    const int16_t code = int16_t(70 + i);
                    seeExcBug(QStringLiteral("excOpen(") + QString::number(code) + u')');
                    return fail(code);
                }
            }
            on_([&] { ws->Range(QStringLiteral("A5"))->Activate(); });
            if (failed())
                return fail(int16_t(80 + i));
            on_([&] { ws->setVisible(i <= XlSes.xlSetupSheet); });
            on_ = ResumeNext();
            Err.Clear();
        }

        on_([&] { app_->Windows()->Arrange(xlArrangeStyleCascade); });
        if (failed())
            return fail(90);
        return 0;
    }
};

} // namespace

int16_t excOpen(int16_t action, int16_t sheetType)
{
    (void)sheetType;
    iniExpExc();
    xlOpening = true;
    if (xlBookOk)
        return 9;
    return BookOpening(action).run();
}

void watXlReady()
{
    // Bounded on the monotonic clock, so midnight cannot stretch the wait.
    waiting::until({.done = [] {
                        bool ready = true;
                        trapErrors([&] { ready = spreadsheetApp()->Ready(); });
                        return ready;
                    },
                    .boundMs = 10000,
                    .lookMs = 20});
    Err.Clear();
}

bool chkXlTemplate()
{
    bool ok = false;
    const QString tpl = programFile(XlTemplateName);
    trapErrors([&] {
        const QString pristine = programFile(XlPristineName);
        ok = filExist(tpl) || (filExist(pristine) && CopyFile(pristine, tpl) == 0);
    });
    Err.Clear();
    if (!ok)
        MsgBox(QStringLiteral("Error creating Excle file name...!") + crlf + tpl, kNotice);
    return ok;
}

void setXlEvents()
{
    if (!xlEvents)
        xlEvents = std::make_unique<casEveTrp>();
    xlEvents->setApp(spreadsheetApp());
}

bool askXlVersion(float version)
{
    const QString text = QStringLiteral("This function requites Excel Version 9.00 or Higher.") + crlf
                         + QStringLiteral("Vantrell detected version ") + QString::number(double(version))
                         + QStringLiteral(", this could cause malfunction.") + crlf
                         + QStringLiteral("Do you want to proceed anyway..?") + crlf;
    return MsgBox(text, vbYesNo | vbDefaultButton2 | vbSystemModal | vbMsgBoxSetForeground) == vbYes;
}

void seeNoExcel()
{
    MsgBox(QStringLiteral("This Function Requires Microsoft Excel Program.") + crlf
               + QStringLiteral("There is no Excel installed on your computer.") + crlf
               + QStringLiteral("Operation will now terminate..!"),
           kNotice);
}

// --- events ----------------------------------------------------------------------

casEveTrp::~casEveTrp()
{
    if (AppPtr app = app_.lock())
        app->Unadvise(this);
}

void casEveTrp::setApp(const AppPtr &app)
{
    if (AppPtr old = app_.lock())
        old->Unadvise(this);
    app_ = app;
    if (app)
        app->Advise(this);
}

void casEveTrp::SheetBeforeDoubleClick(SheetPtr Sh, RangePtr Target, bool &Cancel)
{
    (void)Target;
    setMainState(Qt::WindowMinimized);
    // Only the sheet that the program names "Capture": a sheet the user adds
    // under another name keeps the spreadsheet's own double-click.
    QString name;
    trapErrors([&] { name = Sh->Name(); });
    Err.Clear();
    if (name != QLatin1String("Capture"))
        return;
    if (nbrNotes().askMsgNote(6, 0) == vbYes)
        CapExport.capBlkPend = true;
    Cancel = true;
}

void casEveTrp::WorkbookBeforeClose(BookPtr Wb, bool &Cancel)
{
    Cancel = false;
    // Only a prepared workbook is guarded: one left over from a failed
    // preparation must be free to close.
    if (xlClosing || !xlBookOk)
        return;
    trapErrors([&] {
        if (Wb->Name() != Wb->Application()->Workbooks(1)->Name())
            return;
        if (frmMDI *mdi = mainWindow(); mdi && mdi->windowState() != Qt::WindowNoState)
            mdi->setWindowState(Qt::WindowNoState);
        nbrNotes().seeMsgNote(10, 0);
        Cancel = true;
    });
    Err.Clear();
}

} // namespace vt
