// Shots on their way into the active CFile in Shoot mode: the simulated
// chronograph fires, the terminal window's link port receives, and the lines
// land at the end of the CFile without touching the user's formats. Log lines
// take the same way.
#include <QTest>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroCap.h"
#include "chrono/modCroCox.h"
#include "common/cfilefixture.h"
#include "editor/frmDocument.h"
#include "editor/modDocument.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "sim/kt4sim.h"

using namespace vt;
using vttest::boxTexts;

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 128, 0);

// The lines of a box's text, without empty ones.
QStringList lines(const RichTextBox *box)
{
    return box->Text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// Selects `text` in the box; false when it is not there.
bool select(RichTextBox *box, const QString &text)
{
    const int at = int(box->Text().indexOf(text));
    if (at < 0)
        return false;
    box->SetSelStart(at);
    box->SetSelLength(int(text.size()));
    return true;
}

} // namespace

class TestShootCap : public QObject {
    Q_OBJECT
    sim::Kt4Sim sim;
    frmTerminal *term = nullptr;

    // A CFile holding a bold red word in its first line and green italic
    // text at its end; the bold red word is selected, as a user left it.
    RichTextBox *userCFile()
    {
        CreateNewCFile();
        frmDocument *doc = ActiveForm();
        if (!doc)
            return nullptr;
        RichTextBox *box = doc->rtfText;
        box->SetText(QStringLiteral("Range day WINDY afternoon\r\nNotes "));
        select(box, QStringLiteral("WINDY"));
        box->SetSelBold(true);
        box->SetSelColor(red);
        select(box, QStringLiteral("Notes "));
        box->SetSelItalic(true);
        box->SetSelColor(green);
        select(box, QStringLiteral("WINDY"));
        return box;
    }

    // The formats of `text` in the box: bold, colour.
    static void checkBoldRed(RichTextBox *box, const QString &text)
    {
        QVERIFY(select(box, text));
        QCOMPARE(box->SelBold(), std::optional<bool>(true));
        QCOMPARE(box->SelColor(), std::optional<QColor>(red));
    }

private slots:
    void initTestCase() { QVERIFY(sim.start()); }

    void init()
    {
        vttest::startEditor();
        qputenv("VANTRELL_COM1", sim.portName().toLocal8Bit());
        installSerialSubsystem();
        installChronoSubsystem();
        term = frmTerminal::get();
        term->lodTerminal();
        RxRoute[0] = true;
        sim.reset();
        sim.options().pacing = false;
        sim.clearSent();
    }
    void cleanup()
    {
        RxRoute[1] = false;
        if (term->MSComm1->PortOpen())
            term->subClosePort();
        vttest::stopEditor();
        installChrono(nullptr);
    }

    void tenShotsBecomeTenLinesAtTheEnd()
    {
        RichTextBox *box = userCFile();
        QVERIFY(box);
        const QString before = box->Text();
        subCaptureOnOff(0);
        QVERIFY(RxRoute[1]);
        QVERIFY(term->MSComm1->PortOpen());
        QVERIFY(sim.waitForPeer(true));

        sim.unit().armed = true;
        for (int i = 0; i < 10; ++i)
            sim.fireShot(300.0 + i);
        // The user's text stands as it was, the shots follow it, one a line.
        QTRY_COMPARE(box->Text().count(QLatin1String("CAP:")), 10);
        QTest::qWait(50);
        QVERIFY(box->Text().startsWith(before));
        const QStringList got = box->Text().mid(before.size()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(got.size(), 10);
        for (int i = 0; i < 10; ++i) {
            const QString &l = got.at(i);
            QVERIFY2(l.startsWith(QLatin1String("CAP:")), qPrintable(l));
            QVERIFY2(l.contains(QString::number(300 + i)), qPrintable(l));
        }
        QVERIFY(boxTexts().isEmpty());

        // The bold red word is still bold red; the shots took the format that
        // stood at the end, and typing there goes on in it.
        checkBoldRed(box, QStringLiteral("WINDY"));
        QVERIFY(select(box, got.at(0)));
        QCOMPARE(box->SelBold(), std::optional<bool>(false));
        QCOMPARE(box->SelItalic(), std::optional<bool>(true));
        QCOMPARE(box->SelColor(), std::optional<QColor>(green));
        box->SetSelStart(box->TextLength());
        QCOMPARE(box->SelItalic(), std::optional<bool>(true));
        QCOMPARE(box->SelColor(), std::optional<QColor>(green));
    }

    // A backspace the unit sends in a chunk of its own takes the character
    // before it in the CFile as it does in the terminal.
    void loneBackspace()
    {
        RichTextBox *box = userCFile();
        QVERIFY(box);
        subCaptureOnOff(0);
        QVERIFY(RxRoute[1]);
        QVERIFY(sim.waitForPeer(true));
        // Each chunk has arrived before the next is sent.
        const auto send = [this](const QByteArray &bytes, const QString &shown) {
            sim.sendRaw(bytes);
            return QTest::qWaitFor([&] { return term->txtTerm->Text().endsWith(shown); }, 10000);
        };
        QVERIFY(send("\r\nAB", QStringLiteral("\r\nAB")));
        QVERIFY(send("\b", QStringLiteral("\r\nA")));
        QVERIFY(send("C\r\n", QStringLiteral("\r\nAC\r\n")));
        QVERIFY2(box->Text().endsWith(QLatin1String("Notes \r\nAC\r\n")), qPrintable(box->Text()));
    }

    // Log lines go the same way, and nowhere (without an error) with no CFile.
    void logLinesKeepTheFormat()
    {
        RichTextBox *box = userCFile();
        QVERIFY(box);
        plogMsg(QStringLiteral("Session begins"));
        QCOMPARE(lines(box).last(), QStringLiteral("Notes REM: Session begins"));
        checkBoldRed(box, QStringLiteral("WINDY"));
        QVERIFY(select(box, QStringLiteral("REM: Session")));
        QCOMPARE(box->SelItalic(), std::optional<bool>(true));
        QCOMPARE(box->SelColor(), std::optional<QColor>(green));

        frmDocument *doc = ActiveForm();
        doc->bChanged = false;
        QVERIFY(doc->unload(vbFormControlMenu));
        QVERIFY(!ActiveForm());
        Err.Clear();
        plogMsg(QStringLiteral("nowhere"));
        seeSnsOff();
        logCroEvt(1);
        QCOMPARE(Err.Number, 0);
        QVERIFY(boxTexts().isEmpty());
    }

    // Text that arrives in Shoot mode with no CFile to take it ends Shoot
    // mode with one notice; the terminal still shows it.
    void shotWithNoCFileIsNotLostSilently()
    {
        term->subOpenPort();
        QVERIFY(sim.waitForPeer(true));
        RxRoute[1] = true;
        QVERIFY(!ActiveForm());
        sim.unit().armed = true;
        sim.fireShot(310.0);
        sim.fireShot(311.0);
        QTRY_VERIFY(term->txtTerm->Text().contains(QLatin1String("311")));
        QVERIFY(!RxRoute[1]);
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first().contains(QLatin1String("Shots will no longer be recorded into CFile name")));
    }
};

QTEST_MAIN(TestShootCap)
#include "tst_shootcap.moc"
