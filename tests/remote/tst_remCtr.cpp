// The remote-control panel's frame: its command lists read from vantcmds.ini,
// list keys sent only in Shoot mode, its panes, its progress log, and showing
// and hiding it (and the keypad panel) from the main window.
#include <QTest>

#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "remote/frmKeyPad.h"
#include "remote/frmRemCtr.h"
#include "remote/modRemCmds.h"
#include "remote/modRemoteNbr.h"
#include "serial/frmTerminal.h"
#include "serial/modCapLog.h"
#include "serial/modRxEngine.h"
#include "shell/frmMDI.h"
#include "shell/modCrsFrms.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStatus.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolBar>

using namespace vt;
using vttest::boxTexts;

namespace {

struct Serial : vttest::FakeSerial {
    QString received;
    QString termText() override { return received; }
};

void writeFile(const QString &path, const QStringList &lines)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
}

} // namespace

class TestRemCtr : public QObject {
    Q_OBJECT
    Serial serial;
    std::unique_ptr<QTemporaryDir> cwd;
    QString oldCwd;

private slots:
    void init()
    {
        oldCwd = QDir::currentPath();
        cwd = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(cwd->path());
        vttest::startEditor();
        serial = Serial{};
        installSerial(&serial);
        installRemoteSubsystem();
    }
    void cleanup()
    {
        if (frmKeyPad::isLoaded())
            frmKeyPad::instance()->unload(vbFormCode);
        if (frmRemCtr::isLoaded())
            frmRemCtr::instance()->unload(vbFormCode);
        vttest::stopEditor();
        QDir::setCurrent(oldCwd);
        cwd.reset();
    }

