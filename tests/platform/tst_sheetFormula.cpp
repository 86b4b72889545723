// Formulas of the spreadsheet stand-in: the texts the export writes, computed
// on a small fixture with numbers, "-?-" texts, empty cells and the iSetup
// conversion factors on another sheet.
#include <QTest>

#include "platform/errors.h"
#include "platform/spreadsheet.h"

#include <cmath>

using namespace vt;
using namespace vt::xl;

Q_DECLARE_METATYPE(vt::xl::Variant)

namespace {
Variant err(CellError e) { return Variant(e); }
}

class TestSheetFormula : public QObject {
    Q_OBJECT
    AppPtr app;
    BookPtr wb;
    SheetPtr data, setup;

private slots:
    void init()
    {
        app = CreateApplication();
        wb = app->Workbooks()->Add();
        data = wb->Worksheets(1);
        data->setName(QStringLiteral("Data"));
        setup = wb->Worksheets(2);
        setup->setName(QStringLiteral("iSetup"));
        setup->Range(QStringLiteral("D4"))->setValue(0.06479891);   // grains -> grams
        setup->Range(QStringLiteral("D5"))->setValue(15.43235835);  // grams -> grains
        setup->Range(QStringLiteral("D6"))->setValue(0.3048);       // feet -> metres
        // Velocities with a missing reading ("-?-") and an empty cell between.
        data->Range(QStringLiteral("E5"))->setValue(295.5);
        data->Range(QStringLiteral("E6"))->setValue(300.5);
        data->Range(QStringLiteral("E7"))->setValue(QStringLiteral("-?-"));
        data->Range(QStringLiteral("E9"))->setValue(310);
        data->Range(QStringLiteral("R9"))->setValue(150);           // grains
        data->Range(QStringLiteral("E10"))->setValue(0);
        data->Range(QStringLiteral("E11"))->setValue(0);
        data->Range(QStringLiteral("N11"))->setFormula(QStringLiteral("=AVERAGE(E10:E11)"));
        data->Range(QStringLiteral("P11"))->setFormula(QStringLiteral("=STDEV(E10:E11)"));
        data->Range(QStringLiteral("L9"))->setFormula(QStringLiteral("=MIN(E5:E9)"));
        data->Range(QStringLiteral("M9"))->setFormula(QStringLiteral("=MAX(E5:E9)"));
        data->Range(QStringLiteral("N9"))->setFormula(QStringLiteral("=AVERAGE(E5:E9)"));
        data->Range(QStringLiteral("P9"))->setFormula(QStringLiteral("=STDEV(E5:E9)"));
    }
    void cleanup() { app.reset(); wb.reset(); data.reset(); setup.reset(); }

