// The spreadsheet stand-in's object model: addressing forms, cell members,
// workbooks and sheets, the errors the platform raises, the close event and
// the save question.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/errorof.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/spreadsheet.h"
#include "platform/spreadsheet_data.h"

using namespace vt;
using namespace vt::xl;
using vt::test::errorOf;

namespace {

struct CloseGuard : AppEvents {
    QStringList seen;
    QString refuse;                      // the name of the workbook to keep open
    void WorkbookBeforeClose(BookPtr Wb, bool &Cancel) override
    {
        seen << Wb->Name();
        Cancel = Wb->Name() == refuse;
    }
};

} // namespace

class TestSheetModel : public QObject {
    Q_OBJECT
    AppPtr app;
    BookPtr wb;
    SheetPtr ws;
    QTemporaryDir dir;

private slots:
    void init()
    {
        answers::reset();
        qunsetenv("VANTRELL_NO_SPREADSHEET");
        app = CreateApplication(QStringLiteral("Excel.Application"));
        wb = app->Workbooks()->Add();
        ws = wb->Worksheets(1);
    }
    void cleanup() { ws.reset(); wb.reset(); app.reset(); }

    void addressing_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("address");
        QTest::newRow("cell") << "Range(A5)" << "$A$5";
        QTest::newRow("absolute cell") << "Range($D$6)" << "$D$6";
        QTest::newRow("rectangle") << "Range(C3:A1)" << "$A$1:$C$3";
        QTest::newRow("columns") << "Range(A:V)" << "$A:$V";
        QTest::newRow("one column") << "Range(F:F)" << "$F:$F";
        QTest::newRow("row") << "Range(3:3)" << "$3:$3";
        QTest::newRow("Columns letter") << "Columns(F)" << "$F:$F";
        QTest::newRow("Columns number") << "Columns#(13)" << "$M:$M";
        QTest::newRow("Rows number") << "Rows#(5)" << "$5:$5";
        QTest::newRow("Rows text") << "Rows(5:5)" << "$5:$5";
        QTest::newRow("Cells") << "Cells(2,17)" << "$Q$2";
        QTest::newRow("EntireRow") << "EntireRow(B7)" << "$7:$7";
        QTest::newRow("EntireColumn") << "EntireColumn(M2)" << "$M:$M";
        QTest::newRow("Range of two cells") << "Range2(Cells(1,1),Cells(2,3))" << "$A$1:$C$2";
        QTest::newRow("Cells within a range") << "RangeCells(B2:D4,2,3)" << "$D$3";
    }

    void addressing()
    {
        QFETCH(QString, form);
        QFETCH(QString, address);
        const QString arg = form.section(u'(', 1).chopped(1);
        RangePtr r;
        if (form.startsWith(QLatin1String("Range(")))
            r = ws->Range(arg);
        else if (form.startsWith(QLatin1String("Columns(")))
            r = ws->Columns(arg);
        else if (form.startsWith(QLatin1String("Columns#")))
            r = ws->Columns(arg.toInt());
        else if (form.startsWith(QLatin1String("Rows#")))
            r = ws->Rows(arg.toInt());
        else if (form.startsWith(QLatin1String("Rows(")))
            r = ws->Rows(arg);
        else if (form.startsWith(QLatin1String("Cells")))
            r = ws->Cells(2, 17);
        else if (form.startsWith(QLatin1String("EntireRow")))
            r = ws->Range(arg)->EntireRow();
        else if (form.startsWith(QLatin1String("EntireColumn")))
            r = ws->Range(arg)->EntireColumn();
        else if (form.startsWith(QLatin1String("Range2")))
            r = ws->Range(ws->Cells(1, 1), ws->Cells(2, 3));
        else
            r = ws->Range(QStringLiteral("B2:D4"))->Cells(2, 3);
        QCOMPARE(r->Address(), address);
    }

    void badAddressesRaise1004()
    {
        for (const char *a : {"", "5A", "A0", "XFE1", "A1048577", "A:5", "A1:B", "$", "A$", "A5!"})
            QVERIFY2(errorOf([&] { ws->Range(QString::fromLatin1(a)); }) == 1004, a);
        QCOMPARE(errorOf([&] { ws->Cells(0, 1); }), 1004);
        QCOMPARE(errorOf([&] { ws->Cells(1, 16385); }), 1004);
        QCOMPARE(errorOf([&] { ws->Rows(QStringLiteral("A")); }), 1004);
        QCOMPARE(errorOf([&] { ws->Columns(QStringLiteral("5")); }), 1004);
    }

    void valuesAndFormats()
    {
        RangePtr a = ws->Range(QStringLiteral("A5"));
        a->setValue(QStringLiteral("0012"));             // entered as the user types it
        QVERIFY(a->Value().isNumber());
        QCOMPARE(a->Value().number(), 12.0);
        a->setValue(QStringLiteral("-?-"));
        QCOMPARE(a->Value(), Variant(QStringLiteral("-?-")));
        a->setValue(true);
        QCOMPARE(a->Formula(), QStringLiteral("TRUE"));
        a->setValue(Variant());
        QVERIFY(a->Value().isEmpty());
        QCOMPARE(a->Formula(), QString());

        RangePtr e = ws->Range(QStringLiteral("E5:F6"));
        e->setNumberFormat(QStringLiteral("0.00"));
        e->setHorizontalAlignment(3);
        e->Font()->setColorIndex(5);
        e->Font()->setSize(8);
        e->Font()->setBold(true);
        e->Font()->setUnderline(1);
        RangePtr f6 = ws->Range(QStringLiteral("F6"));
        QCOMPARE(f6->NumberFormat(), QStringLiteral("0.00"));
        QCOMPARE(f6->HorizontalAlignment(), int(xlCenter));
        QCOMPARE(f6->Font()->ColorIndex(), 5);
        QCOMPARE(f6->Font()->Size(), 8.0);
        QVERIFY(f6->Font()->Bold());
        QCOMPARE(f6->Font()->Underline(), int(xlUnderlineStyleSingle));
        ws->Range(QStringLiteral("D5"))->setHorizontalAlignment(2);
        QCOMPARE(ws->Range(QStringLiteral("D5"))->HorizontalAlignment(), int(xlLeft));
        ws->Range(QStringLiteral("D5"))->setHorizontalAlignment(4);
        QCOMPARE(ws->Range(QStringLiteral("D5"))->HorizontalAlignment(), int(xlRight));
        ws->Range(QStringLiteral("D5"))->Font()->setColorIndex(xlColorIndexAutomatic);
        QCOMPARE(ws->Range(QStringLiteral("D5"))->Font()->ColorIndex(), int(xlColorIndexAutomatic));
        ws->Range(QStringLiteral("F6"))->setValue(295.456);
        QCOMPARE(formatValue(ws->Range(QStringLiteral("F6"))->Value(), ws->Range(QStringLiteral("F6"))->NumberFormat()),
                 QStringLiteral("295.46"));

        QCOMPARE(errorOf([&] { ws->Range(QStringLiteral("A1"))->Font()->setColorIndex(57); }), 1004);
        QCOMPARE(errorOf([&] { ws->Range(QStringLiteral("A1"))->Font()->setSize(0); }), 1004);
        QCOMPARE(errorOf([&] { ws->Range(QStringLiteral("A1"))->Font()->setUnderline(3); }), 1004);
        QCOMPARE(errorOf([&] { ws->Range(QStringLiteral("A1"))->setHorizontalAlignment(6); }), 1004);
    }

    void hiddenWidthsAndHeights()
    {
        ws->Range(QStringLiteral("P:Q"))->setHidden(true);
        QVERIFY(ws->Columns(QStringLiteral("P"))->Hidden());
        QVERIFY(!ws->Columns(QStringLiteral("R"))->Hidden());
        QCOMPARE(ws->Columns(QStringLiteral("Q"))->ColumnWidth(), 0.0);   // a hidden column reads 0 wide
        ws->Range(QStringLiteral("P:Q"))->EntireColumn()->setHidden(false);
        QCOMPARE(ws->Columns(QStringLiteral("Q"))->ColumnWidth(), 8.43);
        ws->Range(QStringLiteral("B7"))->EntireRow()->setHidden(true);
        QVERIFY(ws->Rows(7)->Hidden());
        QCOMPARE(errorOf([&] { ws->Range(QStringLiteral("B7"))->setHidden(true); }), 1004);
        QCOMPARE(errorOf([&] { ws->Range(QStringLiteral("B7"))->Hidden(); }), 1004);

        // Widths keep whole pixels of the default font, in characters with two decimals.
        ws->Columns(QStringLiteral("A"))->setColumnWidth(10.5);
        QCOMPARE(ws->Columns(QStringLiteral("A"))->ColumnWidth(), 10.57);
        ws->Columns(QStringLiteral("A"))->setColumnWidth(12);
        QCOMPARE(ws->Columns(QStringLiteral("A"))->ColumnWidth(), 12.0);
        ws->Range(QStringLiteral("C3"))->setColumnWidth(0);                  // 0 hides
        QVERIFY(ws->Columns(3)->Hidden());
        ws->Rows(4)->setRowHeight(22.5);
        QCOMPARE(ws->Rows(4)->RowHeight(), 22.5);
        QCOMPARE(ws->Rows(5)->RowHeight(), 15.0);
        QCOMPARE(errorOf([&] { ws->Columns(1)->setColumnWidth(256); }), 1004);
        QCOMPARE(errorOf([&] { ws->Rows(1)->setRowHeight(410); }), 1004);
    }

    void hyperlinks()
    {
        RangePtr a1 = ws->Range(QStringLiteral("A1"));
        QCOMPARE(a1->Hyperlinks()->Count(), 0);
        QCOMPARE(errorOf([&] { a1->Hyperlinks(1); }), 9);
        a1->Hyperlinks()->Add(a1, QStringLiteral("vanthlpx.htm"), QStringLiteral("Help"));
        QCOMPARE(a1->Value(), Variant(QStringLiteral("Help")));
        a1->setValue(QStringLiteral("Help me"));                    // the value can change, the link stays
        a1->Hyperlinks(1)->setAddress(QStringLiteral("/opt/vantrell/vanthlpx.htm"));
        QCOMPARE(ws->Range(QStringLiteral("A1:C3"))->Hyperlinks()->Count(), 1);
        QCOMPARE(ws->Range(QStringLiteral("A1"))->Hyperlinks(1)->Address(), QStringLiteral("/opt/vantrell/vanthlpx.htm"));
        QCOMPARE(errorOf([&] { a1->Hyperlinks(2); }), 9);
    }

    void copyCarriesEverything()
    {
        ws->Range(QStringLiteral("A3"))->setValue(QStringLiteral("Sequence"));
        ws->Range(QStringLiteral("K3"))->setValue(QStringLiteral("BLK"));
        ws->Range(QStringLiteral("E3"))->setValue(2);
        ws->Range(QStringLiteral("F3"))->setFormula(QStringLiteral("=E3*$E$3"));
        ws->Range(QStringLiteral("A3"))->Font()->setBold(true);
        ws->Range(QStringLiteral("B3"))->Hyperlinks()->Add(ws->Range(QStringLiteral("B3")), QStringLiteral("x.htm"));
        ws->Rows(3)->setRowHeight(30);
        ws->Range(QStringLiteral("C9"))->setValue(QStringLiteral("overwritten"));
        ws->Range(QStringLiteral("3:3"))->Copy(ws->Range(QStringLiteral("9:9")));
        QCOMPARE(ws->Range(QStringLiteral("A9"))->Value(), Variant(QStringLiteral("Sequence")));
        QCOMPARE(ws->Range(QStringLiteral("K9"))->Value(), Variant(QStringLiteral("BLK")));
        QVERIFY(ws->Range(QStringLiteral("A9"))->Font()->Bold());
        QVERIFY(ws->Range(QStringLiteral("C9"))->Value().isEmpty());  // a blank source clears the target
        QCOMPARE(ws->Range(QStringLiteral("F9"))->Formula(), QStringLiteral("=E9*$E$3"));
        QCOMPARE(ws->Range(QStringLiteral("F9"))->Value().number(), 4.0);
        QCOMPARE(ws->Range(QStringLiteral("B9"))->Hyperlinks(1)->Address(), QStringLiteral("x.htm"));
        QCOMPARE(ws->Rows(9)->RowHeight(), 30.0);
        // Whole columns carry their widths, also into another workbook.
        ws->Columns(QStringLiteral("F"))->setColumnWidth(20);
        BookPtr other = app->Workbooks()->Add();
        ws->Range(QStringLiteral("A:V"))->Copy(other->Worksheets(1)->Range(QStringLiteral("A:V")));
        QCOMPARE(other->Worksheets(1)->Columns(QStringLiteral("F"))->ColumnWidth(), 20.0);
        QCOMPARE(other->Worksheets(1)->Range(QStringLiteral("K9"))->Value(), Variant(QStringLiteral("BLK")));
    }

    // Cells written out of order, past many pages of rows and at the grid's
    // edges are found again; formulas rewritten many times over (their pools
    // packed meanwhile) keep their own texts and results.
    void cellStoreOrderAndRewrites()
    {
        const QList<QPair<int, int>> cells{{70000, 3}, {5, 16384}, {1048576, 1}, {5, 2}, {1, 1}, {2048, 7}, {5, 1}};
        for (const auto &[r, c] : cells)
            ws->Cells(r, c)->setValue(double(r) * 100 + c);
        for (const auto &[r, c] : cells)
            QCOMPARE(ws->Cells(r, c)->Value().number(), double(r) * 100 + c);
        QCOMPARE(ws->Cells(5, 3)->Value().type(), Variant::Type::Empty);
        ws->Range(QStringLiteral("A1"))->setFormula(QStringLiteral("=MAX(A:A)+SUM"));
        QCOMPARE(ws->Range(QStringLiteral("A1"))->Value().displayText(), QStringLiteral("#NAME?"));
        ws->Range(QStringLiteral("H1"))->setFormula(QStringLiteral("=MAX(A2:A1048576)"));
        QCOMPARE(ws->Range(QStringLiteral("H1"))->Value().number(), 1048576.0 * 100 + 1);
        ws->Range(QStringLiteral("A1048576"))->ClearContents();
        QCOMPARE(ws->Range(QStringLiteral("H1"))->Value().number(), 501.0);

        wb->Worksheets(2)->Range(QStringLiteral("D6"))->setValue(2);
        for (int round = 0; round < 6; ++round)
            for (int r = 1; r <= 400; ++r)
                ws->Cells(r, 10)->setFormula(QStringLiteral("=(Sheet2!$D$6*%1+\"%2\"+K%3)").arg(round).arg(r).arg(r));
        ws->Range(QStringLiteral("K1:K400"))->setValue(1);
        for (int r = 1; r <= 400; r += 57) {
            QCOMPARE(ws->Cells(r, 10)->Formula(), QStringLiteral("=(Sheet2!$D$6*5+\"%1\"+K%2)").arg(r).arg(r));
            QCOMPARE(ws->Cells(r, 10)->Value().number(), 2.0 * 5 + r + 1);
        }
    }

    // A row written at once leaves every cell as the single setters leave it,
    // on a sheet that already holds cells there.
    void rowOfCellsAtOnce()
    {
        SheetPtr other = wb->Worksheets(2);
        for (const SheetPtr &sheet : {ws, other}) {
            sheet->Range(QStringLiteral("A7:F7"))->setValue(QStringLiteral("old"));
            sheet->Range(QStringLiteral("C7"))->Font()->setBold(true);
            sheet->Range(QStringLiteral("K7"))->Font()->setBold(true);
            sheet->Range(QStringLiteral("E7"))->setValue(4);
        }
        std::vector<CellWrite> row(9);
        row[0].column = 1;
        row[0].value = 12.5;
        row[0].numberFormat = QStringLiteral("0.00");
        row[0].alignment = 3;
        row[0].colorIndex = 5;
        row[0].size = 8;
        row[0].bold = true;
        row[0].underline = 1;
        row[1].column = 2;
        row[1].value = QStringLiteral("-?-");
        row[1].colorIndex = xlColorIndexNone;
        row[2].column = 3;
        row[2].value = Variant();                            // cleared: its format stays
        row[3].column = 4;
        row[3].value = QStringLiteral("=(E7*2)");            // a text beginning with "=" is a formula
        row[3].underline = 0;
        row[4].column = 5;
        row[4].formula = QStringLiteral("=MIN(A7:A9)");
        row[4].alignment = 4;
        row[4].numberFormat = QString();                     // General
        row[5].column = 6;
        row[5].value = Variant();                            // nothing left: the cell goes
        row[6].column = 9;
        row[6].alignment = 2;                                // formats alone
        row[7].column = 10;
        row[7].alignment = 2;                                // the same again
        row[8].column = 11;
        row[8].alignment = 2;                                // the same onto another format
        wb->setSaved(true);
        ws->writeCells(7, row.data(), row.size());
        QVERIFY(!wb->Saved());

        for (const CellWrite &w : row) {
            RangePtr cell = other->Cells(7, w.column);
            if (w.value)
                cell->setValue(*w.value);
            if (!w.formula.isEmpty())
                cell->setFormula(w.formula);
            if (w.underline)
                cell->Font()->setUnderline(*w.underline);
            if (w.alignment)
                cell->setHorizontalAlignment(*w.alignment);
            if (w.colorIndex)
                cell->Font()->setColorIndex(*w.colorIndex);
            if (w.size)
                cell->Font()->setSize(*w.size);
            if (w.bold)
                cell->Font()->setBold(*w.bold);
            if (w.numberFormat)
                cell->setNumberFormat(*w.numberFormat);
        }
        QCOMPARE(ws->data().cellCount(), other->data().cellCount());
        for (int col = 1; col <= 12; ++col) {
            RangePtr a = ws->Cells(7, col), b = other->Cells(7, col);
            const QString at = a->Address();
            QVERIFY2(a->Formula() == b->Formula(), qPrintable(at));
            QVERIFY2(a->Value() == b->Value(), qPrintable(at));
            QVERIFY2(ws->cellValue(7, col) == b->Value(), qPrintable(at));
            QVERIFY2(a->NumberFormat() == b->NumberFormat(), qPrintable(at));
            QVERIFY2(a->HorizontalAlignment() == b->HorizontalAlignment(), qPrintable(at));
            QVERIFY2(a->Font()->ColorIndex() == b->Font()->ColorIndex(), qPrintable(at));
            QVERIFY2(a->Font()->Size() == b->Font()->Size(), qPrintable(at));
            QVERIFY2(a->Font()->Bold() == b->Font()->Bold(), qPrintable(at));
            QVERIFY2(a->Font()->Underline() == b->Font()->Underline(), qPrintable(at));
        }
        QCOMPARE(ws->Range(QStringLiteral("D7"))->Value().number(), 25.0);
        QCOMPARE(ws->Range(QStringLiteral("E7"))->Value().number(), 12.5);
    }

    // What the setters would refuse is refused before any cell changes; an
    // entry that does not parse stops the row there.
    void rowOfCellsRefused_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("colorIndex");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("written");                    // cells of the row written before it stopped
        QTest::newRow("colour out of range") << 3 << 57 << "x" << 1004 << 0;
        QTest::newRow("column off the grid") << 16385 << 5 << "x" << 1004 << 0;
        QTest::newRow("formula that does not parse") << 3 << 5 << "=MIN(" << 1004 << 2;
    }
    void rowOfCellsRefused()
    {
        QFETCH(int, column);
        QFETCH(int, colorIndex);
        QFETCH(QString, entry);
        QFETCH(int, error);
        QFETCH(int, written);
        std::vector<CellWrite> row(4);
        for (int k = 0; k < 4; ++k) {
            row[size_t(k)].column = k + 1;
            row[size_t(k)].value = QStringLiteral("new");
        }
        row[2].column = column;
        row[2].colorIndex = colorIndex;
        row[2].value = entry;
        ws->Range(QStringLiteral("A2:D2"))->setValue(QStringLiteral("old"));
        QCOMPARE(errorOf([&] { ws->writeCells(2, row.data(), row.size()); }), error);
        for (int col = 1; col <= 4; ++col)
            QCOMPARE(ws->cellValue(2, col).toString(), col <= written ? QStringLiteral("new") : QStringLiteral("old"));
        QCOMPARE(ws->Range(QStringLiteral("C2"))->Font()->ColorIndex(), int(xlColorIndexAutomatic));

        QCOMPARE(errorOf([&] { ws->cellValue(1048577, 1); }), 1004);
        QVERIFY(wb->Close(false));
        QCOMPARE(errorOf([&] { ws->writeCells(2, row.data(), 1); }), 91);
        QCOMPARE(errorOf([&] { ws->cellValue(2, 1); }), 91);
    }

    void selectionActiveCellZoomAndPanes()
    {
        SheetPtr second = wb->Worksheets(2);
        QCOMPARE(errorOf([&] { second->Rows(QStringLiteral("5:5"))->Select(); }), 1004);   // not the active sheet
        second->Activate();
        QCOMPARE(app->ActiveSheet()->Name(), QStringLiteral("Sheet2"));
        app->ActiveWindow()->setZoom(75);
        second->Rows(QStringLiteral("5:5"))->Select();
        QCOMPARE(app->Selection()->Address(), QStringLiteral("$5:$5"));
        app->ActiveWindow()->setFreezePanes(true);
        QVERIFY(app->ActiveWindow()->FreezePanes());
        QCOMPARE(app->ActiveWindow()->SplitRow(), 4);
        QCOMPARE(app->ActiveWindow()->SplitColumn(), 0);
        second->Range(QStringLiteral("A5"))->Activate();
        QCOMPARE(app->ActiveWindow()->ActiveCell()->Address(), QStringLiteral("$A$5"));
        ws->Activate();
        QCOMPARE(app->ActiveWindow()->Zoom(), 100);                 // zoom and panes belong to each sheet
        QVERIFY(!app->ActiveWindow()->FreezePanes());
        QCOMPARE(second->Parent()->Windows(1)->Zoom(), 100);
        QCOMPARE(errorOf([&] { app->ActiveWindow()->setZoom(5); }), 1004);
        app->Windows()->Arrange(xlArrangeStyleCascade);
        QCOMPARE(app->Windows()->Count(), 1);
        QCOMPARE(errorOf([&] { app->Windows()->Arrange(3); }), 1004);
    }

    void workbooksAndSheets()
    {
        QCOMPARE(app->Workbooks()->Count(), 1);
        QCOMPARE(wb->Name(), QStringLiteral("Book1"));
        QCOMPARE(wb->Worksheets()->Count(), 3);
        QCOMPARE(app->Workbooks(QStringLiteral("book1")).get(), wb.get());
        // Added sheets go before the active one, which becomes the first added.
        SheetPtr added = wb->Sheets()->Add({}, {}, 4);
        QCOMPARE(wb->Worksheets()->Count(), 7);
        QCOMPARE(added->Name(), QStringLiteral("Sheet4"));
        QCOMPARE(added->Index(), 1);
        QCOMPARE(wb->Worksheets(5)->Name(), QStringLiteral("Sheet1"));
        const QStringList names = {"String", "Folder", "eDisk", "CFile", "Capture", "iSetup", "zOvu"};
        for (int i = 1; i <= 7; ++i)
            wb->Worksheets(i)->setName(names[i - 1]);
        QCOMPARE(wb->Worksheets(QStringLiteral("ZOVU"))->Index(), 7);
        wb->Worksheets(7)->setVisible(false);
        QCOMPARE(wb->Worksheets(7)->Visible(), int(xlSheetHidden));
        QCOMPARE(errorOf([&] { wb->Worksheets(7)->Activate(); }), 1004);
        // Hiding the active sheet hands activity to the next visible one.
        wb->Worksheets(6)->Activate();
        wb->Worksheets(6)->setVisible(false);
        QCOMPARE(wb->ActiveSheet()->Name(), QStringLiteral("String"));
        wb->Worksheets(6)->setVisible(true);
        QVERIFY(wb->Saved() == false);
        BookPtr second = app->Workbooks()->Add();
        QCOMPARE(second->Name(), QStringLiteral("Book2"));
        QCOMPARE(app->ActiveWorkbook().get(), second.get());
        wb->Activate();
        QCOMPARE(app->ActiveWorkbook().get(), wb.get());
        // The options the export sets are kept.
        wb->setUpdateRemoteReferences(false);
        wb->setSaveLinkValues(false);
        wb->setPrecisionAsDisplayed(false);
        QVERIFY(!wb->UpdateRemoteReferences() && !wb->SaveLinkValues() && !wb->PrecisionAsDisplayed());
        app->setCalculation(xlCalculationAutomatic);
        app->setMaxIterations(1);
        app->setMaxChange(0.001);
        QCOMPARE(app->MaxIterations(), 1);
        app->setCaption(QStringLiteral("Vantrell0_1 [COM1=ON} {Edit}"));
        QCOMPARE(app->Caption(), QStringLiteral("Vantrell0_1 [COM1=ON} {Edit}"));
    }

    void errorNumbers()
    {
        QCOMPARE(errorOf([&] { app->Workbooks(2); }), 9);
        QCOMPARE(errorOf([&] { app->Workbooks(0); }), 9);
        QCOMPARE(errorOf([&] { app->Workbooks(QStringLiteral("CBoox.xls")); }), 9);
        QCOMPARE(errorOf([&] { wb->Worksheets(4); }), 9);
        QCOMPARE(errorOf([&] { wb->Worksheets(QStringLiteral("Capture")); }), 9);
        wb->Worksheets(2)->setName(QStringLiteral("iSetup"));
        for (const QString &bad : {QString(), QString(32, u'x'), QStringLiteral("a:b"), QStringLiteral("a/b"),
                                   QStringLiteral("a\\b"), QStringLiteral("[x]"), QStringLiteral("a?"), QStringLiteral("a*"),
                                   QStringLiteral("'x"), QStringLiteral("x'"), QStringLiteral("ISETUP")})
            QVERIFY2(errorOf([&] { ws->setName(bad); }) == 1004, qPrintable(bad));
        ws->setName(QString(31, u'x'));                              // the longest name allowed
        wb->Worksheets(2)->setName(QStringLiteral("ISETUP"));        // its own name in another case
        QCOMPARE(errorOf([&] { Variant(QStringLiteral("-?-")).toDouble(); }), 13);
        QCOMPARE(errorOf([&] { Variant(CellError::Div0).toDouble(); }), 13);
        QCOMPARE(Variant(QStringLiteral(" 12.5 ")).toDouble(), 12.5);
        QCOMPARE(Variant().toDouble(), 0.0);
        QCOMPARE(errorOf([&] { app->Workbooks()->Open(dir.filePath(QStringLiteral("missing.xls"))); }), 1004);
        QCOMPARE(errorOf([&] { wb->Worksheets(1)->setVisible(5); }), 1004);
        // The last visible sheet cannot be hidden.
        wb->Worksheets(2)->setVisible(false);
        wb->Worksheets(3)->setVisible(false);
        QCOMPARE(errorOf([&] { wb->Worksheets(1)->setVisible(false); }), 1004);

        // A closed workbook and everything reached through it: 91.
        RangePtr cell = ws->Range(QStringLiteral("A1"));
        QVERIFY(wb->Close(false));
        QCOMPARE(errorOf([&] { wb->Name(); }), 91);
        QCOMPARE(errorOf([&] { ws->Name(); }), 91);
        QCOMPARE(errorOf([&] { cell->setValue(1); }), 91);
        QCOMPARE(errorOf([&] { app->ActiveSheet(); }), 91);
        QCOMPARE(errorOf([&] { app->ActiveWindow(); }), 91);

        // Creation refused by the environment switch, or for another name.
        qputenv("VANTRELL_NO_SPREADSHEET", "1");
        QCOMPARE(errorOf([] { CreateApplication(); }), 429);
        QCOMPARE(errorOf([] { CreateSheetDocument(); }), 429);
        qunsetenv("VANTRELL_NO_SPREADSHEET");
        QCOMPARE(errorOf([] { CreateApplication(QStringLiteral("word.application")); }), 429);
    }

    void versionAndReadySwitches()
    {
        QCOMPARE(app->Version(), QStringLiteral("9.0"));
        QVERIFY(app->Ready());
        qputenv("VANTRELL_SPREADSHEET_VERSION", "8.0");
        qputenv("VANTRELL_SPREADSHEET_NOT_READY", "1");
        AppPtr old = CreateApplication();
        qunsetenv("VANTRELL_SPREADSHEET_VERSION");
        qunsetenv("VANTRELL_SPREADSHEET_NOT_READY");
        QCOMPARE(old->Version(), QStringLiteral("8.0"));
        QVERIFY(!old->Ready());
    }

    void sheetDocumentForTheSpellCheck()
    {
        BookPtr doc = CreateSheetDocument(QStringLiteral("Excel.Sheet"));
        SheetPtr sheet = doc->Application()->ActiveWorkbook()->ActiveSheet();
        QCOMPARE(doc->Worksheets()->Count(), 1);
        QVERIFY(!doc->Application()->Visible());
        // The system's dictionary, as the README installs it.
        sheet->Range(QStringLiteral("A1"))->setValue(QStringLiteral("Teh note text"));
        answers::queueKeyed(QStringLiteral("Not in Dictionary: Teh"), QStringLiteral("The"));
        sheet->CheckSpelling();
        QCOMPARE(answers::pending(), 0);
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(sheet->Range(QStringLiteral("A1"))->Value().toString(), QStringLiteral("The note text"));
    }

    void closeEventAndSaveQuestion()
    {
        CloseGuard guard;
        app->Advise(&guard);
        ws->Range(QStringLiteral("A1"))->setValue(1);
        guard.refuse = wb->Name();
        QVERIFY(!wb->Close(false));                                  // the receiver keeps it open
        QCOMPARE(app->Workbooks()->Count(), 1);
        QVERIFY(answers::asked().isEmpty());
        guard.refuse.clear();

        answers::queue(QStringLiteral("Cancel"));
        QVERIFY(!wb->Close());
        QCOMPARE(answers::last().question.text, QStringLiteral("Do you want to save the changes you made to 'Book1'?"));
        QCOMPARE(answers::last().question.buttons, QStringList({"Yes", "No", "Cancel"}));
        QCOMPARE(app->Workbooks()->Count(), 1);

        // Yes with a file name saves, then closes.
        const QString path = dir.filePath(QStringLiteral("kept.xls"));
        answers::queue(QStringLiteral("Yes"));
        answers::queue(path);
        QVERIFY(wb->Close());
        QVERIFY(QFile::exists(path));
        QCOMPARE(app->Workbooks()->Count(), 0);
        QCOMPARE(guard.seen, QStringList({"Book1", "Book1", "Book1"}));

        // Quit asks for each workbook; a Cancel abandons the quit.
        BookPtr b2 = app->Workbooks()->Add();
        b2->Worksheets(1)->Range(QStringLiteral("A1"))->setValue(2);
        answers::queue(QStringLiteral("Cancel"));
        QVERIFY(!app->Quit());
        QCOMPARE(app->Workbooks()->Count(), 1);
        answers::queue(QStringLiteral("No"));
        QVERIFY(app->Quit());
        QCOMPARE(errorOf([&] { app->Workbooks(); }), 462);
        app->Unadvise(&guard);
    }

    void fileDialogs()
    {
        answers::queue(QStringLiteral("/tmp/x/CBoox.xls"));
        QCOMPARE(app->GetOpenFilename(QStringLiteral("CBoox files (*.xls), *.xls")), Variant(QStringLiteral("/tmp/x/CBoox.xls")));
        QCOMPARE(answers::last().question.kind, QStringLiteral("open"));
        answers::queue(QStringLiteral("Cancel"));
        QCOMPARE(app->GetSaveAsFilename(), Variant(false));
        QCOMPARE(answers::last().question.kind, QStringLiteral("save"));
    }
};

QTEST_MAIN(TestSheetModel)
#include "tst_sheetModel.moc"
