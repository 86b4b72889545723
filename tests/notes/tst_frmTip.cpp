// The notes window: showing and asking, the buttons' enabling, moving,
// adding and deleting notes, closing with the save question, the in-use count.
#include <QDir>
#include <QFile>
#include <QTest>

#include "editor/frmOptions.h"
#include "notes/frmTip.h"
#include "notes/modNotesNbr.h"
#include "notes/notesfixture.h"
#include "platform/answers.h"
#include "platform/ctlcolor.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"
#include "platform/timers.h"
#include "shell/frmMDI.h"
#include "shell/modStartNbrs.h"

using namespace vt;
using vttest::loadTip;

namespace {
const QByteArray kFile = "<_1.0.0.0_>\r\n<:one:>\r\nsystem one\r\n"
                         "<_1.0.0.1_>\r\n<:mine:>\r\nuser one\r\n"
                         "<_60.0.1.0_>\r\n<:Remote panel:>\r\nremote\r\n"
                         "<_60.0.1.3_>\r\n<:third:>\r\nuser three\r\n"
                         "<_99.99.99.5_>\r\n<:last:>\r\nreserved\r\n";

QString shownKey() { return NotesState.NoteKeyText; }
} // namespace

class TestFrmTip : public QObject {
    Q_OBJECT
private slots:
    void cleanupTestCase() { vttest::unloadTip(); }

