// The remote panel's keys and Download against the simulated chronograph:
// the byte each button puts on the wire, the
// failure texts, the refusals that send nothing.

#include <QButtonGroup>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "chrono/modCroLnk.h"
#include "chrono/modCroTmr.h"
#include "platform/answers.h"
#include "platform/errors.h"
#include "platform/msgbox.h"
#include "platform/richtext.h"
#include "platform/serialport.h"
#include "platform/settings.h"
#include "remote/frmRemCtr.h"
#include "serial/frmTerminal.h"
#include "serial/modSerialNbr.h"
#include "shell/modBusy.h"
#include "shell/modMain.h"
#include "shell/modNeighbours.h"
#include "shell/modShared.h"
#include "shell/modStartNbrs.h"
#include "sim/kt4sim.h"
#include "common/simline.h"

using namespace vt;

namespace {
// Records the notes the panel shows instead of opening the tip window.
struct NoteLog : NotesNbr {
    QList<QPair<int, int>> shown;
    void seeMsgNote(int16_t n, int16_t subIndex) override { shown.append({n, subIndex}); }
};
} // namespace

class TestRemKeys : public QObject {
    Q_OBJECT
private:
    sim::Kt4Sim sim_;
    frmTerminal *term_ = nullptr;
    frmRemCtr *rem_ = nullptr;
    NoteLog notes_;

    QList<answers::Record> boxes() const
    {
        QList<answers::Record> out;
        for (const answers::Record &r : answers::asked())
            // Shoot mode without a CFile gets the engine's own notices; only
            // the panel's boxes count here.
            if (r.question.kind == QLatin1String("box") && !r.question.text.contains(QLatin1String("rUvuzu")))
                out.append(r);
        return out;
    }

private slots:
    void initTestCase()
    {
        installNotes(&notes_);
        QString why;
        QVERIFY2(vttest::startSimLine(sim_, term_, &why), qPrintable(why));
        rem_ = frmRemCtr::get();
    }
    void cleanupTestCase()
    {
        vttest::closeSimLine(term_);
        installNotes(nullptr);
    }
    void init()
    {
        vttest::freshLinkCase(sim_);
        answers::reset();
        notes_.shown.clear();
        Device = 0;
        RxRoute[0] = true;
        RxRoute[1] = true;
    }

