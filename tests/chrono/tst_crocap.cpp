// Shoot mode against Edit mode: switching with its warnings, the CFile it
// needs, and what happens when that CFile goes.
#include <QTest>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroCap.h"
#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "shell/frmMDI.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"

using namespace vt;
using vttest::boxTexts;

namespace {

// A link port that opens when asked, unless it cannot.
struct Port : vttest::FakeSerial {
    bool canOpen = true;
    int opens = 0;
    int16_t linkCommPort() override { return 3; }
    void subOpenPort() override
    {
        ++opens;
        open = canOpen;
    }
};

const QString hint = QStringLiteral("These warning messages can be turned off from rUvuzu menu.   \r\n"
                                    "Click on <View>/<rUvuzu>..[Option] and clear [System Warnings].\r\n\r\n");

QString disconnected(const QString &caption)
{
    return hint + QStringLiteral("Chronograph is now disconected from CFile\r\n"
                                 "Shots will no longer be recorded into CFile name\r\n\t''")
           + caption + QStringLiteral("''     \r\n");
}

frmDocument *newCFile()
{
    CreateNewCFile();
    return ActiveForm();
}

} // namespace

class TestCroCap : public QObject {
    Q_OBJECT
    Port port;

private slots:
    void init()
    {
        vttest::startEditor();
        port = Port{};
        installSerial(&port);
        installChronoSubsystem();
    }
    void cleanup()
    {
        vttest::stopEditor();
        installChrono(nullptr);
    }

    void shootOnOpensThePort()
    {
        newCFile();
        subCaptureOnOff(0);
        QVERIFY(RxRoute[1]);
        QCOMPARE(port.opens, 1);
        QVERIFY(boxTexts().isEmpty());
        QVERIFY(frmMDI::get()->windowTitle().contains(QLatin1String("{Remote}")));
    }

    // The port message shows whatever the warning option says.
    void portNotAvailableKeepsEditMode_data()
    {
        QTest::addColumn<bool>("showWarn");
        QTest::newRow("warnings on") << true;
        QTest::newRow("warnings off") << false;
    }
    void portNotAvailableKeepsEditMode()
    {
        QFETCH(bool, showWarn);
        ShowWarn = showWarn;
        port.canOpen = false;
        newCFile();
        subCaptureOnOff(0);
        QVERIFY(!RxRoute[1]);
        QCOMPARE(boxTexts(), QStringList{hint + QStringLiteral("Port COM3 is not avaialble, chronograph connection to\r\n\t''CFile1''     \r\nis now turned off..!")});
        QVERIFY(frmMDI::get()->windowTitle().contains(QLatin1String("{Edit}")));
    }

    void editModeWarnsOnlyWithWarningsOn_data()
    {
        QTest::addColumn<bool>("showWarn");
        QTest::newRow("warnings on") << true;
        QTest::newRow("warnings off") << false;
    }
    void editModeWarnsOnlyWithWarningsOn()
    {
        QFETCH(bool, showWarn);
        ShowWarn = showWarn;
        newCFile();
        subCaptureOnOff(0);
        QVERIFY(RxRoute[1]);
        subCaptureOnOff(0);
        QVERIFY(!RxRoute[1]);
        QCOMPARE(boxTexts(), showWarn ? QStringList{disconnected(QStringLiteral("CFile1"))} : QStringList{});
    }

    void otherActionsOnlyRefresh()
    {
        newCFile();
        port.open = true;
        RxRoute[1] = true;
        subCaptureOnOff(1);
        QVERIFY(RxRoute[1]);
        QCOMPARE(port.opens, 0);
        QVERIFY(frmMDI::get()->windowTitle().contains(QLatin1String("{Remote}")));
        // The refresh also ends Shoot mode when the port has closed.
        port.open = false;
        subCaptureOnOff(7);
        QVERIFY(!RxRoute[1]);
    }

    // Shoot mode needs a CFile: one is offered; declined, Edit mode stays.
    void shootWithoutCFile_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("shoot");
        QTest::newRow("a new CFile") << "Yes" << true;
        QTest::newRow("declined") << "No" << false;
    }
    void shootWithoutCFile()
    {
        QFETCH(QString, answer);
        QFETCH(bool, shoot);
        QVERIFY(!ActiveForm());
        answers::queue(answer);
        subCaptureOnOff(0);
        QTEST(RxRoute[1], "shoot");
        QCOMPARE(ActiveForm() != nullptr, shoot);
        const QStringList boxes = boxTexts();
        QVERIFY(boxes.value(0).contains(QLatin1String("there are no opened CFiles")));
        QCOMPARE(boxes.size(), shoot ? 1 : 2);
        if (!shoot)
            QCOMPARE(boxes.value(1), QStringLiteral("Aborted by the user..!"));
        QCOMPARE(port.opens, shoot ? 1 : 0);
    }

    // Closing the last CFile ends Shoot mode with one notice; closing one of
    // several, or every one as the program ends, says nothing.
    void closingTheLastCFileEndsShootMode()
    {
        frmDocument *first = newCFile();
        frmDocument *second = newCFile();
        subCaptureOnOff(0);
        QVERIFY(RxRoute[1]);

        QVERIFY(second->unload(vbFormControlMenu));
        QVERIFY(RxRoute[1]);
        QVERIFY(boxTexts().isEmpty());

        QVERIFY(first->unload(vbFormControlMenu));
        QVERIFY(!RxRoute[1]);
        QCOMPARE(boxTexts(), QStringList{disconnected(QStringLiteral("CFile1"))});
        QVERIFY(frmMDI::get()->windowTitle().contains(QLatin1String("{Edit}")));
    }
    void programEndClosesQuietly()
    {
        newCFile();
        subCaptureOnOff(0);
        QVERIFY(RxRoute[1]);
        QVERIFY(frmMDI::get()->unload(vbFormCode));
        QVERIFY(boxTexts().isEmpty());
    }

    // Text arriving in Shoot mode with no CFile to take it ends Shoot mode, loudly.
    void lostCFileIsReported()
    {
        port.open = true;
        RxRoute[1] = true;
        shootCFileLost();
        QVERIFY(!RxRoute[1]);
        QCOMPARE(boxTexts().size(), 1);
        shootCFileLost();
        QCOMPARE(boxTexts().size(), 1);
    }
};

QTEST_MAIN(TestCroCap)
#include "tst_crocap.moc"
