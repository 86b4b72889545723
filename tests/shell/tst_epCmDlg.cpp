#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/answers.h"
#include "platform/commondlg.h"
#include "platform/errors.h"
#include "platform/printer.h"
#include "shell/epCmDlg.h"

using namespace vt;

namespace {
const QString kFilter = QStringLiteral(
    "CFile (*.rtf)|*.rtf|RichText (*.rtf)|*.rtf|Text (*.txt)|*.txt|Log (*.log)|*.log|All (*.*)|*.*|");

// Runs op and returns the number of the error it raised (0: none).
int errorOf(const std::function<void()> &op)
{
    Err.Clear();
    return trapErrors(op) ? 0 : Err.Number;
}
} // namespace

class TestEpCmDlg : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        answers::reset();
        cmDlg = epCmDlg{};
        printer_testing::clear();
    }

    void openSingleIsExactlyTheChosenPath()
    {
        cmDlg.Filter = kFilter;
        cmDlg.FilterIndex = 3;
        cmDlg.DialogTitle = QStringLiteral("Select file(s) to open");
        // A proposed name longer than the answer must leave no trace in it.
        cmDlg.DefaultFilename = QStringLiteral("a-much-longer-default-name.rtf");
        answers::queue(QStringLiteral("/data/a.rtf"));
        cmDlg.ShowOpen();
        QCOMPARE(cmDlg.cFileName, QStringList{QStringLiteral("/data/a.rtf")});
        QCOMPARE(cmDlg.cFileTitle, QStringList{QStringLiteral("a.rtf")});
        const answers::Question q = answers::last().question;
        QCOMPARE(q.kind, QStringLiteral("open"));
        QCOMPARE(q.title, QStringLiteral("Select file(s) to open"));
        QVERIFY(q.text.contains(kFilter));
        QVERIFY(q.text.contains(QStringLiteral("FilterIndex: 3")));
        QVERIFY(q.text.contains(QStringLiteral("a-much-longer-default-name.rtf")));
    }

    void openMultiple_data()
    {
        QTest::addColumn<QString>("initialDir");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("titles");
        const QStringList abc{QStringLiteral("a.rtf"), QStringLiteral("b.txt"), QStringLiteral("c.log")};
        QTest::newRow("folder") << QString() << "/data/a.rtf|/data/b.txt|/data/c.log"
                                << QStringList{"/data/a.rtf", "/data/b.txt", "/data/c.log"} << abc;
        QTest::newRow("root, no doubled slash") << QString() << "/a.rtf|/b.txt|/c.log"
                                                << QStringList{"/a.rtf", "/b.txt", "/c.log"} << abc;
        QTest::newRow("names in the initial folder") << "/data/" << "a.rtf|b.txt|c.log"
                                                     << QStringList{"/data/a.rtf", "/data/b.txt", "/data/c.log"} << abc;
    }
    void openMultiple()
    {
        QFETCH(QString, initialDir);
        QFETCH(QString, answer);
        QFETCH(QStringList, paths);
        QFETCH(QStringList, titles);
        cmDlg.MultiSelect = true;
        cmDlg.Filter = kFilter;
        cmDlg.InitialDir = initialDir;
        answers::queue(answer);
        cmDlg.ShowOpen();
        QCOMPARE(cmDlg.cFileName, paths);
        QCOMPARE(cmDlg.cFileTitle, titles);
    }

    void singleSelectionTakesOneFile()
    {
        answers::queue(QStringLiteral("/d/one.rtf|/d/two.rtf"));
        cmDlg.ShowOpen();
        QCOMPARE(cmDlg.cFileName, QStringList{QStringLiteral("/d/one.rtf")});
        // Save is single-file even with MultiSelect set.
        cmDlg.MultiSelect = true;
        answers::queue(QStringLiteral("/d/x.rtf|/d/y.rtf"));
        cmDlg.ShowSave();
        QCOMPARE(cmDlg.cFileName, QStringList{QStringLiteral("/d/x.rtf")});
    }

    void saveProposesTheDefaultName()
    {
        cmDlg.DialogTitle = QStringLiteral("Save As");
        cmDlg.DefaultFilename = QStringLiteral("shots.rtf");
        cmDlg.InitialDir = QStringLiteral("/home/u/cfiles");
        answers::queueKeyed(QStringLiteral("shots.rtf"), QStringLiteral("shots.rtf"));
        cmDlg.ShowSave();
        QCOMPARE(answers::last().question.kind, QStringLiteral("save"));
        QCOMPARE(cmDlg.cFileName, QStringList{QStringLiteral("/home/u/cfiles/shots.rtf")});
        QCOMPARE(cmDlg.cFileTitle, QStringList{QStringLiteral("shots.rtf")});
    }

    void cancel_data()
    {
        QTest::addColumn<int>("op");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(QStringLiteral("op %1").arg(i))) << i;
    }
    void cancel()
    {
        QFETCH(int, op);
        const std::function<void()> ops[] = {
            [] { cmDlg.ShowOpen(); }, [] { cmDlg.ShowSave(); },        [] { cmDlg.ShowFont(); },
            [] { cmDlg.ShowColor(); }, [] { cmDlg.ShowPageSetup(); }, [] { cmDlg.ShowPrinter(); },
        };
        cmDlg.cFileName = {QStringLiteral("/prev/p.rtf")};
        cmDlg.cFileTitle = {QStringLiteral("p.rtf")};
        cmDlg.MarginLeft = 1234;
        cmDlg.FontName = QStringLiteral("Tahoma");

        // Without CancelError: quiet, nothing changes. An unanswered dialog is a Cancel too.
        answers::queue(QStringLiteral("Cancel"));
        QCOMPARE(errorOf(ops[op]), 0);
        QCOMPARE(errorOf(ops[op]), 0);
        QCOMPARE(cmDlg.cFileName, QStringList{QStringLiteral("/prev/p.rtf")});
        QCOMPARE(cmDlg.cFileTitle, QStringList{QStringLiteral("p.rtf")});
        QCOMPARE(cmDlg.MarginLeft, 1234);
        QCOMPARE(cmDlg.FontName, QStringLiteral("Tahoma"));

        cmDlg.CancelError = true;
        answers::queue(QString());
        QCOMPARE(errorOf(ops[op]), 32755);
        QCOMPARE(Err.Description, QStringLiteral("Cancel was selected."));
        QCOMPARE(cmDlg.cFileName, QStringList{QStringLiteral("/prev/p.rtf")});
    }

    void fontAlwaysOpensOnArial()
    {
        cmDlg.FontName = QStringLiteral("Courier");
        cmDlg.FontSize = 30;
        answers::queue(QStringLiteral("Tahoma,11.5,italic,strikeout,#ff0000"));
        cmDlg.ShowFont();
        QCOMPARE(answers::last().question.text, QStringLiteral("Arial,10,#000000"));
        QCOMPARE(cmDlg.FontName, QStringLiteral("Tahoma"));
        QCOMPARE(cmDlg.FontSize, int16_t(12)); // 11.5 rounds half to even
        QVERIFY(cmDlg.FontItalic);
        QVERIFY(cmDlg.FontStrikeThru);
        QVERIFY(!cmDlg.FontBold);
        QVERIFY(!cmDlg.FontUnderline);
        QCOMPARE(cmDlg.FontColor, 0x0000FF); // red is the low byte

        // The dialog offers 10 to 72 points only.
        answers::queue(QStringLiteral("Arial,8,bold,underline"));
        cmDlg.ShowFont();
        QCOMPARE(cmDlg.FontSize, int16_t(10));
        QVERIFY(cmDlg.FontBold && cmDlg.FontUnderline && !cmDlg.FontItalic);
        answers::queue(QStringLiteral("Arial,100"));
        cmDlg.ShowFont();
        QCOMPARE(cmDlg.FontSize, int16_t(72));
        QCOMPARE(cmDlg.FontColor, 0);
    }

    void unreadableAnswersCancel()
    {
        cmDlg.CancelError = true;
        cmDlg.FontName = QStringLiteral("Keep");
        const QStringList bad{QStringLiteral("Arial"), QStringLiteral("Arial,big"), QStringLiteral("Arial,12,wobbly")};
        for (const QString &a : bad) {
            answers::queue(a);
            QCOMPARE(errorOf([] { cmDlg.ShowFont(); }), 32755);
        }
        QCOMPARE(cmDlg.FontName, QStringLiteral("Keep"));
        answers::queue(QStringLiteral("1,2,3"));
        QCOMPARE(errorOf([] { cmDlg.ShowPageSetup(); }), 32755);
        answers::queue(QStringLiteral("#12345z"));
        QCOMPARE(errorOf([] { cmDlg.ShowColor(); }), 32755);
        answers::queue(QStringLiteral("OK,copies=0"));
        QCOMPARE(errorOf([] { cmDlg.ShowPrinter(); }), 32755);
    }

    void colorIsReturnedNotStored()
    {
        cmDlg.FontColor = 0x123456;
        answers::queue(QStringLiteral("#00ff00"));
        QCOMPARE(cmDlg.ShowColor(), QVariant(int32_t(0x00FF00)));
        answers::queue(QStringLiteral("&HFF0000"));
        QCOMPARE(cmDlg.ShowColor(), QVariant(int32_t(0xFF0000)));
        answers::queue(QStringLiteral("255"));
        QCOMPARE(cmDlg.ShowColor(), QVariant(int32_t(255)));
        QCOMPARE(answers::last().question.text, QStringLiteral("#000000"));
        QCOMPARE(cmDlg.FontColor, 0x123456);
    }

    void pageSetupMargins_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<int>>("ltrb");
        QTest::newRow("thousandths") << "750,500,1250,0" << QList<int>{750, 500, 1250, 0};
        QTest::newRow("inches") << "1in,0.5in,1.25in,.75in" << QList<int>{1000, 500, 1250, 750};
        QTest::newRow("millimetres") << "25.4mm,12.7mm,10mm,0mm" << QList<int>{1000, 500, 394, 0};
        QTest::newRow("mixed") << "20 mm, 2in ,393,5.08MM" << QList<int>{787, 2000, 393, 200};
    }
    void pageSetupMargins()
    {
        QFETCH(QString, answer);
        QFETCH(QList<int>, ltrb);
        cmDlg.Flags = 2;
        cmDlg.MarginLeft = 111;
        cmDlg.MarginTop = 222;
        cmDlg.MarginRight = 333;
        cmDlg.MarginBottom = 444;
        answers::queue(answer);
        cmDlg.ShowPageSetup();
        QVERIFY(answers::last().question.text.endsWith(QStringLiteral("111,222,333,444")));
        QCOMPARE((QList<int>{cmDlg.MarginLeft, cmDlg.MarginTop, cmDlg.MarginRight, cmDlg.MarginBottom}), ltrb);
    }

    void marginConversionIsExactBothWays()
    {
        for (int t = 0; t <= 20000; ++t)
            QCOMPARE(dialogs::mmToThousandths(dialogs::thousandthsToMm(t)), t);
        QCOMPARE(dialogs::thousandthsToMm(1000), 25.4);
        QCOMPARE(dialogs::mmToThousandths(25.4), 1000);
        QCOMPARE(dialogs::mmToThousandths(254.0), 10000);
    }

    // The real dialog, confirmed untouched, must hand back the very margins it
    // was given, though it shows them rounded in its own unit.
    void realPageDialogKeepsUntouchedMargins_data()
    {
        QTest::addColumn<int>("flags");
        QTest::newRow("millimetres") << 2 + 8;
        QTest::newRow("inches") << 2 + 4;
    }
    void realPageDialogKeepsUntouchedMargins()
    {
        QFETCH(int, flags);
        answers::setScripted(false);
        cmDlg.Flags = flags;
        cmDlg.MarginLeft = 393;
        cmDlg.MarginTop = 1000;
        cmDlg.MarginRight = 777;
        cmDlg.MarginBottom = 5;
        bool clicked = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *w = QApplication::activeModalWidget();
            if (auto *d = qobject_cast<QDialog *>(w)) {
                clicked = true;
                d->accept();
            }
        });
        cmDlg.ShowPageSetup();
        QVERIFY(clicked);
        QCOMPARE((QList<int>{cmDlg.MarginLeft, cmDlg.MarginTop, cmDlg.MarginRight, cmDlg.MarginBottom}),
                 (QList<int>{393, 1000, 777, 5}));
    }

    void printerTakesTheChosenSettings()
    {
        cmDlg.Flags = 0x200051;
        answers::queue(QStringLiteral("OK,copies=3,landscape,grayscale,paper=Letter"));
        cmDlg.ShowPrinter();
        QCOMPARE(answers::last().question.title, QStringLiteral("Print Setup"));
        QCOMPARE(Printer().copyCount(), 3);
        QCOMPARE(Printer().pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(Printer().colorMode(), QPrinter::GrayScale);
        QCOMPARE(Printer().pageLayout().pageSize().id(), QPageSize::Letter);
        // A printer that is not installed leaves the printer as it was.
        const QString before = Printer().printerName();
        answers::queue(QStringLiteral("No Such Printer,portrait"));
        cmDlg.ShowPrinter();
        QCOMPARE(Printer().printerName(), before);
        QCOMPARE(Printer().pageLayout().orientation(), QPageLayout::Portrait);
    }

    void defaultNameTooLongFails()
    {
        cmDlg.DefaultFilename = QString(261, u'x');
        QCOMPARE(errorOf([] { cmDlg.ShowSave(); }), 5);
        QCOMPARE(errorOf([] { cmDlg.ShowOpen(); }), 5);
        QVERIFY(answers::asked().isEmpty()); // failed before the dialog
        cmDlg.MultiSelect = true;
        answers::queue(QStringLiteral("/x/y.rtf"));
        QCOMPARE(errorOf([] { cmDlg.ShowOpen(); }), 0);
    }

    void filterForm_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("qt");
        QTest::newRow("program filter") << kFilter
                                        << QStringList{"CFile (*.rtf)", "RichText (*.rtf)", "Text (*.txt)",
                                                       "Log (*.log)", "All (*.*)"};
        QTest::newRow("several patterns") << "Bitmaps (*.bmp;*.dib)|*.bmp;*.dib|GIF Images (*.gif)|*.gif|"
                                          << QStringList{"Bitmaps (*.bmp *.dib)", "GIF Images (*.gif)"};
        QTest::newRow("no bar") << "Text" << QStringList{"Text (*)"};
        QTest::newRow("no trailing bar") << "Log|*.log" << QStringList{"Log (*.log)"};
    }
    void filterForm()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, qt);
        QCOMPARE(dialogs::nameFilters(filter), qt);
    }
};

QTEST_MAIN(TestEpCmDlg)
#include "tst_epCmDlg.moc"
