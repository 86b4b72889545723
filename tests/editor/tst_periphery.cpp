// The options dialog, the full-screen view, the folder side bar and files
// dropped on the main window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <memory>
#include <QFile>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/frmFScreen.h"
#include "editor/frmOptions.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "editor/modFileBar.h"
#include "platform/answers.h"
#include "platform/forms.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modApi.h"
#include "shell/modMain.h"

using namespace vt;

using vttest::newCFile;
using vttest::triggerItem;

namespace {

void pressFullScreen()
{
    QAction *b = toolButton(frmMDI::get()->tbrStandard, QStringLiteral("FullScreen"));
    QVERIFY(b);
    b->setEnabled(true);
    b->trigger();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QMimeData *fileList(const QStringList &paths)
{
    auto *m = new QMimeData;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    m->setUrls(urls);
    return m;
}

QTreeWidgetItem *childNamed(QTreeWidgetItem *node, const QString &name)
{
    for (int i = 0; i < node->childCount(); ++i)
        if (node->child(i)->text(0) == name)
            return node->child(i);
    return nullptr;
}

} // namespace

class TestPeriphery : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        vttest::startEditor();
        frmMDI::get()->resize(1000, 800);
    }
    void cleanup()
    {
        if (frmFScreen::isLoaded())
            delete frmFScreen::instance();
        if (frmOptions::isLoaded())
            delete frmOptions::instance();
        ViewMode = 0;
        vttest::stopEditor();
    }

    // --- options dialog -------------------------------------------------------

    void optionsMirrorTheMainWindow()
    {
        frmMDI *mdi = frmMDI::get();
        RichTextBox *box = newCFile(QStringLiteral("abc"));
        box->SetSelStart(0);
        box->SetSelLength(3);
        box->SetSelFontName(QStringLiteral("DejaVu Serif"));
        box->SetSelFontSize(14);
        mdi->setBandVisible(1, true);
        mdi->setBandVisible(2, false);
        mdi->SXB->setVisible(false);
        mdi->cbrRuler->setVisible(true);
        showFileBar(true);

        triggerItem("mnuXSetup");
        QVERIFY2(frmOptions::isLoaded(), qPrintable(vttest::boxTexts().join(u'|')));
        frmOptions *o = frmOptions::instance();
        QVERIFY(o->isVisible());
        QCOMPARE(o->windowTitle(), QStringLiteral("Options"));
        QCOMPARE(o->cmbOFontName->count(), mdi->cboFontName->count());
        QCOMPARE(o->cmbOFontSize->count(), mdi->cboFontSize->count());
        QCOMPARE(o->cmbOFontName->currentText(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(o->cmbOFontSize->currentText(), QStringLiteral("14"));
        QVERIFY(o->chkStandard->isChecked());
        QVERIFY(!o->chkFont->isChecked());
        QVERIFY(!o->chkStatusBar->isChecked());
        QVERIFY(o->chkRuler->isChecked());
        QVERIFY(o->chkFileTree->isChecked());
        // Only two bands exist: the other four can never show a thing.
        for (QCheckBox *c : {o->chkFormat, o->chkFile, o->chkEdit, o->chkWindow}) {
            QVERIFY(!c->isChecked());
            QVERIFY(!c->isEnabled());
        }
        QCOMPARE(o->cmbDocState->currentText(), QStringLiteral("Normal"));
        // The view mode follows the View menu's check mark.
        QRadioButton *const opts[3] = {o->optNoWrap, o->optWordWrap, o->optWYSIWYG};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(opts[i]->isChecked(), mdi->mnuViewMode[i]->isChecked());
    }

    void optionsTabsShowOnePage()
    {
        frmOptions::showDialog();
        frmOptions *o = frmOptions::instance();
        QCOMPARE(o->tbrOptions->count(), 4);
        QCOMPARE(o->tbrOptions->tabText(1), QStringLiteral("Jotrix"));
        QVERIFY(o->picGeneral->isVisible());
        o->tbrOptions->setCurrentIndex(3);
        QVERIFY(o->picFiles->isVisible());
        QVERIFY(!o->picGeneral->isVisible());
        o->tbrOptions->setCurrentIndex(0);
        QVERIFY(o->picGeneral->isVisible());
        for (QWidget *p : {o->picEditor, o->picView, o->picFiles})
            QVERIFY(!p->isVisible());
    }

    void applyHidesBandsAndKeepsTheDialog()
    {
        frmMDI *mdi = frmMDI::get();
        mdi->setBandVisible(1, true);
        mdi->setBandVisible(2, true);
        frmOptions::showDialog();
        frmOptions *o = frmOptions::instance();
        QVERIFY(o->chkStandard->isChecked() && o->chkFont->isChecked());
        o->chkStandard->setChecked(false);
        o->chkFont->setChecked(false);
        o->chkStatusBar->setChecked(true);
        o->chkFileTree->setChecked(true);
        const QString before = GetSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("StandardToolbar"),
                                          QStringLiteral("unset"));
        QTest::mouseClick(o->cmdApply, Qt::LeftButton);
        QVERIFY(frmOptions::isLoaded());
        QVERIFY(mdi->tbrStandard->isHidden());
        QVERIFY(mdi->tbrFormat->isHidden());
        QVERIFY(mdi->cbrBar->isHidden());
        QVERIFY(!mdi->mnuViewToolbarStandard->isChecked());
        QVERIFY(!mdi->mnuViewToolbarFormat->isChecked());
        QVERIFY(!mdi->SXB->isHidden());
        QVERIFY(mdi->mnuViewStatusBar->isChecked());
        QVERIFY(!picFileBar()->isHidden());
        // The dialog writes no settings.
        QCOMPARE(GetSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("StandardToolbar"),
                            QStringLiteral("unset")),
                 before);
    }

    void okWithoutCFileAppliesTheRest()
    {
        frmMDI *mdi = frmMDI::get();
        QVERIFY(!ActiveForm());
        frmOptions::showDialog();
        frmOptions *o = frmOptions::instance();
        o->cmbOFontName->setEditText(QStringLiteral("DejaVu Sans Mono"));
        o->cmbOFontSize->setEditText(QStringLiteral("11"));
        o->chkRuler->setChecked(true);
        QTest::mouseClick(o->cmdOk, Qt::LeftButton);
        QVERIFY(!frmOptions::isLoaded());
        QCOMPARE(mdi->cboFontName->currentText(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(mdi->cboFontSize->currentText(), QStringLiteral("11"));
        QVERIFY(!mdi->cbrRuler->isHidden());
        QVERIFY(mdi->mnuViewRuler->isChecked());
        QVERIFY(vttest::boxTexts().isEmpty());
    }

    void okSetsTheCFilesFontAndCancelChangesNothing()
    {
        RichTextBox *box = newCFile(QStringLiteral("text"));
        frmOptions::showDialog();
        frmOptions *o = frmOptions::instance();
        o->cmbOFontName->setEditText(QStringLiteral("DejaVu Sans Mono"));
        o->cmbOFontSize->setEditText(QStringLiteral("17"));
        QTest::mouseClick(o->cmdCancel, Qt::LeftButton);
        QVERIFY(!frmOptions::isLoaded());
        QVERIFY(box->font().family() != QStringLiteral("DejaVu Sans Mono"));

        frmOptions::showDialog();
        o = frmOptions::instance();
        o->cmbOFontName->setEditText(QStringLiteral("DejaVu Sans Mono"));
        o->cmbOFontSize->setEditText(QStringLiteral("17"));
        QTest::mouseClick(o->cmdOk, Qt::LeftButton);
        QCOMPARE(box->font().family(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(box->font().pointSizeF(), 17.0);
    }

    // --- full-screen view -----------------------------------------------------

    void fullScreenWithoutCFile()
    {
        pressFullScreen();
        QVERIFY(!frmFScreen::isLoaded());
        QCOMPARE(vttest::boxTexts(), QStringList{QStringLiteral("No Open CFile !")});
    }

    void fullScreenRoundTripKeepsTextAndFormat()
    {
        RichTextBox *box = newCFile(QStringLiteral("first line\r\nsecond line"));
        box->SetSelStart(0);
        box->SetSelLength(5);
        box->SetSelBold(true);
        box->SetSelStart(3);
        frmDocument *doc = ActiveForm();
        doc->bChanged = false;
        const QString text = box->Text();

        pressFullScreen();
        QVERIFY(frmFScreen::isLoaded());
        QVERIFY(frmFScreenB::isLoaded());
        frmFScreen *view = frmFScreen::instance();
        QVERIFY(view->isVisible());
        QCOMPARE(view->FSRTB->Text(), text);
        QCOMPARE(view->FSRTB->SelStart(), 0);
        // The whole CFile stays selected and went to the clipboard.
        QCOMPARE(box->SelLength(), box->TextLength());
        QCOMPARE(QApplication::clipboard()->text().replace(u'\n', QStringLiteral("\r\n")), text);
        frmFScreenB *bar = frmFScreenB::instance();
        QCOMPARE(bar->windowTitle(), QStringLiteral("   XView"));
        QVERIFY(bar->windowFlags() & Qt::WindowStaysOnTopHint);

        QTest::mouseClick(bar->cmdScreenClose, Qt::LeftButton);
        QVERIFY(!frmFScreen::isLoaded());
        QVERIFY(!frmFScreenB::isLoaded());
        QCOMPARE(box->Text(), text);
        box->SetSelStart(0);
        box->SetSelLength(5);
        QCOMPARE(box->SelBold(), std::optional<bool>(true));
        box->SetSelStart(6);
        box->SetSelLength(4);
        QCOMPARE(box->SelBold(), std::optional<bool>(false));
        QVERIFY(doc->bChanged);
    }

    void fullScreenEditsGoBackWithCaretAtStart()
    {
        RichTextBox *box = newCFile(QStringLiteral("old"));
        pressFullScreen();
        frmFScreen *view = frmFScreen::instance();
        view->FSRTB->SetSelStart(view->FSRTB->TextLength());
        view->FSRTB->SetSelText(QStringLiteral(" and new"));
        QTest::mouseClick(frmFScreenB::instance()->cmdScreenClose, Qt::LeftButton);
        QCOMPARE(box->Text(), QStringLiteral("old and new"));
        QCOMPARE(box->SelStart(), 0);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("old and new"));
    }

    void fullScreenOnEmptyCFile()
    {
        RichTextBox *box = newCFile(QString());
        ActiveForm()->bChanged = false;
        pressFullScreen();
        QTest::mouseClick(frmFScreenB::instance()->cmdScreenClose, Qt::LeftButton);
        QCOMPARE(box->Text(), QString());
        QVERIFY(ActiveForm()->bChanged);
    }

    void shotArrivingWhileOpenSurvives()
    {
        RichTextBox *box = newCFile(QStringLiteral("Header\r\n"));
        frmDocument *doc = ActiveForm();
        pressFullScreen();
        frmFScreen *view = frmFScreen::instance();
        // A shot goes to the end of the CFile, as capture writes it.
        box->SetSelStart(box->TextLength());
        box->SetSelText(QStringLiteral(" 1   2801 f/s\r\n"));
        // The user edits the view meanwhile.
        view->FSRTB->SetSelStart(0);
        view->FSRTB->SetSelText(QStringLiteral("Range day "));
        QTest::mouseClick(frmFScreenB::instance()->cmdScreenClose, Qt::LeftButton);
        QCOMPARE(doc->rtfText->Text(), QStringLiteral("Range day Header\r\n 1   2801 f/s\r\n"));
    }

    void writesBackIntoItsOwnCFileOnly()
    {
        RichTextBox *first = newCFile(QStringLiteral("one"));
        pressFullScreen();
        frmFScreen *view = frmFScreen::instance();
        RichTextBox *second = newCFile(QStringLiteral("two"));
        QVERIFY(ActiveForm()->rtfText == second);
        view->FSRTB->SetSelStart(0);
        view->FSRTB->SetSelText(QStringLiteral("edited "));
        QTest::mouseClick(frmFScreenB::instance()->cmdScreenClose, Qt::LeftButton);
        QCOMPARE(first->Text(), QStringLiteral("edited one"));
        QCOMPARE(second->Text(), QStringLiteral("two"));
    }

    void closedCFileGetsNothingAndNothingBreaks()
    {
        newCFile(QStringLiteral("gone soon"));
        frmDocument *doc = ActiveForm();
        pressFullScreen();
        frmFScreen *view = frmFScreen::instance();
        view->FSRTB->SetSelText(QStringLiteral("x"));
        RichTextBox *other = newCFile(QStringLiteral("other"));
        doc->bChanged = false;
        QVERIFY(doc->unload());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::mouseClick(frmFScreenB::instance()->cmdScreenClose, Qt::LeftButton);
        QVERIFY(!frmFScreen::isLoaded());
        QCOMPARE(other->Text(), QStringLiteral("other"));
    }

    void remoteKeepsTheViewOpen()
    {
        // The bar's Remote shows the keypad panel.
        struct KeyPadCount : vt::RemoteNbr {
            int shown = 0;
            void showKeyPad() override { ++shown; }
        } remote;
        vt::installRemote(&remote);
        const auto restore = qScopeGuard([] { vt::installRemote(nullptr); });
        newCFile(QStringLiteral("x"));
        pressFullScreen();
        QTest::mouseClick(frmFScreenB::instance()->cmdRemote, Qt::LeftButton);
        QCOMPARE(remote.shown, 1);
        QVERIFY(frmFScreen::isLoaded());
        QVERIFY(frmFScreenB::isLoaded());
    }

    // --- side bar -------------------------------------------------------------

    void sideBarExpandsFoldersOnce()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path() + u'/';
        QVERIFY(QDir(root).mkpath(QStringLiteral("alpha/inner")));
        QVERIFY(QDir(root).mkpath(QStringLiteral("beta")));
        writeFile(root + QStringLiteral("alpha/report.RTF"), "{\\rtf1 {\\b Bold} shot}");
        writeFile(root + QStringLiteral("alpha/notes.log"), "{\\rtf1 not rich here}");

        fillDrvTree({{root, QStringLiteral("data"), DriveRemovable}, {QStringLiteral("/"), QString(), DriveFixed}});
        auto *tree = frmMDI::get()->findChild<QTreeWidget *>(QStringLiteral("tvwFolders"));
        QVERIFY(tree);
        QCOMPARE(tree->topLevelItemCount(), 2);
        QTreeWidgetItem *drive = tree->topLevelItem(0);
        QCOMPARE(drive->text(0), root + QStringLiteral(" [DATA]"));
        QCOMPARE(drive->childCount(), 1); // the placeholder
        QCOMPARE(drive->child(0)->text(0), QString());

        drive->setExpanded(true);
        QCOMPARE(drive->childCount(), 2);
        QTreeWidgetItem *alpha = childNamed(drive, QStringLiteral("alpha"));
        QTreeWidgetItem *beta = childNamed(drive, QStringLiteral("beta"));
        QVERIFY(alpha && beta);
        QCOMPARE(alpha->childCount(), 1); // has a sub-folder: expandable
        QCOMPARE(beta->childCount(), 0);  // none: no expand mark
        // Read once: a folder made afterwards shows only after a refill.
        QVERIFY(QDir(root).mkpath(QStringLiteral("gamma")));
        drive->setExpanded(false);
        drive->setExpanded(true);
        QCOMPARE(drive->childCount(), 2);

        alpha->setExpanded(true);
        QVERIFY(childNamed(alpha, QStringLiteral("inner")));
        QVERIFY(vttest::boxTexts().isEmpty());

        // The file list shows the clicked folder; a click opens the file by
        // its extension: .RTF as rich text, anything else as plain text.
        tvwFolders_NodeClick(alpha);
        QCOMPARE(File1Path(), root + QStringLiteral("alpha/"));
        auto *list = frmMDI::get()->findChild<QListWidget *>(QStringLiteral("File1"));
        QCOMPARE(list->count(), 2);
        const struct {
            const char *name;
            const char *text;
        } cases[] = {{"report.RTF", "Bold shot"}, {"notes.log", "{\\rtf1 not rich here}"}};
        for (const auto &c : cases) {
            const int before = numOfCFIles();
            list->setCurrentItem(list->findItems(QString::fromLatin1(c.name), Qt::MatchExactly).value(0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->currentItem()).center());
            QCOMPARE(numOfCFIles(), before + 1);
            QCOMPARE(ActiveForm()->Caption(), root + QStringLiteral("alpha/") + QString::fromLatin1(c.name));
            QCOMPARE(ActiveForm()->rtfText->Text(), QString::fromLatin1(c.text));
            QVERIFY(!ActiveForm()->bChanged);
        }
    }

    void unreadableDeviceSaysSoOnce()
    {
        fillDrvTree({{QStringLiteral("/nonexistent-medium/"), QString(), DriveCDROM}});
        auto *tree = frmMDI::get()->findChild<QTreeWidget *>(QStringLiteral("tvwFolders"));
        QTreeWidgetItem *drive = tree->topLevelItem(0);
        drive->setExpanded(true);
        QCOMPARE(vttest::boxTexts(), QStringList{QStringLiteral("Device not avaible!")});
        QCOMPARE(answers::last().question.title, QStringLiteral("Jotrix"));
        QCOMPARE(answers::last().question.icon, QStringLiteral("Critical"));
        QCOMPARE(drive->childCount(), 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void mountedDrivesStartWithTheRoot()
    {
        const QList<DriveEntry> drives = mountedDrives();
        QVERIFY(!drives.isEmpty());
        QCOMPARE(drives.first().root, QStringLiteral("/"));
        for (const DriveEntry &d : drives)
            QVERIFY2(d.root.endsWith(u'/') && QFileInfo(d.root).isDir(), qPrintable(d.root));
        // The main window's load filled the tree.
        auto *tree = frmMDI::get()->findChild<QTreeWidget *>(QStringLiteral("tvwFolders"));
        QCOMPARE(tree->topLevelItemCount(), drives.size());
    }

    // --- dropped files ----------------------------------------------------------

    void threeDroppedFilesBecomeThreeCFiles()
    {
        QTemporaryDir tmp;
        const QStringList paths{tmp.filePath(QStringLiteral("a.rtf")), tmp.filePath(QStringLiteral("b.cap")),
                                tmp.filePath(QStringLiteral("c.txt"))};
        writeFile(paths[0], "{\\rtf1 alpha}");
        writeFile(paths[1], "{\\rtf1 beta}");
        writeFile(paths[2], "gamma");
        frmMDI *mdi = frmMDI::get();
        QVERIFY(mdi->acceptDrops());

        std::unique_ptr<QMimeData> text(new QMimeData);
        text->setText(QStringLiteral("just text"));
        QDragEnterEvent over(QPoint(50, 50), Qt::CopyAction, text.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(mdi, &over);
        QVERIFY(!over.isAccepted());

        std::unique_ptr<QMimeData> files(fileList(paths));
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, files.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(mdi, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, files.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(mdi, &drop);

        const QList<frmDocument *> docs = openCFiles();
        QCOMPARE(docs.size(), 3);
        const QStringList texts{QStringLiteral("alpha"), QStringLiteral("{\\rtf1 beta}"), QStringLiteral("gamma")};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(docs[i]->Caption(), paths[i]);
            QCOMPARE(docs[i]->rtfText->Text(), texts[i]);
            QVERIFY(!docs[i]->bChanged);
        }
        QCOMPARE(ActiveForm(), docs[2]);
    }

    void failedDropStopsQuietly()
    {
        QTemporaryDir tmp;
        const QString good = tmp.filePath(QStringLiteral("good.txt"));
        writeFile(good, "good");
        std::unique_ptr<QMimeData> files(
            fileList({good, tmp.filePath(QStringLiteral("missing.txt")), tmp.filePath(QStringLiteral("never.txt"))}));
        MDIForm_OLEDragDrop(files.get());
        QCOMPARE(numOfCFIles(), 2); // the good one and the window of the missing one
        QVERIFY(vttest::boxTexts().isEmpty());
    }
};

QTEST_MAIN(TestPeriphery)
#include "tst_periphery.moc"
