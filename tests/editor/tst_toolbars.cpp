// The toolbars' dispatch on button keys, the WordWrap cycle and the view-mode
// items, and the pop-up menu's state over the active CFile.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QMenu>
#include <QTest>
#include <QToolBar>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "editor/modToolbars.h"
#include "platform/answers.h"
#include "platform/forms.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "platform/msgbox.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modMain.h"

using namespace vt;

using vttest::newCFile;

namespace {

void press(QToolBar *bar, const char *key)
{
    QAction *b = toolButton(bar, QString::fromLatin1(key));
    QVERIFY2(b, key);
    b->setEnabled(true);
    b->trigger();
}

} // namespace

class TestToolbars : public QObject {
    Q_OBJECT

private slots:
    void init() { vttest::startEditor(); }
    void cleanup()
    {
        ViewMode = 0;
        SoftMore = SoftEdit = false;
        vttest::stopEditor();
    }

    void formatButtons_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("CaseToUpper") << "CaseToUpper" << "AB cd";
        QTest::newRow("CaseToLower") << "CaseToLower" << "ab cd";
        QTest::newRow("Bold") << "Bold" << "aB cd";
        QTest::newRow("Center") << "Center" << "aB cd";
        QTest::newRow("unknown key") << "bold" << "aB cd";
    }
    void formatButtons()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        RichTextBox *box = newCFile(QStringLiteral("aB cd"));
        box->SetSelStart(0);
        box->SetSelLength(2);
        const int asked = int(answers::asked().size());
        if (key == u"bold")
            tbrFormat_ButtonClick(key); // no button has this key: nothing happens
        else
            press(frmMDI::get()->tbrFormat, qPrintable(key));
        QCOMPARE(box->Text(), text);
        QCOMPARE(int(answers::asked().size()), asked);
        box->SetSelStart(0);
        box->SetSelLength(2);
        QCOMPARE(box->SelBold().value_or(false), key == u"Bold");
        QCOMPARE(box->textCursor().blockFormat().alignment().testFlag(Qt::AlignHCenter), key == u"Center");
    }

    void standardButtons()
    {
        frmMDI *mdi = frmMDI::get();
        press(mdi->tbrStandard, "New");
        QCOMPARE(openCFiles().size(), 1);
        RichTextBox *box = ActiveForm()->rtfText;
        box->SetSelText(QStringLiteral("typed"));
        press(mdi->tbrStandard, "Undo");
        QCOMPARE(box->Text(), QString());
        // A key no button has changes nothing and asks nothing.
        tbrStandard_ButtonClick(QStringLiteral("new"));
        QCOMPARE(openCFiles().size(), 1);
        QVERIFY(answers::asked().isEmpty());
        // With no panel to show, the Keypad button leaves the main window usable.
        press(mdi->tbrStandard, "Keypad");
        QVERIFY(mdi->isEnabled());
    }

    void wordWrapCycle_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("0 -> 1") << 0 << 1;
        QTest::newRow("1 -> 0") << 1 << 0;
        QTest::newRow("2 -> 1") << 2 << 1;
    }
    void wordWrapCycle()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        newCFile(QStringLiteral("x"));
        ViewMode = int16_t(before);
        press(frmMDI::get()->tbrStandard, "WordWrap");
        QCOMPARE(int(ViewMode), after);
        frmMDI *mdi = frmMDI::get();
        QVERIFY(mdi->mnuViewMode[after]->isChecked());
        QCOMPARE(GetSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("ViewMode"), QString()).trimmed(),
                 QString::number(after));
        const bool wraps = ActiveForm()->rtfText->lineWrapMode() != QTextEdit::NoWrap;
        QCOMPARE(wraps, after != 0);
    }

    void viewModeItems()
    {
        frmMDI *mdi = frmMDI::get();
        mdi->mnuViewMode[1]->setEnabled(true);
        mdi->mnuViewMode[1]->trigger();
        QCOMPARE(answers::last().question.text, QStringLiteral("No Open CFile...!"));
        QCOMPARE(answers::last().question.title, QStringLiteral("Jotrix"));
        QCOMPARE(int(ViewMode), 0);
        QVERIFY(!mdi->mnuViewMode[1]->isChecked()); // the click alone flips nothing
        newCFile(QStringLiteral("x"));
        mdi->mnuViewMode[1]->trigger();
        QCOMPARE(int(ViewMode), 1);
        QVERIFY(mdi->mnuViewMode[1]->isChecked() && !mdi->mnuViewMode[0]->isChecked());
    }

    void popupState_data()
    {
        QTest::addColumn<int>("cfile"); // 0 none, 1 empty, 2 text, 3 text selected after an edit
        QTest::addColumn<bool>("more");
        // Undo, Cut/Copy/Delete, Paste, SelectAll/case/Search/GoTo, zOvu/CLink
        QTest::addColumn<QString>("enabled");
        QTest::newRow("no CFile") << 0 << false << "00000";
        QTest::newRow("empty CFile") << 1 << false << "00100";
        QTest::newRow("text") << 2 << false << "00110";
        QTest::newRow("selection after an edit") << 3 << true << "11111";
    }
    void popupState()
    {
        QFETCH(int, cfile);
        QFETCH(bool, more);
        QFETCH(QString, enabled);
        if (cfile > 0) {
            RichTextBox *box = newCFile(cfile >= 2 ? QStringLiteral("text") : QString());
            if (cfile == 3) {
                box->SetSelStart(box->TextLength());
                box->SetSelText(QStringLiteral(" more"));
                box->SetSelStart(0);
                box->SetSelLength(4);
            }
        }
        SoftMore = more;
        SoftEdit = true;
        popMain_Click();
        frmMDI *mdi = frmMDI::get();
        const auto on = [](QAction *a) { return a->isEnabled() ? u'1' : u'0'; };
        const QString got = QString(on(mdi->popUndo)) + on(mdi->popCut) + on(mdi->popPaste) + on(mdi->popSelectAll) +
                            on(mdi->popRemCtr);
        QCOMPARE(got, enabled);
        for (QAction *a : {mdi->popCopy, mdi->popDelete})
            QCOMPARE(a->isEnabled(), mdi->popCut->isEnabled());
        for (QAction *a : {mdi->popCaseUpper, mdi->popCaseLower, mdi->popSearch, mdi->popSearchGoTo})
            QCOMPARE(a->isEnabled(), mdi->popSelectAll->isEnabled());
        QCOMPARE(mdi->popCapture->isEnabled(), more);
        QVERIFY(mdi->popCapEdit->isChecked());
    }

    void viewToggles()
    {
        frmMDI *mdi = frmMDI::get();
        SaveRegistry = false; // the bars' settings are written all the same
        const auto setting = [](const char *key) {
            return GetSetting(AppTitle, QStringLiteral("frmMDI"), QString::fromLatin1(key), QString());
        };
        mdi->mnuViewToolbarStandard->trigger();
        QVERIFY(mdi->tbrStandard->isHidden() && !mdi->cbrBar->isHidden());
        QCOMPARE(setting("StandardToolbar"), QStringLiteral("False"));
        mdi->mnuViewToolbarFormat->trigger();
        QVERIFY(mdi->cbrBar->isHidden()); // both bands hidden: the whole bar goes
        mdi->mnuViewToolbarStandard->trigger();
        QVERIFY(!mdi->cbrBar->isHidden() && !mdi->tbrStandard->isHidden());
        QCOMPARE(setting("StandardToolbar"), QStringLiteral("True"));
        QCOMPARE(setting("FormatToolbar"), QStringLiteral("False"));
        mdi->mnuViewStatusBar->trigger();
        QVERIFY(mdi->SXB->isHidden());
        QCOMPARE(setting("StatusBar"), QStringLiteral("False"));
        mdi->mnuViewRuler->trigger();
        QVERIFY(!mdi->cbrRuler->isHidden());
        QCOMPARE(setting("Ruler"), QStringLiteral("True"));
        SaveRegistry = true;
    }

    void insertFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("inserted"); // empty: refused
        QTest::newRow("log as plain text") << "shots.log" << QByteArray("{\\rtf1 V=2750}") << "{\\rtf1 V=2750}";
        QTest::newRow("cap as rich text") << "shots.cap" << QByteArray("{\\rtf1 V=2750\\par}") << "V=2750";
        QTest::newRow("other extension") << "shots.xyz" << QByteArray("x") << "";
        QTest::newRow("no extension") << "shots" << QByteArray("x") << "";
    }
    void insertFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, inserted);
        QTemporaryDir dir;
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        RichTextBox *box = newCFile(QStringLiteral("AB"));
        box->SetSelStart(1);
        answers::queue(f.fileName());
        frmMDI::get()->mnuInsertTextFile->trigger();
        if (inserted.isEmpty()) {
            QCOMPARE(answers::last().question.text, QStringLiteral("Wrong File Extension"));
            QCOMPARE(box->Text(), QStringLiteral("AB"));
            return;
        }
        QVERIFY2(box->Text().startsWith(u'A' + inserted), qPrintable(box->Text()));
        QVERIFY(box->Text().endsWith(u'B'));
        QVERIFY(QGuiApplication::clipboard()->text().contains(inserted));
    }

    void insertPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format"); // empty: the bytes below are the file
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");        // empty: not a picture
        QTest::newRow("bmp") << "target.bmp" << QByteArray("BMP") << QByteArray() << QSize(7, 5);
        QTest::newRow("jpg") << "target.jpg" << QByteArray("JPG") << QByteArray() << QSize(7, 5);
        QTest::newRow("png") << "target.png" << QByteArray("PNG") << QByteArray() << QSize(7, 5);
        // A one-pixel GIF written by hand: Qt reads GIF but cannot write it.
        QTest::newRow("gif") << "target.gif" << QByteArray()
                             << QByteArray::fromHex("474946383961010001008000" "00ff0000000000"
                                                    "2c000000000100010000" "0202440100" "3b")
                             << QSize(1, 1);
        QTest::newRow("text named .jpg") << "target.jpg" << QByteArray() << QByteArray("V=2750 fps") << QSize();
    }
    void insertPicture()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (format.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        } else {
            QImage img(size, QImage::Format_RGB32);
            img.fill(Qt::red);
            QVERIFY(img.save(path, format.constData()));
        }
        RichTextBox *box = newCFile(QStringLiteral("AB"));
        box->SetSelStart(1);
        answers::queue(path);
        frmMDI::get()->mnuInsertPicture->trigger();
        const QByteArray dims = "\\picw" + QByteArray::number(size.width()) + "\\pich" + QByteArray::number(size.height());
        if (size.isEmpty()) {
            QVERIFY(answers::last().question.text.contains(QStringLiteral("frmMDI\\mnuInsertPicture_Click")));
            QVERIFY(!box->TextRTF().contains("\\pict"));
            QCOMPARE(box->Text(), QStringLiteral("AB"));
            return;
        }
        QVERIFY2(box->TextRTF().contains(dims), box->TextRTF().constData());
        QCOMPARE(QGuiApplication::clipboard()->image().size(), size);
        QVERIFY(box->Text().startsWith(u'A') && box->Text().endsWith(u'B'));

        // Saved in the CFile's RTF and read back with the same picture.
        const QString saved = dir.filePath(QStringLiteral("range.rtf"));
        box->SaveFile(saved);
        RichTextBox back;
        back.LoadFile(saved);
        QVERIFY(back.TextRTF().contains(dims));
    }

    void insertPictureCancelled()
    {
        RichTextBox *box = newCFile(QStringLiteral("AB"));
        frmMDI::get()->mnuInsertPicture->trigger(); // no answer: the dialog is cancelled
        QCOMPARE(answers::last().question.title, QStringLiteral("Select Picture..."));
        QCOMPARE(box->Text(), QStringLiteral("AB"));
        QVERIFY(!box->TextRTF().contains("\\pict"));
    }

    void insertDirectory()
    {
        RichTextBox *box = newCFile(QString());
        ActiveForm()->SetCaption(QStringLiteral("/home/shooter/range.rtf"));
        frmMDI::get()->mnuInsertPathandFile->setEnabled(true);
        frmMDI::get()->mnuInsertPathandFile->trigger();
        QCOMPARE(box->Text(), QStringLiteral("/home/shooter/range.rtf"));
        box->SetText(QString());
        ActiveForm()->SetCaption(QStringLiteral("Document3"));
        frmMDI::get()->mnuInsertPathandFile->trigger();
        QCOMPARE(box->Text(), QString());
    }

    void popupItemsForward()
    {
        RichTextBox *box = newCFile(QStringLiteral("abc"));
        frmMDI *mdi = frmMDI::get();
        emit mdi->popMain->aboutToShow();
        mdi->popSelectAll->trigger();
        QCOMPARE(box->SelLength(), 3);
        mdi->popCaseUpper->trigger();
        QCOMPARE(box->Text(), QStringLiteral("ABC"));
    }
};

QTEST_MAIN(TestToolbars)
#include "tst_toolbars.moc"
