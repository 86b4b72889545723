// The command line, the copy's label and the chronograph keys typed anywhere.
#include <QTest>

#include "platform/keys.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"

using namespace vt;

namespace {

// A link port that records what is written to it.
struct FakeLink : SerialNbr {
    int16_t port = 1;
    bool open = false;
    QString sent;
    int16_t linkCommPort() override { return port; }
    bool linkPortOpen() override { return open; }
    void linkOutput(const QString &text) override { sent += text; }
};

} // namespace

class TestCmdLine : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        installSerial(nullptr);
        Device = 0;
        AppNum = 0;
    }

    void getCmdLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("p");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("file");
        const QString none;
        QTest::newRow("empty") << "" << -1 << -1 << none << none;
        QTest::newRow("N at the very end") << "N=12" << 12 << -1 << none << none;
        QTest::newRow("lower-case keys, port, file") << "n=5,p=3,x.rtf" << 5 << 3 << none << "x.rtf";
        QTest::newRow("quoted windows path") << "\"C:\\Data\\shots.rtf\"" << -1 << -1 << "C:\\Data\\" << "shots.rtf";
        QTest::newRow("drive without folder") << "N=1,P=2,D:log.txt" << 1 << 2 << "D:" << "log.txt";
        QTest::newRow("N alone: no file") << "N=1" << 1 << -1 << none << none;
        QTest::newRow("no file after the port") << "N=1,P=2" << 1 << 2 << none << "P=2";
        QTest::newRow("three digits: no N, the text is a file") << "N=123" << -1 << -1 << none << "N=123";
        QTest::newRow("negative: no N") << "N=-1,x.rtf" << -1 << -1 << none << "x.rtf";
        QTest::newRow("empty value counts 0") << "N=,P=4" << 0 << 4 << none << "P=4";
        QTest::newRow("not a number counts 0") << "N=ab,x" << 0 << -1 << none << "x";
        QTest::newRow("leading number only") << "P=7x,y" << -1 << 7 << none << "y";
        QTest::newRow("half rounds to even") << "N=.5,f" << 0 << -1 << none << "f";
        QTest::newRow("Linux path") << "N=2,/home/ann/shots/today.rtf" << 2 << -1 << "/home/ann/shots/" << "today.rtf";
        QTest::newRow("Linux path alone") << "/tmp/a.txt" << -1 << -1 << "/tmp/" << "a.txt";
        QTest::newRow("arguments joined by a blank") << "N=3,/tmp/my shots.rtf" << 3 << -1 << "/tmp/" << "my shots.rtf";
        QTest::newRow("last comma decides the file") << "P=1,a,b.rtf" << -1 << 1 << none << "b.rtf";
        QTest::newRow("trailing comma: no file") << "N=4," << 4 << -1 << none << none;
        QTest::newRow("only an opening quote") << "\"x.rtf" << -1 << -1 << none << "x.rtf";
        QTest::newRow("a closing quote alone stays") << "x.rtf\"" << -1 << -1 << none << "x.rtf\"";
    }

    void getCmdLine()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(int, p);
        QFETCH(QString, path);
        QFETCH(QString, file);
        cmdN = 99;
        cmdP = 99;
        cmdPath = QStringLiteral("old");
        cmdFile = QStringLiteral("old");
        setCommand(text);
        vt::getCmdLine();
        QCOMPARE(int(cmdN), n);
        QCOMPARE(int(cmdP), p);
        QCOMPARE(cmdPath, path);
        QCOMPARE(cmdFile, file);
    }

    void strAppNumNamesCopyAndPort()
    {
        FakeLink link;
        link.port = 5;
        installSerial(&link);
        AppNum = 2;
        QCOMPARE(strAppNum(), QStringLiteral("2-5 "));
        installSerial(nullptr); // the stand-in: port 1
        AppNum = 12;
        QCOMPARE(strAppNum(), QStringLiteral("12-1 "));
    }

    void keyPadCode_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("sent"); // -1: nothing sent, key left alone
        QTest::newRow("Up") << int(vbKeyUp) << 0 << true << 0 << 0x15;
        QTest::newRow("Down") << int(vbKeyDown) << 0 << true << 0 << 0x04;
        QTest::newRow("Left") << int(vbKeyLeft) << 0 << true << 0 << 0x0C;
        QTest::newRow("Right") << int(vbKeyRight) << 0 << true << 0 << 0x12;
        QTest::newRow("Delete") << int(vbKeyDelete) << 0 << true << 0 << 0x1E;
        QTest::newRow("Backspace") << int(vbKeyBack) << 0 << true << 0 << 0x1C;
        QTest::newRow("Page Up") << int(vbKeyPageUp) << 0 << true << 0 << 0x0B;
        QTest::newRow("Page Down") << int(vbKeyPageDown) << 0 << true << 0 << 0x0F;
        QTest::newRow("Alt+Delete") << int(vbKeyDelete) << int(vbAltMask) << true << 0 << 0x1F;
        QTest::newRow("Alt+Backspace") << int(vbKeyBack) << int(vbAltMask) << true << 0 << 0x1D;
        QTest::newRow("Alt+Up") << int(vbKeyUp) << int(vbAltMask) << true << 0 << -1;
        QTest::newRow("Shift+Delete") << int(vbKeyDelete) << int(vbShiftMask) << true << 0 << -1;
        QTest::newRow("Ctrl+Alt+Delete") << int(vbKeyDelete) << int(vbCtrlMask | vbAltMask) << true << 0 << -1;
        QTest::newRow("Home") << int(vbKeyHome) << 0 << true << 0 << -1;
        QTest::newRow("letter") << int(vbKeyA) << 0 << true << 0 << -1;
        QTest::newRow("port closed") << int(vbKeyUp) << 0 << false << 0 << -1;
        QTest::newRow("other device") << int(vbKeyUp) << 0 << true << 1 << -1;
    }

    void keyPadCode()
    {
        QFETCH(int, key);
        QFETCH(int, shift);
        QFETCH(bool, open);
        QFETCH(int, device);
        QFETCH(int, sent);
        FakeLink link;
        link.open = open;
        installSerial(&link);
        Device = int16_t(device);
        int16_t keyCode = int16_t(key);
        int16_t shiftState = int16_t(shift);
        vt::keyPadCode(keyCode, shiftState);
        if (sent < 0) {
            QCOMPARE(link.sent, QString());
            QCOMPARE(int(keyCode), key);
        } else {
            QCOMPARE(link.sent, QString(QChar(sent)));
            QCOMPARE(int(keyCode), 0);
        }
        QCOMPARE(int(shiftState), shift);
    }

    void qtKeysTranslate()
    {
        QCOMPARE(keyCodeOf(Qt::Key_Up), int16_t(vbKeyUp));
        QCOMPARE(keyCodeOf(Qt::Key_Backspace), int16_t(vbKeyBack));
        QCOMPARE(keyCodeOf(Qt::Key_PageDown), int16_t(vbKeyPageDown));
        QCOMPARE(keyCodeOf(Qt::Key_F5), int16_t(vbKeyF5));
        QCOMPARE(keyCodeOf(Qt::Key_Q), int16_t('Q'));
        QCOMPARE(shiftOf(Qt::AltModifier), int16_t(vbAltMask));
        QCOMPARE(shiftOf(Qt::ShiftModifier | Qt::ControlModifier), int16_t(vbShiftMask | vbCtrlMask));
    }
};

QTEST_GUILESS_MAIN(TestCmdLine)
#include "tst_cmdline.moc"
