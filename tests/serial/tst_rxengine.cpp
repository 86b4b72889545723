// The receive engine: every chunk the link receives, as the terminal box, the
// capture log, the line table, the live-link queue, the reply buffer, the
// active CFile and the panel's boxes see it.
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "chrono/modChronoNbr.h"
#include "chrono/modCroCap.h"
#include "chrono/modCroLnk.h"
#include "chrono/modCroTmr.h"
#include "common/timing.h"
#include "editor/frmDocument.h"
#include "editor/modCapFmt.h"
#include "editor/modDocument.h"
#include "editor/modEditorNbr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "serial/frmTerminal.h"
#include "serial/modCapLog.h"
#include "serial/modRxEngine.h"
#include "shell/frmMDI.h"
#include "shell/modBusy.h"
#include "shell/modNeighbours.h"
#include "shell/modPrgrs.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"

using namespace vt;
using vt::test::runEventsUntil;
using vt::test::untilConclusive;

namespace {

struct FakeRemote : RemoteNbr {
    QString live, progress;
    int keypad = 0;
    bool failLive = false;
    void ShowExcTxt(const QString &text) override
    {
        if (failLive)
            raise(91);
        live += text;
    }
    void addPrgrsText(const QString &text) override { progress += text; }
    void seeKeyPadLcd() override { ++keypad; }
};

struct FakeExport : ExportNbr {
    QStringList rows;
    void addXlShot() override { rows << CapExport.excLine; }
};

QString lines(const QStringList &ls, const QString &end = QStringLiteral("\r\n"))
{
    QString s;
    for (const QString &l : ls)
        s += l + end;
    return s;
}

} // namespace

class TestRxEngine : public QObject {
    Q_OBJECT
    frmTerminal *term = nullptr;
    FakeRemote remote;
    FakeExport xport;

    // One chunk through the engine, as the link control hands it over.
    QString feed(QString chunk)
    {
        term->putRxData(term->txtTerm, chunk);
        return chunk;
    }
    void feedAll(const QStringList &chunks)
    {
        for (const QString &c : chunks)
            feed(c);
    }
    QString box() const { return term->txtTerm->Text(); }

    RichTextBox *openCFile(const QString &text)
    {
        CreateNewCFile();
        RichTextBox *rtf = ActiveForm()->rtfText;
        rtf->SetText(text);
        return rtf;
    }

private slots:
    void initTestCase()
    {
        installRemote(&remote);
        installExport(&xport);
        installEditorSubsystem();
        installChronoLink();
        frmMDI::get();
        term = frmTerminal::get();
    }
    void cleanupTestCase()
    {
        installRemote(nullptr);
        installExport(nullptr);
        installEditor(nullptr);
    }

    void init()
    {
        answers::reset();
        Err.Clear();
        stpLinkTimers();
        zapRxData();
        term->txtTerm->SetText(QString());
        RxRoute[0] = true;
        RxRoute[1] = RxRoute[2] = false;
        CroLnk = CroLink{};
        excRtcOn = false;
        BusyPrgrs = false;
        PrgrsState = PrgrsStateRec{};
        keyPadOn = false;
        term->RxLines = term->RxBytes = 0;
        remote = FakeRemote{};
        xport.rows.clear();
        cLogClose();
        term->cutRxLine();
        for (frmDocument *doc : openCFiles()) {
            doc->bChanged = false;
            doc->unload();
        }
    }

    // --- the terminal box ---------------------------------------------------

