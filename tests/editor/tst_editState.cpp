// The main window's editing controls following the active CFile: the rules of
// the reset, the enabling and the refresh over real CFile states, the format
// buttons and their menu marks, and the refresh's error location.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <functional>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modEditState.h"
#include "platform/answers.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"

using namespace vt;

namespace {

// The letters of the rules, as each case sets them up.
struct Letters {
    bool D, C, T, U, S, E, P;
    int L;
};

// A rule as the rules tables write it: "on", "off", a letter, "E&U" ..., "L>0", "L=4".
bool eval(const QString &rule, const Letters &l)
{
    if (rule == u"on")
        return true;
    if (rule == u"off")
        return false;
    if (rule == u"L>0")
        return l.L > 0;
    if (rule == u"L=4")
        return l.L == 4;
    bool v = true;
    for (const QString &letter : rule.split(u'&')) {
        const QChar c = letter.at(0);
        v = v && (c == u'D' ? l.D : c == u'C' ? l.C : c == u'T' ? l.T : c == u'U' ? l.U
                  : c == u'S' ? l.S : c == u'E' ? l.E : c == u'P' ? l.P : false);
    }
    return v;
}

// "mnuX" a menu item, "mnuViewMode1" a view-mode item, "std:Key" / "fmt:Key"
// a button, anything else a field; a trailing "!" asks for visibility.
bool state(const QString &key)
{
    frmMDI *mdi = frmMDI::get();
    QString name = key;
    const bool visible = name.endsWith(u'!');
    if (visible)
        name.chop(1);
    if (name.startsWith(u"mnuViewMode"))
        return mdi->mnuViewMode[name.right(1).toInt()]->isEnabled();
    if (name.startsWith(u"std:") || name.startsWith(u"fmt:")) {
        QAction *b = toolButton(name.startsWith(u"std") ? mdi->tbrStandard : mdi->tbrFormat, name.mid(4));
        return b && b->isEnabled();
    }
    if (name.startsWith(u"mnu")) {
        QAction *a = menuItem(mdi, name);
        return a && (visible ? a->isVisible() : a->isEnabled());
    }
    QWidget *w = mdi->findChild<QWidget *>(name);
    return w && w->isEnabled();
}

// The refresh's rules, stages 1 to 4 and the fields of stage 6 (which apply
// only with a CFile).
const QList<QPair<QString, QString>> kRefreshRules = {
    {"mnuViewMode0", "D"}, {"mnuViewMode1", "D"}, {"mnuViewMode2", "D"},
    {"mnuFilePrintNow", "T"}, {"mnuFileSaveSelectionAs", "T"},
    {"mnuEditUndo", "E&U"}, {"mnuEditCut", "E&S"}, {"mnuEditCopy", "S"}, {"mnuEditPaste", "E&P"},
    {"mnuEditDelete", "E&S"}, {"mnuTagClean", "C"},
    {"mnuViewBuffer!", "L>0"}, {"mnuKeyPad!", "L=4"}, {"mnuIProgress!", "L=4"},
    {"mnuPrinting", "on"}, {"mnuBulletsSet", "E"}, {"mnuTypeSet", "T"}, {"mnuScriptSet", "T"},
    {"mnuFormatScript", "T"}, {"mnuCaseConvert", "E&T"}, {"mnuFormatDentMain", "T"}, {"mnuParagraphAlign", "T"},
    {"std:Print", "T"}, {"std:Search", "T"}, {"std:WordWrap", "D"}, {"std:Undo", "E&U"}, {"std:Cut", "E&S"},
    {"std:Copy", "S"}, {"std:Paste", "E&P"},
    {"fmt:CaseToUpper", "E&T"}, {"fmt:CaseToLower", "E&T"}, {"fmt:TabLeft", "D"}, {"fmt:TabRight", "D"},
    {"fmt:TruFont", "D"}, {"cboFontName", "D"}, {"cboFontSize", "D"}, {"txtFontColors", "D"},
};

// Rules of the enabling (setFgsMDI), checked after a reset.
const QList<QPair<QString, QString>> kEnableRules = {
    {"mnuViewMode0", "on"}, {"mnuFileClose", "on"}, {"mnuFileCloseAll", "on"}, {"mnuFileSave", "on"},
    {"mnuFileSaveAs", "on"}, {"mnuFileSaveAll", "on"}, {"mnuPrinting", "on"}, {"mnuFilePrintNow", "T"},
    {"mnuTypeSet", "T"}, {"mnuScriptSet", "T"}, {"mnuFormatScript", "on"}, {"mnuCaseConvert", "T"},
    {"mnuBulletsSet", "on"}, {"mnuFormatDentMain", "T"}, {"mnuParagraphAlign", "T"}, {"mnuEditSelectAll", "on"},
    {"mnuViewBuffer!", "L>0"}, {"mnuIProgress!", "on"}, {"mnuLocalPort!", "L>0"},
    {"mnuSearchFind", "on"}, {"mnuSearchReplace", "on"}, {"mnuSearchGoTo", "on"},
    {"mnuInsertTimeDate", "on"}, {"mnuInsertPicture", "on"}, {"mnuInsertTextFile", "on"},
    {"mnuInsertSymbols", "on"}, {"mnuFormatFont", "on"},
    {"std:Search", "on"}, {"std:Save", "on"}, {"std:Print", "T"}, {"std:WordWrap", "on"},
    {"fmt:Bold", "on"}, {"fmt:Bullet", "on"}, {"fmt:CaseToUpper", "on"}, {"fmt:TabLeft", "D"}, {"fmt:TruFont", "on"},
    {"cboFontName", "on"}, {"txtFontColors", "on"},
    // Enabled by none of the three procedures.
    {"mnuFileRevert", "off"}, {"mnuEditRedo", "off"}, {"mnuSearchFindNext", "off"},
    {"mnuInsertPathandFile", "off"}, {"mnuEditUndo", "off"}, {"mnuEditPaste", "off"},
};

QAction *fmt(const char *key) { return toolButton(frmMDI::get()->tbrFormat, QString::fromLatin1(key)); }

} // namespace

