// The notes window's go-to keys A and B with their setting, the entry and
// key arrows, the hidden switches and the spell check.
#include <QTemporaryDir>
#include <QTest>

#include "notes/frmTip.h"
#include "notes/notesfixture.h"
#include "platform/answers.h"
#include "platform/settings.h"
#include "vt_paths.h"

using namespace vt;
using vttest::loadTip;

namespace {
const QByteArray kFile = "<_1.0.0.0_>\r\n<:one:>\r\nsystem one\r\n"
                         "<_1.0.0.1_>\r\n<:mine:>\r\nuser one\r\n"
                         "<_7.5.3.1_>\r\n<:deep:>\r\ndeep note\r\n"
                         "<_60.0.1.0_>\r\n<:Remote panel:>\r\nremote\r\n";

QString shownKey() { return NotesState.NoteKeyText; }

QString goToDigits()
{
    return GetSetting(AppTitle, QStringLiteral("frmVipNotes"), QStringLiteral("ABGoTo"), QStringLiteral("unset"));
}

void typeKey(QLineEdit *const *boxes, const QStringList &partsABCD)
{
    for (int i = 0; i < 4; ++i)
        boxes[3 - i]->setText(partsABCD[i]);
}

QStringList boxTexts()
{
    QStringList texts;
    for (const auto &r : answers::asked())
        texts << r.question.text;
    return texts;
}

} // namespace