    void terminalText_data()
    {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF is one line end") << QStringList{"AB\r\nCD"} << "AB\r\nCD";
        QTest::newRow("LF CR is one line end") << QStringList{"AB\n\rCD\n\r"} << "AB\r\nCD\r\n";
        QTest::newRow("lone CR becomes CR LF") << QStringList{"AB\rCD\r"} << "AB\r\nCD\r\n";
        QTest::newRow("lone LF is dropped") << QStringList{"AB\nCD"} << "ABCD";
        QTest::newRow("pair split over chunks") << QStringList{"AB\r", "\nCD"} << "AB\r\nCD";
        QTest::newRow("backspace in the chunk") << QStringList{"AB\b"} << "A";
        QTest::newRow("backspace heads the chunk") << QStringList{"AB", "\bC"} << "AC";
        QTest::newRow("two backspaces take two") << QStringList{"ABC", "\b\b"} << "A";
        QTest::newRow("backspaces over both") << QStringList{"AB", "C\b\bX"} << "AX";
        QTest::newRow("backspace on an empty box") << QStringList{"\b\bX"} << "X";
        QTest::newRow("more backspaces than shown") << QStringList{"A", "\b\b\bZ"} << "Z";
        QTest::newRow("backspace takes a line end whole") << QStringList{"AB\r\n", "\bC"} << "ABC";
    }
    void terminalText()
    {
        QFETCH(QStringList, chunks);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        cLogOpen(dir.filePath(QStringLiteral("link.log")));
        cLogOn = true;
        // Shoot mode: the CFile applies backspaces and line ends as the box does.
        RichTextBox *cfile = openCFile(QString());
        RxRoute[1] = true;
        QString edited;
        for (const QString &c : chunks)
            edited += feed(c);
        QCOMPARE(box(), shown);
        QCOMPARE(cfile->Text(), shown);
        QCOMPARE(term->txtTerm->SelStart(), box().size());
        // The log and the later destinations get each chunk as edited for
        // the box: no backspaces, no lone line feeds, CR LF line ends.
        QVERIFY(!edited.contains(QChar(8)));
        QCOMPARE(edited.count(u'\n'), edited.count(QStringLiteral("\r\n")));
        cLogClose();
        QFile log(dir.filePath(QStringLiteral("link.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(log.readAll()), edited);
    }

    void captureLogPaused()
    {
        QTemporaryDir dir;
        cLogOpen(dir.filePath(QStringLiteral("p.log")));
        cLogOn = false;
        feed(QStringLiteral("not logged\r"));
        cLogOn = true;
        feed(QStringLiteral("logged\r"));
        cLogClose();
        QFile log(dir.filePath(QStringLiteral("p.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(), QByteArray("logged\r\n"));
    }

    void captureLogWriteFailure()
    {
        // A log on a full device: Retry tries the same text again, Cancel closes the log.
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full");
        cLogOpen(QStringLiteral("/dev/full"));
        cLogOn = true;
        answers::queue(QStringLiteral("Retry"));
        answers::queue(QStringLiteral("Cancel"));
        feed(QStringLiteral("shot\r"));
        QCOMPARE(answers::asked().size(), 2);
        QCOMPARE(answers::asked().at(0).question.buttons, (QStringList{"Retry", "Cancel"}));
        QCOMPARE(answers::asked().at(0).question.icon, QStringLiteral("Critical"));
        QCOMPARE(cLogFile, int16_t(0));
        QVERIFY(!cLogOn);
        QVERIFY(term->windowTitle().endsWith(QStringLiteral("(Log turned off)")));
        // The chunk still reached the box.
        QCOMPARE(box(), QStringLiteral("shot\r\n"));
    }

    void trimAtLineBoundary()
    {
        // 400 lines of 98 characters: far above the limit.
        QString big;
        for (int i = 0; i < 400; ++i)
            big += QStringLiteral("%1").arg(i, 4, 10, QChar('0')) + QString(94, u'x') + QStringLiteral("\r\n");
        term->txtTerm->SetText(big);
        QVERIFY(term->txtTerm->TextLength() > 32750);

        // While a chronograph task runs (a download) the box stays whole.
        QVERIFY(!croTask(1));
        feed(QStringLiteral("MMR:<End>\r"));
        QCOMPARE(term->txtTerm->TextLength(), big.size() + 11);
        croTask(2);

        feed(QStringLiteral("next\r"));
        const QString t = box();
        QVERIFY(t.size() <= 32750 + 6);
        QVERIFY(t.size() > 32750 - 100 - 6);
        QVERIFY(t.startsWith(QStringLiteral("0")));     // a whole line heads it
        QCOMPARE(t.mid(4, 94), QString(94, u'x'));
        QVERIFY(t.endsWith(QStringLiteral("0399") + QString(94, u'x') + QStringLiteral("\r\nMMR:<End>\r\nnext\r\n")));
    }

    // --- the line table ------------------------------------------------------

    void lineTable()
    {
        // One line in three chunks is stored once, whole.
        feedAll({QStringLiteral("\nFol=01 "), QStringLiteral("Str=02 "), QStringLiteral("Sho=03")});
        QCOMPARE(RxLogMain.rxLineIdx, int16_t(0));
        QCOMPARE(RxLogMain.rxLines[0], QStringLiteral("\nFol=01 Str=02 Sho=03"));
        feed(QStringLiteral("\r"));
        QCOMPARE(RxLogMain.rxLines[0], QStringLiteral("\nFol=01 Str=02 Sho=03"));
        QCOMPARE(RxLogMain.rxLineIdx, int16_t(1));
        QCOMPARE(term->RxLines, 1);
        QCOMPARE(term->RxBytes, 22);

        // Three carriage returns in one chunk: three lines, three steps.
        PrgrsState.PrgrsOn = true;
        PrgrsState.PrgrsEnd = 100;
        feed(QStringLiteral("a\rb\rc\rrest"));
        QCOMPARE(RxLogMain.rxLineIdx, int16_t(4));
        QCOMPARE(RxLogMain.rxLines[1], QStringLiteral("a"));
        QCOMPARE(RxLogMain.rxLines[3], QStringLiteral("c"));
        QCOMPARE(RxLogMain.rxLines[4], QStringLiteral("rest"));
        QCOMPARE(PrgrsState.PrgrsCur, 3);

        // Wrapping after 101 lines.
        zapRxData();
        QCOMPARE(RxLogMain.rxLines[4], QString()); // the line under way goes with the indices
        feed(QString(101, u'\r'));
        QCOMPARE(RxLogMain.rxLineIdx, int16_t(0));
        QCOMPARE(RxLogMain.rxLineCnt, 101);
        QCOMPARE(RxLogMain.rxLineWrap, 1);
        feed(QStringLiteral("\r\r"));
        QCOMPARE(RxLogMain.rxLineIdx, int16_t(2));
        QCOMPARE(RxLogMain.rxLineWrap, 3);
    }

    void headerWatchAndQuietGaps()
    {
        LinkTimers &t = lnkTmr();
        // A header line before the gap has passed keeps both timers running
        // past the moment they would have expired without it. A stall of this
        // thread may let them expire fairly (a whole gap after the line): then
        // the attempt starts over.
        constexpr int gap = 150;
        untilConclusive([&t, this](bool &conclusive) {
            QElapsedTimer clock;
            clock.start();
            strCrxHed(QStringLiteral("MMR:"), gap);
            strCrxShrt(gap);
            const qint64 due = clock.elapsed() + gap;
            runEventsUntil(clock, gap / 2);
            const qint64 fed = clock.elapsed();
            if (!oneShotRuns(t.tmrCrxHed) || !oneShotRuns(t.tmrCrxShrt)) {
                QVERIFY(clock.elapsed() >= gap);
                return;
            }
            feed(QStringLiteral("MMR:01:02:003 301.2 f/s\r"));
            runEventsUntil(clock, due + 2);
            const bool header = oneShotRuns(t.tmrCrxHed), quiet = oneShotRuns(t.tmrCrxShrt);
            const qint64 now = clock.elapsed();
            if (!header || !quiet) {
                QVERIFY2(now - fed >= gap, header ? "the quiet gap was not prolonged" : "the header watch was not prolonged");
                return;
            }
            conclusive = true;
        });
        feed(QStringLiteral("no header\r"));
        QTRY_VERIFY_WITH_TIMEOUT(oneShotExpired(t.tmrCrxHed), 1000);
        // An idle timer is never started by a chunk.
        stpCrxWait();
        feed(QStringLiteral("x"));
        QVERIFY(!t.tmrCrxShrt.Enabled());
        QVERIFY(oneShotExpired(t.tmrCrxShrt));
    }

    // --- the live-link queue -------------------------------------------------

    void queueTakesCompleteShotLines()
    {
        excRtcOn = true;
        QStringList sent;
        for (int i = 1; i <= 20; ++i)
            sent << QStringLiteral("CAP:%1 30%2.5 f/s 0.001 sec 01:%3_Av 300.0").arg(1000 + i).arg(i % 10).arg(i, 2, 10, QChar('0'));
        sent << QStringLiteral("# Fol=01 Str=02 Sho=20") << QStringLiteral("CAP:01020 <End>");
        // Twenty-two lines at once, among lines that are no shots, the last cut in two.
        QString all = QStringLiteral("\r\nDAT>") + lines(sent.mid(0, 10)) + QStringLiteral("no shot\r\n") + lines(sent.mid(10));
        all.chop(7);
        feed(all);
        QCOMPARE(CapExport.excQueCnt, 21);
        QCOMPARE(CapExport.excBurstCnt, 1);
        QVERIFY(oneShotRuns(lnkTmr().tmrExcEnd));
        feed(QStringLiteral("<End>\r\n"));
        tmrExcRtc_Timer();
        QStringList want;
        for (const QString &s : sent)
            want << QStringLiteral("\n") + s; // the LF after each CR heads the next line
        want[0] = QStringLiteral("\nDAT>") + sent[0];
        QCOMPARE(xport.rows, want);
        QCOMPARE(CapExport.excQueCnt, 0);
        QCOMPARE(CapExport.excQueTot, 22);
        QCOMPARE(CapExport.excQueOvf, 0);

        // Drained twice, nothing comes twice.
        tmrExcRtc_Timer();
        QCOMPARE(xport.rows.size(), 22);
        // With the link off nothing is queued.
        excRtcOn = false;
        feed(QStringLiteral("CAP:99999 1.0 f/s\r"));
        QCOMPARE(CapExport.excQueCnt, 0);
    }

    void queueDrainedByItsTimer()
    {
        excRtcOn = true;
        lnkTmr().tmrExcRtc.setInterval(20);
        lnkTmr().tmrExcRtc.setEnabled(true);
        feed(QStringLiteral("CAP:00001 300.1 f/s\r"));
        feed(QStringLiteral("CAP:00002 300.2 f/s\r"));
        QTRY_COMPARE_WITH_TIMEOUT(xport.rows.size(), 2, 1000);
        QCOMPARE(xport.rows, (QStringList{"CAP:00001 300.1 f/s", "CAP:00002 300.2 f/s"}));
        lnkTmr().tmrExcRtc.setEnabled(false);
    }

    void queueFullDropsOldest()
    {
        excRtcOn = true;
        QString many;
        for (int i = 0; i < kExcQueMax + 3; ++i)
            many += QStringLiteral("#%1\r").arg(i);
        feed(many);
        QCOMPARE(CapExport.excQueCnt, kExcQueMax);
        QCOMPARE(CapExport.excQueOvf, 3);
        tmrExcRtc_Timer();
        QCOMPARE(xport.rows.size(), kExcQueMax);
        QCOMPARE(xport.rows.first(), QStringLiteral("#3"));
        QCOMPARE(xport.rows.last(), QStringLiteral("#%1").arg(kExcQueMax + 2));
    }

    // --- the reply buffer and the other destinations -------------------------

    void replyBuffer()
    {
        feed(QStringLiteral("before the wait"));
        QCOMPARE(CroLnk.rxRecent, QString());
        CroLnk.rxRecentOn = true;
        const QString head = QStringLiteral("0123456789").repeated(8);   // 80
        feed(head + QString(700, u'y'));
        QCOMPARE(CroLnk.rxRecent.size(), 780);
        feed(QString(21, u'z'));                                       // 801: the first 79 go
        QCOMPARE(CroLnk.rxRecent.size(), 801 - 79);
        QVERIFY(CroLnk.rxRecent.startsWith(QStringLiteral("9") + QString(10, u'y')));
        // The buffer gets the text as the terminal shows it.
        CroLnk.rxRecent.clear();
        feed(QStringLiteral("\n\rDAT>"));
        QCOMPARE(CroLnk.rxRecent, QStringLiteral("\r\nDAT>"));
    }

    void panelDestinations()
    {
        RxRoute[2] = true;
        BusyPrgrs = true;
        keyPadOn = true;
        feed(QStringLiteral("CAP:0001"));
        QCOMPARE(remote.keypad, 0); // no line completed yet
        feed(QStringLiteral(" 300.0 f/s\n\r"));
        QCOMPARE(remote.keypad, 1);
        QCOMPARE(remote.live, QStringLiteral("CAP:0001 300.0 f/s\r\n"));
        QCOMPARE(remote.progress, remote.live);
    }

    void failingDestinationLosesNothingElse()
    {
        RxRoute[2] = true;
        remote.failLive = true;
        BusyPrgrs = true;
        CroLnk.rxRecentOn = true;
        excRtcOn = true;
        RichTextBox *cfile = openCFile(QString());
        RxRoute[1] = true;
        feed(QStringLiteral("CAP:00001 301.0 f/s\r"));
        QCOMPARE(box(), QStringLiteral("CAP:00001 301.0 f/s\r\n"));
        QCOMPARE(cfile->Text(), QStringLiteral("CAP:00001 301.0 f/s\r\n"));
        QCOMPARE(CroLnk.rxRecent, box());
        QCOMPARE(remote.progress, box());
        QCOMPARE(CapExport.excQueCnt, 1);
        QCOMPARE(answers::asked().size(), 0);
    }

    // --- the active CFile in Shoot mode --------------------------------------

    void shootModeKeepsTheUsersFormat()
    {
        RichTextBox *cfile = openCFile(QStringLiteral("Range day\r\nnotes"));
        // The user's bold red words in the middle, and a blue italic end.
        cfile->SetSelStart(0);
        cfile->SetSelLength(5);
        cfile->SetSelBold(true);
        cfile->SetSelColor(Qt::red);
        cfile->SetSelStart(11);
        cfile->SetSelLength(5);
        cfile->SetSelItalic(true);
        cfile->SetSelColor(Qt::blue);
        cfile->SetSelStart(2);
        cfile->SetSelLength(3); // the user's selection, inside the red word

        RxRoute[1] = true;
        feed(QStringLiteral("\r\nCAP:00001 301.0 f/s 0.001 sec\r\n"));
        feed(QStringLiteral("CAP:00002 302.0 f/s 0.001 sec\r\n"));
        QCOMPARE(cfile->Text(), QStringLiteral("Range day\r\nnotes\r\nCAP:00001 301.0 f/s 0.001 sec\r\n"
                                               "CAP:00002 302.0 f/s 0.001 sec\r\n"));
        // The red bold word is as it was; the lines carry the end's format.
        cfile->SetSelStart(0);
        cfile->SetSelLength(5);
        QCOMPARE(cfile->SelBold(), std::optional<bool>(true));
        QCOMPARE(cfile->SelColor(), std::optional<QColor>(QColor(Qt::red)));
        cfile->SetSelStart(18);
        cfile->SetSelLength(9);
        QCOMPARE(cfile->SelItalic(), std::optional<bool>(true));
        QCOMPARE(cfile->SelColor(), std::optional<QColor>(QColor(Qt::blue)));
        QCOMPARE(cfile->SelBold(), std::optional<bool>(false));
        // What the user types next at the end keeps that format.
        cfile->SetSelStart(cfile->TextLength());
        QCOMPARE(cfile->SelItalic(), std::optional<bool>(true));
        QCOMPARE(cfile->SelColor(), std::optional<QColor>(QColor(Qt::blue)));
    }

    void shootModeWithoutTerminalGetsTheRawChunk()
    {
        RichTextBox *cfile = openCFile(QString());
        RxRoute[0] = false;
        RxRoute[1] = true;
        feed(QStringLiteral("A\n\rB"));
        QCOMPARE(box(), QString());
        QCOMPARE(cfile->Text(), QStringLiteral("A\r\n\r\nB")); // both line ends kept
    }

    // No CFile to take the text: the terminal still shows it, Shoot mode
    // ends and the user is told once.
    void shootModeWithoutCFileEndsShootModeOnce()
    {
        RxRoute[1] = true;
        feed(QStringLiteral("CAP:00001 301.0 f/s\r"));
        feed(QStringLiteral("CAP:00002 302.0 f/s\r"));
        QCOMPARE(box(), QStringLiteral("CAP:00001 301.0 f/s\r\nCAP:00002 302.0 f/s\r\n"));
        QVERIFY(!RxRoute[1]);
        QCOMPARE(answers::asked().size(), 1);
        QVERIFY(answers::last().question.text.contains(QLatin1String("Shots will no longer be recorded")));
    }

    // A device that ends its lines with LF alone: in the CFile its lines
    // never end. Receiving onto the end of a 1 MB line must cost per
    // character no more than receiving short shot lines, measured here in
    // the same run; and what arrived is all there, in order.
    void longOpenLineCostsNoMorePerCharacter()
    {
        constexpr int kChunks = 4000;
        const QString shot = QStringLiteral("CAP:00001 301.0 f/s 0.001 sec  12:00:00 ------------------------");
        QCOMPARE(shot.size(), 64);
        // The CFile's path alone: the terminal box keeps its own line below
        // its limit, at a cost of its own.
        RxRoute[0] = false;
        RxRoute[1] = true;
        bool within = false;
        for (int attempt = 0; attempt < 3 && !within; ++attempt) {
            // Short lines: every chunk ends its line.
            RichTextBox *cfile = openCFile(QString());
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < kChunks; ++i)
                feed(shot.left(63) + u'\r');
            QCOMPARE(cfile->TextLength(), kChunks * 65);
            const qint64 shortNs = clock.nsecsElapsed();
            ActiveForm()->bChanged = false;
            ActiveForm()->unload();

            // The same characters onto the end of a 1 MB line that never ends.
            const QString start(1 << 20, u'x');
            cfile = openCFile(QString());
            feed(start);
            cfile->GetLineCount(); // laid out once before the clock starts
            feed(shot);
            clock.restart();
            bool gaveUp = false;
            for (int i = 1; i < kChunks && !gaveUp; ++i) {
                feed(shot);
                gaveUp = clock.nsecsElapsed() > 4 * shortNs; // no need to wait for the whole of a slow run
            }
            QVERIFY2(!gaveUp, "receiving onto the long line costs more than four times as much per character");
            // The clock stops before the text is read: reading writes out what
            // was held back, one write whatever the number of characters, so
            // it is no part of the cost per character.
            const qint64 longNs = clock.nsecsElapsed();
            const QString text = cfile->Text();
            QCOMPARE(text.size(), start.size() + kChunks * 64);
            QVERIFY(text.startsWith(start));
            QCOMPARE(QStringView(text).mid(start.size(), 64), shot);
            QCOMPARE(QStringView(text).right(64), shot);
            QCOMPARE(cfile->document()->blockCount(), 1);
            // Twice the short lines' cost leaves room for a stall; without the
            // gathering it costs hundreds of times as much.
            within = longNs <= 2 * shortNs;
            if (!within)
                qWarning("attempt %d: long line %lld ms, short lines %lld ms", attempt, longNs / 1000000,
                         shortNs / 1000000);
            ActiveForm()->bChanged = false;
            ActiveForm()->unload();
        }
        QVERIFY(within);
    }

    // A line arriving one character at a time changes the terminal box and
    // the CFile once, at its end: painting both for every character was most
    // of what a capture cost. Whoever reads either box in between sees every
    // character that came.
    void characterByCharacterChangesEachBoxOncePerLine()
    {
        RichTextBox *cfile = openCFile(QStringLiteral("Range day\r\n"));
        RxRoute[1] = true;
        QSignalSpy termChanges(term->txtTerm->document(), &QTextDocument::contentsChanged);
        QSignalSpy cfileChanges(cfile->document(), &QTextDocument::contentsChanged);
        const QString line = QStringLiteral("CAP:00001 301.0 f/s 0.001 sec  12:00:00");
        for (const QChar c : line)
            feed(QString(c));
        QCOMPARE(termChanges.count(), 0);
        QCOMPARE(cfileChanges.count(), 0);
        feed(QStringLiteral("\r"));
        feed(QStringLiteral("\n"));
        QCOMPARE(termChanges.count(), 1);
        QCOMPARE(cfileChanges.count(), 1);
        QCOMPARE(box(), line + QStringLiteral("\r\n"));
        QCOMPARE(cfile->Text(), QStringLiteral("Range day\r\n") + line + QStringLiteral("\r\n"));

        // A reader in the middle of a line sees what came so far, the caret
        // behind it.
        feed(QStringLiteral("CAP:0"));
        feed(QStringLiteral("0002"));
        QCOMPARE(box(), line + QStringLiteral("\r\nCAP:00002"));
        QCOMPARE(term->txtTerm->SelStart(), box().size());
        QVERIFY(cfile->Text().endsWith(QLatin1String("\r\nCAP:00002")));
    }

    // A prompt or a line cut short lands in both boxes by itself, nobody
    // reading, within a moment.
    void textWithoutLineEndLandsByItself()
    {
        RichTextBox *cfile = openCFile(QString());
        RxRoute[1] = true;
        feed(QStringLiteral("\r\nDA"));
        feed(QStringLiteral("T>"));
        const QTextDocument *termDoc = term->txtTerm->document();
        QTRY_COMPARE(termDoc->toPlainText(), QStringLiteral("\nDAT>"));
        QTRY_COMPARE(cfile->document()->toPlainText(), QStringLiteral("\nDAT>"));
        QCOMPARE(term->txtTerm->textCursor().position(), termDoc->characterCount() - 1);
    }

    // Where received text goes changes only between two of the device's
    // lines, and each line it sends begins one of its own in the CFile. A
    // step is a chunk received with Shoot mode "on:" or "off:", or a "log:"
    // line the program writes.
    void cfileGetsWholeLines_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("cfile");
        QTest::newRow("shot after the prompt")
            << "" << QStringList{"on:\r\nDAT>CAP:00001 301.0\r\n"} << "\r\nDAT>\r\nCAP:00001 301.0\r\n";
        QTest::newRow("prompt and shot in pieces")
            << "" << QStringList{"on:\r\nDA", "on:T>C", "on:AP:00001\r\n"} << "\r\nDAT>\r\nCAP:00001\r\n";
        QTest::newRow("menu prompt") << "" << QStringList{"on:\r\nMEN><DAT> 03?", "on:CAP:00001\r\n"}
                                     << "\r\nMEN><DAT> 03?\r\nCAP:00001\r\n";
        QTest::newRow("prompt written by a download")
            << "MMR:<End>\r\nDAT>" << QStringList{"on:CAP:00001\r\n"} << "MMR:<End>\r\nDAT>\r\nCAP:00001\r\n";
        QTest::newRow("prompt-like text inside a line")
            << "" << QStringList{"on:Fol=01 DAT>5\r\n"} << "Fol=01 DAT>5\r\n";
        QTest::newRow("Shoot mode begins inside a line")
            << "REM: Status\r\n" << QStringList{"off:\r\nDAT>C", "on:AP:00001\r\n"} << "REM: Status\r\nCAP:00001\r\n";
        QTest::newRow("Shoot mode ends inside a line")
            << "" << QStringList{"on:CAP:0", "off:0001\r\n\r\nDAT>"} << "CAP:00001\r\n";
        QTest::newRow("Shoot mode off and on between lines")
            << "" << QStringList{"off:CAP:00001\r\n", "on:CAP:00002\r\n"} << "CAP:00002\r\n";
        QTest::newRow("log line while a line is under way")
            << "" << QStringList{"on:CAP:0", "log:REM: note\r\n", "on:0001\r\n"} << "REM: note\r\nCAP:00001\r\n";
        QTest::newRow("log line after a prompt")
            << "" << QStringList{"on:\r\nDAT>", "log:REM: note\r\n"} << "\r\nDAT>\r\nREM: note\r\n";
        QTest::newRow("backspace inside a line held for Shoot mode")
            << "" << QStringList{"off:CAX", "off:\b", "on:P:00001\r\n"} << "CAP:00001\r\n";
    }
    void cfileGetsWholeLines()
    {
        QFETCH(QString, before);
        QFETCH(QStringList, steps);
        QFETCH(QString, cfile);
        RichTextBox *rtf = openCFile(before);
        QString shown;
        for (const QString &step : steps) {
            const QString what = step.section(u':', 0, 0);
            const QString text = step.section(u':', 1);
            if (what == QLatin1String("log")) {
                QVERIFY(appendActiveCFile(text));
                continue;
            }
            RxRoute[1] = what == QLatin1String("on");
            shown += feed(text);
        }
        QCOMPARE(rtf->Text(), cfile);
        // The terminal shows the bytes as they came (a backspace has taken
        // one from an earlier chunk there).
        if (!steps.join(QString()).contains(QChar(8)))
            QCOMPARE(box(), shown);
    }

    // A line cut short by the device going away, still held back for the
    // CFile, keeps a line of its own before the notice of the loss.
    void lostDeviceNoticeFollowsAHeldHalfLine()
    {
        RichTextBox *cfile = openCFile(QStringLiteral("Session\r\n"));
        RxRoute[1] = true;
        feed(QStringLiteral("CAP: half a li"));
        answers::queue(QStringLiteral("OK"));
        term->lostDevice();
        const QStringList got = cfile->Text().split(QStringLiteral("\r\n"));
        QCOMPARE(got.size(), 4);
        QCOMPARE(got.at(1), QStringLiteral("CAP: half a li"));
        QVERIFY2(got.at(2).startsWith(QLatin1String("REM: Port COM")), qPrintable(got.at(2)));
        QCOMPARE(got.at(3), QString());
    }

    // Held-back text is never lost: a log line goes in before the line the
    // device has under way, not into its middle (and a received line starts
    // a line of its own after the user's text); held text lands by itself
    // when nothing more arrives, and is in the CFile when Shoot mode ends.
    void heldTextIsNeverLostNorOvertaken()
    {
        RichTextBox *cfile = openCFile(QString(1 << 20, u'x'));
        const QTextDocument *doc = cfile->document();
        RxRoute[0] = true;
        RxRoute[1] = true;
        feed(QStringLiteral("CAP:00001\n")); // no line end once the LF is gone: held
        feed(QStringLiteral("CAP:00002\n"));
        QVERIFY(!doc->toPlainText().endsWith(QLatin1String("CAP:00002")));
        QVERIFY(appendActiveCFile(QStringLiteral("REM: note\r\n")));
        QVERIFY(cfile->Text().endsWith(QLatin1String("x\r\nREM: note\r\nCAP:00001CAP:00002")));

        // Nobody reads: it still lands, once the wait for the last change is over.
        feed(QStringLiteral("CAP:00003 long line"));
        feed(QStringLiteral("; more\n"));
        QTRY_VERIFY_WITH_TIMEOUT(doc->toPlainText().endsWith(QLatin1String("CAP:00003 long line; more")), 60000);

        feed(QStringLiteral("CAP:00004\n"));
        feed(QStringLiteral("CAP:00005\n"));
        subCaptureOnOff(0); // Shoot mode off
        QVERIFY(!RxRoute[1]);
        QVERIFY(doc->toPlainText().endsWith(QLatin1String("CAP:00004CAP:00005")));
    }
};

QTEST_MAIN(TestRxEngine)
#include "tst_rxengine.moc"
