// The notes store and the notes file: keys, the lines of the file, reading
// with its format checks and limits, writing back with numbered backups.
#include <QDir>
#include <QFile>
#include <QTest>

#include "notes/frmTip.h"
#include "notes/modNotes.h"
#include "notes/notesfixture.h"
#include "platform/answers.h"
#include "platform/msgbox.h"
#include "platform/progfolder.h"

using namespace vt;
using vttest::loadTip;

namespace {
QByteArray crlf(const QString &text) { return text.toUtf8().replace("\n", "\r\n"); }

QString keyOf(const frmTip *tip, int n) { return tip->Notes.item(n).left(8); }

// The key parts a.b.c.d of the current key.
QString parts()
{
    const int16_t *p = NotesState.KeyPart;
    return QStringLiteral("%1.%2.%3.%4").arg(p[3]).arg(p[2]).arg(p[1]).arg(p[0]);
}

QStringList boxTexts()
{
    QStringList out;
    for (const answers::Record &r : answers::asked())
        out << r.question.text;
    return out;
}
} // namespace

class TestNotesFile : public QObject {
    Q_OBJECT
private slots:
    void cleanupTestCase() { vttest::unloadTip(); }

    void keyRoundTrip()
    {
        QCOMPARE(noteKey8(60, 0, 1, 0), QStringLiteral("60000100"));
        QCOMPARE(noteKeyText(60, 0, 1, 0), QStringLiteral("60.0.1.0"));
        frmTip *tip = loadTip(crlf(QStringLiteral("<_60.0.1.0_>\n<:Remote panel:>\nline\n")));
        QCOMPARE(tip->Notes.count(), 1);
        QCOMPARE(keyOf(tip, 1), QStringLiteral("60000100"));
        QVERIFY(tip->notesText().startsWith(QStringLiteral("<_60.0.1.0_>\r\n")));
        tip->txt2Key(QStringLiteral("60.0.1.0"));
        QCOMPARE(NotesState.NoteKey8, QStringLiteral("60000100"));
    }