    // Each waiting key: its byte on the wire and how long the line must stay
    // quiet before the exchange counts as ended; then the same key on a unit
    // that does not answer: one box with its failure text and the link code.
    void waitKeys_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<char>("byte");
            QTest::addColumn<QString>("failure");
        QTest::newRow("up") << "cmdKeyUp" << '\x15' << "Failed to Increment Shot";
        QTest::newRow("down") << "cmdKeyDwn" << '\x04' << "Failed to Decrement Shot";
        QTest::newRow("right") << "cmdKeyRite" << '\x12' << "Failed to Increment String";
        QTest::newRow("left") << "cmdKeyLeft" << '\x0C' << "Failed to Decrement String";
        QTest::newRow("folder up") << "cmdKeyPgUpDw0" << '\x0B' << "Failed to Increment Folder";
        QTest::newRow("folder down") << "cmdKeyPgUpDw1" << '\x0F' << "Failed to Decrement Folder";
        QTest::newRow("type") << "cmdKeyType0" << 'T' << "Failed to Change Data-Type";
        QTest::newRow("units") << "cmdKeyType1" << 'U' << "Failed to Change Units";
        QTest::newRow("delete shot") << "cmdDelete0" << '\x1E' << "Failed to Delete Shot";
        QTest::newRow("delete string") << "cmdDelete1" << '\x1F' << "Failed to Delete String";
        QTest::newRow("delete folder") << "cmdDelete2" << '\x01' << "Failed to Delete Folder";
        QTest::newRow("undelete shot") << "cmdUnDelete0" << '\x1C' << "Failed to Undelete Shot";
        QTest::newRow("undelete string") << "cmdUnDelete1" << '\x1D' << "Failed to Undelete String";
        QTest::newRow("undelete folder") << "cmdUnDelete2" << '\x02' << "Failed to Undelete Folder";
    }
    void waitKeys()
    {
        QFETCH(QString, button);
        QFETCH(char, byte);
        QFETCH(QString, failure);
        auto *b = rem_->findChild<QPushButton *>(button);
        QVERIFY(b);
        QVERIFY(!b->accessibleName().isEmpty());

        b->click();
        QCOMPARE(sim_.received(), QByteArray(1, byte));
        QVERIFY2(!CroLnk.croErr, qPrintable(QString::number(CroLnk.croLinkErr)));
        QVERIFY2(boxes().isEmpty(), qPrintable(boxes().value(0).question.text));
        QVERIFY(!croTask(0));
        sim_.clearReceived();
        sim_.options().silentKeys = QByteArray(1, byte);
        // Shoot mode with no CFile open is switched off by the receive engine.
        RxRoute[1] = true;
        b->click();
        QCOMPARE(sim_.received(), QByteArray(1, byte));
        const QList<answers::Record> shown = boxes();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].question.text,
                 failure + "\r\nChronograph did not respond.\r\nCheck your setup or connections.\r\ncLinkErr = 100");
        QVERIFY(!croTask(0));
    }

    // Refusals: another device, Edit mode, a task holding the lock. Nothing
    // goes out in any of them.
    void refusals()
    {
        Device = 1;
        rem_->cmdKeyUp->click();
        QCOMPARE(notes_.shown, (QList<QPair<int, int>>{{8, 1}}));
        // Device 3 is no KT4 either: refused the same way.
        Device = 3;
        rem_->cmdKeyDwn->click();
        rem_->cmdDownload->click();
        QCOMPARE(notes_.shown.size(), 3);
        QCOMPARE(notes_.shown.last(), (QPair<int, int>{8, 1}));
        Device = 0;
        notes_.shown.clear();
        RxRoute[1] = false;
        rem_->cmdKeyUp->click();
        QCOMPARE(notes_.shown, (QList<QPair<int, int>>{{8, 0}}));
        RxRoute[1] = true;
        QTest::qWait(50);
        QVERIFY(sim_.received().isEmpty());
        QVERIFY(boxes().isEmpty());

        // A download holds the lock; Down asks about aborting it (No) and sends nothing.
        QVERIFY(!croTask(1));
        answers::queue(QStringLiteral("No"));
        rem_->cmdKeyDwn->click();
        answers::queue(QStringLiteral("No"));
        rem_->cmdDownload->click();
        croTask(2);
        QTest::qWait(50);
        QVERIFY(sim_.received().isEmpty());
        const QList<answers::Record> shown = boxes();
        QCOMPARE(shown.size(), 2);
        for (const answers::Record &r : shown)
            QVERIFY(r.question.text.contains(QLatin1String("Do you want to abort")));
        QVERIFY(!abortTask);
    }

    void modeButtons()
    {
        rem_->cmdCroMode[1]->click();
        QCOMPARE(sim_.received(), QByteArray("S"));
        QVERIFY(!CroLnk.croErr);
        QCOMPARE(CroLnk.croPrmKind, int16_t(2));
        sim_.clearReceived();
        sim_.options().silentKeys = QByteArray("D");
        rem_->cmdSetMod(0);
        QCOMPARE(sim_.received(), QByteArray("D"));
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].question.text,
                 QStringLiteral("Failed to set Data Mode..!\r\nChronograph did not respond.\r\nCheck your setup or connections."));
    }

    void rawKeys()
    {
        rem_->cmdKeyEsc->click();
        for (QPushButton *b : rem_->cmdRawKey)
            b->click();
        rem_->sndKeyUnd(2);
        QVERIFY(sim_.waitForReceived(9));
        QCOMPARE(sim_.received().left(9), QByteArray("\x1b" "QATF123\x02"));
    }

    void downloadEDisk()
    {
        const int before = term_->txtTerm->TextLength();
        rem_->optDwnSrc[2]->setChecked(true);
        rem_->optDwnDes[0]->setChecked(true);
        rem_->cmdDownload->click();
        QCOMPARE(sim_.received(), QByteArray("[D3"));
        QVERIFY(boxes().isEmpty());
        QVERIFY(!croTask(0));
        QVERIFY(!rem_->fraWPrgrs->isVisible());
        QVERIFY(sim_.waitIdle());
        QTRY_VERIFY(term_->txtTerm->Text().mid(before).contains(QLatin1String("MMR:<End> Fol=10")));
    }

    void downloadFails_data()
    {
        QTest::addColumn<QByteArray>("silent");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("no answer to D") << QByteArray("D") << QByteArray("[D");
        QTest::newRow("no answer to 1") << QByteArray("1") << QByteArray("[D1");
    }
    void downloadFails()
    {
        QFETCH(QByteArray, silent);
        QFETCH(QByteArray, wire);
        sim_.options().silentKeys = silent;
        rem_->optDwnSrc[0]->setChecked(true);
        rem_->optDwnDes[0]->setChecked(true);
        rem_->cmdDownload->click();
        QTest::qWait(50);
        QCOMPARE(sim_.received(), wire);
        const QList<answers::Record> shown = boxes();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].question.text,
                 QStringLiteral("Download Failed\r\nChronograph did not respond.\r\nCheck your setup or connections."));
        QVERIFY(!croTask(0));
    }

    void downloadNoDestination()
    {
        // Radio buttons of one group can't be all cleared by a click; the
        // group's exclusivity is lifted for the case.
        QButtonGroup *g = rem_->optDwnDes[0]->group();
        g->setExclusive(false);
        for (QRadioButton *o : rem_->optDwnDes)
            o->setChecked(false);
        rem_->cmdDownload->click();
        g->setExclusive(true);
        rem_->optDwnDes[0]->setChecked(true);
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].question.text, QStringLiteral("You must Select Destination"));
        QVERIFY(sim_.received().isEmpty());
        QVERIFY(!croTask(0));
    }

    void destinations()
    {
        rem_->optDwnDes[1]->click();
        QCOMPARE(rem_->fraDwnDesSee->title(), QStringLiteral("Destination = CFile - Vantrell"));
        QVERIFY(rem_->optDwnDesCFileSel->isEnabled());
        rem_->optDwnDes[2]->click();
        QCOMPARE(rem_->fraDwnDesSee->title(), QStringLiteral("Destination = Excel Spreadsheet"));
        QVERIFY(!rem_->optDwnDesCFileSel->isEnabled());
        rem_->optDwnDes[0]->click();
        QCOMPARE(rem_->fraDwnDesSee->title(), QStringLiteral("Destination = Buffer"));

        // One entry at most carries the mark, the one selected.
        QListWidget *l = rem_->lstDwnDesCFile;
        l->clear();
        l->addItems({"A.rtf(Current)", "B.rtf", "C.rtf"});
        l->setCurrentRow(2);
        rem_->selCurCFile();
        QCOMPARE(l->item(0)->text(), QStringLiteral("A.rtf"));
        QCOMPARE(l->item(1)->text(), QStringLiteral("B.rtf"));
        QCOMPARE(l->item(2)->text(), QStringLiteral("C.rtf(Current)"));
        rem_->selCurCFile();
        QCOMPARE(l->item(2)->text(), QStringLiteral("C.rtf(Current)"));
    }

    void stringSize_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("shown");
        QTest::newRow("8") << "8" << "5";
        QTest::newRow("0") << "0" << "0";
        QTest::newRow("16 half to even") << "16" << "2";
        QTest::newRow("3") << "3" << "13";
    }
    void stringSize()
    {
        QFETCH(QString, entry);
        QFETCH(QString, shown);
        QListWidget *l = rem_->lstSetHwrStr;
        l->addItem(entry);
        l->setCurrentRow(l->count() - 1);
        rem_->lstSetHwrStr_Click();
        QCOMPARE(rem_->labSetHwrStrSiz->text(), shown);
        delete l->takeItem(l->count() - 1);
    }
};

QTEST_MAIN(TestRemKeys)
#include "tst_remKeys.moc"
