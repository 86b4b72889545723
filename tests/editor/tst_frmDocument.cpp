// The CFile window: changed flag, close question, keys, line counter, the
// view settings of start-up and the main window's close.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QFile>
#include <QTest>
#include <QToolBar>

#include "common/cfilefixture.h"
#include "common/files.h"
#include "editor/frmDocument.h"
#include "editor/modDocCommands.h"
#include "editor/modDocument.h"
#include "editor/modMDIView.h"
#include "platform/answers.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "platform/msgbox.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modMain.h"
#include "shell/modShared.h"

using namespace vt;
using vttest::boxTexts;

namespace {
frmDocument *newCFile()
{
    CreateNewCFile();
    return ActiveForm();
}
QString stateSetting() { return GetSetting(AppTitle, QStringLiteral("CFile"), QStringLiteral("CFileState")); }
QString linePanel() { return frmMDI::get()->sxbLines->text(); }
} // namespace

class TestFrmDocument : public QObject {
    Q_OBJECT
    vttest::EditorFakes *fakes = nullptr;

private slots:
    void init() { fakes = &vttest::startEditor(); }
    void cleanup() { vttest::stopEditor(); }

    void typingMarksChangedAndCloseAsks()
    {
        frmDocument *doc = newCFile();
        QVERIFY(doc);
        QCOMPARE(doc->Caption(), QStringLiteral("CFile1"));
        QCOMPARE(doc->Tag, QStringLiteral("CFile1"));
        QVERIFY(!doc->bChanged);
        QTest::keyClicks(doc->rtfText, QStringLiteral("12.5 fps"));
        QVERIFY(doc->bChanged);

        // Cancel keeps the window, its text and the stored window state.
        answers::queue(QStringLiteral("Cancel"));
        QVERIFY(!doc->close());
        const answers::Record q = answers::last();
        QCOMPARE(q.question.text, QStringLiteral("File CFile1 has changed !\r\nSave changes ?"));
        QCOMPARE(q.question.title, QStringLiteral("Vantrell"));
        QCOMPARE(q.question.buttons, (QStringList{"Yes", "No", "Cancel"}));
        QCOMPARE(ActiveForm(), doc);
        QCOMPARE(doc->rtfText->Text(), QStringLiteral("12.5 fps"));
        QVERIFY(doc->bChanged);
        QVERIFY(stateSetting().isEmpty());

        // No lets it go without saving, and the state is kept for the next one.
        answers::queue(QStringLiteral("No"));
        QVERIFY(doc->close());
        QVERIFY(!ActiveForm());
        QCOMPARE(numOfCFIles(), int16_t(0));
        QCOMPARE(stateSetting(), QStringLiteral("0"));
        QVERIFY(fakes->remote.refreshes > 0);
    }

    void emptiedOrUnchangedClosesWithoutQuestion()
    {
        frmDocument *doc = newCFile();
        QTest::keyClicks(doc->rtfText, QStringLiteral("x"));
        QTest::keyClick(doc->rtfText, Qt::Key_Backspace);
        QVERIFY(doc->bChanged);
        QVERIFY(doc->unload(vbFormCode));
        QVERIFY(answers::asked().isEmpty());
    }

    void minimizedCloseKeepsStoredState()
    {
        SaveSetting(AppTitle, QStringLiteral("CFile"), QStringLiteral("CFileState"), QStringLiteral("2"));
        frmDocument *doc = newCFile();
        QCOMPARE(doc->WindowState(), 2);
        doc->subWindow()->showMinimized();
        QVERIFY(doc->unload(vbFormCode));
        QCOMPARE(stateSetting(), QStringLiteral("2"));
    }