    void txt2Key_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("err");
        QTest::addColumn<QString>("key"); // parts afterwards, a first
        // Before each row the key is 9.9.9.9: a text that is not well formed keeps it.
        QTest::newRow("four parts") << "60.0.1.0" << 0 << "60.0.1.0";
        QTest::newRow("empty middle and last parts") << "5..." << 0 << "5.0.0.0";
        QTest::newRow("blanks and trailing letters") << " 7 .8x. 9.10" << 0 << "7.8.9.10";
        QTest::newRow("nothing before the first dot") << ".5.5.5" << 1 << "9.9.9.9";
        QTest::newRow("two dots") << "5.5.5" << 1 << "9.9.9.9";
        QTest::newRow("empty") << "" << 1 << "9.9.9.9";
        QTest::newRow("part above 99") << "100.0.0.0" << 1 << "9.9.9.9";
        QTest::newRow("negative part") << "1.2.3.-1" << 1 << "9.9.9.9";
    }
    void txt2Key()
    {
        QFETCH(QString, text);
        QFETCH(int, err);
        QFETCH(QString, key);
        frmTip *tip = frmTip::get();
        tip->setNotKey(9, 9, 9, 9);
        tip->makNotKey();
        tip->txt2Key(text);
        QCOMPARE(int(NotesState.KeyParseErr), err);
        QCOMPARE(parts(), key);
        QCOMPARE(NotesState.PrevKey8, QStringLiteral("09090909"));
        // The shown key text is not the parser's.
        QCOMPARE(NotesState.NoteKeyText, QStringLiteral("9.9.9.9"));
    }

    void lineRecognition_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("title");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<bool>("ref");
        QTest::addColumn<bool>("mark");
        QTest::newRow("title") << "<_60.0.1.0_>" << true << "60.0.1.0" << false << true;
        QTest::newRow("title with text around") << "xx<_1.2.3.0_>yy" << true << "1.2.3.0" << false << true;
        QTest::newRow("<_>") << "<_>" << false << "" << false << true;
        QTest::newRow("<__>") << "<__>" << false << "" << false << true;
        QTest::newRow("reference") << "<:Remote panel:>" << false << "" << true << false;
        QTest::newRow("empty reference") << "<::>" << false << "" << true << false;
        QTest::newRow("reference without its end") << "<:open" << false << "" << false << false;
        QTest::newRow("end mark at the second character") << "a_>" << false << "" << false << false;
        QTest::newRow("end mark further on") << "ab_>" << false << "" << false << true;
        QTest::newRow("plain text") << "812 fps" << false << "" << false << false;
    }
    void lineRecognition()
    {
        QFETCH(QString, line);
        QFETCH(bool, title);
        QFETCH(QString, keyText);
        QFETCH(bool, ref);
        QFETCH(bool, mark);
        QString got;
        QCOMPARE(isTitleLine(line, &got), title);
        QCOMPARE(got, keyText);
        QCOMPARE(isRefLine(line), ref);
        QCOMPARE(hasTitleMark(line), mark);
    }

    // Each fixture is read with every format question answered Yes.
    void loadFixtures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("errors"); // fragments of the boxes, in order
        QTest::newRow("title after title: reported as a bad reference, its section lost")
            << "<_1.0.0.0_>\n<:a:>\ntext\n<_2.0.0.0_>\n<_3.0.0.0_>\n<:c:>\nthree\n"
            << QStringList{"01000000"}
            << QStringList{"Format Error on Line Number (5)  \r\nInvalid Reference Line - format example: <:your refence text:>\r\n"
                           "Input Was: ''<_3.0.0.0_>''\r\nNumber of valid sections added: (1)\r\n"
                           "Number of lines that could not be read: (1)\r\nContinue Anyway..?"};
        QTest::newRow("text before the first title is ignored")
            << "notes of the program\n<_1.0.0.0_>\n<:a:>\n" << QStringList{"01000000"} << QStringList{};
        QTest::newRow("broken title mark in a text line abandons the section")
            << "<_1.0.0.0_>\n<:a:>\nok\n<_>\n<_2.0.0.0_>\n<:b:>\n" << QStringList{"02000000"}
            << QStringList{"Invalid Section ID Numbers - format example: <_nn.nn.nn.nn_>"};
        QTest::newRow("key part above 99: the section is skipped")
            << "<_1.0.0.0_>\n<:a:>\nx\n<_100.0.0.0_>\n<:b:>\ny\n<_2.0.0.0_>\n<:c:>\n"
            << QStringList{"01000000", "02000000"} << QStringList{"Input Was: ''<_100.0.0.0_>''"};
        QTest::newRow("key text not well formed, first section: not kept under 0.0.0.0")
            << "<_5.5.5_>\n<:a:>\nx\n" << QStringList{} << QStringList{"Section ID Numbers"};
        // One question for the whole file: it names the first bad line and
        // counts them all.
        QTest::newRow("three bad lines: one question")
            << "<_1.0.0.0_>\n<:a:>\nx\n<_2.0.0.0_>\nno reference\n<_>\n<_3.0.0.0_>\n<:c:>\nab_>\n<_4.0.0.0_>\n<::>\n"
            << QStringList{"01000000", "04000000"}
            << QStringList{"Format Error on Line Number (5)  \r\nInvalid Reference Line - format example: <:your refence text:>\r\n"
                           "Input Was: ''no reference''\r\nNumber of valid sections added: (2)\r\n"
                           "Number of lines that could not be read: (3)\r\nContinue Anyway..?"};
    }
    void loadFixtures()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, errors);
        vttest::unloadTip();
        for (int i = 0; i < 5; ++i)
            answers::queueKeyed(QStringLiteral("Format Error"), QStringLiteral("Yes"));
        frmTip *tip = loadTip(crlf(file));
        QStringList got;
        for (int n = 1; n <= tip->Notes.count(); ++n)
            got << keyOf(tip, n);
        QCOMPARE(got, keys);
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), errors.size());
        for (int i = 0; i < errors.size(); ++i)
            QVERIFY2(boxes[i].contains(errors[i]), qPrintable(boxes[i]));
        for (const answers::Record &r : answers::asked())
            QCOMPARE(r.question.buttons, QStringList({"Yes", "No"}));
        QCOMPARE(int(NotesState.NoteIndex), tip->Notes.count());
    }

    // Two sections under one key (a file edited by hand, or two merged): a
    // user note moves to the next free number of its section, a system note
    // keeps the later text; one box says what became of them, and saving
    // writes every kept section under its own key.
    void duplicateKeys()
    {
        frmTip *tip = loadTip(crlf(QStringLiteral("<_1.0.0.0_>\n<:sys:>\nolder\n<_1.0.0.1_>\n<:u1:>\nmine\n"
                                                  "<_1.0.0.0_>\n<:sys2:>\nnewer\n<_1.0.0.1_>\n<:u2:>\nalso mine\n")));
        QStringList keys;
        for (int n = 1; n <= tip->Notes.count(); ++n)
            keys << keyOf(tip, n);
        QCOMPARE(keys, QStringList({"01000000", "01000001", "01000002"}));
        QCOMPARE(tip->Notes.item(1), QStringLiteral("01000000<:sys2:>\r\nnewer\r\n"));
        QCOMPARE(tip->Notes.item(2), QStringLiteral("01000001<:u1:>\r\nmine\r\n"));
        QCOMPARE(tip->Notes.item(3), QStringLiteral("01000002<:u2:>\r\nalso mine\r\n"));
        const QStringList boxes = boxTexts();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(QStringLiteral("The rUvuzu file holds 2 sections under a number that an earlier "
                                                     "section already has:\r\n1.0.0.0: the later section was kept\r\n"
                                                     "1.0.0.1 was kept as 1.0.0.2\r\n")),
                 qPrintable(boxes[0]));
        QCOMPARE(answers::asked().first().question.buttons, QStringList({"OK"}));

        tip->seeXNots(1, 0, 0, 0, 0, 0);
        tip->savNots();
        const QByteArray saved = vttest::readNotes();
        for (const char *line : {"<_1.0.0.0_>\r\n<:sys2:>\r\nnewer\r\n", "<_1.0.0.1_>\r\n<:u1:>\r\nmine\r\n",
                                 "<_1.0.0.2_>\r\n<:u2:>\r\nalso mine\r\n"})
            QVERIFY2(saved.contains(line), saved.constData());
        QVERIFY(!saved.contains("older"));
    }

    void emptyLastSectionIsStored()
    {
        frmTip *tip = loadTip(crlf(QStringLiteral("<_1.0.0.0_>\n<:a:>\ntext\n<_2.0.0.0_>\n<::>\n")));
        QCOMPARE(tip->Notes.count(), 2);
        QCOMPARE(tip->Notes.item(2), QStringLiteral("02000000<::>\r\n"));
    }

    void sectionTextLimit_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("cut");
        QTest::newRow("10000 characters whole") << 10000 << false;
        QTest::newRow("10001 characters cut") << 10001 << true;
    }
    void sectionTextLimit()
    {
        QFETCH(int, size);
        QFETCH(bool, cut);
        // Lines of 98 characters and their line breaks, then one line that
        // brings the text to the size; all followed by another section.
        QString text;
        while (size - text.size() > 102)
            text += QString(98, u'x') + QStringLiteral("\r\n");
        text += QString(size - int(text.size()) - 2, u'y') + QStringLiteral("\r\n");
        QCOMPARE(text.size(), size);
        const QString head = QStringLiteral("<_1.0.0.0_>\r\n<:big:>\r\n");
        frmTip *tip = loadTip((head + text + QStringLiteral("<_2.0.0.0_>\r\n<:b:>\r\n")).toLatin1());
        QVERIFY(answers::asked().isEmpty());
        QCOMPARE(tip->Notes.count(), 2);
        const QString stored = tip->Notes.item(1).mid(8 + 7 + 2);
        if (!cut) {
            QCOMPARE(stored, text);
            return;
        }
        QVERIFY(stored.startsWith(text.left(10000)));
        QVERIFY(stored.mid(10000).startsWith(QStringLiteral("\r\nErrot at line number (")));
        QVERIFY(stored.endsWith(QStringLiteral("To reduce memory usage - text was truncated to 10000 characters per section.")));
        QVERIFY(tip->noteMax >= tip->Notes.item(1).size() + 10);
    }

    void lineLimit()
    {
        for (int len : {500, 501}) {
            answers::reset();
            answers::queue(QStringLiteral("Yes"));
            frmTip *tip = loadTip(crlf(QStringLiteral("<_1.0.0.0_>\n<:a:>\n") + QString(len, u'z') + u'\n'));
            if (len == 500) {
                QVERIFY(answers::asked().isEmpty());
                QCOMPARE(tip->Notes.count(), 1);
            } else {
                QCOMPARE(answers::asked().size(), 1);
                QVERIFY(answers::last().question.text.contains(
                    QStringLiteral("Invalid Input Line Size - maximum allowed (500) characters.")));
                // The long line was its section's last: the part before it is kept.
                QCOMPARE(tip->Notes.item(1), QStringLiteral("01000000<:a:>\r\n"));
            }
        }
    }

    void missingFileGivesTheExplanatoryNote()
    {
        frmTip *tip = loadTip(QByteArray());
        QCOMPARE(tip->Notes.count(), 1);
        QVERIFY(tip->Notes.item(1).startsWith(QStringLiteral("00000000<:Error - rUvuzu file missing:>\r\nHelp rUvuzu file is mising...")));
        QVERIFY(tip->Notes.item(1).contains(programFolder()));
        QVERIFY(!NotesState.StoreDirty);
    }

    // Read as code page 1252 or as UTF-8, shown, stored and saved: the same bytes.
    void savedBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("code page 1252") << QByteArray("<_1.0.0.0_>\r\n<:Caf\xe9:>\r\nd\xe9j\xe0 vu\xa0!\r\n\r\n<_1.0.0.2_>\r\n<::>\r\n\x80 five\r\n");
        QTest::newRow("UTF-8") << QByteArray("<_1.0.0.0_>\r\n<:Caf\xc3\xa9:>\r\n\xe2\x82\xac \xce\xa9\r\n");
    }
    void savedBackByteForByte()
    {
        QFETCH(QByteArray, bytes);
        frmTip *tip = loadTip(bytes);
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        tip->savNots();
        QVERIFY(answers::asked().isEmpty());
        QCOMPARE(vttest::readNotes(), bytes);
        QVERIFY(!NotesState.StoreDirty);
    }

    void newNoteGetsItsFinalLineBreak()
    {
        frmTip *tip = loadTip("<_1.0.0.0_>\r\n<:a:>\r\nsystem\r\n");
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        tip->cmdEdit_Click(0); // Add: 1.0.0.1, editing on
        QCOMPARE(NotesState.NoteKeyText, QStringLiteral("1.0.0.1"));
        tip->txtNotex->setPlainText(QStringLiteral("mine"));
        tip->cmdEdit_Click(4); // Save
        QCOMPARE(vttest::readNotes(), QByteArray("<_1.0.0.0_>\r\n<:a:>\r\nsystem\r\n<_1.0.0.1_>\r\n"
                                                 "<:New User Reference Added {1.0.0.1}:>\r\nmine\r\n"));
    }

    void backupNumbering()
    {
        frmTip *tip = loadTip("<_1.0.0.0_>\r\n<::>\r\n");
        tip->chkBackup->setChecked(true);
        QFile::copy(vttest::notesFile(), programFolder() + QStringLiteral("/vantnots001.ini"));
        tip->seeXNots(1, 0, 0, 0, 0, 0);
        tip->savNots();
        tip->savNots();
        QDir dir(programFolder());
        QCOMPARE(dir.entryList({QStringLiteral("vantnots*")}, QDir::Files, QDir::Name),
                 QStringList({"vantnots.ini", "vantnots001.ini", "vantnots002.ini", "vantnots003.ini"}));
        QVERIFY(answers::asked().isEmpty());
    }

    void backupWithoutANotesFileStillSaves()
    {
        frmTip *tip = loadTip(QByteArray());
        tip->chkBackup->setChecked(true);
        tip->seeXNots(0, 0, 0, 0, 0, 0);
        tip->savNots();
        QVERIFY(answers::asked().isEmpty());
        QVERIFY(vttest::readNotes().startsWith("<_0.0.0.0_>\r\n<:Error - rUvuzu file missing:>\r\n"));
        QCOMPARE(QDir(programFolder()).entryList({QStringLiteral("vantnots0*")}, QDir::Files), QStringList());
    }

    void failedSaveReportsAndKeepsTheChange()
    {
        frmTip *tip = loadTip(QByteArray());
        // A folder where the file should be: nothing can be written there.
        QVERIFY(QDir().mkpath(vttest::notesFile()));
        answers::queue(QStringLiteral("OK"));
        tip->savNots();
        QDir(vttest::notesFile()).removeRecursively();
        QCOMPARE(answers::last().question.text, QStringLiteral("Error in saving rUvuzu file...!\r\n") + vttest::notesFile());
        QVERIFY(NotesState.StoreDirty);
    }
};

QTEST_MAIN(TestNotesFile)
#include "tst_notesFile.moc"
