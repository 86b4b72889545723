// The small editor tools on the active CFile: go to line, the CFile's
// statistics, date and time insertion with its undo, the character table, the
// log fonts window, and the menu items that open them.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/dateformat.h"
#include "platform/forms.h"
#include "platform/richtext.h"
#include "platform/timers.h"
#include "shell/frmMDI.h"
#include "tools/frmDocInfo.h"
#include "tools/frmGoTo.h"
#include "tools/frmLogFonts.h"
#include "tools/frmSymbols.h"
#include "tools/frmTimeDate.h"
#include "tools/modEditorTools.h"

using namespace vt;

using vttest::newCFile;
using vttest::triggerItem;

namespace {

// Saturday 7 March 2026, 14:05:09.
const QDateTime kMoment(QDate(2026, 3, 7), QTime(14, 5, 9));

template <class T>
void unloadIfLoaded()
{
    if (T::isLoaded())
        delete T::instance();
}

// Chooses a line of a list as a click does.
void choose(QListWidget *list, int row)
{
    list->setCurrentRow(row);
    QVERIFY(list->currentItem()->isSelected());
}

} // namespace

class TestEditorTools : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init()
    {
        vttest::startEditor();
        installEditorTools();
        frmMDI::get()->resize(1000, 800);
        setFixedNow(kMoment);
    }
    void cleanup()
    {
        unloadIfLoaded<frmGoTo>();
        unloadIfLoaded<frmDocInfo>();
        unloadIfLoaded<frmTimeDate>();
        unloadIfLoaded<frmSymbols>();
        unloadIfLoaded<frmLogFonts>();
        setFixedNow(QDateTime());
        installTools(nullptr);
        vttest::stopEditor();
    }

    void customFormatCodes_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("d") << "d" << "7";
        QTest::newRow("dd") << "dd" << "07";
        QTest::newRow("ddd") << "ddd" << "Sat";
        QTest::newRow("dddd") << "dddd" << "Saturday";
        QTest::newRow("m") << "m" << "3";
        QTest::newRow("mm") << "mm" << "03";
        QTest::newRow("mmm") << "mmm" << "Mar";
        QTest::newRow("mmmm") << "mmmm" << "March";
        QTest::newRow("yy") << "yy" << "26";
        QTest::newRow("yyyy") << "yyyy" << "2026";
        QTest::newRow("h") << "h" << "14";
        QTest::newRow("hh") << "hh" << "14";
        QTest::newRow("n") << "n" << "5";
        QTest::newRow("nn") << "nn" << "05";
        QTest::newRow("s") << "s" << "9";
        QTest::newRow("ss") << "ss" << "09";
        QTest::newRow("AM/PM") << "h AM/PM" << "2 PM";
        QTest::newRow("am/pm") << "hh:nn am/pm" << "02:05 pm";
        QTest::newRow("minutes after an hour") << "hh:mm" << "14:05";
        QTest::newRow("month not after an hour") << "mm/dd hh" << "03/07 14";
        QTest::newRow("quoted and escaped") << "\"Day\" d \\d" << "Day 7 d";
        QTest::newRow("mixed") << "dddd, mmmm d, yyyy" << "Saturday, March 7, 2026";
    }
    void customFormatCodes()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(formatDateTime(kMoment, pattern), expected);
    }

    void thirteenStandardLines()
    {
        const QStringList expected{"07/03/26",       "07 March 2026",  "07 March, 2026", "March 07, 2026",
                                   "07/Mar/26",      "March, 26",      "Mar/26",         "07/03/26 14:05",
                                   "07/03/26 14:05:09", "14:05",       "14:05:09",       "02:05 PM",
                                   "02:05:09 PM"};
        QCOMPARE(standardDateLines(kMoment), expected);
        newCFile(QString());
        triggerItem("mnuInsertTimeDate");
        QVERIFY(frmTimeDate::isLoaded() && frmTimeDate::instance()->isVisible());
        QListWidget *list = frmTimeDate::instance()->lstDates;
        QCOMPARE(list->count(), 13);
        QCOMPARE(list->item(12)->text(), expected.last());
    }

    void goToLine_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("caretBefore");
        QTest::addColumn<int>("caret");      // -1: the caret stays and the dialog too
        QTest::addColumn<QString>("message");
        // "one\r\ntwo\r\nthree": lines start at 0, 5 and 10.
        QTest::newRow("line 1") << "GotoLine" << "1" << 12 << 0 << "";
        QTest::newRow("middle line") << "GotoLine" << "2" << 0 << 5 << "";
        QTest::newRow("last line") << "GotoLine" << "3" << 0 << 10 << "";
        QTest::newRow("one past the last") << "GotoLine" << "4" << 0 << -1 << "Invalid line!";
        QTest::newRow("below zero") << "GotoLine" << "-3" << 0 << -1 << "Invalid line!";
        QTest::newRow("zero: the caret's line") << "GotoLine" << "0" << 7 << 5 << "";
        QTest::newRow("2.5 rounds to line 3") << "GotoLine" << "2.5" << 0 << 10 << "";
        QTest::newRow("not a number") << "GotoLine" << "abc" << 0 << -1 << "Not a line number !";
        QTest::newRow("start") << "GotoStart" << "" << 12 << 0 << "";
        QTest::newRow("end") << "GoToEnd" << "" << 0 << 15 << "";
    }
    void goToLine()
    {
        QFETCH(QString, option);
        QFETCH(QString, entry);
        QFETCH(int, caretBefore);
        QFETCH(int, caret);
        QFETCH(QString, message);
        RichTextBox *box = newCFile(QStringLiteral("one\r\ntwo\r\nthree"));
        box->SetSelStart(caretBefore);
        triggerItem("mnuSearchGoTo");
        QVERIFY(frmGoTo::isLoaded());
        frmGoTo *dlg = frmGoTo::instance();
        QVERIFY(dlg->GotoLine->isChecked());
        QVERIFY(!dlg->cmdGo->isEnabled()); // an empty line number
        dlg->findChild<QRadioButton *>(option)->click();
        // Start and End need no number.
        QCOMPARE(dlg->cmdGo->isEnabled(), option != u"GotoLine");
        dlg->txtGo->setText(entry);
        QVERIFY(dlg->cmdGo->isEnabled());
        const int asked = int(answers::asked().size());
        dlg->cmdGo->click();
        if (caret < 0) {
            QCOMPARE(box->SelStart(), caretBefore);
            QCOMPARE(answers::last().question.text, message);
            QCOMPARE(answers::last().question.title, QStringLiteral("Vantrell - Go To . . ."));
            QVERIFY(frmGoTo::isLoaded() && !dlg->isUnloading());
        } else {
            QCOMPARE(box->SelStart(), caret);
            QCOMPARE(int(answers::asked().size()), asked);
        }
    }

    void timeDateInsertAndUndo()
    {
        RichTextBox *box = newCFile(QStringLiteral("AB"));
        triggerItem("mnuInsertTimeDate");
        frmTimeDate *dlg = frmTimeDate::instance();
        QVERIFY(!dlg->cmdUndo->isEnabled());

        // Nothing chosen: nothing inserted, the selection kept, nothing counted.
        box->SetSelStart(0);
        box->SetSelLength(1);
        dlg->cmdInsert->click();
        QCOMPARE(box->Text(), QStringLiteral("AB"));
        QCOMPARE(box->SelLength(), 1);
        QCOMPARE(dlg->InsertCount, int16_t(0));

        // One insertion, undone: gone, Undo Inser disabled, a second Undo does nothing.
        box->SetSelStart(1);
        box->SetSelLength(0);
        choose(dlg->lstDates, 9);
        dlg->cmdInsert->click();
        QCOMPARE(box->Text(), QStringLiteral("A14:05B"));
        QVERIFY(dlg->cmdUndo->isEnabled());
        dlg->cmdUndo->click();
        QCOMPARE(box->Text(), QStringLiteral("AB"));
        QVERIFY(!dlg->cmdUndo->isEnabled());
        dlg->cmdUndo_Click();
        QCOMPARE(box->Text(), QStringLiteral("AB"));

        // Two insertions: Undo refuses and stays enabled.
        dlg->cmdInsert->click();
        dlg->cmdInsert->click();
        const QString two = box->Text();
        QCOMPARE(two, QStringLiteral("A14:0514:05B"));
        answers::queue(QStringLiteral("OK"));
        dlg->cmdUndo->click();
        QCOMPARE(answers::last().question.text, QStringLiteral("Can not undo insert.!\r\nThere are to many insers."));
        QCOMPARE(box->Text(), two);
        QVERIFY(dlg->cmdUndo->isEnabled());
    }

    void timeDateDoubleClickAndCustomSample()
    {
        RichTextBox *box = newCFile(QString());
        triggerItem("mnuInsertTimeDate");
        frmTimeDate *dlg = frmTimeDate::instance();
        choose(dlg->lstDates, 0);
        dlg->lstDates_DblClick();
        QCOMPARE(box->Text(), QStringLiteral("07/03/26"));
        QVERIFY(!dlg->cmdUndo->isEnabled());
        QVERIFY(!dlg->InsertDone);

        // The sample follows the text as it stood before each key.
        dlg->show();
        dlg->txtCustom->clear();
        QTest::keyClicks(dlg->txtCustom, QStringLiteral("yyyy"));
        QCOMPARE(dlg->lblSample->text(), formatDateTime(kMoment, QStringLiteral("yyy")));
        QTest::keyClick(dlg->txtCustom, Qt::Key_End);
        QCOMPARE(dlg->lblSample->text(), QStringLiteral("2026"));
        dlg->cmdInsCusFor->click();
        QCOMPARE(box->Text(), QStringLiteral("07/03/262026"));
        QCOMPARE(dlg->InsertCount, int16_t(1));
    }

    void symbolLines_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("line");
        QTest::newRow("0") << 0 << "     0     00    Ctrl-@  NUL Null";
        QTest::newRow("10") << 10 << "   10     0A    Ctrl-J  LF Line Feed";
        QTest::newRow("31") << 31 << "   31     1F    Ctrl-_  US Unit Separator";
        QTest::newRow("65") << 65 << "   65     41    Print As |A|";
        QTest::newRow("128") << 128 << " 128     80    Print As |\u20AC|";
        QTest::newRow("255") << 255 << " 255     FF    Print As |\u00FF|";
    }
    void symbolLines()
    {
        QFETCH(int, code);
        QFETCH(QString, line);
        QCOMPARE(symbolLine(code), line);
    }

    void symbolInsertion()
    {
        RichTextBox *box = newCFile(QStringLiteral("xyz"));
        triggerItem("mnuInsertSymbols");
        frmSymbols *dlg = frmSymbols::instance();
        QCOMPARE(dlg->lstSymbols->count(), 256);

        // Nothing chosen, and the NUL line: the text and selection stay.
        box->SetSelStart(1);
        box->SetSelLength(1);
        dlg->cmdInsert->click();
        choose(dlg->lstSymbols, 0);
        answers::queue(QStringLiteral("OK"));
        dlg->cmdInsert->click();
        QCOMPARE(box->Text(), QStringLiteral("xyz"));
        QCOMPARE(box->SelLength(), 1);
        QVERIFY(!box->Text().contains(QChar(0)));

        // A letter replaces the selection, and one undo takes it back.
        choose(dlg->lstSymbols, 65);
        dlg->cmdInsert->click();
        QCOMPARE(box->Text(), QStringLiteral("xAz"));
        box->Undo();
        QCOMPARE(box->Text(), QStringLiteral("xyz"));

        // A line feed breaks the line.
        box->SetSelStart(1);
        box->SetSelLength(0);
        choose(dlg->lstSymbols, 10);
        dlg->lstSymbols_DblClick();
        QCOMPARE(box->GetLineCount(), 2);
    }

    void documentInformation()
    {
        QTemporaryDir dir;
        const QString rtfPath = dir.filePath(QStringLiteral("shots.rtf"));
        const QString txtPath = dir.filePath(QStringLiteral("notes.txt"));
        for (const QString &path : {rtfPath, txtPath}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("{\\rtf1 x}");
        }
        RichTextBox *box = newCFile(QStringLiteral("one two\r\nthree"));
        ActiveForm()->SetCaption(rtfPath);
        triggerItem("mnuViewDocumentProperties");
        frmDocInfo *info = frmDocInfo::instance();
        QVERIFY(info->isVisible());
        const QString rtfIcon = info->iconName;
        QVERIFY(!rtfIcon.isEmpty());
        info->Picture1_Paint();
        QCOMPARE(info->iconPath, rtfPath); // the lookup leaves the stored path alone
        QCOMPARE(info->lblName->text(), QStringLiteral("shots.rtf"));
        QCOMPARE(info->lblSize->text(), QStringLiteral("9 bytes"));
        QCOMPARE(info->lblWordCount->text(), QStringLiteral("3"));
        QCOMPARE(info->lblNLines->text(), QStringLiteral("2"));
        QCOMPARE(info->lblChr->text(), QString::number(box->TextLength()));
        QVERIFY(info->lblDate[1]->text() != QStringLiteral("00/00/0000 00:00:00"));
        info->cmdClose->click();
        QTRY_VERIFY(!frmDocInfo::isLoaded());

        // Another file type, another icon.
        ActiveForm()->SetCaption(txtPath);
        triggerItem("mnuViewDocumentProperties");
        QVERIFY(frmDocInfo::instance()->iconName != rtfIcon);
    }

    void noCFileNotices_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("time and date") << "mnuInsertTimeDate";
        QTest::newRow("symbols") << "mnuInsertSymbols";
        QTest::newRow("property") << "mnuViewDocumentProperties";
    }
    void noCFileNotices()
    {
        QFETCH(QString, item);
        triggerItem(qPrintable(item));
        QCOMPARE(answers::last().question.text, QStringLiteral("No Open CFile !"));
        QCOMPARE(answers::last().question.title, QStringLiteral("Jotrix"));
        QVERIFY(!frmTimeDate::isLoaded() && !frmSymbols::isLoaded() && !frmDocInfo::isLoaded());
    }

    void logFontsWindow()
    {
        RichTextBox *box = newCFile(QStringLiteral("log"));
        QFont font(QStringLiteral("Courier New"));
        font.setPointSize(14);
        font.setBold(true);
        box->selectAll();
        box->setCurrentFont(font);
        triggerItem("mnuLogFont");
        frmLogFonts *w = frmLogFonts::instance();
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Interface Fonts"));

        // The Keyboard tab shows the font the next log line is written in.
        QCOMPARE(w->cmbSize->currentText(), QStringLiteral("14"));
        QVERIFY(w->optFonType[2]->isChecked());
        QVERIFY(w->cmbFont->currentText().startsWith(QStringLiteral("Courier"), Qt::CaseInsensitive));
        QVERIFY(!w->cmdSave->isEnabled() && !w->Frame1->isEnabled());

        QVERIFY(w->picTabs[0]->isVisible());
        for (int tab : {1, 2, 3}) {
            w->tbsMain->setCurrentIndex(tab);
            QVERIFY(!w->picTabs[0]->isVisible());
        }
        w->tbsMain->setCurrentIndex(0);
        QVERIFY(w->picTabs[0]->isVisible());

        w->cmdClose->click();
        QTRY_VERIFY(!frmLogFonts::isLoaded());
    }
};

QTEST_MAIN(TestEditorTools)
#include "tst_editorTools.moc"
