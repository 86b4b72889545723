// The connection to the spreadsheet program: the step codes of excOpen through
// the stand-in's switches and broken templates, the reserved workbook name,
// the layout of a new workbook, and what a failed attempt leaves behind.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "export/modExpExc.h"
#include "export/xltemplate.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/progfolder.h"
#include "platform/spreadsheet_data.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "common/xlfixture.h"

using namespace vt;
using namespace vt::xl;
using namespace vttest;

namespace {

struct Notes : NotesNbr {
    QList<int> seen;
    void seeMsgNote(int16_t number, int16_t variant) override
    {
        (void)variant;
        seen << number;
    }
};

int openBooks()
{
    int n = -1;
    trapErrors([&] { n = xlApp->Workbooks()->Count(); });
    return n;
}

QString lastBoxText()
{
    for (auto it = answers::asked().crbegin(); it != answers::asked().crend(); ++it)
        if (it->question.kind == QLatin1String("box"))
            return it->question.text;
    return {};
}

// A workbook file made from the template, for the user to pick.
QString ownBook(const QString &folder, const QString &name, const std::function<void(const BookPtr &)> &change = {})
{
    AppPtr app = CreateApplication();
    BookPtr wb = app->Workbooks()->Open(programFile(XlTemplateName));
    if (change)
        change(wb);
    const QString path = QDir(folder).filePath(name);
    wb->SaveAs(path);
    wb->Close(false);
    return path;
}

} // namespace

class TestXlConnect : public QObject {
    Q_OBJECT
    Notes notes;
    QTemporaryDir work;
    QString startDir;

private slots:
    void initTestCase()
    {
        installNotes(&notes);
        startDir = QDir::currentPath();
        // A bare "CBook1.xls" lands in the current folder.
        QDir::setCurrent(work.path());
    }
    void cleanupTestCase()
    {
        resetExport();
        installNotes(nullptr);
        QDir::setCurrent(startDir);
    }
    void init()
    {
        resetExport();
        seedTemplate();
        answers::reset();
        notes.seen.clear();
    }

