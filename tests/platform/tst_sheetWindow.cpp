// The spreadsheet program's window: what it shows of the active workbook, the
// double-click and close events with Cancel, its own save question, editing,
// and saving into a folder that cannot be written.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "common/files.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/spreadsheet.h"
#include "platform/spreadsheet_window.h"

using namespace vt;
using namespace vt::xl;

namespace {

struct Receiver : AppEvents {
    QStringList clicks;
    bool cancelClick = false;
    QString keepOpen;
    int closes = 0;
    void SheetBeforeDoubleClick(SheetPtr Sh, RangePtr Target, bool &Cancel) override
    {
        clicks << Sh->Name() + u'!' + Target->Address();
        Cancel = cancelClick;
    }
    void WorkbookBeforeClose(BookPtr Wb, bool &Cancel) override
    {
        ++closes;
        Cancel = Wb->Name() == keepOpen;
    }
};

} // namespace

class TestSheetWindow : public QObject {
    Q_OBJECT
    AppPtr app;
    BookPtr wb;
    Receiver rx;
    SpreadsheetWindow *win = nullptr;

    static bool editing(QTableView *v)
    {
        const auto *ed = v->viewport()->findChild<QLineEdit *>();
        return ed && ed->isVisible();
    }

    void doubleClick(QTableView *v, int row, int col)
    {
        const QModelIndex i = v->model()->index(row - 1, col - 1);
        v->scrollTo(i);
        const QPoint p = v->visualRect(i).center();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, p);
    }

