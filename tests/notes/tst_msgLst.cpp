// Numbered notes and questions: which note each number opens, how it is
// shown, what the questions return; the chronograph warning; and a caller
// that gets the real question.
#include <QFile>
#include <QTest>

#include "common/cfilefixture.h"
#include "editor/modDocCommands.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "notes/frmTip.h"
#include "notes/modMsgLst.h"
#include "notes/modNotesNbr.h"
#include "notes/notesfixture.h"
#include "platform/answers.h"
#include "platform/forms.h"
#include "platform/progfolder.h"
#include "platform/richtext.h"
#include "shell/frmMDI.h"

using namespace vt;

namespace {
QByteArray shippedNotes()
{
    QFile f(resourcesFolder() + QStringLiteral("/vantnots.ini"));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Every note a number opens is in the shipped notes file: nothing was added
// with placeholder texts.
void checkNoPlaceholder(const frmTip *tip)
{
    for (int n = 1; n <= tip->Notes.count(); ++n)
        QVERIFY2(!tip->Notes.item(n).contains(QStringLiteral("Reference Added {")), qPrintable(tip->Notes.item(n)));
}
} // namespace

class TestMsgLst : public QObject {
    Q_OBJECT
private slots:
    void cleanupTestCase() { vttest::unloadTip(); }

    void seeMsgNoteTable_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("sub");
        QTest::addColumn<int>("device");
        QTest::addColumn<QString>("key"); // empty: nothing shown
        QTest::addColumn<bool>("modal");
        QTest::newRow("0/0 device 2") << 0 << 0 << 2 << "60.2.0.0" << true;
        QTest::newRow("0/1") << 0 << 1 << 0 << "64.0.0.0" << true;
        QTest::newRow("0/2") << 0 << 2 << 0 << "" << false;
        QTest::newRow("1 any") << 1 << 5 << 0 << "90.0.0.0" << true;
        QTest::newRow("2") << 2 << 0 << 0 << "60.0.1.0" << true;
        QTest::newRow("3/0 device 2 (F1)") << 3 << 0 << 2 << "60.2.0.0" << false;
        QTest::newRow("3/1 device 0 (F2)") << 3 << 1 << 0 << "60.0.1.0" << false;
        QTest::newRow("4/1") << 4 << 1 << 0 << "52.0.2.0" << true;
        QTest::newRow("5/0") << 5 << 0 << 0 << "52.0.0.0" << true;
        QTest::newRow("5/1") << 5 << 1 << 0 << "52.1.0.0" << true;
        QTest::newRow("6") << 6 << 3 << 0 << "64.0.0.0" << true;
        QTest::newRow("7/0") << 7 << 0 << 0 << "72.1.1.0" << true;
        QTest::newRow("7/1") << 7 << 1 << 0 << "50.1.1.0" << true;
        QTest::newRow("8/0") << 8 << 0 << 0 << "50.2.0.0" << true;
        QTest::newRow("8/1") << 8 << 1 << 0 << "50.2.1.0" << true;
        QTest::newRow("9") << 9 << 0 << 0 << "" << false;
        QTest::newRow("10") << 10 << 0 << 0 << "72.0.0.0" << true;
        QTest::newRow("11") << 11 << 1 << 0 << "52.3.0.0" << true;
        QTest::newRow("12") << 12 << 0 << 0 << "" << false;
        QTest::newRow("negative") << -1 << 0 << 0 << "" << false;
    }
    void seeMsgNoteTable()
    {
        QFETCH(int, n);
        QFETCH(int, sub);
        QFETCH(int, device);
        QFETCH(QString, key);
        QFETCH(bool, modal);
        frmTip *tip = vttest::loadTip(shippedNotes());
        Device = int16_t(device);
        tip->setCursor(Qt::WaitCursor);
        seeMsgNote(n, int16_t(sub));
        QCOMPARE(tip->cursor().shape(), Qt::ArrowCursor);
        if (key.isEmpty()) {
            QVERIFY(answers::asked().isEmpty());
            QVERIFY(!tip->isVisible());
            QCOMPARE(int(BizTable[9][0]), 1);
            return;
        }
        QCOMPARE(NotesState.NoteKeyText, key);
        checkNoPlaceholder(tip);
        if (modal) {
            QCOMPARE(answers::asked().size(), 1);
            QVERIFY(answers::last().question.title.contains(QStringLiteral("(") + key + QStringLiteral(")")));
            QCOMPARE(answers::last().question.buttons, QStringList{QStringLiteral("Close")});
            QVERIFY(!tip->isVisible());
        } else {
            // Modeless: shown, and the call returned at once.
            QVERIFY(answers::asked().isEmpty());
            QVERIFY(tip->isVisible());
            QCOMPARE(int(BizTable[9][0]), 2);
        }
    }