class TestGoTo : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        SoftMore = false;
        SoftTest = false;
        vttest::unloadTip();
    }
    void cleanupTestCase() { vttest::unloadTip(); }

    void settingFillsBothKeysAndIsWrittenBack()
    {
        frmTip *tip = loadTip(kFile);
        vttest::unloadTip();
        SaveSetting(AppTitle, QStringLiteral("frmVipNotes"), QStringLiteral("ABGoTo"),
                    QStringLiteral("0102030405060708"));
        tip = frmTip::get();
        QStringList a, b;
        for (int i = 3; i >= 0; --i) {
            a << tip->txtAGoTo[i]->text();
            b << tip->txtBGoTo[i]->text();
        }
        QCOMPARE(a.join(u'.'), QStringLiteral("07.05.03.01"));
        QCOMPARE(b.join(u'.'), QStringLiteral("08.06.04.02"));
        // "G" on key A finds the note 7.5.3.1.
        QTest::mouseClick(tip->cmdTagGo[1], Qt::LeftButton);
        QCOMPARE(shownKey(), QStringLiteral("7.5.3.1"));
        QVERIFY(boxTexts().isEmpty());
        // Unload writes both keys back; a part typed out of range is kept to 0..99.
        tip->txtBGoTo[0]->setText(QStringLiteral("-5"));
        tip->txtAGoTo[3]->setText(QStringLiteral("9"));
        vttest::unloadTip();
        QCOMPARE(goToDigits(), QStringLiteral("0100030405060908"));
    }

    void takeAndGo()
    {
        frmTip *tip = loadTip(kFile);
        tip->seeXNots(60, 0, 1, 0, 0, 0);
        QTest::mouseClick(tip->cmdTagGo[4], Qt::LeftButton); // "T" of key B
        QCOMPARE(tip->txtBGoTo[3]->text(), QStringLiteral("60"));
        QCOMPARE(tip->txtBGoTo[1]->text(), QStringLiteral("01"));
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        QTest::mouseClick(tip->cmdTagGo[5], Qt::LeftButton); // "G" of key B
        QCOMPARE(shownKey(), QStringLiteral("60.0.1.0"));
    }

    void goToEdgeCases_data()
    {
        QTest::addColumn<QStringList>("typed"); // parts a, b, c, d of key A
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("missing key") << QStringList{"5", "5", "5", "5"} << "Key=05050505 not found..!" << "1.0.0.0";
        QTest::newRow("empty boxes read as 0") << QStringList{"", "", "", ""} << "Key=00000000 not found..!"
                                               << "1.0.0.0";
        QTest::newRow("blanks and trailing text") << QStringList{"60", "0x", "1 ", ""} << "" << "60.0.1.0";
        QTest::newRow("negative part c") << QStringList{"", "", "-1", ""}
                                         << "Value is out of range - Key=0000-0100" << "7.5.3.1";
    }
    void goToEdgeCases()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        frmTip *tip = loadTip(kFile);
        tip->seeXNots(7, 5, 3, 1, 0, 0);
        answers::reset();
        typeKey(tip->txtAGoTo, typed);
        QTest::mouseClick(tip->cmdTagGo[1], Qt::LeftButton);
        QCOMPARE(boxTexts().join(u'|'), message);
        QCOMPARE(shownKey(), shown);
    }

    void deleteAndAddUnderAKey()
    {
        frmTip *tip = loadTip(kFile);
        const int before = tip->Notes.count();
        typeKey(tip->txtAGoTo, {"9", "9", "9", "9"});
        QTest::mouseClick(tip->cmdTagGo[2], Qt::LeftButton); // "-" on a missing key
        QCOMPARE(tip->Notes.count(), before);
        QVERIFY(boxTexts().isEmpty());
        typeKey(tip->txtAGoTo, {"7", "5", "3", "1"});
        QTest::mouseClick(tip->cmdTagGo[2], Qt::LeftButton);
        QCOMPARE(tip->Notes.count(), before - 1);
        QVERIFY(!tip->Notes.contains(QStringLiteral("07050301")));
        QTest::mouseClick(tip->cmdTagGo[3], Qt::LeftButton); // "+" puts it back as a new section
        QCOMPARE(tip->Notes.count(), before);
        QCOMPARE(shownKey(), QStringLiteral("7.5.3.1"));
    }

    void entryArrowsStopAtTheEnds()
    {
        frmTip *tip = loadTip(kFile);
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        QTest::mouseClick(tip->cmdTagMov[0], Qt::LeftButton);
        QCOMPARE(NotesState.NoteIndex, int16_t(1));
        QTest::mouseClick(tip->cmdTagMov[1], Qt::LeftButton);
        QCOMPARE(shownKey(), QStringLiteral("1.0.0.1"));
        tip->seeXNots(60, 0, 1, 0, 0, 0);
        QTest::mouseClick(tip->cmdTagMov[1], Qt::LeftButton);
        QCOMPARE(shownKey(), QStringLiteral("60.0.1.0"));
    }

    void keyArrowsStepOnePart()
    {
        frmTip *tip = loadTip(kFile);
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        QTest::mouseClick(tip->cmdMovKey[7], Qt::LeftButton); // down arrow of part d
        QCOMPARE(shownKey(), QStringLiteral("1.0.0.1"));
        QTest::mouseClick(tip->cmdMovKey[3], Qt::LeftButton); // up arrow of part d
        QCOMPARE(shownKey(), QStringLiteral("1.0.0.0"));
        answers::reset();
        QTest::mouseClick(tip->cmdMovKey[4], Qt::LeftButton); // part a to 2: no such section
        QCOMPARE(boxTexts().size(), 1);
        QCOMPARE(shownKey(), QStringLiteral("1.0.0.0"));
    }

    void hiddenSwitchesFollowSoftMore()
    {
        SoftMore = false;
        frmTip *tip = loadTip(kFile);
        for (QPushButton *f : tip->fraMake)
            QVERIFY(f->isHidden());
        SoftMore = true;
        tip->soxMore();
        for (QPushButton *f : tip->fraMake)
            QVERIFY(!f->isHidden());
    }

    // What each hidden switch does, from a known start, and the final step
    // that undoes the developer switches below user level 1.
    void switchTable_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("softTest");
        QTest::addColumn<bool>("devMode");  // after
        QTest::addColumn<bool>("bigEdit");  // after
        QTest::addColumn<int>("layout");    // after
        QTest::addColumn<int>("levelAfter");
        QTest::newRow("0 flips BigEdit") << 0 << 1 << false << false << true << 0 << 1;
        QTest::newRow("0 in test mode: developer") << 0 << 0 << true << true << true << 2 << 1;
        QTest::newRow("1 flips DevMode") << 1 << 1 << false << true << false << 0 << 1;
        QTest::newRow("3 undone at level 0") << 3 << 0 << false << false << false << 0 << 0;
        QTest::newRow("4 flips BigEdit") << 4 << 2 << false << false << true << 0 << 2;
        QTest::newRow("5 undone at level 0") << 5 << 0 << false << false << false << 0 << 0;
        QTest::newRow("9 nothing") << 9 << 1 << false << false << false << 0 << 1;
    }
    void switchTable()
    {
        QFETCH(int, index);
        QFETCH(int, level);
        QFETCH(bool, softTest);
        QFETCH(bool, devMode);
        QFETCH(bool, bigEdit);
        QFETCH(int, layout);
        QFETCH(int, levelAfter);
        frmTip *tip = loadTip(kFile);
        SoftMore = true;
        tip->soxMore();
        UserLevel = int16_t(level);
        SoftTest = softTest;
        NotesState.DevMode = false;
        tip->BigEdit = false;
        tip->NoteLayout = 0;
        QTest::mouseClick(tip->fraMake[index], Qt::LeftButton);
        QCOMPARE(NotesState.DevMode, devMode);
        QCOMPARE(tip->BigEdit, bigEdit);
        QCOMPARE(int(tip->NoteLayout), layout);
        QCOMPARE(int(UserLevel), levelAfter);
        QCOMPARE(!tip->fraMove->isHidden(), devMode);
    }

    void switchTenTurnsTestModeOn()
    {
        frmTip *tip = loadTip(kFile);
        SoftMore = true;
        tip->soxMore();
        answers::queue(QStringLiteral("Yes"));
        QTest::mouseClick(tip->fraMake[10], Qt::LeftButton);
        QVERIFY(SoftTest);
        QVERIFY(answers::last().question.text.contains(QStringLiteral("Activate Software Test Mode..?")));
    }

    void spellCheckWithTheDictionary_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the chosen suggestion") << "Change" << "The chrono\nline two";
        QTest::newRow("Ignore keeps it") << "Ignore" << "Teh chrono\nline two";
    }
    void spellCheckWithTheDictionary()
    {
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        qputenv("VANTRELL_DICTIONARIES", VT_FIXTURES_DIR "/spelling");
        frmTip *tip = loadTip(kFile);
        tip->txtNotex->setPlainText(QStringLiteral("Teh chrono\nline two"));
        answers::queueKeyed(QStringLiteral("Not in Dictionary: Teh"), answer);
        // Reached as a user does: the third hidden switch.
        SoftMore = true;
        tip->soxMore();
        QTest::mouseClick(tip->fraMake[2], Qt::LeftButton);
        qunsetenv("VANTRELL_DICTIONARIES");
        QCOMPARE(tip->txtNotex->toPlainText(), expected);
        QCOMPARE(answers::pending(), 0);
        const answers::Record last = answers::last();
        QCOMPARE(last.question.text, QStringLiteral("Spell check is done"));
        QCOMPARE(last.question.title, QStringLiteral("Spell Check"));
    }

    void spellCheckWithoutDictionary()
    {
        QTemporaryDir empty;
        qputenv("VANTRELL_DICTIONARIES", empty.path().toLocal8Bit());
        frmTip *tip = loadTip(kFile);
        tip->txtNotex->setPlainText(QStringLiteral("Teh chrono"));
        tip->spellCheck(tip->txtNotex);
        qunsetenv("VANTRELL_DICTIONARIES");
        QCOMPARE(tip->txtNotex->toPlainText(), QStringLiteral("Teh chrono"));
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("Can't spell check rUvuzu...!\r\nMicrosoft Office not Installed")});
    }

    void spellCheckWithoutSpreadsheet()
    {
        frmTip *tip = loadTip(kFile);
        tip->txtNotex->setPlainText(QStringLiteral("Teh chrono"));
        qputenv("VANTRELL_NO_SPREADSHEET", "1");
        tip->spellCheck(tip->txtNotex);
        qunsetenv("VANTRELL_NO_SPREADSHEET");
        QCOMPARE(tip->txtNotex->toPlainText(), QStringLiteral("Teh chrono"));
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("Can't spell check rUvuzu...!\r\nMicrosoft Office not Installed")});
        QCOMPARE(answers::last().question.title, AppTitle);
    }
};

QTEST_MAIN(TestGoTo)
#include "tst_goTo.moc"
