#include <QAction>
#include <QMenu>
#include <QTest>

#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/settings.h"
#include "shell/frmMDI.h"
#include "shell/modMain.h"

using namespace vt;

class TestSwitches : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        answers::reset();
        Err.Clear();
        AppTitle = QStringLiteral("Vantrell0");
        DeleteSetting(AppTitle);
        zapSoftFlags();
        SoftShip = true;
        UserLevelIni = 0;
    }

    void getOnEmptySection()
    {
        getSoftFlags();
        QVERIFY(GetRegistry && SaveRegistry);
        QVERIFY(!SoftDebugSee && !SoftDebug && !SoftTest && !ClearRegistry && !SoftMore && !SoftEdit);
        QCOMPARE(UserLevel, int16_t(4));
    }

    void saveThenGetRoundTripsAndBadValuesFallBack()
    {
        SoftMore = true;
        SaveRegistry = false;
        UserLevel = 2;
        savSoftFlags();
        QCOMPARE(GetSetting(AppTitle, QStringLiteral("Pemdora"), QStringLiteral("SoftMore")), QStringLiteral("True"));
        zapSoftFlags();
        SaveSetting(AppTitle, QStringLiteral("Pemdora"), QStringLiteral("SoftEdit"), QStringLiteral("yes"));
        getSoftFlags();
        QVERIFY(SoftMore);
        QVERIFY(!SaveRegistry);
        QVERIFY(!SoftEdit); // unreadable: its default
        QCOMPARE(UserLevel, int16_t(2));
        SaveSetting(AppTitle, QStringLiteral("Pemdora"), QStringLiteral("UserLevel"), QStringLiteral("x"));
        getSoftFlags();
        QCOMPARE(UserLevel, int16_t(4));
    }

    void togSoftTestTable_data()
    {
        QTest::addColumn<bool>("softTest");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("asked"); // empty: nothing asked
        QTest::addColumn<int>("levelAfter");
        QTest::addColumn<bool>("softTestAfter");
        QTest::newRow("inc off") << false << 2 << 0 << "Yes" << "" << 2 << false;
        QTest::newRow("dec off") << false << 2 << 1 << "Yes" << "" << 2 << false;
        QTest::newRow("inc") << true << 2 << 0 << "Yes" << "Increment Test Level..?" << 3 << true;
        QTest::newRow("inc no") << true << 2 << 0 << "No" << "Increment Test Level..?" << 2 << true;
        QTest::newRow("inc at 4") << true << 4 << 0 << "Yes" << "Increment Test Level..?" << 4 << true;
        QTest::newRow("dec at 0") << true << 0 << 1 << "Yes" << "Decrement Test Level..?" << 0 << true;
        QTest::newRow("deactivate") << true << 3 << 2 << "Yes" << "Deactivate Software Test Mode..?" << 3 << false;
        QTest::newRow("activate") << false << 1 << 2 << "Yes" << "Activate Software Test Mode..?" << 0 << true;
        QTest::newRow("mode 4") << true << 1 << 4 << "Yes" << "" << 1 << true;
    }
    void togSoftTestTable()
    {
        QFETCH(bool, softTest);
        QFETCH(int, level);
        QFETCH(int, mode);
        QFETCH(QString, answer);
        QFETCH(QString, asked);
        QFETCH(int, levelAfter);
        QFETCH(bool, softTestAfter);
        SoftTest = softTest;
        UserLevel = int16_t(level);
        answers::queue(answer);
        togSoftTest(int16_t(mode));
        if (asked.isEmpty()) {
            QCOMPARE(answers::asked().size(), 0);
        } else {
            const auto q = answers::last().question;
            QCOMPARE(q.text, QStringLiteral("Current Test Level is (%1)\r\n\r\n").arg(level) + asked);
            QCOMPARE(q.title, QStringLiteral(" Software Test..."));
            QCOMPARE(q.buttons, (QStringList{"Yes", "No"}));
            QCOMPARE(q.defaultAnswer, QStringLiteral("No"));
        }
        QCOMPARE(int(UserLevel), levelAfter);
        QCOMPARE(SoftTest, softTestAfter);
    }

    void testModeOffAndOnRestoresLevel()
    {
        SoftTest = true;
        UserLevel = 3;
        answers::queue(QStringLiteral("Yes"));
        togSoftTest(2);
        UserLevel = 1;
        answers::queue(QStringLiteral("Yes"));
        togSoftTest(2);
        QVERIFY(SoftTest);
        QCOMPARE(UserLevel, int16_t(3));
    }

    void debugToggleSetsMenuWhateverTheAnswer()
    {
        frmMDI *mdi = frmMDI::get();
        QVERIFY(!mdi->mnuDebug->menuAction()->isVisible());
        answers::queue(QStringLiteral("Yes"));
        togSoftTest(3);
        QVERIFY(SoftDebugSee);
        QVERIFY(mdi->mnuDebug->menuAction()->isVisible());
        mdi->mnuDebug->menuAction()->setVisible(false);
        answers::queue(QStringLiteral("No"));
        togSoftTest(3);
        QVERIFY(SoftDebugSee);
        QVERIFY(mdi->mnuDebug->menuAction()->isVisible());
        menuItem(mdi, QStringLiteral("mnuDbgSftHid"))->trigger();
        QVERIFY(!SoftDebugSee);
        QVERIFY(!mdi->mnuDebug->menuAction()->isVisible());
    }

    void clearSetupWithSomeSectionsMissing()
    {
        SaveSetting(AppTitle, QStringLiteral("frmMDI"), QStringLiteral("Top"), QStringLiteral("1"));
        SaveSetting(AppTitle, QStringLiteral("frmErrox"), QStringLiteral("gxMoxErc"), QStringLiteral("3"));
        SaveSetting(AppTitle, QStringLiteral("frmCFile"), QStringLiteral("Keep"), QStringLiteral("1"));
        menuItem(frmMDI::get(), QStringLiteral("mnuDbgZapRegNow"))->trigger();
        QCOMPARE(Err.Number, 0);
        QVERIFY(!SectionExists(AppTitle, QStringLiteral("frmMDI")));
        QVERIFY(!SectionExists(AppTitle, QStringLiteral("frmErrox")));
        QVERIFY(SectionExists(AppTitle, QStringLiteral("frmCFile")));
    }

    void shipModeSavesThenResetsAndReloads()
    {
        SoftShip = false;
        SoftMore = true;
        UserLevel = 2;
        frmMDI *mdi = frmMDI::get();
        mdi->mnuDbgSftShp->trigger(); // on: save, then reset
        QVERIFY(SoftShip);
        QVERIFY(!SoftMore);
        QCOMPARE(UserLevel, int16_t(0));
        mdi->mnuDbgSftShp->trigger(); // off: reload
        QVERIFY(!SoftShip);
        QVERIFY(SoftMore);
        QCOMPARE(UserLevel, int16_t(2));
    }

    void levelItems()
    {
        frmMDI *mdi = frmMDI::get();
        UserLevel = 4;
        mdi->mnuDbgIncLev->trigger();
        QCOMPARE(UserLevel, int16_t(4));
        mdi->mnuDbgMinLev->trigger();
        mdi->mnuDbgDecLev->trigger();
        QCOMPARE(UserLevel, int16_t(0));
        mdi->mnuDbgIncLev->trigger();
        QCOMPARE(UserLevel, int16_t(1));
        mdi->mnuDbgZapReg->trigger();
        QVERIFY(ClearRegistry);
        QVERIFY(mdi->mnuDbgZapReg->isChecked());
    }
};

QTEST_MAIN(TestSwitches)
#include "tst_switches.moc"