    void askMsgNoteTable_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QString>("prompt"); // null: nothing asked
        QTest::addColumn<QString>("key");
        QTest::newRow("0") << 0 << 3 << "" << "64.0.0.0";
        QTest::newRow("1") << 1 << 0 << "Start Multi-Session Data Capture?" << "90.1.0.0";
        QTest::newRow("2") << 2 << 0 << QString() << "";
        QTest::newRow("4") << 4 << 0 << "Do you want to open your own Workbook?" << "52.0.1.0";
        QTest::newRow("5") << 5 << 0 << "Calibrate Chronograph Now?" << "65.0.0.0";
        QTest::newRow("6") << 6 << 0 << "Start New Statistics Block?" << "72.2.0.0";
        QTest::newRow("10/0") << 10 << 0 << "Do you want to proceed with Clear eDisk?" << "11.8.0.0";
        QTest::newRow("10/1") << 10 << 1 << "Do you want to restore eDisk?" << "11.8.1.0";
        QTest::newRow("10/2") << 10 << 2 << "Do you want to restore eDisk?" << "11.8.2.0";
        QTest::newRow("10/3") << 10 << 3 << QString() << "";
        QTest::newRow("11/0") << 11 << 0 << "Do you want rename this WorkBook?" << "53.0.0.0";
        QTest::newRow("11/1") << 11 << 1 << QString() << "";
        QTest::newRow("3") << 3 << 0 << QString() << "";
    }
    void askMsgNoteTable()
    {
        QFETCH(int, n);
        QFETCH(int, sub);
        QFETCH(QString, prompt);
        QFETCH(QString, key);
        frmTip *tip = vttest::loadTip(shippedNotes());
        answers::queue(QStringLiteral("Yes"));
        const int16_t answer = askMsgNote(n, int16_t(sub));
        if (prompt.isNull()) {
            QCOMPARE(int(answer), 0);
            QVERIFY(answers::asked().isEmpty());
            return;
        }
        QCOMPARE(int(answer), 6);
        QCOMPARE(tip->labPrmpt->text(), prompt);
        QVERIFY(answers::last().question.text.startsWith(prompt + QStringLiteral("\r\nrUvuzu (") + key + QStringLiteral(") ")));
        checkNoPlaceholder(tip);
    }

    // "text ?" asked in a box unless the chronograph warnings are off; Cancel
    // offers to switch them off.
    void askChronoWarnAnswers()
    {
        vttest::loadTip(shippedNotes());
        const QString name = QStringLiteral("\tCalibrate Chrono Now");
        ShowWarnKT = false;
        QVERIFY(askChronoWarn(name));
        QVERIFY(answers::asked().isEmpty());

        ShowWarnKT = true;
        answers::queue(QStringLiteral("Yes"));
        QVERIFY(askChronoWarn(name));
        QCOMPARE(answers::last().question.text, QStringLiteral("For more information click on [Cancel]  \r\n\r\n\tCalibrate Chrono Now ?"));
        QCOMPARE(answers::last().question.defaultAnswer, QStringLiteral("Yes"));
        answers::queue(QStringLiteral("No"));
        QVERIFY(!askChronoWarn(name));

        answers::queue(QStringLiteral("Cancel"));
        answers::queue(QStringLiteral("No"));
        QVERIFY(!askChronoWarn(name));
        QVERIFY(answers::last().question.text.endsWith(QStringLiteral("Do you want to stop these messages?")));
        QVERIFY(ShowWarnKT);
        answers::queue(QStringLiteral("Cancel"));
        answers::queue(QStringLiteral("Yes"));
        QVERIFY(!askChronoWarn(name));
        QVERIFY(!ShowWarnKT);
        const int asked = int(answers::asked().size());
        QVERIFY(askChronoWarn(name));
        QCOMPARE(int(answers::asked().size()), asked);
    }

    // The first CFile asks nothing; a second one asks the numbered question
    // in the notes window, and only Yes makes it.
    void secondNewCFileAsks()
    {
        vttest::startEditor();
        installNotesSubsystem();
        vttest::loadTip(shippedNotes());
        ShowWarnKT = true;
        mnuFileNew_Click();
        QCOMPARE(numOfCFIles(), 1);
        QVERIFY(answers::asked().isEmpty());
        answers::queue(QStringLiteral("No"));
        mnuFileNew_Click();
        QCOMPARE(numOfCFIles(), 1);
        QCOMPARE(answers::last().question.kind, QStringLiteral("dialog"));
        QVERIFY(answers::last().question.text.startsWith(QStringLiteral("Start Multi-Session Data Capture?\r\nrUvuzu (90.1.0.0) ")));
        answers::queue(QStringLiteral("Yes"));
        mnuFileNew_Click();
        QCOMPARE(numOfCFIles(), 2);
        vttest::unloadTip();
        vttest::stopEditor();
    }

    // Reached from the screen: View > iNotes, and F1 in a CFile.
    void reachedFromMenuAndKeys()
    {
        vttest::startEditor();
        installNotesSubsystem();
        frmTip *tip = vttest::loadTip(shippedNotes());
        Device = 1;
        menuItem(frmMDI::get(), QStringLiteral("mnuViewRUvuzu"))->trigger();
        QCOMPARE(answers::asked().size(), 1);
        QCOMPARE(answers::last().question.kind, QStringLiteral("dialog"));
        QVERIFY(answers::last().question.title.startsWith(QStringLiteral("rUvuzu")));
        mnuFileNew_Click();
        QTest::keyClick(ActiveForm()->rtfText, Qt::Key_F1);
        QVERIFY(tip->isVisible());
        QCOMPARE(NotesState.NoteKeyText, QStringLiteral("60.1.0.0"));
        vttest::unloadTip();
        vttest::stopEditor();
    }
};

QTEST_MAIN(TestMsgLst)
#include "tst_msgLst.moc"
