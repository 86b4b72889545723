// The remote panel with a CFile open, against the simulated chronograph: its
// operation buttons, the quiet gap of the delete keys, and the panel opened
// from the menu recording shots into the active CFile.
#include <QAction>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QComboBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMdiArea>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroProt.h"
#include "chrono/modCroTmr.h"
#include "common/cfilefixture.h"
#include "common/xlfixture.h"
#include "editor/frmDocument.h"
#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "export/modExpNbr.h"
#include "platform/answers.h"
#include "platform/ctlcolor.h"
#include "platform/msgbox.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "remote/frmCroSetup.h"
#include "remote/frmKeyPad.h"
#include "remote/frmRemCtr.h"
#include "remote/modRemoteNbr.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "shell/modStatus.h"
#include "tools/frmFind.h"
#include "tools/modEditorTools.h"
#include "sim/kt4sim.h"
#include "common/simline.h"

using namespace vt;
using vttest::boxTexts;

namespace {
const QString kCalQuestion = QStringLiteral("Calibrate the unit now..?");
const QString kNoAnswer = QStringLiteral("\r\nChronograph did not respond.\r\nCheck your setup or connections.");
} // namespace

class TestRemOps : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim;
    frmTerminal *term = nullptr;
    frmRemCtr *rem = nullptr;
    vttest::EditorFakes *fakes = nullptr;

    static QString log()
    {
        frmDocument *doc = ActiveForm();
        return doc ? doc->rtfText->Text() : QString();
    }
    static QString caption() { return frmMDI::instance()->windowTitle(); }
    // The panel's own boxes: the receive engine's notices aside.
    static QStringList panelBoxes()
    {
        QStringList out;
        for (const QString &t : boxTexts())
            if (!t.contains(QLatin1String("rUvuzu")))
                out << t;
        return out;
    }

