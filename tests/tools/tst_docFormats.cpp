// The default document formats: their values on a first run and after a
// save and a new start, what a new CFile takes of them, the selection's
// format on the toolbar, the quick font command, and the measurement units.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/conversions.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modDocFmt.h"
#include "shell/modMain.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"
#include "tools/modFormats.h"
#include "tools/modEditorTools.h"
#include "tools/modUnits.h"

using namespace vt;
using vttest::boxTexts;

namespace {

const QString kMDI = QStringLiteral("frmMDI");
QString stored(const char *key) { return GetSetting(AppTitle, kMDI, QString::fromLatin1(key), QStringLiteral("<none>")); }
void store(const char *key, const QString &value) { SaveSetting(AppTitle, kMDI, QString::fromLatin1(key), value); }
RichTextBox *box() { return ActiveForm()->rtfText; }

} // namespace

class TestDocFormats : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        vttest::startEditor();
        installEditorTools();
    }
    void cleanup()
    {
        GetRegistry = SaveRegistry = true;
        vttest::stopEditor();
        installTools(nullptr);
    }

    void firstRunDefaults()
    {
        // The main window's load has read an empty settings store.
        QCOMPARE(FontFmtDef.FontName, QStringLiteral("Arial"));
        QCOMPARE(FontFmtDef.FontSize, int16_t(10));
        QCOMPARE(FontFmtDef.FontColor, 0);
        QCOMPARE(FontFmtDef.FontBackColor, 0xFFFFFF);
        QVERIFY(!FontFmtDef.FontBold && !FontFmtDef.FontItalic && !FontFmtDef.FontUnderline
                && !FontFmtDef.FontStrikeThru);
        QCOMPARE(FontFmtDef.FormatSetDefalt, int16_t(1));
        QCOMPARE(DocFontFmt.SelFontName, QStringLiteral("Arial"));
        QCOMPARE(MargFmtDef.Indent, int16_t(72));
        QCOMPARE(MargFmtDef.RightIndent, int16_t(72));
        QCOMPARE(MargFmtDef.HangingIndent, int16_t(0));
        QCOMPARE(MargFmtDef.MargUnits, int16_t(5));
        QCOMPARE(TabFmtDef.TabCount, int16_t(0));
        QCOMPARE(TabFmtDef.TabDefalt, int16_t(1));
        QCOMPARE(PrnMargins.Left, 1000);
        QCOMPARE(PrnMargins.Top, 1000);
        QCOMPARE(PrnMargins.Bottom, 1000);
        QCOMPARE(PrnMargins.Orientation, int16_t(1));
        updAllSta();
        QVERIFY(frmMDI::get()->mnuFormatStart->isChecked());

        // Without reading the settings only the factory values count.
        GetRegistry = false;
        PrnMargins.Orientation = 0;
        vt::getAllFmt();
        QCOMPARE(PrnMargins.Top, 500);
        QCOMPARE(PrnMargins.Bottom, 500);
        QCOMPARE(PrnMargins.Orientation, int16_t(0));
    }

    void savedFormatsSurviveARestart()
    {
        FontFmtDef.FontName = QStringLiteral("DejaVu Serif");
        FontFmtDef.FontSize = 14;
        FontFmtDef.FontColor = 0xFF;
        FontFmtDef.FontItalic = true;
        FontFmtDef.FormatSetDefalt = 0;
        MargFmtDef.Indent = 1440;
        MargFmtDef.HangingIndent = -360;
        MargFmtDef.MargDefalt = 0;
        PrnMargins = {750, 600, 500, 400, 2, 9};
        TabFmtDef.TabCount = 2;
        TabFmtDef.TabPos[0] = 720;
        TabFmtDef.TabPos[1] = 2880;
        writeTabs(TabFmtDef); // the tab dialog's Save
        nbrEditor().savAllFmt();
        QCOMPARE(stored("prnPaperSize"), QStringLiteral("0"));
        QCOMPARE(stored("FontBackColor"), QStringLiteral("16777215"));
        QCOMPARE(stored("FontItalic"), QStringLiteral("True"));

        FontFmtDef = FontFmt();
        MargFmtDef = MargFmt();
        TabFmtDef = TabFmt();
        PrnMargins = PrnMarginsRec();
        nbrEditor().getAllFmt();
        QCOMPARE(FontFmtDef.FontName, QStringLiteral("DejaVu Serif"));
        QCOMPARE(FontFmtDef.FontSize, int16_t(14));
        QCOMPARE(FontFmtDef.FontColor, 0xFF);
        QVERIFY(FontFmtDef.FontItalic);
        QCOMPARE(FontFmtDef.FormatSetDefalt, int16_t(0));
        QCOMPARE(MargFmtDef.Indent, int16_t(1440));
        QCOMPARE(MargFmtDef.HangingIndent, int16_t(-360));
        QCOMPARE(MargFmtDef.MargDefalt, int16_t(0));
        QCOMPARE(TabFmtDef.TabCount, int16_t(2));
        QCOMPARE(TabFmtDef.TabPos[1], int16_t(2880));
        QCOMPARE(PrnMargins.Left, 750);
        QCOMPARE(PrnMargins.Bottom, 400);
        QCOMPARE(PrnMargins.Orientation, int16_t(2));
        QCOMPARE(PrnMargins.PaperSize, int16_t(0));
    }

    void withoutSaveRegistryOnlyThePrintKeysAreWritten()
    {
        SaveRegistry = false;
        nbrEditor().savAllFmt();
        QStringList keys;
        for (const auto &kv : GetAllSettings(AppTitle, kMDI))
            keys << kv.first;
        keys.sort();
        QCOMPARE(keys, (QStringList{"prnBottomMargin", "prnLeftMargin", "prnOrientation", "prnPaperSize",
                                    "prnRightMargin", "prnTopMargin"}));
    }

    void badAndSeparateKeys()
    {
        // A value that does not convert keeps the field; the rest is read.
        store("FontSize", QStringLiteral("huge"));
        store("FontColor", QStringLiteral("255"));
        store("Indent", QStringLiteral("99999"));
        store("RightIndent", QStringLiteral("144"));
        // The main window and the font dialog keep the ask flag under two keys.
        store("FormatDefaltAsk", QStringLiteral("0"));
        store("FormatAsk", QStringLiteral("1"));
        vt::getAllFmt();
        QCOMPARE(FontFmtDef.FontSize, int16_t(10));
        QCOMPARE(FontFmtDef.FontColor, 255);
        QCOMPARE(MargFmtDef.Indent, int16_t(72));
        QCOMPARE(MargFmtDef.RightIndent, int16_t(144));
        QCOMPARE(FontFmtDef.FormatAsk, int16_t(0));
        FontFmt dialogs = FontFmtDef;
        readFontDefs(dialogs);
        QCOMPARE(dialogs.FormatAsk, int16_t(1));
    }

    void tabLists_data()
    {
        QTest::addColumn<QString>("positions");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QList<int>>("twips");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("two") << "720_@_1440_@_" << "a_@_b_@_" << QList<int>{720, 1440} << QStringList{"a", "b"};
        QTest::newRow("fewer names") << "720_@_1440_@_" << "a_@_" << QList<int>{720} << QStringList{"a"};
        QTest::newRow("no names") << "720_@_" << "" << QList<int>{} << QStringList{};
        QTest::newRow("empty name") << "1440_@_" << "_@_" << QList<int>{1440} << QStringList{""};
        QTest::newRow("no end mark") << "720_@_99" << "a_@_b" << QList<int>{720} << QStringList{"a"};
    }
    void tabLists()
    {
        QFETCH(QString, positions);
        QFETCH(QString, names);
        QFETCH(QList<int>, twips);
        QFETCH(QStringList, labels);
        TabFmt t;
        splitTabs(t, positions, names);
        QCOMPARE(int(t.TabCount), twips.size());
        for (int i = 0; i < twips.size(); ++i) {
            QCOMPARE(int(t.TabPos[i]), twips[i]);
            QCOMPARE(t.TabName[i], labels[i]);
        }
        // What is read is written back the same way.
        const TabLists again = joinTabs(t);
        TabFmt back;
        splitTabs(back, again.positions, again.names);
        QCOMPARE(back.TabCount, t.TabCount);
    }

    void hundredTabStopsAreKept()
    {
        TabFmtDef.TabCount = 100;
        for (int i = 0; i < 100; ++i) {
            TabFmtDef.TabPos[i] = int16_t(100 + i * 300);
            TabFmtDef.TabName[i] = QString::number(i);
        }
        writeTabs(TabFmtDef);
        TabFmtDef = TabFmt();
        getTabs();
        QCOMPARE(TabFmtDef.TabCount, int16_t(100));
        QCOMPARE(TabFmtDef.TabPos[99], int16_t(100 + 99 * 300));
        QCOMPARE(TabFmtDef.TabName[99], QStringLiteral("99"));
        CreateNewCFile();
        QCOMPARE(box()->SelTabCount(), std::optional<int>(100));
        QCOMPARE(box()->SelTabs(99), std::optional<int>(100 + 99 * 300));
    }

    void newCFileTakesTheDefaultsItsFlagsAskFor_data()
    {
        QTest::addColumn<int>("font");
        QTest::addColumn<int>("margins");
        QTest::addColumn<int>("tabs");
        QTest::newRow("all") << 1 << 1 << 1;
        QTest::newRow("none") << 0 << 2 << 0;
        QTest::newRow("margins only") << 0 << 1 << 0;
    }
    void newCFileTakesTheDefaultsItsFlagsAskFor()
    {
        QFETCH(int, font);
        QFETCH(int, margins);
        QFETCH(int, tabs);
        FontFmtDef.FormatSetDefalt = int16_t(font);
        FontFmtDef.FontName = QStringLiteral("DejaVu Serif");
        FontFmtDef.FontSize = 15;
        FontFmtDef.FontBold = true;
        FontFmtDef.FontColor = int32_t(RGB(200, 0, 0));
        FontFmtDef.FontBackColor = int32_t(RGB(255, 255, 200));
        MargFmtDef.MargDefalt = int16_t(margins);
        MargFmtDef.Indent = 720;
        MargFmtDef.RightIndent = 360;
        MargFmtDef.HangingIndent = 180;
        TabFmtDef.TabDefalt = int16_t(tabs);
        TabFmtDef.TabCount = 2;
        TabFmtDef.TabPos[0] = 1440;
        TabFmtDef.TabPos[1] = 13680;
        CreateNewCFile();
        QVERIFY(!ActiveForm()->bChanged);
        QTest::keyClicks(box(), QStringLiteral("typed"));
        box()->SetSelStart(0);
        box()->SetSelLength(5);
        QCOMPARE(box()->SelFontSize() == std::optional<double>(15), font == 1);
        QCOMPARE(box()->SelBold() == std::optional<bool>(true), font == 1);
        QCOMPARE(box()->BackColor() == colorFromNumber(RGB(255, 255, 200)), font == 1);
        QCOMPARE(box()->SelIndent() == std::optional<int>(720), margins == 1);
        QCOMPARE(box()->SelRightIndent() == std::optional<int>(360), margins == 1);
        QCOMPARE(box()->SelTabCount(), std::optional<int>(tabs == 1 ? 2 : 0));
        if (tabs == 1)
            QCOMPARE(box()->SelTabs(1), std::optional<int>(13680));
        if (font == 1)
            QCOMPARE(frmMDI::get()->cboFontSize->currentText(), QStringLiteral("15"));
    }

    void selectionFormatOnTheToolbar()
    {
        CreateNewCFile();
        box()->SetText(QStringLiteral("one two"));
        box()->SetSelStart(0);
        box()->SetSelLength(3);
        box()->SetSelFontSize(20);
        box()->SetSelFontName(QStringLiteral("DejaVu Sans Mono"));
        updTrbDocFmt();
        QCOMPARE(DocFontFmt.SelFontSize, int16_t(20));
        QCOMPARE(frmMDI::get()->cboFontSize->currentText(), QStringLiteral("20"));
        QCOMPARE(frmMDI::get()->cboFontName->currentText(), QStringLiteral("DejaVu Sans Mono"));
        // A selection of two sizes leaves the record as it was.
        box()->SetSelLength(7);
        saxDocFmt();
        QCOMPARE(DocFontFmt.SelFontSize, int16_t(20));
    }

    void quickFontCommand()
    {
        QAction *font = frmMDI::get()->mnuFormatFont;
        font->setEnabled(true);
        font->trigger();
        QCOMPARE(boxTexts(), QStringList{"No Open CFile !"});
        QCOMPARE(answers::last().question.title, QStringLiteral("Jotrix"));

        CreateNewCFile();
        box()->SetText(QStringLiteral("abc def"));
        box()->SetSelStart(4);
        box()->SetSelLength(3);
        answers::queue(QStringLiteral("DejaVu Serif,10.5,bold,#0000ff"));
        font->setEnabled(true);
        font->trigger();
        QCOMPARE(answers::last().question.kind, QStringLiteral("font"));
        QCOMPARE(box()->SelStart(), 4);
        QCOMPARE(box()->SelLength(), 3);
        QCOMPARE(box()->SelFontSize(), std::optional<double>(10.5));
        QCOMPARE(box()->SelBold(), std::optional<bool>(true));
        QCOMPARE(box()->SelColor(), std::optional<QColor>(QColor(0, 0, 255)));
        QCOMPARE(frmMDI::get()->cboFontSize->currentText(), QStringLiteral("10.5"));

        // Cancelled: nothing changes and nothing is said.
        const int asked = boxTexts().size();
        answers::queue(QStringLiteral("Cancel"));
        font->trigger();
        QCOMPARE(box()->SelFontSize(), std::optional<double>(10.5));
        QCOMPARE(boxTexts().size(), asked);
    }

    void unitConversions_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("oneInch");
        QTest::newRow("characters") << 0 << "Characters" << 4 << "12.00";
        QTest::newRow("inches") << 1 << "Inches" << 5 << "1.00";
        QTest::newRow("millimetres") << 2 << "Millimeters" << 6 << "25.40";
        QTest::newRow("centimetres") << 3 << "Centimeters" << 7 << "2.54";
        QTest::newRow("points") << 4 << "Points" << 2 << "72.00";
    }
    void unitConversions()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(int, code);
        QFETCH(QString, oneInch);
        const auto i = int16_t(index);
        QCOMPARE(idx2UnitName(i), name);
        QCOMPARE(int(idx2ScaleMode(i)), code);
        QCOMPARE(int(scaleMode2Idx(int16_t(code))), index);
        QCOMPARE(showLength(1440, i), oneInch);
        QCOMPARE(int(lengthTwips(Val(oneInch), i)), 1440);
        // The largest value a field offers still fits, one step more does not.
        QVERIFY(lengthTwips(maxLength(i), i) <= 32767);
        QVERIFY(!trapErrors([&] { lengthTwips(maxLength(i) + spinStep(i), i); }));
        Err.Clear();
    }

    void unitEdges()
    {
        QCOMPARE(scaleMode2Idx(vbTwips), int16_t(0));
        QCOMPARE(idx2ScaleMode(-1), int16_t(vbCharacters));
        QCOMPARE(idx2ScaleMode(5), int16_t(vbTwips));
        QCOMPARE(idx2UnitName(7), QStringLiteral("Characters"));
        QCOMPARE(showLength(72, 1), QStringLiteral("0.05"));
        QCOMPARE(lengthTwips(22.75, 1), int16_t(32760));
        QCOMPARE(showLength(100, 1), QStringLiteral("0.07"));
        QCOMPARE(lengthTwips(0.07, 1), int16_t(101));
    }
};

QTEST_MAIN(TestDocFormats)
#include "tst_docFormats.moc"
