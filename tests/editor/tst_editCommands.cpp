// The main window's commands on the active CFile: their guards, paste, case
// conversion, indents, script offsets, the colour field, Print Now, the Window
// and Interface menus and the standard keys.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QToolBar>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditCommands.h"
#include "editor/modEditState.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modStatus.h"
#include "tools/frmFind.h"
#include "tools/modEditorTools.h"

using namespace vt;
using vttest::boxTexts;

namespace {

frmDocument *newCFile(const QString &text = {})
{
    CreateNewCFile();
    frmDocument *doc = ActiveForm();
    if (doc)
        doc->rtfText->SetText(text);
    return doc;
}

RichTextBox *box() { return ActiveForm()->rtfText; }

void select(int start, int length)
{
    box()->SetSelStart(start);
    box()->SetSelLength(length);
}

// Runs a command as the user would reach it: an item of the main window (made
// available first, as it is while a CFile is open), or a field's handler.
void run(const QString &item)
{
    if (item == u"cboFontName")
        return cboFontName_Click();
    if (item == u"cboFontSize")
        return cboFontSize_Click();
    if (item == u"txtFontColors")
        return txtFontColors_Click();
    QAction *a = menuItem(frmMDI::get(), item);
    QVERIFY2(a, qPrintable(item));
    a->setEnabled(true);
    a->trigger();
}

QRect areaRect() { return frmMDI::get()->mdiArea->viewport()->rect(); }

QList<QMdiSubWindow *> frames() { return frmMDI::get()->mdiArea->subWindowList(); }

} // namespace

class TestEditCommands : public QObject {
    Q_OBJECT
    vttest::EditorFakes *fakes = nullptr;

private slots:
    void init()
    {
        fakes = &vttest::startEditor();
        frmMDI::get()->resize(1000, 800);
        QCoreApplication::processEvents();
    }
    void cleanup()
    {
        MargFmtDef = MargFmt();
        RxRoute[1] = false;
        CroSta.croSnsOn = false;
        SoftMore = false;
        QGuiApplication::clipboard()->clear();
        vttest::stopEditor();
    }

