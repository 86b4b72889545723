// The format dialogs reached from the Format menu: the default font dialog,
// the paragraph margins dialog and the tab stops dialog, each with its
// questions, what it stores, and what it applies to the active CFile.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modDocFmt.h"
#include "shell/modMain.h"
#include "shell/modStartNbrs.h"
#include "tools/frmPageMrgns.h"
#include "tools/frmPageTabs.h"
#include "tools/frmTextFont.h"
#include "tools/modEditorTools.h"

using namespace vt;
using vttest::boxTexts;

namespace {

const QString kMDI = QStringLiteral("frmMDI");
QString stored(const char *key) { return GetSetting(AppTitle, kMDI, QString::fromLatin1(key), QStringLiteral("<none>")); }
RichTextBox *box() { return ActiveForm()->rtfText; }

void newCFile(const QString &text)
{
    CreateNewCFile();
    box()->SetText(text);
}

// Opens a dialog as the user does, from its Format menu item.
void openFromMenu(QAction *item)
{
    item->setEnabled(true);
    item->trigger();
}
frmTextFont *openFont()
{
    openFromMenu(frmMDI::get()->mnuFormatStart);
    return frmTextFont::instance();
}
frmPageMrgns *openMargins()
{
    openFromMenu(frmMDI::get()->mnuMrgnsSetup);
    return frmPageMrgns::instance();
}
frmPageTabs *openTabs()
{
    openFromMenu(frmMDI::get()->mnuFrmtTabs);
    return frmPageTabs::instance();
}

void chooseUnit(QComboBox *units, int index)
{
    units->setCurrentIndex(index);
    emit units->activated(index);
}

QStringList listTexts(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void addTab(frmPageTabs *f, const QString &pos, const QString &name)
{
    f->txtTabPos->setText(pos);
    f->txtTabName->setText(name);
    f->cmdAdd->click();
}

} // namespace

class TestFormatDialogs : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        vttest::startEditor();
        installEditorTools();
    }
    void cleanup()
    {
        SoftTest = false;
        for (Form *f : {static_cast<Form *>(frmTextFont::instance()), static_cast<Form *>(frmPageMrgns::instance()),
                        static_cast<Form *>(frmPageTabs::instance())}) {
            if (f) {
                answers::queue(QStringLiteral("No"));
                f->unload(vbFormCode);
            }
        }
        vttest::stopEditor();
        installTools(nullptr);
    }

    // --- font ------------------------------------------------------------------

    void fontSaveSurvivesTheExit()
    {
        newCFile(QStringLiteral("text"));
        const auto sizeBefore = box()->SelFontSize();
        frmTextFont *f = openFont();
        QVERIFY(f);
        QCOMPARE(answers::last().question.kind, QStringLiteral("dialog"));
        QCOMPARE(f->windowTitle(), QStringLiteral("CFile Startup Formating"));
        QVERIFY(!f->cmdSave->isEnabled());
        f->cmbSize->setCurrentIndex(f->cmbSize->findText(QStringLiteral(" 14")));
        emit f->cmbSize->activated(f->cmbSize->currentIndex());
        f->optFonType[2]->click();
        QVERIFY(f->cmdSave->isEnabled());
        f->cmdSave->click();
        QVERIFY(!f->cmdSave->isEnabled());
        QCOMPARE(stored("FontSize"), QStringLiteral("14"));
        answers::queueKeyed(QStringLiteral("Apply changes"), QStringLiteral("No"));
        f->cmdClose->click();
        QVERIFY(!frmTextFont::isLoaded());
        QCOMPARE(boxTexts(), QStringList{"\tApply changes to CFile..?"});
        QCOMPARE(box()->SelFontSize(), sizeBefore); // not applied

        // The main window's exit writes the run's record; its next load
        // reads the saved font back.
        ActiveForm()->bChanged = false;
        QVERIFY(frmMDI::get()->unload(vbFormCode));
        QCOMPARE(stored("FontSize"), QStringLiteral("14"));
        QCOMPARE(stored("FontBold"), QStringLiteral("True"));
        FontFmtDef = FontFmt();
        frmMDI::get();
        QCOMPARE(FontFmtDef.FontSize, int16_t(14));
        QVERIFY(FontFmtDef.FontBold);
    }

    void everyControlHasAName()
    {
        const QList<QWidget *> dialogs = {openFont(), openMargins(), openTabs()};
        for (QWidget *d : dialogs) {
            for (QWidget *w : d->findChildren<QWidget *>()) {
                const bool operable = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
                    || qobject_cast<QComboBox *>(w) || qobject_cast<QListWidget *>(w);
                if (operable && !qobject_cast<QComboBox *>(w->parentWidget()))
                    QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(d->objectName() + u'.' + w->objectName()));
            }
        }
    }

    void fontDialogQuestions()
    {
        // Without a CFile nothing can be applied or taken from the cursor.
        frmTextFont *f = openFont();
        QVERIFY(!f->cmdApply->isEnabled());
        QVERIFY(!f->cmdAtCursor->isEnabled());
        QVERIFY(!f->chkAsk->isEnabled());
        // Only the Default box changed: no apply question, but the save one.
        f->chkUseAsDefalt->click();
        QVERIFY(f->cmdSave->isEnabled());
        answers::queue(QStringLiteral("No"));
        f->cmdClose->click();
        QCOMPARE(boxTexts(), QStringList{"\t    Save changes..?"});
        QCOMPARE(answers::last().question.buttons, (QStringList{"Yes", "No", "Cancel"}));
        QCOMPARE(answers::last().question.defaultAnswer, QStringLiteral("Cancel"));
        QVERIFY(!frmTextFont::isLoaded());
        QCOMPARE(FontFmtDef.FormatSetDefalt, int16_t(1));
        QCOMPARE(stored("FormatSetDefalt"), QStringLiteral("<none>"));

        // Cancel after edits: no question, nothing kept.
        f = openFont();
        f->chkUnderline->click();
        const int asked = boxTexts().size();
        f->cmdCancel->click();
        QVERIFY(!frmTextFont::isLoaded());
        QCOMPARE(boxTexts().size(), asked);
        QVERIFY(!FontFmtDef.FontUnderline);
        QCOMPARE(stored("FontUnderline"), QStringLiteral("<none>"));

        // Cancel at the save question keeps the dialog; Yes stores.
        f = openFont();
        f->chkStrikeThru->click();
        answers::queue(QStringLiteral("Cancel"));
        f->cmdClose->click();
        QVERIFY(frmTextFont::isLoaded());
        answers::queue(QStringLiteral("Yes"));
        f->cmdClose->click();
        QVERIFY(!frmTextFont::isLoaded());
        QVERIFY(FontFmtDef.FontStrikeThru);
        QCOMPARE(stored("FontStrikeThru"), QStringLiteral("True"));
    }

    void fontApplyAtCursorAndOk()
    {
        newCFile(QStringLiteral("abc def"));
        box()->SetSelStart(0);
        box()->SetSelLength(3);
        box()->SetSelFontSize(18);
        box()->SetSelStart(4);
        box()->SetSelLength(3);
        box()->SetSelFontSize(16);
        frmTextFont *f = openFont();
        f->cmdAtCursor->click(); // the selection's font becomes the working one
        QCOMPARE(f->rec.FontSize, int16_t(16));
        QCOMPARE(f->cmbSize->currentText(), QStringLiteral(" 16"));
        answers::queue(QStringLiteral("DejaVu Serif,12.5,italic"));
        f->cmdXFonts->click();
        QCOMPARE(f->rec.FontSize, int16_t(12)); // whole points, halves to even
        QVERIFY(f->rec.FontItalic);
        f->cmdApply->click();
        QCOMPARE(box()->SelStart(), 4);
        QCOMPARE(box()->SelLength(), 3);
        QCOMPARE(box()->SelFontSize(), std::optional<double>(12));
        QCOMPARE(frmMDI::get()->cboFontSize->currentText(), QStringLiteral("12"));
        QCOMPARE(FontFmtDef.FontSize, int16_t(10)); // Apply leaves the default
        // Applied already: Ok asks only to save; Yes makes it the default.
        answers::queue(QStringLiteral("Yes"));
        f->cmdClose->click();
        QCOMPARE(boxTexts(), QStringList{"\t    Save changes..?"});
        QCOMPARE(FontFmtDef.FontSize, int16_t(12));
        QCOMPARE(stored("FontName"), QStringLiteral("DejaVu Serif"));

        // A change not yet applied: Yes at Ok applies the default to the CFile.
        f = openFont();
        f->cmbSize->setCurrentIndex(f->cmbSize->findText(QStringLiteral(" 20")));
        emit f->cmbSize->activated(f->cmbSize->currentIndex());
        answers::queue(QStringLiteral("Yes"));
        answers::queue(QStringLiteral("No"));
        f->cmdClose->click();
        QVERIFY(!frmTextFont::isLoaded());
        QCOMPARE(box()->SelFontSize(), std::optional<double>(20));
        QCOMPARE(FontFmtDef.FontSize, int16_t(20));
        QCOMPARE(stored("FontSize"), QStringLiteral("12"));
    }

    // --- margins ---------------------------------------------------------------

    void marginsInMillimetres()
    {
        newCFile(QStringLiteral("one\r\ntwo\r\nthree"));
        box()->SetSelStart(5);
        frmPageMrgns *f = openMargins();
        QCOMPARE(f->windowTitle(), QStringLiteral("Page Margins Setup"));
        QCOMPARE(f->cmbUnits->currentText(), QStringLiteral("Inches"));
        QCOMPARE(f->txtLeft->text(), QStringLiteral("0.05"));
        chooseUnit(f->cmbUnits, 2);
        QCOMPARE(f->txtLeft->text(), QStringLiteral("1.27"));
        f->txtLeft->setText(QStringLiteral("25.4"));
        f->txtIdent->setText(QStringLiteral("5"));
        f->cmdApply->click();
        QCOMPARE(f->txtLeft->text(), QStringLiteral("25.40"));
        QCOMPARE(box()->SelStart(), 5); // the selection stays where it was
        box()->SetSelStart(0);
        box()->SetSelLength(box()->TextLength());
        QCOMPARE(box()->SelIndent(), std::optional<int>(1440));
        QCOMPARE(box()->SelRightIndent(), std::optional<int>(72));
        QCOMPARE(box()->SelHangingIndent(), std::optional<int>(283));
        // Applied already: Ok asks only to save.
        answers::queue(QStringLiteral("Yes"));
        f->cmdClose->click();
        QCOMPARE(boxTexts(), QStringList{"\t    Save changes..?"});
        QVERIFY(!frmPageMrgns::isLoaded());
        QCOMPARE(MargFmtDef.Indent, int16_t(1440));
        QCOMPARE(MargFmtDef.MargUnits, int16_t(6));
        QCOMPARE(stored("Indent"), QStringLiteral("1440"));
        QCOMPARE(stored("MargUnits"), QStringLiteral("6"));
        // The next opening shows millimetres again.
        f = openMargins();
        QCOMPARE(f->cmbUnits->currentText(), QStringLiteral("Millimeters"));
        QCOMPARE(f->txtLeft->text(), QStringLiteral("25.40"));
    }

    void marginFieldChecks_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("report"); // empty: accepted
        QTest::addColumn<int>("twips");
        QTest::newRow("1 inch") << 0 << "1" << "" << 1440;
        QTest::newRow("largest") << 2 << "22.75" << "" << 32760;
        QTest::newRow("too large") << 0 << "22.76" << "Left margin error.!\r\nValue is out of range" << 0;
        QTest::newRow("negative") << 2 << "-0.01" << "Indent error.!\r\nValue is out of range" << 0;
        QTest::newRow("letters") << 1 << "abc" << "Right margin error.!\r\nInput must be a numerical value." << 0;
        QTest::newRow("empty") << 1 << "" << "Right margin error.!\r\nInput must be a numerical value." << 0;
    }
    void marginFieldChecks()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, report);
        QFETCH(int, twips);
        frmPageMrgns *f = openMargins();
        QLineEdit *e = field == 0 ? f->txtLeft : field == 1 ? f->txtRight : f->txtIdent;
        e->setText(text);
        f->cmdSave->click();
        if (report.isEmpty()) {
            QCOMPARE(boxTexts(), QStringList{});
            const int16_t got = field == 0 ? MargFmtDef.Indent : field == 1 ? MargFmtDef.RightIndent : MargFmtDef.HangingIndent;
            QCOMPARE(int(got), twips);
            return;
        }
        QCOMPARE(boxTexts(), QStringList{report + QStringLiteral("\r\nInput range is 0.00 to 22.75")});
        QCOMPARE(answers::last().question.title, QStringLiteral("Margins Setup"));
        QCOMPARE(e->selectedText(), text);
        QCOMPARE(MargFmtDef.Indent, int16_t(72));
        QCOMPARE(stored("Indent"), QStringLiteral("<none>"));
    }

    void marginSpinsAndSilentClose()
    {
        frmPageMrgns *f = openMargins();
        f->txtLeft->setText(QStringLiteral("22.75"));
        f->cmdPosMov[0]->click();
        QCOMPARE(f->txtLeft->text(), QStringLiteral("22.75"));
        f->txtRight->setText(QStringLiteral("0.005"));
        f->cmdPosMov[3]->click();
        QCOMPARE(f->txtRight->text(), QStringLiteral("0.00"));
        f->cmdPosMov[2]->click();
        QCOMPARE(f->txtRight->text(), QStringLiteral("0.01"));
        f->txtIdent->setText(QStringLiteral("x"));
        f->cmdPosMov[4]->click();
        QCOMPARE(boxTexts(), QStringList{"Invalid Number"});
        QCOMPARE(f->txtIdent->text(), QStringLiteral("x"));
        f->txtIdent->setText(QStringLiteral("0"));
        // With the Warning box off, Ok closes without a word and keeps nothing.
        SoftTest = true;
        f->chkAsk->setChecked(false);
        f->cmdClose->click();
        QVERIFY(!frmPageMrgns::isLoaded());
        QCOMPARE(boxTexts().size(), 1);
        QCOMPARE(MargFmtDef.Indent, int16_t(72));
    }

    void marginsWithAndWithoutACFile()
    {
        frmPageMrgns *f = openMargins();
        f->cmdApply->click();
        f->cmdAtCurs->click();
        QCOMPARE(boxTexts(), (QStringList{"\tThere are no Open CFiles..!", "\tThere are no Open CFiles..!"}));
        f->cmdCancel->click();
        QVERIFY(!frmPageMrgns::isLoaded());

        newCFile(QStringLiteral("para"));
        box()->SetSelIndent(720);
        f = openMargins();
        f->cmdAtCurs->click();
        QCOMPARE(f->txtLeft->text(), QStringLiteral("0.50"));
        answers::queue(QStringLiteral("No"));
        f->cmdClose->click();
        // Only the save question: the CFile already has these margins.
        QCOMPARE(boxTexts().mid(2), QStringList{"\t    Save changes..?"});
        QCOMPARE(MargFmtDef.Indent, int16_t(72));
    }

    // --- tabs ------------------------------------------------------------------

    void tabsListInNumericOrder()
    {
        frmPageTabs *f = openTabs();
        for (const char *pos : {"10", "9.5", "2", "0.5", "12", "1"})
            addTab(f, QString::fromLatin1(pos), QStringLiteral("t") + QString::fromLatin1(pos));
        QCOMPARE(listTexts(f->lstTabs),
                 (QStringList{"   0.50 - t0.5", "   1.00 - t1", "   2.00 - t2", " 9.50 - t9.5", " 10.00 - t10",
                              " 12.00 - t12"}));
        QCOMPARE(boxTexts(), QStringList{});
        // Shown in another unit, the order and the positions stay.
        chooseUnit(f->cmbUnits, 2);
        QCOMPARE(f->lstTabs->item(3)->text(), QStringLiteral(" 241.30 - t9.5"));
        f->cmdSave->click();
        QCOMPARE(stored("TabPos"), QStringLiteral("720_@_1440_@_2880_@_13680_@_14400_@_17280_@_"));
        QCOMPARE(stored("TabName"), QStringLiteral("t0.5_@_t1_@_t2_@_t9.5_@_t10_@_t12_@_"));
        QCOMPARE(stored("TabUnits"), QStringLiteral("6"));
        QCOMPARE(TabFmtDef.TabCount, int16_t(6));
        f->cmdClose->click();
        QVERIFY(!frmPageTabs::isLoaded());

        // Read again at the next start and shown in millimetres.
        TabFmtDef = TabFmt();
        frmMDI::get()->mnuGetDbg->trigger();
        QCOMPARE(TabFmtDef.TabPos[3], int16_t(13680));
        f = openTabs();
        QCOMPARE(f->cmbUnits->currentText(), QStringLiteral("Millimeters"));
        QCOMPARE(f->lstTabs->item(0)->text(), QStringLiteral(" 12.70 - t0.5"));
    }

    void tabEntriesRefused()
    {
        frmPageTabs *f = openTabs();
        addTab(f, QStringLiteral("1"), QStringLiteral("a"));
        struct Case { const char *pos, *answer, *text; int count; };
        const Case cases[] = {
            {"", nullptr, "You must enter a value in 'Position' field", 1},
            {"30", nullptr, "You must enter a valid numerical value.!\r\nInput Range is 0.00 to 22.75\r\n"
                            "Your entered value is  ''30''", 1},
            {"abc", nullptr, "You must enter a valid numerical value.!\r\nInput Range is 0.00 to 22.75\r\n"
                             "Your entered value is  ''abc''", 1},
            {"-1", nullptr, "Tab value is out of range.!\r\nValue can not be negative...", 1},
            {"1.00", "No", "\tYou are about to add a duplicate Tab.!\r\nDo you want to proceed anyway..?", 1},
            {"1.01", nullptr, nullptr, 2},
            {"1", "Yes", "\tYou are about to add a duplicate Tab.!\r\nDo you want to proceed anyway..?", 3},
        };
        for (const Case &c : cases) {
            const int asked = boxTexts().size();
            if (c.answer)
                answers::queue(QString::fromLatin1(c.answer));
            addTab(f, QString::fromLatin1(c.pos), QStringLiteral("x"));
            QCOMPARE(boxTexts().mid(asked), c.text ? QStringList{QString::fromLatin1(c.text)} : QStringList{});
            QCOMPARE(f->lstTabs->count(), c.count);
        }
        // A hundred stops at most.
        for (int i = 3; i < 100; ++i)
            addTab(f, QString::number(2 + i * 0.1), QStringLiteral("n"));
        QCOMPARE(f->lstTabs->count(), 100);
        addTab(f, QStringLiteral("22"), QStringLiteral("n"));
        QCOMPARE(boxTexts().last(), QStringLiteral("You can not add more then 100 Tabs"));
        QCOMPARE(f->lstTabs->count(), 100);
    }

    void tabReplaceAndDelete()
    {
        frmPageTabs *f = openTabs();
        for (const char *pos : {"1", "2", "3"})
            addTab(f, QString::fromLatin1(pos), QString::fromLatin1(pos));
        f->lstTabs->setCurrentRow(0);
        emit f->lstTabs->itemDoubleClicked(f->lstTabs->item(0));
        QCOMPARE(f->txtTabPos->text(), QStringLiteral("   1.00"));
        QCOMPARE(f->txtTabName->text(), QStringLiteral("1"));
        f->txtTabPos->setText(QStringLiteral("2.5"));
        f->txtTabName->setText(QStringLiteral("moved"));
        f->cmdReplace->click();
        QCOMPARE(listTexts(f->lstTabs), (QStringList{"   2.00 - 2", "   2.50 - moved", "   3.00 - 3"}));
        QCOMPARE(boxTexts(), QStringList{});
        // A refused value keeps the entry it was to replace.
        f->lstTabs->setCurrentRow(0);
        f->txtTabPos->setText(QStringLiteral("-2"));
        f->cmdReplace->click();
        QCOMPARE(f->lstTabs->count(), 3);
        // Delete removes the chosen entry and chooses the one now in its place.
        f->lstTabs->setCurrentRow(1);
        f->cmdDelete->click();
        QCOMPARE(listTexts(f->lstTabs), (QStringList{"   2.00 - 2", "   3.00 - 3"}));
        QCOMPARE(f->lstTabs->currentRow(), 1);
        // Replace with nothing chosen says so and adds the tab.
        f->lstTabs->clearSelection();
        f->txtTabPos->setText(QStringLiteral("4"));
        f->cmdReplace->click();
        QCOMPARE(boxTexts().last(), QStringLiteral("You must select a tab from the Tab List"));
        QCOMPARE(f->lstTabs->count(), 3);
        f->cmdClearAll->click();
        QCOMPARE(f->lstTabs->count(), 0);
    }

    void tabsAppliedInTwips()
    {
        newCFile(QStringLiteral("a\tb\tc"));
        frmPageTabs *f = openTabs();
        chooseUnit(f->cmbUnits, 3); // centimetres
        addTab(f, QStringLiteral("2.54"), QStringLiteral("one inch"));
        addTab(f, QStringLiteral("24.13"), QStringLiteral("nine and a half"));
        f->cmdApply->click();
        QCOMPARE(box()->SelTabCount(), std::optional<int>(2));
        QCOMPARE(box()->SelTabs(0), std::optional<int>(1440));
        QCOMPARE(box()->SelTabs(1), std::optional<int>(13680));
        QCOMPARE(f->lstTabs->item(1)->text(), QStringLiteral(" 24.13 - nine and a half"));
        // @Cursor takes the paragraph's stops with names of its own.
        f->cmdClearAll->click();
        f->cmdAtCurs->click();
        QCOMPARE(f->lstTabs->count(), 2);
        QCOMPARE(f->lstTabs->item(0)->text(), QStringLiteral("   2.54 - Tab-1\tCFile1"));
        // Applied already: Ok asks only to save; No keeps the defaults.
        answers::queue(QStringLiteral("No"));
        f->cmdClose->click();
        QCOMPARE(boxTexts(), QStringList{"\t    Save changes..?"});
        QVERIFY(!frmPageTabs::isLoaded());
        QCOMPARE(TabFmtDef.TabCount, int16_t(0));
        QCOMPARE(stored("TabPos"), QStringLiteral("<none>"));
    }

    void tabCancelChangesNothing()
    {
        newCFile(QStringLiteral("x"));
        frmPageTabs *f = openTabs();
        addTab(f, QStringLiteral("1"), QStringLiteral("a"));
        f->chkDefalt->click();
        f->cmdCancel->click();
        QVERIFY(!frmPageTabs::isLoaded());
        QCOMPARE(boxTexts(), QStringList{});
        QCOMPARE(TabFmtDef.TabCount, int16_t(0));
        QCOMPARE(TabFmtDef.TabDefalt, int16_t(1));
        QCOMPARE(box()->SelTabCount(), std::optional<int>(0));
        QCOMPARE(stored("TabDefalt"), QStringLiteral("<none>"));

        // Ok with a change not applied: Yes applies, Yes saves; a new CFile
        // then takes the stop.
        f = openTabs();
        addTab(f, QStringLiteral("1"), QStringLiteral("a"));
        answers::queue(QStringLiteral("Yes"));
        answers::queue(QStringLiteral("Yes"));
        f->cmdClose->click();
        QCOMPARE(boxTexts(), (QStringList{"\tApply changes to CFile..?", "\t    Save changes..?"}));
        QCOMPARE(box()->SelTabs(0), std::optional<int>(1440));
        QCOMPARE(stored("TabPos"), QStringLiteral("1440_@_"));
        CreateNewCFile();
        QCOMPARE(box()->SelTabs(0), std::optional<int>(1440));
    }
};

QTEST_MAIN(TestFormatDialogs)
#include "tst_formatDialogs.moc"