    void parseLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("skipped");
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("label");
        QTest::newRow("seven characters") << ".00A 0 " << true << 0 << 0 << 0 << "";
        QTest::newRow("seven dots") << ".......x1A 0 Label" << true << 0 << 0 << 0 << "";
        QTest::newRow("plain key") << ".20D 0 Data" << false << 0 << 2 << int('D') << "Data";
        QTest::newRow("control key") << ".31A 0 Folder" << false << 0 << 3 << 1 << "Folder";
        QTest::newRow("control escape") << ".01[ 0 Esc" << false << 0 << 0 << 27 << "Esc";
        QTest::newRow("indent 40") << ".10Z40 Z" << false << 0 << 1 << int('Z') << QString(40, u' ') + "Z";
        QTest::newRow("indent 41") << ".10Z41 Z" << false << 1000 << 1 << int('Z') << "Z";
        QTest::newRow("list 4") << ".40Z 0 Z" << false << 100 << 4 << int('Z') << "Z";
        QTest::newRow("no dot") << "x00Z 0 Z" << false << 10 << 0 << int('Z') << "Z";
        QTest::newRow("no dot, list 4") << "x40Z 0 Z" << false << 110 << 4 << int('Z') << "Z";
    }
    void parseLine()
    {
        QFETCH(QString, line);
        QFETCH(bool, skipped);
        QFETCH(int, err);
        const RemCmdLine r = parseRemCmdLine(line);
        QCOMPARE(r.skipped, skipped);
        if (skipped)
            return;
        QCOMPARE(r.errSum, err);
        QTEST(int(r.entry.list), "list");
        QTEST(int(r.entry.code), "code");
        QTEST(r.entry.label, "label");
    }

    void indentNotANumberFails()
    {
        QVERIFY_THROWS_EXCEPTION(RtError, parseRemCmdLine(QStringLiteral(".00Zab Z")));
    }

    // Reading stops at the first bad line; what came before stays.
    void badLineStopsReading()
    {
        const QString path = cwd->filePath(QStringLiteral("vantcmds.ini"));
        writeFile(path, {".00D 0 Data", "....... comment", "x40Z 0 Bad", ".00S 0 never"});
        const QList<RemCmdEntry> got = readRemCmds(path);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].label, QStringLiteral("Data"));
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("RemCtr-Err:110 Str:x40Z 0 Bad")});
    }

    void hundredAndFirstEntryEndsReading()
    {
        const QString path = cwd->filePath(QStringLiteral("vantcmds.ini"));
        QStringList lines;
        for (int i = 0; i < 102; ++i)
            lines << QStringLiteral(".20D 0 Entry %1").arg(i);
        writeFile(path, lines);
        QCOMPARE(readRemCmds(path).size(), 101);
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("RemCtr-Err:10000 Str:.20D 0 Entry 100")});
    }

    void missingFileAndBadIndentBoxes()
    {
        QVERIFY(readRemCmds(cwd->filePath(QStringLiteral("none.ini"))).isEmpty());
        const QString path = cwd->filePath(QStringLiteral("vantcmds.ini"));
        writeFile(path, {".00D 0 Data", ".00Dxx Bad"});
        QCOMPARE(readRemCmds(path).size(), 1);
        QCOMPARE(boxTexts(), (QStringList{QStringLiteral("File: vantcmds.ini Err:0\r\nInput:()"),
                                          QStringLiteral("File: vantcmds.ini Err:0\r\nInput:(.00Dxx Bad)")}));
    }

    // The current folder's file wins over the program folder's; the shipped
    // file reads without a complaint.
    void fileLookedForInCurrentFolderFirst()
    {
        const QString shipped = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../resources/vantcmds.ini");
        QVERIFY(!remCmdsPath().startsWith(cwd->path()));
        QFile::remove(remCmdsPath());
        QDir().mkpath(QFileInfo(remCmdsPath()).path());
        QVERIFY(QFile::copy(shipped, remCmdsPath()));
        frmRemCtr *p = frmRemCtr::get();
        p->lodRemCtr();
        QVERIFY(boxTexts().isEmpty());
        QVERIFY(p->lstCtrAscLow[0]->count() > 0);
        QVERIFY(p->lstCtrAscLow[3]->count() > 0);

        writeFile(cwd->filePath(QStringLiteral("vantcmds.ini")), {".10Q 0 Only"});
        QCOMPARE(remCmdsPath(), QDir(cwd->path()).absoluteFilePath(QStringLiteral("vantcmds.ini")));
        p->lodRemCtr();
        QCOMPARE(p->lstCtrAscLow[0]->count(), 0);
        QCOMPARE(p->lstCtrAscLow[1]->count(), 1);
    }

    // A list key needs Shoot mode: the first click only turns it on.
    void listKeySentOnlyInShootMode()
    {
        writeFile(cwd->filePath(QStringLiteral("vantcmds.ini")), {".01[ 0 Escape", ".00Q 0 Status"});
        serial.open = true;
        frmRemCtr *p = frmRemCtr::get();
        p->lodRemCtr();
        QCOMPARE(p->lstCtrAscLow[0]->count(), 2);
        RxRoute[1] = false;
        auto &notes = dynamic_cast<vttest::FakeNotes &>(nbrNotes());
        p->lstCtrAscLow[0]->setCurrentRow(1);
        p->lstCtrAscLow_Click(0);
        QCOMPARE(serial.sent, QString());
        QVERIFY(RxRoute[1]);
        // The note on the command list, not the spreadsheet's.
        QCOMPARE(notes.notes, (QList<QPair<int, int>>{{7, 1}}));
        p->lstCtrAscLow_Click(0);
        QCOMPARE(serial.sent, QStringLiteral("Q"));
        QVERIFY(p->windowTitle().endsWith(QStringLiteral("Key-Q")));
        p->lstCtrAscLow[0]->setCurrentRow(0);
        p->lstCtrAscLow_Click(0);
        QCOMPARE(serial.sent, QStringLiteral("Q\x1b"));
        QVERIFY(p->windowTitle().endsWith(QStringLiteral("Key-Ctrl-[")));
        // A closed port drops the key.
        serial.open = false;
        p->lstCtrAscLow_Click(0);
        QCOMPARE(serial.sent, QStringLiteral("Q\x1b"));
    }

    // Start, Pause, Resume and Close from the panel: its pause and resume
    // stop and restart the recording without a stamp, and every button and
    // the terminal's items follow the log's state.
    void captureLogFromThePanel()
    {
        frmRemCtr *p = frmRemCtr::get();
        p->lodRemCtr();
        frmTerminal *term = frmTerminal::get();
        struct Closed {
            ~Closed() { frmTerminal::get()->mnuCloseLog_Click(); }
        } closed;
        term->mnuCloseLog_Click();
        RxRoute[0] = true;
        auto feed = [term](QString text) { term->putRxData(term->txtTerm, text); };
        auto states = [p, term] {
            QString s;
            for (int i = 1; i <= 5; ++i)
                s += p->cmdHwrCLog[i]->isEnabled() ? u'1' : u'0';
            s += u'/';
            for (QAction *a : {term->mnuOpenLog, term->mnuCLogStart, term->mnuCloseLog, term->mnuCLogPaz, term->mnuCLogRes})
                s += a->isEnabled() ? u'1' : u'0';
            return s;
        };
        QCOMPARE(states(), QStringLiteral("11000/11000"));
        p->txtHwrCLogPath->setText(cwd->path() + u'/');
        p->txtHwrCLogFile->setText(QStringLiteral("s4.txt"));

        p->cmdHwrCLog[2]->click();
        QCOMPARE(states(), QStringLiteral("00110/00110"));
        QVERIFY(!p->txtHwrCLogFile->isEnabled());
        feed(QStringLiteral("A1\r\n"));
        p->cmdHwrCLog[4]->click();
        QVERIFY(cLogFile != 0 && !cLogOn);
        QCOMPARE(states(), QStringLiteral("00101/00101"));
        feed(QStringLiteral("hidden\r\n"));
        p->cmdHwrCLog[5]->click();
        QCOMPARE(states(), QStringLiteral("00110/00110"));
        feed(QStringLiteral("B2\r\n"));
        p->cmdHwrCLog[3]->click();
        QCOMPARE(states(), QStringLiteral("11000/11000"));
        QVERIFY(term->windowTitle().endsWith(QStringLiteral("(Log turned off)")));

        QFile f(cwd->filePath(QStringLiteral("s4.txt")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray log = f.readAll();
        QVERIFY(log.startsWith("\r\n\r\nTAG:Start-{Date="));
        QCOMPARE(log.count("TAG:"), 2);
        const qsizetype a = log.indexOf("A1\r\n"), b = log.indexOf("B2\r\n"), close = log.indexOf("TAG:Close-");
        QVERIFY(a > 0 && a < b && b < close);
        QVERIFY(!log.contains("hidden"));
        // Open from the panel goes through the terminal's dialog.
        answers::queue(QStringLiteral("Cancel"));
        p->cmdHwrCLog[1]->click();
        QCOMPARE(answers::last().question.title, QStringLiteral("Open CLog File"));
        QCOMPARE(cLogFile, int16_t(0));
    }

    // Both CFile lists name the open CFiles from the first one on, keep the
    // user's pick, and follow captions, closes and the active CFile.
    void cfileListsFollowTheCFiles()
    {
        frmRemCtr *p = frmRemCtr::get();
        p->lodRemCtr();
        RxRoute[1] = false;
        auto texts = [](QListWidget *l) {
            QStringList t;
            for (int i = 0; i < l->count(); ++i)
                t << l->item(i)->text();
            return t;
        };
        auto both = [&](const QStringList &want) {
            QCOMPARE(texts(p->lstDwnDesCFile), want);
            QCOMPARE(texts(p->lstHwrDesCFile), want);
        };
        both({QStringLiteral("No Active CFiles")});
        // As start-up makes its first CFile.
        CreateNewCFile();
        frmDocument *one = ActiveForm();
        QVERIFY(one);
        both({one->windowTitle() + QStringLiteral(" (Current)")});

        frmDocument *two = createCFile();
        both({one->windowTitle(), two->windowTitle() + QStringLiteral(" (Current)")});
        // "Open CFile" as the download's destination: the pick stays while
        // CFiles come and go.
        p->optDwnDes[1]->click();
        p->optDwnDesCFileSel->click();
        p->lstDwnDesCFile->setCurrentRow(0);
        frmDocument *three = createCFile();
        QCOMPARE(p->lstDwnDesCFile->count(), 3);
        QVERIFY(p->lstDwnDesCFile->currentItem());
        QCOMPARE(p->lstDwnDesCFile->currentItem()->text(), one->windowTitle());
        QCOMPARE(p->txtDwnDesSee->text(), one->windowTitle());

        two->SetCaption(QStringLiteral("renamed.rtf"));
        QCOMPARE(texts(p->lstHwrDesCFile),
                 (QStringList{one->windowTitle(), QStringLiteral("renamed.rtf"), three->windowTitle() + QStringLiteral(" (Current)")}));
        two->subWindow()->mdiArea()->setActiveSubWindow(two->subWindow());
        QCOMPARE(texts(p->lstHwrDesCFile),
                 (QStringList{one->windowTitle(), QStringLiteral("renamed.rtf (Current)"), three->windowTitle()}));

        one->unload(vbFormCode);
        QCOMPARE(p->lstDwnDesCFile->count(), 2);
        QVERIFY(!p->lstDwnDesCFile->currentItem());
        QVERIFY(p->txtDwnDesSee->text().isEmpty());
        for (frmDocument *d : openCFiles())
            d->unload(vbFormCode);
        both({QStringLiteral("No Active CFiles")});
    }

    void panesAndTabs()
    {
        frmRemCtr *p = frmRemCtr::get();
        p->lodRemCtr();
        p->show();
        QCOMPARE(p->Frame, int16_t(2));
        for (int pane : {2, 1, 4}) {
            nbrRemote().seeZOvuFra(int16_t(pane));
            for (int q = 0; q < frmRemCtr::kPanes; ++q) {
                QCOMPARE(p->fraKeyCtr[q]->isVisible(), q == pane);
                QCOMPARE(p->fraKeyCtrS[q]->isVisible(), q != pane);
            }
        }
        nbrRemote().seeZOvuFra(2);
        p->setTab(2, 1);
        QVERIFY(p->findChild<QListWidget *>(QStringLiteral("lstSetHwrSns"))->isVisible());
        QCOMPARE(p->lstSetHwrSns->count(), 100);
        QCOMPARE(p->lstSetHwrPwrMin->count(), 60);
        p->cmdCtrMode_Click(3);
        QVERIFY(!p->fraAscCtrLst[3]->isHidden() && p->fraAscCtrLst[0]->isHidden());
    }

    void progressLogStaysBounded()
    {
        frmRemCtr *p = frmRemCtr::get();
        p->lodRemCtr();
        p->PLog2Prgrs(QStringLiteral("first"), 0, 1);
        p->PLog2Prgrs(QStringLiteral("second"), 1, 0);
        QCOMPARE(p->txtPrgrs->toPlainText(), QStringLiteral("first\n\nsecond"));
        const QString line = QString(50, u'x');
        for (int i = 0; i < 400; ++i)
            p->PLog2Prgrs(line, 0, 1);
        QVERIFY(p->txtPrgrs->toPlainText().size() <= 4000 + 51);
        QVERIFY(p->txtPrgrs->toPlainText().endsWith(line + u'\n'));
    }

    // Showing the panel holds the main window; hiding it gives it back.
    void togKeypadShowsAndHides()
    {
        frmMDI *mdi = frmMDI::get();
        frmRemCtr::get()->lodRemCtr();
        QAction *button = toolButton(mdi->tbrStandard, QStringLiteral("Keypad"));
        mdi->mnuRemCtr->trigger();
        QVERIFY(frmRemCtr::instance()->isVisible());
        QVERIFY(!mdi->isEnabled());
        QVERIFY(button->isChecked());
        QVERIFY(mdi->mnuRemCtr->isChecked());
        togKeypad();
        QVERIFY(!frmRemCtr::instance()->isVisible());
        QVERIFY(mdi->isEnabled());
        QVERIFY(!button->isChecked() && !mdi->mnuRemCtr->isChecked());
        // The user's close hides the panel and gives the main window back.
        togKeypad();
        QVERIFY(!mdi->isEnabled());
        frmRemCtr::instance()->close();
        QVERIFY(frmRemCtr::isLoaded());
        QVERIFY(!frmRemCtr::instance()->isVisible());
        QVERIFY(mdi->isEnabled());
        QVERIFY(!button->isChecked());
    }

    void otherDeviceAsksFirst()
    {
        frmMDI *mdi = frmMDI::get();
        frmRemCtr::get()->lodRemCtr();
        ShowWarnKT = true;
        Device = 1;
        auto &notes = dynamic_cast<vttest::FakeNotes &>(nbrNotes());
        notes.answer = 7;
        mdi->mnuRemCtr->trigger();
        QVERIFY(!frmRemCtr::instance()->isVisible());
        QCOMPARE(notes.questions, QList<int>{0});
        notes.answer = 6;
        mdi->mnuRemCtr->trigger();
        QVERIFY(frmRemCtr::instance()->isVisible());
        togKeypad();
    }

    void keypadDisplayFollowsReceivedLines()
    {
        frmMDI *mdi = frmMDI::get();
        serial.received = QStringLiteral("one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n");
        mdi->mnuKeyPad->trigger();
        frmKeyPad *k = frmKeyPad::instance();
        QVERIFY(k && k->isVisible() && keyPadOn);
        QCOMPARE(k->txtKeyPadLcd->toPlainText(), QStringLiteral("two\nthree\nfour\nfive"));
        serial.received += QStringLiteral("DAT>");
        nbrRemote().seeKeyPadLcd();
        QCOMPARE(k->txtKeyPadLcd->toPlainText(), QStringLiteral("three\nfour\nfive\nDAT>"));
        mdi->setEnabled(false);
        k->cmdKeyPadClose->click();
        QVERIFY(!k->isVisible() && !keyPadOn);
        QVERIFY(mdi->isEnabled());
    }

    void linkBoxActsOnlyUnguarded()
    {
        frmRemCtr *p = frmRemCtr::get();
        p->lodRemCtr();
        RxRoute[1] = false;
        LnkToGuard = true;
        p->chkHwrLnkTo[1]->click();
        QVERIFY(!RxRoute[1]);
        LnkToGuard = false;
        p->setLinkBox(1, true);
        QVERIFY(p->chkHwrLnkTo[1]->isChecked() && p->cmdCapMode[1]->isChecked());
    }
};

QTEST_MAIN(TestRemCtr)
#include "tst_remCtr.moc"
