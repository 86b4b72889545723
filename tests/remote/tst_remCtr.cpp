// The remote-control panel's frame: its command lists read from vantcmds.ini,
// list keys sent only in Shoot mode, its panes, its progress log, and showing
// and hiding it (and the keypad panel) from the main window.
#include <QTest>

#include "common/cfilefixture.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/forms.h"
#include "remote/frmKeyPad.h"
#include "remote/frmRemCtr.h"
#include "remote/modRemCmds.h"
#include "remote/modRemoteNbr.h"
#include "shell/frmMDI.h"
#include "shell/modCrsFrms.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStatus.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
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
        p->lstCtrAscLow[0]->setCurrentRow(1);
        p->lstCtrAscLow_Click(0);
        QCOMPARE(serial.sent, QString());
        QVERIFY(RxRoute[1]);
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