private slots:
    void init()
    {
        answers::reset();
        rx = Receiver();
        app = CreateApplication();
        app->Advise(&rx);
        wb = app->Workbooks()->Add();
        SheetPtr a = wb->Worksheets(1), hidden = wb->Worksheets(3);
        a->setName(QStringLiteral("Capture"));
        hidden->setName(QStringLiteral("zOvu"));
        hidden->setVisible(false);
        a->Range(QStringLiteral("A3"))->setValue(QStringLiteral("Total"));
        a->Range(QStringLiteral("E5"))->setValue(295.456);
        a->Range(QStringLiteral("E5"))->setNumberFormat(QStringLiteral("0.00"));
        a->Range(QStringLiteral("E6"))->setValue(300);
        a->Range(QStringLiteral("N6"))->setFormula(QStringLiteral("=AVERAGE(E5:E6)"));
        a->Range(QStringLiteral("P6"))->setFormula(QStringLiteral("=STDEV(E6:E6)"));
        a->Range(QStringLiteral("D5"))->Font()->setSize(8);
        a->Range(QStringLiteral("G:G"))->setHidden(true);
        a->Rows(4)->setHidden(true);
        a->Columns(QStringLiteral("A"))->setColumnWidth(10.71);
        a->Activate();
        app->ActiveWindow()->setZoom(75);
        a->Rows(QStringLiteral("5:5"))->Select();
        app->ActiveWindow()->setFreezePanes(true);
        a->Range(QStringLiteral("E6"))->Activate();
        app->setCaption(QStringLiteral("Vantrell0_1 [COM1=ON} {Edit} - Book1"));
        app->setVisible(true);
        win = qobject_cast<SpreadsheetWindow *>(app->window());
        QVERIFY(win);
        QVERIFY(QTest::qWaitForWindowExposed(win));
    }

    void cleanup()
    {
        if (app)
            app->Unadvise(&rx);
        wb.reset();
        app.reset();             // takes its window along
        win = nullptr;
    }

    void showsTheActiveWorkbook()
    {
        QCOMPARE(win->windowTitle(), QStringLiteral("Vantrell0_1 [COM1=ON} {Edit} - Book1"));
        QTabBar *tabs = win->tabs();
        QCOMPARE(tabs->count(), 2);                                  // the hidden sheet has no tab
        QCOMPARE(tabs->tabText(0), QStringLiteral("Capture"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Sheet2"));
        QCOMPARE(tabs->currentIndex(), 0);
        QTableView *g = win->grid();
        QAbstractItemModel *m = g->model();
        QCOMPARE(m->headerData(6, Qt::Horizontal).toString(), QStringLiteral("G"));
        QCOMPARE(m->headerData(4, Qt::Vertical).toInt(), 5);
        QCOMPARE(m->index(4, 4).data().toString(), QStringLiteral("295.46"));    // formatted
        QCOMPARE(m->index(4, 4).data(Qt::EditRole).toString(), QStringLiteral("295.456"));
        QCOMPARE(m->index(5, 13).data().toString(), QStringLiteral("297.728"));  // a result
        QCOMPARE(m->index(5, 13).data(Qt::EditRole).toString(), QStringLiteral("=AVERAGE(E5:E6)"));
        QCOMPARE(m->index(5, 15).data().toString(), QStringLiteral("#DIV/0!"));
        QVERIFY(g->isColumnHidden(6));
        QVERIFY(g->isRowHidden(3));
        // Zoom 75: fonts and sizes shrink.
        QCOMPARE(m->index(4, 3).data(Qt::FontRole).value<QFont>().pointSizeF(), 6.0);
        QCOMPARE(g->columnWidth(0), 60);
        // Frozen panes: rows 1 to 4 stay above the grid, which shows the rest.
        QVERIFY(win->frozenRows()->isVisible());
        QVERIFY(!win->frozenColumns()->isVisible());
        QVERIFY(g->isRowHidden(0) && g->isRowHidden(2));
        QVERIFY(!win->frozenRows()->isRowHidden(2) && win->frozenRows()->isRowHidden(4));
        // The active cell.
        QCOMPARE(g->currentIndex(), m->index(5, 4));
        QVERIFY(win->formulaBar()->text().startsWith(QStringLiteral("E6")));
        // The view follows changes made by automation.
        wb->Worksheets(1)->Range(QStringLiteral("E6"))->setValue(310);
        win->refreshNow();
        QCOMPARE(m->index(5, 13).data().toString(), QStringLiteral("302.728"));
        wb->Worksheets(2)->Activate();
        win->refreshNow();
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(!win->frozenRows()->isVisible());
        // Choosing a tab activates its sheet.
        tabs->setCurrentIndex(0);
        QCOMPARE(app->ActiveSheet()->Name(), QStringLiteral("Capture"));
    }

    // A text runs on over the empty cells to its right and stops at a
    // filled one; a repaint of the empty cell alone draws its part.
    void textRunsOverEmptyCells()
    {
        SheetPtr a = wb->Worksheets(1);
        QTableView *g = win->grid();
        const auto cellImage = [&](int row, int col) {
            win->refreshNow();
            const QRect r = g->visualRect(g->model()->index(row - 1, col - 1));
            g->viewport()->update(r);
            return g->viewport()->grab(r).toImage();
        };
        const QImage empty = cellImage(8, 2);
        a->Range(QStringLiteral("A8"))->setValue(QStringLiteral("Source Of This Data: Capture"));
        const QImage spilled = cellImage(8, 2);
        QVERIFY(spilled != empty);
        // Right-aligned text stays in its cell.
        a->Range(QStringLiteral("A8"))->setHorizontalAlignment(xlRight);
        QCOMPARE(cellImage(8, 2), empty);
        a->Range(QStringLiteral("A8"))->setHorizontalAlignment(xlGeneral);
        // A filled neighbour stops it.
        a->Range(QStringLiteral("B8"))->setValue(QStringLiteral("x"));
        a->Range(QStringLiteral("C8"))->setValue(QStringLiteral("x"));
        const QImage blocked = cellImage(8, 3);
        a->Range(QStringLiteral("A8"))->ClearContents();
        QCOMPARE(cellImage(8, 3), blocked);
    }

    void numbersShortenedToFit_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("general");
        QTest::addColumn<QString>("room");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fits") << 295.5 << "295.5" << true << "295.5" << "295.5";
        QTest::newRow("fewer decimals") << 295.123456 << "295.123456" << true << "295.12" << "295.12";
        QTest::newRow("rounded") << 295.987654 << "295.987654" << true << "295.99" << "295.99";
        QTest::newRow("exponent") << 123456789012.0 << "123456789012" << true << "1.23E+11" << "1.23E+11";
        QTest::newRow("tiny") << 0.000012345 << "1.2345E-05" << true << "1.2E-05" << "1.2E-05";
        QTest::newRow("fixed format") << 295.46 << "295.46" << false << "29.5" << "#";
        QTest::newRow("no room for the exponent") << 123456789012.0 << "123456789012" << true << "1E" << "#";
    }
    void numbersShortenedToFit()
    {
        QFETCH(double, value);
        QFETCH(QString, shown);
        QFETCH(bool, general);
        QFETCH(QString, room);
        QFETCH(QString, expected);
        const QFontMetrics fm(QApplication::font());
        const int px = fm.horizontalAdvance(room);
        const QString got = SpreadsheetWindow::fitNumber(value, shown, general, fm, px);
        if (expected == QLatin1String("#")) {
            // As many signs as fit.
            QVERIFY(!got.isEmpty() && got.count(u'#') == got.size());
            QVERIFY(fm.horizontalAdvance(got) <= px && fm.horizontalAdvance(got + u'#') > px);
        } else {
            QCOMPARE(got, expected);
        }
    }

    void helpLinkOpensThePage()
    {
        QTemporaryDir d;
        const QString page = d.filePath(QStringLiteral("vanthlpx.htm"));
        QVERIFY(vttest::writeFile(page, "<html><head><title>Vantrell Workbook Help</title></head><body>Sheets</body></html>"));
        SheetPtr a = wb->Worksheets(1);
        a->Range(QStringLiteral("A1"))->setValue(QStringLiteral("Help"));
        a->Range(QStringLiteral("A1"))->Hyperlinks()->Add(a->Range(QStringLiteral("A1")), page);
        win->refreshNow();
        // Row 1 lies in the frozen rows above the grid.
        QTableView *top = win->frozenRows();
        const QModelIndex i = top->model()->index(0, 0);
        QTest::mouseClick(top->viewport(), Qt::LeftButton, {}, top->visualRect(i).center());
        auto *viewer = win->findChild<QWidget *>(QStringLiteral("linkViewer"));
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Vantrell Workbook Help"));
        // A page that is not there is told, not opened.
        QVERIFY(!win->followLink(d.filePath(QStringLiteral("missing.htm"))));
        QCOMPARE(answers::asked().last().question.text, QStringLiteral("Cannot open the specified file."));
    }

    void doubleClickAsksFirst()
    {
        QTableView *g = win->grid();
        rx.cancelClick = true;
        doubleClick(g, 6, 5);
        QCOMPARE(rx.clicks, QStringList({"Capture!$E$6"}));
        QVERIFY(!editing(g));                                       // Cancel: no editing
        QCOMPARE(app->ActiveWindow()->ActiveCell()->Address(), QStringLiteral("$E$6"));

        rx.cancelClick = false;
        doubleClick(g, 7, 5);
        QCOMPARE(rx.clicks.size(), 2);
        QCOMPARE(rx.clicks.last(), QStringLiteral("Capture!$E$7"));
        QVERIFY(editing(g));
        QLineEdit *editor = g->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("=E5*2"));
        QTest::keyClick(editor, Qt::Key_Return);                    // commits at the next turn of the loop
        QTRY_COMPARE(wb->Worksheets(1)->Range(QStringLiteral("E7"))->Formula(), QStringLiteral("=E5*2"));
        QCOMPARE(wb->Worksheets(1)->Range(QStringLiteral("E7"))->Value().number(), 590.912);
        QVERIFY(!wb->Saved());
    }

    void badFormulaTypedIsRefused()
    {
        QAbstractItemModel *m = win->grid()->model();
        QVERIFY(!m->setData(m->index(7, 4), QStringLiteral("=MIN(E5"), Qt::EditRole));
        QCOMPARE(answers::last().question.kind, QStringLiteral("box"));
        QVERIFY(wb->Worksheets(1)->Range(QStringLiteral("E8"))->Value().isEmpty());
    }

    void closingAsksTheReceiverThenTheUser()
    {
        rx.keepOpen = QStringLiteral("Book1");
        win->closeAction()->trigger();
        QCOMPARE(rx.closes, 1);
        QCOMPARE(app->Workbooks()->Count(), 1);
        QVERIFY(answers::asked().isEmpty());                        // refused before any question
        win->close();                                               // the window's own close: also refused
        QVERIFY(win->isVisible());
        QCOMPARE(app->Workbooks()->Count(), 1);

        rx.keepOpen.clear();
        answers::queue(QStringLiteral("Cancel"));
        win->closeAction()->trigger();
        QCOMPARE(answers::last().question.text, QStringLiteral("Do you want to save the changes you made to 'Book1'?"));
        QCOMPARE(app->Workbooks()->Count(), 1);
        answers::queue(QStringLiteral("No"));
        win->closeAction()->trigger();
        QCOMPARE(app->Workbooks()->Count(), 0);
        win->refreshNow();
        QCOMPARE(win->tabs()->count(), 0);
    }

    void saveAsIntoAnUnwritableFolderFailsCleanly()
    {
        answers::queue(QStringLiteral("/proc/vantrell/CBook.xls"));
        win->saveAsAction()->trigger();
        QCOMPARE(answers::asked().size(), 2);
        QCOMPARE(answers::asked().at(0).question.kind, QStringLiteral("save"));
        QCOMPARE(answers::last().question.kind, QStringLiteral("box"));
        QCOMPARE(answers::last().question.text, QStringLiteral("Cannot access 'CBook.xls'."));
        QVERIFY(!wb->Saved());
        QCOMPARE(wb->Name(), QStringLiteral("Book1"));

        QTemporaryDir dir;
        answers::queue(dir.filePath(QStringLiteral("CBook.xls")));
        win->saveAsAction()->trigger();
        QVERIFY(wb->Saved());
        QCOMPARE(wb->Name(), QStringLiteral("CBook.xls"));
        wb->Worksheets(1)->Range(QStringLiteral("A1"))->setValue(1);
        win->saveAction()->trigger();                                // Save keeps the name, asks nothing
        QVERIFY(wb->Saved());
        QCOMPARE(answers::asked().size(), 3);
    }

    void quitClosesEverything()
    {
        answers::queue(QStringLiteral("No"));
        win->quitAction()->trigger();
        QCOMPARE(rx.closes, 1);
        QVERIFY(!win->isVisible());
        QVERIFY(wb->isClosed());
        bool gone = false;
        try {
            app->Workbooks();
        } catch (const RtError &e) {
            gone = e.number == 462;
        }
        QVERIFY(gone);
    }
};

QTEST_MAIN(TestSheetWindow)
#include "tst_sheetWindow.moc"