private slots:
    void initTestCase() { QVERIFY(sim.start()); }

    void init()
    {
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        installChronoSubsystem();
        fakes = &vttest::startEditor();
        installRemoteSubsystem();
        ShowWarnKT = true;
        Device = 0;
        sim.reset();
        sim.options().pacing = false;
        QVERIFY(vttest::openSimLine(sim, term));
        rem = frmRemCtr::get();
        vttest::resetLinkRecords();
        RxRoute[0] = true;
        RxRoute[1] = false;
        CreateNewCFile();
        QVERIFY(ActiveForm());
        QTest::qWait(20);
        sim.clearReceived();
        sim.clearSent();
    }
    void cleanup()
    {
        if (frmRemCtr::isLoaded())
            frmRemCtr::instance()->hide();
        vttest::endLinkCase(term);
        QVERIFY(!croTask(0));
    }

    // Start, Stop, Remote and Calibrate run the unit's operations, and the
    // indicators colour the key of the mode the unit is in.
    void operationButtons()
    {
        answers::queueKeyed(kCalQuestion, QStringLiteral("No"));
        rem->cmdKeyStart->click();
        QVERIFY2(caption().contains(QLatin1String(" {Shoot} ")), qPrintable(caption()));
        QVERIFY(sim.unit().armed);
        QVERIFY(log().contains(QLatin1String("TAG: Start-{Date=")));
        QCOMPARE(BackColor(rem->cmdKeyStart), colGreen);
        QCOMPARE(BackColor(rem->cmdKeyStop), colLightGrey);

        rem->cmdKeyStop->click();
        QVERIFY2(caption().contains(QLatin1String(" {Edit}")), qPrintable(caption()));
        QVERIFY(!sim.unit().armed);
        QCOMPARE(BackColor(rem->cmdKeyStop), colGreen);
        QCOMPARE(BackColor(rem->cmdKeyStart), colLightGrey);

        sim.clearReceived();
        rem->cmdKeyRemo->click();
        QVERIFY(sim.received().endsWith(QByteArray("\x1bZD")));
        QVERIFY(caption().contains(QLatin1String(" {Remote} ")));
        QCOMPARE(BackColor(rem->cmdKeyRemo), colGreen);

        // Calibrate asks first (note 5); a No sends nothing.
        sim.clearReceived();
        fakes->notes.answer = vbNo;
        rem->cmdKeyCalibrate->click();
        QCOMPARE(fakes->notes.questions, QList<int>{5});
        QVERIFY(sim.received().isEmpty());
        fakes->notes.answer = vbYes;
        rem->cmdKeyCalibrate->click();
        QVERIFY(sim.received().contains('C'));
        QVERIFY(sim.unit().armed);
        QVERIFY(CroSta.croCalOk);
        QVERIFY2(log().contains(QLatin1String("REM: KT4 has been calibrated - Cal=")), qPrintable(log()));
        QVERIFY(!croTask(0));
        for (QPushButton *b : {rem->cmdKeyStart, rem->cmdKeyStop, rem->cmdKeyRemo, rem->cmdKeyCalibrate})
            QVERIFY(!b->accessibleName().isEmpty());
    }

    // Status reads the unit's status and opens the setup window with it; a
    // held lock refuses it before anything is sent.
    void statusButton()
    {
        {
            CroTaskGuard task;
            QVERIFY(!task.refused());
            answers::queue(QStringLiteral("No"));
            rem->cmdQStatus->click();
            QVERIFY(boxTexts().value(0).contains(QLatin1String("It is busy talking to")));
            QVERIFY(!frmCroSetup::isLoaded() || !frmCroSetup::instance()->isVisible());
        }
        QTest::qWait(50);
        QVERIFY(sim.received().isEmpty());

        rem->cmdQStatus->click();
        QVERIFY(sim.received().contains('Q'));
        QVERIFY(CroSta.croStaOk);
        QVERIFY(frmCroSetup::isLoaded() && frmCroSetup::instance()->isVisible());
        QCOMPARE(boxTexts().size(), 1);
        QVERIFY(!croTask(0));
        frmCroSetup::instance()->hide();
    }

    // While another task holds the lock, each operation asks about aborting
    // it and sends nothing.
    void operationsRefusedWhileBusy()
    {
        CroTaskGuard task;
        QVERIFY(!task.refused());
        for (QPushButton *b : {rem->cmdKeyStart, rem->cmdKeyStop, rem->cmdKeyRemo, rem->cmdKeyCalibrate}) {
            answers::queue(QStringLiteral("No"));
            b->click();
        }
        QTest::qWait(50);
        QVERIFY(sim.received().isEmpty());
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), 4);
        for (const QString &t : boxes)
            QVERIFY(t.contains(QLatin1String("It is busy talking to")));
        QVERIFY(fakes->notes.questions.isEmpty());
    }

    // The deletes and undeletes of a shot or a string give the unit 1900 ms
    // to begin its answer; the folder's keep the short default. A unit that
    // takes its time answers the first and fails the second.
    void deleteQuietGap_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<char>("byte");
        QTest::addColumn<QString>("failure");
        QTest::newRow("delete shot") << "cmdDelete0" << '\x1E' << "";
        QTest::newRow("delete string") << "cmdDelete1" << '\x1F' << "";
        QTest::newRow("undelete shot") << "cmdUnDelete0" << '\x1C' << "";
        QTest::newRow("undelete string") << "cmdUnDelete1" << '\x1D' << "";
        QTest::newRow("delete folder") << "cmdDelete2" << '\x01' << "Failed to Delete Folder";
        QTest::newRow("undelete folder") << "cmdUnDelete2" << '\x02' << "Failed to Undelete Folder";
    }
    void deleteQuietGap()
    {
        QFETCH(QString, button);
        QFETCH(char, byte);
        QFETCH(QString, failure);
        // Well past the default gap (250 ms), well inside the long one.
        sim.options().keyDelayMs[byte] = 600;
        RxRoute[1] = true;
        QPushButton *b = rem->findChild<QPushButton *>(button);
        QVERIFY(b);
        b->click();
        QCOMPARE(sim.received(), QByteArray(1, byte));
        const QStringList boxes = panelBoxes();
        if (failure.isEmpty()) {
            QVERIFY2(boxes.isEmpty(), qPrintable(boxes.value(0)));
            QVERIFY2(CroLnk.croLinkErr < croQuietGap, qPrintable(QString::number(CroLnk.croLinkErr)));
        } else {
            QCOMPARE(boxes, QStringList{failure + kNoAnswer + QStringLiteral("\r\ncLinkErr = 100")});
        }
        QVERIFY(!croTask(0));
    }

    // Interface > i&Pad shows the panel; its Shoot key switches Shoot mode on,
    // and ten shots of the unit land in the active CFile.
    void shootFromPanelOpenedByMenu()
    {
        frmMDI *mdi = frmMDI::instance();
        QAction *item = mdi->findChild<QAction *>(QStringLiteral("mnuRemCtr"));
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("i&Pad"));
        // The item is offered with Interface > More on.
        if (!mdi->mnuSelect->isChecked())
            mdi->mnuSelect->trigger();
        QVERIFY(item->isEnabled());
        item->trigger();
        QVERIFY(rem->isVisible());
        rem->cmdCapMode[1]->click();
        QVERIFY(RxRoute[1]);
        QVERIFY(rem->cmdCapMode[1]->isChecked());
        QVERIFY2(!caption().contains(QLatin1String("{Edit}")), qPrintable(caption()));

        sim.unit().armed = true;
        const double speeds[10] = {301.1, 302.2, 303.3, 304.4, 305.5, 306.6, 307.7, 308.8, 309.9, 310.5};
        for (double v : speeds)
            sim.fireShot(v);
        QVERIFY(sim.waitIdle());
        QTRY_VERIFY2(log().contains(QLatin1String("310.5")), qPrintable(log()));
        const QString text = log();
        for (double v : speeds)
            QVERIFY2(text.contains(QString::number(v, 'f', 1)), qPrintable(text));
        QCOMPARE(text.count(QLatin1String("CAP:")), 10);
        QVERIFY(panelBoxes().isEmpty());

        // Its Edit key ends it; the menu item hides the panel again.
        rem->cmdCapMode[0]->click();
        QVERIFY(!RxRoute[1]);
        item->trigger();
        QVERIFY(!rem->isVisible());
        QVERIFY(mdi->isEnabled());
    }

    // The keypad panel's keys are the panel's: the same refusal in Edit mode,
    // the same bytes, the same failure box; its display follows the answers.
    void keypadKeys()
    {
        frmKeyPad *pad = frmKeyPad::get();
        pad->showKeyPad();
        QVERIFY(pad->isVisible());
        pad->cmdWaitKey[0]->click();
        QCOMPARE(fakes->notes.notes, (QList<QPair<int, int>>{{8, 0}}));
        QTest::qWait(50);
        QVERIFY(sim.received().isEmpty());

        RxRoute[1] = true;
        pad->cmdWaitKey[0]->click();
        pad->cmdWaitKey[8]->click();
        pad->cmdCroMode[1]->click();
        QCOMPARE(sim.received(), QByteArray("\x15\x1e" "S"));
        QTRY_VERIFY2(pad->txtKeyPadLcd->toPlainText().endsWith(QLatin1String("STS>")),
                     qPrintable(pad->txtKeyPadLcd->toPlainText()));
        QVERIFY(pad->txtKeyPadLcd->toPlainText().count(u'\n') < frmKeyPad::kLcdLines);
        pad->cmdKeyEsc->click();
        QVERIFY(sim.waitForReceived(4));
        QCOMPARE(sim.received().at(3), '\x1b');
        QVERIFY(panelBoxes().isEmpty());

        sim.options().silentKeys = QByteArray("\x0b");
        RxRoute[1] = true;
        pad->findChild<QPushButton *>(QStringLiteral("cmdKeyPgUpDw0"))->click();
        QCOMPARE(panelBoxes(),
                 QStringList{QStringLiteral("Failed to Increment Folder") + kNoAnswer + QStringLiteral("\r\ncLinkErr = 100")});
        for (QPushButton *b : pad->findChildren<QPushButton *>())
            QVERIFY(!b->accessibleName().isEmpty());

        frmMDI::instance()->setEnabled(false);
        pad->cmdKeyPadClose->click();
        QVERIFY(!pad->isVisible());
        QVERIFY(frmMDI::instance()->isEnabled());
    }

    // Download into a new CFile: the dump lands there, not in the CFile that
    // Shoot mode writes into, and Shoot mode stays on.
    void downloadToNewCFile()
    {
        frmDocument *first = ActiveForm();
        RxRoute[1] = true;
        sim.unit().shots(1, 2) = {{301.5, 70, false}, {302.5, 70, false}};
        rem->optDwnSrc[0]->click();
        rem->optDwnDes[1]->click();
        rem->optDwnDesCFileNew->click();
        rem->cmdDownload->click();
        QCOMPARE(sim.received(), QByteArray("[D1"));
        QVERIFY2(panelBoxes().isEmpty(), qPrintable(panelBoxes().value(0)));
        QCOMPARE(openCFiles().size(), 2);
        frmDocument *made = ActiveForm();
        QVERIFY(made && made != first);
        const QString text = made->rtfText->Text();
        QVERIFY2(text.contains(QLatin1String("MMR:<Begin> Fol=01 Str=02 Siz=02")), qPrintable(text));
        QVERIFY(text.contains(QLatin1String("302.5")));
        QVERIFY(!first->rtfText->Text().contains(QLatin1String("MMR:")));
        QVERIFY(RxRoute[1]);
        QVERIFY(!croTask(0));
    }

    // The user's way to the panel: it is a window of its own, on top and
    // active, while the CFiles stay in the main window behind it.
    void activatePanel()
    {
        rem->show();
        rem->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rem));
    }

    // The lines of a text that begin with `tag`.
    static QStringList linesWith(const QString &text, const QString &tag)
    {
        QStringList out;
        for (const QString &l : text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts))
            if (l.startsWith(tag))
                out << l;
        return out;
    }

    // The whole eDisk into a new CFile, from the panel on top of the main
    // window, while the unit is armed and shots arrive before and after the
    // dump: every dump line lands in the new CFile and nowhere else, no live
    // shot lands among them, and in Shoot mode the shots stay in the CFile
    // that takes them.
    // The third case sends at the line's pace for longer than the unit's
    // long-operation limit (shortened here, as a whole eDisk at 4800 baud
    // outlasts the real one): a dump that keeps coming is not given up.
    void eDiskDumpIntoNewCFile_data()
    {
        QTest::addColumn<bool>("shoot");
        QTest::addColumn<int>("strings");
        QTest::newRow("Edit mode") << false << 10;
        QTest::newRow("Shoot mode") << true << 10;
        QTest::newRow("Shoot mode, past the long-operation limit") << true << 2;
    }
    void eDiskDumpIntoNewCFile()
    {
        QFETCH(bool, shoot);
        QFETCH(int, strings);
        const bool paced = strings < 10;
        frmDocument *shotLog = ActiveForm();
        QString held;
        for (int i = 1; i <= 2000; ++i)
            held += QStringLiteral("CAP:%1 290.0 f/s 0.450 sec 72.0 fah 01:01\r\n").arg(i, 5, 10, QLatin1Char('0'));
        shotLog->rtfText->SetText(held);
        // A full eDisk: ten folders of ten strings of twelve shots.
        for (int f = 1; f <= 10; ++f)
            for (int s = 1; s <= strings; ++s) {
                QVector<sim::StoredShot> &str = sim.unit().shots(f, s);
                str.clear();
                for (int i = 0; i < 12; ++i)
                    str.append({300.0 + i, 70.0, false});
            }
        sim.unit().armed = true;
        rem->RefreshCFile();
        activatePanel();
        if (shoot) {
            rem->cmdCapMode[1]->click();
            QVERIFY(RxRoute[1]);
            sim.fireShot(401.1);
            QTRY_VERIFY(shotLog->rtfText->Text().contains(QLatin1String("401.1")));
        }
        // One shot comes right after the dump key, one right after the dump.
        const auto conn = connect(&sim, &sim::Kt4Sim::keyReceived, this, [this](int key) {
            if (key != '3')
                return;
            sim.fireShot(402.2);
            QMetaObject::invokeMethod(this, [this] { sim.fireShot(403.3); }, Qt::QueuedConnection);
        });
        const auto restore = qScopeGuard([conn] { disconnect(conn); });
        if (paced) {
            // About three seconds of dump against a limit of one.
            sim.options().pacing = true;
            sim.options().baud = 38400;
            croTimesHook = [](CroKeyTimes &t) {
                if (t.longOp)
                    t.gPeriodSec = 1;
            };
        }
        const auto unhook = qScopeGuard([] { croTimesHook = nullptr; });
        rem->optDwnSrc[2]->click();
        rem->optDwnDes[1]->click();
        rem->optDwnDesCFileNew->click();
        rem->cmdDownload->click();
        QCOMPARE(sim.received(), QByteArray("[D3"));
        QVERIFY2(panelBoxes().isEmpty(), qPrintable(panelBoxes().value(0)));
        QCOMPARE(openCFiles().size(), 2);
        frmDocument *made = openCFiles().last();
        QVERIFY(made != shotLog);

        const QStringList dump = linesWith(QString::fromLatin1(sim.sent()), QStringLiteral("MMR:"));
        QVERIFY(dump.size() > (paced ? 280 : 1400));
        const QString got = made->rtfText->Text();
        QCOMPARE(linesWith(got, QStringLiteral("MMR:")), dump);
        QCOMPARE(linesWith(got, QStringLiteral("CAP:")), QStringList());
        QVERIFY(!shotLog->rtfText->Text().contains(QLatin1String("MMR:")));
        QVERIFY(shotLog->rtfText->Text().startsWith(held));
        if (shoot) {
            QVERIFY(RxRoute[1]);
            sim.fireShot(404.4);
            for (const char *v : {"402.2", "403.3", "404.4"})
                QTRY_VERIFY2(shotLog->rtfText->Text().contains(QLatin1String(v)), v);
            QVERIFY(!made->rtfText->Text().contains(QLatin1String("404.4")));
        } else {
            QCOMPARE(linesWith(shotLog->rtfText->Text(), QStringLiteral("CAP:")).size(), 2000);
        }
        QVERIFY(!croTask(0));
    }

    // A Shoot session keeps its CFile: shots stay in the CFile that took them
    // when the session began, through a download into a new CFile, clicks
    // into other CFiles and an export of another CFile; they move when the
    // user picks another CFile in the panel's list or with a CFile's pop-up
    // menu. The receiving CFile's title carries the mark and the status bar
    // names it.
    void shotsStayInTheSessionCFile()
    {
        installExportSubsystem();
        vttest::resetExport();
        vttest::seedTemplate();
        const auto restore = qScopeGuard([] {
            vttest::resetExport();
            installExport(nullptr);
        });
        frmMDI *mdi = frmMDI::instance();
        frmDocument *first = ActiveForm();
        frmDocument *other = createCFile();
        QVERIFY(other && other != first);
        other->rtfText->SetText(QStringLiteral("CAP:00001 290.5 f/s 0.450 sec 72.0 fah 01:01_Av 290.5\r\n"));
        auto clickInto = [mdi](frmDocument *doc) {
            mdi->showNormal();
            mdi->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(mdi));
            QTest::mouseClick(doc->rtfText->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(ActiveForm(), doc);
        };
        auto marked = [](frmDocument *doc) { return doc->subWindow()->windowTitle().endsWith(kShotMark); };
        auto shotInto = [this](frmDocument *to, frmDocument *notTo, double v) {
            sim.fireShot(v);
            const QString text = QString::number(v, 'f', 1);
            QTRY_VERIFY2(to->rtfText->Text().contains(text), qPrintable(text));
            QVERIFY2(!notTo->rtfText->Text().contains(text), qPrintable(text));
        };
        clickInto(first);
        rem->RefreshCFile();
        activatePanel();
        rem->cmdCapMode[1]->click();
        QVERIFY(RxRoute[1]);
        QVERIFY(marked(first));
        QVERIFY(!marked(other));
        QVERIFY(mdi->sxbShots->isVisible());
        QCOMPARE(mdi->sxbShots->text(), QStringLiteral("Shots into: ") + first->Caption());
        const int firstRow = int(openCFiles().indexOf(first));
        QVERIFY(rem->lstHwrDesCFile->item(firstRow)->text().endsWith(QLatin1String(" (Current)")));
        sim.unit().armed = true;
        shotInto(first, other, 301.1);

        // A one-string download into a new CFile: the dump goes there, the
        // next shots still into the session's CFile.
        rem->optDwnSrc[0]->click();
        rem->optDwnDes[1]->click();
        rem->optDwnDesCFileNew->click();
        rem->cmdDownload->click();
        QCOMPARE(openCFiles().size(), 3);
        frmDocument *made = openCFiles().last();
        QVERIFY(made->rtfText->Text().contains(QLatin1String("MMR:<Begin>")));
        shotInto(first, made, 302.2);
        QVERIFY(marked(first));
        QVERIFY(!marked(made));

        // A click into another CFile, and an export of it.
        clickInto(other);
        shotInto(first, other, 303.3);
        mdi->mnuExpExcCFi->trigger();
        QVERIFY2(xlBookOk, qPrintable(boxTexts().join(QStringLiteral(" | "))));
        shotInto(first, other, 304.4);
        QCOMPARE(mdi->sxbShots->text(), QStringLiteral("Shots into: ") + first->Caption());

        // The user picks the other CFile in the panel's list.
        activatePanel();
        const int row = int(openCFiles().indexOf(other));
        rem->lstHwrDesCFile->setCurrentRow(row);
        emit rem->lstHwrDesCFile->itemClicked(rem->lstHwrDesCFile->item(row));
        shotInto(other, first, 305.5);
        QVERIFY(marked(other));
        QVERIFY(!marked(first));
        QCOMPARE(mdi->sxbShots->text(), QStringLiteral("Shots into: ") + other->Caption());
        QVERIFY(rem->lstHwrDesCFile->item(row)->text().endsWith(QLatin1String(" (Current)")));

        // ... and back with the first CFile's pop-up menu (its Remote).
        clickInto(first);
        QTest::mouseClick(first->rtfText->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        mdi->popRemRemo->trigger();
        mdi->popMain->hide();
        QVERIFY(!croTask(0));
        QVERIFY(RxRoute[1]);
        QVERIFY(marked(first));
        sim.unit().armed = true;
        shotInto(first, other, 306.6);

        // Edit mode: no CFile takes shots, nothing is marked.
        rem->cmdCapMode[0]->click();
        QVERIFY(!RxRoute[1]);
        for (frmDocument *doc : openCFiles())
            QVERIFY(!marked(doc));
        QVERIFY(!mdi->sxbShots->isVisible());
    }

    // Find and Find Next search the CFile the user looks at, whole, while
    // shots arrive at its end: the user watched the shots with the caret at
    // the end and had searched this CFile before; every "fah" of the shot
    // lines is found once, the ones that arrive between two Finds too.
    void findDuringCapture()
    {
        installEditorTools();
        const auto restore = qScopeGuard([] {
            if (frmFind::isLoaded())
                delete frmFind::instance();
            installTools(nullptr);
        });
        frmMDI *mdi = frmMDI::instance();
        frmDocument *first = ActiveForm();
        RichTextBox *box = first->rtfText;
        box->SetText(QStringLiteral("Range day\r\n"));
        QAction *findItem = mdi->findChild<QAction *>(QStringLiteral("mnuSearchFind"));
        findItem->trigger();
        frmFind *f = frmFind::instance();
        QVERIFY(f && f->isVisible());
        f->cboText[0]->setEditText(QStringLiteral("Range"));
        f->cmdFind->click();
        QCOMPARE(box->SelText(), QStringLiteral("Range"));
        frmDocument *other = createCFile();
        other->rtfText->SetText(QStringLiteral("notes fah\r\n"));
        mdi->mdiArea->setActiveSubWindow(first->subWindow());
        QCOMPARE(ActiveForm(), first);

        rem->cmdCapMode[1]->click();
        QVERIFY(RxRoute[1]);
        sim.unit().armed = true;
        box->SetSelStart(box->TextLength());
        auto shot = [&](double v) {
            sim.fireShot(v);
            QTRY_VERIFY(box->Text().contains(QString::number(v, 'f', 1)));
        };
        shot(301.1);
        shot(302.2);

        // Finds, with a shot arriving after each, until nothing is left.
        f->cboText[0]->setEditText(QStringLiteral("fah"));
        QList<int> hits;
        for (int i = 0; i < 20; ++i) {
            const qsizetype asked = answers::asked().size();
            if (i % 2 == 1 && mdi->mnuSearchFindNext->isEnabled())
                mdi->mnuSearchFindNext->trigger();
            else
                f->cmdFind->click();
            bool notFound = false;
            for (qsizetype k = asked; k < answers::asked().size(); ++k)
                notFound |= answers::asked()[k].question.text.startsWith(QLatin1String("Text Not Found"));
            if (notFound)
                break;
            QCOMPARE(box->SelText(), QStringLiteral("fah"));
            hits << box->SelStart();
            if (i < 3)
                shot(303.3 + i);
        }
        QCOMPARE(hits.size(), int(box->Text().count(QLatin1String("fah"))));
        QCOMPARE(hits.size(), 5);
        for (int i = 1; i < hits.size(); ++i)
            QVERIFY(hits[i] > hits[i - 1]);
        QVERIFY(!other->rtfText->SelLength());
    }

    // Download into a CFile chosen from the list; without a choice nothing is
    // sent.
    void downloadToChosenCFile()
    {
        frmDocument *first = ActiveForm();
        CreateNewCFile();
        frmDocument *second = ActiveForm();
        QVERIFY(second && second != first);
        rem->RefreshCFile();
        rem->optDwnSrc[2]->click();
        rem->optDwnDes[1]->click();
        rem->optDwnDesCFileSel->click();
        rem->lstDwnDesCFile->setCurrentRow(-1);
        rem->cmdDownload->click();
        QCOMPARE(panelBoxes(), QStringList{QStringLiteral("You must Select a CFile")});
        QVERIFY(sim.received().isEmpty());

        const int row = int(openCFiles().indexOf(first));
        QVERIFY(row >= 0);
        rem->lstDwnDesCFile->setCurrentRow(row);
        rem->cmdDownload->click();
        QCOMPARE(sim.received(), QByteArray("[D3"));
        QCOMPARE(openCFiles().size(), 2);
        QVERIFY2(first->rtfText->Text().contains(QLatin1String("MMR:<End> Fol=10")), qPrintable(first->rtfText->Text()));
        QVERIFY(!second->rtfText->Text().contains(QLatin1String("MMR:")));
    }

    // The Hardware pane shows where the live link's shots go: choosing an open
    // CFile makes it the active one, so Shoot mode writes the shots there; the
    // workbook frame shows the export's next cell.
    void liveLinkDestinations()
    {
        struct Target : ExportNbr {
            LinkTarget xlLinkTarget() override { return {QStringLiteral("Book1"), QStringLiteral("Capture"), 12}; }
        } exportFake;
        installExport(&exportFake);
        const auto restore = qScopeGuard([] { installExport(nullptr); });
        frmDocument *first = ActiveForm();
        CreateNewCFile();
        frmDocument *second = ActiveForm();
        QVERIFY(second && second != first);
        rem->RefreshCFile();
        QListWidget *list = rem->lstHwrDesCFile;
        QCOMPARE(list->count(), 2);
        const int row = int(openCFiles().indexOf(first));
        QVERIFY(list->item(1 - row)->text().endsWith(QLatin1String(" (Current)")));

        rem->optHwrDesCFileNew->click();
        QVERIFY(rem->txtHwrDesCFile->isEnabled());
        QVERIFY(!list->isEnabled());
        rem->optHwrDesCFileSel->click();
        QVERIFY(list->isEnabled());
        list->setCurrentRow(row);
        emit list->itemClicked(list->item(row));
        QCOMPARE(ActiveForm(), first);
        QVERIFY(list->item(row)->text().endsWith(QLatin1String(" (Current)")));

        rem->cmdCapMode[1]->click();
        sim.unit().armed = true;
        sim.fireShot(333.3);
        QVERIFY(sim.waitIdle());
        QTRY_VERIFY2(first->rtfText->Text().contains(QLatin1String("333.3")), qPrintable(first->rtfText->Text()));
        QVERIFY(!second->rtfText->Text().contains(QLatin1String("333.3")));

        rem->setLinkBox(2, false);
        QCOMPARE(rem->txtHwrDesExc->text(), QStringLiteral("Book1"));
        QCOMPARE(rem->txtHwrDesExcSheet->text(), QStringLiteral("Capture"));
        QCOMPARE(rem->labHwrDesExcCell->text(), QStringLiteral("Next cell: A12"));
    }

    void entryDigits_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("shown");
        QTest::newRow("full") << "1.2.3.4" << "1:.-4";
        QTest::newRow("positions") << "12345678" << "1:4-7";
        QTest::newRow("short") << "12" << "1:-";
        QTest::newRow("empty") << "" << ":-";
    }
    void entryDigits()
    {
        QFETCH(QString, entry);
        QFETCH(QString, shown);
        QCOMPARE(frmRemCtr::entDbgText(entry), shown);
    }
};

QTEST_MAIN(TestRemOps)
#include "tst_remOps.moc"