    void yesOnNeverSavedProposesRtfAndCancelKeeps()
    {
        frmDocument *doc = newCFile();
        QTest::keyClicks(doc->rtfText, QStringLiteral("shot 1"));
        answers::queue(QStringLiteral("Yes"));
        answers::queue(QStringLiteral("Cancel")); // the Save As dialog
        QVERIFY(!doc->unload(vbFormCode));
        const auto &asked = answers::asked();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1].question.kind, QStringLiteral("save"));
        QVERIFY(asked[1].question.text.contains(QStringLiteral("File name: CFile1.rtf")));
        // The cancelled save keeps the window, its name and its changes, and
        // reports nothing.
        QCOMPARE(ActiveForm(), doc);
        QCOMPARE(doc->Caption(), QStringLiteral("CFile1"));
        QVERIFY(doc->bChanged);
    }

    void closingInactiveCFileSavesThatOne()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.txt"));
        const QString b = dir.filePath(QStringLiteral("b.txt"));
        frmDocument *docA = newCFile();
        QTest::keyClicks(docA->rtfText, QStringLiteral("alpha"));
        docA->SetCaption(a);
        frmDocument *docB = newCFile();
        QTest::keyClicks(docB->rtfText, QStringLiteral("bravo"));
        docB->SetCaption(b);
        QCOMPARE(ActiveForm(), docB);

        answers::queue(QStringLiteral("Yes"));
        QVERIFY(docA->unload(vbFormCode));
        QVERIFY(answers::last().question.text.startsWith(QStringLiteral("File ") + a));
        QFile fa(a);
        QVERIFY(fa.open(QIODevice::ReadOnly));
        QCOMPARE(fa.readAll(), QByteArray("alpha"));
        QVERIFY(!QFile::exists(b));
        QCOMPARE(ActiveForm(), docB);
        QVERIFY(docB->bChanged);
    }

    void mainWindowCloseAsksEachCFileAndCancelKeepsIt()
    {
        frmDocument *one = newCFile();
        QTest::keyClicks(one->rtfText, QStringLiteral("one"));
        frmDocument *two = newCFile();
        QTest::keyClicks(two->rtfText, QStringLiteral("two"));
        answers::queue(QStringLiteral("No"));     // CFile2 goes unsaved
        answers::queue(QStringLiteral("Cancel")); // CFile1 stays
        QVERIFY(!frmMDI::get()->unload(vbFormCode));
        QVERIFY(frmMDI::isLoaded());
        QCOMPARE(openCFiles(), QList<frmDocument *>{one});
        QCOMPARE(boxTexts().size(), 2);
        QVERIFY(boxTexts()[0].contains(QStringLiteral("CFile2")));
    }

    void functionKeysAndShootModeKeys_data()
    {
        QTest::addColumn<bool>("shoot");
        QTest::addColumn<bool>("softEdit");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<bool>("caretMoved");
        QTest::addColumn<QList<int>>("panes");
        QTest::newRow("shoot, Left sends ^L") << true << false << int(Qt::Key_Left) << 0 << QStringLiteral("\x0C") << false << QList<int>{};
        QTest::newRow("shoot, Up sends ^U") << true << false << int(Qt::Key_Up) << 0 << QStringLiteral("\x15") << false << QList<int>{};
        QTest::newRow("shoot, SoftEdit: Left moves") << true << true << int(Qt::Key_Left) << 0 << QString() << true << QList<int>{};
        QTest::newRow("edit mode: Left moves") << false << false << int(Qt::Key_Left) << 0 << QString() << true << QList<int>{};
        QTest::newRow("F4 shows the keys pane") << false << false << int(Qt::Key_F4) << 0 << QString() << false << QList<int>{2};
        QTest::newRow("F5 shows the command list") << false << false << int(Qt::Key_F5) << 0 << QString() << false << QList<int>{1};
        QTest::newRow("Shift+F4 does nothing") << false << false << int(Qt::Key_F4) << int(Qt::ShiftModifier) << QString() << false << QList<int>{};
        QTest::newRow("F4 with SoftEdit does nothing") << false << true << int(Qt::Key_F4) << 0 << QString() << false << QList<int>{};
    }
    void functionKeysAndShootModeKeys()
    {
        QFETCH(bool, shoot);
        QFETCH(bool, softEdit);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, sent);
        QFETCH(bool, caretMoved);
        QFETCH(QList<int>, panes);
        frmDocument *doc = newCFile();
        doc->rtfText->SetText(QStringLiteral("abc"));
        doc->rtfText->SetSelStart(3);
        fakes->serial.open = true;
        RxRoute[1] = shoot;
        SoftEdit = softEdit;
        QTest::keyClick(doc->rtfText, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(fakes->serial.sent, sent);
        QCOMPARE(doc->rtfText->SelStart() != 3, caretMoved);
        QCOMPARE(fakes->remote.panes, panes);
    }

    void f1AndF2ShowTheDeviceNotes()
    {
        frmDocument *doc = newCFile();
        QTest::keyClick(doc->rtfText, Qt::Key_F1);
        QTest::keyClick(doc->rtfText, Qt::Key_F2);
        QTest::keyClick(doc->rtfText, Qt::Key_F1, Qt::ControlModifier);
        QCOMPARE(fakes->notes.notes, (QList<QPair<int, int>>{{3, 0}, {3, 1}}));
        QVERIFY(doc->rtfText->Text().isEmpty());
    }

    void shootModeTypingGoesToTheChronograph()
    {
        frmDocument *doc = newCFile();
        doc->rtfText->SetText(QStringLiteral("line 1"));
        doc->rtfText->SetSelStart(0);
        RxRoute[1] = true;
        fakes->serial.open = true;
        QTest::keyClicks(doc->rtfText, QStringLiteral("D"));
        QCOMPARE(fakes->serial.sent, QStringLiteral("D"));
        QCOMPARE(doc->rtfText->Text(), QStringLiteral("line 1"));
        QCOMPARE(doc->rtfText->SelStart(), 6); // the echo lands at the end
    }

    void clickShowsTheSelectionFormat()
    {
        frmDocument *doc = newCFile();
        RichTextBox *box = doc->rtfText;
        box->SetSelFontName(QStringLiteral("DejaVu Serif"));
        box->SetSelFontSize(14);
        box->SetSelColor(QColor(200, 0, 0));
        box->SetSelText(QStringLiteral("812 fps"));
        const int before = fakes->remote.refreshes;
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        frmMDI *mdi = frmMDI::get();
        QCOMPARE(mdi->cboFontSize->currentText(), QStringLiteral("14"));
        QCOMPARE(mdi->cboFontName->currentText(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(mdi->txtFontColors->palette().color(QPalette::Text), QColor(200, 0, 0));
        QCOMPARE(fakes->remote.refreshes, before + 1);
    }

    void lineCountPanel()
    {
        frmDocument *doc = newCFile();
        QCOMPARE(linePanel(), QStringLiteral("Line:1 tot:1"));
        QTest::keyClicks(doc->rtfText, QStringLiteral("a"));
        QTest::keyClick(doc->rtfText, Qt::Key_Return);
        QTest::keyClicks(doc->rtfText, QStringLiteral("b"));
        QTest::keyClick(doc->rtfText, Qt::Key_Return);
        QCOMPARE(linePanel(), QStringLiteral("Line:3 tot:3"));
        QTest::keyClick(doc->rtfText, Qt::Key_Up);
        QCOMPARE(linePanel(), QStringLiteral("Line:2 tot:3"));

        QStringList lines;
        for (int i = 0; i < 1234; ++i)
            lines << QString::number(i);
        doc->rtfText->SetText(lines.join(QStringLiteral("\r\n")));
        doc->rtfText->SetSelStart(doc->rtfText->TextLength());
        QCOMPARE(linePanel(), QStringLiteral("Line:1,234 tot:1,234"));
    }

    // The first New after start-up cascades the windows: each keeps a size a
    // user can work in, inside the area, and a larger main window gives them
    // more room.
    void cascadeKeepsUsableSizes()
    {
        frmMDI *mdi = frmMDI::get();
        mdi->showNormal();
        mdi->resize(560, 420);
        QCoreApplication::processEvents();
        auto sizes = [mdi] {
            QList<QSize> out;
            for (QMdiSubWindow *sub : mdi->mdiArea->subWindowList())
                out << sub->size();
            return out;
        };
        auto checkUsable = [&](const char *when) {
            const QSize area = mdi->mdiArea->viewport()->size();
            const QList<QSize> list = sizes();
            QCOMPARE(list.size(), 2);
            for (const QSize &s : list) {
                const QString what = QStringLiteral("%1: %2 x %3 in %4 x %5")
                                         .arg(when).arg(s.width()).arg(s.height()).arg(area.width()).arg(area.height());
                QVERIFY2(s.width() >= std::min(420, area.width() * 3 / 4), qPrintable(what));
                QVERIFY2(s.height() >= std::min(300, area.height() * 3 / 4), qPrintable(what));
                QVERIFY2(s.width() <= area.width() && s.height() <= area.height(), qPrintable(what));
            }
        };
        newCFile();
        FirstFileCmd = true;
        mnuFileNew_Click();
        checkUsable("small main window");
        const QSize small = sizes().first();

        mdi->showMaximized();
        QTRY_VERIFY(mdi->mdiArea->viewport()->width() > 600);
        mdi->mdiArea->cascadeSubWindows();
        checkUsable("maximised main window");
        QVERIFY(sizes().first().width() > small.width() && sizes().first().height() > small.height());
        mdi->showNormal();
    }

    // In Normal View a CFile opened with centred and right-aligned paragraphs
    // shows them so, without a resize of the window.
    void openedCFileKeepsAlignmentInNormalView()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("aligned.rtf"));
        QVERIFY(vttest::writeFile(path, "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs18\\qc centred\\par\\qr right\\par}"));
        SaveSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("ViewMode"), QStringLiteral("0"));
        ViewMode = 0;
        answers::queue(path);
        OpenDocument();
        frmDocument *doc = ActiveForm();
        QVERIFY(doc);
        QCOMPARE(doc->Caption(), path);
        QCOMPARE(doc->rtfText->lineWrapMode(), QTextEdit::NoWrap);
        const int width = doc->rtfText->viewport()->width();
        const QTextBlock centred = doc->rtfText->document()->firstBlock();
        const QRectF c = centred.layout()->lineAt(0).naturalTextRect();
        const QRectF r = centred.next().layout()->lineAt(0).naturalTextRect();
        QVERIFY2(qAbs(c.center().x() - width / 2.0) < 20, qPrintable(QString::number(c.center().x())));
        QVERIFY2(r.right() > width - 20, qPrintable(QString::number(r.right())));
    }

    void viewSettingsAtStartUp_data()
    {
        QTest::addColumn<QStringList>("stored"); // key=value pairs of section "frmMDI"
        QTest::addColumn<QString>("shown");      // standard, format, ruler, status: 1 shown
        QTest::addColumn<int>("viewMode");
        QTest::addColumn<QString>("report");
        QTest::newRow("defaults") << QStringList{} << QStringLiteral("1101") << 0 << QString();
        QTest::newRow("ruler 1, mode 1.6") << QStringList{"Ruler=1", "ViewMode=1.6"} << QStringLiteral("1111") << 2 << QString();
        QTest::newRow("all off") << QStringList{"StandardToolbar=False", "FormatToolbar=False", "Ruler=False", "StatusBar=0"}
                                 << QStringLiteral("0000") << 0 << QString();
        QTest::newRow("mode 7") << QStringList{"ViewMode=7"} << QStringLiteral("1101") << 0 << QString();
        QTest::newRow("mode -1") << QStringList{"ViewMode=-1"} << QStringLiteral("1101") << 0 << QString();
        QTest::newRow("mode text") << QStringList{"ViewMode=wrap"} << QStringLiteral("1101") << 0 << QString();
        QTest::newRow("mode 2.5 to even") << QStringList{"ViewMode=2.5"} << QStringLiteral("1101") << 2 << QString();
        // A value that is no truth value stops at its stage; what follows keeps its state.
        QTest::newRow("bad format key") << QStringList{"FormatToolbar=maybe", "Ruler=True", "ViewMode=1"}
                                        << QStringLiteral("1101") << 5 << QStringLiteral("moxMain-soxSettings-2");
    }
    void viewSettingsAtStartUp()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, shown);
        QFETCH(int, viewMode);
        QFETCH(QString, report);
        for (const QString &kv : stored)
            SaveSetting(AppTitle, QStringLiteral("frmMDI"), kv.section(u'=', 0, 0), kv.section(u'=', 1));
        ViewMode = 5; // what the load left, to see whether the mode stage ran
        frmMDI *mdi = frmMDI::get();
        getMDISettings();
        const QAction *items[4] = {mdi->mnuViewToolbarStandard, mdi->mnuViewToolbarFormat, mdi->mnuViewRuler,
                                   mdi->mnuViewStatusBar};
        const QWidget *bars[4] = {mdi->tbrStandard, mdi->tbrFormat, mdi->cbrRuler, mdi->SXB};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(items[i]->isChecked(), shown[i] == u'1');
            QCOMPARE(!bars[i]->isHidden(), shown[i] == u'1');
        }
        QCOMPARE(int(ViewMode), viewMode);
        if (report.isEmpty())
            QVERIFY(boxTexts().isEmpty());
        else
            QVERIFY(boxTexts().value(0).contains(report));
    }
};

QTEST_MAIN(TestFrmDocument)
#include "tst_frmDocument.moc"