    void stepCodes_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("shown");
        const QStringList none;
        QTest::newRow("not installed") << "noapp" << 0 << none << 1 << "There is no Excel installed on your computer.";
        QTest::newRow("old version, No") << "old" << 0 << QStringList{"No"} << 3 << "Vantrell detected version 8, this could cause malfunction.";
        QTest::newRow("old version, Yes") << "old" << 0 << QStringList{"Yes"} << 0 << "Vantrell detected version 8";
        QTest::newRow("not ready") << "notready" << 0 << none << 4 << "";
        QTest::newRow("template and pristine copy missing") << "notemplate" << 0 << none << 10 << "Error creating Excle file name...!";
        QTest::newRow("template missing, pristine copy there") << "nocbook" << 0 << none << 0 << "";
        QTest::newRow("file choice cancelled") << "" << 1 << QStringList{"Cancel"} << 12 << "";
        QTest::newRow("template with six sheets") << "six" << 0 << none << 17 << "";
        QTest::newRow("empty Q2 on eDisk") << "q2" << 0 << none << 43 << "";
        QTest::newRow("A1 without hyperlink") << "nolink" << 0 << none << 71 << "Location: excOpen(71)";
    }
    void stepCodes()
    {
        QFETCH(QString, setup);
        QFETCH(int, action);
        QFETCH(QStringList, replies);
        QFETCH(int, code);
        QFETCH(QString, shown);
        if (setup == "noapp")
            qputenv("VANTRELL_NO_SPREADSHEET", "1");
        else if (setup == "old")
            qputenv("VANTRELL_SPREADSHEET_VERSION", "8.0");
        else if (setup == "notready")
            qputenv("VANTRELL_SPREADSHEET_NOT_READY", "1");
        else if (setup == "notemplate" || setup == "nocbook") {
            QVERIFY(QFile::remove(programFile(XlTemplateName)));
            if (setup == "notemplate")
                QVERIFY(QFile::remove(programFile(XlPristineName)));
        } else if (setup == "six") {
            AppPtr app = CreateApplication();
            app->setSheetsInNewWorkbook(6);
            BookPtr wb = app->Workbooks()->Add();
            wb->SaveAs(programFile(XlTemplateName));
            wb->Close(false);
        } else if (setup == "q2") {
            changeTemplate([](const BookPtr &wb) { wb->Worksheets(3)->Range("Q2")->ClearContents(); });
        } else if (setup == "nolink") {
            changeTemplate([](const BookPtr &wb) { wb->Worksheets(1)->data().setLink(1, 1, QString()); });
        }
        for (const QString &r : replies)
            answers::queue(r);

        QCOMPARE(int(excOpen(int16_t(action), 1)), code);
        QCOMPARE(xlBookOk, code == 0);
        // Only success ends the opening.
        QCOMPARE(xlOpening, code != 0);
        QCOMPARE(xlConnected, code == 0 || code > 5);
        if (!shown.isEmpty())
            QVERIFY2(lastBoxText().contains(shown), qPrintable(lastBoxText()));
        else
            QVERIFY2(lastBoxText().isEmpty(), qPrintable(lastBoxText()));
        if (code == 3)
            QVERIFY(!xlApp);
        if (setup == "nocbook")
            QVERIFY(QFile::exists(programFile(XlTemplateName)));
        // A failed preparation leaves nothing of its own open.
        if (code > 5)
            QCOMPARE(openBooks(), 0);
    }

    void failedAttemptDoesNotBlockTheNext()
    {
        changeTemplate([](const BookPtr &wb) { wb->Worksheets(3)->Range("Q2")->ClearContents(); });
        QCOMPARE(int(excOpen(0, 1)), 43);
        QCOMPARE(int(excOpen(0, 1)), 43);
        QCOMPARE(openBooks(), 0);
        seedTemplate();
        QCOMPARE(int(excOpen(0, 1)), 0);
        QCOMPARE(openBooks(), 1);
        // Prepared once, it is not prepared again.
        QCOMPARE(int(excOpen(0, 1)), 9);
        QVERIFY(xlBookOk);
    }

    void secondWorkbookOpen()
    {
        QCOMPARE(int(excOpen(0, 1)), 0);
        BookPtr users = xlApp->Workbooks(1);
        xlBookOk = false; // as after the user's own close of the prepared workbook
        QCOMPARE(int(excOpen(0, 1)), 13);
        QCOMPARE(openBooks(), 1);
        QCOMPARE(xlApp->Workbooks(1)->Name(), users->Name());
        QCOMPARE(int(excOpen(0, 1)), 13);
        QCOMPARE(openBooks(), 1); // no pile of workbooks
    }

    void newWorkbookLayout()
    {
        QCOMPARE(int(excOpen(0, 1)), 0);
        QCOMPARE(xlApp->Workbooks()->Count(), 1);
        BookPtr wb = xlApp->Workbooks(1);
        AppPtr files = CreateApplication();
        BookPtr tpl = files->Workbooks()->Open(programFile(XlTemplateName), true);
        const QStringList names = xlTemplateSheets();
        QCOMPARE(wb->Worksheets()->Count(), 7);
        for (int i = 1; i <= 7; ++i) {
            SheetPtr ws = wb->Worksheets(i);
            SheetPtr model = tpl->Worksheets(i);
            QCOMPARE(ws->Name(), names[i - 1]);
            QCOMPARE(ws->Visible(), i == 7 ? int(xlSheetHidden) : int(xlSheetVisible));
            // Columns A to V come from the template: header rows, widths, next row.
            for (int c = 1; c <= 22; ++c) {
                QCOMPARE(ws->Cells(3, c)->Value(), model->Cells(3, c)->Value());
                QCOMPARE(ws->Cells(4, c)->Value(), model->Cells(4, c)->Value());
                QCOMPARE(ws->data().width(c), model->data().width(c)); // hidden M and N of iSetup keep theirs
            }
            QCOMPARE(ws->Cells(1, 1)->Value().toString(), QStringLiteral("Help"));
            QCOMPARE(ws->Cells(1, 1)->Hyperlinks(1)->Address(), programFile(XlHelpPage));
            QCOMPARE(ws->data().zoom, 75);
            QCOMPARE(ws->data().splitRow, i == 6 ? 3 : 4);
            QCOMPARE(ws->data().activeRow, 5);
            QCOMPARE(ws->data().activeCol, 1);
            QCOMPARE(XlSes.xlLastRow[i - 1], 5);
        }
        SheetPtr setup = wb->Worksheets(QStringLiteral("iSetup"));
        QVERIFY(setup->Columns(QStringLiteral("M"))->Hidden());
        QVERIFY(setup->Columns(QStringLiteral("N"))->Hidden());
        QVERIFY(!setup->Columns(QStringLiteral("L"))->Hidden());
        // Sizes are single precision.
        QCOMPARE(XlSes.xlTplSizes[0], float(tpl->Worksheets(1)->Rows(3)->RowHeight()));
        QCOMPARE(XlSes.xlTplSizes[4], float(tpl->Worksheets(1)->Columns(QStringLiteral("A"))->ColumnWidth()));
        QCOMPARE(XlSes.xlTplSizes[6], float(tpl->Worksheets(1)->Columns(QStringLiteral("C"))->ColumnWidth()));
        QVERIFY(!xlOpening);
    }

    void closeGuard()
    {
        QCOMPARE(int(excOpen(0, 1)), 0);
        BookPtr wb = xlApp->Workbooks(1);
        QVERIFY(!wb->Close(false));
        QCOMPARE(notes.seen, QList<int>({10}));
        QVERIFY(!xlApp->Quit());
        QCOMPARE(notes.seen, QList<int>({10, 10}));
        // Not guarded once the program lets go of it.
        xlBookOk = false;
        QVERIFY(wb->Close(false));
        QCOMPARE(notes.seen, QList<int>({10, 10}));
    }

    void reservedName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("as named") << "CBoox.xls";
        QTest::newRow("lower") << "cboox.xls";
        QTest::newRow("mixed") << "cBOOx.XLS";
    }
    void reservedName()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = ownBook(dir.path(), name);
        // No: the file choice comes back; Cancel on the second question gives up.
        answers::queue(path);
        answers::queue("No");
        answers::queue(path);
        answers::queue("Cancel");
        QCOMPARE(int(excOpen(1, 5)), 12);
        int boxes = 0, opens = 0;
        for (const answers::Record &r : answers::asked()) {
            if (r.question.kind == QLatin1String("box")) {
                ++boxes;
                QCOMPARE(r.question.text, reservedNameText());
                QCOMPARE(r.question.defaultAnswer, QStringLiteral("Cancel"));
            } else if (r.question.kind == QLatin1String("open")) {
                ++opens;
            }
        }
        QCOMPARE(boxes, 2);
        QCOMPARE(opens, 2);
        QCOMPARE(openBooks(), 0);

        // Yes: opened and saved as CBook1.xls in the current folder.
        QFile::remove(QDir::current().filePath("CBook1.xls"));
        answers::reset();
        answers::queue(path);
        answers::queue("Yes");
        QCOMPARE(int(excOpen(1, 5)), 0);
        QCOMPARE(xlApp->Workbooks(1)->Name(), QStringLiteral("CBook1.xls"));
        QVERIFY(QFile::exists(QDir::current().filePath("CBook1.xls")));
    }

    void reservedNameText_()
    {
        QCOMPARE(reservedNameText(),
                 QStringLiteral("File name  CBoox.xls  is reserved for Excel Templates.\r\n"
                                "This name can not be used for your own work because of conflict.\r\n"
                                "You must choose another file, rename this one, or let vantrell fix it.  \r\n"
                                "To resolve this conflict  CBoox.xls  file will be renamed to\r\n"
                                "\t\tCBook1.xls\r\n\r\n"
                                "Do you want to rename  CBoox.xls  file to CBook1.xls  ?"));
    }

    void ownWorkbookKeepsItsContents()
    {
        QTemporaryDir dir;
        const QString path = ownBook(dir.path(), "mine.xls", [](const BookPtr &wb) {
            SheetPtr ws = wb->Worksheets(QStringLiteral("Capture"));
            ws->Range("Q2")->setValue(40);
            ws->Range("B20")->setValue(QStringLiteral("kept"));
            wb->Worksheets(1)->Range("A1")->setValue(QStringLiteral("My link"));
            // A sheet filled to its last row stores the row past its End row.
            wb->Worksheets(QStringLiteral("CFile"))->Range("Q2")->setValue(double(MaxRows + 2));
        });
        answers::queue(path);
        QCOMPARE(int(excOpen(1, 5)), 0);
        BookPtr wb = xlApp->Workbooks(1);
        QCOMPARE(wb->Name(), QStringLiteral("mine.xls"));
        QCOMPARE(XlSes.xlLastRow[4], 40);
        QCOMPARE(XlSes.xlLastRow[3], MaxRows + 2);
        QCOMPARE(wb->Worksheets(5)->Range("B20")->Value().toString(), QStringLiteral("kept"));
        // The help link is not written into an own workbook.
        QCOMPARE(wb->Worksheets(1)->Range("A1")->Value().toString(), QStringLiteral("My link"));
        QCOMPARE(wb->Worksheets(7)->Visible(), int(xlSheetHidden));
        QCOMPARE(wb->Worksheets(2)->data().zoom, 75);
    }

    void ownWorkbookThatDoesNotMatch_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("note11");
        QTest::newRow("header row 3 differs on Folder") << "header" << 42 << true;
        QTest::newRow("fewer sheets: the added one has no next row") << "few" << 41 << false;
    }
    void ownWorkbookThatDoesNotMatch()
    {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QFETCH(bool, note11);
        QTemporaryDir dir;
        QString path;
        if (kind == "header") {
            path = ownBook(dir.path(), "other.xls",
                           [](const BookPtr &wb) { wb->Worksheets(2)->Range("E3")->setValue(QStringLiteral("Speed")); });
        } else {
            AppPtr app = CreateApplication();
            app->setSheetsInNewWorkbook(5);
            BookPtr wb = app->Workbooks()->Add();
            path = QDir(dir.path()).filePath("few.xls");
            wb->SaveAs(path);
            wb->Close(false);
        }
        answers::queue(path);
        QCOMPARE(int(excOpen(1, 5)), code);
        QCOMPARE(notes.seen.contains(11), note11);
        QCOMPARE(openBooks(), 0); // closed unsaved
        QVERIFY(!xlBookOk);
        // The user's file is as it was.
        AppPtr files = CreateApplication();
        QCOMPARE(files->Workbooks()->Open(path)->Worksheets()->Count(), kind == "few" ? 5 : 7);
    }
};

QTEST_MAIN(TestXlConnect)
#include "tst_xlConnect.moc"