    void results_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<Variant>("expected");
        const double sd = std::sqrt(((295.5 - 302) * (295.5 - 302) + (300.5 - 302) * (300.5 - 302) + 8.0 * 8.0) / 2);
        const double v = 310 * 0.3048;
        QTest::newRow("min skips text and empty") << "=MIN(E5:E9)" << Variant(295.5);
        QTest::newRow("max") << "=MAX(E5:E9)" << Variant(310.0);
        QTest::newRow("average of numbers only") << "=AVERAGE(E5:E9)" << Variant(302.0);
        QTest::newRow("stdev is the sample deviation") << "=STDEV(E5:E9)" << Variant(sd);
        QTest::newRow("stdev of one value") << "=STDEV(E5:E5)" << err(CellError::Div0);
        QTest::newRow("stdev of two equal") << "=STDEV(E10:E11)" << Variant(0.0);
        QTest::newRow("average of text and empty") << "=AVERAGE(E7:E8)" << err(CellError::Div0);
        QTest::newRow("min of nothing") << "=MIN(E7:E8)" << Variant(0.0);
        QTest::newRow("spread") << "=(M9-L9)" << Variant(14.5);
        QTest::newRow("percent of average") << "=(P9* 100)/N9" << Variant(sd * 100 / 302);
        QTest::newRow("percent of zero average") << "=(P11* 100)/N11" << err(CellError::Div0);
        QTest::newRow("text in arithmetic") << "=E7*2" << err(CellError::Value);
        QTest::newRow("empty in arithmetic") << "=E8*2+1" << Variant(1.0);
        QTest::newRow("division by zero") << "=1/0" << err(CellError::Div0);
        QTest::newRow("division by empty") << "=E9/E8" << err(CellError::Div0);
        QTest::newRow("error passes through a function") << "=MIN(E5:E9,1/0)" << err(CellError::Div0);
        QTest::newRow("precedence and unary minus") << "=-E5+3^2*2" << Variant(-295.5 + 18);
        QTest::newRow("energy, grains and feet") << "=($E9*iSetup!$D$6*$E9*iSetup!$D$6 * ($R9*iSetup!$D$4/2000))"
                                                  << Variant(v * v * (150 * 0.06479891 / 2000));
        QTest::newRow("momentum") << "=($E9*iSetup!$D$6*$R9*iSetup!$D$4)" << Variant(v * 150 * 0.06479891);
        QTest::newRow("power factor metric") << "=($E9/iSetup!$D$6*$R9*iSetup!$D$5/1000)"
                                             << Variant(310 / 0.3048 * 150 * 15.43235835 / 1000);
        QTest::newRow("sheet name in any case") << "=ISETUP!D6*10" << Variant(3.048);
        QTest::newRow("missing sheet") << "=Nosheet!A1+1" << err(CellError::Ref);
        QTest::newRow("unknown function") << "=FOO(1)" << err(CellError::Name);
        QTest::newRow("number text counts as argument") << "=MAX(\"7\",2)" << Variant(7.0);
        QTest::newRow("string result") << "=\"abc\"" << Variant(QStringLiteral("abc"));
        QTest::newRow("empty reference shows 0") << "=E8" << Variant(0.0);
        QTest::newRow("whole column") << "=MAX(E:E)" << Variant(310.0);
        // How the lexer cuts numbers and references.
        QTest::newRow("exponent and fraction") << "=1.5e2/10+.5+2.E1" << Variant(35.5);
        QTest::newRow("signed exponent") << "=25E-1*2" << Variant(5.0);
        QTest::newRow("anchored parts, any case") << "=$E$9+e$9+$e9" << Variant(930.0);
        QTest::newRow("whole rows, anchored") << "=MAX($5:9)" << Variant(310.0);
        QTest::newRow("column range, anchored") << "=MIN(d:$E)" << Variant(0.0);
        QTest::newRow("four letters are a name") << "=ABCD1" << err(CellError::Name);
        QTest::newRow("eight digits are a name") << "=E12345678" << err(CellError::Name);
        QTest::newRow("dotted name") << "=A1.B" << err(CellError::Name);
        QTest::newRow("quoted sheet") << "='iSetup'!D6*10" << Variant(3.048);
        QTest::newRow("space before the bracket") << "=MAX (E5:E6)" << Variant(300.5);
        QTest::newRow("function name in any case") << "=Average(E5:E9)+min(1,2)" << Variant(303.0);
        QTest::newRow("functions inside arguments") << "=MAX(MIN(E5:E9),-MAX(E5:E6)*2,290+(1-1))" << Variant(295.5);
        QTest::newRow("known function without arguments") << "=MAX()" << err(CellError::Value);
        QTest::newRow("unknown function without arguments") << "=FOO()" << err(CellError::Name);
        QTest::newRow("first error of the arguments wins") << "=MIN(E5,1/0,E7*2)" << err(CellError::Div0);
    }

    void results()
    {
        QFETCH(QString, formula);
        QFETCH(Variant, expected);
        RangePtr cell = data->Range(QStringLiteral("X1"));
        cell->setFormula(formula);
        QCOMPARE(cell->Formula(), formula);
        const Variant got = cell->Value();
        QCOMPARE(int(got.type()), int(expected.type()));
        if (expected.isNumber())
            QVERIFY2(std::fabs(got.number() - expected.number()) < 1e-9 * std::max(1.0, std::fabs(expected.number())),
                     qPrintable(got.toString()));
        else
            QCOMPARE(got.displayText(), expected.displayText());
    }

    void recalculatesWhenACellChanges()
    {
        RangePtr avg = data->Range(QStringLiteral("N9"));
        QCOMPARE(avg->Value().number(), 302.0);
        data->Range(QStringLiteral("E7"))->setValue(302);          // the missing reading arrives
        QCOMPARE(avg->Value().number(), 302.0);
        data->Range(QStringLiteral("E5"))->setValue(QStringLiteral("-?-"));
        QCOMPARE(data->Range(QStringLiteral("L9"))->Value().number(), 300.5);
        setup->Range(QStringLiteral("D6"))->setValue(1);
        data->Range(QStringLiteral("X1"))->setFormula(QStringLiteral("=E9*iSetup!$D$6"));
        QCOMPARE(data->Range(QStringLiteral("X1"))->Value().number(), 310.0);
        setup->Range(QStringLiteral("D6"))->setValue(2);           // a change on another sheet
        QCOMPARE(data->Range(QStringLiteral("X1"))->Value().number(), 620.0);
        setup->setName(QStringLiteral("Other"));                   // the reference now names no sheet
        QCOMPARE(data->Range(QStringLiteral("X1"))->Value().displayText(), QStringLiteral("#REF!"));
    }

    void syntaxErrorsRaise1004()
    {
        for (const char *bad : {"=2e", "=E5:", "=A1:B", "=1:C", "=MIN(E5", "=1+", "=E5 E6", "=Data!", "=\"open", "=(1", "=1)", "=@"}) {
            RtError caught(0);
            try {
                data->Range(QStringLiteral("X2"))->setFormula(QString::fromLatin1(bad));
            } catch (const RtError &e) {
                caught = e;
            }
            QVERIFY2(caught.number == 1004, bad);
        }
        QVERIFY(data->Range(QStringLiteral("X2"))->Value().isEmpty());
    }

    void copyMovesRelativeReferences()
    {
        data->Range(QStringLiteral("L5"))->setFormula(QStringLiteral("=MIN(E$5:E5)+$R$9-iSetup!D6"));
        data->Range(QStringLiteral("L5"))->Copy(data->Range(QStringLiteral("M7")));
        QCOMPARE(data->Range(QStringLiteral("M7"))->Formula(), QStringLiteral("=MIN(F$5:F7)+$R$9-iSetup!E8"));
        // Pushed off the sheet, a reference becomes #REF!.
        data->Range(QStringLiteral("B2"))->setFormula(QStringLiteral("=A1*2"));
        data->Range(QStringLiteral("B2"))->Copy(data->Range(QStringLiteral("A1")));
        QCOMPARE(data->Range(QStringLiteral("A1"))->Formula(), QStringLiteral("=#REF!*2"));
        QCOMPARE(data->Range(QStringLiteral("A1"))->Value().displayText(), QStringLiteral("#REF!"));
        // Filling a range moves the references along, as the user's fill does.
        data->Range(QStringLiteral("Y5:Y7"))->setFormula(QStringLiteral("=E5*2"));
        QCOMPARE(data->Range(QStringLiteral("Y7"))->Formula(), QStringLiteral("=E7*2"));
        QCOMPARE(data->Range(QStringLiteral("Y6"))->Value().number(), 601.0);
    }

    void circularAndLongChainsEndCleanly()
    {
        data->Range(QStringLiteral("Z1"))->setFormula(QStringLiteral("=Z2+1"));
        data->Range(QStringLiteral("Z2"))->setFormula(QStringLiteral("=Z1+1"));
        QVERIFY(data->Range(QStringLiteral("Z1"))->Value().isNumber());
        // A chain far deeper than the evaluator recurses is still computed.
        data->Range(QStringLiteral("AA1"))->setValue(1);
        data->Range(QStringLiteral("AA2:AA3000"))->setFormula(QStringLiteral("=AA1+1"));
        QCOMPARE(data->Range(QStringLiteral("AA3000"))->Value().number(), 3000.0);
    }
};

QTEST_MAIN(TestSheetFormula)
#include "tst_sheetFormula.moc"