class TestEditState : public QObject {
    Q_OBJECT

private slots:
    void init() { vttest::startEditor(); }
    void cleanup()
    {
        RxRoute[1] = false;
        CroSta.croSnsOn = false;
        SoftEdit = false;
        UserLevel = 0;
        QGuiApplication::clipboard()->clear();
        vttest::stopEditor();
    }

    void refreshFollowsTheSnapshot_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("undo");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("clip");
        QTest::addColumn<bool>("shootArmed");
        QTest::addColumn<bool>("softEdit");
        QTest::addColumn<int>("level");
        // open text undo sel changed clip shoot soft level
        QTest::newRow("no CFile, clipboard text") << false << "" << false << 0 << false << true << false << false << 0;
        QTest::newRow("no CFile, level 4") << false << "" << false << 0 << false << false << false << false << 4;
        QTest::newRow("empty CFile") << true << "" << false << 0 << false << true << false << false << 2;
        QTest::newRow("text, caret only") << true << "12.5 fps" << false << 0 << false << false << false << false << 1;
        QTest::newRow("text, selection, undo") << true << "12.5 fps" << true << 4 << true << true << false << false << 4;
        QTest::newRow("Shoot mode, sensors armed") << true << "CAP: 1" << true << 3 << true << true << true << false << 0;
        QTest::newRow("armed, SoftEdit on") << true << "CAP: 1" << true << 3 << true << true << true << true << 3;
    }
    void refreshFollowsTheSnapshot()
    {
        QFETCH(bool, open);
        QFETCH(QString, text);
        QFETCH(bool, undo);
        QFETCH(int, selLength);
        QFETCH(bool, changed);
        QFETCH(bool, clip);
        QFETCH(bool, shootArmed);
        QFETCH(bool, softEdit);
        QFETCH(int, level);

        if (open) {
            CreateNewCFile();
            RichTextBox *box = ActiveForm()->rtfText;
            box->SetText(text); // no undo history
            if (undo) {
                // An edit and its removal: the same text, with undo to offer.
                const int end = box->TextLength();
                box->SetSelStart(end);
                box->SetSelText(QStringLiteral("!"));
                box->SetSelStart(end);
                box->SetSelLength(1);
                box->SetSelText(QString());
            }
            QCOMPARE(box->CanUndo(), undo);
            box->SetSelStart(0);
            box->SetSelLength(selLength);
            ActiveForm()->bChanged = changed;
        }
        if (clip)
            QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        else
            QGuiApplication::clipboard()->clear();
        RxRoute[1] = shootArmed;
        CroSta.croSnsOn = shootArmed;
        SoftEdit = softEdit;
        UserLevel = int16_t(level);

        // Pressed before the refresh: without a CFile it must stay pressed.
        fmt("Bold")->setChecked(true);
        zapFgsMDI();
        updFgsMDI();

        const Letters l{open, open && changed, open && !text.isEmpty(), open && undo, open && selLength > 0,
                        open && (!shootArmed || softEdit), clip, level};
        for (const auto &[control, rule] : kRefreshRules)
            QVERIFY2(state(control) == eval(rule, l), qPrintable(control + QStringLiteral(" = ") + rule));
        // What the refresh does not touch keeps the reset's state.
        for (const char *name : {"mnuFileClose", "mnuFileRevert", "mnuEditRedo", "mnuSearchFindNext",
                                 "mnuInsertPathandFile", "mnuEditSelectAll"})
            QVERIFY2(!state(QString::fromLatin1(name)), name);
        if (!open) {
            QVERIFY(fmt("Bold")->isChecked());
            QVERIFY(!frmMDI::get()->mnuBulletsSet->isChecked());
        } else {
            QVERIFY(!fmt("Bold")->isChecked());
        }
    }

    void enablingAndReset_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("level");
        QTest::newRow("empty CFile, level 0") << "" << 0;
        QTest::newRow("text, level 4") << "CAP: 1" << 4;
    }
    void enablingAndReset()
    {
        QFETCH(QString, text);
        QFETCH(int, level);
        UserLevel = int16_t(level);
        CreateNewCFile();
        ActiveForm()->rtfText->SetText(text);
        zapFgsMDI();
        setFgsMDI();
        const Letters l{true, false, !text.isEmpty(), false, false, true, false, level};
        for (const auto &[control, rule] : kEnableRules)
            QVERIFY2(state(control) == eval(rule, l), qPrintable(control + QStringLiteral(" = ") + rule));

        // The reset reads nothing of the CFile and turns everything off.
        zapFgsMDI();
        for (const auto &[control, rule] : kRefreshRules) {
            if (control == u"mnuTypeSet")
                continue; // not touched by the reset
            QVERIFY2(!state(control), qPrintable(control));
        }
        for (const char *name : {"mnuFileClose", "mnuFileSave", "mnuEditRedo", "mnuEditSelectAll", "mnuSearchFind",
                                 "mnuInsertPicture", "mnuFormatFont", "std:Save", "std:Redo", "fmt:Bold", "fmt:Right"})
            QVERIFY2(!state(QString::fromLatin1(name)), name);
    }

    void formatButtonsShowTheSelection()
    {
        CreateNewCFile();
        RichTextBox *box = ActiveForm()->rtfText;
        frmMDI *mdi = frmMDI::get();
        box->SetText(QStringLiteral("bold plain\r\ncentred"));
        box->SetSelStart(0);
        box->SetSelLength(4);
        box->SetSelBold(true);
        box->SetSelFontName(QStringLiteral("Courier New"));
        box->SetSelFontSize(14);
        box->SetSelStart(12);
        box->SetSelAlignment(RichTextBox::rtfCenter);

        // All bold, one font: pressed, the fields show it.
        box->SetSelStart(0);
        box->SetSelLength(4);
        updFgsMDI();
        QVERIFY(fmt("Bold")->isChecked());
        QVERIFY(fmt("Left")->isChecked());
        QCOMPARE(mdi->cboFontName->currentText(), QStringLiteral("Courier New"));
        QCOMPARE(mdi->cboFontSize->currentText(), QStringLiteral("14"));
        updFmtButtons();
        QVERIFY(mdi->mnuTypBold->isChecked());
        QVERIFY(mdi->mnuParaLeft->isChecked());

        // Bold and plain, left and centred paragraphs: Bold released; the
        // refresh leaves the alignment as it was, the format refresh releases
        // all three and clears the marks.
        box->SetSelStart(0);
        box->SetSelLength(box->TextLength());
        updFgsMDI();
        QVERIFY(!fmt("Bold")->isChecked());
        QVERIFY(fmt("Left")->isChecked());
        QVERIFY(mdi->cboFontName->currentText().isEmpty());
        updFmtButtons();
        QVERIFY(!mdi->mnuTypBold->isChecked());
        for (const char *key : {"Left", "Center", "Right"})
            QVERIFY2(!fmt(key)->isChecked(), key);
        QVERIFY(!mdi->mnuParaLeft->isChecked() && !mdi->mnuParaCenter->isChecked());

        box->SetSelStart(13);
        updFmtButtons();
        QVERIFY(fmt("Center")->isChecked());
        QVERIFY(mdi->mnuParaCenter->isChecked());
        QCOMPARE(QApplication::focusWidget(), box);

        // Bullets: pressed and checked only while editing is allowed.
        box->SetSelBullet(true);
        updFgsMDI();
        QVERIFY(fmt("Bullet")->isChecked());
        QVERIFY(mdi->mnuBulletsSet->isChecked());
        RxRoute[1] = CroSta.croSnsOn = true;
        updFgsMDI();
        QVERIFY(!fmt("Bullet")->isChecked());
        QVERIFY(!mdi->mnuBulletsSet->isEnabled());
    }

    void changedFlagDrivesSet2Clean()
    {
        CreateNewCFile();
        frmDocument *doc = ActiveForm();
        QTest::keyClicks(doc->rtfText, QStringLiteral("x"));
        QVERIFY(doc->bChanged);
        QVERIFY(frmMDI::get()->mnuTagClean->isEnabled());
        doc->bChanged = false; // as a save leaves it
        updFgsMDI();
        QVERIFY(!frmMDI::get()->mnuTagClean->isEnabled());
    }

    void failureNamesTheStage()
    {
        CreateNewCFile();
        ActiveForm()->rtfText->SetText(QStringLiteral("text"));
        frmMDI *mdi = frmMDI::get();
        zapFgsMDI();
        delete toolButton(mdi->tbrStandard, QStringLiteral("WordWrap"));
        answers::reset();
        updFgsMDI();
        const answers::Record r = answers::last();
        QVERIFY2(r.question.text.endsWith(QStringLiteral("modMain\\updFgsMDI(3)")), qPrintable(r.question.text));
        // What came before the failure stays set; what follows it is not reached.
        QVERIFY(state(QStringLiteral("std:Print")));
        QVERIFY(mdi->mnuParagraphAlign->menuAction()->isEnabled());
        QVERIFY(!state(QStringLiteral("fmt:TabLeft")));
    }
};

QTEST_MAIN(TestEditState)
#include "tst_editState.moc"