    void guardsWithoutCFile_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title"); // empty: the offer to create a CFile
        for (const char *item : {"mnuEditUndo", "mnuEditCut", "mnuEditCopy", "mnuEditSelectAll", "mnuSearchFind",
                                 "mnuSearchFindNext", "mnuSearchReplace", "mnuSearchGoTo"})
            QTest::newRow(item) << item << "";
        QTest::newRow("mnuEditPaste") << "mnuEditPaste" << "Vantrell";
        for (const char *item : {"mnuEditDelete", "mnuTagClean", "mnuFormatScriptNoScript", "mnuFormatScriptSubScript",
                                 "mnuFormatScriptSuperScript", "mnuFormatIndent", "mnuFormatOutdent",
                                 "mnuFilePrintNow", "mnuWindowMinimizeAll", "mnuWindowRestoreAll",
                                 "mnuBulletsSet", "mnuParaLeft", "mnuTypBold", "mnuScrpUnderline", "mnuCaseUpper",
                                 "cboFontName", "cboFontSize", "txtFontColors"})
            QTest::newRow(item) << item << "Jotrix";
    }
    void guardsWithoutCFile()
    {
        QFETCH(QString, item);
        QFETCH(QString, title);
        answers::queue(QStringLiteral("No"));
        run(item);
        QCOMPARE(answers::asked().size(), 1);
        const answers::Question q = answers::last().question;
        if (title.isEmpty()) {
            QCOMPARE(q.text, QStringLiteral("There Are No Opened CFiles..!\r\nCreate a New CFile.?"));
        } else {
            QCOMPARE(q.text, QStringLiteral("No Open CFile !"));
            QCOMPARE(q.title, title);
            QCOMPARE(q.buttons, QStringList{"OK"});
        }
        QVERIFY(openCFiles().isEmpty());
    }

    void offerAcceptedRunsOnTheNewCFile()
    {
        installEditorTools();
        answers::queue(QStringLiteral("Yes"));
        run(QStringLiteral("mnuSearchFind"));
        QCOMPARE(openCFiles().size(), 1);
        // The find window opens on the new CFile.
        const bool shown = frmFind::isLoaded() && frmFind::instance()->isVisible();
        delete frmFind::instance();
        installTools(nullptr);
        QVERIFY(shown);
        QCOMPARE(answers::asked().size(), 1);
    }

    void redoAlwaysRefuses()
    {
        newCFile(QStringLiteral("abc"));
        run(QStringLiteral("mnuEditRedo"));
        QCOMPARE(answers::last().question.text, QStringLiteral("General X-1 Error!"));
        QCOMPARE(answers::last().question.title, QStringLiteral("Jotrix"));
        QCOMPARE(box()->Text(), QStringLiteral("abc"));
    }

    void pasteSelectsWhatItPasted()
    {
        newCFile(QStringLiteral("ab cd"));
        QGuiApplication::clipboard()->setText(QStringLiteral("XYZ"));
        select(2, 1); // the blank is replaced
        run(QStringLiteral("mnuEditPaste"));
        QCOMPARE(box()->Text(), QStringLiteral("abXYZcd"));
        QCOMPARE(box()->SelStart(), 2);
        QCOMPARE(box()->SelLength(), 3);
        QCOMPARE(box()->SelText(), QStringLiteral("XYZ"));

        QGuiApplication::clipboard()->clear();
        select(1, 0);
        run(QStringLiteral("mnuEditPaste"));
        QCOMPARE(box()->Text(), QStringLiteral("abXYZcd"));
        QCOMPARE(box()->SelStart(), 1);
        QCOMPARE(box()->SelLength(), 0);
    }

    void editCommandsActOnTheBox()
    {
        newCFile(QStringLiteral("one two"));
        run(QStringLiteral("mnuEditSelectAll"));
        QCOMPARE(box()->SelLength(), 7);
        select(3, 4);
        run(QStringLiteral("mnuEditCut"));
        QCOMPARE(box()->Text(), QStringLiteral("one"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" two"));
        run(QStringLiteral("mnuEditUndo"));
        QCOMPARE(box()->Text(), QStringLiteral("one two"));
        select(0, 4);
        run(QStringLiteral("mnuEditDelete"));
        QCOMPARE(box()->Text(), QStringLiteral("two"));
    }

    void set2CleanLetsAChangedCFileCloseWithoutQuestion()
    {
        frmDocument *doc = newCFile();
        QTest::keyClicks(doc->rtfText, QStringLiteral("12.5 fps"));
        QVERIFY(doc->bChanged);
        QVERIFY(frmMDI::get()->mnuTagClean->isEnabled());
        frmMDI::get()->mnuTagClean->trigger();
        QVERIFY(!doc->bChanged);
        QVERIFY(doc->unload(vbFormCode));
        QVERIFY(answers::asked().isEmpty());
    }

    void caseConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("select all, from 0") << "abc def" << 0 << 7 << true << "ABC DEF";
        QTest::newRow("selection inside") << "ABC DEF" << 2 << 3 << false << "ABc dEF";
        QTest::newRow("over a paragraph break") << "ab\r\ncd" << 1 << 4 << true << "aB\r\nCd";
        QTest::newRow("caret after a letter") << "xa" << 2 << 0 << true << "xA";
        QTest::newRow("caret at the start") << "abc" << 0 << 0 << true << "abc";
        QTest::newRow("empty text") << "" << 0 << 0 << true << "";
        QTest::newRow("one for one") << "straße" << 0 << 6 << true << "STRAßE";
    }
    void caseConversion()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        newCFile(text);
        select(start, length);
        upper ? cvtCaseUpper() : cvtCaseLower();
        QCOMPARE(box()->Text(), expected);
        QCOMPARE(box()->SelStart(), start);
        QCOMPARE(box()->SelLength(), length);
    }

    void caseConversionKeepsFormatsAndUndoesAtOnce()
    {
        newCFile(QStringLiteral("bold plain"));
        select(0, 4);
        box()->SetSelBold(true);
        run(QStringLiteral("mnuEditSelectAll"));
        run(QStringLiteral("mnuCaseUpper"));
        QCOMPARE(box()->Text(), QStringLiteral("BOLD PLAIN"));
        select(0, 4);
        QCOMPARE(box()->SelBold(), std::optional<bool>(true));
        select(5, 5);
        QCOMPARE(box()->SelBold(), std::optional<bool>(false));
        box()->Undo();
        QCOMPARE(box()->Text(), QStringLiteral("bold plain"));
    }

    void scriptOffsets()
    {
        newCFile(QStringLiteral("H2O"));
        select(1, 1);
        const QList<QPair<const char *, int>> cases = {
            {"mnuFormatScriptSubScript", -55}, {"mnuFormatScriptSuperScript", 55}, {"mnuFormatScriptNoScript", 0}};
        for (const auto &[item, twips] : cases) {
            run(QString::fromLatin1(item));
            QCOMPARE(box()->SelCharOffset(), std::optional<int>(twips));
            QCOMPARE(menuItem(frmMDI::get(), QString::fromLatin1(item))->isChecked(), true);
        }
    }

    void indentStepsByTheHangingIndent()
    {
        newCFile(QStringLiteral("first\r\nsecond"));
        select(0, 0);
        run(QStringLiteral("mnuFormatIndent")); // hanging indent 0: no move
        QCOMPARE(box()->SelIndent(), std::optional<int>(0));

        MargFmtDef.HangingIndent = 360;
        run(QStringLiteral("mnuFormatIndent"));
        run(QStringLiteral("mnuFormatIndent"));
        QCOMPARE(box()->SelIndent(), std::optional<int>(720));
        run(QStringLiteral("mnuFormatOutdent"));
        QCOMPARE(box()->SelIndent(), std::optional<int>(360));
        run(QStringLiteral("mnuFormatOutdent"));
        run(QStringLiteral("mnuFormatOutdent"));
        QCOMPARE(box()->SelIndent(), std::optional<int>(0)); // stops at the margin

        // Paragraphs of different indents each move by the step.
        select(0, box()->TextLength());
        run(QStringLiteral("mnuFormatIndent"));
        select(0, 0);
        run(QStringLiteral("mnuFormatIndent"));
        select(0, box()->TextLength());
        QCOMPARE(box()->SelIndent(), std::nullopt);
        run(QStringLiteral("mnuFormatOutdent"));
        select(0, 0);
        QCOMPARE(box()->SelIndent(), std::optional<int>(360));
        select(box()->TextLength(), 0);
        QCOMPARE(box()->SelIndent(), std::optional<int>(0));
        QVERIFY(boxTexts().isEmpty());
    }

    void colourField()
    {
        newCFile(QStringLiteral("red"));
        select(0, 3);
        QLineEdit *field = frmMDI::get()->txtFontColors;
        const QColor base = field->palette().color(QPalette::Base);
        const std::optional<QColor> before = box()->SelColor();

        answers::queue(QStringLiteral("Cancel"));
        txtFontColors_Click();
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(answers::last().question.kind, QStringLiteral("color"));
        QCOMPARE(box()->SelColor(), before);
        QCOMPARE(field->palette().color(QPalette::Base), base);

        // A click on the field opens the dialog.
        answers::queue(QStringLiteral("#ff0000"));
        QTest::mouseClick(field, Qt::LeftButton);
        QCOMPARE(answers::asked().size(), 2);
        QCOMPARE(box()->SelColor(), std::optional<QColor>(QColor(255, 0, 0)));
        QCOMPARE(field->palette().color(QPalette::Base), QColor(255, 0, 0));
    }

    void fontFields()
    {
        newCFile(QStringLiteral("shot"));
        select(0, 4);
        frmMDI *mdi = frmMDI::get();
        mdi->cboFontName->setEditText(QStringLiteral("Courier New"));
        mdi->cboFontSize->setEditText(QStringLiteral("14"));
        cboFontName_Click();
        cboFontSize_Click();
        QCOMPARE(box()->SelFontName(), std::optional<QString>(QStringLiteral("Courier New")));
        QCOMPARE(box()->SelFontSize(), std::optional<double>(14));
        for (QWidget *w : {static_cast<QWidget *>(mdi->cboFontName), static_cast<QWidget *>(mdi->cboFontSize),
                           static_cast<QWidget *>(mdi->txtFontColors)})
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }

    void printNowRefusesAnEmptyCFile()
    {
        newCFile(QStringLiteral("x"));
        run(QStringLiteral("mnuFilePrintNow"));
        QCOMPARE(answers::last().question.text, QStringLiteral("''CFile1'' is empty!\r\nThere is nothing to print."));
        QCOMPARE(answers::last().question.title, AppTitle);
        box()->SetText(QStringLiteral("xy"));
        run(QStringLiteral("mnuFilePrintNow"));
        QCOMPARE(answers::asked().size(), 1); // a CFile with text is not refused
    }

    void tilingGivesUsableWindows_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("arrangement");
        QTest::newRow("3 horizontal") << 3 << int(frmMDI::vbTileHorizontal);
        QTest::newRow("3 vertical") << 3 << int(frmMDI::vbTileVertical);
        QTest::newRow("9 horizontal") << 9 << int(frmMDI::vbTileHorizontal);
        QTest::newRow("9 vertical") << 9 << int(frmMDI::vbTileVertical);
    }
    void tilingGivesUsableWindows()
    {
        QFETCH(int, count);
        QFETCH(int, arrangement);
        for (int i = 0; i < count; ++i)
            newCFile(QString::number(i));
        frames().first()->showMaximized();
        const QString item = arrangement == frmMDI::vbTileHorizontal ? QStringLiteral("mnuWindowTileHorizontal")
                                                                     : QStringLiteral("mnuWindowTileVertical");
        run(item);
        const QRect area = areaRect();
        const QList<QMdiSubWindow *> wins = frames();
        int covered = 0;
        for (QMdiSubWindow *w : wins) {
            const QRect g = w->geometry();
            QVERIFY(!w->isMaximized());
            QVERIFY2(area.contains(g), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
            QVERIFY(g.width() >= 200 && g.height() >= 120);
            for (QMdiSubWindow *other : wins)
                if (other != w)
                    QVERIFY(!g.intersects(other->geometry()));
            covered += g.width() * g.height();
            if (count == 3) {
                // Three strips span the area in one direction.
                QCOMPARE(arrangement == frmMDI::vbTileHorizontal ? g.width() : g.height(),
                         arrangement == frmMDI::vbTileHorizontal ? area.width() : area.height());
            }
        }
        QVERIFY(covered >= area.width() * area.height() * 95 / 100);
    }

    void cascadeKeepsUsableSizes()
    {
        for (int i = 0; i < 5; ++i)
            newCFile(QString::number(i));
        run(QStringLiteral("mnuWindowCascade"));
        const QRect area = areaRect();
        QSet<int> tops;
        for (QMdiSubWindow *w : frames()) {
            QVERIFY(w->width() >= area.width() / 2);
            QVERIFY(w->height() >= area.height() / 2);
            tops << w->y();
        }
        QCOMPARE(tops.size(), 5);
    }

    void minimizeAllAndRestoreAll()
    {
        newCFile(QStringLiteral("a"));
        newCFile(QStringLiteral("b"));
        run(QStringLiteral("mnuWindowMinimizeAll"));
        for (QMdiSubWindow *w : frames())
            QVERIFY(w->isMinimized());
        QVERIFY(!frmMDI::get()->isMinimized());
        run(QStringLiteral("mnuWindowArrangeIcons"));
        const QList<QMdiSubWindow *> wins = frames();
        QCOMPARE(wins[0]->geometry().bottom(), areaRect().bottom());
        QVERIFY(!wins[0]->geometry().intersects(wins[1]->geometry()));
        run(QStringLiteral("mnuWindowRestoreAll"));
        for (QMdiSubWindow *w : frames())
            QVERIFY(!w->isMinimized() && !w->isMaximized());
        QVERIFY(boxTexts().isEmpty());
    }

    void moreFlipsTheSwitchAndShowsExcelCFile()
    {
        frmMDI *mdi = frmMDI::get();
        updAllSta();
        QVERIFY(!mdi->mnuExpExcCFi->isVisible());
        mdi->mnuSelect->trigger();
        QVERIFY(SoftMore);
        QVERIFY(mdi->mnuSelect->isChecked());
        QVERIFY(mdi->mnuExpExcCFi->isVisible());
        QCOMPARE(fakes->notes.relayouts, 1);
        QCOMPARE(fakes->remote.relayouts, 1);
        mdi->mnuSelect->trigger();
        QVERIFY(!SoftMore);
        QVERIFY(!mdi->mnuSelect->isChecked());
        QVERIFY(!mdi->mnuExpExcCFi->isVisible());
    }

    void commandKeysReachTheCommands()
    {
        frmDocument *doc = newCFile(QStringLiteral("ab"));
        doc->rtfText->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("XY"));
        select(1, 0);
        QTest::keyClick(doc->rtfText, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box()->Text(), QStringLiteral("aXYb"));
        QCOMPARE(box()->SelLength(), 2); // the command's paste, which selects

        // Locked while shots arrive with the sensors armed: the key neither
        // pastes nor reaches the chronograph.
        fakes->serial.open = true;
        RxRoute[1] = true;
        CroSta.croSnsOn = true;
        updFgsMDI();
        QVERIFY(!frmMDI::get()->mnuEditPaste->isEnabled());
        QTest::keyClick(doc->rtfText, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box()->Text(), QStringLiteral("aXYb"));
        QVERIFY(fakes->serial.sent.isEmpty());
        QTest::keyClick(doc->rtfText, Qt::Key_Z);
        QCOMPARE(fakes->serial.sent, QStringLiteral("z"));

        // No command takes a key of the CFile window's own.
        for (QAction *a : frmMDI::get()->findChildren<QAction *>())
            for (const QKeySequence &k : a->shortcuts())
                QVERIFY2(k != QKeySequence(Qt::Key_F1) && k != QKeySequence(Qt::Key_Delete)
                             && k != QKeySequence(Qt::AltModifier | Qt::Key_Backspace),
                         qPrintable(a->objectName()));
        QVERIFY(!frmMDI::get()->mnuFileOpen->shortcuts().isEmpty());
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_editCommands.moc"