    // Which buttons a state enables: one row per state, the enabled buttons
    // listed by name (E1 Edit ... E4 Save, R Record Changes, M2/M3 forward
    // moves, U1/U2 user-note buttons) and whether the boxes are read-only.
    void enablingTable_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("state"); // letters: e EditOn, d EntryDirty, s StoreDirty, v DevMode
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("system note") << "1.0.0.0" << "" << "M2 M3 U1 U2" << true;
        QTest::newRow("system note, edit on") << "1.0.0.0" << "e" << "M2 M3 U1 U2" << true;
        QTest::newRow("system note, developer") << "1.0.0.0" << "ev" << "E1 E2 M2 M3 U1 U2" << false;
        QTest::newRow("user note") << "1.0.0.1" << "" << "E1 E2 M2 M3 U1 U2" << true;
        QTest::newRow("user note, edit on") << "1.0.0.1" << "e" << "E1 E2 M2 M3 U1 U2" << false;
        QTest::newRow("user note, typed into") << "1.0.0.1" << "eds" << "E1 E2 E3 E4 R M2 M3 U1 U2" << false;
        QTest::newRow("user note, stored not saved") << "1.0.0.1" << "es" << "E1 E2 E4 M2 M3 U1 U2" << false;
        QTest::newRow("reserved last section") << "99.99.99.5" << "eds" << "E1" << true;
        QTest::newRow("reserved last section, developer") << "99.99.99.5" << "edsv"
                                                           << "E1 E2 E3 E4 R M2 M3 U1 U2" << false;
    }
    void enablingTable()
    {
        QFETCH(QString, key);
        QFETCH(QString, state);
        QFETCH(QString, enabled);
        QFETCH(bool, readOnly);
        frmTip *tip = loadTip(kFile);
        const QStringList p = key.split(u'.');
        NotesState.DevMode = state.contains(u'v');
        tip->seeXNots(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt(), 0, 0);
        NotesState.EditOn = state.contains(u'e');
        NotesState.EntryDirty = state.contains(u'd');
        NotesState.StoreDirty = state.contains(u's');
        tip->updNotBtns();
        QStringList got;
        for (int i = 1; i <= 4; ++i)
            if (tip->cmdEdit[i]->isEnabled())
                got << QStringLiteral("E%1").arg(i);
        if (tip->cmdRecMods->isEnabled())
            got << QStringLiteral("R");
        for (int i = 2; i <= 3; ++i)
            if (tip->cmdMove[i]->isEnabled())
                got << QStringLiteral("M%1").arg(i);
        for (int i = 1; i <= 2; ++i)
            if (tip->cmdUMove[i]->isEnabled())
                got << QStringLiteral("U%1").arg(i);
        QCOMPARE(got.join(u' '), enabled);
        QCOMPARE(tip->txtNotex->isReadOnly(), readOnly);
        QCOMPARE(tip->txtRefex->isReadOnly(), readOnly);
        // Always there: Add, Help and the backward moves.
        for (QPushButton *b : {tip->cmdEdit[0], tip->cmdEdit[5], tip->cmdMove[0], tip->cmdMove[1], tip->cmdUMove[0]})
            QVERIFY(b->isEnabled());
        QCOMPARE(BackColor(tip->cmdEdit[1]), NotesState.EditOn ? 0xFF00u : 0xFFFF00u);
    }

    void userLevelZeroHidesTheNoteButtons()
    {
        frmTip *tip = loadTip(kFile);
        UserLevel = 0;
        tip->seeXNots(1, 0, 0, 1, 0, 0);
        for (int i = 0; i < 5; ++i)
            QVERIFY(tip->cmdEdit[i]->isHidden());
        QVERIFY(tip->cmdUMove[0]->isHidden());
        QVERIFY(!tip->cmdEdit[5]->isHidden());
        // Option toggles between browsing and the options only.
        tip->cmdOption_Click();
        QCOMPARE(int(tip->NoteLayout), 1);
        QVERIFY(tip->fraEdit[0]->isVisibleTo(tip));
        QCOMPARE(BackColor(tip->cmdOption), 0xFFu);
        tip->cmdOption_Click();
        QCOMPARE(int(tip->NoteLayout), 0);
        UserLevel = 1;
        tip->cmdOption_Click();
        tip->cmdOption_Click();
        QCOMPARE(int(tip->NoteLayout), 2);
        QVERIFY(tip->fraEdit[1]->isVisibleTo(tip));
    }

    void questionAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("Yes") << "Yes" << 6;
        QTest::newRow("No") << "No" << 7;
        QTest::newRow("Cancel") << "Cancel" << 2;
        QTest::newRow("Close") << "Close" << 0;
        QTest::newRow("unanswered") << "" << 0;
    }
    void questionAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(int, result);
        frmTip *tip = loadTip(kFile);
        if (!answer.isEmpty())
            answers::queue(answer);
        QCOMPARE(int(tip->seeYNots(QStringLiteral("Start Multi-Session Data Capture?"), 60, 0, 1, 1)), result);
        const answers::Record r = answers::last();
        QCOMPARE(r.question.kind, QStringLiteral("dialog"));
        QCOMPARE(r.question.text, QStringLiteral("Start Multi-Session Data Capture?\r\nrUvuzu (60.0.1.0) Remote panel"));
        QCOMPARE(r.question.buttons, QStringList({"Yes", "No", "Cancel", "Close"}));
        QCOMPARE(r.question.defaultAnswer, QStringLiteral("Close"));
        // Closed again: question panel gone, back to one use.
        QVERIFY(!tip->AskPending);
        QVERIFY(!tip->AskMode);
        QCOMPARE(int(BizTable[9][0]), 1);
    }

    void missingSectionIsAddedWithPlaceholders()
    {
        frmTip *tip = loadTip(kFile);
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        tip->seeXNots(52, 3, 0, 0, 1, 0);
        QCOMPARE(shownKey(), QStringLiteral("52.3.0.0"));
        QCOMPARE(tip->txtRefex->text(), QStringLiteral("New System Reference Added {52.3.0.0}"));
        // After the note shown before, not marked as a change.
        QCOMPARE(tip->Notes.item(2).left(8), QStringLiteral("52030000"));
        QVERIFY(!NotesState.StoreDirty);
        // Without addIfMissing the first note is shown.
        tip->seeXNots(53, 0, 0, 0, 0, 0);
        QCOMPARE(shownKey(), QStringLiteral("1.0.0.0"));
    }

    // The place a new section goes, and the refusal of a key that exists.
    void addSection()
    {
        frmTip *tip = loadTip(kFile);
        tip->seeXNots(60, 0, 1, 3, 0, 0);
        tip->Notes.remove(QStringLiteral("60000103")); // the note shown before is gone
        tip->seeXNots(61, 0, 0, 0, 1, 0);
        QCOMPARE(tip->Notes.item(tip->Notes.count()).left(8), QStringLiteral("61000000"));
        QVERIFY(answers::asked().isEmpty());
        // Adding the next chapter on 1.0.0.0 finds 1.0.0.1 taken.
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        answers::queue(QStringLiteral("OK"));
        tip->cmdEdit_Click(0);
        QCOMPARE(answers::asked().size(), 1);
        QVERIFY(answers::last().question.text.startsWith(QStringLiteral("Section {1.0.0.1} Already Exists..!\r\n")));
        QCOMPARE(shownKey(), QStringLiteral("1.0.0.1"));
    }

    void userNoteLimit()
    {
        frmTip *tip = loadTip("<_5.0.0.0_>\r\n<::>\r\n<_5.0.0.98_>\r\n<::>\r\n<_5.0.0.99_>\r\n<::>\r\n");
        tip->seeXNots(5, 0, 0, 99, 0, 0);
        answers::queue(QStringLiteral("OK"));
        tip->cmdEdit_Click(0);
        QCOMPARE(answers::last().question.text,
                 QStringLiteral("You have to many rUvuzu already...!\r\nOnly 99 rUvuzu per section are allowed.\r\n"
                                "Your current section is {5.0.0.99}"));
        QCOMPARE(tip->Notes.count(), 3);
        tip->Notes.remove(QStringLiteral("05000099"));
        tip->seeXNots(5, 0, 0, 98, 0, 0);
        tip->cmdEdit_Click(0);
        QCOMPARE(shownKey(), QStringLiteral("5.0.0.99"));
        QVERIFY(NotesState.EditOn);
    }

    void moves()
    {
        frmTip *tip = loadTip(kFile);
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        tip->cmdUMove_Click(0); // down from d = 0: same note, no message
        QCOMPARE(shownKey(), QStringLiteral("1.0.0.0"));
        QVERIFY(answers::asked().isEmpty());
        tip->cmdUMove_Click(2);
        QCOMPARE(shownKey(), QStringLiteral("1.0.0.1"));
        QCOMPARE(tip->txtNotex->toPlainText(), QStringLiteral("user one\n"));
        tip->seeXNots(60, 0, 1, 3, 0, 0);
        answers::queue(QStringLiteral("OK"));
        tip->cmdUMove_Click(2);
        QCOMPARE(answers::last().question.text,
                 QStringLiteral("End of User rUvuzu...!\r\nTo add your own rUvuzu, click on <Add>  "));
        QCOMPARE(shownKey(), QStringLiteral("60.0.1.3"));
        SoftTest = true;
        tip->cmdMove_Click(2); // 60.0.2.0 is missing too
        QCOMPARE(answers::last().question.text, QStringLiteral("End of System rUvuzu...! {60.0.2.0} "));
    }

    void typingUndoAndRecord()
    {
        frmTip *tip = loadTip(kFile);
        tip->seeXNots(1, 0, 0, 1, 0, 0);
        tip->cmdEdit_Click(1); // Edit on
        QVERIFY(!tip->txtNotex->isReadOnly());
        tip->txtNotex->moveCursor(QTextCursor::End);
        QTest::keyClicks(tip->txtNotex, QStringLiteral("more"));
        QVERIFY(tip->cmdEdit[3]->isEnabled());
        QVERIFY(tip->cmdEdit[4]->isEnabled());
        QVERIFY(tip->cmdRecMods->isEnabled());
        tip->cmdEdit_Click(3); // Undo
        QCOMPARE(tip->txtNotex->toPlainText(), QStringLiteral("user one\n"));
        QVERIFY(!tip->cmdEdit[3]->isEnabled());
        QVERIFY(!tip->cmdRecMods->isEnabled());
        // Record Changes stores the shown text in place.
        QTest::keyClicks(tip->txtNotex, QStringLiteral("x"));
        tip->cmdRecMods_Click();
        QVERIFY(tip->Notes.item(2).startsWith(QStringLiteral("01000001<:mine:>\r\n")));
        QVERIFY(tip->Notes.item(2).contains(u'x'));
        QVERIFY(!NotesState.EntryDirty);
        // A system note cannot be switched to editing, nor deleted.
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        answers::queue(QStringLiteral("OK"));
        answers::queue(QStringLiteral("OK"));
        tip->cmdEdit_Click(2);
        QVERIFY(answers::last().question.text.startsWith(QStringLiteral("System rUvuzu can not be deleted")));
        NotesState.EditOn = false;
        tip->cmdEdit_Click(1);
        QVERIFY(!NotesState.EditOn);
        QVERIFY(answers::last().question.text.startsWith(QStringLiteral("As a user, you can only edit")));
    }

    void deleteTheOnlyNote()
    {
        frmTip *tip = loadTip("<_2.0.0.3_>\r\n<::>\r\nx\r\n");
        tip->seeXNots(2, 0, 0, 3, 0, 0);
        tip->cmdEdit_Click(2);
        QCOMPARE(tip->Notes.count(), 1); // the next display made the placeholder
        QCOMPARE(tip->Notes.item(1).left(8), QStringLiteral("00000000"));
        QCOMPARE(shownKey(), QStringLiteral("0.0.0.0"));
    }

    // Closing after an edit asks; Cancel keeps the window and the edit; No
    // closes without writing the file.
    void closeAsksToSave()
    {
        frmTip *tip = loadTip(kFile);
        tip->seeXNots(1, 0, 0, 1, 0, 0);
        tip->cmdEdit_Click(1);
        QTest::keyClicks(tip->txtNotex, QStringLiteral("typed "));
        answers::queue(QStringLiteral("Cancel"));
        tip->cmdClose_Click();
        QCOMPARE(answers::last().question.text, QStringLiteral("rUvuzu have been changed! \r\nSave Changes ?"));
        QCOMPARE(answers::last().question.defaultAnswer, QStringLiteral("Cancel"));
        QVERIFY(tip->isVisible());
        QVERIFY(tip->txtNotex->toPlainText().startsWith(QStringLiteral("typed ")));
        answers::queue(QStringLiteral("No"));
        tip->close(); // the close box
        QVERIFY(!tip->isVisible());
        QCOMPARE(vttest::readNotes(), kFile);
        QCOMPARE(int(BizTable[9][0]), 1);
    }

    // The start-up note sends every user to two places to switch it off: the
    // notes window's Option layout and Interface > General. Both reach the
    // key start-up reads, and neither undoes the other: the window writes its
    // box whenever it closes or unloads, so the dialog keeps the box in step.
    void startupNoteSwitchesOffInBothPlaces()
    {
        installNotesSubsystem();
        const auto stored = [] {
            return GetSetting(AppTitle, QStringLiteral("frmVipNotes"), QStringLiteral("ShowVipNotes"), QStringLiteral("1"));
        };
        frmTip *tip = loadTip(kFile);
        UserLevel = 0;
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        QTest::mouseClick(tip->cmdOption, Qt::LeftButton);
        QVERIFY(tip->chkVipNotes->isVisible());
        QVERIFY(tip->chkVipNotes->isEnabled());
        QVERIFY(tip->chkVipNotes->isChecked());
        QTest::mouseClick(tip->chkVipNotes, Qt::LeftButton);
        QTest::mouseClick(tip->cmdClose, Qt::LeftButton);
        QCOMPARE(stored(), QStringLiteral("0"));

        frmOptions::showDialog();
        frmOptions *o = frmOptions::instance();
        QVERIFY(o->chkShowRUvuzu->isVisible());
        QVERIFY(o->chkShowRUvuzu->isEnabled());
        QVERIFY(!o->chkShowRUvuzu->isChecked());
        QTest::mouseClick(o->chkShowRUvuzu, Qt::LeftButton);
        QTest::mouseClick(o->cmdOk, Qt::LeftButton);
        QCOMPARE(stored(), QStringLiteral("1"));
        frmOptions::showDialog();
        o = frmOptions::instance();
        QVERIFY(o->chkShowRUvuzu->isChecked());
        o->chkShowRUvuzu->setChecked(false);
        QTest::mouseClick(o->cmdApply, Qt::LeftButton);
        QCOMPARE(stored(), QStringLiteral("0"));
        QTest::mouseClick(o->cmdCancel, Qt::LeftButton);
        // The window's own writes at close and at exit keep the choice.
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        QVERIFY(!tip->chkVipNotes->isChecked());
        tip->cmdClose_Click();
        vttest::unloadTip();
        QCOMPARE(stored(), QStringLiteral("0"));
        UserLevel = 1;
        installNotes(nullptr);
        if (frmMDI::isLoaded())
            frmMDI::instance()->unload(vbFormCode);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void captionWithReference()
    {
        frmTip *tip = loadTip(kFile);
        AppNum = 0;
        tip->chkRefSee->setChecked(true);
        tip->seeXNots(60, 0, 1, 0, 0, 0);
        QCOMPARE(tip->windowTitle(), QStringLiteral("rUvuzu0_1 (60.0.1.0) Remote panel"));
        tip->chkRefSee->setChecked(false);
        tip->chkRefSee_Click();
        QCOMPARE(tip->windowTitle(), QStringLiteral("rUvuzu0_1 (60.0.1.0) "));
    }

    void notesMenuAfterStartShowsTheLastNote()
    {
        frmTip *tip = loadTip(kFile);
        tip->seeNotes();
        QCOMPARE(answers::last().question.title, QStringLiteral("rUvuzu0_1 (99.99.99.5) "));
    }

    // Showing a shown window again does not count it again, so the in-use
    // refusal ends when the window closes.
    void inUseCount()
    {
        frmTip *tip = loadTip(kFile);
        QCOMPARE(int(BizTable[9][0]), 1);
        tip->seeXNots(60, 0, 0, 0, 1, 0);
        tip->seeXNots(60, 0, 1, 0, 1, 0);
        QCOMPARE(int(BizTable[9][0]), 2);
        tip->seeNotes();
        QCOMPARE(answers::last().question.text, QStringLiteral("rUvuzu is already in use..!"));
        tip->cmdClose_Click();
        QCOMPARE(int(BizTable[9][0]), 1);
        tip->seeNotes();
        QCOMPARE(answers::last().question.kind, QStringLiteral("dialog"));
        QCOMPARE(int(BizTable[9][0]), 1);
    }

    // At program exit changed notes are offered for saving; on a signal they
    // go to a recovery copy.
    void exitAndRecovery()
    {
        frmTip *tip = loadTip(kFile);
        QVERIFY(tip->qryExitNotes());
        QVERIFY(answers::asked().isEmpty());
        tip->seeXNots(1, 0, 0, 1, 0, 0);
        tip->cmdEdit_Click(1);
        QTest::keyClicks(tip->txtNotex, QStringLiteral("typed "));
        answers::queue(QStringLiteral("Cancel"));
        QVERIFY(!tip->qryExitNotes());
        answers::queue(QStringLiteral("Yes"));
        QVERIFY(tip->qryExitNotes());
        QVERIFY(vttest::readNotes().contains("typed user one"));

        tip->txtNotex->moveCursor(QTextCursor::Start);
        QTest::keyClicks(tip->txtNotex, QStringLiteral("again "));
        setFixedNow(QDateTime(QDate(2026, 12, 10), QTime(10, 15, 0)));
        const QString folder = QDir::temp().filePath(QStringLiteral("vt-notes-recovery"));
        QDir(folder).removeRecursively();
        const QString path = tip->saveRecoveryCopy(folder);
        setFixedNow(QDateTime());
        QCOMPARE(path, folder + QStringLiteral("/vantnots 2026-12-10 101500.ini"));
        QFile copy(path);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QVERIFY(copy.readAll().contains("<_1.0.0.1_>\r\n<:mine:>\r\nagain typed user one\r\n"));
        QVERIFY(!NotesState.StoreDirty);
        QVERIFY(tip->qryExitNotes()); // nothing left to ask
        QDir(folder).removeRecursively();
    }
};

QTEST_MAIN(TestFrmTip)
#include "tst_frmTip.moc"
